// Playback control lists: descriptor bytes worked out by hand for a VCD 2.0
// and an SVCD project, wait time codes, sizes and offsets, the selection
// checks, refused references and reachability. Projects get synthetic
// stream information instead of scanned files.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/tests/capture_window.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"

namespace {

typedef std::vector<uint8_t> Bytes;

std::string Hex(const Bytes& bytes) {
  std::string text;
  char two[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    snprintf(two, sizeof two, "%02X", bytes[i]);
    if (i != 0) text += ' ';
    text += two;
  }
  return text;
}

// A project whose items need no files. The stream information its items
// point at is kept by the caller: the project's destructor still reads it.
class TestProject : public CVcdObj {
public:
  TestProject(CVcdMessageSink* messages, int type, std::deque<MpegStreamInfo>* infos)
      : CVcdObj(messages, type), infos(*infos) {}

  MpegStreamInfo* Info(int packets, int videoStream) {
    infos.emplace_back();
    MpegStreamInfo& info = infos.back();
    memset(&info, 0, sizeof info);
    info.packetCount = packets;
    info.version = HasCapability(kVcdCapMpeg2) ? 2 : 1;
    info.video[videoStream].seen = 1;
    info.video[videoStream].horizontalSize = 352;
    info.video[videoStream].verticalSize = 240;
    info.video[videoStream].frameRate = 29.97;
    return &info;
  }
  void Sequence(const char* id, const char* defaultEntryId = NULL) {
    ASSERT_EQ(CheckNewSequence(id, defaultEntryId), 0);
    ASSERT_GE(AppendSequence(NULL, Info(1000, 0), id, defaultEntryId), 0);
  }
  // A still picture (stream 0xE1) or a clip (0xE0).
  void Segment(const char* id, int packets, bool still) {
    ASSERT_EQ(CheckNewSegment(id), 0);
    ASSERT_EQ(AppendSegment(NULL, Info(packets, still ? 1 : 0), id), 0);
  }

private:
  std::deque<MpegStreamInfo>& infos;
};

struct ProjectDeleter {
  void operator()(CVcdObj* project) const { project->Destroy(); }
};

CPbcPlay* Play(const char* id) { return new CPbcPlay(id); }

class PbcTest : public ::testing::Test {
public:
  // Sequences seq1 (default entry seq1start, entries e1, e2) and seq2 are
  // play items 2 and 3; seq1start is 100, e1 101, e2 102, seq2's start 103.
  // Segments still (2 segments) and clip are 1000 and 1002.
  TestProject* Make(int type) {
    project.reset();
    project.reset(new TestProject(&messages.sink, type, &infos));
    p()->Sequence("seq1", "seq1start");
    EXPECT_EQ(p()->AddEntry("seq1", 10.0, "e1"), 0);
    EXPECT_EQ(p()->AddEntry("seq1", 20.0, "e2"), 0);
    p()->Sequence("seq2");
    if (p()->HasCapability(kVcdCapPbc)) {
      p()->Segment("still", 151, true);
      p()->Segment("clip", 10, false);
    }
    messages.Clear();
    return p();
  }
  TestProject* p() { return project.get(); }
  CPbcList& lists() { return p()->PbcLists(); }

  template <typename T>
  T* Add(T* list) {
    EXPECT_EQ(p()->AddPbc(list), 0) << messages.All();
    return list;
  }

  Bytes Write(CPbc* list, int extended, int* result = NULL) {
    Bytes bytes(static_cast<size_t>(list->DescriptorSize(extended)), 0xCC);
    int written = list->WriteDescriptor(bytes.data(), extended);
    if (result != NULL) *result = written;
    return bytes;
  }

  // The three lists of the golden descriptors: end, play1, menu.
  void AddGoldenLists() {
    CPbcEnd* end = Add(new CPbcEnd("end"));
    end->nextVolume = 2;
    end->itemId = "still";

    CPbcPlay* play = Add(Play("play1"));
    play->nextId = "menu";
    play->returnId = "end";
    play->playingTime = 12.5;
    play->wait = 90;
    play->autoWait = -1;
    play->itemIds = {"seq1", "still", "e1"};

    CPbcSelect* menu = Add(new CPbcSelect("menu"));
    menu->bsn = 2;
    menu->prevId = "end";
    menu->nextId = "play1";
    menu->returnId = "play1";
    menu->defaultId = "play1";
    menu->timeoutId = "end";
    menu->wait = 5;
    menu->loopCount = 3;
    menu->delayedJump = 1;
    menu->itemId = "still";
    menu->prevArea = VcdPbcArea{10, 20, 30, 40};
    menu->defaultArea = VcdPbcArea{1, 2, 3, 4};
    menu->AddTarget("play1", VcdPbcArea{5, 6, 7, 8});
    menu->AddTarget("end", VcdPbcArea{0, 0, 0, 0});
  }

