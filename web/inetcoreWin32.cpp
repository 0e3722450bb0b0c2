// The components' banner in a message box.
#include "web/inetcore.h"

#include <windows.h>

void TinetCore::ShowAboutBox() {
  ::MessageBoxA(nullptr, "Kestrava network components", "About", MB_OK | MB_ICONINFORMATION);
}
