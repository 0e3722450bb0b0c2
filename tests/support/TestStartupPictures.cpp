#include "imaging/GIFImage.h"
#include "imaging/pngimage.h"
#include "skin/core/pixels/SkinImageListPixels.h"
#include "tests/support/TestStartup.h"
#if defined(KESTRAVA_HAVE_JPEG)
#include "imaging/Jpeg.h"
#endif

void ktest::StartTestProgram() {
  InstallSystemGraphics();
  // The PNG object registers the skin engine's reader first, as the programs' order has it.
  RegisterPNGObject();
  RegisterGIFImage();
  // Image lists scale and compose their glyphs with the skin engine's routines.
  RegisterSkinImageListPixels();
#if defined(KESTRAVA_HAVE_JPEG)
  RegisterJPEGImage();
#endif
}
