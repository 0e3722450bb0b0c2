#include "imaging/PngRowFilters.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <type_traits>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#endif

namespace png_rows {

uint32_t Crc32(uint32_t crc, const void* data, size_t size) {
  const auto* p = static_cast<const Bytef*>(data);
  uLong c = crc;
  // zlib takes its length as uInt: very large buffers go through in slices.
  while (size > 0) {
    const uInt slice = static_cast<uInt>(std::min<size_t>(size, UINT_MAX));
    c = crc32(c, p, slice);
    p += slice;
    size -= slice;
  }
  return static_cast<uint32_t>(c);
}

// Unfiltering of 3- and 4-byte pixels (8-bit RGB and RGBA) one pixel per SSE2 step, as the
// filters' byte-wise dependency on the pixel to the left allows; other widths and
// processors take the byte loops.
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define PNG_UNFILTER_SSE2 1
#define PNG_UNFILTER_TARGET __attribute__((target("sse2")))
#else
#define PNG_UNFILTER_TARGET
#endif

namespace {

#ifdef PNG_UNFILTER_SSE2
// A pixel of kBytes (3 or 4) into the low lanes and back; never touches bytes beyond it.
// Three bytes are put together in a register: a partial copy through memory would stall
// the load on the stores before it.
template <size_t kBytes>
PNG_UNFILTER_TARGET inline __m128i LoadPixel(const uint8_t* p) {
  uint32_t v;
  if constexpr (kBytes == 4) {
    std::memcpy(&v, p, 4);
  } else {
    v = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
  }
  return _mm_cvtsi32_si128(static_cast<int>(v));
}
template <size_t kBytes>
PNG_UNFILTER_TARGET inline void StorePixelBytes(uint8_t* p, __m128i v) {
  const uint32_t u = static_cast<uint32_t>(_mm_cvtsi128_si32(v));
  if constexpr (kBytes == 4) {
    std::memcpy(p, &u, 4);
  } else {
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
  }
}

PNG_UNFILTER_TARGET inline __m128i Abs16(__m128i v) {
  return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

template <size_t kBytes>
PNG_UNFILTER_TARGET void UnfilterSub(uint8_t* x, size_t length) {
  __m128i left = _mm_setzero_si128();
  for (size_t i = 0; i < length; i += kBytes) {
    left = _mm_add_epi8(LoadPixel<kBytes>(x + i), left);
    StorePixelBytes<kBytes>(x + i, left);
  }
}

template <size_t kBytes>
PNG_UNFILTER_TARGET void UnfilterAverage(uint8_t* x, const uint8_t* up, size_t length) {
  const __m128i one = _mm_set1_epi8(1);
  __m128i left = _mm_setzero_si128();
  for (size_t i = 0; i < length; i += kBytes) {
    // (left + up) / 2 rounded down: the rounded-up average less the dropped bit.
    const __m128i above = LoadPixel<kBytes>(up + i);
    const __m128i average =
        _mm_sub_epi8(_mm_avg_epu8(left, above), _mm_and_si128(_mm_xor_si128(left, above), one));
    left = _mm_add_epi8(LoadPixel<kBytes>(x + i), average);
    StorePixelBytes<kBytes>(x + i, left);
  }
}

// Paeth in 16-bit lanes: a left, b up, c upper left; the predictor is a unless |p-a| is
// larger than |p-b| or |p-c|, then b unless |p-b| is larger than |p-c|, then c.
template <size_t kBytes>
PNG_UNFILTER_TARGET void UnfilterPaeth(uint8_t* x, const uint8_t* up, size_t length) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero;
  __m128i c = zero;
  for (size_t i = 0; i < length; i += kBytes) {
    const __m128i b = _mm_unpacklo_epi8(LoadPixel<kBytes>(up + i), zero);
    const __m128i bc = _mm_sub_epi16(b, c);  // p - a
    const __m128i ac = _mm_sub_epi16(a, c);  // p - b
    const __m128i pa = Abs16(bc);
    const __m128i pb = Abs16(ac);
    const __m128i pc = Abs16(_mm_add_epi16(bc, ac));  // p - c
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i takeC = _mm_cmpgt_epi16(pb, pc);
    const __m128i bOrC = _mm_or_si128(_mm_and_si128(takeC, c), _mm_andnot_si128(takeC, b));
    const __m128i predictor = _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
    const __m128i out =
        _mm_add_epi8(LoadPixel<kBytes>(x + i), _mm_packus_epi16(predictor, predictor));
    StorePixelBytes<kBytes>(x + i, out);
    a = _mm_unpacklo_epi8(out, zero);
    c = b;
  }
}

template <size_t kBytes>
void UnfilterPixels(uint8_t filter, uint8_t* x, const uint8_t* up, size_t length) {
  switch (filter) {
    case 1:
      UnfilterSub<kBytes>(x, length);
      break;
    case 3:
      UnfilterAverage<kBytes>(x, up, length);
      break;
    default:
      UnfilterPaeth<kBytes>(x, up, length);
      break;
  }
}
#endif

// The byte loops, for any pixel width; Step is a constant where the width is known.
template <class Step>
void UnfilterBytes(uint8_t filter, uint8_t* x, const uint8_t* up, size_t length, Step stepValue) {
  const size_t step = stepValue;
  const size_t first = std::min(step, length);  // the bytes with no pixel to their left
  switch (filter) {
    case 1:
      for (size_t i = step; i < length; ++i) x[i] = static_cast<uint8_t>(x[i] + x[i - step]);
      break;
    case 2:
      for (size_t i = 0; i < length; ++i) x[i] = static_cast<uint8_t>(x[i] + up[i]);
      break;
    case 3:
      for (size_t i = 0; i < first; ++i) x[i] = static_cast<uint8_t>(x[i] + up[i] / 2);
      for (size_t i = first; i < length; ++i)
        x[i] = static_cast<uint8_t>(x[i] + (x[i - step] + up[i]) / 2);
      break;
    case 4:
      for (size_t i = 0; i < first; ++i) x[i] = static_cast<uint8_t>(x[i] + up[i]);
      for (size_t i = first; i < length; ++i)
        x[i] = static_cast<uint8_t>(x[i] + Paeth(x[i - step], up[i], up[i - step]));
      break;
    default:
      break;
  }
}

}  // namespace

void UnfilterRow(uint8_t filter, uint8_t* x, const uint8_t* up, size_t length, size_t step) {
#ifdef PNG_UNFILTER_SSE2
  if ((step == 3 || step == 4) && (filter == 1 || filter == 3 || filter == 4) &&
      length % step == 0) {
    if (step == 3) {
      UnfilterPixels<3>(filter, x, up, length);
    } else {
      UnfilterPixels<4>(filter, x, up, length);
    }
    return;
  }
#endif
  // One byte per pixel (palettes, grey) is common enough to get loops of its own.
  if (step == 1) {
    UnfilterBytes(filter, x, up, length, std::integral_constant<size_t, 1>{});
  } else {
    UnfilterBytes(filter, x, up, length, step);
  }
}

}  // namespace png_rows
