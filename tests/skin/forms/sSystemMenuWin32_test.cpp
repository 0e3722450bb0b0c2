// The skinned system menu of a form under Wine: built from the window's own system menu with
// the program's entries between maximize and close, opened skinned by Alt+Space, by a click on
// the title icon and by a right click on the title, its Close item closing the form, its items
// following the form's state, and the skin chooser.
#include "skin/forms/sSystemMenuWin32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/core/runtime/sSkinMenusWin32.h"
#include "tests/skin/forms/SkinnedFormFixtureWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using ktest::TUserScript;
using skintest::SkinnedForm;

std::vector<std::string> ItemNames(TMenuItem* root) {
  std::vector<std::string> names;
  for (int i = 0; i < root->Count(); ++i)
    names.push_back(root->Items(i)->IsLine() ? "-" : root->Items(i)->Name());
  return names;
}

// The open menu's first item is owner-drawn: the skin paints it.
bool OwnerDrawn(TsSystemMenu* menu) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  return GetMenuItemInfoA(menu->Handle(), 0, TRUE, &info) && (info.fType & MFT_OWNERDRAW);
}

TEST_F(SkinnedForm, AltSpaceOpensTheSkinnedSystemMenuAndItsCloseItemCloses) {
  TsSkinProvider* p = ShowSkinned();
  TsSystemMenu* menu = p->SystemMenu();
  ASSERT_NE(menu, nullptr);
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    const int waits = u.MenuWaits();
    ktest::PressKeys({VK_MENU}, VK_SPACE);
    HWND popup = u.WaitForWindow("the system menu", "#32768");
    u.WaitForMenuInput(waits);
    u.Expect(u.Read<bool>([&] { return OwnerDrawn(menu); }), "the menu is drawn by the skin");
    // It opens below the title icon, at the window's left.
    RECT at{}, window{};
    GetWindowRect(popup, &at);
    u.OnProgram([&] { GetWindowRect(Wnd(), &window); });
    u.Expect(at.left >= window.left && at.left < window.left + 40, "the menu is at the left");
    u.Expect(at.top > window.top && at.top < window.top + 60, "the menu is below the title");
    u.OnProgram([&] { ktest::SaveScreenshot(Wnd(), "system_menu_form"); });
    // Up from nothing selected is the last item: Close.
    ktest::PressKey(VK_UP);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the system menu", popup);
  });
  EXPECT_TRUE(played) << user.Failures();
  EXPECT_TRUE(ktest::PumpUntil([&] { return !IsWindowVisible(Wnd()); }));
}

// Without skinned menus the system's own menu opens, with the items the form allows: a normal
// form cannot be restored, every other item works, and its Close item closes.
TEST_F(SkinnedForm, WithoutSkinnedMenusAltSpaceOpensTheSystemsOwnMenu) {
  fixture.Manager->SetSkinnedPopups(false);
  ShowSkinned();
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    const int waits = u.MenuWaits();
    ktest::PressKeys({VK_MENU}, VK_SPACE);
    HWND popup = u.WaitForWindow("the system's own menu", "#32768");
    u.WaitForMenuInput(waits);
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    u.Expect(menu != nullptr, "the open menu is known");
    auto grayed = [&](UINT command) {
      return (GetMenuState(menu, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
    };
    u.Expect(grayed(SC_RESTORE), "restore is off for a normal form");
    for (UINT command : {SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
      u.Expect(!grayed(command), "the form's other items are on");
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    u.Expect(GetMenuItemInfoA(menu, SC_CLOSE, FALSE, &info) && !(info.fType & MFT_OWNERDRAW),
             "the system draws its own menu");
    // Down to Close by its place: the system may add items of its own below it.
    int steps = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) continue;
      ++steps;
      if (GetMenuItemID(menu, i) == SC_CLOSE) break;
    }
    for (int i = 0; i < steps; ++i) ktest::PressKey(VK_DOWN);
    ktest::PressKey(VK_RETURN);
    u.WaitUntilGone("the system's own menu", popup);
  });
  EXPECT_TRUE(played) << user.Failures();
  EXPECT_TRUE(ktest::PumpUntil([&] { return !IsWindowVisible(Wnd()); }));
}

