// The skin and window the adapters of a dialog's windows are tested with: the buttons' test
// skin (a three-state border mask whose states differ in colour, check glyphs, BUTTON,
// CHECKBOX, TOOLBUTTON, TOOLBAR and DIVIDER) with the sections the other dialog windows need
// added, loaded by a manager with its run-time half (so the pointer makes windows hot), and a
// plain top-level window whose children are the system's own controls. The window counts the
// notifications its children send and draws owner-drawn buttons in a colour of its own.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/controls/ButtonsTestSkinWin32.h"

namespace dlgtest {

using namespace buttonstest;
using ktest::PumpUntil;
using ktest::Settle;
using ktest::WindowPixel;

// The common controls' notification codes the test window counts (commctrl.h's values).
constexpr UINT kNotifyClick = static_cast<UINT>(-2);     // NM_CLICK
constexpr UINT kNotifyReturn = static_cast<UINT>(-4);    // NM_RETURN
constexpr UINT kTabSelChange = static_cast<UINT>(-551);  // TCN_SELCHANGE

constexpr COLORREF kGroupFace = 0x60A0C0;   // GROUPBOX
constexpr COLORREF kOwnerDrawn = 0x00A0FF;  // what the test window draws for an owner-drawn button
constexpr COLORREF kGlobal = 0x808080;      // GLOBALINFO's colour: the plain window's background
constexpr COLORREF kEditFace = 0x50B0F0;    // EDIT
constexpr COLORREF kTrack = 0xB0D0B0;       // TRACKBAR
constexpr COLORREF kChannel = 0x2040A0;     // its SLIDERCHANNEL
constexpr COLORREF kThumb = 0xA02080;       // its SLIDERMASK
constexpr COLORREF kGrip = 0x10E0A0;        // GLOBALINFO's GRIPIMAGE
constexpr COLORREF kBarFace = 0x70D070;     // BAR: a raw tool bar of a dialog
constexpr COLORREF kPage = 0xD0A070;        // PAGECONTROL: a tab control's page frame

// The buttons' test skin with the parts and sections of the other dialog windows, in the
// master bitmap's free corners.
inline ktest::TTestSkinBuilder DialogSkinBuilder() {
  ktest::TTestSkinBuilder skin = Builder();
  skin.Paint(Bounds(48, 20, 6, 6), kChannel)
      .Paint(Bounds(48, 28, 11, 21), kThumb)
      .Paint(Bounds(0, 56, 8, 8), kGrip);
  const std::string mask = ktest::BordersMask({0, 0}, {18, 18}, 3, 3);
  skin.SolidSection("GROUPBOX", kGroupFace).ColorKey("FONTCOLOR", kFont).Key("BORDERSMASK", mask);
  skin.SolidSection("EDIT", kEditFace).ColorKey("FONTCOLOR", kFont).Key("BORDERSMASK", mask);
  skin.SolidSection("SPEEDBUTTON_SMALL", kFace[0], 3)
      .ColorKey("HOTCOLOR", kFace[1])
      .Key("HOTTRANSPARENCY", "0")
      .Key("FONTCOLOR", "0")
      .Key("BORDERSMASK", mask);
  skin.SolidSection("BAR", kBarFace).ColorKey("FONTCOLOR", kFont);
  skin.SolidSection("PAGECONTROL", kPage).ColorKey("FONTCOLOR", kFont);
  skin.SolidSection("TABTOP", kFace[0], 3)
      .ColorKey("HOTCOLOR", kFace[1])
      .Key("HOTTRANSPARENCY", "0")
      .ColorKey("FONTCOLOR", kFont)
      .ColorKey("HOTFONTCOLOR", kFont)
      .Key("BORDERSMASK", mask);
  skin.SolidSection("TRACKBAR", kTrack)
      .Key("FONTCOLOR", "0")
      .Key("SLIDERCHANNEL", "^0048,0020,0054,0026,0002,0002,0002,0002,1,0,4,0")
      .Key("SLIDERMASK", "@0048,0028,0059,0049,1,0");
  return skin;
}

inline std::string DialogSkin() {
  std::string ini = DialogSkinBuilder().Ini();
  // GLOBALINFO's radio glyphs and size grip.
  const std::string global = "[GLOBALINFO]\n";
  ini.insert(ini.find(global) + global.size(),
             "RADIOCHECKED=@0000,0020,0048,0036,3,0\nRADIOUNCHECKED=@0000,0040,0048,0056,3,0\n"
             "GRIPIMAGE=@0000,0056,0008,0064,1,0\n");
  return ini;
}

// What the test window heard from its children.
struct THeard {
  int Clicks = 0;
  int DrawItems = 0;
  UINT LastCommand = 0;
  int Scrolls = 0;     // WM_HSCROLL and WM_VSCROLL
  int LinkClicks = 0;  // NM_CLICK of a link
  int TabChanges = 0;  // TCN_SELCHANGE
};

class TTestWindow {
 public:
  TTestWindow() {
    static const ATOM atom = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = &TTestWindow::Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.lpszClassName = "KestravaAdapterTestWindow";
      return RegisterClassA(&wc);
    }();
    (void)atom;
    wnd_ = CreateWindowExA(0, "KestravaAdapterTestWindow", "Adapters",
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 80, 80, 480, 360, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&heard_));
  }
  ~TTestWindow() { DestroyWindow(wnd_); }
  TTestWindow(const TTestWindow&) = delete;
  TTestWindow& operator=(const TTestWindow&) = delete;

  HWND Wnd() const { return wnd_; }
  const THeard& Heard() const { return heard_; }
  void Show() {
    ShowWindow(wnd_, SW_SHOW);
    SetForegroundWindow(wnd_);
    Settle(wnd_);
  }
  HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
             DWORD exStyle = 0, int id = 100) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, wnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  }

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* heard = reinterpret_cast<THeard*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (heard && msg == WM_COMMAND) {
      heard->LastCommand = LOWORD(wp);
      if (HIWORD(wp) == BN_CLICKED) ++heard->Clicks;
    }
    if (heard && (msg == WM_HSCROLL || msg == WM_VSCROLL)) ++heard->Scrolls;
    if (heard && msg == WM_NOTIFY) {
      const auto* note = reinterpret_cast<const NMHDR*>(lp);
      if (note->code == kNotifyClick || note->code == kNotifyReturn) ++heard->LinkClicks;
      if (note->code == kTabSelChange) ++heard->TabChanges;
    }
    if (heard && msg == WM_DRAWITEM) {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      HBRUSH brush = CreateSolidBrush(kOwnerDrawn);
      FillRect(item->hDC, &item->rcItem, brush);
      DeleteObject(brush);
      ++heard->DrawItems;
      return TRUE;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
  }
  HWND wnd_ = nullptr;
  THeard heard_;
};

struct DialogAdapters : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    f.AddFolderSkin("Dialog", DialogSkin(), {{"MASTER.BMP", DialogSkinBuilder().Master()}});
    InstallSkinRuntime(*f.Manager);
    f.Manager->SetSkinName("Dialog");
    ASSERT_EQ(f.Manager->LastLoadError(), "");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    ktest::ParkPointer();  // nothing starts hot
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    ktest::Pump();
  }
  // The pointer over the window's point (window coordinates).
  bool PointAt(HWND child, int x, int y) {
    RECT r{};
    GetWindowRect(child, &r);
    return ktest::MovePointerTo(POINT{r.left + x, r.top + y});
  }

  skintest::TManagerFixture f;
  TTestWindow window;
};

}  // namespace dlgtest
