// The show, hide and skin-change animations of a skinned form under Wine: the frames the
// animation pushed are read through the frame sink, and the end state from the windows: the
// form shown opaque and not layered, or hidden, the covers gone, the new skin's pixels on the
// screen, AnimationRunning false after every routine.
#include "skin/forms/sVclUtilsAnimWin32.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sFormServicesWin32.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

// What the sink saw of one frame: the image's pixel at a point is copied, as the image is
// reused for the next frame.
struct TSeenFrame {
  TskAnimKind Kind;
  HWND Window;
  int Index;
  int Alpha;
  int Width, Height;
  uint32_t Corner;  // 0xAARRGGBB at (2, 2)
  uint32_t Middle;  // at the middle
};

struct TFrameRecorder : IskAnimationFrameSink {
  std::vector<TSeenFrame> frames;
  void FramePushed(const TskPushedFrame& f) override {
    auto* image = const_cast<TBitmap*>(f.Image);
    frames.push_back(
        TSeenFrame{f.Kind, reinterpret_cast<HWND>(f.Window), f.Index, f.Alpha, image->Width(),
                   image->Height(), skintest::Pixel32(*image, 2, 2),
                   skintest::Pixel32(*image, image->Width() / 2, image->Height() / 2)});
  }
  std::vector<int> Alphas() const {
    std::vector<int> alphas;
    for (const TSeenFrame& f : frames) alphas.push_back(f.Alpha);
    return alphas;
  }
};

