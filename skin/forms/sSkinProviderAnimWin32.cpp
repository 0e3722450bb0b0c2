// The skin provider's animations: the title buttons' fades, the blend while the form is
// dragged by its title, and the restore flight back from the task bar (the minimize flight
// starts with the system's minimize command, in the window procedure).
#include <windows.h>

#include "framework/ScopeExit.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "skin/forms/skBorderFormWin32.h"
#include "skin/forms/skGlowWin32.h"
#include "skin/forms/skMinTimerWin32.h"
#include "skin/forms/skMoveTimerWin32.h"
#include "skin/forms/skSBAnimationWin32.h"

namespace {

// Becoming hot or normal fades in this many 12 ms steps; a press shows at once.
constexpr int FadeSteps = 10;
constexpr int PressSteps = 1;

void SetLayered(HWND wnd, bool layered) {
  const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  const LONG_PTR wanted =
      layered ? exStyle | WS_EX_LAYERED : exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED);
  if (wanted != exStyle) SetWindowLongPtrA(wnd, GWL_EXSTYLE, wanted);
}

}  // namespace

// ---- the title buttons' fades ---------------------------------------------------------------

TskSBAnimation* TsSkinProvider::TitleButtonAnimation(int hitCode) const {
  const auto found = buttonAnimations_.find(hitCode);
  return found == buttonAnimations_.end() ? nullptr : found->second.get();
}

void TsSkinProvider::FreeButtonAnimations() {
  // Stopped, not freed: each keeps its window for the button's next fade.
  for (auto& [code, animation] : buttonAnimations_) animation->Stop();
  FreeTitleButtonGlows();
}

// ---- the glow around a hot title button -----------------------------------------------------

int TsSkinProvider::TitleButtonGlow(int hitCode) const {
  const auto found = buttonGlows_.find(hitCode);
  if (found == buttonGlows_.end() || GlowSerial(found->second.first) != found->second.second)
    return -1;
  return found->second.first;
}

void TsSkinProvider::FreeTitleButtonGlows() {
  for (const auto& [code, glow] : buttonGlows_)
    if (GlowSerial(glow.first) == glow.second) FreeGlow(glow.first);
  buttonGlows_.clear();
}

void TsSkinProvider::UpdateTitleButtonGlow(const TsPlacedTitleButton& button,
                                           const TsFormFacts& facts) {
  if (const auto found = buttonGlows_.find(button.HitCode); found != buttonGlows_.end()) {
    if (GlowSerial(found->second.first) == found->second.second) FreeGlow(found->second.first);
    buttonGlows_.erase(found);
  }
  TsSkinManager* manager = SkinManager();
  if (!manager || TitleButtonState(button.HitCode) != 1 || !manager->Effects()->AllowGlowing() ||
      form_->Parent() || form_->FormStyle() == fsMDIChild)
    return;
  const TsSkinData& skin = manager->CurrentSkin();
  int glow = 0, margin = 0;
  std::string maskName;
  switch (button.Kind) {
    case TsTitleButtonKind::Close:
      glow = skin.BICloseGlow, margin = skin.BICloseGlowMargin, maskName = "BICONCLOSEGLOW";
      break;
    case TsTitleButtonKind::Max:
      glow = skin.BIMaxGlow, margin = skin.BIMaxGlowMargin, maskName = "BICONMAXGLOW";
      break;
    case TsTitleButtonKind::Min:
      glow = skin.BIMinGlow, margin = skin.BIMinGlowMargin, maskName = "BICONMINGLOW";
      break;
    default:
      return;
  }
  if (glow <= 0) return;
  const TRect rect = ImageRectOnScreen(facts, button.Rect);
  HWND owner = borderForm_ ? borderForm_->Handle() : form_->Handle();
  const int id = ShowGlow({.Rect = rect,
                           .ClipRect = TRect{0, 0, rect.Width(), rect.Height()},
                           .SectionName = "GLOBALINFO",
                           .MaskName = maskName,
                           .Margin = margin,
                           .Manager = manager},
                          owner);
  if (id >= 0) buttonGlows_[button.HitCode] = {id, GlowSerial(id)};
}

bool TsSkinProvider::TitleButtonsFade() const {
  TsSkinManager* manager = SkinManager();
  // While the form itself animates or is dragged its buttons change at once.
  return manager && HasLayeredWindows() && FrameFlags == 0 && !RubberFrameActive() &&
         (manager->Effects()->AllowGlowing() || borderForm_) && !IsIconic(form_->Handle());
}

TRect TsSkinProvider::ImageRectOnScreen(const TsFormFacts& facts, const TRect& r) const {
  RECT origin{};
  // The border window shows the whole image from its corner; the form only its window part.
  if (HWND border = borderForm_ ? borderForm_->Handle() : nullptr) {
    GetWindowRect(border, &origin);
    return TRect{r.Left + origin.left, r.Top + origin.top, r.Right + origin.left,
                 r.Bottom + origin.top};
  }
  GetWindowRect(form_->Handle(), &origin);
  const TPoint shift = WindowToImage(facts, POINT{0, 0});
  return TRect{origin.left + r.Left - shift.X, origin.top + r.Top - shift.Y,
               origin.left + r.Right - shift.X, origin.top + r.Bottom - shift.Y};
}

