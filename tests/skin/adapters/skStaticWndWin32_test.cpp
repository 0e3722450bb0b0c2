// The static, icon, edge and link adapters and the size grip, up-down, track bar and panel
// adapters under Wine on the system's own windows in a plain window: each painted from its
// section, the link clicked, the up-down stepped and the track bar's thumb dragged through
// real mouse input, and the static's bitmap still the static's after the adapter is gone.
#include "skin/adapters/skStaticWndWin32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "skin/adapters/skPanelWndWin32.h"
#include "skin/adapters/skSmallCtrlsWin32.h"
#include "tests/skin/adapters/DialogAdapterFixtureWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using namespace dlgtest;

template <class TAdapter>
std::unique_ptr<TAdapter> Attach(HWND wnd, const char* section, TsSkinManager* manager) {
  return TskMainWnd::Make<TAdapter>(wnd, nullptr, manager, section, true);
}

void Repaint(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

TEST_F(DialogAdapters, AStaticTextShowsItsSectionUnlessItPaintsItself) {
  HWND text = window.Child("STATIC", "Hello", SS_LEFT, 20, 20, 160, 20);
  HWND tabStop = window.Child("STATIC", "Tab", SS_LEFT | WS_TABSTOP, 20, 50, 160, 20);
  window.Show();
  auto adapter = Attach<TskStaticWnd>(text, "", f.Manager.get());
  auto passed = Attach<TskStaticWnd>(tabStop, "CHECKBOX", f.Manager.get());
  EXPECT_EQ(adapter->CommonData()->SkinSection(), "CHECKBOX");
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(text, 158, 18), kBoxFace);
  EXPECT_NE(WindowPixel(tabStop, 158, 18), kBoxFace) << "a static with a tab stop paints itself";
  SetWindowTextA(text, "Changed");
  Settle(window.Wnd());
  EXPECT_EQ(adapter->CaptionText(), "Changed");
  EXPECT_EQ(WindowPixel(text, 158, 18), kBoxFace);
  DestroyWindow(text);
  EXPECT_TRUE(adapter->Detached());
}

TEST_F(DialogAdapters, AnIconOrBitmapStaticShowsItsPictureOverTheSectionAndKeepsIt) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 10;
  info.bmiHeader.biHeight = -10;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  std::fill_n(static_cast<uint32_t*>(bits), 100, 0x00FF0000u);  // red, as BGRA
  HWND picture = window.Child("STATIC", "", SS_BITMAP | SS_REALSIZECONTROL, 20, 20, 40, 40);
  SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  HWND icon = window.Child("STATIC", "", SS_ICON, 100, 20, 40, 40);
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_APPLICATION)), 0);
  SetWindowPos(picture, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER);
  window.Show();
  auto adapter = Attach<TskIconWnd>(picture, "CHECKBOX", f.Manager.get());
  auto iconAdapter = Attach<TskIconWnd>(icon, "CHECKBOX", f.Manager.get());
  EXPECT_TRUE(adapter->IsBitmapImage());
  EXPECT_FALSE(iconAdapter->IsBitmapImage());
  Repaint(window.Wnd());
  Settle(window.Wnd());
  RECT r{};
  GetWindowRect(picture, &r);
  EXPECT_EQ(WindowPixel(picture, 2, 2), 0x0000FFu) << "the bitmap at the top-left";
  ASSERT_EQ(r.right - r.left, 40) << "the static keeps its size";
  EXPECT_EQ(WindowPixel(picture, 38, 2), kBoxFace) << "the section beside the bitmap";
  ktest::SaveScreenshot(window.Wnd(), "static_picture_adapters");
  adapter.reset();
  DestroyWindow(picture);
  BITMAP still{};
  EXPECT_NE(GetObjectA(bitmap, sizeof still, &still), 0) << "the static's bitmap is not deleted";
  DeleteObject(bitmap);
}

TEST_F(DialogAdapters, AStaticWithAnEdgeGetsTheSkinsFrame) {
  HWND edge = window.Child("STATIC", "", SS_ICON, 20, 20, 60, 40, WS_EX_STATICEDGE);
  SetWindowPos(edge, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
  window.Show();
  auto adapter = Attach<TskEdgeWnd>(edge, "EDIT", f.Manager.get());
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(edge, 0, 0), kBorder[0]);
  EXPECT_EQ(WindowPixel(edge, 1, 20), kBorder[0]);
}

TEST_F(DialogAdapters, ALinkShowsItsTextWithoutMarkupAndStillClicks) {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_LINK_CLASS};
  InitCommonControlsEx(&init);
  HWND link = window.Child("SysLink", "<a>Go there</a>", 0, 20, 20, 200, 20);
  if (!link) GTEST_SKIP() << "no link windows here";
  window.Show();
  auto adapter = Attach<TskLinkWnd>(link, "CHECKBOX", f.Manager.get());
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(link, 198, 18), kBoxFace);
  ktest::SaveScreenshot(window.Wnd(), "link_adapter");
  ASSERT_TRUE(PointAt(link, 10, 10));
  ASSERT_TRUE(LeftButton(true));
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return window.Heard().LinkClicks > 0; }));
  ktest::ParkPointer();
}

