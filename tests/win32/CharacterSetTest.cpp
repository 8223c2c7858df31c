// The system's character set, and paths into a code page, as Windows does them.
#include "platform/CharacterSet.h"
#include "platform/win32/CodePageText.h"
#include "platform/win32/OptionalFunctions.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(CodePageText, UnicodeCodePagesHoldEveryPathOthersRefuseWhatTheyLack) {
  const std::wstring path = L"C:\\Gr\u00FC\u00DFe\\\u041A\u043E\u043C\\\u8868.exe";
  EXPECT_EQ(win32::ToCodePage(path, CP_UTF8), "C:\\Gr\xC3\xBC\xC3\x9F"
                                              "e\\\xD0\x9A\xD0\xBE\xD0\xBC\\\xE8\xA1\xA8.exe");
  EXPECT_EQ(win32::ToCodePage(path, 1252), std::nullopt);
  EXPECT_EQ(win32::ToCodePage(L"C:\\Gr\u00FC\u00DFe", 1252), "C:\\Gr\xFC\xDF"
                                                             "e");
  EXPECT_EQ(win32::ToCodePage(L"C:\\\u8868", 932), "C:\\\x95\x5C");
  EXPECT_EQ(win32::ToCodePage(L"C:\\\u0141", 1252), std::nullopt) << "no best fit to L";
  EXPECT_EQ(win32::ToCodePage(std::wstring(L"C:\\") + wchar_t(0xD800), CP_UTF8), std::nullopt);
}

// As this system has it, as XP has it (no CompareStringOrdinal: the names
// upper-cased in UTF-16) and as 98 has it (upper-cased in the code page).
TEST(SystemCharacterSet, FoldersAndValueNamesCompareByTheSystemsRules) {
  ASSERT_EQ(GetACP(), 1252u) << "the test prefix runs with a Western code page";
  EXPECT_FALSE(SystemCharacterSet().LeadBytes().Any());
  const win32::OptionalFunctions system = win32::Optional();
  for (const DWORD version : {GetVersion(), 0x0A280105ul, win32::Windows98}) {
    SCOPED_TRACE(version);
    win32::PretendSystem(version == GetVersion() ? system : win32::ForVersion(version));
    EXPECT_TRUE(SystemCharacterSet().SameFolderName("C:\\\xC4rger", "c:\\\xE4RGER"));
    EXPECT_TRUE(SystemCharacterSet().SameFolderName("c:\\\xE4rger", "C:\\\xC4RGER"));
    EXPECT_FALSE(SystemCharacterSet().SameFolderName("C:\\A", "C:\\B"));
    EXPECT_FALSE(SystemCharacterSet().SameFolderName("C:\\A", "C:\\AB"));
    // The registry's rule for value names: one key for every case of a name.
    EXPECT_EQ(SystemCharacterSet().NameKey(u"Gr\u00E4d.hlp"),
              SystemCharacterSet().NameKey(u"GR\u00C4D.HLP"));
    EXPECT_NE(SystemCharacterSet().NameKey(u"Grid.hlp"), SystemCharacterSet().NameKey(u"Grid.cnt"));
    EXPECT_EQ(SystemCharacterSet().Widen("Gr\xE4" "d.hlp"), u"Gr\u00E4d.hlp") << "ANSI, not OEM";
  }
  win32::PretendSystem(system);
}

} // namespace
} // namespace vantrel
