// Labels of the program's windows, built in code as the windows are.
#pragma once

#include <string>

#include "framework/StdCtrlsWin32.h"

// A label owned by `owner`, placed on `parent` at left/top with its caption.
TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                  int top, const std::string& caption);
