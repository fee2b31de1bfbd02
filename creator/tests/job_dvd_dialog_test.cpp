// The disc job dialog's DVD end under Wine: the DVD writers listed on
// opening, the disc check of Start, a whole DVD job on a used DVD-RW (the
// erase question, erase, conversion, multiplexing, authoring by
// DVDAuthorDLL, the burn through DvdScribe with its progress and
// finalising), a further copy after a second erase, the authoring reports
// and failure, and the abort of a running burn.
#include "creator/tests/job_vcd_dialog_harness.h"
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
