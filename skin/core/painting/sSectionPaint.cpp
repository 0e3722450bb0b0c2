// Section painting: layers of a section state composed into 32-bit bitmaps.
#include "skin/core/painting/sSectionPaint.h"

#include <algorithm>
#include <memory>

#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonData.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColors.h"
#include "skin/core/pixels/sGradient.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

TsSkinManager* ManagerOrDefault(TsSkinManager* manager);

uint8_t ClampByte(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// True when r lies inside the bitmap and is not empty.
bool FitsBitmap(const TRect& r, const TBitmap* bitmap) {
  return bitmap && !RectIsEmpty(r) && r.Left >= 0 && r.Top >= 0 && r.Right <= bitmap->Width() &&
         r.Bottom <= bitmap->Height();
}

// The pixels of any 24- or 32-bit image as a 32-bit bitmap (the same object when it already
// is one). Skins keep masks 32-bit; only JPEG patterns come as 24-bit.
const TBitmap* As32(const TBitmap* image, std::unique_ptr<TBitmap>& holder) {
  if (!image || image->Empty()) return nullptr;
  if (image->PixelFormat() == pf32bit) return image;
  if (image->PixelFormat() != pf24bit) return nullptr;
  holder = CreateBmp32(image->Width(), image->Height());
  for (int y = 0; y < image->Height(); ++y) {
    const uint8_t* s = image->ScanLine(y);
    auto* d = reinterpret_cast<uint32_t*>(holder->ScanLine(y));
    for (int x = 0; x < image->Width(); ++x)
      d[x] =
          0xFF000000u | s[3 * x] | (uint32_t{s[3 * x + 1]} << 8) | (uint32_t{s[3 * x + 2]} << 16);
  }
  return holder.get();
}

// Copies w x h from the image to (x, y) exactly, both cut to their bitmaps.
void CopyTile(TBitmap* bitmap, const TBitmap* image, int x, int y, int sx, int sy, int w, int h) {
  CopyBitmapRect(bitmap, x, y, image, TRect{sx, sy, sx + w, sy + h});
}

// Opaque fill of r (cut to the bitmap).
void Fill(TBitmap* bitmap, const TRect& r, TColor color) {
  FillRect32(bitmap, r, ColorToRGB(color));
}

// What lies behind r (background bitmap at (X + offset), or the fill colour) put into r.
void PutBackground(TBitmap* bitmap, const TRect& r, const TsBackgroundSource& background,
                   TPoint offset) {
  if (background.Bmp) {
    if (background.Bmp == bitmap) return;
    CopyTile(bitmap, background.Bmp, r.Left, r.Top, background.X + offset.X,
             background.Y + offset.Y, r.Right - r.Left, r.Bottom - r.Top);
  } else {
    Fill(bitmap, r, background.FillColor);
  }
}

// The layers of one state, as chosen by PaintSectionBackground.
struct TLayers {
  TColor Color = 0;
  int Transparency = 0;
  int ImagePercent = 0;
  int GradientPercent = 0;
  const TsGradArray* Gradient = nullptr;
  const TsMaskData* TextureMask = nullptr;  // a mask texture
  const TBitmap* Pattern = nullptr;         // or a pattern image
};

void PaintGradientOrColor(TBitmap* bitmap, const TRect& q, const TLayers& l) {
  if (l.Gradient && !l.Gradient->empty())
    PaintGradient(bitmap, q, *l.Gradient);
  else
    Fill(bitmap, q, l.Color);
}

// shortcut: the textured gradient in one pass (not for the scroll-bar painter).
void PaintSectionLayers(TBitmap* bitmap, const TRect& q, const TLayers& l,
                        const TsBackgroundSource& background, bool shortcut = true) {
  const int gi = l.GradientPercent + l.ImagePercent;
  // A texture and a gradient that share the area alone are mixed in one pass.
  if (shortcut && gi == 100 && l.GradientPercent > 0 && l.GradientPercent < 100 && l.TextureMask &&
      l.TextureMask->DrawFlags == 0 && l.Gradient && !l.Gradient->empty() &&
      (l.Gradient->front().Mode == 0 || l.Gradient->front().Mode == 1)) {
    PaintGradientTextured(bitmap, q, *l.Gradient, ClampByte(l.ImagePercent * 255 / 100),
                          l.TextureMask->SourceRect, MaskSourceImage(*l.TextureMask));
    return;
  }
  bool textured = false;
  if (l.ImagePercent > 0) {
    TRect rest = q;
    if (l.Pattern) {
      PaintPattern(bitmap, rest, l.Pattern, TRect{0, 0, l.Pattern->Width(), l.Pattern->Height()},
                   TsTileMode::Tile);
      textured = true;
    } else if (l.TextureMask) {
      if (l.TextureMask->MaskType != 0)
        PaintMaskTiled(bitmap, rest, background, TileModeOf(l.TextureMask->DrawFlags),
                       *l.TextureMask);
      else
        PaintPattern(bitmap, rest, MaskSourceImage(*l.TextureMask), l.TextureMask->SourceRect,
                     TileModeOf(l.TextureMask->DrawFlags));
      textured = true;
    }
    if (rest.Right != -1) Fill(bitmap, rest, l.Color);
  }
  if (l.GradientPercent > 0) {
    if (textured) {
      auto layer = CreateBmp32(q.Right - q.Left, q.Bottom - q.Top);
      PaintGradientOrColor(layer.get(), TRect{0, 0, layer->Width(), layer->Height()}, l);
      BlendBitmapRect(bitmap, layer.get(), ClampByte(l.ImagePercent * 255 / 100), q.TopLeft(),
                      TRect{0, 0, layer->Width(), layer->Height()});
    } else {
      PaintGradientOrColor(bitmap, q, l);
    }
  }
  if (gi > 0 && gi < 100)
    BlendRectColor(bitmap, q, gi, ColorToRGB(l.Color));
  else if (gi == 0)
    // Opaque, also when the section is partly transparent over nothing known: mixing with
    // the key colour would show as magenta.
    Fill(bitmap, q, l.Color);
}

TLayers ChooseLayers(const TsSkinManager& manager, int sectionIndex, const std::string& name,
                     int state, int hotTextureIndex, int textureIndex, TColor customColor) {
  const TsGeneralData& section = manager.Sections()[static_cast<size_t>(sectionIndex)];
  const TsGenState& s = section.Props[state > 0 ? 1 : 0];
  TLayers l;
  l.Color = s.Color;
  l.Transparency = std::clamp(s.Transparency, 0, 100);
  if (customColor != clFuchsia) {
    l.Color = customColor;
    l.Transparency = 0;
    return l;
  }
  if (l.Transparency == 100) return l;
  l.ImagePercent = std::clamp(s.ImagePercent, 0, 100);
  l.GradientPercent = std::clamp(s.GradientPercent, 0, 100);
  l.Gradient = &s.Gradient;
  if (l.ImagePercent > 0) {
    const std::string property = state > 0 ? "HOTPATTERN" : "PATTERN";
    const int given = state > 0 ? hotTextureIndex : textureIndex;
    int t = -1;
    if (given == -1)
      t = manager.GetMaskIndex(sectionIndex, name, property);
    else if (manager.IsValidMaskIndex(given) &&
             manager.Masks()[static_cast<size_t>(given)].MaskType == 0)
      t = given;
    if (manager.IsValidMaskIndex(t)) {
      l.TextureMask = &manager.Masks()[static_cast<size_t>(t)];
    } else {
      const int p = manager.GetPatternIndex(sectionIndex, name, property);
      if (p >= 0 && p < static_cast<int>(manager.Patterns().size()) &&
          manager.Patterns()[static_cast<size_t>(p)].Image)
        l.Pattern = manager.Patterns()[static_cast<size_t>(p)].Image->Bitmap();
    }
  }
  return l;
}

// Holds a 32-bit copy of a 24-bit pattern for the duration of one paint.
void PaintLayersOver(TBitmap* bitmap, const TRect& r, TLayers l,
                     const TsBackgroundSource& background, TPoint offset, bool shortcut = true) {
  std::unique_ptr<TBitmap> pattern32;
  if (l.Pattern) l.Pattern = As32(l.Pattern, pattern32);
  const bool nothingBehind = !background.Bmp && background.FillColor == clFuchsia;
  const int gi = l.GradientPercent + l.ImagePercent;
  const TsBackgroundSource moved = MovedBackground(background, offset);
  if (nothingBehind || l.Transparency == 0) {
    PaintSectionLayers(bitmap, r, l, moved, shortcut);
  } else if (l.Transparency == 100) {
    PutBackground(bitmap, r, background, offset);
  } else if (background.Bmp || gi != 0) {
    auto layer = CreateBmp32(r.Right - r.Left, r.Bottom - r.Top);
    const TRect whole{0, 0, layer->Width(), layer->Height()};
    PaintSectionLayers(layer.get(), whole, l, moved, shortcut);
    PutBackground(bitmap, r, background, offset);
    BlendBitmapRect(bitmap, layer.get(), ClampByte(l.Transparency * 255 / 100), r.TopLeft(), whole);
  } else {
    Fill(bitmap, r,
         MixColors(ColorToRGB(background.FillColor), ColorToRGB(l.Color), l.Transparency / 100.0));
  }
}

TsSkinManager* ManagerOrDefault(TsSkinManager* manager) {
  return manager ? manager : DefaultManager;
}

const TsMaskData* ValidMask(const TsSkinManager& manager, int index) {
  return manager.IsValidMaskIndex(index) ? &manager.Masks()[static_cast<size_t>(index)] : nullptr;
}

// The four corner images of a section over r for the state, the bitmap itself behind them.
void PaintCorners(TBitmap* bitmap, const TsSkinManager& manager, const TsGeneralData& section,
                  const TRect& r, int state) {
  const TsBackgroundSource self = MakeBackgroundSource(bitmap, 0, 0);
  const int indexes[4] = {section.ImgTopLeft, section.ImgTopRight, section.ImgBtmLeft,
                          section.ImgBtmRight};
  for (int corner = 0; corner < 4; ++corner) {
    const TsMaskData* m = ValidMask(manager, indexes[corner]);
    if (!m) continue;
    const int w = MaskStateWidth(*m), h = MaskStateHeight(*m);
    const TPoint at{corner % 2 ? r.Right - w : r.Left, corner >= 2 ? r.Bottom - h : r.Top};
    PaintMaskGlyph(bitmap, at, state, *m, self);
  }
}

// The section's background layers for a look already limited to its states, over a valid
// section and a sane rectangle.
void PaintBackgroundLayers(const TsItemPaint& item, const TsSkinManager& manager, TsPaintState look,
                           TColor customColor) {
  const int state = StateIndex(look);
  const TLayers l = ChooseLayers(manager, item.SectionIndex, item.SectionName, state,
                                 item.HotTextureIndex, item.TextureIndex, customColor);
  PaintLayersOver(item.Bitmap, item.R, l, item.Background, item.Offset);
  if (state == 0) {
    const int given = item.TextureIndex != -1 ? item.TextureIndex : item.HotTextureIndex;
    const TsMaskData* m = ValidMask(manager, given);
    if (m && m->MaskType > 0 && TileModeOf(m->DrawFlags) == TsTileMode::WholeRows) {
      TRect q = item.R;
      PaintMaskTiled(item.Bitmap, q, MovedBackground(item.Background, item.Offset),
                     TsTileMode::WholeRows, *m);
    }
  }
}

}  // namespace

