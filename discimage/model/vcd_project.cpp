#include "discimage/model/vcd_project.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "discimage/iso9660/iso9660_names.h"
#include "discimage/mpeg/mpeg_source.h"
#include "discimage/iso9660/vcd_custom_file.h"
#include "discimage/iso9660/vcd_directory.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/iso9660/vcd_sector_bitmap.h"
#include "discimage/base/vcd_util.h"
#include "discimage/base/vcd_version.h"

IMPLEMENT_DYNAMIC(CVcdObj, CVcdObject)

namespace {

// Capability by VCD type: bit (type - 1) set when the type has it.
const unsigned kCapabilityTypes[] = {
    0x1F,  // 0 supported type: 1-5
    0x07,  // 1 MPEG-1 tracks: 1, 2, 3
    0x18,  // 2 MPEG-2 tracks: 4, 5
    0x1C,  // 3 PBC and segment items: 3, 4, 5
    0x04,  // 4 extended PSD and LOT in EXT: 3
    0x07,  // 5 track margins recommended: 1, 2, 3
    0x18,  // 6 SVCD information files: 4, 5
    0x1C,  // 7 entries and PBC on tracks: 3, 4, 5
};

// Disc sizes the image is compared with, largest first: beyond the size, the
// disc time to warn about and the one to recommend.
struct DiscSize {
  int sectors;
  const char* minutes;
  const char* recommended;
};
const DiscSize kDiscSizes[] = {
    {405000, "90", "99"},
    {360000, "80", "90"},
    {333000, "74", "80"},
};

const int kRawSectorBytes = 2336;  // a raw Mode 2 sector of a mixed file
const int kForm1Bytes = 2048;

bool IsEmptyId(const char* id) { return id == NULL || *id == '\0'; }

const char* TextOf(const char* id) { return id != NULL ? id : ""; }

}  // namespace

CVcdObj* CreateVcdObj(CVcdMessageSink* messages, int type) {
  return CVcdObj::Create(messages, type);
}

// ---------------------------------------------------------------------------
// Creation and destruction

CVcdObj::CVcdObj(CVcdMessageSink* messages, int type)
    : m_type(type),
      m_messages(messages),
      m_svcdMpegavFolder(0),
      m_svcdEntrySvd(0),
      m_svcdTrackSvd(0),
      m_updateScanOffsets(0),
      m_relaxedAps(0),
      m_leadoutPause(0),
      m_pregap(kVcdDefaultPregap),
      m_frontMargin(HasCapability(kVcdCapMargins) ? 30 : 0),
      m_rearMargin(HasCapability(kVcdCapMargins) ? 45 : 0),
      m_cueSink(NULL),
      m_imageSink(NULL),
      m_isoSize(0),
      m_volumeCount(1),
      m_volumeNumber(1),
      m_restriction(0),
      m_nextVolumeSequence2(0),
      m_nextVolumeLid2(0),
      m_segmentStart(0),
      m_sequenceCursor(0),
      m_pbcLists(this),
      m_extStart(0),
      m_customFileStart(0),
      m_dictionary(this),
      m_bitmap(NULL),
      m_directory(NULL),
      m_sectorsWritten(0),
      m_writing(0),
      m_currentTrack(0),
      m_lastProgressSectors(0),
      m_imageName() {}

CVcdObj::~CVcdObj() {
  m_customFiles.Clear(1);
  m_directories.RemoveAll();
  while (!m_sequences.IsEmpty()) RemoveSequence(static_cast<CMpegSequence*>(m_sequences.Tail()));
  m_sequences.Clear(1);
  m_segments.Clear(1);
  m_pbcLists.Clear(1);
  m_dictionary.Clear(1);
  EndLayout();
}

CVcdObj* CVcdObj::Create(CVcdMessageSink* messages, int type) {
  if (messages == NULL) return NULL;  // nowhere to say what goes wrong
  CVcdObj* project = new CVcdObj(messages, type);
  messages->Debug("initializing discimage %s [%s]", VCD_VERSION_TEXT, VCD_PLATFORM_TEXT);
  if (!project->HasCapability(kVcdCapSupported)) {
    messages->Error("VCD type not supported");
    project->Destroy();
    return NULL;
  }
  if (type == kVcdType10)
    messages->Warning("VCD 1.0 support is experimental -- user feedback needed!");
  return project;
}

