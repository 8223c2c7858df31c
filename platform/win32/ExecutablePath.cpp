#include "platform/ExecutablePath.h"

#include "platform/Error.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

std::wstring WideExecutablePath() {
  // Paths may be longer than MAX_PATH; a full buffer means the path was cut.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      win32::RaiseLastError("Cannot find the program's own path");
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

} // namespace

std::string ExecutablePath() {
  // The help viewer and the contents file know only 8-bit text, so the path
  // must be one the system's character set can hold. GetModuleFileNameA would
  // put "?" for any other character: a folder that does not exist.
  const std::wstring wide = WideExecutablePath();
  const int wideLength = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0,
                          nullptr, &usedDefault);
  std::string path(static_cast<std::size_t>(length), '\0');
  if (length == 0 ||
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, path.data(),
                          length, nullptr, &usedDefault) != length)
    win32::RaiseLastError("Cannot find the program's own path");
  if (usedDefault) {
    const std::size_t folderEnd = path.find_last_of('\\');
    throw Error("The program's folder " + path.substr(0, folderEnd) +
                " has a name with characters outside this system's character set, which the "
                "Windows help viewer cannot find. Move the program and the help files to a "
                "folder whose name uses only characters of the system's character set, and run "
                "it from there. Nothing has been changed.");
  }
  return path;
}

} // namespace vantrel