TEST_F(SkinnedForm, AltF4StillClosesTheSkinnedForm) {
  ShowSkinned();
  // The system's own system menu is off while the skin draws the title; its shortcut is not.
  ASSERT_EQ(GetWindowLongPtrA(Wnd(), GWL_STYLE) & WS_SYSMENU, 0);
  ktest::PressKeys({VK_MENU}, VK_F4);
  EXPECT_TRUE(ktest::PumpUntil([&] { return !IsWindowVisible(Wnd()); }));
}

TEST_F(SkinnedForm, TheIconARightClickAndTheTaskBarOpenTheSystemMenu) {
  TsSkinProvider* p = ShowSkinned();
  RECT window;
  GetWindowRect(Wnd(), &window);
  const TRect icon = p->GetIconRect(p->FormFacts());
  const POINT iconCentre{window.left + (icon.Left + icon.Right) / 2,
                         window.top + (icon.Top + icon.Bottom) / 2};
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    // The icon, a right click on the title, and the task bar's request for the window menu.
    for (int round = 0; round < 3; ++round) {
      const int waits = u.MenuWaits();
      if (round == 0)
        ktest::Click(iconCentre);
      else if (round == 1)
        ktest::RightClick(TitleMiddle());
      else
        u.Later([&] { PostMessageA(Wnd(), 0x0313, 0, 0); });
      HWND popup = u.WaitForWindow("the system menu", "#32768");
      u.WaitForMenuInput(waits);
      RECT at{};
      GetWindowRect(popup, &at);
      if (round == 1)
        u.Expect(at.left == TitleMiddle().x && at.top == TitleMiddle().y,
                 "a right click opens the menu at the mouse");
      ktest::PressKey(VK_ESCAPE);
      u.WaitUntilGone("the system menu", popup);
    }
  });
  EXPECT_TRUE(played) << user.Failures();
  EXPECT_TRUE(IsWindowVisible(Wnd()));
}

TEST_F(SkinnedForm, TheProgramsOwnEntriesStandBeforeCloseAndPostTheirCommand) {
  form.Form->HandleNeeded();
  constexpr UINT kOwnCommand = 0x0120;
  HMENU system = GetSystemMenu(Wnd(), FALSE);
  ASSERT_NE(system, nullptr);
  AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(system, MF_STRING, kOwnCommand, "&Always on top\tCtrl+T");
  TsSkinProvider* p = ShowSkinned();
  TsSystemMenu* menu = p->SystemMenu();
  menu->UpdateItems(true);
  EXPECT_EQ(ItemNames(menu->Items()), (std::vector<std::string>{"skIR", "skIM", "skIS", "skIN",
                                                                "skIX", "-", "", "-", "skIC"}));
  EXPECT_EQ(menu->CustomCount(), 1);
  TMenuItem* own = menu->Items()->Items(6);
  EXPECT_EQ(own->Caption(), "&Always on top");
  EXPECT_EQ(own->ShortCut(), TextToShortCut("Ctrl+T"));
  // Its command arrives as the system would send it: posted.
  UINT received = 0;
  TWndMethod saved = form.Form->WindowProc();
  form.Form->SetWindowProc(TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == kOwnCommand) received = kOwnCommand;
    saved(m);
  }));
  own->Click();
  EXPECT_EQ(received, 0u) << "the command came before the menu returned";
  EXPECT_TRUE(ktest::PumpUntil([&] { return received == kOwnCommand; }));
  form.Form->SetWindowProc(saved);
}

