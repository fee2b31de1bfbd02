#include "standins/dvdauthor/author_core.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "standins/dvdauthor/ifo_writer.h"
#include "standins/dvdauthor/picture_timeline.h"
#include "standins/mux/byte_window.h"
#include "standins/mux/es_index.h"
#include "standins/mux/ps_headers.h"

namespace {

const int kPack = 2048;
const int64_t kVobLimitSectors = 524272;  // a VOB file stays below 1 GiB
const uint32_t kSearchEnd = 0x3FFFFFFF;   // no VOBU there within the cell
const uint32_t kSearchVideo = 0x80000000; // the VOBU found holds video

void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

int64_t ReadTimestamp(const uint8_t* p) {
  return (static_cast<int64_t>(p[0] & 0x0E) << 29) | (static_cast<int64_t>(p[1]) << 22) |
         (static_cast<int64_t>(p[2] >> 1) << 15) | (static_cast<int64_t>(p[3]) << 7) | (p[4] >> 1);
}

// What one source stream holds, learned by the scan.
struct SourceFacts {
  bool videoSeen = false;
  bool mpeg2Video = false;
  int width = 0;
  int height = 0;
  int aspectCode = 0;
  int frameRateCode = 0;
  bool audioSeen = false;
  bool ac3 = false;
  int channels = 2;
  int sampleRate = 0;
};

// A VOBU of the output: its packs are source packs, after a navigation pack
// that is either the source's own (navSource >= 0) or inserted.
struct Vobu {
  int64_t navSource = -1;     // source pack of the navigation pack, -1 inserted
  int64_t firstSource = 0;    // first source pack after the navigation pack
  int64_t endSource = 0;      // one past its last source pack
  int64_t sector = 0;         // output sector of the navigation pack, from the title VOBs' start
  int64_t sectors = 0;        // sectors, navigation pack included
  int64_t startPts = -1;      // earliest video PTS, 90 kHz
  int64_t lastPts = -1;       // latest video PTS
  int64_t endPts = 0;         // first PTS after it
  int64_t firstRefEnd = 0;    // relative sector where the first picture ends
  int64_t firstAudio = -1;    // relative sector of the first audio pack
  int64_t navScr = 0;         // 27 MHz, for an inserted navigation pack
  bool hasVideo = false;
};

struct Cell {
  std::string path;
  std::vector<PackFacts> packs;
  std::vector<Vobu> vobus;
  int64_t firstVobu = 0;      // index of its first VOBU in the title
  int64_t firstSector = 0;
  int64_t sectors = 0;
  int64_t startPts = 0;
  int64_t endPts = 0;
};

// The sequence header's aspect code for a 16:9 display (MPEG-2).
const int kAspectWide = 3;

int FrameRateFps(int code) { return code == 3 || code == 6 ? 25 : 30; }
int64_t FrameTicks90(int code) {
  static const int64_t kTicks[9] = {3003, 3754, 3750, 3600, 3003, 3000, 1800, 1502, 1500};
  return code >= 1 && code <= 8 ? kTicks[code] : 3600;
}

void LearnVideo(const uint8_t* payload, int length, SourceFacts* facts) {
  if (facts->videoSeen || length < 12) return;
  const uint8_t* p = payload;
  facts->videoSeen = true;
  facts->width = (p[4] << 4) | (p[5] >> 4);
  facts->height = ((p[5] & 0x0F) << 8) | p[6];
  facts->aspectCode = p[7] >> 4;
  facts->frameRateCode = p[7] & 0x0F;
  for (int i = 12; i + 5 <= length; ++i)
    if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1 && p[i + 3] == 0xB5 && (p[i + 4] >> 4) == 1) {
      facts->mpeg2Video = true;
      break;
    }
}

void LearnAudio(const uint8_t* payload, int length, bool privateStream, SourceFacts* facts) {
  if (facts->audioSeen || length < 4) return;
  if (privateStream) {
    if (payload[0] >= 0x80 && payload[0] <= 0x87) {
      facts->audioSeen = true;
      facts->ac3 = true;
      facts->sampleRate = 48000;
    }
    return;
  }
  for (int i = 0; i + 4 <= length; ++i) {
    AudioStreamInfo header;
    if (ParseAudioHeader(payload + i, &header) > 0) {
      facts->audioSeen = true;
      facts->channels = header.channels;
      facts->sampleRate = header.sampleRate;
      return;
    }
  }
}

