#pragma once

#include "engine/HelpFileList.h"

#include <string>

namespace vantrel {

// For installers: a list that names no help files is a mistake (a misspelt
// section, the wrong file), never a request to do nothing. Raises, naming the
// list file and its section, when the list is empty.
void RequireHelpFiles(const HelpFileList &list, const std::string &listFilePath);

} // namespace vantrel
