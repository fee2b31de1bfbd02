// The disc job dialog (resource 155) under Wine for the tests of its CD and
// DVD ends: a stand-in of the list window holds the sources (list control
// 1007); sources are converted by the stand-in conversion control and
// multiplexed by muxTools.dll, images are built by the real builder, and
// discs are written by the CdScribe and DvdScribe stand-ins on the test's
// own virtual drives (DVDAuthorDLL authors). Every stage the dialog enters
// is recorded; message boxes are scripted.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "creator/job_dialog.h"
#include "creator/res/creator_resource.h"
#include "testing/programs/program_test_support.h"
#include "creator/tests/recording_job_dialog.h"
#include "creator/tests/source_list_window.h"
#include "discimage/tests/test_paths.h"
#include "mfc/mfc.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/calls/dvdauthor_calls.h"
#include "standins/calls/dvdscribe_calls.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/tests/win_test_util.h"
#include "testing/gui/gui_test.h"

namespace job_disc_test {

using namespace standin_test;

// What the library's error boxes said.
inline std::vector<std::string>& EngineErrors() {
  static std::vector<std::string> errors;
  return errors;
}

// Every text the status line was given, however briefly it stood.
inline std::vector<std::string>& StatusTexts() {
  static std::vector<std::string> texts;
  return texts;
}
inline WNDPROC& StatusProc() {
  static WNDPROC proc = NULL;
  return proc;
}
// Told every status text as it is set, on the dialog's thread.
inline std::function<void(const std::string&)>& OnStatus() {
  static std::function<void(const std::string&)> hook;
  return hook;
}
inline LRESULT CALLBACK RecordingStatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT && lParam != 0) {
    StatusTexts().push_back(reinterpret_cast<const char*>(lParam));
    if (OnStatus()) OnStatus()(StatusTexts().back());
  }
  return CallWindowProcA(StatusProc(), window, message, wParam, lParam);
}

class DiscJobTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    SetEnvironmentVariableA("QUORBEL_TRACE_DIR", CurrentFolder().c_str());
    ASSERT_TRUE(program_test::RegisterConversionControl(HostPath(QUORBEL_CONVCTL_DLL)));
    ASSERT_EQ(kMplexLoaded, LoadMplexLibrary(HostPath(QUORBEL_MUXTOOLS_DLL).c_str()));
    ASSERT_TRUE(CdScribe().Load(HostPath(QUORBEL_CDSCRIBE_DLL).c_str()));
    ASSERT_EQ(kCdOk, CdScribe().Initialize(0, "Vantrel", 1));
    ASSERT_TRUE(DvdScribe().Load(HostPath(QUORBEL_DVDSCRIBE_DLL).c_str()));
    ASSERT_TRUE(DvdAuthor().Load(HostPath(QUORBEL_DVDAUTHOR_DLL).c_str()));
  }

  void SetUp() override {
    if (FixturesDir().empty()) GTEST_SKIP() << "QUORBEL_FIXTURES is not set";
    guitest::InitCommonControlsOnce();
    SetBurnEngineErrorBox([](const char* text) { EngineErrors().push_back(text); });
    EngineErrors().clear();
    outFolder = CurrentFolder() + test_support::CurrentTestName() + "\\";
    DeleteFolderTree(outFolder.c_str(), NULL);
    DeleteFolderTree((CurrentFolder() + "discs").c_str(), NULL);
    g_convertSettings = ConvertSettings();
    g_convertSettings.SetOutputFolder(outFolder.c_str());
    ASSERT_TRUE(list.Open());
  }

  void TearDown() override {
    guitest::CancelPending();
    OnStatus() = nullptr;
    Close();
    list.Close();
    SetBurnEngineErrorBox(NULL);
    DeleteFolderTree("C:\\tmpQuorbel\\", NULL);
  }

  void AddSource(const std::string& path, const char* duration) { list.AddSource(path, duration); }

  // Opens dialog 155 for a disc type with the drives given.
  void Open(int discType, const std::string& drives) {
    UseOwnDrives(drives);
    g_convertSettings.discType = discType;
    g_convertSettings.tvType = kTvTypePal;
    road.clear();
    dialog = new RecordingJobDialog(&list);
    dialog->stageObserver = [this](int stage) { road.push_back(stage); };
    ASSERT_TRUE(dialog->Create(DiscJobDialog::IDD, &list));
    StatusTexts().clear();
    StatusProc() = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        Item(IDC_JOB_STATUS), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingStatusProc)));
    dialog->ShowWindow(SW_SHOWNA);
    guitest::PumpPending();
  }

  // Waits for the workers of a running job, then closes the dialog.
  void Close() {
    if (dialog == nullptr) return;
    guitest::PumpUntil([&] { return !Running(); }, 30000);
    if (dialog->GetSafeHwnd() != NULL) {
      dialog->conv.Stop();
      dialog->DestroyWindow();
    }
    delete dialog;
    dialog = nullptr;
  }
  bool Running() const {
    int s = dialog->stage;
    return s == kStageErasing || s == kStageConverting || s == kStageMultiplexing || s == kStageBuildingImage ||
           s == kStageAuthoring || s == kStageBurning || s == kStageFinalizing;
  }

  void ClickStart() { guitest::Click(Item(IDC_JOB_START)); }

  // Pumps until the stage has been entered count times, or a stage that
  // ends a job without it.
  bool WaitForStage(int stage, int count = 1, DWORD ms = 90000) {
    auto times = [&](int s) { return static_cast<int>(std::count(road.begin(), road.end(), s)); };
    guitest::PumpUntil(
        [&] {
          return times(stage) >= count || (stage != kStageConvertFailed && times(kStageConvertFailed) > 0) ||
                 (stage != kStageMuxFailed && times(kStageMuxFailed) > 0) ||
                 (stage != kStageImageFailed && times(kStageImageFailed) > 0) ||
                 (stage != kStageAuthorFailed && times(kStageAuthorFailed) > 0) ||
                 (stage != kStageBurnFailed && times(kStageBurnFailed) >= count);
        },
        ms);
    return times(stage) >= count;
  }

  HWND Item(int id) { return ::GetDlgItem(dialog->GetSafeHwnd(), id); }
  std::string Text(int id) { return guitest::GetText(Item(id)); }
  std::string Log() { return Text(IDC_JOB_LOG); }
  // The log's lines in order, without their times.
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::string log = Log();
    size_t at = 0;
    while (at < log.size()) {
      size_t end = log.find("\r\n", at);
      if (end == std::string::npos) end = log.size();
      std::string line = log.substr(at, end - at);
      lines.push_back(line.size() > 10 ? line.substr(10) : line);
      at = end + 2;
    }
    return lines;
  }
  // True when the lines follow each other in the log (others may stand between).
  bool LogHas(const std::vector<std::string>& expected) {
    std::vector<std::string> lines = LogLines();
    size_t at = 0;
    for (const std::string& line : expected) {
      auto it = std::find(lines.begin() + at, lines.end(), line);
      if (it == lines.end()) return false;
      at = static_cast<size_t>(it - lines.begin()) + 1;
    }
    return true;
  }
  // True when the status line showed a text that begins so.
  static bool StatusShown(const std::string& prefix) {
    for (const std::string& text : StatusTexts())
      if (text.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
  }
  std::string DiscOf(char letter) { return CurrentFolder() + "discs\\" + letter + "\\"; }

  std::string outFolder;
  program_test::SourceListWindow list;
  RecordingJobDialog* dialog = nullptr;
  std::vector<int> road;
  CMessageBoxScript boxes;
};

}  // namespace job_disc_test
