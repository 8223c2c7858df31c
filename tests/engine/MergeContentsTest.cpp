// Contents merge on a sandbox: real files through the Win32 services under
// Windows, the in-memory stand-ins natively.
#include "engine/MergeContents.h"
#include "engine/ClaimHelpFiles.h"
#include "engine/RegisterHelpLocations.h"
#include "engine/UnmergeContents.h"
#include "platform/Error.h"
#include "tests/support/FileSandbox.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StandInCharacterSet.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const LeadByteTable SingleByte;

class MergeContentsTest : public ::testing::Test {
protected:
  std::unique_ptr<test::FileSandbox> sandbox = test::MakeFileSandbox();
  const TargetProfile &profile = ProfileForVersion(4);
  const std::string root = sandbox->InstallRoot();
  const std::string contents = ContentsPath(profile, root);
  const std::string backup = BackupPath(profile, root);

  test::RecordingLog log;

  void Merge(const HelpFileList &list) {
    log.lines.clear();
    MergeContents(profile, root, list, sandbox->Files(), sandbox->Copier(), SingleByte, log);
  }
  // Merges the list into `before` and returns what the file holds then.
  std::string MergeInto(const std::string &before, const HelpFileList &list) {
    sandbox->WriteBytes(contents, before);
    Merge(list);
    return sandbox->ReadBytes(contents);
  }
  std::string ErrorOf(const HelpFileList &list) {
    try {
      Merge(list);
    } catch (const Error &error) {
      return error.what();
    }
    ADD_FAILURE() << "no error raised";
    return "";
  }
};

const std::string Base = ":Base Delphi4.hlp\r\n:Title Delphi 4\r\n1 Getting started\r\n";

TEST_F(MergeContentsTest, AppendsDirectivesForMissingEntriesAsListed) {
  EXPECT_EQ(MergeInto(Base, {"Grid.Hlp", "GRID.CNT", "sub\\Chart.hlp"}),
            Base + ":Link Grid.Hlp\r\n:Include GRID.CNT\r\n:Link sub\\Chart.hlp\r\n");
  EXPECT_EQ(log.lines.back(), "line appended: :Link sub\\Chart.hlp");
}

TEST_F(MergeContentsTest, EntriesAlreadyNamedAppendNothing) {
  const std::string before = Base + ":Link MYLIB.HLP\r\n:Include Grid.cnt\r\n" +
                             ":Link sub\\Help.hlp\r\n:Link (Old.hlp\r\n";
  EXPECT_EQ(MergeInto(before, {"mylib.hlp", "GRID.CNT", "  MyLib.hlp\t", "SUB\\help.HLP",
                               "(old.hlp"}),
            before);
}

// A name counts only as a whole name: LIB.HLP is not mentioned by MYLIB.HLP.
TEST_F(MergeContentsTest, NameInsideLongerNameIsNotAMention) {
  const std::string before = Base + ":Link MYLIB.HLP\r\n";
  EXPECT_EQ(MergeInto(before, {"LIB.HLP"}), before + ":Link LIB.HLP\r\n");
}

TEST_F(MergeContentsTest, WholeNameIsFoundWhereverTheLineHasIt) {
  const char *mentions[] = {
      ":Link LIB.HLP",          ":Index Title=LIB.HLP",    "2 Topic=ctx@LIB.HLP>main",
      ":Include C:\\X\\LIB.HLP", ":link lib.hlp  ; old",    ":Link MYLIB.HLP LIB.HLP",
      "LIB.HLP",                 ":Link \"LIB.HLP\"",        ":Link (LIB.HLP)",
  };
  for (const char *line : mentions) {
    const std::string before = Base + line + "\r\n";
    EXPECT_EQ(MergeInto(before, {"LIB.HLP"}), before) << line;
  }
  EXPECT_EQ(MergeInto("lib.hlp\r\n", {"LIB.HLP"}), "lib.hlp\r\n") << "the file starts with it";
  const char *longerNames[] = {
      ":Link MYLIB.HLP", ":Link LIB.HLPX",   ":Link _LIB.HLP",  ":Link LIB.HLP~1",
      ":Link X-LIB.HLP", ":Link LIB.HLP.BAK", ":Link \xC4LIB.HLP", ":Link 1LIB.HLP",
  };
  for (const char *line : longerNames) {
    const std::string before = Base + line + "\r\n";
    EXPECT_EQ(MergeInto(before, {"LIB.HLP"}), before + ":Link LIB.HLP\r\n") << line;
  }
}

