// The blend while a skinned form is dragged, under Wine through real input: a press on the
// title starts the system's move loop with the form fading to the skin manager's blend value
// on the blend timer's ticks; the release ends the drag where the mouse left the form, and
// the form ends opaque, not layered, with no timer left.
#include "skin/forms/skMoveTimerWin32.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/forms/SkinnedFormFixtureWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using skintest::SkinnedForm;

INPUT Mouse(DWORD flags, POINT screen = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((screen.x * 65536 + 32768) / w);
    input.mi.dy = static_cast<LONG>((screen.y * 65536 + 32768) / h);
  }
  return input;
}

// Watches the dragged form from a timer of the test's thread, which the system's move loop
// keeps serving: it notes the lowest alpha the form took and, once the form has faded to the
// blend value (or a generous deadline passed), moves the mouse on and lets the button go.
struct TReleaseWhenFaded {
  HWND form = nullptr;
  int target = 0;
  POINT dropAt{};
  int lowestAlpha = 255;
  bool released = false;
  ULONGLONG deadline = 0;
  UINT_PTR timer = 0;

  static TReleaseWhenFaded*& Current() {
    static TReleaseWhenFaded* current = nullptr;
    return current;
  }
  static void CALLBACK Check(HWND, UINT, UINT_PTR, DWORD) {
    TReleaseWhenFaded* w = Current();
    if (!w || w->released) return;
    BYTE alpha = 255;
    DWORD flags = 0;
    if ((GetWindowLongPtrA(w->form, GWL_EXSTYLE) & WS_EX_LAYERED) &&
        GetLayeredWindowAttributes(w->form, nullptr, &alpha, &flags) && (flags & LWA_ALPHA))
      w->lowestAlpha = std::min<int>(w->lowestAlpha, alpha);
    if (w->lowestAlpha > w->target && GetTickCount64() < w->deadline) return;
    w->released = true;
    INPUT input[] = {Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, w->dropAt),
                     Mouse(MOUSEEVENTF_LEFTUP)};
    SendInput(2, input, sizeof(INPUT));
  }
  TReleaseWhenFaded() {
    Current() = this;
    timer = SetTimer(nullptr, 0, 10, &Check);
  }
  ~TReleaseWhenFaded() {
    KillTimer(nullptr, timer);
    Current() = nullptr;
  }
};

TEST_F(SkinnedForm, ADragWithBlendOnMovingFadesTheFormAndEndsOpaque) {
  // Only a form dragged whole can fade; the system drags an outline otherwise.
  skintest::TFullWindowDragging dragging;
  TskBlendOnMoving& blend = fixture.Manager->AnimEffects()->BlendOnMoving;
  blend.Active = true;
  blend.BlendValue = 170;
  blend.Time = 48;
  TsSkinProvider* p = ShowSkinned();
  RECT start;
  GetWindowRect(Wnd(), &start);
  const POINT grip = TitleMiddle();
  ASSERT_TRUE(ktest::MovePointerTo(grip));

  TReleaseWhenFaded watch;
  watch.form = Wnd();
  watch.target = blend.BlendValue;
  watch.dropAt = POINT{grip.x + 40, grip.y + 30};
  watch.deadline = GetTickCount64() + 20000;
  // The press runs the whole drag: the move loop ends with the release.
  ASSERT_TRUE(ktest::SendInputAndHandle({Mouse(MOUSEEVENTF_LEFTDOWN)}, 30000));
  ASSERT_TRUE(ktest::PumpUntil([&] { return watch.released && !(p->FrameFlags & 0x80u); }));
  EXPECT_EQ(watch.lowestAlpha, 170) << "the form did not fade to the blend value";

  EXPECT_EQ(p->MoveTimer(), nullptr);
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  RECT r;
  GetWindowRect(Wnd(), &r);
  EXPECT_EQ(r.left, start.left + 40);
  EXPECT_EQ(r.top, start.top + 30);
  // The screen shows the form opaque: its own pixels, nothing of what lies below.
  const POINT centre = ktest::ClientCentreOf(Wnd());
  POINT client = centre;
  ScreenToClient(Wnd(), &client);
  HDC dc = GetDC(Wnd());
  const COLORREF drawn = GetPixel(dc, client.x, client.y);
  ReleaseDC(Wnd(), dc);
  EXPECT_TRUE(ktest::PumpUntil([&] { return skintest::ScreenPixel(centre) == drawn; }));
}

// The fading drag is the system's move loop on the form, so screen snapping works in it: a
// form dropped a few pixels from the work area's left edge ends at the edge.
TEST_F(SkinnedForm, ADragWithBlendOnMovingSnapsToTheScreenEdge) {
  skintest::TFullWindowDragging dragging;
  TskBlendOnMoving& blend = fixture.Manager->AnimEffects()->BlendOnMoving;
  blend.Active = true;
  blend.BlendValue = 170;
  blend.Time = 48;
  TsSkinProvider* p = ShowSkinned();
  p->SetScreenSnap(true);
  RECT work{}, start{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(Wnd(), nullptr, work.left + 100, work.top + 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ktest::Settle(Wnd(), 100);
  GetWindowRect(Wnd(), &start);
  const POINT grip = TitleMiddle();
  ASSERT_TRUE(ktest::MovePointerTo(grip));
  TReleaseWhenFaded watch;
  watch.form = Wnd();
  watch.target = blend.BlendValue;
  // The form's left edge dropped 4 pixels inside the work area, within the snap buffer.
  watch.dropAt = POINT{grip.x - (start.left - work.left) + 4, grip.y + 20};
  watch.deadline = GetTickCount64() + 20000;
  ASSERT_TRUE(ktest::SendInputAndHandle({Mouse(MOUSEEVENTF_LEFTDOWN)}, 30000));
  ASSERT_TRUE(ktest::PumpUntil([&] { return watch.released && !(p->FrameFlags & 0x80u); }));
  RECT r;
  GetWindowRect(Wnd(), &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, start.top + 20);
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(SkinnedForm, WithoutBlendOnMovingADragLeavesTheFormAlone) {
  skintest::TFullWindowDragging dragging;
  TsSkinProvider* p = ShowSkinned();
  // The skin manager's blend is off by default; a blend value of 255 would change nothing.
  fixture.Manager->AnimEffects()->BlendOnMoving.BlendValue = 255;
  fixture.Manager->AnimEffects()->BlendOnMoving.Active = true;
  RECT start;
  GetWindowRect(Wnd(), &start);
  const POINT grip = TitleMiddle();
  ASSERT_TRUE(ktest::MovePointerTo(grip));
  TReleaseWhenFaded watch;
  watch.form = Wnd();
  watch.target = 255;
  watch.dropAt = POINT{grip.x + 20, grip.y + 10};
  watch.deadline = GetTickCount64() + 20000;
  ASSERT_TRUE(ktest::SendInputAndHandle({Mouse(MOUSEEVENTF_LEFTDOWN)}, 30000));
  ASSERT_TRUE(ktest::PumpUntil([&] { return watch.released; }));
  ktest::Settle(Wnd(), 100);
  EXPECT_EQ(p->MoveTimer(), nullptr);
  EXPECT_EQ(p->FrameFlags & 0x80u, 0u);
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

}  // namespace
