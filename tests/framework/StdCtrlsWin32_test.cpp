// Standard and common controls, menus and dialogs over their system windows: what the
// program sets must be what the windows show, and the windows' notifications must come
// back as the controls' events.
#include "framework/StdCtrlsWin32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ButtonsWin32.h"
#include "framework/ComCtrlsWin32.h"
#include "framework/DialogsWin32.h"
#include "framework/ExtCtrlsWin32.h"
#include "framework/FormsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/TypInfo.h"
#include "framework/WindowSubclassWin32.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using ktest::Pump;

using ktest::TFormGuard;

std::string ListBoxText(HWND wnd, int index) {
  char buf[256] = {};
  SendMessageA(wnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
  return buf;
}

std::string WindowText(HWND wnd) {
  char buf[256] = {};
  GetWindowTextA(wnd, buf, sizeof(buf));
  return buf;
}

// The WM_COMMAND messages a window receives, sent or posted, as the system's controls and
// menus deliver them; each goes on to the window's own procedure.
struct TCommandLog {
  struct TCommand {
    WPARAM WParam;
    LPARAM LParam;
  };
  explicit TCommandLog(HWND wnd)
      : subclass(wnd, [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
          if (msg == WM_COMMAND) Commands.push_back({wp, lp});
          return false;
        }) {}
  std::vector<TCommand> Commands;
  TWindowSubclass subclass;
};

}  // namespace

// ---- list controls ------------------------------------------------------------------------

TEST(ListControls, ARenamedItemKeepsTheChoiceOfItsList) {
  // A translation renames every entry in place; the chosen one stays chosen, the others do
  // not become chosen.
  TFormGuard g;
  auto* list = g.Add<TListBox>();
  auto* combo = g.Add<TComboBox>();
  combo->SetLeft(150);
  for (TStrings* items : {list->Items(), combo->Items()})
    for (const char* unit : {"KB", "MB", "GB"}) items->Add(unit);
  list->SetItemIndex(1);
  combo->SetItemIndex(1);
  g.Show();
  const struct {
    TStrings* Items;
    std::function<int()> Chosen;
    const char* Name;
  } cases[] = {{list->Items(), [&] { return list->ItemIndex(); }, "list box"},
               {combo->Items(), [&] { return combo->ItemIndex(); }, "combo box"}};
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) c.Items->SetStrings(i, c.Items->Strings(i) + "!");
    EXPECT_EQ(c.Chosen(), 1) << c.Name;
    EXPECT_EQ(c.Items->Strings(1), "MB!") << c.Name;
  }
  EXPECT_EQ(combo->Text(), "MB!");
}

TEST(ListControls, ItemsAddedBeforeAndAfterTheWindowExistShowInIt) {
  TFormGuard g;
  auto* list = g.Add<TListBox>();
  list->Items()->Add("before");
  g.Show();
  list->Items()->Add("after");
  list->Items()->Insert(0, "first");
  list->Items()->Delete(1);
  HWND wnd = list->Handle();
  ASSERT_EQ(SendMessageA(wnd, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ListBoxText(wnd, 0), "first");
  EXPECT_EQ(ListBoxText(wnd, 1), "after");
}

TEST(ListControls, SortedListBoxKeepsWindowAndItemsInTheSameOrder) {
  TFormGuard g;
  auto* list = g.Add<TListBox>();
  list->SetSorted(true);
  g.Show();
  for (const char* s : {"pear", "apple", "fig"}) list->Items()->Add(s);
  HWND wnd = list->Handle();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ListBoxText(wnd, i), (*list->Items())[i]);
  EXPECT_EQ((*list->Items())[0], "apple");
}

