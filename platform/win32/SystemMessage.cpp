#include "platform/win32/SystemMessage.h"

#include "platform/Error.h"

namespace vantrel::win32 {

std::string SystemMessage(DWORD errorCode) {
  char *buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<char *>(&buffer), 0, nullptr);
  std::string text = length != 0 && buffer != nullptr ? std::string(buffer, length)
                                                      : "System error " + std::to_string(errorCode) + ".";
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return text;
}

void RaiseError(const std::string &what, DWORD errorCode) {
  if (errorCode == ERROR_SHARING_VIOLATION || errorCode == ERROR_LOCK_VIOLATION)
    throw FileInUseError(what + ": " + SystemMessage(errorCode));
  throw Error(what + ": " + SystemMessage(errorCode));
}

void RaiseLastError(const std::string &what) { RaiseError(what, GetLastError()); }

} // namespace vantrel::win32
