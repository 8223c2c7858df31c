#pragma once
// Rewriting a whole file so that it is either all old or all new.

#include <string>

namespace vantrel {

class FileReplacer {
public:
  virtual ~FileReplacer() = default;
  // Writes `bytes` to a temporary file in the same folder, flushes it to the
  // disk and puts it in the place of `path` in one step. On any failure the
  // file at `path` is unchanged, no temporary file is left, and
  // vantrel::Error names the file and the system's reason.
  virtual void Replace(const std::string &path, const std::string &bytes) = 0;
};

FileReplacer &SystemFileReplacer();

} // namespace vantrel
