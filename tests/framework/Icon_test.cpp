#include "framework/Icon.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/framework/IconTestFiles.h"

namespace {

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


}  // namespace
