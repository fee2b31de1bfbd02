// Reading nrg images made here byte by byte: the three track tables (ETNF,
// ETN2, CUEX) of v50 and v55 footers, and damaged or hostile files, whose
// every offset and length must be checked against the file before use.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "discimage/tests/capture_window.h"
#include "discimage/image/tests/sectors_fixture.h"
#include "discimage/tests/test_support.h"
#include "discimage/image/vcd_image_sink_nero.h"

namespace fs = std::filesystem;
using namespace sectors_test;
using namespace test_support;

namespace {

// An nrg file under construction: track data, then chunks, then the trailer.
struct NrgBytes {
  std::vector<uint8_t> bytes;

  void Be32(uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) bytes.push_back(static_cast<uint8_t>(v >> s));
  }
  void Be64(uint64_t v) {
    Be32(static_cast<uint32_t>(v >> 32));
    Be32(static_cast<uint32_t>(v));
  }
  void Tag(const char* t) { bytes.insert(bytes.end(), t, t + 4); }
  // count stored sectors whose first byte is marker + index.
  void Sectors(int count, uint8_t marker) {
    for (int i = 0; i < count; ++i) {
      std::vector<uint8_t> s(2336, 0);
      s[0] = static_cast<uint8_t>(marker + i);
      bytes.insert(bytes.end(), s.begin(), s.end());
    }
  }
  void EtnfEntry(uint32_t offset, uint32_t length, uint32_t start) {
    Be32(offset);
    Be32(length);
    Be32(3);
    Be32(start);
    Be32(0);
  }
  void V50Trailer(uint32_t footer) {
    Tag("NERO");
    Be32(footer);
  }
  void V55Trailer(uint64_t footer) {
    Tag("NER5");
    Be64(footer);
  }
  // A whole file: one stored sector and a v50 footer whose ETNF table holds
  // the one entry given.
  void OneEtnfTrack(uint32_t offset, uint32_t length, uint32_t start) {
    Sectors(1, 0);
    uint32_t footer = static_cast<uint32_t>(bytes.size());
    Tag("ETNF");
    Be32(20);
    EtnfEntry(offset, length, start);
    Tag("END!");
    Be32(0);
    V50Trailer(footer);
  }
};

class NrgReadTest : public FreshFolderTest {
protected:
  std::string Save(const NrgBytes& nrg) {
    std::string path = PathOf("f" + std::to_string(files++) + ".nrg");
    WriteBytes(path, nrg.bytes);
    return path;
  }
  bool Said(int level, const std::string& text) const {
    std::vector<std::string> lines = capture.LinesAt(level);
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }

  int files = 0;
  CapturingSink capture;
};

TEST_F(NrgReadTest, V55WithEtn2Tracks) {
  NrgBytes n;
  n.Sectors(3, 0x10);
  n.Sectors(2, 0x20);
  const uint32_t footer = static_cast<uint32_t>(n.bytes.size());
  n.Tag("ETN2");
  n.Be32(64);
  for (int t = 0; t < 2; ++t) {
    n.Be64(t == 0 ? 0 : 3 * 2336);
    n.Be64((t == 0 ? 3 : 2) * 2336);
    n.Be32(3);
    n.Be32(t == 0 ? 0 : 3);
    n.Be64(0);
  }
  n.Tag("DAOX");
  n.Be32(0);
  n.Tag("END!");
  n.Be32(0);
  n.V55Trailer(footer);
  CVcdNero reader(&capture.sink, Save(n).c_str(), kVcdStreamRead);
  EXPECT_EQ(reader.StatSize(), 3 + 150 + 2);
  EXPECT_TRUE(Said(kVcdMsgInfo, "detected v55 (64bit offsets) NRG magic"));
  EXPECT_TRUE(Said(kVcdMsgDebug, "DAOX tag detected..."));
  uint8_t back[2336];
  ASSERT_EQ(reader.ReadSector(back, 2, 1), 0);
  EXPECT_EQ(back[0], 0x12);
  ASSERT_EQ(reader.ReadSector(back, 154, 1), 0);
  EXPECT_EQ(back[0], 0x21);
}

TEST_F(NrgReadTest, CuexDaoTracks) {
  NrgBytes n;
  n.Sectors(150, 0);  // the first track's pregap lies in a DAO file
  n.Sectors(4, 0x40);
  const uint32_t footer = static_cast<uint32_t>(n.bytes.size());
  n.Tag("CUEX");
  n.Be32(4 * 8);
  const int32_t lbas[] = {-150, -150, 0, 4};
  for (int32_t lba : lbas) {
    n.Be32(0x41000000);
    n.Be32(static_cast<uint32_t>(lba));
  }
  n.Tag("END!");
  n.Be32(0);
  n.V50Trailer(footer);
  CVcdNero reader(&capture.sink, Save(n).c_str(), kVcdStreamRead);
  EXPECT_EQ(reader.StatSize(), 4);
  EXPECT_TRUE(Said(kVcdMsgInfo, "DAO type image detected"));
  uint8_t back[2336];
  ASSERT_EQ(reader.ReadSector(back, 3, 1), 0);
  EXPECT_EQ(back[0], 0x43);
}

