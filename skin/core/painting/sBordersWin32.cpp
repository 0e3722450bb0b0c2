// Shaped windows: the holes of a border mask's corners removed from a region.
#include "skin/core/painting/sBordersWin32.h"

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "framework/ControlsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sMessages.h"
#include "skin/core/skinfiles/sSkinManager.h"

void PaintMaskBitmap(TBitmap* bitmap, HRGN region, bool drawCentre, int state,
                     const TsMaskData& mask) {
  std::vector<TRect> holes;
  PaintMaskBitmap(bitmap, region ? &holes : nullptr, drawCentre, state, mask);
  for (const TRect& hole : holes) {
    TRegion cut(CreateRectRgn(hole.Left, hole.Top, hole.Right, hole.Bottom));
    if (cut) CombineRgn(region, region, cut.Get(), RGN_DIFF);
  }
}

void PaintNonClientBorder(HDC dc, const TRect& r, int width, TRect& inner, TsPaintState state,
                          TsCommonData& data) {
  if (!PaintBorderIntoCache(r, width, inner, state, data)) {
    if (width != 0 && dc)
      PaintSolidFrame(dc, r, ColorToRGB(data.BgColor(StateIndex(state))), width, width, width,
                      width);
    return;
  }
  if (width == 0 || !dc) return;
  HDC cacheDC = data.CacheBitmap->Canvas()->Handle();
  if (dc != cacheDC) CopyBorderFrame(dc, r, cacheDC, r.TopLeft(), width);
}

namespace {

void CopyCache(TsCommonData& data, const TRect& source, HDC dc, const TRect& dest) {
  BitBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), data.CacheBitmap->Canvas()->Handle(),
         source.Left, source.Top, SRCCOPY);
}

}  // namespace

void BlitCacheExceptControls(TWinControl* parent, TsCommonData& data, const TsCacheBlit& blit) {
  HDC dc = blit.DC;
  const TRect& dest = blit.Dest;
  if (!data.CacheBitmap || !dc) return;
  if (blit.PaintBorder) FillBorderCorners(data, TsPaintState::Normal);
  TSaveDC saved(dc);
  IntersectClipRect(dc, dest.Left, dest.Top, dest.Right, dest.Bottom);
  for (int i = 0; parent && i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (!child->Visible()) continue;
    // Windows that paint themselves only where they are opaque; graphic controls always.
    const bool graphic = !dynamic_cast<TWinControl*>(child);
    if (!graphic && !child->ControlStyle().Contains(csOpaque)) continue;
    const TRect b = child->BoundsRect();
    const TRect moved{b.Left + blit.Offset.X, b.Top + blit.Offset.Y, b.Right + blit.Offset.X,
                      b.Bottom + blit.Offset.Y};
    if (!RectsOverlap(moved, dest)) continue;
    ExcludeClipRect(dc, moved.Left, moved.Top, moved.Right, moved.Bottom);
  }
  CopyCache(data, blit.Source, dc, dest);
}

void BlitCacheExceptWindows(HWND window, TsCommonData& data, const TsCacheBlit& blit) {
  HDC dc = blit.DC;
  const TRect& dest = blit.Dest;
  const int xOffset = blit.Offset.X, yOffset = blit.Offset.Y;
  if (!data.CacheBitmap || !dc) return;
  if (blit.PaintBorder) FillBorderCorners(data, TsPaintState::Normal);
  TSaveDC saved(dc);
  IntersectClipRect(dc, dest.Left, dest.Top, dest.Right, dest.Bottom);
  RECT own{};
  if (window) GetWindowRect(window, &own);
  // The group box's border widths, looked up once.
  int groupLeft = -1, groupRight = 0, groupBottom = 0;
  for (HWND child = window ? GetTopWindow(window) : nullptr; child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT w{};
    GetWindowRect(child, &w);
    const TRect b{w.left - own.left - xOffset, w.top - own.top - yOffset,
                  w.right - own.left - xOffset, w.bottom - own.top - yOffset};
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(child, GWL_EXSTYLE);
    const bool groupBox =
        (style & 7) == BS_GROUPBOX && !(exStyle & WS_EX_CLIENTEDGE) && DefaultManager;
    if (!groupBox) {
      ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
      continue;
    }
    if (groupLeft < 0) {
      groupLeft = 0;
      const int mask = DefaultManager->GetMaskIndex(DefaultManager->GetSectionIndex("GROUPBOX"),
                                                    "GROUPBOX", "BORDERSMASK");
      if (DefaultManager->IsValidMaskIndex(mask)) {
        groupLeft = DefaultManager->MaskWidthLeft(mask);
        groupRight = DefaultManager->MaskWidthRight(mask);
        groupBottom = DefaultManager->MaskWidthBottom(mask);
      }
    }
    const int caption = static_cast<int>(SendSkinCmd(child, CmdGetContainerInfo, 0));
    ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Top + caption);
    ExcludeClipRect(dc, b.Left, b.Top, b.Left + groupLeft, b.Bottom);
    ExcludeClipRect(dc, b.Right - groupRight, b.Top, b.Right, b.Bottom);
    ExcludeClipRect(dc, b.Left, b.Bottom - groupBottom, b.Right, b.Bottom);
  }
  CopyCache(data, blit.Source, dc, dest);
}
