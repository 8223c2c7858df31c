// The registration run stopped part-way, on stand-in services.
#include "engine/RegisterHelpLocations.h"
#include "engine/Fingerprint.h"
#include "engine/RegistrationRecord.h"
#include "engine/RunAction.h"
#include "engine/RunRegistration.h"
#include "engine/RetryingFiles.h"
#include "engine/RunRemoval.h"
#include "platform/Error.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StandInCharacterSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
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
  test::StandInCharacterSet characters;
  test::StandInLock lock;
  test::CountingClock clock;
  RunServices services{registry,   registry, files,    files,
                       files,      files,    files,
                       files,      files, lock,     clock,
                       characters, messages, [] { return std::string("C:\\Tools\\Vantrel4.exe"); }};

  void SetUp() override {
    registry.keys[IdeKey]["RootDir"] = "C:\\IDE";
    files.files[Contents] = Base;
  }
  void Run(const HelpFileList &list) { RunRegistration(ProfileForVersion(4), list, dialog, services); }
};

TEST(ProgramDirOf, KeepsEverythingUpToTheLastBackslashOrColon) {
  const LeadByteTable singleByte;
  EXPECT_EQ(ProgramDirOf("C:\\Tools\\x.exe", singleByte), "C:\\Tools\\");
  EXPECT_EQ(ProgramDirOf("C:x.exe", singleByte), "C:");
  EXPECT_EQ(ProgramDirOf("\\\\server\\share\\dir.v2\\x.exe", singleByte),
            "\\\\server\\share\\dir.v2\\");
  EXPECT_EQ(ProgramDirOf("x.exe", singleByte), "");
}

TEST_F(RunOnStandIns, WholeRunWritesMergesTellsAndCloses) {
  Run({"A.HLP", "", "B.CNT"}); // an empty entry names no file: no default value
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
    registry.keys = machine;
    try {
      Run({"A.HLP"});
      ADD_FAILURE() << "no error";
    } catch (const Error &error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(IdeKey), std::string::npos) << message;
      EXPECT_NE(message.find("\"RootDir\""), std::string::npos) << message;
    }
    EXPECT_EQ(registry.keys, machine) << "no key or value may be created";
  }
  // A key that is there but may not be read is no missing IDE.
  registry.keys[IdeKey]["RootDir"] = "C:\\IDE";
  registry.denied.insert(IdeKey);
  try {
    Run({"A.HLP"});
    ADD_FAILURE() << "no error";
  } catch (const Error &error) {
    EXPECT_NE(std::string(error.what()).find("Access is denied"), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(files.Operations(), 0);
  EXPECT_EQ(dialog.closed, 0);
}

// The folder plus the longest name must stay a path the ANSI file functions
// take (259 characters): a longer one is refused before anything is written.
TEST_F(RunOnStandIns, FolderTooLongForTheFileFunctionsIsRefusedFirst) {
  for (std::size_t length : {251u, 252u}) { // + "Grid.hlp" = 259, 260
    const std::string folder = "C:\\" + std::string(length - 4, 'd') + "\\";
    services.executablePath = [folder] { return folder + "Vantrel4.exe"; };
    for (Action action : {Action::Register, Action::Remove}) {
      const auto run = [&] {
        RunAction(action, ProfileForVersion(4), {"A.HLP", "Grid.hlp"}, dialog, services);
      };
      if (length == 251) {
        EXPECT_NO_THROW(run());
        continue;
      }
      try {
        run();
        ADD_FAILURE() << "no error";
      } catch (const Error &error) {
        EXPECT_NE(std::string(error.what()).find(folder), std::string::npos) << error.what();
      }
    }
  }
  EXPECT_EQ(registry.Writes(), 2) << "only the run in the shorter folder wrote its two help "
                                      "locations";
  EXPECT_EQ(dialog.closed, 2);
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
  EXPECT_EQ(messages.kinds.back(), MessageKind::Information);
  EXPECT_EQ(dialog.closed, 2);
}

// Removal from C:\Tools\ for Delphi 4, with Delphi 3 at C:\D3: what is taken
// away in each situation, and what the log says about it.
TEST(RemovalOwnership, TakesAwayOnlyWhatNoOneElseStillUses) {
  const std::string d3Key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\3.0";
  const std::string d3Contents = "C:\\D3\\Help\\Delphi3.cnt";
  const std::string tsu = "\x83\x61.hlp";  // the entry ヂ.hlp in code page 932
  const struct {
    const char *situation;
    const char *location; // the entry's help location before; nullptr: none
    bool d4Installed, d4Contents, d3HoldsLine;
    bool linesGo, locationGoes;
    std::vector<std::string> logged;
    std::string entry = "Grid.hlp";
    std::string d3Line = ":LINK grid.hlp";
    bool d3Contents = true;
    bool cp932 = false;
    std::string program = "C:\\Tools\\Vantrel4.exe";
  } cases[] = {
      {"another folder owns the value", "C:\\Other\\", true, true, false, false, false,
       {"belongs to the registration of C:\\Other\\",
        "value kept: \"Grid.hlp\" = C:\\Other\\ names another folder",
        "no line to remove in C:\\IDE\\Help\\Delphi4.cnt"}},
      {"the other IDE still holds the line", "c:\\tools", true, true, true, true, false,
       {"is still used by Delphi 3 (", "line removed: :Link Grid.hlp"}},
      {"the IDE is not installed", "C:\\Tools\\", false, false, false, false, true,
       {"contents left alone: Delphi 4 is not installed"}},
      {"the contents file is missing", "C:\\Tools\\", true, false, false, false, true,
       {"contents left alone: C:\\IDE\\Help\\Delphi4.cnt is not there"}},
      {"there is no value at all", nullptr, true, true, false, false, false,
       {"value not there: \"Grid.hlp\"", "the name has no help location"}},
      {"the last registration is removed", "C:\\Tools\\", true, true, false, true, true,
       {"value removed: \"Grid.hlp\" = C:\\Tools\\"}},
      {"the other IDE has no contents file", "C:\\Tools\\", true, true, false, true, true,
       {"value removed: \"Grid.hlp\" = C:\\Tools\\"}, "Grid.hlp", "", false},
      {"neither .hlp nor .cnt", "C:\\Tools\\", true, true, false, false, true,
       {"left alone: \"Grid.txt\" is neither a .hlp nor a .cnt file"}, "Grid.txt"},
      {"932: the other IDE still links a double-byte name", "C:\\Tools\\", true, true, true,
       true, false, {"is still used by Delphi 3 ("}, tsu, ":LINK " + tsu, true, true},
      {"932: the other IDE links another double-byte name", "C:\\Tools\\", true, true, false,
       true, true, {"value removed: "}, tsu, ":LINK \x83\x41.hlp", true, true},
      {"932: a program whose name ends in 5C", "C:\\Tools\\", true, true, false, true, true,
       {"value removed: "}, "Grid.hlp", ":LINK grid.hlp", true, true,
       "C:\\Tools\\\x95\x5C.exe"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.situation);
    test::MemoryRegistry registry;
    test::MemoryFileSystem files;
    test::RecordingMessages messages;
    test::RecordingDialog dialog;
    test::RecordingLog log;
    test::StandInCharacterSet characters(c.cp932 ? test::CodePage932() : LeadByteTable());
    test::StandInLock lock;
    test::CountingClock clock;
    const std::string line = ":Link " + c.entry + "\r\n";
    const std::string d3Before = c.d3HoldsLine ? Base + c.d3Line + "\r\n" : Base;
    files.files["C:\\Tools\\" + c.entry] = "help";
    if (c.location != nullptr)
      registry.keys[HelpKey][c.entry] = c.location;
    if (c.d4Installed)
      registry.keys[IdeKey]["RootDir"] = "C:\\IDE";
    if (c.d4Contents)
      files.files[Contents] = Base + line;
    registry.keys[d3Key]["RootDir"] = "C:\\D3";
    if (c.d3Contents)
      files.files[d3Contents] = d3Before;

    const std::string program = c.program;
    RunRemoval(ProfileForVersion(4), {c.entry}, dialog,
               {registry, registry, files, files, files, files, files, files, files, lock, clock,
                characters, messages, [program] { return program; }, log});
    EXPECT_EQ(files.files.count(Contents), c.d4Contents ? 1u : 0u);
    if (c.d4Contents) {
      EXPECT_EQ(files.files[Contents], c.linesGo ? Base : Base + line);
    }
    if (c.d3Contents) {
      EXPECT_EQ(files.files[d3Contents], d3Before);
    }
    const auto helpKey = registry.keys.find(HelpKey);
    EXPECT_EQ(helpKey != registry.keys.end(), c.location != nullptr)
        << "a removal never creates the help-location key";
    EXPECT_EQ(helpKey != registry.keys.end() && helpKey->second.count(c.entry) != 0,
              c.location != nullptr && !c.locationGoes);
    EXPECT_EQ(messages.kinds, std::vector<MessageKind>{MessageKind::Information});
    EXPECT_EQ(dialog.closed, 1);
    for (const std::string &logged : c.logged)
      EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(), [&](const std::string &l) {
        return l.find(logged) != std::string::npos;
      })) << logged << " in " << ::testing::PrintToString(log.lines);
  }
}

