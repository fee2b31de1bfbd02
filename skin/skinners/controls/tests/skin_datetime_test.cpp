// The date-time picker and month calendar skinners under Wine, with the
// test skin given a DateTime object (field 3,14, disabled field 4,14, drop
// buttons 0..2,14) and a MonthCalendar object (background 5,14, previous
// buttons 6..8,14, next buttons 9..11,14): the field and button in their
// cells, the drop-down replaced by the skinner's own calendar popup
// (picking a date keeps the time of day, clicking elsewhere keeps the
// date), no button with DTS_UPDOWN, the calendar's colours from the skin
// and its month buttons pressed while held.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/controls/skin_calendar.h"
#include "skin/skinners/controls/skin_datetime.h"
#include "skin/skinners/tests/freed_object_trap.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

const int kPicker = 10, kCalendar = 11;

using skintest::Cell;
using skintest::CellImage;
using skintest::CellRef;

std::vector<UINT> g_notes;  // WM_NOTIFY codes the dialog heard from the picker
UINT g_destroyOnNote = 0;   // the dialog destroys the picker on this code

void HearPicker(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kPicker && (header->code == UINT(DTN_DROPDOWN) || header->code == UINT(DTN_CLOSEUP))) {
            g_notes.push_back(header->code);
            if (header->code == g_destroyOnNote)
                DestroyWindow(GetDlgItem(dialog, kPicker));
        }
    }
}

// Clicks the given day of March on the popup calendar (found by hit tests).
void ClickMarchDay(HWND popup, int day)
{
    RECT r;
    GetClientRect(popup, &r);
    for (int y = 0; y < r.bottom; y += 2)
        for (int x = 0; x < r.right; x += 2) {
            MCHITTESTINFO hit = {};
            hit.cbSize = 32;
            hit.pt = POINT{x, y};
            SendMessageA(popup, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.uHit == MCHT_CALENDARDATE && hit.st.wDay == day && hit.st.wMonth == 3) {
                PostMessageA(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
                PostMessageA(popup, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
                return;
            }
        }
}

class CalendarSkinners : public skintest::ControlDialogTest {
protected:
    void SetUp() override
    {
        skintest::ControlDialogTest::SetUp();
        g_notes.clear();
        g_destroyOnNote = 0;
        skintest::DialogHook() = &HearPicker;
        std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
        ASSERT_NE(package, nullptr);
        ASSERT_TRUE(skintest::AddCalendarObjects(*package));
        package->ResolveAll();
        ASSERT_TRUE(Install(std::move(package)));
        ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    }
    void MakeDialog(DWORD pickerStyle)
    {
        guitest::DialogTemplate t("Dates", 0, 0, 240, 150);
        t.Add("SysDateTimePick32", kPicker, "", 10, 10, 100, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | pickerStyle)
            .Add("SysMonthCal32", kCalendar, "", 10, 30, 140, 110, WS_CHILD | WS_VISIBLE);
        ASSERT_NE(ControlDialogTest::MakeDialog(t, false), nullptr);
        picker = GetDlgItem(dialog, kPicker);
        calendar = GetDlgItem(dialog, kCalendar);
        Show();
        guitest::PumpFor(50);
    }
    SYSTEMTIME PickerTime()
    {
        SYSTEMTIME st = {};
        SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
        return st;
    }
    // A press on the drop button; the popup's loop runs inside it, so the
    // test acts from a timer that the loop dispatches.
    void DropDownThen(std::function<void(HWND popup)> action)
    {
        RECT client;
        GetClientRect(picker, &client);
        guitest::RunLater(150, [this, action]() {
            HWND popup = reinterpret_cast<HWND>(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0));
            action(popup);
        });
        SendMessageA(picker, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 5, client.bottom / 2));
        SendMessageA(picker, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 5, client.bottom / 2));
    }
    HWND picker = nullptr, calendar = nullptr;
};

TEST_F(CalendarSkinners, PickerFieldAndButtonFromTheirCells)
{
    MakeDialog(0);
    ASSERT_NE(dynamic_cast<SkinDateTime*>(SkinManager::Instance().FindSkinObject(picker)), nullptr);
    EXPECT_EQ(GetWindowLongA(picker, GWL_STYLE) & DTS_APPCANPARSE, 0);
    guitest::SaveScreenshot(dialog, "skinned_datetime");
    guitest::Capture c = guitest::Capture::OfWindow(picker);
    ASSERT_TRUE(c.Valid());
    EXPECT_EQ(c.At(c.Width() - 8, c.Height() / 2), Cell(0, 14)) << "drop button";
    EXPECT_EQ(c.At(1, 1), Cell(3, 14)) << "field";
    EnableWindow(picker, FALSE);
    RedrawWindow(picker, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    c = guitest::Capture::OfWindow(picker);
    EXPECT_EQ(c.At(c.Width() - 8, c.Height() / 2), Cell(2, 14)) << "disabled button";
    EXPECT_EQ(c.At(1, 1), Cell(4, 14)) << "disabled field";
}

TEST_F(CalendarSkinners, AnUpDownPickerHasNoDropButton)
{
    MakeDialog(DTS_UPDOWN);
    guitest::Capture c = guitest::Capture::OfWindow(picker);
    ASSERT_TRUE(c.Valid());
    // The up-down control covers the right end; no button cell shows there.
    EXPECT_NE(c.At(c.Width() - 8, c.Height() / 2), Cell(0, 14));
}

TEST_F(CalendarSkinners, PickingADateKeepsTheTimeOfDay)
{
    MakeDialog(0);
    SYSTEMTIME start = {};
    start.wYear = 2024;
    start.wMonth = 3;
    start.wDay = 14;
    start.wHour = 9;
    start.wMinute = 41;
    start.wSecond = 7;
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));
    bool sawPopup = false;
    DropDownThen([&](HWND popup) {
        sawPopup = popup != nullptr;
        if (popup)
            ClickMarchDay(popup, 20);
    });
    guitest::PumpFor(100);
    EXPECT_TRUE(sawPopup);
    EXPECT_EQ(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0), 0);
    const SYSTEMTIME now = PickerTime();
    EXPECT_EQ(now.wDay, 20);
    EXPECT_EQ(now.wMonth, 3);
    EXPECT_EQ(now.wHour, 9);
    EXPECT_EQ(now.wMinute, 41);
    ASSERT_EQ(g_notes.size(), 2u);
    EXPECT_EQ(g_notes[0], UINT(DTN_DROPDOWN));
    EXPECT_EQ(g_notes[1], UINT(DTN_CLOSEUP));
}

