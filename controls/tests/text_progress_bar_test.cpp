// The text progress bar: it follows the progress messages (position,
// ranges, steps), paints the filled and empty parts at the right place,
// leaves the screen alone with equal bounds, keeps its text with room for
// the terminator, repaints only when the text changes and draws its text
// in one colour over the filled part and another over the rest.
#include <gtest/gtest.h>

#include "controls/tests/control_test_support.h"
#include "controls/text_progress_bar.h"

using controls_test::Hex;

namespace {

const COLORREF kBar = RGB(30, 90, 200);
const COLORREF kBack = RGB(250, 250, 240);

class ProgressDialog : public controls_test::TemplateDialog {
public:
  TextProgressBar bar;
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    bar.SubclassDlgItem(200, this);
    bar.MoveWindow(10, 10, 200, 20);
    bar.SetBarColor(kBar);
    bar.SetBackColor(kBack);
    return TRUE;
  }
};

class TextProgressBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::InitCommonControlsOnce();
    guitest::DialogTemplate t("Text progress", 10, 10, 160, 40);
    t.Add("msctls_progress32", 200, "", 5, 5, 100, 12, 0);
    ASSERT_TRUE(dialog_.Open(t));
    hwnd_ = dialog_.bar.GetSafeHwnd();
  }
  void TearDown() override { dialog_.DestroyWindow(); }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(hwnd_, message, wParam, lParam);
  }
  // Where the filled part ends, read from row 1 (above any text).
  int BarEnd() {
    ::UpdateWindow(hwnd_);
    guitest::Capture shot = guitest::Capture::OfWindow(hwnd_);
    int x = 0;
    while (x < shot.Width() && shot.At(x, 1) == kBar) ++x;
    for (int rest = x; rest < shot.Width(); ++rest) {
      if (shot.At(rest, 1) != kBack) return -1;  // neither part
    }
    return x;
  }

  ProgressDialog dialog_;
  HWND hwnd_ = NULL;
};

TEST_F(TextProgressBarTest, FollowsPositionRangeAndStepMessages) {
  EXPECT_EQ(BarEnd(), 0);
  Send(PBM_SETRANGE32, 0, 200);
  EXPECT_EQ(Send(PBM_SETPOS, 50), 0);  // the previous position
  EXPECT_EQ(dialog_.bar.GetPosition(), 50);
  EXPECT_EQ(dialog_.bar.GetUpper(), 200);
  EXPECT_EQ(BarEnd(), 50);

  EXPECT_EQ(Send(PBM_DELTAPOS, 50), 50);
  EXPECT_EQ(BarEnd(), 100);
  Send(PBM_SETSTEP, 25);
  EXPECT_EQ(dialog_.bar.GetStepSize(), 25);
  Send(PBM_STEPIT);
  EXPECT_EQ(dialog_.bar.GetPosition(), 125);
  EXPECT_EQ(BarEnd(), 125);

  Send(PBM_SETRANGE, 0, MAKELPARAM(0, 500));
  EXPECT_EQ(dialog_.bar.GetUpper(), 500);
  EXPECT_EQ(BarEnd(), 50);  // 125 of 500

  // Beyond the end the control's own rules apply; the bar shows its state.
  Send(PBM_SETPOS, 900);
  EXPECT_EQ(dialog_.bar.GetPosition(), static_cast<int>(Send(PBM_GETPOS)));
  EXPECT_EQ(BarEnd(), 200 * (dialog_.bar.GetPosition() - 0) / 500);
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "text_progress_bar");
}

TEST_F(TextProgressBarTest, EqualBoundsPaintNothing) {
  Send(PBM_SETRANGE32, 10, 10);
  ASSERT_EQ(dialog_.bar.GetLower(), dialog_.bar.GetUpper());
  ::UpdateWindow(hwnd_);
  // Something else on the screen where the bar is...
  HDC dc = ::GetDC(hwnd_);
  RECT all = {0, 0, 200, 20};
  HBRUSH brush = ::CreateSolidBrush(RGB(0, 200, 100));
  ::FillRect(dc, &all, brush);
  ::DeleteObject(brush);
  ::ReleaseDC(hwnd_, dc);
  // ...stays after a repaint.
  ::InvalidateRect(hwnd_, NULL, TRUE);
  ::UpdateWindow(hwnd_);
  guitest::Capture shot = guitest::Capture::OfWindow(hwnd_);
  EXPECT_EQ(shot.Count(all, RGB(0, 200, 100)), 200 * 20);
  EXPECT_FALSE(::GetUpdateRect(hwnd_, NULL, FALSE));
}

