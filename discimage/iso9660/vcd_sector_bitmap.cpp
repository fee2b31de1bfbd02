#include "discimage/iso9660/vcd_sector_bitmap.h"

#include "discimage/base/vcd_messages.h"

namespace {

const uint64_t kAllOnes = ~static_cast<uint64_t>(0);

inline int LowestBit(uint64_t bits) { return __builtin_ctzll(bits); }
inline int HighestBit(uint64_t bits) { return 63 - __builtin_clzll(bits); }

// Bits [from, to) of one word, 0 <= from < to <= 64.
inline uint64_t Mask(int from, int to) {
  uint64_t high = to == 64 ? kAllOnes : ((static_cast<uint64_t>(1) << to) - 1);
  return high & (kAllOnes << from);
}

}  // namespace

CVcdSectorBitmap::CVcdSectorBitmap(CVcdMessageSink* messages)
    : m_highest(-1), m_firstFree(0), m_messages(messages) {}

bool CVcdSectorBitmap::CheckRange(const char* operation, int start, int count) const {
  if (start >= 0 && count >= 0 && static_cast<int64_t>(start) + count <= kMaxSectors) return true;
  if (m_messages)
    m_messages->Error("sector %s of %d sector(s) at %d is outside the %d sectors of an image",
                      operation, count, start, static_cast<int>(kMaxSectors));
  return false;
}

void CVcdSectorBitmap::Grow(int64_t sectors) {
  size_t words = static_cast<size_t>((sectors + 63) / 64);
  if (words <= m_words.size()) return;
  words += words % 2;  // storage in 16-byte steps
  m_words.resize(words, 0);
  m_full.resize((words + 63) / 64, 0);
}

void CVcdSectorBitmap::SetRange(int64_t start, int64_t end) {
  if (start >= end) return;
  Grow(end);
  for (int64_t at = start; at < end;) {
    size_t word = static_cast<size_t>(at / 64);
    int from = static_cast<int>(at % 64);
    int to = end - static_cast<int64_t>(word) * 64 >= 64 ? 64 : static_cast<int>(end % 64);
    m_words[word] |= Mask(from, to);
    if (m_words[word] == kAllOnes) m_full[word / 64] |= static_cast<uint64_t>(1) << (word % 64);
    at = static_cast<int64_t>(word + 1) * 64;
  }
  if (end - 1 > m_highest) m_highest = static_cast<int>(end - 1);
  if (m_firstFree >= start && m_firstFree < end) m_firstFree = static_cast<int>(FindFree(end));
}

void CVcdSectorBitmap::ClearRange(int64_t start, int64_t end) {
  const int64_t stored = static_cast<int64_t>(m_words.size()) * 64;
  if (end > stored) end = stored;
  if (start >= end) return;
  for (int64_t at = start; at < end;) {
    size_t word = static_cast<size_t>(at / 64);
    int from = static_cast<int>(at % 64);
    int to = end - static_cast<int64_t>(word) * 64 >= 64 ? 64 : static_cast<int>(end % 64);
    m_words[word] &= ~Mask(from, to);
    m_full[word / 64] &= ~(static_cast<uint64_t>(1) << (word % 64));
    at = static_cast<int64_t>(word + 1) * 64;
  }
  if (start < m_firstFree) m_firstFree = static_cast<int>(start);
  if (m_highest >= start && m_highest < end) m_highest = static_cast<int>(FindHighestBelow(start));
}

size_t CVcdSectorBitmap::NextOpenWord(size_t word) const {
  size_t entry = word / 64;
  if (entry >= m_full.size()) return word;
  uint64_t open = ~m_full[entry] & (kAllOnes << (word % 64));
  while (open == 0) {
    if (++entry >= m_full.size()) return entry * 64;
    open = ~m_full[entry];
  }
  return entry * 64 + static_cast<size_t>(LowestBit(open));
}

