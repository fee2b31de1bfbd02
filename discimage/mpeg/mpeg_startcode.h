// Finding MPEG start codes (00 00 01 xx) in a buffer: the inner loop of the
// program stream parser, which walks every byte of every video payload. The
// search uses the widest vector unit the processor offers; every variant
// gives the same answer as the plain one.
#pragma once

#include <cstdint>

// Which start codes a search stops at.
enum {
  kMpegAnyStartCode = 0,
  // Not at slices (codes 0x01-0xAF): they make up most start codes of a
  // video stream and none of its headers.
  kMpegHeaderStartCode = 1,
};

// Position of the first start code (of the kind asked for) whose four bytes
// all lie in [from, end), or -1.
int MpegFindStartCode(const uint8_t* data, int from, int end, int kind = kMpegAnyStartCode);

// The search that MpegFindStartCode uses for a kind, for loops that call it
// often.
typedef int (*MpegStartCodeFinder)(const uint8_t* data, int from, int end);
MpegStartCodeFinder MpegChooseStartCodeFinder(int kind);

// The variants, for tests: plain (memchr for the 0x01 byte), and the vector
// ones, which return -2 when this build or processor cannot run them.
int MpegFindStartCodePlain(const uint8_t* data, int from, int end, int kind);
int MpegFindStartCodeSse2(const uint8_t* data, int from, int end, int kind);
int MpegFindStartCodeAvx2(const uint8_t* data, int from, int end, int kind);
