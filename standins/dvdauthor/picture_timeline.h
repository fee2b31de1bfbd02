// The presentation time of every picture of an MPEG video stream, learned
// from its picture start codes rather than from the packets' timestamps
// alone. A multiplexer stamps only some packets, and the last pictures of a
// stream often start in packets without a timestamp: counted from the
// stamps, such a stream would end early. Here a picture whose packet carries
// a timestamp for it takes that time; every other one is placed by its
// temporal reference within its GOP and the frame rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class PictureTimeline {
public:
  struct Picture {
    int64_t pack = 0;             // source pack in which its start code begins
    int64_t gop = 0;              // GOPs counted from the stream's start
    int64_t displayIndex = 0;     // temporal reference within its GOP, unwrapped
    bool stamped = false;         // the packet's timestamp is its own
    int64_t pts = -1;             // 90 kHz; set for every picture by Resolve
  };

  // One PES payload of the video stream, in stream order, found in source
  // pack `pack`, with the packet's timestamp when it has one.
  void Feed(int64_t pack, const uint8_t* payload, size_t length, bool hasPts, int64_t pts);

  // Places every picture; frameTicks is one picture's time at 90 kHz.
  void Resolve(int64_t frameTicks);

  // In stream (decoding) order.
  const std::vector<Picture>& Pictures() const { return m_pictures; }

private:
  // The timestamp of a packet belongs to the first picture that begins in
  // that packet's payload.
  struct PayloadStamp {
    int64_t pack = 0;
    bool hasPts = false;
    int64_t pts = 0;
  };

  void StartCode(uint8_t code, PayloadStamp* where);
  void PictureHeader(int temporalReference);

  std::vector<Picture> m_pictures;
  PayloadStamp m_current, m_previous;
  uint32_t m_shift = 0xFFFFFFFF;  // the last four bytes of the stream
  int m_headerBytesWanted = 0;    // of the picture header being read
  uint16_t m_headerBits = 0;
  int64_t m_gop = 0;
  bool m_gopHasPictures = false;
  int m_lastReference = -1;       // temporal reference of the GOP's last picture
  int64_t m_wraps = 0;            // of the temporal reference (10 bits) within the GOP
};
