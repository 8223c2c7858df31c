// Taking a component's lines out of the contents file, on a sandbox: real
// files through the Win32 services under Windows, the stand-ins natively.
#include "engine/MergeContents.h"
#include "engine/UnmergeContents.h"
#include "platform/Error.h"
#include "tests/support/FileSandbox.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

class UnmergeContentsTest : public ::testing::Test {
protected:
  std::unique_ptr<test::FileSandbox> sandbox = test::MakeFileSandbox();
  const TargetProfile &profile = ProfileForVersion(3);
  const std::string root = sandbox->InstallRoot();
  const std::string contents = ContentsPath(profile, root);
  const std::string component = sandbox->ComponentDir();
  // Old.hlp is listed but not in the component's folder: its lines are not ours.
  const HelpFileList list{"Grid.hlp", "Grid.cnt", "Old.hlp", "readme.txt"};

  void SetUp() override {
    for (const char *file : {"Grid.hlp", "Grid.cnt", "readme.txt"})
      sandbox->WriteBytes(component + file, "help");
  }
  void Unmerge(const TargetProfile &target) {
    UnmergeContents(target, root, list, component,
                    {sandbox->Files(), sandbox->Copier(), sandbox->Replacer(), sandbox->Existence()});
  }
  std::string Unmerge(const std::string &before) {
    sandbox->WriteBytes(contents, before);
    Unmerge(profile);
    return sandbox->ReadBytes(contents);
  }
};

TEST_F(UnmergeContentsTest, RemovesOnlyThisComponentsDirectivesAndKeepsEveryOtherByte) {
  const struct {
    std::string before, after;
  } cases[] = {
      {":Base D3.hlp\r\n:Link Grid.hlp\r\n:Include Grid.cnt\r\n", ":Base D3.hlp\r\n"},
      {":LINK grid.HLP \t\r\n:include GRID.cnt\n1 Topic\r", "1 Topic\r"},
      {"a\n:Link Grid.hlp\rb\r\n:Link Grid.hlp", "a\nb\r\n"},
      {"x\r\n:Link Grid.hlp\r\n\x1A", "x\r\n\x1A"},
      {"Gr\xFC\xDF\r\n:Link Grid.hlp\r\n\xE4\xF6", "Gr\xFC\xDF\r\n\xE4\xF6"},
      // Not exactly the directive, or not this component's file: kept.
      {" :Link Grid.hlp\r\n:Link Grid.hlp;old\r\n:Link  Grid.hlp\r\n:Link Old.hlp\r\n"
       ":Link readme.txt\r\n2 Grid=Grid@Grid.hlp\r\n",
       " :Link Grid.hlp\r\n:Link Grid.hlp;old\r\n:Link  Grid.hlp\r\n:Link Old.hlp\r\n"
       ":Link readme.txt\r\n2 Grid=Grid@Grid.hlp\r\n"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Unmerge(c.before), c.after) << c.before;
}

TEST_F(UnmergeContentsTest, UndoesTheMergeAndASecondRunChangesNothing) {
  // A line end added to an unterminated last line, or a replaced 26, stays.
  const struct {
    std::string base, registered;
  } cases[] = {
      {":Base D3.hlp\r\n:Link Old.hlp\r\n", ":Base D3.hlp\r\n:Link Old.hlp\r\n"},
      {"a\nb\n", "a\nb\n"},
      {"a\rb\r", "a\rb\r"},
      {"last line", "last line\r\n"},
      {"ends\r\n\x1A", "ends\r\n"},
      {"", ""},
  };
  for (const auto &c : cases) {
    sandbox->WriteBytes(contents, c.base);
    MergeContents(profile, root, {"Grid.hlp", "Grid.cnt", "readme.txt"}, sandbox->Files(),
                  sandbox->Copier());
    const std::string merged = sandbox->ReadBytes(contents);
    EXPECT_EQ(Unmerge(merged), c.registered) << c.base;
    EXPECT_EQ(sandbox->ReadBytes(BackupPath(profile, root)), merged);
    EXPECT_EQ(Unmerge(c.registered), c.registered) << c.base;
  }
}

TEST_F(UnmergeContentsTest, FileWithNothingToRemoveIsNotWrittenAndOthersAreLeftAsTheyWere) {
  // Read-only: a rewrite would fail, so none may be tried.
  const std::string nothingOurs = ":Base D3.hlp\r\n:Link Old.hlp\r\n";
  sandbox->WriteBytes(contents, nothingOurs);
  sandbox->MakeReadOnly(contents);
  EXPECT_NO_THROW(Unmerge(profile));
  EXPECT_EQ(sandbox->ReadBytes(contents), nothingOurs);

  const std::string utf16("\xFF\xFE:\0L\0", 6);
  const std::string d4 = ContentsPath(ProfileForVersion(4), root);
  sandbox->WriteBytes(d4, utf16);
  EXPECT_THROW(Unmerge(ProfileForVersion(4)), Error);
  EXPECT_EQ(sandbox->ReadBytes(d4), utf16);

  const std::string merged = "x\r\n:Link Grid.hlp\r\n";
  sandbox->WriteBytes(d4, merged);
  sandbox->MakeReadOnly(d4);
  try {
    Unmerge(ProfileForVersion(4));
    ADD_FAILURE() << "rewrote a read-only file";
  } catch (const Error &error) {
    EXPECT_NE(std::string(error.what()).find(d4), std::string::npos) << error.what();
  }
  EXPECT_EQ(sandbox->ReadBytes(d4), merged);
}

} // namespace
} // namespace vantrel
