#include "standins/mux/mux.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "standins/include/muxtools.h"
#include "standins/mux/byte_window.h"
#include "standins/mux/ps_headers.h"

namespace {

const int64_t kClock = 27000000;
const uint8_t kVideoId = 0xE0;
const uint8_t kAudioId = 0xC0;
const uint8_t kPrivateStream1 = 0xBD;
const int kAc3Substream = 0x80;  // the first AC-3 stream of a DVD
const int kSubstreamHeader = 4;
const int kPaddingMin = 6;       // a padding packet's own header

int64_t PackTime(const MuxFormat& format) {
  int64_t bytesPerSecond = static_cast<int64_t>(format.muxRateUnits) * 50;
  // Rounded up: the packs never arrive faster than the mux rate.
  return (static_cast<int64_t>(format.sectorBytes) * kClock + bytesPerSecond - 1) / bytesPerSecond;
}

// One stream as the plan walks through it.
struct StreamCursor {
  const EsIndex* index;
  uint8_t streamId;
  int bufferBytes;
  int64_t timeOffset;   // added to the index's timestamps
  int substream = -1;   // its substream of private stream 1, or -1
  int64_t pos = 0;      // next byte to send
  size_t unit = 0;      // unit that holds pos
  size_t removed = 0;   // units taken out of the decoder buffer
  bool started = false; // a packet was sent

  bool Done() const { return pos >= index->fileSize; }
  const AccessUnit& Unit(size_t n) const { return index->units[n]; }
  int64_t Dts(size_t n) const { return Unit(n).dts + timeOffset; }
  int64_t Pts(size_t n) const { return Unit(n).pts + timeOffset; }
  size_t Count() const { return index->units.size(); }

  // Decoder buffer contents at time t.
  int64_t Fill(int64_t t) {
    while (removed < Count() && Dts(removed) <= t && Unit(removed).offset + Unit(removed).size <= pos)
      ++removed;
    int64_t removedBytes = removed < Count() ? Unit(removed).offset : index->fileSize;
    return std::max<int64_t>(0, pos - removedBytes);
  }
  // Every complete unit sent so far is decoded: waiting frees nothing more.
  bool NothingToFree() const {
    return removed >= unit;
  }
};

// The packet that stream s would send now.
struct PacketChoice {
  PesHeader header;
  int payload = 0;
  int stuffing = 0;
  int padding = 0;
};

PacketChoice ShapePacket(const MuxFormat& format, const StreamCursor& s, int capacity, bool video) {
  PacketChoice choice;
  PesHeader& h = choice.header;
  h.streamId = s.streamId;
  h.substream = s.substream;
  if (!s.started) {
    h.stdBufferBytes = s.bufferBytes;
    h.videoBufferScale = video;
  }
  int64_t remaining = s.index->fileSize - s.pos;
  // The unit a timestamp would belong to: the first whose start code is in
  // or after this packet.
  size_t u = s.unit;
  if (u < s.Count() && s.Unit(u).startCode < s.pos) ++u;
  bool haveUnit = u < s.Count();

  PesHeader stamped = h;
  if (haveUnit) {
    stamped.hasPts = true;
    stamped.pts27 = s.Pts(u);
    stamped.dts27 = s.Dts(u);
    stamped.hasDts = stamped.pts27 / 300 != stamped.dts27 / 300;
  }
  int64_t payload = std::min<int64_t>(remaining, capacity - PesHeaderSize(stamped, format.mpeg2));
  bool useStamp = haveUnit && s.Unit(u).startCode < s.pos + payload;
  if (!useStamp) {
    payload = std::min<int64_t>(remaining, capacity - PesHeaderSize(h, format.mpeg2));
    if (haveUnit && s.Unit(u).startCode < s.pos + payload) payload = s.Unit(u).startCode - s.pos;
  }
  if (video) {
    // A GOP begins a packet of its own on a DVD (it opens a VOBU); on a CD
    // its headers are not split from the picture that follows them.
    for (size_t n = s.unit + 1; n < s.Count() && s.Unit(n).offset < s.pos + payload; ++n) {
      const AccessUnit& next = s.Unit(n);
      if (!next.gopStart) continue;
      if (format.navigationPacks || next.startCode >= s.pos + payload) {
        payload = next.offset - s.pos;
        break;
      }
    }
  }
  if (useStamp && s.Unit(u).startCode >= s.pos + payload) useStamp = false;
  if (useStamp) h = stamped;
  if (h.substream >= 0 && useStamp) {
    for (size_t n = u; n < s.Count() && s.Unit(n).startCode < s.pos + payload; ++n) ++h.substreamFrames;
    h.firstAccess = static_cast<int>(s.Unit(u).startCode - s.pos) + 1;
  }
  choice.payload = static_cast<int>(payload);
  int gap = capacity - PesHeaderSize(h, format.mpeg2) - choice.payload;
  if (gap > 0 && gap < kPaddingMin) {
    h.stuffing = gap;
    choice.stuffing = gap;
  } else if (gap >= kPaddingMin) {
    choice.padding = gap;
  }
  return choice;
}

}  // namespace

