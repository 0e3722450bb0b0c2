#include "skin/controls/sButtonGeometry.h"

#include <algorithm>

// Every halving below is integer division, which rounds toward zero as the placement rules
// expect for negative room (a caption wider than its button).

// ---- glyph strips ------------------------------------------------------------------------

int GlyphCellOfState(int state, int cells) { return std::clamp(state, 0, std::max(cells, 1) - 1); }

TRect GlyphCellRect(int cell, int cellWidth, int height) {
  return TRect{cellWidth * cell, 0, cellWidth * (cell + 1), height};
}

int StripCellCount(int width, int height) {
  if (height <= 0 || width < height || width % height != 0) return 1;
  return width / height;
}

int GlyphTransparency(int state, int blend, bool disabledBlended) {
  int own = state == ButtonNormal ? std::clamp(blend, 0, 100) : 0;
  return std::max(own, disabledBlended ? 50 : 0);
}

TRect ReflectedGlyphRect(const TRect& glyph) {
  int up = glyph.Height() / 6;
  return TRect{glyph.Left, glyph.Top - up, glyph.Right, glyph.Bottom - up};
}

// ---- the bit button -------------------------------------------------------------------------

int BitBtnState(const TsBitBtnStateInputs& in) {
  // A press shows only while the mouse stays over the button (or no mouse holds it: the
  // space bar pushes it too).
  if (in.Down || (in.Pushed && (in.MouseOver || !in.LeftHeld))) return ButtonPressed;
  if (in.IsDefault || in.IsActive) return ButtonHot;
  return ButtonNormal;
}

static bool IsBeside(TsGlyphLayout layout) {
  return layout == TsGlyphLayout::GlyphLeft || layout == TsGlyphLayout::GlyphRight;
}

int BitBtnCaptionWidth(int width, int margin, TsGlyphLayout layout, int glyphWidth, int spacing,
                       bool hasCaption) {
  if (!hasCaption) return 0;
  int available = width - 2 * std::max(margin, 0);
  if (IsBeside(layout) && glyphWidth > 0) available -= glyphWidth + spacing;
  return std::max(available, 0);
}

TRect BitBtnGlyphRect(TPoint glyphPos, TSize glyph, int state, bool reflected) {
  int shift = state == ButtonPressed ? 1 : 0;
  TRect r = Bounds(glyphPos.X + shift, glyphPos.Y + shift, glyph.cx, glyph.cy);
  if (!reflected) return r;
  // The mirror image needs a sixth of the glyph's width below it.
  int up = glyph.cx / 6;
  return TRect{r.Left, r.Top - up, r.Right, r.Bottom - up};
}

// ---- the speed button -----------------------------------------------------------------------

int SpeedButtonContentMargin(int margin) { return margin < 0 ? 0 : margin + 3; }

static int ArrowOf(const TsSpeedButtonPlace& p) { return p.DropDown ? SpeedButtonArrowWidth : 0; }

int SpeedButtonCaptionWidth(const TsSpeedButtonPlace& p) {
  if (!p.HasCaption) return 0;
  // A negative margin counts as none: the caption is never measured wider than the button.
  int available = p.Width - 2 * std::max(p.Margin, 0) - ArrowOf(p);
  if (IsBeside(p.Layout) && p.Glyph.cx > 0) available -= p.Glyph.cx + p.Spacing;
  return std::max(available, 0);
}

TRect SpeedButtonGlyphRect(const TsSpeedButtonPlace& p) {
  const int gw = p.Glyph.cx, gh = p.Glyph.cy, tw = p.Text.cx, th = p.Text.cy;
  const int sp = p.HasCaption && gw > 0 ? p.Spacing : 0;
  const int m = SpeedButtonContentMargin(p.Margin);
  const int a = ArrowOf(p);
  const int dx = (p.Width - a - gw - sp - tw) / 2 - m;
  const int dy = (p.Height - gh - sp - th) / 2 - m;
  int left = 0, top = (p.Height - gh) / 2;
  switch (p.Layout) {
    case TsGlyphLayout::GlyphLeft:
      left = p.Alignment == TsBlockAlign::Left    ? m
             : p.Alignment == TsBlockAlign::Right ? m + 2 * dx
                                                  : m + dx;
      break;
    case TsGlyphLayout::GlyphRight:
      left = p.Alignment == TsBlockAlign::Left    ? p.Width - a - m - 2 * dx - sp - gw
             : p.Alignment == TsBlockAlign::Right ? p.Width - a - gw - m
                                                  : (p.Width + sp + tw - a - gw) / 2;
      break;
    case TsGlyphLayout::GlyphTop:
      left = (p.Width - a - gw) / 2 + 1;
      top = dy + m;
      break;
    case TsGlyphLayout::GlyphBottom:
      left = (p.Width - a - gw) / 2 + 1;
      top = p.Height - m - dy - gh;
      break;
  }
  if (p.State == ButtonPressed) {
    ++left;
    ++top;
  }
  TRect r{left, top, left + gw, top + gh};
  return p.Reflected ? ReflectedGlyphRect(r) : r;
}

