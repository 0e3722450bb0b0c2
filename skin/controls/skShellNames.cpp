#include "skin/controls/skShellNames.h"

#include <array>

namespace {

struct TRootEntry {
  TskRootFolder Folder;
  const char* Name;
  int Csidl;
};

constexpr std::array<TRootEntry, 23> kRoots{{
    {TskRootFolder::rfDesktop, "rfDesktop", 0x00},
    {TskRootFolder::rfMyComputer, "rfMyComputer", 0x11},
    {TskRootFolder::rfNetwork, "rfNetwork", 0x12},
    {TskRootFolder::rfRecycleBin, "rfRecycleBin", 0x0A},
    {TskRootFolder::rfAppData, "rfAppData", 0x1A},
    {TskRootFolder::rfCommonDesktopDirectory, "rfCommonDesktopDirectory", 0x19},
    {TskRootFolder::rfCommonPrograms, "rfCommonPrograms", 0x17},
    {TskRootFolder::rfCommonStartMenu, "rfCommonStartMenu", 0x16},
    {TskRootFolder::rfCommonStartup, "rfCommonStartup", 0x18},
    {TskRootFolder::rfControlPanel, "rfControlPanel", 0x03},
    {TskRootFolder::rfDesktopDirectory, "rfDesktopDirectory", 0x10},
    {TskRootFolder::rfFavorites, "rfFavorites", 0x06},
    {TskRootFolder::rfFonts, "rfFonts", 0x14},
    {TskRootFolder::rfInternet, "rfInternet", 0x01},
    {TskRootFolder::rfPersonal, "rfPersonal", 0x05},
    {TskRootFolder::rfPrinters, "rfPrinters", 0x04},
    {TskRootFolder::rfPrintHood, "rfPrintHood", 0x1B},
    {TskRootFolder::rfPrograms, "rfPrograms", 0x02},
    {TskRootFolder::rfRecent, "rfRecent", 0x08},
    {TskRootFolder::rfSendTo, "rfSendTo", 0x09},
    {TskRootFolder::rfStartMenu, "rfStartMenu", 0x0B},
    {TskRootFolder::rfStartup, "rfStartup", 0x07},
    {TskRootFolder::rfTemplates, "rfTemplates", 0x15},
}};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

size_t LastSeparator(std::string_view path) { return path.find_last_of("\\:"); }

}  // namespace

const char* RootFolderName(TskRootFolder folder) {
  return kRoots[static_cast<size_t>(folder)].Name;
}

int RootFolderCsidl(TskRootFolder folder) { return kRoots[static_cast<size_t>(folder)].Csidl; }

std::optional<TskRootFolder> RootFolderValue(std::string_view name) {
  for (const TRootEntry& entry : kRoots)
    if (SameRootText(name, entry.Name)) return entry.Folder;
  return std::nullopt;
}

uint32_t ObjectTypesToEnumFlags(TskShellObjectTypes types) {
  return static_cast<uint32_t>(types & 7) << 5;
}

bool SameRootText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::string ShellItemExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  size_t separator = LastSeparator(name);
  if (separator != std::string_view::npos && separator > dot) return {};
  return std::string(name.substr(dot));
}

std::string CleanShownName(std::string name) {
  if (name.size() >= 2 && name[0] == '?' && name[1] >= '0' && name[1] <= '9') {
    std::string cleaned;
    for (char c : name)
      if (c != '?') cleaned += c;
    return cleaned;
  }
  return name;
}

std::string ApplyShowExtension(std::string shown, const std::optional<std::string>& realExtension,
                               TskShowExtension mode) {
  if (mode == TskShowExtension::seSystem || !realExtension) return shown;
  std::string shownExtension = ShellItemExtension(shown);
  if (mode == TskShowExtension::seShow) {
    if (shownExtension != *realExtension) shown += *realExtension;
  } else if (!shownExtension.empty()) {
    shown.resize(shown.size() - shownExtension.size());
  }
  return shown;
}

std::string FolderPartOfPath(std::string_view path) {
  size_t separator = LastSeparator(path);
  if (separator == std::string_view::npos) return {};
  return std::string(path.substr(0, separator + 1));
}

std::string LastPathComponent(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  size_t separator = path.rfind('\\');
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string NextNewFolderName(const std::string& folder,
                              const std::function<bool(const std::string&)>& exists, int64_t last) {
  for (int64_t n = 1; n <= last; ++n) {
    std::string candidate = folder + "New folder" + std::to_string(n);
    if (!exists(candidate)) return candidate;
  }
  return {};
}

std::string TextAfterDrop(const std::string& text, const std::string& dropped, bool droppedIsFile,
                          bool multipleDirs) {
  std::string folder = droppedIsFile ? FolderPartOfPath(dropped) : dropped;
  if (!text.empty() && multipleDirs) return text + ";" + folder;
  return folder;
}