// Parses a pack and, when facts is given, what its payloads say; the video
// payloads go to the timeline when one is given (as source pack `index`).
bool ParsePackWith(const uint8_t* pack, PackFacts* out, SourceFacts* source, PictureTimeline* timeline = NULL,
                   int64_t index = 0) {
  PackFacts facts;
  if (pack[0] != 0 || pack[1] != 0 || pack[2] != 1 || pack[3] != 0xBA || (pack[4] & 0xC0) != 0x40) return false;
  int64_t base = (static_cast<int64_t>(pack[4] & 0x38) << 27) | (static_cast<int64_t>(pack[4] & 3) << 28) |
                 (static_cast<int64_t>(pack[5]) << 20) | (static_cast<int64_t>(pack[6] >> 3) << 15) |
                 (static_cast<int64_t>(pack[6] & 3) << 13) | (static_cast<int64_t>(pack[7]) << 5) | (pack[8] >> 3);
  int ext = (pack[8] & 3) << 7 | pack[9] >> 1;
  facts.scr = base * 300 + ext;
  int pos = 14 + (pack[13] & 7);
  while (pos + 6 <= kPack) {
    const uint8_t* p = pack + pos;
    if (p[0] != 0 || p[1] != 0 || p[2] != 1) break;
    const uint8_t id = p[3];
    if (id == 0xB9) break;
    int length = p[4] << 8 | p[5];
    int end = pos + 6 + length;
    if (end > kPack) return false;
    if (id == 0xBF && length > 0 && p[6] == 0) {
      facts.role = kRoleNavigation;
    } else if ((id & 0xF0) == 0xE0 || (id & 0xE0) == 0xC0 || id == 0xBD) {
      if (length < 3 || (p[6] & 0xC0) != 0x80) return false;
      int headerEnd = pos + 9 + p[8];
      if (headerEnd > end) return false;
      const uint8_t* payload = pack + headerEnd;
      int payloadLength = end - headerEnd;
      bool pts = (p[7] & 0x80) != 0 && p[8] >= 5;
      if ((id & 0xF0) == 0xE0) {
        if (facts.role != kRoleNavigation) facts.role = kRoleVideo;
        const int64_t stamp = pts ? ReadTimestamp(p + 9) : 0;
        if (pts && !facts.hasPts) {
          facts.hasPts = true;
          facts.pts = stamp;
        }
        if (timeline != NULL) timeline->Feed(index, payload, static_cast<size_t>(payloadLength), pts, stamp);
        if (payloadLength >= 4 && payload[0] == 0 && payload[1] == 0 && payload[2] == 1 && payload[3] == 0xB3) {
          facts.gopStart = true;
          if (source != NULL) LearnVideo(payload, payloadLength, source);
        }
        for (int i = 0; i + 4 <= payloadLength; ++i)
          if (payload[i] == 0 && payload[i + 1] == 0 && payload[i + 2] == 1 && payload[i + 3] == 0) ++facts.pictureStarts;
      } else {
        if (facts.role == kRoleOther) facts.role = kRoleAudio;
        if (source != NULL) LearnAudio(payload, payloadLength, id == 0xBD, source);
      }
    }
    pos = end;
  }
  *out = facts;
  return true;
}

std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
#ifdef _WIN32
  return folder + "\\" + name;
#else
  return folder + "/" + name;
#endif
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = OpenBinaryFile(path, "wb");
  if (f == NULL) return false;
  bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

