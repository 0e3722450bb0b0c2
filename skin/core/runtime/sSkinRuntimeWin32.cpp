#include "skin/core/runtime/sSkinRuntimeWin32.h"

#include <shellapi.h>

#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtilsWin32.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/runtime/skThdTimer.h"
#include "skin/core/skinfiles/sConst.h"
#include "skin/core/skinfiles/sShadowTemplates.h"

namespace {

// The default manager's place in the thread's window-creation events while a skin is
// broadcast; the skinning of standard dialogs, message boxes and popup menus plugs in here.
TWindowEventSubscription CreationEvents;

void SkinWindowCreated(const TWindowEvent& event) {
  if (event.kind == TWindowEventKind::Created)
    FormServices().WindowCreating(reinterpret_cast<TWindowKey>(event.wnd));
}

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
    if (FormOf(key) != form) return;
    BroadcastToChildren(form, message);
    if (FormOf(key) == form && form->FormStyle() == fsMDIForm)
      if (HWND client = FindWindowExA(form->Handle(), nullptr, "MDICLIENT", nullptr))
        message.Result = SendSkinCmd(client, message.Cmd, message.LParam, message.LowWord);
  }
  std::vector<TWindowKey> VisibleDialogWindows() const override {
    std::vector<TWindowKey> windows;
    if (DialogProviderList)
      for (const auto& provider : *DialogProviderList) {
        const HWND wnd = provider ? reinterpret_cast<HWND>(provider->AdapterWindow()) : nullptr;
        if (wnd && IsWindow(wnd) && IsWindowVisible(wnd))
          windows.push_back(reinterpret_cast<TWindowKey>(wnd));
      }
    return windows;
  }
  void SendToWindow(TWindowKey window, TSkinCmdMessage& message) override {
    message.Result =
        SendSkinCmd(reinterpret_cast<HWND>(window), message.Cmd, message.LParam, message.LowWord);
  }
};

class TApplicationChangeWindows : public ISkinChangeWindows {
 public:
  bool ApplicationMinimized() const override { return Application && Application->Minimized(); }
  std::vector<TWindowKey> Forms() const override {
    return ApplicationBroadcastTree().ApplicationForms();
  }
  TSkinFormFacts FactsOf(TWindowKey key) const override {
    TSkinFormFacts facts;
    TCustomForm* form = FormOf(key);
    if (!form) return facts;
    const HWND wnd = form->Handle();
    facts.IsForm = true;
    facts.Minimized = IsIconic(wnd) != FALSE;
    facts.Maximized = IsZoomed(wnd) != FALSE;
    facts.MdiChild = form->FormStyle() == fsMDIChild;
    facts.HasParentWindow = (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) != 0;
    // The form's own flag: a frozen form has lost its WS_VISIBLE bit (WM_SETREDRAW 0 clears
    // it) and must still be found to be let paint again.
    facts.Visible = form->Visible();
    facts.Alpha = form->AlphaBlend() ? form->AlphaBlendValue() : 255;
    return facts;
  }
  ISkinProvider* ProviderOf(TWindowKey key) override {
    TCustomForm* form = FormOf(key);
    return form ? SkinProviderOf(form) : nullptr;
  }
  void SetRedraw(TWindowKey form, bool redraw) override {
    SendMessageA(reinterpret_cast<HWND>(form), WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  }
  void Redraw(TWindowKey form, bool frame) override {
    RedrawWindow(
        reinterpret_cast<HWND>(form), nullptr, nullptr,
        RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | (frame ? RDW_FRAME : 0));
  }
  void SetWindowRegion(TWindowKey window, TRegionKey region, bool redraw) override {
    // The window owns the region from here on.
    if (!SetWindowRgn(reinterpret_cast<HWND>(window), reinterpret_cast<HRGN>(region),
                      redraw ? TRUE : FALSE) &&
        region)
      DeleteObject(reinterpret_cast<HRGN>(region));
  }
  void RemoveRegionOnOldSystems(TWindowKey form) override {
    if (WindowsMajorVersion() < 6) SetWindowRgn(reinterpret_cast<HWND>(form), nullptr, FALSE);
  }
  void ReshowMaximized(TWindowKey key) override {
    const HWND wnd = reinterpret_cast<HWND>(key);
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    SetWindowLongPtrA(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    const HWND active = GetActiveWindow();
    ShowWindow(wnd, SW_SHOWMAXIMIZED);
    SetWindowLongPtrA(wnd, GWL_STYLE, GetWindowLongPtrA(wnd, GWL_STYLE) | WS_VISIBLE);
    if (active) SetActiveWindow(active);
  }
};

// The system's minimize and restore animation is off while `action` runs.
template <class F>
void WithoutWindowAnimation(F action) {
  const bool wasOn = IsWindowAnimationOn();
  if (wasOn) SetWindowAnimation(false);
  TScopeExit restore(IgnoringExceptions([wasOn] {
    if (wasOn) SetWindowAnimation(true);
  }));
  action();
}

constexpr UINT kRedrawAll = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;

}  // namespace

ISkinProvider* SkinProviderOf(TCustomForm* form) {
  if (!form) return nullptr;
  // Any window may answer anything: only a provider alive in this program is followed.
  return FindLiveSkinProvider(static_cast<intptr_t>(SendControlSkinCmd(form, CmdGetProvider, 0)));
}

ISkinChangeWindows& ApplicationChangeWindows() {
  static TApplicationChangeWindows windows;
  return windows;
}

ISkinBroadcastTree& ApplicationBroadcastTree() {
  static TApplicationTree tree;
  return tree;
}

std::unique_ptr<TIcon> AppSmallIcon;
std::unique_ptr<TIcon> AppLargeIcon;

bool IsNTPlatform = false;
bool Wow64WithoutComposition = false;

namespace {

bool RunsUnderWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

void ReadPlatformFlags() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  IsNTPlatform = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  Wow64WithoutComposition = RunsUnderWow64() && !IsCompositionEnabled();
  TskSkinEffects::SetGlowingAvailable(HasLayeredWindows() && !Wow64WithoutComposition);
}

}  // namespace

