#include "editor/KedEditModel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "editor/KedEditHighlighter.h"
#include "editor/KedEditKeyCmds.h"
#include "editor/KedEditMiscProcs.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

namespace {

constexpr int kMaxChar = INT_MAX;

// Runs f under the painting lock and unlocks on every path, so pending work is flushed
// once; an exception passes through after the lock is released.
template <class F>
void WithLock(TKedEditModel& model, F&& f) {
  model.LockPainting();
  {
    TScopeExit cleanup([&] { model.UnlockPainting(); });
    f();
  }
}

bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

TRect UnionRect(const TRect& a, const TRect& b) {
  if (IsEmptyRect(a)) return b;
  if (IsEmptyRect(b)) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

int NextColumnCount(char c, int count, int tabWidth) {
  return c == '\t' ? (count / tabWidth + 1) * tabWidth : count + 1;
}

}  // namespace

int KedColumnToChar(std::string_view line, int column, int tabWidth) {
  int count = 0;
  const int length = static_cast<int>(line.size());
  for (int i = 0; i < length; ++i) {
    const int next = NextColumnCount(line[static_cast<size_t>(i)], count, tabWidth);
    if (next >= column) {
      int result = i + 1;
      if (IsKedTrailByteAt(line, result)) ++result;
      return result;
    }
    count = next;
  }
  return length + std::max(column - count, 1);
}

TKedCaretShape KedCaretShape(TKedEditCaretType type, int charWidth, int lineHeight) {
  switch (type) {
    case ctHorizontalLine:
      return {charWidth, 2, {0, lineHeight - 2}};
    case ctHalfBlock: {
      const int h = (lineHeight - 2) / 2;
      return {charWidth, h, {0, h}};
    }
    case ctBlock:
      return {charWidth, lineHeight - 2, {0, 0}};
    case ctVerticalLine:
    default:
      return {2, lineHeight - 2, {-1, 0}};
  }
}

TKedEditModel::TKedEditModel(IKedEditHost* host, TObject* sender)
    : host_(host),
      sender_(sender),
      lines_(std::make_unique<TKedEditStringList>()),
      undoList_(std::make_unique<TKedEditUndoList>()),
      redoList_(std::make_unique<TKedEditUndoList>()),
      gutter_(std::make_unique<TKedGutter>()),
      selectedColor_(std::make_unique<TKedSelectedColor>()),
      keystrokes_(std::make_unique<TKedEditKeyStrokes>()) {
  keystrokes_->LoadDefaultBindings();
  lines_->OnLinesChanged = [this](TObject* s) { LinesChanged(s); };
  lines_->OnLinesChanging = [this](TObject* s) { LinesChanging(s); };
  lines_->OnListCleared = [this](TObject* s) { ListCleared(s); };
  lines_->OnLinesDeleted = [this](TObject* s, int i, int n) { LinesDeleted(s, i, n); };
  lines_->OnLinesInserted = [this](TObject* s, int i, int n) { LinesInserted(s, i, n); };
  lines_->OnLineReplaced = [this](TObject* s, int i, int n) { LineReplaced(s, i, n); };
  selectedColor_->OnChange = [this](TObject*) { InvalidateSelectionLines(); };
  undoList_->OnItemAdded = [this](TObject* list) { UndoListChanged(list); };
  redoList_->OnItemAdded = [this](TObject* list) { UndoListChanged(list); };
  gutter_->OnChange = [this](TObject*) { GutterChanged(); };
  gutterWidth_ = gutter_->Width();
  textOffset_ = gutterWidth_ + 2;
}

TKedEditModel::~TKedEditModel() {
  // The list outlives nothing of ours: its handlers must not reach a half-destroyed model.
  lines_->OnLinesChanged = nullptr;
  lines_->OnLinesChanging = nullptr;
  lines_->OnListCleared = nullptr;
  lines_->OnLinesDeleted = nullptr;
  lines_->OnLinesInserted = nullptr;
  lines_->OnLineReplaced = nullptr;
  wordWrap_.reset();
}

TKedCharSet TKedEditModel::IdentChars() const {
  return highlighter_ ? highlighter_->GetIdentChars() : KedDefaultIdentChars();
}

std::string_view TKedEditModel::LineAt(int line) const { return lines_->LineView(line - 1); }

// ---- properties -----------------------------------------------------------------------

void TKedEditModel::SetKeystrokes(TKedEditKeyStrokes* value) {
  if (value == nullptr)
    keystrokes_->Clear();
  else
    keystrokes_->Assign(value);
}

void TKedEditModel::SetModified(bool value) {
  if (value == modified_) return;
  modified_ = value;
  // A save ends the undo group, so undoing goes back exactly to the saved text.
  if (!value && options_.Contains(eoGroupUndo) && undoList_->HasItems()) undoList_->AddGroupBreak();
  undoList_->RememberSavedState(!value);
  ReportStatusChange({scModified});
}

void TKedEditModel::SetOptions(TKedEditorOptions value) {
  if (value == options_) return;
  const TKedEditorOptions old = options_;
  if (!old.Contains(eoScrollPastEol)) SetLeftChar(leftChar_);
  if (!old.Contains(eoScrollPastEof)) SetTopLine(topLine_);
  const TKedEditorOptions scrollOptions{eoDisableScrollArrows, eoHideShowScrollbars,
                                        eoScrollPastEof, eoScrollPastEol};
  const bool scrollChanged = (old * scrollOptions) != (value * scrollOptions);
  options_ = value;
  SetCaretPos(GetCaretPos());
  if (value.Contains(eoScrollPastEol)) {
    const TBufferCoord begin = blockBegin_;
    const TBufferCoord end = blockEnd_;
    SetSelBegin(begin);
    SetSelEnd(end);
  }
  if (old.Contains(eoShowSpecialChars) != value.Contains(eoShowSpecialChars)) InvalidateAll();
  if (scrollChanged) RefreshScrollBars();
}

void TKedEditModel::SetMaxScrollWidth(int value) {
  value = std::clamp(value, 1, INT_MAX - 1);
  if (value == maxScrollWidth_) return;
  maxScrollWidth_ = value;
  if (options_.Contains(eoScrollPastEol)) RefreshScrollBars();
}

void TKedEditModel::SetTabWidth(int value) {
  value = std::clamp(value, 1, 256);
  if (value == tabWidth_) return;
  tabWidth_ = value;
  lines_->SetTabWidth(value);
  InvalidateAll();
  if (wordWrap_) {
    wordWrap_->RewrapAll();
    InvalidateGutter();
  }
}

int TKedEditModel::MaxUndo() const { return undoList_->MaxActions(); }

void TKedEditModel::SetMaxUndo(int value) {
  if (value < 0) return;
  undoList_->SetMaxActions(value);
  redoList_->SetMaxActions(value);
}

void TKedEditModel::SetRightEdge(int value) {
  if (value == rightEdge_) return;
  rightEdge_ = value;
  InvalidateAll();
}

void TKedEditModel::SetRightEdgeColor(TColor value) {
  if (value == rightEdgeColor_) return;
  rightEdgeColor_ = value;
  const int x = textOffset_ + rightEdge_ * charWidth_;
  Invalidate({x - 1, 0, x + 2, ClientHeight()});
}

void TKedEditModel::SetActiveLineColor(TColor value) {
  if (value == activeLineColor_) return;
  activeLineColor_ = value;
  InvalidateLine(caretY_);
}

void TKedEditModel::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  InvalidateSelectionLines();
}

