// The skinned extended combo box under Wine: the closed box painted from its section with the
// skin's button and arrow and the current item's image, the dropped list's items with their
// images, indents and the selection, items chosen by mouse and keyboard with and without the
// skin, a read-only box that keeps its list closed, and a disabled box that stays idle.
#include "skin/controls/sComboBoxesWin32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/ImgListWin32.h"
#include "skin/controls/sComboBoxExGeometry.h"
#include "skin/controls/sComboBoxGeometry.h"
#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::PumpUntil;
using ktest::Settle;
using ktest::WindowPixel;

constexpr COLORREF kImage = 0x00C0FF;  // the one image: a solid square

void PutTextOnClipboard(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

struct SkinnedComboEx : SkinnedControls {
  TsComboBoxEx* AddBox(TComboBoxExStyle style, int items, int left = 20, int top = 20) {
    if (!images) {
      images = new TImageList(form.Form);
      images->SetSize(12, 12);
      TBitmap square;
      square.SetSize(12, 12);
      square.Canvas()->Brush()->SetColor(static_cast<TColor>(kImage));
      square.Canvas()->FillRect(TRect{0, 0, 12, 12});
      images->Add(&square, nullptr);
    }
    auto* box = form.Add<TsComboBoxEx>();
    box->SetName("ComboEx" + std::to_string(++count));
    box->SetStyle(style);
    box->SetImages(images);
    box->SetBounds(left, top, 140, 22);
    for (int i = 0; i < items; ++i)
      box->ItemsEx()->AddItem("Item " + std::to_string(i), i % 2 == 0 ? 0 : -1, -1, i == 1 ? 2 : 0);
    box->SetItemIndex(0);
    return box;
  }
  static HWND ListOf(TsComboBoxEx* box) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(box->InnerComboHandle(), &info);
    return info.hwndList;
  }
  // The screen point in the middle of the dropped list's item.
  static POINT ListItemPoint(TsComboBoxEx* box, int index) {
    RECT r{};
    SendMessageA(ListOf(box), LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(ListOf(box), &p);
    return p;
  }
  static TRect ListItemRect(TsComboBoxEx* box, int index) {
    RECT r{};
    SendMessageA(ListOf(box), LB_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&r));
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  static POINT ButtonPoint(TsComboBoxEx* box) {
    RECT r{};
    GetWindowRect(box->Handle(), &r);
    return POINT{r.right - 8, (r.top + r.bottom) / 2};
  }
  static TRect ButtonOf(TsComboBoxEx* box) {
    return ComboButtonRect(box->Width(), box->Height(), GetSystemMetrics(SM_CXVSCROLL), false,
                           TsComboKind::DropDown);
  }
  TImageList* images = nullptr;
  int count = 0;
};

TEST_F(SkinnedComboEx, TheClosedBoxShowsItsSectionButtonArrowAndTheItemsImage) {
  TsComboBoxEx* box = AddBox(csExDropDownList, 3);
  form.Show();
  ApplySkin();
  Settle(Wnd());
  HWND wnd = box->Handle();
  EXPECT_EQ(box->SkinData()->SkinSection(), "COMBOBOX");
  ASSERT_NE(box->InnerComboHandle(), nullptr);
  const TRect button = ButtonOf(box);
  EXPECT_EQ(WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_EQ(WindowPixel(wnd, box->Width() - 1, box->Height() - 1), kBorder);
  EXPECT_EQ(WindowPixel(wnd, button.Left + 1, button.Top + 1), kComboButton);
  const TPoint arrow = ComboArrowPlace(button, box->Height(), 8, 6);
  EXPECT_EQ(WindowPixel(wnd, arrow.X + 4, arrow.Y + 3), kArrow);
  // The current item's image, then the box's face behind its text.
  const TRect edit = ComboExEditRect(button, box->Width(), box->Height(), false);
  EXPECT_EQ(WindowPixel(wnd, edit.Left + 2 + 6, box->Height() / 2), kImage);
  EXPECT_EQ(WindowPixel(wnd, button.Left - 3, box->Height() / 2), kComboFace);
  ktest::SaveScreenshot(Wnd(), "comboex-closed");
}

TEST_F(SkinnedComboEx, TheDroppedListShowsImagesIndentsAndTheSelection) {
  TsComboBoxEx* box = AddBox(csExDropDownList, 4);
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  ktest::Click(ButtonPoint(box));
  ASSERT_TRUE(PumpUntil([&] { return box->DroppedDown(); }));
  Settle(Wnd());
  EXPECT_TRUE(box->ListDropped());
  HWND list = ListOf(box);
  ASSERT_EQ(box->ListHandle(), list) << "the list is learned from its colour question";
  EXPECT_NE(box->ListAdapter(), nullptr);
  // Item 0 is the current one: selected, its image on the selection.
  const TRect first = ListItemRect(box, 0);
  EXPECT_EQ(ClientPixel(list, first.Right - 3, (first.Top + first.Bottom) / 2), kSelection);
  EXPECT_EQ(ClientPixel(list, first.Left + 2 + 6, (first.Top + first.Bottom) / 2), kImage);
  // Item 2 is neither selected nor indented; item 1 is indented two steps, and its strip and
  // the place of its (missing) image keep the box's colour.
  const TRect third = ListItemRect(box, 2);
  EXPECT_EQ(ClientPixel(list, third.Left + 2 + 6, (third.Top + third.Bottom) / 2), kImage);
  EXPECT_EQ(ClientPixel(list, third.Right - 3, (third.Top + third.Bottom) / 2),
            static_cast<COLORREF>(ColorToRGB(box->Color())));
  ktest::SaveScreenshot(GetDesktopWindow(), "comboex-dropped");
  ktest::PressKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !box->DroppedDown(); }));
}

