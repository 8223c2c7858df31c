#pragma once

#include "engine/HelpFileList.h"
#include "engine/RunRegistration.h"
#include "engine/TargetProfile.h"

namespace vantrel {

enum class Action { Register, Remove };

// How long a run waits for another one to end before it gives up.
constexpr unsigned long LockTimeoutMs = 2 * 60 * 1000;

// Runs the registration or the removal, holding the machine-wide lock, then
// writes how it ended to the log: "done", or "failed: " and the error's text,
// after which the error travels on. A file held open by another program for a
// moment is tried again (RetryingFiles).
void RunAction(Action action, const TargetProfile &profile, const HelpFileList &list,
               ClosableDialog &dialog, const RunServices &services);

} // namespace vantrel
