#include "standins/mux/ps_headers.h"

#include <cstring>

void WriteTimestamp(uint8_t* out, int prefix, int64_t ticks90) {
  uint64_t t = static_cast<uint64_t>(ticks90) & 0x1FFFFFFFFull;
  out[0] = static_cast<uint8_t>((prefix << 4) | ((t >> 29) & 0x0E) | 1);
  out[1] = static_cast<uint8_t>(t >> 22);
  out[2] = static_cast<uint8_t>(((t >> 14) & 0xFE) | 1);
  out[3] = static_cast<uint8_t>(t >> 7);
  out[4] = static_cast<uint8_t>(((t << 1) & 0xFE) | 1);
}

int WritePackHeader(uint8_t* out, bool mpeg2, int64_t scr27, int muxRateUnits) {
  out[0] = 0;
  out[1] = 0;
  out[2] = 1;
  out[3] = 0xBA;
  uint32_t rate = static_cast<uint32_t>(muxRateUnits) & 0x3FFFFF;
  if (!mpeg2) {
    WriteTimestamp(out + 4, 2, scr27 / 300);
    out[9] = static_cast<uint8_t>(0x80 | (rate >> 15));
    out[10] = static_cast<uint8_t>(rate >> 7);
    out[11] = static_cast<uint8_t>((rate << 1) | 1);
    return 12;
  }
  uint64_t base = static_cast<uint64_t>(scr27 / 300) & 0x1FFFFFFFFull;
  uint32_t ext = static_cast<uint32_t>(scr27 % 300);
  out[4] = static_cast<uint8_t>(0x44 | ((base >> 27) & 0x38) | ((base >> 28) & 0x03));
  out[5] = static_cast<uint8_t>(base >> 20);
  out[6] = static_cast<uint8_t>(((base >> 12) & 0xF8) | 0x04 | ((base >> 13) & 0x03));
  out[7] = static_cast<uint8_t>(base >> 5);
  out[8] = static_cast<uint8_t>(((base << 3) & 0xF8) | 0x04 | ((ext >> 7) & 0x03));
  out[9] = static_cast<uint8_t>((ext << 1) | 1);
  out[10] = static_cast<uint8_t>(rate >> 14);
  out[11] = static_cast<uint8_t>(rate >> 6);
  out[12] = static_cast<uint8_t>((rate << 2) | 0x03);
  out[13] = 0xF8;  // no stuffing
  return 14;
}

void WritePacketStart(uint8_t* out, uint8_t streamId, int length) {
  out[0] = 0;
  out[1] = 0;
  out[2] = 1;
  out[3] = streamId;
  out[4] = static_cast<uint8_t>(length >> 8);
  out[5] = static_cast<uint8_t>(length);
}

int WriteSystemHeader(uint8_t* out, int muxRateUnits, bool constrained,
                      const SystemHeaderStream* streams, int count) {
  int length = 6 + 3 * count;
  uint32_t rate = static_cast<uint32_t>(muxRateUnits) & 0x3FFFFF;
  int audio = 0, video = 0;
  for (int i = 0; i < count; ++i) {
    uint8_t id = streams[i].streamId;
    if ((id & 0xE0) == 0xC0 || id == 0xB8 || id == 0xBD) ++audio;
    if ((id & 0xF0) == 0xE0 || id == 0xB9) ++video;
  }
  WritePacketStart(out, 0xBB, length);
  out[6] = static_cast<uint8_t>(0x80 | (rate >> 15));
  out[7] = static_cast<uint8_t>(rate >> 7);
  out[8] = static_cast<uint8_t>((rate << 1) | 1);
  // audio bound, fixed 0, constrained flag; audio and video locked.
  out[9] = static_cast<uint8_t>((audio << 2) | (constrained ? 1 : 0));
  out[10] = static_cast<uint8_t>(0xE0 | video);
  out[11] = 0x7F;  // no packet rate restriction
  uint8_t* entry = out + 12;
  for (int i = 0; i < count; ++i) {
    uint8_t id = streams[i].streamId;
    bool video1024 = (id & 0xF0) == 0xE0 || id == 0xB9 || id == 0xBD || id == 0xBF;
    int units = video1024 ? streams[i].bufferBytes / 1024 : streams[i].bufferBytes / 128;
    entry[0] = id;
    entry[1] = static_cast<uint8_t>(0xC0 | (video1024 ? 0x20 : 0) | ((units >> 8) & 0x1F));
    entry[2] = static_cast<uint8_t>(units);
    entry += 3;
  }
  return 12 + 3 * count;
}

