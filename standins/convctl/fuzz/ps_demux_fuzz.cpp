// The conversion control's probe and cut on arbitrary bytes: both must end
// without reading outside what they were given.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "standins/convctl/ps_demux.h"

namespace {

class Go : public convctl::ClipObserver {
public:
  bool Continue() override { return true; }
  void Progress(double) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string base = "/tmp/convctl_fuzz_" + std::to_string(getpid());
  const std::string input = base + ".mpg", video = base + "_vid.mpg", audio = base + "_aud.mpg";
  FILE* f = fopen(input.c_str(), "wb");
  if (f == nullptr) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  convctl::SourceInfo info;
  if (convctl::ProbeSource(input.c_str(), &info) == convctl::kProbeOk) {
    convctl::ClipRequest request;
    request.input = input.c_str();
    request.videoOutput = video.c_str();
    request.audioOutput = audio.c_str();
    request.start = size > 0 ? data[0] / 100.0 : 0;
    request.stop = request.start + 1.0;
    convctl::ClipReport report;
    Go go;
    convctl::CutClip(request, info, &go, &report);
  }
  // Units straight from memory too.
  for (size_t at = 0; at < size;) {
    convctl::PsUnit unit;
    int taken = convctl::ParsePsUnit(data + at, size - at, &unit);
    at += taken > 0 ? static_cast<size_t>(taken) : 1;
  }
  remove(video.c_str());
  remove(audio.c_str());
  return 0;
}
