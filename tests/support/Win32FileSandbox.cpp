#include "tests/support/FileSandbox.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

namespace vantrel::test {

namespace {

class Win32FileSandbox : public FileSandbox {
public:
  Win32FileSandbox() {
    CreateFolder(folder_ / "IDE");
    CreateFolder(folder_ / "IDE\\Help");
    CreateFolder(folder_ / "Comp");
  }
  std::string InstallRoot() override { return folder_ / "IDE"; }
  std::string ComponentDir() override { return folder_ / "Comp\\"; }
  void WriteBytes(const std::string &path, const std::string &bytes) override {
    WriteFileBytes(path, bytes);
  }
  std::string ReadBytes(const std::string &path) override { return ReadFileBytes(path); }
  bool Exists(const std::string &path) override { return PathExists(path); }
  // A folder where the copy wants to put a file cannot be replaced by it.
  void BlockPath(const std::string &path) override { CreateFolder(path); }
  void MakeReadOnly(const std::string &path) override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  TextFiles &Files() override { return SystemTextFiles(); }
  FileCopier &Copier() override { return SystemFileCopier(); }
  FileReplacer &Replacer() override { return SystemFileReplacer(); }
  FileExistence &Existence() override { return SystemFileExistence(); }
  FileDeleter &Deleter() override { return SystemFileDeleter(); }

private:
  TempFolder folder_;
};

} // namespace

std::unique_ptr<FileSandbox> MakeFileSandbox() { return std::make_unique<Win32FileSandbox>(); }

} // namespace vantrel::test
