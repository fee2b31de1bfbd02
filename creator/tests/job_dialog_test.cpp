// The disc job dialog under Wine, in real windows driven by messages: a
// stand-in of the list window holds the source list (list control 1007)
// and owns the dialog, built from a template laid out as dialog 155. Files
// are converted by the stand-in conversion control (MPEGCreator.dll,
// registered as an installer would) and multiplexed by the stand-in
// muxTools.dll; the MPEG fixtures are made by ffmpeg at test time.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "discjob/job_convert_rules.h"
#include "creator/job_dialog.h"
#include "creator/res/creator_resource.h"
#include "creator/tests/recording_job_dialog.h"
#include "creator/tests/source_list_window.h"
#include "discimage/mpeg/mpeg_source.h"
#include "testing/programs/program_test_support.h"
#include "discimage/tests/test_paths.h"
#include "discimage/tests/test_support.h"
#include "discimage/base/vcd_messages.h"
#include "mfc/mfc.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/include/convctl.h"
#include "standins/tests/win_test_util.h"
#include "testing/gui/gui_test.h"

using test_support::CurrentTestName;
using test_support::ReadText;
using test_support::WriteText;
using standin_test::CurrentFolder;

namespace {

std::string Mpeg(const std::string& name) { return FixturePath(name); }
std::string Own(const std::string& name) { return FixtureIn("QUORBEL_CONVCTL_FIXTURES", name); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Dialog 155's controls, in its places.
guitest::DialogTemplate JobTemplate() {
  guitest::DialogTemplate t("Start Converting and Burning", 20, 20, 330, 272);
  t.Static(IDC_JOB_OUTPUT_LABEL, "Output Folder :", 10, 10, 68, 10)
      .Edit(IDC_JOB_OUTPUT_FOLDER, 80, 8, 190, 14, ES_AUTOHSCROLL | ES_READONLY | WS_BORDER)
      .Button(IDC_JOB_SELECT_FOLDER, "Select", 275, 8, 45, 14)
      .Static(IDC_JOB_TEMP_LABEL, "Temp Folder :", 10, 28, 68, 10)
      .Add("COMBOBOX", IDC_JOB_TEMP_DRIVE, "", 80, 26, 240, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP)
      .Static(IDC_JOB_TV_LABEL, "TV Type :", 10, 46, 68, 10)
      .Add("BUTTON", IDC_JOB_NTSC, "NTSC", 80, 46, 60, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP)
      .Add("BUTTON", IDC_JOB_PAL, "PAL", 145, 46, 60, 10, BS_AUTORADIOBUTTON)
      .Static(IDC_JOB_ASPECT_LABEL, "Aspect Ratio :", 10, 62, 68, 10)
      .Add("BUTTON", IDC_JOB_ASPECT_4X3, "4:3   (Standard TV)", 80, 62, 100, 10,
           BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP)
      .Add("BUTTON", IDC_JOB_ASPECT_16X9, "16:9 (Wide Screen TV)", 185, 62, 110, 10, BS_AUTORADIOBUTTON)
      .Static(IDC_JOB_LETTERBOX_LABEL, "Letter Box :", 10, 78, 68, 10)
      .Add("BUTTON", IDC_JOB_LETTERBOX, "Auto add letter box", 80, 78, 120, 10,
           BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP)
      .Static(IDC_JOB_LABEL_LABEL, "Disc Label :", 10, 96, 68, 10)
      .Edit(IDC_JOB_DISC_LABEL, 80, 94, 120, 14)
      .Static(IDC_JOB_DRIVE_LABEL, "Select Driver :", 10, 114, 68, 10)
      .Add("COMBOBOX", IDC_JOB_DRIVE, "", 80, 112, 240, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP)
      .Static(IDC_JOB_HINT, "Click \"Start\" to create a disc; Click \"Cancel\" to return.", 10, 132, 310, 10)
      .Add("STATIC", IDC_JOB_STATUS, "", 10, 132, 310, 10, SS_LEFT)
      .Add("STATIC", IDC_JOB_ELAPSED, "", 10, 144, 310, 10, SS_LEFT)
      .Add("msctls_progress32", IDC_JOB_PROGRESS, "", 10, 158, 310, 10, WS_BORDER)
      .Edit(IDC_JOB_LOG, 10, 172, 310, 74, ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_BORDER)
      .Add("STATIC", IDC_JOB_CONVERTER, CONVERSION_CONTROL_CLSID_TEXT, 0, 0, 1, 1, SS_LEFT)
      .Button(IDC_JOB_START, "Start", 210, 252, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP)
      .Button(IDCANCEL, "Cancel", 270, 252, 50, 14);
  return t;
}

// The dialog with its inner steps reachable from the tests.
class TestJobDialog : public RecordingJobDialog {
public:
  using RecordingJobDialog::RecordingJobDialog;
  using DiscJobDialog::OnConversionFinished;
  using DiscJobDialog::PrepareNewJob;
  using DiscJobDialog::UpdateMuxProgress;
};

std::vector<std::string> g_engineErrors;
void RecordEngineError(const char* text) { g_engineErrors.push_back(text); }

class JobDialogTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    SetEnvironmentVariableA("QUORBEL_TRACE_DIR", CurrentFolder().c_str());
    ASSERT_TRUE(program_test::RegisterConversionControl(HostPath(QUORBEL_CONVCTL_DLL)));
    ASSERT_EQ(kMplexLoaded, LoadMplexLibrary(HostPath(QUORBEL_MUXTOOLS_DLL).c_str()));
  }

  void SetUp() override {
    guitest::InitCommonControlsOnce();
    SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
    SetBurnEngineErrorBox(&RecordEngineError);
    g_engineErrors.clear();
    outFolder_ = CurrentFolder() + CurrentTestName() + "\\";
    DeleteFolderTree(outFolder_.c_str(), NULL);
    g_convertSettings = ConvertSettings();
    g_convertSettings.SetOutputFolder(outFolder_.c_str());
    ASSERT_TRUE(list_.Open());
  }

  void TearDown() override {
    guitest::CancelPending();
    SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", NULL);
    Close();
    list_.Close();
    SetBurnEngineErrorBox(NULL);
    DeleteFolderTree("C:\\tmpQuorbel\\", NULL);
  }

