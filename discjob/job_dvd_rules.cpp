#include "discjob/job_dvd_rules.h"

bool IsWritableDvdType(int code) { return (code >= 5 && code <= 9) || code == 13; }

std::string DvdWriterEntryText(const char* driveName, const char* first, const char* second) {
  if (first != nullptr && first[0] == ' ') return second != nullptr ? second : "";
  return std::string(driveName != nullptr ? driveName : "") + " " + (first != nullptr ? first : "") + " " +
         (second != nullptr ? second : "");
}

DvdStartAction DvdStartActionFor(const InsertedDisc& disc) {
  if (!disc.writable) return kDvdStartRefused;
  if (disc.erasable != 1 || disc.blank == 1) return kDvdStartGo;
  return kDvdStartAskErase;
}
