#pragma once

#include "engine/HelpFileList.h"
#include "engine/RunRegistration.h"
#include "engine/TargetProfile.h"

namespace vantrel {

extern const char *const RemovalSuccessMessage;

// Undoes what the registration from the program's folder did, and only what
// is still that folder's own (see ClaimHelpFiles): takes its lines out of this
// IDE's contents file (after a backup) and deletes its help locations that no
// other IDE's contents file still uses; then tells the user and closes the
// dialog. An IDE or contents file that is gone already leaves the contents
// alone. The first error ends the run; what was done stays done, and a second
// run completes it.
void RunRemoval(const TargetProfile &profile, const HelpFileList &list, ClosableDialog &dialog,
                const RunServices &services);

} // namespace vantrel
