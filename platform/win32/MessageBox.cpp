#include "platform/MessageBox.h"

#include "platform/win32/MessageBoxOwner.h"

#include <windows.h>

namespace vantrel {

namespace {

HWND Owner = nullptr;

class Win32MessageBoxes : public MessageBoxes {
public:
  void ShowMessage(const std::string &text, MessageKind kind) override {
    const bool error = kind == MessageKind::Error;
    MessageBoxA(IsWindow(Owner) ? Owner : nullptr, text.c_str(), error ? "Error" : "Information",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
  }
};

} // namespace

void win32::SetMessageBoxOwner(HWND owner) { Owner = owner; }

MessageBoxes &SystemMessageBoxes() {
  static Win32MessageBoxes boxes;
  return boxes;
}

} // namespace vantrel
