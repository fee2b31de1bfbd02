// Playback control: the lists a player moves between (play lists, selection
// menus, the end screen). CPbcList keeps a project's lists in document
// order; each CPbc knows its descriptor size and writes its PSD descriptor.
//
// The passes, in the order the layout and the writers run them:
//   ComputePsdSize  gives every list its list id and its offsets in the PSD
//                   and the extended PSD, and refuses lists that cannot be
//                   encoded (a reference to an id that names nothing, a
//                   count or value that does not fit its field);
//   CheckReachability  warns about lists and items no list leads to;
//   WriteDescriptor    fills each list's bytes at its offset.
// Descriptor fields are big-endian; offsets in them are in units of 8 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "discimage/model/vcd_object.h"
#include "mfc/types.h"
#include "mfc/string.h"

class CVcdObj;
class CVcdMessageSink;
class CPbcList;
class CPbcLinker;
class CPbcReport;

enum {
  kPbcPlayList = 1,
  kPbcSelectionList = 2,
  kPbcEndList = 3,
};

// What a selection list's default key does.
enum {
  kPbcDefaultTarget = 0,          // jumps to the default list
  kPbcMultiDefault = 1,           // to the selection of the entry point playing
  kPbcMultiDefaultNoNumeric = 2,  // the same, numeric keys disabled
};

// Bytes of the descriptors and the fields they share.
enum {
  kPsdPlayListType = 0x10,
  kPsdSelectionType = 0x18,
  kPsdExtSelectionType = 0x1A,  // the selection list in the extended PSD
  kPsdEndListType = 0x1F,
  kPsdNoList = 0xFFFF,          // an offset field without a list
  kPsdMultiDefault = 0xFFFE,
  kPsdMultiDefaultNoNumeric = 0xFFFD,
  kPsdRejected = 0x8000,        // added to the list id of a rejected list
  kPsdOffsetUnit = 8,           // descriptor offsets are stored divided by this
  kPsdSectorBytes = 2048,       // no descriptor crosses a sector boundary
  // Largest offset field that is not one of the three markers above.
  kPsdMaxOffsetField = 0xFFFC,
  // The LOT has 32768 slots and slot 0 is never a list.
  kPbcMaxLists = 32767,
  kPbcMaxPlayItems = 255,       // the count is one byte
  kPbcMaxSelections = 99,       // numeric keys 1 to 99
  kPbcMaxLoopCount = 127,       // seven bits; the eighth is the jump timing
};

// One rectangle of a selection, in the order written.
struct VcdPbcArea {
  uint8_t x1;
  uint8_t y1;
  uint8_t x2;
  uint8_t y2;
};

// The wait time code of a number of seconds: 255 infinite (negative), the
// seconds up to 60, then 10-second steps up to 2000 (254). Longer waits are
// clipped with a warning through messages (when given).
int VcdPbcWaitTimeCode(int seconds, CVcdMessageSink* messages);

class CPbc : public CVcdObject {
  DECLARE_DYNAMIC(CPbc)
  CPbc(int type, const char* id);

  // With another list, by id without regard to case; a list with an empty
  // id matches nothing (0 only for equal non-empty ids).
  int Compare(const CObject* other) const override;
  // The same against an id.
  int CompareId(const char* id) const;
  // True when the id is non-empty and equals this list's without regard to case.
  bool HasId(const char* id) const;

  // Bytes of the descriptor, without the rounding to 8 that the PSD adds.
  // extended: the form written into the extended PSD.
  virtual int DescriptorSize(int extended) const;
  // Hands every list and play item this list refers to to the linker.
  virtual void LinkReferences(CPbcLinker& linker) const;
  // Reports every id this list refers to that names nothing of the kind
  // asked for; returns how many there were.
  virtual int CheckReferences() const;
  // Writes DescriptorSize(extended) bytes at buffer with every message the
  // checks give: the bytes written, or -1 when an error was reported (the
  // bytes are written nonetheless).
  int WriteDescriptor(uint8_t* buffer, int extended);
  // The same into a scratch buffer, reporting errors only: the check made
  // before any byte of the image is written. 0, or -1 after an error.
  int CheckDescriptor(int extended);

