// What a skinned form does with the messages the system sends it while a user works with it:
// activation, maximizing within the work area, sizing by the frame's corner, a new caption,
// changed settings and colours; the skin commands the form answers for itself; and the form
// skinning's services as the skin engine reaches them (the picture of a form with its
// children, a window hidden for an animation, a layered window shown from a bitmap, the
// task bar's live preview). In every case the frame the window shows is the provider's image.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ExtCtrlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtilsWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/forms/sDwmApi.h"
#include "skin/forms/sFormServicesWin32.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/skin/forms/SkinnedFormFixtureWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

// The window's pixels through its window DC, 0x00RRGGBB.
std::vector<uint32_t> WindowDCPixels(HWND wnd, int& width, int& height) {
  RECT r;
  GetWindowRect(wnd, &r);
  width = r.right - r.left;
  height = r.bottom - r.top;
  auto bitmap = CreateBmp32(width, height);
  HDC windowDC = GetWindowDC(wnd);
  BitBlt(bitmap->Canvas()->Handle(), 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
  ReleaseDC(wnd, windowDC);
  std::vector<uint32_t> out;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x) out.push_back(row[x] & 0xFFFFFF);
  }
  return out;
}

bool InRect(const RECT& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Non-client pixels of the window that differ from the provider's frame image; -1 when the
// image is missing or of another size.
int FrameDifferences(TsSkinProvider& provider, HWND wnd) {
  int width = 0, height = 0;
  const std::vector<uint32_t> shown = WindowDCPixels(wnd, width, height);
  TBitmap* image = provider.FrameImage();
  if (!image || provider.FrameImageSize() != TSize{width, height}) return -1;
  const RECT client = ktest::ClientRectInWindow(wnd);
  int differ = 0;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image->ScanLine(y));
    for (int x = 0; x < width; ++x)
      if (!InRect(client, x, y) && (row[x] & 0xFFFFFF) != shown[static_cast<size_t>(y) * width + x])
        ++differ;
  }
  return differ;
}

// The title strip's pixels (the window's top rows above the client area).
std::vector<uint32_t> TitlePixels(HWND wnd) {
  int width = 0, height = 0;
  std::vector<uint32_t> all = WindowDCPixels(wnd, width, height);
  const RECT client = ktest::ClientRectInWindow(wnd);
  all.resize(static_cast<size_t>(client.top) * width);
  return all;
}

struct SkinnedFormMessages : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }
  void SetUp() override {
    InstallSkinRuntime(*fixture.Manager);
    skintest::AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Full");
    form.Form->SetCaption("Messages");
    fixture.Manager->SetSkinName("Full");
    ASSERT_EQ(fixture.Manager->LastLoadError(), "");
    provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(fixture.Manager.get());
    provider->InitFormSkin();
  }
  void TearDown() override { ktest::Pump(); }
  void ShowAndSettle() {
    form.Show();
    SetForegroundWindow(Wnd());
    ktest::Settle(Wnd(), 300);
    ASSERT_TRUE(provider->Skinned());
  }
  HWND Wnd() { return form.Form->Handle(); }

  skintest::TManagerFixture fixture;
  ktest::TFormGuard form;
  TsSkinProvider* provider = nullptr;
};

TEST_F(SkinnedFormMessages, ActivationSwitchesTheFrameBetweenItsTwoLooks) {
  ShowAndSettle();
  const std::vector<uint32_t> active = TitlePixels(Wnd());
  ktest::TFormGuard other;
  other.Form->SetBounds(500, 400, 200, 150);
  other.Show();
  SetForegroundWindow(other.Form->Handle());
  ASSERT_TRUE(ktest::PumpUntil([&] { return GetForegroundWindow() == other.Form->Handle(); }));
  ktest::Settle(Wnd(), 300);
  EXPECT_NE(TitlePixels(Wnd()), active) << "the inactive form still shows the active title";
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0) << "the system drew its inactive caption";
  SetForegroundWindow(Wnd());
  ASSERT_TRUE(ktest::PumpUntil([&] { return GetForegroundWindow() == Wnd(); }));
  ktest::Settle(Wnd(), 300);
  EXPECT_EQ(TitlePixels(Wnd()), active);
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0);
}

