#include "skin/core/sSkinRuntimeWin32.h"

#include "framework/SysUtils.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/core/sCommonDataWin32.h"
#include "skin/core/sConst.h"
#include "skin/core/sDialogs.h"
#include "skin/core/sSkinMenusWin32.h"
#include "skin/core/skThdTimer.h"

namespace {

// The default manager's place in the thread's window-creation events while a skin is
// broadcast; the skinning of standard dialogs, message boxes and popup menus plugs in here.
TWindowEventSubscription CreationEvents;

void SkinWindowCreated(const TWindowEvent&) {}

// The runtime of the default manager, which controls report the mouse to.
TsSkinRuntime* DefaultRuntime = nullptr;

bool TerminatingProgram() { return Application && Application->Terminated(); }

TCustomForm* FormOf(TWindowKey key) {
  HWND wnd = reinterpret_cast<HWND>(key);
  if (!IsWindow(wnd)) return nullptr;
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(wnd));
  if (!form || form->ComponentState().Contains(csDestroying)) return nullptr;
  return form;
}

class TApplicationTree : public ISkinBroadcastTree {
 public:
  std::vector<TWindowKey> ApplicationForms() const override {
    std::vector<TWindowKey> forms;
    if (!Application) return forms;
    for (int i = 0; i < Application->ComponentCount(); ++i)
      if (auto* form = dynamic_cast<TCustomForm*>(Application->Components(i)))
        if (form->HandleAllocated()) forms.push_back(reinterpret_cast<TWindowKey>(form->Handle()));
    return forms;
  }
  bool IsLiveForm(TWindowKey key) const override { return FormOf(key) != nullptr; }
  bool TakesDirectBroadcast(TWindowKey key) const override {
    TCustomForm* form = FormOf(key);
    return form && form->FormStyle() != fsMDIChild && !form->ComponentState().Contains(csLoading) &&
           !TestSkinCmd(form->Handle(), CmdIsSkinned);
  }
  void SendToFormTree(TWindowKey key, TSkinCmdMessage& message) override {
    TCustomForm* form = FormOf(key);
    if (!form) return;
    message.Result = SendSkinCmd(form->Handle(), message.Cmd, message.LParam, message.LowWord);
    // The form's own handler may have freed it.
    if (FormOf(key) == form) BroadcastToChildren(form, message);
  }
  std::vector<TWindowKey> VisibleDialogWindows() const override { return {}; }
  void SendToWindow(TWindowKey window, TSkinCmdMessage& message) override {
    message.Result =
        SendSkinCmd(reinterpret_cast<HWND>(window), message.Cmd, message.LParam, message.LowWord);
  }
};

}  // namespace

ISkinBroadcastTree& ApplicationBroadcastTree() {
  static TApplicationTree tree;
  return tree;
}

void InitSkinRuntime() {
  // Registered by name as every skinned program does; the number in use stays SM_SKINCMD.
  RegisterWindowMessageA("SM_SKINCMD");
  InitSkinConstants(GetSystemMetrics(SM_CXHSCROLL));
  TskThreadedTimer::IsApplicationTerminating = &TerminatingProgram;
}

bool SkinCbtHookInstalled() { return CreationEvents.Active(); }

TsSkinRuntime* InstallSkinRuntime(TsSkinManager& manager) { return new TsSkinRuntime(&manager); }

TsSkinRuntime::TsSkinRuntime(TsSkinManager* manager) : TComponent(manager), manager_(manager) {
  manager_->SetHost(this);
  if (manager_->IsDefault()) {
    DefaultRuntime = this;
    TsSkinRuntimeHotWindow = [](HWND wnd) {
      if (DefaultRuntime) DefaultRuntime->SetHotWindow(wnd);
    };
  }
  if (manager_->IsDefault() && Application) {
    Application->HookMainWindow(MakeEvent<&TsSkinRuntime::AppWindowHook>(this));
    appHooked_ = true;
  }
}

