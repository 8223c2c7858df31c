#pragma once
// Walking 8-bit text by the characters of the system's code page. In a
// double-byte code page the second byte of a character can look like an
// ASCII letter or a backslash ("表" is 95 5C): it must never be case-folded
// or taken for a separator. With no lead bytes, all of this is byte by byte.

#include "platform/CharacterSet.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

// ASCII-only upper-casing of one byte: a to z become A to Z, the rest stays.
inline char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Upper-cases the single-byte characters by ASCII rules; double-byte
// characters stay as they are.
void UpperCaseAscii(std::string &text, const LeadByteTable &leadBytes = LeadByteTable());

// Whether a character begins at `at`. `text` must begin at a character (a
// line or a path does). Lead bytes come in pairs before a boundary: the byte
// before a run of them is never a lead byte, so a boundary follows it.
bool IsCharacterStart(std::string_view text, std::size_t at, const LeadByteTable &leadBytes);

// Whether the character that ends at `at` (a character start) is a double-byte one.
bool FollowsDoubleByteCharacter(std::string_view text, std::size_t at,
                                const LeadByteTable &leadBytes);

// The position of the last single-byte character of `text` that is one of
// `bytes`, or npos.
std::size_t FindLastOf(std::string_view text, std::string_view bytes,
                       const LeadByteTable &leadBytes);

} // namespace vantrel
