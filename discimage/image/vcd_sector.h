// The CD-ROM XA sector encoder: every sector of an image is a 2352-byte
// Mode 2 sector made here from its user data, its logical sector number and
// the XA subheader the writer chose. Form 1 sectors get the EDC and the P and
// Q Reed-Solomon parity of the CD-ROM format, Form 2 sectors the EDC only.
//
// Layout of a sector (byte offsets):
//     0  sync (00, ten FF, 00)       12  address: BCD minute, second, frame
//    15  mode (2, or 0 when empty)   16  subheader, 20 its copy
//    24  user data: 2048 (Form 1) or 2324 (Form 2)
//  Form 1: 2072 EDC, 2076 P parity (172), 2248 Q parity (104)
//  Form 2: 2348 EDC
//
// Everything works on the caller's buffer: no allocation, tables built at
// compile time.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
  kVcdSectorSize = 2352,       // a whole raw sector
  kVcdSectorSize2336 = 2336,   // a sector without sync and header
  kVcdSectorHeaderSize = 16,   // sync and header
  kVcdSectorSyncSize = 12,
  kVcdForm1DataSize = 2048,
  kVcdForm2DataSize = 2324,
  kVcdSectorDataOffset = 24,   // user data behind header and both subheaders
  kVcdForm1EdcOffset = 2072,
  kVcdForm1POffset = 2076,
  kVcdForm1QOffset = 2248,
  kVcdForm2EdcOffset = 2348,
};

// Submode bits of the XA subheader.
enum {
  kVcdSubmodeEndOfRecord = 0x01,
  kVcdSubmodeVideo = 0x02,
  kVcdSubmodeAudio = 0x04,
  kVcdSubmodeData = 0x08,
  kVcdSubmodeTrigger = 0x10,
  kVcdSubmodeForm2 = 0x20,
  kVcdSubmodeRealTime = 0x40,
  kVcdSubmodeEndOfFile = 0x80,
};

// What FinishSector makes of a sector.
enum {
  kVcdSectorMode0 = 0,     // empty Mode 0 sector: everything behind the header zero
  kVcdSectorRawMode2 = 1,  // Mode 2 with the 2336 bytes left as they are
  kVcdSectorForm1 = 2,     // Mode 2 Form 1: EDC, P and Q parity
  kVcdSectorForm2 = 3,     // Mode 2 Form 2: EDC only
};

// Builds a whole XA sector: the subheader (file number, channel, submode,
// coding information) twice, then 2324 data bytes as Form 2 when submode has
// kVcdSubmodeForm2, else 2048 bytes as Form 1. A NULL data pointer is an empty
// sector (zero user data). The address written is lsn + 150.
void EncodeXaSector(uint8_t* sector, const void* data, int lsn, int fileNumber, int channel,
                    int submode, int coding);

// Builds a Mode 2 sector around 2336 bytes that bring their own subheader,
// EDC and parity (a user file copied raw): only bytes 0-15 are written. The
// address written is lsn + 150.
void EncodeRawMode2Sector(uint8_t* sector, const void* data, int lsn);

// Writes sync, the codes of the kind (kVcdSector*) and the header with the
// BCD time of address (already including the 150-sector offset).
void FinishSector(uint8_t* sector, int kind, int address);

// The CD-ROM error detection code over length bytes (32-bit cyclic code,
// least significant bit first, initial value 0, no final inversion).
uint32_t VcdSectorEdc(const uint8_t* data, size_t length);
// Continues an EDC over more bytes.
uint32_t VcdSectorEdcUpdate(uint32_t edc, const uint8_t* data, size_t length);

// Computes the P and then the Q parity of a whole sector over bytes 12-2247
// as they stand (a Form 1 Mode 2 caller zeroes the header first).
void VcdSectorParity(uint8_t* sector);
