// The disc job dialog's DVD end under Wine: the DVD writers listed on
// opening, the disc check of Start, a whole DVD job on a used DVD-RW (the
// erase question, erase, conversion, multiplexing, authoring by
// DVDAuthorDLL, the burn through DvdScribe with its progress and
// finalising), a further copy after a second erase, the authoring reports
// and failure, and the abort of a running burn.
#include "discjob/disc_folder.h"
#include "discjob/disc_folder_rules.h"
#include "discjob/job_dvd_writer.h"
#include "creator/tests/job_vcd_dialog_harness.h"
#include "suite/worker_thread.h"
#include "standins/tests/video_ts_check.h"

namespace job_disc_test {
namespace {

const char kDvdDrives[] =
    "[drives]\r\nletters=EFGHK\r\n"
    "[E]\r\nvendor=QUORBEL\r\nproduct=CD Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n"
    "[F]\r\nvendor=QUORBEL\r\nproduct=Used DVD-RW\r\nwrites=cd,dvd\r\nmedium=DVD-RW\r\nblank=0\r\nused=5000\r\n"
    "[G]\r\nvendor=QUORBEL\r\nproduct=Used DVD+R\r\nwrites=dvd\r\nmedium=DVD+R\r\nblank=0\r\nused=5000\r\n"
    "[H]\r\nvendor=QUORBEL\r\nproduct=Slow DVD-R\r\nwrites=dvd\r\nmedium=DVD-R\r\nblank=1\r\nspeed=100\r\n"
    "[K]\r\nvendor=QUORBEL\r\nproduct=No disc\r\nwrites=dvd\r\nmedium=none\r\n";

enum { kF, kG, kH, kK };  // drive list entries

std::string DvdSource() { return FixtureIn("QUORBEL_CONVCTL_FIXTURES", "pal-dvd-mp2.mpg"); }

class DvdJob : public DiscJobTest {
protected:
  void SetUp() override {
    DiscJobTest::SetUp();
    if (DvdSource().empty()) GTEST_SKIP() << "QUORBEL_CONVCTL_FIXTURES is not set";
  }
};

TEST_F(DvdJob, ListsTheDvdWritersAndRefusesUnusableDiscs) {
  AddSource(DvdSource(), "00:00:03.0");
  Open(kDiscTypeDvd, kDvdDrives);
  ASSERT_EQ(4, dialog->driveList.GetCount());
  EXPECT_EQ(0, dialog->driveList.GetCurSel());
  CString entry;
  dialog->driveList.GetLBText(0, entry);
  EXPECT_STREQ("F: QUORBEL Used DVD-RW", entry);

  struct Case {
    int entry;
    const char* box;
  } cases[] = {
      {kG, "The inserted disc is not a empty dvd disc. Please insert a blank disc into the driver."},
      {kK, "No disc in the writer. Please insert a writable dvd disc into the driver."},
  };
  for (const Case& c : cases) {
    dialog->driveList.SetCurSel(c.entry);
    ClickStart();
    EXPECT_EQ(c.box, std::string(boxes.LastText()));
    EXPECT_TRUE(LogHas({"Starting...", "No blank DVD disc in writer.", "Failed!"})) << Log();
    EXPECT_TRUE(road.empty());
  }
  // A used DVD-RW is erased only when the user agrees.
  dialog->driveList.SetCurSel(kF);
  boxes.Answer(IDNO);
  ClickStart();
  EXPECT_EQ(0, boxes.LastText().Find("The disc in the drive is not empty."));
  EXPECT_TRUE(LogHas({"Starting...", "Aborted by user.", "Failed"})) << Log();
  EXPECT_TRUE(road.empty());
}

TEST_F(DvdJob, DvdJobOnAUsedDvdRwAndACopy) {
  AddSource(DvdSource(), "00:00:03.0");
  Open(kDiscTypeDvd, kDvdDrives);
  dialog->driveList.SetCurSel(kF);
  // What the used disc holds.
  CreateFolderPath(DiscOf('F').c_str());
  WriteBytes(DiscOf('F') + "OLD.DAT", Pattern(5000, 3));
  int shots = 0;
  dialog->stageObserver = [&](int stage) {
    road.push_back(stage);
    if (stage == kStageBurning && shots++ == 0) guitest::SaveScreenshot(dialog->GetSafeHwnd(), "job_dvd_burning");
  };
  boxes.Answer(IDYES);
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  EXPECT_EQ(kStageErasing, road.front());
  EXPECT_EQ(kStageErased, road[1]);
  std::vector<int> end(road.end() - 6, road.end());
  EXPECT_EQ((std::vector<int>{kStageMultiplexed, kStageAuthoring, kStageAuthored, kStageBurning, kStageFinalizing,
                              kStageBurnEnded}),
            end)
      << Log();
  EXPECT_TRUE(LogHas({"Starting...", "Erasing the disc...", "Erased the disc successfully!",
                      "Converting the file:" + DvdSource(), "Converted video files successfully!",
                      "Creating the DVD image...", "Created the DVD image successfully.", "Burning disc...",
                      "Finalize the driver...", "Burned the disc successfully.", "Done!"}))
      << Log();
  EXPECT_EQ("Burn the Disc successfully.", Text(IDC_JOB_STATUS));
  std::vector<std::string> lines = LogLines();
  EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "Creating the DVD image...")) << Log();
  for (const char* status : {"Erasing the disc...", "Erased the disc successfully.", "Building VOB files... ",
                             "Creating DVD image...  ", "Prepare...", "Burning... 0%", "Burning... 100% "})
    EXPECT_TRUE(StatusShown(status)) << status << " in " << ::testing::PrintToString(StatusTexts());
  EXPECT_EQ(1, dialog->imageReady);
  EXPECT_EQ(1, dialog->finished);
  EXPECT_EQ("Finish", Text(IDCANCEL));
  // The authored folder went to the disc as it is.
  std::string authored = outFolder + "My DVD\\VIDEO_TS\\";
  for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB", "VTS_01_0.BUP"}) {
    EXPECT_LT(0, test_support::FileSize(authored + name)) << name;
    EXPECT_EQ(ReadBytes(authored + name), ReadBytes(DiscOf('F') + "VIDEO_TS\\" + name)) << name;
  }
  EXPECT_EQ("", CheckVideoTs(outFolder + "My DVD", "creator-job", 1, 3.0));
  EXPECT_EQ("My DVD", IniValue("F", "label"));
  EXPECT_FALSE(FileExists((DiscOf('F') + "OLD.DAT").c_str()));

  // A copy: the DVD-RW now holds the first one, so it is erased again and
  // the same folder burned, without converting or authoring.
  road.clear();
  boxes.Answer(IDYES);
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  EXPECT_EQ((std::vector<int>{kStageErasing, kStageErased, kStageBurning, kStageFinalizing, kStageBurnEnded}), road);
  EXPECT_EQ(ReadBytes(authored + "VTS_01_1.VOB"), ReadBytes(DiscOf('F') + "VIDEO_TS\\VTS_01_1.VOB"));
}

