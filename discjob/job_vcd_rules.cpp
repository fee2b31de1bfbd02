#include "discjob/job_vcd_rules.h"

#include <cctype>
#include <cstdio>
#include <cstring>

std::vector<std::string> JobOutputFiles(const std::string& tempFolder, int lastNumber) {
  std::vector<std::string> files;
  for (int number = 0; number <= lastNumber; ++number) {
    char name[16];
    snprintf(name, sizeof name, "%03d.mpg", number);
    files.push_back(tempFolder + name);
  }
  return files;
}

std::string BuilderResultText(int result, bool cancelRequested) {
  switch (result) {
    case 0: return "\"zrDiscBuild\" finished successfully";
    case 1:
      return cancelRequested ? "\"zrDiscBuild\" finished with ERRORS : Cancel Request from User"
                             : "\"zrDiscBuild\" finished with ERRORS : internal error of 'libxml' or 'discimage'";
    case 2: return "\"zrDiscBuild\" finished with ERRORS : an exception occured (resulting in _memory leaks_)";
    case -1: return "\"zrDiscBuild\" finished with ERRORS : missing or bad parameters";
    default: return "\"zrDiscBuild\" finished with ERRORS : internal error (in the library)";
  }
}

bool HoldsCdR(const char* mediumType) { return mediumType != nullptr && strstr(mediumType, "CD-R") != nullptr; }

int PickCdWriter(const std::vector<bool>& holdsCdR) {
  for (size_t i = 0; i < holdsCdR.size(); ++i)
    if (holdsCdR[i]) return static_cast<int>(i);
  return static_cast<int>(holdsCdR.size()) - 1;
}

namespace {

bool SameTextNoCase(const char* a, const char* b) {
  for (; *a != 0 && *b != 0; ++a, ++b)
    if (toupper(static_cast<unsigned char>(*a)) != toupper(static_cast<unsigned char>(*b))) return false;
  return *a == 0 && *b == 0;
}

// A text field of a record: the text cut to the field, zero-terminated.
template <size_t N>
void CopyField(char (&field)[N], const char* text) {
  memset(field, 0, N);
  if (text != nullptr) strncpy(field, text, N - 1);
}

}  // namespace

CdMediumVerdict JudgeCdMedium(const char* type, int32_t used) {
  if (type == nullptr) type = "";
  bool blank = used == 0;
  if (SameTextNoCase(type, "CD-R"))
    return blank ? CdMediumVerdict{kCdStartGo, nullptr}
                 : CdMediumVerdict{kCdStartRefused, "Please insert a blank CD disc into the writer."};
  if (SameTextNoCase(type, "CD-RW"))
    return blank ? CdMediumVerdict{kCdStartGo, nullptr} : CdMediumVerdict{kCdStartAskErase, nullptr};
  return {kCdStartRefused, "Please insert a blank writable disc into the writer."};
}

void SetBurnOptions(CdScribeOptions* options, const char* label) {
  CopyField(options->volumeLabel, label);
  options->cacheBytes = 0x800000;
  options->ejectWhenDone = 1;
}

bool MakeCueImageFile(const char* cuePath, CdScribeFile* file) {
  memset(file, 0, sizeof *file);
  if (cuePath == nullptr || cuePath[0] == 0 || strlen(cuePath) >= sizeof file->path) return false;
  CopyField(file->path, cuePath);
  CopyField(file->destination, "\\");
  file->scanVideo = 0;
  file->kind = kCdFileImage;
  return true;
}