// Every byte that can be part of a file name makes a longer name on either
// side; upper-casing ends exactly at a to z.
TEST(MentionsName, NameBytesOnEitherSideAndTheEndsOfTheAlphabet) {
  for (char c : std::string("$~!#%&'^+{}`-_.09aAzZ\x80\xE9")) {
    EXPECT_FALSE(MentionsName(std::string(":Link ") + c + "LIB.HLP\r\n", "LIB.HLP", SingleByte))
        << c;
    EXPECT_FALSE(MentionsName(std::string(":Link LIB.HLP") + c + "\r\n", "LIB.HLP", SingleByte))
        << c;
  }
  for (char c : std::string(" \t,;=@>()[]\"/\\:*?<|\x1A")) {
    EXPECT_TRUE(
        MentionsName(std::string(":Link ") + c + "LIB.HLP" + c + "\r\n", "LIB.HLP", SingleByte))
        << c;
  }
  EXPECT_TRUE(MentionsName(":Link z.hlp\r\n", SearchKey("Z.HLP", SingleByte), SingleByte));
  EXPECT_TRUE(MentionsName(":Link a.hlp\r\n", SearchKey("A.hlp", SingleByte), SingleByte));
  EXPECT_FALSE(MentionsName(":Link [.hlp\r\n", SearchKey("{.hlp", SingleByte), SingleByte));
  EXPECT_FALSE(MentionsName(":Link @.hlp\r\n", SearchKey("`.hlp", SingleByte), SingleByte));
  EXPECT_FALSE(MentionsName("LIB.HL\r\nP", "LIB.HL\r\nP", SingleByte))
      << "a name never spans two lines";
  EXPECT_TRUE(MentionsName("LIB.HLP\r\n", "LIB.HLP", SingleByte)) << "the name at the very start";
}

// Code page 932: a double-byte character is compared as it stands, and no
// name boundary or separator is found inside one. ア is 83 41, ヂ is 83 61
// (a second byte that looks like "a"), 表 is 95 5C (one that looks like "\").
TEST(CodePage932, NamesLinesAndFoldersByCharacter) {
  const LeadByteTable cp932 = test::CodePage932();
  const struct {
    const char *line, *entry;
    bool mentioned;
  } names[] = {
      {":Link \x83\x41.hlp", "\x83\x61.hlp", false},
      {":Link \x83\x61.HLP", "\x83\x61.hlp", true},
      {":Link \x95\x5Clib.hlp", "lib.hlp", false},
      {"\x95\x5Clib.hlp", "lib.hlp", false}, // at the very start of the file
      {":Link \x95\x5C lib.hlp", "LIB.HLP", true},
      {":Link x\x95\x5C.hlp", "x\x95\x5C.HLP", true},
      {":Link \x83\x41\x83\x41.hlp", "\x83\x41.hlp", false},
      {":Link \x95\x5C\x83\x61.hlp", "\x5C\x83\x61.hlp", false},
      {":Link x.hlp\x95\x5C", "X.HLP\x95\x5C", true}, // ends the merge's file
  };
  test::MemoryFileSystem file; // and the merge's walk over a file of that last line
  for (const auto &row : names) {
    EXPECT_EQ(MentionsName(std::string(row.line) + "\r\n", SearchKey(row.entry, cp932), cp932),
              row.mentioned)
        << row.line << " / " << row.entry;
    file.files["C:\\Delphi4.cnt"] = row.line;
    EXPECT_EQ(PlanMerge("C:\\Delphi4.cnt", {row.entry}, file, cp932).mentioned.at(0), row.mentioned)
        << row.line << " / " << row.entry;
  }
  EXPECT_EQ(SearchKey(" \x83\x61.hlp ", cp932), "\x83\x61.HLP");
  EXPECT_EQ(DirectiveLine("\x95\x5C.hlp", cp932), ":Link \x95\x5C.hlp");
  EXPECT_NE(DirectiveKey(":Link \x83\x61.hlp", cp932), DirectiveKey(":Link \x83\x41.hlp", cp932));
  EXPECT_EQ(ProgramDirOf("C:\\Tools\\\x95\x5C.exe", cp932), "C:\\Tools\\");

  test::StandInCharacterSet characters(cp932);
  const struct {
    const char *a, *b;
    bool same;
  } folders[] = {
      {"C:\\Comp\x95\x5C", "c:\\comp\x95\x5C\\", true}, // the trailing 5C of 表 stays
      {"C:\\\x83\x61", "C:\\\x83\x41\\", false},
      {"C:\\\x95\x5C", "C:\\\x95", false},
  };
  test::MemoryFileSystem namesOnly; // no folder on disk: the names decide
  for (const auto &row : folders)
    EXPECT_EQ(SameFolder(row.a, row.b, characters, namesOnly), row.same) << row.a << " / " << row.b;
}

TEST_F(MergeContentsTest, LineAppendedForOneEntryIsSeenByTheNext) {
  EXPECT_EQ(MergeInto(Base, {"a.hlp", "A.HLP", "a.hlp"}), Base + ":Link a.hlp\r\n");
}

TEST_F(MergeContentsTest, EntriesOfOtherKindsAppendNothing) {
  EXPECT_EQ(MergeInto(Base, {"readme.txt", "NOEXT", "", "   ", "dir.v2\\file", "x.hlp ",
                             "c:file", "x.cnt\\y"}),
            Base);
  EXPECT_EQ(log.lines.at(1), "left alone: \"readme.txt\" is neither a .hlp nor a .cnt file");
}

TEST_F(MergeContentsTest, LeadingSpaceIsIgnoredInTheSearchButKeptInTheLine) {
  EXPECT_EQ(MergeInto(Base, {" x.hlp"}), Base + ":Link  x.hlp\r\n");
  EXPECT_EQ(MergeInto(Base + ":Link X.HLP\r\n", {" x.hlp"}), Base + ":Link X.HLP\r\n");
}

