// The shell controls' names and paths, without the shell: the special-folder names a Root may
// hold, the shown name of an item and its extension, the folder part of a path, the text of a
// tree's root node, the name the folder picker gives a new folder, and what a dropped path
// makes of a folder edit's text.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Special folders a Root may name, in the order their names are listed.
enum class TskRootFolder {
  rfDesktop,
  rfMyComputer,
  rfNetwork,
  rfRecycleBin,
  rfAppData,
  rfCommonDesktopDirectory,
  rfCommonPrograms,
  rfCommonStartMenu,
  rfCommonStartup,
  rfControlPanel,
  rfDesktopDirectory,
  rfFavorites,
  rfFonts,
  rfInternet,
  rfPersonal,
  rfPrinters,
  rfPrintHood,
  rfPrograms,
  rfRecent,
  rfSendTo,
  rfStartMenu,
  rfStartup,
  rfTemplates
};
// The folder's name ("rfMyComputer") and its CSIDL.
const char* RootFolderName(TskRootFolder folder);
int RootFolderCsidl(TskRootFolder folder);
// The special folder a name stands for (compared without case); nothing for a path.
std::optional<TskRootFolder> RootFolderValue(std::string_view name);

// What an enumeration lists; the set becomes SHCONTF flags (folders 0x20, non-folders 0x40,
// hidden 0x80).
enum TskShellObjectType : uint8_t { otFolders = 1, otNonFolders = 2, otHidden = 4 };
using TskShellObjectTypes = uint8_t;
uint32_t ObjectTypesToEnumFlags(TskShellObjectTypes types);

// Two Root texts name the same thing: same length, equal when ASCII letters ignore case.
bool SameRootText(std::string_view a, std::string_view b);

// How an item's shown name treats its extension.
enum class TskShowExtension { seSystem, seShow, seHide };
// The extension of a name: from the last "." after the last "\" or ":", dot included; empty
// when there is none.
std::string ShellItemExtension(std::string_view name);
// A shown name the shell marks with "?" before a digit loses every "?".
std::string CleanShownName(std::string name);
// The shown name under a mode other than seSystem. realExtension is the extension of the file
// the item's parsing name names, or nothing when no such file exists.
std::string ApplyShowExtension(std::string shown, const std::optional<std::string>& realExtension,
                               TskShowExtension mode);

// The path up to and including its last "\" or ":"; empty when it has neither.
std::string FolderPartOfPath(std::string_view path);
// A tree root node's text for a path: its last component once a final "\" is gone ("C:" for
// "C:\").
std::string LastPathComponent(std::string_view path);

// The first "<folder>New folder<n>" (n = 1, 2, ...) for which exists answers false; empty when
// every candidate exists. folder is the selected folder's path, normalized to end in "\".
std::string NextNewFolderName(const std::string& folder,
                              const std::function<bool(const std::string&)>& exists,
                              int64_t last = 2147483646);

// A folder edit's text after a path was dropped on it. droppedIsFile: the dropped path names
// an existing file, so its folder (with the final "\") is taken instead.
std::string TextAfterDrop(const std::string& text, const std::string& dropped, bool droppedIsFile,
                          bool multipleDirs);
