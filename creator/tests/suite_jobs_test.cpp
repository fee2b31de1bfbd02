// The suite's main road as a user walks it, in a Wine prefix made like an
// installed suite (scripts/make-suite-prefix.sh): an H.264/AAC MP4 and an
// MPEG-4/MP3 AVI, as ffmpeg makes them, are added through the file dialog
// of Vantrel.exe and made into a VCD image, an SVCD image and a VIDEO_TS
// (burned onto the prefix's virtual writers), and of Skarven.exe and
// converted into disc MPEG files. The VCD job also takes a phone's MP4
// stored turned (a display rotation) and a Matroska file whose sound has a
// hole. What the programs made is handed over to
// the folder QUORBEL_SUITE_JOBS_OUT (CD images, converted files) and to
// the VIDEO_TS check, and read natively after this test by bchunk,
// iso-info, lsdvd and ffprobe (check-suite-jobs.sh, check-video-ts.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "creator/res/creator_resource.h"
#include "discimage/tests/test_paths.h"
#include "standins/tests/video_ts_check.h"
#include "testing/gui/gui_test.h"
#include "testing/programs/program_test_support.h"

namespace {

namespace fs = std::filesystem;
using program_test::ChooseInFileDialog;
using program_test::WaitForProcessWindow;
using program_test::WaitForText;
using program_test::WindowText;

const char kProgramFolder[] = "C:\\Program Files\\Quorbel\\";
// Where both programs put their work unless told otherwise.
const char kCreatorOutput[] = "C:\\Quorbel\\";
const char kConverterOutput[] = "C:\\Quorbel\\MpegOutput\\";

// Skarven's controls (its resource header shares names with Vantrel's).
const int kSkarvenDiscVcd = 1047, kSkarvenAdd = 1000, kSkarvenConvert = 1002, kSkarvenCount = 1027,
          kSkarvenAction = 1043, kSkarvenLog = 1038;

// A job's whole run of conversions, builds and burns, under Wine.
const DWORD kJobMs = 240000;

std::string Source(const char* name) { return FixtureIn("QUORBEL_CONVCTL_FIXTURES", name); }
std::string Kind(const char* name) { return FixtureIn("QUORBEL_CONVCTL_KINDS", name); }

std::string Sources(int n) { return " Added " + std::to_string(n) + " file(s)"; }

// Presses a button of another process's dialog as its click does.
void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Copies the files of a folder into the handed-over folder under prefix.
std::string HandOver(const std::string& folder, const std::string& prefix) {
  std::string out = FolderFromEnvironment("QUORBEL_SUITE_JOBS_OUT");
  if (out.empty()) return "QUORBEL_SUITE_JOBS_OUT is not set";
  std::error_code ec;
  int copied = 0;
  for (fs::directory_iterator file(folder, ec), end; !ec && file != end; file.increment(ec)) {
    if (!file->is_regular_file()) continue;
    fs::copy_file(file->path(), fs::path(out) / (prefix + file->path().filename().string()),
                  fs::copy_options::overwrite_existing, ec);
    ++copied;
  }
  if (ec) return "cannot hand " + folder + " over: " + ec.message();
  return copied > 0 ? "" : "nothing in " + folder;
}

// Adds the sources (by default the MP4 and then the AVI) through the list
// window's Add button and file dialog; false (a failure reported) once one
// is not taken, when the program is left to be ended rather than waited on
// behind its refusal.
bool AddSources(DWORD process, HWND main, int addButton, int countText,
                const std::vector<std::string>& sources = {Source("job.mp4"), Source("job.avi")}) {
  for (size_t i = 0; i < sources.size(); ++i) {
    Click(main, addButton);
    ChooseInFileDialog(process, sources[i]);
    if (!WaitForText(GetDlgItem(main, countText), Sources(static_cast<int>(i) + 1))) {
      ADD_FAILURE() << sources[i] << " is not taken: " << WindowText(GetDlgItem(main, countText));
      return false;
    }
  }
  return true;
}

class SuiteJobsTest : public ::testing::Test {
protected:
  // Nothing an earlier run handed over may pass for this run's work.
  static void SetUpTestSuite() {
    std::string out = FolderFromEnvironment("QUORBEL_SUITE_JOBS_OUT");
    std::error_code ec;
    if (!out.empty())
      for (fs::directory_iterator file(out, ec), end; !ec && file != end; file.increment(ec))
        fs::remove_all(file->path(), ec);
  }
  void SetUp() override {
    if (GetFileAttributesA((std::string(kProgramFolder) + "Vantrel.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "not in a suite prefix";
    if (Source("job.mp4").empty()) GTEST_SKIP() << "conversion fixtures not made";
  }
  void TearDown() override { guitest::CancelPending(); }
};

// Vantrel: the disc type chosen, the sources added through the file
// dialog and probed, Run, Start; the job converts, builds and burns. The
// disc folder the job made is returned.
std::string CreatorJob(int discTypeId, const char* title, const char* label, const char* shot,
                       const std::vector<std::string>& sources = {Source("job.mp4"), Source("job.avi")}) {
  program_test::ProgramProcess program;
  EXPECT_TRUE(program.Start(std::string(kProgramFolder) + "Vantrel.exe", kProgramFolder));
  HWND chooser = WaitForProcessWindow(program.Id(), "Select Disc Type");
  if (chooser == NULL) {
    ADD_FAILURE() << "no disc-type chooser";
    return "";
  }
  Click(chooser, discTypeId);
  PostMessageA(chooser, WM_COMMAND, IDOK, 0);
  HWND main = WaitForProcessWindow(program.Id(), title);
  if (main == NULL) {
    ADD_FAILURE() << "no " << title;
    return "";
  }
  if (!AddSources(program.Id(), main, IDC_MAIN_ADD, IDC_MAIN_FILE_COUNT, sources)) return "";
  Sleep(300);
  if (shot != NULL) guitest::SaveScreenshot(main, shot);

  Click(main, IDC_MAIN_RUN);
  HWND job = WaitForProcessWindow(program.Id(), "Start Converting and Burning");
  if (job == NULL) {
    ADD_FAILURE() << "no job dialog";
    return "";
  }
  Click(job, IDC_JOB_START);
  bool finished = WaitForText(GetDlgItem(job, IDCANCEL), "Finish", kJobMs);
  EXPECT_TRUE(finished) << "status: " << WindowText(GetDlgItem(job, IDC_JOB_STATUS))
                        << "\nlog: " << WindowText(GetDlgItem(job, IDC_JOB_LOG));
  EXPECT_EQ(std::string::npos, WindowText(GetDlgItem(job, IDC_JOB_LOG)).find("Failed"))
      << WindowText(GetDlgItem(job, IDC_JOB_LOG));
  PostMessageA(job, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 400 && IsWindow(job); ++i) Sleep(25);
  if (IsWindow(main)) PostMessageA(main, WM_CLOSE, 0, 0);
  program.WaitForEnd();
  return finished ? std::string(kCreatorOutput) + label + "\\" : "";
}

// The VCD job takes, besides the MP4 and the AVI, a phone's turned picture
// and sound with a hole: four tracks.
TEST_F(SuiteJobsTest, CreatorMakesAVcdImage) {
  if (Kind("rot90.mp4").empty()) GTEST_SKIP() << "the kinds of files are not made";
  std::string disc = CreatorJob(IDC_DISC_TYPE_VCD, "Zephon VCD Creator", "My VCD", "suite_jobs_vantrel_list",
                                {Source("job.mp4"), Source("job.avi"), Kind("rot90.mp4"), Kind("holed.mkv")});
  ASSERT_FALSE(disc.empty());
  EXPECT_EQ("", HandOver(disc, "vcd-"));
}

TEST_F(SuiteJobsTest, CreatorMakesAnSvcdImage) {
  std::string disc = CreatorJob(IDC_DISC_TYPE_SVCD, "Zephon SVCD Creator", "My SVCD", NULL);
  ASSERT_FALSE(disc.empty());
  EXPECT_EQ("", HandOver(disc, "svcd-"));
}

TEST_F(SuiteJobsTest, CreatorMakesAVideoTs) {
  std::string disc = CreatorJob(IDC_DISC_TYPE_DVD, "Zephon DVD Creator", "My DVD", NULL);
  ASSERT_FALSE(disc.empty());
  // One chapter for each source: 3 s and 2 s.
  EXPECT_EQ("", CheckVideoTs(disc, "suite-jobs-dvd", 2, 5.0));
}

// Skarven: VCD chosen, both sources added and probed, Start Converting;
// each source becomes one MPEG file in the output folder.
TEST_F(SuiteJobsTest, ConverterMakesVcdFiles) {
  std::error_code ec;
  fs::remove_all(kConverterOutput, ec);
  program_test::ProgramProcess program;
  ASSERT_TRUE(program.Start(std::string(kProgramFolder) + "Skarven.exe", kProgramFolder));
  HWND chooser = WaitForProcessWindow(program.Id(), "Select Disc Type");
  ASSERT_NE(nullptr, chooser);
  Click(chooser, kSkarvenDiscVcd);
  PostMessageA(chooser, WM_COMMAND, IDOK, 0);
  HWND main = WaitForProcessWindow(program.Id(), "Zephon Video to VCD Converter");
  ASSERT_NE(nullptr, main);
  ASSERT_TRUE(AddSources(program.Id(), main, kSkarvenAdd, kSkarvenCount));
  Sleep(300);
  guitest::SaveScreenshot(main, "suite_jobs_skarven_list");

  Click(main, kSkarvenConvert);
  HWND start = WaitForProcessWindow(program.Id(), "Start Converting");
  ASSERT_NE(nullptr, start);
  Click(start, kSkarvenAction);
  EXPECT_TRUE(WaitForText(GetDlgItem(start, kSkarvenAction), "Open", kJobMs))
      << WindowText(GetDlgItem(start, kSkarvenLog));
  std::string log = WindowText(GetDlgItem(start, kSkarvenLog));
  EXPECT_EQ(std::string::npos, log.find("Failed")) << log;
  PostMessageA(start, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 400 && IsWindow(start); ++i) Sleep(25);
  if (IsWindow(main)) PostMessageA(main, WM_CLOSE, 0, 0);
  program.WaitForEnd();
  EXPECT_EQ("", HandOver(kConverterOutput, "converted-"));
}

}  // namespace
