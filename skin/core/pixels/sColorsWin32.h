// Small device-context drawing routines of the skin engine (Win32 half of sColors).
#pragma once

#include <windows.h>

#include "framework/Graphics.h"
#include "framework/Types.h"

class TCanvas;
class TWinControl;

// Fills r with a solid brush of the colour (system colours resolved); the DC is left as it was.
void PaintSolidRect(HDC dc, const TRect& r, TColor color);
// The four edge strips of r of the given widths filled with the colour.
void PaintSolidFrame(HDC dc, const TRect& r, TColor color, int left, int top, int right,
                     int bottom);
// The border strips of a width x height area copied from source to dest (SRCCOPY), each from
// the same place; the second form copies the strips of `area` of dest from the same-sized
// area at sourceAt of source.
void CopyBorderFrame(HDC dest, HDC source, int width, int height, int border);
void CopyBorderFrame(HDC dest, const TRect& area, HDC source, TPoint sourceAt, int border);
// Cuts the parent's visible graphic children, moved by the offsets, out of the DC's clip.
void ExcludeGraphicChildren(HDC dc, TWinControl* parent, int yOffset, int xOffset);
// A frame drawn inwards, width lines thick: top and left in topLeft, bottom and right in
// bottomRight. r comes back shrunk by the width, and width comes back 0.
void PaintFrame3D(HDC dc, TRect& r, TColor topLeft, int& width, TColor bottomRight);
// Along the outline every third pixel in first and the pixel before it in second.
void DrawDottedFrame(TCanvas* canvas, const TRect& r, TColor second, TColor first);

// The layered-window functions of user32.
BOOL CallUpdateLayeredWindow(HWND window, HDC screenDC, POINT* position, SIZE* size, HDC sourceDC,
                             POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags);
BOOL CallSetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);
