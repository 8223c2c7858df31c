#include "platform/TextFile.h"

#include "platform/Error.h"
#include "platform/TextFormat.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

#include <algorithm>

namespace vantrel {

using win32::RaiseLastError;
using win32::UniqueHandle;

namespace {

HANDLE OpenExisting(const std::string &path, DWORD access) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

class Win32FileSource : public FileByteSource {
public:
  explicit Win32FileSource(const std::string &path)
      : path_(path), file_(OpenExisting(path, GENERIC_READ)) {
    if (!file_.Valid())
      RaiseLastError("Cannot open " + path_ + " for reading");
  }

  std::size_t Read(char *into, std::size_t capacity) override {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 30));
    if (!ReadFile(file_.Get(), into, wanted, &got, nullptr))
      RaiseLastError("Cannot read " + path_);
    return got;
  }

  void Close() override {
    if (!file_.Reset())
      RaiseLastError("Cannot close " + path_);
  }

private:
  std::string path_;
  UniqueHandle file_;
};

class Win32TextAppender : public TextAppender {
public:
  explicit Win32TextAppender(const std::string &path)
      : path_(path), file_(OpenExisting(path, GENERIC_READ | GENERIC_WRITE)) {
    // Windows refuses to write a read-only file with a bare "Access denied";
    // say what is in the way and what to do about it.
    const DWORD attributes = GetFileAttributesA(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
      throw Error("The help contents file " + path_ +
                  " is read-only, so no lines can be added to it. Clear its read-only "
                  "attribute (in the file's Properties) and try again.");
    if (!file_.Valid())
      RaiseLastError("Cannot open " + path_ + " for appending");
    // GetFileSize and SetFilePointer: every Windows has them.
    DWORD sizeHigh = 0;
    const DWORD sizeLow = GetFileSize(file_.Get(), &sizeHigh);
    if (sizeLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
      RaiseLastError("Cannot open " + path_ + " for appending");
    LARGE_INTEGER size{};
    size.LowPart = sizeLow;
    size.HighPart = static_cast<LONG>(sizeHigh);
    char tail[2] = {};
    const LONGLONG tailSize = size.QuadPart < 2 ? size.QuadPart : 2;
    Seek(size.QuadPart - tailSize);
    DWORD got = 0;
    if (!ReadFile(file_.Get(), tail, static_cast<DWORD>(tailSize), &got, nullptr) || got != tailSize)
      RaiseLastError("Cannot read " + path_);
    plan_ = PlanAppend(std::string_view(tail, got));
    end_ = size.QuadPart;
  }

  void WriteLine(const std::string &text) override {
    if (firstLine_ && plan_.dropEndOfFileChar)
      --end_; // the new lines go where the end-of-file character stood
    const std::string bytes = AppendedBytes(plan_, firstLine_, text);
    Seek(end_);
    DWORD written = 0;
    if (!WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) ||
        written != bytes.size())
      RaiseLastError("Cannot write to " + path_);
    if (firstLine_ && plan_.dropEndOfFileChar && !SetEndOfFile(file_.Get()))
      RaiseLastError("Cannot write to " + path_);
    end_ += written;
    firstLine_ = false;
  }

  // The lines are on the disk before the record says the run is done.
  void Close() override {
    if (!firstLine_ && !FlushFileBuffers(file_.Get()))
      RaiseLastError("Cannot write to " + path_);
    if (!file_.Reset())
      RaiseLastError("Cannot close " + path_);
  }

private:
  void Seek(LONGLONG offset) {
    LARGE_INTEGER to{};
    to.QuadPart = offset;
    SetLastError(NO_ERROR);
    if (SetFilePointer(file_.Get(), static_cast<LONG>(to.LowPart), &to.HighPart, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
      RaiseLastError("Cannot seek in " + path_);
  }

  std::string path_;
  UniqueHandle file_;
  AppendPlan plan_;
  LONGLONG end_ = 0;
  bool firstLine_ = true;
};

class Win32TextFiles : public TextFiles {
public:
  std::unique_ptr<TextReader> OpenForReading(const std::string &path) override {
    return std::make_unique<TextReader>(std::make_unique<Win32FileSource>(path));
  }
  std::unique_ptr<TextAppender> OpenForAppending(const std::string &path) override {
    return std::make_unique<Win32TextAppender>(path);
  }
};

} // namespace

TextFiles &SystemTextFiles() {
  static Win32TextFiles files;
  return files;
}

} // namespace vantrel