TEST_F(SkinnedFormMessages, AMaximizedFormFillsTheWorkAreaAndRestoresWithItsFrame) {
  ShowAndSettle();
  RECT normal;
  GetWindowRect(Wnd(), &normal);
  // The system asks the form for its maximized place (WM_GETMINMAXINFO) as it maximizes it.
  ShowWindow(Wnd(), SW_MAXIMIZE);
  ASSERT_TRUE(ktest::PumpUntil([&] { return IsZoomed(Wnd()) != FALSE; }));
  ktest::Settle(Wnd(), 300);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(Wnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  const TRect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                   monitor.rcWork.bottom};
  const TsMaximizedBounds expected = LimitMaximizedBounds(provider->FormFacts(), work);
  RECT maximized;
  GetWindowRect(Wnd(), &maximized);
  EXPECT_EQ(maximized.left, work.Left + expected.Position.X);
  EXPECT_EQ(maximized.top, work.Top + expected.Position.Y);
  EXPECT_EQ(maximized.right - maximized.left, expected.Size.cx);
  EXPECT_EQ(maximized.bottom - maximized.top, expected.Size.cy);
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0);
  ShowWindow(Wnd(), SW_RESTORE);
  ASSERT_TRUE(ktest::PumpUntil([&] { return IsZoomed(Wnd()) == FALSE; }));
  ktest::Settle(Wnd(), 300);
  RECT restored;
  GetWindowRect(Wnd(), &restored);
  EXPECT_TRUE(EqualRect(&restored, &normal));
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0);
}

TEST_F(SkinnedFormMessages, ASizedFormKeepsItsFrameAndItsTrackingLimits) {
  ShowAndSettle();
  RECT before;
  GetWindowRect(Wnd(), &before);
  SetWindowPos(Wnd(), nullptr, 0, 0, before.right - before.left + 60,
               before.bottom - before.top + 40, SWP_NOMOVE | SWP_NOZORDER);
  ktest::Settle(Wnd(), 300);
  EXPECT_EQ(provider->FrameImageSize(),
            TSize(before.right - before.left + 60, before.bottom - before.top + 40));
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0);
  // What the system asks before it lets the user size or maximize the form: the skinned
  // maximized place, and the form's own minimum track size.
  form.Form->Constraints()->MinWidth = 320;
  MINMAXINFO info{};
  info.ptMaxSize = POINT{1, 1};
  SendMessageA(Wnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(Wnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  const TsMaximizedBounds expected = LimitMaximizedBounds(
      provider->FormFacts(),
      TRect{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom});
  EXPECT_EQ(info.ptMaxPosition.x, expected.Position.X);
  EXPECT_EQ(info.ptMaxPosition.y, expected.Position.Y);
  EXPECT_EQ(info.ptMaxSize.x, expected.Size.cx);
  EXPECT_EQ(info.ptMaxSize.y, expected.Size.cy);
  EXPECT_EQ(info.ptMinTrackSize.x, 320);
}

TEST_F(SkinnedFormMessages, AMovedFormSnapsToTheWorkAreasEdgesWhenAskedTo) {
  ShowAndSettle();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(Wnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  auto moveTo = [&](int x, int y, int width) {
    SetWindowPos(Wnd(), nullptr, x, y, width, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r;
    GetWindowRect(Wnd(), &r);
    return POINT{r.left, r.top};
  };
  struct Case {
    const char* what;
    bool snap;
    int x, y, width;
    POINT expected;
  };
  const int workWidth = work.right - work.left;
  const Case cases[] = {
      {"off: the form stays where it is put", false, work.left + 7, 200, 400, {work.left + 7, 200}},
      {"near the left edge", true, work.left + 7, 200, 400, {work.left, 200}},
      {"near the top edge", true, 300, work.top + 6, 400, {300, work.top}},
      {"near the right edge", true, work.right - 404, 200, 400, {work.right - 400, 200}},
      {"far from the edges", true, 300, 200, 400, {300, 200}},
      {"5 narrower than the work area, 3 from the left: the left edge",
       true,
       work.left + 3,
       200,
       workWidth - 5,
       {work.left, 200}},
  };
  for (const Case& c : cases) {
    provider->SetScreenSnap(c.snap);
    const POINT at = moveTo(c.x, c.y, c.width);
    EXPECT_EQ(at.x, c.expected.x) << c.what;
    EXPECT_EQ(at.y, c.expected.y) << c.what;
  }
}

// The rubber-band frame needs the system's full-window dragging.
using skintest::TFullWindowDragging;

INPUT Button(DWORD flag) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flag;
  return input;
}

// Presses the left button at `from`, drags it through `to` and releases it there.
void Drag(POINT from, POINT to) {
  ASSERT_TRUE(ktest::MovePointerTo(from));
  ASSERT_TRUE(ktest::SendInputAndHandle({Button(MOUSEEVENTF_LEFTDOWN)}));
  ASSERT_TRUE(ktest::MovePointerTo(POINT{(from.x + to.x) / 2, (from.y + to.y) / 2}));
  ASSERT_TRUE(ktest::MovePointerTo(to));
  ASSERT_TRUE(ktest::SendInputAndHandle({Button(MOUSEEVENTF_LEFTUP)}));
}

TEST_F(SkinnedFormMessages, TheRubberFrameMovesAndSizesTheFormOnceReleased) {
  TFullWindowDragging dragging;
  provider->SetResizeMode(rmBorder);
  ShowAndSettle();
  RECT start;
  GetWindowRect(Wnd(), &start);
  // By the caption: the whole form moves.
  Drag(POINT{start.left + 150, start.top + 10}, POINT{start.left + 190, start.top + 40});
  ktest::Settle(Wnd(), 200);
  RECT r;
  GetWindowRect(Wnd(), &r);
  EXPECT_EQ(r.left, start.left + 40);
  EXPECT_EQ(r.top, start.top + 30);
  EXPECT_EQ(r.right - r.left, start.right - start.left);
  EXPECT_FALSE(provider->RubberFrameActive());
  EXPECT_EQ(GetCapture(), nullptr) << "the mouse is still held";
  // By the right edge, pulled out and down: only the width changes.
  GetWindowRect(Wnd(), &start);
  const int middle = (start.top + start.bottom) / 2;
  Drag(POINT{start.right - 2, middle}, POINT{start.right + 48, middle + 30});
  ktest::Settle(Wnd(), 200);
  GetWindowRect(Wnd(), &r);
  EXPECT_EQ(r.right - r.left, start.right - start.left + 50);
  EXPECT_EQ(r.bottom - r.top, start.bottom - start.top) << "a side edge changed the height";
  EXPECT_EQ(r.left, start.left);
  // By the bottom right corner, far in: the form stops at its minimum size.
  form.Form->Constraints()->MinWidth = 250;
  GetWindowRect(Wnd(), &start);
  Drag(POINT{start.right - 2, start.bottom - 2}, POINT{start.left + 20, start.top + 20});
  ktest::Settle(Wnd(), 200);
  GetWindowRect(Wnd(), &r);
  EXPECT_EQ(r.right - r.left, 250);
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYMINTRACK));
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0);
}

