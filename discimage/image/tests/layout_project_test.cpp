// The layout of track 1 and the VideoCD information files, on projects whose
// items carry synthetic stream information (no MPEG files): where every
// file lands, the cue list, what refuses a layout, and the bytes of INFO,
// ENTRIES, LOT, TRACKS.SVD and the scan tables, worked out by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_paths.h"
#include "discimage/iso9660/vcd_custom_file.h"
#include "discimage/iso9660/vcd_directory.h"
#include "discimage/image/vcd_info_files.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"
#include "discimage/base/vcd_stream.h"
#include "discimage/image/vcd_write_image.h"

namespace fs = std::filesystem;

namespace {

// A project whose items take stream information without a file behind it;
// the layout is the real one.
class SyntheticProject : public CVcdObj {
public:
  SyntheticProject(CVcdMessageSink* messages, int type) : CVcdObj(messages, type) {}

  int Sequence(MpegStreamInfo* info, const char* id = NULL, const char* defaultEntryId = NULL) {
    if (CheckNewSequence(id, defaultEntryId) != 0) return -1;
    return AppendSequence(NULL, info, id, defaultEntryId);
  }
  int Segment(MpegStreamInfo* info, const char* id) {
    if (CheckNewSegment(id) != 0) return -1;
    return AppendSegment(NULL, info, id);
  }
};

struct ProjectDeleter {
  void operator()(CVcdObj* project) const { project->Destroy(); }
};

std::string Hex(const uint8_t* bytes, size_t length) {
  std::string text;
  char two[4];
  for (size_t i = 0; i < length; ++i) {
    snprintf(two, sizeof two, "%02X", bytes[i]);
    if (i > 0) text += ' ';
    text += two;
  }
  return text;
}

class LayoutTest : public ::testing::Test {
protected:
  void TearDown() override {
    project.reset();
    for (MpegStreamInfo& info : infos) FreeApsLists(&info);
  }

  SyntheticProject* Make(int type) {
    project.reset(new SyntheticProject(&messages.sink, type));
    return project.get();
  }
  SyntheticProject* p() { return project.get(); }

  // A PAL SIF stream (or SVCD 480x576 with svcd) of packets packets and
  // seconds of playing time, with an access point every 50 packets at
  // half-second steps when aps is set.
  MpegStreamInfo* Info(int packets, double seconds, bool svcd = false, bool aps = true) {
    infos.emplace_back();
    MpegStreamInfo& info = infos.back();
    memset(&info, 0, sizeof info);
    info.packetCount = packets;
    info.version = svcd ? 2 : 1;
    info.video[0].seen = 1;
    info.video[0].horizontalSize = svcd ? 480 : 352;
    info.video[0].verticalSize = svcd ? 576 : 288;
    info.video[0].frameRate = 25.0;
    info.audio[0].seen = 1;
    info.audio[0].layer = 2;
    info.audio[0].mode = 1;  // stereo
    info.playingTime = seconds;
    info.maxPts = seconds;
    if (aps) {
      info.video[0].apsList = new MpegApsList();
      for (int packet = 0, i = 0; packet < packets && i * 0.5 <= seconds; packet += 50, ++i)
        info.video[0].apsList->Add(packet, i * 0.5);
    }
    return &info;
  }

  uint8_t* Dict(const char* key) {
    CVcdDict* record = p()->Dictionary().FindByKey(key);
    return record != NULL ? record->GetBuffer() : NULL;
  }
  int DictSector(const char* key) {
    CVcdDict* record = p()->Dictionary().FindByKey(key);
    return record != NULL ? record->GetFirstSector() : -1;
  }
  CVcdDirNode* Node(const char* path) { return p()->DirectoryTree()->FindNode(path); }

