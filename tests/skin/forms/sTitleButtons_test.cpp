// The title buttons' places and hit codes, the title icon's place, the hot and pressed button,
// and the system menu's answers that decide which buttons show and act.
#include "skin/forms/sTitleButtons.h"

#include <gtest/gtest.h>

#include "skin/forms/sSystemMenu.h"
#include "skin/forms/sTitleButtonStates.h"

namespace {

// A sizeable main window of 400 x 300 with the system's frame (4) and caption (19).
TsFormFacts Sizeable() {
  TsFormFacts f;
  f.Width = 400;
  f.Height = 300;
  f.ClientWidth = 392;
  f.ClientHeight = 300 - 8 - 19;
  return f;
}

TsSysMenuFacts MenuFactsOf(const TsFormFacts& f) {
  TsSysMenuFacts m;
  m.Border = f.Border;
  m.Minimized = f.Minimized;
  m.Maximized = f.Maximized;
  return m;
}

// Big 12-pixel masks for every button, BISPACE 2, the answers of the form's system menu.
TsTitleButtonsSetup SetupFor(const TsFormFacts& f, TsSysMenuFacts m) {
  TsTitleButtonsSetup s;
  s.Menu = SysMenuAnswers(m);
  for (TsButtonMask* mask : {&s.Close, &s.Max, &s.Norm, &s.Min, &s.Help}) *mask = {true, 12, 12};
  s.BISpace = 2;
  s.Big = HasBigButtons(f);
  return s;
}
TsTitleButtonsSetup SetupFor(const TsFormFacts& f) { return SetupFor(f, MenuFactsOf(f)); }

struct TExpected {
  int HitCode;
  TRect Rect;
  bool Enabled = true;
  bool ShowsRestore = false;
};

void ExpectLayout(const std::vector<TsPlacedTitleButton>& placed,
                  const std::vector<TExpected>& expected, const char* name) {
  ASSERT_EQ(placed.size(), expected.size()) << name;
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(std::string(name) + ", button " + std::to_string(i));
    EXPECT_EQ(placed[i].HitCode, expected[i].HitCode);
    EXPECT_EQ(placed[i].Rect, expected[i].Rect);
    EXPECT_EQ(placed[i].Enabled, expected[i].Enabled);
    EXPECT_EQ(placed[i].ShowsRestore, expected[i].ShowsRestore);
  }
}

TEST(TitleButtons, LaidOutFromTheRightForEachKindOfForm) {
  // Sizeable: close, maximize, minimize from the right edge inside the frame (4), big buttons
  // BISPACE apart, centred on frame and caption, 2 lower because they are under 16 high.
  const TsFormFacts sizeable = Sizeable();
  ExpectLayout(LayoutTitleButtons(sizeable, SetupFor(sizeable)),
               {{20, {384, 7, 396, 19}}, {9, {370, 7, 382, 19}}, {8, {356, 7, 368, 19}}},
               "sizeable");

  // A tool window: close alone, small caption, no spaces, no extra offset.
  TsFormFacts tool = Sizeable();
  tool.Border = TsFrameBorder::ToolWindow;
  tool.ThickFrame = false;
  TsTitleButtonsSetup toolSetup = SetupFor(tool);
  toolSetup.Close = {true, 10, 10};
  ExpectLayout(LayoutTitleButtons(tool, toolSetup), {{20, {387, 4, 397, 14}}}, "tool window");

  // Maximized: the maximize button shows the restore image and acts.
  TsFormFacts maximized = Sizeable();
  maximized.Maximized = true;
  ExpectLayout(
      LayoutTitleButtons(maximized, SetupFor(maximized)),
      {{20, {384, 7, 396, 19}}, {9, {370, 7, 382, 19}, true, true}, {8, {356, 7, 368, 19}}},
      "maximized");

  // Without biMaximize the maximize button is not shown: minimize takes its place.
  TsSysMenuFacts noMax = MenuFactsOf(sizeable);
  noMax.MaximizeIcon = false;
  ExpectLayout(LayoutTitleButtons(sizeable, SetupFor(sizeable, noMax)),
               {{20, {384, 7, 396, 19}}, {8, {370, 7, 382, 19}}}, "no maximize icon");

  // Help with biHelp, after the minimize button.
  TsTitleButtonsSetup help = SetupFor(sizeable);
  help.HelpIcon = true;
  ExpectLayout(LayoutTitleButtons(sizeable, help),
               {{20, {384, 7, 396, 19}},
                {9, {370, 7, 382, 19}},
                {8, {356, 7, 368, 19}},
                {21, {342, 7, 354, 19}}},
               "help");

  // A form whose system menu has no close item shows no standard button.
  TsSysMenuFacts noMenu = MenuFactsOf(sizeable);
  noMenu.HadSysMenu = false;
  EXPECT_TRUE(LayoutTitleButtons(sizeable, SetupFor(sizeable, noMenu)).empty());

  // No caption, no buttons.
  TsFormFacts noCaption = Sizeable();
  noCaption.CaptionBits = false;
  EXPECT_TRUE(LayoutTitleButtons(noCaption, SetupFor(noCaption)).empty());
}

