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

namespace skintest {

// The colours of a rectangle of the window (window coordinates), row by row, read through its
// window DC: what the window drew, without waiting for the screen to be updated.
inline std::vector<COLORREF> ShownPixels(HWND wnd, const TRect& r) {
  std::vector<COLORREF> pixels;
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  if (w <= 0 || h <= 0) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, dib);
  HDC windowDC = GetWindowDC(wnd);
  BitBlt(mem, 0, 0, w, h, windowDC, r.Left, r.Top, SRCCOPY);
  ReleaseDC(wnd, windowDC);
  GdiFlush();
  // The DIB holds 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
  const auto* p = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
    pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(dib);
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
