// The skinned speed button under Wine: each look (normal, hot, pressed, down, disabled) painted
// from its section and read back off the form, a fade where the section asks for one, the
// drop-down button's arrow part and its menu in the skin's menu painting, separators and dividers,
// a glyph, and the standard look without a skin. Input goes through the system's queue.
#include "skin/controls/sSpeedButtonWin32.h"

#include <gtest/gtest.h>

#include "framework/MenusWin32.h"
#include "skin/core/runtime/sFade.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/controls/ButtonsTestSkinWin32.h"

namespace {

using namespace buttonstest;
using ktest::PumpUntil;
using ktest::Settle;

struct SkinnedSpeedButton : SkinnedButtons {
  TsSpeedButton* AddButton(const std::string& caption = "Go") {
    auto* button = form.Add<TsSpeedButton>();
    button->SetBounds(20, 20, 80, 27);
    button->SetCaption(caption);
    button->SetOnClick(TNotifyEvent([this](TObject*) { ++clicks; }));
    button->SetOnMouseEnter(TNotifyEvent([this](TObject*) { ++entries; }));
    return button;
  }
  COLORREF Pixel(TsSpeedButton* button, int x, int y) {
    return ktest::ClientPixel(Wnd(), button->Left() + x, button->Top() + y);
  }
  // The look a button shows once its fade is over: its border colour's index, -1 for none.
  int ShownLook(TsSpeedButton* button, int x = 0) {
    EXPECT_TRUE(PumpUntil([&] { return !button->Fading(); }));
    Settle(Wnd());
    const COLORREF border = Pixel(button, x, 0);
    for (int s = 0; s < 3; ++s)
      if (border == kBorder[s]) {
        EXPECT_EQ(Pixel(button, x + 5, 5), kFace[s]) << "the face of look " << s;
        return s;
      }
    return -1;
  }
  POINT ScreenPoint(TsSpeedButton* button, int x, int y) {
    POINT p{button->Left() + x, button->Top() + y};
    ClientToScreen(Wnd(), &p);
    return p;
  }
  int clicks = 0;
  int entries = 0;
};

TEST_F(SkinnedSpeedButton, EachLookComesFromTheSectionAndAClickFiresOnClick) {
  TsSpeedButton* button = AddButton();
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  EXPECT_EQ(button->SkinData()->SkinSection(), "SPEEDBUTTON");
  EXPECT_EQ(ShownLook(button), 0) << "normal";
  ASSERT_TRUE(ktest::MovePointerTo(ScreenPoint(button, 40, 13)));
  ASSERT_TRUE(PumpUntil([&] { return button->SkinData()->MouseOver; }));
  EXPECT_EQ(ShownLook(button), 1) << "hot under the mouse";
  EXPECT_EQ(entries, 1) << "OnMouseEnter fires once per entry";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_EQ(ShownLook(button), 2) << "pressed";
  EXPECT_EQ(clicks, 0);
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  EXPECT_EQ(ShownLook(button), 1) << "hot again after the release";
  ktest::ParkPointer();
  ASSERT_TRUE(PumpUntil([&] { return !button->SkinData()->MouseOver; }));
  EXPECT_EQ(ShownLook(button), 0) << "normal once the mouse left";
}

TEST_F(SkinnedSpeedButton, AHoverFadesWhereTheSectionAsksForItAndNotElsewhere) {
  TsSpeedButton* fading = AddButton();
  TsSpeedButton* plain = AddButton();
  plain->SetTop(80);
  plain->SetAnimatEvents(TskAnimatEvents{});
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  Settle(Wnd());
  const int before = FadeTimerCount;
  ASSERT_TRUE(ktest::MovePointerTo(ScreenPoint(plain, 40, 13)));
  ASSERT_TRUE(PumpUntil([&] { return plain->SkinData()->MouseOver; }));
  EXPECT_EQ(FadeTimerCount, before) << "no event of its own fades";
  EXPECT_EQ(ShownLook(plain), 1);
  ASSERT_TRUE(ktest::MovePointerTo(ScreenPoint(fading, 40, 13)));
  ASSERT_TRUE(PumpUntil([&] { return fading->SkinData()->MouseOver; }));
  EXPECT_EQ(FadeTimerCount, before + 1) << "the section fades, so the hover fades in";
  EXPECT_EQ(ShownLook(fading), 1) << "and ends in the hot look";
  EXPECT_EQ(ShownLook(plain), 0);
}

TEST_F(SkinnedSpeedButton, ADownButtonShowsThePressedLookAndADisabledOneIsBlended) {
  TsSpeedButton* button = AddButton();
  button->SetGroupIndex(1);
  button->SetAllowAllUp(true);
  form.Show();
  ApplySkin();
  button->SetDown(true);
  EXPECT_EQ(ShownLook(button), 2);
  button->SetDown(false);
  EXPECT_EQ(ShownLook(button), 0);
  button->SetEnabled(false);
  Settle(Wnd());
  const COLORREF border = Pixel(button, 0, 0);
  EXPECT_TRUE(Near(border, static_cast<COLORREF>(MixColors(static_cast<TColor>(kBorder[0]),
                                                           static_cast<TColor>(kFormColor), 0.5))))
      << std::hex << border;
  SetForegroundWindow(Wnd());
  ktest::Click(ScreenPoint(button, 40, 13));
  ktest::Pump();
  EXPECT_EQ(clicks, 0) << "a disabled button takes no click";
}

TEST_F(SkinnedSpeedButton, ItsGlyphSitsCentredAndMovesWhenPressed) {
  TsSpeedButton* button = AddButton("");
  button->SetBounds(20, 20, 40, 30);
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(static_cast<TColor>(0x20A020));
  glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
  // The bottom-left pixel names the strip's transparent colour.
  glyph.Canvas()->SetPixels(0, 15, clFuchsia);
  button->SetGlyph(&glyph);
  form.Show();
  ApplySkin();
  Settle(Wnd());
  // No caption, no margin: the glyph is centred, (12, 7) to (28, 23).
  EXPECT_EQ(Pixel(button, 12, 7), 0x20A020u);
  EXPECT_EQ(Pixel(button, 27, 22), 0x20A020u);
  EXPECT_NE(Pixel(button, 11, 7), 0x20A020u);
  button->SetGroupIndex(1);
  button->SetDown(true);
  EXPECT_EQ(ShownLook(button), 2);
  EXPECT_EQ(Pixel(button, 28, 23), 0x20A020u) << "pressed, the glyph moves by one pixel";
  EXPECT_NE(Pixel(button, 12, 7), 0x20A020u);
}

TEST_F(SkinnedSpeedButton, ADropDownButtonOpensItsMenuFromTheArrowPart) {
  TsSpeedButton* button = AddButton();
  auto* menu = new TPopupMenu(form.Form);
  auto* item = new TMenuItem(form.Form);
  item->SetCaption("One");
  menu->Items()->Add(item);
  button->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(button->Width(), 80 + 16) << "the arrow part comes on top";
  button->SetDropdownMenu(menu);
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  EXPECT_EQ(ShownLook(button, 80), 0) << "the arrow part has the section's look too";

  // A click left of the arrow part is a click.
  ktest::Click(ScreenPoint(button, 30, 13));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));

  // Opens the menu from the arrow part; what the open menu shows is read inside its loop.
  struct TOpened {
    bool Dropped = false, OwnerDrawn = false, SkinPainted = false;
    COLORREF ArrowBorder = 0;
  };
  auto open = [&] {
    TOpened seen;
    SkinnedMenuShowing = false;
    ktest::TUserScript user;
    EXPECT_TRUE(user.Play([&](ktest::TUserScript& u) {
      ktest::Click(ScreenPoint(button, 88, 13));
      u.WaitForWindow("the button's menu", "#32768");
      u.OnProgram([&] {
        seen.Dropped = button->DroppedDown();
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(menu->Handle(), 0, TRUE, &info);
        seen.OwnerDrawn = (info.fType & MFT_OWNERDRAW) != 0;
        seen.SkinPainted = SkinnedMenuShowing;
        // The form paints itself anew while the menu's loop runs.
        button->Invalidate();
        UpdateWindow(Wnd());
        seen.ArrowBorder = Pixel(button, 80, 0);
      });
      ktest::PressKey(VK_ESCAPE);
      u.WaitUntil("the menu closed", [&] { return !button->DroppedDown(); });
    })) << user.Failures();
    return seen;
  };
  const TOpened skinned = open();
  EXPECT_TRUE(skinned.Dropped);
  EXPECT_EQ(skinned.ArrowBorder, kBorder[2]) << "the arrow part is pressed while the menu is open";
  EXPECT_TRUE(skinned.OwnerDrawn) << "the skin's menu painting draws the menu";
  EXPECT_TRUE(skinned.SkinPainted);
  EXPECT_EQ(clicks, 1) << "opening the menu is no click";
  RemoveSkin();
  const TOpened plain = open();
  EXPECT_TRUE(plain.Dropped);
  EXPECT_FALSE(plain.OwnerDrawn) << "without the skin the menu is the system's again";
  EXPECT_FALSE(plain.SkinPainted);
  button->SetButtonStyle(tbsButton);
  EXPECT_EQ(button->Width(), 80);
}

