#pragma once
// Whether the help viewer finds what this folder registers, and what stands
// in its way, changing nothing at all: for support desks, an installer's
// repair and a user whose help does not show at F1.

#include "engine/HelpFileList.h"
#include "engine/RunRegistration.h"
#include "engine/TargetProfile.h"

#include <string>
#include <vector>

namespace vantrel {

struct CheckReport {
  std::vector<std::string> lines; // one per name, then one per thing in the way
  std::size_t aroundLines = 0;    // how many of them are things in the way
  bool allWell = true;            // every name "ok", nothing in the way
};

// For each name of the list (as a registration from programDir would
// register it): "ok: NAME", or "not ok: NAME: " and every reason. Then, for
// the IDE: registrations whose folder no longer holds the file ("dead
// registration: "), directive lines whose file the viewer finds neither at
// its help location nor beside the contents file ("missing: "), and the
// viewer's compiled copies older than the contents file ("stale: "). Raises
// when the check itself cannot be made (the IDE is not installed, the
// contents file cannot be read).
CheckReport CheckRegistration(const TargetProfile &profile, const HelpFileList &list,
                              const RunServices &services);

} // namespace vantrel
