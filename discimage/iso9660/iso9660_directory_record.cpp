#include "discimage/iso9660/iso9660_directory_record.h"

#include <cstring>

#include "discimage/iso9660/iso9660_fields.h"
#include "discimage/base/vcd_messages.h"

namespace {

// How the identifier bytes are shown in messages: "." and ".." for the two
// one-byte names.
const char* ShownName(const char* name) {
  if (name == NULL || name[0] == '\0') return ".";
  if (name[0] == '\1' && name[1] == '\0') return "..";
  return name;
}

}  // namespace

int DirectoryRecordLength(int nameLength, int systemUseLength) {
  if (nameLength < 1) nameLength = 1;
  int length = kIsoDirectoryRecordHeader + nameLength + (nameLength % 2 == 0 ? 1 : 0);
  length += systemUseLength;
  return length + (length % 2);
}

int AppendDirectoryRecord(CVcdMessageSink* messages, uint8_t* extent, size_t extentSize,
                          size_t* end, const char* name, uint32_t location, uint32_t size,
                          uint8_t flags, const uint8_t* systemUse, int systemUseLength,
                          int64_t time) {
  if (name == NULL) name = "";
  if (systemUseLength < 0 || (systemUseLength > 0 && systemUse == NULL)) {
    if (messages) messages->Error("directory record for '%s': bad system use area", ShownName(name));
    return -1;
  }
  const size_t nameLength = strlen(name);
  const size_t identifierLength = nameLength == 0 ? 1 : nameLength;
  if (identifierLength > kIsoMaxRecordLength ||
      DirectoryRecordLength(static_cast<int>(identifierLength), systemUseLength) >
          kIsoMaxRecordLength) {
    if (messages)
      messages->Error("directory record for '%s' exceeds %d bytes", ShownName(name),
                      kIsoMaxRecordLength);
    return -1;
  }
  const int length = DirectoryRecordLength(static_cast<int>(identifierLength), systemUseLength);

  size_t at = *end;
  if (at % kIsoSectorSize + static_cast<size_t>(length) > kIsoSectorSize)
    at += kIsoSectorSize - at % kIsoSectorSize;
  if (at > extentSize || extentSize - at < static_cast<size_t>(length)) {
    if (messages)
      messages->Error("directory extent of %lu bytes has no room for the record of '%s'",
                      static_cast<unsigned long>(extentSize), ShownName(name));
    return -1;
  }

  uint8_t* record = extent + at;
  memset(record, 0, static_cast<size_t>(length));
  record[0] = static_cast<uint8_t>(length);
  record[1] = 0;
  PutBothEndian32(record + 2, location);
  PutBothEndian32(record + 10, size);
  PutRecordingTime(record + 18, time != 0 ? time : kIsoDefaultTime);
  record[25] = flags;
  record[26] = 0;
  record[27] = 0;
  PutBothEndian16(record + 28, 1);
  record[32] = static_cast<uint8_t>(identifierLength);
  if (nameLength == 0)
    record[33] = 0;
  else
    memcpy(record + 33, name, nameLength);
  size_t systemUseAt = kIsoDirectoryRecordHeader + identifierLength + (identifierLength % 2 == 0);
  if (systemUseLength > 0) memcpy(record + systemUseAt, systemUse, static_cast<size_t>(systemUseLength));

  *end = at + static_cast<size_t>(length);
  return static_cast<int>(at);
}

int AddDirectoryRecord(CVcdMessageSink* messages, uint8_t* extent, size_t capacity,
                       const char* name, uint32_t location, uint32_t size, uint8_t flags,
                       const uint8_t* systemUse, int systemUseLength, int64_t time) {
  if (extent == NULL || capacity == 0) {
    if (messages) messages->Error("directory record for '%s': no extent", ShownName(name));
    return -1;
  }

  size_t extentSize = kIsoSectorSize;
  if (capacity >= kIsoDirectoryRecordHeader) {
    if (!BothEndian32Agrees(extent + 10) && messages) messages->Warning("from_733: broken byte order");
    uint32_t dataLength = GetLittleEndian32(extent + 10);
    if (!(extent[0] == 0 && dataLength == 0)) extentSize = dataLength;
  }
  if (extentSize > capacity) extentSize = capacity;

  size_t end = 0;
  for (size_t at = 0; at < extentSize;) {
    uint8_t length = extent[at];
    if (length == 0) {
      ++at;
      continue;
    }
    if (length > extentSize - at) {
      if (messages)
        messages->Error("directory extent is broken: record at offset %lu runs past its end",
                        static_cast<unsigned long>(at));
      return -1;
    }
    at += length;
    end = at;
  }
  return AppendDirectoryRecord(messages, extent, extentSize, &end, name, location, size, flags,
                               systemUse, systemUseLength, time);
}

int InitDirectoryExtent(CVcdMessageSink* messages, uint8_t* extent, size_t capacity,
                        uint32_t ownExtent, uint32_t ownSize, const uint8_t* ownSystemUse,
                        int ownSystemUseLength, uint32_t parentExtent, uint32_t parentSize,
                        const uint8_t* parentSystemUse, int parentSystemUseLength) {
  if (extent == NULL || ownSize == 0 || ownSize > capacity) {
    if (messages)
      messages->Error("directory extent of %lu bytes cannot hold a directory of %lu bytes",
                      static_cast<unsigned long>(extent ? capacity : 0),
                      static_cast<unsigned long>(ownSize));
    return -1;
  }
  memset(extent, 0, ownSize);
  size_t end = 0;
  if (AppendDirectoryRecord(messages, extent, ownSize, &end, "", ownExtent, ownSize,
                            kIsoFlagDirectory, ownSystemUse, ownSystemUseLength, 0) < 0)
    return -1;
  if (AppendDirectoryRecord(messages, extent, ownSize, &end, "\1", parentExtent, parentSize,
                            kIsoFlagDirectory, parentSystemUse, parentSystemUseLength, 0) < 0)
    return -1;
  return static_cast<int>(end);
}
