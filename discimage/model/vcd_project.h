// CVcdObj: the model of one disc being built. The front end creates it for a
// VCD type, sets its parameters and adds playback lists, folders and files,
// segment items, sequences with their entries and pauses, in that order; then
// asks for the image size, which lays the image out, and has it written.
//
// Besides the rules of the format that the add operations check one by one,
// the disc has limits of its own that are refused here rather than written
// past: tracks 2 to 99 (98 sequences), play item numbers 100 to 599 for entry
// points (500, the track starts included) and 1000 to 2979 for segments
// (1980 segments of 150 sectors).
#pragma once

#include <string>
#include <unordered_map>

#include "discimage/model/vcd_dict.h"
#include "discimage/image/vcd_image_sink.h"
#include "discimage/model/vcd_object.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_segment.h"
#include "discimage/model/vcd_sequence.h"
#include "mfc/string.h"

class CVcdMessageSink;
class CVcdMpegSource;
class CVcdStream;
class CVcdDirectory;
class CCustomFile;
class CVcdSectorBitmap;

// VCD types.
enum {
  kVcdType10 = 1,
  kVcdType11 = 2,
  kVcdType20 = 3,
  kVcdTypeSvcd = 4,
  kVcdTypeHqvcd = 5,
};

// Capabilities asked with HasCapability.
enum {
  kVcdCapSupported = 0,     // types 1-5
  kVcdCapMpeg1 = 1,         // MPEG-1 tracks allowed: 1-3
  kVcdCapMpeg2 = 2,         // MPEG-2 tracks allowed: 4, 5
  kVcdCapPbc = 3,           // playback control and segment items: 3-5
  kVcdCapExtPsd = 4,        // extended PSD and LOT in EXT: 3
  kVcdCapMargins = 5,       // track margins recommended: 1-3
  kVcdCapSvcdFiles = 6,     // SVCD information files: 4, 5
  kVcdCapTrackEntries = 7,  // entries and PBC on tracks: 3-5
};

// Parameter keys of SetParameter.
enum {
  kVcdParamVolumeLabel = 1,
  kVcdParamPublisherId = 2,
  kVcdParamAlbumId = 3,
  kVcdParamVolumeCount = 4,
  kVcdParamVolumeNumber = 5,
  kVcdParamRestriction = 6,
  kVcdParamNextVolumeLid2 = 7,
  kVcdParamNextVolumeSequence2 = 8,
  kVcdParamApplicationId = 9,
  kVcdParamSvcdMpegavFolder = 11,
  kVcdParamSvcdEntrySvd = 12,
  kVcdParamSvcdTrackSvd = 13,
  kVcdParamUpdateScanOffsets = 14,
  kVcdParamRelaxedAps = 15,
  kVcdParamLeadoutPause = 16,
  kVcdParamTrackPregap = 17,
  kVcdParamFrontMargin = 18,
  kVcdParamRearMargin = 19,
};

// What ItemKind answers.
enum {
  kVcdItemNone = 0,
  kVcdItemSequence = 2,
  kVcdItemEntry = 3,
  kVcdItemSegment = 4,
  kVcdItemPbc = 5,
};

// Limits of the disc and of the parameters.
enum {
  kVcdMaxSequences = 98,          // tracks 2..99
  kVcdMaxEntriesPerSequence = 99,
  kVcdMaxEntryPoints = 500,       // play items 100..599, track starts included
  kVcdMaxSegments = 1980,         // play items 1000..2979
  kVcdSegmentSectors = 150,
  kVcdDefaultPregap = 150,
  kVcdMaxImageSectors = 449850,   // 99:58:00
  kVcdMinIsoSectors = 300,
};

// Results of WriteImage.
enum {
  kVcdWriteOk = 0,
  kVcdWriteFailed = 1,
  kVcdWriteCancelled = 2,
};

class CVcdObj : public CVcdObject, public CVcdImageNameTarget {
  DECLARE_DYNAMIC(CVcdObj)

