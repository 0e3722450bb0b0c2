// The per-control skin data over a fake control tree: which section a control gets, the
// colours it shows, what a section or manager change tells it, and its answers to the skin
// command, including commands that do not come from our own thread.
#include "skin/core/sCommonData.h"

#include <gtest/gtest.h>

#include <memory>

#include "skin/core/sColors.h"
#include "skin/core/sSkinManager.h"
#include "tests/skin/core/SkinTestFiles.h"

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

// A control of the fake tree: skin commands reach its skin data as Perform would.
struct TFakeControl : ISkinDataHost {
  explicit TFakeControl(TFakeControl* parentControl = nullptr, bool withSkinData = true)
      : parent(parentControl) {
    if (parent) parent->children.push_back(this);
    if (withSkinData) data = std::make_unique<TsCommonData>(this);
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

  TFakeControl* parent;
  std::vector<TFakeControl*> children;
  std::unique_ptr<TsCommonData> data;
  std::string className = "TFakeControl";
  bool control = true, destroying = false, loading = false;
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
    "[TFAKEWIDGET]\nCOLOR=1\n";

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
  for (const auto& c : cases) EXPECT_EQ(DefaultSectionOfKind(c.kind), c.section) << c.kind;
  EXPECT_TRUE(IsEditLikeKind(9));
  EXPECT_FALSE(IsEditLikeKind(19));
  EXPECT_TRUE(IsNoHotStateKind(60));
  EXPECT_FALSE(IsNoHotStateKind(75));
  EXPECT_TRUE(HasNoGlow(93));
  EXPECT_FALSE(IsNoGlowKind(93));
  EXPECT_TRUE(IsNoGlowKind(226));
  EXPECT_FALSE(HasNoGlow(256 + 51));  // codes above 255 belong to no set
}

TEST_F(TSkinnedTree, AControlGetsItsSectionByKindElseByClassName) {
  TFakeControl edit{&panel};
  edit.data->ControlKind = 3;
  edit.data->Loaded();
  EXPECT_EQ(edit.data->SkinSection(), "EDIT");
  EXPECT_EQ(edit.data->SectionIndex, f.Manager->GetSectionIndex("EDIT"));
  // An edit-like control takes the skin's colour and font colour.
  EXPECT_EQ(edit.color, kRed);
  EXPECT_EQ(edit.fontColor, 0x00FF00);

  TFakeControl widget{&panel};
  widget.className = "TFakeWidget";
  widget.data->ControlKind = 9;  // no default section for this kind
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
