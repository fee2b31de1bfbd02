// The conversion control's probe and cut on ffmpeg's program streams: what
// the probe reports for each kind of source, clips made of whole GOPs with
// the audio beside them, consecutive clips that share nothing and lose
// nothing, cancel, and bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "standins/convctl/ps_demux.h"
#include "standins/convctl/tests/clip_test_support.h"

using namespace convctl;
using namespace convctl_test;
using namespace test_support;

namespace {

std::string Mpeg(const std::string& name) { return FixturePath(name); }

int CountStartCodes(const std::vector<uint8_t>& data, uint8_t code) {
  int count = 0;
  for (size_t i = 0; i + 3 < data.size(); ++i)
    if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && data[i + 3] == code) ++count;
  return count;
}

// A source, probed, and a request to cut it aimed at <stem>_vid.mpg and
// <stem>_aud.mpg in the working folder. The request points into the job:
// it is not copied.
struct CutJob {
  CutJob(const std::string& source, const std::string& stem)
      : path(source), video(stem + "_vid.mpg"), audio(stem + "_aud.mpg") {
    if (!path.empty()) probe = ProbeSource(path.c_str(), &info);
    request.input = path.c_str();
    request.videoOutput = video.c_str();
    request.audioOutput = audio.c_str();
  }
  CutJob(const CutJob&) = delete;
  CutJob& operator=(const CutJob&) = delete;

  std::string path, video, audio;
  int probe = kProbeCannotOpen;  // ProbeSource's result
  SourceInfo info;
  ClipRequest request;
};

struct ProbeCase {
  const char* name;
  bool own;            // in the control's own fixture folder
  int videoVersion;
  int width, height;
  double frameRate;
  AudioKind audio;
  double duration;     // ffprobe's format duration
};

