#pragma once
// Which of the lines that the record's registrations appended the contents
// file still holds. When it holds none, the file was replaced (an update of
// the IDE installs its own), and what the record says about the file's end
// describes a file that is gone; a registration whose line went with it no
// longer counts as having appended, for the end.

#include "engine/RegistrationRecord.h"
#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/TextFile.h"

#include <set>
#include <string>

namespace vantrel {

// The DirectiveKeys of the lines that registrations for the IDE appended and
// that the file holds.
std::set<std::string> FindAppendedLines(const TargetProfile &profile,
                                        const std::string &contentsPath,
                                        const RegistrationRecord &record, TextFiles &textFiles,
                                        const LeadByteTable &leadBytes);

// The DirectiveKey of the name's line; empty for a name that has none.
std::string AppendedLineKey(const std::string &name, const LeadByteTable &leadBytes);

} // namespace vantrel
