// The skinned combo box under Wine: the closed box painted from its section with the skin's
// button and arrow, its current item in the selection colours while it has the focus, items
// chosen with the mouse and the keyboard with and without a skin, skinned bars in a list that
// holds more items than it shows, and a read-only box that refuses every change.
#include "skin/controls/sComboBoxWin32.h"

#include <gtest/gtest.h>

#include "skin/controls/sComboBoxGeometry.h"
#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::PumpUntil;
using ktest::Settle;
using ktest::WindowPixel;

struct SkinnedCombo : SkinnedControls {
  TsComboBox* AddCombo(TComboBoxStyle style, int items, int left = 20, int top = 20) {
    auto* box = form.Add<TsComboBox>();
    box->SetName("Combo" + std::to_string(++count));
    box->SetStyle(style);
    box->SetBounds(left, top, 100, 21);
    for (int i = 0; i < items; ++i) box->Items()->Add("Item " + std::to_string(i));
    box->SetItemIndex(0);
    return box;
  }
  static HWND ListOf(TsComboBox* box) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(box->Handle(), &info);
    return info.hwndList;
  }
  // The screen point in the middle of the dropped list's item.
  static POINT ListItemPoint(TsComboBox* box, int index) {
    RECT r{};
    SendMessageA(ListOf(box), LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(ListOf(box), &p);
    return p;
  }
  static POINT ButtonPoint(TsComboBox* box) {
    RECT r{};
    GetWindowRect(box->Handle(), &r);
    return POINT{r.right - 8, (r.top + r.bottom) / 2};
  }
  int count = 0;
};

TEST_F(SkinnedCombo, TheClosedBoxShowsItsSectionButtonAndArrow) {
  TsComboBox* box = AddCombo(csDropDownList, 3);
  form.Show();
  ApplySkin();
  HWND wnd = box->Handle();
  EXPECT_EQ(box->SkinData()->SkinSection(), "COMBOBOX");
  const TRect button = ComboButtonRect(box->Width(), box->Height(), GetSystemMetrics(SM_CXVSCROLL),
                                       false, TsComboKind::DropDownList);
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_EQ(WindowPixel(wnd, box->Width() - 1, box->Height() - 1), kBorder);
  // The current item shows the box's face behind its text while the box has no focus.
  EXPECT_EQ(WindowPixel(wnd, button.Left - 3, box->Height() / 2), kComboFace);
  EXPECT_EQ(WindowPixel(wnd, button.Left + 1, button.Top + 1), kComboButton);
  const TPoint arrow = ComboArrowPlace(button, box->Height(), 8, 6);
  EXPECT_EQ(WindowPixel(wnd, arrow.X + 4, arrow.Y + 3), kArrow);
  ktest::SaveScreenshot(Wnd(), "combo-closed");
}

TEST_F(SkinnedCombo, TheCurrentItemShowsTheSelectionWhileTheBoxHasTheFocus) {
  TsComboBox* box = AddCombo(csDropDownList, 3);
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  box->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == box->Handle(); }));
  Settle(Wnd());
  const TRect button = ComboButtonRect(box->Width(), box->Height(), GetSystemMetrics(SM_CXVSCROLL),
                                       false, TsComboKind::DropDownList);
  EXPECT_EQ(WindowPixel(box->Handle(), button.Left - 3, box->Height() / 2), kSelection);
}

