// The project model without MPEG files: capabilities and parameters by
// type, item ids and play item numbers, entries and pauses in time order,
// the disc's limits, the file dictionary's placement rules and the image
// size. Synthetic stream information stands in for scanned files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/tests/capture_window.h"
#include "discimage/tests/test_support.h"
#include "discimage/iso9660/vcd_custom_file.h"
#include "discimage/base/vcd_stream.h"
#include "discimage/model/vcd_project.h"

namespace {

// One reported text with its level.
struct Said {
  int level;
  std::string text;
  bool operator==(const Said& other) const { return level == other.level && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const Said& said) {
  return out << "{" << said.level << ", \"" << said.text << "\"}";
}

// A message sink that shows everything and keeps it, handing it over as
// level and line.
class Messages : public CapturingSink {
public:
  // The texts so far, without their line feeds; they are cleared.
  std::vector<Said> Take() {
    std::vector<Said> said;
    for (const CapturedMessage& m : messages)
      if (!m.isRecord) {
        std::string text = m.text;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        said.push_back(Said{static_cast<int>(m.wParam), text});
      }
    Clear();
    return said;
  }
};

// A project whose track 1 layout is a fixed ISO size, and whose add
// operations can take stream information without a file behind it.
class TestProject : public CVcdObj {
public:
  // infos keeps the stream information the items point at; it must outlive
  // the project, whose destruction still reads it.
  TestProject(CVcdMessageSink* messages, int type, std::deque<MpegStreamInfo>* infos)
      : CVcdObj(messages, type), infos(*infos) {}
  ~TestProject() override {}

  int isoSizeForLayout = kVcdMinIsoSectors;  // what a small project's track 1 takes
  int layouts = 0;

  MpegStreamInfo* Info(int packets, int version = 1, int width = 352, int height = 240,
                       double fps = 29.97) {
    infos.emplace_back();
    MpegStreamInfo& info = infos.back();
    memset(&info, 0, sizeof info);
    info.packetCount = packets;
    info.version = version;
    info.video[0].seen = 1;
    info.video[0].horizontalSize = width;
    info.video[0].verticalSize = height;
    info.video[0].frameRate = fps;
    return &info;
  }
  // AddSequence without a file: the checks, then the stream information.
  int Sequence(const char* id, int packets = 1000, const char* defaultEntryId = NULL) {
    if (CheckNewSequence(id, defaultEntryId) != 0) return -1;
    return AppendSequence(NULL, Info(packets), id, defaultEntryId);
  }
  int SequenceWith(MpegStreamInfo* info, const char* id) {
    if (CheckNewSequence(id, NULL) != 0) return -1;
    return AppendSequence(NULL, info, id, NULL);
  }
  int Segment(const char* id, int packets) {
    if (CheckNewSegment(id) != 0) return -1;
    return AppendSegment(NULL, Info(packets), id);
  }

protected:
  int LayOutTrack1() override {
    ++layouts;
    m_isoSize = isoSizeForLayout;
    return 0;
  }

private:
  std::deque<MpegStreamInfo>& infos;
};

struct ProjectDeleter {
  void operator()(CVcdObj* project) const { project->Destroy(); }
};

class ProjectTest : public ::testing::Test {
protected:
  TestProject* Make(int type) {
    project.reset(new TestProject(&messages.sink, type, &infos));
    return project.get();
  }
  TestProject* p() { return project.get(); }

  Messages messages;
  std::deque<MpegStreamInfo> infos;  // outlives every project of the test
  std::unique_ptr<TestProject, ProjectDeleter> project;
};

std::vector<std::string> EntryIds(const CMpegSequence* sequence) {
  std::vector<std::string> ids;
  for (POSITION pos = sequence->Entries().GetHeadPosition(); pos != NULL;) {
    const CVcdEntry* entry = static_cast<const CVcdEntry*>(sequence->Entries().GetNext(pos));
    ids.push_back(entry->GetId() != NULL ? entry->GetId() : "-");
  }
  return ids;
}

std::vector<double> PauseTimes(const CVcdTimedList& pauses) {
  std::vector<double> times;
  for (POSITION pos = pauses.GetHeadPosition(); pos != NULL;)
    times.push_back(static_cast<const CVcdPause*>(pauses.GetNext(pos))->GetTime());
  return times;
}

// ---------------------------------------------------------------------------
// Creation and capabilities

TEST(ProjectCreate, RefusesUnknownTypesAndWarnsAboutVcd10) {
  for (int type : {0, 6, -1}) {
    Messages messages;
    EXPECT_EQ(CreateVcdObj(&messages.sink, type), nullptr) << type;
    EXPECT_EQ(messages.Take(), (std::vector<Said>{
                                   {kVcdMsgDebug, "initializing discimage 6.0.7.10 [win32]"},
                                   {kVcdMsgError, "VCD type not supported"}}));
  }
  Messages messages;
  CVcdObj* project = CreateVcdObj(&messages.sink, kVcdType10);
  ASSERT_NE(project, nullptr);
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "VCD 1.0 support is experimental -- user feedback needed!"));
  project->Destroy();
}

TEST(ProjectCreate, DefaultsFollowTheType) {
  struct Case {
    int type, front, rear;
  } cases[] = {{1, 30, 45}, {2, 30, 45}, {3, 30, 45}, {4, 0, 0}, {5, 0, 0}};
  for (const Case& c : cases) {
    Messages messages;
    CVcdObj* project = CreateVcdObj(&messages.sink, c.type);
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project->GetPregap(), 150);
    EXPECT_EQ(project->GetFrontMargin(), c.front) << c.type;
    EXPECT_EQ(project->GetRearMargin(), c.rear) << c.type;
    EXPECT_EQ(project->GetVolumeCount(), 1);
    EXPECT_EQ(project->GetVolumeNumber(), 1);
    EXPECT_EQ(project->GetRestriction(), 0);
    project->Destroy();
  }
}