bool MuxFormatFor(int code, MuxFormat* format) {
  switch (code) {
    case kMuxFormatVcd:
      *format = MuxFormat{kMuxKindVcd, false, 2324, 2352, 3528, true, false, 46 * 1024, 4096, kAudioId, -1};
      return true;
    case kMuxFormatSvcd:
      *format = MuxFormat{kMuxKindSvcd, true, 2324, 2352, 7056, true, false, 230 * 1024, 4096, kAudioId, -1};
      return true;
    case kMuxFormatDvd:
      *format = MuxFormat{kMuxKindDvd, true, 2048, 2048, 25200, false, true, 232 * 1024, 4096, kAudioId, -1};
      return true;
    default:
      return false;
  }
}

bool CarryAudio(const AudioStreamInfo& audio, MuxFormat* format, std::string* why) {
  if (audio.coding == kAudioMpeg) return true;
  if (format->kind != kMuxKindDvd) {
    *why = "AC-3 audio goes on a DVD only; a VideoCD or SuperVCD carries MPEG audio";
    return false;
  }
  if (audio.sampleRate != 48000) {
    *why = "AC-3 at " + std::to_string(audio.sampleRate) + " Hz; a DVD carries 48000 Hz";
    return false;
  }
  if (audio.bitRate > 448000) {
    *why = "AC-3 at " + std::to_string(audio.bitRate / 1000) + " kbit/s; a DVD carries at most 448 kbit/s";
    return false;
  }
  format->audioStreamId = kPrivateStream1;
  format->audioSubstream = kAc3Substream;
  return true;
}

