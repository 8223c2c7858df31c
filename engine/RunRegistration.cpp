#include "engine/RunRegistration.h"

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
  MergeContents(profile, installRoot, list, services.textFiles, services.fileCopier, leadBytes,
                services.log);
  services.messageBoxes.ShowMessage(SuccessMessage, MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
