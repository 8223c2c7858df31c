#include "engine/RunRegistration.h"

#include "engine/CompleteInterruptedRuns.h"
#include "engine/DeleteCompiledContents.h"
#include "engine/DistinctNames.h"
#include "engine/FindAppendedLines.h"
#include "engine/MergeContents.h"
#include "engine/ReadInstallRoot.h"
#include "engine/RecordRegistration.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/RequireUsableFolder.h"
#include "engine/SameFolder.h"

#include "platform/Error.h"

#include <exception>
#include <set>

namespace vantrel {

const char *const SuccessMessage = "Component help files have been successfully registered.";

void RunRegistration(const TargetProfile &profile, const HelpFileList &list,
                     ClosableDialog &dialog, const RunServices &services) {
  const LeadByteTable &leadBytes = services.characterSet.LeadBytes();
  const std::string programDir = ProgramDirOf(services.executablePath(), leadBytes);
  const HelpFileList names = DistinctNames(list, services.characterSet, services.log);
  RequireUsableFolder(programDir, names);
  const std::string installRoot = ReadInstallRoot(profile, *services.registry.CreateAccessor());
  const SameFolderTest sameFolder =
      SameFolderForTheRun(services.characterSet, services.folderIdentity);

  RegistrationRecord record(services.recordStore, services.characterSet);
  record.LogUnreadable(services.log, names, "this registration replaces it");
  record.RequireOwnLayout(names, profile);
  CompleteInterruptedRuns(record, profile, services);
  const std::uint64_t sequence = RegistrationSequence(record, profile, programDir, sameFolder);

  // A run of this folder that was killed after it appended a line made the
  // backup of the file as it was before: completing that run keeps it.
  ContentsRecord contents = record.Contents(profile);
  const bool completing =
      contents.registeringFrom &&
      IsRecordedFolder(record, *contents.registeringFrom, programDir, sameFolder);
  if (completing)
    services.log.Write("completes the registration from this folder that ended without "
                       "finishing; its backup stays");
  // Marks about the file's end hold for the file they were made on. While a
  // registration is under way they are its own, whatever the file holds yet.
  const std::string contentsPath = ContentsPath(profile, installRoot);
  if ((contents.lineEndAdded || contents.endOfFileCharReplaced) && !contents.registeringFrom &&
      FindAppendedLines(profile, contentsPath, record, services.textFiles, leadBytes).empty()) {
    contents.lineEndAdded = contents.endOfFileCharReplaced = false;
    record.Write(profile, contents);
    services.log.Write("the record's marks about the end of " + contentsPath +
                       " are of a file that was replaced since (it holds none of the lines "
                       "registrations appended): started anew");
  }

  try {
    // What the file lists already, from one read of it: the record says which
    // lines this run appends with each name's registration, before anything.
    // A file that cannot be read fails the run after the help locations, as
    // the merge would.
    MergePlan plan;
    std::exception_ptr unreadable;
    try {
      plan = PlanMerge(contentsPath, names, services.textFiles, leadBytes);
    } catch (const Error &) {
      unreadable = std::current_exception();
    }
    std::set<std::string> appending;
    for (std::size_t i = 0; i < plan.mentioned.size(); ++i)
      if (!plan.mentioned[i] && !DirectiveLine(names[i], leadBytes).empty())
        appending.insert(names[i]);
    RegisterHelpLocations(profile, names, programDir, services.registry, services.log,
                          [&](const std::string &name, const std::string &locationBefore) {
                            RecordRegistration(record, name, profile, programDir, sequence,
                                               locationBefore, sameFolder,
                                               appending.count(name) != 0);
                          });
    if (unreadable)
      std::rethrow_exception(unreadable);
    bool firstLine = true;
    MergeContents(profile, installRoot, names, services.textFiles, services.fileCopier, leadBytes,
                  services.log,
                  [&](const std::string &, const ContentsEnd &end) {
                    // The first line that this run appends is the one that
                    // may change the file's end; from then on the viewer's
                    // compiled copies are stale, and a run that completes
                    // this one keeps its backup.
                    if (firstLine) {
                      contents.stale = true;
                      contents.lineEndAdded = contents.lineEndAdded || end.needsLineEnd;
                      contents.endOfFileCharReplaced =
                          contents.endOfFileCharReplaced || end.endOfFileChar;
                      if (!completing)
                        contents.registeringFrom = record.Widen(programDir);
                      if (contents != record.Contents(profile))
                        record.Write(profile, contents);
                      // What the record says of the file is on the disk
                      // before the file changes (its backup is already).
                      record.Flush();
                    }
                    firstLine = false;
                  },
                  !completing, &plan);
  } catch (...) {
    // A run that failed, rather than was killed, ran this: a second run
    // makes its own backup, and the viewer's copies of a file that this run
    // changed go all the same. The run's own error is the one to report.
    try {
      if (contents.stale)
        record.Flush();
      if (contents.stale &&
          DeleteCompiledContents(contentsPath, services.fileDeleter,
                                 services.systemFolders, services.log))
        contents.stale = false;
      contents.registeringFrom.reset();
      if (contents != record.Contents(profile))
        record.Write(profile, contents);
    } catch (...) {
    }
    throw;
  }
  if (contents.stale)
    record.Flush(); // the appended lines are on the disk: the appender flushed them
  if (contents.stale && DeleteCompiledContents(contentsPath, services.fileDeleter, services.systemFolders,
                                               services.log))
    contents.stale = false;
  contents.registeringFrom.reset();
  if (contents != record.Contents(profile))
    record.Write(profile, contents);
  for (const std::string &left : record.DeleteEmptyKeys())
    services.log.Write("left alone: an empty key of the record, which cannot go: " + left);
  record.Flush(); // the run's end is on the disk before it says so
  services.messageBoxes.ShowMessage(SuccessMessage, MessageKind::Information);
  dialog.Close();
}

} // namespace vantrel
