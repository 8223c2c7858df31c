// The machine-wide lock, real. A mutex belongs to a thread, so a thread of
// its own stands in for another process here: one that waits, one that holds
// the lock, one that is killed while it holds it.
#include "engine/RunAction.h"
#include "platform/Error.h"
#include "platform/MachineLock.h"
#include "platform/win32/OptionalFunctions.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StandInCharacterSet.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantrel {
namespace {

const char *const GlobalName = "Global\\Vantrel.HelpFileRegistration";
const char *const PlainName = "Vantrel.HelpFileRegistration";

// The name the lock must have on this system: in the namespace of every
// session where there is one (2000 and later).
const char *LockName() { return win32::Optional().globalNamespace ? GlobalName : PlainName; }

// Another thread takes the lock: at once and lets go again ("try"), or holds
// it until `release` is set ("hold"), or ends while it holds it ("abandon").
struct Other {
  const char *how;
  HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  bool got = false;

  static DWORD WINAPI Body(void *self) {
    Other &other = *static_cast<Other *>(self);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, LockName());
    const DWORD waited = WaitForSingleObject(mutex, std::string(other.how) == "try" ? 0 : INFINITE);
    other.got = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    SetEvent(other.taken);
    if (std::string(other.how) == "hold")
      WaitForSingleObject(other.release, INFINITE);
    if (other.got && std::string(other.how) != "abandon")
      ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
  }
  // Starts the thread; returns once it has taken the lock (or could not).
  HANDLE Start() {
    HANDLE thread = CreateThread(nullptr, 0, Body, this, 0, nullptr);
    WaitForSingleObject(taken, INFINITE);
    return thread;
  }
};

bool FreeForOthers() {
  Other other{"try"};
  WaitForSingleObject(other.Start(), INFINITE);
  return other.got;
}

// A log and a message box that look at the lock while the run is at them.
struct Watching : test::RecordingLog, test::RecordingMessages {
  std::vector<bool> freeWhileLogging, freeAtTheMessage;
  std::vector<bool> namedAsTheSystemHasIt;
  void Write(const std::string &line) override {
    test::RecordingLog::Write(line);
    if (line.rfind("value written", 0) == 0) {
      freeWhileLogging.push_back(FreeForOthers());
      HANDLE named = OpenMutexA(SYNCHRONIZE, FALSE, LockName());
      HANDLE other =
          OpenMutexA(SYNCHRONIZE, FALSE, LockName() == GlobalName ? PlainName : GlobalName);
      namedAsTheSystemHasIt.push_back(named != nullptr && other == nullptr);
      CloseHandle(named);
      CloseHandle(other);
    }
  }
  void ShowMessage(const std::string &text, MessageKind kind) override {
    test::RecordingMessages::ShowMessage(text, kind);
    freeAtTheMessage.push_back(FreeForOthers());
  }
};

TEST(MachineLock, HeldWhileARunWorksFreeBeforeItsMessageTakenOverWhenAbandoned) {
  for (const char *before : {"nothing", "abandon"}) {
    SCOPED_TRACE(before);
    if (std::string(before) == "abandon") {
      Other killed{"abandon"};
      WaitForSingleObject(killed.Start(), INFINITE);
      ASSERT_TRUE(killed.got);
    }
    test::MemoryRegistry registry;
    test::MemoryFileSystem files;
    test::StandInCharacterSet characters;
    test::CountingClock clock;
    test::RecordingDialog dialog;
    Watching watching;
    registry.keys["HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Delphi\\4.0"]["RootDir"] = "C:\\IDE";
    files.files["C:\\IDE\\Help\\Delphi4.cnt"] = ":Base Delphi4.hlp\r\n";
    RunAction(Action::Register, ProfileForVersion(4), {"A.HLP"}, dialog,
              {registry, registry, files, files, files, files, files, files, files,
               SystemMachineLock(), clock, characters, watching,
               [] { return std::string("C:\\Tools\\Vantrel4.exe"); }, watching});
    EXPECT_EQ(watching.freeWhileLogging, std::vector<bool>{false});
    EXPECT_EQ(watching.namedAsTheSystemHasIt, std::vector<bool>{true});
    EXPECT_EQ(watching.freeAtTheMessage, std::vector<bool>{true}) << "the message holds it";
    EXPECT_TRUE(FreeForOthers()) << "the run ended holding it";
    EXPECT_EQ(std::count_if(watching.lines.begin(), watching.lines.end(),
                            [](const std::string &l) {
                              return l.rfind("the run before this one ended without finishing", 0) == 0;
                            }),
              std::string(before) == "abandon" ? 1 : 0);
  }

  // Held by another past the time: the run gives up and says why.
  Other holder{"hold"};
  HANDLE thread = holder.Start();
  try {
    SystemMachineLock().Take(50);
    ADD_FAILURE() << "took a lock another holds";
  } catch (const Error &error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("Another registration or removal of help files has kept the others "
                            "waiting for ",
                            0),
              0u)
        << message;
    EXPECT_NE(message.find("so this one did not start. Nothing has been changed."),
              std::string::npos)
        << message;
  }
  SetEvent(holder.release);
  WaitForSingleObject(thread, INFINITE);
}

} // namespace
} // namespace vantrel