TEST(ListControls, ComboBoxItemIndexAndTextAgree) {
  TFormGuard g;
  auto* combo = g.Add<TComboBox>();
  for (const char* s : {"KB", "MB", "GB"}) combo->Items()->Add(s);
  combo->SetItemIndex(1);
  g.Show();
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), "MB");
  combo->SetText("12");  // an editable box may hold a text that is no item
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(5);
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST(Edits, OnChangeFiresOnceForEachTextChangeButNotWhileLoading) {
  struct TCase {
    const char* Name;
    std::function<TCustomEdit*(TComponent*)> Make;
  };
  const TCase cases[] = {
      {"edit", [](TComponent* o) -> TCustomEdit* { return new TEdit(o); }},
      {"memo", [](TComponent* o) -> TCustomEdit* { return new TMemo(o); }},
      {"rich edit", [](TComponent* o) -> TCustomEdit* { return new TRichEdit(o); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormGuard g;
    TCustomEdit* edit = c.Make(g.Form);
    int changes = 0;
    edit->SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
    g.Form->BeginLoading();
    edit->SetParent(g.Form);
    edit->SetText("stored");
    g.Form->EndLoading();
    EXPECT_EQ(changes, 0);
    edit->SetText("before the window");
    EXPECT_EQ(changes, 1);
    g.Show();
    edit->SetText("with the window");
    EXPECT_EQ(changes, 2);
  }
}

// ---- memo lines ---------------------------------------------------------------------------

TEST(MemoLines, EditingLinesGivesTheSameTextWithAndWithoutAWindow) {
  for (bool withWindow : {false, true}) {
    SCOPED_TRACE(withWindow ? "with window" : "without window");
    TFormGuard g;
    auto* memo = g.Add<TMemo>();
    if (withWindow) g.Show();
    TStrings* lines = memo->Lines();
    lines->Add("a");
    lines->Add("c");
    lines->Insert(1, "b");
    EXPECT_EQ(lines->Count(), 3);
    EXPECT_EQ(memo->Text(), "a\r\nb\r\nc\r\n");
    lines->Delete(0);
    EXPECT_EQ((*lines)[0], "b");
    EXPECT_EQ(lines->Count(), 2);
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
  }
}

TEST(MemoLines, RichEditHoldsMoreThanTheDefaultLimit) {
  TFormGuard g;
  auto* re = g.Add<TRichEdit>();
  re->SetPlainText(true);
  re->SetWordWrap(false);
  g.Show();
  std::string big(100000, 'x');
  re->SetText(big);
  EXPECT_EQ(re->Text().size(), big.size());
  re->Lines()->Add("tail");
  EXPECT_EQ((*re->Lines())[re->Lines()->Count() - 1], "tail");
}

TEST(MemoLines, AddAppendsALineAndAnswersItsIndexWhateverTheTextEndsIn) {
  enum class TKind { WrappingMemo, Memo, RichEdit };
  struct TCase {
    TKind Kind;
    const char* Text;  // before the Add
    int Index;         // Add's answer
    std::vector<std::string> Lines;
  } const cases[] = {
      {TKind::WrappingMemo, "", 0, {"new"}},
      {TKind::WrappingMemo, "a\r\nb\r\n", 2, {"a", "b", "new"}},
      {TKind::WrappingMemo, "a\r\nb", 2, {"a", "b", "new"}},
      {TKind::Memo, "", 0, {"new"}},
      {TKind::Memo, "a\r\nb\r\n", 2, {"a", "b", "new"}},
      {TKind::Memo, "a\r\nb", 2, {"a", "b", "new"}},
      {TKind::Memo, "\r\n", 1, {"", "new"}},
      {TKind::RichEdit, "", 0, {"new"}},
      {TKind::RichEdit, "a\r\nb\r\n", 2, {"a", "b", "new"}},
      {TKind::RichEdit, "a\r\nb", 2, {"a", "b", "new"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.Kind) << " '" << c.Text << "'");
    TFormGuard g;
    TCustomMemo* memo = nullptr;
    if (c.Kind == TKind::RichEdit) {
      auto* re = g.Add<TRichEdit>();
      re->SetPlainText(true);
      memo = re;
    } else {
      memo = g.Add<TMemo>();
    }
    memo->SetWordWrap(c.Kind == TKind::WrappingMemo);
    g.Show();
    memo->SetText(c.Text);
    TStrings* lines = memo->Lines();
    EXPECT_EQ(lines->Add("new"), c.Index);
    ASSERT_EQ(lines->Count(), static_cast<int>(c.Lines.size()));
    for (int i = 0; i < lines->Count(); ++i)
      EXPECT_EQ((*lines)[i], c.Lines[static_cast<size_t>(i)]);
    // The next line goes after it, not into it.
    EXPECT_EQ(lines->Add("next"), c.Index + 1);
    EXPECT_EQ((*lines)[c.Index + 1], "next");
  }
}

// ---- buttons ------------------------------------------------------------------------------

TEST(Buttons, CheckBoxClicksOnceForEachChangeFromUserOrCode) {
  TFormGuard g;
  auto* box = g.Add<TCheckBox>();
  int clicks = 0;
  box->SetOnClick(TNotifyEvent([&](TObject*) { ++clicks; }));
  g.Show();
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  box->SetChecked(false);
  box->SetChecked(false);  // unchanged: no click
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(Buttons, RadioButtonsOfOneParentAreExclusive) {
  TFormGuard g;
  auto* a = g.Add<TRadioButton>();
  auto* b = g.Add<TRadioButton>();
  g.Show();
  a->SetChecked(true);
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
}

TEST(Buttons, EnterAndEscapeReachTheDefaultAndCancelButtons) {
  TFormGuard g;
  auto* ok = g.Add<TButton>();
  auto* cancel = g.Add<TButton>();
  ok->SetDefault(true);
  cancel->SetCancel(true);
  std::vector<std::string> pressed;
  ok->SetOnClick(TNotifyEvent([&](TObject*) { pressed.push_back("ok"); }));
  cancel->SetOnClick(TNotifyEvent([&](TObject*) { pressed.push_back("cancel"); }));
  g.Show();
  g.Form->Perform(CM_DIALOGKEY, VK_RETURN, 0);
  g.Form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0);
  g.Form->Perform(CM_DIALOGKEY, VK_TAB, 0);
  EXPECT_EQ(pressed, (std::vector<std::string>{"ok", "cancel"}));
}

TEST(Buttons, SpeedButtonsOfAGroupStayDownOneAtATime) {
  TFormGuard g;
  auto* a = g.Add<TSpeedButton>();
  auto* b = g.Add<TSpeedButton>();
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  a->SetDown(true);
  b->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  b->SetDown(false);  // AllowAllUp is off: one stays down
  EXPECT_TRUE(b->Down());
  auto* plain = g.Add<TSpeedButton>();
  plain->SetDown(true);  // no group: never stays down
  EXPECT_FALSE(plain->Down());
}

TEST(Buttons, BitBtnClickSetsTheModalResultOfItsForm) {
  TFormGuard g;
  auto* btn = g.Add<TBitBtn>();
  btn->SetKind(bkCancel);
  g.Form->SetOnShow(TNotifyEvent([&](TObject*) { PostMessageA(btn->Handle(), BM_CLICK, 0, 0); }));
  EXPECT_EQ(g.Form->ShowModal(), mrCancel);
}

// ---- common controls ----------------------------------------------------------------------

TEST(CommonControls, StatusBarShowsItsPanels) {
  TFormGuard g;
  auto* bar = g.Add<TStatusBar>();
  bar->SetSizeGrip(false);
  for (int i = 0; i < 3; ++i) bar->Panels()->Add()->SetWidth(150);
  g.Show();
  bar->Panels()->Items(1)->SetText("Datei 2");
  HWND wnd = bar->Handle();
  EXPECT_EQ(SendMessageA(wnd, SB_GETPARTS, 0, 0), 3);
  char text[64] = {};
  SendMessageA(wnd, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Datei 2");
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_EQ(bar->Top() + bar->Height(), g.Form->ClientHeight());
}

TEST(CommonControls, ProgressBarAndUpDownKeepTheirRanges) {
  TFormGuard g;
  auto* bar = g.Add<TProgressBar>();
  auto* edit = g.Add<TEdit>();
  auto* updown = g.Add<TUpDown>();
  updown->SetMax(10000);
  updown->SetPosition(2);
  updown->SetAssociate(edit);
  g.Show();
  bar->SetMax(50);
  bar->SetPosition(80);
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(edit->Text(), "2");
  SendMessageA(updown->Handle(), UDM_SETPOS32, 0, 9999);
  EXPECT_EQ(updown->Position(), 9999);
}

TEST(CommonControls, ListViewShowsCaptionsAndSubItems) {
  TFormGuard g;
  auto* view = g.Add<TListView>();
  view->SetViewStyle(vsReport);
  view->SetShowColumnHeaders(false);
  view->Columns()->Add()->SetWidth(300);
  for (int i = 0; i < 3; ++i) view->Columns()->Add()->SetWidth(0);
  g.Show();
  TListItem* item = view->Items()->Add();
  item->SetCaption("Kestrava.exe");
  item->SubItems()->Add("http://example.invalid/k.exe");
  item->SubItems()->Add("Kestrava.exe");
  item->SetImageIndex(1);
  view->Items()->Add()->SetCaption("second");
  HWND wnd = view->Handle();
  EXPECT_EQ(SendMessageA(wnd, LVM_GETITEMCOUNT, 0, 0), 2);
  char text[128] = {};
  LVITEMA lv{};
  lv.iSubItem = 1;
  lv.pszText = text;
  lv.cchTextMax = sizeof(text);
  SendMessageA(wnd, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&lv));
  EXPECT_STREQ(text, "http://example.invalid/k.exe");
  view->SetItemIndex(1);
  EXPECT_EQ(view->ItemIndex(), 1);
  EXPECT_EQ(view->Selected(), view->Items()->Item(1));
  EXPECT_EQ(SendMessageA(wnd, LVM_GETCOLUMNWIDTH, 0, 0), 300);
}

TEST(CommonControls, TreeViewNodesSurviveANewWindow) {
  TFormGuard g;
  auto* tree = g.Add<TTreeView>();
  TTreeNode* root = tree->Items()->Add(nullptr, "C:\\");
  tree->Items()->AddChild(root, "Tools");
  tree->Items()->AddChild(root, "Temp");
  g.Show();
  EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 3);
  tree->SetSelected(root->Item(1));
  tree->SetShowLines(false);  // a new window
  Pump();
  EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(tree->Selected(), root->Item(1));
  EXPECT_EQ(tree->Items()->Count(), 3);
  EXPECT_EQ(tree->Items()->Item(2)->Text(), "Temp");
}

TEST(CommonControls, PageControlShowsOnlyTheActivePage) {
  TFormGuard g;
  auto* pages = g.Add<TPageControl>();
  pages->SetAlign(alClient);
  auto* about = new TTabSheet(g.Form);
  about->SetCaption("ABOUT");
  about->SetPageControl(pages);
  auto* help = new TTabSheet(g.Form);
  help->SetCaption("Anleitung");
  help->SetPageControl(pages);
  g.Show();
  EXPECT_EQ(pages->ActivePage(), about);
  EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_TRUE(IsWindowVisible(about->Handle()));
  pages->SetActivePageIndex(1);
  EXPECT_TRUE(IsWindowVisible(help->Handle()));
  EXPECT_FALSE(IsWindowVisible(about->Handle()));
  TRect display = pages->DisplayRect();
  EXPECT_EQ(help->BoundsRect(), display);
}

TEST(CommonControls, ToolBarButtonsBecomeWindowButtonsAndClick) {
  TFormGuard g;
  auto* bar = g.Add<TToolBar>();
  auto* sep = new TToolButton(g.Form);
  sep->SetStyle(tbsSeparator);
  sep->SetWidth(157);
  sep->SetParent(bar);
  auto* save = new TToolButton(g.Form);
  save->SetHint("Speichern");
  save->SetParent(bar);
  int clicks = 0;
  save->SetOnClick(TNotifyEvent([&](TObject*) { ++clicks; }));
  g.Show();
  SetForegroundWindow(g.Form->Handle());
  HWND wnd = bar->Handle();
  TCommandLog log(g.Form->Handle());
  EXPECT_EQ(SendMessageA(wnd, TB_BUTTONCOUNT, 0, 0), 2);
  RECT r{};
  SendMessageA(wnd, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.right - r.left, 157);
  // A click of the mouse on the button: the system bar presses it and sends its command.
  RECT button{};
  SendMessageA(wnd, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button));
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
  ktest::Click(ktest::CentreOf(button));
  EXPECT_TRUE(ktest::PumpUntil([&] { return clicks == 1; })) << "the click ran the handler";
  // It is the bar's own command that ran it: the button's id, from the bar's window.
  TBBUTTON pressed{};
  SendMessageA(wnd, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&pressed));
  EXPECT_EQ(pressed.idCommand, save->Command());
  ASSERT_EQ(log.Commands.size(), 1u);
  EXPECT_EQ(LOWORD(log.Commands[0].WParam), save->Command());
  EXPECT_EQ(log.Commands[0].LParam, reinterpret_cast<LPARAM>(wnd));
  // A disabled button and a disabled bar refuse the click. The release reaches the bar, or
  // the form under a disabled bar, so the test knows when each click has been handled.
  int releases = 0;
  const TMouseEvent released([&](TObject*, TMouseButton, TShiftState, int, int) { ++releases; });
  bar->SetOnMouseUp(released);
  g.Form->SetOnMouseUp(released);
  save->SetEnabled(false);
  ktest::Click(ktest::CentreOf(button));
  EXPECT_TRUE(ktest::PumpUntil([&] { return releases == 1; }));
  save->SetEnabled(true);
  bar->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(wnd));
  ktest::Click(ktest::CentreOf(button));
  EXPECT_TRUE(ktest::PumpUntil([&] { return releases == 2; }));
  bar->SetEnabled(true);
  ktest::Click(ktest::CentreOf(button));
  EXPECT_TRUE(ktest::PumpUntil([&] { return clicks == 2; }));
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(log.Commands.size(), 2u) << "the refused clicks sent no command";
}

