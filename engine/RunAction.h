#pragma once

#include "engine/HelpFileList.h"
#include "engine/RunRegistration.h"
#include "engine/TargetProfile.h"

namespace vantrel {

enum class Action { Register, Remove, Check };

// How long a run waits for another one to end before it gives up.
constexpr unsigned long LockTimeoutMs = 2 * 60 * 1000;

// Most lines of a check's report that its message shows; the log has all.
constexpr std::size_t CheckLinesShown = 20;

// Runs the registration, the removal or the check, holding the machine-wide
// lock, then writes how it ended to the log: "done", or "failed: " and the
// error's text, after which the error travels on. A file held open by another
// program for a moment is tried again (RetryingFiles). A check writes its
// report to the log and shows it (CheckLinesShown lines at most, then how
// many more the log holds), and returns whether all was well; the other
// actions return true.
bool RunAction(Action action, const TargetProfile &profile, const HelpFileList &list,
               ClosableDialog &dialog, const RunServices &services, bool logGiven = false);

} // namespace vantrel
