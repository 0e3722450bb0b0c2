// The skinned page control under Wine: tabs and body painted from their sections and read
// back, pages turned by mouse clicks on the tabs and by Ctrl+Tab, the page-change cross-fade
// that leaves nothing behind, and close buttons that close, keep or hide pages as the
// handler says.
#include "skin/controls/sPageControlWin32.h"

#include <gtest/gtest.h>

#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsAnimWin32.h"
#include "tests/skin/controls/PagesTestSkinWin32.h"

namespace {

using namespace pagestest;
using ktest::ClientPixel;
using ktest::PumpUntil;
using ktest::Settle;

struct SkinnedPageControl : SkinnedPages {
  TsPageControl* AddPages(std::initializer_list<const char*> captions) {
    pages = form.Add<TsPageControl>();
    pages->SetBounds(10, 10, 370, 240);
    for (const char* caption : captions) {
      auto* page = new TsTabSheet(form.Form);
      page->SetPageControl(pages);
      page->SetCaption(caption);
    }
    return pages;
  }
  TsTabSheet* Page(int i) { return static_cast<TsTabSheet*>(pages->Pages(i)); }
  COLORREF At(int x, int y) { return ClientPixel(pages->Handle(), x, y); }
  // The middle of a page's tab as it is painted, on the screen.
  POINT TabCentre(int i) {
    const TRect r = pages->SkinTabRect(i, pages->ActivePageIndex() == i);
    return ScreenPoint(pages->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  POINT CloseCentre(int i) {
    const TRect r = pages->CloseButtonRect(i);
    return ScreenPoint(pages->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  // The look a tab shows: the index of its border colour at its top-left inside corner.
  int TabLook(int i) {
    const TRect r = pages->SkinTabRect(i, pages->ActivePageIndex() == i);
    // Two pixels in: the active tab covers the first two columns of its right neighbour.
    const COLORREF border = At(r.Left + 2, r.Top + 1);
    for (int s = 0; s < 3; ++s)
      if (border == kTabBorder[s]) return s;
    return -1;
  }
  TsPageControl* pages = nullptr;
};

TEST_F(SkinnedPageControl, TabsAndBodyPaintFromTheirSectionsAndTheBodyShowsThroughThePage) {
  AddPages({"One", "Two", "Three"});
  Page(2)->SetTabSkin("OWNTAB");
  form.Show();
  ApplySkin();
  Settle(Wnd());
  EXPECT_EQ(pages->BodySection(), "PAGECONTROL");
  EXPECT_EQ(TabLook(0), 2) << "the active tab";
  EXPECT_EQ(TabLook(1), 0) << "an inactive tab";
  const TRect active = pages->SkinTabRect(0, true);
  const TRect item = pages->TabRect(0);
  EXPECT_EQ(active, (TRect{item.Left - 2, item.Top - 2, item.Right + 2, item.Bottom + 2}))
      << "the active tab stands 2 pixels out of its item";
  const TRect second = pages->SkinTabRect(1, false);
  EXPECT_EQ(At(second.Left + 4, second.Top + 4), kTabFace[0]);
  const TRect own = pages->SkinTabRect(2, false);
  EXPECT_EQ(At(own.Left + 2, own.Top + 1), kBodyBorder)
      << "a page's own tab section, with the border mask of its parent class";
  EXPECT_EQ(At(own.Left + 5, own.Top + 5), kBody);
  const TRect display = pages->DisplayRect();
  EXPECT_EQ(At(pages->Width() - 20, display.Top - 3), kBodyBorder) << "the body's edge";
  EXPECT_EQ(At(second.Left + 4, display.Top - 3), kBodyBorder)
      << "inactive tabs lie under the body's edge";
  EXPECT_EQ(ClientPixel(Page(0)->Handle(), 100, 100), kBody) << "the page shows the body";
  EXPECT_EQ(At(pages->Width() - 3, 3), kFormColor) << "beside the tabs, the form";
}

TEST_F(SkinnedPageControl, AClickOnATabAndCtrlTabTurnThePages) {
  AddPages({"One", "Two", "Three"});
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  ASSERT_TRUE(ClickAt(TabCentre(1)));
  ASSERT_TRUE(PumpUntil([&] { return pages->ActivePage() == Page(1); }));
  Settle(Wnd());
  EXPECT_TRUE(IsWindowVisible(Page(1)->Handle()));
  EXPECT_FALSE(IsWindowVisible(Page(0)->Handle()));
  EXPECT_EQ(TabLook(1), 2) << "the clicked tab is the active one now";
  EXPECT_EQ(TabLook(0), 0);
  EXPECT_EQ(ClientPixel(Page(1)->Handle(), 100, 100), kBody);

  pages->SetFocus();
  ASSERT_TRUE(ktest::SendInputAndHandle(ktest::KeyStrokes({VK_CONTROL}, VK_TAB)));
  ASSERT_TRUE(PumpUntil([&] { return pages->ActivePage() == Page(2); })) << "Ctrl+Tab: the next";
  ASSERT_TRUE(ktest::SendInputAndHandle(ktest::KeyStrokes({VK_CONTROL}, VK_TAB)));
  ASSERT_TRUE(PumpUntil([&] { return pages->ActivePage() == Page(0); })) << "round to the first";
  ASSERT_TRUE(ktest::SendInputAndHandle(ktest::KeyStrokes({VK_CONTROL, VK_SHIFT}, VK_TAB)));
  ASSERT_TRUE(PumpUntil([&] { return pages->ActivePage() == Page(2); })) << "Ctrl+Shift+Tab: back";
  Settle(Wnd());
  EXPECT_EQ(TabLook(2), 2);
}

TEST_F(SkinnedPageControl, ThePageChangeCrossFadesAndLeavesNoCoverBehind) {
  AddPages({"One", "Two"});
  form.Show();
  ApplySkin();
  f.Manager->AnimEffects()->PageChange.Active = true;
  f.Manager->AnimEffects()->PageChange.Time = 120;
  SetForegroundWindow(Wnd());
  ASSERT_TRUE(ClickAt(TabCentre(1)));
  ASSERT_TRUE(PumpUntil([&] { return pages->ActivePage() == Page(1); }));
  ASSERT_TRUE(PumpUntil([&] { return ChangeCoverWindow() == nullptr; }));
  Settle(Wnd());
  EXPECT_EQ(TabLook(1), 2);
  EXPECT_EQ(ClientPixel(Page(1)->Handle(), 100, 100), kBody);
  // A refused change leaves the page and no cover.
  pages->SetOnChanging(TTabChangingEvent([](TObject*, bool& allow) { allow = false; }));
  ASSERT_TRUE(ClickAt(TabCentre(0)));
  Settle(Wnd());
  EXPECT_EQ(pages->ActivePage(), Page(1));
  EXPECT_EQ(ChangeCoverWindow(), nullptr);
}

TEST_F(SkinnedPageControl, CloseButtonsCloseKeepOrHidePagesAsTheHandlerSays) {
  AddPages({"First", "Second", "Third", "Fourth"});
  TsTabSheet* first = Page(0);
  TsTabSheet* second = Page(1);
  TsTabSheet* third = Page(2);
  pages->SetShowCloseBtns(true);
  pages->SetActivePageIndex(3);
  bool canClose = true;
  TskCloseAction action = acaFree;
  int asked = -1;
  pages->SetOnCloseBtnClick(
      TskCloseBtnClick([&](TComponent*, int index, bool& can, TskCloseAction& what) {
        asked = index;
        can = canClose;
        what = action;
      }));
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  ASSERT_GT(pages->CloseButtonRect(3).Width(), 0) << "the skin's close icon";
  const TRect otherClose = pages->CloseButtonRect(1);
  EXPECT_EQ(At(otherClose.Left + 6, otherClose.Top + 6), kClose[0]) << "a close button";

  // The active last page closed: the page before it becomes active.
  ASSERT_TRUE(ktest::MovePointerTo(CloseCentre(3)));
  Settle(Wnd());
  const TRect hot = pages->CloseButtonRect(3);
  EXPECT_EQ(At(hot.Left + 6, hot.Top + 6), kClose[1]) << "hot under the mouse";
  ASSERT_TRUE(LeftButton(true));
  ASSERT_TRUE(LeftButton(false));
  ASSERT_TRUE(PumpUntil([&] { return pages->PageCount() == 3; }));
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(pages->ActivePage(), third);

  // A handler that says no keeps the page.
  canClose = false;
  ASSERT_TRUE(ClickAt(CloseCentre(2)));
  Settle(Wnd());
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->ActivePage(), third);

  // Closing a page before the active one leaves the active page as it was.
  canClose = true;
  ASSERT_TRUE(ClickAt(CloseCentre(0)));
  ASSERT_TRUE(PumpUntil([&] { return pages->PageCount() == 2; }));
  EXPECT_EQ(pages->Pages(0), second);
  EXPECT_EQ(pages->ActivePage(), third) << "not the page that moved into the active index";
  (void)first;

  // Hidden instead of freed: the page stays without its tab and another page shows.
  action = acaHide;
  ASSERT_TRUE(ClickAt(CloseCentre(1)));
  ASSERT_TRUE(PumpUntil([&] { return !third->TabVisible(); }));
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->ActivePage(), second);
  Settle(Wnd());
  EXPECT_EQ(TabLook(0), 2);
}

TEST_F(SkinnedPageControl, WithoutASkinItKeepsTheStandardLook) {
  AddPages({"One", "Two"});
  form.Show();
  Settle(Wnd());
  EXPECT_NE(ClientPixel(Page(0)->Handle(), 100, 100), kBody);
  ApplySkin();
  EXPECT_EQ(ClientPixel(Page(0)->Handle(), 100, 100), kBody);
  RemoveSkin();
  EXPECT_NE(ClientPixel(Page(0)->Handle(), 100, 100), kBody) << "the standard look is back";
  EXPECT_NE(ClientPixel(pages->Handle(), 20, 10), kTabBorder[2]);
}

}  // namespace