  CapturingSink messages;
  std::deque<MpegStreamInfo> infos;  // outlives the project
  std::unique_ptr<SyntheticProject, ProjectDeleter> project;
};

// ---------------------------------------------------------------------------
// Where things land

TEST_F(LayoutTest, OneVcdTrackWithDefaultsGivesTheCueListOfTheDisc) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence(Info(2000, 80.0)), 0);
  int size = p()->ImageSize();
  EXPECT_EQ(p()->GetIsoSize(), 300);  // a project this small still has 300 sectors
  EXPECT_EQ(size, 300 + 150 + 30 + 2000 + 45);
  EXPECT_TRUE(messages.Has(kVcdMsgDebug, "iso9660: highest allocated sector is 224 (using 300 as isosize)"));

  CVcdImageWriter writer(p(), NULL);
  CVcdCueList list;
  writer.BuildCueList(&list);
  ASSERT_EQ(list.GetCount(), 4u);
  EXPECT_EQ(list[0].lsn, 0u);
  EXPECT_EQ(list[0].kind, kVcdCueTrack);
  EXPECT_EQ(list[1].lsn, 300u);
  EXPECT_EQ(list[1].kind, kVcdCuePregap);
  EXPECT_EQ(list[2].lsn, 450u);
  EXPECT_EQ(list[2].kind, kVcdCueTrack);
  EXPECT_EQ(list[3].lsn, 300u + 2225u);
  EXPECT_EQ(list[3].kind, kVcdCueEnd);
  EXPECT_EQ(writer.TotalSectors(), size);

  // The track's file lies behind the pregap and holds margins and packets.
  CVcdDirNode* track = Node("MPEGAV/AVSEQ01.DAT");
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->GetExtent(), 450u);
  EXPECT_EQ(track->GetSize(), (30u + 2000u + 45u) * 2048u);
  EXPECT_EQ(track->GetXaFileNumber(), 1);
  EXPECT_EQ(track->GetXaAttributes(), kXaAttributesForm2);
}

TEST_F(LayoutTest, LeadoutPauseLengthensTheImageByThePregap) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence(Info(2000, 80.0)), 0);
  ASSERT_EQ(p()->SetParameter(kVcdParamLeadoutPause, 1), 0);
  EXPECT_EQ(p()->ImageSize(), 300 + 2225 + 150);
  CVcdImageWriter writer(p(), NULL);
  CVcdCueList list;
  writer.BuildCueList(&list);
  EXPECT_EQ(list[list.GetCount() - 1].lsn, 300u + 2225u + 150u);
  EXPECT_EQ(writer.TotalSectors(), 300 + 2225);  // what progress counts
}

TEST_F(LayoutTest, SegmentItemsTakeWholeSegmentsAndAreNamedByTheirFirstSegment) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Segment(Info(200, 8.0), "first"), 0);
  ASSERT_EQ(p()->Segment(Info(100, 4.0), "second"), 0);
  ASSERT_EQ(p()->Sequence(Info(500, 20.0)), 0);
  ASSERT_GT(p()->ImageSize(), 0);

  // INFO and ENTRIES end at 151: the segment area starts at the next
  // multiple of 75.
  EXPECT_EQ(p()->GetSegmentStart(), 225);
  const CMpegSegment* first = static_cast<const CMpegSegment*>(p()->Segments().Head());
  const CMpegSegment* second = static_cast<const CMpegSegment*>(p()->Segments().Tail());
  EXPECT_EQ(first->GetStartSector(), 225);
  EXPECT_EQ(second->GetStartSector(), 225 + 300);
  CVcdDirNode* item1 = Node("SEGMENT/ITEM0001.DAT");
  CVcdDirNode* item3 = Node("SEGMENT/ITEM0003.DAT");
  ASSERT_NE(item1, nullptr);
  ASSERT_NE(item3, nullptr);
  EXPECT_EQ(Node("SEGMENT/ITEM0002.DAT"), nullptr);
  EXPECT_EQ(item1->GetExtent(), 225u);
  EXPECT_EQ(item1->GetSize(), 200u * 2048u);
  EXPECT_EQ(item3->GetExtent(), 525u);
  EXPECT_EQ(item3->GetXaFileNumber(), 1);
  EXPECT_EQ(p()->GetIsoSize(), 225 + 450);
}

