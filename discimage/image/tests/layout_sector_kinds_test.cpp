// Every kind of sector an image can hold, each written through a whole build
// and read back from the image by readers that know nothing of the encoder:
// ImageReader for subheaders and the ISO 9660 tree, the sector checker for
// sync, address, mode, EDC and parity. The MPEG inputs are ffmpeg's
// fixtures; what ffmpeg cannot make (still picture stream ids, a sequence
// end code, packs of padding or subtitles only) is rewritten into copies of
// them by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "discimage/tests/capture_window.h"
#include "discimage/image/tests/layout_test_project.h"
#include "discimage/image/tests/sector_check.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "discimage/run/vcd_frontend.h"
#include "discimage/xml/vcd_xml_names.h"

using namespace layout_test;
using namespace test_support;

namespace {

const size_t kPack = 2324;
typedef std::vector<int> Subheader;  // file number, channel, submode, coding

// ---------------------------------------------------------------------------
// Packs, taken apart and made by hand

std::vector<Bytes> SplitPacks(const Bytes& file) {
  std::vector<Bytes> packs;
  for (size_t at = 0; at + kPack <= file.size(); at += kPack)
    packs.emplace_back(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at + kPack));
  return packs;
}

Bytes JoinPacks(const std::vector<Bytes>& packs) {
  Bytes file;
  for (const Bytes& pack : packs) file.insert(file.end(), pack.begin(), pack.end());
  return file;
}

size_t PackHeaderSize(const Bytes& pack) {
  return (pack[4] >> 6) == 1 ? 14 + (pack[13] & 7) : 12;
}

// The pack's header, then one packet of the stream that fills the pack:
// body, then 0xFF bytes.
Bytes PackOf(const Bytes& anyPack, int stream, const Bytes& body) {
  Bytes pack(anyPack.begin(), anyPack.begin() + static_cast<long>(PackHeaderSize(anyPack)));
  size_t length = kPack - pack.size() - 6;
  pack.insert(pack.end(), {0, 0, 1, static_cast<uint8_t>(stream), static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(length & 0xFF)});
  pack.insert(pack.end(), body.begin(), body.end());
  pack.resize(kPack, 0xFF);
  return pack;
}

// Packets in the pack behind its header: start code position, stream id,
// length of what follows the 6-byte start.
struct Packet {
  size_t at;
  int id;
  size_t length;
};

std::vector<Packet> PacketsOf(const Bytes& pack) {
  std::vector<Packet> packets;
  size_t at = PackHeaderSize(pack);
  while (at + 6 <= pack.size() && pack[at] == 0 && pack[at + 1] == 0 && pack[at + 2] == 1) {
    Packet p{at, pack[at + 3], static_cast<size_t>(pack[at + 4] << 8 | pack[at + 5])};
    if (at + 6 + p.length > pack.size()) break;
    packets.push_back(p);
    at += 6 + p.length;
  }
  return packets;
}

// Video stream 0xE0 becomes `to`, in its packets and in the system header.
void RenameVideo(Bytes& pack, int to) {
  for (const Packet& p : PacketsOf(pack)) {
    if (p.id == 0xE0) pack[p.at + 3] = static_cast<uint8_t>(to);
    if (p.id != 0xBB) continue;
    for (size_t k = p.at + 12; k + 3 <= p.at + 6 + p.length && (pack[k] & 0x80); k += 3)
      if (pack[k] == 0xE0) pack[k] = static_cast<uint8_t>(to);
  }
}

