#pragma once

#include <string>

namespace vantrel {

// The full path of the running program's executable file, in its long form
// (a start by the short 8.3 path gives the same folder as one by the long
// path), in the system's 8-bit character set. Raises vantrel::Error, naming
// the folder, when a character of the path has no form there.
std::string ExecutablePath();

// The executable's file name alone, from the same path, for reports; a
// character without a form in the 8-bit character set shows as "?".
std::string ExecutableFileName();

} // namespace vantrel
