// The edit, list box and combo box adapters under Wine on real controls of a form: the border
// in the skin's border colour, the control in its section's colours, the bars skinned, the
// combo box's face and button from the skin, its list opened by a real click and adopted too,
// and the standard look back once the adapters let go.
#include "skin/adapters/skEditWndWin32.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/StdCtrlsWin32.h"
#include "skin/adapters/skComboBoxWndWin32.h"
#include "skin/adapters/skComboListWndWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/skin/adapters/EditTestSkinWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/FormGuardWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

using namespace edittest;
using ktest::PumpUntil;
using ktest::Settle;
using ktest::WindowPixel;

TEST_F(EditAdapters, EditsAndListsShowTheSectionAndGiveTheStandardLookBack) {
  auto* edit = form.Add<TEdit>();
  edit->SetBounds(10, 10, 120, 24);
  auto* memo = form.Add<TMemo>();
  memo->SetBounds(10, 50, 160, 90);
  memo->SetScrollBars(ssVertical);
  for (int i = 0; i < 30; ++i) memo->Lines()->Add("line");
  auto* list = form.Add<TListBox>();
  list->SetBounds(200, 10, 150, 120);
  for (int i = 0; i < 40; ++i) list->Items()->Add("item " + std::to_string(i));
  form.Show();
  struct TCase {
    TWinControl* Control;
    bool HasBar;
  };
  const TCase cases[] = {{edit, false}, {memo, true}, {list, true}};
  std::vector<std::unique_ptr<TskEditWnd>> adapters;
  for (const TCase& c : cases) adapters.push_back(Adopt<TskEditWnd>(c.Control, ""));
  Settle(form.Form->Handle());
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TCase& c = cases[i];
    SCOPED_TRACE(c.Control->ClassName());
    HWND wnd = c.Control->Handle();
    TskEditWnd& adapter = *adapters[i];
    EXPECT_EQ(adapter.CommonData()->SkinSection(), "EDIT") << "an empty section is EDIT";
    EXPECT_EQ(c.Control->Color(), static_cast<TColor>(kEditFace));
    EXPECT_EQ(c.Control->Font()->Color(), static_cast<TColor>(kFont));
    RECT wr{};
    GetWindowRect(wnd, &wr);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    EXPECT_EQ(WindowPixel(wnd, 0, 0), kBorder);
    EXPECT_EQ(WindowPixel(wnd, 0, height / 2), kBorder);
    EXPECT_EQ(WindowPixel(wnd, width / 2, height - 1), kBorder);
    // The client area in the section's colour, beside the text.
    RECT client{};
    GetClientRect(wnd, &client);
    EXPECT_EQ(ktest::ClientPixel(wnd, client.right - 2, client.bottom - 2), kEditFace);
    ASSERT_EQ(adapter.VertBar->Shown, c.HasBar);
    if (c.HasBar) {
      const int thick = GetScrollBarSize(*adapter.VertBar, true, false);
      EXPECT_EQ(WindowPixel(wnd, width - adapter.EdgeRight - thick / 2, adapter.EdgeTop + 3),
                kArrow);
    }
  }
  for (size_t i = 0; i < std::size(cases); ++i) {
    adapters[i]->Release(true);
    EXPECT_EQ(cases[i].Control->Color(), clWindow) << cases[i].Control->ClassName();
  }
  Settle(form.Form->Handle());
  for (const TCase& c : cases) {
    EXPECT_NE(WindowPixel(c.Control->Handle(), 0, 0), kBorder) << c.Control->ClassName();
    if (c.HasBar) {
      RECT wr{};
      GetWindowRect(c.Control->Handle(), &wr);
      EXPECT_NE(WindowPixel(c.Control->Handle(), wr.right - wr.left - 10, 8), kArrow)
          << "the standard bar is back";
    }
  }
}

TEST_F(EditAdapters, ARawEditPaintsItsBorderFromItsSectionOrPlainInADialog) {
  form.Show();
  struct TCase {
    bool InDialog;
    COLORREF Border;  // at the window's corner
  };
  // In a dialog: the window colour framed in the skin's border colour (BORDERCOLOR=255).
  for (const TCase c : {TCase{false, kBorder}, TCase{true, 0x0000FF}}) {
    SCOPED_TRACE(c.InDialog);
    HWND edit =
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 26,
                        form.Form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    DialogAdapterMode = c.InDialog;
    auto adapter = TskMainWnd::Make<TskEditWnd>(edit, nullptr, nullptr, "", true);
    DialogAdapterMode = false;
    EXPECT_EQ(adapter->InDialog(), c.InDialog);
    EXPECT_TRUE(adapter->OwnsCommonData());
    Settle(form.Form->Handle());
    EXPECT_EQ(WindowPixel(edit, 0, 0), c.Border);
    EXPECT_EQ(WindowPixel(edit, 60, 25), c.Border);
    EXPECT_EQ(adapter->PlainColor(), c.InDialog ? clWindow : static_cast<TColor>(kEditFace));
    DestroyWindow(edit);
    EXPECT_TRUE(adapter->Detached()) << "the window's end lets go of it";
  }
}

