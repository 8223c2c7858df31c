#pragma once
// Stand-ins for the message box and the dialog that record what the run asked of them.

#include "engine/RunRegistration.h"

#include <string>
#include <vector>

namespace vantrel::test {

struct RecordingMessages : MessageBoxes {
  std::vector<std::string> shown;
  std::vector<MessageKind> kinds;
  void ShowMessage(const std::string &text, MessageKind kind) override {
    shown.push_back(text);
    kinds.push_back(kind);
  }
};

struct RecordingDialog : ClosableDialog {
  int closed = 0;
  void Close() override { ++closed; }
};

} // namespace vantrel::test
