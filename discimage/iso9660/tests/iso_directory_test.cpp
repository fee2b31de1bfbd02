// The directory tree: making folders and files, name order, directory sizes
// and extents, the written directory records and path tables, the limits it
// refuses, and the user-file record.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "discimage/iso9660/iso9660.h"
#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_support.h"
#include "discimage/iso9660/vcd_custom_file.h"
#include "discimage/iso9660/vcd_directory.h"
#include "discimage/base/vcd_stream.h"

namespace {

typedef std::vector<uint8_t> Bytes;

class DirectoryTree : public ::testing::Test {
protected:
  DirectoryTree() : tree(&capture.sink) {}
  std::string All() const { return capture.All(); }
  std::vector<CapturedMessage>& Messages() { return capture.messages; }

  // Names of a directory's children in list order.
  std::vector<std::string> ChildNames(const char* path) {
    std::vector<std::string> names;
    CVcdDirNode* node = tree.FindNode(path);
    if (node == NULL || node->GetChildren() == NULL) return names;
    CVcdTree* children = node->GetChildren();
    for (POSITION pos = children->GetHeadPosition(); pos != NULL;)
      names.push_back(static_cast<CVcdDirNode*>(children->GetNext(pos))->GetName());
    return names;
  }

  // The records of one written directory extent: (identifier, extent, size, flags).
  struct Record {
    std::string name;
    uint32_t extent, size;
    int flags;
    size_t offset;
  };
  static std::vector<Record> ReadRecords(const uint8_t* extent, size_t size) {
    std::vector<Record> records;
    for (size_t at = 0; at < size;) {
      if (extent[at] == 0) {
        ++at;
        continue;
      }
      Record r;
      int n = extent[at + 32];
      r.name.assign(reinterpret_cast<const char*>(extent + at + 33), n);
      if (n == 1 && r.name[0] == 0) r.name = ".";
      if (n == 1 && r.name[0] == 1) r.name = "..";
      r.extent = GetLittleEndian32(extent + at + 2);
      r.size = GetLittleEndian32(extent + at + 10);
      r.flags = extent[at + 25];
      r.offset = at;
      records.push_back(r);
      at += extent[at];
    }
    return records;
  }