void InitSkinRuntime() {
  // Registered by name as every skinned program does; the number in use stays SM_SKINCMD.
  RegisterWindowMessageA("SM_SKINCMD");
  ReadPlatformFlags();
  char program[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    AppSmallIcon = GetShellFileIcon(program, SHGFI_SMALLICON);
    AppLargeIcon = GetShellFileIcon(program, SHGFI_LARGEICON);
  }
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
  if (cbtHookSet_) RemoveCbtHook(*manager_);
  if (!manager_->ComponentState().Contains(csDestroying)) manager_->SetHost(nullptr);
}

void TsSkinRuntime::SendToAllForms(int cmd, LPARAM lParam, int lowWord) {
  TSkinCmdMessage message{cmd, lowWord, lParam, 0, true};
  ::SendToAllForms(ApplicationBroadcastTree(), SkinnedForms, message);
}

void TsSkinRuntime::SendToAllForms(TsSkinManager& manager, int cmd) {
  SendToAllForms(cmd, reinterpret_cast<LPARAM>(&manager));
}

void TsSkinRuntime::FreeAllGlows() { FormServices().FreeAllGlows(); }

void TsSkinRuntime::PrepareSkinChangeAnimation(TsSkinManager& manager) {
  ::PrepareSkinChangeAnimation(ApplicationChangeWindows(), manager);
}

void TsSkinRuntime::FreezeFormsForSkinChange(TsSkinManager& manager) {
  ::FreezeFormsForSkinChange(ApplicationChangeWindows(), manager);
}

void TsSkinRuntime::FinishSkinChangeAnimation(TsSkinManager& manager, bool animate) {
  ::FinishSkinChangeAnimation(ApplicationChangeWindows(), manager, animate);
}

void TsSkinRuntime::AbandonSkinChangeAnimation(TsSkinManager& manager) {
  ::AbandonSkinChangeAnimation(ApplicationChangeWindows(), manager);
}

