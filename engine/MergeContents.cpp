#include "engine/MergeContents.h"

#include "engine/Characters.h"
#include "engine/ContentsLines.h"
#include "engine/FindByte.h"
#include "engine/NameRuns.h"
#include "platform/Error.h"

#include <cstddef>
#include <unordered_set>

namespace vantrel {

namespace {

bool NameMatchesAt(std::string_view text, std::size_t start, std::string_view searchKey) {
  for (std::size_t i = 0; i < searchKey.size(); ++i)
    if (UpperAscii(text[start + i]) != searchKey[i])
      return false;
  const std::size_t end = start + searchKey.size();
  return (start == 0 || !IsNameByte(text[start - 1])) &&
         (end == text.size() || !IsNameByte(text[end]));
}

// The same in a double-byte code page: the match must begin at a character,
// a double-byte character is compared as it stands, and one right before the
// match makes it part of a longer name. After the match, a lead byte is a
// name byte already.
bool NameMatchesAt(std::string_view text, std::size_t start, std::string_view searchKey,
                   const LeadByteTable &leadBytes) {
  if (!IsCharacterStart(text, start, leadBytes))
    return false;
  for (std::size_t i = 0; i < searchKey.size(); ++i) {
    if (leadBytes.IsLead(searchKey[i]) && i + 1 < searchKey.size()) {
      if (text[start + i] != searchKey[i] || text[start + i + 1] != searchKey[i + 1])
        return false;
      ++i;
    } else if (UpperAscii(text[start + i]) != searchKey[i]) {
      return false;
    }
  }
  const std::size_t end = start + searchKey.size();
  return (start == 0 ||
          (!FollowsDoubleByteCharacter(text, start, leadBytes) && !IsNameByte(text[start - 1]))) &&
         (end == text.size() || !IsNameByte(text[end]));
}

} // namespace

std::string SearchKey(std::string_view entry, const LeadByteTable &leadBytes) {
  // Bytes up to 32 are never the second byte of a character.
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!entry.empty() && isBlank(entry.front()))
    entry.remove_prefix(1);
  while (!entry.empty() && isBlank(entry.back()))
    entry.remove_suffix(1);
  std::string key(entry);
  UpperCaseAscii(key, leadBytes);
  return key;
}

namespace {

// The search itself, compiled once for single-byte code pages, where it is
// plain byte work, and once for double-byte ones.
template <bool DoubleByte>
bool FindWholeName(std::string_view text, std::string_view searchKey,
                   const LeadByteTable &leadBytes) {
  auto matchesAt = [&](std::size_t start) {
    if constexpr (DoubleByte)
      return NameMatchesAt(text, start, searchKey, leadBytes);
    else
      return NameMatchesAt(text, start, searchKey);
  };
  // Candidates are found by one byte of the key. A byte other than a letter
  // has one form only, so a plain byte search finds it: the extension's dot in
  // a usual name.
  std::size_t anchor = searchKey.rfind('.');
  if (anchor == std::string_view::npos)
    anchor = searchKey.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  if (anchor == std::string_view::npos) {
    for (std::size_t start = 0; start + searchKey.size() <= text.size(); ++start)
      if (UpperAscii(text[start]) == searchKey[0] && matchesAt(start))
        return true;
    return false;
  }
  const char anchorByte = searchKey[anchor];
  const std::size_t anchorEnd = text.size() - searchKey.size() + anchor + 1; // past the last start
  for (std::size_t at = anchor; at < anchorEnd; ++at) {
    const char *hit = FindByte(text.data() + at, text.data() + anchorEnd, anchorByte);
    at = static_cast<std::size_t>(hit - text.data());
    if (at == anchorEnd)
      return false;
    if (matchesAt(at - anchor))
      return true;
  }
  return false;
}

} // namespace

bool MentionsName(std::string_view text, std::string_view searchKey,
                  const LeadByteTable &leadBytes) {
  // Lines hold no CR or LF, so a key with one is in no line.
  if (searchKey.empty() || text.size() < searchKey.size() ||
      searchKey.find_first_of("\r\n") != std::string_view::npos)
    return false;
  return leadBytes.Any() ? FindWholeName<true>(text, searchKey, leadBytes)
                         : FindWholeName<false>(text, searchKey, leadBytes);
}

