// The burn dialog's DVD path keeping the user's files and never hanging:
// the disc folder rebuilt without asking only when a DVD job made it, the
// label and path rules, a delete that fails half-way, an authoring call
// that fails without posting its end, workers that cannot start, and a
// failing burn whose box holds back a second Burn until it is done with
// the drive.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "burner/tests/burn_dialog_harness.h"
#include "discjob/disc_folder.h"
#include "discjob/disc_folder_rules.h"
#include "standins/calls/dvdauthor_calls.h"
#include "suite/worker_thread.h"

using namespace burner_test;
using standin_test::CurrentFolder;

namespace {

const char kBlankDvdR[] =
    "[drives]\r\nletters=E\r\n[E]\r\nproduct=DVD-R Writer\r\nwrites=dvd\r\nmedium=DVD-R\r\nblank=1\r\n";
// The free-space refusal, the first check after the folder work.
const char kNoRoomBox[] = "There is not enough free space";

const std::vector<std::string> kVideoTs = {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO",
                                           "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_0.BUP"};

void WriteFileOf(const std::string& path, size_t size) {
  CreateFolderPath(path.substr(0, path.rfind('\\') + 1).c_str());
  standin_test::WriteBytes(path, standin_test::Pattern(size, 1));
}

class DvdFolderTest : public BurnDialogTest {
protected:
  // The burn dialog over one small file, its output folder one level
  // below the test's "out" folder (so "." and ".." name folders of the
  // test's own).
  void OpenDvd(const char* drives, const std::string& output) {
    OpenMain(2, drives);
    g_burnSettings.SetOutputFolder(output.c_str());
    main->choices.push_back({MakeSizedFile("a.vob", 4096)});
    main->AddFiles();
    OpenBurn();
  }
  // A copy of a disc folder the test made: Burn writes it without authoring.
  void TakeMadeImage(const std::string& folder) {
    burn->m_imageMade = 1;
    burn->m_jobLabel = "My DVD";
    snprintf(burn->m_dvdFolder, sizeof burn->m_dvdFolder, "%s", folder.c_str());
  }
  std::string out = CurrentFolder() + "out\\";
  std::string output = CurrentFolder() + "out\\deep\\";
};

// A folder the suite did not make is the user's: it is rebuilt only when
// the user agrees; labels that name no folder of their own are refused
// before anything is touched.
TEST_F(DvdFolderTest, DiscFolderIsRebuiltWithoutAskingOnlyWhenADvdJobMadeIt) {
  OpenDvd(kBlankDvdR, output);
  burn->freeMB = 0;  // the start stops right after the folder work
  struct Case {
    const char* what;
    const char* label;
    std::vector<std::string> files;  // below the output folder's parent
    int answer;                      // to the question, 0: none expected
    bool kept;                       // the files are still there afterwards
    const char* box;                 // the first box
  } cases[] = {
      {"authored layout", "My DVD", {"deep\\My DVD\\VIDEO_TS\\VIDEO_TS.IFO", "deep\\My DVD\\AUDIO_TS\\"}, 0, false,
       kNoRoomBox},
      {"user file, No", "My DVD", {"deep\\My DVD\\VIDEO_TS\\VIDEO_TS.IFO", "deep\\My DVD\\letter.txt"}, IDNO, true,
       "The folder\n"},
      {"user file, Yes", "My DVD", {"deep\\My DVD\\letter.txt"}, IDYES, false, "The folder\n"},
      {"user folder named by the label", "Documents", {"deep\\Documents\\report.doc"}, IDNO, true, "The folder\n"},
      {"empty label", "", {"deep\\keep.txt"}, 0, true, disc_folder::kEmptyLabelText},
      {"dot label", ".", {"deep\\keep.txt"}, 0, true, disc_folder::kEmptyLabelText},
      {"dot-dot label", "..", {"keep.txt", "deep\\keep.txt"}, 0, true, disc_folder::kEmptyLabelText},
      {"blank label", "  ", {"deep\\keep.txt"}, 0, true, disc_folder::kEmptyLabelText},
      {"backslash label", "a\\b", {"deep\\a\\keep.txt"}, 0, true, burner::kInvalidLabelMessage},
      {"slash label", "a/b", {"deep\\a\\keep.txt"}, 0, true, burner::kInvalidLabelMessage},
  };
  for (const Case& c : cases) {
    DeleteFolderTree(out.c_str(), NULL);
    for (const std::string& file : c.files) {
      if (file.back() == '\\')
        CreateFolderPath((out + file).c_str());
      else
        WriteFileOf(out + file, 100);
    }
    guitest::SetText(Item(IDC_BURN_LABEL), c.label);
    CMessageBoxScript boxes;
    if (c.answer != 0) boxes.Answer(c.answer);
    ClickStart();
    std::vector<CMessageBoxScript::Box> shown = boxes.Boxes();
    ASSERT_FALSE(shown.empty()) << c.what;
    std::string text = static_cast<const char*>(shown[0].text);
    EXPECT_EQ(0u, text.find(c.box)) << c.what << ": " << text;
    if (c.answer != 0) {
      EXPECT_EQ(DiscFolderQuestion((output + c.label + "\\").c_str()), text) << c.what;
      EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), shown[0].type) << c.what;
      EXPECT_EQ(burn->m_hWnd, shown[0].owner) << c.what;
    }
    if (c.answer == IDNO) {
      EXPECT_EQ(1u, shown.size()) << c.what << ": the start stops at No";
      EXPECT_TRUE(LogHas("Aborted by user: the disc folder holds other files.")) << c.what << LogText();
      EXPECT_TRUE(LogHas("Failed.")) << c.what << LogText();
    }
    if (!c.kept) {
      EXPECT_EQ(0, boxes.LastText().Find(kNoRoomBox)) << c.what << ": " << boxes.LastText();
      EXPECT_TRUE(FolderExists((output + c.label + "\\").c_str())) << c.what << ": made again";
    }
    for (const std::string& file : c.files)
      EXPECT_EQ(c.kept, test_support::FileExists(out + file) || FolderExists((out + file).c_str()))
          << c.what << ": " << file;
    EXPECT_EQ(burner::kStepIdle, burn->GetStep()) << c.what;
  }
  guitest::PumpPending();
  guitest::SaveScreenshot(burn->m_hWnd, "burner_dvd_folder_refused");
}

