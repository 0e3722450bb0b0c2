// Scrolling a big dump in the real main window's editor: line-down and page-down steps, each
// painted through (the editor's text, and while skinned the edit adapter's border and bars),
// skinned against the same window with the skin switched off, in one run. Prints one line per
// measure; bench/editor_scroll.sh runs it under Wine.
//   bench_editor_scroll.exe <dump> <skins folder> [repeats]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/KestravaStartup.h"
#include "app/mainWin32.h"
#include "bench/BenchTimingWin32.h"
#include "bench/SkinnedMainWindowWin32.h"
#include "skin/adapters/skSBUtilsWin32.h"
#include "skin/adapters/skScrollWndWin32.h"
#include "tests/support/MessageBoxWatcherWin32.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds per step of `count` steps from the top of the text, each painted through
// before the next, as a held key would be shown.
double Batch(HWND editor, int count, WPARAM code) {
  SendMessageA(editor, WM_VSCROLL, SB_TOP, 0);
  UpdateWindow(editor);
  Pump();
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    SendMessageA(editor, WM_VSCROLL, code, 0);
    RedrawWindow(editor, nullptr, nullptr, RDW_UPDATENOW);
    Pump();
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / count;
}

void Print(const char* what, const TTiming& t) {
  std::printf("%-36s best %8.4f ms  median %8.4f ms\n", what, t.Best, t.Median);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_editor_scroll <dump> <skins folder> [repeats]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  try {
    const TKestravaStartup startup;  // the program's own start-up list
    Application->Initialize();
    ktest::TMessageBoxWatcher watcher;
    TForm1* form = ShowSkinnedMainWindow(argv[2]);
    if (!form) return 1;
    TsSkinManager* manager = form->sSkinManager1;
    Pump();
    const auto openStart = Clock::now();
    form->OpenWithPreparation(argv[1]);
    const double openSeconds = std::chrono::duration<double>(Clock::now() - openStart).count();
    Pump();
    HWND editor = form->re_org->Handle();
    std::printf("opened %s lines in %.1f s\n", form->sLabel2->Caption().c_str(), openSeconds);
    // Skinned and switched-off batches alternate, so that a slower moment of the machine
    // falls on both alike.
    std::vector<double> skinnedLine, skinnedPage, plainLine, plainPage;
    for (int r = 0; r < runs; ++r) {
      manager->SetActive(true);
      Pump();
      if (!GetWindowAdapter(editor)) {
        std::fprintf(stderr, "the editor carries no adapter\n");
        return 1;
      }
      skinnedLine.push_back(Batch(editor, 1000, SB_LINEDOWN));
      skinnedPage.push_back(Batch(editor, 100, SB_PAGEDOWN));
      manager->SetActive(false);
      Pump();
      if (GetWindowAdapter(editor)) {
        std::fprintf(stderr, "the editor kept its adapter without the skin\n");
        return 1;
      }
      plainLine.push_back(Batch(editor, 1000, SB_LINEDOWN));
      plainPage.push_back(Batch(editor, 100, SB_PAGEDOWN));
    }
    // The adapter's own share: both bars painted into the window, alone.
    manager->SetActive(true);
    Pump();
    auto* adapter = dynamic_cast<TskScrollWnd*>(GetWindowAdapter(editor));
    std::vector<double> barPaints;
    for (int r = 0; r < runs && adapter; ++r) {
      const auto start = Clock::now();
      for (int i = 0; i < 200; ++i) adapter->PaintBars(nullptr);
      barPaints.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() /
                          200);
    }
    if (!barPaints.empty()) Print("both bars painted by the adapter", BestAndMedian(barPaints));
    const TTiming sl = BestAndMedian(skinnedLine), sp = BestAndMedian(skinnedPage);
    const TTiming pl = BestAndMedian(plainLine), pp = BestAndMedian(plainPage);
    Print("line down, skinned", sl);
    Print("page down, skinned", sp);
    Print("line down, skin switched off", pl);
    Print("page down, skin switched off", pp);
    for (const auto& [what, a, b] :
         {std::tuple{"line down", sl, pl}, std::tuple{"page down", sp, pp}})
      std::printf(
          "%s: overhead best %.4f ms (median %.4f ms) per step, ratio best %.2f "
          "(median %.2f)\n",
          what, a.Best - b.Best, a.Median - b.Median, a.Best / b.Best, a.Median / b.Median);
    delete form;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_editor_scroll: %s\n", e.what());
    return 1;
  }
  return 0;
}
