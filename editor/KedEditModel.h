// The editor control's portable core: the line list, caret, selection, the three
// coordinate systems, the view's scroll position, the painting lock with its pending work,
// invalidation decisions and the highlighter's per-line ranges. The window that shows it
// implements IKedEditHost; everything here builds and is tested without Win32.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/KedEditMiscClasses.h"
#include "editor/KedEditTextBuffer.h"
#include "editor/KedEditTypes.h"
#include "editor/KedEditUndoList.h"
#include "editor/KedEditWordWrap.h"
#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Types.h"

class TKedCustomHighlighter;
class TKedEditKeyStrokes;
using TKedEditorCommand =
    std::uint16_t;  // its header's command names clash with the standard controls'
class TKedHighlighterAttributes;

enum TKedEditorOption {
  eoAltSetsColumnMode,
  eoAutoIndent,
  eoAutoSizeMaxScrollWidth,
  eoDisableScrollArrows,
  eoDragDropEditing,
  eoDropFiles,
  eoEnhanceHomeKey,
  eoEnhanceEndKey,
  eoGroupUndo,
  eoHalfPageScroll,
  eoHideShowScrollbars,
  eoKeepCaretX,
  eoNoCaret,
  eoNoSelection,
  eoRightMouseMovesCursor,
  eoScrollByOneLess,
  eoScrollHintFollows,
  eoScrollPastEof,
  eoScrollPastEol,
  eoShowScrollHint,
  eoShowSpecialChars,
  eoSmartTabDelete,
  eoSmartTabs,
  eoSpecialLineDefaultFg,
  eoTabIndent,
  eoTabsToSpaces,
  eoTrimTrailingSpaces
};
using TKedEditorOptions = TSet<TKedEditorOption>;
constexpr TKedEditorOptions KedDefaultOptions = TKedEditorOptions::FromBits(0x26C0192);

enum TKedStatusChange {
  scAll,
  scCaretX,
  scCaretY,
  scLeftChar,
  scTopLine,
  scInsertMode,
  scModified,
  scSelection,
  scReadOnly
};
using TKedStatusChanges = TSet<TKedStatusChange>;
using TStatusChangeEvent = TMethod<void(TObject* sender, TKedStatusChanges changes)>;
using TSpecialLineColorsEvent =
    TMethod<void(TObject* sender, int line, bool& special, TColor& fg, TColor& bg)>;

enum TKedEditCaretType { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };
enum TScrollHintFormat { shfTopLineOnly, shfTopToBottom };

// Size and offset of the system caret inside a character cell.
struct TKedCaretShape {
  int Width = 0;
  int Height = 0;
  TPoint Offset{};
  friend bool operator==(const TKedCaretShape&, const TKedCaretShape&) = default;
};
TKedCaretShape KedCaretShape(TKedEditCaretType type, int charWidth, int lineHeight);

// What the model needs from the window that shows it.
class IKedEditHost {
 public:
  virtual ~IKedEditHost() = default;
  // The window exists (its handle is allocated).
  virtual bool HostHasWindow() = 0;
  // Visible with a window: only then are areas invalidated.
  virtual bool HostShowing() = 0;
  virtual bool HostFocused() = 0;
  virtual int HostClientWidth() = 0;
  virtual int HostClientHeight() = 0;
  virtual void HostInvalidate(const TRect& rect) = 0;
  virtual void HostRefreshScrollBars() = 0;
  // Moves the system caret to a client point and shows or hides it.
  virtual void HostPlaceCaret(int x, int y, bool visible) = 0;
  // Before (after = false) and after the caret moves: lets the window repaint what it
  // draws over the text on its own.
  virtual void HostPaintTransient(bool /*after*/) {}
  // The system's third character-type words of each character; false on failure.
  virtual bool HostCharTypes(std::string_view text, std::vector<std::uint16_t>& types) = 0;
  // Moves the pixels of area by (dx, dy) and repaints only what became visible; a host
  // that cannot move pixels repaints the whole area.
  virtual void HostScroll(const TRect& area, int /*dx*/, int /*dy*/) { HostInvalidate(area); }
  // Puts text on the clipboard with the selection mode it was taken in; raises
  // EKedEditError "Clipboard copy operation failed" when the clipboard refuses it.
  virtual void HostWriteClipboard(std::string_view /*text*/, TKedSelectionMode /*mode*/) {}
  // Whether the clipboard holds text the editor can paste.
  virtual bool HostClipboardHasText() { return false; }
  // The clipboard's text; mode is the selection mode of the editor's own format, or
  // plainText is set when only plain text was there. False when there is nothing to paste.
  virtual bool HostReadClipboard(std::string& /*text*/, TKedSelectionMode& /*mode*/,
                                 bool& /*plainText*/) {
    return false;
  }
};