TEST_F(ProjectTest, CapabilitiesByType) {
  // Per capability 0-7, the types (1-5) that have it, as "12345" columns.
  const char* const table[] = {
      "11111",  // 0 supported
      "11100",  // 1 MPEG-1 tracks
      "00011",  // 2 MPEG-2 tracks
      "00111",  // 3 PBC and segment items
      "00100",  // 4 extended PSD / LOT in EXT
      "11100",  // 5 track margins
      "00011",  // 6 SVCD information files
      "00111",  // 7 entries and PBC on tracks
  };
  for (int type = 0; type <= 6; ++type) {
    Make(type);
    for (int capability = -1; capability <= 8; ++capability) {
      bool expected = type >= 1 && type <= 5 && capability >= 0 && capability <= 7 &&
                      table[capability][type - 1] == '1';
      EXPECT_EQ(p()->HasCapability(capability), expected)
          << "type " << type << " capability " << capability;
    }
  }
}

// ---------------------------------------------------------------------------
// Parameters

struct ParamCase {
  const char* name;
  int type;
  int key;
  const char* text;  // text value, or NULL for the number
  int number;
  int result;
  std::vector<Said> said;
  std::function<std::string(const CVcdObj&)> stored;  // what the project holds afterwards
  std::string expected;
};

std::string Num(int value) { return std::to_string(value); }

const std::string k40(40, 'L');
const std::string k128(128, 'P');
const std::string k129 = k128 + "X";

std::vector<ParamCase> ParamCases() {
  auto label = [](const CVcdObj& o) { return std::string(o.GetVolumeLabel()); };
  auto publisher = [](const CVcdObj& o) { return std::string(o.GetPublisherId()); };
  auto album = [](const CVcdObj& o) { return std::string(o.GetAlbumId()); };
  auto application = [](const CVcdObj& o) { return std::string(o.GetApplicationId()); };
  auto count = [](const CVcdObj& o) { return Num(o.GetVolumeCount()); };
  auto number = [](const CVcdObj& o) { return Num(o.GetVolumeNumber()); };
  auto restriction = [](const CVcdObj& o) { return Num(o.GetRestriction()); };
  auto pregap = [](const CVcdObj& o) { return Num(o.GetPregap()); };
  auto front = [](const CVcdObj& o) { return Num(o.GetFrontMargin()); };
  auto rear = [](const CVcdObj& o) { return Num(o.GetRearMargin()); };
  auto lid2 = [](const CVcdObj& o) { return Num(o.GetNextVolumeLid2()); };
  auto seq2 = [](const CVcdObj& o) { return Num(o.GetNextVolumeSequence2()); };
  auto mpegav = [](const CVcdObj& o) { return Num(o.GetSvcdMpegavFolder()); };
  auto entrysvd = [](const CVcdObj& o) { return Num(o.GetSvcdEntrySvd()); };
  auto tracksvd = [](const CVcdObj& o) { return Num(o.GetSvcdTrackSvd()); };
  auto scan = [](const CVcdObj& o) { return Num(o.GetUpdateScanOffsets()); };
  auto relaxed = [](const CVcdObj& o) { return Num(o.GetRelaxedAps()); };
  auto leadout = [](const CVcdObj& o) { return Num(o.GetLeadoutPause()); };
  const int W = kVcdMsgWarning, I = kVcdMsgInfo, D = kVcdMsgDebug;
  return {
      {"label40", 3, 1, k40.c_str(), 0, 0,
       {{W, "Volume label too long, will be truncated (max=32)"},
        {I, "changed volume label to '" + std::string(32, 'L') + "'"}},
       label, std::string(32, 'L')},
      {"publisher128", 3, 2, k128.c_str(), 0, 0, {{I, "changed publisher id to '" + k128 + "'"}},
       publisher, k128},
      {"album17", 4, 3, "ABCDEFGHIJKLMNOPQ", 0, 0,
       {{W, "Album ID too long, will be truncated (max=16)"},
        {I, "changed album id to 'ABCDEFGHIJKLMNOP'"}},
       album, "ABCDEFGHIJKLMNOP"},
      {"application129", 3, 9, k129.c_str(), 0, 0,
       {{W, "Application ID too long, will be truncated (max=128)"},
        {I, "changed application id to '" + k128 + "'"}},
       application, k128},
      {"countZero", 3, 4, NULL, 0, 0, {{W, "volume count out of range, clamping to range"}}, count,
       "1"},
      {"countHuge", 3, 4, NULL, 65536, 0,
       {{W, "volume count out of range, clamping to range"}, {I, "changed volume count to 65535"}},
       count, "65535"},
      {"number7", 3, 5, NULL, 7, 0, {{I, "changed volume number to 7"}}, number, "7"},
      {"numberNegative", 3, 5, NULL, -4, 0,
       {{W, "volume number out of range, clamping to range"}}, number, "1"},
      {"restriction5", 3, 6, NULL, 5, 0,
       {{W, "restriction out of range, clamping to range"}, {I, "changed restriction number to 3"}},
       restriction, "3"},
      {"pregapZero", 3, 17, NULL, 0, 0,
       {{W, "pregap out of range, clamping to allowed range"},
        {W, "track pre gap set below 150 sectors; created (s)vcd may be non-working"},
        {I, "changed pregap to 1"}},
       pregap, "1"},
      {"pregap400", 4, 17, NULL, 400, 0,
       {{W, "pregap out of range, clamping to allowed range"}, {I, "changed pregap to 300"}},
       pregap, "300"},
      {"pregapSame", 3, 17, NULL, 150, 0, {}, pregap, "150"},
      {"frontSmallVcd", 3, 18, NULL, 10, 0,
       {{W, "front margin set smaller than recommended (10 < 15 sectors) for disc type used"},
        {I, "changed front margin to 10"}},
       front, "10"},
      {"frontSmallSvcd", 4, 18, NULL, 10, 0, {{I, "changed front margin to 10"}}, front, "10"},
      {"rearHuge", 2, 19, NULL, 200, 0,
       {{W, "rear margin out of range, clamping to allowed range"}, {I, "changed rear margin to 150"}},
       rear, "150"},
      {"rearSmallVcd", 1, 19, NULL, 0, 0,
       {{W, "rear margin set smaller than recommended (0 < 15 sectors) for disc type used"},
        {I, "changed rear margin to 0"}},
       rear, "0"},
      {"lid2", 3, 7, NULL, 1, 0, {{I, "changing 'next volume use lid 2' to 1"}}, lid2, "1"},
      {"seq2", 3, 8, NULL, 5, 0, {{I, "changing 'next volume use sequence 2' to 1"}}, seq2, "1"},
      {"mpegavSvcd", 4, 11, NULL, 1, 0,
       {{W, "!! enabling deprecated VCD3.0 MPEGAV folder -- SVCD will not be IEC62107 compliant !!"}},
       mpegav, "1"},
      {"mpegavVcd", 3, 11, NULL, 1, 0, {}, mpegav, "0"},
      {"mpegavHq", 5, 11, NULL, 1, 0, {}, mpegav, "0"},
      {"entrysvd", 4, 12, NULL, 1, 0,
       {{W, "!! enabling deprecated VCD3.0 ENTRYSVD signature -- SVCD will not be IEC62107 compliant !!"}},
       entrysvd, "1"},
      {"tracksvd", 4, 13, NULL, 1, 0,
       {{W, "!! enabling deprecated VCD3.0 TRACK.SVD format -- SVCD will not be IEC62107 compliant !!"}},
       tracksvd, "1"},
      {"scanSvcd", 5, 14, NULL, 1, 0, {{D, "changing 'update scan offsets' to 1"}}, scan, "1"},
      {"scanVcd", 3, 14, NULL, 1, 0, {}, scan, "0"},
      {"relaxed", 3, 15, NULL, 1, 0, {{I, "changing 'relaxed aps' to 1"}}, relaxed, "1"},
      {"leadout", 4, 16, NULL, 1, 0, {{I, "changing 'leadout pause' to 1"}}, leadout, "1"},
      {"leadoutOff", 4, 16, NULL, 0, 0, {}, leadout, "0"},
      {"unknownNumber", 3, 10, NULL, 1, -1, {}, nullptr, ""},
      {"unknownText", 3, 20, "x", 0, -1, {}, nullptr, ""},
      {"unknownZero", 3, 0, NULL, 0, -1, {}, nullptr, ""},
      {"numberForText", 3, 1, NULL, 5, -2, {}, label, ""},
      {"textForNumber", 3, 4, "5", 0, -2, {}, count, "1"},
  };
}