TEST_F(SkinnedFormMessages, ALostMouseEndsTheRubberFrameWithoutMovingTheForm) {
  TFullWindowDragging dragging;
  provider->SetResizeMode(rmBorder);
  ShowAndSettle();
  RECT start;
  GetWindowRect(Wnd(), &start);
  ASSERT_TRUE(ktest::MovePointerTo(POINT{start.left + 150, start.top + 10}));
  ASSERT_TRUE(ktest::SendInputAndHandle({Button(MOUSEEVENTF_LEFTDOWN)}));
  ASSERT_TRUE(ktest::MovePointerTo(POINT{start.left + 200, start.top + 60}));
  ASSERT_TRUE(provider->RubberFrameActive());
  EXPECT_EQ(GetCapture(), Wnd());
  // Another window takes the mouse: the frame goes and the form stays.
  ktest::TFormGuard other;
  other.Form->SetBounds(600, 450, 150, 100);
  other.Show();
  SetCapture(other.Form->Handle());
  ktest::Pump();
  EXPECT_FALSE(provider->RubberFrameActive());
  ASSERT_TRUE(ktest::SendInputAndHandle({Button(MOUSEEVENTF_LEFTUP)}));
  ReleaseCapture();
  RECT r;
  GetWindowRect(Wnd(), &r);
  EXPECT_TRUE(EqualRect(&r, &start));
  // The system cancels the mode (a dialog comes up, say): the same. The press lands
  // elsewhere on the caption, so it is not taken for a double click.
  SetForegroundWindow(Wnd());
  ktest::Settle(Wnd(), 200);
  ASSERT_TRUE(ktest::MovePointerTo(POINT{start.left + 250, start.top + 12}));
  ASSERT_TRUE(ktest::SendInputAndHandle({Button(MOUSEEVENTF_LEFTDOWN)}));
  ASSERT_TRUE(ktest::MovePointerTo(POINT{start.left + 280, start.top + 30}));
  ASSERT_TRUE(provider->RubberFrameActive());
  SendMessageA(Wnd(), WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(provider->RubberFrameActive());
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_TRUE(ktest::SendInputAndHandle({Button(MOUSEEVENTF_LEFTUP)}));
  GetWindowRect(Wnd(), &r);
  EXPECT_TRUE(EqualRect(&r, &start));
}

TEST_F(SkinnedFormMessages, TheMouseOnTheFormTellsTheHotControlThatItLeft) {
  auto* panel = form.Add<TPanel>();
  panel->SetBounds(20, 20, 80, 50);
  ShowAndSettle();
  // An adapted window reports itself hot when the mouse enters it and learns that it left
  // only from the skin command.
  int leaves = 0;
  TWindowSubclass counter(panel->Handle(), [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
    if (msg == SM_SKINCMD && SkinCmdOf(wParam) == CmdMouseLeave) ++leaves;
    return false;
  });
  ASSERT_NE(TsSkinRuntimeHotWindow, nullptr);
  TsSkinRuntimeHotWindow(panel->Handle());
  POINT beside{250, 150};
  ClientToScreen(Wnd(), &beside);
  ASSERT_TRUE(ktest::MovePointerTo(beside));
  EXPECT_EQ(leaves, 1);
}

// Two quick clicks at the point; waits until the form has had the double click. The first
// press may start the system's move loop, which takes its release itself: the input is sent
// as it is and the form's procedure tells when the double click arrived.
void DoubleClick(TControl* form, POINT at) {
  int doubleClicks = 0;
  TWndMethod saved = form->WindowProc();
  form->SetWindowProc(TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_NCLBUTTONDBLCLK) ++doubleClicks;
    saved(m);
  }));
  ASSERT_TRUE(ktest::MovePointerTo(at));
  INPUT clicks[4] = {Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP),
                     Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP)};
  SendInput(4, clicks, sizeof(INPUT));
  EXPECT_TRUE(ktest::PumpUntil([&] { return doubleClicks == 1; }));
  ktest::Pump();
  form->SetWindowProc(saved);
}