TEST(TitleButtons, UserButtonsStartEightLeftOfTheStandardOnesInCollectionOrder) {
  const TsFormFacts f = Sizeable();
  TsTitleButtonsSetup s = SetupFor(f);
  s.User = {{true, true, 20, true}, {false, true, 20, true}, {true, false, 16, false}};
  // After minimize (left 356) one BISPACE, the gap of 8, then the first item rightmost; the
  // hidden one takes no place but keeps its number.
  const auto placed = LayoutTitleButtons(f, s);
  ASSERT_EQ(placed.size(), 5u);
  EXPECT_EQ(placed[3].HitCode, 1000);
  EXPECT_EQ(placed[3].Rect, (TRect{326, 7, 346, 19}));
  EXPECT_EQ(placed[4].HitCode, 1002);
  EXPECT_EQ(placed[4].Rect, (TRect{308, 7, 324, 19}));
  EXPECT_FALSE(placed[4].Enabled);
  EXPECT_FALSE(placed[4].Drawn);
  EXPECT_EQ(TitleButtonsWidth(f, s), 396 - 308);

  // Without a close item the user buttons stand alone at the right.
  TsSysMenuFacts noMenu = MenuFactsOf(f);
  noMenu.HadSysMenu = false;
  TsTitleButtonsSetup alone = SetupFor(f, noMenu);
  alone.User = {{true, true, 20, true}};
  const auto single = LayoutTitleButtons(f, alone);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].Rect, (TRect{368, 7, 388, 19}));
}

TEST(TitleButtons, TheWidthTheButtonsTakeMatchesTheirLayout) {
  const TsFormFacts f = Sizeable();
  TsTitleButtonsSetup s = SetupFor(f);
  s.BIRight = 3;
  s.HelpIcon = true;
  const auto placed = LayoutTitleButtons(f, s);
  ASSERT_FALSE(placed.empty());
  // From the frame's inner edge to the leftmost button.
  EXPECT_EQ(TitleButtonsWidth(f, s), 396 - placed.back().Rect.Left);
  // A missing mask keeps a place 21 wide and draws nothing.
  s.Max.Valid = false;
  const auto missing = LayoutTitleButtons(f, s);
  EXPECT_EQ(missing[1].Rect.Width(), 21);
  EXPECT_FALSE(missing[1].Drawn);
  EXPECT_EQ(TitleButtonsWidth(f, s), 396 - missing.back().Rect.Left);
}

TEST(TitleButtons, BigButtonsAlignedToTheTopWithBIVAlign) {
  TsFormFacts f = Sizeable();
  f.Skin.BIVAlign = 1;
  f.Skin.BITop = 5;  // counts only with a border window
  TsTitleButtonsSetup s = SetupFor(f);
  s.HelpIcon = true;
  auto placed = LayoutTitleButtons(f, s);
  ASSERT_EQ(placed.size(), 4u);
  EXPECT_EQ(placed[0].Rect.Top, 0);
  EXPECT_EQ(placed[3].Rect.Top, 7) << "the help button is not big: it stays centred";
  f.Maximized = true;
  EXPECT_EQ(LayoutTitleButtons(f, SetupFor(f))[0].Rect.Top, 3);
}

TEST(TitleButtons, HitCodesAtEachButton) {
  const TsFormFacts f = Sizeable();
  TsTitleButtonsSetup s = SetupFor(f);
  s.HelpIcon = true;
  s.User = {{true, true, 20, true}, {true, false, 20, true}};
  const auto placed = LayoutTitleButtons(f, s);
  auto hit = [&](int x, int y) { return TitleButtonHitTest(f, s, placed, TPoint{x, y}); };
  EXPECT_EQ(hit(390, 10), TitleHitClose);
  EXPECT_EQ(hit(384, 7), TitleHitClose);
  EXPECT_EQ(hit(396, 10), TitleHitNowhere) << "right edge is outside";
  EXPECT_EQ(hit(390, 19), TitleHitNowhere) << "bottom edge is outside";
  EXPECT_EQ(hit(383, 10), TitleHitNowhere) << "the space between two buttons";
  EXPECT_EQ(hit(375, 10), TitleHitMaximize);
  EXPECT_EQ(hit(360, 10), TitleHitMinimize);
  EXPECT_EQ(hit(345, 10), TitleHitHelp);
  const TRect user0 = FindTitleButton(placed, 1000)->Rect;
  const TRect user1 = FindTitleButton(placed, 1001)->Rect;
  EXPECT_EQ(hit(user0.Left + 1, 10), 1000);
  EXPECT_EQ(hit(user1.Left + 1, 10), TitleHitClient) << "a disabled user button";
  EXPECT_EQ(hit(100, 10), TitleHitNowhere);
}