TsSkinRuntime::~TsSkinRuntime() {
  if (DefaultRuntime == this) DefaultRuntime = nullptr;
  // The hooks this manager installed go with it.
  if (appHooked_ && Application)
    Application->UnhookMainWindow(MakeEvent<&TsSkinRuntime::AppWindowHook>(this));
  if (manager_->IsDefault() || !DefaultManager) RemoveCbtHook();
  if (!manager_->ComponentState().Contains(csDestroying)) manager_->SetHost(nullptr);
}

void TsSkinRuntime::SendToAllForms(int cmd, LPARAM lParam, int lowWord) {
  TSkinCmdMessage message{cmd, lowWord, lParam, 0, true};
  ::SendToAllForms(ApplicationBroadcastTree(), SkinnedForms, message);
}

void TsSkinRuntime::SkinLoaded(TsSkinManager& manager, bool animate) {
  SkinChangeInProgress = true;
  SendToAllForms(CmdSkinChanged, reinterpret_cast<LPARAM>(&manager));
  SkinChangeInProgress = false;
  if (manager.IsDefault()) InstallCbtHook();
  SkinableMenusOf(manager).UpdateActive();
  if (animate) SkinRefreshed(manager);
}

void TsSkinRuntime::SkinRemoved(TsSkinManager& manager) {
  RemoveCbtHook();
  SendToAllForms(CmdRemoveSkin, reinterpret_cast<LPARAM>(&manager));
  SkinableMenusOf(manager).SetActive(false);
}

void TsSkinRuntime::SkinRefreshed(TsSkinManager& manager) {
  SendToAllForms(CmdStopFade, reinterpret_cast<LPARAM>(&manager));
  SendToAllForms(CmdRefresh, reinterpret_cast<LPARAM>(&manager));
}

void TsSkinRuntime::ShowMessage(TsSkinManager&, const std::string& text, bool error) {
  if (error)
    ShowErrorMessage(text);
  else
    ShowPlainMessage(text);
}

void TsSkinRuntime::SetHotWindow(HWND wnd) {
  if (wnd == hotWindow_) return;
  const HWND previous = hotWindow_;
  hotWindow_ = wnd;
  const LPARAM manager = reinterpret_cast<LPARAM>(manager_);
  if (previous && IsWindow(previous)) SendSkinCmd(previous, CmdMouseLeave, manager);
  if (wnd) SendSkinCmd(wnd, CmdMouseEnter, manager);
}

void TsSkinRuntime::InstallCbtHook() {
  if (!manager_->IsDefault() || CreationEvents.Active()) return;
  try {
    CreationEvents = TWindowEvents::Current().Subscribe(&SkinWindowCreated);
  } catch (const Exception&) {
    // Without the hook the program's dialogs keep the standard look; the skin still applies.
  }
}

void TsSkinRuntime::RemoveCbtHook() {
  if (manager_ != DefaultManager && DefaultManager) return;
  CreationEvents.Reset();
}

bool TsSkinRuntime::AppWindowHook(TMessage& message) {
  switch (message.Msg) {
    case WM_SYSCOMMAND:
      if (!manager_->CurrentSkin().Active) return false;
      switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          SysCmdPending = 2;
          break;
        case SC_RESTORE:
          SysCmdPending = 1;
          break;
        default:
          SysCmdPending = 0;
          break;
      }
      return false;
    case WM_THEMECHANGED:
      return true;
    case WM_SKINMENU_REGION_BY_ITEM:
    case WM_SKINMENU_REGION_BY_WINDOW:
      if (!SkinableMenusOf(*manager_).AnswerRegionRequest(message.Msg, message.LParam))
        return false;
      message.Result = 1;
      return true;
    case CM_ACTIVATE:
      // Every form repaints, the last first.
      if (Screen)
        for (int i = Screen->FormCount() - 1; i >= 0; --i) {
          TCustomForm* form = Screen->Forms(i);
          if (form->HandleAllocated()) SendSkinCmd(form->Handle(), CmdRepaintAll, 0);
        }
      return false;
    default:
      return false;
  }
}
