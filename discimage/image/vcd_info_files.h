// The VideoCD information files of the disc's first track: INFO and ENTRIES
// (VCD/ or SVCD/), the list ID offset table and the playback descriptors
// (LOT, PSD and their extended forms in EXT/), and on SuperVCD the track
// table, the search table and the scan table (TRACKS.SVD, SEARCH.DAT,
// EXT/SCANDATA.DAT).
//
// The layout asks for the sizes while it places the files; the writer fills
// each file's dictionary buffer from the laid-out project once every
// sector is known. Every number in these files is big-endian, every time
// and address BCD minute, second and frame; an address is the sector + 150.
// Each writer is bounded by the buffer size it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CVcdObj;
struct MpegStreamInfo;

enum {
  kVcdInfoFileSize = 2048,    // INFO, ENTRIES, TRACKS.SVD
  kVcdLotSize = 65536,        // 32768 two-byte slots
  kVcdLotSectors = 32,
  kVcdInfoPalFlagBytes = 13,  // one bit per track
  kVcdSearchHeaderSize = 13,
  kVcdScandataHeaderSize = 18,
  kVcdMaxPlayingSeconds = 6000,  // 100 minutes: what a 3-byte time can say
};

// Scan points of a stretch of playing time: one every half second,
// ceil(2 x seconds); 0 for a time that is not a positive number.
int VcdScanPointCount(double seconds);

// Bytes of SEARCH.DAT and SCANDATA.DAT for the project's tracks, or -1
// (reported) when their point counts do not fit the files' 16-bit fields.
int VcdSearchDatSize(const CVcdObj* project);
int VcdScandataDatSize(const CVcdObj* project);

// Content types of a stream, as INFO's segment bytes and TRACKS.SVD's track
// bytes give them (SVCD rules where the project has the SVCD files).
int VcdVideoContentType(const CVcdObj* project, const MpegStreamInfo* info);
int VcdAudioContentType(const CVcdObj* project, const MpegStreamInfo* info);
int VcdSubtitleContentType(const CVcdObj* project, const MpegStreamInfo* info);

// Three bytes of a playing time: BCD minutes and seconds of the whole
// seconds, BCD of floor(fraction x 75) as the frame. The caller keeps the
// time below 6000 seconds.
void VcdPutPlayingTime(uint8_t* out, double seconds);

// The playing time of the first count tracks; asking for more tracks than
// there are warns and gives the time of all.
double VcdCumulativePlayingTime(const CVcdObj* project, int count);

// For each time t = 0, 0.5, 1.0 ... of count points, the index of the
// nearest of the ascending times (walking on from the last pick while the
// next time is strictly nearer; ties keep the earlier); -1 for every point
// when there are no times.
std::vector<int> VcdNearestScanPoints(const std::vector<double>& times, int count);

// INFO.VCD / INFO.SVD into 2048 bytes.
void VcdWriteInfo(CVcdObj* project, uint8_t* buffer);
// ENTRIES.VCD / ENTRIES.SVD into 2048 bytes. Entry points must be resolved.
void VcdWriteEntries(CVcdObj* project, uint8_t* buffer);
// LOT.VCD (extended 0) or EXT/LOT_X.VCD (1) into 65536 bytes.
void VcdWriteLot(CVcdObj* project, uint8_t* buffer, int extended);
// PSD.VCD or EXT/PSD_X.VCD: every list's descriptor at its offset. size is
// the buffer's. 0, or -1 when a descriptor did not fit or reported an error.
int VcdWritePsd(CVcdObj* project, uint8_t* buffer, size_t size, int extended);
// SVCD/TRACKS.SVD into 2048 bytes, in the form the project asks for.
void VcdWriteTracksSvd(CVcdObj* project, uint8_t* buffer);
// SVCD/SEARCH.DAT and EXT/SCANDATA.DAT into size bytes (at least their
// sizes above). 0, or -1 when the buffer is too small.
int VcdWriteSearchDat(CVcdObj* project, uint8_t* buffer, size_t size);
int VcdWriteScandataDat(CVcdObj* project, uint8_t* buffer, size_t size);
