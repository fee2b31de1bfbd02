// The conversion control's probe of ordinary video files on arbitrary
// bytes: FFmpeg's demuxers behind it must end without a crash, a leak or a
// hang, and a file it accepts must convert or refuse cleanly.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "standins/convctl/media_convert.h"

namespace {

// A short clip at most: the fuzzer wants many runs, not long ones.
class Budget : public convctl::ClipObserver {
public:
  bool Continue() override { return ++calls_ < 2000; }
  void Progress(double) override {}

private:
  int calls_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string base = "/tmp/convctl_media_fuzz_" + std::to_string(getpid());
  const std::string input = base + ".bin", video = base + "_vid.mpg", audio = base + "_aud.mpg";
  FILE* f = fopen(input.c_str(), "wb");
  if (f == nullptr) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  convctl::MediaInfo info;
  if (convctl::ProbeMedia(input.c_str(), &info)) {
    convctl::ConvertRequest request;
    request.input = input.c_str();
    request.videoOutput = video.c_str();
    request.audioOutput = audio.c_str();
    request.stop = 0.5;
    convctl::TargetForProfile(2, 0, 0, false, false, &request.target);
    Budget budget;
    std::string reason;
    convctl::ConvertClip(request, &budget, nullptr, &reason);
    remove(video.c_str());
    remove(audio.c_str());
  }
  remove(input.c_str());
  return 0;
}
