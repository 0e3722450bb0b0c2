// The skin core's pixel work side by side with pixman at the sizes a skinned window paints:
// blends and fills of a 1024 x 768 32-bit bitmap, a nine-slice stretch of a 64 x 64 frame
// image over it, and the triangle and cubic resamplers against pixman's bilinear and
// separable-convolution filters.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>
#include <random>

#include "skin/core/pixels/sAlphaGraph.h"
#include "skin/core/pixels/sGraphics.h"
#include "skin/core/pixels/sResample.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

std::unique_ptr<TBitmap> Noise(int w, int h, uint32_t seed, bool halfTransparent) {
  auto bmp = CreateBmp32(w, h);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bmp->ScanLine(y));
    for (int x = 0; x < w; ++x) {
      uint32_t v = rng();
      if (halfTransparent) {
        // Premultiplied for pixman's sake: colour bytes not above alpha.
        const uint32_t a = 0x40 + (v >> 24) % 0x80;
        v = a << 24 | ((v >> 16 & 0xFF) * a / 255) << 16 | ((v >> 8 & 0xFF) * a / 255) << 8 |
            (v & 0xFF) * a / 255;
      }
      row[x] = v;
    }
  }
  return bmp;
}

// A pixman image holding a copy of the bitmap's pixels (top row first).
struct PixmanImage {
  explicit PixmanImage(TBitmap& bmp)
      : image(pixman_image_create_bits(PIXMAN_a8r8g8b8, bmp.Width(), bmp.Height(), nullptr, 0)) {
    auto* bits = pixman_image_get_data(image);
    const int stride = pixman_image_get_stride(image);
    for (int y = 0; y < bmp.Height(); ++y)
      std::memcpy(reinterpret_cast<uint8_t*>(bits) + y * stride, bmp.ScanLine(y), bmp.Width() * 4);
  }
  PixmanImage(int w, int h) : image(pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, nullptr, 0)) {}
  ~PixmanImage() { pixman_image_unref(image); }
  pixman_image_t* image;
};

void SetPixels(benchmark::State& state, int64_t pixels) {
  state.SetItemsProcessed(state.iterations() * pixels);
}

// ---- blends -------------------------------------------------------------------------------