class ParameterTable : public ProjectTest, public ::testing::WithParamInterface<ParamCase> {};

TEST_P(ParameterTable, SetsClampsCutsAndReports) {
  const ParamCase& c = GetParam();
  Make(c.type);
  int result = c.text != NULL ? p()->SetParameter(c.key, c.text) : p()->SetParameter(c.key, c.number);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(messages.Take(), c.said);
  if (c.stored) {
    EXPECT_EQ(c.stored(*p()), c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, ParameterTable, ::testing::ValuesIn(ParamCases()),
                         [](const ::testing::TestParamInfo<ParamCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ProjectTest, NullTextIsABadValue) {
  Make(kVcdType20);
  EXPECT_EQ(p()->SetParameter(kVcdParamPublisherId, static_cast<const char*>(NULL)), -2);
  EXPECT_TRUE(messages.Take().empty());
}

TEST_F(ProjectTest, EqualValueChangesNothingAndSaysNothing) {
  Make(kVcdType20);
  EXPECT_EQ(p()->SetParameter(kVcdParamVolumeLabel, "DISC"), 0);
  messages.Clear();
  EXPECT_EQ(p()->SetParameter(kVcdParamVolumeLabel, "DISC"), 0);
  EXPECT_EQ(p()->SetParameter(kVcdParamRelaxedAps, 0), 0);
  EXPECT_EQ(p()->SetParameter(kVcdParamFrontMargin, 30), 0);
  EXPECT_TRUE(messages.Take().empty());
}

TEST_F(ProjectTest, MarginsAndPregapMoveTheTracksAlreadyAdded) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence("a", 1000), 0);
  ASSERT_EQ(p()->Sequence("b", 500), 1);
  CMpegSequence* b = p()->Sequences().FindById("b");
  EXPECT_EQ(b->GetRelativeStart(), 150 + 30 + 1000 + 45 + 150);
  EXPECT_EQ(p()->GetSequenceCursor(), 2 * (150 + 30 + 45) + 1500);
  p()->SetParameter(kVcdParamTrackPregap, 100);
  p()->SetParameter(kVcdParamFrontMargin, 0);
  EXPECT_EQ(b->GetRelativeStart(), 100 + 1000 + 45 + 100);
  EXPECT_EQ(p()->GetSequenceCursor(), 2 * (100 + 45) + 1500);
}

// ---------------------------------------------------------------------------
// Item ids and play item numbers

TEST_F(ProjectTest, PlayItemNumbersCountTracksEntriesAndSegments) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Segment("still", 200), 0);  // 2 segments: 1000, 1001
  ASSERT_EQ(p()->Segment("clip", 10), 0);    // 1002
  ASSERT_EQ(p()->Sequence("s1", 1000, "d1"), 0);
  ASSERT_EQ(p()->AddEntry("s1", 20.0, "e2"), 0);
  ASSERT_EQ(p()->AddEntry("s1", 10.0, "e1"), 0);
  ASSERT_EQ(p()->Sequence("s2", 1000, "d2"), 1);
  ASSERT_EQ(p()->AddEntry(NULL, 5.0, "e3"), 0);  // the last sequence
  ASSERT_EQ(p()->AddPbc(new CPbc(kPbcPlayList, "menu")), 0);
  ASSERT_EQ(p()->AddPbc(new CPbc(kPbcEndList, "end")), 0);

  struct Case {
    const char* id;
    int number, kind;
  } cases[] = {
      {"s1", 2, 2},       {"S2", 3, 2},       {"d1", 100, 3},      {"e1", 101, 3},
      {"e2", 102, 3},     {"D2", 103, 3},     {"e3", 104, 3},      {"E3", 0, 0},
      {"still", 1000, 4}, {"CLIP", 1002, 4},  {"MENU", 1, 5},      {"end", 2, 5},
      {"none", 0, 0},     {"", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(p()->ItemNumber(c.id), c.number) << c.id;
    EXPECT_EQ(p()->ItemKind(c.id), c.kind) << c.id;
  }
  EXPECT_EQ(p()->ItemNumber(NULL), 0);

  // An entry put before the others of the first track moves every later one.
  ASSERT_EQ(p()->AddEntry("s1", 1.0, "e0"), 0);
  EXPECT_EQ(p()->ItemNumber("e0"), 101);
  EXPECT_EQ(p()->ItemNumber("e2"), 103);
  EXPECT_EQ(p()->ItemNumber("d2"), 104);
  EXPECT_EQ(p()->EntryPointTotal(), 6);
}

