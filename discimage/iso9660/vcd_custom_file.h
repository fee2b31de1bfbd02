// A file of the user's placed into the disc's ISO 9660 file system: its path
// on the disc and the stream it is read from, with the numbers the layout
// gives it.
#pragma once

#include <cstdint>
#include <string>

#include "discimage/model/vcd_object.h"

class CVcdStream;

class CCustomFile : public CVcdObject {
  DECLARE_DYNAMIC(CCustomFile)
  // Takes ownership of source (a read stream).
  CCustomFile(const char* isoPath, CVcdStream* source);
  // Releases the stream.
  ~CCustomFile() override;

  // Releases and destroys the stream, then leaves the owner list.
  void Detach(int flag) override;
  // Releases and destroys the stream; the object stays in its list.
  void Release();

  // The source file's time (seconds since 1970). While the stream has none
  // yet, its size is taken once, which fills it in; a stream that was closed
  // before is closed again.
  int64_t GetTime();

  const char* GetIsoPath() const { return m_isoPath.c_str(); }
  CVcdStream* GetSource() const { return m_source; }

  int32_t m_mixed;        // non-zero: raw Mode 2 sectors of 2336 bytes (Form 2)
  int32_t m_sizeBytes;    // the source's size in bytes
  int32_t m_startSector;  // first sector, once laid out (0 before)
  int32_t m_sectors;      // sectors it takes on the disc

protected:
  std::string m_isoPath;  // where it stands on the disc
  CVcdStream* m_source;   // owned; NULL once released
};
