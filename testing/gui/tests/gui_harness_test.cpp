// The harness itself: templates make working dialogs, pumping keeps its
// deadlines, scheduled actions run inside modal loops, captures see what
// was painted and PNG files are well formed.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "testing/gui/gui_test.h"

namespace {

struct DialogState {
  int clicks = 0;
};

INT_PTR CALLBACK CountingDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    return TRUE;
  }
  if (msg == WM_COMMAND) {
    DialogState* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (LOWORD(wParam) == 100) ++state->clicks;
    if (LOWORD(wParam) == IDCANCEL) ::EndDialog(hWnd, 7);
    return TRUE;
  }
  return FALSE;
}

TEST(DialogTemplateTest, BuildsControlsWithIdsTextsAndStyles) {
  guitest::DialogTemplate t("Harness dialog", 10, 10, 160, 80);
  t.Button(100, "Press", 5, 5, 50, 14)
      .Edit(101, 5, 25, 80, 12)
      .Static(102, "Label", 5, 45, 60, 10)
      .Add("BUTTON", 103, "Tick", 90, 5, 60, 12, BS_AUTOCHECKBOX | WS_TABSTOP);
  DialogState state;
  HWND hDlg = ::CreateDialogIndirectParamA(::GetModuleHandleA(NULL), t.Get(), NULL, &CountingDlgProc,
                                           reinterpret_cast<LPARAM>(&state));
  ASSERT_NE(hDlg, (HWND)NULL);
  EXPECT_EQ(guitest::GetText(hDlg), "Harness dialog");
  EXPECT_EQ(guitest::GetText(::GetDlgItem(hDlg, 100)), "Press");
  EXPECT_EQ(guitest::GetText(::GetDlgItem(hDlg, 102)), "Label");
  char cls[32];
  ::GetClassNameA(::GetDlgItem(hDlg, 101), cls, sizeof(cls));
  EXPECT_STRCASEEQ(cls, "Edit");
  EXPECT_TRUE(::GetWindowLongPtrA(::GetDlgItem(hDlg, 103), GWL_STYLE) & BS_AUTOCHECKBOX);

  guitest::Click(::GetDlgItem(hDlg, 100));
  EXPECT_EQ(state.clicks, 1);
  guitest::Click(::GetDlgItem(hDlg, 103));
  EXPECT_EQ(guitest::GetCheck(::GetDlgItem(hDlg, 103)), BST_CHECKED);
  ::DestroyWindow(hDlg);
}

TEST(PumpTest, KeepsItsDeadlineAndReturnsEarlyWhenDone) {
  DWORD start = ::GetTickCount();
  EXPECT_FALSE(guitest::PumpUntil([] { return false; }, 150));
  DWORD waited = ::GetTickCount() - start;
  EXPECT_GE(waited, 140u);
  EXPECT_LT(waited, 2000u);

  start = ::GetTickCount();
  EXPECT_TRUE(guitest::PumpUntil([] { return true; }, 5000));
  EXPECT_LT(::GetTickCount() - start, 1000u);
}

TEST(PumpTest, ScheduledActionsRunInsideModalLoops) {
  guitest::DialogTemplate t("Modal harness dialog", 10, 10, 120, 50);
  t.Button(IDCANCEL, "Cancel", 5, 5, 50, 14);
  DialogState state;
  HWND seen = NULL;
  guitest::RunLater(50, [&] {
    seen = guitest::FindTopWindow("Modal harness dialog");
    guitest::PostCommand(seen, IDCANCEL);
  });
  INT_PTR result = ::DialogBoxIndirectParamA(::GetModuleHandleA(NULL), t.Get(), NULL, &CountingDlgProc,
                                             reinterpret_cast<LPARAM>(&state));
  EXPECT_EQ(result, 7);
  EXPECT_NE(seen, (HWND)NULL);
}

TEST(CaptureTest, SeesBackgroundAndPaintedRectangles) {
  HWND hWnd = guitest::CreateTestWindow("Capture window", 40, 40, 120, 80, RGB(200, 30, 40));
  ASSERT_NE(hWnd, (HWND)NULL);
  guitest::PumpFor(100);
  HDC hdc = ::GetDC(hWnd);
  RECT green = {10, 10, 30, 20};
  HBRUSH brush = ::CreateSolidBrush(RGB(0, 160, 0));
  ::FillRect(hdc, &green, brush);
  ::DeleteObject(brush);
  ::ReleaseDC(hWnd, hdc);

  guitest::Capture shot = guitest::Capture::OfWindow(hWnd);
  ASSERT_TRUE(shot.Valid());
  EXPECT_EQ(shot.Width(), 120);
  EXPECT_EQ(shot.Height(), 80);
  EXPECT_EQ(guitest::ColorText(shot.At(60, 60)), guitest::ColorText(RGB(200, 30, 40)));
  EXPECT_EQ(guitest::ColorText(shot.At(15, 15)), guitest::ColorText(RGB(0, 160, 0)));
  EXPECT_EQ(shot.Count(green, RGB(0, 160, 0)), 200);
  EXPECT_EQ(shot.At(120, 0), CLR_INVALID);

  // Printing asks the window to paint itself: the background it erases.
  guitest::Capture printed = guitest::Capture::Printed(hWnd);
  ASSERT_TRUE(printed.Valid());
  EXPECT_EQ(guitest::ColorText(printed.At(60, 60)), guitest::ColorText(RGB(200, 30, 40)));
  EXPECT_FALSE(guitest::SaveScreenshot(hWnd, "harness_capture_window").empty());
  ::DestroyWindow(hWnd);
}