TEST_F(LayoutTest, EmptyUserFileStandsAtTheUserFileStart) {
  fs::path folder = fs::current_path() / "empty_user_file";
  fs::create_directories(folder);
  fs::path empty = folder / "empty.txt", data = folder / "data.bin";
  fclose(fopen(empty.string().c_str(), "wb"));
  FILE* f = fopen(data.string().c_str(), "wb");
  std::vector<char> bytes(5000, 'x');
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);

  Make(kVcdType20);
  ASSERT_EQ(p()->AddDirectory("data"), 0);
  ASSERT_EQ(p()->AddCustomFile("data/empty.txt",
                               new CVcdStream(&messages.sink, empty.string().c_str(), kVcdStreamRead), 0),
            0);
  ASSERT_EQ(p()->AddCustomFile("data/data.bin",
                               new CVcdStream(&messages.sink, data.string().c_str(), kVcdStreamRead), 0),
            0);
  ASSERT_EQ(p()->Sequence(Info(500, 20.0)), 0);
  ASSERT_GT(p()->ImageSize(), 0);

  int start = p()->GetCustomFileStart();
  EXPECT_EQ(start, 225);  // behind the (empty) segment area
  // Paths that pass the name check are written in upper case.
  CVcdDirNode* emptyNode = Node("DATA/EMPTY.TXT");
  CVcdDirNode* dataNode = Node("DATA/DATA.BIN");
  ASSERT_NE(emptyNode, nullptr) << messages.All();
  ASSERT_NE(dataNode, nullptr);
  EXPECT_EQ(emptyNode->GetExtent(), static_cast<uint32_t>(start));
  EXPECT_EQ(emptyNode->GetSize(), 0u);
  EXPECT_EQ(dataNode->GetExtent(), static_cast<uint32_t>(start));
  EXPECT_EQ(dataNode->GetSize(), 5000u);
  EXPECT_EQ(p()->GetIsoSize(), 300);
}

TEST_F(LayoutTest, DirectoryAreaThatDoesNotFitRefusesTheLayout) {
  // Every folder takes a sector: 56 of them, with the root and the four
  // VideoCD folders, leave no room below sector 75.
  Make(kVcdType20);
  char path[16];
  for (int i = 0; i < 56; ++i) {
    snprintf(path, sizeof path, "D%02d", i);
    ASSERT_EQ(p()->AddDirectory(path), 0);
  }
  ASSERT_EQ(p()->Sequence(Info(500, 20.0)), 0);
  EXPECT_EQ(p()->ImageSize(), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "directory section to big for a VCD"));

  // An SVCD has room up to sector 150.
  Make(kVcdTypeSvcd);
  for (int i = 0; i < 56; ++i) {
    snprintf(path, sizeof path, "D%02d", i);
    ASSERT_EQ(p()->AddDirectory(path), 0);
  }
  ASSERT_EQ(p()->Sequence(Info(500, 20.0, true)), 0);
  EXPECT_GT(p()->ImageSize(), 0) << messages.All();
  EXPECT_EQ(DictSector("dir"), 18);
  EXPECT_EQ(DictSector("ptl"), 18 + p()->DirectoryTree()->DirectorySectors());
}

TEST_F(LayoutTest, DanglingPlaybackReferenceRefusesTheLayout) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence(Info(500, 20.0), "movie"), 0);
  CPbcPlay* list = new CPbcPlay("play");
  list->itemIds.push_back("movie");
  list->nextId = "nowhere";
  ASSERT_EQ(p()->AddPbc(list), 0);
  EXPECT_EQ(p()->ImageSize(), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "nowhere"));
}

TEST_F(LayoutTest, UserFileOnAnInformationFileRefusesTheLayout) {
  fs::path file = fs::current_path() / "clash.bin";
  FILE* f = fopen(file.string().c_str(), "wb");
  fputs("x", f);
  fclose(f);
  Make(kVcdType20);
  ASSERT_EQ(p()->AddCustomFile("VCD/INFO.VCD",
                               new CVcdStream(&messages.sink, file.string().c_str(), kVcdStreamRead), 0),
            0);
  ASSERT_EQ(p()->Sequence(Info(500, 20.0)), 0);
  EXPECT_EQ(p()->ImageSize(), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "already exists"));
}

TEST_F(LayoutTest, SvcdFilesAndFoldersAreLaidOut) {
  Make(kVcdTypeSvcd);
  ASSERT_EQ(p()->Sequence(Info(1000, 40.0, true)), 0);
  ASSERT_GT(p()->ImageSize(), 0);
  EXPECT_EQ(DictSector("tracks"), 152);
  EXPECT_EQ(DictSector("search"), 153);
  EXPECT_EQ(DictSector("scandata"), 225);  // EXT files follow the segment area
  EXPECT_NE(Node("SVCD/TRACKS.SVD"), nullptr);
  EXPECT_NE(Node("SVCD/SEARCH.DAT"), nullptr);
  EXPECT_NE(Node("EXT/SCANDATA.DAT"), nullptr);
  CVcdDirNode* track = Node("MPEG2/AVSEQ01.MPG");
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->GetXaFileNumber(), 0);
  EXPECT_EQ(Node("SVCD/SEARCH.DAT")->GetSize(), 13u + 3u * 80u);
  EXPECT_EQ(Node("EXT/SCANDATA.DAT")->GetSize(), 18u + 6u + 3u * 80u);
}

