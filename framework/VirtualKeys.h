// Virtual key codes for portable code. The names differ from <windows.h>'s VK_ macros so
// both can be used in one unit.
#pragma once

#include <cstdint>

constexpr uint16_t vkLButton = 0x01;
constexpr uint16_t vkRButton = 0x02;
constexpr uint16_t vkCancel = 0x03;
constexpr uint16_t vkMButton = 0x04;
constexpr uint16_t vkBack = 0x08;
constexpr uint16_t vkTab = 0x09;
constexpr uint16_t vkClear = 0x0C;
constexpr uint16_t vkReturn = 0x0D;
constexpr uint16_t vkShift = 0x10;
constexpr uint16_t vkControl = 0x11;
constexpr uint16_t vkMenu = 0x12;
constexpr uint16_t vkPause = 0x13;
constexpr uint16_t vkCapital = 0x14;
constexpr uint16_t vkEscape = 0x1B;
constexpr uint16_t vkSpace = 0x20;
constexpr uint16_t vkPrior = 0x21;
constexpr uint16_t vkNext = 0x22;
constexpr uint16_t vkEnd = 0x23;
constexpr uint16_t vkHome = 0x24;
constexpr uint16_t vkLeft = 0x25;
constexpr uint16_t vkUp = 0x26;
constexpr uint16_t vkRight = 0x27;
constexpr uint16_t vkDown = 0x28;
constexpr uint16_t vkSelect = 0x29;
constexpr uint16_t vkPrint = 0x2A;
constexpr uint16_t vkExecute = 0x2B;
constexpr uint16_t vkSnapshot = 0x2C;
constexpr uint16_t vkInsert = 0x2D;
constexpr uint16_t vkDelete = 0x2E;
constexpr uint16_t vkHelp = 0x2F;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr uint16_t vk0 = 0x30;
constexpr uint16_t vk9 = 0x39;
constexpr uint16_t vkA = 0x41;
constexpr uint16_t vkZ = 0x5A;
constexpr uint16_t vkLWin = 0x5B;
constexpr uint16_t vkRWin = 0x5C;
constexpr uint16_t vkApps = 0x5D;
constexpr uint16_t vkNumpad0 = 0x60;
constexpr uint16_t vkNumpad9 = 0x69;
constexpr uint16_t vkMultiply = 0x6A;
constexpr uint16_t vkAdd = 0x6B;
constexpr uint16_t vkSeparator = 0x6C;
constexpr uint16_t vkSubtract = 0x6D;
constexpr uint16_t vkDecimal = 0x6E;
constexpr uint16_t vkDivide = 0x6F;
constexpr uint16_t vkF1 = 0x70;
constexpr uint16_t vkF2 = 0x71;
constexpr uint16_t vkF3 = 0x72;
constexpr uint16_t vkF4 = 0x73;
constexpr uint16_t vkF5 = 0x74;
constexpr uint16_t vkF6 = 0x75;
constexpr uint16_t vkF7 = 0x76;
constexpr uint16_t vkF8 = 0x77;
constexpr uint16_t vkF9 = 0x78;
constexpr uint16_t vkF10 = 0x79;
constexpr uint16_t vkF11 = 0x7A;
constexpr uint16_t vkF12 = 0x7B;
constexpr uint16_t vkF24 = 0x87;
constexpr uint16_t vkNumLock = 0x90;
constexpr uint16_t vkScroll = 0x91;
