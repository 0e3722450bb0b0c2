// The main window and the about window with "Office12Style" under Wine: both frames are the
// skin's, drawn from their providers' frame images, in German and in English, and both get
// the standard frame back when the skin is switched off. Screenshots of every look go to
// <build>/screenshots/ to be looked at, and the main window's title buttons and system menu
// under the mouse and the keys.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/aboutWin32.h"
#include "app/mainWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

// Non-client pixels of the window that differ from its provider's frame image.
int FrameDifferences(TCustomForm* form, TsSkinProvider* provider) {
  TBitmap* image = provider->FrameImage();
  if (!image) return -1;
  HWND wnd = form->Handle();
  RECT window, client;
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &client);
  POINT origin{0, 0};
  ClientToScreen(wnd, &origin);
  const int cx = origin.x - window.left, cy = origin.y - window.top;
  const int width = window.right - window.left, height = window.bottom - window.top;
  if (provider->FrameImageSize() != TSize{width, height}) return -1;
  HDC dc = GetWindowDC(wnd);
  int differ = 0;
  for (int y = 0; y < height; y += 2)
    for (int x = 0; x < width; x += 2) {
      if (x >= cx && x < cx + client.right && y >= cy && y < cy + client.bottom) continue;
      const uint32_t px = reinterpret_cast<const uint32_t*>(image->ScanLine(y))[x];
      const COLORREF shown = GetPixel(dc, x, y);
      if (shown != RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF)) ++differ;
    }
  ReleaseDC(wnd, dc);
  return differ;
}

bool HasRegion(HWND wnd) {
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(wnd, probe) != ERROR;
  DeleteObject(probe);
  return has;
}

// The main window with the generated skins, shown (its version check off); the about window
// made too.
TForm1* ShowMainWindowSkinned() {
  Application->Initialize();
  // As the program starts: the skin engine's texts and icons.
  static const bool started = (InitSkinRuntime(), true);
  (void)started;
  auto* form = new TForm1(Application);
  Form1 = form;
  form->AfterConstruction();
  form->CheckVersion = nullptr;  // no update server here
  auto* about = new TForm2(Application);
  Form2 = about;
  about->AfterConstruction();
  TsSkinManager* manager = form->sSkinManager1;
  manager->SetSkinDirectory(skintest::WineSkinFolders());
  manager->SetActive(true);
  {
    ktest::TMessageBoxWatcher watcher;
    form->Show();
    Application->ProcessMessages();
  }
  ktest::Settle(form->Handle(), 300);
  return form;
}

void FreeWindows() {
  delete Form2;
  delete Form1;
  Form1 = nullptr;
  Form2 = nullptr;
}

TEST(SkinnedWindows, MainAndAboutWindowShowTheSkinInBothLanguagesAndLoseItAgain) {
  TForm1* form = ShowMainWindowSkinned();
  TForm2* about = Form2;
  TsSkinManager* manager = form->sSkinManager1;
  ASSERT_TRUE(manager->CurrentSkin().Active);
  ASSERT_TRUE(form->sSkinProvider1->Skinned());
  EXPECT_EQ(FrameDifferences(form, form->sSkinProvider1), 0);
  ktest::SaveScreenshot(form->Handle(), "main-skinned-de");
  about->Show();
  ktest::Settle(about->Handle(), 300);
  ASSERT_TRUE(about->sSkinProvider1->Skinned());
  EXPECT_EQ(FrameDifferences(about, about->sSkinProvider1), 0);
  ktest::SaveScreenshot(about->Handle(), "about-skinned-de");
  about->Hide();

  form->Englisch1Click(nullptr);
  ktest::Settle(form->Handle(), 300);
  EXPECT_EQ(FrameDifferences(form, form->sSkinProvider1), 0);
  ktest::SaveScreenshot(form->Handle(), "main-skinned-en");
  about->Show();
  ktest::Settle(about->Handle(), 300);
  EXPECT_EQ(FrameDifferences(about, about->sSkinProvider1), 0);
  ktest::SaveScreenshot(about->Handle(), "about-skinned-en");

  manager->SetActive(false);
  ktest::Settle(about->Handle(), 300);
  EXPECT_FALSE(form->sSkinProvider1->Skinned());
  EXPECT_FALSE(about->sSkinProvider1->Skinned());
  EXPECT_FALSE(HasRegion(form->Handle()));
  EXPECT_FALSE(HasRegion(about->Handle()));
  ktest::SaveScreenshot(about->Handle(), "about-unskinned-en");
  about->Hide();
  ktest::Settle(form->Handle(), 300);
  ktest::SaveScreenshot(form->Handle(), "main-unskinned-en");
  form->Deutsch1Click(nullptr);
  ktest::Settle(form->Handle(), 300);
  ktest::SaveScreenshot(form->Handle(), "main-unskinned-de");
  about->Show();
  ktest::Settle(about->Handle(), 300);
  ktest::SaveScreenshot(about->Handle(), "about-unskinned-de");
  about->Hide();
  FreeWindows();
}

bool MouseButton(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  return ktest::SendInputAndHandle({input});
}

TEST(SkinnedWindows, TheMainWindowsTitleButtonsAndSystemMenuFollowTheMouseAndTheKeys) {
  TForm1* form = ShowMainWindowSkinned();
  TsSkinProvider* provider = form->sSkinProvider1;
  ASSERT_TRUE(provider->Skinned());
  HWND wnd = form->Handle();
  SetForegroundWindow(wnd);
  RECT window;
  GetWindowRect(wnd, &window);
  const TRect min = provider->TitleButtonRect(HTMINBUTTON);
  ASSERT_GT(min.Width(), 0);
  const POINT minCentre{window.left + (min.Left + min.Right) / 2,
                        window.top + (min.Top + min.Bottom) / 2};
  ASSERT_TRUE(ktest::MovePointerTo(minCentre));
  ASSERT_TRUE(ktest::PumpUntil([&] { return provider->TitleButtonState(HTMINBUTTON) == 1; }));
  ktest::Settle(wnd, 100);
  ktest::SaveScreenshot(wnd, "main-title-button-hot");
  ASSERT_TRUE(MouseButton(MOUSEEVENTF_LEFTDOWN));
  EXPECT_EQ(provider->TitleButtonState(HTMINBUTTON), 2);
  ktest::Settle(wnd, 100);
  ktest::SaveScreenshot(wnd, "main-title-button-pressed");
  // Released away from the button: the window stays.
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(wnd)));
  ASSERT_TRUE(MouseButton(MOUSEEVENTF_LEFTUP));
  ktest::Settle(wnd, 200);
  EXPECT_FALSE(IsIconic(wnd));

  ktest::TUserScript user;
  const bool played = user.Play([&](ktest::TUserScript& u) {
    const int waits = u.MenuWaits();
    ktest::PressKeys({VK_MENU}, VK_SPACE);
    HWND popup = u.WaitForWindow("the system menu", "#32768");
    u.WaitForMenuInput(waits);
    u.OnProgram([&] {
      ktest::Settle(wnd, 100);
      ktest::SaveScreenshot(wnd, "main-system-menu");
    });
    ktest::PressKey(VK_ESCAPE);
    u.WaitUntilGone("the system menu", popup);
  });
  EXPECT_TRUE(played) << user.Failures();
  EXPECT_TRUE(IsWindowVisible(wnd));
  FreeWindows();
}

}  // namespace