// Reads every pack of a source and divides it into VOBUs.
bool ScanSource(Cell* cell, SourceFacts* facts, AuthorListener* listener, std::string* error) {
  ByteWindow window(cell->path);
  if (!window.IsOpen()) {
    *error = "cannot open " + cell->path;
    return false;
  }
  const int64_t size = window.Size();
  if (size == 0 || size % kPack != 0) {
    *error = cell->path + " is not made of 2048-byte packs";
    return false;
  }
  const int64_t count = size / kPack;
  cell->packs.resize(static_cast<size_t>(count));
  PictureTimeline timeline;
  bool ownNavigation = false;
  for (int64_t n = 0; n < count; ++n) {
    size_t got = 0;
    const uint8_t* pack = window.Peek(n * kPack, kPack, &got);
    if (pack == NULL || got != kPack) {
      *error = "cannot read " + cell->path;
      return false;
    }
    if (!ParsePackWith(pack, &cell->packs[static_cast<size_t>(n)], facts, &timeline, n)) {
      *error = cell->path + ": pack " + std::to_string(n) + " is no MPEG-2 pack";
      return false;
    }
    if (cell->packs[static_cast<size_t>(n)].role == kRoleNavigation) ownNavigation = true;
    if ((n & 1023) == 0 && listener->Cancelled()) {
      *error = "cancelled";
      return false;
    }
  }
  if (!facts->videoSeen) {
    *error = cell->path + " holds no video";
    return false;
  }
  // VOBU boundaries: the stream's navigation packs; without them, a
  // navigation pack goes before the first pack and before every GOP after it.
  std::vector<Vobu>& vobus = cell->vobus;
  bool sawVideo = false;
  for (int64_t n = 0; n < count; ++n) {
    const PackFacts& pack = cell->packs[static_cast<size_t>(n)];
    bool opens;
    if (ownNavigation)
      opens = pack.role == kRoleNavigation;
    else
      opens = n == 0 || (pack.role == kRoleVideo && pack.gopStart && sawVideo);
    if (pack.role == kRoleVideo) sawVideo = true;
    if (opens) {
      if (!vobus.empty()) vobus.back().endSource = n;
      Vobu vobu;
      vobu.navSource = ownNavigation ? n : -1;
      vobu.firstSource = ownNavigation ? n + 1 : n;
      vobu.navScr = pack.scr;
      vobus.push_back(vobu);
    } else if (vobus.empty()) {
      // Packs before the stream's first navigation pack get one of their own.
      Vobu vobu;
      vobu.firstSource = n;
      vobu.navScr = pack.scr;
      vobus.push_back(vobu);
    }
  }
  vobus.back().endSource = count;
  // Times come from the pictures: each VOBU shows from its earliest picture
  // to its latest, and the cell ends one picture after its last one.
  const int64_t frame = FrameTicks90(facts->frameRateCode);
  timeline.Resolve(frame);
  const std::vector<PictureTimeline::Picture>& pictures = timeline.Pictures();
  size_t next = 0;  // the first picture not yet given to a VOBU
  int64_t cellStart = -1, cellLast = -1;
  for (Vobu& vobu : vobus) {
    vobu.sectors = 1 + vobu.endSource - vobu.firstSource;
    for (int64_t n = vobu.firstSource; n < vobu.endSource; ++n) {
      const PackFacts& pack = cell->packs[static_cast<size_t>(n)];
      if (pack.role == kRoleAudio && vobu.firstAudio < 0) vobu.firstAudio = n - vobu.firstSource + 1;
      if (pack.role == kRoleVideo) vobu.hasVideo = true;
    }
    int inVobu = 0;
    for (; next < pictures.size() && pictures[next].pack < vobu.endSource; ++next) {
      const PictureTimeline::Picture& picture = pictures[next];
      if (vobu.startPts < 0 || picture.pts < vobu.startPts) vobu.startPts = picture.pts;
      vobu.lastPts = std::max(vobu.lastPts, picture.pts);
      // The first picture ends where the second one starts.
      if (++inVobu == 2) vobu.firstRefEnd = std::max<int64_t>(1, picture.pack - vobu.firstSource + 1);
    }
    if (vobu.firstRefEnd == 0) vobu.firstRefEnd = vobu.sectors - 1;
    if (vobu.startPts >= 0 && (cellStart < 0 || vobu.startPts < cellStart)) cellStart = vobu.startPts;
    cellLast = std::max(cellLast, vobu.lastPts);
  }
  // VOBUs without a picture take their neighbours' times.
  int64_t last = std::max<int64_t>(0, cellStart);
  for (Vobu& vobu : vobus) {
    if (vobu.startPts < 0) vobu.startPts = last;
    if (vobu.lastPts < vobu.startPts) vobu.lastPts = vobu.startPts;
    last = vobu.lastPts;
  }
  cell->startPts = std::max<int64_t>(0, cellStart);
  cell->endPts = std::max(cell->startPts, cellLast) + frame;
  for (size_t v = 0; v < vobus.size(); ++v)
    vobus[v].endPts = v + 1 < vobus.size() ? vobus[v + 1].startPts : cell->endPts;
  return true;
}

