// The skinned list box under Wine: its items over its section with the selected one from the
// SELECTION section, the area no item covers from its cached picture, selection by mouse and
// keyboard with and without the skin, a scroll step painted with every item, the scroll bar that
// stays while AutoHideScroll is off, and a user's item painter at the item's place.
#include "skin/controls/sListBoxWin32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::PumpUntil;
using ktest::Settle;

struct SkinnedListBox : SkinnedControls {
  TsListBox* AddList(int count) {
    auto* list = form.Add<TsListBox>();
    list->SetBounds(20, 20, 200, 150);
    for (int i = 0; i < count; ++i) list->Items()->Add("item " + std::to_string(i));
    return list;
  }
  // A point of the item's row right of its text: only the item's background shows there.
  static POINT Blank(TsListBox* list, int index) {
    const TRect r = list->ItemRect(index);
    return POINT{r.Right - 4, (r.Top + r.Bottom) / 2};
  }
  static COLORREF BlankPixel(TsListBox* list, int index) {
    const POINT p = Blank(list, index);
    return ClientPixel(list->Handle(), p.x, p.y);
  }
  static TRect Client(TsListBox* list) {
    RECT r{};
    GetClientRect(list->Handle(), &r);
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  // The area is the cached picture: the test skin's border is three pixels wide and the
  // window's frame two, so the border's inner ring lies in the client area, the face inside it.
  static void ExpectFaceInsideTheBordersRing(TsListBox* list, const TRect& area) {
    HWND wnd = list->Handle();
    const TRect client = Client(list);
    const TRect face{std::max(area.Left, 1), std::max(area.Top, 1),
                     std::min(area.Right, client.Right - 1),
                     std::min(area.Bottom, client.Bottom - 1)};
    EXPECT_EQ(CountClientPixels(wnd, face, kEditFace), face.Width() * face.Height());
    EXPECT_EQ(ClientPixel(wnd, 0, face.Bottom - 1), kBorder);
    EXPECT_EQ(ClientPixel(wnd, client.Right - 1, face.Bottom - 1), kBorder);
    EXPECT_EQ(ClientPixel(wnd, client.Right / 2, client.Bottom - 1), kBorder);
  }
};

TEST_F(SkinnedListBox, PaintsItsItemsOverItsSectionAndTheSelectedOneFromTheSelectionSection) {
  TsListBox* list = AddList(4);
  form.Show();
  ApplySkin();
  list->SetItemIndex(1);
  Settle(Wnd());
  HWND wnd = list->Handle();
  EXPECT_EQ(list->SkinData()->SkinSection(), "EDIT");
  ASSERT_NE(list->ScrollWnd(), nullptr) << "the frame and bar come from an edit adapter";
  EXPECT_EQ(ktest::WindowPixel(wnd, 0, 0), kBorder);
  for (int index : {0, 2, 3}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(BlankPixel(list, index), kEditFace);
    EXPECT_GT(CountClientPixels(wnd, list->ItemRect(index), kEditFont), 0)
        << "the text in the section's font colour";
  }
  EXPECT_EQ(BlankPixel(list, 1), kSelection);
  EXPECT_GT(CountClientPixels(wnd, list->ItemRect(1), kSelectionFont), 0);
  // Below the last item the section's face, copied from the picture of the whole control.
  const TRect client = Client(list);
  ExpectFaceInsideTheBordersRing(
      list, TRect{client.Left, list->ItemRect(3).Bottom, client.Right, client.Bottom});
  ktest::SaveScreenshot(Wnd(), "listbox_skinned");
}

TEST_F(SkinnedListBox, AnEmptyListShowsItsSectionOverTheWholeClientArea) {
  TsListBox* list = AddList(0);
  form.Show();
  ApplySkin();
  Settle(Wnd());
  ExpectFaceInsideTheBordersRing(list, Client(list));
}

TEST_F(SkinnedListBox, SelectsByMouseAndKeyboardSkinnedAndWithoutASkin) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "standard");
    TsListBox* list = AddList(6);
    form.Show();
    if (skinned) ApplySkin();
    Settle(Wnd());
    SetForegroundWindow(Wnd());
    const TRect row = list->ItemRect(3);
    POINT at{20, (row.Top + row.Bottom) / 2};
    ClientToScreen(list->Handle(), &at);
    ktest::Click(at);
    ASSERT_TRUE(PumpUntil([&] { return list->ItemIndex() == 3; }));
    ktest::PressKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return list->ItemIndex() == 4; }));
    ktest::PressKey(VK_HOME);
    ASSERT_TRUE(PumpUntil([&] { return list->ItemIndex() == 0; }));
    Settle(Wnd());
    EXPECT_EQ(BlankPixel(list, 0), skinned ? kSelection : GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(BlankPixel(list, 3), skinned ? kEditFace : GetSysColor(COLOR_WINDOW));
    if (skinned) {
      RemoveSkin();
      Settle(Wnd());
      EXPECT_EQ(list->Color(), clWindow);
      EXPECT_NE(ktest::WindowPixel(list->Handle(), 0, 0), kBorder);
      EXPECT_EQ(BlankPixel(list, 3), GetSysColor(COLOR_WINDOW)) << "the system's look is back";
      EXPECT_EQ(BlankPixel(list, 0), GetSysColor(COLOR_HIGHLIGHT));
    }
    delete list;
  }
}

