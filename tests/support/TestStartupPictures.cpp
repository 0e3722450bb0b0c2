#include "imaging/GIFImage.h"
#include "imaging/pngimage.h"
#include "tests/support/TestStartup.h"
#if defined(KESTRAVA_HAVE_JPEG)
#include "imaging/Jpeg.h"
#endif

void ktest::StartTestProgram() {
  InstallSystemGraphics();
  // The PNG object registers the skin engine's reader first, as the programs' order has it.
  RegisterPNGObject();
  RegisterGIFImage();
#if defined(KESTRAVA_HAVE_JPEG)
  RegisterJPEGImage();
#endif
}
