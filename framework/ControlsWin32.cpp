#include "framework/ControlsWin32.h"

#include <algorithm>
#include <map>

#include "framework/FormsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"
#include "framework/WindowSubclassWin32.h"

static_assert(sizeof(TRect) == sizeof(RECT));

// ---- TWndMethod -------------------------------------------------------------------------

TWndMethod::TWndMethod(TFunc func) {
  if (func) {
    node_ = std::make_shared<TNode>();
    node_->Func = std::move(func);
  }
}

void TWndMethod::operator()(TMessage& message) const {
  TNode* n = node_.get();
  while (n && n->Unlinked) n = n->Below.get();
  if (n && n->Func) n->Func(message);
}

// ---- helpers ----------------------------------------------------------------------------

TShiftState KeysToShiftState(WORD keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s += ssShift;
  if (keys & MK_CONTROL) s += ssCtrl;
  if (keys & MK_LBUTTON) s += ssLeft;
  if (keys & MK_RBUTTON) s += ssRight;
  if (keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (keyData & 0x20000000) s += ssAlt;
  return s;
}

TOwnerDrawState OwnerDrawStateFromItemState(UINT s) {
  TOwnerDrawState st;
  if (s & ODS_SELECTED) st += odSelected;
  if (s & ODS_GRAYED) st += odGrayed;
  if (s & ODS_DISABLED) st += odDisabled;
  if (s & ODS_CHECKED) st += odChecked;
  if (s & ODS_FOCUS) st += odFocused;
  if (s & ODS_DEFAULT) st += odDefault;
  if (s & ODS_HOTLIGHT) st += odHotLight;
  if (s & ODS_INACTIVE) st += odInactive;
  if (s & ODS_NOACCEL) st += odNoAccel;
  if (s & ODS_NOFOCUSRECT) st += odNoFocusRect;
  if (s & ODS_COMBOBOXEDIT) st += odComboBoxEdit;
  return st;
}

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* c = dynamic_cast<TSizeConstraints*>(source)) {
    MinWidth = c->MinWidth;
    MinHeight = c->MinHeight;
    MaxWidth = c->MaxWidth;
    MaxHeight = c->MaxHeight;
    return;
  }
  TPersistent::Assign(source);
}

namespace {

const char* const kControlProp = "KfwControl";
thread_local TWinControl* creatingControl = nullptr;
// Original window procedure of each framework window class (superclassed system classes
// keep calling theirs; our own classes call DefWindowProcA).
std::map<std::string, WNDPROC>& ClassProcs() {
  static std::map<std::string, WNDPROC> procs;
  return procs;
}

TControl* mouseControl = nullptr;    // the control the mouse is over
TControl* captureControl = nullptr;  // a graphic control that holds the mouse

void ForgetControl(TControl* c) {
  if (mouseControl == c) mouseControl = nullptr;
  if (captureControl == c) captureControl = nullptr;
}

TPoint PointFromLParam(LPARAM lp) {
  return {static_cast<int16_t>(LOWORD(lp)), static_cast<int16_t>(HIWORD(lp))};
}
LPARAM LParamFromPoint(TPoint p) {
  return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(p.X)),
                    static_cast<WORD>(static_cast<int16_t>(p.Y)));
}

// Sends CM_MOUSELEAVE / CM_MOUSEENTER when the control under the mouse changes.
void SetMouseControl(TControl* c) {
  if (c == mouseControl) return;
  TControl* old = mouseControl;
  mouseControl = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (c && c == mouseControl) c->Perform(CM_MOUSEENTER, 0, 0);
  if (Application) Application->HintMouseMessage(c);
}

}  // namespace

TControl* GetCaptureControl() { return captureControl; }

void SetCaptureControl(TControl* control) {
  captureControl = nullptr;
  if (!control) {
    ReleaseCapture();
    return;
  }
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    SetCapture(w->Handle());
    return;
  }
  if (control->Parent()) {
    SetCapture(control->Parent()->Handle());
    captureControl = control;
  }
}

// Every window of a framework control runs through here: the message goes to the
// control's WindowProc chain; no exception leaves the procedure.
LRESULT CALLBACK KfwWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* control = static_cast<TWinControl*>(GetPropA(wnd, kControlProp));
  if (!control) {
    control = creatingControl;
    if (!control) return DefWindowProcA(wnd, msg, wp, lp);
    creatingControl = nullptr;
    control->AttachHandle(wnd);
  }
  TMessage m{msg, wp, lp, 0};
  try {
    control->WindowProc()(m);
  } catch (...) {
    if (Application) Application->HandleException(control);
  }
  if (msg == WM_NCDESTROY) control->DetachHandle();
  return m.Result;
}

TWinControl* TWinControl::FindControl(HWND wnd) {
  if (!wnd) return nullptr;
  DWORD pid = 0;
  if (GetWindowThreadProcessId(wnd, &pid) == 0 || pid != GetCurrentProcessId()) return nullptr;
  return static_cast<TWinControl*>(GetPropA(wnd, kControlProp));
}

