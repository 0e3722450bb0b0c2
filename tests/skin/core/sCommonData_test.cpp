// The per-control skin data over a fake control tree: which section a control gets, the
// colours it shows, what a section or manager change tells it, and its answers to the skin
// command, including commands that do not come from our own thread.
#include "skin/core/painting/sCommonData.h"

#include <gtest/gtest.h>

#include <memory>

#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

// A control of the fake tree: skin commands reach its skin data as Perform would.
struct TFakeControl : ISkinDataHost {
  explicit TFakeControl(TFakeControl* parentControl = nullptr, bool withSkinData = true,
                        bool withCache = false)
      : parent(parentControl) {
    if (parent) parent->children.push_back(this);
    if (withSkinData) data = std::make_unique<TsCommonData>(this, withCache);
  }
  bool IsControl() const override { return control; }
  bool IsWindowed() const override { return true; }
  bool IsDestroying() const override { return destroying; }
  bool IsLoading() const override { return loading; }
  bool IsEnabled() const override { return true; }
  std::string ClassName() const override { return className; }
  ISkinDataHost* Parent() const override { return parent; }
  TColor Color() const override { return color; }
  void SetColor(TColor value) override { color = value; }
  TColor FontColor() const override { return fontColor; }
  void SetFontColor(TColor value) override { fontColor = value; }
  intptr_t SkinCmd(int cmd, int lowWord, intptr_t lParam) override {
    received.push_back(cmd);
    TSkinCmdMessage m{cmd, lowWord, lParam, 0, true};
    if (data) ProcessSkinCommand(m, data.get());
    return m.Result;
  }
  void Redraw() override { ++redraws; }
  std::vector<ISkinDataHost*> Children() const override {
    return std::vector<ISkinDataHost*>(children.begin(), children.end());
  }
  void SkinRemoved(TsCommonData&) override { color = clWindow; }
  TRect BoundsRect() const override { return bounds; }
  bool ParentFont() const override { return parentFont; }
  // Asks the parent as GetControlBackground does: CmdGetBgInfo, else its colour.
  bool AskParentBackground(TsBackgroundRequest& request, bool copyNow) override {
    if (!parent) return false;
    request.BgType = 0;
    request.PleaseDraw = copyNow;
    parent->SkinCmd(CmdGetBgInfo, 0, reinterpret_cast<intptr_t>(&request));
    if (request.BgType == 0) {
      request.BgType = 1;
      request.Color = parent->color;
    }
    return true;
  }
  // What was drawn into a request's DC: where from (X, Y), the colour or the bitmap.
  struct TDrawn {
    int X, Y;
    TColor Color;
    const TBitmap* Source;
  };
  void FillRequestRect(const TsBackgroundRequest& request, TColor c) override {
    drawn.push_back({request.X, request.Y, c, nullptr});
  }
  void CopyToRequest(const TsBackgroundRequest& request, const TBitmap& source) override {
    drawn.push_back({request.X, request.Y, clFuchsia, &source});
  }

  TFakeControl* parent;
  std::vector<TFakeControl*> children;
  std::unique_ptr<TsCommonData> data;
  std::string className = "TFakeControl";
  bool control = true, destroying = false, loading = false, parentFont = false;
  TRect bounds{};
  std::vector<TDrawn> drawn;
  TColor color = clBtnFace, fontColor = clWindowText;
  std::vector<int> received;
  int redraws = 0;
};

const char* kSkin =
    "[GLOBALINFO]\nCOLOR=12632256\n"
    "[EDIT]\nCOLOR=255\nFONTCOLOR=65280\nTRANSPARENCY=40\nSTATES=2\n"
    "HOTCOLOR=16711680\nHOTTRANSPARENCY=0\n"
    "[PANEL]\nCOLOR=16711680\nTRANSPARENCY=0\n"
    "[GLASS]\nCOLOR=65535\nTRANSPARENCY=100\n"
    "[GRADIENT]\nCOLOR=0\nGRADIENTPERCENT=50\nGRADIENTDATA=255;16711680;100;1;0\n"
    "[TFAKEWIDGET]\nCOLOR=1\n"
    "[FLAT]\nCOLOR=255\nSTATES=1\n";

struct TSkinnedTree : ::testing::Test {
  void SetUp() override {
    f.AddFolderSkin("Fake", kSkin);
    f.Manager->SetSkinName("Fake");
    ASSERT_EQ(DefaultManager, f.Manager.get());
    ASSERT_GE(f.Manager->GetSectionIndex("EDIT"), 0);
    panel.data->SetSkinSection("PANEL");
  }
  skintest::TManagerFixture f;
  TFakeControl form{nullptr, false};
  TFakeControl panel{&form};
};