  void Close() {
    if (dlg_ == nullptr) return;
    if (dlg_->GetSafeHwnd() != NULL) {
      dlg_->conv.Stop();
      dlg_->DestroyWindow();
    }
    delete dlg_;
    dlg_ = nullptr;
  }

  HWND ListControl() { return list_.Control(); }
  void AddSource(const std::string& path, const std::string& duration) { list_.AddSource(path, duration); }

  // Opens the dialog for a disc type; the road of stages is recorded.
  void Open(int discType, int tvType = kTvTypePal) {
    g_convertSettings.discType = discType;
    g_convertSettings.tvType = tvType;
    dlg_ = new TestJobDialog(&list_);
    dlg_->stageObserver = [this](int stage) {
      road_.push_back(stage);
      if (onStage_) onStage_(stage);
    };
    ASSERT_TRUE(dlg_->CreateIndirect(jobTemplate_.Get(), &list_));
    dlg_->ShowWindow(SW_SHOWNA);
    guitest::PumpPending();
  }

  // A writer in the drive list, for the steps after the drive check.
  void AddWriter() {
    if (dlg_->driveList.GetCount() == 0) dlg_->driveList.AddString("E: Test Writer");
    dlg_->driveList.SetCurSel(0);
  }

  HWND Item(int id) { return ::GetDlgItem(dlg_->GetSafeHwnd(), id); }
  std::string Text(int id) { return guitest::GetText(Item(id)); }
  std::string Log() { return Text(IDC_JOB_LOG); }
  std::string Temp() { return g_convertSettings.tempFolder; }

  // Until the stage is reached, or a failure stage ends the road.
  bool WaitForStage(int stage, DWORD ms = 30000) {
    auto reached = [&](int s) { return std::find(road_.begin(), road_.end(), s) != road_.end(); };
    guitest::PumpUntil([&] { return reached(stage) || reached(kStageConvertFailed) || reached(kStageMuxFailed); }, ms);
    return reached(stage);
  }
  // Prepares folders as Start does and begins the job.
  void BeginJob() {
    dlg_->UpdateData(TRUE);
    g_convertSettings.SetTempFolder("C:\\tmpQuorbel\\");
    ASSERT_TRUE(dlg_->PrepareNewJob());
    dlg_->BeginNewJob();
  }

  std::string outFolder_;
  guitest::DialogTemplate jobTemplate_ = JobTemplate();
  program_test::SourceListWindow list_;
  TestJobDialog* dlg_ = nullptr;
  std::vector<int> road_;
  std::function<void(int)> onStage_;
  CMessageBoxScript boxes_;
};

// ---- Opening ---------------------------------------------------------------------------

