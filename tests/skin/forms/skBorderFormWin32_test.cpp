// The extended border window under Wine: with the skin manager's extended borders a skinned
// form gets a layered window right above it that carries its frame and shadow and leaves
// the form's client area to the form, also when another window of the program comes
// forward and goes again; it follows the form when the form moves and sizes, a
// click on the shadow reaches the window below in that window's own coordinates, and the
// window goes with the form's hiding, its provider and its skin.
#include "skin/forms/skBorderFormWin32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/ExtCtrlsWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

RECT RectOf(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

// The visible top-level windows from the top, by class, to tell what lies where.
std::string ZOrder() {
  std::string out;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindowVisible(w)) continue;
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    char line[128];
    snprintf(line, sizeof line, "%p %s%s; ", static_cast<void*>(w), cls,
             GetForegroundWindow() == w ? " (foreground)" : "");
    out += line;
  }
  return out;
}

// Ends a modal loop (the system's move or size loop, a menu) that input sent by a test
// started by mistake: once the deadline passed the loop gets Escape, and the test fails
// instead of waiting for a button release that was already taken.
class TModalLoopGuard {
 public:
  explicit TModalLoopGuard(DWORD deadlineMs) : end_(GetTickCount64() + deadlineMs) {
    Current() = this;
    timer_ = SetTimer(nullptr, 0, 100, &Tick);
  }
  ~TModalLoopGuard() {
    KillTimer(nullptr, timer_);
    Current() = nullptr;
  }
  TModalLoopGuard(const TModalLoopGuard&) = delete;
  TModalLoopGuard& operator=(const TModalLoopGuard&) = delete;
  // A modal loop ran past the deadline and was ended.
  bool Ended() const { return ended_; }

 private:
  static TModalLoopGuard*& Current() {
    static TModalLoopGuard* current = nullptr;
    return current;
  }
  // A modal loop hands the thread's timer messages on: the tick comes inside the loop.
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TModalLoopGuard* guard = Current();
    if (!guard || GetTickCount64() < guard->end_) return;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) ||
        !(info.flags & (GUI_INMOVESIZE | GUI_INMENUMODE | GUI_POPUPMENUMODE)))
      return;
    guard->ended_ = true;
    HWND loop = info.hwndMoveSize    ? info.hwndMoveSize
                : info.hwndMenuOwner ? info.hwndMenuOwner
                                     : info.hwndCapture;
    PostMessageA(loop, WM_KEYDOWN, VK_ESCAPE, 0);
  }
  ULONGLONG end_;
  UINT_PTR timer_ = 0;
  bool ended_ = false;
};

COLORREF ScreenPixel(POINT p) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

// Two quick clicks at the screen point through the system's input queue; waits until
// `window` had the double click. The first press on a sizing edge may start the system's
// size loop, which takes its release itself; the guard ends a loop that outlives the input.
bool DoubleClickAt(HWND window, POINT at) {
  int doubleClicks = 0;
  TWinControl* control = TWinControl::FindControl(window);
  if (!control) return false;
  TWndMethod saved = control->WindowProc();
  control->SetWindowProc(TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_NCLBUTTONDBLCLK || m.Msg == WM_LBUTTONDBLCLK) ++doubleClicks;
    saved(m);
  }));
  bool arrived = false;
  if (ktest::MovePointerTo(at)) {
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    TModalLoopGuard guard(10000);
    INPUT clicks[4] = {down, up, down, up};
    SendInput(4, clicks, sizeof(INPUT));
    arrived = ktest::PumpUntil([&] { return doubleClicks > 0; }, 5000) && !guard.Ended();
  }
  control->SetWindowProc(saved);
  return arrived;
}

// A plain window that records where it was pressed.
struct TPressRecorder {
  explicit TPressRecorder(TCustomForm* form) : form(form) {
    saved = form->WindowProc();
    form->SetWindowProc(TWndMethod([this](TMessage& m) {
      if (m.Msg == WM_LBUTTONDOWN) {
        ++presses;
        at = POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      }
      saved(m);
    }));
  }
  ~TPressRecorder() { form->SetWindowProc(saved); }
  TCustomForm* form;
  TWndMethod saved;
  int presses = 0;
  POINT at{-1, -1};
};

