#pragma once
// googletest's Notification (which lets a thread wait for another) waits on
// std::mutex and std::condition_variable, which the win32-threads runtime of
// the Windows build lacks. This one, included before googletest's headers,
// waits on a Win32 event.

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  Notification(const Notification &) = delete;
  Notification &operator=(const Notification &) = delete;
  ~Notification() { CloseHandle(event_); }
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
  HANDLE event_;
};

} // namespace testing::internal
