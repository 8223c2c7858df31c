#include "tests/support/MemoryFileSystem.h"

#include "engine/Characters.h"
#include "platform/Error.h"
#include "platform/TextFormat.h"

#include <algorithm>

namespace vantrel::test {

namespace {

// Reads the file's text in place: nothing changes a file while it is open for reading.
class MemorySource : public FileByteSource {
public:
  MemorySource(MemoryFileSystem &fs, std::string path, const std::string &text)
      : fs_(fs), path_(std::move(path)), bytes_(text) {}
  std::size_t Read(char *into, std::size_t capacity) override {
    fs_.Operation("read", path_);
    return bytes_.Read(into, capacity);
  }
  void Close() override { fs_.Operation("close", path_); }

private:
  MemoryFileSystem &fs_;
  std::string path_;
  StringByteSource bytes_;
};

class MemoryAppender : public TextAppender {
public:
  MemoryAppender(MemoryFileSystem &fs, std::string path) : fs_(fs), path_(std::move(path)) {
    const std::string &text = fs_.files[path_];
    plan_ = PlanAppend(std::string_view(text).substr(text.size() < 2 ? 0 : text.size() - 2));
  }
  void WriteLine(const std::string &line) override {
    fs_.BeforeChange();
    fs_.Operation("write", path_);
    std::string &text = fs_.files[path_];
    if (firstLine_ && plan_.dropEndOfFileChar)
      text.pop_back();
    text += AppendedBytes(plan_, firstLine_, line);
    firstLine_ = false;
    fs_.AfterChange();
  }
  void Close() override { // the lines reach the disk: a change a power cut may follow
    fs_.Operation("close", path_);
    fs_.BeforeChange();
    fs_.Flush(path_);
    fs_.AfterChange();
  }

private:
  MemoryFileSystem &fs_;
  std::string path_;
  AppendPlan plan_;
  bool firstLine_ = true;
};

} // namespace

void MemoryFileSystem::Operation(const char *what, const std::string &path) {
  ++operations_;
  const bool failKind = failKind_ == what && --failKindCountdown_ == 0;
  if (operations_ == failAt_ || failKind)
    throw Error(std::string("Cannot ") + what + " " + path + ": simulated failure.");
}

std::unique_ptr<TextReader> MemoryFileSystem::OpenForReading(const std::string &path) {
  Open(path, "read");
  Operation("open", path);
  auto file = files.find(path);
  if (file == files.end())
    throw Error("Cannot open " + path + ": The system cannot find the file specified.");
  return std::make_unique<TextReader>(std::make_unique<MemorySource>(*this, path, file->second));
}

void MemoryFileSystem::Open(const std::string &path, const char *kind) {
  auto busy = inUse.find(path);
  auto busyKind = busyAt.find(kind);
  if ((busy != inUse.end() && busy->second > 0) || (busyKind != busyAt.end() && busyKind->second > 0)) {
    --(busy != inUse.end() && busy->second > 0 ? busy : busyKind)->second;
    throw FileInUseError("Cannot open " + path +
                         ": The process cannot access the file because "
                         "it is being used by another process.");
  }
}

std::unique_ptr<TextAppender> MemoryFileSystem::OpenForAppending(const std::string &path) {
  Open(path, "append");
  Operation("open", path);
  if (files.count(path) == 0)
    throw Error("Cannot open " + path + ": The system cannot find the file specified.");
  if (unwritable.count(path) != 0)
    throw Error("Cannot open " + path + ": Access denied.");
  return std::make_unique<MemoryAppender>(*this, path);
}

CopyOutcome MemoryFileSystem::CopyReplacing(const std::string &source,
                                            const std::string &destination) {
  Open(source, "copy");
  auto file = files.find(source);
  if (file == files.end())
    return CopyOutcome::SourceMissing;
  if (unwritable.count(destination) != 0)
    throw Error("Cannot copy " + source + " to " + destination + ": Access denied.");
  BeforeChange();
  files[destination] = file->second;
  Flush(destination);
  AfterChange();
  return CopyOutcome::Copied;
}

namespace {
std::string Upper(std::string text) {
  for (char &c : text)
    c = UpperAscii(c);
  return text;
}
} // namespace

std::optional<bool> MemoryFileSystem::SameFolderOnDisk(const std::string &a, const std::string &b) {
  const auto identity = [this](std::string folder) -> std::optional<int> {
    if (!folder.empty() && folder.back() == '\\')
      folder.pop_back();
    auto found = folders.find(Upper(folder));
    return found == folders.end() ? std::nullopt : std::optional<int>(found->second);
  };
  const std::optional<int> identityA = identity(a), identityB = identity(b);
  if (!identityA || !identityB)
    return std::nullopt;
  return *identityA == *identityB;
}

std::optional<std::string> MemoryFileSystem::DeleteFileNamed(const std::string &path) {
  const auto upper = Upper;
  for (auto file = files.begin(); file != files.end(); ++file) {
    if (upper(file->first) != upper(path))
      continue;
    const std::string actual = file->first;
    if (held.count(actual) != 0)
      throw Error("Cannot delete " + actual +
                  ": The process cannot access the file because it "
                  "is being used by another process.");
    BeforeChange();
    files.erase(file);
    Flush(actual); // the file system's journal holds a deletion at once
    AfterChange();
    return actual;
  }
  return std::nullopt;
}

void MemoryFileSystem::WriteEditedCopy(const std::string &editedCopy, const std::string &bytes) {
  Operation("replace", editedCopy);
  Open(editedCopy, "write");
  if (unwritable.count(editedCopy) != 0)
    throw Error("Cannot write the edited copy " + editedCopy + ": Access denied.");
  // In two changes, as a write that the system flushes in parts: a kill
  // between them leaves a torn copy.
  BeforeChange();
  files[editedCopy] = bytes.substr(0, bytes.size() / 2);
  AfterChange();
  BeforeChange();
  files[editedCopy] = bytes;
  Flush(editedCopy);
  AfterChange();
}

void MemoryFileSystem::PutInPlace(const std::string &editedCopy, const std::string &path) {
  Operation("replace", path);
  Open(path, "replace");
  if (unwritable.count(path) != 0)
    throw Error("Cannot replace " + path + ": Access denied.");
  BeforeChange();
  if (replaceInTwoSteps && files.erase(path) != 0) {
    Flush(path); // a deletion, as DeleteFileNamed's
    AfterChange();
    BeforeChange();
  }
  files[path] = files.at(editedCopy);
  files.erase(editedCopy);
  // Written through in one step, with the data as it was flushed; in two,
  // the file is flushed once renamed.
  const auto flushed = durable_.find(editedCopy);
  if (replaceInTwoSteps)
    durable_[path] = files[path];
  else if (flushed != durable_.end())
    durable_[path] = flushed->second;
  durable_.erase(editedCopy);
  AfterChange();
}

bool MemoryFileSystem::FileExists(const std::string &path) {
  for (const std::string &share : unreachable)
    if (Upper(path).rfind(share, 0) == 0)
      throw Error("Cannot tell whether " + path + " exists: The network path was not found.");
  if (files.count(path) != 0)
    return true;
  for (const auto &file : files)
    if (Upper(file.first) == Upper(path))
      return true;
  return false;
}

std::optional<std::uint64_t> MemoryFileSystem::LastWritten(const std::string &path) {
  if (!FileExists(path))
    return std::nullopt;
  const auto time = times.find(path);
  return time == times.end() ? 0 : time->second;
}

bool MemoryFileSystem::FolderExists(const std::string &path) {
  std::string folder = Upper(path);
  if (drives.count(folder) != 0)
    return true;
  if (!folder.empty() && folder.back() == '\\')
    folder.pop_back();
  for (const std::string &share : unreachable)
    if ((folder + '\\').rfind(share, 0) == 0)
      throw Error("Cannot tell whether " + path + " exists: The network path was not found.");
  // Named in `folders`, or holding a file.
  return folders.count(folder) != 0 ||
         std::any_of(files.begin(), files.end(), [&](const auto &file) {
           return Upper(file.first).rfind(folder + '\\', 0) == 0;
         });
}

} // namespace vantrel::test
