// The editor control on a real window: the text drawer's shared fonts and cell widths, and
// what the control paints (gutter, token and selection colours) as solid colours.
#include "editor/KedEditWin32.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/KedEditKeyCmds.h"
#include "editor/KedHighlighterSQL.h"
#include "editor/KedTextDrawerWin32.h"
#include "framework/FormsWin32.h"
#include "tests/support/MessagePumpWin32.h"
#include "tests/support/ScreenshotWin32.h"

namespace {

using ktest::Pump;
using ktest::Settle;

std::unique_ptr<TFont> MakeFont(const std::string& name, int size) {
  auto font = std::make_unique<TFont>();
  font->SetName(name);
  font->SetSize(size);
  return font;
}

TEST(TextDrawerTest, EqualFontsShareOneRecordUntilTheLastStockGoes) {
  auto font = MakeFont("Courier New", 10);
  const int before = GetFontsInfoManager().Count();
  auto first = std::make_unique<TheFontStock>(font.get());
  {
    TheFontStock second(font.get());
    ASSERT_EQ(first->FontsInfo(), second.FontsInfo());
    EXPECT_EQ(first->FontsInfo()->RefCount, 2);
    EXPECT_EQ(GetFontsInfoManager().Count(), before + 1);
  }
  // The other stock still draws with the shared handle.
  EXPECT_EQ(first->FontsInfo()->RefCount, 1);
  EXPECT_NE(first->FontHandle(), nullptr);
  EXPECT_GT(first->CharAdvance(), 0);
  first.reset();
  EXPECT_EQ(GetFontsInfoManager().Count(), before);
}

TEST(TextDrawerTest, StylesAreVariantsOfOneRecord) {
  auto font = MakeFont("Courier New", 10);
  TheFontStock stock(font.get());
  stock.SelectStyle(StyleToPattern({fsBold}));
  HFONT bold = stock.FontHandle();
  stock.SelectStyle(StyleToPattern({fsItalic, fsUnderline}));
  EXPECT_NE(stock.FontHandle(), bold);
  stock.SelectStyle(StyleToPattern({fsBold}));
  EXPECT_EQ(stock.FontHandle(), bold);  // made once, then reused
  auto italic = MakeFont("Courier New", 10);
  italic->SetStyle({fsItalic});
  TheFontStock other(italic.get());
  EXPECT_EQ(other.FontsInfo(), stock.FontsInfo());  // italic is a variant, not another font
}

TEST(TextDrawerTest, CellWidthsGrowInStepsOfSixtyFour) {
  auto font = MakeFont("Courier New", 10);
  TheTextDrawer drawer({fsBold}, font.get());
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  drawer.StartDrawing(dc);
  const std::string text(64, 'x');
  drawer.CellTextOut(0, 0, 0, {0, 0, 10, 10}, text.data(), 64);
  EXPECT_EQ(drawer.CellWidthCount(), 128);
  drawer.CellTextOut(0, 0, 0, {0, 0, 10, 10}, text.data(), 10);
  EXPECT_EQ(drawer.CellWidthCount(), 128);
  drawer.StartDrawing(dc);  // nested on the same DC
  EXPECT_EQ(drawer.DrawingCount(), 2);
  drawer.FinishDrawing();
  drawer.FinishDrawing();
  EXPECT_THROW(drawer.FinishDrawing(), EAssertionFailed);
  DeleteDC(dc);
}

TEST(TextDrawerTest, AMissingFontIsRefusedWithItsMessage) {
  auto font = MakeFont("Courier New", 10);
  TheTextDrawer drawer({fsBold}, font.get());
  try {
    drawer.SetBaseFont(nullptr);
    FAIL() << "no exception";
  } catch (const EheTextDrawerException& e) {
    EXPECT_STREQ(e.what(), "SetBaseFont: 'Value' must be specified.");
  }
  EXPECT_THROW(TheFontStock{nullptr}, EheFontStockException);
}

class TTestForm : public TForm {
  K_CLASS(TTestForm, TForm)
  explicit TTestForm(TComponent* owner) : TForm(owner) {}
};

class EditorWindowTest : public ::testing::Test {
 protected:
  EditorWindowTest() {
    form = new TTestForm(Application);
    form->SetBounds(40, 40, 520, 340);
    sql = new TKedSQLHl(form);
    editor = new TKedEdit(form);
    editor->SetParent(form);
    editor->SetBounds(10, 10, 480, 280);
    editor->SetBorderStyle(bsNone);
    editor->SetColor(clWhite);
    editor->Gutter()->SetShowLineNumbers(true);
    editor->Gutter()->SetColor(clYellow);
    editor->Gutter()->SetBorderStyle(gbsNone);
    sql->SpaceAttri()->SetBackground(clAqua);
    sql->KeyAttri()->SetForeground(clBlue);
    editor->SetHighlighter(sql);
  }
  ~EditorWindowTest() override { delete form; }

