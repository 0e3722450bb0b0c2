#include "editor/KedEditWin32.h"

#include <imm.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "editor/KedEditHighlighter.h"
#include "editor/KedEditKeyCmds.h"
#include "editor/KedEditMiscProcs.h"
#include "editor/KedEditSearch.h"
#include "framework/FormsWin32.h"
#include "framework/ImgListWin32.h"
#include "framework/MenusWin32.h"
#include "framework/ScopeExit.h"
#include "framework/HandlesWin32.h"

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr int kFocusGained = 480;
constexpr int kFocusLost = 481;

// The editor's own clipboard format: a selection-mode byte before the text.
UINT BlockClipboardFormat() {
  static const UINT format = ::RegisterClipboardFormatA("KedEdit Control Block Type");
  return format;
}

// Opens the clipboard for a scope.
class TClipboardOpen {
 public:
  explicit TClipboardOpen(HWND owner) : open_(::OpenClipboard(owner) != 0) {}
  ~TClipboardOpen() {
    if (open_) ::CloseClipboard();
  }
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// Hands bytes to the open clipboard; the memory is freed unless the clipboard took it.
bool PutClipboardBytes(UINT format, const std::string& bytes) {
  TGlobalHandle memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size() + 1));
  if (!memory) return false;
  {
    TGlobalLock lock(memory.Get());
    if (!lock.Data()) return false;
    std::memcpy(lock.Data(), bytes.c_str(), bytes.size() + 1);
  }
  if (!::SetClipboardData(format, memory.Get())) return false;
  memory.Release();
  return true;
}

// The bytes of a locked clipboard block up to its first zero, never past its size.
std::string BoundedText(const char* data, size_t size) {
  const void* zero = std::memchr(data, 0, size);
  return std::string(data, zero ? static_cast<const char*>(zero) - data : size);
}

}  // namespace

TCustomKedEdit::TCustomKedEdit(TComponent* owner)
    : TCustomControl(owner),
      fixedPitchFont_(std::make_unique<TFont>()),
      model_(std::make_unique<TKedEditModel>(static_cast<IKedEditHost*>(this), this)) {
  bookMarkOptions_ = std::make_unique<TKedBookMarkOpt>(this);
  bookMarkOptions_->OnChange = [this](TObject*) {
    model_->SetBookmarkKeysEnabled(bookMarkOptions_->EnableKeys());
    model_->InvalidateGutter();
  };
  model_->SetBookmarkKeysEnabled(bookMarkOptions_->EnableKeys());
  wordWrapGlyph_ = std::make_unique<TKedGlyph>("KedEditWrapped", clLime);
  wordWrapGlyph_->OnChange = [this](TObject*) {
    if (!ComponentState().Contains(csLoading)) model_->InvalidateGutter();
  };
  SetDoubleBuffered(false);
  SetControlStyle(ControlStyle() + csOpaque + csSetCaption + csNeedsBorderPaint);
  SetBounds(Left(), Top(), 200, 150);
  SetCursor(crIBeam);
  SetColor(clWindow);
  model_->SetColor(clWindow);
  fixedPitchFont_->SetName("Courier New");
  fixedPitchFont_->SetSize(10);
  fixedPitchFont_->SetCharset(1);
  textDrawer_ = std::make_unique<TheTextDrawer>(TFontStyles{fsBold}, fixedPitchFont_.get());
  Font()->Assign(fixedPitchFont_.get());
  SetParentFont(false);
  SetParentColor(false);
  SetTabStop(true);
  FontChanged();
}

TCustomKedEdit::~TCustomKedEdit() {
  if (TKedCustomHighlighter* highlighter = Highlighter()) {
    highlighter->RemoveChangeHook(MakeEvent<&TCustomKedEdit::HighlighterChanged>(this));
    highlighter->RemoveFreeNotification(this);
  }
  if (searchEngine_) searchEngine_->RemoveFreeNotification(this);
  // The window goes before the model it asks about.
  DestroyHandle();
}

TKedInternalImage* TCustomKedEdit::InternalBookmarkImage() {
  if (!internalBookmarkImage_)
    internalBookmarkImage_ = std::make_unique<TKedInternalImage>(10, "KedEditInternalImages");
  return internalBookmarkImage_.get();
}

void TCustomKedEdit::SetFont(TFont* value) {
  if (value == nullptr) return;
  TEXTMETRICA tm{};
  {
    TWindowDC screen(nullptr);
    TSelectObject select(screen.Get(), FontHandle(value));
    ::GetTextMetricsA(screen.Get(), &tm);
  }
  if (tm.tmAveCharWidth != tm.tmMaxCharWidth) {
    // Cells must be equal: a proportional font is asked for in its fixed-pitch form.
    fixedPitchFont_->SetColor(value->Color());
    fixedPitchFont_->SetPitch(fpFixed);
    fixedPitchFont_->SetSize(value->Size());
    fixedPitchFont_->SetStyle(value->Style());
    fixedPitchFont_->SetName(value->Name());
    Font()->Assign(fixedPitchFont_.get());
  } else {
    Font()->Assign(value);
  }
  if (model_->Gutter().ShowLineNumbers()) model_->GutterChanged();
}

void TCustomKedEdit::FontChanged() {
  TCustomControl::FontChanged();
  if (!model_ || !textDrawer_) return;
  model_->SetFontColor(Font()->Color());
  model_->SetFontStyle(Font()->Style());
  MeasureFont();
  model_->SizeOrFontChanged(true);
  InitCaret();
}

void TCustomKedEdit::MeasureFont() {
  // Which of the four bold/italic combinations the painting will use.
  bool used[4] = {false, false, false, false};
  auto note = [&](TFontStyles s) {
    used[(s.Contains(fsBold) ? 2 : 0) + (s.Contains(fsItalic) ? 1 : 0)] = true;
  };
  TKedCustomHighlighter* highlighter = Highlighter();
  if (highlighter && highlighter->AttributeCount() > 0) {
    for (int i = 0; i < highlighter->AttributeCount(); ++i)
      if (auto* attr = highlighter->AttributeAt(i)) note(attr->Style());
  } else {
    note(Font()->Style());
  }
  static const TFontStyles kCombinations[4] = {{}, {fsItalic}, {fsBold}, {fsBold, fsItalic}};
  textDrawer_->SetBaseFont(Font());
  int width = 0;
  int height = 0;
  TFontStyles widest = kCombinations[0];
  for (int order : {0, 1, 2, 3}) {
    if (!used[order]) continue;
    textDrawer_->SetMeasureStyle(kCombinations[order]);
    height = std::max(height, textDrawer_->CellHeight());
    if (textDrawer_->CellWidth() > width) {
      width = textDrawer_->CellWidth();
      widest = kCombinations[order];
    }
  }
  // Cells are drawn at the widest advance, so every style fits its cell.
  textDrawer_->SetMeasureStyle(widest);
  model_->SetCellSize(width, height + model_->ExtraLineSpacing());
}

