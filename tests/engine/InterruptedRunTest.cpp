// Runs killed at every change they make, on the stand-ins: the next run of
// the same action from the same folder ends where one uninterrupted run ends,
// and the removals after it bring the machine back to where it began. The
// same for a power cut at every change: what was not yet on the disk is lost.
#include "engine/RunAction.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StandInCharacterSet.h"

#include <gtest/gtest.h>

#include <set>

namespace vantrel {
namespace {

// What differs between two states, a line each.
std::string Differences(const std::set<std::string> &actual, const std::set<std::string> &expected) {
  std::string differences;
  for (const std::string &line : actual)
    if (expected.count(line) == 0)
      differences += "\n  not expected: " + line;
  for (const std::string &line : expected)
    if (actual.count(line) == 0)
      differences += "\n  missing: " + line;
  return differences;
}

const std::string HelpKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help";

struct Step {
  int version;
  const char *folder;
  Action action;
  HelpFileList list;
};

// Two folders, both IDE versions, a name in two cases, a Delphi 4 contents
// file without a final line end (or closed by `d4End`) and a location that
// named another folder.
struct World {
  test::MemoryRegistry registry;
  test::MemoryFileSystem files;
  test::WriteGate gate;
  test::StandInCharacterSet characters;
  test::StandInLock lock;
  test::CountingClock clock;
  test::RecordingMessages messages;
  test::RecordingDialog dialog;

  World(bool replaceInTwoSteps, const char *d4End) {
    registry.keys["HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\3.0"]["RootDir"] = "C:\\D3";
    registry.keys["HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\4.0"]["RootDir"] = "C:\\IDE";
    registry.keys[HelpKey]["Grid.hlp"] = "C:\\Old\\";
    files.files["C:\\D3\\Help\\Delphi3.cnt"] = ":Base Delphi3.hlp\r\n";
    files.files["C:\\IDE\\Help\\Delphi4.cnt"] = std::string(":Base Delphi4.hlp\r\n:Link Old.hlp") + d4End;
    files.files["C:\\IDE\\Help\\Delphi4.GID"] = "compiled";
    for (const char *file : {"C:\\Old\\Grid.hlp", "C:\\X\\Grid.hlp", "C:\\X\\Grid.cnt",
                             "C:\\X\\New.hlp", "C:\\Y\\GRID.HLP", "C:\\Y\\Grid.cnt"})
      files.files[file] = "help";
    files.folders = {{"C:\\OLD", 1}, {"C:\\X", 2}, {"C:\\Y", 3}};
    files.replaceInTwoSteps = replaceInTwoSteps;
    registry.gate = files.gate = &gate;
    registry.MakeDurable();
    files.MakeDurable();
  }

