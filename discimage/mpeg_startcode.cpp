#include "discimage/mpeg_startcode.h"

#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define MPEG_STARTCODE_X86 1
#include <immintrin.h>
// GCC for 64-bit Windows cannot align the stack to 32 bytes, so a spilled
// AVX register could fault there: Windows builds stop at SSE2.
#ifndef _WIN32
#define MPEG_STARTCODE_AVX2 1
#endif
#endif

namespace {

typedef int (*FindFunction)(const uint8_t*, int, int);

// Whether the start code at j (its prefix known to lie before end) is one
// the search stops at: -1 when its code byte lies beyond the end (so would
// every later one's), 1 when it is wanted, 0 to search on.
template <bool kHeadersOnly>
inline int Wanted(const uint8_t* b, int j, int end) {
  if (end - j < 4) return -1;
  if (kHeadersOnly && b[j + 3] >= 0x01 && b[j + 3] <= 0xAF) return 0;
  return 1;
}

// From position k on, byte by byte (for the last few bytes).
template <bool kHeadersOnly>
int FindTail(const uint8_t* b, int k, int end) {
  for (; end - k >= 4; ++k)
    if (b[k] == 0 && b[k + 1] == 0 && b[k + 2] == 1 && Wanted<kHeadersOnly>(b, k, end) == 1)
      return k;
  return -1;
}

// The first wanted start code among those whose positions, from k on, are
// the set bits of mask; -2 when there is none.
template <bool kHeadersOnly>
inline int FirstWanted(const uint8_t* b, int k, unsigned mask, int end) {
  while (mask != 0) {
    int j = k + __builtin_ctz(mask);
    int wanted = Wanted<kHeadersOnly>(b, j, end);
    if (wanted != 0) return wanted > 0 ? j : -1;
    mask &= mask - 1;
  }
  return -2;
}

template <bool kHeadersOnly>
int FindPlain(const uint8_t* b, int from, int end) {
  // The 0x01 byte is rarer than zero in coded data: find it, then look at
  // the two bytes before it.
  int k = from + 2;
  while (end - k >= 2) {
    const void* hit = memchr(b + k, 0x01, static_cast<size_t>(end - 1 - k));
    if (hit == NULL) return -1;
    k = static_cast<int>(static_cast<const uint8_t*>(hit) - b);
    if (b[k - 1] == 0 && b[k - 2] == 0) {
      int wanted = Wanted<kHeadersOnly>(b, k - 2, end);
      if (wanted != 0) return wanted > 0 ? k - 2 : -1;
    }
    ++k;
  }
  return -1;
}

#ifdef MPEG_STARTCODE_X86
#ifdef __i386__
// 32-bit Windows promises only a 4-byte aligned stack: realign on entry.
#define MPEG_SSE2_FUNCTION __attribute__((target("sse2"), force_align_arg_pointer))
#else
#define MPEG_SSE2_FUNCTION __attribute__((target("sse2")))
#endif

// 16 positions at a time: a start code begins where the byte, the next one
// and the one after that are 0, 0 and 1.
template <bool kHeadersOnly>
MPEG_SSE2_FUNCTION int FindSse2(const uint8_t* b, int from, int end) {
  int k = from;
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi8(1);
  while (end - k >= 18) {
    __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k));
    __m128i firstZero = _mm_cmpeq_epi8(first, zero);
    // Zero stuffing comes in long runs: a chunk of zeros holds no start code
    // but may begin one in its last two bytes, so skip all but those.
    if (_mm_movemask_epi8(firstZero) == 0xFFFF) {
      k += 14;
      // Inside a run: on in steps of 62 while 64 bytes at a time are zero.
      while (end - k >= 66) {
        const __m128i* p = reinterpret_cast<const __m128i*>(b + k);
        __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(p), _mm_loadu_si128(p + 1)),
                                   _mm_or_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, zero)) != 0xFFFF) break;
        k += 62;
      }
      continue;
    }
    __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k + 1));
    __m128i third = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + k + 2));
    __m128i hits = _mm_and_si128(_mm_and_si128(firstZero, _mm_cmpeq_epi8(second, zero)),
                                 _mm_cmpeq_epi8(third, one));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) {
      int j = FirstWanted<kHeadersOnly>(b, k, mask, end);
      if (j != -2) return j;
    }
    k += 16;
  }
  return FindTail<kHeadersOnly>(b, k, end);
}

