// The tool bar, tab control and page adapters under Wine on the system's own windows in a
// plain window: each painted from its sections (read back as solid colours), a tool button
// made hot, pressed and clicked, a tab switched by a click and a property sheet's tab by
// Ctrl+Tab, all through the system's input queue; page adapters leave with their pages, and
// every adapter lets go when its window goes.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
// clang-format on
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/adapters/skTabControlWndWin32.h"
#include "skin/adapters/skToolBarWndWin32.h"
#include "tests/skin/adapters/DialogAdapterFixtureWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using namespace dlgtest;

constexpr COLORREF kImage[2] = {0x0080FF, 0xFF8000};

template <class TAdapter>
std::unique_ptr<TAdapter> Attach(HWND wnd, const char* section, TsSkinManager* manager) {
  return TskMainWnd::Make<TAdapter>(wnd, nullptr, manager, section, true);
}

void Repaint(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

COLORREF Mix(COLORREF over, COLORREF under, double share) {
  const auto channel = [&](int shift) {
    const double o = (over >> shift) & 0xFF, u = (under >> shift) & 0xFF;
    return static_cast<COLORREF>(o * share + u * (1 - share) + 0.5) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

// A 16 x 16 image list whose images are solid squares in kImage's colours.
HIMAGELIST SolidImages() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 2, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP strip = CreateCompatibleBitmap(screen, 32, 16);
  HGDIOBJ old = SelectObject(dc, strip);
  for (int i = 0; i < 2; ++i) {
    HBRUSH brush = CreateSolidBrush(kImage[i]);
    RECT r{16 * i, 0, 16 * i + 16, 16};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  SelectObject(dc, old);
  ImageList_Add(list, strip, nullptr);
  DeleteObject(strip);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

TRect ItemRect(HWND bar, UINT message, int index) {
  RECT r{};
  SendMessageA(bar, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return TRect{r.left, r.top, r.right, r.bottom};
}

struct BarAdapters : DialogAdapters {};

TEST_F(BarAdapters, AToolBarPaintsItsButtonsFromTheSkinAndStillSendsTheirCommands) {
  HWND bar = window.Child(TOOLBARCLASSNAMEA, "",
                          TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 10, 10,
                          440, 60);
  HIMAGELIST images = SolidImages();
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  // A caption far longer than a button: it is read whole and cut when drawn.
  static std::string longCaption =
      "Go up one level to the folder that holds this one " + std::string(300, 'x');
  TBBUTTON buttons[] = {
      {0, 201, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},  // the list's first image
      {8, 0, 0, BTNS_SEP, {}, 0, 0},
      {1, 202, 0, BTNS_BUTTON, {}, 0, 0},  // disabled
      {I_IMAGENONE,
       203,
       TBSTATE_ENABLED,
       BTNS_BUTTON,
       {},
       0,
       reinterpret_cast<INT_PTR>(longCaption.c_str())},
  };
  SendMessageA(bar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(buttons));
  SendMessageA(bar, TB_SETBUTTONWIDTH, 0, MAKELPARAM(40, 90));
  window.Show();
  auto adapter = Attach<TskToolBarWnd>(bar, "BAR", f.Manager.get());
  Repaint(window.Wnd());
  Settle(window.Wnd());
  ktest::SaveScreenshot(window.Wnd(), "tool_bar_adapter");

  const TRect first = ItemRect(bar, TB_GETITEMRECT, 0);
  const TRect separator = ItemRect(bar, TB_GETITEMRECT, 1);
  const TRect disabled = ItemRect(bar, TB_GETITEMRECT, 2);
  const TRect text = ItemRect(bar, TB_GETITEMRECT, 3);
  ASSERT_GT(first.Width(), 20);
  EXPECT_EQ(ktest::ClientPixel(bar, 438, 58), kBarFace) << "the bar's own section";
  EXPECT_EQ(ktest::ClientPixel(bar, first.Left + 1, first.Top + 1), kBorder[0]);
  EXPECT_EQ(ktest::ClientPixel(bar, first.Left + first.Width() / 2, first.Top + 12), kImage[0])
      << "image 0 is the list's first image, shown";
  EXPECT_EQ(ktest::ClientPixel(bar, separator.Left + separator.Width() / 2,
                               (separator.Top + separator.Bottom) / 2),
            kDividerMask);
  EXPECT_TRUE(Near(ktest::ClientPixel(bar, disabled.Left + 1, disabled.Top + 1),
                   Mix(kBorder[0], kBarFace, 0.4), 3))
      << "a disabled button keeps 40 % of its picture over the bar";
  EXPECT_GT(ktest::CountClientPixels(bar, text, kFont), 0) << "the long caption is drawn";
  EXPECT_EQ(adapter->PaintedState(0), 0);

  ASSERT_TRUE(PointAt(bar, first.Left + 8, first.Top + 8));
  EXPECT_TRUE(PumpUntil([&] {
    return adapter->PaintedState(0) == 1 &&
           ktest::ClientPixel(bar, first.Left + 1, first.Top + 1) == kBorder[1];
  })) << "the button under the pointer is hot";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_TRUE(PumpUntil([&] {
    return ktest::ClientPixel(bar, first.Left + 1, first.Top + 1) == kBorder[2];
  })) << "pressed while held";
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return window.Heard().LastCommand == 201; }));
  ktest::ParkPointer();

  DestroyWindow(bar);
  EXPECT_TRUE(adapter->Detached());
  ImageList_Destroy(images);
}

TEST_F(BarAdapters, ATabControlPaintsItsTabsAndFrameAndSwitchesByClick) {
  HWND tabs = window.Child(WC_TABCONTROLA, "", WS_CLIPSIBLINGS, 20, 20, 300, 200);
  const char* names[] = {"One", "Two", "Three"};
  for (int i = 0; i < 3; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(names[i]);
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  window.Show();
  auto adapter = Attach<TskTabControlWnd>(tabs, "PAGECONTROL", f.Manager.get());
  Repaint(window.Wnd());
  Settle(window.Wnd());
  ktest::SaveScreenshot(window.Wnd(), "tab_control_adapter");

  const TRect display = adapter->GetDisplayRect();
  EXPECT_EQ(
      WindowPixel(tabs, (display.Left + display.Right) / 2, (display.Top + display.Bottom) / 2),
      kPage)
      << "the page frame";
  EXPECT_EQ(WindowPixel(tabs, 298, 2), kGlobal) << "beside the tabs: what the parent shows";
  const TRect active = adapter->GetTabRect(0, true);
  const TRect second = adapter->GetTabRect(1, false);
  EXPECT_EQ(WindowPixel(tabs, active.Left + 1, active.Top + 1), kBorder[2]) << "active tab";
  EXPECT_EQ(WindowPixel(tabs, second.Left + 4, second.Top + 1), kBorder[0]) << "other tab";
  EXPECT_LT(active.Top, second.Top) << "the active tab stands higher";

  ASSERT_TRUE(PointAt(tabs, (second.Left + second.Right) / 2, (second.Top + second.Bottom) / 2));
  ASSERT_TRUE(LeftButton(true));
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 1; }));
  EXPECT_EQ(window.Heard().TabChanges, 1);
  const TRect nowActive = adapter->GetTabRect(1, true);
  EXPECT_TRUE(PumpUntil([&] {
    return WindowPixel(tabs, nowActive.Left + 1, nowActive.Top + 1) == kBorder[2] &&
           WindowPixel(tabs, active.Left + 3, active.Bottom - 8) != kBorder[2];
  })) << "the clicked tab is painted active, the first one no longer";
  ktest::ParkPointer();

  DestroyWindow(tabs);
  EXPECT_TRUE(adapter->Detached());
}

