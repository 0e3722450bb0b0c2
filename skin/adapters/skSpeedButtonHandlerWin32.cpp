#include "skin/adapters/skSpeedButtonHandlerWin32.h"

#include <algorithm>
#include <functional>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/painting/sSkinCmdHandler.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

// The button's skin command: the skin data answers the skin's coming, refresh and removal of
// its own manager; whether it is skinned and the application; every other command goes on to
// the button's own method.
class TSpeedButtonCmdHandler : public TsSkinCmdHandler {
 public:
  TSpeedButtonCmdHandler(TsCommonData& data, TGraphicControl& button, std::function<void()> unhook)
      : TsSkinCmdHandler(data), button_(button), unhook_(std::move(unhook)) {}

 protected:
  bool OnSkinChanged(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnSkinChanged(m);
    return true;
  }
  bool OnRemoveSkin(TSkinCmdMessage& m) override {
    // While the button is being destroyed the command only passes on.
    if (!NamesOurManager(m) || button_.ComponentState().Contains(csDestroying)) return false;
    TsSkinCmdHandler::OnRemoveSkin(m);
    unhook_();
    if (button_.Visible()) button_.Repaint();
    return true;
  }
  bool OnRefresh(TSkinCmdMessage& m) override {
    if (!NamesOurManager(m)) return false;
    TsSkinCmdHandler::OnRefresh(m);
    if (button_.Visible()) button_.Repaint();
    return true;
  }
  bool OnResumePainting(TSkinCmdMessage&) override {
    if (!Data().PaintingSuspended()) return false;
    Data().SetPaintSuspended(false);
    button_.Repaint();
    return true;
  }
  bool OnRepaintAll(TSkinCmdMessage&) override {
    Data().PaintSuspended = false;
    Data().BackgroundDirty = true;
    button_.Repaint();
    return false;
  }
  bool OnGetApplication(TSkinCmdMessage& m) override {
    m.Result = reinterpret_cast<intptr_t>(Application);
    return true;
  }
  // Everything else is the button's own business.
  bool OnSetUpdating(TSkinCmdMessage&) override { return false; }
  bool OnSetImmediatePaint(TSkinCmdMessage&) override { return false; }
  bool OnIsUpdating(TSkinCmdMessage&) override { return false; }
  bool OnIsPartlyHidden(TSkinCmdMessage&) override { return false; }
  bool OnRefreshSection(TSkinCmdMessage&) override { return false; }
  bool OnSetSection(TSkinCmdMessage&) override { return false; }
  bool OnBgChanged(TSkinCmdMessage&) override { return false; }
  bool OnIsBgGraphic(TSkinCmdMessage&) override { return false; }
  bool OnBgChangedRedraw(TSkinCmdMessage&) override { return false; }
  bool OnGetBgColor(TSkinCmdMessage&) override { return false; }
  bool OnSetPartlyHidden(TSkinCmdMessage&) override { return false; }
  bool OnGetSectionIndex(TSkinCmdMessage&) override { return false; }
  bool OnGetBgInfo(TSkinCmdMessage&) override { return false; }
  bool OnSkinState(TSkinCmdMessage&) override { return false; }
  bool OnSetPrintDC(TSkinCmdMessage&) override { return false; }

 private:
  TGraphicControl& button_;
  std::function<void()> unhook_;
};

TskGlyphSide SideOf(TButtonLayout layout) {
  switch (layout) {
    case blGlyphRight:
      return TskGlyphSide::Right;
    case blGlyphTop:
      return TskGlyphSide::Top;
    case blGlyphBottom:
      return TskGlyphSide::Bottom;
    default:
      return TskGlyphSide::Left;
  }
}

TsPaintState PaintStateOf(int drawState) {
  return drawState == 2   ? TsPaintState::Pressed
         : drawState == 1 ? TsPaintState::Hot
                          : TsPaintState::Normal;
}

}  // namespace

TskSpeedButtonHandler::TskSpeedButtonHandler(TGraphicControl* button, TsCommonData* skinData,
                                             TsSkinManager*, const std::string& section, bool)
    : button_(button), data_(skinData), watcher_([this] { ButtonFreed(); }) {
  if (data_->SkinSection().empty()) data_->SetSkinSection(section);
  watcher_.Watch(button_);
  hook_ = std::make_shared<THook>(THook{this, button_->WindowProc(), true});
  button_->SetWindowProc(TWndMethod([hook = hook_](TMessage& m) {
    if (hook->Active && hook->Handler)
      hook->Handler->WndProc(m);
    else if (hook->Saved)
      hook->Saved(m);
  }));
}

TskSpeedButtonHandler::~TskSpeedButtonHandler() {
  // A live button gets its method back: it never calls into a freed handler.
  Unhook();
  hook_->Handler = nullptr;
}

void TskSpeedButtonHandler::Unhook() {
  if (!hook_->Active) return;
  hook_->Active = false;
  if (button_) button_->SetWindowProc(hook_->Saved);
}

void TskSpeedButtonHandler::ButtonFreed() {
  hook_->Active = false;
  button_ = nullptr;
}

LRESULT TskSpeedButtonHandler::CallSavedProc(UINT msg, WPARAM wParam, LPARAM& lParam) {
  if (!hook_->Saved) return 0;
  TMessage m{msg, wParam, lParam, 0};
  hook_->Saved(m);
  lParam = m.LParam;
  return m.Result;
}

