// libFuzzer target for the skin INI read into the tables: the input is the text of an
// "Options.dat" after a [GLOBALINFO] line that names a master image; after a byte 1 it goes on
// with the manager's CommonSections. The skin folder also holds a bitmap that mask values may
// name. Every value syntax (fixed positions, "!", "#", file names, colours, PARENTCLASS
// chains, extra sections) is reached from text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/Streams.h"
#include "imaging/Jpeg.h"
#include "imaging/skPNG.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

std::vector<uint8_t> BmpFile(int width, int height) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  bitmap.Fill(clFuchsia);
  bitmap.SetPixelColor(1, 1, clRed);
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

TMemorySkinFileSystem& Files() {
  static TMemorySkinFileSystem fs = [] {
    TMemorySkinFileSystem f;
    f.AddFile("C:\\App\\Skins\\F\\M.BMP", BmpFile(64, 48));
    f.AddFile("C:\\App\\Skins\\F\\A.BMP", BmpFile(12, 6));
    return f;
  }();
  return fs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemorySkinFileSystem& fs = Files();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\x01');
  fs.AddFile("C:\\App\\Skins\\F\\Options.dat",
             "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n" + input.substr(0, split));
  TsSkinManager manager(nullptr);
  if (split != std::string::npos) {
    TStringList common;
    common.SetText(input.substr(split + 1));
    manager.SetCommonSections(common);
  }
  manager.SetFileSystem(&fs);
  manager.SetAppFolder("C:\\App\\");
  manager.SetSkinDirectory("Skins");
  manager.SetHueOffset(size % 2 ? 0 : 40);
  manager.SetSkinName("F");  // failures are caught by the manager and kept as its message
  // Lookups and widths over whatever was read.
  for (int i = 0; i < static_cast<int>(manager.Sections().size()); ++i) {
    const std::string& name = manager.Sections()[static_cast<size_t>(i)].ClassName;
    int m = manager.GetMaskIndex(i, name, "BORDERSMASK");
    manager.MaskWidthLeft(m);
    manager.MaskWidthBottom(m);
    manager.GetTextureIndex(i, name, "PATTERN");
  }
  for (size_t i = 0; i < manager.Masks().size(); ++i) {
    MaskStateWidth(manager.Masks()[i]);
    MaskStateHeight(manager.Masks()[i]);
  }
  return 0;
}
