// The line reader over every line-end shape, at every read boundary: in
// memory with reads of a few bytes, and through the text-file service (real
// files under Windows, the in-memory stand-in natively).
#include "platform/LineReader.h"
#include "tests/support/FileSandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace vantrel {
namespace {

// Hands out at most `step` bytes per read, to put read boundaries everywhere.
class TrickleSource : public ByteSource {
public:
  TrickleSource(std::string_view bytes, std::size_t step) : bytes_(bytes), step_(step) {}
  std::size_t Read(char *into, std::size_t capacity) override {
    return bytes_.Read(into, std::min(capacity, step_));
  }

private:
  StringByteSource bytes_;
  std::size_t step_;
};

using Lines = std::vector<std::string>;

struct Shape {
  std::string bytes;
  Lines lines;
  bool closedByEndOfFileChar;
};

const std::string Long(1000, 'h');

const Shape Shapes[] = {
    {"", {}, false},
    {"a\r\nb\nc\rd", {"a", "b", "c", "d"}, false},
    {"a\r\n\r\n", {"a", ""}, false},
    {"a\n\r\nb\r\r", {"a", "", "b", ""}, false},
    {"\r", {""}, false},
    {"\r\n", {""}, false},
    {"\n\r", {"", ""}, false},
    {"last\x1A", {"last"}, true},
    {"a\r\n\x1A", {"a"}, true},
    {"\x1A", {}, true},
    {"\x1A\x1A", {"\x1A"}, true},
    {"a\x1A" "b\r\n", {"a\x1A" "b"}, false},
    {"a\r\x1A", {"a"}, true},
    {std::string("\0\xFF\x80\r\n", 5), {std::string("\0\xFF\x80", 3)}, false},
    {Long + "\r\n" + Long + "\r" + Long + "\n" + Long, {Long, Long, Long, Long}, false},
    {Long + "\r\r\n\n" + Long + "\x1A", {Long, "", "", Long}, true},
};

// What the lines and their ends add up to: every byte but a closing 26.
std::string TextOf(const Shape &shape) {
  return shape.closedByEndOfFileChar ? shape.bytes.substr(0, shape.bytes.size() - 1)
                                     : shape.bytes;
}

Lines ReadEachLine(LineReader &reader, std::string &rebuilt) {
  Lines lines;
  while (!reader.AtEnd()) {
    const TextLine line = reader.ReadLine();
    lines.emplace_back(line.text);
    rebuilt.append(line.text).append(line.end);
  }
  return lines;
}

TEST(LineReader, EveryLineEndShapeAtEveryReadBoundary) {
  for (const Shape &shape : Shapes) {
    for (std::size_t step : {1, 2, 3, 7, 64, 4096}) {
      SCOPED_TRACE(testing::Message() << "step " << step << ", bytes \"" << shape.bytes.substr(0, 20)
                                      << "\"");
      TrickleSource source(shape.bytes, step);
      LineReader reader(source, step);
      std::string rebuilt;
      EXPECT_EQ(ReadEachLine(reader, rebuilt), shape.lines);
      EXPECT_EQ(rebuilt, TextOf(shape));
      EXPECT_EQ(reader.ClosedByEndOfFileChar(), shape.closedByEndOfFileChar);

      // Runs of whole lines: the same text, each run ending where a line does.
      TrickleSource again(shape.bytes, step);
      LineReader runs(again, step);
      std::string joined;
      while (!runs.AtEnd()) {
        const std::string_view run = runs.ReadLines();
        ASSERT_FALSE(run.empty());
        joined.append(run);
        const std::string text = TextOf(shape);
        if (joined.size() < text.size()) {
          EXPECT_TRUE(run.back() == '\n' || run.back() == '\r');
          EXPECT_FALSE(run.back() == '\r' && text[joined.size()] == '\n') << "CR LF split";
        }
      }
      EXPECT_EQ(joined, TextOf(shape));
    }
  }
}

TEST(LineReader, TextFileServiceReadsTheSameLines) {
  auto sandbox = test::MakeFileSandbox();
  const std::string path = sandbox->InstallRoot() + "\\Help\\lines.cnt";
  for (const Shape &shape : Shapes) {
    sandbox->WriteBytes(path, shape.bytes);
    auto reader = sandbox->Files().OpenForReading(path);
    Lines lines;
    while (!reader->AtEnd())
      lines.emplace_back(reader->ReadLine().text);
    EXPECT_EQ(lines, shape.lines) << shape.bytes.substr(0, 20);
    EXPECT_EQ(reader->ClosedByEndOfFileChar(), shape.closedByEndOfFileChar);
    reader->Close();
  }
}

} // namespace
} // namespace vantrel
