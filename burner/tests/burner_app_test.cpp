// The burner's settings record and its start-up, in the test program's own
// folder: "param.ini" beside the program, kept between runs; the
// disc-type chooser driven by messages; the start-up refusals.
#include <gtest/gtest.h>

#include <string>

#include "burner/burner_app.h"
#include "burner/burner_dialogs.h"
#include "burner/tests/burner_test_util.h"
#include "standins/calls/muxtools_calls.h"

using namespace burner_test;

namespace {

class BurnSettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    DeleteFileA(IniPath().c_str());
    g_burnSettings.Reset();
  }
  void TearDown() override { DeleteFileA(IniPath().c_str()); }
};

// What a settings record holds, in the order of its fields.
struct Values {
  const char* outputFolder;
  int aspectRatio, letterBox, tvType, discType;
};
void ExpectValues(const BurnSettings& settings, const Values& v) {
  EXPECT_STREQ(settings.outputFolder, v.outputFolder);
  EXPECT_EQ(settings.aspectRatio, v.aspectRatio);
  EXPECT_EQ(settings.letterBox, v.letterBox);
  EXPECT_EQ(settings.tvType, v.tvType);
  EXPECT_EQ(settings.discType, v.discType);
}

TEST_F(BurnSettingsTest, MissingFileGivesTheDefaults) {
  BurnSettings settings;
  settings.Load();
  EXPECT_TRUE(settings.IsLoaded());
  ExpectValues(settings, {"C:\\Quorbel\\", 0, 1, 0, 2});
}

TEST_F(BurnSettingsTest, SavedValuesComeBackAndKeysAreTheBurners) {
  BurnSettings settings;
  settings.SetOutputFolder("D:\\Discs\\");
  settings.aspectRatio = 1;
  settings.letterBox = 0;
  settings.tvType = 1;
  settings.discType = 0;
  ASSERT_TRUE(settings.Save());
  EXPECT_EQ(IniValue("Pelzor", "OutputFolder"), "D:\\Discs\\");
  EXPECT_EQ(IniValue("Pelzor", "AspectRatio"), "1");
  EXPECT_EQ(IniValue("Pelzor", "LetterBox"), "0");
  EXPECT_EQ(IniValue("Pelzor", "DiscType"), "0");
  EXPECT_EQ(IniValue("main", "TVType"), "1");
  EXPECT_EQ(IniValue("Pelzor", "AspectRadio"), "<none>");

  BurnSettings again;
  again.Load();
  ExpectValues(again, {"D:\\Discs\\", 1, 0, 1, 0});
}

TEST_F(BurnSettingsTest, CreatorsAspectIsNotTheBurnersAndDamagedValuesFallBack) {
  standin_test::WriteText(IniPath(),
                          "[Vantrel]\r\nAspectRadio=1\r\n[main]\r\nTVType=1\r\n"
                          "[Pelzor]\r\nDiscType=7\r\nLetterBox=x\r\nOutputFolder=E:\\out\r\n");
  BurnSettings settings;
  settings.Load();
  // "AspectRadio" is the creator's; the TV type is shared with the creator.
  ExpectValues(settings, {"E:\\out\\", 0, 1, 1, 2});
}

// The application with its main window standing in.
class StartApp : public BurnerApp {
public:
  bool mainWindowRan = false;
  CString titleAtMain;
  int discTypeAtMain = -1;

protected:
  void RunMainWindow() override {
    mainWindowRan = true;
    titleAtMain = GetBurnerTitle();
    discTypeAtMain = g_burnSettings.discType;
  }
};

// Clicks the chooser's picture for a disc type and then a button.
void DriveChooser(int pictureId, int button) {
  guitest::RunLater(100, [pictureId, button] {
    HWND chooser = guitest::FindTopWindow("Select Disc Type");
    if (chooser == NULL) return;
    if (pictureId != 0)
      SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(pictureId, STN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(chooser, pictureId)));
    guitest::PostCommand(chooser, button);
  });
}

