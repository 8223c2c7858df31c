#pragma once
// Splits a stream of 8-bit text into lines. The one place that knows the line
// ends: CR LF, a lone LF and a lone CR, in any mix, and an end-of-file
// character (26) that closes the text. Every byte is looked at a bounded
// number of times, so the cost is linear in the text's size whatever its line
// ends, also where a line end or a line straddles two reads.

#include <cstddef>
#include <memory>
#include <string_view>

namespace vantrel {

constexpr char EndOfFileChar = '\x1A';

// Where the bytes come from: a file, a string.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  // Reads up to `capacity` bytes into `into` and returns how many; 0 only at
  // the end. Raises vantrel::Error when reading fails.
  virtual std::size_t Read(char *into, std::size_t capacity) = 0;
};

struct TextLine {
  std::string_view text; // without its line end
  std::string_view end;  // "\r\n", "\n", "\r", or empty for a last line without one
};

class LineReader {
public:
  static constexpr std::size_t DefaultChunkSize = 32 * 1024;

  explicit LineReader(ByteSource &source, std::size_t chunkSize = DefaultChunkSize);

  // True when no line follows. A closing end-of-file character is no line.
  bool AtEnd();
  // The next line. The views stay valid until the next call.
  TextLine ReadLine();
  // The next whole lines at once, as they stand, line ends included (the last
  // line of the text may have none; a closing end-of-file character is left
  // out). At least one line; at most what one read brought, unless a single
  // line is longer. The view stays valid until the next call.
  std::string_view ReadLines();
  // Once AtEnd() is true: whether the text was closed by an end-of-file character.
  bool ClosedByEndOfFileChar();

private:
  bool Fill();
  std::size_t TextEnd() const;
  std::size_t FindLineEnd(std::size_t from) const;

  ByteSource &source_;
  std::size_t chunkSize_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t pos_ = 0;  // the next unread byte
  std::size_t size_ = 0; // bytes held
  bool atEndOfBytes_ = false;
};

// Bytes from a string that the caller keeps alive.
class StringByteSource : public ByteSource {
public:
  explicit StringByteSource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char *into, std::size_t capacity) override;

private:
  std::string_view bytes_;
};

} // namespace vantrel
