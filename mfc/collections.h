// List and array collections: CList/CArray templates and the named classes
// the suite uses (CObList, CPtrList, CStringList, CPtrArray, ...).
//
// Lists are doubly linked with one heap node per element, so a POSITION (the
// node's address) stays valid until that element is removed. Misuse - a NULL
// POSITION, an empty list's head, an index outside an array - asserts in
// debug builds; without asserts it reads a default value and writes nothing.
#pragma once

#include <utility>
#include <vector>

#include "mfc/object.h"
#include "mfc/string.h"
#include "mfc/types.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
protected:
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    TYPE data;
  };

public:
  // The block size is kept for compatibility; nodes are allocated one by one.
  explicit CList(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize) {}
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  TYPE& GetHead() { return m_pNodeHead ? m_pNodeHead->data : Misuse(); }
  const TYPE& GetHead() const { return m_pNodeHead ? m_pNodeHead->data : Misuse(); }
  TYPE& GetTail() { return m_pNodeTail ? m_pNodeTail->data : Misuse(); }
  const TYPE& GetTail() const { return m_pNodeTail ? m_pNodeTail->data : Misuse(); }

  TYPE RemoveHead() {
    if (!m_pNodeHead) return Misuse();
    TYPE value = std::move(m_pNodeHead->data);
    FreeNode(m_pNodeHead);
    return value;
  }
  TYPE RemoveTail() {
    if (!m_pNodeTail) return Misuse();
    TYPE value = std::move(m_pNodeTail->data);
    FreeNode(m_pNodeTail);
    return value;
  }

  POSITION AddHead(ARG_TYPE newElement) { return ToPos(LinkNew(NULL, m_pNodeHead, newElement)); }
  POSITION AddTail(ARG_TYPE newElement) { return ToPos(LinkNew(m_pNodeTail, NULL, newElement)); }

  // Whole lists keep their order; adding a list to itself doubles it.
  void AddHead(CList* pNewList) {
    if (!pNewList) return;
    CNode* node = pNewList->m_pNodeTail;
    for (INT_PTR n = pNewList->m_nCount; n > 0; --n, node = node->pPrev) AddHead(node->data);
  }
  void AddTail(CList* pNewList) {
    if (!pNewList) return;
    CNode* node = pNewList->m_pNodeHead;
    for (INT_PTR n = pNewList->m_nCount; n > 0; --n, node = node->pNext) AddTail(node->data);
  }

  void RemoveAll() {
    CNode* node = m_pNodeHead;
    while (node) {
      CNode* next = node->pNext;
      delete node;
      node = next;
    }
    m_pNodeHead = m_pNodeTail = NULL;
    m_nCount = 0;
  }

  POSITION GetHeadPosition() const { return ToPos(m_pNodeHead); }
  POSITION GetTailPosition() const { return ToPos(m_pNodeTail); }

  // Return the element at rPosition and move rPosition on (NULL at the end).
  TYPE& GetNext(POSITION& rPosition) { return Step(rPosition, true); }
  const TYPE& GetNext(POSITION& rPosition) const { return Step(rPosition, true); }
  TYPE& GetPrev(POSITION& rPosition) { return Step(rPosition, false); }
  const TYPE& GetPrev(POSITION& rPosition) const { return Step(rPosition, false); }

  TYPE& GetAt(POSITION position) {
    CNode* node = FromPos(position);
    return node ? node->data : Misuse();
  }
  const TYPE& GetAt(POSITION position) const {
    CNode* node = FromPos(position);
    return node ? node->data : Misuse();
  }
  void SetAt(POSITION position, ARG_TYPE newElement) {
    CNode* node = FromPos(position);
    if (node)
      node->data = newElement;
    else
      Misuse();
  }
  void RemoveAt(POSITION position) {
    CNode* node = FromPos(position);
    if (node)
      FreeNode(node);
    else
      Misuse();
  }

  // A NULL position inserts at the head (before) or the tail (after).
  POSITION InsertBefore(POSITION position, ARG_TYPE newElement) {
    CNode* node = FromPos(position);
    if (!node) return AddHead(newElement);
    return ToPos(LinkNew(node->pPrev, node, newElement));
  }
  POSITION InsertAfter(POSITION position, ARG_TYPE newElement) {
    CNode* node = FromPos(position);
    if (!node) return AddTail(newElement);
    return ToPos(LinkNew(node, node->pNext, newElement));
  }

  // First match after startAfter (from the head when NULL), else NULL.
  POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const {
    CNode* node = startAfter ? FromPos(startAfter)->pNext : m_pNodeHead;
    for (; node; node = node->pNext)
      if (node->data == searchValue) return ToPos(node);
    return NULL;
  }
  // Position of the zero-based index, NULL when out of range.
  POSITION FindIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nCount) return NULL;
    CNode* node = m_pNodeHead;
    while (nIndex-- > 0) node = node->pNext;
    return ToPos(node);
  }

  void AssertValid() const override {
#ifndef NDEBUG
    INT_PTR n = 0;
    const CNode* prev = NULL;
    for (const CNode* node = m_pNodeHead; node; prev = node, node = node->pNext, ++n)
      ASSERT(node->pPrev == prev);
    ASSERT(prev == m_pNodeTail);
    ASSERT(n == m_nCount);
#endif
  }

