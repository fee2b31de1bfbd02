#include "standins/dvdauthor/ifo_writer.h"

#include <algorithm>
#include <cstring>

namespace {

const size_t kSector = 2048;

void Put16(IfoBytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v >> 8);
  b[at + 1] = static_cast<uint8_t>(v);
}
void Put32(IfoBytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v >> 24);
  b[at + 1] = static_cast<uint8_t>(v >> 16);
  b[at + 2] = static_cast<uint8_t>(v >> 8);
  b[at + 3] = static_cast<uint8_t>(v);
}

uint8_t Bcd(int v) { return static_cast<uint8_t>(((v / 10) % 10) << 4 | (v % 10)); }

size_t SectorsFor(size_t bytes) { return (bytes + kSector - 1) / kSector; }

// Appends a table at the next sector; returns its sector number.
uint32_t AppendTable(IfoBytes& file, const IfoBytes& table) {
  size_t sector = SectorsFor(file.size());
  file.resize(sector * kSector, 0);
  file.insert(file.end(), table.begin(), table.end());
  return static_cast<uint32_t>(sector);
}

uint16_t VideoAttributes(const IfoTitleSet& set) {
  int resolution = set.width >= 720 ? 0 : set.width >= 704 ? 1 : set.height >= 480 ? 2 : 3;
  int display = set.wide ? 2 : 3;  // 16:9: letter-box only; 4:3: no automatic mode
  uint16_t a = static_cast<uint16_t>((set.mpeg2 ? 1 : 0) << 14 | (set.pal ? 1 : 0) << 12 |
                                     (set.wide ? 3 : 0) << 10 | display << 8);
  // Second byte: picture size in bits 3-2, a letter-boxed picture in bit 1.
  a |= static_cast<uint16_t>(resolution << 2 | (set.letterBox && !set.wide ? 1 : 0) << 1);
  return a;
}

void WriteAudioAttributes(IfoBytes& b, size_t at, const IfoTitleSet& set) {
  b[at] = static_cast<uint8_t>((set.audioAc3 ? 0 : 2) << 5);  // coding mode, no language given
  b[at + 1] = static_cast<uint8_t>((set.audioChannels > 0 ? set.audioChannels - 1 : 1) & 7);  // 48 kHz
}

// The attribute area that both the title set and the manager's copy of it hold.
void WriteAttributes(IfoBytes& mat, const IfoTitleSet& set) {
  Put16(mat, 0x100, VideoAttributes(set));  // menus, none: same picture
  Put16(mat, 0x200, VideoAttributes(set));
  Put16(mat, 0x202, set.hasAudio ? 1 : 0);
  if (set.hasAudio) WriteAudioAttributes(mat, 0x204, set);
}

// The one program chain: a program and a cell per source.
IfoBytes TitleProgramChain(const IfoTitleSet& set) {
  const size_t cells = set.cells.size();
  const size_t mapBytes = (cells + 1) & ~static_cast<size_t>(1);
  const size_t playbackAt = 0xEC + mapBytes;
  const size_t positionAt = playbackAt + 24 * cells;
  IfoBytes pgc(positionAt + 4 * cells, 0);
  pgc[2] = static_cast<uint8_t>(cells);
  pgc[3] = static_cast<uint8_t>(cells);
  int64_t total = 0;
  for (const IfoCell& cell : set.cells) total += cell.playTicks;
  WriteBcdTime(&pgc[4], total, set.frameRateFps);
  if (set.hasAudio) Put16(pgc, 0x0C, 0x8000);  // audio stream 0 present
  Put16(pgc, 0xE6, static_cast<uint32_t>(0xEC));
  Put16(pgc, 0xE8, static_cast<uint32_t>(playbackAt));
  Put16(pgc, 0xEA, static_cast<uint32_t>(positionAt));
  for (size_t n = 0; n < cells; ++n) {
    pgc[0xEC + n] = static_cast<uint8_t>(n + 1);  // program n starts with cell n
    const IfoCell& cell = set.cells[n];
    size_t p = playbackAt + 24 * n;
    WriteBcdTime(&pgc[p + 4], cell.playTicks, set.frameRateFps);
    Put32(pgc, p + 8, static_cast<uint32_t>(cell.firstSector));
    Put32(pgc, p + 16, static_cast<uint32_t>(cell.lastVobuSector));
    Put32(pgc, p + 20, static_cast<uint32_t>(cell.lastSector));
    size_t q = positionAt + 4 * n;
    Put16(pgc, q, static_cast<uint32_t>(n + 1));  // VOB id
    pgc[q + 3] = 1;                               // cell id
  }
  return pgc;
}

}  // namespace