uint32_t ReadBE32(const std::vector<unsigned char>& d, size_t at) {
  return (uint32_t(d[at]) << 24) | (uint32_t(d[at + 1]) << 16) | (uint32_t(d[at + 2]) << 8) | d[at + 3];
}

TEST(PngTest, WritesChunksWithValidChecksumsAndTheGivenSize) {
  std::vector<uint32_t> pixels(70 * 1000);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  ASSERT_TRUE(guitest::WritePng("harness.png", 70, 1000, pixels.data()));  // > 64 KiB: several blocks
  FILE* f = std::fopen("harness.png", "rb");
  ASSERT_NE(f, nullptr);
  std::vector<unsigned char> data;
  int c;
  while ((c = std::fgetc(f)) != EOF) data.push_back(static_cast<unsigned char>(c));
  std::fclose(f);
  ASSERT_GT(data.size(), 33u);
  EXPECT_EQ(data[1], 'P');
  EXPECT_EQ(ReadBE32(data, 16), 70u);
  EXPECT_EQ(ReadBE32(data, 20), 1000u);
  // Walk the chunks: each length stays inside the file, IEND closes it.
  size_t at = 8;
  std::string last;
  while (at + 12 <= data.size()) {
    uint32_t length = ReadBE32(data, at);
    ASSERT_LE(at + 12 + length, data.size());
    last.assign(reinterpret_cast<const char*>(&data[at + 4]), 4);
    at += 12 + length;
  }
  EXPECT_EQ(at, data.size());
  EXPECT_EQ(last, "IEND");
}

}  // namespace

namespace {

TEST(CaptureTest, ScreenCaptureSeesWindowContent) {
  // Away from the corner where the other tests put their windows, and on
  // top: programs started by tests that do not share the display lock
  // may still show windows.
  HWND hWnd = guitest::CreateTestWindow("Screen capture window", 1100, 880, 100, 60, RGB(10, 20, 200));
  ASSERT_NE(hWnd, (HWND)NULL);
  ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  guitest::PumpFor(100);
  guitest::Capture screen = guitest::Capture::OfScreen(guitest::ClientRectOnScreen(hWnd));
  ASSERT_TRUE(screen.Valid());
  EXPECT_EQ(guitest::ColorText(screen.At(50, 30)), guitest::ColorText(RGB(10, 20, 200)));
  EXPECT_FALSE(guitest::SaveScreenScreenshot("harness_screen").empty());
  ::DestroyWindow(hWnd);
}

}  // namespace

namespace {

// The test prefix has Wine's own Marlett, the font of the system's caption
// buttons: without it screenshots show their letters ("0 1 r").
TEST(PrefixTest, HasTheCaptionButtonFont) {
  HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett");
  HDC dc = GetDC(NULL);
  HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = "";
  GetTextFaceA(dc, sizeof face, face);
  SelectObject(dc, old);
  ReleaseDC(NULL, dc);
  DeleteObject(font);
  EXPECT_STREQ("Marlett", face);
}

TEST(DialogTemplateTest, ResourceIdTextsAndPostedClicks) {
  // An icon static named by an ordinal: OIC_INFORMATION is not in this
  // program, so the static stays without an image but the template must
  // still parse and create every control after it.
  guitest::DialogTemplate t("Ordinal dialog", 10, 10, 120, 60);
  t.AddWithResource("STATIC", 200, 1, 5, 5, 20, 20, SS_ICON)
      .Button(100, "After", 40, 5, 50, 14);
  DialogState state;
  HWND hDlg = ::CreateDialogIndirectParamA(::GetModuleHandleA(NULL), t.Get(), NULL, &CountingDlgProc,
                                           reinterpret_cast<LPARAM>(&state));
  ASSERT_NE(hDlg, (HWND)NULL);
  EXPECT_NE(::GetDlgItem(hDlg, 200), (HWND)NULL);
  HWND button = ::GetDlgItem(hDlg, 100);
  ASSERT_NE(button, (HWND)NULL);
  EXPECT_EQ(guitest::GetText(button), "After");
  ::ShowWindow(hDlg, SW_SHOW);
  // A posted mouse click on the button reaches the dialog as its command.
  guitest::PostLeftClick(button, 3, 3);
  EXPECT_TRUE(guitest::PumpUntil([&] { return state.clicks == 1; }, 2000));
  ::DestroyWindow(hDlg);
}

}  // namespace
