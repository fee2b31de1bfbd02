// What the CD-writing stand-in reads and judges: cue sheets into per-track
// byte ranges, and its video scanner's verdict for VideoCD and SuperVCD.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "standins/cdscribe/cue_sheet.h"
#include "standins/cdscribe/video_judge.h"

namespace {

TEST(CueSheet, TracksBecomeByteRanges) {
  const std::string sheet =
      "FILE \"VideoCD.bin\" BINARY\r\n"
      "  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n"
      "  TRACK 02 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 00 00:04:00\r\n    INDEX 01 00:06:00\r\n"
      "  TRACK 03 MODE2/2352\r\n    INDEX 01 00:10:00\r\n";
  std::vector<CueFile> files;
  std::string error;
  ASSERT_EQ(0, ParseCueSheet(sheet, &files, &error)) << error;
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ("VideoCD.bin", files[0].name);
  ASSERT_EQ(3u, files[0].tracks.size());
  EXPECT_EQ(300, files[0].tracks[1].firstSector) << "a track starts at its pregap";
  std::vector<TrackRange> ranges;
  ASSERT_TRUE(TrackRanges(files[0], 1000LL * 2352, &ranges));
  ASSERT_EQ(3u, ranges.size());
  EXPECT_EQ(0, ranges[0].offset);
  EXPECT_EQ(300, ranges[0].sectors);
  EXPECT_EQ(300LL * 2352, ranges[1].offset);
  EXPECT_EQ(450, ranges[1].sectors);
  EXPECT_EQ(250, ranges[2].sectors);
  EXPECT_FALSE(TrackRanges(files[0], 700LL * 2352, &ranges)) << "the file ends inside track 3";
  EXPECT_FALSE(TrackRanges(files[0], 1000LL * 2352 + 7, &ranges)) << "not whole sectors";
}

TEST(CueSheet, RefusesWhatItCannotWrite) {
  const struct {
    const char* what;
    const char* sheet;
  } rows[] = {
      {"no FILE", "TRACK 01 MODE2/2352\nINDEX 01 00:00:00\n"},
      {"unknown mode", "FILE a.bin BINARY\nTRACK 01 MODE7/1\nINDEX 01 00:00:00\n"},
      {"no INDEX", "FILE a.bin BINARY\nTRACK 01 MODE2/2352\n"},
      {"bad time", "FILE a.bin BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:61:00\n"},
      {"time goes back", "FILE a.bin BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:05:00\n"
                         "TRACK 02 MODE2/2352\nINDEX 01 00:01:00\n"},
      {"unterminated name", "FILE \"a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
      {"empty", ""},
  };
  for (const auto& row : rows) {
    std::vector<CueFile> files;
    std::string error;
    EXPECT_EQ(-1, ParseCueSheet(row.sheet, &files, &error)) << row.what;
    EXPECT_FALSE(error.empty()) << row.what;
  }
}

MpegStreamInfo Stream(int version, int width, int height, double rate, int layer, int samplingRate) {
  MpegStreamInfo info;
  memset(&info, 0, sizeof info);
  info.version = version;
  info.video[0].seen = 1;
  info.video[0].horizontalSize = width;
  info.video[0].verticalSize = height;
  info.video[0].frameRate = rate;
  info.playingTime = 3.0;
  if (layer > 0) {
    info.audio[0].seen = 1;
    info.audio[0].layer = layer;
    info.audio[0].samplingRate = samplingRate;
  }
  return info;
}

TEST(VideoJudge, FitsTheDiscType) {
  const struct {
    const char* what;
    MpegStreamInfo info;
    int project;
    int pack;
    bool compatible;
  } rows[] = {
      {"PAL VCD", Stream(1, 352, 288, 25.0, 2, 44100), 3, 2324, true},
      {"NTSC VCD", Stream(1, 352, 240, 29.97, 2, 44100), 3, 2324, true},
      {"VCD without audio", Stream(1, 352, 288, 25.0, 0, 0), 3, 2324, true},
      {"MPEG-2 for a VCD", Stream(2, 352, 288, 25.0, 2, 44100), 3, 2324, false},
      {"D1 picture for a VCD", Stream(1, 720, 576, 25.0, 2, 44100), 3, 2324, false},
      {"2048-byte packs", Stream(1, 352, 288, 25.0, 2, 44100), 3, 2048, false},
      {"48 kHz audio", Stream(1, 352, 288, 25.0, 2, 48000), 3, 2324, false},
      {"layer III audio", Stream(1, 352, 288, 25.0, 3, 44100), 3, 2324, false},
      {"PAL SVCD", Stream(2, 480, 576, 25.0, 2, 44100), 4, 2324, true},
      {"MPEG-1 for an SVCD", Stream(1, 480, 576, 25.0, 2, 44100), 4, 2324, false},
      {"odd size for an SVCD", Stream(2, 640, 480, 29.97, 2, 44100), 4, 2324, false},
  };
  for (const auto& row : rows) {
    VideoVerdict verdict = JudgeVideo(row.info, row.project, row.pack);
    EXPECT_EQ(row.compatible, verdict.compatible) << row.what << ": " << verdict.reason;
    EXPECT_EQ(verdict.compatible, verdict.reason.empty()) << row.what;
    EXPECT_EQ(3000, verdict.durationMs);
  }
  MpegStreamInfo noVideo = Stream(1, 352, 288, 25.0, 2, 44100);
  noVideo.video[0].seen = 0;
  EXPECT_FALSE(JudgeVideo(noVideo, 3, 2324).compatible);
}

}  // namespace
