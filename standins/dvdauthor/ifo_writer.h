// The information files of a DVD-Video disc with one title set, one title
// and no menus: VIDEO_TS.IFO (the video manager: first-play program chain
// that starts title 1, title search pointers, title set attributes) and
// VTS_01_0.IFO (the title set: chapters, one program chain with a program
// and a cell per source, time map, cell and VOBU address tables). Every
// table starts on a sector of its own; the layout is computed before any
// byte is written.
#pragma once

#include <cstdint>
#include <vector>

typedef std::vector<uint8_t> IfoBytes;

// What the title set's tables say about one cell (one source file).
struct IfoCell {
  int64_t firstSector;       // first VOBU, relative to the title VOBs
  int64_t lastVobuSector;    // start of the last VOBU
  int64_t lastSector;        // last sector of the cell
  int64_t playTicks;         // 90 kHz
};

struct IfoTitleSet {
  bool mpeg2 = true;
  bool pal = true;
  bool wide = false;          // 16:9
  bool letterBox = false;     // a 4:3 picture letter-boxed from a wide one
  int width = 720;
  int height = 576;
  int frameRateFps = 25;      // 25 or 30, for the time codes
  bool hasAudio = false;
  bool audioAc3 = false;      // else MPEG audio
  int audioChannels = 2;
  std::vector<IfoCell> cells;
  std::vector<int64_t> vobuSectors;    // start of every VOBU, relative to the title VOBs
  std::vector<int64_t> vobuStartTicks; // its first presentation time, 90 kHz from the title's start
  int64_t vobSectors = 0;              // all title VOBs
};

// The whole VTS_01_0.IFO (also its backup VTS_01_0.BUP).
IfoBytes BuildTitleSetIfo(const IfoTitleSet& set);
// The whole VIDEO_TS.IFO (also VIDEO_TS.BUP); chapters: one per cell.
IfoBytes BuildManagerIfo(const IfoTitleSet& set, const IfoBytes& titleSetIfo);

// A time as the tables keep it: BCD hours, minutes, seconds and frames with
// the frame rate in the top bits of the last byte.
void WriteBcdTime(uint8_t* out, int64_t ticks90, int fps);
