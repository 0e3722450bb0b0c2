#include "skin/controls/sTreeViewWin32.h"

#include <commctrl.h>

#include "framework/FormsWin32.h"
#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sListGeometry.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {
constexpr UINT kNodeTextFlags =
    DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX;
}  // namespace

// The skin command as the tree view answers it.
class TsTreeView::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsTreeView& tree) : TsControlCmdHandler(tree, *tree.skinData_), t_(tree) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A tree shown before the skin arrived gets its colours, frame and bars now, not only at
    // the next refresh or show.
    if (t_.HandleAllocated() && t_.Showing() && Data().IsSkinned()) {
      t_.TakeColors(true);
      t_.UpdateAdapter();
    }
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    // Let go of the window but keep the adapter object: this message may be passing through
    // it right now. The next skin replaces it.
    ReleaseScrollAdapter(false, true, t_.scrollWnd_);
    TsSkinCmdHandler::OnRemoveSkin(m);
    t_.TakeColors(false);
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    if (Data().IsSkinned()) {
      t_.TakeColors(true);
      t_.UpdateAdapter();
    }
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintingSuspended()) return false;
    Data().PaintSuspended = false;
    if (t_.HandleAllocated()) SendMessageA(t_.Handle(), WM_NCPAINT, 0, 0);
    return true;
  }

 private:
  TsTreeView& t_;
};

TsTreeView::TsTreeView(TComponent* owner)
    : TTreeView(owner),
      host_(this),
      skinData_(std::make_unique<TsCtrlSkinData>(&host_, true)),
      label_(std::make_unique<TsControlLabel>(*this)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::TreeView;
  if (skinData_->SkinSection().empty()) skinData_->SetSkinSection("EDIT");
  // A tree made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsTreeView::~TsTreeView() {
  scrollWnd_.reset();
  label_.reset();
  cmdHandler_.reset();
  skinData_.reset();
}

void TsTreeView::Loaded() {
  TTreeView::Loaded();
  skinData_->Loaded();
  UpdateAdapter();
  InstallNodePainter();
}

void TsTreeView::CreateWnd() {
  TTreeView::CreateWnd();
  // Every tree gets the painter of its selected node, also one made in code that is never
  // streamed in.
  InstallNodePainter();
}

void TsTreeView::InstallNodePainter() {
  if (ComponentState().Contains(csDesigning)) return;
  const auto own = TTVAdvancedCustomDrawItemEvent::Of<&TsTreeView::PaintNode>(this);
  if (OnAdvancedCustomDrawItem() == own) return;
  savedDrawItem_ = OnAdvancedCustomDrawItem();
  SetOnAdvancedCustomDrawItem(own);
}

void TsTreeView::UpdateAdapter() { UpdateTreeAdapter(skinData_.get(), scrollWnd_); }

void TsTreeView::TakeColors(bool skinned) {
  TsCommonData& d = *skinData_;
  if (skinned) {
    d.UpdateColors(false);
    return;
  }
  if (!d.CustomColor) SetColor(clWindow);
  if (!d.CustomFont) Font()->SetColor(clWindowText);
}

void TsTreeView::PaintNode(TCustomTreeView* sender, TTreeNode* node, TCustomDrawState state,
                           TCustomDrawStage stage, bool& paintImages, bool& defaultDraw) {
  defaultDraw = true;
  if (savedDrawItem_) {
    savedDrawItem_(sender, node, state, stage, paintImages, defaultDraw);
    if (!defaultDraw) return;
  }
  if (!skinData_->IsSkinned() || stage != cdPostPaint || node != Selected()) return;
  const TRect r = node->DisplayRect(true);
  if (r.Width() <= 0 || r.Height() <= 0) return;
  TsSkinManager* manager = skinData_->SkinManager();
  const bool focused = Focused();
  const int section = manager->GetSectionIndex("SELECTION");
  auto bitmap = CreateBmp32(r.Width(), r.Height());
  bitmap->Canvas()->Font()->Assign(Font());
  const TRect whole{0, 0, r.Width(), r.Height()};
  if (section < 0)
    FillRect32(bitmap.get(), whole,
               ColorToRGB(manager->SelectionColor(state.Contains(cdsFocused))));
  else
    PaintSectionByName(bitmap.get(),
                       TsSectionByName{.Name = "SELECTION",
                                       .State = focused ? TsPaintState::Hot : TsPaintState::Normal,
                                       .FillColor = Color(),
                                       .Manager = manager});
  HDC dc = bitmap->Canvas()->Handle();
  const TRect t = TreeNodeTextRect(r.Width(), r.Height());
  if (section < 0) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(
                         ColorToRGB(manager->SelectionTextColor(state.Contains(cdsFocused)))));
    RECT tr{t.Left, t.Top, t.Right, t.Bottom};
    DrawTextA(dc, node->Text().data(), static_cast<int>(node->Text().size()), &tr, kNodeTextFlags);
    if (focused) {
      RECT fr{0, 0, r.Width(), r.Height()};
      DrawFocusRect(dc, &fr);
    }
  } else {
    WriteTextOnBitmap32(bitmap.get(),
                        TsSectionText{.Text = node->Text(),
                                      .R = t,
                                      .Format = kNodeTextFlags,
                                      .SectionIndex = section,
                                      .Hot = focused,
                                      .Manager = manager},
                        true);
  }
  if (!Enabled()) {
    TsBackgroundSource none;
    PaintDisabledEffect(bitmap.get(), TsDisabledKind{dkBlended}, Color(), TPoint{0, 0}, none);
  }
  BitBlt(Canvas()->Handle(), r.Left, r.Top, r.Width(), r.Height(), dc, 0, 0, SRCCOPY);
  defaultDraw = false;
}

void TsTreeView::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TTreeView::WndProc(m);
    return;
  }
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    TTreeView::WndProc(m);
  } else {
    TsCommonData& d = *skinData_;
    switch (m.Msg) {
      case WM_MOVE:
      case CM_VISIBLECHANGED:
      case CM_ENABLEDCHANGED:
        d.BackgroundDirty = true;
        break;
      case WM_SETREDRAW:
        d.PaintSuspended = m.WParam != 1;
        break;
      default:
        break;
    }
    HandleCommonMessage(m, &d);
    TTreeView::WndProc(m);
    if (m.Msg == CM_SHOWINGCHANGED) UpdateAdapter();
  }
  // The label does not follow the tree's enabled state.
  label_->Follow(m, false, false);
}