TEST(TitleButtons, EachButtonAnswersForItsOwnKindWhereverItStands) {
  // Minimize and help without maximize: help stands third, where a count of places would
  // find minimize.
  const TsFormFacts f = Sizeable();
  TsSysMenuFacts m = MenuFactsOf(f);
  m.MaximizeIcon = false;
  TsTitleButtonsSetup s = SetupFor(f, m);
  s.HelpIcon = true;
  const auto placed = LayoutTitleButtons(f, s);
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(TitleButtonHitTest(f, s, placed, placed[1].Rect.TopLeft()), TitleHitMinimize);
  EXPECT_EQ(TitleButtonHitTest(f, s, placed, placed[2].Rect.TopLeft()), TitleHitHelp);
}

TEST(TitleButtons, WithABorderWindowTheButtonsMoveByTheShadowAndTheExtendedTitle) {
  TsFormFacts f = Sizeable();
  f.BorderWindow = true;
  f.ShadowMargins = TRect{11, 7, 11, 11};
  f.Skin.BorderWidth = 6;
  f.Skin.TitleHeight = 30;
  f.Skin.CenterOffset = 1;
  // The image is wider by the shadows and twice the extended border's extra width (2): the
  // close button's right edge lies the shadow and the extended border inside it.
  const auto placed = LayoutTitleButtons(f, SetupFor(f));
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0].Rect.Right, GetImageWidth(f) - 11 - 6);
  // Centred on the extended title (30 high, no standard border) below the shadow, moved by
  // CENTEROFFSET, 2 lower for small big buttons: (30 - 12) / 2 + 7 + 1 + 2.
  EXPECT_EQ(placed[0].Rect.Top, 19);
  // Top-aligned: the shadow and BITOP.
  f.Skin.BIVAlign = 1;
  f.Skin.BITop = 3;
  EXPECT_EQ(LayoutTitleButtons(f, SetupFor(f))[0].Rect.Top, 10);
}

TEST(TitleButtons, DisabledMaximizeAndMinimizeAnswerAsCaption) {
  // A minimized form without biMaximize still shows maximize (disabled) and a minimize that
  // restores.
  TsFormFacts f = Sizeable();
  f.Minimized = true;
  TsSysMenuFacts m = MenuFactsOf(f);
  m.MaximizeIcon = false;
  const TsTitleButtonsSetup s = SetupFor(f, m);
  const auto placed = LayoutTitleButtons(f, s);
  const TsPlacedTitleButton* max = FindTitleButton(placed, TitleHitMaximize);
  const TsPlacedTitleButton* min = FindTitleButton(placed, TitleHitMinimize);
  ASSERT_TRUE(max && min);
  EXPECT_FALSE(max->Enabled);
  EXPECT_TRUE(min->ShowsRestore);
  EXPECT_TRUE(min->Enabled);
  EXPECT_EQ(TitleButtonHitTest(f, s, placed, max->Rect.TopLeft()), TitleHitCaption);
  EXPECT_EQ(TitleButtonHitTest(f, s, placed, min->Rect.TopLeft()), TitleHitMinimize);

  // A normal form whose minimize is disabled (biMinimize off, the button shown for an MDI
  // child): caption.
  TsFormFacts child = Sizeable();
  TsSysMenuFacts cm = MenuFactsOf(child);
  cm.MdiChild = true;
  cm.MinimizeIcon = false;
  const TsTitleButtonsSetup cs = SetupFor(child, cm);
  const auto cp = LayoutTitleButtons(child, cs);
  const TsPlacedTitleButton* cmin = FindTitleButton(cp, TitleHitMinimize);
  ASSERT_TRUE(cmin);
  EXPECT_FALSE(cmin->Enabled);
  EXPECT_EQ(TitleButtonHitTest(child, cs, cp, cmin->Rect.TopLeft()), TitleHitCaption);
}

TEST(TitleButtons, TheIconSitsAtTheLeftCentredOnTheTitle) {
  const TsFormFacts f = Sizeable();
  EXPECT_EQ(TitleIconSize(f, 0, 0), (TSize{16, 16}));
  EXPECT_EQ(TitleIconSize(f, 24, 0), (TSize{24, 16}));
  EXPECT_EQ(TitleIconRect(f, TSize{16, 16}, 2), (TRect{6, 4, 22, 20}));
  TsFormFacts tool = Sizeable();
  tool.Border = TsFrameBorder::ToolWindow;
  tool.Metrics.CySmCaption = 15;
  EXPECT_EQ(TitleIconSize(tool, 0, 0), (TSize{8, 8}));
}

