#pragma once
// Line-oriented access to 8-bit text files. Bytes pass through unchanged.
// Every operation raises vantrel::Error, naming the path, the moment it fails.

#include "platform/LineReader.h"

#include <memory>
#include <string>
#include <string_view>

namespace vantrel {

// A file's bytes, for the line reader.
class FileByteSource : public ByteSource {
public:
  // Releases the file; raises if the system reports a failure.
  virtual void Close() = 0;
};

// Reads a text file line by line (see LineReader for the line ends).
class TextReader {
public:
  explicit TextReader(std::unique_ptr<FileByteSource> source)
      : source_(std::move(source)), lines_(*source_) {}

  bool AtEnd() { return lines_.AtEnd(); }
  TextLine ReadLine() { return lines_.ReadLine(); }
  std::string_view ReadLines() { return lines_.ReadLines(); }
  bool ClosedByEndOfFileChar() { return lines_.ClosedByEndOfFileChar(); }
  void Close() { source_->Close(); }

private:
  std::unique_ptr<FileByteSource> source_;
  LineReader lines_;
};

class TextAppender {
public:
  virtual ~TextAppender() = default;
  // Writes the text and CR LF at the end of the file.
  virtual void WriteLine(const std::string &text) = 0;
  virtual void Close() = 0;
};

class TextFiles {
public:
  virtual ~TextFiles() = default;
  virtual std::unique_ptr<TextReader> OpenForReading(const std::string &path) = 0;
  // The file must exist and must not be read-only. Lines go after its last
  // line: a last line without a line end gets one first, and an end-of-file
  // character (26) closing the file is replaced, so that nothing is glued to
  // or hidden behind old text.
  virtual std::unique_ptr<TextAppender> OpenForAppending(const std::string &path) = 0;
};

TextFiles &SystemTextFiles();

} // namespace vantrel