  CapturingSink capture;
  CVcdDirectory tree;
};

TEST_F(DirectoryTree, RootIsAnEmptyNamedDirectory) {
  CVcdDirNode* root = tree.Root();
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(root->IsDirectory());
  EXPECT_EQ(root->GetName(), "");
  EXPECT_EQ(root->GetXaAttributes(), kXaAttributesDirectory);
  EXPECT_EQ(root->GetXaFileNumber(), 0);
  EXPECT_EQ(root->ParentDir(), nullptr);
  EXPECT_EQ(root->Level(), 1);
  EXPECT_EQ(tree.Root(), root);
  EXPECT_EQ(tree.FindNode(""), root);
}

TEST_F(DirectoryTree, ChildrenStandInByteOrder) {
  const char* names[] = {"b", "B", "a", "A1", "_x", "0", "Ab"};
  for (const char* name : names) ASSERT_EQ(tree.MakeFile(name, 0, 0, 0, 0, 0), 0);
  // Digits, then upper case, then '_', then lower case.
  EXPECT_EQ(ChildNames(""), (std::vector<std::string>{"0", "A1", "Ab", "B", "_x", "a", "b"}));
}

TEST_F(DirectoryTree, MakeDirectory) {
  EXPECT_EQ(tree.MakeDirectory("EXT"), 0);
  EXPECT_EQ(tree.MakeDirectory("EXT/SUB"), 0);
  EXPECT_EQ(tree.MakeDirectory("EXT"), 0);  // exists: silently fine
  EXPECT_TRUE(Messages().empty()) << All();
  ASSERT_NE(tree.FindNode("EXT/SUB"), nullptr);
  EXPECT_TRUE(tree.FindNode("EXT/SUB")->IsDirectory());
  EXPECT_EQ(tree.FindNode("EXT/SUB")->GetXaAttributes(), kXaAttributesDirectory);

  struct Case {
    const char* path;
    const char* error;
  } cases[] = {
      {"A/B/C", "mkdir: parent dir 'A' (level=0) for 'A/B/C' missing!"},
      {"EXT/X/C", "mkdir: parent dir 'X' (level=1) for 'EXT/X/C' missing!"},
      {"EXT/F.DAT/C", "mkdir: parent dir 'F.DAT' (level=1) for 'EXT/F.DAT/C' missing!"},
      {"EXT/F.DAT", "mkdir: 'EXT/F.DAT' already exists"},
      {"", "mkdir: '' names no directory"},
  };
  ASSERT_EQ(tree.MakeFile("EXT/F.DAT", 0, 0, 0, 0, 0), 0);
  for (const Case& c : cases) {
    Messages().clear();
    EXPECT_EQ(tree.MakeDirectory(c.path), -1) << c.path;
    ASSERT_EQ(Messages().size(), 1u) << c.path;
    EXPECT_EQ(Messages()[0].wParam, static_cast<uintptr_t>(kVcdMsgError));
    EXPECT_EQ(Messages()[0].text, std::string(c.error) + "\n");
  }
}

TEST_F(DirectoryTree, MakeFile) {
  ASSERT_EQ(tree.MakeDirectory("EXT"), 0);
  // A missing middle directory is made, with an information message.
  ASSERT_EQ(tree.MakeFile("EXT/NEW/ITEM.DAT", 300, 4096, 1, 2, 1000000000), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].wParam, static_cast<uintptr_t>(kVcdMsgInfo));
  EXPECT_EQ(Messages()[0].text, "autocreating directory 'EXT/NEW' for file 'EXT/NEW/ITEM.DAT'\n");
  CVcdDirNode* file = tree.FindNode("EXT/NEW/ITEM.DAT");
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->IsDirectory());
  EXPECT_EQ(file->GetVersion(), 1);
  EXPECT_EQ(file->RecordName(), "ITEM.DAT;1");
  EXPECT_EQ(file->GetXaAttributes(), kXaAttributesForm2);
  EXPECT_EQ(file->GetXaFileNumber(), 2);
  EXPECT_EQ(file->GetExtent(), 300u);
  EXPECT_EQ(file->GetSize(), 4096u);
  EXPECT_EQ(file->GetTime(), 1000000000u);
  EXPECT_TRUE(tree.FindNode("EXT/NEW")->IsDirectory());

  ASSERT_EQ(tree.MakeFile("INFO.VCD", 150, 2048, 0, 0, 0), 0);
  EXPECT_EQ(tree.FindNode("INFO.VCD")->GetXaAttributes(), kXaAttributesForm1);
  uint8_t su[kXaSystemUseLength];
  tree.FindNode("EXT/NEW/ITEM.DAT")->GetXaSystemUse(su);
  EXPECT_EQ(Bytes(su, su + 14), (Bytes{0, 0, 0, 0, 0x15, 0x55, 'X', 'A', 2, 0, 0, 0, 0, 0}));
  tree.FindNode("EXT")->GetXaSystemUse(su);
  EXPECT_EQ(Bytes(su, su + 14), (Bytes{0, 0, 0, 0, 0x8D, 0x55, 'X', 'A', 0, 0, 0, 0, 0, 0}));

  struct Case {
    const char* path;
    const char* error;
  } cases[] = {
      {"INFO.VCD/X.DAT", "mkfile: 'INFO.VCD' not a directory"},
      {"EXT/NEW/ITEM.DAT/Y", "mkfile: 'EXT/NEW/ITEM.DAT' not a directory"},
      {"EXT/NEW/ITEM.DAT", "mkfile: 'EXT/NEW/ITEM.DAT' already exists"},
      {"EXT/NEW", "mkfile: 'EXT/NEW' already exists"},
      {"", "mkfile: '' names no file"},
  };
  for (const Case& c : cases) {
    Messages().clear();
    EXPECT_EQ(tree.MakeFile(c.path, 0, 0, 0, 0, 0), -1) << c.path;
    ASSERT_EQ(Messages().size(), 1u) << c.path << ": " << All();
    EXPECT_EQ(Messages()[0].text, std::string(c.error) + "\n");
  }
}

