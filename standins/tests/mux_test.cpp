// The multiplexer on elementary streams made by ffmpeg: every format's
// output is read back pack by pack, scanned by the image builder's scanner,
// probed and decoded by ffprobe/ffmpeg; then the failures it reports.
#include "standins/mux/mux.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/tests/test_support.h"
#include "discimage/base/vcd_messages.h"
#include "standins/include/muxtools.h"
#include "standins/tests/es_fixtures.h"

using namespace test_support;

namespace {

// ffprobe's flat output of a stream's format and streams.
std::map<std::string, std::string> Probe(const std::string& path) {
  return ProbeFlat(path, "-show_format -show_streams");
}

// A job joining video and audio into output in the format.
MuxJob Job(int format, const std::string& video, const std::string& audio, const std::string& output) {
  MuxJob job;
  job.formatCode = format;
  job.video = video;
  job.audio = audio;
  job.output = output;
  return job;
}

int64_t ReadScr(const uint8_t* p, bool mpeg2) {
  int64_t base = (static_cast<int64_t>(p[4] & (mpeg2 ? 0x38 : 0x0E)) >> (mpeg2 ? 3 : 1)) << 30;
  if (mpeg2) {
    base |= static_cast<int64_t>(p[4] & 3) << 28 | static_cast<int64_t>(p[5]) << 20 |
            static_cast<int64_t>(p[6] >> 3) << 15 | static_cast<int64_t>(p[6] & 3) << 13 |
            static_cast<int64_t>(p[7]) << 5 | (p[8] >> 3);
    int ext = (p[8] & 3) << 7 | p[9] >> 1;
    return base * 300 + ext;
  }
  base |= static_cast<int64_t>(p[5]) << 22 | static_cast<int64_t>(p[6] >> 1) << 15 |
          static_cast<int64_t>(p[7]) << 7 | (p[8] >> 1);
  return base * 300;
}

class MuxFormats : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override {
    if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  }
};

TEST_P(MuxFormats, OutputIsAcceptedByScannerAndFfmpeg) {
  int count = 0;
  const EsPair& pair = EsPairs(&count)[GetParam()];
  MuxJob job = Job(pair.format, EsFixturePath(pair.video), EsFixturePath(std::string(pair.name) + ".mp2"),
                   std::string(pair.name) + ".mpg");
  MuxOutcome outcome;
  ASSERT_EQ(kMuxResultOk, RunMux(job, &outcome)) << outcome.message;
  EXPECT_EQ(0, outcome.worstLateness) << "a unit arrived after its decoding time";
  EXPECT_EQ(pair.width, outcome.video.width);

  // Whole packs, each with a pack header; the clock only goes forward, at
  // one sector per pack on a CD.
  Bytes data = ReadBytes(job.output);
  ASSERT_FALSE(data.empty());
  ASSERT_EQ(0u, data.size() % pair.packBytes);
  const bool mpeg2 = pair.mpegVersion == 2;
  int64_t previous = -1;
  int64_t step = pair.format == kMuxFormatVcd ? 360000 : 180000;
  size_t packs = data.size() / pair.packBytes;
  int navigation = 0;
  for (size_t n = 0; n < packs; ++n) {
    const uint8_t* p = data.data() + n * pair.packBytes;
    ASSERT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == 0xBA) << "pack " << n;
    int64_t scr = ReadScr(p, mpeg2);
    if (previous >= 0) {
      if (pair.format == kMuxFormatDvd)
        EXPECT_GT(scr, previous) << "pack " << n;
      else
        EXPECT_EQ(previous + step, scr) << "pack " << n;
    }
    previous = scr;
    if (pair.format == kMuxFormatDvd && p[14 + 3] == 0xBB && p[38 + 3] == 0xBF) ++navigation;
  }
  const uint8_t* tail = data.data() + data.size() - 4;
  EXPECT_TRUE(tail[0] == 0 && tail[1] == 0 && tail[2] == 1 && tail[3] == 0xB9) << "no end code";
  if (pair.format == kMuxFormatDvd) {
    EXPECT_GT(navigation, 0);
    EXPECT_EQ(outcome.navigationPacks, navigation);
    const uint8_t* first = data.data();
    EXPECT_EQ(0xBB, first[17]) << "a DVD starts with a navigation pack";
  }

  // The image builder's scanner.
  CVcdMessageSink sink;
  sink.SetLevel(kVcdLevelQuiet);
  CVcdMpegSource source(&sink, job.output.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, job.output.c_str()));
  const MpegStreamInfo* info = source.GetStreamInfo();
  EXPECT_EQ(pair.mpegVersion, info->version);
  EXPECT_TRUE(info->video[0].seen);
  EXPECT_EQ(pair.width, info->video[0].horizontalSize);
  EXPECT_EQ(pair.height, info->video[0].verticalSize);
  EXPECT_TRUE(info->audio[0].seen);
  EXPECT_EQ(2, info->audio[0].layer);
  EXPECT_NEAR(3.0, info->playingTime, 0.1);
  if (pair.packBytes == 2324) {
    EXPECT_EQ(static_cast<int>(packs), info->packetCount);
    ASSERT_NE(nullptr, info->video[0].apsList);
    EXPECT_GE(info->video[0].apsList->GetCount(), 1) << "no access point for the entries";
  }

  // ffprobe: both streams, the length of the streams, and audio and video
  // starting together.
  std::map<std::string, std::string> probe = Probe(job.output);
  // A DVD's navigation packs show as a stream of their own.
  EXPECT_EQ(pair.format == kMuxFormatDvd ? "3" : "2", probe["format.nb_streams"]);
  EXPECT_NEAR(3.0, atof(probe["format.duration"].c_str()), 0.08);
  std::string videoStart, audioStart;
  for (int s = 0; s < 3; ++s) {
    std::string prefix = "streams.stream." + std::to_string(s) + ".";
    if (probe[prefix + "codec_name"] == "dvd_nav_packet" || probe[prefix + "codec_type"].empty()) {
      continue;
    } else if (probe[prefix + "codec_type"] == "video") {
      EXPECT_EQ(pair.mpegVersion == 1 ? "mpeg1video" : "mpeg2video", probe[prefix + "codec_name"]);
      videoStart = probe[prefix + "start_time"];
    } else {
      EXPECT_EQ("mp2", probe[prefix + "codec_name"]);
      audioStart = probe[prefix + "start_time"];
    }
  }
  ASSERT_FALSE(videoStart.empty());
  ASSERT_FALSE(audioStart.empty());
  EXPECT_NEAR(atof(videoStart.c_str()), atof(audioStart.c_str()), 0.002);
  // Decoding the whole file says nothing.
  EXPECT_EQ("", RunCommand("ffmpeg -nostdin -v error -i '" + job.output + "' -f null - 2>&1"));
}

