// The project's MPEG tracks (sequences) with their entry points and
// auto-pause points. The project creates and owns them; the layout, the PSD
// encoder and the information-file writers read them.
//
// Entries and pauses are kept in time order. Tracks are nearly always given
// their points in ascending time, so insertion looks for its place from the
// tail: appending costs nothing and a 74-minute disc's points stay linear.
#pragma once

#include "discimage/model/vcd_object.h"
#include "mfc/string.h"

class CVcdMpegSource;
struct MpegStreamInfo;

// A CVcdList whose elements compare by time. InsertByTime gives the same order
// as SortedInsert (equal times keep their insertion order) but walks from the
// tail, where new points nearly always belong.
class CVcdTimedList : public CVcdList {
  DECLARE_DYNAMIC(CVcdTimedList)
  CVcdTimedList();

  // Inserts after the last element that does not compare greater than the new
  // one; at the head when every element does.
  POSITION InsertByTime(CVcdObject* element);
};

// The record a CVcdEntry owns (allocated with calloc; the id with malloc).
struct VcdEntryRecord {
  double requestedTime;  // seconds into the track, as the project asked
  int packet;            // packet of the scan point the layout chose
  int apsType;           // type of that scan point
  double resolvedTime;   // time of that scan point, seconds
  char* id;              // owned copy, or NULL when the entry has no id
};

// One entry point of a track.
class CVcdEntry : public CVcdOldStyle {
  DECLARE_DYNAMIC(CVcdEntry)
  // Allocates the record; a NULL or empty id is stored as none.
  CVcdEntry(double time, const char* id);

  // By requested time, against another CVcdEntry (0 for anything else).
  int Compare(const CObject* other) const override;
  // Below 0, 0 or above 0 as this entry lies before, at or after time.
  int CompareTime(double time) const;
  // With the flag set, frees the id with the record.
  void Detach(int flag) override;

  VcdEntryRecord* Record() const { return static_cast<VcdEntryRecord*>(m_payload); }
  double GetTime() const { return Record()->requestedTime; }
  // The id, or NULL.
  const char* GetId() const { return Record()->id; }
};

// The record a CVcdPause owns. The project never keeps a pause id; the field
// exists so that the record is complete.
struct VcdPauseRecord {
  double time;  // seconds into the item
  char* id;     // always NULL in records the project makes
};

// One auto-pause point of a track or a segment item.
class CVcdPause : public CVcdOldStyle {
  DECLARE_DYNAMIC(CVcdPause)
  explicit CVcdPause(double time);

  // By time, against another CVcdPause (0 for anything else).
  int Compare(const CObject* other) const override;
  int CompareTime(double time) const;
  void Detach(int flag) override;

  VcdPauseRecord* Record() const { return static_cast<VcdPauseRecord*>(m_payload); }
  double GetTime() const { return Record()->time; }
};

// One MPEG track. Track numbers on the disc start at 2 (track 1 is the ISO
// file system), so the sequence at index i is track i + 2.
class CMpegSequence : public CVcdObject {
  DECLARE_DYNAMIC(CMpegSequence)
  // Takes the source (NULL allowed); info points into it.
  CMpegSequence(CVcdMpegSource* source, MpegStreamInfo* info, const char* id,
                const char* defaultEntryId);
  // Releases the source if it is still held and frees the points.
  ~CMpegSequence() override;

  // Clears both point lists (passing the flag), releases the source and
  // leaves the parent list.
  void Detach(int flag) override;

  // The entry points as the PSD checks count them: the track start (the
  // default entry) plus the entries.
  int EntryPointCount() const { return static_cast<int>(m_entries.GetCount()) + 1; }
  // Entries appended so far.
  int EntryCount() const { return static_cast<int>(m_entries.GetCount()); }

  CVcdMpegSource* GetSource() const { return m_source; }
  MpegStreamInfo* GetStreamInfo() const { return m_info; }
  const CString& GetId() const { return m_id; }
  const CString& GetDefaultEntryId() const { return m_defaultEntryId; }
  CVcdTimedList& Pauses() { return m_pauses; }
  const CVcdTimedList& Pauses() const { return m_pauses; }
  CVcdTimedList& Entries() { return m_entries; }
  const CVcdTimedList& Entries() const { return m_entries; }
  int GetReferenced() const { return m_referenced; }
  void SetReferenced(int referenced) { m_referenced = referenced; }
  int GetRelativeStart() const { return m_relativeStart; }
  void SetRelativeStart(int start) { m_relativeStart = start; }

protected:
  void ReleaseSource();

  CVcdMpegSource* m_source;  // owned; released when the sequence goes
  MpegStreamInfo* m_info;    // the source's scan result (lives in the source)
  CString m_id;              // may be empty
  CVcdTimedList m_pauses;    // CVcdPause, in time order
  CString m_defaultEntryId;  // id of the track start as an entry; may be empty
  CVcdTimedList m_entries;   // CVcdEntry, in time order
  int m_referenced;          // set by the PBC reachability check
  int m_relativeStart;       // first sector of the track proper, after track 1
};

class CSequenceList : public CVcdList {
  DECLARE_DYNAMIC(CSequenceList)
  CSequenceList();

  // Without regard to case; NULL for a NULL or empty id (sequences without an
  // id never match).
  CMpegSequence* FindById(const char* id) const;
  // The sequence whose default entry id, or one of whose entry ids, equals
  // the id without regard to case; NULL when none.
  CMpegSequence* FindByEntryId(const char* id) const;
  // Position from 0, or -1 when the sequence is not in this list.
  int IndexOf(const CMpegSequence* sequence) const;
};

// True when both are non-empty and equal without regard to (ASCII) case, the
// way every case-insensitive item id of the project is compared.
bool VcdIdEqualNoCase(const char* a, const char* b);
