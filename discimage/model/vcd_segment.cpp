#include "discimage/model/vcd_segment.h"

#include "discimage/mpeg/mpeg_source.h"

IMPLEMENT_DYNAMIC(CMpegSegment, CVcdObject)
IMPLEMENT_DYNAMIC(CSegmentList, CVcdList)

CMpegSegment::CMpegSegment()
    : m_source(NULL), m_info(NULL), m_startSector(0), m_segmentCount(0), m_referenced(0) {}

CMpegSegment::~CMpegSegment() {
  m_pauses.Clear(1);
  ReleaseSource();
}

int CMpegSegment::SegmentsFor(int packets) {
  if (packets <= 0) return 0;
  return (packets - 1) / kSegmentSectors + 1;
}

void CMpegSegment::SetSource(CVcdMpegSource* source, MpegStreamInfo* info) {
  m_source = source;
  m_info = info;
  m_segmentCount = info != NULL ? SegmentsFor(info->packetCount) : 0;
}

void CMpegSegment::ReleaseSource() {
  if (m_source != NULL) {
    m_source->Release();
    delete m_source;
  }
  m_source = NULL;
  m_info = NULL;
}

void CMpegSegment::Detach(int flag) {
  ReleaseSource();
  if (!m_pauses.IsEmpty()) m_pauses.Clear(flag);
  CVcdObject::Detach(flag);
}

CSegmentList::CSegmentList() {}

CMpegSegment* CSegmentList::FindById(const char* id) const {
  if (id == NULL || *id == '\0') return NULL;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CMpegSegment* segment = DYNAMIC_DOWNCAST(CMpegSegment, GetNext(pos));
    if (segment != NULL && VcdIdEqualNoCase(segment->GetId(), id)) return segment;
  }
  return NULL;
}