// ---------------------------------------------------------------------------
// Entry points

TEST_F(LayoutTest, EntryPointsTakeTheNearestAccessPoint) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence(Info(1000, 10.0), "movie"), 0);
  ASSERT_EQ(p()->AddEntry("movie", 2.1, "near"), 0);     // 2.0 s, packet 200
  ASSERT_EQ(p()->AddEntry("movie", 2.2, "again"), 0);    // the same access point
  ASSERT_EQ(p()->AddEntry("movie", 50.0, "beyond"), 0);  // the last one, 9.5 s
  ASSERT_GT(p()->ImageSize(), 0);
  std::vector<int> packets;
  for (POSITION pos = p()->Sequences().FindById("movie")->Entries().GetHeadPosition(); pos != NULL;)
    packets.push_back(static_cast<CVcdEntry*>(
                          p()->Sequences().FindById("movie")->Entries().GetNext(pos))->Record()->packet);
  EXPECT_EQ(packets, (std::vector<int>{200, 200, 950}));
  EXPECT_TRUE(messages.Has(kVcdMsgDebug,
                           "requested entry point (id=near) at 2.100000, closest possible entry point at 2.000000"));
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "entry point 'again' falls into same sector as previous one!"));
  EXPECT_TRUE(messages.Has(kVcdMsgWarning,
                           "requested entry point (id=beyond) at 50.000000, closest possible entry point at 9.500000"));
}

TEST_F(LayoutTest, EntryPointWithoutAccessPointsGoesToTheTrackStart) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence(Info(1000, 10.0, false, false), "movie"), 0);
  ASSERT_EQ(p()->AddEntry("movie", 5.0, "mid"), 0);
  ASSERT_GT(p()->ImageSize(), 0);
  const CVcdEntry* entry = static_cast<const CVcdEntry*>(p()->Sequences().FindById("movie")->Entries().Head());
  EXPECT_EQ(entry->Record()->packet, 0);
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "no access points in sequence 'movie'"));
}

// ---------------------------------------------------------------------------
// Information files, byte by byte

// Two PAL tracks of 1000 and 500 packets, one entry point at 2.2 s on the
// first, a segment item of 200 packets with video and stereo audio, and a
// play list of the segment and the first track. Track 1: INFO 150, ENTRIES
// 151, LOT 152-183, PSD 184; segments from 225 (300 sectors); LOT_X 525-556,
// PSD_X 557; ISO size 558.
class VcdDiscBytes : public LayoutTest {
protected:
  void SetUp() override {
    Make(kVcdType20);
    ASSERT_EQ(p()->SetParameter(kVcdParamAlbumId, "ALBUM"), 0);
    ASSERT_EQ(p()->Segment(Info(200, 8.0), "menu"), 0);
    ASSERT_EQ(p()->Sequence(Info(1000, 10.0), "movie"), 0);
    ASSERT_EQ(p()->Sequence(Info(500, 5.0), "extra"), 1);
    ASSERT_EQ(p()->AddEntry("movie", 2.2, "chapter"), 0);
    CPbcPlay* list = new CPbcPlay("play");
    list->itemIds.push_back("menu");
    list->itemIds.push_back("movie");
    ASSERT_EQ(p()->AddPbc(list), 0);
    ASSERT_GT(p()->ImageSize(), 0) << messages.All();
    ASSERT_EQ(p()->GetIsoSize(), 558);
  }
};

TEST_F(VcdDiscBytes, InfoHeaderAndSegmentContent) {
  uint8_t info[2048];
  VcdWriteInfo(p(), info);
  EXPECT_EQ(Hex(info, 30),
            "56 49 44 45 4F 5F 43 44 02 00 "                          // VIDEO_CD, 2.0
            "41 4C 42 55 4D 20 20 20 20 20 20 20 20 20 20 20 "       // album id
            "00 01 00 01");                                          // volume 1 of 1
  EXPECT_EQ(Hex(info + 30, 13), "03 00 00 00 00 00 00 00 00 00 00 00 00");  // both tracks PAL
  EXPECT_EQ(Hex(info + 43, 15),
            "80 "           // extended PSD present, no restriction
            "00 00 00 18 "  // PSD of one 18-byte list, rounded to 24
            "00 05 00 "     // first segment at 225 + 150 = 00:05:00
            "08 00 01 00 02 "  // offset multiplier, 1 list id, 2 segments
            "1E 3E");          // video 7 (tall E0) and stereo audio; then continued
  for (int i = 58; i < 2048; ++i) ASSERT_EQ(info[i], 0) << i;
}

