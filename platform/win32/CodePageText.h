#pragma once
// Text from UTF-16 (what Windows gives) into an 8-bit code page.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::win32 {

// The text in `codePage`, or nothing when a character has no form there.
// UTF-8 (65001) and GB18030 (54936) hold every valid character; they take
// neither the best-fit flag nor the used-default check, which Windows
// rejects for them, and refuse only broken UTF-16 (a lone surrogate).
// Raises vantrel::Error for any other failure.
std::optional<std::string> ToCodePage(std::wstring_view wide, UINT codePage);

// 8-bit text in `codePage` as UTF-16.
std::wstring FromCodePage(std::string_view text, UINT codePage);

} // namespace vantrel::win32
