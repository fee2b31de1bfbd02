// The CD side of the disc job under Wine: the image build worker running
// the real builder on a VideoCD project of ffmpeg's streams, with its
// messages to a window (state, texts, progress, the result line), cancel
// and failure; then CD writing through the CdScribe stand-in on virtual
// drives: the writer list, the burn of the built image, the refusal of a
// used disc and the erase of a CD-RW. The built images are copied out for
// bchunk and iso-info, which run natively afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "discjob/job_vcd_build.h"
#include "discjob/job_vcd_burn.h"
#include "suite/vcd_xml_writer.h"
#include "discimage/tests/test_paths.h"
#include "discimage/base/vcd_messages.h"
#include "mfc/mfc.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/tests/win_test_util.h"
#include "testing/gui/gui_test.h"

using namespace standin_test;

namespace {

const UINT kStateMessage = WM_APP + 27;

// What the build reported to its window.
struct BuildReports {
  std::vector<int> states;        // wParam of the state message, in order
  int result = -100;              // lParam of the last "ended"
  std::vector<std::string> infos; // level 2 texts
  std::vector<int> percents;      // progress records
  std::string resultLine;         // level 1 text
  volatile int* cancelOnProgress = nullptr;  // set on the first progress record
  DWORD thread = 0;               // the thread the messages were handled on
};
BuildReports g_reports;
UINT g_registered = 0;

LRESULT CALLBACK BuildWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kStateMessage) {
    g_reports.states.push_back(static_cast<int>(wParam));
    if (wParam == kVcdBuildEnded) g_reports.result = static_cast<int>(lParam);
    g_reports.thread = GetCurrentThreadId();
    return 0;
  }
  if (g_registered != 0 && message == g_registered && lParam != 0) {
    if (wParam == kVcdMsgInfo) g_reports.infos.push_back(reinterpret_cast<const char*>(lParam));
    if (wParam == 1) g_reports.resultLine = reinterpret_cast<const char*>(lParam);
    if (wParam == kVcdMsgProgress && reinterpret_cast<const VcdBuildProgress*>(lParam)->kind == 0) {
      g_reports.percents.push_back(reinterpret_cast<const VcdBuildProgress*>(lParam)->percent);
      if (g_reports.cancelOnProgress != nullptr) *g_reports.cancelOnProgress = 1;
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI BuildThread(LPVOID job) { return RunVcdBuild(*static_cast<VcdBuildJob*>(job)); }

class VcdBuildWorker : public ::testing::Test {
protected:
  void SetUp() override {
    if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
    g_reports = BuildReports();
    g_registered = RegisterWindowMessageA(JOB_BUILDER_MESSAGE_NAME);
    window = guitest::CreateReceiverWindow("JobVcdBuildWindow", BuildWindow);
    folder = CurrentFolder() + "build\\";
    CreateDirectoryA(folder.c_str(), NULL);
    job.window = window;
    job.messageName = JOB_BUILDER_MESSAGE_NAME;
    job.stateMessage = kStateMessage;
    job.xmlPath = folder + "vcd.xml";
    job.cuePath = folder + "VideoCD.cue";
    job.binPath = folder + "VideoCD.bin";
    job.cancelFlag = &cancel;
    job.messageStore = &stored;
  }
  void TearDown() override {
    if (window != NULL) DestroyWindow(window);
  }
  void WriteProject(int discClass, std::initializer_list<const char*> fixtures) {
    VcdXmlWriter writer;
    writer.SetDiscClass(discClass);
    writer.SetVolumeId("MY_VCD");
    for (const char* name : fixtures) writer.AddSequenceItem(FixturePath(name).c_str());
    ASSERT_EQ(0, writer.Write(job.xmlPath.c_str()));
  }
  // Runs the worker on its own thread, pumping this one until it ends.
  UINT Run() {
    DeleteFileA(job.cuePath.c_str());
    DeleteFileA(job.binPath.c_str());
    HANDLE thread = CreateThread(NULL, 0, BuildThread, &job, 0, NULL);
    EXPECT_NE(nullptr, thread);
    EXPECT_TRUE(WaitFor([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 120000));
    DWORD code = 999;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
  }
  HWND window = NULL;
  std::string folder;
  VcdBuildJob job;
  volatile int cancel = 1;  // the worker clears it
  UINT stored = 0;
};

// Keeps a built image for the native readers.
void KeepImage(const std::string& cue, const std::string& bin, const char* stem) {
  std::string out = FolderFromEnvironment("QUORBEL_JOB_IMAGES_OUT");
  if (out.empty()) return;
  CopyFileA(bin.c_str(), PathIn(out, std::string(stem) + ".bin").c_str(), FALSE);
  // The sheet names its image by the name it was written with.
  std::string sheet = test_support::ReadText(cue);
  size_t at = sheet.find("VideoCD.bin");
  if (at != std::string::npos) sheet.replace(at, 11, std::string(stem) + ".bin");
  WriteText(PathIn(out, std::string(stem) + ".cue"), sheet);
}

TEST_F(VcdBuildWorker, BuildsVcdAndSvcdImagesWithReports) {
  struct Case {
    int discClass;
    std::vector<const char*> fixtures;
    const char* stem;
  } cases[] = {{kVcdClassVcd20, {"pal-vcd.mpg", "ntsc-vcd.mpg"}, "vcd"},
               {kVcdClassSvcd, {"pal-svcd.mpg"}, "svcd"}};
  for (const Case& c : cases) {
    g_reports = BuildReports();
    VcdXmlWriter writer;
    writer.SetDiscClass(c.discClass);
    writer.SetVolumeId("MY_DISC");
    for (const char* name : c.fixtures) writer.AddSequenceItem(FixturePath(name).c_str());
    ASSERT_EQ(0, writer.Write(job.xmlPath.c_str()));
    EXPECT_EQ(0u, Run()) << c.stem;
    EXPECT_EQ((std::vector<int>{kVcdBuildStarted, kVcdBuildEnded}), g_reports.states);
    EXPECT_EQ(0, g_reports.result);
    EXPECT_EQ(0, cancel);  // cleared at the start
    EXPECT_EQ(g_registered, stored);
    EXPECT_EQ(GetCurrentThreadId(), g_reports.thread);  // sent, so handled here
    EXPECT_EQ("\"zrDiscBuild\" finished successfully", g_reports.resultLine);
    EXPECT_FALSE(g_reports.infos.empty());
    ASSERT_FALSE(g_reports.percents.empty());
    EXPECT_EQ(100, g_reports.percents.back());
    EXPECT_GT(test_support::FileSize(job.binPath), 300 * 2352);
    EXPECT_NE(std::string::npos, test_support::ReadText(job.cuePath).find("MODE2/2352"));
    KeepImage(job.cuePath, job.binPath, c.stem);
  }
}

TEST_F(VcdBuildWorker, CancelEndsWithTheCancelLine) {
  WriteProject(kVcdClassVcd20, {"pal-vcd.mpg", "ntsc-vcd.mpg"});
  g_reports.cancelOnProgress = &cancel;
  EXPECT_EQ(0u, Run());
  EXPECT_EQ(1, g_reports.result);
  EXPECT_EQ("\"zrDiscBuild\" finished with ERRORS : Cancel Request from User", g_reports.resultLine);
}

TEST_F(VcdBuildWorker, FailuresEndWithTheirResult) {
  // A project naming a missing file: the builder fails.
  VcdXmlWriter writer;
  writer.AddSequenceItem((folder + "missing.mpg").c_str());
  ASSERT_EQ(0, writer.Write(job.xmlPath.c_str()));
  EXPECT_EQ(0u, Run());
  EXPECT_EQ(1, g_reports.result);
  EXPECT_EQ("\"zrDiscBuild\" finished with ERRORS : internal error of 'libxml' or 'discimage'",
            g_reports.resultLine);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(job.binPath.c_str()));

  // A path the builder's block cannot hold is not cut: bad parameters,
  // and the builder does not run.
  g_reports = BuildReports();
  WriteProject(kVcdClassVcd20, {"pal-vcd.mpg"});
  job.binPath = folder + std::string(300, 'b') + ".bin";
  EXPECT_EQ(0u, Run());
  EXPECT_EQ((std::vector<int>{kVcdBuildStarted, kVcdBuildEnded}), g_reports.states);
  EXPECT_EQ(-1, g_reports.result);
  EXPECT_EQ("\"zrDiscBuild\" finished with ERRORS : missing or bad parameters", g_reports.resultLine);
  EXPECT_TRUE(g_reports.percents.empty());

  // Without a window nothing is sent and the worker says 103.
  job.window = NULL;
  EXPECT_EQ(103u, Run());
}

// ---- CD writing ---------------------------------------------------------------------

const char kDrives[] =
    "[drives]\r\nletters=DEFGH\r\n"
    "[D]\r\nproduct=Reader\r\nwrites=\r\nmedium=CD-ROM\r\nblank=1\r\n"
    "[E]\r\nproduct=Empty Writer\r\nwrites=cd\r\nmedium=none\r\n"
    "[F]\r\nproduct=CD-R Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n"
    "[G]\r\nproduct=Used CD-RW\r\nwrites=cd\r\nmedium=CD-RW\r\nblank=0\r\nused=900\r\n"
    "[H]\r\nproduct=Used CD-R\r\nwrites=cd\r\nmedium=CD-R\r\nblank=0\r\nused=900\r\n";

struct CdEvents {
  std::atomic<int> finalized{0}, burnDone{0}, eraseDone{0}, eraseResult{-1};
  std::string burnText;
};
CdEvents* g_cd = nullptr;

int32_t OUTSIDE_CALL OnFinalize(void*) {
  g_cd->finalized++;
  return 0;
}
int32_t OUTSIDE_CALL OnBurnDone(const char* text, void*) {
  g_cd->burnText = text != nullptr ? text : "(null)";
  g_cd->burnDone++;
  return 0;
}
int32_t OUTSIDE_CALL OnEraseDone(int32_t result, void*) {
  g_cd->eraseResult = result;
  g_cd->eraseDone++;
  return 0;
}

class CdWriting : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(CdScribe().Load(HostPath(QUORBEL_CDSCRIBE_DLL).c_str()));
    ASSERT_EQ(kCdOk, CdScribe().Initialize(0, "creator test", 1));
    // The library's error boxes go where the test's boxes go.
    SetBurnEngineErrorBox([](const char* text) { AfxMessageBox(text); });
  }
  static void TearDownTestSuite() { SetBurnEngineErrorBox(nullptr); }
  void SetUp() override {
    UseOwnDrives(kDrives);
    g_cd = &events;
    CdScribeCalls& cd = CdScribe();
    ASSERT_EQ(kCdOk, cd.CreateProject(kCdProjectImage));
    cd.SetFinalizeEventCallback(OnFinalize, nullptr);
    cd.SetBurnDoneEventCallback(OnBurnDone, nullptr);
    cd.SetEraseDoneEventCallback(OnEraseDone, nullptr);
    cd.SetProcessEventCallback(nullptr, nullptr);
  }
  void TearDown() override { g_cd = nullptr; }
  CdEvents events;
  CMessageBoxScript boxes;
};