K_EXCEPTION(EKedEditError, Exception);

// A picture in the gutter attached to a line; a bookmark carries a number 0..9.
struct TKedEditMark {
  int Line = 0;
  int Char = 0;
  int ImageIndex = 0;
  int BookmarkNumber = -1;
  bool Visible = false;
  bool InternalImage = false;
  bool IsBookmark() const { return BookmarkNumber >= 0; }
};

// Undo item reasons (one byte each); crkNothing and crkGroupBreak are the undo list's.
constexpr std::uint8_t crkInsert = 0, crkPaste = 1, crkDropInsert = 2, crkDeleteBackward = 3,
                       crkDelete = 4, crkLineBreak = 5, crkIndent = 6, crkUnindent = 7,
                       crkSilentDelete = 8, crkSilentDeleteForward = 9, crkBeginA = 10,
                       crkEndA = 11, crkPasteBegin = 12, crkPasteEnd = 13, crkBeginB = 14,
                       crkEndB = 15, crkBeginC = 16, crkEndC = 17, crkCaret = 18, crkSelection = 19,
                       crkDeleteAll = 22, crkWhitespaceAdd = 23;

using TProcessCommandEvent =
    TMethod<void(TObject* sender, TKedEditorCommand& command, char& ch, const void* data)>;

// One piece of a painted row: a pixel span filled with Bg and holding Text in Fg (one
// character per cell from X on; no text for a fill).
struct TKedPaintRun {
  int X = 0;
  int Right = 0;
  std::string Text;
  TColor Fg = clNone;
  TColor Bg = clNone;
  TFontStyles Style;
  friend bool operator==(const TKedPaintRun&, const TKedPaintRun&) = default;
};

class TKedEditModel : public IKedWordWrapEditor {
 public:
  // sender: the object the model's events name (the control).
  explicit TKedEditModel(IKedEditHost* host, TObject* sender = nullptr);
  ~TKedEditModel() override;
  TKedEditModel(const TKedEditModel&) = delete;
  TKedEditModel& operator=(const TKedEditModel&) = delete;

  // ---- word-wrap plug-in's view of the editor ----
  TKedEditStringList& Lines() override { return *lines_; }
  int CharsInWindow() const override { return charsInWindow_; }
  TKedCharSet IdentChars() const override;

  // ---- state ----
  int LinesInWindow() const { return linesInWindow_; }
  int CharWidth() const { return charWidth_; }
  int LineHeight() const { return lineHeight_; }
  int GutterWidth() const { return gutterWidth_; }
  int TextOffset() const { return textOffset_; }
  int TopLine() const { return topLine_; }
  int LeftChar() const { return leftChar_; }
  TKedEditUndoList& UndoList() { return *undoList_; }
  TKedEditUndoList& RedoList() { return *redoList_; }
  TKedGutter& Gutter() { return *gutter_; }
  TKedSelectedColor& SelectedColor() { return *selectedColor_; }
  TKedEditKeyStrokes& Keystrokes() { return *keystrokes_; }
  // nullptr empties the table; any other table is copied.
  void SetKeystrokes(TKedEditKeyStrokes* value);
  bool Modified() const { return modified_; }
  void SetModified(bool value);

