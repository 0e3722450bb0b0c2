// A hover over the real main window's skinned Open button: the mouse enters and leaves, and
// the button fades between its normal and hot looks. Measures the whole fade (from the entry
// to the fade's end, paced by its 10 ms timer), the work of one frame (the time the program
// is busy during the fade, per frame), and the same change repainted at once without a fade.
// bench/button_hover.sh runs it under Wine.
//   bench_button_hover.exe <skins folder> [repeats]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "app/KestravaStartup.h"
#include "app/mainWin32.h"
#include "bench/BenchTimingWin32.h"
#include "bench/SkinnedMainWindowWin32.h"
#include "skin/core/runtime/sFade.h"
#include "skin/core/skinfiles/sSkinManager.h"
#include "tests/support/MessageBoxWatcherWin32.h"

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct THover {
  double Total = 0;  // entry to the fade's end
  double Busy = 0;   // time spent handling messages meanwhile
  int Frames = 0;    // frames of the fade
};

// One change of look (entry or leaving) until the fade has ended.
THover Change(TsBitBtn* button, UINT message) {
  THover hover;
  const auto start = Clock::now();
  const auto work = Clock::now();
  button->Perform(message, 0, 0);
  UpdateWindow(button->Handle());
  hover.Busy += Ms(Clock::now() - work);
  while (button->Fading()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    hover.Busy += Pump();
  }
  hover.Total = Ms(Clock::now() - start);
  const TsGeneralData* section = button->SkinData()->Section();
  hover.Frames = section ? FadeStepCount(section->FadingIterations, false) : 0;
  return hover;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_button_hover <skins folder> [repeats]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  try {
    const TKestravaStartup startup;
    Application->Initialize();
    ktest::TMessageBoxWatcher watcher;
    TForm1* form = ShowSkinnedMainWindow(argv[1]);
    if (!form) return 1;
    TsBitBtn* button = form->sBitBtn1;
    Pump();
    std::vector<double> totals, perFrame, frames;
    for (int i = 0; i < runs; ++i) {
      for (UINT message : {CM_MOUSEENTER, CM_MOUSELEAVE}) {
        const THover h = Change(button, message);
        totals.push_back(h.Total);
        frames.push_back(h.Frames);
        if (h.Frames > 0) perFrame.push_back(h.Busy / h.Frames);
      }
    }
    std::printf("hover fade, whole (entry to end)   best %8.3f ms  median %8.3f ms  (%g frames)\n",
                BestAndMedian(totals).Best, BestAndMedian(totals).Median,
                BestAndMedian(frames).Median);
    if (!perFrame.empty())
      std::printf("hover fade, work per frame         best %8.3f ms  median %8.3f ms\n",
                  BestAndMedian(perFrame).Best, BestAndMedian(perFrame).Median);
    // The same change without a fade: the button repaints its new look at once.
    button->SetAnimatEvents(TskAnimatEvents{});
    std::vector<double> direct;
    for (int i = 0; i < runs; ++i)
      for (UINT message : {CM_MOUSEENTER, CM_MOUSELEAVE})
        direct.push_back(Change(button, message).Total);
    std::printf("hover without fade, repaint        best %8.3f ms  median %8.3f ms\n",
                BestAndMedian(direct).Best, BestAndMedian(direct).Median);
    delete form;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_button_hover: %s\n", e.what());
    return 1;
  }
  return 0;
}
