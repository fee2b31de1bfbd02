// Indexing of elementary streams built byte by byte: presentation and
// decoding order of pictures, field pairs, MPEG audio and AC-3 frame sizes,
// junk and tags around audio frames.
#include "standins/mux/es_index.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

void Append(Bytes& b, std::initializer_list<int> bytes) {
  for (int v : bytes) b.push_back(static_cast<uint8_t>(v));
}

// 352x288, 25 fps sequence header.
void SequenceHeader(Bytes& b) {
  Append(b, {0, 0, 1, 0xB3, 0x16, 0x01, 0x20, 0x13, 0xFF, 0xFF, 0xE0, 0x18});
}
void GopHeader(Bytes& b) { Append(b, {0, 0, 1, 0xB8, 0x00, 0x08, 0x00, 0x00}); }
void Picture(Bytes& b, int temporalReference, int type) {
  Append(b, {0, 0, 1, 0x00, (temporalReference >> 2) & 0xFF, ((temporalReference & 3) << 6) | (type << 3),
             0xFF, 0xF8});
  Append(b, {0, 0, 1, 0x01, 0x11, 0x22, 0x33, 0x44, 0x55});  // a slice
}
// A picture coding extension: structure 1/2 field, 3 frame.
void CodingExtension(Bytes& b, int structure, bool repeatFirst = false) {
  Append(b, {0, 0, 1, 0xB5, 0x8F, 0xFF, 0xF0 | structure, 0x80 | (repeatFirst ? 2 : 0), 0x80});
}
void SequenceExtension(Bytes& b, bool progressive) {
  Append(b, {0, 0, 1, 0xB5, 0x14, 0x82 | (progressive ? 0x08 : 0), 0x00, 0x01, 0x00, 0x00});
}

const int64_t kFrame25 = 1080000;  // 27 MHz ticks

TEST(VideoIndex, ReordersAnchorsAndDecodesBeforeShowing) {
  Bytes b;
  SequenceHeader(b);
  GopHeader(b);
  Picture(b, 0, 1);  // I0
  Picture(b, 3, 2);  // P3
  Picture(b, 1, 3);  // B1
  Picture(b, 2, 3);  // B2
  SequenceHeader(b);
  GopHeader(b);
  Picture(b, 2, 1);  // I5 of an open GOP
  Picture(b, 0, 3);  // B3
  Picture(b, 1, 3);  // B4
  VideoStreamInfo info;
  EsIndex index;
  ASSERT_EQ(kIndexOk, IndexVideoBytes(b.data(), b.size(), &info, &index)) << index.error;
  EXPECT_EQ(352, info.width);
  EXPECT_EQ(288, info.height);
  EXPECT_EQ(kFrame25, info.frameTicks);
  EXPECT_EQ(1, info.mpegVersion);
  ASSERT_EQ(7u, index.units.size());
  const int64_t shown[7] = {0, 3, 1, 2, 6, 4, 5};
  for (size_t n = 0; n < 7; ++n) {
    EXPECT_EQ(shown[n] * kFrame25, index.units[n].pts) << n;
    EXPECT_EQ((static_cast<int64_t>(n) - 1) * kFrame25, index.units[n].dts) << n;
    EXPECT_LE(index.units[n].dts, index.units[n].pts) << n;
  }
  EXPECT_EQ(7 * kFrame25, index.duration);
  // Units cover the stream without gaps; GOP starts take their headers.
  EXPECT_EQ(0, index.units[0].offset);
  EXPECT_TRUE(index.units[4].gopStart);
  EXPECT_FALSE(index.units[5].gopStart);
  int64_t end = 0;
  for (const AccessUnit& unit : index.units) {
    EXPECT_EQ(end, unit.offset);
    EXPECT_LE(unit.offset, unit.startCode);
    end = unit.offset + unit.size;
  }
  EXPECT_EQ(static_cast<int64_t>(b.size()), end);
}

TEST(VideoIndex, FieldPairsAreOneUnitAndRepeatedFieldsLastLonger) {
  Bytes b;
  SequenceHeader(b);
  SequenceExtension(b, false);
  GopHeader(b);
  Picture(b, 0, 1);
  CodingExtension(b, 1);  // top field
  Picture(b, 0, 2);
  CodingExtension(b, 2);  // bottom field of the same frame
  Picture(b, 1, 2);
  CodingExtension(b, 3, true);  // a frame shown for three fields
  Picture(b, 2, 2);
  CodingExtension(b, 3);
  VideoStreamInfo info;
  EsIndex index;
  ASSERT_EQ(kIndexOk, IndexVideoBytes(b.data(), b.size(), &info, &index)) << index.error;
  EXPECT_EQ(2, info.mpegVersion);
  ASSERT_EQ(3u, index.units.size());
  EXPECT_EQ(0, index.units[0].pts);
  EXPECT_EQ(kFrame25, index.units[1].pts);
  EXPECT_EQ(kFrame25 * 5 / 2, index.units[2].pts);
  EXPECT_EQ(kFrame25 * 7 / 2, index.duration);
}

