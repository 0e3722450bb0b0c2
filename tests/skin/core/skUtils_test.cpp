#include "skin/core/pixels/skUtils.h"

#include <gtest/gtest.h>

#include "framework/Component.h"
#include "framework/TypInfo.h"

namespace {

const TCharSet kComma = MakeCharSet(",");

TEST(Words, SeparatorRunsAndEndsSeparateNothing) {
  const std::string text = ",,a,,b,";
  EXPECT_EQ(WordCount(text, kComma), 2);
  EXPECT_EQ(WordCountInSet(text, kComma), 2);
  EXPECT_EQ(GetNthWord(1, text, kComma), "a");
  EXPECT_EQ(GetNthWord(2, text, kComma), "b");
  EXPECT_EQ(GetNthWord(3, text, kComma), "");
  EXPECT_EQ(GetNthWord(0, text, kComma), "");
  EXPECT_EQ(WordPosition(2, text, kComma), 6);
  EXPECT_EQ(WordPositionInSet(3, text, kComma), 0);
  EXPECT_EQ(GetNthWordInt(1, "7,12,x", kComma), 7);
  EXPECT_EQ(GetNthWordInt(3, "7,12,x", kComma), 0);
  EXPECT_EQ(GetNthWordInt(4, "7,12,x", kComma), 0);
  EXPECT_TRUE(InCharSet(',', kComma));
  EXPECT_FALSE(InCharSet('a', kComma));
  EXPECT_EQ(WordCount("", kComma), 0);
}

TEST(Words, TokensMovePastOneSeparator) {
  int pos = 1;
  EXPECT_EQ(NextToken("ab,,c", pos, kComma), "ab");
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(NextToken("ab,,c", pos, kComma), "");
  EXPECT_EQ(pos, 5);
  EXPECT_EQ(NextToken("ab,,c", pos, kComma), "c");
  EXPECT_EQ(pos, 6);
  EXPECT_EQ(NextToken("ab,,c", pos, kComma), "");
  EXPECT_EQ(pos, 6);
}

TEST(Texts, RemoveReplaceAndRepeat) {
  EXPECT_EQ(RemoveChar("a-b--c", '-'), "abc");
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");  // no endless loop on the new text
  EXPECT_EQ(ReplaceAll("x.y.z", ".", ""), "xyz");
  EXPECT_EQ(ReplaceAll("abc", "", "q"), "abc");
  EXPECT_EQ(MakeCharString(3, '*'), "***");
  EXPECT_EQ(MakeCharString(0, '*'), "");
  EXPECT_EQ(MakeCharString(-2, '*'), "");
}

TEST(Paths, FolderPathsEndInABackslash) {
  const std::pair<std::string, std::string> cases[] = {{"", ""},
                                                       {"C", "C:\\"},
                                                       {"C:\\skins\\", "C:\\skins\\"},
                                                       {"C:\\skins/", "C:\\skins\\"},
                                                       {"skins", "skins\\"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeDirPath(in), out) << in;
  EXPECT_FALSE(FolderExists(""));
  EXPECT_FALSE(FolderExists("/no/such/folder/here"));
}

TEST(Rects, WidthsOverlapsAndContainment) {
  EXPECT_EQ(RectWidth(Rect(10, 0, 4, 0)), -6);
  EXPECT_EQ(RectWidth(Rect(10, 0, 4, 0), true), 0);
  EXPECT_EQ(RectHeight(Rect(0, 2, 0, 9)), 7);
  EXPECT_EQ(RectIntersection(Rect(0, 0, 10, 10), Rect(5, -5, 20, 3)), Rect(5, 0, 10, 3));
  EXPECT_TRUE(RectsOverlap(Rect(0, 0, 10, 10), Rect(9, 9, 12, 12)));
  EXPECT_FALSE(RectsOverlap(Rect(0, 0, 10, 10), Rect(10, 0, 12, 12)));
  EXPECT_FALSE(RectsOverlap(Rect(0, 0, 10, 10), Rect(2, 2, 2, 5)));       // b empty
  EXPECT_TRUE(RectContainsRect(Rect(0, 0, 10, 10), Rect(0, 0, 10, 10)));  // edges inside
  EXPECT_FALSE(RectContainsRect(Rect(0, 0, 10, 10), Rect(0, 0, 11, 10)));
  EXPECT_EQ(ClampInt(5, 7, 3), 7);  // the minimum is tested first
  EXPECT_EQ(ClampByte(-4), 0);
  EXPECT_EQ(ClampByte(300), 255);
  EXPECT_TRUE(IsBetween(5, 9, 1));
  EXPECT_FALSE(IsBetween(0, 9, 1));
  int a = 1, b = 2;
  SwapInts(a, b);
  EXPECT_EQ(a * 10 + b, 21);
  EXPECT_EQ(ChooseInt(false, 1, 2), 2);
  EXPECT_EQ(ChooseString(true, "x", "y"), "x");
  EXPECT_EQ(MaxOf(-1, -5), -1);
  EXPECT_EQ(MinOf(-1, -5), -5);
  const TsBackgroundSource source = MakeBackgroundSource(nullptr, 3, 4);
  EXPECT_TRUE(source.HasBitmap);
  EXPECT_EQ(source.FillColor, clFuchsia);
  EXPECT_EQ(source.Y, 4);
}

TEST(IniSections, SplitAndReadWithDefaults) {
  TStringList lines;
  for (const char* line : {"dropped=1", "[MAIN]", "; note", "", "Size=12", "Hex=0x1F", "Bare=0x",
                           "Name=a=b", "[Other]", "size=3"})
    lines.Add(line);
  TStringList sections;
  sections.SetCaseSensitive(true);
  SplitIniSections(lines, sections);
  ASSERT_EQ(sections.Count(), 2);
  EXPECT_EQ(ReadSectionInteger(sections, "MAIN", -1, "size"), 12);  // keys ignore case
  EXPECT_EQ(ReadSectionInteger(sections, "MAIN", -1, "Hex"), 31);
  EXPECT_EQ(ReadSectionInteger(sections, "MAIN", -1, "Bare"), -1);
  EXPECT_EQ(ReadSectionInteger(sections, "MAIN", -1, "Name"), -1);
  EXPECT_EQ(ReadSectionString(sections, "MAIN", "?", "Name"), "a=b");
  EXPECT_EQ(ReadSectionString(sections, "main", "?", "Size"), "?");  // sections keep case here
  EXPECT_EQ(ReadSectionString(sections, "MAIN", "?", "dropped"), "?");
  EXPECT_EQ(ReadSectionInteger(sections, "Other", 0, "SIZE"), 3);
  SplitIniSections(lines, sections);  // again: the old section lists are freed
  EXPECT_EQ(sections.Count(), 2);
}

// A control known only by its published interface.
class TForeignControl : public TComponent {
  K_CLASS_PUBLISHED(TForeignControl, TComponent)
 public:
  explicit TForeignControl(TComponent* owner) : TComponent(owner) {}
  int border = 3;
  uint64_t options = 0b101;  // first and third element
  TComponent* partner = nullptr;
  int count = 7;
};
K_PUBLISH(TForeignControl) {
  p.Prop(
      "BorderWidth", [](TForeignControl* c) { return c->border; },
      [](TForeignControl* c, int v) { c->border = v; });
  p.Set(
      "Options", [](TForeignControl* c) { return c->options; },
      [](TForeignControl* c, uint64_t v) { c->options = v; }, {"goFirst", "goSecond", "goThird"});
  p.Prop(
      "Partner", [](TForeignControl* c) { return c->partner; },
      [](TForeignControl* c, TComponent* v) { c->partner = v; });
  p.Prop("Count", [](TForeignControl* c) { return c->count; });
}

TEST(PublishedProperties, ReadAndWrittenByNameAbsentOnesReadAsNothing) {
  TForeignControl c(nullptr);
  TForeignControl other(nullptr);
  c.partner = &other;
  EXPECT_TRUE(HasProperty(&c, "borderwidth"));
  EXPECT_FALSE(HasProperty(&c, "Margin"));
  EXPECT_FALSE(HasProperty(nullptr, "BorderWidth"));
  EXPECT_EQ(GetOrdProperty(&c, "BorderWidth"), 3);
  EXPECT_EQ(GetOrdProperty(&c, "Margin"), -1);
  EXPECT_EQ(GetOrdProperty(&c, "Partner"), -1);  // not ordinal
  SetOrdProperty(&c, "BorderWidth", 9);
  EXPECT_EQ(c.border, 9);
  SetOrdProperty(&c, "Margin", 9);  // nothing to write
  SetOrdProperty(&c, "Count", 1);   // read-only: left alone
  EXPECT_EQ(c.count, 7);
  EXPECT_EQ(GetObjectProperty(&c, "Partner"), &other);
  EXPECT_EQ(GetObjectProperty(&c, "BorderWidth"), nullptr);
  EXPECT_EQ(GetObjectProperty(nullptr, "Partner"), nullptr);
}

TEST(PublishedProperties, SetElementsAreTestedAddedAndTakenOut) {
  TForeignControl c(nullptr);
  EXPECT_TRUE(SetPropContains(&c, "Options", "goFirst"));
  EXPECT_FALSE(SetPropContains(&c, "Options", "goSecond"));
  EXPECT_TRUE(SetPropContains(&c, "options", "GOTHIRD"));
  EXPECT_FALSE(SetPropContains(&c, "Options", "goFourth"));
  EXPECT_FALSE(SetPropContains(&c, "BorderWidth", "goFirst"));  // not a set
  ChangeSetProp(&c, "Options", "goSecond", true);
  ChangeSetProp(&c, "Options", "goFirst", false);
  EXPECT_EQ(c.options, 0b110u);
  ChangeSetProp(&c, "Options", "goFourth", true);  // unknown element: nothing
  ChangeSetProp(&c, "Margin", "goFirst", true);
  EXPECT_EQ(c.options, 0b110u);
}

}  // namespace
