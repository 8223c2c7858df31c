#pragma once

#include <string>

namespace vantrel {

// The full path of the running program's executable file.
std::string ExecutablePath();

} // namespace vantrel
