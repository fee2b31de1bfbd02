// The front end's build from a parameter block to a finished image, in
// process (so it runs under Wine as well as natively): the option table,
// the image file names, whole VCD and SVCD builds from the MPEG fixtures
// checked sector by sector and through their ISO 9660 tree, and the ways a
// build must end in failure (cancel while scanning or writing, a user file
// that shrank before it was written).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "discimage/tests/capture_window.h"
#include "discimage/image/tests/layout_test_project.h"
#include "discimage/image/tests/sector_check.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "discimage/run/vcd_frontend.h"
#include "discimage/image/vcd_image_sink_cdrdao.h"
#include "discimage/image/vcd_image_sink_nero.h"
#include "discimage/model/vcd_project.h"
#include "discimage/base/vcd_stream.h"

namespace fs = std::filesystem;
using namespace layout_test;
using namespace test_support;

namespace {

// ---------------------------------------------------------------------------
// Options

struct ProjectDeleter {
  void operator()(CVcdObj* project) const { project->Destroy(); }
};

TEST(FrontEndOptions, Table) {
  struct Case {
    int type;
    const char* name;
    const char* value;
    int result;
    const char* warning;                      // part of the warning, or NULL for none
    int (CVcdObj::*getter)() const;           // the parameter it sets, or NULL
    int expected;
  } cases[] = {
      {kVcdType20, "leadout pause", "TRUE", 0, NULL, &CVcdObj::GetLeadoutPause, 1},
      {kVcdType20, "Leadout Pause", "false", 0, NULL, &CVcdObj::GetLeadoutPause, 0},
      {kVcdType20, "leadout pause", "yes", -2, "option value 'yes' invalid (use 'true' or 'false')",
       &CVcdObj::GetLeadoutPause, 0},
      {kVcdType20, "track pregap", "160", 0, NULL, &CVcdObj::GetPregap, 160},
      {kVcdType20, "track pregap", "150x", -2, "error while converting string '150x' to integer",
       &CVcdObj::GetPregap, 150},
      {kVcdType20, "track pregap", "", -2, "no value given for option name 'track pregap'",
       &CVcdObj::GetPregap, 150},
      {kVcdType20, "track front margin", "20", 0, NULL, &CVcdObj::GetFrontMargin, 20},
      {kVcdType20, "TRACK REAR MARGIN", "-4", 0, "rear margin out of range", &CVcdObj::GetRearMargin, 0},
      {kVcdType20, "relaxed aps", "true", 0, NULL, &CVcdObj::GetRelaxedAps, 1},
      {kVcdType20, "bogus", "1", -1, "unknown option name 'bogus'", NULL, 0},
      {kVcdType20, "", "1", -1, "no option name given!", NULL, 0},
      {kVcdTypeSvcd, "svcd vcd30 mpegav", "true", 0, "deprecated VCD3.0 MPEGAV folder",
       &CVcdObj::GetSvcdMpegavFolder, 1},
      {kVcdTypeSvcd, "update scan offsets", "True", 0, NULL, &CVcdObj::GetUpdateScanOffsets, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + c.value);
    CVcdMessageSink sink;
    CaptureWindow window;
    window.Attach(sink);
    std::unique_ptr<CVcdObj, ProjectDeleter> project(CreateVcdObj(&sink, c.type));
    window.messages.clear();
    VcdScanFlags flags = {0, 0};
    EXPECT_EQ(VcdApplyOption(project.get(), &sink, c.name, c.value, &flags), c.result);
    bool warned = false;
    for (const CapturedMessage& m : window.messages)
      if (m.wParam == kVcdMsgWarning && c.warning != NULL && m.text.find(c.warning) != std::string::npos)
        warned = true;
    EXPECT_EQ(warned, c.warning != NULL);
    if (c.getter != NULL) {
      EXPECT_EQ((project.get()->*c.getter)(), c.expected);
    }
    if (strcmp(c.name, "update scan offsets") == 0) {
      EXPECT_EQ(flags.updateScanOffsets, 1);
    }
    if (strcmp(c.name, "relaxed aps") == 0) {
      EXPECT_EQ(flags.relaxedAps, 1);
    }
  }
}

// ---------------------------------------------------------------------------
// Image file names

TEST(FrontEndSinks, NamesFromTheBlock) {
  struct Case {
    int type;
    const char* cue;
    const char* bin;
    const char* expectedCue;  // the TOC for toc/img, "" for nrg
    const char* expectedImage;  // the img files' base for toc/img
  } cases[] = {
      {kVcdImageCueBin, "D:\\IMG\\videocd.cue", "", "D:\\IMG\\videocd.cue", "D:\\IMG\\videocd.bin"},
      {kVcdImageCueBin, "out/disc.txt", "", "out/disc.cue", "out/disc.bin"},
      {kVcdImageCueBin, "a.b/disc", "other.img", "a.b/disc.cue", "other.bin"},
      {kVcdImageCueBin, "out/", "", "out/videocd.cue", "out/videocd.bin"},  // a folder
      {5, "x/y.cue", "", "x/y.cue", "x/y.bin"},  // unknown types are cue/bin
      {kVcdImageNrg, "ignored.cue", "D:\\IMG\\disc.bin", "", "D:\\IMG\\disc.nrg"},
      {kVcdImageTocImg, "D:\\IMG\\videocd.cue", "", "D:\\IMG\\videocd.toc", "d:/IMG/videocd"},
      // An image name ending in ".toc" is a base like any other.
      {kVcdImageTocImg, "t.toc", "sub/a.toc.img", "t.toc", "sub/a.toc"},
      {kVcdImageTocImg, "t.toc", "b.toc", "t.toc", "b"},
      {kVcdImageTocImg, "t.toc", "sub/", "t.toc", "sub/videocd"},
      {kVcdImageTocImg, "t.toc", ".img", "t.toc", ".img"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cue);
    VcdBuildParams params;
    memset(&params, 0, sizeof params);
    strcpy(params.xmlPath, "vcd.xml");
    params.imageType = c.type;
    strcpy(params.cuePath, c.cue);
    strcpy(params.binPath, c.bin);
    CVcdFrontEnd frontEnd(&params);
    CaptureWindow window;
    window.Attach(frontEnd);
    ASSERT_EQ(frontEnd.Prepare(), 0);
    ASSERT_NE(frontEnd.GetImageSink(), nullptr);
    if (c.type == kVcdImageNrg) {
      EXPECT_EQ(frontEnd.GetCueSink(), frontEnd.GetImageSink());
    } else {
      EXPECT_STREQ(frontEnd.GetCueSink()->GetFileName(), c.expectedCue);
    }
    if (c.type != kVcdImageTocImg) {
      EXPECT_STREQ(frontEnd.GetImageSink()->GetFileName(), c.expectedImage);
    } else {
      // The TOC names the img files by the image sink's base.
      EXPECT_STREQ(frontEnd.GetImageSink()->GetFileName(), "");
      EXPECT_STREQ(static_cast<CVcdCdrDao*>(frontEnd.GetImageSink())->GetImageBase(), c.expectedImage);
      EXPECT_STREQ(static_cast<CVcdCdrDao*>(frontEnd.GetCueSink())->GetImageBase(), c.expectedImage);
    }
    EXPECT_TRUE(window.LinesAt(kVcdMsgError).empty());
  }
  EXPECT_EQ(VcdReplaceExtension("D:\\IMG.X\\videocd", ".bin"), "D:\\IMG.X\\videocd.bin");
  EXPECT_EQ(VcdReplaceExtension("disc.tar.cue", ""), "disc.tar");
}

// ---------------------------------------------------------------------------
// Builds

// A front end that can pull the cancel flag, or change a file, at a chosen
// moment of the build.
class TestFrontEnd : public CVcdFrontEnd {
public:
  explicit TestFrontEnd(const VcdBuildParams* params) : CVcdFrontEnd(params) { SetCancelFlag(&cancel); }

