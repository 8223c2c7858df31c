#include "platform/win32/CodePageText.h"

#include "platform/win32/SystemMessage.h"

namespace vantrel::win32 {

std::optional<std::string> ToCodePage(std::wstring_view wide, UINT codePage) {
  if (wide.empty())
    return std::string();
  const bool unicode = codePage == CP_UTF8 || codePage == 54936;
  const DWORD flags = unicode ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL *const usedDefaultCheck = unicode ? nullptr : &usedDefault;
  const int wideLength = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0,
                                         nullptr, usedDefaultCheck);
  if (length == 0 && GetLastError() == ERROR_NO_UNICODE_TRANSLATION)
    return std::nullopt;
  std::string text(static_cast<std::size_t>(length), '\0');
  if (length == 0 || WideCharToMultiByte(codePage, flags, wide.data(), wideLength, text.data(),
                                         length, nullptr, usedDefaultCheck) != length)
    RaiseLastError("Cannot convert a path to code page " + std::to_string(codePage));
  if (usedDefault)
    return std::nullopt;
  return text;
}

} // namespace vantrel::win32
