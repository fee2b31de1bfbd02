// The burn dialog in real windows over the main window's list: VCD and SVCD
// images built from ffmpeg fixtures and burned through the CdScribe
// stand-in, DVDs authored and written through DVDAuthorDLL and DvdScribe,
// on virtual drives; erases, refusals, aborts and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "burner/burner_app.h"
#include "burner/burner_rules.h"
#include "burner/start_burn_dialog.h"
#include "burner/tests/burner_test_util.h"
#include "discjob/job_dvd_writer.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/tests/es_fixtures.h"
#include "standins/tests/video_ts_check.h"

#include "burner/tests/burn_dialog_harness.h"

using namespace burner_test;
using standin_test::CurrentFolder;

namespace {

const char kCdR[] =
    "[drives]\r\nletters=DE\r\n"
    "[D]\r\nproduct=Reader\r\nwrites=\r\nmedium=CD-ROM\r\n"
    "[E]\r\nproduct=CD-R Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\nchangeOnEject=1\r\n";

TEST_F(BurnDialogTest, VcdImageIsBuiltAndBurnedThenAnotherCopyBurnsTheSameImage) {
  OpenMain(0, kCdR);
  std::string a = CopyFixture(FixturePath("pal-vcd.mpg"), "first.mpg");
  std::string b = CopyFixture(FixturePath("pal-vcd.mpg"), "second.mpg");
  AddScanned(a);
  AddScanned(b);
  ASSERT_EQ(main->GetFileCount(), 2);
  OpenBurn();
  // Only the writer is listed, and selected; the DVD-only settings are off.
  ASSERT_EQ(SendMessageA(Item(IDC_BURN_DRIVE), CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(Text(IDC_BURN_DRIVE)[0], 'E');
  EXPECT_EQ(Text(IDC_BURN_LABEL), "My VCD");
  EXPECT_EQ(Text(IDC_BURN_OUTPUT_FOLDER), CurrentFolder() + "out\\");
  EXPECT_FALSE(guitest::IsEnabled(Item(IDC_BURN_PAL)));
  EXPECT_FALSE(guitest::IsVisible(Item(IDC_BURN_STATUS)));
  guitest::SaveScreenshot(burn->m_hWnd, "burner_burn_dialog_vcd");

  ClickStart();
  EXPECT_TRUE(LogHas("Starting..."));
  ASSERT_TRUE(WaitForLog("Done!")) << LogText();
  guitest::SaveScreenshot(burn->m_hWnd, "burner_burn_dialog_vcd_done");
  EXPECT_TRUE(LogHas("Creating the cue image..."));
  EXPECT_TRUE(LogHas("Created the cue image successfully."));
  EXPECT_TRUE(LogHas("Burned the disc successfully."));
  EXPECT_EQ(burn->m_burned, 1);
  EXPECT_EQ(burn->m_imageMade, 1);
  EXPECT_EQ(Text(IDCANCEL), "Finish");
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Burn");
  EXPECT_TRUE(guitest::IsEnabled(Item(IDC_BURN_ACTION)));
  EXPECT_EQ(Text(IDC_BURN_HINT), burner::HintText(true, true));
  EXPECT_TRUE(guitest::IsVisible(Item(IDC_BURN_HINT)));
  // The project names both files in list order; the image is in the disc
  // folder and on the disc.
  std::string xml = test_support::ReadText(ProgramFolder() + "vcd.xml");
  EXPECT_LT(xml.find("first.mpg"), xml.find("second.mpg"));
  EXPECT_NE(xml.find("<volume-id>My VCD</volume-id>"), std::string::npos);
  std::string image = CurrentFolder() + "out\\My VCD\\VideoCD.bin";
  EXPECT_GT(test_support::FileSize(image), 0);
  // The written disc left the drive when it was ejected after the burn.
  EXPECT_EQ(standin_test::IniValue("E", "ejects"), "1");
  EXPECT_TRUE(test_support::FileExists(CurrentFolder() + "discs\\E-ejected-1\\VideoCD.cue"));
  // The settings were saved by the click.
  EXPECT_EQ(IniValue("Pelzor", "OutputFolder"), CurrentFolder() + "out\\");

  // Burn again: the image is not built again.
  ClickStart();
  EXPECT_FALSE(LogHas("Creating the cue image..."));
  ASSERT_TRUE(WaitForLog("Done!")) << LogText();
  EXPECT_FALSE(LogHas("Creating the cue image..."));
  EXPECT_TRUE(LogHas("Burning..."));
}

TEST_F(BurnDialogTest, WrittenCdRIsRefusedAndNoDiscOrWriterSaysSo) {
  struct Case {
    const char* drives;
    const char* box;
    const char* log;
  } cases[] = {
      {"[drives]\r\nletters=E\r\n[E]\r\nwrites=cd\r\nmedium=CD-R\r\nblank=0\r\nused=500\r\n",
       "Please insert a blank CD disc into the writer.", "No blank CD Disc in writer."},
      {"[drives]\r\nletters=E\r\n[E]\r\nwrites=cd\r\nmedium=none\r\n",
       "No disc in the writer.\nPlease insert a blank disc into the writer.", "No blank CD Disc in writer."},
      {"[drives]\r\nletters=E\r\n[E]\r\nwrites=cd\r\nmedium=DVD-R\r\nblank=1\r\n",
       "Please insert a blank writable disc into the writer.", "No blank CD Disc in writer."},
      {"[drives]\r\nletters=D\r\n[D]\r\nwrites=\r\nmedium=CD-ROM\r\n",
       "Can't find writer with burning capabilities.", "Failed to find writer with burning capabilities."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    OpenMain(0, c.drives);
    AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
    OpenBurn();
    int ejects = atoi(standin_test::IniValue("E", "ejects").c_str());
    CMessageBoxScript boxes;
    ClickStart();
    EXPECT_EQ(boxes.LastText(), c.box);
    EXPECT_TRUE(LogHas(c.log)) << LogText();
    EXPECT_TRUE(LogHas("Failed!")) << LogText();
    EXPECT_EQ(burn->GetStep(), burner::kStepIdle);
    EXPECT_EQ(burn->m_imageMade, 0);
    if (c.log[0] == 'N') {
      EXPECT_EQ(atoi(standin_test::IniValue("E", "ejects").c_str()), ejects + 1);
    }
    TearDown();
  }
}

TEST_F(BurnDialogTest, WrittenCdRwIsErasedWhenTheUserAgrees) {
  const char drives[] =
      "[drives]\r\nletters=F\r\n[F]\r\nwrites=cd\r\nmedium=CD-RW\r\nblank=0\r\nused=1000\r\n";
  OpenMain(1, drives);
  AddScanned(CopyFixture(FixturePath("pal-svcd.mpg"), "a.mpg"));
  OpenBurn();
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDNO);
    ClickStart();
    EXPECT_EQ(boxes.LastText(),
              "The disc in the drive is not empty.\nWriting to this disc will erase any existing data on it.\n"
              "Do you want to proceed?");
  }
  EXPECT_TRUE(LogHas("Aborted by user."));
  EXPECT_TRUE(LogHas("Failed."));

  {
    CMessageBoxScript boxes;
    boxes.Answer(IDYES);
    ClickStart();
  }
  EXPECT_TRUE(LogHas("Erasing the disc..."));
  EXPECT_FALSE(guitest::IsEnabled(Item(IDC_BURN_ACTION)));
  EXPECT_FALSE(guitest::IsEnabled(Item(IDCANCEL)));
  ASSERT_TRUE(WaitForLog("Done!")) << LogText();
  EXPECT_TRUE(LogHas("Erased the disc successfully."));
  EXPECT_TRUE(LogHas("Created the cue image successfully."));
  std::string xml = test_support::ReadText(ProgramFolder() + "vcd.xml");
  EXPECT_NE(xml.find("class=\"svcd\""), std::string::npos);
}

// What the CD-writing error report would have shown.
std::vector<std::string> g_engineErrors;
void RecordEngineError(const char* text) { g_engineErrors.push_back(text); }

TEST_F(BurnDialogTest, AnEraseThatFailsIsReportedAndNothingIsBurned) {
  OpenMain(0, "[drives]\r\nletters=F\r\n[F]\r\nwrites=cd\r\nmedium=CD-RW\r\nblank=0\r\nused=1000\r\n");
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
  OpenBurn();
  g_engineErrors.clear();
  SetBurnEngineErrorBox(RecordEngineError);
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDYES);
    ClickStart();
  }
  ASSERT_EQ(burn->GetStep(), burner::kStepErasing);
  CdScribe().Abort();  // the library ends the erase with a code
  bool ended = WaitForLog("Failed to erase the disc.", 20000);
  SetBurnEngineErrorBox(NULL);
  ASSERT_TRUE(ended) << LogText();
  EXPECT_FALSE(LogHas("Erased the disc successfully."));
  EXPECT_FALSE(LogHas("Creating the cue image..."));
  ASSERT_EQ(g_engineErrors.size(), 1u);
  EXPECT_EQ(g_engineErrors[0].rfind("error: ", 0), 0u);
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Start");
  EXPECT_TRUE(guitest::IsEnabled(Item(IDC_BURN_ACTION)));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
}