void BM_BlendOneWeight_Ours(benchmark::State& state) {
  auto dest = Noise(kWidth, kHeight, 1, false), source = Noise(kWidth, kHeight, 2, false);
  for (auto _ : state) {
    BlendBitmaps(dest.get(), source.get(), 128);
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

void BM_BlendPerPixelAlpha_Ours(benchmark::State& state) {
  auto dest = Noise(kWidth, kHeight, 1, false), source = Noise(kWidth, kHeight, 2, true);
  const TRect whole{0, 0, kWidth, kHeight};
  for (auto _ : state) {
    CopyAlphaBitmap(whole, whole, dest.get(), false, EmptyBackgroundSource, source.get());
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

void BM_BlendOver_Pixman(benchmark::State& state) {
  auto d = Noise(kWidth, kHeight, 1, false), s = Noise(kWidth, kHeight, 2, true);
  PixmanImage dest(*d), source(*s);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, source.image, nullptr, dest.image, 0, 0, 0, 0, 0, 0,
                             kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

void BM_BlendOverConstantMask_Pixman(benchmark::State& state) {
  auto d = Noise(kWidth, kHeight, 1, false), s = Noise(kWidth, kHeight, 2, false);
  PixmanImage dest(*d), source(*s);
  const pixman_color_t half{0x8080, 0x8080, 0x8080, 0x8080};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, source.image, mask, dest.image, 0, 0, 0, 0, 0, 0,
                             kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
  SetPixels(state, int64_t{kWidth} * kHeight);
}

// ---- fills --------------------------------------------------------------------------------

void BM_Fill_Ours(benchmark::State& state) {
  auto bmp = CreateBmp32(kWidth, kHeight);
  for (auto _ : state) {
    FillRect32(bmp.get(), Rect(0, 0, kWidth, kHeight), 0x00336699);
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

void BM_Fill_Pixman(benchmark::State& state) {
  PixmanImage dest(kWidth, kHeight);
  uint32_t* bits = pixman_image_get_data(dest.image);
  const int strideWords = pixman_image_get_stride(dest.image) / 4;
  for (auto _ : state) {
    pixman_fill(bits, strideWords, 32, 0, 0, kWidth, kHeight, 0xFF996633u);
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

// ---- nine-slice stretch -------------------------------------------------------------------

constexpr int kFrame = 64, kMargin = 8;

void BM_NineSliceStretch_Ours(benchmark::State& state) {
  auto source = Noise(kFrame, kFrame, 3, false), dest = CreateBmp32(kWidth, kHeight);
  const TRect m{kMargin, kMargin, kMargin, kMargin};
  for (auto _ : state) {
    CopyNineSlice(dest.get(), Rect(0, 0, kWidth, kHeight), source.get(), Rect(0, 0, kFrame, kFrame),
                  {.Margins = m, .CornerLimits = m, .EdgeModes = {1, 1, 1, 1}, .CentreMode = 1});
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

void BM_NineSliceTile_Ours(benchmark::State& state) {
  auto source = Noise(kFrame, kFrame, 3, false), dest = CreateBmp32(kWidth, kHeight);
  const TRect m{kMargin, kMargin, kMargin, kMargin};
  for (auto _ : state) {
    CopyNineSlice(dest.get(), Rect(0, 0, kWidth, kHeight), source.get(), Rect(0, 0, kFrame, kFrame),
                  {.Margins = m, .CornerLimits = m, .EdgeModes = {0, 0, 0, 0}});
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

// One part of the frame: source rectangle (sx, sy, sw, sh) scaled into (dx, dy, dw, dh).
void PixmanScaledPart(pixman_image_t* source, pixman_image_t* dest, int sx, int sy, int sw, int sh,
                      int dx, int dy, int dw, int dh) {
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  pixman_transform_scale(&t, nullptr, pixman_double_to_fixed(double(sw) / dw),
                         pixman_double_to_fixed(double(sh) / dh));
  pixman_image_set_transform(source, &t);
  // Source coordinates of the destination's origin, in the scaled space.
  pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, dest, sx * dw / sw, sy * dh / sh, 0, 0,
                           dx, dy, dw, dh);
}

void BM_NineSliceStretch_PixmanBilinear(benchmark::State& state) {
  auto s = Noise(kFrame, kFrame, 3, false);
  PixmanImage source(*s), dest(kWidth, kHeight);
  pixman_image_set_filter(source.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(source.image, PIXMAN_REPEAT_PAD);
  const int c = kFrame - 2 * kMargin, w = kWidth - 2 * kMargin, h = kHeight - 2 * kMargin;
  const int edge = kFrame - kMargin;
  for (auto _ : state) {
    // Corners unscaled, edges and centre scaled.
    PixmanScaledPart(source.image, dest.image, 0, 0, kMargin, kMargin, 0, 0, kMargin, kMargin);
    PixmanScaledPart(source.image, dest.image, edge, 0, kMargin, kMargin, kWidth - kMargin, 0,
                     kMargin, kMargin);
    PixmanScaledPart(source.image, dest.image, 0, edge, kMargin, kMargin, 0, kHeight - kMargin,
                     kMargin, kMargin);
    PixmanScaledPart(source.image, dest.image, edge, edge, kMargin, kMargin, kWidth - kMargin,
                     kHeight - kMargin, kMargin, kMargin);
    PixmanScaledPart(source.image, dest.image, kMargin, 0, c, kMargin, kMargin, 0, w, kMargin);
    PixmanScaledPart(source.image, dest.image, kMargin, edge, c, kMargin, kMargin,
                     kHeight - kMargin, w, kMargin);
    PixmanScaledPart(source.image, dest.image, 0, kMargin, kMargin, c, 0, kMargin, kMargin, h);
    PixmanScaledPart(source.image, dest.image, edge, kMargin, kMargin, c, kWidth - kMargin, kMargin,
                     kMargin, h);
    PixmanScaledPart(source.image, dest.image, kMargin, kMargin, c, c, kMargin, kMargin, w, h);
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{kWidth} * kHeight);
}

// ---- resampling ---------------------------------------------------------------------------

// Arguments: source width, source height, destination width, destination height.
void ResampleArgs(benchmark::internal::Benchmark* b) {
  b->Args({kWidth, kHeight, 640, 480});  // shrink
  b->Args({256, 192, kWidth, kHeight});  // enlarge
}

void Ours(benchmark::State& state, int filter) {
  auto source = Noise(state.range(0), state.range(1), 4, false);
  TBitmap dest;
  for (auto _ : state) {
    StretchBitmap(source.get(), &dest, state.range(2), filter, state.range(3));
    benchmark::ClobberMemory();
  }
  SetPixels(state, state.range(2) * state.range(3));
}

void BM_ResampleTriangle_Ours(benchmark::State& state) { Ours(state, 1); }
void BM_ResampleMitchell_Ours(benchmark::State& state) { Ours(state, 6); }

void Pixman(benchmark::State& state, pixman_filter_t filter, pixman_kernel_t kernel) {
  const int sw = state.range(0), sh = state.range(1), dw = state.range(2), dh = state.range(3);
  auto s = Noise(sw, sh, 4, false);
  PixmanImage source(*s), dest(dw, dh);
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  const pixman_fixed_t scaleX = pixman_double_to_fixed(double(sw) / dw);
  const pixman_fixed_t scaleY = pixman_double_to_fixed(double(sh) / dh);
  pixman_transform_scale(&t, nullptr, scaleX, scaleY);
  pixman_image_set_transform(source.image, &t);
  pixman_image_set_repeat(source.image, PIXMAN_REPEAT_PAD);
  if (filter == PIXMAN_FILTER_SEPARABLE_CONVOLUTION) {
    int count = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
        &count, scaleX, scaleY, kernel, kernel, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 1, 1);
    pixman_image_set_filter(source.image, filter, params, count);
    free(params);
  } else {
    pixman_image_set_filter(source.image, filter, nullptr, 0);
  }
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, source.image, nullptr, dest.image, 0, 0, 0, 0, 0, 0, dw,
                             dh);
    benchmark::ClobberMemory();
  }
  SetPixels(state, int64_t{dw} * dh);
}

void BM_ResampleBilinear_Pixman(benchmark::State& state) {
  Pixman(state, PIXMAN_FILTER_BILINEAR, PIXMAN_KERNEL_LINEAR);
}
void BM_ResampleLinearConvolution_Pixman(benchmark::State& state) {
  Pixman(state, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, PIXMAN_KERNEL_LINEAR);
}
void BM_ResampleCubicConvolution_Pixman(benchmark::State& state) {
  Pixman(state, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, PIXMAN_KERNEL_CUBIC);
}

}  // namespace

BENCHMARK(BM_BlendOneWeight_Ours);
BENCHMARK(BM_BlendOverConstantMask_Pixman);
BENCHMARK(BM_BlendPerPixelAlpha_Ours);
BENCHMARK(BM_BlendOver_Pixman);
BENCHMARK(BM_Fill_Ours);
BENCHMARK(BM_Fill_Pixman);
BENCHMARK(BM_NineSliceStretch_Ours);
BENCHMARK(BM_NineSliceTile_Ours);
BENCHMARK(BM_NineSliceStretch_PixmanBilinear);
BENCHMARK(BM_ResampleTriangle_Ours)->Apply(ResampleArgs);
BENCHMARK(BM_ResampleBilinear_Pixman)->Apply(ResampleArgs);
BENCHMARK(BM_ResampleLinearConvolution_Pixman)->Apply(ResampleArgs);
BENCHMARK(BM_ResampleMitchell_Ours)->Apply(ResampleArgs);
BENCHMARK(BM_ResampleCubicConvolution_Pixman)->Apply(ResampleArgs);
BENCHMARK_MAIN();
