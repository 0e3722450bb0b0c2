// The editor's built-in pictures: the bitmap resources linked into every program with the
// control, the word-wrap mark painted in the gutter beside continued rows, and the
// WordWrapGlyph property read and written by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/KedEditWin32.h"
#include "framework/FormsWin32.h"
#include "framework/TypInfo.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using ktest::Pump;
using ktest::Settle;

// The colours the built-in mark is drawn in: the arrow, and lime for "transparent".
constexpr COLORREF kArrow = static_cast<COLORREF>(clNavy);
constexpr COLORREF kMask = static_cast<COLORREF>(clLime);

TEST(EditorResourcesTest, PicturesAreLinkedWithTheirSizesInSixteenColours) {
  struct Case {
    const char* name;
    int width;
    int height;
  };
  const Case cases[] = {
      {"KedEditWrapped", 15, 14},
      {"KedEditInternalImages", 110, 14},  // ten 11-pixel pictures side by side
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<TBitmap> bitmap = LoadKedBitmapResource(c.name);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), c.width);
    EXPECT_EQ(bitmap->Height(), c.height);
    EXPECT_EQ(bitmap->PixelFormat(), pf4bit);
    EXPECT_EQ(bitmap->Palette().size(), 16u);
  }
}

TEST(EditorResourcesTest, TheWrapMarkIsArrowColouredOnItsMaskColour) {
  std::unique_ptr<TBitmap> mark = LoadKedBitmapResource("KedEditWrapped");
  int arrow = 0;
  int mask = 0;
  for (int y = 0; y < mark->Height(); ++y) {
    for (int x = 0; x < mark->Width(); ++x) {
      const TColor c = mark->PixelColor(x, y);
      arrow += c == clNavy;
      mask += c == clLime;
    }
  }
  EXPECT_GT(arrow, 0);
  EXPECT_GT(mask, arrow);  // a mark on a transparent ground, not a filled block
  EXPECT_EQ(arrow + mask, mark->Width() * mark->Height());
}

TEST(EditorResourcesTest, BookmarkPicturesDifferFromEachOther) {
  std::unique_ptr<TBitmap> strip = LoadKedBitmapResource("KedEditInternalImages");
  auto cell = [&](int number) {
    std::string pixels;
    for (int y = 0; y < strip->Height(); ++y)
      for (int x = 0; x < 11; ++x)
        pixels += static_cast<char>(strip->PixelColor(number * 11 + x, y) & 0xFF);
    return pixels;
  };
  for (int a = 0; a < 10; ++a)
    for (int b = a + 1; b < 10; ++b) EXPECT_NE(cell(a), cell(b)) << a << " and " << b;
}

class TGlyphTestForm : public TForm {
  K_CLASS(TGlyphTestForm, TForm)
  explicit TGlyphTestForm(TComponent* owner) : TForm(owner) {}
};

class EditorGlyphTest : public ::testing::Test {
 protected:
  EditorGlyphTest() {
    form = new TGlyphTestForm(Application);
    form->SetBounds(40, 40, 420, 300);
    editor = new TKedEdit(form);
    editor->SetParent(form);
    editor->SetBounds(10, 10, 380, 240);
    editor->SetBorderStyle(bsNone);
    editor->Gutter()->SetShowLineNumbers(true);
    editor->Gutter()->SetColor(clWhite);
    editor->Gutter()->SetBorderStyle(gbsNone);
    editor->Gutter()->Font()->SetColor(clBlack);
    editor->Font()->SetColor(clBlack);
  }
  ~EditorGlyphTest() override { delete form; }

  void Show() {
    form->Show();
    Pump();
    Settle(form->Handle());
  }

  // How many pixels of the given colour a display row shows between x = left and right - 1
  // (by default across the whole gutter).
  int GutterPixels(int row, COLORREF colour, int left = 0, int right = -1) {
    const TKedEditModel& m = editor->Model();
    if (right < 0) right = m.GutterWidth();
    const int top = (row - m.TopLine()) * m.LineHeight();
    // One capture per call: reading the screen pixel by pixel is slow under Wine.
    ktest::TScreenshot shot;
    if (!ktest::CaptureWindow(editor->Handle(), shot)) return -1;
    RECT window{};
    POINT client{0, 0};
    GetWindowRect(editor->Handle(), &window);
    ClientToScreen(editor->Handle(), &client);
    const int dx = client.x - window.left;
    const int dy = client.y - window.top;
    int count = 0;
    for (int y = top; y < top + m.LineHeight(); ++y)
      for (int x = left; x < right; ++x) count += shot.ColorAt(x + dx, y + dy) == colour;
    return count;
  }

  // A line that wraps onto several rows in the editor's width, then a short one.
  void AddWrappedText() {
    editor->Lines()->Add(std::string(150, 'x'));
    editor->Lines()->Add("short");
    editor->Lines()->Add(std::string(60, 'y') + std::string(60, 'z'));
  }

  TGlyphTestForm* form;
  TKedEdit* editor;
};

