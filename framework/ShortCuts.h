// Keyboard shortcuts: a virtual key in the low byte plus modifier bits, and their texts
// ("Ctrl+O", "Shift+Ctrl+F5", "Del").
#pragma once

#include <cstdint>
#include <string>

#include "framework/Types.h"

using TShortCut = uint16_t;

constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift);
// Modifiers in the order "Shift+", "Ctrl+", "Alt+", then the key's name; "" for a key
// without a name. Keys beyond letters, digits, F1-F24 and the named editing keys take
// the keyboard driver's name on Windows and have none elsewhere.
std::string ShortCutToText(TShortCut shortCut);
// The inverse, case ignored and modifiers in any order; 0 when the text names no key.
TShortCut TextToShortCut(const std::string& text);

// The keyboard driver's name of a key outside the menu table (punctuation, numeric-pad
// operators...); empty where the system names none. In the system half of the framework.
std::string SystemKeyName(uint8_t key);
