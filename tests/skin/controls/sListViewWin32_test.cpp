// The skinned list view under Wine: its report rows in the skin's colours with their images,
// the selection from the SELECTION section, the column header from COLHEADER with a hot item
// under the mouse, selection by mouse and keyboard, a user's own item painting, and the standard
// look without a skin.
#include "skin/controls/sListViewWin32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "framework/ImgListWin32.h"
#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::PumpUntil;
using ktest::Settle;

constexpr COLORREF kImage = 0x00C0FF;  // the one small image: a solid square

struct SkinnedListView : SkinnedControls {
  TsListView* AddReport(bool rowSelect = true) {
    images = new TImageList(form.Form);
    images->SetSize(16, 16);
    TBitmap square;
    square.SetSize(16, 16);
    square.Canvas()->Brush()->SetColor(static_cast<TColor>(kImage));
    square.Canvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(&square, nullptr);
    auto* view = form.Add<TsListView>();
    view->SetBounds(20, 20, 300, 200);
    view->SetViewStyle(vsReport);
    view->SetRowSelect(rowSelect);
    view->SetReadOnly(true);
    view->SetSmallImages(images);
    view->SetHideSelection(false);
    for (const char* caption : {"Name", "Size"}) {
      TListColumn* column = view->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(120);
    }
    for (int i = 0; i < 5; ++i) {
      TListItem* item = view->Items()->Add();
      item->SetCaption("file" + std::to_string(i));
      item->SetImageIndex(i % 2 == 0 ? 0 : -1);
      item->SubItems()->Add("1 KB");
    }
    return view;
  }
  static TRect ItemPart(TsListView* view, int index, int part) {
    RECT r{};
    r.left = part;
    SendMessageA(view->Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&r));
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  // A point on the row right of every text: only the row's background shows there.
  static POINT Blank(TsListView* view, int index, int column) {
    const TRect bounds = ItemPart(view, index, LVIR_BOUNDS);
    return POINT{column == 0 ? 115 : 235, (bounds.Top + bounds.Bottom) / 2};
  }
  TImageList* images = nullptr;
};

TEST_F(SkinnedListView, ReportRowsShowTheirImagesAndTheSectionColours) {
  TsListView* view = AddReport();
  form.Show();
  ApplySkin();
  view->SetItemIndex(1);
  Settle(Wnd());
  HWND wnd = view->Handle();
  EXPECT_EQ(view->SkinData()->SkinSection(), "EDIT");
  ASSERT_NE(view->ScrollAdapter(), nullptr) << "the frame and bars come from an edit adapter";
  for (int index : {0, 2}) {
    SCOPED_TRACE(index);
    const TRect icon = ItemPart(view, index, LVIR_ICON);
    EXPECT_EQ(ClientPixel(wnd, (icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2), kImage);
    for (int column : {0, 1}) {
      const POINT p = Blank(view, index, column);
      EXPECT_EQ(ClientPixel(wnd, p.x, p.y), kEditFace) << "column " << column;
    }
  }
  // The selected row is the selection section's colour across both columns.
  for (int column : {0, 1}) {
    const POINT p = Blank(view, 1, column);
    EXPECT_EQ(ClientPixel(wnd, p.x, p.y), kSelection) << "column " << column;
  }
  // The frame is the skin's border, the header the column header section.
  EXPECT_EQ(ktest::WindowPixel(wnd, 0, 0), kBorder);
  ASSERT_NE(view->HeaderHandle(), nullptr);
  EXPECT_EQ(ClientPixel(view->HeaderHandle(), 60, 3), kHeader);
  EXPECT_EQ(ClientPixel(view->HeaderHandle(), 270, 3), kHeader) << "the strip after the columns";
  ktest::SaveScreenshot(Wnd(), "listview_report_skinned");
}

TEST_F(SkinnedListView, AHeaderItemUnderTheMouseIsHot) {
  TsListView* view = AddReport();
  form.Show();
  ApplySkin();
  HWND header = view->HeaderHandle();
  ASSERT_NE(header, nullptr);
  POINT over{150, 5};  // inside the second column's header item
  ClientToScreen(header, &over);
  ktest::MoveMouse(over);
  EXPECT_TRUE(PumpUntil([&] { return view->HotColumn() == 1; }));
  Settle(Wnd());
  EXPECT_EQ(ClientPixel(header, 200, 3), kHeaderHot);
  EXPECT_EQ(ClientPixel(header, 60, 3), kHeader);
  // Back over the rows: no header item stays hot.
  ktest::MoveMouse(ktest::ClientCentreOf(view->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return view->HotColumn() == -2; }));
  Settle(Wnd());
  EXPECT_EQ(ClientPixel(header, 200, 3), kHeader);
}

