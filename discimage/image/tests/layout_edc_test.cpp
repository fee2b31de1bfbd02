// The folded sector EDC against a bit-by-bit reference: every length from
// the shortest the folding takes to beyond a sector, at odd alignments,
// with a running EDC carried in, on both folding paths the processor has.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "discimage/image/vcd_sector.h"
#include "discimage/image/vcd_write_edc.h"

namespace {

uint32_t BitwiseEdc(uint32_t edc, const uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    edc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) edc = (edc >> 1) ^ ((edc & 1u) ? 0xD8018001u : 0u);
  }
  return edc;
}

TEST(EdcFold, MatchesTheBitwiseCode) {
  if (!VcdEdcFoldAvailable()) GTEST_SKIP() << "no carry-less multiplication here";
  std::mt19937 random(2352);
  std::vector<uint8_t> data(4096 + 64);
  for (uint8_t& byte : data) byte = static_cast<uint8_t>(random());
  for (size_t length = 64; length <= 4096; length += 16) {
    for (size_t offset : {0u, 3u, 17u}) {
      uint32_t start = length % 32 == 0 ? 0u : static_cast<uint32_t>(random());
      ASSERT_EQ(VcdEdcFold(start, data.data() + offset, length),
                BitwiseEdc(start, data.data() + offset, length))
          << "length " << length << " offset " << offset;
    }
  }
}

TEST(EdcFold, SectorEdcOfEveryLength) {
  std::mt19937 random(75);
  std::vector<uint8_t> data(2400);
  for (uint8_t& byte : data) byte = static_cast<uint8_t>(random());
  for (size_t length = 0; length <= data.size(); ++length)
    ASSERT_EQ(VcdSectorEdc(data.data(), length), BitwiseEdc(0, data.data(), length)) << length;
}

}  // namespace
