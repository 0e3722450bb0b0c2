// The skinned frame of the real main window: composing the frame image and copying it to the
// window at 1024 x 768 and maximized, and one resize step of the whole window (frame, client
// and children painted) skinned against the same window with the skin switched off, and a full
// repaint of the window at its own size with every control painted anew, skinned and not. Prints
// one line per measure; bench/frame_paint.sh runs it under Wine.
//   bench_frame_paint.exe <skins folder> [repeats]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "app/KestravaStartup.h"
#include "app/mainWin32.h"
#include "bench/BenchTimingWin32.h"
#include "bench/SkinnedMainWindowWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"

namespace {

// The best and the median of `runs` batches of `count` calls, in milliseconds per call.
TTiming Time(int runs, int count, const std::function<void()>& work) {
  std::vector<double> perCall;
  for (int r = 0; r < runs; ++r) {
    const auto start = BenchClock::now();
    for (int i = 0; i < count; ++i) work();
    perCall.push_back(MillisecondsSince(start) / count);
  }
  return BestAndMedian(perCall);
}

void Print(const char* what, const TTiming& t) {
  std::printf("%-44s best %8.3f ms  median %8.3f ms\n", what, t.Best, t.Median);
}

// Composes the frame image anew and copies it to the window, each timed on its own.
void FrameMeasures(TForm1* form, const char* size, int runs) {
  TsSkinProvider* provider = form->sSkinProvider1;
  HWND wnd = form->Handle();
  RECT r;
  GetWindowRect(wnd, &r);
  char what[96];
  std::snprintf(what, sizeof what, "compose frame %s (%ldx%ld)", size, r.right - r.left,
                r.bottom - r.top);
  Print(what, Time(runs, 50, [&] {
          provider->SkinData()->BackgroundDirty = true;
          provider->PaintFormCache(provider->FormFacts());
        }));
  std::snprintf(what, sizeof what, "copy frame to the window %s", size);
  Print(what, Time(runs, 50, [&] {
          HDC dc = GetWindowDC(wnd);
          provider->PaintFrameFromCache(dc, provider->FormFacts());
          ReleaseDC(wnd, dc);
        }));
  std::snprintf(what, sizeof what, "compose and copy %s", size);
  Print(what, Time(runs, 50, [&] {
          provider->SkinData()->BackgroundDirty = true;
          HDC dc = GetWindowDC(wnd);
          provider->PaintFrameFromCache(dc, provider->FormFacts());
          ReleaseDC(wnd, dc);
        }));
}

// One resize step: the window one pixel wider or narrower, painted through completely.
TTiming ResizeStep(HWND wnd, int runs) {
  int step = 0;
  return Time(runs, 20, [&] {
    RECT r;
    GetWindowRect(wnd, &r);
    const int width = r.right - r.left + ((step++ & 1) ? -8 : 8);
    SetWindowPos(wnd, nullptr, 0, 0, width, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
  });
}

// The whole window invalidated and painted through: frame, client area and every control,
// each skinned control building its picture anew.
TTiming FullRepaint(HWND wnd, int runs) {
  return Time(runs, 20, [&] {
    RedrawWindow(wnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
  });
}

// Each direct child window repainted on its own (with its own children), slowest first: where
// a full repaint's time goes.
void ChildBreakdown(HWND wnd, int runs, int depth = 0) {
  struct TChild {
    HWND Wnd;
    double Best;
  };
  std::vector<TChild> children;
  for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const TTiming t = Time(runs, 10, [&] {
      RedrawWindow(child, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      Pump();
    });
    children.push_back({child, t.Best});
  }
  std::sort(children.begin(), children.end(),
            [](const TChild& a, const TChild& b) { return a.Best > b.Best; });
  for (size_t i = 0; i < children.size() && i < 6; ++i) {
    char name[64] = "";
    GetClassNameA(children[i].Wnd, name, sizeof name);
    RECT r;
    GetWindowRect(children[i].Wnd, &r);
    std::printf("%*s  of it: %-20s %4ldx%-4ld  best %8.3f ms\n", depth * 2, "", name,
                r.right - r.left, r.bottom - r.top, children[i].Best);
    // The slowest child's own children, one level down.
    if (i == 0 && depth == 0) ChildBreakdown(children[i].Wnd, runs, depth + 1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_frame_paint <skins folder> [repeats]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  try {
    const TKestravaStartup startup;  // the program's own start-up list
    Application->Initialize();
    ktest::TMessageBoxWatcher watcher;
    TForm1* form = ShowSkinnedMainWindow(argv[1]);
    if (!form) return 1;
    TsSkinManager* manager = form->sSkinManager1;
    HWND wnd = form->Handle();
    SetWindowPos(wnd, nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
    Pump();
    FrameMeasures(form, "1024x768", runs);
    ShowWindow(wnd, SW_MAXIMIZE);
    Pump();
    FrameMeasures(form, "maximized", runs);
    ShowWindow(wnd, SW_RESTORE);
    SetWindowPos(wnd, nullptr, 0, 0, 843, 710, SWP_NOZORDER);
    Pump();
    const TTiming fullSkinned = FullRepaint(wnd, runs);
    Print("full repaint 843x710 with controls, skinned", fullSkinned);
    ChildBreakdown(wnd, runs);
    SetWindowPos(wnd, nullptr, 0, 0, 1000, 740, SWP_NOZORDER);
    Pump();
    const TTiming skinned = ResizeStep(wnd, runs);
    Print("resize step, skinned", skinned);
    manager->SetActive(false);
    Pump();
    const TTiming plain = ResizeStep(wnd, runs);
    Print("resize step, skin switched off", plain);
    SetWindowPos(wnd, nullptr, 0, 0, 843, 710, SWP_NOZORDER);
    Pump();
    Print("full repaint 843x710 with controls, no skin", FullRepaint(wnd, runs));
    ChildBreakdown(wnd, runs);
    std::printf("resize step ratio skinned / switched off: best %.2f, median %.2f\n",
                skinned.Best / plain.Best, skinned.Median / plain.Median);
    delete form;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_frame_paint: %s\n", e.what());
    return 1;
  }
  return 0;
}
