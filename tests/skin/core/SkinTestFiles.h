// Files for the skin tests: the skins tools/skingen.py drew into the build tree, small
// bitmaps made in code, and a skin manager that reads from memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphics.h"
#include "skin/core/skinfiles/SkinFileSystem.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace skintest {

// <tree>/skins, where the build put the generated skins.
std::string SkinsDir();
// The generated skin folders as a Windows program under Wine names them: through Wine's drive
// for the root of the file system, with backslashes.
std::string WineSkinFolders();
// A generated file, e.g. "packed/Test.asz"; the test fails when it is missing.
std::vector<uint8_t> SkinFile(const std::string& relative);
// Every file of a generated skin folder, added to fs under `folder`.
void AddSkinFolder(TMemorySkinFileSystem& fs, const std::string& generatedName,
                   const std::string& folder);

// A 24-bit BMP file of solid colour with optional rectangles of other colours.
struct TColorRect {
  TRect Rect;
  TColor Color;
};
std::vector<uint8_t> BmpFile(int width, int height, TColor fill,
                             const std::vector<TColorRect>& rects = {});

// A manager that reads from its own memory file system, for a program in C:\App\.
struct TManagerFixture {
  TMemorySkinFileSystem Fs;
  std::unique_ptr<TsSkinManager> Manager;
  TManagerFixture();
  ~TManagerFixture();
  // Puts a skin folder (Options.dat text plus files) under C:\App\Skins\<name>\.
  void AddFolderSkin(const std::string& name, const std::string& ini,
                     const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files = {});
};

// The pixel (x, y) of a 32-bit bitmap as 0xAARRGGBB.
uint32_t Pixel32(TBitmap& bitmap, int x, int y);

}  // namespace skintest
