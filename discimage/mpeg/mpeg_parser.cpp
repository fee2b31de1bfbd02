#include "discimage/mpeg/mpeg_parser.h"

#include <cstdarg>
#include <cstring>

#include "discimage/mpeg/mpeg_startcode.h"
#include "discimage/base/vcd_messages.h"

namespace {

// Parse steps return the position behind what they read, or this.
const int kBadData = -1;

const uint32_t kPackStart = 0x000001BA;
const uint32_t kProgramEnd = 0x000001B9;
const uint32_t kSystemHeader = 0x000001BB;
const uint32_t kPrivateStream1 = 0x000001BD;
const uint32_t kPaddingStream = 0x000001BE;

const double kClock = 90000.0;  // PTS ticks per second

inline uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// MPEG-1 pel aspect ratios by code; 0 for the forbidden and reserved codes.
const double kAspectRatios[16] = {0,      1.0,    0.6735, 0.7031, 0.7615, 0.8055, 0.8437, 0.8935,
                                  0.9157, 0.9815, 1.0255, 1.0695, 1.0950, 1.1575, 1.2015, 0};
// Frames per second by code. 23.976, 29.97 and 59.94 are kept as written so
// that format tables can compare them exactly.
const double kFrameRates[16] = {0,    23.976, 24.0, 25.0, 29.97, 30.0, 50.0, 59.94,
                                60.0, 0,      0,    0,    0,     0,    0,    0};
// Audio bit rates in kbit/s by layer (1-3) and index; index 0 is "free" and
// 15 forbidden.
const int kAudioBitRates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
const int kSamplingRates[4] = {44100, 48000, 32000, 0};

const char* const kScanLabels[4] = {"previous_I_offset", "next_I_offset    ", "backward_I_offset",
                                    "forward_I_offset "};

const char kMarkerNotSet[] = "mpeg: some marker is not set...";

// What a PES header said.
struct PesHeader {
  int version;  // 1 or 2
  int payload;  // block position of the payload; kBadData when not to be examined
  bool hasPts;
  double pts;  // seconds
};

class PackParser {
public:
  PackParser(CVcdMessageSink* messages, uint8_t* block, int length, bool analysis,
             MpegParserState* state)
      : m_messages(messages),
        m_block(block),
        m_length(length),
        m_analysis(analysis),
        m_info(state->packet),
        m_stream(state->stream),
        m_scan(state->scan),
        m_split(state->split),
        m_find(MpegChooseStartCodeFinder(kMpegHeaderStartCode)),
        m_sawI(false),
        m_picture(kMpegScanBeforeI) {}

  int Run();

private:
  void Say(int level, const char* format, ...) QUORBEL_PRINTF_LIKE(3, 4);
  // Reports a header or packet of size bytes at pos that does not fit before
  // limit; the pack is bad data.
  int Overrun(int pos, int size, int limit);
  void CheckMarker(bool set) {
    if (!set) Say(kVcdMsgDebug, "%s", kMarkerNotSet);
  }

  int RejectFirstWord();
  int ParsePackHeader(int pos);
  void MarkStream(unsigned id);
  int ParseSystemHeader(int start, int end);
  int ParsePesHeader(int start, int end, PesHeader* header);
  void TakePts(const uint8_t* p, PesHeader* header);
  void ParseVideo(int index, const PesHeader& header, int end);
  void ReadSequenceHeader(const uint8_t* p, MpegVideoInfo* video);
  void ReadGop(const uint8_t* p);
  void ParseUserData(int index, int from, int end);
  // The rest of a scan information item split at the end of the stream's
  // last payload, from the payload's start: the position behind it.
  int ContinueSplitItem(int index, int from, int end);
  // Records the item (or its part) at block position at.
  void AddScanItem(int index, int at, int first, int count);
  // Checks and counts a whole scan information item.
  void TakeScanItem(const uint8_t* item);
  void CheckScanAddress(const char* label, const uint8_t* p);
  void ParseAudio(int index, int from, int end);
  void ParsePrivateStream1(int from, int end);
  // Position of the next start code in [from, end), code byte included,
  // that is not a slice (slices hold no header the walk reads), or -1.
  int FindStartCode(int from, int end) const { return m_find(m_block, from, end); }

