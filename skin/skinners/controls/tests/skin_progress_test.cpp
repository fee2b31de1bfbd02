// The progress bar skinner under Wine with the test skin (BACKGROUND cell
// 14,6, PROGRESSIMAGE cell 15,6): it takes the bar's state over and
// answers the progress messages itself (a negative delta may pass the
// minimum, a position may not), paints the filled length, fills vertical
// bars from the bottom, and gives the state back when the skin goes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "skin/core/skin_data_classes.h"
#include "skin/skinners/controls/skin_progress.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

class ProgressBar : public skintest::ControlDialogTest {
protected:
    void Make()
    {
        guitest::DialogTemplate t("Progress", 0, 0, 220, 100);
        t.Add("msctls_progress32", 110, "", 10, 10, 160, 12, 0)
            .Add("msctls_progress32", 111, "", 190, 10, 12, 70, PBS_VERTICAL);
        ASSERT_NE(MakeDialog(t), nullptr);
        progress = SkinnerOf<SkinProgress>(110);
        ASSERT_NE(progress, nullptr);
        ASSERT_TRUE(progress->IsActive());
    }
    SkinProgress* progress = nullptr;
};

TEST_F(ProgressBar, AnswersTheProgressMessagesItself)
{
    Make();
    HWND bar = Item(110);
    EXPECT_EQ(progress->Min(), 0);
    EXPECT_EQ(progress->Max(), 100);
    EXPECT_EQ(progress->Step(), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE32, 10, 60), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10);  // kept in the new range
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 5, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10);  // clamped to the minimum
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 500, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 60);
    EXPECT_EQ(SendMessageA(bar, PBM_DELTAPOS, WPARAM(-70), 0), 60);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), -10);  // below the minimum
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 25, 0), 10);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), -10);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 15);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 40);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 60);  // capped at the maximum
    PBRANGE range = {};
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 10);
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 60);
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 200)), MAKELONG(10, 60));
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 200);
    EXPECT_EQ(SendMessageA(bar, PBM_SETBARCOLOR, 0, RGB(255, 0, 0)), LRESULT(0xFF000000));

    // Half full: the progress image over the left half.
    SendMessageA(bar, PBM_SETPOS, 100, 0);
    guitest::PumpFor(50);
    guitest::SaveScreenshot(dialog, "progress");
    guitest::Capture c = guitest::Capture::OfWindow(bar);
    const int w = c.Width(), mid = c.Height() / 2;
    EXPECT_EQ(c.At(w / 4, mid), Cell(15, 6)) << guitest::ColorText(c.At(w / 4, mid));
    EXPECT_EQ(c.At(3 * w / 4, mid), Cell(14, 6)) << guitest::ColorText(c.At(3 * w / 4, mid));
}

TEST_F(ProgressBar, AVerticalBarFillsFromTheBottom)
{
    Make();
    SendMessageA(Item(111), PBM_SETPOS, 30, 0);
    guitest::PumpFor(50);
    guitest::Capture c = guitest::Capture::OfWindow(Item(111));
    const int h = c.Height(), mid = c.Width() / 2;
    EXPECT_EQ(c.At(mid, h - 3), Cell(15, 6)) << guitest::ColorText(c.At(mid, h - 3));
    EXPECT_EQ(c.At(mid, 3), Cell(14, 6)) << guitest::ColorText(c.At(mid, 3));
}

TEST_F(ProgressBar, TheControlGetsTheStateBackWhenTheSkinGoes)
{
    Make();
    HWND bar = Item(110);
    SendMessageA(bar, PBM_SETRANGE32, 5, 500);
    SendMessageA(bar, PBM_SETPOS, 321, 0);
    SendMessageA(bar, PBM_SETSTEP, 7, 0);
    ASSERT_TRUE(SkinDetachWindow(dialog));
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(bar), nullptr);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 321);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 5);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 500);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 321);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 328);
}

}  // namespace
