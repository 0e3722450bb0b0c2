// The Windows half of icons: the icon handle.
#pragma once

#include <windows.h>

#include "framework/Icon.h"

// Made on first use from the directory entry nearest to the system icon size.
HICON IconHandle(TIcon* icon);
// The icon takes over the handle and deletes it later.
void SetIconHandle(TIcon* icon, HICON value);
// Gives the handle to the caller; the icon becomes empty.
HICON ReleaseIconHandle(TIcon* icon);
bool IconHandleAllocated(const TIcon* icon);