  int ReportScanProgress(const VcdScanState* state) override {
    if (cancelWhileScanning && state != NULL && state->position > 0) cancel = 1;
    return CVcdFrontEnd::ReportScanProgress(state);
  }
  int ReportWriteProgress(const VcdWriteState* state) override {
    if (state != NULL) {
      if (cancelAfterSectors > 0 && state->sectorsWritten >= cancelAfterSectors) cancel = 1;
      if (!shrinkFile.empty()) {
        // The user's file loses its content between layout and writing.
        FILE* f = fopen(shrinkFile.c_str(), "wb");
        if (f != NULL) fclose(f);
        shrinkFile.clear();
      }
      lastWritten = state->sectorsWritten;
      lastTotal = state->sectorsTotal;
    }
    return CVcdFrontEnd::ReportWriteProgress(state);
  }

  volatile int cancel = 0;
  bool cancelWhileScanning = false;
  int cancelAfterSectors = 0;
  std::string shrinkFile;
  int lastWritten = -1, lastTotal = -1;
};

class FrontEndBuild : public ::testing::Test {
protected:
  void SetUp() override {
    if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
    folder = FreshTestFolder();
  }

  std::string Path(const std::string& name) const { return (folder / name).string(); }

  // Writes the project and a block for it (cue/bin into the folder).
  VcdBuildParams Block(const ProjectSpec& spec, int imageType = kVcdImageCueBin) {
    std::string xml = Path("vcd.xml");
    EXPECT_TRUE(WriteText(xml, ProjectXml(spec)));
    VcdBuildParams params;
    memset(&params, 0, sizeof params);
    strcpy(params.xmlPath, xml.c_str());
    params.imageType = imageType;
    strcpy(params.cuePath, Path(imageType == kVcdImageTocImg ? "disc.toc" : "disc.cue").c_str());
    if (imageType == kVcdImageNrg) strcpy(params.binPath, Path("disc.nrg").c_str());
    params.progress = 1;
    return params;
  }

