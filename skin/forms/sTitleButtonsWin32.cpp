#include "skin/forms/sTitleButtonsWin32.h"

TsTitleButtons::TsTitleButtons(TPersistent* owner)
    : TCollection(TsTitleButton::StaticClassInfo(), owner) {}