void WriteBcdTime(uint8_t* out, int64_t ticks90, int fps) {
  if (ticks90 < 0) ticks90 = 0;
  int64_t frames = ticks90 * fps / 90000;
  int f = static_cast<int>(frames % fps);
  int64_t seconds = frames / fps;
  out[0] = Bcd(static_cast<int>(std::min<int64_t>(seconds / 3600, 99)));
  out[1] = Bcd(static_cast<int>(seconds / 60 % 60));
  out[2] = Bcd(static_cast<int>(seconds % 60));
  out[3] = static_cast<uint8_t>((fps == 25 ? 0x40 : 0xC0) | Bcd(f));
}

IfoBytes BuildTitleSetIfo(const IfoTitleSet& set) {
  const size_t cells = set.cells.size();
  IfoBytes file(kSector, 0);

  // Chapters: program n of program chain 1.
  IfoBytes ptt(12 + 4 * cells, 0);
  Put16(ptt, 0, 1);
  Put32(ptt, 4, static_cast<uint32_t>(ptt.size() - 1));
  Put32(ptt, 8, 12);
  for (size_t n = 0; n < cells; ++n) {
    Put16(ptt, 12 + 4 * n, 1);
    Put16(ptt, 14 + 4 * n, static_cast<uint32_t>(n + 1));
  }

  IfoBytes pgc = TitleProgramChain(set);
  IfoBytes pgcit(16, 0);
  Put16(pgcit, 0, 1);
  pgcit.insert(pgcit.end(), pgc.begin(), pgc.end());
  Put32(pgcit, 4, static_cast<uint32_t>(pgcit.size() - 1));
  Put32(pgcit, 8, 0x81000000);  // entry program chain of title 1
  Put32(pgcit, 12, 16);

  // Time map: the VOBU at every whole time unit, with at most 2048 entries.
  int64_t total = 0;
  for (const IfoCell& cell : set.cells) total += cell.playTicks;
  int64_t seconds = total / 90000;
  int unit = static_cast<int>(std::max<int64_t>(1, std::min<int64_t>(255, (seconds + 2047) / 2048)));
  size_t entries = static_cast<size_t>(seconds / unit);
  IfoBytes tmap(16 + 4 * entries, 0);
  Put16(tmap, 0, 1);
  Put32(tmap, 4, static_cast<uint32_t>(tmap.size() - 1));
  Put32(tmap, 8, 12);
  tmap[12] = static_cast<uint8_t>(unit);
  Put16(tmap, 14, static_cast<uint32_t>(entries));
  for (size_t e = 0; e < entries; ++e) {
    int64_t at = static_cast<int64_t>(e + 1) * unit * 90000;
    size_t vobu = static_cast<size_t>(
        std::upper_bound(set.vobuStartTicks.begin(), set.vobuStartTicks.end(), at) - set.vobuStartTicks.begin());
    if (vobu > 0) --vobu;
    Put32(tmap, 16 + 4 * e, static_cast<uint32_t>(vobu < set.vobuSectors.size() ? set.vobuSectors[vobu] : 0));
  }

  IfoBytes cadt(8 + 12 * cells, 0);
  Put16(cadt, 0, static_cast<uint32_t>(cells));
  Put32(cadt, 4, static_cast<uint32_t>(cadt.size() - 1));
  for (size_t n = 0; n < cells; ++n) {
    size_t p = 8 + 12 * n;
    Put16(cadt, p, static_cast<uint32_t>(n + 1));
    cadt[p + 2] = 1;
    Put32(cadt, p + 4, static_cast<uint32_t>(set.cells[n].firstSector));
    Put32(cadt, p + 8, static_cast<uint32_t>(set.cells[n].lastSector));
  }

  IfoBytes admap(4 + 4 * set.vobuSectors.size(), 0);
  Put32(admap, 0, static_cast<uint32_t>(admap.size() - 1));
  for (size_t n = 0; n < set.vobuSectors.size(); ++n)
    Put32(admap, 4 + 4 * n, static_cast<uint32_t>(set.vobuSectors[n]));

  uint32_t pttSector = AppendTable(file, ptt);
  uint32_t pgcitSector = AppendTable(file, pgcit);
  uint32_t tmapSector = AppendTable(file, tmap);
  uint32_t cadtSector = AppendTable(file, cadt);
  uint32_t admapSector = AppendTable(file, admap);
  file.resize(SectorsFor(file.size()) * kSector, 0);
  const uint32_t ifoSectors = static_cast<uint32_t>(file.size() / kSector);

  memcpy(&file[0], "DVDVIDEO-VTS", 12);
  Put32(file, 0x0C, static_cast<uint32_t>(2 * ifoSectors + set.vobSectors - 1));
  Put32(file, 0x1C, ifoSectors - 1);
  Put16(file, 0x20, 0x0011);
  Put32(file, 0x80, 0x3FF);
  Put32(file, 0xC4, ifoSectors);
  Put32(file, 0xC8, pttSector);
  Put32(file, 0xCC, pgcitSector);
  Put32(file, 0xD4, tmapSector);
  Put32(file, 0xE0, cadtSector);
  Put32(file, 0xE4, admapSector);
  WriteAttributes(file, set);
  return file;
}

