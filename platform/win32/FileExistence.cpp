#include "platform/FileExistence.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32FileExistence : public FileExistence {
public:
  bool FileExists(const std::string &path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

} // namespace

FileExistence &SystemFileExistence() {
  static Win32FileExistence existence;
  return existence;
}

} // namespace vantrel
