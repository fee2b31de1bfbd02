// The disc job dialog's CD end under Wine: the CD writers listed on
// opening, the medium check of Start with its refusals and the erase of a
// used CD-RW, a whole VCD job from sources to burned disc (VideoCD XML,
// image build with its status and progress, burn with finalising), a
// further copy burned without converting, the builder's reports and
// failures, and the abort of a running burn.
#include "creator/tests/job_vcd_dialog_harness.h"

#include <atomic>
#include <thread>

#include "discimage/base/vcd_messages.h"
#include "discjob/job_vcd_build.h"

namespace job_disc_test {
namespace {

const char kCdDrives[] =
    "[drives]\r\nletters=EFGHKM\r\n"
    "[E]\r\nproduct=Empty Writer\r\nwrites=cd\r\nmedium=none\r\n"
    "[F]\r\nproduct=CD-R Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\nchangeOnEject=1\r\n"
    "[G]\r\nproduct=CD-RW Writer\r\nwrites=cd\r\nmedium=CD-RW\r\nblank=0\r\nused=900\r\n"
    "[H]\r\nproduct=Used CD-R\r\nwrites=cd\r\nmedium=CD-R\r\nblank=0\r\nused=900\r\n"
    "[K]\r\nproduct=DVD in a CD writer\r\nwrites=cd,dvd\r\nmedium=DVD-R\r\nblank=1\r\n"
    "[M]\r\nproduct=Slow Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\nspeed=150\r\n";

class CdJob : public DiscJobTest {
protected:
  // Selects the writer of that drive letter in the drive list.
  void Choose(char letter) {
    for (int i = 0; i < dialog->driveList.GetCount(); ++i) {
      CString entry;
      dialog->driveList.GetLBText(i, entry);
      if (entry[0] == letter) dialog->driveList.SetCurSel(i);
    }
  }
};

TEST_F(CdJob, ListsTheCdWriters) {
  Open(kDiscTypeVcd, kCdDrives);
  ASSERT_EQ(6, dialog->driveList.GetCount());
  CString entry;
  dialog->driveList.GetLBText(dialog->driveList.GetCurSel(), entry);
  EXPECT_EQ('F', entry[0]);  // the first holding a CD-R
  EXPECT_TRUE(EngineErrors().empty());
}

TEST_F(CdJob, StartRefusesMediaItCannotWrite) {
  AddSource(FixturePath("pal-vcd.mpg"), "00:00:03.0");
  struct Case {
    char letter;
    const char* box;
  } cases[] = {
      {'E', "No disc in the writer.\nPlease insert a blank disc into the writer."},
      {'H', "Please insert a blank CD disc into the writer."},
      {'K', "Please insert a blank writable disc into the writer."},
  };
  Open(kDiscTypeVcd, kCdDrives);
  for (const Case& c : cases) {
    Choose(c.letter);
    std::string ejects = IniValue(std::string(1, c.letter).c_str(), "ejects");
    ClickStart();
    EXPECT_EQ(c.box, std::string(boxes.LastText())) << c.letter;
    EXPECT_TRUE(LogHas({"Starting...", "No blank CD disc in writer.", "Failed!"})) << Log();
    EXPECT_NE(ejects, IniValue(std::string(1, c.letter).c_str(), "ejects")) << c.letter;
    EXPECT_TRUE(road.empty()) << c.letter;
  }
  // A used CD-RW is erased only when the user agrees.
  Choose('G');
  boxes.Answer(IDNO);
  ClickStart();
  EXPECT_EQ(0, boxes.LastText().Find("The disc in the drive is not empty."));
  EXPECT_TRUE(LogHas({"Starting...", "Aborted by user.", "Failed"})) << Log();
  EXPECT_TRUE(road.empty());
  EXPECT_EQ("0", IniValue("G", "blank"));
}

TEST_F(CdJob, VcdJobFromSourcesToBurnedDiscAndACopy) {
  AddSource(FixturePath("pal-vcd.mpg"), "00:00:03.0");
  AddSource(FixturePath("pal-vcd.mpg"), "00:00:02.5");
  Open(kDiscTypeVcd, kCdDrives);
  Choose('F');
  int shots = 0;
  dialog->stageObserver = [&](int stage) {
    road.push_back(stage);
    if (stage == kStageBurning && shots++ == 0) guitest::SaveScreenshot(dialog->GetSafeHwnd(), "job_cd_burning");
  };
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  std::vector<int> end(road.end() - 5, road.end());
  EXPECT_EQ((std::vector<int>{kStageBuildingImage, kStageImageBuilt, kStageBurning, kStageFinalizing,
                              kStageBurnEnded}),
            end)
      << Log();
  EXPECT_TRUE(LogHas({"Starting...", "Converting the file:" + FixturePath("pal-vcd.mpg"), "Creating the cue image...",
                      "Created the cue image successfully.", "Burning disc...", "Finalize the driver...",
                      "Burned the disc successfully.", "Done!"}))
      << Log();
  EXPECT_EQ("Burn the disc successfully.", Text(IDC_JOB_STATUS));
  EXPECT_EQ(1, dialog->imageReady);
  EXPECT_EQ(1, dialog->finished);
  EXPECT_EQ("Finish", Text(IDCANCEL));
  EXPECT_EQ("Burn", Text(IDC_JOB_START));
  EXPECT_TRUE(EngineErrors().empty());

  // The project: a VideoCD 2.0 of both multiplexed files, labelled.
  std::string xml = test_support::ReadText(static_cast<const char*>(dialog->xmlPath));
  EXPECT_NE(std::string::npos, xml.find("class=\"vcd\" version=\"2.0\""));
  EXPECT_NE(std::string::npos, xml.find("<volume-id>My VCD</volume-id>"));
  EXPECT_NE(std::string::npos, xml.find("001.mpg\" id=\"seq_1_movie\""));
  // The image in the disc folder, and what was burned of it.
  std::string bin = outFolder + "My VCD\\VideoCD.bin";
  EXPECT_STREQ(bin.c_str(), dialog->binPath);
  EXPECT_GT(test_support::FileSize(bin), 300 * 2352);
  std::string burned = CurrentFolder() + "discs\\F-ejected-1\\VideoCD.bin";
  EXPECT_EQ(ReadBytes(bin), ReadBytes(burned));
  // The temporary folder is gone once the image is built.
  EXPECT_FALSE(FolderExists("C:\\tmpQuorbel\\"));
  // The XML, the builder's texts and the burn reached the status line.
  for (const char* status : {"Make XML...", "scanning ", "Burning... ", "Finalize the driver...",
                             "Burn the disc successfully."})
    EXPECT_TRUE(StatusShown(status)) << status << " in " << ::testing::PrintToString(StatusTexts());

  // A further copy onto the blank disc the changer put in: no conversion,
  // no build.
  road.clear();
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  EXPECT_EQ((std::vector<int>{kStageBurning, kStageFinalizing, kStageBurnEnded}), road);
  EXPECT_EQ(ReadBytes(bin), ReadBytes(CurrentFolder() + "discs\\F-ejected-2\\VideoCD.bin"));
  EXPECT_EQ("Click \"Burn\" to burn another copy; Click \"Finish\" to close the program.", Text(IDC_JOB_HINT));
}

TEST_F(CdJob, SvcdJobOnAUsedCdRwErasesFirst) {
  AddSource(FixturePath("pal-svcd.mpg"), "00:00:03.0");
  Open(kDiscTypeSvcd, kCdDrives);
  Choose('G');
  boxes.Answer(IDYES);
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  EXPECT_EQ(kStageErasing, road.front());
  EXPECT_EQ(kStageErased, road[1]);
  EXPECT_EQ(kStageConverting, road[2]);
  EXPECT_TRUE(LogHas({"Erasing the disc...", "Erased the disc successfully!", "Converting the file:" +
                      FixturePath("pal-svcd.mpg"), "Burned the disc successfully."}))
      << Log();
  std::string xml = test_support::ReadText(static_cast<const char*>(dialog->xmlPath));
  EXPECT_NE(std::string::npos, xml.find("class=\"svcd\" version=\"1.0\""));
  EXPECT_EQ(ReadBytes(outFolder + "My SVCD\\VideoCD.bin"), ReadBytes(DiscOf('G') + "VideoCD.bin"));
}

// The library's callbacks, called on a thread of their own as the library
// does.
TEST_F(CdJob, CallbacksFromTheLibrarysThread) {
  Open(kDiscTypeVcd, kCdDrives);
  // The calls wait for the dialog's thread: pump until the worker is done.
  auto onOtherThread = [&](std::function<void()> call) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      call();
      done = true;
    });
    EXPECT_TRUE(guitest::PumpUntil([&] { return done.load(); }, 30000));
    worker.join();
    guitest::PumpPending();
  };
  // Progress while erasing and while burning; elsewhere nothing.
  dialog->SetStage(kStageErasing, 1);
  onOtherThread([&] { DiscJobDialog::OnProcessEvent(40.0f, 0, 0, 0, 0, 0, 0, dialog); });
  EXPECT_EQ("Erasing the disc...", Text(IDC_JOB_STATUS));
  dialog->SetStage(kStageBurning, 0);
  onOtherThread([&] { DiscJobDialog::OnProcessEvent(12.345f, 1, 2, 100, 100, 10, 80, dialog); });
  EXPECT_EQ("Burning... 12.35%", Text(IDC_JOB_STATUS));
  EXPECT_EQ(12, dialog->progress.GetPos());
  dialog->SetStage(kStageImageBuilt, 0);
  onOtherThread([&] { DiscJobDialog::OnProcessEvent(77.0f, 0, 0, 0, 0, 0, 0, dialog); });
  EXPECT_EQ("Burning... 12.35%", Text(IDC_JOB_STATUS));
  // A failed erase does not go on to convert or burn.
  road.clear();
  dialog->SetStage(kStageErasing, 0);
  onOtherThread([&] { DiscJobDialog::OnEraseDoneEvent(kCdNotErasable, dialog); });
  EXPECT_EQ((std::vector<int>{kStageErasing, kStageBurnFailed}), road);
  ASSERT_EQ(1u, EngineErrors().size());
  EXPECT_EQ(0u, EngineErrors()[0].find("error: "));
  EXPECT_TRUE(LogHas({"Failed to erase the disc.", "Failed!"})) << Log();
  // A burn the library ended with a text is logged with it.
  road.clear();
  onOtherThread([&] { DiscJobDialog::OnBurnDoneEvent("Writing failed: disc write error", dialog); });
  EXPECT_EQ(std::vector<int>{kStageBurnEnded}, road);
  EXPECT_TRUE(LogHas({"Writing failed: disc write error", "Failed!"})) << Log();
  EXPECT_EQ("Writing failed: disc write error", Text(IDC_JOB_STATUS));
}