TEST_F(BurnDialogTest, AbortingTheImageBuildEndsInTheImageFailure) {
  OpenMain(0, kCdR);
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
  OpenBurn();
  burn->clickOnFirstProgress = true;
  CMessageBoxScript boxes;
  boxes.Answer(IDOK);
  ClickStart();
  ASSERT_TRUE(WaitForLog("Failed to create the cue image.")) << LogText();
  EXPECT_EQ(boxes.LastText(), "It is creating the cue image.\nWould you really like to abort the process?");
  EXPECT_EQ(burn->resultText, "\"zrDiscBuild\" finished with ERRORS : Cancel Request from User");
  EXPECT_EQ(burn->m_imageMade, 0);
  EXPECT_EQ(burn->m_burned, 0);
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Start");
  EXPECT_TRUE(guitest::IsEnabled(Item(IDC_BURN_ACTION)));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_EQ(Text(IDCANCEL), "Cancel");
  EXPECT_EQ(burn->GetStep(), burner::kStepIdle);
}

TEST_F(BurnDialogTest, LabelAndFreeSpaceAreCheckedBeforeAnything) {
  OpenMain(0, kCdR);
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
  OpenBurn();
  guitest::SetText(Item(IDC_BURN_LABEL), "a/b");
  {
    CMessageBoxScript boxes;
    ClickStart();
    EXPECT_EQ(boxes.LastText(), burner::kInvalidLabelMessage);
  }
  EXPECT_EQ(LogText(), "");
  // An output folder on a drive that does not exist cannot be made.
  guitest::SetText(Item(IDC_BURN_LABEL), "Disc");
  g_burnSettings.SetOutputFolder("Q:\\nowhere\\");
  {
    CMessageBoxScript boxes;
    ClickStart();
    EXPECT_NE(boxes.LastText().Find("Create output directory failed!"), -1);
  }
  EXPECT_EQ(burn->GetStep(), burner::kStepIdle);
}

