// The title buttons of a skinned form under the mouse, through real input: each button
// answers WM_NCHITTEST at its place, the button under the mouse looks hot, a held button looks
// pressed, a press and release on close closes the form and a release outside it does not.
#include "skin/forms/sTitleButtonTrackerWin32.h"

#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/sTitleButtonsWin32.h"
#include "tests/skin/forms/SkinnedFormFixtureWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using skintest::SkinnedForm;

bool Button(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  return ktest::SendInputAndHandle({input});
}

int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
  return n;
}

TEST_F(SkinnedForm, EachTitleButtonAnswersTheHitTestAtItsPlace) {
  TsSkinProvider* p = ShowSkinned();
  // User buttons: the first shown, the second hidden, the third disabled.
  TsTitleButtons* user = p->TitleButtons();
  user->Add();
  user->Add()->SetVisible(false);
  user->Add()->SetEnabled(false);
  ktest::Settle(Wnd(), 200);
  struct Case {
    int code;
    LRESULT answer;
  };
  for (const Case& c : {Case{HTCLOSE, HTCLOSE}, Case{HTMAXBUTTON, HTMAXBUTTON},
                        Case{HTMINBUTTON, HTMINBUTTON}, Case{1000, 1000}, Case{1002, HTCAPTION}}) {
    const TRect r = p->TitleButtonRect(c.code);
    ASSERT_GT(r.Width(), 0) << "button " << c.code << " is not shown";
    EXPECT_EQ(HitTest(ButtonCentre(c.code)), c.answer) << "button " << c.code;
  }
  EXPECT_EQ(p->TitleButtonRect(1001), TRect{}) << "a hidden user button takes no place";
  // From the right: close, maximize, minimize, then the user buttons.
  EXPECT_LT(p->TitleButtonRect(HTMAXBUTTON).Right, p->TitleButtonRect(HTCLOSE).Left);
  EXPECT_LT(p->TitleButtonRect(HTMINBUTTON).Right, p->TitleButtonRect(HTMAXBUTTON).Left);
  EXPECT_EQ(p->TitleButtonRect(HTMINBUTTON).Left - p->TitleButtonRect(1000).Right,
            fixture.Manager->CurrentSkin().BISpace + 8);
  EXPECT_LT(p->TitleButtonRect(1002).Right, p->TitleButtonRect(1000).Left);
  // The title between icon and buttons is caption; the icon opens the system menu.
  EXPECT_EQ(HitTest(TitleMiddle()), HTCAPTION);
  RECT window;
  GetWindowRect(Wnd(), &window);
  const TRect icon = p->GetIconRect(p->FormFacts());
  EXPECT_EQ(HitTest(POINT{window.left + (icon.Left + icon.Right) / 2,
                          window.top + (icon.Top + icon.Bottom) / 2}),
            HTSYSMENU);
  // The system's own buttons are gone from the window's style while the skin draws its own.
  EXPECT_EQ(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
}

TEST_F(SkinnedForm, WithoutMaximizeIconMinimizeTakesTheMaximizePlace) {
  form.Form->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
  TsSkinProvider* p = ShowSkinned();
  ASSERT_EQ(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_MAXIMIZEBOX, 0);
  EXPECT_EQ(p->TitleButtonRect(HTMAXBUTTON), TRect{}) << "maximize is not shown";
  const TRect close = p->TitleButtonRect(HTCLOSE), min = p->TitleButtonRect(HTMINBUTTON);
  EXPECT_EQ(close.Left - min.Right, fixture.Manager->CurrentSkin().BISpace);
  EXPECT_EQ(HitTest(ButtonCentre(HTMINBUTTON)), HTMINBUTTON);
}

TEST_F(SkinnedForm, AMaximizedFormShowsRestoreAndItsButtonRestores) {
  TsSkinProvider* p = ShowSkinned();
  const TRect normalPlace = p->TitleButtonRect(HTMAXBUTTON);
  ShowWindow(Wnd(), SW_MAXIMIZE);
  ktest::Settle(Wnd(), 300);
  ASSERT_TRUE(IsZoomed(Wnd()));
  const std::vector<COLORREF> restoreLook =
      skintest::ShownPixels(Wnd(), p->TitleButtonRect(HTMAXBUTTON));
  EXPECT_EQ(HitTest(ButtonCentre(HTMAXBUTTON)), HTMAXBUTTON);
  ktest::Click(ButtonCentre(HTMAXBUTTON));
  ASSERT_TRUE(ktest::PumpUntil([&] { return !IsZoomed(Wnd()); }));
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ktest::Settle(Wnd(), 300);
  EXPECT_EQ(p->TitleButtonRect(HTMAXBUTTON).Width(), normalPlace.Width());
  EXPECT_GT(Differences(restoreLook, skintest::ShownPixels(Wnd(), p->TitleButtonRect(HTMAXBUTTON))),
            0)
      << "the restore image and the maximize image look the same";
}

TEST_F(SkinnedForm, APressAndReleaseOnCloseClosesAReleaseOutsideDoesNot) {
  TsSkinProvider* p = ShowSkinned();
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTCLOSE)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->HotButtonCode() == HTCLOSE; }));
  ASSERT_TRUE(Button(MOUSEEVENTF_LEFTDOWN));
  EXPECT_EQ(p->TitleButtonState(HTCLOSE), 2);
  // Held and moved into the client area: the button shows normal, and the release there does
  // nothing.
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  EXPECT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTCLOSE) == 0; }));
  ASSERT_TRUE(Button(MOUSEEVENTF_LEFTUP));
  ktest::Settle(Wnd(), 300);
  EXPECT_TRUE(IsWindowVisible(Wnd())) << "a release outside the close button closed the form";
  EXPECT_EQ(GetCapture(), nullptr);
  // Pressed and released on it: closed, although the press came so soon after the first that
  // the system made it a double click.
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTCLOSE)));
  ASSERT_TRUE(Button(MOUSEEVENTF_LEFTDOWN));
  ASSERT_TRUE(Button(MOUSEEVENTF_LEFTUP));
  EXPECT_TRUE(ktest::PumpUntil([&] { return !IsWindowVisible(Wnd()); }));
}