TsPaintState LimitSectionState(const TsSkinManager& manager, int sectionIndex, TsPaintState state) {
  const int states = manager.Sections()[static_cast<size_t>(sectionIndex)].States;
  return static_cast<TsPaintState>(std::clamp(StateIndex(state), 0, std::max(states - 1, 0)));
}

void PaintSectionBackground(const TsItemPaint& item) {
  TsSkinManager* manager = ManagerOrDefault(item.Manager);
  if (!manager || !manager->IsValidSectionIndex(item.SectionIndex) || !item.Bitmap ||
      RectIsEmpty(item.R) || !IsSaneRect(item.R))
    return;
  PaintBackgroundLayers(item, *manager, LimitSectionState(*manager, item.SectionIndex, item.State),
                        item.CustomColor);
}

void PaintItem(const TsItemPaint& item) {
  TsSkinManager* manager = ManagerOrDefault(item.Manager);
  if (!manager || !manager->IsValidSectionIndex(item.SectionIndex) ||
      !FitsBitmap(item.R, item.Bitmap))
    return;
  const TsPaintState look = LimitSectionState(*manager, item.SectionIndex, item.State);
  PaintBackgroundLayers(item, *manager, look, clFuchsia);
  const int state = StateIndex(look);
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(item.SectionIndex)];
  PaintCorners(item.Bitmap, *manager, section, item.R, state);
  if (const TsMaskData* border = ValidMask(*manager, section.BorderMaskIndex))
    PaintMaskRect(item.Bitmap, item.R, *border, state, item.CornerBackground,
                  MovedBackground(item.Background, item.Offset));
}

