// Finding MPEG start codes (00 00 01 xx) in a buffer: the inner loop of the
// program stream parser, which walks every byte of every video payload. The
// search uses the widest vector unit the processor offers; every variant
// gives the same answer as the plain one.
#pragma once

#include <cstdint>

// Position of the first start code whose four bytes all lie in [from, end),
// or -1.
int MpegFindStartCode(const uint8_t* data, int from, int end);

// The search that MpegFindStartCode uses, for loops that call it often.
typedef int (*MpegStartCodeFinder)(const uint8_t* data, int from, int end);
MpegStartCodeFinder MpegChooseStartCodeFinder();

// The variants, for tests: plain (memchr for the 0x01 byte), and the vector
// ones, which return -2 when this build or processor cannot run them.
int MpegFindStartCodePlain(const uint8_t* data, int from, int end);
int MpegFindStartCodeSse2(const uint8_t* data, int from, int end);
int MpegFindStartCodeAvx2(const uint8_t* data, int from, int end);
