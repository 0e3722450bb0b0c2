// The skin and form the skinned containers' window tests share: the group box, panel and
// lowered panel sections each with a face of their own inside a three-pixel border, and a
// panel section that lets what lies behind it through.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "framework/FormsWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/TestSkinBuilderWin32.h"
#include "tests/support/UserInputWin32.h"

namespace containerstest {

// Colours as the screen shows them (0x00BBGGRR).
constexpr COLORREF kFormColor = 0x204080;
constexpr COLORREF kBorder = 0x0000C0;   // every border mask's outer three pixels
constexpr COLORREF kBoxFace = 0x60A0E0;  // GROUPBOX
constexpr COLORREF kBoxFont = 0x00A000;
constexpr COLORREF kPanelFace = 0xA0E060;  // PANEL
constexpr COLORREF kPanelFont = 0x600060;
constexpr COLORREF kLowBorder = 0xC0C000;  // PANEL_LOW's border
constexpr COLORREF kLowFace = 0xE060A0;    // PANEL_LOW

// Three 18 x 18 border masks, each a three-pixel border around its section's face.
inline ktest::TTestSkinBuilder Builder() {
  ktest::TTestSkinBuilder skin(60, 24);
  skin.Paint(TRect{0, 0, 18, 18}, kBorder)
      .Paint(TRect{3, 3, 15, 15}, kBoxFace)
      .Paint(TRect{20, 0, 38, 18}, kBorder)
      .Paint(TRect{23, 3, 35, 15}, kPanelFace)
      .Paint(TRect{40, 0, 58, 18}, kLowBorder)
      .Paint(TRect{43, 3, 55, 15}, kLowFace);
  skin.SolidSection("GROUPBOX", kBoxFace)
      .ColorKey("FONTCOLOR", kBoxFont)
      .Key("BORDERSMASK", ktest::BordersMask({0, 0}, {18, 18}, 3, 1));
  skin.SolidSection("PANEL", kPanelFace)
      .ColorKey("FONTCOLOR", kPanelFont)
      .Key("BORDERSMASK", ktest::BordersMask({20, 0}, {18, 18}, 3, 1));
  skin.SolidSection("PANEL_LOW", kLowFace)
      .ColorKey("FONTCOLOR", kPanelFont)
      .Key("BORDERSMASK", ktest::BordersMask({40, 0}, {18, 18}, 3, 1));
  // A panel section that lets everything behind it through.
  skin.Section("PANEL_CLEAR")
      .ColorKey("COLOR", kPanelFace)
      .Key("TRANSPARENCY", "100")
      .Key("STATES", "1");
  return skin;
}

struct SkinnedContainers : ktest::TSkinnedFormTest {
  void SetUp() override {
    Builder().AddTo(f, "Containers");
    form.Form->SetColor(static_cast<TColor>(kFormColor));
    ktest::ParkPointer();  // nothing starts hot
  }
  void ApplySkin() { LoadAndTell("Containers", true); }
};

using ktest::CountPixels;
using ktest::Near;

}  // namespace containerstest
