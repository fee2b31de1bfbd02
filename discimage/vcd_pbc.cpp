#include "discimage/vcd_pbc.h"

#include "discimage/vcd_sequence.h"

IMPLEMENT_DYNAMIC(CPbc, CVcdObject)
IMPLEMENT_DYNAMIC(CPbcList, CVcdList)

CPbc::CPbc(int type, const char* id)
    : m_type(type),
      m_id(id != NULL ? id : ""),
      m_rejected(0),
      m_visited(0),
      m_listId(0),
      m_offset(0),
      m_extendedOffset(0) {}

bool CPbc::HasId(const char* id) const { return VcdIdEqualNoCase(m_id, id); }

int CPbc::Compare(const CObject* other) const {
  if (other == NULL || !other->IsKindOf(RUNTIME_CLASS(CPbc))) return 1;
  const CPbc* list = static_cast<const CPbc*>(other);
  if (m_id.IsEmpty() || list->m_id.IsEmpty()) return 1;
  return m_id.CompareNoCase(list->m_id);
}

CPbcList::CPbcList(CVcdObj* project) : m_project(project) {}

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
