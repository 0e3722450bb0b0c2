// The skinned edit under Wine: its frame from the skin's border mask, the system edit's text
// area in the section's colours, the disabled look blended into the parent, typing and focus
// through real input, its bound label following it, and the standard look without a skin.
#include "skin/controls/sEditWin32.h"

#include <gtest/gtest.h>

#include "skin/controls/sLabelWin32.h"
#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::Settle;
using ktest::WindowPixel;

struct SkinnedEdit : SkinnedControls {
  TsEdit* AddEdit(int left, int top) {
    auto* edit = form.Add<TsEdit>();
    edit->SetBounds(left, top, 140, 24);
    return edit;
  }
};

TEST_F(SkinnedEdit, PaintsItsFrameFromTheSkinAndItsTextAreaInTheSectionColours) {
  TsEdit* edit = AddEdit(20, 20);
  form.Show();
  ApplySkin();
  HWND wnd = edit->Handle();
  EXPECT_EQ(edit->SkinData()->SkinSection(), "EDIT") << "an edit names the edit section itself";
  EXPECT_EQ(edit->Color(), static_cast<TColor>(kEditFace));
  EXPECT_EQ(edit->Font()->Color(), static_cast<TColor>(kEditFont));
  for (POINT p : {POINT{0, 0}, POINT{139, 23}, POINT{1, 12}, POINT{70, 22}})
    EXPECT_EQ(WindowPixel(wnd, p.x, p.y), kBorder) << p.x << "," << p.y;
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(ClientPixel(wnd, client.right - 3, client.bottom / 2), kEditFace);
}

TEST_F(SkinnedEdit, ADisabledEditShowsItsPictureBlendedIntoTheParent) {
  struct TCase {
    TsDisabledKind Kind;
    bool LabelEnabled;
    COLORREF Face, Border;
  } const cases[] = {
      {TsDisabledKind{dkBlended}, false,
       static_cast<COLORREF>(
           MixColors(static_cast<TColor>(kEditFace), static_cast<TColor>(kFormColor), 0.5)),
       static_cast<COLORREF>(
           MixColors(static_cast<TColor>(kBorder), static_cast<TColor>(kFormColor), 0.5))},
      {TsDisabledKind{}, true, kEditFace, kBorder},
  };
  std::vector<TsEdit*> edits;
  for (const TCase& c : cases) {
    TsEdit* edit = AddEdit(120, 20 + 40 * static_cast<int>(edits.size()));
    edit->SetName("Edit" + std::to_string(edits.size()));
    edit->SetText("abc");
    edit->SetDisabledKind(c.Kind);
    edits.push_back(edit);
  }
  form.Show();
  ApplySkin();
  for (TsEdit* edit : edits) {
    edit->BoundLabel()->SetActive(true);
    edit->BoundLabel()->SetCaption("Name:");
    edit->SetEnabled(false);
  }
  Settle(Wnd());
  for (size_t i = 0; i < edits.size(); ++i) {
    const TCase& c = cases[i];
    TsEdit* edit = edits[i];
    SCOPED_TRACE(edit->Name());
    auto* label = dynamic_cast<TsEditLabel*>(form.Form->FindComponent(edit->Name() + "Label"));
    if (!label)
      for (int k = 0; k < edit->ComponentCount(); ++k)
        if (auto* l = dynamic_cast<TsEditLabel*>(edit->Components(k))) label = l;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Parent(), form.Form) << "the bound label lies on the edit's parent";
    EXPECT_EQ(label->Enabled(), c.LabelEnabled);
    EXPECT_LE(label->BoundsRect().Right, edit->Left() - 4) << "the label stands left of the edit";
    // The face right of the text, and the frame: half the picture, half the form's colour (an
    // unskinned form answers with its colour, not a picture).
    const COLORREF face = WindowPixel(edit->Handle(), 134, 12);
    EXPECT_TRUE(Near(face, c.Face)) << std::hex << face << " " << c.Face;
    const COLORREF border = WindowPixel(edit->Handle(), 0, 0);
    EXPECT_TRUE(Near(border, c.Border)) << std::hex << border << " " << c.Border;
  }
}

TEST_F(SkinnedEdit, TakesTypingAndTheTabKeyAsAStandardEditDoes) {
  TsEdit* first = AddEdit(20, 20);
  TsEdit* second = AddEdit(20, 60);
  form.Show();
  ApplySkin();
  SetForegroundWindow(Wnd());
  ktest::Click(ktest::ClientCentreOf(first->Handle()));
  ASSERT_TRUE(ktest::PumpUntil([&] { return first->Focused(); }));
  ktest::TypeText("abc");
  ASSERT_TRUE(ktest::PumpUntil([&] { return first->Text() == "abc"; }));
  ktest::PressKey(VK_TAB);
  ASSERT_TRUE(ktest::PumpUntil([&] { return second->Focused(); }));
  ktest::TypeText("xy");
  EXPECT_TRUE(ktest::PumpUntil([&] { return second->Text() == "xy"; }));
  EXPECT_EQ(first->Text(), "abc");
  EXPECT_EQ(WindowPixel(first->Handle(), 0, 0), kBorder) << "the frame stays after focus leaves";
}

TEST_F(SkinnedEdit, WithoutASkinItKeepsTheStandardLookAndStillAnswersThatItIsSkinnable) {
  TsEdit* edit = AddEdit(20, 20);
  form.Show();
  Settle(Wnd());
  EXPECT_EQ(SendSkinCmd(edit->Handle(), CmdIsSkinned, 0), 1);
  EXPECT_EQ(edit->Color(), clWindow);
  EXPECT_NE(WindowPixel(edit->Handle(), 0, 0), kBorder);
  ApplySkin();
  EXPECT_EQ(WindowPixel(edit->Handle(), 0, 0), kBorder);
  RemoveSkin();
  EXPECT_EQ(edit->Color(), clWindow) << "the system colours come back";
  EXPECT_NE(WindowPixel(edit->Handle(), 0, 0), kBorder);
  SetForegroundWindow(Wnd());
  ktest::Click(ktest::ClientCentreOf(edit->Handle()));
  ktest::TypeText("ok");
  EXPECT_TRUE(ktest::PumpUntil([&] { return edit->Text() == "ok"; }));
}

TEST_F(SkinnedEdit, ARefreshFromAnotherManagerIsNotActedOn) {
  TsEdit* edit = AddEdit(20, 20);
  form.Show();
  ApplySkin();
  edit->SkinData()->BackgroundDirty = false;
  int another = 0;  // compared as a number only: any other address names another manager
  PerformSkinCmd(edit, CmdRefresh, reinterpret_cast<LPARAM>(&another));
  EXPECT_FALSE(edit->SkinData()->BackgroundDirty);
  PerformSkinCmd(edit, CmdRefresh, reinterpret_cast<LPARAM>(f.Manager.get()));
  EXPECT_TRUE(edit->SkinData()->BackgroundDirty);
}

TEST_F(SkinnedEdit, SettingTheSameDisabledKindRedrawsNothing) {
  TsEdit* edit = AddEdit(20, 20);
  form.Show();
  ApplySkin();
  edit->SkinData()->BackgroundDirty = false;
  edit->SetDisabledKind(TsDisabledKind{dkBlended});
  EXPECT_FALSE(edit->SkinData()->BackgroundDirty);
  edit->SetDisabledKind(TsDisabledKind{dkGrayed});
  EXPECT_TRUE(edit->SkinData()->BackgroundDirty);
}

}  // namespace
