// GIF codec throughput: LZW decoding and both encoders over a generated 640 x 480 frame,
// decoding a stream of clear codes, and a whole animation loaded, rendered and optimised.
// giflib (the peer, linked only here) decodes the very LZW bytes our encoder wrote and
// encodes the same pixels.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

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
  // Every benchmark of a comparison reports the same counters, as the CSV output demands.
  state.counters["bytes"] = static_cast<double>(data.Size());
}
BENCHMARK(BM_Decode)->Arg(0)->Arg(1);

// ---- giflib on the same bytes ----

struct MemoryReader {
  const std::string* data;
  size_t at;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(count), r->data->size() - r->at);
  std::memcpy(out, r->data->data() + r->at, n);
  r->at += n;
  return static_cast<int>(n);
}

int WriteToMemory(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::string*>(gif->UserData)
      ->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
  return count;
}

// The grey ramp both sides' files carry; the pixels are indexes, so any 256 colours do.
std::vector<GifColorType> Ramp() {
  std::vector<GifColorType> colours(256);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<GifByteType>(i);
    colours[i] = {v, v, v};
  }
  return colours;
}

// A whole GIF file around our encoder's LZW data (minimum code size, sub-blocks and their
// terminator), so giflib decodes exactly the bytes DecodeLZW reads.
std::string FileAround(TMemoryStream& lzw) {
  std::string file = "GIF89a";
  auto put16 = [&](int v) {
    file += static_cast<char>(v & 0xFF);
    file += static_cast<char>(v >> 8);
  };
  put16(kWidth);
  put16(kHeight);
  file += static_cast<char>(0xF7);  // a global colour table of 256 entries
  file += '\0';
  file += '\0';
  for (const GifColorType& c : Ramp()) {
    file += static_cast<char>(c.Red);
    file += static_cast<char>(c.Green);
    file += static_cast<char>(c.Blue);
  }
  file += ',';
  put16(0);
  put16(0);
  put16(kWidth);
  put16(kHeight);
  file += '\0';
  file.append(reinterpret_cast<const char*>(lzw.Memory()), static_cast<size_t>(lzw.Size()));
  file += ';';
  return file;
}

// Opens, reads the one frame's pixels and closes: false when giflib refuses the file.
bool GiflibDecode(const std::string& file, std::vector<uint8_t>& out) {
  MemoryReader reader{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
  if (gif == nullptr) return false;
  GifRecordType record;
  bool read = false;
  while (!read && DGifGetRecordType(gif, &record) == GIF_OK && record != TERMINATE_RECORD_TYPE) {
    if (record != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) != GIF_OK) break;
    read = DGifGetLine(gif, out.data(), kWidth * kHeight) == GIF_OK;
  }
  DGifCloseFile(gif, &error);
  return read;
}

void BM_DecodeGiflib(benchmark::State& state) {
  const std::vector<uint8_t> pixels = Frame(state.range(0) != 0);
  TMemoryStream lzw = Encoded(pixels, false);
  const std::string file = FileAround(lzw);
  std::vector<uint8_t> out(pixels.size());
  if (!GiflibDecode(file, out) || out != pixels) {
    state.SkipWithError("giflib does not read our LZW data back to the frame");
    return;
  }
  for (auto _ : state) {
    GiflibDecode(file, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(pixels.size()));
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_DecodeGiflib)->Arg(0)->Arg(1);

// A whole file: header, the 256-colour table, the frame's descriptor and its LZW data.
std::string GiflibEncode(std::vector<uint8_t>& pixels, ColorMapObject* colours) {
  std::string file;
  int error = 0;
  GifFileType* gif = EGifOpen(&file, WriteToMemory, &error);
  if (gif == nullptr) return {};
  const bool written = EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, colours) == GIF_OK &&
                       EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr) == GIF_OK &&
                       EGifPutLine(gif, pixels.data(), kWidth * kHeight) == GIF_OK;
  EGifCloseFile(gif, &error);
  return written ? file : std::string();
}

void BM_EncodeGiflib(benchmark::State& state) {
  std::vector<uint8_t> pixels = Frame(state.range(0) != 0);
  const std::vector<GifColorType> ramp = Ramp();
  ColorMapObject* colours = GifMakeMapObject(256, ramp.data());
  std::string file = GiflibEncode(pixels, colours);
  if (file.empty()) {
    state.SkipWithError("giflib refused to encode the frame");
  } else {
    for (auto _ : state) {
      file = GiflibEncode(pixels, colours);
      benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(pixels.size()));
    state.counters["bytes"] = static_cast<double>(file.size());
  }
  GifFreeMapObject(colours);
}
BENCHMARK(BM_EncodeGiflib)->Arg(0)->Arg(1);

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
  int64_t size = 0;
  for (auto _ : state) {
    TMemoryStream data = Encoded(pixels, rle);
    benchmark::DoNotOptimize(data.Memory());
    size = data.Size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(pixels.size()));
  state.counters["bytes"] = static_cast<double>(size);
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
