#include "editor/KedEditMiscClasses.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Counts OnChange notices of an option object.
struct ChangeCounter {
  int count = 0;
  TNotifyEvent Event() {
    return TNotifyEvent([this](TObject*) { ++count; });
  }
};

class GutterTest : public ::testing::Test {
 protected:
  GutterTest() { gutter.OnChange = changes.Event(); }
  TKedGutter gutter;
  ChangeCounter changes;
};

// Bitmap resources made on the fly: the name says the strip's size ("W x H").
class FakeResources : public ::testing::Test {
 protected:
  FakeResources() {
    SetKedBitmapResourceLoader([this](const std::string& name) {
      ++loads;
      if (name == "missing") throw Exception("Resource missing not found");
      auto bitmap = std::make_unique<TBitmap>();
      const auto x = name.find('x');
      bitmap->SetSize(std::stoi(name.substr(0, x)), std::stoi(name.substr(x + 1)));
      return bitmap;
    });
  }
  ~FakeResources() override { SetKedBitmapResourceLoader(nullptr); }
  int loads = 0;
};

}  // namespace

TEST(KedSelectedColor, StoresOnlyChangesAndAssignsWithOneNotice) {
  TKedSelectedColor colors;
  ChangeCounter changes;
  colors.OnChange = changes.Event();
  EXPECT_EQ(colors.Background(), clHighlight);
  EXPECT_EQ(colors.Foreground(), clHighlightText);
  colors.SetBackground(clHighlight);
  EXPECT_EQ(changes.count, 0);
  colors.SetBackground(clLime);
  colors.SetForeground(clBlack);
  EXPECT_EQ(changes.count, 2);

  TKedSelectedColor copy;
  ChangeCounter copyChanges;
  copy.OnChange = copyChanges.Event();
  copy.Assign(&colors);
  EXPECT_EQ(copy.Background(), clLime);
  EXPECT_EQ(copy.Foreground(), clBlack);
  EXPECT_EQ(copyChanges.count, 1);
  EXPECT_THROW(copy.Assign(nullptr), EConvertError);
}

TEST_F(GutterTest, HasItsDefaults) {
  EXPECT_FALSE(gutter.AutoSize());
  EXPECT_EQ(gutter.BorderStyle(), gbsMiddle);
  EXPECT_EQ(gutter.Color(), clBtnFace);
  EXPECT_EQ(gutter.BorderColor(), clWindow);
  EXPECT_EQ(gutter.DigitCount(), 4);
  EXPECT_EQ(gutter.RealDigitCount(), 4);
  EXPECT_EQ(gutter.Font()->Name(), "Courier New");
  EXPECT_EQ(gutter.Font()->Size(), 8);
  EXPECT_TRUE(gutter.Font()->Style().Empty());
  EXPECT_EQ(gutter.LeftOffset(), 16);
  EXPECT_EQ(gutter.RightOffset(), 2);
  EXPECT_TRUE(gutter.UseFontStyle());
  EXPECT_TRUE(gutter.Visible());
  EXPECT_EQ(gutter.Width(), 30);
  EXPECT_EQ(gutter.LineNumberStart(), 1);
  EXPECT_EQ(gutter.GradientStartColor(), clWindow);
  EXPECT_EQ(gutter.GradientEndColor(), clBtnFace);
  EXPECT_EQ(gutter.GradientSteps(), 48);
}

