// libFuzzer target: the program stream parser on arbitrary bytes, walked
// pack by pack as the scanner does. Each block is copied to a heap buffer of
// exactly its length, so a read past the block is caught, not only one past
// the input. The first byte chooses analysis, the scan data error preset,
// oversized blocks, and a cross-check of the start-code search variants.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "discimage/mpeg/mpeg_parser.h"
#include "discimage/mpeg/mpeg_source.h"
#include "discimage/mpeg/mpeg_startcode.h"
#include "discimage/base/vcd_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  ++data;
  --size;
  static FILE* nowhere = fopen("/dev/null", "w");
  CVcdMessageSink sink;
  sink.SetOutputStreams(nowhere, nowhere);
  sink.SetLevel((flags & 8) ? kVcdLevelDebug : kVcdLevelNormal);

  MpegParserState state;
  memset(&state, 0, sizeof state);
  if (flags & 2) state.stream.scanDataErrors = 9;
  const size_t blockMax = (flags & 4) ? 65536 : kMpegPacketSize;
  MpegApsList aps;
  size_t pos = 0;
  while (pos < size) {
    size_t length = size - pos < blockMax ? size - pos : blockMax;
    std::vector<uint8_t> block(data + pos, data + pos + length);
    int result = ParsePacket(&sink, block.data(), static_cast<int>(length), flags & 1, &state);
    if (result < 0 || static_cast<size_t>(result) > length) abort();
    if (result == 0) break;
    ClassifyPacket(&state.packet);
    const MpegPacketInfo& info = state.packet;
    if (info.apsType < 0 || info.apsType > 4 || info.apsStream < 0 || info.apsStream > 2) abort();
    if (info.apsType != 0) aps.Add(state.stream.packetCount - 1, info.apsPts);
    if (info.scanData != NULL) {
      // The item lies whole inside the block: rewriting it stays there.
      if (info.scanData < block.data() || info.scanData + kMpegScanDataSize > block.data() + length)
        abort();
    }
    if (state.scan.count < 0 || state.scan.count > MpegScanItems::kCapacity) abort();
    double time = EstimatePts(&aps, state.stream.packetCount);
    for (int i = 0; i < state.scan.count; ++i) {
      const MpegScanItem& item = state.scan.items[i];
      // An item, or the part of one split between packs, lies inside the block.
      if (item.offset + static_cast<size_t>(item.count) > length || item.picture > kMpegScanAfterI ||
          item.count == 0 || item.first + item.count > kMpegScanDataSize || item.stream >= kMpegStreamSlots)
        abort();
      if (item.first == 0 && item.count == kMpegScanDataSize)
        UpdateScanData(block.data() + item.offset, state.stream.packetCount, time, &aps, item.picture);
    }
    pos += static_cast<size_t>(result);
  }
  for (int i = 0; i < kMpegStreamSlots; ++i) ClassifyVideo(&state.stream.video[i]);

  if ((flags & 16) && size <= 65536) {
    // Every variant finds what the plain one finds, over the whole input.
    std::vector<uint8_t> copy(data, data + size);
    const int end = static_cast<int>(size);
    for (int kind : {kMpegAnyStartCode, kMpegHeaderStartCode}) {
      for (int from = 0; from <= end;) {
        int expected = MpegFindStartCodePlain(copy.data(), from, end, kind);
        int sse2 = MpegFindStartCodeSse2(copy.data(), from, end, kind);
        int avx2 = MpegFindStartCodeAvx2(copy.data(), from, end, kind);
        if (MpegFindStartCode(copy.data(), from, end, kind) != expected) abort();
        if ((sse2 != -2 && sse2 != expected) || (avx2 != -2 && avx2 != expected)) abort();
        if (expected < 0) break;
        from = expected + 1;
      }
    }
  }
  return 0;
}
