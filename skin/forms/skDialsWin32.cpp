#include "skin/forms/skDialsWin32.h"

#include <algorithm>
#include <cctype>

#include "framework/FormsWin32.h"
#include "framework/ScopeExit.h"
#include "framework/SysUtils.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/runtime/sDialogs.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/skDialogWndWin32.h"

namespace {

TDialogChildAdapterFactory& ChildAdapterFactory() {
  static TDialogChildAdapterFactory factory;
  return factory;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool ApplicationEnding() { return Application && Application->Terminated(); }

// The providers the hook made, as this unit sees them.
std::vector<TskProvider*> Providers() {
  std::vector<TskProvider*> providers;
  if (!DialogProviderList) return providers;
  for (const auto& entry : *DialogProviderList)
    if (auto* provider = dynamic_cast<TskProvider*>(entry.get())) providers.push_back(provider);
  return providers;
}

// The top-level window a child belongs to.
HWND RootOf(HWND wnd) { return GetAncestor(wnd, GA_ROOT); }

TPopupMenuAdapterHooks& MenuAdapterHooks() {
  static TPopupMenuAdapterHooks hooks;
  return hooks;
}

}  // namespace

void SetPopupMenuAdapterHooks(TPopupMenuAdapterHooks hooks) { MenuAdapterHooks() = hooks; }

void FreePopupMenuAdapters() {
  if (MenuAdapterHooks().FreeAll) MenuAdapterHooks().FreeAll();
}

void SetDialogChildAdapterFactory(TDialogChildAdapterFactory factory) {
  ChildAdapterFactory() = std::move(factory);
}

UINT DialogRescanMessage() {
  static const UINT message = RegisterWindowMessageA("KestravaDialogRescan");
  return message;
}

std::string GetWindowClassName(HWND wnd) {
  char name[128] = {};
  const int n = GetClassNameA(wnd, name, sizeof name);
  return std::string(name, static_cast<size_t>(std::max(n, 0)));
}

bool HasChildClass(HWND wnd, const std::string& className) {
  for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (Lower(GetWindowClassName(child)) == className) return true;
    if (HasChildClass(child, className)) return true;
  }
  return false;
}

// ---- the provider ----------------------------------------------------------------------------

TskProvider::TskProvider(HWND dialog) : dialog_(dialog) {}

TskProvider::~TskProvider() {
  // Children first: their adapters ask the dialog's adapter for the background while they go.
  childAdapters_.clear();
  adapter_.reset();
}

TWindowKey TskProvider::AdapterWindow() const {
  return adapter_ && !adapter_->Detached() ? reinterpret_cast<TWindowKey>(dialog_) : 0;
}

bool TskProvider::Dead() const { return !adapter_ || adapter_->Detached() || !IsWindow(dialog_); }

int TskProvider::LiveChildAdapters() const {
  return static_cast<int>(std::count_if(childAdapters_.begin(), childAdapters_.end(),
                                        [](const auto& a) { return a && !a->Detached(); }));
}

bool TskProvider::SkinDialog(TsSkinManager* manager) {
  manager_ = manager;
  if (adapter_) return true;
  if (!manager_ || !manager_->Active()) return true;
  try {
    adapter_ = std::make_unique<TskDialogWnd>(dialog_, manager_, this);
    adapter_->Prepare();
  } catch (const Exception&) {
    adapter_.reset();
    return false;
  }
  // A message of the program's own asked for its place.
  if (DialogPosX != -1 || DialogPosY != -1)
    SetWindowPos(dialog_, nullptr, DialogPosX, DialogPosY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
  return AdaptChildWindows(dialog_);
}

bool TskProvider::AdaptChildWindows(HWND wnd) {
  for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!AdaptChildWindows(child)) return false;
    if (!AdaptChildWindow(child)) return false;
  }
  return true;
}