void TCustomKedEdit::SetExtraLineSpacing(int value) {
  model_->SetExtraLineSpacing(value);
  FontChanged();
}

void TCustomKedEdit::SetOptions(TKedEditorOptions value) {
  const bool dropChanged = value.Contains(eoDropFiles) != model_->Options().Contains(eoDropFiles);
  model_->SetOptions(value);
  if (dropChanged && HandleAllocated() && !ComponentState().Contains(csDesigning))
    ::DragAcceptFiles(Handle(), value.Contains(eoDropFiles));
}

void TCustomKedEdit::SetInsertMode(bool value) {
  if (value == model_->InsertMode()) return;
  model_->SetInsertMode(value);
  if (!ComponentState().Contains(csDesigning)) InitCaret();
}

void TCustomKedEdit::SetInsertCaret(TKedEditCaretType value) {
  model_->SetInsertCaret(value);
  InitCaret();
}

void TCustomKedEdit::SetOverwriteCaret(TKedEditCaretType value) {
  model_->SetOverwriteCaret(value);
  InitCaret();
}

void TCustomKedEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomKedEdit::SetHighlighter(TKedCustomHighlighter* value) {
  TKedCustomHighlighter* old = Highlighter();
  if (value == old) return;
  const TNotifyEvent hook = MakeEvent<&TCustomKedEdit::HighlighterChanged>(this);
  if (old) {
    old->RemoveChangeHook(hook);
    old->RemoveFreeNotification(this);
  }
  if (value) {
    value->AddChangeHook(hook);
    value->FreeNotification(this);
  }
  model_->SetHighlighter(value);
  if (!ComponentState().Contains(csDestroying)) HighlighterChanged(value);
}

void TCustomKedEdit::HighlighterChanged(TObject*) {
  MeasureFont();
  if (Highlighter()) {
    // Ranges are rescanned as the rows are shown; the update still collapses the selection.
    model_->Lines().BeginUpdate();
    model_->ScanAllRanges();
    model_->Lines().EndUpdate();
  }
  model_->InvalidateAll();
  model_->SizeOrFontChanged(true);
}

void TCustomKedEdit::SetSearchEngine(TKedEditSearchCustom* value) {
  if (value == searchEngine_) return;
  if (searchEngine_) searchEngine_->RemoveFreeNotification(this);
  searchEngine_ = value;
  if (value) value->FreeNotification(this);
}

void TCustomKedEdit::Notification(TComponent* c, TOperation operation) {
  TCustomControl::Notification(c, operation);
  if (operation != opRemove) return;
  if (c == searchEngine_) searchEngine_ = nullptr;
  if (bookMarkOptions_ && c == bookMarkOptions_->BookmarkImages()) {
    bookMarkOptions_->SetBookmarkImages(nullptr);
    model_->InvalidateGutter();
  }
  if (c == Highlighter()) {
    // The highlighter is half gone: only drop the pointer, never call into it.
    model_->SetHighlighter(nullptr);
    if (!ComponentState().Contains(csDestroying)) {
      MeasureFont();
      model_->InvalidateAll();
    }
  }
}

void TCustomKedEdit::Loaded() {
  TCustomControl::Loaded();
  model_->GutterChanged();
  HostRefreshScrollBars();
}

void TCustomKedEdit::SetSelStart(int64_t index) {
  HandleNeeded();
  model_->SetSelStart(index);
}

// ---- window -----------------------------------------------------------------------------

void TCustomKedEdit::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  params.Style |= WS_CLIPCHILDREN;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomKedEdit::CreateWnd() {
  TCustomControl::CreateWnd();
  if (model_->Options().Contains(eoDropFiles) && !ComponentState().Contains(csDesigning))
    ::DragAcceptFiles(Handle(), TRUE);
  model_->SizeOrFontChanged(false);
  HostRefreshScrollBars();
}

void TCustomKedEdit::WndProc(TMessage& message) {
  TKedEditModel& m = *model_;
  switch (message.Msg) {
    case WM_ERASEBKGND:
      // Every pixel is painted by Paint: erasing first would only flicker.
      message.Result = 1;
      return;
    case WM_SIZE:
      TCustomControl::WndProc(message);
      m.SizeOrFontChanged(false);
      return;
    case CM_COLORCHANGED:
      // The model paints the text area, so it must hear of every colour change, also one
      // read from a form or set by name.
      TCustomControl::WndProc(message);
      m.SetColor(Color());
      m.InvalidateAll();
      return;
    case WM_SETFOCUS:
      TCustomControl::WndProc(message);
      m.RunCommand(kFocusGained, '\0', nullptr);
      InitCaret();
      if (m.HideSelection() && m.HasSelection()) m.InvalidateSelectionLines();
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(message);
      m.RunCommand(kFocusLost, '\0', nullptr);
      if (caretCreated_) {
        ::DestroyCaret();
        caretCreated_ = false;
        caretShown_ = false;
      }
      if (m.HideSelection() && m.HasSelection()) m.InvalidateSelectionLines();
      return;
    case WM_GETDLGCODE:
      TCustomControl::WndProc(message);
      message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (m.WantTabs()) message.Result |= DLGC_WANTTAB;
      if (m.WantReturns()) {
        message.Result |= DLGC_WANTALLKEYS;
      } else if (const MSG* msg = reinterpret_cast<const MSG*>(message.LParam);
                 msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        // Enter goes to the window's default button when it has one, else it breaks the
        // line here, as in a form that routes keys to the focused control.
        const LRESULT def = ::SendMessageA(::GetAncestor(handle_, GA_ROOT), DM_GETDEFID, 0, 0);
        if (HIWORD(def) != DC_HASDEFID) message.Result |= DLGC_WANTMESSAGE;
      }
      return;
    case WM_GETTEXTLENGTH: {
      int64_t length = 0;
      const int count = m.Lines().Count();
      for (int i = 0; i < count; ++i)
        length += static_cast<int64_t>(m.Lines().LineView(i).size()) + (i > 0 ? 2 : 0);
      message.Result = static_cast<LRESULT>(std::min<int64_t>(length, INT_MAX));
      return;
    }
    case WM_GETTEXT: {
      // Line by line into the caller's buffer: the text is never copied whole.
      char* out = reinterpret_cast<char*>(message.LParam);
      const size_t room = static_cast<size_t>(message.WParam);
      if (out == nullptr || room == 0) {
        message.Result = 0;
        return;
      }
      size_t used = 0;
      const int count = m.Lines().Count();
      for (int i = 0; i < count && used < room - 1; ++i) {
        if (i > 0) {
          const size_t n = std::min<size_t>(2, room - 1 - used);
          std::memcpy(out + used, "\r\n", n);
          used += n;
        }
        const std::string_view line = m.Lines().LineView(i);
        const size_t n = std::min(line.size(), room - 1 - used);
        std::memcpy(out + used, line.data(), n);
        used += n;
      }
      out[used] = '\0';
      message.Result = static_cast<LRESULT>(used);
      return;
    }
    case WM_SETTEXT:
      message.Result = -1;
      try {
        m.Lines().SetTextStr(message.LParam ? reinterpret_cast<const char*>(message.LParam) : "");
      } catch (...) {
        message.Result = 0;
        throw;
      }
      return;
    case WM_CUT:
      if (!m.ReadOnly()) m.CutToClipboard();
      message.Result = 1;
      return;
    case WM_COPY:
      m.CopyToClipboard();
      message.Result = 1;
      return;
    case WM_PASTE:
      if (!m.ReadOnly()) m.PasteFromClipboard();
      message.Result = 1;
      return;
    case WM_CLEAR:
      if (!m.ReadOnly()) m.ReplaceSelection("");
      return;
    case WM_UNDO:
      m.Undo();
      return;
    case WM_DROPFILES:
      DropFiles(message.WParam);
      message.Result = 0;
      return;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (message.LParam == 0) {  // the control's own bars
        ScrollMessage(message, message.Msg == WM_VSCROLL);
        return;
      }
      break;
    case WM_MOUSEWHEEL:
      MouseWheel(message);
      return;
    case WM_SETCURSOR:
      if (LOWORD(message.LParam) == HTCLIENT && reinterpret_cast<HWND>(message.WParam) == handle_ &&
          SetMouseCursor()) {
        message.Result = 1;
        return;
      }
      break;
    case WM_TIMER:
      if (message.WParam == kScrollTimer) {
        ScrollTimerTick();
        return;
      }
      break;
    case WM_CAPTURECHANGED:
      StopScrollTimer();
      break;
    case WM_CANCELMODE:
      return;
    case WM_SYSCHAR:
      // Alt+Backspace is the undo key: without this the system would beep.
      if (message.WParam == VK_BACK && (message.LParam & (1 << 29))) return;
      break;
    default:
      break;
  }
  TCustomControl::WndProc(message);
}

