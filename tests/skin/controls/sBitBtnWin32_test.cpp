// The skinned bit button under Wine: each look (normal, hot, pressed, focused, disabled)
// painted from its section and read back, clicks, the space bar and an accelerator through
// real input, and the standard look without a skin.
#include "skin/controls/sBitBtnWin32.h"

#include <gtest/gtest.h>

#include "tests/skin/controls/ButtonsTestSkinWin32.h"

namespace {

using namespace buttonstest;
using ktest::PumpUntil;
using ktest::Settle;
using ktest::WindowPixel;

struct SkinnedBitBtn : SkinnedButtons {
  TsBitBtn* AddButton(const std::string& caption = "Go") {
    auto* button = form.Add<TsBitBtn>();
    button->SetBounds(20, 20, 110, 27);
    button->SetCaption(caption);
    button->SetOnClick(TNotifyEvent([this](TObject*) { ++clicks; }));
    return button;
  }
  // The look a button shows, once its fade is over: its border colour's index, -1 for none.
  int ShownLook(TsBitBtn* button) {
    EXPECT_TRUE(PumpUntil([&] { return !button->Fading(); }));
    Settle(button->Handle());
    const COLORREF border = WindowPixel(button->Handle(), 0, 0);
    for (int s = 0; s < 3; ++s)
      if (border == kBorder[s]) {
        EXPECT_EQ(WindowPixel(button->Handle(), 5, 5), kFace[s]) << "the face of look " << s;
        return s;
      }
    return -1;
  }
  int clicks = 0;
};

TEST_F(SkinnedBitBtn, EachLookComesFromTheSectionAndAClickFiresOnClick) {
  TsBitBtn* other = AddButton("Other");
  other->SetTop(80);
  TsBitBtn* button = AddButton();
  form.Show();
  ApplySkin();
  EXPECT_EQ(button->SkinData()->SkinSection(), "BUTTON");
  EXPECT_GT(CountPixels(button->Handle(), kFont), 5) << "the caption is drawn in the font colour";
  SetForegroundWindow(Wnd());
  other->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return other->Focused(); }));
  EXPECT_EQ(ShownLook(button), 0) << "normal";
  EXPECT_EQ(ShownLook(other), 1) << "the focused button looks hot";

  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(button->Handle())));
  ASSERT_TRUE(PumpUntil([&] { return button->SkinData()->MouseOver; }));
  EXPECT_EQ(ShownLook(button), 1) << "hot under the mouse";

  ASSERT_TRUE(LeftButton(true));
  EXPECT_EQ(ShownLook(button), 2) << "pressed";
  EXPECT_EQ(clicks, 0);
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  EXPECT_EQ(ShownLook(button), 1) << "hot again after the release";

  ktest::ParkPointer();
  button->SetFocus();
  other->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return !button->SkinData()->MouseOver; }));
  EXPECT_EQ(ShownLook(button), 0) << "normal once the mouse and the focus left";
}

TEST_F(SkinnedBitBtn, SpaceAndTheAcceleratorPressTheFocusedButtonAsAStandardOneDoes) {
  TsBitBtn* button = AddButton("&Go");
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  button->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return button->Focused(); }));
  ktest::PressKey(VK_SPACE);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  // Enter clicks the focused push button, as it clicks the default one.
  ktest::PressKey(VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 2; }));
  ktest::PressKeys({VK_MENU}, 'G');
  EXPECT_TRUE(PumpUntil([&] { return clicks == 3; }));
  EXPECT_EQ(ShownLook(button), 1);
}

TEST_F(SkinnedBitBtn, ADisabledButtonIsBlendedIntoItsParentAndTakesNoClick) {
  TsBitBtn* button = AddButton();
  form.Show();
  ApplySkin();
  button->SetEnabled(false);
  Settle(Wnd());
  const COLORREF border = WindowPixel(button->Handle(), 0, 0);
  EXPECT_NE(border, kBorder[0]);
  EXPECT_TRUE(Near(border, static_cast<COLORREF>(MixColors(static_cast<TColor>(kBorder[0]),
                                                           static_cast<TColor>(kFormColor), 0.5))))
      << std::hex << border;
  ktest::Click(ktest::ClientCentreOf(button->Handle()));
  ktest::Pump();
  EXPECT_EQ(clicks, 0);
  button->SetEnabled(true);
  Settle(Wnd());
  EXPECT_EQ(WindowPixel(button->Handle(), 0, 0), kBorder[0]);
}

// A fade is stopped only by our own senders: a command any window may send stops nothing.
TEST_F(SkinnedBitBtn, OnlyOurOwnSendersStopAFade) {
  TsBitBtn* button = AddButton();
  form.Show();
  ApplySkin();
  // The fade steps on timer messages: nothing is pumped until the commands are sent.
  button->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_TRUE(button->Fading());
  SendMessageA(button->Handle(), SM_SKINCMD, SkinCmdWParam(CmdStopFade), 0);
  EXPECT_TRUE(button->Fading()) << "a foreign stop is ignored";
  SendSkinCmd(button->Handle(), CmdStopFade, 0);
  EXPECT_FALSE(button->Fading());
}

TEST_F(SkinnedBitBtn, WithoutASkinItKeepsTheStandardLookAndStillClicks) {
  TsBitBtn* button = AddButton();
  form.Show();
  Settle(Wnd());
  EXPECT_EQ(SendSkinCmd(button->Handle(), CmdIsSkinned, 0), 1);
  EXPECT_NE(WindowPixel(button->Handle(), 5, 5), kFace[0]);
  ApplySkin();
  EXPECT_EQ(WindowPixel(button->Handle(), 5, 5), kFace[0]);
  RemoveSkin();
  EXPECT_NE(WindowPixel(button->Handle(), 5, 5), kFace[0]) << "the standard look is back";
  SetForegroundWindow(Wnd());
  ktest::Click(ktest::ClientCentreOf(button->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
}

TEST_F(SkinnedBitBtn, BlendIsClampedAndDownShowsThePressedLook) {
  TsBitBtn* button = AddButton();
  button->SetBlend(150);
  EXPECT_EQ(button->Blend(), 100);
  button->SetBlend(-5);
  EXPECT_EQ(button->Blend(), 0);
  form.Show();
  ApplySkin();
  button->SetDown(true);
  EXPECT_EQ(ShownLook(button), 2);
  button->SetDown(false);
  EXPECT_EQ(ShownLook(button), 0);
}

TEST_F(SkinnedBitBtn, KeyAndMouseEventsStillReachTheFormWhileSkinned) {
  TsBitBtn* button = AddButton();
  int keyDowns = 0, keyUps = 0, mouseDowns = 0, mouseUps = 0;
  button->SetOnKeyDown(TKeyEvent([&](TObject*, WORD& key, TShiftState) {
    if (key == VK_SPACE) ++keyDowns;
  }));
  button->SetOnKeyUp(TKeyEvent([&](TObject*, WORD& key, TShiftState) {
    if (key == VK_SPACE) ++keyUps;
  }));
  button->SetOnMouseDown(TMouseEvent([&](TObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbLeft) ++mouseDowns;
  }));
  button->SetOnMouseUp(TMouseEvent([&](TObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbLeft) ++mouseUps;
  }));
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  button->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return button->Focused(); }));
  ktest::PressKey(VK_SPACE);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  EXPECT_EQ(keyDowns, 1);
  EXPECT_EQ(keyUps, 1);
  ktest::Click(ktest::ClientCentreOf(button->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 2; }));
  EXPECT_EQ(mouseDowns, 1);
  EXPECT_EQ(mouseUps, 1);
}

}  // namespace