TEST_F(JobDialogTest, OpensWithTheSettingsOfItsDiscType) {
  struct Case {
    int discType;
    const char* label;
    bool dvdControls;
  } cases[] = {{kDiscTypeVcd, "My VCD", false}, {kDiscTypeSvcd, "My SVCD", false}, {kDiscTypeDvd, "My DVD", true}};
  for (const Case& c : cases) {
    g_convertSettings.aspect = kAspect16x9;
    g_convertSettings.letterBox = 1;
    Open(c.discType, kTvTypePal);
    EXPECT_EQ(c.label, Text(IDC_JOB_DISC_LABEL));
    EXPECT_EQ(outFolder_, Text(IDC_JOB_OUTPUT_FOLDER));
    EXPECT_EQ(BST_CHECKED, guitest::GetCheck(Item(IDC_JOB_PAL)));
    EXPECT_EQ(BST_UNCHECKED, guitest::GetCheck(Item(IDC_JOB_NTSC)));
    for (int id : {IDC_JOB_ASPECT_4X3, IDC_JOB_ASPECT_16X9, IDC_JOB_LETTERBOX})
      EXPECT_EQ(c.dvdControls, guitest::IsEnabled(Item(id))) << c.label << " control " << id;
    // The DVD settings are shown only for a DVD.
    EXPECT_EQ(c.dvdControls ? BST_CHECKED : BST_UNCHECKED, guitest::GetCheck(Item(IDC_JOB_ASPECT_16X9)));
    EXPECT_EQ(c.dvdControls ? BST_CHECKED : BST_UNCHECKED, guitest::GetCheck(Item(IDC_JOB_LETTERBOX)));
    EXPECT_FALSE(guitest::IsVisible(Item(IDC_JOB_STATUS)));
    EXPECT_FALSE(guitest::IsVisible(Item(IDC_JOB_ELAPSED)));
    EXPECT_TRUE(guitest::IsVisible(Item(IDC_JOB_HINT)));
    EXPECT_EQ(0, dlg_->imageReady);
    EXPECT_EQ(&list_, dlg_->listWindow);

    // The labels are bold.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Item(IDC_JOB_HINT), WM_GETFONT, 0, 0));
    LOGFONTA logFont = {};
    ASSERT_NE(0, GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_EQ(FW_BOLD, logFont.lfWeight);
    if (c.discType == kDiscTypeDvd) guitest::SaveScreenshot(dlg_->GetSafeHwnd(), "job_dialog_dvd_idle");
    Close();
  }
}

// Fixed drives C to Y with their free space, the roomiest selected.
// The free space of every fixed drive, read over and over on a thread of
// its own while the dialog reads it once: what the dialog shows lies
// between the lowest and the highest reading, give or take the largest
// step between two readings in a row.
class FreeSpaceWatch {
public:
  explicit FreeSpaceWatch(const CString& letters) : letters_(letters), low_(letters_.size(), INT_MAX),
      high_(letters_.size(), INT_MIN), last_(letters_.size(), -1), step_(letters_.size(), 0) {
    Read();  // one reading before the dialog's
    thread_ = std::thread([this] {
      while (!stop_) Read();
    });
  }
  ~FreeSpaceWatch() { Stop(); }
  void Stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
    Read();  // and one after it
  }
  // Whether the dialog's number for the drive at that place can have been
  // true when it was read.
  ::testing::AssertionResult Allows(int place, int shown) const {
    if (shown >= low_[place] - step_[place] && shown <= high_[place] + step_[place])
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << shown << " MB is outside the free space read meanwhile, "
                                         << low_[place] << " to " << high_[place] << " MB (steps up to "
                                         << step_[place] << " MB)";
  }

private:
  void Read() {
    for (size_t i = 0; i < letters_.size(); ++i) {
      int free = GetDiskFreeMB(letters_[i]);
      low_[i] = std::min(low_[i], free);
      high_[i] = std::max(high_[i], free);
      if (last_[i] >= 0) step_[i] = std::max(step_[i], std::abs(free - last_[i]));
      last_[i] = free;
    }
  }

  std::string letters_;           // the drives, copied: read on the watching thread
  std::vector<int> low_, high_;  // the lowest and highest free MB read, by place
  std::vector<int> last_;        // the latest reading, -1 before the first
  std::vector<int> step_;        // the largest change between two readings in a row
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(JobDialogTest, TempDriveListOffersFixedDrives) {
  CString letters = GetFixedDriveLetters();
  ASSERT_GT(letters.GetLength(), 0);
  // Free space moves while other tests write: the dialog's one reading is
  // checked against the readings taken all the while it was made, and the
  // pick against the entries' own numbers.
  FreeSpaceWatch watch(letters);
  Open(kDiscTypeDvd);
  watch.Stop();
  ASSERT_EQ(letters.GetLength(), dlg_->tempDriveList.GetCount());
  const std::string kSpace = "\\tmpQuorbel\\      Free Space ";
  int best = -1, bestFree = -2;
  for (int i = 0; i < letters.GetLength(); ++i) {
    CString entry;
    dlg_->tempDriveList.GetLBText(i, entry);
    std::string text = static_cast<const char*>(entry);
    EXPECT_NE('Z', letters[i]);
    std::string head = std::string(1, letters[i]) + ":" + kSpace;
    ASSERT_EQ(0u, text.compare(0, head.size(), head)) << text;
    int shown = atoi(text.c_str() + head.size());
    EXPECT_EQ(head + std::to_string(shown) + " MB", text);
    EXPECT_TRUE(watch.Allows(i, shown)) << text;
    if (shown > bestFree) {
      best = i;
      bestFree = shown;
    }
  }
  EXPECT_EQ(best, dlg_->tempDriveList.GetCurSel());
}

// ---- Start and its checks ------------------------------------------------------------

TEST_F(JobDialogTest, StartRefusesWhatCannotMakeADisc) {
  if (FixturesDir().empty()) GTEST_SKIP() << "fixture folder not set";
  struct Case {
    const char* name;
    int discType;
    bool writer;
    std::string label;
    std::string outputFolder;  // "" the test's folder
    std::string duration;
    std::string box;           // how the box's text begins
    std::vector<std::string> log;
  } cases[] = {
      {"no CD writer", kDiscTypeVcd, false, "My VCD", "", "00:00:03.0", "Can't find writer with burning capabilities.",
       {"Starting...", "Failed to find writer with burning capabilities.", "Failed!"}},
      {"no DVD writer", kDiscTypeDvd, false, "My DVD", "", "00:00:03.0", "Can't find devices with burning capabilities.",
       {"Starting..."}},
      {"label with a colon", kDiscTypeDvd, true, "My:DVD", "", "00:00:03.0",
       "The Disc Label included following invalid character:\n / , \\\\ , : , * , ? , \" , < , > , |  \n\nPlease edit "
       "it again.",
       {"Starting..."}},
      {"label with a quote", kDiscTypeSvcd, true, "My\"SVCD", "", "00:00:03.0", "The Disc Label included", {}},
      {"label of dots", kDiscTypeDvd, true, "..", "", "00:00:03.0", "The Disc Label can't be empty.", {}},
      {"empty label", kDiscTypeVcd, true, "", "", "00:00:03.0", "The Disc Label can't be empty.", {}},
      {"DVD output folder", kDiscTypeDvd, true, "My DVD", "Q:\\nowhere\\out\\", "00:00:03.0",
       "Create output directory failed!\nPlease change the output directory with clicking Select button! ", {}},
      {"CD output folder", kDiscTypeVcd, true, "My VCD", "Q:\\nowhere\\out\\", "00:00:03.0",
       "Create output directory failed!\nPlease change output directory with clicking the Setting button in the "
       "toolbar! ",
       {}},
      {"temp drive too small", kDiscTypeDvd, true, "My DVD", "", "99:00:00.0",
       "There is not enough free space for Temp Folder.\n\nRequired space on dirive C: is ",
       {"Starting...", "Disk space is not enough!", "Failed"}},
      {"one drive too small", kDiscTypeSvcd, true, "My SVCD", "C:\\QuorbelOut\\", "99:00:00.0",
       "There is not enough free space on driver C:.\n\nRequired space on dirive C: is 498960.0 MB.",
       {"Disk space is not enough!", "Failed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ListView_DeleteAllItems(ListControl());
    AddSource(Mpeg("pal-vcd.mpg"), c.duration);
    AddSource(Mpeg("pal-vcd.mpg"), c.duration);
    g_convertSettings.SetOutputFolder(c.outputFolder.empty() ? outFolder_.c_str() : c.outputFolder.c_str());
    Open(c.discType);
    if (c.writer) AddWriter();
    guitest::SetText(Item(IDC_JOB_DISC_LABEL), c.label);
    int before = boxes_.Count();
    guitest::Click(Item(IDC_JOB_START));
    ASSERT_EQ(before + 1, boxes_.Count());
    EXPECT_EQ(0, strncmp(c.box.c_str(), boxes_.LastText(), c.box.size())) << boxes_.LastText();
    std::string log = Log();
    size_t at = 0;
    for (const std::string& line : c.log) {
      at = log.find("  " + line + "\r\n", at);
      EXPECT_NE(std::string::npos, at) << line << " in\n" << log;
    }
    EXPECT_TRUE(road_.empty()) << "no stage was entered";
    // The settings were saved before the checks.
    std::string ini = ReadText(std::string(GetAppFolder()) + "param.ini");
    EXPECT_TRUE(Contains(ini, "TempFolder=C:\\tmpQuorbel\\")) << ini;
    EXPECT_TRUE(Contains(ini, "TVType=1")) << ini;
    // A refused label touches no disc folder.
    if (c.label.find_first_of(":\"") != std::string::npos) {
      EXPECT_FALSE(FolderExists((outFolder_ + c.label).c_str()));
    }
    Close();
  }
  DeleteFolderTree("C:\\QuorbelOut\\", NULL);
}

TEST_F(JobDialogTest, NewJobRebuildsTheFoldersItWorksIn) {
  AddSource(Mpeg("pal-vcd.mpg"), "00:00:03.0");
  Open(kDiscTypeDvd);
  // A DVD job starts with an empty disc folder (one an earlier job made)
  // and an empty temp folder.
  CreateFolderPath((outFolder_ + "My DVD\\VIDEO_TS").c_str());
  WriteText(outFolder_ + "My DVD\\VIDEO_TS\\VTS_01_1.VOB", "old");
  CreateFolderPath("C:\\tmpQuorbel\\");
  WriteText("C:\\tmpQuorbel\\leftover.mpg", "old");
  dlg_->UpdateData(TRUE);
  g_convertSettings.SetTempFolder("C:\\tmpQuorbel\\");
  ASSERT_TRUE(dlg_->PrepareNewJob());
  EXPECT_TRUE(FolderExists((outFolder_ + "My DVD").c_str()));
  EXPECT_FALSE(FolderExists((outFolder_ + "My DVD\\VIDEO_TS").c_str()));
  EXPECT_TRUE(FolderExists("C:\\tmpQuorbel\\"));
  EXPECT_FALSE(FileExists("C:\\tmpQuorbel\\leftover.mpg"));
  Close();

  // A CD job makes its disc folder and names its image there.
  Open(kDiscTypeSvcd);
  dlg_->UpdateData(TRUE);
  ASSERT_TRUE(dlg_->PrepareNewJob());
  EXPECT_TRUE(FolderExists((outFolder_ + "My SVCD").c_str()));
  EXPECT_STREQ((outFolder_ + "My SVCD\\VideoCD.cue").c_str(), dlg_->cuePath);
  EXPECT_STREQ((outFolder_ + "My SVCD\\VideoCD.bin").c_str(), dlg_->binPath);
}

// ---- The road of a job -------------------------------------------------------------------

// Every item is converted and multiplexed into T n ".mpg"; the streams go.
TEST_F(JobDialogTest, VcdJobConvertsAndMultiplexesEverySource) {
  if (FixturesDir().empty()) GTEST_SKIP() << "fixture folder not set";
  AddSource(Mpeg("pal-vcd.mpg"), "00:00:03.0");
  AddSource(Mpeg("pal-vcd.mpg"), "00:00:02.5");
  Open(kDiscTypeVcd, kTvTypePal);
  std::vector<double> outputs;  // playing time of each multiplexed file
  onStage_ = [&](int stage) {
    if (stage == kStageMultiplexed) {
      std::string out = static_cast<const char*>(dlg_->OutputName(".mpg"));
      CVcdMessageSink sink;
      sink.SetLevel(kVcdLevelQuiet);
      CVcdMpegSource source(&sink, out.c_str());
      EXPECT_EQ(kMpegScanOk, source.Scan(1, 0, out.c_str())) << out;
      const MpegStreamInfo* info = source.GetStreamInfo();
      EXPECT_TRUE(info->video[0].seen);
      EXPECT_TRUE(info->audio[0].seen);
      outputs.push_back(info->playingTime);
      EXPECT_FALSE(FileExists(dlg_->OutputName("_vid.mpg")));
      EXPECT_FALSE(FileExists(dlg_->OutputName("_aud.mpg")));
    }
    if (stage == kStageMultiplexing) {
      EXPECT_FALSE(guitest::IsEnabled(Item(IDC_JOB_START)));
    }
  };
  BeginJob();
  ASSERT_TRUE(guitest::PumpUntil(
      [&] { return road_.size() >= 9 || dlg_->stage == kStageConvertFailed || dlg_->stage == kStageMuxFailed; },
      60000))
      << Log();
  std::vector<int> expected = {kStageConverting, kStageConverted, kStageMultiplexing, kStageMultiplexed,
                               kStageConverting, kStageConverted, kStageMultiplexing, kStageMultiplexed};
  ASSERT_GE(road_.size(), expected.size()) << Log();
  EXPECT_EQ(expected, std::vector<int>(road_.begin(), road_.begin() + 8)) << Log();
  // Then the image: started, or failed to start. A started build is let
  // finish (its thread works with the dialog) before the dialog goes.
  EXPECT_TRUE(road_[8] == kStageBuildingImage || road_[8] == kStageImageFailed) << road_[8];
  guitest::PumpUntil([&] {
    int last = road_.back();
    return last == kStageImageFailed || last == kStageBurnFailed || last == kStageBurnEnded;
  }, 60000);
  ASSERT_EQ(2u, outputs.size());
  EXPECT_NEAR(3.0, outputs[0], 0.7);
  EXPECT_NEAR(2.5, outputs[1], 0.7);
  EXPECT_EQ(1, dlg_->outputNumber);
  std::string log = Log();
  size_t first = log.find("  Converting the file:" + Mpeg("pal-vcd.mpg") + "\r\n");
  ASSERT_NE(std::string::npos, first) << log;
  EXPECT_NE(std::string::npos, log.find("  Converting the file:" + Mpeg("pal-vcd.mpg") + "\r\n", first + 1)) << log;
  // The control was set up as a VCD PAL conversion of the whole source.
  std::string trace = ReadText(CurrentFolder() + "MPEGCreator.trace");
  EXPECT_TRUE(Contains(trace, "put 14 = 2")) << "profile";
  EXPECT_TRUE(Contains(trace, "put 23 = 2.500")) << "stop of the second source";
}

// A DVD source is cut into clips with their own output numbers; the second
// clip of a 3-second file listed as 2000 seconds holds nothing, and the
// control's error fails the job.
TEST_F(JobDialogTest, DvdSourceIsConvertedClipByClip) {
  if (Own("x").empty()) GTEST_SKIP() << "fixture folder not set";
  std::string source = Own("pal-dvd-mp2.mpg");
  AddSource(source, "00:33:20.0");
  Open(kDiscTypeDvd, kTvTypePal);
  DeleteFileA((CurrentFolder() + "MPEGCreator.trace").c_str());
  boxes_.OnBox([&](const CMessageBoxScript::Box&) { guitest::SaveScreenScreenshot("job_dialog_clip_failed"); });
  BeginJob();
  ASSERT_TRUE(WaitForStage(kStageConvertFailed, 60000)) << Log();
  std::vector<int> expected = {kStageConverting, kStageConverted, kStageMultiplexing, kStageMultiplexed,
                               kStageConverting, kStageConvertFailed};
  EXPECT_EQ(expected, road_) << Log();
  EXPECT_EQ(3, dlg_->clipCount);
  EXPECT_EQ(1, dlg_->clipIndex);
  EXPECT_EQ(1, dlg_->outputNumber);
  std::string log = Log();
  EXPECT_TRUE(Contains(log, "  Converting the clip 1/3 of file:" + source + "\r\n")) << log;
  EXPECT_TRUE(Contains(log, "  Converting the clip 2/3 of file:" + source + "\r\n")) << log;
  EXPECT_TRUE(Contains(log, "  Failed to convert the file.\r\n"));
  EXPECT_TRUE(Contains(log, "  Failed!\r\n"));
  ASSERT_GE(boxes_.Count(), 1);
  std::string box = static_cast<const char*>(boxes_.LastText());
  EXPECT_EQ(0u, box.find("Failed to convert " + source + " \n")) << box;
  EXPECT_TRUE(Contains(box, "\n\nThere is no CODEC for this file or can't support it.\nPlease read FAQ in HELP or "
                            "contact us."));
  std::string trace = ReadText(CurrentFolder() + "MPEGCreator.trace");
  for (const char* line : {"put 14 = 7", "put 1 = 224", "put 27 = 6000", "put 22 = 0.000", "put 23 = 900.000",
                           "put 22 = 900.000", "put 23 = 1800.000"})
    EXPECT_TRUE(Contains(trace, line)) << line;
  // The failure stage gives the buttons back and removes the temp folder.
  EXPECT_EQ("Start", Text(IDC_JOB_START));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDC_JOB_START)));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_TRUE(guitest::IsVisible(Item(IDC_JOB_HINT)));
  EXPECT_FALSE(guitest::IsVisible(Item(IDC_JOB_STATUS)));
  EXPECT_FALSE(FolderExists(Temp().c_str()));
  guitest::SaveScreenshot(dlg_->GetSafeHwnd(), "job_dialog_dvd_failed");
}

