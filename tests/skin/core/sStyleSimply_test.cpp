// The skinned-forms list and the broadcast rules over a fake set of forms.
#include "skin/core/runtime/sStyleSimply.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "skin/core/painting/sCommonData.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

TEST(SkinnedFormsList, RemovingMovesTheLastIntoTheFreedPlace) {
  const struct {
    std::vector<TWindowKey> before;
    TWindowKey removed;
    std::vector<TWindowKey> after;
  } cases[] = {
      {{1, 2, 3}, 2, {1, 3}}, {{1, 2, 3}, 3, {1, 2}}, {{1, 2, 3}, 1, {3, 2}}, {{1}, 1, {}},
      {{1, 2}, 7, {1, 2}},    {{2, 1, 2}, 2, {1}},  // registered twice: gone entirely
  };
  for (const auto& c : cases) {
    std::vector<TWindowKey> list = c.before;
    RemoveFromSkinnedList(list, c.removed);
    EXPECT_EQ(list, c.after);
  }
  SkinnedForms.clear();
  AddSkinnedForm(5);
  AddSkinnedForm(6);
  RemoveSkinnedForm(5);
  EXPECT_EQ(SkinnedForms, std::vector<TWindowKey>{6});
  SkinnedForms.clear();
}

struct TFakeForms : ISkinBroadcastTree {
  std::vector<TWindowKey> appForms;
  std::set<TWindowKey> skinned, mdiChildren, dead;
  std::vector<TWindowKey> dialogs;
  std::vector<TWindowKey> order;
  std::map<TWindowKey, std::vector<TWindowKey>> freesOnReceipt;  // receiver frees these forms

  std::vector<TWindowKey> ApplicationForms() const override { return appForms; }
  bool IsLiveForm(TWindowKey form) const override { return !dead.count(form); }
  bool TakesDirectBroadcast(TWindowKey form) const override {
    return !skinned.count(form) && !mdiChildren.count(form);
  }
  void SendToFormTree(TWindowKey form, TSkinCmdMessage&) override {
    order.push_back(form);
    for (TWindowKey freed : freesOnReceipt[form]) {
      dead.insert(freed);
      appForms.erase(std::remove(appForms.begin(), appForms.end(), freed), appForms.end());
    }
  }
  std::vector<TWindowKey> VisibleDialogWindows() const override { return dialogs; }
  void SendToWindow(TWindowKey window, TSkinCmdMessage&) override { order.push_back(window); }
};

TEST(SkinBroadcast, EveryFormIsToldExactlyOnceSkinnedOnesThroughTheList) {
  TFakeForms t;
  t.appForms = {1, 2, 3, 4};
  t.skinned = {2, 4};
  t.mdiChildren = {3};
  t.dialogs = {90};
  TSkinCmdMessage m{CmdSkinChanged};
  SendToAllForms(t, {4, 2}, m);
  // Unskinned forms from the last to the first, then the list, then the dialogs.
  EXPECT_EQ(t.order, (std::vector<TWindowKey>{1, 4, 2, 90}));
}

TEST(SkinBroadcast, AReceiverThatFreesFormsDoesNotEndTheBroadcast) {
  TFakeForms t;
  t.appForms = {1, 2, 3, 4, 5};
  t.skinned = {4, 5};
  t.freesOnReceipt[3] = {2, 5};  // form 3 frees an unskinned and a skinned form
  TSkinCmdMessage m{CmdSkinChanged};
  SendToAllForms(t, {4, 5}, m);
  EXPECT_EQ(t.order, (std::vector<TWindowKey>{3, 1, 4}));
}

}  // namespace

// ---- the skin-change animation over fake forms and providers ----------------------------------

namespace {

// What happened, in order, across windows, providers and services.
using TLog = std::vector<std::string>;

std::string Key(TWindowKey k) { return std::to_string(k); }

struct TFakeProvider : ISkinProvider {
  TFakeProvider(TLog& log, TsSkinManager* manager, TWindowKey form)
      : log(log), manager(manager), name(Key(form)), data(nullptr) {
    data.CacheBitmap = CreateBmp32(40, 30);
  }
  TLog& log;
  TsSkinManager* manager;
  std::string name;
  bool drawsNonClient = true;
  TWindowKey border = 0;
  bool hasBorderForm = false;
  TsCommonData data;

