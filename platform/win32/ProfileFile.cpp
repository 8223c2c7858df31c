#include "platform/ProfileFile.h"

#include <windows.h>

namespace vantrel {

namespace {

// Calls GetPrivateProfileStringA with ever larger buffers until the answer
// fits. The call returns size - 1 for a truncated value and size - 2 for a
// truncated list of names, so either means "try again, larger".
std::string ReadProfileString(const char *section, const char *key, const char *defaultValue,
                              const std::string &path) {
  std::string buffer(1024, '\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size,
                                                  path.c_str());
    if (length + 2 < size) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

class Win32ProfileReader : public ProfileReader {
public:
  explicit Win32ProfileReader(std::string path) : path_(std::move(path)) {}

  std::vector<std::string> ReadSectionKeys(const std::string &section) override {
    // Names come back NUL-separated, in file order.
    const std::string names = ReadProfileString(section.c_str(), nullptr, "", path_);
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start < names.size()) {
      std::size_t end = names.find('\0', start);
      if (end == std::string::npos)
        end = names.size();
      keys.emplace_back(names, start, end - start);
      start = end + 1;
    }
    return keys;
  }

  std::string ReadValue(const std::string &section, const std::string &key,
                        const std::string &defaultValue) override {
    return ReadProfileString(section.c_str(), key.c_str(), defaultValue.c_str(), path_);
  }

private:
  std::string path_;
};

class Win32ProfileFiles : public ProfileFiles {
public:
  std::unique_ptr<ProfileReader> OpenProfile(const std::string &path) override {
    return std::make_unique<Win32ProfileReader>(path);
  }
};

} // namespace

ProfileFiles &SystemProfileFiles() {
  static Win32ProfileFiles files;
  return files;
}

} // namespace vantrel
