#include "standins/mux/es_index.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "standins/mux/byte_window.h"

namespace {

const int64_t kClock = 27000000;

// Frame rates by sequence header code: numerator, denominator.
const int kFrameRates[9][2] = {{0, 0},     {24000, 1001}, {24, 1},       {25, 1},  {30000, 1001},
                               {30, 1},    {50, 1},       {60000, 1001}, {60, 1}};

enum { kPictureI = 1, kPictureP = 2, kPictureB = 3 };

// One coded picture (or field pair) as the index pass finds it.
struct Picture {
  int64_t offset;     // unit start
  int64_t startCode;  // picture start code
  int gopStart;
  int type;
  int structure;      // 3 frame, 1 top field, 2 bottom field
  int fields;         // display duration in fields
  int awaitingSecondField;
};

class VideoIndexer {
public:
  VideoIndexer(VideoStreamInfo* info, EsIndex* index) : m_info(info), m_index(index) {}

  int Run(ByteWindow& window) {
    m_index->fileSize = window.Size();
    int64_t pos = 0;
    const int64_t size = window.Size();
    while (pos + 4 <= size) {
      size_t got = 0;
      const uint8_t* p = window.Peek(pos, 1u << 20, &got);
      if (p == NULL || got < 4) break;
      size_t i = 0;
      size_t last = got - 3;
      for (;;) {
        const void* hit = i < last ? memchr(p + i + 2, 1, last - i) : NULL;
        if (hit == NULL) {
          i = last;
          break;
        }
        size_t j = static_cast<const uint8_t*>(hit) - p - 2;
        if (p[j] == 0 && p[j + 1] == 0) {
          int64_t at = pos + static_cast<int64_t>(j);
          size_t have = 0;
          const uint8_t* header = window.Peek(at, 16, &have);
          if (header == NULL) return ReadError();
          if (OnStartCode(at, header, have) != 0) return kIndexBadStream;
          // The window may have moved; look again from the next byte.
          pos = at + 4;
          i = SIZE_MAX;
          break;
        }
        i = j + 1;
      }
      if (i != SIZE_MAX) pos += static_cast<int64_t>(i);
    }
    if (window.ReadFailed()) return ReadError();
    return Finish();
  }

private:
  int ReadError() {
    m_index->error = "read error";
    return kIndexCannotRead;
  }

  int Bad(const char* why) {
    m_index->error = why;
    return kIndexBadStream;
  }

