#pragma once

#include "engine/HelpFileList.h"
#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/Registry.h"
#include "platform/RunLog.h"

#include <functional>
#include <string>

namespace vantrel {

// Where the help viewer looks up the folder of a help file, under HKEY_LOCAL_MACHINE.
extern const char *const HelpLocationKey;

// The folder part of an executable's path, up to and including the last
// backslash or colon (a character of its own, not the second byte of one).
std::string ProgramDirOf(const std::string &executablePath, const LeadByteTable &leadBytes);

// Called before an entry's help location is written, with what it held (empty:
// none): a run records what it is about to do.
using BeforeLocationWrite =
    std::function<void(const std::string &entry, const std::string &locationBefore)>;

// Reads the IDE's install root, then records programDir as the folder of
// every entry under the help-location key (an empty entry, which names no
// file, is left alone). Raises, before writing anything, when the IDE's key
// or its install root is missing.
std::string RegisterHelpLocations(const TargetProfile &profile, const HelpFileList &list,
                                  const std::string &programDir, Registry &registry,
                                  RunLog &log = NoRunLog(),
                                  const BeforeLocationWrite &beforeWrite = {});

} // namespace vantrel
