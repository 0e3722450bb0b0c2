// The handlers of what the other adapters do not reach, under Wine with a skin made in code:
// a foreign drop-down control that shows its list in a list box of its own, a foreign speed
// button (no window: its window method is taken), and the windows of popup menus. Each is
// attached, paints from the skin, still does its job through real input, and lets go again,
// giving back the method or procedure it replaced.
#include <gtest/gtest.h>

#include "framework/ButtonsWin32.h"
#include "framework/ExtCtrlsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/adapters/skCtrlAdapterWin32.h"
#include "skin/adapters/skMnuWndWin32.h"
#include "skin/adapters/skSpeedButtonHandlerWin32.h"
#include "skin/adapters/skWWComboBoxWndWin32.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/forms/sFormServicesWin32.h"
#include "tests/skin/adapters/EditTestSkinWin32.h"

namespace {

using namespace edittest;

constexpr COLORREF kSpeed = 0x2080E0;     // SPEEDBUTTON
constexpr COLORREF kSpeedHot = 0x104070;  // SPEEDBUTTON hot and pressed
constexpr COLORREF kMenu = 0x60C060;      // MAINMENU: the popup's frame and background
constexpr COLORREF kMenuItem = 0xE0E0A0;  // MENUITEM

// A foreign drop-down control that shows its list in a list box control of its own.
class TLookupBox : public TPanel {
  K_CLASS(TLookupBox, TPanel)
  explicit TLookupBox(TComponent* owner) : TPanel(owner) {}
};

// A foreign speed button.
class TToolSpeedButton : public TSpeedButton {
  K_CLASS(TToolSpeedButton, TSpeedButton)
  explicit TToolSpeedButton(TComponent* owner) : TSpeedButton(owner) {}
};

// The window procedure a window runs now.
LONG_PTR WindowProcedure(HWND wnd) { return GetWindowLongPtrA(wnd, GWLP_WNDPROC); }

struct Handlers : EditAdapters {
  static void SetUpTestSuite() {
    EditAdapters::SetUpTestSuite();
    InitSkinRuntime();
    InstallFormServices();
    InstallControlAdapters();
    InstallMenuAdapters();
  }
  static void TearDownTestSuite() {
    RemoveMenuAdapters();
    SetControlAdapterFactory(nullptr);
    RemoveFormServices();
  }
  void SetUp() override {
    EditAdapters::SetUp();
    ktest::TTestSkinBuilder skin = Builder();
    skin.SolidSection("FORM", 12632256);
    skin.SolidSection("SPEEDBUTTON", kSpeed, 3)
        .ColorKey("HOTCOLOR", kSpeedHot)
        .Key("HOTTRANSPARENCY", "0");
    skin.SolidSection("MAINMENU", kMenu);
    skin.SolidSection("MENUITEM", kMenuItem, 3)
        .ColorKey("HOTCOLOR", kSpeedHot)
        .Key("HOTTRANSPARENCY", "0");
    skin.AddTo(f, "Handlers");
    // The runtime first: the skin's coming installs the window-creation hook.
    InstallSkinRuntime(*f.Manager);
    f.Manager->SetSkinName("Handlers");
    ASSERT_EQ(f.Manager->LastLoadError(), "");
    ThirdPartyList& third = *f.Manager->ThirdParty();
    third.Texts[tpWWEdits] = "TLookupBox";
    third.Texts[tpSpeedButton] = "TToolSpeedButton";
    f.Manager->ReadThirdParty(false);
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    ktest::Pump();
  }
  template <class T>
  T* Add(TWinControl* parent, int left, int top, int width, int height) {
    auto* c = new T(form.Form);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
  }
  TsSkinProvider* MakeProvider() {
    auto* provider = new TsSkinProvider(form.Form);
    provider->SkinData()->SetSkinManager(f.Manager.get());
    provider->InitFormSkin();
    return provider;
  }
  void ShowAndSettle() {
    form.Show();
    SetForegroundWindow(form.Form->Handle());
    Settle(form.Form->Handle(), 200);
  }
  TskCtrlAdapter* ControlAdapterOf(TsSkinProvider* provider) {
    return static_cast<TskCtrlAdapter*>(provider->ControlAdapter());
  }
  // A point of a control in the form's client area, on the screen.
  POINT ScreenAt(TControl* c, int x, int y) {
    POINT p{c->Left() + x, c->Top() + y};
    ClientToScreen(c->Parent()->Handle(), &p);
    return p;
  }
};

// ---- the foreign drop-down control ------------------------------------------------------------

TEST(WWComboBox, AFrameworkComboBoxShowsAButtonOnlyAsADropDownAnyOtherControlAlways) {
  Application->Initialize();
  const struct {
    TComboBoxStyle Style;
    bool Button;
  } cases[] = {{csDropDown, true},
               {csDropDownList, true},
               {csSimple, false},
               {csOwnerDrawFixed, false},
               {csOwnerDrawVariable, false}};
  for (const auto& c : cases) {
    TComboBox combo(nullptr);
    combo.SetStyle(c.Style);
    EXPECT_EQ(TskWWComboBoxWnd::ControlShowsButton(&combo), c.Button) << c.Style;
  }
  TPanel panel(nullptr);
  EXPECT_TRUE(TskWWComboBoxWnd::ControlShowsButton(&panel));
}

TEST_F(Handlers, AForeignDropDownPaintsFromTheSkinAndItsOwnListBoxIsAdaptedAndSelects) {
  auto* box = Add<TLookupBox>(form.Form, 10, 10, 200, 120);
  box->HandleNeeded();
  const TWndMethod ownMethod = box->WindowProc();
  const LONG_PTR ownProcedure = WindowProcedure(box->Handle());
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  auto* adapter = dynamic_cast<TskWWComboBoxWnd*>(GetWindowAdapter(box->Handle()));
  ASSERT_NE(adapter, nullptr);
  EXPECT_TRUE(adapter->HasButton());

  // The button stands at the right as wide as a scroll bar, in the skin's button colour.
  const TRect button = adapter->GetButtonRect();
  EXPECT_EQ(button.Width(), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(button.Right, box->Width() - 2);
  InvalidateRect(box->Handle(), nullptr, TRUE);
  Settle(form.Form->Handle(), 100);
  EXPECT_EQ(WindowPixel(box->Handle(), button.Left + 1, button.Top + 2), kButton);

  // The control makes its list box: the list box gets an edit adapter of its own.
  auto* list = new TListBox(form.Form);
  list->SetParent(box);
  list->SetBounds(4, 4, 150, 100);
  for (const char* item : {"alpha", "beta", "gamma"}) list->Items()->Add(item);
  list->HandleNeeded();
  Settle(form.Form->Handle(), 100);
  ASSERT_EQ(adapter->ChildList(), list);
  ASSERT_NE(adapter->ChildListAdapter(), nullptr);
  EXPECT_EQ(GetWindowAdapter(list->Handle()), adapter->ChildListAdapter());
  EXPECT_EQ(adapter->ChildListSkinData()->SkinSection(), "EDIT");
  EXPECT_EQ(WindowPixel(list->Handle(), 0, 0), kBorder);
  ktest::SaveScreenshot(form.Form->Handle(), "foreign-drop-down");

  // A click on an item of the adapted list selects it.
  const int itemHeight = static_cast<int>(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0));
  RECT second{};
  SendMessageA(list->Handle(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  POINT at{(second.left + second.right) / 2, second.top + itemHeight / 2};
  ClientToScreen(list->Handle(), &at);
  ktest::Click(at);
  EXPECT_TRUE(PumpUntil([&] { return list->ItemIndex() == 1; })) << list->ItemIndex();

  // The list box goes: its adapter and skin data go with it; a new one is adapted afresh.
  delete list;
  Settle(form.Form->Handle(), 50);
  EXPECT_EQ(adapter->ChildList(), nullptr);
  EXPECT_EQ(adapter->ChildListAdapter(), nullptr);
  EXPECT_EQ(adapter->ChildListSkinData(), nullptr);
  auto* again = new TListBox(form.Form);
  again->SetParent(box);
  again->SetBounds(4, 4, 150, 100);
  again->HandleNeeded();
  Settle(form.Form->Handle(), 50);
  EXPECT_EQ(adapter->ChildList(), again);
  EXPECT_EQ(GetWindowAdapter(again->Handle()), adapter->ChildListAdapter());

  // The skin goes: both let go, and the control runs its own method and procedure again.
  f.Manager->SetActive(false);
  Settle(form.Form->Handle(), 100);
  EXPECT_EQ(GetWindowAdapter(box->Handle()), nullptr);
  EXPECT_EQ(GetWindowAdapter(again->Handle()), nullptr);
  EXPECT_TRUE(box->WindowProc() == ownMethod);
  EXPECT_EQ(WindowProcedure(box->Handle()), ownProcedure);
  delete provider;
}

// ---- the foreign speed button -----------------------------------------------------------------

TEST_F(Handlers, AForeignSpeedButtonPaintsFromTheSkinTakesAClickAndGetsItsMethodBack) {
  auto* button = Add<TToolSpeedButton>(form.Form, 20, 150, 80, 30);
  button->SetCaption("Go");
  int clicks = 0;
  button->SetOnClick([&](TObject*) { ++clicks; });
  const TWndMethod ownMethod = button->WindowProc();
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  TskGraphItem* item = ControlAdapterOf(provider)->FindGraphItem(button);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->Handler()->Hooked());
  EXPECT_EQ(item->ItemSkinData().SkinSection(), "SPEEDBUTTON");
  EXPECT_EQ(PerformSkinCmd(button, CmdIsSkinned, 0), 1);
  button->Invalidate();
  Settle(form.Form->Handle(), 100);
  EXPECT_EQ(ktest::ClientPixel(form.Form->Handle(), 30, 155), kSpeed);
  ktest::SaveScreenshot(form.Form->Handle(), "foreign-speed-button");

  // Hot under the mouse; the click still reaches the button.
  ktest::MoveMouse(ScreenAt(button, 10, 5));
  EXPECT_TRUE(PumpUntil([&] {
    button->Invalidate();
    return ktest::ClientPixel(form.Form->Handle(), 30, 155) == kSpeedHot;
  })) << std::hex
      << ktest::ClientPixel(form.Form->Handle(), 30, 155);
  ktest::Click(ScreenAt(button, 40, 15));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));

