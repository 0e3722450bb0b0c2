// Edit masks: what a mask's text declares, how values and edit texts map onto each other, and
// what typing, deleting and pasting do to an edit text.
#include "framework/Mask.h"

#include <gtest/gtest.h>

namespace {

TEST(EditMask, ReadsItsFieldsAndPlaces) {
  struct TCase {
    const char* Mask;
    const char* Blank;  // the blank text: literals and blank characters
    bool SavesLiterals;
    const char* Inputs;  // 'x' at every input place, '.' at literals
  } const cases[] = {
      {"", "", true, ""},
      {"><", "", true, ""},  // case marks alone: no places, a free edit
      {"(999) 000-0000;0;_", "(___) ___-____", false, ".xxx..xxx.xxxx"},
      {"00/00/0000;1;*", "**/**/****", true, "xx.xx.xxxx"},
      {"LLL", "___", true, "xxx"},
      {"\\L0\\;0;0; ", "L ; ", false, ".x.x"},  // escaped literals, an escaped ';'
      {"!a_c", "_ _", true, "x.x"},             // '!' ignored, '_' a literal space
      {"0\\", "_", true, "x"},                  // a lone trailing escape adds nothing
      {"99;;", "__", true, "xx"},               // an empty blank field keeps '_'
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Mask);
    TEditMask mask(c.Mask);
    EXPECT_EQ(mask.BlankText(), c.Blank);
    EXPECT_EQ(mask.SavesLiterals(), c.SavesLiterals);
    std::string inputs;
    for (int i = 0; i < mask.Length(); ++i) inputs += mask.IsInput(i) ? 'x' : '.';
    EXPECT_EQ(inputs, c.Inputs);
    EXPECT_EQ(mask.Empty(), std::string(c.Blank).empty());
  }
}

TEST(EditMask, AcceptsOnlyWhatEachPlaceTakesAndConvertsCase) {
  struct TCase {
    const char* Mask;
    char Typed;
    char Expected;  // 0: refused
  } const cases[] = {
      {"L", 'q', 'q'},        {"L", '5', 0},          {"L", ' ', 0},
      {"L", '\xE4', '\xE4'},  {"L", '\xD7', 0},  // a-umlaut is a letter, the times sign not
      {"A", '7', '7'},        {"A", '-', 0},          {"C", '-', '-'},
      {"C", '\t', 0},         {"0", '9', '9'},        {"0", 'x', 0},
      {"#", '+', '+'},        {"#", '-', '-'},        {"#", '.', 0},
      {">L", 'q', 'Q'},       {"<L", 'Q', 'q'},       {"><L", 'Q', 'q'},
      {"><>L", 'q', 'q'},     {">L", '\xE9', '\xC9'}, {"<L", '\x8A', '\x9A'},
      {">L", '\xFF', '\x9F'}, {">L", '\xDF', '\xDF'},  // sharp s has no capital here
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " typed " +
                 std::to_string(static_cast<unsigned char>(c.Typed)));
    TEditMask mask(c.Mask);
    const int pos = mask.InputAtOrAfter(0);
    std::optional<char> got = mask.Accept(pos, c.Typed);
    if (c.Expected == 0) {
      EXPECT_FALSE(got.has_value());
    } else {
      ASSERT_TRUE(got.has_value());
      EXPECT_EQ(*got, c.Expected);
    }
  }
  EXPECT_FALSE(TEditMask("-0").Accept(0, '-')) << "a literal place takes nothing";
  EXPECT_FALSE(TEditMask("0").Accept(5, '1')) << "a place past the end takes nothing";
}

TEST(EditMask, MapsValuesToEditTextsAndBack) {
  struct TCase {
    const char* Mask;
    const char* Value;
    const char* EditText;
    const char* Text;  // read back
  } const cases[] = {
      // Literals not saved: the value fills the input places in turn.
      {"(999) 000-0000;0;_", "0301234567", "(030) 123-4567", "0301234567"},
      {"(999) 000-0000;0;_", "03", "(03_) ___-____", "03        "},
      {"(999) 000-0000;0;_", "", "(___) ___-____", "          "},
      // Literals saved: the value is read place by place, its literals matched.
      {"00/00/0000", "24/12/2026", "24/12/2026", "24/12/2026"},
      {"00/00/0000", "24122026", "24/12/2026", "24/12/2026"},
      // A character that does not fit leaves its place blank; case is converted.
      {"000;0;_", "1x3", "1_3", "1 3"},
      {">LLL;0;_", "abc", "ABC", "ABC"},
      // A value longer than the places is cut.
      {"00;0;_", "12345", "12", "12"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " <- " + c.Value);
    TEditMask mask(c.Mask);
    EXPECT_EQ(mask.EditTextOf(c.Value), c.EditText);
    EXPECT_EQ(mask.TextOf(c.EditText), c.Text);
  }
  // An edit text of the wrong length (set around the mask) never reads past the places.
  EXPECT_EQ(TEditMask("00-00;1;_").TextOf("1"), "1 -  ");
  EXPECT_EQ(TEditMask("00-00;1;_").TextOf("12-345678"), "12-34");
}

