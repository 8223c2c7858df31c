#include "engine/MergeContents.h"
#include "engine/TargetProfile.h"
#include "platform/Error.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(TargetProfile, Version3GivesItsKeyAndPaths) {
  const TargetProfile &profile = ProfileForVersion(3);
  EXPECT_EQ(profile.ideKey, "SOFTWARE\\Borland\\Delphi\\3.0");
  EXPECT_EQ(ContentsPath(profile, "C:\\IDE"), "C:\\IDE\\Help\\Delphi3.cnt");
  EXPECT_EQ(BackupPath(profile, "C:\\IDE"), "C:\\IDE\\Help\\Delphi3.~cn");
  EXPECT_EQ(profile.applicationTitle, "Register Delphi Component Help Files");
  EXPECT_EQ(profile.labelCaption, "The following component help files will be registered and "
                                  "merged into the Delphi 3 help system.");
}

TEST(TargetProfile, Version4GivesItsKeyAndPaths) {
  const TargetProfile &profile = ProfileForVersion(4);
  EXPECT_EQ(profile.ideKey, "SOFTWARE\\Borland\\Delphi\\4.0");
  EXPECT_EQ(ContentsPath(profile, "D:\\Delphi 4\\"), "D:\\Delphi 4\\\\Help\\Delphi4.cnt")
      << "the install root is joined as read, nothing normalised";
  EXPECT_EQ(BackupPath(profile, "C:\\IDE"), "C:\\IDE\\Help\\Delphi4.~cn");
  EXPECT_EQ(profile.applicationTitle, "Register D4 Component Help Files");
  EXPECT_EQ(profile.labelCaption, "The following component help files will be registered and "
                                  "merged into the Delphi 4 help system.");
}

TEST(TargetProfile, OtherVersionsAreRefused) {
  EXPECT_THROW(ProfileForVersion(5), Error);
  EXPECT_THROW(ProfileForVersion(0), Error);
}

// The profile decides which file is merged, and nothing about the lines.
TEST(TargetProfile, SwappingProfilesChangesOnlyTheFileMerged) {
  test::MemoryFileSystem fs;
  const std::string original = ":Base Delphi\r\n:Link other.hlp\r\n";
  fs.files["C:\\IDE\\Help\\Delphi3.cnt"] = original;
  fs.files["C:\\IDE\\Help\\Delphi4.cnt"] = original;
  const HelpFileList list{"Grid.hlp", "Grid.cnt", "notes.txt"};

  MergeContents(ProfileForVersion(3), "C:\\IDE", list, fs, fs, LeadByteTable());
  EXPECT_EQ(fs.files["C:\\IDE\\Help\\Delphi4.cnt"], original);
  MergeContents(ProfileForVersion(4), "C:\\IDE", list, fs, fs, LeadByteTable());

  EXPECT_EQ(fs.files["C:\\IDE\\Help\\Delphi3.cnt"], fs.files["C:\\IDE\\Help\\Delphi4.cnt"]);
  EXPECT_EQ(fs.files["C:\\IDE\\Help\\Delphi3.~cn"], original);
  EXPECT_EQ(fs.files["C:\\IDE\\Help\\Delphi4.~cn"], original);
}

} // namespace
} // namespace vantrel
