#include "skin/adapters/skToolBarLayout.h"

namespace {

TRect Inflated(TRect r, int dx, int dy) {
  return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

}  // namespace

TsToolButtonLook ToolButtonLook(uint8_t state, bool pointerInside) {
  if ((state & toolbits::StateEnabled) == 0) return {0, 0};
  if (state & toolbits::StatePressed) return {2, 1};
  return {pointerInside ? 1 : 0, 0};
}

bool RectContains(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool ToolButtonShowsImage(int imageIndex, bool hasImageList) {
  return hasImageList && imageIndex >= 0;
}

TPoint ToolButtonImagePos(const TRect& button, TSize icon, int shift, int arrowWidth) {
  return {shift + (button.Width() - icon.cx - arrowWidth) / 2, shift + 4};
}

TPoint ToolButtonArrowPos(const TRect& button, TSize arrow, int shift) {
  return {button.Width() + shift - arrow.cx - 2, shift + (button.Height() - arrow.cy) / 2};
}

TRect ToolButtonTextRect(const TRect& button, int iconHeight, int shift) {
  const int top = iconHeight > 0 ? iconHeight + 2 + shift + 2 : shift + 2;
  return {shift + 2, top, button.Width() + shift - 2, shift + button.Height() - 2};
}

TsToolCaptionLines SplitToolCaption(const std::string& text, int width,
                                    const std::function<int(const std::string&)>& measure) {
  // Where each word starts; the first word counts as starting at the text's start.
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] != ' ' && (i == 0 || text[i - 1] == ' ')) starts.push_back(i);
  if (!starts.empty()) starts.front() = 0;
  const size_t words = starts.size();
  // The text before word k (1-based) less the blank before it.
  const auto before = [&](size_t k) -> std::string {
    if (k <= 1) return {};
    const size_t end = starts[k - 1];
    return end > 0 ? text.substr(0, end - 1) : std::string();
  };
  const auto from = [&](size_t k) -> std::string {
    return k == 0 ? text : text.substr(starts[k - 1]);
  };
  TsToolCaptionLines lines;
  for (size_t k = 1; k <= words; ++k) {
    if (measure(before(k)) > width || k == words) {
      lines.First = before(k - 1);
      lines.Second = from(k - 1);
      break;
    }
  }
  return lines;
}

int ToolButtonAt(const std::vector<TsToolButtonHit>& buttons, TPoint p) {
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (!RectContains(buttons[i].Bounds, p)) continue;
    return buttons[i].Pressable ? static_cast<int>(i) : -1;
  }
  return -1;
}

std::vector<TsStatusPanelPlace> StatusPanelPlaces(bool simple, TSize bar,
                                                  const std::vector<TRect>& parts) {
  std::vector<TsStatusPanelPlace> places;
  if (simple) {
    const TRect frame{0, 1, bar.cx - 1, bar.cy - 1};
    const TRect inner = Inflated(frame, -1, -1);
    places.push_back({frame, {inner.Left + 2, inner.Top, inner.Right - 4, inner.Bottom - 1}});
    return places;
  }
  for (const TRect& part : parts) {
    const TRect frame = Inflated(part, -1, -1);
    const TRect inner = Inflated(frame, -1, -1);
    places.push_back({frame, {inner.Left + 2, inner.Top, inner.Right - 4, inner.Bottom - 1}});
  }
  return places;
}