bool TskProvider::AdaptChildWindow(HWND wnd) {
  if (!wnd) return false;
  // A handle decided on before: only a window that was destroyed and whose handle came back
  // is decided again.
  for (auto it = children_.begin(); it != children_.end(); ++it)
    if (it->Wnd == wnd) {
      if (IsWindow(wnd) && it->ClassName == GetWindowClassName(wnd)) return true;
      children_.erase(it);
      break;
    }
  TskAdaptedChild decided;
  decided.Wnd = wnd;
  decided.ClassName = GetWindowClassName(wnd);
  TskChildWindowFacts facts;
  facts.ClassName = decided.ClassName;
  facts.ParentClassName = GetWindowClassName(GetParent(wnd));
  facts.Style = static_cast<uint32_t>(GetWindowLongPtrA(wnd, GWL_STYLE));
  facts.ExStyle = static_cast<uint32_t>(GetWindowLongPtrA(wnd, GWL_EXSTYLE));
  facts.Visible = IsWindowVisible(wnd) != FALSE;
  if (!(facts.Style & WS_CHILD)) return true;
  decided.Choice = ChooseDialogChildAdapter(facts);
  // A window that skins itself (a control of ours) keeps its own look.
  if (TestSkinCmd(wnd, CmdIsSkinned)) {
    decided.Choice.Kind = TskDialogChildKind::None;
    decided.Choice.Reason = "skins itself";
  }
  if (decided.Choice.Kind != TskDialogChildKind::None && ChildAdapterFactory()) {
    try {
      if (auto adapter = ChildAdapterFactory()(wnd, decided.Choice, manager_)) {
        childAdapters_.push_back(std::move(adapter));
        decided.HasAdapter = true;
      }
    } catch (const Exception&) {
      return false;
    }
  }
  // The list keeps what the dialog has now: entries of windows gone are dropped.
  std::erase_if(children_, [](const TskAdaptedChild& c) { return !IsWindow(c.Wnd); });
  std::erase_if(childAdapters_, [](const auto& a) { return !a || a->Detached(); });
  children_.push_back(std::move(decided));
  return true;
}

// ---- the provider list -----------------------------------------------------------------------

TskProvider* FindDialogProvider(HWND wnd) {
  for (TskProvider* provider : Providers())
    if (provider->DialogHandle() == wnd) return provider;
  return nullptr;
}

int DialogProviderCount() { return static_cast<int>(Providers().size()); }

int CountVisibleDialogs() {
  int count = 0;
  for (TskProvider* provider : Providers())
    if (!provider->Dead() && IsWindowVisible(provider->DialogHandle())) ++count;
  return count;
}

void FreeDeadProviders() {
  if (!DialogProviderList) return;
  // Entries are emptied, not removed, while the list may be walked; the empty ones go here.
  for (auto& entry : *DialogProviderList)
    if (auto* provider = dynamic_cast<TskProvider*>(entry.get()); provider && provider->Dead())
      entry.reset();
  std::erase_if(*DialogProviderList, [](const auto& entry) { return !entry; });
}

void FreeDialogProvider(HWND wnd) {
  if (!DialogProviderList) return;
  for (auto& entry : *DialogProviderList)
    if (auto* provider = dynamic_cast<TskProvider*>(entry.get());
        provider && provider->DialogHandle() == wnd) {
      // Taken out first: the provider's adapters may send messages while they go.
      std::unique_ptr<ISkinDialogProvider> gone = std::move(entry);
      gone.reset();
      return;
    }
}

// ---- the hook --------------------------------------------------------------------------------

bool SkinWindow(HWND wnd) {
  TsSkinManager* manager = DefaultManager;
  if (!manager || ApplicationEnding() || !DialogProviderList || !IsWindow(wnd)) return false;
  TskNewWindowFacts f;
  f.ClassName = GetWindowClassName(wnd);
  f.Style = static_cast<uint32_t>(GetWindowLongPtrA(wnd, GWL_STYLE));
  f.ManagerActive = manager->Active();
  f.StdDialogsRule = manager->SkinningRules().Contains(srStdDialogs);
  f.AlreadySkinned = FindDialogProvider(wnd) != nullptr;
  f.AnswersSkinned = TestSkinCmd(wnd, CmdIsSkinned);
  f.VisibleSkinnedDialogs = CountVisibleDialogs();
  f.HasToolBarChild = f.VisibleSkinnedDialogs > 1 && HasChildClass(wnd, "toolbarwindow32");
  if (!ShouldSkinDialog(f)) return false;
  auto provider = std::make_unique<TskProvider>(wnd);
  TskProvider* made = provider.get();
  DialogProviderList->push_back(std::move(provider));
  if (made->SkinDialog(manager)) return true;
  // Skinning failed: the dialog keeps the standard look, and the hook says so.
  FreeDialogProvider(wnd);
  return false;
}

void DialogWindowCreated(HWND wnd) {
  if (!DialogProviderList || ApplicationEnding()) return;
  FreeDeadProviders();
  const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
  if (!(style & WS_CHILD)) {
    if (GetWindowClassName(wnd) == "#32768") {
      if (MenuAdapterHooks().Attach) MenuAdapterHooks().Attach(wnd);
      return;
    }
    SkinWindow(wnd);
    return;
  }
  // A child made inside a skinned dialog after it was adapted gets its adapter once the
  // dialog handles its messages again (the child is not built yet).
  if (HWND root = RootOf(wnd); root && root != wnd && FindDialogProvider(root))
    PostMessageA(root, DialogRescanMessage(), 0, 0);
}
