// ISO 9660 volume descriptors of the disc's first track: the primary volume
// descriptor (with the CD-ROM XA signature) and the set terminator. Each
// fills one whole 2048-byte sector buffer.
#pragma once

#include <cstddef>
#include <cstdint>

class CVcdMessageSink;

enum {
  kIsoVolumeDescriptorPrimary = 1,
  kIsoVolumeDescriptorTerminator = 255,
};

// Fills sector (2048 bytes). The identifiers are copied with the checked
// copy of the utilities (warnings for characters outside their class and for
// truncation). rootExtent is the root directory's extent as written: its
// first record (".") becomes the root record, its length byte set to 34.
// The creation and modification dates are the UTC date of today (seconds
// since 1970; -1: now) at 00:00:00.00. Returns 0, or -1 (reported) when a
// buffer is missing.
int WritePrimaryVolumeDescriptor(CVcdMessageSink* messages, uint8_t* sector, const char* volumeId,
                                 const char* publisherId, const char* applicationId,
                                 uint32_t totalSectors, const uint8_t* rootExtent,
                                 uint32_t typeLLocation, uint32_t typeMLocation,
                                 uint32_t pathTableSize, int64_t today = -1);

// Fills sector (2048 bytes) with the volume descriptor set terminator.
// Returns 0, or -1 (reported) for a missing buffer.
int WriteTerminator(CVcdMessageSink* messages, uint8_t* sector);
