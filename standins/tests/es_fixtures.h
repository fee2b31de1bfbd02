// The elementary-stream fixtures (scripts/make-es-fixtures.sh; CTest hands
// their folder over as QUORBEL_ES_FIXTURES) and shared checks of what the
// multiplexer writes.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "discimage/tests/test_paths.h"

inline std::string EsFixturePath(const std::string& name) { return FixtureIn("QUORBEL_ES_FIXTURES", name); }

// One fixture pair and what joining it must give.
struct EsPair {
  const char* name;     // file stem: <name>.m1v / .m2v and <name>.mp2
  const char* video;    // file name of the video stream
  int format;           // kMuxFormat*
  int packBytes;
  int mpegVersion;
  int width;
  int height;
};

inline const EsPair* EsPairs(int* count) {
  static const EsPair pairs[] = {
      {"vcd-pal", "vcd-pal.m1v", 1, 2324, 1, 352, 288},
      {"vcd-ntsc", "vcd-ntsc.m1v", 1, 2324, 1, 352, 240},
      {"svcd-pal", "svcd-pal.m2v", 4, 2324, 2, 480, 576},
      {"dvd-pal", "dvd-pal.m2v", 8, 2048, 2, 720, 576},
      {"dvd-ntsc", "dvd-ntsc.m2v", 8, 2048, 2, 720, 480},
  };
  *count = static_cast<int>(sizeof pairs / sizeof pairs[0]);
  return pairs;
}