  // ---- properties with their clamps ----
  TKedEditorOptions Options() const { return options_; }
  void SetOptions(TKedEditorOptions value);
  int MaxScrollWidth() const { return maxScrollWidth_; }
  void SetMaxScrollWidth(int value);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int value);
  int MaxUndo() const;
  void SetMaxUndo(int value);
  int RightEdge() const { return rightEdge_; }
  void SetRightEdge(int value);
  TColor RightEdgeColor() const { return rightEdgeColor_; }
  void SetRightEdgeColor(TColor value);
  TColor ActiveLineColor() const { return activeLineColor_; }
  void SetActiveLineColor(TColor value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool value);
  TKedEditCaretType InsertCaret() const { return insertCaret_; }
  void SetInsertCaret(TKedEditCaretType value) { insertCaret_ = value; }
  TKedEditCaretType OverwriteCaret() const { return overwriteCaret_; }
  void SetOverwriteCaret(TKedEditCaretType value) { overwriteCaret_ = value; }
  int ExtraLineSpacing() const { return extraLineSpacing_; }
  void SetExtraLineSpacing(int value) { extraLineSpacing_ = value; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  TColor ScrollHintColor() const { return scrollHintColor_; }
  void SetScrollHintColor(TColor value) { scrollHintColor_ = value; }
  TScrollHintFormat ScrollHintFormat() const { return scrollHintFormat_; }
  void SetScrollHintFormat(TScrollHintFormat value) { scrollHintFormat_ = value; }
  bool WordWrap() const { return wordWrap_ != nullptr; }
  void SetWordWrap(bool value);
  TKedWordWrapPlugin* WordWrapPlugin() const { return wordWrap_.get(); }
  TKedCustomHighlighter* Highlighter() const { return highlighter_; }
  // The view attaches the change hook and re-measures; the model forgets its ranges.
  void SetHighlighter(TKedCustomHighlighter* value);
  // Colours and style of the text the view paints with.
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor value) { fontColor_ = value; }
  TFontStyles FontStyle() const { return fontStyle_; }
  void SetFontStyle(TFontStyles value) { fontStyle_ = value; }

  // ---- painting lock and status ----
  void LockPainting();
  // Raises EAssertionFailed when no lock is open.
  void UnlockPainting();
  int PaintLock() const { return paintLock_; }
  void ReportStatusChange(TKedStatusChanges changes);
  TKedStatusChanges StatusChanges() const { return statusChanges_; }
  TStatusChangeEvent OnStatusChange;
  TSpecialLineColorsEvent OnSpecialLineColors;

  // ---- size and cell metrics ----
  // New cell size from the view's font measurement; then SizeOrFontChanged(true).
  void SetCellSize(int charWidth, int lineHeight);
  void SizeOrFontChanged(bool fontChanged);
  void GutterChanged();
  void SetGutterWidth(int value);

  // ---- coordinates ----
  TDisplayPos PixelsToDisplayPos(int x, int y) const;
  TDisplayPos PixelsToNearestDisplayPos(int x, int y) const;
  TPoint DisplayPosToPixels(const TDisplayPos& pos) const;
  TDisplayPos TextToDisplayPos(const TBufferCoord& pos) const;
  TBufferCoord DisplayToTextPos(const TDisplayPos& pos) const;
  int GetDisplayRowCount() const;
  int LineToDisplayRow(int line) const;
  int DisplayRowToLine(int row) const;
  TBufferCoord CharIndexToTextPos(int64_t index) const;
  int64_t TextPosToCharIndex(const TBufferCoord& pos) const;

  // ---- caret ----
  TBufferCoord GetCaretPos() const { return {caretX_, caretY_}; }
  int CaretX() const { return caretX_; }
  int CaretY() const { return caretY_; }
  void SetCaretPos(const TBufferCoord& pos) { PlaceCaret(true, pos); }
  void PlaceCaret(bool ensureVisible, const TBufferCoord& pos);
  void SetCaretChar(int value) { SetCaretPos({value, caretY_}); }
  void SetCaretLine(int value) { SetCaretPos({caretX_, value}); }
  void SetCaretAndCollapse(const TBufferCoord& pos);
  void SetCaretDisplayPos(const TDisplayPos& pos);
  TDisplayPos GetCaretDisplayPos() const;
  int GetCaretDisplayColumn() const { return GetCaretDisplayPos().Column; }
  int GetCaretDisplayRow() const { return GetCaretDisplayPos().Row; }
  int LastCaretColumn() const { return lastCaretColumn_; }
  void RememberCaretColumn();
  bool CaretInView() const;
  bool CaretAtRowEnd() const { return caretAtRowEnd_; }
  std::string GetCaretLineText() const;
  void SetCaretLineText(const std::string& text);
  void MoveCaretToPixel(int x, int y);
  TKedCaretShape CurrentCaretShape() const;
  // Places the system caret, or marks it pending while locked or unfocused.
  void UpdateCaret();
  void EnsureCaretVisible() { ScrollToCaret(false); }
  void ScrollToCaret(bool centre);

  // ---- view position ----
  void SetTopLine(int row);
  void SetLeftChar(int column);

  // ---- selection ----
  TBufferCoord BlockBegin() const { return blockBegin_; }
  TBufferCoord BlockEnd() const { return blockEnd_; }
  TBufferCoord GetSelBegin() const;
  TBufferCoord GetSelEnd() const;
  bool HasSelection() const;
  bool SelectionSpansLines() const;
  bool SelectionCoversWholeLine() const;
  bool IsPosInSelection(const TBufferCoord& pos) const;
  void SetSelBegin(TBufferCoord pos);
  void SetSelEnd(TBufferCoord pos);
  TKedSelectionMode SelectionMode() const { return selectionMode_; }
  void SetSelectionMode(TKedSelectionMode value);
  TKedSelectionMode ActiveSelectionMode() const { return activeSelectionMode_; }
  void SetActiveSelectionMode(TKedSelectionMode value);
  void PlaceCaretAndSelection(const TBufferCoord& caret, const TBufferCoord& begin,
                              const TBufferCoord& end);
  void MoveCaretSelecting(const TBufferCoord& from, const TBufferCoord& to, bool selecting);
  void SelectWholeText();
  std::string GetSelText() const;
  void SetSelStart(int64_t index);
  void SetSelLength(int64_t count);

  // Empties the text, the undo history and the marks.
  void ClearAll();

  // ---- commands (keys, mouse, clipboard and menus all come through RunCommand) ----
  // The command bound to a key stroke (or to the pair it completes), ecNone otherwise.
  TKedEditorCommand TranslateKey(std::uint16_t key, TShiftState shift);
  void RunCommand(TKedEditorCommand command, char ch, const void* data);
  TProcessCommandEvent OnProcessCommand;
  TProcessCommandEvent OnProcessUserCommand;
  TProcessCommandEvent OnCommandProcessed;
  void StepCaretHorizontally(int delta, bool selecting);
  void StepCaretVertically(int delta, bool selecting);
  void GoLineStart(bool selecting);
  void GoLineEnd(bool selecting);
  TBufferCoord NextWordOf(const TBufferCoord& pos) const;
  TBufferCoord PrevWordOf(const TBufferCoord& pos) const;
  // The partner of the bracket at pos, (0, 0) when there is none.
  TBufferCoord FindMatchingBracketFrom(const TBufferCoord& pos);
  void GoMatchingBracket();

  // ---- text changes ----
  // Deletes the selection by the active mode and inserts text at the caret by mode;
  // record: column insertions record one undo item per row.
  void SetSelTextInMode(TKedSelectionMode mode, std::string_view text, bool record);
  void SetSelText(std::string_view text) { SetSelTextInMode(activeSelectionMode_, text, true); }
  // The same as one undo step: the deleted selection and the inserted text are recorded.
  void ReplaceSelection(std::string_view text);
  void ClearSelection();
  // Drops the selected text at target: moved, or copied with copy set. A drop inside the
  // selection (or, for a move, at its ends) does nothing and answers false. The dropped
  // text ends selected with the caret at its start; one undo step takes it back.
  bool DropSelection(TBufferCoord target, bool copy);
  // Writes line index (0-based), without trailing blanks when eoTrimTrailingSpaces is set.
  void PutLine(int index, std::string text);

  // ---- clipboard, undo and redo ----
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  bool CanPaste();
  void Undo();
  void Redo();
  bool CanUndo() const { return !readOnly_ && undoList_->HasItems(); }
  bool CanRedo() const { return !readOnly_ && redoList_->HasItems(); }
  void BeginUndoBlock() { undoList_->OpenBlock(); }
  void EndUndoBlock() { undoList_->CloseBlock(); }
  void SuspendUndo();
  void ResumeUndo();
  void ClearUndoHistory();
  void UpdateModified();
  // A change of the text was recorded (outside an open undo block).
  TNotifyEvent OnChange;

  // ---- marks and bookmarks ----
  const std::vector<std::unique_ptr<TKedEditMark>>& Marks() const { return marks_; }
  // A plain mark (no bookmark number); the model owns it.
  TKedEditMark* AddMark(int line, int aChar, int imageIndex);
  void SetBookmark(int number, int aChar, int line);
  void ClearBookmark(int number);
  void GotoBookmark(int number);
  // False when bookmark number is not set.
  bool GetBookmark(int number, int& aChar, int& line) const;
  TKedEditMark* Bookmark(int number) const;
  // The marks of a line in list order, at most 16.
  std::vector<TKedEditMark*> CollectLineMarks(int line) const;
  // Lines line..line+count-1 were inserted: marks from line on move down.
  void MarksLinesInserted(int line, int count);
  // count lines went away at line (removed, or joined into line): marks at or below
  // line + count move up by count, marks between line and line + count move to line.
  void MarksLinesDeleted(int line, int count);
  // The gutter of a bookmark's line repaints on every change of the marks.
  bool BookmarkKeysEnabled() const { return bookmarkKeys_; }
  void SetBookmarkKeysEnabled(bool value) { bookmarkKeys_ = value; }

  // ---- words ----
  // Word characters (the highlighter's identifier characters without its word breaks) and
  // the separators (every other character 1..255).
  void GetWordCharSets(TKedCharSet& wordChars, TKedCharSet& separators) const;
  TBufferCoord WordStartOf(const TBufferCoord& pos) const;
  TBufferCoord WordEndOf(const TBufferCoord& pos) const;
  // Selects the word around pos by the system's character classes; raises Exception
  // "GetStringTypeEx failed" when the system cannot classify the line.
  void SelectWordAt(TBufferCoord pos);
  void SelectWordAtCaret() { SelectWordAt(GetCaretPos()); }
  std::string GetWordAtCaret();

  // ---- invalidation ----
  void InvalidateGutterRange(int firstLine, int lastLine);
  void InvalidateTextRange(int firstLine, int lastLine);
  void InvalidateLine(int line);
  void InvalidateSelectionLines();
  void InvalidateGutter() { InvalidateGutterRange(-1, -1); }
  void InvalidateAll();
  TRect PendingInvalidRect() const { return pendingInvalidRect_; }

  // ---- highlighter ranges ----
  // Ranges are scanned on demand: lines below RangesValid() hold their end state.
  int RangesValid() const { return rangesValid_; }
  int ScanRangesFrom(int index);
  // Forgets every range; the next painting scans as far as it shows.
  void ScanAllRanges();
  // Makes the ranges of lines 0..index valid (one pass from the first unknown line).
  void EnsureRangesThrough(int index);

  // ---- painting ----
  // Background of empty areas and of tokens without one, for a 1-based line.
  TColor LineBackground(int line) const;
  // Rows first..last of the clip's columns, as runs left to right for one display row;
  // clipLeft/clipRight bound the pixels painted. Scans ranges as far as needed.
  std::vector<TKedPaintRun> PaintRow(int row, int firstColumn, int lastColumn, int clipLeft,
                                     int clipRight);

  // ---- line list notifications ----
  void LinesChanging(TObject* sender);
  void LinesChanged(TObject* sender);
  void ListCleared(TObject* sender);
  void LinesDeleted(TObject* sender, int index, int count);
  void LinesInserted(TObject* sender, int index, int count);
  void LineReplaced(TObject* sender, int index, int count);

 private:
  struct SelectionInfo;
  bool HasWindow() const { return host_ && host_->HostHasWindow(); }
  int ClientWidth() const { return host_ ? host_->HostClientWidth() : 0; }
  int ClientHeight() const { return host_ ? host_->HostClientHeight() : 0; }
  void FireStatusChange();
  void RefreshScrollBars();
  void Invalidate(const TRect& rect);
  void ScrollArea(const TRect& area, int dx, int dy);
  TBufferCoord ClampSelPoint(TBufferCoord pos) const;
  void MoveCaret(bool ensureVisible, const TBufferCoord& pos);
  std::string_view LineAt(int line) const;
  int LineLength(int line) const { return static_cast<int>(LineAt(line).size()); }
  int ScanOneLine(int index);
  // Commands.
  void PerformCommand(TKedEditorCommand command, char ch, const void* data);
  void PerformEditCommand(TKedEditorCommand command, char ch, const void* data);
  void ScrollCommand(bool up);
  void DeleteLastChar();
  void DeleteChar();
  void DeleteWordOrEol(bool toLineEnd);
  void DeleteLastWordOrBol(bool toLineStart);
  void DeleteLine();
  void LineBreak(bool moveCaret);
  void TypeChar(char ch);
  void InsertString(std::string_view text);
  void InsertTab();
  void RemoveTab();
  void DeleteLastWordOrBolTo(TBufferCoord start);
  void DeleteSilently(std::uint8_t reason, TBufferCoord start, TBufferCoord end);
  void IndentBlock();
  void UnindentBlock();
  void ConvertCase(TKedEditorCommand command);
  void DeleteSelectionStep();
  // Deletes the selection and records it for undo as reason from anchor to end. A normal
  // selection over many lines keeps its whole lines as the line list's records, not as text:
  // deleting a gigabyte and undoing it then copies no line.
  void DeleteAndRecordSelection(std::uint8_t reason, TBufferCoord anchor, TBufferCoord end,
                                TKedSelectionMode mode);
  void PutBackDeletedLines(int afterLine, const TKedEditLineRun& run);
  int CountLeadingBlanks(std::string_view text, bool expandTabs) const;
  std::string BuildIndent(int columns, bool allowTabs) const;
  // Text changes.
  void DeleteSelectionByMode(TBufferCoord b, TBufferCoord e);
  int InsertNormal(std::string_view text);
  int InsertColumn(std::string_view text, bool record);
  int InsertLines(std::string_view text);
  // Undo.
  template <class F>
  void ReplayLast(TKedEditUndoList& list, F&& replay);
  void SwapPosition(std::uint8_t reason, TBufferCoord start, TBufferCoord end,
                    TKedEditUndoList& other);
  void UndoItem();
  void RedoItem();
  void UndoListChanged(TObject* list);
  void ReplayOneStep(bool undo);
  void PadCaretLine();
  void GrowMaxScrollWidth(int index);

  IKedEditHost* host_;
  TObject* sender_;
  std::unique_ptr<TKedEditStringList> lines_;
  std::unique_ptr<TKedEditUndoList> undoList_;
  std::unique_ptr<TKedEditUndoList> redoList_;
  std::unique_ptr<TKedGutter> gutter_;
  std::unique_ptr<TKedSelectedColor> selectedColor_;
  std::unique_ptr<TKedEditKeyStrokes> keystrokes_;
  std::unique_ptr<TKedWordWrapPlugin> wordWrap_;
  TKedCustomHighlighter* highlighter_ = nullptr;

  TBufferCoord blockBegin_{1, 1};
  TBufferCoord blockEnd_{1, 1};
  int caretX_ = 1;
  int caretY_ = 1;
  int lastCaretColumn_ = 1;
  bool caretAtRowEnd_ = false;
  int charsInWindow_ = 0;
  int linesInWindow_ = 0;
  int charWidth_ = 0;
  int lineHeight_ = 0;
  int gutterWidth_ = 0;
  int textOffset_ = 2;
  int leftChar_ = 1;
  int topLine_ = 1;
  int maxScrollWidth_ = 1024;
  int tabWidth_ = 8;
  int paintLock_ = 0;
  int rightEdge_ = 80;
  TColor rightEdgeColor_ = clSilver;
  TColor activeLineColor_ = clNone;
  TColor color_ = clWindow;
  TColor fontColor_ = clWindowText;
  TFontStyles fontStyle_;
  TColor scrollHintColor_ = clInfoBk;
  TScrollHintFormat scrollHintFormat_ = shfTopLineOnly;
  TScrollStyle scrollBars_ = ssBoth;
  bool hideSelection_ = false;
  bool readOnly_ = false;
  bool insertMode_ = true;
  bool modified_ = false;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  int extraLineSpacing_ = 0;
  TKedEditCaretType insertCaret_ = ctVerticalLine;
  TKedEditCaretType overwriteCaret_ = ctBlock;
  TKedSelectionMode selectionMode_ = TKedSelectionMode::smNormal;
  TKedSelectionMode activeSelectionMode_ = TKedSelectionMode::smNormal;
  TKedEditorOptions options_ = KedDefaultOptions;
  TKedStatusChanges statusChanges_;
  bool caretUpdatePending_ = false;
  bool scrollBarUpdatePending_ = false;
  bool linesUpdating_ = false;
  TRect pendingInvalidRect_{};
  int rangesValid_ = 0;

  // Where the scan of a long line can resume: token starts with the range in force before
  // each, recorded while painting, so scrolling along a line of megabytes rescans only
  // from the nearest point instead of from the line start. Any change of lines drops them.
  struct TokenCheckpoints {
    int Line = 0;
    const char* Data = nullptr;
    size_t Size = 0;
    std::vector<std::pair<int, intptr_t>> Points;  // ascending token starts
  };
  TokenCheckpoints* CheckpointsFor(int line, std::string_view text, bool create);
  std::vector<TokenCheckpoints> checkpoints_;

  // Commands and marks.
  std::uint16_t lastKey_ = 0;
  TShiftState lastShift_;
  bool trailByteCorrection_ = false;
  bool bookmarkKeys_ = true;
  std::vector<std::unique_ptr<TKedEditMark>> marks_;
  TKedEditMark* bookmarks_[10] = {};
};

// Character index whose cell holds the column (a column inside a tab gives the tab).
int KedColumnToChar(std::string_view line, int column, int tabWidth);
