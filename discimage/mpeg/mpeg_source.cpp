#include "discimage/mpeg/mpeg_source.h"

#include <cstring>
#include <memory>

#include "discimage/base/vcd_read_ahead.h"
#include "discimage/mpeg/mpeg_parser.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/base/vcd_util.h"

namespace {

// Scan data is reported after this many errors no more; 9 means "never".
const int kScanErrorsSilenced = 9;
// How far back and ahead the fast-search targets of the scan data reach.
const double kScanReach = 10.0;

void WriteScanAddress(uint8_t* p, int packetNumber) {
  if (packetNumber < 0) {
    p[0] = p[1] = p[2] = 0xFF;
    return;
  }
  LbaToMsf(packetNumber, p);
  p[1] |= 0x80;
  p[2] |= 0x80;
}

// Frees a stream's access point lists when it goes, unless released.
class ApsListsOwner {
public:
  explicit ApsListsOwner(MpegStreamInfo* info) : m_info(info) {}
  ~ApsListsOwner() {
    if (m_info != NULL) FreeApsLists(m_info);
  }
  ApsListsOwner(const ApsListsOwner&) = delete;
  ApsListsOwner& operator=(const ApsListsOwner&) = delete;
  void Release() { m_info = NULL; }

private:
  MpegStreamInfo* m_info;
};

}  // namespace

// The file pack by pack from chunks read ahead. A pack lies where it was read
// unless it spans two chunks: then it is joined in a buffer of its own.
class CVcdMpegSource::ReadWindow {
public:
  // The file from offset up to size, which must stay open while this lives;
  // its readers are registered with owner.
  ReadWindow(FILE* file, int64_t offset, int64_t size, CVcdWorkerThreads* owner)
      : m_ahead(file, offset, size, owner),
        m_offset(offset),
        m_chunk(NULL),
        m_chunkStart(offset),
        m_chunkEnd(offset),
        m_next(NULL),
        m_nextLength(0) {}

  // File offset of the next block.
  int64_t Offset() const { return m_offset; }
  // The next block: min(size - Offset(), kMpegPacketSize) bytes at *block.
  // Its length, or -1 when a read failed (ReadError tells why).
  int Next(uint8_t** block);
  // The pack of length bytes at the block's start has been taken.
  void Advance(int length) { m_offset += length; }
  int ReadError() const { return m_ahead.Error(); }

private:
  // Makes the chunk that holds Offset() the current one.
  bool Settle();

  CVcdReadAhead m_ahead;
  int64_t m_offset;
  uint8_t* m_chunk;  // the current chunk: file bytes [m_chunkStart, m_chunkEnd)
  int64_t m_chunkStart;
  int64_t m_chunkEnd;
  uint8_t* m_next;  // the chunk after it, once a block reached into it
  size_t m_nextLength;
  uint8_t m_join[kMpegPacketSize];
};

bool CVcdMpegSource::ReadWindow::Settle() {
  while (m_chunk == NULL || m_offset >= m_chunkEnd) {
    if (m_chunk != NULL) {
      m_ahead.Release();
      m_chunkStart = m_chunkEnd;
      m_chunk = m_next;
      m_next = NULL;
      if (m_chunk != NULL) {
        m_chunkEnd = m_chunkStart + static_cast<int64_t>(m_nextLength);
        continue;
      }
    }
    size_t length = 0;
    m_chunk = m_ahead.Acquire(&length);
    if (m_chunk == NULL) return false;
    m_chunkEnd = m_chunkStart + static_cast<int64_t>(length);
  }
  return true;
}

int CVcdMpegSource::ReadWindow::Next(uint8_t** block) {
  int64_t left = m_ahead.End() - m_offset;
  int want = left < kMpegPacketSize ? static_cast<int>(left) : kMpegPacketSize;
  if (want <= 0 || !Settle()) return -1;
  uint8_t* at = m_chunk + (m_offset - m_chunkStart);
  int here = static_cast<int>(m_chunkEnd - m_offset);
  if (here >= want) {
    *block = at;
    return want;
  }
  if (m_next == NULL) m_next = m_ahead.Acquire(&m_nextLength);
  if (m_next == NULL || m_nextLength < static_cast<size_t>(want - here)) return -1;
  memcpy(m_join, at, static_cast<size_t>(here));
  memcpy(m_join + here, m_next, static_cast<size_t>(want - here));
  *block = m_join;
  return want;
}

IMPLEMENT_DYNAMIC(CVcdMpegSource, CVcdStream)

