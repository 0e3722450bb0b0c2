// Key names from the keyboard driver.
#include "framework/ShortCuts.h"

#include <windows.h>

std::string SystemKeyName(uint8_t key) {
  UINT scan = ::MapVirtualKeyA(key, 0);  // MAPVK_VK_TO_VSC
  char buf[64];
  if (scan != 0 && ::GetKeyNameTextA(static_cast<LONG>(scan << 16), buf, sizeof buf) > 0)
    return buf;
  return std::string();
}
