#include "skin/core/pixels/sResample.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "framework/SysUtils.h"

namespace {

int ValidFilter(int filter) { return std::clamp(filter, 0, ResampleFilterCount - 1); }

// The byte of a 16.16 sum: 0 below 0, 255 from 255 + 1/65536 on. Written as a clamp
// without branches so that whole rows convert in vector registers.
template <class Sum>
inline uint8_t SumToByte(Sum sum) {
  return static_cast<uint8_t>(std::min<Sum>(std::max<Sum>(sum, 0), 0xFF0000) >> 16);
}

// Sums of a list's weights times bytes fit a 32-bit integer when 255 times the largest sum
// of absolute weights does; normalised kernels stay far below that.
bool FitsInt32(const std::vector<TsContributorList>& lists) {
  int64_t largest = 0;
  for (const TsContributorList& list : lists) {
    int64_t total = 0;
    for (const TsContributor& c : list) total += std::abs(int64_t{c.Weight});
    largest = std::max(largest, total);
  }
  return largest * 255 < INT32_MAX;
}

// Horizontal pass: every row of source, bpp bytes a pixel, into the same row of work.
template <class Sum, int bpp>
void FilterRowsAs(const TBitmap& source, TBitmap& work,
                  const std::vector<TsContributorList>& lists) {
  for (int y = 0; y < source.Height(); ++y) {
    const uint8_t* s = source.ScanLine(y);
    uint8_t* d = work.ScanLine(y);
    for (const TsContributorList& list : lists) {
      Sum sum[bpp] = {};
      for (const TsContributor& c : list) {
        const uint8_t* p = s + static_cast<ptrdiff_t>(c.SourceIndex) * bpp;
        for (int ch = 0; ch < bpp; ++ch) sum[ch] += static_cast<Sum>(c.Weight) * p[ch];
      }
      for (int ch = 0; ch < bpp; ++ch) d[ch] = SumToByte(sum[ch]);
      d += bpp;
    }
  }
}

void FilterRows(const TBitmap& source, TBitmap& work, int bpp,
                const std::vector<TsContributorList>& lists) {
  const bool narrow = FitsInt32(lists);
  if (bpp == 4)
    narrow ? FilterRowsAs<int32_t, 4>(source, work, lists)
           : FilterRowsAs<int64_t, 4>(source, work, lists);
  else
    narrow ? FilterRowsAs<int32_t, 3>(source, work, lists)
           : FilterRowsAs<int64_t, 3>(source, work, lists);
}

// Vertical pass, one destination row at a time: each contributing work row is added to
// the row's sums, which keeps the walk over memory sequential.
template <class Sum>
void FilterColumnsAs(const TBitmap& work, TBitmap& dest, int bpp,
                     const std::vector<TsContributorList>& lists) {
  const size_t bytes = static_cast<size_t>(work.Width()) * bpp;
  std::vector<Sum> sums(bytes);
  for (int y = 0; y < dest.Height(); ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (const TsContributor& c : lists[static_cast<size_t>(y)]) {
      const uint8_t* s = work.ScanLine(c.SourceIndex);
      const Sum w = c.Weight;
      for (size_t i = 0; i < bytes; ++i) sums[i] += w * s[i];
    }
    uint8_t* d = dest.ScanLine(y);
    for (size_t i = 0; i < bytes; ++i) d[i] = SumToByte(sums[i]);
  }
}

void FilterColumns(const TBitmap& work, TBitmap& dest, int bpp,
                   const std::vector<TsContributorList>& lists) {
  if (FitsInt32(lists))
    FilterColumnsAs<int32_t>(work, dest, bpp, lists);
  else
    FilterColumnsAs<int64_t>(work, dest, bpp, lists);
}

// Weights in 16.16 that add up to exactly 1, so a flat image stays flat whatever the kernel:
// each weight is its share of the sum, and the rounding rest goes to the largest one. A
// list whose kernel already sums to 1 keeps its plain rounded weights.
void NormaliseWeights(TsContributorList& list, const std::vector<double>& weights) {
  double total = 0;
  for (double w : weights) total += w;
  if (list.empty() || total == 0) return;
  int64_t sum = 0;
  size_t largest = 0;
  for (size_t k = 0; k < list.size(); ++k) {
    list[k].Weight = static_cast<int32_t>(std::nearbyint(weights[k] / total * 65536.0));
    sum += list[k].Weight;
    if (std::abs(list[k].Weight) > std::abs(list[largest].Weight)) largest = k;
  }
  list[largest].Weight += static_cast<int32_t>(65536 - sum);
}

}  // namespace

