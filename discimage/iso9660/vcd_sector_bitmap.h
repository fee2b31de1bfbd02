// Which sectors of the disc's first track are taken. The layout hands out
// every sector through this map: fixed places (volume descriptors, the
// information files) and first-fit runs (segment items, user files).
//
// One bit per sector, least significant bit first. Searches skip whole
// 64-sector words, and a second map of completely used words lets a search
// pass 4096 taken sectors at a time; the lowest free sector is remembered.
// So first-fit allocation over a full CD (some 330,000 sectors) costs about
// the size of what is allocated, not the size of the disc, per request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CVcdMessageSink;

class CVcdSectorBitmap {
public:
  // Larger than any CD or DVD image (32 GiB of 2048-byte sectors); requests
  // beyond it are refused rather than grow the map without bound.
  enum { kMaxSectors = 1 << 24 };

  explicit CVcdSectorBitmap(CVcdMessageSink* messages = NULL);

  // Takes count sectors. A count of 0 is taken as 1 (with a warning). With
  // start -1 the lowest run of count free sectors is taken; otherwise exactly
  // [start, start + count), which must be wholly free: a range that overlaps
  // sectors in use is refused with an error. Returns the first sector, or -1.
  int AllocateSectors(int start, int count);
  // Marks [start, start + count) as used whether or not some of it already
  // is: for reserving areas whose parts were handed out before. 0, or -1
  // (reported) for a range outside the map.
  int MarkSectors(int start, int count);
  // Frees [start, start + count), e.g. a reserved area before its parts are
  // allocated at fixed places. Sectors that were free stay free. 0, or -1
  // (reported) for a negative or too large range.
  int FreeSectors(int start, int count);

  // The highest sector in use, or -1 when none is (also after frees).
  int HighestSector() const { return m_highest; }
  // The lowest free sector.
  int FirstFreeSector() const { return m_firstFree; }
  bool IsSectorUsed(int sector) const;
  // True when no sector of [start, start + count) is in use.
  bool IsRangeFree(int start, int count) const;

private:
  bool CheckRange(const char* operation, int start, int count) const;
  void Grow(int64_t sectors);
  void SetRange(int64_t start, int64_t end);
  void ClearRange(int64_t start, int64_t end);
  // The first free sector at or after from.
  int64_t FindFree(int64_t from) const;
  // The first used sector in [from, limit), or limit.
  int64_t FindUsed(int64_t from, int64_t limit) const;
  // The first word at or after word that is not all used (may be past the end).
  size_t NextOpenWord(size_t word) const;
  // The highest used sector below end, or -1.
  int64_t FindHighestBelow(int64_t end) const;

  std::vector<uint64_t> m_words;  // bit n % 64 of word n / 64: sector n in use
  std::vector<uint64_t> m_full;   // bit w % 64 of entry w / 64: m_words[w] is all ones
  int m_highest;                  // highest sector in use, -1 for none
  int m_firstFree;                // every sector below it is in use; it is free
  CVcdMessageSink* m_messages;    // for warnings and errors; may be NULL
};
