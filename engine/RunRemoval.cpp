#include "engine/RunRemoval.h"

#include "engine/ClaimHelpFiles.h"
#include "engine/ClaimRecordedHelpFiles.h"
#include "engine/CompleteInterruptedRuns.h"
#include "engine/DeleteCompiledContents.h"
#include "engine/DistinctNames.h"
#include "engine/FindAppendedLines.h"
#include "engine/FindOtherIdeUses.h"
#include "engine/ReadInstallRoot.h"
#include "engine/RecordRegistration.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RemoveHelpLocations.h"
#include "engine/RequireUsableFolder.h"
#include "engine/UnmergeContents.h"

#include <algorithm>
#include <set>

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

// Whether a line that a registration for the IDE appended stays, recorded
// once the claims' entries are written and still in the file (`inFile`, by
// DirectiveKey): one that went with an update of the IDE holds no end.
bool AnyAppendedAfter(const RegistrationRecord &record, const TargetProfile &profile,
                      const std::vector<HelpFileClaim> &claims, const std::set<std::string> &inFile,
                      const LeadByteTable &leadBytes) {
  const auto stays = [&](const NameEntry &entry) {
    const std::optional<std::string> name = record.Narrow(entry.name);
    return name && inFile.count(AppendedLineKey(*name, leadBytes)) != 0 &&
           std::any_of(entry.registrations.begin(), entry.registrations.end(),
                       [&](const Registration &r) {
                         return r.ide == profile.ideName && r.appended;
                       });
  };
  std::set<std::u16string> claimed;
  for (const HelpFileClaim &claim : claims)
    if (claim.recorded) {
      claimed.insert(claim.entryAfter.name);
      if (stays(claim.entryAfter))
        return true;
    }
  for (const NameEntry *entry : record.Entries())
    if (claimed.count(entry->name) == 0 && stays(*entry))
      return true;
  return false;
}

// This IDE's own lines, unless the IDE or its contents file is gone already;
// the record says that the file is about to be replaced before it is.
bool RemoveOwnLines(const TargetProfile &profile, const std::vector<std::string> &lines,
                    const ContentsEnd &restoreEnd, RegistrationRecord &record,
                    ContentsRecord &contents, const RunServices &services) {
  const std::optional<std::string> installRoot =
      FindInstallRoot(profile, *services.registry.CreateAccessor());
  if (!installRoot) {
    services.log.Write("contents left alone: " + profile.ideName + " is not installed (no \"" +
                       InstallRootValue + "\" under " + IdeKeyName(profile) + ")");
    return false;
  }
  const std::string contentsPath = ContentsPath(profile, *installRoot);
  if (!services.fileExistence.FileExists(contentsPath)) {
    services.log.Write("contents left alone: " + contentsPath + " is not there");
    return false;
  }
  const ReplaceJournal journal{
      [&](const PlannedReplace &planned) {
        contents.replace = PendingReplace{record.Widen(contentsPath),
                                          record.Widen(planned.editedCopy), planned.before,
                                          planned.after, planned.restoresEnd};
        contents.stale = true;
        record.Write(profile, contents);
        record.Flush(); // before the edited copy is written and takes the file's place
      },
      [&](bool replaced) {
        if (replaced && contents.replace->restoresEnd)
          contents.lineEndAdded = contents.endOfFileCharReplaced = false;
        contents.replace.reset();
        record.Write(profile, contents);
      }};
  return UnmergeContents(profile, *installRoot, lines,
                         {services.textFiles, services.fileCopier, services.fileReplacer,
                          services.fileExistence, services.fileDeleter},
                         services.characterSet.LeadBytes(), services.log, restoreEnd, journal);
}

} // namespace