// ---- keys ------------------------------------------------------------------------------------

void TCustomKedEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  const TKedEditorCommand command = model_->TranslateKey(key, shift);
  keyTranslated_ = command != ecNone;
  if (!keyTranslated_) return;
  key = 0;
  model_->RunCommand(command, '\0', nullptr);
}

void TCustomKedEdit::KeyPress(char& key) {
  // The character of a key that already ran as a command arrives after it: drop it.
  if (keyTranslated_) {
    keyTranslated_ = false;
    key = 0;
    return;
  }
  TCustomControl::KeyPress(key);
  if (key == 0) return;
  model_->RunCommand(ecChar, key, nullptr);
  key = 0;
}

// ---- mouse -----------------------------------------------------------------------------------

void TCustomKedEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TKedEditModel& m = *model_;
  lastPress_ = {x, y};
  const bool possibleDrag = button == mbLeft && m.HasSelection();
  if (possibleDrag) mouseDownPos_ = {x, y};
  TCustomControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && shift.Contains(ssDouble)) return;
  const TBufferCoord pressed = m.DisplayToTextPos(m.PixelsToDisplayPos(x, y));
  if (button == mbRight) {
    if (!m.Options().Contains(eoRightMouseMovesCursor)) return;
    if (m.HasSelection() && m.IsPosInSelection(pressed)) return;
    m.InvalidateSelectionLines();
    m.SetSelEnd(m.BlockBegin());
  }
  if (button == mbLeft || button == mbRight) m.MoveCaretToPixel(x, y);
  if (button == mbLeft) {
    ::SetCapture(handle_);
    waitingForDrag_ =
        possibleDrag && m.Options().Contains(eoDragDropEditing) && x >= m.GutterWidth() + 2 &&
        m.SelectionMode() == TKedSelectionMode::smNormal && m.IsPosInSelection(pressed);
    if (!waitingForDrag_ && !doubleClicked_) {
      if (shift.Contains(ssShift)) {
        m.SetSelEnd(m.GetCaretPos());
      } else {
        if (m.Options().Contains(eoAltSetsColumnMode) &&
            m.ActiveSelectionMode() != TKedSelectionMode::smLine)
          m.SetSelectionMode(shift.Contains(ssAlt) ? TKedSelectionMode::smColumn
                                                   : TKedSelectionMode::smNormal);
        m.SetSelBegin(m.GetCaretPos());
      }
    }
  }
  if (x < m.GutterWidth()) {
    pressedInGutter_ = true;
    if (button == mbRight) FireGutterClick(button, x, y);
  }
  if (CanFocus()) SetFocus();
}

void TCustomKedEdit::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  TKedEditModel& m = *model_;
  if (!Captured()) return;
  if (waitingForDrag_) {
    if (std::abs(x - mouseDownPos_.X) >= ::GetSystemMetrics(SM_CXDRAG) ||
        std::abs(y - mouseDownPos_.Y) >= ::GetSystemMetrics(SM_CYDRAG)) {
      waitingForDrag_ = false;
      draggingText_ = true;
    }
    if (!draggingText_) return;
  }
  const int rows = std::max(1, m.GetDisplayRowCount());
  if (draggingText_) {
    // The caret shows where the text would land; the selection stays.
    TDisplayPos d = m.PixelsToNearestDisplayPos(x, y);
    d.Row = std::clamp(d.Row, 1, rows);
    const TBufferCoord begin = m.BlockBegin();
    const TBufferCoord end = m.BlockEnd();
    m.SetCaretDisplayPos(d);
    if (m.BlockBegin() != begin || m.BlockEnd() != end)
      m.PlaceCaretAndSelection(m.GetCaretPos(), begin, end);
    UpdateAutoScroll(x, y);
    return;
  }
  if (!shift.Contains(ssLeft)) return;
  UpdateAutoScroll(x, y);
  TDisplayPos d = m.PixelsToNearestDisplayPos(x, y);
  d.Row = std::clamp(d.Row, 1, rows);
  if (scrollDeltaX_ != 0) d.Column = m.GetCaretDisplayColumn();
  if (scrollDeltaY_ != 0) d.Row = m.GetCaretDisplayRow();
  m.SetCaretPos(m.DisplayToTextPos(d));
  m.SetSelEnd(m.GetCaretPos());
}

void TCustomKedEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  StopScrollTimer();
  TKedEditModel& m = *model_;
  if (button == mbRight && shift == TShiftState{ssRight} && PopupMenu()) return;
  if (Captured()) ::ReleaseCapture();
  if (draggingText_) {
    draggingText_ = false;
    const bool copy = ::GetKeyState(VK_CONTROL) < 0;
    m.MoveCaretToPixel(x, y);
    if (!m.DropSelection(m.GetCaretPos(), copy)) m.SetCaretAndCollapse(m.GetCaretPos());
  } else if (pressedInGutter_ && x < m.GutterWidth() && button != mbRight) {
    FireGutterClick(button, x, y);
  } else if (waitingForDrag_ && !doubleClicked_) {
    // A press in the selection that never became a drag places the caret.
    m.MoveCaretToPixel(x, y);
    if (!shift.Contains(ssShift)) m.SetSelBegin(m.GetCaretPos());
    m.SetSelEnd(m.GetCaretPos());
  }
  waitingForDrag_ = false;
  doubleClicked_ = false;
  pressedInGutter_ = false;
}

void TCustomKedEdit::DblClick() {
  // The double click comes before its press: the first click's press is where it was.
  if (lastPress_.X < model_->GutterWidth() + 2) {
    TCustomControl::DblClick();
    return;
  }
  if (!model_->Options().Contains(eoNoSelection)) model_->SelectWordAtCaret();
  TCustomControl::DblClick();
  doubleClicked_ = true;
  if (Captured()) ::ReleaseCapture();
}

void TCustomKedEdit::FireGutterClick(TMouseButton button, int x, int y) {
  if (!OnGutterClick) return;
  TKedEditModel& m = *model_;
  // Under word wrap the row is turned into its line.
  const int line = m.DisplayRowToLine(m.PixelsToDisplayPos(x, y).Row);
  if (line > m.Lines().Count()) return;
  TKedEditMark* clicked = nullptr;
  int offset = 0;
  for (TKedEditMark* mark : m.CollectLineMarks(line)) {
    offset += bookMarkOptions_->Xoffset();
    if (x < offset) {
      clicked = mark;
      break;
    }
  }
  OnGutterClick(this, button, x, y, line, clicked);
}

bool TCustomKedEdit::SetMouseCursor() {
  if (ComponentState().Contains(csDesigning) || !Screen) return false;
  POINT p;
  ::GetCursorPos(&p);
  ::ScreenToClient(handle_, &p);
  TKedEditModel& m = *model_;
  TCursor cursor = Cursor();
  if (p.x < m.GutterWidth()) {
    cursor = crArrow;
  } else if (m.Options().Contains(eoDragDropEditing) && !Captured() && m.HasSelection() &&
             m.IsPosInSelection(m.DisplayToTextPos(m.PixelsToDisplayPos(p.x, p.y)))) {
    cursor = crArrow;
  }
  ::SetCursor(Screen->Cursors(cursor));
  return true;
}

// ---- scrolling -------------------------------------------------------------------------------

void TCustomKedEdit::UpdateAutoScroll(int x, int y) {
  if (!Captured()) {
    StopScrollTimer();
    return;
  }
  TKedEditModel& m = *model_;
  const int cw = std::max(m.CharWidth(), 1);
  const int lh = std::max(m.LineHeight(), 1);
  TRect area{m.GutterWidth(), 0, m.GutterWidth() + m.CharsInWindow() * cw, m.LinesInWindow() * lh};
  if (borderStyle_ == bsNone) area = {area.Left + 2, area.Top + 2, area.Right - 2, area.Bottom - 2};
  scrollDeltaX_ = x < area.Left     ? (x - area.Left) / cw - 1
                  : x >= area.Right ? (x - area.Right) / cw + 1
                                    : 0;
  scrollDeltaY_ = y < area.Top       ? (y - area.Top) / lh - 1
                  : y >= area.Bottom ? (y - area.Bottom) / lh + 1
                                     : 0;
  if (m.WordWrap()) scrollDeltaX_ = 0;
  const bool wanted = scrollDeltaX_ != 0 || scrollDeltaY_ != 0;
  if (wanted && !scrollTimerOn_)
    scrollTimerOn_ = ::SetTimer(handle_, kScrollTimer, 100, nullptr) != 0;
  else if (!wanted)
    StopScrollTimer();
}

void TCustomKedEdit::StopScrollTimer() {
  if (!scrollTimerOn_) return;
  if (HandleAllocated()) ::KillTimer(handle_, kScrollTimer);
  scrollTimerOn_ = false;
}

void TCustomKedEdit::ScrollTimerTick() {
  TKedEditModel& m = *model_;
  POINT p;
  ::GetCursorPos(&p);
  ::ScreenToClient(handle_, &p);
  const int rows = std::max(1, m.GetDisplayRowCount());
  TDisplayPos d = m.PixelsToDisplayPos(p.x, p.y);
  d.Row = std::clamp(d.Row, 1, rows);
  if (scrollDeltaX_ != 0) {
    m.SetLeftChar(m.LeftChar() + scrollDeltaX_);
    d.Column = m.LeftChar() + (scrollDeltaX_ > 0 ? m.CharsInWindow() : 0);
  }
  if (scrollDeltaY_ != 0) {
    const int step =
        ::GetKeyState(VK_SHIFT) < 0 ? scrollDeltaY_ * m.LinesInWindow() : scrollDeltaY_;
    m.SetTopLine(m.TopLine() + step);
    d.Row = std::clamp(m.TopLine() + (scrollDeltaY_ > 0 ? m.LinesInWindow() - 1 : 0), 1, rows);
  }
  const TBufferCoord target = m.DisplayToTextPos(d);
  if (target != m.GetCaretPos()) {
    m.LockPainting();
    m.SetCaretPos(target);
    if (Captured() && !draggingText_) m.SetSelEnd(m.GetCaretPos());
    m.UnlockPainting();
  }
  UpdateAutoScroll(p.x, p.y);
}

