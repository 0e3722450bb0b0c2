#include "editor/KedEditWordWrap.h"

#include <algorithm>
#include <string>

#include "editor/KedEditMiscProcs.h"
#include "editor/KedEditTextBuffer.h"
#include "framework/SysUtils.h"

namespace {

constexpr int kMaxRowLength = 255;  // a row length is stored in one byte

// Preconditions of the plug-in's operations: a violation is a fault of the caller.
void Require(bool condition, const char* what) {
  if (!condition) throw Exception(std::string("Assertion failed: ") + what);
}

// Grows in blocks so that editing line by line does not reallocate every time.
template <typename T>
void ReserveInBlocks(std::vector<T>& v, std::size_t needed, std::size_t block) {
  if (v.capacity() < needed) v.reserve((needed / block + 1) * block);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

TKedCharSet KedDefaultIdentChars() {
  TKedCharSet set;
  for (int c = 33; c <= 255; ++c) set.set(static_cast<std::size_t>(c));
  return set;
}

TKedWordWrapPlugin::TKedWordWrapPlugin(IKedWordWrapEditor* editor) : editor_(editor) {
  if (editor_ == nullptr) throw Exception("TKedWordWrapPlugin must be owned by TCustomKedEdit");
  RewrapAll();
}

int TKedWordWrapPlugin::VisibleColumns() const {
  return std::clamp(editor_->CharsInWindow(), 0, kMaxRowLength);
}

void TKedWordWrapPlugin::RewrapAll() {
  rowWidth_ = VisibleColumns();
  minRowLength_ = std::max(rowWidth_ - rowWidth_ / 3, 1);
  breakChars_ = ~editor_->IdentChars();
  WrapAllLines();
}

void TKedWordWrapPlugin::NotifyDisplayChanged() {
  if (VisibleColumns() != rowWidth_) RewrapAll();
}

int TKedWordWrapPlugin::GetRowCount() { return lineOffsets_.empty() ? 0 : lineOffsets_.back(); }

int TKedWordWrapPlugin::RowLength(int row) {
  if (row < 1 || row > GetRowCount())
    throw EListError(Format("List index out of bounds (%d)", row));
  return rowLengths_[static_cast<std::size_t>(row - 1)];
}

std::vector<std::uint8_t> TKedWordWrapPlugin::BreakLine(const std::string& text, int rowWidth,
                                                        int minRowLength, int tabWidth,
                                                        const TKedCharSet& breakChars) {
  std::vector<std::uint8_t> rows;
  const std::size_t length = text.size();
  const std::size_t width = static_cast<std::size_t>(std::max(rowWidth, 1));
  const std::size_t minRow = static_cast<std::size_t>(std::max(minRowLength, 1));
  const std::size_t tabBackOff = static_cast<std::size_t>(kMaxRowLength % std::max(tabWidth, 1));
  std::size_t s = 0;
  std::size_t e = s + width;
  while (e < length) {
    if (IsBlank(text[e])) {
      // A row ends after the blanks that follow its last word.
      while (e < length && IsBlank(text[e])) ++e;
    } else {
      for (std::size_t p = e; p > s + minRow; --p) {
        if (breakChars[static_cast<unsigned char>(text[p - 1])]) {
          e = p;
          break;
        }
      }
    }
    if (e - s > kMaxRowLength) {
      e = s + kMaxRowLength;
      // Keep a tab's columns together where possible, but never empty the row:
      // with tab stops wider than a row the cut goes through the tab.
      std::size_t cut = e;
      for (std::size_t n = 0;
           n < tabBackOff && cut > s && text[cut] == '\t' && text[cut - 1] == '\t'; ++n)
        --cut;
      if (cut > s) e = cut;
    }
    if (e < length) {
      // Where does the character that holds the byte before e start?
      std::size_t charStart = s;
      for (std::size_t i = s; i < e;) {
        charStart = i;
        i += (IsKedLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length) ? 2 : 1;
      }
      const bool splitsPair =
          charStart + 1 == e && IsKedLeadByte(static_cast<unsigned char>(text[charStart]));
      if (splitsPair) {
        // A row of just a lead byte would be empty after the step back: keep the
        // double-byte character whole in this row instead.
        e = charStart > s ? charStart : charStart + 2;
      }
    }
    rows.push_back(static_cast<std::uint8_t>(e - s));
    s = e;
    e = s + width;
  }
  if (s < length || length == 0) rows.push_back(static_cast<std::uint8_t>(length - s));
  return rows;
}

void TKedWordWrapPlugin::WrapAllLines() {
  TKedEditStringList& lines = editor_->Lines();
  const int count = lines.Count();
  lineOffsets_.clear();
  rowLengths_.clear();
  if (count == 0 || rowWidth_ == 0) {
    lineOffsets_.shrink_to_fit();
    rowLengths_.shrink_to_fit();
    return;
  }
  ReserveInBlocks(lineOffsets_, static_cast<std::size_t>(count), 256);
  for (int i = 0; i < count; ++i) {
    const std::string text = lines.GetExpandedLine(i);
    ReserveInBlocks(rowLengths_,
                    rowLengths_.size() + (text.empty() ? 0 : (text.size() - 1) / minRowLength_) + 2,
                    512);
    const auto rows = BreakLine(text, rowWidth_, minRowLength_, lines.TabWidth(), breakChars_);
    rowLengths_.insert(rowLengths_.end(), rows.begin(), rows.end());
    lineOffsets_.push_back(static_cast<int>(rowLengths_.size()));
  }
}

int TKedWordWrapPlugin::WrapOneLine(int index) {
  TKedEditStringList& lines = editor_->Lines();
  const auto rows = BreakLine(lines.GetExpandedLine(index), rowWidth_, minRowLength_,
                              lines.TabWidth(), breakChars_);
  const int first = FirstRowOf(index);
  const int oldCount = LineOffset(index) - first;
  const int delta = static_cast<int>(rows.size()) - oldCount;
  if (delta > 0)
    ReserveInBlocks(rowLengths_, rowLengths_.size() + static_cast<std::size_t>(delta), 512);
  auto at = rowLengths_.begin() + first;
  rowLengths_.erase(at, at + oldCount);
  rowLengths_.insert(rowLengths_.begin() + first, rows.begin(), rows.end());
  if (delta != 0)
    for (std::size_t i = static_cast<std::size_t>(index); i < lineOffsets_.size(); ++i)
      lineOffsets_[i] += delta;
  return delta;
}

int TKedWordWrapPlugin::NotifyLinesInserted(int index, int count) {
  if (rowWidth_ == 0) return 0;
  Require(index >= 0 && index <= LineCount(), "inserted lines start inside the text");
  Require(count > 0, "at least one line is inserted");
  ReserveInBlocks(lineOffsets_, lineOffsets_.size() + static_cast<std::size_t>(count), 256);
  lineOffsets_.insert(lineOffsets_.begin() + index, static_cast<std::size_t>(count),
                      FirstRowOf(index));
  int added = 0;
  for (int i = index; i < index + count; ++i) added += WrapOneLine(i);
  return added;
}

int TKedWordWrapPlugin::NotifyLinesDeleted(int index, int count) {
  if (rowWidth_ == 0) return 0;
  Require(index >= 0 && count >= 0 && index + count <= LineCount(),
          "deleted lines lie inside the text");
  if (count == 0) return 0;
  const int firstRow = FirstRowOf(index);
  const int removed = LineOffset(index + count - 1) - firstRow;
  rowLengths_.erase(rowLengths_.begin() + firstRow, rowLengths_.begin() + firstRow + removed);
  lineOffsets_.erase(lineOffsets_.begin() + index, lineOffsets_.begin() + index + count);
  for (std::size_t i = static_cast<std::size_t>(index); i < lineOffsets_.size(); ++i)
    lineOffsets_[i] -= removed;
  return removed;
}

int TKedWordWrapPlugin::NotifyLinesChanged(int index, int count) {
  if (rowWidth_ == 0) return 0;
  Require(index >= 0 && count >= 0 && index + count <= LineCount(),
          "changed lines lie inside the text");
  int delta = 0;
  for (int i = index; i < index + count; ++i) delta += WrapOneLine(i);
  return delta;
}

TDisplayPos TKedWordWrapPlugin::TextToRowPos(const TBufferCoord& pos) {
  Require(pos.Char > 0 && pos.Line > 0, "positions are 1-based");
  if (pos.Line > LineCount())
    return TDisplayPos{pos.Char, GetRowCount() + (pos.Line - LineCount())};
  const int first = FirstRowOf(pos.Line - 1);
  const int last = LineOffset(pos.Line - 1) - 1;  // 0-based rows of the line
  int before = 0;
  for (int row = first; row <= last; ++row) {
    const int length = rowLengths_[static_cast<std::size_t>(row)];
    if (before + length >= pos.Char || row == last) return TDisplayPos{pos.Char - before, row + 1};
    before += length;
  }
  return TDisplayPos{pos.Char, first + 1};  // a line always has a row
}

TBufferCoord TKedWordWrapPlugin::RowToTextPos(const TDisplayPos& pos) {
  Require(pos.Column > 0 && pos.Row > 0, "positions are 1-based");
  if (pos.Row > GetRowCount())
    return TBufferCoord{pos.Column, LineCount() + (pos.Row - GetRowCount())};
  // The first line whose rows reach pos.Row.
  const auto it = std::lower_bound(lineOffsets_.begin(), lineOffsets_.end(), pos.Row);
  const int line = static_cast<int>(it - lineOffsets_.begin());
  const int first = FirstRowOf(line);
  const int row = pos.Row - 1;
  const int length = rowLengths_[static_cast<std::size_t>(row)];
  // Past the end of a line the caret may stand anywhere in its last row; a row
  // that ends in a long run of blanks is wider than the wrap width.
  const bool lastRow = row == LineOffset(line) - 1;
  const int limit = lastRow ? std::max(rowWidth_, length) + 1 : length + 1;
  int column = std::min(pos.Column, limit);
  for (int r = first; r < row; ++r) column += rowLengths_[static_cast<std::size_t>(r)];
  return TBufferCoord{column, line + 1};
}