struct BorderWindow : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }
  void SetUp() override {
    InstallSkinRuntime(*fixture.Manager);
    skintest::AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Full");
    form.Form->SetCaption("Border");
    form.Form->SetBounds(150, 120, 400, 300);
    fixture.Manager->SetExtendedBorders(true);
    fixture.Manager->SetSkinName("Full");
    ASSERT_EQ(fixture.Manager->LastLoadError(), "");
    ASSERT_TRUE(fixture.Manager->ExtendedBorders());
  }
  void TearDown() override { ktest::Pump(); }
  TsSkinProvider* MakeProvider() {
    auto* provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(fixture.Manager.get());
    provider->InitFormSkin();
    return provider;
  }
  void ShowAndSettle() {
    form.Show();
    SetForegroundWindow(Wnd());
    ktest::Settle(Wnd(), 300);
  }
  HWND Wnd() { return form.Form->Handle(); }
  // The border window lies right above the form in the z-order: no other window comes
  // between them. (Owned by the form, it lies above it; its region and its image leave the
  // form's client area to the form.)
  bool RightAbove(HWND border) {
    return ktest::PumpUntil(
        [&] {
          HWND w = Wnd();
          do w = GetWindow(w, GW_HWNDPREV);
          while (w && !IsWindowVisible(w));
          return w == border;
        },
        5000);
  }
  // The border window lies where the form's image puts the form: offset by the frame
  // and shadow the form's own window lacks.
  bool BorderFitsForm(TsSkinProvider& provider) {
    HWND border = reinterpret_cast<HWND>(provider.BorderWindow());
    const RECT f = RectOf(Wnd()), b = RectOf(border);
    const TsFormFacts facts = provider.FormFacts();
    return b.left == f.left - GetOwnerOffsetX(facts) && b.top == f.top - GetOwnerOffsetY(facts) &&
           b.right - b.left == provider.FrameImageSize().cx &&
           b.bottom - b.top == provider.FrameImageSize().cy;
  }

  skintest::TManagerFixture fixture;
  ktest::TFormGuard form;
};

