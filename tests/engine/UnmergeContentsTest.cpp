// Taking a component's lines out of the contents file, on a sandbox: real
// files through the Win32 services under Windows, the stand-ins natively.
#include "engine/UnmergeContents.h"
#include "engine/MergeContents.h"
#include "platform/Error.h"
#include "tests/support/FileSandbox.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <random>

namespace vantrel {
namespace {

class UnmergeContentsTest : public ::testing::Test {
protected:
  std::unique_ptr<test::FileSandbox> sandbox = test::MakeFileSandbox();
  const TargetProfile &profile = ProfileForVersion(3);
  const std::string root = sandbox->InstallRoot();
  const std::string contents = ContentsPath(profile, root);
  // The lines that are this component's; Old.hlp's and readme.txt's are not.
  const std::vector<std::string> ours{":Link Grid.hlp", ":Include Grid.cnt"};

  void Unmerge(const TargetProfile &target, const ContentsEnd &restoreEnd = {}) {
    UnmergeContents(target, root, ours, {sandbox->Files(), sandbox->Copier(), sandbox->Replacer(), sandbox->Existence(),
                     sandbox->Deleter()},
                    LeadByteTable(), NoRunLog(), restoreEnd);
  }
  std::string Unmerge(const std::string &before, const ContentsEnd &restoreEnd = {}) {
    sandbox->WriteBytes(contents, before);
    Unmerge(profile, restoreEnd);
    return sandbox->ReadBytes(contents);
  }
};

TEST_F(UnmergeContentsTest, RemovesOnlyThisComponentsDirectivesAndKeepsEveryOtherByte) {
  const ContentsEnd lineEndAdded{true, false}, endOfFileCharReplaced{false, true};
  const struct {
    std::string before, after;
    ContentsEnd restoreEnd{}; // what registrations changed at the end, to go back
  } cases[] = {
      {":Base D3.hlp\r\n:Link Grid.hlp\r\n:Include Grid.cnt\r\n", ":Base D3.hlp\r\n"},
      // The end goes back only while it is the one registrations made.
      {"x\r\n:Link Grid.hlp\r\n", "x", lineEndAdded},
      {"x\r\n:Link Grid.hlp\r\ny\r\n", "x\r\ny\r\n", lineEndAdded},
      {"x\n:Link Grid.hlp\r\n", "x\n", lineEndAdded},
      {"x\r\n:Link Grid.hlp\r\n", "x\r\n\x1A", endOfFileCharReplaced},
      {"x\r\n:Link Grid.hlp\r\n\x1A", "x\r\n\x1A", endOfFileCharReplaced},
      {":LINK grid.HLP \t\r\n:include GRID.cnt\n1 Topic\r", "1 Topic\r"},
      {"a\n:Link Grid.hlp\rb\r\n:Link Grid.hlp", "a\nb\r\n"},
      {"x\r\n:Link Grid.hlp\r\n\x1A", "x\r\n\x1A"},
      {"Gr\xFC\xDF\r\n:Link Grid.hlp\r\n\xE4\xF6", "Gr\xFC\xDF\r\n\xE4\xF6"},
      // A lone CR would pair with the next line's LF: it gets an LF of its own.
      {"a\r:Link Grid.hlp\n\nb\n", "a\r\n\nb\n"},
      {"a\r:Link Grid.hlp\n\r\n", "a\r\r\n"},
      // Not exactly the directive, or not this component's file: kept.
      {" :Link Grid.hlp\r\n:Link Grid.hlp;old\r\n:Link  Grid.hlp\r\n:Link Old.hlp\r\n"
       ":Link readme.txt\r\n2 Grid=Grid@Grid.hlp\r\n",
       " :Link Grid.hlp\r\n:Link Grid.hlp;old\r\n:Link  Grid.hlp\r\n:Link Old.hlp\r\n"
       ":Link readme.txt\r\n2 Grid=Grid@Grid.hlp\r\n"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Unmerge(c.before, c.restoreEnd), c.after) << c.before;
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
                  sandbox->Copier(), LeadByteTable());
    const std::string merged = sandbox->ReadBytes(contents);
    EXPECT_EQ(Unmerge(merged), c.registered) << c.base;
    EXPECT_EQ(sandbox->ReadBytes(BackupPath(profile, root)), merged);
    EXPECT_EQ(Unmerge(c.registered), c.registered) << c.base;
    EXPECT_EQ(sandbox->ReadBytes(BackupPath(profile, root)), merged)
        << "a removal that changes nothing leaves the backup as it was";
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

using Line = std::pair<std::string, std::string>; // text, line end

std::vector<Line> LinesOf(std::string_view bytes, bool &closedByEndOfFileChar) {
  StringByteSource source(bytes);
  LineReader reader(source, 7);
  std::vector<Line> lines;
  while (!reader.AtEnd()) {
    const TextLine line = reader.ReadLine();
    lines.emplace_back(line.text, line.end);
  }
  closedByEndOfFileChar = reader.ClosedByEndOfFileChar();
  return lines;
}

// Random files of lines with every line end, byte 26 and directive lines in
// any case: a reader sees exactly the lines that were kept, in their order,
// each with its own text and line end; only a lone CR that would run into a
// following empty LF-ended line gains an LF.
TEST(UnmergeLineStructure, ReaderSeesExactlyTheKeptLines) {
  const char *const texts[] = {"",
                               "a",
                               " x\t",
                               ":Link Grid.hlp",
                               "\x1A",
                               "b\x1A"
                               "c",
                               ":LINK grid.HLP \t",
                               ":include GRID.cnt",
                               ":Link Grid.hlp;old",
                               ":Link Old.hlp"};
  const char *const ends[] = {"\r\n", "\n", "\r", ""};
  const std::string contents = "C:\\IDE\\Help\\Delphi3.cnt";
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    std::string before;
    const int count = static_cast<int>(random() % 9);
    for (int i = 0; i < count; ++i)
      before += std::string(texts[random() % std::size(texts)]) + ends[random() % std::size(ends)];
    if (random() % 4 == 0)
      before += EndOfFileChar;

    test::MemoryFileSystem fs;
    fs.files[contents] = before;
    UnmergeContents(ProfileForVersion(3), "C:\\IDE", {":Link Grid.hlp", ":Include Grid.cnt"},
                    {fs, fs, fs, fs, fs}, LeadByteTable());
    bool closedBefore = false, closedAfter = false;
    std::vector<Line> kept;
    for (const Line &line : LinesOf(before, closedBefore))
      if (DirectiveKey(line.first, LeadByteTable()) != ":LINK GRID.HLP" &&
          DirectiveKey(line.first, LeadByteTable()) != ":INCLUDE GRID.CNT")
        kept.push_back(line);
    const std::vector<Line> after = LinesOf(fs.files[contents], closedAfter);

    SCOPED_TRACE(::testing::PrintToString(before));
    ASSERT_EQ(after.size(), kept.size());
    EXPECT_EQ(closedAfter, closedBefore);
    for (std::size_t i = 0; i < kept.size(); ++i) {
      EXPECT_EQ(after[i].first, kept[i].first) << i;
      const bool wouldRunOn = kept[i].second == "\r" && i + 1 < kept.size() &&
                              kept[i + 1].first.empty() && kept[i + 1].second[0] == '\n';
      EXPECT_EQ(after[i].second, wouldRunOn ? "\r\n" : kept[i].second) << i;
    }
  }
}

} // namespace
} // namespace vantrel
