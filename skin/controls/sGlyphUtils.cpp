#include "skin/controls/sGlyphUtils.h"

#include "skin/controls/sButtonGeometry.h"

bool UsesOwnGlyphList(const TsGlyphList& own, int imageIndex) {
  return own.Assigned && imageIndex >= 0 && imageIndex < own.Count;
}

TsGlyphModeSize GlyphModeSize(const TsGlyphList& own, int imageIndex) {
  const TsGlyphList& list = UsesOwnGlyphList(own, imageIndex) ? own : BuiltInButtonGlyphSize;
  TsGlyphModeSize size;
  size.CellCount = StripCellCount(list.Width, list.Height);
  size.GlyphWidth = list.Width / size.CellCount;
  size.GlyphHeight = list.Height;
  size.ButtonWidth = size.GlyphWidth + 2;
  return size;
}
