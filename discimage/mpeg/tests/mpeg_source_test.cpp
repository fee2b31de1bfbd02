// CVcdMpegSource on files made by ffmpeg (the mpeg_fixtures test fixture):
// the scan checked against ffprobe's view of the same file, reading the
// packets back, damaged and unaligned files, cancelling, failed scans, and
// the access point arithmetic behind the SVCD scan data.
#include "discimage/mpeg/mpeg_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "discimage/mpeg/tests/mpeg_pack_builder.h"
#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "discimage/base/vcd_util.h"

using namespace test_support;

namespace {

// ffprobe's view of a fixture: its format, streams and packets.
std::map<std::string, std::string> Probe(const std::string& path) {
  return ProbeFlat(path, "-show_format -show_streams -show_packets");
}

// Collects what the source reports and can raise the cancel flag once a
// progress record with packets arrives.
class Listener : public CaptureWindow {
public:
  volatile int cancel = 0;
  bool cancelOnProgress = false;
  std::function<void()> onFirstProgress;  // once, at the first record with packets

  void Attach(CVcdMessageSink& sink) {
    sink.SetWindowTarget(this, 0xC123, &Listener::Send);
    sink.SetCancelFlag(&cancel);
    sink.SetLevel(kVcdLevelDebug);
    sink.SetProgress(1);
  }
  static intptr_t Send(void* window, unsigned int message, uintptr_t wParam, intptr_t lParam) {
    Listener* self = static_cast<Listener*>(window);
    self->Take(message, wParam, lParam);
    const CapturedMessage& m = self->messages.back();
    if (m.isRecord && self->cancelOnProgress && m.packetsOrTrack > 0) self->cancel = 1;
    if (m.isRecord && m.packetsOrTrack > 0 && self->onFirstProgress) {
      std::function<void()> once = std::move(self->onFirstProgress);
      self->onFirstProgress = nullptr;
      once();
    }
    return 0;
  }
};

class MpegSourceTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
    listener.Attach(sink);
  }
  // A scratch file in the test's working folder.
  std::string Scratch(const char* name) const {
    return CurrentTestName() + "-" + name;
  }

  CVcdMessageSink sink;
  Listener listener;
};

struct Fixture {
  const char* file;
  int version;
  int videoFormat;
};

class MpegScanAgainstFfprobe : public MpegSourceTest,
                               public ::testing::WithParamInterface<Fixture> {};

