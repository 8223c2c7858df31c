#include "engine/NameRuns.h"

namespace vantrel {

bool IsAllNameCharacters(std::string_view name, const LeadByteTable &leadBytes) {
  for (std::size_t at = 0; at < name.size(); ++at) {
    if (leadBytes.IsLead(name[at])) {
      if (at + 1 == name.size())
        return false; // a lead byte without its second byte
      ++at;
    } else if (!IsNameByte(name[at])) {
      return false;
    }
  }
  return !name.empty();
}

} // namespace vantrel
