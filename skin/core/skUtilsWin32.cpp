#include "skin/core/skUtilsWin32.h"

namespace {

bool CaptionFont(LOGFONTA& font) {
  // The record size of the system's first NONCLIENTMETRICS layout (without the padded
  // width of later systems), which every version accepts.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  font = metrics.lfCaptionFont;
  return true;
}

}  // namespace

int CaptionFontHeight() {
  LOGFONTA font;
  return CaptionFont(font) ? font.lfHeight : 0;
}

HFONT CreateCaptionFont() {
  LOGFONTA font;
  return CaptionFont(font) ? CreateFontIndirectA(&font) : nullptr;
}