void CVcdObj::Destroy() { delete this; }

bool CVcdObj::HasCapability(int capability) const {
  if (capability < 0 || capability >= static_cast<int>(sizeof kCapabilityTypes / sizeof *kCapabilityTypes))
    return false;
  if (m_type < kVcdType10 || m_type > kVcdTypeHqvcd) return false;
  return (kCapabilityTypes[capability] >> (m_type - 1)) & 1;
}

// ---------------------------------------------------------------------------
// Parameters

int CVcdObj::SetText(CString* field, const char* text, int maxLength, const char* tooLong,
                     const char* changed) {
  if (text == NULL) return -2;
  if (*field == text) return 0;
  CString value(text);
  if (value.GetLength() > maxLength) {
    m_messages->Warning("%s", tooLong);
    value = value.Left(maxLength);
  }
  if (*field == value) return 0;
  *field = value;
  m_messages->Info(changed, static_cast<const char*>(*field));
  return 0;
}

int CVcdObj::SetParameter(int key, const char* text) {
  switch (key) {
    case kVcdParamVolumeLabel:
      return SetText(&m_volumeLabel, text, 32, "Volume label too long, will be truncated (max=32)",
                     "changed volume label to '%s'");
    case kVcdParamPublisherId:
      return SetText(&m_publisherId, text, 128,
                     "Publisher ID too long, will be truncated (max=128)",
                     "changed publisher id to '%s'");
    case kVcdParamAlbumId:
      return SetText(&m_albumId, text, 16, "Album ID too long, will be truncated (max=16)",
                     "changed album id to '%s'");
    case kVcdParamApplicationId:
      return SetText(&m_applicationId, text, 128,
                     "Application ID too long, will be truncated (max=128)",
                     "changed application id to '%s'");
    case kVcdParamVolumeCount: case kVcdParamVolumeNumber: case kVcdParamRestriction:
    case kVcdParamNextVolumeLid2: case kVcdParamNextVolumeSequence2:
    case kVcdParamSvcdMpegavFolder: case kVcdParamSvcdEntrySvd: case kVcdParamSvcdTrackSvd:
    case kVcdParamUpdateScanOffsets: case kVcdParamRelaxedAps: case kVcdParamLeadoutPause:
    case kVcdParamTrackPregap: case kVcdParamFrontMargin: case kVcdParamRearMargin:
      return -2;
    default:
      return -1;
  }
}

int CVcdObj::Clamp(int value, int low, int high, const char* warning) {
  if (value >= low && value <= high) return value;
  m_messages->Warning("%s", warning);
  return value < low ? low : high;
}