TEST(SkinDataKinds, DefaultSectionsAndKindSets) {
  const struct {
    int kind;
    const char* section;
  } cases[] = {{2, "EDIT"},          {9, ""},
               {11, "COMBOBOX"},     {19, "BAR"},
               {33, "RADIOBUTTON"},  {52, "PANEL_LOW"},
               {54, "TOOLBAR"},      {74, "GROUPBOX"},
               {93, "BUTTON"},       {95, "SPEEDBUTTON"},
               {143, "PAGECONTROL"}, {165, "TRACKBAR"},
               {227, "EDIT"},        {300, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(DefaultSectionOfKind(TsControlKind{c.kind}), c.section) << c.kind;
  EXPECT_TRUE(IsEditLikeKind(TsControlKind{9}));
  EXPECT_FALSE(IsEditLikeKind(TsControlKind{19}));
  EXPECT_TRUE(IsNoHotStateKind(TsControlKind{60}));
  EXPECT_FALSE(IsNoHotStateKind(TsControlKind{75}));
  EXPECT_TRUE(HasNoGlow(TsControlKind::Button));
  EXPECT_FALSE(IsNoGlowKind(TsControlKind::Button));
  EXPECT_TRUE(IsNoGlowKind(TsControlKind{226}));
  EXPECT_FALSE(HasNoGlow(TsControlKind{256 + 51}));  // codes above 255 belong to no set
}

TEST_F(TSkinnedTree, AControlGetsItsSectionByKindElseByClassName) {
  TFakeControl edit{&panel};
  edit.data->ControlKind = TsControlKind::Edit;
  edit.data->Loaded();
  EXPECT_EQ(edit.data->SkinSection(), "EDIT");
  EXPECT_EQ(edit.data->SectionIndex, f.Manager->GetSectionIndex("EDIT"));
  // An edit-like control takes the skin's colour and font colour.
  EXPECT_EQ(edit.color, kRed);
  EXPECT_EQ(edit.fontColor, 0x00FF00);

  TFakeControl widget{&panel};
  widget.className = "TFakeWidget";
  widget.data->ControlKind = TsControlKind{9};  // no default section for this kind
  widget.data->Loaded();
  EXPECT_EQ(widget.data->SkinSection(), "TFAKEWIDGET");
  EXPECT_TRUE(widget.data->IsSkinned());
}

TEST_F(TSkinnedTree, SectionSetterUpperCasesAndTellsTheControl) {
  TFakeControl c{&panel};
  c.data->SetSkinSection("panel");
  EXPECT_EQ(c.data->SkinSection(), "PANEL");
  EXPECT_EQ(c.received, std::vector<int>{CmdRefresh});
  EXPECT_FALSE(c.data->PaintSuspended);

  c.received.clear();
  c.data->SetSkinSection("");
  EXPECT_EQ(c.data->SkinSection(), "UNKNOWN");
  EXPECT_EQ(c.data->SectionIndex, -1);
  EXPECT_EQ(c.received, std::vector<int>{CmdRemoveSkin});
  EXPECT_TRUE(c.data->PaintSuspended);
  EXPECT_EQ(c.color, clWindow);

  c.received.clear();
  c.data->SetSkinSection("UNKNOWN");  // unchanged: nothing sent
  EXPECT_TRUE(c.received.empty());

  TFakeControl orphan{nullptr};  // without a parent nothing is sent
  orphan.data->SetSkinSection("EDIT");
  EXPECT_TRUE(orphan.received.empty());
  EXPECT_GE(orphan.data->SectionIndex, 0);
}

TEST_F(TSkinnedTree, NilManagerFollowsTheDefault) {
  TFakeControl c{&panel};
  EXPECT_EQ(c.data->SkinManager(), f.Manager.get());
  c.data->SetSkinManager(f.Manager.get());  // naming the default stores nothing
  EXPECT_EQ(c.data->OwnSkinManager(), nullptr);

  TsSkinManager other(nullptr);  // a second manager with no skin
  c.data->SetSkinSection("EDIT");
  c.received.clear();
  c.data->SetSkinManager(&other);
  EXPECT_EQ(c.data->OwnSkinManager(), &other);
  EXPECT_EQ(c.data->SectionIndex, -1);
  EXPECT_EQ(c.received, std::vector<int>{CmdRemoveSkin});
  c.data->SetSkinManager(nullptr);
  EXPECT_EQ(c.data->SkinManager(), f.Manager.get());
}

TEST_F(TSkinnedTree, CommandsOfAnotherManagerChangeNothing) {
  TFakeControl c{&panel};
  c.data->SetSkinSection("EDIT");
  TsSkinManager other(nullptr);
  for (int cmd : {CmdSkinChanged, CmdRemoveSkin, CmdRefresh}) {
    TSkinCmdMessage m{cmd, 0, reinterpret_cast<intptr_t>(&other), 0, true};
    EXPECT_FALSE(ProcessSkinCommand(m, c.data.get()));
    EXPECT_GE(c.data->SectionIndex, 0) << cmd;
  }
  TSkinCmdMessage remove{CmdRemoveSkin, 0, reinterpret_cast<intptr_t>(f.Manager.get()), 0, true};
  ProcessSkinCommand(remove, c.data.get());
  EXPECT_EQ(c.data->SectionIndex, -1);
  TSkinCmdMessage changed{CmdSkinChanged, 0, reinterpret_cast<intptr_t>(f.Manager.get()), 0, true};
  SkinChangeInProgress = true;
  ProcessSkinCommand(changed, c.data.get());
  EXPECT_GE(c.data->SectionIndex, 0);
  EXPECT_FALSE(SkinChangeInProgress);
}

// The colour query and the colour both mix by transparency / 100 (40 % parent, 60 % own).
TEST_F(TSkinnedTree, BackgroundColourAndItsQueryMixAlike) {
  TFakeControl c{&panel};
  c.data->SetSkinSection("EDIT");  // red, transparency 40, over a blue panel
  const TColor expected = MixColors(kBlue, kRed, 0.4);
  EXPECT_EQ(expected, 0x660099);
  EXPECT_EQ(c.data->BgColor(0), expected);
  TSkinCmdMessage query{CmdGetBgColor, 0, 0, 0, true};
  EXPECT_TRUE(ProcessSkinCommand(query, c.data.get()));
  EXPECT_EQ(query.Result, expected);
  EXPECT_EQ(c.data->BgColor(1), kBlue);  // hot state: its own colour, no transparency

  TFakeControl glass{&panel};
  glass.data->SetSkinSection("GLASS");
  EXPECT_EQ(glass.data->BgColor(0), kBlue);
  c.data->CustomColor = true;
  c.color = 0x123456;
  EXPECT_EQ(c.data->BgColor(0), 0x123456);

  // Over a parent that is not skinned the parent's own colour counts.
  TFakeControl plainParent{&form, false};
  plainParent.color = 0x00FF00;
  TFakeControl onPlain{&plainParent};
  onPlain.data->SetSkinSection("GLASS");
  TSkinCmdMessage q2{CmdGetBgColor, 0, 0, 0, true};
  ProcessSkinCommand(q2, onPlain.data.get());
  EXPECT_EQ(q2.Result, 0x00FF00);
}

TEST_F(TSkinnedTree, QueriesAnswerTheirFlags) {
  TFakeControl c{&panel};
  c.data->SetSkinSection("GRADIENT");
  struct {
    int cmd, low;
    intptr_t lParam;
    bool consumed;
    intptr_t result;
  } cases[] = {
      {CmdIsSkinned, 0, 0, true, 1},
      {CmdSetUpdating, 1, 0, false, 0},
      {CmdIsUpdating, 0, 0, true, 1},
      {CmdIsBgGraphic, 0, 0, true, 1},
      {CmdSetPrintDC, 0, 0x1234, true, 0},
      {CmdSkinState, 0, 0, true, ssPrinting},
      {CmdSetPrintDC, 0, 0, true, 0},
      {CmdSkinState, 0, 0, true, 0},
      {12, 0, 0, false, 0},
      {CmdGetClientOffset, 0, 0, false, 0},
  };
  for (const auto& k : cases) {
    TSkinCmdMessage m{k.cmd, k.low, k.lParam, 0, true};
    EXPECT_EQ(ProcessSkinCommand(m, c.data.get()), k.consumed) << k.cmd;
    EXPECT_EQ(m.Result, k.result) << k.cmd;
  }
  EXPECT_EQ(c.data->BgDependency, 1);  // a left-to-right gradient changes with the width
  TskSectionInfo info;
  TSkinCmdMessage m{CmdGetSectionIndex, 0, reinterpret_cast<intptr_t>(&info), 0, true};
  EXPECT_TRUE(ProcessSkinCommand(m, c.data.get()));
  EXPECT_EQ(info.SectionIndex, c.data->SectionIndex);

  TFakeControl unskinned{&panel};
  TSkinCmdMessage bg{CmdIsBgGraphic, 0, 0, 0, true};
  EXPECT_FALSE(ProcessSkinCommand(bg, unskinned.data.get()));  // no section: left unanswered
  EXPECT_FALSE(ProcessSkinCommand(bg, nullptr));
}

// The hot look needs focus on an enabled control or the mouse over a section with a hot
// state; painting waits for a parent that rebuilds its background, unless the control paints
// a plain background straight to the screen.
TEST_F(TSkinnedTree, ActiveCacheAndSuspendedStatesFollowFocusMouseAndParent) {
  TFakeControl edit{&panel};
  edit.data->SetSkinSection("EDIT");  // two states
  TFakeControl flat{&panel};
  flat.data->SetSkinSection("FLAT");  // one state
  EXPECT_FALSE(edit.data->IsActive());
  edit.data->MouseOver = true;
  flat.data->MouseOver = true;
  EXPECT_TRUE(edit.data->IsActive());
  EXPECT_FALSE(flat.data->IsActive());  // nothing hot to show
  flat.data->HasFocus = true;
  EXPECT_TRUE(flat.data->IsActive());

  TsCommonData& d = *edit.data;
  d.MouseOver = false;
  d.SkinState = ssPlainBackground;
  EXPECT_FALSE(d.NeedsCache());
  AnimationRunning = true;
  EXPECT_TRUE(d.NeedsCache());
  AnimationRunning = false;
  d.HasFocus = true;
  EXPECT_TRUE(d.NeedsCache());
  d.HasFocus = false;

  // The panel is rebuilding its background: a control with a plain background paints on.
  panel.data->BackgroundDirty = true;
  EXPECT_FALSE(d.PaintingSuspended());
  d.SkinState = 0;
  EXPECT_TRUE(d.PaintingSuspended());
  panel.data->BackgroundDirty = false;
  panel.data->PaintSuspended = false;
  EXPECT_FALSE(d.PaintingSuspended());
  d.SetPaintSuspended(true);
  EXPECT_TRUE(d.PaintingSuspended());
  d.SetPaintSuspended(false);
  EXPECT_FALSE(d.PaintingSuspended());
}

// A command from another thread or process may carry any number in LParam: only the pure
// queries are answered, nothing changes, no pointer is followed.
TEST_F(TSkinnedTree, ForeignCommandsChangeNothing) {
  TFakeControl c{&panel};
  c.data->SetSkinSection("EDIT");
  const int section = c.data->SectionIndex;
  c.data->BackgroundDirty = false;
  const intptr_t garbage = static_cast<intptr_t>(0x12345678);
  for (int cmd = 0; cmd <= 70; ++cmd) {
    for (intptr_t lParam :
         {intptr_t{0}, intptr_t{1}, garbage, reinterpret_cast<intptr_t>(f.Manager.get())}) {
      TSkinCmdMessage m{cmd, 1, lParam, 0, false};
      ProcessSkinCommand(m, c.data.get());
    }
  }
  EXPECT_EQ(c.data->SectionIndex, section);
  EXPECT_FALSE(c.data->PaintSuspended);
  EXPECT_FALSE(c.data->BackgroundDirty);
  EXPECT_EQ(c.data->SkinState & ssPrinting, 0);
  TSkinCmdMessage q{CmdIsSkinned, 0, garbage, 0, false};
  EXPECT_TRUE(ProcessSkinCommand(q, c.data.get()));
  EXPECT_EQ(q.Result, 1);
}

TEST_F(TSkinnedTree, BgChangedRedrawReachesChildrenThatDependOnIt) {
  panel.data->SetSkinSection("GRADIENT");
  TFakeControl glass{&panel};
  glass.data->SetSkinSection("GLASS");
  TFakeControl glassChild{&glass};
  glassChild.data->SetSkinSection("GLASS");
  glassChild.received.clear();
  glass.data->BackgroundDirty = false;
  TSkinCmdMessage m{CmdBgChangedRedraw, 1, 0, 0, true};
  ProcessSkinCommand(m, glass.data.get());
  EXPECT_TRUE(glass.data->BackgroundDirty);  // over a gradient
  EXPECT_EQ(glass.redraws, 1);
  EXPECT_EQ(glassChild.received, std::vector<int>({CmdBgChangedRedraw}));
}

TEST_F(TSkinnedTree, RemovingTheSkinLeavesEveryControlUnskinned) {
  TFakeControl c{&panel};
  c.data->SetSkinSection("EDIT");
  f.Manager->SetActive(false);
  TSkinCmdMessage m{CmdSkinChanged, 0, reinterpret_cast<intptr_t>(f.Manager.get()), 0, true};
  ProcessSkinCommand(m, c.data.get());
  EXPECT_EQ(c.data->SectionIndex, -1);
  EXPECT_FALSE(c.data->IsSkinned());
  EXPECT_EQ(c.data->BgColor(0), c.color);
}

TEST(SkinDataManagers, OnlyLiveManagersAreFound) {
  auto m = std::make_unique<TsSkinManager>(nullptr);
  const intptr_t value = reinterpret_cast<intptr_t>(m.get());
  EXPECT_EQ(FindLiveSkinManager(value), m.get());
  m.reset();
  EXPECT_EQ(FindLiveSkinManager(value), nullptr);
  EXPECT_EQ(FindLiveSkinManager(0x12345678), nullptr);
}

}  // namespace

// ---- the cache bitmap and background requests ------------------------------------------------

namespace {

constexpr TColor kGlobal = 12632256;  // GLOBALINFO's colour
constexpr TColor kGreen = 0x00FF00;

// Borders: left 2, top 3, right 6, bottom 1 (the second without borders: DrawFlags 6).
const char* kCacheSkin =
    "[GLOBALINFO]\nCOLOR=12632256\nMASTERBITMAP=MASTER.BMP\n"
    "[PLAIN]\nCOLOR=255\n"
    "[BLUE]\nCOLOR=16711680\n"
    "[GRAD]\nCOLOR=0\nGRADIENTPERCENT=100\nGRADIENTDATA=255;16711680;100;0;0\n"
    "[GLASS]\nCOLOR=65535\nTRANSPARENCY=100\n"
    "[HALF]\nCOLOR=65280\nTRANSPARENCY=40\n"
    "[FRAMED]\nCOLOR=255\nBORDERSMASK=^0000,0000,0030,0010,0002,0003,0006,0001,3,0,4,0\n"
    "[NOBORDERS]\nCOLOR=255\nBORDERSMASK=^0000,0000,0030,0010,0002,0003,0006,0001,3,0,6,0\n"
    "[OWNFONT]\nCOLOR=255\nGIVEOWNFONT=1\n"
    "[CLEARFONT]\nCOLOR=255\nTRANSPARENCY=60\nGIVEOWNFONT=1\n"
    "[SEETHROUGH]\nCOLOR=255\nTRANSPARENCY=100\n";

struct TCacheTree : ::testing::Test {
  void SetUp() override {
    f.AddFolderSkin(
        "Cache", kCacheSkin,
        {{"MASTER.BMP", skintest::BmpFile(30, 10, 0x00FF00,
                                          {{{0, 0, 2, 3}, kBlue}, {{0, 0, 1, 1}, clFuchsia}})}});
    f.Manager->SetSkinName("Cache");
    ASSERT_GE(f.Manager->GetSectionIndex("FRAMED"), 0);
    panel.data->SetSkinSection("PLAIN");
  }
  int Section(const char* name) { return f.Manager->GetSectionIndex(name); }
  skintest::TManagerFixture f;
  TFakeControl form{nullptr, false};
  TFakeControl panel{&form, true, true};
};

TEST_F(TCacheTree, CacheFollowsTheControlAndEmptiesWhenTheSkinGoes) {
  TFakeControl c{&panel, true, true};
  ASSERT_TRUE(c.data->CacheBitmap);
  EXPECT_TRUE(c.data->CacheBitmap->Empty());
  EXPECT_EQ(c.data->CacheBitmap->PixelFormat(), pf32bit);
  TFakeControl lazy{&panel};
  EXPECT_FALSE(lazy.data->CacheBitmap);  // made only when sized
  lazy.bounds = TRect{5, 6, 35, 26};
  lazy.data->UpdateCacheSize();
  ASSERT_TRUE(lazy.data->CacheBitmap);
  EXPECT_EQ(lazy.data->CacheBitmap->Width(), 30);
  EXPECT_EQ(lazy.data->CacheBitmap->Height(), 20);
  lazy.bounds = TRect{5, 6, 2, 40};  // a negative width counts as 0
  lazy.data->UpdateCacheSize();
  EXPECT_EQ(lazy.data->CacheBitmap->Width(), 0);
  EXPECT_EQ(lazy.data->CacheBitmap->Height(), 34);

  c.bounds = TRect{0, 0, 12, 8};
  c.data->SetSkinSection("PLAIN");
  c.data->UpdateCacheSize();
  c.SkinCmd(CmdRemoveSkin, 0, reinterpret_cast<intptr_t>(f.Manager.get()));
  ASSERT_TRUE(c.data->CacheBitmap);
  EXPECT_TRUE(c.data->CacheBitmap->Empty());
}

TEST_F(TCacheTree, MaxBorderWidthIsTheWidestSide) {
  TFakeControl c{&panel};
  const struct {
    const char* section;
    int width;
  } cases[] = {{"FRAMED", 6}, {"NOBORDERS", 0}, {"PLAIN", 0}};
  for (const auto& k : cases) {
    c.data->SetSkinSection(k.section);
    EXPECT_EQ(c.data->MaxBorderWidth(), k.width) << k.section;
  }
}

// What a child is told about what lies behind it, by the answering control's section and
// cache: the colour, the cache bitmap, nothing known (clFuchsia) or what its parent shows.
TEST_F(TCacheTree, BackgroundRequestIsAnsweredBySectionAndCache) {
  TFakeControl c{&panel, true, true};
  c.bounds = TRect{4, 3, 14, 11};
  const struct {
    const char* section;
    bool cache, dirty, customColor;
    int bgType;
    TColor color;  // clNone: not compared
    bool bmpIsCache;
  } cases[] = {
      {"UNKNOWN", true, false, false, 1, kGreen, false},  // not skinned: its own colour
      {"PLAIN", true, false, true, 1, kGreen, false},     // custom colour
      {"PLAIN", true, false, false, 1, kRed, true},
      {"GRAD", true, false, false, 2, kGlobal, true},
      {"GRAD", false, false, false, 1, clFuchsia, false},  // an empty cache holds no image
      {"HALF", true, true, false, 2, clNone, true},
      {"HALF", false, false, false, 1, clFuchsia, false},
      {"GLASS", true, false, false, 2, clNone, true},  // a clean cache answers for itself
      {"GLASS", true, true, false, 1, kRed, false},    // else the parent (plain red) does
  };
  for (const auto& k : cases) {
    c.data->SetSkinSection(k.section);
    c.data->CustomColor = k.customColor;
    c.color = kGreen;
    if (k.cache)
      c.data->UpdateCacheSize();
    else
      c.data->EmptyCache();
    c.data->BackgroundDirty = k.dirty;
    TsBackgroundRequest request;
    EXPECT_EQ(panel.SkinCmd(CmdIsSkinned, 0, 0), 1);
    c.SkinCmd(CmdGetBgInfo, 0, reinterpret_cast<intptr_t>(&request));
    EXPECT_EQ(request.BgType, k.bgType) << k.section << " cache " << k.cache;
    if (k.color != clNone) {
      EXPECT_EQ(request.Color, k.color) << k.section;
    }
    EXPECT_EQ(request.Bmp == c.data->CacheBitmap.get(), k.bmpIsCache) << k.section;
    if (k.bgType == 2) {
      EXPECT_EQ(request.X, 0) << k.section;
    }
  }
}

// A fully transparent control passes the request on: a bitmap of the parent comes back with
// the control's place added; asked to copy, the parent copies from where the control lies.
TEST_F(TCacheTree, TransparentControlAsksItsParent) {
  panel.data->SetSkinSection("GRAD");
  panel.bounds = TRect{0, 0, 40, 30};
  panel.data->UpdateCacheSize();
  TFakeControl glass{&panel, true, true};
  glass.bounds = TRect{4, 3, 14, 11};
  glass.data->SetSkinSection("GLASS");

  TsBackgroundRequest request;
  glass.SkinCmd(CmdGetBgInfo, 0, reinterpret_cast<intptr_t>(&request));
  EXPECT_EQ(request.BgType, 2);
  EXPECT_EQ(request.Bmp, panel.data->CacheBitmap.get());
  EXPECT_EQ(request.X, 4);
  EXPECT_EQ(request.Y, 3);

  TsBackgroundRequest copy;
  copy.PleaseDraw = true;
  copy.X = 2;  // the asker's place in the glass
  copy.Y = 1;
  glass.SkinCmd(CmdGetBgInfo, 0, reinterpret_cast<intptr_t>(&copy));
  ASSERT_EQ(panel.drawn.size(), 1u);
  EXPECT_EQ(panel.drawn[0].Source, panel.data->CacheBitmap.get());
  EXPECT_EQ(panel.drawn[0].X, 6);
  EXPECT_EQ(panel.drawn[0].Y, 4);

  // Nothing behind at all: the global colour, and a copy request still gets it painted.
  TFakeControl orphan{nullptr, true, true};
  orphan.data->SetSkinSection("GLASS");
  TsBackgroundRequest lost;
  lost.PleaseDraw = true;
  orphan.SkinCmd(CmdGetBgInfo, 0, reinterpret_cast<intptr_t>(&lost));
  EXPECT_EQ(lost.BgType, 1);
  EXPECT_EQ(lost.Color, kGlobal);
  ASSERT_EQ(orphan.drawn.size(), 1u);
  EXPECT_EQ(orphan.drawn[0].Color, kGlobal);

  // A plain control asked to copy fills the area with its colour.
  TFakeControl plain{&panel, true, true};
  plain.data->SetSkinSection("BLUE");
  TsBackgroundRequest fill;
  fill.PleaseDraw = true;
  plain.SkinCmd(CmdGetBgInfo, 0, reinterpret_cast<intptr_t>(&fill));
  ASSERT_EQ(plain.drawn.size(), 1u);
  EXPECT_EQ(plain.drawn[0].Color, kBlue);

  // GetParentBackground: the parent's answer as a source, or the own colour unskinned.
  TsBackgroundSource source;
  glass.data->GetParentBackground(source);
  EXPECT_TRUE(source.HasBitmap);
  EXPECT_EQ(source.Bmp, panel.data->CacheBitmap.get());
  plain.data->SetSkinSection("UNKNOWN");
  plain.color = kGreen;
  plain.data->GetParentBackground(source);
  EXPECT_FALSE(source.HasBitmap);
  EXPECT_EQ(source.FillColor, kGreen);
}

TEST_F(TCacheTree, TextTakesTheFontOfTheFirstParentThatGivesIt) {
  panel.data->SetSkinSection("OWNFONT");
  TFakeControl box{&panel};
  box.data->SetSkinSection("CLEARFONT");  // 60 % transparent: looked past
  TFakeControl check{&box};
  check.data->SetSkinSection("SEETHROUGH");
  check.data->ControlKind = TsControlKind::CheckBox;
  const int own = check.data->SectionIndex;
  EXPECT_EQ(FindFontParentSection(&check, own, nullptr), Section("OWNFONT"));
  EXPECT_EQ(TextSectionOf(*check.data, 0), Section("OWNFONT"));
  check.data->ControlKind = TsControlKind{2};  // an edit keeps its own section
  EXPECT_EQ(TextSectionOf(*check.data, 0), own);

  box.data->SetSkinSection("PLAIN");  // opaque and without its own font: the default
  EXPECT_EQ(FindFontParentSection(&check, own, nullptr), own);
  box.data->SetSkinSection("UNKNOWN");  // not skinned: the default
  EXPECT_EQ(FindFontParentSection(&check, own, nullptr), own);
  EXPECT_EQ(FindFontParentSection(nullptr, 7, nullptr), 7);
  EXPECT_EQ(FindFontParentSection(&form, 7, nullptr), 7);  // no parent
}

TEST_F(TCacheTree, RepaintStripsFollowTheSizeChange) {
  TFakeControl c{&panel, true, true};
  c.data->SetSkinSection("FRAMED");
  c.bounds = TRect{0, 0, 20, 10};
  c.data->UpdateRepaintStrips();  // an empty cache: everything is painted
  EXPECT_EQ(c.data->RepaintStripH, TRect{});
  c.data->UpdateCacheSize();
  c.data->UpdateRepaintStrips();  // unchanged
  EXPECT_EQ(c.data->RepaintStripH, TRect{});
  EXPECT_EQ(c.data->RepaintStripV, TRect{});
  c.bounds = TRect{0, 0, 30, 14};
  c.data->UpdateRepaintStrips();
  EXPECT_EQ(c.data->RepaintStripH, (TRect{14, 0, 30, 14}));  // from 20 less the right border 6
  EXPECT_EQ(c.data->RepaintStripV, (TRect{0, 9, 30, 14}));   // from 10 less the bottom border 1

  // A gradient from top to bottom changes every row with the height: no bottom strip.
  c.data->SetSkinSection("GRAD");
  c.data->UpdateRepaintStrips();
  EXPECT_EQ(c.data->RepaintStripH, (TRect{20, 0, 30, 14}));
  EXPECT_EQ(c.data->RepaintStripV, TRect{});
}

TEST_F(TCacheTree, PaintingOnlyTheStripsLeavesTheRestOfTheCache) {
  TFakeControl c{&panel, true, true};
  c.data->SetSkinSection("FRAMED");
  c.bounds = TRect{0, 0, 20, 10};
  c.data->UpdateCacheSize();
  c.bounds = TRect{0, 0, 30, 14};
  c.data->UpdateRepaintStrips();
  c.data->UpdateCacheSize();
  const TRect whole{0, 0, 30, 14};
  auto full = CreateBmp32(30, 14);
  PaintControlItem(*c.data, EmptyBackgroundSource, full.get(), TPoint{0, 0}, whole,
                   TsPaintState::Normal);
  TBitmap* cache = c.data->CacheBitmap.get();
  FillRect32(cache, whole, 0x123456);
  PaintControlItem(*c.data, EmptyBackgroundSource, cache, TPoint{0, 0}, whole, TsPaintState::Normal,
                   true);
  int inStrips = 0;
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool strip = x >= 14 || y >= 9;
      const uint32_t got = skintest::Pixel32(*cache, x, y);
      if (strip) {
        ++inStrips;
        EXPECT_EQ(got, skintest::Pixel32(*full, x, y)) << x << "," << y;
      } else {
        EXPECT_EQ(got & 0xFFFFFF, SwapRedBlueBytes(0x123456u)) << x << "," << y;
      }
    }
  EXPECT_EQ(inStrips, 16 * 14 + 14 * 5);
}

// The open corners of a border take the parent's background, read through the skin data.
TEST_F(TCacheTree, BorderCornersShowTheParentsColour) {
  panel.data->SetSkinSection("BLUE");
  TFakeControl c{&panel, true, true};
  c.bounds = TRect{2, 2, 32, 12};
  c.data->SetSkinSection("FRAMED");
  c.data->UpdateCacheSize();
  FillRect32(c.data->CacheBitmap.get(), TRect{0, 0, 30, 10}, 0x00FF00);
  FillBorderCorners(*c.data, TsPaintState::Normal);
  EXPECT_EQ(skintest::Pixel32(*c.data->CacheBitmap, 0, 0) & 0xFFFFFF, 0x0000FFu);  // the key pixel
  EXPECT_EQ(skintest::Pixel32(*c.data->CacheBitmap, 1, 0) & 0xFFFFFF, 0x00FF00u);  // left alone
  TRect inner{};
  EXPECT_TRUE(PaintBorderIntoCache(TRect{0, 0, 30, 10}, 0, inner, TsPaintState::Normal, *c.data));
  EXPECT_EQ(inner, (TRect{2, 3, 24, 9}));
  TFakeControl bare{&panel, true, true};
  bare.data->SetSkinSection("PLAIN");
  EXPECT_FALSE(
      PaintBorderIntoCache(TRect{0, 0, 30, 10}, 2, inner, TsPaintState::Normal, *bare.data));
}

// The border redrawn on the cache: the mask over the whole image, its open corner over the
// parent's colour; a control without a cache is left alone.
TEST_F(TCacheTree, ControlBorderIsRedrawnOverTheParentsBackground) {
  panel.data->SetSkinSection("BLUE");
  TFakeControl c{&panel, true, true};
  c.bounds = TRect{2, 2, 32, 12};
  c.data->SetSkinSection("FRAMED");
  PaintCtrlBorder(*c.data, TsPaintState::Normal);  // no cache yet: nothing
  c.data->UpdateCacheSize();
  FillRect32(c.data->CacheBitmap.get(), TRect{0, 0, 30, 10}, 0x000000);
  PaintCtrlBorder(*c.data, TsPaintState::Normal);
  auto at = [&](int x, int y) { return skintest::Pixel32(*c.data->CacheBitmap, x, y) & 0xFFFFFF; };
  EXPECT_EQ(at(0, 0), 0x0000FFu);   // the open corner: the parent's blue
  EXPECT_EQ(at(1, 1), 0x0000FFu);   // the mask's own blue corner
  EXPECT_EQ(at(10, 0), 0x00FF00u);  // top edge
  EXPECT_EQ(at(15, 5), 0x00FF00u);  // centre
  EXPECT_EQ(at(29, 9), 0x00FF00u);  // bottom-right corner
}

}  // namespace
