// Playback control lists as the project keeps them: each CPbc is one list
// (play list, selection list or end list) under its id; CPbcList holds them
// in document order and knows the project.
//
// This is the part the project needs to hold, find and number the lists; the
// kinds of list with their descriptors and the PSD passes build on it.
#pragma once

#include "discimage/vcd_object.h"
#include "mfc/string.h"

class CVcdObj;

enum {
  kPbcPlayList = 1,
  kPbcSelectionList = 2,
  kPbcEndList = 3,
};

class CPbc : public CVcdObject {
  DECLARE_DYNAMIC(CPbc)
  CPbc(int type, const char* id);

  // With another list, by id without regard to case; a list with an empty
  // id matches nothing (0 only for equal non-empty ids).
  int Compare(const CObject* other) const override;
  // True when the id is non-empty and equals this list's without regard to case.
  bool HasId(const char* id) const;

  int GetType() const { return m_type; }
  const CString& GetId() const { return m_id; }
  int GetRejected() const { return m_rejected; }
  void SetRejected(int rejected) { m_rejected = rejected; }
  int GetVisited() const { return m_visited; }
  void SetVisited(int visited) { m_visited = visited; }
  int GetListId() const { return m_listId; }
  void SetListId(int listId) { m_listId = listId; }
  int GetOffset() const { return m_offset; }
  void SetOffset(int offset) { m_offset = offset; }
  int GetExtendedOffset() const { return m_extendedOffset; }
  void SetExtendedOffset(int offset) { m_extendedOffset = offset; }

protected:
  int m_type;            // kPbc*
  CString m_id;          // may be empty
  int m_rejected;        // non-zero: listed with 0x8000 and not visited
  int m_visited;         // set by the reachability check
  int m_listId;          // 1-based position, set by the size pass
  int m_offset;          // bytes into the PSD
  int m_extendedOffset;  // bytes into the extended PSD
};

class CPbcList : public CVcdList {
  DECLARE_DYNAMIC(CPbcList)
  explicit CPbcList(CVcdObj* project = NULL);

  // Without regard to case; NULL for an empty id or none found.
  CPbc* FindById(const char* id) const;
  // 1-based position of the list with the id, 0 when absent.
  int IndexOfId(const char* id) const;

  CVcdObj* GetProject() const { return m_project; }
  void SetProject(CVcdObj* project) { m_project = project; }

protected:
  CVcdObj* m_project;  // the owner; not owned
};
