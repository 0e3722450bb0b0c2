#include "skin/controls/sGlyphPaintWin32.h"

#include <windows.h>

#include <memory>

#include "framework/ImgListWin32.h"
#include "imaging/skAlphaImageListWin32.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"

int GetImageCount(TCustomImageList* list) { return list ? list->Count() : 0; }

namespace {

// A strip whose fourth byte is never fully opaque holds no alpha: it is drawn keyed, and is
// marked so once.
bool HasAlpha(TBitmap* glyph) {
  if (glyph->PixelFormat() != pf32bit && glyph->PixelFormat() != pfDevice) return false;
  glyph->SetPixelFormat(pf32bit);
  for (int y = 0; y < glyph->Height(); ++y) {
    const uint8_t* row = glyph->ScanLine(y);
    for (int x = 0; x < glyph->Width(); ++x)
      if (row[x * 4 + 3] == 255) return true;
  }
  glyph->SetPixelFormat(pf24bit);
  return false;
}

bool ShowsGrey(const TsButtonGlyph& g) {
  return (g.State == ButtonNormal && g.Grayed) ||
         (!g.Enabled && g.DisabledGlyphKind.Contains(dgGrayed));
}

}  // namespace

void DrawButtonGlyph(const TsButtonGlyph& g, TBitmap* bitmap) {
  if (!bitmap) return;
  const TColor grey = ShowsGrey(g) ? static_cast<TColor>(ColorToRGB(g.GreyColor)) : NoBlendColor;
  const int transparency =
      GlyphTransparency(g.State, g.Blend, !g.Enabled && g.DisabledGlyphKind.Contains(dgBlended));
  if (g.Glyph && !g.Glyph->Empty()) {
    const int cells = std::max(g.NumGlyphs, 1);
    const int cellWidth = g.Glyph->Width() / cells;
    const TRect cell =
        GlyphCellRect(GlyphCellOfState(g.State, cells), cellWidth, g.Glyph->Height());
    if (HasAlpha(g.Glyph)) {
      TsImageEffects effects;
      effects.Transparency = transparency;
      effects.BlendColor = grey;
      effects.Reflected = g.Reflected;
      CopyImageWithEffects(bitmap, g.GlyphRect, g.Glyph, cell, effects);
      return;
    }
    // A keyed strip: the state's cell alone, painted as a single picture.
    auto one = std::make_unique<TBitmap>();
    one->SetPixelFormat(pf32bit);
    one->SetSize(cell.Width(), cell.Height());
    one->Canvas()->CopyRect(TRect{0, 0, cell.Width(), cell.Height()}, g.Glyph->Canvas(), cell);
    TsGlyphLook look;
    look.Blend = g.State == ButtonNormal ? g.Blend : 0;
    look.Enabled = g.Enabled;
    look.DisabledKind = g.DisabledGlyphKind.Contains(dgGrayed) ? TsDisabledKind{dkGrayed}
                                                               : TsDisabledKind{dkBlended};
    PaintGlyph(bitmap, g.GlyphRect, one.get(), look);
    return;
  }
  if (g.Images && g.ImageIndex >= 0 && g.ImageIndex < GetImageCount(g.Images)) {
    const int cells = StripCellCount(g.Images->Width(), g.Images->Height());
    DrawGlyphCell(g.Images, bitmap, g.GlyphRect.TopLeft(), g.ImageIndex, cells, g.State,
                  g.Reflected, transparency, grey);
  }
}
