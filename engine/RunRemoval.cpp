#include "engine/RunRemoval.h"

#include "engine/ClaimHelpFiles.h"
#include "engine/ClaimRecordedHelpFiles.h"
#include "engine/DeleteCompiledContents.h"
#include "engine/FindOtherIdeUses.h"
#include "engine/ReadInstallRoot.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RemoveHelpLocations.h"
#include "engine/RequireUsableFolder.h"
#include "engine/UnmergeContents.h"

#include <algorithm>

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
  const SameFolderTest sameFolder = [&](const std::string &a, const std::string &b) {
    return SameFolder(a, b, services.characterSet, services.folderIdentity);
  };

  // What the record holds of this folder's registrations is undone as
  // recorded, also for names the list no longer holds; the other entries of
  // the list (registered by a version without the record) as before.
  std::map<std::string, RegistrationRecord> records;
  for (int version : KnownTargetVersions) {
    const TargetProfile &known = ProfileForVersion(version);
    records[known.ideName] = ReadRegistrationRecord(services.registry, known);
  }
  RegistrationRecord &record = records[profile.ideName];
  const std::vector<std::string> recordedNames = RecordedNamesOf(record, programDir, sameFolder);
  HelpFileList unrecorded;
  for (const std::string &entry : list)
    if (std::find(recordedNames.begin(), recordedNames.end(), entry) == recordedNames.end())
      unrecorded.push_back(entry);
  std::vector<HelpFileClaim> claims = ClaimRecordedHelpFiles(
      recordedNames, profile, records, programDir, anyLocations ? helpLocations.get() : nullptr,
      services.fileExistence, sameFolder, leadBytes, services.log);
  std::vector<HelpFileClaim> guessed;
  for (const std::string &entry : unrecorded)
    if (!entry.empty())
      services.log.Write("no record of this folder's registration of \"" + entry + "\" for " +
                         profile.ideName + ": decided from its help location and its file");
  guessed = ClaimHelpFiles(unrecorded, programDir, anyLocations ? helpLocations.get() : nullptr,
                           services.fileExistence, services.characterSet,
                           services.folderIdentity, services.log);
  claims.insert(claims.end(), guessed.begin(), guessed.end());

  RemoveOwnLines(profile, DirectiveLinesOf(claims, &HelpFileClaim::linesAreOurs), services);

  // The other IDE's contents file matters only where no record decided.
  const std::vector<std::string> ownLocations =
      DirectiveLinesOf(guessed, &HelpFileClaim::locationIsOurs);
  RemoveHelpLocations(claims,
                      FindOtherIdeUses(profile, ownLocations, services.registry, services.textFiles,
                                       services.fileExistence, leadBytes),
                      *helpLocations, leadBytes, services.log);
  helpLocations->CloseKey();

  // This folder's registrations are undone: out of the record with them. A
  // line it appended that stays for another folder's registration is that
  // one's now, to go with it.
  for (const std::string &name : recordedNames) {
    std::vector<RecordedFolder> &folders = record[name].folders;
    const auto ours = [&](const RecordedFolder &f) { return sameFolder(f.folder, programDir); };
    const bool appended = std::any_of(folders.begin(), folders.end(),
                                      [&](const RecordedFolder &f) { return ours(f) && f.appended; });
    folders.erase(std::remove_if(folders.begin(), folders.end(), ours), folders.end());
    if (appended && !folders.empty())
      folders.back().appended = true;
  }
  if (!recordedNames.empty())
    WriteRegistrationRecord(services.registry, profile, record, recordedNames);

  services.messageBoxes.ShowMessage(RemovalSuccessMessage, MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
