#pragma once

#include "engine/HelpFileList.h"
#include "engine/RegistrationRecord.h"
#include "engine/SameFolder.h"
#include "engine/TargetProfile.h"
#include "platform/Registry.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantrel {

// After a registration wrote the help locations and the lines: records for
// every entry of the list that programDir registered it, as the most recent
// folder, and whether the run appended its line (`appended`); a line that an
// earlier run of the same folder appended stays recorded as appended. For a
// name recorded for the first time, the help location it had before
// (`locationsBefore`; a value that already named this folder is left from a
// registration without a record, and counts as none).
void RecordRegistration(const TargetProfile &profile, const HelpFileList &list,
                        const std::string &programDir,
                        const std::map<std::string, std::string> &locationsBefore,
                        const std::vector<std::string> &appended, Registry &registry,
                        const SameFolderTest &sameFolder);

} // namespace vantrel
