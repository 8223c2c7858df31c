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

  std::vector<std::string> Keys(const std::string &text, const std::string &section = "HelpFiles") {
    test::WriteFileBytes(path, text);
    return SystemProfileFiles().OpenProfile(path)->ReadSectionKeys(section);
  }
  std::string Value(const std::string &key, const std::string &defaultValue = "") {
    return SystemProfileFiles().OpenProfile(path)->ReadValue("HelpFiles", key, defaultValue);
  }
};

using Strings = std::vector<std::string>;

TEST_F(ProfileFileTest, KeysComeInFileOrder) {
  EXPECT_EQ(Keys("[HelpFiles]\r\nA=x.hlp\r\nC=z.cnt\r\nB=y.hlp\r\n"), (Strings{"A", "C", "B"}));
  EXPECT_EQ(Value("C"), "z.cnt");
}

TEST_F(ProfileFileTest, MissingFileOrSectionReadsAsEmpty) {
  EXPECT_TRUE(SystemProfileFiles().OpenProfile(folder / "none.ini")->ReadSectionKeys("HelpFiles").empty());
  EXPECT_TRUE(Keys("[Other]\r\nA=x.hlp\r\n").empty());
  EXPECT_EQ(Value("A", "fallback"), "fallback");
}

TEST_F(ProfileFileTest, FormatFinePoints) {
  EXPECT_EQ(Keys("; comment\r\n[helpfiles]\r\n; A=commented.hlp\r\n  Key1  =  spaced.hlp  \r\n"
                 "Empty=\r\nLF=lf.hlp\nDup=first.hlp\r\nDup=second.hlp\r\n[Next]\r\nN=n.hlp\r\n"),
            (Strings{"Key1", "Empty", "LF", "Dup", "Dup"}))
      << "section names ignore case; a key given twice is listed twice";
  EXPECT_EQ(Value("key1"), "spaced.hlp") << "spaces around = and the value are dropped";
  EXPECT_EQ(Value("Empty", "default"), "");
  EXPECT_EQ(Value("LF"), "lf.hlp");
  EXPECT_EQ(Value("Dup"), "first.hlp") << "the first of two equal keys gives the value";

  // So the list holds the first value twice, and the second is never seen.
  HelpFileList list;
  LoadHelpFiles(SystemProfileFiles(), path, list);
  EXPECT_EQ(list, (HelpFileList{"spaced.hlp", "", "lf.hlp", "first.hlp", "first.hlp"}));
}

TEST_F(ProfileFileTest, LongValuesAndLargeSectionsAreNotCut) {
  const std::string longValue(10000, 'v');
  std::string text = "[HelpFiles]\r\nLong=" + longValue + "\r\n";
  for (int i = 0; i < 5000; ++i)
    text += "Key" + std::to_string(i) + "=file" + std::to_string(i) + ".hlp\r\n";
  const Strings keys = Keys(text);
  ASSERT_EQ(keys.size(), 5001u);
  EXPECT_EQ(keys[1], "Key0");
  EXPECT_EQ(keys[5000], "Key4999");
  EXPECT_EQ(Value("Long"), longValue);
  EXPECT_EQ(Value("Key4999"), "file4999.hlp");
}

TEST_F(ProfileFileTest, EightBitTextPassesThrough) {
  EXPECT_EQ(Keys("[HelpFiles]\r\nK\xE4=Hilfe\xFC\xDF.hlp\r\n"), (Strings{"K\xE4"}));
  EXPECT_EQ(Value("K\xE4"), "Hilfe\xFC\xDF.hlp");
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
