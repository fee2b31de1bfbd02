// The root of the builder's project model and its containers. Every model
// object is a CVcdObject kept in a CVcdList that owns it; the directory tree
// is built from CVcdTree and CVcdTreeNode; CSortedStrList keeps texts sorted.
//
// Ownership: a list's destructor frees only its nodes. Owners call
// Clear(flag) first, which deletes every element (and, with the flag, what
// the elements hold).
#pragma once

#include "mfc/collections.h"
#include "mfc/object.h"

class CVcdList;

class CVcdObject : public CObject {
  DECLARE_DYNAMIC(CVcdObject)
  CVcdObject();
  // Leaves the parent list, so that no list keeps a pointer to a dead object.
  ~CVcdObject() override;

  // Below 0, 0 or above 0 as this object sorts before, with or after other.
  virtual int Compare(const CObject* other) const;
  // Takes the object out of its parent list; derived classes free what they
  // hold first (the flag says how much).
  virtual void Detach(int flag);

  CVcdList* GetParentList() const { return m_parentList; }

protected:
  friend class CVcdList;
  CVcdList* m_parentList;  // the list that holds this object, or NULL
};

// Holds one plain record (allocated with malloc or AllocZeroed). Detach with
// the flag set frees it; otherwise the record is left to whoever shares it.
class CVcdOldStyle : public CVcdObject {
  DECLARE_DYNAMIC(CVcdOldStyle)
  explicit CVcdOldStyle(void* payload = NULL);

  void Detach(int flag) override;

  void* GetPayload() const { return m_payload; }
  void SetPayload(void* payload) { m_payload = payload; }

protected:
  void* m_payload;  // the record, or NULL
};

class CVcdList : public CObList {
  DECLARE_DYNAMIC(CVcdList)
  CVcdList();

  // Deletes every element, detaching each CVcdObject with the flag first,
  // and empties the list.
  virtual void Clear(int flag);

  // Appends the element and makes this list its parent.
  POSITION Append(CObject* element);
  // Inserts before the first element that compares greater than the new one
  // (so equal keys keep their insertion order); appends otherwise, and always
  // when the new element is not a CVcdObject.
  POSITION SortedInsert(CObject* element);
  // Takes the element out of the list without deleting it; false when it
  // is not in the list.
  bool Remove(CObject* element);

  CObject* Head() const;
  CObject* Tail() const;
  // The element after element; NULL when it is the last or not in the list.
  CObject* Next(const CObject* element) const;
  // The element at a zero-based index; NULL when out of range.
  CObject* ElementAt(INT_PTR index) const;

protected:
  void Adopt(CObject* element);
};

class CVcdTree;

// One node of a tree: a value it does not own and the list of its children,
// which it does. Deleting a node deletes its whole subtree.
class CVcdTreeNode : public CVcdObject {
  DECLARE_DYNAMIC(CVcdTreeNode)
  explicit CVcdTreeNode(CVcdTree* tree = NULL);
  ~CVcdTreeNode() override;

  // Clears the children with the flag, deletes the children list when the
  // flag is set, and leaves the parent list.
  void Detach(int flag) override;
  // Called for each node by the visits; does nothing here.
  virtual void Visit(void* visitor);

  // The node, then each child's subtree, in child order.
  void VisitDepthFirst(void* visitor);
  // Level by level, each level in child order (what path tables need).
  void VisitBreadthFirst(void* visitor);

  // The node with the root flag above (or at) this one, or NULL.
  CVcdTreeNode* Root();
  // The node whose children list holds this one, or NULL for a root.
  CVcdTreeNode* Parent() const;

  // Appends child to this node's children, creating the list on first use.
  void AppendChild(CVcdTreeNode* child);
  // The children list, created on first use.
  CVcdTree* Children();
  // The children list, or NULL when there are no children yet.
  CVcdTree* GetChildren() const { return m_children; }

  CVcdTree* GetTree() const { return m_tree; }
  void SetTree(CVcdTree* tree) { m_tree = tree; }
  void* GetValue() const { return m_value; }
  void SetValue(void* value) { m_value = value; }
  bool IsRoot() const { return m_isRoot != 0; }
  void SetRoot(int isRoot) { m_isRoot = isRoot; }

protected:
  CVcdTree* m_tree;      // the tree (children list) this node belongs to
  void* m_value;         // not owned
  CVcdTree* m_children;  // owned, or NULL
  int m_isRoot;          // non-zero for the node at the top of its tree
};

class CVcdTree : public CVcdList {
  DECLARE_DYNAMIC(CVcdTree)
  explicit CVcdTree(CObject* owner = NULL);

  // A new CVcdTreeNode of this tree with the root flag set, appended.
  virtual CVcdTreeNode* NewRootNode();

  CObject* GetOwner() const { return m_owner; }
  void SetOwner(CObject* owner) { m_owner = owner; }

protected:
  CObject* m_owner;  // the node whose children this is, or the tree's holder
};

// Texts in ascending order without regard to case; equal texts keep their
// insertion order.
class CSortedStrList : public CStringList {
  DECLARE_DYNAMIC(CSortedStrList)
  CSortedStrList();

  // NULL inserts nothing and returns NULL.
  POSITION SortedInsert(LPCTSTR text);
};
