// The editor model's command pipeline: key translation, the dispatch of every command,
// caret movement, word and bracket positions, and the editing commands of the keyboard.
#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/KedEditHighlighter.h"
#include "editor/KedEditKeyCmds.h"
#include "editor/KedEditMiscProcs.h"
#include "editor/KedEditModel.h"
#include "editor/KedEditModelGuards.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"

namespace {

using ked_detail::Locked;
using ked_detail::UndoBlock;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

}  // namespace

// ---- keys --------------------------------------------------------------------------------

TKedEditorCommand TKedEditModel::TranslateKey(std::uint16_t key, TShiftState shift) {
  TKedEditorCommand command = ecNone;
  int i = lastKey_ != 0 ? keystrokes_->IndexOfKeyPair(lastKey_, lastShift_, key, shift) : -1;
  if (i < 0) i = keystrokes_->IndexOfKey(key, shift);
  if (i >= 0) command = keystrokes_->Items(i)->Command();
  // An unbound key of the ordinary range may start a two-key sequence.
  if (command == ecNone && key >= 0x1E && key <= 0x91) {
    lastKey_ = key;
    lastShift_ = shift;
  } else {
    lastKey_ = 0;
    lastShift_ = {};
  }
  return command;
}

void TKedEditModel::RunCommand(TKedEditorCommand command, char ch, const void* data) {
  if (command > 1000) {
    if (OnProcessUserCommand) OnProcessUserCommand(sender_, command, ch, data);
  } else if (OnProcessCommand) {
    OnProcessCommand(sender_, command, ch, data);
  }
  if (command != ecNone && command >= 1 && command <= 1000) PerformCommand(command, ch, data);
  if (OnCommandProcessed) OnCommandProcessed(sender_, command, ch, data);
}

void TKedEditModel::PerformCommand(TKedEditorCommand command, char ch, const void* data) {
  Locked(*this, [&] {
    const bool selecting = command >= ecSelLeft && command <= ecSelGotoXY;
    const TKedEditorCommand move = selecting ? command - ecSelection : command;
    switch (move) {
      case ecLeft:
      case ecRight:
        StepCaretHorizontally(move == ecLeft ? -1 : 1, selecting);
        return;
      case ecUp:
      case ecDown:
        StepCaretVertically(move == ecUp ? -1 : 1, selecting);
        return;
      case ecWordLeft:
        MoveCaretSelecting(GetCaretPos(), PrevWordOf(GetCaretPos()), selecting);
        return;
      case ecWordRight:
        MoveCaretSelecting(GetCaretPos(), NextWordOf(GetCaretPos()), selecting);
        return;
      case ecLineStart:
        GoLineStart(selecting);
        return;
      case ecLineEnd:
        GoLineEnd(selecting);
        return;
      case ecPageUp:
      case ecPageDown: {
        int page = linesInWindow_;
        if (options_.Contains(eoHalfPageScroll)) page >>= 1;
        if (options_.Contains(eoScrollByOneLess)) --page;
        if (move == ecPageUp) page = -page;
        SetTopLine(topLine_ + page);
        StepCaretVertically(page, selecting);
        return;
      }
      case ecPageLeft:
      case ecPageRight:
        StepCaretHorizontally(move == ecPageLeft ? -charsInWindow_ : charsInWindow_, selecting);
        return;
      case ecPageTop:
      case ecPageBottom: {
        const int row = move == ecPageTop ? topLine_ : topLine_ + linesInWindow_ - 1;
        MoveCaretSelecting(GetCaretPos(), DisplayToTextPos({GetCaretDisplayColumn(), row}),
                           selecting);
        return;
      }
      case ecEditorTop:
        MoveCaretSelecting(GetCaretPos(), {1, 1}, selecting);
        return;
      case ecEditorBottom: {
        const int count = lines_->Count();
        const TBufferCoord end =
            count == 0 ? TBufferCoord{1, 0} : TBufferCoord{LineLength(count) + 1, count};
        MoveCaretSelecting(GetCaretPos(), end, selecting);
        return;
      }
      case ecGotoXY:
        if (data)
          MoveCaretSelecting(GetCaretPos(), *static_cast<const TBufferCoord*>(data), selecting);
        return;
      default:
        break;
    }
    switch (command) {
      case ecSelectAll:
        SelectWholeText();
        return;
      case ecCopy:
        CopyToClipboard();
        return;
      case ecScrollUp:
      case ecScrollDown:
        ScrollCommand(command == ecScrollUp);
        return;
      case ecScrollLeft:
      case ecScrollRight:
        SetLeftChar(leftChar_ + (command == ecScrollLeft ? -1 : 1));
        return;
      case ecInsertMode:
        SetInsertMode(true);
        return;
      case ecOverwriteMode:
        SetInsertMode(false);
        return;
      case ecToggleMode:
        SetInsertMode(!insertMode_);
        return;
      case ecNormalSelect:
        SetSelectionMode(TKedSelectionMode::smNormal);
        return;
      case ecColumnSelect:
        SetSelectionMode(TKedSelectionMode::smColumn);
        return;
      case ecLineSelect:
        SetSelectionMode(TKedSelectionMode::smLine);
        return;
      case ecMatchBracket:
        GoMatchingBracket();
        return;
      case ecUndo:
        Undo();
        return;
      case ecRedo:
        Redo();
        return;
      case ecCut:
        if (!readOnly_ && HasSelection()) CutToClipboard();
        return;
      case ecPaste:
        if (!readOnly_) PasteFromClipboard();
        return;
      default:
        break;
    }
    if (command >= ecGotoMarker0 && command <= ecGotoMarker9) {
      if (bookmarkKeys_) GotoBookmark(command - ecGotoMarker0);
      return;
    }
    if (command >= ecSetMarker0 && command <= ecSetMarker9) {
      if (!bookmarkKeys_) return;
      const int n = command - ecSetMarker0;
      const TBufferCoord at = data ? *static_cast<const TBufferCoord*>(data) : GetCaretPos();
      if (TKedEditMark* mark = bookmarks_[n]) {
        const bool sameLine = mark->Line == at.Line;
        ClearBookmark(n);
        if (!sameLine) SetBookmark(n, at.Char, at.Line);
      } else {
        SetBookmark(n, at.Char, at.Line);
      }
      return;
    }
    if (!readOnly_) PerformEditCommand(command, ch, data);
  });
}

