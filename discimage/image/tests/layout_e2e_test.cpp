// End to end: zrdiscbuild builds VCD 2.0 and SVCD images from the ffmpeg
// fixtures as a user runs it, and the system's own disc tools read what it
// wrote: bchunk splits the cue/bin, iso-info and isoinfo list the ISO 9660
// tree, ffprobe plays a track pulled out of the image, cdrdao reads the TOC
// of a toc/img image; every sector is checked by the sector checker.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "discimage/image/tests/layout_test_project.h"
#include "discimage/image/tests/sector_check.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"

namespace fs = std::filesystem;
using namespace layout_test;
using namespace test_support;

namespace {

double ProbeDuration(const fs::path& folder, const std::string& file) {
  int status = 0;
  std::string out = RunCommandIn(folder, "ffprobe -v error -show_entries format=duration -of csv=p=0 '" + file + "'",
                          &status);
  return status == 0 ? atof(out.c_str()) : -1.0;
}

// The 2324 payload bytes of every raw sector of a track file, one after
// another: the MPEG program stream the track carries.
bool PayloadOf(const fs::path& raw, const fs::path& mpeg) {
  std::ifstream in(raw, std::ios::binary);
  std::ofstream out(mpeg, std::ios::binary);
  std::vector<char> sector(2352);
  while (in.read(sector.data(), 2352)) out.write(sector.data() + 24, 2324);
  return static_cast<bool>(out);
}

struct DiscCase {
  const char* name;
  const char* cls;
  const char* version;
  const char* fixture;
  const char* trackDir;   // folder of the tracks in the ISO tree (iso-info's lower case)
  const char* trackFile;  // the first track there
  const char* infoDir;
  const char* infoFile;
};

class DiscTest : public ::testing::TestWithParam<DiscCase> {
protected:
  void SetUp() override {
    if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
    for (const char* tool : {"bchunk", "iso-info", "isoinfo", "ffprobe", "cdrdao"})
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is not installed";
    folder = FreshFolder(fs::current_path() / GetParam().name);
  }

  // Writes the project (two tracks of the fixture, an entry point on the
  // first, the fixture again as a segment item, a play list) and runs
  // zrdiscbuild with the arguments; its output.
  std::string Build(const std::string& arguments, int* status) {
    ProjectSpec spec;
    spec.cls = GetParam().cls;
    spec.version = GetParam().version;
    std::string mpeg = FixturePath(GetParam().fixture);
    spec.sequences = {mpeg, mpeg};
    spec.segment = mpeg;
    EXPECT_TRUE(WriteText((folder / "vcd.xml").string(), ProjectXml(spec)));
    return RunCommandIn(folder, std::string(QUORBEL_ZRDISCBUILD) + " -x vcd.xml " + arguments, status);
  }

  static int Sectors(const std::string& output) {
    size_t at = output.find("finished ok, image created with ");
    return at == std::string::npos ? -1 : atoi(output.c_str() + at + 32);
  }

