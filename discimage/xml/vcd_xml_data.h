// CVcdXmlData: what the XML project reader makes of a VideoCD XML project,
// and what the front end hands to the project object section by section:
// the VCD type, the info and PVD values, and lists of options, playback
// lists, sequence items, segment items and file-system entries.
//
// Each list element except the playback lists is a CVcdNewStyle holder that
// owns one record of its kind; the playback lists are the CPbc objects
// themselves, taken out of the description as the project adopts them.
#pragma once

#include <string>
#include <vector>

#include "discimage/model/vcd_object.h"

class CVcdObj;
class CVcdMessageSink;

// Kinds of record a CVcdNewStyle holds.
enum {
  kVcdXmlNone = 0,
  kVcdXmlOption = 1,
  kVcdXmlSequenceItem = 2,
  kVcdXmlEntry = 3,
  kVcdXmlSegmentItem = 4,
  kVcdXmlFsEntry = 5,
  kVcdXmlReservedKind = 6,  // accepted, holds no record
};

// An empty text stands for an absent value throughout.
struct VcdXmlOption {
  std::string name;
  std::string value;
};

struct VcdXmlSequenceItem {
  std::string id;
  std::string src;
  std::string defaultEntryId;
  CVcdList entries;                // CVcdNewStyle of kind kVcdXmlEntry, in document order
  std::vector<double> autoPauses;  // seconds, in document order

  ~VcdXmlSequenceItem() { entries.Clear(1); }
};

struct VcdXmlEntry {
  std::string id;
  double time = 0.0;  // seconds into the track
};

struct VcdXmlSegmentItem {
  std::string id;
  std::string src;
  std::vector<double> autoPauses;  // seconds, in document order
};

struct VcdXmlFsEntry {
  std::string isoPath;  // '/'-separated from the root
  std::string src;      // empty for a folder
  int mixed = 0;        // 1: raw Mode 2 sectors ("mixed" format)
};

class CVcdNewStyle : public CVcdOldStyle {
  DECLARE_DYNAMIC(CVcdNewStyle)
  // A new, empty record of the kind; a kind outside 1 to 6 is kept as 0.
  explicit CVcdNewStyle(int kind);
  // Leaves the parent list and frees the record.
  ~CVcdNewStyle() override;

  // With the flag set frees the record; leaves the parent list. (The
  // destructor frees the record either way.)
  void Detach(int flag) override;

  int GetKind() const { return m_kind; }
  // The record when the holder is of that kind, else NULL.
  VcdXmlOption* Option() const;
  VcdXmlSequenceItem* SequenceItem() const;
  VcdXmlEntry* Entry() const;
  VcdXmlSegmentItem* SegmentItem() const;
  VcdXmlFsEntry* FsEntry() const;

protected:
  void FreeRecord();

  int m_kind;  // kVcdXml*
};

// VCD types as the root element's class and version give them.
enum {
  kVcdXmlTypeNone = 0,
  kVcdXmlTypeVcd10 = 1,
  kVcdXmlTypeVcd11 = 2,
  kVcdXmlTypeVcd20 = 3,
  kVcdXmlTypeSvcd = 4,
  kVcdXmlTypeHqvcd = 5,
};

class CVcdXmlData {
public:
  CVcdXmlData();
  ~CVcdXmlData();

  // Frees every record and list and resets every value.
  void Clear();

  // An empty text as NULL, for the project's setters.
  static const char* TextOrNull(const std::string& text) {
    return text.empty() ? NULL : text.c_str();
  }

  int vcdType;                 // kVcdXmlType*
  // info
  std::string albumId;
  int volumeCount;             // 0 when absent
  int volumeNumber;            // 0 when absent
  int restriction;             // 0 when absent
  int nextVolumeUseSequence2;  // 1 when the element is there
  int nextVolumeUseLid2;       // 1 when the element is there
  // pvd
  std::string volumeId;
  std::string systemId;
  std::string applicationId;
  std::string preparerId;
  std::string publisherId;
  // sections, in document order
  CVcdList options;        // CVcdNewStyle, kVcdXmlOption
  CVcdList pbcLists;       // CPbcPlay, CPbcSelect, CPbcEnd
  CVcdList sequenceItems;  // CVcdNewStyle, kVcdXmlSequenceItem
  CVcdList segmentItems;   // CVcdNewStyle, kVcdXmlSegmentItem
  CVcdList fsEntries;      // CVcdNewStyle, kVcdXmlFsEntry

private:
  CVcdXmlData(const CVcdXmlData&) = delete;
  CVcdXmlData& operator=(const CVcdXmlData&) = delete;
};

// The playback-list step of the build: each list in document order is
// reported ("adding pbc '%s' (%s)"), taken out of the description and added
// to the project. 0, or -1 at the first list the project refuses (that list
// is freed; the rest stay in the description).
int VcdXmlAddPbcLists(CVcdXmlData* data, CVcdObj* project, CVcdMessageSink* messages);