void TKedEditModel::PerformEditCommand(TKedEditorCommand command, char ch, const void* data) {
  switch (command) {
    case ecDeleteLastChar:
      DeleteLastChar();
      break;
    case ecDeleteChar:
      DeleteChar();
      break;
    case ecDeleteWord:
    case ecDeleteEOL:
      DeleteWordOrEol(command == ecDeleteEOL);
      break;
    case ecDeleteLastWord:
    case ecDeleteBOL:
      DeleteLastWordOrBol(command == ecDeleteBOL);
      break;
    case ecDeleteLine:
      DeleteLine();
      break;
    case ecClearAll:
      ClearAll();
      break;
    case ecLineBreak:
    case ecInsertLine:
      LineBreak(command == ecLineBreak);
      break;
    case ecChar:
      TypeChar(ch);
      break;
    case ecImeStr:
      if (data) InsertString(static_cast<const char*>(data));
      break;
    case ecTab:
      InsertTab();
      break;
    case ecShiftTab:
      RemoveTab();
      break;
    case ecBlockIndent:
      IndentBlock();
      break;
    case ecBlockUnindent:
      UnindentBlock();
      break;
    case ecUpperCase:
    case ecLowerCase:
    case ecToggleCase:
    case ecTitleCase:
    case ecUpperCaseBlock:
    case ecLowerCaseBlock:
    case ecToggleCaseBlock:
      ConvertCase(command);
      break;
    default:
      break;
  }
}

void TKedEditModel::ScrollCommand(bool up) {
  const int row = GetCaretDisplayRow();
  if (row < topLine_ || row > topLine_ + linesInWindow_ - 1) {
    EnsureCaretVisible();
    return;
  }
  if (up) {
    SetTopLine(topLine_ - 1);
    const int last = topLine_ + linesInWindow_ - 1;
    if (row > last) StepCaretVertically(last - row, false);
  } else {
    SetTopLine(topLine_ + 1);
    if (row < topLine_) StepCaretVertically(topLine_ - row, false);
  }
  EnsureCaretVisible();
}

// ---- caret movement ------------------------------------------------------------------------

void TKedEditModel::StepCaretHorizontally(int delta, bool selecting) {
  const std::string_view line = LineAt(caretY_);
  const int length = static_cast<int>(line.size());
  const bool pastEol = options_.Contains(eoScrollPastEol);
  if (!pastEol) {
    if (delta == -1 && caretX_ == 1 && caretY_ > 1) {
      MoveCaretSelecting(GetCaretPos(), {LineLength(caretY_ - 1) + 1, caretY_ - 1}, selecting);
      return;
    }
    if (delta == 1 && caretX_ > length && caretY_ < lines_->Count()) {
      MoveCaretSelecting(GetCaretPos(), {1, caretY_ + 1}, selecting);
      return;
    }
  }
  int target = std::max(1, caretX_ + delta);
  if (delta > 0 && !pastEol) target = std::min(target, length + 1);
  if (target >= 2 && target <= length && IsKedTrailByteAt(line, target))
    target += delta > 0 ? 1 : -1;
  MoveCaretSelecting(GetCaretPos(), {target, caretY_}, selecting);
}

void TKedEditModel::StepCaretVertically(int delta, bool selecting) {
  const TDisplayPos from = GetCaretDisplayPos();
  int row = from.Row + delta;
  if (delta >= 0) {
    if (DisplayRowToLine(row) > lines_->Count()) row = std::max(1, GetDisplayRowCount());
  } else if (row < 1) {
    row = 1;
  }
  int column = from.Column;
  if (row != from.Row && options_.Contains(eoKeepCaretX)) column = lastCaretColumn_;
  TBufferCoord target = DisplayToTextPos({column, row});
  bool correction = trailByteCorrection_;
  if (row != from.Row) {
    if (trailByteCorrection_ && !options_.Contains(eoKeepCaretX)) ++target.Char;
    const std::string_view line = LineAt(target.Line);
    correction =
        target.Char <= static_cast<int>(line.size()) && IsKedTrailByteAt(line, target.Char);
    if (correction) --target.Char;
  }
  const int remembered = lastCaretColumn_;
  MoveCaretSelecting(GetCaretPos(), target, selecting);
  trailByteCorrection_ = correction;
  lastCaretColumn_ = remembered;
}