  TsSkinManager* SkinManager() const override { return manager; }
  bool DrawNonClientArea() const override { return drawsNonClient; }
  TsCommonData* SkinData() override { return &data; }
  bool HasBorderForm() const override { return hasBorderForm || border; }
  TWindowKey BorderWindow() const override { return border; }
  bool ExtendedBordersAllowed() const override { return HasBorderForm(); }
  TRegionKey CreateBorderRegion() override { return 7000 + border; }
  void UpdateExBorder(bool, int alpha) override {
    log.push_back("exborder " + name + " " + std::to_string(alpha));
  }
  void ClearBorderShowing() override {}
  TWindowKey CoverWindow() const override { return 0; }
  void FreeCoverWindow() override {}
  void StartMinimizeAnimation() override { log.push_back("minimize " + name); }
  bool StartRestoreAnimation() override { return false; }
  void PrepareRegionParts() override { log.push_back("region parts " + name); }
  void SetFormRegion(bool redraw) override {
    log.push_back("form region " + name + (redraw ? " redraw" : ""));
  }
};

struct TFakeServices : ISkinFormServices {
  explicit TFakeServices(TLog& log) : log(log) { SetFormServices(this); }
  ~TFakeServices() override { SetFormServices(nullptr); }
  TLog& log;
  void AnimateFromSnapshot(TWindowKey form, int time, int alpha, TskAnimType mode) override {
    log.push_back("fade " + Key(form) + " " + std::to_string(time) + " " + std::to_string(alpha) +
                  " " + std::to_string(mode));
  }
  void PaintFormToBitmap(TBitmap& bitmap, ISkinProvider& provider) override {
    log.push_back("capture " + static_cast<TFakeProvider&>(provider).name + " " +
                  std::to_string(bitmap.Width()) + "x" + std::to_string(bitmap.Height()));
  }
  void UpdateLayeredBitmap(TWindowKey wnd, TBitmap* bitmap, int alpha) override {
    log.push_back("layered " + Key(wnd) + (bitmap ? " cover " : " none ") + std::to_string(alpha));
  }
};

struct TFakeWindows : ISkinChangeWindows {
  explicit TFakeWindows(TLog& log) : log(log) {}
  TLog& log;
  bool minimized = false;
  std::vector<TWindowKey> forms;
  std::map<TWindowKey, TSkinFormFacts> facts;
  std::map<TWindowKey, ISkinProvider*> providers;

  // A visible top-level form.
  TSkinFormFacts& AddForm(TWindowKey form, ISkinProvider* provider) {
    forms.push_back(form);
    providers[form] = provider;
    TSkinFormFacts& f = facts[form];
    f.IsForm = f.Visible = true;
    return f;
  }
  bool ApplicationMinimized() const override { return minimized; }
  std::vector<TWindowKey> Forms() const override { return forms; }
  TSkinFormFacts FactsOf(TWindowKey form) const override { return facts.at(form); }
  ISkinProvider* ProviderOf(TWindowKey form) override {
    // As a window's answer: followed only when it names a live provider.
    return FindLiveSkinProvider(reinterpret_cast<intptr_t>(providers[form]));
  }
  void SetRedraw(TWindowKey form, bool redraw) override {
    log.push_back("redraw " + Key(form) + (redraw ? " on" : " off"));
  }
  void Redraw(TWindowKey form, bool frame) override {
    log.push_back("paint " + Key(form) + (frame ? " with frame" : ""));
  }
  void SetWindowRegion(TWindowKey window, TRegionKey region, bool redraw) override {
    log.push_back("window region " + Key(window) + " " + Key(region) + (redraw ? " redraw" : ""));
  }
  void RemoveRegionOnOldSystems(TWindowKey) override {}
  void ReshowMaximized(TWindowKey form) override { log.push_back("reshow " + Key(form)); }
};

bool Contains(const TLog& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

struct SkinChangeAnimation : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(manager.IsDefault());
    AnimationRunning = false;
  }
  void TearDown() override { AnimationRunning = false; }
  TLog log;
  TsSkinManager manager{nullptr};
  TsSkinManager other{nullptr};
  TFakeServices services{log};
  TFakeWindows windows{log};
};

