// CdScribe.dll through the programs' call layer, on virtual drives of the
// test's own settings file: the drive list and media, a cue/bin burn that
// leaves a byte-identical copy on the disc, the refusals the programs rely
// on (21, 22, 23), erase, abort and eject, the video scanner judging MPEG
// files with the image builder's scanner, and the error report.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "discimage/tests/test_paths.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/tests/win_test_util.h"

using namespace standin_test;

namespace {

const char kDrives[] =
    "[drives]\r\nletters=EFGHK\r\n"
    "[E]\r\nproduct=CD-R Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n"
    "[F]\r\nproduct=Combo Writer\r\nwrites=cd,dvd\r\nmedium=CD-RW\r\nblank=0\r\nused=1000\r\n"
    "[G]\r\nproduct=Empty Writer\r\nwrites=cd\r\nmedium=none\r\n"
    "[H]\r\nproduct=DVD Writer\r\nwrites=dvd\r\nmedium=DVD-R\r\nblank=1\r\n"
    "[K]\r\nproduct=Slow Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\nspeed=300\r\n";

// What the callbacks saw.
struct Events {
  std::atomic<int> finalized{0};
  std::atomic<int> burnDone{0};
  std::atomic<int> eraseDone{0};
  std::atomic<int> process{0};
  std::atomic<int> scanDone{0};
  std::atomic<int> scanProgress{0};
  std::atomic<int> eraseResult{-99};
  float lastPercent = -1;
  bool percentWentBack = false;
  std::string burnText;
  std::string scanPath;
  int notCompatible = -1, width = 0, height = 0, mpegVersion = 0, scanResult = -1;
  double frameRate = 0;
  DWORD callbackThread = 0;
};


int32_t OUTSIDE_CALL OnFinalize(void* user) {
  static_cast<Events*>(user)->finalized++;
  return 0;
}
int32_t OUTSIDE_CALL OnBurnDone(const char* text, void* user) {
  Events* e = static_cast<Events*>(user);
  e->burnText = text != nullptr ? text : "(null)";
  e->callbackThread = GetCurrentThreadId();
  e->burnDone++;
  return 0;
}
int32_t OUTSIDE_CALL OnProcess(float percent, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, void* user) {
  Events* e = static_cast<Events*>(user);
  if (percent < e->lastPercent) e->percentWentBack = true;
  e->lastPercent = percent;
  e->process++;
  return 0;
}
int32_t OUTSIDE_CALL OnEraseDone(int32_t result, void* user) {
  Events* e = static_cast<Events*>(user);
  e->eraseResult = result;
  e->eraseDone++;
  return 0;
}
int32_t OUTSIDE_CALL OnScanProgress(float, int32_t, void* user) {
  static_cast<Events*>(user)->scanProgress++;
  return 0;
}
int32_t OUTSIDE_CALL OnScanDone(const char* path, int32_t scanResult, int32_t notCompatible, int32_t version,
                                int32_t width, int32_t height, int32_t, double frameRate, int32_t, int32_t,
                                void* user) {
  Events* e = static_cast<Events*>(user);
  e->scanPath = path;
  e->scanResult = scanResult;
  e->notCompatible = notCompatible;
  e->mpegVersion = version;
  e->width = width;
  e->height = height;
  e->frameRate = frameRate;
  e->scanDone++;
  return 0;
}

std::vector<std::string> g_boxes;
void RecordBox(const char* text) { g_boxes.push_back(text); }

class CdScribeTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    SetEnvironmentVariableA("QUORBEL_TRACE_DIR", CurrentFolder().c_str());
    ASSERT_TRUE(CdScribe().IsLoaded()) << "CdScribe.dll beside the test";
    ASSERT_EQ(kCdOk, CdScribe().Initialize(0, "standins test", 1));
  }
  void SetUp() override {
    UseOwnDrives(kDrives);
    events = new Events;
    CdScribeCalls& cd = CdScribe();
    ASSERT_EQ(kCdOk, cd.CreateProject(kCdProjectImage));
    cd.SetFinalizeEventCallback(OnFinalize, events);
    cd.SetBurnDoneEventCallback(OnBurnDone, events);
    cd.SetProcessEventCallback(OnProcess, events);
    cd.SetEraseDoneEventCallback(OnEraseDone, events);
    cd.SetVideoScannerEventCallback(OnScanProgress, events);
    cd.SetVideoScanDoneEventCallback(OnScanDone, events);
  }
  void TearDown() override {
    // Nothing may still run into the next test.
    WaitFor([] { return CdScribe().CreateProject(kCdProjectImage) != kCdBusy; });
    delete events;
  }

  // A two-track cue/bin image: raw 2352-byte sectors, the second track with
  // a pregap.
  std::string MakeImage(const std::string& name, size_t firstSectors, size_t secondSectors) {
    std::string folder = CurrentFolder();
    Bytes bin = Pattern((firstSectors + secondSectors) * 2352, static_cast<uint32_t>(firstSectors));
    WriteBytes(folder + name + ".bin", bin);
    char sheet[512];
    int first = static_cast<int>(firstSectors);
    int pregap = first - 150;
    snprintf(sheet, sizeof sheet,
             "FILE \"%s.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n"
             "  TRACK 02 MODE2/2352\r\n    FLAGS DCP\r\n    INDEX 00 %02d:%02d:%02d\r\n"
             "    INDEX 01 %02d:%02d:%02d\r\n",
             name.c_str(), pregap / 4500, pregap / 75 % 60, pregap % 75, first / 4500, first / 75 % 60, first % 75);
    WriteText(folder + name + ".cue", sheet);
    return folder + name + ".cue";
  }

  static CdScribeFile ImageFile(const std::string& cue) {
    CdScribeFile file = {};
    snprintf(file.path, sizeof file.path, "%s", cue.c_str());
    snprintf(file.destination, sizeof file.destination, "\\");
    file.kind = kCdFileImage;
    return file;
  }

  // The programs' burn: options, project, prepare, burn.
  int32_t StartBurn(char drive, const std::string& cue, const char* label) {
    CdScribeCalls& cd = CdScribe();
    if (int32_t code = cd.SetDevice(drive)) return code;
    CdScribeOptions options;
    if (int32_t code = cd.GetOptions(&options)) return code;
    snprintf(options.volumeLabel, sizeof options.volumeLabel, "%s", label);
    options.cacheBytes = 0x800000;
    options.ejectWhenDone = 1;
    if (int32_t code = cd.SetOptions(options)) return code;
    if (int32_t code = cd.ClearAll()) return code;
    if (int32_t code = cd.AddFile(ImageFile(cue))) return code;
    if (int32_t code = cd.Prepare()) return code;
    return cd.Burn();
  }

  Events* events = nullptr;
};

