#include "skin/adapters/skSBUtilsWin32.h"

#include <uxtheme.h>

#include <unordered_set>
#include <utility>

#include "framework/FormsWin32.h"
#include "framework/StdCtrlsWin32.h"
#include "skin/adapters/skEditWndWin32.h"
#include "skin/adapters/skScrollWndWin32.h"
#include "skin/adapters/skTreeViewWndWin32.h"
#include "skin/core/painting/sAlphaGraphSkin.h"
#include "skin/core/painting/sCommonDataWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/painting/sSectionPaintWin32.h"
#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/skUtils.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/sVclUtilsWin32.h"

namespace {

// The adapters alive now: a property value is followed only when it names one of them.
std::unordered_set<const TskMainWnd*>& LiveAdapters() {
  static std::unordered_set<const TskMainWnd*> adapters;
  return adapters;
}

TColor SysColor(int index) { return static_cast<TColor>(GetSysColor(index)); }

TRect WindowRectIn(HWND wnd, HWND parent) {
  RECT r{};
  GetWindowRect(wnd, &r);
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return TRect{r.left, r.top, r.right, r.bottom};
}

// The owner of an adapter's own skin data: the adopted window itself. Its parent is the
// parent window, which answers skin commands if it is skinned.
class TWindowSkinHost : public ISkinDataHost {
 public:
  explicit TWindowSkinHost(HWND wnd) : wnd_(wnd) {}
  bool IsControl() const override { return false; }
  bool IsWindowed() const override { return true; }
  bool IsDestroying() const override { return !IsWindow(wnd_); }
  bool IsLoading() const override { return false; }
  bool IsEnabled() const override { return IsWindowEnabled(wnd_) != FALSE; }
  std::string ClassName() const override {
    char name[256] = {};
    GetClassNameA(wnd_, name, sizeof name);
    return name;
  }
  ISkinDataHost* Parent() const override {
    HWND parent = GetParent(wnd_);
    if (!parent) return nullptr;
    parent_ = std::make_unique<TWindowSkinHost>(parent);
    return parent_.get();
  }
  TColor Color() const override { return SysColor(COLOR_BTNFACE); }
  void SetColor(TColor) override {}
  TColor FontColor() const override { return SysColor(COLOR_WINDOWTEXT); }
  void SetFontColor(TColor) override {}
  intptr_t SkinCmd(int cmd, int lowWord, intptr_t lParam) override {
    return SendSkinCmd(wnd_, cmd, lParam, lowWord);
  }
  void Redraw() override {
    RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  TRect BoundsRect() const override { return WindowRectIn(wnd_, GetParent(wnd_)); }
  bool AskParentBackground(TsBackgroundRequest& request, bool copyNow) override {
    HWND parent = GetParent(wnd_);
    return parent && GetWindowBackground(request, parent, copyNow);
  }

 private:
  HWND wnd_;
  mutable std::unique_ptr<TWindowSkinHost> parent_;
};

// comctl32's flat scroll bars, bound once when first asked for; null where it lacks them.
struct TFlatScrollBars {
  using TFunction = BOOL(WINAPI*)(HWND);
  TFunction Initialize = nullptr;
  TFunction Uninitialize = nullptr;
  TFlatScrollBars() {
    HMODULE module = GetModuleHandleA("comctl32.dll");
    if (!module) return;
    Initialize = reinterpret_cast<TFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "InitializeFlatSB")));
    Uninitialize = reinterpret_cast<TFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "UninitializeFlatSB")));
  }
};

const TFlatScrollBars& FlatScrollBars() {
  static const TFlatScrollBars bars;
  return bars;
}

// The host control's window, or null while it has none.
HWND HostWindow(TsCommonData& data) {
  auto* control = dynamic_cast<TWinControl*>(HostControlOf(data));
  return control && control->HandleAllocated() ? control->Handle() : nullptr;
}

// The two edit-like entry points: a detached adapter replaced, a missing one made while the
// skin is on; the adapter freed while it is off.
template <class TAdapter>
void UpdateAdapterOf(TsCommonData* data, std::unique_ptr<TAdapter>& adapter) {
  if (!data) return;
  if (!data->IsSkinned(true)) {
    adapter.reset();
    return;
  }
  if (adapter && adapter->Detached()) adapter.reset();
  HWND wnd = HostWindow(*data);
  if (!adapter && wnd)
    adapter = TskMainWnd::Make<TAdapter>(wnd, data, data->SkinManager(), data->SkinSection(), true);
}

