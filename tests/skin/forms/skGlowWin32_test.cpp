// Glow windows under Wine: a glow shows the test skin's glow mask colours around a rectangle
// on the screen, the window under it still gets the mouse, ids stay valid when another glow
// goes, FreeAllGlows takes every window away, and a hot skinned control glows until the
// mouse leaves it.
#include "skin/forms/skGlowWin32.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "framework/StdCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/core/FakeSkinDataHost.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

// Colours of the test skin's glow mask (COLORREF).
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kYellow = RGB(255, 255, 0),
                   kCyan = RGB(0, 255, 255), kOrange = RGB(255, 128, 0), kPurple = RGB(128, 0, 128);

struct GlowWindows : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }
  void SetUp() override {
    // Skin data shows its glows through the services a program registers at start.
    InstallGlowServices();
    skintest::AddSkinFolder(fixture.Fs, "Test", "C:\\App\\Skins\\Test");
    fixture.Manager->SetSkinName("Test");
    ASSERT_EQ(fixture.Manager->LastLoadError(), "");
    ASSERT_TRUE(HasLayeredWindows());
    form.Form->SetColor(RGB(0, 0, 128));
    form.Show();
    ktest::Settle(form.Form->Handle());
  }
  void TearDown() override {
    FreeAllGlows();
    RemoveGlowServices();
    ktest::Pump();
  }
  // A rectangle of the form's client area in screen coordinates.
  TRect ScreenRect(int left, int top, int width, int height) {
    POINT p{left, top};
    ClientToScreen(form.Form->Handle(), &p);
    return TRect{p.x, p.y, p.x + width, p.y + height};
  }
  int Show(const TRect& r, const std::string& section = "GLOWING") {
    return ShowGlow({.Rect = r,
                     .ClipRect = TRect{0, 0, r.Width(), r.Height()},
                     .SectionName = section,
                     .Margin = 2},
                    form.Form->Handle());
  }

  skintest::TManagerFixture fixture;
  ktest::TFormGuard form;
};

TEST_F(GlowWindows, MaskColoursSurroundTheRectangleOnTheScreen) {
  const TRect r = ScreenRect(100, 80, 120, 60);
  const int id = Show(r);
  ASSERT_EQ(id, 0);
  const HWND wnd = GlowWindowHandle(id);
  ASSERT_NE(wnd, nullptr);
  ktest::Settle(wnd);
  EXPECT_TRUE(IsWindowVisible(wnd));
  const LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_NE(GetForegroundWindow(), wnd);
  // Borders of 4 reaching 2 under the rectangle: the window is 124 x 64 at 2 above and left.
  RECT w;
  GetWindowRect(wnd, &w);
  EXPECT_EQ(w.left, r.Left - 2);
  EXPECT_EQ(w.top, r.Top - 2);
  EXPECT_EQ(w.right - w.left, 124);
  EXPECT_EQ(w.bottom - w.top, 64);
  struct TProbe {
    int x, y;
    COLORREF color;
  } probes[] = {{1, 1, kRed},
                {122, 1, kGreen},
                {1, 62, kBlue},
                {122, 62, kWhite},
                {60, 1, kYellow},
                {60, 62, kCyan},
                {1, 30, kOrange},
                {122, 30, kPurple},
                {60, 30, RGB(0, 0, 128)}};  // the clear centre shows the form
  for (const TProbe& p : probes)
    EXPECT_EQ(ScreenPixel(w.left + p.x, w.top + p.y), p.color) << p.x << "," << p.y;
  ktest::SaveScreenshot(form.Form->Handle(), "glow-test-skin");
}

TEST_F(GlowWindows, TheMouseGoesThroughToTheWindowBelow) {
  TButton* button = form.Add<TButton>();
  button->SetBounds(100, 80, 120, 60);
  ktest::Pump();
  RECT b;
  GetWindowRect(button->Handle(), &b);
  const int id = Show(TRect{b.left, b.top, b.right, b.bottom});
  ASSERT_GE(id, 0);
  ktest::Settle(GlowWindowHandle(id));
  // Over the button (the glow's clear centre) and over the glow's border.
  EXPECT_EQ(WindowFromPoint(POINT{b.left + 60, b.top + 30}), button->Handle());
  EXPECT_EQ(WindowFromPoint(POINT{b.left + 1, b.top + 1}), button->Handle());
  EXPECT_EQ(WindowFromPoint(POINT{b.left - 1, b.top - 1}), form.Form->Handle());
  EXPECT_EQ(SendMessageA(GlowWindowHandle(id), WM_NCHITTEST, 0, MAKELPARAM(b.left + 1, b.top + 1)),
            HTTRANSPARENT);
}

