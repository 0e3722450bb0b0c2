#include "skin/core/pixels/sColorsWin32.h"

#include "framework/CanvasWin32.h"
#include "framework/ControlsWin32.h"
#include "framework/HandlesWin32.h"

namespace {

COLORREF ToColorRef(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)); }

}  // namespace

void PaintSolidRect(HDC dc, const TRect& r, TColor color) {
  TSaveDC saved(dc);
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color)));
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  FillRect(dc, &rc, brush.Get());
}

void PaintSolidFrame(HDC dc, const TRect& r, TColor color, int left, int top, int right,
                     int bottom) {
  TSaveDC saved(dc);
  TGdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color)));
  const RECT strips[] = {{r.Left, r.Top, r.Right, r.Top + top},
                         {r.Left, r.Top + top, r.Left + left, r.Bottom},
                         {r.Left + left, r.Bottom - bottom, r.Right, r.Bottom},
                         {r.Right - right, r.Top + top, r.Right, r.Bottom - bottom}};
  for (const RECT& s : strips) FillRect(dc, &s, brush.Get());
}

void CopyBorderFrame(HDC dest, const TRect& area, HDC source, TPoint sourceAt, int border) {
  const int b = border, w = area.Width(), h = area.Height();
  const int x = area.Left, y = area.Top, sourceX = sourceAt.X, sourceY = sourceAt.Y;
  struct Strip {
    int x, y, w, h;
  };
  const Strip strips[] = {{0, 0, b, h}, {b, 0, w, b}, {w - b, b, b, h}, {b, h - b, w - b, h}};
  for (const Strip& s : strips)
    BitBlt(dest, x + s.x, y + s.y, s.w, s.h, source, sourceX + s.x, sourceY + s.y, SRCCOPY);
}

void CopyBorderFrame(HDC dest, HDC source, int width, int height, int border) {
  CopyBorderFrame(dest, TRect{0, 0, width, height}, source, TPoint{0, 0}, border);
}

void ExcludeGraphicChildren(HDC dc, TWinControl* parent, int yOffset, int xOffset) {
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (!child->Visible() || !dynamic_cast<TGraphicControl*>(child)) continue;
    ExcludeClipRect(dc, xOffset + child->Left(), yOffset + child->Top(),
                    xOffset + child->Left() + child->Width(),
                    yOffset + child->Top() + child->Height());
  }
}

void PaintFrame3D(HDC dc, TRect& r, TColor topLeft, int& width, TColor bottomRight) {
  TGdiObject<HPEN> pen1(CreatePen(PS_SOLID, 1, ToColorRef(topLeft)));
  TGdiObject<HPEN> pen2(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(bottomRight)));
  TSelectObject brush(dc, GetStockObject(NULL_BRUSH));
  TSelectObject pen(dc, pen1.Get());
  --r.Right;
  --r.Bottom;
  while (width > 0) {
    --width;
    SelectObject(dc, pen1.Get());
    const POINT first[] = {{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}};
    Polyline(dc, first, 3);
    SelectObject(dc, pen2.Get());
    const POINT second[] = {{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}};
    Polyline(dc, second, 3);
    ++r.Left, ++r.Top, --r.Right, --r.Bottom;
  }
  ++r.Right;
  ++r.Bottom;
}

void DrawDottedFrame(TCanvas* canvas, const TRect& r, TColor second, TColor first) {
  if (!canvas) return;
  const int w = r.Width(), k = r.Height() / 3;
  const int right = r.Right - 1, bottom = r.Bottom - 1;
  for (int i = 0; i <= w / 3; ++i) {
    const int x = r.Left + 3 * i;
    canvas->SetPixels(x, r.Top, first);
    canvas->SetPixels(x, bottom, first);
    canvas->SetPixels(x - 1, r.Top, second);
    canvas->SetPixels(x - 1, bottom, second);
  }
  for (int j = 0; j <= k; ++j) {
    const int y = r.Top + 3 * j;
    canvas->SetPixels(r.Left, y, first);
    canvas->SetPixels(right, y, first);
    canvas->SetPixels(r.Left, y - 1, second);
    canvas->SetPixels(right, y - 1, second);
  }
}
