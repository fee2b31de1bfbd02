#include "discimage/pbc/vcd_pbc.h"

#include <cstdarg>
#include <cstring>
#include <vector>

#include "discimage/base/vcd_messages.h"
#include "discimage/model/vcd_project.h"
#include "discimage/model/vcd_segment.h"
#include "discimage/model/vcd_sequence.h"

IMPLEMENT_DYNAMIC(CPbc, CVcdObject)
IMPLEMENT_DYNAMIC(CPbcList, CVcdList)

namespace {

int RoundUp(int value, int unit) { return (value + unit - 1) / unit * unit; }

const char* TextOf(const char* text) { return text != NULL ? text : ""; }

}  // namespace

int VcdPbcWaitTimeCode(int seconds, CVcdMessageSink* messages) {
  if (seconds < 0) return 255;
  if (seconds <= 60) return seconds;
  if (seconds <= 2000) return 60 + (seconds - 60) / 10;
  if (messages != NULL) messages->Warning("wait time of %ds clipped to 2000s", seconds);
  return 254;
}

// ---------------------------------------------------------------------------
// CPbcReport

void CPbcReport::Error(const char* format, ...) {
  ++m_errors;
  if (m_messages == NULL || !(m_show & kErrors)) return;
  va_list args;
  va_start(args, format);
  m_messages->SendV(kVcdMsgError, format, args);
  va_end(args);
}

void CPbcReport::Warning(const char* format, ...) {
  if (m_messages == NULL || !(m_show & kWarnings)) return;
  va_list args;
  va_start(args, format);
  m_messages->SendV(kVcdMsgWarning, format, args);
  va_end(args);
}

// ---------------------------------------------------------------------------
// CPbc

CPbc::CPbc(int type, const char* id)
    : m_type(type),
      m_id(id != NULL ? id : ""),
      m_rejected(0),
      m_visited(0),
      m_listId(0),
      m_offset(0),
      m_extendedOffset(0) {}

bool CPbc::HasId(const char* id) const { return VcdIdEqualNoCase(m_id, id); }

int CPbc::CompareId(const char* id) const {
  if (m_id.IsEmpty() || id == NULL || *id == '\0') return 1;
  return m_id.CompareNoCase(id);
}

int CPbc::Compare(const CObject* other) const {
  if (other == NULL || !other->IsKindOf(RUNTIME_CLASS(CPbc))) return 1;
  return CompareId(static_cast<const CPbc*>(other)->m_id);
}

const char* CPbc::TypeName() const {
  switch (m_type) {
    case kPbcPlayList: return "PlayList";
    case kPbcSelectionList: return "SelectionList";
    case kPbcEndList: return "EndList";
    default: return "Invalid PBC type";
  }
}

CPbcList* CPbc::GetPbcList() const { return DYNAMIC_DOWNCAST(CPbcList, m_parentList); }

CVcdObj* CPbc::GetProject() const {
  CPbcList* lists = GetPbcList();
  return lists != NULL ? lists->GetProject() : NULL;
}

CVcdMessageSink* CPbc::Messages() const {
  CVcdObj* project = GetProject();
  return project != NULL ? project->Messages() : NULL;
}

int CPbc::ListIdField() const { return (m_listId & 0x7FFF) | (m_rejected ? kPsdRejected : 0); }

int CPbc::DescriptorSize(int extended) const { return 0; }

void CPbc::LinkReferences(CPbcLinker& linker) const {}

int CPbc::CheckReferences() const { return 0; }

int CPbc::Encode(uint8_t* buffer, int extended, CPbcReport& report) const { return 0; }

int CPbc::CheckListReference(const CString& id) const {
  if (id.IsEmpty()) return 0;
  CPbcList* lists = GetPbcList();
  if (lists != NULL && lists->IsList(id)) return 0;
  if (CVcdMessageSink* messages = Messages())
    messages->Error("PSD: referenced PSD '%s' not found", id.GetString());
  return 1;
}

