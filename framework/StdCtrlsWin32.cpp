#include "framework/StdCtrlsWin32.h"

#include <algorithm>

#include "framework/FormsWin32.h"
#include "framework/TypInfo.h"

// ---- TWindowItems -------------------------------------------------------------------------

void TWindowItems::SetUpdateState(bool updating) {
  TStringList::SetUpdateState(updating);
  if (control_->HandleAllocated()) {
    SendMessageA(control_->Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) control_->Invalidate();
  }
}

void TWindowItems::InsertIntoWindow(int index, const std::string& s) {
  if (!control_->HandleAllocated()) return;
  SendMessageA(control_->Handle(), msgs_.Insert, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(s.c_str()));
}

void TWindowItems::Clear() {
  TStringList::Clear();
  if (control_->HandleAllocated()) SendMessageA(control_->Handle(), msgs_.Reset, 0, 0);
}

void TWindowItems::Delete(int index) {
  TStringList::Delete(index);
  if (control_->HandleAllocated())
    SendMessageA(control_->Handle(), msgs_.Delete, static_cast<WPARAM>(index), 0);
}

void TWindowItems::Insert(int index, const std::string& s) {
  TStringList::Insert(index, s);
  InsertIntoWindow(index, s);
}

int TWindowItems::AddObject(const std::string& s, TObject* obj) {
  int before = Count();
  int index = TStringList::AddObject(s, obj);
  if (Count() > before) InsertIntoWindow(index, s);  // a sorted list may ignore duplicates
  return index;
}

void TWindowItems::Put(int index, const std::string& s) {
  // The window forgets the selection of an item it deletes: a renamed item (a translated
  // unit, say) stays chosen.
  const LRESULT selected =
      control_->HandleAllocated() ? SendMessageA(control_->Handle(), msgs_.GetCurSel, 0, 0) : -1;
  TObject* obj = Objects(index);
  Delete(index);
  InsertObject(index, s, obj);
  if (selected == index)
    SendMessageA(control_->Handle(), msgs_.SetCurSel, static_cast<WPARAM>(index), 0);
}

void TWindowItems::Upload() {
  if (!control_->HandleAllocated()) return;
  HWND wnd = control_->Handle();
  SendMessageA(wnd, msgs_.Reset, 0, 0);
  for (int i = 0; i < Count(); ++i)
    SendMessageA(wnd, msgs_.Insert, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(Get(i).c_str()));
}

// ---- TCustomEdit --------------------------------------------------------------------------

K_PUBLISH(TCustomEdit) {
  p.Prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
  p.Prop("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
  p.Prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar);
  p.Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle,
         {"bsNone", "bsSingle"});
  p.Enum("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase,
         {"ecNormal", "ecUpperCase", "ecLowerCase"});
  p.Prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 21;
  SetTabStop(true);
  color_ = clWindow;
  brush_->SetColor(color_);
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "EDIT");
  p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (readOnly_) p.Style |= ES_READONLY;
  if (charCase_ == ecUpperCase) p.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) p.Style |= ES_LOWERCASE;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_)
    SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
  SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_ + selLength_);
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = value;
  if (HandleAllocated()) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageA(handle_, EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetPasswordChar(char value) {
  passwordChar_ = value;
  if (HandleAllocated()) {
    SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
    Invalidate();
  }
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

bool TCustomEdit::Modified() {
  return HandleAllocated() ? SendMessageA(handle_, EM_GETMODIFY, 0, 0) != 0 : modified_;
}

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) SendMessageA(handle_, EM_SETMODIFY, value, 0);
}

int TCustomEdit::SelStart() {
  if (!HandleAllocated()) return selStart_;
  DWORD s = 0, e = 0;
  SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(s);
}

void TCustomEdit::SetSelStart(int value) {
  selStart_ = value;
  selLength_ = 0;
  if (HandleAllocated()) SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(value), value);
}

int TCustomEdit::SelLength() {
  if (!HandleAllocated()) return selLength_;
  DWORD s = 0, e = 0;
  SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  return static_cast<int>(e - s);
}

