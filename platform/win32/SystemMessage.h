#pragma once
// Win32 helpers shared by the service implementations.

#include <windows.h>

#include <string>

namespace vantrel::win32 {

// The system's own text for an error code, without the trailing line end.
std::string SystemMessage(DWORD errorCode);

// "<what>: <the system's text for GetLastError()>", as the Error to raise.
[[noreturn]] void RaiseLastError(const std::string &what);
[[noreturn]] void RaiseError(const std::string &what, DWORD errorCode);

// Owns a kernel handle (files) and closes it.
class UniqueHandle {
public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle &) = delete;
  UniqueHandle &operator=(const UniqueHandle &) = delete;
  ~UniqueHandle() { Reset(); }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE Get() const { return handle_; }
  // Takes over `handle`, closing the one held before.
  void Adopt(HANDLE handle) {
    Reset();
    handle_ = handle;
  }
  // Closes the handle; false (with GetLastError set) if closing failed.
  bool Reset() {
    BOOL ok = TRUE;
    if (Valid())
      ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace vantrel::win32