CVcdMpegSource::CVcdMpegSource(CVcdMessageSink* messages, const char* path)
    : CVcdStream(messages, path, kVcdStreamRead),
      m_scanned(0),
      m_nextOffset(0),
      m_nextPacket(0),
      m_readWindow(NULL),
      m_scanEnd(0),
      m_readChecked(false) {
  memset(&m_info, 0, sizeof m_info);
  memset(m_readSplit, 0, sizeof m_readSplit);
  memset(m_rewrittenItemValid, 0, sizeof m_rewrittenItemValid);
}

CVcdMpegSource::~CVcdMpegSource() {
  FreeApsLists(&m_info);
  delete m_readWindow;
}

void CVcdMpegSource::Release() {
  CVcdStream::Release();
  FreeApsLists(&m_info);
  delete m_readWindow;
  m_readWindow = NULL;
}

int CVcdMpegSource::DoClose() {
  // Its readers use the file.
  delete m_readWindow;
  m_readWindow = NULL;
  m_readChecked = false;
  return CVcdStream::DoClose();
}

void CVcdMpegSource::ReportReadError(int error, int64_t expected) {
  if (error == CVcdReadAhead::kEndOfFile) {
    // The file shrank since its size was taken.
    Report(kVcdMsgError, "file `%s' could not be read whole (%lld of %lld bytes read)", GetFileName(),
           static_cast<long long>(DoSize()), static_cast<long long>(expected));
  } else if (error != 0) {
    Report(kVcdMsgError, "fread (): %s", strerror(error));
  }
}

void CVcdMpegSource::ReportChanged(int64_t offset) {
  Report(kVcdMsgError, "file `%s' has changed since it was scanned (no packet at byte %lld)",
         GetFileName(), static_cast<long long>(offset));
}

void CVcdMpegSource::ReportProgress(const char* name, int packets, int64_t position, int64_t size) {
  if (m_messages == NULL) return;
  VcdScanState state;
  state.name = name;
  state.packets = packets;
  state.position = position;
  state.size = size;
  m_messages->ReportScanProgress(&state);
}

void CVcdMpegSource::ForgetReading() {
  m_nextOffset = 0;
  m_nextPacket = 0;
  memset(m_readSplit, 0, sizeof m_readSplit);
  memset(m_rewrittenItemValid, 0, sizeof m_rewrittenItemValid);
  delete m_readWindow;
  m_readWindow = NULL;
}

int CVcdMpegSource::Scan(int strictAps, int updateScanOffsets, const char* progressName) {
  if (m_scanned) {
    Report(kVcdMsgDebug, "already scanned... not rescanning");
    return kMpegScanOk;
  }
  // Whatever an earlier, unfinished scan left is dropped.
  FreeApsLists(&m_info);
  memset(&m_info, 0, sizeof m_info);
  ForgetReading();

  int64_t size = Seek(0) == 0 ? Size() : -1;
  if (size < 0) {
    Close();
    return kMpegScanFailed;
  }
  std::unique_ptr<ReadWindow> window(new ReadWindow(m_file, 0, size, Workers()));
  std::unique_ptr<MpegParserState> state(new MpegParserState);
  memset(state.get(), 0, sizeof *state);
  MpegStreamInfo& stream = state->stream;
  if (updateScanOffsets) stream.scanDataErrors = kScanErrorsSilenced;
  // The access point lists found so far are freed with the scan, also when
  // an exception ends it, unless they move to the source.
  ApsListsOwner lists(&stream);

  ReportProgress(progressName, 0, 0, size);
  bool failed = false;
  int64_t lastReport = 0;
  int64_t paddingTotal = 0;
  int unaligned = 0;
  while (window->Offset() < size && !(m_messages != NULL && m_messages->IsCancelled())) {
    int64_t position = window->Offset();
    uint8_t* block = NULL;
    int length = window->Next(&block);
    if (length < 0) {
      ReportReadError(window->ReadError(), size);
      failed = true;
      break;
    }
    int packetNumber = stream.packetCount;
    int packetLength = ParsePacket(m_messages, block, length, 1, state.get());
    if (packetLength == 0) {
      if (packetNumber > 0) {
        Report(kVcdMsgWarning,
               "bad packet at packet #%d (stream byte offset %lld) -- remaining %lld bytes of "
               "stream will be ignored",
               packetNumber, static_cast<long long>(position),
               static_cast<long long>(size - position));
      } else {
        Report(kVcdMsgError, "input mpeg stream has been deemed invalid -- aborting");
        failed = true;
      }
      break;
    }
    if (position - lastReport > size / 100) {
      ReportProgress(progressName, packetNumber, position, size);
      lastReport = position;
    }
    const MpegPacketInfo& packet = state->packet;
    int type = packet.apsType;
    if (type == kMpegApsSeqGopI || type == kMpegApsSeqGopIAtStart ||
        (!strictAps && (type == kMpegApsIPicture || type == kMpegApsGopI))) {
      MpegApsList*& list = stream.video[packet.apsStream].apsList;
      if (list == NULL) list = new MpegApsList;
      list->Add(packetNumber, packet.apsPts);
    }
    if (packetLength != length) {
      paddingTotal += kMpegPacketSize - packetLength;
      if (unaligned++ == 0)
        Report(kVcdMsgWarning, "mpeg stream will be padded on the fly -- hope that's ok for you!");
    }
    window->Advance(packetLength);
  }
  int64_t endPosition = window->Offset();
  window.reset();
  Close();

  if (failed) return kMpegScanFailed;
  m_info = stream;  // the lists move to the source
  lists.Release();
  m_scanEnd = endPosition;
  if (m_messages != NULL && m_messages->IsCancelled()) return kMpegScanCancelled;
  m_scanned = 1;

  ReportProgress(progressName, m_info.packetCount, endPosition, size);
  m_info.playingTime = m_info.maxPts - m_info.minPts;
  if (m_info.minPts != 0)
    Report(kVcdMsgDebug, "pts start offset %f (max pts = %f)", m_info.minPts, m_info.maxPts);
  Report(kVcdMsgDebug, "playing time %f", m_info.playingTime);
  if (m_info.scanDataCount == 0 && m_info.version == 2)
    Report(kVcdMsgWarning, "mpeg stream contained no scan information (user data).");
  for (int i = 0; i < kMpegStreamSlots; ++i) {
    MpegApsList* list = m_info.video[i].apsList;
    if (list == NULL) continue;
    for (int k = 0; k < list->GetCount(); ++k) list->GetAt(k).pts -= m_info.minPts;
  }
  if (unaligned > 0)
    Report(kVcdMsgWarning,
           "autopadding requires to insert additional %lld zero bytes into MPEG stream (due to %d "
           "unaligned packets of %d total)",
           static_cast<long long>(paddingTotal), unaligned, m_info.packetCount);
  return kMpegScanOk;
}

