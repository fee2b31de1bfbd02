// Scan benchmark: how fast an MPEG source is scanned (and its packets read
// back for writing) next to a plain sequential read of the same file, all in
// the same run: with the file in the page cache (the read is then a memory
// copy, the hardest baseline; the processor time counts the work of the
// thread that reads ahead too, so it is work, not waiting), and, on Linux, with the file dropped from the
// cache before every run (the read then comes from the disk, as in a build).
// It reports and does not judge; the exit status is non-zero only when the
// file cannot be read or scanned at all.
//
//   mpeg_scan_bench <file.mpg> [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#ifdef __linux__
#include <fcntl.h>
#include <time.h>
#include <unistd.h>
#endif

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/base/vcd_messages.h"

namespace {

// Seconds on a clock: the process's processor time (user and system, so
// the kernel's copying counts) where there is one, which other programs
// running at the same time disturb far less than the wall clock; else the
// wall clock.
double Now(bool processorTime) {
#ifdef __linux__
  if (processorTime) {
    timespec t;
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) == 0) return t.tv_sec + t.tv_nsec * 1e-9;
  }
#endif
  (void)processorTime;
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One kind of run: what it does, an untimed setup before each run, the
// fastest time seen (-2 once a run failed) and every time in round order.
struct Measure {
  std::function<bool()> run;
  std::function<bool()> setup;
  bool processorTime;
  double best;
  std::vector<double> times;
};

// The median over the rounds of one measure's time over another's in the
// same round: steadier than a ratio of two bests when the machine is busy.
double MedianRatio(const Measure& a, const Measure& b) {
  std::vector<double> ratios;
  for (size_t i = 0; i < a.times.size() && i < b.times.size(); ++i)
    if (b.times[i] > 0) ratios.push_back(a.times[i] / b.times[i]);
  if (ratios.empty()) return 0;
  std::sort(ratios.begin(), ratios.end());
  return ratios[ratios.size() / 2];
}

// Runs every measure rounds times, taking turns, so that whatever else the
// machine does at the time weighs on all of them alike; keeps the fastest.
void RunInTurns(std::vector<Measure*>& measures, int rounds) {
  for (int i = 0; i < rounds; ++i)
    for (Measure* m : measures) {
      if (m->best == -2) continue;
      if (m->setup && !m->setup()) {
        m->best = -2;
        continue;
      }
      double start = Now(m->processorTime);
      bool ok = m->run();
      double seconds = Now(m->processorTime) - start;
      if (!ok) {
        m->best = -2;
        continue;
      }
      m->times.push_back(seconds);
      if (m->best < 0 || seconds < m->best) m->best = seconds;
    }
}

// fread in chunks of chunk bytes through a 64 KiB stdio buffer (what every
// stream of the builder has); checks that every byte arrived.
bool PlainRead(const char* path, size_t chunk, long long expected) {
  FILE* file = fopen(path, "rb");
  if (file == NULL) return false;
  static char buffer[0x10000];
  setvbuf(file, buffer, _IOFBF, sizeof buffer);
  std::vector<unsigned char> data(chunk);
  long long total = 0;
  size_t n;
  while ((n = fread(data.data(), 1, chunk, file)) > 0) total += static_cast<long long>(n);
  fclose(file);
  return total == expected;
}

// Drops the file's pages from the cache, where the system lets us; false
// where it cannot.
bool Evict(const char* path) {
#ifdef __linux__
  int fd = open(path, O_RDONLY);
  if (fd < 0) return false;
  bool done = fdatasync(fd) == 0 && posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
  close(fd);
  return done;
#else
  (void)path;
  return false;
#endif
}

