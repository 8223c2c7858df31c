#include "platform/FileReplace.h"

#include "platform/Error.h"
#include "platform/win32/FlushFile.h"
#include "platform/win32/NotFound.h"
#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32FileReplacer : public FileReplacer {
public:
  void WriteEditedCopy(const std::string &editedCopy, const std::string &bytes) override {
    SetFileAttributesA(editedCopy.c_str(), FILE_ATTRIBUTE_NORMAL); // one left read-only
    try {
      win32::UniqueHandle file(CreateFileA(editedCopy.c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file.Valid())
        win32::RaiseLastError("Cannot write the edited copy " + editedCopy);
      DWORD written = 0;
      if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
          written != bytes.size() || !FlushFileBuffers(file.Get()))
        win32::RaiseLastError("Cannot write the edited copy " + editedCopy);
      if (!file.Reset())
        win32::RaiseLastError("Cannot close the edited copy " + editedCopy);
    } catch (...) {
      DeleteFileA(editedCopy.c_str());
      throw;
    }
  }

  void PutInPlace(const std::string &editedCopy, const std::string &path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD attributesError = GetLastError();
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
      throw Error("The file " + path +
                  " is read-only, so it cannot be changed. Clear its read-only attribute (in "
                  "the file's Properties) and try again.");
    if (win32::Optional().replaceInOneStep) {
      // One rename: the file is either all old or all new.
      if (!MoveFileExA(editedCopy.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        win32::RaiseLastError("Cannot replace " + path + " with its edited copy " + editedCopy);
      return;
    }
    // Windows 98 and ME: the old file goes first, unless an earlier try took it.
    if (attributes != INVALID_FILE_ATTRIBUTES && !DeleteFileA(path.c_str()))
      win32::RaiseLastError("Cannot replace " + path + " with its edited copy " + editedCopy);
    if (attributes == INVALID_FILE_ATTRIBUTES && !win32::MeansNotFound(attributesError))
      win32::RaiseError("Cannot replace " + path + " with its edited copy " + editedCopy,
                        attributesError);
    // The file is missing now until the rename; should that fail, the new
    // content stays where it is, and the error says where.
    if (!MoveFileA(editedCopy.c_str(), path.c_str()))
      win32::RaiseLastError("The file " + path + " was deleted to be replaced by its edited copy " +
                            editedCopy + ", which could not be renamed to it: rename " +
                            editedCopy + " to " + path);
    // These systems have no write-through rename: the file's flush takes its
    // new name to the disk.
    win32::FlushFile(path, "Cannot write " + path + " to the disk");
  }
};

} // namespace

FileReplacer &SystemFileReplacer() {
  static Win32FileReplacer replacer;
  return replacer;
}

} // namespace vantrel