  // The skin goes: the button's own method and painting come back.
  f.Manager->SetActive(false);
  Settle(form.Form->Handle(), 100);
  EXPECT_TRUE(button->WindowProc() == ownMethod);
  EXPECT_EQ(PerformSkinCmd(button, CmdIsSkinned, 0), 0);
  EXPECT_NE(ktest::ClientPixel(form.Form->Handle(), 30, 155), kSpeed);
  delete provider;
}

TEST_F(Handlers, ASpeedButtonHandlerFreedFirstGivesTheMethodBackAndAButtonFreedFirstIsForgotten) {
  auto* kept = Add<TToolSpeedButton>(form.Form, 20, 150, 80, 30);
  auto* freed = Add<TToolSpeedButton>(form.Form, 120, 150, 80, 30);
  const TWndMethod ownMethod = kept->WindowProc();
  TsSkinProvider* provider = MakeProvider();
  ShowAndSettle();
  TskCtrlAdapter* adapter = ControlAdapterOf(provider);
  ASSERT_EQ(adapter->GraphItemCount(), 2);
  TskGraphItem* item = adapter->FindGraphItem(freed);
  ASSERT_NE(item, nullptr);
  delete freed;
  EXPECT_EQ(item->Control(), nullptr);
  adapter->RemoveDeadItems();
  EXPECT_EQ(adapter->GraphItemCount(), 1);

  // The provider goes with the skin still on: the handler gives the method back as it goes.
  delete provider;
  EXPECT_TRUE(kept->WindowProc() == ownMethod);
  EXPECT_EQ(PerformSkinCmd(kept, CmdIsSkinned, 0), 0);
  // A paint without a device context reaches nobody and paints nothing.
  EXPECT_EQ(kept->Perform(WM_PAINT, 0, 0), 0);
}

