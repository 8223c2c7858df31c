#include "engine/MergeContents.h"

#include "engine/Characters.h"
#include "engine/ContentsLines.h"
#include "engine/FindByte.h"
#include "platform/Error.h"

#include <array>
#include <cstddef>

namespace vantrel {

namespace {

// Bytes that can belong to a file name: a search key preceded or followed by
// one of these is part of a longer name (LIB.HLP inside MYLIB.HLP).
constexpr std::array<bool, 256> MakeNameByteTable() {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[c] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c >= 128;
  for (unsigned char c : std::string_view(".-_$~!#%&'^+{}`"))
    table[c] = true;
  return table;
}
constexpr std::array<bool, 256> NameBytes = MakeNameByteTable();

bool IsNameByte(char c) { return NameBytes[static_cast<unsigned char>(c)]; }

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

// Reads the whole file (every line, also after a match) and tells whether any
// line names the key, and how the file ends. The lines are searched a run at
// a time, straight in the reader's buffer.
bool ContentsMention(TextFiles &textFiles, const std::string &contentsPath,
                     const std::string &searchKey, const LeadByteTable &leadBytes,
                     ContentsEnd &end) {
  std::unique_ptr<TextReader> reader = textFiles.OpenForReading(contentsPath);
  bool found = false;
  bool firstLines = true;
  char last = '\n';
  while (!reader->AtEnd()) {
    const std::string_view lines = reader->ReadLines();
    if (firstLines)
      RefuseUtf16(lines, contentsPath);
    firstLines = false;
    if (!found)
      found = MentionsName(lines, searchKey, leadBytes);
    if (!lines.empty())
      last = lines.back();
  }
  end.endOfFileChar = reader->ClosedByEndOfFileChar();
  end.needsLineEnd = last != '\n' && last != '\r';
  reader->Close();
  return found;
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

void MergeContents(const TargetProfile &profile, const std::string &installRoot,
                   const HelpFileList &list, TextFiles &textFiles, FileCopier &fileCopier,
                   const LeadByteTable &leadBytes, RunLog &log, const BeforeAppend &beforeAppend,
                   bool makeBackup) {
  const std::string contentsPath = ContentsPath(profile, installRoot);
  if (makeBackup)
    BackUpContents(profile, installRoot, fileCopier, log);

  for (const std::string &entry : list) {
    ContentsEnd end;
    if (ContentsMention(textFiles, contentsPath, SearchKey(entry, leadBytes), leadBytes, end)) {
      log.Write("line kept: \"" + entry + "\" is already in " + contentsPath);
      continue;
    }
    std::unique_ptr<TextAppender> appender = textFiles.OpenForAppending(contentsPath);
    const std::string line = DirectiveLine(entry, leadBytes);
    if (!line.empty()) {
      if (beforeAppend)
        beforeAppend(entry, end);
      appender->WriteLine(line);
    }
    appender->Close();
    log.Write(line.empty() ? "left alone: \"" + entry + "\" is neither a .hlp nor a .cnt file"
                           : "line appended: " + line);
  }
}

} // namespace vantrel
