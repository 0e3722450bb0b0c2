#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>

TEST(Exception, CarriesItsMessage) {
  try {
    throw Exception("Fehler beim Öffnen");
  } catch (const Exception& e) {
    // Literals are compiled to Windows-1252: "Ö" is the single byte 0xD6.
    EXPECT_EQ(e.Message(), std::string("Fehler beim \xD6"
                                       "ffnen"));
  }
}

TEST(Exception, FrameworkClassesAreCaughtAsTheirBases) {
  EXPECT_THROW(throw EReadError("x"), EStreamError);
  EXPECT_THROW(throw EFOpenError("x"), EStreamError);
  EXPECT_THROW(throw EStringListError("x"), EListError);
  EXPECT_THROW(throw EIntOverflow("x"), Exception);
  EXPECT_THROW(Abort(), EAbort);
}

TEST(StrToInt, AcceptsDecimalAndHexadecimalForms) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"-17", -17},
      {"+5", 5},
      {"  12", 12},
      {"$FF", 255},
      {"0x1a", 26},
      {"-$10", -16},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"$FFFFFFFF", -1},
      {"007", 7},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsWithTheConversionMessage) {
  const char* bad[] = {"",  " ",  "12a", "1 2",        "12 ", "2147483648", "-2147483649",
                       "$", "0x", "--1", "$1FFFFFFFF", "1.5"};
  for (const char* text : bad) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(StrToIntDef("abc", -1), -1);
  EXPECT_EQ(StrToIntDef("99", -1), 99);
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(IntToHex, PadsToTheRequestedDigits) {
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0, 1), "0");
  EXPECT_EQ(IntToHex(0x12345, 2), "12345");
  EXPECT_EQ(IntToStr(-9000000000LL), "-9000000000");
}

TEST(Format, FormatsEachKindOfArgument) {
  struct Case {
    std::string expected;
    std::string actual;
  } cases[] = {
      {"a 5 b", Format("a %d b", 5)},
      {"-0012", Format("%.4d", -12)},
      {"   42|", Format("%5d|", 42)},
      {"42   |", Format("%-5d|", 42)},
      {"FF", Format("%x", 255)},
      {"00ff", LowerCase(Format("%.4x", 255))},
      {"FFFFFFFF", Format("%x", -1)},
      {"4294967295", Format("%u", -1)},
      {"x=abc", Format("x=%s", std::string("abc"))},
      {"ab", Format("%.2s", "abcdef")},
      {"    hi", Format("%*s", 6, "hi")},
      {"3.14", Format("%.2f", 3.14159)},
      {"2.50", Format("%f", 2.5)},
      {"1,234,567.50", Format("%n", 1234567.5)},
      {"1.23E+003", Format("%.3e", 1234.5)},
      {"100%", Format("%d%%", 100)},
      {"b a", Format("%1:s %0:s", "a", "b")},
      {"10 of 20 lines", Format("%d of %d lines", 10, 20)},
      {"key=x", Format("key=%s", 'x')},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Format, RaisesOnMissingOrMismatchedArguments) {
  EXPECT_THROW(Format("%d"), EConvertError);
  EXPECT_THROW(Format("%d", "text"), EConvertError);
  EXPECT_THROW(Format("%s", 5), EConvertError);
  EXPECT_THROW(Format("%f", 5), EConvertError);
  EXPECT_THROW(Format("%q", 5), EConvertError);
  try {
    Format("%d", "x");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
  }
}

TEST(MulDiv, RoundsHalfAwayFromZeroAsWindowsDoes) {
  struct Case {
    int a, b, c, expected;
  } cases[] = {
      {1, 1, 2, 1},        {3, 1, 2, 2},
      {-1, 1, 2, -1},      {-3, 1, 2, -2},
      {1, -1, 2, -1},      {1, 1, -2, -1},
      {-1, -1, 2, 1},      {2, 1, 3, 1},
      {1, 1, 3, 0},        {10, 96, 72, 13},
      {100, 120, 96, 125}, {5, 0, 3, 0},
      {7, 3, 0, -1},       {INT_MAX, 2, 2, INT_MAX},
      {INT_MAX, 4, 2, -1}, {0x10000, 0x10000, 0x10000, 0x10000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Text, TrimsBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Text, CaseFunctionsKnowWindows1252Letters) {
  EXPECT_EQ(UpperCase("abc äöü"), "ABC \xE4\xF6\xFC");  // ASCII only
  EXPECT_EQ(AnsiUpperCase("abc äöü ß"), "ABC \xC4\xD6\xDC \xDF");
  EXPECT_EQ(AnsiLowerCase("ÄÖÜ Š"), "\xE4\xF6\xFC \x9A");
  EXPECT_EQ(AnsiCompareText("Ärger", "äRGER"), 0);
  EXPECT_NE(CompareText("Ärger", "äRGER"), 0);
  EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
  EXPECT_GT(CompareStr("b", "a"), 0);
  EXPECT_TRUE(SameText("Main", "MAIN"));
}

TEST(Text, StringReplaceHonoursItsFlags) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", 0), "a+b-c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
  EXPECT_EQ(StringReplace("Foo foo FOO", "foo", "x", rfReplaceAll | rfIgnoreCase), "x x x");
  EXPECT_EQ(StringReplace("Foo foo", "foo", "x", rfReplaceAll), "Foo x");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll),
            "aaaaaa");  // no re-scan of the replacement
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
}

