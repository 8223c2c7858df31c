#pragma once

#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/FileExistence.h"
#include "platform/Registry.h"
#include "platform/TextFile.h"

#include <map>
#include <string>
#include <vector>

namespace vantrel {

// Which of the directive lines the contents file of another IDE version than
// `profile` still holds, wherever that IDE is installed: its DirectiveKey ->
// "Delphi 3 (C:\...\Help\Delphi3.cnt)". An IDE that is not installed, or has
// no contents file, holds none; any other failure to look raises.
std::map<std::string, std::string> FindOtherIdeUses(const TargetProfile &profile,
                                                    const std::vector<std::string> &directiveLines,
                                                    Registry &registry, TextFiles &textFiles,
                                                    FileExistence &fileExistence,
                                                    const LeadByteTable &leadBytes);

} // namespace vantrel