  CapturingSink messages;
  std::deque<MpegStreamInfo> infos;  // outlives the project
  std::unique_ptr<TestProject, ProjectDeleter> project;
};

// ---------------------------------------------------------------------------
// Wait time codes

struct WaitCase {
  int seconds;
  int code;
  bool clipped;
};

class WaitTimeCode : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WaitTimeCode, EncodesSecondsAndWarnsWhenClipped) {
  CapturingSink messages;
  EXPECT_EQ(VcdPbcWaitTimeCode(GetParam().seconds, &messages.sink), GetParam().code);
  EXPECT_EQ(messages.Has(kVcdMsgWarning, "wait time of " + std::to_string(GetParam().seconds) +
                                             "s clipped to 2000s"),
            GetParam().clipped);
  EXPECT_EQ(messages.Count(kVcdMsgWarning), GetParam().clipped ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, WaitTimeCode,
                         ::testing::Values(WaitCase{-100, 255, false}, WaitCase{-1, 255, false},
                                           WaitCase{0, 0, false}, WaitCase{1, 1, false},
                                           WaitCase{60, 60, false}, WaitCase{61, 60, false},
                                           WaitCase{69, 60, false}, WaitCase{70, 61, false},
                                           WaitCase{90, 63, false}, WaitCase{1999, 253, false},
                                           WaitCase{2000, 254, false}, WaitCase{2001, 254, true},
                                           WaitCase{2500, 254, true}));

// ---------------------------------------------------------------------------
// Golden descriptors

struct GoldenCase {
  const char* name;
  int type;         // VCD type of the project
  const char* list; // which list of AddGoldenLists
  int extended;
  const char* hex;
};

class GoldenDescriptor : public PbcTest, public ::testing::WithParamInterface<GoldenCase> {};

// VCD 2.0: PSD offsets end 0, play1 8, menu 32 (extended: 0, 8, 32; the
// extended menu is 48 bytes). SVCD: end 0, play1 8, menu 32, the menu with
// its areas.
TEST_P(GoldenDescriptor, MatchesHandWorkedBytes) {
  const GoldenCase& c = GetParam();
  Make(c.type);
  AddGoldenLists();
  ASSERT_EQ(lists().ComputePsdSize(), 0) << messages.All();
  CPbc* list = lists().FindById(c.list);
  ASSERT_NE(list, nullptr);
  int result = 0;
  Bytes bytes = Write(list, c.extended, &result);
  EXPECT_EQ(Hex(bytes), c.hex);
  EXPECT_EQ(result, static_cast<int>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoldenDescriptor,
    ::testing::Values(
        // list id 2; next menu 32/8; return end 0; 12.5 s = 187 ticks; wait
        // 90 s = 63; auto wait infinite; seq1 2, still 1000, e1 101.
        GoldenCase{"Vcd20Play", kVcdType20, "play1", 0,
                   "10 03 00 02 FF FF 00 04 00 00 00 BB 3F FF 00 02 03 E8 00 65"},
        GoldenCase{"Vcd20PlayExtended", kVcdType20, "play1", 1,
                   "10 03 00 02 FF FF 00 04 00 00 00 BB 3F FF 00 02 03 E8 00 65"},
        // NOS 2, BSN 2, list id 3; prev end 0; next, return, default play1
        // 8/8; timeout end; wait 5; loop 3 delayed; still; targets play1, end.
        GoldenCase{"Vcd20Selection", kVcdType20, "menu", 0,
                   "18 00 02 02 00 03 00 00 00 01 00 01 00 01 00 00 05 83 03 E8 00 01 00 00"},
        GoldenCase{"Vcd20SelectionExtended", kVcdType20, "menu", 1,
                   "1A 00 02 02 00 03 00 00 00 01 00 01 00 01 00 00 05 83 03 E8 00 01 00 00 "
                   "0A 14 1E 28 00 00 00 00 00 00 00 00 01 02 03 04 05 06 07 08 00 00 00 00"},
        // Next volume and picture are SVCD-only: zero here (with a warning).
        GoldenCase{"Vcd20End", kVcdType20, "end", 0, "1F 00 00 00 00 00 00 00"},
        GoldenCase{"SvcdPlay", kVcdTypeSvcd, "play1", 0,
                   "10 03 00 02 FF FF 00 04 00 00 00 BB 3F FF 00 02 03 E8 00 65"},
        // Flag bit 0 for SVCD and the areas in the plain PSD.
        GoldenCase{"SvcdSelection", kVcdTypeSvcd, "menu", 0,
                   "18 01 02 02 00 03 00 00 00 01 00 01 00 01 00 00 05 83 03 E8 00 01 00 00 "
                   "0A 14 1E 28 00 00 00 00 00 00 00 00 01 02 03 04 05 06 07 08 00 00 00 00"},
        GoldenCase{"SvcdEnd", kVcdTypeSvcd, "end", 0, "1F 02 03 E8 00 00 00 00"}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

TEST_F(PbcTest, SizesAndOffsetsOfTheGoldenLists) {
  Make(kVcdType20);
  AddGoldenLists();
  ASSERT_EQ(lists().ComputePsdSize(), 0);
  EXPECT_EQ(lists().GetPsdSize(), 56);           // 8 + 24 + 24
  EXPECT_EQ(lists().GetExtendedPsdSize(), 80);   // 8 + 24 + 48
  EXPECT_EQ(lists().GetListIdCount(), 3);
  EXPECT_TRUE(messages.Has(kVcdMsgDebug, "pbc: psd size 56 (extended psd 80)"));
  CPbc* menu = lists().FindById("MENU");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetListId(), 3);
  EXPECT_EQ(menu->GetOffset(), 32);
  EXPECT_EQ(menu->GetExtendedOffset(), 32);

  Make(kVcdTypeSvcd);
  AddGoldenLists();
  ASSERT_EQ(lists().ComputePsdSize(), 0);
  EXPECT_EQ(lists().GetPsdSize(), 8 + 24 + 48);
  EXPECT_EQ(lists().GetExtendedPsdSize(), 0);  // SVCD has no extended PSD
}

TEST_F(PbcTest, RejectedListCarriesTheMarkerInItsListId) {
  Make(kVcdType20);
  Add(Play("a"))->itemIds = {"seq1"};
  Add(Play("b"))->itemIds = {"seq1"};
  CPbcPlay* rejected = Add(Play("c"));
  rejected->itemIds = {"seq2"};
  rejected->SetRejected(1);
  ASSERT_EQ(lists().ComputePsdSize(), 0);
  Bytes bytes = Write(rejected, 0);
  EXPECT_EQ(bytes[2], 0x80);
  EXPECT_EQ(bytes[3], 0x03);
}

TEST_F(PbcTest, EndListWarnsAboutWhatItIgnoresAndWhatItShows) {
  Make(kVcdType20);
  CPbcEnd* end = Add(new CPbcEnd("end"));
  end->nextVolume = 2;
  Add(Play("p"))->itemIds = {"seq1"};
  ASSERT_EQ(lists().ComputePsdSize(), 0);
  Write(end, 0);
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "extended end list attributes ignored for non-SVCD"));

  struct Case {
    const char* item;
    int nextVolume;
    const char* warning;
  };
  const Case cases[] = {
      {"still", 0, "PSD: endlist 'end': change disc picture given, but next volume is 0"},
      {"seq1", 1, "PSD: endlist 'end': referenced play item 'seq1' is not a segment play item"},
      {"clip", 1, "PSD: endlist 'end': referenced play item 'clip' should be a still picture"},
  };
  for (const Case& c : cases) {
    Make(kVcdTypeSvcd);
    CPbcEnd* svcdEnd = Add(new CPbcEnd("end"));
    svcdEnd->itemId = c.item;
    svcdEnd->nextVolume = c.nextVolume;
    ASSERT_EQ(lists().ComputePsdSize(), 0) << c.item;
    int result = 0;
    Write(svcdEnd, 0, &result);
    EXPECT_EQ(result, 8) << c.item;
    EXPECT_TRUE(messages.Has(kVcdMsgWarning, c.warning)) << messages.All();
  }
}

// ---------------------------------------------------------------------------
// Sizes and offsets

// A list of any size, for the placement rules.
class SizedList : public CPbc {
public:
  SizedList(const char* id, int size) : CPbc(kPbcPlayList, id), m_size(size) {}
  int DescriptorSize(int extended) const override { return m_size; }

private:
  int m_size;
};

TEST_F(PbcTest, NoDescriptorCrossesASectorOfThePsd) {
  Make(kVcdType20);
  CPbc* a = Add<CPbc>(new SizedList("a", 20));
  CPbc* b = Add<CPbc>(new SizedList("b", 40));
  CPbc* c = Add<CPbc>(new SizedList("c", 2000));
  CPbc* d = Add<CPbc>(new SizedList("d", 48));
  ASSERT_EQ(lists().ComputePsdSize(), 0) << messages.All();
  EXPECT_EQ(a->GetOffset(), 0);
  EXPECT_EQ(b->GetOffset(), 24);    // 20 rounded up to 24
  EXPECT_EQ(c->GetOffset(), 2048);  // 2048 - 64 < 2000
  EXPECT_EQ(d->GetOffset(), 4048);  // 2048 - 2000 = 48 still fits
  EXPECT_EQ(lists().GetPsdSize(), 4096);
  EXPECT_EQ(d->GetListId(), 4);
}

TEST_F(PbcTest, SelectionSizeByForm) {
  Make(kVcdType20);
  CPbcSelect* menu = Add(new CPbcSelect("menu"));
  for (const char* target : {"a", "b", "c"}) menu->AddTarget(target, VcdPbcArea{0, 0, 0, 0});
  EXPECT_EQ(menu->DescriptorSize(0), 26);
  EXPECT_EQ(menu->DescriptorSize(1), 54);
  Make(kVcdTypeSvcd);
  CPbcSelect* svcdMenu = Add(new CPbcSelect("menu"));
  for (const char* target : {"a", "b", "c"}) svcdMenu->AddTarget(target, VcdPbcArea{0, 0, 0, 0});
  EXPECT_EQ(svcdMenu->DescriptorSize(0), 54);
  EXPECT_EQ(CPbcPlay("p").DescriptorSize(0), 14);
  EXPECT_EQ(CPbcEnd("e").DescriptorSize(1), 8);
}

TEST_F(PbcTest, PbcAvailableNeedsListsAndTheCapability) {
  Make(kVcdType20);
  EXPECT_FALSE(lists().PbcAvailable());
  Add(Play("p"))->itemIds = {"seq1"};
  EXPECT_TRUE(lists().PbcAvailable());

  // A VCD 1.1 project refuses lists, so a list can only be in it by hand.
  Make(kVcdType11);
  lists().Append(Play("p"));
  EXPECT_FALSE(lists().PbcAvailable());
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "PBC list not empty but VCD type not capable of PBC!"));
}

