// The list view and tree view adapters under Wine on real controls of a form: border, bars and
// background from the skin, the column header painted from the skin and hot under the real
// pointer, a real drag of the vertical thumb scrolling by whole rows, a tree node expanded from
// the keyboard, and the controls' own colours back once the adapters let go.
#include "skin/adapters/skListViewWndWin32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/ComCtrlsWin32.h"
#include "framework/ImgListWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skTreeViewWndWin32.h"
#include "tests/skin/adapters/EditTestSkinWin32.h"

namespace {

using namespace edittest;

// The left button pressed at one screen point, the pointer moved to another and released
// there: a drag through the system's input queue.
void DragWithMouse(POINT from, POINT to) {
  ASSERT_TRUE(ktest::MovePointerTo(from));
  INPUT down{};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  ASSERT_TRUE(ktest::SendInputAndHandle({down}));
  ASSERT_TRUE(ktest::MovePointerTo(to));
  INPUT up = down;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_TRUE(ktest::SendInputAndHandle({up}));
}

struct ListViewAdapter : EditAdapters {
  void SetUp() override {
    EditAdapters::SetUp();
    list = form.Add<TListView>();
    list->SetViewStyle(vsReport);
    list->SetBounds(10, 10, 300, 200);
    for (const char* caption : {"Name", "Size"}) {
      TListColumn* column = list->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(80);
    }
    for (int i = 0; i < 60; ++i) list->Items()->Add()->SetCaption("row " + std::to_string(i));
    form.Show();
    originalBk = static_cast<COLORREF>(SendMessageA(list->Handle(), LVM_GETBKCOLOR, 0, 0));
    adapter = Adopt<TskListViewWnd>(list, "EDIT");
    Settle(form.Form->Handle());
    header = adapter->HeaderHandle();
  }
  // The list's small images: one square of a single colour, image 0. False when it could
  // not be added.
  bool GiveSmallImageOf(COLORREF colour) {
    auto* images = new TImageList(form.Form);
    images->SetSize(12, 12);
    TBitmap picture;
    picture.SetSize(12, 12);
    picture.Canvas()->Brush()->SetColor(static_cast<TColor>(colour));
    picture.Canvas()->FillRect(TRect{0, 0, 12, 12});
    if (images->Add(&picture, nullptr) != 0) return false;
    list->SetSmallImages(images);
    return true;
  }
  // Image 0 before the column's text in its header item.
  bool ShowImageInColumn(int column) {
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_LEFT | HDF_STRING | HDF_IMAGE;
    item.iImage = 0;
    return SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column),
                        reinterpret_cast<LPARAM>(&item)) != 0;
  }
  TListView* list = nullptr;
  std::unique_ptr<TskListViewWnd> adapter;
  HWND header = nullptr;
  COLORREF originalBk = 0;
};

TEST_F(ListViewAdapter, BorderBarsBackgroundAndHeaderComeFromTheSkin) {
  HWND wnd = list->Handle();
  ASSERT_NE(header, nullptr) << "the report view's header is hooked";
  EXPECT_EQ(adapter->GetViewStyle(), TskListViewWnd::TViewKind::Report);
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_EQ(WindowPixel(wnd, width / 2, height - 1), kBorder);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(wnd, LVM_GETBKCOLOR, 0, 0)), kEditFace);
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(ktest::ClientPixel(wnd, client.right - 3, client.bottom - 3), kEditFace)
      << "right of the columns";
  ASSERT_TRUE(adapter->VertBar->Shown);
  const int thick = GetScrollBarSize(*adapter->VertBar, true, false);
  EXPECT_EQ(WindowPixel(wnd, width - adapter->EdgeRight - thick / 2, adapter->EdgeTop + 3), kArrow);
  // Each column and the empty rest of the header in the header's section.
  RECT hr{};
  GetClientRect(header, &hr);
  EXPECT_EQ(ktest::ClientPixel(header, 2, 2), kHeader);
  EXPECT_EQ(ktest::ClientPixel(header, 80 + 2, hr.bottom - 3), kHeader);
  EXPECT_EQ(ktest::ClientPixel(header, hr.right - 3, hr.bottom / 2), kHeader) << "no column";

  // The column under the real pointer looks hot, the others stay as they were.
  RECT headerScreen{};
  GetWindowRect(header, &headerScreen);
  ASSERT_TRUE(ktest::MovePointerTo(POINT{headerScreen.left + 80 + 60, headerScreen.top + 3}));
  ASSERT_TRUE(PumpUntil([&] { return adapter->HoverColumn() == 1; }));
  Settle(header);
  EXPECT_EQ(ktest::ClientPixel(header, 80 + 2, 2), kHeaderHot);
  EXPECT_EQ(ktest::ClientPixel(header, 2, 2), kHeader);
  // Beside the divider the column under the pointer is hot, on either side of it.
  ASSERT_TRUE(ktest::MovePointerTo(POINT{headerScreen.left + 80 - 2, headerScreen.top + 3}));
  EXPECT_TRUE(PumpUntil([&] { return adapter->HoverColumn() == 0; }));
  ASSERT_TRUE(ktest::MovePointerTo(POINT{headerScreen.left + 80 + 2, headerScreen.top + 3}));
  EXPECT_TRUE(PumpUntil([&] { return adapter->HoverColumn() == 1; }));
  ktest::MoveMouse(POINT{5, 5});

  adapter->Release(true);
  Settle(form.Form->Handle());
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(wnd, LVM_GETBKCOLOR, 0, 0)), originalBk);
  EXPECT_NE(WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_NE(ktest::ClientPixel(header, 2, 2), kHeader) << "the header paints itself again";
}

