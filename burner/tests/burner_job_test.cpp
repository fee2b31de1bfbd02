// The burn dialog's job from start to end: the disc stays in the drive
// between the erase and the burn, copies keep the job's label, an abort
// question answered after the job ended changes nothing, the earlier disc
// folder is given up only when the burn goes ahead, failing erase workers
// end their step, and a burn-done text is freed whether or not it is
// handled.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "burner/tests/burn_dialog_harness.h"

using namespace burner_test;
using standin_test::CurrentFolder;

namespace {

int Ejects(char letter) { return atoi(standin_test::IniValue(std::string(1, letter).c_str(), "ejects").c_str()); }

// The library's options start with "open the tray when done" set, as every
// burn's option set-up leaves them: an erase must not open the tray, or
// the build and burn that follow find no disc.
TEST_F(BurnDialogTest, AnErasedCdRwStaysInTheDriveUntilItIsBurned) {
  OpenMain(0, "[drives]\r\nletters=F\r\n[F]\r\nwrites=cd\r\nmedium=CD-RW\r\nblank=0\r\nused=1000\r\n");
  AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
  OpenBurn();
  int before = Ejects('F');
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDYES);
    ClickStart();
  }
  ASSERT_EQ(burn->GetStep(), burner::kStepErasing);
  ASSERT_TRUE(WaitForLog("Done!")) << LogText();
  std::string log = LogText();
  EXPECT_LT(log.find("Erased the disc successfully."), log.find("Burning..."));
  // One eject: the burn's own, after writing.
  EXPECT_EQ(before + 1, Ejects('F'));
  EXPECT_TRUE(test_support::FileExists(DiscFolder('F') + "VideoCD.cue"));
}

// Once an image exists the label edit is open again; a copy is still
// burned under the label of the job that made the image, whatever the edit
// holds (empty, characters a label cannot hold, or another name).
TEST_F(DvdBurnTest, CopiesAreBurnedUnderTheLabelOfTheJobThatMadeTheImage) {
  struct Case {
    const char* what;
    int discType;
    char letter;
    const char* medium;
  } cases[] = {
      {"VCD", 0, 'F', "CD-RW"},
      {"DVD", 2, 'G', "DVD-RW"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.discType == 2 && EsFixturePath("x").empty()) continue;  // no DVD source without the fixtures
    std::string drives = std::string("[drives]\r\nletters=") + c.letter + "\r\n[" + c.letter +
                         "]\r\nproduct=Rewriter\r\nwrites=cd,dvd\r\nmedium=" + c.medium + "\r\nblank=1\r\n";
    OpenMain(c.discType, drives.c_str());
    AddSourceFor(c.discType);
    OpenBurn();
    ClickStart();
    ASSERT_TRUE(WaitForLog("Done!")) << LogText();
    std::string jobLabel = standin_test::IniValue(std::string(1, c.letter).c_str(), "label");
    ASSERT_NE("", jobLabel);
    for (const char* edited : {"", "a*b?", "Other"}) {
      guitest::SetText(Item(IDC_BURN_LABEL), edited);
      {
        CMessageBoxScript boxes;  // the disc holds the last copy: erase it
        boxes.Answer(IDYES);
        ClickStart();
      }
      ASSERT_TRUE(WaitForLog("Done!")) << edited << ": " << LogText();
      EXPECT_EQ(jobLabel, standin_test::IniValue(std::string(1, c.letter).c_str(), "label")) << edited;
    }
    TearDown();
  }
}

