// The minimize animation under Wine: the system's minimize command shows the form's picture
// flying away in a window of its own and leaves the form minimized and not layered; a time
// below one tick minimizes at once; the timer and its window go with the provider, also in
// the middle of a flight; the task bar's target is always somewhere, also without the shell's
// windows.
#include "skin/forms/skMinTimerWin32.h"

#include <gtest/gtest.h>

#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"

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
