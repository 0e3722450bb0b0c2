#include "skin/controls/sStatusBarWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/controls/sStatusBarGeometry.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/SkinTables.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

// The skin command as the status bar answers it: a new skin, a refresh and a removal reach
// the controls on its panels too.
class TsStatusBar::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsStatusBar& bar) : TsControlCmdHandler(bar, *bar.skinData_), b_(bar) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    BroadcastToChildren(&b_, m);
    TsSkinCmdHandler::OnSkinChanged(m);
    RedrawWithSkin();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    BroadcastToChildren(&b_, m);
    TsSkinCmdHandler::OnRefresh(m);
    RedrawWithSkin();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    // The system's status bar paints itself again.
    if (b_.HandleAllocated()) b_.RecreateWnd();
    BroadcastToChildren(&b_, m);
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintSuspended) return false;
    Data().PaintSuspended = false;
    b_.Repaint();
    return true;
  }

 private:
  // A new skin repaints the bar as a refresh does: its picture is the skin's.
  void RedrawWithSkin() {
    Data().BackgroundDirty = true;
    if (b_.HandleAllocated() && !AnimationRunning)
      RedrawWindow(b_.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
  }

  TsStatusBar& b_;
};

TsStatusBar::TsStatusBar(TComponent* owner)
    : TStatusBar(owner),
      host_(this),
      skinData_(std::make_unique<TsCommonData>(&host_, true)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  skinData_->ControlKind = TsControlKind::StatusBar;
  controlStyle_ += csAcceptsControls;
  controlStyle_ += csOpaque;
  skinData_->Loaded();
}

TsStatusBar::~TsStatusBar() {
  cmdHandler_.reset();
  skinData_.reset();
}

void TsStatusBar::Loaded() {
  TStatusBar::Loaded();
  skinData_->Loaded();
}

void TsStatusBar::CreateWnd() {
  TStatusBar::CreateWnd();
  skinData_->Loaded();
}

void TsStatusBar::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TStatusBar::WndProc(m);
    return;
  }
  TsCommonData& d = *skinData_;
  if (!IsControlReady(this) || !d.IsSkinned()) {
    TStatusBar::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      d.PaintSuspended = d.PaintingSuspended();
      if (!d.PaintSuspended && !d.BackgroundDirty) BlitCache(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PAINT:
      // The system's bar never paints under a skin: the picture covers all of it.
      if (!AnimationRunning)
        OwnPaint(reinterpret_cast<HDC>(m.WParam));
      else
        ValidateRect(Handle(), nullptr);
      return;
    case WM_NCPAINT:
      if (!Visible()) return;
      d.PaintSuspended = d.PaintingSuspended();
      if (AnimationRunning || d.PaintSuspended) return;
      PrepareCache();
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (!Visible()) return;
      d.PaintSuspended = d.PaintingSuspended();
      if (d.PaintSuspended) return;
      PrepareCache();
      BlitCache(reinterpret_cast<HDC>(m.WParam));
      return;
    default:
      break;
  }
  if (HandleCommonMessage(m, skinData_.get())) return;
  TStatusBar::WndProc(m);
  if (m.Msg == SB_SETTEXTA || m.Msg == SB_SIMPLE || m.Msg == SB_GETRECT) d.BackgroundDirty = true;
}

void TsStatusBar::BlitCache(HDC dc) {
  TsCommonData& d = *skinData_;
  if (!dc || !d.CacheBitmap) return;
  BlitCacheExceptControls(this, d,
                          TsCacheBlit{.DC = dc,
                                      .Dest = TRect{0, 0, Width(), Height()},
                                      .Source = TRect{0, 0, Width(), Height()},
                                      .PaintBorder = true});
  PaintGraphicChildren(dc, this, TPoint{0, 0}, true);
}

void TsStatusBar::OwnPaint(HDC given) {
  TPaintDC painting(Handle());
  HDC dc = given ? given : painting.Get();
  if (!dc) return;
  TSaveDC saved(dc);
  TsCommonData& d = *skinData_;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended) return;
  PrepareCache();
  BlitCache(dc);
  ResumeChildrenPainting(this);
  d.BackgroundDirty = false;
}

void TsStatusBar::PrepareCache() {
  TsCommonData& d = *skinData_;
  bool dirty = d.BackgroundDirty || d.PartlyHidden ||
               (Parent() && QueryControlSkinCmd(Parent(), CmdIsPartlyHidden) != 0);
  if (Parent()) {
    // Right and bottom edges are outside: a bar along its parent's bottom always counts as
    // partly hidden and is built anew at every paint, so a new font shows too.
    const TRect c = Parent()->ClientRect();
    const auto inside = [&](int x, int y) {
      return x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom;
    };
    d.PartlyHidden = !(inside(Left(), Top()) && inside(Left() + Width(), Top() + Height()));
  }
  if (!dirty || d.ImmediatePaint) return;
  TsBackgroundSource behind;
  d.GetParentBackground(behind);
  d.UpdateCacheSize();
  PaintControlItem(d, behind, d.CacheBitmap.get(), TPoint{Left(), Top()},
                   TRect{0, 0, Width(), Height()}, TsPaintState::Normal);
  PaintPanels();
  if (SizeGrip()) PaintGrip();
  d.BackgroundDirty = false;
}

