#include "discimage/xml/vcd_xml_data.h"

#include "discimage/base/vcd_messages.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"

IMPLEMENT_DYNAMIC(CVcdNewStyle, CVcdOldStyle)

// ---------------------------------------------------------------------------
// CVcdNewStyle

CVcdNewStyle::CVcdNewStyle(int kind)
    : m_kind(kind >= kVcdXmlOption && kind <= kVcdXmlReservedKind ? kind : kVcdXmlNone) {
  switch (m_kind) {
    case kVcdXmlOption: m_payload = new VcdXmlOption(); break;
    case kVcdXmlSequenceItem: m_payload = new VcdXmlSequenceItem(); break;
    case kVcdXmlEntry: m_payload = new VcdXmlEntry(); break;
    case kVcdXmlSegmentItem: m_payload = new VcdXmlSegmentItem(); break;
    case kVcdXmlFsEntry: m_payload = new VcdXmlFsEntry(); break;
    default: m_payload = NULL; break;
  }
}

CVcdNewStyle::~CVcdNewStyle() { FreeRecord(); }

void CVcdNewStyle::FreeRecord() {
  switch (m_kind) {
    case kVcdXmlOption: delete static_cast<VcdXmlOption*>(m_payload); break;
    case kVcdXmlSequenceItem: delete static_cast<VcdXmlSequenceItem*>(m_payload); break;
    case kVcdXmlEntry: delete static_cast<VcdXmlEntry*>(m_payload); break;
    case kVcdXmlSegmentItem: delete static_cast<VcdXmlSegmentItem*>(m_payload); break;
    case kVcdXmlFsEntry: delete static_cast<VcdXmlFsEntry*>(m_payload); break;
    default: break;
  }
  m_payload = NULL;
}

void CVcdNewStyle::Detach(int flag) {
  // The records hold C++ members: the base's free() must never see them.
  if (flag) FreeRecord();
  CVcdObject::Detach(flag);
}

VcdXmlOption* CVcdNewStyle::Option() const {
  return m_kind == kVcdXmlOption ? static_cast<VcdXmlOption*>(m_payload) : NULL;
}

VcdXmlSequenceItem* CVcdNewStyle::SequenceItem() const {
  return m_kind == kVcdXmlSequenceItem ? static_cast<VcdXmlSequenceItem*>(m_payload) : NULL;
}

VcdXmlEntry* CVcdNewStyle::Entry() const {
  return m_kind == kVcdXmlEntry ? static_cast<VcdXmlEntry*>(m_payload) : NULL;
}

VcdXmlSegmentItem* CVcdNewStyle::SegmentItem() const {
  return m_kind == kVcdXmlSegmentItem ? static_cast<VcdXmlSegmentItem*>(m_payload) : NULL;
}

VcdXmlFsEntry* CVcdNewStyle::FsEntry() const {
  return m_kind == kVcdXmlFsEntry ? static_cast<VcdXmlFsEntry*>(m_payload) : NULL;
}

// ---------------------------------------------------------------------------
// CVcdXmlData

CVcdXmlData::CVcdXmlData()
    : vcdType(kVcdXmlTypeNone),
      volumeCount(0),
      volumeNumber(0),
      restriction(0),
      nextVolumeUseSequence2(0),
      nextVolumeUseLid2(0) {}

CVcdXmlData::~CVcdXmlData() { Clear(); }

void CVcdXmlData::Clear() {
  vcdType = kVcdXmlTypeNone;
  albumId.clear();
  volumeCount = 0;
  volumeNumber = 0;
  restriction = 0;
  nextVolumeUseSequence2 = 0;
  nextVolumeUseLid2 = 0;
  volumeId.clear();
  systemId.clear();
  applicationId.clear();
  preparerId.clear();
  publisherId.clear();
  options.Clear(1);
  pbcLists.Clear(1);
  sequenceItems.Clear(1);
  segmentItems.Clear(1);
  fsEntries.Clear(1);
}

int VcdXmlAddPbcLists(CVcdXmlData* data, CVcdObj* project, CVcdMessageSink* messages) {
  if (data == NULL || project == NULL) return -1;
  while (!data->pbcLists.IsEmpty()) {
    CObject* head = data->pbcLists.GetHead();
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, head);
    data->pbcLists.Remove(head);
    if (list == NULL) {
      delete head;
      continue;
    }
    if (messages != NULL)
      messages->Info("adding pbc '%s' (%s)", list->TypeName(), list->GetId().GetString());
    if (project->AddPbc(list) != 0) {
      delete list;
      return -1;
    }
  }
  return 0;
}
