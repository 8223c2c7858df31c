#include "platform/win32/FlushFile.h"

#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel::win32 {

void FlushFile(const std::string &path, const std::string &failure) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid() || !FlushFileBuffers(file.Get()))
    RaiseLastError(failure);
}

} // namespace vantrel::win32