void TKedEditModel::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  ReportStatusChange({scReadOnly});
}

void TKedEditModel::SetInsertMode(bool value) {
  if (value == insertMode_) return;
  insertMode_ = value;
  ReportStatusChange({scInsertMode});
}

void TKedEditModel::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RefreshScrollBars();
  InvalidateAll();
}

void TKedEditModel::SetWordWrap(bool value) {
  if (value == WordWrap()) return;
  InvalidateAll();
  const bool wasInView = CaretInView();
  const int topLineNumber = DisplayRowToLine(topLine_);
  if (value) {
    wordWrap_ = std::make_unique<TKedWordWrapPlugin>(this);
    SetLeftChar(1);
  } else {
    wordWrap_.reset();
  }
  SetTopLine(LineToDisplayRow(topLineNumber));
  RefreshScrollBars();
  if (options_.Contains(eoScrollPastEol)) {
    SetCaretPos(GetCaretPos());
    const TBufferCoord begin = blockBegin_;
    const TBufferCoord end = blockEnd_;
    SetSelBegin(begin);
    SetSelEnd(end);
  }
  if (wasInView) ScrollToCaret(false);
}

void TKedEditModel::SetHighlighter(TKedCustomHighlighter* value) {
  if (value == highlighter_) return;
  highlighter_ = value;
  rangesValid_ = 0;
  checkpoints_.clear();
  if (wordWrap_) wordWrap_->RewrapAll();
  InvalidateAll();
}

// ---- painting lock and status -----------------------------------------------------------

void TKedEditModel::LockPainting() { ++paintLock_; }

void TKedEditModel::UnlockPainting() {
  // An unbalanced unlock is a programming error; counting below zero would silently
  // turn every later lock into a no-op.
  if (paintLock_ <= 0) throw EAssertionFailed("UnlockPainting without a painting lock");
  if (--paintLock_ > 0 || !HasWindow()) return;
  if (scrollBarUpdatePending_) {
    scrollBarUpdatePending_ = false;
    host_->HostRefreshScrollBars();
  }
  if (wordWrap_ && (statusChanges_.Contains(scCaretX) || statusChanges_.Contains(scCaretY))) {
    const TDisplayPos d = GetCaretDisplayPos();
    if (charsInWindow_ > 0 && d.Column > charsInWindow_ + 1) {
      if (caretAtRowEnd_) {
        caretAtRowEnd_ = false;
      } else if (statusChanges_.Contains(scCaretY)) {
        caretX_ = DisplayToTextPos({charsInWindow_ + 1, d.Row}).Char;
        statusChanges_ += scCaretX;
        RememberCaretColumn();
      }
      caretUpdatePending_ = true;
    }
  }
  if (caretUpdatePending_) UpdateCaret();
  if (statusChanges_ != TKedStatusChanges{}) FireStatusChange();
}

// Under the painting lock, or before there is a window, the refresh waits for the last
// unlock, so a burst of changes refreshes the bars once.
void TKedEditModel::RefreshScrollBars() {
  if (HasWindow() && paintLock_ == 0) {
    scrollBarUpdatePending_ = false;
    host_->HostRefreshScrollBars();
  } else {
    scrollBarUpdatePending_ = true;
  }
}

void TKedEditModel::ReportStatusChange(TKedStatusChanges changes) {
  statusChanges_ += changes;
  if (paintLock_ == 0) FireStatusChange();
}

void TKedEditModel::FireStatusChange() {
  // Without a handler the changes keep accumulating for the first one assigned.
  if (!OnStatusChange) return;
  const TKedStatusChanges changes = statusChanges_;
  statusChanges_ = {};
  OnStatusChange(sender_, changes);
}

// ---- size and metrics ---------------------------------------------------------------------

void TKedEditModel::SetCellSize(int charWidth, int lineHeight) {
  charWidth_ = std::max(charWidth, 0);
  lineHeight_ = std::max(lineHeight, 1);
  textOffset_ = gutterWidth_ + 2 - (leftChar_ - 1) * charWidth_;
  SizeOrFontChanged(true);
}

