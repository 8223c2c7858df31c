#include "platform/RunLog.h"

#include "platform/Error.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32RunLog : public RunLog {
public:
  explicit Win32RunLog(const std::string &path)
      : path_(path),
        file_(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_.Valid())
      win32::RaiseLastError("Cannot open the log file " + path_);
  }

  void Write(const std::string &line) override {
    const std::string bytes = line + "\r\n";
    DWORD written = 0;
    if (!WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size())
      win32::RaiseLastError("Cannot write to the log file " + path_);
  }

private:
  std::string path_;
  win32::UniqueHandle file_;
};

} // namespace

std::unique_ptr<RunLog> OpenRunLog(const std::string &path) {
  return std::make_unique<Win32RunLog>(path);
}

} // namespace vantrel