TEST_F(ProjectTest, IdsInUseAreRefused) {
  Make(kVcdTypeSvcd);
  ASSERT_EQ(p()->Segment("pic", 1), 0);
  ASSERT_EQ(p()->Sequence("movie", 1000, "start"), 0);
  ASSERT_EQ(p()->AddEntry("movie", 3.0, "Chapter"), 0);
  ASSERT_EQ(p()->AddPbc(new CPbc(kPbcPlayList, "menu")), 0);
  messages.Clear();

  EXPECT_EQ(p()->Sequence("MOVIE"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "item id (MOVIE) exist already"));
  EXPECT_EQ(p()->Sequence("m2", 10, "Start"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "default entry id (Start) exist already"));
  EXPECT_EQ(p()->Sequence("same", 10, "same"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "default entry id == item id (same)"));
  EXPECT_EQ(p()->Segment("Pic", 1), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "item id (Pic) exists already"));
  EXPECT_EQ(p()->AddEntry("movie", 4.0, "Chapter"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "item id (Chapter) exists already"));
  CPbc* clash = new CPbc(kPbcSelectionList, "PIC");
  EXPECT_EQ(p()->AddPbc(clash), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "pbc id (PIC) exists already"));
  delete clash;
  // Entry ids are compared exactly: another case is another id.
  EXPECT_EQ(p()->AddEntry("movie", 4.0, "chapter"), 0);
  // Lists without an id never clash.
  EXPECT_EQ(p()->AddPbc(new CPbc(kPbcEndList, "")), 0);
  EXPECT_EQ(p()->AddPbc(new CPbc(kPbcEndList, NULL)), 0);
  EXPECT_EQ(p()->Sequences().GetCount(), 1);
  EXPECT_EQ(p()->Segments().GetCount(), 1);
}

TEST_F(ProjectTest, SegmentsAndPlaybackListsNeedTheCapability) {
  Make(kVcdType11);
  EXPECT_EQ(p()->Segment("pic", 1), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "segment play items not supported for this vcd type"));
  CPbc* list = new CPbc(kPbcPlayList, "menu");
  EXPECT_EQ(p()->AddPbc(list), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "PBC not supported for current VCD type"));
  delete list;
  Make(kVcdType20);
  EXPECT_EQ(p()->Segment("", 1), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "no id given for segment play item"));
  EXPECT_EQ(p()->Segment("empty", 0), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "mpeg is empty?"));
  EXPECT_EQ(p()->ItemNumber("empty"), 0);
}

TEST_F(ProjectTest, RemovingASequenceMovesTheLaterTracksAndFreesItsIds) {
  Make(kVcdType20);
  p()->Sequence("a", 100, "da");
  p()->Sequence("b", 200, "db");
  p()->Sequence("c", 300);
  p()->AddEntry("b", 1.0, "eb");
  CMpegSequence* b = p()->Sequences().FindById("b");
  CMpegSequence* c = p()->Sequences().FindById("c");
  int startB = b->GetRelativeStart();
  ASSERT_TRUE(p()->RemoveSequence(b));
  EXPECT_EQ(c->GetRelativeStart(), startB);
  EXPECT_EQ(p()->GetSequenceCursor(), 3 * 0 + 2 * (150 + 30 + 45) + 400);
  EXPECT_EQ(p()->ItemNumber("b"), 0);
  EXPECT_EQ(p()->ItemNumber("eb"), 0);
  EXPECT_EQ(p()->ItemNumber("db"), 0);
  EXPECT_EQ(p()->ItemNumber("c"), 3);
  EXPECT_FALSE(p()->RemoveSequence(b = NULL));
  // The ids are free again.
  EXPECT_EQ(p()->Sequence("b", 10, "eb"), 2);
}

// ---------------------------------------------------------------------------
// Entries and pauses

