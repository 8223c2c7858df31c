#include "engine/RunRemoval.h"

#include "engine/ClaimHelpFiles.h"
#include "engine/DeleteCompiledContents.h"
#include "engine/FindOtherIdeUses.h"
#include "engine/ReadInstallRoot.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RemoveHelpLocations.h"
#include "engine/RequireUsableFolder.h"
#include "engine/UnmergeContents.h"

namespace vantrel {

const char *const RemovalSuccessMessage = "Component help files have been removed.";

namespace {

std::vector<std::string> DirectiveLinesOf(const std::vector<HelpFileClaim> &claims,
                                          bool HelpFileClaim::*which) {
  std::vector<std::string> lines;
  for (const HelpFileClaim &claim : claims)
    if (claim.*which && !claim.directiveLine.empty())
      lines.push_back(claim.directiveLine);
  return lines;
}

// This IDE's own lines, unless the IDE or its contents file is gone already.
void RemoveOwnLines(const TargetProfile &profile, const std::vector<std::string> &lines,
                    const RunServices &services) {
  const std::optional<std::string> installRoot =
      FindInstallRoot(profile, *services.registry.CreateAccessor());
  if (!installRoot) {
    services.log.Write("contents left alone: " + profile.ideName + " is not installed (no \"" +
                       InstallRootValue + "\" under " + IdeKeyName(profile) + ")");
    return;
  }
  const std::string contentsPath = ContentsPath(profile, *installRoot);
  if (!services.fileExistence.FileExists(contentsPath)) {
    services.log.Write("contents left alone: " + contentsPath + " is not there");
    return;
  }
  if (UnmergeContents(profile, *installRoot, lines,
                      {services.textFiles, services.fileCopier, services.fileReplacer},
                      services.characterSet.LeadBytes(), services.log))
    DeleteCompiledContents(contentsPath, services.fileDeleter, services.systemFolders,
                           services.log);
}

} // namespace

void RunRemoval(const TargetProfile &profile, const HelpFileList &list, ClosableDialog &dialog,
                const RunServices &services) {
  const LeadByteTable &leadBytes = services.characterSet.LeadBytes();
  const std::string programDir = ProgramDirOf(services.executablePath(), leadBytes);
  RequireUsableFolder(programDir, list);
  // Opened for writing before anything is changed: a key this process may
  // not change stops the run here. A removal never creates the key.
  std::unique_ptr<RegistryAccessor> helpLocations = services.registry.CreateAccessor();
  helpLocations->SetRootKey(RootKey::LocalMachine);
  const bool anyLocations = helpLocations->OpenExistingKey(HelpLocationKey, KeyAccess::ReadWrite);
  const std::vector<HelpFileClaim> claims =
      ClaimHelpFiles(list, programDir, anyLocations ? helpLocations.get() : nullptr,
                     services.fileExistence, services.characterSet, services.log);

  RemoveOwnLines(profile, DirectiveLinesOf(claims, &HelpFileClaim::linesAreOurs), services);

  const std::vector<std::string> ownLocations =
      DirectiveLinesOf(claims, &HelpFileClaim::locationIsOurs);
  RemoveHelpLocations(claims,
                      FindOtherIdeUses(profile, ownLocations, services.registry, services.textFiles,
                                       services.fileExistence, leadBytes),
                      *helpLocations, leadBytes, services.log);
  helpLocations->CloseKey();

  services.messageBoxes.ShowMessage(RemovalSuccessMessage, MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