// The disc folder's path is refused, never cut, when it would not fit its
// buffer; a delete that leaves files behind is reported.
TEST_F(DvdFolderTest, DiscFolderTooLongOrNotDeletableIsRefusedWithItsReason) {
  std::string longOutput = out;
  while (longOutput.size() < 230) longOutput += "o";
  longOutput += "\\";
  ASSERT_TRUE(CreateFolderPath(longOutput.c_str()));
  OpenDvd(kBlankDvdR, longOutput);
  guitest::SetText(Item(IDC_BURN_LABEL), std::string(40, 'L'));
  {
    CMessageBoxScript boxes;
    ClickStart();
    EXPECT_EQ(disc_folder::kTooLongText, std::string(boxes.LastText()));
    EXPECT_EQ(1, boxes.Count());
  }
  EXPECT_EQ(burner::kStepIdle, burn->GetStep());

  g_burnSettings.SetOutputFolder(output.c_str());
  guitest::SetText(Item(IDC_BURN_LABEL), "My DVD");
  std::string held = output + "My DVD\\VIDEO_TS\\VTS_01_1.VOB";
  WriteFileOf(held, 100);
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  {
    CMessageBoxScript boxes;
    ClickStart();
    CloseHandle(file);
    EXPECT_EQ(0, boxes.LastText().Find("The folder\n")) << boxes.LastText();
    EXPECT_NE(-1, boxes.LastText().Find("could not be deleted completely"));
    EXPECT_EQ(1, boxes.Count());
  }
  EXPECT_TRUE(LogHas("Failed to delete the disc folder.")) << LogText();
  EXPECT_TRUE(LogHas("Failed.")) << LogText();
  EXPECT_EQ(burner::kStepIdle, burn->GetStep());
}

