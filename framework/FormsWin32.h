// Forms, the application object and the screen: TCustomForm/TForm (top-level windows,
// modal showing, closing), TApplication (message loop, exceptions, the hidden application
// window that also serves worker-thread Synchronize calls) and TScreen.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/ControlsWin32.h"
#include "framework/IconWin32.h"

class TMainMenu;
class TMenuItem;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = TMethod<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = TMethod<void(TObject* sender, bool& canClose)>;

class TCustomForm : public TWinControl {
  K_CLASS_PUBLISHED(TCustomForm, TWinControl)

  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  // Fires OnCreate once the constructor (and its property loading) is complete.
  void AfterConstruction() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState value);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value);
  TIcon* Icon() { return icon_.get(); }
  void SetIcon(TIcon* value);
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool value);
  int AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(int value);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  TFormState FormState() const { return formState_; }
  TCanvas* Canvas() { return canvas_.get(); }

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* value) { FocusControl(value); }

  void Show();
  void Hide() { SetVisible(false); }
  // Shows the form and runs a message loop until ModalResult is set; other windows of
  // the program are disabled meanwhile. Raises EInvalidOperation for a visible form.
  virtual TModalResult ShowModal();
  void Close();
  virtual bool CloseQuery();
  // Frees the form once its current messages are handled.
  void Release();
  bool Active() const { return active_; }

  // Focus bookkeeping of the form's controls.
  void FocusControl(TWinControl* control);
  virtual bool SetFocusedControl(TWinControl* control);
  void ControlRemoved(TWinControl* control);
  // Menu shortcut keys of the form's main menu.
  bool IsShortCut(WORD key, TShiftState shift);
  void SetFocus() override;

  KFW_EVENT(TNotifyEvent, OnCreate)
  KFW_EVENT(TNotifyEvent, OnDestroy)
  KFW_EVENT(TNotifyEvent, OnShow)
  KFW_EVENT(TNotifyEvent, OnHide)
  KFW_EVENT(TNotifyEvent, OnPaint)
  KFW_EVENT(TNotifyEvent, OnActivate)
  KFW_EVENT(TNotifyEvent, OnDeactivate)
  KFW_EVENT(TNotifyEvent, OnMinimize)
  KFW_EVENT(TNotifyEvent, OnRestore)
  KFW_EVENT(TCloseEvent, OnClose)
  KFW_EVENT(TCloseQueryEvent, OnCloseQuery)

  void WndProc(TMessage& message) override;
  TRect ClientRect() override;
  void SetClientSize(int width, int height) override;
  // Runs OnDestroy once; the owner calls it before the form is deleted.
  void DoDestroy();

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void PaintWindow(HDC dc) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  void Notification(TComponent* c, TOperation operation) override;

 private:
  void ApplyPosition();
  void UpdateLayered();
  void CloseModal();
  TRect FrameForStyle() const;

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TMainMenu* menu_ = nullptr;
  std::unique_ptr<TIcon> icon_;
  std::unique_ptr<TControlCanvas> canvas_;
  bool alphaBlend_ = false;
  int alphaBlendValue_ = 255;
  bool keyPreview_ = false;
  bool active_ = false;
  bool positioned_ = false;
  bool destroyFired_ = false;
  TFormState formState_;
  TModalResult modalResult_ = mrNone;
  TWinControl* activeControl_ = nullptr;
};

class TForm : public TCustomForm {
  K_CLASS(TForm, TCustomForm)
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// A hook on the application window: true when it handled the message.
using TWindowHook = TMethod<bool(TMessage& message)>;
using TExceptionEvent = TMethod<void(TObject* sender, const Exception& e)>;
using TMessageEvent = TMethod<void(MSG& msg, bool& handled)>;
using TIdleEvent = TMethod<void(TObject* sender, bool& done)>;

class TApplication : public TComponent {
  K_CLASS(TApplication, TComponent)

  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize();
  // Makes a form owned by the application; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    FormCreated(reference);
    reference->AfterConstruction();
  }
  // Shows the main form and runs the message loop until Terminate.
  void Run();
  void ProcessMessages();
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Inside a catch block: shows the current exception (or hands it to OnException).
  void HandleException(TObject* sender);
  void ShowException(const std::string& message);

