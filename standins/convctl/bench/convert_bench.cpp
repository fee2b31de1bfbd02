// Conversion benchmark: the conversion control's converter turning a 60 s
// 1280x720 H.264/AAC clip into PAL DVD streams, next to ffmpeg's own
// command line (-target pal-dvd) on the same clip, alternately in the same
// run, on the wall clock (both use every core). It reports and does not
// judge; the exit status is non-zero only when a conversion fails.
//
//   convctl_convert_bench <clip.mp4> <output folder> [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "standins/convctl/media_convert.h"

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

class Go : public convctl::ClipObserver {
public:
  bool Continue() override { return true; }
  void Progress(double) override {}
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s <clip> <output folder> [rounds]\n", argv[0]);
    return 2;
  }
  const std::string clip = argv[1], out = argv[2];
  int rounds = argc > 3 ? std::max(1, atoi(argv[3])) : 2;
  const std::string video = out + "/bench_vid.mpg", audio = out + "/bench_aud.mpg", theirs = out + "/bench_ffmpeg.mpg";
  std::vector<double> ours, cli, ratios;
  for (int round = 0; round < rounds; ++round) {
    convctl::ConvertRequest request;
    request.input = clip.c_str();
    request.videoOutput = video.c_str();
    request.audioOutput = audio.c_str();
    convctl::TargetForProfile(7, 6000, 224, false, false, &request.target);
    Go go;
    std::string reason;
    double t0 = Now();
    int result = convctl::ConvertClip(request, &go, nullptr, &reason);
    double t1 = Now();
    if (result != convctl::kClipOk) {
      fprintf(stderr, "the control's conversion failed: %s\n", reason.c_str());
      return 1;
    }
    std::string command = "ffmpeg -nostdin -v error -y -i '" + clip + "' -target pal-dvd '" + theirs + "'";
    double t2 = Now();
    if (system(command.c_str()) != 0) {
      fprintf(stderr, "ffmpeg failed: %s\n", command.c_str());
      return 1;
    }
    double t3 = Now();
    ours.push_back(t1 - t0);
    cli.push_back(t3 - t2);
    ratios.push_back((t1 - t0) / (t3 - t2));
    printf("round %d: control %.2f s, ffmpeg -target pal-dvd %.2f s, ratio %.2f\n", round + 1, t1 - t0, t3 - t2,
           (t1 - t0) / (t3 - t2));
  }
  printf("conversion for PAL DVD of %s: control %.2f s, ffmpeg %.2f s (medians); ratio %.2f (target at most 1.1)\n",
         clip.c_str(), Median(ours), Median(cli), Median(ratios));
  remove(video.c_str());
  remove(audio.c_str());
  remove(theirs.c_str());
  return 0;
}
