#pragma once
// The application object: an invisible, zero-sized top-level window that
// carries the application title on the task bar and owns the main dialog
// (an owned window gets no task-bar button of its own), the message loop, and
// the general error report for errors that leave an event handler.

#include <windows.h>

#include <functional>
#include <string>

namespace vantrel::ui {

class Application {
public:
  Application(HINSTANCE instance, const std::string &title);
  Application(const Application &) = delete;
  Application &operator=(const Application &) = delete;
  ~Application();

  HWND Window() const { return window_; }

  // Runs the message loop until the main window is gone; returns the exit code.
  int Run(HWND mainWindow);

  // Runs an event handler; an error that leaves it is shown in an error box.
  static void Handle(const std::function<void()> &handler);

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HWND mainWindow_ = nullptr;
};

} // namespace vantrel::ui
