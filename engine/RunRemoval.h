#pragma once

#include "engine/HelpFileList.h"
#include "engine/RunRegistration.h"
#include "engine/TargetProfile.h"

namespace vantrel {

extern const char *const RemovalSuccessMessage;

// Undoes what the registration of this component did: checks that the IDE is
// installed, takes this component's lines out of the contents file (after a
// backup), deletes the help locations that name the program's folder, tells
// the user and closes the dialog. The first error ends the run; what was done
// stays done, and a second run completes it.
void RunRemoval(const TargetProfile &profile, const HelpFileList &list, ClosableDialog &dialog,
                const RunServices &services);

} // namespace vantrel
