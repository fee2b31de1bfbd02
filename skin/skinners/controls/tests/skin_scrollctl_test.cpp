// The scroll bar control skinner under Wine with the test skin (ScrollBar
// horizontal cells of row 7: normal 0..3, pressed 4..7, highlighted
// 8..11, disabled 12..15; vertical the same in row 8), driven by messages
// and the real cursor: it answers the scroll-bar messages from its own
// copy, paints arrows, track and thumb by state, repeats page presses
// until the thumb reaches the cursor, and reports thumb drags.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/skinners/controls/skin_scrollctl.h"
#include "skin/skinners/tests/freed_object_trap.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

struct Scroll {
    UINT message;
    int code, pos;
};

class ScrollBarControl : public skintest::ControlDialogTest {
protected:
    void SetUp() override
    {
        skintest::ControlDialogTest::SetUp();
        scrolls.clear();
        skintest::DialogHook() = [this](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message != WM_HSCROLL && message != WM_VSCROLL)
                return;
            scrolls.push_back({message, LOWORD(wParam), short(HIWORD(wParam))});
            if (LOWORD(wParam) == destroyOn) {
                destroyOn = -1;
                DestroyWindow(reinterpret_cast<HWND>(lParam));
                return;
            }
            // A message box shown here would take the capture.
            if (captureThief && LOWORD(wParam) == SB_LINEDOWN) {
                SetCapture(captureThief);
                captureThief = nullptr;
            }
            // The program pages as asked.
            HWND bar = reinterpret_cast<HWND>(lParam);
            const int code = LOWORD(wParam);
            const int pos = int(SendMessageA(bar, SBM_GETPOS, 0, 0));
            if (code == SB_PAGEDOWN)
                SendMessageA(bar, SBM_SETPOS, pos + 10, TRUE);
            else if (code == SB_LINEUP)
                SendMessageA(bar, SBM_SETPOS, pos - 1, TRUE);
        };
        guitest::DialogTemplate t("Scroll bars", 0, 0, 220, 120);
        t.Add("SCROLLBAR", 100, "", 10, 10, 160, 10, SBS_HORZ)
            .Add("SCROLLBAR", 101, "", 190, 10, 10, 90, SBS_VERT);
        ASSERT_NE(MakeDialog(t), nullptr);
        bar = SkinnerOf<SkinScrollBarCtrl>(100);
        ASSERT_NE(bar, nullptr);
        ASSERT_TRUE(bar->IsLoaded());
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
        for (int id : {100, 101})
            SendMessageA(Item(id), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
        guitest::PumpFor(30);
    }
    int Count(int code)
    {
        int n = 0;
        for (const Scroll& s : scrolls)
            n += s.code == code;
        return n;
    }
    POINT OnScreen(int id, int x, int y)
    {
        POINT p = {x, y};
        ClientToScreen(Item(id), &p);
        return p;
    }
    std::vector<Scroll> scrolls;
    SkinScrollBarCtrl* bar = nullptr;
    HWND captureThief = nullptr;  // takes the capture at the next SB_LINEDOWN
    int destroyOn = -1;           // the parent destroys the bar at this code
};

