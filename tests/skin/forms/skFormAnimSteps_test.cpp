// The form animations' arithmetic as tables: fade steps (a time below one tick shows the end
// at once instead of dividing by zero), the drag blend's step, the minimize frames toward the
// task bar, the task bar's edge and its point, the fallback by the tray, and the tool-bar
// button record of a 32-bit and a 64-bit shell.
#include "skin/forms/skFormAnimSteps.h"

#include <gtest/gtest.h>

namespace {

TEST(FormAnimSteps, FadeStepsAndTheirAlphas) {
  struct Case {
    int steps, step, alpha;
  };
  const Case cases[] = {
      {10, 1, 25},
      {10, 5, 125},
      {10, 10, 250},
      {10, 11, 255},
      {10, -1, 0},
      {1, 1, 255},
      {3, 2, 170},
      // No steps (a fade shorter than one tick): the end state at once, no division by zero.
      {0, 0, 255},
      {0, 3, 255},
      {-2, 1, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.steps << " steps, step " << c.step);
    EXPECT_EQ(FadeAlphaAt(c.step, c.steps), c.alpha);
  }
  EXPECT_EQ(FadeStepAlpha(10), 25);
  EXPECT_EQ(FadeStepAlpha(0), 255);
}

TEST(FormAnimSteps, TheDragBlendReachesItsTargetWithinItsTime) {
  struct Case {
    int time, target, step;
  };
  // 100 ms to 170: round(85 / (100 / 12)) = 10; 12 ms or less: the whole way in one step.
  const Case cases[] = {{100, 170, 10}, {12, 170, 85}, {0, 170, 85},  {13, 170, 78},
                        {1000, 170, 1}, {1000, 0, 3},  {100, 255, 0}, {200, 100, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.time << " ms to " << c.target);
    EXPECT_EQ(MoveBlendStep(c.time, c.target), c.step);
  }
  // Ticks go down by the step and stop at the target.
  int alpha = 255, ticks = 0;
  while (alpha > 170 && ticks < 100) {
    alpha = NextMoveBlendAlpha(alpha, MoveBlendStep(100, 170), 170);
    ++ticks;
  }
  EXPECT_EQ(alpha, 170);
  EXPECT_EQ(ticks, 9);
  EXPECT_EQ(NextMoveBlendAlpha(170, 10, 170), 170);
  EXPECT_EQ(NextMoveBlendAlpha(200, 0, 170), 199) << "a zero step must still move";
}

TEST(FormAnimSteps, MinimizeFramesFlyFromTheFormToTheTarget) {
  EXPECT_EQ(MinimizeSteps(200), 16);
  EXPECT_EQ(MinimizeSteps(11), 0);
  EXPECT_EQ(MinimizeSteps(-5), 0);
  const TskMinimizePlan plan{TRect{100, 100, 500, 400}, TRect{700, 580, 740, 600}, 4, 255};
  struct Case {
    int step;
    TskMinimizeFrame frame;
  };
  const Case cases[] = {
      {0, {TRect{100, 100, 500, 400}, 255}},
      // A quarter of the way: the centre from (300, 250) to (405, 335) of (720, 590), the size
      // from 400 x 300 to 310 x 230 of 40 x 20.
      {1, {TRect{250, 220, 560, 450}, 191}},
      {2, {TRect{400, 340, 620, 500}, 128}},
      {4, {TRect{700, 580, 740, 600}, 0}},
      {9, {TRect{700, 580, 740, 600}, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    EXPECT_EQ(MinimizeFrameAt(plan, c.step), c.frame);
  }
  // Without steps the end state at once, whatever the step.
  const TskMinimizePlan none{plan.Start, plan.Target, 0, 255};
  EXPECT_EQ(MinimizeFrameAt(none, 0), (TskMinimizeFrame{plan.Target, 0}));
}

TEST(FormAnimSteps, TheTaskBarsEdgeAndItsPoint) {
  struct Case {
    const char* name;
    TRect bar;
    TskTaskBarEdge edge;
    TPoint point;
  };
  // A form centred at (300, 200) on a 1024 x 768 screen.
  const Case cases[] = {
      {"bottom", {0, 728, 1024, 768}, TskTaskBarEdge::Bottom, {300, 728}},
      {"bottom, a little off the left", {-2, 728, 1026, 770}, TskTaskBarEdge::Bottom, {300, 728}},
      {"top", {0, 0, 1024, 40}, TskTaskBarEdge::Top, {300, 40}},
      {"left", {0, 0, 60, 768}, TskTaskBarEdge::Left, {60, 200}},
      {"right", {964, 0, 1024, 768}, TskTaskBarEdge::Right, {964, 200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TaskBarEdgeOf(c.bar), c.edge);
    EXPECT_EQ(TaskBarEdgePoint(c.bar, 300, 200), c.point);
  }
  const TRect tray = TrayFallbackTarget(TRect{0, 0, 1024, 740});
  EXPECT_EQ(tray, (TRect{976, 716, 1016, 740}));
}

TEST(FormAnimSteps, TheButtonRecordFollowsTheShellsBitness) {
  EXPECT_EQ(ToolbarButtonLayout(false), (TskToolbarButtonLayout{20, 8, 9, 12, 4}));
  EXPECT_EQ(ToolbarButtonLayout(true), (TskToolbarButtonLayout{32, 8, 9, 16, 8}));
  EXPECT_TRUE(SkipsToolbarButton(0, 0x01));      // separator
  EXPECT_TRUE(SkipsToolbarButton(0, 0x04));      // group
  EXPECT_TRUE(SkipsToolbarButton(0, 0x08));      // drop-down
  EXPECT_TRUE(SkipsToolbarButton(0x08, 0));      // hidden
  EXPECT_FALSE(SkipsToolbarButton(0x04, 0x02));  // enabled, check style
}

}  // namespace
