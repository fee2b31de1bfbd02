// The burn dialog's Wine tests share this harness: the dialog with its
// seams scripted, over a main window holding the test's files, on the
// test's own virtual drives.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "burner/burner_app.h"
#include "burner/burner_rules.h"
#include "burner/start_burn_dialog.h"
#include "burner/tests/burner_test_util.h"
#include "discjob/job_dvd_writer.h"
#include "standins/calls/muxtools_calls.h"
#include "standins/tests/es_fixtures.h"

namespace burner_test {

using standin_test::CurrentFolder;

// The burn dialog with its step visible to the test; it can click its own
// action button when the builder first reports progress (the builder waits
// for that message, so the click lands while the image is being built).
class TestBurnDialog : public StartBurnDialog {
public:
  using StartBurnDialog::StartBurnDialog;
  bool clickOnFirstProgress = false;
  CString folderChoice;  // what the folder browser answers ("" cancels)
  int freeMB = -2;       // what the drive has free (-2: ask the system)
  char askedDrive = 0;   // the drive last asked about
  std::string resultText;  // the build's last text (the builder's message, wParam 1)
  std::function<void()> onEraseDone;  // run once as the erase worker's success arrives

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (clickOnFirstProgress && message == m_builderMessage && m_builderMessage != 0 && wParam == 6) {
      clickOnFirstProgress = false;
      SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BURN_ACTION, BN_CLICKED),
                  reinterpret_cast<LPARAM>(GetDlgItem(IDC_BURN_ACTION)->m_hWnd));
    }
    if (message == m_builderMessage && m_builderMessage != 0 && wParam == 1 && lParam != 0)
      resultText = reinterpret_cast<const char*>(lParam);
    if (message == kDvdEraseMessage && wParam == kDvdEraseDone && onEraseDone) {
      std::function<void()> run = onEraseDone;
      onEraseDone = nullptr;
      run();
    }
    return StartBurnDialog::WindowProc(message, wParam, lParam);
  }
  int FreeMegabytes(char drive) override {
    askedDrive = drive;
    return freeMB == -2 ? StartBurnDialog::FreeMegabytes(drive) : freeMB;
  }
  BOOL BrowseForFolder(CString* folder) override {
    if (folderChoice.IsEmpty()) return FALSE;
    *folder = folderChoice;
    return TRUE;
  }
};

class BurnDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::InitCommonControlsOnce();
    DeleteFileA(IniPath().c_str());
    std::error_code ignored;
    std::filesystem::remove_all(CurrentFolder() + "discs", ignored);
    std::filesystem::remove_all(CurrentFolder() + "out", ignored);
  }
  void TearDown() override {
    guitest::CancelPending();
    burn.reset();
    if (main && main->m_hWnd != NULL) main->DestroyWindow();
    main.reset();
    guitest::PumpPending();
    FreeMplexLibrary();
  }
  void OpenMain(int discType, const char* drives) {
    standin_test::UseOwnDrives(drives);
    g_burnSettings.Reset();
    g_burnSettings.discType = discType;
    g_burnSettings.SetOutputFolder((CurrentFolder() + "out\\").c_str());
    SetBurnerTitle(burner::AppTitleFor(discType));
    main.reset(new TestMainDialog);
    ASSERT_TRUE(main->Open());
  }
  void AddScanned(const std::string& path) {
    main->choices.push_back({path});
    main->AddFiles();
    ASSERT_TRUE(guitest::PumpUntil([&] { return !guitest::IsVisible(main->GetScanDialog().m_hWnd); }, 30000));
    guitest::PumpPending();
  }
  void OpenBurn() {
    burn.reset(new TestBurnDialog(main.get()));
    ASSERT_TRUE(burn->Create(IDD_BURNER_BURN, main.get()));
    burn->ShowWindow(SW_SHOW);
    guitest::PumpPending();
  }
  HWND Item(int id) { return ::GetDlgItem(burn->m_hWnd, id); }
  std::string Text(int id) { return guitest::GetText(Item(id)); }
  std::string LogText() { return Text(IDC_BURN_LOG); }
  bool LogHas(const std::string& line) { return LogText().find("  " + line + "\r\n") != std::string::npos; }
  void ClickStart() { guitest::Click(Item(IDC_BURN_ACTION)); }
  bool WaitForLog(const std::string& line, DWORD ms = 60000) {
    return guitest::PumpUntil([&] { return LogHas(line); }, ms);
  }
  std::string DiscFolder(char letter) { return CurrentFolder() + "discs\\" + letter + "\\"; }

  std::unique_ptr<TestMainDialog> main;
  std::unique_ptr<TestBurnDialog> burn;
};

class DvdBurnTest : public BurnDialogTest {
protected:
  // A DVD program stream made from the elementary fixtures by the
  // multiplexer, named as a VOB file.
  std::string MakeVob(const char* name) {
    EXPECT_EQ(kMplexLoaded, LoadMplexLibrary());
    std::string output = CurrentFolder() + name;
    int result = CallMplex(8, EsFixturePath("dvd-pal.m2v").c_str(), EsFixturePath("dvd-pal.mp2").c_str(),
                           output.c_str());
    EXPECT_EQ(result, 0);
    return output;
  }

  // One source for a disc of the type: a scanned VCD clip (0) or a VOB (2).
  void AddSourceFor(int discType) {
    if (discType == 0) {
      AddScanned(CopyFixture(FixturePath("pal-vcd.mpg"), "a.mpg"));
    } else {
      main->choices.push_back({MakeVob("movie.vob")});
      main->AddFiles();
    }
  }
};

}  // namespace burner_test