TEST_P(MpegScanAgainstFfprobe, StreamInformation) {
  const Fixture& fixture = GetParam();
  std::string path = FixturePath(fixture.file);
  std::map<std::string, std::string> probe = Probe(path);
  ASSERT_FALSE(probe.empty()) << "no ffprobe output for " << path;

  CVcdMpegSource source(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(0, 0, fixture.file)) << listener.All();
  EXPECT_TRUE(source.IsScanned());
  const MpegStreamInfo& info = *source.GetStreamInfo();

  long long size = atoll(probe["format.size"].c_str());
  ASSERT_EQ(0, size % kMpegPacketSize) << "ffmpeg wrote VideoCD packets";
  EXPECT_EQ(size / kMpegPacketSize, info.packetCount);
  EXPECT_EQ(fixture.version, info.version);

  // Stream 0 is the video, 1 the audio in ffmpeg's numbering of these files.
  ASSERT_EQ("video", probe["streams.stream.0.codec_type"]);
  ASSERT_EQ("audio", probe["streams.stream.1.codec_type"]);
  const MpegVideoInfo& video = info.video[0];
  EXPECT_EQ(1, video.seen);
  EXPECT_EQ(atoi(probe["streams.stream.0.width"].c_str()), video.horizontalSize);
  EXPECT_EQ(atoi(probe["streams.stream.0.height"].c_str()), video.verticalSize);
  double frameRate = Rational(probe["streams.stream.0.r_frame_rate"]);
  EXPECT_NEAR(frameRate, video.frameRate, 0.001);
  EXPECT_EQ(fixture.videoFormat, ClassifyVideo(&video));
  EXPECT_EQ(0, info.video[1].seen);
  EXPECT_EQ(1, info.audio[0].seen);
  EXPECT_EQ(atoi(probe["streams.stream.1.sample_rate"].c_str()), info.audio[0].samplingRate);
  EXPECT_EQ(atoi(probe["streams.stream.1.bit_rate"].c_str()), info.audio[0].bitRate / 1024 * 1000);

  // The playing time runs from the first PTS to the last; ffprobe's duration
  // adds the last frame's own length.
  double duration = atof(probe["format.duration"].c_str());
  double frame = 1.0 / frameRate;
  EXPECT_NEAR(atof(probe["format.start_time"].c_str()), info.minPts, 0.0001);
  EXPECT_LE(info.playingTime, duration + 0.0001);
  EXPECT_LE(duration - info.playingTime, frame + 0.001)
      << "playing time " << info.playingTime << " against " << duration;

  // Every key frame ffprobe sees is an access point of the scan, at the same
  // time and, where ffprobe knows the frame's position, in the same packet.
  struct KeyFrame {
    int packet;  // -1: ffprobe gives no position (the frame began inside a PES packet)
    double pts;  // from the stream's start
  };
  std::vector<KeyFrame> keyFrames;
  for (int i = 0;; ++i) {
    std::string key = "packets.packet." + std::to_string(i) + ".";
    if (probe.find(key + "codec_type") == probe.end()) break;
    if (probe[key + "codec_type"] != "video" || probe[key + "flags"].substr(0, 1) != "K") continue;
    const std::string& pos = probe[key + "pos"];
    keyFrames.push_back({pos == "N/A" ? -1 : static_cast<int>(atoll(pos.c_str()) / kMpegPacketSize),
                         atof(probe[key + "pts_time"].c_str()) - info.minPts});
  }
  ASSERT_GE(keyFrames.size(), 3u);
  const MpegApsList* aps = info.video[0].apsList;
  ASSERT_NE(nullptr, aps);
  ASSERT_EQ(static_cast<int>(keyFrames.size()), aps->GetCount());
  for (size_t i = 0; i < keyFrames.size(); ++i) {
    const MpegApsEntry& entry = aps->GetAt(static_cast<int>(i));
    // The time of an access point is its PES packet's PTS, which belongs to
    // the first picture that starts in that packet: when a picture before it
    // in decoding order starts there too, that picture's, a frame away.
    EXPECT_NEAR(keyFrames[i].pts, entry.pts, frame + 0.0001) << "key frame " << i;
    if (keyFrames[i].packet >= 0) {
      EXPECT_EQ(keyFrames[i].packet, entry.packetNumber) << "key frame " << i;
    }
  }

  if (fixture.version == 2) {
    EXPECT_GT(info.scanDataCount, 0);
    EXPECT_EQ(0, info.scanDataErrors);
  }
  EXPECT_EQ(0, listener.Count(kVcdMsgWarning, "")) << listener.All();
  EXPECT_EQ(0, listener.Count(kVcdMsgError, "")) << listener.All();
}

TEST_P(MpegScanAgainstFfprobe, StrictAccessPointsAreKeyFramesWithSequenceHeaders) {
  std::string path = FixturePath(GetParam().file);
  CVcdMpegSource relaxed(&sink, path.c_str());
  CVcdMpegSource strict(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, relaxed.Scan(0, 0, "relaxed"));
  ASSERT_EQ(kMpegScanOk, strict.Scan(1, 0, "strict"));
  const MpegApsList* all = relaxed.GetStreamInfo()->video[0].apsList;
  const MpegApsList* some = strict.GetStreamInfo()->video[0].apsList;
  ASSERT_NE(nullptr, all);
  ASSERT_NE(nullptr, some);
  // ffmpeg starts every GOP with a sequence header, so in its files a strict
  // scan loses at most the rare key frame whose headers a pack boundary cuts.
  EXPECT_GE(some->GetCount(), all->GetCount() - 1);
  std::set<int> relaxedPackets;
  for (int i = 0; i < all->GetCount(); ++i) relaxedPackets.insert(all->GetAt(i).packetNumber);
  for (int i = 0; i < some->GetCount(); ++i)
    EXPECT_EQ(1u, relaxedPackets.count(some->GetAt(i).packetNumber));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MpegScanAgainstFfprobe,
                         ::testing::Values(Fixture{"pal-vcd.mpg", 1, kMpegVideoPalSif},
                                           Fixture{"ntsc-vcd.mpg", 1, kMpegVideoNtscSif},
                                           Fixture{"pal-svcd.mpg", 2, kMpegVideoPalHalfD1},
                                           Fixture{"ntsc-svcd.mpg", 2, kMpegVideoNtscHalfD1}),
                         [](const ::testing::TestParamInfo<Fixture>& info) {
                           std::string name = info.param.file;
                           std::string clean;
                           for (char c : name.substr(0, name.find('.')))
                             if (isalnum(static_cast<unsigned char>(c))) clean += c;
                           return clean;
                         });

// A scan information item found in a packet by walking its bytes, and where
// its picture lies against the first I picture that starts in the packet.
struct FoundItem {
  size_t at;
  enum { kBeforeI, kOfI, kAfterI } picture;
};

