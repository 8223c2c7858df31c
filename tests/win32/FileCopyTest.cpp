#include "platform/Error.h"
#include "platform/FileCopy.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FileCopy, ReplacesTheDestination) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "a.cnt", std::string("new\r\n\0\xFF", 7));
  test::WriteFileBytes(folder / "a.~cn", "old, and longer than the new one\r\n");
  EXPECT_EQ(SystemFileCopier().CopyReplacing(folder / "a.cnt", folder / "a.~cn"), CopyOutcome::Copied);
  EXPECT_EQ(test::ReadFileBytes(folder / "a.~cn"), std::string("new\r\n\0\xFF", 7));
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
