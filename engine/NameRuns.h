#pragma once
// File names as the contents file's lines hold them: maximal runs of name
// characters (letters, digits, the punctuation a file name may hold, any
// byte from 128, and every double-byte character), the rest between them.
// A name that is all name characters is mentioned exactly where it is one of
// a line's runs, so one walk over a file finds every such name at once.

#include "platform/CharacterSet.h"

#include <array>
#include <string_view>

namespace vantrel {

namespace detail {
constexpr std::array<bool, 256> MakeNameByteTable() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c >= 128;
  for (unsigned char c : std::string_view(".-_$~!#%&'^+{}`"))
    table[c] = true;
  return table;
}
inline constexpr std::array<bool, 256> NameBytes = MakeNameByteTable();
} // namespace detail

// Whether the byte can belong to a file name: a name preceded or followed by
// one of these is part of a longer name (LIB.HLP inside MYLIB.HLP).
inline bool IsNameByte(char c) { return detail::NameBytes[static_cast<unsigned char>(c)]; }

// Whether `name` is all name characters (and ends with a whole character).
bool IsAllNameCharacters(std::string_view name, const LeadByteTable &leadBytes);

// Calls `visit` with each maximal run of name characters of `text`, which
// begins at a character (a line does).
template <typename Visit>
void ForEachNameRun(std::string_view text, const LeadByteTable &leadBytes, Visit &&visit) {
  const bool doubleByte = leadBytes.Any();
  std::size_t start = 0, at = 0;
  while (at < text.size()) {
    if (doubleByte && leadBytes.IsLead(text[at]) && at + 1 < text.size()) {
      at += 2;
    } else if (IsNameByte(text[at])) {
      ++at;
    } else {
      if (at > start)
        visit(text.substr(start, at - start));
      start = ++at;
    }
  }
  if (at > start)
    visit(text.substr(start, at - start));
}

} // namespace vantrel
