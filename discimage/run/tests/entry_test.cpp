// BuildVcdImage with real windows: the parameter checks, texts and records
// arriving under the registered message (same thread and across threads),
// the fault path (result 2), and the export of zrDiscImage.dll.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "discimage/run/build_vcd_image.h"
#include "discimage/tests/capture_window.h"
#include "discimage/run/vcd_frontend.h"
#include "testing/gui/gui_test.h"

namespace {

const char kMessageName[] = "msg_zrDiscImage";

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CaptureWindow* capture = reinterpret_cast<CaptureWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  static UINT registered = RegisterWindowMessageA(kMessageName);
  if (capture != nullptr && msg == registered) {
    capture->Take(msg, static_cast<uintptr_t>(wParam), static_cast<intptr_t>(lParam));
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class EntryTest : public ::testing::Test {
protected:
  void SetUp() override {
    window = guitest::CreateReceiverWindow("QuorbelBuildReceiver", ReceiverProc);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&capture));
    message = RegisterWindowMessageA(kMessageName);
    memset(&params, 0, sizeof params);
    strcpy(params.xmlPath, "C:\\jobs\\vcd.xml");
    strcpy(params.cuePath, "C:\\jobs\\VideoCD.cue");
    strcpy(params.binPath, "C:\\jobs\\VideoCD.bin");
    params.progress = 1;
  }
  void TearDown() override {
    CVcdFrontEnd::SetBuildHookForTests(NULL);
    if (window) DestroyWindow(window);
  }

  HWND window = NULL;
  UINT message = 0;
  CaptureWindow capture;
  VcdBuildParams params;
};

TEST_F(EntryTest, BadParametersReturnMinusOneAndSendNothing) {
  EXPECT_EQ(BuildVcdImage(window, "", &params, NULL), kVcdResultBadParameters);
  EXPECT_EQ(BuildVcdImage(window, NULL, &params, NULL), kVcdResultBadParameters);
  EXPECT_EQ(BuildVcdImage(window, kMessageName, NULL, NULL), kVcdResultBadParameters);
  int result = 0;
  // A fresh thread has no active window.
  std::thread([&] { result = BuildVcdImage(NULL, kMessageName, &params, NULL); }).join();
  EXPECT_EQ(result, kVcdResultBadParameters);
  EXPECT_TRUE(capture.messages.empty());
}

TEST_F(EntryTest, VersionRecordArrivesUnderTheRegisteredMessage) {
  params.versionMode = 1;
  EXPECT_EQ(BuildVcdImage(window, kMessageName, &params, NULL), kVcdResultOk);
  ASSERT_EQ(capture.messages.size(), 1u);
  const CapturedMessage& m = capture.messages[0];
  EXPECT_EQ(m.message, message);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_TRUE(m.isRecord);
  EXPECT_EQ(m.program, "zrDiscBuild");
  EXPECT_EQ(m.about.rfind("zrDiscBuild 6.0.7.10(win32)\n", 0), 0u);
  EXPECT_EQ(m.major + "|" + m.minor + "|" + m.micro + "|" + m.platform, "6.0|7|10|win32");
}

TEST_F(EntryTest, TextsArriveWithALineFeed) {
  params.xmlPath[0] = '\0';
  params.imageType = 5;
  EXPECT_EQ(BuildVcdImage(window, kMessageName, &params, NULL), kVcdResultFailed);
  ASSERT_EQ(capture.messages.size(), 1u);
  EXPECT_EQ(capture.messages[0].wParam, 4u);
  EXPECT_EQ(capture.messages[0].text, "xml input file argument missing\n");
}

void ReportProgressHook(CVcdFrontEnd& frontEnd) {
  VcdScanState scan = {"C:\\jobs\\000.mpg", 12, 1, 1000};
  frontEnd.ReportScanProgress(&scan);
  VcdWriteState write = {"C:\\jobs\\VideoCD.bin", 100, 400, 2, 3};
  frontEnd.ReportWriteProgress(&write);
  frontEnd.Info("cancel=%d", frontEnd.IsCancelled() ? 1 : 0);
}