  // The list that holds this one (the project's), its project and messages;
  // NULL while the list is not in a CPbcList.
  CPbcList* GetPbcList() const;
  CVcdObj* GetProject() const;
  CVcdMessageSink* Messages() const;

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
  // The text the front end reports for the type.
  const char* TypeName() const;

protected:
  // The descriptor, with messages as report lets through: bytes written, or
  // -1 when an error was found. The base writes nothing.
  virtual int Encode(uint8_t* buffer, int extended, CPbcReport& report) const;
  // List id field: the list id, with the rejected marker.
  int ListIdField() const;
  // 1 (reported) when a non-empty id names no list, or no play item; else 0.
  int CheckListReference(const CString& id) const;
  int CheckItemReference(const CString& id) const;

  int m_type;            // kPbc*
  CString m_id;          // may be empty
  int m_rejected;        // non-zero: listed with kPsdRejected and not visited
  int m_visited;         // set by the reachability check
  int m_listId;          // 1-based position, set by the size pass
  int m_offset;          // bytes into the PSD
  int m_extendedOffset;  // bytes into the extended PSD
};

// A play list: plays its items in order, then waits and goes on to next.
class CPbcPlay : public CPbc {
  DECLARE_DYNAMIC(CPbcPlay)
  explicit CPbcPlay(const char* id);

  int DescriptorSize(int extended) const override;
  void LinkReferences(CPbcLinker& linker) const override;
  int CheckReferences() const override;

  CString prevId;             // list ids; empty for none
  CString nextId;
  CString returnId;
  double playingTime;         // seconds
  int wait;                   // seconds after the last item; negative: infinite
  int autoWait;               // seconds at every auto-pause; negative: infinite
  std::vector<CString> itemIds;  // play items, in play order

protected:
  int Encode(uint8_t* buffer, int extended, CPbcReport& report) const override;
};

// A selection list: a menu whose numeric keys choose among its targets.
class CPbcSelect : public CPbc {
  DECLARE_DYNAMIC(CPbcSelect)
  explicit CPbcSelect(const char* id);

  // Appends a target with its area.
  void AddTarget(const char* id, const VcdPbcArea& area);
  int TargetCount() const { return static_cast<int>(targetIds.size()); }

  int DescriptorSize(int extended) const override;
  void LinkReferences(CPbcLinker& linker) const override;
  int CheckReferences() const override;

  CString prevId;             // list ids; empty for none
  CString nextId;
  CString returnId;
  int defaultMode;            // kPbcDefaultTarget or kPbcMultiDefault*
  VcdPbcArea prevArea;        // all zero: none
  VcdPbcArea nextArea;
  VcdPbcArea returnArea;
  VcdPbcArea defaultArea;
  int bsn;                    // number of the first selection (1)
  CString defaultId;          // list of the default key (default mode 0)
  CString timeoutId;          // list when the wait runs out
  int wait;                   // seconds before the timeout list; negative: infinite
  int loopCount;              // plays of the item before the wait (1; 0 infinite)
  int delayedJump;            // non-zero: a key takes effect when the item ends
  CString itemId;             // shown while the menu waits; empty for none
  std::vector<CString> targetIds;       // list ids of the selections, key BSN first
  std::vector<VcdPbcArea> targetAreas;  // one per target, in the same order

protected:
  int Encode(uint8_t* buffer, int extended, CPbcReport& report) const override;
  // The checks of a multi-default list; errors reported, true when none.
  bool CheckMultiDefault(CPbcReport& report) const;
  // Writes one area, or zeros with an error when it is not a rectangle.
  void WriteArea(uint8_t* out, const VcdPbcArea& area, CPbcReport& report) const;
};

// The end list: stops playback, on SVCD with a change-disc picture.
class CPbcEnd : public CPbc {
  DECLARE_DYNAMIC(CPbcEnd)
  explicit CPbcEnd(const char* id);

  int DescriptorSize(int extended) const override;
  void LinkReferences(CPbcLinker& linker) const override;
  int CheckReferences() const override;

  CString itemId;  // change-disc picture (a still segment item); empty for none
  int nextVolume;  // volume to insert next; 0 for none

protected:
  int Encode(uint8_t* buffer, int extended, CPbcReport& report) const override;
};

class CPbcList : public CVcdList {
  DECLARE_DYNAMIC(CPbcList)
  explicit CPbcList(CVcdObj* project = NULL);

