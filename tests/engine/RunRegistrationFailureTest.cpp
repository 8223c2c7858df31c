// The registration run stopped part-way, on stand-in services.
#include "engine/RegisterHelpLocations.h"
#include "engine/RunRegistration.h"
#include "engine/RunRemoval.h"
#include "platform/Error.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RecordingServices.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

const std::string HelpKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";
const std::string IdeKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\4.0";
const std::string Contents = "C:\\IDE\\Help\\Delphi4.cnt";
const std::string Base = ":Base Delphi4.hlp\r\n";

class RunOnStandIns : public ::testing::Test {
protected:
  test::MemoryRegistry registry;
  test::MemoryFileSystem files;
  test::RecordingMessages messages;
  test::RecordingDialog dialog;
  RunServices services{registry, files, files, files, files, messages,
                       [] { return std::string("C:\\Tools\\Vantrel4.exe"); }};

  void SetUp() override {
    registry.keys[IdeKey]["RootDir"] = "C:\\IDE";
    files.files[Contents] = Base;
  }
  void Run(const HelpFileList &list) { RunRegistration(ProfileForVersion(4), list, dialog, services); }
};

TEST(ProgramDirOf, KeepsEverythingUpToTheLastBackslashOrColon) {
  EXPECT_EQ(ProgramDirOf("C:\\Tools\\x.exe"), "C:\\Tools\\");
  EXPECT_EQ(ProgramDirOf("C:x.exe"), "C:");
  EXPECT_EQ(ProgramDirOf("\\\\server\\share\\dir.v2\\x.exe"), "\\\\server\\share\\dir.v2\\");
  EXPECT_EQ(ProgramDirOf("x.exe"), "");
}

TEST_F(RunOnStandIns, WholeRunWritesMergesTellsAndCloses) {
  Run({"A.HLP", "B.CNT"});
  EXPECT_EQ(registry.keys[HelpKey], (std::map<std::string, std::string>{
                                        {"A.HLP", "C:\\Tools\\"}, {"B.CNT", "C:\\Tools\\"}}));
  EXPECT_EQ(files.files[Contents], Base + ":Link A.HLP\r\n:Include B.CNT\r\n");
  EXPECT_EQ(messages.shown, std::vector<std::string>{SuccessMessage});
  EXPECT_EQ(messages.kinds, std::vector<MessageKind>{MessageKind::Information});
  EXPECT_EQ(dialog.closed, 1);
}

TEST_F(RunOnStandIns, EmptyListStillBacksUpTellsAndCloses) {
  Run({});
  EXPECT_EQ(registry.keys.count(HelpKey), 0u);
  EXPECT_EQ(files.files["C:\\IDE\\Help\\Delphi4.~cn"], Base);
  EXPECT_EQ(files.files[Contents], Base);
  EXPECT_EQ(messages.shown, std::vector<std::string>{SuccessMessage});
  EXPECT_EQ(dialog.closed, 1);
}

// No IDE key, or one without a usable "RootDir": an error, and no change.
TEST_F(RunOnStandIns, MissingIdeStopsBeforeAnythingIsWritten) {
  using Keys = std::map<std::string, std::map<std::string, std::string>>;
  const Keys machines[] = {{}, {{IdeKey, {{"Version", "4.0"}}}}, {{IdeKey, {{"RootDir", ""}}}}};
  for (const Keys &machine : machines) {
    for (bool removing : {false, true}) {
      registry.keys = machine;
      try {
        if (removing)
          RunRemoval(ProfileForVersion(4), {"A.HLP"}, dialog, services);
        else
          Run({"A.HLP"});
        ADD_FAILURE() << "no error";
      } catch (const Error &error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(IdeKey), std::string::npos) << message;
        EXPECT_NE(message.find("\"RootDir\""), std::string::npos) << message;
      }
      EXPECT_EQ(registry.keys, machine) << "no key or value may be created";
    }
  }
  EXPECT_EQ(files.Operations(), 0);
  EXPECT_EQ(dialog.closed, 0);
}

TEST_F(RunOnStandIns, FailedWriteKeepsEarlierValuesAndTouchesNoFile) {
  registry.FailAtWrite(2);
  try {
    Run({"A.HLP", "B.CNT", "C.HLP"});
    FAIL() << "no error";
  } catch (const Error &error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("B.CNT"), std::string::npos) << message;
    EXPECT_NE(message.find(HelpKey), std::string::npos) << message;
  }
  EXPECT_EQ(registry.keys[HelpKey], (std::map<std::string, std::string>{{"A.HLP", "C:\\Tools\\"}}));
  EXPECT_EQ(registry.Writes(), 2);
  EXPECT_EQ(files.Operations(), 0);
  EXPECT_EQ(files.files.count("C:\\IDE\\Help\\Delphi4.~cn"), 0u);
  EXPECT_EQ(files.files[Contents], Base);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dialog.closed, 0);
}

TEST_F(RunOnStandIns, FailedAppendStopsBeforeTheMessage) {
  files.FailAtOperation("write", 2);
  EXPECT_THROW(Run({"A.HLP", "B.HLP"}), Error);
  EXPECT_EQ(registry.keys[HelpKey].size(), 2u);
  EXPECT_EQ(files.files[Contents], Base + ":Link A.HLP\r\n");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dialog.closed, 0);
}

// Removal: the folder's own values go (whatever their case or trailing
// backslash), others stay; a failed rewrite stops the run before the values.
TEST_F(RunOnStandIns, RemovalStopsAtTheFirstErrorAndASecondRunCompletesIt) {
  Run({"A.HLP", "B.CNT"});
  files.files["C:\\Tools\\A.HLP"] = files.files["C:\\Tools\\B.CNT"] = "help";
  registry.keys[HelpKey]["B.CNT"] = "c:\\tools";
  registry.keys[HelpKey]["C.HLP"] = "C:\\Tools2\\";
  const HelpFileList list{"A.HLP", "B.CNT", "C.HLP", "D.HLP"};

  files.FailAtOperation("replace", 1);
  EXPECT_THROW(RunRemoval(ProfileForVersion(4), list, dialog, services), Error);
  EXPECT_EQ(files.files[Contents], Base + ":Link A.HLP\r\n:Include B.CNT\r\n");
  EXPECT_EQ(registry.keys[HelpKey].size(), 3u);
  EXPECT_EQ(dialog.closed, 1) << "only the registration closed the dialog";

  RunRemoval(ProfileForVersion(4), list, dialog, services);
  EXPECT_EQ(files.files[Contents], Base);
  EXPECT_EQ(registry.keys[HelpKey], (std::map<std::string, std::string>{{"C.HLP", "C:\\Tools2\\"}}));
  EXPECT_EQ(messages.shown.back(), RemovalSuccessMessage);
  EXPECT_EQ(dialog.closed, 2);
}

} // namespace
} // namespace vantrel
