#include "platform/TextFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

std::vector<std::string> SplitAll(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();)
    lines.emplace_back(LineAt(text, pos, pos));
  return lines;
}

TEST(TextFormat, EveryLineEndKindEndsALine) {
  EXPECT_EQ(SplitAll("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitAll("a\n\r\nb\r\r"), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(SplitAll("\n"), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitAll(std::string("\0\xFF\n", 3)), (std::vector<std::string>{std::string("\0\xFF", 2)}));
}

TEST(TextFormat, AppendPlanFollowsTheFileEnd) {
  struct Case {
    std::string tail;
    bool drop;
    bool lineEnd;
  } cases[] = {
      {"", false, false},     {"\r\n", false, false}, {"x\n", false, false},
      {"x\r", false, false},  {"xy", false, true},    {"y", false, true},
      {"\n\x1A", true, false}, {"x\x1A", true, true},  {"\x1A", true, false},
  };
  for (const Case &c : cases) {
    const AppendPlan plan = PlanAppend(c.tail);
    EXPECT_EQ(plan.dropEndOfFileChar, c.drop) << "tail " << c.tail;
    EXPECT_EQ(plan.needsLineEnd, c.lineEnd) << "tail " << c.tail;
  }
}

TEST(TextFormat, LineEndFixIsWrittenBeforeTheFirstLineOnly) {
  AppendPlan plan;
  plan.needsLineEnd = true;
  EXPECT_EQ(AppendedBytes(plan, true, ":Link a.hlp"), "\r\n:Link a.hlp\r\n");
  EXPECT_EQ(AppendedBytes(plan, false, ":Link b.hlp"), ":Link b.hlp\r\n");
}

} // namespace
} // namespace vantrel
