// Editor building blocks on dump-sized input: word wrap of a whole generated
// dump, re-wrapping one edited line, and tab expansion.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/DumpGenerator.h"
#include "editor/KedEditMiscProcs.h"
#include "editor/KedEditTextBuffer.h"
#include "editor/KedEditWordWrap.h"

namespace {

class BenchEditor : public IKedWordWrapEditor {
 public:
  TKedEditStringList& Lines() override { return lines; }
  int CharsInWindow() const override { return chars; }
  TKedCharSet IdentChars() const override { return KedDefaultIdentChars(); }
  TKedEditStringList lines;
  int chars = 80;
};

// One generated dump of the given size, loaded once per size.
BenchEditor& EditorWithDump(std::uint64_t bytes) {
  static std::uint64_t loadedBytes = 0;
  static BenchEditor editor;
  if (loadedBytes != bytes) {
    editor.lines.LoadFromFile(BenchDump(bytes));
    loadedBytes = bytes;
  }
  return editor;
}

void BM_WrapWholeDump(benchmark::State& state) {
  const auto bytes = static_cast<std::uint64_t>(state.range(0)) << 20;
  BenchEditor& editor = EditorWithDump(bytes);
  for (auto _ : state) {
    TKedWordWrapPlugin wrap(&editor);
    benchmark::DoNotOptimize(wrap.GetRowCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["lines"] = editor.lines.Count();
}
BENCHMARK(BM_WrapWholeDump)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_RewrapOneLineNearTheTop(benchmark::State& state) {
  BenchEditor& editor = EditorWithDump(std::uint64_t{16} << 20);
  TKedWordWrapPlugin wrap(&editor);
  for (auto _ : state) benchmark::DoNotOptimize(wrap.NotifyLinesChanged(10, 1));
  state.counters["lines"] = editor.lines.Count();
}
BENCHMARK(BM_RewrapOneLineNearTheTop)->Unit(benchmark::kMicrosecond);

void BM_ExpandTabs(benchmark::State& state) {
  std::string line;
  for (int i = 0; i < 20; ++i) line += "\tcolumn_" + std::to_string(i);
  const int width = static_cast<int>(state.range(0));
  const TKedTabExpander expand = SelectTabExpander(width);
  for (auto _ : state) {
    bool hasTabs = false;
    benchmark::DoNotOptimize(expand(line, width, hasTabs));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ExpandTabs)->Arg(4)->Arg(6);

}  // namespace

BENCHMARK_MAIN();