// The VOBU whose start is the first at or after time t, within the cell,
// or -1.
long FirstVobuFrom(const Cell& cell, int64_t t) {
  for (size_t v = 0; v < cell.vobus.size(); ++v)
    if (cell.vobus[v].startPts >= t) return static_cast<long>(v);
  return -1;
}
long LastVobuUntil(const Cell& cell, int64_t t) {
  for (size_t v = cell.vobus.size(); v-- > 0;)
    if (cell.vobus[v].startPts <= t) return static_cast<long>(v);
  return -1;
}

uint32_t SearchEntry(const Cell& cell, size_t from, long to) {
  if (to < 0 || static_cast<size_t>(to) == from) return kSearchEnd;
  int64_t distance = cell.vobus[static_cast<size_t>(to)].sector - cell.vobus[from].sector;
  if (distance < 0) distance = -distance;
  return static_cast<uint32_t>(distance) | (cell.vobus[static_cast<size_t>(to)].hasVideo ? kSearchVideo : 0);
}

// Fills the navigation pack of VOBU v of the cell (cell number cellId).
void FillNavigation(uint8_t* pack, const Cell& cell, size_t v, int cellId, int fps) {
  const Vobu& vobu = cell.vobus[v];
  uint8_t* pci = pack + kPciOffset;
  uint8_t* dsi = pack + kDsiOffset;
  memset(pci, 0, 979);
  memset(dsi, 0, 1017);
  Put32(pci + 0, static_cast<uint32_t>(vobu.sector));
  Put32(pci + 12, static_cast<uint32_t>(vobu.startPts));
  Put32(pci + 16, static_cast<uint32_t>(vobu.endPts));
  WriteBcdTime(pci + 24, vobu.startPts - cell.startPts, fps);

  int64_t scrBase = vobu.navScr / 300;
  Put32(dsi + 0, static_cast<uint32_t>(scrBase));
  Put32(dsi + 4, static_cast<uint32_t>(vobu.sector));
  Put32(dsi + 8, static_cast<uint32_t>(vobu.sectors - 1));
  Put32(dsi + 12, static_cast<uint32_t>(vobu.firstRefEnd));
  Put16(dsi + 24, static_cast<uint32_t>(cellId));
  dsi[27] = 1;
  WriteBcdTime(dsi + 28, vobu.startPts - cell.startPts, fps);

  // Search pointers: the VOBUs 0.5 s x n ahead and back, the next and
  // previous VOBU and the next and previous with video.
  static const int kSteps[19] = {240, 120, 60, 20, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  uint8_t* sri = dsi + 0xEA;
  long nextVideo = -1, prevVideo = -1;
  for (size_t k = v + 1; k < cell.vobus.size() && nextVideo < 0; ++k)
    if (cell.vobus[k].hasVideo) nextVideo = static_cast<long>(k);
  for (size_t k = v; k-- > 0 && prevVideo < 0;)
    if (cell.vobus[k].hasVideo) prevVideo = static_cast<long>(k);
  Put32(sri + 0, SearchEntry(cell, v, nextVideo));
  for (int i = 0; i < 19; ++i)
    Put32(sri + 4 + 4 * i, SearchEntry(cell, v, FirstVobuFrom(cell, vobu.startPts + kSteps[i] * 45000LL)));
  Put32(sri + 80, SearchEntry(cell, v, v + 1 < cell.vobus.size() ? static_cast<long>(v + 1) : -1));
  Put32(sri + 84, SearchEntry(cell, v, v > 0 ? static_cast<long>(v - 1) : -1));
  for (int i = 0; i < 19; ++i)
    Put32(sri + 88 + 4 * i,
          SearchEntry(cell, v, LastVobuUntil(cell, vobu.startPts - kSteps[18 - i] * 45000LL)));
  Put32(sri + 164, SearchEntry(cell, v, prevVideo));
  // Audio synchronisation: where the first audio pack of the VOBU lies.
  uint8_t* sync = dsi + 0x192;
  if (vobu.firstAudio > 0) Put16(sync, static_cast<uint32_t>(vobu.firstAudio));
}

// A navigation pack of our own layout at the VOBU's start.
void MakeNavigationPack(uint8_t* pack, int64_t scr) {
  memset(pack, 0, kPack);
  int pos = WritePackHeader(pack, true, scr, 25200);
  const SystemHeaderStream streams[4] = {{0xE0, 232 * 1024}, {0xC0, 4096}, {0xBD, 58 * 1024}, {0xBF, 2 * 1024}};
  pos += WriteSystemHeader(pack + pos, 25200, false, streams, 4);
  WriteNavigationPackets(pack + pos);  // at 38: PCI data at kPciOffset, DSI at kDsiOffset
}

// True when the pack keeps its navigation packets where a DVD keeps them.
bool StandardNavigation(const uint8_t* pack) {
  const uint8_t* pci = pack + kPciOffset - 7;
  const uint8_t* dsi = pack + kDsiOffset - 7;
  return pci[0] == 0 && pci[1] == 0 && pci[2] == 1 && pci[3] == 0xBF && pci[6] == 0 && dsi[0] == 0 && dsi[1] == 0 &&
         dsi[2] == 1 && dsi[3] == 0xBF && dsi[6] == 1;
}

class VobWriter {
public:
  VobWriter(const std::string& folder, AuthorOutcome* outcome) : m_folder(folder), m_outcome(outcome) {}
  ~VobWriter() { Close(); }
  bool Write(const uint8_t* pack) {
    if (m_file == NULL || m_inFile >= kVobLimitSectors) {
      Close();
      char name[32];
      snprintf(name, sizeof name, "VTS_01_%d.VOB", ++m_number);
      std::string path = Joined(m_folder, name);
      m_file = OpenBinaryFile(path, "wb");
      if (m_file == NULL) return false;
      m_outcome->files.push_back(path);
      m_inFile = 0;
    }
    ++m_inFile;
    return fwrite(pack, 1, kPack, m_file) == static_cast<size_t>(kPack);
  }
  bool Close() {
    bool ok = true;
    if (m_file != NULL) ok = fclose(m_file) == 0;
    m_file = NULL;
    return ok;
  }

private:
  std::string m_folder;
  AuthorOutcome* m_outcome;
  FILE* m_file = NULL;
  int m_number = 0;
  int64_t m_inFile = 0;
};

bool Fail(AuthorOutcome* outcome, const std::string& error) {
  outcome->error = error;
  return false;
}

}  // namespace