// The list view repaints whole on every colour it is given: its colours are set when the
// skin comes or changes, never from its own paint.
TEST_F(ListViewAdapter, ColoursAreSetWhenTheSkinChangesNotAtEveryPaint) {
  HWND wnd = list->Handle();
  int colourMessages = 0;
  TWindowSubclass spy(wnd, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    for (UINT colour : {LVM_GETBKCOLOR, LVM_SETBKCOLOR, LVM_GETTEXTCOLOR, LVM_SETTEXTCOLOR,
                        LVM_GETTEXTBKCOLOR, LVM_SETTEXTBKCOLOR})
      if (msg == colour) ++colourMessages;
    return false;
  });
  for (int i = 0; i < 5; ++i) {
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
  }
  EXPECT_EQ(colourMessages, 0);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(wnd, LVM_GETBKCOLOR, 0, 0)), kEditFace);

  constexpr COLORREF kNewFace = 0x2080F0;
  std::string other = Skin();
  const std::string face = "[EDIT]\nCOLOR=" + std::to_string(kEditFace);
  other.replace(other.find(face), face.size(), "[EDIT]\nCOLOR=" + std::to_string(kNewFace));
  f.AddFolderSkin("Edits2", other, {{"MASTER.BMP", Master()}});
  f.Manager->SetSkinName("Edits2");
  SendSkinCmd(wnd, CmdSkinChanged, reinterpret_cast<LPARAM>(f.Manager.get()));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(wnd, LVM_GETBKCOLOR, 0, 0)), kNewFace);
  // A skinned form repaints all its windows after a new skin.
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Settle(form.Form->Handle());
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(ktest::ClientPixel(wnd, client.right - 3, client.bottom - 3), kNewFace);
}

TEST_F(ListViewAdapter, DraggingTheThumbScrollsByWholeRows) {
  HWND wnd = list->Handle();
  ASSERT_EQ(SendMessageA(wnd, LVM_GETTOPINDEX, 0, 0), 0);
  const TRect bar = adapter->GetVertBarRect();
  const TThumbGeometry thumb =
      GetThumbGeometry(*adapter->VertBar, bar, GetScrollBarSize(*adapter->VertBar, false, false));
  const int x = (bar.Left + bar.Right) / 2;
  DragWithMouse(POINT{x, thumb.Start + thumb.Length / 2},
                POINT{x, thumb.Start + thumb.Length / 2 + (bar.Height() - thumb.Length) / 2});
  Settle(wnd);
  const int top = static_cast<int>(SendMessageA(wnd, LVM_GETTOPINDEX, 0, 0));
  EXPECT_GT(top, 10) << "half way down the track";
  EXPECT_LT(top, 50);
  // Whole rows: the top row starts right under the header.
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(wnd, LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&row));
  RECT hr{};
  GetWindowRect(header, &hr);
  EXPECT_EQ(row.top, hr.bottom - hr.top);
  EXPECT_EQ(GetScrollPos(wnd, SB_VERT), top) << "the bar follows the rows";
}