TEST(VideoIndex, RefusesWhatIsNoVideo) {
  VideoStreamInfo info;
  EsIndex index;
  Bytes noSequence;
  Picture(noSequence, 0, 1);
  EXPECT_EQ(kIndexBadStream, IndexVideoBytes(noSequence.data(), noSequence.size(), &info, &index));
  Bytes nothing(5000, 0x55);
  EsIndex index2;
  EXPECT_EQ(kIndexBadStream, IndexVideoBytes(nothing.data(), nothing.size(), &info, &index2));
  Bytes badRate;
  Append(badRate, {0, 0, 1, 0xB3, 0x16, 0x01, 0x20, 0x1F, 0xFF, 0xFF, 0xE0, 0x18});
  Picture(badRate, 0, 1);
  EsIndex index3;
  EXPECT_EQ(kIndexBadStream, IndexVideoBytes(badRate.data(), badRate.size(), &info, &index3));
  EsIndex index4;
  EXPECT_EQ(kIndexCannotRead, IndexVideoStream("no-such-file.m1v", &info, &index4));
}

// A layer II frame header: MPEG-1, 224 kbit/s, 44.1 kHz, stereo.
Bytes LayerTwoFrame(bool padded) {
  Bytes frame = {0xFF, 0xFD, static_cast<uint8_t>(0xB0 | (padded ? 2 : 0)), 0x04};
  frame.resize(padded ? 732 : 731, 0x11);
  return frame;
}

TEST(AudioIndex, HeaderTable) {
  struct Row {
    uint8_t header[4];
    int length, layer, sampleRate, bitRate, samples;
  } rows[] = {
      {{0xFF, 0xFD, 0xB0, 0x04}, 731, 2, 44100, 224000, 1152},
      {{0xFF, 0xFD, 0xB4, 0x04}, 672, 2, 48000, 224000, 1152},
      {{0xFF, 0xFB, 0x90, 0x44}, 417, 3, 44100, 128000, 1152},
      {{0xFF, 0xFF, 0x90, 0x44}, 312, 1, 44100, 288000, 384},
      {{0xFF, 0xF3, 0x90, 0x44}, 261, 3, 22050, 80000, 576},
      {{0xFF, 0xFD, 0x00, 0x04}, 0, 0, 0, 0, 0},  // free format
      {{0xFF, 0xFD, 0xBC, 0x04}, 0, 0, 0, 0, 0},  // reserved sample rate
      {{0xFF, 0xF9, 0xB0, 0x04}, 0, 0, 0, 0, 0},  // reserved layer
      {{0xFE, 0xFD, 0xB0, 0x04}, 0, 0, 0, 0, 0},  // no sync
  };
  for (const Row& row : rows) {
    AudioStreamInfo info;
    int length = ParseAudioHeader(row.header, &info);
    EXPECT_EQ(row.length, length) << std::hex << int(row.header[1]) << int(row.header[2]);
    if (length == 0) continue;
    EXPECT_EQ(row.layer, info.layer);
    EXPECT_EQ(row.sampleRate, info.sampleRate);
    EXPECT_EQ(row.bitRate, info.bitRate);
    EXPECT_EQ(row.samples, info.samplesPerFrame);
  }
}

TEST(AudioIndex, SkipsTagsAndJunkAndDropsATruncatedFrame) {
  Bytes b = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 20};
  b.resize(b.size() + 20, 0);
  b.push_back(0xFF);  // a false sync in junk
  b.push_back(0xFD);
  b.push_back(0x77);
  for (int n = 0; n < 5; ++n) {
    Bytes frame = LayerTwoFrame(n % 2 == 1);
    b.insert(b.end(), frame.begin(), frame.end());
  }
  Bytes half = LayerTwoFrame(false);
  b.insert(b.end(), half.begin(), half.begin() + 300);
  AudioStreamInfo info;
  EsIndex index;
  ASSERT_EQ(kIndexOk, IndexAudioBytes(b.data(), b.size(), &info, &index)) << index.error;
  ASSERT_EQ(5u, index.units.size());
  EXPECT_EQ(33, index.units[0].startCode);
  EXPECT_EQ(0, index.units[0].offset);
  EXPECT_EQ(1152LL * 27000000 / 44100, index.units[1].pts);
  EXPECT_EQ(5LL * 1152 * 27000000 / 44100, index.duration);
  EXPECT_EQ(static_cast<int64_t>(b.size()), index.units[4].offset + index.units[4].size);
  Bytes junk(3000, 0x42);
  EsIndex none;
  EXPECT_EQ(kIndexBadStream, IndexAudioBytes(junk.data(), junk.size(), &info, &none));
}

