// The main window's menus under Wine with our full skin: the menu bar and a popup open
// owner-drawn from the skin; a checked item shows the skin's check mark, a disabled item is
// 60 % popup background over 40 % item; a closing popup empties the background cache.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/mainWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "tests/skin/core/SkinTestFiles.h"
#include "tests/support/ScreenshotWin32.h"
#include "tests/support/UserInputWin32.h"

namespace {

struct TPopupShot {
  HWND Window = nullptr;
  RECT WindowRect{};
  ktest::TScreenshot Shot;
  std::vector<RECT> Items;  // screen rectangles
  HMENU Menu = nullptr;
  std::string Name;
  int CacheCount = 0;
  bool HasRegion = false, CornerCut = false, CentreKept = false;
  TMenuItem* FirstItem = nullptr;  // when set, the region is asked for again through the
                                   // application window, by window, by item and by a stale key
  LRESULT ByWindow = 0, ByItem = 0, ByStaleKey = 0;
  bool CutByWindow = false, CutByItem = false, StaleKeyLeftNone = false;
  std::unique_ptr<TBitmap> Background;  // the cached background while the popup was open
} Popup;
TsSkinableMenus* Menus = nullptr;

BOOL CALLBACK FindPopup(HWND wnd, LPARAM) {
  char cls[16] = {};
  GetClassNameA(wnd, cls, sizeof cls);
  if (std::string(cls) == "#32768" && IsWindowVisible(wnd)) {
    Popup.Window = wnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK CapturePopup(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EnumThreadWindows(GetCurrentThreadId(), FindPopup, 0);
  if (Popup.Window) {
    UpdateWindow(Popup.Window);
    GetWindowRect(Popup.Window, &Popup.WindowRect);
    ktest::CaptureWindow(Popup.Window, Popup.Shot);
    ktest::SaveScreenshot(Popup.Window, Popup.Name);
    for (int i = 0; i < GetMenuItemCount(Popup.Menu); ++i) {
      RECT r{};
      GetMenuItemRect(nullptr, Popup.Menu, static_cast<UINT>(i), &r);
      Popup.Items.push_back(r);
    }
    Popup.CacheCount = Menus->Cache().Count();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    Popup.HasRegion = GetWindowRgn(Popup.Window, region) != ERROR;
    Popup.CornerCut = !PtInRegion(region, 0, 0);
    Popup.CentreKept = PtInRegion(region, Popup.Shot.Width / 2, Popup.Shot.Height / 2) != 0;
    if (Popup.FirstItem) {
      const HWND app = Application->Handle();
      auto cornerCut = [] {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        const bool cut = GetWindowRgn(Popup.Window, r) != ERROR && !PtInRegion(r, 0, 0);
        DeleteObject(r);
        return cut;
      };
      SetWindowRgn(Popup.Window, nullptr, FALSE);
      Popup.ByWindow = SendMessageA(app, WM_SKINMENU_REGION_BY_WINDOW, 0,
                                    reinterpret_cast<LPARAM>(Popup.Window));
      Popup.CutByWindow = cornerCut();
      SetWindowRgn(Popup.Window, nullptr, FALSE);
      int stale = 0;
      Popup.ByStaleKey =
          SendMessageA(app, WM_SKINMENU_REGION_BY_ITEM, 0, reinterpret_cast<LPARAM>(&stale));
      Popup.StaleKeyLeftNone = !cornerCut();
      Popup.ByItem = SendMessageA(app, WM_SKINMENU_REGION_BY_ITEM, 0,
                                  reinterpret_cast<LPARAM>(Popup.FirstItem));
      Popup.CutByItem = cornerCut();
    }
    DeleteObject(region);
    if (TsMenuCache::Entry* entry =
            Menus->Cache().FindByWindow(reinterpret_cast<uintptr_t>(Popup.Window))) {
      Popup.Background = std::make_unique<TBitmap>();
      Popup.Background->Assign(entry->Image.get());
    }
  }
  EndMenu();
}

int Channel(COLORREF c, int shift) { return (c >> shift) & 0xFF; }
void ExpectNear(COLORREF actual, COLORREF expected, int tolerance, const char* what) {
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(Channel(actual, shift), Channel(expected, shift), tolerance)
        << what << std::hex << " actual " << actual << " expected " << expected;
}

// The main window shown with the test skin of known colours, its menus skinned from it.
TForm1* ShowMainWindowWithTestSkin() {
  Application->Initialize();
  InitSkinRuntime();
  auto* form = new TForm1(Application);
  form->AfterConstruction();
  form->CheckVersion = nullptr;
  form->Show();
  Application->ProcessMessages();
  TsSkinManager* manager = form->sSkinManager1;
  const std::string folder = skintest::WineSkinFolders();
  manager->SetSkinDirectory(folder);
  manager->SetActive(true);
  if (manager->CurrentSkin().Active) Menus = &SkinableMenusOf(*manager);
  return form;
}

TEST(MainWindowMenus, MenuBarAndPopupOpenSkinnedWithMarksAndDisabledColours) {
  TForm1* form = ShowMainWindowWithTestSkin();
  TsSkinManager* manager = form->sSkinManager1;
  ASSERT_TRUE(manager->CurrentSkin().Active);
  EXPECT_TRUE(Menus->Active());
  EXPECT_TRUE(form->MainMenu1->OwnerDraw());
  EXPECT_TRUE(form->PopupMenu1->OwnerDraw());

  // The menu bar: the menu line's colour beside the first item's text.
  DrawMenuBar(form->Handle());
  Application->ProcessMessages();
  RECT bar{}, frame{};
  ASSERT_TRUE(GetMenuItemRect(form->Handle(), GetMenu(form->Handle()), 0, &bar));
  GetWindowRect(form->Handle(), &frame);
  ktest::SaveScreenshot(form->Handle(), "main_menubar_skinned");
  const auto& sections = manager->Sections();
  const int line = manager->GetSectionIndex("MENULINE");
  ASSERT_GE(line, 0);
  ExpectNear(ktest::WindowPixel(form->Handle(), bar.left - frame.left + 1,
                                (bar.top + bar.bottom) / 2 - frame.top),
             ColorToRGB(sections[static_cast<size_t>(line)].Color), 2, "menu line");

  // A popup: the first item checked, the last one checked and disabled.
  TMenuItem* checked = form->FontSize8px1;
  TMenuItem* disabled = form->FontSize12px1;
  for (int i = 0; i < form->PopupMenu1->Items()->Count(); ++i)
    form->PopupMenu1->Items()->Items(i)->SetChecked(false);
  checked->SetChecked(true);
  disabled->SetChecked(true);
  disabled->SetEnabled(false);
  Popup.Menu = form->PopupMenu1->Handle();
  Popup.Name = "main_popup_skinned";
  Popup.FirstItem = checked;
  const int closedBefore = Menus->PopupsClosed();
  SetTimer(nullptr, 0, 400, CapturePopup);
  form->PopupMenu1->Popup(frame.left + 60, frame.top + 120);
  Application->ProcessMessages();
  ASSERT_NE(Popup.Window, nullptr);
  ASSERT_EQ(Popup.Items.size(), 5u);
  EXPECT_EQ(Popup.CacheCount, 1);
  EXPECT_TRUE(Popup.HasRegion);
  EXPECT_TRUE(Popup.CornerCut) << "the skin's rounded corner is cut out of the popup";
  EXPECT_TRUE(Popup.CentreKept);
  // The application window gives a popup its region when the painter could not find it.
  EXPECT_EQ(Popup.ByWindow, 1);
  EXPECT_TRUE(Popup.CutByWindow);
  EXPECT_EQ(Popup.ByStaleKey, 1);
  EXPECT_TRUE(Popup.StaleKeyLeftNone) << "a key without a cached popup is never followed";
  EXPECT_EQ(Popup.ByItem, 1);
  EXPECT_TRUE(Popup.CutByItem);
  EXPECT_EQ(Menus->Cache().Count(), 0) << "closing the popup empties the cache";
  EXPECT_GT(Menus->PopupsClosed(), closedBefore);

  auto at = [](int index, int dx, int dy) {
    const RECT& r = Popup.Items[static_cast<size_t>(index)];
    return Popup.Shot.ColorAt(r.left - Popup.WindowRect.left + dx,
                              r.top - Popup.WindowRect.top + dy);
  };
  const int item = manager->GetSectionIndex("MENUITEM");
  const int mainMenu = manager->GetSectionIndex("MAINMENU");
  ASSERT_GE(item, 0);
  ASSERT_GE(mainMenu, 0);
  const int height = Popup.Items[0].bottom - Popup.Items[0].top;
  const int width = Popup.Items[0].right - Popup.Items[0].left;

  // The check mark: the skin's mask over the item colour, at the margin, centred.
  int mask = FindMaskIndex(manager, "GLOBALINFO", "CHECK");
  if (mask < 0) mask = FindMaskIndex(manager, "GLOBALINFO", "BOXCHECKED");
  ASSERT_GE(mask, 0);
  const TsMaskData& md = manager->Masks()[static_cast<size_t>(mask)];
  const int mw = MaskStateWidth(md), mh = MaskStateHeight(md);
  const COLORREF itemColor = at(1, width - 6, height / 2);
  TBitmap expected;
  expected.SetPixelFormat(pf32bit);
  expected.SetSize(mw, mh);
  expected.Canvas()->Brush()->SetColor(static_cast<TColor>(itemColor));
  expected.Canvas()->FillRect(TRect{0, 0, mw, mh});
  PaintMaskGlyph(&expected, TPoint{0, 0}, 0, md, MakeBackgroundSource(&expected, 0, 0));
  const int my = (height - mh) / 2;
  int differing = 0;
  for (int y = 0; y < mh; ++y)
    for (int x = 0; x < mw; ++x) {
      const COLORREF want = GetPixel(expected.Canvas()->Handle(), x, y);
      if (want != itemColor) ++differing;
      ExpectNear(at(0, 2 + x, my + y), want, 3, "check mark");
      if (HasFailure()) goto markDone;
    }
markDone:
  EXPECT_GT(differing, mw) << "the mark is more than the item colour";
  ExpectNear(at(1, 2 + mw / 2, my + mh / 2), itemColor, 2, "an unchecked item has no mark");

  // The disabled item: its mark is 60 % popup background and 40 % mark.
  ASSERT_NE(Popup.Background, nullptr);
  const RECT& last = Popup.Items[4];
  const int lx = last.left - Popup.WindowRect.left, ly = last.top - Popup.WindowRect.top;
  int blended = 0;
  for (int y = 0; y < mh; ++y)
    for (int x = 0; x < mw; ++x) {
      const COLORREF mark = GetPixel(expected.Canvas()->Handle(), x, y);
      const COLORREF under =
          GetPixel(Popup.Background->Canvas()->Handle(), lx + 2 + x, ly + my + y);
      COLORREF blend = 0;
      for (int shift : {0, 8, 16})
        blend |=
            static_cast<COLORREF>((Channel(under, shift) * 6 + Channel(mark, shift) * 4 + 5) / 10)
            << shift;
      if (blend != mark) ++blended;
      ExpectNear(at(4, 2 + x, my + y), blend, 3, "disabled item");
      if (HasFailure()) goto disabledDone;
    }
disabledDone:
  EXPECT_GT(blended, mw) << "the blend shows on the mark";

  // The main menu's first drop-down with the extra line and the icon line: the strip at the
  // left edge shows the extra-line section's colour above its upward caption.
  Menus->MenuSupport.UseExtraLine = true;
  Menus->MenuSupport.IcoLineSkin = "ICOLINE";
  Menus->OnGetExtraLineData = [](const void*, TsExtraLineData& data) {
    data.Caption = "&Kestrava";
  };
  Popup = TPopupShot{};
  Popup.Menu = form->Datei1->Handle();
  Popup.Name = "main_menu_file_skinned";
  SetTimer(nullptr, 0, 400, CapturePopup);
  TrackPopupMenu(Popup.Menu, TPM_LEFTALIGN | TPM_TOPALIGN, frame.left + 40, frame.top + 60, 0,
                 form->Handle(), nullptr);
  Application->ProcessMessages();
  ASSERT_NE(Popup.Window, nullptr);
  ASSERT_EQ(Popup.Items.size(), 3u);
  const int extraLine = manager->GetSectionIndex("EXTRALINE");
  ASSERT_GE(extraLine, 0);
  const int border = MenuSkinBorderWidth(manager);
  ExpectNear(Popup.Shot.ColorAt(border + 4, border + 2),
             ColorToRGB(sections[static_cast<size_t>(extraLine)].Color), 2, "extra line");
  // The items start right of the strip: their background is the item colour there.
  const RECT& open = Popup.Items[0];
  ExpectNear(Popup.Shot.ColorAt(open.right - Popup.WindowRect.left - 6,
                                (open.top + open.bottom) / 2 - Popup.WindowRect.top),
             itemColor, 2, "item right of the extra line");
  Menus->MenuSupport.UseExtraLine = false;
  Menus->MenuSupport.IcoLineSkin.clear();
  Menus->OnGetExtraLineData = nullptr;

  // The editor's context menu with our glyphs, a checked one framed as pressed (screenshot).
  form->Kopieren1->SetChecked(true);
  Popup = TPopupShot{};
  Popup.Menu = form->PopupMenu2->Handle();
  Popup.Name = "editor_menu_skinned";
  SetTimer(nullptr, 0, 400, CapturePopup);
  form->PopupMenu2->Popup(frame.left + 120, frame.top + 140);
  Application->ProcessMessages();
  EXPECT_NE(Popup.Window, nullptr);
  form->Kopieren1->SetChecked(false);

  // A system menu: its commands get their glyphs; without the symbol font (Wine has none) a
  // cross drawn in the item's text colour stands for the close glyph. A caption item and a
  // divider are there too (screenshot).
  auto* sysMenu = new TPopupMenu(form);
  sysMenu->SetName("SysMenu");
  for (const char* caption : {"-Window-", "Close", "-"}) {
    auto* it = new TMenuItem(form);
    it->SetCaption(caption);
    sysMenu->Items()->Add(it);
  }
  sysMenu->Items()->Items(1)->SetTag(SC_CLOSE);
  Menus->InitPopupMenu(sysMenu, true);
  Popup = TPopupShot{};
  Popup.Menu = sysMenu->Handle();
  Popup.Name = "system_menu_skinned";
  SetTimer(nullptr, 0, 400, CapturePopup);
  sysMenu->Popup(frame.left + 80, frame.top + 80);
  Application->ProcessMessages();
  ASSERT_EQ(Popup.Items.size(), 3u);
  if (!TsSkinableMenus::SymbolFontAvailable()) {
    const RECT& close = Popup.Items[1];
    const int top = (close.bottom - close.top - 10) / 2;
    ExpectNear(at(1, 4 + 5, top + 5), ColorToRGB(sections[static_cast<size_t>(item)].FontColor), 0,
               "fallback close glyph");
  }
  delete sysMenu;

  // An item that goes takes its cached background with it.
  auto* extra = new TMenuItem(form);
  extra->SetCaption("Font Size 14px");
  form->PopupMenu1->Items()->Add(extra);
  Menus->InitPopupMenu(form->PopupMenu1, true);
  Menus->Cache().Add(extra, std::make_unique<TBitmap>(), 0, false);
  ASSERT_EQ(Menus->Cache().Count(), 1);
  delete extra;
  EXPECT_EQ(Menus->Cache().Count(), 0);

  disabled->SetEnabled(true);
  disabled->SetChecked(false);
  checked->SetChecked(false);
  manager->SetActive(false);
  EXPECT_FALSE(form->PopupMenu1->OwnerDraw());
  delete form;
}

// The first column from `fromX` on whose pixel differs clearly from `background`, or -1.
int FirstInkColumn(const RECT& item, int fromX, COLORREF background) {
  const int left = item.left - Popup.WindowRect.left, top = item.top - Popup.WindowRect.top;
  const int width = item.right - item.left, height = item.bottom - item.top;
  for (int x = fromX; x < width; ++x)
    for (int y = 1; y < height - 1; ++y) {
      const COLORREF c = Popup.Shot.ColorAt(left + x, top + y);
      int difference = 0;
      for (int shift : {0, 8, 16})
        difference = std::max(difference, std::abs(Channel(c, shift) - Channel(background, shift)));
      if (difference > 80) return x;
    }
  return -1;
}

TEST(MainWindowMenus, PopupItemsLieOnOneBackgroundWithCaptionsAfterTheGlyphsAndDividersBetween) {
  TForm1* form = ShowMainWindowWithTestSkin();
  TsSkinManager* manager = form->sSkinManager1;
  ASSERT_TRUE(manager->CurrentSkin().Active);
  RECT frame{};
  GetWindowRect(form->Handle(), &frame);

  // The editor's menu: glyphs, captions and two dividers; no item is hot, the pointer
  // rests far from the popup.
  ktest::MoveMouse(POINT{frame.right - 5, frame.bottom - 5});
  Popup = TPopupShot{};
  Popup.Menu = form->PopupMenu2->Handle();
  Popup.Name = "editor_menu_one_background";
  SetTimer(nullptr, 0, 400, CapturePopup);
  form->PopupMenu2->Popup(frame.left + 120, frame.top + 140);
  Application->ProcessMessages();
  ASSERT_NE(Popup.Window, nullptr);
  ASSERT_EQ(Popup.Items.size(), 8u);

  // The popup's one background image, as the skin painted it for the whole window.
  ASSERT_NE(Popup.Background, nullptr);
  auto underneath = [](size_t index, int dx, int dy) {
    const RECT& r = Popup.Items[index];
    return GetPixel(Popup.Background->Canvas()->Handle(), r.left - Popup.WindowRect.left + dx,
                    r.top - Popup.WindowRect.top + dy);
  };
  auto at = [](size_t index, int dx, int dy) {
    const RECT& r = Popup.Items[index];
    return Popup.Shot.ColorAt(r.left - Popup.WindowRect.left + dx,
                              r.top - Popup.WindowRect.top + dy);
  };
  // One column: every item starts at the same left edge and follows the one above.
  for (size_t i = 1; i < Popup.Items.size(); ++i) {
    EXPECT_EQ(Popup.Items[i].left, Popup.Items[0].left) << "item " << i;
    EXPECT_EQ(Popup.Items[i].top, Popup.Items[i - 1].bottom) << "item " << i;
  }
  // Glyph column 16 wide, a margin on each side and the spacing: where captions start.
  const int captionLeft = 16 + 2 * Menus->Margin + Menus->Spacing;
  const std::vector<size_t> dividers{3, 6};
  for (size_t i = 0; i < Popup.Items.size(); ++i) {
    const RECT& r = Popup.Items[i];
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (std::find(dividers.begin(), dividers.end(), i) != dividers.end()) {
      // A divider's line lies inside its own item, after the glyph column; the row above
      // it, the last of the item above, keeps the background.
      TColor line = static_cast<TColor>(manager->CurrentSkin().BorderColor);
      if (line == clFuchsia) line = clBtnShadow;
      ExpectNear(at(i, width / 2, 0), ColorToRGB(line), 2, "divider line");
      const int above = Popup.Items[i - 1].bottom - Popup.Items[i - 1].top - 1;
      ExpectNear(at(i - 1, width / 2, above), underneath(i - 1, width / 2, above), 2,
                 "above the divider");
      ExpectNear(at(i + 1, width / 2, 0), underneath(i + 1, width / 2, 0), 2, "below the divider");
      continue;
    }
    // No item has a frame or a surface of its own: its edges show the popup background.
    for (const POINT p : {POINT{width - 3, 0}, POINT{width - 3, height - 1}, POINT{1, height / 2},
                          POINT{width - 3, height / 2}})
      ExpectNear(
          at(i, p.x, p.y), underneath(i, p.x, p.y), 2,
          ("item " + std::to_string(i) + " at " + std::to_string(p.x) + "," + std::to_string(p.y) +
           " window height " + std::to_string(Popup.WindowRect.bottom - Popup.WindowRect.top) +
           " item bottom " + std::to_string(r.bottom - Popup.WindowRect.top) + " image height " +
           std::to_string(Popup.Background->Height()))
              .c_str());
    // The caption starts after the glyph column, wherever the caption is short or long.
    const int ink = FirstInkColumn(r, captionLeft - 4, underneath(i, width - 3, height / 2));
    EXPECT_GE(ink, captionLeft) << "item " << i;
    EXPECT_LE(ink, captionLeft + 3) << "item " << i;
  }
  manager->SetActive(false);
  delete form;
}

}  // namespace
