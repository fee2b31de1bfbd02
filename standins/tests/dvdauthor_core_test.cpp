// DVD authoring from program streams that the multiplexer made of ffmpeg's
// elementary streams: the VOBs with their navigation packs filled in, the
// information files read back field by field, each VIDEO_TS read by lsdvd
// and ffprobe, and the refusals.
#include "standins/dvdauthor/author_core.h"
#include "standins/dvdauthor/ifo_writer.h"
#include "standins/dvdauthor/picture_timeline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "discimage/tests/test_support.h"
#include "standins/include/muxtools.h"
#include "standins/mux/mux.h"
#include "standins/tests/es_fixtures.h"
#include "standins/tests/video_ts_check.h"

using namespace test_support;

namespace {

uint32_t Be32(const Bytes& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}
uint16_t Be16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] << 8 | b[at + 1]); }

std::string Mux(const std::string& name, int format) {
  MuxJob job;
  job.formatCode = format;
  job.video = EsFixturePath(name + (format == kMuxFormatVcd ? ".m1v" : ".m2v"));
  job.audio = EsFixturePath(name + ".mp2");
  job.output = name + ".mpg";
  MuxOutcome outcome;
  EXPECT_EQ(kMuxResultOk, RunMux(job, &outcome)) << outcome.message;
  return job.output;
}

// A DVD program stream of ffmpeg's own making (2048-byte MPEG-2 packs, no
// navigation packs) from its test picture and a tone.
std::string MakeDvdStream(const std::string& name, const std::string& picture, const std::string& options,
                          int seconds) {
  std::string made = name + ".mpg";
  std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=" + picture +
                        " -f lavfi -i sine=sample_rate=48000 -t " + std::to_string(seconds) + " " + options +
                        " -threads 1 '" + made + "'";
  EXPECT_EQ(0, system(command.c_str())) << command;
  return made;
}

class Recorder : public AuthorListener {
public:
  std::vector<int> vob, image;
  std::vector<std::string> notes;
  void VobPercent(int percent) override { vob.push_back(percent); }
  void ImagePercent(int percent) override { image.push_back(percent); }
  void Note(const std::string& text) override { notes.push_back(text); }
};

class DvdAuthorCore : public ::testing::Test {
protected:
  void SetUp() override {
    if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
    disc = CurrentTestName() + "-disc/";
    std::filesystem::remove_all(disc);
  }
  std::string disc;
};

