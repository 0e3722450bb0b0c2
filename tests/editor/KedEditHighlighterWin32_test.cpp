// The highlighters' colours in the registry and the import from an editor's colour settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "editor/KedEditHighlighter.h"
#include "editor/KedHighlighterGeneral.h"
#include "editor/KedHighlighterSQL.h"
#include "framework/RegistryWin32.h"

namespace {

class HighlighterRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str()); }
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str()); }

  // Writes `name` = `value` (an integer or a string) under root_ + "\" + key.
  void Put(const std::string& key, const std::string& name, int value) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(root_ + "\\" + key, true));
    registry.WriteInteger(name, value);
  }
  void Put(const std::string& key, const std::string& name, const std::string& value) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(root_ + "\\" + key, true));
    registry.WriteString(name, value);
  }

  const std::string root_ =
      "Software\\Kestrava tests\\highlighter " + std::to_string(::GetCurrentProcessId());
};

struct TAttributeValues {
  TColor background;
  TColor foreground;
  TFontStyles style;
  bool operator==(const TAttributeValues&) const = default;
};

TAttributeValues ValuesOf(const TKedHighlighterAttributes* attribute) {
  return {attribute->Background(), attribute->Foreground(), attribute->Style()};
}

}  // namespace

TEST_F(HighlighterRegistryTest, EveryAttributeAndTheKeywordListSurviveARoundTrip) {
  TKedGeneralHl saved(nullptr);
  // Distinct values per attribute, every style bit and a system colour among them.
  for (int i = 0; i < saved.AttributeCount(); ++i) {
    TKedHighlighterAttributes* attribute = saved.AttributeAt(i);
    attribute->SetBackground(MakeColor(static_cast<uint8_t>(10 + i), 20, 30));
    attribute->SetForeground(i == 0 ? clWindowText : MakeColor(40, static_cast<uint8_t>(i), 60));
    attribute->SetStyle(TFontStyles::FromBits(static_cast<uint64_t>(i % 16)));
  }
  TStringList keyWords;
  keyWords.SetText("select\r\nfrom\r\nwhere");
  saved.SetKeyWords(&keyWords);
  ASSERT_TRUE(saved.SaveToRegistry(HKEY_CURRENT_USER, root_));

  TKedGeneralHl loaded(nullptr);
  ASSERT_TRUE(loaded.LoadFromRegistry(HKEY_CURRENT_USER, root_));
  ASSERT_EQ(loaded.AttributeCount(), saved.AttributeCount());
  for (int i = 0; i < saved.AttributeCount(); ++i)
    EXPECT_EQ(ValuesOf(loaded.AttributeAt(i)), ValuesOf(saved.AttributeAt(i)))
        << saved.AttributeAt(i)->Name();
  EXPECT_EQ(loaded.KeyWords()->Text(), saved.KeyWords()->Text());
  EXPECT_TRUE(loaded.MatchesKeyword("Where"));
}

TEST_F(HighlighterRegistryTest, MissingKeysAnswerFalseAndLoadWhatIsThere) {
  TKedSQLHl highlighter(nullptr);
  const TAttributeValues before = ValuesOf(highlighter.KeyAttri());
  EXPECT_FALSE(highlighter.LoadFromRegistry(HKEY_CURRENT_USER, root_));
  EXPECT_EQ(ValuesOf(highlighter.KeyAttri()), before);

  // Only the comment attribute's subkey, with only its style: the rest keeps its values.
  Put(highlighter.CommentAttri()->Name(), "Style", 2);
  const TColor commentForeground = highlighter.CommentAttri()->Foreground();
  EXPECT_FALSE(highlighter.LoadFromRegistry(HKEY_CURRENT_USER, root_));
  EXPECT_EQ(highlighter.CommentAttri()->Style(), TFontStyles{fsItalic});
  EXPECT_EQ(highlighter.CommentAttri()->Foreground(), commentForeground);
  EXPECT_EQ(ValuesOf(highlighter.KeyAttri()), before);
}

