// Small decisions shared by the skin provider, the window adapters and the skinned controls
// that need no window: whether a graphic child is painted with its parent's graphic
// children, where a client area lies in its window, and the steps of the animations that
// show, hide and cross-fade windows (each frame's alpha and where its image lies), with the
// seam through which every pushed frame can be watched. The flag that a window animation is
// painting off-screen, AnimationRunning, belongs to the form skinning (sFormSkinning.h).
#pragma once

#include "framework/Graphics.h"
#include "framework/Types.h"
#include "skin/core/painting/sFormSkinning.h"
#include "skin/core/skinfiles/sSkinManager.h"

// The tag of the program's own helper windows (output window, glows) that the dialog hook
// leaves alone.
constexpr int kDialogHookSkipTag = -98;

// What PaintGraphicChildren knows of one child control.
struct TGraphicChildFacts {
  bool Visible = false;
  bool Designing = false;
  bool Graphic = false;
  int Width = 0;
  int Height = 0;
  bool HiddenAtDesignTime = false;  // control style "not visible while designed"
  bool Destroying = false;
  bool PushToolButton = false;  // a tool button of a button, check or drop-down style
  bool BoundsVisibleInDC = false;
};

// A graphic child is painted when it shows (or is being designed), has an area, is not on
// its way out, is not a push tool button (those paint themselves) and shows in the DC.
bool IsPaintableGraphicChild(const TGraphicChildFacts& child);

// Offsets of the client area inside its window: the client origin on the screen less the
// window's top-left corner on the screen.
struct TClientPlacement {
  int ClientWidth = 0;
  int ClientHeight = 0;
  int ClientScreenX = 0;
  int ClientScreenY = 0;
  int WindowScreenX = 0;
  int WindowScreenY = 0;
};
struct TClientRectInWindow {
  int Left, Top, Right, Bottom;
};
TClientRectInWindow ClientRectInWindow(const TClientPlacement& p);

// ---- showing, hiding and cross-fading windows

// One frame of a window animation lasts this long.
constexpr int kAnimationFrameTime = 12;
// The frames an animation of `time` milliseconds takes: one per frame time, none below it.
int AnimationFrames(int time);

enum class TskAnimDirection {
  FormShow,    // alpha rises to the value in N steps (the last frame already there)
  DialogShow,  // alpha rises to the value in N + 1 steps
  Hide,        // alpha falls from the start alpha to 0 in N steps
};

// What one frame shows: its alpha and where the snapshot lies in the frame image (zoom), or
// that the snapshot is copied unscaled (fading, or a zoom already past full size).
struct TskAnimFrame {
  int Alpha = 0;
  TRect ImageRect{};
  bool Stretched = false;
  friend bool operator==(const TskAnimFrame&, const TskAnimFrame&) = default;
};

// The frames of one animation of a W x H snapshot: N = AnimationFrames(time), frames 0 to N
// (N + 1 of them) when N is at least 1, none otherwise (the end state is shown at once).
// Showing, the zoom grows from three quarters of the size, centred, to the full size;
// hiding, it shrinks from the full size to three quarters.
class TskAnimationSteps {
 public:
  TskAnimationSteps(TskAnimDirection direction, TskAnimType mode, int time, int value, int width,
                    int height);
  int Frames() const { return frames_; }
  int FrameCount() const { return frames_ > 0 ? frames_ + 1 : 0; }
  // The alpha added (showing) or taken (hiding) per frame.
  double AlphaStep() const { return step_; }
  TskAnimFrame FrameAt(int index) const;
  // The alpha the window ends with: the value when showing, 0 when hiding.
  int FinalAlpha() const;

 private:
  TskAnimDirection direction_;
  TskAnimType mode_;
  int frames_;
  int value_;
  int width_, height_;
  double step_ = 0;
};

// While a form's border window cross-fades to a new skin, the previous border window shows
// the old image at this alpha when the new one shows `alpha` of `value`.
int CrossFadeOldAlpha(int value, int alpha);
// The share of the old image (of 256) that frame `index` of `frames` mixes into the new one
// where layered windows are missing: 255 less a step of 255 div N per frame, never below 0.
int MixOldShareAt(int index, int frames);
// One channel of such a mix: new + (old - new) x share / 256, rounded down.
int MixChannel(int oldValue, int newValue, int share);

// Every frame an animation puts on screen goes to the frame sink as well, when one is set, so
// that a test reads what the animation showed without timing it.
// A control's change mixes the old picture into the new one: its Alpha is the new one's
// share (255 less the old one's).
enum class TskAnimKind { FormShow, FormHide, SkinChange, ControlChange, DialogShow };
struct TskPushedFrame {
  TskAnimKind Kind = TskAnimKind::FormShow;
  TWindowKey Window = 0;  // the cover (or border) window the frame went to
  int Index = 0;          // the frame's number; -1 for the end state pushed after the frames
  int Alpha = 0;
  const TBitmap* Image = nullptr;  // the frame as pushed (32 bits per pixel)
};
class IskAnimationFrameSink {
 public:
  virtual ~IskAnimationFrameSink() = default;
  virtual void FramePushed(const TskPushedFrame& frame) = 0;
};
// The sink every pushed frame goes to (null: none, the default).
void SetAnimationFrameSink(IskAnimationFrameSink* sink);
IskAnimationFrameSink* AnimationFrameSink();
