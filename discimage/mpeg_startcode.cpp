#include "discimage/mpeg_startcode.h"

#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define MPEG_STARTCODE_X86 1
#include <immintrin.h>
#endif

namespace {

typedef int (*FindFunction)(const uint8_t*, int, int);

// From position k on, byte by byte (for the last few bytes).
int FindTail(const uint8_t* b, int k, int end) {
  for (; end - k >= 4; ++k)
    if (b[k] == 0 && b[k + 1] == 0 && b[k + 2] == 1) return k;
  return -1;
}

#ifdef MPEG_STARTCODE_X86
// 16 positions at a time: a start code begins where the byte, the next one
// and the one after that are 0, 0 and 1.
__attribute__((target("sse2"))) int FindSse2(const uint8_t* b, int from, int end) {
  int k = from;
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi8(1);
  while (end - k >= 18) {
    __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
    __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k + 1));
    __m128i third = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k + 2));
    __m128i hits = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(first, zero), _mm_cmpeq_epi8(second, zero)),
                                 _mm_cmpeq_epi8(third, one));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) {
      int j = k + __builtin_ctz(mask);
      // Its code byte may lie beyond the end; so would every later one's.
      return end - j >= 4 ? j : -1;
    }
    k += 16;
  }
  return FindTail(b, k, end);
}

// The same, 32 positions at a time.
__attribute__((target("avx2"))) int FindAvx2(const uint8_t* b, int from, int end) {
  int k = from;
  const __m256i zero = _mm256_setzero_si256();
  const __m256i one = _mm256_set1_epi8(1);
  while (end - k >= 34) {
    __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + k));
    __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + k + 1));
    __m256i third = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + k + 2));
    __m256i hits = _mm256_and_si256(
        _mm256_and_si256(_mm256_cmpeq_epi8(first, zero), _mm256_cmpeq_epi8(second, zero)),
        _mm256_cmpeq_epi8(third, one));
    unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(hits));
    if (mask != 0) {
      int j = k + __builtin_ctz(mask);
      return end - j >= 4 ? j : -1;
    }
    k += 32;
  }
  return FindSse2(b, k, end);
}

bool HasSse2() {
#ifdef __x86_64__
  return true;
#else
  return __builtin_cpu_supports("sse2");
#endif
}
bool HasAvx2() { return __builtin_cpu_supports("avx2"); }
#endif

FindFunction ChooseFind() {
#ifdef MPEG_STARTCODE_X86
  __builtin_cpu_init();
  if (HasAvx2()) return FindAvx2;
  if (HasSse2()) return FindSse2;
#endif
  return MpegFindStartCodePlain;
}

}  // namespace

int MpegFindStartCodePlain(const uint8_t* b, int from, int end) {
  // The 0x01 byte is rarer than zero in coded data: find it, then look at
  // the two bytes before it.
  int k = from + 2;
  while (end - k >= 2) {
    const void* hit = memchr(b + k, 0x01, static_cast<size_t>(end - 1 - k));
    if (hit == NULL) return -1;
    k = static_cast<int>(static_cast<const uint8_t*>(hit) - b);
    if (b[k - 1] == 0 && b[k - 2] == 0) return k - 2;
    ++k;
  }
  return -1;
}

int MpegFindStartCodeSse2(const uint8_t* data, int from, int end) {
#ifdef MPEG_STARTCODE_X86
  __builtin_cpu_init();
  if (HasSse2()) return FindSse2(data, from, end);
#endif
  (void)data, (void)from, (void)end;
  return -2;
}

int MpegFindStartCodeAvx2(const uint8_t* data, int from, int end) {
#ifdef MPEG_STARTCODE_X86
  __builtin_cpu_init();
  if (HasAvx2()) return FindAvx2(data, from, end);
#endif
  (void)data, (void)from, (void)end;
  return -2;
}

int MpegFindStartCode(const uint8_t* data, int from, int end) {
  static const FindFunction find = ChooseFind();
  return find(data, from, end);
}
