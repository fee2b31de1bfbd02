// The image sinks against real files: the exact cue and TOC texts, the nrg
// footer bytes, where every sector lands (checked sector by sector), the
// options, reading images back, and loud failure wherever a sink cannot
// store what it was told.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "discimage/tests/capture_window.h"
#include "discimage/image/tests/sector_check.h"
#include "discimage/image/tests/sectors_fixture.h"
#include "discimage/tests/test_support.h"
#include "discimage/image/vcd_image_sink_bincue.h"
#include "discimage/image/vcd_image_sink_cdrdao.h"
#include "discimage/image/vcd_image_sink_nero.h"

namespace fs = std::filesystem;
using namespace sectors_test;
using namespace test_support;

namespace {

class SinkTest : public FreshFolderTest {
protected:
  std::vector<std::string> TextsAt(int level) const { return capture.LinesAt(level); }
  size_t CountAt(int level, const std::string& text) const {
    std::vector<std::string> texts = TextsAt(level);
    return static_cast<size_t>(std::count(texts.begin(), texts.end(), text));
  }
  bool HasErrors() const { return !TextsAt(kVcdMsgError).empty(); }

  CapturingSink capture;
};

// ---- cue/bin -----------------------------------------------------------------

TEST_F(SinkTest, CueSheetAndBinInBothSectorSizes) {
  for (bool mode2336 : {false, true}) {
    SCOPED_TRACE(mode2336 ? "2336" : "2352");
    std::string cuePath = PathOf(mode2336 ? "b.cue" : "a.cue");
    std::string binPath = PathOf(mode2336 ? "b.bin" : "a.bin");
    CVcdBinCue cue(&capture.sink, cuePath.c_str(), kVcdStreamWrite);
    CVcdBinCue bin(&capture.sink, binPath.c_str(), kVcdStreamWrite);
    if (mode2336) {
      ASSERT_EQ(cue.SetOption("sector", "2336"), 0);
      ASSERT_EQ(bin.SetOption("sector", "2336"), 0);
    }
    ASSERT_EQ(WriteDisc(&cue, &bin, TwoTrackList()), 0);

    const char* mode = mode2336 ? "2336" : "2352";
    std::string expected = "FILE \"" + binPath + "\" BINARY\r\n" +
                           "  TRACK 01 MODE2/" + mode + "\r\n    FLAGS DCP\r\n" +
                           "    INDEX 01 00:00:00\r\n" +
                           "  TRACK 02 MODE2/" + mode + "\r\n    FLAGS DCP\r\n" +
                           "    INDEX 00 00:13:25\r\n"
                           "    INDEX 01 00:15:25\r\n"
                           "    INDEX 02 00:15:55\r\n";
    EXPECT_EQ(FileContents(cuePath), expected);

    size_t stored = mode2336 ? 2336 : 2352;
    size_t sectors = 0;
    EXPECT_EQ(CheckImageFile(binPath, stored, 0, &sectors), "");
    EXPECT_EQ(sectors, 1300u);
    EXPECT_EQ(fs::file_size(binPath), 1300 * stored);
    // The stored bytes are the encoder's, at LSN x sector size.
    std::string all = FileContents(binPath);
    uint8_t sector[kVcdSectorSize];
    for (int lsn : {0, 999, 1000, 1150, 1299}) {
      MakeSector(lsn, 1000, sector);
      EXPECT_EQ(0, memcmp(all.data() + lsn * stored, sector + (mode2336 ? 16 : 0), stored)) << lsn;
    }
  }
  EXPECT_FALSE(HasErrors());
}

TEST_F(SinkTest, EmptyPregapGetsNoIndexZero) {
  std::string cuePath = PathOf("v.cue"), binPath = PathOf("v.bin");
  CVcdBinCue cue(&capture.sink, cuePath.c_str(), kVcdStreamWrite);
  CVcdBinCue bin(&capture.sink, binPath.c_str(), kVcdStreamWrite);
  ASSERT_EQ(WriteDisc(&cue, &bin, TwoTrackList(0)), 0);
  EXPECT_EQ(FileContents(cuePath), "FILE \"" + binPath + "\" BINARY\r\n"
                                "  TRACK 01 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 01 00:00:00\r\n"
                                "  TRACK 02 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 01 00:13:25\r\n"
                                "    INDEX 02 00:13:55\r\n");
}

// An entry point on a track's first sector (no front margin) or on the one
// before it adds no index: cdrdao refuses an index at the track start, and
// indexes must move forward.
TEST_F(SinkTest, IndexesOnlyWhereTheyMoveForward) {
  CVcdCueList list;
  list.Append(0, kVcdCueTrack);
  list.Append(300, kVcdCuePregap);
  list.Append(450, kVcdCueTrack);
  list.Append(450, kVcdCueIndex);
  list.Append(480, kVcdCueIndex);
  list.Append(480, kVcdCueIndex);
  list.Append(510, kVcdCueIndex);
  list.Append(800, kVcdCueEnd);
  std::string base = PathOf("i");
  CVcdBinCue cue(&capture.sink, (base + ".cue").c_str(), kVcdStreamWrite);
  CVcdBinCue bin(&capture.sink, (base + ".bin").c_str(), kVcdStreamWrite);
  ASSERT_EQ(WriteDisc(&cue, &bin, list, 300), 0);
  EXPECT_EQ(FileContents(base + ".cue"), "FILE \"" + base + ".bin\" BINARY\r\n"
            "  TRACK 01 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 01 00:00:00\r\n"
            "  TRACK 02 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 00 00:04:00\r\n"
            "    INDEX 01 00:06:00\r\n    INDEX 02 00:06:30\r\n    INDEX 03 00:06:60\r\n");
  CVcdCdrDao toc(&capture.sink, (base + ".toc").c_str(), kVcdStreamWrite);
  CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
  img.SetOption("img_base", base.c_str());
  toc.SetOption("img_base", base.c_str());
  ASSERT_EQ(WriteDisc(&toc, &img, list, 300), 0);
  std::string text = FileContents(base + ".toc");
  EXPECT_NE(text.find(" DATAFILE \"" + std::string(toc.GetImageBase()) + "_02.img\"\r\n INDEX 00:00:30\r\n INDEX 00:00:60\r\n\r\n// EOF"),
            std::string::npos) << text;
}

TEST_F(SinkTest, ReadSectorFromBin) {
  std::string binPath = PathOf("r.bin");
  {
    CVcdBinCue cue(&capture.sink, PathOf("r.cue").c_str(), kVcdStreamWrite);
    CVcdBinCue bin(&capture.sink, binPath.c_str(), kVcdStreamWrite);
    ASSERT_EQ(WriteDisc(&cue, &bin, TwoTrackList()), 0);
  }
  CVcdBinCue reader(&capture.sink, binPath.c_str(), kVcdStreamRead);
  EXPECT_EQ(reader.StatSize(), 1300);
  uint8_t sector[kVcdSectorSize], back[kVcdSectorSize2336];
  MakeSector(1234, 1000, sector);
  ASSERT_EQ(reader.ReadSector(back, 1234, 1), 0);
  EXPECT_EQ(0, memcmp(back, sector + 16, 2336));
  MakeSector(17, 1000, sector);
  ASSERT_EQ(reader.ReadSector(back, 17, 0), 0);
  EXPECT_EQ(0, memcmp(back, sector + 24, 2048));
  EXPECT_NE(reader.ReadSector(back, 1300, 1), 0);  // past the end
  EXPECT_NE(reader.ReadSector(back, -1, 1), 0);
}

TEST_F(SinkTest, StatSizeWarnsAboutTheOtherSectorSize) {
  struct Case {
    size_t bytes;
    const char* sectorOption;
    int sectors;
    std::vector<std::string> warnings;
  };
  const Case cases[] = {
      {2352 * 4, "2352", 4, {}},
      {2336 * 3, "2352", 2, {"image file not multiple of blocksize (2352)", "this may be a 2336-type disc image"}},
      {2352 * 3, "2336", 3, {"image file not multiple of blocksize (2336)", "this may be a 2352-type disc image"}},
      {1000, "2352", 0, {"image file not multiple of blocksize (2352)"}},
      {0, "2352", 0, {}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::string path = PathOf("s" + std::to_string(n++) + ".bin");
    WriteBytes(path, std::vector<uint8_t>(c.bytes, 0));
    capture.messages.clear();
    CVcdBinCue bin(&capture.sink, path.c_str(), kVcdStreamRead);
    ASSERT_EQ(bin.SetOption("sector", c.sectorOption), 0);
    EXPECT_EQ(bin.StatSize(), c.sectors);
    EXPECT_EQ(TextsAt(kVcdMsgWarning), c.warnings);
  }
}

// ---- toc/img -----------------------------------------------------------------

TEST_F(SinkTest, TocAndOneImgFilePerTrackAndPregap) {
  for (bool mode2336 : {false, true}) {
    SCOPED_TRACE(mode2336 ? "2336" : "2352");
    std::string base = PathOf(mode2336 ? "y" : "x");
    std::string tocPath = base + ".toc";
    std::unique_ptr<CVcdImage> toc(
        CreateVcdImageSink(&capture.sink, tocPath.c_str(), kVcdFormatTocImg, kVcdSinkSheet));
    std::unique_ptr<CVcdImage> img(
        CreateVcdImageSink(&capture.sink, base.c_str(), kVcdFormatTocImg, kVcdSinkImage));
    ASSERT_TRUE(toc->IsKindOf(RUNTIME_CLASS(CVcdCdrDao)));
    ASSERT_TRUE(img->IsKindOf(RUNTIME_CLASS(CVcdCdrDao)));
    EXPECT_STREQ(toc->GetFileName(), tocPath.c_str());
    EXPECT_STREQ(img->GetFileName(), "");
    if (mode2336) {
      toc->SetOption("sector", "2336");
      img->SetOption("sector", "2336");
    }
    const char* imageBase = static_cast<CVcdCdrDao*>(img.get())->GetImageBase();
    ASSERT_EQ(toc->SetOption("img_base", imageBase), 0);
    ASSERT_EQ(WriteDisc(toc.get(), img.get(), TwoTrackList()), 0);

    std::string b = imageBase;
    EXPECT_EQ(FileContents(tocPath),
              std::string("// CDRDAO TOC\r\n//  generated by zrDiscImage 6.0.7.10(win32)\r\n\r\nCD_ROM_XA\r\n") +
                  "\r\n// Track 1\r\nTRACK " + (mode2336 ? "MODE2_FORM_MIX" : "MODE2_RAW") + "\r\n COPY\r\n" +
                  " DATAFILE \"" + b + "_01.img\"\r\n" +
                  "\r\n// Track 2\r\nTRACK " + (mode2336 ? "MODE2_FORM_MIX" : "MODE2_RAW") + "\r\n COPY\r\n" +
                  " DATAFILE \"" + b + "_02_pregap.img\"\r\n START\r\n" +
                  " DATAFILE \"" + b + "_02.img\"\r\n" +
                  " INDEX 00:00:30\r\n" +
                  "\r\n// EOF\r\n");

    size_t stored = mode2336 ? 2336 : 2352;
    struct File {
      const char* suffix;
      int firstLsn;
      size_t sectors;
    };
    for (const File& f : {File{"_01.img", 0, 1000}, File{"_02_pregap.img", 1000, 150}, File{"_02.img", 1150, 150}}) {
      size_t sectors = 0;
      EXPECT_EQ(CheckImageFile(base + f.suffix, stored, f.firstLsn, &sectors), "") << f.suffix;
      EXPECT_EQ(sectors, f.sectors) << f.suffix;
    }
  }
  EXPECT_FALSE(HasErrors());
}

TEST_F(SinkTest, TocWithoutPregapNamesNoPregapFile) {
  std::string base = PathOf("z");
  CVcdCdrDao toc(&capture.sink, (base + ".toc").c_str(), kVcdStreamWrite);
  CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
  ASSERT_EQ(img.SetOption("img_base", base.c_str()), 0);
  ASSERT_EQ(toc.SetOption("img_base", img.GetImageBase()), 0);
  ASSERT_EQ(WriteDisc(&toc, &img, TwoTrackList(0)), 0);
  std::string text = FileContents(base + ".toc");
  EXPECT_EQ(text.find("pregap"), std::string::npos) << text;
  EXPECT_FALSE(fs::exists(base + "_02_pregap.img"));
  EXPECT_EQ(fs::file_size(base + "_01.img"), 1000u * 2352);
  EXPECT_EQ(fs::file_size(base + "_02.img"), 150u * 2352);
}

// A project object as the writer hands it over: told each img name.
class FakeProject : public CObject, public CVcdImageNameTarget {
public:
  void SetProgressImageName(const char* name) override { names.push_back(name); }
  std::vector<std::string> names;
};

TEST_F(SinkTest, ImgSwitchTellsTheProjectEachFileName) {
  std::string base = PathOf("p");
  CVcdCdrDao toc(&capture.sink, (base + ".toc").c_str(), kVcdStreamWrite);
  CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
  img.SetOption("img_base", base.c_str());
  toc.SetOption("img_base", img.GetImageBase());
  FakeProject project;
  char text[64];
  VcdPointerOption(static_cast<CObject*>(&project), text, sizeof text);
  ASSERT_EQ(img.SetOption("obj", text), 0);
  EXPECT_EQ(img.GetProjectObject(), static_cast<CObject*>(&project));
  ASSERT_EQ(WriteDisc(&toc, &img, TwoTrackList()), 0);
  std::string b = img.GetImageBase();
  EXPECT_EQ(project.names, (std::vector<std::string>{b + "_01.img", b + "_02_pregap.img", b + "_02.img"}));
}

TEST_F(SinkTest, ImageBaseUsesForwardSlashesAndALowerDriveLetter) {
  CVcdCdrDao sink(&capture.sink, NULL, kVcdStreamWrite);
  struct Case {
    const char* value;
    const char* base;
  } cases[] = {
      {"D:\\IMG\\videocd", "d:/IMG/videocd"},
      {"d:\\x", "d:/x"},
      {"Images\\Disc", "Images/Disc"},
      {"/tmp/Disc", "/tmp/Disc"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(sink.SetOption("IMG_BASE", c.value), 0);
    EXPECT_STREQ(sink.GetImageBase(), c.base);
  }
}

// ---- nrg ------------------------------------------------------------------------

TEST_F(SinkTest, NrgHoldsTracksWithoutPregapsAndItsFooter) {
  std::string path = PathOf("n.nrg");
  std::unique_ptr<CVcdImage> nrg(CreateVcdImageSink(&capture.sink, path.c_str(), kVcdFormatNrg, kVcdSinkImage));
  ASSERT_TRUE(nrg->IsKindOf(RUNTIME_CLASS(CVcdNero)));
  EXPECT_EQ(CountAt(kVcdMsgInfo, "opening TAO NRG image for writing; TAO (S)VCD are _NOT_ 100% compliant!"), 1u);
  ASSERT_EQ(WriteDisc(nrg.get(), nrg.get(), TwoTrackList()), 0);
  nrg.reset();

  for (int lsn = 1000; lsn < 1150; ++lsn) EXPECT_EQ(CountAt(kVcdMsgDebug, "ignoring " + std::to_string(lsn)), 1u);
  EXPECT_EQ(CountAt(kVcdMsgDebug, "ENDLSN reached! (1299 == 1149)"), 1u);

  std::string all = FileContents(path);
  const size_t footer = 1150 * 2336;
  ASSERT_EQ(all.size(), footer + 76);
  // Track 2 runs to the end, not to its entry point.
  EXPECT_EQ(Hex(all.substr(footer)),
            "45544e46 00000028 "
            "00000000 0023a500 00000003 00000000 00000000 "
            "0023a500 000558c0 00000003 000003e8 00000000 "
            "53494e46 00000004 00000002 "
            "454e4421 00000000 "
            "4e45524f 0028fdc0");
  uint8_t sector[kVcdSectorSize];
  for (int lsn : {0, 999, 1150, 1299}) {
    MakeSector(lsn, 1000, sector);
    size_t index = lsn < 1000 ? lsn : lsn - 150;
    EXPECT_EQ(0, memcmp(all.data() + index * 2336, sector + 16, 2336)) << lsn;
  }
  EXPECT_FALSE(HasErrors());
}

TEST_F(SinkTest, NrgReadsBackAtTheDiscsSectorNumbers) {
  std::string path = PathOf("back.nrg");
  {
    CVcdNero nrg(&capture.sink, path.c_str(), kVcdStreamWrite);
    ASSERT_EQ(WriteDisc(&nrg, &nrg, TwoTrackList()), 0);
  }
  capture.messages.clear();
  CVcdNero reader(&capture.sink, path.c_str(), kVcdStreamRead);
  // The second track is read 150 sectors on: where a 150-sector pregap put it.
  EXPECT_EQ(reader.StatSize(), 1300);
  EXPECT_EQ(CountAt(kVcdMsgInfo, "detected v50 (32bit offsets) NRG magic"), 1u);
  EXPECT_EQ(CountAt(kVcdMsgInfo, "SAO type image detected"), 1u);
  EXPECT_EQ(CountAt(kVcdMsgDebug, "SINF: 2 sessions"), 1u);
  EXPECT_EQ(CountAt(kVcdMsgDebug, "nrg end tag detected"), 1u);
  uint8_t sector[kVcdSectorSize], back[kVcdSectorSize2336];
  for (int lsn : {0, 500, 999, 1150, 1200, 1299}) {
    MakeSector(lsn, 1000, sector);
    ASSERT_EQ(reader.ReadSector(back, lsn, 1), 0) << lsn;
    EXPECT_EQ(0, memcmp(back, sector + 16, 2336)) << lsn;
    EXPECT_EQ(CheckStoredSector(back, 2336, lsn), "") << lsn;
  }
  ASSERT_EQ(reader.ReadSector(back, 10, 0), 0);
  MakeSector(10, 1000, sector);
  EXPECT_EQ(0, memcmp(back, sector + 24, 2048));
  // The pregap reads as zeros, with a warning; past the end fails.
  memset(back, 0x77, sizeof back);
  ASSERT_EQ(reader.ReadSector(back, 1050, 1), 0);
  EXPECT_EQ(CountAt(kVcdMsgWarning, "reading into pre gap (lsn 1050)"), 1u);
  EXPECT_TRUE(std::all_of(back, back + 2336, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(reader.ReadSector(back, 1300, 1), -1);
  EXPECT_EQ(CountAt(kVcdMsgWarning, "trying to read beyond image size (1300 >= 1300)"), 1u);
}

// ---- options and creation ------------------------------------------------

TEST_F(SinkTest, OptionsAnswerByNameAndValue) {
  CVcdBinCue bin(&capture.sink, NULL, kVcdStreamWrite);
  CVcdCdrDao dao(&capture.sink, NULL, kVcdStreamWrite);
  CVcdNero nrg(&capture.sink, NULL, kVcdStreamWrite);
  struct Case {
    CVcdImage* sink;
    const char* name;
    const char* value;
    int result;
  };
  const Case cases[] = {
      {&bin, "cue", "a.cue", 0},    {&bin, "BIN", "a.bin", 0},     {&bin, "cue", "", -2},
      {&bin, "bin", NULL, -2},      {&bin, "sector", "2336", 0},   {&bin, "sector", "2352", 0},
      {&bin, "sector", "2048", -2}, {&bin, "sector", NULL, -2},    {&bin, "SECTOR", "2336", -1},
      {&bin, "nrg", "x", -1},       {&bin, NULL, "x", -1},
      {&dao, "TOC", "a.toc", 0},    {&dao, "toc", "", -2},         {&dao, "img_base", "", -2},
      {&dao, "Img_Base", "b", 0},   {&dao, "img", "", -2},         {&dao, "obj", "", -2},
      {&dao, "obj", "nonsense", -2}, {&dao, "sector", "2336", 0},  {&dao, "Sector", "2336", -1},
      {&dao, "cue", "x", -1},
      {&nrg, "NRG", "a.nrg", 0},    {&nrg, "nrg", "", -2},         {&nrg, "sector", "2336", -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.sink->SetOption(c.name, c.value), c.result)
        << (c.name ? c.name : "NULL") << "=" << (c.value ? c.value : "NULL");
  EXPECT_TRUE(bin.Is2336() == false);
  EXPECT_TRUE(dao.Is2336());
}

TEST_F(SinkTest, CreationByImageType) {
  auto create = [this](const std::string& path, VcdImageFormat type, VcdSinkRole role) {
    return std::unique_ptr<CVcdImage>(CreateVcdImageSink(&capture.sink, path.c_str(), type, role));
  };
  auto cue = create(PathOf("c.cue"), kVcdFormatBinCue, kVcdSinkSheet);
  auto other = create(PathOf("o.bin"), kVcdFormatBinCue, kVcdSinkImage);
  auto toc = create(PathOf("t.TOC"), kVcdFormatTocImg, kVcdSinkSheet);
  auto img = create("D:\\IMG\\videocd", kVcdFormatTocImg, kVcdSinkImage);
  EXPECT_TRUE(cue->IsKindOf(RUNTIME_CLASS(CVcdBinCue)));
  EXPECT_TRUE(other->IsKindOf(RUNTIME_CLASS(CVcdBinCue)));
  EXPECT_STREQ(toc->GetFileName(), PathOf("t.TOC").c_str());
  EXPECT_STREQ(img->GetFileName(), "");
  EXPECT_STREQ(static_cast<CVcdCdrDao*>(img.get())->GetImageBase(), "d:/IMG/videocd");
  // A base that ends in ".toc" still names img files.
  auto named = create("sub/a.toc", kVcdFormatTocImg, kVcdSinkImage);
  EXPECT_STREQ(named->GetFileName(), "");
  EXPECT_STREQ(static_cast<CVcdCdrDao*>(named.get())->GetImageBase(), "sub/a.toc");
  EXPECT_TRUE(TextsAt(kVcdMsgInfo).empty());
  EXPECT_FALSE(HasErrors());
  // An empty base names nothing.
  EXPECT_EQ(create("", kVcdFormatTocImg, kVcdSinkImage), nullptr);
  EXPECT_TRUE(HasErrors());
}

// ---- failures ------------------------------------------------------------------

TEST_F(SinkTest, BrokenTrackLayoutsAreRefusedByEverySink) {
  struct Case {
    const char* what;
    std::vector<VcdCueEntry> entries;
  };
  const std::vector<Case> cases = {
      {"empty", {}},
      {"no end", {{0, kVcdCueTrack}, {100, kVcdCueIndex}}},
      {"not at 0", {{5, kVcdCueTrack}, {100, kVcdCueEnd}}},
      {"falling", {{0, kVcdCueTrack}, {200, kVcdCuePregap}, {100, kVcdCueTrack}, {300, kVcdCueEnd}}},
      {"pregap without track", {{0, kVcdCueTrack}, {100, kVcdCuePregap}, {300, kVcdCueEnd}}},
      {"index before track", {{0, kVcdCueIndex}, {0, kVcdCueTrack}, {300, kVcdCueEnd}}},
      {"entry behind end", {{0, kVcdCueTrack}, {300, kVcdCueEnd}, {400, kVcdCueTrack}}},
      {"unknown kind", {{0, kVcdCueTrack}, {10, 9}, {300, kVcdCueEnd}}},
      {"beyond 99:59:74", {{0, kVcdCueTrack}, {450000, kVcdCueEnd}}},
  };
  std::vector<VcdCueEntry> tooManyTracks;
  for (uint32_t t = 0; t < 100; ++t) tooManyTracks.push_back({t * 10, kVcdCueTrack});
  tooManyTracks.push_back({1000, kVcdCueEnd});
  std::vector<Case> all = cases;
  all.push_back({"100 tracks", tooManyTracks});

  for (const Case& c : all) {
    SCOPED_TRACE(c.what);
    CVcdCueList list;
    for (const VcdCueEntry& e : c.entries) list.Append(e.lsn, e.kind);
    CVcdBinCue cue(&capture.sink, PathOf("bad.cue").c_str(), kVcdStreamWrite);
    CVcdCdrDao toc(&capture.sink, PathOf("bad.toc").c_str(), kVcdStreamWrite);
    CVcdNero nrg(&capture.sink, PathOf("bad.nrg").c_str(), kVcdStreamWrite);
    CVcdImage* sinks[] = {&cue, &toc, &nrg};
    for (CVcdImage* sink : sinks) {
      capture.messages.clear();
      EXPECT_EQ(sink->SetCueSheet(sink, &list), -1);
      EXPECT_TRUE(HasErrors());
    }
  }
  // The limit itself is fine: the last sector is 99:59:74.
  CVcdCueList limit;
  limit.Append(0, kVcdCueTrack);
  limit.Append(kVcdImageSectorLimit, kVcdCueEnd);
  EXPECT_EQ(CheckCueList(&capture.sink, &limit), 0);
}

TEST_F(SinkTest, SinksThatCannotStoreFailLoudly) {
  uint8_t sector[kVcdSectorSize];
  MakeSector(0, 1000, sector);
  CVcdCueList list = TwoTrackList();

  struct Case {
    const char* what;
    std::function<int()> run;
  };
  std::string missing = PathOf("no/such/folder/x");
  const Case cases[] = {
      {"bin in a missing folder", [&] {
         CVcdBinCue bin(&capture.sink, (missing + ".bin").c_str(), kVcdStreamWrite);
         return bin.WriteSector(sector, 0);
       }},
      {"bin without a file name", [&] {
         CVcdBinCue bin(&capture.sink, NULL, kVcdStreamWrite);
         return bin.WriteSector(sector, 1);
       }},
      {"cue sheet in a missing folder", [&] {
         CVcdBinCue cue(&capture.sink, (missing + ".cue").c_str(), kVcdStreamWrite);
         CVcdBinCue bin(&capture.sink, PathOf("ok.bin").c_str(), kVcdStreamWrite);
         return cue.SetCueSheet(&bin, &list);
       }},
      {"toc in a missing folder", [&] {
         CVcdCdrDao toc(&capture.sink, (missing + ".toc").c_str(), kVcdStreamWrite);
         CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
         return toc.SetCueSheet(&img, &list);
       }},
      {"img before the layout", [&] {
         CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
         img.SetOption("img_base", PathOf("i").c_str());
         return img.WriteSector(sector, 0);
       }},
      {"img files in a missing folder", [&] {
         CVcdCdrDao toc(&capture.sink, PathOf("m.toc").c_str(), kVcdStreamWrite);
         CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
         img.SetOption("img_base", missing.c_str());
         return WriteDisc(&toc, &img, list);
       }},
      {"img behind the end", [&] {
         CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
         img.SetOption("img_base", PathOf("e").c_str());
         img.SetCueSheet(&img, &list);
         return img.WriteSector(sector, 1300);
       }},
      {"img going back a track", [&] {
         CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
         img.SetOption("img_base", PathOf("g").c_str());
         img.SetCueSheet(&img, &list);
         if (img.WriteSector(sector, 1200) != 0) return 0;
         return img.WriteSector(sector, 5);
       }},
      {"img negative lsn", [&] {
         CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
         img.SetCueSheet(&img, &list);
         return img.WriteSector(sector, -1);
       }},
      {"nrg before the layout", [&] {
         CVcdNero nrg(&capture.sink, PathOf("l.nrg").c_str(), kVcdStreamWrite);
         return nrg.WriteSector(sector, 0);
       }},
      {"nrg in a missing folder", [&] {
         CVcdNero nrg(&capture.sink, (missing + ".nrg").c_str(), kVcdStreamWrite);
         return WriteDisc(&nrg, &nrg, list);
       }},
      {"nrg behind its footer", [&] {
         CVcdNero nrg(&capture.sink, PathOf("f.nrg").c_str(), kVcdStreamWrite);
         if (WriteDisc(&nrg, &nrg, list) != 0) return 0;
         return nrg.WriteSector(sector, 1299);
       }},
      {"a sink without a format", [&] {
         CVcdImage plain(&capture.sink, PathOf("plain").c_str(), kVcdStreamWrite);
         return plain.WriteSector(sector, 0);
       }},
  };
  for (const Case& c : cases) {
    capture.messages.clear();
    EXPECT_NE(c.run(), 0) << c.what;
    EXPECT_TRUE(HasErrors()) << c.what;
  }
}

#ifndef _WIN32
// A sheet names its image from the folder it really lies in: with a folder
// reached through a link on the way, a reader that opens the sheet finds
// the image the name says (links resolved, as a reader's open resolves
// them).
TEST_F(SinkTest, SheetsNameImagesFromTheirRealFolders) {
  const fs::path here = CurrentTestName();  // the test's folder, relative
  fs::create_directories(folder / "real" / "a" / "b");
  fs::create_directory_symlink(fs::path("real") / "a" / "b", folder / "link");
  struct Case {
    const char* sheet;  // in the test's folder
    const char* image;
    bool toc;
  } cases[] = {
      {"link/v.cue", "v.bin", false},
      {"w.cue", "link/w.bin", false},
      {"link/x.cue", "link/x.bin", false},
      {"link/y.cue", "real/y.bin", false},
      {"link/t.toc", "t", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sheet);
    const std::string sheet = (here / c.sheet).string(), image = (here / c.image).string();
    std::string named, file;
    if (!c.toc) {
      CVcdBinCue cue(&capture.sink, sheet.c_str(), kVcdStreamWrite);
      CVcdBinCue bin(&capture.sink, image.c_str(), kVcdStreamWrite);
      ASSERT_EQ(WriteDisc(&cue, &bin, TwoTrackList()), 0);
      std::string text = FileContents(sheet);
      ASSERT_EQ(text.compare(0, 6, "FILE \""), 0) << text;
      named = text.substr(6, text.find('"', 6) - 6);
      file = image;
    } else {
      CVcdCdrDao toc(&capture.sink, sheet.c_str(), kVcdStreamWrite);
      CVcdCdrDao img(&capture.sink, NULL, kVcdStreamWrite);
      ASSERT_EQ(img.SetOption("img_base", image.c_str()), 0);
      ASSERT_EQ(toc.SetOption("img_base", image.c_str()), 0);
      ASSERT_EQ(WriteDisc(&toc, &img, TwoTrackList()), 0);
      std::string text = FileContents(sheet);
      size_t at = text.find("DATAFILE \"");
      ASSERT_NE(at, std::string::npos) << text;
      at += 10;
      named = text.substr(at, text.find('"', at) - at);
      file = image + "_01.img";
    }
    EXPECT_FALSE(fs::path(named).is_absolute()) << named;
    const fs::path found = fs::path(sheet).parent_path() / named;
    std::error_code error;
    EXPECT_TRUE(fs::equivalent(found, file, error)) << named << " names nothing or another file";
  }
  EXPECT_FALSE(HasErrors());
}

// A full disc shows only when the buffered bytes are flushed: the last
// sector of the image must make that failure the write's failure.
TEST_F(SinkTest, FullDiscFailsTheLastSectorNotSilently) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  CVcdCueList list;
  list.Append(0, kVcdCueTrack);
  list.Append(10, kVcdCueEnd);
  CVcdBinCue cue(&capture.sink, PathOf("full.cue").c_str(), kVcdStreamWrite);
  CVcdBinCue bin(&capture.sink, "/dev/full", kVcdStreamWrite);
  EXPECT_NE(WriteDisc(&cue, &bin, list), 0);
  EXPECT_TRUE(HasErrors());

  capture.messages.clear();
  CVcdNero nrg(&capture.sink, "/dev/full", kVcdStreamWrite);
  EXPECT_NE(WriteDisc(&nrg, &nrg, list), 0);
  EXPECT_TRUE(HasErrors());
}

// A disc larger than the write-behind's buffers on a disc that fills up
// after some of them: the thread's failure fails a later sector or Finish,
// and is told once.
TEST_F(SinkTest, WriteBehindFailureReachesFinishAndIsToldOnce) {
  const int kSectors = 1500;  // several of the thread's buffers
  CVcdCueList list;
  list.Append(0, kVcdCueTrack);
  list.Append(kSectors, kVcdCueEnd);
  struct Case {
    const char* what;
    std::function<CVcdImage*(const std::string&)> make;
  } cases[] = {
      {"bin", [&](const std::string& path) { return new CVcdBinCue(&capture.sink, path.c_str(), kVcdStreamWrite); }},
      {"nrg", [&](const std::string& path) { return new CVcdNero(&capture.sink, path.c_str(), kVcdStreamWrite); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    capture.messages.clear();
    CVcdBinCue cue(&capture.sink, PathOf("full.cue").c_str(), kVcdStreamWrite);
    std::unique_ptr<CVcdImage> image(c.make(PathOf(std::string("full.") + c.what)));
    CVcdImage* sheet = image->IsKindOf(RUNTIME_CLASS(CVcdNero)) ? image.get() : &cue;
    ASSERT_EQ(sheet->SetCueSheet(image.get(), &list), 0);
    FileSizeLimit limit(kSectors / 2 * kVcdSectorSize);
    uint8_t sector[kVcdSectorSize];
    int written = 0;
    for (; written < kSectors; ++written) {
      MakeSector(written, 1000, sector);
      if (image->WriteSector(sector, written) != 0) break;
    }
    EXPECT_GT(written, kSectors / 2);
    EXPECT_NE(image->Finish(), 0);
    EXPECT_EQ(capture.Count(kVcdMsgError, "fwrite (): File too large"), 1) << capture.All();
  }
}
#endif

}  // namespace
