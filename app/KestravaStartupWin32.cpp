#include "app/KestravaStartup.h"
#include "framework/GraphicsWin32.h"
#include "imaging/Jpeg.h"
#include "imaging/pngimage.h"
#include "skin/adapters/skCtrlAdapterWin32.h"
#include "skin/adapters/skDialogChildrenWin32.h"
#include "skin/adapters/skMnuWndWin32.h"
#include "skin/controls/skShellFolderWin32.h"
#include "skin/core/pixels/SkinImageListPixels.h"
#include "skin/core/runtime/sSkinRuntimeWin32.h"
#include "skin/core/skinfiles/sShadowTemplates.h"
#include "skin/forms/sFormServicesWin32.h"
#include "skin/forms/sVclUtilsWin32.h"
#include "skin/forms/skGlowWin32.h"
#include "web/inetwebform.h"

TKestravaStartup::TKestravaStartup() {
  // Before the first bitmap: every bitmap of the program gets its DIB section.
  InstallWin32Graphics();
  // Pictures the skins bring open by their extensions; the PNG object registers the skin
  // engine's reader first and takes the extension over from it.
  RegisterPNGObject();
  RegisterJPEGImage();
  // Image lists scale and compose their glyphs with the skin engine's routines.
  RegisterSkinImageListPixels();
  // The skin command's name, the system's scroll-bar width, and when threaded timers stop.
  InitSkinRuntime();
  // The default window shadow of extended borders, before any skin manager exists.
  ReadShadowTemplates();
  // The skin engine reaches the forms (glows, layered windows, form pictures) through the
  // form skinning's services.
  InstallFormServices();
  // Skinned forms give their foreign controls (the editor among them) window adapters.
  InstallControlAdapters();
  // Standard dialogs and message boxes give their child windows window adapters.
  InstallDialogChildAdapters();
  // Popup menu windows take the skin's frame while a skinned menu shows.
  InstallMenuAdapters();
  // OLE on the main thread, for the folder picker's view of the shell.
  InitShellControls();
  // The network engine is mapped before any window exists; when it cannot be, the windows
  // still come up and the version check reports it.
  BindWebFormEngine();
}

TKestravaStartup::~TKestravaStartup() {
  // Glows still shown and the shadow templates go with the skin engine.
  FreeAllGlows();
  RemoveFormServices();
  DoneShellControls();
  SetControlAdapterFactory(nullptr);
  RemoveDialogChildAdapters();
  RemoveMenuAdapters();
  FreeShadowTemplates();
  UnregisterSkinImageListPixels();
  // After the forms, so no component is left calling into the unmapped engine.
  UnbindWebFormEngine();
}