protected:
  static POSITION ToPos(CNode* node) { return reinterpret_cast<POSITION>(node); }
  static CNode* FromPos(POSITION position) { return reinterpret_cast<CNode*>(position); }

  CNode* LinkNew(CNode* prev, CNode* next, ARG_TYPE value) {
    CNode* node = new CNode{next, prev, value};
    (prev ? prev->pNext : m_pNodeHead) = node;
    (next ? next->pPrev : m_pNodeTail) = node;
    ++m_nCount;
    return node;
  }
  void FreeNode(CNode* node) {
    (node->pPrev ? node->pPrev->pNext : m_pNodeHead) = node->pNext;
    (node->pNext ? node->pNext->pPrev : m_pNodeTail) = node->pPrev;
    --m_nCount;
    delete node;
  }
  TYPE& Step(POSITION& rPosition, bool forward) const {
    CNode* node = FromPos(rPosition);
    if (!node) return Misuse();
    rPosition = ToPos(forward ? node->pNext : node->pPrev);
    return node->data;
  }
  // Target of a misused accessor: a default value that nothing else shares.
  TYPE& Misuse() const {
    ASSERT(!"invalid list position or empty list");
    m_misuse = TYPE();
    return m_misuse;
  }

  CNode* m_pNodeHead = NULL;
  CNode* m_pNodeTail = NULL;
  INT_PTR m_nCount = 0;
  INT_PTR m_nBlockSize;
  mutable TYPE m_misuse = TYPE();
};

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
  CArray() = default;

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return m_data.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }

  // nGrowBy >= 0 sets how many extra elements to reserve on growth.
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
    if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
    if (nNewSize < 0) {
      ASSERT(!"negative array size");
      return;
    }
    Grow(nNewSize);
    m_data.resize(static_cast<size_t>(nNewSize));
  }
  void FreeExtra() { m_data.shrink_to_fit(); }
  void RemoveAll() { m_data.clear(); }

  TYPE GetAt(INT_PTR nIndex) const { return ElementAt(nIndex); }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) {
    if (InRange(nIndex))
      m_data[nIndex] = newElement;
    else
      Misuse();
  }
  TYPE& ElementAt(INT_PTR nIndex) { return InRange(nIndex) ? m_data[nIndex] : Misuse(); }
  const TYPE& ElementAt(INT_PTR nIndex) const { return InRange(nIndex) ? m_data[nIndex] : Misuse(); }
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
  const TYPE& operator[](INT_PTR nIndex) const { return ElementAt(nIndex); }
  TYPE* GetData() { return m_data.empty() ? NULL : m_data.data(); }
  const TYPE* GetData() const { return m_data.empty() ? NULL : m_data.data(); }

  // Sets the element, growing the array first when nIndex is past the end.
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
    if (nIndex < 0) {
      Misuse();
      return;
    }
    TYPE value(newElement);  // newElement may live inside this array
    if (nIndex >= GetSize()) SetSize(nIndex + 1);
    m_data[nIndex] = std::move(value);
  }
  INT_PTR Add(ARG_TYPE newElement) {
    INT_PTR index = GetSize();
    SetAtGrow(index, newElement);
    return index;
  }
  // Appends a copy of src; returns the index of its first element here.
  INT_PTR Append(const CArray& src) {
    INT_PTR first = GetSize();
    std::vector<TYPE> copy(src.m_data);  // src may be this array
    Grow(first + static_cast<INT_PTR>(copy.size()));
    m_data.insert(m_data.end(), copy.begin(), copy.end());
    return first;
  }
  void Copy(const CArray& src) {
    if (&src != this) m_data = src.m_data;
  }

  // Inserts nCount copies at nIndex; past the end, the gap is default-filled.
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount < 0) {
      Misuse();
      return;
    }
    TYPE value(newElement);
    if (nIndex > GetSize()) SetSize(nIndex);
    Grow(GetSize() + nCount);
    m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), value);
  }
  void InsertAt(INT_PTR nStartIndex, CArray* pNewArray) {
    if (!pNewArray || nStartIndex < 0) {
      Misuse();
      return;
    }
    std::vector<TYPE> copy(pNewArray->m_data);
    if (nStartIndex > GetSize()) SetSize(nStartIndex);
    Grow(GetSize() + static_cast<INT_PTR>(copy.size()));
    m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
  }
  // Removes the part of [nIndex, nIndex + nCount) that exists.
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > GetSize()) Misuse();
    if (nIndex < 0 || nCount <= 0 || nIndex >= GetSize()) return;
    INT_PTR end = nCount > GetSize() - nIndex ? GetSize() : nIndex + nCount;
    m_data.erase(m_data.begin() + nIndex, m_data.begin() + end);
  }