// A real click through the system's input queue on the glow's opaque border lands in the
// window below: the form beside the button, and the button where the border lies over it.
TEST_F(GlowWindows, ClicksOnTheGlowReachTheWindowsBelow) {
  TButton* button = form.Add<TButton>();
  button->SetBounds(100, 80, 120, 60);
  ktest::Pump();
  std::map<TControl*, int> downs;
  std::vector<std::pair<TControl*, TWndMethod>> saved;
  for (TControl* c : {static_cast<TControl*>(form.Form), static_cast<TControl*>(button)}) {
    TWndMethod previous = c->WindowProc();
    saved.emplace_back(c, previous);
    c->SetWindowProc(TWndMethod([&downs, c, previous](TMessage& m) {
      if (m.Msg == WM_LBUTTONDOWN) ++downs[c];
      previous(m);
    }));
  }
  RECT b;
  GetWindowRect(button->Handle(), &b);
  const int id = Show(TRect{b.left, b.top, b.right, b.bottom});
  ASSERT_GE(id, 0);
  ktest::Settle(GlowWindowHandle(id));
  auto click = [](int x, int y) {
    SetCursorPos(x, y);
    std::vector<INPUT> input(2);
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    EXPECT_TRUE(ktest::SendInputAndHandle(input)) << "the click did not reach this program";
  };
  // A click away from the glow shows that clicks arrive at all.
  click(b.left - 30, b.top - 30);
  ASSERT_EQ(downs[form.Form], 1);
  downs.clear();
  // The top edge's yellow, 1 pixel outside the button and 1 pixel inside it.
  ASSERT_EQ(ScreenPixel(b.left + 60, b.top - 1), kYellow);
  click(b.left + 60, b.top - 1);
  EXPECT_EQ(downs[form.Form], 1);
  ASSERT_EQ(ScreenPixel(b.left + 60, b.top), kYellow);
  click(b.left + 60, b.top);
  EXPECT_EQ(downs[button], 1);
  for (auto& [control, previous] : saved) control->SetWindowProc(previous);
}

TEST_F(GlowWindows, IdsStayValidAfterAnotherGlowIsFreedAndFreeAllEmpties) {
  const int a = Show(ScreenRect(20, 20, 40, 30));
  const int b = Show(ScreenRect(100, 20, 40, 30));
  const int c = Show(ScreenRect(180, 20, 40, 30));
  ASSERT_EQ(a, 0);
  ASSERT_EQ(b, 1);
  ASSERT_EQ(c, 2);
  const HWND wa = GlowWindowHandle(a), wb = GlowWindowHandle(b), wc = GlowWindowHandle(c);
  FreeGlow(b);
  EXPECT_FALSE(IsWindowVisible(wb));  // hidden at once, destroyed with its last messages
  ktest::Pump();
  EXPECT_FALSE(IsWindow(wb));
  EXPECT_EQ(GlowWindowHandle(a), wa);
  EXPECT_EQ(GlowWindowHandle(c), wc);
  EXPECT_TRUE(IsWindowVisible(wa));
  EXPECT_TRUE(IsWindowVisible(wc));
  EXPECT_EQ(GlowCount(), 3);
  EXPECT_EQ(Show(ScreenRect(20, 120, 40, 30)), 3);
  FreeAllGlows();
  EXPECT_EQ(GlowCount(), 0);
  ktest::Pump();
  EXPECT_FALSE(IsWindow(wa));
  EXPECT_FALSE(IsWindow(wc));
}

TEST_F(GlowWindows, NoMaskNoGlow) {
  EXPECT_EQ(Show(ScreenRect(20, 20, 40, 30), "BUTTON"), -1);
  EXPECT_EQ(Show(ScreenRect(20, 20, 40, 30), "NOSUCH"), -1);
  EXPECT_EQ(GlowCount(), 0);
}

TEST_F(GlowWindows, AHalfHiddenRectangleGlowsOnlyAlongItsVisiblePart) {
  const TRect r = ScreenRect(100, 80, 120, 60);
  // The right half is hidden by the parent's edge.
  const int id =
      ShowGlow({.Rect = r, .ClipRect = TRect{0, 0, 60, 60}, .SectionName = "GLOWING", .Margin = 2},
               form.Form->Handle());
  ASSERT_GE(id, 0);
  ktest::Settle(GlowWindowHandle(id));
  RECT w;
  GetWindowRect(GlowWindowHandle(id), &w);
  EXPECT_EQ(w.left, r.Left - 2);
  EXPECT_EQ(w.right, r.Left + 60);
  // The cut end shows the top edge, not the right corner.
  EXPECT_EQ(ScreenPixel(w.right - 1, w.top + 1), kYellow);
  EXPECT_EQ(ScreenPixel(w.left + 1, w.top + 1), kRed);
}