TEST_F(CdScribeTest, ListsTheDrivesWithTheirCapabilitiesAndMedia) {
  CdScribeCalls& cd = CdScribe();
  CdScribeDevice devices[kCdMaxDevices];
  int32_t count = 0;
  ASSERT_EQ(kCdOk, cd.GetDevices(devices, &count, 0));
  ASSERT_EQ(5, count);
  const char letters[] = "EFGHK";
  struct Row {
    char letter;
    bool cdWriter;
    int32_t medium;
    const char* type;
    int32_t used;
  } rows[] = {{'E', true, kCdOk, "CD-R", 0},
              {'F', true, kCdOk, "CD-RW", 1000},
              {'G', true, kCdNoMedium, "", 0},
              {'H', false, kCdOk, "DVD-R", 0}};
  for (int n = 0; n < count; ++n) EXPECT_EQ(letters[n], devices[n].text[0]) << devices[n].text;
  for (const Row& row : rows) {
    ASSERT_EQ(kCdOk, cd.SetDevice(row.letter));
    uint32_t flags = 0;
    ASSERT_EQ(kCdOk, cd.GetDeviceCapabilities(&flags));
    EXPECT_EQ(row.cdWriter, (flags & kCdCapWriterMask) != 0) << row.letter;
    CdScribeMedium medium;
    EXPECT_EQ(row.medium, cd.GetMediumInformation(&medium)) << row.letter;
    if (row.medium != kCdOk) continue;
    EXPECT_STREQ(row.type, medium.type);
    EXPECT_EQ(row.used, medium.usedSectors);
  }
  EXPECT_EQ(kCdNoDevice, cd.SetDevice('Z'));
}