TEST_F(EntryTest, ProgressRecordsFieldByField) {
  CVcdFrontEnd::SetBuildHookForTests(ReportProgressHook);
  volatile int cancel = 1;
  EXPECT_EQ(BuildVcdImage(window, kMessageName, &params, &cancel), kVcdResultFailed);
  ASSERT_GE(capture.messages.size(), 3u);
  const CapturedMessage& scan = capture.messages[0];
  EXPECT_EQ(scan.wParam, 6u);
  EXPECT_TRUE(scan.isRecord);
  EXPECT_EQ(ProgressFields::Of(scan), (ProgressFields{1, "C:\\jobs\\000.mpg", 1, 1000, 1, 12, 0}));
  EXPECT_EQ(ProgressFields::Of(capture.messages[1]),
            (ProgressFields{2, "C:\\jobs\\VideoCD.bin", 25, 100, 400, 2, 3}));
  EXPECT_EQ(capture.messages[2].text, "cancel=1\n");
}

void FaultingHook(CVcdFrontEnd& frontEnd) {
  frontEnd.Info("before the fault");
  *static_cast<volatile int*>(nullptr) = 1;
  frontEnd.Info("never sent");
}

void ThrowingHook(CVcdFrontEnd&) { throw std::runtime_error("thrown inside the build"); }

TEST_F(EntryTest, FaultInsideTheRunReturns2) {
  CVcdFrontEnd::SetBuildHookForTests(FaultingHook);
  EXPECT_EQ(BuildVcdImage(window, kMessageName, &params, NULL), kVcdResultException);
  EXPECT_EQ(capture.Texts(), std::vector<std::string>{"before the fault\n"});
  CVcdFrontEnd::SetBuildHookForTests(ThrowingHook);
  EXPECT_EQ(BuildVcdImage(window, kMessageName, &params, NULL), kVcdResultException);
  // The thread goes on working normally.
  CVcdFrontEnd::SetBuildHookForTests(NULL);
  params.versionMode = 1;
  EXPECT_EQ(BuildVcdImage(window, kMessageName, &params, NULL), kVcdResultOk);
}

void ManyReportsHook(CVcdFrontEnd& frontEnd) {
  for (int i = 1; i <= 50; ++i) {
    VcdWriteState write = {"VideoCD.bin", i, 50, 1, 1};
    frontEnd.ReportWriteProgress(&write);
  }
}

TEST_F(EntryTest, BuildOnAWorkerThreadWhileTheWindowPumps) {
  CVcdFrontEnd::SetBuildHookForTests(ManyReportsHook);
  volatile LONG done = 0;
  int result = -9;
  std::thread worker([&] {
    result = BuildVcdImage(window, kMessageName, &params, NULL);
    InterlockedExchange(&done, 1);
    PostMessageA(window, WM_NULL, 0, 0);
  });
  MSG msg;
  while (!done && GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  worker.join();
  EXPECT_EQ(result, kVcdResultFailed);  // no project reader in this build
  ASSERT_GE(capture.messages.size(), 50u);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(capture.messages[i].phase, 2);
    EXPECT_EQ(capture.messages[i].sizeOrWritten, static_cast<uint32_t>(i + 1));
    EXPECT_EQ(capture.messages[i].percent, (i + 1) * 2);
  }
}

TEST_F(EntryTest, DllExportsTheEntryUndecorated) {
  std::string path = QUORBEL_DISCIMAGE_DLL_PATH;
  if (!path.empty() && path[0] == '/') {  // the build tree as Wine sees it
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  HMODULE dll = LoadLibraryA(path.c_str());
  ASSERT_NE(dll, nullptr) << path;
  typedef int (*BuildFn)(HWND, const char*, const VcdBuildParams*, const volatile int*);
  BuildFn build = reinterpret_cast<BuildFn>(reinterpret_cast<void*>(GetProcAddress(dll, "BuildVcdImage")));
  ASSERT_NE(build, nullptr);
  params.versionMode = 1;
  EXPECT_EQ(build(window, kMessageName, &params, NULL), kVcdResultOk);
  ASSERT_EQ(capture.messages.size(), 1u);
  EXPECT_EQ(capture.messages[0].program, "zrDiscBuild");
  EXPECT_EQ(build(window, "", &params, NULL), kVcdResultBadParameters);
  FreeLibrary(dll);
}

}  // namespace
