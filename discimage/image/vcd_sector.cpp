#include "discimage/image/vcd_sector.h"

#include <array>
#include <cstring>

#include "discimage/base/vcd_util.h"
#include "discimage/image/vcd_write_edc.h"

namespace {

// ---- EDC -------------------------------------------------------------------

// (x^16 + x^15 + x^2 + 1)(x^16 + x^2 + x + 1) with its bits reversed, for
// processing the least significant bit first.
constexpr uint32_t kEdcPolynomial = 0xD8018001u;

typedef std::array<std::array<uint32_t, 256>, 8> EdcTables;

// Table k answers for a byte followed by k zero bytes: eight bytes are then
// folded in one step (slicing by 8).
constexpr EdcTables MakeEdcTables() {
  EdcTables t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t edc = i;
    for (int bit = 0; bit < 8; ++bit) edc = (edc >> 1) ^ ((edc & 1u) ? kEdcPolynomial : 0u);
    t[0][i] = edc;
  }
  for (int k = 1; k < 8; ++k)
    for (uint32_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  return t;
}

constexpr EdcTables kEdc = MakeEdcTables();

inline uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void StoreLe32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}

// ---- Reed-Solomon parity ---------------------------------------------------
//
// Each P and Q codeword V0..Vn-1 (the last two are the parity) satisfies
//   sum Vi = 0   and   sum a^(n-1-i) Vi = 0
// over GF(2^8) with the field polynomial x^8 + x^4 + x^3 + x^2 + 1 and a = 2.
// With A = sum of the data symbols and H = their Horner sum (H = H*a + Vi),
// the parity is p0 = (A + a^2 H) / (a + 1) and p1 = A + p0: one table step
// per data symbol and two lookups per codeword.

constexpr unsigned kFieldPolynomial = 0x11D;

constexpr uint8_t GfMultiply(unsigned x, unsigned y) {
  unsigned product = 0;
  while (y != 0) {
    if (y & 1u) product ^= x;
    x <<= 1;
    if (x & 0x100u) x ^= kFieldPolynomial;
    y >>= 1;
  }
  return static_cast<uint8_t>(product);
}

constexpr uint8_t GfInverse(unsigned x) {
  for (unsigned y = 1; y < 256; ++y)
    if (GfMultiply(x, y) == 1) return static_cast<uint8_t>(y);
  return 0;
}

typedef std::array<uint8_t, 256> GfTable;

constexpr GfTable MakeMultiplyTable(unsigned factor) {
  GfTable t{};
  for (unsigned i = 0; i < 256; ++i) t[i] = GfMultiply(i, factor);
  return t;
}

constexpr GfTable kTimesAlpha = MakeMultiplyTable(2);
constexpr uint8_t kInverseAlphaPlus1 = GfInverse(3);
// A / (a + 1) and a^2 H / (a + 1).
constexpr GfTable kSumToP0 = MakeMultiplyTable(kInverseAlphaPlus1);
constexpr GfTable kHornerToP0 = MakeMultiplyTable(GfMultiply(4, kInverseAlphaPlus1));

// The parity area starts at the header; 24 rows of 86 bytes are P's data,
// the two P rows behind them complete the 26 rows that Q covers.
constexpr int kParityBase = 12;
constexpr int kRowBytes = 86;
constexpr int kPDataRows = 24;
constexpr int kQArea = 2236;      // 26 rows
constexpr int kQDiagonals = 26;
constexpr int kQDataSymbols = 43;
constexpr int kQStep = 88;        // one row down, one 16-bit word right

void ComputeP(uint8_t* area) {
  // Column-wise codewords, accumulated row by row so the data is read in order.
  uint8_t sum[kRowBytes] = {0};
  uint8_t horner[kRowBytes] = {0};
  const uint8_t* row = area;
  for (int r = 0; r < kPDataRows; ++r, row += kRowBytes) {
    for (int m = 0; m < kRowBytes; ++m) {
      uint8_t v = row[m];
      sum[m] ^= v;
      horner[m] = kTimesAlpha[horner[m]] ^ v;
    }
  }
  uint8_t* p0 = area + kPDataRows * kRowBytes;
  uint8_t* p1 = p0 + kRowBytes;
  for (int m = 0; m < kRowBytes; ++m) {
    uint8_t first = kSumToP0[sum[m]] ^ kHornerToP0[horner[m]];
    p0[m] = first;
    p1[m] = sum[m] ^ first;
  }
}

