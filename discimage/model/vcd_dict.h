// The file dictionary: the sectors of track 1 that the builder fills itself
// (volume descriptors, directory, path tables, the VideoCD information
// files), each under a key with a buffer of whole sectors. The layout places
// the records, the writers fill the buffers, and writing track 1 takes each
// sector's bytes and subheader flags from here.
//
// A record always stands on sectors that belong to it alone: Insert takes its
// sectors from the project's sector bitmap and stores nothing when they are
// not free; InsertReserved places a record on sectors the layout reserved
// beforehand and refuses one that overlaps another record. Either failure is
// reported, never recorded.
#pragma once

#include <cstdint>

#include "discimage/model/vcd_object.h"

class CVcdObj;

// The record a CVcdDict owns (calloc; key and buffer malloc).
struct VcdDictRecord {
  char* key;        // owned copy
  int firstSector;  // logical sector of the first sector
  int sectorCount;  // at least 1
  uint8_t* buffer;  // sectorCount x 2048 bytes, zeroed, owned
  uint8_t flags;    // subheader submode bits of the record's last sector
};

class CVcdDict : public CVcdOldStyle {
  DECLARE_DYNAMIC(CVcdDict)
  enum { kSectorSize = 2048 };

  // Allocates the record and a zeroed buffer; abort()s when memory is gone
  // (the buffers are at most a few dozen sectors).
  CVcdDict(const char* key, int firstSector, int sectorCount, uint8_t flags);
  // With the flag set, frees key and buffer with the record.
  void Detach(int flag) override;

  VcdDictRecord* Record() const { return static_cast<VcdDictRecord*>(m_payload); }
  const char* GetKey() const { return Record()->key; }
  int GetFirstSector() const { return Record()->firstSector; }
  int GetSectorCount() const { return Record()->sectorCount; }
  int GetLastSector() const { return GetFirstSector() + GetSectorCount() - 1; }
  uint8_t* GetBuffer() const { return Record()->buffer; }
  uint8_t GetFlags() const { return Record()->flags; }
  bool Contains(int sector) const { return sector >= GetFirstSector() && sector <= GetLastSector(); }
};

class CDictList : public CVcdList {
  DECLARE_DYNAMIC(CDictList)
  explicit CDictList(CVcdObj* project = NULL);
  // Frees every record.
  ~CDictList() override;

  // Takes count sectors from the project's sector bitmap at sector, or at the
  // first free run for -1, and appends a record there. A count of 0 becomes 1
  // (the bitmap hands out one sector for it). Returns the first sector, or -1
  // (reported) when the sectors are not free, the key is in use, or the
  // project has no sector bitmap.
  int Insert(const char* key, int sector, int count, uint8_t flags);
  // Appends a record on sectors the caller has already marked in the bitmap
  // (the layout reserves the directory area before it knows its size).
  // Returns sector, or -1 (reported) when a sector is not marked in the
  // bitmap, overlaps another record, or the key is in use.
  int InsertReserved(const char* key, int sector, int count, uint8_t flags);

  // Without regard to case; NULL when absent.
  CVcdDict* FindByKey(const char* key) const;
  // The record whose sectors contain the sector, or NULL.
  CVcdDict* FindBySector(int sector) const;
  // The record's flags when the sector is its last one, else 0: an
  // information file ends (end of record, end of file) on its last sector.
  uint8_t SectorFlags(int sector) const;
  // The sector's 2048 bytes in its record's buffer, or NULL.
  uint8_t* SectorData(int sector) const;

  // Frees every record with its key and buffer.
  void Clear(int flag = 1) override;

  CVcdObj* GetProject() const { return m_project; }
  void SetProject(CVcdObj* project) { m_project = project; }

protected:
  // 0 when key, count and range are acceptable; -1 after reporting why not.
  int CheckNewRecord(const char* key, int sector, int count);
  CVcdDict* Add(const char* key, int sector, int count, uint8_t flags);
  void Report(const char* format, ...);

  CVcdObj* m_project;  // the owner: its bitmap and its messages; not owned
};
