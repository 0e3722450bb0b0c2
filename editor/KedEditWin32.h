// The editor control: a window over the portable editor model. It measures the font,
// paints the gutter and the rows the model lays out, and runs the system caret; text,
// caret, selection and coordinates live in the model (Model()).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "editor/KedEditMiscClasses.h"
#include "editor/KedEditModel.h"
#include "editor/KedTextDrawerWin32.h"
#include "framework/ControlsWin32.h"

class TKedCustomHighlighter;
class TKedEditSearchCustom;

enum TTransientType { ttBefore, ttAfter };
using TPaintEvent = TMethod<void(TObject* sender, TCanvas* canvas)>;
using TPaintTransient = TMethod<void(TObject* sender, TCanvas* canvas, TTransientType type)>;
using TGutterGetTextEvent = TMethod<void(TObject* sender, int line, std::string& text)>;
using TGutterPaintEvent = TMethod<void(TObject* sender, int line, int x, int y)>;
using TDropFilesEvent = TMethod<void(TObject* sender, int x, int y, TStrings* files)>;
using TGutterClickEvent =
    TMethod<void(TObject* sender, TMouseButton button, int x, int y, int line, TKedEditMark* mark)>;

class TCustomKedEdit : public TCustomControl, private IKedEditHost {
  K_CLASS(TCustomKedEdit, TCustomControl)

  explicit TCustomKedEdit(TComponent* owner);
  ~TCustomKedEdit() override;

  TKedEditModel& Model() { return *model_; }
  TKedEditStringList* Lines() { return &model_->Lines(); }
  // Copies the strings into the line list.
  void SetLines(TStrings* value) { model_->Lines().Assign(value); }
  void ClearAll() { model_->ClearAll(); }

