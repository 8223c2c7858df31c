#include "engine/RetryingFiles.h"

#include "platform/Error.h"

namespace vantrel {

template <typename Operation> auto RetryingFiles::Retrying(Operation operation) {
  for (int tried = 1;; ++tried) {
    try {
      return operation();
    } catch (const FileInUseError &error) {
      if (tried == Tries)
        throw;
      if (tried == 1)
        log_.Write(std::string("in use by another program, tried again for 2 seconds: ") +
                   error.what());
    }
    clock_.Wait(PauseMs);
  }
}

std::unique_ptr<TextReader> RetryingFiles::OpenForReading(const std::string &path) {
  return Retrying([&] { return textFiles_.OpenForReading(path); });
}

std::unique_ptr<TextAppender> RetryingFiles::OpenForAppending(const std::string &path) {
  return Retrying([&] { return textFiles_.OpenForAppending(path); });
}

CopyOutcome RetryingFiles::CopyReplacing(const std::string &source,
                                         const std::string &destination) {
  return Retrying([&] { return fileCopier_.CopyReplacing(source, destination); });
}

void RetryingFiles::WriteEditedCopy(const std::string &editedCopy, const std::string &bytes) {
  Retrying([&] { fileReplacer_.WriteEditedCopy(editedCopy, bytes); });
}

void RetryingFiles::PutInPlace(const std::string &editedCopy, const std::string &path) {
  Retrying([&] { fileReplacer_.PutInPlace(editedCopy, path); });
}

} // namespace vantrel
