#include "discimage/image/vcd_image_sink_nero.h"

#include <climits>
#include <cstring>

#include "discimage/base/vcd_messages.h"
#include "discimage/image/vcd_sector.h"

namespace {

enum {
  kStoredSize = 2336,
  kTrailerSize = 12,       // last bytes of the file that hold the magic
  kEtnfEntrySize = 20,
  kEtn2EntrySize = 32,
  kCuexEntrySize = 8,
  kTrackModeForm2Mix = 3,  // track mode of 2336-byte Mode 2 sectors
};

// Footers of real images are a few hundred bytes; a file claiming more is
// damaged, and we refuse to load it whole.
const int64_t kMaxFooterSize = 1 << 20;

uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

uint64_t Be64(const uint8_t* p) {
  return (static_cast<uint64_t>(Be32(p)) << 32) | Be32(p + 4);
}

void PutBe32(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 24));
  out.push_back(static_cast<uint8_t>(value >> 16));
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

bool TagIs(const uint8_t* p, const char* tag) { return memcmp(p, tag, 4) == 0; }

}  // namespace

IMPLEMENT_DYNAMIC(CVcdNero, CVcdImage)

CVcdNero::CVcdNero(CVcdMessageSink* messages, const char* fileName, int mode)
    : CVcdImage(messages, fileName, mode),
      m_sectorCount(0),
      m_haveLayout(false),
      m_trackCount(0),
      m_endLsn(0),
      m_footerWritten(false) {
  if (mode == kVcdStreamWrite)
    Report(kVcdMsgInfo, "opening TAO NRG image for writing; TAO (S)VCD are _NOT_ 100%% compliant!");
}

int CVcdNero::SetOption(const char* name, const char* value) {
  if (name == NULL) return -1;
  if (VcdOptionIs(name, "nrg")) {
    if (value == NULL || *value == '\0') return -2;
    Close();
    SetFileName(value);
    m_sectorCount = 0;
    m_ranges.clear();
    return 0;
  }
  return -1;
}

void CVcdNero::Release() {
  Close();
  m_cueList.Clear();
  m_map.Clear();
  m_haveLayout = false;
}

// ---- writing ----------------------------------------------------------------

int CVcdNero::SetCueSheet(CVcdImage* imageSink, const CVcdCueList* list) {
  if (CheckCueList(m_messages, list) != 0) return -1;
  CVcdNero* target = this;
  if (imageSink != NULL && imageSink != this) {
    if (!imageSink->IsKindOf(RUNTIME_CLASS(CVcdNero))) {
      Report(kVcdMsgError, "the nrg layout needs an nrg image sink");
      return -1;
    }
    target = static_cast<CVcdNero*>(imageSink);
  }
  target->m_cueList = *list;
  target->m_map.Build(target->m_cueList);
  target->m_haveLayout = true;
  target->m_footerWritten = false;
  target->m_trackCount = 0;
  for (const VcdCueEntry& entry : *list) {
    if (entry.kind == kVcdCueTrack) ++target->m_trackCount;
    if (entry.kind == kVcdCueEnd) target->m_endLsn = entry.lsn;
  }
  return 0;
}

int CVcdNero::WriteSector(const void* sector, int lsn) {
  if (!m_haveLayout) {
    Report(kVcdMsgError, "no track layout given before sector %d", lsn);
    return 1;
  }
  if (m_footerWritten) {
    Report(kVcdMsgError, "sector %d written behind the end of the finished nrg image", lsn);
    return 1;
  }
  const VcdTrackRegion* region = lsn >= 0 ? m_map.Find(static_cast<uint32_t>(lsn)) : NULL;
  if (region == NULL || sector == NULL) {
    Report(kVcdMsgError, "sector %d lies outside the image (%u sectors)", lsn,
           static_cast<unsigned>(m_endLsn));
    return 1;
  }
  // Sectors in the image proper, without pregaps, once every track is in.
  const VcdTrackRegion& last = m_map.GetRegions().back();
  const uint32_t imageSectors = last.packed + (last.pregap ? 0 : last.end - last.start);

  if (region->pregap) {
    Report(kVcdMsgDebug, "ignoring %d", lsn);
  } else {
    const uint32_t index = region->packed + (static_cast<uint32_t>(lsn) - region->start);
    const int64_t offset = static_cast<int64_t>(index) * kStoredSize;
    const uint8_t* from = static_cast<const uint8_t*>(sector) + kVcdSectorHeaderSize;
    if (Seek(offset) != offset || Write(from, kStoredSize) != kStoredSize) {
      ReportShortWrite(lsn);
      return 1;
    }
  }
  if (static_cast<uint32_t>(lsn) + 1 != m_endLsn) return 0;
  Report(kVcdMsgDebug, "ENDLSN reached! (%d == %d)", lsn, static_cast<int>(imageSectors) - 1);
  return WriteFooter(static_cast<int64_t>(imageSectors) * kStoredSize);
}