  // A proportional font is replaced by a fixed-pitch one of the same name, size and style.
  void SetFont(TFont* value);
  TKedCustomHighlighter* Highlighter() const { return model_->Highlighter(); }
  void SetHighlighter(TKedCustomHighlighter* value);
  TKedEditSearchCustom* SearchEngine() const { return searchEngine_; }
  void SetSearchEngine(TKedEditSearchCustom* value);
  TKedGutter* Gutter() { return &model_->Gutter(); }
  void SetGutter(TKedGutter* value) { model_->Gutter().Assign(value); }
  TKedSelectedColor* SelectedColor() { return &model_->SelectedColor(); }
  // Copies the colours into the owned object.
  void SetSelectedColor(TKedSelectedColor* value) { model_->SelectedColor().Assign(value); }
  int MaxScrollWidth() const { return model_->MaxScrollWidth(); }
  void SetMaxScrollWidth(int value) { model_->SetMaxScrollWidth(value); }
  int TabWidth() const { return model_->TabWidth(); }
  void SetTabWidth(int value) { model_->SetTabWidth(value); }
  TKedEditorOptions Options() const { return model_->Options(); }
  void SetOptions(TKedEditorOptions value);
  int ExtraLineSpacing() const { return model_->ExtraLineSpacing(); }
  void SetExtraLineSpacing(int value);
  bool InsertMode() const { return model_->InsertMode(); }
  void SetInsertMode(bool value);
  TKedEditCaretType InsertCaret() const { return model_->InsertCaret(); }
  void SetInsertCaret(TKedEditCaretType value);
  TKedEditCaretType OverwriteCaret() const { return model_->OverwriteCaret(); }
  void SetOverwriteCaret(TKedEditCaretType value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool WordWrap() const { return model_->WordWrap(); }
  void SetWordWrap(bool value) { model_->SetWordWrap(value); }
  TColor ActiveLineColor() const { return model_->ActiveLineColor(); }
  void SetActiveLineColor(TColor value) { model_->SetActiveLineColor(value); }
  int RightEdge() const { return model_->RightEdge(); }
  void SetRightEdge(int value) { model_->SetRightEdge(value); }
  TColor RightEdgeColor() const { return model_->RightEdgeColor(); }
  void SetRightEdgeColor(TColor value) { model_->SetRightEdgeColor(value); }
  bool HideSelection() const { return model_->HideSelection(); }
  void SetHideSelection(bool value) { model_->SetHideSelection(value); }
  bool ReadOnly() const { return model_->ReadOnly(); }
  void SetReadOnly(bool value) { model_->SetReadOnly(value); }
  int MaxUndo() const { return model_->MaxUndo(); }
  void SetMaxUndo(int value) { model_->SetMaxUndo(value); }
  TKedSelectionMode SelectionMode() const { return model_->SelectionMode(); }
  void SetSelectionMode(TKedSelectionMode value) { model_->SetSelectionMode(value); }
  bool WantReturns() const { return model_->WantReturns(); }
  void SetWantReturns(bool value) { model_->SetWantReturns(value); }
  bool WantTabs() const { return model_->WantTabs(); }
  void SetWantTabs(bool value) { model_->SetWantTabs(value); }
  TScrollStyle ScrollBars() const { return model_->ScrollBars(); }
  void SetScrollBars(TScrollStyle value) { model_->SetScrollBars(value); }
  TColor ScrollHintColor() const { return model_->ScrollHintColor(); }
  void SetScrollHintColor(TColor value) { model_->SetScrollHintColor(value); }
  TScrollHintFormat ScrollHintFormat() const { return model_->ScrollHintFormat(); }
  void SetScrollHintFormat(TScrollHintFormat value) { model_->SetScrollHintFormat(value); }
  TKedEditKeyStrokes* Keystrokes() { return &model_->Keystrokes(); }
  void SetKeystrokes(TKedEditKeyStrokes* value) { model_->SetKeystrokes(value); }
  TKedBookMarkOpt* BookMarkOptions() { return bookMarkOptions_.get(); }
  void SetBookMarkOptions(TKedBookMarkOpt* value) { bookMarkOptions_->Assign(value); }
  // The mark painted in the gutter beside every continued row of a wrapped line.
  TKedGlyph* WordWrapGlyph() { return wordWrapGlyph_.get(); }
  void SetWordWrapGlyph(TKedGlyph* value) { wordWrapGlyph_->Assign(value); }
  // The ten built-in bookmark pictures, loaded on first use.
  TKedInternalImage* InternalBookmarkImage();
  void SetOnStatusChange(TStatusChangeEvent value) { model_->OnStatusChange = std::move(value); }
  void SetOnSpecialLineColors(TSpecialLineColorsEvent value) {
    model_->OnSpecialLineColors = std::move(value);
  }
  int CharWidth() const { return model_->CharWidth(); }
  int LineHeight() const { return model_->LineHeight(); }
  TheTextDrawer* TextDrawer() const { return textDrawer_.get(); }

  void LockPainting() { model_->LockPainting(); }
  void UnlockPainting() { model_->UnlockPainting(); }
  void SetSelStart(int64_t index);
  void SetSelLength(int64_t count) { model_->SetSelLength(count); }
  std::string GetSelText() const { return model_->GetSelText(); }

  // Editing commands of menus and tool bars.
  void RunCommand(TKedEditorCommand command, char ch = '\0', const void* data = nullptr) {
    model_->RunCommand(command, ch, data);
  }
  void CutToClipboard() { model_->CutToClipboard(); }
  void CopyToClipboard() { model_->CopyToClipboard(); }
  void PasteFromClipboard() { model_->PasteFromClipboard(); }
  void Undo() { model_->Undo(); }
  void Redo() { model_->Redo(); }
  bool CanUndo() const { return model_->CanUndo(); }
  bool CanRedo() const { return model_->CanRedo(); }
  bool Modified() const { return model_->Modified(); }
  void SetModified(bool value) { model_->SetModified(value); }
  void SelectAll() { model_->SelectWholeText(); }

  // Repaints the strip of the given lines and then the text.
  void InvalidateArea(const TRect& rect, bool erase);

  TPaintEvent OnPaint;
  TPaintTransient OnPaintTransient;
  TGutterGetTextEvent OnGutterGetText;
  TGutterPaintEvent OnGutterPaint;
  TDropFilesEvent OnDropFiles;
  TGutterClickEvent OnGutterClick;

  void WndProc(TMessage& message) override;

  // The hint beside a dragged scroll-bar thumb, one for every editor, made on first use.
  static THintWindow* ScrollHintWindow();

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  void FontChanged() override;
  void Loaded() override;
  void Notification(TComponent* c, TOperation operation) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;

  virtual void PaintGutterStrip(const TRect& clip, int firstRow, int lastRow);
  virtual void PaintTextArea(const TRect& clip, int firstRow, int lastRow, int firstColumn,
                             int lastColumn);
  // Without counting: fires outside any bracket. Counting: ttBefore fires when no bracket
  // is open and opens one, ttAfter closes one and fires when none is left.
  void FirePaintTransientEx(TTransientType type, bool counting);
  void FirePaintTransient(TTransientType type) { FirePaintTransientEx(type, false); }
  void MeasureFont();
  void HighlighterChanged(TObject* sender);
  void InitCaret();

 private:
  // The model's host.
  bool HostHasWindow() override { return HandleAllocated(); }
  bool HostShowing() override { return HandleAllocated() && Visible(); }
  bool HostFocused() override;
  int HostClientWidth() override { return ClientWidth(); }
  int HostClientHeight() override { return ClientHeight(); }
  void HostInvalidate(const TRect& rect) override { InvalidateArea(rect, false); }
  void HostRefreshScrollBars() override;
  void HostPlaceCaret(int x, int y, bool visible) override;
  bool HostCharTypes(std::string_view text, std::vector<std::uint16_t>& types) override;
  void HostPaintTransient(bool after) override { FirePaintTransient(after ? ttAfter : ttBefore); }
  void HostScroll(const TRect& area, int dx, int dy) override;
  void HostWriteClipboard(std::string_view text, TKedSelectionMode mode) override;
  bool HostClipboardHasText() override;
  bool HostReadClipboard(std::string& text, TKedSelectionMode& mode, bool& plainText) override;

  // Mouse and scrolling.
  void UpdateAutoScroll(int x, int y);
  void ScrollTimerTick();
  void StopScrollTimer();
  void ScrollMessage(TMessage& message, bool vertical);
  void MouseWheel(TMessage& message);
  void ShowScrollHint();
  bool SetMouseCursor();
  void DropFiles(WPARAM drop);
  void FireGutterClick(TMouseButton button, int x, int y);
  bool Captured() const { return HandleAllocated() && ::GetCapture() == handle_; }
  void PaintMarks(int firstRow, int lastRow);

  void FillArea(HDC dc, const TRect& rect, TColor color);
  void PaintWrapGlyphs(int firstRow, int lastRow);

  std::unique_ptr<TFont> fixedPitchFont_;
  std::unique_ptr<TKedEditModel> model_;
  std::unique_ptr<TheTextDrawer> textDrawer_;
  std::unique_ptr<TKedBookMarkOpt> bookMarkOptions_;
  std::unique_ptr<TKedGlyph> wordWrapGlyph_;
  std::unique_ptr<TKedInternalImage> internalBookmarkImage_;
  TKedEditSearchCustom* searchEngine_ = nullptr;
  TBorderStyle borderStyle_ = bsSingle;
  bool caretCreated_ = false;
  bool caretShown_ = false;
  int paintTransientLock_ = 0;
  // Key and mouse state.
  bool keyTranslated_ = false;
  TPoint mouseDownPos_{};
  TPoint lastPress_{};
  bool waitingForDrag_ = false;
  bool draggingText_ = false;
  bool doubleClicked_ = false;
  bool pressedInGutter_ = false;
  int scrollDeltaX_ = 0;
  int scrollDeltaY_ = 0;
  bool scrollTimerOn_ = false;
  int wheelRemainder_ = 0;
};

// The editor as forms place it: it publishes the properties that forms, the translator and
// the skin engine read and write by name.
class TKedEdit : public TCustomKedEdit {
  K_CLASS_PUBLISHED(TKedEdit, TCustomKedEdit)
  explicit TKedEdit(TComponent* owner) : TCustomKedEdit(owner) {}
};