// While converting: progress and status move, Cancel is disabled, and Start
// asks before it aborts; a late finished event is ignored.
TEST_F(JobDialogTest, AbortWhileConverting) {
  if (Own("x").empty()) GTEST_SKIP() << "fixture folder not set";
  SetEnvironmentVariableA("QUORBEL_CONVCTL_PACE_MS", "150");
  AddSource(Own("pal-dvd-mp2.mpg"), "00:00:03.0");
  Open(kDiscTypeDvd, kTvTypePal);
  BeginJob();
  ASSERT_TRUE(guitest::PumpUntil([&] { return dlg_->progress.GetPos() > 0; }, 20000)) << Log();
  EXPECT_EQ(kStageConverting, dlg_->stage);
  EXPECT_EQ("Stop", Text(IDC_JOB_START));
  EXPECT_FALSE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_FALSE(guitest::IsEnabled(Item(IDC_JOB_OUTPUT_FOLDER)));
  EXPECT_FALSE(guitest::IsEnabled(Item(IDC_JOB_DISC_LABEL)));
  EXPECT_TRUE(guitest::IsVisible(Item(IDC_JOB_STATUS)));
  EXPECT_TRUE(guitest::IsVisible(Item(IDC_JOB_ELAPSED)));
  EXPECT_FALSE(guitest::IsVisible(Item(IDC_JOB_HINT)));
  std::string status = Text(IDC_JOB_STATUS);
  EXPECT_EQ(std::string(dlg_->statusPrefix) + " ", status.substr(0, dlg_->statusPrefix.GetLength() + 1)) << status;
  EXPECT_EQ('%', status.back()) << status;
  guitest::SaveScreenshot(dlg_->GetSafeHwnd(), "job_dialog_converting");

  // Cancel is not taken while it is disabled (Escape and the close box).
  dlg_->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(guitest::IsVisible(dlg_->GetSafeHwnd()));

  // Asked, and answered Cancel: the conversion goes on.
  boxes_.Answer(IDCANCEL);
  guitest::Click(Item(IDC_JOB_START));
  EXPECT_EQ("Would you really like to abort the convert process?", std::string(boxes_.LastText()));
  EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION), boxes_.Boxes().back().type);
  EXPECT_EQ(kStageConverting, dlg_->stage);
  // Answered OK: aborted.
  guitest::Click(Item(IDC_JOB_START));
  EXPECT_EQ(kStageConvertFailed, dlg_->stage);
  EXPECT_EQ(1, dlg_->abortRequested);
  EXPECT_TRUE(Contains(Log(), "  Aborted by user\r\n")) << Log();
  guitest::PumpFor(500);
  EXPECT_EQ(kStageConvertFailed, road_.back()) << "nothing follows the abort";
  EXPECT_FALSE(FolderExists(Temp().c_str()));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDC_JOB_OUTPUT_FOLDER)));

  // A finished event after an abort changes nothing.
  size_t steps = road_.size();
  dlg_->OnConversionFinished();
  EXPECT_EQ(steps, road_.size());
}

