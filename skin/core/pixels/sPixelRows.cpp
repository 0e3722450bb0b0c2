#include "skin/core/pixels/sPixelRows.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <emmintrin.h>
#define K_VECTOR_ROWS 1
// Compiled for SSE2 even where the build does not assume it; called only when it is there.
#define K_SSE2 __attribute__((target("sse2")))
#endif

namespace {

// v / 255 rounded to the nearest for v in 0..255 * 255, without a division.
inline uint8_t DivideBy255(unsigned v) {
  v += 128;
  return static_cast<uint8_t>((v + (v >> 8)) >> 8);
}

#ifdef K_VECTOR_ROWS
bool ProcessorHasSse2() {
#ifdef __SSE2__
  return true;
#else
  static const bool has = __builtin_cpu_supports("sse2");
  return has;
#endif
}

bool useVector = ProcessorHasSse2();

// Every product and sum below stays under 65536, so 16-bit lanes carry it.
K_SSE2 inline __m128i Blend8(__m128i d, __m128i s, __m128i wd, __m128i ws) {
  const __m128i v = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(d, wd), _mm_mullo_epi16(s, ws)),
                                  _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
}

K_SSE2 size_t BlendRowSse2(uint8_t* d, const uint8_t* s, size_t bytes, unsigned w) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i wd = _mm_set1_epi16(static_cast<short>(w));
  const __m128i ws = _mm_set1_epi16(static_cast<short>(255 - w));
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i lo = Blend8(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(sv, zero), wd, ws);
    const __m128i hi = Blend8(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(sv, zero), wd, ws);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
  return i;
}

// Four pixels at once, their even bytes (blue, red) and odd bytes (green, alpha) in 16-bit
// lanes. A colour is d + ((s - d) * a) shr 8: the product's low 16 bits hold its high byte
// modulo 256, which the final byte add of d puts right, as the result is known to fit a
// byte. The alpha lane takes (255 - da) for (s - d) and corrects the shift to a division
// by 255: x / 255 is (x + 1 + (x shr 8)) shr 8 for x up to 255 * 255.
K_SSE2 inline __m128i AlphaOver4(__m128i d, __m128i s) {
  const __m128i evenBytes = _mm_set1_epi16(0x00FF);
  const __m128i oddBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
  const __m128i alphaLanes = _mm_set1_epi32(0x00FF0000);
  const __m128i alphaOnes = _mm_set1_epi32(0x00010000);
  __m128i a = _mm_srli_epi32(s, 24);
  a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
  const __m128i evenDiff = _mm_sub_epi16(_mm_and_si128(s, evenBytes), _mm_and_si128(d, evenBytes));
  const __m128i oddDiff =
      _mm_sub_epi16(_mm_or_si128(_mm_srli_epi16(s, 8), alphaLanes), _mm_srli_epi16(d, 8));
  const __m128i even = _mm_mullo_epi16(evenDiff, a);
  __m128i odd = _mm_mullo_epi16(oddDiff, a);
  odd = _mm_add_epi16(odd,
                      _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(odd, 8), alphaLanes), alphaOnes));
  const __m128i steps = _mm_or_si128(_mm_srli_epi16(even, 8), _mm_and_si128(odd, oddBytes));
  return _mm_add_epi8(steps, d);
}

K_SSE2 size_t AlphaOverRowSse2(uint32_t* d, const uint32_t* s, size_t count) {
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), AlphaOver4(dv, sv));
  }
  return i;
}

// Aligned 16-byte stores, four to a step: a fill is bound by stores alone.
K_SSE2 size_t FillRowSse2(uint32_t* d, size_t count, uint32_t value) {
  size_t i = 0;
  while (i < count && reinterpret_cast<uintptr_t>(d + i) % 16 != 0) d[i++] = value;
  const __m128i v = _mm_set1_epi32(static_cast<int>(value));
  for (; i + 16 <= count; i += 16) {
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i), v);
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 4), v);
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 8), v);
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 12), v);
  }
  for (; i + 4 <= count; i += 4) _mm_store_si128(reinterpret_cast<__m128i*>(d + i), v);
  return i;
}

K_SSE2 inline __m128i Lerp8(__m128i a, __m128i b, __m128i wa, __m128i wb) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, wa), _mm_mullo_epi16(b, wb)), 8);
}

K_SSE2 size_t LerpRowSse2(uint8_t* out, const uint8_t* a, const uint8_t* b, size_t bytes,
                          unsigned w) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i wb = _mm_set1_epi16(static_cast<short>(w));
  const __m128i wa = _mm_set1_epi16(static_cast<short>(256 - w));
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i av = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    const __m128i lo = Lerp8(_mm_unpacklo_epi8(av, zero), _mm_unpacklo_epi8(bv, zero), wa, wb);
    const __m128i hi = Lerp8(_mm_unpackhi_epi8(av, zero), _mm_unpackhi_epi8(bv, zero), wa, wb);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
  }
  return i;
}
#endif

}  // namespace

void BlendRow(uint8_t* d, const uint8_t* s, size_t bytes, unsigned w) {
  size_t i = 0;
#ifdef K_VECTOR_ROWS
  if (useVector) i = BlendRowSse2(d, s, bytes, w);
#endif
  const unsigned sw = 255 - w;
  for (; i < bytes; ++i) d[i] = DivideBy255(d[i] * w + s[i] * sw);
}

void AlphaOverRow(uint32_t* d, const uint32_t* s, size_t count) {
  size_t i = 0;
#ifdef K_VECTOR_ROWS
  if (useVector) i = AlphaOverRowSse2(d, s, count);
#endif
  for (; i < count; ++i) d[i] = AlphaOver(d[i], s[i]);
}

void FillRow(uint32_t* d, size_t count, uint32_t value) {
  size_t i = 0;
#ifdef K_VECTOR_ROWS
  if (useVector) i = FillRowSse2(d, count, value);
#endif
  for (; i < count; ++i) d[i] = value;
}

void LerpRow(uint8_t* out, const uint8_t* a, const uint8_t* b, size_t bytes, unsigned w) {
  size_t i = 0;
  // 256 - w must fit the 16-bit lanes' multiply as a weight of at most 256.
#ifdef K_VECTOR_ROWS
  if (useVector && w <= 256) i = LerpRowSse2(out, a, b, bytes, w);
#endif
  for (; i < bytes; ++i) out[i] = static_cast<uint8_t>((a[i] * (256 - w) + b[i] * w) >> 8);
}

void UseVectorPixelRows(bool use) {
#ifdef K_VECTOR_ROWS
  useVector = use && ProcessorHasSse2();
#else
  (void)use;
#endif
}
