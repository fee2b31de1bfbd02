// Segment play items: short MPEG streams (still pictures, short clips) kept in
// the SEGMENT area of track 1 in whole 150-sector segments rather than as
// tracks. The project keeps them in the order added; the layout, the
// information files and the playback lists find them by id.
#pragma once

#include "discimage/model/vcd_object.h"
#include "discimage/model/vcd_sequence.h"
#include "mfc/string.h"

class CVcdMpegSource;
struct MpegStreamInfo;

class CMpegSegment : public CVcdObject {
  DECLARE_DYNAMIC(CMpegSegment)
  enum { kSegmentSectors = 150 };

  // Empty id, no source, no pauses, counts zero.
  CMpegSegment();
  // Releases the source if it is still held and frees the pauses.
  ~CMpegSegment() override;

  // Releases and destroys the source, empties the pauses (freeing them when
  // flag is set) and leaves the owner list.
  void Detach(int flag) override;

  // Segments that packets need: packets / 150, rounded up.
  static int SegmentsFor(int packets);

  // Takes the source; info points into it. The segment count follows from
  // the packet count of info (0 without info).
  void SetSource(CVcdMpegSource* source, MpegStreamInfo* info);
  void SetId(const char* id) { m_id = id != NULL ? id : ""; }

  CVcdMpegSource* GetSource() const { return m_source; }
  MpegStreamInfo* GetStreamInfo() const { return m_info; }
  const CString& GetId() const { return m_id; }
  CVcdTimedList& Pauses() { return m_pauses; }
  const CVcdTimedList& Pauses() const { return m_pauses; }
  int GetSegmentCount() const { return m_segmentCount; }
  int GetStartSector() const { return m_startSector; }
  void SetStartSector(int sector) { m_startSector = sector; }
  int GetReferenced() const { return m_referenced; }
  void SetReferenced(int referenced) { m_referenced = referenced; }

protected:
  void ReleaseSource();

  CVcdMpegSource* m_source;  // the scanned file; owned
  MpegStreamInfo* m_info;    // its stream information (lives in the source)
  CString m_id;              // unique among all item ids; may be empty
  CVcdTimedList m_pauses;    // CVcdPause, in time order
  int m_startSector;         // first sector, set by the layout
  int m_segmentCount;        // 150-sector segments the item takes
  int m_referenced;          // set by the PBC reachability check
};

class CSegmentList : public CVcdList {
  DECLARE_DYNAMIC(CSegmentList)
  CSegmentList();

  // The first segment with a non-empty id equal to id without regard to
  // case; NULL when none.
  CMpegSegment* FindById(const char* id) const;
};
