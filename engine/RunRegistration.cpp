#include "engine/RunRegistration.h"

#include "engine/DeleteCompiledContents.h"
#include "engine/MergeContents.h"
#include "engine/RecordRegistration.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RequireUsableFolder.h"
#include "engine/SameFolder.h"

namespace vantrel {

const char *const SuccessMessage = "Component help files have been successfully registered.";

void RunRegistration(const TargetProfile &profile, const HelpFileList &list,
                     ClosableDialog &dialog, const RunServices &services) {
  const LeadByteTable &leadBytes = services.characterSet.LeadBytes();
  const std::string programDir = ProgramDirOf(services.executablePath(), leadBytes);
  RequireUsableFolder(programDir, list);
  std::map<std::string, std::string> locationsBefore;
  const std::string installRoot = RegisterHelpLocations(profile, list, programDir, services.registry,
                                                        services.log, &locationsBefore);
  std::vector<std::string> appended;
  const SameFolderTest sameFolder = [&](const std::string &a, const std::string &b) {
    return SameFolder(a, b, services.characterSet, services.folderIdentity);
  };
  const auto recordWhatWasDone = [&](const HelpFileList &done) {
    if (!appended.empty())
      DeleteCompiledContents(ContentsPath(profile, installRoot), services.fileDeleter,
                             services.systemFolders, services.log);
    RecordRegistration(profile, done, programDir, locationsBefore, appended, services.registry,
                       sameFolder);
  };
  try {
    MergeContents(profile, installRoot, list, services.textFiles, services.fileCopier, leadBytes,
                  services.log, &appended);
  } catch (...) {
    // The lines appended before the failure are this folder's: recorded, so
    // that a removal takes them out, and the viewer's copies are stale. The
    // run's own error is the one to report; a second run completes the rest.
    try {
      recordWhatWasDone(HelpFileList(appended.begin(), appended.end()));
    } catch (...) {
    }
    throw;
  }
  recordWhatWasDone(list);
  services.messageBoxes.ShowMessage(SuccessMessage, MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
