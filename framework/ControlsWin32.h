// Controls: the control tree over Win32 windows. TControl (bounds, alignment, text,
// colour, font, the replaceable WindowProc), TWinControl (a real window, created on
// demand, with children, focus and tab order), TGraphicControl (painted by its parent)
// and TCustomControl (a window that paints itself on a Canvas).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/CanvasWin32.h"
#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Types.h"

class TControl;
class TWinControl;
class TPopupMenu;
class TCustomForm;

// ---- framework messages ---------------------------------------------------------------
// Notifications between controls travel as window messages in this private range;
// reflected notifications of child windows travel as CN_BASE + the original message.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_GOTFOCUS = CM_BASE + 0x02;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 0x03;
constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x1E;
constexpr UINT CM_RELEASE = CM_BASE + 0x21;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x24;
constexpr UINT CM_WININICHANGE = CM_BASE + 0x25;
constexpr UINT CM_FONTCHANGE = CM_BASE + 0x26;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 0x28;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 0x2A;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
constexpr UINT CM_CHILDKEY = CM_BASE + 0x2E;
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 0x35;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;
constexpr UINT CM_CHANGED = CM_BASE + 0x37;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 0x38;
constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 0x3B;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
// Internal to the framework: the application window runs queued worker calls.
constexpr UINT CM_SYNCHRONIZE = CM_BASE + 0x70;

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// The message record every window method receives.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// A replaceable window method. WindowProc() hands out a method that calls the current
// head of the control's chain; a hook keeps that method as its "saved" procedure, installs
// its own with SetWindowProc and later puts the saved one back. Putting back a saved method
// unlinks exactly the hook that saved it, even when later hooks sit on top: those hooks'
// saved methods then pass straight through to what the removed hook had saved.
class TWndMethod {
 public:
  using TFunc = std::function<void(TMessage&)>;

  TWndMethod() = default;
  TWndMethod(std::nullptr_t) {}
  TWndMethod(TFunc func);

  template <class C>
  static TWndMethod Of(C* obj, void (C::*method)(TMessage&)) {
    return TWndMethod([obj, method](TMessage& m) { (obj->*method)(m); });
  }

  void operator()(TMessage& message) const;
  explicit operator bool() const { return node_ != nullptr; }
  friend bool operator==(const TWndMethod& a, const TWndMethod& b) { return a.node_ == b.node_; }

  struct TNode {
    TFunc Func;
    std::shared_ptr<TNode> Below;  // what was in place when this method was installed
    bool Unlinked = false;
    bool Installed = false;  // in some control's chain: another chain wraps it instead
  };

 private:
  friend class TControl;
  explicit TWndMethod(std::shared_ptr<TNode> node) : node_(std::move(node)) {}
  std::shared_ptr<TNode> node_;
};

// ---- enumerations and sets ------------------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking
};
using TControlState = TSet<TControlStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
// TShiftState lives in framework/Types.h (portable code and shortcuts use it too).

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -12;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
// The hour glass for long database-like work; shown as the system's wait cursor.
constexpr TCursor crSQLWait = -17;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;  // controls use bsNone and bsSingle

enum TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
TOwnerDrawState OwnerDrawStateFromItemState(UINT itemState);

// The answer of a modal form or dialog (the IDOK... ids of message boxes).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TMouseEvent =
    TMethod<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = TMethod<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = TMethod<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = TMethod<void(TObject* sender, char& key)>;

// Published events: a field, its getter and its setter.
#define KFW_EVENT(Type, Name)                                \
 public:                                                     \
  const Type& Name() const { return Name##_; }               \
  void Set##Name(Type value) { Name##_ = std::move(value); } \
                                                             \
 protected:                                                  \
  Type Name##_;                                              \
                                                             \
 public:

TShiftState KeysToShiftState(WORD keys);
TShiftState KeyDataToShiftState(LPARAM keyData);

// Minimum and maximum size of a control; 0 means no limit.
class TSizeConstraints : public TPersistent {
  K_CLASS(TSizeConstraints, TPersistent)
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  void Assign(TPersistent* source) override;
};

// Window creation parameters filled by CreateParams.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  std::string WinClassName;
};

