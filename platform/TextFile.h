#pragma once
// Line-oriented access to 8-bit text files. Bytes pass through unchanged.
// Every operation raises vantrel::Error, naming the path, the moment it fails.

#include <memory>
#include <string>

namespace vantrel {

class TextReader {
public:
  virtual ~TextReader() = default;
  virtual bool AtEnd() = 0;
  // Replaces `line` with the next line, without its line end (CR LF, LF or CR).
  virtual void ReadLine(std::string &line) = 0;
  virtual void Close() = 0;
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
  // The file must exist. Lines go after its last line: a last line without a
  // line end gets one first, and an end-of-file character (26) closing the
  // file is replaced, so that nothing is glued to or hidden behind old text.
  virtual std::unique_ptr<TextAppender> OpenForAppending(const std::string &path) = 0;
};

TextFiles &SystemTextFiles();

} // namespace vantrel
