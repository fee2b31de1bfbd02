#include "discimage/mpeg/mpeg_startcode.h"

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

// The vector searches go through the data in blocks and first ask a cheap
// question of each: does any 16-bit word at an even distance from the
// block's start read 00 00 or 00 01? Every start code makes one of them
// (00 00 at an even position, 00 01 at an odd one), and coded data rarely
// does, so most blocks are passed at one load per vector of data. A block
// that answers yes is either zero stuffing, which comes in long runs (they
// hold no start code but may begin one in their last two bytes) and is
// passed in big steps, or is tested at every position for the whole answer:
// 00, 00, 01 and, for headers, a code byte of 00 or B0-FF. Slices (most of
// the start codes in video) then never stop the loop, and only the wanted
// codes do.
//
// A code byte c is wanted when c + 0x50 (wrapping) is at most 0x50: B0-FF
// become 00-4F, 00 becomes 50, slices 01-AF become 51-FF.
const int kCodeShift = 0x50;
// A word of the first byte zero and the second 00 or 01, with this mask
// applied, is zero.
const short kPairMask = static_cast<short>(0xFEFF);

// Per position of p[0, 16): zero where a wanted start code begins. Reads
// p[0, 19).
template <bool kHeadersOnly>
MPEG_SSE2_FUNCTION inline __m128i MissesSse2(const uint8_t* p) {
  const __m128i one = _mm_set1_epi8(1);
  __m128i x = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                           _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1)));
  x = _mm_or_si128(x, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2)), one));
  if (kHeadersOnly) {
    const __m128i shift = _mm_set1_epi8(kCodeShift);
    __m128i code = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3)), shift);
    x = _mm_or_si128(x, _mm_subs_epu8(code, shift));
  }
  return x;
}

MPEG_SSE2_FUNCTION inline unsigned ZeroBytesSse2(__m128i x) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_setzero_si128())));
}

// Blocks of 64 bytes, then 16 positions at a time, then one last look that
// ends at the end.
template <bool kHeadersOnly>
MPEG_SSE2_FUNCTION int FindSse2(const uint8_t* b, int from, int end) {
  if (end - from < 19) return FindTail<kHeadersOnly>(b, from, end);
  const __m128i zero = _mm_setzero_si128();
  const __m128i pairMask = _mm_set1_epi16(kPairMask);
  int k = from;
  while (end - k >= 67) {
    const uint8_t* p = b + k;
    __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
    __m128i pairs = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi16(_mm_and_si128(v0, pairMask), zero),
                     _mm_cmpeq_epi16(_mm_and_si128(v1, pairMask), zero)),
        _mm_or_si128(_mm_cmpeq_epi16(_mm_and_si128(v2, pairMask), zero),
                     _mm_cmpeq_epi16(_mm_and_si128(v3, pairMask), zero)));
    if (_mm_movemask_epi8(pairs) == 0) {
      // No start code begins in the first 63 positions (one at the last
      // would show in the next word).
      k += 63;
      continue;
    }
    if (ZeroBytesSse2(_mm_or_si128(_mm_or_si128(v0, v1), _mm_or_si128(v2, v3))) == 0xFFFF) {
      k += 62;
      // Inside a run: on in steps of 62 while 64 bytes at a time are zero.
      while (end - k >= 66) {
        const __m128i* q = reinterpret_cast<const __m128i*>(b + k);
        __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(q), _mm_loadu_si128(q + 1)),
                                   _mm_or_si128(_mm_loadu_si128(q + 2), _mm_loadu_si128(q + 3)));
        if (ZeroBytesSse2(any) != 0xFFFF) break;
        k += 62;
      }
      continue;
    }
    __m128i m0 = MissesSse2<kHeadersOnly>(p);
    __m128i m1 = MissesSse2<kHeadersOnly>(p + 16);
    __m128i m2 = MissesSse2<kHeadersOnly>(p + 32);
    __m128i m3 = MissesSse2<kHeadersOnly>(p + 48);
    if (ZeroBytesSse2(_mm_min_epu8(_mm_min_epu8(m0, m1), _mm_min_epu8(m2, m3))) != 0) {
      unsigned low = ZeroBytesSse2(m0) | (ZeroBytesSse2(m1) << 16);
      if (low != 0) return k + __builtin_ctz(low);
      return k + 32 + __builtin_ctz(ZeroBytesSse2(m2) | (ZeroBytesSse2(m3) << 16));
    }
    k += 64;
  }
  while (end - k >= 19) {
    unsigned mask = ZeroBytesSse2(MissesSse2<kHeadersOnly>(b + k));
    if (mask != 0) return k + __builtin_ctz(mask);
    k += 16;
  }
  if (end - k < 4) return -1;
  // The positions left, seen from a look that ends at the end.
  int last = end - 19;
  unsigned mask = ZeroBytesSse2(MissesSse2<kHeadersOnly>(b + last)) >> (k - last);
  return mask != 0 ? k + __builtin_ctz(mask) : -1;
}

