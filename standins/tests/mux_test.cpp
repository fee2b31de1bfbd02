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
  struct Row {
    const char* what;
    int format;
    std::string video, audio, output;
    int muxRate;
    int64_t maxBytes;
    int result;
  } rows[] = {
      {"unknown format", 2, video, audio, "f1.mpg", 0, 0, kMuxResultBadBlock},
      {"no output name", 1, video, audio, "", 0, 0, kMuxResultBadBlock},
      {"missing video", 1, "no-such.m1v", audio, "f2.mpg", 0, 0, kMuxResultCannotRead},
      {"audio as video", 1, audio, audio, "f3.mpg", 0, 0, kMuxResultBadStream},
      {"no audio frames", 1, video, EsFixturePath("not-audio.mp2"), "f4.mpg", 0, 0, kMuxResultBadStream},
      {"rate too low", 1, video, audio, "f5.mpg", 500, 0, kMuxResultTooFast},
      {"size limit", 1, video, audio, "f6.mpg", 0, 100000, kMuxResultTooLarge},
      {"no such folder", 1, video, audio, "no-such-folder/f7.mpg", 0, 0, kMuxResultCannotWrite},
  };
  for (const Row& row : rows) {
    MuxJob job = Job(row.format, row.video, row.audio, row.output);
    job.muxRateUnits = row.muxRate;
    job.maxOutputBytes = row.maxBytes;
    MuxOutcome outcome;
    EXPECT_EQ(row.result, RunMux(job, &outcome)) << row.what << ": " << outcome.message;
    EXPECT_FALSE(outcome.message.empty()) << row.what;
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