// A copy burns the folder its job made, whatever the label says since:
// an edited label naming another job's folder changes nothing.
TEST_F(DvdJob, ACopyBurnsTheFolderItsJobMadeWhateverTheLabelSaysSince) {
  AddSource(DvdSource(), "00:00:03.0");
  Open(kDiscTypeDvd, kDvdDrives);
  dialog->driveList.SetCurSel(kF);
  boxes.Answer(IDYES);
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  std::string other = outFolder + "Other\\VIDEO_TS\\";
  CreateFolderPath(other.c_str());
  uint32_t seed = 7;
  for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB", "VTS_01_0.BUP"})
    WriteBytes(other + name, Pattern(70000, seed++));
  SetDlgItemTextA(dialog->GetSafeHwnd(), IDC_JOB_DISC_LABEL, "Other");
  road.clear();
  boxes.Answer(IDYES);
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  std::string authored = outFolder + "My DVD\\VIDEO_TS\\";
  EXPECT_EQ(ReadBytes(authored + "VTS_01_1.VOB"), ReadBytes(DiscOf('F') + "VIDEO_TS\\VTS_01_1.VOB"));
  EXPECT_EQ("My DVD", IniValue("F", "label"));
}

TEST_F(DvdJob, AuthoringReports) {
  Open(kDiscTypeDvd, kDvdDrives);
  HWND window = dialog->GetSafeHwnd();
  SendMessageA(window, kJobAuthorMessage, 1, 37);
  EXPECT_EQ("Building VOB files... 37%", Text(IDC_JOB_STATUS));
  EXPECT_EQ(37, dialog->progress.GetPos());
  SendMessageA(window, kJobAuthorMessage, 2, 64);
  EXPECT_EQ("Creating DVD image...  64%", Text(IDC_JOB_STATUS));
  EXPECT_EQ(64, dialog->progress.GetPos());
  SendMessageA(window, kJobAuthorMessage, 4, 99);  // not a code of the library: nothing
  EXPECT_EQ("Creating DVD image...  64%", Text(IDC_JOB_STATUS));
  SendMessageA(window, kJobAuthorMessage, 3, 0);
  EXPECT_EQ(1, dialog->finished);
  EXPECT_EQ("Finish", Text(IDCANCEL));
  SendMessageA(window, kJobAuthorMessage, 0, 0);
  EXPECT_EQ(std::vector<int>{kStageAuthorFailed}, road);
  EXPECT_EQ("End author DVD", Text(IDC_JOB_STATUS));
  EXPECT_TRUE(LogHas({"Failed!"}));
}

