#pragma once
// Whether two names of folders name one folder: the help locations, the
// registration record and the program's own folder are compared so.

#include "platform/CharacterSet.h"
#include "platform/FolderIdentity.h"

#include <functional>
#include <string>
#include <string_view>

namespace vantrel {

// Whether two folder names are the same folder: where both exist, by what
// the file system says they are (so a short name or another drive letter for
// a folder is that folder); else by their names, as the file system reads
// them: without regard to case, with or without the trailing backslash.
bool SameFolder(std::string_view a, std::string_view b, CharacterSet &characterSet,
                FolderIdentity &folderIdentity);

// The same question with the services bound, for operations that ask it often.
using SameFolderTest = std::function<bool(const std::string &, const std::string &)>;

// The question for one run: each answer is kept, since a run asks about the
// same few folders for every name, and no folder changes while it runs.
SameFolderTest SameFolderForTheRun(CharacterSet &characterSet, FolderIdentity &folderIdentity);

} // namespace vantrel
