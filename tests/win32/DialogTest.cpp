// The real dialog, built in this process with stand-in services, so that its
// font and its label can be measured.
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StandInCharacterSet.h"
#include "ui/FrmVantrel.h"
#include "ui/Gdi.h"
#include "ui/Layout.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantrel {
namespace {

struct NoListFile : ProfileFiles, ProfileReader {
  std::unique_ptr<ProfileReader> OpenProfile(const std::string &) override {
    return std::make_unique<NoListFile>();
  }
  std::vector<std::string> ReadSectionValues(const std::string &) override { return {}; }
};

TEST(Dialog, ClassicFontAndTheWholeLabelCaptionAt96Dpi) {
  ASSERT_EQ(ui::SystemDpi(), 96) << "the layout is measured at 96 DPI";
  test::MemoryRegistry registry;
  test::MemoryFileSystem files;
  test::RecordingMessages messages;
  NoListFile profiles;
  test::StandInCharacterSet characters;
  test::StandInLock lock;
  test::CountingClock clock;
  const RunServices services{
      registry, registry,   files,    files,    files,
      files,    files,      files,    files, lock,
      clock,    characters, messages, [] { return std::string("C:\\Tools\\Vantrel.exe"); }};
  for (int version : {3, 4}) {
    for (Action action : {Action::Register, Action::Remove}) {
      const TargetProfile &profile = ProfileForVersion(version);
      ui::TFrmVantrel form(GetModuleHandleA(nullptr), nullptr, profile, profiles, services, action);
      const HWND label = GetDlgItem(GetDlgItem(form.Handle(), ui::Panel1Id), ui::Label1Id);
      ASSERT_NE(label, nullptr);
      char caption[512] = {};
      GetWindowTextA(label, caption, sizeof caption);
      SCOPED_TRACE(caption);

      HDC dc = GetDC(label);
      const HGDIOBJ previous =
          SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
      char face[LF_FACESIZE] = {};
      GetTextFaceA(dc, sizeof face, face);
      EXPECT_STREQ(face, "MS Sans Serif");
      RECT client;
      GetClientRect(label, &client);
      RECT text{0, 0, client.right, 0};
      DrawTextA(dc, caption, -1, &text, DT_CALCRECT | DT_WORDBREAK);
      EXPECT_LE(text.right, client.right);
      EXPECT_LE(text.bottom, client.bottom) << "the caption needs more lines than the label holds";
      SelectObject(dc, previous);
      ReleaseDC(label, dc);
    }
  }
}

} // namespace
} // namespace vantrel