TEST_F(ListViewAdapter, InListViewTheHorizontalThumbScrollsByWholeColumns) {
  list->SetViewStyle(vsList);
  for (int i = 60; i < 300; ++i) list->Items()->Add()->SetCaption("row " + std::to_string(i));
  HWND wnd = list->Handle();
  if (GetWindowAdapter(wnd) != adapter.get()) {
    // The control made its window anew for the view: the old one let its adapter go.
    EXPECT_TRUE(adapter->Detached());
    adapter = Adopt<TskListViewWnd>(list, "EDIT");
  }
  ASSERT_EQ(GetWindowAdapter(wnd), adapter.get());
  Settle(form.Form->Handle());
  ASSERT_EQ(adapter->GetViewStyle(), TskListViewWnd::TViewKind::List);
  ASSERT_TRUE(adapter->HorzBar->Shown);
  RECT first{};
  first.left = LVIR_BOUNDS;
  SendMessageA(wnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const int columnWidth = first.right - first.left;
  const int startLeft = first.left;
  const TRect bar = adapter->GetHorzBarRect();
  const TThumbGeometry thumb =
      GetThumbGeometry(*adapter->HorzBar, bar, GetScrollBarSize(*adapter->HorzBar, false, false));
  const int y = (bar.Top + bar.Bottom) / 2;
  DragWithMouse(POINT{thumb.Start + thumb.Length / 2, y},
                POINT{thumb.Start + thumb.Length / 2 + (bar.Width() - thumb.Length) / 2, y});
  Settle(wnd);
  SendMessageA(wnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const int moved = startLeft - first.left;
  EXPECT_GT(moved, 0) << "the list scrolled";
  EXPECT_EQ(moved % columnWidth, 0) << "by whole columns";
  EXPECT_EQ(GetScrollPos(wnd, SB_HORZ), moved / columnWidth) << "the bar follows the columns";
}

TEST_F(ListViewAdapter, APressedColumnShowsPressedAndADividerPressShowsNone) {
  RECT hs{};
  GetWindowRect(header, &hs);
  struct TCase {
    int X;  // in the header
    int Pushed;
  };
  for (const TCase c : {TCase{30, 0}, TCase{80 + 30, 1}, TCase{80, -1}}) {
    SCOPED_TRACE(c.X);
    ASSERT_TRUE(ktest::MovePointerTo(POINT{hs.left + c.X, hs.top + 4}));
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    ASSERT_TRUE(ktest::SendInputAndHandle({press}));
    EXPECT_EQ(adapter->PushedColumn(), c.Pushed);
    if (c.Pushed >= 0) {
      Settle(header);
      EXPECT_EQ(ktest::ClientPixel(header, c.X, 2), kHeaderHot);
    }
    press.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_TRUE(ktest::SendInputAndHandle({press}));
    EXPECT_EQ(adapter->PushedColumn(), -1);
  }
  ktest::MoveMouse(POINT{5, 5});
}

TEST_F(ListViewAdapter, ReorderedColumnsArePaintedInTheirVisualOrder) {
  constexpr COLORREF kImage = 0x2020F0;
  ASSERT_TRUE(GiveSmallImageOf(kImage));
  list->Columns()->Items(1)->SetWidth(120);
  // Only the second column carries the image: it tells the columns apart on the screen.
  ASSERT_TRUE(ShowImageInColumn(1));
  // Reordered by the program, not by a drag: the header without HDS_DRAGDROP.
  SetWindowLongPtrA(header, GWL_STYLE, GetWindowLongPtrA(header, GWL_STYLE) & ~HDS_DRAGDROP);
  ASSERT_FALSE(GetWindowLongPtrA(header, GWL_STYLE) & HDS_DRAGDROP);
  int order[] = {1, 0};
  ASSERT_TRUE(SendMessageA(header, HDM_SETORDERARRAY, 2, reinterpret_cast<LPARAM>(order)));
  InvalidateRect(header, nullptr, TRUE);
  Settle(form.Form->Handle());
  RECT hr{};
  GetClientRect(header, &hr);
  EXPECT_EQ(ktest::ClientPixel(header, 4 + 6, hr.bottom / 2), kImage)
      << "the second column, now first, is painted at the left";
  EXPECT_EQ(ktest::ClientPixel(header, 120 + 4 + 6, hr.bottom / 2 + 4), kHeader)
      << "the first column, now second, has no image";
  EXPECT_EQ(adapter->GetHeaderItemRect(0).Left, 0);
  EXPECT_EQ(adapter->GetHeaderItemRect(0).Right, 120) << "the wide column comes first";
  EXPECT_EQ(adapter->GetHeaderItemRect(1).Left, 120);
  RECT hs{};
  GetWindowRect(header, &hs);
  EXPECT_EQ(adapter->HeaderItemAt(POINT{hs.left + 130, hs.top + 3}), 1);
  EXPECT_EQ(adapter->HeaderItemAt(POINT{hs.left + 290, hs.top + 3}), -2) << "right of them";
}

TEST_F(ListViewAdapter, AColumnImageComesFromTheSmallImagesBeforeTheText) {
  constexpr COLORREF kImage = 0x2020F0;
  ASSERT_TRUE(GiveSmallImageOf(kImage));
  ASSERT_TRUE(ShowImageInColumn(0));
  Settle(form.Form->Handle());
  RECT hr{};
  GetClientRect(header, &hr);
  // The text box starts 4 pixels in; the image sits at its start, centred in height.
  EXPECT_EQ(ktest::ClientPixel(header, 4 + 6, hr.bottom / 2), kImage);
  EXPECT_EQ(ktest::ClientPixel(header, 80 + 4 + 6, hr.bottom / 2 + 4), kHeader)
      << "no image in a column without one";
}

TEST_F(ListViewAdapter, ASpyHookedOnTheHeaderAfterTheAdapterStaysWhenTheAdapterGoes) {
  int paints = 0;
  TWindowSubclass spy;
  ASSERT_TRUE(spy.Attach(header, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_PAINT) ++paints;
    return false;
  }));
  adapter->Release(true);
  EXPECT_EQ(adapter->HeaderHandle(), nullptr);
  Settle(form.Form->Handle());
  EXPECT_GT(paints, 0) << "the spy still sees the header's messages";
  EXPECT_NE(ktest::ClientPixel(header, 2, 2), kHeader) << "and the header paints itself";
  adapter.reset();
  InvalidateRect(header, nullptr, TRUE);
  const int before = paints;
  Settle(form.Form->Handle());
  EXPECT_GT(paints, before);
}

