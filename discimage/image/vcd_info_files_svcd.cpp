// The SuperVCD tables: SVCD/TRACKS.SVD, SVCD/SEARCH.DAT and
// EXT/SCANDATA.DAT. The two scan tables give a player one address every
// half second of playing time, the nearest access point (I picture) to it.
#include <cmath>
#include <cstring>
#include <vector>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/image/vcd_info_files.h"
#include "discimage/image/vcd_info_files_internal.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/model/vcd_project.h"
#include "discimage/model/vcd_sequence.h"

using namespace vcd_info;

namespace {

enum {
  kTracksCount = 10,
  kTracksFirst = 11,
  kSearchCount = 10,
  kSearchInterval = 12,
  kScandataPoints = 10,
  kScandataTracks = 12,
  kScandataTimes = 16,
  kMax16 = 0xFFFF,
};

const CMpegSequence* SequenceAt(POSITION* pos, const CSequenceList& sequences) {
  return static_cast<const CMpegSequence*>(sequences.GetNext(*pos));
}

// The access points of one track as absolute sectors and times (seconds
// from the start of the track, plus offset).
void CollectPoints(const CVcdObj* project, const CMpegSequence* sequence, double offset,
                   std::vector<int>* sectors, std::vector<double>* times) {
  const MpegApsList* list = AccessPoints(sequence->GetStreamInfo());
  if (list == NULL) return;
  int start = TrackDataStart(project, sequence);
  for (int i = 0; i < list->GetCount(); ++i) {
    sectors->push_back(list->GetAt(i).packetNumber + start);
    times->push_back(list->GetAt(i).pts + offset);
  }
}

// The half-second addresses over the points, from at.
void PutScanPoints(uint8_t* at, const std::vector<int>& sectors, const std::vector<double>& times,
                   int count) {
  std::vector<int> picks = VcdNearestScanPoints(times, count);
  for (int i = 0; i < count; ++i, at += 3) {
    if (picks[static_cast<size_t>(i)] < 0) continue;  // no access point: 00 00 00
    PutAddress(at, sectors[static_cast<size_t>(picks[static_cast<size_t>(i)])]);
  }
}

double Modulo100Minutes(double seconds) { return std::fmod(seconds, kVcdMaxPlayingSeconds); }

// Scan points of the whole disc and of its tracks.
struct PointCounts {
  int total;                  // ceil(2 x playing time of all tracks)
  std::vector<int> perTrack;  // ceil(2 x playing time of each)
  long long sum;              // of perTrack
};

PointCounts CountPoints(const CVcdObj* project) {
  PointCounts counts = {0, {}, 0};
  double total = 0.0;
  const CSequenceList& sequences = project->Sequences();
  for (POSITION pos = sequences.GetHeadPosition(); pos != NULL;) {
    double time = PlayingTime(SequenceAt(&pos, sequences)->GetStreamInfo());
    total += time;
    counts.perTrack.push_back(VcdScanPointCount(time));
    counts.sum += counts.perTrack.back();
  }
  counts.total = VcdScanPointCount(total);
  return counts;
}

}  // namespace

int VcdSearchDatSize(const CVcdObj* project) {
  PointCounts counts = CountPoints(project);
  if (counts.total > kMax16) {
    project->Messages()->Error("SVCD/SEARCH.DAT: %d scan points do not fit the table (max %d)",
                               counts.total, kMax16);
    return -1;
  }
  return kVcdSearchHeaderSize + 3 * counts.total;
}

int VcdScandataDatSize(const CVcdObj* project) {
  PointCounts counts = CountPoints(project);
  int tracks = static_cast<int>(counts.perTrack.size());
  long long lastIndex = 3LL * tracks + 3LL * (counts.sum - (tracks > 0 ? counts.perTrack.back() : 0));
  if (counts.total > kMax16 || lastIndex > kMax16) {
    project->Messages()->Error("EXT/SCANDATA.DAT: %lld scan points do not fit the table", counts.sum);
    return -1;
  }
  return kVcdScandataHeaderSize + 6 * tracks + static_cast<int>(3 * counts.sum);
}

