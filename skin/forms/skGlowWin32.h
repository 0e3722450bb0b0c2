// The Win32 half of the glow effects: each glow is a layered tool window without border that
// shows its picture with per-pixel alpha just above the window it belongs to and lets the
// mouse through to whatever lies below it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/FormsWin32.h"
#include "skin/forms/skGlow.h"

// A glow with its window.
class TskGlowEffectWin32 : public TskGlowEffect {
 public:
  using TskGlowEffect::TskGlowEffect;
  ~TskGlowEffectWin32() override;

  // Shows the glow around `rect` (screen coordinates) cut to `clipRect` (the visible part in
  // the rectangle's own coordinates) just above `ownerWindow`; only when it has no window
  // yet. False when nothing is left to show.
  bool Show(const TRect& rect, const TRect& clipRect, HWND ownerWindow);
  HWND Handle() const;

  // The layered window; null before Show.
  TForm* GlowWindow = nullptr;
  // The window's own window method, put back before the window goes.
  TWndMethod PreviousProc;

 private:
  void GlowWndProc(TMessage& message);
};

// Shows the glow mask named MaskName + "0" of the section SectionName (exact section, no
// parent-class fall-back) around Rect over the owner window and answers its id; -1 when
// layered windows are not available, the skin has no such mask, or nothing is left to show.
// The glow always shows its picture as it is, with no further transparency.
int ShowGlow(const TsGlowRequest& request, HWND ownerWindow);

// The window of the glow with that id; null for none.
HWND GlowWindowHandle(int id);

// The glows with their windows, for the skin engine's skin data.
class TskGlowServicesWin32 : public TskGlowServices {
 public:
  int ShowGlow(const TsGlowRequest& request, TWindowKey owner) override {
    return ::ShowGlow(request, reinterpret_cast<HWND>(owner));
  }
};

// The program's start-up list registers the glow services and takes them back when it ends.
void InstallGlowServices();
void RemoveGlowServices();
