#include "platform/FileReplace.h"

#include "platform/Error.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32FileReplacer : public FileReplacer {
public:
  void Replace(const std::string &path, const std::string &bytes) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
      throw Error("The file " + path +
                  " is read-only, so it cannot be changed. Clear its read-only attribute (in "
                  "the file's Properties) and try again.");
    const std::size_t slash = path.find_last_of("\\/:");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    char temporary[MAX_PATH + 1] = {};
    if (GetTempFileNameA(folder.c_str(), "vtr", 0, temporary) == 0)
      win32::RaiseLastError("Cannot create a temporary file beside " + path);
    try {
      WriteThrough(temporary, bytes);
      if (win32::Optional().replaceInOneStep) {
        // One rename: the file is either all old or all new.
        if (!MoveFileExA(temporary, path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
          win32::RaiseLastError("Cannot replace " + path + " with its edited copy");
        return;
      }
      // Windows 98 and ME replace no file in one step: the old one goes first.
      if (!DeleteFileA(path.c_str()))
        win32::RaiseLastError("Cannot replace " + path + " with its edited copy");
    } catch (...) {
      DeleteFileA(temporary);
      throw;
    }
    // The file is missing now until the rename; should that fail, the new
    // content stays where it is, and the error says where.
    if (!MoveFileA(temporary, path.c_str()))
      win32::RaiseLastError("The file " + path + " was deleted to be replaced by its edited copy " +
                            temporary + ", which could not be renamed to it: rename " + temporary +
                            " to " + path +
                            " (the backup beside it holds the content from "
                            "before this run)");
  }

private:
  static void WriteThrough(const std::string &path, const std::string &bytes) {
    win32::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
      win32::RaiseLastError("Cannot write the temporary file " + path);
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file.Get()))
      win32::RaiseLastError("Cannot write the temporary file " + path);
    if (!file.Reset())
      win32::RaiseLastError("Cannot close the temporary file " + path);
  }
};

} // namespace

FileReplacer &SystemFileReplacer() {
  static Win32FileReplacer replacer;
  return replacer;
}

} // namespace vantrel
