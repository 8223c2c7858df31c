// The Win32 text-file service on real files.
#include "platform/TextFile.h"
#include "platform/Error.h"
#include "platform/RunLog.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantrel {
namespace {

class TextFileTest : public ::testing::Test {
protected:
  test::TempFolder folder;
  const std::string path = folder / "Delphi4.cnt";

  std::vector<std::string> ReadAll(const std::string &bytes) {
    test::WriteFileBytes(path, bytes);
    auto reader = SystemTextFiles().OpenForReading(path);
    std::vector<std::string> lines;
    while (!reader->AtEnd())
      lines.emplace_back(reader->ReadLine().text);
    reader->Close();
    return lines;
  }
  std::string AppendError() {
    try {
      SystemTextFiles().OpenForAppending(path);
    } catch (const Error &error) {
      return error.what();
    }
    ADD_FAILURE() << "opened " << path << " for appending";
    return "";
  }
  std::string Append(const std::string &bytes, const std::vector<std::string> &lines) {
    test::WriteFileBytes(path, bytes);
    auto appender = SystemTextFiles().OpenForAppending(path);
    for (const std::string &line : lines)
      appender->WriteLine(line);
    appender->Close();
    return test::ReadFileBytes(path);
  }
};

using Lines = std::vector<std::string>;

TEST_F(TextFileTest, LinesLongerThanAnyBufferAndEndsAcrossChunks) {
  const std::string huge(300000, 'h');
  EXPECT_EQ(ReadAll(huge + "\r\nnext"), (Lines{huge, "next"}));
  // CR LF split across the reader's chunks must stay one line end.
  const std::size_t chunk = LineReader::DefaultChunkSize;
  for (std::size_t at : {chunk - 1, chunk, 2 * chunk - 1}) {
    const std::string first(at, 'x');
    EXPECT_EQ(ReadAll(first + "\r\nsecond\r\n"), (Lines{first, "second"})) << at;
    EXPECT_EQ(ReadAll(first + "\r"), (Lines{first})) << at;
  }
}

TEST_F(TextFileTest, AppendsAfterTheLastLineWithCrLf) {
  EXPECT_EQ(Append("a\r\n", {"b", "c"}), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(Append("a", {"b", "c"}), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(Append("a\r\n\x1A", {"b"}), "a\r\nb\r\n");
  EXPECT_EQ(Append("a\x1A", {"b"}), "a\r\nb\r\n");
  EXPECT_EQ(Append("a\x1A", {}), "a\x1A") << "nothing written, nothing changed";
  EXPECT_EQ(Append("", {"b"}), "b\r\n");
}

TEST_F(TextFileTest, FailuresNameTheFileAndTheSystemsReason) {
  const std::string missing = folder / "missing.cnt";
  try {
    SystemTextFiles().OpenForReading(missing);
    FAIL() << "opened a missing file";
  } catch (const Error &error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(missing), std::string::npos) << message;
    EXPECT_GT(message.size(), missing.size() + 30) << "the system's reason is missing: " << message;
  }
  EXPECT_THROW(SystemTextFiles().OpenForAppending(missing), Error);
  EXPECT_FALSE(test::PathExists(missing)) << "appending must not create the file";

  // Another program holding the file open without sharing it.
  test::WriteFileBytes(path, "a\r\n");
  HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_THROW(SystemTextFiles().OpenForReading(path), Error);
  EXPECT_NE(AppendError().find(path), std::string::npos);
  CloseHandle(locked);
  EXPECT_EQ(test::ReadFileBytes(path), "a\r\n");

  // A read-only file is refused up front, with what to do about it.
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string message = AppendError();
  EXPECT_NE(message.find(path), std::string::npos) << message;
  EXPECT_NE(message.find("read-only"), std::string::npos) << message;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(test::ReadFileBytes(path), "a\r\n");
}

// The run log: a second run adds to the first one's lines; a log that cannot
// be opened says which file it wanted.
TEST_F(TextFileTest, RunLogAppendsAndNamesAFileItCannotOpen) {
  const std::string logPath = folder / "setup.log";
  OpenRunLog(logPath)->Write("first run");
  OpenRunLog(logPath)->Write("second run");
  EXPECT_EQ(test::ReadFileBytes(logPath), "first run\r\nsecond run\r\n");
  const std::string missing = folder / "no\\such.log";
  try {
    OpenRunLog(missing);
    FAIL() << "opened a log in a missing folder";
  } catch (const Error &error) {
    EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
  }
}

} // namespace
} // namespace vantrel
