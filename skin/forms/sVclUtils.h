// Small decisions shared by the skin provider, the window adapters and the skinned controls
// that need no window: whether a graphic child is painted with its parent's graphic
// children, and where a client area lies in its window. The flag that a window animation is
// painting off-screen, AnimationRunning, belongs to the form skinning (sFormSkinning.h).
#pragma once

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