// A dialog template in memory: one static text, no caption (a property page).
std::vector<WORD> PageTemplate() {
  std::vector<WORD> t;
  const auto dword = [&](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  dword(WS_CHILD | WS_VISIBLE | DS_CONTROL);
  dword(0);
  t.push_back(0);  // no items
  t.push_back(0);
  t.push_back(0);
  t.push_back(160);
  t.push_back(80);
  t.push_back(0);  // menu
  t.push_back(0);  // class
  t.push_back(0);  // title
  return t;
}

INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(BarAdapters, APropertySheetsAdaptedTabsSwitchByCtrlTab) {
  static std::vector<WORD> page = PageTemplate();
  PROPSHEETPAGEA pages[2] = {};
  const char* titles[] = {"First", "Second"};
  for (int i = 0; i < 2; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEA);
    pages[i].dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    pages[i].pResource = reinterpret_cast<LPCDLGTEMPLATEA>(page.data());
    pages[i].pszTitle = titles[i];
    pages[i].pfnDlgProc = &PageProc;
  }
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW;
  header.hwndParent = window.Wnd();
  header.pszCaption = "Sheet";
  header.nPages = 2;
  header.ppsp = pages;
  window.Show();
  HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
  ASSERT_NE(sheet, nullptr);
  HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  ASSERT_NE(tabs, nullptr);
  auto adapter = Attach<TskTabControlWnd>(tabs, "PAGECONTROL", f.Manager.get());
  SetForegroundWindow(sheet);
  Repaint(sheet);
  Settle(sheet);
  ktest::SaveScreenshot(sheet, "property_sheet_tabs");
  const TRect first = adapter->GetTabRect(0, true);
  EXPECT_EQ(WindowPixel(tabs, first.Left + 1, first.Top + 1), kBorder[2]);

  // A modeless sheet takes its keys through the message loop of the program that shows it.
  const auto pumpSheet = [&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (IsWindow(sheet) &&
          SendMessageA(sheet, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)))
        continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  };
  SetFocus(GetDlgItem(sheet, IDOK));
  pumpSheet();
  ktest::PressKeys({VK_CONTROL}, VK_TAB);
  const ULONGLONG end = GetTickCount64() + 30000;
  while (SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != 1 && GetTickCount64() < end) {
    pumpSheet();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1) << "Ctrl+Tab moved to the second tab";
  const TRect second = adapter->GetTabRect(1, true);
  EXPECT_TRUE(PumpUntil([&] {
    pumpSheet();
    return WindowPixel(tabs, second.Left + 1, second.Top + 1) == kBorder[2];
  })) << "the second tab painted active";
  DestroyWindow(sheet);
  EXPECT_TRUE(adapter->Detached());
}

TEST_F(BarAdapters, PagesShowTheTabControlBehindThemAndTheirAdaptersLeaveWithThem) {
  HWND tabs = window.Child(WC_TABCONTROLA, "", WS_CLIPCHILDREN, 20, 20, 300, 200);
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>("Page");
  SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  const auto makePage = [&] {
    return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 60, 200, 100, tabs, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  };
  HWND page = makePage();
  window.Show();
  auto adapter = Attach<TskPageControlWnd>(tabs, "PAGECONTROL", f.Manager.get());
  EXPECT_EQ(adapter->LivePageAdapters(), 1);
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(page, 100, 50), kPage) << "the page shows the frame behind it";

  DestroyWindow(page);
  EXPECT_EQ(adapter->LivePageAdapters(), 0);
  HWND next = makePage();  // the tab control hears of it and adapts it
  EXPECT_EQ(adapter->LivePageAdapters(), 1);
  EXPECT_EQ(adapter->PageAdapterCount(), 1) << "the dead page's adapter left the list";
  Repaint(window.Wnd());
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(next, 100, 50), kPage);
  adapter.reset();  // the live page's adapter lets go with it; nothing freed twice
  EXPECT_EQ(GetWindowAdapter(next), nullptr);
}

}  // namespace