TEST_F(ListViewAdapter, AHeaderThatAppearsLaterIsPaintedFromTheSkin) {
  HWND newHeader = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20,
                                   list->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(newHeader, nullptr);
  EXPECT_EQ(adapter->HeaderHandle(), newHeader);
  Settle(newHeader);
  EXPECT_EQ(ktest::ClientPixel(newHeader, 100, 10), kHeader) << "painted as an empty header";
  DestroyWindow(newHeader);
  EXPECT_EQ(adapter->HeaderHandle(), nullptr) << "a header that goes is forgotten";
}

TEST_F(EditAdapters, TreeViewShowsTheSectionExpandsAndGivesItsColourBack) {
  auto* tree = form.Add<TTreeView>();
  tree->SetBounds(10, 10, 200, 150);
  TTreeNode* root = nullptr;
  for (int i = 0; i < 30; ++i) {
    TTreeNode* node = tree->Items()->Add(nullptr, "node " + std::to_string(i));
    if (!root) root = node;
  }
  tree->Items()->AddChild(root, "child");
  form.Show();
  const COLORREF originalBk =
      static_cast<COLORREF>(SendMessageA(tree->Handle(), TVM_GETBKCOLOR, 0, 0));
  auto adapter = Adopt<TskTreeViewWnd>(tree, "EDIT");
  Settle(form.Form->Handle());
  HWND wnd = tree->Handle();
  RECT wr{};
  GetWindowRect(wnd, &wr);
  const int width = wr.right - wr.left;
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(wnd, TVM_GETBKCOLOR, 0, 0)), kEditFace);
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(ktest::ClientPixel(wnd, client.right - 3, client.bottom - 3), kEditFace);
  ASSERT_TRUE(adapter->VertBar->Shown);
  const int thick = GetScrollBarSize(*adapter->VertBar, true, false);
  EXPECT_EQ(WindowPixel(wnd, width - adapter->EdgeRight - thick / 2, adapter->EdgeTop + 3), kArrow);

  // The first node expanded from the keyboard.
  tree->SetFocus();
  tree->SetSelected(root);
  ktest::PressKey(VK_RIGHT);
  EXPECT_TRUE(PumpUntil([&] { return root->Expanded(); }));

  adapter.reset();  // freed without being released first
  Settle(form.Form->Handle());
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(wnd, TVM_GETBKCOLOR, 0, 0)), originalBk);
  EXPECT_NE(WindowPixel(wnd, 0, 0), kBorder);
}

}  // namespace