// ---- TControlCanvas -----------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::FreeHandle() {
  if (ownDC_) {
    HDC dc = ownDC_;
    ownDC_ = nullptr;
    SetHandle(nullptr);
    ReleaseDC(window_, dc);
    window_ = nullptr;
  }
}

void TControlCanvas::CreateHandle() {
  if (!control_) return;
  HWND wnd = nullptr;
  TPoint origin{};
  if (auto* w = dynamic_cast<TWinControl*>(control_)) {
    wnd = w->Handle();
  } else if (control_->Parent()) {
    wnd = control_->Parent()->Handle();
    origin = {control_->Left(), control_->Top()};
  }
  if (!wnd) return;
  HDC dc = GetDCEx(wnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) return;
  if (origin.X || origin.Y) {
    SetViewportOrgEx(dc, origin.X, origin.Y, nullptr);
    IntersectClipRect(dc, 0, 0, control_->Width(), control_->Height());
  }
  window_ = wnd;
  ownDC_ = dc;
  SetHandle(dc);
}

// ---- TControl ---------------------------------------------------------------------------

K_PUBLISH(TControl) {
  p.Prop("Left", &TControl::Left, &TControl::SetLeft);
  p.Prop("Top", &TControl::Top, &TControl::SetTop);
  p.Prop("Width", &TControl::Width, &TControl::SetWidth);
  p.Prop("Height", &TControl::Height, &TControl::SetHeight);
  p.Prop("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth);
  p.Prop("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight);
  p.Enum("Align", &TControl::Align, &TControl::SetAlign,
         {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
  p.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors,
        {"akLeft", "akTop", "akRight", "akBottom"});
  p.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
  p.Prop("Text", &TControl::Text, &TControl::SetText);
  p.Prop("Hint", &TControl::Hint, &TControl::SetHint);
  p.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  p.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  p.Prop("Visible", &TControl::Visible, &TControl::SetVisible);
  p.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  p.Prop("Color", &TControl::Color, &TControl::SetColor);
  p.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  p.Prop("Font", &TControl::Font, &TControl::SetFont);
  p.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
  p.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor);
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = TNotifyEvent([this](TObject*) { FontChanged(); });
  auto base = std::make_shared<TWndMethod::TNode>();
  base->Func = [this](TMessage& m) { WndProc(m); };
  base->Installed = true;
  chain_.push_back(std::move(base));
}

TControl::~TControl() {
  ForgetControl(this);
  if (parent_) parent_->RemoveControl(this);
  // Saved methods that still point at this control's chain must not call into it.
  for (auto& n : chain_) n->Func = nullptr;
}

TWndMethod TControl::WindowProc() { return TWndMethod(chain_.back()); }

void TControl::SetWindowProc(TWndMethod value) {
  if (!value.node_) return;
  // A saved method: find what it stands for today.
  std::shared_ptr<TWndMethod::TNode> target = value.node_;
  while (target && target->Unlinked) target = target->Below;
  if (!target) return;
  auto it = std::find(chain_.begin(), chain_.end(), target);
  if (it != chain_.end()) {
    // Putting back a method of the chain removes the hook installed right on top of it.
    if (it + 1 == chain_.end()) return;
    auto above = *(it + 1);
    above->Unlinked = true;
    chain_.erase(it + 1);
    return;
  }
  if (value.node_->Installed) {
    // A method of another control's chain: wrap it so this chain owns its own node.
    auto wrapped = std::make_shared<TWndMethod::TNode>();
    TWndMethod outer = value;
    wrapped->Func = [outer](TMessage& m) { outer(m); };
    target = wrapped;
  }
  target->Below = chain_.back();
  target->Installed = true;
  chain_.push_back(target);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc()(m);
  return m.Result;
}

void TControl::SetParent(TWinControl* value) {
  if (value == parent_) return;
  if (value == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (value) value->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (constraints_.MinWidth > 0 && width < constraints_.MinWidth) width = constraints_.MinWidth;
  if (constraints_.MaxWidth > 0 && width > constraints_.MaxWidth) width = constraints_.MaxWidth;
  if (constraints_.MinHeight > 0 && height < constraints_.MinHeight)
    height = constraints_.MinHeight;
  if (constraints_.MaxHeight > 0 && height > constraints_.MaxHeight)
    height = constraints_.MaxHeight;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  // The area a graphic control leaves is the parent's again and is erased, even when the
  // control is opaque: an auto-sized label whose caption got shorter leaves no tail behind.
  // A window's old area is the system's to repaint.
  if (dynamic_cast<TWinControl*>(this) != nullptr)
    Invalidate();
  else
    InvalidateParentArea(true);
  bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  UpdateAnchorRules();
  Invalidate();
  if (resized) Resize();
  RequestAlign();
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(int width, int height) {
  TRect r = ClientRect();
  SetBounds(left_, top_, width_ - r.Width() + width, height_ - r.Height() + height);
}

TPoint TControl::ClientOrigin() {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  anchors_ = value == alNone ? TAnchors{akLeft, akTop} : anchors_;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || aligningChild_) return;
  TRect r = parent_->ClientRect();
  anchorParentSize_ = {r.Width(), r.Height()};
  anchorRules_ = {r.Width() - (left_ + width_), r.Height() - (top_ + height_)};
}

void TControl::RequestAlign() {
  if (parent_) parent_->AlignControl(this);
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  VisibleChanging();
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
  RequestAlign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
}

std::string TControl::GetText() { return text_; }
void TControl::SetTextValue(const std::string& value) { text_ = value; }

void TControl::SetText(const std::string& value) {
  if (GetText() == value) return;
  SetTextValue(value);
  Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor value) {
  if (value == color_) {
    parentColor_ = false;
    return;
  }
  color_ = value;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged() {
  if (!syncingFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED);
}

bool TControl::HintsEnabled() const {
  if (parentShowHint_ && parent_) return parent_->HintsEnabled();
  return showHint_;
}

void TControl::SetPopupMenu(TPopupMenu* value) {
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TControl::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove && c == popupMenu_) popupMenu_ = nullptr;
}

void TControl::Invalidate() { InvalidateParentArea(!controlStyle_.Contains(csOpaque)); }

void TControl::InvalidateParentArea(bool erase) {
  if (!parent_ || !parent_->HandleAllocated() || !visible_) return;
  RECT r{left_, top_, left_ + width_, top_ + height_};
  InvalidateRect(parent_->Handle(), &r, erase ? TRUE : FALSE);
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  list.push_back(this);
  Invalidate();
}

void TWinControl::SetChildOrder(TControl* child, int order) {
  auto it = std::find(controls_.begin(), controls_.end(), child);
  if (it == controls_.end()) return;
  controls_.erase(it);
  order = std::clamp(order, 0, static_cast<int>(controls_.size()));
  controls_.insert(controls_.begin() + order, child);
  child->Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::find(list.begin(), list.end(), this));
  list.insert(list.begin(), this);
  Invalidate();
}

TCustomForm* TControl::ParentForm() {
  TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(c);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_) {
    if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
    if (parentFont_) Perform(CM_PARENTFONTCHANGED);
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TControl::Click() {
  if (OnClick_) OnClick_(this);
}

void TControl::DblClick() {
  if (OnDblClick_) OnDblClick_(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown_) OnMouseDown_(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp_) OnMouseUp_(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove_) OnMouseMove_(this, shift, x, y);
}

void TControl::Resize() {
  if (OnResize_) OnResize_(this);
}

// Mouse messages of a control in its own client coordinates.
void TControl::MouseMessage(TMessage& m) {
  TPoint p = PointFromLParam(m.LParam);
  TShiftState shift = KeysToShiftState(static_cast<WORD>(m.WParam));
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, p.X, p.Y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (controlStyle_.Contains(csCaptureMouse) && !dynamic_cast<TWinControl*>(this))
        SetCaptureControl(this);
      if (controlStyle_.Contains(csClickEvents)) controlState_ += csClicked;
      controlState_ += csLButtonDown;
      if (m.Msg == WM_LBUTTONDBLCLK) {
        shift += ssDouble;
        if (controlStyle_.Contains(csDoubleClicks)) DblClick();
      }
      MouseDown(mbLeft, shift, p.X, p.Y);
      break;
    case WM_LBUTTONUP: {
      bool clicked = controlState_.Contains(csClicked);
      controlState_ -= csClicked;
      controlState_ -= csLButtonDown;
      if (GetCaptureControl() == this) SetCaptureControl(nullptr);
      if (clicked && p.X >= 0 && p.Y >= 0 && p.X < width_ && p.Y < height_) Click();
      MouseUp(mbLeft, shift, p.X, p.Y);
      break;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, shift, p.X, p.Y);
      break;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, p.X, p.Y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift, p.X, p.Y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, p.X, p.Y);
      break;
  }
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (!dynamic_cast<TWinControl*>(this)) {
        // A graphic control: the parent routed the message here; nothing else handles it.
        MouseMessage(m);
        return;
      }
      break;
    case CM_MOUSEENTER:
      if (parent_) parent_->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
      if (m.LParam == 0) {
        mouseInside_ = true;
        if (OnMouseEnter_) OnMouseEnter_(this);
      }
      return;
    case CM_MOUSELEAVE:
      if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
      if (m.LParam == 0) {
        mouseInside_ = false;
        if (OnMouseLeave_) OnMouseLeave_(this);
      }
      return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_TEXTCHANGED:
      if (!dynamic_cast<TWinControl*>(this)) {
        if (m.Msg == CM_VISIBLECHANGED && parent_ && parent_->HandleAllocated()) {
          RECT r{left_, top_, left_ + width_, top_ + height_};
          InvalidateRect(parent_->Handle(), &r, TRUE);
        } else {
          Invalidate();
        }
      }
      return;
    case CM_FONTCHANGED:
      Invalidate();
      return;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_) {
        color_ = parent_->Color();
        Perform(CM_COLORCHANGED);
      }
      return;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_) {
        syncingFont_ = true;
        {
          TScopeExit cleanup([&] { syncingFont_ = false; });
          font_->Assign(parent_->Font());
        }
      }
      return;
    case WM_CONTEXTMENU:
      if (popupMenu_ && popupMenu_->AutoPopup()) {
        TPoint p = PointFromLParam(m.LParam);
        if (p.X == -1 && p.Y == -1) p = ClientToScreen({0, 0});
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(p.X, p.Y);
        m.Result = 1;
        return;
      }
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

