#include "platform/MessageBox.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32MessageBoxes : public MessageBoxes {
public:
  void ShowMessage(const std::string &text, MessageKind kind) override {
    const bool error = kind == MessageKind::Error;
    // Owned by the active window, so that the dialog waits for it.
    MessageBoxA(GetActiveWindow(), text.c_str(), error ? "Error" : "Information",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
  }
};

} // namespace

MessageBoxes &SystemMessageBoxes() {
  static Win32MessageBoxes boxes;
  return boxes;
}

} // namespace vantrel
