#include "standins/cdscribe/cue_sheet.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

int SectorBytesOf(const std::string& mode) {
  static const struct {
    const char* mode;
    int bytes;
  } kModes[] = {{"AUDIO", 2352},      {"CDG", 2448},        {"MODE1/2048", 2048}, {"MODE1/2352", 2352},
                {"MODE2/2048", 2048}, {"MODE2/2324", 2324}, {"MODE2/2336", 2336}, {"MODE2/2352", 2352}};
  for (const auto& m : kModes)
    if (mode == m.mode) return m.bytes;
  return 0;
}

// "mm:ss:ff" -> sectors; -1 when malformed.
int64_t ParseTime(const std::string& text) {
  int m = 0, s = 0, f = 0;
  char tail = 0;
  if (sscanf(text.c_str(), "%d:%d:%d%c", &m, &s, &f, &tail) != 3) return -1;
  if (m < 0 || s < 0 || s > 59 || f < 0 || f > 74) return -1;
  return (static_cast<int64_t>(m) * 60 + s) * 75 + f;
}

}  // namespace

int ParseCueSheet(const std::string& text, std::vector<CueFile>* files, std::string* error) {
  files->clear();
  std::istringstream lines(text);
  std::string line;
  int lineNumber = 0;
  bool trackHasIndex = true;
  auto fail = [&](const char* why) {
    *error = "cue sheet line " + std::to_string(lineNumber) + ": " + why;
    return -1;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) continue;
    keyword = Upper(keyword);
    if (keyword == "FILE") {
      if (!trackHasIndex) return fail("TRACK without INDEX");
      std::string rest;
      std::getline(words, rest);
      size_t open = rest.find('"');
      std::string name;
      if (open != std::string::npos) {
        size_t close = rest.find('"', open + 1);
        if (close == std::string::npos) return fail("unterminated file name");
        name = rest.substr(open + 1, close - open - 1);
      } else {
        std::istringstream parts(rest);
        parts >> name;
      }
      if (name.empty()) return fail("FILE without a name");
      CueFile file;
      file.name = name;
      files->push_back(file);
    } else if (keyword == "TRACK") {
      if (files->empty()) return fail("TRACK before FILE");
      if (!trackHasIndex) return fail("TRACK without INDEX");
      int number = 0;
      std::string mode;
      if (!(words >> number >> mode) || number < 1 || number > 99) return fail("bad TRACK");
      CueTrack track;
      track.number = number;
      track.mode = Upper(mode);
      track.sectorBytes = SectorBytesOf(track.mode);
      if (track.sectorBytes == 0) return fail("unknown track mode");
      track.firstSector = -1;
      files->back().tracks.push_back(track);
      trackHasIndex = false;
    } else if (keyword == "INDEX") {
      if (files->empty() || files->back().tracks.empty()) return fail("INDEX before TRACK");
      int number = -1;
      std::string time;
      if (!(words >> number >> time) || number < 0 || number > 99) return fail("bad INDEX");
      int64_t sector = ParseTime(time);
      if (sector < 0) return fail("bad INDEX time");
      std::vector<CueTrack>& tracks = files->back().tracks;
      CueTrack& track = tracks.back();
      if (track.firstSector < 0) {
        if (tracks.size() >= 2 && sector < tracks[tracks.size() - 2].firstSector)
          return fail("INDEX goes back in time");
        track.firstSector = sector;
      } else if (sector < track.firstSector) {
        return fail("INDEX goes back in time");
      }
      trackHasIndex = true;
    }
    // FLAGS, PREGAP, POSTGAP, TITLE, REM and the rest change nothing here.
  }
  if (!trackHasIndex) return fail("TRACK without INDEX");
  if (files->empty()) return fail("no FILE");
  for (const CueFile& file : *files)
    if (file.tracks.empty()) return fail("FILE without TRACK");
  return 0;
}

bool TrackRanges(const CueFile& file, int64_t fileBytes, std::vector<TrackRange>* ranges) {
  ranges->clear();
  int64_t offset = 0;
  // The bytes before the first track's first index belong to it.
  for (size_t n = 0; n < file.tracks.size(); ++n) {
    const CueTrack& track = file.tracks[n];
    int64_t length;
    if (n + 1 < file.tracks.size()) {
      int64_t from = n == 0 ? 0 : track.firstSector;
      length = (file.tracks[n + 1].firstSector - from) * track.sectorBytes;
    } else {
      length = fileBytes - offset;
    }
    if (length < 0 || offset + length > fileBytes || length % track.sectorBytes != 0) return false;
    ranges->push_back(TrackRange{track.number, offset, length, length / track.sectorBytes});
    offset += length;
  }
  return offset == fileBytes;
}
