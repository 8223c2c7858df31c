#pragma once
// A character set for runs on the in-memory stand-ins: a given table of lead
// bytes, and folder names compared by ASCII case folding of their
// single-byte characters (the system's own rule is tested under Windows).

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

private:
  LeadByteTable leadBytes_;
};

} // namespace vantrel::test
