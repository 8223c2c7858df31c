#pragma once

#include "engine/ClaimHelpFiles.h"
#include "platform/Registry.h"
#include "platform/RunLog.h"

#include <map>
#include <string>
#include <vector>

namespace vantrel {

// Deletes the help locations that are the program folder's own, through the
// open help-location key, except where another IDE's contents file still
// holds the entry's directive line (`otherIdeUses`, by DirectiveKey): the
// help viewer needs the location for that IDE, so it stays. Where the
// registration record decided (HelpFileClaim::recorded), a location goes
// back to the folder it names, stays, or goes, as it says. Returns whether a
// location changed.
bool RemoveHelpLocations(const std::vector<HelpFileClaim> &claims,
                         const std::map<std::string, std::string> &otherIdeUses,
                         RegistryAccessor &helpLocations, const LeadByteTable &leadBytes,
                         RunLog &log = NoRunLog());

} // namespace vantrel
