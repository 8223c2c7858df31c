#include "ui/Application.h"

#include "platform/MessageBox.h"
#include "resources/ResourceIds.h"

#include <exception>

namespace vantrel::ui {

namespace {
const char *const ApplicationClassName = "TApplication";
}

Application::Application(HINSTANCE instance, const std::string &title) {
  WNDCLASSA appClass{};
  appClass.lpfnWndProc = WindowProc;
  appClass.hInstance = instance;
  appClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(MainIconId));
  appClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  appClass.lpszClassName = ApplicationClassName;
  RegisterClassA(&appClass);

  const int centreX = GetSystemMetrics(SM_CXSCREEN) / 2, centreY = GetSystemMetrics(SM_CYSCREEN) / 2;
  window_ = CreateWindowExA(0, ApplicationClassName, title.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            centreX, centreY, 0, 0, nullptr, nullptr, instance, nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(window_, SW_SHOWNOACTIVATE);
}

Application::~Application() {
  if (IsWindow(window_))
    DestroyWindow(window_);
}

int Application::Run(HWND mainWindow) {
  mainWindow_ = mainWindow;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    // The dialog manager gives the main window Tab, Enter and Escape.
    if (IsWindow(mainWindow_) && IsDialogMessageA(mainWindow_, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

void Application::Handle(const std::function<void()> &handler) {
  try {
    handler();
  } catch (const std::exception &error) {
    SystemMessageBoxes().ShowMessage(error.what(), MessageKind::Error);
  }
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto *app = reinterpret_cast<Application *>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
  case WM_ACTIVATE:
    // Clicking the task-bar button activates this invisible window: pass the
    // activation on to the dialog, or to the message box it is waiting for.
    if (LOWORD(wParam) != WA_INACTIVE && app != nullptr && IsWindow(app->mainWindow_)) {
      HWND target = GetLastActivePopup(app->mainWindow_);
      if (IsWindowEnabled(target))
        SetActiveWindow(target);
    }
    return 0;
  case WM_CLOSE:
    if (app != nullptr && IsWindow(app->mainWindow_))
      PostMessageA(app->mainWindow_, WM_CLOSE, 0, 0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace vantrel::ui