  void Show() {
    form->Show();
    Pump();
    Settle(form->Handle());
  }

  COLORREF Pixel(int x, int y) { return ktest::ClientPixel(editor->Handle(), x, y); }
  // A point inside the cell of a column and row, away from glyph edges.
  COLORREF CellPixel(int column, int row) {
    const TKedEditModel& m = editor->Model();
    return Pixel(m.TextOffset() + (column - 1) * m.CharWidth() + 1,
                 (row - m.TopLine()) * m.LineHeight() + 1);
  }

  TTestForm* form;
  TKedSQLHl* sql;
  TKedEdit* editor;
};

TEST_F(EditorWindowTest, PaintsGutterTokensAndTheAreaBelowTheText) {
  editor->Lines()->Add("select    x");
  editor->Lines()->Add("  from t");
  Show();
  const TKedEditModel& m = editor->Model();
  ASSERT_GT(m.CharWidth(), 0);
  ASSERT_GT(m.GutterWidth(), 0);
  EXPECT_EQ(Pixel(1, 1), static_cast<COLORREF>(clYellow));
  EXPECT_EQ(Pixel(1, m.LineHeight() * 5), static_cast<COLORREF>(clYellow));
  // Blanks are whitespace tokens: their cells are solid in its background.
  EXPECT_EQ(CellPixel(8, 1), static_cast<COLORREF>(clAqua));
  EXPECT_EQ(CellPixel(1, 2), static_cast<COLORREF>(clAqua));
  // Below the text and right of it: the whitespace background (the line background).
  EXPECT_EQ(CellPixel(3, 6), static_cast<COLORREF>(clAqua));
  ktest::SaveScreenshot(form->Handle(), "editor_tokens");
}

TEST_F(EditorWindowTest, TheControlsColourPaintsTheTextArea) {
  editor->SetHighlighter(nullptr);
  editor->Lines()->Add("x");
  Show();
  editor->SetColor(clLime);
  Settle(form->Handle());
  EXPECT_EQ(CellPixel(3, 1), static_cast<COLORREF>(clLime));
  EXPECT_EQ(CellPixel(3, 4), static_cast<COLORREF>(clLime));
}

TEST_F(EditorWindowTest, SelectionAndSpecialLinesPaintTheirColours) {
  editor->Lines()->Add("a        b");
  editor->Lines()->Add("c        d");
  editor->SelectedColor()->SetBackground(clFuchsia);
  editor->Model().OnSpecialLineColors = [](TObject*, int line, bool& special, TColor& fg,
                                           TColor& bg) {
    if (line != 2) return;
    special = true;
    fg = clRed;
    bg = clLime;
  };
  Show();
  editor->Model().SetSelBegin({3, 1});
  editor->Model().SetSelEnd({6, 1});
  Settle(form->Handle());
  EXPECT_EQ(CellPixel(4, 1), static_cast<COLORREF>(clFuchsia));
  EXPECT_EQ(CellPixel(8, 1), static_cast<COLORREF>(clAqua));
  EXPECT_EQ(CellPixel(4, 2), static_cast<COLORREF>(clLime));
  // On a special line the selection swaps its colours.
  editor->Model().SetSelBegin({3, 2});
  editor->Model().SetSelEnd({6, 2});
  Settle(form->Handle());
  EXPECT_EQ(CellPixel(4, 2), static_cast<COLORREF>(clRed));
  ktest::SaveScreenshot(form->Handle(), "editor_selection");
}

TEST_F(EditorWindowTest, APaintedLastScreenOfALongTextShowsItsLineNumbers) {
  for (int i = 0; i < 5000; ++i) editor->Lines()->Add("insert into t values (1);");
  Show();
  editor->Model().SetCaretPos({1, 5000});
  Settle(form->Handle());
  const TKedEditModel& m = editor->Model();
  EXPECT_EQ(m.TopLine(), 5000 - m.LinesInWindow() + 1);
  EXPECT_EQ(m.RangesValid(), 4999);
  ktest::SaveScreenshot(form->Handle(), "editor_last_screen");
}

TEST_F(EditorWindowTest, AGradientGutterIsPaintedInBandsAcrossItsWidth) {
  editor->Lines()->Add("x");
  editor->Gutter()->SetGradient(true);
  editor->Gutter()->SetGradientStartColor(clRed);
  editor->Gutter()->SetGradientEndColor(clBlue);
  editor->Gutter()->SetGradientSteps(2);
  Show();
  const int gw = editor->Model().GutterWidth();
  const int below = editor->Model().LineHeight() * 4;
  EXPECT_EQ(Pixel(1, below), static_cast<COLORREF>(clRed));
  EXPECT_EQ(Pixel(gw - 3, below), static_cast<COLORREF>(clBlue));
  ktest::SaveScreenshot(form->Handle(), "editor_gradient_gutter");
}

TEST_F(EditorWindowTest, TransientPaintingBracketsEveryCaretMove) {
  editor->Lines()->Add("abc");
  Show();
  std::vector<TTransientType> seen;
  editor->OnPaintTransient = [&](TObject*, TCanvas* canvas, TTransientType type) {
    EXPECT_NE(canvas, nullptr);
    seen.push_back(type);
  };
  editor->Model().SetCaretPos({3, 1});
  EXPECT_EQ(seen, (std::vector<TTransientType>{ttBefore, ttAfter}));
  seen.clear();
  Settle(form->Handle());  // each paint ends with one
  editor->Invalidate();
  Settle(form->Handle());
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), ttAfter);
}

