// Window adapters, portable half: which skin commands an adapter answers for its window and
// which it passes on, what each does to the skin data, that foreign commands never have their
// pointers followed, and the cache image painted at the window's size in the skin's colours.
#include "skin/adapters/skSBUtils.h"

#include <gtest/gtest.h>

#include "skin/core/painting/sCommonData.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sConst.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/FakeSkinDataHost.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

const char* const kSkin =
    "[GLOBALINFO]\nCOLOR=8421504\nBORDERCOLOR=255\n"
    "[EDIT]\nCOLOR=65280\nTRANSPARENCY=0\nSTATES=2\nHOTCOLOR=16711680\nHOTTRANSPARENCY=0\n"
    "[PANEL]\nCOLOR=16711680\nTRANSPARENCY=0\nSTATES=1\n"
    "[KEYBORDER]\nCOLOR=0\nTRANSPARENCY=0\n";

struct TFakeWindow : IAdapterWindow {
  int restored = 0, broadcasts = 0, repaints = 0, redraws = 0, prepared = 0;
  bool visible = true;
  intptr_t ownBgColor = 0;
  void RestoreColors() override { ++restored; }
  void BroadcastToChildren(const TSkinCmdMessage&) override { ++broadcasts; }
  bool IsVisible() const override { return visible; }
  void Repaint() override { ++repaints; }
  void RedrawAll() override { ++redraws; }
  void PrepareCache() override { ++prepared; }
  intptr_t OwnBgColorAnswer() override { return ownBgColor; }
  bool hostControl = false;
  bool HasHostControl() const override { return hostControl; }
  intptr_t ApplicationObject() const override { return 0x1234; }
};

struct AdapterSkinCmd : ::testing::Test {
  void SetUp() override {
    f.AddFolderSkin("Adapt", kSkin);
    f.Manager->SetSkinName("Adapt");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    host.control = false;
    data.SetSkinSection("EDIT");
    ASSERT_GE(data.SectionIndex, 0);
  }
  TSkinCmdMessage Cmd(int cmd, intptr_t lParam, bool own = true) {
    TSkinCmdMessage m;
    m.Cmd = cmd;
    m.LParam = lParam;
    m.FromOwnThread = own;
    return m;
  }
  intptr_t ManagerParam() const { return reinterpret_cast<intptr_t>(f.Manager.get()); }
  skintest::TManagerFixture f;
  TFakeSkinDataHost host;
  TsCommonData data{&host, true};
  TFakeWindow window;
};

TEST_F(AdapterSkinCmd, QueriesAreAnsweredForEverySender) {
  data.PaintSuspended = true;
  window.ownBgColor = 0;
  for (bool own : {true, false}) {
    auto skinned = Cmd(CmdIsSkinned, 0, own);
    EXPECT_TRUE(HandleAdapterSkinCmd(skinned, data, f.Manager.get(), window));
    EXPECT_EQ(skinned.Result, 1);
    auto updating = Cmd(CmdIsUpdating, 0, own);
    EXPECT_TRUE(HandleAdapterSkinCmd(updating, data, f.Manager.get(), window));
    EXPECT_EQ(updating.Result, 1);
    auto color = Cmd(CmdGetBgColor, 0, own);
    EXPECT_TRUE(HandleAdapterSkinCmd(color, data, f.Manager.get(), window));
    EXPECT_EQ(color.Result, 65280) << "the section's colour when the window has none";
  }
  window.ownBgColor = 0x123456;
  auto color = Cmd(CmdGetBgColor, 0);
  EXPECT_TRUE(HandleAdapterSkinCmd(color, data, f.Manager.get(), window));
  EXPECT_EQ(color.Result, 0x123456) << "the window's own answer comes first";
}

TEST_F(AdapterSkinCmd, CommandsActAndArePassedOnOrAnsweredByTheirRule) {
  const struct {
    int cmd;
    bool answered;
  } cases[] = {{CmdSkinChanged, false},  {CmdRemoveSkin, false},    {CmdRefresh, true},
               {CmdPrepareCache, false}, {CmdGetApplication, true}, {CmdStopFade, false},
               {CmdMouseEnter, false}};
  for (const auto& c : cases) {
    auto m = Cmd(c.cmd, ManagerParam());
    EXPECT_EQ(HandleAdapterSkinCmd(m, data, f.Manager.get(), window), c.answered) << c.cmd;
  }
  EXPECT_EQ(window.broadcasts, 1);
  EXPECT_EQ(window.restored, 1);
  EXPECT_EQ(window.repaints, 1);
  EXPECT_EQ(window.prepared, 1);
}

