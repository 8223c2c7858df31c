#include "platform/TextFormat.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

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
