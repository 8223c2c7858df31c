#pragma once
// Before a removal takes anything away, for the names that the registration
// record knows: what is the program folder's own, exactly as recorded,
// rather than guessed from the help location and the files.

#include "engine/ClaimHelpFiles.h"
#include "engine/RegistrationRecord.h"
#include "engine/TargetProfile.h"

#include <string>
#include <vector>

namespace vantrel {

// The names of the record that programDir registered for the IDE.
std::vector<std::string> RecordedNamesOf(const RegistrationRecord &record,
                                         const TargetProfile &profile,
                                         const std::string &programDir,
                                         const SameFolderTest &sameFolder);

// For each name: this folder's registration for the IDE goes, and with it
// every registration of the name whose folder no longer holds the file (a
// dead one, see HoldsHelpFile). The directive line goes if one of those
// appended it and no other registration for this IDE holds the name; else a
// line this folder's run appended becomes the most recent other one's, to go
// with it. The help location, if it names this folder or a dead one, goes
// back to the most recent other registration (for either IDE) whose folder
// holds the file, else to what it was before the first registration if that
// folder holds it, else it goes. `entryAfter` is what the record then holds.
std::vector<HelpFileClaim> ClaimRecordedHelpFiles(
    const std::vector<std::string> &names, const TargetProfile &profile,
    const RegistrationRecord &record, const std::string &programDir,
    RegistryAccessor *helpLocations, FileExistence &fileExistence, const SameFolderTest &sameFolder,
    const LeadByteTable &leadBytes, RunLog &log);

} // namespace vantrel