// Each box is chosen from by the mouse (drop the list at the button, click an item) and by the
// keyboard (the down arrow on the focused box), skinned and with the standard look.
TEST_F(SkinnedComboEx, ItemsAreChosenByMouseAndKeyboardWithAndWithoutTheSkin) {
  for (bool skinned : {true, false}) {
    for (TComboBoxExStyle style : {csExDropDownList, csExDropDown}) {
      SCOPED_TRACE(testing::Message() << "skinned " << skinned << " style " << style);
      TsComboBoxEx* box = AddBox(style, 5, 20, 20 + 30 * count);
      int changes = 0;
      box->SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
      form.Show();
      if (skinned)
        ApplySkin();
      else
        RemoveSkin();
      Settle(Wnd());
      SetForegroundWindow(Wnd());
      ktest::Click(ButtonPoint(box));
      ASSERT_TRUE(PumpUntil([&] { return box->DroppedDown(); }));
      EXPECT_EQ(box->ListDropped(), skinned);
      ktest::Click(ListItemPoint(box, 3));
      ASSERT_TRUE(PumpUntil([&] { return !box->DroppedDown() && box->ItemIndex() == 3; }))
          << box->ItemIndex();
      EXPECT_GE(changes, 1);
      EXPECT_FALSE(box->ListDropped());
      ASSERT_TRUE(PumpUntil([&] { return box->Focused(); }));
      ktest::PressKey(VK_DOWN);
      EXPECT_TRUE(PumpUntil([&] { return box->ItemIndex() == 4; })) << box->ItemIndex();
      ktest::PressKey(VK_UP);
      EXPECT_TRUE(PumpUntil([&] { return box->ItemIndex() == 3; })) << box->ItemIndex();
      Settle(Wnd());
      if (skinned) {
        EXPECT_EQ(WindowPixel(box->Handle(), 0, 0), kBorder);
      } else {
        EXPECT_NE(WindowPixel(box->Handle(), 0, 0), kBorder);
      }
    }
  }
}

TEST_F(SkinnedComboEx, AReadOnlyBoxKeepsItsListClosedAndItsItem) {
  for (bool skinned : {true, false}) {
    for (TComboBoxExStyle style : {csExDropDownList, csExDropDown}) {
      SCOPED_TRACE(testing::Message() << "skinned " << skinned << " style " << style);
      TsComboBoxEx* box = AddBox(style, 5, 20, 20 + 30 * count);
      box->SetItemIndex(1);
      box->SetReadOnly(true);
      form.Show();
      if (skinned)
        ApplySkin();
      else
        RemoveSkin();
      // The list window is never shown, not even for a moment.
      int listShown = 0;
      TWindowSubclass listWatch;
      ASSERT_TRUE(listWatch.Attach(ListOf(box), [&](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT&) {
        if (msg == WM_WINDOWPOSCHANGED &&
            (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_SHOWWINDOW))
          ++listShown;
        return false;
      }));
      PutTextOnClipboard("Pasted");
      SetForegroundWindow(Wnd());
      ktest::Click(ButtonPoint(box));
      ASSERT_TRUE(PumpUntil([&] { return box->Focused(); })) << "the click focuses";
      ktest::DoubleClick(ButtonPoint(box));
      Settle(Wnd());
      for (int key : {VK_DOWN, VK_UP, VK_END, VK_SPACE, int{'I'}, VK_F4})
        ktest::PressKey(static_cast<WORD>(key));
      ktest::PressKeys({VK_MENU}, VK_DOWN);
      ktest::PressKeys({VK_CONTROL}, 'V');
      ktest::PressKeys({VK_SHIFT}, VK_INSERT);
      Settle(Wnd());
      EXPECT_EQ(listShown, 0);
      EXPECT_FALSE(box->DroppedDown());
      EXPECT_EQ(box->ItemIndex(), 1);
      EXPECT_EQ(box->Text(), "Item 1");
      // A list opened by the program is closed again at once.
      SendMessageA(box->InnerComboHandle(), CB_SHOWDROPDOWN, TRUE, 0);
      EXPECT_TRUE(PumpUntil([&] { return !box->DroppedDown(); }));
      EXPECT_EQ(box->ItemIndex(), 1);
    }
  }
}

// A disabled drop-down box shows its text in its cached picture; its edit must not be asked
// to paint again and again, which would keep the processor busy while nothing happens.
TEST_F(SkinnedComboEx, ADisabledBoxDoesNotRepaintWhileIdle) {
  TsComboBoxEx* box = AddBox(csExDropDown, 3);
  form.Show();
  ApplySkin();
  Settle(Wnd());
  ASSERT_NE(box->EditHandle(), nullptr);
  int paints = 0;
  int inARow = 0;  // paints since the test last handled anything else
  TWindowSubclass counter;
  ASSERT_TRUE(
      counter.Attach(box->EditHandle(), [&](HWND wnd, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_PAINT) return false;
        ++paints;
        // Past any sensible count the loop is proven: the counter ends it, so that the test can
        // report it instead of spinning with it.
        if (++inARow < 100) return false;
        ValidateRect(wnd, nullptr);
        result = 0;
        return true;
      }));
  box->SetEnabled(false);
  Settle(Wnd());
  // Something uncovers the edit once; then nothing happens for a second.
  paints = 0;
  inARow = 0;
  InvalidateRect(box->EditHandle(), nullptr, TRUE);
  const ULONGLONG end = GetTickCount64() + 1000;
  while (GetTickCount64() < end) {
    inARow = 0;
    ktest::Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  EXPECT_GE(paints, 1) << "the uncovered edit is painted";
  EXPECT_LE(paints, 2) << "paints of the idle edit in a second";
  ktest::SaveScreenshot(Wnd(), "comboex-disabled");
}

}  // namespace