void TKedEditModel::GoLineStart(bool selecting) {
  int target = 1;
  if (options_.Contains(eoEnhanceHomeKey)) {
    const std::string_view line = LineAt(caretY_);
    int first = 1;
    while (first <= static_cast<int>(line.size()) && IsSpace(line[static_cast<size_t>(first - 1)]))
      ++first;
    if (first > static_cast<int>(line.size())) first = 1;
    target = (first >= caretX_ && caretX_ != 1) ? 1 : first;
  }
  MoveCaretSelecting(GetCaretPos(), {target, caretY_}, selecting);
}

void TKedEditModel::GoLineEnd(bool selecting) {
  const std::string_view line = LineAt(caretY_);
  int target = static_cast<int>(line.size()) + 1;
  if (options_.Contains(eoEnhanceEndKey)) {
    int last = static_cast<int>(line.size());
    while (last > 0 && IsSpace(line[static_cast<size_t>(last - 1)])) --last;
    if (caretX_ != last + 1) target = last + 1;
  }
  MoveCaretSelecting(GetCaretPos(), {target, caretY_}, selecting);
}

// ---- words and brackets ------------------------------------------------------------------------

TBufferCoord TKedEditModel::NextWordOf(const TBufferCoord& pos) const {
  const int count = lines_->Count();
  if (pos.Line < 1 || pos.Line > count) return pos;
  TKedCharSet word, separators;
  GetWordCharSets(word, separators);
  const std::string_view line = LineAt(pos.Line);
  const int length = static_cast<int>(line.size());
  if (pos.Char >= 1 && pos.Char < length) {
    int c = pos.Char;
    if (word.test(static_cast<unsigned char>(line[static_cast<size_t>(c - 1)]))) {
      c = FindCharInSet(line, c, separators);
      if (c == 0) return {length + 1, pos.Line};
    }
    c = FindCharInSet(line, c, word);
    return {c > 0 ? c : length + 1, pos.Line};
  }
  if (pos.Line < count) {
    const int c = FindCharInSet(LineAt(pos.Line + 1), 1, word);
    return {c > 0 ? c : 1, pos.Line + 1};
  }
  return pos;
}

TBufferCoord TKedEditModel::PrevWordOf(const TBufferCoord& pos) const {
  if (pos.Line < 1 || pos.Line > lines_->Count()) return pos;
  TKedCharSet word, separators;
  GetWordCharSets(word, separators);
  const std::string_view line = LineAt(pos.Line);
  const int c = std::min(pos.Char, static_cast<int>(line.size()) + 1);
  const TBufferCoord previousLineEnd =
      pos.Line > 1 ? TBufferCoord{LineLength(pos.Line - 1) + 1, pos.Line - 1} : pos;
  if (c <= 1) return previousLineEnd;
  int last = c - 1;  // 1-based index of the character before the position
  if (separators.test(static_cast<unsigned char>(line[static_cast<size_t>(last - 1)]))) {
    last = FindLastCharInSet(line, last, word);
    if (last == 0) return pos.Line > 1 ? previousLineEnd : TBufferCoord{1, pos.Line};
  }
  return {FindLastCharInSet(line, last, separators) + 1, pos.Line};
}

TBufferCoord TKedEditModel::FindMatchingBracketFrom(const TBufferCoord& pos) {
  static constexpr char kBrackets[] = "()[]{}<>";
  const int count = lines_->Count();
  if (pos.Line < 1 || pos.Line > count) return {0, 0};
  const std::string_view start = LineAt(pos.Line);
  if (pos.Char < 1 || pos.Char > static_cast<int>(start.size())) return {0, 0};
  const char c = start[static_cast<size_t>(pos.Char - 1)];
  const char* at = std::strchr(kBrackets, c);
  if (c == '\0' || at == nullptr) return {0, 0};
  const int index = static_cast<int>(at - kBrackets);
  const bool opening = index % 2 == 0;
  const char partner = kBrackets[opening ? index + 1 : index - 1];
  int level = 1;
  int lineNo = pos.Line;
  int i = pos.Char - 1;  // 0-based
  while (lineNo >= 1 && lineNo <= count) {
    const std::string_view line = LineAt(lineNo);
    i += opening ? 1 : -1;
    if (i < 0 || i >= static_cast<int>(line.size())) {
      lineNo += opening ? 1 : -1;
      if (lineNo < 1 || lineNo > count) break;
      i = opening ? -1 : LineLength(lineNo);
      continue;
    }
    const char ch = line[static_cast<size_t>(i)];
    if (ch != c && ch != partner) continue;
    level += ch == c ? 1 : -1;
    if (level == 0) return {i + 1, lineNo};
  }
  return {0, 0};
}

void TKedEditModel::GoMatchingBracket() {
  const TBufferCoord match = FindMatchingBracketFrom(GetCaretPos());
  if (match.Char > 0) SetCaretPos(match);
}

// ---- editing commands ---------------------------------------------------------------------------

int TKedEditModel::CountLeadingBlanks(std::string_view text, bool expandTabs) const {
  if (!options_.Contains(eoAutoIndent)) return 0;
  int width = 0;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 1 || u > 32) break;
    width += (c == '\t' && expandTabs) ? tabWidth_ : 1;
  }
  return width;
}

std::string TKedEditModel::BuildIndent(int columns, bool allowTabs) const {
  if (columns <= 0) return std::string();
  if (options_.Contains(eoTabsToSpaces) || !allowTabs || columns < tabWidth_)
    return std::string(static_cast<size_t>(columns), ' ');
  return std::string(static_cast<size_t>(columns / tabWidth_), '\t') +
         std::string(static_cast<size_t>(columns % tabWidth_), ' ');
}

