#include "platform/MachineLock.h"

#include "platform/Error.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

// One name for every session of the machine; systems without session
// namespaces (NT 4.0, 98, ME) have one namespace, and the plain name.
const char *const LockName = "Vantrel.HelpFileRegistration";

class Win32MachineLock : public MachineLock {
public:
  LockTaken Take(unsigned long timeoutMs) override {
    if (!mutex_.Valid()) {
      const std::string global = std::string("Global\\") + LockName;
      if (win32::Optional().globalNamespace)
        mutex_.Adopt(CreateMutexA(nullptr, FALSE, global.c_str()));
      if (!mutex_.Valid())
        mutex_.Adopt(CreateMutexA(nullptr, FALSE, LockName));
      if (!mutex_.Valid())
        win32::RaiseLastError("Cannot create the lock that keeps runs of this program apart");
    }
    LockTaken taken;
    DWORD result = WaitForSingleObject(mutex_.Get(), 0);
    if (result == WAIT_TIMEOUT) {
      const DWORD start = GetTickCount();
      result = WaitForSingleObject(mutex_.Get(), timeoutMs);
      taken.waitedMs = GetTickCount() - start;
    }
    switch (result) {
    case WAIT_ABANDONED:
      taken.abandoned = true;
      break;
    case WAIT_OBJECT_0:
      break;
    case WAIT_TIMEOUT:
      throw Error("Another registration or removal of help files has kept the others waiting "
                  "for " +
                  std::to_string(timeoutMs / 60000) +
                  " minutes, so this one did not "
                  "start. Nothing has been changed. Run it again once the other has ended.");
    default:
      win32::RaiseLastError("Cannot take the lock that keeps runs of this program apart");
    }
    return taken;
  }

  void Release() override { ReleaseMutex(mutex_.Get()); }

private:
  win32::UniqueHandle mutex_;
};

} // namespace

MachineLock &SystemMachineLock() {
  static Win32MachineLock lock;
  return lock;
}

} // namespace vantrel
