// Lines added one by one to a log pane (a plain-text rich edit without wrapping, as the main
// window's) under Wine: Add, which appends at the end, against inserting each line after the
// last one counted, which reads the whole text twice per line. Prints milliseconds per batch
// and per thousand lines for growing batches; bench/memo_lines.sh runs it.
//   bench_memo_lines.exe [repeats]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/KestravaStartup.h"
#include "framework/ComCtrlsWin32.h"
#include "framework/FormsWin32.h"

namespace {

using Clock = std::chrono::steady_clock;

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Milliseconds to put `count` lines into an empty pane with `add`.
double Fill(TRichEdit* pane, int count,
            const std::function<void(TStrings*, const std::string&)>& add) {
  pane->Lines()->Clear();
  TStrings* lines = pane->Lines();
  const std::string padding(40, '.');
  const auto start = Clock::now();
  lines->BeginUpdate();
  for (int i = 0; i < count; ++i) add(lines, "piece " + std::to_string(i) + padding);
  lines->EndUpdate();
  const std::chrono::duration<double, std::milli> took = Clock::now() - start;
  if (lines->Count() != count) throw std::runtime_error("lines lost");
  return took.count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  try {
    const TKestravaStartup startup;
    Application->Initialize();
    auto* form = new TForm(Application);
    form->SetBounds(40, 40, 640, 240);
    auto* pane = new TRichEdit(form);
    pane->SetParent(form);
    pane->SetPlainText(true);
    pane->SetWordWrap(false);
    pane->SetScrollBars(ssVertical);
    pane->SetReadOnly(true);
    pane->SetBounds(8, 8, 600, 200);
    form->Show();
    const auto append = [](TStrings* l, const std::string& s) { l->Add(s); };
    const auto insertAfterLast = [](TStrings* l, const std::string& s) {
      l->Insert(l->Count(), s);
    };
    std::printf("%8s %14s %14s %16s %16s\n", "lines", "Add ms", "Insert ms", "Add ms/1000",
                "Insert ms/1000");
    for (int count : {1000, 2000, 4000, 8000}) {
      std::vector<double> added, inserted;
      for (int i = 0; i < runs; ++i) {
        added.push_back(Fill(pane, count, append));
        // The old way grows with the square of the lines: only the smaller batches.
        if (count <= 4000) inserted.push_back(Fill(pane, count, insertAfterLast));
      }
      const double a = Best(added);
      if (inserted.empty())
        std::printf("%8d %14.1f %14s %16.2f %16s\n", count, a, "-", a * 1000 / count, "-");
      else
        std::printf("%8d %14.1f %14.1f %16.2f %16.2f\n", count, a, Best(inserted), a * 1000 / count,
                    Best(inserted) * 1000 / count);
    }
    delete form;
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_memo_lines: %s\n", e.what());
    return 1;
  }
}
