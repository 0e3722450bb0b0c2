#include "skin/adapters/skButtonLayout.h"

#include <algorithm>

#include "skin/core/skinfiles/sMaskData.h"

using namespace buttonbits;

TskButtonKind ButtonKindOfStyle(uint32_t style) {
  switch (style & TypeMask) {
    case GroupBox:
    case 0xF:
      return TskButtonKind::GroupBox;
    case 0x0:
    case DefPushButton:
    case 0x8:
      return TskButtonKind::PushButton;
    default:
      return TskButtonKind::CheckBox;
  }
}

uint32_t PushButtonTextFlags(uint32_t style) {
  uint32_t flags = textflags::Center | textflags::ExpandTabs;
  if (style & Multiline) flags |= textflags::WordBreak;
  return flags;
}

uint32_t PushButtonMeasureFlags(uint32_t style) {
  return PushButtonTextFlags(style) | textflags::CalcRect | textflags::NoPrefix;
}

int PushButtonCaptionWidth(int width, int glyphWidth, bool hasCaption) {
  if (!hasCaption) return 0;
  if (glyphWidth == 0) return width - 2;
  return std::max(0, width - glyphWidth);
}

TRect PushButtonCaptionRect(TSize window, TSize text, bool pushed) {
  const int dx = (window.cx - text.cx) / 2;
  const int dy = (window.cy - text.cy) / 2;
  TRect r{dx - 1, dy, window.cx - dx + 2, window.cy - dy};
  if (pushed) r = TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
  return r;
}

int PushButtonState(const TsPushButtonLook& look) {
  if (look.Pushed) return 2;
  if (!look.Enabled) return 0;
  if (look.FocusedOrHot) return 1;
  if (look.HostControl) return (look.Style & TypeMask) == DefPushButton ? 1 : 0;
  return (look.Style & 0x1) ? 1 : 0;
}

bool IsOwnerDrawnButton(uint32_t style) { return (style & OwnerDraw) == OwnerDraw; }

bool ShowsRadioGlyph(uint32_t style) {
  return ((style & 0x4) || (style & 0x9) == 0x9) && (style & 0x3) != 0x3 && !(style & 0x2) &&
         (style & 0x5) != 0x5;
}

int CheckStateOf(uint32_t buttonState) {
  if (buttonState & StateIndeterminate) return 2;
  return (buttonState & StateChecked) ? 1 : 0;
}

int CheckGlyphLook(uint32_t buttonState, bool hot) {
  if (buttonState & StatePushed) return 2;
  return (buttonState & StateFocus) || hot ? 1 : 0;
}

TskCheckMask CheckMaskFor(uint32_t style, int checkState) {
  if (checkState == 2) return TskCheckMask::BoxGrayed;
  const bool checked = checkState == 1;
  if (ShowsRadioGlyph(style))
    return checked ? TskCheckMask::RadioChecked : TskCheckMask::RadioUnchecked;
  return checked ? TskCheckMask::BoxChecked : TskCheckMask::BoxUnchecked;
}

TSize CheckMaskGlyphSize(const TsMaskData& mask) {
  const int count = mask.ImageCount == 0 ? 1 : mask.ImageCount;
  const TRect& s = mask.SourceRect;
  if (mask.Image) return TSize{mask.Image->Width() / 3, mask.Image->Height() / 2};
  return TSize{(s.Right - s.Left) / count, (s.Bottom - s.Top) / (mask.MaskType + 1)};
}

TRect CheckGlyphRect(TSize window, TSize glyph, bool leftText) {
  const int top = (window.cy - glyph.cy) / 2;
  if (leftText) return TRect{window.cx - glyph.cx, top, window.cx, top + glyph.cy};
  return TRect{0, top, glyph.cx, top + glyph.cy};
}

int CheckCaptionRoom(int width, TSize checkedGlyph) { return width - (checkedGlyph.cx + 2); }

TRect CheckCaptionRect(TSize window, TSize checkedGlyph, TSize text, bool leftText,
                       bool multiline) {
  const int room = CheckCaptionRoom(window.cx, checkedGlyph);
  const int top = std::max((window.cy - text.cy) / 2, 0);
  const int bottom = window.cy - top;
  if (leftText) return TRect{2, top, text.cx + 2, bottom};
  const int left = window.cx - room + 2;
  TRect r{left, top, left + text.cx, bottom};
  const int dx = multiline ? -1 : 0;
  return TRect{r.Left + dx, r.Top - 1, r.Right + dx, r.Bottom - 1};
}

uint32_t CheckCaptionFlags(bool multiline) {
  return multiline ? textflags::WordBreak | textflags::Center : textflags::SingleLine;
}

TRect GroupCaptionRect(int width, TSize text, bool rightToLeft) {
  const int left = rightToLeft ? width - text.cx - 14 : 6;
  int right = left + text.cx + 8;
  if (right > width) right = width - 1;
  return TRect{left, 0, right, std::max(4, text.cy) + 2};
}
