// Standard controls on a coloured form, read back from the screen: check boxes, radio
// buttons and group boxes take the form's colour, and a label that gets shorter leaves
// nothing of its old text behind.
#include <gtest/gtest.h>

#include "framework/FormsWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using ktest::TFormGuard;

// A form colour no system colour has: (242, 239, 223).
constexpr TColor kFormColor = static_cast<TColor>(0xDFEFF2);

TEST(Backgrounds, CheckBoxesRadioButtonsAndGroupBoxesTakeTheFormsColour) {
  TFormGuard g;
  g.Form->SetColor(kFormColor);
  auto* check = g.Add<TCheckBox>();
  check->SetBounds(10, 10, 200, 20);
  check->SetCaption("x");
  auto* radio = g.Add<TRadioButton>();
  radio->SetBounds(10, 40, 200, 20);
  radio->SetCaption("x");
  auto* group = g.Add<TGroupBox>();
  group->SetBounds(10, 70, 200, 100);
  group->SetCaption("x");
  auto* own = g.Add<TCheckBox>();  // a colour of its own stays
  own->SetBounds(10, 180, 200, 20);
  own->SetColor(clYellow);
  g.Show();
  ktest::Settle(g.Form->Handle());
  // Points of each control's own background, away from its box, frame and caption.
  EXPECT_EQ(check->Color(), kFormColor);
  EXPECT_EQ(ktest::ClientPixel(check->Handle(), 190, 10), static_cast<COLORREF>(kFormColor));
  EXPECT_EQ(ktest::ClientPixel(radio->Handle(), 190, 10), static_cast<COLORREF>(kFormColor));
  EXPECT_EQ(ktest::ClientPixel(group->Handle(), 100, 50), static_cast<COLORREF>(kFormColor));
  EXPECT_EQ(ktest::ClientPixel(own->Handle(), 190, 10), static_cast<COLORREF>(clYellow));
  // And they follow a later change of the form's colour.
  g.Form->SetColor(clAqua);
  ktest::Settle(g.Form->Handle());
  EXPECT_EQ(ktest::ClientPixel(check->Handle(), 190, 10), static_cast<COLORREF>(clAqua));
  EXPECT_EQ(ktest::ClientPixel(group->Handle(), 100, 50), static_cast<COLORREF>(clAqua));
}

TEST(Backgrounds, LabelWhoseCaptionGetsShorterLeavesNoTailOfTheOldText) {
  TFormGuard g;
  g.Form->SetColor(kFormColor);
  auto* label = g.Add<TLabel>();
  label->Font()->SetSize(20);
  label->Font()->SetColor(clBlack);
  label->SetBounds(20, 20, 10, 10);
  label->SetCaption("334224");
  g.Show();
  HWND wnd = g.Form->Handle();
  ktest::Settle(wnd);
  const int oldRight = label->Left() + label->Width();
  const int top = label->Top();
  const int bottom = label->Top() + label->Height();
  label->SetCaption("19890");
  const int newRight = label->Left() + label->Width();
  ASSERT_LT(newRight, oldRight);
  ktest::Settle(wnd);
  // Only the form's colour is left where the last digit of the longer caption stood.
  ktest::TScreenshot shot;
  ASSERT_TRUE(ktest::CaptureWindow(wnd, shot));
  RECT window;
  POINT origin{0, 0};
  GetWindowRect(wnd, &window);
  ClientToScreen(wnd, &origin);
  const int dx = origin.x - window.left;
  const int dy = origin.y - window.top;
  int otherPixels = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = newRight; x < oldRight; ++x)
      if (shot.ColorAt(x + dx, y + dy) != static_cast<COLORREF>(kFormColor)) ++otherPixels;
  EXPECT_EQ(otherPixels, 0);
}

}  // namespace
