// What the conversion control does with an ordinary video file (AVI, MP4,
// WMV, MOV, MKV, ...), through FFmpeg's libraries and without any Windows
// code: it probes the file, and it converts a clip of it into the video
// and audio elementary streams of a disc profile (MPEG-1 or MPEG-2 video,
// MPEG layer II or AC-3 audio), re-encoding both. It also says whether a
// program stream fits a profile as it is, to be copied instead.
#pragma once

#include <string>

#include "standins/convctl/ps_demux.h"

namespace convctl {

// What a probe learns about a file.
struct MediaInfo {
  bool video = false;       // a video stream we can decode
  bool audio = false;       // an audio stream we can decode
  double duration = 0;      // seconds; 0 when unknown
  double frameRate = 0;     // frames per second
  int width = 0, height = 0;
  int videoBitRate = 0;     // bits per second, 0 when the file does not say
  std::string description;  // "AVI: H.264 1280x720 25.00 fps, AAC 48000 Hz stereo"
  std::string reason;       // why the file cannot be used ("" when it can)
};

// Reads the file's headers (and a little of its streams) with FFmpeg.
// Returns true when the file has decodable video and audio and a duration;
// otherwise *info says why in reason, its flags off and its duration 0.
bool ProbeMedia(const char* path, MediaInfo* info);

// The streams a profile needs.
struct TargetFormat {
  int mpegVersion = 1;            // 1 MPEG-1 video (VCD), 2 MPEG-2
  int width = 352, height = 288;
  int rateNum = 25, rateDen = 1;  // frame rate
  int gop = 15;                   // pictures per GOP
  int videoBitRate = 1150000;     // average, bits per second
  int videoMaxRate = 1150000;     // 0: no maximum
  int videoMinRate = 1150000;     // constant rate when equal to the average
  int vbvBits = 40 * 1024 * 8;    // decoder buffer
  bool wide = false;              // 16:9 display, else 4:3
  bool crop = false;              // fill the picture by cutting the source's edges, else pad
  bool ac3 = false;               // AC-3 sound (DVD), else MPEG layer II; stereo either way
  int sampleRate = 44100;
  int audioBitRate = 224000;
};

// The format of a profile (1, 2 VCD; 4, 5 SVCD; 6, 7 DVD); false for
// another number. A positive videoKbit or audioKbit replaces the profile's
// average video rate (within its maximum) or its audio rate.
bool TargetForProfile(long profile, long videoKbit, long audioKbit, bool wide, bool crop, TargetFormat* target);

// Why a program stream cannot be copied onto the profile's disc as it is:
// "" when all of it fits (video codec, size, frame rate and bit rate; sound
// codec, sample rate, channels and bit rate).
std::string CopyMismatch(const SourceInfo& source, long profile);

// Where the source's picture goes in the target's: the part of the source
// taken (crop) and the rectangle of the target it fills (pad). Never
// stretched: the source's display shape is kept. Even numbers throughout.
struct PictureFit {
  int srcX = 0, srcY = 0, srcW = 0, srcH = 0;
  int dstX = 0, dstY = 0, dstW = 0, dstH = 0;
};
PictureFit FitPicture(int srcW, int srcH, double srcSampleAspect, const TargetFormat& target);

struct ConvertRequest {
  const char* input = nullptr;
  const char* videoOutput = nullptr;
  const char* audioOutput = nullptr;
  double start = 0;  // seconds from the file's start
  double stop = 0;   // the same; <= start means "to the end"
  TargetFormat target;
};

struct ConvertReport {
  int videoFrames = 0;
  int audioFrames = 0;
  double seconds = 0;  // length of the written clip
};

// Converts [start, stop) into the two elementary streams. kClipOk, or a
// ClipResult failure with *reason saying why; on failure or cancel no
// output file is left.
int ConvertClip(const ConvertRequest& request, ClipObserver* observer, ConvertReport* report,
                std::string* reason);

}  // namespace convctl