std::string WindowText(HWND wnd) {
  const int length = GetWindowTextLengthA(wnd);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(wnd, text.data(), length + 1)));
  return text;
}

}  // namespace

// ---- the adapter -----------------------------------------------------------------------------

TskMainWnd::TskMainWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                       const std::string& section)
    : windowHandle_(handle), manager_(manager) {
  // The skin paints on a classic window; a dialog's own frame keeps its theme.
  if (section != "DIALOG") {
    SetWindowTheme(handle, L" ", L" ");
    themeOff_ = true;
  }
  if (skinData) {
    commonData_ = skinData;
  } else {
    ownHost_ = std::make_unique<TWindowSkinHost>(handle);
    ownData_ = std::make_unique<TsCommonData>(ownHost_.get(), true);
    commonData_ = ownData_.get();
    if (manager_) commonData_->SetSkinManager(manager_);
  }
  // Without a manager of its own the adapter follows its skin data's (the default one).
  if (!manager_) manager_ = commonData_->SkinManager();
  commonData_->CustomFont = false;
  if (commonData_->SkinSection().empty()) commonData_->SetSkinSection(section);
  inDialog_ = DialogAdapterMode;
  LiveAdapters().insert(this);
}

void TskMainWnd::Start(bool /*repaint*/) {
  SaveColors();
  colorsApplied_ = false;
  captionText_ = WindowText(windowHandle_);
  Subclass(windowHandle_);
  if (TControl* control = HostControlOf(*commonData_))
    control->SetControlStyle(control->ControlStyle() + csOpaque);
}

TskMainWnd::~TskMainWnd() {
  if (commonData_ && !detached_ && manager_) Release(false);
  detached_ = true;
  LiveAdapters().erase(this);
  ownData_.reset();
  commonData_ = nullptr;
  manager_ = nullptr;
}

void TAdapterHook::Attach(HWND handle, TControl* control, THandler handler,
                          std::function<void()> destroyed) {
  Detach();
  if (control) {
    control_ = control;
    controlHook_ = std::make_shared<TControlHook>(
        TControlHook{std::move(handler), control->WindowProc(), true});
    control->SetWindowProc(TWndMethod([state = controlHook_](TMessage& m) {
      if (state->Active)
        state->Handler(m);
      else
        state->Saved(m);
    }));
    destroyWatch_ = TWindowEvents::Current().Subscribe(
        [handle, destroyed = std::move(destroyed)](const TWindowEvent& event) {
          if (event.kind == TWindowEventKind::Destroyed && event.wnd == handle) destroyed();
        });
    return;
  }
  subclass_.Attach(handle, [handler = std::move(handler)](HWND, UINT msg, WPARAM wp, LPARAM lp,
                                                          LRESULT& result) {
    TMessage message{msg, wp, lp, 0};
    handler(message);
    result = message.Result;
    return true;
  });
}

LRESULT TAdapterHook::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (control_) {
    TMessage message{msg, wParam, lParam, 0};
    controlHook_->Saved(message);
    return message.Result;
  }
  return subclass_.Attached() ? subclass_.CallNext(msg, wParam, lParam) : 0;
}

void TAdapterHook::Detach() {
  if (control_) {
    std::exchange(control_, nullptr)->SetWindowProc(controlHook_->Saved);
    controlHook_->Active = false;
    destroyWatch_.Reset();
  }
  subclass_.Detach();
}

void TskMainWnd::Subclass(HWND handle) {
  sendingScroll_ = false;
  windowHandle_ = handle;
  SetPropA(handle, AdapterPropName, reinterpret_cast<HANDLE>(this));
  hook_.Attach(
      handle, HostControlOf(*commonData_), [this](TMessage& m) { WndProc(m); },
      [this] { ReleaseOnDestroy(); });
}

LRESULT TskMainWnd::CallOldProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return hook_.CallNext(msg, wParam, lParam);
}

void TskMainWnd::Release(bool frame) {
  if (detached_) return;
  hook_.Detach();
  // Another adapter that took the window over since keeps its name.
  if (GetPropA(windowHandle_, AdapterPropName) == reinterpret_cast<HANDLE>(this))
    RemovePropA(windowHandle_, AdapterPropName);
  RestoreColors();
  if (themeOff_ && IsWindow(windowHandle_)) SetWindowTheme(windowHandle_, nullptr, nullptr);
  themeOff_ = false;
  if (IsWindowVisible(windowHandle_)) RedrawFrame(windowHandle_, frame);
  detached_ = true;
}

