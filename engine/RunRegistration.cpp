#include "engine/RunRegistration.h"

#include "engine/DeleteCompiledContents.h"
#include "engine/MergeContents.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RequireUsableFolder.h"

namespace vantrel {

const char *const SuccessMessage = "Component help files have been successfully registered.";

void RunRegistration(const TargetProfile &profile, const HelpFileList &list,
                     ClosableDialog &dialog, const RunServices &services) {
  const LeadByteTable &leadBytes = services.characterSet.LeadBytes();
  const std::string programDir = ProgramDirOf(services.executablePath(), leadBytes);
  RequireUsableFolder(programDir, list);
  const std::string installRoot =
      RegisterHelpLocations(profile, list, programDir, services.registry, services.log);
  std::size_t linesAppended = 0;
  const auto deleteStaleCopies = [&] {
    if (linesAppended != 0)
      DeleteCompiledContents(ContentsPath(profile, installRoot), services.fileDeleter,
                             services.systemFolders, services.log);
  };
  try {
    MergeContents(profile, installRoot, list, services.textFiles, services.fileCopier, leadBytes,
                  services.log, &linesAppended);
  } catch (...) {
    deleteStaleCopies(); // what was appended stays
    throw;
  }
  deleteStaleCopies();
  services.messageBoxes.ShowMessage(SuccessMessage, MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
