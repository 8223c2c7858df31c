#include "engine/ParseCommandLine.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Arguments = std::vector<std::string>;

TEST(ParseCommandLine, SwitchesInAnyCaseWithSlashOrDash) {
  const CommandLine none = ParseCommandLine({});
  EXPECT_FALSE(none.anySwitch);
  EXPECT_EQ(none.action, Action::Register);

  const CommandLine all = ParseCommandLine(
      {"-UNREGISTER", "/Quiet", "/log=C:\\Setup Logs\\v.log", "-LIST=..\\x=y.ini"});
  EXPECT_TRUE(all.anySwitch);
  EXPECT_EQ(all.action, Action::Remove);
  EXPECT_TRUE(all.quiet);
  EXPECT_EQ(all.logPath, "C:\\Setup Logs\\v.log");
  EXPECT_EQ(all.listPath, "..\\x=y.ini") << "the path is everything after the first =";
  EXPECT_FALSE(all.help);

  EXPECT_EQ(ParseCommandLine({"/register"}).action, Action::Register);
  EXPECT_TRUE(ParseCommandLine({"/?"}).help);
  EXPECT_TRUE(ParseCommandLine({"-Help", "/quiet"}).help);
}

TEST(ParseCommandLine, AnythingElseIsAUsageError) {
  const Arguments wrong[] = {
      {"/bogus"},          {"register"},          {"/register", "/unregister"},
      {"/quiet", "-QUIET"}, {"/log"},             {"/log="},
      {"/list"},           {"/quiet=yes"},        {"/"},
      {"/?", "/help"},     {"/quiet", "stray"},   {"/log=a", "/LOG=b"},
      {"/check", "/unregister"},
  };
  for (const Arguments &arguments : wrong)
    EXPECT_THROW(ParseCommandLine(arguments), UsageError) << arguments[0];
  EXPECT_TRUE(AsksForQuiet({"/bogus", "-quiet"}));
  EXPECT_FALSE(AsksForQuiet({"/bogus", "/quietly"}));
}

} // namespace
} // namespace vantrel
