#include "skin/controls/sGlyphPaintWin32.h"

#include <windows.h>

#include <memory>

#include "framework/ComCtrlsWin32.h"
#include "framework/ImgListWin32.h"
#include "imaging/skAlphaImageListWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sBorders.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sSkinManager.h"

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

void PaintButtonFace(TsCommonData& d, const TsBackgroundSource& background, TBitmap* cache,
                     const TsButtonFace& face, std::vector<TRect>* holes) {
  if (!cache || cache->Empty() || face.Area.Width() <= 0 || face.Area.Height() <= 0) return;
  TsSkinManager* manager = d.SkinManager();
  const TsPaintState state =
      manager ? LimitSectionState(*manager, d.SectionIndex, static_cast<TsPaintState>(face.Look))
              : TsPaintState::Normal;
  PaintControlBackground(d, background, state, cache, face.Offset, face.Area);
  const TsMaskData* mask = d.BorderMask();
  const auto paintMask = [&] {
    if (!mask || (state == TsPaintState::Normal && (mask->DrawFlags & 2))) return;
    if (holes && face.Area == TRect{0, 0, cache->Width(), cache->Height()})
      PaintMaskBitmap(cache, holes, true, StateIndex(state), *mask);
    else
      PaintMaskRect(cache, face.Area, *mask, StateIndex(state), true,
                    MovedBackground(background, face.Offset));
  };
  if (face.DrawOverBorder) paintMask();
  if (face.ApplyHue) {
    if (d.HUEOffset != 0) ShiftBitmapHue(cache, d.HUEOffset);
    if (d.Saturation != 0) ChangeBitmapSaturation(cache, d.Saturation);
  }
  if (!face.Caption.empty()) {
    TCanvas* canvas = cache->Canvas();
    if (face.Font) canvas->Font()->Assign(face.Font);
    canvas->Brush()->SetStyle(bsClear);
    DrawControlText(canvas, d,
                    TsSectionText{.Text = face.Caption,
                                  .R = face.CaptionRect,
                                  .Format = face.TextFlags,
                                  .Hot = face.Look != ButtonNormal,
                                  .Enabled = face.Enabled});
  }
  if (face.Glyph) DrawButtonGlyph(*face.Glyph, cache);
  if (!face.DrawOverBorder) paintMask();
}

void PaintToolBarButtonGlyph(TToolBar* bar, TToolButton* button, const TsToolButtonDrawState& state,
                             TBitmap* bitmap, int lineHeight) {
  TCustomImageList* images = bar->Images();
  if (!images || !bitmap) return;
  const int look = ToolButtonImageState(state);
  TCustomImageList* list = images;
  switch (ChooseToolImageList(button->Enabled(), bar->DisabledImages() != nullptr, look,
                              bar->HotImages() != nullptr, button->ImageIndex(),
                              GetImageCount(bar->HotImages()))) {
    case TsToolImageList::Disabled:
      list = bar->DisabledImages();
      break;
    case TsToolImageList::Hot:
      list = bar->HotImages();
      break;
    case TsToolImageList::Normal:
      break;
  }
  const int index = button->ImageIndex();
  if (index < 0 || index >= GetImageCount(list)) return;
  const TRect r =
      ToolButtonImageRect(TsToolButtonPlace{.Button = {button->Width(), button->Height()},
                                            .Image = {images->Width(), images->Height()},
                                            .List = bar->List(),
                                            .ShowCaptions = bar->ShowCaptions(),
                                            .DropDown = button->Style() == tbsDropDown,
                                            .LineHeight = lineHeight,
                                            .State = look});
  if (dynamic_cast<TsAlphaImageList*>(list)) {
    // Its PNG items keep their alpha: blended straight into the 32-bit button picture.
    DrawGlyphCell(list, bitmap, r.TopLeft(), index, 1, 0, false, 0, NoBlendColor);
    return;
  }
  // Any other list: its image over the list's background colour, that colour then keyed out.
  const TColor key = images->BkColor() == clNone ? clFuchsia : ColorToRGB(images->BkColor());
  auto image = std::make_unique<TBitmap>();
  image->SetPixelFormat(pf32bit);
  image->SetSize(list->Width(), list->Height());
  image->Canvas()->Brush()->SetColor(key);
  image->Canvas()->FillRect(TRect{0, 0, list->Width(), list->Height()});
  list->Draw(image->Canvas(), 0, 0, index);
  CopyKeyedBitmap(bitmap, image.get(), r.Left, key, r.Top);
}