TEST_F(DialogAdapters, TheSizeGripShowsTheSkinsGripAndAlwaysSizes) {
  HWND grip = window.Child("SCROLLBAR", "", SBS_SIZEGRIP, 200, 200, 16, 16);
  window.Show();
  auto adapter = Attach<TskSizerWnd>(grip, "CHECKBOX", f.Manager.get());
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(grip, 15, 15), kGrip) << "the grip in the bottom-right corner";
  EXPECT_EQ(WindowPixel(grip, 1, 1), kGlobal) << "the parent's background around it";
  EnableWindow(grip, FALSE);
  EXPECT_EQ(SendMessageA(grip, WM_NCHITTEST, 0, MAKELPARAM(205, 205)), HTBOTTOMRIGHT);
}

TEST_F(DialogAdapters, AnUpDownLeavesItsBuddysStripAndStepsByClicks) {
  HWND spin = window.Child("msctls_updown32", "", 0, 20, 20, 20, 40);
  SendMessageA(spin, UDM_SETRANGE32, 0, 10);
  SendMessageA(spin, UDM_SETPOS32, 0, 5);
  window.Show();
  auto adapter = Attach<TskSpinWnd>(spin, "SPEEDBUTTON_SMALL", f.Manager.get());
  adapter->LeftOffset = 2;
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(spin, 2, 0), kBorder[0]);
  EXPECT_NE(WindowPixel(spin, 0, 10), kBorder[0]) << "the buddy's two pixels are left alone";
  ASSERT_TRUE(PointAt(spin, 10, 8));
  EXPECT_TRUE(PumpUntil([&] { return adapter->FirstButtonState() == 1; })) << "the upper half hot";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(spin, 2, 0) == kBorder[2]; })) << "pressed";
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return SendMessageA(spin, UDM_GETPOS32, 0, 0) == 6; }));
  ktest::ParkPointer();
}

TEST_F(DialogAdapters, ATrackBarShowsChannelThumbAndTicksAndItsThumbDrags) {
  HWND track = window.Child("msctls_trackbar32", "", TBS_AUTOTICKS, 20, 20, 240, 36);
  SendMessageA(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  window.Show();
  auto adapter = Attach<TskTrackWnd>(track, "TRACKBAR", f.Manager.get());
  Repaint(window.Wnd());
  Settle(window.Wnd());
  RECT channel{}, thumb{};
  SendMessageA(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  SendMessageA(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  EXPECT_EQ(ktest::ClientPixel(track, 1, 1), kTrack);
  EXPECT_EQ(
      ktest::ClientPixel(track, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2),
      kThumb);
  EXPECT_EQ(ktest::ClientPixel(track, (channel.left + channel.right) / 2 + 40,
                               (channel.top + channel.bottom) / 2),
            kChannel);
  ktest::SaveScreenshot(window.Wnd(), "track_bar_adapter");
  const POINT grab{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  ASSERT_TRUE(PointAt(track, grab.x, grab.y));
  ASSERT_TRUE(LeftButton(true));
  EXPECT_TRUE(adapter->ButtonPressed());
  ASSERT_TRUE(PointAt(track, grab.x + 120, grab.y));
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return SendMessageA(track, TBM_GETPOS, 0, 0) >= 4; }));
  EXPECT_GT(window.Heard().Scrolls, 0);
  EXPECT_FALSE(adapter->ButtonPressed());
  ktest::ParkPointer();
}

TEST_F(DialogAdapters, PanelsInADialogShowTheirSectionAroundTheirChildren) {
  static const ATOM panelClass = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TPanel";
    return RegisterClassA(&wc);
  }();
  (void)panelClass;
  HWND inner = window.Child("#32770", "", 0, 20, 20, 160, 100);
  HWND panel = window.Child("TPanel", "", 0, 200, 20, 160, 100);
  window.Show();
  auto transAdapter = Attach<TskTransPanelWnd>(inner, "CHECKBOX", f.Manager.get());
  auto panelAdapter = Attach<TskDlgPanelWnd>(panel, "PANEL", f.Manager.get());
  EXPECT_EQ(panelAdapter->HostPanel(), nullptr) << "a raw panel window has no framework panel";
  EXPECT_EQ(panelAdapter->CommonData()->SkinSection(), "GROUPBOX");
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(inner, 80, 50), kBoxFace);
  EXPECT_EQ(WindowPixel(panel, 0, 0), kBorder[0]);
  EXPECT_EQ(WindowPixel(panel, 4, 50), kFace[0]) << "the frame is the skin's";
  SendMessageA(panel, WM_THEMECHANGED, 0, 0);  // nothing to recolour, nothing touched
  ktest::SaveScreenshot(window.Wnd(), "panel_adapters");
  DestroyWindow(panel);
  EXPECT_TRUE(panelAdapter->Detached());
}

}  // namespace