TEST(SystemMenu, AnswersForEachKindOfForm) {
  struct Case {
    const char* name;
    TsSysMenuFacts facts;
    TsSysMenuAnswers answers;
  };
  auto facts = [](TsFrameBorder border, bool min, bool max, bool child, bool maxIcon, bool minIcon,
                  bool hadMenu = true) {
    return TsSysMenuFacts{hadMenu, border, min, max, child, maxIcon, minIcon};
  };
  using B = TsFrameBorder;
  //                                 close  max    min    enMax  enMin  enRest visRest visSize move
  //                                 size
  const Case cases[] = {
      {"normal sizeable",
       facts(B::Sizeable, false, false, false, true, true),
       {true, true, true, true, true, false, true, true, true, true}},
      {"dialog with a system menu",
       facts(B::Dialog, false, false, false, true, true),
       {true, false, false, false, true, false, false, false, true, true}},
      {"maximized sizeable",
       facts(B::Sizeable, false, true, false, true, true),
       {true, true, true, false, true, true, true, true, false, false}},
      {"minimized",
       facts(B::Sizeable, true, false, false, true, true),
       {true, true, true, true, false, true, true, true, false, false}},
      {"single without maximize",
       facts(B::Single, false, false, false, false, true),
       {true, false, true, false, true, false, true, true, true, false}},
      {"tool window",
       facts(B::ToolWindow, false, false, false, true, true),
       {true, false, false, false, true, false, false, false, true, true}},
      {"MDI child without icons",
       facts(B::Dialog, false, false, true, false, false),
       {true, true, true, false, false, false, true, true, true, true}},
      {"no system menu",
       facts(B::Sizeable, false, false, false, true, true, false),
       {false, false, false, true, true, false, false, true, true, true}},
  };
  for (const Case& c : cases) EXPECT_EQ(SysMenuAnswers(c.facts), c.answers) << c.name;
}

TEST(SystemMenu, MenuTextsAndSkinNames) {
  EXPECT_EQ(SplitMenuText("&Close\tAlt+F4").Caption, "&Close");
  EXPECT_EQ(SplitMenuText("&Close\tAlt+F4").ShortCut, "Alt+F4");
  EXPECT_EQ(SplitMenuText("&Move").ShortCut, "");
  EXPECT_EQ(SkinNameOfMenuCaption("WMP 2008 (&internal)", "(internal)"), "WMP 2008 (internal)");
  EXPECT_EQ(SkinNameOfMenuCaption("&Office12Style", "(internal)"), "Office12Style");
  EXPECT_EQ(SkinNameOfMenuCaption("Mine (internal) copy", "(internal)"), "Mine (internal)");
}

TEST(TitleButtonStates, AtMostOneButtonIsHotOrPressed) {
  TsTitleButtonStates s;
  EXPECT_EQ(s.SetHot(20), (std::vector<int>{20}));
  EXPECT_EQ(s.StateOf(20), 1);
  EXPECT_EQ(s.SetHot(20), (std::vector<int>{})) << "already hot: nothing to repaint";
  EXPECT_EQ(s.SetHot(9), (std::vector<int>{20, 9}));
  EXPECT_EQ(s.StateOf(20), 0);
  EXPECT_EQ(s.SetPressed(9, true), (std::vector<int>{9}));
  EXPECT_EQ(s.StateOf(9), 2);
  EXPECT_TRUE(s.ButtonPressed());
  // Held and moved off: normal, still the pressed one; back on: pressed again.
  EXPECT_EQ(s.ShowPressed(false), (std::vector<int>{9}));
  EXPECT_EQ(s.StateOf(9), 0);
  EXPECT_TRUE(s.ButtonPressed());
  EXPECT_EQ(s.ShowPressed(false), (std::vector<int>{}));
  EXPECT_EQ(s.ShowPressed(true), (std::vector<int>{9}));
  // Another hot button ends the press.
  EXPECT_EQ(s.SetHot(8), (std::vector<int>{9, 8}));
  EXPECT_FALSE(s.ButtonPressed());
  // A button that cannot act is neither pressed nor hot.
  EXPECT_EQ(s.SetPressed(8, false), (std::vector<int>{8}));
  EXPECT_EQ(s.HotButtonCode(), 0);
  EXPECT_FALSE(s.ButtonPressed());
  // -1: nothing hot, and clearing again changes nothing.
  s.SetHot(-1);
  EXPECT_EQ(s.SetHot(0), (std::vector<int>{}));
}

}  // namespace