TEST_F(ScrollBarControl, AnswersFromItsCopyAndPaintsItsParts)
{
    SCROLLINFO info = {sizeof info, SIF_ALL};
    EXPECT_TRUE(SendMessageA(Item(100), SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.nMax, 99);
    EXPECT_EQ(info.nPage, 10u);
    // The position keeps a whole page in view, as the system keeps it.
    info.fMask = SIF_POS;
    info.nPos = 500;
    EXPECT_EQ(SendMessageA(Item(100), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info)), 90);
    EXPECT_EQ(SendMessageA(Item(100), SBM_GETPOS, 0, 0), 90);
    EXPECT_EQ(SendMessageA(Item(100), SBM_SETPOS, 45, TRUE), 90);
    EXPECT_EQ(GetScrollPos(Item(100), SB_CTL), 45);

    guitest::PumpFor(30);
    EXPECT_EQ(GetFocus(), Item(100));  // the dialog's first control
    const ScrollCtlGeometry g = bar->Geometry();
    EXPECT_EQ(g.arrow, 16);
    guitest::SaveScreenshot(dialog, "scroll_bars");
    const int mid = guitest::Capture::OfWindow(Item(100)).Height() / 2;
    EXPECT_EQ(PixelOf(100, 5, mid), Cell(0, 7)) << guitest::ColorText(PixelOf(100, 5, mid));
    EXPECT_EQ(PixelOf(100, g.length - 5, mid), Cell(1, 7));
    EXPECT_EQ(PixelOf(100, g.thumbStart + g.thumbLength / 2, mid), Cell(3, 7));
    // The track before the thumb, untouched by the system's caret.
    guitest::Capture track = guitest::Capture::OfWindow(Item(100));
    const RECT before = {g.arrow, 1, g.arrow + 20, track.Height() - 1};
    EXPECT_EQ(track.Count(before, Cell(2, 7)), 20 * (track.Height() - 2));
    // The vertical bar draws from the V images.
    EXPECT_EQ(PixelOf(101, 4, 5), Cell(0, 8)) << guitest::ColorText(PixelOf(101, 4, 5));
    EXPECT_EQ(PixelOf(101, 4, -5), Cell(1, 8));

    // Hot and pressed arrows, then the disabled set.
    SendMessageA(Item(100), WM_MOUSEMOVE, 0, MAKELPARAM(5, mid));
    EXPECT_EQ(bar->HotPart(), kScrollCtlArrow1);
    guitest::SaveScreenshot(dialog, "scroll_bars_hot");
    EXPECT_EQ(PixelOf(100, 5, mid), Cell(8, 7));
    SendMessageA(Item(100), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, mid));
    EXPECT_EQ(bar->PressedPart(), kScrollCtlArrow1);
    EXPECT_EQ(PixelOf(100, 5, mid), Cell(4, 7));
    EXPECT_EQ(Count(SB_LINEUP), 1);
    SendMessageA(Item(100), WM_LBUTTONUP, 0, MAKELPARAM(5, mid));
    EXPECT_EQ(Count(SB_ENDSCROLL), 1);
    EnableWindow(Item(100), FALSE);
    EXPECT_EQ(PixelOf(100, 5, mid), Cell(12, 7));
    EXPECT_EQ(PixelOf(100, g.length - 5, mid), Cell(13, 7));
}

TEST_F(ScrollBarControl, APageAreaHeldRepeatsUntilTheThumbReachesTheCursor)
{
    const ScrollCtlGeometry g = bar->Geometry();
    const int mid = guitest::Capture::OfWindow(Item(100)).Height() / 2;
    const int x = g.length - g.arrow - 20;  // well after the thumb
    const POINT cursor = OnScreen(100, x, mid);
    SetCursorPos(cursor.x, cursor.y);
    SendMessageA(Item(100), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, mid));
    EXPECT_EQ(Count(SB_PAGEDOWN), 1);  // at once
    guitest::PumpFor(800);
    EXPECT_GT(Count(SB_PAGEDOWN), 2);
    const ScrollCtlGeometry now = bar->Geometry();
    EXPECT_LE(now.thumbStart, x);
    EXPECT_GT(now.thumbStart + now.thumbLength, x);
    const int pages = Count(SB_PAGEDOWN);
    guitest::PumpFor(200);
    EXPECT_EQ(Count(SB_PAGEDOWN), pages);  // stopped there
    SendMessageA(Item(100), WM_LBUTTONUP, 0, MAKELPARAM(x, mid));
    EXPECT_EQ(Count(SB_ENDSCROLL), 1);
    EXPECT_NE(GetCapture(), Item(100));
}

// The program's WM_HSCROLL shows a message box, which takes the capture:
// the press ends there and nothing repeats with no button held; and a
// skinner that lets go of a pressed bar leaves no repeat timer behind.
TEST_F(ScrollBarControl, APressEndsWithTheCaptureAndWithTheSkinner)
{
    HWND bar100 = Item(100);
    const ScrollCtlGeometry g = bar->Geometry();
    const int mid = guitest::Capture::OfWindow(bar100).Height() / 2;
    const int x = g.length - g.arrow / 2;  // on the second arrow
    const POINT cursor = OnScreen(100, x, mid);
    SetCursorPos(cursor.x, cursor.y);
    captureThief = Item(101);
    SendMessageA(bar100, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, mid));
    EXPECT_EQ(GetCapture(), Item(101));
    EXPECT_EQ(bar->PressedPart(), kScrollCtlNone);
    EXPECT_EQ(Count(SB_ENDSCROLL), 1);
    guitest::PumpFor(300);
    EXPECT_EQ(Count(SB_LINEDOWN), 1) << "repeated with no button held";
    ReleaseCapture();

    SendMessageA(bar100, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, mid));
    EXPECT_EQ(bar->PressedPart(), kScrollCtlArrow2);
    ASSERT_TRUE(SkinManager::Instance().RemoveSkin(bar100, FALSE));
    EXPECT_NE(GetCapture(), bar100);
    EXPECT_FALSE(KillTimer(bar100, 200)) << "the repeat timer outlived the skinner";
    guitest::ParkPointer();
}