TEST_F(BurnDialogTest, TooLittleFreeSpaceStopsTheStart) {
  OpenMain(0, kCdR);
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
  OpenBurn();
  burn->freeMB = 0;
  {
    CMessageBoxScript boxes;
    ClickStart();
    char drive = CurrentFolder()[0];
    EXPECT_EQ(burn->askedDrive, drive);
    EXPECT_EQ(std::string(boxes.LastText()), burner::FreeSpaceMessage(drive, burner::RequiredMB(main->GetTotalBytes()), 0));
  }
  EXPECT_TRUE(LogHas("Disk space is not enough!"));
  EXPECT_TRUE(LogHas("Failed"));
  EXPECT_FALSE(LogHas("Starting..."));
  EXPECT_EQ(burn->GetStep(), burner::kStepIdle);

  // A folder from the root of the current drive is measured on drive C.
  g_burnSettings.SetOutputFolder("\\burnertest-out\\");
  burn->freeMB = -1;  // unknown: refused as well
  {
    CMessageBoxScript boxes;
    ClickStart();
    EXPECT_EQ(burn->askedDrive, 'C');
  }
  EXPECT_EQ(burn->GetStep(), burner::kStepIdle);
  RemoveDirectoryA("\\burnertest-out\\My VCD");
  RemoveDirectoryA("\\burnertest-out");
}

TEST_F(BurnDialogTest, SelectTakesTheChosenFolderWithItsBackslash) {
  OpenMain(0, kCdR);
  OpenBurn();
  burn->folderChoice = "";
  guitest::Click(Item(IDC_BURN_SELECT));
  EXPECT_EQ(Text(IDC_BURN_OUTPUT_FOLDER), CurrentFolder() + "out\\");
  burn->folderChoice = "D:\\videos";
  guitest::Click(Item(IDC_BURN_SELECT));
  EXPECT_EQ(Text(IDC_BURN_OUTPUT_FOLDER), "D:\\videos\\");
  EXPECT_STREQ(g_burnSettings.outputFolder, "D:\\videos\\");
}

