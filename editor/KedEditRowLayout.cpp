// How one display row of the editor is painted: its tokens, colours, selection and special
// characters as pixel runs. Only the columns shown are expanded, tokenized and laid out, so
// a line of megabytes costs what its visible part costs.
#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/KedEditHighlighter.h"
#include "editor/KedEditModel.h"

namespace {

constexpr char kSpaceGlyph = '\xB7';
constexpr char kLineEndGlyph = '\xB6';
constexpr char kTabGlyph = '\xBB';

struct Cell {
  char Ch = 0;
  bool HasChar = false;
  bool TabFill = false;  // a cell a tab spans: blank even with the special characters
  TColor Fg = clNone;
  TColor Bg = clNone;
  TFontStyles Style;
};

}  // namespace

TKedEditModel::TokenCheckpoints* TKedEditModel::CheckpointsFor(int line, std::string_view text,
                                                               bool create) {
  for (auto& c : checkpoints_)
    if (c.Line == line && c.Data == text.data() && c.Size == text.size()) return &c;
  if (!create) return nullptr;
  // A few screens of lines; older ones are dropped all at once.
  if (checkpoints_.size() >= 512) checkpoints_.clear();
  checkpoints_.push_back({line, text.data(), text.size(), {}});
  return &checkpoints_.back();
}

TColor TKedEditModel::LineBackground(int line) const {
  if (activeLineColor_ != clNone && line == caretY_) return activeLineColor_;
  if (highlighter_) {
    if (TKedHighlighterAttributes* ws = highlighter_->DefaultAttribute(4);
        ws && ws->Background() != clNone)
      return ws->Background();
  }
  return color_;
}

