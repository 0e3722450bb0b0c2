#include "skin/forms/skDials.h"

#include <gtest/gtest.h>

#include "skin/forms/sFrameMouse.h"

namespace {

// Style bits as the system numbers them.
constexpr uint32_t Popup = 0x80000000u, Child = 0x40000000u, Caption = 0x00C00000u,
                   Border = 0x00800000u, SysMenu = 0x00080000u, ThickFrame = 0x00040000u,
                   MinBox = 0x00020000u, MaxBox = 0x00010000u, ModalFrame = 0x80u;
// A message box as the system makes it.
constexpr uint32_t MessageBoxStyle = Popup | Caption | SysMenu | ModalFrame;

TEST(DialogHook, SkinsOnlyTopLevelStandardDialogsTheRulesAllow) {
  struct Case {
    const char* what;
    TskNewWindowFacts facts;
    bool skinned;
  };
  const auto dialog = [](auto change) {
    TskNewWindowFacts f;
    f.ClassName = "#32770";
    f.Style = MessageBoxStyle;
    change(f);
    return f;
  };
  const Case cases[] = {
      {"a message box", dialog([](auto&) {}), true},
      {"the class compared with its case", dialog([](auto& f) { f.ClassName = "#32771"; }), false},
      {"a dialog inside a dialog", dialog([](auto& f) { f.Style = Child | Caption; }), false},
      {"a border-less popup", dialog([](auto& f) { f.Style = Popup; }), false},
      {"a popup with a border", dialog([](auto& f) { f.Style = Popup | Border; }), true},
      {"standard dialogs not in the rules", dialog([](auto& f) { f.StdDialogsRule = false; }),
       false},
      {"no active manager", dialog([](auto& f) { f.ManagerActive = false; }), false},
      {"a window that skins itself", dialog([](auto& f) { f.AnswersSkinned = true; }), false},
      {"a dialog skinned already", dialog([](auto& f) { f.AlreadySkinned = true; }), false},
      {"a second dialog over a skinned one", dialog([](auto& f) { f.VisibleSkinnedDialogs = 1; }),
       true},
      {"a third dialog without a tool bar", dialog([](auto& f) { f.VisibleSkinnedDialogs = 2; }),
       false},
      {"a third dialog with a tool bar (a file dialog)", dialog([](auto& f) {
         f.VisibleSkinnedDialogs = 2;
         f.HasToolBarChild = true;
       }),
       true},
  };
  for (const Case& c : cases) EXPECT_EQ(ShouldSkinDialog(c.facts), c.skinned) << c.what;
}

TEST(DialogChildTable, EveryClassItNamesGetsAnAdapterOrAReason) {
  struct Case {
    const char* cls;
    uint32_t style;
    uint32_t exStyle;
    bool visible;
    const char* parent;
    TskDialogChildKind kind;
    const char* section;
    bool dialogPaintsClient;
  };
  using K = TskDialogChildKind;
  const Case cases[] = {
      {"Static", 0x0 /* SS_LEFT */, 0, true, "#32770", K::Static, "CHECKBOX", false},
      {"Static", 0x3 /* SS_ICON */, 0, true, "#32770", K::Icon, "CHECKBOX", false},
      {"Static", 0xE /* SS_BITMAP */, 0x20000, true, "#32770", K::Edge, "EDIT", false},
      {"Static", 0x5 /* SS_BLACKFRAME */, 0, true, "#32770", K::None, "", false},
      {"Static", 0x6 /* SS_GRAYFRAME */, 0, true, "#32770", K::None, "", false},
      {"Static", 0xD /* SS_OWNERDRAW */, 0, true, "#32770", K::None, "", false},
      {"Static", 0x10 /* SS_ETCHEDHORZ */, 0, true, "#32770", K::Static, "CHECKBOX", false},
      {"#32770", Child, 0, true, "#32770", K::TransPanel, "CHECKBOX", false},
      {"TPanel", Child, 0, true, "#32770", K::DlgPanel, "PANEL", false},
      {"Edit", Child, 0, true, "#32770", K::Edit, "EDIT", true},
      {"Edit", Child, 0, false, "#32770", K::None, "", true},
      {"Edit", Child, 0, true, "ComboBox", K::None, "", true},
      {"Button", 0x0 /* BS_PUSHBUTTON */, 0, true, "#32770", K::Button, "BUTTON", false},
      {"Button", 0x1 /* BS_DEFPUSHBUTTON */, 0, true, "#32770", K::Button, "BUTTON", false},
      {"Button", 0x8 /* BS_USERBUTTON */, 0, true, "#32770", K::Button, "BUTTON", false},
      {"Button", 0x7 /* BS_GROUPBOX */, 0, true, "#32770", K::GroupBox, "GROUPBOX", false},
      {"Button", 0xF, 0, true, "#32770", K::GroupBox, "GROUPBOX", false},
      {"Button", 0x3 /* BS_AUTOCHECKBOX */, 0, true, "#32770", K::CheckBox, "CHECKBOX", false},
      {"Button", 0x9 /* BS_AUTORADIOBUTTON */, 0, true, "#32770", K::CheckBox, "CHECKBOX", false},
      {"Button", 0xB /* BS_OWNERDRAW */, 0, true, "#32770", K::CheckBox, "CHECKBOX", false},
      {"ComboBox", Child, 0, true, "#32770", K::ComboBox, "COMBOBOX", true},
      {"ComboBoxEx32", Child, 0, true, "#32770", K::None, "", true},
      {"ComboLBox", 0, 0, false, "", K::ComboList, "COMBOBOX", true},
      {"ScrollBar", 0x10 /* SBS_SIZEGRIP */, 0, true, "#32770", K::Sizer, "CHECKBOX", false},
      {"ScrollBar", 0x1, 0, true, "#32770", K::None, "", false},
      {"SysTabControl32", 0, 0, true, "#32770", K::TabControl, "PAGECONTROL", false},
      {"SysTabControl32", 0x2000, 0, true, "#32770", K::None, "", false},
      {"SysListView32", 0, 0, true, "SHELLDLL_DefView", K::ListView, "EDIT", false},
      {"msctls_updown32", 0, 0, true, "#32770", K::Spin, "SPEEDBUTTON_SMALL", false},
      {"msctls_trackbar32", 0, 0, true, "#32770", K::TrackBar, "TRACKBAR", false},
      {"ListBox", 0, 0, true, "#32770", K::ListBox, "EDIT", true},
      {"SysLink", 0, 0, true, "#32770", K::Link, "CHECKBOX", false},
      {"Link Window", 0, 0, true, "#32770", K::Link, "CHECKBOX", false},
      {"ToolbarWindow32", 0x200, 0, true, "#32770", K::ToolBar, "BAR", false},
      {"ToolbarWindow32", 0, 0, true, "#32770", K::ToolBar, "CHECKBOX", false},
      {"SysTreeView32", 0, 0, true, "#32770", K::TreeView, "EDIT", false},
      {"SHBrowseForFolder", 0, 0, true, "#32770", K::TransPanel, "CHECKBOX", false},
      {"SHELLDLL_DefView", 0, 0, true, "#32770", K::None, "", false},
      {"SysHeader32", 0, 0, true, "SysListView32", K::None, "", false},
  };
  for (const Case& c : cases) {
    const TskDialogChildChoice choice =
        ChooseDialogChildAdapter({c.cls, c.parent, c.style, c.exStyle, c.visible});
    const std::string what = std::string(c.cls) + " style " + std::to_string(c.style);
    EXPECT_EQ(choice.Kind, c.kind) << what << ": " << DialogChildKindName(choice.Kind);
    EXPECT_EQ(choice.Section, c.section) << what;
    EXPECT_EQ(choice.DialogPaintsClient, c.dialogPaintsClient) << what;
    EXPECT_FALSE(UnknownChildClass(choice)) << what;
    // Either an adapter or a reason, never both.
    EXPECT_EQ(choice.Kind == TskDialogChildKind::None, !choice.Reason.empty()) << what;
  }
}

TEST(DialogChildTable, ASpinPaintsItsArrowsTwoPixelsIn) {
  EXPECT_EQ(ChooseDialogChildAdapter({"msctls_updown32", "#32770", 0, 0, true}).PaintOffset, 2);
}

TEST(DialogChildTable, AClassItDoesNotKnowIsNamedUnknown) {
  const TskDialogChildChoice choice =
      ChooseDialogChildAdapter({"RichEdit20A", "#32770", 0, 0, true});
  EXPECT_TRUE(UnknownChildClass(choice));
}

TEST(DialogFrame, KindFollowsTheStyle) {
  struct Case {
    uint32_t style;
    TskDialogFrameKind kind;
  };
  const Case cases[] = {
      {MessageBoxStyle, TskDialogFrameKind::Dialog},
      {Popup | Caption | SysMenu | ThickFrame | ModalFrame, TskDialogFrameKind::Sizeable},
      {Popup | Border, TskDialogFrameKind::None},
      {Popup | Caption, TskDialogFrameKind::Single},
      {Caption | SysMenu, TskDialogFrameKind::Single},
  };
  for (const Case& c : cases) EXPECT_EQ(DialogFrameKind(c.style), c.kind) << std::hex << c.style;
}

TskDialogFacts MessageBoxFacts() {
  TskDialogFacts d;
  d.SavedStyle = MessageBoxStyle;
  // The style the window has while skinned: WS_SYSMENU taken away.
  d.Style = MessageBoxStyle & ~SysMenu;
  d.Width = 300;
  d.Height = 140;
  d.Metrics.CxDlgFrame = 3;
  d.Metrics.CyCaption = 19;
  d.ClientWidth = 300 - 2 * 3;
  d.ClientHeight = 140 - 2 * 3 - 19;
  return d;
}

TEST(DialogFrame, IsMeasuredAsAFormWithADialogBorder) {
  const TsFormFacts f = DialogFormFacts(MessageBoxFacts());
  EXPECT_EQ(f.Border, TsFrameBorder::Dialog);
  EXPECT_EQ(GetBorderWidth(f, false), 3);
  EXPECT_EQ(GetCaptionHeight(f, true), 19);
  EXPECT_EQ(GetClientOffsetX(f), 3);
  EXPECT_EQ(GetClientOffsetY(f), 22);
  EXPECT_EQ(GetImageWidth(f), 300);
  EXPECT_EQ(GetImageHeight(f), 140);
  // A caption-less popup has no frame to paint.
  TskDialogFacts popup = MessageBoxFacts();
  popup.SavedStyle = popup.Style = Popup | Border;
  EXPECT_FALSE(HasFrame(DialogFormFacts(popup)));
  EXPECT_EQ(GetCaptionHeight(DialogFormFacts(popup), true), 0);
}

TEST(DialogButtons, FollowTheSavedStyleAndState) {
  struct Case {
    const char* what;
    uint32_t style;
    bool noClose, minimized, maximized;
    bool closeEnabled, canMax, canMin, canRestore;
  };
  const Case cases[] = {
      {"message box", MessageBoxStyle, false, false, false, true, false, false, false},
      {"class with CS_NOCLOSE", MessageBoxStyle, true, false, false, false, false, false, false},
      {"no system menu", Popup | Caption | ModalFrame, false, false, false, false, false, false,
       false},
      {"sizeable with both boxes", Popup | Caption | SysMenu | ThickFrame | MinBox | MaxBox, false,
       false, false, true, true, true, false},
      {"maximized", Popup | Caption | SysMenu | ThickFrame | MinBox | MaxBox, false, false, true,
       true, false, true, true},
      {"minimized", Popup | Caption | SysMenu | ThickFrame | MinBox | MaxBox, false, true, false,
       true, true, false, true},
      {"dialog frame never maximizes", Popup | Caption | SysMenu | ModalFrame | MaxBox, false,
       false, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    TskDialogFacts d;
    d.SavedStyle = c.style;
    d.NoCloseClass = c.noClose;
    d.Minimized = c.minimized;
    d.Maximized = c.maximized;
    EXPECT_EQ(DialogIsCloseEnabled(d), c.closeEnabled) << c.what;
    EXPECT_EQ(DialogCanMaximize(d), c.canMax) << c.what;
    EXPECT_EQ(DialogCanMinimize(d), c.canMin) << c.what;
    EXPECT_EQ(DialogCanRestore(d), c.canRestore) << c.what;
  }
}

TEST(DialogButtons, AreLaidOutAndHitByTheFormsLayout) {
  TskDialogFacts d = MessageBoxFacts();
  TskDialogButtonMasks masks;
  masks.Close = TsButtonMask{true, 17, 15};
  masks.Big = false;
  const TsTitleButtonsSetup setup = DialogTitleButtonsSetup(d, masks, 2, 1);
  const auto layout = LayoutTitleButtons(DialogFormFacts(d), setup);
  // A message box shows its close button only, at the right of the title.
  ASSERT_EQ(layout.size(), 1u);
  const TRect close = layout[0].Rect;
  EXPECT_EQ(layout[0].HitCode, TitleHitClose);
  EXPECT_EQ(close.Right, 300 - 2 - 3);
  EXPECT_EQ(close.Width(), 17);
  EXPECT_EQ(close.Top, (3 + 19 - 15) / 2);

  TskDialogHitFacts hit;
  hit.Dialog = d;
  hit.Buttons = setup;
  hit.IconRect = TRect{5, 4, 21, 20};
  struct Case {
    TPoint p;
    int code;
  };
  const Case cases[] = {
      {TPoint{close.Left + 2, close.Top + 2}, TitleHitClose},
      {TPoint{150, 10}, TitleHitCaption},
      {TPoint{10, 10}, TitleHitSysMenu},
      // The client and the fixed border are the dialog's own to answer.
      {TPoint{150, 80}, TitleHitNowhere},
      {TPoint{1, 80}, TitleHitNowhere},
  };
  for (const Case& c : cases) EXPECT_EQ(DialogHitTest(hit, c.p), c.code) << c.p.X << "," << c.p.Y;

  // Without a system menu there are no buttons at all.
  d.SavedStyle &= ~SysMenu;
  EXPECT_TRUE(
      LayoutTitleButtons(DialogFormFacts(d), DialogTitleButtonsSetup(d, masks, 2, 1)).empty());
}

TEST(DialogButtons, ASizeableDialogIsSizedAtItsEdgesAndAMaximizedOneLetsTheEdgeThrough) {
  TskDialogFacts d = MessageBoxFacts();
  d.SavedStyle = d.Style = Popup | Caption | ThickFrame | MaxBox;
  d.Metrics.CxFrame = 4;
  TskDialogHitFacts hit;
  hit.Dialog = d;
  hit.Buttons = DialogTitleButtonsSetup(d, {}, 0, 0);
  EXPECT_EQ(DialogHitTest(hit, TPoint{1, 70}), fhLeft);
  EXPECT_EQ(DialogHitTest(hit, TPoint{299, 139}), fhBottomRight);
  hit.Dialog.Maximized = true;
  EXPECT_EQ(DialogHitTest(hit, TPoint{1, 70}), DialogHitTransparent);
}

TEST(DialogSystemMenu, ItemsFollowTheFrameAndState) {
  TskDialogFacts plain;
  plain.SavedStyle = MessageBoxStyle;
  TskDialogMenuItems m = DialogMenuItems(plain);
  // A plain dialog frame shows neither Restore nor Size.
  EXPECT_FALSE(m.RestoreVisible);
  EXPECT_FALSE(m.SizeVisible);
  EXPECT_TRUE(m.MoveVisible && m.MoveEnabled);
  EXPECT_TRUE(m.CloseVisible);

  TskDialogFacts maximized;
  maximized.SavedStyle = Popup | Caption | SysMenu | ThickFrame | MaxBox;
  maximized.Maximized = true;
  m = DialogMenuItems(maximized);
  EXPECT_FALSE(m.MoveEnabled);
  EXPECT_TRUE(m.RestoreVisible && m.RestoreEnabled);
  EXPECT_TRUE(m.SizeVisible && m.SizeEnabled);

  TskDialogFacts noMenu;
  noMenu.SavedStyle = Popup | Caption | ThickFrame;
  m = DialogMenuItems(noMenu);
  EXPECT_FALSE(m.CloseVisible);
  EXPECT_FALSE(m.RestoreVisible);
}

}  // namespace
