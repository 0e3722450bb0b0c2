#include "skin/controls/sGroupBoxWin32.h"

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBordersWin32.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sTextPaintWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

// The skin command as the group box answers it: skin changes reach its children too, and a
// box with a caption section is its children's background.
class TsGroupBox::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsGroupBox& box) : TsControlCmdHandler(box, *box.skinData_), b_(box) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    BroadcastToChildren(&b_, m);
    if (!NamesOurManager(m)) return true;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A box shown before the skin came paints its new picture at once.
    if (b_.HandleAllocated()) Data().Invalidate();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (NamesOurManager(m)) TsSkinCmdHandler::OnRemoveSkin(m);
    BroadcastToChildren(&b_, m);
    if (NamesOurManager(m)) b_.Repaint();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (NamesOurManager(m)) TsSkinCmdHandler::OnRefresh(m);
    BroadcastToChildren(&b_, m);
    if (NamesOurManager(m)) b_.Repaint();
    return true;
  }
  bool OnGetBgInfo(TSkinCmdMessage& m) override {
    if (b_.captionSkin_.empty() || !Data().CacheBitmap) return TsSkinCmdHandler::OnGetBgInfo(m);
    if (m.LParam != 0) {
      auto& request = *reinterpret_cast<TsBackgroundRequest*>(m.LParam);
      request.BgType = 2;
      request.Bmp = Data().CacheBitmap.get();
      request.X = request.Y = 0;
    }
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage& m) override {
    if (!ReadyAndSkinned() || !Data().PaintSuspended) return TsSkinCmdHandler::OnResumePainting(m);
    Data().PaintSuspended = false;
    Data().PaintSuspended = Data().PaintingSuspended();
    if (b_.Showing() && !Data().PaintSuspended)
      RedrawWindow(b_.Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    return true;
  }
  bool OnSetImmediatePaint(TSkinCmdMessage& m) override {
    TsSkinCmdHandler::OnSetImmediatePaint(m);
    if (!ReadyAndSkinned()) return false;
    if (Data().ImmediatePaint) b_.PrepareCache();
    return true;
  }
  bool OnIsUpdating(TSkinCmdMessage& m) override {
    if (!ReadyAndSkinned()) return TsSkinCmdHandler::OnIsUpdating(m);
    m.Result = Data().BackgroundDirty || Data().PaintingSuspended() ? 1 : 0;
    return true;
  }

 private:
  TsGroupBox& b_;
};

TsGroupBox::TsGroupBox(TComponent* owner)
    : TGroupBox(owner),
      host_(this),
      skinData_(std::make_unique<TsCommonData>(&host_, true)),
      cmdHandler_(std::make_unique<TCmdHandler>(*this)) {
  controlStyle_.Exclude(csOpaque);
  skinData_->ControlKind = TsControlKind::GroupBox;
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsGroupBox::~TsGroupBox() {
  cmdHandler_.reset();
  skinData_.reset();
}

void TsGroupBox::Loaded() {
  TGroupBox::Loaded();
  skinData_->Loaded();
}

void TsGroupBox::CreateWnd() {
  TGroupBox::CreateWnd();
  skinData_->Loaded();
}

void TsGroupBox::SetCaptionLayout(sGroupBox::TsCaptionLayout value) {
  if (value == captionLayout_) return;
  captionLayout_ = value;
  if (!Caption().empty()) skinData_->Invalidate();
}

void TsGroupBox::SetCaptionYOffset(int value) {
  if (value == captionYOffset_) return;
  captionYOffset_ = value;
  skinData_->Invalidate();
  Realign();
}

void TsGroupBox::SetCaptionSkin(const std::string& value) {
  if (value == captionSkin_) return;
  captionSkin_ = value;
  skinData_->Invalidate();
}

TRect TsGroupBox::ClientRect() {
  TRect r = TGroupBox::ClientRect();
  if (!ComponentState().Contains(csDestroying)) r.Top += captionYOffset_;
  return r;
}

TRect TsGroupBox::CaptionRect() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TCanvas* canvas = d.CacheBitmap->Canvas();
  canvas->Font()->Assign(Font());
  return GroupCaptionRect(TsGroupCaptionFacts{.Width = Width(),
                                              .TextWidth = TextWidthOf(canvas, Caption()),
                                              .LetterHeight = TextHeightOf(canvas, "W"),
                                              .Layout = captionLayout_,
                                              .Skinned = d.IsSkinned(),
                                              .CaptionYOffset = captionYOffset_});
}

void TsGroupBox::Paint() {
  if (skinData_->IsSkinned(true))
    OwnPaint(Canvas()->Handle());
  else
    TGroupBox::Paint();
}

