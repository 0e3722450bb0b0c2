#include "framework/GraphicsWin32.h"
#include "imaging/Jpeg.h"
#include "imaging/pngimage.h"
#include "skin/adapters/skCtrlAdapterWin32.h"
#include "skin/core/pixels/SkinImageListPixels.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "skin/forms/sFormServicesWin32.h"
#include "skin/forms/skGlowWin32.h"
#include "updater/UpdaterStartup.h"
#include "updater/inethttp.h"

TUpdaterStartup::TUpdaterStartup() {
  // Before the first bitmap: every bitmap of the program gets its DIB section.
  InstallWin32Graphics();
  // The skin's pictures and the window's own open by their extensions.
  RegisterPNGObject();
  RegisterJPEGImage();
  RegisterSkinImageListPixels();
  // The skin command's name, the system's scroll-bar width, and when threaded timers stop.
  InitSkinRuntime();
  ReadShadowTemplates();
  InstallFormServices();
  // The file list gets its window adapter from the skinned form.
  InstallControlAdapters();
  // Mapped before the window exists; without it the run reports the failure and still
  // starts Kestrava again.
  BindHTTPEngine();
}

TUpdaterStartup::~TUpdaterStartup() {
  FreeAllGlows();
  RemoveFormServices();
  SetControlAdapterFactory(nullptr);
  FreeShadowTemplates();
  UnregisterSkinImageListPixels();
  // After the window, so no component is left calling into the unmapped engine.
  UnbindHTTPEngine();
}
