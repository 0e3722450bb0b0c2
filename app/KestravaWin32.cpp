// Program entry of Kestrava.exe.
#include <windows.h>

#include "app/KestravaStartup.h"
#include "app/aboutWin32.h"
#include "app/mainWin32.h"
#include "framework/FormsWin32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const TKestravaStartup startup;
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
