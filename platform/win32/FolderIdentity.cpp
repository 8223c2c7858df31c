#include "platform/FolderIdentity.h"

#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

// The folder's volume and file index; nothing where it cannot be opened (it
// is not there, or Windows 98 and ME, which open no folders as files).
std::optional<BY_HANDLE_FILE_INFORMATION> IdentityOf(const std::string &folder) {
  win32::UniqueHandle handle(CreateFileA(folder.c_str(), 0,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                         nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!handle.Valid() || !GetFileInformationByHandle(handle.Get(), &information) ||
      !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return information;
}

class Win32FolderIdentity : public FolderIdentity {
public:
  std::optional<bool> SameFolderOnDisk(const std::string &a, const std::string &b) override {
    const auto identityA = IdentityOf(a), identityB = IdentityOf(b);
    if (!identityA || !identityB)
      return std::nullopt;
    return identityA->dwVolumeSerialNumber == identityB->dwVolumeSerialNumber &&
           identityA->nFileIndexHigh == identityB->nFileIndexHigh &&
           identityA->nFileIndexLow == identityB->nFileIndexLow;
  }
};

} // namespace

FolderIdentity &SystemFolderIdentity() {
  static Win32FolderIdentity identity;
  return identity;
}

} // namespace vantrel
