#include "skin/adapters/skSpeedButtonLayout.h"

TRect SpeedButtonHandlerGlyphRect(const TskSpeedButtonFacts& f) {
  const int gw = f.Glyph.cx, gh = f.Glyph.cy, tw = f.Caption.cx, th = f.Caption.cy;
  const int sx = gw > 0 && f.HasCaption ? f.Spacing : 0;
  const int hx = (f.Width - gw - sx - tw) / 2;
  const int sy = gh > 0 && f.HasCaption ? f.Spacing : 0;
  const int vy = (f.Height - gh - sy - th) / 2;
  int x = 0, y = 0;
  switch (f.Side) {
    case TskGlyphSide::Left:
      x = f.Margin == -1 ? hx : f.Margin;
      y = (f.Height - gh) / 2;
      break;
    case TskGlyphSide::Right:
      x = f.Margin == -1 ? f.Width - hx - gw : f.Width - gw - f.Margin;
      y = (f.Height - gh) / 2;
      break;
    case TskGlyphSide::Top:
      x = (f.Width - gw) / 2;
      y = f.Margin == -1 ? vy : f.Margin;
      break;
    case TskGlyphSide::Bottom:
      x = (f.Width - gw) / 2;
      y = f.Margin == -1 ? f.Height - vy - gh : f.Height - gh - f.Margin;
      break;
  }
  if (f.Pressed) {
    ++x;
    ++y;
  }
  return TRect{x, y, x + gw, y + gh};
}

TRect SpeedButtonHandlerCaptionRect(const TskSpeedButtonFacts& f) {
  const int tw = f.Caption.cx, th = f.Caption.cy, w = f.Width, h = f.Height;
  const int p = f.Pressed ? 1 : 0;
  const bool hasGlyph = f.Glyph.cx > 0 && f.Glyph.cy > 0;
  int x = 0, y = 0;
  if (hasGlyph) {
    const TRect g = SpeedButtonHandlerGlyphRect(f);
    switch (f.Side) {
      case TskGlyphSide::Left:
        x = g.Right + f.Spacing;
        y = (h - th) / 2 + p;
        break;
      case TskGlyphSide::Right:
        x = g.Left - f.Spacing - tw;
        y = (h - th) / 2 + p;
        break;
      case TskGlyphSide::Top:
        x = (w - tw) / 2 + p;
        y = g.Bottom + f.Spacing;
        break;
      case TskGlyphSide::Bottom:
        x = (w - tw) / 2 + p;
        y = g.Top - f.Spacing - th;
        break;
    }
  } else if (f.Margin == -1) {
    x = (w - tw) / 2 + p;
    y = (h - th) / 2 + p;
  } else {
    switch (f.Side) {
      case TskGlyphSide::Left:
        x = f.Margin;
        y = (h - th) / 2 + p;
        break;
      case TskGlyphSide::Right:
        x = w - f.Margin - tw;
        y = (h - th) / 2 + p;
        break;
      case TskGlyphSide::Top:
        x = (w - tw) / 2 + p;
        y = f.Margin;
        break;
      case TskGlyphSide::Bottom:
        x = (w - tw) / 2 + p;
        y = h - f.Margin - th;
        break;
    }
  }
  return TRect{x, y, x + tw, y + th};
}