void TKedEditModel::SizeOrFontChanged(bool fontChanged) {
  if (!HasWindow() || charWidth_ == 0) return;
  charsInWindow_ = std::max(ClientWidth() - gutterWidth_ - 2, 0) / charWidth_;
  linesInWindow_ = ClientHeight() / lineHeight_;
  if (wordWrap_) {
    wordWrap_->NotifyDisplayChanged();
    InvalidateAll();
  }
  if (fontChanged) {
    if (gutter_->ShowLineNumbers())
      GutterChanged();
    else
      host_->HostRefreshScrollBars();
    InvalidateAll();
  } else {
    host_->HostRefreshScrollBars();
  }
  if (!options_.Contains(eoScrollPastEol)) SetLeftChar(leftChar_);
  if (!options_.Contains(eoScrollPastEof)) SetTopLine(topLine_);
}

void TKedEditModel::GutterChanged() {
  if (gutter_->ShowLineNumbers() && gutter_->AutoSize()) gutter_->AdjustDigitCount(lines_->Count());
  const int width = gutter_->ComputeWidth(charWidth_);
  if (width == gutterWidth_)
    InvalidateGutter();
  else
    SetGutterWidth(width);
}

void TKedEditModel::SetGutterWidth(int value) {
  value = std::max(value, 0);
  if (value == gutterWidth_) return;
  gutterWidth_ = value;
  textOffset_ = gutterWidth_ + 2 - (leftChar_ - 1) * charWidth_;
  if (!HasWindow()) return;
  if (charWidth_ > 0) charsInWindow_ = std::max(ClientWidth() - gutterWidth_ - 2, 0) / charWidth_;
  if (wordWrap_) wordWrap_->NotifyDisplayChanged();
  RefreshScrollBars();
  InvalidateAll();
}

// ---- coordinates ---------------------------------------------------------------------------

TDisplayPos TKedEditModel::PixelsToDisplayPos(int x, int y) const {
  const int cw = std::max(charWidth_, 1);
  const int lh = std::max(lineHeight_, 1);
  return {std::max(1, (x - gutterWidth_ - 2) / cw + leftChar_), std::max(1, y / lh + topLine_)};
}

TDisplayPos TKedEditModel::PixelsToNearestDisplayPos(int x, int y) const {
  const int cw = std::max(charWidth_, 1);
  const int lh = std::max(lineHeight_, 1);
  if (y >= linesInWindow_ * lh) y = std::max(linesInWindow_ * lh - 1, 0);
  // Halves go to the even neighbour: the caret lands in the nearest gap between cells.
  const double q = std::nearbyint(static_cast<double>(x - gutterWidth_ - 2) / cw);
  return {std::max(1, static_cast<int>(q) + leftChar_), std::max(1, y / lh + topLine_)};
}

TPoint TKedEditModel::DisplayPosToPixels(const TDisplayPos& pos) const {
  return {(pos.Column - 1) * charWidth_ + textOffset_, (pos.Row - topLine_) * lineHeight_};
}

TDisplayPos TKedEditModel::TextToDisplayPos(const TBufferCoord& pos) const {
  int column = pos.Char;
  if (pos.Line >= 1 && pos.Line <= lines_->Count())
    column = CharIndexToColumn(pos.Char, tabWidth_, LineAt(pos.Line));
  if (wordWrap_) return wordWrap_->TextToRowPos({column, pos.Line});
  return {column, pos.Line};
}

TBufferCoord TKedEditModel::DisplayToTextPos(const TDisplayPos& pos) const {
  TBufferCoord result{pos.Column, pos.Row};
  if (wordWrap_) result = wordWrap_->RowToTextPos(pos);
  if (result.Line >= 1 && result.Line <= lines_->Count())
    result.Char = KedColumnToChar(LineAt(result.Line), result.Char, tabWidth_);
  return result;
}

int TKedEditModel::GetDisplayRowCount() const {
  if (wordWrap_) return lines_->Count() == 0 ? 0 : wordWrap_->GetRowCount();
  return lines_->Count();
}

int TKedEditModel::LineToDisplayRow(int line) const {
  return wordWrap_ ? TextToDisplayPos({1, line}).Row : line;
}

int TKedEditModel::DisplayRowToLine(int row) const {
  return wordWrap_ ? DisplayToTextPos({1, row}).Line : row;
}

TBufferCoord TKedEditModel::CharIndexToTextPos(int64_t index) const {
  int64_t start = 0;
  const int count = lines_->Count();
  for (int i = 0; i < count; ++i) {
    const int64_t end = start + static_cast<int64_t>(lines_->LineView(i).size()) + 2;
    if (end > index) return {static_cast<int>(index - start + 1), i + 1};
    start = end;
  }
  return {1, count + 1};
}

int64_t TKedEditModel::TextPosToCharIndex(const TBufferCoord& pos) const {
  const int upTo = std::min(lines_->Count(), pos.Line);
  int64_t result = 0;
  for (int i = 0; i < upTo - 1; ++i) result += static_cast<int64_t>(lines_->LineView(i).size()) + 2;
  return result + pos.Char - 1;
}

// ---- caret ------------------------------------------------------------------------------------

void TKedEditModel::PlaceCaret(bool ensureVisible, const TBufferCoord& pos) {
  caretAtRowEnd_ = false;
  if (HasWindow()) host_->HostPaintTransient(false);
  MoveCaret(ensureVisible, pos);
  if (HasWindow()) host_->HostPaintTransient(true);
}

