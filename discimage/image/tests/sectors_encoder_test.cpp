// The sector encoder against slow textbook definitions written here: the
// EDC as polynomial division bit by bit with the generator multiplied out
// from its two factors, and the P/Q parity solved from the code's two check
// equations with GF(2^8) arithmetic by shift and add. Random sectors of every
// kind must come out byte for byte as the references say, and the sector
// checker must accept them and catch damage anywhere.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "discimage/image/tests/sector_check.h"
#include "discimage/image/vcd_sector.h"

namespace {

// ---- reference EDC ----------------------------------------------------------

// Product of two polynomials over GF(2), bit i the coefficient of x^i.
uint64_t PolyMultiply(uint64_t a, uint64_t b) {
  uint64_t product = 0;
  for (int i = 0; i < 64; ++i)
    if (b & (uint64_t(1) << i)) product ^= a << i;
  return product;
}

const uint64_t kGenerator = PolyMultiply((1u << 16) | (1u << 15) | (1u << 2) | 1u,
                                         (1u << 16) | (1u << 2) | (1u << 1) | 1u);

// Remainder of M(x) x^32 by the generator, the message bits taken least
// significant bit of each byte first; the first parity bit sent (the
// coefficient of x^31) is bit 0 of the stored value.
uint32_t ReferenceEdc(const uint8_t* data, size_t length) {
  uint64_t reg = 0;
  auto shiftIn = [&reg](int bit) {
    reg = (reg << 1) | static_cast<uint64_t>(bit);
    if (reg & (uint64_t(1) << 32)) reg ^= kGenerator;
  };
  for (size_t i = 0; i < length; ++i)
    for (int b = 0; b < 8; ++b) shiftIn((data[i] >> b) & 1);
  for (int b = 0; b < 32; ++b) shiftIn(0);
  uint32_t edc = 0;
  for (int k = 0; k < 32; ++k)
    if (reg & (uint64_t(1) << k)) edc |= 1u << (31 - k);
  return edc;
}

// ---- reference Reed-Solomon parity ---------------------------------------

uint8_t GfMul(uint8_t a, uint8_t b) {
  unsigned x = a, product = 0;
  for (int i = 0; i < 8; ++i) {
    if (b & (1u << i)) product ^= x;
    x <<= 1;
    if (x & 0x100) x ^= 0x11D;  // x^8 + x^4 + x^3 + x^2 + 1
  }
  return static_cast<uint8_t>(product);
}

uint8_t GfPow(int e) {
  uint8_t r = 1;
  for (int i = 0; i < e; ++i) r = GfMul(r, 2);
  return r;
}

uint8_t GfInv(uint8_t a) {
  for (int y = 1; y < 256; ++y)
    if (GfMul(a, static_cast<uint8_t>(y)) == 1) return static_cast<uint8_t>(y);
  return 0;
}

// Parity p0, p1 that make sum Vi = 0 and sum a^(n-1-i) Vi = 0 for the data
// symbols given, by Cramer's rule on [1 1; a 1] (p0, p1) = (A, B).
void SolveParity(const std::vector<uint8_t>& data, uint8_t* p0, uint8_t* p1) {
  const int n = static_cast<int>(data.size()) + 2;
  uint8_t a = 0, b = 0;
  for (int i = 0; i < n - 2; ++i) {
    a ^= data[i];
    b ^= GfMul(GfPow(n - 1 - i), data[i]);
  }
  const uint8_t alpha = 2;
  const uint8_t inverseDet = GfInv(static_cast<uint8_t>(1 ^ alpha));
  *p0 = GfMul(static_cast<uint8_t>(a ^ b), inverseDet);
  *p1 = GfMul(static_cast<uint8_t>(b ^ GfMul(alpha, a)), inverseDet);
}

// P over the 24 rows of 86 bytes from the header on, then Q over the 26 rows.
void ReferenceParity(uint8_t* sector) {
  uint8_t* area = sector + 12;
  for (int m = 0; m < 86; ++m) {
    std::vector<uint8_t> column;
    for (int r = 0; r < 24; ++r) column.push_back(area[m + 86 * r]);
    SolveParity(column, &area[24 * 86 + m], &area[25 * 86 + m]);
  }
  for (int d = 0; d < 26; ++d) {
    for (int h = 0; h < 2; ++h) {
      std::vector<uint8_t> diagonal;
      for (int i = 0; i < 43; ++i) diagonal.push_back(area[(86 * d + 88 * i) % 2236 + h]);
      SolveParity(diagonal, &area[2236 + 2 * d + h], &area[2236 + 52 + 2 * d + h]);
    }
  }
}

uint8_t Bcd(int v) { return static_cast<uint8_t>(((v / 10) << 4) | (v % 10)); }

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A whole sector as the format describes it, built the slow way.
std::vector<uint8_t> ReferenceXaSector(const uint8_t* data, int lsn, const uint8_t subheader[4]) {
  std::vector<uint8_t> s(2352, 0);
  s[0] = 0;
  for (int i = 1; i <= 10; ++i) s[i] = 0xFF;
  memcpy(&s[16], subheader, 4);
  memcpy(&s[20], subheader, 4);
  const bool form2 = (subheader[2] & 0x20) != 0;
  if (form2) {
    memcpy(&s[24], data, 2324);
    PutLe32(&s[2348], ReferenceEdc(&s[16], 2332));
  } else {
    memcpy(&s[24], data, 2048);
    PutLe32(&s[2072], ReferenceEdc(&s[16], 2056));
    ReferenceParity(s.data());  // header still zero
  }
  const int address = lsn + 150;
  s[12] = Bcd(address / 4500);
  s[13] = Bcd(address / 75 % 60);
  s[14] = Bcd(address % 75);
  s[15] = 2;
  return s;
}

class SectorEncoderTest : public ::testing::Test {
protected:
  std::mt19937 random{20240607};
  uint8_t Byte() { return static_cast<uint8_t>(random()); }
  std::vector<uint8_t> Bytes(size_t n) {
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = Byte();
    return v;
  }
  int Lsn() { return static_cast<int>(random() % 449850); }
};

TEST_F(SectorEncoderTest, EdcGeneratorIsTheCdRomPolynomial) {
  // x^32 + x^31 + x^16 + x^15 + x^4 + x^3 + x + 1
  EXPECT_EQ(kGenerator, 0x18001801BULL);
  const uint8_t one = 0x01;
  // A single first bit leaves x^32 mod P reflected: the table's entry 1.
  EXPECT_EQ(VcdSectorEdc(&one, 1), ReferenceEdc(&one, 1));
}

TEST_F(SectorEncoderTest, EdcMatchesBitwiseDivisionForEveryLengthAndSplit) {
  std::vector<uint8_t> data = Bytes(2400);
  for (size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 63, 2056, 2332, 2400}) {
    const uint32_t expected = ReferenceEdc(data.data(), length);
    EXPECT_EQ(VcdSectorEdc(data.data(), length), expected) << length;
    EXPECT_EQ(CheckerEdc(data.data(), length), expected) << length;
    // Unaligned starts and pieces that do not end on 8 bytes.
    for (size_t split : {size_t(1), size_t(3), length / 2}) {
      if (split > length) continue;
      uint32_t edc = VcdSectorEdcUpdate(0, data.data(), split);
      EXPECT_EQ(VcdSectorEdcUpdate(edc, data.data() + split, length - split), expected)
          << length << " split " << split;
    }
  }
}

