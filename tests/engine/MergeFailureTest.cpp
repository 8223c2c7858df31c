// A text-file operation that fails part-way through a merge: what was done
// stays, nothing later happens, and the error names the file.
#include "engine/MergeContents.h"
#include "platform/Error.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const LeadByteTable SingleByte;

const std::string Contents = "C:\\IDE\\Help\\Delphi4.cnt";
const std::string Backup = "C:\\IDE\\Help\\Delphi4.~cn";
const std::string Base = ":Base Delphi4.hlp\r\n:Link old.hlp\r\n";
const HelpFileList List{"a.hlp", "old.hlp", "b.cnt", "notes.txt", "c.hlp"};
const std::string Appended = ":Link a.hlp\r\n:Include b.cnt\r\n:Link c.hlp\r\n";

int OperationsOfACleanRun() {
  test::MemoryFileSystem fs;
  fs.files[Contents] = Base;
  MergeContents(ProfileForVersion(4), "C:\\IDE", List, fs, fs, SingleByte);
  EXPECT_EQ(fs.files[Contents], Base + Appended);
  return fs.Operations();
}

TEST(MergeFailure, EveryFailurePointLeavesWholeEarlierLinesOnly) {
  const int total = OperationsOfACleanRun();
  ASSERT_GT(total, 5);
  for (int failAt = 1; failAt <= total; ++failAt) {
    test::MemoryFileSystem fs;
    fs.files[Contents] = Base;
    fs.FailAtOperation(failAt);
    try {
      MergeContents(ProfileForVersion(4), "C:\\IDE", List, fs, fs, SingleByte);
      ADD_FAILURE() << "no error at operation " << failAt;
    } catch (const Error &error) {
      EXPECT_NE(std::string(error.what()).find(Contents), std::string::npos) << error.what();
    }
    EXPECT_EQ(fs.Operations(), failAt) << "work went on after the failure";
    const std::string &after = fs.files[Contents];
    ASSERT_EQ(after.substr(0, Base.size()), Base) << failAt;
    const std::string added = after.substr(Base.size());
    EXPECT_EQ(Appended.substr(0, added.size()), added) << "at operation " << failAt;
    EXPECT_TRUE(added.empty() || added.back() == '\n') << "half a line at " << failAt;
    EXPECT_EQ(fs.files[Backup], Base);

    // Running again completes the merge without doubling anything.
    MergeContents(ProfileForVersion(4), "C:\\IDE", List, fs, fs, SingleByte);
    EXPECT_EQ(fs.files[Contents], Base + Appended) << failAt;
  }
}

TEST(MergeFailure, FailedWriteOfSecondLineKeepsTheFirst) {
  test::MemoryFileSystem fs;
  fs.files[Contents] = Base;
  fs.FailAtOperation("write", 2);
  EXPECT_THROW(
      MergeContents(ProfileForVersion(4), "C:\\IDE", {"a.hlp", "b.hlp"}, fs, fs, SingleByte),
      Error);
  EXPECT_EQ(fs.files[Contents], Base + ":Link a.hlp\r\n");
}

// The file is opened for appending even for an entry that adds no line.
TEST(MergeFailure, EntryWithoutDirectiveStillNeedsAWritableFile) {
  test::MemoryFileSystem fs;
  fs.files[Contents] = Base;
  fs.unwritable.insert(Contents);
  EXPECT_THROW(MergeContents(ProfileForVersion(4), "C:\\IDE", {"notes.txt"}, fs, fs, SingleByte),
               Error);
  EXPECT_NO_THROW(MergeContents(ProfileForVersion(4), "C:\\IDE", {"old.hlp"}, fs, fs, SingleByte));
  EXPECT_EQ(fs.files[Contents], Base);
}

} // namespace
} // namespace vantrel
