#include "skin/forms/sTitleButtonWin32.h"

#include <windows.h>

#include <algorithm>

#include "framework/FormsWin32.h"
#include "skin/forms/sSkinProviderWin32.h"

namespace {

// The hint's text is laid out no wider than this.
constexpr int MaxHintWidth = 800;
// Hints shorter than this fade in, over this many milliseconds.
constexpr size_t MaxFadedHintLength = 100;
constexpr DWORD HintFadeTime = 200;

}  // namespace

TsTitleButton::TsTitleButton(TCollection* collection) : TCollectionItem(collection) {}

TsTitleButton::~TsTitleButton() = default;

std::string TsTitleButton::GetDisplayName() const {
  return name_.empty() ? std::string("TsTitleButton") : name_;
}

void TsTitleButton::Repaint() {
  if (!Collection()) return;
  if (auto* provider = dynamic_cast<TsSkinProvider*>(Collection()->GetOwner()))
    provider->RepaintNonClient();
}

void TsTitleButton::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Repaint();
}

void TsTitleButton::SetGlyph(TBitmap* value) {
  if (!value || value->Empty()) {
    glyph_.reset();
  } else {
    if (!glyph_) glyph_ = std::make_unique<TBitmap>();
    glyph_->Assign(value);
  }
  Repaint();
}

void TsTitleButton::SetUseSkinData(bool value) {
  if (useSkinData_ == value) return;
  useSkinData_ = value;
  Repaint();
}

void TsTitleButton::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Repaint();
}

void TsTitleButton::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown_) OnMouseDown_(this, button, shift, x, y);
}

void TsTitleButton::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp_) OnMouseUp_(this, button, shift, x, y);
}

void TsTitleButton::OpenHintWindow() {
  hintWindow_.reset();
  if (hint_.empty()) return;
  auto hint = std::make_unique<THintWindow>(Application);
  hint->SetColor(clInfoBk);
  TRect r = hint->CalcHintRect(MaxHintWidth, hint_);
  r.Bottom += 4;
  POINT at;
  GetCursorPos(&at);
  // Below and right of the mouse, moved back inside the work area of its monitor.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor);
  int x = at.x + 8, y = at.y + 16;
  x = std::min(x, static_cast<int>(monitor.rcWork.right) - r.Width());
  y = std::min(y, static_cast<int>(monitor.rcWork.bottom) - r.Height());
  hint->SetCaption(hint_);
  hint->SetBounds(x, y, r.Width(), r.Height());
  const HWND wnd = hint->Handle();
  SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER);
  // A short hint fades in as the system's tool tips do, when the user has them fade.
  BOOL animate = FALSE, fade = FALSE;
  SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animate, 0);
  SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
  if (hint_.size() < MaxFadedHintLength && animate && fade)
    AnimateWindow(wnd, HintFadeTime, AW_BLEND);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  hint->Invalidate();
  hintWindow_ = std::move(hint);
}

void TsTitleButton::AssignTo(TPersistent* dest) {
  auto* other = dynamic_cast<TsTitleButton*>(dest);
  if (!other) {
    TCollectionItem::AssignTo(dest);
    return;
  }
  other->enabled_ = enabled_;
  other->SetGlyph(glyph_.get());
  other->hint_ = hint_;
  other->name_ = name_;
  other->useSkinData_ = useSkinData_;
  other->OnMouseDown_ = OnMouseDown_;
  other->OnMouseUp_ = OnMouseUp_;
}