TEST_F(ProjectTest, EntriesAndPausesStandInTimeOrder) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence("movie"), 0);
  ASSERT_EQ(p()->AddEntry("movie", 10.0, "first10"), 0);
  ASSERT_EQ(p()->AddEntry("movie", 2.5, "e25"), 0);
  ASSERT_EQ(p()->AddEntry("movie", 10.0, "second10"), 0);
  ASSERT_EQ(p()->AddEntry("movie", 0.0, NULL), 0);
  CMpegSequence* movie = p()->Sequences().FindById("movie");
  EXPECT_EQ(EntryIds(movie), (std::vector<std::string>{"-", "e25", "first10", "second10"}));

  messages.Clear();
  ASSERT_EQ(p()->AddSequencePause(NULL, 7.0, NULL), 0);
  ASSERT_EQ(p()->AddSequencePause("MOVIE", 3.0, "p"), 0);
  ASSERT_EQ(p()->AddSequencePause("movie", 7.0, NULL), 0);
  EXPECT_EQ(PauseTimes(movie->Pauses()), (std::vector<double>{3.0, 7.0, 7.0}));
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "pause id ignored..."));
  EXPECT_TRUE(messages.Has(kVcdMsgDebug, "added autopause point at 7.000000"));
  // The record never keeps a pause id.
  for (POSITION pos = movie->Pauses().GetHeadPosition(); pos != NULL;)
    EXPECT_EQ(static_cast<CVcdPause*>(movie->Pauses().GetNext(pos))->Record()->id, nullptr);

  ASSERT_EQ(p()->Segment("pic", 10), 0);
  ASSERT_EQ(p()->AddSegmentPause(NULL, 1.5, NULL), 0);
  ASSERT_EQ(p()->AddSegmentPause("PIC", 0.5, NULL), 0);
  EXPECT_EQ(PauseTimes(p()->Segments().FindById("pic")->Pauses()),
            (std::vector<double>{0.5, 1.5}));
}

TEST_F(ProjectTest, PointsForUnknownItemsAndBadTimesAreRefused) {
  Make(kVcdType20);
  EXPECT_EQ(p()->AddEntry(NULL, 1.0, "x"), -1);  // no sequence at all
  EXPECT_EQ(p()->AddSegmentPause(NULL, 1.0, NULL), -1);
  p()->Sequence("movie");
  messages.Clear();
  EXPECT_EQ(p()->AddEntry("film", 1.0, "x"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "sequence id `film' not found"));
  EXPECT_EQ(p()->AddSequencePause("film", 1.0, NULL), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "sequence id 'film' not found"));
  EXPECT_EQ(p()->AddSegmentPause("pic", 1.0, NULL), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "segment id 'pic' not found"));
  EXPECT_EQ(p()->AddEntry("movie", std::nan(""), "x"), -1);
  EXPECT_EQ(p()->AddSequencePause("movie", INFINITY, NULL), -1);
  EXPECT_EQ(p()->Sequences().FindById("movie")->EntryCount(), 0);
  EXPECT_EQ(p()->ItemNumber("x"), 0);
}

// Insertion from the tail must give the order a stable sort gives, however
// the times arrive.
TEST(VcdTimedList, InsertByTimeMatchesAStableSort) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    CVcdTimedList list;
    std::vector<std::pair<double, int>> expected;
    for (int i = 0; i < 200; ++i) {
      double time = static_cast<double>(random() % 50) / 2;
      char id[16];
      snprintf(id, sizeof id, "%d", i);
      list.InsertByTime(new CVcdEntry(time, id));
      expected.emplace_back(time, i);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::pair<double, int>& a, const std::pair<double, int>& b) {
                       return a.first < b.first;
                     });
    int index = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL; ++index) {
      CVcdEntry* entry = static_cast<CVcdEntry*>(list.GetNext(pos));
      ASSERT_EQ(entry->GetTime(), expected[index].first);
      ASSERT_EQ(std::string(entry->GetId()), std::to_string(expected[index].second));
      ASSERT_EQ(entry->GetParentList(), &list);
    }
    list.Clear(1);
  }
}

// ---------------------------------------------------------------------------
// Limits of the disc

TEST_F(ProjectTest, NinetyEightTracksAtMost) {
  Make(kVcdType20);
  for (int i = 0; i < kVcdMaxSequences; ++i) ASSERT_EQ(p()->Sequence(NULL, 10), i);
  messages.Clear();
  EXPECT_EQ(p()->Sequence("extra", 10), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "only 98 sequences (tracks 2 to 99) allowed!"));
  EXPECT_EQ(p()->Sequences().GetCount(), kVcdMaxSequences);
  EXPECT_EQ(p()->ItemNumber("extra"), 0);
}

TEST_F(ProjectTest, NinetyNineEntriesPerTrackAndFiveHundredEntryPoints) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence("t0"), 0);
  for (int i = 0; i < kVcdMaxEntriesPerSequence; ++i) ASSERT_EQ(p()->AddEntry("t0", i, NULL), 0);
  messages.Clear();
  EXPECT_EQ(p()->AddEntry("t0", 200.0, "over"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "only 99 entries per sequence allowed!"));

  // Four more full tracks: 5 track starts + 5 x 99 entries = 500 entry points.
  for (int t = 1; t <= 4; ++t) {
    ASSERT_EQ(p()->Sequence(("t" + std::to_string(t)).c_str()), t);
    for (int i = 0; i < kVcdMaxEntriesPerSequence - (t == 4 ? 1 : 0); ++i)
      ASSERT_EQ(p()->AddEntry(NULL, i, NULL), 0);
  }
  EXPECT_EQ(p()->EntryPointTotal(), 499);
  ASSERT_EQ(p()->AddEntry(NULL, 500.0, "last"), 0);
  EXPECT_EQ(p()->ItemNumber("last"), 599);
  messages.Clear();
  // A new track would need an entry point for its start.
  EXPECT_EQ(p()->Sequence("t5"), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "only 500 entry points allowed in total"));
  EXPECT_EQ(p()->AddEntry("t0", 1.0, NULL), -1);
  EXPECT_EQ(p()->EntryPointTotal(), 500);
}