TEST_F(CdScribeTest, BurnLeavesAByteIdenticalCopyAndUsesTheDiscUp) {
  std::string cue = MakeImage("VideoCD", 300, 600);
  ASSERT_EQ(kCdOk, StartBurn('E', cue, "MY VCD"));
  ASSERT_TRUE(WaitFor([&] { return events->burnDone > 0; }));
  EXPECT_EQ("", events->burnText);
  EXPECT_EQ(1, events->finalized.load());
  EXPECT_GT(events->process.load(), 0);
  EXPECT_FALSE(events->percentWentBack);
  EXPECT_FLOAT_EQ(100.0f, events->lastPercent);
  EXPECT_NE(GetCurrentThreadId(), events->callbackThread) << "callbacks come on the library's thread";
  const std::string disc = CurrentFolder() + "discs\\E\\";
  EXPECT_EQ(ReadBytes(CurrentFolder() + "VideoCD.bin"), ReadBytes(disc + "VideoCD.bin"));
  EXPECT_EQ(ReadBytes(cue), ReadBytes(disc + "VideoCD.cue"));

  CdScribeMedium medium;
  ASSERT_EQ(kCdOk, CdScribe().GetMediumInformation(&medium));
  EXPECT_EQ(900, medium.usedSectors);
  EXPECT_STREQ("MY VCD", medium.label);
  EXPECT_EQ("1", IniValue("E", "ejects")) << "the tray opens after the burn";
  // The used CD-R takes nothing more.
  EXPECT_EQ(kCdNotBlank, StartBurn('E', cue, "AGAIN"));
  EXPECT_EQ(kCdNotErasable, CdScribe().Erase(1));
}

TEST_F(CdScribeTest, RefusalsTheProgramsRelyOn) {
  std::string cue = MakeImage("small", 200, 200);
  EXPECT_EQ(kCdNoMedium, StartBurn('G', cue, "X"));
  EXPECT_EQ(kCdNotBlank, StartBurn('F', cue, "X"));
  EXPECT_EQ(kCdNotWritable, StartBurn('H', cue, "X"));
  CdScribeCalls& cd = CdScribe();
  ASSERT_EQ(kCdOk, cd.SetDevice('E'));
  ASSERT_EQ(kCdOk, cd.ClearAll());
  EXPECT_EQ(kCdEmptyProject, cd.Prepare());
  ASSERT_EQ(kCdOk, cd.AddFile(ImageFile(cue)));
  EXPECT_EQ(kCdNotPrepared, cd.Burn());
  // Bad sheets and missing images are found by Prepare.
  WriteText(CurrentFolder() + "bad.cue", "FILE \"small.bin\" BINARY\r\n  TRACK 01 MODE9/1\r\n");
  WriteText(CurrentFolder() + "lost.cue", "FILE \"lost.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n  INDEX 01 00:00:00\r\n");
  struct Row {
    const char* cue;
    int32_t code;
  } rows[] = {{"bad.cue", kCdBadImage}, {"lost.cue", kCdCannotRead}};
  for (const Row& row : rows) {
    ASSERT_EQ(kCdOk, cd.ClearAll());
    ASSERT_EQ(kCdOk, cd.AddFile(ImageFile(CurrentFolder() + row.cue)));
    EXPECT_EQ(row.code, cd.Prepare()) << row.cue;
  }
  EXPECT_EQ(kCdCannotRead, cd.AddFile(ImageFile(CurrentFolder() + "no-such.cue")));
  // An image larger than the disc.
  WritePrivateProfileStringA("E", "capacity", "100", (CurrentFolder() + "drives.ini").c_str());
  ASSERT_EQ(kCdOk, cd.ClearAll());
  ASSERT_EQ(kCdOk, cd.AddFile(ImageFile(cue)));
  EXPECT_EQ(kCdImageTooLarge, cd.Prepare());
}

