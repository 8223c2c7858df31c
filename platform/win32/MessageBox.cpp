#include "platform/MessageBox.h"

#include "platform/win32/MessageBoxOwner.h"

#include <windows.h>

namespace vantrel {

namespace {

HWND Owner = nullptr;

class Win32MessageBoxes : public MessageBoxes {
public:
  void ShowMessage(const std::string &text, MessageKind kind) override {
    const char *caption = kind == MessageKind::Error     ? "Error"
                          : kind == MessageKind::Warning ? "Warning"
                                                         : "Information";
    const UINT icon = kind == MessageKind::Error     ? MB_ICONERROR
                      : kind == MessageKind::Warning ? MB_ICONWARNING
                                                     : MB_ICONINFORMATION;
    MessageBoxA(IsWindow(Owner) ? Owner : nullptr, text.c_str(), caption, MB_OK | icon);
  }
};

} // namespace

void win32::SetMessageBoxOwner(HWND owner) { Owner = owner; }

MessageBoxes &SystemMessageBoxes() {
  static Win32MessageBoxes boxes;
  return boxes;
}

} // namespace vantrel
