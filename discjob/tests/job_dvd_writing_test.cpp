// DVD writing through the DvdScribe stand-in on virtual drives, as the job
// dialogs use it: the writer table and its list texts, the check of the
// inserted disc with its refusals and ejects, the erase worker and the burn
// worker (messages 1834 and 1835 to a window), a VIDEO_TS folder found in
// the disc folder's subfolder, refusals of the burn, and the cancel of a
// running write.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discjob/job_dvd_writer.h"
#include "discimage/tests/test_paths.h"
#include "mfc/mfc.h"
#include "standins/calls/dvdscribe_calls.h"
#include "standins/tests/win_test_util.h"
#include "testing/gui/gui_test.h"

using namespace standin_test;

namespace {

// Drives in list order; the table keeps the DVD writers only: F G H K M.
const char kDrives[] =
    "[drives]\r\nletters=EFGHKLM\r\n"
    "[E]\r\nvendor=QUORBEL\r\nproduct=CD Writer\r\nwrites=cd\r\nmedium=CD-R\r\nblank=1\r\n"
    "[F]\r\nvendor=QUORBEL\r\nproduct=Blank DVD-R\r\nwrites=cd,dvd\r\nmedium=DVD-R\r\nblank=1\r\n"
    "[G]\r\nvendor=QUORBEL\r\nproduct=Used DVD-RW\r\nwrites=dvd\r\nmedium=DVD-RW\r\nblank=0\r\nused=5000\r\n"
    "[H]\r\nvendor=QUORBEL\r\nproduct=Used DVD+R\r\nwrites=dvd\r\nmedium=DVD+R\r\nblank=0\r\nused=5000\r\n"
    "[K]\r\nvendor=QUORBEL\r\nproduct=CD in DVD\r\nwrites=cd,dvd\r\nmedium=CD-R\r\nblank=1\r\n"
    "[L]\r\nvendor=QUORBEL\r\nproduct=Reader\r\nwrites=\r\nmedium=DVD-ROM\r\n"
    "[M]\r\nvendor=QUORBEL\r\nproduct=Empty\r\nwrites=dvd\r\nmedium=none\r\n";

enum { kF, kG, kH, kK, kM };  // table indexes

// What the workers posted.
std::vector<std::pair<UINT, WPARAM>> g_posted;
std::vector<int> g_percents;

LRESULT CALLBACK WorkerWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kDvdEraseMessage || message == kDvdBurnMessage) {
    g_posted.push_back({message, wParam});
    if (message == kDvdBurnMessage && wParam == kDvdBurnPercent) g_percents.push_back(static_cast<int>(lParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool Posted(UINT message, WPARAM code) {
  for (const auto& p : g_posted)
    if (p.first == message && p.second == code) return true;
  return false;
}

std::vector<WPARAM> Codes(UINT message) {
  std::vector<WPARAM> codes;
  for (const auto& p : g_posted)
    if (p.first == message && !(message == kDvdBurnMessage && p.second == kDvdBurnPercent)) codes.push_back(p.second);
  return codes;
}

class DvdWriting : public ::testing::Test {
protected:
  static void SetUpTestSuite() { ASSERT_TRUE(DvdScribe().Load(HostPath(QUORBEL_DVDSCRIBE_DLL).c_str())); }
  void SetUp() override {
    UseOwnDrives(kDrives);
    g_posted.clear();
    g_percents.clear();
    ASSERT_EQ(0, FindDevice());
    window = guitest::CreateReceiverWindow("JobDvdWorkerWindow", WorkerWindow);
  }
  void TearDown() override { DestroyWindow(window); }
  std::string Ejects(const char* letter) { return IniValue(letter, "ejects"); }
  // A VIDEO_TS folder as the authoring leaves it: disc folder\VIDEO_TS\.
  std::string MakeDiscFolder(const std::string& name, std::vector<std::string> files, size_t size = 70000) {
    std::string disc = CurrentFolder() + name + "\\";
    CreateDirectoryA(disc.c_str(), NULL);
    CreateDirectoryA((disc + "VIDEO_TS").c_str(), NULL);
    uint32_t seed = 1;
    for (const std::string& file : files) WriteBytes(disc + "VIDEO_TS\\" + file, Pattern(size, seed++));
    return disc;
  }
  bool Burn(int index, const std::string& folder) {
    if (!StartDvdBurnThread(window, folder.c_str(), "MY DVD", index)) return false;
    return WaitFor([] { return Posted(kDvdBurnMessage, kDvdBurnDone) || Posted(kDvdBurnMessage, kDvdBurnFailed); });
  }
  HWND window = NULL;
  CMessageBoxScript boxes;
};

const std::vector<std::string> kVideoTs = {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB",
                                           "VTS_01_2.VOB", "VTS_01_0.BUP"};

TEST_F(DvdWriting, TableHoldsTheDvdWritersWithTheirTexts) {
  ASSERT_EQ(5, DvdWriters().count);
  EXPECT_STREQ("F:", DvdWriters().entries[kF].driveName);
  EXPECT_EQ(1, DvdWriters().entries[kF].writesDvd);
  EXPECT_EQ(2, DvdWriters().entries[kG].target);  // G is the library's third drive
  EXPECT_EQ("F: QUORBEL Blank DVD-R", DvdWriterText(kF));
  EXPECT_EQ("", DvdWriterText(5));
  EXPECT_EQ(0, boxes.Count());
}

TEST_F(DvdWriting, InsertedDiscChecks) {
  struct Case {
    int index;
    const char* letter;
    InsertedDisc disc;
    const char* box;  // NULL: none, and the disc stays in
  } cases[] = {
      {kF, "F", {1, 0, 1}, nullptr},
      {kG, "G", {1, 1, 0}, nullptr},
      {kH, "H", {0, 0, 0},
       "The inserted disc is not a empty dvd disc. Please insert a blank disc into the driver."},
      {kK, "K", {0, 0, 1},
       "The inserted disc is not a writable dvd disc. Please insert a writable dvd disc into the driver."},
      {kM, "M", {0, 0, 0}, "No disc in the writer. Please insert a writable dvd disc into the driver."},
  };
  for (const Case& c : cases) {
    int count = boxes.Count();
    std::string ejects = Ejects(c.letter);
    InsertedDisc disc = GetInsertedDiscInfo(c.index);
    EXPECT_EQ(c.disc.writable, disc.writable) << c.letter;
    if (c.disc.writable) {
      EXPECT_EQ(c.disc.erasable, disc.erasable) << c.letter;
      EXPECT_EQ(c.disc.blank, disc.blank) << c.letter;
    }
    if (c.box == nullptr) {
      EXPECT_EQ(count, boxes.Count()) << c.letter;
      EXPECT_EQ(ejects, Ejects(c.letter)) << c.letter;
    } else {
      EXPECT_EQ(c.box, std::string(boxes.LastText())) << c.letter;
      EXPECT_NE(ejects, Ejects(c.letter)) << c.letter;
    }
  }
  // No writer selected.
  EXPECT_EQ(0, GetInsertedDiscInfo(-1).writable);
  EXPECT_EQ(0, boxes.LastText().Find("Start DVD Burner Engine failed! \n\nGetInsertedDiscInfo: Create() failed"));
}

TEST_F(DvdWriting, BurnsTheVideoTsFolderFromItsSubfolder) {
  std::string disc = MakeDiscFolder("burn", kVideoTs);
  ASSERT_TRUE(Burn(kF, disc));
  EXPECT_EQ((std::vector<WPARAM>{kDvdBurnPreparing, kDvdBurnStarted, kDvdBurnFinalizing, kDvdBurnDone}),
            Codes(kDvdBurnMessage));
  ASSERT_FALSE(g_percents.empty());
  for (size_t i = 1; i < g_percents.size(); ++i) EXPECT_LT(g_percents[i - 1], g_percents[i]);  // each once
  EXPECT_EQ(100, g_percents.back());
  EXPECT_EQ(0, boxes.Count());
  for (const std::string& file : kVideoTs)
    EXPECT_EQ(ReadBytes(disc + "VIDEO_TS\\" + file), ReadBytes(CurrentFolder() + "discs\\F\\VIDEO_TS\\" + file))
        << file;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((CurrentFolder() + "discs\\F\\AUDIO_TS").c_str()));
  EXPECT_EQ("MY DVD", IniValue("F", "label"));
  EXPECT_EQ("1", Ejects("F"));
}

TEST_F(DvdWriting, BurnRefusals) {
  struct Case {
    const char* name;
    int index;
    const char* letter;
    std::vector<std::string> files;
    const char* box;  // its beginning
    bool ejected;
  } cases[] = {
      {"nopart1", kF, "F", {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_2.VOB"},
       "Could not find file ", false},
      {"used", kG, "G", kVideoTs,
       "The inserted disc is not a empty dvd disc. Please insert a blank disc into the driver.", true},
      {"cd", kK, "K", kVideoTs,
       "The inserted disc is not a writable dvd disc. Please insert a writable dvd disc into the driver.", true},
      {"nodisc", kM, "M", kVideoTs, "No disc in the writer,please check if a disc in the writer.", true},
  };
  for (const Case& c : cases) {
    g_posted.clear();
    std::string ejects = Ejects(c.letter);
    ASSERT_TRUE(Burn(c.index, MakeDiscFolder(c.name, c.files))) << c.name;
    EXPECT_EQ((std::vector<WPARAM>{kDvdBurnPreparing, kDvdBurnFailed}), Codes(kDvdBurnMessage)) << c.name;
    EXPECT_EQ(0, boxes.LastText().Find(c.box)) << c.name << ": " << boxes.LastText();
    // The disc goes out after the failure is posted and shown.
    if (c.ejected) {
      EXPECT_TRUE(WaitFor([&] { return ejects != Ejects(c.letter); }, 5000)) << c.name;
    } else {
      EXPECT_FALSE(WaitFor([&] { return ejects != Ejects(c.letter); }, 300)) << c.name;
    }
  }
  // The missing part is named with the folder the second attempt used.
  EXPECT_EQ(0, boxes.Boxes()[0].text.Find("Could not find file "));
  EXPECT_LT(0, boxes.Boxes()[0].text.Find("\\nopart1\\VIDEO_TS\\vts_01_1.vob"));
}

TEST_F(DvdWriting, CancelOfARunningWriteIsSilent) {
  std::string slow = kDrives;
  slow.replace(slow.find("product=Blank DVD-R\r\n"), 21, "product=Blank DVD-R\r\nspeed=400\r\n");
  UseOwnDrives(slow);
  // 2 MB at 400 kB/s: about five seconds of writing to cancel.
  std::string disc = MakeDiscFolder("slow", kVideoTs, 350000);
  ASSERT_TRUE(StartDvdBurnThread(window, disc.c_str(), "SLOW", kF));
  ASSERT_TRUE(WaitFor([] { return !g_percents.empty(); }));
  AbortDvdBurn();
  ASSERT_TRUE(WaitFor([] { return Posted(kDvdBurnMessage, kDvdBurnFailed); }));
  EXPECT_FALSE(Posted(kDvdBurnMessage, kDvdBurnDone));
  EXPECT_EQ(0, boxes.Count());
}

TEST_F(DvdWriting, EraseWorker) {
  // G's disc holds something.
  CreateDirectoryA((CurrentFolder() + "discs").c_str(), NULL);
  CreateDirectoryA((CurrentFolder() + "discs\\G").c_str(), NULL);
  WriteBytes(CurrentFolder() + "discs\\G\\OLD.DAT", Pattern(5000, 9));
  ASSERT_TRUE(StartEraseThread(window, kG));
  ASSERT_TRUE(WaitFor([] { return Posted(kDvdEraseMessage, kDvdEraseDone) || Posted(kDvdEraseMessage, kDvdEraseFailed); }));
  EXPECT_EQ((std::vector<WPARAM>{kDvdEraseStarted, kDvdEraseDone}), Codes(kDvdEraseMessage));
  EXPECT_EQ("1", IniValue("G", "blank"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((CurrentFolder() + "discs\\G\\OLD.DAT").c_str()));
  EXPECT_EQ(0, boxes.Count()) << boxes.LastText();

  // A DVD-R cannot be erased: the box, then the disc goes out.
  g_posted.clear();
  std::string ejects = Ejects("F");
  ASSERT_TRUE(StartEraseThread(window, kF));
  ASSERT_TRUE(WaitFor([] { return Posted(kDvdEraseMessage, kDvdEraseFailed); }));
  // The disc goes out after the box.
  EXPECT_TRUE(WaitFor([&] { return ejects != Ejects("F"); }, 5000));
  EXPECT_EQ((std::vector<WPARAM>{kDvdEraseStarted, kDvdEraseFailed}), Codes(kDvdEraseMessage));
  EXPECT_EQ(0, boxes.LastText().Find("Erase DVD disc failed!\n\nBlank: Erase() failed, exception 5, status 48"));
}

// A failing burn is done with its drive before it says so: its box, owned
// by the dialog's window (no second Burn while it is open), comes after the
// eject, and the failure is reported after the box.
TEST_F(DvdWriting, FailingBurnEjectsBeforeItsBoxAndReportsAfterIt) {
  std::string disc = MakeDiscFolder("failing_burn", kVideoTs);
  std::string ejectsAtBox;
  HWND owner = NULL;
  bool reportedAtBox = true;
  boxes.OnBox([&](const CMessageBoxScript::Box& box) {
    ejectsAtBox = Ejects("H");
    owner = box.owner;
    // The dialog's thread gets a moment to take a report already posted.
    Sleep(300);
    reportedAtBox = Posted(kDvdBurnMessage, kDvdBurnFailed);
  });
  ASSERT_TRUE(Burn(kH, disc));
  EXPECT_EQ("1", ejectsAtBox);
  EXPECT_EQ(window, owner);
  EXPECT_FALSE(reportedAtBox);
  EXPECT_EQ("The inserted disc is not a empty dvd disc. Please insert a blank disc into the driver.",
            std::string(boxes.LastText()));
}

}  // namespace
