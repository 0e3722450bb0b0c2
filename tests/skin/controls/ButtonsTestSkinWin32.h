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
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/TestSkinBuilderWin32.h"
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
constexpr COLORREF kDividerMask = 0x8000FF;  // the divider's border mask

inline std::string C(COLORREF v) { return ktest::SkinColor(v); }

// The 3-state border mask (54 x 18) and the 3-state check glyphs (48 x 16 each) of the master
// bitmap; each section the buttons' tests show.
inline ktest::TTestSkinBuilder Builder() {
  ktest::TTestSkinBuilder skin(64, 64);
  for (int s = 0; s < 3; ++s) {
    skin.Paint(Bounds(18 * s, 0, 18, 18), kBorder[s])
        .Paint(Bounds(18 * s + 3, 3, 12, 12), kFace[s])
        .Paint(Bounds(16 * s, 20, 16, 16), kCheck[s])
        .Paint(Bounds(16 * s, 40, 16, 16), kUncheck[s]);
  }
  // The divider's mask: a strip 4 pixels wide.
  skin.Paint(Bounds(56, 0, 4, 18), kDividerMask);
  skin.ColorKey("FONTCOLOR", kFont)
      .Key("BOXCHECKED", "@0000,0020,0048,0036,3,0")
      .Key("BOXUNCHECKED", "@0000,0040,0048,0056,3,0")
      .Key("BOXGRAYED", "@0000,0040,0048,0056,3,0");
  const auto look = [&](const char* name, COLORREF face, COLORREF hot, bool mask) {
    skin.Section(name)
        .ColorKey("COLOR", face)
        .ColorKey("HOTCOLOR", hot)
        .ColorKey("FONTCOLOR", kFont)
        .ColorKey("HOTFONTCOLOR", kFont)
        .Key("TRANSPARENCY", "0")
        .Key("HOTTRANSPARENCY", "0")
        .Key("STATES", "3")
        .Key("FADINGENABLED", "1")
        .Key("FADINGITERATIONS", "5")
        .Key("SHOWFOCUS", "1");
    if (mask) skin.Key("BORDERSMASK", ktest::BordersMask({0, 0}, {18, 18}, 3, 3));
  };
  look("BUTTON", kFace[0], kFace[1], true);
  look("SPEEDBUTTON", kFace[0], kFace[1], true);
  look("TOOLBUTTON", kFace[0], kFace[1], true);
  look("CHECKBOX", kBoxFace, kBoxFace, false);
  skin.SolidSection("TOOLBAR", kBar).Key("FONTCOLOR", "0");
  skin.SolidSection("DIVIDER", kDivider)
      .Key("BORDERSMASK", ktest::BordersMask({56, 0}, {4, 18}, 1, 1));
  return skin;
}

inline std::vector<uint8_t> Master() { return Builder().Master(); }
inline std::string Skin() { return Builder().Ini(); }

struct SkinnedButtons : ktest::TSkinnedFormTest {
  void SetUp() override {
    Builder().AddTo(f, "Buttons");
    form.Form->SetColor(static_cast<TColor>(kFormColor));
    ktest::ParkPointer();  // nothing starts hot
  }
  // Loads the skin and tells the form's controls, as a skinned form tells its children.
  void ApplySkin() { LoadAndTell("Buttons", false); }
};

// The left mouse button pressed or released where the pointer is, through the input queue.
inline bool LeftButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  return ktest::SendInputAndHandle({in});
}

using ktest::CountPixels;
using ktest::Near;

}  // namespace buttonstest