TEST_F(SkinnedListBox, AScrollStepShowsEveryItemInItsNewPlace) {
  TsListBox* list = AddList(30);
  form.Show();
  ApplySkin();
  list->SetItemIndex(2);
  Settle(Wnd());
  ASSERT_NE(list->ScrollWnd(), nullptr);
  SendMessageA(list->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  Settle(Wnd());
  ASSERT_EQ(list->TopIndex(), 1);
  HWND wnd = list->Handle();
  const TRect client = Client(list);
  for (int index = 1; list->ItemRect(index).Bottom <= client.Bottom; ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(BlankPixel(list, index), index == 2 ? kSelection : kEditFace);
    EXPECT_GT(
        CountClientPixels(wnd, list->ItemRect(index), index == 2 ? kSelectionFont : kEditFont), 0);
  }
  EXPECT_EQ(list->ItemRect(2).Top, list->ItemRect(1).Bottom) << "the selected item moved up";
}

TEST_F(SkinnedListBox, StandardListsAreOwnerDrawnAndKeepADisabledBarOnlyWithoutAutoHide) {
  struct TCase {
    bool AutoHide;
    bool BarShown;
  } const cases[] = {{true, false}, {false, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.AutoHide ? "auto hide" : "bar kept");
    TsListBox* list = AddList(2);
    list->SetAutoHideScroll(c.AutoHide);
    form.Show();
    const LONG style = GetWindowLongA(list->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & LBS_OWNERDRAWFIXED);
    EXPECT_EQ((style & WS_VSCROLL) != 0, c.BarShown);
    delete list;
  }
}

TEST_F(SkinnedListBox, AUserItemPainterDrawsAtTheItemsPlaceSkinnedAndWithoutASkin) {
  constexpr COLORREF kOwn = 0x00FF80;
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "standard");
    TsListBox* list = AddList(3);
    list->SetOnDrawItem([&](TControl*, int index, TRect rect, TOwnerDrawState) {
      if (index != 1) return;
      // Only the item's right half, in client coordinates.
      list->Canvas()->Brush()->SetColor(static_cast<TColor>(kOwn));
      list->Canvas()->FillRect(
          TRect{(rect.Left + rect.Right) / 2, rect.Top, rect.Right, rect.Bottom});
    });
    form.Show();
    if (skinned) ApplySkin();
    Settle(Wnd());
    const TRect r = list->ItemRect(1);
    const int y = (r.Top + r.Bottom) / 2;
    EXPECT_EQ(ClientPixel(list->Handle(), r.Right - 4, y), kOwn);
    EXPECT_EQ(ClientPixel(list->Handle(), r.Left + 4, y),
              skinned ? kEditFace : GetSysColor(COLOR_WINDOW));
    if (skinned) RemoveSkin();
    delete list;
  }
}

}  // namespace