void TCustomKedEdit::ScrollMessage(TMessage& message, bool vertical) {
  TKedEditModel& m = *model_;
  const int code = LOWORD(message.WParam);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_TRACKPOS;
  ::GetScrollInfo(handle_, vertical ? SB_VERT : SB_HORZ, &si);
  const int track = si.nTrackPos;
  const bool oneLess = m.Options().Contains(eoScrollByOneLess);
  if (vertical) {
    const int rows = m.GetDisplayRowCount();
    const int page = m.LinesInWindow() - (oneLess ? 1 : 0);
    switch (code) {
      case SB_LINEUP:
        m.SetTopLine(m.TopLine() - 1);
        break;
      case SB_LINEDOWN:
        m.SetTopLine(m.TopLine() + 1);
        break;
      case SB_PAGEUP:
        m.SetTopLine(m.TopLine() - page);
        break;
      case SB_PAGEDOWN:
        m.SetTopLine(m.TopLine() + page);
        break;
      case SB_TOP:
        m.SetTopLine(1);
        break;
      case SB_BOTTOM:
        m.SetTopLine(rows);
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        m.SetTopLine(rows < 32768 ? track : ::MulDiv(rows + m.LinesInWindow() - 1, track, 32767));
        if (m.Options().Contains(eoShowScrollHint)) ShowScrollHint();
        break;
      case SB_ENDSCROLL:
        if (m.Options().Contains(eoShowScrollHint)) ScrollHintWindow()->ReleaseHandle();
        break;
      default:
        break;
    }
  } else {
    const int page = m.CharsInWindow() - (oneLess ? 1 : 0);
    const bool pastEol = m.Options().Contains(eoScrollPastEol);
    const int extent = pastEol ? m.MaxScrollWidth() : std::max(1, m.Lines().GetLongestLineLength());
    switch (code) {
      case SB_LINELEFT:
        m.SetLeftChar(m.LeftChar() - 1);
        break;
      case SB_LINERIGHT:
        m.SetLeftChar(m.LeftChar() + 1);
        break;
      case SB_PAGELEFT:
        m.SetLeftChar(m.LeftChar() - page);
        break;
      case SB_PAGERIGHT:
        m.SetLeftChar(m.LeftChar() + page);
        break;
      case SB_LEFT:
        m.SetLeftChar(1);
        break;
      case SB_RIGHT:
        m.SetLeftChar(pastEol ? m.MaxScrollWidth() - m.CharsInWindow() + 1 : extent);
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        m.SetLeftChar(extent < 32768 ? track : ::MulDiv(extent, track, 32767));
        break;
      default:
        break;
    }
  }
  message.Result = 0;
}

THintWindow* TCustomKedEdit::ScrollHintWindow() {
  static THintWindow* hint = nullptr;  // owned by the application
  if (hint == nullptr) hint = new THintWindow(Application);
  return hint;
}

void TCustomKedEdit::ShowScrollHint() {
  TKedEditModel& m = *model_;
  THintWindow* hint = ScrollHintWindow();
  hint->SetColor(m.ScrollHintColor());
  const int top = m.TopLine();
  std::string text;
  if (m.ScrollHintFormat() == shfTopLineOnly) {
    text = "Top Line: " + std::to_string(m.DisplayRowToLine(top));
  } else {
    const int bottom = top + std::min(m.LinesInWindow(), m.GetDisplayRowCount() - top);
    text = std::to_string(m.DisplayRowToLine(top)) + " - " +
           std::to_string(m.DisplayRowToLine(bottom));
  }
  const TRect size = hint->CalcHintRect(200, text);
  const int width = size.Width();
  const int height = size.Height();
  POINT p{ClientWidth() - width - 4, 10};
  if (m.Options().Contains(eoScrollHintFollows)) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ::GetScrollInfo(handle_, SB_VERT, &si);
    const int arrow = ::GetSystemMetrics(SM_CYVSCROLL);
    p.y = arrow + ::MulDiv(ClientHeight() - 2 * arrow, si.nTrackPos, std::max(si.nMax, 1)) +
          height / 2;
  }
  ::ClientToScreen(handle_, &p);
  hint->ActivateHint({p.x, p.y, p.x + width, p.y + height}, text);
}

void TCustomKedEdit::MouseWheel(TMessage& message) {
  TKedEditModel& m = *model_;
  int lines = 3;
  if (LOWORD(message.WParam) & MK_CONTROL) {
    lines = m.LinesInWindow();
    if (m.Options().Contains(eoHalfPageScroll)) lines >>= 1;
  } else {
    UINT setting = 3;
    ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &setting, 0);
    lines = setting == WHEEL_PAGESCROLL || static_cast<int>(setting) > m.LinesInWindow()
                ? m.LinesInWindow()
                : static_cast<int>(setting);
  }
  wheelRemainder_ += GET_WHEEL_DELTA_WPARAM(message.WParam);
  const int notches = wheelRemainder_ / WHEEL_DELTA;
  wheelRemainder_ %= WHEEL_DELTA;
  if (notches != 0) m.SetTopLine(m.TopLine() - notches * lines);
  message.Result = 1;
}

void TCustomKedEdit::HostScroll(const TRect& area, int dx, int dy) {
  if (!HandleAllocated()) return;
  RECT r{area.Left, area.Top, area.Right, area.Bottom};
  RECT pending;
  // Pixels still waiting to be painted would move away from their area: repaint instead.
  if (::GetUpdateRect(handle_, &pending, FALSE)) {
    ::InvalidateRect(handle_, &r, FALSE);
    return;
  }
  ::ScrollWindowEx(handle_, dx, dy, &r, &r, nullptr, nullptr, SW_INVALIDATE);
}

// ---- clipboard -----------------------------------------------------------------------------

void TCustomKedEdit::HostWriteClipboard(std::string_view text, TKedSelectionMode mode) {
  if (text.empty()) return;
  TClipboardOpen clipboard(HandleAllocated() ? handle_ : nullptr);
  if (!clipboard.IsOpen()) throw EKedEditError("Clipboard copy operation failed");
  ::EmptyClipboard();
  const std::string plain(text);
  std::string block(1, static_cast<char>(mode));
  block += plain;
  if (!PutClipboardBytes(CF_TEXT, plain) || !PutClipboardBytes(BlockClipboardFormat(), block))
    throw EKedEditError("Clipboard copy operation failed");
}

bool TCustomKedEdit::HostClipboardHasText() {
  return ::IsClipboardFormatAvailable(CF_TEXT) ||
         ::IsClipboardFormatAvailable(BlockClipboardFormat());
}

bool TCustomKedEdit::HostReadClipboard(std::string& text, TKedSelectionMode& mode,
                                       bool& plainText) {
  TClipboardOpen clipboard(HandleAllocated() ? handle_ : nullptr);
  if (!clipboard.IsOpen()) throw EKedEditError("Clipboard paste operation failed.");
  if (HANDLE block = ::GetClipboardData(BlockClipboardFormat())) {
    TGlobalLock lock(block);
    if (!lock.Data()) throw EKedEditError("Clipboard paste operation failed.");
    const char* data = static_cast<const char*>(lock.Data());
    const size_t size = lock.Size();
    if (size >= 1) {
      const auto modeByte = static_cast<unsigned char>(data[0]);
      text = BoundedText(data + 1, size - 1);
      // A mode byte of no known mode is read as plain text.
      plainText = modeByte > 2;
      mode = plainText ? TKedSelectionMode::smNormal : static_cast<TKedSelectionMode>(modeByte);
      return true;
    }
  }
  HANDLE plain = ::GetClipboardData(CF_TEXT);
  if (!plain) return false;  // nothing to paste
  TGlobalLock lock(plain);
  if (!lock.Data()) throw EKedEditError("Clipboard paste operation failed.");
  text = BoundedText(static_cast<const char*>(lock.Data()), lock.Size());
  plainText = true;
  mode = TKedSelectionMode::smNormal;
  return true;
}