TEST_F(TextProgressBarTest, KeepsItsTextAndLeavesRoomForTheTerminator) {
  guitest::SetText(hwnd_, "Converting 50%");
  EXPECT_EQ(guitest::GetText(hwnd_), "Converting 50%");
  EXPECT_EQ(Send(WM_GETTEXTLENGTH), 14);
  char small[5];
  std::memset(small, 'x', sizeof(small));
  EXPECT_EQ(Send(WM_GETTEXT, sizeof(small), reinterpret_cast<LPARAM>(small)), 4);
  EXPECT_STREQ(small, "Conv");
  char none = 'x';
  EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&none)), 0);
  EXPECT_EQ(none, 'x');
  char exact[15];
  EXPECT_EQ(Send(WM_GETTEXT, sizeof(exact), reinterpret_cast<LPARAM>(exact)), 14);
  EXPECT_STREQ(exact, "Converting 50%");
}

TEST_F(TextProgressBarTest, RepaintsOnlyWhenTheTextChanges) {
  guitest::SetText(hwnd_, "Step 1");
  ::UpdateWindow(hwnd_);
  ASSERT_FALSE(::GetUpdateRect(hwnd_, NULL, FALSE));
  guitest::SetText(hwnd_, "Step 1");
  EXPECT_FALSE(::GetUpdateRect(hwnd_, NULL, FALSE));
  guitest::SetText(hwnd_, "Step 2");
  EXPECT_TRUE(::GetUpdateRect(hwnd_, NULL, FALSE));
  ::UpdateWindow(hwnd_);
  ::SendMessageA(hwnd_, WM_SETTEXT, 0, 0);  // no text at all
  EXPECT_TRUE(::GetUpdateRect(hwnd_, NULL, FALSE));
  EXPECT_EQ(dialog_.bar.GetStoredText(), "");
}

// The text's reason to exist: its glyphs take one colour over the filled
// part and the other over the rest, split where the bar ends, whichever
// side the split falls on.
TEST_F(TextProgressBarTest, TextTakesOneColourOverTheBarAndTheOtherOverTheRest) {
  const COLORREF kOverBar = RGB(255, 255, 0), kOverBack = RGB(120, 0, 60);
  dialog_.bar.SetTextColors(kOverBack, kOverBar);
  guitest::SetText(hwnd_, "WWWWWWWWWWWW");
  Send(PBM_SETRANGE32, 0, 100);
  for (int pos : {30, 50, 70}) {
    SCOPED_TRACE(pos);
    Send(PBM_SETPOS, pos);
    ::InvalidateRect(hwnd_, NULL, TRUE);
    const int split = BarEnd();
    ASSERT_EQ(split, 2 * pos);
    guitest::Capture shot = guitest::Capture::OfWindow(hwnd_);
    const RECT bar = {0, 0, split, shot.Height()};
    const RECT rest = {split, 0, shot.Width(), shot.Height()};
    EXPECT_GT(shot.Count(bar, kOverBar), 10);
    EXPECT_EQ(shot.Count(bar, kOverBack), 0);
    EXPECT_GT(shot.Count(rest, kOverBack), 10);
    EXPECT_EQ(shot.Count(rest, kOverBar), 0);
    // A glyph cut by the split: its columns either side are in either colour.
    int nearBar = 0, nearRest = 0;
    for (int y = 0; y < shot.Height(); ++y) {
      nearBar += shot.At(split - 1, y) == kOverBar || shot.At(split - 2, y) == kOverBar;
      nearRest += shot.At(split, y) == kOverBack || shot.At(split + 1, y) == kOverBack;
    }
    EXPECT_GT(nearBar, 0);
    EXPECT_GT(nearRest, 0);
  }
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "text_progress_bar_text");
}

}  // namespace