  // The project for the type, or NULL (reported) for a type the builder does
  // not make. messages is not owned and must outlive the project.
  static CVcdObj* Create(CVcdMessageSink* messages, int type);
  // Frees everything the project holds, then the project.
  void Destroy();

  bool HasCapability(int capability) const;

  // Text parameters (keys 1, 2, 3, 9) and number or flag parameters (the
  // others): 0, -1 for an unknown key, -2 for a value of the wrong kind
  // (a NULL text, a number for a text key or a text for a number key).
  int SetParameter(int key, const char* text);
  int SetParameter(int key, int value);

  // On success (0) the project owns the source; on refusal (-1) or a failed
  // scan (-2) the caller keeps it.
  int AddSegmentItem(CVcdMpegSource* source, const char* id);
  // The new sequence's index, -1 refused, -2 scan failed; ownership as above.
  int AddSequence(CVcdMpegSource* source, const char* id, const char* defaultEntryId);
  // A NULL item id means the last one added. 0 or -1.
  int AddSequencePause(const char* sequenceId, double time, const char* pauseId);
  int AddSegmentPause(const char* segmentId, double time, const char* pauseId);
  int AddEntry(const char* sequenceId, double time, const char* entryId);
  // On success (0) the project owns the list.
  int AddPbc(CPbc* list);
  // 0 added, 1 not a valid ISO directory path.
  int AddDirectory(const char* path);
  // 0 added (the project owns the stream), 1 refused, -1 the stream's size
  // cannot be taken. mixed: the file is raw Mode 2 (2336-byte sectors).
  int AddCustomFile(const char* path, CVcdStream* stream, int mixed);

  // Lays the image out and returns its sectors, or -1.
  int ImageSize();
  // Writes the image laid out by ImageSize: the cue list to cueSink (may be
  // NULL), then every sector in order to imageSink. Both sinks are released
  // (closed) when done; the caller destroys them. imageName is the name in
  // write progress reports. kVcdWriteOk, kVcdWriteFailed (reported) or
  // kVcdWriteCancelled. (vcd_write_image.cpp)
  int WriteImage(CVcdImage* cueSink, CVcdImage* imageSink, const char* imageName);
  // The toc/img sink names each img file as it moves on to it.
  void SetProgressImageName(const char* name) override;

  // The play item number and kind of an id (0 when nothing has it).
  int ItemNumber(const char* id) const;
  int ItemKind(const char* id) const;

  // Takes the sequence out and frees it: the later tracks and the cursor move
  // back by its sectors. False when it is not one of this project's.
  bool RemoveSequence(CMpegSequence* sequence);

  // Layout state: a fresh sector bitmap and directory tree and an empty
  // dictionary; EndLayout frees them once the image is written.
  void BeginLayout();
  void EndLayout();
  // Marks sectors in the bitmap (start -1: the first free run): the first
  // sector, or -1 when the range is not free or there is no bitmap.
  int AllocateSectors(int start, int count);
  // True when every sector of the range is marked in the bitmap.
  bool SectorsAllocated(int start, int count) const;

  // The sectors of a sequence on the disc: pregap, front margin, packets,
  // rear margin.
  int SequenceSectors(const CMpegSequence* sequence) const;
  // Entry points of all sequences (track starts included).
  int EntryPointTotal() const;
  // 150-sector segments of all segment items.
  int SegmentTotal() const;

