#include "discimage/image/vcd_image_sink_bincue.h"

#include <climits>
#include <cstring>

#include "discimage/base/vcd_messages.h"
#include "discimage/base/vcd_paths.h"
#include "discimage/image/vcd_sector.h"
#include "discimage/base/vcd_util.h"

IMPLEMENT_DYNAMIC(CVcdBinCue, CVcdImage)

CVcdBinCue::CVcdBinCue(CVcdMessageSink* messages, const char* fileName, int mode)
    : CVcdImage(messages, fileName, mode), m_mode2336(0), m_endLsn(-1) {}

int CVcdBinCue::SetOption(const char* name, const char* value) {
  if (name == NULL) return -1;
  if (VcdOptionIs(name, "cue") || VcdOptionIs(name, "bin")) {
    if (value == NULL || *value == '\0') return -2;
    Close();
    SetFileName(value);
    return 0;
  }
  if (strcmp(name, "sector") == 0) return ReadSectorSizeOption(value, &m_mode2336);
  return -1;
}

int CVcdBinCue::SetCueSheet(CVcdImage* imageSink, const CVcdCueList* list) {
  if (CheckCueList(m_messages, list) != 0) return -1;
  if (imageSink == NULL) {
    Report(kVcdMsgError, "no image file given for the cue sheet <%s>", GetFileName());
    return -1;
  }
  // Readers look for the bin from the sheet's folder.
  std::string bin = VcdImagePathForSheet(GetFileName(), imageSink->GetFileName());
  bool written = Printf("FILE \"%s\" BINARY\r\n", bin.c_str()) > 0;
  int track = 0, index = 0;
  uint32_t lastIndex = 0;  // LSN of the track's last INDEX line
  const VcdCueEntry* pregap = NULL;
  for (const VcdCueEntry& entry : *list) {
    if (!written) break;
    uint8_t msf[3];
    switch (entry.kind) {
      case kVcdCueTrack:
        ++track;
        written = Printf("  TRACK %2.2d MODE2/%d\r\n    FLAGS DCP\r\n", track,
                         m_mode2336 ? 2336 : 2352) > 0;
        // An empty pregap is no pregap: its INDEX 00 would sit on INDEX 01.
        if (written && pregap != NULL && pregap->lsn < entry.lsn) {
          LbaToMsf(static_cast<int>(pregap->lsn), msf);
          written = Printf("    INDEX %2.2d %2.2x:%2.2x:%2.2x\r\n", 0, msf[0], msf[1], msf[2]) > 0;
        }
        index = 1;
        lastIndex = entry.lsn;
        LbaToMsf(static_cast<int>(entry.lsn), msf);
        if (written)
          written = Printf("    INDEX %2.2d %2.2x:%2.2x:%2.2x\r\n", index, msf[0], msf[1], msf[2]) > 0;
        break;
      case kVcdCueIndex:
        // Indexes must move forward: one on the track start or on the index
        // before it (an entry point at a track's first sector) says nothing.
        if (entry.lsn <= lastIndex) break;
        lastIndex = entry.lsn;
        ++index;
        LbaToMsf(static_cast<int>(entry.lsn), msf);
        written = Printf("    INDEX %2.2d %2.2x:%2.2x:%2.2x\r\n", index, msf[0], msf[1], msf[2]) > 0;
        break;
      case kVcdCueEnd:
        if (Close() != 0) return -1;
        if (imageSink->IsKindOf(RUNTIME_CLASS(CVcdBinCue)))
          static_cast<CVcdBinCue*>(imageSink)->m_endLsn = entry.lsn;
        return 0;
      default:
        break;
    }
    pregap = entry.kind == kVcdCuePregap ? &entry : NULL;
  }
  Report(kVcdMsgError, "could not write the cue sheet <%s>", GetFileName());
  Close();
  return -1;
}

int CVcdBinCue::WriteSector(const void* sector, int lsn) {
  if (sector == NULL || lsn < 0) {
    ReportShortWrite(lsn);
    return 1;
  }
  const size_t size = static_cast<size_t>(GetSectorSize());
  const int64_t offset = static_cast<int64_t>(lsn) * static_cast<int64_t>(size);
  const uint8_t* from = static_cast<const uint8_t*>(sector) + (m_mode2336 ? kVcdSectorHeaderSize : 0);
  if (Seek(offset) != offset || Write(from, size) != size) {
    ReportShortWrite(lsn);
    return 1;
  }
  // Behind the last sector: what the stdio buffer still holds must reach the
  // file now, while a failure can still fail the build.
  if (lsn + 1 == m_endLsn && FlushFile() != 0) return 1;
  return 0;
}

int CVcdBinCue::ReadSector(void* destination, int lsn, int whole) {
  if (destination == NULL || lsn < 0) return -1;
  const size_t size = static_cast<size_t>(GetSectorSize());
  const int64_t offset = static_cast<int64_t>(lsn) * static_cast<int64_t>(size);
  if (Seek(offset) != offset) return -1;
  uint8_t frame[kVcdSectorSize];
  memset(frame, 0, sizeof frame);
  if (Read(frame + (m_mode2336 ? kVcdSectorHeaderSize : 0), size) != size) return 1;
  if (whole)
    memcpy(destination, frame + kVcdSectorHeaderSize, kVcdSectorSize2336);
  else
    memcpy(destination, frame + kVcdSectorDataOffset, kVcdForm1DataSize);
  return 0;
}

int CVcdBinCue::StatSize() {
  int64_t size = Size();
  if (size < 0) return 0;
  const int sectorSize = GetSectorSize();
  if (size % sectorSize != 0) {
    Report(kVcdMsgWarning, "image file not multiple of blocksize (%d)", sectorSize);
    if (size % kSectorSize2336 == 0)
      Report(kVcdMsgWarning, "this may be a 2336-type disc image");
    else if (size % kSectorSize2352 == 0)
      Report(kVcdMsgWarning, "this may be a 2352-type disc image");
  }
  int64_t sectors = size / sectorSize;
  return sectors > INT_MAX ? INT_MAX : static_cast<int>(sectors);
}