TEST_F(SkinnedFormMessages, ACaptionDoubleClickMaximizesAndRestoresWhenTheFormMayBeMaximized) {
  ShowAndSettle();
  RECT normal;
  GetWindowRect(Wnd(), &normal);
  DoubleClick(form.Form, POINT{normal.left + 120, normal.top + 10});
  ASSERT_TRUE(ktest::PumpUntil([&] { return IsZoomed(Wnd()) != FALSE; }));
  ktest::Settle(Wnd(), 200);
  RECT maximized;
  GetWindowRect(Wnd(), &maximized);
  DoubleClick(form.Form, POINT{maximized.left + 120, maximized.top + 10});
  ASSERT_TRUE(ktest::PumpUntil([&] { return IsZoomed(Wnd()) == FALSE; }));
  ktest::Settle(Wnd(), 200);
  RECT restored;
  GetWindowRect(Wnd(), &restored);
  EXPECT_TRUE(EqualRect(&restored, &normal));
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0);
  // Without a maximize button the menu allows neither: the double click changes nothing.
  form.Form->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
  ktest::Settle(Wnd(), 200);
  GetWindowRect(Wnd(), &normal);
  DoubleClick(form.Form, POINT{normal.left + 180, normal.top + 10});
  ktest::Settle(Wnd(), 300);
  EXPECT_FALSE(IsZoomed(Wnd()));
  GetWindowRect(Wnd(), &restored);
  EXPECT_TRUE(EqualRect(&restored, &normal));
}

TEST_F(SkinnedFormMessages, TheSkinEditorLearnsThePreviewsNewWindowWhenItIsMadeAgain) {
  // A skin editor: a window of that title that takes the window it is told of.
  ktest::TFormGuard editor;
  editor.Form->SetCaption("Skin Editor");
  editor.Form->SetBounds(600, 450, 150, 100);
  editor.Show();
  std::vector<HWND> told;
  TWindowSubclass answer(editor.Form->Handle(),
                         [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                           if (msg != SkinEditorCommand || wParam != SkinEditorPassOn) return false;
                           told.push_back(reinterpret_cast<HWND>(lParam));
                           result = 1;
                           return true;
                         });
  PreviewMode = true;
  ShowAndSettle();
  ASSERT_EQ(told, std::vector<HWND>{Wnd()});
  form.Form->RecreateWnd();
  ktest::Settle(Wnd(), 200);
  PreviewMode = false;
  ASSERT_EQ(told.size(), 2u) << "the editor still holds the old window";
  EXPECT_EQ(told.back(), Wnd());
  EXPECT_NE(told.front(), told.back());
}

