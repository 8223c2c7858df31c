#include "platform/FileCopy.h"

#include "platform/win32/FlushFile.h"
#include "platform/win32/NotFound.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

// Clears the read-only attribute of a file; false if that failed.
bool MakeWritable(const std::string &path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return true;
  return SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) != FALSE;
}

class Win32FileCopier : public FileCopier {
public:
  CopyOutcome CopyReplacing(const std::string &source, const std::string &destination) override {
    // CopyFileA carries the read-only attribute over, and will not replace a
    // read-only file: the copy is ours, so it is always left writable.
    MakeWritable(destination);
    if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) {
      if (!MakeWritable(destination))
        win32::RaiseLastError("Cannot clear the read-only attribute of " + destination);
      // A copy is a backup that the next change of its source relies on.
      win32::FlushFile(destination, "Cannot write the copy " + destination + " to the disk");
      return CopyOutcome::Copied;
    }
    const DWORD error = GetLastError();
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES &&
        win32::MeansNotFound(GetLastError()))
      return CopyOutcome::SourceMissing;
    win32::RaiseError("Cannot copy " + source + " to " + destination, error);
  }
};

} // namespace

FileCopier &SystemFileCopier() {
  static Win32FileCopier copier;
  return copier;
}

} // namespace vantrel