// An authoring library that returns a failure without posting its end
// ends the step: the dialog does not wait for ever with Cancel refused.
TEST_F(DvdFolderTest, AuthoringFailingWithoutItsEndEndsTheStep) {
  OpenDvd(kBlankDvdR, output);
  ASSERT_TRUE(DvdAuthor().Load(HostPath(QUORBEL_SILENT_AUTHOR_DLL).c_str()));
  {
    CMessageBoxScript boxes;
    ClickStart();
    guitest::PumpFor(300);
  }
  ASSERT_TRUE(DvdAuthor().Load());
  EXPECT_TRUE(LogHas("Creating the DVD image...")) << LogText();
  EXPECT_TRUE(LogHas("The DVD authoring failed to start (result 7).")) << LogText();
  EXPECT_TRUE(LogHas("Failed to create DVD image")) << LogText();
  EXPECT_NE(burner::kStepAuthoring, burn->GetStep());
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
  EXPECT_FALSE(guitest::IsVisible(Item(IDC_BURN_STATUS)));
  guitest::SaveScreenshot(burn->m_hWnd, "burner_dvd_authoring_failed_silently");
  // Cancel closes the dialog again.
  guitest::Click(Item(IDCANCEL));
  EXPECT_FALSE(guitest::IsVisible(burn->m_hWnd));
}