TEST_F(SkinnedFormMessages, ANewCaptionIsPaintedIntoTheSkinnedTitle) {
  ShowAndSettle();
  const std::vector<uint32_t> before = TitlePixels(Wnd());
  form.Form->SetCaption("A much longer caption than before, WWWW");
  ktest::Settle(Wnd(), 300);
  EXPECT_NE(TitlePixels(Wnd()), before) << "the title still shows the old caption";
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0) << "the system drew its own caption";
}

TEST_F(SkinnedFormMessages, ChangedSettingsAndColoursRebuildTheFrame) {
  ShowAndSettle();
  for (const UINT msg : {UINT(WM_SETTINGCHANGE), UINT(WM_SYSCOLORCHANGE)}) {
    const int builds = provider->FrameBuilds();
    SendMessageA(Wnd(), msg, 0, 0);
    RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ktest::Settle(Wnd(), 200);
    EXPECT_EQ(provider->FrameBuilds(), builds + 1) << "message " << msg;
    EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0) << "message " << msg;
  }
}

TEST_F(SkinnedFormMessages, TheSkinnedFormAnswersItsOwnSkinCommands) {
  ShowAndSettle();
  EXPECT_EQ(SendSkinCmd(Wnd(), CmdGetApplication, 0), reinterpret_cast<LRESULT>(Application));
  // Children ask whether the form's background is being rebuilt. A plain one (this skin's
  // form) never is, even while the form's painting is held.
  EXPECT_EQ(SendSkinCmd(Wnd(), CmdIsUpdating, 0), 0);
  ASSERT_FALSE(provider->SkinData()->NeedsCache());
  SendSkinCmd(Wnd(), CmdSetUpdating, 0, 1);
  ASSERT_TRUE(provider->SkinData()->PaintSuspended);
  EXPECT_EQ(SendSkinCmd(Wnd(), CmdIsUpdating, 0), 0);
  SendSkinCmd(Wnd(), CmdSetUpdating, 0, 0);
  // Immediate painting rebuilds a stale frame image at once.
  provider->SkinData()->BackgroundDirty = true;
  const int builds = provider->FrameBuilds();
  SendSkinCmd(Wnd(), CmdSetImmediatePaint, 0, 1);
  EXPECT_EQ(provider->FrameBuilds(), builds + 1);
  EXPECT_FALSE(provider->SkinData()->BackgroundDirty);
  SendSkinCmd(Wnd(), CmdSetImmediatePaint, 0, 0);
  // A form whose background is not its children's holds nothing while they scroll.
  SendSkinCmd(Wnd(), CmdBeforeScroll, 0);
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(FrameDifferences(*provider, Wnd()), 0);
  SendSkinCmd(Wnd(), CmdAfterScroll, 0);
}

// ---- the form skinning's services -----------------------------------------------------------

struct FormServicesSeam : SkinnedFormMessages {
  void SetUp() override {
    SkinnedFormMessages::SetUp();
    InstallFormServices();
  }
  void TearDown() override {
    RemoveFormServices();
    SkinnedFormMessages::TearDown();
  }
};

TEST_F(FormServicesSeam, TheFormsPictureHoldsItsFrameAndChildrenOpaque) {
  auto* panel = form.Add<TPanel>();
  panel->SetBounds(40, 30, 80, 50);
  panel->SetColor(RGB(200, 0, 0));
  panel->SetBevelOuter(bvNone);
  ShowAndSettle();
  const TSize size = provider->FrameImageSize();
  auto picture = CreateBmp32(size.cx, size.cy);
  FormServices().PaintFormToBitmap(*picture, *provider);
  int width = 0, height = 0;
  const std::vector<uint32_t> shown = WindowDCPixels(Wnd(), width, height);
  ASSERT_EQ(TSize(width, height), size);
  int differ = 0, transparent = 0;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(picture->ScanLine(y));
    for (int x = 0; x < width; ++x) {
      if ((row[x] & 0xFFFFFF) != shown[static_cast<size_t>(y) * width + x]) ++differ;
      if ((row[x] >> 24) != 255) ++transparent;
    }
  }
  EXPECT_EQ(differ, 0) << "the picture is not what the window shows";
  EXPECT_EQ(transparent, 0);
  // The child lies where it shows, in its own colour.
  const RECT client = ktest::ClientRectInWindow(Wnd());
  EXPECT_EQ(skintest::Pixel32(*picture, client.left + 80, client.top + 55) & 0xFFFFFF, 0xC80000u);
}