TEST_F(PbcTest, TooManyPlayItemsForTheCountByteAreRefused) {
  Make(kVcdType20);
  CPbcPlay* play = Add(Play("p"));
  play->itemIds.assign(256, CString("seq1"));
  EXPECT_EQ(lists().ComputePsdSize(), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "play list 'p': too many play items (256 > 255)"));
  play->itemIds.resize(255);
  messages.Clear();
  EXPECT_EQ(lists().ComputePsdSize(), 0) << messages.All();
}

TEST_F(PbcTest, PlayingTimeBeyondItsFieldIsRefused) {
  Make(kVcdType20);
  CPbcPlay* play = Add(Play("p"));
  play->itemIds = {"seq1"};
  play->playingTime = 4369.9;  // 65548 ticks
  EXPECT_EQ(lists().ComputePsdSize(), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "play list 'p': playing time"));
  play->playingTime = 4369.0;
  EXPECT_EQ(lists().ComputePsdSize(), 0);
  Bytes bytes = Write(play, 0);
  EXPECT_EQ(Hex(Bytes(bytes.begin() + 10, bytes.begin() + 12)), "FF FF");
}

// ---------------------------------------------------------------------------
// References

struct DanglingCase {
  const char* name;
  std::function<void(PbcTest*, TestProject*)> build;
  const char* error;
};