TEST_F(HighlighterRegistryTest, AValueOfTheWrongKindRaisesBeforeTheAttributeChanges) {
  TKedSQLHl highlighter(nullptr);
  TKedHighlighterAttributes* attribute = highlighter.KeyAttri();
  const TAttributeValues before = ValuesOf(attribute);
  Put(attribute->Name(), "Background", 0x123456);
  Put(attribute->Name(), "Style", "bold");

  TRegistry registry;
  ASSERT_TRUE(registry.OpenKeyReadOnly(root_));
  EXPECT_THROW(attribute->LoadFromRegistry(registry), ERegistryException);
  EXPECT_EQ(ValuesOf(attribute), before);
  EXPECT_EQ(registry.CurrentPath(), root_);  // back where it was
}

TEST_F(HighlighterRegistryTest, OldEditorSettingsAreImportedFromTheirFields) {
  const struct {
    const char* line;
    bool imported;
    TAttributeValues values;
  } cases[] = {
      {"0,0,BU,0,0,9,15", true, {clWhite, clRed, TFontStyles{fsBold, fsUnderline}}},
      {"x,y,I,1,1", true, {clWindow, clWindowText, TFontStyles{fsItalic}}},
      {"0,0,,0,1,4", true, {clWindow, clNavy, TFontStyles{}}},
      {"0,0,B,0,0,16,1", false, {}},  // no colour 16
      {"0,0,B,0,0,red,1", false, {}},
      {"0,0,B", false, {}},  // no colour number at all
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "Entry " + std::to_string(n++);
    Put("Old", name, std::string(c.line));
    TKedHighlighterAttributes attribute("Key");
    attribute.SetForeground(clGreen);
    const TAttributeValues before = ValuesOf(&attribute);
    EXPECT_EQ(attribute.ImportFromEditorRegistry(HKEY_CURRENT_USER, root_ + "\\Old", name, true),
              c.imported)
        << c.line;
    EXPECT_EQ(ValuesOf(&attribute), c.imported ? c.values : before) << c.line;
  }
  TKedHighlighterAttributes attribute("Key");
  EXPECT_FALSE(
      attribute.ImportFromEditorRegistry(HKEY_CURRENT_USER, root_ + "\\Old", "Missing", true));
}

TEST_F(HighlighterRegistryTest, NewEditorSettingsNeedEveryFlagAndTakeNumbersOrNames) {
  const std::string key = "New\\Reserved word";
  Put(key, "Bold", "True");
  Put(key, "Italic", "false");
  Put(key, "Underline", "0");
  Put(key, "Default Foreground", "FALSE");
  Put(key, "Default Background", "False");
  Put(key, "Foreground Color", 12);
  Put(key, "Background Color New", "clSkyBlue");

  TKedHighlighterAttributes attribute("Key");
  ASSERT_TRUE(attribute.ImportFromEditorRegistry(HKEY_CURRENT_USER, root_ + "\\New",
                                                 "Reserved word", false));
  EXPECT_EQ(ValuesOf(&attribute), (TAttributeValues{clSkyBlue, clBlue, TFontStyles{fsBold}}));

  Put(key, "Default Background", "1");
  Put(key, "Foreground Color", 99);  // outside the table: nothing changes
  EXPECT_FALSE(attribute.ImportFromEditorRegistry(HKEY_CURRENT_USER, root_ + "\\New",
                                                  "Reserved word", false));
  EXPECT_EQ(ValuesOf(&attribute), (TAttributeValues{clSkyBlue, clBlue, TFontStyles{fsBold}}));

  {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(root_ + "\\" + key, false));
    ::RegDeleteValueA(registry.CurrentKey(), "Foreground Color");
    ::RegDeleteValueA(registry.CurrentKey(), "Underline");
  }
  Put(key, "Foreground Color New", "$00008000");
  EXPECT_FALSE(  // a flag is missing
      attribute.ImportFromEditorRegistry(HKEY_CURRENT_USER, root_ + "\\New", "Reserved word",
                                         false));
  Put(key, "Underline", "yes");
  ASSERT_TRUE(attribute.ImportFromEditorRegistry(HKEY_CURRENT_USER, root_ + "\\New",
                                                 "Reserved word", false));
  EXPECT_EQ(ValuesOf(&attribute),
            (TAttributeValues{clWindow, clGreen, TFontStyles{fsBold, fsUnderline}}));
}