INSTANTIATE_TEST_SUITE_P(Pairs, MuxFormats, ::testing::Range(0, 5), [](const auto& info) {
  int count = 0;
  std::string name = EsPairs(&count)[info.param].name;
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
});

// A DVD program stream read back pack by pack: what private stream 1
// carries, packet by packet, and the clocks beside it.
struct PrivatePacket {
  int64_t dataStart;  // first byte after the substream header, counted through the substream's data
  int dataLength;
  int substream, frames, firstAccess;
  bool hasPts;
  int64_t pts;  // 90 kHz
};
struct DvdWalk {
  std::vector<PrivatePacket> packets;
  Bytes data;                 // the substream's bytes, in order
  int64_t firstVideoPts = -1; // the earliest picture, 90 kHz
  int privateBound = -1;      // private stream 1's buffer in the system header, bytes
  int privateBoundScale = -1;
  std::string error;
};

int64_t ReadPts(const uint8_t* p) {
  return (static_cast<int64_t>(p[0] & 0x0E) << 29) | (p[1] << 22) | ((p[2] >> 1) << 15) | (p[3] << 7) | (p[4] >> 1);
}

DvdWalk WalkDvd(const Bytes& stream) {
  DvdWalk walk;
  for (size_t at = 0; at + 2048 <= stream.size() && walk.error.empty(); at += 2048) {
    const uint8_t* pack = stream.data() + at;
    size_t pos = 14 + (pack[13] & 7);
    while (pos + 6 <= 2048) {
      const uint8_t* p = pack + pos;
      if (p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] == 0xB9) break;
      const int id = p[3];
      const size_t end = pos + 6 + (p[4] << 8 | p[5]);
      if (end > 2048) {
        walk.error = "a packet runs past its pack at " + std::to_string(at);
        break;
      }
      if (id == 0xBB) {
        for (size_t e = pos + 12; e + 3 <= end; e += 3)
          if (pack[e] == 0xBD) {
            walk.privateBoundScale = (pack[e + 1] >> 5) & 1;
            walk.privateBound = ((pack[e + 1] & 0x1F) << 8 | pack[e + 2]) * (walk.privateBoundScale ? 1024 : 128);
          }
      } else if (id == 0xE0 || id == 0xBD) {
        const bool pts = (p[7] & 0x80) != 0;
        const size_t data = pos + 9 + p[8];
        if (id == 0xE0) {
          if (pts && (walk.firstVideoPts < 0 || ReadPts(p + 9) < walk.firstVideoPts))
            walk.firstVideoPts = ReadPts(p + 9);
        } else {
          PrivatePacket packet;
          const uint8_t* h = pack + data;
          packet.substream = h[0];
          packet.frames = h[1];
          packet.firstAccess = h[2] << 8 | h[3];
          packet.hasPts = pts;
          packet.pts = pts ? ReadPts(p + 9) : 0;
          packet.dataStart = static_cast<int64_t>(walk.data.size());
          packet.dataLength = static_cast<int>(end - data - 4);
          walk.data.insert(walk.data.end(), h + 4, pack + end);
          walk.packets.push_back(packet);
        }
      }
      pos = end;
    }
  }
  return walk;
}