// A sequence end code behind the video of a pack whose video packet is
// followed by padding, which gives up the four bytes.
bool AppendSequenceEnd(Bytes& pack) {
  std::vector<Packet> packets = PacketsOf(pack);
  for (size_t i = 0; i + 1 < packets.size(); ++i) {
    const Packet& video = packets[i];
    const Packet& padding = packets[i + 1];
    if ((video.id & 0xF0) != 0xE0 || padding.id != 0xBE || padding.length < 4) continue;
    size_t end = padding.at;
    Bytes tail = {0, 0, 1, 0xB7, 0, 0, 1, 0xBE, static_cast<uint8_t>((padding.length - 4) >> 8),
                  static_cast<uint8_t>((padding.length - 4) & 0xFF)};
    std::copy(tail.begin(), tail.end(), pack.begin() + static_cast<long>(end));
    std::fill(pack.begin() + static_cast<long>(end + tail.size()), pack.end(), 0xFF);
    size_t length = video.length + 4;
    pack[video.at + 4] = static_cast<uint8_t>(length >> 8);
    pack[video.at + 5] = static_cast<uint8_t>(length & 0xFF);
    return true;
  }
  return false;
}

// The time stamp of the pack's last packet that carries one, in seconds;
// -1 when none does.
double PackTime(const Bytes& pack) {
  double time = -1;
  for (const Packet& p : PacketsOf(pack)) {
    if (!((p.id & 0xF0) == 0xE0 || (p.id & 0xF0) == 0xC0 || p.id == 0xBD)) continue;
    size_t h = p.at + 6, end = p.at + 6 + p.length;
    const uint8_t* stamp = nullptr;
    if ((pack[h] >> 6) == 2) {
      if (pack[h + 1] & 0x80) stamp = &pack[h + 3];
    } else {
      while (h < end && pack[h] == 0xFF) ++h;
      if (h < end && (pack[h] >> 6) == 1) h += 2;
      if (h < end && ((pack[h] >> 4) == 2 || (pack[h] >> 4) == 3)) stamp = &pack[h];
    }
    if (stamp == nullptr) continue;
    uint64_t ticks = (static_cast<uint64_t>((stamp[0] >> 1) & 7) << 30) |
                     (static_cast<uint64_t>(stamp[1]) << 22) | (static_cast<uint64_t>(stamp[2] >> 1) << 15) |
                     (static_cast<uint64_t>(stamp[3]) << 7) | static_cast<uint64_t>(stamp[4] >> 1);
    time = ticks / 90000.0;
  }
  return time;
}

bool Holds(const Bytes& pack, int stream) {
  for (const Packet& p : PacketsOf(pack))
    if (p.id == stream) return true;
  return false;
}

