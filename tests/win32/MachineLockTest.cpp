// The machine-wide lock, real. A mutex belongs to a thread, so a thread of
// its own stands in for another process here.
#include "engine/RunAction.h"
#include "platform/Error.h"
#include "platform/win32/OptionalFunctions.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StandInCharacterSet.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace vantrel {
namespace {

// The lock's name: in the namespace of every session where there is one (2000 and later).
const char *LockName(bool global) {
  return global ? "Global\\Vantrel.HelpFileRegistration" : "Vantrel.HelpFileRegistration";
}

// Another "process": takes the lock at once and lets go ('t'), ends while
// holding it ('a'), or holds it until `release` is set ('h'); Run() returns
// once it has it, or could not take it.
struct Other {
  char how;
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  bool got = false;
  HANDLE Run() { return CreateThread(nullptr, 0, Body, this, 0, nullptr); }
  static DWORD WINAPI Body(void *self) {
    Other &other = *static_cast<Other *>(self);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, LockName(win32::Optional().globalNamespace));
    const DWORD waited = WaitForSingleObject(mutex, other.how == 't' ? 0 : 10000);
    other.got = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    SetEvent(other.taken);
    if (other.how == 'h')
      WaitForSingleObject(other.release, INFINITE);
    if (other.got && other.how != 'a')
      ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
  }
};

bool FreeForOthers() {
  Other other{'t'};
  WaitForSingleObject(other.Run(), INFINITE);
  return other.got;
}

// A log and a message box that look at the lock while the run is at them.
struct Watching : test::RecordingLog, test::RecordingMessages {
  std::string seen; // 'h' held, 'f' free; at a written value, then at the message
  void Write(const std::string &line) override {
    test::RecordingLog::Write(line);
    if (line.rfind("value written", 0) != 0)
      return;
    seen += FreeForOthers() ? 'f' : 'h';
    const bool global = win32::Optional().globalNamespace;
    HANDLE named = OpenMutexA(SYNCHRONIZE, FALSE, LockName(global));
    HANDLE otherName = OpenMutexA(SYNCHRONIZE, FALSE, LockName(!global));
    seen += named != nullptr && otherName == nullptr ? "" : "(named so nowhere else)";
    CloseHandle(named);
    CloseHandle(otherName);
  }
  void ShowMessage(const std::string &text, MessageKind kind) override {
    test::RecordingMessages::ShowMessage(text, kind);
    seen += FreeForOthers() ? 'f' : 'h';
  }
};

TEST(MachineLock, HeldWhileARunWorksFreeBeforeItsMessageTakenOverWhenAbandoned) {
  for (const bool abandoned : {false, true}) {
    SCOPED_TRACE(abandoned ? "abandoned" : "free");
    if (abandoned) {
      Other killed{'a'};
      WaitForSingleObject(killed.Run(), INFINITE);
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
    EXPECT_EQ(watching.seen, "hf") << "held while it works, free at its message";
    EXPECT_TRUE(FreeForOthers()) << "the run ended holding it";
    EXPECT_EQ(std::count_if(watching.lines.begin(), watching.lines.end(),
                            [](const std::string &l) {
                              return l.rfind("the run before this one ended without", 0) == 0;
                            }),
              abandoned ? 1 : 0);
  }
  // Held by another past the time: the run gives up and says why.
  Other holder{'h'};
  HANDLE thread = holder.Run();
  WaitForSingleObject(holder.taken, INFINITE);
  ASSERT_TRUE(holder.got) << "the lock is still held";
  try {
    SystemMachineLock().Take(50);
    ADD_FAILURE() << "took a lock another holds";
  } catch (const Error &error) {
    EXPECT_EQ(std::string(error.what()).rfind("Another registration or removal of help files has "
                                              "kept the others waiting for ",
                                              0),
              0u)
        << error.what();
  }
  SetEvent(holder.release);
  WaitForSingleObject(thread, INFINITE);
}

} // namespace
} // namespace vantrel
