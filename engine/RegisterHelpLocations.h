#pragma once

#include "engine/HelpFileList.h"
#include "engine/TargetProfile.h"
#include "platform/Registry.h"

#include <string>

namespace vantrel {

// Where the help viewer looks up the folder of a help file, under HKEY_LOCAL_MACHINE.
extern const char *const HelpLocationKey;
// The IDE key's value that holds the IDE's install folder.
extern const char *const InstallRootValue;

// The folder part of an executable's path, up to and including the last
// backslash or colon.
std::string ProgramDirOf(const std::string &executablePath);

// Reads the IDE's install root, then records programDir as the folder of
// every entry under the help-location key. Raises, before writing anything,
// when the IDE's key or its install root is missing.
std::string RegisterHelpLocations(const TargetProfile &profile, const HelpFileList &list,
                                  const std::string &programDir, Registry &registry);

} // namespace vantrel
