// The scrolling adapter: the base of every adapter whose window has scroll bars. It replaces the
// window's standard bars by skinned ones and runs the mouse on them; the bars' geometry is
// skScrollBar.h, their painting skScrollBarPaint.h.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

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
  // The screen rectangle of the bar of that kind.
  TRect GetBarRect(TScrollBarKind kind) const;
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

  // The last picture composed of each bar and what it shows: a bar repainted unchanged (the
  // common case while scrolling a long text, whose thumb moves a pixel in thousands of lines)
  // is copied, not composed again.
  struct TBarPicture {
    std::unique_ptr<TBitmap> Image;
    TScrollBarPictureKey Key;
  };
  TBarPicture& PictureOf(TScrollBarKind kind) {
    return pictures_[kind == TScrollBarKind::Vertical ? 1 : 0];
  }
  // Counts the events after which the bars may look different with the same key: the skin,
  // the window's size or place, a whole repaint of its frame.
  uint64_t PictureGeneration() const { return pictureGeneration_; }

 protected:
  friend class TskMainWnd;
  using TskMainWnd::TskMainWnd;
  void Start(bool repaint) override;
  void WndProc(TMessage& message) override;
  // The bars' space taken out of the client area the window's own procedure computes.
  void ReserveBarSpace(TMessage& message);
  // The mouse on the bars.
  LRESULT BarHitTest(TPoint screen);
  void BarMouseDown(TMessage& message);
  void BarMouseUp(TMessage& message);
  // A window whose own behaviour needs the mouse capture after a press on a bar ended (a
  // combo box's drop-down list tracks the mouse until it closes).
  virtual bool KeepsCaptureAfterBarPress() const { return false; }

 private:
  void InitBars(HWND handle, bool repaint);
  TScrollBarLayout Layout() const;
  void BarNcMouseMove(TMessage& message);
  void BarMouseMove(TMessage& message);
  void BarTimer(TMessage& message);
  TskScrollBar& BarOfKind(TScrollBarKind kind) {
    return kind == TScrollBarKind::Horizontal ? *HorzBar : *VertBar;
  }
  bool BarUsable(TScrollBarKind kind);
  // The pressed part follows the mouse: drawn pressed while the mouse is on it.
  void TrackPressedPart(TPoint screen);
  void DragThumb(TPoint screen);
  // One bar painted again into the window DC, with that part pressed.
  void RepaintBar(TScrollBarKind kind, TScrollBarPart pressedPart, int thumbPos = -1);
  // The press and hover of this window forgotten, their timers stopped.
  void StopTracking();
  // The one press and hover of the program; only scrolling adapters change it.
  static class TScrollTrackState& Tracking();
  friend const TScrollTrackState& ScrollTrackState();

  TBarPicture pictures_[2];
  uint64_t pictureGeneration_ = 0;
};

// A bar's thickness (across) or arrow length (along; with useSkin the skin's arrow size
// counts).
int GetScrollBarSize(const TskScrollBar& bar, bool across, bool useSkin);
// The bar can be used: the system does not report it unavailable (without GetScrollBarInfo:
// the window style has the bar).
bool IsScrollBarActive(const TskScrollBar& bar);
// One bar painted into dc at rect (window coordinates), with pressedPart drawn pressed.
void PaintScrollBar(TskScrollBar& bar, HWND handle, HDC dc, int thumbPos,
                    TScrollBarPart pressedPart, const TRect& rect);
// The horizontal (0) or vertical (1) bar of the window's scroll adapter; null without one.
TskScrollBar* GetScrollBarObject(HWND handle, int kind);
// MinThumbLength of the horizontal (0), vertical (1) or both (3) bars of the window's adapter.
void SetMinThumbLength(HWND handle, int which, int value);

// One scroll message for the window: CmdBeforeScroll first (a window that answers 1 scrolls
// itself and gets the full position in LParam), else the thumb-track position is set in the
// window's scroll information and travels in the high word; CmdAfterScroll last.
void SendScrollMessage(HWND handle, UINT msg, int code, int pos);

// The mouse on the skinned bars: one press or hover at a time for the whole program. The
// scrolling adapter that sees it starts, follows and ends it here; everybody else only reads.
class TScrollTrackState {
 public:
  // The window that last saw the mouse on a bar: only it draws hot and pressed looks.
  HWND TrackWindow() const { return trackWindow_; }
  // The bar and part of the press (none between presses), the part drawn pressed (none while
  // the mouse is off the pressed part).
  std::optional<TScrollBarKind> TrackBar() const { return trackBar_; }
  TScrollBarPart DownPart() const { return downPart_; }
  TScrollBarPart PressedPart() const { return pressedPart_; }
  TScrollBarPart PressedPartOf(TScrollBarKind bar) const {
    return trackBar_ == bar ? pressedPart_ : TScrollBarPart::None;
  }
  // The bar and part under the mouse while the hover timer runs.
  std::optional<TScrollBarKind> HoverBar() const { return hoverBar_; }
  TScrollBarPart HoverPart() const { return hoverPart_; }
  // During a thumb drag: the position sent before the one being delivered now.
  int LastTrackPos() const { return lastTrackPos_; }

 private:
  friend class TskScrollWnd;
  HWND trackWindow_ = nullptr;
  std::optional<TScrollBarKind> trackBar_;
  TScrollBarPart pressedPart_ = TScrollBarPart::None;
  TScrollBarPart downPart_ = TScrollBarPart::None;
  UINT scrollMessage_ = 0;  // WM_HSCROLL or WM_VSCROLL for the press
  UINT_PTR repeatTimer_ = 0;
  int lastTrackPos_ = -1;  // the last thumb position sent during a drag
  // The thumb and the bar at the press (screen coordinates), the mouse's distance from the
  // thumb's start then.
  int downThumbLength_ = 0;
  int downThumbPos_ = 0;
  TRect downBarRect_{};
  int grabOffset_ = 0;
  std::optional<TScrollBarKind> hoverBar_;
  TScrollBarPart hoverPart_ = TScrollBarPart::None;
  TScrollBarPart lastHoverPart_ = TScrollBarPart::None;
  UINT_PTR hoverTimer_ = 0;
  TRect hoverRect_{};
};
const TScrollTrackState& ScrollTrackState();
