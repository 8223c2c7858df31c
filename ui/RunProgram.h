#pragma once
// From the command line to a finished run: the plain dialog when there are
// no arguments, otherwise what the installer's switches ask for.

#include "engine/TargetProfile.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vantrel::ui {

// Returns the program's exit code.
int RunProgram(HINSTANCE instance, const TargetProfile &profile,
               const std::vector<std::string> &arguments);

} // namespace vantrel::ui
