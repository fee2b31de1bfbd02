// The conversion control's probe and conversion of ordinary video files
// (MP4, AVI, Matroska, ASF, QuickTime as ffmpeg makes them): what the probe
// reports, the streams each profile gets (read back with FFmpeg's own
// demuxer), the picture fitted without stretching, cancel, and bad input
// refused with a reason and nothing left behind.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "standins/convctl/media_convert.h"
#include "standins/convctl/tests/clip_test_support.h"

using namespace convctl;
using namespace convctl_test;
using namespace test_support;

namespace {

// What FFmpeg's demuxer reads in an elementary stream the control wrote.
struct StreamFacts {
  std::string codec;
  int width = 0, height = 0;
  double frameRate = 0;
  int sampleRate = 0, channels = 0;
  int packets = 0;          // pictures or audio frames
  AVRational aspect{0, 1};  // display aspect of the pictures
};

StreamFacts ReadStream(const std::string& path) {
  StreamFacts facts;
  AVFormatContext* fc = nullptr;
  if (avformat_open_input(&fc, path.c_str(), nullptr, nullptr) < 0) return facts;
  if (avformat_find_stream_info(fc, nullptr) >= 0 && fc->nb_streams > 0) {
    AVStream* s = fc->streams[0];
    facts.codec = avcodec_get_name(s->codecpar->codec_id);
    facts.width = s->codecpar->width;
    facts.height = s->codecpar->height;
    facts.frameRate = av_q2d(s->r_frame_rate);
    facts.sampleRate = s->codecpar->sample_rate;
    facts.channels = s->codecpar->ch_layout.nb_channels;
    AVRational sar = s->codecpar->sample_aspect_ratio;
    if (sar.num > 0)
      av_reduce(&facts.aspect.num, &facts.aspect.den, static_cast<int64_t>(facts.width) * sar.num,
                static_cast<int64_t>(facts.height) * sar.den, 100);
    AVPacket* p = av_packet_alloc();
    while (av_read_frame(fc, p) >= 0) {
      ++facts.packets;
      av_packet_unref(p);
    }
    av_packet_free(&p);
  }
  avformat_close_input(&fc);
  return facts;
}

// A conversion aimed at <stem>_vid.mpg and <stem>_aud.mpg in the working folder.
struct Conversion {
  Conversion(const std::string& input, long profile, double start, double stop, const std::string& stem,
             bool wide = false, bool crop = false)
      : path(input), video(stem + "_vid.mpg"), audio(stem + "_aud.mpg") {
    remove(video.c_str());
    remove(audio.c_str());
    request.input = path.c_str();
    request.videoOutput = video.c_str();
    request.audioOutput = audio.c_str();
    request.start = start;
    request.stop = stop;
    TargetForProfile(profile, profile >= 6 ? 6000 : 0, profile >= 6 ? 224 : 0, wide, crop, &request.target);
  }
  int Run(ClipObserver* observer) { return ConvertClip(request, observer, &report, &reason); }