void BackUpContents(const TargetProfile &profile, const std::string &installRoot,
                    FileCopier &fileCopier, RunLog &log) {
  // A missing contents file is reported by the merge's first read; any other
  // failed copy stops here, before the file could be changed without a backup.
  const std::string backupPath = BackupPath(profile, installRoot);
  if (fileCopier.CopyReplacing(ContentsPath(profile, installRoot), backupPath) ==
      CopyOutcome::Copied)
    log.Write("backup made: " + backupPath);
}

MergePlan PlanMerge(const std::string &contentsPath, const HelpFileList &list,
                    TextFiles &textFiles, const LeadByteTable &leadBytes) {
  // A name of name characters only is mentioned where it is one of the
  // file's runs of them; any other is searched for as it stands.
  std::vector<std::string> keys;
  std::unordered_set<std::string> runsWanted, runsFound;
  std::vector<std::size_t> searched; // the entries searched for as they stand
  for (const std::string &entry : list) {
    keys.push_back(SearchKey(entry, leadBytes));
    if (IsAllNameCharacters(keys.back(), leadBytes))
      runsWanted.insert(keys.back());
    else
      searched.push_back(keys.size() - 1);
  }
  MergePlan plan;
  plan.mentioned.assign(list.size(), false);
  if (list.empty())
    return plan; // nothing to look for: the file is not read
  std::string run;
  const auto noteRuns = [&](std::string_view lines) {
    ForEachNameRun(lines, leadBytes, [&](std::string_view found) {
      run.assign(found);
      UpperCaseAscii(run, leadBytes);
      if (runsWanted.count(run) != 0)
        runsFound.insert(run);
    });
  };

  // One read of the whole file, which also tells how it ends.
  std::unique_ptr<TextReader> reader = textFiles.OpenForReading(contentsPath);
  bool firstLines = true;
  char last = '\n';
  while (!reader->AtEnd()) {
    const std::string_view lines = reader->ReadLines();
    if (firstLines)
      RefuseUtf16(lines, contentsPath);
    firstLines = false;
    noteRuns(lines);
    for (std::size_t i : searched)
      plan.mentioned[i] = plan.mentioned[i] || MentionsName(lines, keys[i], leadBytes);
    if (!lines.empty())
      last = lines.back();
  }
  plan.end.endOfFileChar = reader->ClosedByEndOfFileChar();
  plan.end.needsLineEnd = last != '\n' && last != '\r';
  reader->Close();

  // The lines appended for the entries before count too.
  std::string appended;
  for (std::size_t i = 0; i < list.size(); ++i) {
    plan.mentioned[i] = plan.mentioned[i] || runsFound.count(keys[i]) != 0 ||
                        (!IsAllNameCharacters(keys[i], leadBytes) &&
                         MentionsName(appended, keys[i], leadBytes));
    const std::string line = plan.mentioned[i] ? "" : DirectiveLine(list[i], leadBytes);
    if (!line.empty()) {
      noteRuns(line);
      appended += line + "\r\n";
    }
  }
  return plan;
}

void MergeContents(const TargetProfile &profile, const std::string &installRoot,
                   const HelpFileList &list, TextFiles &textFiles, FileCopier &fileCopier,
                   const LeadByteTable &leadBytes, RunLog &log, const BeforeAppend &beforeAppend,
                   bool makeBackup, const MergePlan *planned) {
  const std::string contentsPath = ContentsPath(profile, installRoot);
  if (makeBackup)
    BackUpContents(profile, installRoot, fileCopier, log);
  const MergePlan plan = planned ? *planned : PlanMerge(contentsPath, list, textFiles, leadBytes);

  std::unique_ptr<TextAppender> appender;
  ContentsEnd end = plan.end; // as the first appended line finds it; CR LF after that
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string &entry = list[i];
    if (plan.mentioned[i]) {
      log.Write("line kept: \"" + entry + "\" is already in " + contentsPath);
      continue;
    }
    // Opened at the first entry not mentioned, as its line would be appended:
    // a file that cannot take one fails the run there.
    if (!appender)
      appender = textFiles.OpenForAppending(contentsPath);
    const std::string line = DirectiveLine(entry, leadBytes);
    if (line.empty()) {
      log.Write("left alone: \"" + entry + "\" is neither a .hlp nor a .cnt file");
      continue;
    }
    if (beforeAppend)
      beforeAppend(entry, end);
    appender->WriteLine(line);
    end = ContentsEnd{};
    log.Write("line appended: " + line);
  }
  if (appender)
    appender->Close();
}

} // namespace vantrel
