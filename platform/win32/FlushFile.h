#pragma once
// Taking a file that was just written or renamed to the disk: Windows writes
// files lazily, and a change that relies on this one may reach the disk first.

#include <string>

namespace vantrel::win32 {

// Returns once the file's data (and, where the system has no write-through
// rename, its name) is on the disk; raises vantrel::Error with `failure` and
// the system's reason otherwise.
void FlushFile(const std::string &path, const std::string &failure);

} // namespace vantrel::win32