void TCustomEdit::SetSelLength(int value) {
  int start = SelStart();
  selLength_ = value;
  if (HandleAllocated())
    SendMessageA(handle_, EM_SETSEL, static_cast<WPARAM>(start), start + value);
}

std::string TCustomEdit::SelText() {
  std::string t = Text();
  int s = std::clamp(SelStart(), 0, static_cast<int>(t.size()));
  int l = std::clamp(SelLength(), 0, static_cast<int>(t.size()) - s);
  return t.substr(static_cast<size_t>(s), static_cast<size_t>(l));
}

void TCustomEdit::SetSelText(const std::string& value) {
  SendMessageA(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageA(handle_, EM_SETSEL, 0, -1);
}

void TCustomEdit::Change() {
  Changed();
  if (OnChange_) OnChange_(this);
}

void TCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == EN_CHANGE) Change();
      return;
    case CM_TEXTCHANGED:
      // Typing reports through EN_CHANGE. A text set in code reports here when the window
      // does not exist yet, or is multi-line: those do not send EN_CHANGE for WM_SETTEXT.
      if (!IsLoading() &&
          (!HandleAllocated() || (GetWindowLongA(handle_, GWL_STYLE) & ES_MULTILINE)))
        Change();
      return;
    case CM_ENTER:
      if (autoSelect_ && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
      break;
  }
  TWinControl::WndProc(m);
}

// ---- TMemoStrings / TCustomMemo -----------------------------------------------------------

std::string TMemoStrings::GetTextStr() const { return memo_->Text(); }

void TMemoStrings::SetTextStr(const std::string& text) {
  if (text == memo_->Text()) return;
  memo_->SetText(text);
}

int TMemoStrings::GetCount() const {
  TStringList l;
  l.SetText(memo_->Text());
  return l.Count();
}

std::string TMemoStrings::Get(int index) const {
  TStringList l;
  l.SetText(memo_->Text());
  if (index < 0 || index >= l.Count()) IndexError(index);
  return l[index];
}

void TMemoStrings::Clear() { memo_->SetText(""); }

void TMemoStrings::Put(int index, const std::string& s) {
  TStringList l;
  l.SetText(memo_->Text());
  l.Put(index, s);
  memo_->SetText(l.Text());
}

void TMemoStrings::Delete(int index) {
  TStringList l;
  l.SetText(memo_->Text());
  l.Delete(index);
  memo_->SetText(l.Text());
}

void TMemoStrings::Insert(int index, const std::string& s) {
  std::string text = memo_->Text();
  TStringList l;
  l.SetText(text);
  if (index < 0 || index > l.Count()) IndexError(index);
  if (memo_->HandleAllocated()) {
    // Insert in place, so the caret and the scroll position stay where they are.
    HWND wnd = memo_->Handle();
    std::string line = s + "\r\n";
    int pos = static_cast<int>(text.size());
    if (index < l.Count()) {
      pos = static_cast<int>(SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(index), 0));
    } else if (!text.empty() && text.back() != '\n' && text.back() != '\r') {
      line = "\r\n" + s;
    }
    SendMessageA(wnd, EM_SETSEL, static_cast<WPARAM>(pos), pos);
    SendMessageA(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
    return;
  }
  l.Insert(index, s);
  memo_->SetText(l.Text());
}