  std::string path, video, audio;
  ConvertRequest request;
  ConvertReport report;
  std::string reason;
};

// The probe on each kind of file: usable ones with their picture and
// length, the rest with both flags off, duration 0 and a reason.
TEST(MediaProbe, ReportsOrdinaryFilesAndRefusesTheRest) {
  if (Own("x").empty()) GTEST_SKIP() << "QUORBEL_CONVCTL_FIXTURES not set";
  struct Case {
    const char* name;
    bool usable;
    double duration;
    int width, height;
    double rate;
    const char* says;  // in the description (usable) or the reason
  } cases[] = {
      {"phone.mp4", true, 4.0, 640, 360, 30, "h264"},
      {"clip.avi", true, 4.0, 320, 240, 25, "mpeg4"},
      {"clip.mkv", true, 4.0, 480, 360, 24, "vp8"},
      {"clip.wmv", true, 2.0, 320, 240, 25, "wmv2"},
      {"clip.mov", true, 2.0, 240, 320, 25, "mjpeg"},
      {"pal-dvd.mpg", true, 3.0, 720, 576, 25, "mpeg2video"},
      {"video-only.mp4", false, 0, 0, 0, 0, "no audio"},
      {"audio-only.mp4", false, 0, 0, 0, 0, "no video"},
      {"truncated.mp4", false, 0, 0, 0, 0, "no video file"},
      {"truncated.avi", false, 0, 0, 0, 0, "cut short"},
      {"corrupt.mp4", false, 0, 0, 0, 0, "no video file"},
      {"empty.mp4", false, 0, 0, 0, 0, "no video file"},
      {"no-such-file.mp4", false, 0, 0, 0, 0, "cannot be opened"},
      // Kinds of ordinary files: sound longer than the pictures, a trimmed
      // MP4 (its presented length), a music file's cover art.
      {"kinds/short-video.mp4", true, 4.0, 640, 360, 25, "h264"},
      {"kinds/editlist.mp4", true, 3.48, 640, 360, 25, "h264"},
      {"kinds/cover.mp3", false, 0, 0, 0, 0, "cover art"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = Own(c.name);
    if (std::string(c.name).rfind("kinds/", 0) == 0) {
      path = FixtureIn("QUORBEL_CONVCTL_KINDS", c.name + 6);
      if (path.empty()) continue;
    }
    MediaInfo info;
    EXPECT_EQ(c.usable, ProbeMedia(path.c_str(), &info)) << info.reason;
    EXPECT_EQ(c.usable, info.video);
    EXPECT_EQ(c.usable, info.audio);
    if (c.usable) {
      EXPECT_NEAR(c.duration, info.duration, 0.15);
      EXPECT_EQ(c.width, info.width);
      EXPECT_EQ(c.height, info.height);
      EXPECT_NEAR(c.rate, info.frameRate, 0.01);
      EXPECT_NE(std::string::npos, info.description.find(c.says)) << info.description;
      EXPECT_TRUE(info.reason.empty()) << info.reason;
    } else {
      EXPECT_EQ(0, info.duration);
      EXPECT_NE(std::string::npos, info.reason.find(c.says)) << info.reason;
    }
  }
}

// Every profile from ordinary files: the codec, picture, rate and audio
// the profile names, and as many pictures and as much sound as the clip.
TEST(MediaConvert, EachProfileGetsItsStreams) {
  if (Own("x").empty()) GTEST_SKIP() << "QUORBEL_CONVCTL_FIXTURES not set";
  struct Case {
    const char* name;
    long profile;
    double start, stop;
    const char* videoCodec;
    int width, height;
    double rate;
    int sampleRate;
    const char* audioCodec;  // MPEG layer II, AC-3 for a DVD
  } cases[] = {
      {"phone.mp4", 1, 0, 0, "mpeg1video", 352, 240, 29.97, 44100, "mp2"},
      {"phone.mp4", 2, 1.0, 3.0, "mpeg1video", 352, 288, 25, 44100, "mp2"},
      {"clip.avi", 4, 0, 0, "mpeg2video", 480, 480, 29.97, 44100, "mp2"},
      {"clip.avi", 5, 0.5, 2.5, "mpeg2video", 480, 576, 25, 44100, "mp2"},
      {"phone.mp4", 6, 0, 0, "mpeg2video", 720, 480, 29.97, 48000, "ac3"},
      {"clip.avi", 7, 0, 0, "mpeg2video", 720, 576, 25, 48000, "ac3"},
      {"clip.mkv", 7, 0, 0, "mpeg2video", 720, 576, 25, 48000, "ac3"},
      {"clip.wmv", 2, 0, 0, "mpeg1video", 352, 288, 25, 44100, "mp2"},
      {"clip.mov", 5, 0, 0, "mpeg2video", 480, 576, 25, 44100, "mp2"},
      {"pal-dvd.mpg", 2, 0, 0, "mpeg1video", 352, 288, 25, 44100, "mp2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " profile " + std::to_string(c.profile));
    MediaInfo info;
    ASSERT_TRUE(ProbeMedia(Own(c.name).c_str(), &info)) << info.reason;
    Conversion job(Own(c.name), c.profile, c.start, c.stop, "media_profile");
    Recorder recorder;
    ASSERT_EQ(kClipOk, job.Run(&recorder)) << job.reason;
    double length = (c.stop > c.start ? c.stop : info.duration) - c.start;
    StreamFacts v = ReadStream(job.video), a = ReadStream(job.audio);
    EXPECT_EQ(c.videoCodec, v.codec);
    EXPECT_EQ(c.width, v.width);
    EXPECT_EQ(c.height, v.height);
    EXPECT_NEAR(c.rate, v.frameRate, 0.01);
    EXPECT_NEAR(length * c.rate, v.packets, c.rate * 0.2);
    EXPECT_EQ(c.audioCodec, a.codec);
    EXPECT_EQ(c.sampleRate, a.sampleRate);
    EXPECT_EQ(2, a.channels);
    const double frameSamples = a.codec == "ac3" ? 1536.0 : 1152.0;
    EXPECT_NEAR(length, a.packets * frameSamples / c.sampleRate, 0.1) << "the sound lasts as long as the pictures";
    ASSERT_FALSE(recorder.positions.empty());
    for (size_t i = 1; i < recorder.positions.size(); ++i) EXPECT_GE(recorder.positions[i], recorder.positions[i - 1]);
    EXPECT_NEAR(length, recorder.positions.back(), 1e-6);
  }
  remove("media_profile_vid.mpg");
  remove("media_profile_aud.mpg");
}

// The source's shape is kept: pad (letter-box, pillar-box) or, asked for,
// crop; the display aspect is the one asked for.
TEST(MediaConvert, PictureIsFittedNeverStretched) {
  struct Case {
    int srcW, srcH;
    double sar;
    long profile;
    bool wide, crop;
    PictureFit fit;  // src x, y, w, h, dst x, y, w, h
  } cases[] = {
      {640, 360, 1, 7, false, false, {0, 0, 640, 360, 0, 72, 720, 432}},    // 16:9 letter-boxed in 4:3
      {640, 360, 1, 7, true, false, {0, 0, 640, 360, 0, 0, 720, 576}},      // 16:9 in 16:9: whole
      {320, 240, 1, 7, true, false, {0, 0, 320, 240, 90, 0, 540, 576}},     // 4:3 pillar-boxed in 16:9
      {240, 320, 1, 2, false, false, {0, 0, 240, 320, 76, 0, 198, 288}},   // portrait in 4:3
      {640, 360, 1, 7, false, true, {80, 0, 480, 360, 0, 0, 720, 576}},     // 16:9 cropped to 4:3
      {720, 576, 16.0 / 15, 1, false, false, {0, 0, 720, 576, 0, 0, 352, 240}},  // a 4:3 DVD picture
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.srcW) + "x" + std::to_string(c.srcH) + " profile " + std::to_string(c.profile));
    TargetFormat t;
    ASSERT_TRUE(TargetForProfile(c.profile, 0, 0, c.wide, c.crop, &t));
    PictureFit f = FitPicture(c.srcW, c.srcH, c.sar, t);
    EXPECT_EQ(c.fit.srcX, f.srcX);
    EXPECT_EQ(c.fit.srcY, f.srcY);
    EXPECT_EQ(c.fit.srcW, f.srcW);
    EXPECT_EQ(c.fit.srcH, f.srcH);
    EXPECT_EQ(c.fit.dstX, f.dstX);
    EXPECT_EQ(c.fit.dstY, f.dstY);
    EXPECT_EQ(c.fit.dstW, f.dstW);
    EXPECT_EQ(c.fit.dstH, f.dstH);
  }
  // The written stream says its display aspect.
  if (Own("x").empty()) return;
  for (bool wide : {false, true}) {
    Conversion job(Own("phone.mp4"), 7, 0, 1, "media_aspect", wide);
    Recorder recorder;
    ASSERT_EQ(kClipOk, job.Run(&recorder)) << job.reason;
    StreamFacts v = ReadStream(job.video);
    EXPECT_EQ(wide ? 16 : 4, v.aspect.num);
    EXPECT_EQ(wide ? 9 : 3, v.aspect.den);
  }
  remove("media_aspect_vid.mpg");
  remove("media_aspect_aud.mpg");
}

// Bad input and a cancel end with a reason and leave no file behind.
TEST(MediaConvert, FailuresAndCancelLeaveNothing) {
  if (Own("x").empty()) GTEST_SKIP() << "QUORBEL_CONVCTL_FIXTURES not set";
  struct Case {
    const char* name;
    long profile;
    double start;
    int cancelAfter;
    int result;
    const char* says;
  } cases[] = {
      {"truncated.avi", 7, 0, -1, kClipCannotRead, "cut short"},
      {"truncated.mp4", 7, 0, -1, kClipCannotRead, "no video file"},
      {"corrupt.mp4", 2, 0, -1, kClipCannotRead, "no video file"},
      {"empty.mp4", 2, 0, -1, kClipCannotRead, "no video file"},
      {"video-only.mp4", 2, 0, -1, kClipUnsupported, "no audio"},
      {"audio-only.mp4", 2, 0, -1, kClipUnsupported, "no video"},
      {"phone.mp4", 2, 10.0, -1, kClipNothingInRange, "after the end"},
      {"phone.mp4", 7, 0, 5, kClipCancelled, "stopped"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Conversion job(Own(c.name), c.profile, c.start, 0, "media_bad");
    Recorder recorder(c.cancelAfter);
    EXPECT_EQ(c.result, job.Run(&recorder)) << job.reason;
    EXPECT_NE(std::string::npos, job.reason.find(c.says)) << job.reason;
    EXPECT_FALSE(FileExists(job.video));
    EXPECT_FALSE(FileExists(job.audio));
  }
  Conversion unwritable(Own("phone.mp4"), 2, 0, 0, "no-such-folder/out");
  Recorder recorder;
  EXPECT_EQ(kClipCannotWrite, unwritable.Run(&recorder));
  EXPECT_NE(std::string::npos, unwritable.reason.find("cannot be created")) << unwritable.reason;
}

// A program stream is copied only when all of it fits the profile's disc;
// anything else is converted.
TEST(CopyPath, OnlyWhatFitsTheDiscIsCopied) {
  SourceInfo vcd;  // a VideoCD stream as ffmpeg's VCD target writes it
  vcd.hasVideo = true;
  vcd.videoVersion = 1;
  vcd.width = 352;
  vcd.height = 288;
  vcd.frameRate = 25;
  vcd.videoBitRate = 1150000;
  vcd.audio = kAudioMpeg;
  vcd.audioLayer = 2;
  vcd.sampleRate = 44100;
  vcd.audioBitRate = 224000;
  vcd.audioChannels = 2;
  SourceInfo dvd = vcd;  // a PAL DVD stream with AC-3
  dvd.videoVersion = 2;
  dvd.width = 720;
  dvd.height = 576;
  dvd.videoBitRate = 9000000;
  dvd.audio = kAudioAc3;
  dvd.audioLayer = 0;
  dvd.sampleRate = 48000;
  dvd.audioBitRate = 448000;
  struct Case {
    const char* what;
    SourceInfo source;
    long profile;
    const char* says;  // "" when it is copied
  };
  auto with = [](SourceInfo s, void (*change)(SourceInfo*)) {
    change(&s);
    return s;
  };
  const Case cases[] = {
      {"a VideoCD stream", vcd, 2, ""},
      {"MP3 at 48 kHz", with(vcd, [](SourceInfo* s) { s->audioLayer = 3; s->sampleRate = 48000; }), 2, "MPEG layer II"},
      {"layer II at 48 kHz", with(vcd, [](SourceInfo* s) { s->sampleRate = 48000; }), 2, "48000 Hz"},
      {"layer II at 384 kbit/s", with(vcd, [](SourceInfo* s) { s->audioBitRate = 384000; }), 2, "384 kbit/s"},
      {"video above 1150 kbit/s", with(vcd, [](SourceInfo* s) { s->videoBitRate = 2000000; }), 2, "rate"},
      {"an NTSC picture", vcd, 1, "picture"},
      {"a PAL DVD stream", dvd, 7, ""},
      {"a DVD stream above the peak", with(dvd, [](SourceInfo* s) { s->videoBitRate = 15000000; }), 7, "rate"},
      {"MPEG audio on an NTSC DVD",
       with(dvd, [](SourceInfo* s) { s->height = 480; s->frameRate = 30000.0 / 1001; s->audio = kAudioMpeg;
                                     s->audioLayer = 2; s->audioBitRate = 224000; }), 6, "AC-3"},
      {"MPEG audio on a PAL DVD", with(dvd, [](SourceInfo* s) { s->audio = kAudioMpeg; s->audioLayer = 2;
                                                                s->audioBitRate = 224000; s->audioChannels = 2; }), 7, ""},
      {"AC-3 on a VideoCD", with(vcd, [](SourceInfo* s) { s->audio = kAudioAc3; }), 2, "MPEG layer II"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string mismatch = CopyMismatch(c.source, c.profile);
    if (*c.says == '\0') EXPECT_EQ("", mismatch);
    else EXPECT_NE(std::string::npos, mismatch.find(c.says)) << mismatch;
  }
}

}  // namespace