  int GetType() const { return m_type; }
  CVcdMessageSink* Messages() const { return m_messages; }
  int GetSvcdMpegavFolder() const { return m_svcdMpegavFolder; }
  int GetSvcdEntrySvd() const { return m_svcdEntrySvd; }
  int GetSvcdTrackSvd() const { return m_svcdTrackSvd; }
  int GetUpdateScanOffsets() const { return m_updateScanOffsets; }
  int GetRelaxedAps() const { return m_relaxedAps; }
  int GetLeadoutPause() const { return m_leadoutPause; }
  int GetPregap() const { return m_pregap; }
  int GetFrontMargin() const { return m_frontMargin; }
  int GetRearMargin() const { return m_rearMargin; }
  int GetIsoSize() const { return m_isoSize; }
  const CString& GetVolumeLabel() const { return m_volumeLabel; }
  const CString& GetPublisherId() const { return m_publisherId; }
  const CString& GetApplicationId() const { return m_applicationId; }
  const CString& GetAlbumId() const { return m_albumId; }
  int GetVolumeCount() const { return m_volumeCount; }
  int GetVolumeNumber() const { return m_volumeNumber; }
  int GetRestriction() const { return m_restriction; }
  int GetNextVolumeSequence2() const { return m_nextVolumeSequence2; }
  int GetNextVolumeLid2() const { return m_nextVolumeLid2; }
  int GetSegmentStart() const { return m_segmentStart; }
  CSegmentList& Segments() { return m_segments; }
  const CSegmentList& Segments() const { return m_segments; }
  CSequenceList& Sequences() { return m_sequences; }
  const CSequenceList& Sequences() const { return m_sequences; }
  int GetSequenceCursor() const { return m_sequenceCursor; }
  CPbcList& PbcLists() { return m_pbcLists; }
  const CPbcList& PbcLists() const { return m_pbcLists; }
  int GetExtStart() const { return m_extStart; }
  int GetCustomFileStart() const { return m_customFileStart; }
  CVcdList& CustomFiles() { return m_customFiles; }
  const CSortedStrList& Directories() const { return m_directories; }
  CDictList& Dictionary() { return m_dictionary; }
  const CDictList& Dictionary() const { return m_dictionary; }
  CVcdSectorBitmap* SectorBitmap() const { return m_bitmap; }
  CVcdDirectory* DirectoryTree() const { return m_directory; }

protected:
  CVcdObj(CVcdMessageSink* messages, int type);
  ~CVcdObj() override;

  // Steps of the layout that ImageSize runs between preparing the layout
  // state and counting the sectors: track 1 (allocation, file system,
  // dictionary; sets the ISO size) and the entry points' packets. 0 or 1.
  // (vcd_project_layout.cpp)
  virtual int LayOutTrack1();
  virtual int ResolveEntryPoints();
  // Parts of LayOutTrack1: every file and folder into the directory tree,
  // then the directory area sized, checked, reserved and written. 0 or 1.
  int BuildDirectoryTree(bool pbc, int searchBytes);
  int PlaceDirectory();
  // Steps 3 to 5 of the size: ISO size + tracks (+ leadout pause), checked
  // against the largest image and the disc sizes. Sectors or -1.
  int CountImageSectors();

  // The halves of AddSegmentItem and AddSequence around the scan: the checks
  // that need no stream information, and the checks that do with the
  // appending. The Append operations take the source (which may be NULL) only
  // when they succeed.
  int CheckNewSegment(const char* id);
  int CheckNewSequence(const char* id, const char* defaultEntryId);
  int AppendSequence(CVcdMpegSource* source, MpegStreamInfo* info, const char* id,
                     const char* defaultEntryId);
  int AppendSegment(CVcdMpegSource* source, MpegStreamInfo* info, const char* id);

  // Lookups for the pause and entry operations: by id, or the last item for
  // NULL.
  CMpegSequence* SequenceForPoints(const char* id) const;
  CMpegSegment* SegmentForPoints(const char* id) const;
  // Refuses non-finite times (they cannot be ordered). 0 or -1.
  int CheckTime(double time, const char* what);
  // The sequence's packets, 0 without stream information.
  static int PacketCount(const MpegStreamInfo* info);
  // Gives every sequence its start after track 1 from the current pregap and
  // margins, and the cursor the sectors of all tracks.
  void RecomputeTrackStarts();