void TKedEditModel::MoveCaret(bool ensureVisible, const TBufferCoord& pos) {
  TBufferCoord p = pos;
  const bool pastEol = options_.Contains(eoScrollPastEol);
  int maxChar = wordWrap_ ? kMaxChar : maxScrollWidth_ + 1;
  if (p.Line > lines_->Count()) p.Line = lines_->Count();
  if (p.Line < 1) {
    p.Line = 1;
    if (!pastEol) maxChar = 1;
  } else if (!pastEol) {
    maxChar = static_cast<int>(LineAt(p.Line).size()) + 1;
  }
  if (p.Char > maxChar && !(pastEol && options_.Contains(eoAutoSizeMaxScrollWidth)))
    p.Char = maxChar;
  if (p.Char < 1) p.Char = 1;
  if (p == GetCaretPos()) {
    RememberCaretColumn();
    return;
  }
  WithLock(*this, [&] {
    if (p.Char != caretX_) {
      caretX_ = p.Char;
      statusChanges_ += scCaretX;
    }
    if (p.Line != caretY_) {
      if (activeLineColor_ != clNone) {
        InvalidateLine(p.Line);
        InvalidateLine(caretY_);
      }
      caretY_ = p.Line;
      statusChanges_ += scCaretY;
    }
    RememberCaretColumn();
    if (ensureVisible) EnsureCaretVisible();
    caretUpdatePending_ = true;
    scrollBarUpdatePending_ = true;
  });
}

void TKedEditModel::SetCaretAndCollapse(const TBufferCoord& pos) {
  WithLock(*this, [&] {
    statusChanges_ += scSelection;
    PlaceCaret(true, pos);
    if (HasSelection()) InvalidateSelectionLines();
    blockBegin_ = blockEnd_ = GetCaretPos();
  });
}

void TKedEditModel::SetCaretDisplayPos(const TDisplayPos& pos) {
  WithLock(*this, [&] {
    SetCaretPos(DisplayToTextPos(pos));
    if (wordWrap_ && pos.Row >= 1 && pos.Row <= wordWrap_->GetRowCount() &&
        pos.Column > wordWrap_->RowLength(pos.Row) && GetCaretDisplayPos().Row != pos.Row)
      caretAtRowEnd_ = true;
    RememberCaretColumn();
  });
}

TDisplayPos TKedEditModel::GetCaretDisplayPos() const {
  TDisplayPos d = TextToDisplayPos(GetCaretPos());
  if (wordWrap_ && caretAtRowEnd_ && d.Row > 1) {
    d.Row -= 1;
    d.Column = wordWrap_->RowLength(d.Row) + 1;
  }
  return d;
}

void TKedEditModel::RememberCaretColumn() { lastCaretColumn_ = GetCaretDisplayColumn(); }

bool TKedEditModel::CaretInView() const {
  const TDisplayPos d = GetCaretDisplayPos();
  return d.Column >= leftChar_ && d.Column <= leftChar_ + charsInWindow_ && d.Row >= topLine_ &&
         d.Row <= topLine_ + linesInWindow_;
}

std::string TKedEditModel::GetCaretLineText() const {
  if (caretY_ >= 1 && caretY_ <= lines_->Count()) return lines_->Get(caretY_ - 1);
  return std::string();
}

void TKedEditModel::SetCaretLineText(const std::string& text) {
  if (caretY_ >= 1 && caretY_ <= std::max(1, lines_->Count())) lines_->Put(caretY_ - 1, text);
}

void TKedEditModel::MoveCaretToPixel(int x, int y) {
  TDisplayPos d = PixelsToNearestDisplayPos(x, y);
  d.Row = std::clamp(d.Row, 1, std::max(1, GetDisplayRowCount()));
  SetCaretDisplayPos(d);
}

TKedCaretShape TKedEditModel::CurrentCaretShape() const {
  return KedCaretShape(insertMode_ ? insertCaret_ : overwriteCaret_, charWidth_, lineHeight_);
}

void TKedEditModel::UpdateCaret() {
  if (paintLock_ > 0 || !host_ || !host_->HostFocused()) {
    caretUpdatePending_ = true;
    return;
  }
  caretUpdatePending_ = false;
  TDisplayPos d = GetCaretDisplayPos();
  if (wordWrap_ && d.Column > charsInWindow_ + 1) d.Column = charsInWindow_ + 1;
  const TPoint p = DisplayPosToPixels(d);
  const TKedCaretShape shape = CurrentCaretShape();
  const int x = p.X + shape.Offset.X;
  const int y = p.Y + shape.Offset.Y + 1;
  const bool visible = !options_.Contains(eoNoCaret) && x >= gutterWidth_ && x < ClientWidth() &&
                       y >= 0 && y < ClientHeight();
  host_->HostPlaceCaret(x, y, visible);
}

void TKedEditModel::ScrollToCaret(bool centre) {
  WithLock(*this, [&] {
    const TDisplayPos d = GetCaretDisplayPos();
    if (d.Column < leftChar_)
      SetLeftChar(d.Column);
    else if (d.Column >= leftChar_ + charsInWindow_)
      SetLeftChar(d.Column - charsInWindow_ + 1);
    else
      SetLeftChar(leftChar_);
    const int y = d.Row;
    if (!centre) {
      if (y < topLine_)
        SetTopLine(y);
      else if (y > topLine_ + std::max(1, linesInWindow_) - 1)
        SetTopLine(y - linesInWindow_ + 1);
      else
        SetTopLine(topLine_);
      return;
    }
    // The row just above the view counts as outside it, so a jump there shows it.
    const int half = linesInWindow_ / 2;
    if (y < topLine_)
      SetTopLine(y - half < 0 ? 1 : y - half + 1);
    else if (y > topLine_ + linesInWindow_ - 2)
      SetTopLine(y - linesInWindow_ + 1 + half);
  });
}

// ---- view position -----------------------------------------------------------------------------

void TKedEditModel::SetTopLine(int row) {
  const int rows = GetDisplayRowCount();
  const int largest = options_.Contains(eoScrollPastEof) ? rows : rows - linesInWindow_ + 1;
  row = std::max(1, std::min(row, largest));
  if (row == topLine_) return;
  const int delta = row - topLine_;
  topLine_ = row;
  if (std::abs(delta) < linesInWindow_)
    ScrollArea({0, 0, ClientWidth(), ClientHeight()}, 0, -delta * lineHeight_);
  else
    InvalidateAll();
  RefreshScrollBars();
  ReportStatusChange({scTopLine});
}

