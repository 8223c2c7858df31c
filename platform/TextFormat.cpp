#include "platform/TextFormat.h"

namespace vantrel {

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
