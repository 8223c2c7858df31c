#include "platform/CharacterSet.h"

#include <windows.h>

#include <string>

namespace vantrel {

namespace {

std::wstring Wide(std::string_view text) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(
      static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)),
      L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

class Win32CharacterSet : public CharacterSet {
public:
  Win32CharacterSet() {
    std::array<bool, 256> leads{};
    const UINT codePage = GetACP();
    for (int b = 0; b < 256; ++b)
      leads[b] = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b)) != FALSE;
    leadBytes_ = LeadByteTable(leads);
  }

  const LeadByteTable &LeadBytes() override { return leadBytes_; }

  bool SameFolderName(std::string_view a, std::string_view b) override {
    // The file system's own rule: ordinal, with the system's upper-case table.
    const std::wstring wideA = Wide(a), wideB = Wide(b);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
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
