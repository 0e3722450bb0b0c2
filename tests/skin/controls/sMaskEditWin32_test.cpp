// The skinned masked edit under Wine: its whole picture from the cache while it is neither
// focused nor hot (frame, face and the mask's literals), the system edit inside the skinned
// frame while it is focused, typing, Backspace and Delete through real keys that keep the
// mask's literals, the disabled look, and the standard look without a skin.
#include "skin/controls/sMaskEditWin32.h"

#include <gtest/gtest.h>

#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::Settle;
using ktest::WindowPixel;

constexpr const char* kPhone = "(999) 000-0000;0;_";

struct SkinnedMaskEdit : SkinnedControls {
  TsMaskEdit* AddEdit(int left, int top, const std::string& mask = "") {
    auto* edit = form.Add<TsMaskEdit>();
    edit->SetBounds(left, top, 160, 24);
    edit->SetEditMask(mask);
    return edit;
  }
  // Pixels of the client area that are not the face's colour: the text drawn on it.
  int TextPixels(TsMaskEdit* edit) {
    ktest::TScreenshot shot;
    if (!ktest::CaptureWindow(edit->Handle(), shot)) return -1;
    const RECT client = ktest::ClientRectInWindow(edit->Handle());
    int n = 0;
    for (int y = client.top + 1; y < client.bottom - 1; ++y)
      for (int x = client.left + 1; x < client.right - 1; ++x)
        if (!Near(shot.ColorAt(x, y), kEditFace, 24)) ++n;
    return n;
  }
  // The leftmost column of the window where text shows, -1 for none.
  int FirstTextColumn(TsMaskEdit* edit) {
    ktest::TScreenshot shot;
    if (!ktest::CaptureWindow(edit->Handle(), shot)) return -1;
    const RECT client = ktest::ClientRectInWindow(edit->Handle());
    for (int x = client.left + 1; x < client.right - 1; ++x)
      for (int y = client.top + 1; y < client.bottom - 1; ++y)
        if (!Near(shot.ColorAt(x, y), kEditFace, 24)) return x;
    return -1;
  }
  void Focus(TsMaskEdit* edit) {
    SetForegroundWindow(Wnd());
    ktest::Click(ktest::ClientCentreOf(edit->Handle()));
    ASSERT_TRUE(ktest::PumpUntil([&] { return edit->Focused(); }));
  }
};

TEST_F(SkinnedMaskEdit, PaintsItsFrameFaceAndTheMasksLiteralsFromTheCache) {
  TsMaskEdit* blank = AddEdit(20, 20);
  TsMaskEdit* masked = AddEdit(20, 60, kPhone);
  TsMaskEdit* borderless = AddEdit(20, 100);
  borderless->SetBorderStyle(bsNone);
  form.Show();
  ApplySkin();
  EXPECT_EQ(masked->SkinData()->SkinSection(), "EDIT");
  EXPECT_EQ(masked->EditText(), "(___) ___-____") << "an empty masked edit shows its literals";
  for (TsMaskEdit* edit : {blank, masked}) {
    SCOPED_TRACE(edit == blank ? "without a mask" : "with a mask");
    HWND wnd = edit->Handle();
    for (POINT p : {POINT{0, 0}, POINT{159, 23}, POINT{1, 12}, POINT{80, 22}})
      EXPECT_EQ(WindowPixel(wnd, p.x, p.y), kBorder) << p.x << "," << p.y;
    EXPECT_EQ(WindowPixel(wnd, 150, 12), kEditFace);
  }
  EXPECT_EQ(TextPixels(blank), 0) << "an empty edit text draws nothing";
  EXPECT_GT(TextPixels(masked), 20) << "the literals are drawn into the cache";
  // Without a border the cache has no border mask: the section's face reaches the edge.
  EXPECT_EQ(WindowPixel(borderless->Handle(), 0, 0), kEditFace);
  EXPECT_EQ(WindowPixel(borderless->Handle(), 159, 23), kEditFace);
}

