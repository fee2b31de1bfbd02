// The sector bitmap: first-fit and fixed allocation, refusals, freeing, the
// highest sector, and a whole CD's worth of files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "discimage/tests/capture_window.h"
#include "discimage/iso9660/vcd_sector_bitmap.h"

namespace {

class Allocation : public ::testing::Test {
protected:
  Allocation() : bitmap(&capture.sink) {}
  std::string All() const { return capture.All(); }
  std::vector<CapturedMessage>& Messages() { return capture.messages; }

  CapturingSink capture;
  CVcdSectorBitmap bitmap;
};

TEST_F(Allocation, FirstFitTakesTheLowestRunThatIsWhollyFree) {
  ASSERT_EQ(bitmap.AllocateSectors(0, 5), 0);
  ASSERT_EQ(bitmap.AllocateSectors(8, 1), 8);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 10), 9);  // 5-7 is too short
  EXPECT_EQ(bitmap.AllocateSectors(-1, 3), 5);   // ...but fits three
  EXPECT_EQ(bitmap.AllocateSectors(-1, 1), 19);
  EXPECT_EQ(bitmap.HighestSector(), 19);
  EXPECT_EQ(bitmap.FirstFreeSector(), 20);
  EXPECT_TRUE(Messages().empty()) << All();
}

TEST_F(Allocation, RunsAcrossWordBoundaries) {
  // Used: 0-62 and 64-127, free: 63 and 128 onwards.
  ASSERT_EQ(bitmap.AllocateSectors(0, 63), 0);
  ASSERT_EQ(bitmap.AllocateSectors(64, 64), 64);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 2), 128);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 1), 63);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 200), 130);
  EXPECT_EQ(bitmap.HighestSector(), 329);
  EXPECT_TRUE(bitmap.IsSectorUsed(329));
  EXPECT_FALSE(bitmap.IsSectorUsed(330));
}

TEST_F(Allocation, ZeroSectorsBecomeOneWithAWarning) {
  EXPECT_EQ(bitmap.AllocateSectors(-1, 0), 0);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 1), 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].wParam, static_cast<uintptr_t>(kVcdMsgWarning));
  EXPECT_EQ(Messages()[0].text,
            "request of 0 sectors allocment fixed up to 1 sector (this is harmless)\n");
}

TEST_F(Allocation, FixedPlaceThatOverlapsIsRefusedLoudlyAndChangesNothing) {
  ASSERT_EQ(bitmap.AllocateSectors(16, 1), 16);
  EXPECT_EQ(bitmap.AllocateSectors(16, 1), -1);
  EXPECT_EQ(bitmap.AllocateSectors(14, 3), -1);
  EXPECT_FALSE(bitmap.IsSectorUsed(14));
  EXPECT_FALSE(bitmap.IsSectorUsed(15));
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_EQ(Messages()[0].wParam, static_cast<uintptr_t>(kVcdMsgError));
  EXPECT_EQ(Messages()[1].text, "cannot allocate sectors 14 to 16: sector 16 is already in use\n");
  EXPECT_EQ(bitmap.AllocateSectors(17, 1), 17);
  EXPECT_EQ(bitmap.AllocateSectors(14, 2), 14);
}

TEST_F(Allocation, RangesOutsideTheMapAreRefused) {
  struct Case {
    int start, count;
  } cases[] = {{-2, 1}, {0, -1}, {CVcdSectorBitmap::kMaxSectors, 1},
               {CVcdSectorBitmap::kMaxSectors - 1, 2}, {0x7FFFFFFF, 0x7FFFFFFF}};
  for (const Case& c : cases) {
    EXPECT_EQ(bitmap.AllocateSectors(c.start, c.count), -1) << c.start << "+" << c.count;
    EXPECT_EQ(bitmap.MarkSectors(c.start, c.count), -1) << c.start << "+" << c.count;
  }
  EXPECT_EQ(bitmap.AllocateSectors(-1, CVcdSectorBitmap::kMaxSectors + 1), -1);
  EXPECT_EQ(bitmap.FreeSectors(-1, 2), -1);
  EXPECT_EQ(bitmap.HighestSector(), -1);
  for (const CapturedMessage& m : Messages())
    EXPECT_EQ(m.wParam, static_cast<uintptr_t>(kVcdMsgError)) << m.text;

  // The last sector there is can be had, and then no more.
  EXPECT_EQ(bitmap.AllocateSectors(CVcdSectorBitmap::kMaxSectors - 1, 1),
            CVcdSectorBitmap::kMaxSectors - 1);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 0x10000), 0);
  ASSERT_EQ(bitmap.FreeSectors(0, 0x10000), 0);
  ASSERT_EQ(bitmap.MarkSectors(0, CVcdSectorBitmap::kMaxSectors - 1), 0);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 1), -1);
}

