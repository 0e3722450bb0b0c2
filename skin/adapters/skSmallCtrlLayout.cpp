#include "skin/adapters/skSmallCtrlLayout.h"

#include <cmath>

TsSpinHalves SpinHalves(TSize size, bool vertical, int leftOffset) {
  const int w = size.cx, h = size.cy;
  if (vertical) return {TRect{leftOffset, 0, w, h / 2 + h % 2}, TRect{leftOffset, h / 2, w, h}};
  return {TRect{0, 0, w / 2 + w % 2, h}, TRect{w / 2, 0, w, h}};
}

TsSpinStates SpinStates(TSize size, bool vertical, bool pointerInside, TPoint pointer,
                        bool mouseDown) {
  if (!pointerInside) return {};
  const int look = mouseDown ? 2 : 1;
  const bool first =
      vertical ? pointer.Y < size.cy - size.cy / 2 : pointer.X < size.cx - size.cx / 2;
  return first ? TsSpinStates{look, 0} : TsSpinStates{0, look};
}

TsTickSides TickSides(uint32_t style) {
  if (style & trackbits::NoTicks) return {};
  if (style & trackbits::Both) return {true, true};
  if (style & trackbits::Top) return {true, false};
  return {false, true};
}

TRect TrackChannelRect(const TRect& channel, bool vertical, int imageCrossSize) {
  TRect r = channel;
  if (vertical) {
    r.Left = channel.Left + (channel.Width() - imageCrossSize + 1) / 2;
    r.Right = r.Left + imageCrossSize - 1;
  } else {
    r.Top = channel.Top + (channel.Height() - imageCrossSize + 1) / 2;
    r.Bottom = r.Top + imageCrossSize - 1;
  }
  return r;
}

std::vector<int> TickPositions(const TsTickPlace& p) {
  std::vector<int> positions;
  if (p.TickCount < 2) return positions;
  const int length = p.Vertical ? p.Channel.Height() : p.Channel.Width();
  const int thumb = p.Vertical ? p.Thumb.Height() : p.Thumb.Width();
  const int start = p.Vertical ? p.Channel.Top : p.Channel.Left;
  const double step = static_cast<double>(length - thumb) / (p.TickCount - 1);
  for (int i = 0; i < p.TickCount; ++i)
    positions.push_back(static_cast<int>(std::lround(i * step + start + thumb / 2)));
  return positions;
}

TPoint TickCorner(const TsTickPlace& p, int along, bool topOrLeft) {
  const int thumbCross = p.Vertical ? p.Thumb.Width() : p.Thumb.Height();
  const int channelCross = p.Vertical ? p.Channel.Width() : p.Channel.Height();
  const int a = (thumbCross - channelCross) / 2 + 2;
  if (p.Vertical)
    return topOrLeft ? TPoint{p.Channel.Left - a - p.TickLength, along}
                     : TPoint{p.Channel.Right + a, along};
  return topOrLeft ? TPoint{along, p.Channel.Top - a - p.TickLength}
                   : TPoint{along, p.Channel.Bottom + a};
}
