#include "framework/Canvas.h"

#include <gtest/gtest.h>

#include <functional>


namespace {

// ---------------------------------------------------------------- drawing tools

struct TToolChange {
  const char* Name;
  std::function<void(TFont&)> Apply;
};

TEST(FontTest, ChangeIsReportedOnceAndNotForAnEqualValue) {
  const TToolChange cases[] = {
      {"Name", [](TFont& f) { f.SetName("Arial"); }},
      {"Height", [](TFont& f) { f.SetHeight(-20); }},
      {"Size", [](TFont& f) { f.SetSize(14); }},
      {"Color", [](TFont& f) { f.SetColor(clRed); }},
      {"Style",
       [](TFont& f) {
         f.SetStyle({fsBold, fsUnderline});
       }},
      {"Charset", [](TFont& f) { f.SetCharset(238); }},
      {"Pitch", [](TFont& f) { f.SetPitch(fpFixed); }},
  };
  for (const TToolChange& c : cases) {
    TFont font;
    int changes = 0;
    font.OnChange = [&](TObject* sender) {
      EXPECT_EQ(sender, &font);
      ++changes;
    };
    c.Apply(font);
    EXPECT_EQ(changes, 1) << c.Name;
    c.Apply(font);
    EXPECT_EQ(changes, 1) << c.Name << " set again to the same value";
  }
}

TEST(FontTest, SizeAndHeightConvertAtTheFontsResolution) {
  struct {
    int PixelsPerInch, Size, Height;
  } const cases[] = {{96, 8, -11}, {96, 10, -13}, {96, 12, -16}, {120, 8, -13}, {120, 10, -17}};
  for (const auto& c : cases) {
    TFont font;
    font.SetPixelsPerInch(c.PixelsPerInch);
    font.SetSize(c.Size);
    EXPECT_EQ(font.Height(), c.Height) << c.PixelsPerInch << " dpi, " << c.Size << " pt";
    EXPECT_EQ(font.Size(), c.Size);
  }
}

TEST(FontTest, AssignCopiesEveryPropertyAndReportsOnce) {
  TFont source;
  source.SetName("Courier New");
  source.SetHeight(-17);
  source.SetColor(clNavy);
  source.SetStyle({fsItalic, fsStrikeOut});
  source.SetCharset(0);
  source.SetPitch(fpFixed);
  TFont target;
  int changes = 0;
  target.OnChange = [&](TObject*) { ++changes; };
  target.Assign(&source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(target.Name(), "Courier New");
  EXPECT_EQ(target.Height(), -17);
  EXPECT_EQ(target.Color(), clNavy);
  EXPECT_EQ(target.Style(), (TFontStyles{fsItalic, fsStrikeOut}));
  EXPECT_EQ(target.Charset(), 0);
  EXPECT_EQ(target.Pitch(), fpFixed);
}

TEST(BrushTest, ChoosingAColourMakesAClearBrushSolid) {
  TBrush brush;
  brush.SetStyle(bsClear);
  int changes = 0;
  brush.OnChange = [&](TObject*) { ++changes; };
  brush.SetColor(brush.Color());  // same colour, but the brush must paint again
  EXPECT_EQ(brush.Style(), bsSolid);
  EXPECT_EQ(changes, 1);
}

TEST(PenTest, RefusesANegativeWidth) {
  TPen pen;
  pen.SetWidth(3);
  pen.SetWidth(-1);
  EXPECT_EQ(pen.Width(), 3);
}

TEST(DrawingToolsTest, PublishedPropertiesAreReachableByName) {
  TFont font;
  SetStrProp(&font, "Name", "Tahoma");
  SetSetProp(&font, "Style", "[fsBold,fsItalic]");
  SetOrdProp(&font, "Color", clMaroon);
  EXPECT_EQ(font.Name(), "Tahoma");
  EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(font.Color(), clMaroon);

  TPen pen;
  SetEnumProp(&pen, "Style", "psDash");
  SetEnumProp(&pen, "Mode", "pmNotXor");
  EXPECT_EQ(pen.Style(), psDash);
  EXPECT_EQ(pen.Mode(), pmNotXor);

  TBrush brush;
  SetEnumProp(&brush, "Style", "bsClear");
  EXPECT_EQ(brush.Style(), bsClear);
}


}  // namespace
