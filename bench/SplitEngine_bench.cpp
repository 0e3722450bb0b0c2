// Load, clean and split over generated dumps of 100 MB and 1 GB.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/DumpCleaner.h"
#include "app/PieceFileSink.h"
#include "app/SplitEngine.h"
#include "bench/DumpGenerator.h"
#include "editor/KedEditTextBuffer.h"

namespace {

constexpr uint64_t kMB = 1 << 20;

class NullObserver : public TSplitObserver {
 public:
  void PieceCreated(int, const std::string&) override {}
  void PieceFinished(int, const std::string&) override {}
  void Progress(const TSplitProgress&) override { ++reports; }
  int reports = 0;
};

void BM_Load(benchmark::State& state) {
  const uint64_t bytes = state.range(0) * kMB;
  const std::string path = BenchDump(bytes);
  for (auto _ : state) {
    TKedEditStringList lines;
    lines.LoadFromFile(path);
    benchmark::DoNotOptimize(lines.Count());
    state.counters["lines"] = lines.Count();
    state.counters["overhead_bytes_per_line"] =
        static_cast<double>(lines.MemoryUsed() - bytes) / lines.Count();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_CleanComments(benchmark::State& state) {
  const uint64_t bytes = state.range(0) * kMB;
  const std::string path = BenchDump(bytes);
  TKedEditStringList lines;
  for (auto _ : state) {
    state.PauseTiming();
    lines.LoadFromFile(path);
    state.ResumeTiming();
    const int removed = RemoveLines(lines, TCleanKind::CommentLines, [](int, int) {});
    benchmark::DoNotOptimize(removed);
    RemoveLines(lines, TCleanKind::BlankLines, [](int, int) {});
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_Split(benchmark::State& state) {
  const uint64_t bytes = state.range(0) * kMB;
  const std::string path = BenchDump(bytes);
  TKedEditStringList lines;
  lines.LoadFromFile(path);
  const auto out = std::filesystem::temp_directory_path() / "kestrava-bench" / "pieces";
  std::filesystem::remove_all(out);
  TSplitOptions options;
  options.Folder = out.string();
  options.BaseName = "dump_split";
  options.SizeLimit = 64 * kMB;
  options.CsvMode = state.range(1) != 0;
  for (auto _ : state) {
    TLineListSource source(lines);
    TPieceFileSink sink;
    NullObserver observer;
    const TSplitResult result = RunSplit(source, options, sink, observer);
    state.counters["pieces"] = result.Pieces;
    state.counters["progress_reports"] = observer.reports;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  std::filesystem::remove_all(out);
}

}  // namespace

BENCHMARK(BM_Load)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CleanComments)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Split)
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({1024, 0})
    ->Args({1024, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