  int Run(TestFrontEnd& frontEnd) {
    window.Attach(frontEnd);
    return frontEnd.Run();
  }

  std::string LastInfo() const {
    std::string last;
    for (const CapturedMessage& m : window.messages)
      if (!m.isRecord && m.wParam == kVcdMsgInfo) last = m.text;
    return last;
  }
  bool Said(int level, const std::string& part) const {
    for (const CapturedMessage& m : window.messages)
      if (!m.isRecord && static_cast<int>(m.wParam) == level && m.text.find(part) != std::string::npos)
        return true;
    return false;
  }
  std::string Errors() const {
    std::string all;
    for (const CapturedMessage& m : window.messages)
      if (!m.isRecord && m.wParam == kVcdMsgError) all += m.text;
    return all;
  }
  // Sectors named by the final "finished ok" text.
  int FinishedSectors() const {
    int sectors = -1;
    sscanf(LastInfo().c_str(), "finished ok, image created with %d sectors", &sectors);
    return sectors;
  }

  fs::path folder;
  CaptureWindow window;
};

TEST_F(FrontEndBuild, VideoCd20WithTwoTracksEntrySegmentAndPlayList) {
  ProjectSpec spec;
  spec.sequences = {FixturePath("pal-vcd.mpg"), FixturePath("pal-vcd.mpg")};
  spec.segment = FixturePath("pal-vcd.mpg");
  spec.userFile = Path("readme.txt");
  spec.options = {{"leadout pause", "yes"}, {"no such option", "1"}};  // warned, ignored
  ASSERT_TRUE(WriteText(spec.userFile, "a user file on the disc\n"));
  VcdBuildParams params = Block(spec);
  TestFrontEnd frontEnd(&params);
  ASSERT_EQ(Run(frontEnd), kVcdResultOk) << Errors();
  int sectors = FinishedSectors();
  ASSERT_GT(sectors, 0) << LastInfo();
  EXPECT_TRUE(Said(kVcdMsgWarning, "option value 'yes' invalid"));
  EXPECT_TRUE(Said(kVcdMsgWarning, "unknown option name 'no such option'"));

  std::string bin = Path("disc.bin");
  EXPECT_EQ(FileSize(bin), static_cast<long long>(sectors) * 2352);
  size_t checked = 0;
  EXPECT_EQ(CheckImageFile(bin, 2352, 0, &checked), "");
  EXPECT_EQ(checked, static_cast<size_t>(sectors));
  EXPECT_EQ(frontEnd.lastWritten, sectors);  // the final report
  EXPECT_EQ(frontEnd.lastTotal, sectors);

  ImageReader image(bin, 2352);
  ASSERT_TRUE(image.IsOpen());
  ImageReader::Entry info, entries, lot, psd, lotx, track1, track2, item, readme;
  ASSERT_TRUE(image.Find("VCD/INFO.VCD", &info));
  ASSERT_TRUE(image.Find("VCD/ENTRIES.VCD", &entries));
  ASSERT_TRUE(image.Find("VCD/LOT.VCD", &lot));
  ASSERT_TRUE(image.Find("VCD/PSD.VCD", &psd));
  ASSERT_TRUE(image.Find("EXT/LOT_X.VCD", &lotx));
  ASSERT_TRUE(image.Find("MPEGAV/AVSEQ01.DAT", &track1));
  ASSERT_TRUE(image.Find("MPEGAV/AVSEQ02.DAT", &track2));
  ASSERT_TRUE(image.Find("SEGMENT/ITEM0001.DAT", &item));
  ASSERT_TRUE(image.Find("EXTRA/README.TXT", &readme));
  EXPECT_EQ(info.extent, 150u);
  EXPECT_EQ(entries.extent, 151u);
  EXPECT_EQ(lot.extent, 152u);
  EXPECT_EQ(lot.size, 65536u);
  EXPECT_EQ(psd.extent, 184u);
  EXPECT_EQ(lotx.fileNumber, 1);
  EXPECT_EQ(track1.fileNumber, 1);
  EXPECT_EQ(track2.fileNumber, 2);
  EXPECT_EQ(item.extent, 225u);
  EXPECT_EQ(image.Form1(readme.extent).substr(0, readme.size), "a user file on the disc\n");

  EXPECT_EQ(image.Form1(150).substr(0, 10), std::string("VIDEO_CD\x02\x00", 10));
  std::string entryBytes = image.Form1(151);
  EXPECT_EQ(entryBytes.substr(0, 12), std::string("ENTRYVCD\x02\x00\x00\x03", 12));
  EXPECT_EQ(image.Subheader(150), (std::vector<int>{0, 0, 0x88, 0}));
  EXPECT_EQ(image.Subheader(16), (std::vector<int>{0, 0, 0x09, 0}));
  // Track 2: pregap, front margin, packets (the last ends file and record),
  // rear margin; every packet sector carries the track's file number.
  int start = static_cast<int>(track1.extent);
  EXPECT_EQ(image.Subheader(start - 1), (std::vector<int>{0, 0, 0x20, 0}));
  EXPECT_EQ(image.Subheader(start), (std::vector<int>{1, 0, 0x60, 0}));
  int packets = static_cast<int>(track1.size / 2048) - 75;
  std::vector<int> last = image.Subheader(start + 30 + packets - 1);
  ASSERT_EQ(last.size(), 4u);
  EXPECT_EQ(last[0], 1);
  EXPECT_EQ(last[2] & 0x81, 0x81);
  bool sawVideo = false, sawAudio = false;
  for (int i = 0; i < packets; ++i) {
    std::vector<int> sub = image.Subheader(start + 30 + i);
    if (sub == std::vector<int>{1, 1, 0x62, 0x0F}) sawVideo = true;
    if (sub == std::vector<int>{1, 1, 0x64, 0x7F}) sawAudio = true;
  }
  EXPECT_TRUE(sawVideo);
  EXPECT_TRUE(sawAudio);
  // The entry point lies inside track 2's packets.
  int entryLsn = (((entryBytes[17] >> 4) * 10 + (entryBytes[17] & 15)) * 60 +
                  ((entryBytes[18] >> 4) * 10 + (entryBytes[18] & 15))) * 75 +
                 ((entryBytes[19] >> 4) * 10 + (entryBytes[19] & 15)) - 150;
  EXPECT_GT(entryLsn, start + 30);
  EXPECT_LT(entryLsn, start + 30 + packets);
}

TEST_F(FrontEndBuild, SuperVideoCdWithTwoTracksAndSegment) {
  ProjectSpec spec;
  spec.cls = "svcd";
  spec.version = "1.0";
  spec.sequences = {FixturePath("pal-svcd.mpg"), FixturePath("pal-svcd.mpg")};
  spec.segment = FixturePath("pal-svcd.mpg");
  spec.options = {{"update scan offsets", "true"}, {"leadout pause", "TRUE"}};
  VcdBuildParams params = Block(spec);
  params.sector2336 = 1;
  TestFrontEnd frontEnd(&params);
  ASSERT_EQ(Run(frontEnd), kVcdResultOk) << Errors();
  int sectors = FinishedSectors();
  ASSERT_GT(sectors, 0);
  // The leadout pause is in the image and the cue sheet's end, but not in
  // what progress counts.
  EXPECT_EQ(frontEnd.lastTotal, sectors - 150);
  EXPECT_EQ(frontEnd.lastWritten, sectors - 150);

  std::string bin = Path("disc.bin");
  EXPECT_EQ(FileSize(bin), static_cast<long long>(sectors) * 2336);
  EXPECT_EQ(CheckImageFile(bin, 2336, 0), "");
  ImageReader image(bin, 2336);
  ImageReader::Entry info, tracks, search, scandata, track1, item;
  ASSERT_TRUE(image.Find("SVCD/INFO.SVD", &info));
  ASSERT_TRUE(image.Find("SVCD/TRACKS.SVD", &tracks));
  ASSERT_TRUE(image.Find("SVCD/SEARCH.DAT", &search));
  ASSERT_TRUE(image.Find("EXT/SCANDATA.DAT", &scandata));
  ASSERT_TRUE(image.Find("MPEG2/AVSEQ01.MPG", &track1));
  ASSERT_TRUE(image.Find("SEGMENT/ITEM0001.MPG", &item));
  EXPECT_EQ(track1.fileNumber, 0);
  EXPECT_EQ(image.Form1(info.extent).substr(0, 10), std::string("SUPERVCD\x01\x00", 10));
  std::string trackBytes = image.Form1(tracks.extent);
  EXPECT_EQ(trackBytes.substr(0, 11), std::string("TRACKSVD\x01\x00\x02", 11));
  EXPECT_EQ(image.Form1(search.extent).substr(0, 8), "SEARCHSV");
  EXPECT_EQ(image.Form1(scandata.extent).substr(0, 8), "SCAN_VCD");
  // Tracks start at their pregap's end with no margins; packets have file
  // number 1 and the MPEG-2 coding.
  int start = static_cast<int>(track1.extent);
  EXPECT_EQ(image.Subheader(start - 1), (std::vector<int>{0, 0, 0x20, 0}));
  std::vector<int> first = image.Subheader(start);
  ASSERT_EQ(first.size(), 4u);
  EXPECT_EQ(first[0], 1);
  EXPECT_EQ(first[3], 0x80);
  std::vector<int> segment = image.Subheader(static_cast<int>(item.extent));
  EXPECT_EQ(segment, (std::vector<int>{1, 1, 0x62, 0x80}));
}

TEST_F(FrontEndBuild, CancelWhileWritingEndsWithTheCancelText) {
  ProjectSpec spec;
  spec.sequences = {FixturePath("pal-vcd.mpg")};
  spec.entryTime = -1;
  spec.pbc = false;
  VcdBuildParams params = Block(spec);
  TestFrontEnd frontEnd(&params);
  frontEnd.cancelAfterSectors = 400;  // inside the track
  EXPECT_EQ(Run(frontEnd), kVcdResultFailed);
  EXPECT_EQ(LastInfo(), "finished with ERRORS, due to user's request to cancel.\n");
  EXPECT_TRUE(Said(kVcdMsgError, "building videocd failed"));
  EXPECT_FALSE(Said(kVcdMsgInfo, "finished ok"));
}

TEST_F(FrontEndBuild, CancelWhileScanningEndsWithTheCancelText) {
  ProjectSpec spec;
  spec.sequences = {FixturePath("pal-vcd.mpg")};
  spec.pbc = false;
  VcdBuildParams params = Block(spec);
  TestFrontEnd frontEnd(&params);
  frontEnd.cancelWhileScanning = true;
  EXPECT_EQ(Run(frontEnd), kVcdResultFailed);
  EXPECT_EQ(LastInfo(), "finished with ERRORS, due to user's request to cancel.\n");
  EXPECT_FALSE(fs::exists(Path("disc.bin")) && FileSize(Path("disc.bin")) > 0);
}

TEST_F(FrontEndBuild, UserFileThatShrankBeforeWritingFailsTheBuild) {
  ProjectSpec spec;
  spec.sequences = {FixturePath("pal-vcd.mpg")};
  spec.pbc = false;
  spec.userFile = Path("readme.txt");
  ASSERT_TRUE(WriteText(spec.userFile, std::string(5000, 'x')));
  VcdBuildParams params = Block(spec);
  TestFrontEnd frontEnd(&params);
  frontEnd.shrinkFile = spec.userFile;
  EXPECT_EQ(Run(frontEnd), kVcdResultFailed);
  EXPECT_TRUE(Said(kVcdMsgError, "could not be read whole")) << Errors();
  EXPECT_EQ(LastInfo(), "finished with ERRORS\n");
}

TEST_F(FrontEndBuild, MissingMpegFileFailsBeforeAnyImageFile) {
  ProjectSpec spec;
  spec.sequences = {Path("no-such.mpg")};
  spec.pbc = false;
  VcdBuildParams params = Block(spec);
  TestFrontEnd frontEnd(&params);
  EXPECT_EQ(Run(frontEnd), kVcdResultFailed);
  EXPECT_TRUE(Said(kVcdMsgError, "building videocd failed"));
  EXPECT_FALSE(fs::exists(Path("disc.bin")));
  EXPECT_FALSE(fs::exists(Path("disc.cue")));
}

TEST_F(FrontEndBuild, NrgImageHoldsTheTracksWithoutPregaps) {
  ProjectSpec spec;
  spec.sequences = {FixturePath("ntsc-vcd.mpg"), FixturePath("ntsc-vcd.mpg")};
  spec.entryTime = -1;
  spec.pbc = false;
  VcdBuildParams params = Block(spec, kVcdImageNrg);
  TestFrontEnd frontEnd(&params);
  ASSERT_EQ(Run(frontEnd), kVcdResultOk) << Errors();
  int sectors = FinishedSectors();
  // Two pregaps of 150 are left out; the footer follows: ETNF (8 + 20 for
  // each of the three tracks), SINF (12), END! (8) and NERO (8).
  EXPECT_EQ(FileSize(Path("disc.nrg")),
            static_cast<long long>(sectors - 300) * 2336 + 8 + 3 * 20 + 12 + 8 + 8);

  // Read back: the image's sectors where the layout put them.
  CVcdMessageSink quiet;
  quiet.SetLevel(kVcdLevelQuiet);
  CVcdNero reader(&quiet, Path("disc.nrg").c_str(), kVcdStreamRead);
  EXPECT_EQ(reader.StatSize(), sectors);
  uint8_t user[2336];
  ASSERT_EQ(reader.ReadSector(user, 150, 0), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(user), 8), "VIDEO_CD");
  ASSERT_EQ(reader.ReadSector(user, 16, 0), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(user) + 1, 5), "CD001");
  // Track 2 starts behind track 1 (300 sectors) and its pregap: its front
  // margin, then the packets with the track's file number.
  ASSERT_EQ(reader.ReadSector(user, 450, 1), 0);
  EXPECT_EQ(user[0], 1);
  EXPECT_EQ(user[2], 0x60);
  ASSERT_EQ(reader.ReadSector(user, 480, 1), 0);
  EXPECT_EQ(user[0], 1);
  EXPECT_EQ(user[2] & 0x60, 0x60);
}

}  // namespace
