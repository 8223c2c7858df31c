#pragma once
// An in-memory stand-in for the text-file and file-copy services, for the
// native build and for failures that real files cannot be made to show
// (an operation that fails half-way through a run).

#include "platform/FileCopy.h"
#include "platform/FileDeletion.h"
#include "platform/FileExistence.h"
#include "platform/FileReplace.h"
#include "platform/FolderIdentity.h"
#include "platform/SystemFolders.h"
#include "platform/TextFile.h"
#include "tests/support/WriteGate.h"

#include <map>
#include <set>
#include <string>

namespace vantrel::test {

class MemoryFileSystem : public TextFiles,
                         public FileCopier,
                         public FileReplacer,
                         public FileExistence,
                         public FolderIdentity,
                         public FileDeleter,
                         public SystemFolders {
public:
  std::map<std::string, std::string> files;
  std::set<std::string> unwritable; // paths that copies and appends cannot write
  std::set<std::string> held;       // paths another program holds open: no delete
  std::map<std::string, int> inUse; // path -> how many opens from now find it in use
  // The same by operation: "read", "append", "copy", "write" (an edited copy), "replace".
  std::map<std::string, int> busyAt;
  // Folders that exist, upper-cased, without the trailing backslash -> which
  // folder on disk they are (two names of one folder share it). A folder
  // that holds a file exists too.
  std::map<std::string, int> folders;
  std::set<std::string> drives{"C:\\"}; // roots that are there, upper-cased
  // Paths under these (upper-cased) lie out of reach: whether a file is there cannot be told.
  std::set<std::string> unreachable;
  std::map<std::string, std::uint64_t> times; // when files were last written (else 0)
  std::string windowsFolder = "C:\\WINDOWS";
  std::optional<std::string> localAppData;
  // Replaces as Windows 98 and ME do: the file is deleted, then the edited
  // copy renamed to it (two changes).
  bool replaceInTwoSteps = false;
  // What is on the disk: each file as its last flush (or MakeDurable) left
  // it, as the Win32 services flush; a deletion is there at once (the file
  // system's journal). A power cut brings every file back to that.
  void MakeDurable() { durable_ = files; }
  void PowerCut() { files = durable_; }
  void Flush(const std::string &path) {
    const auto file = files.find(path);
    if (file == files.end())
      durable_.erase(path);
    else
      durable_[path] = file->second;
  }
  WriteGate *gate = nullptr;

  // Makes the n-th text-file operation from now (1 = the next) raise.
  void FailAtOperation(int n) { failAt_ = operations_ + n; }
  // Makes the n-th operation of one kind from now ("open", "read", "write",
  // "close", "replace") raise.
  void FailAtOperation(const std::string &kind, int n) {
    failKind_ = kind;
    failKindCountdown_ = n;
  }
  int Operations() const { return operations_; }

  std::unique_ptr<TextReader> OpenForReading(const std::string &path) override;
  std::unique_ptr<TextAppender> OpenForAppending(const std::string &path) override;
  CopyOutcome CopyReplacing(const std::string &source, const std::string &destination) override;
  void WriteEditedCopy(const std::string &editedCopy, const std::string &bytes) override;
  void PutInPlace(const std::string &editedCopy, const std::string &path) override;
  // Names match without regard to ASCII case, as on Windows.
  bool FileExists(const std::string &path) override;
  bool FolderExists(const std::string &path) override;
  std::optional<std::uint64_t> LastWritten(const std::string &path) override;
  std::optional<bool> SameFolderOnDisk(const std::string &a, const std::string &b) override;
  // Names match without regard to ASCII case, as on Windows.
  std::optional<std::string> DeleteFileNamed(const std::string &path) override;
  std::string WindowsFolder() override { return windowsFolder; }
  std::optional<std::string> LocalAppDataFolder() override { return localAppData; }

  // Raises FileInUseError while the path, or the operation, is still in use.
  void Open(const std::string &path, const char *kind);
  // Counts one text-file operation and raises if it is the one due to fail.
  void Operation(const char *what, const std::string &path);
  void BeforeChange() {
    if (gate != nullptr)
      gate->Before();
  }
  void AfterChange() {
    if (gate != nullptr)
      gate->After();
  }

private:
  std::map<std::string, std::string> durable_;
  int operations_ = 0;
  int failAt_ = -1;
  std::string failKind_;
  int failKindCountdown_ = 0;
};

} // namespace vantrel::test
