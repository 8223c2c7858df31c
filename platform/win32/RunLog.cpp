#include "platform/RunLog.h"

#include "platform/Error.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32RunLog : public RunLog {
public:
  // Opened to append only, so that every line lands at the end, also when
  // another run writes to the same log; where Windows has no such access
  // (98, ME), opened for writing, and each line goes to the end as it is then.
  explicit Win32RunLog(const std::string &path)
      : path_(path), appendOnly_(win32::Optional().appendAccess),
        file_(CreateFileA(path.c_str(), appendOnly_ ? FILE_APPEND_DATA : GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_.Valid())
      win32::RaiseLastError("Cannot open the log file " + path_);
  }

  void Write(const std::string &line) override {
    if (!appendOnly_) {
      LONG high = 0;
      SetLastError(NO_ERROR);
      if (SetFilePointer(file_.Get(), 0, &high, FILE_END) == INVALID_SET_FILE_POINTER &&
          GetLastError() != NO_ERROR)
        win32::RaiseLastError("Cannot write to the log file " + path_);
    }
    const std::string bytes = line + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size())
      win32::RaiseLastError("Cannot write to the log file " + path_);
  }

private:
  std::string path_;
  bool appendOnly_;
  win32::UniqueHandle file_;
};

} // namespace

std::unique_ptr<RunLog> OpenRunLog(const std::string &path) {
  return std::make_unique<Win32RunLog>(path);
}

} // namespace vantrel