TEST(Text, PositionsAreOneBasedAndCopyClamps) {
  EXPECT_EQ(Pos("b", "abc"), 2);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
  EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
  EXPECT_EQ(Copy("abcdef", 7, 1), "");
  EXPECT_EQ(Copy("abcdef", 2, -1), "");
  std::string s = "abcdef";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "adef");
  Delete(s, 10, 1);
  EXPECT_EQ(s, "adef");
  Insert("XY", s, 2);
  EXPECT_EQ(s, "aXYdef");
}

TEST(FileNames, SplitAtBackslashSlashAndDriveColon) {
  struct Case {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
  } cases[] = {
      {"C:\\Prog\\Kestrava.exe", "C:\\Prog\\", "C:\\Prog", "Kestrava.exe", ".exe"},
      {"/home/u/dump.sql", "/home/u/", "/home/u", "dump.sql", ".sql"},
      {"mixed/dir\\a.b.csv", "mixed/dir\\", "mixed/dir", "a.b.csv", ".csv"},
      {"C:\\", "C:\\", "C:\\", "", ""},
      {"C:file.txt", "C:", "C:", "file.txt", ".txt"},
      {"dir.d\\noext", "dir.d\\", "dir.d", "noext", ""},
      {"plain", "", "", "plain", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("a\\b.sql", ".csv"), "a\\b.csv");
  EXPECT_EQ(ChangeFileExt("a.d\\b", ".csv"), "a.d\\b.csv");
  EXPECT_EQ(ChangeFileExt("b.sql", ""), "b");
  EXPECT_EQ(IncludeTrailingPathDelimiter("x/"), "x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("x\\"), "x\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter("x"), std::string("x") + PathDelim);
  EXPECT_EQ(ExcludeTrailingPathDelimiter("x\\"), "x");
}

TEST(Files, CreateFindAndDeleteFoldersAndFiles) {
  const std::string root = IncludeTrailingPathDelimiter(testing::TempDir()) + "kfw_sysutils_files";
  const std::string deep = root + PathDelim + "a" + PathDelim + "b";
  const std::string file = deep + PathDelim + "f.txt";
  RemoveFile(file);
  RemoveDir(deep);
  RemoveDir(root + PathDelim + "a");
  RemoveDir(root);

  EXPECT_FALSE(DirectoryExists(root));
  EXPECT_FALSE(CreateDir(deep));  // one level only
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // already there is fine
  EXPECT_FALSE(FileExists(deep));       // a folder is no file

  FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("abc", f);
  std::fclose(f);
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_EQ(FileSizeOf(file), 3);
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
  EXPECT_EQ(FileSizeOf(file), -1);

  EXPECT_TRUE(RemoveDir(deep));
  EXPECT_TRUE(RemoveDir(root + PathDelim + "a"));
  EXPECT_TRUE(RemoveDir(root));
}