void TskMainWnd::ReadWindowGeometry() {
  RECT r{};
  GetWindowRect(windowHandle_, &r);
  screenRect_ = TRect{r.left, r.top, r.right, r.bottom};
  parentHandle_ = GetParent(windowHandle_);
  RECT p{};
  if (parentHandle_) GetWindowRect(parentHandle_, &p);
  parentScreenRect_ = TRect{p.left, p.top, p.right, p.bottom};
  windowSize_ = TSize{screenRect_.Width(), screenRect_.Height()};
  POINT pos{r.left, r.top};
  if (parentHandle_) ScreenToClient(parentHandle_, &pos);
  posInParent_ = TPoint{pos.x, pos.y};
}

void TskMainWnd::FillTransparentCorners(TsPaintState state) {
  if (!commonData_) return;
  TsWindowPlace place{.PosInParent = posInParent_,
                      .Width = windowSize_.cx,
                      .Height = windowSize_.cy,
                      .InDialog = inDialog_};
  GetWindowParentBackground(windowHandle_, place.Behind);
  if (!place.Behind.HasBitmap) place.Behind.FillColor = ColorToRGB(place.Behind.FillColor);
  ::FillTransparentCorners(*commonData_, place, state);
}

void TskMainWnd::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      if (commonData_ && commonData_->GlowIndex >= 0) commonData_->FreeShownGlow();
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      if (m.Result == 0) ReleaseOnDestroy();
      return;
    case WM_SIZE:
      if (commonData_) commonData_->BackgroundDirty = true;
      break;
    case WM_SETTEXT:
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      captionText_ = WindowText(windowHandle_);
      return;
    case WM_UPDATEUISTATE:
      return;
    case WM_MOUSEMOVE:
      if (DefaultManager && !DefaultManager->ComponentState().Contains(csDesigning) &&
          IsWindowEnabled(windowHandle_) && TsSkinRuntimeHotWindow)
        TsSkinRuntimeHotWindow(windowHandle_);
      break;
    case WM_PRINT:
      m.Result = SendMessageA(windowHandle_, WM_PAINT, m.WParam, m.LParam);
      return;
    default:
      break;
  }
  CommonPart(m);
}

void TskMainWnd::ReleaseOnDestroy() noexcept {
  try {
    Release(false);
  } catch (...) {
    // The window's destruction goes on whatever letting go of it raised.
  }
}

void TskMainWnd::CommonPart(TMessage& m) {
  if (m.Msg == SM_SKINCMD && commonData_ && manager_) {
    TSkinCmdMessage cmd = ReadSkinCmd(m.WParam, m.LParam);
    if (AnswerSkinCmd(cmd)) {
      m.Result = cmd.Result;
      return;
    }
  }
  m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
}

bool TskMainWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) {
  return HandleAdapterSkinCmd(cmd, *commonData_, manager_, *this);
}

void TskMainWnd::BroadcastToChildren(const TSkinCmdMessage& message) {
  BroadcastToChildrenOrWindows(dynamic_cast<TWinControl*>(HostControlOf(*commonData_)),
                               windowHandle_, message);
}

bool TskMainWnd::IsVisible() const { return IsWindowVisible(windowHandle_) != FALSE; }

void TskMainWnd::Repaint() { SendMessageA(windowHandle_, WM_PAINT, 0, 0); }

