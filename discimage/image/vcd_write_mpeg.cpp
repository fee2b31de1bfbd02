// Writing the MPEG parts of an image: segment items in track 1 and the MPEG
// tracks. Every packet is read once, in order, from where the scan found it,
// and becomes one Form 2 sector whose subheader tells the player what it
// carries.
#include <cstdio>
#include <cstring>
#include <string>

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/model/vcd_project.h"
#include "discimage/image/vcd_write_image.h"

namespace {

// Subheader values of MPEG sectors.
enum {
  kSubmodeMpeg = kVcdSubmodeForm2 | kVcdSubmodeRealTime,  // 0x60
  kSubmodeVideo = kSubmodeMpeg | kVcdSubmodeVideo,        // 0x62
  kSubmodeAudio = kSubmodeMpeg | kVcdSubmodeAudio,        // 0x64
  kCodingVideo = 0x0F,
  kCodingStill = 0x1F,
  kCodingStillHigh = 0x3F,
  kCodingAudio = 0x7F,
  kCodingPadding = 0x1F,
  kCodingMpeg2 = 0x80,
};

// A sequence end code (00 00 01 B7) anywhere in the packet.
bool HasSequenceEnd(const uint8_t* data, int length) {
  for (int i = 0; i + 3 < length; ++i) {
    if (data[i + 2] > 1) {
      i += 2;  // none of the three bytes up to here can start the code
      continue;
    }
    if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && data[i + 3] == 0xB7) return true;
  }
  return false;
}

// Walks an item's auto-pause points in time order along its packets.
class PauseCursor {
public:
  explicit PauseCursor(const CVcdTimedList& pauses)
      : m_pauses(pauses), m_next(pauses.GetHeadPosition()) {}

  // True when a pause falls at or before this packet's time; every pause it
  // passes is reported.
  bool Trigger(const MpegPacketInfo& packet, int number, CVcdMessageSink* messages) {
    if (!packet.hasPts) return false;
    bool trigger = false;
    while (m_next != NULL) {
      POSITION at = m_next;
      const CVcdPause* pause = static_cast<const CVcdPause*>(m_pauses.GetNext(at));
      if (pause->GetTime() > packet.pts) break;
      messages->Debug("setting auto pause trigger for time %f (pts %f) @%d", pause->GetTime(),
                      packet.pts, number);
      trigger = true;
      m_next = at;
    }
    return trigger;
  }

private:
  const CVcdTimedList& m_pauses;
  POSITION m_next;  // the next pause not yet passed
};

std::string VideoText(const MpegStreamInfo* info) {
  const MpegVideoInfo& video = info->video[0];
  switch (ClassifyVideo(&video)) {
    case kMpegVideoPalSif: return "PAL SIF (352x288/25fps)";
    case kMpegVideoNtscSif: return "NTSC SIF (352x240/30fps)";
    case kMpegVideoFilmSif: return "FILM SIF (352x240/24fps)";
    case kMpegVideoPalHalfD1: return "PAL 2/3 D-1 (480x576/25fps)";
    case kMpegVideoNtscHalfD1: return "NTSC 2/3 D-1 (480x480/30fps)";
    default: break;
  }
  const char* format = video.verticalSize == 240 || video.verticalSize == 480
                           ? "NTSC UNKNOWN (%dx%d/%2.2ffps)"
                       : video.verticalSize == 288 || video.verticalSize == 576
                           ? "PAL UNKNOWN (%dx%d/%2.2ffps)"
                           : "UNKNOWN (%dx%d/%2.2ffps)";
  char text[96];
  snprintf(text, sizeof text, format, video.horizontalSize, video.verticalSize, video.frameRate);
  return text;
}

std::string AudioText(const MpegStreamInfo* info) {
  static const char* const kModes[] = {"stereo", "jstereo", "dual", "single"};
  std::string text;
  for (int i = 0; i < kMpegStreamSlots; ++i) {
    const MpegAudioInfo& audio = info->audio[i];
    if (!audio.seen) continue;
    char part[96];
    snprintf(part, sizeof part, "audio[%d]: l%d/%2.1fkHz/%dkbps/%s ", i, audio.layer,
             audio.samplingRate / 1000.0, audio.bitRate / 1024,
             audio.mode >= 1 && audio.mode <= 4 ? kModes[audio.mode - 1] : "");
    text += part;
  }
  return text;
}

}  // namespace