TEST_F(PbcTest, DanglingReferencesFailTheSizePass) {
  const DanglingCase cases[] = {
      {"play next", [](PbcTest* t, TestProject*) { t->Add(Play("p"))->nextId = "nowhere"; },
       "PSD: referenced PSD 'nowhere' not found"},
      {"play item", [](PbcTest* t, TestProject*) { t->Add(Play("p"))->itemIds = {"seq1", "gone"}; },
       "PSD: referenced play item 'gone' not found"},
      // A list id is no play item.
      {"list as item",
       [](PbcTest* t, TestProject*) {
         t->Add(Play("p"))->itemIds = {"seq1"};
         t->Add(Play("q"))->itemIds = {"p"};
       },
       "PSD: referenced play item 'p' not found"},
      // An item id is no list.
      {"item as target",
       [](PbcTest* t, TestProject*) { t->Add(new CPbcSelect("m"))->AddTarget("seq1", VcdPbcArea{}); },
       "PSD: referenced PSD 'seq1' not found"},
      {"selection timeout",
       [](PbcTest* t, TestProject*) { t->Add(new CPbcSelect("m"))->timeoutId = "later"; },
       "PSD: referenced PSD 'later' not found"},
      {"selection default",
       [](PbcTest* t, TestProject*) { t->Add(new CPbcSelect("m"))->defaultId = "dflt"; },
       "PSD: referenced PSD 'dflt' not found"},
      // Even where the field is not written (VCD 2.0 end list).
      {"end picture", [](PbcTest* t, TestProject*) { t->Add(new CPbcEnd("e"))->itemId = "pic"; },
       "PSD: referenced play item 'pic' not found"},
  };
  for (const DanglingCase& c : cases) {
    SCOPED_TRACE(c.name);
    Make(kVcdType20);
    c.build(this, p());
    EXPECT_EQ(lists().ComputePsdSize(), -1);
    EXPECT_TRUE(messages.Has(kVcdMsgError, c.error)) << messages.All();
  }
}