void Line(const char* what, double seconds, long long bytes) {
  printf("  %-40s %8.2f ms  %9.1f MB/s\n", what, seconds * 1000.0,
         static_cast<double>(bytes) / seconds / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s <file.mpg> [rounds]\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  int rounds = argc > 2 ? atoi(argv[2]) : 25;
  if (rounds < 1) rounds = 1;

  CVcdMessageSink sink;
  sink.SetLevel(kVcdLevelQuiet);

  // One scan first: checks the file and brings it into the page cache.
  int packets = 0;
  long long size = 0;
  {
    CVcdMpegSource source(&sink, path);
    if (source.Scan(1, 0, path) != kMpegScanOk) {
      fprintf(stderr, "cannot scan %s\n", path);
      return 1;
    }
    packets = source.GetStreamInfo()->packetCount;
    size = source.Size();
  }
  if (packets <= 0 || size <= 0) {
    fprintf(stderr, "nothing to measure in %s\n", path);
    return 1;
  }

  auto scanOnce = [&] {
    CVcdMpegSource source(&sink, path);
    return source.Scan(1, 0, path) == kMpegScanOk && source.GetStreamInfo()->packetCount == packets;
  };
  auto scanAndReadOnce = [&] {
    CVcdMpegSource source(&sink, path);
    if (source.Scan(1, 1, path) != kMpegScanOk) return false;
    unsigned char packet[kMpegPacketSize];
    MpegPacketInfo info;
    for (int i = 0; i < packets; ++i)
      if (source.ReadPacket(i, packet, &info, 1) != 0) return false;
    return true;
  };
  Measure read64k = {[&] { return PlainRead(path, 0x10000, size); }, nullptr, true, -1, {}};
  Measure readBlocks = {
      [&] { return PlainRead(path, kMpegPacketSize, size); }, nullptr, true, -1, {}};
  Measure scan = {scanOnce, nullptr, true, -1, {}};
  Measure scanAndRead = {scanAndReadOnce, nullptr, true, -1, {}};
  std::vector<Measure*> cached = {&read64k, &readBlocks, &scan, &scanAndRead};
  RunInTurns(cached, rounds);
  // From the disk: the file leaves the cache before every run (untimed).
  bool cold = Evict(path);
  auto evict = [&] { return Evict(path); };
  Measure coldRead = {[&] { return PlainRead(path, 0x10000, size); }, evict, false, -1, {}};
  Measure coldScan = {scanOnce, evict, false, -1, {}};
  if (cold) {
    std::vector<Measure*> fromDisk = {&coldRead, &coldScan};
    RunInTurns(fromDisk, rounds);
  }
  for (Measure* m : {&read64k, &readBlocks, &scan, &scanAndRead, &coldRead, &coldScan})
    if (m->best == -2) {
      fprintf(stderr, "a measured run failed\n");
      return 1;
    }

  printf("MPEG scan benchmark: %s\n", path);
  printf("  %lld bytes, %d packets; fastest of %d rounds each, taken in turns\n", size, packets,
         rounds);
#ifdef __linux__
  printf("  file in the page cache (processor time of both threads: the scan reads ahead on one):\n");
#else
  printf("  file in the page cache:\n");
#endif
  Line("plain read, 64 KiB chunks", read64k.best, size);
  Line("plain read, 2324-byte blocks", readBlocks.best, size);
  Line("scan", scan.best, size);
  Line("scan, then every packet read back", scanAndRead.best, size);
  // The plain read in 64 KiB chunks is the faster one: the baseline.
  printf(
      "  scan / plain read (cached): %.2f best to best, %.2f median of rounds"
      " (target: at most 1.5)\n",
      scan.best / read64k.best, MedianRatio(scan, read64k));
  printf("  scan + packet reading / plain read (cached): %.2f best to best\n",
         scanAndRead.best / read64k.best);
  if (cold) {
    printf("  from the disk (file dropped from the cache before each run; wall clock):\n");
    Line("plain read, 64 KiB chunks", coldRead.best, size);
    Line("scan", coldScan.best, size);
    printf(
        "  scan / plain read (disk): %.2f best to best, %.2f median of rounds"
        " (target: at most 1.5)\n",
        coldScan.best / coldRead.best, MedianRatio(coldScan, coldRead));
  }
  return 0;
}