// Where an adapter's answer differs from the skin data's default, and where it is the same:
// a command the skin data answers but the adapter passes on reaches the window's own
// procedure (a host control's, which answers it for the same skin data).
TEST_F(AdapterSkinCmd, AnswersDifferFromTheSkinDataOnlyWhereAnAdapterMeansTo) {
  const struct {
    int cmd;
    intptr_t lParam;
    bool byDefault, byAdapter;
  } cases[] = {
      {CmdIsSkinned, 0, true, true},        {CmdIsUpdating, 0, true, true},
      {CmdGetBgColor, 0, false, true},      {CmdGetBgInfo, 0, true, true},
      {CmdRefresh, 1, false, true},         {CmdResumePainting, 0, false, true},
      {CmdGetApplication, 0, false, true},  {CmdSetPrintDC, 0x55, true, false},
      {CmdIsPartlyHidden, 0, true, false},  {CmdSkinState, 0, true, false},
      {CmdGetSectionIndex, 0, true, false}, {CmdIsBgGraphic, 0, true, false},
      {CmdSetUpdating, 0, false, false},    {CmdStopFade, 0, false, false},
  };
  for (const auto& c : cases) {
    data.PaintSuspended = true;
    const intptr_t lParam = c.lParam == 1 ? ManagerParam() : c.lParam;
    auto m = Cmd(c.cmd, lParam);
    EXPECT_EQ(ProcessSkinCommand(m, &data), c.byDefault) << c.cmd;
    data.PaintSuspended = true;
    auto a = Cmd(c.cmd, lParam);
    EXPECT_EQ(HandleAdapterSkinCmd(a, data, f.Manager.get(), window), c.byAdapter) << c.cmd;
  }
  // The background question is the skin data's only for a window with a host control.
  window.hostControl = true;
  auto graphic = Cmd(CmdIsBgGraphic, 0);
  EXPECT_TRUE(HandleAdapterSkinCmd(graphic, data, f.Manager.get(), window));
  // Only the paint suspension makes an adapter "updating", not a dirty background.
  data.PaintSuspended = false;
  data.BackgroundDirty = true;
  auto updating = Cmd(CmdIsUpdating, 0);
  HandleAdapterSkinCmd(updating, data, f.Manager.get(), window);
  EXPECT_EQ(updating.Result, 0);
}

TEST_F(AdapterSkinCmd, SkinChangeAndRefreshFollowOnlyTheirOwnManager) {
  data.BackgroundDirty = false;
  auto other = Cmd(CmdSkinChanged, 0x4444);
  EXPECT_FALSE(HandleAdapterSkinCmd(other, data, f.Manager.get(), window));
  auto otherRefresh = Cmd(CmdRefresh, 0x4444);
  EXPECT_FALSE(HandleAdapterSkinCmd(otherRefresh, data, f.Manager.get(), window));
  EXPECT_FALSE(data.BackgroundDirty);
  EXPECT_EQ(window.broadcasts + window.repaints, 0);

  data.PaintSuspended = true;
  window.visible = false;
  auto refresh = Cmd(CmdRefresh, ManagerParam());
  EXPECT_TRUE(HandleAdapterSkinCmd(refresh, data, f.Manager.get(), window));
  EXPECT_TRUE(data.BackgroundDirty);
  EXPECT_FALSE(data.PaintSuspended);
  EXPECT_EQ(window.repaints, 0) << "a hidden window is not painted";
}

TEST_F(AdapterSkinCmd, ForeignCommandsNeverFollowTheirPointers) {
  // Addresses that mean nothing here: following any of them would crash the test.
  const intptr_t garbage = 0x10;
  data.SkinState = 0;
  for (int cmd : {CmdSetSection, CmdGetBgInfo, CmdSetPrintDC, CmdRemoveSkin, CmdRefresh,
                  CmdSkinChanged, CmdGetApplication, CmdResumePainting}) {
    auto m = Cmd(cmd, cmd == CmdRefresh || cmd == CmdSkinChanged ? ManagerParam() : garbage, false);
    EXPECT_FALSE(HandleAdapterSkinCmd(m, data, f.Manager.get(), window)) << cmd;
    EXPECT_EQ(m.Result, 0) << cmd;
  }
  EXPECT_EQ(data.SkinSection(), "EDIT");
  EXPECT_EQ(data.PrintTarget, 0);
  EXPECT_EQ(data.SkinState & ssPrinting, 0);
  EXPECT_EQ(window.restored + window.repaints + window.broadcasts, 0);
}

