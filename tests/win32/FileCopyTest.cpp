#include "platform/Error.h"
#include "platform/FileCopy.h"
#include "platform/FileDeletion.h"
#include "platform/FileExistence.h"
#include "platform/FileReplace.h"
#include "platform/FolderIdentity.h"
#include "platform/win32/OptionalFunctions.h"
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

// The edited copy takes the file's place in one step where the system can:
// the file is never absent, and a replace that cannot be made leaves it as
// it was. On Windows 98 (the oldest run) the file goes first: a rename that
// then fails leaves the edited copy, and trying again renames only.
TEST(FileReplace, TheFileIsAllOldOrAllNew) {
  const bool oneStep = win32::Optional().replaceInOneStep;
  for (const char *held : {"nothing", "the edited copy", "the file"}) {
    SCOPED_TRACE(held);
    test::TempFolder folder;
    const std::string file = folder / "a.cnt", edited = folder / "a.~ed";
    test::WriteFileBytes(file, "old");
    SystemFileReplacer().WriteEditedCopy(edited, "new");
    // Another program has it open, and lets no one delete or rename it.
    HANDLE holder = std::string(held) == "nothing"
                        ? INVALID_HANDLE_VALUE
                        : CreateFileA((std::string(held) == "the file" ? file : edited).c_str(),
                                      GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    std::string failure;
    try {
      SystemFileReplacer().PutInPlace(edited, file);
    } catch (const Error &error) {
      failure = error.what();
    }
    CloseHandle(holder);
    if (std::string(held) == "nothing") {
      EXPECT_EQ(failure, "");
      EXPECT_EQ(test::ReadFileBytes(file), "new");
      EXPECT_FALSE(test::PathExists(edited));
      continue;
    }
    EXPECT_NE(failure.find(edited), std::string::npos) << failure;
    EXPECT_EQ(test::ReadFileBytes(edited), "new") << "the edited copy stays, for another try";
    if (oneStep || std::string(held) == "the file") {
      EXPECT_EQ(test::ReadFileBytes(file), "old") << "the file is as it was";
    } else {
      EXPECT_FALSE(test::PathExists(file)) << "98: the file went before the rename";
      SystemFileReplacer().PutInPlace(edited, file); // the rename alone
      EXPECT_EQ(test::ReadFileBytes(file), "new");
    }
  }
}

// A compiled copy goes by any case of its name, read-only or not, and is
// reported as its folder spells it; a file or folder that is not there is no error.
TEST(FileDeletion, DeletesByAnyCaseAndNamesTheFileAsItsFolderDoes) {
  test::TempFolder folder;
  const std::string copy = folder / "Delphi4.GID";
  test::WriteFileBytes(copy, "compiled");
  ASSERT_TRUE(SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY));
  FileDeleter &deleter = SystemFileDeleter();
  EXPECT_EQ(deleter.DeleteFileNamed(folder / "DELPHI4.gid"), std::optional<std::string>(copy));
  EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(deleter.DeleteFileNamed(copy), std::nullopt);
  EXPECT_EQ(deleter.DeleteFileNamed(folder / "no\\such\\Delphi4.GID"), std::nullopt);
}

// Absent only when the system says so: a share that cannot be reached is no
// proof that a registration's file is gone, so the run stops and says why.
TEST(FileExistence, AbsentOnlyWhenTheSystemSaysSo) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "Grid.hlp", "x");
  FileExistence &existence = SystemFileExistence();
  EXPECT_TRUE(existence.FileExists(folder / "Grid.hlp"));
  EXPECT_FALSE(existence.FolderExists(folder / "Grid.hlp"));
  EXPECT_TRUE(existence.FolderExists(folder.Path()));
  EXPECT_FALSE(existence.FileExists(folder / "no\\such\\Grid.hlp"));
  const std::string unreachable = "\\\\nosuchserver\\share\\Grid.hlp";
  try {
    existence.FileExists(unreachable);
    FAIL() << "an unreachable share taken for an answer";
  } catch (const Error &error) {
    EXPECT_NE(std::string(error.what()).find(unreachable), std::string::npos) << error.what();
  }
}

// Two names of one folder, its long and its short (8.3) one, are one folder
// by what the file system says; two folders are two; a missing one, unknown.
TEST(FolderIdentity, TheFileSystemSaysWhichFolderANameIs) {
  test::TempFolder folder;
  const std::string longName = folder / "Long Folder Name", other = folder / "Other";
  test::CreateFolder(longName);
  test::CreateFolder(other);
  char shortName[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameA(longName.c_str(), shortName, MAX_PATH), 0u);
  ASSERT_NE(std::string(shortName), longName);
  FolderIdentity &identity = SystemFolderIdentity();
  EXPECT_EQ(identity.SameFolderOnDisk(longName, shortName), std::optional<bool>(true));
  EXPECT_EQ(identity.SameFolderOnDisk(longName + "\\", shortName), std::optional<bool>(true));
  EXPECT_EQ(identity.SameFolderOnDisk(longName, other), std::optional<bool>(false));
  EXPECT_EQ(identity.SameFolderOnDisk(longName, folder / "Missing"), std::nullopt);
}

} // namespace
} // namespace vantrel