TEST_F(SkinnedSpeedButton, ASeparatorShowsTheParentAndADividerItsStrip) {
  TsSpeedButton* separator = AddButton("");
  separator->SetButtonStyle(tbsSeparator);
  TsSpeedButton* divider = AddButton("");
  divider->SetButtonStyle(tbsDivider);
  divider->SetTop(80);
  form.Show();
  ApplySkin();
  Settle(Wnd());
  for (int x : {0, 40, 79}) EXPECT_EQ(Pixel(separator, x, 10), kFormColor) << x;
  EXPECT_EQ(Pixel(divider, 0, 10), kFormColor);
  EXPECT_EQ(Pixel(divider, 38, 10), kDividerMask) << "the strip lies in the middle";
  EXPECT_EQ(Pixel(divider, 41, 10), kDividerMask);
  EXPECT_EQ(Pixel(divider, 43, 10), kFormColor);
}

TEST_F(SkinnedSpeedButton, WithoutASkinItKeepsTheStandardLookAndStillClicks) {
  TsSpeedButton* button = AddButton();
  form.Show();
  Settle(Wnd());
  EXPECT_NE(Pixel(button, 5, 5), kFace[0]);
  ApplySkin();
  EXPECT_EQ(ShownLook(button), 0);
  RemoveSkin();
  Settle(Wnd());
  EXPECT_NE(Pixel(button, 5, 5), kFace[0]) << "the standard look is back";
  EXPECT_EQ(Pixel(button, 5, 5), static_cast<COLORREF>(ColorToRGB(clBtnFace)));
  SetForegroundWindow(Wnd());
  ktest::Click(ScreenPoint(button, 40, 13));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
}

TEST_F(SkinnedSpeedButton, BlendIsClampedAndShowCaptionKeepsTheCaption) {
  TsSpeedButton* button = AddButton("Caption");
  button->SetBlend(150);
  EXPECT_EQ(button->Blend(), 100);
  button->SetBlend(-5);
  EXPECT_EQ(button->Blend(), 0);
  button->SetShowCaption(false);
  EXPECT_EQ(button->Caption(), "");
  button->SetShowCaption(true);
  EXPECT_EQ(button->Caption(), "Caption");
}

}  // namespace