void TsSkinProvider::AnimateTitleButton(const TsPlacedTitleButton& button, TBitmap* image,
                                        const TsFormFacts& facts) {
  const auto found = buttonAnimations_.find(button.HitCode);
  TskSBAnimation* animation = found == buttonAnimations_.end() ? nullptr : found->second.get();
  const TRect& r = button.Rect;
  const bool inImage = r.Left >= 0 && r.Top >= 0 && r.Right <= imageSize_.cx &&
                       r.Bottom <= imageSize_.cy && r.Width() > 0 && r.Height() > 0;
  if (!TitleButtonsFade() || !inImage) {
    if (animation) animation->Stop();
    return;
  }
  if (!animation) {
    HWND owner = borderForm_ ? borderForm_->Handle() : form_->Handle();
    animation = (buttonAnimations_[button.HitCode] = std::make_unique<TskSBAnimation>(owner)).get();
  }
  const int steps = TitleButtonState(button.HitCode) == 2 ? PressSteps : FadeSteps;
  animation->Start(CopyBitmapArea(*image, r), ImageRectOnScreen(facts, r), steps);
}

// ---- the blend while the form is dragged ----------------------------------------------------

bool TsSkinProvider::StartBlendOnMoving() {
  TsSkinManager* manager = SkinManager();
  if (!manager || (FrameFlags & BlendingFlag) || !HasLayeredWindows() || !allowBlendOnMoving_)
    return false;
  const TskBlendOnMoving& blend = manager->AnimEffects()->BlendOnMoving;
  if (!blend.Active || blend.BlendValue == 255) return false;
  HWND wnd = form_->Handle();
  if (IsIconic(wnd) || IsZoomed(wnd) || form_->Parent() || form_->FormStyle() == fsMDIChild)
    return false;
  // Without full-window dragging the system drags an outline, which cannot fade.
  BOOL dragFull = FALSE;
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &dragFull, 0);
  if (!dragFull) return false;

  if (!activeLook_) {
    activeLook_ = true;
    skinData_->BackgroundDirty = true;
    RepaintNonClient();
  }
  SetFocus(wnd);
  FreeButtonAnimations();
  FrameFlags |= BlendingFlag;
  const int formAlpha = form_->AlphaBlend() ? form_->AlphaBlendValue() : 255;
  moveTimer_ = std::make_unique<TskMoveTimer>(
      formAlpha, blend.BlendValue, blend.Time, [this, wnd](int alpha) {
        if (!IsWindow(wnd)) return;
        SetLayered(wnd, true);
        CallSetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
        if (borderForm_) UpdateExBorder(true, alpha);
      });
  // Layered at the form's own alpha before the drag, so the first fading step changes
  // nothing but the alpha.
  SetLayered(wnd, true);
  CallSetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(formAlpha), LWA_ALPHA);
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE | RDW_FRAME);
  moveTimer_->SetEnabled(true);
  // The system's move loop runs inside this message; the blend ends with it, on every way out.
  TScopeExit end([this] { EndBlendOnMoving(); });
  SendMessageA(wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  return true;
}

void TsSkinProvider::EndBlendOnMoving() {
  moveTimer_.reset();
  FrameFlags &= ~BlendingFlag;
  if (!form_->HandleAllocated()) return;
  HWND wnd = form_->Handle();
  if (form_->AlphaBlend())
    CallSetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(form_->AlphaBlendValue()), LWA_ALPHA);
  else
    SetLayered(wnd, false);
  if (borderForm_) UpdateExBorder(true, form_->AlphaBlend() ? form_->AlphaBlendValue() : 255);
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

// ---- the restore flight ---------------------------------------------------------------------

bool TsSkinProvider::StartRestoreAnimation() {
  TsSkinManager* manager = SkinManager();
  if (!minTimer_ || !manager || !manager->AnimEffects()->Minimizing.Active ||
      (FrameFlags & RestoringFlag) || !form_->HandleAllocated() || !HasLayeredWindows())
    return false;
  if (!minTimer_->Fly(false, [this] { RestoreAnimationEnded(); })) return false;
  FreeButtonAnimations();
  FrameFlags = (FrameFlags & ~MinimizingFlag) | RestoringFlag;
  MinimizedWithAnimation = false;
  // The form comes back to its place unseen and shows when the picture lands there.
  HWND wnd = form_->Handle();
  SetLayered(wnd, true);
  CallSetLayeredWindowAttributes(wnd, 0, 0, LWA_ALPHA);
  if (borderForm_) UpdateExBorder(true, 0);
  return true;
}

void TsSkinProvider::RestoreAnimationEnded() {
  FrameFlags &= ~RestoringFlag;
  if (!form_->HandleAllocated()) return;
  HWND wnd = form_->Handle();
  if (form_->AlphaBlend())
    CallSetLayeredWindowAttributes(wnd, 0, static_cast<BYTE>(form_->AlphaBlendValue()), LWA_ALPHA);
  else
    SetLayered(wnd, false);
  skinData_->BackgroundDirty = true;
  if (borderForm_) {
    borderForm_->SetShowing(false);
    UpdateExBorder(true, 255);
  }
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE | RDW_ERASE);
  if (IsWindowVisible(wnd) && !IsIconic(wnd)) SetFocus(wnd);
}
