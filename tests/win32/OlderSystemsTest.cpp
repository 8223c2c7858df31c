// What the program does on each Windows: the decisions taken from GetVersion
// (with the values that each system, or Wine as it, reports), and the
// program's own path where the oldest systems give it in their code page.
#include "platform/win32/OptionalFunctions.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantrel {
namespace {

TEST(OlderSystems, EachWindowsGetsWhatItHas) {
  const struct {
    const char *system;
    DWORD version;
    bool nt, noBestFit, invalidChars, global, ordinal, longW, longA, dllDirectory, defaultDirs;
  } systems[] = {
      {"95", 0xC0000004, false, false, false, false, false, false, false, false, false},
      {"98", 0xC0000A04, false, false, false, false, false, false, true, false, false},
      {"ME", 0xC0005A04, false, false, false, false, false, false, true, false, false},
      {"NT 4.0", 0x05650004, true, false, false, false, false, false, false, false, false},
      {"2000", 0x08930005, true, true, false, true, false, true, true, false, false},
      {"XP", 0x0A280105, true, true, false, true, false, true, true, true, false},
      {"2003", 0x0ECE0205, true, true, false, true, false, true, true, true, false},
      {"Vista", 0x17720006, true, true, true, true, true, true, true, true, false},
      {"7", 0x1DB10106, true, true, true, true, true, true, true, true, true},
      {"10, to a program without its manifest", 0x23F00206, true, true, true, true, true, true,
       true, true, true},
      {"10", 0x4A61000A, true, true, true, true, true, true, true, true, true},
  };
  for (const auto &s : systems) {
    SCOPED_TRACE(s.system);
    const win32::OptionalFunctions found = win32::ForVersion(s.version);
    EXPECT_EQ(found.wideNames, s.nt);
    EXPECT_EQ(found.appendAccess, s.nt);
    EXPECT_EQ(found.replaceInOneStep, s.nt);
    EXPECT_EQ(found.noBestFitFlag, s.noBestFit);
    EXPECT_EQ(found.invalidCharsFlag, s.invalidChars);
    EXPECT_EQ(found.globalNamespace, s.global);
    EXPECT_EQ(found.CompareStringOrdinal != nullptr, s.ordinal);
    EXPECT_EQ(found.GetLongPathNameW != nullptr, s.longW);
    EXPECT_EQ(found.GetLongPathNameA != nullptr, s.longA);
    EXPECT_EQ(found.SetDllDirectoryW != nullptr, s.dllDirectory);
    EXPECT_EQ(found.SetDefaultDllDirectories != nullptr, s.defaultDirs);
    EXPECT_EQ(found.RegSetValueExW != nullptr, s.nt);
  }
}

// Started by its short (8.3) name: the path in its long form; on 98, where
// the path comes in the code page, a folder whose long name the code page
// lacks is refused. (Where the path comes in UTF-16, such a folder is kept
// by its short name: the end-to-end test shows it, since Wine gives a program
// that another one starts its long name.)
TEST(OlderSystems, ThePathOfAProgramStartedByItsShortName) {
  ASSERT_EQ(GetACP(), 1252u);
  test::TempFolder temporary;
  const std::wstring folder(temporary.Path().begin(), temporary.Path().end());
  const bool oldest = !win32::Optional().wideNames;
  const std::string self = test::ThisProgram();
  for (const wchar_t *name : {L"Long Folder Name", L"\u041A\u043E\u043C"}) {
    const bool outsideTheCodePage = name[0] != L'L';
    if (outsideTheCodePage && !oldest)
      continue;
    SCOPED_TRACE(outsideTheCodePage ? "a name outside the code page" : "a long name");
    const std::wstring program = folder + L"\\" + name + L"\\platform_tests.exe";
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\" + name).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(std::wstring(self.begin(), self.end()).c_str(), program.c_str(), FALSE));
    wchar_t shortProgram[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(program.c_str(), shortProgram, MAX_PATH), 0u);
    const std::string started(shortProgram, shortProgram + wcslen(shortProgram)); // ASCII
    const std::string answer =
        test::RunChild(started, oldest ? "--oldest-system --executable-path" : "--executable-path")
            .output;
    if (outsideTheCodePage)
      EXPECT_EQ(answer.rfind("error: The program's folder ", 0), 0u) << answer;
    else
      EXPECT_EQ(answer, temporary / "Long Folder Name\\platform_tests.exe\r\n");
    DeleteFileW(program.c_str());
    RemoveDirectoryW((folder + L"\\" + name).c_str());
  }
}

} // namespace
} // namespace vantrel
