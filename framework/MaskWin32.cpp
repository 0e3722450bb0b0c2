#include "framework/MaskWin32.h"

#include "framework/ScopeExit.h"

K_PUBLISH(TCustomMaskEdit) {
  p.Prop("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(const std::string& value) {
  if (value == editMask_) return;
  const std::string text = GetText();
  editMask_ = value;
  mask_ = TEditMask(value);
  if (HandleAllocated()) {
    const int limit = mask_.Empty() ? maxLength_ : mask_.Length();
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  }
  TCustomEdit::SetTextValue(mask_.Empty() ? text : mask_.EditTextOf(text));
}

void TCustomMaskEdit::SetEditText(const std::string& value) {
  TCustomEdit::SetTextValue(value);
  Perform(CM_TEXTCHANGED);
}

std::string TCustomMaskEdit::GetText() {
  const std::string shown = TCustomEdit::GetText();
  return mask_.Empty() ? shown : mask_.TextOf(shown);
}

void TCustomMaskEdit::SetTextValue(const std::string& value) {
  TCustomEdit::SetTextValue(mask_.Empty() ? value : mask_.EditTextOf(value));
}

void TCustomMaskEdit::CreateWnd() {
  TCustomEdit::CreateWnd();
  if (!HandleAllocated() || mask_.Empty()) return;
  // The window takes exactly the mask's places; an empty masked edit shows its literals.
  SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(mask_.Length()), 0);
  if (TCustomEdit::GetText().size() != static_cast<size_t>(mask_.Length()))
    TCustomEdit::SetTextValue(mask_.EditTextOf(mask_.TextOf(TCustomEdit::GetText())));
}

void TCustomMaskEdit::Selection(int& start, int& end) {
  DWORD s = 0, e = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

void TCustomMaskEdit::Apply(const TEditMask::TMaskChange& change) {
  if (change.Text != EditText()) {
    // A change the user makes counts as a modification, as the system edit's own typing does.
    SetWindowTextA(Handle(), change.Text.c_str());
    SendMessageA(Handle(), EM_SETMODIFY, TRUE, 0);
  }
  SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(change.Caret), change.Caret);
}

std::string TCustomMaskEdit::ClipboardText() {
  if (!OpenClipboard(Handle())) return {};
  TScopeExit closing([] { CloseClipboard(); });
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return {};
  const auto* text = static_cast<const char*>(GlobalLock(data));
  if (!text) return {};
  TScopeExit unlocking([data] { GlobalUnlock(data); });
  // The clipboard's text need not end where its block does: read no further than the block.
  const size_t size = GlobalSize(data);
  size_t n = 0;
  while (n < size && text[n]) ++n;
  return std::string(text, n);
}

bool TCustomMaskEdit::HandleMaskedInput(TMessage& m) {
  if (ReadOnly()) return false;
  int start = 0, end = 0;
  switch (m.Msg) {
    case WM_CHAR: {
      const char ch = static_cast<char>(m.WParam);
      Selection(start, end);
      if (ch == '\b') {
        Apply(mask_.Backspace(EditText(), start, end));
        return true;
      }
      // Other control characters (the clipboard keys, Ctrl+A) are the system edit's.
      if (static_cast<unsigned char>(ch) < 0x20) return false;
      if (auto typed = mask_.Type(EditText(), start, end, ch))
        Apply(*typed);
      else
        MessageBeep(0);
      return true;
    }
    case WM_KEYDOWN:
      if (m.WParam != VK_DELETE) return false;
      if (GetKeyState(VK_SHIFT) < 0) {
        SendMessageA(Handle(), WM_CUT, 0, 0);
        return true;
      }
      Selection(start, end);
      Apply(mask_.Delete(EditText(), start, end));
      return true;
    case WM_CLEAR:
      Selection(start, end);
      Apply(mask_.Delete(EditText(), start, end));
      return true;
    case WM_CUT:
      SendMessageA(Handle(), WM_COPY, 0, 0);
      Selection(start, end);
      if (end > start) Apply(mask_.Delete(EditText(), start, end));
      return true;
    case WM_PASTE:
      Selection(start, end);
      Apply(mask_.Paste(EditText(), start, end, ClipboardText()));
      return true;
    default:
      return false;
  }
}

void TCustomMaskEdit::WndProc(TMessage& m) {
  if (!mask_.Empty() && HandleAllocated() && HandleMaskedInput(m)) {
    m.Result = 0;
    return;
  }
  TCustomEdit::WndProc(m);
}
