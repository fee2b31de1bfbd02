// Pieces the information-file writers share; not for other callers.
#pragma once

#include <cstdint>

class CVcdObj;
class CMpegSequence;
class MpegApsList;
struct MpegStreamInfo;

namespace vcd_info {

enum { kVcdAddressOffset = 150 };  // disc address of logical sector 0

void Put16(uint8_t* out, unsigned value);
void Put32(uint8_t* out, uint32_t value);
// BCD minute, second and frame of sector + 150.
void PutAddress(uint8_t* out, int sector);
// The stream's playing time; 0 for a time that is not a positive number.
double PlayingTime(const MpegStreamInfo* info);
// The access points of a track: those of its first video stream that has
// any; NULL when none has.
const MpegApsList* AccessPoints(const MpegStreamInfo* info);
// First sector of the track's packets (behind pregap and front margin).
int TrackDataStart(const CVcdObj* project, const CMpegSequence* sequence);
// Playback lists that the disc carries.
bool HasPbc(const CVcdObj* project);

}  // namespace vcd_info
