// The components' banner in a message box.
#include <windows.h>

#include "web/inetcore.h"

void TinetCore::ShowOwnAboutBox() {
  ::MessageBoxA(nullptr, "Kestrava network components", "About", MB_OK | MB_ICONINFORMATION);
}
