// Mode 2 of the gradients: four triangles meeting in the centre, filled by msimg32's
// GradientFill.
#include <windows.h>

#include <algorithm>

#include "framework/CanvasWin32.h"
#include "skin/core/pixels/sGradient.h"

namespace {

TRIVERTEX Vertex(LONG x, LONG y, TColor color) {
  const auto c = static_cast<uint32_t>(color);
  return {x,
          y,
          static_cast<COLOR16>((c & 0xFF) << 8),
          static_cast<COLOR16>(((c >> 8) & 0xFF) << 8),
          static_cast<COLOR16>(((c >> 16) & 0xFF) << 8),
          0xFF00};
}

}  // namespace

bool PaintGradientTriangles(TBitmap* bitmap, const TRect& r, const TsGradArray& gradient) {
  if (!bitmap || gradient.empty()) return false;
  // Vertex k takes Color1 of stop k, or the colour of the vertex before it.
  TColor colours[5];
  for (size_t k = 0; k < 5; ++k)
    colours[k] = k < gradient.size() ? gradient[k].Color1 : colours[k - 1];
  TRIVERTEX vertices[5] = {Vertex(r.Left, r.Top, colours[0]),
                           Vertex(r.Left + r.Width() / 2, r.Top + r.Height() / 2, colours[1]),
                           Vertex(r.Right, r.Top, colours[2]),
                           Vertex(r.Right, r.Bottom, colours[3]),
                           Vertex(r.Left, r.Bottom, colours[4])};
  GRADIENT_TRIANGLE triangles[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  const BOOL done =
      GradientFill(bitmap->Canvas()->Handle(), vertices, 5, triangles, 4, GRADIENT_FILL_TRIANGLE);
  GdiFlush();
  return done != FALSE;
}
