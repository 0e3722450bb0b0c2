// Decoding and encoding speed of the two PNG codecs on a generated 512 x 512 image, and the
// chunk CRC.
#include <benchmark/benchmark.h>

#include <map>

#include "imaging/pngimage.h"
#include "imaging/skPNG.h"
#include "tests/imaging/PngTestFiles.h"

namespace {

const std::string& File(uint8_t colorType, uint8_t interlace) {
  static std::map<int, std::string> files;
  std::string& f = files[colorType * 2 + interlace];
  if (f.empty()) f = pngtest::MakePng({512, 512, 8, colorType, interlace});
  return f;
}

template <class G>
void Decode(benchmark::State& state) {
  const std::string& file =
      File(static_cast<uint8_t>(state.range(0)), static_cast<uint8_t>(state.range(1)));
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  for (auto _ : state) {
    stream.SetPosition(0);
    G graphic;
    graphic.LoadFromStream(stream);
    benchmark::DoNotOptimize(graphic.Width());
  }
  state.SetItemsProcessed(state.iterations() * 512 * 512);
}

void BM_ReaderDecode(benchmark::State& state) { Decode<TPNGGraphic>(state); }
void BM_ObjectDecode(benchmark::State& state) { Decode<TPNGObject>(state); }

void BM_ObjectEncode(benchmark::State& state) {
  const std::string& file = File(6, 0);
  TMemoryStream in;
  in.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  in.SetPosition(0);
  TPNGObject png;
  png.LoadFromStream(in);
  if (state.range(0)) png.SetFilterSet({fsNone, fsSub, fsUp, fsAverage, fsPaeth});
  for (auto _ : state) {
    TMemoryStream out;
    png.SaveToStream(out);
    benchmark::DoNotOptimize(out.Size());
  }
  state.SetItemsProcessed(state.iterations() * 512 * 512);
}

void BM_Crc32(benchmark::State& state) {
  const std::string data(1 << 20, 'x');
  for (auto _ : state) benchmark::DoNotOptimize(CalcCrc32(0, data.data(), data.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}

}  // namespace

BENCHMARK(BM_ReaderDecode)->Args({6, 0})->Args({6, 1})->Args({2, 0})->Args({3, 0});
BENCHMARK(BM_ObjectDecode)->Args({6, 0})->Args({6, 1})->Args({2, 0})->Args({3, 0});
BENCHMARK(BM_ObjectEncode)->Arg(0)->Arg(1);
BENCHMARK(BM_Crc32);
BENCHMARK_MAIN();
