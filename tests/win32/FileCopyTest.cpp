#include "platform/Error.h"
#include "platform/FileCopy.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantrel {
namespace {

TEST(FileCopy, ReplacesTheDestination) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "a.cnt", std::string("new\r\n\0\xFF", 7));
  test::WriteFileBytes(folder / "a.~cn", "old, and longer than the new one\r\n");
  EXPECT_EQ(SystemFileCopier().CopyReplacing(folder / "a.cnt", folder / "a.~cn"), CopyOutcome::Copied);
  EXPECT_EQ(test::ReadFileBytes(folder / "a.~cn"), std::string("new\r\n\0\xFF", 7));
}

// Read-only is checked through the attribute: Wine, run as root, writes such files anyway.
TEST(FileCopy, CopyOfAReadOnlyFileIsWritableAndCanBeReplaced) {
  test::TempFolder folder;
  const std::string source = folder / "a.cnt", copy = folder / "a.~cn";
  test::WriteFileBytes(source, "first");
  ASSERT_TRUE(SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY));
  for (const char *text : {"first", "second"}) {
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    test::WriteFileBytes(source, text);
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SystemFileCopier().CopyReplacing(source, copy), CopyOutcome::Copied);
    EXPECT_EQ(test::ReadFileBytes(copy), text);
    EXPECT_FALSE(GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY) << text;
    // A copy left read-only by some other program is replaced all the same.
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  EXPECT_TRUE(GetFileAttributesA(source.c_str()) & FILE_ATTRIBUTE_READONLY) << "source untouched";
}

TEST(FileCopy, MissingSourceIsReportedNotRaised) {
  test::TempFolder folder;
  EXPECT_EQ(SystemFileCopier().CopyReplacing(folder / "none.cnt", folder / "none.~cn"),
            CopyOutcome::SourceMissing);
  EXPECT_EQ(SystemFileCopier().CopyReplacing(folder / "no\\such\\x.cnt", folder / "x.~cn"),
            CopyOutcome::SourceMissing);
  EXPECT_FALSE(test::PathExists(folder / "none.~cn"));
}

TEST(FileCopy, OtherFailuresNameBothPaths) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "a.cnt", "x");
  test::CreateFolder(folder / "a.~cn");
  try {
    SystemFileCopier().CopyReplacing(folder / "a.cnt", folder / "a.~cn");
    FAIL() << "copied over a folder";
  } catch (const Error &error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(folder / "a.cnt"), std::string::npos) << message;
    EXPECT_NE(message.find(folder / "a.~cn"), std::string::npos) << message;
  }
}

} // namespace
} // namespace vantrel
