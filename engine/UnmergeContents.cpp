#include "engine/UnmergeContents.h"

#include "engine/Characters.h"
#include "engine/MergeContents.h"

#include <set>

namespace vantrel {

std::string DirectiveKey(std::string_view line, const LeadByteTable &leadBytes) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  std::string text(line);
  UpperCaseAscii(text, leadBytes);
  return text;
}

bool UnmergeContents(const TargetProfile &profile, const std::string &installRoot,
                     const std::vector<std::string> &directiveLines,
                     const ContentsServices &services, const LeadByteTable &leadBytes,
                     RunLog &log) {
  const std::string contentsPath = ContentsPath(profile, installRoot);
  const std::string backupPath = BackupPath(profile, installRoot);

  std::set<std::string> ours;
  for (const std::string &line : directiveLines)
    ours.insert(DirectiveKey(line, leadBytes));

  std::string kept;
  std::vector<std::string> removed;
  std::unique_ptr<TextReader> reader = services.textFiles.OpenForReading(contentsPath);
  for (bool first = true; !reader->AtEnd(); first = false) {
    const TextLine line = reader->ReadLine();
    if (first)
      RefuseUtf16(line.text, contentsPath);
    if (ours.count(DirectiveKey(line.text, leadBytes)) != 0) {
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
  if (reader->ClosedByEndOfFileChar())
    kept += EndOfFileChar;
  reader->Close();

  if (removed.empty()) {
    log.Write("no line to remove in " + contentsPath + ": left unchanged");
    return false;
  }
  // The backup only now, when there is something to take out: a removal that
  // changes nothing leaves the backup of the registration as it was.
  if (services.fileCopier.CopyReplacing(contentsPath, backupPath) == CopyOutcome::Copied)
    log.Write("backup made: " + backupPath);
  services.fileReplacer.Replace(contentsPath, kept);
  for (const std::string &line : removed)
    log.Write("line removed: " + line);
  return true;
}

} // namespace vantrel
