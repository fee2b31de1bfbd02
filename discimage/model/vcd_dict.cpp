#include "discimage/model/vcd_dict.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "discimage/base/vcd_messages.h"
#include "discimage/model/vcd_project.h"

IMPLEMENT_DYNAMIC(CVcdDict, CVcdOldStyle)
IMPLEMENT_DYNAMIC(CDictList, CVcdList)

// The largest record the layout makes is the 32-sector LOT; a PSD or scan
// table stays far below this. Anything larger is a caller's mistake, and
// refusing it keeps count x 2048 from overflowing.
static const int kMaxRecordSectors = 65536;

// ---------------------------------------------------------------------------
// CVcdDict

CVcdDict::CVcdDict(const char* key, int firstSector, int sectorCount, uint8_t flags)
    : CVcdOldStyle(calloc(1, sizeof(VcdDictRecord))) {
  VcdDictRecord* record = Record();
  if (record == NULL) abort();
  size_t keyLength = strlen(key != NULL ? key : "");
  record->key = static_cast<char*>(malloc(keyLength + 1));
  record->buffer = static_cast<uint8_t*>(calloc(static_cast<size_t>(sectorCount), kSectorSize));
  if (record->key == NULL || record->buffer == NULL) abort();
  memcpy(record->key, key != NULL ? key : "", keyLength + 1);
  record->firstSector = firstSector;
  record->sectorCount = sectorCount;
  record->flags = flags;
}

void CVcdDict::Detach(int flag) {
  if (flag && m_payload != NULL) {
    free(Record()->key);
    free(Record()->buffer);
    Record()->key = NULL;
    Record()->buffer = NULL;
  }
  CVcdOldStyle::Detach(flag);
}

// ---------------------------------------------------------------------------
// CDictList

CDictList::CDictList(CVcdObj* project) : m_project(project) {}

CDictList::~CDictList() { Clear(1); }

void CDictList::Clear(int flag) { CVcdList::Clear(flag); }

void CDictList::Report(const char* format, ...) {
  CVcdMessageSink* messages = m_project != NULL ? m_project->Messages() : NULL;
  if (messages == NULL) return;
  va_list args;
  va_start(args, format);
  messages->SendV(kVcdMsgError, format, args);
  va_end(args);
}

int CDictList::CheckNewRecord(const char* key, int sector, int count) {
  if (key == NULL || *key == '\0') {
    Report("file dictionary: no key given");
    return -1;
  }
  if (FindByKey(key) != NULL) {
    Report("file dictionary: key '%s' exists already", key);
    return -1;
  }
  if (count < 0 || count > kMaxRecordSectors || sector < -1) {
    Report("file dictionary: '%s' has an invalid range (sector %d, %d sectors)", key, sector,
           count);
    return -1;
  }
  if (m_project == NULL || m_project->SectorBitmap() == NULL) {
    Report("file dictionary: no sector allocation for '%s'", key);
    return -1;
  }
  return 0;
}

CVcdDict* CDictList::Add(const char* key, int sector, int count, uint8_t flags) {
  CVcdDict* record = new CVcdDict(key, sector, count, flags);
  Append(record);
  return record;
}

int CDictList::Insert(const char* key, int sector, int count, uint8_t flags) {
  if (CheckNewRecord(key, sector, count) != 0) return -1;
  if (count == 0) count = 1;  // the bitmap hands out one sector for it
  int start = m_project->AllocateSectors(sector, count);
  if (start < 0) {
    if (sector < 0)
      Report("file dictionary: no room for '%s' (%d sectors)", key, count);
    else
      Report("file dictionary: sectors %d to %d for '%s' are in use already", sector,
             sector + count - 1, key);
    return -1;
  }
  Add(key, start, count, flags);
  return start;
}

int CDictList::InsertReserved(const char* key, int sector, int count, uint8_t flags) {
  if (CheckNewRecord(key, sector, count) != 0) return -1;
  if (sector < 0 || count < 1) {
    Report("file dictionary: '%s' needs a sector and a count to be placed", key);
    return -1;
  }
  if (!m_project->SectorsAllocated(sector, count)) {
    Report("file dictionary: sectors %d to %d for '%s' were not reserved", sector,
           sector + count - 1, key);
    return -1;
  }
  int last = sector + count - 1;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CVcdDict* other = static_cast<CVcdDict*>(GetNext(pos));
    if (other->GetFirstSector() <= last && sector <= other->GetLastSector()) {
      Report("file dictionary: sectors %d to %d for '%s' overlap '%s'", sector, last, key,
             other->GetKey());
      return -1;
    }
  }
  Add(key, sector, count, flags);
  return sector;
}

CVcdDict* CDictList::FindByKey(const char* key) const {
  if (key == NULL) return NULL;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CVcdDict* record = static_cast<CVcdDict*>(GetNext(pos));
    if (VcdIdEqualNoCase(record->GetKey(), key)) return record;
  }
  return NULL;
}

CVcdDict* CDictList::FindBySector(int sector) const {
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CVcdDict* record = static_cast<CVcdDict*>(GetNext(pos));
    if (record->Contains(sector)) return record;
  }
  return NULL;
}

uint8_t CDictList::SectorFlags(int sector) const {
  CVcdDict* record = FindBySector(sector);
  return record != NULL && record->GetLastSector() == sector ? record->GetFlags() : 0;
}

uint8_t* CDictList::SectorData(int sector) const {
  CVcdDict* record = FindBySector(sector);
  if (record == NULL) return NULL;
  return record->GetBuffer() +
         static_cast<size_t>(sector - record->GetFirstSector()) * CVcdDict::kSectorSize;
}
