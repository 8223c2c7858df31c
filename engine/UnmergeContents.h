#pragma once

#include "engine/MergeContents.h"
#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/FileCopy.h"
#include "platform/FileDeletion.h"
#include "platform/FileExistence.h"
#include "platform/FileReplace.h"
#include "platform/RunLog.h"
#include "platform/TextFile.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct ContentsServices {
  TextFiles &textFiles;
  FileCopier &fileCopier;
  FileReplacer &fileReplacer;
  FileExistence &fileExistence;
  FileDeleter &fileDeleter;
};

// The replace that a removal is about to make, for its record.
struct PlannedReplace {
  std::string editedCopy;
  std::string before, after; // Fingerprint texts: the file as read, the edited copy
  bool restoresEnd = false;
};

// What the run records around the replace: before the edited copy is
// written, and once the file is replaced (true) or left as it was (false).
struct ReplaceJournal {
  std::function<void(const PlannedReplace &)> before;
  std::function<void(bool replaced)> after;
};

// Takes the given directive lines out of the IDE's master help contents file,
// after backing the file up as the merge does (only when a line goes). A line
// matches without regard to ASCII case and to trailing spaces and tabs. The
// other lines stay as they were, each with its own line end, except that a
// lone CR whose line would run into a following empty LF-ended line gets an
// LF of its own. When the lines taken out end the file and `restoreEnd` says
// what registrations changed there before their first line, that goes back:
// the line end they added goes, the end-of-file character they replaced
// comes back. The edited file takes the original's place through an edited
// copy beside it (EditedCopyPath). A file with nothing to take out is not
// written. Returns whether the file was changed.
bool UnmergeContents(const TargetProfile &profile, const std::string &installRoot,
                     const std::vector<std::string> &directiveLines,
                     const ContentsServices &services, const LeadByteTable &leadBytes,
                     RunLog &log = NoRunLog(), const ContentsEnd &restoreEnd = {},
                     const ReplaceJournal &journal = {});

} // namespace vantrel