// A skinned button whose section glows: the mouse entering shows the glow, leaving frees it.
TEST_F(GlowWindows, AHotSkinnedControlGlowsUntilTheMouseLeaves) {
  TButton* button = form.Add<TButton>();
  button->SetBounds(100, 80, 120, 60);
  ktest::Pump();
  TControlSkinHost host(button);
  TsCommonData data(&host);
  data.SetSkinSection("GLOWING");
  data.UpdateIndexes();
  ASSERT_TRUE(data.IsSkinned());
  TMessage enter{CM_MOUSEENTER, 0, 0, 0};
  HandleCommonMessage(enter, &data);
  ASSERT_GE(data.GlowIndex, 0);
  const HWND wnd = GlowWindowHandle(data.GlowIndex);
  ASSERT_NE(wnd, nullptr);
  ktest::Settle(wnd);
  RECT b, w;
  GetWindowRect(button->Handle(), &b);
  GetWindowRect(wnd, &w);
  EXPECT_EQ(w.left, b.left - 2);
  EXPECT_EQ(w.bottom, b.bottom + 2);
  EXPECT_EQ(ScreenPixel(w.left + 1, w.top + 1), kRed);
  TMessage leave{CM_MOUSELEAVE, 0, 0, 0};
  HandleCommonMessage(leave, &data);
  EXPECT_EQ(data.GlowIndex, -1);
  EXPECT_EQ(GlowCount(), 0);
  // Glowing switched off: the mouse entering shows nothing.
  fixture.Manager->Effects()->SetAllowGlowing(false);
  HandleCommonMessage(enter, &data);
  EXPECT_EQ(data.GlowIndex, -1);
  fixture.Manager->Effects()->SetAllowGlowing(true);
}

}  // namespace

// Our main window's skin: a hot button gets a soft halo in the accent colour, strongest next
// to the button and gone a few pixels out; the button itself is not covered.
TEST(GlowOurSkin, AHotButtonOfOffice12StyleHasASoftAccentHalo) {
  skintest::TManagerFixture fixture;
  skintest::AddSkinFolder(fixture.Fs, "Office12Style", "C:\\App\\Skins\\Office12Style");
  fixture.Manager->SetSkinName("Office12Style");
  ASSERT_EQ(fixture.Manager->LastLoadError(), "");
  ktest::TFormGuard form;
  const COLORREF face = RGB(243, 246, 251);
  form.Form->SetColor(face);
  TButton* button = form.Add<TButton>();
  button->SetBounds(120, 100, 110, 30);
  form.Show();
  ktest::Settle(form.Form->Handle());
  RECT b;
  GetWindowRect(button->Handle(), &b);
  const COLORREF inside = ScreenPixel(b.left + 50, b.top + 15);
  const int id = ShowGlow({.Rect = TRect{b.left, b.top, b.right, b.bottom},
                           .ClipRect = TRect{0, 0, b.right - b.left, b.bottom - b.top},
                           .SectionName = "BUTTON",
                           .Margin = 3},
                          form.Form->Handle());
  ASSERT_GE(id, 0);
  ktest::Settle(GlowWindowHandle(id));
  const int mid = (b.left + b.right) / 2;
  const COLORREF close = ScreenPixel(mid, b.top - 1), distant = ScreenPixel(mid, b.top - 8);
  // Next to the button the face is tinted toward the blue accent (43, 118, 210).
  EXPECT_LT(GetRValue(close), GetRValue(face) - 40);
  EXPECT_GT(GetBValue(close), GetRValue(close) + 40);
  // Further out the halo is gone, and the button's own pixels are untouched.
  EXPECT_EQ(distant, face);
  EXPECT_EQ(ScreenPixel(b.left + 50, b.top + 15), inside);
  ktest::SaveScreenshot(form.Form->Handle(), "glow-office12style-button");
  FreeAllGlows();
  ktest::Pump();
}

// An owner that is no control (a window adapter) glows around the window it is given.
TEST_F(GlowWindows, AnOwnerWithoutAControlGlowsAroundItsWindow) {
  TFakeSkinDataHost host;
  host.control = false;
  TButton* button = form.Add<TButton>();
  button->SetBounds(100, 80, 120, 60);
  ktest::Pump();
  TsCommonData data(&host);
  data.SetSkinSection("GLOWING");
  data.UpdateIndexes();
  UpdateGlow(data, false, button->Handle());
  ASSERT_GE(data.GlowIndex, 0);
  RECT b, w;
  GetWindowRect(button->Handle(), &b);
  GetWindowRect(GlowWindowHandle(data.GlowIndex), &w);
  EXPECT_EQ(w.left, b.left - 2);
  EXPECT_EQ(w.right, b.right + 2);
  // Showing again replaces the glow instead of leaving the first one on the screen.
  const HWND first = GlowWindowHandle(data.GlowIndex);
  UpdateGlow(data, false, button->Handle());
  EXPECT_FALSE(IsWindowVisible(first));
  UpdateGlow(data, true, button->Handle());
  EXPECT_EQ(data.GlowIndex, -1);
}

// A skin change frees every glow; a manager that goes takes its glows' windows along at once.
TEST_F(GlowWindows, GlowsGoWithASkinChangeAndWithTheirManagerAtOnce) {
  InstallSkinRuntime(*fixture.Manager);
  Show(ScreenRect(20, 20, 40, 30));
  ASSERT_EQ(GlowCount(), 1);
  fixture.Manager->SetSkinName("Test");
  EXPECT_EQ(GlowCount(), 0);
  const int id = Show(ScreenRect(20, 20, 40, 30));
  const HWND wnd = GlowWindowHandle(id);
  ASSERT_NE(wnd, nullptr);
  fixture.Manager.reset();
  EXPECT_EQ(GlowCount(), 0);
  EXPECT_FALSE(IsWindow(wnd));  // no message had to run for it
}