// AC-3 sync frame headers: sync word, sample rate and frame size code,
// stream id (E-AC-3's is above 10), channel mode with the mix levels it
// brings, the LFE channel.
TEST(AudioIndex, Ac3HeaderTable) {
  struct Row {
    const char* what;
    uint8_t header[8];
    int length, sampleRate, bitRate, channels;
  } rows[] = {
      {"stereo 224", {0x0B, 0x77, 0, 0, 0x16, 0x40, 0x43, 0}, 896, 48000, 224000, 2},
      {"5.1 448", {0x0B, 0x77, 0, 0, 0x1E, 0x40, 0xEB, 0}, 1792, 48000, 448000, 6},
      {"3/0 + LFE", {0x0B, 0x77, 0, 0, 0x16, 0x40, 0x64, 0}, 896, 48000, 224000, 4},
      {"mono", {0x0B, 0x77, 0, 0, 0x16, 0x40, 0x20, 0}, 896, 48000, 224000, 1},
      {"dual mono", {0x0B, 0x77, 0, 0, 0x16, 0x40, 0x00, 0}, 896, 48000, 224000, 2},
      {"44.1 kHz, odd code", {0x0B, 0x77, 0, 0, 0x55, 0x40, 0x43, 0}, 836, 44100, 192000, 2},
      {"44.1 kHz, even code", {0x0B, 0x77, 0, 0, 0x54, 0x40, 0x43, 0}, 834, 44100, 192000, 2},
      {"32 kHz", {0x0B, 0x77, 0, 0, 0x8C, 0x40, 0x43, 0}, 576, 32000, 96000, 2},
      {"E-AC-3", {0x0B, 0x77, 0x01, 0x7F, 0x32, 0x80, 0xC0, 0}, 0, 0, 0, 0},
      {"reserved rate", {0x0B, 0x77, 0, 0, 0xD6, 0x40, 0x43, 0}, 0, 0, 0, 0},
      {"frame size code 38", {0x0B, 0x77, 0, 0, 0x26, 0x40, 0x43, 0}, 0, 0, 0, 0},
      {"no sync", {0x0B, 0x78, 0, 0, 0x16, 0x40, 0x43, 0}, 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    AudioStreamInfo info;
    int length = ParseAc3Header(row.header, &info);
    EXPECT_EQ(row.length, length) << row.what;
    if (length == 0) continue;
    EXPECT_EQ(kAudioAc3, info.coding) << row.what;
    EXPECT_EQ(row.sampleRate, info.sampleRate) << row.what;
    EXPECT_EQ(row.bitRate, info.bitRate) << row.what;
    EXPECT_EQ(row.channels, info.channels) << row.what;
    EXPECT_EQ(1536, info.samplesPerFrame) << row.what;
  }
}

Bytes Ac3Frame(uint8_t fill) {
  Bytes frame = {0x0B, 0x77, 0x12, 0x34, 0x16, 0x40, 0x43, 0x00};
  frame.resize(896, fill);
  return frame;
}

TEST(AudioIndex, Ac3FramesAfterJunkUpToATruncatedOne) {
  Bytes b = {0x0B, 0x77, 0x00, 0x42};  // a false sync in junk
  b.resize(40, 0);
  for (int n = 0; n < 4; ++n) {
    Bytes frame = Ac3Frame(static_cast<uint8_t>(n));
    b.insert(b.end(), frame.begin(), frame.end());
  }
  b.resize(b.size() + 300, 0x0B);
  AudioStreamInfo info;
  EsIndex index;
  ASSERT_EQ(kIndexOk, IndexAudioBytes(b.data(), b.size(), &info, &index)) << index.error;
  EXPECT_EQ(kAudioAc3, info.coding);
  EXPECT_EQ(2, info.channels);
  ASSERT_EQ(4u, index.units.size());
  EXPECT_EQ(40, index.units[0].startCode);
  EXPECT_EQ(40 + 2 * 896, index.units[2].startCode);
  EXPECT_EQ(2 * 864000, index.units[2].pts) << "32 ms a frame";
  EXPECT_EQ(4 * 864000, index.duration);
  EXPECT_EQ(static_cast<int64_t>(b.size()), index.units[3].offset + index.units[3].size);
}

TEST(AudioIndex, EnhancedAc3IsNamedInTheRefusal) {
  Bytes b;
  for (int n = 0; n < 4; ++n) {
    Bytes frame = {0x0B, 0x77, 0x01, 0x7F, 0x32, 0x80, 0xC0, 0x00};
    frame.resize(768, 0x11);
    b.insert(b.end(), frame.begin(), frame.end());
  }
  AudioStreamInfo info;
  EsIndex index;
  EXPECT_EQ(kIndexBadStream, IndexAudioBytes(b.data(), b.size(), &info, &index));
  EXPECT_NE(std::string::npos, index.error.find("E-AC-3")) << index.error;
}

}  // namespace