TEST_F(DvdJob, EraseAndBurnWorkersReports) {
  Open(kDiscTypeDvd, kDvdDrives);
  HWND window = dialog->GetSafeHwnd();
  struct Step {
    UINT message;
    WPARAM code;
    LPARAM percent;
    const char* status;  // NULL: unchanged
    int stage;           // -1: no stage entered
    int start;           // Start enabled afterwards, -1 not looked at
  } steps[] = {
      {kJobDvdEraseMessage, 0, 0, "Erasing the disc...", -1, -1},
      {kJobDvdEraseMessage, 1, 0, "Failed to erase the disc.", kStageBurnFailed, -1},
      {kJobDvdBurnMessage, 0, 0, "Prepare...", -1, 0},
      {kJobDvdBurnMessage, 1, 0, "Burning... 0%", -1, 1},
      {kJobDvdBurnMessage, 3, 55, "Burning... 55% ", -1, -1},
      {kJobDvdBurnMessage, 2, 0, "Finalize the driver...", kStageFinalizing, 0},
      {kJobDvdBurnMessage, 4, 0, "Failed to burn the disc.", kStageBurnFailed, 1},
      {kJobDvdBurnMessage, 5, 0, "Burn the Disc successfully.", kStageBurnEnded, 1},
  };
  for (const Step& step : steps) {
    road.clear();
    std::string before = Text(IDC_JOB_STATUS);
    SendMessageA(window, step.message, step.code, step.percent);
    EXPECT_EQ(step.status != NULL ? step.status : before, Text(IDC_JOB_STATUS)) << step.message << "/" << step.code;
    EXPECT_EQ(step.stage < 0 ? std::vector<int>{} : std::vector<int>{step.stage}, road)
        << step.message << "/" << step.code;
    if (step.start >= 0) {
      EXPECT_EQ(step.start == 1, guitest::IsEnabled(Item(IDC_JOB_START))) << step.code;
    }
  }
  EXPECT_TRUE(LogHas({"Failed to burn the disc.", "Failed!", "Burned the disc successfully.", "Done!"})) << Log();
}