// Every 14-byte scan information item of a packet: user data that follows a
// picture header belongs to that picture.
std::vector<FoundItem> ScanItemsOf(const uint8_t* packet) {
  std::vector<FoundItem> items;
  bool sawI = false;
  auto picture = FoundItem::kBeforeI;
  for (size_t i = 0; i + 6 <= kMpegPacketSize; ++i) {
    if (packet[i] != 0 || packet[i + 1] != 0 || packet[i + 2] != 1) continue;
    if (packet[i + 3] == 0x00) {
      bool isI = ((packet[i + 5] >> 3) & 7) == 1;
      picture = isI && !sawI ? FoundItem::kOfI : sawI ? FoundItem::kAfterI : FoundItem::kBeforeI;
      sawI = sawI || isI;
    } else if (packet[i + 3] == 0xB2) {
      for (size_t u = i + 4; u + 2 <= kMpegPacketSize;) {
        size_t length = packet[u + 1];
        if (packet[u] == 0 || length < 2 || u + length > kMpegPacketSize) break;
        if (packet[u] == 0x10 && length == kMpegScanDataSize) items.push_back({u, picture});
        u += length;
      }
    }
  }
  return items;
}

// The three address bytes of an access point's packet, or FF FF FF.
std::string AddressOf(const MpegApsList* aps, int index) {
  uint8_t bytes[3] = {0xFF, 0xFF, 0xFF};
  if (index >= 0 && index < aps->GetCount()) {
    LbaToMsf(aps->GetAt(index).packetNumber, bytes);
    bytes[1] |= 0x80;
    bytes[2] |= 0x80;
  }
  return std::string(reinterpret_cast<char*>(bytes), 3);
}

class MpegScanDataRewrite : public MpegSourceTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MpegScanDataRewrite, EveryItemOfEveryPacketIsRewrittenFromItsOwnPicture) {
  std::string path = FixturePath(GetParam());
  Bytes file = ReadBytes(path);
  CVcdMpegSource source(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 1, "svcd"));
  const MpegStreamInfo& info = *source.GetStreamInfo();
  const MpegApsList* aps = info.video[0].apsList;
  ASSERT_NE(nullptr, aps);
  listener.messages.clear();

  int items = 0, packetsWithSeveral = 0;
  uint8_t packet[kMpegPacketSize];
  for (int n = 0; n < info.packetCount; ++n) {
    MpegPacketInfo pi;
    ASSERT_EQ(0, source.ReadPacket(n, packet, &pi, 1)) << "packet " << n;
    const uint8_t* original = file.data() + static_cast<size_t>(n) * kMpegPacketSize;
    std::vector<FoundItem> found = ScanItemsOf(original);
    items += static_cast<int>(found.size());
    if (found.size() > 1) ++packetsWithSeveral;
    // Everything but the four addresses of each item is the file's.
    Bytes expected(original, original + kMpegPacketSize);
    int before = aps->LowerBound(n);
    bool onAccessPoint = before < aps->GetCount() && aps->GetAt(before).packetNumber == n;
    for (const FoundItem& item : found) {
      // The packet's own access point is the next I picture of a picture
      // before it, the previous one of a picture behind it, and neither of
      // the I picture itself.
      int previous = before - 1, next = before;
      if (onAccessPoint && item.picture != FoundItem::kBeforeI) next = before + 1;
      if (onAccessPoint && item.picture == FoundItem::kAfterI) previous = before;
      std::string rewritten(reinterpret_cast<const char*>(packet) + item.at + 2, 12);
      EXPECT_EQ(AddressOf(aps, previous), rewritten.substr(0, 3))
          << "previous of packet " << n << " item at " << item.at;
      EXPECT_EQ(AddressOf(aps, next), rewritten.substr(3, 3))
          << "next of packet " << n << " item at " << item.at;
      // Backward and forward targets are access points or the packet itself.
      for (int k = 6; k < 12; k += 3) {
        EXPECT_EQ(0x80, rewritten[k + 1] & 0x80);
        EXPECT_EQ(0x80, rewritten[k + 2] & 0x80);
      }
      memcpy(expected.data() + item.at + 2, packet + item.at + 2, 12);
    }
    ASSERT_EQ(0, memcmp(expected.data(), packet, kMpegPacketSize)) << "packet " << n;
  }
  // ffmpeg's SVCD streams carry an item in every picture and pack several
  // pictures into one packet.
  EXPECT_GT(items, info.packetCount / 2);
  EXPECT_GT(packetsWithSeveral, 0);
  EXPECT_EQ(items, info.scanDataCount);
}