void PaintItemFast(const TsItemPaint& item) {
  TsSkinManager* manager = ManagerOrDefault(item.Manager);
  if (!manager || !manager->IsValidSectionIndex(item.SectionIndex) ||
      !FitsBitmap(item.R, item.Bitmap))
    return;
  const int state = StateIndex(LimitSectionState(*manager, item.SectionIndex, item.State));
  const TsGenState& s =
      manager->Sections()[static_cast<size_t>(item.SectionIndex)].Props[state > 0];
  const TsBackgroundSource& background = item.Background;
  TLayers l;
  l.Color = s.Color;
  l.Transparency = std::clamp(s.Transparency, 0, 100);
  l.ImagePercent = std::clamp(s.ImagePercent, 0, 100);
  l.GradientPercent = std::clamp(s.GradientPercent, 0, 100);
  l.Gradient = &s.Gradient;
  if (l.ImagePercent > 0)
    l.TextureMask = ValidMask(*manager, state > 0 ? item.HotTextureIndex : item.TextureIndex);
  // Without a background bitmap and fully transparent, the colour stands for the fill.
  if (!background.Bmp && l.Transparency == 100 && l.GradientPercent + l.ImagePercent == 0)
    l.Color = background.FillColor;
  if (!background.Bmp || l.Transparency == 0) {
    PaintSectionLayers(item.Bitmap, item.R, l, MovedBackground(background, item.Offset), false);
  } else {
    PaintLayersOver(item.Bitmap, item.R, l, background, item.Offset, false);
  }
  if (const TsMaskData* border = ValidMask(*manager, item.BorderMaskIndex))
    PaintMaskRect(item.Bitmap, item.R, *border, state, item.CornerBackground,
                  MovedBackground(background, item.Offset));
}