TEST_F(EditorWindowTest, TheRightEdgeIsDrawnOverRowsAndTheAreaBelowThem) {
  editor->Lines()->Add("short");
  editor->SetRightEdge(10);
  editor->SetRightEdgeColor(clRed);
  editor->SetActiveLineColor(clLime);
  Show();
  const TKedEditModel& m = editor->Model();
  const int x = 10 * m.CharWidth() + m.TextOffset();
  EXPECT_EQ(Pixel(x, 1), static_cast<COLORREF>(clRed));
  EXPECT_EQ(Pixel(x, m.LineHeight() * 5), static_cast<COLORREF>(clRed));
  EXPECT_EQ(Pixel(x + 2, m.LineHeight() * 5), static_cast<COLORREF>(clAqua));
  // The caret line takes the active line colour, its blanks and the rest of its row too.
  EXPECT_EQ(CellPixel(20, 1), static_cast<COLORREF>(clLime));
}

TEST_F(EditorWindowTest, AProportionalFontIsReplacedByAFixedPitchOne) {
  auto arial = MakeFont("Arial", 12);
  arial->SetStyle({fsItalic});
  arial->SetColor(clMaroon);
  editor->SetFont(arial.get());
  EXPECT_EQ(editor->Font()->Name(), "Arial");
  EXPECT_EQ(editor->Font()->Pitch(), fpFixed);
  EXPECT_EQ(editor->Font()->Size(), 12);
  EXPECT_TRUE(editor->Font()->Style().Contains(fsItalic));
  EXPECT_EQ(editor->Font()->Color(), clMaroon);
}

