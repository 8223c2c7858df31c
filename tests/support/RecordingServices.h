#pragma once
// Stand-ins for the message box and the dialog that record what the run asked of them.

#include "engine/RunRegistration.h"
#include "platform/Error.h"

#include <string>
#include <vector>

namespace vantrel::test {

struct RecordingMessages : MessageBoxes {
  std::vector<std::string> shown;
  std::vector<MessageKind> kinds;
  void ShowMessage(const std::string &text, MessageKind kind) override {
    shown.push_back(text);
    kinds.push_back(kind);
  }
};

struct RecordingLog : RunLog {
  std::vector<std::string> lines;
  bool broken = false; // every write fails
  void Write(const std::string &line) override {
    if (broken)
      throw Error("Cannot write to the log file: simulated failure.");
    lines.push_back(line);
  }
};

struct RecordingDialog : ClosableDialog {
  int closed = 0;
  void Close() override { ++closed; }
};

// The machine-wide lock as the test sets it: how the next run finds it, or
// held by another run past the time.
struct StandInLock : MachineLock {
  LockTaken next;
  bool timesOut = false;
  int held = 0; // taken and not yet released
  LockTaken Take(unsigned long) override {
    if (timesOut)
      throw Error("Another registration or removal of help files has kept the others waiting.");
    ++held;
    return next;
  }
  void Release() override { --held; }
};

// Time that passes at once, and is added up.
struct CountingClock : Clock {
  unsigned long waitedMs = 0;
  void Wait(unsigned long ms) override { waitedMs += ms; }
};

} // namespace vantrel::test
