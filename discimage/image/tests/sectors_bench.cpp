// Throughput of the sector encoder, next to a plain copy of the same bytes
// measured in the same run. Reports only: no timing is asserted.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "discimage/image/vcd_sector.h"

namespace {

const int kSectors = 20000;  // about 47 MB of finished sectors per pass

template <typename Work>
double MegabytesPerSecond(Work work) {
  double best = 0;
  for (int pass = 0; pass < 3; ++pass) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    double rate = kSectors * double(kVcdSectorSize) / 1e6 / took.count();
    if (rate > best) best = rate;
  }
  return best;
}

TEST(SectorBench, EncoderThroughputAgainstMemcpy) {
  std::vector<uint8_t> data(kVcdForm2DataSize * 16);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 131 + 7);
  std::vector<uint8_t> out(kVcdSectorSize * 16);
  volatile uint8_t sink = 0;

  auto source = [&](int i) { return data.data() + (i % 16) * kVcdForm2DataSize; };
  auto target = [&](int i) { return out.data() + (i % 16) * kVcdSectorSize; };

  double copy = MegabytesPerSecond([&] {
    for (int i = 0; i < kSectors; ++i) {
      memcpy(target(i), data.data() + (i % 8) * 8, kVcdSectorSize);
      sink = sink + target(i)[100];
    }
  });
  double form1 = MegabytesPerSecond([&] {
    for (int i = 0; i < kSectors; ++i) {
      EncodeXaSector(target(i), source(i), i, 0, 0, kVcdSubmodeData, 0);
      sink = sink + target(i)[2300];
    }
  });
  double form2 = MegabytesPerSecond([&] {
    for (int i = 0; i < kSectors; ++i) {
      EncodeXaSector(target(i), source(i), i, 1, 1, 0x62, 0x0F);
      sink = sink + target(i)[2350];
    }
  });
  double edc = MegabytesPerSecond([&] {
    for (int i = 0; i < kSectors; ++i) sink = sink + static_cast<uint8_t>(VcdSectorEdc(target(i), kVcdSectorSize));
  });

  printf("sector encoder, %d sectors of %d bytes (best of 3):\n", kSectors, kVcdSectorSize);
  printf("  memcpy          %9.1f MB/s\n", copy);
  printf("  Form 1 encode   %9.1f MB/s  (%.3f x memcpy)\n", form1, form1 / copy);
  printf("  Form 2 encode   %9.1f MB/s  (%.3f x memcpy)\n", form2, form2 / copy);
  printf("  EDC alone       %9.1f MB/s  (%.3f x memcpy)\n", edc, edc / copy);
  // A 74-minute disc is about 330,000 sectors.
  printf("  74-minute disc of Form 1 sectors: %.2f s\n", 330000.0 * kVcdSectorSize / 1e6 / form1);
  RecordProperty("memcpy_mb_s", static_cast<int>(copy));
  RecordProperty("form1_mb_s", static_cast<int>(form1));
  RecordProperty("form2_mb_s", static_cast<int>(form2));
  (void)sink;
}

}  // namespace