TEST_F(SkinChangeAnimation, OnlyVisibleTopLevelFormsOfThisManagerAreFrozen) {
  TFakeProvider taking(log, &manager, 1), minimized(log, &manager, 2), mdiChild(log, &manager, 3),
      inside(log, &manager, 4), hidden(log, &manager, 5), foreign(log, &other, 6);
  windows.AddForm(1, &taking);
  windows.AddForm(2, &minimized).Minimized = true;
  windows.AddForm(3, &mdiChild).MdiChild = true;
  windows.AddForm(4, &inside).HasParentWindow = true;
  windows.AddForm(5, &hidden).Visible = false;
  windows.AddForm(6, &foreign);
  windows.AddForm(7, nullptr);  // no provider
  // A window answering CmdGetProvider with a number that is no provider.
  windows.AddForm(8, reinterpret_cast<ISkinProvider*>(&log));
  windows.AddForm(9, nullptr).IsForm = false;

  FreezeFormsForSkinChange(windows, manager);
  EXPECT_EQ(log, TLog{"redraw 1 off"});
  EXPECT_TRUE(taking.Animating);
  for (TFakeProvider* p : {&minimized, &mdiChild, &inside, &hidden, &foreign})
    EXPECT_FALSE(p->Animating) << p->name;

  log.clear();
  FinishSkinChangeAnimation(windows, manager, true);
  EXPECT_FALSE(taking.Animating);
  EXPECT_EQ(log, (TLog{"fade 1 100 255 0", "redraw 1 on", "region parts 1", "form region 1 redraw",
                       "paint 1"}));
}

TEST_F(SkinChangeAnimation, AMinimizedApplicationNeitherFreezesNorAnimates) {
  TFakeProvider p(log, &manager, 1);
  windows.AddForm(1, &p);
  windows.minimized = true;
  PrepareSkinChangeAnimation(windows, manager);
  FreezeFormsForSkinChange(windows, manager);
  FinishSkinChangeAnimation(windows, manager, true);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(p.Animating);
  EXPECT_FALSE(AnimationRunning);
}

TEST_F(SkinChangeAnimation, FreezeShowsTheCoverInTheBorderWindowBeforeStoppingPaint) {
  TFakeProvider bordered(log, &manager, 1), plain(log, &manager, 2);
  bordered.border = 50;
  windows.AddForm(1, &bordered).Alpha = 200;
  windows.AddForm(2, &plain);

  PrepareSkinChangeAnimation(windows, manager);
  // Only the form with a border window is captured, into a cover of its cache's size.
  EXPECT_EQ(log, TLog{"capture 1 40x30"});
  ASSERT_TRUE(bordered.CoverImage);
  EXPECT_EQ(bordered.CoverImage->PixelFormat(), pf32bit);
  EXPECT_TRUE(bordered.SkinChangeCapture);
  EXPECT_FALSE(plain.SkinChangeCapture);
  EXPECT_TRUE(bordered.Animating && plain.Animating);
  EXPECT_TRUE(AnimationRunning);

  log.clear();
  FreezeFormsForSkinChange(windows, manager);
  EXPECT_EQ(
      log, (TLog{"layered 50 cover 200", "window region 50 7050", "redraw 1 off", "redraw 2 off"}));
}

TEST_F(SkinChangeAnimation, FinishFadesEachFormThenLetsItPaintAgain) {
  manager.AnimEffects()->SkinChanging.Time = 150;
  manager.AnimEffects()->SkinChanging.Mode = atAero;
  TFakeProvider framed(log, &manager, 1), standard(log, &manager, 2);
  framed.border = 50;
  standard.drawsNonClient = false;
  TSkinFormFacts& f1 = windows.AddForm(1, &framed);
  f1.Alpha = 200;
  f1.Maximized = true;
  windows.AddForm(2, &standard).Maximized = true;  // no border window: not shown again
  FreezeFormsForSkinChange(windows, manager);
  framed.SkinChangeCapture = standard.SkinChangeCapture = true;
  log.clear();

  FinishSkinChangeAnimation(windows, manager, true);
  EXPECT_EQ(log, (TLog{"fade 1 150 200 1", "reshow 1", "redraw 1 on", "region parts 1",
                       "form region 1 redraw", "paint 1", "exborder 1 255", "fade 2 0 255 0",
                       "redraw 2 on", "paint 2 with frame"}));
  EXPECT_FALSE(framed.SkinChangeCapture || standard.SkinChangeCapture);
  EXPECT_FALSE(framed.Animating || standard.Animating);
  EXPECT_FALSE(AnimationRunning);

  // Without animation only the capture flag and painting come back.
  log.clear();
  framed.SkinChangeCapture = true;
  FinishSkinChangeAnimation(windows, manager, false);
  EXPECT_EQ(log, (TLog{"redraw 1 on", "redraw 2 on"}));
  EXPECT_FALSE(framed.SkinChangeCapture);

  // With the animation switched off nothing fades.
  log.clear();
  manager.AnimEffects()->SkinChanging.Active = false;
  FinishSkinChangeAnimation(windows, manager, true);
  EXPECT_FALSE(Contains(log, "fade 1 150 200 1"));
  EXPECT_TRUE(Contains(log, "redraw 1 on"));
}

