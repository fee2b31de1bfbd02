// The CD side of the disc job that needs no window: the multiplexed files a
// disc is made of, the image builder's result texts, what a CD writer's
// medium means for a job, and the CD-writing library's records as a burn
// fills them.
#pragma once

#include <string>
#include <vector>

#include "standins/include/cdscribe.h"

// The multiplexed files of a job in play order: T "%03d.mpg" for the output
// numbers 0 to lastNumber (none when lastNumber is negative).
std::vector<std::string> JobOutputFiles(const std::string& tempFolder, int lastNumber);

// The line the build thread reports when the builder returns result.
std::string BuilderResultText(int result, bool cancelRequested);

// Which CD writer the drive list selects: the first whose medium type holds
// "CD-R" (so also "CD-RW"), else the last; -1 for an empty list.
int PickCdWriter(const std::vector<bool>& holdsCdR);
bool HoldsCdR(const char* mediumType);

// What Start does with the medium in a CD writer.
enum CdStartAction {
  kCdStartGo,        // blank CD-R or CD-RW
  kCdStartRefused,   // box (refusalText), eject, log
  kCdStartAskErase,  // a CD-RW with data on it
};
struct CdMediumVerdict {
  CdStartAction action;
  const char* refusalText;  // the box when refused, else NULL
};
// type: the medium's type text (compared without regard to case); used:
// the medium record's value at offset 28 (0 for a blank medium).
CdMediumVerdict JudgeCdMedium(const char* type, int32_t used);

// The options of a burn: label (cut to the record's field), an 8 MB write
// cache and the tray opened when done; other fields as GetOptions gave them.
void SetBurnOptions(CdScribeOptions* options, const char* label);
// The file record of a cue image burned to the disc's root; false (record
// unusable) when the path does not fit the record.
bool MakeCueImageFile(const char* cuePath, CdScribeFile* file);