IfoBytes BuildManagerIfo(const IfoTitleSet& set, const IfoBytes& titleSetIfo) {
  IfoBytes file(kSector, 0);
  // First play: JumpTT 1, so the player starts the title at once. It lies
  // right after the management table, and the table's last byte is its
  // last byte.
  const uint32_t kFirstPlayAt = 0x400;
  IfoBytes fp(0xEC + 16, 0);
  Put16(fp, 0xE4, 0xEC);
  Put16(fp, 0xEC, 1);               // one pre-command
  Put16(fp, 0xEC + 6, 8 + 8 - 1);   // end of the command table
  static const uint8_t kJumpTitle1[8] = {0x30, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00};
  memcpy(&fp[0xEC + 8], kJumpTitle1, 8);
  memcpy(&file[kFirstPlayAt], fp.data(), fp.size());

  IfoBytes srpt(8 + 12, 0);
  Put16(srpt, 0, 1);
  Put32(srpt, 4, static_cast<uint32_t>(srpt.size() - 1));
  srpt[8] = 0x3C;  // one sequential program chain, jumps and links allowed
  srpt[9] = 1;     // angles
  Put16(srpt, 10, static_cast<uint32_t>(set.cells.size()));
  srpt[14] = 1;    // title set 1
  srpt[15] = 1;    // its title 1

  // A copy of the title set's attribute area.
  const size_t attributes = 0x300;
  IfoBytes atrt(12 + 8 + attributes, 0);
  Put16(atrt, 0, 1);
  Put32(atrt, 4, static_cast<uint32_t>(atrt.size() - 1));
  Put32(atrt, 8, 12);
  Put32(atrt, 12, static_cast<uint32_t>(8 + attributes - 1));
  if (titleSetIfo.size() >= 0x100 + attributes)
    memcpy(&atrt[20], &titleSetIfo[0x100], attributes);

  uint32_t srptSector = AppendTable(file, srpt);
  uint32_t atrtSector = AppendTable(file, atrt);
  file.resize(SectorsFor(file.size()) * kSector, 0);
  const uint32_t ifoSectors = static_cast<uint32_t>(file.size() / kSector);
  // The title set starts after the manager's information file and its backup.
  Put32(file, srptSector * kSector + 16, 2 * ifoSectors);

  memcpy(&file[0], "DVDVIDEO-VMG", 12);
  Put32(file, 0x0C, 2 * ifoSectors - 1);
  Put32(file, 0x1C, ifoSectors - 1);
  Put16(file, 0x20, 0x0011);
  Put16(file, 0x26, 1);  // volumes
  Put16(file, 0x28, 1);  // this volume
  file[0x2A] = 1;        // side
  Put16(file, 0x3E, 1);  // title sets
  memcpy(&file[0x40], "QUORBEL", 7);
  Put32(file, 0x80, static_cast<uint32_t>(kFirstPlayAt + fp.size() - 1));
  Put32(file, 0x84, kFirstPlayAt);
  Put32(file, 0xC4, srptSector);
  Put32(file, 0xD0, atrtSector);
  Put16(file, 0x100, VideoAttributes(set));
  return file;
}
