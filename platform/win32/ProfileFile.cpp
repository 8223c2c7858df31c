#include "platform/ProfileFile.h"

#include <windows.h>

namespace vantrel {

namespace {

// The section's "key=value" lines, NUL-separated, from GetPrivateProfileSectionA
// with ever larger buffers: a full buffer (size - 2) means the answer was cut.
std::string ReadSection(const std::string &section, const std::string &path) {
  std::string buffer(4096, '\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length =
        GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, path.c_str());
    if (length + 2 < size) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string Trimmed(std::string text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos)
    return "";
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front())
    text = text.substr(1, text.size() - 2);
  return text;
}

class Win32ProfileReader : public ProfileReader {
public:
  explicit Win32ProfileReader(std::string path) : path_(std::move(path)) {}

  std::vector<std::string> ReadSectionValues(const std::string &section) override {
    const std::string lines = ReadSection(section, path_);
    std::vector<std::string> values;
    for (std::size_t start = 0; start < lines.size();) {
      std::size_t end = lines.find('\0', start);
      if (end == std::string::npos)
        end = lines.size();
      const std::string line = lines.substr(start, end - start);
      start = end + 1;
      const std::size_t equals = line.find('=');
      if (equals != std::string::npos)
        values.push_back(Trimmed(line.substr(equals + 1)));
    }
    return values;
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