TEST_F(PbcTest, WritingADanglingReferenceStillFailsAndWritesNoList) {
  Make(kVcdType20);
  CPbcPlay* play = Add(Play("p"));
  play->nextId = "nowhere";
  play->itemIds = {"seq1"};
  EXPECT_EQ(lists().ComputePsdSize(), -1);
  messages.Clear();
  int result = 0;
  Bytes bytes = Write(play, 0, &result);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "PSD: referenced PSD 'nowhere' not found"));
  EXPECT_EQ(Hex(Bytes(bytes.begin() + 6, bytes.begin() + 8)), "FF FF");
}

TEST_F(PbcTest, ReferencesIgnoreCaseAndFindEntryPoints) {
  Make(kVcdType20);
  CPbcPlay* play = Add(Play("p"));
  play->nextId = "P";
  play->itemIds = {"SEQ2", "seq1start", "e2", "CLIP"};
  ASSERT_EQ(lists().ComputePsdSize(), 0) << messages.All();
  EXPECT_EQ(Hex(Write(play, 0)), "10 04 00 01 FF FF 00 00 FF FF 00 00 00 00 00 03 00 64 00 66 03 EA");
}

// ---------------------------------------------------------------------------
// Selection checks

struct SelectCase {
  const char* name;
  std::function<void(CPbcSelect*)> set;
  int level;  // of the expected text
  const char* text;
  bool fails;
};

class SelectionCheck : public PbcTest, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(SelectionCheck, ReportsAndFailsOnlyOnErrors) {
  const SelectCase& c = GetParam();
  Make(kVcdType20);
  Add(Play("t"))->itemIds = {"seq1"};
  CPbcSelect* menu = Add(new CPbcSelect("m"));
  menu->itemId = "seq1";
  menu->AddTarget("t", VcdPbcArea{});
  c.set(menu);
  EXPECT_EQ(lists().ComputePsdSize(), c.fails ? -1 : 0) << messages.All();
  messages.Clear();
  int result = 0;
  Write(menu, 1, &result);
  EXPECT_TRUE(messages.Has(c.level, c.text)) << messages.All();
  EXPECT_EQ(result < 0, c.fails);
}

