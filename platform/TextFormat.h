#pragma once
// The byte-level rules of the text-file service, shared by every
// implementation of it so that they cannot drift apart.

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

constexpr char EndOfFileChar = '\x1A';

// Where the first CR or LF at or after `pos` stands, or npos.
std::size_t FindLineEnd(std::string_view text, std::size_t pos);

// The line that starts at `pos` in `text`, up to (not including) its line end
// or the end of `text`. `nextPos` receives where the following line starts.
// A line end is CR LF, a lone LF or a lone CR.
std::string_view LineAt(std::string_view text, std::size_t pos, std::size_t &nextPos);

// How an appender treats the file's existing end, decided from its last two
// bytes (fewer when the file is shorter).
struct AppendPlan {
  bool dropEndOfFileChar = false; // the file's last byte is 26: write over it
  bool needsLineEnd = false;      // the last line has no line end: add CR LF
};
AppendPlan PlanAppend(std::string_view fileTail);

// What the appender writes for one line: the pending fix-up (only before the
// first line) and the text with CR LF.
std::string AppendedBytes(const AppendPlan &plan, bool firstLine, const std::string &text);

} // namespace vantrel
