// The extended border window: a borderless, layered tool window owned by a skinned window
// (its owner) and lying right above it in the z-order, that shows the owner's whole frame image
// with per-pixel alpha: the skin's wider border and title and the shadow around them. It follows
// the owner when it moves, sizes, hides, minimizes and goes, answers hit tests for the frame it
// shows (the owner's own frame is cut away by the owner's region), and hands clicks on the
// shadow to the window below.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/FormsWin32.h"
#include "framework/Graphics.h"
#include "skin/forms/skBorderGeometry.h"

// What the border window asks of its owner (a skinned form's provider).
class IskBorderOwner {
 public:
  virtual ~IskBorderOwner() = default;
  // The owner's window; null while it has none.
  virtual HWND OwnerHandle() const = 0;
  // The owner's facts with the border window counted in.
  virtual TsFormFacts OwnerFacts() const = 0;
  // The owner's frame image, rebuilt first when it is out of date; null when there is none.
  // `rebuilt` is set when it was rebuilt.
  virtual TBitmap* OwnerImage(TSize& size, bool& rebuilt) = 0;
  // False while the owner may not be shown now (its skin is changing, it is animating, it
  // paints no frame).
  virtual bool BorderUpdatesAllowed() const = 0;
  // The owner's frame-flag bits (an animation shows the whole image while one runs).
  virtual unsigned OwnerState() const = 0;
  // The title button under a point of the image (its hit code), 0 for none.
  virtual int TitleButtonAt(TPoint imagePoint) const = 0;
  // The title icon in image coordinates; empty when none.
  virtual TRect IconRect() const = 0;
  // The form's own alpha (AlphaBlendValue) when it blends, else -1.
  virtual int OwnerAlpha() const { return -1; }
  // The hot title button changed (0: none).
  virtual void SetHotButton(int /*code*/) {}
  // The title buttons' fades end: the frame image below them changed.
  virtual void FreeButtonAnimations() {}
};

// Owner-state bits: an animation shows the owner's whole image in the border window.
constexpr unsigned BorderStateLiveResize = 0x1;
constexpr unsigned BorderStateWholeImage = 0x80 | 0x100 | 0x1000 | 0x200;

class TskBorderForm {
 public:
  explicit TskBorderForm(IskBorderOwner& owner);
  ~TskBorderForm();
  TskBorderForm(const TskBorderForm&) = delete;
  TskBorderForm& operator=(const TskBorderForm&) = delete;

  // Shows, places and repaints the window behind the owner: with rebuild (or a new size)
  // the image is pushed again with the given alpha; otherwise the window only moves.
  void UpdateExBorder(bool rebuild, int alpha);
  // The window's region: the whole window less the owner's client area (nothing cut out
  // while an animation shows the whole image); the caller owns the region.
  HRGN CreateRegion() const;
  // The hit-test code of a screen point; -1 when the owner is disabled.
  int HitTest(POINT screenPoint);
  // The point (the border window's coordinates) lies in the shadow.
  bool IsOutsideFrame(POINT windowPoint) const;

  HWND Handle() const;
  TForm* BorderWindow() const { return window_; }
  bool Showing() const { return showing_; }
  void SetShowing(bool value) { showing_ = value; }
  // How many shadow mouse messages were handed to another window (tests read it).
  int PassedMouseMessages() const { return passed_; }

 private:
  void CreateBorderWindow();
  void BorderWndProc(TMessage& m);
  // A mouse message on the shadow goes to the window under it, in that window's own
  // coordinates.
  void PassMouseOn(TMessage& m);
  // A double click on a sizing edge stretches the owner over the work area or gives back
  // what it was; false for other codes and owners that cannot be sized.
  bool StretchOnDoubleClick(int code);
  TSize WindowSize() const;
  // Sets the window's region when it differs from the one it has.
  void ApplyRegion();
  TskBorderRegion CurrentRegionPlan(TSize windowSize) const;
  // The window the border window is placed after in the z-order.
  HWND BorderPlaceAfter(HWND ownerWnd) const;

  IskBorderOwner& owner_;
  TForm* window_ = nullptr;
  TWndMethod previousProc_;
  HWND previousOwnerWindow_ = nullptr;
  // What the window shows: the image with the owner's client area cleared.
  std::unique_ptr<TBitmap> shownImage_;
  TskEdgeStretch stretch_;
  // The region the window has (valid while regionApplied_).
  TskBorderRegion appliedRegion_{};
  bool regionApplied_ = false;
  bool showing_ = false;
  bool passingMouse_ = false;
  int inProc_ = 0;
  int passed_ = 0;
};
