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

private:
  LeadByteTable leadBytes_;
};

} // namespace

CharacterSet &SystemCharacterSet() {
  static Win32CharacterSet characterSet;
  return characterSet;
}

} // namespace vantrel