TEST_F(EditAdapters, AnEmptyListBoxHasNoTopIndex) {
  auto* list = form.Add<TListBox>();
  list->SetBounds(10, 10, 100, 80);
  form.Show();
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTOPINDEX, 0, 0), 0);
  auto adapter = Adopt<TskEditWnd>(list, "EDIT");
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTOPINDEX, 0, 0), -1);
  list->Items()->Add("one");
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTOPINDEX, 0, 0), 0);
}

struct ComboAdapter : EditAdapters {
  void SetUp() override {
    EditAdapters::SetUp();
    combo = form.Add<TComboBox>();
    combo->SetStyle(csDropDownList);
    combo->SetBounds(20, 20, 160, 24);
  }
  RECT ScreenRect() {
    RECT r{};
    GetWindowRect(combo->Handle(), &r);
    return r;
  }
  TComboBox* combo = nullptr;
};

TEST_F(ComboAdapter, FaceAndButtonComeFromTheSkinAndAClickOpensTheAdoptedList) {
  for (int i = 0; i < 30; ++i) combo->Items()->Add("choice " + std::to_string(i));
  form.Show();
  auto adapter = Adopt<TskComboBoxWnd>(combo, "COMBOBOX");
  Settle(form.Form->Handle());
  HWND wnd = combo->Handle();
  const RECT r = ScreenRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  const TRect button = adapter->GetButtonRect();
  EXPECT_EQ(button, (TRect{width - 2 - GetSystemMetrics(SM_CXVSCROLL), 2, width - 2, height - 2}));
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_EQ(WindowPixel(wnd, width / 3, height - 1), kBorder);
  EXPECT_EQ(combo->Color(), static_cast<TColor>(kComboFace));
  EXPECT_EQ(WindowPixel(wnd, button.Left + 1, button.Top + 1), kButton);
  EXPECT_EQ(WindowPixel(wnd, button.Left + button.Width() / 2, height / 2), kGlyph);

  // A real click on the button drops the list down; the list gets its adapter on its first
  // colour question and shows the skin's colours and bar; the button looks pressed.
  ktest::Click(POINT{r.left + button.Left + button.Width() / 2, r.top + height / 2});
  ASSERT_TRUE(PumpUntil([&] {
    return adapter->ListHandle() && IsWindowVisible(adapter->ListHandle());
  })) << "the list did not open";
  HWND list = adapter->ListHandle();
  ASSERT_NE(adapter->ListAdapter(), nullptr);
  EXPECT_EQ(GetWindowAdapter(list), adapter->ListAdapter());
  Settle(list);
  RECT lr{};
  GetWindowRect(list, &lr);
  EXPECT_GT(lr.right - lr.left, 0);
  EXPECT_GT(lr.bottom - lr.top, 0);
  EXPECT_EQ(WindowPixel(list, 0, 0), 0x000000u) << "the list's plain frame";
  TskComboListWnd& listAdapter = *adapter->ListAdapter();
  ASSERT_TRUE(listAdapter.VertBar->Shown);
  const int thick = GetScrollBarSize(*listAdapter.VertBar, true, false);
  EXPECT_EQ(WindowPixel(list, lr.right - lr.left - listAdapter.EdgeRight - thick / 2,
                        listAdapter.EdgeTop + 3),
            kArrow);
  adapter->PaintButtonNow();
  EXPECT_EQ(WindowPixel(wnd, button.Left + 1, button.Top + 1), kButtonHot);

  // Picking an item with the keyboard closes the list; the combo box keeps working.
  EXPECT_EQ(combo->ItemIndex(), -1);
  ktest::PressKey(VK_DOWN);
  ktest::PressKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(list); }));
  EXPECT_EQ(combo->ItemIndex(), 0) << "the first item picked";

  adapter->Release(true);
  EXPECT_EQ(combo->Color(), clWindow);
  EXPECT_EQ(adapter->ListAdapter(), nullptr);
  EXPECT_EQ(GetWindowAdapter(list), nullptr) << "the list lets go with its combo box";
  Settle(form.Form->Handle());
  EXPECT_NE(WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_NE(WindowPixel(wnd, button.Left + 1, button.Top + 1), kButton);
}

TEST_F(ComboAdapter, TheButtonIsHotUnderThePointerAndOnTheLeftForRightToLeftText) {
  combo->Items()->Add("one");
  form.Show();
  auto adapter = Adopt<TskComboBoxWnd>(combo, "COMBOBOX");
  Settle(form.Form->Handle());
  HWND wnd = combo->Handle();
  const TRect button = adapter->GetButtonRect();
  EXPECT_EQ(WindowPixel(wnd, button.Left + 1, button.Top + 1), kButton);
  const RECT r = ScreenRect();
  ASSERT_TRUE(ktest::MovePointerTo(POINT{r.left + 20, r.top + 5}));
  EXPECT_TRUE(PumpUntil([&] {
    return WindowPixel(wnd, button.Left + 1, button.Top + 1) == kButtonHot;
  })) << "hot while the pointer is over the combo box";
  ktest::MoveMouse(POINT{5, 5});
  EXPECT_TRUE(
      PumpUntil([&] { return WindowPixel(wnd, button.Left + 1, button.Top + 1) == kButton; }));

  SetWindowLongPtrA(wnd, GWL_EXSTYLE, GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_RTLREADING);
  const TRect left = adapter->GetButtonRect();
  EXPECT_EQ(left.Left, 2);
  EXPECT_EQ(left.Width(), button.Width());
}

