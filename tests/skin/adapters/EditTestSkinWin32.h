// The skin and form the edit-like adapters' window tests share: a border mask with a
// three-pixel border around each face, a combo button and glyph, a column header and scroll
// bars, each in a colour of its own, and a form whose controls are adopted with skin data of
// their own.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/FormsWin32.h"
#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/TestSkinBuilderWin32.h"
#include "tests/support/UserInputWin32.h"

namespace edittest {

using ktest::PumpUntil;
using ktest::Settle;
using ktest::WindowPixel;

// Colours as the screen shows them (0x00BBGGRR).
constexpr COLORREF kBorder = 0x0000C0;     // the border mask's outer three pixels
constexpr COLORREF kEditFace = 0x40E0E0;   // EDIT's colour and the mask's inside
constexpr COLORREF kComboFace = 0xE0A040;  // COMBOBOX's colour and its mask's inside
constexpr COLORREF kButton = 0x30A030;     // COMBOBTN
constexpr COLORREF kButtonHot = 0x206020;  // COMBOBTN hot and pressed
constexpr COLORREF kGlyph = 0xA000A0;      // the combo box's glyph
constexpr COLORREF kArrow = 0x00FF00;      // the scroll bars' arrows
constexpr COLORREF kFont = 0x101010;
constexpr COLORREF kHeader = 0xC08080;     // COLHEADER
constexpr COLORREF kHeaderHot = 0x804040;  // COLHEADER hot and pressed

// Two 18 x 18 border masks (a three-pixel border around the face) and a 6 x 6 glyph in three
// states; each section the edit-like adapters show.
inline ktest::TTestSkinBuilder Builder() {
  ktest::TTestSkinBuilder skin(80, 24);
  skin.Paint(TRect{0, 0, 18, 18}, kBorder)
      .Paint(TRect{3, 3, 15, 15}, kEditFace)
      .Paint(TRect{20, 0, 38, 18}, kBorder)
      .Paint(TRect{23, 3, 35, 15}, kComboFace)
      .Paint(TRect{40, 0, 58, 6}, kGlyph)
      .Key("BORDERCOLOR", "255");
  skin.SolidSection("EDIT", kEditFace)
      .ColorKey("FONTCOLOR", kFont)
      .Key("BORDERSMASK", ktest::BordersMask({0, 0}, {18, 18}, 3, 1));
  skin.SolidSection("COMBOBOX", kComboFace)
      .ColorKey("FONTCOLOR", kFont)
      .Key("BORDERSMASK", ktest::BordersMask({20, 0}, {18, 18}, 3, 1))
      .Key("GLYPHMASK", "@0040,0000,0058,0006,3,0");
  skin.SolidSection("COMBOBTN", kButton, 3)
      .ColorKey("HOTCOLOR", kButtonHot)
      .Key("HOTTRANSPARENCY", "0");
  skin.SolidSection("COLHEADER", kHeader, 3)
      .ColorKey("HOTCOLOR", kHeaderHot)
      .Key("FONTCOLOR", "0")
      .Key("HOTFONTCOLOR", "0")
      .Key("HOTTRANSPARENCY", "0");
  skin.SolidSection("SCROLLBAR1V", 4210752);
  skin.SolidSection("SCROLLBAR2V", 12632256);
  skin.SolidSection("SCROLLBTNTOP", kArrow);
  skin.SolidSection("SCROLLBTNBOTTOM", kArrow);
  skin.SolidSection("SCROLLSLIDERV", 6348896);
  return skin;
}

inline std::vector<uint8_t> Master() { return Builder().Master(); }
inline std::string Skin() { return Builder().Ini(); }

struct EditAdapters : ::testing::Test {
  static void SetUpTestSuite() { Application->Initialize(); }
  void SetUp() override {
    Builder().AddTo(f, "Edits");
    f.Manager->SetSkinName("Edits");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    ktest::MoveMouse(POINT{5, 5});  // away from the form: nothing starts hot
  }
  // Adopts a control with skin data of its own.
  template <class TAdapter>
  std::unique_ptr<TAdapter> Adopt(TWinControl* control, const char* section) {
    hosts.push_back(std::make_unique<TControlSkinHost>(control));
    datas.push_back(std::make_unique<TsCommonData>(hosts.back().get(), true));
    return TskMainWnd::Make<TAdapter>(control->Handle(), datas.back().get(), nullptr, section,
                                      true);
  }
  skintest::TManagerFixture f;
  ktest::TFormGuard form;
  std::vector<std::unique_ptr<TControlSkinHost>> hosts;
  std::vector<std::unique_ptr<TsCommonData>> datas;
};

}  // namespace edittest
