// Shared by the image sink tests: a small disc of known sectors, fed through
// sinks the way the writer does it, and bytes shown as hex.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "discimage/image/vcd_image_sink.h"
#include "discimage/image/vcd_sector.h"

namespace sectors_test {

// A known sector for lsn: Form 1 data in track 1 (below firstForm2), Form 2
// everywhere else, the bytes derived from the LSN.
inline void MakeSector(int lsn, int firstForm2, uint8_t* sector) {
  uint8_t data[kVcdForm2DataSize];
  for (int i = 0; i < kVcdForm2DataSize; ++i) data[i] = static_cast<uint8_t>(lsn * 31 + i * 7);
  if (lsn < firstForm2)
    EncodeXaSector(sector, data, lsn, 0, 0, kVcdSubmodeData, 0);
  else
    EncodeXaSector(sector, data, lsn, 1, 1, 0x62, 0x0F);
}

// Two tracks: track 1 of 1000 sectors, a 150-sector pregap, track 2 of 150
// with one entry point 30 sectors in.
inline CVcdCueList TwoTrackList(uint32_t pregap = 150) {
  CVcdCueList list;
  list.Append(0, kVcdCueTrack);
  list.Append(1000, kVcdCuePregap);
  list.Append(1000 + pregap, kVcdCueTrack);
  list.Append(1000 + pregap + 30, kVcdCueIndex);
  list.Append(1000 + pregap + 150, kVcdCueEnd);
  return list;
}

// What the writer does: the layout to the cue sheet sink, then every sector
// in order to the image sink. Returns the first non-zero result, or 0.
inline int WriteDisc(CVcdImage* cueSink, CVcdImage* imageSink, const CVcdCueList& list,
                     int firstForm2 = 1000) {
  int result = cueSink->SetCueSheet(imageSink, &list);
  if (result != 0) return result;
  if (cueSink != imageSink) cueSink->Release();
  uint32_t end = list[list.GetCount() - 1].lsn;
  uint8_t sector[kVcdSectorSize];
  for (uint32_t lsn = 0; lsn < end; ++lsn) {
    MakeSector(static_cast<int>(lsn), firstForm2, sector);
    result = imageSink->WriteSector(sector, static_cast<int>(lsn));
    if (result != 0) return result;
  }
  imageSink->Release();
  return 0;
}

inline std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && i % 4 == 0) text += ' ';
    text += digits[static_cast<uint8_t>(bytes[i]) >> 4];
    text += digits[static_cast<uint8_t>(bytes[i]) & 15];
  }
  return text;
}

}  // namespace sectors_test
