#pragma once
// Whether the contents file still holds a line that the record's
// registrations appended: when it holds none, the file was replaced (an
// update of the IDE installs its own), and what the record says about the
// file's end describes a file that is gone.

#include "engine/RegistrationRecord.h"
#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/TextFile.h"

#include <string>

namespace vantrel {

bool FindAppendedLines(const TargetProfile &profile, const std::string &contentsPath,
                       const RegistrationRecord &record, TextFiles &textFiles,
                       const LeadByteTable &leadBytes);

} // namespace vantrel