TEST_F(SkinnedForm, TheMenusItemsFollowTheFormsState) {
  TsSkinProvider* p = ShowSkinned();
  TsSystemMenu* menu = p->SystemMenu();
  auto item = [&](const char* name) {
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (menu->Items()->Items(i)->Name() == name) return menu->Items()->Items(i);
    return static_cast<TMenuItem*>(nullptr);
  };
  menu->UpdateItems(false);
  EXPECT_FALSE(item("skIR")->Enabled());
  EXPECT_TRUE(item("skIX")->Enabled());
  EXPECT_TRUE(item("skIS")->Enabled());
  ShowWindow(Wnd(), SW_MAXIMIZE);
  ktest::Settle(Wnd(), 200);
  menu->UpdateItems(false);
  EXPECT_TRUE(item("skIR")->Enabled());
  EXPECT_FALSE(item("skIX")->Enabled());
  EXPECT_FALSE(item("skIM")->Enabled());
  EXPECT_FALSE(item("skIS")->Enabled());
  ShowWindow(Wnd(), SW_RESTORE);
  ktest::Settle(Wnd(), 200);
  // A dialog's menu: close only, with move.
  form.Form->SetBorderStyle(bsDialog);
  ktest::Settle(Wnd(), 200);
  menu->UpdateItems(true);
  EXPECT_TRUE(item("skIC")->Visible());
  EXPECT_TRUE(item("skIM")->Visible());
  for (const char* hidden : {"skIR", "skIS", "skIN", "skIX"})
    EXPECT_FALSE(item(hidden)->Visible()) << hidden;
  EXPECT_EQ(p->TitleButtonRect(HTMAXBUTTON), TRect{});
  EXPECT_GT(p->TitleButtonRect(HTCLOSE).Width(), 0);
}

TEST_F(SkinnedForm, TheSkinChooserListsTheSkinsAndSwitchesToThePickedOne) {
  skintest::AddSkinFolder(fixture.Fs, "Office12Style", "C:\\App\\Skins\\Office12Style");
  TsSkinProvider* p = ShowSkinned();
  p->SetMakeSkinMenu(true);
  TsSystemMenu* menu = p->SystemMenu();
  TUserScript user;
  const bool played = user.Play([&](TUserScript& u) {
    const int waits = u.MenuWaits();
    ktest::PressKeys({VK_MENU}, VK_SPACE);
    HWND popup = u.WaitForWindow("the system menu", "#32768");
    u.WaitForMenuInput(waits);
    ktest::PressKey(VK_ESCAPE);
    u.WaitUntilGone("the system menu", popup);
  });
  ASSERT_TRUE(played) << user.Failures();
  TMenuItem* chooser = menu->Items()->Items(0);
  ASSERT_EQ(chooser->Name(), "SkinSelectItem");
  EXPECT_TRUE(menu->Items()->Items(1)->IsLine());
  std::vector<std::string> names;
  TMenuItem* office = nullptr;
  for (int i = 0; i < chooser->Count(); ++i) {
    names.push_back(chooser->Items(i)->Caption());
    EXPECT_EQ(chooser->Items(i)->Checked(), chooser->Items(i)->Caption() == "Full");
    if (chooser->Items(i)->Caption() == "Office12Style") office = chooser->Items(i);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Full", "Office12Style"}));
  ASSERT_NE(office, nullptr);
  office->Click();
  EXPECT_EQ(fixture.Manager->SkinName(), "Office12Style");
}

TEST_F(SkinnedForm, MoreThanTwentySkinsBreakIntoColumnsOfTwenty) {
  for (int i = 0; i < 22; ++i)
    skintest::AddSkinFolder(fixture.Fs, "Full", "C:\\App\\Skins\\Skin " + std::to_string(10 + i));
  TsSkinProvider* p = ShowSkinned();
  TsSystemMenu* menu = p->SystemMenu();
  menu->AddSkinItems();
  TMenuItem* chooser = menu->Items()->Items(0);
  ASSERT_EQ(chooser->Name(), "SkinSelectItem");
  ASSERT_EQ(chooser->Count(), 23);
  for (int i = 0; i < chooser->Count(); ++i)
    EXPECT_EQ(chooser->Items(i)->Break(), i == 20) << chooser->Items(i)->Caption();
}

}  // namespace
