// Byte layouts of the program stream's headers: pack headers, system headers,
// PES headers of MPEG-1 and MPEG-2 and padding packets. Each writer returns
// the bytes it wrote.
#pragma once

#include <cstdint>

// Clock references and timestamps are 27 MHz ticks; 90 kHz fields take
// ticks / 300.
int WritePackHeader(uint8_t* out, bool mpeg2, int64_t scr27, int muxRateUnits);
inline int PackHeaderSize(bool mpeg2) { return mpeg2 ? 14 : 12; }

struct SystemHeaderStream {
  uint8_t streamId;
  int bufferBytes;  // P-STD buffer; scale chosen by stream kind
};
int WriteSystemHeader(uint8_t* out, int muxRateUnits, bool constrained,
                      const SystemHeaderStream* streams, int count);
inline int SystemHeaderSize(int streams) { return 12 + 3 * streams; }

// A PES header for payloadBytes of data; a substream header is part of it.
struct PesHeader {
  uint8_t streamId = 0;
  bool hasPts = false;
  bool hasDts = false;       // only with hasPts, and only when it differs
  int64_t pts27 = 0;
  int64_t dts27 = 0;
  int stdBufferBytes = 0;    // > 0 writes the decoder buffer size
  bool videoBufferScale = false;  // 1024-byte units (video), else 128
  int stuffing = 0;          // extra filler bytes in the header
  // Private stream 1: the substream header after the PES header (number,
  // frames whose sync word lies in this packet, and where the first of them
  // begins: 1 + its offset after the substream header, 0 when none does).
  int substream = -1;
  int substreamFrames = 0;
  int firstAccess = 0;
};
int PesHeaderSize(const PesHeader& header, bool mpeg2);
int WritePesHeader(uint8_t* out, const PesHeader& header, bool mpeg2, int payloadBytes);

// The six bytes every packet starts with: start code prefix, stream id and
// the length of what follows them.
void WritePacketStart(uint8_t* out, uint8_t streamId, int length);

// The two packets of a DVD navigation pack after its system header:
// presentation control (substream 0) and data search (substream 1), empty
// for the authoring to fill in. Returns the bytes written.
int WriteNavigationPackets(uint8_t* out);

// A padding packet of total bytes (at least 6).
int WritePaddingPacket(uint8_t* out, int total);

// The 5-byte timestamp field with its 4-bit prefix.
void WriteTimestamp(uint8_t* out, int prefix, int64_t ticks90);