void TskSpeedButtonHandler::PassOn(TMessage& m) {
  m.Result = CallSavedProc(m.Msg, m.WParam, m.LParam);
}

void TskSpeedButtonHandler::WndProc(TMessage& m) {
  if (m.Msg == SM_SKINCMD) {
    TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    TSpeedButtonCmdHandler handler(*data_, *button_, [this] { Unhook(); });
    if (handler.Handle(cmd)) {
      m.Result = cmd.Result;
      return;
    }
    PassOn(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      // The button's own painting never runs.
      Paint(m);
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      data_->MouseOver = m.Msg == CM_MOUSEENTER;
      data_->BackgroundDirty = true;
      break;
    default:
      break;
  }
  PassOn(m);
}

int TskSpeedButtonHandler::GetDrawState() const {
  if (auto* speed = SpeedButton()) {
    if (speed->State() == bsDown || speed->State() == bsExclusive || speed->Down()) return 2;
  }
  return data_->IsActive() ? 1 : 0;
}

TSize TskSpeedButtonHandler::MeasureCaption() {
  const std::string caption = button_->Caption();
  if (caption.empty()) return TSize{0, 0};
  data_->UpdateCacheSize();
  TCanvas* canvas = data_->CacheBitmap->Canvas();
  canvas->Font()->Assign(button_->Font());
  RECT r{0, 0, SpeedButtonCaptionWrapWidth, 0};
  DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  return TSize{r.right - r.left, r.bottom - r.top};
}

TskSpeedButtonFacts TskSpeedButtonHandler::Facts() {
  TskSpeedButtonFacts f;
  f.Width = button_->Width();
  f.Height = button_->Height();
  f.Caption = MeasureCaption();
  f.HasCaption = !button_->Caption().empty();
  f.Pressed = GetDrawState() == 2;
  if (auto* speed = SpeedButton()) {
    TBitmap* glyph = speed->Glyph();
    if (glyph && !glyph->Empty())
      f.Glyph = TSize{glyph->Width() / std::max(speed->NumGlyphs(), 1), glyph->Height()};
    f.Side = SideOf(speed->Layout());
    f.Margin = speed->Margin();
    f.Spacing = speed->Spacing();
  }
  return f;
}

TRect TskSpeedButtonHandler::GetGlyphRect() { return SpeedButtonHandlerGlyphRect(Facts()); }

TRect TskSpeedButtonHandler::GetCaptionRect() { return SpeedButtonHandlerCaptionRect(Facts()); }

void TskSpeedButtonHandler::Paint(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) return;
  TSaveDC saved(dc);
  PrepareCache();
  TBitmap* cache = data_->CacheBitmap.get();
  if (!cache || cache->Empty()) return;
  BitBlt(dc, 0, 0, button_->Width(), button_->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TskSpeedButtonHandler::PrepareCache() {
  data_->UpdateCacheSize();
  TBitmap* cache = data_->CacheBitmap.get();
  if (!cache || cache->Empty()) return;
  cache->Canvas()->Font()->Assign(button_->Font());
  TsBackgroundSource background;
  data_->GetParentBackground(background);
  // A parent whose picture is not made yet: the previous image stays, and stays dirty.
  if (background.HasBitmap && background.Bmp && background.Bmp->Width() == 0) return;
  const TPoint offset{button_->Left(), button_->Top()};
  PaintControlItem(*data_, background, cache, offset,
                   TRect{0, 0, button_->Width(), button_->Height()}, PaintStateOf(GetDrawState()));
  DrawCaption();
  DrawGlyph();
  if (!button_->Enabled()) {
    data_->GetParentBackground(background);
    PaintDisabledEffect(cache, TsDisabledKind{dkBlended}, GetControlBgColor(button_->Parent()),
                        offset, background);
  }
  data_->BackgroundDirty = false;
}

void TskSpeedButtonHandler::DrawCaption() {
  const std::string caption = button_->Caption();
  if (caption.empty()) return;
  TCanvas* canvas = data_->CacheBitmap->Canvas();
  canvas->Font()->Assign(button_->Font());
  canvas->Brush()->SetStyle(bsClear);
  UINT flags = GetTextAlignFlags(button_, taLeftJustify) | DT_WORDBREAK | DT_EXPANDTABS;
  flags &= ~static_cast<UINT>(DT_SINGLELINE);
  DrawControlText(canvas, *data_,
                  TsSectionText{.Text = caption,
                                .R = GetCaptionRect(),
                                .Format = flags,
                                .Hot = GetDrawState() != 0,
                                .Enabled = button_->Enabled()});
}

void TskSpeedButtonHandler::DrawGlyph() {
  TSpeedButton* speed = SpeedButton();
  if (!speed || !speed->Glyph() || speed->Glyph()->Empty()) return;
  PaintGlyph(data_->CacheBitmap.get(), GetGlyphRect(), speed->Glyph(),
             TsGlyphLook{.Count = std::max(speed->NumGlyphs(), 1),
                         .Mode = 0,
                         .State = GetDrawState(),
                         .Blend = 0,
                         .Enabled = speed->Enabled(),
                         .DisabledKind = TsDisabledKind{dkBlended}});
}
