// The sector EDC by carry-less multiplication: the CD-ROM EDC is a 32-bit
// cyclic code, so whole 16-byte blocks can be folded with PCLMULQDQ instead
// of looked up byte by byte. Writing an image computes one EDC per sector,
// and this is what keeps that below the cost of copying the bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// True when the processor can run VcdEdcFold (checked once).
bool VcdEdcFoldAvailable();

// Continues the EDC edc over length bytes; length must be a multiple of 16
// and at least 64. Only call it when VcdEdcFoldAvailable().
uint32_t VcdEdcFold(uint32_t edc, const uint8_t* data, size_t length);