int TMemoStrings::Add(const std::string& s) {
  if (!memo_->HandleAllocated()) return TStrings::Add(s);
  HWND wnd = memo_->Handle();
  // The last line of the window's text: empty when the text is empty or ends in a line break.
  const auto lines = static_cast<int>(SendMessageA(wnd, EM_GETLINECOUNT, 0, 0));
  const LRESULT lastStart = SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
  const auto lastLength = static_cast<int>(SendMessageA(wnd, EM_LINELENGTH, lastStart, 0));
  // The window counts rows on the screen; they are the lines only where no line wraps.
  const auto* memo = dynamic_cast<const TCustomMemo*>(memo_);
  const int index = memo && memo->WordWrap() ? GetCount() : lines - (lastLength == 0 ? 1 : 0);
  const std::string line = lastLength == 0 ? s + "\r\n" : "\r\n" + s;
  // The end in the window's own positions (a rich edit counts a line break as one).
  const auto end = static_cast<WPARAM>(lastStart + lastLength);
  SendMessageA(wnd, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageA(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
  return index;
}

void TMemoStrings::SetUpdateState(bool updating) {
  if (memo_->HandleAllocated()) {
    SendMessageA(memo_->Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) memo_->Invalidate();
  }
}

K_PUBLISH(TCustomMemo) {
  p.Prop("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  p.Prop("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap);
  p.Enum("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars,
         {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
  p.Prop("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns);
  p.Prop("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs);
  p.Enum("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"});
}

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(this)) {
  width_ = 185;
  height_ = 89;
  autoSelect_ = false;
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style |= ES_MULTILINE | ES_WANTRETURN;
  p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (!wordWrap_ || scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.Style |= ES_AUTOHSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.Style |= WS_HSCROLL;
  if (alignment_ == taRightJustify) p.Style |= ES_RIGHT;
  if (alignment_ == taCenter) p.Style |= ES_CENTER;
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomMemo::WndProc(TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    TCustomEdit::WndProc(m);
    m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    if (wantTabs_) m.Result |= DLGC_WANTTAB;
    if (wantReturns_) m.Result |= DLGC_WANTALLKEYS;
    m.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TCustomEdit::WndProc(m);
}

// ---- buttons ------------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  color_ = clBtnFace;
  brush_->SetColor(color_);
  controlStyle_ = {csSetCaption, csDoubleClicks};
}

void TButtonControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "BUTTON");
}

void TButtonControl::WndProc(TMessage& m) {
  if (m.Msg == CN_CTLCOLORBTN || m.Msg == CN_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font_->Color())));
    SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(color_)));
    brush_->SetColor(color_);
    m.Result = reinterpret_cast<LRESULT>(BrushHandle(brush_.get()));
    return;
  }
  TWinControl::WndProc(m);
}

K_PUBLISH(TButton) {
  p.Prop("Default", &TButton::Default, &TButton::SetDefault);
  p.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel);
  p.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  width_ = 75;
  height_ = 25;
}

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (HandleAllocated())
    SendMessageA(handle_, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (modalResult_ != mrNone)
    if (TCustomForm* f = ParentForm()) f->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY:
      if (((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) &&
          CanFocus()) {
        Click();
        m.Result = 1;
      }
      return;
  }
  TButtonControl::WndProc(m);
}

K_PUBLISH(TCustomCheckBox) {
  p.Prop("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked);
  p.Enum("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState,
         {"cbUnchecked", "cbChecked", "cbGrayed"});
  p.Prop("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed);
  p.Enum("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"});
}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  width_ = 97;
  height_ = 17;
  // Drawn on its parent's background, like a label: it takes the parent's colour.
  SetParentColor(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= BS_3STATE;
  if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == state_) return;
  state_ = value;
  if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, static_cast<WPARAM>(state_), 0);
  // A change in code clicks too, as the handlers of the main window expect.
  if (!IsLoading()) Click();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(allowGrayed_ ? cbGrayed : cbChecked);
      break;
    case cbChecked:
      SetState(cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbChecked);
      break;
  }
}

void TCustomCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED) Toggle();
    return;
  }
  TButtonControl::WndProc(m);
}

K_PUBLISH(TRadioButton) { p.Prop("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked); }

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  width_ = 113;
  height_ = 17;
  SetParentColor(true);  // as a check box
}

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, checked_, 0);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  if (HandleAllocated()) SendMessageA(handle_, BM_SETCHECK, value, 0);
  if (value) {
    if (parent_)
      for (int i = 0; i < parent_->ControlCount(); ++i)
        if (auto* r = dynamic_cast<TRadioButton*>(parent_->Controls(i)); r && r != this)
          r->SetChecked(false);
    if (!IsLoading()) Click();
  }
}

void TRadioButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(true);
    return;
  }
  TButtonControl::WndProc(m);
}

// ---- owner-drawn items of list and combo boxes ----------------------------------------------