TEST_F(VcdDiscBytes, EntriesOfTrackStartsAndEntryPoints) {
  uint8_t entries[2048];
  VcdWriteEntries(p(), entries);
  EXPECT_EQ(Hex(entries, 12 + 3 * 4),
            "45 4E 54 52 59 56 43 44 02 00 00 03 "  // ENTRYVCD, version 2, 3 entries
            "02 00 11 33 "   // track 2 at 558 + 150 + 150 = 00:11:33
            "02 00 14 38 "   // its entry: + 30 margin + packet 200
            "03 00 27 58");  // track 3 at 558 + 1375 + 150
  for (int i = 24; i < 2048; ++i) ASSERT_EQ(entries[i], 0) << i;
}

TEST_F(VcdDiscBytes, LotAndPsd) {
  std::vector<uint8_t> lot(kVcdLotSize);
  VcdWriteLot(p(), lot.data(), 0);
  EXPECT_EQ(Hex(lot.data(), 6), "00 00 00 00 FF FF");  // reserved slot, list id 1 at offset 0
  EXPECT_EQ(lot.back(), 0xFF);
  uint8_t psd[2048];
  ASSERT_EQ(VcdWritePsd(p(), psd, sizeof psd, 0), 0);
  EXPECT_EQ(Hex(psd, 18), "10 02 00 01 FF FF FF FF FF FF 00 00 00 00 03 E8 00 02");
}

TEST_F(VcdDiscBytes, DictionaryPlacesAndFlags) {
  EXPECT_EQ(DictSector("pvd"), 16);
  EXPECT_EQ(DictSector("evd"), 17);
  EXPECT_EQ(DictSector("info"), 150);
  EXPECT_EQ(DictSector("entries"), 151);
  EXPECT_EQ(DictSector("lot"), 152);
  EXPECT_EQ(DictSector("psd"), 184);
  EXPECT_EQ(DictSector("lot_x"), 525);
  EXPECT_EQ(DictSector("psd_x"), 557);
  EXPECT_EQ(p()->Dictionary().SectorFlags(183), 0x80);
  EXPECT_EQ(p()->Dictionary().SectorFlags(182), 0);
  EXPECT_EQ(p()->Dictionary().SectorFlags(16), 0x01);
  EXPECT_EQ(p()->Dictionary().SectorFlags(17), 0x81);
  // The directory was written at layout: its first record is ".", at 18.
  uint8_t* dir = Dict("dir");
  ASSERT_NE(dir, nullptr);
  EXPECT_EQ(dir[0], 48);  // 34 bytes + the 14 XA bytes
  EXPECT_EQ(dir[2], 18);
  CVcdDirNode* lotx = Node("EXT/LOT_X.VCD");
  ASSERT_NE(lotx, nullptr);
  EXPECT_EQ(lotx->GetXaFileNumber(), 1);
  EXPECT_EQ(lotx->GetXaAttributes(), kXaAttributesForm1);
}

TEST_F(LayoutTest, SegmentOfThreeSegmentsWritesThreeContentBytes) {
  Make(kVcdTypeSvcd);
  MpegStreamInfo* still = Info(301, 1.0, true);
  still->audio[0].seen = 0;
  ASSERT_EQ(p()->Segment(still, "still"), 0);
  ASSERT_EQ(p()->Sequence(Info(500, 20.0, true)), 0);
  ASSERT_GT(p()->ImageSize(), 0);
  uint8_t info[2048];
  VcdWriteInfo(p(), info);
  EXPECT_EQ(Hex(info + 54, 6), "00 03 1C 3C 3C 00");  // video 7, no audio; continued twice
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "segment items available, but no PBC items set!"));
}

TEST_F(LayoutTest, Vcd11HasVersion1AndProfile1) {
  Make(kVcdType11);
  ASSERT_EQ(p()->Sequence(Info(500, 20.0)), 0);
  ASSERT_GT(p()->ImageSize(), 0);
  uint8_t info[2048], entries[2048];
  VcdWriteInfo(p(), info);
  VcdWriteEntries(p(), entries);
  EXPECT_EQ(Hex(info, 10), "56 49 44 45 4F 5F 43 44 01 01");
  EXPECT_EQ(Hex(info + 30, 14), "00 00 00 00 00 00 00 00 00 00 00 00 00 00");  // no PAL bits, no flags
  EXPECT_EQ(Hex(entries, 10), "45 4E 54 52 59 56 43 44 01 00");
}

