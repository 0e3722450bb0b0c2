// Opening a generated 1 GB dump into the editor model and painting its first and last
// screen with SQL highlighting; a screen of megabyte-long lines scrolled far right.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "bench/DumpGenerator.h"
#include "bench/EditorBenchHost.h"
#include "editor/KedEditModel.h"
#include "editor/KedHighlighterSQL.h"

namespace {

size_t PaintScreen(TKedEditModel& model) {
  size_t cells = 0;
  const int first = model.TopLine();
  const int last = std::min(first + model.LinesInWindow(), model.GetDisplayRowCount());
  for (int row = first; row <= last; ++row) {
    for (const auto& run :
         model.PaintRow(row, model.LeftChar(), model.LeftChar() + model.CharsInWindow(), 32, 1280))
      cells += run.Text.size();
  }
  return cells;
}

struct OpenedDump {
  BenchHost host;
  TKedSQLHl sql{nullptr};
  TKedEditModel model{&host};
};

void BM_OpenDumpAndPaintFirstAndLastScreen(benchmark::State& state) {
  const std::string path = BenchDump(uint64_t{1} << 30);
  for (auto _ : state) {
    auto dump = std::make_unique<OpenedDump>();
    dump->model.SetCellSize(8, 16);
    dump->model.SetHighlighter(&dump->sql);
    dump->model.Lines().LoadFromFile(path);
    benchmark::DoNotOptimize(PaintScreen(dump->model));
    dump->model.SetCaretPos({1, dump->model.Lines().Count()});
    benchmark::DoNotOptimize(PaintScreen(dump->model));
    state.counters["lines"] = dump->model.Lines().Count();
    state.PauseTiming();
    dump->model.SetHighlighter(nullptr);
    dump.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenDumpAndPaintFirstAndLastScreen)->Unit(benchmark::kMillisecond)->Iterations(2);

// Opening the dump into a fresh line list, as a new editor window does; freeing the list
// is not timed. bench/open_vs_wc.sh runs `wc -l` on the same file beside it.
void BM_OpenDump(benchmark::State& state) {
  const std::string path = BenchDump(uint64_t{1} << 30);
  for (auto _ : state) {
    auto lines = std::make_unique<TKedEditStringList>();
    lines->LoadFromFile(path);
    benchmark::DoNotOptimize(lines->Count());
    state.counters["lines"] = lines->Count();
    state.PauseTiming();
    lines.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * (int64_t{1} << 30));
}
BENCHMARK(BM_OpenDump)->Unit(benchmark::kMillisecond)->Iterations(5);

// The peer of the jump to the end: one memchr pass counting the line feeds of the text
// already in memory, the floor of any scan that must look at every byte.
void BM_MemchrPassOverLoadedDump(benchmark::State& state) {
  const std::string path = BenchDump(uint64_t{1} << 30);
  TKedEditStringList lines;
  lines.LoadFromFile(path);
  const std::string_view first = lines.LineView(0);
  const char* const begin = first.data();
  const char* const end = begin + (size_t{1} << 30);
  for (auto _ : state) {
    size_t count = 0;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
      ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(state.iterations() * (int64_t{1} << 30));
}
BENCHMARK(BM_MemchrPassOverLoadedDump)->Unit(benchmark::kMillisecond)->Iterations(10);

// The parts on their own: opening, the first screen, the jump to the last screen (which
// scans the highlighter ranges once), and a second paint of that screen.
void BM_DumpStages(benchmark::State& state) {
  const std::string path = BenchDump(uint64_t{1} << 30);
  auto dump = std::make_unique<OpenedDump>();
  dump->model.SetCellSize(8, 16);
  dump->model.SetHighlighter(&dump->sql);
  const int stage = static_cast<int>(state.range(0));
  if (stage > 0) dump->model.Lines().LoadFromFile(path);
  if (stage > 2)
    dump->model.SetCaretPos({1, dump->model.Lines().Count()}), PaintScreen(dump->model);
  for (auto _ : state) {
    switch (stage) {
      case 0:
        dump->model.Lines().LoadFromFile(path);
        break;
      case 1:
        benchmark::DoNotOptimize(PaintScreen(dump->model));
        break;
      case 2:
        state.PauseTiming();
        dump->model.ScanAllRanges();
        dump->model.SetCaretPos({1, 1});
        state.ResumeTiming();
        dump->model.SetCaretPos({1, dump->model.Lines().Count()});
        benchmark::DoNotOptimize(PaintScreen(dump->model));
        break;
      default:
        benchmark::DoNotOptimize(PaintScreen(dump->model));
    }
  }
  dump->model.SetHighlighter(nullptr);
}
// 0 open, 1 first screen, 2 jump to the end and paint, 3 repaint there. Figures that vary
// from run to run get enough runs for a stable mean: the jump (a scan of the whole dump, held
// against the memchr pass above) ten, the paints of a millisecond forty.
BENCHMARK(BM_DumpStages)->ArgName("stage")->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DumpStages)->ArgName("stage")->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DumpStages)
    ->ArgName("stage")
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

// Fifty lines of 4 MB each: a screen at their start; the first jump to column 3 000 000
// (the scanner walks every line from its start once); then paging right from there.
std::unique_ptr<OpenedDump> MegabyteLines() {
  auto dump = std::make_unique<OpenedDump>();
  TKedEditModel& model = dump->model;
  model.SetCellSize(8, 16);
  model.SetMaxScrollWidth(8 << 20);
  model.SetHighlighter(&dump->sql);
  std::string line = "INSERT INTO `t` VALUES ";
  while (line.size() < (4u << 20)) line += "(1,'abcdefghij',2.5),";
  model.Lines().BeginUpdate();
  for (int i = 0; i < 50; ++i) model.Lines().Add(line);
  model.Lines().EndUpdate();
  model.EnsureRangesThrough(49);
  return dump;
}

void BM_PaintMegabyteLinesAtTheirStart(benchmark::State& state) {
  auto dump = MegabyteLines();
  for (auto _ : state) benchmark::DoNotOptimize(PaintScreen(dump->model));
  dump->model.SetHighlighter(nullptr);
}
BENCHMARK(BM_PaintMegabyteLinesAtTheirStart)->Unit(benchmark::kMillisecond);

void BM_JumpFarIntoMegabyteLines(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto dump = MegabyteLines();
    state.ResumeTiming();
    dump->model.SetLeftChar(3000000);
    benchmark::DoNotOptimize(PaintScreen(dump->model));
    state.PauseTiming();
    dump->model.SetHighlighter(nullptr);
    dump.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_JumpFarIntoMegabyteLines)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PageRightFarIntoMegabyteLines(benchmark::State& state) {
  auto dump = MegabyteLines();
  TKedEditModel& model = dump->model;
  model.SetLeftChar(3000000);
  PaintScreen(model);
  for (auto _ : state) {
    model.SetLeftChar(model.LeftChar() + model.CharsInWindow());
    benchmark::DoNotOptimize(PaintScreen(model));
  }
  model.SetHighlighter(nullptr);
}
BENCHMARK(BM_PageRightFarIntoMegabyteLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
