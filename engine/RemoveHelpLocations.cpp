#include "engine/RemoveHelpLocations.h"

#include "engine/ContentsLines.h"

namespace vantrel {

bool RemoveHelpLocations(const std::vector<HelpFileClaim> &claims,
                         const std::map<std::string, std::string> &otherIdeUses,
                         RegistryAccessor &helpLocations, const LeadByteTable &leadBytes,
                         RunLog &log) {
  bool changed = false;
  for (const HelpFileClaim &claim : claims) {
    const std::string value = "\"" + claim.entry + "\" = " + claim.location;
    if (claim.location.empty()) {
      log.Write("value not there: \"" + claim.entry + "\"");
      continue;
    }
    if (!claim.locationIsOurs) {
      log.Write("value kept: " + value + " names another folder");
      continue;
    }
    if (claim.recorded) {
      if (!claim.stillUsedBy.empty()) {
        log.Write("value kept: " + value + " is " + claim.stillUsedBy);
      } else if (claim.restoreTo) {
        helpLocations.WriteString(claim.entry, *claim.restoreTo);
        changed = true;
        log.Write("value restored: \"" + claim.entry + "\" = " + *claim.restoreTo +
                  ", which still holds the file");
      } else if (helpLocations.DeleteValue(claim.entry)) {
        changed = true;
        log.Write("value removed: " + value);
      }
      continue;
    }
    const auto use = claim.directiveLine.empty()
                         ? otherIdeUses.end()
                         : otherIdeUses.find(DirectiveKey(claim.directiveLine, leadBytes));
    if (use != otherIdeUses.end())
      log.Write("value kept: " + value + " is still used by " + use->second);
    else if (helpLocations.DeleteValue(claim.entry)) {
      changed = true;
      log.Write("value removed: " + value);
    }
  }
  return changed;
}

} // namespace vantrel
