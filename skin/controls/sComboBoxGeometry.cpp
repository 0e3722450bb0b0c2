#include "skin/controls/sComboBoxGeometry.h"

TRect ComboButtonRect(int width, int height, int buttonWidth, bool rightToLeft, TsComboKind kind) {
  const int w = kind == TsComboKind::Simple ? 0 : buttonWidth;
  const int left = rightToLeft ? 2 : width - w - 2;
  return TRect{left, 2, left + w, height - 2};
}

TPoint ComboArrowPlace(const TRect& button, int height, int imageWidth, int imageHeight) {
  return TPoint{(button.Width() - imageWidth) / 2 + button.Left, (height - imageHeight) / 2};
}

TRect ComboItemRect(const TRect& button, int cacheHeight) {
  return TRect{3, 3, button.Left - 1, cacheHeight - 3};
}

int ComboCacheHeight(TsComboKind kind, int height, int itemHeight) {
  return kind == TsComboKind::Simple ? itemHeight + 8 : height;
}

int ComboButtonState(bool listDropped, bool active) { return listDropped ? 2 : active ? 1 : 0; }

TsComboCopy ComboPaintCopy(TsComboKind kind, bool focused) {
  switch (kind) {
    case TsComboKind::DropDown:
      return focused ? TsComboCopy::FrameAndButton : TsComboCopy::Whole;
    case TsComboKind::Simple:
      return TsComboCopy::Frame;
    case TsComboKind::DropDownList:
      break;
  }
  return TsComboCopy::Whole;
}

bool ComboKeyChangesSelection(int key) {
  constexpr int kSpace = 32, kDown = 40, kNine = 57, kA = 65, kZ = 90;
  return (key >= kSpace && key <= kDown) || key == kNine || (key >= kA && key <= kZ);
}