int CPbc::CheckItemReference(const CString& id) const {
  if (id.IsEmpty()) return 0;
  CPbcList* lists = GetPbcList();
  if (lists != NULL && lists->IsPlayItem(id)) return 0;
  if (CVcdMessageSink* messages = Messages())
    messages->Error("PSD: referenced play item '%s' not found", id.GetString());
  return 1;
}

int CPbc::WriteDescriptor(uint8_t* buffer, int extended) {
  CPbcReport report(Messages(), CPbcReport::kAll);
  int size = DescriptorSize(extended);
  if (buffer == NULL) return -1;
  memset(buffer, 0, static_cast<size_t>(size));
  int written = Encode(buffer, extended, report);
  return report.GetErrors() != 0 ? -1 : written;
}

int CPbc::CheckDescriptor(int extended) {
  CPbcReport report(Messages(), CPbcReport::kErrors);
  std::vector<uint8_t> scratch(static_cast<size_t>(DescriptorSize(extended)) + 1);
  Encode(scratch.data(), extended, report);
  return report.GetErrors() != 0 ? -1 : 0;
}

// ---------------------------------------------------------------------------
// CPbcList

CPbcList::CPbcList(CVcdObj* project)
    : m_project(project), m_psdSize(0), m_extendedPsdSize(0), m_listIdCount(0), m_placed(false) {}

CVcdMessageSink* CPbcList::Messages() const {
  return m_project != NULL ? m_project->Messages() : NULL;
}

std::string CPbcList::FoldId(const char* id) {
  std::string folded(TextOf(id));
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

CPbc* CPbcList::FindById(const char* id) const {
  if (id == NULL || *id == '\0') return NULL;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL && list->HasId(id)) return list;
  }
  return NULL;
}

int CPbcList::IndexOfId(const char* id) const {
  if (id == NULL || *id == '\0') return 0;
  int index = 1;
  for (POSITION pos = GetHeadPosition(); pos != NULL; ++index) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL && list->HasId(id)) return index;
  }
  return 0;
}

int CPbcList::ItemNumber(const char* id) const {
  return m_project != NULL ? m_project->ItemNumber(id) : 0;
}

int CPbcList::ItemKind(const char* id) const {
  return m_project != NULL ? m_project->ItemKind(id) : kVcdItemNone;
}

bool CPbcList::IsPlayItem(const char* id) const {
  int kind = ItemKind(id);
  return kind == kVcdItemSequence || kind == kVcdItemEntry || kind == kVcdItemSegment;
}

bool CPbcList::IsList(const char* id) const {
  if (id == NULL || *id == '\0') return false;
  if (Placed()) return m_places.count(FoldId(id)) != 0;
  return FindById(id) != NULL;
}

bool CPbcList::PbcAvailable() const {
  if (IsEmpty()) return false;
  if (m_project != NULL && m_project->HasCapability(kVcdCapPbc)) return true;
  if (CVcdMessageSink* messages = Messages())
    messages->Warning("PBC list not empty but VCD type not capable of PBC!");
  return false;
}

int CPbcList::ListOffset(const char* id, int extended) {
  CPbcReport report(Messages(), CPbcReport::kAll);
  return ListOffset(id, extended, report);
}

int CPbcList::ListOffset(const char* id, int extended, CPbcReport& report) const {
  if (id == NULL || *id == '\0') return kPsdNoList;
  int offset = -1;
  if (Placed()) {
    PlaceMap::const_iterator place = m_places.find(FoldId(id));
    if (place != m_places.end())
      offset = extended ? place->second.extendedOffset : place->second.offset;
  } else if (CPbc* list = FindById(id)) {
    offset = extended ? list->GetExtendedOffset() : list->GetOffset();
  }
  if (offset < 0) {
    report.Error("PSD: referenced PSD '%s' not found", id);
    return kPsdNoList;
  }
  return offset / kPsdOffsetUnit;
}

