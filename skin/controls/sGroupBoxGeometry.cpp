#include "skin/controls/sGroupBoxGeometry.h"

#include <algorithm>

int GroupCaptionHeight(int letterHeight) { return std::max(4, letterHeight) + 2; }

TRect GroupCaptionRect(const TsGroupCaptionFacts& f) {
  TRect r{};
  r.Bottom = GroupCaptionHeight(f.LetterHeight);
  if (f.Skinned) {
    r.Bottom += f.CaptionYOffset;
    if (f.CaptionYOffset < 0) r.Top = f.CaptionYOffset;
  }
  // Right to left mirrors the two outer layouts.
  const bool nearEdge = (f.Layout == sGroupBox::clTopLeft && !f.RightToLeft) ||
                        (f.Layout == sGroupBox::clTopRight && f.RightToLeft);
  if (f.Layout == sGroupBox::clTopCenter)
    r.Left = (f.Width - f.TextWidth - 10) / 2;
  else if (nearEdge)
    r.Left = 6;
  else
    r.Left = f.Width - f.TextWidth - 14;
  r.Left = std::max(r.Left, 0);
  r.Right = std::min(r.Left + f.TextWidth + 8, f.Width);
  if (r.Right - r.Left < 2 * f.BevelWidth) {
    r.Left -= f.BevelWidth;
    r.Right += f.BevelWidth;
  }
  return r;
}

int GroupFrameTop(const TRect& captionRect, int captionYOffset) {
  return captionYOffset < 0 ? 0 : captionRect.Height() / 2;
}
