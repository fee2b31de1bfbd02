// ISO 9660 structures byte by byte: field encodings, directory records, path
// table records, the volume descriptors and the name rules. The expected
// bytes are written out by hand from the record layouts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "discimage/iso9660/iso9660.h"
#include "discimage/tests/capture_window.h"

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes Slice(const uint8_t* p, size_t length) { return Bytes(p, p + length); }

std::string Text(const uint8_t* p, size_t length) {
  return std::string(reinterpret_cast<const char*>(p), length);
}

TEST(IsoFields, BothEndianNumbers) {
  uint8_t b[8];
  PutBothEndian32(b, 0x12345678);
  EXPECT_EQ(Slice(b, 8), (Bytes{0x78, 0x56, 0x34, 0x12, 0x12, 0x34, 0x56, 0x78}));
  EXPECT_TRUE(BothEndian32Agrees(b));
  b[7] = 0x79;
  EXPECT_FALSE(BothEndian32Agrees(b));
  PutBothEndian16(b, 0x0800);
  EXPECT_EQ(Slice(b, 4), (Bytes{0x00, 0x08, 0x08, 0x00}));
  PutLittleEndian32(b, 0x00A1B2C3);
  EXPECT_EQ(Slice(b, 4), (Bytes{0xC3, 0xB2, 0xA1, 0x00}));
  EXPECT_EQ(GetLittleEndian32(b), 0x00A1B2C3u);
  PutBigEndian32(b, 0x00A1B2C3);
  EXPECT_EQ(Slice(b, 4), (Bytes{0x00, 0xA1, 0xB2, 0xC3}));
  EXPECT_EQ(GetBigEndian32(b), 0x00A1B2C3u);
}

TEST(IsoFields, DatesInBothForms) {
  struct Case {
    int64_t seconds;
    Bytes recording;
  } cases[] = {
      {0, {70, 1, 1, 0, 0, 0, 0}},
      {kIsoDefaultTime, {78, 7, 14, 0, 0, 0, 0}},
      {1000000000, {101, 9, 9, 1, 46, 40, 0}},   // 2001-09-09 01:46:40
      {951782400, {100, 2, 29, 0, 0, 0, 0}},     // 2000-02-29, a leap day
      {4102444799LL, {199, 12, 31, 23, 59, 59, 0}},  // 2099-12-31 23:59:59
  };
  for (const Case& c : cases) {
    uint8_t b[7];
    PutRecordingTime(b, c.seconds);
    EXPECT_EQ(Slice(b, 7), c.recording) << c.seconds;
  }

  uint8_t date[17];
  IsoCalendarTime t = IsoCalendarFromSeconds(1000000000);
  PutVolumeDate(date, &t);
  EXPECT_EQ(Text(date, 16), "2001090901464000");
  EXPECT_EQ(date[16], 0);
  PutVolumeDate(date, NULL);
  EXPECT_EQ(Text(date, 16), "0000000000000000");
  EXPECT_EQ(date[16], 0);
}

