// Test helper: a form skinned by a provider with the generated "Full" skin, shown in the
// foreground, and where its title's parts lie on the screen.
#pragma once

#include <windows.h>

#include <vector>

#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace skintest {

// The colours of a rectangle of the window (window coordinates), row by row, read through its
// window DC: what the window drew, without waiting for the screen to be updated.
inline std::vector<COLORREF> ShownPixels(HWND wnd, const TRect& r) {
  std::vector<COLORREF> pixels;
  ktest::TScreenshot shot;
  HDC windowDC = GetWindowDC(wnd);
  const bool read =
      ktest::CaptureArea(windowDC, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, shot);
  ReleaseDC(wnd, windowDC);
  if (!read) return pixels;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) pixels.push_back(shot.ColorAt(x, y));
  return pixels;
}

// The system's full-window dragging on for a test whose branch needs it, and back to what it
// was afterwards.
struct TFullWindowDragging {
  TFullWindowDragging() {
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &saved, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
  }
  ~TFullWindowDragging() { SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, saved, nullptr, 0); }
  TFullWindowDragging(const TFullWindowDragging&) = delete;
  TFullWindowDragging& operator=(const TFullWindowDragging&) = delete;
  BOOL saved = FALSE;
};

// The colour the screen shows at a point: what is on top there, layered windows included.
inline COLORREF ScreenPixel(POINT screen) {
  HDC dc = GetDC(nullptr);
  const COLORREF c = GetPixel(dc, screen.x, screen.y);
  ReleaseDC(nullptr, dc);
  return c;
}

// The colours of a rectangle of the window (window coordinates) as the screen shows them.
inline std::vector<COLORREF> ScreenPixelsOf(HWND wnd, const TRect& r) {
  RECT window;
  GetWindowRect(wnd, &window);
  std::vector<COLORREF> pixels;
  ktest::TScreenshot shot;
  HDC screen = GetDC(nullptr);
  const bool read = ktest::CaptureArea(screen, window.left + r.Left, window.top + r.Top,
                                       r.Right - r.Left, r.Bottom - r.Top, shot);
  ReleaseDC(nullptr, screen);
  if (!read) return pixels;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) pixels.push_back(shot.ColorAt(x, y));
  return pixels;
}

struct SkinnedForm : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }
  void SetUp() override {
    InstallSkinRuntime(*fixture.Manager);
    AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Full");
    form.Form->SetCaption("Title buttons");
    // A test's first move must reach the form wherever an earlier test left the pointer.
    ktest::ParkPointer();
  }
  void TearDown() override {
    // A test that failed while a button was held must not leave the mouse held.
    if (GetCapture()) ReleaseCapture();
    ktest::Pump();
  }
  // The skin loaded, the provider made and the form shown in the foreground.
  TsSkinProvider* ShowSkinned() {
    fixture.Manager->SetSkinName("Full");
    EXPECT_EQ(fixture.Manager->LastLoadError(), "");
    provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(fixture.Manager.get());
    provider->InitFormSkin();
    form.Show();
    SetForegroundWindow(Wnd());
    ktest::Settle(Wnd(), 300);
    EXPECT_TRUE(provider->Skinned());
    return provider;
  }
  HWND Wnd() { return form.Form->Handle(); }
  // The middle of a title button on the screen (its hit code).
  POINT ButtonCentre(int hitCode) {
    const TRect r = provider->TitleButtonRect(hitCode);
    RECT window;
    GetWindowRect(Wnd(), &window);
    return POINT{window.left + (r.Left + r.Right) / 2, window.top + (r.Top + r.Bottom) / 2};
  }
  // The middle of the title between the icon and the buttons.
  POINT TitleMiddle() {
    RECT window;
    GetWindowRect(Wnd(), &window);
    return POINT{(window.left + window.right) / 2,
                 window.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
  }
  LRESULT HitTest(POINT screen) {
    return SendMessageA(Wnd(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  }

  TManagerFixture fixture;
  ktest::TFormGuard form;
  TsSkinProvider* provider = nullptr;
};

}  // namespace skintest