// The erase of a rewritable CD is done: conversion starts from the first item.
TEST_F(JobDialogTest, EraseDoneStartsConverting) {
  if (FixturesDir().empty()) GTEST_SKIP() << "fixture folder not set";
  AddSource(Mpeg("pal-svcd.mpg"), "00:00:03.0");
  Open(kDiscTypeSvcd);
  dlg_->UpdateData(TRUE);
  g_convertSettings.SetTempFolder("C:\\tmpQuorbel\\");
  ASSERT_TRUE(dlg_->PrepareNewJob());
  dlg_->SetStage(kStageErasing, 1);
  dlg_->SetStage(kStageErased, 0);
  dlg_->outputNumber = 7;
  dlg_->abortRequested = 1;
  dlg_->PostMessage(kJobEraseDoneMessage, 0, 0);
  ASSERT_TRUE(WaitForStage(kStageMultiplexed)) << Log();
  EXPECT_EQ((std::vector<int>{kStageErasing, kStageErased, kStageConverting, kStageConverted, kStageMultiplexing,
                              kStageMultiplexed}),
            std::vector<int>(road_.begin(), road_.begin() + 6));
  EXPECT_EQ(0, dlg_->outputNumber);
  EXPECT_EQ(0, dlg_->abortRequested);
  EXPECT_TRUE(Contains(ReadText(CurrentFolder() + "MPEGCreator.trace"), "put 14 = 5")) << "SVCD PAL";
}

