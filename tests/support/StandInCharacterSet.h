#pragma once
// A character set for runs on the in-memory stand-ins: a given table of lead
// bytes, folder and value names compared by ASCII case folding of their
// single-byte characters (the system's own rule is tested under Windows),
// and a UTF-16 form in which a double-byte character is one code unit from
// 0x8000 up: a single-byte code page has no form for those.

#include "engine/Characters.h"
#include "platform/CharacterSet.h"

namespace vantrel::test {

// Code page 932 (Shift JIS): lead bytes 81-9F and E0-FC.
inline LeadByteTable CodePage932() {
  std::array<bool, 256> leads{};
  for (int b = 0x81; b <= 0xFC; ++b)
    leads[b] = b <= 0x9F || b >= 0xE0;
  return LeadByteTable(leads);
}

class StandInCharacterSet : public CharacterSet {
public:
  explicit StandInCharacterSet(const LeadByteTable &leadBytes = LeadByteTable())
      : leadBytes_(leadBytes) {}
  const LeadByteTable &LeadBytes() override { return leadBytes_; }
  bool SameFolderName(std::string_view a, std::string_view b) override {
    std::string upperA(a), upperB(b);
    UpperCaseAscii(upperA, leadBytes_);
    UpperCaseAscii(upperB, leadBytes_);
    return upperA == upperB;
  }
  std::u16string Widen(std::string_view text) override {
    std::u16string wide;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if (leadBytes_.IsLead(text[i]) && i + 1 < text.size())
        wide += static_cast<char16_t>(0x8000 | (byte - 0x80) << 8 |
                                      static_cast<unsigned char>(text[++i]));
      else
        wide += static_cast<char16_t>(byte);
    }
    return wide;
  }
  std::optional<std::string> Narrow(std::u16string_view text) override {
    std::string narrow;
    for (char16_t c : text) {
      if (c < 0x100 && !leadBytes_.IsLead(static_cast<char>(c))) {
        narrow += static_cast<char>(c);
      } else if (c >= 0x8000 && leadBytes_.IsLead(static_cast<char>(((c >> 8) & 0x7F) | 0x80))) {
        narrow += static_cast<char>(((c >> 8) & 0x7F) | 0x80);
        narrow += static_cast<char>(c & 0xFF);
      } else {
        return std::nullopt;
      }
    }
    return narrow;
  }
  std::u16string NameKey(std::u16string_view name) override {
    std::u16string key(name);
    for (char16_t &c : key)
      if (c >= u'a' && c <= u'z')
        c = static_cast<char16_t>(c - u'a' + u'A');
    return key;
  }

private:
  LeadByteTable leadBytes_;
};

} // namespace vantrel::test
