#include "skin/core/skinfiles/SkinIni.h"

#include <gtest/gtest.h>

#include "framework/SysUtils.h"

namespace {

TEST(SkinIniTest, KeepsFileOrderAndComparesNamesExactly) {
  const TSkinIni ini(
      "; a comment\r\n[B]\r\n  KEY = a = b  \r\nkey=lower\r\n\r\n[A]\nX=1\r[b]\nY=2\n[B]\nZ=3");
  ASSERT_EQ(ini.Sections().size(), 3u);
  EXPECT_EQ(ini.Sections()[0].Name, "B");
  EXPECT_EQ(ini.Sections()[1].Name, "A");
  EXPECT_EQ(ini.Sections()[2].Name, "b");
  EXPECT_EQ(ini.ReadString("B", "KEY", "?"), "a = b");  // after the first "=", trimmed
  EXPECT_EQ(ini.ReadString("B", "key", "?"), "lower");
  EXPECT_EQ(ini.ReadString("b", "KEY", "?"), "?");
  EXPECT_EQ(ini.ReadString("B", "Z", "?"), "3");  // a section named twice collects its keys
  EXPECT_EQ(ini.ReadString("A", "X", "?"), "1");
  EXPECT_EQ(ini.ReadString("C", "X", "none"), "none");
}

TEST(SkinIniTest, IntegerSyntaxes) {
  const struct {
    const char* text;
    bool valid;
    int value;
  } cases[] = {{"12", true, 12},
               {"  -7", true, -7},
               {"+5", true, 5},
               {"$FF", true, 255},
               {"0x1F", true, 31},
               {"0X1f", true, 31},
               {"x10", true, 16},
               {"$FF00000F", true, static_cast<int>(0xFF00000F)},
               {"-$10", true, -16},
               {"2147483647", true, 2147483647},
               {"-2147483648", true, INT32_MIN},
               {"2147483648", false, 0},
               {"0x", false, 0},
               {"$", false, 0},
               {"", false, 0},
               {"1 2", false, 0},
               {"12a", false, 0},
               {"$100000000", false, 0},
               {"abc", false, 0}};
  for (const auto& c : cases) {
    int value = 0;
    EXPECT_EQ(TryParseSkinInteger(c.text, value), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  EXPECT_THROW(ParseSkinInteger("0010a"), EConvertError);
  const TSkinIni ini("[S]\nA=$10\nB=zz");
  EXPECT_EQ(ini.ReadInteger("S", "A", -1), 16);
  EXPECT_EQ(ini.ReadInteger("S", "B", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "C", 9), 9);
}

}  // namespace
