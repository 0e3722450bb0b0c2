// GIF codec throughput: LZW decoding and both encoders over a generated 640 x 480 frame,
// decoding a stream of clear codes, and a whole animation loaded, rendered and optimised.
#include <benchmark/benchmark.h>

#include <algorithm>
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

// 4 MB of image data that is nothing but clear codes, each followed by one pixel: a clear
// costs what was added to the table since the last one, here nothing.
void BM_DecodeClearPairs(benchmark::State& state) {
  constexpr int kClear = 256;
  constexpr int kPairs = (4 << 20) * 8 / 18;  // two 9-bit codes per pair
  std::vector<uint8_t> packed;
  uint32_t bucket = 0;
  int bits = 0;
  auto put = [&](int code) {
    bucket |= static_cast<uint32_t>(code) << bits;
    for (bits += 9; bits >= 8; bits -= 8, bucket >>= 8)
      packed.push_back(static_cast<uint8_t>(bucket));
  };
  for (int i = 0; i < kPairs; ++i) {
    put(kClear);
    put(i & 0xFF);
  }
  put(kClear + 1);
  if (bits > 0) packed.push_back(static_cast<uint8_t>(bucket));
  TMemoryStream data;
  const uint8_t minCodeSize = 8;
  data.WriteBuffer(&minCodeSize, 1);
  for (size_t at = 0; at < packed.size(); at += 255) {
    const uint8_t n = static_cast<uint8_t>(std::min<size_t>(255, packed.size() - at));
    data.WriteBuffer(&n, 1);
    data.WriteBuffer(packed.data() + at, n);
  }
  const uint8_t terminator = 0;
  data.WriteBuffer(&terminator, 1);
  std::vector<uint8_t> out(kPairs);
  for (auto _ : state) {
    data.SetPosition(0);
    DecodeLZW(data, out.data(), kPairs, 1, false, {});
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * data.Size());
}
BENCHMARK(BM_DecodeClearPairs)->Unit(benchmark::kMillisecond);

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
