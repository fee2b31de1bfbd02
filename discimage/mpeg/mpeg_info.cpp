#include "discimage/mpeg/mpeg_info.h"

#include <algorithm>

int MpegApsList::LowerBound(int packetNumber) const {
  auto it = std::lower_bound(
      m_entries.begin(), m_entries.end(), packetNumber,
      [](const MpegApsEntry& entry, int packet) { return entry.packetNumber < packet; });
  return static_cast<int>(it - m_entries.begin());
}

int ClassifyPacket(const MpegPacketInfo* info) {
  if (info == NULL) return kMpegPacketUnknown;
  for (int i = 0; i < kMpegStreamSlots; ++i)
    if (info->video[i]) return kMpegPacketVideo;
  for (int i = 0; i < kMpegStreamSlots; ++i)
    if (info->audio[i]) return kMpegPacketAudio;
  if (info->empty) return kMpegPacketEmpty;
  for (int i = 0; i < kMpegOgtChannels; ++i)
    if (info->ogt[i]) return kMpegPacketOgt;
  if (info->systemHeader || info->padding) return kMpegPacketPadding;
  return kMpegPacketUnknown;
}

int ClassifyVideo(const MpegVideoInfo* video) {
  if (video == NULL) return kMpegVideoUnknown;
  // Searched in this order; the frame rates are the parser's own table
  // values, so an exact comparison is meant.
  static const struct {
    int code;
    int horizontal;
    int vertical;
    double frameRate;
  } kFormats[] = {
      {kMpegVideoFilmSif, 352, 240, 23.976},   {kMpegVideoPalSif, 352, 288, 25.0},
      {kMpegVideoNtscSif, 352, 240, 29.97},    {kMpegVideoPalHalfD1, 480, 576, 25.0},
      {kMpegVideoNtscHalfD1, 480, 480, 29.97},
  };
  for (const auto& format : kFormats)
    if (video->horizontalSize == format.horizontal && video->verticalSize == format.vertical &&
        video->frameRate == format.frameRate)
      return format.code;
  return kMpegVideoUnknown;
}

void FreeApsLists(MpegStreamInfo* info) {
  if (info == NULL) return;
  for (int i = 0; i < kMpegStreamSlots; ++i) {
    delete info->video[i].apsList;
    info->video[i].apsList = NULL;
  }
}
