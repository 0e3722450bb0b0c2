// The skinned check box under Wine: its section and check glyph in each look read back, the
// mouse and the space bar toggling it through real input, the disabled and read-only boxes,
// its automatic size, and the standard look without a skin.
#include "skin/controls/sCheckBoxWin32.h"

#include <gtest/gtest.h>

#include "tests/skin/controls/ButtonsTestSkinWin32.h"

namespace {

using namespace buttonstest;
using ktest::PumpUntil;
using ktest::Settle;
using ktest::WindowPixel;

struct SkinnedCheckBox : SkinnedButtons {
  TsCheckBox* AddBox(const std::string& caption = "csv-Datei") {
    auto* box = form.Add<TsCheckBox>();
    box->SetBounds(20, 20, 120, 20);
    box->SetCaption(caption);
    box->SetOnClick(TNotifyEvent([this](TObject*) { ++clicks; }));
    return box;
  }
  // The glyph's colour once any fade is over.
  COLORREF Glyph(TsCheckBox* box) {
    EXPECT_TRUE(PumpUntil([&] { return !box->Fading(); }));
    Settle(box->Handle());
    const TRect r = box->CheckRect();
    return WindowPixel(box->Handle(), r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  }
  int clicks = 0;
  TsCheckBox* other_ = nullptr;
};

TEST_F(SkinnedCheckBox, TheGlyphShowsEachLookAndAClickTogglesTheBox) {
  TsCheckBox* box = AddBox();
  form.Show();
  ApplySkin();
  EXPECT_EQ(box->SkinData()->SkinSection(), "CHECKBOX");
  EXPECT_EQ(WindowPixel(box->Handle(), box->Width() - 2, 1), kBoxFace);
  EXPECT_EQ(Glyph(box), kUncheck[0]);
  SetForegroundWindow(Wnd());
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(box->Handle())));
  ASSERT_TRUE(PumpUntil([&] { return box->SkinData()->MouseOver; }));
  EXPECT_EQ(Glyph(box), kUncheck[1]) << "hot";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_EQ(Glyph(box), kUncheck[2]) << "pressed";
  EXPECT_FALSE(box->Checked());
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return box->Checked() && clicks == 1; }));
  EXPECT_EQ(Glyph(box), kCheck[1]) << "checked and hot";
  ktest::ParkPointer();
  ASSERT_TRUE(PumpUntil([&] { return !box->SkinData()->MouseOver; }));
  box->SetChecked(false);
  EXPECT_EQ(clicks, 2) << "a change in code clicks as well";
  EXPECT_EQ(Glyph(box), kUncheck[1]) << "unchecked, focused";
}

TEST_F(SkinnedCheckBox, TheSpaceBarTogglesOnlyWhenItIsReleased) {
  TsCheckBox* box = AddBox();
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  box->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return box->Focused(); }));
  const auto key = [](WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
  };
  ASSERT_TRUE(ktest::SendInputAndHandle({key(VK_SPACE, false)}));
  EXPECT_TRUE(box->Pressed());
  EXPECT_EQ(Glyph(box), kUncheck[2]);
  // Another key let go while the space bar is held does not toggle the box.
  ASSERT_TRUE(ktest::SendInputAndHandle({key(VK_SHIFT, false), key(VK_SHIFT, true)}));
  EXPECT_FALSE(box->Checked());
  ASSERT_TRUE(ktest::SendInputAndHandle({key(VK_SPACE, true)}));
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(clicks, 1);
  ktest::PressKey(VK_SPACE);
  EXPECT_TRUE(PumpUntil([&] { return !box->Checked(); }));
  EXPECT_EQ(clicks, 2);
}

TEST_F(SkinnedCheckBox, TheAcceleratorTogglesTheBox) {
  TsCheckBox* box = AddBox("&csv-Datei");
  TsCheckBox* other = AddBox("other");
  other->SetTop(60);
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  other->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return other->Focused(); }));
  ktest::PressKeys({VK_MENU}, 'C');
  EXPECT_TRUE(PumpUntil([&] { return box->Checked(); }));
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinnedCheckBox, DisabledAndReadOnlyBoxesIgnoreClicksAndTheSpaceBar) {
  TsCheckBox* box = AddBox();
  form.Show();
  ApplySkin();
  box->SetEnabled(false);
  Settle(Wnd());
  const COLORREF blended = Glyph(box);
  EXPECT_NE(blended, kUncheck[0]) << "the disabled look blends the glyph into the form";
  SetForegroundWindow(Wnd());
  ktest::Click(ktest::ClientCentreOf(box->Handle()));
  ktest::Pump();
  EXPECT_FALSE(box->Checked());

  box->SetEnabled(true);
  box->SetReadOnly(true);
  ktest::Click(ktest::ClientCentreOf(box->Handle()));
  ktest::PressKey(VK_SPACE);
  ktest::Pump();
  EXPECT_FALSE(box->Checked());
  EXPECT_FALSE(box->Pressed());
  EXPECT_EQ(clicks, 0);
}

TEST_F(SkinnedCheckBox, AnAutoSizedBoxMakesRoomForItsWholeCaption) {
  TsCheckBox* box = AddBox();
  form.Show();
  ApplySkin();
  HDC dc = GetDC(box->Handle());
  HGDIOBJ old = SelectObject(dc, FontHandle(box->Font()));
  SIZE text{};
  GetTextExtentPoint32A(dc, "csv-Datei", 9, &text);
  SelectObject(dc, old);
  ReleaseDC(box->Handle(), dc);
  EXPECT_EQ(box->Width(), 16 + 2 * 2 + text.cx + 8);
  EXPECT_GE(box->Height(), text.cy + 2 * 2);
}

