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
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/TestSkinBuilderWin32.h"
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
constexpr COLORREF kComboFace = 0x60D0F0;    // COMBOBOX, framed without a face of the mask
constexpr COLORREF kComboFont = 0x303030;
constexpr COLORREF kComboButton = 0xA0A040;  // COMBOBTN
constexpr COLORREF kArrow = 0x008000;        // COMBOBOX's GLYPHMASK: a solid 8 x 6 block
constexpr COLORREF kSelection = 0xC06000;    // SELECTION: a selected item's background
constexpr COLORREF kSelectionFont = 0xF0F0F0;
constexpr COLORREF kHeader = 0xC08080;     // COLHEADER: column headers
constexpr COLORREF kHeaderHot = 0x804040;  // COLHEADER hot and pressed

inline std::string C(COLORREF v) { return ktest::SkinColor(v); }

// An 18 x 18 border mask (a three-pixel border around the face) and a divider; each section
// the controls' tests show.
inline ktest::TTestSkinBuilder Builder() {
  ktest::TTestSkinBuilder skin(40, 24);
  skin.Paint(TRect{0, 0, 18, 18}, kBorder)
      .Paint(TRect{3, 3, 15, 15}, kEditFace)
      .Paint(TRect{20, 0, 26, 18}, kDivider)
      .Paint(TRect{28, 0, 36, 6}, kArrow)
      .ColorKey("FONTCOLOR", kGlobalFont);
  skin.SolidSection("EDIT", kEditFace)
      .ColorKey("FONTCOLOR", kEditFont)
      .Key("BORDERSMASK", ktest::BordersMask({0, 0}, {18, 18}, 3, 1));
  skin.SolidSection("GROUPBOX", kFormColor).ColorKey("FONTCOLOR", kBoxFont).Key("GIVEOWNFONT", "1");
  skin.SolidSection("GAUGE", kGaugeFace).ColorKey("FONTCOLOR", kGaugeFont);
  skin.SolidSection("PROGRESSH", kProgress).ColorKey("FONTCOLOR", kProgressFont);
  skin.SolidSection("PROGRESSV", kProgressV).ColorKey("FONTCOLOR", kProgressFont);
  skin.SolidSection("STATUSBAR", kBarFace).ColorKey("FONTCOLOR", kBarFont);
  skin.SolidSection("DIVIDER", kDivider)
      .Key("BORDERSMASK", ktest::BordersMask({20, 0}, {6, 18}, 1, 1));
  skin.SolidSection("SPEEDBUTTON_SMALL", kSmallButton).ColorKey("FONTCOLOR", kEditFont);
  // The combo box's frame leaves its face to the section's colour (the mask paints no centre).
  skin.SolidSection("COMBOBOX", kComboFace)
      .ColorKey("FONTCOLOR", kComboFont)
      .Key("BORDERSMASK", "^0000,0000,0018,0018,0003,0003,0003,0003,1,0,0,0")
      .Key("GLYPHMASK", "@0028,0000,0036,0006,1,0");
  skin.SolidSection("COMBOBTN", kComboButton).ColorKey("FONTCOLOR", kComboFont);
  skin.SolidSection("SELECTION", kSelection).ColorKey("FONTCOLOR", kSelectionFont);
  skin.SolidSection("COLHEADER", kHeader, 3)
      .ColorKey("HOTCOLOR", kHeaderHot)
      .Key("FONTCOLOR", "0")
      .Key("HOTFONTCOLOR", "0")
      .Key("HOTTRANSPARENCY", "0");
  return skin;
}

inline std::vector<uint8_t> Master() { return Builder().Master(); }
inline std::string Skin() { return Builder().Ini(); }

struct SkinnedControls : ktest::TSkinnedFormTest {
  void SetUp() override {
    Builder().AddTo(f, "Controls");
    form.Form->SetColor(static_cast<TColor>(kFormColor));
    ktest::MoveMouse(POINT{5, 5});  // away from the form: nothing starts hot
  }
  // Loads the skin and tells the form's controls, as a skinned form tells its children.
  void ApplySkin() { LoadAndTell("Controls", true); }
};

using ktest::CountClientPixels;
using ktest::Near;

}  // namespace controlstest