TEST_F(SkinChangeAnimation, OnlyTheDefaultManagerWithTheAnimationOnOwnsTheGlobalFlag) {
  const struct {
    bool useDefault, animationActive, setByFreeze;
  } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
  for (const auto& c : cases) {
    TsSkinManager& m = c.useDefault ? manager : other;
    m.AnimEffects()->SkinChanging.Active = c.animationActive;
    AnimationRunning = false;
    FreezeFormsForSkinChange(windows, m);
    EXPECT_EQ(AnimationRunning, c.setByFreeze);
    AnimationRunning = true;
    FinishSkinChangeAnimation(windows, m, true);
    EXPECT_EQ(AnimationRunning, !c.useDefault);  // cleared by the default manager only
  }
}

TEST_F(SkinChangeAnimation, AProviderFreedBeforeTheFinishIsNotTouched) {
  auto p = std::make_unique<TFakeProvider>(log, &manager, 1);
  windows.AddForm(1, p.get());
  FreezeFormsForSkinChange(windows, manager);
  p.reset();  // the form's provider went while the skin changed
  log.clear();
  FinishSkinChangeAnimation(windows, manager, true);
  EXPECT_TRUE(log.empty());
}

// The manager's steps carried out over the fake forms, with a receiver that may fail.
struct TPortableHost : ISkinManagerHost {
  TPortableHost(ISkinChangeWindows& windows, TLog& log) : windows(windows), log(log) {}
  ISkinChangeWindows& windows;
  TLog& log;
  int failOn = 0;  // the command whose receiver throws
  void SendToAllForms(TsSkinManager&, int cmd) override {
    log.push_back("send " + std::to_string(cmd));
    if (cmd == failOn) throw std::runtime_error("a receiver failed");
  }
  void FreeAllGlows() override { log.push_back("glows freed"); }
  void PrepareSkinChangeAnimation(TsSkinManager& m) override {
    ::PrepareSkinChangeAnimation(windows, m);
  }
  void FreezeFormsForSkinChange(TsSkinManager& m) override {
    ::FreezeFormsForSkinChange(windows, m);
  }
  void FinishSkinChangeAnimation(TsSkinManager& m, bool animate) override {
    ::FinishSkinChangeAnimation(windows, m, animate);
  }
  void AbandonSkinChangeAnimation(TsSkinManager& m) override {
    ::AbandonSkinChangeAnimation(windows, m);
  }
  void RedrawDialogs() override {}
  void InstallCbtHook(TsSkinManager&) override {}
  void RemoveCbtHook(TsSkinManager&) override {}
  void SkinStateChanged(TsSkinManager&) override {}
  void ShowMessage(TsSkinManager&, const std::string&, bool) override {}
};

TEST_F(SkinChangeAnimation, AFailingReceiverLeavesNoFormFrozenAndTheFlagCleared) {
  TFakeProvider p(log, &manager, 1);
  windows.AddForm(1, &p);
  TPortableHost host(windows, log);
  manager.SetHost(&host);
  for (int failing : {int(CmdSkinChanged), int(CmdRefresh)}) {
    host.failOn = failing;
    log.clear();
    EXPECT_THROW(manager.BroadcastNewSkin(true), std::runtime_error) << failing;
    EXPECT_FALSE(AnimationRunning) << failing;
    EXPECT_FALSE(SkinChangeInProgress) << failing;
    EXPECT_FALSE(p.Animating) << failing;
    // Frozen first, painting again at the end.
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "glows freed");
    EXPECT_EQ(log[1], "redraw 1 off");
    EXPECT_EQ(log.back(), "paint 1 with frame") << failing;
    EXPECT_TRUE(Contains(log, "redraw 1 on")) << failing;
  }
  // A refresh for new colours fails the same way.
  host.failOn = CmdRefresh;
  log.clear();
  EXPECT_THROW(manager.BroadcastRefresh(true), std::runtime_error);
  EXPECT_FALSE(AnimationRunning);
  EXPECT_TRUE(Contains(log, "redraw 1 on"));

  // And a change that goes through ends the same: painting, nothing animating.
  host.failOn = 0;
  log.clear();
  manager.BroadcastNewSkin(true);
  EXPECT_EQ(log.front(), "glows freed");
  EXPECT_TRUE(Contains(log, "redraw 1 on"));
  EXPECT_FALSE(AnimationRunning);
  EXPECT_FALSE(p.Animating);
  manager.SetHost(nullptr);
}

}  // namespace