// Where ffprobe finds the frames of an elementary stream.
std::vector<int64_t> FramePositions(const std::string& path) {
  std::vector<int64_t> positions;
  std::string text = RunCommand("ffprobe -v error -show_entries packet=pos -of csv=p=0 '" + path + "'");
  for (size_t at = 0; at < text.size();) {
    size_t line = text.find('\n', at);
    if (line == std::string::npos) line = text.size();
    if (line > at) positions.push_back(atoll(text.substr(at, line - at).c_str()));
    at = line + 1;
  }
  return positions;
}

// AC-3 on a DVD travels in private stream 1: every packet opens with its
// substream header (number, how many frames begin in it, where the first
// begins), and its time stamp is the first beginning frame's.
class MuxAc3 : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  }
};

TEST_P(MuxAc3, CarriesTheFramesInPrivateStreamOne) {
  const std::string name = GetParam();
  const std::string audio = EsFixturePath("dvd.ac3");
  MuxJob job = Job(kMuxFormatDvd, EsFixturePath(name + ".m2v"), audio, name + "-ac3.mpg");
  MuxOutcome outcome;
  ASSERT_EQ(kMuxResultOk, RunMux(job, &outcome)) << outcome.message;
  EXPECT_EQ(0, outcome.worstLateness);

  DvdWalk walk = WalkDvd(ReadBytes(job.output));
  ASSERT_EQ("", walk.error);
  ASSERT_FALSE(walk.packets.empty()) << "no private stream 1";
  EXPECT_EQ(ReadBytes(audio), walk.data) << "the AC-3 stream, byte for byte";
  EXPECT_EQ(58 * 1024, walk.privateBound) << "the system header's buffer of private stream 1";
  EXPECT_EQ(1, walk.privateBoundScale);

  const std::vector<int64_t> frames = FramePositions(audio);
  ASSERT_EQ(94u, frames.size());
  ASSERT_GE(walk.firstVideoPts, 0);
  size_t next = 0;  // the next frame to begin
  for (size_t n = 0; n < walk.packets.size(); ++n) {
    const PrivatePacket& packet = walk.packets[n];
    const int64_t end = packet.dataStart + packet.dataLength;
    size_t first = next;
    while (next < frames.size() && frames[next] < end) ++next;
    const int beginning = static_cast<int>(next - first);
    EXPECT_EQ(0x80, packet.substream) << "packet " << n;
    EXPECT_EQ(beginning, packet.frames) << "packet " << n;
    EXPECT_EQ(beginning > 0 ? frames[first] - packet.dataStart + 1 : 0, packet.firstAccess) << "packet " << n;
    EXPECT_EQ(beginning > 0, packet.hasPts) << "packet " << n;
    if (beginning > 0 && packet.hasPts) {
      // 1536 samples at 48 kHz: 32 ms a frame, from the first picture on.
      double late = (packet.pts - walk.firstVideoPts) / 90000.0 - 0.032 * static_cast<double>(first);
      EXPECT_NEAR(0.0, late, 0.040) << "packet " << n << ", frame " << first;
    }
  }
  EXPECT_EQ(frames.size(), next);

  // ffprobe: the picture and an AC-3 stereo stream of every frame (the
  // sound's length), and nothing to say while decoding all of it.
  std::map<std::string, std::string> probe =
      ProbeFlat(job.output, "-count_packets -show_entries stream=codec_name,channels,nb_read_packets");
  bool ac3 = false;
  for (int s = 0; s < 3; ++s) {
    std::string prefix = "streams.stream." + std::to_string(s) + ".";
    if (probe[prefix + "codec_name"] != "ac3") continue;
    ac3 = true;
    EXPECT_EQ("2", probe[prefix + "channels"]);
    EXPECT_NEAR(3.008, atoi(probe[prefix + "nb_read_packets"].c_str()) * 0.032, 0.001);
  }
  EXPECT_TRUE(ac3) << "ffprobe finds no AC-3 stream";
  EXPECT_EQ("", RunCommand("ffmpeg -nostdin -v error -i '" + job.output + "' -f null - 2>&1"));
}