// Start during the image build and during the burn asks before it stops.
TEST_F(JobDialogTest, StartAsksBeforeStoppingABuildOrABurn) {
  Open(kDiscTypeVcd);
  dlg_->SetStage(kStageBuildingImage, 1);
  boxes_.Answer(IDCANCEL);
  guitest::Click(Item(IDC_JOB_START));
  EXPECT_EQ("It is creating the cue image.\nWould you really like to abort the process?",
            std::string(boxes_.LastText()));
  EXPECT_EQ(0, dlg_->cancelBuild);
  guitest::Click(Item(IDC_JOB_START));
  EXPECT_EQ(1, dlg_->cancelBuild);
  EXPECT_EQ(kStageBuildingImage, dlg_->stage) << "the builder reports the end itself";

  // A CD burn is stopped through the library (here absent: its error shown).
  dlg_->SetStage(kStageBurning, 0);
  guitest::Click(Item(IDC_JOB_START));
  EXPECT_EQ("Would you really like to abort the burn\nprocess?\n\nInfo:Interrupting burning may make your\ndisc "
            "unreadable!",
            std::string(boxes_.LastText()));
  EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION), boxes_.Boxes().back().type);
  EXPECT_FALSE(g_engineErrors.empty());
  EXPECT_FALSE(Contains(Log(), "Aborted by user"));
  Close();

  // A DVD burn logs the abort.
  Open(kDiscTypeDvd);
  dlg_->SetStage(kStageBurning, 1);
  guitest::Click(Item(IDC_JOB_START));
  EXPECT_TRUE(Contains(Log(), "  Aborted by user\r\n"));
}

