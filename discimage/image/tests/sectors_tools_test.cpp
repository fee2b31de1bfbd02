// Images written by our sinks, read by real tools: bchunk splits the cue/bin
// into its tracks, cdrdao reads the TOC (and the 2352-byte cue sheet) and
// sizes it, and our nrg reader reads the nrg. A tiny disc of two tracks:
// 300 sectors of Form 1 data, a 150-sector pregap, 300 sectors of Form 2.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <filesystem>
#include <string>

#include "discimage/image/tests/sector_check.h"
#include "discimage/image/tests/sectors_fixture.h"
#include "discimage/tests/test_support.h"
#include "discimage/image/vcd_image_sink_bincue.h"
#include "discimage/image/vcd_image_sink_cdrdao.h"
#include "discimage/image/vcd_image_sink_nero.h"
#include "discimage/base/vcd_messages.h"

namespace fs = std::filesystem;
using namespace sectors_test;
using namespace test_support;

namespace {

CVcdCueList TinyDisc() {
  CVcdCueList list;
  list.Append(0, kVcdCueTrack);
  list.Append(300, kVcdCuePregap);
  list.Append(450, kVcdCueTrack);
  list.Append(750, kVcdCueEnd);
  return list;
}

const int kFirstForm2 = 300;

// What cdrdao show-toc says of the tiny disc, whatever its sheet.
void ExpectTinyDiscToc(const std::string& output, const char* mode) {
  EXPECT_NE(output.find("TOC TYPE: CD_ROM_XA"), std::string::npos) << output;
  std::string track1 = std::string("TRACK  1  Mode ") + mode + ":";
  std::string track2 = std::string("TRACK  2  Mode ") + mode + ":";
  EXPECT_NE(output.find(track1), std::string::npos) << output;
  EXPECT_NE(output.find(track2), std::string::npos) << output;
  EXPECT_NE(output.find("END    00:04:00(   300)"), std::string::npos) << output;
  EXPECT_NE(output.find("PREGAP 00:02:00(   150)"), std::string::npos) << output;
  EXPECT_NE(output.find("START  00:06:00(   450)"), std::string::npos) << output;
  EXPECT_NE(output.find("END    00:10:00(   750)"), std::string::npos) << output;
  EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
  EXPECT_EQ(output.find("WARNING"), std::string::npos) << output;
}

class ToolsTest : public FreshFolderTest {
protected:
  void SetUp() override {
    FreshFolderTest::SetUp();
    messages.SetOutputStreams(stdout, stderr);
  }