TEST_F(CalendarSkinners, ClickingElsewhereClosesThePopupAndKeepsTheDate)
{
    MakeDialog(0);
    const SYSTEMTIME before = PickerTime();
    DropDownThen([&](HWND popup) {
        ASSERT_NE(popup, nullptr);
        PostMessageA(calendar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    });
    guitest::PumpFor(100);
    EXPECT_EQ(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0), 0);
    const SYSTEMTIME after = PickerTime();
    EXPECT_EQ(after.wDay, before.wDay);
    EXPECT_EQ(after.wMonth, before.wMonth);
    ASSERT_EQ(g_notes.size(), 1u);  // no close-up notification
    EXPECT_EQ(g_notes[0], UINT(DTN_DROPDOWN));
}

// The popup's loop runs inside the picker's skinner: whatever it
// dispatches may destroy the picker and delete the skinner with it.
TEST_F(CalendarSkinners, APickerDestroyedWhileItsCalendarIsOpenLeavesNothingBehind)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinDateTime));
    enum How { kPickerByTimer, kDialogByTimer, kOnDropDown, kOnCloseUp };
    struct Case {
        const char* name;
        How how;
    } cases[] = {
        {"the picker destroyed from a timer", kPickerByTimer},
        {"the whole dialog destroyed from a timer", kDialogByTimer},
        {"the parent destroying it on DTN_DROPDOWN", kOnDropDown},
        {"the parent destroying it on DTN_CLOSEUP", kOnCloseUp},
    };
    for (const Case& c : cases) {
        MakeDialog(0);
        SYSTEMTIME start = {};
        start.wYear = 2024;
        start.wMonth = 3;
        start.wDay = 14;
        SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&start));
        g_destroyOnNote = c.how == kOnDropDown ? UINT(DTN_DROPDOWN) : c.how == kOnCloseUp ? UINT(DTN_CLOSEUP) : 0;
        const int touches = skintest::TouchesOfFreedBlocks();
        DropDownThen([&](HWND popup) {
            if (c.how == kPickerByTimer)
                DestroyWindow(picker);
            else if (c.how == kDialogByTimer)
                DestroyWindow(dialog);
            else if (popup)
                ClickMarchDay(popup, 20);
        });
        guitest::PumpFor(100);
        EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touches) << c.name << ": the deleted skinner was used";
        EXPECT_FALSE(IsWindow(picker)) << c.name;
        EXPECT_EQ(FindWindowA("SysMonthCal32", "MonthCal32"), nullptr) << c.name << ": the popup stays";
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        dialog = nullptr;
        g_destroyOnNote = 0;
        guitest::CancelPending();
    }
    skintest::TrapFreedBlocksOfSize(0);
}

TEST_F(CalendarSkinners, CalendarColoursAndMonthButtons)
{
    MakeDialog(0);
    auto* skinner = dynamic_cast<SkinMonthCal*>(SkinManager::Instance().FindSkinObject(calendar));
    ASSERT_NE(skinner, nullptr);
    guitest::PumpFor(50);
    EXPECT_EQ(COLORREF(SendMessageA(calendar, MCM_GETCOLOR, MCSC_MONTHBK, 0)), RGB(200, 220, 240));
    const RECT previous = skinner->GetButtonRect(SkinMonthCal::kPrevious);
    const RECT next = skinner->GetButtonRect(SkinMonthCal::kNext);
    ASSERT_FALSE(IsRectEmpty(&previous));
    ASSERT_FALSE(IsRectEmpty(&next));
    RedrawWindow(calendar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    guitest::SaveScreenshot(dialog, "skinned_month_calendar");
    guitest::Capture c = guitest::Capture::OfWindow(calendar);
    const int px = (previous.left + previous.right) / 2, py = (previous.top + previous.bottom) / 2;
    EXPECT_EQ(c.At(px, py), Cell(6, 14));
    EXPECT_EQ(c.At((next.left + next.right) / 2, (next.top + next.bottom) / 2), Cell(9, 14));

    SendMessageA(calendar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px, py));
    EXPECT_EQ(skinner->GetPressed(), SkinMonthCal::kPrevious);
    SendMessageA(calendar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.Width() / 2, c.Height() / 2));
    EXPECT_EQ(skinner->GetPressed(), SkinMonthCal::kNone);
    SendMessageA(calendar, WM_LBUTTONUP, 0, MAKELPARAM(c.Width() / 2, c.Height() / 2));
    EXPECT_EQ(skinner->GetPressed(), SkinMonthCal::kNone);
}

}  // namespace
