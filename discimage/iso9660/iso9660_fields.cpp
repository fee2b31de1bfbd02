#include "discimage/iso9660/iso9660_fields.h"

#include <cstdio>
#include <cstring>

IsoCalendarTime IsoCalendarFromSeconds(int64_t seconds) {
  int64_t days = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Days since 1970-01-01 to a proleptic Gregorian date, counting in 400-year
  // eras that start on 1 March so that the leap day ends each year.
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 is March
  IsoCalendarTime t;
  t.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  t.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

void PutRecordingTime(uint8_t* p, int64_t seconds) {
  IsoCalendarTime t = IsoCalendarFromSeconds(seconds);
  int years = t.year - 1900;
  if (years < 0) years = 0;
  if (years > 255) years = 255;
  p[0] = static_cast<uint8_t>(years);
  p[1] = static_cast<uint8_t>(t.month);
  p[2] = static_cast<uint8_t>(t.day);
  p[3] = static_cast<uint8_t>(t.hour);
  p[4] = static_cast<uint8_t>(t.minute);
  p[5] = static_cast<uint8_t>(t.second);
  p[6] = 0;
}

void PutVolumeDate(uint8_t* p, const IsoCalendarTime* date) {
  char digits[64];
  if (date == NULL) {
    memset(digits, '0', 16);
  } else {
    // Four year digits are all the field has room for.
    int year = date->year < 0 ? 0 : (date->year > 9999 ? 9999 : date->year);
    snprintf(digits, sizeof digits, "%4.4d%2.2d%2.2d%2.2d%2.2d%2.2d%2.2d", year, date->month,
             date->day, date->hour, date->minute, date->second, 0);
  }
  memcpy(p, digits, 16);
  p[16] = 0;
}
