#include "discimage/iso9660/vcd_directory.h"

#include <cstdlib>
#include <cstring>

#include "discimage/iso9660/iso9660_directory_record.h"
#include "discimage/iso9660/iso9660_names.h"
#include "discimage/iso9660/iso9660_path_table.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/base/vcd_util.h"

IMPLEMENT_DYNAMIC(CVcdDirNode, CVcdTreeNode)
IMPLEMENT_DYNAMIC(CVcdDirectory, CVcdTree)

namespace {

CVcdDirNode* AsDirNode(CObject* object) { return DYNAMIC_DOWNCAST(CVcdDirNode, object); }

// Calls fn for each child node of a directory, in order.
template <typename Fn>
void ForEachChild(CVcdDirNode* node, Fn fn) {
  CVcdTree* children = node->GetChildren();
  if (children == NULL) return;
  for (POSITION pos = children->GetHeadPosition(); pos != NULL;) {
    CVcdDirNode* child = AsDirNode(children->GetNext(pos));
    if (child != NULL) fn(child);
  }
}

// A visitor from a lambda.
template <typename Fn>
class FnVisitor : public CVcdDirVisitor {
public:
  explicit FnVisitor(Fn fn) : m_fn(fn) {}
  void VisitNode(CVcdDirNode* node) override { m_fn(node); }

private:
  Fn m_fn;
};

template <typename Fn>
void VisitDepthFirst(CVcdDirNode* root, Fn fn) {
  FnVisitor<Fn> visitor(fn);
  root->VisitDepthFirst(&visitor);
}

template <typename Fn>
void VisitBreadthFirst(CVcdDirNode* root, Fn fn) {
  FnVisitor<Fn> visitor(fn);
  root->VisitBreadthFirst(&visitor);
}

// Components of a path between '/' (empty ones skipped) and the text of the
// first count of them joined again.
class PathParts {
public:
  explicit PathParts(const char* path) : m_parts(SplitString(path ? path : "", '/')) {}
  ~PathParts() { FreeStringArray(m_parts); }
  int Count() const { return StringArrayCount(m_parts); }
  const char* operator[](int i) const { return m_parts[i]; }
  std::string Prefix(int count) const {
    char* joined = JoinStrings(m_parts, count, "/");
    std::string text = joined ? joined : "";
    free(joined);
    return text;
  }

private:
  char** m_parts;
};

}  // namespace

// ---------------------------------------------------------------------------
// CVcdDirNode

CVcdDirNode::CVcdDirNode(CVcdMessageSink* messages, const char* name, bool isDirectory)
    : m_isDirectory(isDirectory ? 1 : 0),
      m_name(name ? name : ""),
      m_version(1),
      m_xaAttributes(isDirectory ? kXaAttributesDirectory : kXaAttributesForm1),
      m_xaFileNumber(0),
      m_extent(0),
      m_size(0),
      m_pathTableNumber(0),
      m_time(0),
      m_messages(messages),
      m_position(NULL),
      m_recordEnd(0) {}

CVcdDirNode::~CVcdDirNode() {
  // The children go first, while the index they leave still exists.
  if (m_children != NULL) m_children->Clear(1);
  LeaveParentIndex();
}

void CVcdDirNode::LeaveParentIndex() {
  CVcdDirNode* parent = ParentDir();
  if (parent == NULL) return;
  std::map<std::string, CVcdDirNode*>::iterator it = parent->m_byName.find(m_name);
  if (it != parent->m_byName.end() && it->second == this) parent->m_byName.erase(it);
}