void TKedEditModel::SetLeftChar(int column) {
  int largest = 1;
  if (!wordWrap_) {
    if (options_.Contains(eoScrollPastEol) && options_.Contains(eoAutoSizeMaxScrollWidth))
      largest = INT_MAX - charsInWindow_;
    else if (options_.Contains(eoScrollPastEol))
      largest = maxScrollWidth_ - charsInWindow_ + 1;
    else {
      // Measures the text once; the list caches the longest line until it changes.
      const int longest = lines_->GetLongestLineLength();
      largest = longest > charsInWindow_ ? longest - charsInWindow_ + 1 : 1;
    }
  }
  column = std::max(1, std::min(column, largest));
  if (column == leftChar_) return;
  const int delta = column - leftChar_;
  leftChar_ = column;
  textOffset_ = gutterWidth_ + 2 - (leftChar_ - 1) * charWidth_;
  if (std::abs(delta) < charsInWindow_)
    ScrollArea({gutterWidth_ + 2, 0, ClientWidth(), ClientHeight()}, -delta * charWidth_, 0);
  else
    Invalidate({gutterWidth_, 0, ClientWidth(), ClientHeight()});
  if (options_.Contains(eoScrollPastEol) && options_.Contains(eoAutoSizeMaxScrollWidth) &&
      static_cast<int64_t>(leftChar_) + charsInWindow_ > maxScrollWidth_)
    SetMaxScrollWidth(leftChar_ + charsInWindow_);
  else
    RefreshScrollBars();
  ReportStatusChange({scLeftChar});
}

// ---- selection ------------------------------------------------------------------------------

TBufferCoord TKedEditModel::GetSelBegin() const { return MinTextPos(blockBegin_, blockEnd_); }

TBufferCoord TKedEditModel::GetSelEnd() const {
  return MinTextPos(blockBegin_, blockEnd_) == blockBegin_ ? blockEnd_ : blockBegin_;
}

bool TKedEditModel::HasSelection() const {
  return blockBegin_.Char != blockEnd_.Char ||
         (blockBegin_.Line != blockEnd_.Line &&
          activeSelectionMode_ != TKedSelectionMode::smColumn);
}

bool TKedEditModel::SelectionSpansLines() const {
  return blockBegin_.Line != blockEnd_.Line && activeSelectionMode_ != TKedSelectionMode::smColumn;
}

bool TKedEditModel::SelectionCoversWholeLine() const {
  const TBufferCoord s = GetSelBegin();
  const TBufferCoord e = GetSelEnd();
  return s.Char == 1 && e.Char > static_cast<int>(GetCaretLineText().size()) && HasSelection();
}

bool TKedEditModel::IsPosInSelection(const TBufferCoord& pos) const {
  const TBufferCoord s = GetSelBegin();
  const TBufferCoord e = GetSelEnd();
  if (pos.Line < s.Line || pos.Line > e.Line || s == e) return false;
  switch (activeSelectionMode_) {
    case TKedSelectionMode::smLine:
      return true;
    case TKedSelectionMode::smColumn: {
      const int lo = std::min(s.Char, e.Char);
      const int hi = std::max(s.Char, e.Char);
      return lo != hi && pos.Char >= lo && pos.Char < hi;
    }
    case TKedSelectionMode::smNormal:
    default:
      if (pos.Line == s.Line && pos.Char < s.Char) return false;
      if (pos.Line < e.Line) return true;
      return pos.Char < e.Char;
  }
}

TBufferCoord TKedEditModel::ClampSelPoint(TBufferCoord pos) const {
  if (!options_.Contains(eoScrollPastEol) || wordWrap_)
    pos.Char = std::max(pos.Char, 1);
  else
    pos.Char = std::clamp(pos.Char, 1, maxScrollWidth_ + 1);
  pos.Line = std::clamp(pos.Line, 1, std::max(1, lines_->Count()));
  if (activeSelectionMode_ == TKedSelectionMode::smNormal) {
    const int length = pos.Line <= lines_->Count() ? static_cast<int>(LineAt(pos.Line).size()) : 0;
    pos.Char = std::min(pos.Char, length + 1);
  }
  return pos;
}

void TKedEditModel::SetSelBegin(TBufferCoord pos) {
  activeSelectionMode_ = selectionMode_;
  pos = ClampSelPoint(pos);
  if (HasSelection()) {
    InvalidateTextRange(std::min(GetSelBegin().Line, pos.Line),
                        std::max(GetSelEnd().Line, pos.Line));
  }
  const bool changed = blockBegin_ != pos || blockEnd_ != pos;
  blockBegin_ = blockEnd_ = pos;
  if (changed) ReportStatusChange({scSelection});
}

void TKedEditModel::SetSelEnd(TBufferCoord pos) {
  activeSelectionMode_ = selectionMode_;
  if (options_.Contains(eoNoSelection)) return;
  pos = ClampSelPoint(pos);
  if (pos.Line <= lines_->Count() && IsKedTrailByteAt(LineAt(pos.Line), pos.Char)) --pos.Char;
  if (pos == blockEnd_) return;
  const bool column = activeSelectionMode_ == TKedSelectionMode::smColumn;
  if (!column || blockEnd_.Char == pos.Char) {
    if (!column || blockBegin_.Char != pos.Char) InvalidateTextRange(blockEnd_.Line, pos.Line);
  } else {
    InvalidateTextRange(std::min({blockBegin_.Line, blockEnd_.Line, pos.Line}),
                        std::max({blockBegin_.Line, blockEnd_.Line, pos.Line}));
  }
  blockEnd_ = pos;
  ReportStatusChange({scSelection});
}

