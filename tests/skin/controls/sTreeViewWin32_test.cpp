// The skinned tree view under Wine: its background, text and frame from the skin, the selected
// node from the SELECTION section, nodes selected and opened or closed by mouse and keyboard
// with and without the skin, a user's node painting that keeps its own drawing, and the system's
// colours back once the skin goes.
#include "skin/controls/sTreeViewWin32.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/skin/controls/ControlsTestSkinWin32.h"

namespace {

using namespace controlstest;
using ktest::ClientPixel;
using ktest::PumpUntil;
using ktest::Settle;

struct SkinnedTreeView : SkinnedControls {
  TsTreeView* AddTree() {
    auto* tree = form.Add<TsTreeView>();
    tree->SetBounds(20, 20, 220, 160);
    tree->SetReadOnly(true);
    tree->SetHideSelection(false);
    TTreeNodes* nodes = tree->Items();
    alpha = nodes->Add(nullptr, "alpha");
    nodes->AddChild(alpha, "first child");
    nodes->AddChild(alpha, "second child");
    beta = nodes->Add(nullptr, "beta");
    gamma = nodes->Add(nullptr, "gamma");
    return tree;
  }
  // A point on the node's row right of its text: only the tree's background shows there.
  static POINT Blank(TTreeNode* node) {
    const TRect r = node->DisplayRect(false);
    return POINT{r.Right - 4, (r.Top + r.Bottom) / 2};
  }
  // A corner of the node's text place: its background, clear of the glyphs.
  static POINT TextCorner(TTreeNode* node) {
    const TRect r = node->DisplayRect(true);
    return POINT{r.Right - 1, r.Top + 1};
  }
  static POINT OnScreen(TWinControl* control, POINT p) {
    ClientToScreen(control->Handle(), &p);
    return p;
  }
  // Where the node's expand button is, checked against the tree's own hit test.
  static POINT ButtonOf(TsTreeView* tree, TTreeNode* node) {
    const TRect text = node->DisplayRect(true);
    const int indent = static_cast<int>(SendMessageA(tree->Handle(), TVM_GETINDENT, 0, 0));
    TVHITTESTINFO hit{};
    hit.pt = POINT{text.Left - indent / 2, (text.Top + text.Bottom) / 2};
    SendMessageA(tree->Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_TRUE(hit.flags & TVHT_ONITEMBUTTON) << "no button at " << hit.pt.x << "," << hit.pt.y;
    return hit.pt;
  }
  TTreeNode* alpha = nullptr;
  TTreeNode* beta = nullptr;
  TTreeNode* gamma = nullptr;
};

TEST_F(SkinnedTreeView, PaintsFromItsSectionAndGivesTheSystemColoursBackWithoutTheSkin) {
  TsTreeView* tree = AddTree();
  form.Show();
  ApplySkin();
  tree->SetSelected(beta);
  Settle(Wnd());
  HWND wnd = tree->Handle();
  EXPECT_EQ(tree->SkinData()->SkinSection(), "EDIT");
  ASSERT_NE(tree->ScrollWnd(), nullptr) << "the frame and bars come from a tree adapter";
  EXPECT_EQ(ktest::WindowPixel(wnd, 0, 0), kBorder);
  EXPECT_EQ(tree->Color(), static_cast<TColor>(kEditFace));
  for (TTreeNode* node : {alpha, gamma}) {
    SCOPED_TRACE(node->Text());
    const POINT blank = Blank(node);
    EXPECT_EQ(ClientPixel(wnd, blank.x, blank.y), kEditFace);
    const POINT corner = TextCorner(node);
    EXPECT_EQ(ClientPixel(wnd, corner.x, corner.y), kEditFace);
    EXPECT_GT(CountClientPixels(wnd, node->DisplayRect(true), kEditFont), 0)
        << "the text in the section's font colour";
  }
  // The selected node: the selection section behind its text, in the section's font colour.
  const TRect selected = beta->DisplayRect(true);
  const POINT corner = TextCorner(beta);
  EXPECT_EQ(ClientPixel(wnd, corner.x, corner.y), kSelection);
  EXPECT_GT(CountClientPixels(wnd, selected, kSelectionFont), 0);
  EXPECT_EQ(CountClientPixels(wnd, selected, kEditFont), 0);
  ktest::SaveScreenshot(Wnd(), "treeview_skinned");

  RemoveSkin();
  Settle(Wnd());
  EXPECT_EQ(tree->Color(), clWindow);
  EXPECT_EQ(tree->Font()->Color(), clWindowText);
  EXPECT_NE(ktest::WindowPixel(wnd, 0, 0), kBorder);
  const POINT blank = Blank(gamma);
  EXPECT_EQ(ClientPixel(wnd, blank.x, blank.y), GetSysColor(COLOR_WINDOW));
  EXPECT_NE(ClientPixel(wnd, corner.x, corner.y), kSelection);
  ktest::SaveScreenshot(Wnd(), "treeview_standard");
}

TEST_F(SkinnedTreeView, SelectsAndOpensNodesByMouseAndKeyboardSkinnedAndWithoutASkin) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "standard");
    TsTreeView* tree = AddTree();
    form.Show();
    if (skinned) ApplySkin();
    Settle(Wnd());
    SetForegroundWindow(Wnd());
    HWND wnd = tree->Handle();
    const TRect betaText = beta->DisplayRect(true);
    ktest::Click(OnScreen(
        tree, POINT{(betaText.Left + betaText.Right) / 2, (betaText.Top + betaText.Bottom) / 2}));
    ASSERT_TRUE(PumpUntil([&] { return tree->Selected() == beta; }));
    ktest::PressKey(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return tree->Selected() == gamma; }));
    ktest::PressKey(VK_HOME);
    ASSERT_TRUE(PumpUntil([&] { return tree->Selected() == alpha; }));

    // The keyboard opens and closes the selected node.
    ktest::PressKey(VK_RIGHT);
    ASSERT_TRUE(PumpUntil([&] { return alpha->Expanded(); }));
    Settle(Wnd());
    TTreeNode* child = alpha->Item(1);
    EXPECT_GT(child->DisplayRect(true).Height(), 0) << "the children are shown";
    if (skinned) {
      EXPECT_GT(CountClientPixels(wnd, child->DisplayRect(true), kEditFont), 0);
      const POINT corner = TextCorner(alpha);
      EXPECT_EQ(ClientPixel(wnd, corner.x, corner.y), kSelection);
    }
    ktest::PressKey(VK_LEFT);
    ASSERT_TRUE(PumpUntil([&] { return !alpha->Expanded(); }));
    EXPECT_EQ(child->DisplayRect(true).Height(), 0);

    // The mouse on the node's button opens it and closes it again; the selection stays.
    const POINT button = OnScreen(tree, ButtonOf(tree, alpha));
    ktest::Click(button);
    ASSERT_TRUE(PumpUntil([&] { return alpha->Expanded(); }));
    ktest::Click(button);
    ASSERT_TRUE(PumpUntil([&] { return !alpha->Expanded(); }));
    EXPECT_EQ(tree->Selected(), alpha);

    Settle(Wnd());
    const POINT corner = TextCorner(alpha);
    EXPECT_EQ(ClientPixel(wnd, corner.x, corner.y),
              skinned ? kSelection : GetSysColor(COLOR_HIGHLIGHT));
    const POINT blank = Blank(beta);
    EXPECT_EQ(ClientPixel(wnd, blank.x, blank.y), skinned ? kEditFace : GetSysColor(COLOR_WINDOW));
    if (skinned) RemoveSkin();
    delete tree;
  }
}