class ProbeTable : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeTable, ReportsStreamsAndDurationAsFfprobeDoes) {
  const ProbeCase& c = GetParam();
  std::string path = c.own ? Own(c.name) : Mpeg(c.name);
  if (path.empty()) GTEST_SKIP() << "fixture folders not set";
  SourceInfo info;
  ASSERT_EQ(kProbeOk, ProbeSource(path.c_str(), &info));
  EXPECT_TRUE(info.programStream);
  EXPECT_TRUE(info.hasVideo);
  EXPECT_EQ(c.videoVersion, info.videoVersion);
  EXPECT_EQ(c.width, info.width);
  EXPECT_EQ(c.height, info.height);
  EXPECT_NEAR(c.frameRate, info.frameRate, 0.01);
  EXPECT_EQ(c.audio, info.audio);
  EXPECT_NEAR(c.duration, info.duration, 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ProbeTable,
    ::testing::Values(ProbeCase{"pal-vcd.mpg", false, 1, 352, 288, 25, kAudioMpeg, 3.011},
                      ProbeCase{"ntsc-vcd.mpg", false, 1, 352, 240, 29.97, kAudioMpeg, 3.0},
                      ProbeCase{"pal-svcd.mpg", false, 2, 480, 576, 25, kAudioMpeg, 2.978},
                      ProbeCase{"pal-dvd.mpg", true, 2, 720, 576, 25, kAudioAc3, 3.008},
                      ProbeCase{"ntsc-dvd.mpg", true, 2, 720, 480, 29.97, kAudioAc3, 3.008},
                      ProbeCase{"lpcm-dvd.mpg", true, 2, 720, 576, 25, kAudioLpcm, 3.0},
                      ProbeCase{"video-only.mpg", true, 1, 352, 288, 25, kAudioNone, 3.0}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) {
      std::string name = info.param.name;
      std::string out;
      for (char ch : name)
        if (isalnum(static_cast<unsigned char>(ch))) out += ch;
      return out;
    });

TEST(Probe, RefusesWhatIsNoProgramStream) {
  SourceInfo info;
  EXPECT_EQ(kProbeCannotOpen, ProbeSource("/no/such/file.mpg", &info));
  std::string avi = Own("sample.avi");
  if (!avi.empty()) {
    EXPECT_EQ(kProbeNotProgramStream, ProbeSource(avi.c_str(), &info));
    EXPECT_FALSE(info.hasVideo);
    EXPECT_EQ(0, info.duration);
  }
  std::string es = Mpeg("video.m1v");
  if (!es.empty()) {
    EXPECT_EQ(kProbeNotProgramStream, ProbeSource(es.c_str(), &info));
  }
  // An empty file and one of packs only.
  ASSERT_TRUE(WriteText("empty.mpg", ""));
  EXPECT_EQ(kProbeNotProgramStream, ProbeSource("empty.mpg", &info));
  static const uint8_t kPack[12] = {0, 0, 1, 0xBA, 0x21, 0, 1, 0, 1, 0x80, 0, 1};
  Bytes packs;
  for (int i = 0; i < 100; ++i) packs.insert(packs.end(), kPack, kPack + sizeof kPack);
  ASSERT_TRUE(WriteBytes("packs.mpg", packs));
  EXPECT_EQ(kProbeNoStreams, ProbeSource("packs.mpg", &info));
}

struct CutCase {
  const char* name;
  bool own;
  const char* audioCodecName;  // for messages only
  int gopPictures;             // pictures per GOP in ffmpeg's streams
};

class CutTable : public ::testing::TestWithParam<CutCase> {};

// Every clip is made of whole GOPs starting with a sequence header, ends
// with a sequence end code, and its audio covers the same time.
TEST_P(CutTable, ClipIsWholeGopsWithTheAudioBesideThem) {
  const CutCase& c = GetParam();
  CutJob job(c.own ? Own(c.name) : Mpeg(c.name), "clip");
  if (job.path.empty()) GTEST_SKIP() << "fixture folders not set";
  ASSERT_EQ(kProbeOk, job.probe);
  const SourceInfo& info = job.info;
  ClipRequest& request = job.request;
  request.start = 1.0;
  request.stop = 2.5;
  Recorder recorder;
  ClipReport report;
  ASSERT_EQ(kClipOk, CutClip(request, info, &recorder, &report));
  EXPECT_GE(report.videoStart, 1.0);
  EXPECT_LT(report.videoStart, 1.0 + 0.7);
  EXPECT_GE(report.videoEnd, 2.5);
  EXPECT_LT(report.videoEnd, 2.5 + 0.7);
  std::vector<uint8_t> video = ReadBytes(job.video);
  ASSERT_GT(video.size(), 4u);
  EXPECT_EQ(0xB3, video[3]) << "starts with a sequence header";
  EXPECT_EQ(0xB7, video.back()) << "ends with a sequence end code";
  EXPECT_EQ(1, CountStartCodes(video, 0xB7));
  EXPECT_EQ(report.gops, CountStartCodes(video, 0xB8));
  EXPECT_EQ(report.gops * c.gopPictures, CountStartCodes(video, 0x00));
  double videoSeconds = report.videoEnd - report.videoStart;
  double audioSeconds = report.audioFrames * (info.audio == kAudioAc3 ? 1536.0 : 1152.0) / info.sampleRate;
  EXPECT_NEAR(videoSeconds, audioSeconds, 0.08) << c.audioCodecName;
  EXPECT_EQ(report.audioBytes, static_cast<int64_t>(ReadBytes(job.audio).size()));
  // Progress never goes back and ends at the clip's end.
  ASSERT_FALSE(recorder.positions.empty());
  for (size_t i = 1; i < recorder.positions.size(); ++i)
    EXPECT_GE(recorder.positions[i], recorder.positions[i - 1]);
  EXPECT_NEAR(report.videoEnd - request.start, recorder.positions.back(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Sources, CutTable,
                         ::testing::Values(CutCase{"pal-vcd.mpg", false, "mp2", 15},
                                           CutCase{"pal-svcd.mpg", false, "mp2", 15},
                                           CutCase{"pal-dvd.mpg", true, "ac3", 15},
                                           CutCase{"pal-dvd-mp2.mpg", true, "mp2", 15},
                                           CutCase{"ntsc-dvd.mpg", true, "ac3", 18}),
                         [](const ::testing::TestParamInfo<CutCase>& info) {
                           std::string out;
                           for (const char* p = info.param.name; *p; ++p)
                             if (isalnum(static_cast<unsigned char>(*p))) out += *p;
                           return out;
                         });

// Clips side by side share no GOP and lose none: together they hold the
// whole stream's pictures and audio frames.
TEST(Cut, ConsecutiveClipsAddUpToTheWholeStream) {
  CutJob job(Mpeg("pal-vcd.mpg"), "whole");
  if (job.path.empty()) GTEST_SKIP();
  ASSERT_EQ(kProbeOk, job.probe);
  const SourceInfo& info = job.info;
  ClipRequest& whole = job.request;
  whole.start = 0;
  whole.stop = info.duration;
  ClipReport all;
  ASSERT_EQ(kClipOk, CutClip(whole, info, nullptr, &all));
  int pictures = CountStartCodes(ReadBytes(job.video), 0x00);
  EXPECT_EQ(75, pictures);
  const double bounds[] = {0, 1.0, 2.0, info.duration};
  int clipPictures = 0, clipFrames = 0;
  for (int i = 0; i < 3; ++i) {
    ClipRequest part = whole;
    part.videoOutput = "part_vid.mpg";
    part.audioOutput = "part_aud.mpg";
    part.start = bounds[i];
    part.stop = bounds[i + 1];
    ClipReport report;
    ASSERT_EQ(kClipOk, CutClip(part, info, nullptr, &report)) << i;
    clipPictures += CountStartCodes(ReadBytes("part_vid.mpg"), 0x00);
    clipFrames += report.audioFrames;
  }
  EXPECT_EQ(pictures, clipPictures);
  EXPECT_EQ(all.audioFrames, clipFrames);
}

TEST(Cut, OpenGopAtTheClipStartIsMarkedBroken) {
  CutJob job(Own("pal-dvd.mpg"), "open");
  if (job.path.empty()) GTEST_SKIP();
  ASSERT_EQ(kProbeOk, job.probe);
  job.request.start = 1.0;
  job.request.stop = 2.0;
  ClipReport report;
  ASSERT_EQ(kClipOk, CutClip(job.request, job.info, nullptr, &report));
  std::vector<uint8_t> video = ReadBytes(job.video);
  for (size_t i = 0; i + 8 <= video.size(); ++i) {
    if (video[i] == 0 && video[i + 1] == 0 && video[i + 2] == 1 && video[i + 3] == 0xB8) {
      bool closed = (video[i + 7] & 0x40) != 0;
      bool broken = (video[i + 7] & 0x20) != 0;
      EXPECT_TRUE(closed || broken) << "the first GOP must not rely on the one before it";
      break;
    }
  }
}

TEST(Cut, RangeBeyondTheEndWritesNothing) {
  CutJob job(Mpeg("pal-vcd.mpg"), "none");
  if (job.path.empty()) GTEST_SKIP();
  ASSERT_EQ(kProbeOk, job.probe);
  job.request.start = job.info.duration;
  job.request.stop = job.info.duration + 900;
  ClipReport report;
  EXPECT_EQ(kClipNothingInRange, CutClip(job.request, job.info, nullptr, &report));
  EXPECT_FALSE(FileExists(job.video));
  EXPECT_FALSE(FileExists(job.audio));
}

TEST(Cut, CancelRemovesWhatWasWritten) {
  CutJob job(Mpeg("pal-vcd.mpg"), "cancel");
  if (job.path.empty()) GTEST_SKIP();
  ASSERT_EQ(kProbeOk, job.probe);
  job.request.start = 0;
  job.request.stop = job.info.duration;
  Recorder recorder(1);
  ClipReport report;
  EXPECT_EQ(kClipCancelled, CutClip(job.request, job.info, &recorder, &report));
  EXPECT_FALSE(FileExists(job.video));
  EXPECT_FALSE(FileExists(job.audio));
}

TEST(Cut, RefusesSourcesItCannotCut) {
  struct {
    const char* name;
  } cases[] = {{"lpcm-dvd.mpg"}, {"video-only.mpg"}};
  for (const auto& c : cases) {
    CutJob job(Own(c.name), "refused");
    if (job.path.empty()) GTEST_SKIP();
    ASSERT_EQ(kProbeOk, job.probe);
    ClipReport report;
    EXPECT_EQ(kClipUnsupported, CutClip(job.request, job.info, nullptr, &report)) << c.name;
    EXPECT_FALSE(FileExists(job.video));
  }
}

TEST(Cut, UnwritableOutputIsReported) {
  CutJob job(Mpeg("pal-vcd.mpg"), "x");
  if (job.path.empty()) GTEST_SKIP();
  ASSERT_EQ(kProbeOk, job.probe);
  job.request.videoOutput = "no/such/folder/x_vid.mpg";
  ClipReport report;
  EXPECT_EQ(kClipCannotWrite, CutClip(job.request, job.info, nullptr, &report));
  EXPECT_FALSE(FileExists(job.audio));
}

TEST(Units, ParseBoundedByWhatIsThere) {
  // MPEG-1 pack header, then a PES packet with a PTS, cut at every length.
  const uint8_t pes[] = {0, 0, 1, 0xE0, 0, 9, 0xFF, 0x21, 0, 1, 0, 1, 0xAA, 0xBB, 0xCC};
  PsUnit unit;
  for (size_t n = 0; n < sizeof pes; ++n) EXPECT_EQ(0, ParsePsUnit(pes, n, &unit)) << n;
  ASSERT_EQ(15, ParsePsUnit(pes, sizeof pes, &unit));
  EXPECT_EQ(PsUnit::kPes, unit.kind);
  EXPECT_TRUE(unit.hasPts);
  EXPECT_EQ(3, unit.payloadLength);
  EXPECT_EQ(0xAA, unit.payload[0]);
  // A header that claims more than its packet holds gives no payload.
  const uint8_t bad[] = {0, 0, 1, 0xC0, 0, 3, 0x80, 0x80, 0x20};
  ASSERT_EQ(9, ParsePsUnit(bad, sizeof bad, &unit));
  EXPECT_EQ(nullptr, unit.payload);
  const uint8_t slice[] = {0, 0, 1, 0x01, 0, 0};
  EXPECT_EQ(-1, ParsePsUnit(slice, sizeof slice, &unit));
}

TEST(Units, AudioFrameHeaders) {
  int samples = 0, rate = 0, bits = 0, layer = 0;
  const uint8_t mp2[4] = {0xFF, 0xFD, 0xB0, 0x04};  // layer II, 224 kbit/s, 44.1 kHz
  EXPECT_EQ(731, MpegAudioFrameLength(mp2, &samples, &rate, &bits, &layer));
  EXPECT_EQ(1152, samples);
  EXPECT_EQ(44100, rate);
  EXPECT_EQ(224000, bits);
  EXPECT_EQ(2, layer);
  const uint8_t freeFormat[4] = {0xFF, 0xFD, 0x04, 0x04};
  EXPECT_EQ(0, MpegAudioFrameLength(freeFormat, &samples, &rate, &bits, &layer));
  const uint8_t ac3[5] = {0x0B, 0x77, 0, 0, 0x1E};  // 48 kHz, 448 kbit/s
  EXPECT_EQ(1792, Ac3FrameLength(ac3, &rate, &bits));
  EXPECT_EQ(48000, rate);
  const uint8_t ac3Odd[5] = {0x0B, 0x77, 0, 0, 0x40 | 37};  // 44.1 kHz, 640 kbit/s, padded
  EXPECT_EQ(2788, Ac3FrameLength(ac3Odd, &rate, &bits));
  const uint8_t ac3Bad[5] = {0x0B, 0x77, 0, 0, 0xC0};
  EXPECT_EQ(0, Ac3FrameLength(ac3Bad, &rate, &bits));
}

}  // namespace