TEST_P(MpegScanDataRewrite, WithoutTheOptionNothingChanges) {
  std::string path = FixturePath(GetParam());
  Bytes file = ReadBytes(path);
  CVcdMpegSource source(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, "svcd"));
  uint8_t packet[kMpegPacketSize];
  for (int n = 0; n < source.GetStreamInfo()->packetCount; ++n) {
    MpegPacketInfo pi;
    ASSERT_EQ(0, source.ReadPacket(n, packet, &pi, 0)) << "packet " << n;
    ASSERT_EQ(0, memcmp(file.data() + static_cast<size_t>(n) * kMpegPacketSize, packet,
                        kMpegPacketSize))
        << "packet " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, MpegScanDataRewrite,
                         ::testing::Values("pal-svcd.mpg", "ntsc-svcd.mpg"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(0, 3) == "pal" ? "pal" : "ntsc";
                         });

// A 2324-byte MPEG-2 pack of one video PES packet with a PTS (seconds)
// whose payload is filled up behind what is given with a slice of 0xFF.
Bytes SvcdPack(double seconds, const Bytes& payload) {
  using namespace mpeg_test;
  const uint64_t pts = static_cast<uint64_t>(seconds * 90000);
  Bytes pes = Pes2(2, TimeStamp(2, pts)) + payload;
  Bytes pack = Mpeg2Pack(pts * 300, 0, 6000, 0);
  const size_t room = kMpegPacketSize - pack.size() - 6;
  EXPECT_LE(pes.size(), room);
  pes.resize(room, 0xFF);
  return pack + mpeg_test::Packet(0xE0, pes);
}

// Scan items that run from one pack into the next: their head lies at the
// end of one pack's video payload, their tail at the start of the next one's.
// Both parts are rewritten, to the same addresses as a whole item of the
// same picture.
TEST_F(MpegSourceTest, ScanItemsAcrossTwoPacksAreRewrittenWhole) {
  using namespace mpeg_test;
  const Bytes placeholder = ScanItem(Repeat(0xFF, 12));
  const Bytes iPicture = SequenceHeader(480, 576, 2, 3, 6000, 112, 0) + Gop(0, 0, 0, 0) + Picture(1);
  // A P picture whose item comes whole, then another whose item's first
  // `head` bytes end the payload.
  auto splitting = [&](size_t head) {
    Bytes front = Picture(2) + UserData(placeholder) + Slice();
    Bytes back = Picture(2) + UserData(Bytes(placeholder.begin(), placeholder.begin() + head));
    size_t room = kMpegPacketSize - 14 - 6 - 8;  // pack header, PES start and header
    return front + Repeat(0xFF, room - front.size() - back.size()) + back;
  };
  struct Split {
    int packet;   // the pack holding the head
    size_t head;  // bytes of the item in it
  } splits[] = {{1, 6}, {4, 1}, {7, 13}};
  Bytes file;
  for (int n = 0; n < 10; ++n) {
    Bytes payload;
    if (n % 3 == 0) payload = iPicture + UserData(placeholder) + Slice();
    for (const Split& split : splits) {
      if (n == split.packet) payload = splitting(split.head);
      if (n == split.packet + 1)
        payload = Bytes(placeholder.begin() + static_cast<long>(split.head), placeholder.end()) + Slice();
    }
    if (payload.empty()) payload = Picture(3) + Slice();
    file = file + SvcdPack(0.5 * n, payload);
  }
  ASSERT_EQ(file.size(), 10u * kMpegPacketSize);
  std::string path = Scratch("split.mpg");
  ASSERT_TRUE(WriteBytes(path, file));

  CVcdMpegSource source(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 1, "split"));
  const MpegStreamInfo& info = *source.GetStreamInfo();
  ASSERT_EQ(10, info.packetCount);
  ASSERT_NE(nullptr, info.video[0].apsList);
  ASSERT_EQ(4, info.video[0].apsList->GetCount());  // packets 0, 3, 6, 9
  // Every item counts: four with the I pictures, two whole and one split
  // in each of the three splitting packs.
  EXPECT_EQ(4 + 3 * 2, info.scanDataCount);

  std::vector<Bytes> packets(10, Bytes(kMpegPacketSize));
  for (int n = 0; n < 10; ++n) ASSERT_EQ(0, source.ReadPacket(n, packets[n].data(), NULL, 1)) << n;
  for (const Split& split : splits) {
    SCOPED_TRACE(split.packet);
    const Bytes& with = packets[split.packet];
    const Bytes& next = packets[split.packet + 1];
    // The whole item of the same pack, found where the file has it.
    size_t whole = std::search(file.begin() + split.packet * kMpegPacketSize,
                               file.begin() + (split.packet + 1) * kMpegPacketSize, placeholder.begin(),
                               placeholder.end()) -
                   (file.begin() + split.packet * kMpegPacketSize);
    Bytes expected(with.begin() + whole, with.begin() + whole + kMpegScanDataSize);
    ASSERT_NE(expected, placeholder);
    // Its previous and next I pictures are the access points around it.
    uint8_t msf[3];
    LbaToMsf(split.packet / 3 * 3, msf);
    EXPECT_EQ(msf[0], expected[2]);
    EXPECT_EQ(msf[1] | 0x80, expected[3]);
    EXPECT_EQ(msf[2] | 0x80, expected[4]);
    // The split item: its head ends the pack's video payload, its tail
    // starts the next pack's, behind pack header, PES start and PES header.
    const size_t payloadStart = 14 + 6 + 8;
    Bytes joined(with.end() - static_cast<long>(split.head), with.end());
    joined.insert(joined.end(), next.begin() + payloadStart,
                  next.begin() + payloadStart + (kMpegScanDataSize - split.head));
    EXPECT_EQ(expected, joined);
  }
  source.Release();
  remove(path.c_str());
}

