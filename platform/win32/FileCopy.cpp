#include "platform/FileCopy.h"

#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

namespace {

class Win32FileCopier : public FileCopier {
public:
  CopyOutcome CopyReplacing(const std::string &source, const std::string &destination) override {
    if (CopyFileA(source.c_str(), destination.c_str(), FALSE))
      return CopyOutcome::Copied;
    const DWORD error = GetLastError();
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES)
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
