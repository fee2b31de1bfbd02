// The multiplexer library "muxTools": its one entry "mplex" joins a video and
// an audio elementary stream into one MPEG program stream.
//
//   void OUTSIDE_CALL mplex(MuxBlock* block);
//
// The callee removes its one argument; the return value means nothing. The
// caller reads the outcome from block->result, which it sets to
// kMuxResultPending before the call.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "standins/include/outside_abi.h"

// Output formats (block offset 2).
enum {
  kMuxFormatVcd = 1,   // MPEG-1 system stream, 2324-byte packs, 1x CD rate
  kMuxFormatSvcd = 4,  // MPEG-2 program stream, 2324-byte packs, 2x CD rate
  kMuxFormatDvd = 8,   // MPEG-2 program stream, 2048-byte packs, navigation pack slots
};

// block->result.
enum {
  kMuxResultOk = 0,
  kMuxResultBadBlock = 1,      // unknown format, missing names, bad fixed fields
  kMuxResultCannotRead = 2,    // an input cannot be opened or read
  kMuxResultBadStream = 3,     // an input is no video / audio elementary stream, or audio the format does not carry
  kMuxResultCannotWrite = 4,   // the output cannot be created or written
  kMuxResultTooFast = 5,       // the streams need more than the format's data rate
  kMuxResultTooLarge = 6,      // the output would pass maxOutputMB
  kMuxResultPending = 999,     // set by the caller before the call
};

// The multiplexer block, as the callers fill it (values in brackets). The
// offsets are those of the 32-bit programs; 64-bit code reads the fields by
// name, never by offset.
typedef struct MuxBlock {
  uint16_t blockVersion;      // 0: [1]
  uint16_t format;            // 2: kMuxFormat*
  int32_t muxRate;            // 4: [0] the format's own rate; else in units of 50 bytes/s
  int32_t maxOutputMB;        // 8: [2000] a larger output is refused; 0 no limit
  int32_t startDelayMs;       // 12: [0] decoder start delay found automatically; else fixed
  uint8_t unset16[12];        // 16: not set by the callers, not read
  uint8_t writeEndCode;       // 28: [1] end the stream with the program end code
  uint8_t pad29[3];
  int32_t audioOffsetMs;      // 32: [0] audio presented this much later than video
  uint8_t traceDetail;        // 36: [0] 1 adds one trace line per pack plan round
  uint8_t pad37[3];
  const char* const* inputs;  // 40: video stream, audio stream, NULL
  char output[260];           // 44: output file name
  uint8_t removeFailedOutput; // 304: [1] a failed run deletes what it wrote
  uint8_t pad305[3];
  int32_t result;             // 308: kMuxResult*
} MuxBlock;

#if OUTSIDE_LAYOUT_32
static_assert(offsetof(MuxBlock, format) == 2, "MuxBlock layout");
static_assert(offsetof(MuxBlock, muxRate) == 4, "MuxBlock layout");
static_assert(offsetof(MuxBlock, maxOutputMB) == 8, "MuxBlock layout");
static_assert(offsetof(MuxBlock, startDelayMs) == 12, "MuxBlock layout");
static_assert(offsetof(MuxBlock, writeEndCode) == 28, "MuxBlock layout");
static_assert(offsetof(MuxBlock, audioOffsetMs) == 32, "MuxBlock layout");
static_assert(offsetof(MuxBlock, traceDetail) == 36, "MuxBlock layout");
static_assert(offsetof(MuxBlock, inputs) == 40, "MuxBlock layout");
static_assert(offsetof(MuxBlock, output) == 44, "MuxBlock layout");
static_assert(offsetof(MuxBlock, removeFailedOutput) == 304, "MuxBlock layout");
static_assert(offsetof(MuxBlock, result) == 308, "MuxBlock layout");
static_assert(sizeof(MuxBlock) == 312, "MuxBlock layout");
#endif

typedef void(OUTSIDE_CALL* MplexFn)(MuxBlock* block);

#define MUXTOOLS_LIBRARY_NAME "muxTools"
#define MUXTOOLS_ENTRY_NAME "mplex"
