#pragma once
// Reading INI ("private profile") files.

#include <memory>
#include <string>
#include <vector>

namespace vantrel {

class ProfileReader {
public:
  virtual ~ProfileReader() = default;
  // All key names of the section, in the order in which they stand in the file.
  virtual std::vector<std::string> ReadSectionKeys(const std::string &section) = 0;
  // The key's value, or defaultValue when the key is not there.
  virtual std::string ReadValue(const std::string &section, const std::string &key,
                                const std::string &defaultValue) = 0;
};

class ProfileFiles {
public:
  virtual ~ProfileFiles() = default;
  virtual std::unique_ptr<ProfileReader> OpenProfile(const std::string &path) = 0;
};

// The operating system's INI reader.
ProfileFiles &SystemProfileFiles();

} // namespace vantrel