TEST_F(CdJob, BuilderReportsAndResults) {
  Open(kDiscTypeVcd, kCdDrives);
  HWND window = dialog->GetSafeHwnd();
  UINT message = RegisterWindowMessageA(JOB_BUILDER_MESSAGE_NAME);
  g_builderMessage = message;
  // Information texts go to the status line; progress records to the bar.
  SendMessageA(window, message, kVcdMsgInfo, reinterpret_cast<LPARAM>("scanning pal-vcd.mpg"));
  EXPECT_EQ("scanning pal-vcd.mpg", Text(IDC_JOB_STATUS));
  VcdBuildProgress record = {};
  record.phase = kVcdPhaseWrite;
  record.percent = 42;
  SendMessageA(window, message, kVcdMsgProgress, reinterpret_cast<LPARAM>(&record));
  EXPECT_EQ(42, dialog->progress.GetPos());
  // Other levels, a progress text and no text at all change nothing.
  for (int level : {1, 3, 4, 7})
    SendMessageA(window, message, level, reinterpret_cast<LPARAM>("other"));
  SendMessageA(window, message, kVcdMsgProgress, reinterpret_cast<LPARAM>("12%"));
  SendMessageA(window, message, kVcdMsgInfo, 0);
  EXPECT_EQ("scanning pal-vcd.mpg", Text(IDC_JOB_STATUS));
  EXPECT_EQ(42, dialog->progress.GetPos());

  // Every failed result, an exception too, ends as a failed image: stage
  // 18 and then idle.
  for (LPARAM result : {1, 2, 3, -1, 103}) {
    road.clear();
    SendMessageA(window, kJobBuilderStateMessage, kVcdBuildStarted, 0);
    EXPECT_TRUE(road.empty());
    SendMessageA(window, kJobBuilderStateMessage, kVcdBuildEnded, result);
    EXPECT_EQ(std::vector<int>{kStageImageFailed}, road) << result;
    EXPECT_EQ(0, dialog->stage);
    EXPECT_EQ(0, dialog->imageReady);
    EXPECT_EQ("Failed to create image.", Text(IDC_JOB_STATUS));
  }
}