TEST_F(GutterTest, SettersClampAndReportOnlyEffectiveChanges) {
  struct Case {
    const char* what;
    void (*set)(TKedGutter&);
    int (*get)(const TKedGutter&);
    int expected;
    int notices;
  } cases[] = {
      {"DigitCount 1", [](TKedGutter& g) { g.SetDigitCount(1); },
       [](const TKedGutter& g) { return g.DigitCount(); }, 2, 1},
      {"DigitCount 20", [](TKedGutter& g) { g.SetDigitCount(20); },
       [](const TKedGutter& g) { return g.DigitCount(); }, 12, 1},
      {"DigitCount 4", [](TKedGutter& g) { g.SetDigitCount(4); },
       [](const TKedGutter& g) { return g.DigitCount(); }, 4, 0},
      {"LeftOffset -3", [](TKedGutter& g) { g.SetLeftOffset(-3); },
       [](const TKedGutter& g) { return g.LeftOffset(); }, 0, 1},
      {"RightOffset -1", [](TKedGutter& g) { g.SetRightOffset(-1); },
       [](const TKedGutter& g) { return g.RightOffset(); }, 0, 1},
      {"Width -5", [](TKedGutter& g) { g.SetWidth(-5); },
       [](const TKedGutter& g) { return g.Width(); }, 0, 1},
      {"Width 30", [](TKedGutter& g) { g.SetWidth(30); },
       [](const TKedGutter& g) { return g.Width(); }, 30, 0},
      {"GradientSteps 1", [](TKedGutter& g) { g.SetGradientSteps(1); },
       [](const TKedGutter& g) { return g.GradientSteps(); }, 2, 1},
      {"LineNumberStart -4", [](TKedGutter& g) { g.SetLineNumberStart(-4); },
       [](const TKedGutter& g) { return g.LineNumberStart(); }, 0, 1},
      {"BorderStyle unchanged", [](TKedGutter& g) { g.SetBorderStyle(gbsMiddle); },
       [](const TKedGutter& g) { return static_cast<int>(g.BorderStyle()); }, gbsMiddle, 1},
      {"Visible unchanged", [](TKedGutter& g) { g.SetVisible(true); },
       [](const TKedGutter& g) { return static_cast<int>(g.Visible()); }, 1, 0},
      {"Color", [](TKedGutter& g) { g.SetColor(clLime); },
       [](const TKedGutter& g) { return static_cast<int>(g.Color()); }, clLime, 1},
      {"Cursor is a plain field", [](TKedGutter& g) { g.SetCursor(-21); },
       [](const TKedGutter& g) { return g.Cursor(); }, -21, 0},
  };
  for (const Case& c : cases) {
    TKedGutter g;
    ChangeCounter counter;
    g.OnChange = counter.Event();
    c.set(g);
    EXPECT_EQ(c.get(g), c.expected) << c.what;
    EXPECT_EQ(counter.count, c.notices) << c.what;
  }
}

TEST_F(GutterTest, FontChangesAreReported) {
  gutter.Font()->SetName("Consolas");
  EXPECT_EQ(changes.count, 1);
  TFont other;
  other.SetHeight(-11);
  gutter.SetFont(&other);
  EXPECT_EQ(gutter.Font()->Height(), -11);
  EXPECT_GE(changes.count, 2);
}

TEST_F(GutterTest, FormatsLineNumbersInTheDigitField) {
  struct Case {
    bool leadingZeros;
    int lineNumberStart;
    int line;
    const char* text;
  } cases[] = {
      {true, 1, 7, "0007"},   {true, 1, 12345, "12345"}, {false, 1, 7, "   7"},
      {false, 10, 1, "  10"}, {true, 10, 1, "0010"},     {false, 0, 1, "   0"},
      {true, 0, 1, "0000"},   {false, 1, 9999, "9999"},
  };
  for (const Case& c : cases) {
    TKedGutter g;
    g.SetShowLineNumbers(true);
    g.SetLeadingZeros(c.leadingZeros);
    g.SetLineNumberStart(c.lineNumberStart);
    EXPECT_EQ(g.FormatLineNumber(c.line), c.text) << c.line << " from " << c.lineNumberStart;
  }
}

TEST_F(GutterTest, LineNumberStartZeroMeansZeroStart) {
  gutter.SetLineNumberStart(0);
  EXPECT_TRUE(gutter.ZeroStart());
  EXPECT_EQ(gutter.FormatLineNumber(1), "   0");
  gutter.SetLineNumberStart(5);
  EXPECT_FALSE(gutter.ZeroStart());
  EXPECT_EQ(gutter.FormatLineNumber(1), "   5");
}