void Targets(CPbcSelect* menu, int count) {
  menu->targetIds.clear();
  menu->targetAreas.clear();
  for (int i = 0; i < count; ++i) menu->AddTarget("t", VcdPbcArea{});
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectionCheck,
    ::testing::Values(
        SelectCase{"BsnZero", [](CPbcSelect* m) { m->bsn = 0; }, kVcdMsgError,
                   "selection 'm': BSN (0) not in range [1..99]", true},
        SelectCase{"BsnHundred", [](CPbcSelect* m) { m->bsn = 100; }, kVcdMsgError,
                   "selection 'm': BSN (100) not in range [1..99]", true},
        SelectCase{"TooMany", [](CPbcSelect* m) { Targets(m, 100); }, kVcdMsgError,
                   "selection 'm': too many selections (100 > 99)", true},
        SelectCase{"PastHundred",
                   [](CPbcSelect* m) {
                     m->bsn = 90;
                     Targets(m, 11);
                   },
                   kVcdMsgError, "selection 'm': (BSN (90) + NOS (11)) > 100", true},
        SelectCase{"LoopClipped", [](CPbcSelect* m) { m->loopCount = 200; }, kVcdMsgWarning,
                   "loop count 200 > 127", false},
        SelectCase{"NothingToGoOn",
                   [](CPbcSelect* m) {
                     Targets(m, 0);
                     m->wait = 0;
                   },
                   kVcdMsgWarning,
                   "PSD: selection 'm': neither timeout nor select target available, but neither "
                   "loop count is infinite nor timeout wait time",
                   false},
        SelectCase{"TimeoutNeverUsed",
                   [](CPbcSelect* m) {
                     m->timeoutId = "t";
                     m->wait = -1;
                   },
                   kVcdMsgWarning,
                   "PSD: selection 'm': timeout target 't' is never used due to loop count or "
                   "timeout wait time given",
                   false},
        SelectCase{"MultiDefaultIgnoresDefault",
                   [](CPbcSelect* m) {
                     m->defaultMode = kPbcMultiDefault;
                     m->defaultId = "t";
                     Targets(m, 3);
                   },
                   kVcdMsgWarning, "ignoring default target 't' for multi default selection 'm'",
                   false},
        SelectCase{"MultiDefaultNoNumericIgnoresDefault",
                   [](CPbcSelect* m) {
                     m->defaultMode = kPbcMultiDefaultNoNumeric;
                     m->defaultId = "t";
                     Targets(m, 3);
                   },
                   kVcdMsgWarning,
                   "ignoring default target 't' for multi default (w/o num) selection 'm'", false},
        SelectCase{"MultiDefaultDelayed",
                   [](CPbcSelect* m) {
                     m->defaultMode = kPbcMultiDefault;
                     m->delayedJump = 1;
                     Targets(m, 3);
                   },
                   kVcdMsgWarning, "selection 'm': jump timing shall be immediate", false},
        SelectCase{"MultiDefaultBsn",
                   [](CPbcSelect* m) {
                     m->defaultMode = kPbcMultiDefault;
                     m->bsn = 2;
                     Targets(m, 3);
                   },
                   kVcdMsgError, "selection 'm': (BSN != 1) for multi default selection", true},
        SelectCase{"MultiDefaultNothingPlays",
                   [](CPbcSelect* m) {
                     m->defaultMode = kPbcMultiDefault;
                     m->itemId = "";
                   },
                   kVcdMsgError,
                   "selection 'm': play nothing play item not allowed for multidefault list", true},
        SelectCase{"MultiDefaultSegment",
                   [](CPbcSelect* m) {
                     m->defaultMode = kPbcMultiDefault;
                     m->itemId = "still";
                   },
                   kVcdMsgError,
                   "selection 'm': play item 'still' is requried to be sequence or entry point item "
                   "for multi default selecton",
                   true},
        // seq1 has the track start and two entries: three selections.
        SelectCase{"MultiDefaultEntryCount", [](CPbcSelect* m) { m->defaultMode = kPbcMultiDefault; },
                   kVcdMsgError,
                   "selection 'm': number of entrypoints (3 for sequence 'seq1') != number of "
                   "selections (1)",
                   true},
        SelectCase{"AreaX", [](CPbcSelect* m) { m->targetAreas[0] = VcdPbcArea{9, 1, 9, 2}; },
                   kVcdMsgError, "selection 'm': area x1 >= x2 (9 >= 9)", true},
        SelectCase{"AreaY", [](CPbcSelect* m) { m->nextArea = VcdPbcArea{1, 5, 2, 4}; },
                   kVcdMsgError, "selection 'm': area y1 >= y2 (5 >= 4)", true},
        SelectCase{"NegativeLoop", [](CPbcSelect* m) { m->loopCount = -1; }, kVcdMsgError,
                   "selection 'm': loop count -1 < 0", true}),
    [](const ::testing::TestParamInfo<SelectCase>& info) { return std::string(info.param.name); });