int CVcdImageWriter::WriteSegment(const CMpegSegment* segment) {
  CVcdMpegSource* source = segment->GetSource();
  const MpegStreamInfo* info = segment->GetStreamInfo();
  const int packets = info != NULL ? info->packetCount : 0;
  const int sectors = segment->GetSegmentCount() * kVcdSegmentSectors;
  const bool svcd = m_project->HasCapability(kVcdCapSvcdFiles);
  const int update = m_project->GetUpdateScanOffsets();
  PauseCursor pauses(segment->Pauses());
  int result = kVcdWriteOk;

  uint8_t* payload = PacketBuffer();
  for (int n = 0; n < packets && result == kVcdWriteOk; ++n) {
    MpegPacketInfo packet;
    if (source == NULL || source->ReadPacket(n, payload, &packet, update) != 0) {
      m_messages->Error("could not read packet #%d of segment item '%s'", n,
                        segment->GetId().GetString());
      result = kVcdWriteFailed;
      break;
    }
    int channel = 0, submode = kSubmodeMpeg, coding = 0;
    bool endOfRecord = false;
    switch (ClassifyPacket(&packet)) {
      case kMpegPacketVideo:
        submode = kSubmodeVideo;
        channel = 1;
        coding = kCodingVideo;
        if (packet.video[1] || packet.video[2]) {
          // Still pictures: each ends its record at its sequence end.
          channel = packet.video[2] ? 3 : 2;
          coding = packet.video[2] ? kCodingStillHigh : kCodingStill;
          if (HasSequenceEnd(payload, kMpegPacketSize)) {
            m_messages->Debug("setting EOR for SeqEnd at packet# %d ('%s')", n,
                              segment->GetId().GetString());
            endOfRecord = true;
          }
        }
        break;
      case kMpegPacketAudio:
        submode = kSubmodeAudio;
        channel = 1;
        coding = kCodingAudio;
        break;
      case kMpegPacketPadding:
        coding = kCodingPadding;
        break;
      default:
        break;
    }
    if (svcd) {
      channel = 1;
      submode = kSubmodeVideo;
      coding = kCodingMpeg2;
    }
    if (endOfRecord) submode |= kVcdSubmodeEndOfRecord;
    if (n + 1 == packets) submode |= kVcdSubmodeEndOfFile;
    if (pauses.Trigger(packet, n, m_messages)) submode |= kVcdSubmodeTrigger;
    result = PutPacket(1, channel, submode, coding);
  }
  if (source != NULL) source->Close();
  if (result != kVcdWriteOk) return result;
  return WriteEmpty(sectors - packets, 0, 0, kVcdSubmodeForm2);
}

int CVcdImageWriter::WriteSequence(int index, CMpegSequence* sequence) {
  CVcdObj* p = m_project;
  CVcdMpegSource* source = sequence->GetSource();
  const MpegStreamInfo* info = sequence->GetStreamInfo();
  if (source == NULL || info == NULL) {
    m_messages->Error("internal error: track %d has no MPEG source", index + 2);
    return kVcdWriteFailed;
  }
  m_messages->Info("writing track %d, %s, %s, %s...", index + 2, info->version == 2 ? "MPEG2" : "MPEG1",
                   VideoText(info).c_str(), AudioText(info).c_str());

  const int fileNumber = index + 1;
  int result = WriteEmpty(p->GetPregap(), 0, 0, kVcdSubmodeForm2);
  if (result == kVcdWriteOk)
    result = ExpectSector(p->GetIsoSize() + sequence->GetRelativeStart(), "track");
  if (result == kVcdWriteOk) result = WriteEmpty(p->GetFrontMargin(), fileNumber, 0, kSubmodeMpeg);
  if (result != kVcdWriteOk) return result;

  const bool mpeg2Files = p->HasCapability(kVcdCapSvcdFiles) && !p->GetSvcdMpegavFolder();
  const int update = p->GetUpdateScanOffsets();
  const int packets = info->packetCount;
  int video = 0, audio = 0, zero = 0, ogt = 0, unknown = 0;
  PauseCursor pauses(sequence->Pauses());
  uint8_t* payload = PacketBuffer();
  for (int n = 0; n < packets && result == kVcdWriteOk; ++n) {
    MpegPacketInfo packet;
    if (source->ReadPacket(n, payload, &packet, update) != 0) {
      source->Close();
      m_messages->Error("invalid mpeg packet found at packet# %d -- please fix this mpeg file!", n);
      return kVcdWriteFailed;
    }
    int channel = 0, submode = kSubmodeMpeg, coding = 0;
    switch (ClassifyPacket(&packet)) {
      case kMpegPacketVideo:
        ++video;
        submode = kSubmodeVideo;
        channel = 1;
        coding = kCodingVideo;
        break;
      case kMpegPacketAudio:
        ++audio;
        submode = kSubmodeAudio;
        channel = packet.audio[1] || packet.audio[2] ? 2 : 1;
        coding = kCodingAudio;
        break;
      case kMpegPacketOgt:
        ++ogt;
        submode = kSubmodeVideo;
        channel = 2;
        coding = kCodingVideo;
        break;
      case kMpegPacketEmpty:
        ++zero;
        break;
      default:
        ++unknown;
        break;
    }
    if (n + 1 == packets) submode |= kVcdSubmodeEndOfFile | kVcdSubmodeEndOfRecord;
    if (pauses.Trigger(packet, n, m_messages)) submode |= kVcdSubmodeTrigger;
    result = PutPacket(mpeg2Files ? 1 : fileNumber, channel, submode, mpeg2Files ? kCodingMpeg2 : coding);
  }
  source->Close();
  if (result != kVcdWriteOk) return result;

  result = WriteEmpty(p->GetRearMargin(), fileNumber, 0, kSubmodeMpeg);
  m_messages->Debug("MPEG packet statistics: %d video, %d audio, %d zero, %d ogt, %d unknown", video,
                    audio, zero, ogt, unknown);
  return result;
}