bool ParseDvdPack(const uint8_t* pack, PackFacts* facts) { return ParsePackWith(pack, facts, NULL); }

bool AuthorDvd(const AuthorJob& job, AuthorListener* listener, AuthorOutcome* outcome) {
  AuthorListener quiet;
  if (listener == NULL) listener = &quiet;
  *outcome = AuthorOutcome();
  if (job.inputs.empty()) return Fail(outcome, "no program stream given");
  if (job.inputs.size() > 99) return Fail(outcome, "a title holds at most 99 chapters");

  // Scan.
  std::vector<Cell> cells(job.inputs.size());
  SourceFacts facts;
  for (size_t c = 0; c < cells.size(); ++c) {
    cells[c].path = job.inputs[c];
    SourceFacts own;
    if (!ScanSource(&cells[c], &own, listener, &outcome->error)) return false;
    if (c == 0) {
      facts = own;
    } else if (own.width != facts.width || own.height != facts.height || own.frameRateCode != facts.frameRateCode ||
               (own.aspectCode == kAspectWide) != (facts.aspectCode == kAspectWide)) {
      return Fail(outcome, cells[c].path + " has another picture format than " + cells[0].path);
    }
    if (own.audioSeen && !facts.audioSeen) {
      facts.audioSeen = true;
      facts.ac3 = own.ac3;
      facts.channels = own.channels;
      facts.sampleRate = own.sampleRate;
    }
  }
  const bool pal = facts.height == 576 || facts.height == 288;
  if (!((facts.width == 720 || facts.width == 704 || facts.width == 352) &&
        (facts.height == 576 || facts.height == 480 || facts.height == 288 || facts.height == 240)))
    return Fail(outcome, "picture size " + std::to_string(facts.width) + "x" + std::to_string(facts.height) +
                             " is not a DVD size");
  if (pal != (job.tvType == 1))
    listener->Note(std::string("the streams are ") + (pal ? "PAL" : "NTSC") + "; the disc follows them");
  const int fps = FrameRateFps(facts.frameRateCode);
  // The title set says what shape the pictures are: a player that took a
  // 4:3 picture for 16:9 would stretch it.
  const bool wide = facts.mpeg2Video && facts.aspectCode == kAspectWide;
  if (wide != (job.aspect == 1))
    listener->Note(std::string("the pictures are ") + (wide ? "16:9" : "4:3") + "; the title set says " +
                   (wide ? "16:9" : "4:3") + ", not the job's " + (job.aspect == 1 ? "16:9" : "4:3"));

  // Layout: sectors of every VOBU in the title VOBs.
  int64_t sector = 0;
  int64_t title = 0;  // presentation time of the title before this cell
  IfoTitleSet set;
  for (size_t c = 0; c < cells.size(); ++c) {
    Cell& cell = cells[c];
    cell.firstVobu = static_cast<int64_t>(set.vobuSectors.size());
    cell.firstSector = sector;
    for (Vobu& vobu : cell.vobus) {
      vobu.sector = sector;
      sector += vobu.sectors;
      if (vobu.navSource < 0) ++outcome->insertedNavigationPacks;
      set.vobuSectors.push_back(vobu.sector);
      set.vobuStartTicks.push_back(title + vobu.startPts - cell.startPts);
    }
    cell.sectors = sector - cell.firstSector;
    set.cells.push_back(IfoCell{cell.firstSector, cell.vobus.back().sector, sector - 1, cell.endPts - cell.startPts});
    title += cell.endPts - cell.startPts;
  }
  outcome->vobSectors = sector;
  outcome->vobus = static_cast<int>(set.vobuSectors.size());
  set.vobSectors = sector;
  set.mpeg2 = facts.mpeg2Video;
  set.pal = pal;
  set.wide = wide;
  set.letterBox = job.letterBox != 0;
  set.width = facts.width;
  set.height = facts.height;
  set.frameRateFps = fps;
  set.hasAudio = facts.audioSeen;
  set.audioAc3 = facts.ac3;
  set.audioChannels = facts.channels;

  // Write the VOBs.
  const std::string videoTs = Joined(job.discFolder, "VIDEO_TS");
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::u8path(videoTs), ec);
  if (ec) return Fail(outcome, "cannot create " + videoTs);
  bool ok = true;
  {
    VobWriter writer(videoTs, outcome);
    int lastPercent = -1;
    std::vector<uint8_t> pack(kPack);
    for (size_t c = 0; c < cells.size() && ok; ++c) {
      const Cell& cell = cells[c];
      ByteWindow window(cell.path);
      for (size_t v = 0; v < cell.vobus.size() && ok; ++v) {
        const Vobu& vobu = cell.vobus[v];
        size_t got = 0;
        const uint8_t* source = vobu.navSource >= 0 ? window.Peek(vobu.navSource * kPack, kPack, &got) : NULL;
        if (source != NULL && got == kPack && StandardNavigation(source)) {
          memcpy(pack.data(), source, kPack);
        } else {
          MakeNavigationPack(pack.data(), vobu.navScr);
        }
        FillNavigation(pack.data(), cell, v, static_cast<int>(c + 1), fps);
        ok = writer.Write(pack.data());
        for (int64_t n = vobu.firstSource; n < vobu.endSource && ok; ++n) {
          source = window.Peek(n * kPack, kPack, &got);
          ok = source != NULL && got == kPack && writer.Write(source);
        }
        int percent = static_cast<int>((vobu.sector + vobu.sectors) * 100 / std::max<int64_t>(1, sector));
        if (percent != lastPercent) {
          lastPercent = percent;
          listener->VobPercent(percent);
        }
        if (listener->Cancelled()) {
          outcome->error = "cancelled";
          ok = false;
        }
      }
    }
    if (!writer.Close()) ok = false;
  }
  if (ok) {
    listener->ImagePercent(0);
    IfoBytes vts = BuildTitleSetIfo(set);
    listener->ImagePercent(40);
    IfoBytes vmg = BuildManagerIfo(set, vts);
    listener->ImagePercent(60);
    const char* names[4] = {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"};
    const IfoBytes* contents[4] = {&vmg, &vmg, &vts, &vts};
    for (int i = 0; i < 4 && ok; ++i) {
      std::string path = Joined(videoTs, names[i]);
      ok = WriteWhole(path, *contents[i]);
      if (ok) outcome->files.push_back(path);
    }
    listener->ImagePercent(100);
    if (!ok) outcome->error = "cannot write the information files";
  } else if (outcome->error.empty()) {
    outcome->error = "cannot write the VOB files";
  }
  if (!ok) {
    for (const std::string& file : outcome->files) remove(file.c_str());
    outcome->files.clear();
  }
  return ok;
}
