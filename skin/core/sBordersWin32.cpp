// Shaped windows: the holes of a border mask's corners removed from a region.
#include "skin/core/sBordersWin32.h"

#include <algorithm>

#include "framework/Canvas.h"
#include "framework/ControlsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/sAlphaGraph.h"
#include "skin/core/sAlphaGraphSkin.h"
#include "skin/core/sColorsWin32.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sGraphics.h"
#include "skin/core/sSectionPaint.h"
#include "skin/core/sSectionPaintWin32.h"
#include "skin/core/sSkinManager.h"

void PaintMaskBitmap(TBitmap* bitmap, HRGN region, bool drawCentre, int state,
                     const TsMaskData& mask) {
  std::vector<TRect> holes;
  PaintMaskBitmap(bitmap, region ? &holes : nullptr, drawCentre, state, mask);
  for (const TRect& hole : holes) {
    TRegion cut(CreateRectRgn(hole.Left, hole.Top, hole.Right, hole.Bottom));
    if (cut) CombineRgn(region, region, cut.Get(), RGN_DIFF);
  }
}

namespace {

// The parent's background as a source for the control's own coordinates.
TsBackgroundSource ParentBackground(TControl* control) {
  TsBackgroundRequest request;
  TControl* parent = control ? control->Parent() : nullptr;
  if (!parent) return EmptyBackgroundSource;
  GetControlBackground(request, parent, false);
  TsBackgroundSource source = BackgroundSourceFromRequest(request);
  if (request.BgType == 2) {
    source.X += control->Left();
    source.Y += control->Top();
  }
  return source;
}

const TsMaskData* BorderMaskOf(const TsCommonData& data) {
  TsSkinManager* manager = data.SkinManager();
  if (!manager || !manager->IsValidMaskIndex(data.BorderMaskIndex)) return nullptr;
  return &manager->Masks()[static_cast<size_t>(data.BorderMaskIndex)];
}

}  // namespace

void FillBorderCorners(const TsCommonData& data, int state, TBitmap* cache, TControl* control) {
  const TsMaskData* mask = BorderMaskOf(data);
  if (!mask || !cache || !control) return;
  FillMaskCorners(cache, *mask, state, ParentBackground(control));
}

void PaintCtrlBorder(const TsCommonData& data, int state, TBitmap* cache, TControl* control) {
  const TsMaskData* mask = BorderMaskOf(data);
  if (!mask || !cache || !control || cache->Empty()) return;
  const TsBackgroundSource behind = ParentBackground(control);
  FillMaskCorners(cache, *mask, state, behind);
  PaintMaskRect(cache, TRect{0, 0, cache->Width(), cache->Height()}, *mask, state, true, behind);
}

void PaintNonClientBorder(HDC dc, const TRect& r, int width, TRect& inner, int state,
                          const TsCommonData& data, TBitmap* cache, TControl* control) {
  const TColor bgColor = ColorToRGB(data.BgColor(state));
  const TsMaskData* mask = BorderMaskOf(data);
  if (!mask || !cache) {
    if (width != 0 && dc) PaintSolidFrame(dc, r, bgColor, width, width, width, width);
    return;
  }
  TsSkinManager* manager = data.SkinManager();
  if (manager->IsValidSectionIndex(data.SectionIndex))
    state = LimitSectionState(*manager, data.SectionIndex, state);
  if (cache->Width() < r.Right || cache->Height() < r.Bottom) {
    cache->SetPixelFormat(pf32bit);
    cache->SetSize(std::max(cache->Width(), r.Right), std::max(cache->Height(), r.Bottom));
  }
  const TsBackgroundSource behind = ParentBackground(control);
  if (mask->MaskType == 1) {
    if (behind.Bmp) {
      CopyRectWithBackground(
          cache, behind.Bmp, r.Left, true, EmptyBackgroundSource, static_cast<TColor>(0x7FFFFFFF),
          TRect{behind.X, behind.Y, behind.X + r.Right - r.Left, behind.Y + r.Bottom - r.Top},
          r.Top);
    } else {
      FillBorder32(cache, r, mask->WidthLeft, mask->WidthTop, mask->WidthRight, mask->WidthBottom,
                   bgColor);
    }
  }
  PaintMaskRect(cache, r, *mask, state, true, behind);
  inner = TRect{r.Left + mask->WidthLeft, r.Top + mask->WidthTop, r.Right - mask->WidthRight,
                r.Bottom - mask->WidthBottom};
  if (width == 0) return;
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  auto band = [width](int size, int opposite, int own) {
    return std::max(std::min(width, size - opposite) - own, 0);
  };
  FillBorder32(cache,
               TRect{r.Left + mask->WidthLeft, r.Top + mask->WidthTop, r.Right - mask->WidthRight,
                     r.Bottom - mask->WidthBottom},
               band(w, mask->WidthRight, mask->WidthLeft),
               band(h, mask->WidthBottom, mask->WidthTop),
               band(w, mask->WidthLeft, mask->WidthRight),
               band(h, mask->WidthTop, mask->WidthBottom), bgColor);
  inner = TRect{r.Left + width, r.Top + width, r.Right - width, r.Bottom - width};
  inner.Right = std::max(inner.Right, inner.Left);
  inner.Bottom = std::max(inner.Bottom, inner.Top);
  HDC cacheDC = cache->Canvas()->Handle();
  if (dc && dc != cacheDC) CopyBorderFrame(dc, r.Left, r.Top, w, h, cacheDC, r.Left, r.Top, width);
}

void BlitCacheExceptControls(TWinControl* control, const TsCommonData& data, TPoint sourceOffset,
                             bool paintBorder, HDC dc, const TRect& rect, TBitmap* cache) {
  if (!cache || !dc || !control) return;
  if (paintBorder) PaintCtrlBorder(data, 0, cache, control);
  TSaveDC saved(dc);
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* child = control->Controls(i);
    if (!child->Visible()) continue;
    const TRect b = child->BoundsRect();
    ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top,
         cache->Canvas()->Handle(), sourceOffset.X, sourceOffset.Y, SRCCOPY);
}

void BlitCacheExceptWindows(HWND window, TPoint sourceOffset, HDC dc, const TRect& rect,
                            TBitmap* cache) {
  if (!cache || !dc) return;
  TSaveDC saved(dc);
  for (HWND child = window ? GetWindow(window, GW_CHILD) : nullptr; child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT b;
    GetWindowRect(child, &b);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&b), 2);
    ExcludeClipRect(dc, b.left, b.top, b.right, b.bottom);
  }
  BitBlt(dc, rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top,
         cache->Canvas()->Handle(), sourceOffset.X, sourceOffset.Y, SRCCOPY);
}