TEST_F(CdWriting, ListsWritersAndPicksTheFirstWithACdR) {
  CdWriterList writers = FindCdWriters();
  ASSERT_EQ(4u, writers.entries.size());  // the reader is no writer
  EXPECT_EQ('E', writers.entries[0][0]);
  EXPECT_EQ('H', writers.entries[3][0]);
  EXPECT_EQ(1, writers.selected);       // F: the first holding a CD-R (a CD-RW would do too)
  EXPECT_EQ(0, boxes.Count());          // no medium (E) is no error

  UseOwnDrives("[drives]\r\nletters=EK\r\n[E]\r\nwrites=cd\r\nmedium=none\r\n"
               "[K]\r\nwrites=cd\r\nmedium=DVD-R\r\n");
  writers = FindCdWriters();
  EXPECT_EQ(1, writers.selected);  // none: the last
}

TEST_F(CdWriting, BurnsTheCueImageAndRefusesUsedDiscs) {
  if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
  // A small image to burn: one track of the fixture.
  std::string folder = CurrentFolder() + "cdimage\\";
  CreateDirectoryA(folder.c_str(), NULL);
  VcdBuildJob job;
  HWND window = guitest::CreateReceiverWindow("JobVcdBuildWindow", BuildWindow);
  job.window = window;
  job.messageName = JOB_BUILDER_MESSAGE_NAME;
  job.stateMessage = WM_APP + 1;
  job.xmlPath = folder + "vcd.xml";
  job.cuePath = folder + "VideoCD.cue";
  job.binPath = folder + "VideoCD.bin";
  VcdXmlWriter writer;
  writer.AddSequenceItem(FixturePath("pal-vcd.mpg").c_str());
  ASSERT_EQ(0, writer.Write(job.xmlPath.c_str()));
  ASSERT_EQ(0u, RunVcdBuild(job));
  DestroyWindow(window);

  ASSERT_TRUE(SelectCdWriter("F: CD-R Writer"));
  ASSERT_EQ(kCdBurnStarted, StartCueImageBurn("MY VCD", job.cuePath.c_str()));
  ASSERT_TRUE(WaitFor([&] { return events.burnDone == 1; }));
  EXPECT_EQ("", events.burnText);
  EXPECT_EQ(1, events.finalized);
  std::string disc = CurrentFolder() + "discs\\F\\";
  EXPECT_EQ(ReadBytes(job.binPath), ReadBytes(disc + "VideoCD.bin"));
  EXPECT_EQ("MY VCD", IniValue("F", "label"));
  EXPECT_EQ("1", IniValue("F", "ejects"));  // the tray opens when done

  // The same disc again (22), a used CD-R (22), a CD-ROM (21) and no disc
  // at all (23): no usable blank disc, tray opened.
  struct Refusal {
    const char* entry;
    char letter;
  } refusals[] = {{"F", 'F'}, {"H", 'H'}, {"D", 'D'}, {"E", 'E'}};
  for (const Refusal& r : refusals) {
    ASSERT_TRUE(SelectCdWriter(r.entry));
    std::string before = IniValue(std::string(1, r.letter).c_str(), "ejects");
    EXPECT_EQ(kCdBurnNoBlankDisc, StartCueImageBurn("MY VCD", job.cuePath.c_str())) << r.entry;
    EXPECT_EQ("Please insert a blank writable disc into the driver.", boxes.LastText());
    EXPECT_NE(before, IniValue(std::string(1, r.letter).c_str(), "ejects"));
  }

  // A cue sheet that is not there: the library's error box.
  ASSERT_TRUE(SelectCdWriter("G"));
  int count = boxes.Count();
  EXPECT_EQ(kCdBurnFailed, StartCueImageBurn("X", (folder + "none.cue").c_str()));
  EXPECT_EQ(count + 1, boxes.Count());
  EXPECT_EQ(0, boxes.LastText().Find("error: "));
}

TEST_F(CdWriting, ErasesAUsedCdRwWithTheTrayClosed) {
  ASSERT_TRUE(SelectCdWriter("G"));
  ASSERT_EQ(0, StartCdErase());
  ASSERT_TRUE(WaitFor([&] { return events.eraseDone == 1; }));
  EXPECT_EQ(kCdOk, events.eraseResult);
  EXPECT_EQ("1", IniValue("G", "blank"));
  EXPECT_EQ("0", IniValue("G", "ejects"));

  // A CD-R cannot be erased: the error box, -1.
  ASSERT_TRUE(SelectCdWriter("H"));
  EXPECT_EQ(-1, StartCdErase());
  EXPECT_EQ(0, boxes.LastText().Find("error: "));
  // No writer at all.
  EXPECT_FALSE(SelectCdWriter(""));
}

}  // namespace
