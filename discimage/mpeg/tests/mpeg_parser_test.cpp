// The program stream parser on hand-built blocks: pack headers of both
// versions, system header, PES headers with and without time stamps,
// padding, subtitles, video and audio headers, scan data, and every kind of
// header that does not fit (which must fail the parse, never read past it).
#include "discimage/mpeg/mpeg_parser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "discimage/mpeg/mpeg_startcode.h"
#include "discimage/mpeg/tests/mpeg_pack_builder.h"
#include "discimage/tests/capture_window.h"

namespace {

using namespace mpeg_test;


const uint64_t kPts = 90000 + 45000;  // 1.5 s

struct Case {
  const char* name;
  std::function<Bytes()> block;
  int expected;  // parse result; -1: the whole block
  bool analysis;
  std::function<void(MpegParserState&)> prepare;      // may be empty
  std::function<void(const MpegParserState&)> check;  // may be empty
  std::vector<std::string> texts;                     // each must appear in some message
  bool noWarnings;                                    // no warning or error at all
};

std::vector<Case> Cases() {
  std::vector<Case> c;
  c.push_back({"Mpeg1PackWithVideoPts",
               [] { return Mpeg1Pack(12345, 3528) + VideoPes1(kPts, Picture(2) + Slice()); },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.stream.version);
                 EXPECT_EQ(12345, s.packet.scr);
                 EXPECT_EQ(3528 * 400, s.packet.muxRate);
                 EXPECT_EQ(3528 * 400, s.stream.muxRate);
                 EXPECT_EQ(1, s.packet.video[0]);
                 EXPECT_EQ(1, s.packet.hasPts);
                 EXPECT_DOUBLE_EQ(1.5, s.packet.pts);
                 EXPECT_EQ(1, s.stream.ptsSeen);
                 EXPECT_DOUBLE_EQ(1.5, s.stream.minPts);
                 EXPECT_EQ(kMpegApsNone, s.packet.apsType);  // a P picture
                 EXPECT_EQ(kMpegPacketVideo, ClassifyPacket(&s.packet));
               },
               {},
               true});
  c.push_back({"Mpeg2PackWithThreeStuffingBytesIs17Long",
               [] { return Mpeg2Pack(1000, 7, 6000, 3) + Mpeg2Pack(2000, 0, 6000, 0); },
               17,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(2, s.stream.version);
                 EXPECT_EQ(1000 * 300 + 7, s.packet.scr);
                 EXPECT_EQ(6000 * 400, s.packet.muxRate);
               },
               {},
               true});
  c.push_back({"TwoPacksEndAtTheSecond",
               [] { return Mpeg1Pack(1, 10) + Packet(0xBE, Repeat(0xFF, 100)) + Mpeg1Pack(2, 10); },
               12 + 106,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.padding);
                 EXPECT_EQ(kMpegPacketPadding, ClassifyPacket(&s.packet));
               },
               {},
               true});
  c.push_back({"ZeroBlockIsEmpty",
               [] { return Repeat(0, kMpegPacketSize); },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.empty);
                 EXPECT_EQ(1, s.stream.packetCount);
                 EXPECT_EQ(kMpegPacketEmpty, ClassifyPacket(&s.packet));
               },
               {},
               true});
  c.push_back({"SystemHeaderListsItsStreams",
               [] {
                 Bytes fixed = B({0x80, 0x1B, 0x83, 0x04, 0xE1, 0xFF});
                 Bytes entries = B({0xE0, 0xE0, 0x2E, 0xC0, 0xC0, 0x20, 0xE2, 0xE0, 0x2E});
                 return Mpeg1Pack(1, 10) + Packet(0xBB, fixed + entries);
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.systemHeader);
                 EXPECT_EQ(1, s.packet.video[0]);
                 EXPECT_EQ(0, s.packet.video[1]);
                 EXPECT_EQ(1, s.packet.video[2]);
                 EXPECT_EQ(1, s.packet.audio[0]);
               },
               {},
               true});
  c.push_back(
      {"SystemHeaderEntriesEndAtAZeroBit",
       [] {
         Bytes fixed = B({0x80, 0x1B, 0x83, 0x04, 0xE1, 0xFF});
         return Mpeg1Pack(1, 10) + Packet(0xBB, fixed + B({0x40, 0xE0, 0x2E, 0xE0, 0xE0, 0x2E}));
       },
       -1,
       true,
       {},
       [](const MpegParserState& s) {
         EXPECT_EQ(kMpegPacketPadding, ClassifyPacket(&s.packet));
         EXPECT_EQ(0, s.packet.video[0]);
       },
       {},
       true});
  c.push_back(
      {"UnknownStreamIsNothingRecognised",
       [] { return Mpeg1Pack(1, 10) + Packet(0xBF, Repeat(0x55, 20)); },
       -1,
       true,
       {},
       [](const MpegParserState& s) { EXPECT_EQ(kMpegPacketUnknown, ClassifyPacket(&s.packet)); },
       {"unexpected start code 0x000001bf"},
       true});
  c.push_back({"Mpeg2PesWithPtsAndDts",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE1,
                               Pes2(3, TimeStamp(3, kPts) + TimeStamp(1, kPts - 3600)) + Slice());
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.video[1]);
                 EXPECT_DOUBLE_EQ(1.5, s.packet.pts);
               },
               {},
               true});
  c.push_back({"Mpeg2PesWithoutStamps",
               [] { return Mpeg2Pack(1, 0, 10, 0) + Packet(0xC2, Pes2(0, Repeat(0xFF, 4))); },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.audio[2]);
                 EXPECT_EQ(0, s.packet.hasPts);
                 EXPECT_EQ(0, s.stream.ptsSeen);
               },
               {},
               true});
  c.push_back({"Mpeg1PesWithStuffingStdBufferPtsAndDts",
               [] {
                 return Mpeg1Pack(1, 10) +
                        Packet(0xC0, Repeat(0xFF, 3) + B({0x60, 0x20}) + PtsDts1(kPts, kPts - 100) +
                                         AudioHeader(1, 2, 11, 0, 0));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_DOUBLE_EQ(1.5, s.packet.pts);
                 EXPECT_EQ(1, s.stream.audio[0].seen);
               },
               {},
               true});
  c.push_back({"Mpeg1PesWithBadCodeIsNotExamined",
               [] {
                 return Mpeg1Pack(1, 10) + Packet(0xC0, B({0x50}) + AudioHeader(1, 2, 11, 0, 0)) +
                        Packet(0xBE, Repeat(0xFF, 8));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.audio[0]);
                 EXPECT_EQ(0, s.stream.audio[0].seen);
                 EXPECT_EQ(1, s.packet.padding);  // parsing went on behind it
               },
               {"error in mpeg1 stream"},
               false});
  c.push_back({"SubtitleChannel",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) + Packet(0xBD, Pes2(2, Pts1(kPts)) + B({2, 9}));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.ogt[2]);
                 EXPECT_EQ(1, s.stream.ogt[2]);
                 EXPECT_EQ(kMpegPacketOgt, ClassifyPacket(&s.packet));
               },
               {},
               true});
  c.push_back({"SubtitleChannelOutOfRange",
               [] { return Mpeg2Pack(1, 0, 10, 0) + Packet(0xBD, Pes2(0, {}) + B({5})); },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 for (int i = 0; i < kMpegOgtChannels; ++i) EXPECT_EQ(0, s.packet.ogt[i]);
               },
               {"OGT channel out of range 5"},
               false});
  c.push_back({"ProgramEndInsidePack",
               [] {
                 return Mpeg1Pack(1, 10) + Packet(0xBE, Repeat(0xFF, 8)) + B({0, 0, 1, 0xB9});
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) { EXPECT_EQ(1, s.packet.endCode); },
               {},
               true});

  // Headers that do not fit: bad data, never read past.
  const char* beyond = "packet length beyond buffer";
  c.push_back(
      {"PesLengthOverrunsBlock",
       [] { return Mpeg1Pack(1, 10) + PacketStart(0xE0, 500) + NoStamps1() + Repeat(7, 20); },
       0,
       true,
       {},
       [](const MpegParserState& s) { EXPECT_EQ(0, s.stream.packetCount); },
       {"packet length beyond buffer (pos = 18 + size = 500 > buflen = 39)"},
       false});
  c.push_back({"PesLengthFieldCut",
               [] {
                 return Mpeg1Pack(1, 10) + B({0, 0, 1, 0xE0, 0x00});
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg2HeaderDataBeyondPacket",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) + Packet(0xE0, B({0x81, 0x80, 40}) + Pts1(kPts));
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg2PesHeaderCut",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) + Packet(0xE0, B({0x81, 0x80}));
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg2PtsBeyondHeaderData",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE0, B({0x81, 0x80, 2, 0x21, 0x00}) + Repeat(0x11, 10));
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg1StuffingFillsPacket",
               [] { return Mpeg1Pack(1, 10) + Packet(0xE0, Repeat(0xFF, 12)); },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg1PtsCut",
               [] {
                 return Mpeg1Pack(1, 10) + Packet(0xE0, B({0x21, 0x00, 0x01}));
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg1StdBufferCut",
               [] {
                 return Mpeg1Pack(1, 10) + Packet(0xE0, B({0x40, 0x20}));
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"EmptyPesPacket",
               [] { return Mpeg1Pack(1, 10) + Packet(0xC0, {}); },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg1PackHeaderCut",
               [] {
                 Bytes b = Mpeg1Pack(1, 10);
                 b.resize(9);
                 return b;
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg2PackHeaderCut",
               [] {
                 Bytes b = Mpeg2Pack(1, 0, 10, 0);
                 b.resize(13);
                 return b;
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});
  c.push_back({"Mpeg2PackStuffingBeyondBlock",
               [] {
                 Bytes b = Mpeg2Pack(1, 0, 10, 7);
                 b.resize(18);
                 return b;
               },
               0,
               true,
               {},
               {},
               {"packet length beyond buffer (pos = 0 + size = 21 > buflen = 18)"},
               false});
  c.push_back({"SystemHeaderTooShort",
               [] {
                 return Mpeg1Pack(1, 10) + Packet(0xBB, B({0x80, 0x1B, 0x83}));
               },
               0,
               true,
               {},
               {},
               {beyond},
               false});

  // Blocks that do not start a pack.
  c.push_back(
      {"ElementaryVideo",
       [] { return SequenceHeader(352, 288, 1, 3, 2875, 20, 0) + Repeat(0, 100); },
       0,
       true,
       {},
       {},
       {"mpeg scan: pack header code (0x000001ba) expected, but 0x000001b3 found (buflen = 112)",
        "...this looks like a elementary video stream"},
       false});
  c.push_back({"ElementaryAudio",
               [] { return AudioHeader(1, 2, 11, 0, 0) + Repeat(0x55, 50); },
               0,
               true,
               {},
               {},
               {"...this looks like a elementary audio stream"},
               false});
  c.push_back({"RiffFile",
               [] {
                 return B({'R', 'I', 'F', 'F', 0, 0, 0, 0});
               },
               0,
               true,
               {},
               {},
               {"...this looks like a RIFF header"},
               false});
  c.push_back({"ProgramEndInsteadOfPack",
               [] {
                 return B({0, 0, 1, 0xB9}) + Repeat(0, 20);
               },
               0,
               true,
               [](MpegParserState& s) { s.stream.packetCount = 5; },
               [](const MpegParserState& s) { EXPECT_EQ(5, s.stream.packetCount); },
               {"...PEM (program end marker) found instead of pack header"},
               false});
  c.push_back({"ThreeBytes",
               [] {
                 return B({0, 0, 1});
               },
               0,
               true,
               {},
               {},
               {"expected, but 0x00000100 found (buflen = 3)"},
               false});
  c.push_back({"UnknownPackVersion",
               [] {
                 return B({0, 0, 1, 0xBA, 0x80, 0, 0, 0}) + Packet(0xBE, Repeat(0xFF, 4));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.stream.version);
                 EXPECT_EQ(1, s.packet.padding);
               },
               {"packet not recognized as either version 1 or 2 (8) -- assuming v1"},
               false});
  c.push_back({"MixedVersions",
               [] { return Mpeg1Pack(1, 10); },
               -1,
               true,
               [](MpegParserState& s) { s.stream.version = 2; },
               {},
               {"mixed mpeg versions?"},
               false});
  c.push_back({"PesVersionDiffersFromPack",
               [] { return Mpeg1Pack(1, 10) + Packet(0xE0, Pes2(2, Pts1(kPts))); },
               -1,
               true,
               {},
               {},
               {"pack header mpeg version does not match pes header mpeg version"},
               false});
  c.push_back({"MarkerNotSet",
               [] {
                 Bytes b = Mpeg1Pack(1, 10);
                 b[8] &= 0xFE;
                 return b;
               },
               -1,
               true,
               {},
               {},
               {"mpeg: some marker is not set..."},
               true});

  // Video headers and access points.
  c.push_back({"SequenceGopIAtStartIsType4",
               [] {
                 return Mpeg1Pack(1, 10) +
                        VideoPes1(kPts, SequenceHeader(352, 288, 1, 3, 2875, 20, 0) +
                                            Gop(1, 2, 3, 4) + Picture(1) + Slice());
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 const MpegVideoInfo& v = s.stream.video[0];
                 EXPECT_EQ(1, v.seen);
                 EXPECT_EQ(352, v.horizontalSize);
                 EXPECT_EQ(288, v.verticalSize);
                 EXPECT_DOUBLE_EQ(1.0, v.aspectRatio);
                 EXPECT_DOUBLE_EQ(25.0, v.frameRate);
                 EXPECT_EQ(2875 * 400, v.bitRate);
                 EXPECT_EQ(20 * 16384, v.vbvBufferSize);
                 EXPECT_EQ(kMpegVideoPalSif, ClassifyVideo(&v));
                 EXPECT_EQ(1, s.packet.gopSeen);
                 EXPECT_EQ(1, s.packet.gopTimeCode[0]);
                 EXPECT_EQ(2, s.packet.gopTimeCode[1]);
                 EXPECT_EQ(3, s.packet.gopTimeCode[2]);
                 EXPECT_EQ(4, s.packet.gopTimeCode[3]);
                 EXPECT_EQ(kMpegApsSeqGopIAtStart, s.packet.apsType);
                 EXPECT_DOUBLE_EQ(1.5, s.packet.apsPts);
                 EXPECT_EQ(0, s.packet.apsStream);
                 EXPECT_DOUBLE_EQ(1.5, v.lastApsPts);
               },
               {},
               true});
  c.push_back({"SequenceGopILaterIsType3",
               [] {
                 return Mpeg1Pack(1, 10) +
                        VideoPes1(kPts, Slice() + SequenceHeader(352, 240, 1, 4, 2875, 20, 1) +
                                            Gop(0, 0, 0, 0) + Picture(1));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(kMpegApsSeqGopI, s.packet.apsType);
                 EXPECT_EQ(kMpegVideoNtscSif, ClassifyVideo(&s.stream.video[0]));
                 EXPECT_EQ(1, s.stream.video[0].constrained);
               },
               {},
               true});
  c.push_back({"GopThenIIsType2",
               [] {
                 return Mpeg1Pack(1, 10) +
                        Packet(0xE2, Pts1(kPts) + Gop(0, 0, 1, 0) + Picture(1) + Slice());
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(kMpegApsGopI, s.packet.apsType);
                 EXPECT_EQ(2, s.packet.apsStream);
               },
               {},
               true});
  c.push_back({"IPictureAloneIsType1",
               [] { return Mpeg1Pack(1, 10) + VideoPes1(kPts, Picture(1) + Gop(0, 0, 0, 0)); },
               -1,
               true,
               {},
               [](const MpegParserState& s) { EXPECT_EQ(kMpegApsIPicture, s.packet.apsType); },
               {},
               true});
  c.push_back(
      {"IPictureWithoutPtsIsNoAccessPoint",
       [] { return Mpeg1Pack(1, 10) + Packet(0xE0, NoStamps1() + Gop(0, 0, 0, 0) + Picture(1)); },
       -1,
       true,
       {},
       [](const MpegParserState& s) { EXPECT_EQ(kMpegApsNone, s.packet.apsType); },
       {},
       true});
  c.push_back({"AccessPointOutOfOrderIsIgnored",
               [] { return Mpeg1Pack(1, 10) + VideoPes1(kPts, Picture(1)); },
               -1,
               true,
               [](MpegParserState& s) { s.stream.video[0].lastApsPts = 100.0; },
               [](const MpegParserState& s) {
                 EXPECT_EQ(kMpegApsNone, s.packet.apsType);
                 EXPECT_DOUBLE_EQ(100.0, s.stream.video[0].lastApsPts);
               },
               {"APS' pts seems out of order (actual pts 1.500000, last seen pts 100.000000)"},
               false});
  c.push_back({"WithoutAnalysisOnlyPackAndPes",
               [] {
                 return Mpeg1Pack(1, 10) +
                        VideoPes1(kPts, SequenceHeader(352, 288, 1, 3, 2875, 20, 0) +
                                            Gop(0, 0, 0, 0) + Picture(1)) +
                        Packet(0xC0, Pts1(kPts) + AudioHeader(1, 2, 11, 0, 0));
               },
               -1,
               false,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(1, s.packet.video[0]);
                 EXPECT_EQ(1, s.packet.audio[0]);
                 EXPECT_EQ(1, s.packet.hasPts);
                 EXPECT_EQ(0, s.stream.video[0].seen);
                 EXPECT_EQ(0, s.stream.audio[0].seen);
                 EXPECT_EQ(kMpegApsNone, s.packet.apsType);
                 EXPECT_EQ(0, s.packet.gopSeen);
               },
               {},
               true});
  c.push_back({"SequenceHeaderCutAtPayloadEnd",
               [] {
                 Bytes seq = SequenceHeader(352, 288, 1, 3, 2875, 20, 0);
                 seq.resize(9);
                 return Mpeg1Pack(1, 10) + VideoPes1(kPts, Slice() + seq) +
                        Packet(0xBE, Repeat(0xFF, 20));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(0, s.stream.video[0].seen);
                 EXPECT_EQ(1, s.packet.padding);
               },
               {},
               true});
  c.push_back({"GopCutStopsTheWalk",
               [] {
                 return Mpeg1Pack(1, 10) + VideoPes1(kPts, Picture(1) + B({0, 0, 1, 0xB8, 0x00}));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(0, s.packet.gopSeen);
                 EXPECT_EQ(kMpegApsIPicture, s.packet.apsType);
               },
               {},
               true});

  // Audio.
  c.push_back({"AudioFrameHeader",
               [] {
                 return Mpeg1Pack(1, 10) + Packet(0xC1, Pts1(kPts) + B({0x12, 0xFF, 0x34}) +
                                                            AudioHeader(1, 2, 11, 0, 0));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 const MpegAudioInfo& a = s.stream.audio[1];
                 EXPECT_EQ(1, a.seen);
                 EXPECT_EQ(2, a.layer);
                 EXPECT_EQ(224 * 1024, a.bitRate);
                 EXPECT_EQ(44100, a.samplingRate);
                 EXPECT_EQ(1, a.mode);
                 EXPECT_EQ(kMpegPacketAudio, ClassifyPacket(&s.packet));
               },
               {},
               true});
  c.push_back(
      {"AudioLayer1SingleChannel48k",
       [] { return Mpeg1Pack(1, 10) + Packet(0xC0, Pts1(kPts) + AudioHeader(1, 3, 14, 1, 3)); },
       -1,
       true,
       {},
       [](const MpegParserState& s) {
         const MpegAudioInfo& a = s.stream.audio[0];
         EXPECT_EQ(1, a.layer);
         EXPECT_EQ(448 * 1024, a.bitRate);
         EXPECT_EQ(48000, a.samplingRate);
         EXPECT_EQ(4, a.mode);
       },
       {},
       true});
  c.push_back(
      {"NonMpeg1Audio",
       [] { return Mpeg1Pack(1, 10) + Packet(0xC0, Pts1(kPts) + AudioHeader(0, 2, 8, 0, 0)); },
       -1,
       true,
       {},
       [](const MpegParserState& s) { EXPECT_EQ(0, s.stream.audio[0].seen); },
       {"non-MPEG1 audio stream header seen"},
       true});
  c.push_back({"AudioSyncCutAtPayloadEnd",
               [] {
                 return Mpeg1Pack(1, 10) + Packet(0xC0, Pts1(kPts) + B({0xFF, 0xFD, 0xB0}));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) { EXPECT_EQ(0, s.stream.audio[0].seen); },
               {},
               true});

  // Scan data.
  c.push_back({"ScanDataItem",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE0,
                               Pes2(2, Pts1(kPts)) + SequenceHeader(480, 576, 2, 3, 6000, 112, 0) +
                                   UserData(ScanItem(B({0xFF, 0xFF, 0xFF, 0x00, 0x80, 0x81, 0x00,
                                                        0x80, 0x81, 0x01, 0x80, 0x80}))) +
                                   Gop(0, 0, 0, 0) + Picture(1));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 ASSERT_NE(nullptr, s.packet.scanData);
                 EXPECT_EQ(0x10, s.packet.scanData[0]);
                 EXPECT_EQ(0x0E, s.packet.scanData[1]);
                 EXPECT_EQ(1, s.stream.scanDataCount);
                 EXPECT_EQ(0, s.stream.scanDataErrors);
                 EXPECT_EQ(kMpegVideoPalHalfD1, ClassifyVideo(&s.stream.video[0]));
                 EXPECT_EQ(kMpegApsSeqGopIAtStart, s.packet.apsType);
               },
               {},
               true});
  c.push_back({"ScanDataOfEveryPicture",
               [] {
                 // A B picture, the I picture and another B picture, each
                 // with its item, over two PES packets of one pack.
                 Bytes item = ScanItem(Repeat(0xFF, 12));
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE0, Pes2(2, Pts1(kPts)) + Picture(3) + UserData(item) + Slice() +
                                         Gop(0, 0, 1, 0) + Picture(1) + UserData(item)) +
                        Packet(0xE0, Pes2(0, {}) + Slice() + Picture(3) + UserData(item) + Slice());
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 ASSERT_EQ(3, s.scan.count);
                 EXPECT_EQ(kMpegScanBeforeI, s.scan.items[0].picture);
                 EXPECT_EQ(kMpegScanOfI, s.scan.items[1].picture);
                 EXPECT_EQ(kMpegScanAfterI, s.scan.items[2].picture);
                 EXPECT_LT(s.scan.items[0].offset, s.scan.items[1].offset);
                 EXPECT_LT(s.scan.items[1].offset, s.scan.items[2].offset);
                 EXPECT_EQ(3, s.stream.scanDataCount);
                 EXPECT_EQ(kMpegApsGopI, s.packet.apsType);
               },
               {},
               true});
  c.push_back({"ScanDataWrongLength",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE0,
                               Pes2(0, {}) + UserData(B({0x10, 12}) + Repeat(0xFF, 10)) + Slice());
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 EXPECT_EQ(nullptr, s.packet.scanData);
                 EXPECT_EQ(0, s.stream.scanDataCount);
               },
               {"invalid user scan data length (12 != 14)"},
               false});
  c.push_back(
      {"ScanDataMsbMissing",
       [] {
         return Mpeg2Pack(1, 0, 10, 0) +
                Packet(0xE0,
                       Pes2(0, {}) + UserData(ScanItem(B({0x00, 0x01, 0x02, 0xFF, 0xFF, 0xFF, 0xFF,
                                                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF}))));
       },
       -1,
       true,
       {},
       [](const MpegParserState& s) {
         EXPECT_EQ(1, s.stream.scanDataErrors);
         EXPECT_NE(nullptr, s.packet.scanData);
       },
       {"mpeg user scan data: msb of second or frame field not set for 'previous_I_offset': "
        "[00:01.02]"},
       false});
  c.push_back({"ScanDataBcdOutOfRange",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE0, Pes2(0, {}) + UserData(ScanItem(
                                                       B({0xFF, 0xFF, 0xFF, 0x0A, 0x80, 0x80, 0xFF,
                                                          0xFF, 0xFF, 0x00, 0x9A, 0x80}))));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) { EXPECT_EQ(2, s.stream.scanDataErrors); },
               {"one or more BCD fields out of range for 'next_I_offset    ': [0a:00.00]",
                "one or more BCD fields out of range for 'forward_I_offset ': [00:1a.00]"},
               false});
  c.push_back({"CaptionData",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE0, Pes2(0, {}) + UserData(B({0x11, 6, 1, 2, 3, 4})) + Slice());
               },
               -1,
               true,
               {},
               {},
               {"caption data seen -- not supported yet (len = 6)"},
               true});
  c.push_back({"UserDataItemBeyondPayloadIsLeft",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE0, Pes2(0, {}) + UserData(B({0x10, 14, 0xFF, 0xFF, 0xFF, 0xFF})));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) { EXPECT_EQ(nullptr, s.packet.scanData); },
               {},
               true});
  // An item the payload's end cuts: its first part is an item of the pack,
  // the rest waits for the stream's next payload; it counts once whole.
  c.push_back({"ScanItemCutByThePayloadEndWaitsForItsRest",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE1, Pes2(0, {}) + Picture(2) + UserData(B({0x10, 14, 0x00, 0x81, 0x82, 0x00})));
               },
               -1,
               true,
               {},
               [](const MpegParserState& s) {
                 ASSERT_EQ(1, s.scan.count);
                 EXPECT_EQ(0, s.scan.items[0].first);
                 EXPECT_EQ(6, s.scan.items[0].count);
                 EXPECT_EQ(1, s.scan.items[0].stream);
                 EXPECT_EQ(kMpegScanBeforeI, s.scan.items[0].picture);
                 EXPECT_EQ(6, s.split[1].have);
                 EXPECT_EQ(0, s.split[0].have);
                 EXPECT_EQ(0, s.stream.scanDataCount);
               },
               {},
               true});
  c.push_back({"RestOfACutScanItemStartsTheStreamsNextPayload",
               [] {
                 return Mpeg2Pack(1, 0, 10, 0) +
                        Packet(0xE1, Pes2(0, {}) + B({0x83, 0x84, 0x00, 0x80, 0x80, 0xFF, 0xFF, 0xFF}) + Slice());
               },
               -1,
               true,
               [](MpegParserState& s) {
                 const uint8_t head[] = {0x10, 14, 0x00, 0x81, 0x82, 0x00};
                 memcpy(s.split[1].bytes, head, sizeof head);
                 s.split[1].have = 6;
               },
               [](const MpegParserState& s) {
                 ASSERT_EQ(1, s.scan.count);
                 EXPECT_EQ(6, s.scan.items[0].first);
                 EXPECT_EQ(8, s.scan.items[0].count);
                 EXPECT_EQ(14 + 6 + 3, s.scan.items[0].offset);  // the payload's start
                 EXPECT_EQ(0, s.split[1].have);
                 EXPECT_EQ(1, s.stream.scanDataCount);
                 EXPECT_EQ(0, s.stream.scanDataErrors);
               },
               {},
               true});
  // What the rest shows is no scan information item: nothing waits, nothing counts.
  c.push_back({"CutItemOfAnotherLengthIsDropped",
               [] { return Mpeg2Pack(1, 0, 10, 0) + Packet(0xE0, Pes2(0, {}) + B({9, 1, 2, 3}) + Slice()); },
               -1,
               true,
               [](MpegParserState& s) {
                 s.split[0].bytes[0] = 0x10;
                 s.split[0].have = 1;
               },
               [](const MpegParserState& s) {
                 EXPECT_EQ(0, s.scan.count);
                 EXPECT_EQ(0, s.split[0].have);
                 EXPECT_EQ(0, s.stream.scanDataCount);
               },
               {"invalid user scan data length (9 != 14)"},
               false});
  return c;
}

