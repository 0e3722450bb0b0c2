#include "skin/adapters/skMnuWndWin32.h"

#include <utility>

#include "framework/FormsWin32.h"
#include "framework/HandlesWin32.h"
#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sColorsWin32.h"
#include "skin/core/runtime/sSkinMenusWin32.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "skin/forms/skDialsWin32.h"

namespace {

// The width of a popup menu window's frame, as the menu painter draws it.
constexpr int kMenuFrame = 3;

// A popup menu window answers only what the menu painter asks of it; every other command is
// swallowed, not passed to the system's menu procedure.
class TMenuCmdHandler : public TsSkinCmdHandler {
 public:
  TMenuCmdHandler(TsCommonData& data, TskMnuWnd& adapter, HWND wnd)
      : TsSkinCmdHandler(data), adapter_(adapter), wnd_(wnd) {}

 protected:
  bool OnIsSkinned(TSkinCmdMessage& m) override {
    m.Result = 1;
    return true;
  }
  // The painter asks whether the window was declared shown already.
  bool OnSetUpdating(TSkinCmdMessage& m) override {
    m.Result = adapter_.ShownFlag;
    return true;
  }
  bool OnMenuShown(TSkinCmdMessage&) override {
    if (IsWindowVisible(wnd_)) adapter_.ShownFlag = 1;
    return true;
  }
  bool OnGetApplication(TSkinCmdMessage& m) override {
    m.Result = reinterpret_cast<intptr_t>(Application);
    return true;
  }
  bool OnSkinChanged(TSkinCmdMessage&) override { return true; }
  bool OnRemoveSkin(TSkinCmdMessage&) override { return true; }
  bool OnRefresh(TSkinCmdMessage&) override { return true; }
  bool OnSetImmediatePaint(TSkinCmdMessage&) override { return true; }
  bool OnIsUpdating(TSkinCmdMessage&) override { return true; }
  bool OnIsPartlyHidden(TSkinCmdMessage&) override { return true; }
  bool OnRefreshSection(TSkinCmdMessage&) override { return true; }
  bool OnSetSection(TSkinCmdMessage&) override { return true; }
  bool OnBgChanged(TSkinCmdMessage&) override { return true; }
  bool OnIsBgGraphic(TSkinCmdMessage&) override { return true; }
  bool OnBgChangedRedraw(TSkinCmdMessage&) override { return true; }
  bool OnGetBgColor(TSkinCmdMessage&) override { return true; }
  bool OnSetPartlyHidden(TSkinCmdMessage&) override { return true; }
  bool OnGetSectionIndex(TSkinCmdMessage&) override { return true; }
  bool OnGetBgInfo(TSkinCmdMessage&) override { return true; }
  bool OnSkinState(TSkinCmdMessage&) override { return true; }
  bool OnSetPrintDC(TSkinCmdMessage&) override { return true; }

 private:
  TskMnuWnd& adapter_;
  HWND wnd_;
};

// Where the client area starts in the window.
TPoint ClientOrigin(HWND wnd) {
  POINT client{0, 0};
  RECT frame{};
  if (!ClientToScreen(wnd, &client) || !GetWindowRect(wnd, &frame)) return {kMenuFrame, kMenuFrame};
  return {client.x - frame.left, client.y - frame.top};
}

bool FreeingAll = false;

}  // namespace

std::vector<std::unique_ptr<TskMnuWnd>>& MenuAdapters() {
  static std::vector<std::unique_ptr<TskMnuWnd>> adapters;
  return adapters;
}

void TskMnuWnd::Start(bool repaint) {
  TskScrollWnd::Start(repaint);
  ShownFlag = 0;
}

bool TskMnuWnd::AnswerSkinCmd(TSkinCmdMessage& cmd) {
  TMenuCmdHandler handler(*commonData_, *this, windowHandle_);
  handler.Handle(cmd);
  // Trusted or not, the system's menu procedure never sees the command.
  return true;
}

void TskMnuWnd::PrepareCache() {
  ReadWindowGeometry();
  if (!commonData_->BackgroundDirty) return;
  commonData_->UpdateCacheSize();
  TBitmap* cache = commonData_->CacheBitmap.get();
  const int w = WindowSize().cx, h = WindowSize().cy;
  if (!cache || w <= 0 || h <= 0) return;
  if (cache->Width() != w || cache->Height() != h) cache->SetSize(w, h);
  PaintControlItem(*commonData_, TsBackgroundSource{}, cache,
                   TPoint{ScreenRect().Left - ParentScreenRect().Left,
                          ScreenRect().Top - ParentScreenRect().Top},
                   TRect{0, 0, w, h}, TsPaintState::Normal);
  FillTransparentCorners(TsPaintState::Normal);
  commonData_->BackgroundDirty = false;
}