void ComputeQ(uint8_t* area) {
  uint8_t* q0 = area + kQArea;
  uint8_t* q1 = q0 + 2 * kQDiagonals;
  for (int d = 0; d < kQDiagonals; ++d) {
    // Both bytes of each 16-bit word, as two codes side by side.
    uint8_t sumEven = 0, sumOdd = 0, hornerEven = 0, hornerOdd = 0;
    int offset = d * kRowBytes;
    for (int i = 0; i < kQDataSymbols; ++i) {
      uint8_t even = area[offset];
      uint8_t odd = area[offset + 1];
      sumEven ^= even;
      sumOdd ^= odd;
      hornerEven = kTimesAlpha[hornerEven] ^ even;
      hornerOdd = kTimesAlpha[hornerOdd] ^ odd;
      offset += kQStep;
      if (offset >= kQArea) offset -= kQArea;
    }
    uint8_t firstEven = kSumToP0[sumEven] ^ kHornerToP0[hornerEven];
    uint8_t firstOdd = kSumToP0[sumOdd] ^ kHornerToP0[hornerOdd];
    q0[2 * d] = firstEven;
    q0[2 * d + 1] = firstOdd;
    q1[2 * d] = sumEven ^ firstEven;
    q1[2 * d + 1] = sumOdd ^ firstOdd;
  }
}

const uint8_t kSync[kVcdSectorSyncSize] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

}  // namespace

uint32_t VcdSectorEdcUpdate(uint32_t edc, const uint8_t* p, size_t length) {
  // Whole 16-byte blocks by carry-less multiplication where the processor
  // has it: one EDC per sector of the image.
  if (length >= 64 && VcdEdcFoldAvailable()) {
    size_t blocks = length & ~static_cast<size_t>(15);
    edc = VcdEdcFold(edc, p, blocks);
    p += blocks;
    length -= blocks;
  }
  while (length >= 8) {
    uint32_t one = edc ^ LoadLe32(p);
    uint32_t two = LoadLe32(p + 4);
    edc = kEdc[7][one & 0xFF] ^ kEdc[6][(one >> 8) & 0xFF] ^ kEdc[5][(one >> 16) & 0xFF] ^
          kEdc[4][one >> 24] ^ kEdc[3][two & 0xFF] ^ kEdc[2][(two >> 8) & 0xFF] ^
          kEdc[1][(two >> 16) & 0xFF] ^ kEdc[0][two >> 24];
    p += 8;
    length -= 8;
  }
  while (length-- > 0) edc = (edc >> 8) ^ kEdc[0][(edc ^ *p++) & 0xFF];
  return edc;
}

uint32_t VcdSectorEdc(const uint8_t* data, size_t length) { return VcdSectorEdcUpdate(0, data, length); }

void VcdSectorParity(uint8_t* sector) {
  ComputeP(sector + kParityBase);
  ComputeQ(sector + kParityBase);
}

void FinishSector(uint8_t* sector, int kind, int address) {
  memcpy(sector, kSync, sizeof kSync);
  memset(sector + kVcdSectorSyncSize, 0, 4);
  switch (kind) {
    case kVcdSectorMode0:
      memset(sector + kVcdSectorHeaderSize, 0, kVcdSectorSize2336);
      break;
    case kVcdSectorForm1:
      StoreLe32(sector + kVcdForm1EdcOffset,
                VcdSectorEdc(sector + kVcdSectorHeaderSize, kVcdForm1EdcOffset - kVcdSectorHeaderSize));
      // Mode 2 Form 1 parity is taken with the header bytes zero.
      VcdSectorParity(sector);
      break;
    case kVcdSectorForm2:
      StoreLe32(sector + kVcdForm2EdcOffset,
                VcdSectorEdc(sector + kVcdSectorHeaderSize, kVcdForm2EdcOffset - kVcdSectorHeaderSize));
      break;
    default:  // raw Mode 2: the data brought its own codes
      break;
  }
  LbaToMsf(address, sector + kVcdSectorSyncSize);
  sector[15] = kind == kVcdSectorMode0 ? 0 : 2;
}

void EncodeXaSector(uint8_t* sector, const void* data, int lsn, int fileNumber, int channel,
                    int submode, int coding) {
  memset(sector, 0, kVcdSectorSize);
  uint8_t* subheader = sector + kVcdSectorHeaderSize;
  subheader[0] = static_cast<uint8_t>(fileNumber);
  subheader[1] = static_cast<uint8_t>(channel);
  subheader[2] = static_cast<uint8_t>(submode);
  subheader[3] = static_cast<uint8_t>(coding);
  memcpy(subheader + 4, subheader, 4);
  bool form2 = (submode & kVcdSubmodeForm2) != 0;
  if (data != NULL)
    memcpy(sector + kVcdSectorDataOffset, data, form2 ? kVcdForm2DataSize : kVcdForm1DataSize);
  FinishSector(sector, form2 ? kVcdSectorForm2 : kVcdSectorForm1, lsn + 150);
}

void EncodeRawMode2Sector(uint8_t* sector, const void* data, int lsn) {
  memset(sector, 0, kVcdSectorHeaderSize);
  if (data != NULL)
    memcpy(sector + kVcdSectorHeaderSize, data, kVcdSectorSize2336);
  else
    memset(sector + kVcdSectorHeaderSize, 0, kVcdSectorSize2336);
  FinishSector(sector, kVcdSectorRawMode2, lsn + 150);
}
