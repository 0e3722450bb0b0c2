// The Windows half of the graphic base, installed by each program's start-up list: bitmaps
// get their DIB sections and canvases, colours the live system colours, and the clipboard
// knows bitmaps. Call once, before the first bitmap is made.
#pragma once

void InstallWin32Graphics();
