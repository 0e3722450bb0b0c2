// Program entry of Kestrava.exe.
#include <windows.h>

#include "app/about.h"
#include "app/main.h"
#include "framework/Forms.h"
#include "web/inetwebform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The network engine is mapped before any window exists; when it cannot be, the
  // windows still come up and the version check reports the failure.
  BindWebFormEngine();
  try {
    Application->Initialize();
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->Run();
  } catch (...) {
    Application->HandleException(nullptr);
  }
  Application->DestroyForms();
  UnbindWebFormEngine();
  return 0;
}
