#pragma once

#include "engine/RegistrationRecord.h"
#include "engine/RunRegistration.h"

namespace vantrel {

// Before a run changes anything else: finishes what an earlier run that was
// killed left half-done, as the record says, for every IDE version. A replace
// of a contents file by its edited copy is completed (the file missing beside
// its edited copy, or the edited copy beside the file as it was), or the
// edited copy, no longer needed, goes; the help viewer's compiled copies that
// a changed contents file made stale go; and a record of the older layout
// moves into the present one. The log says what was done. A replace that
// names other files than the IDE's contents file and its edited copy is
// damage, left as it is; what cannot be completed for the other IDE than the
// run's (its files out of reach) is left for a later run; what the record
// holds about the contents file of an IDE that is no longer installed (no
// key, or its folder gone) is dropped.
void CompleteInterruptedRuns(RegistrationRecord &record, const TargetProfile &runProfile,
                             const RunServices &services);

} // namespace vantrel
