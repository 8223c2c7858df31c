#include "platform/FileExistence.h"

#include "platform/win32/NotFound.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32FileExistence : public FileExistence {
public:
  bool FileExists(const std::string &path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      const DWORD error = GetLastError();
      if (win32::MeansNotFound(error))
        return false;
      win32::RaiseError("Cannot tell whether " + path + " exists", error);
    }
    return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

} // namespace

FileExistence &SystemFileExistence() {
  static Win32FileExistence existence;
  return existence;
}

} // namespace vantrel
