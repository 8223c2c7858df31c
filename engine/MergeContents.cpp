#include "engine/MergeContents.h"

#include "platform/Error.h"

#include <array>

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

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithUtf16Mark(std::string_view line) {
  return line.size() >= 2 && ((line[0] == '\xFF' && line[1] == '\xFE') ||
                              (line[0] == '\xFE' && line[1] == '\xFF'));
}

// Reads the whole file (every line, also after a match) and tells whether any
// line names the key.
bool ContentsMention(TextFiles &textFiles, const std::string &contentsPath,
                     const std::string &searchKey) {
  std::unique_ptr<TextReader> reader = textFiles.OpenForReading(contentsPath);
  bool found = false;
  bool firstLine = true;
  std::string line;
  while (!reader->AtEnd()) {
    reader->ReadLine(line);
    if (firstLine && StartsWithUtf16Mark(line))
      throw Error("The help contents file " + contentsPath +
                  " is saved as UTF-16 text, to which no lines can be added. It has been left "
                  "unchanged.");
    firstLine = false;
    if (!found) {
      UpperCaseAscii(line);
      found = MentionsName(line, searchKey);
    }
  }
  reader->Close();
  return found;
}

} // namespace

void UpperCaseAscii(std::string &text) {
  for (char &c : text)
    c = UpperAscii(c);
}

std::string SearchKey(std::string_view entry) {
  auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!entry.empty() && isBlank(entry.front()))
    entry.remove_prefix(1);
  while (!entry.empty() && isBlank(entry.back()))
    entry.remove_suffix(1);
  std::string key(entry);
  UpperCaseAscii(key);
  return key;
}

std::string UpperExtension(std::string_view entry) {
  const std::size_t nameStart = entry.find_last_of("\\:");
  const std::size_t dot = entry.rfind('.');
  if (dot == std::string_view::npos || (nameStart != std::string_view::npos && dot < nameStart))
    return "";
  std::string extension(entry.substr(dot));
  UpperCaseAscii(extension);
  return extension;
}

std::string DirectiveLine(const std::string &entry) {
  const std::string extension = UpperExtension(entry);
  if (extension == ".CNT")
    return ":Include " + entry;
  if (extension == ".HLP")
    return ":Link " + entry;
  return "";
}

bool MentionsName(std::string_view upperLine, std::string_view searchKey) {
  if (searchKey.empty())
    return false;
  for (std::size_t pos = upperLine.find(searchKey); pos != std::string_view::npos;
       pos = upperLine.find(searchKey, pos + 1)) {
    const std::size_t end = pos + searchKey.size();
    const bool startsName = pos == 0 || !IsNameByte(upperLine[pos - 1]);
    const bool endsName = end == upperLine.size() || !IsNameByte(upperLine[end]);
    if (startsName && endsName)
      return true;
  }
  return false;
}

void MergeContents(const TargetProfile &profile, const std::string &installRoot,
                   const HelpFileList &list, TextFiles &textFiles, FileCopier &fileCopier) {
  const std::string contentsPath = ContentsPath(profile, installRoot);
  const std::string backupPath = BackupPath(profile, installRoot);

  // A missing contents file is reported by the first read below; any other
  // failed copy stops here, before the file could be changed without a backup.
  fileCopier.CopyReplacing(contentsPath, backupPath);

  for (const std::string &entry : list) {
    if (ContentsMention(textFiles, contentsPath, SearchKey(entry)))
      continue;
    std::unique_ptr<TextAppender> appender = textFiles.OpenForAppending(contentsPath);
    const std::string line = DirectiveLine(entry);
    if (!line.empty())
      appender->WriteLine(line);
    appender->Close();
  }
}

} // namespace vantrel