TEST(IsoDirectoryRecord, GoldenBytes) {
  // "A": 33 + 1 name byte = 34, no pad; the fixed default time.
  const Bytes plain = {0x22, 0x00,                                      // length, ext. attr.
                       0x12, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x12,  // extent 18
                       0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00,  // size 2048
                       0x4E, 0x07, 0x0E, 0x00, 0x00, 0x00, 0x00,        // 1978-07-14
                       0x02, 0x00, 0x00,                                // flags, unit, gap
                       0x01, 0x00, 0x00, 0x01,                          // volume 1
                       0x01, 0x41};                                     // "A"
  // "AB" with XA bytes of a Form 1 file, file number 1: 33 + 2 + pad + 14.
  const Bytes xa = {0x32, 0x00,                                      //
                    0x45, 0x23, 0x01, 0x00, 0x00, 0x01, 0x23, 0x45,  // extent 0x12345
                    0x4E, 0x61, 0xBC, 0x00, 0x00, 0xBC, 0x61, 0x4E,  // size 12345678
                    0x65, 0x09, 0x09, 0x01, 0x2E, 0x28, 0x00,        // 2001-09-09 01:46:40
                    0x00, 0x00, 0x00,                                //
                    0x01, 0x00, 0x00, 0x01,                          //
                    0x02, 0x41, 0x42, 0x00,                          // "AB", pad
                    0x00, 0x00, 0x00, 0x00, 0x0D, 0x55, 0x58, 0x41,  // ids, attributes, "XA"
                    0x01, 0x00, 0x00, 0x00, 0x00, 0x00};             // file number, zeros
  const uint8_t systemUse[14] = {0, 0, 0, 0, 0x0D, 0x55, 'X', 'A', 1, 0, 0, 0, 0, 0};

  std::vector<uint8_t> extent(kIsoSectorSize, 0);
  size_t end = 0;
  ASSERT_EQ(AppendDirectoryRecord(NULL, extent.data(), extent.size(), &end, "A", 18, 2048,
                                  kIsoFlagDirectory, NULL, 0, 0),
            0);
  EXPECT_EQ(Slice(extent.data(), plain.size()), plain);
  ASSERT_EQ(AppendDirectoryRecord(NULL, extent.data(), extent.size(), &end, "AB", 0x12345,
                                  12345678, 0, systemUse, 14, 1000000000),
            34);
  EXPECT_EQ(Slice(extent.data() + 34, xa.size()), xa);
  EXPECT_EQ(end, 34u + 50u);
}

TEST(IsoDirectoryRecord, LengthsFollowNameAndSystemUse) {
  struct Case {
    int nameLength, systemUse, length;
  } cases[] = {
      {0, 0, 34},  {1, 0, 34},  {2, 0, 36},  {3, 0, 36},  {1, 14, 48},
      {2, 14, 50}, {12, 14, 60}, {14, 14, 62}, {13, 14, 60}, {3, 5, 42},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DirectoryRecordLength(c.nameLength, c.systemUse), c.length)
        << c.nameLength << "/" << c.systemUse;
}

