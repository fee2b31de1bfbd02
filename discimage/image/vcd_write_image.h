// CVcdImageWriter: writes the sectors of an image that CVcdObj::ImageSize
// has laid out, in ascending order, to one image sink: track 1 (the
// dictionary's files, segment items, EXT files, the user's files), each MPEG
// track with its pregap and margins, and the optional leadout pause. It
// chooses each sector's XA subheader; it never places anything. Where the
// layout put a file is checked against where writing has got to, so a file
// that would land elsewhere stops the image instead.
#pragma once

#include <cstdint>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/image/vcd_image_sink.h"
#include "discimage/image/vcd_sector.h"

class CVcdObj;
class CVcdMessageSink;
class CMpegSegment;
class CMpegSequence;
class CCustomFile;

class CVcdImageWriter {
public:
  CVcdImageWriter(CVcdObj* project, CVcdImage* imageSink);

  // The track layout for a cue sheet sink (ascending: track 1, each track's
  // pregap, start and entry points, the end).
  void BuildCueList(CVcdCueList* list) const;
  // Every sector of the image: kVcdWriteOk, kVcdWriteFailed (reported) or
  // kVcdWriteCancelled.
  int Write();

  // The sectors of the image proper (without the leadout pause).
  int TotalSectors() const { return m_total; }

private:
  // Fills the dictionary's buffers that are filled at write time: volume
  // descriptors and the VideoCD information files. 0 or kVcdWriteFailed.
  int FillInformationFiles();
  int WriteTrack1();
  // Sectors [m_lsn, end) from the dictionary (empty where no file lies).
  int WriteDictionarySectors(int end, int fileNumber, bool extArea);
  int WriteSegment(const CMpegSegment* segment);
  int WriteCustomFile(CCustomFile* file);
  int WriteSequence(int index, CMpegSequence* sequence);
  // count empty sectors with the subheader given.
  int WriteEmpty(int count, int fileNumber, int channel, int submode);

  // Encodes one sector at m_lsn and stores it: the cancel flag is read
  // first. counted: the sector counts for progress.
  int PutSector(const void* data, int fileNumber, int channel, int submode, int coding,
                bool counted = true);
  int PutRawSector(const void* data);
  // Packets are read straight into the sector being built (no copy): where
  // ReadPacket puts them, and the Form 2 sector made around them in place.
  uint8_t* PacketBuffer() { return m_sector + kVcdSectorDataOffset; }
  int PutPacket(int fileNumber, int channel, int submode, int coding);
  int Store(bool counted);
  // kVcdWriteFailed (reported) unless writing stands at lsn.
  int ExpectSector(int lsn, const char* what);
  void ReportProgress(bool force);

  CVcdObj* m_project;
  CVcdMessageSink* m_messages;
  CVcdImage* m_sink;
  int m_lsn;         // the next sector to write
  int m_total;       // ISO size + tracks
  int m_trackCount;  // sequences + 1
  uint8_t m_sector[kVcdSectorSize];  // the sector being built
  uint8_t m_data[kVcdSectorSize2336];  // a user file's bytes
};
