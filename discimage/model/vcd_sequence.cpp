#include "discimage/model/vcd_sequence.h"

#include <cstdlib>
#include <cstring>

#include "discimage/mpeg/mpeg_source.h"

IMPLEMENT_DYNAMIC(CVcdTimedList, CVcdList)
IMPLEMENT_DYNAMIC(CVcdEntry, CVcdOldStyle)
IMPLEMENT_DYNAMIC(CVcdPause, CVcdOldStyle)
IMPLEMENT_DYNAMIC(CMpegSequence, CVcdObject)
IMPLEMENT_DYNAMIC(CSequenceList, CVcdList)

namespace {

char* CopyId(const char* id) {
  if (id == NULL || *id == '\0') return NULL;
  size_t length = strlen(id);
  char* copy = static_cast<char*>(malloc(length + 1));
  if (copy != NULL) memcpy(copy, id, length + 1);
  return copy;
}

int CompareTimes(double a, double b) { return a < b ? -1 : a > b ? 1 : 0; }

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool VcdIdEqualNoCase(const char* a, const char* b) {
  if (a == NULL || b == NULL || *a == '\0' || *b == '\0') return false;
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (FoldAscii(*a) != FoldAscii(*b)) return false;
  return *a == *b;
}

// ---------------------------------------------------------------------------
// CVcdTimedList

CVcdTimedList::CVcdTimedList() {}

POSITION CVcdTimedList::InsertByTime(CVcdObject* element) {
  for (POSITION pos = GetTailPosition(); pos != NULL;) {
    POSITION at = pos;
    CObject* existing = GetPrev(pos);
    if (existing == NULL || !existing->IsKindOf(RUNTIME_CLASS(CVcdObject)) ||
        static_cast<CVcdObject*>(existing)->Compare(element) <= 0) {
      Adopt(element);
      return InsertAfter(at, element);
    }
  }
  Adopt(element);
  return AddHead(element);
}

// ---------------------------------------------------------------------------
// CVcdEntry

CVcdEntry::CVcdEntry(double time, const char* id)
    : CVcdOldStyle(calloc(1, sizeof(VcdEntryRecord))) {
  VcdEntryRecord* record = Record();
  if (record == NULL) abort();  // a few dozen bytes: nothing sensible to go on with
  record->requestedTime = time;
  record->resolvedTime = time;
  record->id = CopyId(id);
}

int CVcdEntry::Compare(const CObject* other) const {
  if (other == NULL || !other->IsKindOf(RUNTIME_CLASS(CVcdEntry))) return 0;
  return CompareTime(static_cast<const CVcdEntry*>(other)->GetTime());
}

int CVcdEntry::CompareTime(double time) const { return CompareTimes(GetTime(), time); }

void CVcdEntry::Detach(int flag) {
  if (flag && m_payload != NULL) {
    free(Record()->id);
    Record()->id = NULL;
  }
  CVcdOldStyle::Detach(flag);
}

// ---------------------------------------------------------------------------
// CVcdPause

CVcdPause::CVcdPause(double time) : CVcdOldStyle(calloc(1, sizeof(VcdPauseRecord))) {
  if (Record() == NULL) abort();
  Record()->time = time;
}

int CVcdPause::Compare(const CObject* other) const {
  if (other == NULL || !other->IsKindOf(RUNTIME_CLASS(CVcdPause))) return 0;
  return CompareTime(static_cast<const CVcdPause*>(other)->GetTime());
}

int CVcdPause::CompareTime(double time) const { return CompareTimes(GetTime(), time); }

void CVcdPause::Detach(int flag) {
  if (flag && m_payload != NULL) {
    free(Record()->id);
    Record()->id = NULL;
  }
  CVcdOldStyle::Detach(flag);
}

// ---------------------------------------------------------------------------
// CMpegSequence

CMpegSequence::CMpegSequence(CVcdMpegSource* source, MpegStreamInfo* info, const char* id,
                             const char* defaultEntryId)
    : m_source(source),
      m_info(info),
      m_id(id != NULL ? id : ""),
      m_defaultEntryId(defaultEntryId != NULL ? defaultEntryId : ""),
      m_referenced(0),
      m_relativeStart(0) {}

CMpegSequence::~CMpegSequence() {
  m_pauses.Clear(1);
  m_entries.Clear(1);
  ReleaseSource();
}

void CMpegSequence::ReleaseSource() {
  if (m_source != NULL) {
    m_source->Release();
    delete m_source;
  }
  m_source = NULL;
  m_info = NULL;
}

void CMpegSequence::Detach(int flag) {
  if (!m_pauses.IsEmpty()) m_pauses.Clear(flag);
  if (!m_entries.IsEmpty()) m_entries.Clear(flag);
  ReleaseSource();
  CVcdObject::Detach(flag);
}

// ---------------------------------------------------------------------------
// CSequenceList

CSequenceList::CSequenceList() {}

CMpegSequence* CSequenceList::FindById(const char* id) const {
  if (id == NULL || *id == '\0') return NULL;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CMpegSequence* sequence = DYNAMIC_DOWNCAST(CMpegSequence, GetNext(pos));
    if (sequence != NULL && VcdIdEqualNoCase(sequence->GetId(), id)) return sequence;
  }
  return NULL;
}

CMpegSequence* CSequenceList::FindByEntryId(const char* id) const {
  if (id == NULL || *id == '\0') return NULL;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    CMpegSequence* sequence = DYNAMIC_DOWNCAST(CMpegSequence, GetNext(pos));
    if (sequence == NULL) continue;
    if (VcdIdEqualNoCase(sequence->GetDefaultEntryId(), id)) return sequence;
    for (POSITION at = sequence->Entries().GetHeadPosition(); at != NULL;) {
      CVcdEntry* entry = static_cast<CVcdEntry*>(sequence->Entries().GetNext(at));
      if (VcdIdEqualNoCase(entry->GetId(), id)) return sequence;
    }
  }
  return NULL;
}

int CSequenceList::IndexOf(const CMpegSequence* sequence) const {
  int index = 0;
  for (POSITION pos = GetHeadPosition(); pos != NULL; ++index)
    if (GetNext(pos) == sequence) return index;
  return -1;
}