int CPbcList::PlayItemNumber(const char* id, CPbcReport& report) const {
  if (id == NULL || *id == '\0') return 0;
  // Only sequences, entry points and segment items are play items; a list
  // id here would put a list number where the player expects an item.
  if (!IsPlayItem(id)) {
    report.Error("PSD: referenced play item '%s' not found", id);
    return 0;
  }
  return ItemNumber(id);
}

int CPbcList::PlaceLists() {
  bool extended = m_project != NULL && m_project->HasCapability(kVcdCapExtPsd);
  int size = 0;
  int extendedSize = 0;
  int listId = 0;
  m_places.clear();
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list == NULL) continue;
    ++listId;
    // A descriptor never crosses a sector boundary of the PSD.
    int bytes = RoundUp(list->DescriptorSize(0), kPsdOffsetUnit);
    if (kPsdSectorBytes - size % kPsdSectorBytes < bytes) size = RoundUp(size, kPsdSectorBytes);
    list->SetOffset(size);
    size += bytes;
    if (extended) {
      bytes = RoundUp(list->DescriptorSize(1), kPsdOffsetUnit);
      if (kPsdSectorBytes - extendedSize % kPsdSectorBytes < bytes)
        extendedSize = RoundUp(extendedSize, kPsdSectorBytes);
      list->SetExtendedOffset(extendedSize);
      extendedSize += bytes;
    }
    list->SetListId(listId);
    if (!list->GetId().IsEmpty())
      m_places.emplace(FoldId(list->GetId()), Place{list->GetOffset(), list->GetExtendedOffset()});
  }
  m_psdSize = size;
  m_extendedPsdSize = extended ? extendedSize : 0;
  m_listIdCount = listId;
  m_placed = true;
  return listId;
}

int CPbcList::ComputePsdSize() {
  CVcdMessageSink* messages = Messages();
  int lists = PlaceLists();
  if (messages != NULL)
    messages->Debug("pbc: psd size %d (extended psd %d)", m_psdSize, m_extendedPsdSize);

  // What the disc cannot hold: more list ids than the LOT has slots, and
  // offsets beyond what the 16-bit fields can say.
  int result = 0;
  if (lists > kPbcMaxLists) {
    if (messages != NULL)
      messages->Error("PSD: too many playback lists (%d > %d)", lists, static_cast<int>(kPbcMaxLists));
    result = -1;
  }
  const int maxOffset = kPsdMaxOffsetField * kPsdOffsetUnit;
  for (POSITION pos = GetHeadPosition(); pos != NULL && result == 0;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL && (list->GetOffset() > maxOffset || list->GetExtendedOffset() > maxOffset)) {
      if (messages != NULL)
        messages->Error("PSD: list '%s' lies beyond the largest PSD offset (%d bytes)",
                        list->GetId().GetString(), maxOffset);
      result = -1;
    }
  }
  if (result != 0) return result;

  // Every reference must name something of its kind: a PSD with a dangling
  // reference would send the player nowhere.
  int dangling = 0;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL) dangling += list->CheckReferences();
  }
  if (dangling != 0) return -1;

  // The descriptor checks whose errors make a descriptor wrong. The extended
  // form checks everything the plain one does, and the areas.
  bool extended = m_project != NULL && m_project->HasCapability(kVcdCapExtPsd);
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL && list->CheckDescriptor(extended ? 1 : 0) != 0) result = -1;
  }
  return result;
}

namespace {

// The reachability walk: lists found by folded id, segment items by folded
// id, a work list instead of recursion.
class ReachabilityWalk : public CPbcLinker {
public:
  explicit ReachabilityWalk(CPbcList& lists) : m_project(lists.GetProject()) {
    for (POSITION pos = lists.GetHeadPosition(); pos != NULL;) {
      CPbc* list = DYNAMIC_DOWNCAST(CPbc, lists.GetNext(pos));
      if (list != NULL && !list->GetId().IsEmpty()) m_byId.emplace(Fold(list->GetId()), list);
    }
    if (m_project != NULL) {
      CSegmentList& segments = m_project->Segments();
      for (POSITION pos = segments.GetHeadPosition(); pos != NULL;) {
        CMpegSegment* segment = DYNAMIC_DOWNCAST(CMpegSegment, segments.GetNext(pos));
        if (segment != NULL && !segment->GetId().IsEmpty())
          m_segments.emplace(Fold(segment->GetId()), segment);
      }
    }
  }

