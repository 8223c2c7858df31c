#pragma once
// The byte-level rules of appending, shared by every implementation of the
// text-file service so that they cannot drift apart.

#include "platform/LineReader.h"

#include <string>
#include <string_view>

namespace vantrel {

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