TEST_F(BurnDialogTest, StopDuringACdBurnAsksAndAbortsIt) {
  OpenMain(0, "[drives]\r\nletters=K\r\n[K]\r\nproduct=Slow Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n"
              "speed=150\r\n");
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
  OpenBurn();
  ClickStart();
  ASSERT_TRUE(guitest::PumpUntil([&] { return Text(IDC_BURN_STATUS).rfind("Burning... ", 0) == 0; }, 60000))
      << LogText();
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Stop");
  EXPECT_FALSE(guitest::IsEnabled(Item(IDCANCEL)));
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDCANCEL);  // not aborted
    ClickStart();
    EXPECT_EQ(burn->GetStep(), burner::kStepBurning);
    boxes.Answer(IDOK);
    ClickStart();
    EXPECT_EQ(boxes.LastText(),
              "Would you really like to abort the burn\nprocess?\n\nInfo:Interrupting burning may make your\n"
              "disc unreadable!");
  }
  ASSERT_TRUE(guitest::PumpUntil([&] { return burn->GetStep() == burner::kStepIdle; }, 60000)) << LogText();
  EXPECT_TRUE(LogHas("Failed!")) << LogText();
  EXPECT_FALSE(LogHas("Done!"));
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Burn");
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_EQ(Text(IDCANCEL), "Finish");  // a burn began
}

// ---- DVD ----------------------------------------------------------------------------------

TEST_F(DvdBurnTest, VobFilesAreAuthoredAndWritten) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  OpenMain(2, "[drives]\r\nletters=E\r\n[E]\r\nvendor=QUORBEL\r\nproduct=DVD-R Writer\r\nwrites=cd,dvd\r\n"
              "medium=DVD-R\r\nblank=1\r\nchangeOnEject=1\r\n");
  std::string vob = MakeVob("movie.vob");
  main->choices.push_back({vob});
  main->AddFiles();
  ASSERT_EQ(main->GetFileCount(), 1);
  OpenBurn();
  ASSERT_EQ(SendMessageA(Item(IDC_BURN_DRIVE), CB_GETCOUNT, 0, 0), 1);
  EXPECT_TRUE(guitest::IsEnabled(Item(IDC_BURN_PAL)));
  EXPECT_EQ(Text(IDC_BURN_LABEL), "My DVD");
  // The DVD settings go to the record at once.
  guitest::Click(Item(IDC_BURN_PAL));
  guitest::Click(Item(IDC_BURN_ASPECT_16X9));
  EXPECT_EQ(g_burnSettings.tvType, 1);
  EXPECT_EQ(g_burnSettings.aspectRatio, 1);

  ClickStart();
  EXPECT_TRUE(LogHas("Creating the DVD image..."));
  ASSERT_TRUE(WaitForLog("Done!")) << LogText();
  EXPECT_TRUE(LogHas("Created the DVD image successfully"));
  EXPECT_EQ(burn->m_imageMade, 1);
  EXPECT_EQ(burn->m_burned, 1);
  EXPECT_EQ(Text(IDCANCEL), "Finish");
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Burn");
  std::string folder = CurrentFolder() + "out\\My DVD\\";
  EXPECT_GT(test_support::FileSize(folder + "VIDEO_TS\\VIDEO_TS.IFO"), 0);
  EXPECT_EQ("", CheckVideoTs(folder, "burner-vob", 1, 3.0));
  EXPECT_EQ(IniValue("main", "TVType"), "1");
  EXPECT_EQ(IniValue("Pelzor", "AspectRatio"), "1");
  guitest::SaveScreenshot(burn->m_hWnd, "burner_burn_dialog_dvd_done");

  // Another copy burns the same folder without authoring again.
  ClickStart();
  EXPECT_FALSE(LogHas("Creating the DVD image..."));
  ASSERT_TRUE(WaitForLog("Done!")) << LogText();
}

TEST_F(DvdBurnTest, StopDuringADvdBurnAbortsIt) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  OpenMain(2, "[drives]\r\nletters=G\r\n[G]\r\nproduct=Slow Writer\r\nwrites=dvd\r\nmedium=DVD+R\r\n"
              "blank=1\r\nspeed=100\r\n");
  std::string vob = MakeVob("movie.vob");
  main->choices.push_back({vob});
  main->AddFiles();
  OpenBurn();
  ClickStart();
  // Stop once the write is under way (progress reported).
  ASSERT_TRUE(guitest::PumpUntil([&] { return burn->m_progress.GetPos() > 0 && burn->GetStep() == burner::kStepBurning; },
                                 60000))
      << LogText();
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDOK);
    ClickStart();
  }
  EXPECT_TRUE(LogHas("Aborted by user"));
  ASSERT_TRUE(WaitForLog("Failed to burn the disc")) << LogText();
  EXPECT_EQ("", CheckVideoTs(CurrentFolder() + "out\\My DVD", "burner-aborted-burn", 1, 3.0));
  guitest::PumpUntil([&] { return burn->GetStep() == burner::kStepIdle; }, 10000);
  EXPECT_TRUE(LogHas("Failed!"));
  EXPECT_FALSE(LogHas("Done!"));
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Burn");
}

