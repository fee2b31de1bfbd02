// Nero nrg image, track-at-once: the tracks' sectors (2336 bytes each) one
// after another without their pregaps, then a footer of chunks that says
// where each track lies. The same object is the cue sheet sink and the image
// sink. It also reads existing nrg images (v50 and v55 footers; ETNF, ETN2
// and CUEX track tables), checking every offset and length the file gives
// against the file's size.
#pragma once

#include <vector>

#include "discimage/image/vcd_image_sink.h"

class CVcdNero : public CVcdImage {
  DECLARE_DYNAMIC(CVcdNero)

public:
  // A write-mode sink reports that track-at-once images are not fully
  // compliant.
  CVcdNero(CVcdMessageSink* messages, const char* fileName, int mode);

  // Reads the sector from the image's track table: whole non-zero gives the
  // 2336 stored bytes, zero the 2048 from offset 8. A sector in no track
  // (a pregap) reads as zeros. 0 success, -1 failure.
  int ReadSector(void* destination, int lsn, int whole) override;
  // "nrg" (any case): the file name.
  int SetOption(const char* name, const char* value) override;
  // Keeps the layout (in the image sink, normally this object).
  int SetCueSheet(CVcdImage* imageSink, const CVcdCueList* list) override;
  // Sectors of an existing image (0 when its footer cannot be read).
  int StatSize() override;
  // Stores a track sector at its place without pregaps; pregap sectors are
  // dropped. The last sector of the image also writes the footer.
  int WriteSector(const void* sector, int lsn) override;
  // Drops the layout and the track table; closes the file.
  void Release() override;

  // One track of an image being read: sectors [start, start + count) at
  // offset bytes into the file.
  struct Range {
    int start;
    int count;
    int64_t offset;
  };
  const std::vector<Range>& GetRanges() const { return m_ranges; }

protected:
  // Reads the footer and fills m_ranges: 0 done, -1 failure (reported).
  int ParseMap();
  // Walks the footer's chunks (footer bytes in memory, file size fileSize).
  int ParseChunks(const uint8_t* footer, size_t length, int64_t fileSize);
  // Adds one track range after checking it against the file: 0 or -1.
  int AddRange(int64_t start, int64_t count, int64_t offset, int64_t fileSize);
  // Writes ETNF, SINF, END! and the NERO trailer at offset: 0 or 1.
  int WriteFooter(int64_t offset);

  int m_sectorCount;          // sectors of the image read (0 until known)
  std::vector<Range> m_ranges;  // track table of the image read
  CVcdCueList m_cueList;      // layout of the image written
  CVcdTrackMap m_map;         // its regions
  bool m_haveLayout;          // m_cueList was given
  int m_trackCount;           // track starts in m_cueList
  uint32_t m_endLsn;          // LSN of the end entry
  bool m_footerWritten;       // nothing may follow the footer
};
