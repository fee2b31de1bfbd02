// ISO 9660 directory records and the directory extents that hold them.
//
// A record is 33 bytes of header, the file identifier (one 0 byte for ".",
// one 1 byte for ".."), a pad byte when the identifier length is even, the
// system use area and a pad byte that keeps the length even. Records never
// cross a 2048-byte sector: one that would is put at the next sector and the
// gap stays zero.
//
// Every writer here is bounded by the extent size it is given and refuses,
// with an error, what does not fit instead of writing past it.
#pragma once

#include <cstddef>
#include <cstdint>

class CVcdMessageSink;

enum {
  kIsoDirectoryRecordHeader = 33,  // bytes before the file identifier
  kIsoRootRecordLength = 34,       // the root record inside the volume descriptor
  kIsoMaxRecordLength = 255,       // the length byte
  kIsoFlagDirectory = 2,
};

// Bytes of a record with an identifier of nameLength bytes (0 counts as the
// one byte of an empty name) and systemUseLength system use bytes.
int DirectoryRecordLength(int nameLength, int systemUseLength);

// Appends a record to a directory extent of capacity bytes. The extent's own
// size is read from its first record (an extent whose first record has length
// 0 and data length 0 counts as one sector), capped at capacity; its records
// are walked by their length bytes (a 0 byte steps one byte, crossing the
// padding at a sector end), and the new record goes behind the last one.
// An empty name is written as the single byte 0; time 0 stands for
// kIsoDefaultTime.
// Returns the new record's offset in the extent, or -1 (reported) when the
// record is too long for its length byte, the extent is broken, or the record
// does not fit.
int AddDirectoryRecord(CVcdMessageSink* messages, uint8_t* extent, size_t capacity,
                       const char* name, uint32_t location, uint32_t size, uint8_t flags,
                       const uint8_t* systemUse, int systemUseLength, int64_t time);

// The same record at a known end: *end is the offset behind the last record
// of an extent of extentSize bytes, and becomes the offset behind the new
// one. Writers that fill a whole extent keep the end themselves so that each
// append costs the same however many records the extent holds.
int AppendDirectoryRecord(CVcdMessageSink* messages, uint8_t* extent, size_t extentSize,
                          size_t* end, const char* name, uint32_t location, uint32_t size,
                          uint8_t flags, const uint8_t* systemUse, int systemUseLength,
                          int64_t time);

// Clears ownSize bytes of the extent (capacity bytes available) and writes
// its "." record (own extent and size) and ".." record (the parent's), both
// with the directory flag and the fixed default time.
// Returns the offset behind the ".." record, or -1 (reported).
int InitDirectoryExtent(CVcdMessageSink* messages, uint8_t* extent, size_t capacity,
                        uint32_t ownExtent, uint32_t ownSize, const uint8_t* ownSystemUse,
                        int ownSystemUseLength, uint32_t parentExtent, uint32_t parentSize,
                        const uint8_t* parentSystemUse, int parentSystemUseLength);