  // header: the start code and up to 12 bytes after it.
  int OnStartCode(int64_t at, const uint8_t* header, size_t have) {
    const uint8_t code = header[3];
    if (code == 0xB3) {
      if (have < 12) return Bad("short sequence header");
      if (m_inPicture) BeginUnit(at, 1);
      else if (m_pendingStart < 0) m_pendingStart = at;
      m_pendingGop = 1;
      int width = (header[4] << 4) | (header[5] >> 4);
      int height = ((header[5] & 0x0F) << 8) | header[6];
      int rate = header[7] & 0x0F;
      if (rate < 1 || rate > 8 || width == 0 || height == 0) return Bad("bad sequence header");
      int64_t bitRate = (static_cast<int64_t>(header[8]) << 10) | (header[9] << 2) | (header[10] >> 6);
      int vbv = ((header[10] & 0x1F) << 5) | (header[11] >> 3);
      if (!m_seenSequence) {
        m_info->width = width;
        m_info->height = height;
        m_info->frameRateCode = rate;
        m_info->bitRate = bitRate == 0x3FFFF ? 0 : bitRate * 400;
        m_info->vbvBytes = vbv * 2048;
        m_info->mpegVersion = 1;
        m_info->frameTicks = kClock * kFrameRates[rate][1] / kFrameRates[rate][0];
        m_seenSequence = 1;
      }
      return 0;
    }
    if (code == 0xB8) {
      if (m_inPicture) BeginUnit(at, 1);
      else if (m_pendingStart < 0) m_pendingStart = at;
      m_pendingGop = 1;
      return 0;
    }
    if (code == 0xB5) {
      if (have < 9) return 0;
      int id = header[4] >> 4;
      if (id == 1 && !m_seenExtension && m_seenSequence) {
        m_seenExtension = 1;
        m_info->mpegVersion = 2;
        m_progressiveSequence = (header[5] >> 3) & 1;
        int n = have >= 10 ? (header[9] >> 5) & 3 : 0;  // frame_rate_extension_n
        int d = have >= 10 ? header[9] & 0x1F : 0;       // frame_rate_extension_d
        if (n != 0 || d != 0) {
          int rate = m_info->frameRateCode;
          m_info->frameTicks = kClock * kFrameRates[rate][1] * (d + 1) / (kFrameRates[rate][0] * (n + 1));
        }
      } else if (id == 8 && m_inPicture && !m_pictures.empty()) {
        Picture& picture = m_pictures.back();
        int structure = header[6] & 3;
        int topFirst = header[7] >> 7;
        int repeatFirst = (header[7] >> 1) & 1;
        if (structure == 0) return Bad("bad picture structure");
        picture.structure = structure;
        if (structure != 3) {
          picture.fields = 2;  // the pair counts as one frame
        } else if (m_progressiveSequence) {
          picture.fields = repeatFirst ? (topFirst ? 6 : 4) : 2;
        } else {
          picture.fields = repeatFirst ? 3 : 2;
        }
        // The second field of a pair is part of the first one's unit.
        if (structure != 3 && m_pictures.size() >= 2) {
          Picture& previous = m_pictures[m_pictures.size() - 2];
          if (previous.awaitingSecondField && !picture.gopStart) {
            previous.awaitingSecondField = 0;
            m_pictures.pop_back();
            return 0;
          }
        }
        picture.awaitingSecondField = structure != 3;
      }
      return 0;
    }
    if (code == 0x00) {
      if (!m_seenSequence) return Bad("picture before the first sequence header");
      if (have < 6) return Bad("short picture header");
      int type = (header[5] >> 3) & 7;
      if (type < kPictureI || type > kPictureB + 1) return Bad("bad picture type");
      if (type == 4) type = kPictureI;  // D pictures stand alone like I pictures
      int64_t start = m_pendingStart >= 0 ? m_pendingStart : at;
      if (m_pictures.empty()) start = 0;  // leading bytes travel with the first unit
      Picture picture = {start, at, m_pendingGop, type, 3, 2, 0};
      m_pictures.push_back(picture);
      m_pendingStart = -1;
      m_pendingGop = 0;
      m_inPicture = 1;
      return 0;
    }
    return 0;
  }

  void BeginUnit(int64_t at, int gop) {
    m_inPicture = 0;
    m_pendingStart = at;
    m_pendingGop = gop;
  }

  int Finish() {
    if (m_pictures.empty()) return Bad("no picture in the video stream");
    const size_t count = m_pictures.size();
    std::vector<AccessUnit>& units = m_index->units;
    units.resize(count);
    for (size_t n = 0; n < count; ++n) {
      const Picture& picture = m_pictures[n];
      int64_t end = n + 1 < count ? m_pictures[n + 1].offset : m_index->fileSize;
      if (end - picture.offset > INT32_MAX || end <= picture.offset) return Bad("picture too large");
      units[n] = AccessUnit{picture.offset, picture.startCode, static_cast<int32_t>(end - picture.offset),
                            picture.gopStart, 0, 0};
    }
    // Presentation order: a B picture is shown when decoded, an anchor when
    // the next anchor is decoded (or at the end).
    std::vector<size_t> shown;
    shown.reserve(count);
    long heldAnchor = -1;
    for (size_t n = 0; n < count; ++n) {
      if (m_pictures[n].type == kPictureB) {
        shown.push_back(n);
      } else {
        if (heldAnchor >= 0) shown.push_back(static_cast<size_t>(heldAnchor));
        heldAnchor = static_cast<long>(n);
      }
    }
    if (heldAnchor >= 0) shown.push_back(static_cast<size_t>(heldAnchor));
    const int64_t frame = m_info->frameTicks;
    int64_t fields = 0;
    for (size_t k = 0; k < count; ++k) {
      units[shown[k]].pts = fields * frame / 2;
      fields += m_pictures[shown[k]].fields;
    }
    m_index->duration = fields * frame / 2;
    // Decoding: one picture after the other, as early as possible without
    // any picture decoded after it is shown.
    int64_t decodeFields = 0;
    int64_t shift = INT64_MAX;
    std::vector<int64_t> decodeStart(count);
    for (size_t n = 0; n < count; ++n) {
      decodeStart[n] = decodeFields * frame / 2;
      shift = std::min(shift, units[n].pts - decodeStart[n]);
      decodeFields += m_pictures[n].fields;
    }
    for (size_t n = 0; n < count; ++n) units[n].dts = decodeStart[n] + shift;
    return kIndexOk;
  }