TEST_F(ProjectTest, NineteenHundredEightySegmentsAtMost) {
  Make(kVcdTypeSvcd);
  EXPECT_EQ(CMpegSegment::SegmentsFor(150), 1);
  EXPECT_EQ(CMpegSegment::SegmentsFor(151), 2);
  EXPECT_EQ(CMpegSegment::SegmentsFor(0), 0);
  // 13 items of 150 segments, then one of 30: exactly 1980.
  for (int i = 0; i < 13; ++i)
    ASSERT_EQ(p()->Segment(("big" + std::to_string(i)).c_str(), 150 * 150), 0);
  ASSERT_EQ(p()->Segment("fill", 29 * 150 + 1), 0);
  EXPECT_EQ(p()->SegmentTotal(), 1980);
  EXPECT_EQ(p()->ItemNumber("fill"), 1000 + 13 * 150);
  messages.Clear();
  EXPECT_EQ(p()->Segment("one", 1), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "segment play item 'one' needs 1 segment(s), but only 0 of 1980 are left"));
  EXPECT_EQ(p()->Segments().GetCount(), 14);
}

TEST(SegmentList, FindsByIdWithoutRegardToCaseButNeverAnEmptyId) {
  CSegmentList list;
  CMpegSegment* unnamed = new CMpegSegment();
  CMpegSegment* named = new CMpegSegment();
  named->SetId("Title");
  list.Append(unnamed);
  list.Append(named);
  EXPECT_EQ(list.FindById("tITLE"), named);
  EXPECT_EQ(list.FindById(""), nullptr);
  EXPECT_EQ(list.FindById(NULL), nullptr);
  EXPECT_EQ(list.FindById("other"), nullptr);
  // Leaving the list through Detach, as the project's clear does.
  named->Pauses().InsertByTime(new CVcdPause(1.0));
  named->Detach(1);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_TRUE(named->Pauses().IsEmpty());
  delete named;
  list.Clear(1);
}

// ---------------------------------------------------------------------------
// Sequence checks

TEST_F(ProjectTest, SequenceWarningsFollowTheType) {
  struct Case {
    const char* name;
    int type, version, width, height;
    double fps;
    int packets;
    bool secondVideo, noVideo;
    std::vector<std::string> warnings;
  } cases[] = {
      {"ntscVcd11", 2, 1, 352, 240, 29.97, 100, false, false, {}},
      {"palVcd11", 2, 1, 352, 288, 25.0, 100, false, false,
       {"VCD 1.x should contain only NTSC/FILM video (may work with PAL nevertheless)"}},
      {"palVcd20", 3, 1, 352, 288, 25.0, 100, false, false, {}},
      {"short", 3, 1, 352, 288, 25.0, 74, false, false, {"mpeg stream shorter than 75 sectors"}},
      {"mpeg2InVcd", 3, 2, 480, 576, 25.0, 100, false, false,
       {"this VCD type should not contain MPEG2 streams"}},
      {"mpeg1InSvcd", 4, 1, 352, 288, 25.0, 100, false, false,
       {"this VCD type should not contain MPEG1 streams"}},
      {"twoVideos", 4, 2, 480, 576, 25.0, 100, true, false,
       {"sequence items should contain a motion video stream!"}},
      {"noVideo", 5, 2, 0, 0, 0.0, 100, false, true,
       {"sequence items should contain a motion video stream!"}},
  };
  for (const auto& c : cases) {
    Make(c.type);
    messages.Clear();
    MpegStreamInfo* info = p()->Info(c.packets, c.version, c.width, c.height, c.fps);
    if (c.secondVideo) info->video[1].seen = 1;
    if (c.noVideo) info->video[0].seen = 0;
    EXPECT_EQ(p()->SequenceWith(info, "s"), 0) << c.name;  // warnings never refuse
    std::vector<std::string> warnings;
    for (const Said& said : messages.Take())
      if (said.level == kVcdMsgWarning) warnings.push_back(said.text);
    EXPECT_EQ(warnings, c.warnings) << c.name;
  }
}

TEST_F(ProjectTest, SequenceStartsFollowPregapAndMargins) {
  Make(kVcdType20);
  ASSERT_EQ(p()->Sequence("a", 2000), 0);
  ASSERT_EQ(p()->Sequence("b", 100), 1);
  EXPECT_EQ(p()->Sequences().FindById("a")->GetRelativeStart(), 150);
  EXPECT_EQ(p()->Sequences().FindById("b")->GetRelativeStart(), 150 + 30 + 2000 + 45 + 150);
  EXPECT_EQ(p()->GetSequenceCursor(), 2 * 225 + 2100);
  EXPECT_TRUE(messages.Has(kVcdMsgInfo, "added sequence #01..."));
  ASSERT_EQ(p()->Segment("pic", 151), 0);
  EXPECT_TRUE(messages.Has(kVcdMsgDebug, "SPI length is 151 sector(s), allocated 2 segment(s)"));
  EXPECT_TRUE(messages.Has(kVcdMsgInfo, "added segment #00..."));
}

// ---------------------------------------------------------------------------
// Folders and files

TEST_F(ProjectTest, DirectoriesMustBeIsoPathsAndStaySorted) {
  Make(kVcdType20);
  EXPECT_EQ(p()->AddDirectory("extras"), 0);
  EXPECT_EQ(p()->AddDirectory("Bonus"), 0);
  EXPECT_EQ(p()->AddDirectory("extras/sub"), 0);
  EXPECT_EQ(p()->AddDirectory("bad name"), 1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "pathname 'bad name' is not a valid iso pathname"));
  EXPECT_EQ(p()->AddDirectory(""), 1);
  std::vector<std::string> dirs;
  for (POSITION pos = p()->Directories().GetHeadPosition(); pos != NULL;)
    dirs.push_back(std::string(p()->Directories().GetNext(pos)));
  EXPECT_EQ(dirs, (std::vector<std::string>{"Bonus", "extras", "extras/sub"}));
}

