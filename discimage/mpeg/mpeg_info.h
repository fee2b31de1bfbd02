// What the program stream parser learns: MpegPacketInfo about the pack it
// just parsed, MpegStreamInfo accumulated over a whole file, and the access
// point (APS) lists of the video streams. The scanner keeps the stream
// information of every MPEG source; the project, the layout and the
// information files read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum {
  kMpegPacketSize = 2324,  // one Mode 2 Form 2 payload: a VideoCD packet
  kMpegStreamSlots = 3,    // video 0xE0-0xE2, audio 0xC0-0xC2
  kMpegOgtChannels = 4,    // SVCD subtitle channels 0-3
  kMpegScanDataSize = 14,  // SVCD scan information item: tag, length, 4 x 3 bytes
};

// Access point types, from the headers that precede the I picture in its
// payload.
enum {
  kMpegApsNone = 0,
  kMpegApsIPicture = 1,        // I picture, no GOP header before it
  kMpegApsGopI = 2,            // GOP header, then the I picture
  kMpegApsSeqGopI = 3,         // sequence header, GOP header, I picture
  kMpegApsSeqGopIAtStart = 4,  // the same with the sequence header first in the payload
};

// ClassifyPacket results.
enum {
  kMpegPacketUnknown = 0,
  kMpegPacketVideo = 1,
  kMpegPacketAudio = 2,
  kMpegPacketOgt = 3,
  kMpegPacketEmpty = 4,
  kMpegPacketPadding = 5,  // system header or padding only
};

// ClassifyVideo results: the video formats a disc knows.
enum {
  kMpegVideoUnknown = 0,
  kMpegVideoPalSif = 1,      // 352x288, 25
  kMpegVideoNtscSif = 2,     // 352x240, 29.97
  kMpegVideoFilmSif = 3,     // 352x240, 23.976
  kMpegVideoPalHalfD1 = 4,   // 480x576, 25
  kMpegVideoNtscHalfD1 = 5,  // 480x480, 29.97
};

// One access point: a packet that begins an I picture.
struct MpegApsEntry {
  int32_t packetNumber;  // from 0
  int32_t reserved;      // 0
  double pts;            // seconds; from the stream's minimum PTS once scanned
};

// The access points of one video stream in packet order. The scanner appends
// them as it finds them; packet numbers ascend and PTS never decrease (the
// parser drops access points that go back in time), which lets lookups
// search instead of walking the whole list for every packet.
class MpegApsList {
public:
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  bool IsEmpty() const { return m_entries.empty(); }
  const MpegApsEntry& GetAt(int index) const { return m_entries[static_cast<size_t>(index)]; }
  MpegApsEntry& GetAt(int index) { return m_entries[static_cast<size_t>(index)]; }
  void Add(int packetNumber, double pts) {
    m_entries.push_back(MpegApsEntry{packetNumber, 0, pts});
  }

  // Index of the first entry whose packet number is at or beyond packetNumber
  // (GetCount() when none is).
  int LowerBound(int packetNumber) const;

private:
  std::vector<MpegApsEntry> m_entries;
};

struct MpegVideoInfo {
  int32_t seen;            // a sequence header of this stream was read
  int32_t horizontalSize;  // pixels
  int32_t verticalSize;    // lines
  double aspectRatio;      // MPEG-1 pel aspect ratio of the code; 0 for codes 0 and 15
  double frameRate;        // frames per second; 0 for unknown codes
  int32_t bitRate;         // bits per second
  int32_t vbvBufferSize;   // bits
  int32_t constrained;     // constrained parameters flag
  MpegApsList* apsList;    // owned by whoever holds the stream information; may be NULL
  double lastApsPts;       // PTS of the last access point taken, seconds
};

struct MpegAudioInfo {
  int32_t seen;          // an audio frame header of this stream was read
  int32_t layer;         // 1-3; 0 reserved
  int32_t bitRate;       // the standard's kbit/s value x 1024
  int32_t samplingRate;  // Hz; 0 for the reserved code
  int32_t mode;          // 1 stereo, 2 joint stereo, 3 dual channel, 4 single channel
};