TEST_F(MpegSourceTest, ReadsPacketsInOrderWithoutRewindingAndGoesBackOnRequest) {
  std::string path = FixturePath("pal-svcd.mpg");
  Bytes file = ReadBytes(path);
  CVcdMpegSource source(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 1, "svcd"));
  const MpegStreamInfo& info = *source.GetStreamInfo();
  listener.messages.clear();

  uint8_t packet[kMpegPacketSize];
  for (int n = 0; n < info.packetCount; ++n) {
    MpegPacketInfo pi;
    ASSERT_EQ(0, source.ReadPacket(n, packet, &pi, 1)) << "packet " << n;
    if (pi.hasPts) {
      EXPECT_GE(pi.pts, 0.0);
    }
  }
  // Reading in order never repositions the file and never rewinds.
  EXPECT_EQ(0, listener.Count(kVcdMsgDebug, "had to reposition")) << listener.All();
  EXPECT_EQ(0, listener.Count(kVcdMsgWarning, "rewinding")) << listener.All();

  // Going back starts again from the beginning and still finds the packet.
  MpegPacketInfo pi;
  ASSERT_EQ(0, source.ReadPacket(5, packet, &pi, 0));
  EXPECT_EQ(1, listener.Count(kVcdMsgWarning, "rewinding mpeg stream..."));
  EXPECT_EQ(0, memcmp(file.data() + 5 * kMpegPacketSize, packet, kMpegPacketSize));

  EXPECT_EQ(-1, source.ReadPacket(info.packetCount, packet, NULL, 0));
  EXPECT_EQ(1, listener.Count(kVcdMsgError, "invalid argument"));
}

TEST_F(MpegSourceTest, PacksShorterThanAPacketArePaddedWithoutSeeking) {
  std::string path = FixturePath("mpeg1-2048.mpg");
  Bytes file = ReadBytes(path);
  ASSERT_EQ(0u, file.size() % 2048);
  int packs = static_cast<int>(file.size() / 2048);
  CVcdMpegSource source(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, "unaligned"));
  EXPECT_EQ(packs, source.GetStreamInfo()->packetCount);
  EXPECT_EQ(1, listener.Count(kVcdMsgWarning,
                              "mpeg stream will be padded on the fly -- hope that's ok for you!"));
  // The last pack fills its (short) block: it is not unaligned.
  char summary[200];
  snprintf(summary, sizeof summary,
           "autopadding requires to insert additional %d zero bytes into MPEG stream (due to %d "
           "unaligned packets of %d total)",
           (packs - 1) * (kMpegPacketSize - 2048), packs - 1, packs);
  EXPECT_EQ(1, listener.Count(kVcdMsgWarning, summary)) << listener.All();

  uint8_t packet[kMpegPacketSize];
  Bytes expected(kMpegPacketSize);
  for (int n = 0; n < packs; ++n) {
    ASSERT_EQ(0, source.ReadPacket(n, packet, NULL, 0)) << "packet " << n;
    std::fill(expected.begin(), expected.end(), 0);
    memcpy(expected.data(), file.data() + static_cast<size_t>(n) * 2048, 2048);
    ASSERT_EQ(0, memcmp(expected.data(), packet, kMpegPacketSize)) << "packet " << n;
  }
  EXPECT_EQ(0, listener.Count(kVcdMsgDebug, "had to reposition")) << listener.All();
}