  // Reports the clamp warning and returns value limited to [low, high].
  int Clamp(int value, int low, int high, const char* warning);
  int SetText(CString* field, const char* text, int maxLength, const char* tooLong,
              const char* changed);

  // --- id index: every item id of the project, so that "does this id name
  // something" and the play item numbers need no walk over all items.
  enum { kRefSequence, kRefDefaultEntry, kRefEntry, kRefSegment, kRefPbc };
  struct ItemRef {
    int kind;                 // kRef*
    CObject* object;          // the sequence, entry, segment or list
    CMpegSequence* sequence;  // the sequence an entry or default entry belongs to
  };
  typedef std::unordered_map<std::string, ItemRef> IdMap;
  static std::string FoldId(const char* id);
  // Entries of the kinds compared without regard to case go into the folded
  // map (a name already there keeps the object found first); entry ids into
  // the exact map.
  void IndexId(const char* id, int kind, CObject* object, CMpegSequence* sequence);
  void UnindexId(const char* id, int kind, CObject* object);
  // The object an id names, in the order the play item numbers take them:
  // sequence, entry point, segment item, playback list. False when none.
  bool FindItem(const char* id, ItemRef* found) const;
  int EntryNumber(const CMpegSequence* sequence, const CVcdEntry* entry) const;
  int SegmentNumber(const CMpegSegment* segment) const;

  int m_type;                    // kVcdType*
  CVcdMessageSink* m_messages;   // the front end; not owned
  int m_svcdMpegavFolder;        // SVCD of the older format: MPEGAV folder
  int m_svcdEntrySvd;            // ... ENTRYSVD signature
  int m_svcdTrackSvd;            // ... TRACK.SVD format
  int m_updateScanOffsets;       // rewrite the scan data of the packets
  int m_relaxedAps;              // take any I picture as an access point
  int m_leadoutPause;            // pregap-long pause after the last track
  int m_pregap;                  // sectors before every track
  int m_frontMargin;             // sectors between pregap and packets
  int m_rearMargin;              // sectors after the packets
  CVcdStream* m_cueSink;         // image sinks while writing; not owned
  CVcdStream* m_imageSink;
  int m_isoSize;                 // sectors of track 1
  CString m_volumeLabel;
  CString m_publisherId;
  CString m_applicationId;
  CString m_albumId;
  int m_volumeCount;
  int m_volumeNumber;
  int m_restriction;             // parental restriction 0-3
  int m_nextVolumeSequence2;
  int m_nextVolumeLid2;
  int m_segmentStart;            // first sector of the segment area
  CSegmentList m_segments;       // CMpegSegment, in the order added
  CSequenceList m_sequences;     // CMpegSequence, in track order
  int m_sequenceCursor;          // sectors of the tracks so far, after track 1
  CPbcList m_pbcLists;           // CPbc, in document order
  int m_extStart;                // first sector of the EXT files
  int m_customFileStart;         // first sector of the user's files
  CVcdList m_customFiles;        // CCustomFile
  CSortedStrList m_directories;  // extra ISO folders, sorted
  CDictList m_dictionary;        // track 1 sectors the builder fills itself
  CVcdSectorBitmap* m_bitmap;     // while laying out and writing; owned
  CVcdDirectory* m_directory;    // while laying out and writing; owned
  int m_sectorsWritten;          // progress while writing
  int m_writing;                 // non-zero from the layout until written
  int m_currentTrack;            // track being written, for progress
  int m_lastProgressSectors;     // sectors written at the last progress report
  std::string m_imageName;       // image file name for progress (own copy)
  IdMap m_foldedIds;             // sequence, default entry, segment, list ids
  IdMap m_entryIds;              // entry ids, exactly as given

  friend class CVcdImageWriter;  // writes what the layout placed
};

// The project for the type, or NULL (reported).
CVcdObj* CreateVcdObj(CVcdMessageSink* messages, int type);