int CVcdObj::SetParameter(int key, int value) {
  int flag = value != 0;
  switch (key) {
    case kVcdParamVolumeLabel: case kVcdParamPublisherId: case kVcdParamAlbumId:
    case kVcdParamApplicationId:
      return -2;

    case kVcdParamVolumeCount:
    case kVcdParamVolumeNumber: {
      bool count = key == kVcdParamVolumeCount;
      int* field = count ? &m_volumeCount : &m_volumeNumber;
      if (value == *field) return 0;
      value = Clamp(value, 1, 65535,
                    count ? "volume count out of range, clamping to range"
                          : "volume number out of range, clamping to range");
      if (value == *field) return 0;
      *field = value;
      m_messages->Info(count ? "changed volume count to %u" : "changed volume number to %u",
                       static_cast<unsigned>(value));
      return 0;
    }

    case kVcdParamRestriction:
      if (value == m_restriction) return 0;
      value = Clamp(value, 0, 3, "restriction out of range, clamping to range");
      if (value == m_restriction) return 0;
      m_restriction = value;
      m_messages->Info("changed restriction number to %u", static_cast<unsigned>(value));
      return 0;

    case kVcdParamTrackPregap:
      if (value == m_pregap) return 0;
      value = Clamp(value, 1, 300, "pregap out of range, clamping to allowed range");
      if (value < kVcdDefaultPregap)
        m_messages->Warning("track pre gap set below 150 sectors; created (s)vcd may be non-working");
      if (value == m_pregap) return 0;
      m_pregap = value;
      RecomputeTrackStarts();
      m_messages->Info("changed pregap to %u", static_cast<unsigned>(value));
      return 0;

    case kVcdParamFrontMargin:
    case kVcdParamRearMargin: {
      bool front = key == kVcdParamFrontMargin;
      int* field = front ? &m_frontMargin : &m_rearMargin;
      if (value == *field) return 0;
      value = Clamp(value, 0, 150,
                    front ? "front margin out of range, clamping to allowed range"
                          : "rear margin out of range, clamping to allowed range");
      if (value < 15 && HasCapability(kVcdCapMargins))
        m_messages->Warning(front ? "front margin set smaller than recommended (%d < 15 sectors) for disc type used"
                                  : "rear margin set smaller than recommended (%d < 15 sectors) for disc type used",
                            value);
      if (value == *field) return 0;
      *field = value;
      RecomputeTrackStarts();
      m_messages->Info(front ? "changed front margin to %u" : "changed rear margin to %u",
                       static_cast<unsigned>(value));
      return 0;
    }

    case kVcdParamNextVolumeLid2:
      if (flag == m_nextVolumeLid2) return 0;
      m_nextVolumeLid2 = flag;
      m_messages->Info("changing 'next volume use lid 2' to %d", flag);
      return 0;

    case kVcdParamNextVolumeSequence2:
      if (flag == m_nextVolumeSequence2) return 0;
      m_nextVolumeSequence2 = flag;
      m_messages->Info("changing 'next volume use sequence 2' to %d", flag);
      return 0;

    case kVcdParamSvcdMpegavFolder:
    case kVcdParamSvcdEntrySvd:
    case kVcdParamSvcdTrackSvd: {
      if (m_type != kVcdTypeSvcd) return 0;  // these switches mean something on SVCD only
      int* field = key == kVcdParamSvcdMpegavFolder ? &m_svcdMpegavFolder
                   : key == kVcdParamSvcdEntrySvd   ? &m_svcdEntrySvd
                                                    : &m_svcdTrackSvd;
      if (flag == *field) return 0;
      *field = flag;
      if (flag) {
        const char* what = key == kVcdParamSvcdMpegavFolder ? "MPEGAV folder"
                           : key == kVcdParamSvcdEntrySvd   ? "ENTRYSVD signature"
                                                            : "TRACK.SVD format";
        m_messages->Warning(
            "!! enabling deprecated VCD3.0 %s -- SVCD will not be IEC62107 compliant !!", what);
      }
      return 0;
    }

    case kVcdParamUpdateScanOffsets:
      if (!HasCapability(kVcdCapSvcdFiles)) return 0;  // only SVCD packets carry scan data
      if (flag == m_updateScanOffsets) return 0;
      m_updateScanOffsets = flag;
      m_messages->Debug("changing 'update scan offsets' to %d", flag);
      return 0;

    case kVcdParamRelaxedAps:
      if (flag == m_relaxedAps) return 0;
      m_relaxedAps = flag;
      m_messages->Info("changing 'relaxed aps' to %d", flag);
      return 0;

    case kVcdParamLeadoutPause:
      if (flag == m_leadoutPause) return 0;
      m_leadoutPause = flag;
      m_messages->Info("changing 'leadout pause' to %d", flag);
      return 0;

    default:
      return -1;
  }
}

// ---------------------------------------------------------------------------
// Item ids and play item numbers