class ParserCases : public ::testing::TestWithParam<Case> {};

TEST_P(ParserCases, Parse) {
  const Case& c = GetParam();
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  sink.SetLevel(kVcdLevelDebug);
  MpegParserState state;
  memset(&state, 0, sizeof state);
  if (c.prepare) c.prepare(state);
  Bytes block = c.block();
  // Exactly the block's bytes on the heap, so a read past them is caught by
  // the sanitizers.
  std::vector<uint8_t> heap(block);
  int length = static_cast<int>(heap.size());
  int result = ParsePacket(&sink, heap.data(), length, c.analysis ? 1 : 0, &state);
  EXPECT_EQ(c.expected < 0 ? length : c.expected, result);
  if (c.check) c.check(state);

  std::vector<std::string> all;
  bool warned = false;
  for (const CapturedMessage& m : window.messages) {
    all.push_back(m.text);
    if (m.wParam == kVcdMsgWarning || m.wParam == kVcdMsgError) warned = true;
  }
  std::string joined;
  for (const std::string& t : all) joined += t;
  for (const std::string& text : c.texts) {
    EXPECT_NE(std::string::npos, joined.find(text)) << "missing: " << text << "\nmessages:\n"
                                                    << joined;
  }
  if (c.noWarnings) {
    EXPECT_FALSE(warned) << joined;
  }
  if (result == 0 && c.expected == 0 && !c.prepare) {
    EXPECT_EQ(0, state.stream.packetCount) << "a failed parse is not counted";
  }
}

