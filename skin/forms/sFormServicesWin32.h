// The services the form skinning offers the skin engine below it (ISkinFormServices): the
// glows, layered windows shown from a bitmap, a window hidden or made see-through for an
// animation, and the picture of a whole form with its children. The program registers them
// at start; the show, hide and skin-change animations of forms are here too; the dialog hook
// and the popup-menu adapters add theirs once they exist, and until then those do nothing.
#pragma once

#include <windows.h>

#include "skin/core/painting/sFormSkinning.h"
#include "skin/forms/skGlowWin32.h"

// With `layered` and layered windows available: a window that is not layered yet becomes
// layered with alpha 1, nearly invisible but still painted (true); an already layered one is
// left alone (false). Without `layered`: the window's visible and layered style bits are
// cleared (false).
bool HideForAnimation(HWND wnd, bool layered);
// Shows the 32-bit bitmap (per-pixel alpha) in the window through a layered update with the
// constant alpha on top, making the window layered when it is not; a null bitmap shows a
// transparent picture of the window's size.
void UpdateLayeredBitmap(HWND wnd, TBitmap* bitmap, int alpha);

class TsFormServicesWin32 : public TskGlowServicesWin32 {
 public:
  bool HideForAnimation(TWindowKey wnd, bool layered) override;
  void UpdateLayeredBitmap(TWindowKey wnd, TBitmap* bitmap, int alpha) override;
  // The animated hide of a skin provider's form, the skin change's cross-fade of a form with
  // a provider, and the end of a running hide (sVclUtilsAnimWin32.h).
  void AnimateFormHide(ISkinProvider& provider) override;
  void AnimateFromSnapshot(TWindowKey form, int time, int alpha, TskAnimType mode) override;
  void ForgetHideTimer() override;
  // The form of a skin provider with its children; nothing for another provider's kind or
  // before the form's frame was painted.
  void PaintFormToBitmap(TBitmap& bitmap, ISkinProvider& provider) override;
  // Standard dialogs and message boxes get their providers (skDialsWin32.h).
  void WindowCreating(TWindowKey wnd) override;
  void FreeMenuAdapters() override;
};

// The program's start-up list registers the services and takes them back when it ends.
void InstallFormServices();
void RemoveFormServices();
