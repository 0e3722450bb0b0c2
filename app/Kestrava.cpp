// Program entry of Kestrava.exe.
#include <windows.h>

#include "app/about.h"
#include "app/main.h"
#include "framework/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The network engine was mapped at start-up, before any window exists (web/inetwebform);
  // when it could not be, the windows still come up and the version check reports it.
  try {
    Application->Initialize();
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->Run();
  } catch (...) {
    Application->HandleException(nullptr);
  }
  Application->DestroyForms();
  return 0;
}
