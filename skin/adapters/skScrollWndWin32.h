// The scrolling adapter: the base of every adapter whose window has scroll bars. It replaces the
// window's standard bars by skinned ones and runs the mouse on them; the bars' geometry is
// skScrollBar.h, their painting skScrollBarPaint.h.
#pragma once

#include <windows.h>

#include <memory>

#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/adapters/skScrollBar.h"
#include "skin/adapters/skScrollBarPaint.h"

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