namespace {

// Draws the item of a CN_DRAWITEM message: the item's device context goes behind the
// box's canvas with the box's font and the selection's colours, draw(index, rect,
// state) paints, and the context is put back as it was.
template <class Draw>
void DrawOwnerDrawnItem(TMessage& m, TCanvas* canvas, TFont* font, TColor color, Draw draw) {
  auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  TOwnerDrawState state = OwnerDrawStateFromItemState(di->itemState);
  TSaveDC saved(di->hDC);
  TCanvasOnDC onDC(canvas, di->hDC);
  canvas->Font()->Assign(font);
  canvas->Brush()->SetColor(state.Contains(odSelected) ? clHighlight : color);
  if (state.Contains(odSelected)) canvas->Font()->SetColor(clHighlightText);
  const RECT& r = di->rcItem;
  draw(static_cast<int>(di->itemID), Rect(r.left, r.top, r.right, r.bottom), state);
  m.Result = 1;
}

// The item's text on the background, as a box draws an item no handler draws.
void DrawItemText(TCanvas& canvas, const TStrings& items, int index, const TRect& rect) {
  canvas.FillRect(rect);
  if (index >= 0 && index < items.Count()) canvas.TextOut(rect.Left + 2, rect.Top, items[index]);
}

}  // namespace

// ---- TCustomListBox -----------------------------------------------------------------------

