#include "skin/controls/sEditGeometry.h"

namespace {

int BorderPixels(const TsEditFrame& frame) { return frame.HasBorder ? (frame.Ctl3D ? 2 : 1) : 0; }

}  // namespace

int EditBorderWidth(const TsEditFrame& frame) {
  const int border = BorderPixels(frame);
  return border > 0 ? border : frame.BevelEdges;
}

int EditTextInset(const TsEditFrame& frame) { return BorderPixels(frame) + frame.BevelEdges; }

TRect EditTextRect(int width, int height, int inset) {
  return TRect{inset + 1, inset + 1, width - inset, height - inset};
}

std::string ShownEditText(const std::string& text, char passwordChar) {
  return passwordChar ? std::string(text.size(), passwordChar) : text;
}
