// The Windows half of the graphic base, installed by each program's start-up list: bitmaps
// get their DIB sections and canvases, colours the live system colours, and the clipboard
// knows bitmaps. Call once, before the first bitmap is made.
#pragma once

#include <windows.h>

#include "framework/Graphics.h"

void InstallWin32Graphics();

// The bitmap's DIB section, made on first use.
HBITMAP BitmapHandle(TBitmap* bitmap);
// Takes over the given bitmap: its pixels are read in and it is deleted.
void SetBitmapHandle(TBitmap* bitmap, HBITMAP value);
// Hands the DIB section to the caller, who deletes it; the bitmap keeps a copy.
HBITMAP ReleaseBitmapHandle(TBitmap* bitmap);
