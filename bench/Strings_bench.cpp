// String-list throughput: reading a dump-sized text into lines, joining it again, and
// looking lines up in a plain and a hashed list.
#include <benchmark/benchmark.h>

#include <string>

#include "framework/Streams.h"
#include "framework/Strings.h"
#include "framework/SysUtils.h"

namespace {

std::string MakeText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += "INSERT INTO t VALUES (" + IntToStr(i) + ", 'row number " + IntToStr(i) + "');\r\n";
  }
  return text;
}

void BM_StringListLoadFromStream(benchmark::State& state) {
  const std::string text = MakeText(static_cast<int>(state.range(0)));
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  for (auto _ : state) {
    TStringList list;
    stream.SetPosition(0);
    list.LoadFromStream(&stream);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_StringListLoadFromStream)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_StringListText(benchmark::State& state) {
  TStringList list;
  list.SetText(MakeText(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(list.Text().size());
}
BENCHMARK(BM_StringListText)->Arg(100000)->Unit(benchmark::kMillisecond);

template <class List>
void BM_IndexOfName(benchmark::State& state) {
  List list;
  const int n = static_cast<int>(state.range(0));
  for (int i = 0; i < n; ++i) list.Add("key" + IntToStr(i) + "=value");
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.IndexOfName("KEY" + IntToStr(i)));
    i = (i + 7919) % n;
  }
}
BENCHMARK_TEMPLATE(BM_IndexOfName, TStringList)->Arg(10000);
BENCHMARK_TEMPLATE(BM_IndexOfName, THashedStringList)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