double ResampleKernel(int filter, double x) {
  const double ax = std::fabs(x);
  switch (ValidFilter(filter)) {
    case 0:  // box
      return (ax <= 0.5 && x != -0.5) ? 1.0 : 0.0;
    case 1:  // triangle
      return ax < 1 ? 1 - ax : 0;
    case 2:  // Hermite
      return ax < 1 ? (2 * ax - 3) * ax * ax + 1 : 0;
    case 3:  // bell
      if (ax < 0.5) return 0.75 - ax * ax;
      return ax < 1.5 ? (ax - 1.5) * (ax - 1.5) / 2 : 0;
    case 4:  // B-spline
      if (ax < 1) return ax * ax * ax / 2 - ax * ax + 2.0 / 3;
      return ax < 2 ? (2 - ax) * (2 - ax) * (2 - ax) / 6 : 0;
    case 5: {  // sine window
      if (ax == 0) return 1;
      if (ax >= 3) return 0;
      const double pix = std::numbers::pi * ax;
      return std::sin(pix) * std::sin(ax) / (std::numbers::pi * ax * ax);
    }
    default: {  // Mitchell
      const double x2 = ax * ax, x3 = x2 * ax;
      if (ax < 1) return 7.0 / 6 * x3 - 2 * x2 + 8.0 / 9;
      return ax < 2 ? -7.0 / 18 * x3 + 2 * x2 - 10.0 / 3 * ax + 16.0 / 9 : 0;
    }
  }
}

double ResampleSupport(int filter) {
  static constexpr double supports[] = {0.51, 1.0, 1.0, 1.5, 2.0, 3.0, 2.0};
  return supports[ValidFilter(filter)];
}

std::vector<TsContributorList> BuildContributors(int destSize, int sourceSize, int filter) {
  std::vector<TsContributorList> lists;
  if (destSize <= 0 || sourceSize <= 0) return lists;
  filter = ValidFilter(filter);
  const double support = ResampleSupport(filter);
  const double scale = destSize < sourceSize ? static_cast<double>(destSize) / sourceSize : 1.0;
  const double width = support / scale;
  lists.resize(static_cast<size_t>(destSize));
  for (int i = 0; i < destSize; ++i) {
    const double centre = static_cast<double>(sourceSize) * i / destSize;
    TsContributorList& list = lists[static_cast<size_t>(i)];
    std::vector<double> weights;
    const auto first = static_cast<int64_t>(std::floor(centre - width));
    const auto last = static_cast<int64_t>(std::ceil(centre + width));
    for (int64_t j = first; j <= last; ++j) {
      const double x = std::fabs(centre - static_cast<double>(j)) * scale;
      if (x >= support) continue;
      // The box kernel is asymmetric at -0.5: pass the signed distance.
      const double w = ResampleKernel(filter, (centre - static_cast<double>(j)) * scale);
      if (w == 0) continue;
      int64_t index = j < 0 ? -j : (j >= sourceSize ? 2 * int64_t{sourceSize} - 1 - j : j);
      index = std::clamp<int64_t>(index, 0, sourceSize - 1);  // a kernel wider than the source
      list.push_back({static_cast<int>(index), 0});
      weights.push_back(w * scale);
    }
    NormaliseWeights(list, weights);
  }
  return lists;
}

void StretchBitmap(TBitmap* source, TBitmap* dest, int newWidth, int filter, int newHeight) {
  if (!source || !dest || newWidth <= 0 || newHeight <= 0) return;
  if (source->Width() < 2 || source->Height() < 2) throw Exception("Source bitmap is too small");
  if (newWidth == source->Width() && newHeight == source->Height()) {
    if (dest != source) dest->Assign(source);
    return;
  }
  const TPixelFormat format = source->PixelFormat() == pf32bit ? pf32bit : pf24bit;
  const int bpp = format == pf32bit ? 4 : 3;
  // A source of another format, or one that is also the destination, is read from a copy.
  std::unique_ptr<TBitmap> copy;
  const TBitmap* input = source;
  if (source->PixelFormat() != format || dest == source) {
    copy = std::make_unique<TBitmap>();
    copy->Assign(source);
    copy->SetPixelFormat(format);
    input = copy.get();
  }
  TBitmap work;
  work.SetPixelFormat(format);
  work.SetSize(newWidth, input->Height());
  FilterRows(*input, work, bpp, BuildContributors(newWidth, input->Width(), filter));
  dest->SetPixelFormat(format);
  dest->SetSize(newWidth, newHeight);
  FilterColumns(work, *dest, bpp, BuildContributors(newHeight, input->Height(), filter));
}