TEST_F(GutterTest, AutoSizeWidensTheDigitFieldOnce) {
  gutter.SetAutoSize(true);
  gutter.SetShowLineNumbers(true);
  changes.count = 0;
  gutter.AdjustDigitCount(12345);
  EXPECT_EQ(gutter.RealDigitCount(), 5);
  EXPECT_EQ(changes.count, 1);
  gutter.AdjustDigitCount(12346);
  EXPECT_EQ(changes.count, 1);
  EXPECT_EQ(gutter.FormatLineNumber(3), "    3");

  gutter.AdjustDigitCount(10);  // never narrower than DigitCount
  EXPECT_EQ(gutter.RealDigitCount(), 4);

  gutter.SetLineNumberStart(99990);
  gutter.AdjustDigitCount(20);  // the last line shows 100009
  EXPECT_EQ(gutter.RealDigitCount(), 6);

  gutter.SetAutoSize(false);
  changes.count = 0;
  gutter.AdjustDigitCount(12345678);
  EXPECT_EQ(gutter.RealDigitCount(), 4);
  EXPECT_EQ(changes.count, 0);
}

TEST_F(GutterTest, ComputeWidthFollowsVisibilityAndLineNumbers) {
  EXPECT_EQ(gutter.ComputeWidth(7), 30);
  gutter.SetShowLineNumbers(true);
  EXPECT_EQ(gutter.ComputeWidth(7), 16 + 2 + 7 * 4 + 2);
  gutter.SetVisible(false);
  EXPECT_EQ(gutter.ComputeWidth(7), 0);
}

TEST_F(GutterTest, AssignCopiesLayoutButNotBorderOrGradient) {
  TKedGutter source;
  source.SetShowLineNumbers(true);
  source.SetLeadingZeros(true);
  source.SetDigitCount(6);
  source.SetLineNumberStart(3);
  source.SetWidth(50);
  source.SetBorderStyle(gbsRight);
  source.SetGradient(true);
  source.Font()->SetName("Consolas");
  gutter.Assign(&source);
  EXPECT_EQ(changes.count, 1);
  EXPECT_TRUE(gutter.ShowLineNumbers());
  EXPECT_TRUE(gutter.LeadingZeros());
  EXPECT_EQ(gutter.DigitCount(), 6);
  EXPECT_EQ(gutter.RealDigitCount(), 6);
  EXPECT_EQ(gutter.LineNumberStart(), 3);
  EXPECT_EQ(gutter.Width(), 50);
  EXPECT_EQ(gutter.Font()->Name(), "Consolas");
  EXPECT_EQ(gutter.BorderStyle(), gbsMiddle);
  EXPECT_FALSE(gutter.Gradient());
}

TEST(KedBookMarkOpt, DefaultsChangesAndAssign) {
  TKedBookMarkOpt options;
  ChangeCounter changes;
  options.OnChange = changes.Event();
  EXPECT_TRUE(options.DrawBookmarksFirst());
  EXPECT_TRUE(options.EnableKeys());
  EXPECT_TRUE(options.GlyphsVisible());
  EXPECT_EQ(options.LeftMargin(), 2);
  EXPECT_EQ(options.Xoffset(), 12);
  EXPECT_EQ(options.BookmarkImages(), nullptr);

  options.SetLeftMargin(2);
  options.SetEnableKeys(false);  // a plain field
  EXPECT_EQ(changes.count, 0);
  options.SetXoffset(20);
  options.SetGlyphsVisible(false);
  EXPECT_EQ(changes.count, 2);

  TKedBookMarkOpt copy;
  ChangeCounter copyChanges;
  copy.OnChange = copyChanges.Event();
  copy.Assign(&options);
  EXPECT_EQ(copyChanges.count, 1);
  EXPECT_EQ(copy.Xoffset(), 20);
  EXPECT_FALSE(copy.GlyphsVisible());
  EXPECT_FALSE(copy.EnableKeys());
}