void PaintControlBackground(const TsCommonData& data, const TsBackgroundSource& background,
                            TsPaintState state, TBitmap* bitmap, TPoint offset, const TRect& r) {
  TsSkinManager* manager = data.SkinManager();
  if (!manager || !manager->IsValidSectionIndex(data.SectionIndex)) return;
  const TColor custom =
      data.CustomColor && data.Host() ? ColorToRGB(data.Host()->Color()) : clFuchsia;
  PaintSectionBackground({.Bitmap = bitmap,
                          .R = r,
                          .SectionIndex = data.SectionIndex,
                          .SectionName = data.SkinSection(),
                          .State = state,
                          .Background = background,
                          .Offset = offset,
                          .Manager = manager,
                          .TextureIndex = data.PatternIndex,
                          .HotTextureIndex = data.HotPatternIndex,
                          .CustomColor = custom});
}

void PaintControlItem(const TsCommonData& data, const TsBackgroundSource& background,
                      TBitmap* bitmap, TPoint offset, const TRect& r, TsPaintState look) {
  TsSkinManager* manager = data.SkinManager();
  if (!manager || !manager->IsValidSectionIndex(data.SectionIndex) || !FitsBitmap(r, bitmap))
    return;
  look = LimitSectionState(*manager, data.SectionIndex, look);
  const int state = StateIndex(look);
  PaintControlBackground(data, background, look, bitmap, offset, r);
  const TsGeneralData& section = manager->Sections()[static_cast<size_t>(data.SectionIndex)];
  const TsBackgroundSource moved = MovedBackground(background, offset);
  PaintCorners(bitmap, *manager, section, r, state);
  const TsMaskData* border = ValidMask(*manager, data.BorderMaskIndex);
  const bool paintBorder = border && !(state == 0 && (border->DrawFlags & 2));
  if (paintBorder) PaintMaskRect(bitmap, r, *border, state, true, moved);
  // A transparent control without a border shows its parent: recolouring it would recolour
  // the parent's pixels too.
  if (!paintBorder && section.Props[state > 0].Transparency != 0) return;
  if (data.HUEOffset != 0) ShiftBitmapHue(bitmap, data.HUEOffset);
  if (data.Saturation != 0) ChangeBitmapSaturation(bitmap, data.Saturation);
}

