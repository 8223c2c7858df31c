#pragma once
// Reading INI ("private profile") files.

#include <memory>
#include <string>
#include <vector>

namespace vantrel {

class ProfileReader {
public:
  virtual ~ProfileReader() = default;
  // The value of every key=value entry of the section, in the order in which
  // they stand in the file, also of a key that stands twice: without the
  // spaces around it, and without quotes that enclose it.
  virtual std::vector<std::string> ReadSectionValues(const std::string &section) = 0;
};

class ProfileFiles {
public:
  virtual ~ProfileFiles() = default;
  virtual std::unique_ptr<ProfileReader> OpenProfile(const std::string &path) = 0;
};

// The operating system's INI reader.
ProfileFiles &SystemProfileFiles();

} // namespace vantrel
