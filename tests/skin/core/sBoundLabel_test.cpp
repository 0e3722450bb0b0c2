// The bound label over a fake control and label: activation, placement by layout, and the
// settings kept while it has no label.
#include "skin/core/runtime/sBoundLabel.h"

#include <gtest/gtest.h>

namespace {

struct TFakeBound : IBoundControl {
  std::string Name() const override { return "sEdit1"; }
  TRect BoundsRect() const override { return TRect{100, 50, 200, 71}; }  // 100 x 21
  bool Visible() const override { return true; }
  bool Enabled() const override { return true; }
};

struct TFakeLabel : IEditLabel {
  int textWidth = 40, textHeight = 13;
  std::string caption, name;
  bool autoSize = false, wordWrap = false, visible = true, attached = false, useSkin = true;
  TsLabelAlignment alignment = laLeftJustify;
  TRect bounds{};
  TsBoundLabelFont font;
  void SetCaption(const std::string& text) override { caption = text; }
  void SetAutoSize(bool value) override { autoSize = value; }
  void SetWordWrap(bool value) override { wordWrap = value; }
  void SetAlignment(TsLabelAlignment value) override { alignment = value; }
  int Width() const override { return autoSize ? textWidth : bounds.Right - bounds.Left; }
  int Height() const override { return autoSize ? textHeight : bounds.Bottom - bounds.Top; }
  void SetBounds(int l, int t, int w, int h) override { bounds = TRect{l, t, l + w, t + h}; }
  bool Visible() const override { return visible; }
  void SetVisible(bool value) override { visible = value; }
  void SetEnabled(bool) override {}
  void SetName(const std::string& value) override { name = value; }
  void AttachToControl() override { attached = true; }
  TsBoundLabelFont Font() const override { return font; }
  void SetFont(const TsBoundLabelFont& value) override { font = value; }
  bool UseSkinColor() const override { return useSkin; }
  void SetUseSkinColor(bool value) override { useSkin = value; }
};

struct BoundLabel : ::testing::Test {
  TFakeBound control;
  TFakeLabel* last = nullptr;
  TsBoundLabel bound{control, [this] {
                       auto label = std::make_unique<TFakeLabel>();
                       last = label.get();
                       return label;
                     }};
};

TEST_F(BoundLabel, ActivatingShowsTheControlsNameBesideIt) {
  bound.SetActive(true);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(bound.Caption(), "sEdit1");
  EXPECT_EQ(last->caption, "sEdit1");
  EXPECT_EQ(last->name, "sEdit1Label");
  EXPECT_TRUE(last->attached);
  EXPECT_EQ(last->alignment, laRightJustify);
  EXPECT_EQ(last->bounds.Left, 56);  // 100 - 40 - 0 - 4
  EXPECT_EQ(last->bounds.Top, 50 + (21 - 13) / 2 - 1);
  bound.SetActive(false);
  EXPECT_EQ(bound.TheLabel(), nullptr);
}

TEST_F(BoundLabel, LayoutsPlaceTheLabel) {
  const struct {
    TsCaptionLayout layout;
    int indent, left, top;
    TsLabelAlignment alignment;
  } cases[] = {
      {sclLeft, 6, 50, 53, laRightJustify},
      {sclTopLeft, 2, 100, 35, laLeftJustify},
      {sclTopCenter, 0, 130, 37, laCenter},
      {sclTopRight, 0, 160, 37, laRightJustify},
  };
  bound.SetActive(true);
  for (const auto& c : cases) {
    bound.SetIndent(c.indent);
    bound.SetLayout(c.layout);
    EXPECT_EQ(last->bounds.Left, c.left) << c.layout;
    EXPECT_EQ(last->bounds.Top, c.top) << c.layout;
    EXPECT_EQ(last->alignment, c.alignment) << c.layout;
  }
}

TEST_F(BoundLabel, MaxWidthWrapsAndIsAtLeastAsHighAsTheControl) {
  bound.SetActive(true);
  bound.SetMaxWidth(60);
  EXPECT_TRUE(last->wordWrap);
  EXPECT_FALSE(last->autoSize);
  EXPECT_EQ(last->bounds.Right - last->bounds.Left, 60);
  EXPECT_EQ(last->bounds.Bottom - last->bounds.Top, 21);
}

TEST_F(BoundLabel, SettingsWhileInactiveAreKeptForTheLabel) {
  TsBoundLabelFont font;
  font.Color = 0x123456;
  bound.SetFont(font);  // no label yet: kept, nothing placed
  bound.SetUseSkinColor(false);
  bound.SetIndent(5);
  bound.SetLayout(sclTopLeft);
  EXPECT_EQ(bound.TheLabel(), nullptr);
  EXPECT_FALSE(bound.UseSkinColor());
  EXPECT_EQ(bound.Font(), font);
  bound.SetActive(true);
  EXPECT_FALSE(last->useSkin);
  EXPECT_EQ(last->font.Color, 0x123456);
  EXPECT_EQ(last->bounds.Top, 50 - 13 - 5);
}

}  // namespace
