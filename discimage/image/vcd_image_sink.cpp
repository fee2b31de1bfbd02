#include "discimage/image/vcd_image_sink.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "discimage/image/vcd_image_sink_bincue.h"
#include "discimage/image/vcd_image_sink_cdrdao.h"
#include "discimage/image/vcd_image_sink_nero.h"
#include "discimage/base/vcd_messages.h"

namespace {

void CueError(CVcdMessageSink* messages, const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);

void CueError(CVcdMessageSink* messages, const char* format, ...) {
  if (messages == NULL) return;
  va_list args;
  va_start(args, format);
  messages->SendV(kVcdMsgError, format, args);
  va_end(args);
}

}  // namespace

bool VcdOptionIs(const char* name, const char* option) {
  if (name == NULL) return false;
  for (; *name != '\0' && *option != '\0'; ++name, ++option) {
    unsigned char a = static_cast<unsigned char>(*name), b = static_cast<unsigned char>(*option);
    if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return *name == *option;
}

int ReadSectorSizeOption(const char* value, int* mode2336) {
  if (value != NULL && strcmp(value, "2336") == 0) {
    *mode2336 = 1;
    return 0;
  }
  if (value != NULL && strcmp(value, "2352") == 0) {
    *mode2336 = 0;
    return 0;
  }
  return -2;
}

int CheckCueList(CVcdMessageSink* messages, const CVcdCueList* list) {
  if (list == NULL || list->IsEmpty()) {
    CueError(messages, "no track layout (cue list) given");
    return -1;
  }
  if ((*list)[0].lsn != 0) {
    CueError(messages, "track layout does not start at sector 0 (first entry at %u)",
             static_cast<unsigned>((*list)[0].lsn));
    return -1;
  }
  int tracks = 0, indexes = 0;
  size_t count = list->GetCount();
  for (size_t i = 0; i < count; ++i) {
    const VcdCueEntry& entry = (*list)[i];
    if (i > 0 && entry.lsn < (*list)[i - 1].lsn) {
      CueError(messages, "track layout entry %d (sector %u) lies before the one preceding it",
               static_cast<int>(i), static_cast<unsigned>(entry.lsn));
      return -1;
    }
    switch (entry.kind) {
      case kVcdCueTrack:
        if (++tracks > kVcdCueMaxTracks) {
          CueError(messages, "a disc holds at most %d tracks", kVcdCueMaxTracks);
          return -1;
        }
        indexes = 1;
        break;
      case kVcdCuePregap:
        if (i + 1 >= count || (*list)[i + 1].kind != kVcdCueTrack) {
          CueError(messages, "pregap at sector %u is not followed by its track",
                   static_cast<unsigned>(entry.lsn));
          return -1;
        }
        break;
      case kVcdCueIndex:
        if (tracks == 0) {
          CueError(messages, "index at sector %u lies before the first track",
                   static_cast<unsigned>(entry.lsn));
          return -1;
        }
        if (++indexes > kVcdCueMaxIndexes) {
          CueError(messages, "track %d has more than %d indexes", tracks, kVcdCueMaxIndexes);
          return -1;
        }
        break;
      case kVcdCueEnd:
        if (i + 1 != count) {
          CueError(messages, "track layout goes on behind its end entry");
          return -1;
        }
        if (tracks == 0) {
          CueError(messages, "track layout holds no track");
          return -1;
        }
        if (entry.lsn > static_cast<uint32_t>(kVcdImageSectorLimit)) {
          CueError(messages, "image of %u sectors does not fit the disc's address range (max %d)",
                   static_cast<unsigned>(entry.lsn), static_cast<int>(kVcdImageSectorLimit));
          return -1;
        }
        return 0;
      default:
        CueError(messages, "track layout entry %d has the unknown kind %d", static_cast<int>(i),
                 static_cast<int>(entry.kind));
        return -1;
    }
  }
  CueError(messages, "track layout has no end entry");
  return -1;
}

// ---- CVcdTrackMap ------------------------------------------------------------

void CVcdTrackMap::Clear() {
  m_regions.clear();
  m_cursor = 0;
  m_end = 0;
}

void CVcdTrackMap::Build(const CVcdCueList& list) {
  Clear();
  // The entries that start regions (indexes do not); each region runs to the
  // next of them.
  std::vector<const VcdCueEntry*> starts;
  for (const VcdCueEntry& entry : list) {
    if (entry.kind == kVcdCueIndex) continue;
    starts.push_back(&entry);
    if (entry.kind == kVcdCueEnd) break;
  }
  int track = 0;
  uint32_t packed = 0;
  for (size_t i = 0; i + 1 < starts.size(); ++i) {
    const VcdCueEntry& entry = *starts[i];
    if (entry.kind == kVcdCueTrack) ++track;
    uint32_t end = starts[i + 1]->lsn;
    if (end <= entry.lsn) continue;
    VcdTrackRegion region;
    region.start = entry.lsn;
    region.end = end;
    region.pregap = entry.kind == kVcdCuePregap;
    region.track = region.pregap ? track + 1 : track;
    region.packed = packed;
    if (!region.pregap) packed += end - entry.lsn;
    m_regions.push_back(region);
  }
  if (!starts.empty() && starts.back()->kind == kVcdCueEnd) m_end = starts.back()->lsn;
}

const VcdTrackRegion* CVcdTrackMap::Find(uint32_t lsn) {
  if (m_regions.empty() || lsn >= m_end) return NULL;
  if (m_cursor < m_regions.size()) {
    const VcdTrackRegion& current = m_regions[m_cursor];
    if (lsn >= current.start && lsn < current.end) return &current;
    if (m_cursor + 1 < m_regions.size()) {
      const VcdTrackRegion& next = m_regions[m_cursor + 1];
      if (lsn >= next.start && lsn < next.end) return &m_regions[++m_cursor];
    }
  }
  // The last region starting at or below lsn.
  auto it = std::upper_bound(m_regions.begin(), m_regions.end(), lsn,
                             [](uint32_t value, const VcdTrackRegion& r) { return value < r.start; });
  if (it == m_regions.begin()) return NULL;
  --it;
  if (lsn >= it->end) return NULL;
  m_cursor = static_cast<size_t>(it - m_regions.begin());
  return &*it;
}

// ---- CVcdImage ---------------------------------------------------------------

IMPLEMENT_DYNAMIC(CVcdImage, CVcdStream)

CVcdImage::CVcdImage(CVcdMessageSink* messages, const char* fileName, int mode)
    : CVcdStream(messages, fileName, mode) {
  UseWriteBehind();
}

int CVcdImage::ReadSector(void* /*destination*/, int /*lsn*/, int /*whole*/) {
  // Copying nothing and answering 0 would hand the caller stale memory.
  Report(kVcdMsgError, "reading sectors back is not supported for <%s>", GetFileName());
  return -1;
}

int CVcdImage::SetOption(const char* /*name*/, const char* /*value*/) { return 0; }

int CVcdImage::SetCueSheet(CVcdImage* /*imageSink*/, const CVcdCueList* /*list*/) { return 0; }

int CVcdImage::StatSize() { return 0; }

int CVcdImage::WriteSector(const void* /*sector*/, int lsn) {
  // A sink without a format stores nothing: say so rather than drop the sector.
  ReportShortWrite(lsn);
  return 1;
}

int CVcdImage::FlushFile() {
  if (!m_open || m_file == NULL) return 0;
  if (DrainWrites() != 0) return 1;
  if (fflush(m_file) != 0 || ferror(m_file)) {
    Report(kVcdMsgError, "fflush (): %s", strerror(errno));
    clearerr(m_file);
    return 1;
  }
  return 0;
}

int CVcdImage::Finish() {
  int flushed = FlushFile();
  int closed = Close();
  return flushed != 0 || closed != 0 ? 1 : 0;
}

void CVcdImage::ReportShortWrite(int lsn) {
  Report(kVcdMsgError, "could not write sector %d to <%s>", lsn,
         m_fileName.empty() ? "device" : m_fileName.c_str());
}

void VcdPointerOption(const void* object, char* text, size_t size) {
  if (text == NULL || size == 0) return;
  snprintf(text, size, "%p", object);
}

CVcdImage* CreateVcdImageSink(CVcdMessageSink* messages, const char* path, VcdImageFormat format,
                              VcdSinkRole role) {
  if (path == NULL) path = "";
  if (format == kVcdFormatTocImg) {
    if (role == kVcdSinkSheet) return new CVcdCdrDao(messages, path, kVcdStreamWrite);
    CVcdCdrDao* sink = new CVcdCdrDao(messages, NULL, kVcdStreamWrite);
    if (sink->SetOption("img_base", path) != 0) {
      CueError(messages, "'%s' cannot name the img files", path);
      delete sink;
      return NULL;
    }
    return sink;
  }
  if (format == kVcdFormatNrg) return new CVcdNero(messages, path, kVcdStreamWrite);
  return new CVcdBinCue(messages, path, kVcdStreamWrite);
}