TEST_F(AdapterSkinCmd, OwnCommandsCarryTheirArguments) {
  TskSectionInfo info;
  info.SectionName = "panel";
  auto section = Cmd(CmdSetSection, reinterpret_cast<intptr_t>(&info));
  EXPECT_FALSE(HandleAdapterSkinCmd(section, data, f.Manager.get(), window));
  EXPECT_EQ(data.SkinSection(), "PANEL");

  auto print = Cmd(CmdSetPrintDC, 0x777);
  EXPECT_FALSE(HandleAdapterSkinCmd(print, data, f.Manager.get(), window));
  EXPECT_EQ(data.PrintTarget, 0x777);
  EXPECT_NE(data.SkinState & ssPrinting, 0);
  auto unprint = Cmd(CmdSetPrintDC, 0);
  HandleAdapterSkinCmd(unprint, data, f.Manager.get(), window);
  EXPECT_EQ(data.SkinState & ssPrinting, 0);

  TsBackgroundRequest request;
  auto info2 = Cmd(CmdGetBgInfo, reinterpret_cast<intptr_t>(&request));
  EXPECT_TRUE(HandleAdapterSkinCmd(info2, data, f.Manager.get(), window));
  EXPECT_NE(request.BgType, 0) << "the request is answered";

  data.PaintSuspended = true;
  auto resume = Cmd(CmdResumePainting, 0);
  EXPECT_TRUE(HandleAdapterSkinCmd(resume, data, f.Manager.get(), window));
  EXPECT_FALSE(data.PaintSuspended);
  EXPECT_EQ(window.redraws, 1);
  auto again = Cmd(CmdResumePainting, 0);
  EXPECT_FALSE(HandleAdapterSkinCmd(again, data, f.Manager.get(), window))
      << "nothing suspended: passed on";
}

TEST_F(AdapterSkinCmd, WithoutAnActiveManagerEverythingIsPassedOn) {
  auto m = Cmd(CmdIsSkinned, 0);
  EXPECT_FALSE(HandleAdapterSkinCmd(m, data, nullptr, window));
  f.Manager->SetActive(false);
  EXPECT_FALSE(HandleAdapterSkinCmd(m, data, f.Manager.get(), window));
  EXPECT_EQ(m.Result, 0);
}

TEST_F(AdapterSkinCmd, MultiStateSkinNeedsAHotStateOrMaskImages) {
  EXPECT_FALSE(HasMultiStateSkin(data)) << "no border mask";
  data.BorderMaskIndex = 0;
  f.Manager->Masks().resize(1);
  EXPECT_TRUE(HasMultiStateSkin(data)) << "EDIT has two states";
  data.SetSkinSection("PANEL");
  data.BorderMaskIndex = 0;
  f.Manager->Masks()[0].ImageCount = 1;
  EXPECT_FALSE(HasMultiStateSkin(data));
  f.Manager->Masks()[0].ImageCount = 3;
  EXPECT_TRUE(HasMultiStateSkin(data));
}

TEST_F(AdapterSkinCmd, CacheIsPaintedAtTheWindowSizeInTheSkinColours) {
  const TsBackgroundSource behind{nullptr, 0, 0, 0x808080, false};
  const struct {
    const char* section;
    bool inDialog, hot;
    uint32_t centre, corner;
  } cases[] = {
      {"EDIT", false, false, 0x00FF00, 0x00FF00},
      {"EDIT", false, true, 0x00FF00, 0x00FF00},  // no border mask: one state only
      {"PANEL", false, false, 0x0000FF, 0x0000FF},
      {"EDIT", true, false, 0xFFFFFF, 0xFF0000},  // dialog: window colour in a red frame
  };
  for (const auto& c : cases) {
    data.SetSkinSection(c.section);
    data.BackgroundDirty = true;
    PaintWindowCache(data,
                     {.Behind = behind,
                      .PosInParent = TPoint{5, 5},
                      .Width = 37,
                      .Height = 21,
                      .InDialog = c.inDialog},
                     c.hot, 0xFFFFFF);
    ASSERT_TRUE(data.CacheBitmap);
    EXPECT_EQ(data.CacheBitmap->Width(), 37);
    EXPECT_EQ(data.CacheBitmap->Height(), 21);
    EXPECT_FALSE(data.BackgroundDirty);
    EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 18, 10) & 0xFFFFFF, c.centre) << c.section;
    EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 0, 0) & 0xFFFFFF, c.corner) << c.section;
    EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 36, 20) & 0xFFFFFF, c.corner) << c.section;
  }
}

