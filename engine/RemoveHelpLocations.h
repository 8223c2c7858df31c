#pragma once

#include "engine/HelpFileList.h"
#include "platform/Registry.h"
#include "platform/RunLog.h"

#include <string>

namespace vantrel {

// Deletes the help-location value of every entry whose data names programDir
// (without regard to ASCII case, with or without the trailing backslash).
// A value that names another folder belongs to another installation and
// stays; a missing value is fine.
void RemoveHelpLocations(const HelpFileList &list, const std::string &programDir,
                         Registry &registry, RunLog &log = NoRunLog());

// Whether two folder names are the same folder, as the help viewer reads them.
bool SameFolder(std::string_view a, std::string_view b);

} // namespace vantrel