TEST_F(ScrollBarControl, DraggingTheThumbReportsTrackAndFinalPositions)
{
    const ScrollCtlGeometry g = bar->Geometry();
    const int mid = guitest::Capture::OfWindow(Item(100)).Height() / 2;
    const int grab = g.thumbStart + 3;
    SendMessageA(Item(100), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, mid));
    ASSERT_EQ(Count(SB_THUMBTRACK), 1);
    EXPECT_EQ(scrolls.back().pos, 0);
    const int free = g.track() - g.thumbLength;
    const int to = grab + free / 2;
    SendMessageA(Item(100), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to, mid));
    ASSERT_EQ(Count(SB_THUMBTRACK), 2);
    const int expected = ScrollCtlDragPosition(g, to, 3, 0, 99, 10);
    EXPECT_EQ(scrolls.back().pos, expected);
    EXPECT_NEAR(expected, 45, 1);
    SendMessageA(Item(100), WM_LBUTTONUP, 0, MAKELPARAM(to, mid));
    ASSERT_GE(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[scrolls.size() - 2].code, SB_THUMBPOSITION);
    EXPECT_EQ(scrolls[scrolls.size() - 2].pos, expected);
    EXPECT_EQ(scrolls.back().code, SB_ENDSCROLL);
    EXPECT_EQ(scrolls.back().message, UINT(WM_HSCROLL));
}

// The parent may destroy the bar from any notification the bar sends it
// (a page that closes on a scroll): the skinner, deleted with the window,
// stops there and touches nothing of itself.
TEST_F(ScrollBarControl, AParentDestroyingTheBarFromANotificationLeavesItUntouched)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinScrollBarCtrl));
    const int mid = 8;  // across the 16-pixel bars made below
    struct Case {
        const char* name;
        int destroyOn;
        // Drives the bar (client coordinates along it from the geometry).
        std::function<void(HWND, const ScrollCtlGeometry&)> drive;
    } cases[] = {
        {"an arrow pressed", SB_LINEDOWN,
         [&](HWND w, const ScrollCtlGeometry& g) {
             SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.length - g.arrow / 2, mid));
         }},
        {"the thumb grabbed", SB_THUMBTRACK,
         [&](HWND w, const ScrollCtlGeometry& g) {
             SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.thumbStart + 3, mid));
         }},
        {"the thumb dragged", SB_THUMBTRACK,
         [&](HWND w, const ScrollCtlGeometry& g) {
             destroyOn = -1;
             SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.thumbStart + 3, mid));
             destroyOn = SB_THUMBTRACK;
             SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(g.thumbStart + 40, mid));
         }},
        {"the thumb let go", SB_THUMBPOSITION,
         [&](HWND w, const ScrollCtlGeometry& g) {
             SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.thumbStart + 3, mid));
             SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(g.thumbStart + 40, mid));
         }},
        {"an arrow let go", SB_ENDSCROLL,
         [&](HWND w, const ScrollCtlGeometry& g) {
             SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(g.length - g.arrow / 2, mid));
             SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(g.length - g.arrow / 2, mid));
         }},
    };
    for (const Case& c : cases) {
        HWND w = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 20, 60, 240, 16, dialog,
                                 reinterpret_cast<HMENU>(INT_PTR(102)), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(w, nullptr) << c.name;
        ASSERT_TRUE(guitest::PumpUntil([&] {
            auto* made = SkinnerOf<SkinScrollBarCtrl>(w);
            return made && made->IsLoaded();
        }, 2000)) << c.name;
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
        SendMessageA(w, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
        const ScrollCtlGeometry g = SkinnerOf<SkinScrollBarCtrl>(w)->Geometry();
        const int touches = skintest::TouchesOfFreedBlocks();
        destroyOn = c.destroyOn;
        c.drive(w, g);
        guitest::PumpFor(30);
        EXPECT_FALSE(IsWindow(w)) << c.name;
        EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touches) << c.name << ": the deleted skinner was used";
        if (IsWindow(w))
            DestroyWindow(w);
        destroyOn = -1;
        ReleaseCapture();
    }
    skintest::TrapFreedBlocksOfSize(0);
}

}  // namespace
