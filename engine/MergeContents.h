#pragma once

#include "engine/ContentsLines.h"
#include "engine/HelpFileList.h"
#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/FileCopy.h"
#include "platform/RunLog.h"
#include "platform/TextFile.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// How the contents file ends, which decides what appending changes there
// first (see TextFiles::OpenForAppending).
struct ContentsEnd {
  bool needsLineEnd = false;  // its last line has no line end
  bool endOfFileChar = false; // an end-of-file character (26) closes it
};

// Called before a line is appended for `entry`, with the file's end as the
// entry's search found it: a run records what it is about to do.
using BeforeAppend = std::function<void(const std::string &entry, const ContentsEnd &end)>;

// Copies the contents file over its backup.
void BackUpContents(const TargetProfile &profile, const std::string &installRoot,
                    FileCopier &fileCopier, RunLog &log = NoRunLog());

// What a merge of the list finds, from one read of the contents file: for
// each entry (in the list's order), whether the file mentions it already, or
// a line appended for an entry before it does; and how the file ends.
struct MergePlan {
  std::vector<bool> mentioned;
  ContentsEnd end;
};
MergePlan PlanMerge(const std::string &contentsPath, const HelpFileList &list,
                    TextFiles &textFiles, const LeadByteTable &leadBytes);

// Backs up the IDE's master help contents file (unless told not to), then
// appends ":Include entry" for every .cnt entry and ":Link entry" for every
// .hlp entry that the file does not mention yet, as PlanMerge finds it (or as
// `plan`, made of the file as it is, says): a line appended for one entry is
// seen by the search for the next. Names are compared by the characters of
// the system's code page (leadBytes).
void MergeContents(const TargetProfile &profile, const std::string &installRoot,
                   const HelpFileList &list, TextFiles &textFiles, FileCopier &fileCopier,
                   const LeadByteTable &leadBytes, RunLog &log = NoRunLog(),
                   const BeforeAppend &beforeAppend = {}, bool makeBackup = true,
                   const MergePlan *plan = nullptr);

// The entry without surrounding spaces and control characters, upper-cased
// (ASCII letters only, never the second byte of a double-byte character).
std::string SearchKey(std::string_view entry, const LeadByteTable &leadBytes);

// True when one of the lines in `text` names `searchKey` (a SearchKey) as a
// whole file name, that is, not as part of a longer name, without regard to
// ASCII case. `text` is one or more whole lines with their line ends. An empty
// key is never found.
bool MentionsName(std::string_view text, std::string_view searchKey,
                  const LeadByteTable &leadBytes);

} // namespace vantrel
