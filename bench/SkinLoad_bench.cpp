// Loading a skin: the full generated skin read into the tables from its packed file and from
// its folder, side by side with inflating the packed file's entries with zlib alone, which is
// the least any packed load must do. Each load is a complete skin switch.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "skin/core/skinfiles/sSkinManager.h"

namespace {

const std::string kSkinsDir = KESTRAVA_SKINS_DIR;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void LoadSkin(benchmark::State& state, const std::string& folder, const std::string& name) {
  TsSkinManager manager(nullptr);
  manager.SetSkinDirectory(kSkinsDir + "/" + folder);
  for (auto _ : state) {
    manager.SetSkinName(name);
    if (!manager.LastLoadError().empty() || manager.Sections().empty()) {
      state.SkipWithError(("skin did not load: " + manager.LastLoadError()).c_str());
      break;
    }
    benchmark::DoNotOptimize(manager.Masks().data());
  }
}

void BM_LoadFullSkinPacked(benchmark::State& state) { LoadSkin(state, "packed", "Full"); }
void BM_LoadFullSkinFolder(benchmark::State& state) { LoadSkin(state, "folders", "Full"); }
void BM_LoadOffice12StylePacked(benchmark::State& state) {
  LoadSkin(state, "packed", "Office12Style");
}

// Every entry of the packed file inflated into its own buffer with zlib's inflate.
void BM_InflateFullSkinEntriesZlibOnly(benchmark::State& state) {
  const std::vector<uint8_t> packed = ReadFile(kSkinsDir + "/packed/Full.asz");
  for (auto _ : state) {
    size_t at = 8;
    int32_t count;
    std::memcpy(&count, &packed[4], 4);
    size_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
      int32_t nameLength, size;
      std::memcpy(&nameLength, &packed[at], 4);
      at += 4 + static_cast<size_t>(nameLength);
      std::memcpy(&size, &packed[at], 4);
      at += 4;
      std::vector<uint8_t> out(static_cast<size_t>(size));
      z_stream z{};
      inflateInit(&z);
      z.next_in = const_cast<Bytef*>(&packed[at]);
      z.avail_in = static_cast<uInt>(packed.size() - at);
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      if (inflate(&z, Z_FINISH) != Z_STREAM_END) {
        state.SkipWithError("inflate failed");
        return;
      }
      at += z.total_in;
      total += z.total_out;
      inflateEnd(&z);
      benchmark::DoNotOptimize(out.data());
    }
    benchmark::DoNotOptimize(total);
  }
}

BENCHMARK(BM_InflateFullSkinEntriesZlibOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFullSkinPacked)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFullSkinFolder)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadOffice12StylePacked)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
