#pragma once

#include "engine/TargetProfile.h"
#include "platform/CharacterSet.h"
#include "platform/FileCopy.h"
#include "platform/FileReplace.h"
#include "platform/RunLog.h"
#include "platform/TextFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct ContentsServices {
  TextFiles &textFiles;
  FileCopier &fileCopier;
  FileReplacer &fileReplacer;
};

// Takes the given directive lines out of the IDE's master help contents file,
// after backing the file up as the merge does (only when a line goes). A line matches without regard
// to ASCII case and to trailing spaces and tabs. The other lines stay as they
// were, each with its own line end, except that a lone CR whose line would
// run into a following empty LF-ended line gets an LF of its own. A file with
// nothing to take out is not written. Returns whether the file was changed.
bool UnmergeContents(const TargetProfile &profile, const std::string &installRoot,
                     const std::vector<std::string> &directiveLines,
                     const ContentsServices &services, const LeadByteTable &leadBytes,
                     RunLog &log = NoRunLog());

// The form in which a contents line is compared with a directive line.
std::string DirectiveKey(std::string_view line, const LeadByteTable &leadBytes);

} // namespace vantrel
