// The push button, check box and group box adapters under Wine on the system's own buttons in
// a plain window: each adopted, painted from its skin section (border state by colour, check
// glyphs, the group's frame and caption strip), still clicked and checked through real mouse
// input, an owner-drawn button drawn by its owner, and each let go when its window goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "skin/adapters/skBtnWndWin32.h"
#include "skin/adapters/skCheckBoxWndWin32.h"
#include "skin/adapters/skGroupBoxWndWin32.h"
#include "tests/skin/adapters/DialogAdapterFixtureWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using namespace dlgtest;

template <class TAdapter>
std::unique_ptr<TAdapter> Attach(HWND wnd, const char* section, TsSkinManager* manager,
                                 bool inDialog = false) {
  DialogAdapterMode = inDialog;
  auto adapter = TskMainWnd::Make<TAdapter>(wnd, nullptr, manager, section, true);
  DialogAdapterMode = false;
  return adapter;
}

TEST_F(DialogAdapters, APushButtonShowsItsLooksAndStillClicks) {
  HWND button = window.Child("BUTTON", "Go", BS_PUSHBUTTON, 20, 20, 100, 30);
  HWND other = window.Child("BUTTON", "Other", BS_PUSHBUTTON, 200, 20, 100, 30, 0, 101);
  window.Show();
  auto adapter = Attach<TskBtnWnd>(button, "", f.Manager.get());
  auto otherAdapter = Attach<TskBtnWnd>(other, "", f.Manager.get());
  EXPECT_EQ(adapter->CommonData()->SkinSection(), "BUTTON");
  InvalidateRect(button, nullptr, TRUE);
  Settle(window.Wnd());
  EXPECT_EQ(WindowPixel(button, 0, 0), kBorder[0]);
  EXPECT_EQ(WindowPixel(button, 4, 4), kFace[0]);
  ASSERT_TRUE(PointAt(button, 50, 15));
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(button, 0, 0) == kBorder[1]; })) << "hot";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(button, 0, 0) == kBorder[2]; })) << "pressed";
  EXPECT_EQ(window.Heard().Clicks, 0);
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return window.Heard().Clicks == 1; }));
  ktest::SaveScreenshot(window.Wnd(), "push_button_adapter");
  ASSERT_TRUE(PointAt(other, 50, 15));
  EXPECT_TRUE(PumpUntil([&] { return otherAdapter->CommonData()->MouseOver; }));
  EXPECT_TRUE(PumpUntil([&] { return !adapter->CommonData()->MouseOver; })) << "the hot look ends";
  EXPECT_EQ(GetFocus(), button);
  EXPECT_EQ(WindowPixel(button, 0, 0), kBorder[1]) << "the focused button keeps the hot look";
  EXPECT_EQ(WindowPixel(other, 0, 0), kBorder[1]);
  SetFocus(other);
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(button, 0, 0) == kBorder[0]; }));
  ktest::ParkPointer();
  DestroyWindow(button);
  EXPECT_TRUE(adapter->Detached());
}

TEST_F(DialogAdapters, ADisabledPushButtonKeepsFortyPercentOfItsLook) {
  HWND button = window.Child("BUTTON", "", BS_PUSHBUTTON | WS_DISABLED, 20, 20, 100, 30);
  window.Show();
  auto adapter = Attach<TskBtnWnd>(button, "BUTTON", f.Manager.get());
  InvalidateRect(button, nullptr, TRUE);
  Settle(window.Wnd());
  // 40 % of the face over the window's plain colour.
  const COLORREF face = kFace[0];
  auto mix = [](int own, int behind) { return (own * 4 + behind * 6 + 5) / 10; };
  const COLORREF expected =
      RGB(mix(GetRValue(face), GetRValue(kGlobal)), mix(GetGValue(face), GetGValue(kGlobal)),
          mix(GetBValue(face), GetBValue(kGlobal)));
  EXPECT_TRUE(Near(WindowPixel(button, 50, 15), expected, 3))
      << std::hex << WindowPixel(button, 50, 15) << " " << expected;
  SendMessageA(button, WM_SETFOCUS, 0, 0);
  EXPECT_FALSE(adapter->CommonData()->HasFocus) << "a disabled button never takes the focus";
}