int PesHeaderSize(const PesHeader& header, bool mpeg2) {
  int size = 6;
  if (!mpeg2) {
    size += header.stuffing;
    if (header.stdBufferBytes > 0) size += 2;
    size += header.hasPts ? (header.hasDts ? 10 : 5) : 1;
    return size;
  }
  size += 3;
  if (header.hasPts) size += header.hasDts ? 10 : 5;
  if (header.stdBufferBytes > 0) size += 3;
  if (header.substream >= 0) size += 4;
  return size + header.stuffing;
}

namespace {

// The PTS, or PTS and DTS, that both kinds of header carry alike; returns
// the end of what was written (p itself without time stamps).
uint8_t* WriteTimestamps(uint8_t* p, const PesHeader& header) {
  if (header.hasPts && header.hasDts) {
    WriteTimestamp(p, 3, header.pts27 / 300);
    WriteTimestamp(p + 5, 1, header.dts27 / 300);
    return p + 10;
  }
  if (header.hasPts) {
    WriteTimestamp(p, 2, header.pts27 / 300);
    return p + 5;
  }
  return p;
}

// The STD buffer scale and size: two bytes, the first led by bits 01.
void WriteStdBuffer(uint8_t* p, const PesHeader& header) {
  int units = header.videoBufferScale ? header.stdBufferBytes / 1024 : header.stdBufferBytes / 128;
  p[0] = static_cast<uint8_t>(0x40 | (header.videoBufferScale ? 0x20 : 0) | ((units >> 8) & 0x1F));
  p[1] = static_cast<uint8_t>(units);
}

}  // namespace

int WritePesHeader(uint8_t* out, const PesHeader& header, bool mpeg2, int payloadBytes) {
  int size = PesHeaderSize(header, mpeg2);
  WritePacketStart(out, header.streamId, size - 6 + payloadBytes);
  uint8_t* p = out + 6;
  if (!mpeg2) {
    memset(p, 0xFF, static_cast<size_t>(header.stuffing));
    p += header.stuffing;
    if (header.stdBufferBytes > 0) {
      WriteStdBuffer(p, header);
      p += 2;
    }
    if (header.hasPts)
      p = WriteTimestamps(p, header);
    else
      *p++ = 0x0F;  // no time stamps
    return static_cast<int>(p - out);
  }
  p[0] = 0x81;  // original
  p[1] = static_cast<uint8_t>((header.hasPts ? (header.hasDts ? 0xC0 : 0x80) : 0) |
                              (header.stdBufferBytes > 0 ? 0x01 : 0));
  p[2] = static_cast<uint8_t>(size - 9 - (header.substream >= 0 ? 4 : 0));
  p = WriteTimestamps(p + 3, header);
  if (header.stdBufferBytes > 0) {
    p[0] = 0x1E;  // only the P-STD buffer field; reserved bits set
    WriteStdBuffer(p + 1, header);
    p += 3;
  }
  memset(p, 0xFF, static_cast<size_t>(header.stuffing));
  p += header.stuffing;
  if (header.substream >= 0) {
    p[0] = static_cast<uint8_t>(header.substream);
    p[1] = static_cast<uint8_t>(header.substreamFrames);
    p[2] = static_cast<uint8_t>(header.firstAccess >> 8);
    p[3] = static_cast<uint8_t>(header.firstAccess);
    p += 4;
  }
  return static_cast<int>(p - out);
}

int WriteNavigationPackets(uint8_t* out) {
  const int kPci = 980, kDsi = 1018;  // PES lengths of the two packets
  uint8_t* p = out;
  WritePacketStart(p, 0xBF, kPci);
  memset(p + 6, 0, kPci);  // substream 0: presentation control
  p += 6 + kPci;
  WritePacketStart(p, 0xBF, kDsi);
  memset(p + 6, 0, kDsi);
  p[6] = 1;  // substream 1: data search
  p += 6 + kDsi;
  return static_cast<int>(p - out);
}

int WritePaddingPacket(uint8_t* out, int total) {
  int length = total - 6;
  WritePacketStart(out, 0xBE, length);
  memset(out + 6, 0xFF, static_cast<size_t>(length));
  return total;
}
