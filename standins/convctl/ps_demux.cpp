#include "standins/convctl/ps_demux.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

namespace convctl {

namespace {

const double kTicks = 90000.0;  // PES time stamps count 90 kHz ticks
const int64_t kProbeBytes = 4 << 20;
const size_t kMaxUnit = 6 + 65535;  // the longest PES packet

// ---- Files with 64-bit offsets ------------------------------------------------

FILE* OpenFile(const char* path, const char* mode) { return path != nullptr ? fopen(path, mode) : nullptr; }

bool SeekTo(FILE* f, int64_t offset) {
#ifdef _WIN32
  return _fseeki64(f, offset, SEEK_SET) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

int64_t FileSize(FILE* f) {
#ifdef _WIN32
  if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
  int64_t size = _ftelli64(f);
#else
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  int64_t size = static_cast<int64_t>(ftello(f));
#endif
  return SeekTo(f, 0) ? size : -1;
}

// Hands out a file unit by unit from large reads. Bytes that are no unit
// are skipped up to the next start code.
class PsReader {
public:
  explicit PsReader(FILE* f) : file_(f), buffer_(1 << 20) {}

  // Reading starts at offset; at most limit bytes are read (-1: no limit).
  bool Start(int64_t offset, int64_t limit) {
    begin_ = end_ = 0;
    eof_ = false;
    error_ = false;
    position_ = offset;
    remaining_ = limit;
    return SeekTo(file_, offset);
  }

  // The next unit; false at the end of what may be read (or a read error).
  bool Next(PsUnit* unit) {
    for (;;) {
      if (end_ - begin_ < kMaxUnit && !eof_) Refill();
      size_t available = end_ - begin_;
      if (available < 4) return false;
      const uint8_t* p = &buffer_[begin_];
      if (!(p[0] == 0 && p[1] == 0 && p[2] == 1)) {
        Skip(SkipToStartCode(p, available));
        continue;
      }
      int taken = ParsePsUnit(p, available, unit);
      if (taken > 0) {
        Skip(static_cast<size_t>(taken));
        return true;
      }
      if (taken == 0 && !eof_) {
        Refill();
        if (end_ - begin_ > available) continue;
      }
      Skip(1);  // a cut-off unit at the end, or no unit here: look further
    }
  }

  // File offset of the next byte Next looks at.
  int64_t Position() const { return position_; }
  bool Failed() const { return error_; }

private:
  static size_t SkipToStartCode(const uint8_t* p, size_t n) {
    for (size_t i = 1; i + 2 < n; ++i)
      if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1) return i;
    return n > 2 ? n - 2 : n;
  }
  void Skip(size_t n) {
    begin_ += n;
    position_ += static_cast<int64_t>(n);
  }
  void Refill() {
    if (begin_ > 0) {
      std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    size_t want = buffer_.size() - end_;
    if (remaining_ >= 0 && static_cast<int64_t>(want) > remaining_) want = static_cast<size_t>(remaining_);
    size_t got = want > 0 ? fread(buffer_.data() + end_, 1, want, file_) : 0;
    if (got < want) {
      eof_ = true;
      if (ferror(file_)) error_ = true;
    }
    if (remaining_ >= 0) {
      remaining_ -= static_cast<int64_t>(got);
      if (remaining_ == 0) eof_ = true;
    }
    end_ += got;
  }

  FILE* file_;
  std::vector<uint8_t> buffer_;
  size_t begin_ = 0, end_ = 0;  // unread bytes
  bool eof_ = false;            // nothing more to read
  bool error_ = false;          // a read failed
  int64_t position_ = 0;        // file offset of buffer_[begin_]
  int64_t remaining_ = -1;      // bytes still allowed to be read
};

int64_t ReadPts(const uint8_t* p) {
  return (static_cast<int64_t>(p[0] & 0x0E) << 29) | (static_cast<int64_t>(p[1]) << 22) |
         (static_cast<int64_t>(p[2] & 0xFE) << 14) | (static_cast<int64_t>(p[3]) << 7) | (p[4] >> 1);
}

bool CarriesPesHeader(int id) { return id == 0xBD || (id >= 0xC0 && id <= 0xEF); }
bool IsVideoId(int id) { return id >= 0xE0 && id <= 0xEF; }
bool IsMpegAudioId(int id) { return id >= 0xC0 && id <= 0xDF; }

// The PES header of an MPEG-1 or MPEG-2 packet; false when it does not fit
// the packet.
bool ParsePesHeader(const uint8_t* p, int length, PsUnit* unit) {
  int i = 6;
  if (length < 7) return false;
  if ((p[6] & 0xC0) == 0x80) {  // MPEG-2
    if (length < 9) return false;
    int headerLength = p[8];
    if (9 + headerLength > length) return false;
    if ((p[7] & 0x80) && headerLength >= 5) {
      unit->hasPts = true;
      unit->pts = ReadPts(p + 9);
    }
    i = 9 + headerLength;
  } else {
    int stuffing = 0;
    while (i < length && p[i] == 0xFF && stuffing < 16) {
      ++i;
      ++stuffing;
    }
    if (i < length && (p[i] & 0xC0) == 0x40) i += 2;  // STD buffer
    if (i >= length) return false;
    if ((p[i] & 0xF0) == 0x20) {
      if (i + 5 > length) return false;
      unit->hasPts = true;
      unit->pts = ReadPts(p + i);
      i += 5;
    } else if ((p[i] & 0xF0) == 0x30) {
      if (i + 10 > length) return false;
      unit->hasPts = true;
      unit->pts = ReadPts(p + i);
      i += 10;
    } else if (p[i] == 0x0F) {
      i += 1;
    } else {
      return false;
    }
  }
  unit->payload = p + i;
  unit->payloadLength = length - i;
  return true;
}

const int kMpegBitRates[2][3][16] = {
    // MPEG-1: layers I, II, III (kbit/s)
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    // MPEG-2 low sampling rates: layer I, then II and III
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};
const int kMpegSampleRates[3] = {44100, 48000, 32000};
const int kAc3BitRates[19] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640};
const int kAc3SampleRates[3] = {48000, 44100, 32000};

const double kFrameRates[16] = {0, 24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60,
                                0, 0, 0, 0, 0, 0, 0};

// ---- Time stamps of access units --------------------------------------------------

// A PES time stamp belongs to the first access unit (picture, audio frame)
// that starts in the packet's payload. Offsets count the bytes of one
// elementary stream from its first payload byte.
class PtsTracker {
public:
  void AddPayload(uint64_t offset, bool hasPts, int64_t pts) {
    if (hasPts) pending_.push_back({offset, pts});
  }
  // The time stamp of the unit starting at offset, when one belongs to it;
  // previous is the offset of the unit before (or none).
  bool Take(uint64_t offset, bool hasPrevious, uint64_t previous, int64_t* pts) {
    bool found = false;
    while (!pending_.empty() && pending_.front().offset <= offset) {
      const Entry& e = pending_.front();
      if (!hasPrevious || e.offset > previous) {
        *pts = e.pts;
        found = true;
      }
      pending_.pop_front();
    }
    return found;
  }

private:
  struct Entry {
    uint64_t offset;
    int64_t pts;
  };
  std::deque<Entry> pending_;
};

// 33-bit time stamps in seconds from a base, across one wrap.
double Seconds(int64_t pts, int64_t base) {
  int64_t d = pts - base;
  const int64_t wrap = int64_t(1) << 33;
  if (d < -wrap / 2) d += wrap;
  if (d > wrap / 2) d -= wrap;
  return static_cast<double>(d) / kTicks;
}

// ---- Probe ----------------------------------------------------------------------

// Reads what the head of a video stream tells: sequence header and whether
// a sequence extension follows it. Payloads are handed in as they come.
class VideoHeaderReader {
public:
  void Add(const uint8_t* p, int n) {
    if (done_) return;
    bytes_.insert(bytes_.end(), p, p + n);
    for (size_t i = 0; i + 12 <= bytes_.size(); ++i) {
      if (bytes_[i] != 0 || bytes_[i + 1] != 0 || bytes_[i + 2] != 1) continue;
      uint8_t code = bytes_[i + 3];
      if (code == 0xB3 && !seen_) {
        const uint8_t* s = &bytes_[i + 4];
        width_ = (s[0] << 4) | (s[1] >> 4);
        height_ = ((s[1] & 0x0F) << 8) | s[2];
        frameRate_ = kFrameRates[s[3] & 0x0F];
        int rate = (s[4] << 10) | (s[5] << 2) | (s[6] >> 6);
        bitRate_ = rate == 0x3FFFF ? 0 : rate * 400;
        seen_ = true;
      } else if (seen_ && code == 0xB5) {
        if ((bytes_[i + 4] >> 4) == 1) version_ = 2;
      } else if (seen_ && (code == 0xB8 || code == 0x00)) {
        if (version_ == 0) version_ = 1;
        done_ = true;
        bytes_.clear();
        return;
      }
    }
    if (bytes_.size() > (1u << 20)) bytes_.erase(bytes_.begin(), bytes_.end() - 16);
  }
  bool Done() const { return done_; }
  void Fill(SourceInfo* info) const {
    if (!done_) return;
    info->width = width_;
    info->height = height_;
    info->frameRate = frameRate_;
    info->videoBitRate = bitRate_;
    info->videoVersion = version_;
  }

private:
  std::vector<uint8_t> bytes_;
  bool seen_ = false, done_ = false;
  int width_ = 0, height_ = 0, bitRate_ = 0, version_ = 0;
  double frameRate_ = 0;
};

// The audio payload of a PES unit of the chosen stream (private stream 1
// loses its substream header), or false when the unit is not of it.
bool AudioPayload(const PsUnit& u, int streamId, int substream, const uint8_t** data, int* length) {
  if (u.kind != PsUnit::kPes || u.streamId != streamId) return false;
  if (substream < 0) {
    *data = u.payload;
    *length = u.payloadLength;
    return true;
  }
  if (u.payloadLength < 4 || u.payload[0] != substream) return false;
  *data = u.payload + 4;
  *length = u.payloadLength - 4;
  return true;
}

// The first frame header in an audio payload, when there is one.
bool FindAudioHeader(AudioKind kind, const uint8_t* p, int n, SourceInfo* info) {
  for (int i = 0; i + 5 <= n; ++i) {
    int rate = 0, bits = 0, samples = 0, layer = 0;
    if (kind == kAudioMpeg && MpegAudioFrameLength(p + i, &samples, &rate, &bits, &layer) > 0) {
      info->sampleRate = rate;
      info->audioBitRate = bits;
      info->audioLayer = layer;
      info->audioChannels = (p[i + 3] >> 6) == 3 ? 1 : 2;  // single channel, else stereo or dual
      return true;
    }
    if (kind == kAudioAc3 && Ac3FrameLength(p + i, &rate, &bits) > 0 && i + 7 <= n) {
      static const int kAc3Channels[8] = {2, 1, 2, 3, 3, 4, 4, 5};  // by acmod, without the LFE
      info->sampleRate = rate;
      info->audioBitRate = bits;
      info->audioChannels = kAc3Channels[p[i + 6] >> 5];
      return true;
    }
  }
  return false;
}

}  // namespace

// ---- Units and frame headers ------------------------------------------------------

int ParsePsUnit(const uint8_t* p, size_t available, PsUnit* unit) {
  *unit = PsUnit();
  if (available < 4) return 0;
  if (p[0] != 0 || p[1] != 0 || p[2] != 1) return -1;
  int id = p[3];
  unit->streamId = id;
  if (id == 0xBA) {
    unit->kind = PsUnit::kPack;
    if (available < 5) return 0;
    if ((p[4] & 0xC0) == 0x40) {
      if (available < 14) return 0;
      unit->packVersion = 2;
      size_t length = 14 + (p[13] & 0x07);
      return available < length ? 0 : static_cast<int>(length);
    }
    if ((p[4] & 0xF0) == 0x20) {
      unit->packVersion = 1;
      return available < 12 ? 0 : 12;
    }
    return -1;
  }
  if (id == 0xB9) {
    unit->kind = PsUnit::kEnd;
    return 4;
  }
  if (id < 0xBB) return -1;  // a start code of an elementary stream, not of the program stream
  if (available < 6) return 0;
  int length = 6 + ((p[4] << 8) | p[5]);
  if (available < static_cast<size_t>(length)) return 0;
  if (id == 0xBB) {
    unit->kind = PsUnit::kSystemHeader;
    return length;
  }
  unit->kind = PsUnit::kPes;
  if (CarriesPesHeader(id)) {
    if (!ParsePesHeader(p, length, unit)) {
      unit->hasPts = false;
      unit->payload = nullptr;
      unit->payloadLength = 0;
    }
  } else {
    unit->payload = p + 6;
    unit->payloadLength = length - 6;
  }
  return length;
}

int MpegAudioFrameLength(const uint8_t* h, int* samples, int* sampleRate, int* bitRate, int* layer) {
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return 0;
  int versionBits = (h[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int layerBits = (h[1] >> 1) & 3;    // 3 layer I, 2 II, 1 III
  int bitIndex = h[2] >> 4;
  int rateIndex = (h[2] >> 2) & 3;
  if (versionBits == 1 || layerBits == 0 || bitIndex == 0 || bitIndex == 15 || rateIndex == 3) return 0;
  int l = 4 - layerBits;
  bool lsf = versionBits != 3;
  int kbit = kMpegBitRates[lsf ? 1 : 0][lsf && l == 3 ? 1 : l - 1][bitIndex];
  int rate = kMpegSampleRates[rateIndex] >> (versionBits == 3 ? 0 : versionBits == 2 ? 1 : 2);
  int padding = (h[2] >> 1) & 1;
  int length, count;
  if (l == 1) {
    length = (12 * kbit * 1000 / rate + padding) * 4;
    count = 384;
  } else {
    int factor = (l == 3 && lsf) ? 72 : 144;
    length = factor * kbit * 1000 / rate + padding;
    count = (l == 3 && lsf) ? 576 : 1152;
  }
  if (length < 4) return 0;
  *samples = count;
  *sampleRate = rate;
  *bitRate = kbit * 1000;
  *layer = l;
  return length;
}

int Ac3FrameLength(const uint8_t* h, int* sampleRate, int* bitRate) {
  if (h[0] != 0x0B || h[1] != 0x77) return 0;
  int fscod = h[4] >> 6;
  int frmsizecod = h[4] & 0x3F;
  if (fscod == 3 || frmsizecod >= 38) return 0;
  int kbit = kAc3BitRates[frmsizecod / 2];
  int rate = kAc3SampleRates[fscod];
  int words = kbit * 96000 / rate;
  if (fscod == 1) words += frmsizecod & 1;
  *sampleRate = rate;
  *bitRate = kbit * 1000;
  return words * 2;
}

// ---- Probe -------------------------------------------------------------------------

const char* ProbeResultText(int result) {
  switch (result) {
    case kProbeOk: return "MPEG program stream";
    case kProbeCannotOpen: return "The file cannot be opened";
    case kProbeNotProgramStream: return "The file is no MPEG program stream";
    case kProbeNoStreams: return "The file holds neither MPEG video nor audio";
    default: return "The file cannot be read";
  }
}

int ProbeSource(const char* path, SourceInfo* info) {
  *info = SourceInfo();
  FILE* f = OpenFile(path, "rb");
  if (f == nullptr) return kProbeCannotOpen;
  int64_t size = FileSize(f);
  // A program stream starts with a pack header (zero bytes may come first).
  uint8_t head[4096];
  size_t got = size > 0 ? fread(head, 1, sizeof head, f) : 0;
  size_t at = 0;
  while (at < got && head[at] == 0 && !(at + 3 < got && head[at + 1] == 0 && head[at + 2] == 1)) ++at;
  if (at + 4 > got || head[at] != 0 || head[at + 1] != 0 || head[at + 2] != 1 || head[at + 3] != 0xBA) {
    fclose(f);
    return kProbeNotProgramStream;
  }
  info->programStream = true;

  PsReader reader(f);
  reader.Start(0, kProbeBytes);
  VideoHeaderReader video;
  bool ptsSeen = false;
  int64_t minPts = 0;
  PsUnit u;
  bool audioHeader = false;
  while (reader.Next(&u)) {
    if (u.kind == PsUnit::kPack && info->packVersion == 0) info->packVersion = u.packVersion;
    if (u.kind != PsUnit::kPes) continue;
    int id = u.streamId;
    if (u.hasPts && (IsVideoId(id) || IsMpegAudioId(id) || id == 0xBD)) {
      if (!ptsSeen || Seconds(u.pts, minPts) < 0) minPts = u.pts;
      ptsSeen = true;
    }
    if (IsVideoId(id) && (info->videoStreamId == 0 || info->videoStreamId == id)) {
      info->videoStreamId = id;
      video.Add(u.payload, u.payloadLength);
    } else if (info->audio == kAudioNone && IsMpegAudioId(id)) {
      info->audio = kAudioMpeg;
      info->audioStreamId = id;
    } else if (info->audio == kAudioNone && id == 0xBD && u.payloadLength > 4) {
      int sub = u.payload[0];
      if (sub >= 0x80 && sub <= 0x87) info->audio = kAudioAc3;
      if (sub >= 0xA0 && sub <= 0xA7) info->audio = kAudioLpcm;
      if (info->audio != kAudioNone) {
        info->audioStreamId = id;
        info->audioSubstream = sub;
      }
    }
    const uint8_t* a = nullptr;
    int n = 0;
    if (!audioHeader && info->audio != kAudioNone && info->audio != kAudioLpcm &&
        AudioPayload(u, info->audioStreamId, info->audioSubstream, &a, &n))
      audioHeader = FindAudioHeader(info->audio, a, n, info);
    if (video.Done() && (audioHeader || info->audio == kAudioLpcm) && reader.Position() > (1 << 20)) break;
  }
  video.Fill(info);
  info->hasVideo = video.Done() && info->videoVersion > 0;
  if (info->audio != kAudioNone && info->audio != kAudioLpcm && !audioHeader) info->audio = kAudioNone;
  if (info->audio == kAudioNone) info->audioStreamId = 0, info->audioSubstream = -1;

  // The end of the time line: the latest time stamp in the last megabytes,
  // plus the length of what it stamps.
  double end = 0;
  bool endSeen = false;
  int64_t tail = size > kProbeBytes ? size - kProbeBytes : 0;
  reader.Start(tail, -1);
  bool inStep = tail == 0;  // a read from the middle trusts nothing before a pack header
  while (reader.Next(&u)) {
    if (u.kind == PsUnit::kPack) inStep = true;
    if (!inStep || u.kind != PsUnit::kPes || !u.hasPts || !ptsSeen) continue;
    double length = 0;
    if (u.streamId == info->videoStreamId && info->frameRate > 0) {
      length = 1.0 / info->frameRate;
    } else if (info->audio != kAudioNone && u.streamId == info->audioStreamId && info->sampleRate > 0) {
      length = (info->audio == kAudioAc3 ? 1536.0 : info->audioLayer == 1 ? 384.0 : 1152.0) / info->sampleRate;
    } else {
      continue;
    }
    double t = Seconds(u.pts, minPts) + length;
    if (!endSeen || t > end) end = t;
    endSeen = true;
  }
  fclose(f);
  info->firstPts = static_cast<double>(minPts) / kTicks;
  info->duration = endSeen && end > 0 ? end : 0;
  if (!info->hasVideo && info->audio == kAudioNone) return kProbeNoStreams;
  return kProbeOk;
}

// ---- Cutting ---------------------------------------------------------------------------

namespace {

// An output file written whole or not at all.
class OutputFile {
public:
  explicit OutputFile(const char* path) : path_(path != nullptr ? path : "") {
    file_ = OpenFile(path, "wb");
  }
  ~OutputFile() { Discard(); }
  bool IsOpen() const { return file_ != nullptr; }
  bool Write(const uint8_t* p, size_t n) {
    if (file_ == nullptr || failed_) return false;
    if (n > 0 && fwrite(p, 1, n, file_) != n) failed_ = true;
    for (size_t i = n > 4 ? n - 4 : 0; i < n; ++i) {
      std::memmove(tail_, tail_ + 1, 3);
      tail_[3] = p[i];
    }
    bytes_ += static_cast<int64_t>(n);
    return !failed_;
  }
  bool EndsWith(const uint8_t* four) const { return bytes_ >= 4 && std::memcmp(tail_, four, 4) == 0; }
  bool Failed() const { return failed_; }
  int64_t Bytes() const { return bytes_; }
  // Keeps the file; false when it could not be finished.
  bool Commit() {
    if (file_ == nullptr) return false;
    bool ok = !failed_ && fclose(file_) == 0;
    file_ = nullptr;
    if (!ok) std::remove(path_.c_str());
    committed_ = ok;
    return ok;
  }
  void Discard() {
    if (file_ != nullptr) {
      fclose(file_);
      file_ = nullptr;
    }
    if (!committed_ && !path_.empty()) std::remove(path_.c_str());
    committed_ = true;  // nothing more to undo
  }

private:
  std::string path_;
  FILE* file_ = nullptr;
  bool failed_ = false;
  bool committed_ = false;
  int64_t bytes_ = 0;
  uint8_t tail_[4] = {0, 0, 0, 0};  // the last bytes written
};

// Video: whole GOPs. A GOP starts at its sequence header when one comes
// right before its GOP header, else at the GOP header. The bytes before the
// GOP's first picture are held until that picture tells the GOP's time;
// then the GOP is written or dropped as a whole, streaming.
class VideoCutter {
public:
  VideoCutter(OutputFile* out, double start, double stop, double frameRate, int64_t basePts)
      : out_(out), start_(start), stop_(stop), frameRate_(frameRate > 0 ? frameRate : 25), basePts_(basePts) {}

  void Add(const uint8_t* p, int n, bool hasPts, int64_t pts) {
    if (finished_) return;
    pts_.AddPayload(offset_ + bytes_.size(), hasPts, pts);
    bytes_.insert(bytes_.end(), p, p + n);
    Scan(false);
  }
  void Finish() {
    if (!finished_) {
      Scan(true);
      Flush(bytes_.size());
      end_ = lastPictureEnd_;
      finished_ = true;
    }
    // The stream ends with a sequence end code, whether or not the source's
    // own one was part of the clip.
    static const uint8_t kEnd[4] = {0, 0, 1, 0xB7};
    if (writing_ && !out_->EndsWith(kEnd)) out_->Write(kEnd, 4);
  }

  bool Started() const { return gops_ > 0; }
  bool Ended() const { return finished_; }   // no more GOPs will be taken
  double ClipStart() const { return clipStart_; }
  double ClipEnd() const { return end_; }    // valid once Ended
  int Gops() const { return gops_; }
  double Position() const { return position_; }

private:
  enum Mode { kSkip, kHold, kWrite };

  void Scan(bool atEnd) {
    size_t i = scanned_;
    size_t limit = bytes_.size() >= 8 ? bytes_.size() - 8 : 0;
    while (i < limit && !finished_) {
      if (!(bytes_[i] == 0 && bytes_[i + 1] == 0 && bytes_[i + 2] == 1)) {
        ++i;
        continue;
      }
      uint8_t code = bytes_[i + 3];
      if (code == 0xB3) {
        NewGop(i);
        seqStart_ = i;
        seqOpen_ = true;
        holdHasSeq_ = true;
      } else if (code == 0xB8) {
        CloseSequenceHeader(i);
        if (!(mode_ == kHold && holdHasSeq_ && !holdHasGop_)) {
          NewGop(i);
          holdHasSeq_ = false;
        }
        holdHasGop_ = true;
        gopHeaderAt_ = i;
      } else if (code == 0x00) {
        CloseSequenceHeader(i);
        Picture(i);
      } else if (code == 0xB7) {
        CloseSequenceHeader(i);
      } else if (code != 0xB5 && code != 0xB2) {
        CloseSequenceHeader(i);
      }
      i += 4;
    }
    if (finished_) return;
    if (atEnd) i = bytes_.size();
    scanned_ = i;
    // A GOP whose first picture never comes is not held for ever.
    if (mode_ == kHold && bytes_.size() - holdStart_ > (32u << 20)) {
      mode_ = kSkip;
      seqOpen_ = false;
      flushed_ = holdStart_;
    }
    // Bytes behind the scan are decided unless a GOP is held.
    if (mode_ != kHold && !seqOpen_) Flush(i);
    Compact();
  }

  // The bytes of the last sequence header (with its extensions), kept for a
  // clip that starts at a GOP without one.
  void CloseSequenceHeader(size_t at) {
    if (!seqOpen_) return;
    lastSequence_.assign(bytes_.begin() + static_cast<long>(seqStart_), bytes_.begin() + static_cast<long>(at));
    seqOpen_ = false;
  }

  void NewGop(size_t at) {
    Flush(at);
    if (mode_ == kHold) flushed_ = at;  // a GOP without pictures is dropped
    mode_ = kHold;
    holdStart_ = at;
    holdHasGop_ = false;
    holdHasSeq_ = false;
    gopHeaderAt_ = SIZE_MAX;
  }

  void Picture(size_t at) {
    int temporalReference = (bytes_[at + 4] << 2) | (bytes_[at + 5] >> 6);
    int64_t pts = 0;
    uint64_t offset = offset_ + at;
    double t;
    if (pts_.Take(offset, hasLastPicture_, lastPicture_, &pts)) {
      t = Seconds(pts, basePts_);
      lastKnownTime_ = t;
      picturesSinceKnown_ = 0;
    } else {
      // No time stamp of its own: one frame after the last picture that had one.
      ++picturesSinceKnown_;
      t = lastKnownTime_ + picturesSinceKnown_ / frameRate_;
    }
    hasLastPicture_ = true;
    lastPicture_ = offset;
    if (mode_ == kHold) {
      // The GOP's first picture in coded order; less the pictures shown
      // before it, its time is the GOP's start.
      Decide(t - temporalReference / frameRate_);
    }
    if (mode_ == kWrite) lastPictureEnd_ = std::max(lastPictureEnd_, t + 1.0 / frameRate_);
  }

  void Decide(double gopTime) {
    position_ = std::max(position_, gopTime);
    bool take = gopTime >= start_ - 1e-6 && (stop_ <= start_ || gopTime < stop_ - 1e-6);
    if (gopTime >= stop_ - 1e-6 && stop_ > start_) {
      // The first GOP past the clip: the clip ends here.
      end_ = gopTime;
      finished_ = true;
      mode_ = kSkip;
      bytes_.clear();  // nothing of it is written
      scanned_ = flushed_ = 0;
      return;
    }
    if (!take) {
      mode_ = kSkip;
      return;
    }
    if (gops_ == 0) {
      clipStart_ = gopTime;
      if (!holdHasSeq_ && !lastSequence_.empty()) out_->Write(lastSequence_.data(), lastSequence_.size());
      // The clip's first GOP cannot show pictures that refer to the GOP
      // before it: an open GOP is marked broken.
      if (gopHeaderAt_ != SIZE_MAX && gopHeaderAt_ + 8 <= bytes_.size() && !(bytes_[gopHeaderAt_ + 7] & 0x40))
        bytes_[gopHeaderAt_ + 7] |= 0x20;
    }
    ++gops_;
    mode_ = kWrite;
    writing_ = true;
  }

  void Flush(size_t upTo) {
    if (upTo <= flushed_) return;
    if (mode_ == kWrite) out_->Write(bytes_.data() + flushed_, upTo - flushed_);
    if (mode_ != kHold) flushed_ = upTo;
  }

  void Compact() {
    size_t keep = flushed_;
    if (mode_ == kHold) keep = std::min(keep, holdStart_);
    if (seqOpen_) keep = std::min(keep, seqStart_);
    keep = std::min(keep, scanned_);
    if (keep < (1u << 16)) return;
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<long>(keep));
    offset_ += keep;
    flushed_ -= keep;
    scanned_ -= keep;
    if (mode_ == kHold) holdStart_ -= keep;
    if (seqOpen_) seqStart_ -= keep;
    if (gopHeaderAt_ != SIZE_MAX) gopHeaderAt_ = gopHeaderAt_ >= keep ? gopHeaderAt_ - keep : SIZE_MAX;
  }

  OutputFile* out_;
  double start_, stop_, frameRate_;
  int64_t basePts_;
  PtsTracker pts_;
  std::vector<uint8_t> bytes_;   // elementary stream bytes not yet dropped
  uint64_t offset_ = 0;          // stream offset of bytes_[0]
  size_t scanned_ = 0;           // start codes before this are handled
  size_t flushed_ = 0;           // bytes before this are written or dropped
  Mode mode_ = kSkip;            // what happens to the current GOP's bytes
  size_t holdStart_ = 0;         // where the held GOP begins
  bool holdHasSeq_ = false;      // it begins with a sequence header
  bool holdHasGop_ = false;      // its GOP header was seen
  size_t gopHeaderAt_ = SIZE_MAX;  // that header, while held
  size_t seqStart_ = 0;          // the sequence header being read
  bool seqOpen_ = false;         // its end is not found yet
  std::vector<uint8_t> lastSequence_;
  bool hasLastPicture_ = false;
  uint64_t lastPicture_ = 0;     // stream offset of the last picture start
  double lastKnownTime_ = 0;     // time of the last picture with a time stamp
  int picturesSinceKnown_ = 0;   // pictures since then
  double lastPictureEnd_ = 0;    // end of the latest picture written
  double clipStart_ = 0, end_ = 0, position_ = 0;
  int gops_ = 0;
  bool writing_ = false;
  bool finished_ = false;
};

// Audio: whole frames whose time lies in the video's range. Until the video
// has fixed its range, frames wait in memory.
class AudioCutter {
public:
  // Frames before stop (<= 0: no stop) are surely inside the range once the
  // video has started; later ones wait for the video's end.
  AudioCutter(OutputFile* out, AudioKind kind, int64_t basePts, double stop)
      : out_(out), kind_(kind), basePts_(basePts), stop_(stop) {}

  void Add(const uint8_t* p, int n, bool hasPts, int64_t pts) {
    tracker_.AddPayload(offset_ + bytes_.size(), hasPts, pts);
    bytes_.insert(bytes_.end(), p, p + n);
    size_t i = 0;
    while (i + 5 <= bytes_.size()) {
      int length = 0, samples = 0, rate = 0, bits = 0, layer = 0;
      if (kind_ == kAudioMpeg) length = MpegAudioFrameLength(&bytes_[i], &samples, &rate, &bits, &layer);
      if (kind_ == kAudioAc3) {
        length = Ac3FrameLength(&bytes_[i], &rate, &bits);
        samples = 1536;
      }
      if (length <= 0) {
        ++i;  // lost sync: look for the next header
        continue;
      }
      if (i + static_cast<size_t>(length) > bytes_.size()) break;
      uint64_t at = offset_ + i;
      int64_t framePts = 0;
      double t;
      if (tracker_.Take(at, hasLast_, last_, &framePts)) {
        t = Seconds(framePts, basePts_);
      } else {
        t = hasLast_ ? lastTime_ + lastLength_ : 0;
      }
      hasLast_ = true;
      last_ = at;
      lastTime_ = t;
      lastLength_ = static_cast<double>(samples) / rate;
      Frame(t, &bytes_[i], length);
      i += static_cast<size_t>(length);
    }
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<long>(i));
    offset_ += i;
  }

  // The video's range once known; frames outside it are dropped.
  void SetRange(bool known, double start, bool ended, double end) {
    startKnown_ = known;
    start_ = start;
    endKnown_ = ended;
    end_ = end;
    Release();
  }
  int Frames() const { return frames_; }
  // All frames up to the range's end have been seen.
  bool PastEnd() const { return endKnown_ && hasLast_ && lastTime_ >= end_; }

private:
  struct Pending {
    double t;
    std::vector<uint8_t> bytes;
  };
  void Frame(double t, const uint8_t* p, int n) {
    waiting_.push_back({t, std::vector<uint8_t>(p, p + n)});
    waitingBytes_ += static_cast<size_t>(n);
    // Memory stays bounded when the video never sets a range.
    while (waitingBytes_ > (16u << 20)) {
      waitingBytes_ -= waiting_.front().bytes.size();
      waiting_.pop_front();
    }
    Release();
  }
  void Release() {
    if (!startKnown_) return;
    while (!waiting_.empty()) {
      Pending& f = waiting_.front();
      bool before = f.t < start_ - 1e-6;
      bool after = endKnown_ && f.t >= end_ - 1e-6;
      if (!endKnown_ && !before && stop_ > 0 && f.t >= stop_ - 1e-6) break;  // wait for the end
      if (!before && !after) {
        out_->Write(f.bytes.data(), f.bytes.size());
        ++frames_;
      }
      waitingBytes_ -= f.bytes.size();
      waiting_.pop_front();
    }
  }

  OutputFile* out_;
  AudioKind kind_;
  int64_t basePts_;
  double stop_;
  PtsTracker tracker_;
  std::vector<uint8_t> bytes_;
  uint64_t offset_ = 0;
  bool hasLast_ = false;
  uint64_t last_ = 0;
  double lastTime_ = 0, lastLength_ = 0;
  std::deque<Pending> waiting_;
  size_t waitingBytes_ = 0;
  bool startKnown_ = false, endKnown_ = false;
  double start_ = 0, end_ = 0;
  int frames_ = 0;
};

}  // namespace

const char* ClipResultText(int result) {
  switch (result) {
    case kClipOk: return "Done";
    case kClipCancelled: return "Stopped";
    case kClipCannotRead: return "The source cannot be read";
    case kClipCannotWrite: return "The output files cannot be written";
    case kClipNothingInRange: return "The source has no pictures in the clip's range";
    case kClipUnsupported: return "The source's streams cannot be cut";
    default: return "Failed";
  }
}

int CutClip(const ClipRequest& request, const SourceInfo& source, ClipObserver* observer, ClipReport* report) {
  *report = ClipReport();
  if (!source.hasVideo || source.audio == kAudioNone || source.audio == kAudioLpcm) return kClipUnsupported;
  FILE* f = OpenFile(request.input, "rb");
  if (f == nullptr) return kClipCannotRead;
  OutputFile video(request.videoOutput), audio(request.audioOutput);
  if (!video.IsOpen() || !audio.IsOpen()) {
    fclose(f);
    return kClipCannotWrite;
  }
  int64_t basePts = static_cast<int64_t>(std::llround(source.firstPts * kTicks));
  VideoCutter cutter(&video, request.start, request.stop, source.frameRate, basePts);
  AudioCutter sound(&audio, source.audio, basePts, request.stop > request.start ? request.stop : 0);
  PsReader reader(f);
  reader.Start(0, -1);
  PsUnit u;
  int result = kClipOk;
  int units = 0;
  while (reader.Next(&u)) {
    if ((++units & 63) == 0) {
      if (observer != nullptr && !observer->Continue()) {
        result = kClipCancelled;
        break;
      }
      if (observer != nullptr) observer->Progress(std::max(0.0, cutter.Position() - request.start));
    }
    if (u.kind != PsUnit::kPes || u.payload == nullptr) continue;
    const uint8_t* a = nullptr;
    int n = 0;
    if (u.streamId == source.videoStreamId) {
      cutter.Add(u.payload, u.payloadLength, u.hasPts, u.pts);
      sound.SetRange(cutter.Started(), cutter.ClipStart(), cutter.Ended(), cutter.ClipEnd());
    } else if (AudioPayload(u, source.audioStreamId, source.audioSubstream, &a, &n)) {
      sound.Add(a, n, u.hasPts, u.pts);
    }
    if (cutter.Ended() && sound.PastEnd()) break;
    if (video.Failed() || audio.Failed()) break;
  }
  if (reader.Failed() && result == kClipOk) result = kClipCannotRead;
  fclose(f);
  if (result == kClipOk) {
    cutter.Finish();
    sound.SetRange(cutter.Started(), cutter.ClipStart(), true, cutter.ClipEnd());
    if (video.Failed() || audio.Failed()) result = kClipCannotWrite;
    else if (cutter.Gops() == 0) result = kClipNothingInRange;
  }
  report->gops = cutter.Gops();
  report->audioFrames = sound.Frames();
  report->videoStart = cutter.ClipStart();
  report->videoEnd = cutter.ClipEnd();
  report->videoBytes = video.Bytes();
  report->audioBytes = audio.Bytes();
  if (result != kClipOk) return result;  // both outputs are removed with their objects
  if (!video.Commit() || !audio.Commit()) {
    video.Discard();
    audio.Discard();
    std::remove(request.videoOutput);
    std::remove(request.audioOutput);
    return kClipCannotWrite;
  }
  if (observer != nullptr) observer->Progress(std::max(0.0, cutter.ClipEnd() - request.start));
  return kClipOk;
}

}  // namespace convctl
