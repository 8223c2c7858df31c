#pragma once
// Rewriting a whole file so that it is either all old or all new, in two
// steps that the caller can record between: the edited copy is written
// beside the file, then put in its place.

#include <string>

namespace vantrel {

class FileReplacer {
public:
  virtual ~FileReplacer() = default;
  // Writes `bytes` to `editedCopy` (replacing a file there) and flushes it to
  // the disk. On failure no edited copy is left, and vantrel::Error names it
  // and the system's reason.
  virtual void WriteEditedCopy(const std::string &editedCopy, const std::string &bytes) = 0;
  // Puts the edited copy in the place of `path`. Where the system can (NT),
  // in one step: on failure `path` is unchanged. Windows 98 and ME replace no
  // file in one step: `path` is deleted, then the edited copy renamed to it;
  // a `path` that is gone already is not deleted again, so that trying again
  // after a failed rename only renames. Raises vantrel::Error naming both files
  // and the system's reason (FileInUseError where another program holds one);
  // the edited copy stays, for another try.
  virtual void PutInPlace(const std::string &editedCopy, const std::string &path) = 0;
};

FileReplacer &SystemFileReplacer();

} // namespace vantrel