// Select browses for the output folder, starting at the one shown.
TEST_F(JobDialogTest, SelectChoosesTheOutputFolder) {
  std::string chosen = "C:\\QuorbelSelect\\chosen";
  CreateFolderPath(chosen.c_str());
  Open(kDiscTypeDvd);
  guitest::SetText(Item(IDC_JOB_OUTPUT_FOLDER), chosen);
  // The browse box is asked to start at the folder shown. Wine's box now and
  // then leaves that request unanswered on a busy machine; the test then
  // selects the folder itself, as a user would, and presses OK only once
  // "chosen" is the selection.
  bool seen = false;
  bool reselected = false;
  DWORD reselectAt = GetTickCount() + 3000;
  DWORD deadline = GetTickCount() + 15000;
  std::function<void()> pressOkWhenSelected = [&] {
    HWND browse = GetActiveWindow();
    HWND tree = browse != NULL && browse != dlg_->GetSafeHwnd()
                    ? FindWindowExA(browse, NULL, WC_TREEVIEWA, NULL) : NULL;
    char label[MAX_PATH] = "";
    HTREEITEM selected = tree != NULL ? TreeView_GetSelection(tree) : NULL;
    if (selected != NULL) {
      TVITEMA item = {};
      item.mask = TVIF_TEXT;
      item.hItem = selected;
      item.pszText = label;
      item.cchTextMax = sizeof label;
      SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    bool ready = std::string(label) == "chosen";
    if (!ready && tree != NULL && !reselected && GetTickCount() > reselectAt) {
      reselected = true;
      SendMessageA(browse, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
    }
    if (browse != NULL && browse != dlg_->GetSafeHwnd() && (ready || GetTickCount() > deadline)) {
      seen = true;
      guitest::SaveScreenshot(browse, "job_dialog_select_folder");
      PostMessageA(browse, WM_COMMAND, IDOK, 0);
      return;
    }
    guitest::RunLater(200, pressOkWhenSelected);
  };
  guitest::RunLater(500, pressOkWhenSelected);
  guitest::Click(Item(IDC_JOB_SELECT_FOLDER));
  ASSERT_TRUE(seen);
  EXPECT_EQ(chosen + "\\", std::string(dlg_->outputFolder));
  EXPECT_EQ(chosen + "\\", Text(IDC_JOB_OUTPUT_FOLDER));
  DeleteFolderTree("C:\\QuorbelSelect\\", NULL);
}

// The control says it finished but a stream is missing or empty.
TEST_F(JobDialogTest, FinishedWithoutBothStreamsFails) {
  AddSource("C:\\videos\\clip.avi", "00:00:03.0");
  Open(kDiscTypeSvcd);
  g_convertSettings.SetTempFolder("C:\\tmpQuorbel\\");
  CreateFolderPath("C:\\tmpQuorbel\\");
  struct Case {
    const char* video;  // NULL: missing
    const char* audio;
  } cases[] = {{"video", NULL}, {NULL, "audio"}, {"video", ""}};
  for (const Case& c : cases) {
    CreateFolderPath("C:\\tmpQuorbel\\");
    dlg_->outputNumber = 4;
    dlg_->abortRequested = 0;
    if (c.video != NULL) WriteText("C:\\tmpQuorbel\\004_vid.mpg", c.video);
    if (c.audio != NULL) WriteText("C:\\tmpQuorbel\\004_aud.mpg", c.audio);
    dlg_->conv.SetInputFile("C:\\videos\\clip.avi");
    road_.clear();
    dlg_->OnConversionFinished();
    EXPECT_EQ((std::vector<int>{kStageConverted, kStageConvertFailed}), road_);
    EXPECT_EQ(
        "Failed to convert C:\\videos\\clip.avi.\n\nThere is no CODEC for this file or can't support it.\nPlease "
        "read FAQ in HELP or contact us.",
        std::string(boxes_.LastText()));
    EXPECT_TRUE(Contains(Log(), "  Failed to convert the file.\r\n"));
    EXPECT_FALSE(FolderExists("C:\\tmpQuorbel\\"));
  }
}

// A file the control refuses: its error event fails the job.
TEST_F(JobDialogTest, ErrorEventFailsTheJob) {
  if (Own("x").empty()) GTEST_SKIP() << "fixture folder not set";
  std::string source = Own("truncated.avi");
  AddSource(source, "00:00:03.0");
  Open(kDiscTypeVcd);
  BeginJob();
  ASSERT_TRUE(WaitForStage(kStageConvertFailed)) << Log();
  EXPECT_EQ((std::vector<int>{kStageConverting, kStageConvertFailed}), road_);
  std::string box = static_cast<const char*>(boxes_.LastText());
  EXPECT_EQ(0u, box.find("Failed to convert " + source + " \n")) << box;
  EXPECT_EQ(1, dlg_->abortRequested);
  EXPECT_FALSE(Contains(Log(), "Aborted by user"));
}

// The multiplexer fails: the streams still go and the job stops.
TEST_F(JobDialogTest, MultiplexerFailureFailsTheJob) {
  if (FixturesDir().empty()) GTEST_SKIP() << "fixture folder not set";
  std::string source = Mpeg("pal-vcd.mpg");
  AddSource(source, "00:00:03.0");
  Open(kDiscTypeVcd);
  FreeMplexLibrary();
  std::string video, audio;
  onStage_ = [&](int stage) {
    if (stage == kStageMultiplexing) {
      video = static_cast<const char*>(dlg_->OutputName("_vid.mpg"));
      audio = static_cast<const char*>(dlg_->OutputName("_aud.mpg"));
    }
  };
  BeginJob();
  bool failed = WaitForStage(kStageMuxFailed);
  LoadMplexLibrary(HostPath(QUORBEL_MUXTOOLS_DLL).c_str());
  ASSERT_TRUE(failed) << Log();
  EXPECT_TRUE(Contains(Log(), "  Failed to multiplex file:" + source + "\r\n")) << Log();
  EXPECT_TRUE(Contains(Log(), "  Failed!\r\n"));
  EXPECT_FALSE(video.empty());
  EXPECT_FALSE(FileExists(video.c_str()));
  EXPECT_FALSE(FileExists(audio.c_str()));
  EXPECT_EQ("Start", Text(IDC_JOB_START));
}

// Timer 99: the multiplexed file's size against both streams'.
TEST_F(JobDialogTest, MultiplexingProgressFollowsTheOutputFile) {
  Open(kDiscTypeVcd);
  g_convertSettings.SetTempFolder("C:\\tmpQuorbel\\");
  CreateFolderPath("C:\\tmpQuorbel\\");
  dlg_->outputNumber = 2;
  dlg_->muxInputBytes = 1000;
  struct Case {
    int size;  // of T "002.mpg", -1 missing
    const char* status;
    int percent;
  } cases[] = {{-1, "Multiplexing... 0.0% ", 0},
               {250, "Multiplexing... 25.0% ", 25},
               {999, "Multiplexing... 99.9% ", 99},
               {1500, "Multiplexing... 100.0% ", 100}};
  for (const Case& c : cases) {
    DeleteFileA("C:\\tmpQuorbel\\002.mpg");
    if (c.size >= 0) WriteText("C:\\tmpQuorbel\\002.mpg", std::string(c.size, 'x'));
    dlg_->UpdateMuxProgress();
    EXPECT_EQ(c.status, Text(IDC_JOB_STATUS));
    EXPECT_EQ(c.percent, dlg_->progress.GetPos());
  }
}

// ---- Stages, clock, hint, Cancel ------------------------------------------------------

TEST_F(JobDialogTest, StagesSetButtonsLogAndHint) {
  Open(kDiscTypeVcd);
  struct Case {
    int stage;
    int startClock;
    int imageReady, finished;
    const char* start;  // the Start button's text
    bool startEnabled, cancelEnabled;
    const char* log;    // the log's last line, "" for none
    bool clock;         // status and elapsed time shown
    int stageAfter;
  } cases[] = {
      {kStageErasing, 1, 0, 0, "Stop", false, false, "Erasing the disc...", true, kStageErasing},
      {kStageErased, 0, 0, 0, "Stop", false, false, "Erased the disc successfully!", true, kStageErased},
      {kStageBuildingImage, 0, 0, 0, "Stop", true, false, "Creating the cue image...", true, kStageBuildingImage},
      {kStageImageBuilt, 0, 1, 0, "Burn", true, false, "Created the cue image successfully.", true, kStageImageBuilt},
      {kStageBurning, 0, 1, 1, "Stop", true, false, "Burning disc...", true, kStageBurning},
      {kStageFinalizing, 0, 1, 1, "Stop", false, false, "Finalize the driver...", true, kStageFinalizing},
      {kStageBurnEnded, 0, 1, 1, "Burn", true, true, "Finalize the driver...", false, kStageBurnEnded},
      {kStageBurning, 1, 1, 1, "Stop", true, false, "Burning disc...", true, kStageBurning},
      {kStageBurnFailed, 0, 1, 1, "Burn", true, true, "Failed!", false, kStageBurnFailed},
      {kStageBuildingImage, 1, 0, 0, "Stop", true, false, "Creating the cue image...", true, kStageBuildingImage},
      {kStageImageFailed, 0, 0, 0, "Start", true, true, "Failed!", false, kStageIdle},
      {kStageAuthoring, 1, 0, 0, "Start", false, true, "Creating the DVD image...", true, kStageAuthoring},
      {kStageAuthorFailed, 0, 0, 0, "Start", false, true, "Failed!", false, kStageAuthorFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stage);
    dlg_->imageReady = c.imageReady;
    dlg_->finished = c.finished;
    dlg_->SetStage(c.stage, c.startClock);
    EXPECT_EQ(c.stageAfter, dlg_->stage);
    EXPECT_EQ(c.start, Text(IDC_JOB_START));
    EXPECT_EQ(c.startEnabled, guitest::IsEnabled(Item(IDC_JOB_START)));
    EXPECT_EQ(c.cancelEnabled, guitest::IsEnabled(Item(IDCANCEL)));
    std::string log = Log();
    EXPECT_TRUE(log.size() >= strlen(c.log) + 2 &&
                log.compare(log.size() - strlen(c.log) - 2, std::string::npos, std::string(c.log) + "\r\n") == 0)
        << log;
    EXPECT_EQ(c.clock, guitest::IsVisible(Item(IDC_JOB_STATUS)));
    EXPECT_EQ(c.clock, guitest::IsVisible(Item(IDC_JOB_ELAPSED)));
    EXPECT_EQ(!c.clock, guitest::IsVisible(Item(IDC_JOB_HINT)));
    // The label and drive list follow the clock; the folders only for a new job.
    EXPECT_EQ(!c.clock, guitest::IsEnabled(Item(IDC_JOB_DISC_LABEL)));
    EXPECT_EQ(!c.clock, guitest::IsEnabled(Item(IDC_JOB_DRIVE)));
    if (!c.clock) {
      EXPECT_STREQ(JobHintText(c.imageReady == 1, c.finished == 1, c.startEnabled), Text(IDC_JOB_HINT).c_str());
      // The hint offers only a button that works.
      std::string hint = Text(IDC_JOB_HINT);
      for (std::string button : {"Start", "Burn"}) {
        if (hint.find("\"" + button + "\"") == std::string::npos) continue;
        EXPECT_EQ(button, Text(IDC_JOB_START)) << hint;
        EXPECT_TRUE(guitest::IsEnabled(Item(IDC_JOB_START))) << hint;
      }
      if (c.imageReady == 0) {
        EXPECT_TRUE(guitest::IsEnabled(Item(IDC_JOB_OUTPUT_FOLDER)));
      }
    }
  }
  EXPECT_EQ("Failed to create image.", Text(IDC_JOB_STATUS));
  dlg_->SetStage(kStageFinalizing, 0);
  EXPECT_EQ(100, dlg_->progress.GetPos());
  dlg_->SetStage(kStageBurnEnded, 0);
  EXPECT_EQ(0, dlg_->progress.GetPos());
  guitest::SaveScreenshot(dlg_->GetSafeHwnd(), "job_dialog_burn_ended");
}

// A long log keeps its newest line in view.
TEST_F(JobDialogTest, LogShowsItsNewestLine) {
  Open(kDiscTypeVcd);
  for (int i = 0; i < 40; ++i) dlg_->AppendLog(("line " + std::to_string(i)).c_str());
  HWND log = Item(IDC_JOB_LOG);
  int lines = static_cast<int>(SendMessageA(log, EM_GETLINECOUNT, 0, 0));
  int first = static_cast<int>(SendMessageA(log, EM_GETFIRSTVISIBLELINE, 0, 0));
  RECT client;
  GetClientRect(log, &client);
  TEXTMETRICA metrics;
  HDC dc = GetDC(log);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(log, WM_GETFONT, 0, 0)));
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(log, dc);
  int visible = (client.bottom - client.top) / metrics.tmHeight;
  ASSERT_GT(lines, visible) << "the log is longer than its window";
  // The last text line (before the empty one after the last break) is shown.
  EXPECT_LE(first, lines - 2);
  EXPECT_GE(first + visible, lines - 1) << first << " + " << visible << " of " << lines;
  guitest::PumpPending();
  guitest::SaveScreenshot(dlg_->GetSafeHwnd(), "job_dialog_long_log");
}

