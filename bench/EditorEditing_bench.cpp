// Editing a generated 1 GB dump in the editor model: a keystroke, its undo and a line join
// in the last line; a 10 MB paste; select-all and delete with their undo; the find pass
// over the whole dump side by side with `grep -c` on the same file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/DumpGenerator.h"
#include "bench/EditorBenchHost.h"
#include "editor/KedEditKeyCmds.h"
#include "editor/KedEditModel.h"
#include "editor/KedEditSearch.h"
#include "editor/KedHighlighterSQL.h"

namespace {

// A clipboard that always offers `clipboard` as a normal selection.
class BenchClipboardHost : public BenchHost {
 public:
  bool HostClipboardHasText() override { return true; }
  bool HostReadClipboard(std::string& text, TKedSelectionMode& mode, bool& plain) override {
    text = clipboard;
    mode = TKedSelectionMode::smNormal;
    plain = false;
    return true;
  }
  std::string clipboard;
};

// One dump for every benchmark: opening it takes seconds.
struct OpenedDump {
  OpenedDump() {
    model.SetCellSize(8, 16);
    model.SetHighlighter(&sql);
    model.Lines().LoadFromFile(BenchDump(uint64_t{1} << 30));
  }
  ~OpenedDump() { model.SetHighlighter(nullptr); }
  BenchClipboardHost host;
  TKedSQLHl sql{nullptr};
  TKedEditModel model{&host};
  int LastLine() { return model.Lines().Count(); }
};

OpenedDump& Dump() {
  static OpenedDump* dump = new OpenedDump();  // kept to the end of the run
  return *dump;
}

void Undo(TKedEditModel& m) {
  while (m.UndoList().HasItems()) m.Undo();
  m.RedoList().Clear();
}

void BM_KeystrokeInLastLine(benchmark::State& state) {
  TKedEditModel& m = Dump().model;
  const int last = Dump().LastLine();
  for (auto _ : state) {
    state.PauseTiming();
    m.SetCaretAndCollapse({5, last});
    state.ResumeTiming();
    m.RunCommand(ecChar, 'x', nullptr);
    state.PauseTiming();
    Undo(m);
    state.ResumeTiming();
  }
  state.counters["lines"] = last;
}
BENCHMARK(BM_KeystrokeInLastLine)->Unit(benchmark::kMicrosecond);

void BM_UndoKeystrokeInLastLine(benchmark::State& state) {
  TKedEditModel& m = Dump().model;
  const int last = Dump().LastLine();
  for (auto _ : state) {
    state.PauseTiming();
    m.SetCaretAndCollapse({5, last});
    m.RunCommand(ecChar, 'x', nullptr);
    state.ResumeTiming();
    m.Undo();
    state.PauseTiming();
    m.RedoList().Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoKeystrokeInLastLine)->Unit(benchmark::kMicrosecond);

void BM_JoinLastTwoLines(benchmark::State& state) {
  TKedEditModel& m = Dump().model;
  for (auto _ : state) {
    state.PauseTiming();
    const int last = Dump().LastLine();
    m.SetCaretAndCollapse({1, last});
    state.ResumeTiming();
    m.RunCommand(ecDeleteLastChar, '\0', nullptr);
    state.PauseTiming();
    Undo(m);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_JoinLastTwoLines)->Unit(benchmark::kMicrosecond);

// 10 MB of dump lines pasted at the end, then taken back.
void BM_Paste10MBAndUndo(benchmark::State& state) {
  OpenedDump& d = Dump();
  TKedEditModel& m = d.model;
  if (d.host.clipboard.empty()) {
    for (int i = 1; d.host.clipboard.size() < (size_t{10} << 20); ++i) {
      d.host.clipboard += m.Lines().LineView(i);
      d.host.clipboard += "\r\n";
    }
  }
  double paste = 0, undo = 0;
  for (auto _ : state) {
    const int last = d.LastLine();
    m.SetCaretAndCollapse({1, last});
    auto t0 = std::chrono::steady_clock::now();
    m.PasteFromClipboard();
    auto t1 = std::chrono::steady_clock::now();
    Undo(m);
    auto t2 = std::chrono::steady_clock::now();
    paste += std::chrono::duration<double, std::milli>(t1 - t0).count();
    undo += std::chrono::duration<double, std::milli>(t2 - t1).count();
    if (d.LastLine() != last) state.SkipWithError("undo did not give the text back");
  }
  state.counters["paste_ms"] = paste / static_cast<double>(state.iterations());
  state.counters["undo_ms"] = undo / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Paste10MBAndUndo)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SelectAllDeleteAndUndo(benchmark::State& state) {
  OpenedDump& d = Dump();
  TKedEditModel& m = d.model;
  double remove = 0, undo = 0;
  for (auto _ : state) {
    const int lines = d.LastLine();
    auto t0 = std::chrono::steady_clock::now();
    m.RunCommand(ecSelectAll, '\0', nullptr);
    m.RunCommand(ecDeleteChar, '\0', nullptr);
    auto t1 = std::chrono::steady_clock::now();
    if (m.Lines().Count() != 1) state.SkipWithError("the text was not deleted");
    Undo(m);
    auto t2 = std::chrono::steady_clock::now();
    remove += std::chrono::duration<double, std::milli>(t1 - t0).count();
    undo += std::chrono::duration<double, std::milli>(t2 - t1).count();
    if (d.LastLine() != lines) state.SkipWithError("undo did not give the text back");
  }
  state.counters["delete_ms"] = remove / static_cast<double>(state.iterations());
  state.counters["undo_ms"] = undo / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SelectAllDeleteAndUndo)->Unit(benchmark::kMillisecond)->Iterations(1);

// The find pass of the main window (positions in the CR LF-joined text, found line by
// line, without case) against grep -c -i over the same file. The pattern occurs at most
// once per line, so grep's line count and the match count agree.
// Two patterns: one with a sign that the line scan finds with memchr, one of letters only.
const char* const kPatterns[] = {"ENGINE=InnoDB", "InnoDB"};

void BM_FindOverDump(benchmark::State& state) {
  TKedEditModel& m = Dump().model;
  TKedEditSearch search(nullptr);
  search.SetPattern(kPatterns[state.range(0)]);
  int count = 0;
  for (auto _ : state) benchmark::DoNotOptimize(count = search.FindAllInLines(m.Lines()));
  state.SetLabel(kPatterns[state.range(0)]);
  state.counters["matches"] = count;
}
BENCHMARK(BM_FindOverDump)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GrepCountOverDump(benchmark::State& state) {
  const std::string command = std::string("grep -c -i -F '") + kPatterns[state.range(0)] + "' " +
                              BenchDump(uint64_t{1} << 30);
  long count = 0;
  for (auto _ : state) {
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe || std::fscanf(pipe, "%ld", &count) != 1) state.SkipWithError("grep failed");
    if (pipe) pclose(pipe);
  }
  state.SetLabel(kPatterns[state.range(0)]);
  state.counters["matches"] = static_cast<double>(count);
}
BENCHMARK(BM_GrepCountOverDump)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
