#pragma once
// Modal message boxes with a single OK button.

#include <string>

namespace vantrel {

enum class MessageKind { Information, Warning, Error };

class MessageBoxes {
public:
  virtual ~MessageBoxes() = default;
  // Shows the text and returns when the user has dismissed it.
  virtual void ShowMessage(const std::string &text, MessageKind kind) = 0;
};

MessageBoxes &SystemMessageBoxes();

} // namespace vantrel