// The burn may end while the abort question is on screen (the box's own
// message loop handles the job's messages). An OK given then aborts
// nothing and logs nothing.
TEST_F(DvdBurnTest, AnAbortAnsweredAfterTheBurnEndedDoesNothing) {
  struct Case {
    const char* what;
    int discType;
    const char* drives;
  } cases[] = {
      {"CD", 0,
       "[drives]\r\nletters=K\r\n[K]\r\nproduct=Slow Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\nspeed=300\r\n"},
      {"DVD", 2,
       "[drives]\r\nletters=G\r\n[G]\r\nproduct=Slow Writer\r\nwrites=dvd\r\nmedium=DVD+R\r\nblank=1\r\n"
       "speed=400\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.discType == 2 && EsFixturePath("x").empty()) continue;
    OpenMain(c.discType, c.drives);
    AddSourceFor(c.discType);
    OpenBurn();
    ClickStart();
    ASSERT_TRUE(guitest::PumpUntil(
        [&] { return burn->GetStep() == burner::kStepBurning && burn->m_progress.GetPos() > 0; }, 60000))
        << LogText();
    bool endedDuringQuestion = false;
    {
      CMessageBoxScript boxes;
      boxes.OnBox([&](const CMessageBoxScript::Box&) {
        endedDuringQuestion = guitest::PumpUntil([&] { return burn->GetStep() == burner::kStepIdle; }, 120000);
      });
      boxes.Answer(IDOK);
      ClickStart();
      EXPECT_EQ(1, boxes.Count());
    }
    ASSERT_TRUE(endedDuringQuestion) << LogText();
    guitest::PumpPending();
    std::string log = LogText();
    EXPECT_EQ(log.size() - strlen("Done!\r\n"), log.rfind("Done!\r\n")) << log;
    EXPECT_FALSE(LogHas("Aborted by user")) << log;
    EXPECT_EQ(burner::kStepIdle, burn->GetStep());
    EXPECT_EQ("Burn", Text(IDC_BURN_ACTION));
    TearDown();
  }
}

const std::vector<std::string> kVideoTs = {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO",
                                           "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_0.BUP"};

void WriteFileOf(const std::string& path, size_t size) {
  CreateFolderPath(path.substr(0, path.rfind('\\') + 1).c_str());
  standin_test::WriteBytes(path, standin_test::Pattern(size, 1));
}

// The last image stays until the burn is sure to go ahead: a start that
// finds no usable disc, or that the user ends at the erase question,
// leaves the earlier disc folder as it was.
TEST_F(BurnDialogTest, TheEarlierDiscFolderIsKeptUntilTheBurnGoesAhead) {
  struct Case {
    const char* what;
    const char* drives;
    int answer;       // to the erase question, 0: none asked
    const char* box;  // the start of the last box
  } cases[] = {
      {"no disc", "[drives]\r\nletters=K\r\n[K]\r\nwrites=dvd\r\nmedium=none\r\n", 0,
       "No disc in the writer. Please insert a writable dvd disc into the driver."},
      {"written DVD+R", "[drives]\r\nletters=K\r\n[K]\r\nwrites=dvd\r\nmedium=DVD+R\r\nblank=0\r\nused=900\r\n", 0,
       "The inserted disc is not a empty dvd disc."},
      {"erase refused", "[drives]\r\nletters=K\r\n[K]\r\nwrites=dvd\r\nmedium=DVD-RW\r\nblank=0\r\nused=900\r\n",
       IDNO, "The disc in the drive is not empty."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenMain(2, c.drives);
    main->choices.push_back({MakeSizedFile("a.vob", 4096)});
    main->AddFiles();
    std::string image = CurrentFolder() + "out\\My DVD\\VIDEO_TS\\";
    for (const std::string& name : kVideoTs) WriteFileOf(image + name, 1000);
    OpenBurn();
    {
      CMessageBoxScript boxes;
      if (c.answer != 0) boxes.Answer(c.answer);
      ClickStart();
      EXPECT_EQ(0, boxes.LastText().Find(c.box)) << boxes.LastText();
    }
    EXPECT_TRUE(LogHas("Failed.")) << LogText();
    EXPECT_EQ(burner::kStepIdle, burn->GetStep());
    for (const std::string& name : kVideoTs) EXPECT_TRUE(test_support::FileExists(image + name)) << name;
    TearDown();
  }
}

// The DVD erase worker that fails shows its own box, owned by the dialog,
// while the dialog is still erasing; the dialog then ends the erase's
// step: nothing is authored and Start is offered again.
TEST_F(BurnDialogTest, AFailingDvdEraseShowsItsBoxThenEndsTheErase) {
  OpenMain(2, "[drives]\r\nletters=F\r\n[F]\r\nwrites=dvd\r\nmedium=DVD-RW\r\nblank=0\r\nused=5000\r\n");
  main->choices.push_back({MakeSizedFile("a.vob", 4096)});
  main->AddFiles();
  // A file on the disc that cannot go: the erase fails.
  std::string held = DiscFolder('F') + "held.bin";
  WriteFileOf(held, 100);
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  OpenBurn();
  int stepAtBox = -1;
  std::vector<CMessageBoxScript::Box> shown;
  {
    CMessageBoxScript boxes;
    boxes.Answer(IDYES);  // erase
    boxes.OnBox([&](const CMessageBoxScript::Box& box) {
      if (box.text.Find("Erase DVD disc failed!") == 0) stepAtBox = burn->GetStep();
    });
    ClickStart();
    bool ended = WaitForLog("Failed!", 30000);
    shown = boxes.Boxes();
    CloseHandle(file);
    ASSERT_TRUE(ended) << LogText();
  }
  ASSERT_EQ(2u, shown.size());
  EXPECT_EQ(0, shown[1].text.Find("Erase DVD disc failed!\n\nBlank: Erase() failed")) << shown[1].text;
  EXPECT_EQ(burn->m_hWnd, shown[1].owner);
  EXPECT_EQ(burner::kStepErasing, stepAtBox);
  guitest::PumpPending();
  std::string log = LogText();
  EXPECT_LT(log.find("Erasing the disc..."), log.find("Failed to erase the disc.")) << log;
  EXPECT_LT(log.find("Failed to erase the disc."), log.find("Failed!")) << log;
  EXPECT_FALSE(LogHas("Creating the DVD image...")) << log;
  EXPECT_EQ(burner::kStepIdle, burn->GetStep());
  EXPECT_EQ("Failed to erase the disc.", Text(IDC_BURN_STATUS));
  EXPECT_EQ("Start", Text(IDC_BURN_ACTION));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDC_BURN_ACTION)));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_EQ("0", standin_test::IniValue("F", "blank"));
}

// The burn-done event's text travels by a posted message: it is freed when
// handled, when the window is gone before the post, and when the dialog
// goes between the post and its handling.
TEST_F(BurnDialogTest, ABurnDoneTextIsFreedWhetherOrNotItIsHandled) {
  enum When { kHandled, kDialogGoesFirst, kWindowAlreadyGone };
  for (When when : {kHandled, kDialogGoesFirst, kWindowAlreadyGone}) {
    SCOPED_TRACE(when);
    OpenMain(0, "[drives]\r\nletters=E\r\n[E]\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n");
    OpenBurn();
    long before = BurnDoneText::Alive();
    HWND window = burn->m_hWnd;
    if (when == kWindowAlreadyGone) burn.reset();
    // From the library's thread, as the library calls it.
    std::thread library([window] { StartBurnDialog::OnBurnDoneEvent("Writing failed: disc write error", window); });
    library.join();
    if (when == kHandled) {
      ASSERT_TRUE(guitest::PumpUntil([&] { return LogHas("Writing failed: disc write error"); })) << LogText();
      EXPECT_TRUE(LogHas("Failed!"));
    }
    burn.reset();
    EXPECT_EQ(before, BurnDoneText::Alive());
    TearDown();
  }
}

}  // namespace