TEST_F(MpegSourceTest, DamagedFilesScanUpToTheDamage) {
  Bytes good = ReadBytes(FixturePath("pal-vcd.mpg"));
  ASSERT_GT(good.size(), 20u * kMpegPacketSize);
  struct {
    const char* name;
    Bytes data;
    int packets;
    const char* warning;
  } rows[] = {
      // A pack cut short: its PES runs past the end of the file.
      {"truncated", Bytes(good.begin(), good.begin() + 10 * kMpegPacketSize + 1000), 10,
       "bad packet at packet #10 (stream byte offset 23240) -- remaining 1000 bytes of stream will "
       "be ignored"},
      // Garbage behind good packets.
      {"garbage", Bytes(good.begin(), good.begin() + 12 * kMpegPacketSize), 12,
       "bad packet at packet #12 (stream byte offset 27888) -- remaining 5000 bytes of stream will "
       "be ignored"},
  };
  rows[1].data.insert(rows[1].data.end(), 5000, 0x55);
  for (auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string path = Scratch(row.name);
    ASSERT_TRUE(WriteBytes(path, row.data)) << path;
    listener.messages.clear();
    CVcdMpegSource source(&sink, path.c_str());
    EXPECT_EQ(kMpegScanOk, source.Scan(1, 0, row.name));
    EXPECT_EQ(row.packets, source.GetStreamInfo()->packetCount);
    EXPECT_EQ(1, listener.Count(kVcdMsgWarning, "bad packet at packet #"));
    EXPECT_EQ(1, listener.Count(kVcdMsgWarning, row.warning)) << listener.All();
    uint8_t packet[kMpegPacketSize];
    EXPECT_EQ(0, source.ReadPacket(row.packets - 1, packet, NULL, 0));
    remove(path.c_str());
  }
}

