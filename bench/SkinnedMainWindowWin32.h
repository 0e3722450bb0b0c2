// Benchmark helper: the program's real main window, made through its own start-up list and
// skinned with the first skin of a skins folder, the way the program shows it.
#pragma once

#include <cstdio>

#include "app/mainWin32.h"

// Made, skinned and shown; nullptr (with the reason on stderr) when the skin cannot be loaded.
inline TForm1* ShowSkinnedMainWindow(const char* skinsFolder) {
  auto* form = new TForm1(Application);
  form->AfterConstruction();
  form->CheckVersion = nullptr;  // no update server here
  TsSkinManager* manager = form->sSkinManager1;
  manager->SetSkinDirectory(skinsFolder);
  manager->SetActive(true);
  if (!manager->CurrentSkin().Active) {
    std::fprintf(stderr, "the skin could not be loaded from %s\n", skinsFolder);
    return nullptr;
  }
  form->Show();
  return form;
}
