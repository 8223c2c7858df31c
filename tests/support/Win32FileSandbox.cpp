#include "tests/support/FileSandbox.h"
#include "tests/support/TempFolder.h"

namespace vantrel::test {

namespace {

class Win32FileSandbox : public FileSandbox {
public:
  Win32FileSandbox() {
    CreateFolder(folder_ / "IDE");
    CreateFolder(folder_ / "IDE\\Help");
  }
  std::string InstallRoot() override { return folder_ / "IDE"; }
  void WriteBytes(const std::string &path, const std::string &bytes) override {
    WriteFileBytes(path, bytes);
  }
  std::string ReadBytes(const std::string &path) override { return ReadFileBytes(path); }
  bool Exists(const std::string &path) override { return PathExists(path); }
  // A folder where the copy wants to put a file cannot be replaced by it.
  void BlockPath(const std::string &path) override { CreateFolder(path); }
  TextFiles &Files() override { return SystemTextFiles(); }
  FileCopier &Copier() override { return SystemFileCopier(); }

private:
  TempFolder folder_;
};

} // namespace

std::unique_ptr<FileSandbox> MakeFileSandbox() { return std::make_unique<Win32FileSandbox>(); }

} // namespace vantrel::test