void TsGroupBox::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TsBackgroundSource behind;
  d.GetParentBackground(behind);
  const TRect band = CaptionRect();
  TBitmap* cache = d.CacheBitmap.get();
  HDC cacheDC = cache->Canvas()->Handle();
  // The band shows what lies behind the box: the frame begins below its top.
  if (behind.HasBitmap && behind.Bmp) {
    BitBlt(cacheDC, 0, 0, Width(), band.Height(), behind.Bmp->Canvas()->Handle(), Left() + behind.X,
           Top() + behind.Y, SRCCOPY);
  } else if (Parent()) {
    PaintSolidRect(cacheDC, TRect{0, 0, Width(), band.Bottom}, behind.FillColor);
  }
  const int top = GroupFrameTop(band, captionYOffset_);
  PaintControlItem(d, behind, cache, TPoint{Left(), Top() + top}, TRect{0, top, Width(), Height()},
                   TsPaintState::Normal);
  if (!Caption().empty()) PaintCaption(band, behind);
  d.BackgroundDirty = false;
}

void TsGroupBox::PaintCaption(const TRect& band, const TsBackgroundSource& behind) {
  TsCommonData& d = *skinData_;
  TBitmap* cache = d.CacheBitmap.get();
  const TsPaintState state = Focused() ? TsPaintState::Hot : TsPaintState::Normal;
  TsSkinManager* manager = d.SkinManager();
  if (!captionSkin_.empty() && manager) {
    PaintItem(TsItemPaint{.Bitmap = cache,
                          .R = band,
                          .SectionIndex = manager->GetSectionIndex(captionSkin_),
                          .SectionName = captionSkin_,
                          .State = state,
                          .Background = MakeBackgroundSource(cache, 0, 0),
                          .Manager = manager});
  } else if (behind.HasBitmap && behind.Bmp && manager) {
    PaintItem(TsItemPaint{.Bitmap = cache,
                          .R = band,
                          .SectionIndex = manager->GetSectionIndex("CHECKBOX"),
                          .SectionName = "CHECKBOX",
                          .State = state,
                          .Background = behind,
                          .Offset = TPoint{Left() + band.Left, Top() + band.Top},
                          .Manager = manager});
  } else {
    PaintSolidRect(cache->Canvas()->Handle(), band, behind.FillColor);
  }
  TCanvas* canvas = cache->Canvas();
  canvas->Font()->Assign(Font());
  // A disabled box says so in its caption, as the system's group box does: its children are
  // disabled with it, and a caption in full colour would promise otherwise.
  DrawControlText(canvas, d,
                  TsSectionText{.Text = Caption(),
                                .R = band,
                                .Format = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                                .Enabled = Enabled()});
}

void TsGroupBox::OwnPaint(HDC dc) {
  TsCommonData& d = *skinData_;
  if (!d.IsSkinned(true) || ComponentState().Contains(csDestroying) ||
      (!Visible() && !ComponentState().Contains(csDesigning)))
    return;
  if (AnimationRunning && reinterpret_cast<intptr_t>(dc) != d.PrintTarget) return;
  d.PaintSuspended = d.PaintingSuspended();
  if (d.PaintSuspended) return;
  if (d.DependsOnParentBg() && Parent()) {
    const TRect client = Parent()->ClientRect();
    const auto outside = [&](int x, int y) {
      return x < client.Left || y < client.Top || x >= client.Right || y >= client.Bottom;
    };
    d.PartlyHidden =
        outside(Left() + 1, Top() + 1) || outside(Left() + Width() - 1, Top() + Height() - 1);
  } else {
    d.PartlyHidden = false;
  }
  if (!d.ImmediatePaint) PrepareCache();
  BlitCacheExceptControls(this, d,
                          TsCacheBlit{.DC = dc,
                                      .Dest = TRect{0, 0, Width(), Height()},
                                      .Source = TRect{0, 0, Width(), Height()}});
  PaintGraphicChildren(dc, this, TPoint{0, 0}, true);
  ResumeChildrenPainting(this);
}

bool TsGroupBox::HandleSkinned(TMessage& m) {
  TsCommonData& d = *skinData_;
  switch (m.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC painted = BeginPaint(Handle(), &ps);
      HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : painted;
      OwnPaint(dc);
      EndPaint(Handle(), &ps);
      return true;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_PRINT:
      d.PaintSuspended = false;
      OwnPaint(reinterpret_cast<HDC>(m.WParam));
      return true;
    case CM_TEXTCHANGED:
      d.Invalidate();
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TGroupBox::WndProc(m);
      return true;
    case WM_WINDOWPOSCHANGED:
    case CM_VISIBLECHANGED:
      d.BackgroundDirty = true;
      return false;
    case WM_MOVE:
      d.BackgroundDirty = d.BackgroundDirty || d.DependsOnParentBg();
      return false;
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
      if (!Caption().empty()) d.Invalidate();
      return false;
    default:
      return false;
  }
}

void TsGroupBox::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    if (!cmdHandler_->Answer(m)) TGroupBox::WndProc(m);
    return;
  }
  if (!IsControlReady(this) || !skinData_->IsSkinned()) {
    TGroupBox::WndProc(m);
    return;
  }
  if (HandleSkinned(m)) return;
  HandleCommonMessage(m, skinData_.get());
  TGroupBox::WndProc(m);
}
