// Cue sheets as the CD-writing stand-in reads them, and the track ranges of
// whatever parses, against a file size taken from the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "standins/cdscribe/cue_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<CueFile> files;
  std::string error;
  if (ParseCueSheet(text, &files, &error) != 0) return 0;
  for (const CueFile& file : files) {
    std::vector<TrackRange> ranges;
    TrackRanges(file, static_cast<int64_t>(size) * 2352, &ranges);
  }
  return 0;
}