TEST_F(ComboAdapter, ASimpleComboBoxShowsItsFaceAndItsAlwaysVisibleListSkinned) {
  combo->SetStyle(csSimple);
  combo->SetBounds(20, 20, 160, 120);
  for (int i = 0; i < 20; ++i) combo->Items()->Add("entry " + std::to_string(i));
  form.Show();
  auto adapter = Adopt<TskComboBoxWnd>(combo, "COMBOBOX");
  Settle(form.Form->Handle());
  HWND wnd = combo->Handle();
  EXPECT_EQ(adapter->GetButtonRect().Width(), 0) << "no drop-down button";
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kBorder) << "the face's frame";
  ASSERT_TRUE(PumpUntil([&] { return adapter->ListAdapter() != nullptr; }));
  EXPECT_TRUE(adapter->ListAdapter()->SimpleCombo());

  HWND list = adapter->ListHandle();
  RECT client{};
  GetClientRect(list, &client);
  EXPECT_EQ(ktest::ClientPixel(list, client.right - 3, client.bottom - 3), kEditFace);
  // Below the list what lies behind the combo box shows: for a form without a skin of its own,
  // the skin's global colour (GLOBALINFO), never what the window left there.
  RECT lr{}, cr{};
  GetWindowRect(list, &lr);
  GetWindowRect(wnd, &cr);
  ASSERT_LT(lr.bottom, cr.bottom) << "the list ends above the combo box's bottom";
  Settle(form.Form->Handle());
  EXPECT_EQ(WindowPixel(wnd, 40, cr.bottom - cr.top - 1), 0x808080u);
}

TEST_F(ComboAdapter, AnEmptyListIsSizedFromItsRealWindow) {
  form.Show();
  auto adapter = Adopt<TskComboBoxWnd>(combo, "COMBOBOX");
  Settle(form.Form->Handle());
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  RECT before{};
  GetWindowRect(info.hwndList, &before);
  SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(PumpUntil([&] { return adapter->ListAdapter() != nullptr; }));
  RECT after{};
  GetWindowRect(info.hwndList, &after);
  EXPECT_GT(after.right - after.left, 0) << "an empty list must not become invisible";
  EXPECT_GT(after.bottom - after.top, 0);
  SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  Settle(form.Form->Handle());
}

TEST_F(ComboAdapter, RemovingTheSkinLetsTheListGo) {
  combo->Items()->Add("one");
  form.Show();
  auto adapter = Adopt<TskComboBoxWnd>(combo, "COMBOBOX");
  Settle(form.Form->Handle());
  SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(PumpUntil([&] { return adapter->ListAdapter() != nullptr; }));
  SendMessageA(combo->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  HWND list = adapter->ListHandle();
  SendSkinCmd(combo->Handle(), CmdRemoveSkin, reinterpret_cast<LPARAM>(f.Manager.get()));
  EXPECT_EQ(adapter->ListAdapter(), nullptr);
  EXPECT_EQ(adapter->ListHandle(), nullptr);
  EXPECT_EQ(GetWindowAdapter(list), nullptr);
  EXPECT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(combo->Color(), clWindow);
}

TEST_F(ComboAdapter, ListColoursComeWithOneBrushAndLongItemsPrintWhole) {
  combo->Items()->Add(std::string(3000, 'W'));
  form.Show();
  combo->SetItemIndex(0);
  auto adapter = Adopt<TskComboBoxWnd>(combo, "COMBOBOX");
  Settle(form.Form->Handle());
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  HDC dc = GetDC(info.hwndList);
  const LRESULT first =
      SendMessageA(combo->Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(info.hwndList));
  const LRESULT second =
      SendMessageA(combo->Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(info.hwndList));
  ReleaseDC(info.hwndList, dc);
  ASSERT_NE(first, 0);
  EXPECT_EQ(first, second) << "a brush made for every question would never be freed";
  LOGBRUSH brush{};
  GetObjectA(reinterpret_cast<HBRUSH>(first), sizeof brush, &brush);
  EXPECT_EQ(brush.lbColor, kEditFace) << "the list's section colour";

  // Printing reads the selected item's whole text and paints face, border and button.
  RECT r = ScreenRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, bmp);
  SendMessageA(combo->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(mem),
               PRF_NONCLIENT | PRF_CLIENT);
  const TRect button = adapter->GetButtonRect();
  EXPECT_EQ(GetPixel(mem, 0, 0), kBorder);
  EXPECT_EQ(GetPixel(mem, button.Left + 1, button.Top + 1), kButton);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

}  // namespace