TEST(CommonControls, ToolBarCustomDrawEventsPaintTheBarAndEachButton) {
  TFormGuard g;
  auto* bar = g.Add<TToolBar>();
  bar->SetEdgeBorders({});
  for (int i = 0; i < 2; ++i) (new TToolButton(g.Form))->SetParent(bar);
  std::vector<std::string> log;
  bar->SetOnAdvancedCustomDraw(
      TTBAdvancedCustomDrawEvent([&](TToolBar* b, const TRect& r, TCustomDrawStage stage, bool&) {
        if (stage != cdPrePaint) return;
        log.push_back("bar");
        b->Canvas()->Brush()->SetColor(clRed);
        b->Canvas()->FillRect(r);
      }));
  bar->SetOnAdvancedCustomDrawButton(
      TTBAdvancedCustomDrawBtnEvent([&](TToolBar*, TToolButton* button, TCustomDrawState,
                                        TCustomDrawStage stage, TTBCustomDrawFlags&, bool& def) {
        if (stage == cdPrePaint) log.push_back("button " + std::to_string(button->Index()));
        def = false;
      }));
  g.Show();
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "bar");
  EXPECT_NE(std::find(log.begin(), log.end(), "button 0"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "button 1"), log.end());
}

// ---- menus --------------------------------------------------------------------------------

