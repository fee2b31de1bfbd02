#include "discimage/image/vcd_write_edc.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VCD_EDC_FOLD 1
#include <immintrin.h>
#endif

#ifdef VCD_EDC_FOLD

namespace {

// Folding constants of the EDC polynomial
//   P = (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1) = 0x1_8001_801B
// in the bit-reflected domain: k = reflect32(x^n mod P) << 1 for
// n = 2048+32, 2048-32 (fold 256 bytes), 4*128+32, 4*128-32 (fold 64
// bytes), 128+32, 128-32 (fold 16 bytes)
// and 64 (128 to 64 bits); then P and floor(x^64 / P) reflected over 33
// bits for the Barrett reduction. (The same formulas give the well-known
// constants of the zlib CRC-32 for its polynomial.)
// n = 2048 +- 32, once for each 16-byte lane of a 64-byte register.
alignas(64) const uint64_t kFold256[8] = {0x10d925102ull, 0x1bcb30820ull, 0x10d925102ull, 0x1bcb30820ull,
                                          0x10d925102ull, 0x1bcb30820ull, 0x10d925102ull, 0x1bcb30820ull};
alignas(16) const uint64_t kFold4[2] = {0x1f8931102ull, 0x12e7928a2ull};
alignas(16) const uint64_t kFold1[2] = {0x06c90c100ull, 0x1d5934102ull};
alignas(16) const uint64_t kFold64[2] = {0x1f1030002ull, 0};
alignas(16) const uint64_t kBarrett[2] = {0x1b0030003ull, 0x17000ffffull};

// One 16-byte block folded forward over next by the constants k.
__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

__attribute__((target("sse2"))) inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// The folded state x1 of the data so far, the remaining 16-byte blocks
// folded in, and the 128 bits reduced to the 32-bit EDC.
__attribute__((target("pclmul,sse2"))) uint32_t FoldTail(__m128i x1, const uint8_t* p, size_t length) {
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
  while (length >= 16) {
    x1 = Fold(x1, k, Load(p));
    p += 16;
    length -= 16;
  }
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
  __m128i x2 = _mm_clmulepi64_si128(x1, k, 0x10);
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

// Four 16-byte lanes, each folded 64 bytes forward at a time.
__attribute__((target("pclmul,sse2"))) uint32_t FoldSse(uint32_t edc, const uint8_t* p, size_t length) {
  __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(edc)));
  __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
  p += 64;
  length -= 64;
  while (length >= 64) {
    x1 = Fold(x1, k, Load(p));
    x2 = Fold(x2, k, Load(p + 16));
    x3 = Fold(x3, k, Load(p + 32));
    x4 = Fold(x4, k, Load(p + 48));
    p += 64;
    length -= 64;
  }
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
  x1 = Fold(x1, k, x2);
  x1 = Fold(x1, k, x3);
  x1 = Fold(x1, k, x4);
  return FoldTail(x1, p, length);
}

// Four 16-byte blocks at once, folded forward over next.
__attribute__((target("avx512f,vpclmulqdq"))) inline __m512i Fold512(__m512i z, __m512i k, __m512i next) {
  return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(z, k, 0x00),
                                   _mm512_clmulepi64_epi128(z, k, 0x11), next, 0x96);
}

// The same with four 64-byte lanes folded 256 bytes forward at a time.
__attribute__((target("avx512f,vpclmulqdq,pclmul"))) uint32_t FoldAvx512(uint32_t edc, const uint8_t* p,
                                                                          size_t length) {
  __m512i z1 = _mm512_loadu_si512(p), z2 = _mm512_loadu_si512(p + 64);
  __m512i z3 = _mm512_loadu_si512(p + 128), z4 = _mm512_loadu_si512(p + 192);
  z1 = _mm512_xor_si512(z1, _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(edc))));
  const __m512i k = _mm512_load_si512(kFold256);
  p += 256;
  length -= 256;
  while (length >= 256) {
    z1 = Fold512(z1, k, _mm512_loadu_si512(p));
    z2 = Fold512(z2, k, _mm512_loadu_si512(p + 64));
    z3 = Fold512(z3, k, _mm512_loadu_si512(p + 128));
    z4 = Fold512(z4, k, _mm512_loadu_si512(p + 192));
    p += 256;
    length -= 256;
  }
  // The 256 bytes of state are a message prefix like any other: folded
  // down 16 bytes at a time.
  alignas(64) uint8_t state[256];
  _mm512_store_si512(state, z1);
  _mm512_store_si512(state + 64, z2);
  _mm512_store_si512(state + 128, z3);
  _mm512_store_si512(state + 192, z4);
  const __m128i k1 = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
  __m128i x1 = Load(state);
  for (int i = 16; i < 256; i += 16) x1 = Fold(x1, k1, Load(state + i));
  return FoldTail(x1, p, length);
}

bool HasAvx512Fold() {
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
  }();
  return available;
}

}  // namespace

uint32_t VcdEdcFold(uint32_t edc, const uint8_t* p, size_t length) {
  if (length >= 512 && HasAvx512Fold()) return FoldAvx512(edc, p, length);
  return FoldSse(edc, p, length);
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