INSTANTIATE_TEST_SUITE_P(Blocks, ParserCases, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

// A block whose scan data is bad in all four addresses, parsed three times:
// eight reports, then the "from now on" warning once, then silence.
TEST(ParserScanDataErrors, ReportedForEightAddressesThenSilenced) {
  Bytes bad = B({0x00, 0x01, 0x02, 0x00, 0x01, 0x02, 0x00, 0x01, 0x02, 0x00, 0x01, 0x02});
  Bytes block = Mpeg2Pack(1, 0, 10, 0) + Packet(0xE0, Pes2(0, {}) + UserData(ScanItem(bad)));
  CVcdMessageSink sink;
  CaptureWindow window;
  window.Attach(sink);
  MpegParserState state;
  memset(&state, 0, sizeof state);
  for (int i = 0; i < 3; ++i) {
    Bytes copy = block;
    ASSERT_EQ(static_cast<int>(copy.size()),
              ParsePacket(&sink, copy.data(), static_cast<int>(copy.size()), 1, &state));
  }
  int reports = 0, fromNowOn = 0;
  for (const std::string& t : window.Texts()) {
    if (t.find("msb of second or frame field not set") != std::string::npos) ++reports;
    if (t.find("from now on, scan information data errors will not be reported") !=
        std::string::npos)
      ++fromNowOn;
  }
  EXPECT_EQ(8, reports);
  EXPECT_EQ(1, fromNowOn);
  EXPECT_EQ(9, state.stream.scanDataErrors);
  EXPECT_EQ(3, state.stream.scanDataCount);

  // Preset to 9, as the scanner does with "update scan offsets": nothing.
  window.messages.clear();
  memset(&state, 0, sizeof state);
  state.stream.scanDataErrors = 9;
  Bytes copy = block;
  ParsePacket(&sink, copy.data(), static_cast<int>(copy.size()), 1, &state);
  EXPECT_TRUE(window.Texts().empty());
}

// Every start-code search variant against the byte-by-byte definition, for
// both kinds of search, on buffers thick with zeros, ones and slice codes,
// for every window of the short ones and random windows of long ones. Each
// buffer sits alone on the heap so that a vector load past its end is caught
// by the sanitizers.
TEST(MpegStartCode, VariantsAgreeWithAByteByByteSearch) {
  auto reference = [](const uint8_t* b, int from, int end, int kind) {
    for (int k = from; end - k >= 4; ++k)
      if (b[k] == 0 && b[k + 1] == 0 && b[k + 2] == 1 &&
          (kind == kMpegAnyStartCode || b[k + 3] == 0 || b[k + 3] > 0xAF))
        return k;
    return -1;
  };
  typedef int (*Find)(const uint8_t*, int, int, int);
  const struct {
    const char* name;
    Find find;
  } variants[] = {{"chosen", MpegFindStartCode},
                  {"plain", MpegFindStartCodePlain},
                  {"sse2", MpegFindStartCodeSse2},
                  {"avx2", MpegFindStartCodeAvx2}};
  std::mt19937 random(2324);
  const uint8_t alphabet[] = {0, 0, 0, 0, 1, 1, 1, 0x05, 0xAF, 0xB0, 0xB3, 0xFF};
  // Random bytes with long runs of zeros in between, as zero stuffing makes.
  auto fill = [&](std::vector<uint8_t>& b) {
    for (size_t i = 0; i < b.size();) {
      if (random() % 8 == 0) {
        size_t run = random() % 80;
        for (; run > 0 && i < b.size(); --run) b[i++] = 0;
      } else {
        b[i++] = alphabet[random() % sizeof alphabet];
      }
    }
  };
  auto check = [&](const std::vector<uint8_t>& b, int from, int end) {
    for (int kind : {kMpegAnyStartCode, kMpegHeaderStartCode}) {
      int expected = reference(b.data(), from, end, kind);
      for (const auto& v : variants) {
        int got = v.find(b.data(), from, end, kind);
        if (got == -2) continue;  // not on this processor
        ASSERT_EQ(expected, got) << v.name << " kind " << kind << " length " << b.size() << " ["
                                 << from << ", " << end << ")";
      }
    }
  };
  for (int length = 0; length <= 100; ++length) {
    std::vector<uint8_t> b(static_cast<size_t>(length));
    fill(b);
    for (int from = 0; from <= length; ++from)
      for (int end = from; end <= length; ++end) {
        check(b, from, end);
        if (HasFatalFailure()) return;
      }
  }
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> b(4096);
    fill(b);
    int from = static_cast<int>(random() % 4096);
    int end = from + static_cast<int>(random() % (4097 - from));
    check(b, from, end);
    if (HasFatalFailure()) return;
  }
}

