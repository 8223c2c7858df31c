#pragma once

#include "engine/HelpFileList.h"
#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/FileCopy.h"
#include "platform/RunLog.h"
#include "platform/TextFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Backs up the IDE's master help contents file, then appends ":Include entry"
// for every .cnt entry and ":Link entry" for every .hlp entry that the file
// does not mention yet. The file is searched afresh for every entry, so a line
// appended for one entry is seen by the search for the next.
// Names are compared by the characters of the system's code page (leadBytes).
// Adds the entries whose lines it appends to `appended`, if given, as it
// goes: a run that fails part-way has changed the file all the same.
void MergeContents(const TargetProfile &profile, const std::string &installRoot,
                   const HelpFileList &list, TextFiles &textFiles, FileCopier &fileCopier,
                   const LeadByteTable &leadBytes, RunLog &log = NoRunLog(),
                   std::vector<std::string> *appended = nullptr);

// The entry without surrounding spaces and control characters, upper-cased
// (ASCII letters only, never the second byte of a double-byte character).
std::string SearchKey(std::string_view entry, const LeadByteTable &leadBytes);

// The entry's extension (from the last dot of its file name), upper-cased;
// empty when the name has no dot.
std::string UpperExtension(std::string_view entry, const LeadByteTable &leadBytes);

// The directive line for the entry, or empty when its extension calls for none.
std::string DirectiveLine(const std::string &entry, const LeadByteTable &leadBytes);

// True when one of the lines in `text` names `searchKey` (a SearchKey) as a
// whole file name, that is, not as part of a longer name, without regard to
// ASCII case. `text` is one or more whole lines with their line ends. An empty
// key is never found.
bool MentionsName(std::string_view text, std::string_view searchKey,
                  const LeadByteTable &leadBytes);

// Raises, naming the file, when its first bytes mark it as UTF-16 text.
void RefuseUtf16(std::string_view firstBytes, const std::string &contentsPath);

} // namespace vantrel
