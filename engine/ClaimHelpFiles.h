#pragma once
// Before a removal takes anything away: which of the listed files' help
// locations and contents lines are the program folder's own. A help location
// is shared by every IDE version and belongs to the folder it names (the
// latest registration wins); another folder's registration is left whole.

#include "engine/HelpFileList.h"
#include "engine/RegistrationRecord.h"
#include "engine/SameFolder.h"
#include "platform/CharacterSet.h"
#include "platform/FileExistence.h"
#include "platform/Registry.h"
#include "platform/RunLog.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct HelpFileClaim {
  std::string entry;
  std::string directiveLine;   // what the merge writes for the entry; empty for other kinds
  std::string location;        // the help-location value's data; empty when there is none
  bool locationIsOurs = false; // the value names the program's folder
  bool linesAreOurs = false;   // this IDE's directive lines for the entry may go
  // Decided by the registration record (ClaimRecordedHelpFiles):
  bool recorded = false;
  std::optional<std::string> restoreTo; // the location goes back to this folder
  std::string stillUsedBy;              // the location stays, for this reason
  NameEntry entryAfter;                 // the name's entry once the removal is done
};

// For names of which the record knows nothing (registered by a version of
// the program that kept no record): reads every entry's help location from
// `helpLocations` (the open help-location key, or nullptr when there is none)
// and decides. The value is ours when it names programDir. The lines are ours
// when the entry's file lies in programDir and the value names programDir: a
// file that is not there, no value, or a value naming another folder means
// that nothing shows them to be this folder's.
std::vector<HelpFileClaim> ClaimHelpFiles(const HelpFileList &list, const std::string &programDir,
                                          RegistryAccessor *helpLocations,
                                          FileExistence &fileExistence, CharacterSet &characterSet,
                                          FolderIdentity &folderIdentity, RunLog &log);

} // namespace vantrel
