#pragma once

#include "engine/HelpFileList.h"
#include "engine/TargetProfile.h"
#include "platform/FileCopy.h"
#include "platform/FileExistence.h"
#include "platform/FileReplace.h"
#include "platform/RunLog.h"
#include "platform/TextFile.h"

#include <string>

namespace vantrel {

struct ContentsServices {
  TextFiles &textFiles;
  FileCopier &fileCopier;
  FileReplacer &fileReplacer;
  FileExistence &fileExistence;
};

// Takes out of the IDE's master help contents file the directive lines that
// the merge writes for the entries whose files lie in programDir (so the line
// is this component's), after backing the file up as the merge does. A line
// matches without regard to ASCII case and to trailing spaces and tabs. Every
// other byte stays as it was; a file with nothing to take out is not written.
void UnmergeContents(const TargetProfile &profile, const std::string &installRoot,
                     const HelpFileList &list, const std::string &programDir,
                     const ContentsServices &services, RunLog &log = NoRunLog());

} // namespace vantrel
