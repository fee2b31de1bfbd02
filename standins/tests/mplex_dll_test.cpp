// muxTools.dll through the programs' call layer: loading it as the programs
// do at start-up, the block they fill, every format joined from ffmpeg's
// elementary streams and accepted by the image builder's scanner (ffprobe
// then reads the same files natively: standins_mplex_ffprobe), failures in
// the result field, and the trace.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/base/vcd_messages.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/tests/es_fixtures.h"
#include "standins/tests/win_test_util.h"

using namespace standin_test;

namespace {

// Where the outputs go for the ffprobe check after this test.
std::string OutputFolder() {
  std::string dir = FolderFromEnvironment("QUORBEL_MPLEX_OUT");
  return !dir.empty() ? dir + "\\" : CurrentFolder();
}

TEST(MplexLoading, AsAtStartUp) {
  EXPECT_EQ(kMplexNoLibrary, LoadMplexLibrary("no-such-library"));
  EXPECT_EQ(nullptr, MplexEntry());
  EXPECT_EQ(kMplexNoEntry, LoadMplexLibrary("DvdScribe"));  // a library without "mplex"
  EXPECT_EQ(nullptr, MplexEntry());
  EXPECT_EQ(kMplexLoaded, LoadMplexLibrary());
  EXPECT_NE(nullptr, MplexEntry());
  EXPECT_STREQ("Can't load mplex DLL!", kMplexCannotLoadText);
  EXPECT_STREQ("Load mplex DLL error!", kMplexNoEntryText);
  FreeMplexLibrary();
  EXPECT_EQ(nullptr, MplexEntry());
  EXPECT_EQ(kMuxResultPending, CallMplex(1, "a", "b", "c")) << "nothing to call";
}

TEST(MplexBlock, FilledAsTheProgramsFillIt) {
  const char* inputs[3] = {"v.mpg", "a.mpg", NULL};
  MuxBlock block;
  memset(&block, 0x5A, sizeof block);
  FillMuxBlock(&block, MuxFormatForDiscType(1), inputs, "out.mpg");
  EXPECT_EQ(1, block.blockVersion);
  EXPECT_EQ(4, block.format);
  EXPECT_EQ(0, block.muxRate);
  EXPECT_EQ(2000, block.maxOutputMB);
  EXPECT_EQ(0, block.startDelayMs);
  EXPECT_EQ(1, block.writeEndCode);
  EXPECT_EQ(0, block.audioOffsetMs);
  EXPECT_EQ(0, block.traceDetail);
  EXPECT_EQ(inputs, block.inputs);
  EXPECT_STREQ("out.mpg", block.output);
  EXPECT_EQ(1, block.removeFailedOutput);
  EXPECT_EQ(kMuxResultPending, block.result);
  EXPECT_EQ(kMuxFormatVcd, MuxFormatForDiscType(0));
  EXPECT_EQ(kMuxFormatDvd, MuxFormatForDiscType(2));
  EXPECT_EQ(kMuxFormatVcd, MuxFormatForDiscType(7));
  // A name longer than the block's field is cut, never run over.
  std::string longName(400, 'x');
  FillMuxBlock(&block, 1, inputs, longName.c_str());
  EXPECT_EQ(259u, strlen(block.output));
}

class MplexRuns : public ::testing::TestWithParam<int> {
protected:
  static void SetUpTestSuite() { ASSERT_EQ(kMplexLoaded, LoadMplexLibrary()); }
  void SetUp() override {
    if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  }
};

TEST_P(MplexRuns, JoinsTheStreamsIntoWhatTheScannerAccepts) {
  int count = 0;
  const EsPair& pair = EsPairs(&count)[GetParam()];
  std::string output = OutputFolder() + pair.name + ".mpg";
  DeleteFileA(output.c_str());
  int result = CallMplex(pair.format, EsFixturePath(pair.video).c_str(),
                         EsFixturePath(std::string(pair.name) + ".mp2").c_str(), output.c_str());
  ASSERT_EQ(kMuxResultOk, result);
  Bytes data = ReadBytes(output);
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(0u, data.size() % pair.packBytes);

  CVcdMessageSink sink;
  sink.SetLevel(kVcdLevelQuiet);
  CVcdMpegSource source(&sink, output.c_str());
  ASSERT_EQ(kMpegScanOk, source.Scan(1, 0, output.c_str()));
  const MpegStreamInfo* info = source.GetStreamInfo();
  EXPECT_EQ(pair.mpegVersion, info->version);
  EXPECT_EQ(pair.width, info->video[0].horizontalSize);
  EXPECT_TRUE(info->audio[0].seen);
  EXPECT_NEAR(3.0, info->playingTime, 0.1);
  // The elementary streams are the caller's to delete.
  EXPECT_FALSE(ReadBytes(EsFixturePath(pair.video)).empty());
}

INSTANTIATE_TEST_SUITE_P(Pairs, MplexRuns, ::testing::Range(0, 5));

// A DVD job's AC-3 sound goes into private stream 1 (ffprobe reads these
// outputs too); on a VideoCD it is refused.
TEST(MplexAc3, CarriedOnADvdRefusedOnAVideoCd) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  ASSERT_EQ(kMplexLoaded, LoadMplexLibrary());
  const std::string ac3 = EsFixturePath("dvd.ac3");
  for (const char* name : {"dvd-pal", "dvd-ntsc"}) {
    std::string output = OutputFolder() + name + "-ac3.mpg";
    DeleteFileA(output.c_str());
    ASSERT_EQ(kMuxResultOk, CallMplex(kMuxFormatDvd, EsFixturePath(std::string(name) + ".m2v").c_str(), ac3.c_str(),
                                      output.c_str()))
        << name;
    Bytes data = ReadBytes(output);
    ASSERT_FALSE(data.empty()) << name;
    EXPECT_EQ(0u, data.size() % 2048) << name;
    int ac3Packets = 0;
    for (size_t at = 0; at + 2048 <= data.size(); at += 2048) {
      const uint8_t* p = data.data() + at + 14;  // the first packet after the pack header
      if (p[3] == 0xBD && p[9 + p[8]] == 0x80) ++ac3Packets;
    }
    EXPECT_GT(ac3Packets, static_cast<int>(ReadBytes(ac3).size() / 2048)) << name << ": the AC-3 stream's packets";
  }
  std::string refused = CurrentFolder() + "ac3-vcd.mpg";
  EXPECT_EQ(kMuxResultBadStream,
            CallMplex(kMuxFormatVcd, EsFixturePath("vcd-pal.m1v").c_str(), ac3.c_str(), refused.c_str()));
  EXPECT_TRUE(ReadBytes(refused).empty());
}