// ---- TWinControl ------------------------------------------------------------------------

K_PUBLISH(TWinControl) {
  p.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  p.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  p.Prop("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(std::make_unique<TBrush>()) {
  brush_->SetColor(color_);
}

TWinControl::~TWinControl() {
  Destroying();
  // Leave the parent while this is still a TWinControl, so its tab list forgets it too.
  if (parent_) parent_->RemoveControl(this);
  // Children go next: they leave this control's lists while it is still whole.
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    if (c->Owner() == nullptr || c->ComponentState().Contains(csDestroying) || c->Owner() == this ||
        c->Owner()->ComponentState().Contains(csDestroying)) {
      delete c;
    } else {
      RemoveControl(c);
    }
  }
  if (handle_) {
    HWND wnd = handle_;
    // No more messages reach this half-destroyed object while the window goes.
    DetachHandle();
    if (defWndProc_) SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
    DestroyWindow(wnd);
  }
}

void TWinControl::AttachHandle(HWND wnd) {
  handle_ = wnd;
  SetPropA(wnd, kControlProp, this);
}

void TWinControl::DetachHandle() {
  if (!handle_) return;
  RemovePropA(handle_, kControlProp);
  handle_ = nullptr;
  showing_ = false;
}

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

void TWinControl::SetParentWindow(HWND value) {
  if (parent_ || value == parentWindow_) return;
  if (handle_ && value) {
    SetParent(nullptr);
    ::SetParent(handle_, value);
    parentWindow_ = value;
    UpdateShowing();
    return;
  }
  DestroyHandle();
  parentWindow_ = value;
  if (value) UpdateShowing();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = text_;
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (controlStyle_.Contains(csAcceptsControls)) p.Style |= WS_CLIPCHILDREN;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = parent_ ? parent_->Handle() : parentWindow_;
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = DefWindowProcA;
  p.WindowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  p.WindowClass.hbrBackground = nullptr;
  p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& p, const char* systemClass) {
  WNDCLASSA wc{};
  if (GetClassInfoA(nullptr, systemClass, &wc) ||
      GetClassInfoA(GetModuleHandleA(nullptr), systemClass, &wc)) {
    p.WindowClass = wc;
    p.WindowClass.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  }
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  creatingControl = this;
  HWND wnd =
      CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y,
                      p.Width, p.Height, p.WndParent, nullptr, GetModuleHandleA(nullptr), p.Param);
  creatingControl = nullptr;
  if (wnd && !handle_) AttachHandle(wnd);
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  // Asking for the parent's window made it, and its children with it: this one too.
  if (handle_) return;
  if ((p.Style & WS_CHILD) && !p.WndParent) return;  // a child window needs its parent
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA existing{};
  auto& procs = ClassProcs();
  if (!GetClassInfoA(inst, p.WinClassName.c_str(), &existing) ||
      existing.lpfnWndProc != KfwWndProc) {
    WNDCLASSA wc = p.WindowClass;
    WNDPROC original = wc.lpfnWndProc ? wc.lpfnWndProc : DefWindowProcA;
    wc.lpfnWndProc = KfwWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = p.WinClassName.c_str();
    if (!RegisterClassA(&wc))
      throw EOSError("Window class could not be registered: " + p.WinClassName);
    procs[p.WinClassName] = original;
  }
  defWndProc_ = procs[p.WinClassName];
  controlState_ += csCreating;
  {
    TScopeExit cleanup([&] { controlState_ -= csCreating; });
    CreateWindowHandle(p);
  }
  if (!handle_) throw EOSError("Error creating window: " + p.WinClassName);
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(font_.get())), 0);
  TWindowEvents::Current().NotifyHandleCreated(handle_, this);
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  CreateWnd();
  if (!handle_) return;
  // Windowed children follow in tab order, so the window z-order is the tab order.
  for (TWinControl* c : tabList_)
    if (c->Visible()) c->HandleNeeded();
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  int len = GetWindowTextLengthA(handle_);
  std::string t(static_cast<size_t>(len) + 1, '\0');
  GetWindowTextA(handle_, t.data(), len + 1);
  t.resize(static_cast<size_t>(len));
  text_ = t;
  HWND wnd = handle_;
  DestroyWindow(wnd);
  if (handle_ == wnd) DetachHandle();
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  controlState_ += csDestroyingHandle;
  for (TWinControl* c : tabList_) c->DestroyHandle();
  DestroyWnd();
  controlState_ -= csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
  if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::InsertControl(TControl* c) {
  c->parent_ = this;
  controls_.push_back(c);
  if (auto* w = dynamic_cast<TWinControl*>(c)) tabList_.push_back(w);
  if (!c->IsLoading()) {
    if (c->parentColor_) c->Perform(CM_PARENTCOLORCHANGED);
    if (c->parentFont_) c->Perform(CM_PARENTFONTCHANGED);
  }
  c->UpdateAnchorRules();
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (w->handle_) {
      ::SetParent(w->handle_, Handle());
    } else if (showing_) {
      w->UpdateShowing();
    }
    if (showing_) w->UpdateShowing();
  } else {
    c->Invalidate();
  }
  AlignControl(c);
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(c), 1);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 1);
}

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(controls_.begin(), controls_.end(), c);
  if (it == controls_.end()) return;
  if (!ComponentState().Contains(csDestroying))
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 0);
  c->Invalidate();
  controls_.erase(it);
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    if (TCustomForm* f = ParentForm()) f->ControlRemoved(w);
    if (w->handle_ && !w->IsDestroying()) w->DestroyHandle();
  }
  ForgetControl(c);
  c->parent_ = nullptr;
  if (!ComponentState().Contains(csDestroying)) {
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(c), 0);
    Realign();
  }
}

