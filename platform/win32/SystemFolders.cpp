#include "platform/SystemFolders.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32SystemFolders : public SystemFolders {
public:
  std::string WindowsFolder() override {
    std::string folder(MAX_PATH, '\0');
    const UINT length = GetWindowsDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    folder.resize(length < folder.size() ? length : 0);
    if (!folder.empty() && folder.back() == '\\')
      folder.pop_back();
    return folder;
  }

  std::optional<std::string> LocalAppDataFolder() override {
    // Set by Vista and later; older systems keep no help files there.
    std::string folder(MAX_PATH * 4, '\0');
    const DWORD length =
        GetEnvironmentVariableA("LOCALAPPDATA", folder.data(), static_cast<DWORD>(folder.size()));
    if (length == 0 || length >= folder.size())
      return std::nullopt;
    folder.resize(length);
    if (folder.back() == '\\')
      folder.pop_back();
    return folder;
  }
};

} // namespace

SystemFolders &SystemFolderLocations() {
  static Win32SystemFolders folders;
  return folders;
}

} // namespace vantrel
