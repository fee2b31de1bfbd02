// The multiplexer: one video and one audio elementary stream into an MPEG
// program stream for a VideoCD, a SuperVCD or a DVD.
//
// It works in two passes. The plan decides, pack by pack, which stream sends
// how many bytes at which system clock time, from the streams' indexes
// alone: the stream whose next access unit is decoded first sends, as long as
// its decoder buffer can take the packet; when neither can, a CD format sends
// a padding pack (a CD is read at a constant rate) and a DVD lets its clock
// jump. The decoder start delay is raised until no access unit arrives after
// its decoding time. Then the writer reads the streams once, in order, and
// writes the packs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standins/mux/es_index.h"

enum MuxFormatKind { kMuxKindVcd, kMuxKindSvcd, kMuxKindDvd };

struct MuxFormat {
  MuxFormatKind kind;
  bool mpeg2;             // MPEG-2 pack and PES headers
  int packBytes;          // 2324 or 2048
  int sectorBytes;        // bytes a pack takes on the medium at the mux rate
  int muxRateUnits;       // 50 bytes/s
  bool constantPackRate;  // a padding pack when no stream can send
  bool navigationPacks;   // a navigation pack slot before every GOP
  int videoBuffer;        // P-STD buffer sizes, bytes
  int audioBuffer;
  uint8_t audioStreamId;  // 0xC0 MPEG audio; 0xBD private stream 1
  int audioSubstream;     // the audio's substream of private stream 1, or -1
};

// The format for a block format code (1, 4, 8); false for any other. Its
// audio is MPEG audio until CarryAudio says otherwise.
bool MuxFormatFor(int code, MuxFormat* format);

// How the format carries the audio stream: MPEG audio as it is; AC-3 (48
// kHz, at most 448 kbit/s) on a DVD only, in private stream 1. False, with
// the reason, when the format cannot carry it.
bool CarryAudio(const AudioStreamInfo& audio, MuxFormat* format, std::string* why);

struct MuxJob {
  int formatCode = 0;
  std::string video;
  std::string audio;
  std::string output;
  int muxRateUnits = 0;         // 0: the format's own
  int64_t maxOutputBytes = 0;   // 0: no limit
  int startDelayMs = 0;         // 0: found automatically
  int audioOffsetMs = 0;
  bool endCode = true;
  bool removeFailedOutput = true;
};

struct MuxOutcome {
  int result = 0;               // kMuxResult* of muxtools.h
  std::string message;          // what went wrong, for the trace
  int64_t packs = 0;
  int64_t paddingPacks = 0;
  int64_t navigationPacks = 0;
  int64_t startDelay = 0;       // 27 MHz
  int64_t worstLateness = 0;    // 27 MHz; > 0 when a unit arrived late
  int planRounds = 0;
  bool outputCreated = false;   // the output file was opened for writing
  VideoStreamInfo video;
  AudioStreamInfo audio;
};

// One pack of the plan.
enum PackKind : uint8_t { kPackVideo, kPackAudio, kPackPadding, kPackNavigation };
struct PlannedPack {
  int64_t scr;          // 27 MHz
  int64_t esOffset;     // first payload byte in its stream
  int64_t pts;          // when hasPts
  int64_t dts;          // when hasDts
  int32_t payload;      // bytes of the stream
  PackKind kind;
  uint8_t hasPts;
  uint8_t hasDts;
  uint8_t systemHeader;
  uint8_t stdBuffer;    // the first packet of its stream carries its buffer size
  uint8_t stuffing;     // PES header filler (gap below a padding packet's size)
  int16_t padding;      // bytes of the padding packet after the data packet
  uint8_t frames;       // private stream 1: frames beginning in the packet
  uint16_t firstAccess; // private stream 1: where the first of them begins
};

struct MuxPlan {
  std::vector<PlannedPack> packs;
  int64_t worstLateness = 0;
  int64_t paddingPacks = 0;
  int64_t navigationPacks = 0;
};

// Plans the packs for a start delay (27 MHz added to every timestamp).
void PlanPacks(const MuxFormat& format, const EsIndex& video, const EsIndex& audio,
               int64_t startDelay, int64_t audioOffset, MuxPlan* plan);

// Everything: index, check, plan, write. The outcome's result is also the
// return value.
int RunMux(const MuxJob& job, MuxOutcome* outcome);
