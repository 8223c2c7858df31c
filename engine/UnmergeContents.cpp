#include "engine/UnmergeContents.h"

#include "engine/ContentsLines.h"
#include "engine/Fingerprint.h"
#include "platform/Error.h"

#include <set>

namespace vantrel {

bool UnmergeContents(const TargetProfile &profile, const std::string &installRoot,
                     const std::vector<std::string> &directiveLines,
                     const ContentsServices &services, const LeadByteTable &leadBytes,
                     RunLog &log, const ContentsEnd &restoreEnd, const ReplaceJournal &journal) {
  const std::string contentsPath = ContentsPath(profile, installRoot);
  const std::string backupPath = BackupPath(profile, installRoot);

  std::set<std::string> ours;
  for (const std::string &line : directiveLines)
    ours.insert(DirectiveKey(line, leadBytes));

  std::string kept;
  std::vector<std::string> removed;
  bool endRemoved = false; // the lines taken out are the file's last
  Fingerprint before;
  std::unique_ptr<TextReader> reader = services.textFiles.OpenForReading(contentsPath);
  for (bool first = true; !reader->AtEnd(); first = false) {
    const TextLine line = reader->ReadLine();
    if (first)
      RefuseUtf16(line.text, contentsPath);
    before.Add(line.text);
    before.Add(line.end);
    endRemoved = ours.count(DirectiveKey(line.text, leadBytes)) != 0;
    if (endRemoved) {
      removed.emplace_back(line.text);
      continue;
    }
    // A line that ended in a lone CR, now followed by an empty line ended by
    // LF, would read as one line ended by CR LF: its CR gets its own LF.
    if (!kept.empty() && kept.back() == '\r' && line.text.empty() && !line.end.empty() &&
        line.end.front() == '\n')
      kept += '\n';
    kept.append(line.text).append(line.end);
  }
  const bool closedByEndOfFileChar = reader->ClosedByEndOfFileChar();
  if (closedByEndOfFileChar) {
    before.Add(std::string(1, EndOfFileChar));
    kept += EndOfFileChar;
  }
  reader->Close();

  if (removed.empty()) {
    log.Write("no line to remove in " + contentsPath + ": left unchanged");
    return false;
  }
  PlannedReplace planned{EditedCopyPath(profile, installRoot), before.Text(), "",
                         restoreEnd.needsLineEnd || restoreEnd.endOfFileChar};
  // The end goes back only where it is still the one the registrations made:
  // their lines ended the file, after the line end they added.
  const bool endIsOurs =
      endRemoved && (!restoreEnd.needsLineEnd ||
                     (kept.size() >= 2 && kept.compare(kept.size() - 2, 2, "\r\n") == 0)) &&
      (!restoreEnd.endOfFileChar || !closedByEndOfFileChar);
  if (endIsOurs) {
    if (restoreEnd.needsLineEnd)
      kept.resize(kept.size() - 2);
    if (restoreEnd.endOfFileChar)
      kept += EndOfFileChar;
  } else if (planned.restoresEnd) {
    log.Write("end left as it is: the end of " + contentsPath +
              " is no longer the one that registrations made (" +
              (endRemoved ? "it changed since" : "lines follow the ones taken out") + ")");
  }
  planned.after = FingerprintOf(kept);

  // The backup only now, when there is something to take out: a removal that
  // changes nothing leaves the backup of the registration as it was.
  if (services.fileCopier.CopyReplacing(contentsPath, backupPath) == CopyOutcome::Copied)
    log.Write("backup made: " + backupPath);
  if (journal.before)
    journal.before(planned);
  try {
    services.fileReplacer.WriteEditedCopy(planned.editedCopy, kept);
    services.fileReplacer.PutInPlace(planned.editedCopy, contentsPath);
  } catch (const Error &error) {
    if (services.fileExistence.FileExists(contentsPath)) {
      try { // the file is as it was: its edited copy is not needed
        services.fileDeleter.DeleteFileNamed(planned.editedCopy);
        if (journal.after)
          journal.after(false);
      } catch (const std::exception &) {
        // The run's own error is the one to report; the next run deletes it.
      }
      throw;
    }
    // Windows 98 and ME: the file is gone, its edited copy is the content to keep.
    std::string reason = error.what();
    while (!reason.empty() && reason.back() == '.')
      reason.pop_back();
    throw Error(reason + ". The backup " + backupPath +
                " holds the content from before this run; the next run of this program puts "
                "the edited copy in place.");
  }
  if (journal.after)
    journal.after(true);
  for (const std::string &line : removed)
    log.Write("line removed: " + line);
  return true;
}

} // namespace vantrel