INSTANTIATE_TEST_SUITE_P(TvSystems, MuxAc3, ::testing::Values("dvd-pal", "dvd-ntsc"),
                         [](const auto& info) { return std::string(info.param).substr(4); });

TEST(MuxRates, AVideoCdAtTheFullRatesIsReadInRealTime) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  MuxJob job = Job(kMuxFormatVcd, EsFixturePath("vcd-long.m1v"), EsFixturePath("vcd-long.mp2"), "vcd-long.mpg");
  MuxOutcome outcome;
  ASSERT_EQ(kMuxResultOk, RunMux(job, &outcome)) << outcome.message;
  EXPECT_EQ(0, outcome.worstLateness);
  // 75 sectors a second: 30 s of streams take about 2250 packs.
  EXPECT_NEAR(30 * 75, outcome.packs, 30 * 75 / 50);
}

// A video stream whose first two seconds are far beyond a VideoCD's rate and
// whose rest is nearly nothing: no start delay gets it there in time.
void WriteBurstyVideo(const std::string& path) {
  Bytes b;
  auto append = [&b](std::initializer_list<int> bytes) {
    for (int v : bytes) b.push_back(static_cast<uint8_t>(v));
  };
  for (int n = 0; n < 550; ++n) {
    if (n % 12 == 0) {
      append({0, 0, 1, 0xB3, 0x16, 0x01, 0x20, 0x13, 0xFF, 0xFF, 0xE0, 0x18});  // 352x288, 25 fps
      append({0, 0, 1, 0xB8, 0x00, 0x08, 0x00, 0x00});
    }
    append({0, 0, 1, 0x00, ((n % 12) >> 2) & 0xFF, (((n % 12) & 3) << 6) | ((n % 12 == 0 ? 1 : 2) << 3), 0xFF,
            0xF8});
    append({0, 0, 1, 0x01});
    b.resize(b.size() + (n < 50 ? 30000 : 200), 0x55);
  }
  ASSERT_TRUE(WriteBytes(path, b)) << path;
}

TEST(MuxRates, AStreamBeyondItsBufferIsWrittenWithItsLatenessReported) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  WriteBurstyVideo("bursty.m1v");
  MuxJob job = Job(kMuxFormatVcd, "bursty.m1v", EsFixturePath("vcd-pal.mp2"), "bursty.mpg");
  MuxOutcome outcome;
  ASSERT_EQ(kMuxResultOk, RunMux(job, &outcome)) << outcome.message;
  EXPECT_GT(outcome.worstLateness, 0);
  EXPECT_LE(outcome.startDelay, 27000000 + 2 * 1080000) << "no more than about a second";
  EXPECT_FALSE(ReadBytes("bursty.mpg").empty());
}

