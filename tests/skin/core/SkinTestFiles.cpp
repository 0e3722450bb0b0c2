#include "tests/skin/core/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/Streams.h"

namespace skintest {

std::string SkinsDir() {
  const char* binary = std::getenv("KESTRAVA_BINARY_DIR");
  return std::string(binary ? binary : ".") + "/skins";
}

std::string WineSkinFolders() {
  std::string folder = "Z:" + SkinsDir() + "/folders";
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return folder;
}

std::vector<uint8_t> SkinFile(const std::string& relative) {
  std::ifstream in(std::filesystem::path(SkinsDir()) / relative, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing generated skin file " << relative;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void AddSkinFolder(TMemorySkinFileSystem& fs, const std::string& generatedName,
                   const std::string& folder) {
  const auto dir = std::filesystem::path(SkinsDir()) / "folders" / generatedName;
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    fs.AddFile(folder + "\\" + entry.path().filename().string(),
               SkinFile("folders/" + generatedName + "/" + entry.path().filename().string()));
}

std::vector<uint8_t> BmpFile(int width, int height, TColor fill,
                             const std::vector<TColorRect>& rects) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  bitmap.Fill(fill);
  for (const TColorRect& r : rects)
    for (int y = r.Rect.Top; y < r.Rect.Bottom; ++y)
      for (int x = r.Rect.Left; x < r.Rect.Right; ++x) bitmap.SetPixelColor(x, y, r.Color);
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

TManagerFixture::TManagerFixture() : Manager(std::make_unique<TsSkinManager>(nullptr)) {
  Manager->SetFileSystem(&Fs);
  Manager->SetAppFolder("C:\\App\\");
  Manager->SetSkinDirectory("Skins");
}

TManagerFixture::~TManagerFixture() = default;

void TManagerFixture::AddFolderSkin(
    const std::string& name, const std::string& ini,
    const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files) {
  const std::string folder = "C:\\App\\Skins\\" + name + "\\";
  Fs.AddFile(folder + "Options.dat", ini);
  for (const auto& [file, bytes] : files) Fs.AddFile(folder + file, bytes);
}

uint32_t Pixel32(TBitmap& bitmap, int x, int y) {
  uint32_t value;
  std::memcpy(&value, bitmap.ScanLine(y) + 4 * x, 4);
  return value;
}

}  // namespace skintest
