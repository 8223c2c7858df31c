#include "engine/Characters.h"

namespace vantrel {

namespace {

// How many lead-byte values stand right before `at`.
std::size_t LeadRunBefore(std::string_view text, std::size_t at, const LeadByteTable &leadBytes) {
  std::size_t run = 0;
  while (run < at && leadBytes.IsLead(text[at - run - 1]))
    ++run;
  return run;
}

} // namespace

void UpperCaseAscii(std::string &text, const LeadByteTable &leadBytes) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (leadBytes.IsLead(text[i]))
      ++i; // the second byte is part of this character
    else
      text[i] = UpperAscii(text[i]);
  }
}

bool IsCharacterStart(std::string_view text, std::size_t at, const LeadByteTable &leadBytes) {
  return !leadBytes.Any() || LeadRunBefore(text, at, leadBytes) % 2 == 0;
}

bool FollowsDoubleByteCharacter(std::string_view text, std::size_t at,
                                const LeadByteTable &leadBytes) {
  if (!leadBytes.Any() || at < 2)
    return false;
  // Before a character start, a lead-byte value can only be a second byte.
  return leadBytes.IsLead(text[at - 1]) || LeadRunBefore(text, at - 1, leadBytes) % 2 == 1;
}

std::size_t FindLastOf(std::string_view text, std::string_view bytes,
                       const LeadByteTable &leadBytes) {
  if (!leadBytes.Any())
    return text.find_last_of(bytes);
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (leadBytes.IsLead(text[i]))
      ++i;
    else if (bytes.find(text[i]) != std::string_view::npos)
      last = i;
  }
  return last;
}

} // namespace vantrel
