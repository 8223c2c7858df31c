#pragma once
// Copying whole files.

#include <string>

namespace vantrel {

enum class CopyOutcome { Copied, SourceMissing };

class FileCopier {
public:
  virtual ~FileCopier() = default;
  // Copies source over destination, replacing a file already there (also a
  // read-only one); the copy is never left read-only. A source
  // that does not exist is reported as SourceMissing; any other failure
  // raises vantrel::Error naming both paths and the system's reason.
  virtual CopyOutcome CopyReplacing(const std::string &source, const std::string &destination) = 0;
};

FileCopier &SystemFileCopier();

} // namespace vantrel