TEST_F(DialogAdapters, CheckBoxesAndRadioButtonsShowTheirGlyphAndToggleByClicks) {
  struct TCase {
    DWORD Style;
    COLORREF Checked;
  };
  for (const TCase c : {TCase{BS_AUTOCHECKBOX, kCheck[1]}, TCase{BS_AUTORADIOBUTTON, kCheck[1]}}) {
    SCOPED_TRACE(c.Style);
    HWND box = window.Child("BUTTON", "Option", c.Style, 20, 60, 160, 24);
    window.Show();
    auto adapter = Attach<TskCheckBoxWnd>(box, "", f.Manager.get());
    EXPECT_EQ(adapter->CommonData()->SkinSection(), "CHECKBOX");
    InvalidateRect(box, nullptr, TRUE);
    Settle(window.Wnd());
    EXPECT_EQ(WindowPixel(box, 8, 12), kUncheck[0]);
    EXPECT_EQ(WindowPixel(box, 158, 2), kBoxFace) << "the section beside the caption";
    const int clicks = window.Heard().Clicks;
    ASSERT_TRUE(PointAt(box, 8, 12));
    ASSERT_TRUE(LeftButton(true));
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(box, 8, 12) == kUncheck[2]; })) << "pressed";
    ASSERT_TRUE(LeftButton(false));
    EXPECT_TRUE(PumpUntil([&] { return window.Heard().Clicks == clicks + 1; }));
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(box, 8, 12) == c.Checked; }))
        << "checked and focused";
    ktest::SaveScreenshot(window.Wnd(), "check_box_adapter");
    ktest::ParkPointer();
    DestroyWindow(box);
    EXPECT_TRUE(adapter->Detached());
  }
}

TEST_F(DialogAdapters, AnOwnerDrawnButtonIsDrawnByItsOwner) {
  HWND button = window.Child("BUTTON", "", BS_OWNERDRAW, 20, 20, 100, 30);
  window.Show();
  auto adapter = Attach<TskCheckBoxWnd>(button, "CHECKBOX", f.Manager.get());
  EXPECT_TRUE(adapter->IsOwnerDrawn());
  const int drawn = window.Heard().DrawItems;
  InvalidateRect(button, nullptr, TRUE);
  Settle(window.Wnd());
  EXPECT_GT(window.Heard().DrawItems, drawn);
  EXPECT_EQ(WindowPixel(button, 50, 15), kOwnerDrawn);
  ASSERT_TRUE(PointAt(button, 50, 15));
  const int clicks = window.Heard().Clicks;
  ASSERT_TRUE(LeftButton(true));
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return window.Heard().Clicks == clicks + 1; }));
  ktest::ParkPointer();
}

TEST_F(DialogAdapters, AGroupBoxFramesItsInsideBelowACaptionStripOfItsParent) {
  HWND group = window.Child("BUTTON", "Group", BS_GROUPBOX, 20, 20, 200, 120);
  HWND inside = CreateWindowExA(0, "BUTTON", "In", WS_CHILD | WS_VISIBLE, 40, 40, 60, 24, group,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  window.Show();
  auto adapter = Attach<TskGroupBoxWnd>(group, "", f.Manager.get());
  EXPECT_EQ(adapter->CommonData()->SkinSection(), "GROUPBOX");
  RedrawWindow(group, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Settle(window.Wnd());
  const TRect caption = adapter->GetCaptionRect();
  EXPECT_EQ(caption.Left, 6);
  EXPECT_GT(caption.Height(), 4);
  EXPECT_EQ(SendSkinCmd(group, CmdGetContainerInfo, 0), caption.Height())
      << "children ask where the inside begins";
  const int frameTop = caption.Height() / 2;
  EXPECT_EQ(WindowPixel(group, 0, 0), kGlobal) << "the caption strip shows the parent";
  EXPECT_EQ(WindowPixel(group, 0, frameTop), kBorder[0]);
  EXPECT_EQ(WindowPixel(group, 199, 119), kBorder[0]);
  EXPECT_EQ(WindowPixel(group, 20, 100), kFace[0]) << "the mask's face inside";
  EXPECT_EQ(WindowPixel(group, caption.Left + 2, frameTop), kGlobal)
      << "the frame is interrupted behind the caption";
  EXPECT_NE(WindowPixel(inside, 30, 12), kFace[0]) << "a child keeps its own picture";
  ktest::SaveScreenshot(window.Wnd(), "group_box_adapter");
  DestroyWindow(group);
  EXPECT_TRUE(adapter->Detached());
}

}  // namespace
