#include "platform/ExecutablePath.h"

#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

std::string ExecutablePath() {
  // Paths may be longer than MAX_PATH; a full buffer means the path was cut.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      win32::RaiseLastError("Cannot find the program's own path");
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

} // namespace vantrel
