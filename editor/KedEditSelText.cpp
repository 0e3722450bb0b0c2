// The editor model's text changes in the three selection modes, the clipboard commands,
// undo and redo, and the marks that move with the lines.
#include <algorithm>
#include <climits>

#include "editor/KedEditKeyCmds.h"
#include "editor/KedEditMiscProcs.h"
#include "editor/KedEditModel.h"
#include "editor/KedEditModelGuards.h"
#include "editor/KedEditTextBuffer.h"
#include "framework/ScopeExit.h"

namespace {

using ked_detail::Locked;
using ked_detail::UndoBlock;

// Everything one replay step records into the other list carries one change number.
class ForcedChangeId {
 public:
  ForcedChangeId(TKedEditUndoList& list, std::int32_t id)
      : list_(list), saved_(list.ForcedChangeId()) {
    list_.SetForcedChangeId(id);
  }
  ~ForcedChangeId() { list_.SetForcedChangeId(saved_); }
  ForcedChangeId(const ForcedChangeId&) = delete;
  ForcedChangeId& operator=(const ForcedChangeId&) = delete;

 private:
  TKedEditUndoList& list_;
  std::int32_t saved_;
};

// Splits at CR, LF or CR LF.
std::vector<std::string_view> SplitPieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    pieces.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

std::string StripTrailing(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

bool IsEndMarker(std::uint8_t r) {
  return r == crkEndA || r == crkPasteEnd || r == crkEndB || r == crkEndC;
}
bool IsBeginMarker(std::uint8_t r) {
  return r == crkBeginA || r == crkPasteBegin || r == crkBeginB || r == crkBeginC;
}

}  // namespace

// ---- text changes -------------------------------------------------------------------------

void TKedEditModel::PutLine(int index, std::string text) {
  if (options_.Contains(eoTrimTrailingSpaces)) text = StripTrailing(std::move(text));
  lines_->Put(index, text);
}

void TKedEditModel::SetSelTextInMode(TKedSelectionMode mode, std::string_view text, bool record) {
  Locked(*this, [&] {
    {
      lines_->BeginUpdate();
      TScopeExit update([&lines = *lines_] { lines.EndUpdate(); });
      if (HasSelection()) DeleteSelectionByMode(GetSelBegin(), GetSelEnd());
      if (!text.empty()) {
        const int startLine = caretY_;
        const int startChar = caretX_;
        int added = 0;
        switch (mode) {
          case TKedSelectionMode::smNormal:
            added = InsertNormal(text);
            break;
          case TKedSelectionMode::smColumn:
            added = InsertColumn(text, record);
            break;
          case TKedSelectionMode::smLine:
            added = InsertLines(text);
            break;
        }
        if (added > 0)
          MarksLinesInserted(
              startLine + (mode == TKedSelectionMode::smNormal && startChar > 1 ? 1 : 0), added);
      }
      if (caretY_ < 1) caretY_ = 1;
    }
    const TBufferCoord caret = GetCaretPos();
    caretX_ = 0;  // so that placing the caret reports it and shows it
    SetCaretPos(caret);
    blockBegin_ = blockEnd_ = GetCaretPos();
    EnsureCaretVisible();
  });
}

// From this many lines on, a deleted selection keeps its whole lines as records.
constexpr int kLinesKeptAsRecords = 1024;

void TKedEditModel::DeleteAndRecordSelection(std::uint8_t reason, TBufferCoord anchor,
                                             TBufferCoord end, TKedSelectionMode mode) {
  const TBufferCoord b = GetSelBegin();
  const TBufferCoord e = GetSelEnd();
  if (mode != TKedSelectionMode::smNormal || e.Line - b.Line <= kLinesKeptAsRecords || b.Line < 1 ||
      e.Line > lines_->Count()) {
    const std::string text = GetSelText();
    SetSelText("");
    undoList_->RecordChange(reason, anchor, end, text, mode);
    return;
  }
  // The text keeps the part of the first line and the part of the last; the lines between
  // leave the list as they are.
  const std::string_view first = LineAt(b.Line);
  const std::string_view last = LineAt(e.Line);
  std::string text(
      first.substr(std::min(static_cast<size_t>(std::max(b.Char, 1) - 1), first.size())));
  text += "\r\n";
  text += last.substr(0, std::min(static_cast<size_t>(std::max(e.Char, 1) - 1), last.size()));
  std::shared_ptr<TKedEditLineRun> run;
  Locked(*this, [&] {
    {
      lines_->BeginUpdate();
      TScopeExit update([&lines = *lines_] { lines.EndUpdate(); });
      run = lines_->TakeLines(b.Line, e.Line - b.Line - 1);
      MarksLinesDeleted(b.Line, run->Count());
    }
    // What is left of the selection spans the first line and the one that was its last.
    blockBegin_ = b;
    blockEnd_ = {e.Char, b.Line + 1};
    SetSelText("");
  });
  undoList_->RecordChange(reason, anchor, end, text, mode, std::move(run));
}

// Puts the whole lines a deletion kept as records back after the given line, between the
// parts of its first and last line that undo has just put back as text.
void TKedEditModel::PutBackDeletedLines(int afterLine, const TKedEditLineRun& run) {
  {
    lines_->BeginUpdate();
    TScopeExit update([&lines = *lines_] { lines.EndUpdate(); });
    lines_->PutBackLines(afterLine, run);
  }
  MarksLinesInserted(afterLine + 1, run.Count());
}

void TKedEditModel::DeleteSelectionByMode(TBufferCoord b, TBufferCoord e) {
  const int count = lines_->Count();
  switch (activeSelectionMode_) {
    case TKedSelectionMode::smNormal: {
      if (count == 0) return;
      const std::string_view first = LineAt(b.Line);
      std::string joined(
          first.substr(0, std::min<size_t>(static_cast<size_t>(b.Char - 1), first.size())));
      const std::string_view last = LineAt(e.Line);
      if (static_cast<size_t>(e.Char - 1) < last.size())
        joined += last.substr(static_cast<size_t>(e.Char - 1));
      if (e.Line > b.Line) lines_->DeleteLineRange(b.Line, std::min(e.Line, count) - b.Line);
      if (options_.Contains(eoScrollPastEol) && options_.Contains(eoTrimTrailingSpaces))
        joined = StripTrailing(std::move(joined));
      lines_->Put(b.Line - 1, joined);
      caretX_ = b.Char;
      caretY_ = b.Line;
      MarksLinesDeleted(b.Line, e.Line - b.Line);
      break;
    }
    case TKedSelectionMode::smLine: {
      if (count == 0) return;
      const int last = std::min(e.Line, count);
      if (last == count) {
        lines_->Put(last - 1, std::string());
        lines_->DeleteLineRange(b.Line - 1, last - b.Line);
      } else {
        lines_->DeleteLineRange(b.Line - 1, last - b.Line + 1);
      }
      caretX_ = 1;
      caretY_ = b.Line;
      MarksLinesDeleted(b.Line, last - b.Line + 1);
      break;
    }
    case TKedSelectionMode::smColumn: {
      const int lo = std::min(b.Char, e.Char);
      const int hi = std::max(b.Char, e.Char);
      for (int line = b.Line; line <= e.Line && line <= count; ++line) {
        std::string text(LineAt(line));
        const int length = static_cast<int>(text.size());
        if (lo > length) continue;
        int from = lo;
        int to = std::min(hi, length + 1);
        if (from > 1 && IsKedTrailByteAt(text, from)) --from;
        if (to <= length && IsKedTrailByteAt(text, to)) ++to;
        text.erase(static_cast<size_t>(from - 1), static_cast<size_t>(to - from));
        PutLine(line - 1, text);
      }
      caretX_ = lo;
      caretY_ = blockEnd_.Line;
      break;
    }
  }
}

int TKedEditModel::InsertNormal(std::string_view text) {
  const std::string line(LineAt(caretY_));
  const size_t split = std::min(static_cast<size_t>(caretX_ - 1), line.size());
  std::string left = line.substr(0, split);
  if (static_cast<int>(left.size()) < caretX_ - 1)
    left.append(static_cast<size_t>(caretX_ - 1) - left.size(), ' ');
  const std::string right = line.substr(split);
  const std::vector<std::string_view> pieces = SplitPieces(text);
  const int breaks = static_cast<int>(pieces.size()) - 1;
  if (breaks == 0) {
    std::string joined = left;
    joined += text;
    joined += right;
    PutLine(caretY_ - 1, joined);
    caretX_ = static_cast<int>(left.size() + text.size()) + 1;
    statusChanges_ += scCaretX;
    return 0;
  }
  PutLine(caretY_ - 1, left + std::string(pieces[0]));
  lines_->InsertEmptyLines(caretY_, breaks);
  for (int i = 1; i <= breaks; ++i) {
    ++caretY_;
    std::string piece(pieces[static_cast<size_t>(i)]);
    const size_t pieceLength = piece.size();
    if (i == breaks) piece += right;
    PutLine(caretY_ - 1, piece);
    if (i == breaks) caretX_ = static_cast<int>(pieceLength) + 1;
  }
  statusChanges_ += scCaretX;
  statusChanges_ += scCaretY;
  return breaks;
}

int TKedEditModel::InsertColumn(std::string_view text, bool record) {
  const int insertAt = caretX_;
  int added = 0;
  int lastLength = 0;
  const std::vector<std::string_view> pieces = SplitPieces(text);
  for (size_t i = 0; i < pieces.size(); ++i) {
    const std::string_view piece = pieces[i];
    if (!piece.empty()) {
      if (caretY_ > lines_->Count()) {
        const int previous = caretY_ - 1;
        lines_->Add(std::string(static_cast<size_t>(insertAt - 1), ' ') + std::string(piece));
        ++added;
        if (record)
          undoList_->RecordChange(crkLineBreak, {LineLength(previous) + 1, previous},
                                  {LineLength(previous) + 1, previous}, std::string(),
                                  activeSelectionMode_);
      } else {
        std::string line(LineAt(caretY_));
        int at = insertAt;
        if (at <= static_cast<int>(line.size()) && at > 1 && IsKedTrailByteAt(line, at)) ++at;
        if (static_cast<int>(line.size()) < at - 1)
          line.append(static_cast<size_t>(at - 1) - line.size(), ' ');
        line.insert(static_cast<size_t>(at - 1), piece);
        PutLine(caretY_ - 1, line);
      }
      if (record)
        undoList_->RecordChange(crkPaste, {insertAt, caretY_},
                                {insertAt + static_cast<int>(piece.size()), caretY_}, std::string(),
                                activeSelectionMode_);
      lastLength = static_cast<int>(piece.size());
    }
    if (i + 1 < pieces.size()) {
      ++caretY_;
      statusChanges_ += scCaretY;
    }
  }
  caretX_ = insertAt + lastLength;
  statusChanges_ += scCaretX;
  return added;
}

int TKedEditModel::InsertLines(std::string_view text) {
  caretX_ = 1;
  const std::vector<std::string_view> pieces = SplitPieces(text);
  int inserted = 0;
  for (size_t i = 0; i + 1 < pieces.size(); ++i) {
    std::string piece(pieces[i]);
    if (options_.Contains(eoTrimTrailingSpaces)) piece = StripTrailing(std::move(piece));
    lines_->Insert(std::min(caretY_ - 1, lines_->Count()), piece);
    ++caretY_;
    ++inserted;
    statusChanges_ += scCaretY;
  }
  std::string tail(pieces.back());
  if (options_.Contains(eoTrimTrailingSpaces)) tail = StripTrailing(std::move(tail));
  if (!tail.empty()) {
    if (caretY_ > lines_->Count()) {
      lines_->Add(tail);
      ++inserted;
    } else {
      lines_->Put(caretY_ - 1, tail + std::string(LineAt(caretY_)));
    }
    caretX_ = static_cast<int>(tail.size()) + 1;
  }
  statusChanges_ += scCaretX;
  return inserted;
}

void TKedEditModel::ReplaceSelection(std::string_view text) {
  UndoBlock block(*undoList_);
  if (HasSelection()) {
    undoList_->RecordChange(crkDelete, blockBegin_, blockEnd_, GetSelText(), activeSelectionMode_);
  } else {
    SetActiveSelectionMode(selectionMode_);
    if (text.empty()) return;
    PadCaretLine();
    // Without a selection the text goes in at the caret, wherever the anchor was left.
    blockBegin_ = blockEnd_ = GetCaretPos();
  }
  const TBufferCoord start = GetSelBegin();
  const TBufferCoord end = GetSelEnd();
  blockBegin_ = start;
  blockEnd_ = end;
  SetSelText(text);
  if (!text.empty() && activeSelectionMode_ != TKedSelectionMode::smColumn)
    undoList_->RecordChange(crkInsert, start, blockEnd_, std::string(), activeSelectionMode_);
}

// A normal insertion past the line end fills the gap with blanks; recording the filling as
// its own item lets undo give back the line exactly as it was.
void TKedEditModel::PadCaretLine() {
  if (activeSelectionMode_ != TKedSelectionMode::smNormal || HasSelection()) return;
  const int length = LineLength(caretY_);
  if (caretX_ <= length + 1 || caretY_ > lines_->Count()) return;
  std::string line(LineAt(caretY_));
  line.append(static_cast<size_t>(caretX_ - 1 - length), ' ');
  lines_->Put(caretY_ - 1, line);
  blockBegin_ = blockEnd_ = GetCaretPos();
  undoList_->RecordChange(crkWhitespaceAdd, GetCaretPos(), {length + 1, caretY_}, std::string(),
                          TKedSelectionMode::smNormal);
}

void TKedEditModel::ClearSelection() {
  if (HasSelection()) ReplaceSelection("");
}

bool TKedEditModel::DropSelection(TBufferCoord target, bool copy) {
  if (!HasSelection() || readOnly_) return false;
  const TBufferCoord b = GetSelBegin();
  const TBufferCoord e = GetSelEnd();
  const bool inside = IsPosInSelection(target) || target == e;
  if (inside && !(copy && (target == b || target == e))) return false;
  const TKedSelectionMode mode = activeSelectionMode_;
  const std::string text = GetSelText();
  const TKedEditorOptions saved = options_;
  Locked(*this, [&] {
    UndoBlock block(*undoList_);
    if (!copy) {
      const bool after = MinTextPos(e, target) == e;
      ReplaceSelection("");
      if (after) {
        if (target.Line == e.Line) target.Char = target.Char - e.Char + b.Char;
        target.Line -= e.Line - b.Line;
      }
    }
    options_ += eoScrollPastEol;
    {
      TScopeExit cleanup([&] { options_ = saved; });
      SetCaretAndCollapse(target);
      activeSelectionMode_ = mode;
      PadCaretLine();
      target = GetCaretPos();
      SuspendUndo();
      {
        TScopeExit cleanup([&] { ResumeUndo(); });
        ReplaceSelection(text);
      }
      undoList_->RecordChange(crkDropInsert, target, GetCaretPos(), std::string(), mode);
    }
    const TBufferCoord end = GetCaretPos();
    PlaceCaretAndSelection(target, end, target);
    activeSelectionMode_ = mode;
  });
  return true;
}

// ---- clipboard ------------------------------------------------------------------------------

void TKedEditModel::CopyToClipboard() {
  if (!HasSelection() || !host_) return;
  const TKedEditorOptions saved = options_;
  if (activeSelectionMode_ == TKedSelectionMode::smColumn) options_ -= eoTrimTrailingSpaces;
  std::string text;
  {
    TScopeExit cleanup([&] { options_ = saved; });
    text = GetSelText();
  }
  host_->HostWriteClipboard(text, activeSelectionMode_);
}

void TKedEditModel::CutToClipboard() {
  if (readOnly_ || !HasSelection() || !host_) return;
  UndoBlock block(*undoList_);
  host_->HostWriteClipboard(GetSelText(), activeSelectionMode_);
  ReplaceSelection("");
}

bool TKedEditModel::CanPaste() { return !readOnly_ && host_ && host_->HostClipboardHasText(); }

void TKedEditModel::PasteFromClipboard() {
  if (!CanPaste()) return;
  std::string text;
  TKedSelectionMode mode = TKedSelectionMode::smNormal;
  bool plain = true;
  if (!host_->HostReadClipboard(text, mode, plain)) return;
  host_->HostPaintTransient(false);
  Locked(*this, [&] {
    UndoBlock block(*undoList_);
    undoList_->RecordChange(crkPasteBegin, GetSelBegin(), GetSelEnd(), std::string(),
                            activeSelectionMode_);
    if (plain) {
      if (HasSelection())
        undoList_->RecordChange(crkDelete, blockBegin_, blockEnd_, GetSelText(),
                                activeSelectionMode_);
      else {
        SetActiveSelectionMode(selectionMode_);
        PadCaretLine();
        blockBegin_ = blockEnd_ = GetCaretPos();
      }
      const TBufferCoord start = GetSelBegin();
      blockEnd_ = GetSelEnd();
      blockBegin_ = start;
      SetSelText(text);
      if (activeSelectionMode_ != TKedSelectionMode::smColumn)
        undoList_->RecordChange(crkPaste, start, blockEnd_, std::string(), activeSelectionMode_);
    } else {
      TBufferCoord start = GetCaretPos();
      if (HasSelection()) {
        undoList_->RecordChange(crkDelete, blockBegin_, blockEnd_, GetSelText(),
                                activeSelectionMode_);
        start = GetSelBegin();
        if (activeSelectionMode_ == TKedSelectionMode::smLine) start.Char = 1;
        const TBufferCoord end = GetSelEnd();
        blockBegin_ = GetSelBegin();
        blockEnd_ = end;
      } else if (mode == TKedSelectionMode::smNormal) {
        PadCaretLine();
        start = GetCaretPos();
      }
      SetSelTextInMode(mode, text, true);
      const TBufferCoord end = blockEnd_;
      if (mode == TKedSelectionMode::smNormal) {
        undoList_->RecordChange(crkPaste, start, end, std::string(), TKedSelectionMode::smNormal);
      } else if (mode == TKedSelectionMode::smLine) {
        if (caretX_ == 1)
          undoList_->RecordChange(crkPaste, {1, start.Line},
                                  {std::max(charsInWindow_, 1), end.Line - 1}, std::string(),
                                  TKedSelectionMode::smLine);
        else
          undoList_->RecordChange(crkPaste, {1, start.Line}, end, std::string(),
                                  TKedSelectionMode::smNormal);
      }
    }
    undoList_->RecordChange(crkPasteEnd, GetSelBegin(), GetSelEnd(), std::string(),
                            activeSelectionMode_);
  });
  EnsureCaretVisible();
  ReportStatusChange({scSelection});
  host_->HostPaintTransient(true);
}

// ---- undo and redo ------------------------------------------------------------------------------

void TKedEditModel::SuspendUndo() {
  undoList_->SuspendRecording();
  redoList_->SuspendRecording();
}

void TKedEditModel::ResumeUndo() {
  undoList_->ResumeRecording();
  redoList_->ResumeRecording();
}

void TKedEditModel::ClearUndoHistory() {
  undoList_->Clear();
  redoList_->Clear();
}

void TKedEditModel::UpdateModified() { SetModified(!undoList_->IsAtSavedState()); }

void TKedEditModel::UndoListChanged(TObject* list) {
  UpdateModified();
  TKedEditUndoList* changed = static_cast<TKedEditUndoList*>(list);
  if (changed == undoList_.get() && !changed->RedoInProgress() &&
      changed->LastReason() != crkGroupBreak)
    redoList_->Clear();
  if (changed->BlockDepth() == 0 && OnChange) OnChange(sender_);
}

void TKedEditModel::Undo() {
  if (readOnly_) return;
  if (undoList_->LastReason() == crkGroupBreak) redoList_->PushItem(undoList_->PopLast());
  const TKedEditUndoItem* first = undoList_->PeekLast();
  if (first == nullptr) return;
  const std::uint8_t f = first->Reason;
  const std::int32_t id = first->ChangeId;
  Locked(*this, [&] {
    ForcedChangeId forced(*redoList_, id);
    for (;;) {
      const std::uint8_t p = undoList_->LastReason();
      UndoItem();
      const TKedEditUndoItem* next = undoList_->PeekLast();
      if (next == nullptr) break;
      const bool more = (IsEndMarker(f) && next->Reason != f - 1) || next->ChangeId == id ||
                        (options_.Contains(eoGroupUndo) && next->Reason == p && p != crkIndent &&
                         p != crkUnindent);
      if (!more) break;
    }
    if (IsEndMarker(f) && undoList_->LastReason() == f - 1) UndoItem();
  });
  UpdateModified();
}

void TKedEditModel::Redo() {
  if (readOnly_) return;
  const TKedEditUndoItem* first = redoList_->PeekLast();
  if (first == nullptr) return;
  const std::uint8_t f = first->Reason;
  const std::int32_t id = first->ChangeId;
  Locked(*this, [&] {
    ForcedChangeId forced(*undoList_, id);
    undoList_->SetRedoInProgress(true);
    {
      TScopeExit cleanup([&] { undoList_->SetRedoInProgress(false); });
      for (;;) {
        const std::uint8_t p = redoList_->LastReason();
        RedoItem();
        const TKedEditUndoItem* next = redoList_->PeekLast();
        if (next == nullptr) break;
        const bool more = (IsBeginMarker(f) && next->Reason != f + 1) || next->ChangeId == id ||
                          (options_.Contains(eoGroupUndo) && next->Reason == p && p != crkIndent &&
                           p != crkUnindent);
        if (!more) break;
      }
      if (IsBeginMarker(f) && redoList_->LastReason() == f + 1) RedoItem();
    }
  });
  if (redoList_->LastReason() == crkGroupBreak) undoList_->PushItem(redoList_->PopLast());
  UpdateModified();
}

// A caret or selection step: the other list gets the present caret or selection, then the
// item's takes its place.
void TKedEditModel::SwapPosition(std::uint8_t reason, TBufferCoord start, TBufferCoord end,
                                 TKedEditUndoList& other) {
  if (reason == crkCaret) {
    other.RecordChange(reason, GetCaretPos(), GetCaretPos(), std::string(), activeSelectionMode_);
    SetCaretPos(start);
  } else {
    other.RecordChange(reason, GetSelBegin(), GetSelEnd(), std::string(), activeSelectionMode_);
    PlaceCaretAndSelection(GetCaretPos(), start, end);
  }
}

// Pops the last item of list and runs replay(item, start, end, mode) on it with the painting
// locked, the caret free past line ends and the item's selection mode active; nothing for an
// empty list.
template <class F>
void TKedEditModel::ReplayLast(TKedEditUndoList& list, F&& replay) {
  std::unique_ptr<TKedEditUndoItem> item = list.PopLast();
  if (!item) return;
  const TBufferCoord start = item->StartPos;
  const TBufferCoord end = item->EndPos;
  const TKedSelectionMode mode = item->SelectionMode;
  const TKedEditorOptions saved = options_;
  options_ += eoScrollPastEol;
  SetActiveSelectionMode(mode);
  TScopeExit cleanup([&] { options_ = saved; });
  Locked(*this, [&] { replay(item.get(), start, end, mode); });
}

void TKedEditModel::UndoItem() {
  ReplayLast(*undoList_, [&](const TKedEditUndoItem* item, TBufferCoord start, TBufferCoord end,
                             TKedSelectionMode mode) {
    switch (item->Reason) {
      case crkInsert:
      case crkPaste:
      case crkDropInsert: {
        PlaceCaretAndSelection(start, start, end);
        activeSelectionMode_ = mode;
        const std::string taken = GetSelText();
        SetSelTextInMode(mode, item->Text, false);
        // The redo item spans what was put back, so redo replaces exactly that.
        redoList_->RecordChange(item->Reason, start, GetCaretPos(), taken, mode);
        SetCaretAndCollapse(start);
        break;
      }
      case crkDeleteBackward:
      case crkDelete:
      case crkSilentDelete:
      case crkSilentDeleteForward:
      case crkDeleteAll: {
        TBufferCoord at = MinTextPos(start, end);
        if (mode == TKedSelectionMode::smColumn)
          at = {std::min(start.Char, end.Char), std::min(start.Line, end.Line)};
        if ((item->Reason == crkDeleteBackward || item->Reason == crkSilentDeleteForward) &&
            at.Line > lines_->Count()) {
          lines_->Add(std::string());
        }
        SetCaretAndCollapse(at);
        activeSelectionMode_ = mode;
        SetSelTextInMode(mode, item->Text, false);
        if (item->Lines) PutBackDeletedLines(at.Line, *item->Lines);
        if (item->Reason == crkSilentDelete)
          SetCaretAndCollapse(end);
        else if (item->Reason == crkSilentDeleteForward)
          SetCaretAndCollapse(start);
        else {
          PlaceCaretAndSelection(item->Reason == crkDeleteBackward ? start : end, start, end);
          activeSelectionMode_ = mode;
        }
        redoList_->RecordChange(item->Reason, start, end, std::string(), mode);
        if (item->Reason == crkDeleteAll) SetCaretAndCollapse({1, 1});
        EnsureCaretVisible();
        break;
      }
      case crkLineBreak: {
        SetCaretAndCollapse(start);
        redoList_->RecordChange(item->Reason, start, end, item->Text, mode);
        std::string line = GetCaretLineText();
        // Only a trimmed left part lost blanks that the caret column still counts.
        if (options_.Contains(eoTrimTrailingSpaces) &&
            static_cast<int>(line.size()) < caretX_ - 1 &&
            CountLeadingBlanks(item->Text, false) == 0)
          line.append(static_cast<size_t>(caretX_ - 1) - line.size(), ' ');
        line += item->Text;
        {
          lines_->BeginUpdate();
          TScopeExit update([&lines = *lines_] { lines.EndUpdate(); });
          PutLine(caretY_ - 1, line);
          if (end.Line < lines_->Count()) lines_->Delete(end.Line);
        }
        MarksLinesDeleted(caretY_, 1);
        SetCaretAndCollapse(start);
        break;
      }
      case crkIndent:
        redoList_->RecordChange(item->Reason, start, end, item->Text, mode);
        PlaceCaretAndSelection(end, start, end);
        break;
      case crkUnindent: {
        redoList_->RecordChange(item->Reason, start, end, item->Text, mode);
        const int at = mode == TKedSelectionMode::smColumn ? std::min(start.Char, end.Char) : 1;
        PlaceCaretAndSelection({at, start.Line}, {at, start.Line}, {at, end.Line});
        SetActiveSelectionMode(TKedSelectionMode::smColumn);
        SetSelTextInMode(TKedSelectionMode::smColumn, item->Text, false);
        SetActiveSelectionMode(mode);
        PlaceCaretAndSelection(start, start, end);
        break;
      }
      case crkCaret:
      case crkSelection:
        SwapPosition(item->Reason, start, end, *redoList_);
        break;
      case crkWhitespaceAdd: {
        PlaceCaretAndSelection(start, start, end);
        activeSelectionMode_ = mode;
        const std::string taken = GetSelText();
        redoList_->RecordChange(item->Reason, start, end, taken, mode);
        SetSelTextInMode(mode, item->Text, true);
        SetCaretAndCollapse(start);
        break;
      }
      default:
        // Group markers travel to the other list unchanged.
        redoList_->RecordChange(item->Reason, start, end, item->Text, mode);
        break;
    }
  });
}

void TKedEditModel::RedoItem() {
  ReplayLast(*redoList_, [&](const TKedEditUndoItem* item, TBufferCoord start, TBufferCoord end,
                             TKedSelectionMode mode) {
    switch (item->Reason) {
      case crkInsert:
      case crkPaste:
      case crkDropInsert: {
        PlaceCaretAndSelection(start, start, end);
        activeSelectionMode_ = mode;
        const std::string taken = GetSelText();
        SetSelTextInMode(mode, item->Text, false);
        const TBufferCoord newEnd = GetCaretPos();
        undoList_->RecordChange(item->Reason, start, newEnd, taken, mode);
        if (item->Reason == crkDropInsert) {
          PlaceCaretAndSelection(start, start, newEnd);
          activeSelectionMode_ = mode;
        }
        break;
      }
      case crkDeleteBackward:
      case crkDelete:
      case crkSilentDelete:
      case crkSilentDeleteForward:
      case crkDeleteAll: {
        PlaceCaretAndSelection(start, start, end);
        activeSelectionMode_ = mode;
        DeleteAndRecordSelection(item->Reason, start, end, mode);
        SetCaretAndCollapse(
            mode == TKedSelectionMode::smColumn
                ? TBufferCoord{std::min(start.Char, end.Char), std::min(start.Line, end.Line)}
                : MinTextPos(start, end));
        break;
      }
      case crkLineBreak:
        PlaceCaretAndSelection(start, start, start);
        LineBreak(true);
        break;
      case crkIndent:
        undoList_->RecordChange(item->Reason, start, end, item->Text, mode);
        PlaceCaretAndSelection(end, start, end);
        break;
      case crkUnindent: {
        undoList_->RecordChange(item->Reason, start, end, item->Text, mode);
        const int at = mode == TKedSelectionMode::smColumn ? std::min(start.Char, end.Char) : 1;
        const std::vector<std::string_view> pieces = SplitPieces(item->Text);
        {
          lines_->BeginUpdate();
          TScopeExit update([&lines = *lines_] { lines.EndUpdate(); });
          for (size_t i = 0; i < pieces.size(); ++i) {
            const int line = start.Line + static_cast<int>(i);
            if (pieces[i].empty() || line > lines_->Count()) continue;
            std::string text(LineAt(line));
            text.erase(static_cast<size_t>(at - 1), pieces[i].size());
            lines_->Put(line - 1, text);
          }
        }
        if (mode == TKedSelectionMode::smColumn) {
          PlaceCaretAndSelection(start, start, end);
        } else {
          const TBufferCoord from{std::max(1, start.Char - static_cast<int>(pieces.front().size())),
                                  start.Line};
          const TBufferCoord to{std::max(1, end.Char - static_cast<int>(pieces.back().size())),
                                end.Line};
          PlaceCaretAndSelection(from, from, to);
        }
        break;
      }
      case crkCaret:
      case crkSelection:
        SwapPosition(item->Reason, start, end, *undoList_);
        break;
      case crkWhitespaceAdd:
        undoList_->RecordChange(item->Reason, start, end, std::string(), mode);
        PlaceCaretAndSelection(end, end, end);
        activeSelectionMode_ = mode;
        SetSelTextInMode(mode, item->Text, true);
        SetCaretAndCollapse(start);
        break;
      default:
        undoList_->RecordChange(item->Reason, start, end, item->Text, mode);
        break;
    }
  });
}

// ---- marks
// -------------------------------------------------------------------------------------------

TKedEditMark* TKedEditModel::AddMark(int line, int aChar, int imageIndex) {
  auto mark = std::make_unique<TKedEditMark>();
  mark->Line = line;
  mark->Char = aChar;
  mark->ImageIndex = imageIndex;
  mark->Visible = true;
  marks_.push_back(std::move(mark));
  InvalidateGutter();
  return marks_.back().get();
}

void TKedEditModel::SetBookmark(int number, int aChar, int line) {
  if (number < 0 || number > 9 || line < 1 || line > std::max(1, lines_->Count())) return;
  ClearBookmark(number);
  TKedEditMark* mark = AddMark(line, aChar, number);
  mark->BookmarkNumber = number;
  mark->InternalImage = true;
  bookmarks_[number] = mark;
}

void TKedEditModel::ClearBookmark(int number) {
  if (number < 0 || number > 9 || bookmarks_[number] == nullptr) return;
  TKedEditMark* mark = bookmarks_[number];
  bookmarks_[number] = nullptr;
  std::erase_if(marks_, [mark](const std::unique_ptr<TKedEditMark>& m) { return m.get() == mark; });
  InvalidateGutter();
}

TKedEditMark* TKedEditModel::Bookmark(int number) const {
  return number >= 0 && number <= 9 ? bookmarks_[number] : nullptr;
}

bool TKedEditModel::GetBookmark(int number, int& aChar, int& line) const {
  const TKedEditMark* mark = Bookmark(number);
  if (mark == nullptr) return false;
  aChar = mark->Char;
  line = mark->Line;
  return true;
}

void TKedEditModel::GotoBookmark(int number) {
  const TKedEditMark* mark = Bookmark(number);
  if (mark == nullptr || mark->Line < 1 || mark->Line > lines_->Count()) return;
  const TBufferCoord at{mark->Char, mark->Line};
  Locked(*this, [&] {
    PlaceCaret(false, at);
    ScrollToCaret(true);
    SetCaretAndCollapse(GetCaretPos());
  });
}

std::vector<TKedEditMark*> TKedEditModel::CollectLineMarks(int line) const {
  std::vector<TKedEditMark*> result;
  for (const auto& mark : marks_) {
    if (mark->Line != line) continue;
    result.push_back(mark.get());
    if (result.size() == 16) break;
  }
  return result;
}

void TKedEditModel::MarksLinesInserted(int line, int count) {
  bool moved = false;
  for (const auto& mark : marks_) {
    if (mark->Line >= line) {
      mark->Line += count;
      moved = true;
    }
  }
  if (moved) InvalidateGutter();
}

void TKedEditModel::MarksLinesDeleted(int line, int count) {
  if (count <= 0) return;
  bool moved = false;
  for (const auto& mark : marks_) {
    if (mark->Line >= line + count) {
      mark->Line -= count;
      moved = true;
    } else if (mark->Line > line) {
      mark->Line = line;
      moved = true;
    }
  }
  if (moved) InvalidateGutter();
}
