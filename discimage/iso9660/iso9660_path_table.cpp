#include "discimage/iso9660/iso9660_path_table.h"

#include <cstring>

#include "discimage/iso9660/iso9660_fields.h"
#include "discimage/base/vcd_messages.h"

namespace {

// Walks the records: the offset behind the last whole one and how many there
// are. A record that would run past capacity ends the walk and marks the
// table as broken, so nothing is added behind it.
size_t WalkTable(const uint8_t* table, size_t capacity, int* count, bool* broken) {
  size_t at = 0;
  *count = 0;
  *broken = false;
  while (at < capacity && table[at] != 0) {
    size_t length = static_cast<size_t>(PathTableRecordLength(table[at]));
    if (length > capacity - at) {
      *broken = true;
      break;
    }
    at += length;
    ++*count;
  }
  return at;
}

int AddRecord(CVcdMessageSink* messages, uint8_t* table, size_t capacity, const char* name,
              uint32_t extent, uint16_t parent, bool bigEndian) {
  if (name == NULL) name = "";
  const size_t nameLength = strlen(name);
  const size_t identifierLength = nameLength == 0 ? 1 : nameLength;
  if (table == NULL || identifierLength > 255) {
    if (messages) messages->Error("path table record for '%s' cannot be written", name);
    return -1;
  }
  int count = 0;
  bool broken = false;
  size_t at = WalkTable(table, capacity, &count, &broken);
  const size_t length = static_cast<size_t>(PathTableRecordLength(static_cast<int>(identifierLength)));
  if (count >= kIsoMaxPathTableRecords) {
    if (messages)
      messages->Error("path table already holds %d directories, no room for '%s'",
                      kIsoMaxPathTableRecords, name);
    return -1;
  }
  if (broken || capacity - at < length) {
    if (messages)
      messages->Error("path table of %lu bytes is full, no room for directory '%s'",
                      static_cast<unsigned long>(capacity), name);
    return -1;
  }
  uint8_t* record = table + at;
  memset(record, 0, length);
  record[0] = static_cast<uint8_t>(identifierLength);
  record[1] = 0;
  if (bigEndian) {
    PutBigEndian32(record + 2, extent);
    PutBigEndian16(record + 6, parent);
  } else {
    PutLittleEndian32(record + 2, extent);
    PutLittleEndian16(record + 6, parent);
  }
  if (nameLength > 0) memcpy(record + 8, name, nameLength);
  return count + 1;
}

}  // namespace

int PathTableRecordLength(int nameLength) {
  if (nameLength < 1) nameLength = 1;
  return 8 + nameLength + (nameLength % 2);
}

int AddPathTableRecordL(CVcdMessageSink* messages, uint8_t* table, size_t capacity,
                        const char* name, uint32_t extent, uint16_t parent) {
  return AddRecord(messages, table, capacity, name, extent, parent, false);
}

int AddPathTableRecordM(CVcdMessageSink* messages, uint8_t* table, size_t capacity,
                        const char* name, uint32_t extent, uint16_t parent) {
  return AddRecord(messages, table, capacity, name, extent, parent, true);
}

size_t PathTableSize(const uint8_t* table, size_t capacity) {
  if (table == NULL) return 0;
  int count = 0;
  bool broken = false;
  return WalkTable(table, capacity, &count, &broken);
}
