// The highlighter attributes' registry storage and the import from an editor's colour
// settings. The program never calls these; they exist for whoever builds on the highlighters.
#include <windows.h>

#include <array>
#include <optional>

#include "editor/KedEditHighlighter.h"
#include "framework/RegistryWin32.h"

namespace {

constexpr int kStyleBold = 1;
constexpr int kStyleItalic = 2;
constexpr int kStyleUnderline = 4;
constexpr int kStyleStrikeOut = 8;

TFontStyles StyleFromBits(int bits) {
  TFontStyles style;
  if (bits & kStyleBold) style += fsBold;
  if (bits & kStyleItalic) style += fsItalic;
  if (bits & kStyleUnderline) style += fsUnderline;
  if (bits & kStyleStrikeOut) style += fsStrikeOut;
  return style;
}

int BitsFromStyle(TFontStyles style) {
  return (style.Contains(fsBold) ? kStyleBold : 0) | (style.Contains(fsItalic) ? kStyleItalic : 0) |
         (style.Contains(fsUnderline) ? kStyleUnderline : 0) |
         (style.Contains(fsStrikeOut) ? kStyleStrikeOut : 0);
}

std::optional<int> ReadIntegerIfPresent(const TRegistry& registry, const char* name) {
  if (!registry.ValueExists(name)) return std::nullopt;
  return registry.ReadInteger(name);
}

// The 16 colours an editor's colour settings number.
constexpr std::array<TColor, 16> kEditorColorTable = {
    clBlack, clMaroon, clGreen, clOlive,  clNavy, clPurple,  clTeal, clSilver,
    clGray,  clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};

TColor EditorTableColor(int index) {
  if (index < 0 || index >= static_cast<int>(kEditorColorTable.size()))
    throw EConvertError("Colour number " + std::to_string(index) + " is not in the table");
  return kEditorColorTable[static_cast<size_t>(index)];
}

// Field `number` (1-based) of a comma-separated line; empty when the line has fewer.
std::string Field(const std::string& line, int number) {
  size_t start = 0;
  for (int i = 1; i < number; ++i) {
    const size_t comma = line.find(',', start);
    if (comma == std::string::npos) return std::string();
    start = comma + 1;
  }
  const size_t end = line.find(',', start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// A flag of the new layout: true unless "FALSE" in any letter case, or "0".
bool FlagIsSet(const std::string& value) { return !SameText(value, "FALSE") && value != "0"; }

TColor NewLayoutColor(const TRegistry& registry, const std::string& numberName,
                      const std::string& colorName) {
  if (registry.ValueExists(numberName)) return EditorTableColor(registry.ReadInteger(numberName));
  return StringToColor(registry.ReadString(colorName));
}

}  // namespace

bool TKedHighlighterAttributes::LoadFromRegistry(TRegistry& registry) {
  const std::string previousPath = registry.CurrentPath();
  if (!registry.OpenKeyReadOnly(Name())) return false;
  std::optional<int> background;
  std::optional<int> foreground;
  std::optional<int> styleBits;
  try {
    background = ReadIntegerIfPresent(registry, "Background");
    foreground = ReadIntegerIfPresent(registry, "Foreground");
    styleBits = ReadIntegerIfPresent(registry, "Style");
  } catch (...) {
    registry.OpenKeyReadOnly("\\" + previousPath);
    throw;
  }
  registry.OpenKeyReadOnly("\\" + previousPath);
  SetColorsAndStyle(background.value_or(Background()), foreground.value_or(Foreground()),
                    styleBits ? StyleFromBits(*styleBits) : Style());
  return true;
}

bool TKedHighlighterAttributes::SaveToRegistry(TRegistry& registry) {
  const std::string previousPath = registry.CurrentPath();
  if (!registry.OpenKey(Name(), true)) return false;
  try {
    registry.WriteInteger("Background", Background());
    registry.WriteInteger("Foreground", Foreground());
    registry.WriteInteger("Style", BitsFromStyle(Style()));
  } catch (...) {
    registry.OpenKey("\\" + previousPath, false);
    throw;
  }
  registry.OpenKey("\\" + previousPath, false);
  return true;
}

bool TKedHighlighterAttributes::ImportFromEditorRegistry(HKEY__* rootKey, const std::string& key,
                                                         const std::string& name, bool oldStyle) {
  // Everything is read and checked before the attribute changes, so a malformed setting
  // leaves it as it was.
  try {
    TRegistry registry;
    registry.SetRootKey(rootKey);
    if (oldStyle) {
      if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(name)) return false;
      const std::string line = registry.ReadString(name);
      TFontStyles style;
      const std::string letters = Field(line, 3);
      if (letters.find('B') != std::string::npos) style += fsBold;
      if (letters.find('I') != std::string::npos) style += fsItalic;
      if (letters.find('U') != std::string::npos) style += fsUnderline;
      const TColor foreground =
          Field(line, 4) == "1" ? clWindowText : EditorTableColor(StrToInt(Field(line, 6)));
      const TColor background =
          Field(line, 5) == "1" ? clWindow : EditorTableColor(StrToInt(Field(line, 7)));
      SetColorsAndStyle(background, foreground, style);
      return true;
    }
    if (!registry.OpenKeyReadOnly(key + "\\" + name)) return false;
    for (const char* flag :
         {"Bold", "Italic", "Underline", "Default Foreground", "Default Background"})
      if (!registry.ValueExists(flag)) return false;
    const TColor foreground =
        FlagIsSet(registry.ReadString("Default Foreground"))
            ? clWindowText
            : NewLayoutColor(registry, "Foreground Color", "Foreground Color New");
    const TColor background =
        FlagIsSet(registry.ReadString("Default Background"))
            ? clWindow
            : NewLayoutColor(registry, "Background Color", "Background Color New");
    TFontStyles style;
    if (FlagIsSet(registry.ReadString("Bold"))) style += fsBold;
    if (FlagIsSet(registry.ReadString("Italic"))) style += fsItalic;
    if (FlagIsSet(registry.ReadString("Underline"))) style += fsUnderline;
    SetColorsAndStyle(background, foreground, style);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

bool TKedCustomHighlighter::LoadFromRegistry(HKEY__* rootKey, const std::string& key) {
  TRegistry registry;
  registry.SetRootKey(rootKey);
  if (!registry.OpenKeyReadOnly(key)) return false;
  bool allLoaded = true;
  for (int i = 0; i < AttributeCount(); ++i)
    allLoaded = AttributeAt(i)->LoadFromRegistry(registry) && allLoaded;
  return allLoaded;
}

bool TKedCustomHighlighter::SaveToRegistry(HKEY__* rootKey, const std::string& key) {
  TRegistry registry;
  registry.SetRootKey(rootKey);
  if (!registry.OpenKey(key, true)) return false;
  bool allSaved = true;
  for (int i = 0; i < AttributeCount(); ++i)
    allSaved = AttributeAt(i)->SaveToRegistry(registry) && allSaved;
  return allSaved;
}