TEST_F(DvdAuthorCore, TwoStreamsMakeOneTitleWithTwoChapters) {
  AuthorJob job;
  job.inputs = {Mux("dvd-pal", kMuxFormatDvd), Mux("dvd-pal", kMuxFormatDvd)};
  job.discFolder = disc;
  job.tvType = 1;
  job.aspect = 1;
  Recorder recorder;
  AuthorOutcome outcome;
  ASSERT_TRUE(AuthorDvd(job, &recorder, &outcome)) << outcome.error;
  EXPECT_EQ(0, outcome.insertedNavigationPacks) << "the multiplexer left a slot for every VOBU";
  ASSERT_FALSE(recorder.vob.empty());
  EXPECT_EQ(100, recorder.vob.back());
  EXPECT_EQ(100, recorder.image.back());

  const std::string ts = disc + "VIDEO_TS/";
  Bytes vob = ReadBytes(ts + "VTS_01_1.VOB");
  Bytes vts = ReadBytes(ts + "VTS_01_0.IFO");
  Bytes vmg = ReadBytes(ts + "VIDEO_TS.IFO");
  ASSERT_EQ(static_cast<size_t>(outcome.vobSectors) * 2048, vob.size());
  EXPECT_EQ(vts, ReadBytes(ts + "VTS_01_0.BUP"));
  EXPECT_EQ(vmg, ReadBytes(ts + "VIDEO_TS.BUP"));
  EXPECT_EQ(Bytes(ReadBytes(job.inputs[0]).size() * 2, 0).size(), vob.size())
      << "VOBs are the streams' packs, nothing added or lost";

  // Every navigation pack knows its own sector, and the VOBU address map
  // lists exactly those sectors.
  std::vector<uint32_t> navigation;
  for (size_t s = 0; s < vob.size() / 2048; ++s) {
    size_t at = s * 2048;
    if (vob[at + 14 + 3] == 0xBB && vob[at + 38 + 3] == 0xBF) {
      navigation.push_back(static_cast<uint32_t>(s));
      EXPECT_EQ(s, Be32(vob, at + kPciOffset)) << "PCI lbn at " << s;
      EXPECT_EQ(s, Be32(vob, at + kDsiOffset + 4)) << "DSI lbn at " << s;
      uint32_t end = Be32(vob, at + kDsiOffset + 8);
      ASSERT_LT(s + end, vob.size() / 2048);
      EXPECT_LT(Be32(vob, at + kPciOffset + 12), Be32(vob, at + kPciOffset + 16)) << "start before end";
    }
  }
  ASSERT_EQ(static_cast<size_t>(outcome.vobus), navigation.size());

  ASSERT_GE(vts.size(), 2048u);
  EXPECT_EQ(0, memcmp(vts.data(), "DVDVIDEO-VTS", 12));
  const uint32_t vtsSectors = static_cast<uint32_t>(vts.size() / 2048);
  EXPECT_EQ(vtsSectors, Be32(vts, 0xC4)) << "title VOBs follow the information file";
  EXPECT_EQ(2 * vtsSectors + outcome.vobSectors - 1, Be32(vts, 0x0C));
  // The job asked for 16:9, but ffmpeg's pictures are 4:3: the title set
  // follows the pictures and the log says so.
  EXPECT_EQ(0x1000u, Be16(vts, 0x200) & 0x3C00u) << "PAL, 4:3";
  ASSERT_EQ(1u, recorder.notes.size());
  EXPECT_NE(std::string::npos, recorder.notes[0].find("4:3")) << recorder.notes[0];
  EXPECT_EQ(1, Be16(vts, 0x202)) << "one audio stream";
  // Chapters.
  size_t ptt = Be32(vts, 0xC8) * 2048;
  EXPECT_EQ(1, Be16(vts, ptt));
  EXPECT_EQ(2, Be16(vts, ptt + 12 + 4 + 2)) << "chapter 2 is program 2";
  // The program chain: two programs, two cells, cell 2 starting where
  // stream 2 starts.
  size_t pgcit = Be32(vts, 0xCC) * 2048;
  size_t pgc = pgcit + Be32(vts, pgcit + 12);
  EXPECT_EQ(2, vts[pgc + 2]);
  EXPECT_EQ(2, vts[pgc + 3]);
  size_t playback = pgc + Be16(vts, pgc + 0xE8);
  EXPECT_EQ(0u, Be32(vts, playback + 8));
  EXPECT_EQ(vob.size() / 2048 / 2, Be32(vts, playback + 24 + 8));
  EXPECT_EQ(vob.size() / 2048 - 1, Be32(vts, playback + 24 + 20));
  EXPECT_EQ(0x03, vts[playback + 6]) << "cell 1 plays 3 s";
  // Cell addresses and VOBU addresses.
  size_t cadt = Be32(vts, 0xE0) * 2048;
  EXPECT_EQ(2, Be16(vts, cadt));
  size_t admap = Be32(vts, 0xE4) * 2048;
  ASSERT_EQ(4 + 4 * navigation.size() - 1, Be32(vts, admap));
  for (size_t n = 0; n < navigation.size(); ++n) EXPECT_EQ(navigation[n], Be32(vts, admap + 4 + 4 * n));

  EXPECT_EQ(0, memcmp(vmg.data(), "DVDVIDEO-VMG", 12));
  size_t srpt = Be32(vmg, 0xC4) * 2048;
  EXPECT_EQ(1, Be16(vmg, srpt));
  EXPECT_EQ(2, Be16(vmg, srpt + 10)) << "two chapters";
  EXPECT_EQ(2 * vmg.size() / 2048, Be32(vmg, srpt + 16)) << "title set after VIDEO_TS.IFO and .BUP";
  EXPECT_EQ(0x30, vmg[0x400 + 0xEC + 8]) << "first play jumps to title 1";

  // ffprobe reads the VOB; each cell's timestamps start anew, so it sees the
  // length of one stream.
  std::string command = "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + ts + "VTS_01_1.VOB'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  char text[64] = "";
  fgets(text, sizeof text, pipe);
  pclose(pipe);
  EXPECT_NEAR(3.0, atof(text), 0.2);
  EXPECT_EQ("", CheckVideoTs(disc, "two-chapters", 2, 6.0));
}

