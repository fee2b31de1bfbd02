#include "discimage/model/vcd_object.h"

IMPLEMENT_DYNAMIC(CVcdObject, CObject)
IMPLEMENT_DYNAMIC(CVcdOldStyle, CVcdObject)
IMPLEMENT_DYNAMIC(CVcdList, CObList)
IMPLEMENT_DYNAMIC(CVcdTreeNode, CVcdObject)
IMPLEMENT_DYNAMIC(CVcdTree, CVcdList)
IMPLEMENT_DYNAMIC(CSortedStrList, CStringList)

// ---------------------------------------------------------------------------
// CVcdObject

CVcdObject::CVcdObject() : m_parentList(NULL) {}

CVcdObject::~CVcdObject() {
  if (m_parentList != NULL) m_parentList->Remove(this);
}

int CVcdObject::Compare(const CObject* other) const { return 0; }

void CVcdObject::Detach(int flag) {
  if (m_parentList != NULL) m_parentList->Remove(this);
}

// ---------------------------------------------------------------------------
// CVcdOldStyle

CVcdOldStyle::CVcdOldStyle(void* payload) : m_payload(payload) {}

void CVcdOldStyle::Detach(int flag) {
  if (flag) {
    free(m_payload);
    m_payload = NULL;
  }
  CVcdObject::Detach(flag);
}

// ---------------------------------------------------------------------------
// CVcdList

CVcdList::CVcdList() : CObList(5) {}

void CVcdList::Adopt(CObject* element) {
  if (element != NULL && element->IsKindOf(RUNTIME_CLASS(CVcdObject)))
    static_cast<CVcdObject*>(element)->m_parentList = this;
}

void CVcdList::Clear(int flag) {
  while (!IsEmpty()) {
    CObject* element = RemoveHead();
    if (element != NULL && element->IsKindOf(RUNTIME_CLASS(CVcdObject))) {
      CVcdObject* object = static_cast<CVcdObject*>(element);
      // Already out of the list: Detach need not search for it.
      object->m_parentList = NULL;
      object->Detach(flag);
    }
    delete element;
  }
}

POSITION CVcdList::Append(CObject* element) {
  Adopt(element);
  return AddTail(element);
}

POSITION CVcdList::SortedInsert(CObject* element) {
  if (element != NULL && element->IsKindOf(RUNTIME_CLASS(CVcdObject))) {
    for (POSITION pos = GetHeadPosition(); pos != NULL;) {
      POSITION at = pos;
      CObject* existing = GetNext(pos);
      if (existing != NULL && existing->IsKindOf(RUNTIME_CLASS(CVcdObject)) &&
          static_cast<CVcdObject*>(existing)->Compare(element) > 0) {
        Adopt(element);
        return InsertBefore(at, element);
      }
    }
  }
  return Append(element);
}

bool CVcdList::Remove(CObject* element) {
  POSITION pos = Find(element);
  if (pos == NULL) return false;
  RemoveAt(pos);
  if (element->IsKindOf(RUNTIME_CLASS(CVcdObject))) {
    CVcdObject* object = static_cast<CVcdObject*>(element);
    if (object->m_parentList == this) object->m_parentList = NULL;
  }
  return true;
}

CObject* CVcdList::Head() const { return IsEmpty() ? NULL : GetHead(); }

CObject* CVcdList::Tail() const { return IsEmpty() ? NULL : GetTail(); }

CObject* CVcdList::Next(const CObject* element) const {
  POSITION pos = Find(const_cast<CObject*>(element));
  if (pos == NULL) return NULL;
  GetNext(pos);
  return pos != NULL ? GetAt(pos) : NULL;
}

CObject* CVcdList::ElementAt(INT_PTR index) const {
  POSITION pos = FindIndex(index);
  return pos != NULL ? GetAt(pos) : NULL;
}

// ---------------------------------------------------------------------------
// CVcdTreeNode

CVcdTreeNode::CVcdTreeNode(CVcdTree* tree)
    : m_tree(tree), m_value(NULL), m_children(NULL), m_isRoot(0) {}

CVcdTreeNode::~CVcdTreeNode() {
  if (m_children != NULL) {
    m_children->Clear(1);
    delete m_children;
    m_children = NULL;
  }
}

void CVcdTreeNode::Detach(int flag) {
  if (m_children != NULL) {
    m_children->Clear(flag);
    if (flag) {
      delete m_children;
      m_children = NULL;
    }
  }
  CVcdObject::Detach(flag);
}

void CVcdTreeNode::Visit(void* visitor) {}

void CVcdTreeNode::VisitDepthFirst(void* visitor) {
  Visit(visitor);
  if (m_children == NULL) return;
  for (POSITION pos = m_children->GetHeadPosition(); pos != NULL;) {
    CObject* child = m_children->GetNext(pos);
    if (child != NULL && child->IsKindOf(RUNTIME_CLASS(CVcdTreeNode)))
      static_cast<CVcdTreeNode*>(child)->VisitDepthFirst(visitor);
  }
}

void CVcdTreeNode::VisitBreadthFirst(void* visitor) {
  // A queue whose front is the list's tail: children go in at the head one by
  // one, first child first, so the first child leaves before its siblings and
  // every level comes out in child order.
  CObList work(5);
  work.AddHead(this);
  while (!work.IsEmpty()) {
    CVcdTreeNode* node = static_cast<CVcdTreeNode*>(work.RemoveTail());
    node->Visit(visitor);
    if (node->m_children == NULL) continue;
    for (POSITION pos = node->m_children->GetHeadPosition(); pos != NULL;) {
      CObject* child = node->m_children->GetNext(pos);
      if (child != NULL && child->IsKindOf(RUNTIME_CLASS(CVcdTreeNode))) work.AddHead(child);
    }
  }
}

CVcdTreeNode* CVcdTreeNode::Parent() const {
  if (m_isRoot || m_tree == NULL) return NULL;
  CObject* owner = m_tree->GetOwner();
  if (owner == NULL || !owner->IsKindOf(RUNTIME_CLASS(CVcdTreeNode))) return NULL;
  return static_cast<CVcdTreeNode*>(owner);
}

CVcdTreeNode* CVcdTreeNode::Root() {
  CVcdTreeNode* node = this;
  while (node != NULL && !node->m_isRoot) node = node->Parent();
  return node;
}

CVcdTree* CVcdTreeNode::Children() {
  if (m_children == NULL) m_children = new CVcdTree(this);
  return m_children;
}

void CVcdTreeNode::AppendChild(CVcdTreeNode* child) {
  if (child == NULL) return;
  child->m_tree = Children();
  m_children->Append(child);
}

// ---------------------------------------------------------------------------
// CVcdTree

CVcdTree::CVcdTree(CObject* owner) : m_owner(owner) {}

CVcdTreeNode* CVcdTree::NewRootNode() {
  CVcdTreeNode* node = new CVcdTreeNode(this);
  node->SetRoot(1);
  Append(node);
  return node;
}

// ---------------------------------------------------------------------------
// CSortedStrList

CSortedStrList::CSortedStrList() : CStringList(5) {}

POSITION CSortedStrList::SortedInsert(LPCTSTR text) {
  if (text == NULL) return NULL;
  for (POSITION pos = GetHeadPosition(); pos != NULL;) {
    POSITION at = pos;
    if (GetNext(pos).CompareNoCase(text) > 0) return InsertBefore(at, CString(text));
  }
  return AddTail(CString(text));
}