TEST_F(EditorGlyphTest, ContinuedRowsOfAWrappedLineShowTheMarkAndFirstRowsDoNot) {
  AddWrappedText();
  editor->SetWordWrap(true);
  Show();
  const TKedEditModel& m = editor->Model();
  const int line3 = m.LineToDisplayRow(3);
  ASSERT_GE(m.LineToDisplayRow(2) - m.LineToDisplayRow(1), 3) << "the first line must wrap";
  ASSERT_GT(m.GetDisplayRowCount(), line3) << "the last line must wrap";
  ASSERT_LE(m.GetDisplayRowCount(), m.LinesInWindow());
  for (int row = 1; row <= m.GetDisplayRowCount(); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const bool firstRowOfLine = m.LineToDisplayRow(m.DisplayRowToLine(row)) == row;
    if (firstRowOfLine)
      EXPECT_EQ(GutterPixels(row, kArrow), 0);
    else
      EXPECT_GT(GutterPixels(row, kArrow), 0);
    // The mask colour is see-through: the gutter shows its own colour there.
    EXPECT_EQ(GutterPixels(row, kMask), 0);
  }
  // The whole mark lies in its 15-pixel cell, which ends left of the gutter's right offset.
  const int right = m.GutterWidth() - editor->Gutter()->RightOffset() - 2;
  const int continued = m.LineToDisplayRow(1) + 1;
  EXPECT_EQ(GutterPixels(continued, kArrow, right - 15, right), GutterPixels(continued, kArrow));
  ktest::SaveScreenshot(form->Handle(), "editor_wrap_glyphs");
}

TEST_F(EditorGlyphTest, NoMarkWithoutWordWrapOrWhenTheGlyphIsHidden) {
  struct Case {
    const char* what;
    bool wordWrap;
    bool visible;
  };
  const Case cases[] = {
      {"word wrap off", false, true},
      {"glyph hidden", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    editor->Lines()->Clear();
    AddWrappedText();
    editor->SetWordWrap(c.wordWrap);
    editor->WordWrapGlyph()->SetVisible(c.visible);
    Show();
    const TKedEditModel& m = editor->Model();
    for (int row = 1; row <= m.LinesInWindow(); ++row) EXPECT_EQ(GutterPixels(row, kArrow), 0);
  }
}

TEST_F(EditorGlyphTest, AnOwnPictureIsDrawnInsteadAndRepaintsTheGutterAtOnce) {
  AddWrappedText();
  editor->SetWordWrap(true);
  Show();
  const int continued = editor->Model().LineToDisplayRow(1) + 1;
  ASSERT_GT(GutterPixels(continued, kArrow), 0);

  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(8, 6);
  picture.Fill(clRed);
  picture.SetPixelColor(0, 0, clFuchsia);
  editor->WordWrapGlyph()->SetMaskColor(clFuchsia);
  editor->WordWrapGlyph()->SetGlyph(&picture);
  // No explicit repaint: the glyph's change invalidates the gutter.
  Settle(form->Handle());
  EXPECT_EQ(GutterPixels(continued, kArrow), 0);
  EXPECT_EQ(GutterPixels(continued, static_cast<COLORREF>(clRed)), 8 * 6 - 1);
  EXPECT_EQ(GutterPixels(continued, static_cast<COLORREF>(clFuchsia)), 0);
  EXPECT_EQ(GutterPixels(editor->Model().LineToDisplayRow(2), static_cast<COLORREF>(clRed)), 0);
}

TEST_F(EditorGlyphTest, TheEditorStartsWithTheBuiltInMarkOnLime) {
  TKedGlyph* glyph = editor->WordWrapGlyph();
  EXPECT_TRUE(glyph->Visible());
  EXPECT_TRUE(glyph->Glyph()->Empty());
  EXPECT_EQ(glyph->MaskColor(), clNone);
  EXPECT_EQ(glyph->MaskColorUsed(), clLime);
  ASSERT_NE(glyph->PictureUsed(), nullptr);
  EXPECT_EQ(glyph->GetGlyphWidth(), 15);
}

TEST_F(EditorGlyphTest, WordWrapGlyphIsCopiedInByNameAndItsValuesAreReachable) {
  EXPECT_TRUE(IsPublishedProp(editor, "WordWrapGlyph"));
  EXPECT_EQ(GetObjectProp(editor, "WordWrapGlyph"), editor->WordWrapGlyph());

  TKedGlyph other;  // no internal picture
  other.SetVisible(false);
  other.SetMaskColor(clRed);
  SetObjectProp(editor, "WordWrapGlyph", &other);
  // Copied, not taken over: the editor keeps its own object.
  EXPECT_EQ(GetObjectProp(editor, "WordWrapGlyph"), editor->WordWrapGlyph());
  EXPECT_FALSE(editor->WordWrapGlyph()->Visible());
  EXPECT_EQ(editor->WordWrapGlyph()->MaskColor(), clRed);
  EXPECT_EQ(editor->WordWrapGlyph()->PictureUsed(), nullptr);

  SetPropValue(editor, "WordWrapGlyph.Visible", "True");
  EXPECT_TRUE(editor->WordWrapGlyph()->Visible());
  EXPECT_EQ(GetPropValue(editor, "WordWrapGlyph.Visible"), "True");
}

TEST_F(EditorGlyphTest, BookmarkPicturesAreLoadedOnFirstUseAndSharedUntilTheLastEditorGoes) {
  const int before = TKedInternalImage::CachedStripCount();
  TKedInternalImage* images = editor->InternalBookmarkImage();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 10);
  EXPECT_EQ(images->Width(), 11);
  EXPECT_EQ(images->Height(), 14);
  EXPECT_EQ(editor->InternalBookmarkImage(), images);
  EXPECT_EQ(TKedInternalImage::CachedStripCount(), before + 1);

  auto* second = new TKedEdit(form);
  EXPECT_EQ(second->InternalBookmarkImage()->Images(), images->Images());
  EXPECT_EQ(TKedInternalImage::CachedStripCount(), before + 1);
  delete second;
  EXPECT_EQ(TKedInternalImage::CachedStripCount(), before + 1);
  delete form;
  form = nullptr;
  EXPECT_EQ(TKedInternalImage::CachedStripCount(), before);
}

}  // namespace
