// The conversion road on the kinds of files people have (make-kinds-
// fixtures.sh): each is converted for VCD PAL, SVCD NTSC, DVD NTSC and DVD
// PAL, multiplexed, and for DVD authored; then what a player would see is
// read back with FFmpeg: the flash and the beep of each marker together,
// the picture upright and of its own shape, fields kept where they can be,
// the DVD's sound AC-3, the video within the disc's rate. Then Stop on a
// file with an hour between two pictures, and memory on it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/samplefmt.h>
}

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "standins/convctl/media_convert.h"
#include "standins/convctl/tests/clip_test_support.h"
#include "standins/dvdauthor/author_core.h"
#include "standins/mux/mux.h"

using namespace convctl;
using namespace convctl_test;
using namespace test_support;

namespace {

std::string Kind(const std::string& name) { return FixtureIn("QUORBEL_CONVCTL_KINDS", name); }

// What a player sees in a program stream (or a VOB).
struct Seen {
  std::string videoCodec, audioCodec;
  int width = 0, height = 0;
  AVRational sar{0, 1};
  std::vector<double> flashes;  // picture times where a flash starts, seconds from the first picture
  std::vector<double> beeps;    // the same for beeps
  int pictures = 0;
  double soundSeconds = 0;
  int interlaced = 0;           // pictures coded as two fields
  int topFirst = 0;             // of those, top field first
  // A picture away from any flash: where its content lies and where the box is.
  int left = -1, top = -1, right = -1, bottom = -1;
  double boxX = -1, boxY = -1;  // the light box's centre, 0-1 across the content
};

// Rows of a still picture: the content (brighter than the black bars) and
// the light box in it.
void LookAtPicture(const AVFrame* f, Seen* seen) {
  const uint8_t* y = f->data[0];
  int left = f->width, top = f->height, right = -1, bottom = -1;
  double bx = 0, by = 0, bn = 0;
  for (int row = 0; row < f->height; ++row)
    for (int col = 0; col < f->width; ++col) {
      int v = y[row * f->linesize[0] + col];
      if (v > 40) {
        left = std::min(left, col);
        right = std::max(right, col);
        top = std::min(top, row);
        bottom = std::max(bottom, row);
      }
      if (v > 140) {
        bx += col;
        by += row;
        ++bn;
      }
    }
  seen->left = left;
  seen->top = top;
  seen->right = right;
  seen->bottom = bottom;
  if (bn > 0 && right > left && bottom > top) {
    seen->boxX = (bx / bn - left) / (right - left + 1);
    seen->boxY = (by / bn - top) / (bottom - top + 1);
  }
}

// The middle of the picture, which the content covers whatever its shape.
double MiddleLuma(const AVFrame* f) {
  double sum = 0;
  int n = 0;
  for (int row = f->height * 2 / 5; row < f->height * 3 / 5; ++row)
    for (int col = f->width * 2 / 5; col < f->width * 3 / 5; ++col, ++n) sum += f->data[0][row * f->linesize[0] + col];
  return n > 0 ? sum / n : 0;
}

Seen Watch(const std::string& path) {
  Seen seen;
  AVFormatContext* fc = nullptr;
  if (avformat_open_input(&fc, path.c_str(), nullptr, nullptr) < 0) return seen;
  avformat_find_stream_info(fc, nullptr);
  int vi = av_find_best_stream(fc, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  int ai = av_find_best_stream(fc, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  AVCodecContext* dec[2] = {nullptr, nullptr};
  int index[2] = {vi, ai};
  for (int k = 0; k < 2; ++k) {
    if (index[k] < 0) continue;
    const AVCodecParameters* p = fc->streams[index[k]]->codecpar;
    (k == 0 ? seen.videoCodec : seen.audioCodec) = avcodec_get_name(p->codec_id);
    const AVCodec* codec = avcodec_find_decoder(p->codec_id);
    dec[k] = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(dec[k], p);
    dec[k]->pkt_timebase = fc->streams[index[k]]->time_base;
    avcodec_open2(dec[k], codec, nullptr);
  }
  double firstPicture = NAN;
  std::vector<double> flashTimes, beepTimes;
  bool inFlash = false;
  double quietSince = -1;  // seconds of sound below the threshold so far
  double soundStart = NAN;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto take = [&](int k) {
    while (avcodec_receive_frame(dec[k], frame) >= 0) {
      double t = frame->best_effort_timestamp * av_q2d(fc->streams[index[k]]->time_base);
      if (k == 0) {
        if (std::isnan(firstPicture)) firstPicture = t;
        ++seen.pictures;
        seen.width = frame->width;
        seen.height = frame->height;
        seen.sar = frame->sample_aspect_ratio;
        if (frame->interlaced_frame) {
          ++seen.interlaced;
          if (frame->top_field_first) ++seen.topFirst;
        }
        bool flash = MiddleLuma(frame) > 150;
        if (flash && !inFlash) flashTimes.push_back(t);
        inFlash = flash;
        if (seen.pictures == 8) LookAtPicture(frame, &seen);
      } else {
        if (std::isnan(soundStart)) soundStart = t;
        seen.soundSeconds += static_cast<double>(frame->nb_samples) / frame->sample_rate;
        // The beep's first loud sample after a quiet stretch.
        for (int i = 0; i < frame->nb_samples; ++i) {
          double v = 0;
          if (frame->format == AV_SAMPLE_FMT_FLTP) v = reinterpret_cast<const float*>(frame->extended_data[0])[i];
          else if (frame->format == AV_SAMPLE_FMT_S16P) v = reinterpret_cast<const int16_t*>(frame->extended_data[0])[i] / 32768.0;
          else if (frame->format == AV_SAMPLE_FMT_S16)
            v = reinterpret_cast<const int16_t*>(frame->data[0])[i * frame->ch_layout.nb_channels] / 32768.0;
          else if (frame->format == AV_SAMPLE_FMT_FLT)
            v = reinterpret_cast<const float*>(frame->data[0])[i * frame->ch_layout.nb_channels];
          double at = t + static_cast<double>(i) / frame->sample_rate;
          if (std::fabs(v) > 0.1) {
            if (quietSince >= 0 && at - quietSince > 0.2) beepTimes.push_back(at);
            quietSince = -1;
          } else if (std::fabs(v) < 0.02 && quietSince < 0) {
            quietSince = at;
          }
        }
      }
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(fc, packet) >= 0) {
    for (int k = 0; k < 2; ++k)
      if (dec[k] != nullptr && packet->stream_index == index[k] && avcodec_send_packet(dec[k], packet) >= 0) take(k);
    av_packet_unref(packet);
  }
  for (int k = 0; k < 2; ++k)
    if (dec[k] != nullptr) {
      avcodec_send_packet(dec[k], nullptr);
      take(k);
      avcodec_free_context(&dec[k]);
    }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avformat_close_input(&fc);
  for (double t : flashTimes) seen.flashes.push_back(t - firstPicture);
  for (double t : beepTimes) seen.beeps.push_back(t - firstPicture);
  return seen;
}

// Pictures of a constant-rate MPEG-1 video stream that would reach a
// decoder after their decoding time: the stream's bits arrive at the rate,
// the first picture is decoded after its vbv_delay, each next one a
// picture time later (in stream order).
int LatePictures(const std::string& path, double rate, double fps) {
  Bytes data = ReadBytes(path);
  std::vector<size_t> starts;  // where each picture's headers begin
  std::vector<size_t> pictures;
  size_t headers = std::string::npos;
  for (size_t i = 0; i + 8 <= data.size(); ++i) {
    if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1) continue;
    int code = data[i + 3];
    if ((code == 0xB3 || code == 0xB8) && headers == std::string::npos) headers = i;
    if (code == 0x00) {
      starts.push_back(headers != std::string::npos ? headers : i);
      pictures.push_back(i);
      headers = std::string::npos;
    }
  }
  if (pictures.empty()) return -1;
  const uint8_t* h = &data[pictures[0] + 4];
  int vbvDelay = ((h[1] & 7) << 13) | (h[2] << 5) | (h[3] >> 3);
  double first = vbvDelay / 90000.0 + pictures[0] * 8.0 / rate;
  int late = 0;
  for (size_t n = 0; n < pictures.size(); ++n) {
    size_t end = n + 1 < starts.size() ? starts[n + 1] : data.size();
    if (end * 8.0 / rate > first + n / fps + 1e-6) ++late;
  }
  return late;
}

double Nearest(const std::vector<double>& times, double t) {
  double best = 1e9;
  for (double x : times)
    if (std::fabs(x - t) < std::fabs(best - t)) best = x;
  return best;
}

struct Profile {
  long number;
  const char* name;
  int muxFormat;
  int width, height;
  double rate;
  double maxVideoBits;  // bits per second the video may average at most
  double bufferBits;    // its decoder buffer
};
const Profile kProfiles[] = {
    {2, "VCD PAL", 1, 352, 288, 25, 1150000, 40 * 1024 * 8},
    {4, "SVCD NTSC", 4, 480, 480, 30000.0 / 1001, 2500000, 224 * 1024 * 8},
    {6, "DVD NTSC", 8, 720, 480, 30000.0 / 1001, 8000000, 224 * 1024 * 8},
    {7, "DVD PAL", 8, 720, 576, 25, 8000000, 224 * 1024 * 8},
};

struct FileKind {
  const char* name;
  double start, stop;            // the clip; stop 0: to the end
  double length;                 // the clip's length
  std::vector<double> markers;   // source seconds with both a flash and a beep in the clip
  double aspect;                 // the shown picture's width / height; 0: not checked
  bool marked;                   // the light box shows which way is up
  int fields;                    // interlaced source: 1 top first, 2 bottom first; field rate 25 or 29.97
  double fieldRate;
};

const FileKind kKinds[] = {
    {"rot90.mp4", 0, 0, 4, {1, 3}, 9.0 / 16, true, 0, 0},
    {"rot180.mp4", 0, 0, 4, {1, 3}, 9.0 / 16, true, 0, 0},
    {"rot270.mp4", 0, 0, 4, {1, 3}, 9.0 / 16, true, 0, 0},
    {"mirror.mp4", 0, 0, 4, {1, 3}, 9.0 / 16, true, 0, 0},
    {"holed.mkv", 0, 0, 6, {1, 3, 5}, 16.0 / 9, true, 0, 0},
    {"holed.mkv", 2.3, 0, 3.7, {3, 5}, 16.0 / 9, true, 0, 0},  // a clip that starts mid-file, after the hole
    {"late.mkv", 0, 0, 14, {11, 13}, 16.0 / 9, true, 0, 0},
    {"layout.ts", 0, 0, 6, {1, 3, 5}, 352.0 / 288, true, 0, 0},
    {"vfr.mkv", 0, 0, 6, {1, 3, 5}, 16.0 / 9, true, 0, 0},
    {"vfr.mkv", 1.5, 4.5, 3, {3}, 16.0 / 9, true, 0, 0},
    {"short-video.mp4", 0, 0, 4, {1}, 16.0 / 9, true, 0, 0},
    {"editlist.mp4", 0, 0, 3.48, {3 - 2.52, 5 - 2.52}, 16.0 / 9, true, 0, 0},
    {"interlaced.ts", 0, 0, 3, {}, 0, false, 1, 25},
    {"interlaced480.ts", 0, 0, 3, {}, 0, false, 2, 30000.0 / 1001},
    {"busy.mp4", 0, 0, 8, {}, 0, false, 0, 0},
};

class Road : public ::testing::TestWithParam<Profile> {
protected:
  void SetUp() override {
    if (Kind("x").empty()) GTEST_SKIP() << "QUORBEL_CONVCTL_KINDS not set";
  }
};

TEST_P(Road, EveryKindMakesItsDisc) {
  const Profile& p = GetParam();
  const bool dvd = p.muxFormat == 8;
  for (const FileKind& k : kKinds) {
    SCOPED_TRACE(std::string(k.name) + " from " + std::to_string(k.start) + " s for " + p.name);
    const std::string stem = "road_" + std::to_string(p.number);
    ConvertRequest request;
    const std::string input = Kind(k.name), video = stem + "_vid.mpg", audio = stem + "_aud.mpg";
    request.input = input.c_str();
    request.videoOutput = video.c_str();
    request.audioOutput = audio.c_str();
    request.start = k.start;
    request.stop = k.stop;
    ASSERT_TRUE(TargetForProfile(p.number, dvd ? 6000 : 0, dvd ? 224 : 0, false, false, &request.target));
    Recorder recorder;
    std::string reason;
    ConvertReport report;
    ASSERT_EQ(kClipOk, ConvertClip(request, &recorder, &report, &reason)) << reason;
    EXPECT_NEAR(k.length, report.seconds, 0.05);
    // The video never needs more than the disc's rate (beyond what its
    // decoder buffer holds at the start).
    double videoBits = FileSize(video) * 8.0;
    EXPECT_LE(videoBits, p.maxVideoBits * report.seconds + p.bufferBits) << "video rate";
    if (p.muxFormat == 1) EXPECT_EQ(0, LatePictures(video, p.maxVideoBits, p.rate)) << "the constant rate's buffer ran dry";

    MuxJob mux;
    mux.formatCode = p.muxFormat;
    mux.video = video;
    mux.audio = audio;
    mux.output = stem + ".mpg";
    MuxOutcome muxed;
    ASSERT_EQ(0, RunMux(mux, &muxed)) << muxed.message;
    std::string watched = mux.output;
    if (dvd) {
      AuthorJob author;
      author.inputs.push_back(mux.output);
      author.discFolder = stem + "_disc";
      author.tvType = p.number == 7 ? 1 : 0;
      AuthorListener quiet;
      AuthorOutcome authored;
      ASSERT_TRUE(AuthorDvd(author, &quiet, &authored)) << authored.error;
      watched = author.discFolder + "/VIDEO_TS/VTS_01_1.VOB";
    }
    Seen seen = Watch(watched);
    EXPECT_EQ(p.width, seen.width);
    EXPECT_EQ(p.height, seen.height);
    EXPECT_EQ(dvd ? "ac3" : "mp2", seen.audioCodec);
    EXPECT_NEAR(k.length * p.rate, seen.pictures, 1.5);
    EXPECT_NEAR(k.length, seen.soundSeconds, 0.08);
    for (double m : k.markers) {
      double at = m - k.start;
      double flash = Nearest(seen.flashes, at), beep = Nearest(seen.beeps, at);
      EXPECT_NEAR(at, flash, 1.0 / p.rate + 0.01) << "the flash of the marker at " << m << " s";
      EXPECT_NEAR(flash, beep, 0.040) << "the beep of the marker at " << m << " s: flash at " << flash << " s";
    }
    if (k.aspect > 0) {
      // The content's shape on the screen: its pixels times their shape.
      ASSERT_GT(seen.right, seen.left);
      double shown = (seen.right - seen.left + 1) * av_q2d(seen.sar) / (seen.bottom - seen.top + 1);
      EXPECT_NEAR(k.aspect, shown, k.aspect * 0.04) << "the picture's shape";
    }
    if (k.marked) {
      EXPECT_LT(seen.boxX, 0.5) << "the picture is upright and not mirrored";
      EXPECT_LT(seen.boxY, 0.5) << "the picture is upright";
      EXPECT_GE(seen.boxX, 0);
    }
    if (k.fields != 0) {
      bool keep = p.number != 2 && p.height == (k.fields == 1 ? 576 : 480) && std::fabs(p.rate - k.fieldRate) < 0.01;
      EXPECT_EQ(keep ? seen.pictures : 0, seen.interlaced) << "pictures coded as fields";
      if (keep) EXPECT_EQ(k.fields == 1 ? seen.pictures : 0, seen.topFirst) << "field order";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Profiles, Road, ::testing::ValuesIn(kProfiles),
                         [](const ::testing::TestParamInfo<Profile>& info) {
                           return std::string("profile") + std::to_string(info.param.number);
                         });

// Stop is seen between any two pictures: on a file whose second picture
// comes an hour after its first, a stop asked for after 5 s of output ends
// the conversion there, not an hour of pictures later.
TEST(RoadStop, EndsBetweenRepeatedPictures) {
  if (Kind("x").empty()) GTEST_SKIP() << "QUORBEL_CONVCTL_KINDS not set";
  class StopAfter : public Recorder {
  public:
    bool Continue() override { return positions.empty() || positions.back() < 5.0; }
  } stopper;
  ConvertRequest request;
  const std::string input = Kind("hourgap.mkv");
  request.input = input.c_str();
  request.videoOutput = "stop_vid.mpg";
  request.audioOutput = "stop_aud.mpg";
  ASSERT_TRUE(TargetForProfile(7, 6000, 224, false, false, &request.target));
  std::string reason;
  EXPECT_EQ(kClipCancelled, ConvertClip(request, &stopper, nullptr, &reason)) << reason;
  ASSERT_FALSE(stopper.positions.empty());
  EXPECT_LT(stopper.positions.back(), 5.1);
  EXPECT_FALSE(FileExists("stop_vid.mpg"));
  EXPECT_FALSE(FileExists("stop_aud.mpg"));
}

// Peak memory of a conversion in a child process, kilobytes.
long PeakKilobytes(const std::string& input, long profile, double stop) {
  pid_t child = fork();
  if (child == 0) {
    ConvertRequest request;
    request.input = input.c_str();
    request.videoOutput = "memory_vid.mpg";
    request.audioOutput = "memory_aud.mpg";
    request.stop = stop;
    TargetForProfile(profile, 6000, 224, false, false, &request.target);
    Recorder recorder;
    _exit(ConvertClip(request, &recorder, nullptr, nullptr));
  }
  int status = 0;
  struct rusage usage;
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

// Memory stays flat: ten times the length of held picture and missing
// sound takes no more memory than the short clip.
TEST(RoadMemory, HeldPicturesAndSilenceStayFlat) {
  if (Kind("x").empty()) GTEST_SKIP() << "QUORBEL_CONVCTL_KINDS not set";
  long shortClip = PeakKilobytes(Kind("hourgap.mkv"), 2, 12);
  long longClip = PeakKilobytes(Kind("hourgap.mkv"), 2, 120);
  ASSERT_GT(shortClip, 0);
  ASSERT_GT(longClip, 0);
  EXPECT_LT(longClip, shortClip * 1.2) << "peak " << shortClip << " kB for 12 s, " << longClip << " kB for 120 s";
}

}  // namespace
