// Elementary-stream indexing on arbitrary bytes, as video and as audio (MPEG
// audio or AC-3); when both index and the DVD carries the audio, a pack plan
// over them must end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "standins/mux/es_index.h"
#include "standins/mux/mux.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VideoStreamInfo videoInfo;
  AudioStreamInfo audioInfo;
  EsIndex video, audio;
  int v = IndexVideoBytes(data, size, &videoInfo, &video);
  int a = IndexAudioBytes(data, size, &audioInfo, &audio);
  MuxFormat format;
  MuxFormatFor(8, &format);
  std::string why;
  if (v == kIndexOk && a == kIndexOk && size < 8192 && CarryAudio(audioInfo, &format, &why)) {
    MuxPlan plan;
    PlanPacks(format, video, audio, 27000000, 0, &plan);
  }
  return 0;
}