// A scratch file of the size given, removed at the end.
class SizedFile {
public:
  SizedFile(const char* name, size_t size) : m_name(name) {
    test_support::WriteText(name, std::string(size, 'x'));
  }
  ~SizedFile() { remove(m_name.c_str()); }
  const char* Name() const { return m_name.c_str(); }

private:
  std::string m_name;
};

TEST_F(ProjectTest, CustomFilesAreSizedInSectors) {
  Make(kVcdType20);
  SizedFile form1("form1.bin", 2049), empty("empty.bin", 0), raw("raw.bin", 2336 * 3),
      odd("odd.bin", 2336 * 3 + 1);
  struct Case {
    const char* file;
    const char* isoPath;
    int mixed, result, sectors;
    const char* error;
  } cases[] = {
      {form1.Name(), "DATA/FORM1.BIN", 0, 0, 2, NULL},
      {empty.Name(), "empty.txt", 0, 0, 0, NULL},
      {raw.Name(), "raw.dat", 1, 0, 3, NULL},
      {empty.Name(), "rawempty.dat", 1, 1, 0, "raw mode2 file must not be empty"},
      {odd.Name(), "odd.dat", 1, 1, 0, "raw mode2 file must have size multiple of 2336 "},
      {form1.Name(), ".hidden", 0, 1, 0, "pathname '.hidden' is not a valid iso pathname"},
      {"missing.bin", "missing.bin", 0, -1, 0, NULL},
  };
  int added = 0;
  for (const Case& c : cases) {
    messages.Clear();
    CVcdStream* stream = new CVcdStream(&messages.sink, c.file, kVcdStreamRead);
    int result = p()->AddCustomFile(c.isoPath, stream, c.mixed);
    EXPECT_EQ(result, c.result) << c.isoPath;
    if (c.error != NULL) {
      EXPECT_TRUE(messages.Has(kVcdMsgError, c.error)) << c.isoPath;
    }
    if (result != 0) {
      stream->Release();
      delete stream;
      continue;
    }
    ++added;
    CCustomFile* file = static_cast<CCustomFile*>(p()->CustomFiles().Tail());
    EXPECT_EQ(file->m_sectors, c.sectors) << c.isoPath;
    EXPECT_EQ(file->m_mixed, c.mixed);
    EXPECT_EQ(file->m_startSector, 0);
    EXPECT_EQ(std::string(file->GetIsoPath()), c.isoPath);
  }
  EXPECT_EQ(p()->CustomFiles().GetCount(), added);
}

// ---------------------------------------------------------------------------
// The file dictionary

TEST_F(ProjectTest, DictionaryFlagsOnlyTheLastSectorOfARecord) {
  Make(kVcdType20);
  p()->BeginLayout();
  CDictList& dict = p()->Dictionary();
  ASSERT_EQ(dict.Insert("info", 150, 1, 0x80), 150);
  ASSERT_EQ(dict.Insert("lot", 152, 32, 0x80), 152);
  ASSERT_EQ(dict.Insert("psd", 184, 2, 0x80), 184);
  EXPECT_EQ(dict.SectorFlags(183), 0x80);
  for (int sector = 152; sector <= 182; ++sector) ASSERT_EQ(dict.SectorFlags(sector), 0) << sector;
  EXPECT_EQ(dict.FindBySector(183), dict.FindByKey("lot"));
  EXPECT_EQ(dict.FindBySector(184), dict.FindByKey("psd"));
  EXPECT_EQ(dict.FindBySector(151), nullptr);
  EXPECT_EQ(dict.SectorFlags(151), 0);
  EXPECT_EQ(dict.FindByKey("INFO"), dict.FindByKey("info"));
  EXPECT_EQ(dict.FindByKey("entries"), nullptr);
  // Each sector's bytes lie at their place in the record's buffer.
  EXPECT_EQ(dict.SectorData(152), dict.FindByKey("lot")->GetBuffer());
  EXPECT_EQ(dict.SectorData(160), dict.FindByKey("lot")->GetBuffer() + 8 * 2048);
  EXPECT_EQ(dict.SectorData(151), nullptr);
  // First free run for -1.
  EXPECT_EQ(dict.Insert("tracks", -1, 1, 0x80), 0);
  EXPECT_EQ(dict.Insert("search", -1, 3, 0x80), 1);
}