void PaintControlItem(const TsCommonData& data, const TsBackgroundSource& background,
                      TBitmap* bitmap, TPoint offset, const TRect& r, TsPaintState state,
                      bool onlyStrips) {
  if (!onlyStrips || (RectIsEmpty(data.RepaintStripH) && RectIsEmpty(data.RepaintStripV))) {
    PaintControlItem(data, background, bitmap, offset, r, state);
    return;
  }
  TsSkinManager* manager = data.SkinManager();
  if (!manager || !manager->IsValidSectionIndex(data.SectionIndex) || !FitsBitmap(r, bitmap))
    return;
  // The item is composed whole off-screen (borders, corners and hue depend on the whole
  // size), and only the strips are copied: the rest of the bitmap keeps its pixels.
  auto whole = CreateBmp32(r.Width(), r.Height());
  PaintControlItem(data, background, whole.get(), offset, TRect{0, 0, r.Width(), r.Height()},
                   state);
  for (const TRect& strip : {data.RepaintStripH, data.RepaintStripV}) {
    const TRect cut{std::max(strip.Left, 0), std::max(strip.Top, 0),
                    std::min(strip.Right, r.Width()), std::min(strip.Bottom, r.Height())};
    if (RectIsEmpty(cut)) continue;
    BlendBitmapRect(bitmap, whole.get(), 0, TPoint{r.Left + cut.Left, r.Top + cut.Top}, cut);
  }
}

int FindSectionByName(const TsSkinManager& manager, const std::string& name,
                      const std::string& secondName, const std::string*& used) {
  used = &name;
  int index = manager.GetSectionIndex(name);
  if (index < 0) {
    used = &secondName;
    index = manager.GetSectionIndex(secondName);
  }
  return index;
}

int PaintSectionByName(TBitmap* bitmap, const TsSectionByName& section) {
  TsSkinManager* manager = ManagerOrDefault(section.Manager);
  if (!manager) return -1;
  const std::string* used = nullptr;
  const int index = FindSectionByName(*manager, section.Name, section.SecondName, used);
  if (index < 0 || !bitmap) return index;
  TsBackgroundSource behind;
  behind.FillColor = section.FillColor;
  PaintItem({.Bitmap = bitmap,
             .R = TRect{0, 0, bitmap->Width(), bitmap->Height()},
             .SectionIndex = index,
             .SectionName = *used,
             .State = section.State,
             .Background = behind,
             .Manager = manager});
  return index;
}

