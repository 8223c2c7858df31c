#include "tests/support/FileSandbox.h"
#include "tests/support/MemoryFileSystem.h"

#include <stdexcept>

namespace vantrel::test {

namespace {

class MemoryFileSandbox : public FileSandbox {
public:
  std::string InstallRoot() override { return "C:\\IDE"; }
  std::string ComponentDir() override { return "C:\\Comp\\"; }
  void WriteBytes(const std::string &path, const std::string &bytes) override {
    fs_.files[path] = bytes;
  }
  std::string ReadBytes(const std::string &path) override { return fs_.files.at(path); }
  bool Exists(const std::string &path) override { return fs_.files.count(path) != 0; }
  void BlockPath(const std::string &path) override { fs_.unwritable.insert(path); }
  void MakeReadOnly(const std::string &path) override { fs_.unwritable.insert(path); }
  TextFiles &Files() override { return fs_; }
  FileCopier &Copier() override { return fs_; }
  FileReplacer &Replacer() override { return fs_; }
  FileExistence &Existence() override { return fs_; }
  FileDeleter &Deleter() override { return fs_; }

private:
  MemoryFileSystem fs_;
};

} // namespace

std::unique_ptr<FileSandbox> MakeFileSandbox() { return std::make_unique<MemoryFileSandbox>(); }

} // namespace vantrel::test