  VideoStreamInfo* m_info;
  EsIndex* m_index;
  std::vector<Picture> m_pictures;
  int64_t m_pendingStart = -1;  // a sequence or GOP header after the last picture's data
  int m_pendingGop = 0;
  int m_inPicture = 0;          // bytes now belong to the last picture
  int m_seenSequence = 0;
  int m_seenExtension = 0;
  int m_progressiveSequence = 0;
};

// Bit rates in kbit/s by version row (0 MPEG-1, 1 MPEG-2/2.5) and layer.
const int kBitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
const int kSampleRates[3] = {44100, 48000, 32000};

// AC-3: bit rates in kbit/s by frame size code / 2, and full-band
// channels by channel mode.
const int kAc3BitRates[19] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640};
const int kAc3Channels[8] = {2, 1, 2, 3, 3, 4, 4, 5};

// The frame header at p, of either kind, with have bytes there.
int ParseFrameHeader(const uint8_t* p, size_t have, AudioStreamInfo* info) {
  if (have >= 4 && p[0] == 0xFF) return ParseAudioHeader(p, info);
  if (have >= 7 && p[0] == 0x0B) return ParseAc3Header(p, info);
  return 0;
}

// A frame of the same stream: the channels of AC-3 may change between
// programmes, the kind and the rate may not.
bool SameStream(const AudioStreamInfo& a, const AudioStreamInfo& b) {
  if (a.coding != b.coding || a.sampleRate != b.sampleRate) return false;
  return a.coding == kAudioAc3 || (a.version == b.version && a.layer == b.layer);
}

int IndexAudio(ByteWindow& window, AudioStreamInfo* info, EsIndex* index) {
  index->fileSize = window.Size();
  const int64_t size = window.Size();
  int64_t pos = 0;
  size_t got = 0;
  // An ID3v2 tag before the first frame.
  const uint8_t* p = window.Peek(0, 10, &got);
  if (p != NULL && got == 10 && memcmp(p, "ID3", 3) == 0) {
    pos = 10 + ((p[6] & 0x7F) << 21 | (p[7] & 0x7F) << 14 | (p[8] & 0x7F) << 7 | (p[9] & 0x7F));
  }
  AudioStreamInfo first;
  bool found = false;
  bool enhanced = false;  // an E-AC-3 frame header was passed over
  int64_t samples = 0;
  while (pos + 4 <= size) {
    p = window.Peek(pos, 8, &got);
    if (p == NULL) break;
    AudioStreamInfo header;
    int length = ParseFrameHeader(p, got, &header);
    if (length == 0 && got >= 6 && IsEnhancedAc3Header(p)) enhanced = true;
    bool take = length > 0 && pos + length <= size;
    if (take && !found) {
      // The first frame must be followed by a frame of the same stream (or
      // end the file), so that junk that looks like a header is passed over.
      AudioStreamInfo next;
      if (pos + length + 4 <= size) {
        const uint8_t* q = window.Peek(pos + length, 8, &got);
        take = q != NULL && ParseFrameHeader(q, got, &next) > 0 && SameStream(header, next);
      }
      if (take) {
        first = header;
        found = true;
      }
    } else if (take) {
      take = SameStream(header, first);
    }
    if (!take) {
      ++pos;
      continue;
    }
    int64_t pts = samples * kClock / first.sampleRate;
    index->units.push_back(AccessUnit{pos, pos, length, 0, pts, pts});
    samples += header.samplesPerFrame;
    pos += length;
  }
  if (window.ReadFailed()) {
    index->error = "read error";
    return kIndexCannotRead;
  }
  if (index->units.empty()) {
    index->error = enhanced ? "E-AC-3 audio, not AC-3" : "no MPEG audio or AC-3 frame";
    return kIndexBadStream;
  }
  // Bytes between frames travel with the frame before them.
  std::vector<AccessUnit>& units = index->units;
  units.front().offset = 0;
  for (size_t n = 0; n + 1 < units.size(); ++n)
    units[n].size = static_cast<int32_t>(units[n + 1].offset - units[n].offset);
  units.back().size = static_cast<int32_t>(size - units.back().offset);
  index->duration = samples * kClock / first.sampleRate;
  *info = first;
  return kIndexOk;
}

}  // namespace