void PlanPacks(const MuxFormat& format, const EsIndex& video, const EsIndex& audio,
               int64_t startDelay, int64_t audioOffset, MuxPlan* plan) {
  plan->packs.clear();
  plan->worstLateness = 0;
  plan->paddingPacks = 0;
  plan->navigationPacks = 0;
  StreamCursor streams[2] = {{&video, kVideoId, format.videoBuffer, startDelay},
                             {&audio, format.audioStreamId, format.audioBuffer, startDelay + audioOffset}};
  streams[1].substream = format.audioSubstream;
  const int64_t packTime = PackTime(format);
  const int packHeader = PackHeaderSize(format.mpeg2);
  const int cdSystemHeader = SystemHeaderSize(2);
  int64_t t = 0;
  size_t navigatedUnit = SIZE_MAX;  // the GOP unit whose navigation pack was placed
  plan->packs.reserve(static_cast<size_t>((video.fileSize + audio.fileSize) / (format.packBytes - 40) + 16));

  while (!streams[0].Done() || !streams[1].Done()) {
    bool first = plan->packs.empty();
    int capacity = format.packBytes - packHeader - (first && !format.navigationPacks ? cdSystemHeader : 0);

    // A DVD opens every VOBU (and the stream) with a navigation pack.
    StreamCursor& v = streams[0];
    bool atGop = !v.Done() && v.unit < v.Count() && v.pos == v.Unit(v.unit).offset &&
                 v.Unit(v.unit).gopStart && navigatedUnit != v.unit;

    int best = -1;
    PacketChoice bestChoice;
    int64_t bestDts = 0;
    for (int s = 0; s < 2; ++s) {
      StreamCursor& c = streams[s];
      if (c.Done()) continue;
      PacketChoice choice = ShapePacket(format, c, capacity, s == 0);
      int64_t fill = c.Fill(t);
      if (fill + choice.payload > c.bufferBytes && !c.NothingToFree()) continue;
      int64_t dts = c.Dts(std::min(c.unit, c.Count() - 1));
      if (best < 0 || dts < bestDts) {
        best = s;
        bestChoice = choice;
        bestDts = dts;
      }
    }
    if (format.navigationPacks && atGop && (best == 0 || first)) {
      PlannedPack nav = {};
      nav.scr = t;
      nav.kind = kPackNavigation;
      nav.systemHeader = 1;
      plan->packs.push_back(nav);
      ++plan->navigationPacks;
      navigatedUnit = v.unit;
      t += packTime;
      continue;
    }
    if (best < 0) {
      if (format.constantPackRate) {
        PlannedPack pad = {};
        pad.scr = t;
        pad.kind = kPackPadding;
        pad.systemHeader = first ? 1 : 0;
        pad.padding = static_cast<int16_t>(capacity);
        plan->packs.push_back(pad);
        ++plan->paddingPacks;
        t += packTime;
      } else {
        // Nothing fits: the clock waits for the next decoding.
        int64_t next = INT64_MAX;
        for (StreamCursor& c : streams)
          if (!c.Done() && c.removed < c.Count()) next = std::min(next, c.Dts(c.removed));
        t = next == INT64_MAX || next <= t ? t + packTime : next;
      }
      continue;
    }

    StreamCursor& c = streams[best];
    PlannedPack pack = {};
    pack.scr = t;
    pack.kind = best == 0 ? kPackVideo : kPackAudio;
    pack.esOffset = c.pos;
    pack.payload = bestChoice.payload;
    pack.hasPts = bestChoice.header.hasPts;
    pack.hasDts = bestChoice.header.hasDts;
    pack.pts = bestChoice.header.pts27;
    pack.dts = bestChoice.header.dts27;
    pack.systemHeader = first && !format.navigationPacks ? 1 : 0;
    pack.stdBuffer = c.started ? 0 : 1;
    pack.stuffing = static_cast<uint8_t>(bestChoice.stuffing);
    pack.padding = static_cast<int16_t>(bestChoice.padding);
    pack.frames = static_cast<uint8_t>(bestChoice.header.substreamFrames);
    pack.firstAccess = static_cast<uint16_t>(bestChoice.header.firstAccess);
    plan->packs.push_back(pack);

    c.started = true;
    c.pos += bestChoice.payload;
    int64_t arrival = t + packTime;
    while (c.unit < c.Count() && c.Unit(c.unit).offset + c.Unit(c.unit).size <= c.pos) {
      plan->worstLateness = std::max(plan->worstLateness, arrival - c.Dts(c.unit));
      ++c.unit;
    }
    t += packTime;
  }
}

