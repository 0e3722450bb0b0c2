// The skinned rich edit on a form of its own under Wine: its frame, face and text colour from
// its section with a skinned scroll bar, the text blended toward the face while disabled, a log
// far beyond the window's default limit kept whole, its frame printed, and the system's look back
// once the skin goes.
#include "skin/controls/sRichEditWin32.h"

#include <gtest/gtest.h>

#include <string>

#include "skin/adapters/skScrollWndWin32.h"
#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::Settle;

struct SkinnedRichEdit : SkinnedControls {
  // A log pane: plain text, a vertical bar only, no wrapping, read only.
  TsRichEdit* AddLog(int lines) {
    auto* edit = form.Add<TsRichEdit>();
    edit->SetPlainText(true);
    edit->SetBounds(20, 20, 300, 160);
    edit->SetScrollBars(ssVertical);
    edit->SetWordWrap(false);
    edit->SetReadOnly(true);
    form.Show();
    for (int i = 0; i < lines; ++i) edit->Lines()->Add("line " + std::to_string(i));
    return edit;
  }
  static TRect Client(TWinControl* c) {
    RECT r{};
    GetClientRect(c->Handle(), &r);
    return TRect{r.left, r.top, r.right, r.bottom};
  }
};

TEST_F(SkinnedRichEdit, ShowsItsSectionsFrameFaceAndTextWithASkinnedBar) {
  TsRichEdit* edit = AddLog(40);
  ApplySkin();
  Settle(Wnd());
  HWND wnd = edit->Handle();
  ASSERT_NE(edit->ScrollWnd(), nullptr);
  EXPECT_EQ(ktest::WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_EQ(edit->Color(), static_cast<TColor>(kEditFace));
  EXPECT_EQ(edit->Font()->Color(), static_cast<TColor>(kEditFont));
  const TRect client = Client(edit);
  EXPECT_EQ(ClientPixel(wnd, client.Right - 8, client.Bottom - 3), kEditFace)
      << "the face right of the text";
  EXPECT_GT(CountClientPixels(wnd, TRect{0, 0, 80, 40}, kEditFont), 0) << "the text's colour";
  ASSERT_TRUE(edit->ScrollWnd()->VertBar && edit->ScrollWnd()->VertBar->Shown)
      << "forty lines need the bar";
  ktest::SaveScreenshot(Wnd(), "richedit_skinned");

  RemoveSkin();
  Settle(Wnd());
  EXPECT_NE(ktest::WindowPixel(edit->Handle(), 0, 0), kBorder);
  EXPECT_EQ(edit->Lines()->Count(), 40) << "the text survives the new window";
}

TEST_F(SkinnedRichEdit, DisabledItsTextIsBlendedTowardTheFaceAndComesBackEnabled) {
  TsRichEdit* edit = AddLog(3);
  ApplySkin();
  edit->SetEnabled(false);
  Settle(Wnd());
  const TColor half = AverageColors(static_cast<TColor>(kEditFont), static_cast<TColor>(kEditFace));
  EXPECT_EQ(edit->Color(), static_cast<TColor>(kEditFace));
  EXPECT_EQ(edit->Font()->Color(), half);
  EXPECT_GT(CountClientPixels(edit->Handle(), TRect{0, 0, 80, 40}, static_cast<COLORREF>(half)), 0);
  edit->SetEnabled(true);
  Settle(Wnd());
  EXPECT_EQ(edit->Font()->Color(), static_cast<TColor>(kEditFont));
  EXPECT_GT(CountClientPixels(edit->Handle(), TRect{0, 0, 80, 40}, kEditFont), 0);
}

TEST_F(SkinnedRichEdit, ALogOfFarMoreThanSixtyFourKilobytesKeepsEveryLine) {
  TsRichEdit* edit = AddLog(0);
  ApplySkin();
  const std::string padding(40, '.');
  constexpr int kLines = 3000;  // about 150 KB
  TStrings* lines = edit->Lines();
  lines->BeginUpdate();
  for (int i = 0; i < kLines; ++i) lines->Add("piece " + std::to_string(i) + padding);
  lines->EndUpdate();
  ASSERT_EQ(lines->Count(), kLines);
  EXPECT_EQ((*lines)[0], "piece 0" + padding);
  EXPECT_EQ((*lines)[kLines - 1], "piece " + std::to_string(kLines - 1) + padding);
}

// Wine's rich edit lays out no text into a memory DC (EM_FORMATRANGE answers 0 there), so only
// the frame and the face around the text are checked.
TEST_F(SkinnedRichEdit, PrintsItsSkinnedFrameAroundItsFace) {
  TsRichEdit* edit = AddLog(40);
  ApplySkin();
  Settle(Wnd());
  TskEditWnd* adapter = edit->ScrollWnd();
  ASSERT_NE(adapter, nullptr);
  ktest::TScreenshot shot;
  ASSERT_TRUE(ktest::CaptureDrawing(
      edit->Width(), edit->Height(),
      [&](HDC dc) {
        return SendMessageA(edit->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc),
                            PRF_CLIENT | PRF_NONCLIENT) == 2;
      },
      shot));
  EXPECT_EQ(shot.ColorAt(0, 0), kBorder);
  EXPECT_EQ(shot.ColorAt(edit->Width() / 2, edit->Height() - 1), kBorder);
  const int edge = adapter->EdgeLeft;
  EXPECT_EQ(shot.ColorAt(edge + 10, edge + 10), kEditFace);
  EXPECT_EQ(shot.ColorAt(edge + 10, edit->Height() - edge - 2), kEditFace);
}

}  // namespace