void TCustomKedEdit::DropFiles(WPARAM dropHandle) {
  HDROP drop = reinterpret_cast<HDROP>(dropHandle);
  TScopeExit finish([drop] { ::DragFinish(drop); });
  if (OnDropFiles) {
    TStringList files;
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      // Each name is read at its own length, so long paths are not cut.
      const UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
      std::string name(length + 1, '\0');
      ::DragQueryFileA(drop, i, name.data(), length + 1);
      name.resize(length);
      files.Add(name);
    }
    POINT p{};
    ::DragQueryPoint(drop, &p);
    OnDropFiles(this, p.x, p.y, &files);
  }
}

bool TCustomKedEdit::HostFocused() { return HandleAllocated() && ::GetFocus() == handle_; }

void TCustomKedEdit::InitCaret() {
  if (!HandleAllocated() || !HostFocused()) return;
  const TKedCaretShape shape = model_->CurrentCaretShape();
  if (caretCreated_) ::DestroyCaret();
  caretShown_ = false;
  caretCreated_ =
      ::CreateCaret(handle_, nullptr, std::max(shape.Width, 1), std::max(shape.Height, 1)) != 0;
  model_->UpdateCaret();
}

void TCustomKedEdit::HostPlaceCaret(int x, int y, bool visible) {
  if (!caretCreated_) return;
  ::SetCaretPos(x, y);
  if (visible && !caretShown_) caretShown_ = ::ShowCaret(handle_) != 0;
  if (!visible && caretShown_) {
    ::HideCaret(handle_);
    caretShown_ = false;
  }
  if (HIMC imc = ::ImmGetContext(handle_)) {
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = {x, y};
    ::ImmSetCompositionWindow(imc, &form);
    ::ImmReleaseContext(handle_, imc);
  }
}

bool TCustomKedEdit::HostCharTypes(std::string_view text, std::vector<std::uint16_t>& types) {
  types.assign(text.size(), 0);
  return ::GetStringTypeExA(LOCALE_SYSTEM_DEFAULT, CT_CTYPE3, text.data(),
                            static_cast<int>(text.size()), types.data()) != 0;
}

void TCustomKedEdit::HostRefreshScrollBars() {
  if (!HandleAllocated()) return;
  TKedEditModel& m = *model_;
  const bool hide = m.Options().Contains(eoHideShowScrollbars);
  const UINT mask = SIF_RANGE | SIF_PAGE | SIF_POS | (hide ? 0u : SIF_DISABLENOSCROLL);
  auto apply = [&](int bar, bool wanted, int64_t extent, int page, int pos) {
    if (!wanted) {
      ::ShowScrollBar(handle_, bar, FALSE);
      return;
    }
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = mask;
    const bool scaled = extent > 32767;
    si.nMax = scaled ? 32767 : static_cast<int>(std::max<int64_t>(extent, 1));
    si.nPage = static_cast<UINT>(scaled ? ::MulDiv(32767, page, static_cast<int>(extent)) : page);
    si.nPos = scaled ? ::MulDiv(32767, pos, static_cast<int>(extent)) : pos;
    ::ShowScrollBar(handle_, bar, !hide || scaled || page < extent);
    ::SetScrollInfo(handle_, bar, &si, TRUE);
  };
  const TScrollStyle bars = m.ScrollBars();
  const bool pastEol = m.Options().Contains(eoScrollPastEol);
  const int64_t hExtent =
      pastEol ? m.MaxScrollWidth() : std::max(1, m.Lines().GetLongestLineLength());
  apply(SB_HORZ, (bars == ssHorizontal || bars == ssBoth) && !m.WordWrap(), hExtent,
        m.CharsInWindow(), m.LeftChar());
  int64_t vExtent = m.GetDisplayRowCount();
  if (m.Options().Contains(eoScrollPastEof)) vExtent += m.LinesInWindow() - 1;
  apply(SB_VERT, bars == ssVertical || bars == ssBoth, vExtent, m.LinesInWindow(), m.TopLine());
}

void TCustomKedEdit::InvalidateArea(const TRect& rect, bool erase) {
  if (!HandleAllocated()) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::InvalidateRect(handle_, &r, erase);
}

// ---- painting ------------------------------------------------------------------------------

void TCustomKedEdit::FillArea(HDC dc, const TRect& rect, TColor color) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(color)));
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
}

void TCustomKedEdit::Paint() {
  TKedEditModel& m = *model_;
  const int cw = std::max(m.CharWidth(), 1);
  const int lh = std::max(m.LineHeight(), 1);
  const int gw = m.GutterWidth();
  const TRect clip = Canvas()->ClipRect();
  int firstColumn = m.LeftChar();
  if (clip.Left > gw + 2) firstColumn += (clip.Left - gw - 2) / cw;
  const int lastColumn = m.LeftChar() + (clip.Right - gw - 2 + cw - 1) / cw;
  const int firstRow = std::max(m.TopLine() + clip.Top / lh, m.TopLine());
  const int lastRow =
      std::clamp(m.TopLine() + (clip.Bottom + lh - 1) / lh, 1, std::max(1, m.GetDisplayRowCount()));
  if (caretShown_) {
    ::HideCaret(handle_);
    caretShown_ = false;
  }
  {
    TScopeExit cleanup([&] { m.UpdateCaret(); });
    if (clip.Left < gw) PaintGutterStrip({clip.Left, clip.Top, gw, clip.Bottom}, firstRow, lastRow);
    if (clip.Right > gw)
      PaintTextArea({std::max(clip.Left, gw), clip.Top, clip.Right, clip.Bottom}, firstRow, lastRow,
                    firstColumn, lastColumn);
    if (OnPaint) {
      Canvas()->Font()->Assign(Font());
      Canvas()->Brush()->SetColor(Color());
      OnPaint(this, Canvas());
    }
    FirePaintTransient(ttAfter);
  }
}

void TCustomKedEdit::FirePaintTransientEx(TTransientType type, bool counting) {
  bool fire = paintTransientLock_ == 0;
  if (counting) {
    if (type == ttBefore) {
      ++paintTransientLock_;
    } else {
      paintTransientLock_ = std::max(paintTransientLock_ - 1, 0);
      fire = paintTransientLock_ == 0;
    }
  }
  if (!fire || !OnPaintTransient) return;
  Canvas()->Font()->Assign(Font());
  Canvas()->Brush()->SetColor(Color());
  // The handler draws on the window: the caret must not be in the picture.
  const bool shown = caretShown_;
  if (shown) {
    ::HideCaret(handle_);
    caretShown_ = false;
  }
  auto showAgain = [&] {
    if (shown && HandleAllocated()) caretShown_ = ::ShowCaret(handle_) != 0;
  };
  {
    TScopeExit cleanup([&] { showAgain(); });
    OnPaintTransient(this, Canvas(), type);
  }
}

