// Image build benchmark, as a user sees it: the whole zrdiscbuild process
// building a cue/bin image of 10 minutes of VideoCD video, timed against
// the whole process of a user-space copy of the same file (dd, 128 KiB
// blocks), the two taking turns round by round with the source in the page
// cache and each writing a new file; the median of the rounds' ratios is
// the result. `cat source > copy` runs in the same rounds for comparison
// only: GNU cat copies inside the kernel where it can (copy_file_range), so
// no byte of its copy passes through a program and its time moves with the
// kernel and the file system. The start-up alone (zrdiscbuild -V against cat of
// nothing) and the peak memory of builds of 1, 10 and 60 minutes are
// reported too.
//
// It reports and does not judge; the exit status is non-zero only when an
// input cannot be made or a build fails.
//
//   build_bench <zrdiscbuild> <60 s VideoCD stream> <work folder> [rounds]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
  double seconds = -1;  // wall time from spawn to exit; -1 when it failed
  long peakKiB = 0;     // largest resident set
};

// Runs argv with stdout to outPath (truncated) and stderr to /dev/null,
// from the current folder.
Run Spawn(const std::vector<std::string>& argv, const char* outPath) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Run run;
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return run;
  auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return run;
  run.seconds = std::chrono::duration<double>(end - start).count();
  run.peakKiB = usage.ru_maxrss;
  return run;
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

long long SizeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// minutes of video: the 60 s stream looped and remuxed (not re-encoded)
// into VideoCD packs.
bool MakeSource(const std::string& one, int minutes, const std::string& path) {
  if (Exists(path)) return true;
  std::string command = "ffmpeg -nostdin -v error -y -stream_loop " + std::to_string(minutes - 1) +
                        " -i '" + one + "' -c copy -f vcd -packetsize 2324 -muxrate 1411200 '" +
                        path + ".tmp' && mv '" + path + ".tmp' '" + path + "'";
  return system(command.c_str()) == 0;
}

bool WriteProject(const std::string& path, const std::string& source) {
  FILE* f = fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  fprintf(f,
          "<?xml version=\"1.0\"?>\n"
          "<!DOCTYPE videocd PUBLIC \"-//Ostrel//DTD VideoCD//EN\" "
          "\"http://www.quorbel.example/dtd/videocd-1.0.dtd\">\n"
          "<videocd xmlns=\"http://www.quorbel.example/ns/videocd/1.0\" class=\"vcd\" version=\"2.0\">\n"
          "  <info/>\n  <pvd><volume-id>BENCH</volume-id></pvd>\n"
          "  <sequence-items><sequence-item id=\"movie\" src=\"%s\"/></sequence-items>\n"
          "</videocd>\n",
          source.c_str());
  return fclose(f) == 0;
}

