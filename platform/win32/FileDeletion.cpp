#include "platform/FileDeletion.h"

#include "platform/win32/NotFound.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32FileDeleter : public FileDeleter {
public:
  std::optional<std::string> DeleteFileNamed(const std::string &path) override {
    // Usually there is nothing to delete: the quick look says so without
    // listing the folder.
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (win32::MeansNotFound(error))
        return std::nullopt;
      win32::RaiseError("Cannot look for " + path, error);
    }
    // The name as the folder holds it, for the report; FindFirstFile matches
    // as the file system does.
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (win32::MeansNotFound(error) || error == ERROR_NO_MORE_FILES)
        return std::nullopt;
      win32::RaiseError("Cannot look for " + path, error);
    }
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      return std::nullopt;
    const std::size_t slash = path.find_last_of("\\/:");
    const std::string actual =
        (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) &&
        !SetFileAttributesA(actual.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY))
      win32::RaiseLastError("Cannot delete " + actual);
    if (!DeleteFileA(actual.c_str())) {
      const DWORD error = GetLastError();
      if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) // as it was
        SetFileAttributesA(actual.c_str(), found.dwFileAttributes);
      win32::RaiseError("Cannot delete " + actual, error);
    }
    return actual;
  }
};

} // namespace

FileDeleter &SystemFileDeleter() {
  static Win32FileDeleter deleter;
  return deleter;
}

} // namespace vantrel
