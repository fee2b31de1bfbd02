// Cue sheet and bin file: one object writes the sheet, another the sectors
// (2352 bytes each, or the 2336 bytes behind sync and header).
#pragma once

#include "discimage/image/vcd_image_sink.h"

class CVcdBinCue : public CVcdImage {
  DECLARE_DYNAMIC(CVcdBinCue)

public:
  CVcdBinCue(CVcdMessageSink* messages, const char* fileName, int mode);

  // Copies the stored sector into a zeroed 2352-byte frame and gives 2336
  // bytes from offset 16 (whole) or 2048 from offset 24.
  int ReadSector(void* destination, int lsn, int whole) override;
  // "cue", "bin" (any case): the file name; "sector" (exact case): "2336"
  // or "2352".
  int SetOption(const char* name, const char* value) override;
  // Writes the sheet naming the image sink's file, and tells that sink where
  // the image ends so that it flushes behind the last sector.
  int SetCueSheet(CVcdImage* imageSink, const CVcdCueList* list) override;
  // File size / sector size, with warnings when it does not divide.
  int StatSize() override;
  // Stores the sector at lsn x sector size.
  int WriteSector(const void* sector, int lsn) override;

  bool Is2336() const { return m_mode2336 != 0; }
  int GetSectorSize() const { return m_mode2336 ? kSectorSize2336 : kSectorSize2352; }

protected:
  enum { kSectorSize2352 = 2352, kSectorSize2336 = 2336 };

  int m_mode2336;   // non-zero: sectors stored without sync and header
  int64_t m_endLsn; // first sector behind the image (from the cue sheet), or -1
};