namespace {
TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}
}  // namespace

TEST(Menus, MainMenuItemsRunTheirClicksByMouseAndShortcut) {
  TFormGuard g;
  auto* menu = new TMainMenu(g.Form);
  TMenuItem* file = AddItem(g.Form, menu->Items(), "Datei");
  TMenuItem* open = AddItem(g.Form, file, "Öffnen");
  AddItem(g.Form, file, "-");
  TMenuItem* quit = AddItem(g.Form, file, "Beenden");
  open->SetShortCut(ShortCut('O', {ssCtrl}));
  std::vector<std::string> clicked;
  open->SetOnClick(TNotifyEvent([&](TObject*) { clicked.push_back("open"); }));
  quit->SetOnClick(TNotifyEvent([&](TObject*) { clicked.push_back("quit"); }));
  g.Form->SetMenu(menu);
  g.Show();
  SetForegroundWindow(g.Form->Handle());
  HMENU bar = GetMenu(g.Form->Handle());
  ASSERT_TRUE(bar);
  TCommandLog log(g.Form->Handle());
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 3);
  // The mouse opens the menu and chooses an item: the system menu sends its command.
  ktest::TUserScript user;
  const bool played = user.Play([&](ktest::TUserScript& u) {
    RECT title{};
    u.OnProgram([&] { GetMenuItemRect(g.Form->Handle(), bar, 0, &title); });
    const int waits = u.MenuWaits();
    ktest::Click(ktest::CentreOf(title));
    u.WaitForWindow("the open menu", "#32768");
    u.WaitForMenuInput(waits);
    RECT item{};
    u.WaitUntil("the menu's items are placed", [&] {
      // The popup's own window places its items: no owner window is named.
      return GetMenuItemRect(nullptr, GetSubMenu(bar, 0), 2, &item) && item.bottom > 0;
    });
    ktest::Click(ktest::CentreOf(item));
    u.WaitUntil("the chosen item's handler", [&] { return !clicked.empty(); });
  });
  ASSERT_TRUE(played) << user.Failures();
  // The system menu posted the chosen item's command: its id, from a menu (no control).
  ASSERT_EQ(log.Commands.size(), 1u);
  EXPECT_EQ(log.Commands[0].WParam, MAKEWPARAM(quit->Command(), 0));
  EXPECT_EQ(log.Commands[0].LParam, 0);
  EXPECT_TRUE(g.Form->IsShortCut('O', {ssCtrl}));
  EXPECT_FALSE(g.Form->IsShortCut('O', {}));
  open->SetEnabled(false);
  EXPECT_FALSE(g.Form->IsShortCut('O', {ssCtrl}));
  EXPECT_EQ(clicked, (std::vector<std::string>{"quit", "open"}));
}

