// Window adapters, Win32 half: the base of every adapter that takes over an existing window
// (a dialog's child, a combo box's list, a foreign control) and paints it from the skin while
// the window keeps its own behaviour. An adapter hooks its window through the comctl32
// subclass chain, finds itself again through the window property "ACSBSC", answers the skin
// command for the window, prepares its cache image and lets go of the window when it is
// destroyed. It never frees itself: its owner does, also after the window is gone.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/ControlsWin32.h"
#include "framework/WindowSubclassWin32.h"
#include "skin/adapters/skSBUtils.h"
#include "skin/core/sCommonData.h"

class TsSkinManager;

// The window property through which an adapted window names its adapter.
inline constexpr const char* AdapterPropName = "ACSBSC";

// user32's and comctl32's optional functions, bound once on first use; null when missing
// (callers skip them then).
using TGetScrollBarInfoFn = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
using TFlatSBFn = BOOL(WINAPI*)(HWND);
struct TAdapterSystemFunctions {
  TGetScrollBarInfoFn GetScrollBarInfo = nullptr;
  TFlatSBFn InitializeFlatSB = nullptr;
  TFlatSBFn UninitializeFlatSB = nullptr;
};
const TAdapterSystemFunctions& AdapterSystemFunctions();

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
  void FillTransparentCorners(int state);

  bool InDialog = false;
  std::string CaptionText;
  TRect ScreenRect{};
  TSize WindowSize{};
  TPoint PosInParent{};
  TRect ParentScreenRect{};
  HWND ParentHandle = nullptr;
  HWND WindowHandle = nullptr;
  TsSkinManager* Manager = nullptr;
  TsCommonData* CommonData = nullptr;
  bool SendingScroll = false;
  bool ColorsApplied = false;
  TColor SavedColor = clNone;
  TColor SavedFontColor = clNone;
  bool Detached = false;
  bool OwnsCommonData() const { return ownData_ != nullptr; }
  bool Subclassed() const { return subclass_.Attached() || hookedControl_ != nullptr; }

 protected:
  TskMainWnd(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
             const std::string& section);
  // The rest of construction, once the derived class exists: colours saved, caption read,
  // the window hooked.
  virtual void Start(bool repaint);
  virtual void SaveColors() {}
  void RestoreColors() override {}
  virtual void ApplySkinColors() { ColorsApplied = true; }
  // The window procedure: answers in message.Result; what it does not answer goes on through
  // CallOldProc.
  virtual void WndProc(TMessage& message);

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

  TWindowSubclass subclass_;
  // The host control whose WindowProc the adapter replaced. The method in the control's chain
  // shares this state: once the adapter is gone it only passes messages to the saved method.
  struct THookState {
    TskMainWnd* Adapter;
    TWndMethod Saved;
  };
  TControl* hookedControl_ = nullptr;
  std::shared_ptr<THookState> hook_;
  // A control's window goes without its WindowProc hearing it: the adapter lets go then.
  TWindowEventSubscription destroyWatch_;
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
  if (!adapter->Detached) adapter->Release(frame);
  if (freeIt) adapter.reset();
}
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

// ---- skinned scroll bars -----------------------------------------------------------------------

// The adapter that replaces a window's standard scroll bars by skinned ones. The window keeps
// its WS_HSCROLL/WS_VSCROLL styles and scroll information; the adapter takes the bars' space
// out of the client area, paints the bars and the corner square into the non-client area and
// runs the mouse on them itself. Base of every scrolling adapter.
class TskScrollWnd : public TskMainWnd {
 public:
  ~TskScrollWnd() override;
  // Reads both bars' scroll information and, with repaint, paints them. Nothing while the
  // window is hidden or its painting suspended.
  void UpdateScrollBars(bool repaint);
  // Screen rectangles of the bars (empty along their thickness when a bar is not shown).
  TRect GetHorzBarRect() const;
  TRect GetVertBarRect() const;
  // The bar of that kind; false for kinds other than 0 and 1.
  bool GetBarRect(int kind, TRect& rect) const;
  // Both bars and the corner square into dc (null: the window DC). thumbPos -1: the thumb at
  // its scroll position; else where the thumb starts, in window coordinates.
  void PaintBars(HDC dc, int thumbPos = -1);
  // The square between the bars (screen rectangle) is the size grip of the window's top-level
  // parent.
  bool IsGripCorner(const TRect& square) const;