bool TWinControl::ContainsControl(TControl* control) const {
  for (TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
    if (pos.X >= c->Left() && pos.Y >= c->Top() && pos.X < c->Left() + c->Width() &&
        pos.Y < c->Top() + c->Height())
      return c;
  }
  return nullptr;
}

TPoint TWinControl::ClientOrigin() {
  if (!handle_) return TControl::ClientOrigin();
  POINT p{0, 0};
  ::ClientToScreen(handle_, &p);
  return {p.x, p.y};
}

TRect TWinControl::ClientRect() {
  if (handle_) {
    RECT r;
    GetClientRect(handle_, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
  }
  return TControl::ClientRect();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  bool resized = width != width_ || height != height_;
  TControl::SetBounds(left, top, width, height);
  if (handle_) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!parent_ && GetWindowPlacement(handle_, &wp) && wp.showCmd != SW_SHOWNORMAL &&
        IsIconic(handle_)) {
      wp.rcNormalPosition = RECT{left_, top_, left_ + width_, top_ + height_};
      SetWindowPlacement(handle_, &wp);
    } else {
      SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (resized) Realign();
}

void TWinControl::SetClientSize(int width, int height) {
  if (!handle_) {
    TControl::SetClientSize(width, height);
    return;
  }
  TRect r = ClientRect();
  SetBounds(left_, top_, width_ - r.Width() + width, height_ - r.Height() + height);
}

void TWinControl::EnableAlign() {
  if (--alignDisabled_ == 0 && controlState_.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
  if (alignDisabled_ > 0 || IsLoading() || aligning_ || IsDestroying()) {
    controlState_ += csAlignmentNeeded;
    return;
  }
  (void)control;
  controlState_ -= csAlignmentNeeded;
  TRect r = ClientRect();
  aligning_ = true;
  {
    TScopeExit cleanup([&] { aligning_ = false; });
    AlignControls(control, r);
  }
}

void TWinControl::DoAlign(TAlign align, TRect& r) {
  std::vector<TControl*> list;
  for (TControl* c : controls_)
    if (c->Align() == align && c->Visible()) list.push_back(c);
  // Stacking order: the nearest to the edge first, as the positions say.
  std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
    switch (align) {
      case alTop:
        return a->Top() < b->Top();
      case alBottom:
        return a->Top() + a->Height() > b->Top() + b->Height();
      case alLeft:
        return a->Left() < b->Left();
      case alRight:
        return a->Left() + a->Width() > b->Left() + b->Width();
      default:
        return false;
    }
  });
  for (TControl* c : list) {
    int w = c->Width(), h = c->Height();
    TRect nb;
    switch (align) {
      case alTop:
        nb = Bounds(r.Left, r.Top, r.Width(), h);
        r.Top += h;
        break;
      case alBottom:
        nb = Bounds(r.Left, r.Bottom - h, r.Width(), h);
        r.Bottom -= h;
        break;
      case alLeft:
        nb = Bounds(r.Left, r.Top, w, r.Height());
        r.Left += w;
        break;
      case alRight:
        nb = Bounds(r.Right - w, r.Top, w, r.Height());
        r.Right -= w;
        break;
      case alClient:
        nb = r;
        break;
      default:
        continue;
    }
    if (nb.Right < nb.Left) nb.Right = nb.Left;
    if (nb.Bottom < nb.Top) nb.Bottom = nb.Top;
    c->aligningChild_ = true;
    c->SetBounds(nb.Left, nb.Top, nb.Width(), nb.Height());
    c->aligningChild_ = false;
  }
}