// A used disc is erased whether its folder holds files or is not there at
// all (marked used in the drives file, never written here).
TEST_F(CdScribeTest, EraseMakesARewritableDiscBlank) {
  CdScribeCalls& cd = CdScribe();
  const std::string disc = CurrentFolder() + "discs\\F\\";
  for (const char* file : {"", "old.dat"}) {
    SCOPED_TRACE(*file != 0 ? "a file in the disc folder" : "no disc folder");
    UseOwnDrives(kDrives);
    ASSERT_TRUE(LayUsedDisc(disc, file));
    events->eraseDone = 0;
    events->process = 0;
    ASSERT_EQ(kCdOk, cd.SetDevice('F'));
    CdScribeOptions options;
    ASSERT_EQ(kCdOk, cd.GetOptions(&options));
    options.ejectWhenDone = 0;  // as the programs erase
    ASSERT_EQ(kCdOk, cd.SetOptions(options));
    ASSERT_EQ(kCdOk, cd.Erase(1));
    EXPECT_EQ(kCdBusy, cd.Burn()) << "one thing at a time";
    ASSERT_TRUE(WaitFor([&] { return events->eraseDone > 0; }));
    EXPECT_EQ(kCdOk, events->eraseResult.load());
    EXPECT_GT(events->process.load(), 0);
    EXPECT_TRUE(ReadBytes(disc + "old.dat").empty());
    CdScribeMedium medium;
    ASSERT_EQ(kCdOk, cd.GetMediumInformation(&medium));
    EXPECT_EQ(0, medium.usedSectors);
    EXPECT_EQ("1", IniValue("F", "blank"));
    EXPECT_EQ("0", IniValue("F", "ejects"));
    WaitFor([] { return CdScribe().CreateProject(kCdProjectImage) != kCdBusy; });
  }
  // Now it takes a burn.
  EXPECT_EQ(kCdOk, StartBurn('F', MakeImage("after", 150, 150), "AFTER ERASE"));
  ASSERT_TRUE(WaitFor([&] { return events->burnDone > 0; }));
  EXPECT_EQ("", events->burnText);
  // Nothing to erase on a disc that cannot be erased or is not there.
  ASSERT_EQ(kCdOk, cd.SetDevice('G'));
  EXPECT_EQ(kCdNoMedium, cd.Erase(1));
}

TEST_F(CdScribeTest, AbortStopsTheBurnAndTheDiscIsSpoilt) {
  // About 4 MB at 300 kB/s: many seconds, stopped after the first progress.
  std::string cue = MakeImage("long", 1000, 800);
  ASSERT_EQ(kCdOk, StartBurn('K', cue, "ABORTED"));
  ASSERT_TRUE(WaitFor([&] { return events->process > 1; }));
  EXPECT_EQ(kCdOk, CdScribe().Abort());
  ASSERT_TRUE(WaitFor([&] { return events->burnDone > 0; }, 10000));
  EXPECT_FALSE(events->burnText.empty()) << "a stopped burn reports a text";
  EXPECT_EQ(0, events->finalized.load());
  CdScribeMedium medium;
  ASSERT_EQ(kCdOk, CdScribe().GetMediumInformation(&medium));
  EXPECT_GT(medium.usedSectors, 0);
  EXPECT_LT(ReadBytes(CurrentFolder() + "discs\\K\\long.bin").size(), ReadBytes(CurrentFolder() + "long.bin").size());
  EXPECT_EQ(kCdOk, CdScribe().Abort()) << "nothing running: nothing to do";
}

TEST_F(CdScribeTest, EjectCountsAndCanChangeTheDisc) {
  CdScribeCalls& cd = CdScribe();
  ASSERT_EQ(kCdOk, cd.SetDevice('F'));
  ASSERT_EQ(kCdOk, cd.EjectDevice());
  EXPECT_EQ("1", IniValue("F", "ejects"));
  EXPECT_EQ("0", IniValue("F", "blank")) << "the same disc is still in";
  WritePrivateProfileStringA("F", "changeOnEject", "1", (CurrentFolder() + "drives.ini").c_str());
  ASSERT_EQ(kCdOk, cd.EjectDevice());
  EXPECT_EQ("1", IniValue("F", "blank")) << "a blank disc of the same kind came in";
  ASSERT_EQ(kCdOk, cd.SetDevice('G'));
  EXPECT_EQ(kCdOk, cd.EjectDevice()) << "an empty tray opens too";
}