TEST_F(AdapterSkinCmd, HotCacheUsesTheHotStateWhenTheSkinHasOne) {
  data.SetSkinSection("EDIT");
  data.BorderMaskIndex = 0;
  f.Manager->Masks().resize(1);
  data.BackgroundDirty = true;
  PaintWindowCache(data, {.Behind = EmptyBackgroundSource, .Width = 8, .Height = 8}, true,
                   0xFFFFFF);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 4, 4) & 0xFFFFFF, 0x0000FFu) << "HOTCOLOR";
}

// A border mask of its own 6 x 6 image, two pixels wide on each side, black but for the key
// colour at the top-left pixel and the bottom-right pixel.
int AddCornerMask(TsSkinManager& manager) {
  TsMaskData mask;
  mask.Image = CreateBmp32(6, 6);
  for (int y = 0; y < 6; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(mask.Image->ScanLine(y));
    for (int x = 0; x < 6; ++x) row[x] = 0xFF000000;
  }
  reinterpret_cast<uint32_t*>(mask.Image->ScanLine(0))[0] = 0x00FF00FF;
  reinterpret_cast<uint32_t*>(mask.Image->ScanLine(5))[5] = 0x00FF00FF;
  mask.SourceRect = TRect{0, 0, 6, 6};
  mask.ImageCount = 1;
  mask.WidthLeft = mask.WidthTop = mask.WidthRight = mask.WidthBottom = 2;
  manager.Masks().push_back(std::move(mask));
  return static_cast<int>(manager.Masks().size()) - 1;
}

TEST_F(AdapterSkinCmd, OpenCornersShowWhatLiesBehind) {
  data.BorderMaskIndex = AddCornerMask(*f.Manager);
  auto paint = [&] {
    data.CacheBitmap->SetSize(10, 8);
    FillRect32(data.CacheBitmap.get(), TRect{0, 0, 10, 8}, 0x00FF00);
  };
  const TsBackgroundSource grey{nullptr, 0, 0, 0x808080, false};
  paint();
  const TsWindowPlace place{.PosInParent = TPoint{3, 4}, .Width = 10, .Height = 8};
  TsWindowPlace overGrey = place;
  overGrey.Behind = grey;
  FillTransparentCorners(data, overGrey, TsPaintState::Normal);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 0, 0) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 9, 7) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 1, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 9, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 5, 4) & 0xFFFFFF, 0x00FF00u);

  // A parent's image shows at the window's place in it.
  auto parentImage = CreateBmp32(20, 20);
  FillRect32(parentImage.get(), TRect{0, 0, 20, 20}, 0x0000FF);
  FillRect32(parentImage.get(), TRect{3, 4, 4, 5}, 0xFF0000);
  paint();
  TsWindowPlace overImage = place;
  overImage.Behind = MakeBackgroundSource(parentImage.get(), 0, 0);
  FillTransparentCorners(data, overImage, TsPaintState::Normal);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 0, 0) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 9, 7) & 0xFFFFFF, 0xFF0000u);

  // Nothing in a dialog, over the key colour, or for a window of one pixel's width.
  const TsBackgroundSource key{nullptr, 0, 0, 0xFF00FF, false};
  for (int i = 0; i < 3; ++i) {
    paint();
    TsWindowPlace at{.Behind = grey, .Width = 10, .Height = 8};
    if (i == 0) at.InDialog = true;
    if (i == 1) at.Behind = key;
    if (i == 2) at.Width = 1;
    FillTransparentCorners(data, at, TsPaintState::Normal);
    EXPECT_EQ(skintest::Pixel32(*data.CacheBitmap, 0, 0) & 0xFFFFFF, 0x00FF00u) << i;
  }
}

}  // namespace
