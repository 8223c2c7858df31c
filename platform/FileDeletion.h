#pragma once
// Deleting files that another program made and will make again (the help
// viewer's compiled contents).

#include <optional>
#include <string>

namespace vantrel {

class FileDeleter {
public:
  virtual ~FileDeleter() = default;
  // Deletes the file that `path` names, matched without regard to case as
  // the file system matches names, after clearing a read-only attribute (the
  // one attribute that stops a delete; hidden and system stay as they are).
  // Returns the path with the name as it stood in its folder, or nothing when
  // there is no such file. Raises vantrel::Error naming the file and the
  // system's reason for any other failure (another program holds it open).
  virtual std::optional<std::string> DeleteFileNamed(const std::string &path) = 0;
};

FileDeleter &SystemFileDeleter();

} // namespace vantrel