// Deletes the selection as one undo item; the reason tells on which side the anchor lay.
void TKedEditModel::DeleteSelectionStep() {
  const TBufferCoord anchor = blockBegin_;
  const TBufferCoord end = blockEnd_;
  const TKedSelectionMode mode = activeSelectionMode_;
  const bool backward = MinTextPos(anchor, end) == end && anchor != end;
  DeleteAndRecordSelection(backward ? crkDeleteBackward : crkDelete, anchor, end, mode);
}

void TKedEditModel::DeleteLastChar() {
  if (HasSelection()) {
    DeleteSelectionStep();
    return;
  }
  std::string line(LineAt(caretY_));
  const int length = static_cast<int>(line.size());
  const TBufferCoord old = GetCaretPos();
  std::string removed;
  if (caretX_ > length + 1) {
    // Past the line end only the caret moves: to the end, or back to an indentation.
    int target = caretX_ - 1;
    if (options_.Contains(eoSmartTabDelete)) {
      if (length > 0) {
        target = length + 1;
      } else {
        const bool expand = options_.Contains(eoTrimTrailingSpaces);
        int indent = 0;
        for (int i = caretY_ - 1; i >= 1; --i) {
          const int w = CountLeadingBlanks(LineAt(i), expand);
          if (w < caretX_ - 1) {
            indent = w;
            break;
          }
        }
        target = indent + 1;
      }
    }
    SetCaretPos({target, caretY_});
  } else if (caretX_ == 1) {
    if (caretY_ == 1) return;
    // Joins the line to the one above; the marks of the joined line go up with its text.
    std::string previous(LineAt(caretY_ - 1));
    const int previousLength = static_cast<int>(previous.size());
    if (options_.Contains(eoTrimTrailingSpaces)) {
      while (!line.empty() && IsSpace(line.back())) line.pop_back();
    }
    lines_->BeginUpdate();
    {
      TScopeExit cleanup([&] { lines_->EndUpdate(); });
      lines_->Delete(caretY_ - 1);
      lines_->Put(caretY_ - 2, previous + line);
    }
    SetCaretPos({previousLength + 1, caretY_ - 1});
    MarksLinesDeleted(caretY_, 1);
    removed = "\r\n";
  } else {
    const int blanks = CountLeadingBlanks(line, false);
    const auto before = static_cast<unsigned char>(line[static_cast<size_t>(caretX_ - 2)]);
    int from = caretX_ - 1;  // 1-based first removed character
    int n = 1;
    if (before > 32 || caretX_ - 1 != blanks) {
      if (from >= 2 && IsKedTrailByteAt(line, from)) {
        --from;
        n = 2;
      }
    } else if (options_.Contains(eoSmartTabDelete)) {
      int target = 0;
      for (int i = caretY_ - 1; i >= 1; --i) {
        const int w = CountLeadingBlanks(LineAt(i), false);
        if (w < blanks) {
          target = w;
          break;
        }
      }
      n = blanks - target;
      from = 1;
    } else {
      // One tab stop back, stopping at a tab.
      const int column = CharIndexToColumn(caretX_, tabWidth_, line) - 1;
      const int stop = column % tabWidth_ == 0 ? tabWidth_ : column % tabWidth_;
      n = 0;
      for (int i = caretX_ - 2; i >= 0 && n < stop; --i) {
        ++n;
        if (line[static_cast<size_t>(i)] == '\t') break;
      }
      from = caretX_ - n;
    }
    n = std::max(n, 1);
    removed = line.substr(static_cast<size_t>(from - 1), static_cast<size_t>(n));
    line.erase(static_cast<size_t>(from - 1), static_cast<size_t>(n));
    const int newX = caretX_ - n;
    PutLine(caretY_ - 1, line);
    SetCaretPos({newX, caretY_});
  }
  if (GetCaretPos() != old) {
    blockBegin_ = blockEnd_ = GetCaretPos();
    undoList_->RecordChange(crkSilentDelete, GetCaretPos(), old, removed,
                            TKedSelectionMode::smNormal);
  }
  EnsureCaretVisible();
}

void TKedEditModel::DeleteChar() {
  if (HasSelection()) {
    DeleteSelectionStep();
    return;
  }
  RememberCaretColumn();
  std::string line(LineAt(caretY_));
  const int length = static_cast<int>(line.size());
  const TBufferCoord start = GetCaretPos();
  TBufferCoord end = start;
  std::string removed;
  if (caretX_ > length) {
    if (caretY_ >= lines_->Count()) return;
    // Joins the next line; padding up to the caret is its own undo item, so undo gives
    // back the line exactly as it was.
    UndoBlock block(*undoList_);
    const int pad = caretX_ - 1 - length;
    lines_->BeginUpdate();
    {
      TScopeExit cleanup([&] { lines_->EndUpdate(); });
      line.append(static_cast<size_t>(std::max(pad, 0)), ' ');
      line += LineAt(caretY_ + 1);
      lines_->Delete(caretY_);
      lines_->Put(caretY_ - 1, line);
    }
    MarksLinesDeleted(caretY_, 1);
    if (pad > 0)
      undoList_->RecordChange(crkWhitespaceAdd, start, {length + 1, caretY_}, std::string(),
                              TKedSelectionMode::smNormal);
    removed = "\r\n";
    end = {1, caretY_ + 1};
    undoList_->RecordChange(crkSilentDeleteForward, start, end, removed,
                            TKedSelectionMode::smNormal);
    blockBegin_ = blockEnd_ = GetCaretPos();
    return;
  }
  const int n = (caretX_ < length &&
                 IsKedLeadByte(static_cast<unsigned char>(line[static_cast<size_t>(caretX_ - 1)])))
                    ? 2
                    : 1;
  removed = line.substr(static_cast<size_t>(caretX_ - 1), static_cast<size_t>(n));
  line.erase(static_cast<size_t>(caretX_ - 1), static_cast<size_t>(n));
  PutLine(caretY_ - 1, line);
  end = {caretX_ + n, caretY_};
  blockBegin_ = blockEnd_ = GetCaretPos();
  undoList_->RecordChange(crkSilentDeleteForward, start, end, removed, TKedSelectionMode::smNormal);
}