// The scan result of one MPEG file.
struct MpegStreamInfo {
  int32_t packetCount;                    // packs in the file (all-zero blocks included)
  int32_t version;                        // 1 or 2 from the first pack header; 0 unknown
  int32_t ogt[kMpegOgtChannels];          // a subtitle packet of the channel was seen
  MpegVideoInfo video[kMpegStreamSlots];  // streams 0xE0, 0xE1, 0xE2
  MpegAudioInfo audio[kMpegStreamSlots];  // streams 0xC0, 0xC1, 0xC2
  int32_t muxRate;                        // of the last pack header, bits per second
  int32_t ptsSeen;                        // any PTS was read
  double minPts;                          // seconds
  double maxPts;                          // seconds
  double playingTime;                     // maxPts - minPts, seconds
  int32_t scanDataCount;                  // scan information items seen
  int32_t scanDataErrors;                 // scan data errors reported; reports stop after 8
};

// What one pack holds; cleared by every parse.
struct MpegPacketInfo {
  int32_t video[kMpegStreamSlots];  // a PES packet of 0xE0-0xE2 (or a system header entry)
  int32_t audio[kMpegStreamSlots];  // the same for 0xC0-0xC2
  int32_t ogt[kMpegOgtChannels];    // an SVCD subtitle packet of the channel
  int32_t padding;                  // stream 0xBE
  int32_t endCode;                  // program end code inside the pack
  int32_t empty;                    // the whole block is zero bytes
  int32_t systemHeader;             // 0x000001BB
  uint8_t* scanData;                // the last scan information item inside the block, or NULL
  int32_t apsType;                  // kMpegAps*
  double apsPts;                    // seconds
  int32_t apsStream;                // video stream index 0-2 of the access point
  int32_t hasPts;                   // a PTS was read in this pack
  double pts;                       // seconds
  int64_t scr;                      // MPEG-1: 90 kHz; MPEG-2: base x 300 + extension (27 MHz)
  int32_t muxRate;                  // bits per second
  int32_t gopSeen;                  // a GOP header was read
  uint8_t gopTimeCode[4];           // hours, minutes, seconds, pictures
  uint8_t reserved[8];              // zero
};

// Where the picture of a scan information item lies against the first I
// picture that starts in the same pack: the pack's access point is the next
// I picture of a picture before it, the previous one of a picture behind it,
// and neither of the I picture itself.
enum {
  kMpegScanBeforeI = 0,
  kMpegScanOfI = 1,
  kMpegScanAfterI = 2,
};

// One scan information item of the pack just parsed, or the part of one
// that lies in it: an item the encoder put at the end of a PES packet's
// payload goes on at the start of the stream's next payload, in a later pack.
struct MpegScanItem {
  uint16_t offset;  // in the block, of the item's byte number first
  uint8_t picture;  // kMpegScan*; for an item's first part (first 0) only
  uint8_t first;    // the item's first byte here: 0, or where its rest goes on
  uint8_t count;    // the item's bytes here: kMpegScanDataSize for a whole item
  uint8_t stream;   // video stream index 0-2
};

// Every scan information item of the pack just parsed: each picture carries
// its own, and a pack may hold many pictures. Room for a pack made of items
// only and the parts of two items split at its ends, so none is ever lost.
struct MpegScanItems {
  enum { kCapacity = kMpegPacketSize / kMpegScanDataSize + 2 };
  int32_t count;  // items in use; the rest of the array is undefined
  MpegScanItem items[kCapacity];
};

// An item whose start ended a video stream's payload, waiting for its rest
// in the stream's next one.
struct MpegScanSplit {
  int32_t have;                       // bytes seen so far; 0 when none waits
  uint8_t bytes[kMpegScanDataSize];  // those bytes
};

// Everything a parse reads and writes; the caller zeroes it once per file.
struct MpegParserState {
  MpegPacketInfo packet;                     // the pack just parsed
  MpegStreamInfo stream;                     // accumulated over the file
  MpegScanItems scan;                        // the pack's scan information items (with analysis)
  MpegScanSplit split[kMpegStreamSlots];     // per video stream, across packs (with analysis)
};

// Video first, then audio, empty, subtitle, system header or padding.
int ClassifyPacket(const MpegPacketInfo* info);
// The video format of a stream whose size and frame rate match a known one
// exactly; kMpegVideoUnknown otherwise.
int ClassifyVideo(const MpegVideoInfo* video);

// Deletes the three APS lists and clears their pointers.
void FreeApsLists(MpegStreamInfo* info);