TEST(IsoDirectoryRecord, DotAndDotDotThenRecordsBehindThem) {
  CapturingSink m;
  std::vector<uint8_t> extent(2 * kIsoSectorSize, 0xEE);
  const uint8_t su[14] = {0, 0, 0, 0, 0x8D, 0x55, 'X', 'A', 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(InitDirectoryExtent(&m.sink, extent.data(), extent.size(), 20, 4096, su, 14, 18, 2048,
                                su, 14),
            96);
  // "." : name byte 0, own extent and size; "..": name byte 1, the parent's.
  EXPECT_EQ(extent[0], 48);
  EXPECT_EQ(GetLittleEndian32(&extent[2]), 20u);
  EXPECT_EQ(GetLittleEndian32(&extent[10]), 4096u);
  EXPECT_EQ(extent[25], kIsoFlagDirectory);
  EXPECT_EQ(extent[32], 1);
  EXPECT_EQ(extent[33], 0);
  EXPECT_EQ(Slice(&extent[18], 7), (Bytes{78, 7, 14, 0, 0, 0, 0}));
  EXPECT_EQ(extent[48], 48);
  EXPECT_EQ(GetLittleEndian32(&extent[50]), 18u);
  EXPECT_EQ(GetLittleEndian32(&extent[58]), 2048u);
  EXPECT_EQ(extent[48 + 33], 1);
  // The rest of the extent was cleared.
  EXPECT_EQ(extent[96], 0);
  EXPECT_EQ(extent[4095], 0);

  // The walk finds the end behind "..".
  EXPECT_EQ(AddDirectoryRecord(&m.sink, extent.data(), extent.size(), "FILE.DAT;1", 300, 10, 0,
                               su, 14, 0),
            96);
  EXPECT_EQ(AddDirectoryRecord(&m.sink, extent.data(), extent.size(), "NEXT.DAT;1", 301, 10, 0,
                               su, 14, 0),
            96 + 58);
  EXPECT_TRUE(m.Texts().empty()) << m.All();
}

TEST(IsoDirectoryRecord, RecordThatWouldCrossASectorStartsTheNext) {
  std::vector<uint8_t> extent(2 * kIsoSectorSize, 0);
  const uint8_t su[14] = {0, 0, 0, 0, 0x0D, 0x55, 'X', 'A', 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(InitDirectoryExtent(NULL, extent.data(), extent.size(), 20, 4096, su, 14, 20, 4096,
                                su, 14),
            96);
  // 31 records of 62 bytes end at 96 + 1922 = 2018; the 32nd (62 bytes)
  // would cross 2048 and goes to 2048.
  char name[32];
  for (int i = 0; i < 31; ++i) {
    snprintf(name, sizeof name, "FILE%04d.DAT;1", i);
    ASSERT_EQ(AddDirectoryRecord(NULL, extent.data(), extent.size(), name, 100 + i, 1, 0, su, 14, 0),
              96 + 62 * i);
  }
  EXPECT_EQ(AddDirectoryRecord(NULL, extent.data(), extent.size(), "FILE0031.DAT;1", 131, 1, 0,
                               su, 14, 0),
            2048);
  for (int i = 2018; i < 2048; ++i) ASSERT_EQ(extent[i], 0) << i;
  // The walk crosses the zero gap: the next goes behind the one at 2048.
  EXPECT_EQ(AddDirectoryRecord(NULL, extent.data(), extent.size(), "FILE0032.DAT;1", 132, 1, 0,
                               su, 14, 0),
            2048 + 62);
}

TEST(IsoDirectoryRecord, RefusesWhatDoesNotFit) {
  CapturingSink m;
  const uint8_t su[14] = {};
  std::vector<uint8_t> extent(kIsoSectorSize, 0);
  ASSERT_EQ(InitDirectoryExtent(&m.sink, extent.data(), extent.size(), 18, 2048, su, 14, 18, 2048,
                                su, 14),
            96);
  // 1952 bytes remain: 31 records of 62 bytes fit (1922), the 32nd not.
  int added = 0;
  while (AddDirectoryRecord(&m.sink, extent.data(), extent.size(), "ABCDEFGH.IJK;1", 1, 1, 0, su,
                            14, 0) >= 0)
    ++added;
  EXPECT_EQ(added, 31);
  EXPECT_NE(m.All().find("has no room for the record of 'ABCDEFGH.IJK;1'"), std::string::npos)
      << m.All();

  // The extent's own size (from ".") bounds it, even in a larger buffer.
  std::vector<uint8_t> big(4 * kIsoSectorSize, 0);
  ASSERT_GE(InitDirectoryExtent(NULL, big.data(), big.size(), 18, 2048, su, 14, 18, 2048, su, 14), 0);
  added = 0;
  while (AddDirectoryRecord(NULL, big.data(), big.size(), "ABCDEFGH.IJK;1", 1, 1, 0, su, 14, 0) >= 0)
    ++added;
  EXPECT_EQ(added, 31);

  // A name too long for the record's length byte.
  m.Clear();
  std::string longName(220, 'A');
  EXPECT_EQ(AddDirectoryRecord(&m.sink, extent.data(), extent.size(), longName.c_str(), 1, 1, 0,
                               su, 14, 0),
            -1);
  EXPECT_NE(m.All().find("exceeds 255 bytes"), std::string::npos) << m.All();

  // A directory larger than its buffer is not started.
  m.Clear();
  EXPECT_EQ(InitDirectoryExtent(&m.sink, extent.data(), extent.size(), 18, 4096, su, 14, 18, 4096,
                                su, 14),
            -1);
  EXPECT_FALSE(m.Texts().empty());
}

TEST(IsoDirectoryRecord, EmptyExtentCountsAsOneSectorAndBrokenOrderWarns) {
  CapturingSink m;
  std::vector<uint8_t> extent(3 * kIsoSectorSize, 0);
  EXPECT_EQ(AddDirectoryRecord(&m.sink, extent.data(), extent.size(), "", 18, 0, 2, NULL, 0, 0), 0);
  EXPECT_TRUE(m.Texts().empty()) << m.All();

  // The first record's size claims 2048 in one half and something else in
  // the other.
  PutBothEndian32(&extent[10], 2048);
  extent[17] = 0x01;
  EXPECT_EQ(AddDirectoryRecord(&m.sink, extent.data(), extent.size(), "X", 19, 0, 0, NULL, 0, 0), 34);
  ASSERT_EQ(m.Texts().size(), 1u);
  EXPECT_EQ(m.Texts()[0], "from_733: broken byte order\n");

  // A record whose length runs past the extent is refused, not followed.
  m.Clear();
  std::vector<uint8_t> broken(kIsoSectorSize, 0);
  PutBothEndian32(&broken[10], 2048);
  broken[0] = 34;
  broken[2040] = 200;
  EXPECT_EQ(AddDirectoryRecord(&m.sink, broken.data(), broken.size(), "Y", 1, 0, 0, NULL, 0, 0), -1);
  EXPECT_NE(m.All().find("broken"), std::string::npos);
}

TEST(IsoPathTable, GoldenRecordsInBothOrders) {
  uint8_t l[64] = {}, m[64] = {};
  EXPECT_EQ(AddPathTableRecordL(NULL, l, sizeof l, "", 18, 1), 1);
  EXPECT_EQ(AddPathTableRecordM(NULL, m, sizeof m, "", 18, 1), 1);
  EXPECT_EQ(AddPathTableRecordL(NULL, l, sizeof l, "EXT", 0x14, 1), 2);
  EXPECT_EQ(AddPathTableRecordM(NULL, m, sizeof m, "EXT", 0x14, 1), 2);
  EXPECT_EQ(AddPathTableRecordL(NULL, l, sizeof l, "MPEGAV", 0x0117, 1), 3);
  EXPECT_EQ(AddPathTableRecordM(NULL, m, sizeof m, "MPEGAV", 0x0117, 1), 3);

  const Bytes goldenL = {
      0x01, 0x00, 0x12, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,              // root, pad
      0x03, 0x00, 0x14, 0x00, 0x00, 0x00, 0x01, 0x00, 'E', 'X', 'T', 0x00,     // odd: pad
      0x06, 0x00, 0x17, 0x01, 0x00, 0x00, 0x01, 0x00, 'M', 'P', 'E', 'G', 'A', 'V'};
  const Bytes goldenM = {
      0x01, 0x00, 0x00, 0x00, 0x00, 0x12, 0x00, 0x01, 0x00, 0x00,
      0x03, 0x00, 0x00, 0x00, 0x00, 0x14, 0x00, 0x01, 'E', 'X', 'T', 0x00,
      0x06, 0x00, 0x00, 0x00, 0x01, 0x17, 0x00, 0x01, 'M', 'P', 'E', 'G', 'A', 'V'};
  EXPECT_EQ(Slice(l, goldenL.size()), goldenL);
  EXPECT_EQ(Slice(m, goldenM.size()), goldenM);
  EXPECT_EQ(PathTableSize(l, sizeof l), goldenL.size());
  EXPECT_EQ(PathTableSize(m, sizeof m), goldenM.size());
}

TEST(IsoPathTable, FullTableIsRefused) {
  CapturingSink msgs;
  uint8_t table[kIsoSectorSize] = {};
  ASSERT_EQ(AddPathTableRecordL(&msgs.sink, table, sizeof table, "", 18, 1), 1);
  // 10 + 51 records of 40 bytes (31-character names) = 2050 > 2048.
  std::string name(31, 'd');
  int number = 1;
  int last = 0;
  while ((number = AddPathTableRecordL(&msgs.sink, table, sizeof table, name.c_str(), 19, 1)) > 0)
    last = number;
  EXPECT_EQ(last, 1 + 50);
  EXPECT_EQ(number, -1);
  EXPECT_NE(msgs.All().find("path table of 2048 bytes is full"), std::string::npos) << msgs.All();
  EXPECT_EQ(PathTableSize(table, sizeof table), 10u + 50u * 40u);
}

class IsoVolumeDescriptor : public ::testing::Test {
protected:
  void SetUp() override {
    const uint8_t su[14] = {0, 0, 0, 0, 0x8D, 0x55, 'X', 'A', 0, 0, 0, 0, 0, 0};
    root.assign(kIsoSectorSize, 0);
    ASSERT_GE(InitDirectoryExtent(NULL, root.data(), root.size(), 18, 2048, su, 14, 18, 2048, su, 14), 0);
    sector.assign(kIsoSectorSize, 0xEE);
  }
  std::vector<uint8_t> root, sector;
  CapturingSink m;
};

TEST_F(IsoVolumeDescriptor, PrimaryFieldsAtTheirOffsets) {
  ASSERT_EQ(WritePrimaryVolumeDescriptor(&m.sink, sector.data(), "MY_DISC", "PUBLISHER",
                                         "APPLICATION", 0x0001E240, root.data(), 19, 20, 10,
                                         1000000000),
            0);
  EXPECT_TRUE(m.Texts().empty()) << m.All();
  const uint8_t* p = sector.data();
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(Text(p + 1, 5), "CD001");
  EXPECT_EQ(p[6], 1);
  EXPECT_EQ(p[7], 0);
  EXPECT_EQ(Text(p + 8, 32), "CD-RTOS CD-BRIDGE" + std::string(15, ' '));
  EXPECT_EQ(Text(p + 40, 32), "MY_DISC" + std::string(25, ' '));
  EXPECT_EQ(Slice(p + 72, 8), Bytes(8, 0));
  EXPECT_EQ(Slice(p + 80, 8), (Bytes{0x40, 0xE2, 0x01, 0x00, 0x00, 0x01, 0xE2, 0x40}));
  EXPECT_EQ(Slice(p + 120, 4), (Bytes{1, 0, 0, 1}));
  EXPECT_EQ(Slice(p + 124, 4), (Bytes{1, 0, 0, 1}));
  EXPECT_EQ(Slice(p + 128, 4), (Bytes{0x00, 0x08, 0x08, 0x00}));
  EXPECT_EQ(Slice(p + 132, 8), (Bytes{10, 0, 0, 0, 0, 0, 0, 10}));
  EXPECT_EQ(Slice(p + 140, 4), (Bytes{19, 0, 0, 0}));
  EXPECT_EQ(Slice(p + 144, 4), Bytes(4, 0));
  EXPECT_EQ(Slice(p + 148, 4), (Bytes{0, 0, 0, 20}));
  EXPECT_EQ(Slice(p + 152, 4), Bytes(4, 0));
  // The root record: the first 34 bytes of "." with length 34.
  EXPECT_EQ(p[156], 34);
  EXPECT_EQ(Slice(p + 157, 33), Slice(root.data() + 1, 33));
  EXPECT_EQ(Text(p + 190, 128), std::string(128, ' '));
  EXPECT_EQ(Text(p + 318, 128), "PUBLISHER" + std::string(119, ' '));
  EXPECT_EQ(Text(p + 446, 128), "ZRDISCIMAGE 6.0.7.10(WIN32)" + std::string(101, ' '));
  EXPECT_EQ(Text(p + 574, 128), "APPLICATION" + std::string(117, ' '));
  EXPECT_EQ(Text(p + 702, 37), std::string(37, ' '));
  EXPECT_EQ(Text(p + 739, 37), std::string(37, ' '));
  EXPECT_EQ(Text(p + 776, 37), std::string(37, ' '));
  // The day only: 2001-09-09, whatever the time of day.
  EXPECT_EQ(Text(p + 813, 16), "2001090900000000");
  EXPECT_EQ(p[829], 0);
  EXPECT_EQ(Text(p + 830, 16), "2001090900000000");
  EXPECT_EQ(p[846], 0);
  EXPECT_EQ(Text(p + 847, 16), std::string(16, '0'));
  EXPECT_EQ(p[863], 0);
  EXPECT_EQ(Text(p + 864, 16), std::string(16, '0'));
  EXPECT_EQ(p[880], 0);
  EXPECT_EQ(p[881], 1);
  EXPECT_EQ(Slice(p + 882, 142), Bytes(142, 0));
  EXPECT_EQ(Text(p + 1024, 8), "CD-XA001");
  EXPECT_EQ(Slice(p + 1032, 2048 - 1032), Bytes(2048 - 1032, 0));
}

TEST_F(IsoVolumeDescriptor, TodaysDateEndsInZeroTimeAndIdentifiersAreChecked) {
  ASSERT_EQ(WritePrimaryVolumeDescriptor(&m.sink, sector.data(), "bad-label", "Pub",
                                         std::string(130, 'A').c_str(), 300, root.data(), 19, 20,
                                         10),
            0);
  EXPECT_EQ(Text(sector.data() + 813 + 8, 8), "00000000");
  EXPECT_EQ(sector[829], 0);
  EXPECT_EQ(Text(sector.data() + 830 + 8, 8), "00000000");
  int year = atoi(Text(sector.data() + 813, 4).c_str());
  EXPECT_GE(year, 2020);
  // Warnings, the copies made regardless.
  std::string all = m.All();
  EXPECT_NE(all.find("string 'bad-label' fails d-character constraint (pos = 3)"), std::string::npos) << all;
  EXPECT_NE(all.find("string 'Pub' fails a-character constraint (pos = 1)"), std::string::npos) << all;
  EXPECT_NE(all.find("is getting truncated to 128 characters"), std::string::npos) << all;
  EXPECT_EQ(Text(sector.data() + 40, 9), "bad-label");
  EXPECT_EQ(Text(sector.data() + 574, 128), std::string(128, 'A'));

  EXPECT_EQ(WritePrimaryVolumeDescriptor(&m.sink, sector.data(), "", "", "", 300, NULL, 19, 20, 10), -1);
}

TEST_F(IsoVolumeDescriptor, Terminator) {
  ASSERT_EQ(WriteTerminator(&m.sink, sector.data()), 0);
  EXPECT_EQ(sector[0], 255);
  EXPECT_EQ(Text(sector.data() + 1, 5), "CD001");
  EXPECT_EQ(sector[6], 1);
  EXPECT_EQ(Slice(sector.data() + 7, 2048 - 7), Bytes(2048 - 7, 0));
}

TEST(IsoNames, VersionedName) {
  struct Case {
    const char* name;
    unsigned version;
    const char* text;
  } cases[] = {{"INFO.VCD", 1, "INFO.VCD;1"}, {"A", 65535, "A;65535"}, {"A", 65537, "A;1"}, {"", 2, ";2"}};
  for (const Case& c : cases) {
    char* text = VersionedName(c.name, c.version);
    EXPECT_STREQ(text, c.text);
    free(text);
  }
}

struct NameCase {
  std::string path;
  int valid;
  std::string message;  // the error text, "" for none
};

std::string Repeat(const std::string& unit, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += unit;
  return s;
}

TEST(IsoNames, DirectoryPaths) {
  const std::string comp31(31, 'x'), comp32(32, 'x');
  const std::string path255 = Repeat("abcdefg/", 31) + "abcdefg";  // 255 characters
  const std::string path256 = path255 + "h";
  ASSERT_EQ(path255.size(), 255u);
  const NameCase cases[] = {
      {"", 0, ""},
      {"MPEGAV", 1, ""},
      {"mpegav", 1, ""},
      {"EXT/sub", 1, ""},
      {"Ext/sub-x", 0, "(sub)Path <SUB-X> contains a non-ISO9660 level 1 character (-)."},
      {"EXT/ABCDEFGHI", 0, "(sub)Path <ABCDEFGHI> exceeds max. allowed length of 8chars."},
      {"SEGMENT2/sub-x", 0, "(sub)Path <sub-x> contains a non-ISO9660 level 2 character (-)."},
      {"photos/2004_Summer", 1, ""},
      {"photos/a b", 0, "(sub)Path <a b> contains a non-ISO9660 level 2 character ( )."},
      {comp31, 1, ""},
      {comp32, 0, "(sub)Path <xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx> exceeds max. allowed length of 31chars."},
      {"/abs", 0, "sub-path should not start with '/', '.' or '\\0'"},
      {"a/.hidden", 0, "sub-path should not start with '/', '.' or '\\0'"},
      {"a//b", 0, "sub-path should not start with '/', '.' or '\\0'"},
      {"a/", 0, "sub-path should not start with '/', '.' or '\\0'"},
      {path255, 1, ""},
      {path256, 0, "Pathname <" + path256 + "> exceeds the max. allowed length of 255 chars."},
  };
  for (const NameCase& c : cases) {
    CapturingSink m;
    EXPECT_EQ(IsDirectoryPathValid(&m.sink, c.path.c_str()), c.valid) << c.path;
    if (c.message.empty()) {
      EXPECT_TRUE(m.Texts().empty()) << c.path << ": " << m.All();
    } else {
      ASSERT_EQ(m.Texts().size(), 1u) << c.path << ": " << m.All();
      EXPECT_EQ(m.Texts()[0], c.message + "\n");
      EXPECT_EQ(m.messages[0].wParam, static_cast<uintptr_t>(kVcdMsgError));
    }
  }
}

TEST(IsoNames, FilePaths) {
  const std::string name31 = std::string(27, 'n') + ".abc";
  const std::string name32 = std::string(28, 'n') + ".abc";
  const std::string longPath = Repeat("abcdefg/", 30) + std::string(9, 'f') + ".txt";  // 253
  const std::string path249 = Repeat("abcdefg/", 30) + "abcde.txt";                 // 249
  ASSERT_EQ(path249.size(), 249u);
  const std::string file31 = "photos/" + name31, file32 = "photos/" + name32;
  const NameCase cases[] = {
      {"", 0, ""},
      {"README", 1, ""},
      {"readme.txt", 1, ""},
      {"photos/holiday1.jpg", 1, ""},
      {"photos/abcdefgh.jpg", 1, ""},
      {"photos/abcdefgh.jpeg", 0, "Length of file-extension exceeds max. allowed length of 3chars. (abcdefgh.jpeg)."},
      {"photos/.hidden", 0, "File <.hidden> should not start with a dot '.'"},
      {"photos/a.b.c", 0, "File <a.b.c> only may contain 1 extension."},
      {"mpegav/avseq01.dat", 1, ""},
      {"mpegav/avseq-01.dat", 0, "File <AVSEQ-01.DAT> contains a _no_ ISO9660 level-1 character. ('-')"},
      {"SEGMENT/ITEM00001.MPG", 0, "Length of file exceeds max. allowed length of 8chars. (ITEM00001.MPG)"},
      {"VCD/INFO.VCDX", 0, "Length of file-extension exceeds max. allowed length of 3chars. (INFO.VCDX)."},
      {file31, 1, ""},
      {file32, 0, "Length of file exceeds max. allowed length of 31chars. (" + name32 + ")"},
      {"a b.txt", 0, "File <a b.txt> contains a _no_ ISO9660 level-2 character. (' ')"},
      {"bad dir/x.txt", 0, "(sub)Path <bad dir> contains a non-ISO9660 level 2 character ( )."},
      {"photos/", 0, "sub-path should not start with '/', '.' or '\\0'"},
      {path249, 1, ""},
      {longPath, 0, "Length of path exceeds max. allowed length of 249chars. (" + longPath + ")"},
  };
  for (const NameCase& c : cases) {
    CapturingSink m;
    EXPECT_EQ(IsFilePathValid(&m.sink, c.path.c_str()), c.valid) << c.path;
    if (c.message.empty()) {
      EXPECT_TRUE(m.Texts().empty()) << c.path << ": " << m.All();
    } else {
      ASSERT_EQ(m.Texts().size(), 1u) << c.path << ": " << m.All();
      EXPECT_EQ(m.Texts()[0], c.message + "\n");
    }
  }
}

}  // namespace