// The first pack whose time lies at or behind `seconds` from the stream's
// first time stamp: where an auto-pause at that time falls.
int PauseFallsOn(const std::vector<Bytes>& packs, double seconds) {
  double first = 1e30;
  for (const Bytes& pack : packs) {
    double t = PackTime(pack);
    if (t >= 0 && t < first) first = t;
  }
  for (size_t i = 0; i < packs.size(); ++i)
    if (PackTime(packs[i]) >= 0 && PackTime(packs[i]) - first >= seconds) return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------------------
// Builds

class SectorKinds : public FreshFolderTest {
protected:
  void SetUp() override {
    if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
    FreshFolderTest::SetUp();
  }

  std::string Path(const std::string& name) const { return PathOf(name); }

  std::vector<Bytes> Fixture(const char* name) {
    std::vector<Bytes> packs = SplitPacks(ReadBytes(FixturePath(name)));
    EXPECT_FALSE(packs.empty()) << name;
    return packs;
  }
  std::string Write(const std::string& name, const std::vector<Bytes>& packs) {
    EXPECT_TRUE(WriteBytes(Path(name), JoinPacks(packs)));
    return Path(name);
  }

  // Builds the project (the body of its videocd element) into disc.cue and
  // disc.bin; the image's sectors, every one checked.
  int Build(const std::string& cls, const std::string& version, const std::string& body) {
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE videocd PUBLIC \"" VCD_XML_PUBLIC_ID
                      "\" \"" VCD_XML_SYSTEM_ID "\">\n<videocd xmlns=\"" VCD_XML_NAMESPACE
                      "\" class=\"" + cls + "\" version=\"" + version + "\">\n" + body + "</videocd>\n";
    EXPECT_TRUE(WriteText(Path("vcd.xml"), xml));
    VcdBuildParams params;
    memset(&params, 0, sizeof params);
    strcpy(params.xmlPath, Path("vcd.xml").c_str());
    strcpy(params.cuePath, Path("disc.cue").c_str());
    CVcdFrontEnd frontEnd(&params);
    window.Attach(frontEnd);
    EXPECT_EQ(frontEnd.Run(), kVcdResultOk) << window.All();
    size_t sectors = 0;
    EXPECT_EQ(CheckImageFile(Path("disc.bin"), 2352, 0, &sectors), "");
    return static_cast<int>(sectors);
  }

  // Where a file of the image's ISO 9660 tree starts; fails the test when
  // it is not there.
  ImageReader::Entry Find(ImageReader& image, const std::string& path) {
    ImageReader::Entry entry;
    EXPECT_TRUE(image.Find(path, &entry)) << path;
    return entry;
  }

  CaptureWindow window;
};

std::string Info() {
  return "  <info/>\n  <pvd><volume-id>KINDS</volume-id></pvd>\n";
}

// Segment items of still pictures (streams 0xE1 and 0xE2) with a padding
// pack and an auto-pause, a track with three audio streams and an
// auto-pause, and a user file of raw Mode 2 sectors.
TEST_F(SectorKinds, VideoCdStillsPaddingTriggersAudioStreamsAndRawFile) {
  // The still: system header pack, empty packs, the picture; a padding-only
  // pack goes behind the first, the picture's last pack ends its sequence.
  std::vector<Bytes> still = Fixture("still-pal.mpg");
  ASSERT_GT(still.size(), 3u);
  still.insert(still.begin() + 1, PackOf(still[0], 0xBE, {}));
  int lastVideo = -1;
  for (size_t i = 0; i < still.size(); ++i)
    if (Holds(still[i], 0xE0)) lastVideo = static_cast<int>(i);
  ASSERT_GT(lastVideo, 1);
  ASSERT_TRUE(AppendSequenceEnd(still[static_cast<size_t>(lastVideo)]));
  std::vector<Bytes> still1 = still, still2 = still;
  for (Bytes& pack : still1) RenameVideo(pack, 0xE1);
  for (Bytes& pack : still2) RenameVideo(pack, 0xE2);
  int stillTrigger = PauseFallsOn(still1, 0.0);
  ASSERT_GE(stillTrigger, 0);

  std::vector<Bytes> movie = Fixture("pal-vcd-3audio.mpg");
  int movieTrigger = PauseFallsOn(movie, 1.0);
  ASSERT_GT(movieTrigger, 0);

  // Three raw sectors, each bringing its own subheader and a Form 2 EDC of
  // the checker's reckoning.
  Bytes raw;
  for (int i = 0; i < 3; ++i) {
    uint8_t sector[2352] = {};
    uint8_t subheader[4] = {1, 0, static_cast<uint8_t>(i == 2 ? 0xA0 : 0x20), 0};
    memcpy(sector + 16, subheader, 4);
    memcpy(sector + 20, subheader, 4);
    for (int k = 24; k < 2348; ++k) sector[k] = static_cast<uint8_t>(k * 7 + i);
    uint32_t edc = CheckerEdc(sector + 16, 2332);
    for (int k = 0; k < 4; ++k) sector[2348 + k] = static_cast<uint8_t>(edc >> (8 * k));
    raw.insert(raw.end(), sector + 16, sector + 2352);
  }
  ASSERT_TRUE(WriteBytes(Path("raw.dat"), raw));

  std::string body =
      "  <option name=\"track front margin\" value=\"30\"/>\n"
      "  <option name=\"track rear margin\" value=\"45\"/>\n" +
      Info() +
      "  <filesystem><folder><name>EXTRA</name><file src=\"" + Escaped(Path("raw.dat")) +
      "\" format=\"mixed\"><name>RAW.DAT</name></file></folder></filesystem>\n"
      "  <segment-items>\n"
      "    <segment-item id=\"still1\" src=\"" + Escaped(Write("still1.mpg", still1)) +
      "\"><auto-pause>0</auto-pause></segment-item>\n"
      "    <segment-item id=\"still2\" src=\"" + Escaped(Write("still2.mpg", still2)) + "\"/>\n"
      "  </segment-items>\n"
      "  <sequence-items><sequence-item id=\"movie\" src=\"" + Escaped(FixturePath("pal-vcd-3audio.mpg")) +
      "\"><auto-pause>1.0</auto-pause></sequence-item></sequence-items>\n"
      "  <pbc><playlist id=\"all\"><play-item ref=\"still1\"/><play-item ref=\"still2\"/>"
      "<play-item ref=\"movie\"/></playlist></pbc>\n";
  ASSERT_GT(Build("vcd", "2.0", body), 0);
  ImageReader image(Path("disc.bin"), 2352);

  // Still pictures: channel 2 and coding 0x1F for 0xE1, channel 3 and 0x3F
  // for 0xE2; the picture's last packet ends a record, the item's last
  // packet its file; padding is channel 0, coding 0x1F; the empty packs
  // are plain MPEG sectors; the pause's packet carries the trigger.
  struct Still {
    const char* path;
    const std::vector<Bytes>* packs;
    int channel, coding, trigger;
  } stills[] = {
      {"SEGMENT/ITEM0001.DAT", &still1, 2, 0x1F, stillTrigger},
      {"SEGMENT/ITEM0002.DAT", &still2, 3, 0x3F, -1},
  };
  for (const Still& s : stills) {
    SCOPED_TRACE(s.path);
    ImageReader::Entry item = Find(image, s.path);
    int packets = static_cast<int>(s.packs->size());
    EXPECT_EQ(item.size, static_cast<uint32_t>(packets) * 2048);
    for (int n = 0; n < packets; ++n) {
      const Bytes& pack = (*s.packs)[static_cast<size_t>(n)];
      int extra = (n == lastVideo ? 0x01 : 0) | (n == s.trigger ? 0x10 : 0) | (n + 1 == packets ? 0x80 : 0);
      Subheader expected;
      if (Holds(pack, 0xBB) || Holds(pack, 0xE1) || Holds(pack, 0xE2))
        expected = {1, s.channel, 0x62 | extra, s.coding};
      else if (Holds(pack, 0xBE))
        expected = {1, 0, 0x60 | extra, 0x1F};
      else
        expected = {1, 0, 0x60 | extra, 0};
      EXPECT_EQ(image.Subheader(static_cast<int>(item.extent) + n), expected) << "packet " << n;
    }
    // The rest of the item's 150 sectors is empty Form 2.
    EXPECT_EQ(image.Subheader(static_cast<int>(item.extent) + 149), (Subheader{0, 0, 0x20, 0}));
  }

  // The track: audio of 0xC0 on channel 1, of 0xC1 and 0xC2 on channel 2;
  // the pause's packet carries the trigger.
  ImageReader::Entry track = Find(image, "MPEGAV/AVSEQ01.DAT");
  int first = static_cast<int>(track.extent) + 30;
  int secondAndThird = 0;
  for (size_t n = 0; n < movie.size(); ++n) {
    Subheader sub = image.Subheader(first + static_cast<int>(n));
    ASSERT_EQ(sub.size(), 4u);
    EXPECT_EQ(sub[2] & 0x10, static_cast<int>(n) == movieTrigger ? 0x10 : 0) << "packet " << n;
    if (Holds(movie[n], 0xE0) || Holds(movie[n], 0xBB)) continue;
    int channel = Holds(movie[n], 0xC0) ? 1 : 2;
    if (channel == 2) ++secondAndThird;
    EXPECT_EQ(sub[0], 1);
    EXPECT_EQ(sub[1], channel) << "packet " << n;
    EXPECT_EQ(sub[2] & ~0x91, 0x64) << "packet " << n;
    EXPECT_EQ(sub[3], 0x7F) << "packet " << n;
  }
  EXPECT_GT(secondAndThird, 0);

  // The raw file: its bytes behind sync and header, as they were.
  ImageReader::Entry rawFile = Find(image, "EXTRA/RAW.DAT");
  EXPECT_EQ(rawFile.size, 3u * 2048);
  for (int i = 0; i < 3; ++i) {
    uint8_t sector[2352];
    ASSERT_TRUE(image.Raw(static_cast<int>(rawFile.extent) + i, sector));
    SectorCheckOptions options;
    options.expectedLsn = static_cast<int>(rawFile.extent) + i;
    EXPECT_EQ(CheckRawSector(sector, options), "");
    EXPECT_EQ(0, memcmp(sector + 16, raw.data() + i * 2336, 2336)) << "sector " << i;
  }
}

// SVCD subtitle packets, and the three switches of the older SVCD format:
// tracks in MPEGAV with their own file numbers, the ENTRYSVD signature and
// the 5-byte TRACKS.SVD entries.
TEST_F(SectorKinds, SuperVideoCdSubtitlesInTheOlderFormat) {
  std::vector<Bytes> movie = Fixture("pal-svcd.mpg");
  // Subtitles of channels 0 and 1 behind the first pack.
  movie.insert(movie.begin() + 1, PackOf(movie[0], 0xBD, {0x81, 0x00, 0x00, 0x00}));
  movie.insert(movie.begin() + 2, PackOf(movie[0], 0xBD, {0x81, 0x00, 0x00, 0x01}));
  std::string subtitled = Write("subtitled.mpg", movie);
  std::string body =
      "  <option name=\"svcd vcd30 mpegav\" value=\"true\"/>\n"
      "  <option name=\"svcd vcd30 entrysvd\" value=\"true\"/>\n"
      "  <option name=\"svcd vcd30 tracksvd\" value=\"true\"/>\n" +
      Info() +
      "  <sequence-items>\n"
      "    <sequence-item id=\"one\" src=\"" + Escaped(subtitled) + "\"/>\n"
      "    <sequence-item id=\"two\" src=\"" + Escaped(FixturePath("pal-svcd.mpg")) + "\"/>\n"
      "  </sequence-items>\n";
  ASSERT_GT(Build("svcd", "1.0", body), 0);
  ImageReader image(Path("disc.bin"), 2352);

  ImageReader::Entry one = Find(image, "MPEGAV/AVSEQ01.MPG");
  ImageReader::Entry two = Find(image, "MPEGAV/AVSEQ02.MPG");
  ImageReader::Entry none;
  EXPECT_FALSE(image.Find("MPEG2", &none));
  EXPECT_EQ(one.fileNumber, 1);
  EXPECT_EQ(two.fileNumber, 2);
  EXPECT_EQ(one.size, static_cast<uint32_t>(movie.size()) * 2048);  // no margins
  EXPECT_EQ(image.Subheader(static_cast<int>(one.extent) + 1), (Subheader{1, 2, 0x62, 0x0F}));
  EXPECT_EQ(image.Subheader(static_cast<int>(one.extent) + 2), (Subheader{1, 2, 0x62, 0x0F}));
  // Video and audio keep the MPEG-1 codings, each track its file number.
  for (size_t n = 3; n < 12; ++n) {
    Subheader sub = image.Subheader(static_cast<int>(one.extent) + static_cast<int>(n));
    // A system header lists the video too: such a pack counts as video.
    bool audio = Holds(movie[n], 0xC0) && !Holds(movie[n], 0xBB);
    Subheader expected = audio ? Subheader{1, 1, 0x64, 0x7F} : Subheader{1, 1, 0x62, 0x0F};
    EXPECT_EQ(sub, expected) << "packet " << n;
  }
  Subheader last = image.Subheader(static_cast<int>(two.extent + two.size / 2048) - 1);
  ASSERT_EQ(last.size(), 4u);
  EXPECT_EQ(last[0], 2);
  EXPECT_EQ(last[2] & 0x81, 0x81);

  ImageReader::Entry entries = Find(image, "SVCD/ENTRIES.SVD");
  EXPECT_EQ(image.Form1(static_cast<int>(entries.extent)).substr(0, 8), "ENTRYSVD");
  // TRACKS.SVD: the head, then per track the time up to its end, the
  // subtitle channels (bits 0 and 2 for channels 0 and 1) and the audio
  // streams (bit 1 for 0xC0).
  ImageReader::Entry tracks = Find(image, "SVCD/TRACKS.SVD");
  std::string t = image.Form1(static_cast<int>(tracks.extent));
  EXPECT_EQ(t.substr(0, 11), std::string("TRACKSVD\x01\x00\x02", 11));
  auto at = [&t](size_t i) { return static_cast<uint8_t>(t[i]); };
  EXPECT_EQ(at(11 + 3), 0x05);
  EXPECT_EQ(at(11 + 4), 0x02);
  EXPECT_EQ(at(16 + 3), 0x00);
  EXPECT_EQ(at(16 + 4), 0x02);
  // Cumulative times: the second track ends later than the first.
  int firstEnd = (at(11) >> 4) * 600 + (at(11) & 15) * 60 + (at(12) >> 4) * 10 + (at(12) & 15);
  int secondEnd = (at(16) >> 4) * 600 + (at(16) & 15) * 60 + (at(17) >> 4) * 10 + (at(17) & 15);
  EXPECT_GE(firstEnd, 2);
  EXPECT_GT(secondEnd, firstEnd);
  EXPECT_EQ(at(21), 0);  // nothing behind the two entries
}

// What each disc type calls itself and where it puts its tracks.
TEST_F(SectorKinds, DiscTypesNameThemselvesAndTheirTracks) {
  struct Case {
    const char* cls;
    const char* version;
    const char* info;        // INFO file
    std::string identity;    // its first 10 bytes
    const char* entries;     // ENTRIES file
    std::string entriesHead; // its first 10 bytes
    const char* track;       // the first track's file
    int trackFileNumber;
  } cases[] = {
      {"vcd", "1.0", "VCD/INFO.VCD", std::string("VIDEO_CD\x01\x00", 10), "VCD/ENTRIES.VCD",
       std::string("ENTRYVCD\x01\x00", 10), "MPEGAV/MUSIC01.DAT", 1},
      {"hqvcd", "1.0", "SVCD/INFO.SVD", std::string("HQ-VCD  \x01\x01", 10), "SVCD/ENTRIES.SVD",
       std::string("ENTRYVCD\x01\x00", 10), "MPEG2/AVSEQ01.MPG", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cls);
    const char* fixture = std::string(c.cls) == "vcd" ? "pal-vcd.mpg" : "pal-svcd.mpg";
    std::string body = Info() + "  <sequence-items><sequence-item id=\"movie\" src=\"" +
                       Escaped(FixturePath(fixture)) + "\"/></sequence-items>\n";
    ASSERT_GT(Build(c.cls, c.version, body), 0);
    ImageReader image(Path("disc.bin"), 2352);
    EXPECT_EQ(image.Form1(static_cast<int>(Find(image, c.info).extent)).substr(0, 10), c.identity);
    EXPECT_EQ(image.Form1(static_cast<int>(Find(image, c.entries).extent)).substr(0, 10), c.entriesHead);
    ImageReader::Entry track = Find(image, c.track);
    EXPECT_EQ(track.fileNumber, c.trackFileNumber);
  }
}

}  // namespace