TEST_F(BorderWindow, LiesNextToTheFormAndFollowsAMoveAndAResize) {
  auto* panel = form.Add<TPanel>();
  panel->SetBounds(20, 20, 100, 80);
  panel->SetColor(RGB(20, 160, 90));
  panel->SetBevelOuter(bvNone);
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  ASSERT_NE(provider->BorderForm(), nullptr);
  HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  ASSERT_TRUE(IsWindow(border));
  EXPECT_TRUE(IsWindowVisible(border));
  EXPECT_TRUE(GetWindowLongPtrA(border, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(RightAbove(border)) << "not right above the form: " << ZOrder();
  // The form's client area shows the form's own pixels (a child's colour) and takes the
  // mouse itself: the border window covers none of it. The display shows the new picture
  // a moment after the window has it.
  {
    POINT inside{60, 50};
    ClientToScreen(Wnd(), &inside);
    ktest::PumpUntil([&] { return ScreenPixel(inside) == RGB(20, 160, 90); }, 5000);
    EXPECT_EQ(ScreenPixel(inside), RGB(20, 160, 90));
    EXPECT_EQ(WindowFromPoint(inside), panel->Handle());
  }
  const TRect shadow = fixture.Manager->ShadowMargins();
  ASSERT_GT(shadow.Bottom, 0) << "the skin gives no shadow";
  EXPECT_TRUE(BorderFitsForm(*provider));

  // Moved and sized as the system does it: the form's window is placed, and the form is
  // told through the messages the system sends.
  const RECT before = RectOf(Wnd());
  SetWindowPos(Wnd(), nullptr, before.left + 60, before.top + 40, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ktest::Settle(Wnd(), 200);
  EXPECT_EQ(RectOf(Wnd()).left - before.left, 60);
  EXPECT_TRUE(BorderFitsForm(*provider));
  EXPECT_TRUE(RightAbove(border)) << ZOrder();
  const TSize imageBefore = provider->FrameImageSize();
  SetWindowPos(Wnd(), nullptr, 0, 0, 450, 330, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ktest::Settle(Wnd(), 200);
  EXPECT_EQ(provider->FrameImageSize().cx, imageBefore.cx + 50);
  EXPECT_EQ(provider->FrameImageSize().cy, imageBefore.cy + 30);
  EXPECT_TRUE(BorderFitsForm(*provider));
  EXPECT_TRUE(RightAbove(border)) << ZOrder();
}

TEST_F(BorderWindow, AClickOnTheShadowReachesTheWindowBelowInItsOwnCoordinates) {
  // A plain window of our own, under the skinned form and its shadow.
  ktest::TFormGuard below;
  below.Form->SetBounds(40, 40, 700, 520);
  below.ShowInactive();
  TPressRecorder recorder(below.Form);
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_NE(provider->BorderForm(), nullptr);
  HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  const RECT f = RectOf(Wnd());
  const RECT b = RectOf(border);
  ASSERT_GT(b.bottom, f.bottom + 3);
  // Two pixels below the frame, in the darkest part of the shadow.
  const POINT click{(f.left + f.right) / 2, b.bottom - fixture.Manager->ShadowMargins().Bottom + 2};
  // The skinned form is in front of the plain one, so its shadow lies over that window.
  SetWindowPos(Wnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_TRUE(ktest::PumpUntil([&] { return WindowFromPoint(click) == border; }, 5000)) << ZOrder();
  ASSERT_TRUE(ktest::MovePointerTo(click));
  const int passedBefore = provider->BorderForm()->PassedMouseMessages();
  INPUT press{};
  press.type = INPUT_MOUSE;
  press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  INPUT release = press;
  release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  {
    TModalLoopGuard guard(10000);
    ASSERT_TRUE(ktest::SendInputAndHandle({press, release}));
    ASSERT_FALSE(guard.Ended()) << "the click on the shadow started a move, a size or a menu";
  }
  ASSERT_TRUE(ktest::PumpUntil([&] { return recorder.presses > 0; }, 5000))
      << "the click did not reach the window below";
  POINT expected = click;
  ScreenToClient(below.Form->Handle(), &expected);
  EXPECT_EQ(recorder.at.x, expected.x);
  EXPECT_EQ(recorder.at.y, expected.y);
  EXPECT_GE(provider->BorderForm()->PassedMouseMessages(), passedBefore + 1)
      << "the system gave the press to the window below itself";
  EXPECT_EQ(GetCapture(), nullptr);
}

// Another window of the program brought to the front covers the form's frame as well as
// the form; a click on the form brings the form forward again with its frame over that
// window.
TEST_F(BorderWindow, StaysRightAboveItsFormWhenAnotherWindowComesForward) {
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_NE(provider->BorderForm(), nullptr);
  HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  ASSERT_TRUE(RightAbove(border)) << ZOrder();
  const RECT f = RectOf(Wnd());
  // The title, which the border window shows in place of the form's own.
  const POINT title{f.left + 40, f.top + 6};
  ASSERT_TRUE(ktest::PumpUntil([&] { return WindowFromPoint(title) == border; }, 5000)) << ZOrder();

  ktest::TFormGuard front;
  front.Form->SetBounds(f.left - 60, f.top - 60, 200, 150);
  front.Form->SetColor(RGB(250, 240, 20));
  front.Show();
  HWND frontWnd = front.Form->Handle();
  SetWindowPos(frontWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(frontWnd);
  const RECT frontRect = RectOf(frontWnd);
  ASSERT_TRUE(PtInRect(&frontRect, title));
  EXPECT_TRUE(ktest::PumpUntil(
      [&] { return WindowFromPoint(title) == frontWnd && ScreenPixel(title) == RGB(250, 240, 20); },
      5000))
      << "the frame lies over the window brought forward: " << ZOrder();
  EXPECT_TRUE(RightAbove(border)) << ZOrder();

  // A click on the form's client area, away from the other window, brings the form forward.
  POINT client{300, 200};
  ClientToScreen(Wnd(), &client);
  ASSERT_NE(WindowFromPoint(client), frontWnd);
  ASSERT_TRUE(ktest::MovePointerTo(client));
  INPUT press{};
  press.type = INPUT_MOUSE;
  press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  INPUT release = press;
  release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_TRUE(ktest::SendInputAndHandle({press, release}));
  EXPECT_TRUE(ktest::PumpUntil([&] { return WindowFromPoint(title) == border; }, 5000))
      << "the form's frame stays behind the other window: " << ZOrder();
  EXPECT_TRUE(RightAbove(border)) << ZOrder();
}

// A double click on the left edge of the frame stretches the form over the screen's width,
// with the wider border at the work area's edges; a second one gives the width back. The
// top edge does the same with the height.
TEST_F(BorderWindow, AnEdgeDoubleClickStretchesTheFormAndASecondGivesItBack) {
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_NE(provider->BorderForm(), nullptr);
  HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const TRect shadow = fixture.Manager->ShadowMargins();
  const int delta = GetExBorderDelta(provider->FormFacts());
  const RECT before = RectOf(Wnd());
  auto leftEdge = [&] {
    const RECT b = RectOf(border);
    return POINT{b.left + shadow.Left + 1, (b.top + b.bottom) / 2};
  };
  ASSERT_TRUE(DoubleClickAt(border, leftEdge()));
  EXPECT_TRUE(ktest::PumpUntil(
      [&] {
        const RECT r = RectOf(Wnd());
        return r.left == work.left + delta && r.right == work.right - delta;
      },
      5000))
      << RectOf(Wnd()).left << " " << RectOf(Wnd()).right;
  EXPECT_EQ(RectOf(Wnd()).top, before.top);
  EXPECT_EQ(RectOf(Wnd()).bottom, before.bottom);
  EXPECT_TRUE(BorderFitsForm(*provider));
  ASSERT_TRUE(DoubleClickAt(border, leftEdge()));
  EXPECT_TRUE(ktest::PumpUntil(
      [&] {
        const RECT r = RectOf(Wnd());
        return r.left == before.left && r.right == before.right;
      },
      5000));

  const RECT b = RectOf(border);
  ASSERT_TRUE(DoubleClickAt(border, POINT{(b.left + b.right) / 2, b.top + shadow.Top + 1}));
  EXPECT_TRUE(ktest::PumpUntil(
      [&] {
        const RECT r = RectOf(Wnd());
        return r.top == work.top + GetExTitleDelta(provider->FormFacts()) &&
               r.bottom == work.bottom - delta;
      },
      5000));
  EXPECT_EQ(RectOf(Wnd()).left, before.left);
}

// Without the skinned menus a double click on the title icon closes the form; the system's
// own menu, which a single click opens, does not take the second click.
TEST_F(BorderWindow, ADoubleClickOnTheTitleIconClosesTheForm) {
  fixture.Manager->SetSkinnedPopups(false);
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_NE(provider->BorderForm(), nullptr);
  HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  const RECT b = RectOf(border);
  const TsFormFacts facts = provider->FormFacts();
  const TRect r = provider->GetIconRect(facts);  // in the frame image, the border window's
  ASSERT_GT(r.Width(), 0);
  const POINT centre{b.left + (r.Left + r.Right) / 2, b.top + (r.Top + r.Bottom) / 2};
  ASSERT_EQ(WindowFromPoint(centre), border);
  ASSERT_TRUE(DoubleClickAt(border, centre));
  EXPECT_TRUE(ktest::PumpUntil([&] { return !IsWindowVisible(Wnd()); }, 5000));
  HWND menu = FindWindowA("#32768", nullptr);
  EXPECT_FALSE(menu && IsWindowVisible(menu)) << "the system menu opened";
}

// With screen snapping a form moved near the work area's left edge ends with the frame the
// user sees, the border window's, at that edge.
TEST_F(BorderWindow, SnappingPutsTheWiderFrameAtTheEdge) {
  TsSkinProvider* provider = MakeProvider();
  provider->SetScreenSnap(true);
  ShowAndSettle();
  ASSERT_NE(provider->BorderForm(), nullptr);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int delta =
      GetExBorderDelta(provider->FormFacts()) + fixture.Manager->CurrentSkin().AlignOffset;
  SetWindowPos(Wnd(), nullptr, work.left + delta + 4, 200, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ktest::Settle(Wnd(), 100);
  EXPECT_EQ(RectOf(Wnd()).left, work.left + delta);
  const TRect shadow = fixture.Manager->ShadowMargins();
  EXPECT_TRUE(ktest::PumpUntil(
      [&] {
        return RectOf(reinterpret_cast<HWND>(provider->BorderWindow())).left + shadow.Left ==
               work.left + fixture.Manager->CurrentSkin().AlignOffset;
      },
      5000));
}

TEST_F(BorderWindow, GoesWithTheFormsHidingItsSkinAndItsProvider) {
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  ASSERT_TRUE(IsWindowVisible(border));
  form.Form->Hide();
  ASSERT_TRUE(ktest::PumpUntil([&] { return !IsWindowVisible(border); }, 5000));
  ShowAndSettle();
  EXPECT_TRUE(IsWindowVisible(border));
  EXPECT_TRUE(BorderFitsForm(*provider));
  // Without extended borders the form keeps its own frame and the border window goes.
  fixture.Manager->SetExtendedBorders(false);
  ktest::Settle(Wnd(), 200);
  EXPECT_FALSE(IsWindow(border));
  EXPECT_EQ(provider->BorderForm(), nullptr);
  fixture.Manager->SetExtendedBorders(true);
  ktest::Settle(Wnd(), 200);
  ASSERT_NE(provider->BorderForm(), nullptr);
  border = reinterpret_cast<HWND>(provider->BorderWindow());
  delete provider;
  ktest::Pump();
  EXPECT_FALSE(IsWindow(border));
}

// The title lies in the border window: a hot button is seen there, under the real pointer.
TEST_F(BorderWindow, AHotTitleButtonShowsInTheBorderWindow) {
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_NE(provider->BorderForm(), nullptr);
  HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  const TRect r = provider->TitleButtonRect(HTCLOSE);  // in the form's window
  ASSERT_GT(r.Width(), 0);
  const RECT f = RectOf(Wnd());
  auto screenPixels = [&] {
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        pixels.push_back(GetPixel(screen, f.left + x, f.top + y));
    ReleaseDC(nullptr, screen);
    return pixels;
  };
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(Wnd())));
  ktest::Settle(Wnd(), 100);
  const std::vector<COLORREF> normal = screenPixels();
  const POINT button{f.left + (r.Left + r.Right) / 2, f.top + (r.Top + r.Bottom) / 2};
  EXPECT_EQ(WindowFromPoint(button), border);
  ASSERT_TRUE(ktest::MovePointerTo(button));
  ASSERT_TRUE(ktest::PumpUntil([&] { return provider->TitleButtonState(HTCLOSE) == 1; }, 5000));
  int differ = 0;
  ktest::PumpUntil(
      [&] {
        const std::vector<COLORREF> hot = screenPixels();
        differ = 0;
        for (size_t i = 0; i < hot.size(); ++i) differ += hot[i] != normal[i] ? 1 : 0;
        return differ > r.Width() * r.Height() / 4;
      },
      3000);
  EXPECT_GT(differ, r.Width() * r.Height() / 4) << "the hot look does not show";
}

// Not a check: the picture of a form with its extended border and shadow, to look at.
TEST_F(BorderWindow, Screenshot) {
  ktest::TFormGuard below;
  below.Form->SetBounds(100, 70, 500, 400);
  below.Form->SetColor(RGB(255, 255, 255));
  below.ShowInactive();
  MakeProvider();
  ShowAndSettle();
  ktest::TScreenshot shot;
  const int x = 110, y = 80, w = 480, h = 380;
  ASSERT_TRUE(ktest::CaptureArea(nullptr, x, y, w, h, shot));
  const char* dir = std::getenv("KESTRAVA_BINARY_DIR");
  const std::string folder = std::string(dir ? dir : ".") + "/screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  EXPECT_TRUE(ktest::WritePng(folder + "/border-window.png", shot));
}

}  // namespace