TEST(EditMask, TypingDeletingAndPastingKeepTheLiteralsInPlace) {
  const TEditMask mask("(999) 000-0000;0;_");
  const std::string blank = mask.BlankText();
  struct TCase {
    const char* Name;
    std::string Before;
    int SelStart, SelEnd;
    char Key;  // a character typed; '\b' backspace; '\x7F' delete
    std::string After;
    int Caret;
  } const cases[] = {
      {"typing on a literal lands on the next input place", blank, 0, 0, '0', "(0__) ___-____", 2},
      {"the caret skips literals after a place", "(03_) ___-____", 3, 3, '0', "(030) ___-____", 6},
      {"typing overwrites", "(030) 123-4567", 6, 6, '9', "(030) 923-4567", 7},
      {"typing over a selection blanks it first", "(030) 123-4567", 1, 8, '5', "(5__) __3-4567", 2},
      {"the last place leaves the caret at the end", "(030) 123-456_", 13, 13, '7',
       "(030) 123-4567", 14},
      {"a refused key changes nothing", "(030) 123-4567", 6, 6, 'x', "(030) 123-4567", -1},
      {"typing after the last place changes nothing", "(030) 123-4567", 14, 14, '1',
       "(030) 123-4567", -1},
      {"a space clears an optional place", "(030) 123-4567", 1, 1, ' ', "(_30) 123-4567", 2},
      {"a space is refused by a required place", "(030) 123-4567", 6, 6, ' ', "(030) 123-4567", -1},
      {"backspace blanks the place before and skips literals", "(030) 123-4567", 6, 6, '\b',
       "(03_) 123-4567", 3},
      {"backspace at the start changes nothing", "(030) 123-4567", 0, 0, '\b', "(030) 123-4567", 0},
      {"backspace blanks a selection", "(030) 123-4567", 2, 12, '\b', "(0__) ___-__67", 2},
      {"delete blanks the place at the caret", "(030) 123-4567", 7, 7, '\x7F', "(030) 1_3-4567", 7},
      {"delete on a literal changes nothing", "(030) 123-4567", 4, 4, '\x7F', "(030) 123-4567", 4},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Key == '\b') {
      TEditMask::TMaskChange e = mask.Backspace(c.Before, c.SelStart, c.SelEnd);
      EXPECT_EQ(e.Text, c.After);
      EXPECT_EQ(e.Caret, c.Caret);
    } else if (c.Key == '\x7F') {
      TEditMask::TMaskChange e = mask.Delete(c.Before, c.SelStart, c.SelEnd);
      EXPECT_EQ(e.Text, c.After);
      EXPECT_EQ(e.Caret, c.Caret);
    } else {
      auto e = mask.Type(c.Before, c.SelStart, c.SelEnd, c.Key);
      if (c.Caret < 0) {
        EXPECT_FALSE(e.has_value());
      } else {
        ASSERT_TRUE(e.has_value());
        EXPECT_EQ(e->Text, c.After);
        EXPECT_EQ(e->Caret, c.Caret);
      }
    }
  }
}

TEST(EditMask, PasteTypesEachCharacterAndSkipsWhatNoPlaceTakes) {
  const TEditMask mask("(999) 000-0000;0;_");
  TEditMask::TMaskChange e = mask.Paste(mask.BlankText(), 0, 0, "(030) 12x3-4567 and more");
  EXPECT_EQ(e.Text, "(030) 123-4567");
  EXPECT_EQ(e.Caret, 14);
  e = mask.Paste("(030) 123-4567", 6, 14, "9");
  EXPECT_EQ(e.Text, "(030) 9__-____") << "the selection turns blank first";
  EXPECT_EQ(e.Caret, 7);
}

}  // namespace
