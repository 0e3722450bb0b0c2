// The skin and form the skinned buttons' window tests share: the button sections in solid
// colours of their own, a border mask whose three state images have a three-pixel border and a
// face each in a colour of their own (so a pixel tells the look), and a form whose controls
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

namespace buttonstest {

// Colours as the screen shows them (0x00BBGGRR).
constexpr COLORREF kFormColor = 0x204080;
constexpr COLORREF kBorder[3] = {0x0000C0, 0x00C000, 0xC00000};  // normal, hot, pressed
constexpr COLORREF kFace[3] = {0x40E0E0, 0xE0E040, 0xE040E0};
constexpr COLORREF kFont = 0x101010;
constexpr COLORREF kBoxFace = 0x80C0C0;                         // CHECKBOX
constexpr COLORREF kCheck[3] = {0x3030F0, 0x30F030, 0xF03030};  // the check glyph's states
constexpr COLORREF kUncheck[3] = {0x606060, 0x909090, 0xB0B0B0};
constexpr COLORREF kBar = 0xA0A0A0;  // TOOLBAR
constexpr COLORREF kDivider = 0x00FFFF;

inline std::string C(COLORREF v) { return std::to_string(v); }

// The master bitmap: the 3-state border mask (54 x 18) and the 3-state check glyphs
// (48 x 16 each).
inline std::vector<uint8_t> Master() {
  std::vector<skintest::TColorRect> parts;
  for (int s = 0; s < 3; ++s) {
    parts.push_back({Bounds(18 * s, 0, 18, 18), static_cast<TColor>(kBorder[s])});
    parts.push_back({Bounds(18 * s + 3, 3, 12, 12), static_cast<TColor>(kFace[s])});
    parts.push_back({Bounds(16 * s, 20, 16, 16), static_cast<TColor>(kCheck[s])});
    parts.push_back({Bounds(16 * s, 40, 16, 16), static_cast<TColor>(kUncheck[s])});
  }
  return skintest::BmpFile(64, 64, static_cast<TColor>(0xFFFFFF), parts);
}

inline std::string Skin() {
  const std::string mask = "BORDERSMASK=^0000,0000,0054,0018,0003,0003,0003,0003,3,0,4,0\n";
  const std::string look = "\nFONTCOLOR=" + C(kFont) + "\nHOTFONTCOLOR=" + C(kFont) +
                           "\nTRANSPARENCY=0\nHOTTRANSPARENCY=0\nSTATES=3\n"
                           "FADINGENABLED=1\nFADINGITERATIONS=5\nSHOWFOCUS=1\n";
  return "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nCOLOR=8421504\nFONTCOLOR=" + C(kFont) +
         "\nBOXCHECKED=@0000,0020,0048,0036,3,0\nBOXUNCHECKED=@0000,0040,0048,0056,3,0\n"
         "BOXGRAYED=@0000,0040,0048,0056,3,0\n"
         "[BUTTON]\nCOLOR=" +
         C(kFace[0]) + "\nHOTCOLOR=" + C(kFace[1]) + look + mask +
         "[SPEEDBUTTON]\nCOLOR=" + C(kFace[0]) + "\nHOTCOLOR=" + C(kFace[1]) + look + mask +
         "[TOOLBUTTON]\nCOLOR=" + C(kFace[0]) + "\nHOTCOLOR=" + C(kFace[1]) + look + mask +
         "[CHECKBOX]\nCOLOR=" + C(kBoxFace) + "\nHOTCOLOR=" + C(kBoxFace) + look +
         "[TOOLBAR]\nCOLOR=" + C(kBar) +
         "\nFONTCOLOR=0\nTRANSPARENCY=0\nSTATES=1\n"
         "[DIVIDER]\nCOLOR=" +
         C(kDivider) + "\nTRANSPARENCY=0\nSTATES=1\n";
}

struct SkinnedButtons : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    f.AddFolderSkin("Buttons", Skin(), {{"MASTER.BMP", Master()}});
    form.Form->SetColor(static_cast<TColor>(kFormColor));
    ktest::ParkPointer();  // nothing starts hot
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    ktest::Pump();
  }
  // Loads the skin and tells the form's controls, as a skinned form tells its children.
  void ApplySkin() {
    f.Manager->SetSkinName("Buttons");
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

// The left mouse button pressed or released where the pointer is, through the input queue.
inline bool LeftButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  return ktest::SendInputAndHandle({in});
}

// Each channel within `tolerance` of the expected colour.
inline bool Near(COLORREF actual, COLORREF expected, int tolerance = 2) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (a - e > tolerance || e - a > tolerance) return false;
  }
  return true;
}

// How many pixels of the window show exactly that colour.
inline int CountPixels(HWND wnd, COLORREF colour) {
  ktest::TScreenshot shot;
  if (!ktest::CaptureWindow(wnd, shot)) return -1;
  int count = 0;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) count += shot.ColorAt(x, y) == colour;
  return count;
}

}  // namespace buttonstest