TEST(KedCellPlacement, CentresShortPicturesAndCropsTallOnes) {
  struct Case {
    int sourceLeft, width, height, x, y, lineHeight;
    TKedCellPlacement expected;
  } cases[] = {
      {0, 11, 14, 5, 100, 20, {{0, 0, 11, 14}, {5, 103, 16, 117}}},
      {0, 11, 14, 5, 100, 15, {{0, 0, 11, 14}, {5, 100, 16, 114}}},  // odd gap rounds down
      {0, 15, 14, 0, 0, 10, {{0, 2, 15, 12}, {0, 0, 15, 10}}},
      {22, 11, 14, 2, 40, 9, {{22, 2, 33, 11}, {2, 40, 13, 49}}},
      {0, 11, 14, 0, 0, 14, {{0, 0, 11, 14}, {0, 0, 11, 14}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceKedCell(c.sourceLeft, c.width, c.height, c.x, c.y, c.lineHeight), c.expected)
        << c.height << " in " << c.lineHeight;
}

TEST_F(FakeResources, GlyphPrefersItsOwnPictureOverTheInternalOne) {
  TKedGlyph glyph("15x14", clLime);
  ChangeCounter changes;
  glyph.OnChange = changes.Event();
  EXPECT_EQ(glyph.GetGlyphWidth(), 15);
  EXPECT_EQ(glyph.MaskColorUsed(), clLime);
  TKedCellPlacement placement;
  ASSERT_TRUE(glyph.Placement(3, 10, 20, placement));
  EXPECT_EQ(placement.Dest, Rect(3, 13, 18, 27));

  TBitmap own;
  own.SetSize(8, 8);
  glyph.SetGlyph(&own);
  EXPECT_GE(changes.count, 1);
  EXPECT_EQ(glyph.GetGlyphWidth(), 8);
  EXPECT_EQ(glyph.MaskColorUsed(), clNone);

  changes.count = 0;
  glyph.SetMaskColor(clNone);
  glyph.SetVisible(true);
  EXPECT_EQ(changes.count, 0);
  glyph.SetVisible(false);
  EXPECT_EQ(changes.count, 1);

  TKedGlyph none;
  EXPECT_EQ(none.GetGlyphWidth(), 0);
  EXPECT_FALSE(none.Placement(0, 0, 10, placement));
  EXPECT_EQ(none.MaskColorUsed(), clNone);

  TKedGlyph copy;
  ChangeCounter copyChanges;
  copy.OnChange = copyChanges.Event();
  copy.Assign(&glyph);
  EXPECT_EQ(copyChanges.count, 1);
  EXPECT_EQ(copy.GetGlyphWidth(), 8);
  EXPECT_FALSE(copy.Visible());
}

TEST_F(FakeResources, InternalImagesShareOneStripPerResource) {
  ASSERT_EQ(TKedInternalImage::CachedStripCount(), 0);
  {
    TKedInternalImage first(10, "110x14");
    EXPECT_EQ(first.Width(), 11);
    EXPECT_EQ(first.Height(), 14);
    TKedInternalImage second(10, "110X14");  // names compare upper-cased
    EXPECT_EQ(second.Images(), first.Images());
    EXPECT_EQ(loads, 1);
    {
      TKedInternalImage other(3, "20x7");
      EXPECT_EQ(other.Width(), 7);  // rounded: (20 + 1) div 3
      EXPECT_EQ(TKedInternalImage::CachedStripCount(), 2);
    }
    EXPECT_EQ(TKedInternalImage::CachedStripCount(), 1);

    TKedCellPlacement placement;
    EXPECT_FALSE(first.CellPlacement(10, 0, 0, 14, placement));
    EXPECT_FALSE(first.CellPlacement(-1, 0, 0, 14, placement));
    ASSERT_TRUE(first.CellPlacement(3, 4, 0, 16, placement));
    EXPECT_EQ(placement.Source, Rect(33, 0, 44, 14));
    EXPECT_EQ(placement.Dest, Rect(4, 1, 15, 15));
  }
  EXPECT_EQ(TKedInternalImage::CachedStripCount(), 0);
}

TEST_F(FakeResources, MissingResourceLeavesNoCacheEntry) {
  EXPECT_THROW(TKedInternalImage(10, "missing"), Exception);
  EXPECT_EQ(TKedInternalImage::CachedStripCount(), 0);
  EXPECT_THROW(TKedGlyph("missing", clLime), Exception);
}

namespace {

class ChainTest : public ::testing::Test {
 protected:
  TNotifyEvent Logger(char name, bool raise = false) {
    return TNotifyEvent([this, name, raise](TObject* sender) {
      EXPECT_EQ(sender, &senderObject);
      log += name;
      if (raise) throw Exception(std::string("failed ") + name);
    });
  }

  TObject senderObject;
  TKedNotifyEventChain chain{&senderObject};
  std::string log;
};

}  // namespace

TEST_F(ChainTest, CallsMethodsInOrderOfAdding) {
  chain.AddHandler(Logger('a'));
  chain.AddHandler(Logger('b'));
  chain.AddHandler(Logger('c'));
  chain.InvokeAll();
  EXPECT_EQ(log, "abc");
}

TEST_F(ChainTest, RemovingAMethodAddedTwiceRemovesBoth) {
  TNotifyEvent a = Logger('a');
  chain.AddHandler(a);
  chain.AddHandler(Logger('b'));
  chain.AddHandler(a);
  chain.RemoveHandler(a);
  EXPECT_EQ(chain.Count(), 1);
  chain.InvokeAll();
  EXPECT_EQ(log, "b");
}

TEST_F(ChainTest, FailingMethodWithoutHandlerEndsTheWalk) {
  chain.AddHandler(Logger('a', true));
  chain.AddHandler(Logger('b'));
  try {
    chain.InvokeAll();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "failed a");
  }
  EXPECT_EQ(log, "a");
}

TEST_F(ChainTest, ExceptionHandlerDecidesWhetherTheWalkGoesOn) {
  chain.AddHandler(Logger('a', true));
  chain.AddHandler(Logger('b', true));
  chain.AddHandler(Logger('c'));
  std::string seen;
  bool goOn = true;
  chain.OnException = TKedExceptionEvent([&](TObject* sender, Exception& e, bool& doContinue) {
    EXPECT_EQ(sender, &chain);
    EXPECT_TRUE(doContinue);
    seen += e.Message() + ";";
    doContinue = goOn;
  });
  chain.InvokeAll();
  EXPECT_EQ(log, "abc");
  EXPECT_EQ(seen, "failed a;failed b;");

  log.clear();
  goOn = false;
  chain.InvokeAll();
  EXPECT_EQ(log, "a");
}

TEST_F(ChainTest, FailingExceptionHandlerIsReportedAsChainError) {
  chain.AddHandler(Logger('a', true));
  chain.OnException =
      TKedExceptionEvent([](TObject*, Exception&, bool&) { throw Exception("handler broke"); });
  try {
    chain.InvokeAll();
    FAIL() << "no exception";
  } catch (const EKedMethodChain& e) {
    EXPECT_EQ(e.Message(),
              "TKedNotifyEventChain.DoHandleException : MUST NOT occur any kind of exception in "
              "ExceptionHandler");
  }
}

TEST_F(ChainTest, ForeignExceptionsPassThroughUnchanged) {
  chain.AddHandler(TNotifyEvent([](TObject*) { throw std::runtime_error("foreign"); }));
  bool handled = false;
  chain.OnException = TKedExceptionEvent([&](TObject*, Exception&, bool&) { handled = true; });
  EXPECT_THROW(chain.InvokeAll(), std::runtime_error);
  EXPECT_FALSE(handled);
}
