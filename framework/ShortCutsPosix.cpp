// Without a keyboard driver to ask, keys outside the menu table have no name.
#include "framework/ShortCuts.h"

std::string SystemKeyName(uint8_t) { return std::string(); }
