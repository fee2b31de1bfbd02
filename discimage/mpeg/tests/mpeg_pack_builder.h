// Hand-built pieces of MPEG program streams for the parser's and the
// source's tests: pack headers of both versions, PES packets and headers,
// video, GOP, picture, user data and audio headers.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace mpeg_test {

typedef std::vector<uint8_t> Bytes;

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes B(std::initializer_list<int> values) {
  Bytes b;
  for (int v : values) b.push_back(static_cast<uint8_t>(v));
  return b;
}

inline Bytes Repeat(int value, size_t count) { return Bytes(count, static_cast<uint8_t>(value)); }

// A 33-bit time stamp behind its 4-bit prefix, with its three marker bits.
inline Bytes TimeStamp(int prefix, uint64_t v) {
  return B({static_cast<int>((prefix << 4) | (((v >> 30) & 7) << 1) | 1),
            static_cast<int>((v >> 22) & 0xFF), static_cast<int>((((v >> 15) & 0x7F) << 1) | 1),
            static_cast<int>((v >> 7) & 0xFF), static_cast<int>(((v & 0x7F) << 1) | 1)});
}

inline Bytes Mpeg1Pack(uint64_t scr, int mux) {
  Bytes b = B({0, 0, 1, 0xBA}) + TimeStamp(2, scr);
  return b + B({0x80 | ((mux >> 15) & 0x7F), (mux >> 7) & 0xFF, ((mux & 0x7F) << 1) | 1});
}

inline Bytes Mpeg2Pack(uint64_t base, int ext, int mux, int stuffing) {
  Bytes b =
      B({0, 0, 1, 0xBA, static_cast<int>(0x40 | (((base >> 30) & 7) << 3) | 4 | ((base >> 28) & 3)),
         static_cast<int>((base >> 20) & 0xFF),
         static_cast<int>((((base >> 15) & 0x1F) << 3) | 4 | ((base >> 13) & 3)),
         static_cast<int>((base >> 5) & 0xFF),
         static_cast<int>(((base & 0x1F) << 3) | 4 | ((ext >> 7) & 3)), ((ext & 0x7F) << 1) | 1,
         (mux >> 14) & 0xFF, (mux >> 6) & 0xFF, ((mux & 0x3F) << 2) | 3, 0xF8 | stuffing});
  return b + Repeat(0xFF, static_cast<size_t>(stuffing));
}

// Start code, 16-bit length, body.
inline Bytes Packet(int id, const Bytes& body) {
  size_t n = body.size();
  return B({0, 0, 1, id, static_cast<int>(n >> 8), static_cast<int>(n & 0xFF)}) + body;
}
// A packet whose length field says length, whatever follows.
inline Bytes PacketStart(int id, int length) { return B({0, 0, 1, id, length >> 8, length & 0xFF}); }

// MPEG-1 PES header parts.
inline Bytes NoStamps1() { return B({0x0F}); }
inline Bytes Pts1(uint64_t pts) { return TimeStamp(2, pts); }
inline Bytes PtsDts1(uint64_t pts, uint64_t dts) { return TimeStamp(3, pts) + TimeStamp(1, dts); }
// MPEG-2 PES header: flags (0 none, 2 PTS, 3 PTS and DTS), header data.
inline Bytes Pes2(int flags, const Bytes& data) {
  return B({0x81, flags << 6, static_cast<int>(data.size())}) + data;
}

inline Bytes SequenceHeader(int w, int h, int aspect, int rate, int bitRate400, int vbv16k,
                     int constrained) {
  return B({0, 0, 1, 0xB3, w >> 4, ((w & 0xF) << 4) | (h >> 8), h & 0xFF, (aspect << 4) | rate,
            (bitRate400 >> 10) & 0xFF, (bitRate400 >> 2) & 0xFF,
            ((bitRate400 & 3) << 6) | 0x20 | ((vbv16k >> 5) & 0x1F),
            ((vbv16k & 0x1F) << 3) | (constrained << 2)});
}
inline Bytes Gop(int h, int m, int s, int p) {
  return B({0, 0, 1, 0xB8, (h << 2) | (m >> 4), ((m & 0xF) << 4) | 0x08 | (s >> 3),
            ((s & 7) << 5) | (p >> 1), (p & 1) << 7});
}
// Picture header with temporal reference 0 and the coding type.
inline Bytes Picture(int type) { return B({0, 0, 1, 0x00, 0x00, type << 3, 0xFF, 0xF8}); }
inline Bytes UserData(const Bytes& items) { return B({0, 0, 1, 0xB2}) + items; }
inline Bytes ScanItem(const Bytes& addresses) { return B({0x10, 0x0E}) + addresses; }
inline Bytes Slice() { return B({0, 0, 1, 0x01, 0x12, 0x34, 0x56, 0x78}); }

// MPEG audio frame header: ID bit, layer code (3 = layer 1), bit rate index,
// sampling code, mode field.
inline Bytes AudioHeader(int id, int layerCode, int bitRateIndex, int sampling, int mode) {
  return B({0xFF, 0xF0 | (id << 3) | (layerCode << 1) | 1, (bitRateIndex << 4) | (sampling << 2),
            mode << 6});
}

inline Bytes VideoPes1(uint64_t pts, const Bytes& payload) { return Packet(0xE0, Pts1(pts) + payload); }

}  // namespace mpeg_test
