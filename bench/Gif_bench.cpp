// GIF codec throughput: LZW decoding and both encoders over a generated 640 x 480 frame,
// and a whole animation loaded, rendered and optimised.
#include <benchmark/benchmark.h>

#include <random>

#include "imaging/GIFImage.h"
#include "imaging/GIFLzw.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Runs of colours as in a drawing, with noise as in a photograph reduced to 256 colours.
std::vector<uint8_t> Frame(bool noisy) {
  std::mt19937 rng(17);
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight);
  uint8_t run = 0;
  for (auto& p : pixels)
    p = noisy ? static_cast<uint8_t>(rng())
              : (rng() % 40 == 0 ? (run = static_cast<uint8_t>(rng())) : run);
  return pixels;
}

TMemoryStream Encoded(const std::vector<uint8_t>& pixels, bool rle) {
  TMemoryStream stream;
  std::unique_ptr<TGIFEncoder> encoder;
  if (rle)
    encoder = std::make_unique<TRLEEncoder>();
  else
    encoder = std::make_unique<TLZWEncoder>();
  encoder->EncodeFrame(stream, 8, 256, pixels.data(), false, kHeight, kWidth);
  return stream;
}

void BM_Decode(benchmark::State& state) {
  const std::vector<uint8_t> pixels = Frame(state.range(0) != 0);
  TMemoryStream data = Encoded(pixels, false);
  std::vector<uint8_t> out(pixels.size());
  for (auto _ : state) {
    data.SetPosition(0);
    DecodeLZW(data, out.data(), kWidth, kHeight, false, {});
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(pixels.size()));
}
BENCHMARK(BM_Decode)->Arg(0)->Arg(1);

void BM_Encode(benchmark::State& state) {
  const std::vector<uint8_t> pixels = Frame(state.range(0) != 0);
  const bool rle = state.range(1) != 0;
  for (auto _ : state) {
    TMemoryStream data = Encoded(pixels, rle);
    benchmark::DoNotOptimize(data.Memory());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(pixels.size()));
}
BENCHMARK(BM_Encode)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1});

void BM_RenderDithered(benchmark::State& state) {
  TGIFImage image;
  image.SetPaintFlags(dfDither);
  for (int c = 0; c < 256; ++c)
    image.GlobalColorMap().AppendColor(MakeColor(
        static_cast<uint8_t>(c), static_cast<uint8_t>(255 - c), static_cast<uint8_t>(c * 7)));
  TBitmap source;
  source.SetPixelFormat(pf8bit);
  source.SetPalette(image.GlobalColorMap().MakePalette());
  source.SetSize(kWidth, kHeight);
  const std::vector<uint8_t> pixels = Frame(false);
  for (int y = 0; y < kHeight; ++y)
    std::copy_n(pixels.data() + static_cast<size_t>(y) * kWidth, kWidth, source.ScanLine(y));
  image.AddFrame(&source);
  for (auto _ : state) {
    image.Frame(0)->ReleaseBitmap();
    benchmark::DoNotOptimize(image.Frame(0)->EnsureBitmap());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_RenderDithered);

}  // namespace

BENCHMARK_MAIN();
