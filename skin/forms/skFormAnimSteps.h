// The arithmetic of the form animations: the title buttons' fade steps, the blend while a
// form is dragged, the minimize and restore flight toward the task bar (where it ends and
// how each frame lies), and how a task-bar button is read out of the shell's memory for
// either bitness. Portable: the animations' Win32 halves read the windows and show frames.
#pragma once

#include <cstdint>

#include "framework/Types.h"

// ---- the title buttons' fade
// The alpha one step adds: 255 over that many steps; with no steps (a time below one tick)
// the whole way at once.
int FadeStepAlpha(int steps);
// The alpha shown at a step of the fade, never above 255 nor below 0.
int FadeAlphaAt(int step, int steps);

// ---- the blend while a form is dragged
// How much the form's alpha falls per 12 ms tick on its way to targetAlpha within `time`
// ms: everything at once for a time of 12 ms or less.
int MoveBlendStep(int time, int targetAlpha);
// The next alpha on the way down to the target, never below it.
int NextMoveBlendAlpha(int alpha, int step, int targetAlpha);

// ---- minimizing toward the task bar
// The frames a minimize or restore of that many milliseconds takes (one per 12 ms tick); 0
// means the end state is shown at once.
int MinimizeSteps(int time);

enum class TskTaskBarEdge { Left = 1, Top = 2, Right = 4, Bottom = 8 };
// Which edge of the screen the task bar at that rectangle lies on.
TskTaskBarEdge TaskBarEdgeOf(const TRect& taskBar);
// The point on the task bar's inner edge a form centred at (centreX, centreY) flies to.
TPoint TaskBarEdgePoint(const TRect& taskBar, int centreX, int centreY);
// Where a form flies when the shell's windows cannot be found (as under Wine): a small
// rectangle at the bottom right of the work area, by the tray.
TRect TrayFallbackTarget(const TRect& workArea);

// One minimize (or, run backwards, restore) from the form's rectangle to the target.
struct TskMinimizePlan {
  TRect Start{};
  TRect Target{};
  int Steps = 0;
  int OpaqueAlpha = 255;
};
struct TskMinimizeFrame {
  TRect Rect{};  // where the shrinking image lies (screen)
  int Alpha = 0;
  friend bool operator==(const TskMinimizeFrame&, const TskMinimizeFrame&) = default;
};
// The frame after `step` steps of a minimize: the rectangle moves centre to centre and
// shrinks toward the target's size while the alpha falls from opaque to 0. Step Steps (and
// every step of a plan without steps) is the end: the target, alpha 0.
TskMinimizeFrame MinimizeFrameAt(const TskMinimizePlan& plan, int step);

// ---- a task-bar button in the shell's memory
// Where the fields of one tool-bar button record (TBBUTTON) lie for a process of that
// bitness: the record's size, its state and style bytes, and its data word (which holds the
// window the button stands for).
struct TskToolbarButtonLayout {
  int Size = 0;
  int StateOffset = 0;
  int StyleOffset = 0;
  int DataOffset = 0;
  int DataSize = 0;
  friend bool operator==(const TskToolbarButtonLayout&, const TskToolbarButtonLayout&) = default;
};
TskToolbarButtonLayout ToolbarButtonLayout(bool process64);
// A button the search passes over: a separator, group or drop-down, or a hidden one.
bool SkipsToolbarButton(uint8_t state, uint8_t style);