// Stop while the builder runs: asked, the builder stops at the flag, the
// image is failed and Start begins a whole new job again.
TEST_F(CdJob, StopDuringTheImageBuild) {
  AddSource(FixturePath("pal-vcd.mpg"), "00:00:03.0");
  AddSource(FixturePath("ntsc-vcd.mpg"), "00:00:03.0");
  Open(kDiscTypeVcd, kCdDrives);
  Choose('F');
  bool clicked = false;
  // The builder's first text: it waits for the dialog, which is asked to stop.
  OnStatus() = [&](const std::string& text) {
    if (clicked || dialog->stage != kStageBuildingImage || text == "Make XML...") return;
    clicked = true;
    boxes.Answer(IDOK);
    ClickStart();
  };
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageImageFailed)) << Log();
  ASSERT_TRUE(clicked);
  EXPECT_EQ(0, boxes.LastText().Find("It is creating the cue image.\nWould you really like to abort the process?"));
  EXPECT_EQ(1, dialog->cancelBuild);
  EXPECT_EQ(0, std::count(road.begin(), road.end(), kStageImageBuilt));
  EXPECT_TRUE(LogHas({"Creating the cue image...", "Created the cue image error.", "Failed!"})) << Log();
  EXPECT_EQ("Failed to create image.", Text(IDC_JOB_STATUS));
  EXPECT_EQ(0, dialog->stage);
  EXPECT_EQ(0, dialog->imageReady);
  EXPECT_EQ("Start", Text(IDC_JOB_START));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_EQ("1", IniValue("F", "blank"));  // nothing was burned
}

TEST_F(CdJob, AbortOfARunningBurn) {
  AddSource(FixturePath("pal-vcd.mpg"), "00:00:03.0");
  Open(kDiscTypeVcd, kCdDrives);
  Choose('M');
  ClickStart();
  ASSERT_TRUE(WaitForStage(kStageBurning)) << Log();
  ASSERT_TRUE(guitest::PumpUntil([&] { return dialog->progress.GetPos() > 0; }, 30000));
  EXPECT_EQ(0, Text(IDC_JOB_STATUS).find("Burning... "));
  boxes.Answer(IDOK);
  ClickStart();  // "Stop"
  EXPECT_EQ(0, boxes.LastText().Find("Would you really like to abort the burn"));
  ASSERT_TRUE(WaitForStage(kStageBurnEnded)) << Log();
  EXPECT_TRUE(LogHas({"Burning disc...", "Burn aborted by the user.", "Failed!"})) << Log();
  EXPECT_EQ("Burn aborted by the user.", Text(IDC_JOB_STATUS));
  EXPECT_EQ(std::count(road.begin(), road.end(), kStageFinalizing), 0);
}

}  // namespace
}  // namespace job_disc_test