void TskMainWnd::RedrawAll() {
  RedrawWindow(windowHandle_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TskMainWnd::PrepareCache() { PrepareWindowCache(commonData_, windowHandle_, false); }

intptr_t TskMainWnd::OwnBgColorAnswer() {
  return CallOldProc(SM_SKINCMD, SkinCmdWParam(CmdGetBgColor), 0);
}

bool TskMainWnd::HasHostControl() const { return HostControlOf(*commonData_) != nullptr; }

intptr_t TskMainWnd::ApplicationObject() const { return reinterpret_cast<intptr_t>(Application); }

// ---- entry points and helpers ------------------------------------------------------------------

TskMainWnd* GetWindowAdapter(HWND handle) {
  if (!handle) return nullptr;
  auto* adapter = static_cast<TskMainWnd*>(GetPropA(handle, AdapterPropName));
  if (!adapter || !LiveAdapters().contains(adapter) || adapter->WindowHandle() != handle)
    return nullptr;
  return adapter;
}

void ReleaseScrollWindow(TskScrollWnd& adapter, bool frame) {
  if (adapter.Detached()) return;
  // Unhooked first: the frame is then recomputed by the window itself, with its own bars.
  adapter.Release(frame);
  for (auto* bar : {adapter.HorzBar.get(), adapter.VertBar.get()})
    if (bar) bar->Owner = nullptr;
  adapter.HorzBar.reset();
  adapter.VertBar.reset();
}

void UpdateScrollAdapter(TsCommonData* data, std::unique_ptr<TskScrollWnd>& adapter) {
  if (!data) return;
  if (const ISkinDataHost* host = data->Host(); host && (host->IsLoading() || host->IsDestroying()))
    return;
  TControl* control = HostControlOf(*data);
  if (control && control->ComponentState().Contains(csDesigning)) return;
  HWND wnd = HostWindow(*data);
  if (!data->IsSkinned(true)) {
    adapter.reset();
    if (wnd && FlatScrollBars().Initialize) FlatScrollBars().Initialize(wnd);
    return;
  }
  if (wnd && FlatScrollBars().Uninitialize) FlatScrollBars().Uninitialize(wnd);
  if (adapter && adapter->Detached()) adapter.reset();
  if (!adapter && wnd)
    adapter =
        TskMainWnd::Make<TskScrollWnd>(wnd, data, data->SkinManager(), data->SkinSection(), true);
}

void UpdateEditAdapter(TsCommonData* data, std::unique_ptr<TskEditWnd>& adapter) {
  UpdateAdapterOf(data, adapter);
}

void UpdateTreeAdapter(TsCommonData* data, std::unique_ptr<TskTreeViewWnd>& adapter) {
  UpdateAdapterOf(data, adapter);
}

void RedrawFrame(HWND handle, bool frame) {
  if (frame)
    SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  else
    SendMessageA(handle, WM_NCPAINT, 1, 0);
}

void PrepareWindowCache(TsCommonData* data, HWND handle, bool inDialog) {
  if (!data || !data->BackgroundDirty || !handle) return;
  RECT r{};
  GetWindowRect(handle, &r);
  HWND parent = GetParent(handle);
  POINT pos{r.left, r.top};
  if (!parent || !ScreenToClient(parent, &pos)) return;
  TsWindowPlace place{.PosInParent = TPoint{pos.x, pos.y},
                      .Width = r.right - r.left,
                      .Height = r.bottom - r.top,
                      .InDialog = inDialog};
  GetWindowParentBackground(handle, place.Behind);
  const bool hot = GetFocus() == handle || data->HasFocus || data->MouseOver;
  PaintWindowCache(*data, place, hot, SysColor(COLOR_WINDOW));
  TControl* control = HostControlOf(*data);
  if (control && !control->Enabled() && data->CacheBitmap) {
    TsDisabledKind kind{dkBlended};
    SendSkinCmd(handle, CmdGetDisabledKind, reinterpret_cast<LPARAM>(&kind));
    TsBackgroundSource parentBg;
    data->GetParentBackground(parentBg);
    PaintDisabledEffect(data->CacheBitmap.get(), kind, GetControlBgColor(control->Parent()),
                        TPoint{control->Left(), control->Top()}, parentBg);
  }
  data->BackgroundDirty = false;
}

void BroadcastToChildrenOrWindows(TWinControl* control, HWND handle, const TSkinCmdMessage& m) {
  if (control) {
    ::BroadcastToChildren(control, m);
    return;
  }
  TMessage message{SM_SKINCMD, SkinCmdWParam(m.Cmd, m.LowWord), static_cast<LPARAM>(m.LParam), 0};
  BroadcastToChildWindows(handle, message);
}

void NotifyTopControlChanged(HWND handle) {
  HWND top = handle;
  while (HWND parent = GetParent(top)) top = parent;
  if (top) SendSkinCmd(top, CmdControlChanged, 0);
}

TWinControl* FindComponentByHandle(HWND handle, TComponent* owner) {
  if (!owner || !handle) return nullptr;
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* component = owner->Components(i);
    auto* windowed = dynamic_cast<TWinControl*>(component);
    if (windowed && windowed->HandleAllocated() && windowed->Handle() == handle) return windowed;
    if (TWinControl* found = FindComponentByHandle(handle, component)) return found;
  }
  return nullptr;
}

void SetControlOrdProperty(TControl* control, const std::string& name, int64_t value) {
  if (control && HasProperty(control, name)) SetOrdProperty(control, name, value);
}

TColor GetControlColorProperty(TControl* control, const std::string& name) {
  if (!control || !HasProperty(control, name)) return 0;
  return ColorToRGB(static_cast<TColor>(GetOrdProperty(control, name)));
}
