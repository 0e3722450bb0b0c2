// Painting skin sections of the full generated skin into cache-sized bitmaps (a form, an
// edit and a button, hot state included), and one 20-step cross-fade of a 400 x 300 window.
// Each iteration is one frame; the fade must cost well under its 10 ms tick.
#include <benchmark/benchmark.h>

#include "skin/core/painting/sSectionPaint.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/runtime/sFade.h"
#include "skin/core/skinfiles/sSkinManager.h"

namespace {

TsSkinManager& FullSkin() {
  static TsSkinManager* manager = [] {
    auto* m = new TsSkinManager(nullptr);
    m->SetSkinDirectory(std::string(KESTRAVA_SKINS_DIR) + "/packed");
    m->SetSkinName("Full");
    return m;
  }();
  return *manager;
}

void PaintSection(benchmark::State& state, const char* name, int width, int height) {
  TsSkinManager& manager = FullSkin();
  const int index = manager.GetSectionIndex(name);
  if (index < 0) {
    state.SkipWithError("section missing from the full skin");
    return;
  }
  auto bitmap = CreateBmp32(width, height);
  auto behind = CreateBmp32(width, height);
  TsItemPaint item;
  item.Bitmap = bitmap.get();
  item.R = TRect{0, 0, width, height};
  item.SectionIndex = index;
  item.SectionName = name;
  item.Background = MakeBackgroundSource(behind.get(), 0, 0);
  item.Manager = &manager;
  int frame = 0;
  for (auto _ : state) {
    item.State = (frame++ & 1) ? TsPaintState::Hot : TsPaintState::Normal;
    PaintItem(item);
    benchmark::ClobberMemory();
  }
  state.counters["frame_us"] =
      benchmark::Counter(static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PaintForm1024x768(benchmark::State& state) { PaintSection(state, "FORM", 1024, 768); }
void BM_PaintEdit300x24(benchmark::State& state) { PaintSection(state, "EDIT", 300, 24); }
void BM_PaintButton90x28(benchmark::State& state) { PaintSection(state, "BUTTON", 90, 28); }
BENCHMARK(BM_PaintForm1024x768)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintEdit300x24)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintButton90x28)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// A host whose frames go nowhere: the cost measured is the blend of each step.
struct TBenchFadeHost : IFadeHost {
  std::unique_ptr<TBitmap> cache = CreateBmp32(400, 300);
  bool Alive() const override { return true; }
  bool Enabled() const override { return true; }
  const TBitmap* CacheBitmap() const override { return cache.get(); }
  void ShowFrame(const TBitmap& frame) override { benchmark::DoNotOptimize(&frame); }
  void FadeEnded() override {}
  void Invalidate() override {}
};

// One iteration is one whole 20-step fade; the per-frame time is reported beside it.
void BM_Fade400x300Steps20(benchmark::State& state) {
  TBenchFadeHost host;
  auto start = CreateBmp32(400, 300);
  for (auto _ : state) {
    TsFadeSteps fade;
    fade.Prepare(&host, *start, 20, false);
    while (fade.Tick()) {
    }
  }
  state.counters["frame_us"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 20,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Fade400x300Steps20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
