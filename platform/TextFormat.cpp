#include "platform/TextFormat.h"

#include <cstring>

namespace vantrel {

std::size_t FindLineEnd(std::string_view text, std::size_t pos) {
  if (pos >= text.size())
    return std::string_view::npos;
  // Two memchr passes beat one byte loop by far on the long files this reads.
  const char *begin = text.data() + pos;
  const std::size_t rest = text.size() - pos;
  const void *lf = std::memchr(begin, '\n', rest);
  const std::size_t lfAt = lf ? static_cast<const char *>(lf) - begin : rest;
  const void *cr = std::memchr(begin, '\r', lfAt);
  const std::size_t at = cr ? static_cast<const char *>(cr) - begin : lfAt;
  return at == rest ? std::string_view::npos : pos + at;
}

std::string_view LineAt(std::string_view text, std::size_t pos, std::size_t &nextPos) {
  const std::size_t lineEnd = FindLineEnd(text, pos);
  const std::size_t end = lineEnd == std::string_view::npos ? text.size() : lineEnd;
  nextPos = end;
  if (nextPos < text.size()) {
    if (text[nextPos] == '\r' && nextPos + 1 < text.size() && text[nextPos + 1] == '\n')
      nextPos += 2;
    else
      nextPos += 1;
  }
  return text.substr(pos, end - pos);
}

AppendPlan PlanAppend(std::string_view fileTail) {
  AppendPlan plan;
  if (!fileTail.empty() && fileTail.back() == EndOfFileChar) {
    plan.dropEndOfFileChar = true;
    fileTail.remove_suffix(1);
  }
  plan.needsLineEnd =
      !fileTail.empty() && fileTail.back() != '\n' && fileTail.back() != '\r';
  return plan;
}

std::string AppendedBytes(const AppendPlan &plan, bool firstLine, const std::string &text) {
  std::string bytes;
  if (firstLine && plan.needsLineEnd)
    bytes = "\r\n";
  bytes += text;
  bytes += "\r\n";
  return bytes;
}

} // namespace vantrel