TEST_F(SkinnedMaskEdit, RealKeysFillTheInputPlacesAndKeepTheLiterals) {
  TsMaskEdit* edit = AddEdit(20, 20, kPhone);
  TsMaskEdit* other = AddEdit(20, 60);
  int changes = 0;
  edit->SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
  form.Show();
  ApplySkin();
  Focus(edit);
  ktest::PressKey(VK_HOME);
  ktest::TypeText("03x01234567");  // the letter is refused
  ASSERT_TRUE(ktest::PumpUntil([&] { return edit->EditText() == "(030) 123-4567"; }))
      << edit->EditText();
  EXPECT_EQ(edit->Text(), "0301234567") << "the text leaves the literals out";
  EXPECT_GT(changes, 0);
  const int typedAt = FirstTextColumn(edit);
  EXPECT_EQ(WindowPixel(edit->Handle(), 0, 0), kBorder) << "the frame stays while focused";
  ktest::PressKey(VK_BACK);
  ASSERT_TRUE(ktest::PumpUntil([&] { return edit->EditText() == "(030) 123-456_"; }))
      << edit->EditText();
  ktest::PressKey(VK_HOME);
  ktest::PressKey(VK_RIGHT);
  ktest::PressKey(VK_DELETE);
  ASSERT_TRUE(ktest::PumpUntil([&] { return edit->EditText() == "(_30) 123-456_"; }))
      << edit->EditText();
  // Leaving the edit hands the picture back to the cache, with the typed text in it.
  ktest::PressKey(VK_TAB);
  ASSERT_TRUE(ktest::PumpUntil([&] { return other->Focused(); }));
  Settle(Wnd());
  EXPECT_FALSE(edit->SkinData()->IsActive());
  EXPECT_GT(TextPixels(edit), 40);
  EXPECT_EQ(FirstTextColumn(edit), typedAt) << "the text does not jump as the focus leaves";
  EXPECT_EQ(WindowPixel(edit->Handle(), 0, 0), kBorder);
  EXPECT_EQ(WindowPixel(edit->Handle(), 150, 12), kEditFace);
}

TEST_F(SkinnedMaskEdit, AValueSetInCodeShowsThroughTheMaskAndRepaintsTheCache) {
  TsMaskEdit* edit = AddEdit(20, 20, kPhone);
  form.Show();
  ApplySkin();
  Settle(Wnd());
  const int blank = TextPixels(edit);
  edit->SetText("0301234567");
  EXPECT_EQ(edit->EditText(), "(030) 123-4567");
  Settle(Wnd());
  EXPECT_GT(TextPixels(edit), blank) << "the new text reaches the cached picture";
  edit->SetEditMask("");
  EXPECT_EQ(edit->Text(), "0301234567") << "dropping the mask keeps the value";
}

TEST_F(SkinnedMaskEdit, WhileTheFormLoadsNoChangeIsReported) {
  TsMaskEdit* edit = AddEdit(20, 20);
  int changes = 0;
  edit->SetOnChange(TNotifyEvent([&](TObject*) { ++changes; }));
  form.Show();
  edit->BeginLoading();
  edit->SetText("streamed");
  edit->EndLoading();
  EXPECT_EQ(changes, 0);
  edit->SetText("typed");
  EXPECT_EQ(changes, 1);
}

TEST_F(SkinnedMaskEdit, ADisabledEditShowsItsPictureBlendedIntoTheParent) {
  TsMaskEdit* edit = AddEdit(20, 20, kPhone);
  form.Show();
  ApplySkin();
  edit->SetEnabled(false);
  Settle(Wnd());
  const COLORREF face = WindowPixel(edit->Handle(), 150, 12);
  const auto blended = static_cast<COLORREF>(
      MixColors(static_cast<TColor>(kEditFace), static_cast<TColor>(kFormColor), 0.5));
  EXPECT_TRUE(Near(face, blended)) << std::hex << face << " " << blended;
}

TEST_F(SkinnedMaskEdit, WithoutASkinItIsAStandardMaskedEdit) {
  TsMaskEdit* edit = AddEdit(20, 20, kPhone);
  form.Show();
  Settle(Wnd());
  EXPECT_EQ(SendSkinCmd(edit->Handle(), CmdIsSkinned, 0), 1);
  EXPECT_NE(WindowPixel(edit->Handle(), 0, 0), kBorder);
  EXPECT_EQ(edit->Color(), clWindow);
  Focus(edit);
  ktest::PressKey(VK_HOME);
  ktest::TypeText("12");
  ASSERT_TRUE(ktest::PumpUntil([&] { return edit->EditText() == "(12_) ___-____"; }))
      << edit->EditText();
  ApplySkin();
  RemoveSkin();
  EXPECT_NE(WindowPixel(edit->Handle(), 0, 0), kBorder) << "the skin's frame goes with it";
  EXPECT_EQ(edit->EditText(), "(12_) ___-____");
}

}  // namespace