TEST(Menus, ChangingAnItemKeepsTheOpenSubmenuAndShowsTheChange) {
  TFormGuard g;
  auto* menu = new TMainMenu(g.Form);
  TMenuItem* lang = AddItem(g.Form, menu->Items(), "Sprache");
  TMenuItem* english = AddItem(g.Form, lang, "Englisch");
  g.Form->SetMenu(menu);
  g.Show();
  HMENU sub = GetSubMenu(GetMenu(g.Form->Handle()), 0);
  // A handler run while the submenu opens may change items (the translator does).
  english->SetCaption("English");
  english->SetEnabled(false);
  EXPECT_EQ(GetSubMenu(GetMenu(g.Form->Handle()), 0), sub);
  char text[64] = {};
  GetMenuStringA(sub, 0, text, sizeof(text), MF_BYPOSITION);
  EXPECT_STREQ(text, "English");
  EXPECT_TRUE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_GRAYED);
  AddItem(g.Form, lang, "Deutsch");  // a new item rebuilds
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(g.Form->Handle()), 0)), 2);
}

TEST(Menus, CommandIdsStayWithinSixteenBitsOverAProgramsLife) {
  TFormGuard g;
  auto* popup = new TPopupMenu(g.Form);
  TMenuItem* keep = AddItem(g.Form, popup->Items(), "keep");
  // Far more items than 16-bit ids come and go (a menu rebuilt again and again).
  for (int i = 0; i < 70000; ++i) delete new TMenuItem(nullptr);
  TMenuItem* fresh = AddItem(g.Form, popup->Items(), "fresh");
  EXPECT_LE(fresh->Command(), 0xFFFFu);
  EXPECT_NE(fresh->Command(), keep->Command());
  EXPECT_EQ(TMenuItem::FindByCommand(keep->Command()), keep);
  EXPECT_EQ(TMenuItem::FindByCommand(fresh->Command()), fresh);
}