TEST_F(DvdBurnTest, NoDvdWriterSaysSo) {
  OpenMain(2, "[drives]\r\nletters=E\r\n[E]\r\nproduct=CD Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n");
  main->choices.push_back({MakeSizedFile("a.vob", 4096)});
  main->AddFiles();
  OpenBurn();
  EXPECT_EQ(SendMessageA(Item(IDC_BURN_DRIVE), CB_GETCOUNT, 0, 0), 0);
  CMessageBoxScript boxes;
  ClickStart();
  EXPECT_EQ(boxes.LastText(), "Can't find writer with burning capabilities.");
  EXPECT_TRUE(LogHas("Failed to find writer with burning capabilities."));
  EXPECT_TRUE(LogHas("Failed!"));
  EXPECT_EQ(burn->GetStep(), burner::kStepIdle);
}

TEST_F(DvdBurnTest, AFileTheAuthoringRefusesLeavesOnlyCancel) {
  OpenMain(2, "[drives]\r\nletters=E\r\n[E]\r\nproduct=DVD-R Writer\r\nwrites=dvd\r\nmedium=DVD-R\r\nblank=1\r\n");
  std::string junk = MakeSizedFile("junk.vob", 100000);
  main->choices.push_back({junk});
  main->AddFiles();
  OpenBurn();
  CMessageBoxScript boxes;
  ClickStart();
  ASSERT_TRUE(WaitForLog("Failed to create DVD image")) << LogText();
  EXPECT_EQ(Text(IDC_BURN_ACTION), "Start");
  EXPECT_FALSE(guitest::IsEnabled(Item(IDC_BURN_ACTION)));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_EQ(burn->m_imageMade, 0);
}

TEST_F(DvdBurnTest, WrittenRewritableDvdIsErasedBeforeAuthoring) {
  if (EsFixturePath("x").empty()) GTEST_SKIP() << "QUORBEL_ES_FIXTURES is not set";
  OpenMain(2, "[drives]\r\nletters=F\r\n[F]\r\nproduct=DVD-RW Writer\r\nwrites=dvd\r\nmedium=DVD-RW\r\n"
              "blank=0\r\nused=5000\r\n");
  // What the written disc holds.
  std::filesystem::create_directories(CurrentFolder() + "discs\\F\\old");
  std::string vob = MakeVob("movie.vob");
  main->choices.push_back({vob});
  main->AddFiles();
  OpenBurn();
  CMessageBoxScript boxes;
  boxes.Answer(IDYES);
  ClickStart();
  EXPECT_EQ(burn->GetStep(), burner::kStepErasing);
  ASSERT_TRUE(WaitForLog("Done!")) << LogText() << boxes.LastText();
  EXPECT_EQ(boxes.Count(), 1);
  std::string log = LogText();
  EXPECT_LT(log.find("Erased the disc successfully."), log.find("Creating the DVD image..."));
  EXPECT_EQ("", CheckVideoTs(CurrentFolder() + "out\\My DVD", "burner-erased-first", 1, 3.0));
}

}  // namespace

namespace {

using namespace burner;

// While Cancel is disabled (an erase, authoring, image build or burn runs)
// neither a real Escape nor the close box ends the modal dialog.
TEST_F(BurnDialogTest, EscapeAndCloseDoNothingWhileCancelIsDisabled) {
  OpenMain(2, kCdR);
  for (int step : {kStepErasing, kStepAuthoring, kStepBuildingImage, kStepBurning}) {
    TestBurnDialog dialog(main.get());
    bool disabled = false;
    bool closedByTest = false;  // still open after the keys, closed here
    guitest::RunLater(300, [&] {
      HWND window = dialog.m_hWnd;
      dialog.SetStep(step, true);
      disabled = !guitest::IsEnabled(::GetDlgItem(window, IDCANCEL));
      guitest::PressEscapeThenClose(window, ::GetDlgItem(window, IDC_BURN_LABEL));
    });
    guitest::RunLater(900, [&] {
      HWND window = dialog.m_hWnd;
      if (window == NULL || !::IsWindow(window) || !guitest::IsVisible(window)) return;
      if (step == kStepBurning) guitest::SaveScreenshot(window, "burner_burn_escape_refused");
      closedByTest = true;
      dialog.SetStep(kStepBurnFailed);
      ::PostMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal()) << step;
    EXPECT_TRUE(disabled) << step;
    EXPECT_TRUE(closedByTest) << step;
  }
}

}  // namespace
