// The check on the stand-ins: a line for each kind of thing it finds, and
// nothing on the machine changed by it.
#include "engine/RunAction.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StandInCharacterSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vantrel {
namespace {

const std::string HelpKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";
const std::string Contents = "C:\\IDE\\Help\\Delphi4.cnt";

TEST(CheckRegistration, SaysWhatStandsInTheWayAndChangesNothing) {
  const struct {
    const char *situation;
    std::function<void(test::MemoryRegistry &, test::MemoryFileSystem &)> change;
    bool allWell;
    const char *line; // a line of the report
  } cases[] = {
      {"as registered", [](auto &, auto &) {}, true, "ok: Grid.hlp"},
      {"the file is gone", [](auto &, auto &files) { files.files.erase("C:\\Tools\\Grid.cnt"); },
       false, "not ok: Grid.cnt: C:\\Tools\\Grid.cnt is not there"},
      {"the location names another folder",
       [](auto &registry, auto &) { registry.keys[HelpKey]["Grid.hlp"] = "C:\\Old\\"; }, false,
       "not ok: Grid.hlp: the help location names C:\\Old\\, which does not hold Grid.hlp: the "
       "help viewer will not find it"},
      {"no location", [](auto &registry, auto &) { registry.keys[HelpKey].erase("Grid.cnt"); },
       false, "not ok: Grid.cnt: it has no help location: the help viewer will not find it"},
      {"no line",
       [](auto &, auto &files) { files.files[Contents] = ":Base Delphi4.hlp\r\n:Link Grid.hlp\r\n"; },
       false, "not ok: Grid.cnt: C:\\IDE\\Help\\Delphi4.cnt has no line \":Include Grid.cnt\""},
      {"not recorded", [](auto &registry, auto &) { registry.records.clear(); }, false,
       "not ok: Grid.hlp: the record has no registration of it from this folder for Delphi 4"},
      {"recorded by a newer version",
       [](auto &registry, auto &) {
         registry.records[""][u"Layout"] = u"3";
         registry.records["Registrations"][u"Grid.hlp"] = u"before\n9\tDelphi 4\tmoved\tC:\\W\\";
       },
       false,
       "not ok: Grid.hlp: the record of \"Grid.hlp\" was written by a newer version of this "
       "program (layout 3)"},
      {"a dead registration", [](auto &, auto &files) { files.files.erase("C:\\A\\Grid.hlp"); },
       false,
       "dead registration: \"Grid.hlp\" from C:\\A\\, which no longer holds the file: the next "
       "removal of it takes it out of the record"},
      {"a line whose file the viewer does not find",
       [](auto &, auto &files) { files.files[Contents] += ":Link Old.hlp\r\n"; }, false,
       "missing: :Link Old.hlp (no help location; not in C:\\IDE\\Help)"},
      {"a compiled copy older than the contents file",
       [](auto &, auto &files) {
         files.files["C:\\IDE\\Help\\Delphi4.GID"] = "compiled";
         files.times[Contents] = 2;
         files.times["C:\\IDE\\Help\\Delphi4.GID"] = 1;
       },
       false,
       "stale: C:\\IDE\\Help\\Delphi4.GID is older than C:\\IDE\\Help\\Delphi4.cnt: the help "
       "viewer may show the old contents; close it and delete the file"},
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
    test::RecordingLog log;
    registry.keys["HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\4.0"]["RootDir"] = "C:\\IDE";
    files.files[Contents] = ":Base Delphi4.hlp\r\n";
    files.files["C:\\IDE\\Help\\Delphi4.hlp"] = "help";
    for (const char *file : {"C:\\A\\Grid.hlp", "C:\\Tools\\Grid.hlp", "C:\\Tools\\Grid.cnt"})
      files.files[file] = "help";
    const auto run = [&](const char *folder, Action action, const HelpFileList &list) {
      const std::string program = std::string(folder) + "Vantrel4.exe";
      return RunAction(action, ProfileForVersion(4), list, dialog,
                       {registry, registry, files, files, files, files, files, files, files, lock,
                        clock, characters, messages, [program] { return program; }, log});
    };
    run("C:\\A\\", Action::Register, {"Grid.hlp"});
    run("C:\\Tools\\", Action::Register, {"Grid.hlp", "Grid.cnt"});
    c.change(registry, files);
    const auto keys = registry.keys;
    const auto records = registry.records;
    const auto bytes = files.files;
    log.lines.clear();
    messages.kinds.clear();

    EXPECT_EQ(run("C:\\Tools\\", Action::Check, {"Grid.hlp", "Grid.cnt"}), c.allWell);
    EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), c.line), log.lines.end())
        << ::testing::PrintToString(log.lines);
    EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                            [](const std::string &l) {
                              return l.rfind("ok: ", 0) == 0 || l.rfind("not ok: ", 0) == 0;
                            }),
              2)
        << "every name gets one line";
    EXPECT_EQ(messages.kinds, std::vector<MessageKind>{c.allWell ? MessageKind::Information
                                                                 : MessageKind::Warning});
    EXPECT_EQ(registry.keys, keys) << "the check changes nothing";
    EXPECT_EQ(registry.records, records);
    EXPECT_EQ(files.files, bytes);
  }
}

} // namespace
} // namespace vantrel
