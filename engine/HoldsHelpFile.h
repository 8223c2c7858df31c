#pragma once
// Whether a recorded folder still holds a help file: a registration whose
// folder was moved, renamed or deleted holds nothing any more.

#include "platform/FileExistence.h"

#include <string>

namespace vantrel {

enum class Holding {
  Holds,   // the file is there
  Gone,    // it is not, and the folder's drive or share is there: it went
  Unknown, // the drive is not there (a removable disk, a share not connected), or the system cannot tell
};

Holding HoldsHelpFile(const std::string &folder, const std::string &name,
                      FileExistence &fileExistence);

// The file's path in a folder that may be written with or without its
// trailing backslash.
std::string InFolder(const std::string &folder, const std::string &name);

} // namespace vantrel