void TCustomKedEdit::PaintGutterStrip(const TRect& clip, int firstRow, int lastRow) {
  TKedEditModel& m = *model_;
  TKedGutter& gutter = m.Gutter();
  const int lh = std::max(m.LineHeight(), 1);
  const int gw = m.GutterWidth();
  const int count = m.Lines().Count();
  const bool gradient = gutter.Gradient();
  if (gradient) {
    PaintStepGradient(Canvas(), gutter.GradientStartColor(), gutter.GradientEndColor(),
                      gutter.GradientSteps(), {0, 0, gw, ClientHeight()}, true);
  }
  HDC dc = Canvas()->Handle();
  int paintedBottom = clip.Top;
  if (gutter.ShowLineNumbers()) {
    const bool ownFont = gutter.UseFontStyle();
    if (ownFont) textDrawer_->SetBaseFont(gutter.Font());
    textDrawer_->SetForeground(ownFont ? gutter.Font()->Color() : Font()->Color());
    textDrawer_->SetBackground(gutter.Color());
    textDrawer_->StartDrawing(dc);
    {
      TScopeExit cleanup([&] {
        textDrawer_->FinishDrawing();
        if (ownFont) textDrawer_->SetBaseFont(Font());
      });
      // Over a gradient the numbers are drawn without their cell background.
      if (gradient) ::SetBkMode(dc, TRANSPARENT);
      const int firstLine = m.DisplayRowToLine(firstRow);
      const int lastLine = std::min(m.DisplayRowToLine(lastRow), count);
      for (int line = firstLine; line <= lastLine; ++line) {
        const int top = (m.LineToDisplayRow(line) - m.TopLine()) * lh;
        if (!gradient && top > paintedBottom)
          FillArea(dc, {0, paintedBottom, gw, top}, gutter.Color());
        std::string text = gutter.FormatLineNumber(line);
        if (OnGutterGetText) OnGutterGetText(this, line, text);
        const int width = static_cast<int>(text.size()) * textDrawer_->CellWidth();
        const int x = gw - gutter.RightOffset() - width - 2;
        const int y = top + (lh - textDrawer_->CellHeight()) / 2;
        textDrawer_->SetBackground(gutter.Color());
        textDrawer_->CellTextOut(x, y, gradient ? 0 : ETO_OPAQUE, {0, top, gw, top + lh},
                                 text.data(), static_cast<int>(text.size()));
        paintedBottom = top + lh;
        if (OnGutterPaint) OnGutterPaint(this, line, 0, top);
      }
    }
  }
  if (!gradient)
    FillArea(dc, {clip.Left, std::max(paintedBottom, clip.Top), gw, clip.Bottom}, gutter.Color());
  PaintWrapGlyphs(firstRow, lastRow);
  PaintMarks(firstRow, lastRow);
  if (gutter.BorderStyle() != gbsNone && clip.Right >= gw - 2) {
    if (gutter.BorderStyle() == gbsMiddle) {
      FillArea(dc, {gw - 2, clip.Top, gw - 1, clip.Bottom}, gutter.BorderColor());
      FillArea(dc, {gw - 1, clip.Top, gw, clip.Bottom}, gutter.Color());
    } else {
      FillArea(dc, {gw - 1, clip.Top, gw, clip.Bottom}, gutter.BorderColor());
    }
  }
  if (!gutter.ShowLineNumbers() && OnGutterPaint) {
    for (int row = firstRow; row <= lastRow && row <= m.GetDisplayRowCount(); ++row)
      OnGutterPaint(this, m.DisplayRowToLine(row), 0, (row - m.TopLine()) * lh);
  }
}

void TCustomKedEdit::PaintMarks(int firstRow, int lastRow) {
  TKedEditModel& m = *model_;
  if (m.Marks().empty() || !bookMarkOptions_->GlyphsVisible()) return;
  const int lh = std::max(m.LineHeight(), 1);
  const int firstLine = m.DisplayRowToLine(firstRow);
  const int lastLine = m.DisplayRowToLine(lastRow);
  std::vector<int> drawn;  // lines that already show a built-in picture
  for (const auto& mark : m.Marks()) {
    if (!mark->Visible || mark->Line < firstLine || mark->Line > lastLine) continue;
    if (mark->ImageIndex < 0 || mark->ImageIndex > 9) continue;
    if (std::find(drawn.begin(), drawn.end(), mark->Line) != drawn.end()) continue;
    drawn.push_back(mark->Line);
    const int top = (m.LineToDisplayRow(mark->Line) - m.TopLine()) * lh;
    InternalBookmarkImage()->DrawCell(Canvas(), mark->ImageIndex, bookMarkOptions_->LeftMargin(),
                                      top, lh);
  }
}

void TCustomKedEdit::PaintWrapGlyphs(int firstRow, int lastRow) {
  TKedEditModel& m = *model_;
  if (!m.WordWrap() || !wordWrapGlyph_->Visible()) return;
  const int lh = std::max(m.LineHeight(), 1);
  const int x = m.GutterWidth() - m.Gutter().RightOffset() - wordWrapGlyph_->GetGlyphWidth() - 2;
  const int last = std::min(lastRow, m.GetDisplayRowCount());
  for (int row = firstRow; row <= last; ++row) {
    // Only the rows a line continues on: its first row carries the line number.
    if (m.LineToDisplayRow(m.DisplayRowToLine(row)) == row) continue;
    wordWrapGlyph_->DrawGlyph(Canvas(), x, (row - m.TopLine()) * lh, lh);
  }
}

