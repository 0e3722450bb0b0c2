#include "skin/controls/sComboBoxGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(ComboBoxGeometry, TheButtonSitsTwoPixelsInOnTheReadingSide) {
  struct TCase {
    bool RightToLeft;
    TsComboKind Kind;
    TRect Button;
  } const cases[] = {
      {false, TsComboKind::DropDown, TRect{41, 2, 58, 19}},
      {false, TsComboKind::DropDownList, TRect{41, 2, 58, 19}},
      {true, TsComboKind::DropDown, TRect{2, 2, 19, 19}},
      // A simple combo box has no button.
      {false, TsComboKind::Simple, TRect{58, 2, 58, 19}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.RightToLeft << static_cast<int>(c.Kind));
    EXPECT_EQ(ComboButtonRect(60, 21, 17, c.RightToLeft, c.Kind), c.Button);
  }
}

TEST(ComboBoxGeometry, ArrowItemAndCacheFollowTheButton) {
  const TRect button{41, 2, 58, 19};
  EXPECT_EQ(ComboArrowPlace(button, 21, 9, 5), (TPoint{45, 8}));
  EXPECT_EQ(ComboArrowPlace(button, 21, 17, 21), (TPoint{41, 0}));
  EXPECT_EQ(ComboItemRect(button, 21), (TRect{3, 3, 40, 18}));
  EXPECT_EQ(ComboCacheHeight(TsComboKind::DropDown, 21, 16), 21);
  EXPECT_EQ(ComboCacheHeight(TsComboKind::Simple, 120, 16), 24);
}

TEST(ComboBoxGeometry, ButtonLookAndWhatAPaintCopies) {
  EXPECT_EQ(ComboButtonState(true, false), 2);
  EXPECT_EQ(ComboButtonState(true, true), 2);
  EXPECT_EQ(ComboButtonState(false, true), 1);
  EXPECT_EQ(ComboButtonState(false, false), 0);
  struct TCase {
    TsComboKind Kind;
    bool Focused;
    TsComboCopy Copy;
  } const cases[] = {
      {TsComboKind::DropDown, false, TsComboCopy::Whole},
      {TsComboKind::DropDown, true, TsComboCopy::FrameAndButton},
      {TsComboKind::Simple, false, TsComboCopy::Frame},
      {TsComboKind::Simple, true, TsComboCopy::Frame},
      {TsComboKind::DropDownList, true, TsComboCopy::Whole},
  };
  for (const TCase& c : cases) EXPECT_EQ(ComboPaintCopy(c.Kind, c.Focused), c.Copy);
}

TEST(ComboBoxGeometry, AReadOnlyBoxRefusesTheKeysThatWouldChangeIt) {
  for (int key : {32, 33, 35, 36, 37, 38, 39, 40, 57, 65, 77, 90})
    EXPECT_TRUE(ComboKeyChangesSelection(key)) << key;
  // Tab, Enter, Escape, the digits but 9, the function keys.
  for (int key : {9, 13, 27, 31, 41, 48, 56, 58, 64, 91, 112})
    EXPECT_FALSE(ComboKeyChangesSelection(key)) << key;
}

}  // namespace
