#pragma once

#include "engine/HelpFileList.h"
#include "engine/RunRegistration.h"
#include "engine/TargetProfile.h"

namespace vantrel {

enum class Action { Register, Remove };

// Runs the registration or the removal, then writes how it ended to the log:
// "done", or "failed: " and the error's text, after which the error travels on.
void RunAction(Action action, const TargetProfile &profile, const HelpFileList &list,
               ClosableDialog &dialog, const RunServices &services);

} // namespace vantrel