// Each box is chosen from by the mouse (drop the list at the button, click an item) and by the
// keyboard (the down arrow on the focused box), skinned and with the standard look.
TEST_F(SkinnedCombo, ItemsAreChosenByMouseAndKeyboardWithAndWithoutTheSkin) {
  for (bool skinned : {true, false}) {
    for (TComboBoxStyle style : {csDropDownList, csDropDown}) {
      SCOPED_TRACE(testing::Message() << "skinned " << skinned << " style " << style);
      TsComboBox* box = AddCombo(style, 5, 20, 20 + 30 * count);
      form.Show();
      if (skinned)
        ApplySkin();
      else
        RemoveSkin();
      Settle(Wnd());
      SetForegroundWindow(Wnd());
      ktest::Click(ButtonPoint(box));
      ASSERT_TRUE(PumpUntil([&] { return box->DroppedDown(); }));
      if (skinned) {
        EXPECT_TRUE(box->ListDropped());
      }
      ktest::Click(ListItemPoint(box, 3));
      ASSERT_TRUE(PumpUntil([&] { return !box->DroppedDown() && box->ItemIndex() == 3; }))
          << box->ItemIndex();
      EXPECT_EQ(box->Text(), "Item 3");
      EXPECT_FALSE(box->ListDropped());
      ASSERT_TRUE(PumpUntil([&] { return box->Focused(); }));
      ktest::PressKey(VK_DOWN);
      EXPECT_TRUE(PumpUntil([&] { return box->ItemIndex() == 4; })) << box->ItemIndex();
      ktest::PressKey(VK_UP);
      EXPECT_TRUE(PumpUntil([&] { return box->ItemIndex() == 3; })) << box->ItemIndex();
      if (skinned) {
        EXPECT_EQ(WindowPixel(box->Handle(), 0, 0), kBorder);
      } else {
        EXPECT_NE(WindowPixel(box->Handle(), 0, 0), kBorder);
      }
    }
  }
}

TEST_F(SkinnedCombo, AReadOnlyBoxKeepsItsListClosedAndItsItem) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(testing::Message() << "skinned " << skinned);
    TsComboBox* box = AddCombo(csDropDownList, 5, 20, 20 + 30 * count);
    box->SetItemIndex(1);
    box->SetReadOnly(true);
    int doubleClicks = 0;
    box->SetOnDblClick(TNotifyEvent([&](TObject*) { ++doubleClicks; }));
    form.Show();
    if (skinned)
      ApplySkin();
    else
      RemoveSkin();
    SetForegroundWindow(Wnd());
    ktest::Click(ButtonPoint(box));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == box->Handle(); })) << "the click focuses";
    Settle(Wnd());
    EXPECT_FALSE(box->DroppedDown());
    for (int key : {VK_DOWN, VK_UP, VK_END, VK_SPACE, int{'I'}, VK_F4})
      ktest::PressKey(static_cast<WORD>(key));
    ktest::PressKeys({VK_MENU}, VK_DOWN);
    Settle(Wnd());
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_EQ(box->Text(), "Item 1");
    // A list opened by the program is closed again at once.
    box->SetDroppedDown(true);
    EXPECT_TRUE(PumpUntil([&] { return !box->DroppedDown(); }));
    ktest::DoubleClick(ButtonPoint(box));
    EXPECT_TRUE(PumpUntil([&] { return doubleClicks == 1; })) << doubleClicks;
    EXPECT_EQ(box->ItemIndex(), 1);
  }
}

TEST_F(SkinnedCombo, AListWithMoreItemsThanItShowsGetsSkinnedBars) {
  TsComboBox* many = AddCombo(csDropDownList, 20, 20, 20);
  TsComboBox* few = AddCombo(csDropDownList, 10, 160, 20);
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  for (TsComboBox* box : {many, few}) {
    ktest::Click(ButtonPoint(box));
    ASSERT_TRUE(PumpUntil([&] { return box->DroppedDown(); }));
    Settle(Wnd());
    if (box == many) {
      ASSERT_NE(box->DropListAdapter(), nullptr);
      EXPECT_TRUE(box->DropListAdapter()->VertBar && box->DropListAdapter()->VertBar->Shown);
      ktest::SaveScreenshot(nullptr, "combo-dropped-many");
    } else {
      EXPECT_EQ(box->DropListAdapter(), nullptr);
    }
    ktest::PressKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return !box->DroppedDown(); }));
  }
  RemoveSkin();
  EXPECT_EQ(many->DropListAdapter(), nullptr);
  EXPECT_EQ(many->Color(), clWindow);
}

}  // namespace