int CVcdMpegSource::ReadPacket(int packetNumber, uint8_t* destination, MpegPacketInfo* info,
                               int updateScanData) {
  if (packetNumber < 0 || packetNumber >= m_info.packetCount || destination == NULL) {
    Report(kVcdMsgError, "invalid argument");
    return -1;
  }
  if (packetNumber < m_nextPacket) {
    Report(kVcdMsgWarning, "rewinding mpeg stream...");
    ForgetReading();
  }
  // The size is checked when the file is (re)opened, not for every packet;
  // the packets are read from the bytes the scan saw.
  if (!IsOpen() || !m_readChecked) {
    int64_t size = Size();
    if (size < 0) return -1;
    if (size < m_scanEnd) {
      Report(kVcdMsgError, "file `%s' is shorter than when it was scanned (%lld of %lld bytes)",
             GetFileName(), static_cast<long long>(size), static_cast<long long>(m_scanEnd));
      return -1;
    }
    m_readChecked = true;
  }
  if (m_readWindow == NULL) m_readWindow = new ReadWindow(m_file, m_nextOffset, m_scanEnd, Workers());

  // The parse clears the packet's part of the state itself.
  MpegParserState state;
  memset(&state.stream, 0, sizeof state.stream);
  state.scan.count = 0;
  state.stream.ptsSeen = 1;
  state.stream.minPts = m_info.minPts;
  state.stream.scanDataErrors = kScanErrorsSilenced;
  memcpy(state.split, m_readSplit, sizeof state.split);
  // Counting on from the packet's own number keeps "first packet" messages
  // for the first packet of the file.
  state.stream.packetCount = m_nextPacket;
  // Pack and PES headers tell the packet's kind and time; the video headers
  // are read only to find the scan information items to rewrite.
  const bool analysis = updateScanData != 0;

  ReadWindow* window = m_readWindow;
  while (window->Offset() < m_scanEnd) {
    uint8_t* block = NULL;
    int length = window->Next(&block);
    if (length < 0) {
      ReportReadError(window->ReadError(), m_scanEnd);
      return -1;
    }
    bool wanted = m_nextPacket == packetNumber;
    int packetLength = ParsePacket(m_messages, block, length, wanted && analysis, &state);
    if (packetLength == 0) {
      ReportChanged(window->Offset());
      return -1;
    }
    memcpy(m_readSplit, state.split, sizeof m_readSplit);
    window->Advance(packetLength);
    m_nextOffset = window->Offset();
    if (!wanted) {
      ++m_nextPacket;
      continue;
    }
    MpegPacketInfo& packet = state.packet;
    // Only a short pack leaves bytes of the packet to zero.
    memcpy(destination, block, static_cast<size_t>(packetLength));
    memset(destination + packetLength, 0, static_cast<size_t>(kMpegPacketSize - packetLength));
    if (updateScanData && state.scan.count > 0 && m_info.version == 2) {
      int stream = packet.video[2] ? 2 : packet.video[1] ? 1 : 0;
      const MpegApsList* list = m_info.video[stream].apsList;
      double time = packet.hasPts ? packet.pts - m_info.minPts : EstimatePts(list, packetNumber);
      // Every picture of the packet carries an item of its own. An item is
      // rewritten where it starts; the part of it in a later packet gets
      // the rest of what was written for it.
      for (int i = 0; i < state.scan.count; ++i) {
        const MpegScanItem& part = state.scan.items[i];
        uint8_t* item = m_rewrittenItem[part.stream];
        if (part.first == 0) {
          item[0] = 0x10;
          item[1] = kMpegScanDataSize;
          UpdateScanData(item, packetNumber, time, list, part.picture);
          m_rewrittenItemValid[part.stream] = true;
        } else if (!m_rewrittenItemValid[part.stream]) {
          continue;  // its start was not read: left as the file has it
        }
        memcpy(destination + part.offset, item + part.first, part.count);
      }
    }
    if (info != NULL) {
      *info = packet;
      if (info->hasPts) info->pts -= m_info.minPts;
      if (info->scanData != NULL) info->scanData = destination + (packet.scanData - block);
    }
    m_nextPacket = packetNumber + 1;
    // The window is large: once the last packet has been read it goes.
    if (m_nextPacket >= m_info.packetCount) {
      delete m_readWindow;
      m_readWindow = NULL;
    }
    return 0;
  }
  // The packets end before the scan's count did.
  ReportChanged(window->Offset());
  return -1;
}

