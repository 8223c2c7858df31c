#pragma once
// The system's 8-bit character set (the ANSI code page), as far as comparing
// names needs it: which bytes begin a double-byte character (Japanese,
// Chinese and Korean Windows), and how the file system folds the case of
// folder names.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// 256 flags: whether a byte begins a double-byte character. All false for
// single-byte code pages and for UTF-8, whose bytes above 127 never stand
// for an ASCII character.
class LeadByteTable {
public:
  LeadByteTable() = default; // single-byte: no lead bytes
  explicit LeadByteTable(const std::array<bool, 256> &leads) : leads_(leads) {
    for (bool lead : leads)
      any_ = any_ || lead;
  }
  bool IsLead(char c) const { return leads_[static_cast<unsigned char>(c)]; }
  bool Any() const { return any_; }

private:
  std::array<bool, 256> leads_{};
  bool any_ = false;
};

class CharacterSet {
public:
  virtual ~CharacterSet() = default;
  virtual const LeadByteTable &LeadBytes() = 0;
  // Whether the two paths are the same text under the file system's case rule
  // for every character of the code page (Ä and ä alike).
  virtual bool SameFolderName(std::string_view a, std::string_view b) = 0;
  // The text in UTF-16, as the system reads it in its code page.
  virtual std::u16string Widen(std::string_view text) = 0;
  // The UTF-16 text in the code page, or nothing when one of its characters
  // has no form there (never a look-alike).
  virtual std::optional<std::string> Narrow(std::u16string_view text) = 0;
  // The name upper-cased as the registry compares value names, so that the
  // names it takes for one value ("Grid.hlp", "GRID.HLP") have one key.
  virtual std::u16string NameKey(std::u16string_view name) = 0;
};

CharacterSet &SystemCharacterSet();

} // namespace vantrel