TRect SpeedButtonCaptionRect(const TsSpeedButtonPlace& p) {
  const int gw = p.Glyph.cx, gh = p.Glyph.cy, tw = p.Text.cx, th = p.Text.cy;
  const int g = IsBeside(p.Layout) ? gw : gh;
  const int sp = g >= 1 && p.HasCaption ? p.Spacing : 0;
  const int glyphGap = gw > 0 ? p.Spacing : 0;
  const int m = SpeedButtonContentMargin(p.Margin);
  const int a = ArrowOf(p);
  int left = 0, right = 0, top = 0, bottom = 0;
  if (IsBeside(p.Layout)) {
    const int dx = (p.Width - a - gw - sp - tw) / 2 - m;
    top = (p.Height - th) / 2;
    bottom = p.Height - top;
    if (p.Layout == TsGlyphLayout::GlyphLeft) {
      switch (p.Alignment) {
        case TsBlockAlign::Left:
          left = gw + p.Margin + glyphGap;
          right = p.Width - a - m - 2 * dx;
          break;
        case TsBlockAlign::Right:
          left = m + 2 * dx + gw + glyphGap;
          right = p.Width - a - m;
          break;
        case TsBlockAlign::Center:
          left = gw + m + dx + glyphGap;
          right = p.Width - a - m - dx;
          break;
      }
    } else {
      switch (p.Alignment) {
        case TsBlockAlign::Left:
          left = m;
          break;
        case TsBlockAlign::Right:
          left = m + 2 * dx;
          break;
        case TsBlockAlign::Center:
          left = m + dx;
          break;
      }
      right = left + tw;
    }
  } else {
    const int dy = (p.Height - gh - sp - th) / 2 - m;
    left = (p.Width - tw - a) / 2;
    if (p.Layout == TsGlyphLayout::GlyphTop) {
      right = p.Width - left - a;
      top = gh + m + dy + sp;
      bottom = p.Height - dy - m;
    } else {
      right = p.Width - (p.Width - tw - a) / 2 - a;
      top = m + dy;
      bottom = p.Height - dy - m - gh - sp;
    }
  }
  const int shift = p.State == ButtonPressed ? 1 : 0;
  return TRect{left + p.TextOffset - 1 + shift, top + shift, right + p.TextOffset + 2 + shift,
               bottom + shift};
}

// ---- the tool bar's buttons -------------------------------------------------------------------

static bool HasAnyBit(const TsToolButtonDrawState& s) {
  return s.Selected || s.Checked || s.Disabled || s.Hot || s.Other;
}

static bool OnlyDisabled(const TsToolButtonDrawState& s) {
  return s.Disabled && !s.Selected && !s.Checked && !s.Hot && !s.Other;
}

int ToolButtonImageState(const TsToolButtonDrawState& s) {
  if (!HasAnyBit(s) || OnlyDisabled(s)) return ButtonNormal;
  if (s.Selected || s.Checked) return ButtonPressed;
  return ButtonHot;
}

int ToolButtonState(const TsToolButtonDrawState& s, bool highlighted, bool indeterminate) {
  if (highlighted || indeterminate || s.Selected || s.Checked) return ButtonPressed;
  if (HasAnyBit(s) && !OnlyDisabled(s)) return ButtonHot;
  return ButtonNormal;
}

TsToolImageList ChooseToolImageList(bool buttonEnabled, bool hasDisabledImages, int state,
                                    bool hasHotImages, int imageIndex, int hotImageCount) {
  if (!buttonEnabled && hasDisabledImages) return TsToolImageList::Disabled;
  if (state != ButtonNormal && hasHotImages && imageIndex < hotImageCount)
    return TsToolImageList::Hot;
  return TsToolImageList::Normal;
}