  // Runs the step to its end, or until the gate kills it.
  void Run(const Step &step) {
    const std::string program = std::string(step.folder) + "Vantrel.exe";
    try {
      RunAction(step.action, ProfileForVersion(step.version), step.list, dialog,
                {registry, registry, files, files, files, files, files, files, files, lock, clock,
                 characters, messages, [program] { return program; }});
    } catch (const test::Killed &) {
    }
  }
  // The machine, a line per value and file; without the backups and the
  // viewer's compiled copies when asked (a run that changed nothing keeps
  // the copies of the file as it was).
  std::set<std::string> State(bool withCopies = true) const {
    std::set<std::string> state;
    for (const auto &[key, values] : registry.keys)
      for (const auto &[name, data] : values)
        state.insert(key + "\\" + name + " = " + data);
    for (const auto &[key, values] : registry.records)
      for (const auto &[name, text] : values)
        state.insert("record " + key + "\\" + ::testing::PrintToString(name) + " = " +
                     ::testing::PrintToString(text));
    for (const auto &[path, bytes] : files.files)
      if (withCopies || (path.find(".~cn") == std::string::npos &&
                         path.find(".GID") == std::string::npos))
        state.insert(path + ": " + ::testing::PrintToString(bytes));
    return state;
  }
};

const Step Y3{3, "C:\\Y\\", Action::Register, {"GRID.HLP", "Grid.cnt"}};
const Step Y4{4, "C:\\Y\\", Action::Register, {"GRID.HLP", "Grid.cnt"}};
const Step X4{4, "C:\\X\\", Action::Register, {"Grid.hlp", "Grid.cnt", "New.hlp", "grid.HLP"}};
const Step RemoveX4{4, "C:\\X\\", Action::Remove, X4.list};
const Step RemoveY4{4, "C:\\Y\\", Action::Remove, Y4.list};
const Step RemoveY3{3, "C:\\Y\\", Action::Remove, Y3.list};

// For every change N of the step: kill it after its N-th change (or cut the
// power there), then run `rerun` (the same step, or another) and each of
// `after`, comparing the machine after each with where the uninterrupted step
// leads.
void KillAtEveryChange(const std::vector<Step> &before, const Step &step, const Step &rerun,
                       const std::vector<Step> &after, bool withCopies, bool replaceInTwoSteps,
                       const char *d4End = "") {
  World reference(replaceInTwoSteps, d4End);
  reference.files.files.erase("C:\\IDE\\Help\\Delphi4.GID"); // runs delete it
  const std::set<std::string> start = reference.State(false);
  for (const Step &earlier : before)
    reference.Run(earlier);
  reference.gate.KillAfter(-1);
  reference.Run(step);
  const int changes = reference.gate.Changes();
  ASSERT_GT(changes, 5);
  std::vector<std::set<std::string>> expected;
  if (&rerun != &step)
    reference.Run(rerun);
  expected.push_back(reference.State(withCopies));
  for (const Step &later : after) {
    reference.Run(later);
    expected.push_back(reference.State(withCopies));
  }
  EXPECT_EQ(Differences(reference.State(false), start), "")
      << "the removals bring back the machine as it began";

  for (const bool powerCut : {false, true}) {
    for (int n = 1; n <= changes; ++n) {
      SCOPED_TRACE((powerCut ? "power cut after change " : "killed after change ") +
                   std::to_string(n) + " of " + std::to_string(changes));
      World world(replaceInTwoSteps, d4End);
      for (const Step &earlier : before)
        world.Run(earlier);
      world.gate.KillAfter(n);
      world.Run(step);
      ASSERT_TRUE(world.gate.WasKilled());
      world.gate.Revive();
      if (powerCut) {
        world.registry.PowerCut();
        world.files.PowerCut();
      }
      world.Run(rerun);
      EXPECT_EQ(Differences(world.State(withCopies), expected[0]), "");
      for (std::size_t i = 0; i < after.size(); ++i) {
        world.Run(after[i]);
        EXPECT_EQ(Differences(world.State(withCopies), expected[i + 1]), "")
            << "after step " << i + 1;
      }
    }
  }
}

TEST(InterruptedRun, EveryKillOfARegistrationIsCompletedByTheNextRun) {
  for (const char *d4End : {"", "\r\n\x1A"}) {
    SCOPED_TRACE(*d4End ? "the file closed by an end-of-file character" : "no final line end");
    KillAtEveryChange({Y3}, X4, X4, {RemoveX4, RemoveY3}, true, false, d4End);
  }
}

TEST(InterruptedRun, EveryKillOfARegistrationIsUndoneByTheRemoval) {
  KillAtEveryChange({Y3}, X4, RemoveX4, {RemoveY3}, false, false);
}

TEST(InterruptedRun, EveryKillOfARemovalIsCompletedByTheNextRun) {
  for (bool replaceInTwoSteps : {false, true}) {
    SCOPED_TRACE(replaceInTwoSteps ? "replaced as on Windows 98" : "replaced in one step");
    KillAtEveryChange({Y3, X4, Y4}, RemoveX4, RemoveX4, {RemoveY4, RemoveY3}, true,
                      replaceInTwoSteps, replaceInTwoSteps ? "\r\n\x1A" : "");
  }
}

} // namespace
} // namespace vantrel