TEST_F(PbcTest, MultiDefaultSelectionOfAnEntryPointIsAccepted) {
  Make(kVcdType20);
  Add(Play("t"))->itemIds = {"seq1"};
  CPbcSelect* menu = Add(new CPbcSelect("m"));
  menu->defaultMode = kPbcMultiDefaultNoNumeric;
  menu->itemId = "e1";
  Targets(menu, 3);
  ASSERT_EQ(lists().ComputePsdSize(), 0) << messages.All();
  Bytes bytes = Write(menu, 0);
  EXPECT_EQ(Hex(Bytes(bytes.begin() + 12, bytes.begin() + 14)), "FF FD");
  menu->defaultMode = kPbcMultiDefault;
  bytes = Write(menu, 0);
  EXPECT_EQ(Hex(Bytes(bytes.begin() + 12, bytes.begin() + 14)), "FF FE");
  EXPECT_EQ(messages.Count(kVcdMsgError), 0) << messages.All();
}

// ---------------------------------------------------------------------------
// Reachability

TEST_F(PbcTest, ReachabilityFollowsListsFromThoseNotRejected) {
  Make(kVcdType20);
  CPbcPlay* start = Add(Play("start"));
  start->nextId = "menu";
  start->itemIds = {"still"};
  CPbcSelect* menu = Add(new CPbcSelect("menu"));
  menu->AddTarget("chapter", VcdPbcArea{});
  menu->timeoutId = "start";  // a loop back
  Add(Play("chapter"))->itemIds = {"e2"};  // an entry point reaches seq1
  CPbcPlay* hidden = Add(Play("hidden"));
  hidden->SetRejected(1);
  hidden->nextId = "orphan";
  hidden->itemIds = {"seq2"};
  // Every list that is not rejected is a starting point: only a rejected
  // list can be unreachable, and so it is when only a rejected list leads to it.
  CPbcPlay* orphan = Add(Play("orphan"));
  orphan->itemIds = {"clip"};
  orphan->SetRejected(1);
  ASSERT_EQ(lists().ComputePsdSize(), 0) << messages.All();
  messages.Clear();

  lists().CheckReachability();
  EXPECT_TRUE(start->GetVisited());
  EXPECT_TRUE(menu->GetVisited());
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "PSD item 'hidden' is unreachable"));
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "PSD item 'orphan' is unreachable"));
  EXPECT_FALSE(messages.Has(kVcdMsgWarning, "PSD item 'chapter'"));
  EXPECT_FALSE(messages.Has(kVcdMsgWarning, "sequence 'seq1'"));
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "sequence 'seq2' is not reachable by PBC"));
  EXPECT_FALSE(messages.Has(kVcdMsgWarning, "segment item 'still'"));
  EXPECT_TRUE(messages.Has(kVcdMsgWarning, "segment item 'clip' is unreachable"));
  EXPECT_EQ(messages.Count(kVcdMsgWarning), 4) << messages.All();

  // A second run starts from clean marks.
  messages.Clear();
  lists().CheckReachability();
  EXPECT_EQ(messages.Count(kVcdMsgWarning), 4) << messages.All();
}

TEST_F(PbcTest, LongChainsOfListsAreWalkedWithoutRecursion) {
  Make(kVcdTypeSvcd);
  const int count = 20000;
  for (int i = 0; i < count; ++i) {
    CPbcPlay* play = Add(Play(("l" + std::to_string(i)).c_str()));
    if (i + 1 < count) play->nextId = ("l" + std::to_string(i + 1)).c_str();
    play->itemIds = {"seq1"};
    if (i > 0) play->SetRejected(1);  // reached only through the chain
  }
  ASSERT_EQ(lists().ComputePsdSize(), 0);
  messages.Clear();
  lists().CheckReachability();
  EXPECT_FALSE(messages.Has(kVcdMsgWarning, "PSD item"));
  EXPECT_EQ(lists().GetListIdCount(), count);
}

TEST_F(PbcTest, ListsBeyondTheLotAreRefused) {
  Make(kVcdTypeSvcd);
  for (int i = 0; i <= kPbcMaxLists; ++i) lists().Append(new CPbcEnd(NULL));
  EXPECT_EQ(lists().ComputePsdSize(), -1);
  EXPECT_TRUE(messages.Has(kVcdMsgError, "PSD: too many playback lists (32768 > 32767)"));
}

}  // namespace