TEST_F(SkinnedForm, HotAndPressedLooksDifferFromTheNormalLookAtTheButton) {
  TsSkinProvider* p = ShowSkinned();
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ktest::Settle(Wnd(), 200);
  const TRect r = p->TitleButtonRect(HTMAXBUTTON);
  const std::vector<COLORREF> normal = skintest::ShownPixels(Wnd(), r);
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTMAXBUTTON)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTMAXBUTTON) == 1; }));
  const std::vector<COLORREF> hot = skintest::ShownPixels(Wnd(), r);
  ktest::SaveScreenshot(Wnd(), "title_button_hot");
  ASSERT_TRUE(Button(MOUSEEVENTF_LEFTDOWN));
  ASSERT_EQ(p->TitleButtonState(HTMAXBUTTON), 2);
  const std::vector<COLORREF> pressed = skintest::ShownPixels(Wnd(), r);
  ktest::SaveScreenshot(Wnd(), "title_button_pressed");
  // A quarter of the button at least changes colour: the skin puts a box behind the glyph.
  const int quarter = r.Width() * r.Height() / 4;
  EXPECT_GT(Differences(normal, hot), quarter);
  EXPECT_GT(Differences(normal, pressed), quarter);
  EXPECT_GT(Differences(hot, pressed), quarter);
  // Held and moved off, the button looks normal again; released there, it does nothing.
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTMAXBUTTON) == 0; }));
  EXPECT_EQ(Differences(normal, skintest::ShownPixels(Wnd(), r)), 0)
      << "held and moved off: normal again";
  ASSERT_TRUE(Button(MOUSEEVENTF_LEFTUP));
  ktest::Settle(Wnd(), 200);
  EXPECT_FALSE(IsZoomed(Wnd()));
  EXPECT_EQ(p->HotButtonCode(), 0);
}

