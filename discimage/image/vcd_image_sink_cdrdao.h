// cdrdao TOC and its img files. The TOC sink writes the sheet; the image
// sink stores every track, and every non-empty pregap, in a file of its own
// named after the image base: "<base>_NN.img" and "<base>_NN_pregap.img".
#pragma once

#include <string>

#include "discimage/image/vcd_image_sink.h"

class CVcdCdrDao : public CVcdImage {
  DECLARE_DYNAMIC(CVcdCdrDao)

public:
  CVcdCdrDao(CVcdMessageSink* messages, const char* fileName, int mode);

  // "toc", "img", "img_base", "obj" (any case) and "sector" (exact case).
  int SetOption(const char* name, const char* value) override;
  // Writes the TOC and gives the image sink (a CVcdCdrDao) its own copy of
  // the layout, which decides the file of every sector.
  int SetCueSheet(CVcdImage* imageSink, const CVcdCueList* list) override;
  // Stores the sector in the file of its track or pregap, switching files as
  // the LSN crosses into the next one.
  int WriteSector(const void* sector, int lsn) override;
  // Closes the file and drops the layout.
  void Release() override;

  bool Is2336() const { return m_mode2336 != 0; }
  int GetSectorSize() const { return m_mode2336 ? 2336 : 2352; }
  const char* GetImageBase() const { return m_imageBase.c_str(); }
  CObject* GetProjectObject() const { return m_project; }

protected:
  // Closes the current img file (flushed) and names the stream after the
  // file of region: 0 done, 1 failure (reported).
  int SwitchFile(const VcdTrackRegion& region);

  int m_mode2336;           // non-zero: 2336-byte sectors
  std::string m_imageBase;  // img file names start with it
  CVcdCueList m_cueList;    // own copy of the layout (image sink)
  CVcdTrackMap m_map;       // regions of m_cueList
  bool m_haveLayout;        // m_cueList was given
  int m_openTrack;          // track number of the open img file, 0 none
  int m_openPregap;         // non-zero: the open img file is a pregap
  uint32_t m_openStart;     // first LSN of the open img file
  CObject* m_project;       // told each img name when it is a CVcdImageNameTarget; not owned
};