int64_t CVcdSectorBitmap::FindFree(int64_t from) const {
  size_t word = static_cast<size_t>(from / 64);
  if (word >= m_words.size()) return from;
  uint64_t open = ~m_words[word] & (kAllOnes << (from % 64));
  if (open != 0) return static_cast<int64_t>(word) * 64 + LowestBit(open);
  word = NextOpenWord(word + 1);
  // Everything from the next word to the end of the map is in use.
  if (word >= m_words.size()) return static_cast<int64_t>(m_words.size()) * 64;
  return static_cast<int64_t>(word) * 64 + LowestBit(~m_words[word]);
}

int64_t CVcdSectorBitmap::FindUsed(int64_t from, int64_t limit) const {
  if (from >= limit) return limit;
  size_t word = static_cast<size_t>(from / 64);
  uint64_t used = word < m_words.size() ? m_words[word] & (kAllOnes << (from % 64)) : 0;
  for (;;) {
    if (used != 0) {
      int64_t at = static_cast<int64_t>(word) * 64 + LowestBit(used);
      return at < limit ? at : limit;
    }
    ++word;
    if (word >= m_words.size() || static_cast<int64_t>(word) * 64 >= limit) return limit;
    used = m_words[word];
  }
}

int64_t CVcdSectorBitmap::FindHighestBelow(int64_t end) const {
  if (end <= 0) return -1;
  int64_t last = end - 1;
  size_t word = static_cast<size_t>(last / 64);
  if (word >= m_words.size()) {
    if (m_words.empty()) return -1;
    word = m_words.size() - 1;
    last = static_cast<int64_t>(word) * 64 + 63;
  }
  uint64_t used = m_words[word] & Mask(0, static_cast<int>(last % 64) + 1);
  for (;;) {
    if (used != 0) return static_cast<int64_t>(word) * 64 + HighestBit(used);
    if (word == 0) return -1;
    used = m_words[--word];
  }
}

int CVcdSectorBitmap::AllocateSectors(int start, int count) {
  if (count == 0) {
    if (m_messages)
      m_messages->Warning("request of 0 sectors allocment fixed up to 1 sector (this is harmless)");
    count = 1;
  }
  if (start == -1) {
    if (!CheckRange("allocation", 0, count)) return -1;
    int64_t at = FindFree(m_firstFree);
    for (;;) {
      if (at + count > kMaxSectors) {
        if (m_messages)
          m_messages->Error("no run of %d free sectors within the %d sectors of an image", count,
                            static_cast<int>(kMaxSectors));
        return -1;
      }
      int64_t used = FindUsed(at, at + count);
      if (used == at + count) break;
      at = FindFree(used + 1);
    }
    SetRange(at, at + count);
    return static_cast<int>(at);
  }
  if (!CheckRange("allocation", start, count)) return -1;
  int64_t used = FindUsed(start, static_cast<int64_t>(start) + count);
  if (used != static_cast<int64_t>(start) + count) {
    if (m_messages)
      m_messages->Error("cannot allocate sectors %d to %d: sector %d is already in use", start,
                        start + count - 1, static_cast<int>(used));
    return -1;
  }
  SetRange(start, static_cast<int64_t>(start) + count);
  return start;
}

int CVcdSectorBitmap::MarkSectors(int start, int count) {
  if (!CheckRange("reservation", start, count)) return -1;
  SetRange(start, static_cast<int64_t>(start) + count);
  return 0;
}

int CVcdSectorBitmap::FreeSectors(int start, int count) {
  if (!CheckRange("release", start, count)) return -1;
  ClearRange(start, static_cast<int64_t>(start) + count);
  return 0;
}

bool CVcdSectorBitmap::IsSectorUsed(int sector) const {
  if (sector < 0) return false;
  size_t word = static_cast<size_t>(sector) / 64;
  return word < m_words.size() && (m_words[word] >> (sector % 64)) & 1;
}

bool CVcdSectorBitmap::IsRangeFree(int start, int count) const {
  if (start < 0 || count < 0) return false;
  int64_t end = static_cast<int64_t>(start) + count;
  return FindUsed(start, end) == end;
}
