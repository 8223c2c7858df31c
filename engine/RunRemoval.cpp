#include "engine/RunRemoval.h"

#include "engine/ReadInstallRoot.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RemoveHelpLocations.h"
#include "engine/UnmergeContents.h"

namespace vantrel {

const char *const RemovalSuccessMessage = "Component help files have been removed.";

void RunRemoval(const TargetProfile &profile, const HelpFileList &list, ClosableDialog &dialog,
                const RunServices &services) {
  const std::string programDir = ProgramDirOf(services.executablePath());
  const std::string installRoot = ReadInstallRoot(profile, *services.registry.CreateAccessor());
  UnmergeContents(profile, installRoot, list, programDir,
                  {services.textFiles, services.fileCopier, services.fileReplacer,
                   services.fileExistence},
                  services.log);
  RemoveHelpLocations(list, programDir, services.registry, services.log);
  services.messageBoxes.ShowMessage(RemovalSuccessMessage, MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