// A disc folder the suite did not make is the user's: it is rebuilt only
// when the user agrees; labels that name no folder of their own and paths
// too long for the buffer are refused before anything is touched.
TEST_F(DvdJob, DiscFolderIsRebuiltWithoutAskingOnlyWhenTheSuiteMadeIt) {
  Open(kDiscTypeDvd, kDvdDrives);
  dialog->driveList.SetCurSel(kK);  // no disc: the job stops right after the folder work
  std::string disc = outFolder + "My DVD\\";
  struct Case {
    const char* what;
    const char* label;
    std::vector<std::string> files;  // below outFolder
    int answer;                      // to the question, 0: none expected
    bool kept;                       // the files are still there afterwards
    const char* box;                 // first box's start ("" none before the disc check)
  } cases[] = {
      {"authored layout", "My DVD", {"My DVD\\VIDEO_TS\\VIDEO_TS.IFO", "My DVD\\VIDEO_TS\\VTS_01_1.VOB"}, 0, false,
       ""},
      {"user file, No", "My DVD", {"My DVD\\VIDEO_TS\\VIDEO_TS.IFO", "My DVD\\letter.txt"}, IDNO, true,
       "The folder\n"},
      {"user file, Yes", "My DVD", {"My DVD\\letter.txt"}, IDYES, false, "The folder\n"},
      {"user folder named by the label", "Documents", {"Documents\\report.doc"}, IDNO, true, "The folder\n"},
      {"empty label", "", {"keep.txt"}, 0, true, "The Disc Label can't be empty."},
      {"dot label", ".", {"keep.txt"}, 0, true, "The Disc Label can't be empty."},
      {"dot-dot label", "..", {"keep.txt"}, 0, true, "The Disc Label can't be empty."},
      {"blank label", "  ", {"keep.txt"}, 0, true, "The Disc Label can't be empty."},
  };
  for (const Case& c : cases) {
    DeleteFolderTree(outFolder.c_str(), NULL);
    for (const std::string& file : c.files) {
      std::string path = outFolder + file;
      CreateFolderPath(path.substr(0, path.rfind('\\') + 1).c_str());
      WriteBytes(path, Pattern(100, 1));
    }
    SetDlgItemTextA(dialog->GetSafeHwnd(), IDC_JOB_DISC_LABEL, c.label);
    int before = boxes.Count();
    if (c.answer != 0) boxes.Answer(c.answer);
    ClickStart();
    std::vector<CMessageBoxScript::Box> shown = boxes.Boxes();
    ASSERT_LT(before, static_cast<int>(shown.size())) << c.what;
    const CMessageBoxScript::Box& first = shown[before];
    std::string text = static_cast<const char*>(first.text);
    if (c.box[0] == 0) {
      EXPECT_EQ("No disc in the writer. Please insert a writable dvd disc into the driver.", text) << c.what;
      EXPECT_TRUE(FolderExists(disc.c_str())) << c.what << ": made again, empty";
    } else {
      EXPECT_EQ(0u, text.find(c.box)) << c.what << ": " << text;
    }
    if (c.answer != 0) {
      EXPECT_EQ(DiscFolderQuestion((outFolder + c.label + "\\").c_str()), text) << c.what;
      EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), first.type) << c.what;
      EXPECT_EQ(dialog->GetSafeHwnd(), first.owner) << c.what;
    }
    if (c.answer == IDNO) {
      EXPECT_EQ(before + 1, boxes.Count()) << c.what << ": the job stops at No";
      EXPECT_TRUE(LogHas({"Starting...", "Aborted by user: the disc folder holds other files."})) << Log();
    }
    for (const std::string& file : c.files)
      EXPECT_EQ(c.kept, FileExists((outFolder + file).c_str()) != FALSE) << c.what << ": " << file;
    EXPECT_TRUE(road.empty()) << c.what;
  }
  guitest::SaveScreenshot(dialog->GetSafeHwnd(), "job_dvd_folder_refused");
}

// The disc folder's path is refused, never cut, when it would not fit.
TEST_F(DvdJob, DiscFolderTooLongForItsBufferIsRefused) {
  Open(kDiscTypeDvd, kDvdDrives);
  dialog->driveList.SetCurSel(kK);
  std::string output = outFolder;
  while (output.size() < 230) output += "o";
  output += "\\";
  ASSERT_TRUE(CreateFolderPath(output.c_str()));
  SetDlgItemTextA(dialog->GetSafeHwnd(), IDC_JOB_OUTPUT_FOLDER, output.c_str());
  SetDlgItemTextA(dialog->GetSafeHwnd(), IDC_JOB_DISC_LABEL, std::string(40, 'L').c_str());
  ClickStart();
  EXPECT_EQ(disc_folder::kTooLongText, std::string(boxes.LastText()));
  EXPECT_EQ(1, boxes.Count());
  EXPECT_TRUE(road.empty());
}

// A delete that leaves files behind is reported, never passed over.
TEST_F(DvdJob, DiscFolderThatCannotBeDeletedIsReported) {
  Open(kDiscTypeDvd, kDvdDrives);
  dialog->driveList.SetCurSel(kK);
  std::string held = outFolder + "My DVD\\VIDEO_TS\\VTS_01_1.VOB";
  CreateFolderPath((outFolder + "My DVD\\VIDEO_TS\\").c_str());
  WriteBytes(held, Pattern(100, 2));
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  ClickStart();
  CloseHandle(file);
  EXPECT_EQ(0, boxes.LastText().Find("The folder\n")) << boxes.LastText();
  EXPECT_NE(-1, boxes.LastText().Find("could not be deleted completely"));
  EXPECT_TRUE(LogHas({"Starting...", "Failed to delete the disc folder."})) << Log();
  EXPECT_TRUE(road.empty());
}

// The conversion control's error event fired at once, from inside the call
// that starts the item (as a control that refuses its settings does): the
// log line of the item is the last thing before that call.
WNDPROC g_logProc = NULL;
DiscJobDialog* g_failingDialog = NULL;
LRESULT CALLBACK FailAtOnceLogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(g_logProc, window, message, wParam, lParam);
  if (message == WM_SETTEXT && lParam != 0 && g_failingDialog != NULL &&
      strstr(reinterpret_cast<const char*>(lParam), "Converting the file:") != NULL) {
    DiscJobDialog* dialog = g_failingDialog;
    g_failingDialog = NULL;
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[0].vt = VT_BSTR;  // the last parameter first
    args[0].bstrVal = SysAllocString(L"refused at once");
    args[1].vt = VT_I4;
    args[1].lVal = 1;
    DISPPARAMS params = {args, NULL, 2, 0};
    HRESULT ignored = S_OK;
    AfxDispatchControlEvent(dialog, IDC_JOB_CONVERTER, 4, &params, &ignored);
    VariantClear(&args[0]);
  }
  return result;
}