void TileBitmap(TBitmap* bitmap, const TRect& q, const TBitmap* image, const TRect& tile) {
  const int tw = tile.Right - tile.Left, th = tile.Bottom - tile.Top;
  if (!bitmap || !image || tw <= 0 || th <= 0 || RectIsEmpty(q) || !IsSaneRect(q)) return;
  const int right = std::min(q.Right, bitmap->Width()),
            bottom = std::min(q.Bottom, bitmap->Height());
  for (int64_t x = q.Left; x < right; x += tw) {
    const int w = static_cast<int>(std::min<int64_t>(tw, q.Right - x));
    if (x + w <= 0) continue;
    for (int64_t y = q.Top; y < bottom; y += th) {
      const int h = static_cast<int>(std::min<int64_t>(th, q.Bottom - y));
      if (y + h <= 0) continue;
      CopyTile(bitmap, image, static_cast<int>(x), static_cast<int>(y), tile.Left, tile.Top, w, h);
    }
  }
}

void PaintPattern(TBitmap* bitmap, TRect& q, const TBitmap* image, const TRect& tile,
                  TsTileMode mode) {
  const int tw = tile.Right - tile.Left, th = tile.Bottom - tile.Top;
  // A tile of no width or height lays nothing; the whole area is left to the colour.
  if (!bitmap || !image || tw <= 0 || th <= 0 || RectIsEmpty(q)) return;
  const TRect all = q;
  switch (mode) {
    case TsTileMode::Tile:
      TileBitmap(bitmap, all, image, tile);
      q.Right = -1;
      break;
    case TsTileMode::Stretch:
      StretchRect32(bitmap, all, image, tile);
      q.Right = -1;
      break;
    case TsTileMode::TileTopRow:
      TileBitmap(bitmap, TRect{all.Left, all.Top, all.Right, std::min(all.Bottom, all.Top + th)},
                 image, tile);
      q.Top = std::min(all.Bottom, all.Top + th);
      break;
    case TsTileMode::TileLeftColumn:
      TileBitmap(bitmap, TRect{all.Left, all.Top, std::min(all.Right, all.Left + tw), all.Bottom},
                 image, tile);
      q.Left = std::min(all.Right, all.Left + tw);
      break;
    case TsTileMode::StretchTopRow:
      StretchRect32(bitmap, TRect{all.Left, all.Top, all.Right, std::min(all.Bottom, all.Top + th)},
                    image, tile);
      q.Top = std::min(all.Bottom, all.Top + th);
      break;
    case TsTileMode::StretchLeftColumn:
      StretchRect32(bitmap,
                    TRect{all.Left, all.Top, std::min(all.Right, all.Left + tw), all.Bottom}, image,
                    tile);
      q.Left = std::min(all.Right, all.Left + tw);
      break;
    case TsTileMode::TileBottomRow:
      TileBitmap(bitmap, TRect{all.Left, std::max(all.Top, all.Bottom - th), all.Right, all.Bottom},
                 image, tile);
      q.Bottom = std::max(all.Top, all.Bottom - th);
      break;
    case TsTileMode::TileRightColumn:
      TileBitmap(bitmap, TRect{std::max(all.Left, all.Right - tw), all.Top, all.Right, all.Bottom},
                 image, tile);
      q.Right = std::max(all.Left, all.Right - tw);
      break;
    case TsTileMode::WholeRows: {
      // Whole rows only; the last column is cut.
      const int rows = (all.Bottom - all.Top) / th;
      TileBitmap(bitmap, TRect{all.Left, all.Top, all.Right, all.Top + rows * th}, image, tile);
      q.Right = -1;
      break;
    }
    default:
      // Modes no skin uses: painted like the right column, nothing left to fill.
      TileBitmap(bitmap, TRect{std::max(all.Left, all.Right - tw), all.Top, all.Right, all.Bottom},
                 image, tile);
      q.Right = -1;
      break;
  }
}