int CVcdDirNode::Compare(const CObject* other) const {
  const CVcdDirNode* node = DYNAMIC_DOWNCAST(CVcdDirNode, const_cast<CObject*>(other));
  if (node == NULL) return 0;
  int order = m_name.compare(node->m_name);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void CVcdDirNode::Detach(int flag) {
  LeaveParentIndex();
  CVcdTreeNode::Detach(flag);
  // Out of the tree: nothing may reach the old parent through it any more.
  m_tree = NULL;
  m_position = NULL;
}

void CVcdDirNode::Visit(void* visitor) {
  if (visitor != NULL) static_cast<CVcdDirVisitor*>(visitor)->VisitNode(this);
}

CVcdDirNode* CVcdDirNode::FindChild(const char* name) const {
  std::map<std::string, CVcdDirNode*>::const_iterator it = m_byName.find(name ? name : "");
  return it != m_byName.end() ? it->second : NULL;
}

bool CVcdDirNode::InsertChild(CVcdDirNode* child) {
  if (child == NULL) return false;
  std::map<std::string, CVcdDirNode*>::iterator next = m_byName.lower_bound(child->m_name);
  if (next != m_byName.end() && next->first == child->m_name) return false;
  CVcdTree* list = Children();
  child->m_tree = list;
  child->m_isRoot = 0;
  child->m_position =
      next == m_byName.end() ? list->AddTail(child) : list->InsertBefore(next->second->m_position, child);
  child->m_parentList = list;
  m_byName.insert(next, std::make_pair(child->m_name, child));
  return true;
}

CVcdDirNode* CVcdDirNode::ParentDir() const {
  CVcdTreeNode* parent = Parent();
  return parent != NULL ? AsDirNode(parent) : NULL;
}

int CVcdDirNode::Level() const {
  int level = 1;
  for (const CVcdDirNode* node = ParentDir(); node != NULL; node = node->ParentDir()) ++level;
  return level;
}

std::string CVcdDirNode::RecordName() const {
  if (m_isDirectory) return m_name;
  char* versioned = VersionedName(m_name.c_str(), m_version);
  std::string name = versioned ? versioned : m_name;
  free(versioned);
  return name;
}

void CVcdDirNode::GetXaSystemUse(uint8_t systemUse[kXaSystemUseLength]) const {
  memset(systemUse, 0, kXaSystemUseLength);
  PutBigEndian16(systemUse + 4, m_xaAttributes);
  systemUse[6] = 'X';
  systemUse[7] = 'A';
  systemUse[8] = m_xaFileNumber;
}

// ---------------------------------------------------------------------------
// CVcdDirectory

CVcdDirectory::CVcdDirectory(CVcdMessageSink* messages) : CVcdTree(NULL), m_messages(messages) {}

CVcdDirectory::~CVcdDirectory() { Clear(1); }

CVcdTreeNode* CVcdDirectory::NewRootNode() {
  CVcdDirNode* root = new CVcdDirNode(m_messages, "", true);
  root->SetTree(this);
  root->SetRoot(1);
  Append(root);
  return root;
}

CVcdDirNode* CVcdDirectory::Root() {
  CVcdDirNode* root = AsDirNode(Head());
  if (root == NULL) root = static_cast<CVcdDirNode*>(NewRootNode());
  return root;
}

CVcdDirNode* CVcdDirectory::FindNode(const char* path) {
  PathParts parts(path);
  CVcdDirNode* node = Root();
  for (int i = 0; i < parts.Count() && node != NULL; ++i) node = node->FindChild(parts[i]);
  return node;
}

int CVcdDirectory::MakeDirectory(const char* path) {
  PathParts parts(path);
  const int count = parts.Count();
  if (count == 0) {
    if (m_messages) m_messages->Error("mkdir: '%s' names no directory", path ? path : "");
    return -1;
  }
  CVcdDirNode* parent = Root();
  for (int i = 0; i < count - 1; ++i) {
    CVcdDirNode* child = parent->FindChild(parts[i]);
    if (child == NULL || !child->IsDirectory()) {
      if (m_messages)
        m_messages->Error("mkdir: parent dir '%s' (level=%d) for '%s' missing!", parts[i], i, path);
      return -1;
    }
    parent = child;
  }
  const char* name = parts[count - 1];
  if (CVcdDirNode* existing = parent->FindChild(name)) {
    if (existing->IsDirectory()) return 0;
    if (m_messages) m_messages->Error("mkdir: '%s' already exists", path);
    return -1;
  }
  if (strlen(name) > kIsoMaxNameLength) {
    if (m_messages)
      m_messages->Error("mkdir: '%s' has a name longer than %d characters", path, kIsoMaxNameLength);
    return -1;
  }
  if (parent->Level() + 1 > kIsoMaxDirectoryLevels) {
    if (m_messages)
      m_messages->Error("mkdir: '%s' lies deeper than the %d directory levels of ISO 9660", path,
                        kIsoMaxDirectoryLevels);
    return -1;
  }
  parent->InsertChild(new CVcdDirNode(m_messages, name, true));
  return 0;
}

int CVcdDirectory::MakeFile(const char* path, uint32_t extent, uint32_t size, int form2,
                            uint8_t fileNumber, uint32_t time) {
  PathParts parts(path);
  const int count = parts.Count();
  if (count == 0) {
    if (m_messages) m_messages->Error("mkfile: '%s' names no file", path ? path : "");
    return -1;
  }
  // Checked before anything is made, so that a refused file leaves no
  // directories behind.
  if (count - 1 >= kIsoMaxDirectoryLevels) {
    if (m_messages)
      m_messages->Error("mkfile: '%s' lies deeper than the %d directory levels of ISO 9660", path,
                        kIsoMaxDirectoryLevels);
    return -1;
  }
  for (int i = 0; i < count; ++i)
    if (strlen(parts[i]) > kIsoMaxNameLength) {
      if (m_messages)
        m_messages->Error("mkfile: '%s' has a name longer than %d characters", path,
                          kIsoMaxNameLength);
      return -1;
    }

  CVcdDirNode* parent = Root();
  for (int i = 0; i < count - 1; ++i) {
    CVcdDirNode* child = parent->FindChild(parts[i]);
    if (child == NULL) {
      std::string folder = parts.Prefix(i + 1);
      if (m_messages)
        m_messages->Info("autocreating directory '%s' for file '%s'", folder.c_str(), path);
      child = new CVcdDirNode(m_messages, parts[i], true);
      parent->InsertChild(child);
    } else if (!child->IsDirectory()) {
      std::string folder = parts.Prefix(i + 1);
      if (m_messages) m_messages->Error("mkfile: '%s' not a directory", folder.c_str());
      return -1;
    }
    parent = child;
  }
  const char* name = parts[count - 1];
  if (parent->FindChild(name) != NULL) {
    if (m_messages) m_messages->Error("mkfile: '%s' already exists", path);
    return -1;
  }
  CVcdDirNode* file = new CVcdDirNode(m_messages, name, false);
  file->SetXaAttributes(form2 ? kXaAttributesForm2 : kXaAttributesForm1);
  file->SetXaFileNumber(fileNumber);
  file->SetExtent(extent);
  file->SetSize(size);
  file->SetTime(time);
  parent->InsertChild(file);
  return 0;
}

void CVcdDirectory::ComputeDirectorySizes() {
  VisitDepthFirst(Root(), [](CVcdDirNode* node) {
    if (!node->IsDirectory()) return;
    // "." and ".." first: one-byte names with the XA bytes.
    uint64_t offset = 2 * static_cast<uint64_t>(DirectoryRecordLength(1, kXaSystemUseLength));
    ForEachChild(node, [&offset](CVcdDirNode* child) {
      uint64_t length = static_cast<uint64_t>(
          DirectoryRecordLength(static_cast<int>(child->RecordName().size()), kXaSystemUseLength));
      if (offset % kIsoSectorSize + length > kIsoSectorSize)
        offset += kIsoSectorSize - offset % kIsoSectorSize;
      offset += length;
    });
    uint64_t sectors = (offset + kIsoSectorSize - 1) / kIsoSectorSize;
    node->SetSize(static_cast<uint32_t>(sectors * kIsoSectorSize));
  });
}

void CVcdDirectory::AssignExtents(uint32_t rootExtent) {
  uint32_t next = rootExtent;
  VisitDepthFirst(Root(), [&next](CVcdDirNode* node) {
    if (!node->IsDirectory()) return;
    node->SetExtent(next);
    next += node->GetSize() / kIsoSectorSize;
  });
}

int CVcdDirectory::DirectorySectors() {
  ComputeDirectorySizes();
  uint64_t sectors = 0;
  VisitDepthFirst(Root(), [&sectors](CVcdDirNode* node) {
    if (node->IsDirectory()) sectors += node->GetSize() / kIsoSectorSize;
  });
  return static_cast<int>(sectors);
}

int CVcdDirectory::WriteDirectories(uint8_t* buffer, size_t capacity, uint32_t rootExtent) {
  const int sectors = DirectorySectors();
  AssignExtents(rootExtent);
  const uint64_t needed = static_cast<uint64_t>(sectors) * kIsoSectorSize;
  if (buffer == NULL || capacity < needed) {
    if (m_messages)
      m_messages->Error("directory area of %lu bytes cannot hold the %d directory sectors",
                        static_cast<unsigned long>(buffer ? capacity : 0), sectors);
    return -1;
  }
  CVcdMessageSink* messages = m_messages;
  int result = 0;
  VisitDepthFirst(Root(), [&](CVcdDirNode* node) {
    uint8_t systemUse[kXaSystemUseLength];
    node->GetXaSystemUse(systemUse);
    CVcdDirNode* parent = node->ParentDir();
    if (node->IsDirectory()) {
      // Pre-order: a directory's own extent is started before any child
      // record goes into it.
      // ".." names the parent (the root's own extent for the root) but
      // carries this directory's XA bytes, like ".".
      const CVcdDirNode* up = parent ? parent : node;
      uint8_t* extent = buffer + static_cast<size_t>(node->GetExtent() - rootExtent) * kIsoSectorSize;
      int end = InitDirectoryExtent(messages, extent, node->GetSize(), node->GetExtent(),
                                    node->GetSize(), systemUse, kXaSystemUseLength, up->GetExtent(),
                                    up->GetSize(), systemUse, kXaSystemUseLength);
      if (end < 0) {
        result = -1;
        node->RecordEnd() = node->GetSize();  // nothing more goes in
      } else {
        node->RecordEnd() = static_cast<size_t>(end);
      }
    }
    if (parent == NULL) return;
    uint8_t* parentExtent =
        buffer + static_cast<size_t>(parent->GetExtent() - rootExtent) * kIsoSectorSize;
    std::string name = node->RecordName();
    if (AppendDirectoryRecord(messages, parentExtent, parent->GetSize(), &parent->RecordEnd(),
                              name.c_str(), node->GetExtent(), node->GetSize(),
                              node->IsDirectory() ? kIsoFlagDirectory : 0, systemUse,
                              kXaSystemUseLength, node->GetTime()) < 0)
      result = -1;
  });
  return result;
}

int CVcdDirectory::WritePathTables(uint8_t* typeL, uint8_t* typeM, size_t capacity) {
  if (typeL == NULL || typeM == NULL) {
    if (m_messages) m_messages->Error("path tables: no buffers to write");
    return -1;
  }
  memset(typeL, 0, capacity);
  memset(typeM, 0, capacity);
  CVcdMessageSink* messages = m_messages;
  int result = 0;
  // Level by level, each level in name order under its parents in their
  // order: the order the path tables must have.
  VisitBreadthFirst(Root(), [&](CVcdDirNode* node) {
    if (!node->IsDirectory() || result != 0) return;
    CVcdDirNode* parent = node->ParentDir();
    int parentNumber = parent ? parent->GetPathTableNumber() : 1;
    uint16_t parentField = static_cast<uint16_t>(parentNumber);
    int number = AddPathTableRecordL(messages, typeL, capacity, node->GetName().c_str(),
                                     node->GetExtent(), parentField);
    int numberM = AddPathTableRecordM(messages, typeM, capacity, node->GetName().c_str(),
                                      node->GetExtent(), parentField);
    if (number < 0 || numberM != number) {
      result = -1;
      return;
    }
    node->SetPathTableNumber(number);
  });
  return result;
}
