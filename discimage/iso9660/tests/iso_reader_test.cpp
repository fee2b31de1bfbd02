// A small ISO 9660 image made with the builder's structures, read back by
// the system's own readers (isoinfo from genisoimage, iso-info from libcdio):
// the volume descriptor, the directory listing with sizes and extents, the
// path table and the files' bytes must come out as written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "discimage/iso9660/iso9660.h"
#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_support.h"
#include "discimage/iso9660/vcd_directory.h"
#include "discimage/iso9660/vcd_sector_bitmap.h"

namespace {

// Standard output of a reader; what it says on standard error is dropped.
std::string RunReader(const std::string& command) {
  return test_support::RunCommand(command + " 2>/dev/null");
}

// The first line of text that starts with prefix, without the prefix.
std::string Field(const std::string& text, const std::string& prefix) {
  size_t at = text.find(prefix);
  if (at == std::string::npos) return "<missing>";
  at += prefix.size();
  size_t end = text.find('\n', at);
  std::string value = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.pop_back();
  return value;
}

// Whether a listing has a line naming this entry with this size and extent
// (isoinfo -l: "... <size> <date> [ <extent> <flags>]  <name>").
bool Lists(const std::string& listing, const std::string& name, unsigned size, unsigned extent) {
  size_t start = 0;
  while (start < listing.size()) {
    size_t end = listing.find('\n', start);
    if (end == std::string::npos) end = listing.size();
    std::string line = listing.substr(start, end - start);
    start = end + 1;
    size_t bracket = line.find('[');
    size_t close = line.find(']');
    if (bracket == std::string::npos || close == std::string::npos) continue;
    std::string after = line.substr(close + 1);
    size_t first = after.find_first_not_of(' ');
    size_t last = after.find_last_not_of(' ');
    if (first == std::string::npos || after.substr(first, last - first + 1) != name) continue;
    unsigned listedExtent = 0;
    if (sscanf(line.c_str() + bracket + 1, "%u", &listedExtent) != 1) continue;
    // The size is the last number before the date's month.
    std::vector<std::string> words;
    std::istringstream before(line.substr(0, bracket));
    for (std::string word; before >> word;) words.push_back(word);
    if (words.size() < 5) continue;
    unsigned listedSize = static_cast<unsigned>(strtoul(words[words.size() - 4].c_str(), NULL, 10));
    if (listedExtent == extent && listedSize == size) return true;
  }
  return false;
}

class IsoReader : public ::testing::Test {
protected:
  void SetUp() override {
    if (!test_support::HaveTool("isoinfo")) GTEST_SKIP() << "isoinfo is not installed";
    sink.SetLevel(kVcdLevelDebug);
    window.Attach(sink);
    BuildImage();
  }
  void TearDown() override { remove(kImage); }

