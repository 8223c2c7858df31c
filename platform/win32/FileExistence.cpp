#include "platform/FileExistence.h"

#include "platform/win32/NotFound.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32FileExistence : public FileExistence {
public:
  bool FileExists(const std::string &path) override {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool FolderExists(const std::string &path) override {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::optional<std::uint64_t> LastWritten(const std::string &path) override {
    if (!FileExists(path))
      return std::nullopt;
    // FindFirstFile: every Windows has it (GetFileAttributesEx came with 98 and NT 4.0).
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      win32::RaiseLastError("Cannot read the time of " + path);
    FindClose(search);
    return static_cast<std::uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 |
           found.ftLastWriteTime.dwLowDateTime;
  }

private:
  // INVALID_FILE_ATTRIBUTES when there is nothing at `path`.
  static DWORD AttributesOf(const std::string &path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      // A drive that is not there, or has no disk in it, holds nothing either.
      if (win32::MeansNotFound(error) || error == ERROR_INVALID_DRIVE || error == ERROR_NOT_READY)
        return INVALID_FILE_ATTRIBUTES;
      win32::RaiseError("Cannot tell whether " + path + " exists", error);
    }
    return attributes;
  }
};

} // namespace

FileExistence &SystemFileExistence() {
  static Win32FileExistence existence;
  return existence;
}

} // namespace vantrel