TEST(ParserClassify, PacketClassesInTheirOrder) {
  MpegPacketInfo info;
  memset(&info, 0, sizeof info);
  EXPECT_EQ(kMpegPacketUnknown, ClassifyPacket(&info));
  info.padding = 1;
  EXPECT_EQ(kMpegPacketPadding, ClassifyPacket(&info));
  info.ogt[3] = 1;
  EXPECT_EQ(kMpegPacketOgt, ClassifyPacket(&info));
  info.empty = 1;
  EXPECT_EQ(kMpegPacketEmpty, ClassifyPacket(&info));
  info.audio[2] = 1;
  EXPECT_EQ(kMpegPacketAudio, ClassifyPacket(&info));
  info.video[1] = 1;
  EXPECT_EQ(kMpegPacketVideo, ClassifyPacket(&info));
}

TEST(ParserClassify, VideoFormatsMatchExactly) {
  struct {
    int w, h;
    double rate;
    int code;
  } rows[] = {
      {352, 240, 23.976, kMpegVideoFilmSif},   {352, 288, 25.0, kMpegVideoPalSif},
      {352, 240, 29.97, kMpegVideoNtscSif},    {480, 576, 25.0, kMpegVideoPalHalfD1},
      {480, 480, 29.97, kMpegVideoNtscHalfD1}, {352, 240, 30.0, kMpegVideoUnknown},
      {352, 288, 29.97, kMpegVideoUnknown},    {720, 576, 25.0, kMpegVideoUnknown},
  };
  for (const auto& row : rows) {
    MpegVideoInfo v;
    memset(&v, 0, sizeof v);
    v.horizontalSize = row.w;
    v.verticalSize = row.h;
    v.frameRate = row.rate;
    EXPECT_EQ(row.code, ClassifyVideo(&v)) << row.w << "x" << row.h << "@" << row.rate;
  }
}

}  // namespace