  // Sectors 0-15 empty, the descriptors at 16 and 17, the directories from
  // 18, the two path tables behind them, then the files; all allocated
  // through the sector bitmap as the layout does.
  void BuildImage() {
    CVcdSectorBitmap bitmap(&sink);
    ASSERT_EQ(bitmap.AllocateSectors(0, 16), 0);
    ASSERT_EQ(bitmap.AllocateSectors(16, 1), 16);
    ASSERT_EQ(bitmap.AllocateSectors(17, 1), 17);
    ASSERT_EQ(bitmap.AllocateSectors(18, 57), 18);  // the directory area, sized later
    readme = "A file in the root folder.\n";
    hello = std::string(3000, 'h') + "\n";  // two sectors
    readmeSector = bitmap.AllocateSectors(-1, 1);
    helloSector = bitmap.AllocateSectors(-1, 2);

    CVcdDirectory tree(&sink);
    ASSERT_EQ(tree.MakeDirectory("DATA"), 0);
    ASSERT_EQ(tree.MakeDirectory("DATA/EMPTY"), 0);
    ASSERT_EQ(tree.MakeDirectory("MPEGAV"), 0);
    ASSERT_EQ(tree.MakeFile("README.TXT", readmeSector, static_cast<uint32_t>(readme.size()), 0, 0,
                            1000000000),
              0);
    ASSERT_EQ(tree.MakeFile("DATA/HELLO.TXT", helloSector, static_cast<uint32_t>(hello.size()), 0,
                            0, 1000000000),
              0);
    dirSectors = tree.DirectorySectors();
    ASSERT_EQ(bitmap.FreeSectors(18, 57), 0);
    ASSERT_EQ(bitmap.AllocateSectors(18, dirSectors), 18);
    ptl = bitmap.AllocateSectors(18 + dirSectors, 1);
    ptm = bitmap.AllocateSectors(19 + dirSectors, 1);
    ASSERT_EQ(ptl, 18 + dirSectors);
    ASSERT_EQ(ptm, 19 + dirSectors);
    total = bitmap.HighestSector() + 1;

    image.assign(static_cast<size_t>(total) * kIsoSectorSize, 0);
    uint8_t* dirs = &image[18 * kIsoSectorSize];
    ASSERT_EQ(tree.WriteDirectories(dirs, static_cast<size_t>(dirSectors) * kIsoSectorSize, 18), 0);
    ASSERT_EQ(tree.WritePathTables(&image[ptl * kIsoSectorSize], &image[ptm * kIsoSectorSize]), 0);
    pathTableSize = static_cast<uint32_t>(PathTableSize(&image[ptl * kIsoSectorSize], kIsoSectorSize));
    ASSERT_EQ(WritePrimaryVolumeDescriptor(&sink, &image[16 * kIsoSectorSize], "TESTVOL",
                                           "QUORBEL TEST", "READER CHECK", total, dirs, ptl, ptm,
                                           pathTableSize, 1000000000),
              0);
    ASSERT_EQ(WriteTerminator(&sink, &image[17 * kIsoSectorSize]), 0);
    memcpy(&image[readmeSector * kIsoSectorSize], readme.data(), readme.size());
    memcpy(&image[helloSector * kIsoSectorSize], hello.data(), hello.size());
    dataExtent = tree.FindNode("DATA")->GetExtent();
    emptyExtent = tree.FindNode("DATA/EMPTY")->GetExtent();
    mpegavExtent = tree.FindNode("MPEGAV")->GetExtent();

    ASSERT_TRUE(test_support::WriteBytes(kImage, image));
    EXPECT_TRUE(window.Texts().empty());
  }

