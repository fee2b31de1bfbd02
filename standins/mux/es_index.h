// Indexes of elementary streams: where each access unit lies in the file and
// when it is decoded and presented. The multiplexer plans its packs from
// these alone and reads the stream bytes only while writing.
//
// Times are in 27 MHz ticks. Video presentation starts at 0 with the first
// picture shown; audio at 0 with its first frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AccessUnit {
  int64_t offset;       // first byte in the file (headers before a picture included)
  int64_t startCode;    // the byte a timestamp refers to: the picture start code or frame sync
  int32_t size;         // bytes up to the next unit
  int32_t gopStart;     // video: a sequence or GOP header begins this unit
  int64_t pts;
  int64_t dts;
};

struct VideoStreamInfo {
  int mpegVersion = 0;    // 1 or 2
  int width = 0;
  int height = 0;
  int frameRateCode = 0;
  int64_t frameTicks = 0; // one frame, 27 MHz (after the MPEG-2 rate extension)
  int64_t bitRate = 0;    // bits/s from the sequence header; 0 when variable
  int vbvBytes = 0;
};

enum AudioCoding { kAudioMpeg, kAudioAc3 };

struct AudioStreamInfo {
  AudioCoding coding = kAudioMpeg;
  int version = 0;      // MPEG: 1 MPEG-1, 2 MPEG-2, 25 MPEG-2.5
  int layer = 0;        // MPEG: 1-3
  int sampleRate = 0;
  int bitRate = 0;      // bits/s of the first frame
  int channels = 0;     // AC-3: the LFE channel counts
  int samplesPerFrame = 0;
};

struct EsIndex {
  std::vector<AccessUnit> units;  // decode order
  int64_t fileSize = 0;
  int64_t duration = 0;           // presentation time covered, 27 MHz
  std::string error;              // why indexing failed
};

// Indexing results.
enum {
  kIndexOk = 0,
  kIndexCannotRead = -1,
  kIndexBadStream = -2,
};

// Video elementary stream (MPEG-1 or MPEG-2): units from picture to picture,
// presentation order from the anchor-picture rule, durations from the frame
// rate and repeat_first_field.
int IndexVideoStream(const std::string& path, VideoStreamInfo* info, EsIndex* index);
// MPEG audio (layers I-III) or AC-3, whichever frame comes first: one unit
// per frame, resynchronising over junk.
int IndexAudioStream(const std::string& path, AudioStreamInfo* info, EsIndex* index);

// The same from memory (tests and fuzzing).
int IndexVideoBytes(const uint8_t* data, size_t size, VideoStreamInfo* info, EsIndex* index);
int IndexAudioBytes(const uint8_t* data, size_t size, AudioStreamInfo* info, EsIndex* index);

// Frame header of MPEG audio at p (4 bytes): its length in bytes, or 0 when
// it is none. info receives what it says.
int ParseAudioHeader(const uint8_t* p, AudioStreamInfo* info);
// The same for an AC-3 sync frame header (7 bytes at p). E-AC-3 and
// reserved codes are none.
int ParseAc3Header(const uint8_t* p, AudioStreamInfo* info);
// True when p (6 bytes) opens an E-AC-3 frame: named in refusals.
bool IsEnhancedAc3Header(const uint8_t* p);
