#include "skin/forms/sFormServicesWin32.h"

#include <algorithm>
#include <memory>

#include "framework/GraphicsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/forms/sSkinProviderWin32.h"
#include "skin/forms/sVclUtilsAnimWin32.h"
#include "skin/forms/skDialsWin32.h"

bool HideForAnimation(HWND wnd, bool layered) {
  const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  if (layered && HasLayeredWindows()) {
    if (exStyle & WS_EX_LAYERED) return false;
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(wnd, 0, 1, LWA_ALPHA);
    return true;
  }
  // Only the bits: the window is not told, so nothing is painted or hidden with animation.
  SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) & ~WS_VISIBLE);
  SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
  return false;
}

void UpdateLayeredBitmap(HWND wnd, TBitmap* bitmap, int alpha) {
  std::unique_ptr<TBitmap> blank;
  if (!bitmap) {
    RECT r;
    GetWindowRect(wnd, &r);
    blank = CreateBmp32(r.right - r.left, r.bottom - r.top);
    bitmap = blank.get();
  }
  const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  TWindowDC screen(nullptr);
  SIZE size{bitmap->Width(), bitmap->Height()};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  UpdateLayeredWindow(wnd, screen.Get(), nullptr, &size, bitmap->Canvas()->Handle(), &source, 0,
                      &blend, ULW_ALPHA);
}

bool TsFormServicesWin32::HideForAnimation(TWindowKey wnd, bool layered) {
  return ::HideForAnimation(reinterpret_cast<HWND>(wnd), layered);
}

void TsFormServicesWin32::UpdateLayeredBitmap(TWindowKey wnd, TBitmap* bitmap, int alpha) {
  ::UpdateLayeredBitmap(reinterpret_cast<HWND>(wnd), bitmap, alpha);
}

void TsFormServicesWin32::PaintFormToBitmap(TBitmap& bitmap, ISkinProvider& provider) {
  if (auto* formProvider = dynamic_cast<TsSkinProvider*>(&provider))
    formProvider->PaintFormToBitmap(bitmap);
}

void TsFormServicesWin32::AnimateFormHide(ISkinProvider& provider) {
  if (auto* formProvider = dynamic_cast<TsSkinProvider*>(&provider))
    ::AnimateFormHide(*formProvider);
}

void TsFormServicesWin32::AnimateFromSnapshot(TWindowKey form, int time, int alpha,
                                              TskAnimType mode) {
  auto* control = TWinControl::FindControl(reinterpret_cast<HWND>(form));
  auto* customForm = dynamic_cast<TCustomForm*>(control);
  if (TsSkinProvider* provider = customForm ? FormSkinProvider(customForm) : nullptr)
    ::AnimateFromSnapshot(*provider, time, alpha, mode);
}

void TsFormServicesWin32::WindowCreating(TWindowKey wnd) {
  DialogWindowCreated(reinterpret_cast<HWND>(wnd));
}

void TsFormServicesWin32::FreeMenuAdapters() { FreePopupMenuAdapters(); }

// Every hide reuses the one hide timer; what a running hide shows ends here.
void TsFormServicesWin32::ForgetHideTimer() { StopHideAnimation(); }

namespace {
TsFormServicesWin32 FormServicesWin32;
}  // namespace

void InstallFormServices() { SetFormServices(&FormServicesWin32); }

void RemoveFormServices() { SetFormServices(nullptr); }