std::vector<TKedPaintRun> TKedEditModel::PaintRow(int row, int firstColumn, int lastColumn,
                                                  int /*clipLeft*/, int clipRight) {
  std::vector<TKedPaintRun> runs;
  const int line = DisplayRowToLine(row);
  const int count = lines_->Count();
  const int cw = std::max(charWidth_, 1);
  auto columnX = [&](int column) { return (column - 1) * cw + textOffset_; };
  if (line < 1 || line > count || lastColumn < firstColumn) {
    runs.push_back({columnX(firstColumn), clipRight, {}, fontColor_, LineBackground(line), {}});
    return runs;
  }

  // Expanded columns before this row and the row's width (word wrap splits lines).
  int offset = 0;
  int rowWidth = INT_MAX;
  if (wordWrap_) {
    offset = wordWrap_->RowToTextPos({1, row}).Char - 1;
    rowWidth = wordWrap_->RowLength(row);
  }
  // The line as shown: a line without tabs is used in place; one with tabs is expanded
  // only as far as this row shows it, so a huge line costs what its visible part costs.
  const std::string_view raw = lines_->LineView(line - 1);
  std::string expanded;
  std::string_view text = raw;
  int fullLength = static_cast<int>(raw.size());
  if (lines_->LineHasTabs(line - 1)) {
    const int64_t shown = static_cast<int64_t>(offset) + lastColumn + 1;
    const size_t tab = static_cast<size_t>(std::max(tabWidth_, 1));
    for (char c : raw) {
      if (static_cast<int64_t>(expanded.size()) >= shown) break;
      if (c == '\t')
        expanded.append(tab - expanded.size() % tab, ' ');
      else
        expanded.push_back(c);
    }
    text = expanded;
    fullLength = lines_->GetExpandedLength(line - 1);
  }
  const int length = static_cast<int>(text.size());
  // Tabs of the raw line as runs of expanded columns (0-based start, length), as far as shown.
  std::vector<std::pair<int, int>> tabRuns;
  if (!expanded.empty()) {
    int count = 0;
    const int64_t limit = static_cast<int64_t>(offset) + lastColumn;
    for (char c : raw) {
      if (count > limit) break;
      const int next = c == '\t' ? (count / tabWidth_ + 1) * tabWidth_ : count + 1;
      if (c == '\t') tabRuns.emplace_back(count, next - count);
      count = next;
    }
  }

  const bool showSpecial = options_.Contains(eoShowSpecialChars);

  // Colours of the line.
  TColor fg = fontColor_;
  TColor bg = LineBackground(line);
  bool special = false;
  if (OnSpecialLineColors) OnSpecialLineColors(sender_, line, special, fg, bg);
  const TColor selFg = special ? bg : selectedColor_->Foreground();
  const TColor selBg = special ? fg : selectedColor_->Background();

  const int width = lastColumn - firstColumn + 1;
  std::vector<Cell> cells(static_cast<size_t>(width));
  for (Cell& c : cells) {
    c.Fg = fg;
    c.Bg = bg;
  }
  // Index into the expanded text of a row column, or -1 outside the row's text.
  auto textIndex = [&](int column) {
    if (column > rowWidth) return -1;
    const int64_t i = static_cast<int64_t>(offset) + column - 1;
    return i < length ? static_cast<int>(i) : -1;
  };
  for (int col = firstColumn; col <= lastColumn; ++col) {
    const int i = textIndex(col);
    if (i < 0) continue;
    Cell& c = cells[static_cast<size_t>(col - firstColumn)];
    c.HasChar = true;
    c.Ch = text[static_cast<size_t>(i)];
    c.Style = fontStyle_;
  }
  for (const auto& [start, span] : tabRuns) {
    for (int i = start; i < start + span; ++i) {
      const int col = i - offset + 1;
      if (col >= firstColumn && col <= lastColumn && col <= rowWidth)
        cells[static_cast<size_t>(col - firstColumn)].TabFill = true;
    }
  }

  const bool caretLine = line == caretY_;
  auto tokenColours = [&](TKedHighlighterAttributes* attr, TColor& tfg, TColor& tbg,
                          TFontStyles& style) {
    tfg = attr ? attr->Foreground() : fg;
    tbg = attr ? attr->Background() : bg;
    style = attr ? attr->Style() : fontStyle_;
    if (tbg == clNone || (activeLineColor_ != clNone && caretLine)) tbg = LineBackground(line);
    if (tfg == clNone) tfg = fontColor_;
    if (special) {
      tbg = bg;
      if (!options_.Contains(eoSpecialLineDefaultFg)) tfg = fg;
    }
  };

  // Tokens of the shown part; the scan stops at the first token right of it.
  TKedHighlighterAttributes* lastAttr = nullptr;
  bool reachedEnd = true;
  if (highlighter_ && highlighter_->Enabled()) {
    EnsureRangesThrough(line - 2);
    const int64_t firstIndex = static_cast<int64_t>(offset) + firstColumn - 1;
    const int64_t lastIndex = static_cast<int64_t>(offset) + std::min(lastColumn, rowWidth) - 1;
    // Long lines shown far from their start resume at the nearest recorded token start.
    constexpr int kCheckpointDistance = 1 << 14;
    const bool longLine = expanded.empty() && length > kCheckpointDistance;
    TokenCheckpoints* checkpoints = longLine ? CheckpointsFor(line, text, true) : nullptr;
    int base = 0;
    if (checkpoints) {
      for (const auto& [pos, range] : checkpoints->Points) {
        if (pos > firstIndex) break;
        base = pos;
      }
    }
    if (base > 0) {
      TKedHighlighterRange range = 0;
      for (const auto& point : checkpoints->Points)
        if (point.first == base) range = point.second;
      highlighter_->RestoreRange(range);
      highlighter_->StartLine(text.substr(static_cast<size_t>(base)), line - 1);
    } else {
      if (line == 1)
        highlighter_->ClearRange();
      else
        highlighter_->RestoreRange(lines_->GetLineRange(line - 2));
      highlighter_->StartLine(text, line - 1);
    }
    int nextCheckpoint = checkpoints && !checkpoints->Points.empty()
                             ? checkpoints->Points.back().first + kCheckpointDistance
                             : kCheckpointDistance;
    while (!highlighter_->AtLineEnd()) {
      const int p = base + highlighter_->TokenStart();
      TKedHighlighterAttributes* attr = highlighter_->TokenAttribute();
      if (p > lastIndex) {
        reachedEnd = false;
        break;
      }
      const TKedHighlighterRange rangeBefore = highlighter_->CurrentRange();
      highlighter_->ScanNextToken();
      const int n = (highlighter_->AtLineEnd() ? length : base + highlighter_->TokenStart()) - p;
      if (checkpoints && !highlighter_->AtLineEnd() && p + n >= nextCheckpoint) {
        // The next token starts here with the range the scanner had before reading it.
        checkpoints->Points.emplace_back(p + n, rangeBefore);
        nextCheckpoint = p + n + kCheckpointDistance;
      }
      lastAttr = attr;
      if (p + n <= firstIndex) continue;
      TColor tfg, tbg;
      TFontStyles style;
      tokenColours(attr, tfg, tbg, style);
      const int from = static_cast<int>(std::max<int64_t>(p, firstIndex));
      const int to = static_cast<int>(std::min<int64_t>(p + n - 1, lastIndex));
      for (int i = from; i <= to; ++i) {
        Cell& c = cells[static_cast<size_t>(i - offset - firstColumn + 1)];
        c.Fg = tfg;
        c.Bg = tbg;
        c.Style = style;
      }
    }
  }

  // Special characters: blanks as dots, the line end as a pilcrow.
  const int lineEndColumn = fullLength - offset + 1;  // the column after the row's last character
  const bool rowHoldsLineEnd = rowWidth == INT_MAX || lineEndColumn <= rowWidth + 1;
  if (showSpecial) {
    for (Cell& c : cells)
      if (c.HasChar && c.Ch == ' ' && !c.TabFill) c.Ch = kSpaceGlyph;
    if (rowHoldsLineEnd && reachedEnd && lineEndColumn >= firstColumn &&
        lineEndColumn <= lastColumn) {
      Cell& c = cells[static_cast<size_t>(lineEndColumn - firstColumn)];
      c.HasChar = true;
      c.Ch = kLineEndGlyph;
      c.Style = {};
      TKedHighlighterAttributes* attr = nullptr;
      if (highlighter_) {
        attr = lastAttr && lastAttr == highlighter_->DefaultAttribute(0)
                   ? lastAttr
                   : highlighter_->DefaultAttribute(4);
      }
      TFontStyles unused;
      tokenColours(attr, c.Fg, c.Bg, unused);
    }
  }
  for (Cell& c : cells)
    if (c.HasChar && c.TabFill) c.Ch = ' ';

  // Selected columns of this row.
  int selStart = 0;
  int selEnd = 0;  // exclusive
  const bool selectionShown =
      HasSelection() && !(hideSelection_ && !(host_ && host_->HostFocused()));
  if (selectionShown) {
    const TBufferCoord s = GetSelBegin();
    const TBufferCoord e = GetSelEnd();
    TDisplayPos sd = TextToDisplayPos(s);
    TDisplayPos ed = TextToDisplayPos(e);
    const TKedSelectionMode mode = activeSelectionMode_;
    if (mode == TKedSelectionMode::smColumn && ed.Column < sd.Column)
      std::swap(sd.Column, ed.Column);
    if (mode == TKedSelectionMode::smLine) {
      sd.Row = LineToDisplayRow(s.Line);
      ed.Row = wordWrap_ ? LineToDisplayRow(e.Line + 1) - 1 : e.Line;
    }
    if (row >= sd.Row && row <= ed.Row) {
      selStart = firstColumn;
      selEnd = lastColumn + 2;  // reaches into the fill right of the last column
      const bool column = mode == TKedSelectionMode::smColumn;
      const bool normal = mode == TKedSelectionMode::smNormal;
      if (column || (normal && row == sd.Row)) {
        if (sd.Column > lastColumn + 1)
          selStart = selEnd = 0;
        else if (sd.Column > firstColumn)
          selStart = sd.Column;
      }
      if (selEnd > 0 && (column || (normal && row == ed.Row))) {
        if (ed.Column < firstColumn)
          selStart = selEnd = 0;
        else if (ed.Column <= lastColumn + 1)
          selEnd = ed.Column;
      }
    }
  }
  auto selected = [&](int column) { return column >= selStart && column < selEnd; };
  for (int col = firstColumn; col <= lastColumn; ++col) {
    if (!selected(col)) continue;
    Cell& c = cells[static_cast<size_t>(col - firstColumn)];
    c.Fg = selFg;
    c.Bg = selBg;
  }

  // Cells with equal looks become one run; blanks past the text are fills.
  for (int col = firstColumn; col <= lastColumn;) {
    const Cell& c = cells[static_cast<size_t>(col - firstColumn)];
    int end = col + 1;
    while (end <= lastColumn) {
      const Cell& d = cells[static_cast<size_t>(end - firstColumn)];
      if (d.HasChar != c.HasChar || d.Fg != c.Fg || d.Bg != c.Bg || !(d.Style == c.Style)) break;
      ++end;
    }
    TKedPaintRun run{columnX(col), columnX(end), {},
                     c.Fg,         c.Bg,         c.HasChar ? c.Style : TFontStyles{}};
    if (c.HasChar) {
      run.Text.reserve(static_cast<size_t>(end - col));
      for (int k = col; k < end; ++k) run.Text += cells[static_cast<size_t>(k - firstColumn)].Ch;
    }
    runs.push_back(std::move(run));
    col = end;
  }
  const int fillX = columnX(lastColumn + 1);
  if (fillX < clipRight) {
    const bool fillSelected = selected(lastColumn + 1);
    runs.push_back(
        {fillX, clipRight, {}, fillSelected ? selFg : fg, fillSelected ? selBg : bg, {}});
  }

  // Tab marks: a "»" in the middle of every tab run that starts in the shown part.
  if (showSpecial) {
    for (const auto& [start, span] : tabRuns) {
      const int col = start - offset + 1;
      if (col < firstColumn || col > lastColumn || col > rowWidth) continue;
      const int markColumn = col + span / 2 - 1;
      const int x = columnX(markColumn) + (span % 2 ? cw : cw / 2);
      const Cell& c = cells[static_cast<size_t>(col - firstColumn)];
      runs.push_back({x, x + cw, std::string(1, kTabGlyph), c.Fg, c.Bg, {}});
    }
  }
  return runs;
}
