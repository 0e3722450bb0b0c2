// The skin engine's resampling and glyph copies lent to the alpha image list, which stands
// below the skin engine and reaches them through its own interface.
#pragma once

// Registers the routines with the image list; a program's start-up list calls it once before
// its first image list, and the unregister call when its last one is gone.
void RegisterSkinImageListPixels();
void UnregisterSkinImageListPixels();
