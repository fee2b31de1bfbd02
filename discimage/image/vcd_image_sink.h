// Image sinks: streams that know one disc image format. The writer lays the
// disc out as 2352-byte sectors numbered from LSN 0 (the first sector of
// track 1), tells the cue sheet sink the track layout once (the cue list) and
// then hands every sector, in ascending order, to the image sink.
//
//   CVcdBinCue   cue sheet + one bin file (2352- or 2336-byte sectors)
//   CVcdCdrDao   cdrdao TOC + one img file per track and per pregap
//   CVcdNero     one nrg file (track-at-once, no pregaps), also read back
//
// A sink that cannot store what it is given reports an error text and
// returns non-zero: an image is never reported written with a hole in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "discimage/base/vcd_stream.h"

// Kinds of cue list entries.
enum {
  kVcdCueTrack = 1,   // track start
  kVcdCuePregap = 2,  // start of the pregap of the track that follows
  kVcdCueIndex = 3,   // index (entry point) inside the current track
  kVcdCueEnd = 4,     // first sector behind the last track
};

struct VcdCueEntry {
  uint32_t lsn;
  int32_t kind;  // kVcdCue*
};

// The track layout of a disc, in ascending LSN order, ending with one end
// entry; a pregap entry precedes the track start it belongs to.
class CVcdCueList {
public:
  void Append(uint32_t lsn, int kind) { m_entries.push_back(VcdCueEntry{lsn, kind}); }
  void Clear() { m_entries.clear(); }
  size_t GetCount() const { return m_entries.size(); }
  bool IsEmpty() const { return m_entries.empty(); }
  const VcdCueEntry& operator[](size_t i) const { return m_entries[i]; }
  const VcdCueEntry* begin() const { return m_entries.data(); }
  const VcdCueEntry* end() const { return m_entries.data() + m_entries.size(); }

private:
  std::vector<VcdCueEntry> m_entries;
};

// The disc address of the last sector must stay below 100 minutes for its
// BCD minute: the highest LSN + 150 < 100 x 60 x 75.
enum { kVcdImageSectorLimit = 100 * 60 * 75 - 150 };
enum { kVcdCueMaxTracks = 99, kVcdCueMaxIndexes = 99 };

// Checks what every sink relies on: a non-empty list starting at LSN 0, LSNs
// never falling, every pregap directly followed by its track start, indexes
// only inside tracks, at most 99 tracks and 99 indexes a track, one end entry
// and it last, the end within kVcdImageSectorLimit. 0 when sound; otherwise
// reports an error through messages (may be NULL) and returns -1.
int CheckCueList(CVcdMessageSink* messages, const CVcdCueList* list);

// The value of a sink's "sector" option: "2336" sets *mode2336 to 1, "2352"
// to 0; both return 0. Anything else leaves it and returns -2 (a bad value).
int ReadSectorSizeOption(const char* value, int* mode2336);

// One stretch of the disc that lands in one place of an image: a track from
// its start to the next pregap, track or end entry, or a pregap from its
// start to its track. Built from a checked cue list; empty stretches are left
// out.
struct VcdTrackRegion {
  uint32_t start;    // first LSN
  uint32_t end;      // first LSN behind it
  int track;         // number of the track it is or precedes, from 1
  bool pregap;       // true for a pregap
  uint32_t packed;   // tracks only: where the region starts when pregaps are left out
};

class CVcdTrackMap {
public:
  // Rebuilds the map from a list that passed CheckCueList.
  void Build(const CVcdCueList& list);
  void Clear();
  // The region holding lsn, or NULL (behind the end). A sector at exactly a
  // region's start belongs to it. Ascending lookups cost O(1).
  const VcdTrackRegion* Find(uint32_t lsn);
  uint32_t GetEnd() const { return m_end; }
  const std::vector<VcdTrackRegion>& GetRegions() const { return m_regions; }

private:
  std::vector<VcdTrackRegion> m_regions;
  size_t m_cursor = 0;  // region of the last lookup
  uint32_t m_end = 0;   // LSN of the end entry
};

// The project object's side of the toc/img sink: told the name of each img
// file as writing moves on to it, for the write progress reports. The
// receiver keeps its own copy of the name.
class CVcdImageNameTarget {
public:
  virtual void SetProgressImageName(const char* name) = 0;

protected:
  virtual ~CVcdImageNameTarget() {}
};

class CVcdImage : public CVcdStream {
  DECLARE_DYNAMIC(CVcdImage)

public:
  CVcdImage(CVcdMessageSink* messages, const char* fileName, int mode);

  // Reads one sector back: whole non-zero copies the 2336 bytes behind sync
  // and header, zero the 2048 user bytes of a Form 1 sector. 0 success.
  virtual int ReadSector(void* destination, int lsn, int whole);
  // A named string option: 0 accepted, -1 unknown name, -2 bad value.
  virtual int SetOption(const char* name, const char* value);
  // Told the layout once, before any sector; writes the sheet where the
  // format has one. 0 success, -1 failure (reported).
  virtual int SetCueSheet(CVcdImage* imageSink, const CVcdCueList* list);
  // Number of sectors in an existing image.
  virtual int StatSize();
  // Stores one finished 2352-byte sector: 0 ok, non-zero failure (reported).
  virtual int WriteSector(const void* sector, int lsn);

  // Flushes and closes the file: 0 when everything written reached it, 1
  // when not (reported). For callers that want to know before Release.
  int Finish();

protected:
  // Flushes what the stdio buffer holds: 0 done, 1 failure (reported).
  int FlushFile();
  // Error text for a store that did not complete.
  void ReportShortWrite(int lsn);
};

// True when name equals option, ASCII letters compared without case.
bool VcdOptionIs(const char* name, const char* option);

// The text for the "obj" option of a toc/img sink: the object's address.
void VcdPointerOption(const void* object, char* text, size_t size);

// The image formats a sink writes.
enum VcdImageFormat {
  kVcdFormatBinCue,  // cue sheet and one bin file
  kVcdFormatTocImg,  // TOC and one img file per track and pregap
  kVcdFormatNrg,     // one nrg file
};

// What a sink created by CreateVcdImageSink is for.
enum VcdSinkRole {
  kVcdSinkSheet,  // the cue sheet or TOC
  kVcdSinkImage,  // the sectors: bin, img files or nrg
};

// Creates a write sink of the format on path (the front end has forced its
// extension): toc/img is a TOC sink on the path for the sheet and, for the
// image, a sink whose img files are named after path as their base,
// whatever its extension; nrg emits the TAO warning; cue/bin is a cue/bin
// sink. NULL (reported) when nothing could be created or the path was
// refused.
CVcdImage* CreateVcdImageSink(CVcdMessageSink* messages, const char* path, VcdImageFormat format,
                              VcdSinkRole role);
