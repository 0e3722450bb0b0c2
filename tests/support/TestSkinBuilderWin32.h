// The test skins of the window tests, made in code: a master bitmap of solid rectangles and
// an INI of sections in solid colours, each test naming the sections it needs; and the form
// whose controls hear that skin's changes as a skinned form's children do.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/Types.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"

namespace ktest {

// A colour as the skin INI writes it (the screen's 0x00BBGGRR as a decimal number).
std::string SkinColor(COLORREF colour);

// A border mask's value: `states` images of `size` side by side from `origin` of the master
// bitmap, each with a border `border` pixels wide on every side.
std::string BordersMask(TPoint origin, TSize size, int border, int states);

class TTestSkinBuilder {
 public:
  // The master bitmap (white where nothing is painted) and GLOBALINFO with it and a grey
  // colour.
  TTestSkinBuilder(int masterWidth, int masterHeight);

  // A rectangle of the master bitmap in one colour.
  TTestSkinBuilder& Paint(const TRect& r, COLORREF colour);
  // Starts a section; the keys that follow belong to it (before the first, to GLOBALINFO).
  TTestSkinBuilder& Section(const std::string& name);
  // A section in one colour that lets nothing through: COLOR, TRANSPARENCY=0 and STATES.
  TTestSkinBuilder& SolidSection(const std::string& name, COLORREF colour, int states = 1);
  TTestSkinBuilder& Key(const std::string& key, const std::string& value);
  TTestSkinBuilder& ColorKey(const std::string& key, COLORREF colour);
  // Text added as it is after the last section (keys written out by a test).
  TTestSkinBuilder& Raw(const std::string& text);

  std::string Ini() const;
  std::vector<uint8_t> Master() const;
  // The skin as a skin folder named `name` of the fixture's file system.
  void AddTo(skintest::TManagerFixture& fixture, const std::string& name) const;

 private:
  int width_;
  int height_;
  std::vector<skintest::TColorRect> rects_;
  std::string ini_;
};

// A form on the screen with the test skin's manager: the skin is loaded by name and the
// form's controls are told of it, as a skinned form tells its children.
struct TSkinnedFormTest : ::testing::Test {
  static void SetUpTestSuite();
  void TearDown() override;
  // Loads the skin and tells the form's controls; `activate` first switches a manager on
  // that a removal switched off.
  void LoadAndTell(const std::string& name, bool activate);
  // Switches the manager off and tells the form's controls.
  void RemoveSkin();
  // The command from our own thread with the manager in LParam to each control of the form.
  void Tell(int cmd);
  HWND Wnd() { return form.Form->Handle(); }

  skintest::TManagerFixture f;
  TFormGuard form;
};

// Each channel within `tolerance` of the expected colour.
bool Near(COLORREF actual, COLORREF expected, int tolerance = 2);
// How many pixels of the window show exactly that colour (-1: the window could not be read).
int CountPixels(HWND wnd, COLORREF colour);
// How many pixels of the window's client rectangle r show exactly that colour.
int CountClientPixels(HWND wnd, const TRect& r, COLORREF colour);

}  // namespace ktest