// ---------------------------------------------------------------------------
// SVCD tables

TEST_F(LayoutTest, TracksSvdClipsLongTracks) {
  Make(kVcdTypeSvcd);
  ASSERT_EQ(p()->Sequence(Info(1000, 10.2, true)), 0);
  ASSERT_EQ(p()->Sequence(Info(1000, 6100.0, true)), 1);
  uint8_t tracks[2048];
  VcdWriteTracksSvd(p(), tracks);
  EXPECT_EQ(Hex(tracks, 11 + 6 + 2),
            "54 52 41 43 4B 53 56 44 01 00 02 "  // TRACKSVD, version 1, 2 tracks
            "00 10 15 "   // 10.2 s: 00:10 and 0.2 x 75 = 15 frames
            "99 59 74 "   // 6100 s, clipped
            "1D 1D");     // stereo (SVCD: one stream, 1), tall video 7
  EXPECT_TRUE(messages.Has(kVcdMsgWarning,
                           "SVCD/TRACKS.SVD: playing time value (6100 seconds) to great, clipping to 100 minutes"));
}

TEST_F(LayoutTest, ScanTablesHaveAPointEveryHalfSecond) {
  Make(kVcdTypeSvcd);
  ASSERT_EQ(p()->Sequence(Info(1000, 10.2, true)), 0);
  ASSERT_EQ(p()->Sequence(Info(500, 4.0, true)), 1);
  ASSERT_GT(p()->ImageSize(), 0);
  // 10.2 s: 21 points; 4.0 s: 8; 14.2 s together: 29.
  EXPECT_EQ(VcdScanPointCount(10.2), 21);
  EXPECT_EQ(VcdSearchDatSize(p()), 13 + 3 * 29);
  EXPECT_EQ(VcdScandataDatSize(p()), 18 + 12 + 3 * 29);

  std::vector<uint8_t> scan(static_cast<size_t>(VcdScandataDatSize(p())));
  ASSERT_EQ(VcdWriteScandataDat(p(), scan.data(), scan.size()), 0);
  EXPECT_EQ(Hex(scan.data(), 18 + 12),
            "53 43 41 4E 5F 56 43 44 01 00 00 1D 00 02 00 00 "  // SCAN_VCD, 29 points, 2 tracks
            "00 10 15 00 14 15 "                                 // ends at 10.2 s and 14.2 s
            "00 06 "                                             // 3n
            "02 00 06 03 00 45");  // track 2 from index 6, track 3 from 6 + 63
  // Track 2 starts at ISO size 300 + 150; its access points lie every 50
  // packets and half second: point k is packet 50k, address 450 + 50k + 150.
  const uint8_t* points = scan.data() + 30;
  EXPECT_EQ(Hex(points, 6), "00 08 00 00 08 50");       // 600 and 650
  EXPECT_EQ(Hex(points + 3 * 20, 3), "00 20 50");       // t = 10 s: packet 950 (9.5 s, the last)
  uint8_t search[13 + 3 * 29];
  ASSERT_EQ(VcdWriteSearchDat(p(), search, sizeof search), 0);
  EXPECT_EQ(Hex(search, 16), "53 45 41 52 43 48 53 56 01 00 00 1D 01 00 08 00");
}

TEST(ScanPointWalk, NearestWithTiesKeepingTheEarlier) {
  std::vector<double> times = {0.0, 0.75, 1.25, 3.0};
  // t = 0, 0.5, 1.0, 1.5, 2.0: 1.0 lies as near to 0.75 as to 1.25.
  EXPECT_EQ(VcdNearestScanPoints(times, 5), (std::vector<int>{0, 1, 1, 2, 2}));
  EXPECT_EQ(VcdNearestScanPoints({}, 3), (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ(VcdScanPointCount(0.0), 0);
  EXPECT_EQ(VcdScanPointCount(0.5), 1);
  EXPECT_EQ(VcdScanPointCount(-3.0), 0);
}

TEST(PlayingTimeBytes, WholeSecondsAndFrames) {
  uint8_t bytes[3];
  VcdPutPlayingTime(bytes, 3599.99);
  EXPECT_EQ(Hex(bytes, 3), "59 59 74");
  VcdPutPlayingTime(bytes, 61.5);
  EXPECT_EQ(Hex(bytes, 3), "01 01 37");
}

}  // namespace