TEST(Menus, CheckedRadioItemsOfAGroupAreExclusive) {
  TFormGuard g;
  auto* popup = new TPopupMenu(g.Form);
  std::vector<TMenuItem*> sizes;
  for (int px = 8; px <= 12; ++px) {
    std::string caption = "Font Size ";
    caption += std::to_string(px);
    caption += "px";
    TMenuItem* item = AddItem(g.Form, popup->Items(), caption);
    item->SetRadioItem(true);
    sizes.push_back(item);
  }
  sizes[1]->SetChecked(true);
  sizes[4]->SetChecked(true);
  EXPECT_FALSE(sizes[1]->Checked());
  EXPECT_TRUE(sizes[4]->Checked());
  MENUITEMINFOA mi{};
  mi.cbSize = sizeof(mi);
  mi.fMask = MIIM_STATE;
  GetMenuItemInfoA(popup->Handle(), 4, TRUE, &mi);
  EXPECT_TRUE(mi.fState & MFS_CHECKED);
}

TEST(Menus, OwnerDrawnItemsAreMeasuredByTheirHandler) {
  TFormGuard g;
  auto* popup = new TPopupMenu(g.Form);
  popup->SetOwnerDraw(true);
  TMenuItem* item = AddItem(g.Form, popup->Items(), "Kopieren");
  item->SetOnMeasureItem(TMenuMeasureItemEvent([](TObject*, TCanvas*, int& w, int& h) {
    w = 123;
    h = 27;
  }));
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_MENU;
  mis.itemID = item->Command();
  mis.itemData = item->Command();
  EXPECT_TRUE(TMenuItem::DispatchMeasure(&mis));
  EXPECT_EQ(mis.itemWidth, 123u);
  EXPECT_EQ(mis.itemHeight, 27u);
}