  void Visit(CPbc* list) {
    if (list == NULL || list->GetId().IsEmpty() || list->GetVisited()) return;
    list->SetVisited(1);
    m_work.push_back(list);
    while (!m_work.empty()) {
      CPbc* next = m_work.back();
      m_work.pop_back();
      next->LinkReferences(*this);
    }
  }

  void LinkList(const char* id) override {
    if (id == NULL || *id == '\0') return;
    std::unordered_map<std::string, CPbc*>::iterator found = m_byId.find(Fold(id));
    if (found == m_byId.end()) return;
    CPbc* list = found->second;
    if (list->GetVisited()) return;
    list->SetVisited(1);
    m_work.push_back(list);
  }

  void LinkItem(const char* id) override {
    if (m_project == NULL || id == NULL || *id == '\0') return;
    switch (m_project->ItemKind(id)) {
      case kVcdItemSequence:
        if (CMpegSequence* sequence = m_project->Sequences().FindById(id)) sequence->SetReferenced(1);
        break;
      case kVcdItemEntry:
        // Playing one of its entry points reaches the track too.
        if (CMpegSequence* sequence = m_project->Sequences().FindByEntryId(id))
          sequence->SetReferenced(1);
        break;
      case kVcdItemSegment: {
        std::unordered_map<std::string, CMpegSegment*>::iterator found = m_segments.find(Fold(id));
        if (found != m_segments.end()) found->second->SetReferenced(1);
        break;
      }
      default:
        break;
    }
  }

private:
  static std::string Fold(const char* id) {
    std::string folded(id);
    for (char& c : folded)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
  }

  CVcdObj* m_project;                                        // may be NULL
  std::unordered_map<std::string, CPbc*> m_byId;             // first list of each id
  std::unordered_map<std::string, CMpegSegment*> m_segments; // first segment of each id
  std::vector<CPbc*> m_work;                                 // visited, references not yet linked
};

}  // namespace

void CPbcList::CheckReachability() {
  CVcdMessageSink* messages = Messages();
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL) list->SetVisited(0);
  }
  if (m_project != NULL) {
    CSequenceList& sequences = m_project->Sequences();
    for (POSITION pos = sequences.GetHeadPosition(); pos != NULL;)
      static_cast<CMpegSequence*>(sequences.GetNext(pos))->SetReferenced(0);
    CSegmentList& segments = m_project->Segments();
    for (POSITION pos = segments.GetHeadPosition(); pos != NULL;)
      static_cast<CMpegSegment*>(segments.GetNext(pos))->SetReferenced(0);
  }

  ReachabilityWalk walk(*this);
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL && !list->GetRejected()) walk.Visit(list);
  }

  if (messages == NULL) return;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, GetNext(pos));
    if (list != NULL && !list->GetVisited())
      messages->Warning("PSD item '%s' is unreachable", list->GetId().GetString());
  }
  if (m_project == NULL) return;
  CSequenceList& sequences = m_project->Sequences();
  for (POSITION pos = sequences.GetHeadPosition(); pos != NULL;) {
    CMpegSequence* sequence = static_cast<CMpegSequence*>(sequences.GetNext(pos));
    if (!sequence->GetReferenced())
      messages->Warning("sequence '%s' is not reachable by PBC", sequence->GetId().GetString());
  }
  CSegmentList& segments = m_project->Segments();
  for (POSITION pos = segments.GetHeadPosition(); pos != NULL;) {
    CMpegSegment* segment = static_cast<CMpegSegment*>(segments.GetNext(pos));
    if (!segment->GetReferenced())
      messages->Warning("segment item '%s' is unreachable", segment->GetId().GetString());
  }
}
