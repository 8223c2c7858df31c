#pragma once
// A fresh folder under the Windows temporary folder, removed with all it holds
// when the object goes. Windows-only test helper.

#include <string>

namespace vantrel::test {

class TempFolder {
public:
  TempFolder();
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;
  ~TempFolder();
  // The folder's path, without a trailing backslash.
  const std::string &Path() const { return path_; }
  // Path() + "\" + name.
  std::string operator/(const std::string &name) const { return path_ + "\\" + name; }

private:
  std::string path_;
};

void CreateFolder(const std::string &path);
void WriteFileBytes(const std::string &path, const std::string &bytes);
std::string ReadFileBytes(const std::string &path);
bool PathExists(const std::string &path);
void RemoveTree(const std::string &path);

} // namespace vantrel::test