// ---- popup menu windows -----------------------------------------------------------------------

struct PopupMenus : Handlers {
  void SetUp() override {
    Handlers::SetUp();
    f.Manager->SetSkinnedPopups(true);
    menu = new TPopupMenu(form.Form);
    for (int i = 0; i < 3; ++i) {
      auto* item = new TMenuItem(menu);
      item->SetCaption("Item " + std::to_string(i));
      item->SetOnClick([this, i](TObject*) { chosen = i; });
      menu->Items()->Add(item);
    }
    auto* sub = new TMenuItem(menu);
    sub->SetCaption("More");
    auto* inner = new TMenuItem(menu);
    inner->SetCaption("Inner");
    inner->SetOnClick([this](TObject*) { chosen = 10; });
    sub->Add(inner);
    menu->Items()->Add(sub);
    SkinableMenusOf(*f.Manager).InitPopupMenu(menu, true);
    ShowAndSettle();
  }
  // Opens the menu from the user's script and waits until its loop takes input.
  HWND Open(ktest::TUserScript& u) {
    const int waits = u.MenuWaits();
    u.Later([this] { menu->Popup(form.Form->Left() + 40, form.Form->Top() + 40); });
    HWND wnd = u.WaitForWindow("the popup menu", "#32768");
    u.WaitForMenuInput(waits);
    return wnd;
  }
  int LiveMenuAdapters() {
    int n = 0;
    for (const auto& a : MenuAdapters())
      if (a && !a->Detached()) ++n;
    return n;
  }
  TPopupMenu* menu = nullptr;
  int chosen = -1;
};

