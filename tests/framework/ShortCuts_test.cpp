#include "framework/ShortCuts.h"

#include <gtest/gtest.h>

#include "framework/VirtualKeys.h"

TEST(ShortCuts, TextAndCodeConvertBothWays) {
  struct Case {
    TShortCut code;
    const char* text;
  } cases[] = {
      {scCtrl | 'O', "Ctrl+O"},
      {scShift | scCtrl | vkF5, "Shift+Ctrl+F5"},
      {scAlt | vkF4, "Alt+F4"},
      {vkDelete, "Del"},
      {vkInsert, "Ins"},
      {scCtrl | vkReturn, "Ctrl+Enter"},
      {vkEscape, "Esc"},
      {scShift | vkSpace, "Shift+Space"},
      {vkPrior, "PgUp"},
      {vkNext, "PgDn"},
      {scCtrl | vkHome, "Ctrl+Home"},
      {vkBack, "BkSp"},
      {vkTab, "Tab"},
      {scCtrl | '5', "Ctrl+5"},
      {0x87, "F24"},
      {scCtrl | scAlt | vkLeft, "Ctrl+Alt+Left"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.code), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.code) << c.text;
  }
}

TEST(ShortCuts, ParsingIgnoresCaseAndModifierOrder) {
  EXPECT_EQ(TextToShortCut("ctrl+o"), scCtrl | 'O');
  EXPECT_EQ(TextToShortCut("Ctrl+Shift+F5"), scShift | scCtrl | vkF5);
  EXPECT_EQ(TextToShortCut(" Alt+x "), scAlt | 'X');
  EXPECT_EQ(TextToShortCut(""), scNone);
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), scNone);
  EXPECT_EQ(TextToShortCut("Hyper+O"), scNone);
#ifndef _WIN32
  EXPECT_EQ(ShortCutToText(scCtrl | 0xBA), "");  // punctuation is named only by Windows
#endif
  EXPECT_EQ(ShortCutToText(vkNumpad0 + 3), "3");
}

TEST(ShortCuts, KeyAndShiftStateCombine) {
  EXPECT_EQ(ShortCut('S', TShiftState{ssCtrl, ssShift}), scCtrl | scShift | 'S');
  EXPECT_EQ(ShortCut(0x1234, TShiftState{}), scNone);
  uint16_t key;
  TShiftState shift;
  ShortCutToKey(scAlt | vkF1, key, shift);
  EXPECT_EQ(key, vkF1);
  EXPECT_EQ(shift, TShiftState{ssAlt});
}
