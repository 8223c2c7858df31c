#pragma once
// Whether a file is there.

#include <string>

namespace vantrel {

class FileExistence {
public:
  virtual ~FileExistence() = default;
  // True when `path` names an existing file (not a folder).
  virtual bool FileExists(const std::string &path) = 0;
};

FileExistence &SystemFileExistence();

} // namespace vantrel
