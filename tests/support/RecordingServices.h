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

} // namespace vantrel::test
