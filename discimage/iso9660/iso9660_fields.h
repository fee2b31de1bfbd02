// Field encodings shared by the ISO 9660 structures: the fixed sector size,
// little-, big- and both-endian numbers (both-endian: the little-endian value
// followed by the big-endian one), and the two date forms.
#pragma once

#include <cstddef>
#include <cstdint>

enum { kIsoSectorSize = 2048 };

// Seconds since 1970 that stand in for a missing time (0): 1978-07-14
// 00:00:00 UTC.
constexpr int64_t kIsoDefaultTime = 269222400;

inline void PutLittleEndian16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

inline void PutBigEndian16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

inline void PutLittleEndian32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void PutBigEndian32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}

inline void PutBothEndian16(uint8_t* p, uint16_t v) {
  PutLittleEndian16(p, v);
  PutBigEndian16(p + 2, v);
}

inline void PutBothEndian32(uint8_t* p, uint32_t v) {
  PutLittleEndian32(p, v);
  PutBigEndian32(p + 4, v);
}

inline uint16_t GetLittleEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint16_t GetBigEndian16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t GetLittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline uint32_t GetBigEndian32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// True when the big-endian half of an 8-byte both-endian field holds the same
// value as its little-endian half.
inline bool BothEndian32Agrees(const uint8_t* p) {
  return GetLittleEndian32(p) == GetBigEndian32(p + 4);
}

// A UTC calendar time.
struct IsoCalendarTime {
  int year;    // e.g. 1978
  int month;   // 1-12
  int day;     // 1-31
  int hour;    // 0-23
  int minute;  // 0-59
  int second;  // 0-59
};

// Seconds since 1970-01-01 00:00:00 UTC as a calendar time. Computed here
// rather than with gmtime, whose range and thread safety differ between the
// C libraries the builder is linked with.
IsoCalendarTime IsoCalendarFromSeconds(int64_t seconds);

// The 7-byte recording date of a directory record: years since 1900, month,
// day, hour, minute, second, GMT offset 0. Years outside 1900-2155 are held
// at the nearest end, as the year byte cannot say more.
void PutRecordingTime(uint8_t* p, int64_t seconds);

// The 17-byte date of a volume descriptor: 16 digits (year, month, day, hour,
// minute, second, hundredths) and the GMT offset byte 0. NULL writes the
// "no date" form: 16 digits "0".
void PutVolumeDate(uint8_t* p, const IsoCalendarTime* date);