  std::unique_ptr<TskScrollBar> HorzBar;
  std::unique_ptr<TskScrollBar> VertBar;
  bool DraggingThumb = false;
  bool LeftScrollBar = false;
  int EdgeLeft = 0, EdgeRight = 0, EdgeTop = 0, EdgeBottom = 0;
  bool InternalChange = false;

 protected:
  friend class TskMainWnd;
  using TskMainWnd::TskMainWnd;
  void Start(bool repaint) override;
  void WndProc(TMessage& message) override;

 private:
  void InitBars(HWND handle, bool repaint);
  void ReserveBarSpace(TMessage& message);
  TScrollBarLayout Layout() const;
  // The mouse on the bars.
  LRESULT BarHitTest(TPoint screen);
  void BarNcMouseMove(TMessage& message);
  void BarMouseDown(TMessage& message);
  void BarMouseMove(TMessage& message);
  void BarMouseUp(TMessage& message);
  void BarTimer(TMessage& message);
  TskScrollBar& BarOfKind(int kind) { return kind == 0 ? *HorzBar : *VertBar; }
  bool BarUsable(int kind);
  // The pressed part follows the mouse: drawn pressed while the mouse is on it.
  void TrackPressedPart(TPoint screen);
  void DragThumb(TPoint screen);
  // One bar painted again into the window DC, with that part pressed.
  void RepaintBar(int kind, int pressedPart, int thumbPos = -1);
  // The press and hover of this window forgotten, their timers stopped.
  void StopTracking();
};

// A bar's thickness (across) or arrow length (along; with useSkin the skin's arrow size
// counts).
int GetScrollBarSize(const TskScrollBar& bar, bool across, bool useSkin);
// The bar can be used: the system does not report it unavailable (without GetScrollBarInfo:
// the window style has the bar).
bool IsScrollBarActive(const TskScrollBar& bar);
// One bar painted into dc at rect (window coordinates), with pressedPart drawn pressed.
void PaintScrollBar(TskScrollBar& bar, HWND handle, HDC dc, int thumbPos, int pressedPart,
                    const TRect& rect);
// The horizontal (0) or vertical (1) bar of the window's scroll adapter; null without one.
TskScrollBar* GetScrollBarObject(HWND handle, int kind);
// MinThumbLength of the horizontal (0), vertical (1) or both (3) bars of the window's adapter.
void SetMinThumbLength(HWND handle, int which, int value);

// One scroll message for the window: CmdBeforeScroll first (a window that answers 1 scrolls
// itself and gets the full position in LParam), else the thumb-track position is set in the
// window's scroll information and travels in the high word; CmdAfterScroll last.
void SendScrollMessage(HWND handle, UINT msg, int code, int pos);

// The mouse on the skinned bars: one press or hover at a time for the whole program.
struct TScrollTrackState {
  HWND TrackWindow = nullptr;
  int TrackBar = -1;
  int PressedPart = -1;
  int DownPart = -1;
  UINT ScrollMessage = 0;
  UINT_PTR RepeatTimer = 0;
  int LastTrackPos = -1;
  int DownThumbLength = 0;
  int DownThumbPos = 0;
  TRect DownBarRect{};
  int GrabOffset = 0;
  int HoverBar = -1;
  int HoverPart = -1;
  int LastHoverPart = -1;
  UINT_PTR HoverTimer = 0;
  TRect HoverRect{};
};
extern TScrollTrackState ScrollTrackState;
