#include "engine/RequireHelpFiles.h"

#include "engine/LoadHelpFiles.h"
#include "platform/Error.h"

namespace vantrel {

void RequireHelpFiles(const HelpFileList &list, const std::string &listFilePath) {
  if (list.empty())
    throw Error("The list of help files " + listFilePath + " names no help files: it has no [" +
                HelpFilesSection + "] section, or no entries in it. Nothing has been changed.");
}

} // namespace vantrel
