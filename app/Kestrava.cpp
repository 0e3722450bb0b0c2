// Program entry of Kestrava.exe.
#include <windows.h>

#include "app/KestravaStartup.h"
#include "app/about.h"
#include "app/main.h"
#include "framework/Forms.h"

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
