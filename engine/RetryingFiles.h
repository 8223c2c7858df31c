#pragma once
// The run's file services with one addition: a file that another program
// holds open for a moment (a virus scanner that checks the file just
// written, an editor) is tried again a few times, about 2 seconds in all,
// before its failure ends the run. Only opening, copying and replacing a file
// is tried again, and only for that reason; the log says so. A replace on
// Windows 98 and ME that deleted the file and then could not rename its
// edited copy renames only, when tried again (FileReplacer).

#include "platform/Clock.h"
#include "platform/FileCopy.h"
#include "platform/FileReplace.h"
#include "platform/RunLog.h"
#include "platform/TextFile.h"

namespace vantrel {

class RetryingFiles : public TextFiles, public FileCopier, public FileReplacer {
public:
  static constexpr int Tries = 9;
  static constexpr unsigned long PauseMs = 250;

  RetryingFiles(TextFiles &textFiles, FileCopier &fileCopier, FileReplacer &fileReplacer,
                Clock &clock, RunLog &log)
      : textFiles_(textFiles), fileCopier_(fileCopier), fileReplacer_(fileReplacer), clock_(clock),
        log_(log) {}

  std::unique_ptr<TextReader> OpenForReading(const std::string &path) override;
  std::unique_ptr<TextAppender> OpenForAppending(const std::string &path) override;
  CopyOutcome CopyReplacing(const std::string &source, const std::string &destination) override;
  void WriteEditedCopy(const std::string &editedCopy, const std::string &bytes) override;
  void PutInPlace(const std::string &editedCopy, const std::string &path) override;

private:
  template <typename Operation> auto Retrying(Operation operation);

  TextFiles &textFiles_;
  FileCopier &fileCopier_;
  FileReplacer &fileReplacer_;
  Clock &clock_;
  RunLog &log_;
};

} // namespace vantrel
