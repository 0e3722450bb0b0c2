// Decoding and encoding speed of the two PNG codecs on a generated 512 x 512 image, and the
// chunk CRC; decoding 2048 x 2048 images side by side with libpng and with zlib's inflate
// alone (the floor any decoder of these files has).
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <map>
#include <vector>

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

// ---- 2048 x 2048, side by side with the peers ----

constexpr uint32_t kLarge = 2048;

const std::string& LargeFile(uint8_t colorType) {
  static std::map<int, std::string> files;
  std::string& f = files[colorType];
  if (f.empty()) f = pngtest::MakePng({kLarge, kLarge, 8, colorType, 0});
  return f;
}

template <class G>
void DecodeLarge(benchmark::State& state) {
  const std::string& file = LargeFile(static_cast<uint8_t>(state.range(0)));
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  for (auto _ : state) {
    stream.SetPosition(0);
    G graphic;
    graphic.LoadFromStream(stream);
    benchmark::DoNotOptimize(graphic.Width());
  }
  state.SetItemsProcessed(state.iterations() * kLarge * kLarge);
}

void BM_LargeReaderDecode(benchmark::State& state) { DecodeLarge<TPNGGraphic>(state); }
void BM_LargeObjectDecode(benchmark::State& state) { DecodeLarge<TPNGObject>(state); }

struct MemoryReader {
  const std::string* data;
  size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (r->at + count > r->data->size()) png_error(png, "read past end");
  std::memcpy(out, r->data->data() + r->at, count);
  r->at += count;
}

// libpng into its own row format (no transforms), as an application keeping rows whole does.
void BM_LargeLibpngDecode(benchmark::State& state) {
  const std::string& file = LargeFile(static_cast<uint8_t>(state.range(0)));
  std::vector<uint8_t> pixels;
  std::vector<png_bytep> rows(kLarge);
  for (auto _ : state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    if (setjmp(png_jmpbuf(png))) {
      png_destroy_read_struct(&png, &info, nullptr);
      state.SkipWithError("libpng refused the file");
      break;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    const size_t stride = png_get_rowbytes(png, info);
    pixels.resize(stride * kLarge);
    for (uint32_t y = 0; y < kLarge; ++y) rows[y] = pixels.data() + y * stride;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * kLarge * kLarge);
}

// Inflating the IDAT data alone: no decoder of these files can be faster.
void BM_LargeInflateOnly(benchmark::State& state) {
  const std::string& file = LargeFile(static_cast<uint8_t>(state.range(0)));
  std::string compressed;
  for (const auto& [type, data] : pngtest::SplitChunks(file))
    if (type == "IDAT") compressed += data;
  std::vector<uint8_t> out(size_t{kLarge} * (kLarge * 4 + 1));
  for (auto _ : state) {
    uLongf size = static_cast<uLongf>(out.size());
    uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(compressed.data()),
               static_cast<uLong>(compressed.size()));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kLarge * kLarge);
}

}  // namespace

// Colour types: 2 RGB, 6 RGBA, 3 palette.
BENCHMARK(BM_LargeObjectDecode)->Arg(2)->Arg(6)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeReaderDecode)->Arg(2)->Arg(6)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeLibpngDecode)->Arg(2)->Arg(6)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeInflateOnly)->Arg(2)->Arg(6)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaderDecode)->Args({6, 0})->Args({6, 1})->Args({2, 0})->Args({3, 0});
BENCHMARK(BM_ObjectDecode)->Args({6, 0})->Args({6, 1})->Args({2, 0})->Args({3, 0});
BENCHMARK(BM_ObjectEncode)->Arg(0)->Arg(1);
BENCHMARK(BM_Crc32);
BENCHMARK_MAIN();
