#pragma once

#include "engine/HelpFileList.h"
#include "platform/CharacterSet.h"
#include "platform/RunLog.h"

namespace vantrel {

// The list's entries, each help name once: of the spellings that the registry
// takes for one value name ("Grid.hlp", "GRID.HLP") the first, since they
// name one help location. Empty entries, which name no file, are left out.
// The log says what was left out.
HelpFileList DistinctNames(const HelpFileList &list, CharacterSet &characterSet, RunLog &log);

} // namespace vantrel
