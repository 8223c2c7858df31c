#include "engine/UnmergeContents.h"

#include "engine/MergeContents.h"

#include <set>
#include <vector>

namespace vantrel {

namespace {

std::string Comparable(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  std::string text(line);
  UpperCaseAscii(text);
  return text;
}

} // namespace

void UnmergeContents(const TargetProfile &profile, const std::string &installRoot,
                     const HelpFileList &list, const std::string &programDir,
                     const ContentsServices &services, RunLog &log) {
  const std::string contentsPath = ContentsPath(profile, installRoot);
  const std::string backupPath = BackupPath(profile, installRoot);

  // The lines that are this component's: its files lie in the program's folder.
  std::set<std::string> ours;
  for (const std::string &entry : list) {
    const std::string line = DirectiveLine(entry);
    if (line.empty())
      log.Write("left alone: \"" + entry + "\" is neither a .hlp nor a .cnt file");
    else if (services.fileExistence.FileExists(programDir + entry))
      ours.insert(Comparable(line));
    else
      log.Write("lines kept: \"" + line + "\", since " + programDir + entry +
                " is not there: the file is not this component's");
  }

  if (services.fileCopier.CopyReplacing(contentsPath, backupPath) == CopyOutcome::Copied)
    log.Write("backup made: " + backupPath);

  std::string kept;
  std::vector<std::string> removed;
  std::unique_ptr<TextReader> reader = services.textFiles.OpenForReading(contentsPath);
  for (bool first = true; !reader->AtEnd(); first = false) {
    const TextLine line = reader->ReadLine();
    if (first)
      RefuseUtf16(line.text, contentsPath);
    if (ours.count(Comparable(line.text)) != 0) {
      removed.emplace_back(line.text);
      continue;
    }
    kept.append(line.text).append(line.end);
  }
  if (reader->ClosedByEndOfFileChar())
    kept += EndOfFileChar;
  reader->Close();

  if (removed.empty()) {
    log.Write("no line to remove in " + contentsPath + ": left unchanged");
    return;
  }
  services.fileReplacer.Replace(contentsPath, kept);
  for (const std::string &line : removed)
    log.Write("line removed: " + line);
}

} // namespace vantrel