double EstimatePts(const MpegApsList* list, int packetNumber) {
  if (list == NULL || list->IsEmpty()) return 0.0;
  int count = list->GetCount();
  int after = list->LowerBound(packetNumber);  // entries before it lie below the packet
  if (after == 0) {
    const MpegApsEntry& first = list->GetAt(0);
    if (first.packetNumber <= 0) return first.pts;
    return first.pts * packetNumber / first.packetNumber;
  }
  const MpegApsEntry& p = list->GetAt(after - 1);
  const MpegApsEntry* a = &p;
  const MpegApsEntry* b = NULL;
  if (after < count) {
    b = &list->GetAt(after);
  } else if (count >= 2) {
    a = &list->GetAt(count - 2);
    b = &list->GetAt(count - 1);
  }
  double slope = 0.0;
  if (b != NULL && b->packetNumber > a->packetNumber)
    slope = (b->pts - a->pts) / (b->packetNumber - a->packetNumber);
  return p.pts + slope * (packetNumber - p.packetNumber);
}

void UpdateScanData(uint8_t* scanData, int packetNumber, double time, const MpegApsList* list,
                    int picture) {
  if (scanData == NULL) return;
  int previous = -1, next = -1;
  int backward = packetNumber, forward = packetNumber;
  if (list != NULL && !list->IsEmpty()) {
    int count = list->GetCount();
    int before = list->LowerBound(packetNumber);  // entries [0, before) lie before the picture
    int ahead = before;                           // entries [ahead, count) lie after it
    if (ahead < count && list->GetAt(ahead).packetNumber == packetNumber) {
      // The packet's own access point is the next I picture of a picture
      // before it in the packet, the previous one of a picture behind it.
      if (picture == kMpegScanAfterI) ++before;
      if (picture != kMpegScanBeforeI) ++ahead;
    }
    if (before > 0) {
      previous = list->GetAt(before - 1).packetNumber;
      // The earliest entry less than 10 s back; PTS never decrease along the
      // list, so those that are too far back form a prefix.
      int lo = 0, hi = before;
      while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (time - list->GetAt(mid).pts < kScanReach)
          hi = mid;
        else
          lo = mid + 1;
      }
      if (lo < before) backward = list->GetAt(lo).packetNumber;
    }
    if (ahead < count) {
      next = list->GetAt(ahead).packetNumber;
      // The last entry less than 10 s ahead.
      int lo = ahead, hi = count;
      while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        if (list->GetAt(mid).pts - time < kScanReach)
          lo = mid + 1;
        else
          hi = mid;
      }
      if (lo > ahead) forward = list->GetAt(lo - 1).packetNumber;
    }
  }
  WriteScanAddress(scanData + 2, previous);
  WriteScanAddress(scanData + 5, next);
  WriteScanAddress(scanData + 8, backward);
  WriteScanAddress(scanData + 11, forward);
}
