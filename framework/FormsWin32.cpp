#include "framework/FormsWin32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "framework/DialogsWin32.h"
#include "framework/MenusWin32.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/TypInfo.h"

namespace {

uint32_t LiveSystemColor(int index) { return GetSysColor(index); }

void DoneApplication() {
  if (Application) Application->DestroyForms();
}

// Windows of this thread that a modal loop disables, and enables again afterwards.
struct TDisabledWindows {
  HWND except = nullptr;
  std::vector<HWND> windows;
};

BOOL CALLBACK DisableThreadWindow(HWND wnd, LPARAM lp) {
  auto* d = reinterpret_cast<TDisabledWindows*>(lp);
  if (wnd != d->except && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
    d->windows.push_back(wnd);
    EnableWindow(wnd, FALSE);
  }
  return TRUE;
}

}  // namespace

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

// ---- TCustomForm --------------------------------------------------------------------------

K_PUBLISH(TCustomForm) {
  p.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
         {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
  p.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
        {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
  p.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
         {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
  p.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
         {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
          "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
  p.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
         {"wsNormal", "wsMinimized", "wsMaximized"});
  p.Prop("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend);
  p.Prop("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue);
  p.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
  p.Prop("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  p.Prop("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
}

TCustomForm::TCustomForm(TComponent* owner)
    : TWinControl(owner),
      icon_(std::make_unique<TIcon>()),
      canvas_(std::make_unique<TControlCanvas>(this)) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  formState_ += fsCreating;
  SetVisibleNoShow(false);
  width_ = 320;
  height_ = 240;
  left_ = 0;
  top_ = 0;
  color_ = clBtnFace;
  brush_->SetColor(color_);
  SetParentFont(false);
  font_->SetName("MS Sans Serif");
  font_->SetHeight(-11);
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (Screen) {
    Screen->RemoveForm(this);
  }
  if (Application && Application->mainForm_ == this) Application->mainForm_ = nullptr;
  activeControl_ = nullptr;
  // Components call back into the form (parents, menus) while they go.
  DestroyComponents();
}

void TCustomForm::AfterConstruction() {
  formState_ -= fsCreating;
  if (OnCreate_) OnCreate_(this);
}

void TCustomForm::DoDestroy() {
  if (destroyFired_) return;
  destroyFired_ = true;
  if (OnDestroy_) {
    try {
      OnDestroy_(this);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
}

TRect TCustomForm::FrameForStyle() const {
  TCreateParams p;
  const_cast<TCustomForm*>(this)->CreateParams(p);
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, p.Style, menu_ != nullptr, p.ExStyle);
  return Rect(r.left, r.top, r.right, r.bottom);
}

TRect TCustomForm::ClientRect() {
  if (HandleAllocated()) return TWinControl::ClientRect();
  TRect f = FrameForStyle();
  return Rect(0, 0, std::max(0, width_ - f.Width()), std::max(0, height_ - f.Height()));
}

void TCustomForm::SetClientSize(int width, int height) {
  if (HandleAllocated()) {
    TWinControl::SetClientSize(width, height);
    return;
  }
  TRect f = FrameForStyle();
  SetBounds(left_, top_, width + f.Width(), height + f.Height());
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (value == borderIcons_) return;
  borderIcons_ = value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (value == formStyle_) return;
  formStyle_ = value;
  if (HandleAllocated())
    SetWindowPos(Handle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() const {
  if (handle_) {
    if (IsIconic(handle_)) return wsMinimized;
    if (IsZoomed(handle_)) return wsMaximized;
    return wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState value) {
  windowState_ = value;
  if (handle_ && Showing())
    ShowWindow(handle_, value == wsMinimized   ? SW_MINIMIZE
                        : value == wsMaximized ? SW_MAXIMIZE
                                               : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* value) {
  if (menu_ == value) return;
  if (menu_) menu_->RemoveFreeNotification(this);
  menu_ = value;
  if (menu_) menu_->FreeNotification(this);
  if (handle_) {
    ::SetMenu(handle_, menu_ ? menu_->Handle() : nullptr);
    if (menu_) menu_->SetWindowHandle(handle_);
  }
}

void TCustomForm::SetIcon(TIcon* value) {
  icon_->Assign(value);
  if (handle_ && !icon_->Empty())
    SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(IconHandle(icon_.get())));
}

void TCustomForm::SetAlphaBlend(bool value) {
  if (value == alphaBlend_) return;
  alphaBlend_ = value;
  UpdateLayered();
}

void TCustomForm::SetAlphaBlendValue(int value) {
  value = std::clamp(value, 0, 255);
  if (value == alphaBlendValue_) return;
  alphaBlendValue_ = value;
  UpdateLayered();
}

void TCustomForm::UpdateLayered() {
  if (!handle_) return;
  LONG ex = GetWindowLongA(handle_, GWL_EXSTYLE);
  if (alphaBlend_) {
    SetWindowLongA(handle_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(handle_, 0, static_cast<BYTE>(alphaBlendValue_), LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongA(handle_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    RedrawWindow(handle_, nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TCustomForm::Notification(TComponent* c, TOperation operation) {
  TWinControl::Notification(c, operation);
  if (operation == opRemove && c == menu_) {
    menu_ = nullptr;
    if (handle_) ::SetMenu(handle_, nullptr);
  }
  if (operation == opRemove && c == activeControl_) activeControl_ = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  // The program's icon resource, when it has one, stands in the title bar and the task bar;
  // the system takes the small size from the same resource.
  p.WindowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  p.ExStyle = 0;
  bool system = borderIcons_.Contains(biSystemMenu);
  switch (borderStyle_) {
    case bsNone:
      p.Style |= WS_POPUP;
      system = false;
      break;
    case bsSingle:
    case bsToolWindow:
      p.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION;
      p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) p.ExStyle |= WS_EX_TOOLWINDOW;
  if (system) {
    p.Style |= WS_SYSMENU;
    if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
      if (borderIcons_.Contains(biMinimize)) p.Style |= WS_MINIMIZEBOX;
      if (borderIcons_.Contains(biMaximize)) p.Style |= WS_MAXIMIZEBOX;
    }
    if (borderIcons_.Contains(biHelp) && !(p.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
      p.ExStyle |= WS_EX_CONTEXTHELP;
  }
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  p.X = left_;
  p.Y = top_;
  if (position_ == poDefault || position_ == poDefaultPosOnly)
    p.X = p.Y = static_cast<int>(CW_USEDEFAULT);
  // Secondary forms stay above the main form and leave the task bar to it.
  p.WndParent = nullptr;
  if (Application && Application->MainForm() && Application->MainForm() != this &&
      Application->MainForm()->HandleAllocated())
    p.WndParent = Application->MainForm()->Handle();
  p.WindowClass.style = CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (!handle_) return;
  if (menu_) {
    ::SetMenu(handle_, menu_->Handle());
    menu_->SetWindowHandle(handle_);
  }
  if (!icon_->Empty())
    SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(IconHandle(icon_.get())));
  UpdateLayered();
  // The window's real size may differ (default positions, menus): take it over.
  RECT r;
  GetWindowRect(handle_, &r);
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  Realign();
}

void TCustomForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  TRect area;
  TCustomForm* center = nullptr;
  switch (position_) {
    case poScreenCenter:
      area = Rect(0, 0, Screen->Width(), Screen->Height());
      break;
    case poDesktopCenter:
      area = Screen->DesktopRect();
      break;
    case poMainFormCenter:
      center = Application ? Application->MainForm() : nullptr;
      break;
    case poOwnerFormCenter:
      center = dynamic_cast<TCustomForm*>(Owner());
      break;
    default:
      return;
  }
  if (position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
    if (!center || center == this || !center->HandleAllocated()) {
      area = Rect(0, 0, Screen->Width(), Screen->Height());
    } else {
      area = center->BoundsRect();
    }
  }
  int x = area.Left + (area.Width() - width_) / 2;
  int y = area.Top + (area.Height() - height_) / 2;
  if (position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
    TRect work = Screen->MonitorWorkArea(handle_);
    x = std::max<int>(work.Left, std::min<int>(x, work.Right - width_));
    y = std::max<int>(work.Top, std::min<int>(y, work.Bottom - height_));
  }
  SetBounds(x, y, width_, height_);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (handle_) {
    if (IsIconic(handle_)) ShowWindow(handle_, SW_RESTORE);
    BringWindowToTop(handle_);
  }
}

void TCustomForm::DoShow() {
  if (OnShow_) OnShow_(this);
}

void TCustomForm::DoHide() {
  if (OnHide_) OnHide_(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose_) OnClose_(this, action);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery_) OnCloseQuery_(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (formState_.Contains(fsModal)) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (Application && Application->MainForm() == this) action = caFree;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    default:
      break;
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    modalResult_ = mrNone;
  else if (action == caFree)
    Release();
}

void TCustomForm::Release() {
  if (handle_)
    PostMessageA(handle_, CM_RELEASE, 0, 0);
  else if (Application && Application->Handle())
    PostMessageA(Application->Handle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || formState_.Contains(fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND activeBefore = GetActiveWindow();
  formState_ += fsModal;
  Application->ModalStarted();
  TDisabledWindows disabled;
  TModalResult result = mrNone;
  try {
    HandleNeeded();
    disabled.except = handle_;
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow,
                      reinterpret_cast<LPARAM>(&disabled));
    Show();
    SetActiveWindow(handle_);
    modalResult_ = mrNone;
    do {
      Application->HandleMessage();
      if (Application->Terminated()) {
        modalResult_ = mrCancel;
      } else if (modalResult_ != mrNone) {
        CloseModal();
      }
    } while (modalResult_ == mrNone);
    result = modalResult_;
  } catch (...) {
    for (HWND w : disabled.windows) EnableWindow(w, TRUE);
    formState_ -= fsModal;
    Application->ModalFinished();
    throw;
  }
  // Enable the others before hiding, so Windows activates the previous window.
  for (HWND w : disabled.windows) EnableWindow(w, TRUE);
  if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
  Hide();
  formState_ -= fsModal;
  Application->ModalFinished();
  return result;
}

void TCustomForm::FocusControl(TWinControl* control) {
  if (!control) {
    activeControl_ = nullptr;
    return;
  }
  if (control->ParentForm() != this) return;
  if (handle_ && Showing() && control->CanFocus()) {
    ::SetFocus(control->Handle());
  } else {
    activeControl_ = control;
  }
}

void TCustomForm::SetFocus() {
  if (activeControl_ && handle_ && Showing() && activeControl_->CanFocus()) {
    ::SetFocus(activeControl_->Handle());
    return;
  }
  ::SetFocus(Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == activeControl_) return true;
  TWinControl* old = activeControl_;
  activeControl_ = control;
  if (old) old->Perform(CM_EXIT);
  if (control && control == activeControl_) control->Perform(CM_ENTER);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  return true;
}

void TCustomForm::ControlRemoved(TWinControl* control) {
  if (activeControl_ && control->ContainsControl(activeControl_)) activeControl_ = nullptr;
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
  return menu_ && menu_->IsShortCut(key, shift);
}

void TCustomForm::Activate() {
  if (OnActivate_) OnActivate_(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate_) OnDeactivate_(this);
}

void TCustomForm::PaintWindow(HDC dc) {
  TCanvasOnDC onDC(canvas_.get(), dc);
  canvas_->Font()->Assign(font_.get());
  canvas_->Brush()->SetColor(color_);
  if (OnPaint_) OnPaint_(this);
}

void TCustomForm::WndProc(TMessage& m) {
  if (m.Msg == TFindDialog::FindMessage() && TFindDialog::HandleFindMessage(m.LParam)) return;
  switch (m.Msg) {
    case CM_SHOWINGCHANGED:
      if (Showing()) {
        DoShow();
        formState_ += fsShowing;
        ApplyPosition();
        int cmd = SW_SHOWNORMAL;
        if (windowState_ == wsMinimized)
          cmd = SW_SHOWMINIMIZED;
        else if (windowState_ == wsMaximized)
          cmd = SW_SHOWMAXIMIZED;
        ShowWindow(handle_, cmd);
        formState_ -= fsShowing;
        formState_ += fsVisible;
        if (activeControl_ && activeControl_->CanFocus() && GetActiveWindow() == handle_)
          ::SetFocus(activeControl_->Handle());
      } else {
        DoHide();
        formState_ -= fsVisible;
        ShowWindow(handle_, SW_HIDE);
      }
      return;
    case CM_VISIBLECHANGED:
      UpdateShowing();
      return;
    case CM_TEXTCHANGED:
      return;
    case CM_RELEASE:
      DoDestroy();
      delete this;
      return;
    case WM_SYSCOMMAND:
      if (Application && Application->MainForm() == this) {
        UINT cmd = static_cast<UINT>(m.WParam) & 0xFFF0;
        if (cmd == SC_MINIMIZE || cmd == SC_RESTORE) {
          TMessage am = m;
          if (Application->CallHooks(am)) {
            m.Result = am.Result;
            return;
          }
          TWinControl::WndProc(m);
          if (cmd == SC_MINIMIZE && Application->OnMinimize())
            Application->OnMinimize()(Application);
          if (cmd == SC_RESTORE && Application->OnRestore()) Application->OnRestore()(Application);
          return;
        }
      }
      break;
    case WM_CLOSE:
      Close();
      m.Result = 0;
      return;
    case WM_ACTIVATE:
      TWinControl::WndProc(m);
      if (LOWORD(m.WParam) != WA_INACTIVE) {
        active_ = true;
        if (Screen) Screen->SetActiveForm(this);
        Perform(CM_ACTIVATE);
        Activate();
        if (activeControl_ && activeControl_->CanFocus() && !HIWORD(m.WParam))
          ::SetFocus(activeControl_->Handle());
      } else {
        active_ = false;
        Perform(CM_DEACTIVATE);
        Deactivate();
      }
      return;
    case WM_SETFOCUS:
      if (activeControl_ && activeControl_ != this && activeControl_->CanFocus()) {
        ::SetFocus(activeControl_->Handle());
        return;
      }
      break;
    case WM_COMMAND:
      if (m.LParam == 0 && HIWORD(m.WParam) <= 1 && TMenuItem::DispatchCommand(LOWORD(m.WParam))) {
        m.Result = 0;
        return;
      }
      if (m.LParam == 0 && (LOWORD(m.WParam) == IDCANCEL || LOWORD(m.WParam) == IDOK)) {
        // Enter and Escape from dialog navigation: the default or cancel button answers.
        Perform(CM_DIALOGKEY, LOWORD(m.WParam) == IDOK ? VK_RETURN : VK_ESCAPE, 0);
        return;
      }
      break;
    case WM_INITMENUPOPUP:
      TMenuItem::DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
      break;
    case WM_MEASUREITEM:
      if (reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->CtlType == ODT_MENU &&
          TMenuItem::DispatchMeasure(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam))) {
        m.Result = 1;
        return;
      }
      break;
    case WM_DRAWITEM:
      if (reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->CtlType == ODT_MENU &&
          TMenuItem::DispatchDraw(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam))) {
        m.Result = 1;
        return;
      }
      break;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(m.LParam);
      TSizeConstraints* c = Constraints();
      if (c->MinWidth > 0) mm->ptMinTrackSize.x = c->MinWidth;
      if (c->MinHeight > 0) mm->ptMinTrackSize.y = c->MinHeight;
      if (c->MaxWidth > 0) mm->ptMaxTrackSize.x = c->MaxWidth;
      if (c->MaxHeight > 0) mm->ptMaxTrackSize.y = c->MaxHeight;
      break;
    }
    case CM_DIALOGKEY:
      for (int i = 0; i < ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(Components(i));
        if (c && c != this && c->Perform(CM_DIALOGKEY, m.WParam, m.LParam)) {
          m.Result = 1;
          return;
        }
      }
      return;
  }
  TWinControl::WndProc(m);
}

// ---- TApplication -------------------------------------------------------------------------

namespace {
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
}  // namespace

TApplication::TApplication(TComponent* owner)
    : TComponent(owner), icon_(std::make_unique<TIcon>()) {
  SetSystemColorSource(&LiveSystemColor);
  // The common control window classes must exist before any control asks for them.
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                            ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                            ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS |
                                            ICC_USEREX_CLASSES};
  InitCommonControlsEx(&icc);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  title_ = ChangeFileExt(ExtractFileName(path), "");
  WNDCLASSA wc{};
  wc.lpfnWndProc = &TApplication::AppWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TApplication";
  RegisterClassA(&wc);
  // A real but invisible top-level window: it owns popup menus and receives the
  // Synchronize wake-ups, also while a modal or system loop runs.
  handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, "TApplication", title_.c_str(), WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (handle_) SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  TThread::WakeMainThread = [] {
    if (Application && Application->handle_)
      PostMessageA(Application->handle_, CM_SYNCHRONIZE, 0, 0);
  };
}

TApplication::~TApplication() {
  TThread::WakeMainThread = nullptr;
  DestroyForms();
  if (handle_) {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
    handle_ = nullptr;
  }
}

void TApplication::DestroyForms() {
  for (int i = ComponentCount() - 1; i >= 0; --i)
    if (auto* f = dynamic_cast<TCustomForm*>(Components(i))) f->DoDestroy();
  Destroying();
  DestroyComponents();
  mainForm_ = nullptr;
}

void TApplication::Initialize() {
  static bool registered = false;
  if (!registered) {
    registered = true;
    std::atexit(DoneApplication);
  }
}

void TApplication::FormCreated(TCustomForm* form) {
  Initialize();
  if (!mainForm_) mainForm_ = form;
}

std::string TApplication::ExeName() const {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

void TApplication::SetIcon(TIcon* value) { icon_->Assign(value); }

void TApplication::SetShowHint(bool value) {
  showHint_ = value;
  if (!value) CancelHint();
}

void TApplication::CancelHint() {
  if (handle_) {
    KillTimer(handle_, kHintShowTimer);
    KillTimer(handle_, kHintHideTimer);
  }
  if (hintWindow_ && hintWindow_->HandleAllocated()) ShowWindow(hintWindow_->Handle(), SW_HIDE);
}

void TApplication::HintMouseMessage(TControl* control) {
  if (control == hintControl_) return;
  CancelHint();
  if (hintControl_) hintControl_->RemoveFreeNotification(this);
  hintControl_ = control;
  if (control) control->FreeNotification(this);
  SetHint(control ? control->Hint() : std::string());
  if (control && showHint_ && control->HintsEnabled() && !control->Hint().empty() && handle_)
    SetTimer(handle_, kHintShowTimer, static_cast<UINT>(hintPause_), nullptr);
}

void TApplication::ShowHintNow() {
  KillTimer(handle_, kHintShowTimer);
  TControl* c = hintControl_;
  if (!c || !showHint_) return;
  POINT pt;
  GetCursorPos(&pt);
  THintInfo info;
  info.HintControl = c;
  info.HintStr = c->Hint();
  info.HintColor = hintColor_;
  info.HintMaxWidth = Screen ? Screen->Width() : 800;
  info.CursorPos = c->ScreenToClient({pt.x, pt.y});
  info.CursorRect = Rect(0, 0, c->Width(), c->Height());
  info.HintPos = {pt.x, pt.y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4};
  info.HideTimeout = hintHidePause_;
  if (c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty())
    return;
  if (!hintWindow_) hintWindow_ = new THintWindow(this);
  hintWindow_->SetColor(info.HintColor);
  TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
  TRect work = Screen ? Screen->WorkAreaRect() : r;
  int x = std::min<int>(info.HintPos.X, work.Right - r.Width());
  int y = std::min<int>(info.HintPos.Y, work.Bottom - r.Height());
  hintWindow_->ActivateHint(Bounds(x, y, r.Width(), r.Height()), info.HintStr);
  if (info.HideTimeout > 0)
    SetTimer(handle_, kHintHideTimer, static_cast<UINT>(info.HideTimeout), nullptr);
}

void TApplication::Notification(TComponent* c, TOperation operation) {
  TComponent::Notification(c, operation);
  if (operation == opRemove) {
    if (c == hintControl_) {
      hintControl_ = nullptr;
      CancelHint();
    }
    if (c == hintWindow_) hintWindow_ = nullptr;
    if (c == mainForm_) mainForm_ = nullptr;
  }
}

void TApplication::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  if (OnHint_) OnHint_(this);
}

bool TApplication::Active() const {
  HWND active = GetActiveWindow();
  return active && TWinControl::FindControl(active);
}

void TApplication::Run() {
  Initialize();
  if (mainForm_) mainForm_->SetVisible(true);
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  TWinControl* c = nullptr;
  for (HWND w = msg.hwnd; w && !c; w = GetParent(w)) c = TWinControl::FindControl(w);
  TCustomForm* form = c ? c->ParentForm() : nullptr;
  if (!form) return false;
  if (c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam)) return true;
  // Ctrl+Tab goes to the form's controls before dialog navigation takes the Tab key.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
      form->Perform(CM_DIALOGKEY, VK_TAB, msg.lParam))
    return true;
  return form->IsShortCut(static_cast<WORD>(msg.wParam), KeyDataToShiftState(msg.lParam));
}

bool TApplication::IsDlgMsg(MSG& msg) {
  for (HWND d : std::vector<HWND>(dialogs_))
    if (IsWindow(d) && (d == msg.hwnd || IsChild(d, msg.hwnd)) && IsDialogMessageA(d, &msg))
      return true;
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  // Tab, arrows, Enter and Escape move between the controls of a form as in a dialog;
  // controls that want those keys say so through WM_GETDLGCODE.
  HWND top = GetAncestor(msg.hwnd, GA_ROOT);
  if (top && top != msg.hwnd && dynamic_cast<TCustomForm*>(TWinControl::FindControl(top)))
    return IsDialogMessageA(top, &msg) != 0;
  return false;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      CancelHint();
      break;
  }
  try {
    if (OnMessage_) OnMessage_(msg, handled);
    if (!handled && !IsKeyMsg(msg) && !IsDlgMsg(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Idle() {
  bool done = true;
  try {
    if (OnIdle_) OnIdle_(this, done);
  } catch (...) {
    HandleException(this);
  }
  TThread::CheckSynchronize();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) {
    Idle();
    if (!terminated_) WaitMessage();
  }
}

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr e = std::current_exception();
  if (!e) return;
  try {
    try {
      std::rethrow_exception(e);
    } catch (const EAbort&) {
    } catch (const Exception& ex) {
      if (OnException_)
        OnException_(sender, ex);
      else
        ShowException(ex.Message());
    } catch (const std::exception& ex) {
      Exception wrapped(ex.what());
      if (OnException_)
        OnException_(sender, wrapped);
      else
        ShowException(wrapped.Message());
    } catch (...) {
      ShowException("Unknown exception");
    }
  } catch (...) {
    // A failing handler must not take the message loop down.
  }
}

void TApplication::ShowException(const std::string& message) {
  MessageBox(message, title_, MB_OK | MB_ICONSTOP);
}

HWND TApplication::ModalOwner() const {
  // The active window may also be a system dialog of the program (the find dialog).
  HWND active = GetActiveWindow();
  if (active && active != handle_) return active;
  if (mainForm_ && mainForm_->HandleAllocated()) return mainForm_->Handle();
  return handle_;
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = ModalOwner();
  ModalStarted();
  int result = 0;
  {
    TScopeExit cleanup([&] { ModalFinished(); });
    result = ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
  }
  return result;
}

void TApplication::HookMainWindow(const TWindowHook& hook) { hooks_.push_back(hook); }

void TApplication::UnhookMainWindow(const TWindowHook& hook) {
  auto it = std::find(hooks_.begin(), hooks_.end(), hook);
  if (it != hooks_.end()) hooks_.erase(it);
}

bool TApplication::CallHooks(TMessage& m) {
  for (auto hook : std::vector<TWindowHook>(hooks_))
    if (hook(m)) return true;
  return false;
}

bool TApplication::Minimized() const {
  return mainForm_ && mainForm_->HandleAllocated() && IsIconic(mainForm_->Handle());
}

void TApplication::Minimize() {
  if (!mainForm_ || !mainForm_->HandleAllocated() || Minimized()) return;
  ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
  if (OnMinimize_) OnMinimize_(this);
}

void TApplication::Restore() {
  if (!Minimized()) return;
  ShowWindow(mainForm_->Handle(), SW_RESTORE);
  if (OnRestore_) OnRestore_(this);
}

void TApplication::ModalStarted() {
  if (++modalLevel_ == 1 && OnModalBegin_) OnModalBegin_(this);
}

void TApplication::ModalFinished() {
  if (--modalLevel_ == 0 && OnModalEnd_) OnModalEnd_(this);
}

void TApplication::AddDialogHandle(HWND wnd) {
  if (std::find(dialogs_.begin(), dialogs_.end(), wnd) == dialogs_.end()) dialogs_.push_back(wnd);
}

void TApplication::RemoveDialogHandle(HWND wnd) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), wnd), dialogs_.end());
}

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!app) return DefWindowProcA(wnd, msg, wp, lp);
  TMessage m{msg, wp, lp, 0};
  try {
    app->WndProc(m);
  } catch (...) {
    app->HandleException(app);
  }
  return m.Result;
}

void TApplication::WndProc(TMessage& m) {
  if (CallHooks(m)) return;
  if (m.Msg == TFindDialog::FindMessage() && TFindDialog::HandleFindMessage(m.LParam)) return;
  switch (m.Msg) {
    case CM_SYNCHRONIZE:
      TThread::CheckSynchronize();
      return;
    case CM_RELEASE:
      if (auto* f = reinterpret_cast<TCustomForm*>(m.LParam)) {
        f->DoDestroy();
        delete f;
      }
      return;
    case WM_COMMAND:
      if (m.LParam == 0 && TMenuItem::DispatchCommand(LOWORD(m.WParam))) return;
      break;
    case WM_INITMENUPOPUP:
      TMenuItem::DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
      return;
    case WM_MEASUREITEM:
      if (TMenuItem::DispatchMeasure(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam))) {
        m.Result = 1;
        return;
      }
      break;
    case WM_DRAWITEM:
      if (TMenuItem::DispatchDraw(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam))) {
        m.Result = 1;
        return;
      }
      break;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return;
    case WM_TIMER:
      if (m.WParam == kHintShowTimer) {
        ShowHintNow();
        return;
      }
      if (m.WParam == kHintHideTimer) {
        CancelHint();
        return;
      }
      break;
    case WM_ACTIVATEAPP:
      if (m.WParam) {
        if (OnActivate_) OnActivate_(this);
      } else {
        CancelHint();
        if (OnDeactivate_) OnDeactivate_(this);
      }
      break;
    case WM_GETICON:
      if (!icon_->Empty()) {
        m.Result = reinterpret_cast<LRESULT>(IconHandle(icon_.get()));
        return;
      }
      break;
  }
  m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

// ---- TScreen ------------------------------------------------------------------------------

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TScreen::~TScreen() = default;

void TScreen::RemoveForm(TCustomForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (activeForm_ == form) activeForm_ = nullptr;
}

HCURSOR TScreen::Cursors(TCursor index) {
  auto it = cursors_.find(index);
  if (it != cursors_.end()) return it->second;
  LPCSTR id = IDC_ARROW;
  switch (index) {
    case crNone:
      return nullptr;
    case crCross:
      id = IDC_CROSS;
      break;
    case crIBeam:
      id = IDC_IBEAM;
      break;
    case crSizeNESW:
      id = IDC_SIZENESW;
      break;
    case crSizeNS:
      id = IDC_SIZENS;
      break;
    case crSizeNWSE:
      id = IDC_SIZENWSE;
      break;
    case crSizeWE:
      id = IDC_SIZEWE;
      break;
    case crUpArrow:
      id = IDC_UPARROW;
      break;
    case crHourGlass:
    case crSQLWait:
      id = IDC_WAIT;
      break;
    case crNo:
      id = IDC_NO;
      break;
    case crAppStart:
      id = IDC_APPSTARTING;
      break;
    case crHelp:
      id = IDC_HELP;
      break;
    case crHandPoint:
      id = IDC_HAND;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    default:
      break;
  }
  return LoadCursorA(nullptr, id);
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
  cursors_[index] = cursor;
  if (cursor) customCursors_.emplace_back(cursor);
}

void TScreen::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  if (value == crDefault) {
    // Each window shows its own cursor again on the next mouse move; ask for it now.
    POINT pt;
    GetCursorPos(&pt);
    SetCursorPos(pt.x, pt.y);
    return;
  }
  ::SetCursor(Cursors(value));
}

namespace {
int CALLBACK CollectFontName(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM lp) {
  auto* list = reinterpret_cast<TStringList*>(lp);
  if (lf->lfFaceName[0] != '@' && list->IndexOf(lf->lfFaceName) < 0) list->Add(lf->lfFaceName);
  return 1;
}
}  // namespace

TStrings* TScreen::Fonts() {
  if (!fonts_) {
    fonts_ = std::make_unique<TStringList>();
    TWindowDC dc(nullptr);
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc.Get(), &lf, CollectFontName, reinterpret_cast<LPARAM>(fonts_.get()), 0);
    fonts_->Sort();
  }
  return fonts_.get();
}

TFont* TScreen::MenuFont() {
  if (!menuFont_) {
    menuFont_ = std::make_unique<TFont>();
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
      SetFontHandle(menuFont_.get(), CreateFontIndirectA(&ncm.lfMenuFont));
  }
  return menuFont_.get();
}

TFont* TScreen::HintFont() {
  if (!hintFont_) {
    hintFont_ = std::make_unique<TFont>();
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
      SetFontHandle(hintFont_.get(), CreateFontIndirectA(&ncm.lfStatusFont));
  }
  return hintFont_.get();
}

int TScreen::PixelsPerInch() const {
  TWindowDC dc(nullptr);
  return GetDeviceCaps(dc.Get(), LOGPIXELSY);
}

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return Rect(r.left, r.top, r.right, r.bottom);
}

TRect TScreen::MonitorWorkArea(HWND wnd) const {
  HMONITOR mon = MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (mon && GetMonitorInfoA(mon, &mi))
    return Rect(mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom);
  return WorkAreaRect();
}

TRect TScreen::DesktopRect() const {
  int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Bounds(x, y, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
}
