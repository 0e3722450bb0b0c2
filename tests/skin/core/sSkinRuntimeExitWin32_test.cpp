// The application-window hook while the program ends: the main form's hide plays its
// provider's hide animation once, and the hook waits until the animation is over. A program
// of its own, since the application cannot stop terminating once it has begun.
#include <gtest/gtest.h>

#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/skin/core/TestSkinProviderWin32.h"

namespace {

// The form skinning's hide animation: it runs while AnimationRunning is set, and a timer
// ends it a little later.
struct THideServices : ISkinFormServices {
  std::vector<std::string> log;
  bool HideForAnimation(TWindowKey, bool flag) override {
    log.push_back(flag ? "prepare hide" : "unprepare");
    return true;
  }
  void ForgetHideTimer() override { log.push_back("forget timer"); }
  void AnimateFormHide(ISkinProvider&) override {
    log.push_back("animate hide");
    AnimationRunning = true;
    SetTimer(nullptr, 0, 50, &EndAnimation);
  }
  static void CALLBACK EndAnimation(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    AnimationRunning = false;
  }
};

TEST(SkinRuntimeExit, TheClosingMainFormPlaysItsHideAnimationOnceAndTheHookWaitsForIt) {
  Application->Initialize();
  InitSkinRuntime();
  skintest::TManagerFixture fixture;
  fixture.AddFolderSkin("Plain", "[GLOBALINFO]\nCOLOR=255\n");
  InstallSkinRuntime(*fixture.Manager);
  fixture.Manager->AnimEffects()->FormHide.Time = 150;
  fixture.Manager->SetSkinName("Plain");
  TForm* form = nullptr;
  Application->CreateForm(form);
  std::unique_ptr<TForm> owner(form);
  form->SetBounds(20, 20, 300, 200);
  form->Show();
  Application->ProcessMessages();
  skintest::TTestProvider provider(fixture.Manager.get());
  skintest::TProviderForm watched(form, &provider);
  THideServices services;
  SetFormServices(&services);
  ASSERT_TRUE(HasLayeredWindows());

  WINDOWPOS pos{};
  pos.flags = SWP_HIDEWINDOW;
  TMessage hidden{WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos), 0};
  EXPECT_FALSE(Application->CallHooks(hidden));  // while running: nothing
  EXPECT_TRUE(services.log.empty());

  Application->Terminate();
  EXPECT_FALSE(Application->CallHooks(hidden));
  // Desktop composition decides whether the form is made ready for the animation first.
  std::vector<std::string> expected{"forget timer", "animate hide"};
  if (IsCompositionEnabled()) expected.insert(expected.begin(), "prepare hide");
  EXPECT_EQ(services.log, expected);
  EXPECT_TRUE(provider.CloseAnimationSkipped);
  EXPECT_FALSE(AnimationRunning);  // the hook came back after the animation ended

  services.log.clear();
  Application->CallHooks(hidden);  // played already: not again
  EXPECT_TRUE(services.log.empty());
  SetFormServices(nullptr);
}

}  // namespace