void TKedEditModel::DeleteWordOrEol(bool toLineEnd) {
  const int length = LineLength(caretY_);
  // Past the line end the deletion starts at the end itself.
  const TBufferCoord start{std::min(caretX_, length + 1), caretY_};
  TBufferCoord end{length + 1, caretY_};
  if (!toLineEnd) {
    end = WordEndOf(start);
    if (start.Char >= end.Char) {
      if (start.Char > length) {
        if (caretY_ >= lines_->Count()) return;
        end = {1, caretY_ + 1};
      } else if (LineAt(caretY_)[static_cast<size_t>(end.Char - 1)] != ' ') {
        ++end.Char;
      }
    }
    const std::string_view endLine = LineAt(end.Line);
    while (end.Char <= static_cast<int>(endLine.size()) &&
           endLine[static_cast<size_t>(end.Char - 1)] == ' ')
      ++end.Char;
  }
  if (end == start) return;
  DeleteSilently(crkSilentDeleteForward, start, end);
}

// Deletes start..end as a normal selection whatever the active mode, records it as one change
// of the given reason, and leaves the caret at start.
void TKedEditModel::DeleteSilently(std::uint8_t reason, TBufferCoord start, TBufferCoord end) {
  const TKedSelectionMode mode = activeSelectionMode_;
  activeSelectionMode_ = TKedSelectionMode::smNormal;
  blockBegin_ = start;
  blockEnd_ = end;
  const std::string text = GetSelText();
  SetSelText("");
  activeSelectionMode_ = mode;
  undoList_->RecordChange(reason, start, end, text, TKedSelectionMode::smNormal);
  SetCaretAndCollapse(start);
}

void TKedEditModel::DeleteLastWordOrBol(bool toLineStart) {
  const int length = LineLength(caretY_);
  const TBufferCoord caret{std::min(caretX_, length + 1), caretY_};
  const TBufferCoord start = toLineStart ? TBufferCoord{1, caretY_} : PrevWordOf(caret);
  if (start == caret || start == GetCaretPos()) {
    if (caret != GetCaretPos()) SetCaretAndCollapse(caret);
    return;
  }
  DeleteSilently(crkSilentDelete, start, caret);
}

void TKedEditModel::DeleteLine() {
  const int count = lines_->Count();
  if (count == 0) return;
  const std::string text(LineAt(caretY_));
  if (caretY_ == count && text.empty()) return;
  SetCaretAndCollapse(GetCaretPos());
  if (caretY_ == count) {
    PutLine(caretY_ - 1, std::string());
    undoList_->RecordChange(crkSilentDeleteForward, {1, caretY_},
                            {static_cast<int>(text.size()) + 1, caretY_}, text,
                            TKedSelectionMode::smNormal);
  } else {
    lines_->Delete(caretY_ - 1);
    undoList_->RecordChange(crkSilentDeleteForward, {1, caretY_}, {1, caretY_ + 1}, text + "\r\n",
                            TKedSelectionMode::smNormal);
    MarksLinesDeleted(caretY_, 1);
  }
  SetCaretAndCollapse({1, caretY_});
}

