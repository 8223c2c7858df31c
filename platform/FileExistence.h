#pragma once
// Whether a file or a folder is there.

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

class FileExistence {
public:
  virtual ~FileExistence() = default;
  // True when `path` names an existing file, false when there is no such
  // file (or a folder stands there). When the system cannot tell (access
  // denied, an unreachable share), raises vantrel::Error naming the path.
  virtual bool FileExists(const std::string &path) = 0;
  // The same for a folder (a drive's root, "C:\\", among them).
  virtual bool FolderExists(const std::string &path) = 0;
  // When the file was last written, in 100-nanosecond ticks (as Windows
  // counts file times); nothing when there is no such file.
  virtual std::optional<std::uint64_t> LastWritten(const std::string &path) = 0;
};

FileExistence &SystemFileExistence();

} // namespace vantrel