int CVcdNero::WriteFooter(int64_t offset) {
  std::vector<uint8_t> footer;
  PutTag(footer, "ETNF");
  PutBe32(footer, static_cast<uint32_t>(m_trackCount * kEtnfEntrySize));
  // Each track runs to the entry that starts the next region (a pregap, a
  // track or the end): index entries inside it do not shorten it.
  uint32_t packed = 0;
  const size_t count = m_cueList.GetCount();
  for (size_t i = 0; i < count; ++i) {
    const VcdCueEntry& entry = m_cueList[i];
    if (entry.kind != kVcdCueTrack) continue;
    uint32_t next = entry.lsn;
    for (size_t j = i + 1; j < count; ++j) {
      if (m_cueList[j].kind != kVcdCueIndex) {
        next = m_cueList[j].lsn;
        break;
      }
    }
    const uint32_t sectors = next - entry.lsn;
    PutBe32(footer, packed * kStoredSize);
    PutBe32(footer, sectors * kStoredSize);
    PutBe32(footer, kTrackModeForm2Mix);
    PutBe32(footer, packed);
    PutBe32(footer, 0);
    packed += sectors;
  }
  PutTag(footer, "SINF");
  PutBe32(footer, 4);
  PutBe32(footer, static_cast<uint32_t>(m_trackCount));
  PutTag(footer, "END!");
  PutBe32(footer, 0);
  PutTag(footer, "NERO");
  PutBe32(footer, static_cast<uint32_t>(offset));

  m_footerWritten = true;
  if (Seek(offset) != offset || Write(footer.data(), footer.size()) != footer.size() ||
      FlushFile() != 0) {
    Report(kVcdMsgError, "could not write the nrg footer to <%s>", GetFileName());
    return 1;
  }
  return 0;
}

// ---- reading ----------------------------------------------------------------

int CVcdNero::AddRange(int64_t start, int64_t count, int64_t offset, int64_t fileSize) {
  if (count <= 0) return 0;  // an empty track adds nothing
  if (start < 0 || offset < 0 || start > INT_MAX - count || count > fileSize / kStoredSize ||
      offset > fileSize - count * kStoredSize) {
    Report(kVcdMsgWarning, "nrg track at sector %lld (%lld sectors at offset %lld) lies outside the file",
           static_cast<long long>(start), static_cast<long long>(count),
           static_cast<long long>(offset));
    return -1;
  }
  Range range;
  range.start = static_cast<int>(start);
  range.count = static_cast<int>(count);
  range.offset = offset;
  m_ranges.push_back(range);
  if (range.start + range.count > m_sectorCount) m_sectorCount = range.start + range.count;
  return 0;
}

int CVcdNero::ParseChunks(const uint8_t* footer, size_t length, int64_t fileSize) {
  size_t pos = 0;
  while (length - pos >= 8) {
    const uint8_t* tag = footer + pos;
    if (TagIs(tag, "NERO") || TagIs(tag, "NER5")) {
      Report(kVcdMsgWarning, "unexpected nrg magic ID detected");
      return -1;
    }
    const size_t size = Be32(tag + 4);
    const uint8_t* data = tag + 8;
    if (size > length - pos - 8) {
      Report(kVcdMsgWarning, "nrg chunk %8.8x of %u bytes runs past the end of the file",
             static_cast<unsigned>(Be32(tag)), static_cast<unsigned>(size));
      return -1;
    }
    if (TagIs(tag, "SINF")) {
      if (size >= 4) Report(kVcdMsgDebug, "SINF: %d sessions", static_cast<int>(Be32(data)));
    } else if (TagIs(tag, "ETNF")) {
      Report(kVcdMsgInfo, "SAO type image detected");
      for (size_t i = 0; i < size / kEtnfEntrySize; ++i) {
        const uint8_t* e = data + i * kEtnfEntrySize;
        if (AddRange(static_cast<int64_t>(Be32(e + 12)) + 150 * static_cast<int64_t>(i),
                     Be32(e + 4) / kStoredSize, Be32(e), fileSize) != 0)
          return -1;
      }
    } else if (TagIs(tag, "ETN2")) {
      Report(kVcdMsgInfo, "SAO type image detected");
      for (size_t i = 0; i < size / kEtn2EntrySize; ++i) {
        const uint8_t* e = data + i * kEtn2EntrySize;
        const uint64_t offset = Be64(e), bytes = Be64(e + 8);
        // 64-bit fields beyond any file size are refused, never truncated.
        if (offset > static_cast<uint64_t>(fileSize) || bytes > static_cast<uint64_t>(fileSize)) {
          Report(kVcdMsgWarning, "nrg track %d lies outside the file", static_cast<int>(i + 1));
          return -1;
        }
        if (AddRange(static_cast<int64_t>(Be32(e + 20)) + 150 * static_cast<int64_t>(i),
                     static_cast<int64_t>(bytes / kStoredSize), static_cast<int64_t>(offset),
                     fileSize) != 0)
          return -1;
      }
    } else if (TagIs(tag, "CUEX")) {
      Report(kVcdMsgInfo, "DAO type image detected");
      const size_t entries = size / kCuexEntrySize;
      if (entries > 2) {
        for (size_t i = 0; i < (entries - 1) / 2 && 3 + 2 * i < entries; ++i) {
          const int64_t from = static_cast<int32_t>(Be32(data + (2 + 2 * i) * kCuexEntrySize + 4));
          const int64_t to = static_cast<int32_t>(Be32(data + (3 + 2 * i) * kCuexEntrySize + 4));
          if (AddRange(from, to - from, (from + 150) * kStoredSize, fileSize) != 0) return -1;
        }
      }
    } else if (TagIs(tag, "DAOX")) {
      Report(kVcdMsgDebug, "DAOX tag detected...");
    } else if (TagIs(tag, "END!")) {
      Report(kVcdMsgDebug, "nrg end tag detected");
      return 0;
    } else {
      Report(kVcdMsgWarning, "unknown tag %8.8x seen", static_cast<unsigned>(Be32(tag)));
    }
    pos += 8 + size;
  }
  return 0;
}

