#include "platform/win32/CodePageText.h"

#include "platform/win32/OptionalFunctions.h"
#include "platform/win32/SystemMessage.h"

namespace vantrel::win32 {

namespace {

// WC_ERR_INVALID_CHARS, which the headers name for Vista and later only.
constexpr DWORD RefuseInvalidChars = 0x80;

} // namespace

std::wstring FromCodePage(std::string_view text, UINT codePage) {
  const int length = static_cast<int>(text.size());
  std::wstring wide(
      static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0)),
      L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

std::optional<std::string> ToCodePage(std::wstring_view wide, UINT codePage) {
  if (wide.empty())
    return std::string();
  const OptionalFunctions &optional = Optional();
  const bool unicode = codePage == CP_UTF8 || codePage == 54936;
  // The flag that refuses a character without an exact form, where the system
  // takes it; without it, the text is converted back and compared instead.
  DWORD flags = unicode ? (optional.invalidCharsFlag ? RefuseInvalidChars : 0)
                        : (optional.noBestFitFlag ? WC_NO_BEST_FIT_CHARS : 0);
  BOOL usedDefault = FALSE;
  BOOL *const usedDefaultCheck = unicode ? nullptr : &usedDefault;
  const int wideLength = static_cast<int>(wide.size());
  int length = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, nullptr,
                                   usedDefaultCheck);
  if (length == 0 && GetLastError() == ERROR_INVALID_FLAGS && flags != 0) {
    flags = 0;
    length = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0, nullptr,
                                 usedDefaultCheck);
  }
  if (length == 0 && GetLastError() == ERROR_NO_UNICODE_TRANSLATION)
    return std::nullopt;
  std::string text(static_cast<std::size_t>(length), '\0');
  if (length == 0 || WideCharToMultiByte(codePage, flags, wide.data(), wideLength, text.data(),
                                         length, nullptr, usedDefaultCheck) != length)
    RaiseLastError("Cannot convert a path to code page " + std::to_string(codePage));
  if (usedDefault || (flags == 0 && FromCodePage(text, codePage) != wide))
    return std::nullopt;
  return text;
}

} // namespace vantrel::win32