// A canvas on a control: the control's own DC (windowed) or its parent's DC moved to the
// control's origin and clipped to its bounds (graphic control). Made on first drawing,
// given up with FreeHandle; painting code hands in the paint DC instead.
class TControlCanvas : public TCanvas {
  K_CLASS(TControlCanvas, TCanvas)
  explicit TControlCanvas(TControl* control) : control_(control) {}
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void FreeHandle();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_;
  HWND window_ = nullptr;
  HDC ownDC_ = nullptr;
};

// ---- TControl ---------------------------------------------------------------------------

class TControl : public TComponent {
  K_CLASS_PUBLISHED(TControl, TComponent)

  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* value);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
  void SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }
  virtual void SetClientSize(int width, int height);
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p) {
    TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
  }
  TPoint ScreenToClient(TPoint p) {
    TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
  }
  TSizeConstraints* Constraints() { return &constraints_; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);

  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible on the screen: visible itself and every parent showing.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);

  std::string Caption() { return GetText(); }
  void SetCaption(const std::string& value) { SetText(value); }
  std::string Text() { return GetText(); }
  void SetText(const std::string& value);

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont* Font() { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value) { hint_ = value; }
  bool ShowHint() const { return showHint_; }
  // Setting ShowHint stops following the parent's.
  void SetShowHint(bool value) {
    showHint_ = value;
    parentShowHint_ = false;
  }
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value) { parentShowHint_ = value; }
  // Whether hints show for this control: its own ShowHint or, following the parent,
  // the parent's.
  bool HintsEnabled() const;
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState value) { controlState_ = value; }

  // Sends a message straight to the control's WindowProc and returns its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  TWndMethod WindowProc();
  void SetWindowProc(TWndMethod value);

  virtual void Invalidate();
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();
  TCustomForm* ParentForm();

  KFW_EVENT(TNotifyEvent, OnClick)
  KFW_EVENT(TNotifyEvent, OnDblClick)
  KFW_EVENT(TMouseEvent, OnMouseDown)
  KFW_EVENT(TMouseEvent, OnMouseUp)
  KFW_EVENT(TMouseMoveEvent, OnMouseMove)
  KFW_EVENT(TNotifyEvent, OnMouseEnter)
  KFW_EVENT(TNotifyEvent, OnMouseLeave)
  KFW_EVENT(TNotifyEvent, OnResize)

  // The control's own message handling (one switch per class); then DefaultHandler.
  virtual void WndProc(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // Called by the framework.
  void Loaded() override;
  virtual void Click();
  virtual void DblClick();

 protected:
  virtual std::string GetText();
  virtual void SetTextValue(const std::string& value);  // stores without notifying
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void Resize();
  virtual void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
  virtual void FontChanged();
  virtual void VisibleChanging() {}
  // Lets the parent lay its children out again.
  void RequestAlign();
  // Parent's client size when the anchors were last taken: right and bottom anchors keep
  // their distance to the parent's edges from this.
  void UpdateAnchorRules();
  void Notification(TComponent* c, TOperation operation) override;
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  // Sets the flag alone: for constructors of controls that start hidden.
  void SetVisibleNoShow(bool value) { visible_ = value; }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::string text_;
  TColor color_ = clWindow;
  std::unique_ptr<TFont> font_;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;

 private:
  friend class TWinControl;
  void MouseMessage(TMessage& m);
  // Asks the parent to repaint the control's rectangle, erasing it first when `erase`.
  void InvalidateParentArea(bool erase);

  TAlign align_ = alNone;
  TAnchors anchors_{akLeft, akTop};
  TPoint anchorRules_{};  // distance to right / bottom edges
  TSize anchorParentSize_{};
  bool visible_ = true;
  bool enabled_ = true;
  bool parentColor_ = false;
  bool parentFont_ = true;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  bool mouseInside_ = false;
  bool aligningChild_ = false;  // bounds set by the parent's layout: anchors stay
  bool syncingFont_ = false;    // font copied from the parent: ParentFont stays
  std::string hint_;
  TCursor cursor_ = crDefault;
  TPopupMenu* popupMenu_ = nullptr;
  TSizeConstraints constraints_;
  std::vector<std::shared_ptr<TWndMethod::TNode>> chain_;  // [0] is WndProc itself
};

// ---- TWinControl ----------------------------------------------------------------------