void RunRemoval(const TargetProfile &profile, const HelpFileList &list, ClosableDialog &dialog,
                const RunServices &services) {
  const LeadByteTable &leadBytes = services.characterSet.LeadBytes();
  const std::string programDir = ProgramDirOf(services.executablePath(), leadBytes);
  const HelpFileList names = DistinctNames(list, services.characterSet, services.log);
  RequireUsableFolder(programDir, names);
  // Opened for writing before anything is changed: a key this process may
  // not change stops the run here. A removal never creates the key.
  std::unique_ptr<RegistryAccessor> helpLocations = services.registry.CreateAccessor();
  helpLocations->SetRootKey(RootKey::LocalMachine);
  const bool anyLocations = helpLocations->OpenExistingKey(HelpLocationKey, KeyAccess::ReadWrite);
  const SameFolderTest sameFolder =
      SameFolderForTheRun(services.characterSet, services.folderIdentity);

  RegistrationRecord record(services.recordStore, services.characterSet);
  record.LogUnreadable(services.log, names,
                       "removed by the rules for registrations without a record");
  record.RequireOwnLayout(names, profile);
  CompleteInterruptedRuns(record, profile, services);

  // What the record holds of this folder's registrations is undone as
  // recorded, also for names the list no longer holds; the list's other
  // names that the record knows lose their dead registrations; the rest
  // (registered by a version without the record) are decided as before.
  std::vector<std::string> recordedNames = RecordedNamesOf(record, profile, programDir, sameFolder);
  const bool nothingRecorded = recordedNames.empty();
  if (nothingRecorded)
    services.log.Write("nothing of this folder is recorded for " + profile.ideName);
  std::set<const NameEntry *> claimed;
  for (const std::string &name : recordedNames)
    claimed.insert(record.Find(name));
  HelpFileList unrecorded;
  for (const std::string &name : names) {
    const NameEntry *entry = record.Find(name);
    if (entry == nullptr) {
      unrecorded.push_back(name);
      if (!record.Damage(name))
        services.log.Write("no record of \"" + name + "\" for " + profile.ideName +
                           ": decided from its help location and its file");
    } else if (claimed.insert(entry).second) {
      recordedNames.push_back(name);
    }
  }
  RegistryAccessor *locations = anyLocations ? helpLocations.get() : nullptr;
  std::vector<HelpFileClaim> claims =
      ClaimRecordedHelpFiles(recordedNames, profile, record, programDir, locations,
                             services.fileExistence, sameFolder, leadBytes, services.log);
  const std::vector<HelpFileClaim> guessed =
      ClaimHelpFiles(unrecorded, programDir, locations, services.fileExistence,
                     services.characterSet, services.folderIdentity, services.log);
  claims.insert(claims.end(), guessed.begin(), guessed.end());

  // When no line that a registration appended stays, what the first one
  // changed at the file's end goes back with the last.
  ContentsRecord contents = record.Contents(profile);
  std::set<std::string> inFile; // read only where the record holds an end to put back
  if (const std::optional<std::string> installRoot =
          contents.lineEndAdded || contents.endOfFileCharReplaced
              ? FindInstallRoot(profile, *services.registry.CreateAccessor())
              : std::nullopt;
      installRoot && services.fileExistence.FileExists(ContentsPath(profile, *installRoot)))
    inFile = FindAppendedLines(profile, ContentsPath(profile, *installRoot), record,
                               services.textFiles, leadBytes);
  const bool appendedLeft = AnyAppendedAfter(record, profile, claims, inFile, leadBytes);
  const ContentsEnd restoreEnd =
      appendedLeft ? ContentsEnd{} : ContentsEnd{contents.lineEndAdded, contents.endOfFileCharReplaced};
  bool changed = RemoveOwnLines(profile, DirectiveLinesOf(claims, &HelpFileClaim::linesAreOurs),
                                restoreEnd, record, contents, services);

  // The other IDE's contents file matters only where no record decided.
  const std::vector<std::string> ownLocations =
      DirectiveLinesOf(guessed, &HelpFileClaim::locationIsOurs);
  changed = RemoveHelpLocations(claims,
                                  FindOtherIdeUses(profile, ownLocations, services.registry,
                                                   services.textFiles, services.fileExistence,
                                                   leadBytes),
                                  *helpLocations, leadBytes, services.log) ||
              changed;
  helpLocations->CloseKey();

  // Out of the record with what was undone.
  for (const HelpFileClaim &claim : claims)
    if (claim.recorded && *record.Find(claim.entry) != claim.entryAfter) {
      changed = changed || claim.entryAfter.registrations.size() <
                               record.Find(claim.entry)->registrations.size();
      record.Write(claim.entryAfter);
    }
  if (!appendedLeft)
    contents.lineEndAdded = contents.endOfFileCharReplaced = false;
  // An interrupted registration from here is undone now, not to be completed.
  if (contents.registeringFrom &&
      IsRecordedFolder(record, *contents.registeringFrom, programDir, sameFolder))
    contents.registeringFrom.reset();
  if (contents.stale) {
    record.Flush();
    const std::optional<std::string> installRoot =
        FindInstallRoot(profile, *services.registry.CreateAccessor());
    if (!installRoot || DeleteCompiledContents(ContentsPath(profile, *installRoot),
                                               services.fileDeleter, services.systemFolders,
                                               services.log))
      contents.stale = false;
  }
  if (contents != record.Contents(profile))
    record.Write(profile, contents);
  for (const std::string &left : record.DeleteEmptyKeys())
    services.log.Write("left alone: an empty key of the record, which cannot go: " + left);
  record.Flush(); // the run's end is on the disk before it says so

  services.messageBoxes.ShowMessage(
      nothingRecorded && !changed ? "Nothing of this folder is recorded for " + profile.ideName +
                                        ", so no help files have been removed."
                                  : std::string(RemovalSuccessMessage),
      MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