#ifdef MPEG_STARTCODE_AVX2
#define MPEG_AVX2_FUNCTION __attribute__((target("avx2")))

// Per position of p[0, 32): zero where a wanted start code begins. Reads
// p[0, 35).
template <bool kHeadersOnly>
MPEG_AVX2_FUNCTION inline __m256i MissesAvx2(const uint8_t* p) {
  const __m256i one = _mm256_set1_epi8(1);
  __m256i x = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1)));
  x = _mm256_or_si256(
      x, _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 2)), one));
  if (kHeadersOnly) {
    const __m256i shift = _mm256_set1_epi8(kCodeShift);
    __m256i code =
        _mm256_add_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 3)), shift);
    x = _mm256_or_si256(x, _mm256_subs_epu8(code, shift));
  }
  return x;
}

MPEG_AVX2_FUNCTION inline unsigned ZeroBytesAvx2(__m256i x) {
  return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, _mm256_setzero_si256())));
}

// As the SSE2 search, in blocks of 128 bytes.
template <bool kHeadersOnly>
MPEG_AVX2_FUNCTION int FindAvx2(const uint8_t* b, int from, int end) {
  if (end - from < 35) return FindSse2<kHeadersOnly>(b, from, end);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i pairMask = _mm256_set1_epi16(kPairMask);
  int k = from;
  while (end - k >= 131) {
    const uint8_t* p = b + k;
    __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 64));
    __m256i v3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 96));
    __m256i pairs = _mm256_cmpeq_epi16(
        _mm256_min_epu16(
            _mm256_min_epu16(_mm256_and_si256(v0, pairMask), _mm256_and_si256(v1, pairMask)),
            _mm256_min_epu16(_mm256_and_si256(v2, pairMask), _mm256_and_si256(v3, pairMask))),
        zero);
    if (_mm256_testz_si256(pairs, pairs)) {
      k += 127;
      continue;
    }
    __m256i any = _mm256_or_si256(_mm256_or_si256(v0, v1), _mm256_or_si256(v2, v3));
    if (_mm256_testz_si256(any, any)) {
      k += 126;
      // Inside a run: on in steps of 126 while 128 bytes at a time are zero.
      while (end - k >= 130) {
        const __m256i* q = reinterpret_cast<const __m256i*>(b + k);
        __m256i more =
            _mm256_or_si256(_mm256_or_si256(_mm256_loadu_si256(q), _mm256_loadu_si256(q + 1)),
                            _mm256_or_si256(_mm256_loadu_si256(q + 2), _mm256_loadu_si256(q + 3)));
        if (!_mm256_testz_si256(more, more)) break;
        k += 126;
      }
      continue;
    }
    __m256i m0 = MissesAvx2<kHeadersOnly>(p);
    __m256i m1 = MissesAvx2<kHeadersOnly>(p + 32);
    __m256i m2 = MissesAvx2<kHeadersOnly>(p + 64);
    __m256i m3 = MissesAvx2<kHeadersOnly>(p + 96);
    __m256i hits = _mm256_cmpeq_epi8(
        _mm256_min_epu8(_mm256_min_epu8(m0, m1), _mm256_min_epu8(m2, m3)), zero);
    if (!_mm256_testz_si256(hits, hits)) {
      unsigned mask = ZeroBytesAvx2(m0);
      if (mask != 0) return k + __builtin_ctz(mask);
      if ((mask = ZeroBytesAvx2(m1)) != 0) return k + 32 + __builtin_ctz(mask);
      if ((mask = ZeroBytesAvx2(m2)) != 0) return k + 64 + __builtin_ctz(mask);
      return k + 96 + __builtin_ctz(ZeroBytesAvx2(m3));
    }
    k += 128;
  }
  while (end - k >= 35) {
    unsigned mask = ZeroBytesAvx2(MissesAvx2<kHeadersOnly>(b + k));
    if (mask != 0) return k + __builtin_ctz(mask);
    k += 32;
  }
  if (end - k < 4) return -1;
  // The positions left, seen from a look that ends at the end.
  int last = end - 35;
  unsigned mask = ZeroBytesAvx2(MissesAvx2<kHeadersOnly>(b + last)) >> (k - last);
  return mask != 0 ? k + __builtin_ctz(mask) : -1;
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
