// The skinned up-down under Wine: its halves painted from the scroll-button sections (21
// pixels split as 10 + 11), clicks through the input queue changing the associated edit, the
// hot and pressed looks, and a half at its limit greyed toward the parent and never pressed.
#include "skin/controls/sUpDownWin32.h"

#include <gtest/gtest.h>

#include "framework/StdCtrlsWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "tests/skin/controls/PagesTestSkinWin32.h"

namespace {

using namespace pagestest;
using ktest::ClientPixel;
using ktest::Near;
using ktest::PumpUntil;
using ktest::Settle;

// 40 % of the half's colour over 60 % of the parent's.
COLORREF Greyed(COLORREF face, COLORREF parent) {
  const auto mix = [&](int shift) {
    return static_cast<COLORREF>(
               (((face >> shift) & 0xFF) * 40 + ((parent >> shift) & 0xFF) * 60 + 50) / 100)
           << shift;
  };
  return mix(0) | mix(8) | mix(16);
}

struct SkinnedUpDown : SkinnedPages {
  void Build(int position) {
    edit = form.Add<TEdit>();
    edit->SetBounds(20, 20, 60, 21);
    upDown = form.Add<TsUpDown>();
    upDown->SetBounds(80, 20, 16, 21);
    upDown->SetMin(0);
    upDown->SetMax(5);
    upDown->SetPosition(position);
    upDown->SetThousands(false);
    upDown->SetAssociate(edit);
    form.Show();
    ApplySkin();
    SetForegroundWindow(Wnd());
    Settle(Wnd());
  }
  RECT Client() {
    RECT r{};
    GetClientRect(upDown->Handle(), &r);
    return r;
  }
  COLORREF Upper() { return ClientPixel(upDown->Handle(), Client().right / 2, 4); }
  COLORREF Lower() {
    return ClientPixel(upDown->Handle(), Client().right / 2, Client().bottom - 4);
  }
  POINT UpperPoint() { return ScreenPoint(upDown->Handle(), Client().right / 2, 4); }
  POINT LowerPoint() {
    return ScreenPoint(upDown->Handle(), Client().right / 2, Client().bottom - 4);
  }
  TEdit* edit = nullptr;
  TsUpDown* upDown = nullptr;
};

TEST_F(SkinnedUpDown, TheHalvesPaintFromTheScrollButtonsSplitTenAndEleven) {
  Build(2);
  ASSERT_EQ(Client().bottom, 21);
  const int x = Client().right / 2;
  EXPECT_EQ(ClientPixel(upDown->Handle(), x, 0), kUpFace[0]);
  EXPECT_EQ(ClientPixel(upDown->Handle(), x, 9), kUpFace[0]) << "the upper half's last row";
  EXPECT_EQ(ClientPixel(upDown->Handle(), x, 10), kDownFace[0]) << "the lower half's first row";
  EXPECT_EQ(ClientPixel(upDown->Handle(), x, 20), kDownFace[0]);
  EXPECT_EQ(SendSkinCmd(upDown->Handle(), CmdIsSkinned, 0), 1);
}

TEST_F(SkinnedUpDown, ClicksChangeTheEditAndAHalfAtItsLimitIsGreyedAndNeverPressed) {
  Build(4);
  ASSERT_TRUE(ktest::MovePointerTo(LowerPoint()));
  ASSERT_TRUE(PumpUntil([&] { return upDown->DrawingState() == sUpDown::udlSecondHot; }));
  Settle(Wnd());
  EXPECT_EQ(Lower(), kDownFace[1]) << "hot under the mouse";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_EQ(upDown->DrawingState(), sUpDown::udlSecondPressed) << "pressed while held";
  ASSERT_TRUE(LeftButton(false));
  ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "3"; })) << edit->Text();

  ASSERT_TRUE(ktest::MovePointerTo(UpperPoint()));
  ASSERT_TRUE(LeftButton(true));
  ASSERT_TRUE(LeftButton(false));
  ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "4"; })) << edit->Text();
  // The pointer stays where it is: the button alone goes down and up again.
  ASSERT_TRUE(LeftButton(true));
  ASSERT_TRUE(LeftButton(false));
  ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "5"; })) << edit->Text();
  Settle(Wnd());
  EXPECT_EQ(upDown->DrawingState(), sUpDown::udlNone) << "the half at Max shows no press";
  EXPECT_TRUE(Near(Upper(), Greyed(kUpFace[0], kFormColor), 3)) << std::hex << Upper();
  EXPECT_EQ(Lower(), kDownFace[0]) << "the other half stays as it was";

  ASSERT_TRUE(LeftButton(true));
  Settle(Wnd());
  EXPECT_TRUE(Near(Upper(), Greyed(kUpFace[0], kFormColor), 3)) << "no pressed look at the limit";
  ASSERT_TRUE(LeftButton(false));
  Settle(Wnd());
  EXPECT_EQ(edit->Text(), "5");

  upDown->SetShowInaccessibility(false);
  Settle(Wnd());
  EXPECT_EQ(Upper(), kUpFace[0]) << "without inaccessibility the limit is not shown";
}

TEST_F(SkinnedUpDown, ADisabledUpDownGreysBothHalvesAndNoSkinMeansTheSystemLook) {
  Build(2);
  upDown->SetEnabled(false);
  Settle(Wnd());
  EXPECT_TRUE(Near(Upper(), Greyed(kUpFace[0], kFormColor), 3));
  EXPECT_TRUE(Near(Lower(), Greyed(kDownFace[0], kFormColor), 3));
  upDown->SetEnabled(true);
  RemoveSkin();
  Settle(Wnd());
  EXPECT_NE(Upper(), kUpFace[0]);
  EXPECT_NE(Lower(), kDownFace[0]);
}

}  // namespace
