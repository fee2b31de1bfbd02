// The stand-ins' road for one source file, natively, for `make run`: the
// conversion control's converter makes the profile's two streams, the
// multiplexer joins them into a program stream, and for a DVD profile the
// authoring stand-in makes a VIDEO_TS of it.
//
//   quorbel_sample_job <source> <profile 1-7> <output folder>
// writes <folder>/sample_vid.mpg, sample_aud.mpg, sample.mpg and, for
// profiles 6 and 7, <folder>/dvd/VIDEO_TS.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "standins/convctl/media_convert.h"
#include "standins/dvdauthor/author_core.h"
#include "standins/mux/mux.h"

namespace {

class Go : public convctl::ClipObserver {
public:
  bool Continue() override { return true; }
  void Progress(double) override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s <source> <profile 1-7> <output folder>\n", argv[0]);
    return 2;
  }
  const std::string source = argv[1], folder = argv[3];
  long profile = atol(argv[2]);
  convctl::MediaInfo info;
  if (!convctl::ProbeMedia(source.c_str(), &info)) {
    fprintf(stderr, "%s: %s\n", source.c_str(), info.reason.c_str());
    return 1;
  }
  printf("Source: %s\n  %s, %.2f s\n", source.c_str(), info.description.c_str(), info.duration);
  const bool dvd = profile == 6 || profile == 7;
  convctl::ConvertRequest request;
  const std::string video = folder + "/sample_vid.mpg", audio = folder + "/sample_aud.mpg";
  request.input = source.c_str();
  request.videoOutput = video.c_str();
  request.audioOutput = audio.c_str();
  if (!convctl::TargetForProfile(profile, dvd ? 6000 : 0, dvd ? 224 : 0, false, false, &request.target)) {
    fprintf(stderr, "unknown profile %ld\n", profile);
    return 2;
  }
  std::string reason;
  convctl::ConvertReport report;
  Go go;
  int result = convctl::ConvertClip(request, &go, &report, &reason);
  if (result != convctl::kClipOk) {
    fprintf(stderr, "conversion failed: %s\n", reason.c_str());
    return 1;
  }
  printf("Conversion control: %s, %s (%d pictures, %d audio frames, %.2f s)\n", video.c_str(), audio.c_str(),
         report.videoFrames, report.audioFrames, report.seconds);

  MuxJob mux;
  mux.formatCode = dvd ? 8 : (profile <= 2 ? 1 : 4);
  mux.video = video;
  mux.audio = audio;
  mux.output = folder + "/sample.mpg";
  MuxOutcome muxed;
  if (RunMux(mux, &muxed) != 0) {
    fprintf(stderr, "multiplexing failed: %s\n", muxed.message.c_str());
    return 1;
  }
  printf("Multiplexer: %s (%lld packs)\n", mux.output.c_str(), static_cast<long long>(muxed.packs));
  if (!dvd) return 0;

  AuthorJob author;
  author.inputs.push_back(mux.output);
  author.discFolder = folder + "/dvd";
  author.tvType = profile == 7 ? 1 : 0;
  AuthorListener quiet;
  AuthorOutcome authored;
  if (!AuthorDvd(author, &quiet, &authored)) {
    fprintf(stderr, "authoring failed: %s\n", authored.error.c_str());
    return 1;
  }
  printf("DVD authoring: %s/VIDEO_TS (%d VOBUs, %lld sectors)\n", author.discFolder.c_str(), authored.vobus,
         static_cast<long long>(authored.vobSectors));
  return 0;
}
