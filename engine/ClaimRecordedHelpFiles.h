#pragma once
// Before a removal takes anything away, where the registration record holds
// the program folder's registration of a name: what is its own, exactly as
// recorded, rather than guessed from the help location and the files.

#include "engine/ClaimHelpFiles.h"
#include "engine/RecordRegistration.h"
#include "engine/RegistrationRecord.h"
#include "engine/TargetProfile.h"

#include <map>
#include <string>
#include <vector>

namespace vantrel {

// The names of this IDE's record that programDir registered.
std::vector<std::string> RecordedNamesOf(const RegistrationRecord &record,
                                         const std::string &programDir,
                                         const SameFolderTest &sameFolder);

// For each name: its directive line goes if this folder's run appended it and
// no other folder's registration for this IDE still holds the name; its help
// location, if it names this folder, goes back to the most recent other
// registration of the name (for either IDE) whose folder still holds the
// file, else to what it was before the first registration if that folder
// still holds it, else it goes. `records` holds every IDE's record.
std::vector<HelpFileClaim> ClaimRecordedHelpFiles(
    const std::vector<std::string> &names, const TargetProfile &profile,
    const std::map<std::string, RegistrationRecord> &records, const std::string &programDir,
    RegistryAccessor *helpLocations, FileExistence &fileExistence, const SameFolderTest &sameFolder,
    const LeadByteTable &leadBytes, RunLog &log);

} // namespace vantrel