void TKedEditModel::LineBreak(bool moveCaret) {
  UndoBlock block(*undoList_);
  if (HasSelection()) {
    const TBufferCoord anchor = blockBegin_;
    const TBufferCoord end = blockEnd_;
    const TKedSelectionMode mode = activeSelectionMode_;
    const std::string text = GetSelText();
    SetSelText("");
    undoList_->RecordChange(crkDelete, anchor, end, text, mode);
  }
  const std::string line(LineAt(caretY_));
  const int length = static_cast<int>(line.size());
  const bool atLineStart = caretX_ == 1;
  const TBufferCoord at = GetCaretPos();
  TBufferCoord caret = at;
  lines_->BeginUpdate();
  {
    TScopeExit cleanup([&] { lines_->EndUpdate(); });
    if (length == 0) {
      if (lines_->Count() == 0) lines_->Add(std::string());
      int indent = 0;
      if (options_.Contains(eoAutoIndent)) {
        for (int i = caretY_; i >= 1; --i) {
          if (LineLength(i) > 0) {
            indent = CountLeadingBlanks(LineAt(i), true);
            break;
          }
        }
      }
      lines_->Insert(caretY_ - 1, std::string());
      undoList_->RecordChange(crkLineBreak, at, at, std::string(), TKedSelectionMode::smNormal);
      if (moveCaret) caret = {indent + 1, caretY_ + 1};
    } else if (caretX_ > length) {
      const int indent = CountLeadingBlanks(line, false);
      // Both commands give the new line the indentation, so a redo (which replays a line
      // break) makes the same text as an inserted line did.
      lines_->Insert(caretY_, line.substr(0, static_cast<size_t>(indent)));
      if (moveCaret) caret = {indent + 1, caretY_ + 1};
      undoList_->RecordChange(crkLineBreak, at, at, std::string(), TKedSelectionMode::smNormal);
    } else if (atLineStart) {
      lines_->Insert(caretY_ - 1, std::string());
      undoList_->RecordChange(crkLineBreak, at, at, line, TKedSelectionMode::smNormal);
      if (moveCaret) caret = {1, caretY_ + 1};
    } else {
      const std::string left = line.substr(0, static_cast<size_t>(caretX_ - 1));
      const std::string right = line.substr(static_cast<size_t>(caretX_ - 1));
      PutLine(caretY_ - 1, left);
      const std::string indent = BuildIndent(CountLeadingBlanks(left, true), true);
      lines_->Insert(caretY_, indent + right);
      undoList_->RecordChange(crkLineBreak, at, at, right, TKedSelectionMode::smNormal);
      if (moveCaret) caret = {static_cast<int>(indent.size()) + 1, caretY_ + 1};
    }
  }
  // The new line lies below the caret line, or is the caret line itself when the break
  // was made at its start.
  MarksLinesInserted(atLineStart || length == 0 ? at.Line : at.Line + 1, 1);
  SetCaretPos(caret);
  blockBegin_ = blockEnd_ = GetCaretPos();
  ReportStatusChange({scSelection});
  EnsureCaretVisible();
  RememberCaretColumn();
}

void TKedEditModel::TypeChar(char ch) {
  const auto u = static_cast<unsigned char>(ch);
  if (u < 32 || u == 127) return;
  if (HasSelection()) {
    UndoBlock block(*undoList_);
    const TBufferCoord anchor = blockBegin_;
    const TBufferCoord end = blockEnd_;
    const TKedSelectionMode mode = activeSelectionMode_;
    TBufferCoord start = GetSelBegin();
    if (mode == TKedSelectionMode::smLine) start.Char = 1;
    undoList_->RecordChange(crkDelete, anchor, end, GetSelText(), mode);
    SetSelText(std::string(1, ch));
    if (mode != TKedSelectionMode::smColumn)
      undoList_->RecordChange(crkInsert, start, blockEnd_, std::string(),
                              TKedSelectionMode::smNormal);
    if (host_) host_->HostPaintTransient(true);
    return;
  }
  const TKedEditorOptions savedOptions = options_;
  options_ += eoScrollPastEol;
  {
    TScopeExit cleanup([&] { options_ = savedOptions; });
    std::string line(LineAt(caretY_));
    const int length = static_cast<int>(line.size());
    const bool wasEmpty = length == 0;
    int filler = 0;
    if (caretX_ > length) {
      const int count = insertMode_ ? caretX_ - length - 1 : caretX_ - length;
      if (count > 0) {
        const std::string fill =
            wasEmpty ? BuildIndent(count, true) : std::string(static_cast<size_t>(count), ' ');
        line += fill;
        filler = count;
      }
    }
    const TBufferCoord old = GetCaretPos();
    if (insertMode_) {
      // Refused only past the line end: inside a line the scroll width grows with it.
      if (!wordWrap_ && !savedOptions.Contains(eoAutoSizeMaxScrollWidth) &&
          caretX_ > maxScrollWidth_ && caretX_ > length + 1) {
        return;
      }
      const size_t at = filler > 0 ? line.size() : static_cast<size_t>(caretX_ - 1);
      line.insert(at, 1, ch);
      const int newX = wasEmpty ? static_cast<int>(line.size()) + 1 : caretX_ + 1;
      PutLine(caretY_ - 1, line);
      SetCaretPos({newX, caretY_});
      blockBegin_ = blockEnd_ = GetCaretPos();
      if (filler == 0) {
        undoList_->RecordChange(crkInsert, old, GetCaretPos(), std::string(),
                                TKedSelectionMode::smNormal);
      } else {
        UndoBlock block(*undoList_);
        undoList_->RecordChange(crkWhitespaceAdd, {caretX_ - 1, caretY_}, {length + 1, caretY_},
                                std::string(), TKedSelectionMode::smNormal);
        undoList_->RecordChange(crkInsert, old, GetCaretPos(), std::string(),
                                TKedSelectionMode::smNormal);
      }
    } else {
      const size_t at = static_cast<size_t>(caretX_ - 1);
      size_t n = 1;
      if (at + 1 < line.size() && IsKedLeadByte(static_cast<unsigned char>(line[at]))) n = 2;
      const std::string replaced = filler > 0 ? std::string() : line.substr(at, n);
      line[at] = ch;
      if (n == 2) line[at + 1] = ' ';
      PutLine(caretY_ - 1, line);
      const TBufferCoord end{caretX_ + static_cast<int>(n), caretY_};
      if (filler > 0) {
        UndoBlock block(*undoList_);
        undoList_->RecordChange(crkWhitespaceAdd, {caretX_, caretY_}, {length + 1, caretY_},
                                std::string(), TKedSelectionMode::smNormal);
        undoList_->RecordChange(crkInsert, old, {caretX_ + 1, caretY_}, std::string(),
                                TKedSelectionMode::smNormal);
      } else {
        undoList_->RecordChange(crkInsert, old, end, replaced, TKedSelectionMode::smNormal);
      }
      SetCaretPos({caretX_ + 1, caretY_});
      blockBegin_ = blockEnd_ = GetCaretPos();
    }
    if (charsInWindow_ > 0 && caretX_ >= leftChar_ + charsInWindow_)
      SetLeftChar(leftChar_ + std::min(25, charsInWindow_ - 1));
  }
  if (host_) host_->HostPaintTransient(true);
}

