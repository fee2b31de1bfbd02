// ISO 9660 path tables. Each record: name length N (1 for the root's empty
// name), extended attribute length 0, extent (4 bytes), parent directory
// number (2 bytes), the name (a single 0 for the root) and a pad byte when N
// is odd. The type L table holds the numbers little-endian, the type M table
// big-endian. A name length of 0 ends the table.
#pragma once

#include <cstddef>
#include <cstdint>

class CVcdMessageSink;

enum { kIsoMaxPathTableRecords = 65535 };  // directory numbers are 16-bit

// Bytes of the record for a name of nameLength bytes (0 counts as 1).
int PathTableRecordLength(int nameLength);

// Append a record behind the last one of a table of capacity bytes and
// return its number (records count from 1). -1 (reported) when the record
// does not fit, the name is longer than 255 bytes, or the table already has
// 65535 records.
int AddPathTableRecordL(CVcdMessageSink* messages, uint8_t* table, size_t capacity,
                        const char* name, uint32_t extent, uint16_t parent);
int AddPathTableRecordM(CVcdMessageSink* messages, uint8_t* table, size_t capacity,
                        const char* name, uint32_t extent, uint16_t parent);

// The table's length in bytes: its records up to the first name length 0,
// never more than capacity.
size_t PathTableSize(const uint8_t* table, size_t capacity);
