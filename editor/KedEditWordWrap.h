// Word wrap: splits every line into display rows no wider than the text area
// and maps positions between the text and the screen grid.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/KedEditTypes.h"

class TKedEditStringList;

// What the editor's line store hears about through a plug-in: the editor keeps
// one while word wrap is on and tells it every change of its lines and width.
class IKedEditBufferPlugin {
 public:
  virtual ~IKedEditBufferPlugin() = default;
  // Pos: a column of the tab-expanded line and a line, both 1-based.
  virtual TDisplayPos TextToRowPos(const TBufferCoord& pos) = 0;
  virtual TBufferCoord RowToTextPos(const TDisplayPos& pos) = 0;
  virtual int GetRowCount() = 0;
  virtual int RowLength(int row) = 0;
  // Each answers the change of the row count.
  virtual int NotifyLinesInserted(int index, int count) = 0;
  virtual int NotifyLinesDeleted(int index, int count) = 0;
  virtual int NotifyLinesChanged(int index, int count) = 0;
  virtual void NotifyDisplayChanged() = 0;
  virtual void RewrapAll() = 0;
};

// What the plug-in reads from its editor.
class IKedWordWrapEditor {
 public:
  virtual ~IKedWordWrapEditor() = default;
  virtual TKedEditStringList& Lines() = 0;
  // Whole character columns of the text area (right of gutter and margin).
  virtual int CharsInWindow() const = 0;
  // The characters words are made of: the highlighter's, or KedDefaultIdentChars().
  virtual TKedCharSet IdentChars() const = 0;
};

// Characters 33-255: without a highlighter only control characters and the blank break.
TKedCharSet KedDefaultIdentChars();

class TKedWordWrapPlugin : public IKedEditBufferPlugin {
 public:
  // Raises Exception when editor is nullptr.
  explicit TKedWordWrapPlugin(IKedWordWrapEditor* editor);

  TDisplayPos TextToRowPos(const TBufferCoord& pos) override;
  TBufferCoord RowToTextPos(const TDisplayPos& pos) override;
  int GetRowCount() override;
  int RowLength(int row) override;
  int NotifyLinesInserted(int index, int count) override;
  int NotifyLinesDeleted(int index, int count) override;
  int NotifyLinesChanged(int index, int count) override;
  void NotifyDisplayChanged() override;
  void RewrapAll() override;

  int RowWidth() const { return rowWidth_; }
  int MinRowLength() const { return minRowLength_; }
  int LineCount() const { return static_cast<int>(lineOffsets_.size()); }
  // Rows of all lines up to and including the 0-based line.
  int LineOffset(int index) const { return lineOffsets_[static_cast<std::size_t>(index)]; }

  // The row lengths one tab-expanded line breaks into (never an empty row
  // except for an empty line).
  static std::vector<std::uint8_t> BreakLine(const std::string& text, int rowWidth,
                                             int minRowLength, int tabWidth,
                                             const TKedCharSet& breakChars);

 private:
  int VisibleColumns() const;
  void WrapAllLines();
  int WrapOneLine(int index);
  int FirstRowOf(int index) const { return index > 0 ? LineOffset(index - 1) : 0; }

  IKedWordWrapEditor* editor_;
  std::vector<int> lineOffsets_;
  std::vector<std::uint8_t> rowLengths_;
  int rowWidth_ = 0;
  int minRowLength_ = 1;
  TKedCharSet breakChars_;
};
