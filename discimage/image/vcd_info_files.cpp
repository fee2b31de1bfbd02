// INFO and ENTRIES, and what every information file shares: content types,
// playing times and the half-second scan point walk.
#include "discimage/image/vcd_info_files.h"

#include <cmath>
#include <cstring>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/image/vcd_info_files_internal.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"
#include "discimage/model/vcd_segment.h"
#include "discimage/model/vcd_sequence.h"
#include "discimage/base/vcd_util.h"

namespace {

// INFO, by byte offset.
enum {
  kInfoSystemId = 0,
  kInfoVersion = 8,
  kInfoProfile = 9,
  kInfoAlbumId = 10,
  kInfoAlbumIdSize = 16,
  kInfoVolumeCount = 26,
  kInfoVolumeNumber = 28,
  kInfoPalFlags = 30,
  kInfoFlags = 43,
  kInfoPsdSize = 44,
  kInfoFirstSegment = 48,
  kInfoOffsetMultiplier = 51,
  kInfoListIds = 52,
  kInfoSegments = 54,
  kInfoSegmentContent = 56,
};

// ENTRIES, by byte offset.
enum {
  kEntriesVersion = 8,
  kEntriesProfile = 9,
  kEntriesCount = 10,
  kEntriesFirst = 12,
  kEntrySize = 4,
};

// INFO's flags byte.
enum {
  kInfoRestrictionShift = 1,
  kInfoNextVolumeLid2 = 0x20,
  kInfoNextVolumeSequence2 = 0x40,
  kInfoExtendedPsd = 0x80,
};

enum { kSegmentContinued = 0x20 };

struct DiscIdentity {
  const char* systemId;  // 8 characters
  uint8_t version;
  uint8_t profile;
};

// By VCD type 1 to 5.
const DiscIdentity kIdentities[] = {
    {"VIDEO_CD", 1, 0},  // VCD 1.0
    {"VIDEO_CD", 1, 1},  // VCD 1.1
    {"VIDEO_CD", 2, 0},  // VCD 2.0
    {"SUPERVCD", 1, 0},  // SVCD
    {"HQ-VCD  ", 1, 1},  // HQ-VCD
};

bool IsTallPicture(const MpegVideoInfo& video) {
  return video.verticalSize == 288 || video.verticalSize == 576;
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared pieces

namespace vcd_info {

void Put16(uint8_t* out, unsigned value) {
  out[0] = static_cast<uint8_t>(value >> 8);
  out[1] = static_cast<uint8_t>(value);
}

void Put32(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value >> 24);
  out[1] = static_cast<uint8_t>(value >> 16);
  out[2] = static_cast<uint8_t>(value >> 8);
  out[3] = static_cast<uint8_t>(value);
}

void PutAddress(uint8_t* out, int sector) { LbaToMsf(sector + kVcdAddressOffset, out); }

double PlayingTime(const MpegStreamInfo* info) {
  if (info == NULL || !(info->playingTime > 0.0) || !std::isfinite(info->playingTime)) return 0.0;
  return info->playingTime;
}

const MpegApsList* AccessPoints(const MpegStreamInfo* info) {
  if (info == NULL) return NULL;
  for (const MpegVideoInfo& video : info->video)
    if (video.apsList != NULL && !video.apsList->IsEmpty()) return video.apsList;
  return NULL;
}

int TrackDataStart(const CVcdObj* project, const CMpegSequence* sequence) {
  return project->GetIsoSize() + sequence->GetRelativeStart() + project->GetFrontMargin();
}

bool HasPbc(const CVcdObj* project) {
  return !project->PbcLists().IsEmpty() && project->HasCapability(kVcdCapPbc);
}

}  // namespace vcd_info

using namespace vcd_info;

int VcdScanPointCount(double seconds) {
  if (!(seconds > 0.0) || !std::isfinite(seconds)) return 0;
  double points = std::ceil(seconds * 2.0);
  return points > 1e9 ? 1000000000 : static_cast<int>(points);
}

void VcdPutPlayingTime(uint8_t* out, double seconds) {
  if (!(seconds > 0.0)) seconds = 0.0;
  double whole = std::floor(seconds);
  int total = static_cast<int>(whole);
  // A hair over the product, so that 10.2 s is 15 frames and not the 14
  // that 0.19999... x 75 would floor to.
  int frames = static_cast<int>(std::floor((seconds - whole) * 75.0 + 1e-6));
  if (frames > 74) frames = 74;
  out[0] = ToBcd(total / 60);
  out[1] = ToBcd(total % 60);
  out[2] = ToBcd(frames);
}

double VcdCumulativePlayingTime(const CVcdObj* project, int count) {
  const CSequenceList& sequences = project->Sequences();
  if (count > static_cast<int>(sequences.GetCount())) {
    const char* file = strrchr(__FILE__, '/');
    project->Messages()->Warning("internal error in <%s> at function \"_get_cumulative_playing_time\"",
                                 file != NULL ? file + 1 : __FILE__);
  }
  double total = 0.0;
  int index = 0;
  for (POSITION pos = sequences.GetHeadPosition(); pos != NULL && index < count; ++index) {
    const CMpegSequence* sequence = static_cast<const CMpegSequence*>(sequences.GetNext(pos));
    total += PlayingTime(sequence->GetStreamInfo());
  }
  return total;
}

std::vector<int> VcdNearestScanPoints(const std::vector<double>& times, int count) {
  std::vector<int> picks(static_cast<size_t>(count > 0 ? count : 0), -1);
  if (times.empty()) return picks;
  size_t current = 0;
  for (int i = 0; i < count; ++i) {
    double t = i / 2.0;
    while (current + 1 < times.size() &&
           std::fabs(times[current + 1] - t) < std::fabs(times[current] - t))
      ++current;
    picks[static_cast<size_t>(i)] = static_cast<int>(current);
  }
  return picks;
}

int VcdVideoContentType(const CVcdObj* project, const MpegStreamInfo* info) {
  if (info == NULL) return 0;
  if (info->video[0].seen) return IsTallPicture(info->video[0]) ? 7 : 3;
  if (info->video[2].seen) {
    if (project->HasCapability(kVcdCapSvcdFiles))
      project->Messages()->Warning(
          "stream with 0xE2 still stream id not allowed for IEC62107 compliant SVCDs");
    return IsTallPicture(info->video[2]) ? 6 : 2;
  }
  if (info->video[1].seen) return IsTallPicture(info->video[1]) ? 5 : 1;
  return 0;
}

int VcdAudioContentType(const CVcdObj* project, const MpegStreamInfo* info) {
  if (info == NULL || !info->audio[0].seen) return 0;
  if (project->HasCapability(kVcdCapSvcdFiles)) {
    if (info->audio[2].seen) return 3;
    if (info->audio[1].seen) return 2;
    return 1;
  }
  switch (info->audio[0].mode) {
    case 1: case 2: return 2;  // stereo, joint stereo
    case 3: return 3;          // dual channel
    case 4: return 1;          // single channel
    default: return 0;
  }
}

int VcdSubtitleContentType(const CVcdObj* project, const MpegStreamInfo* info) {
  if (info == NULL || !project->HasCapability(kVcdCapSvcdFiles)) return 0;
  const int32_t* ogt = info->ogt;
  if ((ogt[2] || ogt[3]) && ogt[0] && ogt[1]) return 3;
  if (ogt[0] && ogt[1]) return 2;
  if (ogt[0]) return 1;
  return 0;
}

// ---------------------------------------------------------------------------
// INFO

void VcdWriteInfo(CVcdObj* project, uint8_t* buffer) {
  CVcdMessageSink* messages = project->Messages();
  memset(buffer, 0, kVcdInfoFileSize);
  int type = project->GetType();
  const DiscIdentity& identity = kIdentities[type >= 1 && type <= 5 ? type - 1 : 2];
  memcpy(buffer + kInfoSystemId, identity.systemId, 8);
  buffer[kInfoVersion] = identity.version;
  buffer[kInfoProfile] = identity.profile;
  CopyIdentifier(messages, reinterpret_cast<char*>(buffer + kInfoAlbumId), project->GetAlbumId(),
                 kInfoAlbumIdSize, kVcdCheckDChars);
  Put16(buffer + kInfoVolumeCount, static_cast<unsigned>(project->GetVolumeCount()));
  Put16(buffer + kInfoVolumeNumber, static_cast<unsigned>(project->GetVolumeNumber()));

  if (project->HasCapability(kVcdCapTrackEntries)) {
    int track = 0;
    const CSequenceList& sequences = project->Sequences();
    for (POSITION pos = sequences.GetHeadPosition(); pos != NULL; ++track) {
      const CMpegSequence* sequence = static_cast<const CMpegSequence*>(sequences.GetNext(pos));
      const MpegStreamInfo* info = sequence->GetStreamInfo();
      if (info == NULL || track >= kVcdInfoPalFlagBytes * 8) continue;
      int norm = ClassifyVideo(&info->video[0]);
      bool pal = norm == kMpegVideoPalSif || norm == kMpegVideoPalHalfD1;
      if (!pal && IsTallPicture(info->video[0])) {
        messages->Warning(
            "INFO.{VCD,SVD}: assuming PAL-type resolution for track #%d -- are we creating a X(S)VCD?",
            track);
        pal = true;
      }
      if (pal) buffer[kInfoPalFlags + track / 8] |= static_cast<uint8_t>(1u << (track % 8));
    }
  }

  bool pbc = HasPbc(project);
  if (project->HasCapability(kVcdCapPbc)) {
    uint8_t flags = static_cast<uint8_t>((project->GetRestriction() & 3) << kInfoRestrictionShift);
    if (project->GetNextVolumeLid2()) flags |= kInfoNextVolumeLid2;
    if (project->GetNextVolumeSequence2()) flags |= kInfoNextVolumeSequence2;
    if (pbc && project->HasCapability(kVcdCapExtPsd)) flags |= kInfoExtendedPsd;
    buffer[kInfoFlags] = flags;
  }
  Put32(buffer + kInfoPsdSize, pbc ? static_cast<uint32_t>(project->PbcLists().GetPsdSize()) : 0);

  const CSegmentList& segments = project->Segments();
  if (!segments.IsEmpty()) PutAddress(buffer + kInfoFirstSegment, project->GetSegmentStart());
  buffer[kInfoOffsetMultiplier] = pbc ? kPsdOffsetUnit : 0;
  Put16(buffer + kInfoListIds, pbc ? static_cast<unsigned>(project->PbcLists().GetListIdCount()) : 0);
  Put16(buffer + kInfoSegments, static_cast<unsigned>(project->SegmentTotal()));

  if (!segments.IsEmpty() && !pbc)
    messages->Warning("segment items available, but no PBC items set! SPIs will be unreachable");
  int at = kInfoSegmentContent;
  for (POSITION pos = segments.GetHeadPosition(); pos != NULL;) {
    const CMpegSegment* segment = static_cast<const CMpegSegment*>(segments.GetNext(pos));
    const MpegStreamInfo* info = segment->GetStreamInfo();
    int content = VcdAudioContentType(project, info) | VcdVideoContentType(project, info) << 2 |
                  VcdSubtitleContentType(project, info) << 6;
    if ((content & 0x1F) == 0)
      messages->Warning("segment item '%s' seems contains neither video nor audio",
                        segment->GetId().GetString());
    for (int i = 0; i < segment->GetSegmentCount() && at < kVcdInfoFileSize; ++i)
      buffer[at++] = static_cast<uint8_t>(i == 0 ? content : content | kSegmentContinued);
  }
}

// ---------------------------------------------------------------------------
// ENTRIES

void VcdWriteEntries(CVcdObj* project, uint8_t* buffer) {
  memset(buffer, 0, kVcdInfoFileSize);
  bool entrySvd = project->GetType() == kVcdTypeSvcd && project->GetSvcdEntrySvd();
  if (entrySvd)
    project->Messages()->Warning("setting ENTRYSVD signature for *DEPRECATED* VCD 3.0 type SVCD");
  memcpy(buffer, entrySvd ? "ENTRYSVD" : "ENTRYVCD", 8);
  buffer[kEntriesVersion] = project->GetType() == kVcdType20 ? 2 : 1;
  buffer[kEntriesProfile] = 0;

  const int capacity = (kVcdInfoFileSize - kEntriesFirst) / kEntrySize;
  int count = 0;
  int track = 2;
  const CSequenceList& sequences = project->Sequences();
  for (POSITION pos = sequences.GetHeadPosition(); pos != NULL; ++track) {
    const CMpegSequence* sequence = static_cast<const CMpegSequence*>(sequences.GetNext(pos));
    int trackStart = project->GetIsoSize() + sequence->GetRelativeStart();
    if (count < capacity) {
      uint8_t* entry = buffer + kEntriesFirst + kEntrySize * count++;
      entry[0] = ToBcd(track);
      PutAddress(entry + 1, trackStart);
    }
    const CVcdTimedList& entries = sequence->Entries();
    for (POSITION at = entries.GetHeadPosition(); at != NULL && count < capacity;) {
      const CVcdEntry* point = static_cast<const CVcdEntry*>(entries.GetNext(at));
      uint8_t* entry = buffer + kEntriesFirst + kEntrySize * count++;
      entry[0] = ToBcd(track);
      PutAddress(entry + 1, trackStart + project->GetFrontMargin() + point->Record()->packet);
    }
  }
  Put16(buffer + kEntriesCount, static_cast<unsigned>(count));
}