// The pictures of a video elementary stream.
int PictureCount(const std::string& path) {
  Bytes es = ReadBytes(path);
  int pictures = 0;
  for (size_t i = 0; i + 4 <= es.size(); ++i)
    if (es[i] == 0 && es[i + 1] == 0 && es[i + 2] == 1 && es[i + 3] == 0) ++pictures;
  return pictures;
}

// Takes the timestamps off every video packet of a 2048-byte-pack stream
// whose PTS lies `after` ticks past the first one (they become stuffing), as
// a multiplexer may leave the last pictures of a stream.
void UnstampVideoAfter(const std::string& path, int64_t after) {
  Bytes bytes = ReadBytes(path);
  int64_t first = -1;
  for (size_t at = 0; at + 2048 <= bytes.size(); at += 2048) {
    size_t pos = at + 14 + (bytes[at + 13] & 7);
    while (pos + 9 <= at + 2048 && bytes[pos] == 0 && bytes[pos + 1] == 0 && bytes[pos + 2] == 1) {
      const uint8_t id = bytes[pos + 3];
      const size_t end = pos + 6 + (bytes[pos + 4] << 8 | bytes[pos + 5]);
      if (id == 0xB9) break;
      if ((id & 0xF0) == 0xE0 && (bytes[pos + 7] & 0x80)) {
        const uint8_t* t = &bytes[pos + 9];
        int64_t pts = (static_cast<int64_t>(t[0] & 0x0E) << 29) | (t[1] << 22) | ((t[2] >> 1) << 15) | (t[3] << 7) |
                      (t[4] >> 1);
        if (first < 0) first = pts;
        if (pts - first > after) {
          const int stamps = (bytes[pos + 7] & 0x40) ? 10 : 5;
          bytes[pos + 7] &= 0x3F;
          for (int i = 0; i < stamps; ++i) bytes[pos + 9 + i] = 0xFF;
        }
      }
      pos = end;
    }
  }
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

// A cell plays as long as its pictures, whatever the packets carry: the
// cell time, the title time and the last VOBU's end count every picture.
TEST_F(DvdAuthorCore, CellTimeCountsEveryPictureAlsoUnstampedOnes) {
  struct Row {
    const char* name;
    int tvType;
    int fps;
    int64_t frameTicks;
    int64_t unstampAfter;  // 90 kHz past the first picture; -1 keeps every stamp
  } rows[] = {
      {"dvd-pal", 1, 25, 3600, -1},   {"dvd-pal", 1, 25, 3600, 2 * 90000},  {"dvd-pal", 1, 25, 3600, 45000},
      {"dvd-ntsc", 0, 30, 3003, -1},  {"dvd-ntsc", 0, 30, 3003, 2 * 90000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " unstamped after " + std::to_string(row.unstampAfter));
    std::string stream = Mux(row.name, kMuxFormatDvd);
    if (row.unstampAfter >= 0) UnstampVideoAfter(stream, row.unstampAfter);
    const int64_t expected = PictureCount(EsFixturePath(std::string(row.name) + ".m2v")) * row.frameTicks;
    AuthorJob job;
    job.inputs = {stream};
    job.discFolder = disc + row.name + std::to_string(row.unstampAfter) + "/";
    job.tvType = row.tvType;
    AuthorOutcome outcome;
    ASSERT_TRUE(AuthorDvd(job, NULL, &outcome)) << outcome.error;

    Bytes vob = ReadBytes(job.discFolder + "VIDEO_TS/VTS_01_1.VOB");
    Bytes vts = ReadBytes(job.discFolder + "VIDEO_TS/VTS_01_0.IFO");
    ASSERT_GE(vts.size(), 2048u);
    uint32_t firstStart = 0, lastEnd = 0;
    bool seen = false;
    for (size_t at = 0; at + 2048 <= vob.size(); at += 2048) {
      if (vob[at + 14 + 3] != 0xBB) continue;
      if (!seen) firstStart = Be32(vob, at + kPciOffset + 12);
      seen = true;
      lastEnd = Be32(vob, at + kPciOffset + 16);
    }
    EXPECT_EQ(expected, static_cast<int64_t>(lastEnd) - firstStart) << "the last VOBU ends after the last picture";

    uint8_t bcd[4];
    WriteBcdTime(bcd, expected, row.fps);
    size_t pgcit = Be32(vts, 0xCC) * 2048;
    size_t pgc = pgcit + Be32(vts, pgcit + 12);
    size_t playback = pgc + Be16(vts, pgc + 0xE8);
    EXPECT_EQ(Bytes(bcd, bcd + 4), Bytes(&vts[pgc + 4], &vts[pgc + 8])) << "title time";
    EXPECT_EQ(Bytes(bcd, bcd + 4), Bytes(&vts[playback + 4], &vts[playback + 8])) << "cell time";
  }
}

// Two GOPs in decoding order (I P B B, then an open GOP B B I), only the
// first picture stamped, fed split at every place after the first picture
// begins: a start code or a picture
// header cut by a payload boundary counts as a whole one, and every picture
// is placed by its temporal reference.
TEST(PictureTimelineTest, PlacesUnstampedPicturesByTheirTemporalReference) {
  Bytes es;
  auto startCode = [&](uint8_t code) { es.insert(es.end(), {0, 0, 1, code}); };
  auto picture = [&](int reference) {
    startCode(0x00);
    es.push_back(static_cast<uint8_t>(reference >> 2));
    es.push_back(static_cast<uint8_t>((reference & 3) << 6 | 0x08));
    es.insert(es.end(), {0x11, 0x22});
  };
  startCode(0xB3);
  es.insert(es.end(), 8, 0x55);
  startCode(0xB8);
  es.insert(es.end(), 4, 0x40);
  const size_t firstPicture = es.size();  // the stamp is its own from here on
  for (int reference : {0, 3, 1, 2}) picture(reference);
  startCode(0xB8);
  es.insert(es.end(), 4, 0x40);
  for (int reference : {2, 0, 1}) picture(reference);
  const int64_t frame = 3600, first = 90000;
  const int64_t expected[] = {0, 3, 1, 2, 6, 4, 5};
  for (size_t cut = firstPicture + 1; cut < es.size(); ++cut) {
    SCOPED_TRACE("payloads cut at " + std::to_string(cut));
    PictureTimeline timeline;
    timeline.Feed(0, es.data(), cut, true, first);
    timeline.Feed(1, es.data() + cut, es.size() - cut, false, 0);
    timeline.Resolve(frame);
    ASSERT_EQ(7u, timeline.Pictures().size());
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(first + expected[i] * frame, timeline.Pictures()[i].pts) << i;
  }
}

TEST_F(DvdAuthorCore, StreamsWithoutNavigationPacksGetThemInserted) {
  std::string made = MakeDvdStream("ffmpeg-dvd", "size=720x576:rate=25", "-target pal-dvd -c:a mp2 -b:a 224k", 2);
  AuthorJob job;
  job.inputs = {made};
  job.discFolder = disc;
  job.tvType = 1;
  AuthorOutcome outcome;
  ASSERT_TRUE(AuthorDvd(job, NULL, &outcome)) << outcome.error;
  EXPECT_GT(outcome.vobus, 1);
  Bytes vob = ReadBytes(disc + "VIDEO_TS/VTS_01_1.VOB");
  EXPECT_EQ(static_cast<size_t>(outcome.vobSectors) * 2048, vob.size());
  EXPECT_EQ(0xBB, vob[17]) << "the VOB opens with a navigation pack";
  EXPECT_EQ("", CheckVideoTs(disc, "inserted-navigation", 1, 2.0));
}

// The picture and sound attributes of the information files, as libdvdread
// reads them, are what the VOBs hold.
TEST_F(DvdAuthorCore, AttributesSayWhatTheVobsHold) {
  struct Row {
    const char* name;
    const char* picture;  // ffmpeg's test source
    const char* options;  // and how ffmpeg makes a DVD stream of it
    int tvType, aspect, letterBox;  // the job's
    int pictureSize;  // the title set's code for it: 720, 704, 352 wide, 352 wide and half high
    bool wide;        // the title set says 16:9: the pictures' shape, whatever the job asked
  } rows[] = {
      {"pal-letterboxed", "size=720x576:rate=25", "-target pal-dvd -c:a mp2 -b:a 224k", 1, 0, 1, 0, false},
      {"pal-half-size", "size=352x288:rate=25", "-target pal-dvd -s 352x288 -c:a mp2 -b:a 224k", 1, 0, 0, 3, false},
      {"ntsc-wide-ac3", "size=720x480:rate=30000/1001", "-target ntsc-dvd -aspect 16:9", 0, 1, 0, 0, true},
      {"pal-silent", "size=720x576:rate=25", "-target pal-dvd -an", 1, 1, 1, 0, false},
      {"pal-wide-asked-4-3", "size=720x576:rate=25", "-target pal-dvd -aspect 16:9 -c:a mp2 -b:a 224k", 1, 0, 0, 0, true},
  };
  for (const Row& row : rows) {
    std::string made = MakeDvdStream(row.name, row.picture, row.options, 1);
    AuthorJob job;
    job.inputs = {made};
    job.discFolder = disc + row.name + "/";
    job.tvType = row.tvType;
    job.aspect = row.aspect;
    job.letterBox = row.letterBox;
    AuthorOutcome outcome;
    ASSERT_TRUE(AuthorDvd(job, NULL, &outcome)) << row.name << ": " << outcome.error;
    EXPECT_EQ("", CheckVideoTs(job.discFolder, row.name, 1, 1.0)) << row.name;
    // lsdvd shows the height of the TV system for every size: the code
    // itself, where libdvdread reads it.
    Bytes vts = ReadBytes(job.discFolder + "VIDEO_TS/VTS_01_0.IFO");
    ASSERT_GT(vts.size(), 0x201u);
    EXPECT_EQ(row.pictureSize, (vts[0x201] >> 2) & 3) << row.name;
    EXPECT_EQ(row.wide ? 3 : 0, (vts[0x200] >> 2) & 3) << row.name << ": the title set's aspect";
  }
}

TEST_F(DvdAuthorCore, RefusesWhatADvdCannotHold) {
  struct Row {
    const char* what;
    std::vector<std::string> inputs;
  } rows[] = {
      {"VideoCD packs", {Mux("vcd-pal", kMuxFormatVcd)}},
      {"two picture formats", {Mux("dvd-pal", kMuxFormatDvd), Mux("dvd-ntsc", kMuxFormatDvd)}},
      {"two picture shapes",
       {MakeDvdStream("narrow", "size=720x576:rate=25", "-target pal-dvd -an", 1),
        MakeDvdStream("wide", "size=720x576:rate=25", "-target pal-dvd -aspect 16:9 -an", 1)}},
      {"no such file", {"no-such.mpg"}},
      {"nothing", {}},
  };
  for (const Row& row : rows) {
    AuthorJob job;
    job.inputs = row.inputs;
    job.discFolder = disc;
    AuthorOutcome outcome;
    EXPECT_FALSE(AuthorDvd(job, NULL, &outcome)) << row.what;
    EXPECT_FALSE(outcome.error.empty()) << row.what;
    EXPECT_FALSE(std::filesystem::exists(disc + "VIDEO_TS/VTS_01_1.VOB")) << row.what;
  }
}

TEST(DvdPack, ParsesWhatTheScanNeeds) {
  uint8_t pack[2048] = {0, 0, 1, 0xBA, 0x44, 0, 0x04, 0, 0x04, 0x01, 0x01, 0x89, 0xC3, 0xF8};
  uint8_t* p = pack + 14;
  const uint8_t pes[] = {0, 0, 1, 0xE0, 0x07, 0xEC, 0x80, 0x80, 0x05, 0x21, 0x00, 0x01, 0x00, 0x01};
  memcpy(p, pes, sizeof pes);
  const uint8_t payload[] = {0, 0, 1, 0xB3, 0x2D, 0x02, 0x40, 0x33, 0, 0, 1, 0};
  memcpy(p + sizeof pes, payload, sizeof payload);
  PackFacts facts;
  ASSERT_TRUE(ParseDvdPack(pack, &facts));
  EXPECT_EQ(kRoleVideo, facts.role);
  EXPECT_TRUE(facts.gopStart);
  EXPECT_TRUE(facts.hasPts);
  EXPECT_EQ(0, facts.pts);
  EXPECT_EQ(1, facts.pictureStarts);
  pack[4] = 0x21;  // an MPEG-1 pack header
  EXPECT_FALSE(ParseDvdPack(pack, &facts));
  pack[4] = 0x44;
  p[4] = 0x7F;  // a packet that runs past the pack
  EXPECT_FALSE(ParseDvdPack(pack, &facts));
}

}  // namespace