TEST(MplexFailures, GoToTheResultField) {
  ASSERT_EQ(kMplexLoaded, LoadMplexLibrary());
  std::string output = CurrentFolder() + "failed.mpg";
  EXPECT_EQ(kMuxResultCannotRead, CallMplex(1, "no-such.m1v", "no-such.mp2", output.c_str()));
  EXPECT_TRUE(ReadBytes(output).empty());
  EXPECT_EQ(kMuxResultBadBlock, CallMplex(3, "a", "b", output.c_str()));
  // A block the library cannot use is refused without a crash.
  MuxBlock block;
  FillMuxBlock(&block, 1, NULL, output.c_str());
  MplexEntry()(&block);
  EXPECT_EQ(kMuxResultBadBlock, block.result);
}

TEST(MplexTrace, OneLinePerCall) {
  if (EsFixturePath("x").empty()) GTEST_SKIP();
  // The library reads the switch when it is loaded.
  FreeMplexLibrary();
  SetEnvironmentVariableA("QUORBEL_TRACE_DIR", CurrentFolder().c_str());
  DeleteFileA((CurrentFolder() + "muxTools.trace").c_str());
  ASSERT_EQ(kMplexLoaded, LoadMplexLibrary());
  std::string output = CurrentFolder() + "traced.mpg";
  EXPECT_EQ(kMuxResultOk, CallMplex(1, EsFixturePath("vcd-pal.m1v").c_str(), EsFixturePath("vcd-pal.mp2").c_str(),
                                    output.c_str()));
  EXPECT_EQ(kMuxResultCannotRead, CallMplex(1, "no-such.m1v", "no-such.mp2", output.c_str()));
  FreeMplexLibrary();
  SetEnvironmentVariableA("QUORBEL_TRACE_DIR", NULL);
  Bytes bytes = ReadBytes(CurrentFolder() + "muxTools.trace");
  std::string trace(bytes.begin(), bytes.end());
  EXPECT_NE(std::string::npos, trace.find("mplex format=1 video=")) << trace;
  EXPECT_NE(std::string::npos, trace.find("mplex result=0")) << trace;
  EXPECT_NE(std::string::npos, trace.find("mplex result=2")) << trace;
}

}  // namespace