TEST_F(FormServicesSeam, AWindowIsHiddenForAnAnimationOnceAndThenLeftAlone) {
  ShowAndSettle();
  ISkinFormServices& services = FormServices();
  const auto key = reinterpret_cast<TWindowKey>(Wnd());
  EXPECT_TRUE(services.HideForAnimation(key, true));
  EXPECT_TRUE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Wnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 1);
  EXPECT_TRUE(flags & LWA_ALPHA);
  // Already layered: another animation's layering is not taken over.
  EXPECT_FALSE(services.HideForAnimation(key, true));
  // Without layering the style bits go, and the window is not told.
  EXPECT_FALSE(services.HideForAnimation(key, false));
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_VISIBLE);
  ShowWindow(Wnd(), SW_HIDE);
}

TEST_F(FormServicesSeam, ALayeredWindowShowsTheBitmapItIsGiven) {
  ktest::TFormGuard popup;
  popup.Form->SetBorderStyle(bsNone);
  popup.Form->SetBounds(150, 150, 60, 40);
  popup.Show();
  auto picture = CreateBmp32(60, 40);
  for (int y = 0; y < 40; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(picture->ScanLine(y));
    for (int x = 0; x < 60; ++x) row[x] = 0xFF2080C0;
  }
  FormServices().UpdateLayeredBitmap(reinterpret_cast<TWindowKey>(popup.Form->Handle()),
                                     picture.get(), 255);
  EXPECT_TRUE(GetWindowLongPtrA(popup.Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  ASSERT_TRUE(ktest::PumpUntil([] {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, 180, 170);
    ReleaseDC(nullptr, screen);
    return c == RGB(0x20, 0x80, 0xC0);
  })) << "the layered window does not show its bitmap";
}

TEST_F(SkinnedFormMessages, TheTaskBarsLivePreviewIsTheFormWithItsChildren) {
  auto* panel = form.Add<TPanel>();
  panel->SetBounds(40, 30, 80, 50);
  panel->SetColor(RGB(0, 160, 0));
  panel->SetBevelOuter(bvNone);
  ShowAndSettle();
  struct TShown {
    int calls = 0;
    SIZE size{};
    COLORREF child = 0;
    uint32_t flags = 0;
  } shown;
  const RECT client = ktest::ClientRectInWindow(Wnd());
  SetDwmEnvironment(TsDwmEnvironment{
      6, [&]() -> std::optional<TsDwmFunctions> {
        TsDwmFunctions f;
        f.SetIconicLivePreviewBitmap = [&](TWindowKey, uintptr_t bitmap, TPoint, uint32_t flags) {
          auto* hbm = reinterpret_cast<HBITMAP>(bitmap);
          BITMAP info{};
          GetObjectA(hbm, sizeof info, &info);
          shown.size = SIZE{info.bmWidth, info.bmHeight};
          HDC mem = CreateCompatibleDC(nullptr);
          HGDIOBJ old = SelectObject(mem, hbm);
          shown.child = GetPixel(mem, client.left + 80, client.top + 55);
          SelectObject(mem, old);
          DeleteDC(mem);
          shown.flags = flags;
          ++shown.calls;
          return 0;
        };
        return f;
      }});
  IconicPreviewEnabled = true;
  const LRESULT answer = SendMessageA(Wnd(), WM_DWMSENDICONICLIVEPREVIEWBITMAP, 0, 0);
  IconicPreviewEnabled = false;
  ResetDwmEnvironment();
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(shown.calls, 1);
  EXPECT_EQ(shown.size.cx, provider->FrameImageSize().cx);
  EXPECT_EQ(shown.size.cy, provider->FrameImageSize().cy);
  EXPECT_EQ(shown.child, RGB(0, 160, 0));
  EXPECT_EQ(shown.flags, 1u);  // shown in the window's frame
}

}  // namespace