void TKedEditModel::InsertString(std::string_view text) {
  if (text.empty()) return;
  ReplaceSelection(text);
}

void TKedEditModel::InsertTab() {
  if (options_.Contains(eoTabIndent) && (SelectionSpansLines() || SelectionCoversWholeLine())) {
    const bool wholeLine = !SelectionSpansLines();
    IndentBlock();
    if (wholeLine) {
      if (blockBegin_.Char < blockEnd_.Char)
        blockBegin_.Char = 1;
      else
        blockEnd_.Char = 1;
    }
    return;
  }
  // Smart tabs reach the next word start of the nearest longer line above.
  int width = 0;
  if (options_.Contains(eoSmartTabs) && caretY_ > 1) {
    const int column = GetCaretDisplayColumn();
    for (int line = caretY_ - 1; line >= 1; --line) {
      const std::string_view text = LineAt(line);
      const int at = KedColumnToChar(text, column, tabWidth_);
      if (at > static_cast<int>(text.size())) continue;
      int i = at - 1;
      while (i < static_cast<int>(text.size()) && !IsSpace(text[static_cast<size_t>(i)])) ++i;
      while (i < static_cast<int>(text.size()) && IsSpace(text[static_cast<size_t>(i)])) ++i;
      width = i - (at - 1);
      break;
    }
  }
  const int from = HasSelection() ? GetSelBegin().Char : caretX_;
  if (width == 0) {
    width = tabWidth_;
    if (options_.Contains(eoTabsToSpaces)) width = tabWidth_ - (from - 1) % tabWidth_;
  }
  ReplaceSelection(options_.Contains(eoTabsToSpaces) ? std::string(static_cast<size_t>(width), ' ')
                                                     : std::string("\t"));
  EnsureCaretVisible();
}

void TKedEditModel::RemoveTab() {
  if (options_.Contains(eoTabIndent) && (SelectionSpansLines() || SelectionCoversWholeLine())) {
    UnindentBlock();
    return;
  }
  const std::string_view line = LineAt(caretY_);
  const int length = static_cast<int>(line.size());
  int target = caretX_;
  if (options_.Contains(eoSmartTabs) && target > 1 && caretY_ > 1) {
    for (int above = caretY_ - 1; above >= 1; --above) {
      const std::string_view text = LineAt(above);
      if (static_cast<int>(text.size()) < caretX_ - 1) continue;
      int i = caretX_ - 2;  // 0-based index of the character before the caret column
      while (i >= 0 && text[static_cast<size_t>(i)] == ' ' && target > 1) --i, --target;
      while (i >= 0 && text[static_cast<size_t>(i)] != ' ' && target > 1) --i, --target;
      break;
    }
  }
  if (target == caretX_ && caretX_ > 1) {
    const int stop = tabWidth_ * ((caretX_ - 2) / tabWidth_) + 1;
    if (caretX_ > length) {
      target = stop;
    } else if (line[static_cast<size_t>(caretX_ - 2)] == '\t') {
      target = caretX_ - 1;
    } else {
      while (target > stop && line[static_cast<size_t>(target - 2)] == ' ') --target;
    }
  }
  if (target == caretX_) return;
  DeleteLastWordOrBolTo({target, caretY_});
}

// Deletes from start to the caret (start on the caret line) as one silent deletion.
void TKedEditModel::DeleteLastWordOrBolTo(TBufferCoord start) {
  const TBufferCoord caret{std::min(caretX_, LineLength(caretY_) + 1), caretY_};
  if (start.Char >= caret.Char) {
    SetCaretAndCollapse(start);
    return;
  }
  DeleteSilently(crkSilentDelete, start, caret);
}

void TKedEditModel::IndentBlock() {
  if (!HasSelection()) return;
  const TBufferCoord b = GetSelBegin();
  const TBufferCoord e = GetSelEnd();
  const TBufferCoord c = GetCaretPos();
  const TKedSelectionMode mode = activeSelectionMode_;
  const int last = std::max(b.Line, e.Char == 1 ? e.Line - 1 : e.Line);
  const std::string unit = options_.Contains(eoTabsToSpaces)
                               ? std::string(static_cast<size_t>(tabWidth_), ' ')
                               : std::string("\t");
  const int u = static_cast<int>(unit.size());
  std::string text;
  for (int line = b.Line; line <= last; ++line) {
    if (line > b.Line) text += "\r\n";
    text += unit;
  }
  const int column = mode == TKedSelectionMode::smColumn ? std::min(b.Char, e.Char) : 1;
  TBufferCoord caret = c;
  {
    UndoBlock block(*undoList_);
    PlaceCaretAndSelection({column, b.Line}, {column, b.Line}, {column, last});
    SetActiveSelectionMode(TKedSelectionMode::smColumn);
    SetSelTextInMode(TKedSelectionMode::smColumn, text, true);
    undoList_->RecordChange(crkIndent, b, e, std::string(), TKedSelectionMode::smColumn);
    undoList_->RecordChange(crkIndent, {b.Char + u, b.Line}, {e.Char + u, e.Line}, std::string(),
                            TKedSelectionMode::smColumn);
    caret = e.Char == 1 ? TBufferCoord{1, c.Line} : TBufferCoord{c.Char + u, c.Line};
  }
  const TBufferCoord start{b.Char + u, b.Line};
  const TBufferCoord end = e.Char == 1 ? e : TBufferCoord{e.Char + u, e.Line};
  SetActiveSelectionMode(mode);
  PlaceCaretAndSelection(caret, c == e ? start : end, c == e ? end : start);
}