// An erase followed by a conversion that fails at once: the failure stays.
TEST_F(DvdJob, AConversionFailingAtOnceAfterTheEraseKeepsItsFailure) {
  AddSource(DvdSource(), "00:00:03.0");
  Open(kDiscTypeDvd, kDvdDrives);
  g_logProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Item(IDC_JOB_LOG), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FailAtOnceLogProc)));
  g_failingDialog = dialog;
  SendMessageA(dialog->GetSafeHwnd(), kJobDvdEraseMessage, kDvdEraseDone, 0);
  guitest::PumpFor(500);
  EXPECT_EQ(NULL, g_failingDialog) << "the item was not started";
  EXPECT_EQ(kStageConvertFailed, dialog->stage) << Log();
  EXPECT_EQ(kStageConvertFailed, road.back()) << Log();
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_EQ(0, boxes.LastText().Find("Failed to convert "));
  dialog->conv.Stop();
}

// An authoring run that returns a failure without posting its end ends the
// job instead of leaving it waiting with Cancel refused.
TEST_F(DvdJob, AuthoringFailingWithoutItsEndEndsTheJob) {
  Open(kDiscTypeDvd, kDvdDrives);
  ASSERT_TRUE(DvdAuthor().Load(HostPath(QUORBEL_SILENT_AUTHOR_DLL).c_str()));
  dialog->SetStage(kStageAuthoring, 1);
  dialog->RunDvdAuthoring();
  guitest::PumpFor(300);
  ASSERT_TRUE(DvdAuthor().Load(HostPath(QUORBEL_DVDAUTHOR_DLL).c_str()));
  EXPECT_EQ((std::vector<int>{kStageAuthoring, kStageAuthorFailed}), road) << Log();
  EXPECT_TRUE(LogHas({"The DVD authoring failed to start (result 7).", "Failed!"})) << Log();
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  // Start stays disabled, so the hint offers only Cancel.
  EXPECT_FALSE(guitest::IsEnabled(Item(IDC_JOB_START)));
  EXPECT_EQ("Click \"Cancel\" to return.", Text(IDC_JOB_HINT));
}

// Workers that cannot be started end their step with a log line.
TEST_F(DvdJob, WorkersThatCannotStartEndTheirStep) {
  Open(kDiscTypeDvd, kDvdDrives);
  RefuseWorkerStartsForTests(true);
  dialog->StartDvdErase();
  dialog->StartDvdBurn();
  guitest::PumpFor(300);
  RefuseWorkerStartsForTests(false);
  EXPECT_EQ((std::vector<int>{kStageBurnFailed, kStageBurnFailed}), road) << Log();
  std::vector<std::string> lines = LogLines();
  EXPECT_EQ(2, std::count(lines.begin(), lines.end(), std::string(kWorkerStartFailedText))) << Log();
}

TEST_F(DvdJob, AbortOfARunningBurn) {
  AddSource(DvdSource(), "00:00:03.0");
  Open(kDiscTypeDvd, kDvdDrives);
  dialog->driveList.SetCurSel(kH);
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurning)) << Log();
  ASSERT_TRUE(guitest::PumpUntil([&] { return dialog->progress.GetPos() > 0; }, 60000)) << Log();
  EXPECT_EQ(0, Text(IDC_JOB_STATUS).find("Burning... "));
  boxes.Answer(IDOK);
  ClickStart();  // "Stop"
  ASSERT_TRUE(WaitForStage(kStageBurnFailed)) << Log();
  EXPECT_TRUE(LogHas({"Burning disc...", "Aborted by user", "Failed to burn the disc."})) << Log();
  EXPECT_EQ("", CheckVideoTs(outFolder + "My DVD", "creator-aborted-burn", 1, 3.0));
  EXPECT_EQ("Failed to burn the disc.", Text(IDC_JOB_STATUS));
  EXPECT_EQ(0, std::count(road.begin(), road.end(), kStageBurnEnded));
  // No box for a cancel: only the question was asked.
  EXPECT_EQ(0, boxes.LastText().Find("Would you really like to abort the burn"));
}

}  // namespace
}  // namespace job_disc_test