struct ScanCase {
  const char* file;
  int32_t project;
  int notCompatible;
  int width;
};

TEST_F(CdScribeTest, VideoScannerJudgesFilesForTheDiscType) {
  if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
  WriteText(CurrentFolder() + "notes.mpg", std::string(50000, 'n'));
  const ScanCase cases[] = {
      {"pal-vcd.mpg", kCdProjectVcd, 0, 352},   {"ntsc-vcd.mpg", kCdProjectVcd, 0, 352},
      {"pal-svcd.mpg", kCdProjectVcd, 1, 480},  {"pal-svcd.mpg", kCdProjectSvcd, 0, 480},
      {"pal-vcd.mpg", kCdProjectSvcd, 1, 352},  {"mpeg1-2048.mpg", kCdProjectVcd, 1, 352},
      {"notes.mpg", kCdProjectVcd, 1, 0},
  };
  CdScribeCalls& cd = CdScribe();
  for (const ScanCase& row : cases) {
    ASSERT_EQ(kCdOk, cd.DeleteProject());
    ASSERT_EQ(kCdOk, cd.CreateProject(row.project));
    int before = events->scanDone;
    std::string path = std::string(row.file) == "notes.mpg" ? CurrentFolder() + row.file : FixturePath(row.file);
    CdScribeFile file = {};
    snprintf(file.path, sizeof file.path, "%s", path.c_str());
    snprintf(file.destination, sizeof file.destination, "\\");
    file.scanVideo = 1;
    file.kind = kCdFileVideo;
    ASSERT_EQ(kCdOk, cd.AddFile(file)) << row.file;
    ASSERT_TRUE(WaitFor([&] { return events->scanDone > before; })) << row.file;
    EXPECT_EQ(path, events->scanPath);
    EXPECT_EQ(row.notCompatible, events->notCompatible) << row.file << " project " << row.project;
    EXPECT_EQ(row.width, events->width) << row.file;
    WaitFor([] { return CdScribe().CreateProject(kCdProjectImage) != kCdBusy; });
  }
  EXPECT_GT(events->scanProgress.load(), 0);
}

TEST_F(CdScribeTest, ErrorReportShowsTheLibrarysText) {
  g_boxes.clear();
  SetBurnEngineErrorBox(RecordBox);
  ShowBurnEngineError(0);
  EXPECT_TRUE(g_boxes.empty());
  ShowBurnEngineError(kCdNotBlank);
  ShowBurnEngineError(4242);
  SetBurnEngineErrorBox(NULL);
  ASSERT_EQ(2u, g_boxes.size());
  EXPECT_EQ("error: the disc in the drive is not blank", g_boxes[0]);
  EXPECT_EQ("error: unknown error 4242", g_boxes[1]);
  char small[8];
  int32_t size = sizeof small;
  ASSERT_EQ(kCdOk, CdScribe().GetText(kCdNoMedium, small, &size));
  EXPECT_EQ(7, size) << "the text is cut to the buffer";
}

TEST_F(CdScribeTest, TraceHasALinePerCall) {
  CdScribe().SetDevice('E');
  CdScribe().EjectDevice();
  Bytes bytes = ReadBytes(CurrentFolder() + "CdScribe.trace");
  std::string trace(bytes.begin(), bytes.end());
  for (const char* call : {"Initialize(0, \"standins test\", 1)", "CreateProject(1)", "SetDevice(E)", "EjectDevice(E)"})
    EXPECT_NE(std::string::npos, trace.find(call)) << call;
}

TEST(CdScribeMissing, CallsFailInsteadOfCrashing) {
  CdScribeCalls missing;
  EXPECT_FALSE(missing.Load("no-such-library"));
  EXPECT_EQ(kCdLibraryMissing, missing.Burn());
  EXPECT_EQ(kCdLibraryMissing, missing.Initialize(0, "", 1));
}

}  // namespace
