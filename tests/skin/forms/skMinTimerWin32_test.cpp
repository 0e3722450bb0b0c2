// The minimize animation under Wine: the system's minimize command shows the form's picture
// flying away in a window of its own and leaves the form minimized and not layered; a time
// below one tick minimizes at once; a restore flies the picture back and ends with the form
// restored, shown and not layered, also when it turns a flight round halfway; the timer and
// its window go with the provider, also in the middle of a flight; the task bar's target is
// always somewhere, also without the shell's windows.
#include "skin/forms/skMinTimerWin32.h"

#include <gtest/gtest.h>

#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/skin/forms/SkinnedFormFixtureWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

struct MinimizeAnimation : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
  }
  void SetUp() override {
    InstallSkinRuntime(*fixture.Manager);
    skintest::AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Full");
    form.Form->SetCaption("Minimize");
    fixture.Manager->SetSkinName("Full");
    ASSERT_EQ(fixture.Manager->LastLoadError(), "");
    fixture.Manager->AnimEffects()->Minimizing.Active = true;
    fixture.Manager->AnimEffects()->Minimizing.Time = 200;
  }
  void TearDown() override { ktest::Pump(); }
  TsSkinProvider* MakeProvider() {
    auto* provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(fixture.Manager.get());
    provider->InitFormSkin();
    form.Show();
    SetForegroundWindow(Wnd());
    ktest::Settle(Wnd(), 200);
    return provider;
  }
  HWND Wnd() { return form.Form->Handle(); }
  void Minimize() { SendMessageA(Wnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

  skintest::TManagerFixture fixture;
  ktest::TFormGuard form;
};

TEST_F(MinimizeAnimation, EndsWithTheFormMinimizedAndNotLayered) {
  TsSkinProvider* provider = MakeProvider();
  Minimize();
  TskMinTimer* timer = provider->MinimizeTimer();
  ASSERT_NE(timer, nullptr);
  HWND frame = timer->FrameWindow();
  ASSERT_TRUE(IsWindow(frame));
  ASSERT_TRUE(ktest::PumpUntil([&] { return !timer->Running(); }, 10000));
  EXPECT_GT(timer->FramesShown(), 3) << "the picture did not fly";
  EXPECT_TRUE(IsIconic(Wnd()));
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(IsWindowVisible(frame));
  EXPECT_EQ(provider->FrameFlags & 0x100u, 0u);
}

TEST_F(MinimizeAnimation, ATimeBelowOneTickMinimizesAtOnce) {
  fixture.Manager->AnimEffects()->Minimizing.Time = 11;
  TsSkinProvider* provider = MakeProvider();
  Minimize();
  EXPECT_EQ(provider->MinimizeTimer(), nullptr);
  EXPECT_TRUE(IsIconic(Wnd()));
}

TEST_F(MinimizeAnimation, TheTimerAndItsWindowGoWithTheProviderInMidFlight) {
  fixture.Manager->AnimEffects()->Minimizing.Time = 3000;
  const int before = TskMinTimer::Alive();
  TsSkinProvider* provider = MakeProvider();
  Minimize();
  ASSERT_NE(provider->MinimizeTimer(), nullptr);
  HWND frame = provider->MinimizeTimer()->FrameWindow();
  ktest::Settle(Wnd(), 100);
  ASSERT_TRUE(provider->MinimizeTimer()->Running());
  EXPECT_EQ(TskMinTimer::Alive(), before + 1);
  delete provider;
  EXPECT_EQ(TskMinTimer::Alive(), before);
  EXPECT_FALSE(IsWindow(frame));
  // Ticks already on their way find nothing to do.
  ktest::Settle(Wnd(), 200);
}

TEST_F(MinimizeAnimation, ARestoreFliesBackAndEndsRestoredVisibleAndNotLayered) {
  TsSkinProvider* provider = MakeProvider();
  Minimize();
  TskMinTimer* timer = provider->MinimizeTimer();
  ASSERT_NE(timer, nullptr);
  ASSERT_TRUE(ktest::PumpUntil([&] { return !timer->Running(); }, 10000));
  const int minimizeFrames = timer->FramesShown();
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  // The same flight, backwards.
  ASSERT_EQ(provider->MinimizeTimer(), timer);
  EXPECT_TRUE(timer->Restoring());
  EXPECT_NE(provider->FrameFlags & 0x400u, 0u);
  ASSERT_TRUE(ktest::PumpUntil([&] { return !timer->Running(); }, 10000));
  EXPECT_GT(timer->FramesShown() - minimizeFrames, 3) << "the picture did not fly back";
  EXPECT_FALSE(IsIconic(Wnd()));
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(IsWindowVisible(timer->FrameWindow()));
  EXPECT_EQ(provider->FrameFlags & 0x500u, 0u);
  // The screen shows the form itself again, not what lies below it.
  const POINT centre = ktest::ClientCentreOf(Wnd());
  POINT client = centre;
  ScreenToClient(Wnd(), &client);
  HDC dc = GetDC(Wnd());
  const COLORREF drawn = GetPixel(dc, client.x, client.y);
  ReleaseDC(Wnd(), dc);
  EXPECT_TRUE(ktest::PumpUntil([&] { return skintest::ScreenPixel(centre) == drawn; }));
}

TEST_F(MinimizeAnimation, ARestoreInMidFlightTurnsRoundWhereItIs) {
  fixture.Manager->AnimEffects()->Minimizing.Time = 3000;
  TsSkinProvider* provider = MakeProvider();
  Minimize();
  TskMinTimer* timer = provider->MinimizeTimer();
  ASSERT_NE(timer, nullptr);
  ASSERT_TRUE(ktest::PumpUntil([&] { return timer->FramesShown() >= 4; }, 10000));
  ASSERT_TRUE(timer->Running());
  RECT before;
  GetWindowRect(timer->FrameWindow(), &before);
  SendMessageA(Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(timer->Restoring());
  // The first frame back is where the picture was.
  RECT turned;
  GetWindowRect(timer->FrameWindow(), &turned);
  EXPECT_TRUE(EqualRect(&before, &turned));
  ASSERT_TRUE(ktest::PumpUntil([&] { return !timer->Running(); }, 20000));
  EXPECT_FALSE(IsIconic(Wnd()));
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(GetWindowLongPtrA(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(provider->FrameFlags & 0x500u, 0u);
}

TEST_F(MinimizeAnimation, TheTargetIsAlwaysSomewhere) {
  const TRect form{100, 100, 500, 400};
  const TRect target = GetTaskBarTarget(Wnd(), form, false);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  // Under Wine the shell's task-bar windows are not there: a place by the tray, on the
  // screen, inside the work area.
  TRect button;
  if (!FindTaskBarButtonRect(Wnd(), button)) {
    EXPECT_GE(target.Left, work.left);
    EXPECT_LE(target.Right, work.right);
    EXPECT_LE(target.Bottom, work.bottom);
    EXPECT_GT(target.Left, (work.left + work.right) / 2);
  }
}

}  // namespace