TEST_F(ProjectTest, DictionaryPlacesDirectoryOnReservedSectorsAndRefusesOverlaps) {
  Make(kVcdTypeSvcd);
  p()->BeginLayout();
  CDictList& dict = p()->Dictionary();
  ASSERT_EQ(dict.Insert("pvd", 16, 1, 0x01), 16);
  ASSERT_EQ(dict.Insert("evd", 17, 1, 0x81), 17);
  ASSERT_EQ(p()->AllocateSectors(18, 57), 18);  // the directory area, size not known yet
  messages.Clear();

  // Allocating on the reservation fails loudly and stores nothing.
  EXPECT_EQ(dict.Insert("dir", 18, 2, 0x81), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "sectors 18 to 19 for 'dir' are in use already"));
  EXPECT_EQ(dict.FindByKey("dir"), nullptr);

  // Placing on it works.
  EXPECT_EQ(dict.InsertReserved("dir", 18, 2, 0x81), 18);
  EXPECT_EQ(dict.InsertReserved("ptl", 20, 1, 0x81), 20);
  EXPECT_EQ(dict.InsertReserved("ptm", 21, 1, 0x81), 21);
  EXPECT_EQ(dict.FindByKey("dir")->GetFirstSector(), 18);
  EXPECT_EQ(dict.SectorFlags(19), 0x81);
  EXPECT_EQ(dict.SectorFlags(18), 0);
  messages.Clear();

  // Overlaps, sectors never reserved and keys in use are refused.
  EXPECT_EQ(dict.InsertReserved("more", 21, 2, 0x81), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "overlap 'ptm'"));
  EXPECT_EQ(dict.InsertReserved("loose", 100, 1, 0x80), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "were not reserved"));
  EXPECT_EQ(dict.InsertReserved("PTL", 30, 1, 0x81), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "key 'PTL' exists already"));
  EXPECT_EQ(dict.Insert("info", 17, 1, 0x80), -1);  // on "evd"
  EXPECT_EQ(dict.Insert("", 200, 1, 0x80), -1);
  EXPECT_EQ(dict.Insert("neg", 200, -1, 0x80), -1);
  EXPECT_EQ(dict.GetCount(), 5);
  for (POSITION pos = dict.GetHeadPosition(); pos != NULL;)
    EXPECT_GE(static_cast<CVcdDict*>(dict.GetNext(pos))->GetFirstSector(), 0);
}

TEST_F(ProjectTest, DictionaryNeedsTheLayoutState) {
  Make(kVcdType20);
  EXPECT_EQ(p()->Dictionary().Insert("pvd", 16, 1, 0x01), -1);
  p()->BeginLayout();
  EXPECT_EQ(p()->Dictionary().Insert("pvd", 16, 1, 0x01), 16);
  // A new layout starts from an empty dictionary and a free bitmap.
  p()->BeginLayout();
  EXPECT_EQ(p()->Dictionary().GetCount(), 0);
  EXPECT_EQ(p()->Dictionary().Insert("pvd", 16, 1, 0x01), 16);
  p()->EndLayout();
  EXPECT_EQ(p()->Dictionary().GetCount(), 0);
  EXPECT_EQ(p()->SectorBitmap(), nullptr);
}

// ---------------------------------------------------------------------------
// Image size

TEST_F(ProjectTest, ImageSizeOfASmallProject) {
  Make(kVcdType20);
  EXPECT_EQ(p()->ImageSize(), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError,
                           "No sequences detected, be sure there is at least 1 movie-stream!."));
  ASSERT_EQ(p()->Sequence("movie", 2000), 0);
  ASSERT_EQ(p()->Sequence("short", 100), 1);
  // Track 1: 300 sectors (the least an image has).
  // Track 2: pregap 150 + front margin 30 + 2000 packets + rear margin 45 = 2225.
  // Track 3: 150 + 30 + 100 + 45 = 325.
  // 300 + 2225 + 325 = 2850.
  EXPECT_EQ(p()->ImageSize(), 2850);
  EXPECT_EQ(p()->layouts, 1);
  EXPECT_NE(p()->SectorBitmap(), nullptr);
  EXPECT_NE(p()->DirectoryTree(), nullptr);
  EXPECT_EQ(p()->Sequences().FindById("short")->GetRelativeStart(), 2225 + 150);
  // The leadout pause adds one more pregap after the last track.
  p()->SetParameter(kVcdParamLeadoutPause, 1);
  EXPECT_EQ(p()->ImageSize(), 3000);
  // SVCD: no margins. 300 + (150 + 2000) + (150 + 100) = 2700.
  Make(kVcdTypeSvcd);
  p()->Sequence("movie", 2000);
  p()->Sequence("short", 100);
  EXPECT_EQ(p()->ImageSize(), 2700);
}

TEST_F(ProjectTest, ImageSizeAgainstDiscSizes) {
  struct Case {
    int sectors;
    int result;
    const char* warning;  // NULL: none
    const char* advice;
  } cases[] = {
      {333000, 333000, NULL, NULL},
      {333001, 333001,
       "generated image (333001 sectors [74:00.01]) may not fit on 74min CDRs (333000 sectors)",
       ">>> use a 80min CDR for this image."},
      {360000, 360000,
       "generated image (360000 sectors [80:00.00]) may not fit on 74min CDRs (333000 sectors)",
       ">>> use a 80min CDR for this image."},
      {360001, 360001,
       "generated image (360001 sectors [80:00.01]) may not fit on 80min CDRs (360000 sectors)",
       ">>> use a 90min CDR for this image."},
      {405001, 405001,
       "generated image (405001 sectors [90:00.01]) may not fit on 90min CDRs (405000 sectors)",
       ">>> use a 99min CDR for this image."},
      {449850, 449850,
       "generated image (449850 sectors [99:58.00]) may not fit on 90min CDRs (405000 sectors)",
       ">>> use a 99min CDR for this image."},
      {449851, -1, NULL, NULL},
  };
  for (const Case& c : cases) {
    Make(kVcdTypeSvcd);
    p()->Sequence("movie", 100000);
    // Track 1 takes what is left of the total: 150 + 100000 sectors are the track.
    p()->isoSizeForLayout = c.sectors - 100150;
    messages.Clear();
    EXPECT_EQ(p()->ImageSize(), c.result) << c.sectors;
    std::vector<Said> said = messages.Take();
    std::vector<Said> expected;
    if (c.warning != NULL) {
      expected.push_back({kVcdMsgWarning, c.warning});
      expected.push_back({kVcdMsgInfo, c.advice});
    }
    if (c.result < 0)
      expected.push_back({kVcdMsgError, "image too big (449851 sectors > 449850 sectors)"});
    EXPECT_EQ(said, expected) << c.sectors;
  }
}

}  // namespace
