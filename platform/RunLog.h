#pragma once
// The report of one unattended run, for installers: a line per thing done or
// deliberately left alone.

#include <memory>
#include <string>

namespace vantrel {

class RunLog {
public:
  virtual ~RunLog() = default;
  // Adds one line. Raises vantrel::Error, naming the log file, when it fails.
  virtual void Write(const std::string &line) = 0;
};

// A log that keeps nothing: the program started without a log file.
inline RunLog &NoRunLog() {
  struct Discarding : RunLog {
    void Write(const std::string &) override {}
  };
  static Discarding log;
  return log;
}

// Appends to the file at `path` (created if missing), a line at a time with
// CR LF, so that what was written survives a crash. Raises vantrel::Error
// naming the file when it cannot be opened.
std::unique_ptr<RunLog> OpenRunLog(const std::string &path);

} // namespace vantrel
