#include "platform/LineReader.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

} // namespace

LineReader::LineReader(ByteSource &source, std::size_t chunkSize)
    : source_(source), chunkSize_(std::max<std::size_t>(chunkSize, 1)) {}

bool LineReader::AtEnd() {
  // A lone 26 left over is text only if more bytes follow it.
  while (!atEndOfBytes_ &&
         (pos_ == size_ || (size_ - pos_ == 1 && buffer_[pos_] == EndOfFileChar)))
    Fill();
  return pos_ >= TextEnd();
}

bool LineReader::ClosedByEndOfFileChar() {
  return AtEnd() && atEndOfBytes_ && size_ != 0 && buffer_[size_ - 1] == EndOfFileChar;
}

TextLine LineReader::ReadLine() {
  std::size_t searchFrom = pos_;
  for (;;) {
    const std::size_t end = FindLineEnd(searchFrom);
    if (end < size_) {
      std::size_t endLength = 1;
      if (buffer_[end] == '\r') {
        if (end + 1 == size_ && !atEndOfBytes_) {
          // Its LF may be in the next read.
          searchFrom = end - pos_;
          Fill();
          continue;
        }
        if (end + 1 < size_ && buffer_[end + 1] == '\n')
          endLength = 2;
      }
      const TextLine line{std::string_view(&buffer_[pos_], end - pos_),
                          std::string_view(&buffer_[end], endLength)};
      pos_ = end + endLength;
      return line;
    }
    if (atEndOfBytes_) {
      const std::size_t textEnd = std::max(TextEnd(), pos_);
      const TextLine line{std::string_view(buffer_.get() + pos_, textEnd - pos_), {}};
      pos_ = size_;
      return line;
    }
    searchFrom = size_ - pos_; // searched already; Fill moves pos_ to 0
    Fill();
  }
}

std::string_view LineReader::ReadLines() {
  std::size_t searchedUpTo = pos_; // [pos_, searchedUpTo) holds no usable line end
  for (;;) {
    if (atEndOfBytes_) {
      const std::size_t textEnd = std::max(TextEnd(), pos_);
      const std::string_view rest(buffer_.get() + pos_, textEnd - pos_);
      pos_ = size_;
      return rest;
    }
    // A CR as the last byte held stays back: its LF may be in the next read.
    std::size_t scanEnd = size_;
    if (scanEnd > searchedUpTo && buffer_[scanEnd - 1] == '\r')
      --scanEnd;
    for (std::size_t at = scanEnd; at > searchedUpTo; --at) {
      if (IsLineEnd(buffer_[at - 1])) {
        const std::string_view lines(&buffer_[pos_], at - pos_);
        pos_ = at;
        return lines;
      }
    }
    searchedUpTo = scanEnd - pos_; // Fill moves pos_ to 0
    Fill();
  }
}

// The first CR or LF at or after `from`, or size_.
std::size_t LineReader::FindLineEnd(std::size_t from) const {
  const char *at = buffer_.get() + from;
  const char *const end = buffer_.get() + size_;
  // CR and LF are both below 14: one compare rules out almost every byte.
  while (at != end && (static_cast<unsigned char>(*at) > '\r' || !IsLineEnd(*at)))
    ++at;
  return static_cast<std::size_t>(at - buffer_.get());
}

// Where the text ends: before an end-of-file character that closes the bytes.
std::size_t LineReader::TextEnd() const {
  if (atEndOfBytes_ && size_ > pos_ && buffer_[size_ - 1] == EndOfFileChar)
    return size_ - 1;
  return size_;
}

// Drops what was read, then adds the next read's bytes. False at the end.
bool LineReader::Fill() {
  if (atEndOfBytes_)
    return false;
  if (pos_ != 0) {
    std::memmove(buffer_.get(), buffer_.get() + pos_, size_ - pos_);
    size_ -= pos_;
    pos_ = 0;
  }
  if (capacity_ - size_ < chunkSize_) {
    // Grows only for a line longer than a chunk; doubling keeps that linear.
    const std::size_t capacity = std::max(2 * capacity_, size_ + chunkSize_);
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (size_ != 0)
      std::memcpy(grown.get(), buffer_.get(), size_);
    buffer_ = std::move(grown);
    capacity_ = capacity;
  }
  const std::size_t got = source_.Read(buffer_.get() + size_, capacity_ - size_);
  size_ += got;
  atEndOfBytes_ = got == 0;
  return got != 0;
}

std::size_t StringByteSource::Read(char *into, std::size_t capacity) {
  const std::size_t count = std::min(capacity, bytes_.size());
  if (count != 0)
    std::memcpy(into, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return count;
}

} // namespace vantrel