TEST_F(MpegSourceTest, FailedScanIsNotRemembered) {
  struct {
    const char* name;
    std::string path;
    const char* text;
  } rows[] = {
      {"elementary video", FixturePath("video.m1v"),
       "...this looks like a elementary video stream but a multiplexed program stream was "
       "required."},
      {"missing file", FixturePath("no-such-file.mpg"), "could not open input stream"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    listener.messages.clear();
    CVcdMpegSource source(&sink, row.path.c_str());
    EXPECT_EQ(kMpegScanFailed, source.Scan(1, 0, row.name));
    EXPECT_FALSE(source.IsScanned());
    EXPECT_EQ(0, source.GetStreamInfo()->packetCount);
    EXPECT_GE(listener.Count(kVcdMsgWarning, row.text) + listener.Count(kVcdMsgError, row.text), 1)
        << listener.All();
    // Scanning again fails again instead of passing for scanned.
    EXPECT_EQ(kMpegScanFailed, source.Scan(1, 0, row.name));
    EXPECT_EQ(0, listener.Count(kVcdMsgDebug, "already scanned"));
  }
  listener.messages.clear();
  CVcdMpegSource source(&sink, FixturePath("video.m1v").c_str());
  source.Scan(1, 0, "video");
  EXPECT_EQ(1,
            listener.Count(kVcdMsgError, "input mpeg stream has been deemed invalid -- aborting"));
}

TEST_F(MpegSourceTest, CancelledScanKeepsWhatItFoundAndScansAgain) {
  std::string path = FixturePath("pal-vcd.mpg");
  CVcdMpegSource source(&sink, path.c_str());
  listener.cancelOnProgress = true;
  EXPECT_EQ(kMpegScanCancelled, source.Scan(1, 0, "cancel"));
  EXPECT_FALSE(source.IsScanned());
  int partial = source.GetStreamInfo()->packetCount;
  EXPECT_GT(partial, 0);
  EXPECT_LT(partial, 222);

  listener.cancelOnProgress = false;
  listener.cancel = 0;
  EXPECT_EQ(kMpegScanOk, source.Scan(1, 0, "again"));
  EXPECT_TRUE(source.IsScanned());
  EXPECT_EQ(222, source.GetStreamInfo()->packetCount);
  EXPECT_EQ(0, listener.Count(kVcdMsgDebug, "already scanned"));

  // Once scanned, a scan is not repeated.
  EXPECT_EQ(kMpegScanOk, source.Scan(1, 0, "third"));
  EXPECT_EQ(1, listener.Count(kVcdMsgDebug, "already scanned... not rescanning"));
}

#ifndef _WIN32
// A file cut short while it is scanned fails the scan with an error that
// names it and tells where it ended. (Windows lets nobody write a file the
// source reads.)
TEST_F(MpegSourceTest, AFileThatShrinksWhileScannedFailsNamingIt) {
  Bytes one = ReadBytes(FixturePath("pal-vcd.mpg"));
  ASSERT_EQ(0u, one.size() % kMpegPacketSize);
  // Longer than everything the reader may have read ahead at the first report.
  Bytes file;
  while (file.size() < 4u * 1024 * 1024) file.insert(file.end(), one.begin(), one.end());
  std::string path = Scratch("shrinks.mpg");
  ASSERT_TRUE(WriteBytes(path, file));
  const size_t kept = file.size() / 2;
  listener.onFirstProgress = [&] { std::filesystem::resize_file(path, kept); };
  CVcdMpegSource source(&sink, path.c_str());
  EXPECT_EQ(kMpegScanFailed, source.Scan(1, 0, "shrinks"));
  char text[400];
  snprintf(text, sizeof text, "file `%s' could not be read whole (%lld of %lld bytes read)",
           path.c_str(), static_cast<long long>(kept), static_cast<long long>(file.size()));
  EXPECT_EQ(1, listener.Count(kVcdMsgError, text)) << listener.All();
  source.Release();
  remove(path.c_str());
}
#endif

// Between the scan and the writing the file shrank or changed: every packet
// read is the file's packet as scanned, and what cannot be read so fails
// with an error naming the file, never as a zero-filled packet.
TEST_F(MpegSourceTest, PacketsOfAFileChangedSinceTheScanAreNeverMadeUp) {
  Bytes good = ReadBytes(FixturePath("pal-vcd.mpg"));
  ASSERT_GT(good.size(), 200u * kMpegPacketSize);
  struct {
    const char* name;
    std::function<Bytes()> changed;
  } rows[] = {
      {"cut inside a packet", [&] { return Bytes(good.begin(), good.begin() + 100 * kMpegPacketSize + 1200); }},
      {"cut at a packet", [&] { return Bytes(good.begin(), good.begin() + 100 * kMpegPacketSize); }},
      {"garbage in place of packets", [&] {
         Bytes b = good;
         std::fill(b.begin() + 50 * kMpegPacketSize, b.end(), 0x55);
         return b;
       }},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string path = Scratch("changed.mpg");
    ASSERT_TRUE(WriteBytes(path, good));
    CVcdMpegSource source(&sink, path.c_str());
    ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, row.name));
    const int packets = source.GetStreamInfo()->packetCount;
    ASSERT_TRUE(WriteBytes(path, row.changed()));
    listener.messages.clear();
    uint8_t packet[kMpegPacketSize];
    int failures = 0;
    for (int n = 0; n < packets; ++n) {
      if (source.ReadPacket(n, packet, NULL, 0) != 0) {
        ++failures;
        continue;
      }
      ASSERT_EQ(0, memcmp(good.data() + static_cast<size_t>(n) * kMpegPacketSize, packet, kMpegPacketSize))
          << "packet " << n << " read as a success";
    }
    EXPECT_GT(failures, 0);
    EXPECT_TRUE(listener.Has(kVcdMsgError, "`" + path + "'")) << listener.All();
    source.Release();
    remove(path.c_str());
  }
}

TEST_F(MpegSourceTest, ScanInformationWarningOnlyForMpeg2) {
  struct {
    const char* file;
    int warnings;
  } rows[] = {{"svcd-noscan.mpg", 1}, {"pal-svcd.mpg", 0}, {"pal-vcd.mpg", 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    listener.messages.clear();
    CVcdMpegSource source(&sink, FixturePath(row.file).c_str());
    ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, row.file));
    EXPECT_EQ(
        row.warnings,
        listener.Count(kVcdMsgWarning, "mpeg stream contained no scan information (user data)."));
  }
}

TEST_F(MpegSourceTest, ProgressIsReportedFromStartToEnd) {
  std::string path = FixturePath("pal-vcd.mpg");
  CVcdMpegSource source(&sink, path.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, "progress"));
  std::vector<CapturedMessage> records;
  for (const CapturedMessage& m : listener.messages)
    if (m.isRecord) records.push_back(m);
  ASSERT_GE(records.size(), 3u);
  EXPECT_EQ(0u, records.front().positionOrTotal);
  EXPECT_EQ(0, records.front().packetsOrTrack);
  EXPECT_EQ(222 * 2324u, records.back().positionOrTotal);
  EXPECT_EQ(222, records.back().packetsOrTrack);
  EXPECT_EQ(100, records.back().percent);
  // About one report per percent, not one per packet.
  EXPECT_LE(records.size(), 110u);
}

