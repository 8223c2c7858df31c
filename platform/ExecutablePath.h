#pragma once

#include <string>

namespace vantrel {

// The full path of the running program's executable file, in its long form
// (a start by the short 8.3 path gives the same folder as one by the long
// path), in the system's 8-bit character set. Where the long form has a
// character without a form there, but the program was started by a short
// name that has none, that short name, and `why` says so. Raises
// vantrel::Error, naming the folder, when there is no such name.
std::string ExecutablePath(std::string *why = nullptr);

// The executable's file name alone, from the same path, for reports; a
// character without a form in the 8-bit character set shows as "?".
std::string ExecutableFileName();

} // namespace vantrel