TEST_F(SkinnedTreeView, AUserNodePainterThatDrawsItselfKeepsItsDrawingOfTheSelectedNode) {
  constexpr COLORREF kOwn = 0x00FF80;
  TsTreeView* tree = AddTree();
  int calls = 0;
  tree->SetOnAdvancedCustomDrawItem([&](TCustomTreeView* sender, TTreeNode* node, TCustomDrawState,
                                        TCustomDrawStage stage, bool&, bool& defaultDraw) {
    ++calls;
    if (stage != cdPostPaint || node != beta) return;
    const TRect r = node->DisplayRect(true);
    sender->Canvas()->Brush()->SetColor(static_cast<TColor>(kOwn));
    sender->Canvas()->FillRect(r);
    defaultDraw = false;
  });
  form.Show();
  ApplySkin();
  tree->SetSelected(gamma);
  Settle(Wnd());
  HWND wnd = tree->Handle();
  EXPECT_GT(calls, 0) << "the user's painter is called first";
  POINT corner = TextCorner(gamma);
  EXPECT_EQ(ClientPixel(wnd, corner.x, corner.y), kSelection) << "the skin paints the others";
  tree->SetSelected(beta);
  Settle(Wnd());
  corner = TextCorner(beta);
  EXPECT_EQ(ClientPixel(wnd, corner.x, corner.y), kOwn);
}

TEST_F(SkinnedTreeView, ADisabledTreeBlendsItsSelectedNodeIntoItsBackground) {
  TsTreeView* tree = AddTree();
  form.Show();
  ApplySkin();
  tree->SetSelected(beta);
  tree->SetEnabled(false);
  Settle(Wnd());
  const POINT corner = TextCorner(beta);
  const COLORREF shown = ClientPixel(tree->Handle(), corner.x, corner.y);
  const auto half = static_cast<COLORREF>(
      AverageColors(static_cast<TColor>(kSelection), static_cast<TColor>(kEditFace)));
  EXPECT_TRUE(Near(shown, half, 3))
      << std::hex << shown << " is not half selection, half background";
}

}  // namespace