void TKedEditModel::SetSelectionMode(TKedSelectionMode value) {
  selectionMode_ = value;
  SetActiveSelectionMode(value);
}

void TKedEditModel::SetActiveSelectionMode(TKedSelectionMode value) {
  if (value == activeSelectionMode_) return;
  if (HasSelection()) InvalidateSelectionLines();
  activeSelectionMode_ = value;
  if (HasSelection()) InvalidateSelectionLines();
  ReportStatusChange({scSelection});
}

void TKedEditModel::PlaceCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& begin,
                                           const TBufferCoord& end) {
  const TKedSelectionMode mode = activeSelectionMode_;
  WithLock(*this, [&] {
    SetCaretPos(caret);
    SetSelBegin(begin);
    SetSelEnd(end);
    SetActiveSelectionMode(mode);
  });
}

void TKedEditModel::MoveCaretSelecting(const TBufferCoord& from, const TBufferCoord& to,
                                       bool selecting) {
  if (options_.Contains(eoGroupUndo) && undoList_->HasItems()) undoList_->AddGroupBreak();
  WithLock(*this, [&] {
    if (selecting) {
      if (!HasSelection()) SetSelBegin(from);
      SetSelEnd(to);
    } else {
      SetSelBegin(to);
    }
    SetCaretPos(to);
  });
}

void TKedEditModel::SelectWholeText() {
  const int count = lines_->Count();
  const TBufferCoord end = count == 0
                               ? TBufferCoord{1, 1}
                               : TBufferCoord{static_cast<int>(LineAt(count).size()) + 1, count};
  PlaceCaretAndSelection(end, {1, 1}, end);
  ReportStatusChange({scSelection});
}

std::string TKedEditModel::GetSelText() const {
  if (!HasSelection()) return std::string();
  const TBufferCoord s = GetSelBegin();
  const TBufferCoord e = GetSelEnd();
  const int count = lines_->Count();
  std::string result;
  auto slice = [](std::string_view line, int from, int to) {  // 1-based, end exclusive
    from = std::clamp(from, 1, static_cast<int>(line.size()) + 1);
    to = std::clamp(to, from, static_cast<int>(line.size()) + 1);
    return std::string(line.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from)));
  };
  switch (activeSelectionMode_) {
    case TKedSelectionMode::smNormal:
      if (s.Line == e.Line) return slice(LineAt(s.Line), s.Char, e.Char);
      result = slice(LineAt(s.Line), s.Char, INT_MAX);
      result += "\r\n";
      for (int line = s.Line + 1; line < e.Line; ++line) {
        result += LineAt(line);
        result += "\r\n";
      }
      result += slice(LineAt(e.Line), 1, e.Char);
      return result;
    case TKedSelectionMode::smLine:
      for (int line = s.Line; line <= e.Line && line <= count; ++line) {
        result += LineAt(line);
        if (line < count) result += "\r\n";
      }
      return result;
    case TKedSelectionMode::smColumn:
    default: {
      const int c1 = TextToDisplayPos(s).Column;
      const int c2 = TextToDisplayPos(e).Column;
      const int lo = std::min(c1, c2);
      const int hi = std::max(c1, c2);
      for (int line = s.Line; line <= e.Line; ++line) {
        const std::string_view text = LineAt(line);
        std::string piece =
            slice(text, KedColumnToChar(text, lo, tabWidth_), KedColumnToChar(text, hi, tabWidth_));
        if (!options_.Contains(eoTrimTrailingSpaces) && static_cast<int>(piece.size()) < hi - lo)
          piece.append(static_cast<size_t>(hi - lo) - piece.size(), ' ');
        result += piece;
        if (line < e.Line) result += "\r\n";
      }
      return result;
    }
  }
}

void TKedEditModel::SetSelStart(int64_t index) {
  SetCaretPos(CharIndexToTextPos(index));
  SetSelBegin(GetCaretPos());
}

void TKedEditModel::SetSelLength(int64_t count) {
  const TBufferCoord start = GetSelBegin();
  const int64_t e = TextPosToCharIndex(start) + count;
  if (count < 0) {
    // A length reaching before the text selects from its very start.
    const TBufferCoord from = CharIndexToTextPos(std::max<int64_t>(e, 0));
    PlaceCaretAndSelection(from, from, start);
    return;
  }
  const TBufferCoord end = CharIndexToTextPos(e);
  PlaceCaretAndSelection(end, start, end);
}

void TKedEditModel::ClearAll() {
  lines_->Clear();
  undoList_->Clear();
  redoList_->Clear();
  // The marks go with their text: no slot may keep a mark of the old text.
  marks_.clear();
  for (TKedEditMark*& slot : bookmarks_) slot = nullptr;
  SetModified(false);
  undoList_->RememberSavedState(true);
}

// ---- words ----------------------------------------------------------------------------------

void TKedEditModel::GetWordCharSets(TKedCharSet& wordChars, TKedCharSet& separators) const {
  if (highlighter_) {
    wordChars = highlighter_->GetIdentChars() & ~highlighter_->WordBreakChars();
  } else {
    wordChars.reset();
    auto range = [&](int from, int to) {
      for (int c = from; c <= to; ++c) wordChars.set(static_cast<size_t>(c));
    };
    range('0', '9');
    range('A', 'Z');
    range('_', '_');
    range('a', 'z');
    range(192, 214);
    range(216, 246);
    range(248, 255);
    for (int c : {33, 34, 39, 40, 41, 42, 43, 44, 45,  46,  47,
                  58, 59, 61, 63, 91, 92, 93, 94, 123, 124, 125})
      wordChars.reset(static_cast<size_t>(c));
  }
  separators = ~wordChars;
  separators.reset(0);
}

