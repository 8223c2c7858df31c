// Help-location registration and the whole registration run, on the real
// registry of the test prefix and real files.
#include "engine/RegisterHelpLocations.h"
#include "engine/RunRegistration.h"
#include "platform/Error.h"
#include "platform/ExecutablePath.h"
#include "platform/FolderIdentity.h"
#include "platform/RecordStore.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/RegistryHelpers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace vantrel {
namespace {

const std::string HelpKey = "SOFTWARE\\Microsoft\\Windows\\Help";
const std::string Base = ":Base Delphi4.hlp>main\r\n:Title Delphi 4\r\n";

class RegistrationTest : public ::testing::Test {
protected:
  const TargetProfile &profile = ProfileForVersion(4);
  test::TempFolder folder;
  const std::string root = folder / "Delphi 4";
  const std::string contents = root + "\\Help\\Delphi4.cnt";
  const std::string backup = root + "\\Help\\Delphi4.~cn";
  test::RecordingMessages messages;
  test::RecordingDialog dialog;

  void SetUp() override {
    Clean();
    test::CreateFolder(root);
    test::CreateFolder(root + "\\Help");
  }
  void TearDown() override { Clean(); }
  static void Clean() {
    test::DeleteTree32("SOFTWARE\\Borland");
    test::DeleteTree32(HelpKey);
    test::DeleteTree32("SOFTWARE\\Vantrel");
  }
  void InstallIde() { test::SetString32(profile.ideKey, "RootDir", root); }
  std::optional<std::string> HelpLocation(const std::string &name) {
    return test::GetString32(HelpKey, name);
  }
  void Run(const HelpFileList &list) {
    RunServices services{SystemRegistry(),
                         SystemRecordStore(),
                         SystemTextFiles(),
                         SystemFileCopier(),
                         SystemFileReplacer(),
                         SystemFileExistence(),
                         SystemFolderIdentity(),
                         SystemFileDeleter(),
                         SystemFolderLocations(),
                         SystemMachineLock(),
                         SystemClock(),
                         SystemCharacterSet(),
                         messages,
                         [] { return ExecutablePath(); }};
    RunRegistration(profile, list, dialog, services);
  }
  std::string RunError(const HelpFileList &list) {
    try {
      Run(list);
    } catch (const Error &error) {
      return error.what();
    }
    ADD_FAILURE() << "the run did not fail";
    return "";
  }
};

TEST_F(RegistrationTest, EveryEntryGetsTheProgramFolderWhateverTheWorkingDirectory) {
  InstallIde();
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(root.c_str());
  EXPECT_EQ(RegisterHelpLocations(profile, {"A.HLP", "B.CNT", "MyLib.hlp"}, "C:\\Tools\\",
                                  SystemRegistry()),
            root);
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(HelpLocation("A.HLP"), "C:\\Tools\\");
  EXPECT_EQ(HelpLocation("B.CNT"), "C:\\Tools\\");
  EXPECT_EQ(HelpLocation("MyLib.hlp"), "C:\\Tools\\");
  if (test::HasTwoRegistryViews()) {
    EXPECT_EQ(test::GetStringWow6432Node(HelpKey, "A.HLP"), "C:\\Tools\\");
  }
}

TEST_F(RegistrationTest, NamesAreStoredAsListed) {
  InstallIde();
  RegisterHelpLocations(profile, {"MyLib.hlp", " Spaced.hlp ", "", "Twice.hlp", "Twice.hlp"},
                        "D:\\Comp\\", SystemRegistry());
  // Registry names ignore case, so look at the stored spelling by enumeration.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, HelpKey.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key),
            ERROR_SUCCESS);
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{" Spaced.hlp ", "MyLib.hlp", "Twice.hlp"}))
      << "an empty entry names no file: the key's default value is left alone";
}

TEST_F(RegistrationTest, EmptyListStillReadsTheInstallRoot) {
  InstallIde();
  EXPECT_EQ(RegisterHelpLocations(profile, {}, "C:\\Tools\\", SystemRegistry()), root);
  EXPECT_FALSE(test::KeyExists32(HelpKey));
}

TEST_F(RegistrationTest, MissingIdeChangesNothing) {
  test::WriteFileBytes(contents, Base);
  std::string message = RunError({"A.HLP"});
  EXPECT_NE(message.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\4.0"), std::string::npos)
      << message;
  EXPECT_NE(message.find("\"RootDir\""), std::string::npos) << message;
  EXPECT_FALSE(test::KeyExists32(profile.ideKey)) << "the IDE key must not be created";
  EXPECT_FALSE(HelpLocation("A.HLP"));
  EXPECT_FALSE(test::PathExists(backup));
  EXPECT_EQ(test::ReadFileBytes(contents), Base);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dialog.closed, 0);

  // The key without its value, or with an empty one, is no better.
  test::SetString32(profile.ideKey, "Version", "4.0");
  message = RunError({"A.HLP"});
  EXPECT_NE(message.find("\"RootDir\""), std::string::npos) << message;
  test::SetString32(profile.ideKey, "RootDir", "");
  message = RunError({"A.HLP"});
  EXPECT_NE(message.find("\"RootDir\""), std::string::npos) << message;
  EXPECT_FALSE(HelpLocation("A.HLP"));
  EXPECT_EQ(dialog.closed, 0);
}

TEST_F(RegistrationTest, WholeRunAndASecondOne) {
  InstallIde();
  test::WriteFileBytes(contents, Base);
  const std::string programDir = ProgramDirOf(ExecutablePath(), SystemCharacterSet().LeadBytes());
  ASSERT_EQ(programDir.back(), '\\');
  ASSERT_TRUE(test::PathExists(programDir + "engine_tests.exe") ||
              test::PathExists(programDir + "platform_tests.exe"));

  Run({"Grid.hlp", "Grid.cnt", "notes.txt"});
  const std::string merged = Base + ":Link Grid.hlp\r\n:Include Grid.cnt\r\n";
  EXPECT_EQ(HelpLocation("Grid.hlp"), programDir);
  EXPECT_EQ(HelpLocation("Grid.cnt"), programDir);
  EXPECT_EQ(HelpLocation("notes.txt"), programDir);
  EXPECT_EQ(test::ReadFileBytes(contents), merged);
  EXPECT_EQ(test::ReadFileBytes(backup), Base);
  EXPECT_EQ(messages.shown, std::vector<std::string>{SuccessMessage});
  EXPECT_EQ(dialog.closed, 1);

  test::SetString32(HelpKey, "Grid.hlp", "C:\\Elsewhere\\");
  Run({"Grid.hlp", "Grid.cnt", "notes.txt"});
  EXPECT_EQ(HelpLocation("Grid.hlp"), programDir) << "values are written again";
  EXPECT_EQ(test::ReadFileBytes(contents), merged);
  EXPECT_EQ(test::ReadFileBytes(backup), merged);
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.kinds,
            (std::vector<MessageKind>{MessageKind::Information, MessageKind::Information}));
  EXPECT_EQ(dialog.closed, 2);
}

TEST_F(RegistrationTest, MissingContentsFileFailsAfterTheHelpLocations) {
  InstallIde();
  const std::string message = RunError({"A.HLP", "B.CNT"});
  EXPECT_NE(message.find(contents), std::string::npos) << message;
  EXPECT_TRUE(HelpLocation("A.HLP"));
  EXPECT_TRUE(HelpLocation("B.CNT"));
  EXPECT_FALSE(test::PathExists(contents));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dialog.closed, 0);
}

} // namespace
} // namespace vantrel
