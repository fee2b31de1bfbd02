#include "discimage/vcd_write_edc.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VCD_EDC_FOLD 1
#include <immintrin.h>
#endif

#ifdef VCD_EDC_FOLD

namespace {

// Folding constants of the EDC polynomial
//   P = (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1) = 0x1_8001_801B
// in the bit-reflected domain: k = reflect32(x^n mod P) << 1 for
// n = 4*128+32, 4*128-32 (fold 64 bytes), 128+32, 128-32 (fold 16 bytes)
// and 64 (128 to 64 bits); then P and floor(x^64 / P) reflected over 33
// bits for the Barrett reduction. (The same formulas give the well-known
// constants of the zlib CRC-32 for its polynomial.)
alignas(16) const uint64_t kFold4[2] = {0x1f8931102ull, 0x12e7928a2ull};
alignas(16) const uint64_t kFold1[2] = {0x06c90c100ull, 0x1d5934102ull};
alignas(16) const uint64_t kFold64[2] = {0x1f1030002ull, 0};
alignas(16) const uint64_t kBarrett[2] = {0x1b0030003ull, 0x17000ffffull};

// One 16-byte block folded forward over next by the constants k.
__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

}  // namespace

__attribute__((target("pclmul,sse2"))) uint32_t VcdEdcFold(uint32_t edc, const uint8_t* p,
                                                            size_t length) {
  __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
  __m128i x3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
  __m128i x4 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
  x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(edc)));
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
  p += 64;
  length -= 64;

  // Four lanes of 16 bytes, each folded 64 bytes forward.
  while (length >= 64) {
    __m128i l1 = _mm_clmulepi64_si128(x1, k, 0x00), h1 = _mm_clmulepi64_si128(x1, k, 0x11);
    __m128i l2 = _mm_clmulepi64_si128(x2, k, 0x00), h2 = _mm_clmulepi64_si128(x2, k, 0x11);
    __m128i l3 = _mm_clmulepi64_si128(x3, k, 0x00), h3 = _mm_clmulepi64_si128(x3, k, 0x11);
    __m128i l4 = _mm_clmulepi64_si128(x4, k, 0x00), h4 = _mm_clmulepi64_si128(x4, k, 0x11);
    x1 = _mm_xor_si128(_mm_xor_si128(l1, h1), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    x2 = _mm_xor_si128(_mm_xor_si128(l2, h2), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)));
    x3 = _mm_xor_si128(_mm_xor_si128(l3, h3), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)));
    x4 = _mm_xor_si128(_mm_xor_si128(l4, h4), _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)));
    p += 64;
    length -= 64;
  }

  // The four lanes into one, then the remaining 16-byte blocks.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
  x1 = Fold(x1, k, x2);
  x1 = Fold(x1, k, x3);
  x1 = Fold(x1, k, x4);
  while (length >= 16) {
    x1 = Fold(x1, k, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    p += 16;
    length -= 16;
  }

  // 128 bits to 64, then Barrett reduction to 32.
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
  x2 = _mm_clmulepi64_si128(x1, k, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
  x2 = _mm_srli_si128(x1, 4);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), x2);
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10);
  x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, low32), k, 0x00);
  x1 = _mm_xor_si128(x1, x2);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

bool VcdEdcFoldAvailable() {
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
  }();
  return available;
}

#else

bool VcdEdcFoldAvailable() { return false; }
uint32_t VcdEdcFold(uint32_t edc, const uint8_t*, size_t) { return edc; }

#endif
