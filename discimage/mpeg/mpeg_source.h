// CVcdMpegSource: an MPEG file that goes onto the disc. It is scanned once,
// pack by pack, with the program stream parser, and keeps what it learned
// (packet count, stream information, access points). While the image is
// written its packets are fetched in order with ReadPacket, which can rewrite
// each packet's SVCD scan data to point at the neighbouring I pictures.
//
// The file is read strictly sequentially in both passes, in large chunks
// that threads read ahead; packs are parsed where they lie in the chunks, so
// a pack shorter than a VideoCD packet costs no seek back, and the file size
// is taken once per open.
#pragma once

#include <cstdint>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/base/vcd_stream.h"

// Scan results.
enum {
  kMpegScanOk = 0,
  kMpegScanFailed = 1,
  kMpegScanCancelled = -1,
};

class CVcdMpegSource : public CVcdStream {
  DECLARE_DYNAMIC(CVcdMpegSource)

  CVcdMpegSource(CVcdMessageSink* messages, const char* path);
  ~CVcdMpegSource() override;

  // Scans the whole file. strictAps: only access points with a sequence
  // header before the GOP header count (else every I picture with a PTS).
  // updateScanOffsets: the scan data will be rewritten, so its errors are not
  // reported. progressName: the name in progress reports. Returns
  // kMpegScanOk, kMpegScanFailed or kMpegScanCancelled (the caller's cancel
  // flag, through the message sink). Only a successful scan is remembered:
  // after that, further calls return kMpegScanOk at once; after a failure or
  // a cancel the next call scans again.
  int Scan(int strictAps, int updateScanOffsets, const char* progressName);
  bool IsScanned() const { return m_scanned != 0; }

  // The scan result; zero before the first scan. The source owns the APS
  // lists it points to.
  MpegStreamInfo* GetStreamInfo() { return &m_info; }
  const MpegStreamInfo* GetStreamInfo() const { return &m_info; }

  // Copies packet packetNumber (from 0) into the kMpegPacketSize bytes of
  // destination, zero-padded, and, when info is given, its packet info with
  // the PTS made relative to the minimum PTS: the streams it holds and its
  // time. updateScanData rewrites every SVCD scan information item of the
  // packet from the APS lists; only then are the video headers read again,
  // and the info's access point and scan data fields (its scan data pointer
  // points into destination) filled. Ascending numbers read on from where the last
  // call stopped; a lower number starts again from the beginning. 0 or -1.
  int ReadPacket(int packetNumber, uint8_t* destination, MpegPacketInfo* info, int updateScanData);

  // Closes the file and destroys the APS lists.
  void Release() override;

protected:
  int DoClose() override;

private:
  // Hands out the file pack by pack from large reads (defined in the .cpp).
  class ReadWindow;

  void ReportProgress(const char* name, int packets, int64_t position, int64_t size);
  // A read that failed; a file that ended early is told against the bytes
  // expected.
  void ReportReadError(int error, int64_t expected);
  // The file holds no packet at offset where the scan found one.
  void ReportChanged(int64_t offset);
  void ForgetReading();

  int m_scanned;             // a scan succeeded
  int64_t m_nextOffset;      // file offset of the packet after the one ReadPacket returned last
  int m_nextPacket;          // its number
  MpegStreamInfo m_info;     // the scan result; owns the APS lists
  ReadWindow* m_readWindow;  // ReadPacket's window, created on first use; owned
  int64_t m_scanEnd;         // where the scanned packets end: ReadPacket reads up to here
  bool m_readChecked;        // ReadPacket found the open file long enough
  // Scan information items split between packets, for ReadPacket: the
  // parser's part, and per video stream the last item rewritten (and
  // whether there is one) whose rest a later packet gets.
  MpegScanSplit m_readSplit[kMpegStreamSlots];
  uint8_t m_rewrittenItem[kMpegStreamSlots][kMpegScanDataSize];
  bool m_rewrittenItemValid[kMpegStreamSlots];
};

// The time of a packet without a PTS, interpolated linearly between the
// access points around it (extrapolated behind the last one; before the
// first one, between the start of the stream at time 0 and that point).
// 0 without access points.
double EstimatePts(const MpegApsList* list, int packetNumber);

// Rewrites the four addresses of a 14-byte scan information item for a
// picture in packet packetNumber at time (seconds from the stream's start):
// the previous and next I picture, and the farthest ones less than 10
// seconds back and ahead (the packet itself when there is none). Absent
// previous or next pictures are FF FF FF. picture (kMpegScan*) places the
// item's picture against an access point in the same packet.
void UpdateScanData(uint8_t* scanData, int packetNumber, double time, const MpegApsList* list,
                    int picture = kMpegScanOfI);
