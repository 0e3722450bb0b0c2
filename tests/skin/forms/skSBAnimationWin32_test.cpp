// The title buttons' fades under Wine, through real mouse moves: a hovered button fades to
// its hot look and the screen ends showing exactly that look, leaving it fades back to the
// normal look, and a press shows the pressed look at once with no fade over it; a hot close
// button glows while it is hot.
#include "skin/forms/skSBAnimationWin32.h"

#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/skGlowWin32.h"
#include "tests/skin/forms/SkinnedFormFixtureWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using skintest::SkinnedForm;

int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

bool PressButton(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  return ktest::SendInputAndHandle({input});
}

TEST_F(SkinnedForm, AHoveredTitleButtonFadesToItsHotLookAndBack) {
  TsSkinProvider* p = ShowSkinned();
  ASSERT_TRUE(fixture.Manager->Effects()->AllowGlowing()) << "the fades need layered windows";
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ktest::Settle(Wnd(), 200);
  const TRect r = p->TitleButtonRect(HTMAXBUTTON);
  const std::vector<COLORREF> normal = skintest::ShownPixels(Wnd(), r);
  ASSERT_TRUE(ktest::PumpUntil([&] { return skintest::ScreenPixelsOf(Wnd(), r) == normal; }));

  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTMAXBUTTON)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTMAXBUTTON) == 1; }));
  // The frame takes the hot look at once: what the window draws is the button's state.
  const std::vector<COLORREF> hot = skintest::ShownPixels(Wnd(), r);
  EXPECT_GT(Differences(normal, hot), r.Width() * r.Height() / 4);
  TskSBAnimation* fade = p->TitleButtonAnimation(HTMAXBUTTON);
  ASSERT_NE(fade, nullptr);
  ASSERT_TRUE(ktest::PumpUntil([&] { return !fade->Running(); }));
  // Ten steps of 12 ms: the first shown at once, one more at each tick but the last, which
  // takes the fade's window away.
  EXPECT_EQ(fade->FramesShown(), 9);
  ASSERT_NE(fade->FadeWindow(), nullptr);
  EXPECT_FALSE(IsWindowVisible(fade->FadeWindow()));
  RECT over;
  GetWindowRect(fade->FadeWindow(), &over);
  RECT window;
  GetWindowRect(Wnd(), &window);
  EXPECT_EQ(over.left, window.left + r.Left);
  EXPECT_EQ(over.top, window.top + r.Top);
  EXPECT_EQ(over.right - over.left, r.Width());
  // The screen ends on the hot look exactly.
  EXPECT_TRUE(ktest::PumpUntil([&] { return skintest::ScreenPixelsOf(Wnd(), r) == hot; }))
      << Differences(skintest::ScreenPixelsOf(Wnd(), r), hot) << " pixels differ";
  ktest::SaveScreenshot(Wnd(), "title_button_faded_hot");

  // A press shows at once: no fade runs over the pressed look.
  ASSERT_TRUE(PressButton(MOUSEEVENTF_LEFTDOWN));
  ASSERT_EQ(p->TitleButtonState(HTMAXBUTTON), 2);
  EXPECT_FALSE(fade->Running());
  EXPECT_FALSE(IsWindowVisible(fade->FadeWindow()));
  const std::vector<COLORREF> pressed = skintest::ShownPixels(Wnd(), r);
  EXPECT_GT(Differences(hot, pressed), 0);

  // Held and moved off: the button fades back to normal and the screen ends there.
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTMAXBUTTON) == 0; }));
  EXPECT_EQ(Differences(skintest::ShownPixels(Wnd(), r), normal), 0);
  ASSERT_TRUE(ktest::PumpUntil([&] { return !fade->Running(); }));
  EXPECT_TRUE(ktest::PumpUntil([&] { return skintest::ScreenPixelsOf(Wnd(), r) == normal; }))
      << Differences(skintest::ScreenPixelsOf(Wnd(), r), normal) << " pixels differ";
  ASSERT_TRUE(PressButton(MOUSEEVENTF_LEFTUP));
  EXPECT_FALSE(IsZoomed(Wnd()));
}

TEST_F(SkinnedForm, AFadeTurnedRoundEndsOnTheLookItTurnedTo) {
  TsSkinProvider* p = ShowSkinned();
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ktest::Settle(Wnd(), 200);
  const TRect r = p->TitleButtonRect(HTCLOSE);
  const std::vector<COLORREF> normal = skintest::ShownPixels(Wnd(), r);
  // In and straight out again: however far the fade in came, the way back ends normal, in
  // no more steps than a whole fade.
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTCLOSE)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTCLOSE) == 1; }));
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTCLOSE) == 0; }));
  TskSBAnimation* fade = p->TitleButtonAnimation(HTCLOSE);
  ASSERT_NE(fade, nullptr);
  ASSERT_TRUE(ktest::PumpUntil([&] { return !fade->Running(); }));
  EXPECT_LE(fade->FramesShown(), 9);
  EXPECT_TRUE(ktest::PumpUntil([&] { return skintest::ScreenPixelsOf(Wnd(), r) == normal; }))
      << Differences(skintest::ScreenPixelsOf(Wnd(), r), normal) << " pixels differ";
}

TEST_F(SkinnedForm, AHotCloseButtonGlowsUntilTheMouseLeavesIt) {
  TsSkinProvider* p = ShowSkinned();
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTCLOSE)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTCLOSE) == 1; }));
  // The test skin's close glow: its mask's border of 8 reaches 3 under the button.
  const int id = p->TitleButtonGlow(HTCLOSE);
  ASSERT_GE(id, 0);
  const HWND glow = GlowWindowHandle(id);
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(IsWindowVisible(glow));
  RECT around, window;
  GetWindowRect(glow, &around);
  GetWindowRect(Wnd(), &window);
  const TRect r = p->TitleButtonRect(HTCLOSE);
  EXPECT_EQ(around.left, window.left + r.Left - 5);
  EXPECT_EQ(around.top, window.top + r.Top - 5);
  EXPECT_EQ(around.right, window.left + r.Right + 5);
  ktest::SaveScreenshot(GetDesktopWindow(), "title_button_close_glow");
  // The maximize button has no glow in this skin.
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTMAXBUTTON)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonState(HTMAXBUTTON) == 1; }));
  EXPECT_EQ(p->TitleButtonGlow(HTCLOSE), -1);
  EXPECT_EQ(GlowWindowHandle(id), nullptr);
  EXPECT_EQ(p->TitleButtonGlow(HTMAXBUTTON), -1);
  // Back on close and out of the window: the glow comes and goes again.
  ASSERT_TRUE(ktest::MovePointerTo(ButtonCentre(HTCLOSE)));
  ASSERT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonGlow(HTCLOSE) >= 0; }));
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  EXPECT_TRUE(ktest::PumpUntil([&] { return p->TitleButtonGlow(HTCLOSE) == -1; }));
}

}  // namespace
