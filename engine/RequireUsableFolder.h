#pragma once

#include "engine/HelpFileList.h"

#include <cstddef>
#include <string>

namespace vantrel {

// The longest path, terminating NUL included, that the Windows file functions
// for 8-bit text (and the help viewer, which uses them) accept.
constexpr std::size_t MaxAnsiPath = 260;

// Raises, naming the folder and what to do, when programDir plus the longest
// listed name is too long a path for those functions: a registration there
// would record help files that no one can open.
void RequireUsableFolder(const std::string &programDir, const HelpFileList &list);

} // namespace vantrel
