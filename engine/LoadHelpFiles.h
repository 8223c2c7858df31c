#pragma once

#include "engine/HelpFileList.h"
#include "platform/ProfileFile.h"

#include <string>

namespace vantrel {

// The list file, relative to the current working directory, and its section.
extern const char *const ListFilePath;
extern const char *const HelpFilesSection;

// Appends the values of the list file's help-file section to `list`, one per
// entry, in file order. A missing file or section adds nothing.
void LoadHelpFiles(ProfileFiles &profiles, const std::string &listFilePath, HelpFileList &list);

} // namespace vantrel