TRect ToolButtonImageRect(const TsToolButtonPlace& p) {
  int left = 0, top = 0;
  if (p.List) {
    left = 5;
    top = (p.Button.cy - p.Image.cy) / 2;
  } else {
    // A drop-down button centres its image in the part left of the arrow.
    left = (p.Button.cx - p.Image.cx) / 2 + 1 - (p.DropDown ? 8 : 0);
    top = (p.Button.cy - p.Image.cy - (p.ShowCaptions ? p.LineHeight + 3 : 0)) / 2;
  }
  if (p.State == ButtonPressed) {
    ++left;
    ++top;
  }
  return Bounds(left, top, p.Image.cx, p.Image.cy);
}

TRect ToolButtonCaptionRect(const TsToolCaptionPlace& p) {
  TRect r{};
  if (p.List) {
    r = TRect{p.HasImage ? p.Image.cx + 6 : 1, 2, p.ButtonAreaWidth - 2, p.ButtonHeight - 2};
  } else {
    int x = (p.ButtonAreaWidth - p.TextWidth) / 2;
    int c = 0, top = 0;
    if (p.HasImage) {
      c = (p.ButtonHeight - p.Image.cy - p.LineHeight - 3) / 2;
      top = p.Image.cy + c + 3;
    } else {
      c = (p.ButtonHeight - p.LineHeight) / 2;
      top = c;
    }
    r = TRect{x - 1, top, p.ButtonAreaWidth - x + 2, p.ButtonHeight - c};
  }
  if (p.State == ButtonPressed) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  return r;
}

TPoint ToolDropDownArrowPos(int buttonAreaWidth, int arrowWidth, int maskWidth, int maskHeight,
                            int buttonHeight) {
  return TPoint{(arrowWidth - (maskWidth + 3)) / 2 + buttonAreaWidth + 2,
                (buttonHeight - maskHeight) / 2};
}

bool ToolButtonShowsDisabled(bool buttonEnabled, bool barEnabled, bool indeterminate,
                             bool hasDisabledImages) {
  return (!buttonEnabled || !barEnabled || indeterminate) && !hasDisabledImages;
}

// ---- the check box ------------------------------------------------------------------------------

TSize CheckGlyphCellSize(int width, int height) {
  return TSize{width / StripCellCount(width, height), height};
}

int CheckGlyphState(bool pressed, bool active, bool readOnly) {
  if (pressed) return ButtonPressed;
  return active && !readOnly ? ButtonHot : ButtonNormal;
}

TRect CheckBoxGlyphRect(const TsCheckBoxPlace& p) {
  int top = (p.Height - p.Glyph.cy) / 2;
  int left = p.CaptionRight ? p.Margin : p.Width - p.Glyph.cx - p.Margin;
  return Bounds(left, top, p.Glyph.cx, p.Glyph.cy);
}

int CheckBoxCaptionWidth(const TsCheckBoxPlace& p) {
  return p.Width - p.Glyph.cx - p.TextIndent - 2 * p.Margin - 2;
}

TRect CheckBoxCaptionRect(const TsCheckBoxPlace& p, TSize text, bool wordWrap) {
  const int available = CheckBoxCaptionWidth(p);
  const int top = std::max((p.Height - text.cy) / 2, p.Margin);
  TRect r{};
  if (p.CaptionRight) {
    r.Left = p.Width - available - p.Margin + 2;
    r.Right = r.Left + text.cx;
  } else {
    r.Left = p.Margin;
    r.Right = available + p.Margin;
  }
  r.Top = top;
  r.Bottom = top + text.cy;
  const int dx = wordWrap ? -1 : 0;
  return TRect{r.Left + dx, r.Top - 1, r.Right + dx, r.Bottom - 1};
}

TSize CheckBoxAutoSize(TSize glyph, int margin, int textIndent, TSize text, bool hasCaption) {
  int width = glyph.cx + 2 * margin + (hasCaption ? text.cx + textIndent + 8 : 0);
  int height = std::max(glyph.cy, (hasCaption ? text.cy : 0) + 2 * margin) + 2;
  return TSize{width, height};
}
