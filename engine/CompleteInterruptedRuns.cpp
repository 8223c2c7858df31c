#include "engine/CompleteInterruptedRuns.h"

#include "engine/DeleteCompiledContents.h"
#include "engine/Fingerprint.h"
#include "engine/ReadInstallRoot.h"

namespace vantrel {

namespace {

// The file's Fingerprint text, or nothing when there is no such file.
std::optional<std::string> FingerprintOfFile(const std::string &path, const RunServices &services) {
  if (!services.fileExistence.FileExists(path))
    return std::nullopt;
  std::unique_ptr<TextReader> reader = services.textFiles.OpenForReading(path);
  Fingerprint fingerprint;
  while (!reader->AtEnd())
    fingerprint.Add(reader->ReadLines());
  if (reader->ClosedByEndOfFileChar())
    fingerprint.Add(std::string(1, EndOfFileChar));
  reader->Close();
  return fingerprint.Text();
}

void DeleteEditedCopy(const std::string &editedCopy, const RunServices &services) {
  services.fileDeleter.DeleteFileNamed(editedCopy);
  services.log.Write("edited copy deleted: " + editedCopy + ", which an earlier run left behind");
}

// Returns whether the file now holds the edited content.
bool CompleteReplace(const PendingReplace &replace, const RegistrationRecord &record,
                     const RunServices &services) {
  const std::optional<std::string> contentsPath = record.Narrow(replace.contentsPath);
  const std::optional<std::string> editedCopy = record.Narrow(replace.editedCopy);
  if (!contentsPath || !editedCopy) {
    services.log.Write("left alone: a replace of " + record.Shown(replace.contentsPath) +
                       " that an earlier run left unfinished, recorded under another code page");
    return false;
  }
  const std::optional<std::string> contents = FingerprintOfFile(*contentsPath, services);
  const std::optional<std::string> edited = FingerprintOfFile(*editedCopy, services);
  if (contents == replace.after) {
    if (edited)
      DeleteEditedCopy(*editedCopy, services);
    return true;
  }
  if (edited == replace.after && (!contents || contents == replace.before)) {
    services.fileReplacer.PutInPlace(*editedCopy, *contentsPath);
    services.log.Write("replace completed: " + *contentsPath + " is now its edited copy " +
                       *editedCopy + ", which an earlier run left unfinished");
    return true;
  }
  if (!contents) {
    services.log.Write("contents file missing: " + *contentsPath +
                       " is not there, and no edited copy that an earlier run left can take its "
                       "place; its backup holds the content from before that run");
    return false;
  }
  if (edited)
    DeleteEditedCopy(*editedCopy, services);
  return false;
}

// Whether the recorded replace is one of the IDE's own contents file by its
// edited copy: a record value is input, and names no other file.
bool IsReplaceOfContents(const PendingReplace &replace, const TargetProfile &profile,
                         const std::string &installRoot, const RegistrationRecord &record) {
  return record.Narrow(replace.contentsPath) == ContentsPath(profile, installRoot) &&
         record.Narrow(replace.editedCopy) == EditedCopyPath(profile, installRoot);
}

void CompleteForIde(RegistrationRecord &record, const TargetProfile &profile,
                    const RunServices &services) {
  ContentsRecord contents = record.Contents(profile);
  if (contents.Empty())
    return;
  const std::optional<std::string> installRoot =
      FindInstallRoot(profile, *services.registry.CreateAccessor());
  // What the record holds about the contents file of an IDE that is gone
  // (unfinished work, the state of its end) went with it.
  if (!installRoot || !services.fileExistence.FolderExists(*installRoot)) {
    services.log.Write("dropped from the record: what it held about " + profile.ideName +
                       "'s contents file" +
                       (contents.replace ? ", a replace of " +
                                               record.Shown(contents.replace->contentsPath) +
                                               " that an earlier run left unfinished among it"
                                         : std::string()) +
                       ", since " + profile.ideName + " is no longer installed (" +
                       (installRoot ? *installRoot + " is not there"
                                    : "no \"" + std::string(InstallRootValue) + "\" under " +
                                          IdeKeyName(profile)) +
                       ")");
    record.Write(profile, ContentsRecord{});
    return;
  }
  if (!contents.replace && !contents.stale)
    return;
  if (contents.replace && !IsReplaceOfContents(*contents.replace, profile, *installRoot, record)) {
    services.log.Write("left alone: the record of " + profile.ideName +
                       "'s contents file is damaged: it names a replace of " +
                       record.Shown(contents.replace->contentsPath) + " by " +
                       record.Shown(contents.replace->editedCopy) +
                       ", which are not its contents file and edited copy");
  } else if (contents.replace) {
    record.Flush(); // what it read there, before the files change
    if (CompleteReplace(*contents.replace, record, services)) {
      contents.stale = true;
      if (contents.replace->restoresEnd)
        contents.lineEndAdded = contents.endOfFileCharReplaced = false;
    }
    contents.replace.reset();
    record.Write(profile, contents);
  }
  if (contents.stale)
    record.Flush();
  if (contents.stale && DeleteCompiledContents(ContentsPath(profile, *installRoot),
                                               services.fileDeleter, services.systemFolders,
                                               services.log)) {
    contents.stale = false;
    record.Write(profile, contents);
  }
}

} // namespace

void CompleteInterruptedRuns(RegistrationRecord &record, const TargetProfile &runProfile,
                             const RunServices &services) {
  if (record.HasOlderLayout()) {
    record.MoveOlderLayout();
    services.log.Write("record moved to its present layout (one entry per help file)");
  }
  for (int version : KnownTargetVersions) {
    const TargetProfile &profile = ProfileForVersion(version);
    try {
      CompleteForIde(record, profile, services);
    } catch (const std::exception &error) {
      // The run's own IDE must be whole before the run changes it; the other
      // IDE's files may lie out of reach (a share), and a later run completes them.
      if (profile.ideName == runProfile.ideName)
        throw;
      services.log.Write("left for a later run: what an earlier run left unfinished for " +
                         profile.ideName + " (" + error.what() + ")");
    }
  }
}

} // namespace vantrel