int CVcdNero::ParseMap() {
  m_ranges.clear();
  m_sectorCount = 0;
  const int64_t fileSize = Size();
  uint8_t trailer[kTrailerSize];
  if (fileSize < kTrailerSize || Seek(fileSize - kTrailerSize) != fileSize - kTrailerSize ||
      Read(trailer, sizeof trailer) != sizeof trailer) {
    Report(kVcdMsgWarning, "Image not recognized as either v50 or v55 type NRG");
    return -1;
  }
  int64_t footerStart;
  if (TagIs(trailer + 4, "NERO")) {
    Report(kVcdMsgInfo, "detected v50 (32bit offsets) NRG magic");
    footerStart = Be32(trailer + 8);
  } else if (TagIs(trailer, "NER5")) {
    Report(kVcdMsgInfo, "detected v55 (64bit offsets) NRG magic");
    const uint64_t offset = Be64(trailer + 4);
    footerStart = offset > static_cast<uint64_t>(fileSize) ? fileSize + 1 : static_cast<int64_t>(offset);
  } else {
    Report(kVcdMsgWarning, "Image not recognized as either v50 or v55 type NRG");
    return -1;
  }
  Report(kVcdMsgDebug, "nrg footer start = %lld, length = %lld", static_cast<long long>(footerStart),
         static_cast<long long>(fileSize - footerStart));
  if (footerStart > fileSize - kTrailerSize + 4 || fileSize - footerStart > kMaxFooterSize) {
    Report(kVcdMsgWarning, "nrg footer at %lld does not fit the file of %lld bytes",
           static_cast<long long>(footerStart), static_cast<long long>(fileSize));
    return -1;
  }
  std::vector<uint8_t> footer(static_cast<size_t>(fileSize - footerStart));
  if (Seek(footerStart) != footerStart || Read(footer.data(), footer.size()) != footer.size()) {
    Report(kVcdMsgWarning, "could not read the nrg footer of <%s>", GetFileName());
    return -1;
  }
  if (ParseChunks(footer.data(), footer.size(), fileSize) != 0) {
    m_ranges.clear();
    m_sectorCount = 0;
    return -1;
  }
  return 0;
}

int CVcdNero::StatSize() {
  if (m_sectorCount == 0 && ParseMap() != 0) return 0;
  return m_sectorCount;
}

int CVcdNero::ReadSector(void* destination, int lsn, int whole) {
  if (destination == NULL) return -1;
  if (m_sectorCount == 0 && ParseMap() != 0) return -1;
  if (lsn < 0 || lsn >= m_sectorCount) {
    Report(kVcdMsgWarning, "trying to read beyond image size (%d >= %d)", lsn, m_sectorCount);
    return -1;
  }
  uint8_t stored[kStoredSize];
  memset(stored, 0, sizeof stored);
  const Range* found = NULL;
  for (const Range& range : m_ranges) {
    if (lsn >= range.start && lsn - range.start < range.count) {
      found = &range;
      break;
    }
  }
  if (found != NULL) {
    const int64_t offset = static_cast<int64_t>(lsn - found->start) * kStoredSize + found->offset;
    if (Seek(offset) != offset || Read(stored, sizeof stored) != sizeof stored) return -1;
  } else {
    Report(kVcdMsgWarning, "reading into pre gap (lsn %d)", lsn);
  }
  if (whole)
    memcpy(destination, stored, kStoredSize);
  else
    memcpy(destination, stored + 8, kVcdForm1DataSize);
  return 0;
}