namespace {

// Reads one stream's payload bytes in order.
class PayloadReader {
public:
  explicit PayloadReader(const std::string& path) : m_file(OpenBinaryFile(path, "rb")) {}
  ~PayloadReader() {
    if (m_file != NULL) fclose(m_file);
  }
  bool IsOpen() const { return m_file != NULL; }
  bool Read(int64_t offset, uint8_t* out, int length) {
    if (offset != m_pos && SeekFile(m_file, offset) != 0) return false;
    if (fread(out, 1, static_cast<size_t>(length), m_file) != static_cast<size_t>(length)) return false;
    m_pos = offset + length;
    return true;
  }

private:
  FILE* m_file;
  int64_t m_pos = 0;
};

int Fail(MuxOutcome* outcome, int result, const std::string& message) {
  outcome->result = result;
  outcome->message = message;
  return result;
}

int WritePlan(const MuxJob& job, const MuxFormat& format, const MuxPlan& plan, MuxOutcome* outcome) {
  PayloadReader readers[2] = {PayloadReader(job.video), PayloadReader(job.audio)};
  if (!readers[0].IsOpen() || !readers[1].IsOpen())
    return Fail(outcome, kMuxResultCannotRead, "cannot open an input again");
  FILE* out = OpenBinaryFile(job.output, "wb");
  if (out == NULL) return Fail(outcome, kMuxResultCannotWrite, "cannot create " + job.output);
  outcome->outputCreated = true;

  const SystemHeaderStream cdStreams[2] = {{kVideoId, format.videoBuffer}, {kAudioId, format.audioBuffer}};
  // A DVD's system header bounds every stream a DVD may hold, whichever
  // this one carries: MPEG audio, private stream 1 (AC-3, subpictures) and
  // the navigation data.
  const SystemHeaderStream dvdStreams[4] = {{kVideoId, format.videoBuffer},
                                            {kAudioId, format.audioBuffer},
                                            {kPrivateStream1, 58 * 1024},
                                            {0xBF, 2 * 1024}};
  std::vector<uint8_t> pack(static_cast<size_t>(format.packBytes) + 64);
  bool ok = true;
  const size_t count = plan.packs.size();
  int64_t lastScr = 0;
  for (size_t n = 0; n < count && ok; ++n) {
    PlannedPack planned = plan.packs[n];
    bool last = n + 1 == count;
    // The end code goes into the last pack's padding when there is room.
    bool endHere = last && job.endCode && planned.padding >= kPaddingMin + 4;
    if (endHere) planned.padding = static_cast<int16_t>(planned.padding - 4);
    uint8_t* p = pack.data();
    p += WritePackHeader(p, format.mpeg2, planned.scr, format.muxRateUnits);
    if (planned.systemHeader) {
      if (format.navigationPacks)
        p += WriteSystemHeader(p, format.muxRateUnits, false, dvdStreams, 4);
      else
        p += WriteSystemHeader(p, format.muxRateUnits, format.kind == kMuxKindVcd, cdStreams, 2);
    }
    if (planned.kind == kPackNavigation) {
      p += WriteNavigationPackets(p);
    } else if (planned.kind == kPackVideo || planned.kind == kPackAudio) {
      bool video = planned.kind == kPackVideo;
      PesHeader h;
      h.streamId = video ? kVideoId : format.audioStreamId;
      if (!video && format.audioSubstream >= 0) {
        h.substream = format.audioSubstream;
        h.substreamFrames = planned.frames;
        h.firstAccess = planned.firstAccess;
      }
      h.hasPts = planned.hasPts != 0;
      h.hasDts = planned.hasDts != 0;
      h.pts27 = planned.pts;
      h.dts27 = planned.dts;
      h.stdBufferBytes = planned.stdBuffer ? (video ? format.videoBuffer : format.audioBuffer) : 0;
      h.videoBufferScale = video;
      h.stuffing = planned.stuffing;
      p += WritePesHeader(p, h, format.mpeg2, planned.payload);
      if (!readers[video ? 0 : 1].Read(planned.esOffset, p, planned.payload)) {
        fclose(out);
        return Fail(outcome, kMuxResultCannotRead, "cannot read an input");
      }
      p += planned.payload;
    }
    if (planned.padding > 0) p += WritePaddingPacket(p, planned.padding);
    if (endHere) {
      static const uint8_t kEnd[4] = {0, 0, 1, 0xB9};
      memcpy(p, kEnd, 4);
      p += 4;
    }
    if (p - pack.data() != format.packBytes) {
      fclose(out);
      return Fail(outcome, kMuxResultBadStream, "internal pack size mismatch");
    }
    ok = fwrite(pack.data(), 1, static_cast<size_t>(format.packBytes), out) ==
         static_cast<size_t>(format.packBytes);
    lastScr = planned.scr;
    if (last && job.endCode && !endHere && ok) {
      // A pack of its own carries the end code.
      uint8_t* q = pack.data();
      q += WritePackHeader(q, format.mpeg2, lastScr + PackTime(format), format.muxRateUnits);
      int rest = format.packBytes - static_cast<int>(q - pack.data()) - 4;
      q += WritePaddingPacket(q, rest);
      static const uint8_t kEnd[4] = {0, 0, 1, 0xB9};
      memcpy(q, kEnd, 4);
      ok = fwrite(pack.data(), 1, static_cast<size_t>(format.packBytes), out) ==
           static_cast<size_t>(format.packBytes);
      ++outcome->packs;
      ++outcome->paddingPacks;
    }
  }
  if (fclose(out) != 0) ok = false;
  if (!ok) return Fail(outcome, kMuxResultCannotWrite, "cannot write " + job.output);
  outcome->packs += static_cast<int64_t>(count);
  return kMuxResultOk;
}

int MuxStreams(const MuxJob& job, MuxOutcome* outcome) {
  MuxFormat format;
  if (!MuxFormatFor(job.formatCode, &format)) return Fail(outcome, kMuxResultBadBlock, "unknown format");
  if (job.video.empty() || job.audio.empty() || job.output.empty())
    return Fail(outcome, kMuxResultBadBlock, "missing file name");
  if (job.muxRateUnits > 0) format.muxRateUnits = job.muxRateUnits;

  EsIndex video, audio;
  int indexed = IndexVideoStream(job.video, &outcome->video, &video);
  if (indexed != kIndexOk)
    return Fail(outcome, indexed == kIndexCannotRead ? kMuxResultCannotRead : kMuxResultBadStream,
                "video: " + video.error);
  indexed = IndexAudioStream(job.audio, &outcome->audio, &audio);
  if (indexed != kIndexOk)
    return Fail(outcome, indexed == kIndexCannotRead ? kMuxResultCannotRead : kMuxResultBadStream,
                "audio: " + audio.error);
  std::string why;
  if (!CarryAudio(outcome->audio, &format, &why)) return Fail(outcome, kMuxResultBadStream, "audio: " + why);

  const int64_t audioOffset = static_cast<int64_t>(job.audioOffsetMs) * (kClock / 1000);
  // The streams must fit the format's rate at all.
  const int64_t packTime = PackTime(format);
  int64_t duration = std::max(video.duration, audio.duration + std::max<int64_t>(0, audioOffset));
  if (duration > 0) {
    // Each pack: its header, a PES header, and on average a few bytes of
    // timestamps. A VideoCD's streams use all but half a percent of it.
    int usable = format.packBytes - PackHeaderSize(format.mpeg2) - 6 - (format.mpeg2 ? 3 : 1) - 3;
    double audioBytes = static_cast<double>(audio.fileSize);
    if (format.audioSubstream >= 0) audioBytes += audioBytes / (usable - kSubstreamHeader) * kSubstreamHeader;
    double need = (static_cast<double>(video.fileSize) + audioBytes) * kClock / duration;
    double capacity = static_cast<double>(usable) * kClock / packTime;
    if (need > capacity)
      return Fail(outcome, kMuxResultTooFast, "the streams need more than the format's rate");
  }

  // Every timestamp at or after the first pack; then more delay while any
  // unit arrives late.
  int64_t earliest = std::min<int64_t>(video.units.front().dts, audioOffset);
  int64_t delay = job.startDelayMs > 0 ? static_cast<int64_t>(job.startDelayMs) * (kClock / 1000)
                                       : -earliest + 4 * packTime;
  // More than a second of delay buys nothing the decoder buffers could hold;
  // a stream that is still late then (an encoder beyond its own buffer) is
  // written as it is, with its lateness reported.
  const int64_t longest = -earliest + kClock;
  MuxPlan plan;
  for (int round = 0; round < 24; ++round) {
    PlanPacks(format, video, audio, delay, audioOffset, &plan);
    outcome->planRounds = round + 1;
    if (plan.worstLateness <= 0 || job.startDelayMs > 0 || delay >= longest) break;
    delay = std::min(longest, delay + plan.worstLateness + packTime);
  }
  outcome->startDelay = delay;
  outcome->worstLateness = plan.worstLateness;
  outcome->paddingPacks = plan.paddingPacks;
  outcome->navigationPacks = plan.navigationPacks;
  int64_t bytes = static_cast<int64_t>(plan.packs.size() + 1) * format.packBytes;
  if (job.maxOutputBytes > 0 && bytes > job.maxOutputBytes)
    return Fail(outcome, kMuxResultTooLarge, "the output would pass its size limit");
  return WritePlan(job, format, plan, outcome);
}

}  // namespace

int RunMux(const MuxJob& job, MuxOutcome* outcome) {
  *outcome = MuxOutcome();
  int result = MuxStreams(job, outcome);
  outcome->result = result;
  if (result != kMuxResultOk && job.removeFailedOutput && outcome->outputCreated)
    remove(job.output.c_str());
  return result;
}