void TCustomKedEdit::PaintTextArea(const TRect& clipIn, int firstRow, int lastRow, int firstColumn,
                                   int lastColumn) {
  TKedEditModel& m = *model_;
  TRect clip = clipIn;
  HDC dc = Canvas()->Handle();
  const int lh = std::max(m.LineHeight(), 1);
  const int gw = m.GutterWidth();
  const TColor background = m.LineBackground(0);
  if (clip.Left < gw + 2) {
    FillArea(dc, {std::max(clip.Left, gw), clip.Top, gw + 2, clip.Bottom}, background);
    clip.Left = gw + 2;
  }
  const int rows = m.GetDisplayRowCount();
  int bottom = clip.Top;
  if (rows > 0 && lastRow >= firstRow) {
    textDrawer_->SetDrawStyle(Font()->Style());
    textDrawer_->StartDrawing(dc);
    {
      TScopeExit cleanup([&] { textDrawer_->FinishDrawing(); });
      for (int row = firstRow; row <= lastRow; ++row) {
        const int top = (row - m.TopLine()) * lh;
        for (const TKedPaintRun& run :
             m.PaintRow(row, firstColumn, lastColumn, clip.Left, clip.Right)) {
          const TRect cell{std::max(run.X, clip.Left), top, std::min(run.Right, clip.Right),
                           top + lh};
          if (cell.Right <= cell.Left) continue;
          textDrawer_->SetBackground(run.Bg);
          if (run.Text.empty()) {
            FillArea(dc, cell, run.Bg);
            continue;
          }
          textDrawer_->SetDrawStyle(run.Style);
          textDrawer_->SetForeground(run.Fg);
          textDrawer_->CellTextOut(run.X, top, ETO_OPAQUE | ETO_CLIPPED, cell, run.Text.data(),
                                   static_cast<int>(run.Text.size()));
        }
        bottom = top + lh;
      }
    }
  }
  FillArea(dc, {clip.Left, std::max(bottom, clip.Top), clip.Right, clip.Bottom}, background);
  if (m.RightEdge() > 0) {
    const int x = m.RightEdge() * m.CharWidth() + m.TextOffset();
    if (x >= clip.Left && x <= clip.Right)
      FillArea(dc, {x, clip.Top, x + 1, clip.Bottom + 1}, m.RightEdgeColor());
  }
}

// ---- published properties ---------------------------------------------------------------

K_PUBLISH(TKedEdit) {
  // The control's own setters run, so the clamps and side effects apply to writes by name.
  p.Prop("PopupMenu", &TKedEdit::PopupMenu, &TKedEdit::SetPopupMenu);
  p.Prop("ActiveLineColor", &TKedEdit::ActiveLineColor, &TKedEdit::SetActiveLineColor);
  p.Prop("BookMarkOptions", &TKedEdit::BookMarkOptions, &TKedEdit::SetBookMarkOptions);
  p.Enum("BorderStyle", &TKedEdit::BorderStyle, &TKedEdit::SetBorderStyle, {"bsNone", "bsSingle"});
  p.Prop("ExtraLineSpacing", &TKedEdit::ExtraLineSpacing, &TKedEdit::SetExtraLineSpacing);
  // Redeclared so that a write by name goes through the fixed-pitch substitution.
  p.Prop("Font", &TKedEdit::Font, &TKedEdit::SetFont);
  p.Prop("Gutter", &TKedEdit::Gutter, &TKedEdit::SetGutter);
  p.Prop("HideSelection", &TKedEdit::HideSelection, &TKedEdit::SetHideSelection);
  p.Prop("Highlighter", &TKedEdit::Highlighter, &TKedEdit::SetHighlighter);
  p.Enum("InsertCaret", &TKedEdit::InsertCaret, &TKedEdit::SetInsertCaret,
         {"ctVerticalLine", "ctHorizontalLine", "ctHalfBlock", "ctBlock"});
  p.Prop("InsertMode", &TKedEdit::InsertMode, &TKedEdit::SetInsertMode);
  p.Prop("Keystrokes", &TKedEdit::Keystrokes, &TKedEdit::SetKeystrokes);
  // Declared as any string list, so a plain TStringList can be copied in.
  p.Prop(
      "Lines", [](TKedEdit* e) -> TStrings* { return e->Lines(); },
      [](TKedEdit* e, TStrings* v) { e->SetLines(v); });
  p.Prop("MaxScrollWidth", &TKedEdit::MaxScrollWidth, &TKedEdit::SetMaxScrollWidth);
  p.Prop("MaxUndo", &TKedEdit::MaxUndo, &TKedEdit::SetMaxUndo);
  p.Set("Options", &TKedEdit::Options, &TKedEdit::SetOptions,
        {"eoAltSetsColumnMode",
         "eoAutoIndent",
         "eoAutoSizeMaxScrollWidth",
         "eoDisableScrollArrows",
         "eoDragDropEditing",
         "eoDropFiles",
         "eoEnhanceHomeKey",
         "eoEnhanceEndKey",
         "eoGroupUndo",
         "eoHalfPageScroll",
         "eoHideShowScrollbars",
         "eoKeepCaretX",
         "eoNoCaret",
         "eoNoSelection",
         "eoRightMouseMovesCursor",
         "eoScrollByOneLess",
         "eoScrollHintFollows",
         "eoScrollPastEof",
         "eoScrollPastEol",
         "eoShowScrollHint",
         "eoShowSpecialChars",
         "eoSmartTabDelete",
         "eoSmartTabs",
         "eoSpecialLineDefaultFg",
         "eoTabIndent",
         "eoTabsToSpaces",
         "eoTrimTrailingSpaces"});
  p.Enum("OverwriteCaret", &TKedEdit::OverwriteCaret, &TKedEdit::SetOverwriteCaret,
         {"ctVerticalLine", "ctHorizontalLine", "ctHalfBlock", "ctBlock"});
  p.Prop("ReadOnly", &TKedEdit::ReadOnly, &TKedEdit::SetReadOnly);
  p.Prop("RightEdge", &TKedEdit::RightEdge, &TKedEdit::SetRightEdge);
  p.Prop("RightEdgeColor", &TKedEdit::RightEdgeColor, &TKedEdit::SetRightEdgeColor);
  p.Prop("ScrollHintColor", &TKedEdit::ScrollHintColor, &TKedEdit::SetScrollHintColor);
  p.Enum("ScrollHintFormat", &TKedEdit::ScrollHintFormat, &TKedEdit::SetScrollHintFormat,
         {"shfTopLineOnly", "shfTopToBottom"});
  p.Enum("ScrollBars", &TKedEdit::ScrollBars, &TKedEdit::SetScrollBars,
         {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
  p.Prop("SearchEngine", &TKedEdit::SearchEngine, &TKedEdit::SetSearchEngine);
  p.Prop("SelectedColor", &TKedEdit::SelectedColor, &TKedEdit::SetSelectedColor);
  p.Enum("SelectionMode", &TKedEdit::SelectionMode, &TKedEdit::SetSelectionMode,
         {"smNormal", "smLine", "smColumn"});
  p.Prop("TabWidth", &TKedEdit::TabWidth, &TKedEdit::SetTabWidth);
  p.Prop("WantReturns", &TKedEdit::WantReturns, &TKedEdit::SetWantReturns);
  p.Prop("WantTabs", &TKedEdit::WantTabs, &TKedEdit::SetWantTabs);
  p.Prop("WordWrap", &TKedEdit::WordWrap, &TKedEdit::SetWordWrap);
  p.Prop("WordWrapGlyph", &TKedEdit::WordWrapGlyph, &TKedEdit::SetWordWrapGlyph);
}
