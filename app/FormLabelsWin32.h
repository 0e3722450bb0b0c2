// Labels of the program's windows, built in code as the windows are.
#pragma once

#include <string>

#include "framework/StdCtrlsWin32.h"
#include "skin/controls/sLabelWin32.h"

// A skinned label owned by `owner`, placed on `parent` at left/top with its caption.
TsLabel* MakeLabel(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                   int top, const std::string& caption);
// The same as the framework's plain label.
TLabel* MakePlainLabel(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                       int top, const std::string& caption);
