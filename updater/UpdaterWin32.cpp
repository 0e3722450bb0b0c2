// Program entry of Updater.exe.
#include <windows.h>

#include "framework/FormsWin32.h"
#include "updater/UpdaterStartup.h"
#include "updater/mainWin32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const TUpdaterStartup startup;
  try {
    Application->Initialize();
    Application->CreateForm(FormMain);
    Application->Run();
  } catch (...) {
    Application->HandleException(nullptr);
  }
  Application->DestroyForms();
  return 0;
}