void VcdWriteTracksSvd(CVcdObj* project, uint8_t* buffer) {
  CVcdMessageSink* messages = project->Messages();
  memset(buffer, 0, kVcdInfoFileSize);
  memcpy(buffer, "TRACKSVD", 8);
  buffer[8] = 1;
  const CSequenceList& sequences = project->Sequences();
  int tracks = static_cast<int>(sequences.GetCount());
  buffer[kTracksCount] = static_cast<uint8_t>(tracks);
  bool olderForm = project->GetType() == kVcdTypeSvcd && project->GetSvcdTrackSvd();

  int index = 0;
  for (POSITION pos = sequences.GetHeadPosition(); pos != NULL; ++index) {
    const MpegStreamInfo* info = SequenceAt(&pos, sequences)->GetStreamInfo();
    if (olderForm) {
      uint8_t* track = buffer + kTracksFirst + 5 * index;
      VcdPutPlayingTime(track, Modulo100Minutes(VcdCumulativePlayingTime(project, index + 1)));
      uint8_t subtitles = 0;
      for (int channel = 0; channel < kMpegOgtChannels; ++channel)
        if (info != NULL && info->ogt[channel]) subtitles |= static_cast<uint8_t>(1u << (2 * channel));
      track[3] = subtitles;
      track[4] = static_cast<uint8_t>((info != NULL && info->audio[0].seen ? 0x02 : 0) |
                                      (info != NULL && info->audio[1].seen ? 0x20 : 0));
      continue;
    }
    double time = PlayingTime(info);
    uint8_t* playing = buffer + kTracksFirst + 3 * index;
    if (time >= kVcdMaxPlayingSeconds) {
      messages->Warning(
          "SVCD/TRACKS.SVD: playing time value (%d seconds) to great, clipping to 100 minutes",
          static_cast<int>(time));
      playing[0] = 0x99;
      playing[1] = 0x59;
      playing[2] = 0x74;
    } else {
      VcdPutPlayingTime(playing, time);
    }
    int video = VcdVideoContentType(project, info);
    if (video != 3 && video != 7)
      messages->Warning("SVCD/TRACKS.SVCD: No MPEG motion video for track #%d?", index);
    buffer[kTracksFirst + 3 * tracks + index] = static_cast<uint8_t>(
        VcdAudioContentType(project, info) | video << 2 | VcdSubtitleContentType(project, info) << 6);
  }
}

int VcdWriteSearchDat(CVcdObj* project, uint8_t* buffer, size_t size) {
  int bytes = VcdSearchDatSize(project);
  if (bytes < 0 || static_cast<size_t>(bytes) > size) return -1;
  memset(buffer, 0, size);
  int points = (bytes - kVcdSearchHeaderSize) / 3;
  memcpy(buffer, "SEARCHSV", 8);
  buffer[8] = 1;
  Put16(buffer + kSearchCount, static_cast<unsigned>(points));
  buffer[kSearchInterval] = 1;  // half seconds

  std::vector<int> sectors;
  std::vector<double> times;
  double before = 0.0;
  const CSequenceList& sequences = project->Sequences();
  for (POSITION pos = sequences.GetHeadPosition(); pos != NULL;) {
    const CMpegSequence* sequence = SequenceAt(&pos, sequences);
    CollectPoints(project, sequence, before, &sectors, &times);
    before += PlayingTime(sequence->GetStreamInfo());
  }
  PutScanPoints(buffer + kVcdSearchHeaderSize, sectors, times, points);
  return 0;
}

int VcdWriteScandataDat(CVcdObj* project, uint8_t* buffer, size_t size) {
  int bytes = VcdScandataDatSize(project);
  if (bytes < 0 || static_cast<size_t>(bytes) > size) return -1;
  memset(buffer, 0, size);
  PointCounts counts = CountPoints(project);
  int tracks = static_cast<int>(counts.perTrack.size());
  memcpy(buffer, "SCAN_VCD", 8);
  buffer[8] = 1;
  Put16(buffer + kScandataPoints, static_cast<unsigned>(counts.total));
  Put16(buffer + kScandataTracks, static_cast<unsigned>(tracks));
  for (int k = 0; k < tracks; ++k)
    VcdPutPlayingTime(buffer + kScandataTimes + 3 * k,
                      Modulo100Minutes(VcdCumulativePlayingTime(project, k + 1)));
  uint8_t* table = buffer + kScandataTimes + 3 * tracks;
  Put16(table, static_cast<unsigned>(3 * tracks));
  table += 2;

  uint8_t* points = buffer + kVcdScandataHeaderSize + 6 * tracks;
  int index = 3 * tracks;  // of the first point of the track, from the start of the table above
  int k = 0;
  const CSequenceList& sequences = project->Sequences();
  for (POSITION pos = sequences.GetHeadPosition(); pos != NULL; ++k) {
    const CMpegSequence* sequence = SequenceAt(&pos, sequences);
    table[3 * k] = static_cast<uint8_t>(k + 2);
    Put16(table + 3 * k + 1, static_cast<unsigned>(index));
    std::vector<int> sectors;
    std::vector<double> times;
    CollectPoints(project, sequence, 0.0, &sectors, &times);
    int count = counts.perTrack[static_cast<size_t>(k)];
    PutScanPoints(points, sectors, times, count);
    points += 3 * count;
    index += 3 * count;
  }
  return 0;
}
