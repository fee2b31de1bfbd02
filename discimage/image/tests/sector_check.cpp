#include "discimage/image/tests/sector_check.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Tables {
  uint32_t edc[256];
  uint8_t exp[512];  // a^i, doubled so that exp[log x + log y] needs no modulo
  int log[256];
  Tables() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i;
      for (int b = 0; b < 8; ++b) r = (r >> 1) ^ ((r & 1) ? 0xD8018001u : 0);
      edc[i] = r;
    }
    unsigned x = 1;
    for (int i = 0; i < 255; ++i) {
      exp[i] = exp[i + 255] = static_cast<uint8_t>(x);
      log[x] = i;
      x <<= 1;
      if (x & 0x100) x ^= 0x11D;
    }
    exp[510] = exp[0];
    exp[511] = exp[1];
    log[0] = -1;
  }
  uint8_t Mul(uint8_t a, int power) const {  // a * alpha^power
    return a == 0 ? 0 : exp[(log[a] + power) % 255];
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

std::string Fault(const char* format, long a = 0, long b = 0) {
  char text[160];
  snprintf(text, sizeof text, format, a, b);
  return text;
}

int FromBcd(uint8_t v) {
  if ((v >> 4) > 9 || (v & 15) > 9) return -1;
  return (v >> 4) * 10 + (v & 15);
}

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Both syndromes of every P and Q codeword must vanish (sum Vi = 0 and
// sum a^(n-1-i) Vi = 0), computed over the header-zeroed parity area.
std::string CheckParity(const uint8_t* sector) {
  uint8_t area[2340];
  memcpy(area, sector + 12, 2340);
  memset(area, 0, 4);
  for (int m = 0; m < 86; ++m) {
    uint8_t s0 = 0, s1 = 0;
    for (int i = 0; i < 26; ++i) {
      uint8_t v = area[m + 86 * i];
      s0 ^= v;
      s1 ^= T().Mul(v, 25 - i);
    }
    if (s0 != 0 || s1 != 0) return Fault("P parity of column %ld is wrong", m);
  }
  for (int d = 0; d < 26; ++d) {
    for (int h = 0; h < 2; ++h) {
      uint8_t s0 = 0, s1 = 0;
      for (int i = 0; i < 45; ++i) {
        int offset = i < 43 ? (86 * d + 88 * i) % 2236 + h : 2236 + 52 * (i - 43) + 2 * d + h;
        uint8_t v = area[offset];
        s0 ^= v;
        s1 ^= T().Mul(v, 44 - i);
      }
      if (s0 != 0 || s1 != 0) return Fault("Q parity of diagonal %ld/%ld is wrong", d, h);
    }
  }
  return "";
}

}  // namespace

uint32_t CheckerEdc(const uint8_t* data, size_t length) {
  uint32_t r = 0;
  for (size_t i = 0; i < length; ++i) r = (r >> 8) ^ T().edc[(r ^ data[i]) & 0xFF];
  return r;
}

std::string CheckRawSector(const uint8_t* s, const SectorCheckOptions& options) {
  static const uint8_t kSync[12] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  if (memcmp(s, kSync, 12) != 0) return "bad sync";
  int m = FromBcd(s[12]), sec = FromBcd(s[13]), f = FromBcd(s[14]);
  if (m < 0 || sec < 0 || f < 0 || sec > 59 || f > 74) return Fault("address is not BCD MSF");
  long address = (m * 60L + sec) * 75 + f;
  if (address < 150) return Fault("address %ld lies in the lead-in", address);
  if (options.expectedLsn >= 0 && address - 150 != options.expectedLsn)
    return Fault("address gives lsn %ld, expected %ld", address - 150, options.expectedLsn);
  if (s[15] == 0) {
    if (!options.allowMode0) return "Mode 0 sector";
    for (int i = 16; i < 2352; ++i)
      if (s[i] != 0) return Fault("Mode 0 sector has data at %ld", i);
    return "";
  }
  if (s[15] != 2) return Fault("mode byte %ld", s[15]);
  if (memcmp(s + 16, s + 20, 4) != 0) return "subheader copies differ";
  if (s[18] & 0x20) {
    uint32_t stored = Le32(s + 2348);
    if (stored == 0 && options.allowZeroForm2Edc) return "";
    if (stored != CheckerEdc(s + 16, 2332)) return "Form 2 EDC is wrong";
    return "";
  }
  if (Le32(s + 2072) != CheckerEdc(s + 16, 2056)) return "Form 1 EDC is wrong";
  return CheckParity(s);
}

std::string CheckStoredSector(const uint8_t* stored, size_t storedSize, int lsn,
                              const SectorCheckOptions& options) {
  SectorCheckOptions withLsn = options;
  withLsn.expectedLsn = lsn;
  if (storedSize == 2352) return CheckRawSector(stored, withLsn);
  if (storedSize != 2336) return "stored sectors are 2352 or 2336 bytes";
  uint8_t frame[2352] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
  int address = lsn + 150;
  auto bcd = [](int v) { return static_cast<uint8_t>(((v / 10) << 4) | (v % 10)); };
  frame[12] = bcd(address / 4500);
  frame[13] = bcd((address / 75) % 60);
  frame[14] = bcd(address % 75);
  frame[15] = 2;
  memcpy(frame + 16, stored, 2336);
  return CheckRawSector(frame, withLsn);
}

std::string CheckImageFile(const std::string& path, size_t storedSize, int firstLsn,
                           size_t* sectors, const SectorCheckOptions& options) {
  if (sectors) *sectors = 0;
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return "cannot open " + path;
  std::vector<uint8_t> buffer(storedSize);
  std::string fault;
  size_t count = 0;
  size_t got;
  while ((got = fread(buffer.data(), 1, storedSize, f)) == storedSize) {
    fault = CheckStoredSector(buffer.data(), storedSize, firstLsn + static_cast<int>(count), options);
    if (!fault.empty()) {
      fault = Fault("lsn %ld: ", firstLsn + static_cast<long>(count)) + fault;
      break;
    }
    ++count;
  }
  if (fault.empty() && got != 0) fault = Fault("%ld trailing bytes", static_cast<long>(got));
  fclose(f);
  if (sectors) *sectors = count;
  return fault;
}