TEST_F(Allocation, HighestSectorFollowsFrees) {
  EXPECT_EQ(bitmap.HighestSector(), -1);
  ASSERT_EQ(bitmap.AllocateSectors(0, 16), 0);
  EXPECT_EQ(bitmap.HighestSector(), 15);
  ASSERT_EQ(bitmap.AllocateSectors(1000, 2), 1000);
  EXPECT_EQ(bitmap.HighestSector(), 1001);
  // Freeing the top falls back to what is below, even across empty words.
  ASSERT_EQ(bitmap.FreeSectors(1000, 2), 0);
  EXPECT_EQ(bitmap.HighestSector(), 15);
  ASSERT_EQ(bitmap.FreeSectors(15, 1), 0);
  EXPECT_EQ(bitmap.HighestSector(), 14);
  // Freeing in the middle leaves the top alone and is found by first fit.
  ASSERT_EQ(bitmap.FreeSectors(5, 3), 0);
  EXPECT_EQ(bitmap.HighestSector(), 14);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 3), 5);
  // Freeing free sectors, or beyond the map, changes nothing.
  EXPECT_EQ(bitmap.FreeSectors(200000, 5), 0);
  EXPECT_EQ(bitmap.HighestSector(), 14);
  ASSERT_EQ(bitmap.FreeSectors(0, 15), 0);
  EXPECT_EQ(bitmap.HighestSector(), -1);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 1), 0);
}

// How the layout reserves the directory area before it knows its size and
// then places the directories, path tables and descriptors into it.
TEST_F(Allocation, ReservedAreaFreedAndPlacedAtFixedSectors) {
  ASSERT_EQ(bitmap.AllocateSectors(0, 16), 0);
  ASSERT_EQ(bitmap.AllocateSectors(75, 75), 75);
  ASSERT_EQ(bitmap.AllocateSectors(16, 1), 16);
  ASSERT_EQ(bitmap.AllocateSectors(17, 1), 17);
  ASSERT_EQ(bitmap.AllocateSectors(18, 57), 18);
  ASSERT_EQ(bitmap.AllocateSectors(150, 1), 150);
  ASSERT_EQ(bitmap.AllocateSectors(-1, 2), 151);
  // Within the reservation, a fixed placement is an overlap...
  EXPECT_EQ(bitmap.AllocateSectors(18, 3), -1);
  Messages().clear();
  // ...so the area is freed first; the directories take what they need.
  const int directorySectors = 3;
  ASSERT_EQ(bitmap.FreeSectors(18, 57), 0);
  EXPECT_EQ(bitmap.HighestSector(), 152);
  EXPECT_EQ(bitmap.AllocateSectors(18, directorySectors), 18);
  EXPECT_EQ(bitmap.AllocateSectors(18 + directorySectors, 1), 21);
  EXPECT_EQ(bitmap.AllocateSectors(19 + directorySectors, 1), 22);
  // Marking over what is taken is allowed.
  EXPECT_EQ(bitmap.MarkSectors(0, 150), 0);
  EXPECT_EQ(bitmap.FirstFreeSector(), 153);
  EXPECT_TRUE(Messages().empty()) << All();
}

