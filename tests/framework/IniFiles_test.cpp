#include "framework/IniFiles.h"

#include <gtest/gtest.h>

#include "framework/Streams.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"

namespace {

class IniFileTest : public testing::Test {
 protected:
  void SetUp() override {
    name_ = IncludeTrailingPathDelimiter(testing::TempDir()) + "kfw_ini_" +
            testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    DeleteFile(name_);
  }
  void TearDown() override { DeleteFile(name_); }

  void WriteText(const std::string& text) {
    TFileStream s(name_, fmCreate);
    s.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  }
  std::string ReadText() {
    TMemoryStream m;
    m.LoadFromFile(name_);
    return std::string(reinterpret_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
  }

  std::string name_;
};

}  // namespace

TEST_F(IniFileTest, MissingFileAndSectionAreCreatedOnWrite) {
  TIniFile ini(name_);
  EXPECT_EQ(ini.ReadString("Main", "Language", "de"), "de");
  EXPECT_FALSE(FileExists(name_));  // reading creates nothing
  ini.WriteString("Main", "Language", "en");
  EXPECT_EQ(ReadText(), "[Main]\r\nLanguage=en\r\n");
  ini.WriteString("Other", "Key", "1");
  EXPECT_EQ(ReadText(), "[Main]\r\nLanguage=en\r\n\r\n[Other]\r\nKey=1\r\n");
  TIniFile second(name_);  // a second object sees the change at once
  EXPECT_EQ(second.ReadString("main", "LANGUAGE", ""), "en");
}

TEST_F(IniFileTest, LookupIgnoresCaseAndBlanksAndStripsQuotes) {
  WriteText(
      "[ main ]\r\n  Language =  de  \r\nQuoted=\"  spaced  \"\r\nSingle='x'\r\nHalf=\"x\r\n");
  TIniFile ini(name_);
  EXPECT_EQ(ini.ReadString("MAIN", "language", ""), "de");
  EXPECT_EQ(ini.ReadString("Main", "Quoted", ""), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Main", "Single", ""), "x");
  EXPECT_EQ(ini.ReadString("Main", "Half", ""), "\"x");
  EXPECT_TRUE(ini.SectionExists("main"));
  EXPECT_TRUE(ini.ValueExists("MAIN", "LANGUAGE"));
  EXPECT_FALSE(ini.ValueExists("Main", "Missing"));
}

TEST_F(IniFileTest, WritingKeepsCommentsOrderAndOtherSections) {
  WriteText("; settings\n[Main]\nLanguage=de\n; keep me\nOther=1\n\n[Second]\nA=1\n");
  TIniFile ini(name_);
  ini.WriteString("main", "language", "en");  // replaced in place, spelling kept
  ini.WriteString("Main", "NewKey", "x");     // appended at the end of its section
  ini.WriteInteger("Second", "B", 2);
  EXPECT_EQ(ReadText(),
            "; settings\r\n[Main]\r\nLanguage=en\r\n; keep me\r\nOther=1\r\nNewKey=x\r\n\r\n"
            "[Second]\r\nA=1\r\nB=2\r\n");
}

TEST_F(IniFileTest, TypedValuesSectionsAndDeletion) {
  TIniFile ini(name_);
  ini.WriteInteger("S", "Int", -42);
  ini.WriteBool("S", "Flag", true);
  ini.WriteString("S", "Hex", "0x1F");
  ini.WriteString("S", "Bad", "12abc");
  ini.WriteString("T", "X", "1");
  EXPECT_EQ(ini.ReadInteger("S", "Int", 0), -42);
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "Bad", 7), 7);
  EXPECT_TRUE(ini.ReadBool("S", "Flag", false));
  EXPECT_TRUE(ini.ReadBool("S", "Int", false));  // any non-zero number
  EXPECT_FALSE(ini.ReadBool("S", "Missing", false));
  EXPECT_EQ(ini.ReadString("S", "Flag", ""), "1");

  TStringList list;
  ini.ReadSection("s", &list);
  EXPECT_EQ(list.CommaText(), "Int,Flag,Hex,Bad");
  ini.ReadSections(&list);
  EXPECT_EQ(list.CommaText(), "S,T");
  ini.ReadSectionValues("S", &list);
  EXPECT_EQ(list.Values("Hex"), "0x1F");

  ini.DeleteKey("S", "hex");
  EXPECT_FALSE(ini.ValueExists("S", "Hex"));
  ini.EraseSection("s");
  EXPECT_FALSE(ini.SectionExists("S"));
  EXPECT_EQ(ini.ReadString("T", "X", ""), "1");
}

TEST_F(IniFileTest, UnwritableFileRaisesIniFileException) {
  const std::string folder =
      IncludeTrailingPathDelimiter(testing::TempDir()) + "kfw_ini_missing_folder";
  TIniFile ini(folder + PathDelim + "config.dat");
  try {
    ini.WriteString("Main", "Language", "de");
    ADD_FAILURE();
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + folder + PathDelim + "config.dat");
  }
}
