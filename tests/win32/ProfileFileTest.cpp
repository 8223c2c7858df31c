// The INI reader and the list loading on real files, through Windows' own
// GetPrivateProfileStringA.
#include "engine/LoadHelpFiles.h"
#include "platform/ProfileFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantrel {
namespace {

class ProfileFileTest : public ::testing::Test {
protected:
  test::TempFolder folder;
  const std::string path = folder / "Vantrel.ini";

  std::vector<std::string> Values(const std::string &text, const std::string &section = "HelpFiles") {
    test::WriteFileBytes(path, text);
    return SystemProfileFiles().OpenProfile(path)->ReadSectionValues(section);
  }
};

using Strings = std::vector<std::string>;

TEST_F(ProfileFileTest, ValuesComeInFileOrder) {
  EXPECT_EQ(Values("[HelpFiles]\r\nA=x.hlp\r\nC=z.cnt\r\nB=y.hlp\r\n"),
            (Strings{"x.hlp", "z.cnt", "y.hlp"}));
}

TEST_F(ProfileFileTest, MissingFileOrSectionReadsAsEmpty) {
  EXPECT_TRUE(SystemProfileFiles().OpenProfile(folder / "none.ini")->ReadSectionValues("HelpFiles").empty());
  EXPECT_TRUE(Values("[Other]\r\nA=x.hlp\r\n").empty());
}

TEST_F(ProfileFileTest, FormatFinePoints) {
  EXPECT_EQ(Values("; comment\r\n[helpfiles]\r\n; A=commented.hlp\r\n  Key1  =  spaced.hlp  \r\n"
                   "Empty=\r\nLF=lf.hlp\nDup=first.hlp\r\nDup=second.hlp\r\nQ=\"quoted.hlp\"\r\n"
                   "[Next]\r\nN=n.hlp\r\n"),
            (Strings{"spaced.hlp", "", "lf.hlp", "first.hlp", "second.hlp", "quoted.hlp"}))
      << "section names ignore case; spaces around = and the value, and quotes around it, "
         "are dropped; a key given twice gives both values";

  HelpFileList list;
  LoadHelpFiles(SystemProfileFiles(), path, list);
  EXPECT_EQ(list, (HelpFileList{"spaced.hlp", "", "lf.hlp", "first.hlp", "second.hlp", "quoted.hlp"}));
}

TEST_F(ProfileFileTest, LongValuesAndLargeSectionsAreNotCut) {
  const std::string longValue(10000, 'v');
  std::string text = "[HelpFiles]\r\nLong=" + longValue + "\r\n";
  for (int i = 0; i < 5000; ++i)
    text += "Key" + std::to_string(i) + "=file" + std::to_string(i) + ".hlp\r\n";
  const Strings values = Values(text);
  ASSERT_EQ(values.size(), 5001u);
  EXPECT_EQ(values[0], longValue);
  EXPECT_EQ(values[1], "file0.hlp");
  EXPECT_EQ(values[5000], "file4999.hlp");
}

TEST_F(ProfileFileTest, EightBitTextPassesThrough) {
  EXPECT_EQ(Values("[HelpFiles]\r\nK\xE4=Hilfe\xFC\xDF.hlp\r\n"), (Strings{"Hilfe\xFC\xDF.hlp"}));
}

// The list file is found relative to the working directory, not the program.
TEST_F(ProfileFileTest, ListIsReadFromTheWorkingDirectory) {
  test::WriteFileBytes(path, "[HelpFiles]\r\nA=x.hlp\r\nC=\r\nB=y.cnt\r\n");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);

  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  HelpFileList list;
  LoadHelpFiles(SystemProfileFiles(), ListFilePath, list);
  EXPECT_EQ(list, (HelpFileList{"x.hlp", "", "y.cnt"}));

  test::CreateFolder(folder / "elsewhere");
  ASSERT_TRUE(SetCurrentDirectoryA((folder / "elsewhere").c_str()));
  HelpFileList none;
  LoadHelpFiles(SystemProfileFiles(), ListFilePath, none);
  EXPECT_TRUE(none.empty());

  SetCurrentDirectoryA(previous);
}

} // namespace
} // namespace vantrel