TEST_F(SkinnedCheckBox, WithoutASkinItKeepsTheStandardLookAndStillToggles) {
  TsCheckBox* box = AddBox();
  form.Show();
  Settle(Wnd());
  EXPECT_NE(WindowPixel(box->Handle(), box->Width() - 2, 1), kBoxFace);
  ApplySkin();
  EXPECT_EQ(WindowPixel(box->Handle(), box->Width() - 2, 1), kBoxFace);
  RemoveSkin();
  EXPECT_NE(WindowPixel(box->Handle(), box->Width() - 2, 1), kBoxFace);
  SetForegroundWindow(Wnd());
  ktest::Click(ktest::ClientCentreOf(box->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return box->Checked(); }));
  EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

// A strip of solid cells, one colour each, 16 x 16 pixels a cell.
std::unique_ptr<TBitmap> Strip(std::initializer_list<COLORREF> colours) {
  auto strip = std::make_unique<TBitmap>();
  strip->SetPixelFormat(pf24bit);
  strip->SetSize(16 * static_cast<int>(colours.size()), 16);
  int x = 0;
  for (COLORREF colour : colours) {
    strip->Canvas()->Brush()->SetColor(static_cast<TColor>(colour));
    strip->Canvas()->FillRect(Bounds(x, 0, 16, 16));
    x += 16;
  }
  return strip;
}

TEST_F(SkinnedCheckBox, OwnGlyphsAndAnImageListReplaceTheSkinsCheckImages) {
  constexpr COLORREF kOwn[3] = {0x1080F0, 0x10F080, 0xF01080};
  constexpr COLORREF kOwnUnchecked = 0x505020;
  constexpr COLORREF kListImage[2] = {0x2040A0, 0xA04020};
  TsCheckBox* box = AddBox();
  box->SetGlyphChecked(Strip({kOwn[0], kOwn[1], kOwn[2]}).get());
  box->SetGlyphUnChecked(Strip({kOwnUnchecked}).get());
  form.Show();
  ApplySkin();
  EXPECT_EQ(box->CheckRect().Width(), 16) << "a 48 x 16 strip holds three cells";
  EXPECT_TRUE(Near(Glyph(box), kOwnUnchecked)) << "a one-cell glyph shows in every look";
  box->SetChecked(true);
  EXPECT_TRUE(Near(Glyph(box), kOwn[0])) << "cell 0: normal";
  SetForegroundWindow(Wnd());
  ASSERT_TRUE(ktest::MovePointerTo(ktest::ClientCentreOf(box->Handle())));
  ASSERT_TRUE(PumpUntil([&] { return box->SkinData()->MouseOver; }));
  EXPECT_TRUE(Near(Glyph(box), kOwn[1])) << "cell 1: hot";
  ASSERT_TRUE(LeftButton(true));
  EXPECT_TRUE(Near(Glyph(box), kOwn[2])) << "cell 2: pressed";
  ASSERT_TRUE(LeftButton(false));
  EXPECT_TRUE(PumpUntil([&] { return !box->Checked(); }));
  ktest::ParkPointer();
  ASSERT_TRUE(PumpUntil([&] { return !box->SkinData()->MouseOver; }));

  auto* list = new TImageList(form.Form);
  list->SetWidth(16);
  list->SetHeight(16);
  for (COLORREF colour : kListImage) list->Add(Strip({colour}).get(), nullptr);
  box->SetImages(list);
  box->SetImgChecked(1);
  box->SetImgUnchecked(0);
  other_ = AddBox("other");
  other_->SetTop(60);
  other_->SetFocus();
  EXPECT_TRUE(Near(Glyph(box), kListImage[0])) << "the list wins over the own glyphs";
  box->SetChecked(true);
  EXPECT_TRUE(Near(Glyph(box), kListImage[1]));
  box->SetImgChecked(-1);
  EXPECT_TRUE(Near(Glyph(box), kOwn[0])) << "an index below 0 falls back to the own glyphs";
}

TEST_F(SkinnedCheckBox, KeyAndMouseEventsStillReachTheFormWhileSkinned) {
  TsCheckBox* box = AddBox();
  int keyDowns = 0, keyUps = 0, mouseDowns = 0, mouseUps = 0;
  box->SetOnKeyDown(TKeyEvent([&](TObject*, WORD& key, TShiftState) {
    if (key == VK_SPACE) ++keyDowns;
  }));
  box->SetOnKeyUp(TKeyEvent([&](TObject*, WORD& key, TShiftState) {
    if (key == VK_SPACE) ++keyUps;
  }));
  box->SetOnMouseDown(TMouseEvent([&](TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (button == mbLeft && x >= 0 && y >= 0 && x < box->Width() && y < box->Height()) ++mouseDowns;
  }));
  box->SetOnMouseUp(TMouseEvent([&](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == mbLeft) ++mouseUps;
  }));
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  box->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return box->Focused(); }));
  ktest::PressKey(VK_SPACE);
  EXPECT_TRUE(PumpUntil([&] { return box->Checked(); }));
  EXPECT_EQ(keyDowns, 1);
  EXPECT_EQ(keyUps, 1);
  ktest::Click(ktest::ClientCentreOf(box->Handle()));
  EXPECT_TRUE(PumpUntil([&] { return !box->Checked(); }));
  EXPECT_EQ(mouseDowns, 1);
  EXPECT_EQ(mouseUps, 1);
  EXPECT_EQ(clicks, 2);
}

}  // namespace
