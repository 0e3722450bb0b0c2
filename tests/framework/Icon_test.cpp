#include "framework/Icon.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include "framework/Canvas.h"
#endif

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// One 32-bit image of an icon file: opaque `color` except the transparent left column.
std::vector<uint8_t> IconImage(int size, uint32_t bgra) {
  std::vector<uint8_t> image;
  Put32(image, 40);
  Put32(image, static_cast<uint32_t>(size));
  Put32(image, static_cast<uint32_t>(size * 2));
  Put16(image, 1);
  Put16(image, 32);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) Put32(image, x == 0 ? 0 : bgra);
  const int maskRow = (size + 31) / 32 * 4;
  for (int y = 0; y < size; ++y)
    for (int b = 0; b < maskRow; ++b) image.push_back(b == 0 ? 0x80 : 0x00);
  return image;
}

// An icon file with one image per size, each in its own colour.
std::vector<uint8_t> IconFile(const std::vector<std::pair<int, uint32_t>>& images) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const auto& [size, color] : images) bodies.push_back(IconImage(size, color));
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    file.push_back(static_cast<uint8_t>(images[i].first));
    file.push_back(static_cast<uint8_t>(images[i].first));
    file.push_back(0);
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, static_cast<uint32_t>(bodies[i].size()));
    Put32(file, offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (const auto& body : bodies) file.insert(file.end(), body.begin(), body.end());
  return file;
}

void LoadIcon(TIcon& icon, const std::vector<uint8_t>& file) {
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  icon.LoadFromStream(stream);
}

std::vector<uint8_t> SaveIcon(TIcon& icon) {
  TMemoryStream stream;
  icon.SaveToStream(stream);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

TEST(IconDirectoryTest, RejectsFilesWhoseDirectoryDoesNotFit) {
  const std::vector<uint8_t> good = IconFile({{16, 0xFF0000FF}});
  auto patched = [&](size_t at, uint32_t value, int bytes) {
    std::vector<uint8_t> f = good;
    for (int i = 0; i < bytes; ++i) f.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
    return f;
  };
  struct {
    const char* Name;
    std::vector<uint8_t> File;
  } const cases[] = {
      {"empty", {}},
      {"shorter than the directory", std::vector<uint8_t>(good.begin(), good.begin() + 5)},
      {"a cursor file", patched(2, 2, 2)},
      {"no images", patched(4, 0, 2)},
      {"more entries than bytes", patched(4, 200, 2)},
      {"image beyond the end", patched(6 + 8, static_cast<uint32_t>(good.size()), 4)},
      {"offset plus size wraps 32 bits", patched(6 + 12, 0xFFFFFFF0u, 4)},
      {"empty image", patched(6 + 8, 0, 4)},
  };
  for (const auto& c : cases) {
    try {
      ReadIconDirectory(c.File);
      ADD_FAILURE() << c.Name << ": accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Icon image is not valid") << c.Name;
    }
  }
}

TEST(IconDirectoryTest, ReadsSizesAndDepths) {
  std::vector<uint8_t> file = IconFile({{16, 0xFF00FF00}, {32, 0xFF0000FF}});
  file[6 + 16] = 0;      // a width byte of 0 means 256
  file[6 + 16 + 6] = 0;  // depth left to the image header
  const std::vector<TIconEntry> entries = ReadIconDirectory(file);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].Width, 16);
  EXPECT_EQ(entries[0].BitCount, 32);
  EXPECT_EQ(entries[1].Width, 256);
  EXPECT_EQ(entries[1].Height, 32);
  EXPECT_EQ(entries[1].BitCount, 32);
}

TEST(IconTest, SavesTheLoadedFileUnchanged) {
  const std::vector<uint8_t> file = IconFile({{16, 0xFF00FF00}, {32, 0xFF0000FF}});
  TIcon icon;
  LoadIcon(icon, file);
  EXPECT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 32) << "the image nearest to the system icon size";
  EXPECT_EQ(SaveIcon(icon), file);

  TIcon copy;
  copy.Assign(&icon);
  EXPECT_EQ(SaveIcon(copy), file);
}

TEST(IconTest, AFailedLoadKeepsThePreviousIcon) {
  TIcon icon;
  LoadIcon(icon, IconFile({{16, 0xFF00FF00}}));
  EXPECT_THROW(LoadIcon(icon, {0, 0, 1, 0}), EInvalidGraphic);
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_THROW(icon.SetWidth(8), EInvalidGraphicOperation);
}

TEST(IconTest, AnEmptyIconSavesNothing) {
  TIcon icon;
  EXPECT_TRUE(icon.Empty());
  EXPECT_TRUE(SaveIcon(icon).empty());
}

#ifdef _WIN32

// Draws the icon onto white and answers the colours of column 0 and column 5 of row 5.
std::pair<TColor, TColor> DrawnColours(TIcon& icon) {
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(icon.Width(), icon.Height());
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(Rect(0, 0, icon.Width(), icon.Height()));
  target.Canvas()->Draw(0, 0, &icon);
  return {target.PixelColor(0, 5), target.PixelColor(5, 5)};
}

TEST(IconTest, HandleShowsTheImageWithItsTransparentParts) {
  TIcon icon;
  LoadIcon(icon, IconFile({{16, 0xFF0000FF}}));  // blue, left column transparent
  ASSERT_NE(icon.Handle(), nullptr);
  const auto [edge, inside] = DrawnColours(icon);
  EXPECT_EQ(edge, clWhite);
  EXPECT_EQ(inside, clBlue);
}

TEST(IconTest, AHandleTakenOverIsSavedAndLoadsBackTheSame) {
  TIcon original;
  LoadIcon(original, IconFile({{16, 0xFF00FF00}}));  // lime
  TIcon taken;
  taken.SetHandle(original.ReleaseHandle());
  EXPECT_TRUE(original.Empty());
  EXPECT_EQ(taken.Width(), 16);
  EXPECT_EQ(taken.Height(), 16);

  const std::vector<uint8_t> saved = SaveIcon(taken);
  ASSERT_FALSE(saved.empty());
  TIcon reloaded;
  LoadIcon(reloaded, saved);
  EXPECT_EQ(reloaded.Width(), 16);
  const auto [edge, inside] = DrawnColours(reloaded);
  EXPECT_EQ(edge, clWhite);
  EXPECT_EQ(inside, clLime);
}

#endif  // _WIN32

}  // namespace
