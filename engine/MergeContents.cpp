#include "engine/MergeContents.h"

#include "platform/Error.h"

#include <array>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Where `c` first stands in [at, end), or end. The memchr of some Windows C
// runtimes is a plain byte loop, so where SSE2 is there (every x86-64) the
// bytes are compared sixteen at a time.
const char *FindByte(const char *at, const char *end, char c) {
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi8(c);
  auto matches = [needle](const char *block) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(block)), needle);
  };
  for (; end - at >= 64; at += 64) {
    const __m128i any = _mm_or_si128(_mm_or_si128(matches(at), matches(at + 16)),
                                     _mm_or_si128(matches(at + 32), matches(at + 48)));
    if (_mm_movemask_epi8(any) != 0)
      break;
  }
  for (; end - at >= 16; at += 16) {
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(matches(at)));
    if (mask != 0)
      return at + __builtin_ctz(mask);
  }
  for (; at != end; ++at)
    if (*at == c)
      return at;
  return end;
#else
  const void *hit = std::memchr(at, c, static_cast<std::size_t>(end - at));
  return hit != nullptr ? static_cast<const char *>(hit) : end;
#endif
}

bool NameMatchesAt(std::string_view text, std::size_t start, std::string_view searchKey) {
  for (std::size_t i = 0; i < searchKey.size(); ++i)
    if (UpperAscii(text[start + i]) != searchKey[i])
      return false;
  const std::size_t end = start + searchKey.size();
  return (start == 0 || !IsNameByte(text[start - 1])) &&
         (end == text.size() || !IsNameByte(text[end]));
}

// Reads the whole file (every line, also after a match) and tells whether any
// line names the key. The lines are searched a run at a time, straight in the
// reader's buffer.
bool ContentsMention(TextFiles &textFiles, const std::string &contentsPath,
                     const std::string &searchKey) {
  std::unique_ptr<TextReader> reader = textFiles.OpenForReading(contentsPath);
  bool found = false;
  bool firstLines = true;
  while (!reader->AtEnd()) {
    const std::string_view lines = reader->ReadLines();
    if (firstLines)
      RefuseUtf16(lines, contentsPath);
    firstLines = false;
    if (!found)
      found = MentionsName(lines, searchKey);
  }
  reader->Close();
  return found;
}

} // namespace

void RefuseUtf16(std::string_view firstBytes, const std::string &contentsPath) {
  if (firstBytes.size() >= 2 && ((firstBytes[0] == '\xFF' && firstBytes[1] == '\xFE') ||
                                 (firstBytes[0] == '\xFE' && firstBytes[1] == '\xFF')))
    throw Error("The help contents file " + contentsPath +
                " is saved as UTF-16 text, which this program cannot change. It has been left "
                "unchanged.");
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

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

bool MentionsName(std::string_view text, std::string_view searchKey) {
  // Lines hold no CR or LF, so a key with one is in no line.
  if (searchKey.empty() || text.size() < searchKey.size() ||
      searchKey.find_first_of("\r\n") != std::string_view::npos)
    return false;
  // Candidates are found by one byte of the key. A byte other than a letter
  // has one form only, so a plain byte search finds it: the extension's dot in
  // a usual name.
  std::size_t anchor = searchKey.rfind('.');
  if (anchor == std::string_view::npos)
    anchor = searchKey.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  if (anchor == std::string_view::npos) {
    for (std::size_t start = 0; start + searchKey.size() <= text.size(); ++start)
      if (UpperAscii(text[start]) == searchKey[0] && NameMatchesAt(text, start, searchKey))
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
    if (NameMatchesAt(text, at - anchor, searchKey))
      return true;
  }
  return false;
}

void MergeContents(const TargetProfile &profile, const std::string &installRoot,
                   const HelpFileList &list, TextFiles &textFiles, FileCopier &fileCopier,
                   RunLog &log) {
  const std::string contentsPath = ContentsPath(profile, installRoot);
  const std::string backupPath = BackupPath(profile, installRoot);

  // A missing contents file is reported by the first read below; any other
  // failed copy stops here, before the file could be changed without a backup.
  if (fileCopier.CopyReplacing(contentsPath, backupPath) == CopyOutcome::Copied)
    log.Write("backup made: " + backupPath);

  for (const std::string &entry : list) {
    if (ContentsMention(textFiles, contentsPath, SearchKey(entry))) {
      log.Write("line kept: \"" + entry + "\" is already in " + contentsPath);
      continue;
    }
    std::unique_ptr<TextAppender> appender = textFiles.OpenForAppending(contentsPath);
    const std::string line = DirectiveLine(entry);
    if (!line.empty())
      appender->WriteLine(line);
    appender->Close();
    log.Write(line.empty() ? "left alone: \"" + entry + "\" is neither a .hlp nor a .cnt file"
                           : "line appended: " + line);
  }
}

} // namespace vantrel