TEST_F(SectorEncoderTest, RandomForm1AndForm2SectorsMatchTheReference) {
  for (int round = 0; round < 200; ++round) {
    for (bool form2 : {false, true}) {
      std::vector<uint8_t> data = Bytes(2324);
      uint8_t subheader[4] = {Byte(), Byte(), Byte(), Byte()};
      subheader[2] = form2 ? (subheader[2] | 0x20) : (subheader[2] & ~0x20);
      const int lsn = Lsn();
      std::vector<uint8_t> expected = ReferenceXaSector(data.data(), lsn, subheader);
      uint8_t sector[2352];
      memset(sector, 0xA5, sizeof sector);  // no reliance on a clean buffer
      EncodeXaSector(sector, data.data(), lsn, subheader[0], subheader[1], subheader[2], subheader[3]);
      ASSERT_EQ(0, memcmp(sector, expected.data(), 2352))
          << (form2 ? "Form 2" : "Form 1") << " sector, round " << round << ", lsn " << lsn;
      SectorCheckOptions options;
      options.expectedLsn = lsn;
      ASSERT_EQ(CheckRawSector(sector, options), "");
    }
  }
}

TEST_F(SectorEncoderTest, FinishSectorKindsOverRandomContent) {
  for (int round = 0; round < 50; ++round) {
    std::vector<uint8_t> body = Bytes(2352);
    const int lsn = Lsn();
    const int address = lsn + 150;
    const uint8_t msf[3] = {Bcd(address / 4500), Bcd(address / 75 % 60), Bcd(address % 75)};

    // Form 1 and Form 2: codes over whatever the body holds.
    for (int kind : {kVcdSectorForm1, kVcdSectorForm2}) {
      std::vector<uint8_t> s = body;
      FinishSector(s.data(), kind, address);
      std::vector<uint8_t> expected = body;
      memset(&expected[0], 0, 16);
      for (int i = 1; i <= 10; ++i) expected[i] = 0xFF;
      if (kind == kVcdSectorForm1) {
        PutLe32(&expected[2072], ReferenceEdc(&expected[16], 2056));
        ReferenceParity(expected.data());
      } else {
        PutLe32(&expected[2348], ReferenceEdc(&expected[16], 2332));
      }
      memcpy(&expected[12], msf, 3);
      expected[15] = 2;
      ASSERT_EQ(s, expected) << "kind " << kind;
    }

    // Mode 0: header, then nothing.
    std::vector<uint8_t> s = body;
    FinishSector(s.data(), kVcdSectorMode0, address);
    EXPECT_EQ(0, memcmp(&s[12], msf, 3));
    EXPECT_EQ(s[15], 0);
    for (int i = 16; i < 2352; ++i) ASSERT_EQ(s[i], 0) << i;
    SectorCheckOptions options;
    options.expectedLsn = lsn;
    EXPECT_EQ(CheckRawSector(s.data(), options), "");

    // Raw Mode 2: the 2336 bytes behind the header stay as given.
    std::vector<uint8_t> raw(2352);
    EncodeRawMode2Sector(raw.data(), body.data(), lsn);
    EXPECT_EQ(0, memcmp(&raw[16], body.data(), 2336));
    EXPECT_EQ(0, memcmp(&raw[12], msf, 3));
    EXPECT_EQ(raw[15], 2);
    EXPECT_EQ(raw[0], 0);
    EXPECT_EQ(raw[11], 0);
  }
}