void TsStatusBar::PaintPanels() {
  const int count = Panels()->Count();
  if (SimplePanel() || count == 0) {
    PaintPanel(nullptr, SimpleText(), TRect{0, 1, Width() - 1, Height() - 1}, true);
    return;
  }
  std::vector<int> widths;
  for (int i = 0; i < count; ++i) widths.push_back(Panels()->Items(i)->Width());
  for (int i = 0; i < count; ++i)
    PaintPanel(Panels()->Items(i), "", StatusPanelPaintRect(widths, i, Width(), Height()),
               i + 1 == count);
}

void TsStatusBar::PaintPanel(TStatusPanel* panel, const std::string& text, const TRect& r,
                             bool last) {
  TsCommonData& d = *skinData_;
  TsSkinManager* manager = d.SkinManager();
  TBitmap* cache = d.CacheBitmap.get();
  const bool simple = SimplePanel() || Panels()->Count() == 0;
  if (manager && manager->IsValidSectionIndex(d.SectionIndex)) {
    const int mask = manager->GetMaskIndex(d.SectionIndex, d.SkinSection(), "STATUSPANELMASK");
    if (manager->IsValidMaskIndex(mask)) {
      PaintMaskRect(cache, simple ? TRect{0, 0, Width(), Height()} : r,
                    manager->Masks()[static_cast<size_t>(mask)], 0, true, EmptyBackgroundSource);
    } else if (!simple && !last) {
      const int divider = manager->GetSectionIndex("DIVIDER");
      const int dividerMask = manager->IsValidSectionIndex(divider)
                                  ? manager->GetMaskIndex(divider, "DIVIDER", "BORDERSMASK")
                                  : -1;
      if (manager->IsValidMaskIndex(dividerMask)) {
        const TsMaskData& m = manager->Masks()[static_cast<size_t>(dividerMask)];
        const int width = std::max(2, m.WidthLeft + m.WidthRight);
        const int left = StatusDividerLeft(r, width);
        auto piece = CreateBmp32(width, Height() - 2);
        PaintItem(TsItemPaint{.Bitmap = piece.get(),
                              .R = TRect{0, 0, width, Height() - 2},
                              .SectionIndex = divider,
                              .SectionName = "DIVIDER",
                              .Background = MakeBackgroundSource(cache, left, 1),
                              .Manager = manager});
        CopyBitmapRect(cache, left, 1, piece.get(), TRect{0, 0, width, Height() - 2});
      }
    }
  }
  if (panel && panel->Style() == psOwnerDraw && OnDrawPanel()) {
    TSaveDC saved(cache->Canvas()->Handle());
    TCanvasOnDC lent(Canvas(), cache->Canvas()->Handle());
    OnDrawPanel()(this, panel, r);
    return;
  }
  TCanvas* canvas = cache->Canvas();
  canvas->Font()->Assign(Font());
  canvas->Brush()->SetStyle(bsClear);
  const TAlignment alignment = panel ? panel->Alignment() : taLeftJustify;
  DrawControlText(canvas, d,
                  TsSectionText{.Text = panel ? panel->Text() : text,
                                .R = StatusPanelTextRect(r),
                                .Format = GetTextAlignFlags(this, alignment) | DT_END_ELLIPSIS |
                                          DT_VCENTER | DT_SINGLELINE,
                                .Hot = d.IsActive()});
}

void TsStatusBar::PaintGrip() {
  TsSkinManager* manager = skinData_->SkinManager();
  if (!manager) return;
  const int global = manager->FixedIndexes().GlobalInfo;
  int grip = manager->GetMaskIndex(global, "GLOBALINFO", "GRIPIMAGE");
  if (grip < 0) grip = manager->GetMaskIndex(skinData_->SectionIndex, "FORM", "GRIPIMAGE");
  if (!manager->IsValidMaskIndex(grip)) return;
  const TsMaskData& mask = manager->Masks()[static_cast<size_t>(grip)];
  TBitmap* cache = skinData_->CacheBitmap.get();
  PaintMaskGlyph(cache, TPoint{Width() - MaskStateWidth(mask), Height() - MaskStateHeight(mask)}, 0,
                 mask, MakeBackgroundSource(cache, 0, 0));
}