TEST_F(PopupMenus, APopupMenuWindowIsFramedFromTheSkinAndTakesKeysAndClicks) {
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    HWND wnd = Open(u);
    u.WaitUntil("the popup's adapter", [&] {
      return dynamic_cast<TskMnuWnd*>(GetWindowAdapter(wnd)) != nullptr && SkinnedMenuShowing;
    });
    // The frame's left edge and the background below the last item show MAINMENU.
    u.WaitUntil("the skinned frame", [&] {
      RECT r;
      GetWindowRect(wnd, &r);
      return WindowPixel(wnd, 1, (r.bottom - r.top) / 2) == kMenu;
    });
    u.OnProgram([&] { ktest::SaveScreenshot(wnd, "skinned-popup-menu"); });
    // Down twice and Enter choose the second item.
    ktest::PressKey(VK_DOWN);
    ktest::PressKey(VK_DOWN);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the popup menu", wnd);
  })) << user.Failures();
  EXPECT_TRUE(PumpUntil([&] { return chosen == 1; })) << chosen;
  // The last menu gone: every menu adapter freed, no skinned menu showing.
  EXPECT_TRUE(MenuAdapters().empty());
  EXPECT_FALSE(SkinnedMenuShowing);

  chosen = -1;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    HWND wnd = Open(u);
    RECT item{};
    u.Expect(
        u.Read<bool>([&] { return GetMenuItemRect(nullptr, menu->Handle(), 2, &item) != FALSE; }),
        "the third item's place");
    ktest::Click(ktest::CentreOf(item));
    u.WaitUntilGone("the popup menu", wnd);
  })) << user.Failures();
  EXPECT_TRUE(PumpUntil([&] { return chosen == 2; })) << chosen;
  EXPECT_TRUE(MenuAdapters().empty());
}

TEST_F(PopupMenus, ClosingASubmenuKeepsTheParentsAdapterAndTheLastMenuFreesThemAll) {
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    HWND wnd = Open(u);
    // Up wraps to the submenu's item; Right opens it.
    ktest::PressKey(VK_UP);
    ktest::PressKey(VK_RIGHT);
    u.WaitUntil("two menu adapters", [&] { return LiveMenuAdapters() == 2; });
    // Left closes the submenu only.
    ktest::PressKey(VK_LEFT);
    u.WaitUntil("the submenu gone", [&] {
      return ktest::VisibleWindowsOfClass(u.ProgramThread(), "#32768").size() == 1;
    });
    u.WaitUntil("the parent keeps its adapter",
                [&] { return LiveMenuAdapters() == 1 && GetWindowAdapter(wnd) != nullptr; });
    ktest::PressKey(VK_ESCAPE);
    u.WaitUntilGone("the popup menu", wnd);
  })) << user.Failures();
  EXPECT_TRUE(MenuAdapters().empty());
  EXPECT_FALSE(SkinnedMenuShowing);
  EXPECT_EQ(chosen, -1);
}

TEST_F(PopupMenus, WithoutSkinnedPopupsAMenuWindowGetsNoAdapter) {
  f.Manager->SetSkinnedPopups(false);
  ktest::TUserScript user;
  ASSERT_TRUE(user.Play([&](ktest::TUserScript& u) {
    HWND wnd = Open(u);
    u.Expect(u.Read<bool>([&] { return GetWindowAdapter(wnd) == nullptr; }), "no adapter");
    ktest::PressKey(VK_ESCAPE);
    u.WaitUntilGone("the popup menu", wnd);
  })) << user.Failures();
  EXPECT_TRUE(MenuAdapters().empty());
}

}  // namespace
