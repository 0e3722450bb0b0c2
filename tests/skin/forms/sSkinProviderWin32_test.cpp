// The skin provider of a form under Wine: the frame image it composes is what the window's
// non-client area shows, the children keep their own pixels, the form's message path passes
// every message once with hooks above and below it and after it goes, an idle skinned form
// paints and shapes nothing more, removing the skin gives the standard frame back, and the
// skinned title buttons close and minimize the form through real clicks.
#include "skin/forms/sSkinProviderWin32.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "framework/ExtCtrlsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/runtime/sFade.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

constexpr UINT kProbe = WM_APP + 77;

// The window's pixels as its window DC shows them, 0x00RRGGBB, top-down.
struct TWindowPixels {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// What `draw` puts into a 32-bit top-down bitmap of the given size.
template <typename Draw>
TWindowPixels DrawnPixels(int width, int height, Draw draw) {
  ktest::TScreenshot shot;
  ktest::CaptureDrawing(
      width, height,
      [&](HDC mem) {
        draw(mem);
        return true;
      },
      shot);
  return TWindowPixels{shot.Width, shot.Height, std::move(shot.Pixels)};
}

TWindowPixels ReadWindowDC(HWND wnd) {
  RECT r;
  GetWindowRect(wnd, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  return DrawnPixels(width, height, [&](HDC mem) {
    HDC windowDC = GetWindowDC(wnd);
    BitBlt(mem, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    ReleaseDC(wnd, windowDC);
  });
}

bool InRect(const RECT& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Pixels of the non-client area (outside the client rectangle) that differ.
int NonClientDifferences(const TWindowPixels& a, const TWindowPixels& b, const RECT& client) {
  if (a.Width != b.Width || a.Height != b.Height) return -1;
  int differ = 0;
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x)
      if (!InRect(client, x, y) && a.At(x, y) != b.At(x, y)) ++differ;
  return differ;
}

// A counter of one message on the form's message path, installed on top of it.
struct TPathCounter {
  TPathCounter(TControl* control, UINT msg) : control(control) {
    saved = control->WindowProc();
    control->SetWindowProc(TWndMethod([this, msg](TMessage& m) {
      if (m.Msg == msg) ++count;
      saved(m);
    }));
  }
  ~TPathCounter() { Remove(); }
  void Remove() {
    if (control) control->SetWindowProc(saved);
    control = nullptr;
  }
  TControl* control;
  TWndMethod saved;
  int count = 0;
};

struct SkinProvider : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }
  void SetUp() override {
    InstallSkinRuntime(*fixture.Manager);
    skintest::AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Full");
    form.Form->SetCaption("Provider");
  }
  void TearDown() override { ktest::Pump(); }
  void LoadSkin() {
    fixture.Manager->SetSkinName("Full");
    ASSERT_EQ(fixture.Manager->LastLoadError(), "");
  }
  TsSkinProvider* MakeProvider() {
    auto* provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(fixture.Manager.get());
    provider->InitFormSkin();
    return provider;
  }
  void ShowAndSettle() {
    form.Show();
    SetForegroundWindow(form.Form->Handle());
    ktest::Settle(form.Form->Handle(), 300);
  }
  HWND Wnd() { return form.Form->Handle(); }

  skintest::TManagerFixture fixture;
  ktest::TFormGuard form;
};

TEST_F(SkinProvider, TheFrameImageIsWhatTheNonClientAreaShows) {
  auto* menu = new TMainMenu(form.Form);
  for (const char* caption : {"File", "Help"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  form.Form->SetMenu(menu);
  LoadSkin();
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  TBitmap* image = provider->FrameImage();
  ASSERT_NE(image, nullptr);
  const TWindowPixels shown = ReadWindowDC(Wnd());
  ASSERT_EQ(provider->FrameImageSize(), (TSize{shown.Width, shown.Height}));
  const RECT client = ktest::ClientRectInWindow(Wnd());
  int compared = 0, differ = 0;
  for (int y = 0; y < shown.Height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image->ScanLine(y));
    for (int x = 0; x < shown.Width; ++x) {
      if (InRect(client, x, y)) continue;
      ++compared;
      if ((row[x] & 0xFFFFFF) != shown.At(x, y)) ++differ;
    }
  }
  EXPECT_GT(compared, 0);
  EXPECT_EQ(differ, 0) << "of " << compared << " non-client pixels";
  // The menu line lies between the title and the client area.
  EXPECT_GT(client.top, GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU));
}

TEST_F(SkinProvider, ChildrenKeepTheirPixelsAndTheBackgroundComesFromTheImage) {
  auto* panel = form.Add<TPanel>();
  panel->SetBounds(40, 30, 80, 50);
  panel->SetColor(RGB(200, 0, 0));
  panel->SetBevelOuter(bvNone);
  LoadSkin();
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  EXPECT_EQ(ktest::ClientPixel(Wnd(), 80, 55), RGB(200, 0, 0));
  // Beside the child the client shows the image at the client offset.
  TBitmap* image = provider->FrameImage();
  ASSERT_NE(image, nullptr);
  const int x = 200, y = 150;
  const auto* row =
      reinterpret_cast<const uint32_t*>(image->ScanLine(y + provider->GetClientOffsetY()));
  const uint32_t rgb = row[x + provider->GetClientOffsetX()] & 0xFFFFFF;
  EXPECT_EQ(ktest::ClientPixel(Wnd(), x, y), RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

TEST_F(SkinProvider, EachMessagePassesOnceWithHooksAroundTheProviderAndAfterItGoes) {
  LoadSkin();
  form.Form->HandleNeeded();
  TPathCounter below(form.Form, kProbe);
  TsSkinProvider* provider = MakeProvider();
  TPathCounter above(form.Form, kProbe);
  // A hook of the window itself, outside the framework's chain, on top of everything.
  int subclassCount = 0;
  TWindowSubclass outer(Wnd(), [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == kProbe) ++subclassCount;
    return false;
  });
  SendMessageA(Wnd(), kProbe, 0, 0);
  EXPECT_EQ(below.count, 1);
  EXPECT_EQ(above.count, 1);
  EXPECT_EQ(subclassCount, 1);
  // The form answers for its provider while it lives.
  EXPECT_EQ(SkinProviderOf(form.Form), static_cast<ISkinProvider*>(provider));
  delete provider;
  SendMessageA(Wnd(), kProbe, 0, 0);
  EXPECT_EQ(below.count, 2);
  EXPECT_EQ(above.count, 2) << "the later hook lost its place when the provider went";
  EXPECT_EQ(subclassCount, 2);
  EXPECT_EQ(SkinProviderOf(form.Form), nullptr);
  above.Remove();
  SendMessageA(Wnd(), kProbe, 0, 0);
  EXPECT_EQ(below.count, 3);
  EXPECT_EQ(above.count, 2);
}

TEST_F(SkinProvider, AnIdleSkinnedFormPaintsAndShapesNothingMore) {
  LoadSkin();
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  TPathCounter ncPaints(form.Form, WM_NCPAINT);
  const int builds = provider->FrameBuilds(), regions = provider->RegionChanges();
  ktest::Settle(Wnd(), 500);
  EXPECT_EQ(ncPaints.count, 0) << "non-client painting goes on while the form is idle";
  // A frame repainted from outside copies the image again; it neither rebuilds it nor sets
  // the unchanged region again (which would ask for yet another non-client paint).
  for (int i = 0; i < 5; ++i)
    RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  ktest::Settle(Wnd(), 300);
  EXPECT_GE(ncPaints.count, 5);
  EXPECT_LE(ncPaints.count, 6);
  EXPECT_EQ(provider->FrameBuilds(), builds);
  EXPECT_EQ(provider->RegionChanges(), regions);
}

TEST_F(SkinProvider, RemovingTheSkinGivesTheStandardFrameBack) {
  form.Form->SetColor(RGB(10, 120, 30));
  MakeProvider();
  ShowAndSettle();
  const RECT client = ktest::ClientRectInWindow(Wnd());
  const TWindowPixels standard = ReadWindowDC(Wnd());
  LoadSkin();
  ktest::Settle(Wnd(), 300);
  const TWindowPixels skinned = ReadWindowDC(Wnd());
  EXPECT_GT(NonClientDifferences(standard, skinned, client), 100) << "the skin did not show";
  fixture.Manager->SetActive(false);
  ktest::Settle(Wnd(), 300);
  EXPECT_EQ(ktest::ClientRectInWindow(Wnd()).top, client.top);
  EXPECT_EQ(NonClientDifferences(standard, ReadWindowDC(Wnd()), client), 0);
  // No region left, and the form's own colour is back.
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(Wnd(), probe), ERROR);
  DeleteObject(probe);
  EXPECT_EQ(form.Form->Color(), RGB(10, 120, 30));
  EXPECT_EQ(ktest::ClientPixel(Wnd(), 5, 5), RGB(10, 120, 30));
}

TEST_F(SkinProvider, TheSkinnedTitleButtonsMinimizeAndCloseTheForm) {
  LoadSkin();
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  RECT window;
  GetWindowRect(Wnd(), &window);
  auto centreOf = [&](int hitCode) {
    const TRect r = provider->TitleButtonRect(hitCode);
    return POINT{window.left + (r.Left + r.Right) / 2, window.top + (r.Top + r.Bottom) / 2};
  };
  const POINT minimize = centreOf(HTMINBUTTON), close = centreOf(HTCLOSE);
  ASSERT_NE(minimize.x, close.x);
  ktest::Click(minimize);
  ASSERT_TRUE(ktest::PumpUntil([&] { return IsIconic(Wnd()) != FALSE; }));
  ShowWindow(Wnd(), SW_RESTORE);
  SetForegroundWindow(Wnd());
  ktest::Settle(Wnd(), 300);
  ktest::Click(close);
  EXPECT_TRUE(ktest::PumpUntil([&] { return !IsWindowVisible(Wnd()); }));
}

TEST_F(SkinProvider, TheSkinEditorsCloseRequestIsHonouredOnlyInPreview) {
  LoadSkin();
  MakeProvider();
  ShowAndSettle();
  ASSERT_FALSE(PreviewMode);
  EXPECT_EQ(SendMessageA(Wnd(), SkinEditorCommand, SkinEditorPing, 0), 1);
  SendMessageA(Wnd(), SkinEditorCommand, SkinEditorClose, 0);
  ktest::Pump();
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  PreviewMode = true;
  SendMessageA(Wnd(), SkinEditorCommand, SkinEditorClose, 0);
  PreviewMode = false;
  ktest::Pump();
  EXPECT_FALSE(IsWindowVisible(Wnd()));
}

TEST_F(SkinProvider, SessionEndWaitsForFadesOnlyForAWhile) {
  LoadSkin();
  MakeProvider();
  ShowAndSettle();
  // A fade that never ends: the session's end waits for it a while (two seconds), then
  // goes on. The upper bound is generous: the wait must end, not end fast.
  FadeTimerCount = 1;
  const ULONGLONG start = GetTickCount64();
  SendMessageA(Wnd(), WM_QUERYENDSESSION, 0, 0);
  const ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_TRUE(FadesStopped);
  EXPECT_GE(elapsed, 1900u);
  EXPECT_LT(elapsed, 20000u);
  FadeTimerCount = 0;
  FadesStopped = false;
}

TEST_F(SkinProvider, PaintingResumesWhenTheFormsOwnSizeHandlingFails) {
  LoadSkin();
  form.Form->HandleNeeded();
  // Below the provider: the form's own procedure fails on WM_SIZE once asked to.
  bool fail = false;
  TWndMethod saved = form.Form->WindowProc();
  form.Form->SetWindowProc(TWndMethod([&saved, &fail](TMessage& m) {
    if (fail && m.Msg == WM_SIZE) throw std::runtime_error("size handling failed");
    saved(m);
  }));
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  fail = true;
  EXPECT_THROW(form.Form->Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200)),
               std::runtime_error);
  EXPECT_FALSE(provider->SkinData()->PaintSuspended);
  delete provider;
  form.Form->SetWindowProc(saved);
}

}  // namespace