TEST_F(SkinnedForm, TheHotButtonGoesNormalWhenTheMouseLeavesTheWindow) {
  TsSkinProvider* p = ShowSkinned();
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTMINBUTTON)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->HotButtonCode() == HTMINBUTTON; }));
  // Straight up out of the window, without passing its client area.
  RECT window;
  GetWindowRect(Wnd(), &window);
  ktest::MoveMouse(POINT{ButtonCentre(HTMINBUTTON).x, window.top - 20});
  EXPECT_TRUE(ktest::PumpUntil([&] { return p->HotButtonCode() <= 0; }));
}

TEST_F(SkinnedForm, AUserButtonTellsItsPressAndRelease) {
  TsSkinProvider* p = ShowSkinned();
  TsTitleButton* button = p->TitleButtons()->Add();
  int downs = 0, ups = 0;
  button->SetOnMouseDown([&](TObject* sender, TMouseButton, TShiftState, int, int) {
    EXPECT_EQ(sender, button);
    ++downs;
  });
  button->SetOnMouseUp([&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; });
  ktest::Settle(Wnd(), 200);
  ktest::Click(ButtonCentre(1000));
  EXPECT_TRUE(ktest::PumpUntil([&] { return ups == 1; }));
  EXPECT_EQ(downs, 1);
  EXPECT_TRUE(IsWindowVisible(Wnd()));
}

TEST_F(SkinnedForm, AHotUserButtonShowsItsHint) {
  TsSkinProvider* p = ShowSkinned();
  TsTitleButton* quiet = p->TitleButtons()->Add();
  TsTitleButton* told = p->TitleButtons()->Add();
  told->SetHint("Keeps the window on top");
  ktest::Settle(Wnd(), 200);
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(1001)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->HotButtonCode() == 1001; }));
  ASSERT_NE(told->HintWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(told->HintWindow()->Handle()));
  RECT hint;
  GetWindowRect(told->HintWindow()->Handle(), &hint);
  EXPECT_EQ(hint.left, ButtonCentre(1001).x + 8);
  EXPECT_EQ(hint.top, ButtonCentre(1001).y + 16);
  // A button without a hint shows none, and the other's hint goes.
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(1000)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->HotButtonCode() == 1000; }));
  EXPECT_EQ(told->HintWindow(), nullptr);
  EXPECT_EQ(quiet->HintWindow(), nullptr);
}

// The system's tool-tip fading on for one test, and back to what it was afterwards.
struct TToolTipFading {
  TToolTipFading() {
    SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
    SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(TRUE), 0);
    SystemParametersInfoA(SPI_SETTOOLTIPFADE, 0, reinterpret_cast<void*>(TRUE), 0);
  }
  ~TToolTipFading() {
    SystemParametersInfoA(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<void*>(animation), 0);
    SystemParametersInfoA(SPI_SETTOOLTIPFADE, 0, reinterpret_cast<void*>(fade), 0);
  }
  BOOL animation = FALSE, fade = FALSE;
};

TEST_F(SkinnedForm, AFadedHintEndsShownOpaqueBesideTheMouse) {
  TToolTipFading fading;
  TsSkinProvider* p = ShowSkinned();
  TsTitleButton* button = p->TitleButtons()->Add();
  button->SetHint("Keeps the window on top");
  ktest::Settle(Wnd(), 200);
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(1000)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->HotButtonCode() == 1000; }));
  ASSERT_NE(button->HintWindow(), nullptr);
  const HWND hint = button->HintWindow()->Handle();
  EXPECT_TRUE(IsWindowVisible(hint));
  EXPECT_FALSE(GetWindowLongPtrA(hint, GWL_EXSTYLE) & WS_EX_LAYERED) << "the fade did not end";
  RECT r;
  GetWindowRect(hint, &r);
  EXPECT_EQ(r.left, ButtonCentre(1000).x + 8);
  EXPECT_EQ(r.top, ButtonCentre(1000).y + 16);
  // The hint's own colour on the screen, inside its border.
  const POINT inside{r.left + 3, r.bottom - 3};
  EXPECT_TRUE(ktest::PumpUntil([&] {
    return skintest::ScreenPixel(inside) == GetSysColor(COLOR_INFOBK);
  })) << std::hex
      << skintest::ScreenPixel(inside);
}

}  // namespace
