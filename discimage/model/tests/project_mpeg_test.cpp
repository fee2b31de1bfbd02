// Adding real MPEG files to projects: the ffmpeg fixtures (PAL and NTSC
// VideoCD and SuperVCD streams) as sequences and segment items of each disc
// type, the warnings about streams a type should not carry, scan failures,
// and the image size of a small project.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_paths.h"
#include "discimage/model/vcd_project.h"

namespace {

// Track 1 as the layout makes it for a project this small: 300 sectors.
class SmallProject : public CVcdObj {
public:
  SmallProject(CVcdMessageSink* messages, int type) : CVcdObj(messages, type) {}

protected:
  int LayOutTrack1() override {
    m_isoSize = kVcdMinIsoSectors;
    return 0;
  }
};

class ProjectMpegTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
  }
  void TearDown() override {
    if (project != NULL) project->Destroy();
  }
  CVcdObj* Make(int type) {
    if (project != NULL) project->Destroy();
    project = new SmallProject(&messages.sink, type);
    return project;
  }
  CVcdMpegSource* Source(const char* name) {
    return new CVcdMpegSource(&messages.sink, FixturePath(name).c_str());
  }
  static void Drop(CVcdMpegSource* source) {
    source->Release();
    delete source;
  }
  // Warnings about what a sequence holds, without the others.
  std::vector<std::string> StreamWarnings() const {
    std::vector<std::string> found;
    for (const std::string& text : messages.LinesAt(kVcdMsgWarning))
      if (text.find("should") != std::string::npos || text.find("shorter") != std::string::npos)
        found.push_back(text);
    return found;
  }

  CapturingSink messages;
  CVcdObj* project = NULL;
};

TEST_F(ProjectMpegTest, SequencesOfEachTypeWarnAboutWhatTheTypeShouldNotCarry) {
  struct Case {
    const char* file;
    int type;
    std::vector<std::string> warnings;
  } cases[] = {
      {"pal-vcd.mpg", kVcdType20, {}},
      {"ntsc-vcd.mpg", kVcdType11, {}},
      {"pal-vcd.mpg", kVcdType11,
       {"VCD 1.x should contain only NTSC/FILM video (may work with PAL nevertheless)"}},
      {"pal-svcd.mpg", kVcdTypeSvcd, {}},
      {"ntsc-svcd.mpg", kVcdTypeHqvcd, {}},
      // Accepted with a warning: the disc is still built.
      {"pal-svcd.mpg", kVcdType20, {"this VCD type should not contain MPEG2 streams"}},
      {"pal-vcd.mpg", kVcdTypeSvcd, {"this VCD type should not contain MPEG1 streams"}},
  };
  for (const Case& c : cases) {
    Make(c.type);
    messages.Clear();
    CVcdMpegSource* source = Source(c.file);
    ASSERT_EQ(project->AddSequence(source, "movie", "start"), 0) << c.file << " " << c.type;
    EXPECT_EQ(StreamWarnings(), c.warnings) << c.file << " " << c.type;
    EXPECT_TRUE(messages.Has(kVcdMsgInfo, "added sequence #00..."));
    CMpegSequence* sequence = project->Sequences().FindById("MOVIE");
    ASSERT_NE(sequence, nullptr);
    EXPECT_EQ(sequence->GetSource(), source);
    EXPECT_EQ(sequence->GetStreamInfo(), source->GetStreamInfo());
    EXPECT_GE(sequence->GetStreamInfo()->packetCount, 75);
    EXPECT_EQ(project->ItemNumber("start"), 100);
  }
}

TEST_F(ProjectMpegTest, ImageSizeOfOneVcdTrack) {
  Make(kVcdType20);
  CVcdMpegSource* source = Source("pal-vcd.mpg");
  ASSERT_EQ(project->AddSequence(source, NULL, NULL), 0);
  int packets = source->GetStreamInfo()->packetCount;
  // 3 s of VideoCD at 75 packets a second, give or take the muxer's rounding.
  EXPECT_GT(packets, 200);
  EXPECT_LT(packets, 260);
  ASSERT_EQ(project->AddEntry(NULL, 1.0, "chapter"), 0);
  // Track 1: 300. Track 2: pregap 150, front margin 30, the packets, rear margin 45.
  EXPECT_EQ(project->ImageSize(), 300 + 150 + 30 + packets + 45);
  EXPECT_EQ(static_cast<CMpegSequence*>(project->Sequences().Head())->GetRelativeStart(), 150);
}

TEST_F(ProjectMpegTest, SegmentItemsTakeWholeSegments) {
  Make(kVcdType20);
  CVcdMpegSource* source = Source("pal-vcd.mpg");
  ASSERT_EQ(project->AddSegmentItem(source, "clip"), 0);
  int packets = source->GetStreamInfo()->packetCount;
  CMpegSegment* segment = project->Segments().FindById("CLIP");
  ASSERT_NE(segment, nullptr);
  EXPECT_EQ(segment->GetSegmentCount(), (packets + 149) / 150);
  EXPECT_TRUE(messages.Has(kVcdMsgDebug, "SPI length is " + std::to_string(packets) +
                                             " sector(s), allocated " +
                                             std::to_string(segment->GetSegmentCount()) +
                                             " segment(s)"));
  ASSERT_EQ(project->AddSegmentItem(Source("pal-vcd.mpg"), "clip2"), 0);
  EXPECT_EQ(project->ItemNumber("clip2"), 1000 + segment->GetSegmentCount());

  // VCD 1.1 has no segment items: refused before any scan, the caller keeps
  // the source.
  Make(kVcdType11);
  CVcdMpegSource* refused = Source("pal-vcd.mpg");
  EXPECT_EQ(project->AddSegmentItem(refused, "clip"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "segment play items not supported for this vcd type"));
  EXPECT_FALSE(refused->IsScanned());
  Drop(refused);
}

TEST_F(ProjectMpegTest, FailedScansLeaveTheProjectUnchanged) {
  Make(kVcdTypeSvcd);
  const char* bad[] = {"video.m1v", "no-such-file.mpg"};
  for (const char* name : bad) {
    CVcdMpegSource* source = Source(name);
    EXPECT_EQ(project->AddSequence(source, "movie", NULL), -2) << name;
    EXPECT_EQ(project->AddSegmentItem(source, "still"), -2) << name;
    Drop(source);
  }
  EXPECT_TRUE(project->Sequences().IsEmpty());
  EXPECT_TRUE(project->Segments().IsEmpty());
  EXPECT_EQ(project->GetSequenceCursor(), 0);
  EXPECT_EQ(project->ItemNumber("movie"), 0);
  // The ids are still free.
  EXPECT_EQ(project->AddSequence(Source("pal-svcd.mpg"), "movie", NULL), 0);
}

}  // namespace