void TsSkinRuntime::RedrawDialogs() {
  for (TWindowKey wnd : ApplicationBroadcastTree().VisibleDialogWindows())
    RedrawWindow(reinterpret_cast<HWND>(wnd), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinRuntime::SkinStateChanged(TsSkinManager& manager) {
  // A manager being freed takes its menu painter with it; none is made for it now.
  if (manager.ComponentState().Contains(csDestroying)) return;
  SkinableMenusOf(manager).UpdateActive();
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

void TsSkinRuntime::InstallCbtHook(TsSkinManager& manager) {
  if (!manager.IsDefault() || cbtHookSet_) return;
  cbtHookSet_ = true;
  if (!DialogProviderList)
    DialogProviderList = std::make_unique<std::vector<std::unique_ptr<ISkinDialogProvider>>>();
  try {
    CreationEvents = TWindowEvents::Current().Subscribe(&SkinWindowCreated);
  } catch (const Exception&) {
    // Without the hook the program's dialogs keep the standard look; the skin still applies.
  }
}

void TsSkinRuntime::RemoveCbtHook(TsSkinManager& manager) {
  // The hook is the default manager's; a manager freed while default still removes its own.
  if (!cbtHookSet_ || (!manager.IsDefault() && DefaultManager)) return;
  FormServices().FreeMenuAdapters();
  CreationEvents.Reset();
  DialogProviderList.reset();
  cbtHookSet_ = false;
}

void TsSkinRuntime::HideMainFormAnimated() {
  TCustomForm* main = Application->MainForm();
  if (!main || !main->HandleAllocated() || !main->Visible()) return;
  ISkinProvider* provider = SkinProviderOf(main);
  if (!provider || !provider->DrawNonClientArea() || provider->CloseAnimationSkipped) return;
  provider->CloseAnimationSkipped = true;
  ISkinFormServices& services = FormServices();
  if (IsCompositionEnabled())
    services.HideForAnimation(reinterpret_cast<TWindowKey>(main->Handle()), true);
  services.ForgetHideTimer();
  services.AnimateFormHide(*provider);
  // The program is ending: the animation runs its course first. A flag that never clears
  // must not keep the program from ending, so the wait has a limit.
  const DWORD start = GetTickCount();
  while (AnimationRunning && GetTickCount() - start < 10000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Application->ProcessMessages();
  }
}

bool TsSkinRuntime::MinimizeApplication() {
  SysCmdPending = 2;
  TCustomForm* main = Application->MainForm();
  if (!manager_->AnimEffects()->Minimizing.Active || Application->Minimized() || !main ||
      !main->Visible())
    return false;
  if (ISkinProvider* provider = SkinProviderOf(main)) {
    if (!provider->DrawNonClientArea()) return false;
    provider->StartMinimizeAnimation();
  }
  if (IsCompositionEnabled()) return false;
  WithoutWindowAnimation([] { Application->Minimize(); });
  return true;
}

bool TsSkinRuntime::RestoreApplication() {
  SysCmdPending = 1;
  TCustomForm* main = Application->MainForm();
  ISkinProvider* provider = main ? SkinProviderOf(main) : nullptr;
  const bool composition = IsCompositionEnabled();
  if (provider && provider->MinimizedWithAnimation) {
    provider->MinimizedWithAnimation = false;
    if (provider->ExtendedBordersAllowed() && !provider->BorderWindow())
      if (TsCommonData* data = provider->SkinData()) data->CacheBitmap.reset();
    if (provider->HasBorderForm()) provider->ClearBorderShowing();
    WithoutWindowAnimation([] { Application->Restore(); });
    if (composition && main->HandleAllocated()) {
      const HWND wnd = main->Handle();
      RedrawWindow(wnd, nullptr, nullptr, kRedrawAll);
      const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
      if (exStyle & WS_EX_LAYERED) {
        if (TsCommonData* data = provider->SkinData()) data->BackgroundDirty = true;
        SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
      }
    }
    return false;
  }
  if (!manager_->AnimEffects()->Minimizing.Active || !main || !main->Visible()) return false;
  if (provider) {
    if (!provider->DrawNonClientArea()) return false;
    if (!provider->StartRestoreAnimation() && main->HandleAllocated()) {
      const HWND wnd = main->Handle();
      if (const HWND cover = reinterpret_cast<HWND>(provider->CoverWindow())) {
        // The cover goes behind the form, which is thus in front of it again.
        SetWindowPos(
            cover, wnd, 0, 0, 0, 0,
            SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
        RedrawWindow(wnd, nullptr, nullptr, kRedrawAll | RDW_UPDATENOW);
        provider->FreeCoverWindow();
      } else {
        ShowWindow(wnd, SW_RESTORE);
        RedrawWindow(wnd, nullptr, nullptr, kRedrawAll | RDW_UPDATENOW);
      }
    }
  }
  if (composition) return false;
  WithoutWindowAnimation([] { Application->Restore(); });
  return true;
}

bool TsSkinRuntime::AppWindowHook(TMessage& message) {
  switch (message.Msg) {
    case WM_WINDOWPOSCHANGED: {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
      const TskFormHide& hide = manager_->AnimEffects()->FormHide;
      if (pos && (pos->flags & SWP_HIDEWINDOW) && HasLayeredWindows() && hide.Active &&
          hide.Time != 0 && !Application->Minimized() && Application->Terminated())
        HideMainFormAnimated();
      return false;
    }
    case WM_SYSCOMMAND:
      if (!manager_->CurrentSkin().Active) return false;
      switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
          return MinimizeApplication();
        case SC_RESTORE:
          return RestoreApplication();
        default:
          SysCmdPending = 0;
          return false;
      }
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