TEST(MuxFailures, EachIsReportedAndLeavesNoOutput) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  const std::string video = EsFixturePath("vcd-pal.m1v");
  const std::string audio = EsFixturePath("vcd-pal.mp2");
  const std::string dvdVideo = EsFixturePath("dvd-pal.m2v");
  const std::string ac3 = EsFixturePath("dvd.ac3");
  struct Row {
    const char* what;
    int format;
    std::string video, audio, output;
    int muxRate;
    int64_t maxBytes;
    int result;
    const char* says = "";  // part of the message
  } rows[] = {
      {"unknown format", 2, video, audio, "f1.mpg", 0, 0, kMuxResultBadBlock},
      {"no output name", 1, video, audio, "", 0, 0, kMuxResultBadBlock},
      {"missing video", 1, "no-such.m1v", audio, "f2.mpg", 0, 0, kMuxResultCannotRead},
      {"audio as video", 1, audio, audio, "f3.mpg", 0, 0, kMuxResultBadStream},
      {"no audio frames", 1, video, EsFixturePath("not-audio.mp2"), "f4.mpg", 0, 0, kMuxResultBadStream},
      {"rate too low", 1, video, audio, "f5.mpg", 500, 0, kMuxResultTooFast},
      {"size limit", 1, video, audio, "f6.mpg", 0, 100000, kMuxResultTooLarge},
      {"no such folder", 1, video, audio, "no-such-folder/f7.mpg", 0, 0, kMuxResultCannotWrite},
      {"AC-3 on a VideoCD", 1, video, ac3, "f8.mpg", 0, 0, kMuxResultBadStream, "AC-3"},
      {"AC-3 on a SuperVCD", 4, EsFixturePath("svcd-pal.m2v"), ac3, "f9.mpg", 0, 0, kMuxResultBadStream, "AC-3"},
      {"AC-3 at 44.1 kHz", 8, dvdVideo, EsFixturePath("dvd-44k.ac3"), "f10.mpg", 0, 0, kMuxResultBadStream,
       "44100"},
      {"E-AC-3", 8, dvdVideo, EsFixturePath("dvd.eac3"), "f11.mpg", 0, 0, kMuxResultBadStream, "E-AC-3"},
      // About 0.83 Mbit/s of video fit into 2400 units (0.96 Mbit/s), not
      // with 224 kbit/s of AC-3 beside them.
      {"AC-3 beyond the rate", 8, dvdVideo, ac3, "f12.mpg", 2400, 0, kMuxResultTooFast},
  };
  for (const Row& row : rows) {
    MuxJob job = Job(row.format, row.video, row.audio, row.output);
    job.muxRateUnits = row.muxRate;
    job.maxOutputBytes = row.maxBytes;
    MuxOutcome outcome;
    EXPECT_EQ(row.result, RunMux(job, &outcome)) << row.what << ": " << outcome.message;
    EXPECT_FALSE(outcome.message.empty()) << row.what;
    EXPECT_NE(std::string::npos, outcome.message.find(row.says)) << row.what << ": " << outcome.message;
    if (!row.output.empty()) {
      EXPECT_FALSE(FileExists(row.output)) << row.what;
    }
  }
}

TEST(MuxFailures, AFailedRunKeepsAnOutputItDidNotWrite) {
  ASSERT_TRUE(WriteText("kept.mpg", "earlier"));
  MuxJob job = Job(1, "no-such.m1v", "no-such.mp2", "kept.mpg");
  MuxOutcome outcome;
  EXPECT_EQ(kMuxResultCannotRead, RunMux(job, &outcome));
  EXPECT_EQ(7u, ReadBytes("kept.mpg").size());
}

TEST(MuxPlan, ADelayThatIsTooShortIsRaisedUntilNothingIsLate) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  MuxFormat format;
  ASSERT_TRUE(MuxFormatFor(kMuxFormatVcd, &format));
  VideoStreamInfo vi;
  AudioStreamInfo ai;
  EsIndex video, audio;
  ASSERT_EQ(kIndexOk, IndexVideoStream(EsFixturePath("vcd-pal.m1v"), &vi, &video));
  ASSERT_EQ(kIndexOk, IndexAudioStream(EsFixturePath("vcd-pal.mp2"), &ai, &audio));
  MuxPlan plan;
  PlanPacks(format, video, audio, 0, 0, &plan);
  EXPECT_GT(plan.worstLateness, 0) << "without delay the first picture cannot be in time";
  MuxJob job = Job(kMuxFormatVcd, EsFixturePath("vcd-pal.m1v"), EsFixturePath("vcd-pal.mp2"), "delay.mpg");
  MuxOutcome outcome;
  ASSERT_EQ(kMuxResultOk, RunMux(job, &outcome));
  PlanPacks(format, video, audio, outcome.startDelay, 0, &plan);
  EXPECT_LE(plan.worstLateness, 0);
  // Buffers never overflow: replaying the plan, no stream holds more than
  // its buffer at any pack.
  const int buffers[2] = {format.videoBuffer, format.audioBuffer};
  const EsIndex* indexes[2] = {&video, &audio};
  int64_t sent[2] = {0, 0};
  for (const PlannedPack& pack : plan.packs) {
    if (pack.kind != kPackVideo && pack.kind != kPackAudio) continue;
    int s = pack.kind == kPackVideo ? 0 : 1;
    sent[s] += pack.payload;
    int64_t decoded = 0;
    for (const AccessUnit& unit : indexes[s]->units)
      if (unit.dts + outcome.startDelay <= pack.scr && unit.offset + unit.size <= sent[s] - pack.payload)
        decoded = unit.offset + unit.size;
    EXPECT_LE(sent[s] - decoded, buffers[s]) << "stream " << s << " at " << pack.scr;
  }
}

}  // namespace