// A worker that cannot be started ends its step with a log line.
TEST_F(DvdFolderTest, WorkersThatCannotStartEndTheirStep) {
  struct Case {
    const char* what;
    int discType;
    const char* drives;
    bool madeImage;          // a copy of a DVD folder the test made
    const char* failedLine;  // the step's own failure line after the worker's
  } cases[] = {
      {"DVD burn", 2, kBlankDvdR, true, "Failed to burn the disc"},
      {"DVD erase", 2,
       "[drives]\r\nletters=F\r\n[F]\r\nwrites=dvd\r\nmedium=DVD-RW\r\nblank=0\r\nused=5000\r\n", true,
       "Failed to erase the disc."},
      {"VCD image build", 0, "[drives]\r\nletters=E\r\n[E]\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n", false,
       "Failed to create cue image."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenMain(c.discType, c.drives);
    if (c.discType == 0) {
      AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
    } else {
      main->choices.push_back({MakeSizedFile("a.vob", 4096)});
      main->AddFiles();
    }
    OpenBurn();
    if (c.madeImage) {
      for (const std::string& name : kVideoTs) WriteFileOf(output + "My DVD\\VIDEO_TS\\" + name, 1000);
      TakeMadeImage(output + "My DVD\\");
    }
    {
      CMessageBoxScript boxes;  // the erase question: Yes
      RefuseWorkerStartsForTests(true);
      ClickStart();
      RefuseWorkerStartsForTests(false);
      guitest::PumpFor(200);
    }
    EXPECT_TRUE(LogHas(kWorkerStartFailedText)) << LogText();
    EXPECT_TRUE(LogHas(c.failedLine)) << LogText();
    EXPECT_LT(LogText().find(kWorkerStartFailedText), LogText().find(c.failedLine)) << LogText();
    EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
    EXPECT_TRUE(guitest::IsEnabled(Item(IDC_BURN_ACTION)));
    TearDown();
  }
}

// A failing burn is done with its drive before it says so, and its box is
// owned by the dialog: while the box is up the dialog offers no second
// Burn, and the second burn started after it is neither ejected nor left
// unstoppable by the first worker.
TEST_F(DvdFolderTest, AFailingBurnLeavesASecondBurnItsDriveAndItsStop) {
  // 6 x 350 kB at 400 kB/s: the second write runs about five seconds.
  OpenDvd("[drives]\r\nletters=F\r\n[F]\r\nproduct=Slow DVD-RW\r\nwrites=dvd\r\nmedium=DVD-RW\r\nblank=0\r\n"
          "used=5000\r\nspeed=400\r\n",
          output);
  for (const std::string& name : kVideoTs) WriteFileOf(output + "My DVD\\VIDEO_TS\\" + name, 350000);
  TakeMadeImage(output + "My DVD\\");
  std::string drives = CurrentFolder() + "drives.ini";
  // The first burn finds the erased disc written again: it fails and ejects.
  burn->onEraseDone = [&] {
    WritePrivateProfileStringA("F", "blank", "0", drives.c_str());
    WritePrivateProfileStringA("F", "used", "5000", drives.c_str());
  };
  HWND dialog = burn->m_hWnd;
  HWND action = Item(IDC_BURN_ACTION);
  std::atomic<bool> boxShown(false), pressedDuringBox(false);
  std::string ejectsAtBox;
  HWND owner = NULL;
  CMessageBoxScript boxes;  // the erase questions: Yes; the stop question: OK
  boxes.OnBox([&](const CMessageBoxScript::Box& box) {
    if (boxShown || box.text.Find("The inserted disc is not a empty dvd disc.") != 0) return;
    ejectsAtBox = standin_test::IniValue("F", "ejects");
    owner = box.owner;
    // A person presses Burn as soon as the dialog offers it, and reads the
    // box while the second write runs.
    auto offered = [&] {
      return guitest::GetText(action) == "Burn" && IsWindowEnabled(action) && IsWindowEnabled(dialog);
    };
    DWORD start = GetTickCount();
    while (!offered() && GetTickCount() - start < 1500) Sleep(20);
    if (offered()) {
      pressedDuringBox = true;
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BURN_ACTION, BN_CLICKED), reinterpret_cast<LPARAM>(action));
      start = GetTickCount();
      while (SendMessageA(::GetDlgItem(dialog, IDC_BURN_PROGRESS), PBM_GETPOS, 0, 0) == 0 &&
             GetTickCount() - start < 30000)
        Sleep(20);
    }
    boxShown = true;
  });
  ClickStart();
  ASSERT_TRUE(guitest::PumpUntil([&] { return boxShown.load(); }, 60000)) << LogText();
  EXPECT_EQ("1", ejectsAtBox) << "the disc went out after the box";
  EXPECT_EQ(dialog, owner);
  EXPECT_FALSE(pressedDuringBox) << "the dialog offered Burn while the failing worker's box was up";
  if (!pressedDuringBox) {
    ASSERT_TRUE(guitest::PumpUntil([&] { return LogHas("Failed to burn the disc"); }, 10000)) << LogText();
    guitest::PumpUntil([&] { return burn->GetStep() == burner::kStepIdle; }, 10000);
    ClickStart();  // the second Burn
  }
  ASSERT_TRUE(guitest::PumpUntil(
      [&] { return burn->GetStep() == burner::kStepBurning && burn->m_progress.GetPos() > 0; }, 60000))
      << LogText();
  std::string ejectsWriting = standin_test::IniValue("F", "ejects");
  guitest::PumpUntil([&] { return burn->m_progress.GetPos() >= 40; }, 30000);
  EXPECT_EQ(ejectsWriting, standin_test::IniValue("F", "ejects")) << "the second write was ejected";
  guitest::SaveScreenshot(dialog, "burner_dvd_second_burn_writing");
  ClickStart();  // Stop
  EXPECT_TRUE(LogHas("Aborted by user")) << LogText();
  ASSERT_TRUE(guitest::PumpUntil([&] { return LogHas("Failed to burn the disc") || LogHas("Done!"); }, 60000))
      << LogText();
  EXPECT_FALSE(LogHas("Done!")) << "the second burn could not be stopped: " << LogText();
  guitest::PumpUntil([&] { return burn->GetStep() == burner::kStepIdle; }, 10000);
  EXPECT_EQ("Burn", Text(IDC_BURN_ACTION));
  EXPECT_TRUE(guitest::IsEnabled(Item(IDCANCEL)));
}

}  // namespace