  // Without regard to case; NULL for an empty id or none found.
  CPbc* FindById(const char* id) const;
  // 1-based position of the list with the id, 0 when absent.
  int IndexOfId(const char* id) const;
  // The play item number and kind of an id (the project's numbering).
  int ItemNumber(const char* id) const;
  int ItemKind(const char* id) const;

  // True when the project has lists and can play them; lists in a project
  // that cannot give a warning and false.
  bool PbcAvailable() const;
  // Gives every list its list id and offsets and keeps the sizes of the PSD
  // and the extended PSD, then checks that every list can be encoded. 0, or
  // -1 when one cannot (reported): the image must not be written then.
  int ComputePsdSize();
  // Marks what the lists that are not rejected lead to, and warns about
  // every list, sequence and segment item left unmarked.
  void CheckReachability();
  // The offset field for a reference to a list: its offset (or extended
  // offset) / 8; kPsdNoList for an empty id, and for an id that names no
  // list, with the error "PSD: referenced PSD '%s' not found".
  int ListOffset(const char* id, int extended);
  int ListOffset(const char* id, int extended, CPbcReport& report) const;
  // The play item number of a reference to a sequence, entry point or
  // segment item: 0 for an empty id, and for an id that names none of them,
  // with the error "PSD: referenced play item '%s' not found".
  int PlayItemNumber(const char* id, CPbcReport& report) const;
  // True when the id names a sequence, an entry point or a segment item;
  // true when it names a list.
  bool IsPlayItem(const char* id) const;
  bool IsList(const char* id) const;

  // Bytes of the PSD and the extended PSD (0 without lists, the extended
  // size 0 when the project has no extended PSD); set by ComputePsdSize.
  int GetPsdSize() const { return m_psdSize; }
  int GetExtendedPsdSize() const { return m_extendedPsdSize; }
  // Highest list id given (the LOT entries in use).
  int GetListIdCount() const { return m_listIdCount; }

  CVcdObj* GetProject() const { return m_project; }
  void SetProject(CVcdObj* project) { m_project = project; }
  CVcdMessageSink* Messages() const;

protected:
  // Offsets of the lists by folded id, from the last size pass; values, so
  // that a list freed afterwards leaves nothing dangling.
  struct Place {
    int offset;
    int extendedOffset;
  };
  typedef std::unordered_map<std::string, Place> PlaceMap;
  static std::string FoldId(const char* id);
  // Places the lists: list ids, offsets, the two sizes, the offset map.
  int PlaceLists();
  // True while the offset map matches the lists (none added or taken out
  // since the size pass, as far as the count tells).
  bool Placed() const { return m_placed && GetCount() == m_listIdCount; }

  CVcdObj* m_project;     // the owner; not owned
  int m_psdSize;          // bytes, from ComputePsdSize
  int m_extendedPsdSize;  // bytes, from ComputePsdSize
  int m_listIdCount;      // lists placed by ComputePsdSize
  PlaceMap m_places;      // filled by ComputePsdSize
  bool m_placed;          // m_places is from a size pass
};

// Messages of the descriptor checks, as far as the caller lets them through;
// counts the errors either way.
class CPbcReport {
public:
  enum { kErrors = 1, kWarnings = 2, kAll = 3 };
  CPbcReport(CVcdMessageSink* messages, int show) : m_messages(messages), m_show(show), m_errors(0) {}

  void Error(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
  void Warning(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);
  int GetErrors() const { return m_errors; }
  CVcdMessageSink* Messages() const { return m_show & kWarnings ? m_messages : NULL; }

private:
  CVcdMessageSink* m_messages;  // may be NULL
  int m_show;                   // kErrors and kWarnings bits
  int m_errors;                 // errors found, shown or not
};

// Stores value as two big-endian bytes.
inline void VcdPbcPut16(uint8_t* out, int value) {
  out[0] = static_cast<uint8_t>((value >> 8) & 0xFF);
  out[1] = static_cast<uint8_t>(value & 0xFF);
}

// What the reachability check hands the lists: each reference to a list or
// a play item. Lists are visited from a work list, not by recursion, so a
// long chain of lists costs no stack.
class CPbcLinker {
public:
  virtual ~CPbcLinker() {}
  virtual void LinkList(const char* id) = 0;
  virtual void LinkItem(const char* id) = 0;
};