std::string CVcdObj::FoldId(const char* id) {
  std::string folded(TextOf(id));
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

void CVcdObj::IndexId(const char* id, int kind, CObject* object, CMpegSequence* sequence) {
  if (IsEmptyId(id)) return;
  ItemRef ref = {kind, object, sequence};
  if (kind == kRefEntry)
    m_entryIds.emplace(std::string(id), ref);
  else
    m_foldedIds.emplace(FoldId(id), ref);  // keeps the one found first
}

void CVcdObj::UnindexId(const char* id, int kind, CObject* object) {
  if (IsEmptyId(id)) return;
  IdMap& map = kind == kRefEntry ? m_entryIds : m_foldedIds;
  IdMap::iterator found = map.find(kind == kRefEntry ? std::string(id) : FoldId(id));
  if (found != map.end() && found->second.object == object && found->second.kind == kind)
    map.erase(found);
}

int CVcdObj::EntryNumber(const CMpegSequence* sequence, const CVcdEntry* entry) const {
  int count = 0;
  for (POSITION pos = m_sequences.GetHeadPosition(); pos != NULL;) {
    const CMpegSequence* each = static_cast<const CMpegSequence*>(m_sequences.GetNext(pos));
    if (each == sequence) break;
    count += each->EntryPointCount();
  }
  if (entry != NULL) {
    count += 1;  // the track start comes first
    for (POSITION pos = sequence->Entries().GetHeadPosition(); pos != NULL; ++count)
      if (sequence->Entries().GetNext(pos) == entry) break;
  }
  return 100 + count;
}

int CVcdObj::SegmentNumber(const CMpegSegment* segment) const {
  int count = 0;
  for (POSITION pos = m_segments.GetHeadPosition(); pos != NULL;) {
    const CMpegSegment* each = static_cast<const CMpegSegment*>(m_segments.GetNext(pos));
    if (each == segment) break;
    count += each->GetSegmentCount();
  }
  return 1000 + count;
}

bool CVcdObj::FindItem(const char* id, ItemRef* found) const {
  if (IsEmptyId(id)) return false;
  IdMap::const_iterator folded = m_foldedIds.find(FoldId(id));
  const ItemRef* byName = folded != m_foldedIds.end() ? &folded->second : NULL;
  if (byName != NULL && byName->kind == kRefSequence) {
    *found = *byName;
    return true;
  }
  // Entry points: a track start (default entry id) and an entry may both
  // answer; the one earlier on the disc is the one the numbering meets first.
  IdMap::const_iterator exact = m_entryIds.find(std::string(id));
  const ItemRef* entry = exact != m_entryIds.end() ? &exact->second : NULL;
  const ItemRef* start = byName != NULL && byName->kind == kRefDefaultEntry ? byName : NULL;
  if (entry != NULL && start != NULL) {
    int entryNumber = EntryNumber(entry->sequence, static_cast<CVcdEntry*>(entry->object));
    *found = EntryNumber(start->sequence, NULL) < entryNumber ? *start : *entry;
    return true;
  }
  if (entry != NULL || start != NULL) {
    *found = entry != NULL ? *entry : *start;
    return true;
  }
  if (byName != NULL) {
    *found = *byName;
    return true;
  }
  return false;
}

int CVcdObj::ItemKind(const char* id) const {
  ItemRef ref;
  if (!FindItem(id, &ref)) return kVcdItemNone;
  switch (ref.kind) {
    case kRefSequence: return kVcdItemSequence;
    case kRefDefaultEntry: case kRefEntry: return kVcdItemEntry;
    case kRefSegment: return kVcdItemSegment;
    default: return kVcdItemPbc;
  }
}

int CVcdObj::ItemNumber(const char* id) const {
  ItemRef ref;
  if (!FindItem(id, &ref)) return 0;
  switch (ref.kind) {
    case kRefSequence:
      return 2 + m_sequences.IndexOf(static_cast<CMpegSequence*>(ref.object));
    case kRefDefaultEntry:
      return EntryNumber(ref.sequence, NULL);
    case kRefEntry:
      return EntryNumber(ref.sequence, static_cast<CVcdEntry*>(ref.object));
    case kRefSegment:
      return SegmentNumber(static_cast<CMpegSegment*>(ref.object));
    default:
      return m_pbcLists.IndexOfId(id);
  }
}

// ---------------------------------------------------------------------------
// Counting

int CVcdObj::PacketCount(const MpegStreamInfo* info) {
  return info != NULL && info->packetCount > 0 ? info->packetCount : 0;
}

int CVcdObj::SequenceSectors(const CMpegSequence* sequence) const {
  return m_pregap + m_frontMargin + PacketCount(sequence->GetStreamInfo()) + m_rearMargin;
}

void CVcdObj::RecomputeTrackStarts() {
  m_sequenceCursor = 0;
  for (POSITION pos = m_sequences.GetHeadPosition(); pos != NULL;) {
    CMpegSequence* sequence = static_cast<CMpegSequence*>(m_sequences.GetNext(pos));
    sequence->SetRelativeStart(m_sequenceCursor + m_pregap);
    m_sequenceCursor += SequenceSectors(sequence);
  }
}

int CVcdObj::EntryPointTotal() const {
  int total = 0;
  for (POSITION pos = m_sequences.GetHeadPosition(); pos != NULL;)
    total += static_cast<const CMpegSequence*>(m_sequences.GetNext(pos))->EntryPointCount();
  return total;
}

int CVcdObj::SegmentTotal() const {
  int total = 0;
  for (POSITION pos = m_segments.GetHeadPosition(); pos != NULL;)
    total += static_cast<const CMpegSegment*>(m_segments.GetNext(pos))->GetSegmentCount();
  return total;
}

// ---------------------------------------------------------------------------
// Segment items and sequences

int CVcdObj::AddSegmentItem(CVcdMpegSource* source, const char* id) {
  if (CheckNewSegment(id) != 0) return -1;
  if (source == NULL) {
    m_messages->Error("no mpeg source given for segment play item '%s'", id);
    return -1;
  }
  int scanned = source->Scan(!m_relaxedAps, m_updateScanOffsets, source->GetFileName());
  if (scanned == kMpegScanFailed) return -2;
  if (scanned != kMpegScanOk) return -1;
  return AppendSegment(source, source->GetStreamInfo(), id);
}

int CVcdObj::CheckNewSegment(const char* id) {
  if (!HasCapability(kVcdCapPbc)) {
    m_messages->Error("segment play items not supported for this vcd type");
    return -1;
  }
  if (IsEmptyId(id)) {
    m_messages->Error("no id given for segment play item");
    return -1;
  }
  if (ItemNumber(id) != 0) {
    m_messages->Error("item id (%s) exists already", id);
    return -1;
  }
  return 0;
}

int CVcdObj::AppendSegment(CVcdMpegSource* source, MpegStreamInfo* info, const char* id) {
  int packets = PacketCount(info);
  if (packets == 0) {
    m_messages->Error("mpeg is empty?");
    return -1;
  }
  int segments = CMpegSegment::SegmentsFor(packets);
  int used = SegmentTotal();
  if (segments > kVcdMaxSegments - used) {
    m_messages->Error("segment play item '%s' needs %d segment(s), but only %d of %d are left",
                      id, segments, kVcdMaxSegments - used, kVcdMaxSegments);
    return -1;
  }

  CMpegSegment* segment = new CMpegSegment();
  segment->SetId(id);
  segment->SetSource(source, info);
  int index = static_cast<int>(m_segments.GetCount());
  m_segments.Append(segment);
  IndexId(id, kRefSegment, segment, NULL);
  m_messages->Debug("SPI length is %d sector(s), allocated %d segment(s)", packets, segments);
  m_messages->Info("added segment #%02d...", index);
  return 0;
}

int CVcdObj::AddSequence(CVcdMpegSource* source, const char* id, const char* defaultEntryId) {
  if (CheckNewSequence(id, defaultEntryId) != 0) return -1;
  if (source == NULL) {
    m_messages->Error("no mpeg source given for sequence '%s'", TextOf(id));
    return -1;
  }
  int scanned = source->Scan(!m_relaxedAps, m_updateScanOffsets, source->GetFileName());
  if (scanned == kMpegScanFailed) return -2;
  if (scanned != kMpegScanOk) return -1;
  return AppendSequence(source, source->GetStreamInfo(), id, defaultEntryId);
}

int CVcdObj::CheckNewSequence(const char* id, const char* defaultEntryId) {
  if (ItemNumber(id) != 0) {
    m_messages->Error("item id (%s) exist already", id);
    return -1;
  }
  if (ItemNumber(defaultEntryId) != 0) {
    m_messages->Error("default entry id (%s) exist already", defaultEntryId);
    return -1;
  }
  if (!IsEmptyId(defaultEntryId) && !IsEmptyId(id) && strcmp(defaultEntryId, id) == 0) {
    m_messages->Error("default entry id == item id (%s)", id);
    return -1;
  }
  if (m_sequences.GetCount() >= kVcdMaxSequences) {
    m_messages->Error("only %d sequences (tracks 2 to 99) allowed!", kVcdMaxSequences);
    return -1;
  }
  // The track start is an entry point of its own.
  if (EntryPointTotal() >= kVcdMaxEntryPoints) {
    m_messages->Error("only %d entry points allowed in total (track starts included)!",
                      kVcdMaxEntryPoints);
    return -1;
  }
  return 0;
}

int CVcdObj::AppendSequence(CVcdMpegSource* source, MpegStreamInfo* info, const char* id,
                            const char* defaultEntryId) {
  if (info == NULL) {
    m_messages->Error("mpeg is empty?");
    return -1;
  }
  int packets = PacketCount(info);
  // The cursor counts sectors in an int; the image-size check refuses any
  // image this large, but the sum must not wrap before it gets there.
  long long sectors = static_cast<long long>(m_pregap) + m_frontMargin + packets + m_rearMargin;
  if (m_sequenceCursor + sectors > INT_MAX) {
    m_messages->Error("image too big (%lld sectors > %d sectors)", m_sequenceCursor + sectors,
                      static_cast<int>(kVcdMaxImageSectors));
    return -1;
  }

  CMpegSequence* sequence = new CMpegSequence(source, info, id, defaultEntryId);
  int index = static_cast<int>(m_sequences.GetCount());
  m_sequences.Append(sequence);
  sequence->SetRelativeStart(m_sequenceCursor + m_pregap);
  m_sequenceCursor += static_cast<int>(sectors);
  IndexId(id, kRefSequence, sequence, sequence);
  IndexId(defaultEntryId, kRefDefaultEntry, sequence, sequence);

  if (packets < 75) m_messages->Warning("mpeg stream shorter than 75 sectors");
  int norm = ClassifyVideo(&info->video[0]);
  if (!HasCapability(kVcdCapTrackEntries) && norm != kMpegVideoNtscSif &&
      norm != kMpegVideoFilmSif)
    m_messages->Warning("VCD 1.x should contain only NTSC/FILM video (may work with PAL nevertheless)");
  if (info->version == 1 && !HasCapability(kVcdCapMpeg1))
    m_messages->Warning("this VCD type should not contain MPEG1 streams");
  if (info->version == 2 && !HasCapability(kVcdCapMpeg2))
    m_messages->Warning("this VCD type should not contain MPEG2 streams");
  if (!info->video[0].seen || info->video[1].seen || info->video[2].seen)
    m_messages->Warning("sequence items should contain a motion video stream!");
  m_messages->Info("added sequence #%02d...", index);
  return index;
}

bool CVcdObj::RemoveSequence(CMpegSequence* sequence) {
  if (sequence == NULL || m_sequences.IndexOf(sequence) < 0) return false;
  UnindexId(sequence->GetId(), kRefSequence, sequence);
  UnindexId(sequence->GetDefaultEntryId(), kRefDefaultEntry, sequence);
  for (POSITION pos = sequence->Entries().GetHeadPosition(); pos != NULL;) {
    CVcdEntry* entry = static_cast<CVcdEntry*>(sequence->Entries().GetNext(pos));
    UnindexId(entry->GetId(), kRefEntry, entry);
  }
  bool last = m_sequences.Tail() == sequence;
  m_sequences.Remove(sequence);
  if (last)
    m_sequenceCursor -= SequenceSectors(sequence);
  else
    RecomputeTrackStarts();
  sequence->Detach(1);
  delete sequence;
  return true;
}

// ---------------------------------------------------------------------------
// Pauses and entries

CMpegSequence* CVcdObj::SequenceForPoints(const char* id) const {
  if (id == NULL) return static_cast<CMpegSequence*>(m_sequences.Tail());
  return m_sequences.FindById(id);
}

CMpegSegment* CVcdObj::SegmentForPoints(const char* id) const {
  if (id == NULL) return static_cast<CMpegSegment*>(m_segments.Tail());
  return m_segments.FindById(id);
}

int CVcdObj::CheckTime(double time, const char* what) {
  if (std::isfinite(time)) return 0;
  m_messages->Error("%s time is not a number", what);
  return -1;
}

int CVcdObj::AddSequencePause(const char* sequenceId, double time, const char* pauseId) {
  CMpegSequence* sequence = SequenceForPoints(sequenceId);
  if (sequence == NULL) {
    m_messages->Error("sequence id '%s' not found", TextOf(sequenceId));
    return -1;
  }
  if (CheckTime(time, "auto pause") != 0) return -1;
  if (!IsEmptyId(pauseId)) m_messages->Warning("pause id ignored...");
  sequence->Pauses().InsertByTime(new CVcdPause(time));
  m_messages->Debug("added autopause point at %f", time);
  return 0;
}

int CVcdObj::AddSegmentPause(const char* segmentId, double time, const char* pauseId) {
  CMpegSegment* segment = SegmentForPoints(segmentId);
  if (segment == NULL) {
    m_messages->Error("segment id '%s' not found", TextOf(segmentId));
    return -1;
  }
  if (CheckTime(time, "auto pause") != 0) return -1;
  if (!IsEmptyId(pauseId)) m_messages->Warning("pause id ignored...");
  segment->Pauses().InsertByTime(new CVcdPause(time));
  m_messages->Debug("added autopause point at %f", time);
  return 0;
}

int CVcdObj::AddEntry(const char* sequenceId, double time, const char* entryId) {
  CMpegSequence* sequence = SequenceForPoints(sequenceId);
  if (sequence == NULL) {
    m_messages->Error("sequence id `%s' not found", TextOf(sequenceId));
    return -1;
  }
  if (sequence->EntryCount() >= kVcdMaxEntriesPerSequence) {
    m_messages->Error("only %d entries per sequence allowed!", kVcdMaxEntriesPerSequence);
    return -1;
  }
  if (ItemNumber(entryId) != 0) {
    m_messages->Error("item id (%s) exists already", entryId);
    return -1;
  }
  if (EntryPointTotal() >= kVcdMaxEntryPoints) {
    m_messages->Error("only %d entry points allowed in total (track starts included)!",
                      kVcdMaxEntryPoints);
    return -1;
  }
  if (CheckTime(time, "entry point") != 0) return -1;
  CVcdEntry* entry = new CVcdEntry(time, entryId);
  sequence->Entries().InsertByTime(entry);
  IndexId(entryId, kRefEntry, entry, sequence);
  return 0;
}

// ---------------------------------------------------------------------------
// Playback lists, folders and files

int CVcdObj::AddPbc(CPbc* list) {
  if (list == NULL) return -1;
  if (!HasCapability(kVcdCapPbc)) {
    m_messages->Error("PBC not supported for current VCD type");
    return -1;
  }
  const char* id = list->GetId();
  if (!IsEmptyId(id) && ItemNumber(id) != 0) {
    m_messages->Error("pbc id (%s) exists already", id);
    return -1;
  }
  m_pbcLists.Append(list);
  IndexId(id, kRefPbc, list, NULL);
  return 0;
}

int CVcdObj::AddDirectory(const char* path) {
  if (!IsDirectoryPathValid(m_messages, path)) {
    m_messages->Error("pathname '%s' is not a valid iso pathname", TextOf(path));
    return 1;
  }
  m_directories.SortedInsert(path);
  return 0;
}

int CVcdObj::AddCustomFile(const char* path, CVcdStream* stream, int mixed) {
  if (stream == NULL) {
    m_messages->Error("no stream given for file '%s'", TextOf(path));
    return 1;
  }
  int64_t size = stream->Size();
  if (size < 0) return -1;
  int64_t sectors;
  if (mixed) {
    if (size == 0) {
      m_messages->Error("raw mode2 file must not be empty\n");
      return 1;
    }
    if (size % kRawSectorBytes != 0) {
      m_messages->Error("raw mode2 file must have size multiple of %d \n", kRawSectorBytes);
      return 1;
    }
    sectors = size / kRawSectorBytes;
  } else {
    sectors = (size + kForm1Bytes - 1) / kForm1Bytes;
  }
  // Sizes go into 32-bit directory records and sector counts.
  if (size > INT_MAX) {
    m_messages->Error("file '%s' too big for a disc image (%lld bytes)", TextOf(path),
                      static_cast<long long>(size));
    return 1;
  }
  if (!IsFilePathValid(m_messages, path)) {
    m_messages->Error("pathname '%s' is not a valid iso pathname", TextOf(path));
    return 1;
  }
  CCustomFile* file = new CCustomFile(path, stream);
  file->m_mixed = mixed != 0;
  file->m_sizeBytes = static_cast<int32_t>(size);
  file->m_startSector = 0;
  file->m_sectors = static_cast<int32_t>(sectors);
  m_customFiles.Append(file);
  return 0;
}

// ---------------------------------------------------------------------------
// Layout state and the image size

void CVcdObj::BeginLayout() {
  EndLayout();
  m_bitmap = new CVcdSectorBitmap(m_messages);
  m_directory = new CVcdDirectory(m_messages);
  m_dictionary.Clear(1);
}

void CVcdObj::EndLayout() {
  m_dictionary.Clear(1);
  delete m_bitmap;
  m_bitmap = NULL;
  delete m_directory;
  m_directory = NULL;
}

int CVcdObj::AllocateSectors(int start, int count) {
  if (m_bitmap == NULL) return -1;
  return m_bitmap->AllocateSectors(start, count);
}

bool CVcdObj::SectorsAllocated(int start, int count) const {
  if (m_bitmap == NULL || start < 0 || count < 0) return false;
  for (int sector = start; sector < start + count; ++sector)
    if (!m_bitmap->IsSectorUsed(sector)) return false;
  return true;
}

int CVcdObj::ImageSize() {
  if (m_sequences.IsEmpty()) {
    m_messages->Error("No sequences detected, be sure there is at least 1 movie-stream!.");
    return -1;
  }
  m_sectorsWritten = 0;
  m_writing = 1;
  m_currentTrack = 1;
  BeginLayout();
  if (LayOutTrack1() != 0) return -1;
  if (ResolveEntryPoints() != 0) return -1;
  return CountImageSectors();
}

int CVcdObj::CountImageSectors() {
  long long sectors = static_cast<long long>(m_isoSize) + m_sequenceCursor;
  if (m_leadoutPause) sectors += m_pregap;
  if (sectors > kVcdMaxImageSectors) {
    m_messages->Error("image too big (%lld sectors > %d sectors)", sectors,
                      static_cast<int>(kVcdMaxImageSectors));
    return -1;
  }
  int count = static_cast<int>(sectors);
  for (const DiscSize& disc : kDiscSizes) {
    if (count <= disc.sectors) continue;
    char* time = MsfText(count);
    m_messages->Warning("generated image (%d sectors [%s]) may not fit on %smin CDRs (%d sectors)",
                        count, time != NULL ? time : "", disc.minutes, disc.sectors);
    m_messages->Info(">>> use a %smin CDR for this image.", disc.recommended);
    free(time);
    break;
  }
  return count;
}