int ParseAudioHeader(const uint8_t* p, AudioStreamInfo* info) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return 0;
  int versionBits = (p[1] >> 3) & 3;
  int layerBits = (p[1] >> 1) & 3;
  int rateIndex = p[2] >> 4;
  int sampleIndex = (p[2] >> 2) & 3;
  int padding = (p[2] >> 1) & 1;
  if (versionBits == 1 || layerBits == 0 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3)
    return 0;
  AudioStreamInfo h;
  h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
  h.layer = 4 - layerBits;
  h.sampleRate = kSampleRates[sampleIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
  h.bitRate = kBitRates[h.version == 1 ? 0 : 1][h.layer - 1][rateIndex] * 1000;
  h.channels = (p[3] >> 6) == 3 ? 1 : 2;
  int length;
  if (h.layer == 1) {
    h.samplesPerFrame = 384;
    length = (12 * h.bitRate / h.sampleRate + padding) * 4;
  } else if (h.layer == 2 || h.version == 1) {
    h.samplesPerFrame = 1152;
    length = 144 * h.bitRate / h.sampleRate + padding;
  } else {
    h.samplesPerFrame = 576;
    length = 72 * h.bitRate / h.sampleRate + padding;
  }
  if (length < 4) return 0;
  *info = h;
  return length;
}

int ParseAc3Header(const uint8_t* p, AudioStreamInfo* info) {
  if (p[0] != 0x0B || p[1] != 0x77) return 0;
  const int rateCode = p[4] >> 6;
  const int sizeCode = p[4] & 0x3F;
  const int streamId = p[5] >> 3;  // 8 and below: AC-3; 11 to 16: E-AC-3
  if (rateCode == 3 || sizeCode >= 38 || streamId > 8) return 0;
  const int kbps = kAc3BitRates[sizeCode >> 1];
  AudioStreamInfo h;
  h.coding = kAudioAc3;
  h.bitRate = kbps * 1000;
  h.samplesPerFrame = 1536;
  int words;  // 16-bit words of the frame
  if (rateCode == 0) {
    h.sampleRate = 48000;
    words = 2 * kbps;
  } else if (rateCode == 1) {
    h.sampleRate = 44100;
    words = kbps * 96000 / 44100 + (sizeCode & 1);
  } else {
    h.sampleRate = 32000;
    words = 3 * kbps;
  }
  // The channel mode, then the mix levels that it brings, then the LFE bit:
  // all within byte 6.
  const int mode = p[6] >> 5;
  int bit = 3;
  if ((mode & 1) != 0 && mode != 1) bit += 2;  // centre mix level
  if ((mode & 4) != 0) bit += 2;               // surround mix level
  if (mode == 2) bit += 2;                     // Dolby Surround mode
  const int lfe = (p[6] >> (7 - bit)) & 1;
  h.channels = kAc3Channels[mode] + lfe;
  *info = h;
  return 2 * words;
}

bool IsEnhancedAc3Header(const uint8_t* p) {
  const int streamId = p[5] >> 3;
  return p[0] == 0x0B && p[1] == 0x77 && streamId > 10 && streamId <= 16;
}

int IndexVideoStream(const std::string& path, VideoStreamInfo* info, EsIndex* index) {
  ByteWindow window(path);
  if (!window.IsOpen()) {
    index->error = "cannot open " + path;
    return kIndexCannotRead;
  }
  VideoIndexer indexer(info, index);
  return indexer.Run(window);
}

int IndexAudioStream(const std::string& path, AudioStreamInfo* info, EsIndex* index) {
  ByteWindow window(path);
  if (!window.IsOpen()) {
    index->error = "cannot open " + path;
    return kIndexCannotRead;
  }
  return IndexAudio(window, info, index);
}

int IndexVideoBytes(const uint8_t* data, size_t size, VideoStreamInfo* info, EsIndex* index) {
  ByteWindow window(data, size);
  VideoIndexer indexer(info, index);
  return indexer.Run(window);
}

int IndexAudioBytes(const uint8_t* data, size_t size, AudioStreamInfo* info, EsIndex* index) {
  ByteWindow window(data, size);
  return IndexAudio(window, info, index);
}
