// The adapters the children of a skinned standard dialog get: the dialog hook (a room below)
// names a kind for each child window by its class table, and this factory makes the adapter of
// that kind. A kind whose adapter is not built here is left with the standard look.
#pragma once

#include <windows.h>

#include <memory>

#include "skin/forms/skDialsWin32.h"

// Makes the adapter of the choice for the child window (DialogAdapterMode set while it is made,
// so the adapter paints as in a dialog); null for a kind it does not make.
std::unique_ptr<IDialogChildAdapter> MakeDialogChildAdapter(HWND child,
                                                            const TskDialogChildChoice& choice,
                                                            TsSkinManager* manager);
// The dialog hook makes its children's adapters through MakeDialogChildAdapter from now on.
void InstallDialogChildAdapters();
void RemoveDialogChildAdapters();
