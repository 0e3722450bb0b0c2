// Without a screen to ask, fonts take the usual 96 pixels per inch.
#include "framework/Canvas.h"

int ScreenPixelsPerInch() { return 96; }
