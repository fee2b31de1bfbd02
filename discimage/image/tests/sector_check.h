// A checker for finished CD-ROM XA sectors, independent of the encoder: it
// has its own EDC table and verifies the P and Q parity by their syndromes.
// Tests use it on single sectors and on whole images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SectorCheckOptions {
  int expectedLsn = -1;             // -1: any address is fine
  bool allowZeroForm2Edc = false;   // Form 2 EDC may be left 0 (unused)
  bool allowMode0 = true;           // an all-zero Mode 0 sector passes
};

// Checks one raw 2352-byte sector: sync, BCD address (LSN + 150), mode, the
// two subheader copies, and by the Form bit the Form 1 EDC with P and Q
// parity or the Form 2 EDC. Returns "" when good, else the first fault.
std::string CheckRawSector(const uint8_t* sector, const SectorCheckOptions& options = {});

// The same for a stored sector of 2352 bytes, or of 2336 bytes (sync and
// header are then rebuilt for lsn, Mode 2).
std::string CheckStoredSector(const uint8_t* stored, size_t storedSize, int lsn,
                              const SectorCheckOptions& options = {});

// Checks every sector of an image file of storedSize-byte sectors, the first
// being firstLsn. Fills *sectors with the count; "" when all are good, else
// the first fault with its LSN.
std::string CheckImageFile(const std::string& path, size_t storedSize, int firstLsn,
                           size_t* sectors = nullptr, const SectorCheckOptions& options = {});

// The checker's own EDC (byte-wise table), for tests that want a second
// opinion.
uint32_t CheckerEdc(const uint8_t* data, size_t length);