K_PUBLISH(TCustomListBox) {
  p.Prop("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
  p.Prop("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex);
  p.Prop("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect);
  p.Prop("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
  p.Prop("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  p.Enum(
      "Style", &TCustomListBox::Style, &TCustomListBox::SetStyle,
      {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual", "lbVirtualOwnerDraw"});
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TWindowItems>(
          this,
          TWindowItems::TMessages{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                  LB_SETITEMDATA, LB_GETCURSEL, LB_SETCURSEL})),
      canvas_(std::make_unique<TControlCanvas>(this)) {
  width_ = 121;
  height_ = 97;
  SetTabStop(true);
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "LISTBOX");
  p.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
  if (multiSelect_) p.Style |= LBS_EXTENDEDSEL;
  if (style_ == lbOwnerDrawFixed) p.Style |= LBS_OWNERDRAWFIXED;
  if (style_ == lbOwnerDrawVariable) p.Style |= LBS_OWNERDRAWVARIABLE;
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  if (style_ != lbStandard) SendMessageA(handle_, LB_SETITEMHEIGHT, 0, itemHeight_);
  items_->Upload();
  SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TCustomListBox::DestroyWnd() {
  itemIndex_ = ItemIndex();
  TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  if (multiSelect_) return static_cast<int>(SendMessageA(handle_, LB_GETCARETINDEX, 0, 0));
  return static_cast<int>(SendMessageA(handle_, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  itemIndex_ = value;
  if (!HandleAllocated()) return;
  if (multiSelect_)
    SendMessageA(handle_, LB_SETCARETINDEX, static_cast<WPARAM>(value), FALSE);
  else
    SendMessageA(handle_, LB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  RecreateWnd();
}

bool TCustomListBox::Selected(int index) {
  if (!HandleAllocated()) return index == itemIndex_;
  return SendMessageA(handle_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
  if (multiSelect_)
    SendMessageA(Handle(), LB_SETSEL, value, index);
  else
    SetItemIndex(value ? index : -1);
}

int TCustomListBox::SelCount() {
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  return static_cast<int>(SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  items_->SetSorted(value);
  items_->Upload();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0 || value == itemHeight_) return;
  itemHeight_ = value;
  RecreateWnd();
}

int TCustomListBox::TopIndex() {
  return static_cast<int>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0));
}
void TCustomListBox::SetTopIndex(int value) {
  SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(value), 0);
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
  LRESULT r = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.X, pos.Y));
  int index = LOWORD(r);
  if (HIWORD(r)) return existing ? -1 : items_->Count();
  return index;
}

TRect TCustomListBox::ItemRect(int index) {
  RECT r{};
  SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return Rect(r.left, r.top, r.right, r.bottom);
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem_) {
    OnDrawItem_(this, index, rect, state);
    return;
  }
  DrawItemText(*canvas_, *items_, index, rect);
}

void TCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == LBN_SELCHANGE) {
        itemIndex_ = ItemIndex();
        Changed();
        Click();
      } else if (HIWORD(m.WParam) == LBN_DBLCLK) {
        DblClick();
      }
      return;
    case CN_DRAWITEM:
      DrawOwnerDrawnItem(m, canvas_.get(), font_.get(), color_,
                         [this](int index, const TRect& rect, TOwnerDrawState state) {
                           DrawItem(index, rect, state);
                         });
      return;
    case CN_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = static_cast<UINT>(itemHeight_);
      m.Result = 1;
      return;
  }
  TWinControl::WndProc(m);
}

// ---- TCustomComboBox ----------------------------------------------------------------------

K_PUBLISH(TCustomComboBox) {
  p.Prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  p.Prop("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex);
  p.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle,
         {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
  p.Prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount);
  p.Prop("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted);
  p.Prop("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength);
  p.Prop("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TWindowItems>(
          this,
          TWindowItems::TMessages{CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                  CB_SETITEMDATA, CB_GETCURSEL, CB_SETCURSEL})),
      canvas_(std::make_unique<TControlCanvas>(this)) {
  width_ = 145;
  height_ = 21;
  SetTabStop(true);
  color_ = clWindow;
  brush_->SetColor(color_);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, "COMBOBOX");
  p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
  switch (style_) {
    case csDropDown:
      p.Style |= CBS_DROPDOWN;
      break;
    case csSimple:
      p.Style |= CBS_SIMPLE;
      break;
    case csDropDownList:
      p.Style |= CBS_DROPDOWNLIST;
      break;
    case csOwnerDrawFixed:
      p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED;
      break;
    case csOwnerDrawVariable:
      p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE;
      break;
  }
  // The height of a combo box window includes its drop-down list.
  p.Height = std::max(height_, 21) + std::max(dropDownCount_, 1) * 16;
}

void TCustomComboBox::CreateWnd() {
  std::string text = text_;
  TWinControl::CreateWnd();
  if (!HandleAllocated()) return;
  SendMessageA(handle_, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  items_->Upload();
  SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  if (itemIndex_ < 0 && !text.empty()) SetWindowTextA(handle_, text.c_str());
  RECT r;
  GetWindowRect(handle_, &r);
  height_ = r.bottom - r.top;
}

void TCustomComboBox::DestroyWnd() {
  itemIndex_ = ItemIndex();
  TWinControl::DestroyWnd();
}

int TCustomComboBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  itemIndex_ = value;
  if (HandleAllocated())
    SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
  else
    text_ = value >= 0 ? (*items_)[value] : std::string();
}

void TCustomComboBox::SetTextValue(const std::string& value) {
  itemIndex_ = items_->IndexOf(value);
  if (HandleAllocated()) {
    int found = static_cast<int>(SendMessageA(handle_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(value.c_str())));
    SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
  }
  TWinControl::SetTextValue(value);
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

void TCustomComboBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  items_->SetSorted(value);
  items_->Upload();
}

void TCustomComboBox::SetMaxLength(int value) {
  maxLength_ = value;
  if (HandleAllocated()) SendMessageA(handle_, CB_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  SendMessageA(Handle(), CB_SHOWDROPDOWN, value, 0);
}

void TCustomComboBox::Clear() {
  items_->Clear();
  SetText("");
  itemIndex_ = -1;
}

HWND TCustomComboBox::EditHandle() {
  if (!HandleAllocated()) return nullptr;
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  return GetComboBoxInfo(handle_, &info) ? info.hwndItem : nullptr;
}

void TCustomComboBox::Change() {
  Changed();
  if (OnChange_) OnChange_(this);
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem_) {
    OnDrawItem_(this, index, rect, state);
    return;
  }
  DrawItemText(*canvas_, *items_, index, rect);
}

void TCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case CBN_EDITCHANGE:
          itemIndex_ = -1;
          Change();
          break;
        case CBN_SELCHANGE:
          itemIndex_ = ItemIndex();
          // The edit shows the new item only after this notification: set it now so
          // handlers read the chosen text.
          if (itemIndex_ >= 0) SetWindowTextA(handle_, (*items_)[itemIndex_].c_str());
          Click();
          if (OnSelect_) OnSelect_(this);
          Change();
          break;
        case CBN_DROPDOWN:
          if (OnDropDown_) OnDropDown_(this);
          break;
        case CBN_CLOSEUP:
          if (OnCloseUp_) OnCloseUp_(this);
          break;
      }
      return;
    case CN_DRAWITEM:
      DrawOwnerDrawnItem(m, canvas_.get(), font_.get(), color_,
                         [this](int index, const TRect& rect, TOwnerDrawState state) {
                           DrawItem(index, rect, state);
                         });
      return;
    case CN_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->itemHeight = static_cast<UINT>(itemHeight_);
      m.Result = 1;
      return;
  }
  TWinControl::WndProc(m);
}

