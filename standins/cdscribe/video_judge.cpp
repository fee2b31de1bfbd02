#include "standins/cdscribe/video_judge.h"

VideoVerdict JudgeVideo(const MpegStreamInfo& info, int projectType, int packSize) {
  VideoVerdict verdict;
  const MpegVideoInfo& video = info.video[0];
  verdict.mpegVersion = info.version;
  verdict.width = video.horizontalSize;
  verdict.height = video.verticalSize;
  verdict.bitRate = video.bitRate;
  verdict.frameRate = video.frameRate;
  verdict.durationMs = static_cast<int>(info.playingTime * 1000.0 + 0.5);
  for (int i = 0; i < kMpegStreamSlots; ++i)
    if (info.audio[i].seen) ++verdict.audioStreams;

  const bool vcd = projectType == 3;
  int format = ClassifyVideo(&video);
  if (!video.seen) {
    verdict.reason = "no video stream";
  } else if (info.version != (vcd ? 1 : 2)) {
    verdict.reason = vcd ? "a VideoCD needs an MPEG-1 stream" : "a SuperVCD needs an MPEG-2 stream";
  } else if (vcd && format != kMpegVideoPalSif && format != kMpegVideoNtscSif && format != kMpegVideoFilmSif) {
    verdict.reason = "a VideoCD needs 352x288 at 25 fps or 352x240 at 29.97/23.976 fps";
  } else if (!vcd && format == kMpegVideoUnknown) {
    verdict.reason = "picture size or frame rate unfit for a SuperVCD";
  } else if (packSize != kMpegPacketSize) {
    verdict.reason = "packs are not 2324 bytes";
  } else {
    verdict.compatible = true;
    for (int i = 0; i < kMpegStreamSlots; ++i) {
      const MpegAudioInfo& audio = info.audio[i];
      if (audio.seen && (audio.layer != 2 || audio.samplingRate != 44100)) {
        verdict.compatible = false;
        verdict.reason = "audio must be MPEG layer II at 44.1 kHz";
      }
    }
  }
  return verdict;
}