// Access point lists by hand: packet numbers and PTS in seconds.
MpegApsList Aps(std::initializer_list<std::pair<int, double>> entries) {
  MpegApsList list;
  for (const auto& e : entries) list.Add(e.first, e.second);
  return list;
}

TEST(MpegScanArithmetic, EstimatePtsInterpolates) {
  MpegApsList list = Aps({{10, 1.0}, {20, 2.0}, {40, 3.0}});
  MpegApsList one = Aps({{10, 1.0}});
  MpegApsList empty;
  struct {
    const MpegApsList* list;
    int packet;
    double expected;
  } rows[] = {
      {&list, 15, 1.5},                   // between the first two
      {&list, 20, 2.0},                   // an entry at the packet itself: interpolated up to it
      {&list, 30, 2.5},                   // between 20 and 40
      {&list, 60, 4.0},                   // behind the last: the last two entries' slope
      {&list, 5, 0.5},                    // before the first: from time 0 at packet 0
      {&list, 0, 0.0},  {&one, 30, 1.0},  // one entry: no slope
      {&empty, 7, 0.0}, {NULL, 7, 0.0},
  };
  for (const auto& row : rows)
    EXPECT_DOUBLE_EQ(row.expected, EstimatePts(row.list, row.packet)) << "packet " << row.packet;
}

std::string Addresses(const uint8_t* item) {
  char text[64];
  snprintf(text, sizeof text, "%02x%02x%02x %02x%02x%02x %02x%02x%02x %02x%02x%02x", item[2],
           item[3], item[4], item[5], item[6], item[7], item[8], item[9], item[10], item[11],
           item[12], item[13]);
  return text;
}

// "MM:SS.FF" of a packet number with bit 7 in seconds and frames, as hex.
std::string Msf(int packet) {
  uint8_t msf[3];
  LbaToMsf(packet, msf);
  char text[8];
  snprintf(text, sizeof text, "%02x%02x%02x", msf[0], msf[1] | 0x80, msf[2] | 0x80);
  return text;
}

TEST(MpegScanArithmetic, UpdateScanDataFindsNeighboursAndTargets) {
  // An access point every 100 packets, one per second.
  MpegApsList list;
  for (int i = 0; i <= 30; ++i) list.Add(i * 100, i * 1.0);
  MpegApsList empty;
  const std::string none = "ffffff";
  struct {
    const MpegApsList* list;
    int packet;
    double time;
    std::string expected;  // previous next backward forward
    int picture = kMpegScanOfI;
  } rows[] = {
      // Between access points 15 and 16: back to 6 (9 s), ahead to 25 (9.5 s).
      {&list, 1550, 15.5, Msf(1500) + " " + Msf(1600) + " " + Msf(600) + " " + Msf(2500)},
      // On an access point: it is skipped as neighbour.
      {&list, 1500, 15.0, Msf(1400) + " " + Msf(1600) + " " + Msf(600) + " " + Msf(2400)},
      // A picture before the access point in its packet: that is its next.
      {&list, 1500, 15.0, Msf(1400) + " " + Msf(1500) + " " + Msf(600) + " " + Msf(2400),
       kMpegScanBeforeI},
      // A picture behind it: that is its previous.
      {&list, 1500, 15.0, Msf(1500) + " " + Msf(1600) + " " + Msf(600) + " " + Msf(2400),
       kMpegScanAfterI},
      // Without an access point in the packet the place makes no difference.
      {&list, 1550, 15.5, Msf(1500) + " " + Msf(1600) + " " + Msf(600) + " " + Msf(2500),
       kMpegScanAfterI},
      // Before the first: no previous, the packet itself backwards.
      {&list, 0, 0.0, none + " " + Msf(100) + " " + Msf(0) + " " + Msf(900)},
      // Behind the last: no next, the packet itself forwards.
      {&list, 3050, 30.5, Msf(3000) + " " + none + " " + Msf(2100) + " " + Msf(3050)},
      // Without access points.
      {&empty, 42, 1.0, none + " " + none + " " + Msf(42) + " " + Msf(42)},
      {NULL, 42, 1.0, none + " " + none + " " + Msf(42) + " " + Msf(42)},
  };
  for (const auto& row : rows) {
    uint8_t item[kMpegScanDataSize] = {0x10, 0x0E};
    memset(item + 2, 0x11, 12);
    UpdateScanData(item, row.packet, row.time, row.list, row.picture);
    EXPECT_EQ(0x10, item[0]);
    EXPECT_EQ(0x0E, item[1]);
    EXPECT_EQ(row.expected, Addresses(item)) << "packet " << row.packet;
  }
}

}  // namespace