// ---- TCustomGroupBox ----------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  width_ = 185;
  height_ = 105;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  // A frame with a caption on its parent's background: it takes the parent's colour.
  SetParentColor(true);
}

TRect TCustomGroupBox::ClientRect() {
  TRect r = TCustomControl::ClientRect();
  Canvas()->Font()->Assign(font_.get());
  int h = 13;
  if (HandleAllocated()) {
    TWindowDC dc(handle_);
    TSelectObject font(dc.Get(), FontHandle(font_.get()));
    SIZE s{};
    GetTextExtentPoint32A(dc.Get(), "0", 1, &s);
    h = s.cy;
  }
  r.Top += h;
  r.Left += 2;
  r.Right -= 2;
  r.Bottom -= 2;
  return r;
}

void TCustomGroupBox::Paint() {
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  TSelectObject font(dc, FontHandle(font_.get()));
  SIZE s{};
  GetTextExtentPoint32A(dc, "0", 1, &s);
  RECT r;
  GetClientRect(handle_, &r);
  r.top += s.cy / 2;
  DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
  std::string caption = text_;
  if (HandleAllocated()) caption = Text();
  if (!caption.empty()) {
    RECT tr{8, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), -1, &tr, DT_CALCRECT | DT_SINGLELINE);
    SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(color_)));
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Enabled() ? font_->Color() : clGrayText)));
    DrawTextA(dc, caption.c_str(), -1, &tr, DT_SINGLELINE);
  }
}

void TCustomGroupBox::WndProc(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) {
    Invalidate();
    Realign();
  }
  TCustomControl::WndProc(m);
}

// ---- TCustomLabel -------------------------------------------------------------------------

K_PUBLISH(TCustomLabel) {
  p.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
         {"taLeftJustify", "taRightJustify", "taCenter"});
  p.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout,
         {"tlTop", "tlCenter", "tlBottom"});
  p.Prop("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize);
  p.Prop("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap);
  p.Prop("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent);
  p.Prop("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar);
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque};
  width_ = 65;
  height_ = 17;
  color_ = clBtnFace;
  SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  if (value)
    controlStyle_ -= csOpaque;
  else
    controlStyle_ += csOpaque;
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  std::string text = GetText();
  if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  HDC dc = Canvas()->Handle();
  TSelectObject font(dc, FontHandle(font_.get()));
  SetBkMode(dc, TRANSPARENT);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (!Enabled() && !(flags & DT_CALCRECT)) {
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
  } else {
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font_->Color())));
  }
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  rect = Rect(r.left, r.top, r.right, r.bottom);
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  if (!Transparent()) {
    c->Brush()->SetColor(color_);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
  }
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
  flags |= alignment_ == taRightJustify ? DT_RIGHT : alignment_ == taCenter ? DT_CENTER : DT_LEFT;
  TRect r = ClientRect();
  if (layout_ != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    int dy = r.Height() - calc.Height();
    r.Top += layout_ == tlBottom ? dy : dy / 2;
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading() || !parent_) return;
  HDC dc = GetDC(nullptr);
  TSelectObject font(dc, FontHandle(font_.get()));
  std::string text = GetText();
  if (text.empty()) text = " ";
  RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) |
                (showAccelChar_ ? 0 : DT_NOPREFIX));
  ReleaseDC(nullptr, dc);
  int x = left_;
  if (alignment_ == taRightJustify) x = left_ + width_ - r.right;
  SetBounds(x, top_, r.right, r.bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      return;
  }
  TGraphicControl::WndProc(m);
}
