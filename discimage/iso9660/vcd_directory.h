// The directory tree of the disc's ISO 9660 file system. The layout enters
// every file and folder while it allocates sectors; the tree then sizes the
// directories, gives each its extent and writes the directory records and
// both path tables.
//
// Children stand in name order, compared byte by byte as unsigned
// characters (upper case before lower case). Each directory also keeps its
// children in a map by name, so that entering n files costs n log n however
// they arrive, rather than a walk of the list per file.
//
// Limits the tree enforces so that what it writes stays readable: names of
// at most 31 characters (ISO 9660 level 2) and at most 8 directory levels,
// the root being level 1. Both are refused with an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "discimage/iso9660/iso9660_fields.h"
#include "discimage/model/vcd_object.h"

class CVcdMessageSink;
class CVcdDirNode;

enum {
  kXaAttributesDirectory = 0x8D55,
  kXaAttributesForm1 = 0x0D55,
  kXaAttributesForm2 = 0x1555,
  kXaSystemUseLength = 14,
  kIsoMaxDirectoryLevels = 8,  // the root is level 1
  kIsoMaxNameLength = 31,      // without a file's ";1"
};

// Gets each node of a visit (CVcdTreeNode's visitor argument).
class CVcdDirVisitor {
public:
  virtual ~CVcdDirVisitor() {}
  virtual void VisitNode(CVcdDirNode* node) = 0;
};

// One file or directory.
class CVcdDirNode : public CVcdTreeNode {
  DECLARE_DYNAMIC(CVcdDirNode)
  // A directory (attributes 0x8D55) or a Form 1 file, version 1, all numbers 0.
  CVcdDirNode(CVcdMessageSink* messages, const char* name, bool isDirectory);
  ~CVcdDirNode() override;

  // Names compared byte by byte; other kinds of object compare equal.
  int Compare(const CObject* other) const override;
  // Also leaves the parent's index of names.
  void Detach(int flag) override;
  // visitor is a CVcdDirVisitor.
  void Visit(void* visitor) override;

  // The child of this name, or NULL.
  CVcdDirNode* FindChild(const char* name) const;
  // Puts child among the children in name order (the only way children are
  // added, so that the list and the index agree). false when the name is
  // taken; the child is then not adopted.
  bool InsertChild(CVcdDirNode* child);
  // The directory holding this node, or NULL for the root.
  CVcdDirNode* ParentDir() const;
  // Directory levels from the root (the root is 1).
  int Level() const;

  // The file identifier of its record: the name, and ";version" for files.
  std::string RecordName() const;
  // The 14 system use bytes of its records: group and user id 0, the
  // attributes big-endian, "XA", the file number, 5 zero bytes.
  void GetXaSystemUse(uint8_t systemUse[kXaSystemUseLength]) const;

  bool IsDirectory() const { return m_isDirectory != 0; }
  const std::string& GetName() const { return m_name; }
  uint16_t GetVersion() const { return m_version; }
  uint16_t GetXaAttributes() const { return m_xaAttributes; }
  void SetXaAttributes(uint16_t attributes) { m_xaAttributes = attributes; }
  uint8_t GetXaFileNumber() const { return m_xaFileNumber; }
  void SetXaFileNumber(uint8_t number) { m_xaFileNumber = number; }
  uint32_t GetExtent() const { return m_extent; }
  void SetExtent(uint32_t extent) { m_extent = extent; }
  uint32_t GetSize() const { return m_size; }
  void SetSize(uint32_t size) { m_size = size; }
  int32_t GetPathTableNumber() const { return m_pathTableNumber; }
  void SetPathTableNumber(int32_t number) { m_pathTableNumber = number; }
  uint32_t GetTime() const { return m_time; }
  void SetTime(uint32_t time) { m_time = time; }
  CVcdMessageSink* GetMessages() const { return m_messages; }
  // While directories are written: the end of the last record in this
  // directory's extent.
  size_t& RecordEnd() { return m_recordEnd; }

protected:
  void LeaveParentIndex();

  int m_isDirectory;            // 1 directory, 0 file
  std::string m_name;           // component name; the root's is empty
  uint16_t m_version;           // written behind a file's name as ";1"
  uint16_t m_xaAttributes;      // kXaAttributes*
  uint8_t m_xaFileNumber;       // interleave file number (0 for directories)
  uint32_t m_extent;            // first sector
  uint32_t m_size;              // bytes; whole sectors for directories
  int32_t m_pathTableNumber;    // record number in the path tables (root 1)
  uint32_t m_time;              // seconds since 1970; 0: the fixed default
  CVcdMessageSink* m_messages;  // for messages; may be NULL

  std::map<std::string, CVcdDirNode*> m_byName;  // children by name
  POSITION m_position;  // where this node stands in its parent's children
  size_t m_recordEnd;   // see RecordEnd
};

// The tree: one root directory with an empty name.
class CVcdDirectory : public CVcdTree {
  DECLARE_DYNAMIC(CVcdDirectory)
  explicit CVcdDirectory(CVcdMessageSink* messages = NULL);
  // Frees every node.
  ~CVcdDirectory() override;

  // A root directory node (empty name, attributes 0x8D55, file number 0).
  CVcdTreeNode* NewRootNode() override;
  // The root, made on first use.
  CVcdDirNode* Root();
  // The node at a '/'-separated path ("" is the root), or NULL.
  CVcdDirNode* FindNode(const char* path);

  // Makes the last component of path as a directory; every other component
  // must exist. An existing directory of that name gives 0 silently.
  // 0, or -1 (reported).
  int MakeDirectory(const char* path);
  // Makes a file, creating missing directories on the way (with an info
  // message). form2: attributes 0x1555, else 0x0D55. 0, or -1 (reported).
  int MakeFile(const char* path, uint32_t extent, uint32_t size, int form2, uint8_t fileNumber,
               uint32_t time);

  // Sizes every directory: "." and ".." take 48 bytes each and every child
  // its record with the XA bytes; records do not cross sectors; the total is
  // rounded up to whole sectors.
  void ComputeDirectorySizes();
  // Sets the root's extent and gives the directories their extents: each
  // directory's child directories follow its own sectors in name order, each
  // followed by its whole subtree. Sizes must be computed.
  void AssignExtents(uint32_t rootExtent);
  // Computes the sizes; the sectors of all directories together.
  int DirectorySectors();
  // Computes sizes, assigns extents from rootExtent and writes every
  // directory extent into buffer (capacity bytes), one after another from the
  // root's. 0, or -1 (reported) when the buffer is too small or a record
  // cannot be written.
  int WriteDirectories(uint8_t* buffer, size_t capacity, uint32_t rootExtent);
  // Clears both tables (capacity bytes each) and writes the type L and type
  // M path tables, the directories level by level in name order, storing
  // each directory's number. Extents must be assigned. 0, or -1 (reported)
  // when the tables do not fit.
  int WritePathTables(uint8_t* typeL, uint8_t* typeM, size_t capacity = kIsoSectorSize);

  CVcdMessageSink* GetMessages() const { return m_messages; }

protected:
  CVcdMessageSink* m_messages;  // for messages; may be NULL
};