TBufferCoord TKedEditModel::WordEndOf(const TBufferCoord& pos) const {
  if (pos.Line < 1 || pos.Line > lines_->Count()) return pos;
  TKedCharSet word, separators;
  GetWordCharSets(word, separators);
  const std::string_view line = LineAt(pos.Line);
  const int found = FindCharInSet(line, std::max(pos.Char, 1), separators);
  return {found > 0 ? found : static_cast<int>(line.size()) + 1, pos.Line};
}

TBufferCoord TKedEditModel::WordStartOf(const TBufferCoord& pos) const {
  if (pos.Line < 1 || pos.Line > lines_->Count()) return pos;
  TKedCharSet word, separators;
  GetWordCharSets(word, separators);
  const std::string_view line = LineAt(pos.Line);
  TBufferCoord result{std::min(pos.Char, static_cast<int>(line.size()) + 1), pos.Line};
  if (result.Char > 1 &&
      !separators.test(static_cast<unsigned char>(line[static_cast<size_t>(result.Char - 2)]))) {
    result.Char = FindLastCharInSet(line, result.Char - 1, separators) + 1;
  }
  return result;
}

void TKedEditModel::SelectWordAt(TBufferCoord pos) {
  pos = ClampSelPoint(pos);
  std::string text(LineAt(pos.Line));
  const int lineLength = static_cast<int>(text.size());
  text.push_back('\0');  // the line's end is a character of its own class
  if (pos.Char > static_cast<int>(text.size())) {
    SetCaretPos({lineLength + 1, pos.Line});
    return;
  }
  std::vector<std::uint16_t> types;
  if (!host_ || !host_->HostCharTypes(text, types) || types.size() < text.size())
    throw Exception("GetStringTypeEx failed");
  constexpr std::uint16_t kSymbol = 0x8;
  const int at = pos.Char - 1;
  std::uint16_t reference = types[static_cast<size_t>(at)];
  if ((reference & kSymbol) && at > 0) reference = types[static_cast<size_t>(at - 1)];
  TKedCharSet wordChars, separators;
  GetWordCharSets(wordChars, separators);
  auto boundary = [&](int i) {
    const std::uint16_t type = types[static_cast<size_t>(i)];
    const int cls = ClassifyCharType(type);
    if (cls == 1 || cls == 2)
      return !wordChars.test(static_cast<unsigned char>(text[static_cast<size_t>(i)]));
    if (cls == 5 || cls == 9) return true;
    return type != reference;
  };
  int start = at;
  while (start > 0 && !boundary(start - 1)) --start;
  int end = at;
  while (end < static_cast<int>(text.size()) && !boundary(end)) ++end;
  end = std::min(end, lineLength);
  PlaceCaretAndSelection({end + 1, pos.Line}, {start + 1, pos.Line}, {end + 1, pos.Line});
  InvalidateLine(pos.Line);
  ReportStatusChange({scSelection});
}

std::string TKedEditModel::GetWordAtCaret() {
  const TBufferCoord oldBegin = blockBegin_;
  const TBufferCoord oldEnd = blockEnd_;
  blockBegin_ = WordStartOf(GetCaretPos());
  blockEnd_ = WordEndOf(GetCaretPos());
  std::string word = GetSelText();
  blockBegin_ = oldBegin;
  blockEnd_ = oldEnd;
  return word;
}

// ---- invalidation ----------------------------------------------------------------------------

void TKedEditModel::Invalidate(const TRect& rect) {
  if (!host_ || !host_->HostShowing() || IsEmptyRect(rect)) return;
  if (linesUpdating_)
    pendingInvalidRect_ = UnionRect(pendingInvalidRect_, rect);
  else
    host_->HostInvalidate(rect);
}

// While the lines change, areas wait to be invalidated at the end; moving pixels then
// would move them away from what is still to be painted.
void TKedEditModel::ScrollArea(const TRect& area, int dx, int dy) {
  if (!host_ || !host_->HostShowing() || IsEmptyRect(area)) return;
  if (linesUpdating_)
    Invalidate(area);
  else
    host_->HostScroll(area, dx, dy);
}

void TKedEditModel::InvalidateAll() { Invalidate({0, 0, ClientWidth(), ClientHeight()}); }

void TKedEditModel::InvalidateGutterRange(int firstLine, int lastLine) {
  if (firstLine == -1 && lastLine == -1) {
    Invalidate({0, 0, gutterWidth_, ClientHeight()});
    return;
  }
  if (firstLine > lastLine) std::swap(firstLine, lastLine);
  int64_t first = firstLine;
  int64_t last = lastLine;
  if (wordWrap_) {
    first = LineToDisplayRow(firstLine);
    last = lastLine > lines_->Count() ? INT_MAX : LineToDisplayRow(lastLine);
  }
  first = std::max<int64_t>(first, topLine_);
  last = std::min<int64_t>(last, static_cast<int64_t>(topLine_) + linesInWindow_);
  if (last < first) return;
  Invalidate({0, static_cast<int>((first - topLine_) * lineHeight_), gutterWidth_,
              static_cast<int>((last - topLine_ + 1) * lineHeight_)});
}

void TKedEditModel::InvalidateTextRange(int firstLine, int lastLine) {
  if (firstLine == -1 && lastLine == -1) {
    Invalidate({gutterWidth_, 0, ClientWidth(), ClientHeight()});
    return;
  }
  firstLine = std::max(firstLine, 1);
  lastLine = std::max(lastLine, 1);
  if (firstLine > lastLine) std::swap(firstLine, lastLine);
  int64_t first = firstLine;
  // The last line at the end reaches below the text, which must be cleared too.
  int64_t last = lastLine >= lines_->Count() ? INT_MAX : lastLine;
  if (wordWrap_) {
    first = LineToDisplayRow(firstLine);
    if (last != INT_MAX) last = LineToDisplayRow(lastLine + 1) - 1;
  }
  first = std::max<int64_t>(first, topLine_);
  last = std::min<int64_t>(last, static_cast<int64_t>(topLine_) + linesInWindow_);
  if (last < first) return;
  Invalidate({gutterWidth_, static_cast<int>((first - topLine_) * lineHeight_), ClientWidth(),
              static_cast<int>((last - topLine_ + 1) * lineHeight_)});
}

