#include "skin/core/skinfiles/sMaskData.h"

int MaskStateWidth(const TsMaskData& mask) {
  const int width = mask.SourceRect.Right - mask.SourceRect.Left;
  if (mask.ImageCount == 0) return 0;
  if (mask.ImageCount == 1) return width;
  return width / mask.ImageCount;
}

int MaskStateHeight(const TsMaskData& mask) {
  const int height = mask.SourceRect.Bottom - mask.SourceRect.Top;
  if (mask.MaskType == -1) return 0;
  if (mask.MaskType == 0) return height;
  return height / (mask.MaskType + 1);
}
