#include "platform/CharacterSet.h"

#include "platform/win32/CodePageText.h"
#include "platform/win32/OptionalFunctions.h"

#include <windows.h>

#include <string>

namespace vantrel {

namespace {

class Win32CharacterSet : public CharacterSet {
public:
  Win32CharacterSet() {
    std::array<bool, 256> leads{};
    for (int b = 0; b < 256; ++b)
      leads[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE; // of the ANSI code page
    leadBytes_ = LeadByteTable(leads);
  }

  const LeadByteTable &LeadBytes() override { return leadBytes_; }

  bool SameFolderName(std::string_view a, std::string_view b) override {
    // The file system's own rule: ordinal, with the system's upper-case table.
    const win32::OptionalFunctions &optional = win32::Optional();
    if (!optional.wideNames) {
      // Windows 98 and ME name files in the ANSI code page, and upper-case them so.
      std::string upperA(a), upperB(b);
      CharUpperBuffA(upperA.data(), static_cast<DWORD>(upperA.size()));
      CharUpperBuffA(upperB.data(), static_cast<DWORD>(upperB.size()));
      return upperA == upperB;
    }
    std::wstring wideA = win32::FromCodePage(a, CP_ACP), wideB = win32::FromCodePage(b, CP_ACP);
    if (optional.CompareStringOrdinal != nullptr)
      return optional.CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()),
                                           wideB.data(), static_cast<int>(wideB.size()),
                                           TRUE) == CSTR_EQUAL;
    CharUpperBuffW(wideA.data(), static_cast<DWORD>(wideA.size()));
    CharUpperBuffW(wideB.data(), static_cast<DWORD>(wideB.size()));
    return wideA == wideB;
  }

  std::u16string Widen(std::string_view text) override {
    const std::wstring wide = win32::FromCodePage(text, CP_ACP);
    return std::u16string(wide.begin(), wide.end());
  }

  std::optional<std::string> Narrow(std::u16string_view text) override {
    return win32::ToCodePage(std::wstring(text.begin(), text.end()), CP_ACP);
  }

  std::u16string NameKey(std::u16string_view name) override {
    if (!win32::Optional().wideNames) {
      // Windows 98 and ME keep names in the ANSI code page, and upper-case them so.
      std::optional<std::string> text = Narrow(name);
      if (!text)
        return std::u16string(name); // no name of this system: compared as it stands
      CharUpperBuffA(text->data(), static_cast<DWORD>(text->size()));
      return Widen(*text);
    }
    // The registry matches value names by ntdll's fixed table, not by the
    // user's locale (a Turkish dotless i is where the two part).
    std::u16string key(name);
    if (const auto upcase = win32::Optional().RtlUpcaseUnicodeChar) {
      for (char16_t &c : key)
        c = static_cast<char16_t>(upcase(static_cast<WCHAR>(c)));
      return key;
    }
    std::wstring wide(name.begin(), name.end());
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return std::u16string(wide.begin(), wide.end());
  }

private:
  LeadByteTable leadBytes_;
};

} // namespace

CharacterSet &SystemCharacterSet() {
  static Win32CharacterSet characterSet;
  return characterSet;
}

} // namespace vantrel