TEST(Menus, APopupItemChosenWithTheMouseRunsItsClick) {
  // Plain and owner-drawn popups alike: the system menu sends the chosen item's command.
  for (const bool ownerDraw : {false, true}) {
    TFormGuard g;
    g.Show();
    SetForegroundWindow(g.Form->Handle());
    auto* popup = new TPopupMenu(g.Form);
    popup->SetOwnerDraw(ownerDraw);
    TCommandLog log(g.Form->Handle());
    std::vector<std::string> clicked;
    for (const char* caption : {"Ausschneiden", "Kopieren", "-", "Suchen"}) {
      TMenuItem* item = AddItem(g.Form, popup->Items(), caption);
      if (ownerDraw)
        item->SetOnMeasureItem(TMenuMeasureItemEvent([](TObject*, TCanvas*, int& w, int& h) {
          w = 120;
          h = 20;
        }));
      item->SetOnClick(TNotifyEvent([&clicked, caption](TObject*) { clicked.push_back(caption); }));
    }
    ktest::TUserScript user;
    const bool played = user.Play([&](ktest::TUserScript& u) {
      const int waits = u.MenuWaits();
      u.Later([&] { popup->Popup(150, 150); });
      u.WaitForWindow("the popup", "#32768");
      u.WaitForMenuInput(waits);
      RECT item{};
      u.WaitUntil("the popup's items are placed", [&] {
        return GetMenuItemRect(nullptr, popup->Handle(), 3, &item) && item.bottom > 0;
      });
      ktest::Click(ktest::CentreOf(item));
      u.WaitUntil("the chosen item's handler", [&] { return !clicked.empty(); });
    });
    ASSERT_TRUE(played) << user.Failures();
    EXPECT_EQ(clicked, std::vector<std::string>{"Suchen"}) << "owner-drawn " << ownerDraw;
    // The menu hands the chosen command back to Popup instead of posting it, so the click
    // runs once, before Popup returns.
    EXPECT_TRUE(log.Commands.empty()) << "owner-drawn " << ownerDraw;
  }
}

// ---- dialogs and timers -------------------------------------------------------------------

TEST(Dialogs, FindDialogIsModelessAndReportsEachFindPress) {
  TFormGuard g;
  g.Show();
  auto* find = new TFindDialog(g.Form);
  find->SetOptions({frDown, frHideMatchCase, frHideUpDown, frDisableMatchCase, frDisableUpDown});
  std::vector<std::string> searched;
  find->SetOnFind(TNotifyEvent([&](TObject*) {
    searched.push_back(find->FindText());
    if (searched.size() == 2) find->CloseDialog();
  }));
  ASSERT_TRUE(find->Execute());  // returns at once
  HWND dlg = find->Handle();
  ASSERT_TRUE(IsWindow(dlg));
  SetDlgItemTextA(dlg, 0x480, "bc");
  for (int i = 0; i < 2; ++i) {
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
    Pump();
  }
  EXPECT_EQ(searched, (std::vector<std::string>{"bc", "bc"}));
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_EQ(find->Handle(), nullptr);
}

TEST(Dialogs, PlainMessageShowsTheTextUnderTheApplicationTitle) {
  ktest::TMessageBoxWatcher watcher;
  ShowMessage("Skin engine v7.2");
  auto seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Text, "Skin engine v7.2");
  EXPECT_EQ(seen[0].Caption, Application->Title());
}

TEST(Timers, TimerTicksInTheMessageLoopUntilDisabled) {
  TFormGuard g;
  auto* timer = new TTimer(g.Form);
  int ticks = 0;
  timer->SetInterval(20);
  timer->SetOnTimer(TNotifyEvent([&](TObject*) {
    if (++ticks == 3) timer->SetEnabled(false);
  }));
  DWORD start = GetTickCount();
  while (timer->Enabled() && GetTickCount() - start < 5000) Application->HandleMessage();
  EXPECT_EQ(ticks, 3);
}

// ---- mouse and published properties -------------------------------------------------------