// Removal undoes what the record says each registration did, for Delphi 3 at
// C:\D3 and Delphi 4 at C:\IDE, from folders X and Y: every row ends with
// both contents files as they began, byte for byte, the help location as it
// was (none, or C:\Old\) and no record but what another run left there.
TEST(RemovalByRecord, UndoesExactlyWhatEachRegistrationDid) {
  const std::string d3Key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\3.0";
  const std::string d3Contents = "C:\\D3\\Help\\Delphi3.cnt";
  const std::string before = ":Link Grid.hlp\r\n";
  struct Step {
    int version;
    const char *folder;
    Action action;
    HelpFileList list;
    bool thenDeleted = false; // the folder is deleted after the step, without its removal
    bool thenRecordLost = false; // as after a run of a version that kept no record
    const char *thenLocation = nullptr; // another product points Grid.hlp at its folder (Z holds it)
    const char *thenContents = nullptr; // an update of the IDE installs this contents file
    bool helpKeyRefused = false; // the help locations' key cannot be opened during the step
  };
  const HelpFileList both{"Grid.hlp", "Grid.cnt"}, otherSpelling{"GRID.HLP", "Grid.cnt"};
  const struct {
    const char *situation;
    std::vector<Step> steps;
    bool lineBefore;           // Delphi 4's file links Grid.hlp before anything
    bool cntMissing;           // X holds no Grid.cnt
    bool shortNameOfX;         // C:\XSHORT~1\ is another name of X
    bool recordLost;           // the record is gone before the last step
    const char *logged;        // the last step logs a line that starts so
    const char *afterY = nullptr; // Grid.hlp's location once Y is removed
    const char *oldLocation = nullptr; // Grid.hlp's location before, in a folder that holds it
    const char *d4Start = nullptr;     // Delphi 4's file before, when not the usual
    std::u16string recordedName = u"", recordedText = u""; // an entry another run left
    bool emptyKeyLeft = false;         // an empty key of the record, left by another run
    bool olderLayout = false; // the record as the first version kept it, before the last step
    const char *contentsIde = nullptr; // a stopped replace recorded for that IDE's file
    std::u16string replaceText = u"";
    bool d3OutOfReach = false; // Delphi 3's folder lies on a share that is away
    bool stoppedRemoval = false; // one that took Old.hlp's line out, with its edited copy left
    int d4Gone = 0; // Delphi 4 is uninstalled before the steps: 1 its folder goes, 2 its key too
    const char16_t *layout = nullptr; // the record's layout, when it says one
  } cases[] = {
      {"two IDEs, two folders",
       {{3, "C:\\X\\", Action::Register, both}, {4, "C:\\Y\\", Action::Register, both},
        {4, "C:\\Y\\", Action::Remove, both}, {3, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "value removed: \"Grid.hlp\" = C:\\X\\", "C:\\X\\"},
      {"two folders, one IDE, the first removed first",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\Y\\", Action::Register, both},
        {4, "C:\\X\\", Action::Remove, both}, {4, "C:\\Y\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr,
       ":Base Delphi4.hlp"},
      {"two folders, one name each, the first removed first",
       {{4, "C:\\X\\", Action::Register, {"Grid.hlp"}}, {4, "C:\\Y\\", Action::Register, {"Grid.cnt"}},
        {4, "C:\\X\\", Action::Remove, {"Grid.hlp"}}, {4, "C:\\Y\\", Action::Remove, {"Grid.cnt"}}},
       false, false, false, false, "line removed: :Include Grid.cnt", nullptr, nullptr,
       ":Base Delphi4.hlp"},
      {"the same folder under another name",
       {{4, "C:\\XSHORT~1\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, true, false, "line removed: :Link Grid.hlp"},
      {"a file missing at registration",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, true, false, false, "line removed: :Include Grid.cnt"},
      {"a line that was there before",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       true, false, false, false,
       "line kept: \":Link Grid.hlp\" was there before this folder's registration"},
      {"a name dropped from the list",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, {"Grid.hlp"}}},
       false, false, false, false, "line removed: :Include Grid.cnt"},
      {"no record",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, true, "no record of \"Grid.hlp\" for Delphi 4"},
      {"one folder for both IDEs: the location from before comes back",
       {{4, "C:\\X\\", Action::Register, both}, {3, "C:\\X\\", Action::Register, both},
        {4, "C:\\X\\", Action::Remove, both}, {3, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Old\\", nullptr,
       "C:\\Old\\"},
      {"two folders, two spellings of one name",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\Y\\", Action::Register, otherSpelling},
        {4, "C:\\X\\", Action::Remove, both}, {4, "C:\\Y\\", Action::Remove, otherSpelling}},
       false, false, false, false, "line removed: :Link Grid.hlp"},
      {"the list edited to another spelling",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, otherSpelling}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Old\\", nullptr,
       "C:\\Old\\"},
      {"a second removal keeps the line from before",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both},
        {4, "C:\\X\\", Action::Remove, both}},
       true, false, false, false, "nothing of this folder is recorded for Delphi 4"},
      {"a damaged entry of another name",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "left alone: the record of \"Other.hlp\" is damaged (garbage)",
       nullptr, nullptr, nullptr, u"Other.hlp", u"garbage"},
      {"an entry written under another code page",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "left alone: the record of \"?.hlp\", written under a code page",
       nullptr, nullptr, nullptr, u"\x8341.hlp", u"before\n1\tDelphi 4\tappended\tC:\\\x8341\\"},
      {"an empty key of the record left behind, and the program's key that cannot go",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "left alone: an empty key of the record, which cannot go: "
       "Cannot delete the registry key HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel", nullptr, nullptr,
       nullptr, u"", u"", true},
      {"a last line without a line end",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr,
       ":Base Delphi4.hlp"},
      {"an end-of-file character at the end",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr,
       ":Base Delphi4.hlp\r\n\x1A"},
      {"a record of the first version",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "record moved to its present layout", nullptr, "C:\\Old\\",
       nullptr, u"", u"", false, true},
      {"a folder deleted without its removal",
       {{4, "C:\\X\\", Action::Register, both, true}, {4, "C:\\Y\\", Action::Register, both},
        {4, "C:\\Y\\", Action::Remove, both}},
       false, false, false, false,
       "registered from C:\\X\\, which no longer holds Grid.hlp: taken out of the record"},
      {"an upgrade from a registration without a record",
       {{4, "C:\\X\\", Action::Register, both, false, true}, {4, "C:\\X\\", Action::Register, both},
        {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp"},
      {"another product's location between two registrations",
       {{4, "C:\\X\\", Action::Register, both, false, false, "C:\\Z\\"},
        {4, "C:\\Y\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both},
        {4, "C:\\Y\\", Action::Remove, both}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Z\\", "C:\\Z\\", "C:\\Old\\"},
      {"three folders: the most recent other holder takes the location",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\Z\\", Action::Register, both},
        {4, "C:\\Y\\", Action::Register, both}, {4, "C:\\Y\\", Action::Remove, both},
        {4, "C:\\Z\\", Action::Remove, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", "C:\\Z\\"},
      {"two products' locations, the most recent one back",
       {{4, "C:\\X\\", Action::Register, both, false, false, "C:\\Z\\"},
        {4, "C:\\Y\\", Action::Register, both, false, false, "C:\\Old\\"},
        {4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both},
        {4, "C:\\Y\\", Action::Remove, both}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Old\\", "C:\\Old\\",
       "C:\\Old\\"},
      {"a registration that could not open the locations' key",
       {{4, "C:\\X\\", Action::Register, both, false, false, nullptr, nullptr, true},
        {4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Old\\", nullptr,
       "C:\\Old\\"},
      {"an update of the IDE between two registrations",
       {{4, "C:\\X\\", Action::Register, both, false, false, nullptr, Base.c_str()},
        {4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr,
       ":Base Delphi4.hlp"},
      {"an update of the IDE that keeps a line that was there before",
       {{4, "C:\\X\\", Action::Register, both, false, false, nullptr,
         ":Base Delphi4.hlp\r\n:Link Grid.hlp\r\n"},
        {4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Include Grid.cnt", nullptr, nullptr,
       ":Base Delphi4.hlp\r\n:Link Grid.hlp"},
      {"a stopped replace that names other files",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr, nullptr,
       u"", u"", false, false, "Delphi 4",
       u"replace\tC:\\IDE\\Help\\Delphi4.cnt\tC:\\Victim.txt\t1:0\t1:0\tkeeps end"},
      {"the other IDE's stopped replace out of reach",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "left for a later run: what an earlier run left unfinished for Delphi 3",
       nullptr, nullptr, nullptr, u"", u"", false, false, "Delphi 3",
       u"replace\tC:\\D3\\Help\\Delphi3.cnt\tC:\\D3\\Help\\Delphi3.~ed\t1:0\t1:0\tkeeps end", true, true},
      {"a removal stopped before its replace, completed by a run that changes nothing else",
       {{4, "C:\\Y\\", Action::Remove, both}}, false, false, false, false,
       "replace completed: C:\\IDE\\Help\\Delphi4.cnt", nullptr, nullptr, nullptr, u"", u"",
       false, false, nullptr, u"", false, true},
      {"a removal stopped before its replace, completed by a run for the other IDE",
       {{3, "C:\\Y\\", Action::Remove, both}}, false, false, false, false,
       "replace completed: C:\\IDE\\Help\\Delphi4.cnt", nullptr, nullptr, nullptr, u"", u"",
       false, false, nullptr, u"", false, true},
      {"a removal stopped before its replace, completed by the next run from any folder",
       {{4, "C:\\Y\\", Action::Register, both}, {4, "C:\\Y\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr, nullptr, u"",
       u"", false, false, nullptr, u"", false, true},
      {"a registration number past nine digits",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr, nullptr,
       u"Other.hlp", u"before\n999999999\tDelphi 4\tfound\tC:\\W\\"},
      {"the line found by the other IDE's registration from the same folder stays",
       {{3, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Register, both},
        {4, "C:\\X\\", Action::Remove, both}, {3, "C:\\X\\", Action::Remove, both}},
       true, false, false, false, "line removed: :Link Grid.hlp"},
      {"both IDEs registered without a record, then with one, removed in that order",
       {{3, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Register, both, false, true},
        {3, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Register, both},
        {3, "C:\\X\\", Action::Remove, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp"},
      {"both IDEs registered without a record, then with one, removed the other way round",
       {{3, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Register, both, false, true},
        {3, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Register, both},
        {4, "C:\\X\\", Action::Remove, both}, {3, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp"},
      {"two products alternate as the location: one replaced line each",
       {{4, "C:\\X\\", Action::Register, both, false, false, "C:\\Z\\"},
        {4, "C:\\X\\", Action::Register, both, false, false, "C:\\Old\\"},
        {4, "C:\\X\\", Action::Register, both, false, false, "C:\\Z\\"},
        {4, "C:\\X\\", Action::Register, both, false, false, "C:\\Old\\"},
        {4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Old\\", nullptr, "C:\\Old\\"},
      {"the line's end after an update, the later registration removed first",
       {{4, "C:\\X\\", Action::Register, {"Grid.hlp"}, false, false, nullptr, ":Base New.hlp"},
        {4, "C:\\Y\\", Action::Register, {"Grid.cnt"}}, {4, "C:\\Y\\", Action::Remove, {"Grid.cnt"}},
        {4, "C:\\X\\", Action::Remove, {"Grid.hlp"}}},
       false, false, false, false, "no line to remove", "C:\\X\\", nullptr, ":Base Delphi4.hlp"},
      {"an end-of-file character after an update, the later registration removed first",
       {{4, "C:\\X\\", Action::Register, {"Grid.hlp"}, false, false, nullptr, ":Base New.hlp\x1A"},
        {4, "C:\\Y\\", Action::Register, {"Grid.cnt"}}, {4, "C:\\Y\\", Action::Remove, {"Grid.cnt"}},
        {4, "C:\\X\\", Action::Remove, {"Grid.hlp"}}},
       false, false, false, false, "no line to remove", "C:\\X\\", nullptr, ":Base Delphi4.hlp"},
      {"a repeated registration keeps the location from before",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Register, both},
        {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Old\\", nullptr, "C:\\Old\\"},
      {"an end-of-file character right after the last line",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "line removed: :Link Grid.hlp", nullptr, nullptr,
       ":Base Delphi4.hlp\x1A"},
      {"the other IDE's stale compiled copies",
       {{3, "C:\\X\\", Action::Remove, both}}, false, false, false, false,
       "nothing of this folder is recorded for Delphi 3", nullptr, nullptr, nullptr, u"", u"",
       false, false, "Delphi 4", u"stale"},
      {"an update ending in a line end, after a file closed by an end-of-file character",
       {{4, "C:\\X\\", Action::Register, {"Grid.hlp"}, false, false, nullptr, ":Base New.hlp\r\n"},
        {4, "C:\\Y\\", Action::Register, {"Grid.cnt"}}, {4, "C:\\Y\\", Action::Remove, {"Grid.cnt"}},
        {4, "C:\\X\\", Action::Remove, {"Grid.hlp"}}},
       false, false, false, false, "no line to remove", "C:\\X\\", nullptr, ":Base Delphi4.hlp\r\n\x1A"},
      {"an update that holds a line the other IDE's registration appended",
       {{4, "C:\\X\\", Action::Register, {"Grid.cnt"}},
        {3, "C:\\X\\", Action::Register, {"Grid.hlp"}, false, false, nullptr,
         ":Base New.hlp\r\n:Link Grid.hlp\r\n"},
        {4, "C:\\Y\\", Action::Register, {"Grid.cnt"}}, {4, "C:\\Y\\", Action::Remove, {"Grid.cnt"}},
        {4, "C:\\X\\", Action::Remove, {"Grid.cnt"}}, {3, "C:\\X\\", Action::Remove, {"Grid.hlp"}}},
       false, false, false, false, "line removed: :Link Grid.hlp", "C:\\X\\", nullptr,
       ":Base Delphi4.hlp\r\n\x1A"},
      {"a registration after one numbered the largest",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "value restored: \"Grid.hlp\" = C:\\Z\\", nullptr, "C:\\Z\\",
       nullptr, u"Grid.hlp", u"before\n18446744073709551615\tDelphi 3\tfound\tC:\\Z\\"},
      {"another name's entry of a newer layout",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "left alone: the record of \"Other.hlp\" was written by a newer",
       nullptr, nullptr, nullptr, u"Other.hlp", u"before\n7\tDelphi 4\tmoved\tC:\\W\\", false,
       false, nullptr, u"", false, false, 0, u"3"},
      {"the name's own entry of a newer layout",
       {{4, "C:\\X\\", Action::Register, both}, {4, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "failed: the record of \"Grid.hlp\" was written by a newer "
       "version of this program (layout 3); run that version", nullptr, nullptr, nullptr,
       u"Grid.hlp", u"before\n7\tDelphi 4\tmoved\tC:\\W\\", false, false, nullptr, u"", false,
       false, 0, u"3"},
      {"the other IDE's contents record of a newer layout",
       {{4, "C:\\X\\", Action::Register, both}, {3, "C:\\X\\", Action::Register, both},
        {3, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "left alone: the record of Delphi 4's contents file was written "
       "by a newer version of this program (layout 3)", nullptr, nullptr, nullptr, u"", u"",
       false, false, "Delphi 4", u"moved\tC:\\IDE", false, false, 0, u"3"},
      {"a stopped replace of an IDE uninstalled since", {{3, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "dropped from the record: what it held about Delphi 4's contents file, a replace of C:\\IDE",
       nullptr, nullptr, nullptr, u"", u"", false, false, nullptr, u"", false, true, 2},
      {"a stopped replace of an IDE whose folder is gone", {{3, "C:\\X\\", Action::Remove, both}},
       false, false, false, false, "dropped from the record: what it held about Delphi 4's contents file, a replace of C:\\IDE",
       nullptr, nullptr, nullptr, u"", u"", false, false, nullptr, u"", false, true, 1},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.situation);
    test::MemoryRegistry registry;
    test::MemoryFileSystem files;
    test::StandInCharacterSet characters;
    test::StandInLock lock;
    test::CountingClock clock;
    test::RecordingMessages messages;
    test::RecordingDialog dialog;
    registry.keys[IdeKey]["RootDir"] = "C:\\IDE";
    registry.keys[d3Key]["RootDir"] = "C:\\D3";
    const std::string d4Before = c.d4Start ? c.d4Start : c.lineBefore ? Base + before : Base;
    files.files[Contents] = d4Before;
    if (c.oldLocation) {
      registry.keys[HelpKey]["Grid.hlp"] = c.oldLocation;
      files.files[c.oldLocation + std::string("Grid.hlp")] = "help";
    }
    if (!c.recordedName.empty())
      registry.records["Registrations"][c.recordedName] = c.recordedText;
    if (c.layout)
      registry.records[""][u"Layout"] = c.layout;
    if (c.emptyKeyLeft) {
      registry.records["Registrations\\Delphi 3"];
      registry.undeletableRecordKeys.insert("");
    }
    files.files[d3Contents] = Base;
    files.files["C:\\Victim.txt"] = "the user's";
    files.files["C:\\Z\\Grid.hlp"] = "help";
    if (c.contentsIde)
      registry.records["Contents"][std::u16string(c.contentsIde, c.contentsIde + 8)] =
          c.replaceText;
    if (c.d3OutOfReach)
      files.unreachable.insert("C:\\D3\\");
    if (c.stoppedRemoval) {
      files.files[Contents] = d4Before + ":Link Old.hlp\r\n";
      files.files["C:\\IDE\\Help\\Delphi4.~ed"] = d4Before;
      files.files["C:\\IDE\\Help\\Delphi4.GID"] = "compiled";
      const std::string replace = "replace\tC:\\IDE\\Help\\Delphi4.cnt\tC:\\IDE\\Help\\Delphi4.~ed\t" +
                                  FingerprintOf(files.files[Contents]) + "\t" +
                                  FingerprintOf(d4Before) + "\trestores end\nline end added\nend-of-file character replaced\nstale";
      registry.records["Contents"][u"Delphi 4"] = std::u16string(replace.begin(), replace.end());
    }
    std::string d4After = d4Before;
    if (c.d4Gone != 0) {
      for (auto file = files.files.begin(); file != files.files.end();)
        file = file->first.rfind("C:\\IDE\\", 0) == 0 ? files.files.erase(file) : std::next(file);
      if (c.d4Gone == 2)
        registry.keys.erase(IdeKey);
      d4After.clear();
    }
    const char *location = c.oldLocation;
    for (const char *folder : {"C:\\X\\", "C:\\Y\\"})
      for (const std::string &name : both)
        if (!(c.cntMissing && name == "Grid.cnt"))
          files.files[folder + name] = "help";
    files.folders = {{"C:\\X", 1}, {"C:\\Y", 2}};
    if (c.shortNameOfX)
      files.folders["C:\\XSHORT~1"] = 1;
    test::RecordingLog log;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step &step = c.steps[i];
      if (c.recordLost && i + 1 == c.steps.size())
        registry.records.clear();
      if (c.olderLayout && i + 1 == c.steps.size())
        registry.records = {{"", {}},
                            {"Registrations", {}},
                            {"Registrations\\Delphi 4",
                             {{u"Grid.hlp", u"before=C:\\Old\\\n1\tappended\tC:\\X\\"},
                              {u"Grid.cnt", u"before\n1\tappended\tC:\\X\\"}}}};
      log.lines.clear();
      const std::string program = std::string(step.folder) + "Vantrel.exe";
      if (step.helpKeyRefused)
        registry.denied.insert(HelpKey);
      try {
        RunAction(step.action, ProfileForVersion(step.version), step.list, dialog,
                  {registry, registry, files, files, files, files, files, files, files, lock,
                   clock, characters, messages, [program] { return program; }, log});
      } catch (const Error &) {
        EXPECT_TRUE(step.helpKeyRefused || c.layout) << "only that step fails";
      }
      if (step.folder == std::string("C:\\Y\\") && step.action == Action::Remove) {
        const auto location = registry.keys[HelpKey].find("Grid.hlp");
        EXPECT_EQ(location == registry.keys[HelpKey].end() ? "none" : location->second,
                  c.afterY ? c.afterY : "none");
        for (const char *name : {"Grid.hlp", "Grid.cnt"})
          files.files.erase(std::string("C:\\Y\\") + name); // Y is uninstalled
      }
      registry.denied.clear();
      const RegistrationRecord after(registry, characters);
      for (const std::string &name : step.list) { // a registration is each name's most recent
        if (step.action == Action::Register && after.Find(name) != nullptr) {
          EXPECT_EQ(after.Find(name)->registrations.back().folder,
                    std::u16string(step.folder, step.folder + std::strlen(step.folder)));
        }
      }
      for (const auto &[name, text] : registry.ReadValues("Registrations")) {
        std::set<std::u16string> replaced;
        for (std::size_t at = text->find(u"\nreplaced\t"); at != std::u16string::npos;
             at = text->find(u"\nreplaced\t", at + 1))
          EXPECT_TRUE(replaced.insert(text->substr(at, text->find(u'\n', at + 1) - at)).second)
              << "one replaced line per folder";
      }
      if (step.thenDeleted)
        for (const char *name : {"Grid.hlp", "Grid.cnt"})
          files.files.erase(step.folder + std::string(name));
      if (step.thenRecordLost)
        registry.records.clear();
      if (step.thenLocation) { // comes back in the end if its folder holds the file
        registry.keys[HelpKey]["Grid.hlp"] = step.thenLocation;
        if (files.files.count(step.thenLocation + std::string("Grid.hlp")) != 0)
          location = step.thenLocation;
      }
      if (step.thenContents)
        files.files[Contents] = d4After = step.thenContents;
    }
    EXPECT_EQ(files.files[Contents], d4After);
    EXPECT_EQ(files.files[d3Contents], Base);
    EXPECT_EQ(files.files["C:\\Victim.txt"], "the user's");
    EXPECT_EQ(files.files.count("C:\\IDE\\Help\\Delphi4.GID"), 0u) << "the viewer's copy went";
    EXPECT_EQ(registry.keys[HelpKey].size(), location ? 1u : 0u)
        << ::testing::PrintToString(registry.keys[HelpKey]);
    if (location) {
      EXPECT_EQ(registry.keys[HelpKey]["Grid.hlp"], location);
    }
    std::map<std::string, std::map<std::u16string, std::u16string>> left;
    if (!c.recordedName.empty())
      left = {{"", {{u"Layout", c.layout ? c.layout : u"2"}}},
              {"Registrations", {{c.recordedName, c.recordedText}}}};
    if (c.d3OutOfReach || (c.layout && c.contentsIde))
      left = {{"", {{u"Layout", c.layout ? c.layout : u"2"}}},
              {"Contents", {{std::u16string(c.contentsIde, c.contentsIde + 8), c.replaceText}}}};
    if (c.emptyKeyLeft)
      left = {{"", {}}};
    EXPECT_EQ(registry.records, left) << "the record holds no more than what another run left";
    EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(), [&](const std::string &l) {
      return l.rfind(c.logged, 0) == 0;
    })) << ::testing::PrintToString(log.lines);
  }
}

// An entry reads back as it was written, whatever its numbers; what cannot
// be read is damage, never a wrong reading. An entry of the first layout (a
// key per IDE, as another program's copy of that version kept it) merges into
// the present one, and merging twice (a move cut short) changes nothing.
TEST(RecordEntries, ReadBackAsWrittenOrAsDamage) {
  const std::u16string w = u"\tDelphi 4\tfound\tC:\\W\\", merged =
      u"before=C:\\Old\\\n2\tDelphi 4\tappended\tC:\\V\\\n5" + w;
  const struct {
    std::u16string text;
    bool readable;
    std::u16string written = u"", older = u""; // written when not the text itself
    std::u16string layout = u"";               // the record's, when it says one
  } rows[] = {
      {u"before\n18446744073709551615" + w, true},
      {u"before\n18446744073709551616" + w, false},
      {u"before=C:\\Z\\\nreplaced\tC:\\A\\\nreplaced\tC:\\B\\\n7" + w, true},
      {u"before\n7" + w + u"\nreplaced\tC:\\A\\", false},
      {u"before\nreplaced\t\n7" + w, false},
      {u"before\n9" + w + u"\n8\tDelphi 3\tfound\tC:\\V\\", true,
       u"before\n8\tDelphi 3\tfound\tC:\\V\\\n9" + w},
      {u"before\n5" + w, true, merged, u"before=C:\\Old\\\n2\tappended\tC:\\V\\"},
      {merged, true, merged, u"before=C:\\Old\\\n2\tappended\tC:\\V\\"},
      {u"before\n7\tDelphi 4\tadopted\tC:\\W\\", true},
      {u"before=C:\\Z\\\n2" + w + u"\n9\tDelphi 4\tfound\tC:\\U\\", true,
       u"before=C:\\Z\\\n2" + w + u"\n5\tDelphi 4\tappended\tC:\\V\\\n9\tDelphi 4\tfound\tC:\\U\\",
       u"before=C:\\Old\\\n5\tappended\tC:\\V\\"},
      {u"before\n3\tDelphi 3\tfound\tC:\\V\\", true,
       u"before\n2\tDelphi 4\tappended\tC:\\V\\\n3\tDelphi 3\tfound\tC:\\V\\",
       u"before\n2\tappended\tC:\\V\\"},
      {u"before\n3" + w, true, u"", u"garbage"},
      {u"before\n7\tDelphi 4\tmoved\tC:\\W\\", false, u"", u"", u"3"},
      {u"before\n7" + w, true, u"", u"", u"3"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.text));
    test::MemoryRegistry registry;
    test::StandInCharacterSet characters;
    registry.records["Registrations"][u"Grid.hlp"] = row.text;
    if (!row.older.empty())
      registry.records["Registrations\\Delphi 4"][u"GRID.HLP"] = row.older;
    if (!row.layout.empty())
      registry.records[""][u"Layout"] = row.layout;
    RegistrationRecord record(registry, characters);
    ASSERT_EQ(record.Find("Grid.hlp") != nullptr, row.readable);
    if (!row.readable) { // of a newer layout: never damage, and a run that would change it fails
      EXPECT_EQ(record.Damage("Grid.hlp").has_value(), row.layout.empty());
      if (!row.layout.empty()) {
        EXPECT_THROW(record.RequireOwnLayout({"GRID.HLP"}, ProfileForVersion(4)), Error);
      }
      continue;
    }
    record.MoveOlderLayout();
    if (!row.older.empty() && row.older.rfind(u"before", 0) == 0) {
      EXPECT_EQ(registry.records["Registrations"][u"Grid.hlp"], row.written) << "moved";
    }
    record.Write(NameEntry(*record.Find("Grid.hlp")));
    EXPECT_EQ(registry.records["Registrations"][u"Grid.hlp"],
              row.written.empty() ? row.text : row.written);
    EXPECT_EQ(registry.records[""][u"Layout"], row.layout.empty() ? u"2" : row.layout);
    const bool olderReadable = row.older.rfind(u"before", 0) == 0;
    EXPECT_EQ(registry.records["Registrations\\Delphi 4"].count(u"GRID.HLP"),
              row.older.empty() || olderReadable ? 0u : 1u)
        << "a damaged value of the first layout is left as it is";
  }
}

// The help viewer's compiled copies of the contents file, in its three
// places, go when a run changed the file, and only then; the user's own files
// and other help files' copies stay; one that cannot go fails nothing.
TEST_F(RunOnStandIns, ChangedContentsTakeTheViewersCompiledCopiesWithThem) {
  const std::string local = "C:\\Users\\u\\AppData\\Local";
  const std::vector<std::string> compiled{"C:\\IDE\\Help\\delphi4.gid",
                                          "C:\\WINDOWS\\Help\\DELPHI4.FTG",
                                          local + "\\Help\\Delphi4.GID"};
  const std::vector<std::string> untouched{
      "C:\\IDE\\Help\\Delphi4.ANN", "C:\\IDE\\Help\\Delphi4.BMK", "C:\\IDE\\Help\\Delphi4.FTS",
      "C:\\IDE\\Help\\Delphi3.GID", "C:\\WINDOWS\\Help\\Grid.GID"};
  const struct {
    const char *situation;
    Action action;
    HelpFileList list;
    bool held; // the viewer holds the first copy open
    std::vector<bool> gone;
  } cases[] = {
      {"lines appended", Action::Register, {"A.HLP"}, false, {true, true, true}},
      {"nothing appended", Action::Register, {"Delphi4.hlp"}, false, {false, false, false}},
      {"a copy held open", Action::Register, {"A.HLP"}, true, {false, true, true}},
      {"lines removed", Action::Remove, {"Old.hlp"}, false, {true, true, true}},
      {"nothing removed", Action::Remove, {"A.HLP"}, false, {false, false, false}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.situation);
    files.files.clear();
    files.held.clear();
    files.files[Contents] = Base + ":Link Old.hlp\r\n";
    files.files["C:\\Tools\\Old.hlp"] = "help";
    registry.keys[HelpKey]["Old.hlp"] = "C:\\Tools\\";
    files.localAppData = local;
    for (const std::string &path : compiled)
      files.files[path] = "compiled";
    for (const std::string &path : untouched)
      files.files[path] = "the user's";
    if (c.held)
      files.held.insert(compiled[0]);
    test::RecordingLog log;
    messages.shown.clear();
    RunAction(c.action, ProfileForVersion(4), c.list, dialog,
              {registry, registry, files, files, files, files, files, files, files, lock, clock, characters,
               messages, services.executablePath, log});
    for (std::size_t i = 0; i < compiled.size(); ++i) {
      EXPECT_EQ(files.files.count(compiled[i]) == 0, c.gone[i]) << compiled[i];
      EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(),
                           "compiled contents deleted: " + compiled[i]),
                c.gone[i] ? 1 : 0);
    }
    for (const std::string &path : untouched)
      EXPECT_EQ(files.files.count(path), 1u) << path;
    EXPECT_EQ(log.lines.back(), "done");
    EXPECT_EQ(messages.shown.size(), 1u) << "the success message, and nothing else";
    const bool reported = std::any_of(log.lines.begin(), log.lines.end(), [](const std::string &l) {
      return l.rfind("compiled contents not deleted: Cannot delete C:\\IDE\\Help\\delphi4.gid: ",
                     0) == 0 &&
             l.find("close it and run this program again, or delete the file") != std::string::npos;
    });
    EXPECT_EQ(reported, c.held);
    // A copy that could not go is tried again by the next run, which changes nothing itself.
    files.held.clear();
    RunAction(Action::Register, ProfileForVersion(4), {"Delphi4.hlp"}, dialog,
              {registry, registry, files, files, files, files, files, files, files, lock, clock,
               characters, messages, services.executablePath});
    EXPECT_EQ(files.files.count(compiled[0]) == 0, c.gone[0] || c.held);
  }
}

// Under the machine-wide lock: how the run finds it, and a contents file that
// another program holds open for a while (opens that fail before one works).
TEST_F(RunOnStandIns, RunActionTakesTheLockAndWaitsBrieflyForFilesInUse) {
  const struct {
    const char *situation;
    LockTaken lockFound;
    bool lockTimesOut;
    int opensInUse;
    bool completes;
    std::vector<std::string> logged; // the lines of note, by their start
    unsigned long pausedMs;
  } cases[] = {
      {"lock free", {}, false, 0, true, {}, 0},
      {"lock held for a while",
       {3200, false},
       false,
       0,
       true,
       {"waited 3.2 s for another registration or removal to end"},
       0},
      {"lock abandoned",
       {0, true},
       false,
       0,
       true,
       {"the run before this one ended without finishing (its lock was abandoned)"},
       0},
      {"lock held too long", {}, true, 0, false, {"failed: Another registration or removal"}, 0},
      {"contents in use a moment",
       {},
       false,
       3,
       true,
       {"in use by another program, tried again for 2 seconds: Cannot open"},
       750},
      {"contents in use for long",
       {},
       false,
       100,
       false,
       {"in use by another program, tried again", "failed: Cannot open"},
       2000},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.situation);
    SetUp();
    registry.keys.erase(HelpKey);
    lock.next = c.lockFound;
    lock.timesOut = c.lockTimesOut;
    files.inUse[Contents] = c.opensInUse;
    clock.waitedMs = 0;
    test::RecordingLog log;
    const RunServices logged{registry, registry, files, files, files,      files,    files,
                             files,    files, lock,  clock, characters, messages, services.executablePath,
                             log};
    bool completed = true;
    try {
      RunAction(Action::Register, ProfileForVersion(4), {"A.HLP"}, dialog, logged);
    } catch (const Error &) {
      completed = false;
    }
    EXPECT_EQ(completed, c.completes);
    EXPECT_EQ(lock.held, 0) << "the lock is released";
    EXPECT_EQ(files.files[Contents], c.completes ? Base + ":Link A.HLP\r\n" : Base);
    EXPECT_EQ(registry.keys.count(HelpKey), c.lockTimesOut ? 0u : 1u);
    EXPECT_EQ(clock.waitedMs, c.pausedMs);
    std::vector<std::string> notable;
    for (const std::string &line : log.lines)
      for (const char *start : {"waited ", "the run before", "in use by", "failed: "})
        if (line.rfind(start, 0) == 0)
          notable.push_back(line);
    ASSERT_EQ(notable.size(), c.logged.size()) << ::testing::PrintToString(log.lines);
    for (std::size_t i = 0; i < notable.size(); ++i)
      EXPECT_EQ(notable[i].rfind(c.logged[i], 0), 0u) << notable[i];
  }
}

// Every file operation of a run that another program can hold up for a
// moment is tried again while the file is in use, and logged once; a file
// that may not be written, or is not there, fails at once.
TEST_F(RunOnStandIns, FileOperationsAreTriedAgainOnlyWhileTheFileIsInUse) {
  const struct {
    const char *busy; // the operation that finds its file in use twice
    Action action;
    bool denied = false, missing = false;
  } cases[] = {{"read", Action::Register},  {"append", Action::Register},
               {"copy", Action::Register},  {"write", Action::Remove},
               {"replace", Action::Remove}, {nullptr, Action::Register, true},
               {nullptr, Action::Register, false, true}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.busy ? c.busy : c.denied ? "denied" : "missing");
    SetUp();
    files.files["C:\\Tools\\A.HLP"] = "help";
    test::RecordingLog log;
    const RunServices logged{registry, registry, files, files, files,      files,    files,
                             files,    files,    lock,  clock, characters, messages,
                             services.executablePath, log};
    if (c.action == Action::Remove)
      RunAction(Action::Register, ProfileForVersion(4), {"A.HLP"}, dialog, logged);
    if (c.busy)
      files.busyAt[c.busy] = 2;
    if (c.denied)
      files.unwritable.insert(Contents);
    if (c.missing)
      files.files.erase(Contents);
    clock.waitedMs = 0;
    log.lines.clear();
    bool completed = true;
    try {
      RunAction(c.action, ProfileForVersion(4), {"A.HLP"}, dialog, logged);
    } catch (const Error &) {
      completed = false;
    }
    EXPECT_EQ(completed, c.busy != nullptr);
    EXPECT_EQ(clock.waitedMs, c.busy ? 2 * RetryingFiles::PauseMs : 0);
    EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                            [](const std::string &l) { return l.rfind("in use by another", 0) == 0; }),
              c.busy ? 1 : 0);
    if (c.busy) {
      EXPECT_EQ(files.files[Contents], c.action == Action::Register ? Base + ":Link A.HLP\r\n" : Base);
    }
  }
}

// The log ends with the outcome, written once; a log that cannot take it
// does not hide the run's own error.
TEST_F(RunOnStandIns, RunActionLogsTheOutcomeOnceAndKeepsTheRunsError) {
  test::RecordingLog log;
  const RunServices logged{registry, registry, files, files, files,      files,    files,
                           files,    files, lock,  clock, characters, messages, services.executablePath,
                           log};
  RunAction(Action::Register, ProfileForVersion(4), {"A.HLP"}, dialog, logged);
  EXPECT_EQ(log.lines.back(), "done");
  registry.keys.clear();
  EXPECT_THROW(RunAction(Action::Register, ProfileForVersion(4), {"A.HLP"}, dialog, logged), Error);
  EXPECT_EQ(log.lines.back().rfind("failed: ", 0), 0u) << log.lines.back();
  EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                          [](const std::string &l) { return l.rfind("failed: ", 0) == 0; }),
            1);
  log.broken = true;
  try {
    RunAction(Action::Register, ProfileForVersion(4), {"A.HLP"}, dialog, logged);
    ADD_FAILURE() << "no error";
  } catch (const Error &error) {
    EXPECT_NE(std::string(error.what()).find(IdeKey), std::string::npos) << error.what();
  }
}

} // namespace
} // namespace vantrel