void TWinControl::AlignControls(TControl*, TRect& r) {
  // Anchored controls keep their distances to the right and bottom edges.
  TRect client = ClientRect();
  for (TControl* c : controls_) {
    if (c->Align() != alNone) continue;
    TAnchors a = c->Anchors();
    if (!a.Contains(akRight) && !a.Contains(akBottom)) continue;
    if (c->anchorParentSize_.cx == 0 && c->anchorParentSize_.cy == 0) continue;
    int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    if (a.Contains(akRight)) {
      int right = client.Width() - c->anchorRules_.X;
      if (a.Contains(akLeft))
        w = std::max(0, right - l);
      else
        l = right - w;
    }
    if (a.Contains(akBottom)) {
      int bottom = client.Height() - c->anchorRules_.Y;
      if (a.Contains(akTop))
        h = std::max(0, bottom - t);
      else
        t = bottom - h;
    }
    c->aligningChild_ = true;
    c->SetBounds(l, t, w, h);
    c->aligningChild_ = false;
  }
  DoAlign(alTop, r);
  DoAlign(alBottom, r);
  DoAlign(alLeft, r);
  DoAlign(alRight, r);
  DoAlign(alClient, r);
}

bool TWinControl::CanFocus() {
  for (TWinControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (TCustomForm* f = ParentForm(); f && f != this) {
    f->FocusControl(this);
    return;
  }
  ::SetFocus(Handle());
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  const auto& l = parent_->tabList_;
  return static_cast<int>(std::find(l.begin(), l.end(), this) - l.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!parent_) return;
  auto& l = parent_->tabList_;
  l.erase(std::find(l.begin(), l.end(), this));
  value = std::clamp(value, 0, static_cast<int>(l.size()));
  l.insert(l.begin() + value, this);
  // Window z-order follows the tab order so dialog navigation walks it.
  if (handle_) {
    HWND after = value == 0 ? HWND_TOP : nullptr;
    for (int i = value - 1; i >= 0 && !after; --i)
      if (l[static_cast<size_t>(i)]->handle_) after = l[static_cast<size_t>(i)]->handle_;
    if (!after) after = HWND_TOP;
    SetWindowPos(handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_) {
    LONG style = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
  Perform(CM_TABSTOPCHANGED);
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE); }

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  if (handle_)
    RedrawWindow(handle_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = controls_.begin();
  if (first) it = std::find(controls_.begin(), controls_.end(), first);
  for (; it != controls_.end(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    RECT cr{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (!RectVisible(dc, &cr)) continue;
    int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    {
      TScopeExit cleanup([&] { RestoreDC(dc, saved); });
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
  }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  HWND wnd = Handle();
  if (!wnd) return;
  controlState_ += csPaintCopy;
  int saved = SaveDC(dc);
  {
    TScopeExit cleanup([&] {
      RestoreDC(dc, saved);
      controlState_ -= csPaintCopy;
    });
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + x, org.y + y, nullptr);
    IntersectClipRect(dc, 0, 0, width_, height_);
    // The frame: a plain border or a sunken edge, then the client area inside it.
    RECT window, client;
    GetWindowRect(wnd, &window);
    GetClientRect(wnd, &client);
    POINT clientOrigin{0, 0};
    ::ClientToScreen(wnd, &clientOrigin);
    LONG style = GetWindowLongA(wnd, GWL_STYLE);
    LONG exStyle = GetWindowLongA(wnd, GWL_EXSTYLE);
    RECT frame{0, 0, window.right - window.left, window.bottom - window.top};
    if (exStyle & WS_EX_CLIENTEDGE)
      DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (style & WS_BORDER)
      DrawEdge(dc, &frame, BDR_OUTER, BF_RECT | BF_MONO | BF_ADJUST);
    int cx = clientOrigin.x - window.left, cy = clientOrigin.y - window.top;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + cx, org.y + cy, nullptr);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    for (TWinControl* c : tabList_)
      if (c->Visible()) c->PaintTo(dc, c->Left(), c->Top());
  }
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintHandler(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (dc) {
    PaintWindow(dc);
    PaintControls(dc, nullptr);
    return;
  }
  TPaintDC paint(handle_);
  PaintWindow(paint.Get());
  PaintControls(paint.Get(), nullptr);
}

std::string TWinControl::GetText() {
  if (!handle_) return text_;
  int len = GetWindowTextLengthA(handle_);
  std::string t(static_cast<size_t>(len) + 1, '\0');
  len = GetWindowTextA(handle_, t.data(), len + 1);
  t.resize(static_cast<size_t>(std::max(len, 0)));
  return t;
}

void TWinControl::SetTextValue(const std::string& value) {
  text_ = value;
  if (handle_) SetWindowTextA(handle_, value.c_str());
}

void TWinControl::UpdateShowing() {
  // Callers check the parent: a parent that becomes showing walks into its children.
  bool show = Visible();
  if (!parent_ && !parentWindow_ && !dynamic_cast<TCustomForm*>(this)) show = false;
  if (show) {
    if (!handle_) CreateHandle();
    if (!handle_) return;
    for (TWinControl* c : std::vector<TWinControl*>(tabList_)) c->UpdateShowing();
  }
  if (handle_ && showing_ != show) {
    showing_ = show;
    try {
      Perform(CM_SHOWINGCHANGED);
    } catch (...) {
      showing_ = !show;
      throw;
    }
  }
}

bool TWinControl::ReflectToChild(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      if (reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->CtlType == ODT_MENU) return false;
      child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
      break;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mi->CtlType == ODT_MENU) return false;
      child = GetDlgItem(handle_, static_cast<int>(mi->CtlID));
      break;
    }
    case WM_DELETEITEM:
      child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem;
      break;
    case WM_COMPAREITEM:
      child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem;
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORDLG:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    default:
      return false;
  }
  // A window a control made itself (the edit of a combo box) reflects to that control.
  for (HWND w = child; w && w != handle_; w = GetParent(w)) {
    if (TWinControl* c = FindControl(w); c && c != this) {
      m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
      return true;
    }
  }
  return false;
}

bool TWinControl::DoKeyMessage(TMessage& m, bool down) {
  WORD key = static_cast<WORD>(m.WParam);
  TShiftState shift = KeyDataToShiftState(m.LParam);
  // A form with KeyPreview sees the keys of its controls first.
  TCustomForm* form = ParentForm();
  if (form && form != this && form->KeyPreview()) {
    TWinControl* preview = form;
    if (down)
      preview->KeyDown(key, shift);
    else
      preview->KeyUp(key, shift);
    if (key == 0) return true;
  }
  if (down)
    KeyDown(key, shift);
  else
    KeyUp(key, shift);
  if (key == 0) return true;
  m.WParam = key;
  return false;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown_) OnKeyDown_(this, key, shift);
}
void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp_) OnKeyUp_(this, key, shift);
}
void TWinControl::KeyPress(char& key) {
  if (OnKeyPress_) OnKeyPress_(this, key);
}
void TWinControl::DoEnter() {
  if (OnEnter_) OnEnter_(this);
}
void TWinControl::DoExit() {
  if (OnExit_) OnExit_(this);
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      if (defWndProc_ == DefWindowProcA || !defWndProc_) {
        PaintHandler(m);
        m.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (defWndProc_ == DefWindowProcA || !defWndProc_) {
        if (!controlStyle_.Contains(csOpaque)) {
          RECT r;
          GetClientRect(handle_, &r);
          brush_->SetColor(color_);
          FillRect(reinterpret_cast<HDC>(m.WParam), &r, BrushHandle(brush_.get()));
        }
        m.Result = 1;
        return;
      }
      break;
    case WM_SETCURSOR:
      // The screen's cursor wins over every window of the program, also over the
      // system controls' own cursors: their default procedure asks the parent first.
      if (Screen && Screen->Cursor() != crDefault && LOWORD(m.LParam) == HTCLIENT) {
        ::SetCursor(Screen->Cursors(Screen->Cursor()));
        m.Result = 1;
        return;
      }
      if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
        POINT pt;
        GetCursorPos(&pt);
        ::ScreenToClient(handle_, &pt);
        TControl* c = ControlAtPos({pt.x, pt.y}, true);
        TCursor cur = (c && c->Cursor() != crDefault) ? c->Cursor() : Cursor();
        if (cur != crDefault && Screen) {
          ::SetCursor(Screen->Cursors(cur));
          m.Result = 1;
          return;
        }
      }
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
      TPoint p = PointFromLParam(m.LParam);
      TControl* target =
          captureControl && captureControl->Parent() == this ? captureControl : nullptr;
      if (!target && GetCapture() != handle_ && GraphicChildTakesMouse()) {
        TControl* c = ControlAtPos(p, false);
        if (c && !dynamic_cast<TWinControl*>(c)) target = c;
      }
      if (m.Msg == WM_MOUSEMOVE) {
        TControl* over = ControlAtPos(p, true);
        if (over && dynamic_cast<TWinControl*>(over)) over = nullptr;
        SetMouseControl(over ? over : this);
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        TrackMouseEvent(&tme);
      }
      if (target) {
        TMessage cm{m.Msg, m.WParam, LParamFromPoint({p.X - target->Left(), p.Y - target->Top()}),
                    0};
        target->WindowProc()(cm);
        m.Result = cm.Result;
        return;
      }
      DefaultHandler(m);
      MouseMessage(m);
      if (m.Msg == WM_LBUTTONUP && controlStyle_.Contains(csClickEvents)) {
      }
      return;
    }
    case WM_MOUSELEAVE: {
      POINT pt;
      GetCursorPos(&pt);
      HWND under = WindowFromPoint(pt);
      if (mouseControl && (mouseControl == this || mouseControl->Parent() == this) &&
          (!under || !IsChild(handle_, under)))
        SetMouseControl(nullptr);
      DefaultHandler(m);
      return;
    }
    case WM_CANCELMODE:
      if (captureControl && captureControl->Parent() == this) {
        captureControl->Perform(CM_CANCELMODE);
        captureControl = nullptr;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyMessage(m, true)) return;
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyMessage(m, false)) return;
      break;
    case WM_CHAR: {
      char ch = static_cast<char>(m.WParam);
      if (TCustomForm* form = ParentForm(); form && form != this && form->KeyPreview()) {
        static_cast<TWinControl*>(form)->KeyPress(ch);
        if (ch == 0) return;
      }
      KeyPress(ch);
      if (ch == 0) return;
      m.WParam = static_cast<unsigned char>(ch);
      break;
    }
    case WM_SETFOCUS:
      if (TCustomForm* f = ParentForm(); f && f != this) f->SetFocusedControl(this);
      break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      if (ReflectToChild(m)) return;
      break;
    case WM_SIZE:
      if (handle_ && !aligning_) {
        RECT r;
        GetWindowRect(handle_, &r);
        if (HWND p = GetParent(handle_); p && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
          MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
        if (!IsIconic(handle_)) {
          bool resized = r.right - r.left != width_ || r.bottom - r.top != height_;
          left_ = r.left;
          top_ = r.top;
          width_ = r.right - r.left;
          height_ = r.bottom - r.top;
          if (resized) {
            Realign();
            Resize();
          } else {
            Realign();
          }
        }
      }
      break;
    case WM_MOVE:
      if (handle_ && !IsIconic(handle_)) {
        RECT r;
        GetWindowRect(handle_, &r);
        if (HWND p = GetParent(handle_); p && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
          MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
        left_ = r.left;
        top_ = r.top;
      }
      break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font_->Color())));
      SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(color_)));
      brush_->SetColor(color_);
      m.Result = reinterpret_cast<LRESULT>(BrushHandle(brush_.get()));
      return;
    }
    case CM_SHOWINGCHANGED:
      if (handle_)
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      return;
    case CM_VISIBLECHANGED:
      if (parent_ ? parent_->Showing() || !Visible() : true) UpdateShowing();
      return;
    case CM_ENABLEDCHANGED:
      if (handle_) EnableWindow(handle_, Enabled());
      Invalidate();
      for (TControl* c : controls_)
        if (!dynamic_cast<TWinControl*>(c)) c->Invalidate();
      return;
    case CM_COLORCHANGED:
      brush_->SetColor(color_);
      Invalidate();
      for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
      return;
    case CM_FONTCHANGED:
      if (handle_)
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(font_.get())), TRUE);
      Invalidate();
      for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
      return;
    case CM_TEXTCHANGED:
      return;
    case CM_FOCUSCHANGED:
      for (TControl* c : std::vector<TControl*>(controls_))
        c->Perform(CM_FOCUSCHANGED, m.WParam, m.LParam);
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_RECREATEWND: {
      bool wasFocused = Focused();
      DestroyHandle();
      UpdateShowing();
      if (wasFocused && handle_) ::SetFocus(handle_);
      return;
    }
    case CM_CONTROLLISTCHANGE:
    case CM_CONTROLCHANGE:
      return;
    case CM_INVALIDATE:
      // Through a message, so that hooks and descendants see every invalidation.
      if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
      return;
    case WM_MOUSEWHEEL:
      m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
      if (m.Result == 0) DefaultHandler(m);
      return;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_) {
    m.Result = 0;
    return;
  }
  if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) {
    m.Result = 0;
    return;
  }
  m.Result = CallWindowProcA(defWndProc_ ? defWndProc_ : DefWindowProcA, handle_, m.Msg, m.WParam,
                             m.LParam);
}