class StartUpTest : public BurnSettingsTest {
protected:
  DirectXVersion directX{"4.09.00.0904"};
  void TearDown() override {
    guitest::CancelPending();
    FreeMplexLibrary();
    BurnSettingsTest::TearDown();
  }
  int Run(StartApp& app) { return AfxWinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOW); }
};

TEST_F(StartUpTest, ChosenTypeRunsTheMainWindowAndIsKeptForTheNextRun) {
  {
    StartApp app;
    DriveChooser(IDC_DISC_TYPE_SVCD, IDOK);
    Run(app);
    EXPECT_TRUE(app.mainWindowRan);
    EXPECT_EQ(app.discTypeAtMain, 1);
    EXPECT_STREQ(app.titleAtMain, "Zephon SVCD Burner ");
    EXPECT_EQ(app.skinStarted, 0);  // ended at exit
  }
  EXPECT_EQ(IniValue("Pelzor", "DiscType"), "1");

  // The next run opens the chooser with SVCD marked; OK keeps it.
  g_burnSettings.Reset();
  StartApp again;
  bool svcdMarked = false;
  guitest::RunLater(100, [&] {
    HWND chooser = guitest::FindTopWindow("Select Disc Type");
    if (chooser == NULL) return;
    HBITMAP chosen = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(chooser, IDC_DISC_TYPE_SVCD, STM_GETIMAGE, IMAGE_BITMAP, 0));
    HBITMAP other = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(chooser, IDC_DISC_TYPE_DVD, STM_GETIMAGE, IMAGE_BITMAP, 0));
    svcdMarked = chosen != NULL && chosen != other;
    guitest::SaveScreenshot(chooser, "burner_disc_type_chooser");
    guitest::PostCommand(chooser, IDOK);
  });
  Run(again);
  EXPECT_TRUE(svcdMarked);
  EXPECT_EQ(again.discTypeAtMain, 1);
}

TEST_F(StartUpTest, CancelEndsWithoutTheMainWindowButSavesTheSettings) {
  standin_test::WriteText(IniPath(), "[Pelzor]\r\nOutputFolder=D:\\kept\\\r\nDiscType=0\r\n");
  StartApp app;
  DriveChooser(IDC_DISC_TYPE_DVD, IDCANCEL);
  Run(app);
  EXPECT_FALSE(app.mainWindowRan);
  // The type clicked before Cancel is not kept; the program saves what it
  // read at exit, as it always does.
  EXPECT_EQ(IniValue("Pelzor", "DiscType"), "0");
  EXPECT_EQ(IniValue("Pelzor", "OutputFolder"), "D:\\kept\\");
  EXPECT_EQ(IniValue("Pelzor", "AspectRatio"), "0");
}

TEST_F(StartUpTest, OldDirectXAndMissingMultiplexerEndBeforeAnyWindowAndWriteNothing) {
  standin_test::WriteText(IniPath(), "[Pelzor]\r\nOutputFolder=D:\\kept\\\r\n");
  {
    DirectXVersion old("4.07.00.0700");
    CMessageBoxScript boxes;
    StartApp app;
    Run(app);
    EXPECT_FALSE(app.mainWindowRan);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_STREQ(boxes.LastText(), "This program needs directX 8.0 or greater to run!   ");
  }
  {
    // The multiplexer library is looked for beside the program; hide it.
    std::string dll = ProgramFolder() + "muxTools.dll";
    std::string hidden = ProgramFolder() + "muxTools.dll.hidden";
    ASSERT_TRUE(MoveFileA(dll.c_str(), hidden.c_str()));
    CMessageBoxScript boxes;
    StartApp app;
    Run(app);
    MoveFileA(hidden.c_str(), dll.c_str());
    EXPECT_FALSE(app.mainWindowRan);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_STREQ(boxes.LastText(), "Can't load mplex DLL!");
  }
  // Settings never read are never written over the file.
  EXPECT_EQ(IniValue("Pelzor", "OutputFolder"), "D:\\kept\\");
  EXPECT_EQ(IniValue("Pelzor", "DiscType"), "<none>");
}

}  // namespace
