// Reading, looking up and writing generated XML documents with the translator's model.
#include <benchmark/benchmark.h>

#include <string>

#include "translate/KxSimpleXml.h"

namespace {

// A translation-file shape: one window element with `count` component elements, each
// with two attributes and a three-entry list.
std::string GeneratedDocument(int count) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Form1 Caption=\"Main\">\r\n";
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    text += "  <sLabel" + n + " Caption=\"Text &amp; more " + n + "\" Hint=\"H\xE4nt\">\r\n";
    text +=
        "    <Items><I Index=\"0\" Value=\"KB\"/><I Index=\"1\" Value=\"MB\"/>"
        "<I Index=\"2\" Value=\"GB\"/></Items>\r\n  </sLabel" +
        n + ">\r\n";
  }
  return text + "</Form1>\r\n";
}

void BM_LoadDocument(benchmark::State& state) {
  const std::string text = GeneratedDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TKxSimpleXML xml(nullptr);
    xml.LoadFromString(text);
    benchmark::DoNotOptimize(xml.Root()->GetChildren()->GetCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_LoadDocument)->Arg(100)->Arg(10000);

void BM_FindNamedAmongManyChildren(benchmark::State& state) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString(GeneratedDocument(static_cast<int>(state.range(0))));
  TKxSimpleXMLElems* children = xml.Root()->GetChildren();
  const std::string last = "SLABEL" + std::to_string(state.range(0) - 1);
  for (auto _ : state) benchmark::DoNotOptimize(children->FindNamed(last));
}
BENCHMARK(BM_FindNamedAmongManyChildren)->Arg(10000);

void BM_SaveDocument(benchmark::State& state) {
  TKxSimpleXML xml(nullptr);
  xml.LoadFromString(GeneratedDocument(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(xml.SaveToString());
}
BENCHMARK(BM_SaveDocument)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
