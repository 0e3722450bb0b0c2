// Editing a generated 1 GB dump in the editor model: a keystroke, its undo and a line join
// in the last line; a 10 MB paste; select-all and delete with their undo; the find pass
// over the whole dump side by side with `grep -c` on the same file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
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

// The single edits are timed in batches of kBatch with the clock read only around the batch,
// so the figure is the edit's own time and not the cost of stopping and starting the
// benchmark's timer; what restores the text between batches is not timed. The time column is
// a batch's; the per_edit counter the time of one edit (one undo step for the undo).
constexpr int kBatch = 512;

using Clock = std::chrono::steady_clock;

void SetEditTime(benchmark::State& state, Clock::time_point start) {
  state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
}

// The time of one edit, in seconds: the timed batches' time over the edits they made.
void ReportPerEdit(benchmark::State& state, double edits) {
  state.counters["per_edit"] =
      benchmark::Counter(edits, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_KeystrokeInLastLine(benchmark::State& state) {
  TKedEditModel& m = Dump().model;
  const int last = Dump().LastLine();
  for (auto _ : state) {
    const auto start = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      m.SetCaretAndCollapse({5, last});
      m.RunCommand(ecChar, 'x', nullptr);
    }
    SetEditTime(state, start);
    Undo(m);
  }
  state.counters["lines"] = last;
  ReportPerEdit(state, static_cast<double>(state.iterations()) * kBatch);
}
BENCHMARK(BM_KeystrokeInLastLine)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_UndoKeystrokeInLastLine(benchmark::State& state) {
  TKedEditModel& m = Dump().model;
  const int last = Dump().LastLine();
  int steps = 0;
  double allSteps = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      m.SetCaretAndCollapse({5, last});
      m.RunCommand(ecChar, 'x', nullptr);
    }
    steps = 0;
    const auto start = Clock::now();
    for (; m.UndoList().HasItems(); ++steps) m.Undo();
    SetEditTime(state, start);
    allSteps += steps;
    m.RedoList().Clear();
  }
  state.counters["undo_steps_per_batch"] = steps;
  ReportPerEdit(state, allSteps);
}
BENCHMARK(BM_UndoKeystrokeInLastLine)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_JoinLastTwoLines(benchmark::State& state) {
  TKedEditModel& m = Dump().model;
  for (auto _ : state) {
    const auto start = Clock::now();
    for (int i = 0; i < kBatch; ++i) {
      m.SetCaretAndCollapse({1, Dump().LastLine()});
      m.RunCommand(ecDeleteLastChar, '\0', nullptr);
    }
    SetEditTime(state, start);
    Undo(m);
  }
  ReportPerEdit(state, static_cast<double>(state.iterations()) * kBatch);
}
BENCHMARK(BM_JoinLastTwoLines)->UseManualTime()->Unit(benchmark::kMicrosecond);

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

double ResidentMegabytes() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void BM_SelectAllDeleteAndUndo(benchmark::State& state) {
  OpenedDump& d = Dump();
  TKedEditModel& m = d.model;
  double remove = 0, undo = 0;
  const double residentBefore = ResidentMegabytes();
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
  // Run on its own, right after the dump was opened, the peak less the memory held before
  // is what the delete and its undo cost on top of the open text.
  state.counters["before_mb"] = residentBefore;
  state.counters["peak_mb"] = PeakResidentMegabytes();
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
BENCHMARK(BM_FindOverDump)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_GrepCountOverDump(benchmark::State& state) {
  const std::string command = std::string("grep -c -i -F '") + kPatterns[state.range(0)] + "' " +
                              BenchDump(uint64_t{1} << 30);
  long count = 0;
  const double cpuBefore = ChildrenCpuSeconds();
  for (auto _ : state) {
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe || std::fscanf(pipe, "%ld", &count) != 1) state.SkipWithError("grep failed");
    if (pipe) pclose(pipe);
  }
  state.SetLabel(kPatterns[state.range(0)]);
  state.counters["matches"] = static_cast<double>(count);
  // This process's CPU column does not see grep; its own CPU time per run is here.
  state.counters["grep_cpu_ms"] =
      (ChildrenCpuSeconds() - cpuBefore) * 1000.0 / static_cast<double>(state.iterations());
}
// Real time, as for the find pass: grep runs in a process of its own.
BENCHMARK(BM_GrepCountOverDump)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