void TKedEditModel::InvalidateLine(int line) {
  if (line < 1 || line > lines_->Count()) return;
  if (wordWrap_) {
    InvalidateTextRange(line, line);
    return;
  }
  if (line < topLine_ || line > topLine_ + linesInWindow_) return;
  const int top = (line - topLine_) * lineHeight_;
  Invalidate({gutterWidth_, top, ClientWidth(), top + lineHeight_});
}

void TKedEditModel::InvalidateSelectionLines() {
  InvalidateTextRange(GetSelBegin().Line, GetSelEnd().Line);
}

// ---- highlighter ranges -------------------------------------------------------------------

int TKedEditModel::ScanOneLine(int index) {
  highlighter_->ScanRangeOfLine(lines_->LineView(index));
  return static_cast<int>(highlighter_->CurrentRange());
}

int TKedEditModel::ScanRangesFrom(int index) {
  const int count = lines_->Count();
  // Lines from the first unknown one on are scanned when they are first shown.
  if (!highlighter_ || index >= count || index >= rangesValid_) return index;
  if (index == 0)
    highlighter_->ClearRange();
  else
    highlighter_->RestoreRange(lines_->GetLineRange(index - 1));
  for (int i = index;; ++i) {
    const int range = ScanOneLine(i);
    if (range == lines_->GetLineRange(i)) return i;
    lines_->StoreLineRange(i, range);
    // The next line's start changed: it is the last one whose painting may depend on it.
    if (i == count - 1 || i + 1 >= rangesValid_) return std::min(i + 1, count - 1);
  }
}

void TKedEditModel::ScanAllRanges() {
  rangesValid_ = 0;
  checkpoints_.clear();
}

void TKedEditModel::EnsureRangesThrough(int index) {
  if (!highlighter_) return;
  index = std::min(index, lines_->Count() - 1);
  if (index < rangesValid_) return;
  int i = rangesValid_;
  if (i == 0)
    highlighter_->ClearRange();
  else
    highlighter_->RestoreRange(lines_->GetLineRange(i - 1));
  for (; i <= index; ++i) lines_->StoreLineRange(i, ScanOneLine(i));
  rangesValid_ = index + 1;
}

// ---- line-list notifications -------------------------------------------------------------------

void TKedEditModel::LinesChanging(TObject*) { linesUpdating_ = true; }

void TKedEditModel::LinesChanged(TObject*) {
  linesUpdating_ = false;
  if (!HasWindow()) return;
  RefreshScrollBars();
  // The anchor stays at the caret after every change; undo records of insertions rely on it.
  const TKedSelectionMode mode = activeSelectionMode_;
  SetSelBegin(GetCaretPos());
  activeSelectionMode_ = mode;
  const TRect pending = pendingInvalidRect_;
  pendingInvalidRect_ = {};
  Invalidate(pending);
  if (gutter_->ShowLineNumbers() && gutter_->AutoSize()) GutterChanged();
  if (!options_.Contains(eoScrollPastEof)) SetTopLine(topLine_);
}

void TKedEditModel::ListCleared(TObject*) {
  checkpoints_.clear();
  if (wordWrap_) wordWrap_->RewrapAll();
  undoList_->Clear();
  redoList_->Clear();
  rangesValid_ = 0;
  pendingInvalidRect_ = {};
  InvalidateAll();
  SetCaretAndCollapse({1, 1});
  SetTopLine(1);
  SetLeftChar(1);
  statusChanges_ += scAll;
}

void TKedEditModel::LinesDeleted(TObject*, int index, int count) {
  checkpoints_.clear();
  if (index < rangesValid_) rangesValid_ = std::max(index, rangesValid_ - count);
  if (highlighter_ && lines_->Count() > 0) ScanRangesFrom(index);
  if (wordWrap_) wordWrap_->NotifyLinesDeleted(index, count);
  InvalidateTextRange(index + 1, INT_MAX);
  InvalidateGutterRange(index + 1, INT_MAX);
}

void TKedEditModel::LinesInserted(TObject*, int index, int count) {
  checkpoints_.clear();
  if (index < rangesValid_) {
    rangesValid_ += count;
    if (highlighter_ && lines_->Count() > 0) {
      int last = index - 1;
      while (last < index + count - 1) last = ScanRangesFrom(last + 1);
    }
  }
  if (wordWrap_) wordWrap_->NotifyLinesInserted(index, count);
  InvalidateTextRange(index + 1, INT_MAX);
  InvalidateGutterRange(index + 1, INT_MAX);
  GrowMaxScrollWidth(index);
}

void TKedEditModel::LineReplaced(TObject*, int index, int count) {
  checkpoints_.clear();
  int lastLine = index + 1;
  if (wordWrap_) {
    if (wordWrap_->NotifyLinesChanged(index, count) != 0) lastLine = lines_->Count();
    InvalidateGutterRange(index + 1, lastLine);
  }
  if (highlighter_) lastLine = std::max(lastLine, ScanRangesFrom(index) + 1);
  InvalidateTextRange(index + 1, lastLine);
  GrowMaxScrollWidth(index);
}

// A changed line longer than the scroll width widens it, with or without
// eoAutoSizeMaxScrollWidth: the caret must be able to stand at the end of any line, or
// an insertion's end would be clamped short of the text it inserted.
void TKedEditModel::GrowMaxScrollWidth(int index) {
  if (index < 0 || index >= lines_->Count()) return;
  const int length = lines_->GetExpandedLength(index);
  if (length > maxScrollWidth_) SetMaxScrollWidth(length);
}