TEST_F(SectorEncoderTest, EdgeCases) {
  uint8_t sector[2352];
  // LSN 0 is disc time 00:02:00.
  EncodeXaSector(sector, NULL, 0, 0, 0, 0x08, 0);
  EXPECT_EQ(sector[12], 0x00);
  EXPECT_EQ(sector[13], 0x02);
  EXPECT_EQ(sector[14], 0x00);
  EXPECT_EQ(sector[15], 2);
  EXPECT_EQ(CheckRawSector(sector), "");
  // The last LSN a disc can address: 99:59:74.
  EncodeXaSector(sector, NULL, 100 * 4500 - 151, 1, 1, 0x20, 0);
  EXPECT_EQ(sector[12], 0x99);
  EXPECT_EQ(sector[13], 0x59);
  EXPECT_EQ(sector[14], 0x74);

  // Form 2: 2324 user bytes from 24 through 2347, EDC behind, no parity.
  std::vector<uint8_t> data(2324, 0x5A);
  EncodeXaSector(sector, data.data(), 1000, 1, 1, 0x64, 0x7F);
  for (int i = 24; i < 2348; ++i) ASSERT_EQ(sector[i], 0x5A) << i;
  uint32_t edc = sector[2348] | (sector[2349] << 8) | (sector[2350] << 16) | (uint32_t(sector[2351]) << 24);
  EXPECT_EQ(edc, ReferenceEdc(sector + 16, 2332));
  const uint8_t subheader[8] = {1, 1, 0x64, 0x7F, 1, 1, 0x64, 0x7F};
  EXPECT_EQ(0, memcmp(sector + 16, subheader, 8));
}

TEST_F(SectorEncoderTest, CheckerCatchesDamageInEveryPart) {
  std::vector<uint8_t> data = Bytes(2324);
  uint8_t form1[2352], form2[2352];
  EncodeXaSector(form1, data.data(), 4321, 1, 1, 0x08, 0);
  EncodeXaSector(form2, data.data(), 4321, 1, 1, 0x62, 0x0F);
  SectorCheckOptions at;
  at.expectedLsn = 4321;
  ASSERT_EQ(CheckRawSector(form1, at), "");
  ASSERT_EQ(CheckRawSector(form2, at), "");

  struct Case {
    const uint8_t* sector;
    int offset;
    const char* part;
  };
  const Case cases[] = {
      {form1, 5, "sync"},        {form1, 14, "address"},     {form1, 21, "subheader copy"},
      {form1, 100, "user data"}, {form1, 2073, "EDC"},       {form1, 2100, "P parity"},
      {form1, 2300, "Q parity"}, {form2, 2000, "Form 2 data"}, {form2, 2350, "Form 2 EDC"},
  };
  for (const Case& c : cases) {
    uint8_t damaged[2352];
    memcpy(damaged, c.sector, sizeof damaged);
    damaged[c.offset] ^= 0x10;
    EXPECT_NE(CheckRawSector(damaged, at), "") << c.part;
  }
  EXPECT_NE(CheckRawSector(form1, SectorCheckOptions{4322}), "") << "wrong LSN";
  // The stored 2336-byte form is checked with a rebuilt header (which no
  // Mode 2 code covers, so only the body can be wrong there).
  EXPECT_EQ(CheckStoredSector(form1 + 16, 2336, 4321), "");
  EXPECT_NE(CheckStoredSector(form1 + 16, 2300, 4321), "");
  uint8_t body[2336];
  memcpy(body, form2 + 16, sizeof body);
  body[1000] ^= 1;
  EXPECT_NE(CheckStoredSector(body, 2336, 4321), "");
}

}  // namespace
