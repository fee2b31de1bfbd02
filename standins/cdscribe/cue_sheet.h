// What the CD-writing stand-in reads of a cue sheet: the image files and,
// in each, its tracks with their sector size and first sector, so that the
// data can be written track by track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CueTrack {
  int number = 0;
  std::string mode;         // "MODE2/2352", "AUDIO", ...
  int sectorBytes = 0;
  int64_t firstSector = 0;  // the track's first INDEX, in sectors of its file
};

struct CueFile {
  std::string name;         // as the sheet gives it
  std::vector<CueTrack> tracks;
};

// Parses the sheet. Returns 0, or -1 with *error saying which line is wrong.
// A sheet needs at least one FILE with one TRACK, every TRACK needs an
// INDEX, and index times may not go back within a file.
int ParseCueSheet(const std::string& text, std::vector<CueFile>* files, std::string* error);

// The byte range of every track of a file that holds fileBytes: start and
// length, in track order. false when the tracks do not fit in the file.
struct TrackRange {
  int number;
  int64_t offset;
  int64_t length;
  int64_t sectors;
};
bool TrackRanges(const CueFile& file, int64_t fileBytes, std::vector<TrackRange>* ranges);