TEST(MouseTracking, GraphicChildGetsEnterAndLeaveFromItsParentsMouseMoves) {
  TFormGuard g;
  auto* label = g.Add<TLabel>();
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 50, 20);
  std::vector<std::string> events;
  label->SetOnMouseEnter(TNotifyEvent([&](TObject*) { events.push_back("enter"); }));
  label->SetOnMouseLeave(TNotifyEvent([&](TObject*) { events.push_back("leave"); }));
  g.Show();
  SendMessageA(g.Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 15));
  SendMessageA(g.Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(25, 15));
  SendMessageA(g.Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
  EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
}

namespace {
struct TFoundHint {
  HWND Window = nullptr;
};
BOOL CALLBACK FindHintWindow(HWND w, LPARAM lp) {
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof(cls));
  if (IsWindowVisible(w) && std::string(cls) == "THintWindow")
    reinterpret_cast<TFoundHint*>(lp)->Window = w;
  return TRUE;
}
// The visible hint window of this thread once one shows, or nullptr after `timeoutMs`.
HWND WaitForHintWindow(DWORD timeoutMs) {
  TFoundHint found;
  ktest::PumpUntil(
      [&] {
        found.Window = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindHintWindow, reinterpret_cast<LPARAM>(&found));
        return found.Window != nullptr;
      },
      timeoutMs);
  return found.Window;
}
POINT MiddleOnScreen(TControl* c) {
  const TPoint p = c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
  return POINT{p.X, p.Y};
}
}  // namespace

// The real pointer moves through the input queue: the hint follows where it is, wherever an
// earlier program left it.
TEST(MouseTracking, HintOfTheControlUnderTheMouseShowsInAHintWindow) {
  TFormGuard g;
  g.Form->SetShowHint(true);
  auto* label = g.Add<TLabel>();
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 50, 20);
  label->SetHint("Schriftart");
  auto* quiet = g.Add<TLabel>();
  quiet->SetAutoSize(false);
  quiet->SetBounds(100, 10, 50, 20);
  quiet->SetHint("never shown");
  quiet->SetShowHint(false);
  Application->SetHintPause(10);
  // The hint follows the real pointer too: a pointer left over a label by an earlier test
  // would show a hint where none is expected.
  ktest::ParkPointer();
  g.Show();
  ASSERT_TRUE(ktest::MovePointerTo(MiddleOnScreen(label)));
  HWND hint = WaitForHintWindow(10000);
  ASSERT_TRUE(hint);
  EXPECT_EQ(WindowText(hint), "Schriftart");
  EXPECT_EQ(Application->Hint(), "Schriftart");
  // The whole line fits inside the border, descenders included: one pixel is kept above
  // and below the text in the hint window's font.
  RECT client{};
  GetClientRect(hint, &client);
  {
    THintWindow like(nullptr);
    HDC dc = GetDC(hint);
    TEXTMETRICA tm{};
    HGDIOBJ old = SelectObject(dc, FontHandle(like.Font()));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hint, dc);
    EXPECT_GE(client.bottom - client.top, tm.tmHeight + 2);
  }
  ASSERT_TRUE(ktest::MovePointerTo(MiddleOnScreen(quiet)));
  EXPECT_EQ(Application->Hint(), "never shown");
  EXPECT_FALSE(IsWindowVisible(hint));
  // A hundred times the hint pause: a hint that should not come would be there by then.
  EXPECT_FALSE(WaitForHintWindow(1000));
  Application->SetHintPause(500);
}

TEST(PublishedProperties, ControlsAreReadAndWrittenByName) {
  TFormGuard g;
  auto* button = g.Add<TButton>();
  auto* box = g.Add<TCheckBox>();
  auto* label = g.Add<TLabel>();
  auto* bar = g.Add<TStatusBar>();
  g.Show();
  SetPropValue(button, "Caption", "Starten");
  EXPECT_EQ(WindowText(button->Handle()), "Starten");
  SetPropValue(box, "Checked", "True");
  EXPECT_TRUE(box->Checked());
  SetPropValue(label, "Font.Name", "Courier New");
  EXPECT_EQ(label->Font()->Name(), "Courier New");
  SetPropValue(g.Form, "Caption", "Kestrava 1.2");
  EXPECT_EQ(WindowText(g.Form->Handle()), "Kestrava 1.2");
  EXPECT_EQ(GetPropValue(button, "Visible"), "True");
  EXPECT_EQ(GetPropValue(g.Form, "BorderStyle"), "bsSizeable");
  EXPECT_NE(GetObjectProp(bar, "Panels"), nullptr);
}