// Reads the whole file once, so that every run finds it in the page cache.
void Warm(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return;
  static char chunk[1 << 20];
  while (fread(chunk, 1, sizeof chunk, f) == sizeof chunk) {
  }
  fclose(f);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<std::string> Build(const std::string& exe, const std::string& name) {
  return {exe, "-x", name + ".xml", "-c", name + ".cue", "-v", "3"};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: %s <zrdiscbuild> <60 s VideoCD stream> <work folder> [rounds]\n", argv[0]);
    return 2;
  }
  char resolved[4096];
  if (realpath(argv[1], resolved) == nullptr) return 2;
  const std::string exe = resolved;
  if (realpath(argv[2], resolved) == nullptr) return 2;
  const std::string one = resolved;
  const int rounds = argc > 4 ? std::max(1, atoi(argv[4])) : 9;
  mkdir(argv[3], 0755);
  if (chdir(argv[3]) != 0) return 2;

  const int kMinutes[] = {1, 10, 60};
  for (int minutes : kMinutes) {
    std::string name = "m" + std::to_string(minutes);
    std::string source = minutes == 1 ? one : name + ".mpg";
    if (!MakeSource(one, minutes, source) || !WriteProject(name + ".xml", source)) {
      fprintf(stderr, "bench: could not make the %d-minute source\n", minutes);
      return 1;
    }
  }

  // Ten minutes, in turns: cat, the build, the user-space copy.
  Warm("m10.mpg");
  if (Spawn(Build(exe, "m10"), "/dev/null").seconds < 0) {
    fprintf(stderr, "bench: the build failed\n");
    return 1;
  }
  // Each run writes a new file, as a user's build does: truncating the last
  // round's output would wait for its write-back to the disk.
  auto fresh = [] {
    unlink("copy.mpg");
    unlink("m10.bin");
    unlink("m10.cue");
  };
  std::vector<double> cat, build, copy, overCat, overCopy;
  for (int i = 0; i < rounds; ++i) {
    fresh();
    Run c = Spawn({"cat", "m10.mpg"}, "copy.mpg");
    fresh();
    Run b = Spawn(Build(exe, "m10"), "/dev/null");
    fresh();
    Run d = Spawn({"dd", "if=m10.mpg", "of=copy.mpg", "bs=128k"}, "/dev/null");
    if (c.seconds <= 0 || b.seconds <= 0 || d.seconds <= 0) {
      fprintf(stderr, "bench: a run failed\n");
      return 1;
    }
    cat.push_back(c.seconds);
    build.push_back(b.seconds);
    copy.push_back(d.seconds);
    overCat.push_back(b.seconds / c.seconds);
    overCopy.push_back(b.seconds / d.seconds);
  }
  const long long bytes = SizeOf("m10.mpg");
  fresh();
  Spawn(Build(exe, "m10"), "/dev/null");
  const long long image = SizeOf("m10.bin");

  // Start-up alone: the version text against cat of nothing.
  std::vector<double> startBuild, startCat;
  for (int i = 0; i < rounds; ++i) {
    startCat.push_back(Spawn({"cat", "/dev/null"}, "/dev/null").seconds);
    startBuild.push_back(Spawn({exe, "-V"}, "/dev/null").seconds);
  }

  // Peak memory by length; the 60-minute image goes once measured.
  long peak[3] = {0, 0, 0};
  for (int k = 0; k < 3; ++k) {
    std::string name = "m" + std::to_string(kMinutes[k]);
    Warm(name + ".mpg");
    Run run = Spawn(Build(exe, name), "/dev/null");
    if (run.seconds < 0) {
      fprintf(stderr, "bench: the %d-minute build failed\n", kMinutes[k]);
      return 1;
    }
    peak[k] = run.peakKiB;
  }
  // The 60-minute files are made again in a few seconds: they do not stay.
  unlink("m60.bin");
  unlink("m60.mpg");
  unlink("copy.mpg");

  printf("VideoCD image build benchmark, whole processes (%d rounds in turns, source in the page cache)\n",
         rounds);
  printf("  source: 10 minutes of VCD video, %lld bytes; image: %lld bytes\n", bytes, image);
  printf("  cat source > copy       %7.1f ms median  (GNU cat copies in the kernel: copy_file_range)\n",
         Median(cat) * 1000);
  printf("  dd, 128 KiB blocks      %7.1f ms median  (a copy through user space)\n", Median(copy) * 1000);
  printf("  zrdiscbuild (cue/bin)   %7.1f ms median\n", Median(build) * 1000);
  // dd is the baseline: cat's time moves with the kernel and the file
  // system. The build must not fall behind about 1.9 times dd's copy.
  printf("  build / dd  = %.2f, median of the rounds' ratios (the baseline; at most about 1.9)\n",
         Median(overCopy));
  printf("  build / cat = %.2f, median of the rounds' ratios (cat's time moves with the kernel)\n",
         Median(overCat));
  printf("  start-up: zrdiscbuild -V %.1f ms, cat /dev/null %.1f ms (medians)\n", Median(startBuild) * 1000,
         Median(startCat) * 1000);
  printf("  peak resident memory: 1 minute %ld KiB, 10 minutes %ld KiB, 60 minutes %ld KiB\n", peak[0],
         peak[1], peak[2]);
  return 0;
}