protected:
  bool InRange(INT_PTR nIndex) const { return nIndex >= 0 && nIndex < GetSize(); }
  void Grow(INT_PTR nNeeded) {
    size_t needed = static_cast<size_t>(nNeeded);
    if (needed <= m_data.capacity()) return;
    size_t step = m_nGrowBy > 0 ? static_cast<size_t>(m_nGrowBy) : m_data.size();
    size_t target = m_data.size() + step;
    m_data.reserve(target > needed ? target : needed);
  }
  TYPE& Misuse() const {
    ASSERT(!"array index out of range");
    m_misuse = TYPE();
    return m_misuse;
  }

  std::vector<TYPE> m_data;
  INT_PTR m_nGrowBy = -1;
  mutable TYPE m_misuse = TYPE();
};

class CObList : public CList<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObList)
  explicit CObList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

class CPtrList : public CList<void*, void*> {
  DECLARE_DYNAMIC(CPtrList)
  explicit CPtrList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

class CStringList : public CList<CString, const CString&> {
  DECLARE_DYNAMIC(CStringList)
  explicit CStringList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

class CObArray : public CArray<CObject*, CObject*> {
  DECLARE_DYNAMIC(CObArray)
};

class CPtrArray : public CArray<void*, void*> {
  DECLARE_DYNAMIC(CPtrArray)
};

class CStringArray : public CArray<CString, const CString&> {
  DECLARE_DYNAMIC(CStringArray)
};

class CDWordArray : public CArray<DWORD, DWORD> {
  DECLARE_DYNAMIC(CDWordArray)
};

class CUIntArray : public CArray<UINT, UINT> {
  DECLARE_DYNAMIC(CUIntArray)
};
