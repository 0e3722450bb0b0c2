#include "skin/controls/sBevelWin32.h"

#include "framework/FormsWin32.h"
#include "skin/controls/sControlCmdHandlerWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/skinfiles/sSkinManager.h"

// The skin command as the bevel answers it: skin changes and refreshes repaint it at once.
class TsBevel::TCmdHandler : public TsControlCmdHandler {
 public:
  explicit TCmdHandler(TsBevel& bevel) : TsControlCmdHandler(bevel, *bevel.skinData_), b_(bevel) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    // A bevel shown before the skin came shows its strips at once.
    Data().BackgroundDirty = true;
    if (b_.Visible()) b_.Invalidate();
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m) || b_.ComponentState().Contains(csDestroying)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    if (b_.Visible()) b_.Repaint();
    return false;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    if (b_.Visible()) b_.Repaint();
    return true;
  }
  bool OnRepaintAll(TSkinCmdMessage&) override {
    Data().PaintSuspended = false;
    Data().BackgroundDirty = true;
    b_.Repaint();
    return false;
  }

 private:
  TsBevel& b_;
};

TsBevel::TsBevel(TComponent* owner)
    : TBevel(owner),
      host_(this),
      skinData_(std::make_unique<TsCommonData>(&host_, true)),
      storedShape_(Shape()),
      storedStyle_(Style()) {
  skinData_->ControlKind = TsControlKind::SpeedButton;
  UpdateSection();
  // A control made in code is complete here: what streaming does in Loaded happens now.
  skinData_->Loaded();
}

TsBevel::~TsBevel() { skinData_.reset(); }

void TsBevel::Loaded() {
  TBevel::Loaded();
  UpdateSection();
  skinData_->Loaded();
}

TsBevelLines TsBevel::Lines() const {
  switch (Shape()) {
    case bsBox:
      return TsBevelLines::Box;
    case bsFrame:
      return TsBevelLines::Frame;
    case bsTopLine:
      return TsBevelLines::TopLine;
    case bsBottomLine:
      return TsBevelLines::BottomLine;
    case bsLeftLine:
      return TsBevelLines::LeftLine;
    case bsRightLine:
      return TsBevelLines::RightLine;
    case bsSpacer:
      break;
  }
  return TsBevelLines::Spacer;
}

void TsBevel::UpdateSection() {
  skinData_->SetSkinSection(BevelSection(Lines(), Style() == bsRaised));
  skinData_->BackgroundDirty = true;
}

void TsBevel::Invalidate() {
  if (Style() != storedStyle_) {
    storedStyle_ = Style();
    UpdateSection();
  }
  if (Shape() != storedShape_) {
    storedShape_ = Shape();
    UpdateSection();
  }
  TBevel::Invalidate();
}

void TsBevel::PrepareCache() {
  TsCommonData& d = *skinData_;
  d.UpdateCacheSize();
  TsBackgroundSource behind;
  d.GetParentBackground(behind);
  TsSkinManager* manager = d.SkinManager();
  PaintItem(TsItemPaint{.Bitmap = d.CacheBitmap.get(),
                        .R = TRect{0, 0, Width(), Height()},
                        .SectionIndex = d.SectionIndex,
                        .SectionName = d.SkinSection(),
                        .State = TsPaintState::Normal,
                        .Background = behind,
                        .Offset = TPoint{Left(), Top()},
                        .Manager = manager});
}

void TsBevel::Paint() {
  const TsBevelLines lines = Lines();
  if (!skinData_->IsSkinned() || lines == TsBevelLines::Spacer || Width() <= 0 || Height() <= 0) {
    TBevel::Paint();
    return;
  }
  // The bevel never clears the flag: the parent behind it may have changed at every paint.
  if (skinData_->BackgroundDirty) PrepareCache();
  HDC dc = Canvas()->Handle();
  HDC cacheDC = skinData_->CacheBitmap->Canvas()->Handle();
  for (const TRect& r : BevelStrips(lines, Width(), Height()))
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), cacheDC, r.Left, r.Top, SRCCOPY);
}

void TsBevel::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD && TCmdHandler(*this).Answer(m)) return;
  if (m.Msg != SM_SKINCMD && IsControlReady(this) && skinData_->IsSkinned()) {
    switch (m.Msg) {
      case WM_SIZE:
      case WM_WINDOWPOSCHANGED:
        if (Visible()) skinData_->BackgroundDirty = true;
        break;
      case WM_ERASEBKGND:
        return;
      default:
        break;
    }
    HandleCommonMessage(m, skinData_.get());
  }
  TBevel::WndProc(m);
}