TEST_F(DirectoryTree, EightLevelsAndNameLengthAreTheLimits) {
  // The root is level 1: seven folders below it make level 8.
  ASSERT_EQ(tree.MakeDirectory("D2"), 0);
  std::string path = "D2";
  for (int level = 3; level <= 8; ++level) {
    path += "/D" + std::to_string(level);
    ASSERT_EQ(tree.MakeDirectory(path.c_str()), 0) << path;
  }
  EXPECT_EQ(tree.FindNode(path.c_str())->Level(), 8);
  EXPECT_EQ(tree.MakeFile((path + "/FILE.DAT").c_str(), 0, 0, 0, 0, 0), 0);
  EXPECT_TRUE(Messages().empty()) << All();

  EXPECT_EQ(tree.MakeDirectory((path + "/D9").c_str()), -1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, "mkdir: '" + path + "/D9' lies deeper than the 8 directory levels of ISO 9660\n");
  // A file that would need a ninth level is refused before any folder is made.
  Messages().clear();
  EXPECT_EQ(tree.MakeFile((path + "/D9/FILE.DAT").c_str(), 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(tree.FindNode((path + "/D9").c_str()), nullptr);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].text.find("lies deeper than the 8 directory levels"), std::string::npos);

  Messages().clear();
  const std::string name31(31, 'n'), name32(32, 'n');
  EXPECT_EQ(tree.MakeDirectory(name31.c_str()), 0);
  EXPECT_EQ(tree.MakeFile(("D2/" + name31).c_str(), 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(tree.MakeDirectory(name32.c_str()), -1);
  EXPECT_EQ(tree.MakeFile(("D2/" + name32).c_str(), 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(tree.MakeFile((name32 + "/X").c_str(), 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(tree.FindNode(name32.c_str()), nullptr);
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[0].text, "mkdir: '" + name32 + "' has a name longer than 31 characters\n");
}

TEST_F(DirectoryTree, DirectorySizesCountRecordsAndSectorBreaks) {
  // 40 files of 12-character names: 62-byte records with ";1". 96 + 31 x 62
  // = 2018; the 32nd starts the second sector.
  ASSERT_EQ(tree.MakeDirectory("BIG"), 0);
  char name[64];
  for (int i = 0; i < 40; ++i) {
    snprintf(name, sizeof name, "BIG/FILE%04d.DAT", i);
    ASSERT_EQ(tree.MakeFile(name, 1000 + i, 100, 0, 0, 0), 0);
  }
  ASSERT_EQ(tree.MakeDirectory("SMALL"), 0);
  ASSERT_EQ(tree.MakeFile("SMALL/A", 1, 1, 0, 0, 0), 0);
  tree.ComputeDirectorySizes();
  EXPECT_EQ(tree.FindNode("BIG")->GetSize(), 4096u);
  EXPECT_EQ(tree.FindNode("SMALL")->GetSize(), 2048u);
  EXPECT_EQ(tree.Root()->GetSize(), 2048u);
  EXPECT_EQ(tree.DirectorySectors(), 4);

  std::vector<uint8_t> area(4 * kIsoSectorSize, 0xEE);
  ASSERT_EQ(tree.WriteDirectories(area.data(), area.size(), 18), 0) << All();
  CVcdDirNode* big = tree.FindNode("BIG");
  ASSERT_EQ(big->GetExtent(), 19u);
  std::vector<Record> records = ReadRecords(&area[(19 - 18) * kIsoSectorSize], 4096);
  ASSERT_EQ(records.size(), 42u);
  EXPECT_EQ(records[2].name, "FILE0000.DAT;1");
  EXPECT_EQ(records[2].offset, 96u);
  EXPECT_EQ(records[32].name, "FILE0030.DAT;1");
  EXPECT_EQ(records[32].offset, 96u + 30 * 62);
  EXPECT_EQ(records[33].name, "FILE0031.DAT;1");
  EXPECT_EQ(records[33].offset, 2048u);
  EXPECT_EQ(records[41].extent, 1039u);
  for (size_t i = (19 - 18) * kIsoSectorSize + 2018; i < (19 - 18) * kIsoSectorSize + 2048; ++i)
    ASSERT_EQ(area[i], 0) << i;
}

TEST_F(DirectoryTree, ExtentsFollowDepthFirstAndRecordsPointAtThem) {
  // root{ A{ A1, A2{ X }, f }, B, g }, with A1 large enough for two sectors.
  ASSERT_EQ(tree.MakeDirectory("B"), 0);
  ASSERT_EQ(tree.MakeDirectory("A"), 0);
  ASSERT_EQ(tree.MakeDirectory("A/A2"), 0);
  ASSERT_EQ(tree.MakeDirectory("A/A2/X"), 0);
  ASSERT_EQ(tree.MakeDirectory("A/A1"), 0);
  char name[64];
  for (int i = 0; i < 40; ++i) {
    snprintf(name, sizeof name, "A/A1/F%02d", i);
    ASSERT_EQ(tree.MakeFile(name, 500, 1, 0, 0, 0), 0);
  }
  ASSERT_EQ(tree.MakeFile("A/f", 600, 3000, 0, 1, 0), 0);
  ASSERT_EQ(tree.MakeFile("g", 601, 5, 1, 0, 0), 0);

  EXPECT_EQ(tree.DirectorySectors(), 7);
  std::vector<uint8_t> area(7 * kIsoSectorSize, 0);
  ASSERT_EQ(tree.WriteDirectories(area.data(), area.size(), 18), 0) << All();
  // Pre-order: root, A, A1 (two sectors), A2, X, B.
  struct Expect {
    const char* path;
    uint32_t extent, size;
  } expects[] = {{"", 18, 2048},      {"A", 19, 2048},     {"A/A1", 20, 4096},
                 {"A/A2", 22, 2048},  {"A/A2/X", 23, 2048}, {"B", 24, 2048}};
  for (const Expect& e : expects) {
    CVcdDirNode* node = tree.FindNode(e.path);
    ASSERT_NE(node, nullptr) << e.path;
    EXPECT_EQ(node->GetExtent(), e.extent) << e.path;
    EXPECT_EQ(node->GetSize(), e.size) << e.path;
  }

  std::vector<Record> root = ReadRecords(&area[0], 2048);
  ASSERT_EQ(root.size(), 5u);
  EXPECT_EQ(root[0].name, ".");
  EXPECT_EQ(root[0].extent, 18u);
  EXPECT_EQ(root[1].name, "..");
  EXPECT_EQ(root[1].extent, 18u);  // the root is its own parent
  EXPECT_EQ(root[2].name, "A");
  EXPECT_EQ(root[2].extent, 19u);
  EXPECT_EQ(root[2].flags, kIsoFlagDirectory);
  EXPECT_EQ(root[3].name, "B");
  EXPECT_EQ(root[3].extent, 24u);
  EXPECT_EQ(root[4].name, "g;1");
  EXPECT_EQ(root[4].extent, 601u);
  EXPECT_EQ(root[4].size, 5u);
  EXPECT_EQ(root[4].flags, 0);

  std::vector<Record> a = ReadRecords(&area[1 * kIsoSectorSize], 2048);
  ASSERT_EQ(a.size(), 5u);
  EXPECT_EQ(a[0].extent, 19u);
  EXPECT_EQ(a[1].extent, 18u);
  EXPECT_EQ(a[1].size, 2048u);
  EXPECT_EQ(a[2].name, "A1");
  EXPECT_EQ(a[2].extent, 20u);
  EXPECT_EQ(a[2].size, 4096u);
  EXPECT_EQ(a[3].name, "A2");
  EXPECT_EQ(a[4].name, "f;1");
  // The XA bytes behind the name: attributes, "XA", file number.
  const uint8_t* f = &area[1 * kIsoSectorSize + a[4].offset];
  EXPECT_EQ(f[0], 33 + 3 + 14);
  EXPECT_EQ(Bytes(f + 36, f + 50), (Bytes{0, 0, 0, 0, 0x0D, 0x55, 'X', 'A', 1, 0, 0, 0, 0, 0}));

  std::vector<Record> x = ReadRecords(&area[5 * kIsoSectorSize], 2048);
  ASSERT_EQ(x.size(), 2u);
  EXPECT_EQ(x[0].extent, 23u);
  EXPECT_EQ(x[1].extent, 22u);

  // A buffer short of one sector is refused before anything is written.
  Messages().clear();
  std::vector<uint8_t> small(6 * kIsoSectorSize, 0);
  EXPECT_EQ(tree.WriteDirectories(small.data(), small.size(), 18), -1);
  EXPECT_EQ(small, std::vector<uint8_t>(6 * kIsoSectorSize, 0));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].text, "directory area of 12288 bytes cannot hold the 7 directory sectors\n");
}

TEST_F(DirectoryTree, PathTablesGoLevelByLevelInNameOrder) {
  // Made in an order unlike the wanted one.
  const char* dirs[] = {"Z", "B", "B/Q", "A", "A/M", "A/C", "A/C/D", "B/P"};
  for (const char* d : dirs) ASSERT_EQ(tree.MakeDirectory(d), 0) << d;
  ASSERT_EQ(tree.MakeFile("A/C/file", 1, 1, 0, 0, 0), 0);
  std::vector<uint8_t> area(static_cast<size_t>(tree.DirectorySectors()) * kIsoSectorSize);
  ASSERT_EQ(tree.WriteDirectories(area.data(), area.size(), 18), 0);
  // Extents by pre-order: root 18, A 19, A/C 20, A/C/D 21, A/M 22, B 23,
  // B/P 24, B/Q 25, Z 26.
  uint8_t l[kIsoSectorSize], m[kIsoSectorSize];
  memset(l, 0xEE, sizeof l);
  ASSERT_EQ(tree.WritePathTables(l, m), 0) << All();
  // Level 1: root; level 2: A B Z; level 3: A/C A/M (parent 2), B/P B/Q
  // (parent 3); level 4: A/C/D (parent 5).
  const Bytes goldenL = {
      1, 0, 18, 0, 0, 0, 1, 0, 0, 0,         // 1 root
      1, 0, 19, 0, 0, 0, 1, 0, 'A', 0,       // 2 A
      1, 0, 23, 0, 0, 0, 1, 0, 'B', 0,       // 3 B
      1, 0, 26, 0, 0, 0, 1, 0, 'Z', 0,       // 4 Z
      1, 0, 20, 0, 0, 0, 2, 0, 'C', 0,       // 5 A/C
      1, 0, 22, 0, 0, 0, 2, 0, 'M', 0,       // 6 A/M
      1, 0, 24, 0, 0, 0, 3, 0, 'P', 0,       // 7 B/P
      1, 0, 25, 0, 0, 0, 3, 0, 'Q', 0,       // 8 B/Q
      1, 0, 21, 0, 0, 0, 5, 0, 'D', 0,       // 9 A/C/D
  };
  const Bytes goldenM = {
      1, 0, 0, 0, 0, 18, 0, 1, 0, 0,    1, 0, 0, 0, 0, 19, 0, 1, 'A', 0,
      1, 0, 0, 0, 0, 23, 0, 1, 'B', 0,  1, 0, 0, 0, 0, 26, 0, 1, 'Z', 0,
      1, 0, 0, 0, 0, 20, 0, 2, 'C', 0,  1, 0, 0, 0, 0, 22, 0, 2, 'M', 0,
      1, 0, 0, 0, 0, 24, 0, 3, 'P', 0,  1, 0, 0, 0, 0, 25, 0, 3, 'Q', 0,
      1, 0, 0, 0, 0, 21, 0, 5, 'D', 0,
  };
  EXPECT_EQ(Bytes(l, l + goldenL.size()), goldenL);
  EXPECT_EQ(Bytes(m, m + goldenM.size()), goldenM);
  EXPECT_EQ(Bytes(l + goldenL.size(), l + sizeof l), Bytes(sizeof l - goldenL.size(), 0));
  EXPECT_EQ(PathTableSize(l, sizeof l), 90u);
  EXPECT_EQ(tree.FindNode("A/C/D")->GetPathTableNumber(), 9);
  EXPECT_EQ(tree.Root()->GetPathTableNumber(), 1);
}

TEST_F(DirectoryTree, PathTableBeyondOneSectorIsRefused) {
  // Root 10 bytes + 51 directories of 40 bytes = 2050 bytes.
  char name[64];
  for (int i = 0; i < 51; ++i) {
    snprintf(name, sizeof name, "directory_with_a_long_name_%04d", i);
    ASSERT_EQ(strlen(name), 31u);
    ASSERT_EQ(tree.MakeDirectory(name), 0);
  }
  std::vector<uint8_t> area(static_cast<size_t>(tree.DirectorySectors()) * kIsoSectorSize);
  ASSERT_EQ(tree.WriteDirectories(area.data(), area.size(), 18), 0);
  uint8_t l[kIsoSectorSize], m[kIsoSectorSize];
  EXPECT_EQ(tree.WritePathTables(l, m), -1);
  EXPECT_NE(All().find("path table of 2048 bytes is full, no room for directory "
                       "'directory_with_a_long_name_0050'"),
            std::string::npos)
      << All();
  // One fewer fits.
  Messages().clear();
  CVcdDirNode* last = tree.FindNode("directory_with_a_long_name_0050");
  last->Detach(1);
  delete last;
  EXPECT_EQ(tree.FindNode("directory_with_a_long_name_0050"), nullptr);
  ASSERT_EQ(tree.WriteDirectories(area.data(), area.size(), 18), 0);
  EXPECT_EQ(tree.WritePathTables(l, m), 0) << All();
  EXPECT_EQ(PathTableSize(l, sizeof l), 10u + 50u * 40u);
}

TEST_F(DirectoryTree, DetachedAndDeletedNodesLeaveTheIndex) {
  ASSERT_EQ(tree.MakeFile("D/A", 1, 1, 0, 0, 0), 0);
  ASSERT_EQ(tree.MakeFile("D/B", 2, 1, 0, 0, 0), 0);
  ASSERT_EQ(tree.MakeFile("D/C", 3, 1, 0, 0, 0), 0);
  CVcdDirNode* b = tree.FindNode("D/B");
  b->Detach(1);
  delete b;
  EXPECT_EQ(tree.FindNode("D/B"), nullptr);
  EXPECT_EQ(ChildNames("D"), (std::vector<std::string>{"A", "C"}));
  // The name can be used again and lands in its place.
  ASSERT_EQ(tree.MakeFile("D/B", 4, 1, 0, 0, 0), 0);
  EXPECT_EQ(ChildNames("D"), (std::vector<std::string>{"A", "B", "C"}));
  // Deleting a folder deletes what is in it.
  CVcdDirNode* d = tree.FindNode("D");
  d->Detach(1);
  delete d;
  EXPECT_EQ(tree.FindNode("D"), nullptr);
  EXPECT_EQ(tree.MakeDirectory("D"), 0);
  EXPECT_TRUE(ChildNames("D").empty());
}

// Thousands of files arriving in reverse order into one folder: the order
// and the records still come out right. The time it takes is printed.
TEST_F(DirectoryTree, ManyFilesInReverseOrder) {
  const int kFiles = 6000;
  const auto begun = std::chrono::steady_clock::now();
  char name[64];
  for (int i = kFiles - 1; i >= 0; --i) {
    snprintf(name, sizeof name, "MANY/F%07d.DAT", i);
    ASSERT_EQ(tree.MakeFile(name, 1000 + i, 2048, 0, 0, 0), 0);
  }
  Messages().clear();  // the autocreated folder
  const int sectors = tree.DirectorySectors();
  // 12-character names: 62-byte records, 33 to a sector (31 in the first).
  EXPECT_EQ(sectors, 1 + (kFiles - 31 + 32) / 33 + 1);
  std::vector<uint8_t> area(static_cast<size_t>(sectors) * kIsoSectorSize);
  ASSERT_EQ(tree.WriteDirectories(area.data(), area.size(), 18), 0) << All();
  CVcdDirNode* many = tree.FindNode("MANY");
  std::vector<Record> records =
      ReadRecords(&area[static_cast<size_t>(many->GetExtent() - 18) * kIsoSectorSize], many->GetSize());
  ASSERT_EQ(records.size(), static_cast<size_t>(kFiles + 2));
  for (int i = 0; i < kFiles; ++i) {
    ASSERT_EQ(records[i + 2].extent, static_cast<uint32_t>(1000 + i));
    ASSERT_LE(records[i + 2].offset % kIsoSectorSize + 62, static_cast<size_t>(kIsoSectorSize));
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun).count();
  printf("%d files in one folder: made and written in %.1f ms\n", kFiles, ms);
  EXPECT_TRUE(Messages().empty()) << All();
}

TEST(CustomFile, TimeFromTheSourceAndReleaseFreesIt) {
  const char* path = "custom_file_source.bin";
  ASSERT_TRUE(test_support::WriteText(path, "hello"));

  CVcdList owner;
  CVcdStream* stream = new CVcdStream(NULL, path, kVcdStreamRead);
  CCustomFile* file = new CCustomFile("DATA/HELLO.TXT", stream);
  owner.Append(file);
  EXPECT_STREQ(file->GetIsoPath(), "DATA/HELLO.TXT");
  EXPECT_EQ(file->GetSource(), stream);
  EXPECT_GT(file->GetTime(), 1000000000);
  EXPECT_FALSE(stream->IsOpen());  // closed again: it was closed before
  ASSERT_EQ(stream->EnsureOpen(), 0);
  EXPECT_GT(file->GetTime(), 1000000000);
  EXPECT_TRUE(stream->IsOpen());

  file->Detach(1);
  EXPECT_EQ(file->GetSource(), nullptr);
  EXPECT_TRUE(owner.IsEmpty());
  EXPECT_EQ(file->GetTime(), 0);
  delete file;
  remove(path);
}

}  // namespace