TEST_F(SkinnedListView, SelectsByMouseAndKeyboardSkinnedAndWithoutASkin) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "standard");
    TsListView* view = AddReport();
    form.Show();
    if (skinned) ApplySkin();
    Settle(Wnd());
    SetForegroundWindow(Wnd());
    const TRect row = ItemPart(view, 3, LVIR_BOUNDS);
    POINT at{60, (row.Top + row.Bottom) / 2};
    ClientToScreen(view->Handle(), &at);
    ktest::Click(at);
    ASSERT_TRUE(PumpUntil([&] { return view->ItemIndex() == 3; }));
    ktest::PressKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return view->ItemIndex() == 4; }));
    ktest::PressKey(VK_HOME);
    ASSERT_TRUE(PumpUntil([&] { return view->ItemIndex() == 0; }));
    Settle(Wnd());
    const POINT p = Blank(view, 2, 1);
    EXPECT_EQ(ClientPixel(view->Handle(), p.x, p.y),
              skinned ? kEditFace : GetSysColor(COLOR_WINDOW));
    if (skinned) {
      const POINT s = Blank(view, 0, 1);
      EXPECT_EQ(ClientPixel(view->Handle(), s.x, s.y), kSelection);
      RemoveSkin();
      EXPECT_EQ(view->Color(), clWindow) << "the system colours come back";
      EXPECT_EQ(view->ScrollAdapter(), nullptr);
    }
    delete view;
  }
}

TEST_F(SkinnedListView, AUserItemPainterSetBeforeTheWindowIsCalledInstead) {
  TsListView* view = AddReport();
  int calls = 0;
  view->SetOnAdvancedCustomDrawItem(
      [&](TCustomListView*, TListItem*, TCustomDrawState, TCustomDrawStage, bool&) { ++calls; });
  form.Show();
  ApplySkin();
  Settle(Wnd());
  EXPECT_GT(calls, 0);
  // The system painted the rows: its colour for the list is the skin's, the selection its own.
  const POINT p = Blank(view, 2, 0);
  EXPECT_EQ(ClientPixel(view->Handle(), p.x, p.y), kEditFace);
}

TEST_F(SkinnedListView, AReportWithoutColumnHeadersHasNoHeaderToPaint) {
  TsListView* view = AddReport();
  view->SetShowColumnHeaders(false);
  form.Show();
  ApplySkin();
  EXPECT_EQ(view->HeaderHandle(), nullptr);
  const POINT p = Blank(view, 0, 1);
  EXPECT_EQ(ClientPixel(view->Handle(), p.x, p.y), kEditFace);
  EXPECT_EQ(ItemPart(view, 0, LVIR_BOUNDS).Top, 0) << "the first row starts at the top";
}

TEST_F(SkinnedListView, ASelectedLabelOutsideRowSelectIsHighlightedBehindItsTextOnly) {
  TsListView* view = AddReport(false);
  form.Show();
  ApplySkin();
  view->SetItemIndex(2);
  Settle(Wnd());
  const TRect label = ItemPart(view, 2, LVIR_LABEL);
  const int y = (label.Top + label.Bottom) / 2;
  EXPECT_EQ(ClientPixel(view->Handle(), label.Left + 1, y), kSelection);
  EXPECT_EQ(ClientPixel(view->Handle(), label.Right - 3, y), kEditFace)
      << "the highlight ends after the text";
  const POINT sub = Blank(view, 2, 1);
  EXPECT_EQ(ClientPixel(view->Handle(), sub.x, sub.y), kEditFace)
      << "sub-items are not selected outside row select";
}

}  // namespace