class TWinControl : public TControl {
  K_CLASS_PUBLISHED(TWinControl, TControl)

  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, created with the parent's on first use.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // A window of another program part to host this control when it has no Parent.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND value);
  // Destroys the window and makes it again with the current CreateParams (through
  // CM_RECREATEWND, so that hooks see it).
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // The visible child control (windowed or not) under a client point.
  TControl* ControlAtPos(TPoint pos, bool allowDisabled = false);
  bool ContainsControl(TControl* control) const;
  // Moves a child control to that index of the child list (clamped); nothing for a control
  // that is not a child.
  void SetChildOrder(TControl* child, int order);

  bool Showing() const override { return showing_; }
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetClientSize(int width, int height) override;

  virtual bool CanFocus();
  virtual void SetFocus();
  bool Focused();
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
  TBrush* Brush() { return brush_.get(); }

  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();
  void Realign();
  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  // Paints the graphic children into dc (client coordinates); from `first` on when given.
  void PaintControls(HDC dc, TControl* first);
  // Paints the control with its frame and all its children into dc at (x, y), as it
  // would look on the screen; csPaintCopy is in ControlState meanwhile.
  void PaintTo(HDC dc, int x, int y);

  KFW_EVENT(TKeyEvent, OnKeyDown)
  KFW_EVENT(TKeyEvent, OnKeyUp)
  KFW_EVENT(TKeyPressEvent, OnKeyPress)
  KFW_EVENT(TNotifyEvent, OnEnter)
  KFW_EVENT(TNotifyEvent, OnExit)

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  // The window of a handle made by this framework, or nullptr.
  static TWinControl* FindControl(HWND wnd);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  virtual void CreateHandle();
  void DestroyHandle();
  // Fills params to superclass a system window class under the framework class name.
  void CreateSubClass(TCreateParams& params, const char* systemClass);
  virtual void AlignControls(TControl* control, TRect& rect);
  void AlignControl(TControl* control);
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& m);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();
  void UpdateShowing();
  std::string GetText() override;
  void SetTextValue(const std::string& value) override;
  // Whether a mouse message over a graphic child goes to that child (the default) or to
  // this window itself, whose system class draws and presses the child's part.
  virtual bool GraphicChildTakesMouse() const { return true; }
  // Reflects WM_COMMAND/WM_NOTIFY/WM_DRAWITEM/... to the child control they concern.
  bool ReflectToChild(TMessage& m);
  bool DoKeyMessage(TMessage& m, bool down);

  HWND handle_ = nullptr;
  WNDPROC defWndProc_ = nullptr;
  std::unique_ptr<TBrush> brush_;

 private:
  friend LRESULT CALLBACK KfwWndProc(HWND, UINT, WPARAM, LPARAM);
  friend class TControl;
  void AttachHandle(HWND wnd);
  void DetachHandle();
  void DoAlign(TAlign align, TRect& rect);

  HWND parentWindow_ = nullptr;
  std::vector<TControl*> controls_;    // all children, z-order bottom first
  std::vector<TWinControl*> tabList_;  // windowed children in tab order
  bool showing_ = false;
  bool tabStop_ = false;
  bool doubleBuffered_ = false;
  int alignDisabled_ = 0;
  bool aligning_ = false;
};

// ---- TGraphicControl / TCustomControl --------------------------------------------------

// A control without a window: its parent paints it (Paint on its Canvas) and routes the
// mouse to it.
class TGraphicControl : public TControl {
  K_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() { return canvas_.get(); }
  void WndProc(TMessage& message) override;

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// A window that paints itself: WM_PAINT hands the paint DC to Canvas and calls Paint.
class TCustomControl : public TWinControl {
  K_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// What a control may change before its hint shows (CM_HINTSHOW, LParam points here;
// a non-zero result cancels the hint).
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos{};  // screen position of the hint window
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect{};  // the hint goes when the mouse leaves this (control coordinates)
  TPoint CursorPos{};  // mouse position in control coordinates
  int ReshowTimeout = 0;
  int HideTimeout = 2500;
  std::string HintStr;
};

// The small window that shows a hint text.
class THintWindow : public TCustomControl {
  K_CLASS(THintWindow, TCustomControl)
  explicit THintWindow(TComponent* owner);
  // The bounds the text needs (0-based), no wider than maxWidth.
  virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
  // Shows the window with the text at a screen rectangle, without activating it.
  virtual void ActivateHint(const TRect& rect, const std::string& hint);
  void ReleaseHandle() { DestroyHandle(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

// Mouse capture of a graphic control: its parent's window holds the system capture.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