  // The hidden application window.
  HWND Handle() const { return handle_; }
  // The window a message box or dialog of the program belongs to: the program's active
  // window, else the main form. The hidden application window only when neither exists: a box
  // it owns leaves the forms enabled and, once closed, the program without an active window.
  HWND ModalOwner() const;
  TCustomForm* MainForm() const { return mainForm_; }
  std::string ExeName() const;
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& value) { title_ = value; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int value) { hintPause_ = value; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int value) { hintHidePause_ = value; }
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor value) { hintColor_ = value; }
  // The mouse moved onto another control (nullptr: off the program's windows).
  void HintMouseMessage(TControl* control);
  void CancelHint();
  // The program's icon; the application window answers WM_GETICON with it.
  TIcon* Icon() { return icon_.get(); }
  void SetIcon(TIcon* value);
  bool Active() const;

  void HookMainWindow(const TWindowHook& hook);
  void UnhookMainWindow(const TWindowHook& hook);
  // The main form's task bar button stands for the program: its minimize and restore
  // commands pass the hooks above first, as commands of the application window.
  bool CallHooks(TMessage& message);
  void Minimize();
  void Restore();
  bool Minimized() const;

  // Bracket every modal loop (forms, common dialogs, message boxes).
  void ModalStarted();
  void ModalFinished();
  int ModalLevel() const { return modalLevel_; }

  // Modeless dialogs whose keys go through IsDialogMessage.
  void AddDialogHandle(HWND wnd);
  void RemoveDialogHandle(HWND wnd);

  // A message box owned by the active window; answers the pressed button's id.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);

  KFW_EVENT(TExceptionEvent, OnException)
  KFW_EVENT(TMessageEvent, OnMessage)
  KFW_EVENT(TIdleEvent, OnIdle)
  KFW_EVENT(TNotifyEvent, OnHint)
  KFW_EVENT(TNotifyEvent, OnActivate)
  KFW_EVENT(TNotifyEvent, OnDeactivate)
  KFW_EVENT(TNotifyEvent, OnMinimize)
  KFW_EVENT(TNotifyEvent, OnRestore)
  KFW_EVENT(TNotifyEvent, OnModalBegin)
  KFW_EVENT(TNotifyEvent, OnModalEnd)

  // Frees the forms (OnDestroy first) and the window: the end of the program's life.
  void DestroyForms();

 private:
  friend class TCustomForm;
  static LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  void WndProc(TMessage& m);
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(MSG& msg);
  bool IsDlgMsg(MSG& msg);
  void Idle();
  void FormCreated(TCustomForm* form);
  void Notification(TComponent* c, TOperation operation) override;

  HWND handle_ = nullptr;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  std::string title_;
  std::string hint_;
  bool showHint_ = true;
  int modalLevel_ = 0;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  TColor hintColor_ = clInfoBk;
  TControl* hintControl_ = nullptr;
  THintWindow* hintWindow_ = nullptr;
  std::unique_ptr<TIcon> icon_;
  void ShowHintNow();
  std::vector<TWindowHook> hooks_;
  std::vector<HWND> dialogs_;
};

// Screen facts: the cursor for the whole program, forms, fonts and monitor work areas.
class TScreen : public TComponent {
  K_CLASS(TScreen, TComponent)

  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  TCursor Cursor() const { return cursor_; }
  // Shows the cursor at once over every window of the program; crDefault lets each
  // control show its own again.
  void SetCursor(TCursor value);
  HCURSOR Cursors(TCursor index);
  // Installs a custom cursor; the screen destroys it later.
  void SetCursors(TCursor index, HCURSOR cursor);

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const {
    return activeForm_ ? activeForm_->ActiveControl() : nullptr;
  }
  // Names of the installed font families, sorted.
  TStrings* Fonts();
  TFont* MenuFont();
  TFont* HintFont();
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  int PixelsPerInch() const;
  TRect WorkAreaRect() const;
  // Work area of the monitor that holds most of the window.
  TRect MonitorWorkArea(HWND wnd) const;
  TRect DesktopRect() const;

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* form) { forms_.push_back(form); }
  void RemoveForm(TCustomForm* form);
  void SetActiveForm(TCustomForm* form) { activeForm_ = form; }

  TCursor cursor_ = crDefault;
  std::map<TCursor, HCURSOR> cursors_;
  std::vector<TCursorHandle> customCursors_;
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  std::unique_ptr<TStringList> fonts_;
  std::unique_ptr<TFont> menuFont_;
  std::unique_ptr<TFont> hintFont_;
};

extern TApplication* Application;
extern TScreen* Screen;