  CVcdMessageSink* m_messages;
  uint8_t* m_block;
  int m_length;
  bool m_analysis;
  MpegPacketInfo& m_info;
  MpegStreamInfo& m_stream;
  MpegScanItems& m_scan;
  MpegScanSplit (&m_split)[kMpegStreamSlots];
  MpegStartCodeFinder m_find;
  bool m_sawI;    // an I picture started in this pack
  int m_picture;  // kMpegScan*: the picture whose header was read last
};

void PackParser::Say(int level, const char* format, ...) {
  if (m_messages == NULL) return;
  va_list args;
  va_start(args, format);
  m_messages->SendV(level, format, args);
  va_end(args);
}

int PackParser::Overrun(int pos, int size, int limit) {
  Say(kVcdMsgWarning,
      "packet length beyond buffer (pos = %d + size = %d > buflen = %d) -- stream may be "
      "truncated or packet length > 2324 bytes!",
      pos, size, limit);
  return kBadData;
}

int PackParser::RejectFirstWord() {
  uint8_t first[4] = {0, 0, 0, 0};
  memcpy(first, m_block, m_length < 4 ? static_cast<size_t>(m_length) : 4);
  uint32_t code = Be32(first);
  Say(kVcdMsgWarning,
      "mpeg scan: pack header code (0x%8.8x) expected, but 0x%8.8x found (buflen = %d)", kPackStart,
      code, m_length);
  if (m_stream.packetCount == 1) {
    if (code == 0x000001B3)
      Say(kVcdMsgWarning,
          "...this looks like a elementary video stream but a multiplexed program stream was "
          "required.");
    if (first[0] == 0xFF && first[1] > 0xEF)
      Say(kVcdMsgWarning,
          "...this looks like a elementary audio stream but a multiplexed program stream was "
          "required.");
    if (memcmp(first, "RIFF", 4) == 0)
      Say(kVcdMsgWarning,
          "...this looks like a RIFF header but a plain multiplexed program stream was required.");
  } else if (code == kProgramEnd) {
    Say(kVcdMsgWarning,
        "...PEM (program end marker) found instead of pack header; should be in last 4 bytes of "
        "pack");
  }
  return kBadData;
}

int PackParser::ParsePackHeader(int pos) {
  if (m_length - pos < 5) return Overrun(pos, 5, m_length);
  const uint8_t* b = m_block + pos + 4;
  int version;
  int size;
  int64_t scr;
  int64_t muxRate;
  if ((b[0] >> 4) == 0x2) {
    size = 12;
    if (m_length - pos < size) return Overrun(pos, size, m_length);
    version = 1;
    CheckMarker(b[0] & 1);
    CheckMarker(b[2] & 1);
    CheckMarker(b[4] & 1);
    CheckMarker(b[5] & 0x80);
    CheckMarker(b[7] & 1);
    scr = (static_cast<int64_t>((b[0] >> 1) & 7) << 30) | (static_cast<int64_t>(b[1]) << 22) |
          (static_cast<int64_t>(b[2] >> 1) << 15) | (static_cast<int64_t>(b[3]) << 7) | (b[4] >> 1);
    muxRate = (static_cast<int64_t>(b[5] & 0x7F) << 15) | (b[6] << 7) | (b[7] >> 1);
  } else if ((b[0] >> 6) == 1) {
    if (m_length - pos < 14) return Overrun(pos, 14, m_length);
    size = 14 + (b[9] & 7);
    // The stuffing belongs to the header: it must fit as well.
    if (m_length - pos < size) return Overrun(pos, size, m_length);
    version = 2;
    CheckMarker(b[0] & 4);
    CheckMarker(b[2] & 4);
    CheckMarker(b[4] & 4);
    CheckMarker(b[5] & 1);
    CheckMarker(b[8] & 2);
    CheckMarker(b[8] & 1);
    int64_t base =
        (static_cast<int64_t>((b[0] >> 3) & 7) << 30) | (static_cast<int64_t>(b[0] & 3) << 28) |
        (static_cast<int64_t>(b[1]) << 20) | (static_cast<int64_t>(b[2] >> 3) << 15) |
        (static_cast<int64_t>(b[2] & 3) << 13) | (static_cast<int64_t>(b[3]) << 5) | (b[4] >> 3);
    int extension = ((b[4] & 3) << 7) | (b[5] >> 1);
    scr = base * 300 + extension;
    muxRate = (static_cast<int64_t>(b[6]) << 14) | (b[7] << 6) | (b[8] >> 2);
  } else {
    Say(kVcdMsgWarning, "packet not recognized as either version 1 or 2 (%d) -- assuming v1",
        b[0] >> 4);
    if (m_stream.version == 0) m_stream.version = 1;
    return pos + 4;
  }
  if (m_stream.version == 0)
    m_stream.version = version;
  else if (m_stream.version != version)
    Say(kVcdMsgWarning, "mixed mpeg versions?");
  m_info.scr = scr;
  m_info.muxRate = static_cast<int32_t>(muxRate * 400);
  m_stream.muxRate = m_info.muxRate;
  return pos + size;
}

void PackParser::MarkStream(unsigned id) {
  if (id == 0xBB)
    m_info.systemHeader = 1;
  else if (id == 0xBE)
    m_info.padding = 1;
  else if (id >= 0xC0 && id <= 0xC2)
    m_info.audio[id - 0xC0] = 1;
  else if (id >= 0xE0 && id <= 0xE2)
    m_info.video[id - 0xE0] = 1;
}

int PackParser::ParseSystemHeader(int start, int end) {
  // Rate bound, audio and video bounds and flags: 6 bytes before the entries.
  if (end - start < 6) return Overrun(start, 6, end);
  const uint8_t* p = m_block + start;
  CheckMarker(p[0] & 0x80);
  CheckMarker(p[2] & 1);
  CheckMarker(p[4] & 0x20);
  for (int k = start + 6; end - k >= 3 && (m_block[k] & 0x80); k += 3) MarkStream(m_block[k]);
  return end;
}

void PackParser::TakePts(const uint8_t* p, PesHeader* header) {
  CheckMarker(p[0] & 1);
  CheckMarker(p[2] & 1);
  CheckMarker(p[4] & 1);
  int64_t value = (static_cast<int64_t>((p[0] >> 1) & 7) << 30) |
                  (static_cast<int64_t>(p[1]) << 22) | (static_cast<int64_t>(p[2] >> 1) << 15) |
                  (static_cast<int64_t>(p[3]) << 7) | (p[4] >> 1);
  double pts = static_cast<double>(value) / kClock;
  header->hasPts = true;
  header->pts = pts;
  m_info.hasPts = 1;
  m_info.pts = pts;
  if (!m_stream.ptsSeen) {
    m_stream.ptsSeen = 1;
    m_stream.minPts = pts;
    m_stream.maxPts = pts;
  } else {
    if (pts < m_stream.minPts) m_stream.minPts = pts;
    if (pts > m_stream.maxPts) m_stream.maxPts = pts;
  }
}

int PackParser::ParsePesHeader(int start, int end, PesHeader* header) {
  header->version = 0;
  header->payload = kBadData;
  header->hasPts = false;
  header->pts = 0;
  int i = start;
  if (end - start >= 1 && (m_block[start] >> 6) == 2) {
    header->version = 2;
    if (end - start < 3) return Overrun(start, 3, end);
    int flags = m_block[start + 1] >> 6;
    int dataLength = m_block[start + 2];
    int dataStart = start + 3;
    if (end - dataStart < dataLength) return Overrun(dataStart, dataLength, end);
    int stamps = flags == 2 ? 5 : flags == 3 ? 10 : 0;
    // The time stamps live inside the header data.
    if (stamps > dataLength) return Overrun(dataStart, stamps, dataStart + dataLength);
    if (stamps > 0) TakePts(m_block + dataStart, header);
    i = dataStart + dataLength;
  } else {
    header->version = 1;
    while (i < end && m_block[i] == 0xFF) ++i;
    if (i >= end) return Overrun(start, i - start + 1, end);  // stuffing fills the packet
    if ((m_block[i] >> 6) == 1) {
      // STD buffer scale and size.
      if (end - i < 3) return Overrun(i, 3, end);
      i += 2;
    }
    int code = m_block[i] >> 4;
    if (code == 0x0) {
      i += 1;
    } else if (code == 0x2 || code == 0x3) {
      int stamps = code == 0x2 ? 5 : 10;
      if (end - i < stamps) return Overrun(i, stamps, end);
      TakePts(m_block + i, header);
      i += stamps;
    } else {
      Say(kVcdMsgError, "error in mpeg1 stream");
      i = kBadData;
    }
  }
  if (m_stream.version != 0 && header->version != m_stream.version)
    Say(kVcdMsgWarning, "pack header mpeg version does not match pes header mpeg version");
  header->payload = i;
  return end;
}

void PackParser::ReadSequenceHeader(const uint8_t* p, MpegVideoInfo* video) {
  video->horizontalSize = (p[0] << 4) | (p[1] >> 4);
  video->verticalSize = ((p[1] & 0x0F) << 8) | p[2];
  video->aspectRatio = kAspectRatios[p[3] >> 4];
  video->frameRate = kFrameRates[p[3] & 0x0F];
  video->bitRate = ((p[4] << 10) | (p[5] << 2) | (p[6] >> 6)) * 400;
  CheckMarker(p[6] & 0x20);
  video->vbvBufferSize = (((p[6] & 0x1F) << 5) | (p[7] >> 3)) * 16384;
  video->constrained = (p[7] >> 2) & 1;
  video->seen = 1;
}

void PackParser::ReadGop(const uint8_t* p) {
  m_info.gopTimeCode[0] = static_cast<uint8_t>((p[0] >> 2) & 0x1F);
  m_info.gopTimeCode[1] = static_cast<uint8_t>(((p[0] & 3) << 4) | (p[1] >> 4));
  CheckMarker(p[1] & 0x08);
  m_info.gopTimeCode[2] = static_cast<uint8_t>(((p[1] & 7) << 3) | (p[2] >> 5));
  m_info.gopTimeCode[3] = static_cast<uint8_t>(((p[2] & 0x1F) << 1) | (p[3] >> 7));
  m_info.gopSeen = 1;
}

void PackParser::CheckScanAddress(const char* label, const uint8_t* p) {
  int& errors = m_stream.scanDataErrors;
  if (errors >= 9) return;
  if (errors == 8) {
    Say(kVcdMsgWarning,
        "mpeg user scan data: from now on, scan information data errors will not be reported "
        "anymore---consider enabling the 'update scan offsets' option, if it is not enabled "
        "already!");
    errors = 9;
    return;
  }
  if (p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF) return;  // no such picture
  if (!(p[1] & 0x80) || !(p[2] & 0x80)) {
    char text[16];
    snprintf(text, sizeof text, "%.2x:%.2x.%.2x", p[0], p[1], p[2]);
    Say(kVcdMsgWarning, "mpeg user scan data: msb of second or frame field not set for '%s': [%s]",
        label, text);
    ++errors;
    return;
  }
  uint8_t digits[3] = {p[0], static_cast<uint8_t>(p[1] & 0x7F), static_cast<uint8_t>(p[2] & 0x7F)};
  bool outOfRange = false;
  for (uint8_t d : digits)
    if ((d >> 4) > 9 || (d & 0x0F) > 9) outOfRange = true;
  if (outOfRange) {
    char text[16];
    snprintf(text, sizeof text, "%.2x:%.2x.%.2x", digits[0], digits[1], digits[2]);
    Say(kVcdMsgWarning, "mpeg user scan data: one or more BCD fields out of range for '%s': [%s]",
        label, text);
    ++errors;
  }
}

void PackParser::AddScanItem(int index, int at, int first, int count) {
  if (m_scan.count >= MpegScanItems::kCapacity) return;
  MpegScanItem& item = m_scan.items[m_scan.count++];
  item.offset = static_cast<uint16_t>(at);
  item.picture = static_cast<uint8_t>(m_picture);
  item.first = static_cast<uint8_t>(first);
  item.count = static_cast<uint8_t>(count);
  item.stream = static_cast<uint8_t>(index);
}

void PackParser::TakeScanItem(const uint8_t* item) {
  for (int i = 0; i < 4; ++i) CheckScanAddress(kScanLabels[i], item + 2 + 3 * i);
  ++m_stream.scanDataCount;
}

void PackParser::ParseUserData(int index, int from, int end) {
  int u = from;
  while (end - u >= 1) {
    int tag = m_block[u];
    if (tag == 0) break;
    if (end - u < 2 || m_block[u + 1] > end - u) {
      // The payload ends inside the item: a scan information item goes on
      // in the stream's next payload.
      if (tag == 0x10 && (end - u < 2 || m_block[u + 1] == kMpegScanDataSize)) {
        MpegScanSplit& split = m_split[index];
        split.have = end - u;
        memcpy(split.bytes, m_block + u, static_cast<size_t>(split.have));
        AddScanItem(index, u, 0, split.have);
      }
      break;
    }
    int length = m_block[u + 1];
    if (length < 2) break;
    if (tag == 0x11) {
      Say(kVcdMsgDebug, "caption data seen -- not supported yet (len = %d)", length);
    } else if (tag == 0x10) {
      if (length != kMpegScanDataSize) {
        Say(kVcdMsgWarning, "invalid user scan data length (%d != 14)", length);
      } else {
        TakeScanItem(m_block + u);
        m_info.scanData = m_block + u;
        AddScanItem(index, u, 0, kMpegScanDataSize);
      }
    }
    u += length;
  }
}

int PackParser::ContinueSplitItem(int index, int from, int end) {
  MpegScanSplit& split = m_split[index];
  const int first = split.have;
  int count = kMpegScanDataSize - first;
  if (count > end - from) count = end - from;
  memcpy(split.bytes + first, m_block + from, static_cast<size_t>(count));
  split.have += count;
  if (split.have >= 2 && split.bytes[1] != kMpegScanDataSize) {
    // Not a scan information item after all.
    Say(kVcdMsgWarning, "invalid user scan data length (%d != 14)", split.bytes[1]);
    split.have = 0;
    return from;
  }
  if (count > 0) AddScanItem(index, from, first, count);
  if (split.have == kMpegScanDataSize) {
    TakeScanItem(split.bytes);
    split.have = 0;
  }
  return from + count;
}

void PackParser::ParseVideo(int index, const PesHeader& header, int end) {
  MpegVideoInfo& video = m_stream.video[index];
  const int from = header.payload;
  int sequencePos = -1, gopPos = -1, iPicturePos = -1;  // from the payload's start
  int i = m_split[index].have > 0 ? ContinueSplitItem(index, from, end) : from;
  for (;;) {
    int j = FindStartCode(i, end);
    if (j < 0) break;
    int code = m_block[j + 3];
    int behind = j + 4;  // first byte after the start code
    if (code == 0x00) {
      // 10-bit temporal reference, then the 3-bit picture coding type.
      bool isI = end - behind >= 2 && ((m_block[behind + 1] >> 3) & 7) == 1;
      if (isI && iPicturePos < 0) iPicturePos = j - from;
      m_picture = isI && !m_sawI ? kMpegScanOfI : m_sawI ? kMpegScanAfterI : kMpegScanBeforeI;
      m_sawI = m_sawI || isI;
    } else if (code == 0xB2) {
      if (end - behind < 4) {
        // A scan information item may start right behind the code.
        if (end - behind >= 1) ParseUserData(index, behind, end);
        break;
      }
      ParseUserData(index, behind, end);
    } else if (code == 0xB3) {
      if (sequencePos < 0) sequencePos = j - from;
      if (!video.seen && end - behind >= 8) ReadSequenceHeader(m_block + behind, &video);
    } else if (code == 0xB8) {
      if (end - behind < 4) break;
      ReadGop(m_block + behind);
      if (gopPos < 0) gopPos = j - from;
    }
    i = behind;
  }

  if (!header.hasPts || iPicturePos < 0 || (m_stream.version != 1 && m_stream.version != 2)) return;
  int type;
  if (sequencePos >= 0 && gopPos >= 0 && sequencePos < gopPos && gopPos < iPicturePos)
    type = sequencePos == 0 ? kMpegApsSeqGopIAtStart : kMpegApsSeqGopI;
  else
    type = (gopPos < 0 || gopPos > iPicturePos) ? kMpegApsIPicture : kMpegApsGopI;
  if (video.lastApsPts > header.pts) {
    Say(kVcdMsgWarning,
        "APS' pts seems out of order (actual pts %f, last seen pts %f) -- ignoring this aps",
        header.pts, video.lastApsPts);
    return;
  }
  m_info.apsType = type;
  m_info.apsPts = header.pts;
  m_info.apsStream = index;
  video.lastApsPts = header.pts;
}

void PackParser::ParseAudio(int index, int from, int end) {
  MpegAudioInfo& audio = m_stream.audio[index];
  for (int i = from; end - i >= 4;) {
    const void* hit = memchr(m_block + i, 0xFF, static_cast<size_t>(end - 3 - i));
    if (hit == NULL) return;
    i = static_cast<int>(static_cast<const uint8_t*>(hit) - m_block);
    const uint8_t* p = m_block + i;
    if ((p[1] & 0xF0) != 0xF0) {
      ++i;
      continue;
    }
    if (!(p[1] & 0x08)) {
      Say(kVcdMsgDebug, "non-MPEG1 audio stream header seen");
      return;
    }
    static const int kLayers[4] = {0, 3, 2, 1};
    audio.layer = kLayers[(p[1] >> 1) & 3];
    audio.bitRate = audio.layer ? kAudioBitRates[audio.layer - 1][p[2] >> 4] * 1024 : 0;
    audio.samplingRate = kSamplingRates[(p[2] >> 2) & 3];
    audio.mode = (p[3] >> 6) + 1;
    audio.seen = 1;
    return;
  }
}

void PackParser::ParsePrivateStream1(int from, int end) {
  if (from >= end) return;
  int channel = m_block[from];
  if (channel > 3) {
    Say(kVcdMsgWarning, "OGT channel out of range %d", channel);
    return;
  }
  m_info.ogt[channel] = 1;
  m_stream.ogt[channel] = 1;
}

int PackParser::Run() {
  if (m_length < 4 || Be32(m_block) != kPackStart) return RejectFirstWord();
  int pos = 0;
  for (;;) {
    int remaining = m_length - pos;
    if (remaining < 4) {
      if (pos != m_length) Say(kVcdMsgDebug, "pos != buflen (%d != %d)", pos, m_length);
      return m_length;
    }
    uint32_t code = Be32(m_block + pos);
    if (code == 0) {
      pos += remaining == 4 ? 4 : 2;
    } else if (code == 0x00000100) {
      pos += 3;
    } else if (code == kProgramEnd) {
      m_info.endCode = 1;
      pos += 4;
    } else if (code == kPackStart) {
      if (pos != 0) return pos;
      pos = ParsePackHeader(pos);
      if (pos < 0) return kBadData;
    } else if (code == kSystemHeader || code == kPrivateStream1 || code == kPaddingStream ||
               (code >= 0x000001C0 && code <= 0x000001C2) ||
               (code >= 0x000001E0 && code <= 0x000001E2)) {
      if (remaining < 6) return Overrun(pos + 6, 0, m_length);
      int size = (m_block[pos + 4] << 8) | m_block[pos + 5];
      int start = pos + 6;
      if (size > m_length - start) return Overrun(start, size, m_length);
      int end = start + size;
      unsigned id = code & 0xFF;
      MarkStream(id);
      if (code == kSystemHeader) {
        if (ParseSystemHeader(start, end) < 0) return kBadData;
      } else if (code != kPaddingStream) {
        PesHeader header;
        if (ParsePesHeader(start, end, &header) < 0) return kBadData;
        if (header.payload >= 0) {
          if (id >= 0xE0) {
            if (m_analysis) ParseVideo(static_cast<int>(id - 0xE0), header, end);
          } else if (id >= 0xC0) {
            if (m_analysis && !m_stream.audio[id - 0xC0].seen)
              ParseAudio(static_cast<int>(id - 0xC0), header.payload, end);
          } else {
            ParsePrivateStream1(header.payload, end);
          }
        }
      }
      pos = end;
    } else if ((code >> 8) == 1) {
      Say(kVcdMsgDebug, "unexpected start code 0x%8.8x", code);
      pos += 4;
    } else {
      // Only a word that starts with a zero byte can be anything but
      // "advance one": jump to the next zero (or to where fewer than four
      // bytes remain).
      const void* zero = memchr(m_block + pos + 1, 0, static_cast<size_t>(m_length - 4 - pos));
      pos = zero != NULL ? static_cast<int>(static_cast<const uint8_t*>(zero) - m_block)
                         : m_length - 3;
    }
  }
}

bool AllZero(const uint8_t* block, int length) {
  // A pack header fails on its third byte, before any call.
  for (int i = 0; i < length && i < 4; ++i)
    if (block[i] != 0) return false;
  return length <= 4 || memcmp(block, block + 1, static_cast<size_t>(length - 1)) == 0;
}

}  // namespace

int ParsePacket(CVcdMessageSink* messages, uint8_t* block, int length, int analysis,
                MpegParserState* state) {
  if (state == NULL) return 0;
  // In two halves: in one, GCC clears the record with a string instruction
  // that costs more than the rest of a typical parse's set-up.
  const size_t half = sizeof state->packet / 2;
  memset(&state->packet, 0, half);
  memset(reinterpret_cast<char*>(&state->packet) + half, 0, sizeof state->packet - half);
  state->scan.count = 0;
  if (block == NULL || length <= 0) return 0;
  ++state->stream.packetCount;
  if (AllZero(block, length)) {
    state->packet.empty = 1;
    return length;
  }
  PackParser parser(messages, block, length, analysis != 0, state);
  int result = parser.Run();
  if (result <= 0) {
    --state->stream.packetCount;
    return 0;
  }
  return result;
}
