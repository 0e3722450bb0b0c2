#include "skin/adapters/skScrollBarPaint.h"

#include <algorithm>

#include "framework/SysUtils.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/skinfiles/sConst.h"
#include "skin/core/skinfiles/sSkinManager.h"

int SkinScrollArrowSize(const TsSkinManager& manager, bool vertical) {
  const TsFixedIndexes& fixed = manager.FixedIndexes();
  const TsFixedIndexes::TScrollPart& left = fixed.ScrollBtn[2];
  if (!manager.IsValidSectionIndex(left.Section) ||
      !manager.Sections()[static_cast<size_t>(left.Section)].ReservedBoolean ||
      !manager.IsValidMaskIndex(left.BorderMask))
    return 0;
  if (!vertical) return MaskStateWidth(manager.Masks()[static_cast<size_t>(left.BorderMask)]);
  const int top = fixed.ScrollBtn[0].BorderMask;
  // A skin without a border mask for the top arrow: the standard size alone.
  return manager.IsValidMaskIndex(top) ? MaskStateHeight(manager.Masks()[static_cast<size_t>(top)])
                                       : 0;
}

int ScrollBarArrowLength(const TskScrollBar& bar, const TsSkinManager* skin) {
  int unit = SkinScrollBarWidth;
  if (skin && bar.ArrowLength < 0)
    unit = std::max(unit, SkinScrollArrowSize(*skin, bar.IsVertical()));
  return ResolveScrollBarSize(bar.ArrowLength, unit);
}

namespace {
// A skin part painted over r, then its glyph centred in `glyphArea`.
void PaintScrollPart(TBitmap& bitmap, TsSkinManager& manager,
                     const TsFixedIndexes::TScrollPart& part, const TRect& r,
                     const TRect& glyphArea, TsPaintState look,
                     const TsBackgroundSource& background) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  PaintItemFast({.Bitmap = &bitmap,
                 .R = r,
                 .SectionIndex = part.Section,
                 .State = look,
                 .Background = background,
                 .Manager = &manager,
                 .TextureIndex = part.Pattern,
                 .HotTextureIndex = part.HotPattern,
                 .BorderMaskIndex = part.BorderMask});
  const int state = StateIndex(look);
  if (!manager.IsValidMaskIndex(part.GlyphMask)) return;
  const TsMaskData& mask = manager.Masks()[static_cast<size_t>(part.GlyphMask)];
  const int w = MaskStateWidth(mask), h = MaskStateHeight(mask);
  if (w <= 0 || h <= 0) return;
  const TPoint at{glyphArea.Left + (glyphArea.Width() - w) / 2,
                  glyphArea.Top + (glyphArea.Height() - h) / 2};
  PaintMaskGlyph(&bitmap, at, std::min(state, mask.ImageCount - 1), mask, background);
}

// A rectangle along the bar: [from, to) along, the whole thickness across.
TRect Along(bool vertical, int from, int to, int thickness) {
  return vertical ? TRect{0, from, thickness, to} : TRect{from, 0, to, thickness};
}
}  // namespace

