// What the conversion control's stand-in does with a source file, without
// any Windows code: it probes MPEG program streams (streams, picture
// format, duration) and cuts a clip out of one into a video and an audio
// elementary stream. Nothing is transcoded: the clip is made of whole GOPs
// (a GOP belongs to the clip whose range holds its first displayed
// picture) and of the audio frames that play beside them.
#pragma once

#include <cstdint>
#include <string>

namespace convctl {

enum AudioKind {
  kAudioNone = 0,
  kAudioMpeg = 1,  // MPEG audio, layer I-III (streams 0xC0-0xDF)
  kAudioAc3 = 2,   // AC-3 in private stream 1, substreams 0x80-0x87
  kAudioLpcm = 3,  // LPCM in private stream 1, substreams 0xA0-0xA7 (not cut)
};

// What a probe learns about a file.
struct SourceInfo {
  bool programStream = false;  // pack headers where a program stream has them
  int packVersion = 0;         // 1 or 2, from the first pack header
  // The first video stream (0xE0-0xEF with a sequence header).
  bool hasVideo = false;
  int videoStreamId = 0;
  int videoVersion = 0;        // 1 MPEG-1, 2 MPEG-2 (sequence extension seen)
  int width = 0, height = 0;   // pixels, lines
  double frameRate = 0;        // frames per second; 0 for unknown codes
  int videoBitRate = 0;        // bits per second from the sequence header
  // The first audio stream with a readable frame header.
  AudioKind audio = kAudioNone;
  int audioStreamId = 0;       // 0xC0-0xDF, or 0xBD for private stream 1
  int audioSubstream = -1;     // substream of private stream 1, else -1
  int audioLayer = 0;          // MPEG audio layer 1-3
  int sampleRate = 0;          // Hz
  int audioBitRate = 0;        // bits per second
  int audioChannels = 0;       // 1 or 2 (MPEG audio); the main channels of AC-3
  // Time line.
  double firstPts = 0;         // earliest time stamp seen at the start, seconds
  double duration = 0;         // from the earliest start to the latest end, seconds
};

// Probe results.
enum ProbeResult {
  kProbeOk = 0,
  kProbeCannotOpen = -1,
  kProbeNotProgramStream = -2,  // no pack header where one must be
  kProbeNoStreams = -3,         // packs, but neither video nor audio found
};

// Reads the first and the last few megabytes of the file. Fills *info as
// far as it got.
int ProbeSource(const char* path, SourceInfo* info);
// A short English text for a probe result.
const char* ProbeResultText(int result);

// Called by CutClip while it works, on its thread.
class ClipObserver {
public:
  virtual ~ClipObserver() = default;
  // false ends the cut (cancel).
  virtual bool Continue() = 0;
  // How far the cut got, in seconds of the source from the clip's start.
  virtual void Progress(double seconds) = 0;
};

struct ClipRequest {
  const char* input = nullptr;
  const char* videoOutput = nullptr;
  const char* audioOutput = nullptr;
  double start = 0;  // seconds from the source's first time stamp
  double stop = 0;   // the same; <= start means "to the end"
};

enum ClipResult {
  kClipOk = 0,
  kClipCancelled = 1,
  kClipCannotRead = 2,
  kClipCannotWrite = 3,
  kClipNothingInRange = 4,   // no GOP starts inside the range
  kClipUnsupported = 5,      // the probe says it cannot be cut (see SourceInfo)
};

// What a cut wrote.
struct ClipReport {
  double videoStart = 0, videoEnd = 0;  // the GOPs taken, seconds of the source
  int gops = 0;                          // GOPs written
  int audioFrames = 0;                   // audio frames written
  int64_t videoBytes = 0, audioBytes = 0;
};

// Cuts [start, stop) of a probed source into the two elementary streams.
// Output files are written whole or, on any failure or cancel, removed.
int CutClip(const ClipRequest& request, const SourceInfo& source, ClipObserver* observer,
            ClipReport* report);
const char* ClipResultText(int result);

// ---- Parsing pieces (exposed for tests and the fuzz target) -----------------

// One unit of a program stream.
struct PsUnit {
  enum Kind { kPack, kSystemHeader, kPes, kEnd };
  Kind kind = kPack;
  int streamId = 0;               // the start code's last byte
  int packVersion = 0;            // pack headers: 1 or 2
  const uint8_t* payload = nullptr;  // PES: the bytes after the PES header
  int payloadLength = 0;
  bool hasPts = false;
  int64_t pts = 0;                // 90 kHz
};

// Parses the unit that starts at data[0] (a start code 00 00 01 xx).
// Returns the bytes it takes (> 0), 0 when more bytes are needed to tell,
// or -1 when no unit of a program stream starts here.
int ParsePsUnit(const uint8_t* data, size_t available, PsUnit* unit);

// Frame header of MPEG audio at data[0..3]: the frame's length in bytes
// and its samples, or 0 when the bytes are no usable header.
int MpegAudioFrameLength(const uint8_t* header, int* samples, int* sampleRate, int* bitRate,
                         int* layer);
// The same for an AC-3 sync frame (needs 5 bytes).
int Ac3FrameLength(const uint8_t* header, int* sampleRate, int* bitRate);

}  // namespace convctl