TEST_F(EditorWindowTest, DroppedFilesAreAcceptedAsSoonAsTheOptionIsSet) {
  Show();
  auto accepts = [&] {
    return (GetWindowLongA(editor->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
  };
  EXPECT_FALSE(accepts());
  editor->SetOptions(editor->Options() + eoDropFiles);
  EXPECT_TRUE(accepts());
  editor->SetOptions(editor->Options() - eoDropFiles);
  EXPECT_FALSE(accepts());
}

TEST_F(EditorWindowTest, AFreedHighlighterOnlyLeavesTheEditor) {
  editor->Lines()->Add("select 1");
  Show();
  delete sql;
  sql = nullptr;
  EXPECT_EQ(editor->Highlighter(), nullptr);
  editor->Invalidate();
  Settle(form->Handle());
  EXPECT_EQ(CellPixel(7, 1), static_cast<COLORREF>(clWhite));
}

TEST_F(EditorWindowTest, GetTextCopiesAtMostTheBufferAndNothingIntoAnEmptyOne) {
  editor->Lines()->Add("0123456789");
  editor->Lines()->Add("abc");
  Show();
  char buffer[10];
  std::memset(buffer, '#', sizeof(buffer));
  EXPECT_EQ(SendMessageA(editor->Handle(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[0], '#') << "a zero-sized buffer is not written";
  EXPECT_EQ(SendMessageA(editor->Handle(), WM_GETTEXT, 10, reinterpret_cast<LPARAM>(buffer)), 9);
  EXPECT_STREQ(buffer, "012345678");
  char whole[32];
  EXPECT_EQ(SendMessageA(editor->Handle(), WM_GETTEXT, 32, reinterpret_cast<LPARAM>(whole)), 15);
  EXPECT_STREQ(whole, "0123456789\r\nabc");
  EXPECT_EQ(SendMessageA(editor->Handle(), WM_GETTEXTLENGTH, 0, 0), 15);
}

TEST_F(EditorWindowTest, DroppedFileNamesArriveWhole) {
  Show();
  const std::string longName = "C:\\" + std::string(300, 'n') + ".sql";
  std::vector<std::string> received;
  editor->OnDropFiles = [&](TObject*, int, int, TStrings* files) {
    for (int i = 0; i < files->Count(); ++i) received.push_back(files->Get(i));
  };
  // A drop as the shell hands it over: DROPFILES, then the names, each ending with a zero.
  const std::string names = longName + '\0' + "C:\\b.sql" + '\0' + '\0';
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(DROPFILES) + names.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  *drop = DROPFILES{};
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
  GlobalUnlock(memory);
  SendMessageA(editor->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0], longName);
  EXPECT_EQ(received[1], "C:\\b.sql");
}

TEST_F(EditorWindowTest, AGutterClickUnderWordWrapNamesTheLine) {
  editor->Lines()->Add(std::string(300, 'x'));  // wraps over several rows
  editor->Lines()->Add("second");
  editor->SetWordWrap(true);
  Show();
  const TKedEditModel& m = editor->Model();
  const int row = m.LineToDisplayRow(2);
  ASSERT_GT(row, 2);
  int clickedLine = 0;
  editor->OnGutterClick = [&](TObject*, TMouseButton, int, int, int line, TKedEditMark*) {
    clickedLine = line;
  };
  const LPARAM at = MAKELPARAM(2, (row - 1) * m.LineHeight() + 2);
  SendMessageA(editor->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(editor->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(clickedLine, 2);
}

TEST_F(EditorWindowTest, ForeignClipboardDataPastesSafely) {
  editor->Lines()->Add("ab");
  Show();
  const UINT own = RegisterClipboardFormatA("KedEdit Control Block Type");
  auto put = [&](UINT format, const std::string& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
  };
  // An unknown mode byte reads as plain text; a text without its zero stops at the block's end.
  ASSERT_TRUE(OpenClipboard(editor->Handle()));
  EmptyClipboard();
  put(own, std::string("\x07XY", 3));
  CloseClipboard();
  editor->Model().SetCaretAndCollapse({2, 1});
  editor->PasteFromClipboard();
  EXPECT_EQ(editor->Lines()->Get(0).substr(0, 4), "aXYb");
  // Nothing pastable: nothing changes.
  ASSERT_TRUE(OpenClipboard(editor->Handle()));
  EmptyClipboard();
  CloseClipboard();
  editor->PasteFromClipboard();
  EXPECT_EQ(editor->Lines()->Get(0).substr(0, 4), "aXYb");
}

TEST_F(EditorWindowTest, ABookmarkIsDrawnInTheGutterOfItsLine) {
  for (int i = 0; i < 5; ++i) editor->Lines()->Add("line");
  editor->Gutter()->SetShowLineNumbers(false);
  editor->Gutter()->SetWidth(30);
  Show();
  const TKedEditModel& m = editor->Model();
  auto markedPixels = [&](int line) {
    int count = 0;
    const int top = (line - 1) * m.LineHeight();
    for (int y = top; y < top + m.LineHeight(); ++y)
      for (int x = 0; x < 20; ++x)
        if (Pixel(x, y) != static_cast<COLORREF>(clYellow)) ++count;
    return count;
  };
  EXPECT_EQ(markedPixels(3), 0);
  editor->Model().SetBookmark(4, 1, 3);
  Settle(form->Handle());
  EXPECT_GT(markedPixels(3), 10);
  EXPECT_EQ(markedPixels(2), 0);
  editor->Model().RunCommand(ecGotoMarker0, '\0', nullptr);  // no bookmark 0: nothing moves
  editor->Model().ClearBookmark(4);
  Settle(form->Handle());
  EXPECT_EQ(markedPixels(3), 0);
}

}  // namespace
