#include "discimage/iso9660/iso9660_volume.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "discimage/iso9660/iso9660_directory_record.h"
#include "discimage/iso9660/iso9660_fields.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/base/vcd_util.h"
#include "discimage/base/vcd_version.h"

namespace {

const char kStandardId[] = "CD001";
const char kSystemId[] = "CD-RTOS CD-BRIDGE";
const char kXaSignature[] = "CD-XA001";

void PutHeader(uint8_t* sector, uint8_t type) {
  memset(sector, 0, kIsoSectorSize);
  sector[0] = type;
  memcpy(sector + 1, kStandardId, 5);
  sector[6] = 1;
}

char* Field(uint8_t* sector, size_t offset) { return reinterpret_cast<char*>(sector + offset); }

}  // namespace

int WritePrimaryVolumeDescriptor(CVcdMessageSink* messages, uint8_t* sector, const char* volumeId,
                                 const char* publisherId, const char* applicationId,
                                 uint32_t totalSectors, const uint8_t* rootExtent,
                                 uint32_t typeLLocation, uint32_t typeMLocation,
                                 uint32_t pathTableSize, int64_t today) {
  if (sector == NULL || rootExtent == NULL) {
    if (messages) messages->Error("primary volume descriptor: no buffer to write or no root directory");
    return -1;
  }
  PutHeader(sector, kIsoVolumeDescriptorPrimary);
  CopyIdentifier(messages, Field(sector, 8), kSystemId, 32, kVcdCheckAChars);
  CopyIdentifier(messages, Field(sector, 40), volumeId, 32, kVcdCheckDChars);
  PutBothEndian32(sector + 80, totalSectors);
  PutBothEndian16(sector + 120, 1);
  PutBothEndian16(sector + 124, 1);
  PutBothEndian16(sector + 128, kIsoSectorSize);
  PutBothEndian32(sector + 132, pathTableSize);
  PutLittleEndian32(sector + 140, typeLLocation);
  PutLittleEndian32(sector + 144, 0);
  PutBigEndian32(sector + 148, typeMLocation);
  PutBigEndian32(sector + 152, 0);

  memcpy(sector + 156, rootExtent, kIsoRootRecordLength);
  sector[156] = kIsoRootRecordLength;

  CopyIdentifier(messages, Field(sector, 190), "", 128, kVcdCheckDChars);
  CopyIdentifier(messages, Field(sector, 318), publisherId, 128, kVcdCheckAChars);
  char* preparer = UpperCaseCopy(VCD_SHORT_NAME_TEXT);
  CopyIdentifier(messages, Field(sector, 446), preparer ? preparer : "", 128, kVcdCheckAChars);
  free(preparer);
  CopyIdentifier(messages, Field(sector, 574), applicationId, 128, kVcdCheckAChars);
  CopyIdentifier(messages, Field(sector, 702), "", 37, kVcdCheckDChars);
  CopyIdentifier(messages, Field(sector, 739), "", 37, kVcdCheckDChars);
  CopyIdentifier(messages, Field(sector, 776), "", 37, kVcdCheckDChars);

  // Only the date is kept: discs made on the same day get the same stamp.
  if (today < 0) today = static_cast<int64_t>(time(NULL));
  IsoCalendarTime date = IsoCalendarFromSeconds(today);
  date.hour = date.minute = date.second = 0;
  PutVolumeDate(sector + 813, &date);
  PutVolumeDate(sector + 830, &date);
  PutVolumeDate(sector + 847, NULL);
  PutVolumeDate(sector + 864, NULL);
  sector[881] = 1;

  memcpy(sector + 1024, kXaSignature, 8);
  return 0;
}

int WriteTerminator(CVcdMessageSink* messages, uint8_t* sector) {
  if (sector == NULL) {
    if (messages) messages->Error("volume descriptor set terminator: no buffer to write");
    return -1;
  }
  PutHeader(sector, kIsoVolumeDescriptorTerminator);
  return 0;
}