TEST_F(NrgReadTest, UnknownTagsAreSkipped) {
  NrgBytes n;
  n.Sectors(2, 0x50);
  const uint32_t footer = static_cast<uint32_t>(n.bytes.size());
  n.Tag("ABCD");
  n.Be32(3);
  n.bytes.insert(n.bytes.end(), {1, 2, 3});
  n.Tag("ETNF");
  n.Be32(20);
  n.EtnfEntry(0, 2 * 2336, 0);
  n.Tag("END!");
  n.Be32(0);
  n.V50Trailer(footer);
  CVcdNero reader(&capture.sink, Save(n).c_str(), kVcdStreamRead);
  EXPECT_EQ(reader.StatSize(), 2);
  EXPECT_TRUE(Said(kVcdMsgWarning, "unknown tag 41424344 seen"));
}

// Each of these must fail (sector count 0, reads refused) with a warning,
// without reading outside the file or its footer.
TEST_F(NrgReadTest, DamagedAndHostileFilesAreRefused) {
  struct Case {
    const char* what;
    NrgBytes nrg;
    const char* warning;  // exact text, or NULL for any warning
  };
  std::vector<Case> cases;
  auto add = [&cases](const char* what, const char* warning, auto build) {
    Case c{what, NrgBytes(), warning};
    build(c.nrg);
    cases.push_back(c);
  };
  add("no magic", "Image not recognized as either v50 or v55 type NRG", [](NrgBytes& n) {
    n.Sectors(2, 0);
    n.Tag("JUNK");
    n.Be64(0);
  });
  add("shorter than a trailer", "Image not recognized as either v50 or v55 type NRG",
      [](NrgBytes& n) { n.Tag("NERO"); });
  add("empty file", "Image not recognized as either v50 or v55 type NRG", [](NrgBytes&) {});
  add("footer behind the file", NULL, [](NrgBytes& n) {
    n.Sectors(1, 0);
    n.V50Trailer(0x7FFFFFF0);
  });
  add("v55 offset with high bits", NULL, [](NrgBytes& n) {
    n.Sectors(1, 0);
    n.V55Trailer(0x100000000ULL);
  });
  add("magic inside the footer", "unexpected nrg magic ID detected", [](NrgBytes& n) {
    n.Sectors(1, 0);
    uint32_t f = static_cast<uint32_t>(n.bytes.size());
    n.Tag("ETNF");
    n.Be32(20);
    n.EtnfEntry(0, 2336, 0);
    n.V50Trailer(f);  // no END!: the walk meets the trailer
  });
  add("chunk longer than the footer", NULL, [](NrgBytes& n) {
    n.Sectors(1, 0);
    uint32_t f = static_cast<uint32_t>(n.bytes.size());
    n.Tag("ETNF");
    n.Be32(0xFFFFFFF0);
    n.EtnfEntry(0, 2336, 0);
    n.V50Trailer(f);
  });
  add("track data behind the file", NULL, [](NrgBytes& n) { n.OneEtnfTrack(2336, 100 * 2336, 0); });
  add("track offset near 4 GiB", NULL, [](NrgBytes& n) { n.OneEtnfTrack(0xFFFFFF00, 2336, 0); });
  add("start sector overflowing", NULL, [](NrgBytes& n) { n.OneEtnfTrack(0, 2336, 0xFFFFFFFF); });
  add("ETN2 lengths beyond the file", NULL, [](NrgBytes& n) {
    n.Sectors(1, 0);
    uint32_t f = static_cast<uint32_t>(n.bytes.size());
    n.Tag("ETN2");
    n.Be32(32);
    n.Be64(0);
    n.Be64(0xFFFFFFFFFFFF0000ULL);
    n.Be32(3);
    n.Be32(0);
    n.Be64(0);
    n.Tag("END!");
    n.Be32(0);
    n.V50Trailer(f);
  });
  add("CUEX with negative start", NULL, [](NrgBytes& n) {
    n.Sectors(1, 0);
    uint32_t f = static_cast<uint32_t>(n.bytes.size());
    n.Tag("CUEX");
    n.Be32(32);
    for (int32_t lba : {-150, -150, -300, 1}) {
      n.Be32(0);
      n.Be32(static_cast<uint32_t>(lba));
    }
    n.Tag("END!");
    n.Be32(0);
    n.V50Trailer(f);
  });

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    capture.messages.clear();
    CVcdNero reader(&capture.sink, Save(c.nrg).c_str(), kVcdStreamRead);
    EXPECT_EQ(reader.StatSize(), 0);
    uint8_t back[2336];
    EXPECT_EQ(reader.ReadSector(back, 0, 1), -1);
    if (c.warning != NULL)
      EXPECT_TRUE(Said(kVcdMsgWarning, c.warning));
    else
      EXPECT_FALSE(capture.Texts().empty());
  }
}

// A CUEX table with an odd entry count names a track end it does not hold.
TEST_F(NrgReadTest, CuexWithOddEntryCountReadsOnlyWhatItHas) {
  NrgBytes n;
  n.Sectors(152, 0);
  uint32_t f = static_cast<uint32_t>(n.bytes.size());
  n.Tag("CUEX");
  n.Be32(3 * 8);
  for (int32_t lba : {-150, -150, 0}) {
    n.Be32(0);
    n.Be32(static_cast<uint32_t>(lba));
  }
  n.Tag("END!");
  n.Be32(0);
  n.V50Trailer(f);
  CVcdNero reader(&capture.sink, Save(n).c_str(), kVcdStreamRead);
  EXPECT_EQ(reader.StatSize(), 0);
}

}  // namespace
