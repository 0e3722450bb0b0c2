// The main window and the about window with "Office12Style" under Wine: both frames are the
// skin's, drawn from their providers' frame images, in German and in English, and both get
// the standard frame back when the skin is switched off. Screenshots of every look go to
// <build>/screenshots/ to be looked at.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/aboutWin32.h"
#include "app/mainWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

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

TEST(SkinnedWindows, MainAndAboutWindowShowTheSkinInBothLanguagesAndLoseItAgain) {
  Application->Initialize();
  auto* form = new TForm1(Application);
  Form1 = form;
  form->AfterConstruction();
  form->CheckVersion = nullptr;  // no update server here
  auto* about = new TForm2(Application);
  Form2 = about;
  about->AfterConstruction();
  TsSkinManager* manager = form->sSkinManager1;
  const std::string folder = skintest::WineSkinFolders();
  manager->SetSkinDirectory(folder);
  manager->SetActive(true);
  ASSERT_TRUE(manager->CurrentSkin().Active);
  {
    ktest::TMessageBoxWatcher watcher;
    form->Show();
    Application->ProcessMessages();
  }
  ktest::Settle(form->Handle(), 300);
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
  delete about;
  delete form;
  Form1 = nullptr;
  Form2 = nullptr;
}

}  // namespace