TEST_F(MergeContentsTest, BytesAboveAsciiPassThroughAndAreNotCaseFolded) {
  const std::string before = "Gr\xFC\xDF" "e \xE4\xF6\r\n:Link \xC4.HLP\r\n";
  EXPECT_EQ(MergeInto(before, {"\xE4.hlp", "Hilfe\xA0\xFF.cnt"}),
            before + ":Link \xE4.hlp\r\n:Include Hilfe\xA0\xFF.cnt\r\n");
  EXPECT_EQ(MergeInto(before, {"\xC4.hlp"}), before);
}

TEST_F(MergeContentsTest, BackupHoldsTheFileFromJustBeforeTheRun) {
  const std::string first = MergeInto(Base, {"a.hlp", "b.cnt"});
  EXPECT_EQ(sandbox->ReadBytes(backup), Base);
  EXPECT_EQ(first.substr(0, Base.size()), Base) << "existing bytes must stay as they were";

  // A second run finds every entry, appends nothing and backs up the merged file.
  Merge({"a.hlp", "b.cnt", "notes.txt"});
  EXPECT_EQ(sandbox->ReadBytes(contents), first);
  EXPECT_EQ(sandbox->ReadBytes(backup), first);
}

TEST_F(MergeContentsTest, EmptyListStillMakesTheBackup) {
  EXPECT_EQ(MergeInto(Base, {}), Base);
  EXPECT_EQ(sandbox->ReadBytes(backup), Base);
}

TEST_F(MergeContentsTest, MissingContentsFileFailsAtFirstReadNamingIt) {
  EXPECT_NO_THROW(Merge({}));
  const std::string message = ErrorOf({"a.hlp"});
  EXPECT_NE(message.find(contents), std::string::npos) << message;
  EXPECT_FALSE(sandbox->Exists(contents));
  EXPECT_FALSE(sandbox->Exists(backup));
}

TEST_F(MergeContentsTest, NoChangeWhenTheBackupCannotBeMade) {
  sandbox->WriteBytes(contents, Base);
  sandbox->BlockPath(backup);
  const std::string message = ErrorOf({"a.hlp"});
  EXPECT_NE(message.find(contents), std::string::npos) << message;
  EXPECT_NE(message.find(backup), std::string::npos) << message;
  EXPECT_EQ(sandbox->ReadBytes(contents), Base);
}

TEST_F(MergeContentsTest, LastLineWithoutLineEndIsEndedFirst) {
  EXPECT_EQ(MergeInto(":Base x.hlp", {"a.hlp", "b.hlp"}),
            ":Base x.hlp\r\n:Link a.hlp\r\n:Link b.hlp\r\n");
  EXPECT_EQ(MergeInto(":Base x.hlp\n", {"a.hlp"}), ":Base x.hlp\n:Link a.hlp\r\n");
  EXPECT_EQ(MergeInto("", {"a.hlp"}), ":Link a.hlp\r\n");
  EXPECT_EQ(MergeInto(":Base x.hlp", {"notes.txt"}), ":Base x.hlp");
}

TEST_F(MergeContentsTest, EndOfFileCharacterGivesWayToNewLines) {
  EXPECT_EQ(MergeInto(Base + "\x1A", {"a.hlp", "b.cnt"}),
            Base + ":Link a.hlp\r\n:Include b.cnt\r\n");
  EXPECT_EQ(MergeInto(":Base x.hlp\x1A", {"a.hlp"}), ":Base x.hlp\r\n:Link a.hlp\r\n");
  // Nothing due: the file keeps its end-of-file character.
  EXPECT_EQ(MergeInto(":Link a.hlp\x1A", {"a.hlp", "notes.txt"}), ":Link a.hlp\x1A");
}

TEST_F(MergeContentsTest, Utf16FileIsLeftUntouched) {
  const std::string utf16le("\xFF\xFE:\0L\0i\0n\0k\0 \0x\0\r\0\n\0", 20);
  const std::string utf16be("\xFE\xFF\0:\0L\0i\0n\0k\0 \0x\r\0\n", 20);
  for (const std::string &before : {utf16le, utf16be}) {
    sandbox->WriteBytes(contents, before);
    const std::string message = ErrorOf({"a.hlp"});
    EXPECT_NE(message.find(contents), std::string::npos) << message;
    EXPECT_NE(message.find("UTF-16"), std::string::npos) << message;
    EXPECT_EQ(sandbox->ReadBytes(contents), before);
  }
}

TEST_F(MergeContentsTest, LinesEndedByLoneCrOrLfAreSearchedOneByOne) {
  // "X.HLP" ends one line and "CNT" starts the next: no line holds X.HLPCNT.
  const std::string before = ":Link A.HLP\r:Link B.HLP\n:Link C.HLP";
  EXPECT_EQ(MergeInto(before, {"a.hlp", "B.hlp", "c.HLP", "d.hlp"}),
            before + "\r\n:Link d.hlp\r\n");
}

} // namespace
} // namespace vantrel
