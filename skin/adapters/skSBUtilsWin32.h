// Window adapters, Win32 half: the base of every adapter that takes over an existing window
// (a dialog's child, a combo box's list, a foreign control) and paints it from the skin while
// the window keeps its own behaviour. An adapter hooks its window through the comctl32
// subclass chain, finds itself again through the window property "ACSBSC", answers the skin
// command for the window, prepares its cache image and lets go of the window when it is
// destroyed. It never frees itself: its owner does, also after the window is gone.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/ControlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skSBUtils.h"
#include "skin/core/painting/sCommonData.h"

class TsSkinManager;
class TskScrollWnd;
class TskEditWnd;
class TskTreeViewWnd;

// The window property through which an adapted window names its adapter.
inline constexpr const char* AdapterPropName = "ACSBSC";

// Where an adapter sits in its window's message path: the one way every adapter adopts a
// window. A window with a framework control is adopted through the control's WindowProc, so
// messages the program hands the control directly (Perform) reach the adapter too, and the
// control's window going away is reported; any other window through its subclass chain.
class TAdapterHook {
 public:
  using THandler = std::function<void(TMessage&)>;
  TAdapterHook() = default;
  TAdapterHook(const TAdapterHook&) = delete;
  TAdapterHook& operator=(const TAdapterHook&) = delete;
  ~TAdapterHook() { Detach(); }

  // `handler` gets every message first; `destroyed` runs when a control's window is destroyed
  // without its WindowProc hearing it.
  void Attach(HWND handle, TControl* control, THandler handler, std::function<void()> destroyed);
  // The message to the procedures below the hook (the window's own behaviour); 0 unattached.
  LRESULT CallNext(UINT msg, WPARAM wParam, LPARAM lParam);
  // Takes the hook out wherever it sits in its chain, even under later hooks.
  void Detach();
  bool Attached() const { return subclass_.Attached() || control_ != nullptr; }

 private:
  TWindowSubclass subclass_;
  // The method in the control's chain shares this state: once the hook is gone it only passes
  // messages to the saved method.
  struct TControlHook {
    THandler Handler;
    TWndMethod Saved;
    bool Active = true;  // cleared, never the handler: it may be running
  };
  TControl* control_ = nullptr;
  std::shared_ptr<TControlHook> controlHook_;
  TWindowEventSubscription destroyWatch_;
};

class TskMainWnd : private IAdapterWindow {
 public:
  // Adopts `handle`: `skinData` is the skin data to paint with (null: the adapter makes its
  // own, with a cache image); a null `manager` follows the skin data's. `section` is taken
  // when the skin data names none. `repaint` is for scrolling adapters.
  template <class TAdapter, class... TArgs>
  static std::unique_ptr<TAdapter> Make(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                        const std::string& section, bool repaint, TArgs&&... args) {
    auto adapter = std::unique_ptr<TAdapter>(
        new TAdapter(handle, skinData, manager, section, std::forward<TArgs>(args)...));
    adapter->Start(repaint);
    return adapter;
  }
  ~TskMainWnd() override;
  TskMainWnd(const TskMainWnd&) = delete;
  TskMainWnd& operator=(const TskMainWnd&) = delete;

  // Hooks the window and names the adapter in its property. With a host control the adapter
  // takes over the control's WindowProc, so messages the program hands the control directly
  // reach it too; any other window is hooked through its subclass chain.
  void Subclass(HWND handle);
  // The message to the procedures below the adapter (the window's own behaviour).
  LRESULT CallOldProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Lets go of the window: unhooked, the property removed (when it still names this adapter),
  // colours and visual theme given back, the frame redrawn when visible. The adapter stays.
  void Release(bool frame);
  // Reads the window's place: ScreenRect, WindowSize, ParentHandle, ParentScreenRect,
  // PosInParent.
  void ReadWindowGeometry();
  // The open corner pixels of the border mask's `state` image in the cache show the parent's
  // background (after ReadWindowGeometry).
  void FillTransparentCorners(TsPaintState state);

  // The adapter belongs to a standard dialog being skinned (DialogAdapterMode at creation).
  bool InDialog() const { return inDialog_; }
  // The window text, read at creation and after each WM_SETTEXT.
  const std::string& CaptionText() const { return captionText_; }
  // The window's place at the last ReadWindowGeometry.
  const TRect& ScreenRect() const { return screenRect_; }
  const TSize& WindowSize() const { return windowSize_; }
  const TPoint& PosInParent() const { return posInParent_; }
  const TRect& ParentScreenRect() const { return parentScreenRect_; }
  HWND ParentHandle() const { return parentHandle_; }
  HWND WindowHandle() const { return windowHandle_; }
  TsSkinManager* Manager() const { return manager_; }
  // Never null between construction and destruction.
  TsCommonData* CommonData() const { return commonData_; }
  // A scroll message is being delivered to the window by a skinned bar.
  bool SendingScroll() const { return sendingScroll_; }
  bool ColorsApplied() const { return colorsApplied_; }
  // The adapter has let go of its window.
  bool Detached() const { return detached_; }
  bool OwnsCommonData() const { return ownData_ != nullptr; }
  bool Subclassed() const { return hook_.Attached(); }

 protected:
  HWND windowHandle_ = nullptr;
  TsSkinManager* manager_ = nullptr;
  TsCommonData* commonData_ = nullptr;
  bool sendingScroll_ = false;
  // Kept by the derived adapters: ApplySkinColors has run; the window's own colours.
  bool colorsApplied_ = false;
  TColor SavedColor = clNone;
  TColor SavedFontColor = clNone;

  TskMainWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
             const std::string& section);
  // Still hooked, with skin data and a manager, and the skin on: the window procedures paint
  // from the skin only then.
  bool SkinLive() const {
    return !Detached() && commonData_ && manager_ && commonData_->IsSkinned();
  }
  // The command came from one of our own senders on this thread and names this adapter's
  // manager: its refresh (or removal) of the skin, not another manager's or a forged one.
  bool IsOwnRefresh(const TSkinCmdMessage& cmd) const {
    return IsSkinCmdTrusted(cmd) && cmd.LParam == reinterpret_cast<intptr_t>(manager_);
  }
  // The rest of construction, once the derived class exists: colours saved, caption read,
  // the window hooked.
  virtual void Start(bool repaint);
  virtual void SaveColors() {}
  void RestoreColors() override {}
  virtual void ApplySkinColors() { colorsApplied_ = true; }
  // The window procedure: answers in message.Result; what it does not answer goes on through
  // CallOldProc.
  virtual void WndProc(TMessage& message);
  // The adapter's answer to a trusted skin command (true: answered, in cmd.Result). An adapter
  // that answers some commands differently overrides it with a handler derived from
  // TskAdapterCmdHandler.
  virtual bool AnswerSkinCmd(TSkinCmdMessage& cmd);
  IAdapterWindow& AdapterWindow() { return *this; }

 private:
  void CommonPart(TMessage& message);
  void ReleaseOnDestroy() noexcept;
  // IAdapterWindow
  void BroadcastToChildren(const TSkinCmdMessage& message) override;
  bool IsVisible() const override;
  void Repaint() override;
  void RedrawAll() override;
  void PrepareCache() override;
  intptr_t OwnBgColorAnswer() override;
  bool HasHostControl() const override;
  intptr_t ApplicationObject() const override;

  TAdapterHook hook_;
  bool inDialog_ = false;
  std::string captionText_;
  TRect screenRect_{};
  TSize windowSize_{};
  TPoint posInParent_{};
  TRect parentScreenRect_{};
  HWND parentHandle_ = nullptr;
  bool detached_ = false;
  std::unique_ptr<ISkinDataHost> ownHost_;
  std::unique_ptr<TsCommonData> ownData_;
  bool themeOff_ = false;
};

// The live adapter named by the window's "ACSBSC" property; null when there is none or the
// property holds anything else.
TskMainWnd* GetWindowAdapter(HWND handle);
// Release of an adapter without scroll bars; with freeIt the adapter is freed too.
template <class TAdapter>
void ReleaseAdapter(bool freeIt, bool frame, std::unique_ptr<TAdapter>& adapter) {
  if (!adapter) return;
  if (!adapter->Detached()) adapter->Release(frame);
  if (freeIt) adapter.reset();
}
// A scrolling adapter lets go of its window and frees its bars.
void ReleaseScrollWindow(TskScrollWnd& adapter, bool frame);
// Release of a scrolling adapter (ReleaseScrollWindow when still attached); with freeIt the
// adapter is freed too.
template <class TAdapter>
void ReleaseScrollAdapter(bool freeIt, bool frame, std::unique_ptr<TAdapter>& adapter) {
  if (!adapter) return;
  if (!adapter->Detached()) ReleaseScrollWindow(*adapter, frame);
  if (freeIt) adapter.reset();
}
// What a skinned control calls when the skin comes, changes or goes, with its skin data and
// the variable that holds its adapter: with the skin on, an adapter that let go of its window
// is replaced by a new one and a missing one made; with the skin off, the adapter is freed.
// The scroll adapter also switches comctl32's flat bars off while skinned, on again after, and
// does nothing while its control is loading, being destroyed or designed.
void UpdateScrollAdapter(TsCommonData* skinData, std::unique_ptr<TskScrollWnd>& adapter);
void UpdateEditAdapter(TsCommonData* skinData, std::unique_ptr<TskEditWnd>& adapter);
void UpdateTreeAdapter(TsCommonData* skinData, std::unique_ptr<TskTreeViewWnd>& adapter);
// frame: the window recomputes and repaints its non-client area (SWP_FRAMECHANGED); else
// WM_NCPAINT is sent.
void RedrawFrame(HWND handle, bool frame);
// The skin data's cache image for the window, when its background is dirty: at the window's
// size, over what its parent shows; with a disabled host control, its disabled look.
// Nothing (the background stays dirty) for a window without a parent.
void PrepareWindowCache(TsCommonData* data, HWND handle, bool inDialog);
// With a control: BroadcastToChildren; without: BroadcastToChildWindows.
void BroadcastToChildrenOrWindows(TWinControl* control, HWND handle, const TSkinCmdMessage& m);
// CmdControlChanged to the top window of `handle`'s parent chain.
void NotifyTopControlChanged(HWND handle);
// The first windowed control with that window among the components `owner` owns, each
// component's own components searched right after it (depth first); null when none.
TWinControl* FindComponentByHandle(HWND handle, TComponent* owner);
// The control's published ordinal property `name` set to `value`, when it has one.
void SetControlOrdProperty(TControl* control, const std::string& name, int64_t value);
// The RGB value of the control's published colour property `name`; 0 without it.
TColor GetControlColorProperty(TControl* control, const std::string& name);