bool Layered(HWND wnd) { return (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

COLORREF ScreenPixel(POINT p) {
  ktest::TScreenshot shot;
  if (!ktest::CaptureArea(nullptr, p.x, p.y, 1, 1, shot)) return CLR_INVALID;
  return shot.ColorAt(0, 0);
}

COLORREF AsColorRef(uint32_t argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

struct FormAnimation : ::testing::Test {
  static void SetUpTestSuite() {
    Application->Initialize();
    InitSkinRuntime();
    InstallFormServices();
  }
  void SetUp() override {
    InstallSkinRuntime(*fixture.Manager);
    skintest::AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Full");
    skintest::AddSkinFolder(fixture.Fs, "WMP 2008 (internal)",
                            "C:\\App\\Skins\\WMP 2008 (internal)");
    form.Form->SetCaption("Animation");
    form.Form->SetBounds(60, 60, 320, 240);
    fixture.Manager->SetSkinName("Full");
    ASSERT_EQ(fixture.Manager->LastLoadError(), "");
    TskAnimEffects& effects = *fixture.Manager->AnimEffects();
    effects.FormShow.Active = false;
    effects.FormHide.Active = false;
    effects.SkinChanging.Active = false;
    coversBefore = TskCoverForm::Alive();
    SetAnimationFrameSink(&recorder);
  }
  void TearDown() override {
    SetAnimationFrameSink(nullptr);
    StopHideAnimation();
    ktest::Pump();
  }
  TsSkinProvider* MakeProvider() {
    provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(fixture.Manager.get());
    provider->InitFormSkin();
    return provider;
  }
  void ShowAndSettle() {
    form.Show();
    SetForegroundWindow(Wnd());
    ktest::Settle(Wnd(), 200);
  }
  HWND Wnd() { return form.Form->Handle(); }
  POINT ClientMiddle() {
    POINT p{form.Form->ClientWidth() / 2, form.Form->ClientHeight() / 2};
    ClientToScreen(Wnd(), &p);
    return p;
  }
  int CoversLeft() const { return TskCoverForm::Alive() - coversBefore; }

  skintest::TManagerFixture fixture;
  ktest::TFormGuard form;
  TsSkinProvider* provider = nullptr;
  TFrameRecorder recorder;
  int coversBefore = 0;
};

TEST_F(FormAnimation, AShownFormFadesInAndEndsVisibleOpaqueNotLayeredWithItsCoverGone) {
  TskFormShow& show = fixture.Manager->AnimEffects()->FormShow;
  show.Active = true;
  show.Time = 100;
  show.Mode = atFading;
  MakeProvider();
  ShowAndSettle();

  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(Layered(Wnd()));
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_FALSE(AnimationRunning);
  // 100 ms: frames 0 to 8, then the end state.
  ASSERT_EQ(recorder.frames.size(), 10u);
  const std::vector<int> alphas = recorder.Alphas();
  // Frames 0 to 7 rise by 255/8; frame 8 stays at the value.
  for (size_t i = 1; i < 8; ++i) EXPECT_GT(alphas[i], alphas[i - 1]) << i;
  EXPECT_EQ(recorder.frames[7].Alpha, 255);
  EXPECT_EQ(recorder.frames[8].Alpha, 255);
  EXPECT_EQ(recorder.frames.back().Index, -1);
  EXPECT_EQ(recorder.frames.back().Alpha, 255);
  RECT window;
  GetWindowRect(Wnd(), &window);
  for (const TSeenFrame& f : recorder.frames) {
    EXPECT_EQ(f.Kind, TskAnimKind::FormShow);
    EXPECT_EQ(f.Width, window.right - window.left);
    EXPECT_EQ(f.Height, window.bottom - window.top);
    EXPECT_EQ(f.Middle >> 24, 255u) << "the snapshot is opaque";
  }
  // The form shows by itself what its frames showed, in front of whatever lies behind it.
  const COLORREF shown = AsColorRef(recorder.frames.back().Middle);
  EXPECT_TRUE(ktest::PumpUntil([&] { return ScreenPixel(ClientMiddle()) == shown; }, 10000))
      << std::hex << ScreenPixel(ClientMiddle()) << " instead of " << shown;
}

TEST_F(FormAnimation, AFormWithABorderWindowFadesInWithItsShadowAndEndsWithItsBorderShown) {
  fixture.Manager->SetExtendedBorders(true);
  TskFormShow& show = fixture.Manager->AnimEffects()->FormShow;
  show.Active = true;
  show.Time = 60;
  show.Mode = atFading;
  MakeProvider();
  ShowAndSettle();

  const HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  ASSERT_TRUE(IsWindow(border));
  EXPECT_TRUE(IsWindowVisible(border));
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(Layered(Wnd()));
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_FALSE(AnimationRunning);
  ASSERT_EQ(recorder.frames.size(), 7u);
  RECT borderRect;
  GetWindowRect(border, &borderRect);
  const TSeenFrame& last = recorder.frames.back();
  EXPECT_EQ(last.Width, borderRect.right - borderRect.left);
  EXPECT_EQ(last.Height, borderRect.bottom - borderRect.top);
  EXPECT_LT(last.Corner >> 24, 255u) << "the shadow stays see-through";
  EXPECT_EQ(last.Middle >> 24, 255u);
  // The border window shows its picture again: the title above the client is the skin's.
  POINT title{ClientMiddle().x, borderRect.top};
  RECT window;
  GetWindowRect(Wnd(), &window);
  title.y = window.top - 2;
  EXPECT_TRUE(ktest::PumpUntil([&] { return ScreenPixel(title) != RGB(0, 0, 0); }, 10000));
}

TEST_F(FormAnimation, AZoomedShowStartsAtThreeQuartersOfTheFormOverTransparentBlack) {
  TskFormShow& show = fixture.Manager->AnimEffects()->FormShow;
  show.Active = true;
  show.Time = 48;
  show.Mode = atAero;
  MakeProvider();
  ShowAndSettle();

  ASSERT_EQ(recorder.frames.size(), 6u);
  const TSeenFrame& first = recorder.frames.front();
  EXPECT_EQ(first.Corner, 0u) << "outside the zoom nothing shows";
  EXPECT_EQ(first.Middle >> 24, 255u);
  EXPECT_EQ(recorder.frames[4].Corner >> 24, 255u) << "the last frame fills the window";
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(Layered(Wnd()));
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_FALSE(AnimationRunning);
}

TEST_F(FormAnimation, AShowOrHideBelowOneFrameHappensAtOnceAndLeavesNoCover) {
  TskAnimEffects& effects = *fixture.Manager->AnimEffects();
  effects.FormShow.Active = true;
  effects.FormShow.Time = 11;
  effects.FormHide.Active = true;
  effects.FormHide.Time = 11;
  MakeProvider();
  ShowAndSettle();
  EXPECT_TRUE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(Layered(Wnd()));
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(CoversLeft(), 0);

  // The routines themselves: a form made layered for its show is shown plainly at once.
  HideForAnimation(Wnd(), true);
  AnimateFormShow(*provider, 11, 255, atAero);
  EXPECT_FALSE(Layered(Wnd()));
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(CoversLeft(), 0);
  // A hide below one frame frees the cover and the snapshot it was handed.
  auto cover = std::make_unique<TskCoverForm>(nullptr);
  cover->HandleNeeded();
  EXPECT_EQ(CoversLeft(), 1);
  StartHideAnimation(std::move(cover), CreateBmp32(40, 30), 11, 255, atFading);
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_TRUE(HideTimer() == nullptr || !HideTimer()->Running());

  form.Form->Hide();
  EXPECT_FALSE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_TRUE(recorder.frames.empty());
}

TEST_F(FormAnimation, AHiddenFormFadesOutOnTheHideTimerAndItsCoverGoes) {
  TskFormHide& hide = fixture.Manager->AnimEffects()->FormHide;
  hide.Active = true;
  hide.Time = 120;
  hide.Mode = atAero;
  MakeProvider();
  ShowAndSettle();
  ASSERT_TRUE(recorder.frames.empty());

  form.Form->Hide();
  EXPECT_FALSE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(AnimationRunning) << "the hide's frames run on after the routine";
  ASSERT_NE(HideTimer(), nullptr);
  ASSERT_TRUE(ktest::PumpUntil([&] { return !HideTimer()->Running(); }, 10000));
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_FALSE(IsWindowVisible(Wnd()));

  // 120 ms: frames 0 to 10, falling to nothing, shrinking from the whole form.
  ASSERT_EQ(recorder.frames.size(), 11u);
  const std::vector<int> alphas = recorder.Alphas();
  for (size_t i = 1; i < alphas.size() - 1; ++i) EXPECT_LT(alphas[i], alphas[i - 1]) << i;
  EXPECT_EQ(alphas.back(), 0);
  EXPECT_EQ(recorder.frames.front().Corner >> 24, 255u);
  EXPECT_EQ(recorder.frames.back().Corner, 0u);
  for (const TSeenFrame& f : recorder.frames) EXPECT_EQ(f.Kind, TskAnimKind::FormHide);
}

TEST_F(FormAnimation, AFormWithABorderWindowFadesOutWithItsShadowAndBothWindowsGo) {
  fixture.Manager->SetExtendedBorders(true);
  TskFormHide& hide = fixture.Manager->AnimEffects()->FormHide;
  hide.Active = true;
  hide.Time = 60;
  hide.Mode = atFading;
  MakeProvider();
  ShowAndSettle();
  const HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  ASSERT_TRUE(IsWindowVisible(border));
  RECT borderRect;
  GetWindowRect(border, &borderRect);

  form.Form->Hide();
  ASSERT_NE(HideTimer(), nullptr);
  ASSERT_TRUE(ktest::PumpUntil([&] { return !HideTimer()->Running(); }, 10000));
  EXPECT_FALSE(IsWindowVisible(Wnd()));
  EXPECT_FALSE(IsWindow(border) && IsWindowVisible(border));
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_FALSE(AnimationRunning);
  ASSERT_EQ(recorder.frames.size(), 6u);
  // The frames are the border window's picture: its size, see-through in the shadow's
  // corner, opaque in the client area.
  const TSeenFrame& first = recorder.frames.front();
  EXPECT_EQ(first.Width, borderRect.right - borderRect.left);
  EXPECT_EQ(first.Height, borderRect.bottom - borderRect.top);
  EXPECT_LT(first.Corner >> 24, 255u);
  EXPECT_EQ(first.Middle >> 24, 255u);
  EXPECT_EQ(recorder.frames.back().Alpha, 0);
}

TEST_F(FormAnimation, ASecondHideFreesTheFirstHidesCoverAtOnce) {
  TskFormHide& hide = fixture.Manager->AnimEffects()->FormHide;
  hide.Active = true;
  hide.Time = 6000;
  MakeProvider();
  ShowAndSettle();
  form.Form->Hide();
  ASSERT_NE(HideTimer(), nullptr);
  const HWND first = HideTimer()->CoverWindow();
  ASSERT_TRUE(IsWindow(first));
  EXPECT_EQ(CoversLeft(), 1);

  ShowAndSettle();
  form.Form->Hide();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(HideTimer()->CoverWindow()));
  EXPECT_EQ(CoversLeft(), 1);
  EXPECT_FALSE(AnimationRunning);
  StopHideAnimation();
  EXPECT_EQ(CoversLeft(), 0);
}

TEST_F(FormAnimation, ASkinChangeCrossFadesToTheNewSkinsPixels) {
  MakeProvider();
  ShowAndSettle();
  const COLORREF before = ScreenPixel(ClientMiddle());
  TskSkinChanging& changing = fixture.Manager->AnimEffects()->SkinChanging;
  changing.Active = true;
  changing.Time = 100;
  changing.Mode = atFading;

  fixture.Manager->SetSkinName("WMP 2008 (internal)");
  ASSERT_EQ(fixture.Manager->LastLoadError(), "");
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(CoversLeft(), 0);
  ASSERT_EQ(recorder.frames.size(), 10u);
  const std::vector<int> alphas = recorder.Alphas();
  for (size_t i = 1; i < 8; ++i) EXPECT_GT(alphas[i], alphas[i - 1]) << i;
  EXPECT_EQ(alphas[8], 255);
  EXPECT_EQ(alphas.back(), 255);
  for (const TSeenFrame& f : recorder.frames) EXPECT_EQ(f.Kind, TskAnimKind::SkinChange);
  // The frames show the new skin, and so does the form when they are over.
  const COLORREF after = AsColorRef(recorder.frames.back().Middle);
  EXPECT_NE(after, before);
  EXPECT_LT(GetRValue(after), 100) << "the new skin is the dark one";
  EXPECT_TRUE(ktest::PumpUntil([&] { return ScreenPixel(ClientMiddle()) == after; }, 10000))
      << std::hex << ScreenPixel(ClientMiddle()) << " instead of " << after;
}

TEST_F(FormAnimation, ASkinChangeWithABorderWindowEndsWithTheNewBorderShown) {
  fixture.Manager->SetExtendedBorders(true);
  MakeProvider();
  ShowAndSettle();
  const HWND border = reinterpret_cast<HWND>(provider->BorderWindow());
  ASSERT_TRUE(IsWindowVisible(border));
  RECT window;
  GetWindowRect(Wnd(), &window);
  // A point of the border window's title strip, above the form's own top.
  const POINT title{(window.left + window.right) / 2, window.top - 2};
  const COLORREF before = ScreenPixel(title);
  TskSkinChanging& changing = fixture.Manager->AnimEffects()->SkinChanging;
  changing.Active = true;
  changing.Time = 60;
  changing.Mode = atFading;

  fixture.Manager->SetSkinName("WMP 2008 (internal)");
  ASSERT_EQ(fixture.Manager->LastLoadError(), "");
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(CoversLeft(), 0);
  ASSERT_EQ(recorder.frames.size(), 7u);
  EXPECT_EQ(recorder.frames.back().Alpha, 255);
  EXPECT_LT(recorder.frames.back().Corner >> 24, 255u) << "the new shadow stays see-through";
  EXPECT_EQ(provider->CoverImage, nullptr);
  const HWND shownBorder = reinterpret_cast<HWND>(provider->BorderWindow());
  ASSERT_TRUE(IsWindow(shownBorder));
  EXPECT_TRUE(IsWindowVisible(shownBorder));
  EXPECT_TRUE(ktest::PumpUntil(
      [&] {
        const COLORREF now = ScreenPixel(title);
        return now != before && now != RGB(0, 0, 0);
      },
      10000))
      << std::hex << before << " stays";
}

TEST_F(FormAnimation, ASkinChangeOfNoTimeShowsTheNewSkinAtOnce) {
  MakeProvider();
  ShowAndSettle();
  TskSkinChanging& changing = fixture.Manager->AnimEffects()->SkinChanging;
  changing.Active = true;
  changing.Time = 0;
  fixture.Manager->SetSkinName("WMP 2008 (internal)");
  EXPECT_TRUE(recorder.frames.empty());
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_FALSE(AnimationRunning);
  EXPECT_TRUE(
      ktest::PumpUntil([&] { return GetRValue(ScreenPixel(ClientMiddle())) < 100; }, 10000));
}

// A windowed control painted in one colour, as a page turns to a page of another colour.
class TColourBox : public TCustomControl {
 public:
  explicit TColourBox(TComponent* owner) : TCustomControl(owner) {}
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
};

TEST_F(FormAnimation, AControlsChangeMixesFromItsOldPictureToItsNewLookAndFreesItsCover) {
  auto* box = new TColourBox(form.Form);
  box->SetParent(form.Form);
  box->SetBounds(20, 20, 100, 60);
  box->SetColor(RGB(200, 0, 0));
  ShowAndSettle();
  ASSERT_TRUE(ktest::PumpUntil(
      [&] { return ktest::ClientPixel(box->Handle(), 50, 30) == RGB(200, 0, 0); }, 10000));

  CoverWithSnapshot(box);
  const HWND output = ChangeCoverWindow();
  ASSERT_TRUE(IsWindow(output));
  EXPECT_TRUE(IsWindowVisible(output));
  EXPECT_EQ(GetWindow(output, GW_HWNDNEXT), box->Handle()) << "right over the control";
  SendMessageA(box->Handle(), WM_SETREDRAW, 0, 0);
  box->SetColor(RGB(0, 0, 200));
  AnimateFromSnapshot(box, 48, 255);

  EXPECT_FALSE(IsWindow(output));
  EXPECT_EQ(ChangeCoverWindow(), nullptr);
  EXPECT_FALSE(AnimationRunning);
  // 48 ms: frames 0 to 4 with 255, 192, 129, 66, 3 of 256 of the old red, then the new blue.
  ASSERT_EQ(recorder.frames.size(), 6u);
  const int oldShares[] = {255, 192, 129, 66, 3};
  for (int i = 0; i < 5; ++i) {
    const TSeenFrame& f = recorder.frames[i];
    EXPECT_EQ(f.Kind, TskAnimKind::ControlChange);
    EXPECT_EQ(f.Alpha, 255 - oldShares[i]);
    EXPECT_EQ((f.Middle >> 16) & 0xFF, static_cast<uint32_t>(MixChannel(200, 0, oldShares[i])))
        << i;
    EXPECT_EQ(f.Middle & 0xFF, static_cast<uint32_t>(MixChannel(0, 200, oldShares[i]))) << i;
  }
  EXPECT_EQ(recorder.frames.back().Middle & 0xFFFFFF, 0x0000C8u);
  EXPECT_TRUE(ktest::PumpUntil(
      [&] { return ktest::ClientPixel(box->Handle(), 50, 30) == RGB(0, 0, 200); }, 10000));
}

TEST_F(FormAnimation, AControlsChangeBelowOneFrameOrNoneAtAllLeavesNoCover) {
  auto* box = new TColourBox(form.Form);
  box->SetParent(form.Form);
  box->SetBounds(20, 20, 100, 60);
  box->SetColor(RGB(200, 0, 0));
  ShowAndSettle();
  CoverWithSnapshot(box);
  box->SetColor(RGB(0, 0, 200));
  AnimateFromSnapshot(box, 0, 255);
  ASSERT_EQ(recorder.frames.size(), 1u);
  EXPECT_EQ(recorder.frames[0].Index, -1);
  EXPECT_EQ(recorder.frames[0].Middle & 0xFFFFFF, 0x0000C8u);
  EXPECT_EQ(ChangeCoverWindow(), nullptr);
  EXPECT_FALSE(AnimationRunning);
  // Without a control nothing happens.
  AnimateFromSnapshot(nullptr, 100, 255);
  EXPECT_FALSE(AnimationRunning);
  // A change that does not happen frees its cover without a frame.
  CoverWithSnapshot(box);
  const HWND output = ChangeCoverWindow();
  ASSERT_TRUE(IsWindow(output));
  FreeChangeCover();
  EXPECT_FALSE(IsWindow(output));
  EXPECT_EQ(ChangeCoverWindow(), nullptr);
  EXPECT_EQ(recorder.frames.size(), 1u);
}

// A sink that fails at the third frame, as a painting step might.
struct TFailingSink : IskAnimationFrameSink {
  int seen = 0;
  void FramePushed(const TskPushedFrame&) override {
    if (++seen == 3) throw std::runtime_error("frame failed");
  }
};

TEST_F(FormAnimation, AFailingAnimationLeavesNoCoverAndAnimationRunningFalse) {
  MakeProvider();
  ShowAndSettle();
  TFailingSink failing;
  SetAnimationFrameSink(&failing);
  HideForAnimation(Wnd(), true);  // as the provider leaves it for a show
  EXPECT_THROW(AnimateFormShow(*provider, 100, 255, atAero), std::runtime_error);
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(CoversLeft(), 0);
  EXPECT_FALSE(Layered(Wnd()));

  failing.seen = 0;
  EXPECT_THROW(AnimateFromSnapshot(*provider, 100, 255, atFading), std::runtime_error);
  EXPECT_FALSE(AnimationRunning);
  EXPECT_EQ(CoversLeft(), 0);
  // The form is drawn by itself again afterwards.
  EXPECT_TRUE(IsWindowVisible(Wnd()));
}

}  // namespace