void TskMnuWnd::EraseBackground(TMessage& m) {
  PrepareCache();
  TBitmap* cache = commonData_->CacheBitmap.get();
  HDC given = reinterpret_cast<HDC>(m.WParam);
  TWindowDC own;
  if (!given) own = TWindowDC(windowHandle_, false);
  HDC dc = given ? given : own.Get();
  if (dc && cache && !cache->Empty()) {
    // The cache holds the whole window; the client area starts inside its frame.
    const TPoint origin = ClientOrigin(windowHandle_);
    BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), origin.X, origin.Y,
           SRCCOPY);
  }
  ShownFlag = 0;
  m.Result = 0;
}

void TskMnuWnd::PaintFrame() {
  ReadWindowGeometry();
  TWindowDC dc(windowHandle_, true);
  if (!dc.Get()) return;
  // The menu painter's background of this popup gives the frame when it fits the window (it
  // is made at the window's size); else the adapter's own image does.
  if (manager_) {
    const TsMenuCache::Entry* entry =
        SkinableMenusOf(*manager_).Cache().FindByWindow(reinterpret_cast<uintptr_t>(windowHandle_));
    if (entry && entry->Image && entry->Image->Width() == WindowSize().cx &&
        entry->Image->Height() == WindowSize().cy) {
      CopyBorderFrame(dc.Get(), entry->Image->Canvas()->Handle(), entry->Image->Width(),
                      entry->Image->Height(), kMenuFrame);
      return;
    }
  }
  PrepareCache();
  TBitmap* cache = commonData_->CacheBitmap.get();
  if (cache && !cache->Empty())
    CopyBorderFrame(dc.Get(), cache->Canvas()->Handle(), cache->Width(), cache->Height(),
                    kMenuFrame);
}

void TskMnuWnd::WindowGoing(TMessage& m) {
  if (!Subclassed()) {
    m.Result = SendMessageA(windowHandle_, m.Msg, m.WParam, m.LParam);
    return;
  }
  m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
  TsSkinManager* manager = manager_;
  ReleaseScrollWindow(*this, false);
  ShownFlag = 0;
  if (manager) SkinableMenusOf(*manager).Cache().Clear();
  // From here on only what is copied to the stack is used: the adapter may be freed below.
  bool othersOpen = false;
  std::vector<HWND> open;
  for (const auto& adapter : MenuAdapters())
    if (adapter && !adapter->Detached()) open.push_back(adapter->WindowHandle());
  for (HWND wnd : open) {
    // A submenu closed while its parent stays open: the parent shows itself again.
    othersOpen = true;
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  }
  if (!othersOpen) FreeMenuAdapters();
  SkinnedMenuShowing = false;
}

void TskMnuWnd::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      WindowGoing(m);
      return;  // `this` may be gone
    case WM_TIMER:
      // The menu's own timers run first.
      m.Result = CallOldProc(m.Msg, m.WParam, m.LParam);
      break;
    case WM_ERASEBKGND:
      if (SkinnedMenuShowing && SkinLive()) {
        EraseBackground(m);
        return;
      }
      break;
    case WM_NCPAINT:
      if (SkinnedMenuShowing && SkinLive()) {
        PaintFrame();
        return;
      }
      break;
    default:
      break;
  }
  TskScrollWnd::WndProc(m);
}

void AttachMenuAdapter(HWND wnd) {
  TsSkinManager* manager = DefaultManager;
  if (!manager || !manager->Active() || !manager->SkinnedPopups() || !IsWindow(wnd)) return;
  try {
    MenuAdapters().push_back(TskMainWnd::Make<TskMnuWnd>(wnd, nullptr, manager, "MAINMENU", false));
  } catch (const Exception&) {
    // A menu whose window cannot be adopted keeps the system's frame.
  }
}

void FreeMenuAdapters() {
  if (FreeingAll) return;
  FreeingAll = true;
  // Taken out first: an adapter letting go may make the array be walked again.
  std::vector<std::unique_ptr<TskMnuWnd>> gone;
  gone.swap(MenuAdapters());
  for (auto& adapter : gone) ReleaseScrollAdapter(true, false, adapter);
  FreeingAll = false;
}

void InstallMenuAdapters() { SetPopupMenuAdapterHooks({&AttachMenuAdapter, &FreeMenuAdapters}); }

void RemoveMenuAdapters() {
  FreeMenuAdapters();
  SetPopupMenuAdapterHooks({});
}