  fs::path folder;
};

TEST_P(DiscTest, CueBinReadByTheDiscTools) {
  const DiscCase& c = GetParam();
  int status = 0;
  std::string output = Build("-c disc.cue", &status);
  ASSERT_EQ(status, 0) << output;
  int sectors = Sectors(output);
  ASSERT_GT(sectors, 0) << output;
  fs::path bin = folder / "disc.bin";
  EXPECT_EQ(FileSize(bin.string()), static_cast<long long>(sectors) * 2352);
  size_t checked = 0;
  EXPECT_EQ(CheckImageFile(bin.string(), 2352, 0, &checked), "");
  EXPECT_EQ(checked, static_cast<size_t>(sectors));

  // bchunk: three tracks; the second with its pregap (index 0) and the
  // entry point (index 2).
  std::string split = RunCommandIn(folder, "bchunk disc.bin disc.cue iso", &status);
  ASSERT_EQ(status, 0) << split;
  EXPECT_NE(split.find("Track  1: MODE2/2352"), std::string::npos) << split;
  EXPECT_NE(split.find("Track  3: MODE2/2352"), std::string::npos) << split;
  std::istringstream lines(split);
  std::string line;
  bool trackTwoIndexes = false;
  while (std::getline(lines, line))
    if (line.find("Track  2:") == 0 && line.find(" 00 ") != std::string::npos &&
        line.find(" 01 ") != std::string::npos && line.find(" 02 ") != std::string::npos)
      trackTwoIndexes = true;
  EXPECT_TRUE(trackTwoIndexes) << split;

  // The ISO 9660 tree of track 1, by two readers.
  std::string tree = RunCommandIn(folder, "iso-info -i iso01.iso -l", &status);
  ASSERT_EQ(status, 0) << tree;
  auto listed = [&tree](const std::string& lsn, const std::string& size, const std::string& name) {
    std::istringstream in(tree);
    std::string l;
    while (std::getline(in, l))
      if (l.find("[LSN " + lsn + "]") != std::string::npos && l.find(" " + size + " ") != std::string::npos &&
          l.size() >= name.size() && l.compare(l.size() - name.size(), name.size(), name) == 0)
        return true;
    return false;
  };
  std::string ext = c.infoDir;  // "vcd" or "svd"
  EXPECT_NE(tree.find(std::string(c.infoFile) + ":"), std::string::npos) << tree;
  EXPECT_TRUE(listed("   150", "2048", "info." + ext)) << tree;
  EXPECT_TRUE(listed("   151", "2048", "entries." + ext)) << tree;
  EXPECT_TRUE(listed("   152", "65536", "lot." + ext)) << tree;
  EXPECT_TRUE(listed("   184", "32", "psd." + ext)) << tree;  // a 20-byte play list at 0, the end list at 24
  EXPECT_NE(tree.find(std::string("/") + c.trackDir + "/:"), std::string::npos) << tree;
  EXPECT_NE(tree.find(c.trackFile), std::string::npos) << tree;
  std::string second = RunCommandIn(folder, "isoinfo -i iso01.iso -l", &status);
  EXPECT_EQ(status, 0);
  std::string upperInfo = ext == "vcd" ? "INFO.VCD;1" : "INFO.SVD;1";
  EXPECT_NE(second.find(upperInfo), std::string::npos) << second;
  EXPECT_NE(second.find("ITEM0001."), std::string::npos) << second;

  // Track 3 pulled out raw plays as long as the stream that went in.
  RunCommandIn(folder, "bchunk -r disc.bin disc.cue raw", &status);
  ASSERT_EQ(status, 0);
  ASSERT_TRUE(PayloadOf(folder / "raw03.iso", folder / "track3.mpg"));
  double source = ProbeDuration(folder, FixturePath(c.fixture));
  double track = ProbeDuration(folder, "track3.mpg");
  ASSERT_GT(source, 1.0);
  EXPECT_NEAR(track, source, 0.1);
}

TEST_P(DiscTest, TocImgReadByCdrdao) {
  int status = 0;
  std::string output = Build("-i tocimg -c disc.toc", &status);
  ASSERT_EQ(status, 0) << output;
  int sectors = Sectors(output);
  ASSERT_GT(sectors, 0);
  std::string toc = RunCommandIn(folder, "cdrdao show-toc disc.toc", &status);
  EXPECT_EQ(status, 0) << toc;
  EXPECT_NE(toc.find("TOC TYPE: CD_ROM_XA"), std::string::npos) << toc;
  EXPECT_NE(toc.find("TRACK  3  Mode MODE2_RAW:"), std::string::npos) << toc;
  EXPECT_NE(toc.find("PREGAP 00:02:00(   150)"), std::string::npos) << toc;
  EXPECT_NE(toc.find("INDEX  2"), std::string::npos) << toc;
  EXPECT_EQ(toc.find("ERROR"), std::string::npos) << toc;
  // The fixtures' tracks are shorter than the 4 seconds a CD track should
  // have; cdrdao sizes such a TOC only when told to go on.
  std::string size = RunCommandIn(folder, "cdrdao toc-size --force disc.toc", &status);
  EXPECT_EQ(status, 0);
  bool sized = false;
  std::istringstream lines(size);
  for (std::string line; std::getline(lines, line);)
    if (line == std::to_string(sectors)) sized = true;
  EXPECT_TRUE(sized) << size;
  // Each img file holds whole checked sectors: track 1 from sector 0.
  EXPECT_EQ(CheckImageFile((folder / "disc_01.img").string(), 2352, 0), "");
}

const DiscCase kDiscs[] = {
    {"pal_vcd", "vcd", "2.0", "pal-vcd.mpg", "mpegav", "avseq01.dat", "vcd", "/vcd/"},
    {"ntsc_vcd", "vcd", "2.0", "ntsc-vcd.mpg", "mpegav", "avseq01.dat", "vcd", "/vcd/"},
    {"pal_svcd", "svcd", "1.0", "pal-svcd.mpg", "mpeg2", "avseq01.mpg", "svd", "/svcd/"},
    {"ntsc_svcd", "svcd", "1.0", "ntsc-svcd.mpg", "mpeg2", "avseq01.mpg", "svd", "/svcd/"},
};

INSTANTIATE_TEST_SUITE_P(Discs, DiscTest, ::testing::ValuesIn(kDiscs),
                         [](const ::testing::TestParamInfo<DiscCase>& info) { return info.param.name; });

}  // namespace