void TKedEditModel::UnindentBlock() {
  if (!HasSelection()) return;
  const TBufferCoord b = GetSelBegin();
  const TBufferCoord e = GetSelEnd();
  const TBufferCoord c = GetCaretPos();
  const TKedSelectionMode mode = activeSelectionMode_;
  const bool column = mode == TKedSelectionMode::smColumn;
  const int at = column ? std::min(b.Char, e.Char) : 1;
  const int last = std::max(b.Line, e.Char == 1 ? e.Line - 1 : e.Line);
  std::vector<std::string> parts;
  std::string collected;
  int caretX = c.Char;
  for (int line = b.Line; line <= last; ++line) {
    const std::string_view text = LineAt(line);
    std::string part;
    const size_t from = static_cast<size_t>(at - 1);
    if (from < text.size()) {
      if (text[from] == '\t') {
        part = "\t";
      } else {
        size_t n = 0;
        while (n < static_cast<size_t>(tabWidth_) && from + n < text.size() &&
               text[from + n] == ' ')
          ++n;
        part.assign(n, ' ');
        if (n < static_cast<size_t>(tabWidth_) && from + n < text.size() && text[from + n] == '\t')
          part += '\t';
      }
    }
    if (line == c.Line && c.Char != 1) caretX = std::max(1, caretX - static_cast<int>(part.size()));
    if (line > b.Line) collected += "\r\n";
    collected += part;
    parts.push_back(std::move(part));
  }
  int firstIndent = -1;
  int lastIndent = 0;
  {
    lines_->BeginUpdate();
    TScopeExit update([&lines = *lines_] { lines.EndUpdate(); });
    for (size_t i = 0; i < parts.size(); ++i) {
      if (parts[i].empty()) continue;
      const int line = b.Line + static_cast<int>(i);
      std::string text(LineAt(line));
      text.erase(static_cast<size_t>(at - 1), parts[i].size());
      lines_->Put(line - 1, text);
      if (firstIndent < 0) firstIndent = static_cast<int>(parts[i].size());
      lastIndent = static_cast<int>(parts[i].size());
    }
  }
  if (firstIndent < 0) return;
  undoList_->RecordChange(crkUnindent, b, e, collected, mode);
  TBufferCoord caret = c;
  TBufferCoord start = b;
  TBufferCoord end = e;
  if (!column) {
    caret.Char = caretX;
    start.Char = std::max(1, start.Char - firstIndent);
    if (end.Char > 1) end.Char = std::max(1, end.Char - lastIndent);
  }
  PlaceCaretAndSelection(caret, c == e ? start : end, c == e ? end : start);
  SetActiveSelectionMode(mode);
}

void TKedEditModel::ConvertCase(TKedEditorCommand command) {
  const bool hadSelection = HasSelection();
  const TBufferCoord anchor = blockBegin_;
  const TBufferCoord end = blockEnd_;
  const TBufferCoord caret = GetCaretPos();
  const bool word = command >= ecUpperCase && command <= ecTitleCase;
  if (word) {
    for (int attempt = 0; attempt < 3 && !HasSelection(); ++attempt) {
      if (attempt > 0) SetCaretPos(PrevWordOf(GetCaretPos()));
      SelectWordAtCaret();
    }
  } else if (!hadSelection) {
    if (caretX_ <= LineLength(caretY_))
      StepCaretHorizontally(1, true);
    else if (caretY_ < lines_->Count())
      SetCaretPos({1, caretY_ + 1});
  }
  const std::string text = GetSelText();
  std::string converted;
  switch (command) {
    case ecUpperCase:
    case ecUpperCaseBlock:
      converted = AnsiUpperCase(text);
      break;
    case ecLowerCase:
    case ecLowerCaseBlock:
      converted = AnsiLowerCase(text);
      break;
    case ecTitleCase:
      converted = AnsiLowerCase(text);
      if (!converted.empty()) converted[0] = AnsiUpperCase(converted.substr(0, 1))[0];
      break;
    default:  // toggle: a character that is its own upper case goes lower, others upper
      for (char ch : text) {
        const std::string one(1, ch);
        const std::string upper = AnsiUpperCase(one);
        converted += upper == one ? AnsiLowerCase(one) : upper;
      }
      break;
  }
  if (!text.empty()) {
    UndoBlock block(*undoList_);
    undoList_->RecordChange(crkSelection, hadSelection ? anchor : caret, hadSelection ? end : caret,
                            std::string(), activeSelectionMode_);
    undoList_->RecordChange(crkCaret, caret, caret, std::string(), activeSelectionMode_);
    ReplaceSelection(converted);
  }
  // A converted block stays selected; after a word the caret goes back where it was.
  if (hadSelection && !word)
    PlaceCaretAndSelection(caret, anchor, end);
  else if (hadSelection || word)
    SetCaretAndCollapse(caret);
}
