// The CD-writing stand-in's video scanner decides, from the image builder's
// scan of an MPEG file, whether the file can go onto a VideoCD or a SuperVCD
// as it is.
#pragma once

#include <string>

#include "discimage/mpeg/mpeg_info.h"

struct VideoVerdict {
  bool compatible = false;
  std::string reason;   // why not, for the trace
  int mpegVersion = 0;
  int width = 0;
  int height = 0;
  int bitRate = 0;      // bits/s
  double frameRate = 0;
  int durationMs = 0;
  int audioStreams = 0;
};

// projectType: 3 VideoCD, 4 SuperVCD. packetSize: bytes of the file's first
// pack (a disc track is made of 2324-byte packs).
VideoVerdict JudgeVideo(const MpegStreamInfo& info, int projectType, int packSize);