namespace {

// The form skinning's services as a test plays them: counts the hide animations started and
// how often the hide timer was dropped.
struct THideCounter : ISkinFormServices {
  int animated = 0, timersDropped = 0;
  void AnimateFormHide(ISkinProvider&) override { ++animated; }
  void ForgetHideTimer() override { ++timersDropped; }
};

TEST_F(SkinProvider, EveryHideReusesTheOneHideTimer) {
  THideCounter services;
  SetFormServices(&services);
  TskFormHide& hide = fixture.Manager->AnimEffects()->FormHide;
  hide.Active = true;
  hide.Time = 100;
  LoadSkin();
  MakeProvider();
  for (int i = 0; i < 3; ++i) {
    ShowAndSettle();
    form.Form->Hide();
    ktest::Pump();
  }
  SetFormServices(nullptr);
  EXPECT_EQ(services.animated, 3);
  EXPECT_EQ(services.timersDropped, 0);
}

}  // namespace

namespace {

// What the form's own procedure (below the provider) is told of a message.
struct TBelowCounter {
  explicit TBelowCounter(TControl* control) : control(control) {
    saved = control->WindowProc();
    control->SetWindowProc(TWndMethod([this](TMessage& m) {
      if (m.Msg == SM_SKINCMD)
        ++skinCmds[SkinCmdOf(m.WParam)];
      else
        ++messages[m.Msg];
      saved(m);
    }));
  }
  ~TBelowCounter() { control->SetWindowProc(saved); }
  TControl* control;
  TWndMethod saved;
  std::map<int, int> skinCmds;
  std::map<UINT, int> messages;
};

TEST_F(SkinProvider, SkinCommandsAndQuietMessagesOnBothPaths) {
  form.Form->HandleNeeded();
  TBelowCounter below(form.Form);
  TsSkinProvider* provider = MakeProvider();
  // Unskinned: the provider answers for itself, the rest reaches the form.
  ASSERT_FALSE(provider->Skinned());
  EXPECT_EQ(SendSkinCmd(Wnd(), CmdIsSkinned, 0), 1);
  EXPECT_EQ(SkinProviderOf(form.Form), static_cast<ISkinProvider*>(provider));
  SendSkinCmd(Wnd(), CmdMenuShown, 0);
  EXPECT_EQ(below.skinCmds[CmdMenuShown], 1);
  SendMessageA(Wnd(), WM_PRINTCLIENT, 0, 0);
  EXPECT_EQ(below.messages[WM_PRINTCLIENT], 1);
  // Skinned: the same answers, and what is meant for nobody stops at the provider.
  LoadSkin();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  EXPECT_EQ(SendSkinCmd(Wnd(), CmdIsSkinned, 0), 1);
  EXPECT_EQ(SkinProviderOf(form.Form), static_cast<ISkinProvider*>(provider));
  SendSkinCmd(Wnd(), CmdMenuShown, 0);
  EXPECT_EQ(below.skinCmds[CmdMenuShown], 1);
  SendMessageA(Wnd(), WM_PRINTCLIENT, 0, 0);
  SendMessageA(Wnd(), WM_ENTERIDLE, 0, 0);
  EXPECT_EQ(below.messages[WM_PRINTCLIENT], 1);
  EXPECT_EQ(below.messages[WM_ENTERIDLE], 0);
  // The client offset answer is where the client lies in the frame image.
  const LRESULT offset = SendSkinCmd(Wnd(), CmdGetClientOffset, 0);
  EXPECT_EQ(LOWORD(offset), provider->GetClientOffsetX());
  EXPECT_EQ(HIWORD(offset), provider->GetClientOffsetY());
  EXPECT_GT(HIWORD(offset), GetSystemMetrics(SM_CYCAPTION));
}

}  // namespace

namespace {

TEST_F(SkinProvider, APrintedFormShowsItsSkinnedFrameAndBackground) {
  LoadSkin();
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(provider->Skinned());
  const TWindowPixels shown = ReadWindowDC(Wnd());
  // Printed into a bitmap of the window's size, as PrintWindow asks for it.
  const TWindowPixels printed = DrawnPixels(shown.Width, shown.Height, [&](HDC mem) {
    SendMessageA(Wnd(), WM_PRINT, reinterpret_cast<WPARAM>(mem),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  });
  EXPECT_EQ(NonClientDifferences(shown, printed, RECT{0, 0, 0, 0}), 0)
      << "the printed window differs from the shown one";
}

}  // namespace