void PaintMaskTiled(TBitmap* bitmap, TRect& q, const TsBackgroundSource& background,
                    TsTileMode mode, const TsMaskData& mask) {
  if ((mode != TsTileMode::Tile && mode != TsTileMode::WholeRows) || !bitmap || RectIsEmpty(q) ||
      !IsSaneRect(q))
    return;
  const int cw =
      mask.ImageCount > 0 ? (mask.SourceRect.Right - mask.SourceRect.Left) / mask.ImageCount : 0;
  const int ch = (mask.SourceRect.Bottom - mask.SourceRect.Top) / 2;
  const TRect all = q;
  q.Right = -1;
  if (cw <= 0 || ch <= 0) return;
  const TRect cell{mask.SourceRect.Left, mask.SourceRect.Top, mask.SourceRect.Left + cw,
                   mask.SourceRect.Top + ch};
  const int rows = (all.Bottom - all.Top) / ch;
  const int columns = (all.Right - all.Left) / cw;
  const int rowsBottom = all.Top + rows * ch;
  const int64_t lastX = std::min<int64_t>(all.Right, bitmap->Width());
  const int64_t lastY = std::min<int64_t>(rowsBottom, bitmap->Height());
  for (int64_t x = all.Left; x < lastX; x += cw) {
    if (mode == TsTileMode::WholeRows && x + cw > all.Right) break;
    const int w = static_cast<int>(std::min<int64_t>(cw, all.Right - x));
    for (int64_t y = all.Top; y < lastY; y += ch) {
      const int xi = static_cast<int>(x), yi = static_cast<int>(y);
      const TRect dest{xi, yi, xi + w, yi + ch};
      if (mask.Image)
        BlendMaskedRect(dest, cell, bitmap, ch, true, background, mask.Image.get());
      else
        BlendMasterMaskedRect(dest, cell, bitmap, mask, background);
    }
  }
  if (mode == TsTileMode::WholeRows) {
    const int columnsRight = all.Left + columns * cw;
    PutBackground(bitmap, TRect{all.Left, rowsBottom, all.Right, all.Bottom}, background,
                  TPoint{0, 0});
    PutBackground(bitmap, TRect{columnsRight, all.Top, all.Right, rowsBottom}, background,
                  TPoint{0, 0});
  }
}

void GetMaskHoleRects(std::vector<TRect>& holes, int targetWidth, const TsMaskData& mask,
                      bool bottomCorners, int yOffset) {
  TPixels32 image(mask.Manager ? MaskSourceImage(mask) : nullptr);
  if (!image.Valid()) return;
  const int w = MaskStateWidth(mask), h = MaskStateHeight(mask);
  const int firstRow =
      bottomCorners ? mask.SourceRect.Top + h - mask.WidthBottom : mask.SourceRect.Top;
  const int rowCount = bottomCorners ? mask.WidthBottom : mask.WidthTop;
  if (rowCount <= 0 || firstRow < 0 || firstRow + rowCount > image.Height) return;
  // One corner's runs of key pixels in columns [from, to) of the source, placed at x + shift.
  auto scan = [&](int row, int from, int to, int shift) {
    from = std::max(from, 0);
    to = std::min(to, image.Width);
    const uint32_t* p = image.Row(firstRow + row);
    int start = -1;
    for (int x = from; x <= to; ++x) {
      const bool key = x < to && p[x] == KeyColor;
      if (key && start < 0) start = x;
      if (!key && start >= 0) {
        const int y = yOffset + (bottomCorners ? row : row);
        holes.push_back(TRect{start - mask.SourceRect.Left + shift, y,
                              x - mask.SourceRect.Left + shift, y + 1});
        start = -1;
      }
    }
  };
  for (int row = 0; row < rowCount; ++row) {
    scan(row, mask.SourceRect.Left, mask.SourceRect.Left + mask.WidthLeft, 0);
    scan(row, mask.SourceRect.Left + w - mask.WidthRight, mask.SourceRect.Left + w,
         targetWidth - w);
  }
}

TsBackgroundSource BackgroundSourceFromRequest(const TsBackgroundRequest& request) {
  if (request.BgType == 2) return MakeBackgroundSource(request.Bmp, request.X, request.Y);
  TsBackgroundSource source;
  source.X = request.X;
  source.Y = request.Y;
  source.FillColor = ColorToRGB(request.Color);
  return source;
}
