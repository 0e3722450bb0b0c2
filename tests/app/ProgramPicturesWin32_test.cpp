// Our own pictures under Wine: the glyph list keeps each glyph's alpha, the about window
// shows the emblem, and the windows carry the program's icon. Screenshots of the main
// window with its tool bar, its context menu and the about window land in the build tree.
#include "app/ProgramPicturesWin32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/aboutWin32.h"
#include "app/mainWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

// The identity's colours the tests look for (the drawing script's BLUE and BLUE_DARK).
const COLORREF kBlue = RGB(34, 94, 168);
const TColor kBackground = static_cast<TColor>(RGB(10, 200, 30));

bool Near(COLORREF a, COLORREF b, int tolerance = 24) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string menuShot;

void CALLBACK ShootMenuAndClose(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  menuShot = ktest::SaveScreenshot(GetDesktopWindow(), "main_window_context_menu");
  EndMenu();
}

class ProgramPictures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application->Initialize(); }
};

TEST_F(ProgramPictures, EveryGlyphLoadsIntoTheListAtSixteenPixels) {
  TsAlphaImageList list(nullptr);
  LoadProgramGlyphs(&list);
  EXPECT_EQ(list.Count(), pgGlyphCount);
  EXPECT_EQ(list.Width(), kProgramGlyphSize);
  EXPECT_EQ(list.Height(), kProgramGlyphSize);
}

TEST_F(ProgramPictures, GlyphDrawnFromTheListShowsTheBackgroundThroughItsTransparentPixels) {
  TsAlphaImageList list(nullptr);
  LoadProgramGlyphs(&list);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(16, 16);
  target.Fill(kBackground);
  list.Draw(target.Canvas(), 0, 0, pgSave);
  // The corner lies outside the floppy disk, (3, 11) on its blue body.
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), kBackground);
  EXPECT_TRUE(Near(target.Canvas()->Pixels(3, 11), kBlue))
      << std::hex << target.Canvas()->Pixels(3, 11);
}

TEST_F(ProgramPictures, AboutPicturesShowTheEmblemOverTheirBackground) {
  TBitmap large;
  PaintProgramPicture(&large, kAboutLargePicture, kBackground);
  ASSERT_EQ(large.Width(), 96);
  ASSERT_EQ(large.Height(), 96);
  // The rounded tile leaves the corner to the background; its left edge is blue.
  EXPECT_EQ(large.Canvas()->Pixels(0, 0), kBackground);
  EXPECT_TRUE(Near(large.Canvas()->Pixels(6, 48), kBlue))
      << std::hex << large.Canvas()->Pixels(6, 48);
  TBitmap small;
  PaintProgramPicture(&small, kAboutSmallPicture, kBackground);
  EXPECT_EQ(small.Width(), 48);
  EXPECT_EQ(small.Height(), 48);
}

TEST_F(ProgramPictures, WindowsCarryTheProgramIconAndScreenshotsAreSaved) {
  ASSERT_NE(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"), nullptr);
  auto* form = new TForm1(Application);
  form->AfterConstruction();
  form->CheckVersion = nullptr;  // no update server here
  form->Show();
  form->sToolBar1->SetEnabled(true);
  ktest::Settle(form->Handle(), 300);
  EXPECT_NE(GetClassLongPtrA(form->Handle(), GCLP_HICON), 0);
  EXPECT_FALSE(ktest::SaveScreenshot(form->Handle(), "main_window_glyphs").empty());

  // The context menu runs its own loop: a timer takes the picture and closes it.
  const UINT_PTR timer = SetTimer(nullptr, 0, 400, &ShootMenuAndClose);
  const TPoint at = form->re_org->ClientToScreen({40, 40});
  form->PopupMenu2->Popup(at.X, at.Y);
  KillTimer(nullptr, timer);
  EXPECT_FALSE(menuShot.empty());

  auto* about = new TForm2(Application);
  about->Show();
  ktest::Settle(about->Handle(), 300);
  EXPECT_NE(GetClassLongPtrA(about->Handle(), GCLP_HICON), 0);
  EXPECT_FALSE(ktest::SaveScreenshot(about->Handle(), "about_window").empty());
  delete about;
  delete form;
}

}  // namespace