// ---- TGraphicControl / TCustomControl ------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam) {
    TCanvasOnDC onDC(canvas_.get(), reinterpret_cast<HDC>(m.WParam));
    canvas_->Font()->Assign(font_.get());
    Paint();
    return;
  }
  TControl::WndProc(m);
}

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {
  controlStyle_ += csAcceptsControls;
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasOnDC onDC(canvas_.get(), dc);
  canvas_->Font()->Assign(font_.get());
  canvas_->Brush()->SetColor(color_);
  Paint();
}

// ---- THintWindow --------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  color_ = clInfoBk;
  brush_->SetColor(color_);
  SetParentFont(false);
  if (Screen) font_->Assign(Screen->HintFont());
  font_->SetColor(clInfoText);
  SetVisibleNoShow(false);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = Application ? Application->Handle() : nullptr;
  p.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
  TWindowDC dc(nullptr);
  TSelectObject font(dc.Get(), FontHandle(font_.get()));
  RECT r{0, 0, maxWidth, 0};
  DrawTextA(dc.Get(), hint.c_str(), static_cast<int>(hint.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // The border takes a pixel on each side, Paint keeps two more beside the text and one
  // above and below it: the whole line fits, descenders included.
  return Rect(0, 0, r.right + 6, r.bottom + 4);
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& hint) {
  SetCaption(hint);
  HandleNeeded();
  left_ = rect.Left;
  top_ = rect.Top;
  width_ = rect.Width();
  height_ = rect.Height();
  SetWindowPos(handle_, HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::Paint() {
  HDC dc = Canvas()->Handle();
  RECT r;
  GetClientRect(handle_, &r);
  brush_->SetColor(color_);
  FillRect(dc, &r, BrushHandle(brush_.get()));
  InflateRect(&r, -2, -1);
  TSelectObject font(dc, FontHandle(font_.get()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font_->Color())));
  std::string text = Text();
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