bool PaintScrollBarImage(TBitmap& bitmap, TsSkinManager& manager, const TScrollBarPaint& paint) {
  const TskScrollBar& bar = *paint.Bar;
  const int arrowLength = paint.ArrowLength;
  const TThumbGeometry& thumb = paint.Thumb;
  const bool active = paint.Active;
  const TScrollBarStates& states = paint.States;
  const TsBackgroundSource& background = paint.Background;
  const bool vertical = bar.IsVertical();
  const TsFixedIndexes& fixed = manager.FixedIndexes();
  const TsFixedIndexes::TScrollPart& page1 = fixed.ScrollBar[vertical ? 1 : 0];
  const TsFixedIndexes::TScrollPart& page2 = fixed.ScrollBar[vertical ? 3 : 2];
  const TsFixedIndexes::TScrollPart& arrow1 = fixed.ScrollBtn[vertical ? 0 : 2];
  const TsFixedIndexes::TScrollPart& arrow2 = fixed.ScrollBtn[vertical ? 1 : 3];
  const TsFixedIndexes::TScrollPart& slider = vertical ? fixed.ScrollSliderV : fixed.ScrollSliderH;
  if (!manager.IsValidSectionIndex(page1.Section)) return false;
  const int length = vertical ? bitmap.Height() : bitmap.Width();
  const int thick = vertical ? bitmap.Width() : bitmap.Height();
  if (length <= 0 || thick <= 0) return false;
  const int button = SkinScrollBarWidth;
  const auto glyphAtStart = [&](int size) { return Along(vertical, 0, size, thick); };
  const auto glyphAtEnd = [&](int size) { return Along(vertical, length - size, length, thick); };
  if (2 * arrowLength < length) {
    const int split = thumb.Start + thumb.Length / 2;
    PaintScrollPart(bitmap, manager, page1, Along(vertical, 0, split, thick), TRect{},
                    states.PageBefore, background);
    PaintScrollPart(bitmap, manager, page2, Along(vertical, split, length, thick), TRect{},
                    states.PageAfter, background);
    PaintScrollPart(bitmap, manager, arrow1, Along(vertical, 0, arrowLength, thick),
                    glyphAtStart(button), states.FirstArrow, background);
    PaintScrollPart(bitmap, manager, arrow2, Along(vertical, length - arrowLength, length, thick),
                    glyphAtEnd(button), states.SecondArrow, background);
    const int track = length - 2 * arrowLength;
    const int range = bar.Info.nMax - bar.Info.nMin;
    int proportional = MulDiv(static_cast<int>(bar.Info.nPage), track, range);
    if (proportional >= 0) proportional = std::max(proportional, bar.MinThumbLength);
    if (active && proportional > 0 && proportional <= track) {
      const TRect r = Along(vertical, thumb.Start, thumb.Start + thumb.Length, thick);
      PaintScrollPart(bitmap, manager, slider, r, r, states.Thumb, background);
    }
  } else {
    const int half = length / 2;
    PaintScrollPart(bitmap, manager, page1, Along(vertical, 0, half, thick), TRect{},
                    TsPaintState::Normal, background);
    PaintScrollPart(bitmap, manager, page2, Along(vertical, half, length, thick), TRect{},
                    TsPaintState::Normal, background);
    PaintScrollPart(bitmap, manager, arrow1, Along(vertical, 0, half, thick), glyphAtStart(button),
                    states.FirstArrow, background);
    PaintScrollPart(bitmap, manager, arrow2, Along(vertical, half, length, thick),
                    glyphAtEnd(button), states.SecondArrow, background);
  }
  if (!active) {
    // An unusable bar fades into what lies behind it: 60 % background, 40 % bar.
    if (background.HasBitmap && background.Bmp) {
      const TRect source{background.X, background.Y, background.X + bitmap.Width(),
                         background.Y + bitmap.Height()};
      BlendBitmapKeyed(&bitmap, TPoint{0, 0}, background.Bmp, source, SkinKeyColor, 0.4);
    } else {
      PaintShadowRect(&bitmap, TRect{-1, -1, bitmap.Width() + 1, bitmap.Height() + 1}, 60, 0, 0,
                      background.FillColor);
    }
  }
  return true;
}

TScrollBarPictureKey ScrollBarPictureKey(int width, int height, const TsSkinManager& manager,
                                         const TScrollBarPaint& paint, uint64_t generation) {
  const TskScrollBar& bar = *paint.Bar;
  const TsBackgroundSource& behind = paint.Background;
  return TScrollBarPictureKey{.Width = width,
                              .Height = height,
                              .ArrowLength = paint.ArrowLength,
                              .ThumbStart = paint.Thumb.Start,
                              .ThumbLength = paint.Thumb.Length,
                              .Min = bar.Info.nMin,
                              .Max = bar.Info.nMax,
                              .Page = static_cast<int>(bar.Info.nPage),
                              .MinThumbLength = bar.MinThumbLength,
                              .Active = paint.Active,
                              .States = paint.States,
                              .BehindBitmap = behind.HasBitmap ? behind.Bmp : nullptr,
                              .BehindX = behind.X,
                              .BehindY = behind.Y,
                              .BehindColor = behind.HasBitmap ? clFuchsia : behind.FillColor,
                              .Manager = &manager,
                              .Generation = generation};
}
