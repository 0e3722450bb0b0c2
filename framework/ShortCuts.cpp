#include "framework/ShortCuts.h"

#include "framework/SysUtils.h"

namespace {

// Names of the keys a menu shows; letters, digits and function keys are made on the fly.
std::string KeyName(uint8_t key) {
  switch (key) {
    case 0x08:
      return "BkSp";
    case 0x09:
      return "Tab";
    case 0x0D:
      return "Enter";
    case 0x1B:
      return "Esc";
    case 0x20:
      return "Space";
    case 0x21:
      return "PgUp";
    case 0x22:
      return "PgDn";
    case 0x23:
      return "End";
    case 0x24:
      return "Home";
    case 0x25:
      return "Left";
    case 0x26:
      return "Up";
    case 0x27:
      return "Right";
    case 0x28:
      return "Down";
    case 0x2D:
      return "Ins";
    case 0x2E:
      return "Del";
    default:
      break;
  }
  if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
  if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
  if (key >= 0x60 && key <= 0x69)
    return std::string(1, static_cast<char>('0' + key - 0x60));  // numeric pad
  if (key >= 0x70 && key <= 0x87) return std::string(1, 'F').append(IntToStr(key - 0x6F));
  return SystemKeyName(key);
}

// Strips one "Shift+", "Ctrl+" or "Alt+" (case ignored) from the front of `text`.
bool TakeModifier(std::string& text, const char* name, TShortCut bit, TShortCut& mods) {
  std::string n = name;
  if (text.size() > n.size() && SameText(text.substr(0, n.size()), n)) {
    text.erase(0, n.size());
    mods |= bit;
    return true;
  }
  return false;
}

}  // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
  if ((key & 0xFF00) != 0) return scNone;
  TShortCut result = key;
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = TShiftState{};
  if (shortCut & scShift) shift += ssShift;
  if (shortCut & scCtrl) shift += ssCtrl;
  if (shortCut & scAlt) shift += ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(static_cast<uint8_t>(shortCut & 0xFF));
  if (name.empty()) return std::string();
  std::string result;
  if (shortCut & scShift) result += "Shift+";
  if (shortCut & scCtrl) result += "Ctrl+";
  if (shortCut & scAlt) result += "Alt+";
  return result + name;
}

TShortCut TextToShortCut(const std::string& text) {
  std::string rest = Trim(text);
  TShortCut mods = 0;
  while (TakeModifier(rest, "Shift+", scShift, mods) || TakeModifier(rest, "Ctrl+", scCtrl, mods) ||
         TakeModifier(rest, "Alt+", scAlt, mods)) {
  }
  if (rest.empty()) return scNone;
  // The first key whose name matches: main-row digits win over the numeric pad.
  for (int key = 0x08; key <= 0xFF; ++key) {
    std::string name = KeyName(static_cast<uint8_t>(key));
    if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | mods);
  }
  return scNone;
}
