#pragma once
// Which system errors mean "there is nothing there", as opposed to "there may
// be something there that this process cannot see" (access denied, a share
// that does not answer): only the first may be taken for absence.

#include <windows.h>

namespace vantrel::win32 {

inline bool MeansNotFound(DWORD error) {
  // A name the file system cannot hold names nothing either.
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME;
}

} // namespace vantrel::win32