  CVcdMessageSink messages;
};

TEST_F(ToolsTest, BchunkSplitsTheCueBinIntoItsTracks) {
  if (!HaveTool("bchunk")) GTEST_SKIP() << "bchunk not installed";
  {
    CVcdBinCue cue(&messages, PathOf("disc.cue").c_str(), kVcdStreamWrite);
    CVcdBinCue bin(&messages, PathOf("disc.bin").c_str(), kVcdStreamWrite);
    ASSERT_EQ(WriteDisc(&cue, &bin, TinyDisc(), kFirstForm2), 0);
  }
  int status = 0;
  std::string output = RunCommandIn(folder, "bchunk -v -r disc.bin disc.cue raw", &status);
  ASSERT_EQ(status, 0) << output;
  EXPECT_NE(output.find("Track  2: MODE2/2352"), std::string::npos) << output;
  EXPECT_NE(output.find("01 00:06:00 (startsect 450"), std::string::npos) << output;
  // Track 1 ends at track 2's pregap; track 2 starts at its INDEX 01.
  ASSERT_TRUE(fs::exists(PathOf("raw01.iso")) && fs::exists(PathOf("raw02.iso"))) << output;
  EXPECT_EQ(fs::file_size(PathOf("raw01.iso")), 300u * 2352);
  EXPECT_EQ(fs::file_size(PathOf("raw02.iso")), 300u * 2352);
  size_t sectors = 0;
  EXPECT_EQ(CheckImageFile(PathOf("raw01.iso"), 2352, 0, &sectors), "");
  EXPECT_EQ(CheckImageFile(PathOf("raw02.iso"), 2352, 450, &sectors), "");

  // Its user data view of the Form 1 track is the data we encoded.
  output = RunCommandIn(folder, "bchunk disc.bin disc.cue user", &status);
  ASSERT_EQ(status, 0) << output;
  std::string user = FileContents(PathOf("user01.iso"));
  ASSERT_EQ(user.size(), 300u * 2048);
  uint8_t sector[kVcdSectorSize];
  for (int lsn : {0, 150, 299}) {
    MakeSector(lsn, kFirstForm2, sector);
    EXPECT_EQ(0, memcmp(user.data() + lsn * 2048, sector + 24, 2048)) << lsn;
  }
}

TEST_F(ToolsTest, CdrdaoReadsTheTocsAndTheCueSheet) {
  if (!HaveTool("cdrdao")) GTEST_SKIP() << "cdrdao not installed";
  for (bool mode2336 : {false, true}) {
    SCOPED_TRACE(mode2336 ? "2336" : "2352");
    const std::string name = mode2336 ? "form_mix" : "raw";
    {
      // Paths relative to the working folder, as a user gives them: the TOC
      // names its img files from its own folder, where cdrdao looks.
      std::string base = fs::relative(PathOf(name)).string();
      CVcdCdrDao toc(&messages, (base + ".toc").c_str(), kVcdStreamWrite);
      CVcdCdrDao img(&messages, NULL, kVcdStreamWrite);
      img.SetOption("img_base", base.c_str());
      toc.SetOption("img_base", base.c_str());
      if (mode2336) {
        toc.SetOption("sector", "2336");
        img.SetOption("sector", "2336");
      }
      ASSERT_EQ(WriteDisc(&toc, &img, TinyDisc(), kFirstForm2), 0);
    }
    int status = 0;
    std::string output = RunCommandIn(folder, "cdrdao show-toc " + name + ".toc", &status);
    EXPECT_EQ(status, 0) << output;
    ExpectTinyDiscToc(output, mode2336 ? "MODE2_FORM_MIX" : "MODE2_RAW");
    output = RunCommandIn(folder, "cdrdao toc-size " + name + ".toc", &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("\n750\n"), std::string::npos) << output;
  }

  // cdrdao reads cue sheets too (the 2352-byte kind: it takes a 2336 one's
  // bin for 2352-byte sectors).
  {
    CVcdBinCue cue(&messages, PathOf("disc.cue").c_str(), kVcdStreamWrite);
    CVcdBinCue bin(&messages, "disc.bin", kVcdStreamWrite);
    bin.SetOption("bin", PathOf("disc.bin").c_str());
    ASSERT_EQ(WriteDisc(&cue, &bin, TinyDisc(), kFirstForm2), 0);
  }
  int status = 0;
  std::string output = RunCommandIn(folder, "cdrdao show-toc disc.cue", &status);
  EXPECT_EQ(status, 0) << output;
  ExpectTinyDiscToc(output, "MODE2_RAW");
}

TEST_F(ToolsTest, NrgReaderReadsTheNrgBack) {
  std::string path = PathOf("disc.nrg");
  {
    CVcdNero nrg(&messages, path.c_str(), kVcdStreamWrite);
    ASSERT_EQ(WriteDisc(&nrg, &nrg, TinyDisc(), kFirstForm2), 0);
  }
  EXPECT_EQ(fs::file_size(path), 600u * 2336 + 76);
  CVcdNero reader(&messages, path.c_str(), kVcdStreamRead);
  ASSERT_EQ(reader.StatSize(), 750);
  ASSERT_EQ(reader.GetRanges().size(), 2u);
  uint8_t back[kVcdSectorSize2336];
  for (int lsn = 0; lsn < 750; ++lsn) {
    ASSERT_EQ(reader.ReadSector(back, lsn, 1), 0) << lsn;
    if (lsn >= 300 && lsn < 450) continue;  // the pregap is not in the image
    ASSERT_EQ(CheckStoredSector(back, 2336, lsn), "") << lsn;
  }
}

}  // namespace
