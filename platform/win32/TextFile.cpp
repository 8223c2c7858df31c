#include "platform/TextFile.h"

#include "platform/Error.h"
#include "platform/TextFormat.h"
#include "platform/win32/SystemMessage.h"

#include <windows.h>

namespace vantrel {

using win32::RaiseLastError;
using win32::UniqueHandle;

namespace {

constexpr DWORD ChunkSize = 64 * 1024;

HANDLE OpenExisting(const std::string &path, DWORD access) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

class Win32TextReader : public TextReader {
public:
  explicit Win32TextReader(const std::string &path)
      : path_(path), file_(OpenExisting(path, GENERIC_READ)) {
    if (!file_.Valid())
      RaiseLastError("Cannot open " + path_ + " for reading");
  }

  bool AtEnd() override {
    if (pos_ == buffer_.size())
      Fill();
    // An end-of-file character that closes the file is not text.
    const std::size_t left = buffer_.size() - pos_;
    return left == 0 || (left == 1 && endOfFile_ && buffer_[pos_] == EndOfFileChar);
  }

  void ReadLine(std::string &line) override {
    // Make sure the buffer holds a whole line, or the rest of the file; a CR
    // at the buffer's end may still be followed by LF. Bytes already searched
    // are not searched again after a refill, so long lines cost linear time.
    for (std::size_t searched = 0;;) {
      const std::size_t end = FindLineEnd(buffer_, pos_ + searched);
      const bool lineEndKnown =
          end != std::string::npos && !(buffer_[end] == '\r' && end + 1 == buffer_.size());
      if (lineEndKnown || endOfFile_)
        break;
      searched = (end != std::string::npos ? end : buffer_.size()) - pos_;
      Fill(); // moves the unread bytes to the front: pos_ becomes 0
    }
    std::size_t next = pos_;
    std::string_view text(buffer_);
    if (endOfFile_ && !text.empty() && text.back() == EndOfFileChar)
      text.remove_suffix(1);
    line.assign(LineAt(text, pos_, next));
    pos_ = next == text.size() ? buffer_.size() : next;
  }

  void Close() override {
    if (!file_.Reset())
      RaiseLastError("Cannot close " + path_);
  }

private:
  // Appends the next chunk of the file to the buffer, dropping what was read.
  void Fill() {
    if (endOfFile_)
      return;
    buffer_.erase(0, pos_);
    pos_ = 0;
    const std::size_t old = buffer_.size();
    buffer_.resize(old + ChunkSize);
    DWORD got = 0;
    if (!ReadFile(file_.Get(), buffer_.data() + old, ChunkSize, &got, nullptr)) {
      buffer_.resize(old);
      RaiseLastError("Cannot read " + path_);
    }
    buffer_.resize(old + got);
    endOfFile_ = got == 0;
  }

  std::string path_;
  UniqueHandle file_;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool endOfFile_ = false;
};

class Win32TextAppender : public TextAppender {
public:
  explicit Win32TextAppender(const std::string &path)
      : path_(path), file_(OpenExisting(path, GENERIC_READ | GENERIC_WRITE)) {
    if (!file_.Valid())
      RaiseLastError("Cannot open " + path_ + " for appending");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.Get(), &size))
      RaiseLastError("Cannot open " + path_ + " for appending");
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

  void Close() override {
    if (!file_.Reset())
      RaiseLastError("Cannot close " + path_);
  }

private:
  void Seek(LONGLONG offset) {
    LARGE_INTEGER to{};
    to.QuadPart = offset;
    if (!SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN))
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
    return std::make_unique<Win32TextReader>(path);
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