TEST_F(JobDialogTest, ClockShowsElapsedTimeAndEraseProgressRises) {
  Open(kDiscTypeSvcd);
  dlg_->SetStage(kStageErasing, 1);
  EXPECT_EQ("Elapsed Time : 00:00:00 ", Text(IDC_JOB_ELAPSED));
  ASSERT_TRUE(guitest::PumpUntil([&] { return Text(IDC_JOB_ELAPSED) == "Elapsed Time : 00:00:02 "; }, 4000))
      << Text(IDC_JOB_ELAPSED);
  EXPECT_GE(dlg_->progress.GetPos(), 1);
  guitest::SaveScreenshot(dlg_->GetSafeHwnd(), "job_dialog_erasing");
  dlg_->SetStage(kStageErased, 0);
  int pos = dlg_->progress.GetPos();
  guitest::PumpFor(1700);
  EXPECT_EQ(pos, dlg_->progress.GetPos()) << "the erase timer stopped";
  dlg_->SetStage(kStageBurnEnded, 0);
  std::string shown = Text(IDC_JOB_ELAPSED);
  guitest::PumpFor(1200);
  EXPECT_EQ(shown, Text(IDC_JOB_ELAPSED)) << "the clock stopped";
}

// The CD library calls from its own thread: stages and log lines are
// carried out on the dialog's thread, so its timers stop.
TEST_F(JobDialogTest, StageAndLogFromAnotherThread) {
  Open(kDiscTypeVcd);
  dlg_->SetStage(kStageBurning, 1);
  std::atomic<bool> done(false);
  DWORD calledOn = 0;
  onStage_ = [&](int) { calledOn = GetCurrentThreadId(); };
  std::thread library([&] {
    dlg_->AppendLog("Burned the disc successfully.");
    dlg_->SetStage(kStageBurnEnded, 0);
    done = true;
  });
  ASSERT_TRUE(guitest::PumpUntil([&] { return done.load(); }, 5000));
  library.join();
  EXPECT_EQ(GetCurrentThreadId(), calledOn);
  EXPECT_TRUE(Contains(Log(), "  Burned the disc successfully.\r\n"));
  std::string shown = Text(IDC_JOB_ELAPSED);
  guitest::PumpFor(1200);
  EXPECT_EQ(shown, Text(IDC_JOB_ELAPSED)) << "the clock stopped";
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
}

TEST_F(JobDialogTest, CancelSavesTheSettingsAndCloses) {
  Open(kDiscTypeDvd, kTvTypeNtsc);
  guitest::Click(Item(IDC_JOB_PAL));
  guitest::Click(Item(IDC_JOB_ASPECT_16X9));
  SendMessageA(Item(IDC_JOB_LETTERBOX), BM_SETCHECK, BST_UNCHECKED, 0);
  CreateFolderPath("C:\\tmpQuorbel\\");
  g_convertSettings.SetTempFolder("C:\\tmpQuorbel\\");
  guitest::Click(Item(IDCANCEL));
  EXPECT_FALSE(guitest::IsVisible(dlg_->GetSafeHwnd()));
  EXPECT_EQ(kTvTypePal, g_convertSettings.tvType);
  EXPECT_EQ(kAspect16x9, g_convertSettings.aspect);
  EXPECT_EQ(0, g_convertSettings.letterBox);
  EXPECT_FALSE(FolderExists("C:\\tmpQuorbel\\")) << "the old temp folder is deleted";
  std::string ini = ReadText(std::string(GetAppFolder()) + "param.ini");
  EXPECT_TRUE(Contains(ini, "AspectRadio=1")) << ini;
  EXPECT_TRUE(Contains(ini, "LetterBox=0")) << ini;
  EXPECT_TRUE(Contains(ini, "TVType=1")) << ini;
}

}  // namespace