  static constexpr const char* kImage = "reader_check.iso";
  CVcdMessageSink sink;
  CaptureWindow window;
  std::vector<uint8_t> image;
  std::string readme, hello;
  int readmeSector = 0, helloSector = 0, dirSectors = 0, ptl = 0, ptm = 0, total = 0;
  uint32_t pathTableSize = 0, dataExtent = 0, emptyExtent = 0, mpegavExtent = 0;
};

TEST_F(IsoReader, IsoinfoReadsTheVolumeDescriptor) {
  std::string d = RunReader(std::string("isoinfo -d -i ") + kImage);
  EXPECT_NE(d.find("CD-ROM is in ISO 9660 format"), std::string::npos) << d;
  EXPECT_EQ(Field(d, "System id: "), "CD-RTOS CD-BRIDGE") << d;
  EXPECT_EQ(Field(d, "Volume id: "), "TESTVOL") << d;
  EXPECT_EQ(Field(d, "Volume size is: "), std::to_string(total)) << d;
  EXPECT_EQ(Field(d, "Publisher id: "), "QUORBEL TEST") << d;
  EXPECT_EQ(Field(d, "Data preparer id: "), "ZRDISCIMAGE 6.0.7.10(WIN32)") << d;
  EXPECT_EQ(Field(d, "Application id: "), "READER CHECK") << d;
  EXPECT_EQ(Field(d, "Logical block size is: "), "2048") << d;
}

TEST_F(IsoReader, IsoinfoListsNamesSizesAndExtents) {
  std::string l = RunReader(std::string("isoinfo -l -i ") + kImage);
  ASSERT_NE(l.find("Directory listing of /"), std::string::npos) << l;
  EXPECT_TRUE(Lists(l, ".", 2048, 18)) << l;
  EXPECT_TRUE(Lists(l, "DATA", 2048, dataExtent)) << l;
  EXPECT_TRUE(Lists(l, "MPEGAV", 2048, mpegavExtent)) << l;
  EXPECT_TRUE(Lists(l, "README.TXT;1", static_cast<unsigned>(readme.size()), readmeSector)) << l;
  EXPECT_NE(l.find("Directory listing of /DATA/"), std::string::npos) << l;
  EXPECT_TRUE(Lists(l, "HELLO.TXT;1", static_cast<unsigned>(hello.size()), helloSector)) << l;
  EXPECT_TRUE(Lists(l, "EMPTY", 2048, emptyExtent)) << l;
  EXPECT_NE(l.find("Directory listing of /DATA/EMPTY/"), std::string::npos) << l;
  EXPECT_NE(l.find("Directory listing of /MPEGAV/"), std::string::npos) << l;
}

TEST_F(IsoReader, IsoinfoExtractsTheFiles) {
  EXPECT_EQ(RunReader(std::string("isoinfo -i ") + kImage + " -x '/README.TXT;1'"), readme);
  EXPECT_EQ(RunReader(std::string("isoinfo -i ") + kImage + " -x '/DATA/HELLO.TXT;1'"), hello);
}

TEST_F(IsoReader, IsoinfoFollowsThePathTable) {
  // -p prints the path table as the descriptor points at it.
  std::string p = RunReader(std::string("isoinfo -p -i ") + kImage);
  EXPECT_NE(p.find("Path table starts at block " + std::to_string(ptl) + ", size " +
                   std::to_string(pathTableSize)),
            std::string::npos)
      << p;
  // Number, parent, extent (hex), name: root, then DATA and MPEGAV, then
  // DATA/EMPTY under DATA.
  char lines[256];
  snprintf(lines, sizeof lines, "   1:    1 %x \n   2:    1 %x DATA\n   3:    1 %x MPEGAV\n   4:    2 %x EMPTY\n",
           18u, dataExtent, mpegavExtent, emptyExtent);
  EXPECT_NE(p.find(lines), std::string::npos) << lines << "\n" << p;
  EXPECT_EQ(pathTableSize, 10u + 12u + 14u + 14u);
}

TEST_F(IsoReader, LibcdioReadsTheSameTree) {
  if (!test_support::HaveTool("iso-info")) GTEST_SKIP() << "iso-info is not installed";
  std::string info = RunReader(std::string("iso-info --no-header -i ") + kImage);
  EXPECT_EQ(Field(info, "Volume      : "), "TESTVOL") << info;
  EXPECT_EQ(Field(info, "System      : "), "CD-RTOS CD-BRIDGE") << info;
  // iso-info shows names in lower case without the version, and the XA
  // attributes it found behind each record.
  std::string l = RunReader(std::string("iso-info --no-header -l -i ") + kImage);
  struct Entry {
    std::string folder, name;
    unsigned extent, size;
    const char* mode;  // d for directories, - for files
  } entries[] = {
      {"/:", "data", dataExtent, 2048, "d---1xrxrxr"},
      {"/:", "mpegav", mpegavExtent, 2048, "d---1xrxrxr"},
      {"/:", "readme.txt", static_cast<unsigned>(readmeSector), static_cast<unsigned>(readme.size()), "----1xrxrxr"},
      {"/data/:", "empty", emptyExtent, 2048, "d---1xrxrxr"},
      {"/data/:", "hello.txt", static_cast<unsigned>(helloSector), static_cast<unsigned>(hello.size()), "----1xrxrxr"},
  };
  for (const Entry& e : entries) {
    size_t folder = l.find("\n" + e.folder + "\n");
    if (folder == std::string::npos) folder = l.find(e.folder + "\n");
    ASSERT_NE(folder, std::string::npos) << e.folder << "\n" << l;
    size_t folderEnd = l.find("\n\n", folder + 1);
    std::string block = l.substr(folder, folderEnd == std::string::npos ? std::string::npos : folderEnd - folder);
    char expected[160];
    snprintf(expected, sizeof expected, "%s 0 0 [fn 00] [LSN %6u] %9u", e.mode, e.extent, e.size);
    size_t line = block.find(expected);
    ASSERT_NE(line, std::string::npos) << expected << "\n" << block;
    size_t end = block.find('\n', line);
    std::string text = block.substr(line, end == std::string::npos ? std::string::npos : end - line);
    EXPECT_EQ(text.substr(text.size() - e.name.size() - 2), "  " + e.name) << text;
  }
  EXPECT_NE(l.find("/data/empty/:"), std::string::npos) << l;
}

}  // namespace