#ifdef MPEG_STARTCODE_AVX2
// 32 positions at a time, as above.
__attribute__((target("avx2"))) inline unsigned HitsAvx2(const uint8_t* p) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i one = _mm256_set1_epi8(1);
  __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
  __m256i third = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 2));
  __m256i hits = _mm256_and_si256(
      _mm256_and_si256(_mm256_cmpeq_epi8(first, zero), _mm256_cmpeq_epi8(second, zero)),
      _mm256_cmpeq_epi8(third, one));
  return static_cast<unsigned>(_mm256_movemask_epi8(hits));
}

template <bool kHeadersOnly>
__attribute__((target("avx2"))) int FindAvx2(const uint8_t* b, int from, int end) {
  if (end - from < 34) return FindSse2<kHeadersOnly>(b, from, end);
  int k = from;
  while (end - k >= 34) {
    // Zero stuffing, as above.
    __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + k));
    if (_mm256_testz_si256(chunk, chunk)) {
      k += 30;
      // Inside a run: on in steps of 126 while 128 bytes at a time are zero.
      while (end - k >= 130) {
        const __m256i* p = reinterpret_cast<const __m256i*>(b + k);
        __m256i any =
            _mm256_or_si256(_mm256_or_si256(_mm256_loadu_si256(p), _mm256_loadu_si256(p + 1)),
                            _mm256_or_si256(_mm256_loadu_si256(p + 2), _mm256_loadu_si256(p + 3)));
        if (!_mm256_testz_si256(any, any)) break;
        k += 126;
      }
      continue;
    }
    unsigned mask = HitsAvx2(b + k);
    if (mask != 0) {
      int j = FirstWanted<kHeadersOnly>(b, k, mask, end);
      if (j != -2) return j;
    }
    k += 32;
  }
  if (end - k < 4) return -1;
  // The rest: one more look that ends at the end, without the positions
  // already seen.
  int last = end - 34;
  int j = FirstWanted<kHeadersOnly>(b, k, HitsAvx2(b + last) >> (k - last), end);
  return j == -2 ? -1 : j;
}
#endif

bool HasSse2() {
#ifdef __x86_64__
  return true;
#else
  return __builtin_cpu_supports("sse2");
#endif
}
#endif

template <bool kHeadersOnly>
FindFunction ChooseFind() {
#ifdef MPEG_STARTCODE_X86
  __builtin_cpu_init();
#ifdef MPEG_STARTCODE_AVX2
  if (__builtin_cpu_supports("avx2")) return FindAvx2<kHeadersOnly>;
#endif
  if (HasSse2()) return FindSse2<kHeadersOnly>;
#endif
  return FindPlain<kHeadersOnly>;
}

}  // namespace

int MpegFindStartCodePlain(const uint8_t* data, int from, int end, int kind) {
  return kind == kMpegHeaderStartCode ? FindPlain<true>(data, from, end)
                                      : FindPlain<false>(data, from, end);
}

int MpegFindStartCodeSse2(const uint8_t* data, int from, int end, int kind) {
#ifdef MPEG_STARTCODE_X86
  __builtin_cpu_init();
  if (HasSse2())
    return kind == kMpegHeaderStartCode ? FindSse2<true>(data, from, end)
                                        : FindSse2<false>(data, from, end);
#endif
  (void)data, (void)from, (void)end, (void)kind;
  return -2;
}

int MpegFindStartCodeAvx2(const uint8_t* data, int from, int end, int kind) {
#ifdef MPEG_STARTCODE_AVX2
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2"))
    return kind == kMpegHeaderStartCode ? FindAvx2<true>(data, from, end)
                                        : FindAvx2<false>(data, from, end);
#endif
  (void)data, (void)from, (void)end, (void)kind;
  return -2;
}

MpegStartCodeFinder MpegChooseStartCodeFinder(int kind) {
  static const FindFunction any = ChooseFind<false>();
  static const FindFunction headers = ChooseFind<true>();
  return kind == kMpegHeaderStartCode ? headers : any;
}

int MpegFindStartCode(const uint8_t* data, int from, int end, int kind) {
  return MpegChooseStartCodeFinder(kind)(data, from, end);
}
