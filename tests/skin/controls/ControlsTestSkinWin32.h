// The skin and form the skinned controls' window tests share: each section in a solid colour
// of its own, a border mask with a three-pixel border around a face, a form whose controls
// hear the skin's changes as a skinned form's children do.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/FormsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace controlstest {

// Colours as the screen shows them (0x00BBGGRR).
constexpr COLORREF kFormColor = 0x204080;   // the form's own colour, behind every control
constexpr COLORREF kGlobalFont = 0x0000A0;  // GLOBALINFO's font colour
constexpr COLORREF kBorder = 0x0000C0;      // the border mask's outer three pixels
constexpr COLORREF kEditFace = 0x40E0E0;    // EDIT's colour and the mask's inside
constexpr COLORREF kEditFont = 0x101010;
constexpr COLORREF kBoxFont = 0x00A000;    // GROUPBOX gives its own font colour
constexpr COLORREF kHoverLink = 0x0000FF;  // no top shadow colour: the hover link is red
constexpr COLORREF kLink = 0xFF0000;       // no bottom shadow colour: the link is blue
constexpr COLORREF kGaugeFace = 0xE0C0A0;  // GAUGE
constexpr COLORREF kGaugeFont = 0x400000;
constexpr COLORREF kProgress = 0x00C000;  // PROGRESSH: the filled part of a bar
constexpr COLORREF kProgressFont = 0xF0F0F0;
constexpr COLORREF kProgressV = 0xC000C0;  // PROGRESSV: the filled part of an upright bar
constexpr COLORREF kBarFace = 0xB0D0B0;    // STATUSBAR
constexpr COLORREF kBarFont = 0x800000;
constexpr COLORREF kDivider = 0x0080FF;      // DIVIDER: two pixels between panels
constexpr COLORREF kSmallButton = 0xA06020;  // SPEEDBUTTON_SMALL: a combo edit's button

// The master bitmap: an 18 x 18 border mask (a three-pixel border around the face).
inline std::vector<uint8_t> Master() {
  return skintest::BmpFile(40, 24, static_cast<TColor>(0xFFFFFF),
                           {{TRect{0, 0, 18, 18}, static_cast<TColor>(kBorder)},
                            {TRect{3, 3, 15, 15}, static_cast<TColor>(kEditFace)},
                            {TRect{20, 0, 26, 18}, static_cast<TColor>(kDivider)}});
}

inline std::string C(COLORREF v) { return std::to_string(v); }

inline std::string Skin() {
  return "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nCOLOR=8421504\nFONTCOLOR=" + C(kGlobalFont) +
         "\n"
         "[EDIT]\nCOLOR=" +
         C(kEditFace) + "\nFONTCOLOR=" + C(kEditFont) +
         "\nTRANSPARENCY=0\nSTATES=1\n"
         "BORDERSMASK=^0000,0000,0018,0018,0003,0003,0003,0003,1,0,4,0\n"
         "[GROUPBOX]\nCOLOR=" +
         C(kFormColor) + "\nFONTCOLOR=" + C(kBoxFont) +
         "\nTRANSPARENCY=0\nSTATES=1\nGIVEOWNFONT=1\n"
         "[GAUGE]\nCOLOR=" +
         C(kGaugeFace) + "\nFONTCOLOR=" + C(kGaugeFont) +
         "\nTRANSPARENCY=0\nSTATES=1\n"
         "[PROGRESSH]\nCOLOR=" +
         C(kProgress) + "\nFONTCOLOR=" + C(kProgressFont) +
         "\nTRANSPARENCY=0\nSTATES=1\n"
         "[PROGRESSV]\nCOLOR=" +
         C(kProgressV) + "\nFONTCOLOR=" + C(kProgressFont) +
         "\nTRANSPARENCY=0\nSTATES=1\n"
         "[STATUSBAR]\nCOLOR=" +
         C(kBarFace) + "\nFONTCOLOR=" + C(kBarFont) +
         "\nTRANSPARENCY=0\nSTATES=1\n"
         "[DIVIDER]\nCOLOR=" +
         C(kDivider) +
         "\nTRANSPARENCY=0\nSTATES=1\n"
         "BORDERSMASK=^0020,0000,0026,0018,0001,0001,0001,0001,1,0,4,0\n"
         "[SPEEDBUTTON_SMALL]\nCOLOR=" +
         C(kSmallButton) + "\nFONTCOLOR=" + C(kEditFont) + "\nTRANSPARENCY=0\nSTATES=1\n";
}

struct SkinnedControls : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    f.AddFolderSkin("Controls", Skin(), {{"MASTER.BMP", Master()}});
    form.Form->SetColor(static_cast<TColor>(kFormColor));
    ktest::MoveMouse(POINT{5, 5});  // away from the form: nothing starts hot
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    ktest::Pump();
  }
  // Loads the skin and tells the form's controls, as a skinned form tells its children.
  void ApplySkin() {
    f.Manager->SetSkinName("Controls");
    if (!f.Manager->Active()) f.Manager->SetActive(true);
    ASSERT_EQ(f.Manager->LastLoadError(), "");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    Tell(CmdSkinChanged);
  }
  void RemoveSkin() {
    f.Manager->SetActive(false);
    Tell(CmdRemoveSkin);
  }
  void Tell(int cmd) {
    BroadcastToChildren(
        form.Form, TSkinCmdMessage{cmd, 0, reinterpret_cast<intptr_t>(f.Manager.get()), 0, true});
    ktest::Settle(form.Form->Handle());
  }
  HWND Wnd() { return form.Form->Handle(); }

  skintest::TManagerFixture f;
  ktest::TFormGuard form;
};

// Each channel within `tolerance` of the expected colour.
inline bool Near(COLORREF actual, COLORREF expected, int tolerance = 2) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (a - e > tolerance || e - a > tolerance) return false;
  }
  return true;
}

// How many pixels of the form's client rectangle r show exactly that colour.
inline int CountClientPixels(HWND wnd, const TRect& r, COLORREF colour) {
  ktest::TScreenshot shot;
  HDC dc = GetDC(wnd);
  const bool read = ktest::CaptureArea(dc, r.Left, r.Top, r.Width(), r.Height(), shot);
  ReleaseDC(wnd, dc);
  if (!read) return -1;
  int count = 0;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) count += shot.ColorAt(x, y) == colour;
  return count;
}

}  // namespace controlstest