// The bitmap against a plain vector of flags, through a long deterministic
// series of mixed operations.
TEST_F(Allocation, AgreesWithASimpleModel) {
  std::vector<bool> model;
  auto used = [&](int64_t s) { return s < static_cast<int64_t>(model.size()) && model[s]; };
  auto set = [&](int64_t start, int64_t count, bool value) {
    if (start + count > static_cast<int64_t>(model.size())) model.resize(start + count, false);
    for (int64_t s = start; s < start + count; ++s) model[s] = value;
  };
  auto highest = [&]() {
    for (int64_t s = static_cast<int64_t>(model.size()) - 1; s >= 0; --s)
      if (model[s]) return static_cast<int>(s);
    return -1;
  };
  uint32_t seed = 12345;
  auto next = [&](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  for (int step = 0; step < 4000; ++step) {
    int op = static_cast<int>(next(4));
    int count = 1 + static_cast<int>(next(step % 3 == 0 ? 300 : 20));
    int start = static_cast<int>(next(6000));
    if (op == 0) {
      int expect = -1;
      for (int64_t s = 0, run = 0; expect < 0; ++s) {
        run = used(s) ? 0 : run + 1;
        if (run == count) expect = static_cast<int>(s - count + 1);
      }
      ASSERT_EQ(bitmap.AllocateSectors(-1, count), expect) << "step " << step;
      set(expect, count, true);
    } else if (op == 1) {
      bool free = true;
      for (int64_t i = start; i < start + count && free; ++i) free = !used(i);
      ASSERT_EQ(bitmap.AllocateSectors(start, count), free ? start : -1) << "step " << step;
      if (free) set(start, count, true);
    } else if (op == 2) {
      ASSERT_EQ(bitmap.FreeSectors(start, count), 0);
      set(start, count, false);
    } else {
      ASSERT_EQ(bitmap.MarkSectors(start, count / 4), 0);
      set(start, count / 4, true);
    }
    ASSERT_EQ(bitmap.HighestSector(), highest()) << "step " << step;
    int firstFree = 0;
    while (used(firstFree)) ++firstFree;
    ASSERT_EQ(bitmap.FirstFreeSector(), firstFree) << "step " << step;
    ASSERT_EQ(bitmap.IsSectorUsed(start), used(start)) << "step " << step;
  }
}

// A full 74-minute CD of track 1 files: the areas reserved as the layout
// does, then thousands of files of mixed sizes at the first free run, with
// freed holes on the way. Checks placement; the time it takes is printed.
TEST_F(Allocation, WholeDiscOfFiles) {
  const int kDisc = 330000;
  const auto begun = std::chrono::steady_clock::now();
  ASSERT_EQ(bitmap.AllocateSectors(0, 16), 0);
  ASSERT_EQ(bitmap.AllocateSectors(75, 75), 75);
  ASSERT_EQ(bitmap.AllocateSectors(16, 59), 16);
  ASSERT_EQ(bitmap.MarkSectors(0, 225), 0);

  int expected = 225;
  int files = 0;
  std::vector<std::pair<int, int>> placed;
  while (expected < kDisc) {
    int count = 1 + (files * 37) % 150;
    if (expected + count > kDisc) count = kDisc - expected;
    int start = bitmap.AllocateSectors(-1, count);
    ASSERT_EQ(start, expected) << "file " << files;
    placed.push_back(std::make_pair(start, count));
    expected += count;
    ++files;
  }
  EXPECT_EQ(bitmap.HighestSector(), kDisc - 1);
  EXPECT_EQ(bitmap.FirstFreeSector(), kDisc);

  // Free every third file: holes of mixed sizes everywhere. Small requests
  // fill the lowest holes; the big one still goes to the end.
  for (size_t i = 0; i + 1 < placed.size(); i += 3)
    ASSERT_EQ(bitmap.FreeSectors(placed[i].first, placed[i].second), 0);
  EXPECT_EQ(bitmap.FirstFreeSector(), placed[0].first);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 1), placed[0].first);
  EXPECT_EQ(bitmap.AllocateSectors(-1, 1000), kDisc);
  int refills = 0;
  for (size_t i = 3; i + 1 < placed.size(); i += 3) {
    ASSERT_EQ(bitmap.AllocateSectors(-1, placed[i].second), placed[i].first) << "hole " << i;
    ++refills;
  }
  EXPECT_EQ(bitmap.HighestSector(), kDisc + 999);

  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun).count();
  printf("whole disc: %d files and %d refills over %d sectors in %.1f ms\n", files, refills, kDisc, ms);
  EXPECT_TRUE(Messages().empty()) << All();
}

}  // namespace
