// Skinned scroll bars under Wine, in a real window driven by messages:
// the bars laid out and hit-tested, their scroll information clamped,
// shown and hidden, sized, drawn from the test skin's ScrollBar object
// (rows 7 and 8 of test.bmp), operated by arrow presses with repeats, by
// thumb drags with the snap-back, hot-tracked, and given back to the
// system. Screenshots go to screenshots/.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/scrollbars/skin_scrollbar.h"
#include "skin/skinners/tests/later_subclass.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

struct ScrollEvent {
    UINT message;
    int code;
    int pos;
};
std::vector<ScrollEvent> g_events;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HSCROLL || message == WM_VSCROLL) {
        g_events.push_back({message, LOWORD(wParam), short(HIWORD(wParam))});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int Count(UINT message, int code)
{
    int n = 0;
    for (const ScrollEvent& e : g_events)
        n += e.message == message && e.code == code;
    return n;
}

bool Shown(HWND window, int bar)
{
    const RECT r = NcScrollBarSkin::BarRect(window, bar);
    return !IsRectEmpty(&r);
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class SkinnedScrollBars : public testing::Test {
protected:
    void SetUp() override
    {
        // The pointer may stand where the last test on this screen left it.
        guitest::ParkPointer();
        g_events.clear();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = &RecorderProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            wc.lpszClassName = "SkinScrollTestWindow";
            registered = RegisterClassA(&wc) != 0;
        }
        window = MakeWindow(0);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        guitest::ParkPointer();
        if (window && IsWindow(window))
            DestroyWindow(window);
        SkinLibExit();
    }
    HWND MakeWindow(DWORD exStyle)
    {
        HWND w = CreateWindowExA(exStyle | WS_EX_TOPMOST, "SkinScrollTestWindow", "Scroll bars",
                                 WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_VISIBLE, 80, 80, 320, 240,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        guitest::PumpPending();
        return w;
    }
    void SetRange(HWND w, int bar, int min, int max, int page, int pos, UINT extra = 0)
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
        info.nMin = min;
        info.nMax = max;
        info.nPage = UINT(page);
        info.nPos = pos;
        CustomSB_SetScrollInfo(w, bar, &info, TRUE);
    }
    // A window-relative rectangle on the screen.
    RECT OnScreen(const RECT& r)
    {
        RECT w;
        GetWindowRect(window, &w);
        RECT s = r;
        OffsetRect(&s, w.left, w.top);
        return s;
    }
    void PressAt(UINT hit, POINT screen)
    {
        SetCursorPos(screen.x, screen.y);
        PostMessageA(window, WM_NCLBUTTONDOWN, hit, MAKELPARAM(screen.x, screen.y));
    }
    void MoveTo(POINT screen)
    {
        SetCursorPos(screen.x, screen.y);
        POINT client = screen;
        ScreenToClient(window, &client);
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    }
    void Release()
    {
        PostMessageA(window, WM_LBUTTONUP, 0, 0);
        guitest::PumpFor(50);
    }
    void Paint()
    {
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        guitest::PumpFor(100);
    }
    HWND window = nullptr;
};

TEST_F(SkinnedScrollBars, InitialiseOnceUninitialiseOnce)
{
    RECT before;
    GetClientRect(window, &before);
    ASSERT_TRUE(CustomSB_Initialize(window));
    EXPECT_FALSE(CustomSB_Initialize(window));
    EXPECT_TRUE(CustomSB_IsInitialized(window));
    EXPECT_NE(GetPropA(window, kCustomSBProperty), nullptr);
    SetRange(window, SB_VERT, 0, 99, 25, 10);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(CustomSB_GetScrollInfo(window, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 99);
    EXPECT_EQ(info.nPage, 25u);
    EXPECT_EQ(info.nPos, 10);
    int min = -1, max = -1;
    EXPECT_TRUE(CustomSB_GetScrollRange(window, SB_VERT, &min, &max));
    EXPECT_EQ(max, 99);
    EXPECT_FALSE(CustomSB_GetScrollRange(window, SB_VERT, &min, nullptr));
    EXPECT_EQ(CustomSB_SetScrollPos(window, SB_VERT, 500, TRUE), 10);
    EXPECT_EQ(CustomSB_GetScrollPos(window, SB_VERT), 75);
    // The style keeps its bits while the bars are ours.
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL);

    EXPECT_EQ(CustomSB_Uninitialize(window), S_OK);
    EXPECT_EQ(CustomSB_Uninitialize(window), E_FAIL);
    EXPECT_FALSE(CustomSB_IsInitialized(window));
    EXPECT_EQ(GetPropA(window, kCustomSBProperty), nullptr);
    // Without the state every function is the system's.
    EXPECT_FALSE(CustomSB_SetSize(window, SB_BOTH, 10, 10));
    EXPECT_FALSE(CustomSB_SetStyle(window, SB_BOTH, 2));
}

// A subclass the program puts over a window with skinned bars later is
// part of the window from then on: it keeps hearing the window's messages,
// and the class its own, when the bars are given back and when they are
// skinned again (then each message runs through the bars once); taking the
// subclass off again leaves the window's class reached.
TEST_F(SkinnedScrollBars, ASubclassPutOverSkinnedBarsStaysInTheChain)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    using skintest::LaterSubclass;
    ASSERT_TRUE(LaterSubclass::PutOver(window));
    auto wholeChain = [&](const char* when, int subclassHears) {
        EXPECT_EQ(LaterSubclass::HearsProbe(window), subclassHears) << when;
        g_events.clear();
        SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(Count(WM_VSCROLL, SB_LINEDOWN), 1) << when << ": the class is cut off";
    };
    wholeChain("skinned under the subclass", 1);

    ASSERT_EQ(CustomSB_Uninitialize(window), S_OK);
    wholeChain("bars given back", 1);

    ASSERT_TRUE(CustomSB_Initialize(window));
    wholeChain("skinned again", 1);
    SetRange(window, SB_VERT, 0, 99, 25, 10);
    // Ran through the bars once: a second pass would have moved it twice.
    g_events.clear();
    EXPECT_EQ(CustomSB_SetScrollPos(window, SB_VERT, 20, TRUE), 10);
    EXPECT_EQ(CustomSB_GetScrollPos(window, SB_VERT), 20);
    const RECT v = NcScrollBarSkin::BarRect(window, SB_VERT);
    const RECT onScreen = OnScreen(v);
    const POINT c = Centre(onScreen);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y)), HTVSCROLL);

    ASSERT_EQ(CustomSB_Uninitialize(window), S_OK);
    // The program takes its subclass off; the window is whole without it.
    LaterSubclass::TakeOff(window);
    wholeChain("subclass taken off", 0);
}

TEST_F(SkinnedScrollBars, BarsTakeTheirRoomAndAnswerHitTests)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    SetRange(window, SB_HORZ, 0, 99, 25, 0);
    const RECT v = NcScrollBarSkin::BarRect(window, SB_VERT), h = NcScrollBarSkin::BarRect(window, SB_HORZ);
    ASSERT_FALSE(IsRectEmpty(&v));
    ASSERT_FALSE(IsRectEmpty(&h));
    // The client area ends where the bars begin.
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    RECT w;
    GetWindowRect(window, &w);
    EXPECT_EQ(origin.x - w.left + client.right, v.left);
    EXPECT_EQ(origin.y - w.top + client.bottom, h.top);
    EXPECT_EQ(h.right, v.left);
    EXPECT_EQ(v.bottom, h.top);
    const POINT vc = Centre(OnScreen(v)), hc = Centre(OnScreen(h));
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(vc.x, vc.y)), HTVSCROLL);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(hc.x, hc.y)), HTHSCROLL);
    const POINT inside = Centre(guitest::ClientRectOnScreen(window));
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);

    // Sizes: 0, -9 and 257 are refused; -2 is twice the system width.
    EXPECT_FALSE(CustomSB_SetSize(window, SB_VERT, 0, 16));
    EXPECT_FALSE(CustomSB_SetSize(window, SB_VERT, -9, 16));
    EXPECT_FALSE(CustomSB_SetSize(window, SB_VERT, 16, 257));
    EXPECT_EQ(NcScrollBarSkin::BarRect(window, SB_VERT).right - NcScrollBarSkin::BarRect(window, SB_VERT).left,
              v.right - v.left);
    EXPECT_TRUE(CustomSB_SetSize(window, SB_VERT, -2, -2));
    const RECT wide = NcScrollBarSkin::BarRect(window, SB_VERT);
    EXPECT_EQ(wide.right - wide.left, 2 * GetSystemMetrics(SM_CXVSCROLL));
    // The skin's sizes: the height of NORMAL.ARROW1 (16).
    SkinRefreshScrollBars();
    const RECT skinSized = NcScrollBarSkin::BarRect(window, SB_VERT);
    EXPECT_EQ(skinSized.right - skinSized.left, 16);
}

// The skin's sizes reach another thread's bars through that thread: while
// it is busy its bars stay as they are (it may be taking them away); its
// next messages bring the sizes.
TEST_F(SkinnedScrollBars, AnotherThreadsBarsTakeTheSkinsSizesOnTheirOwnThread)
{
    HANDLE refreshed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> ready{0};
    std::atomic<int> widthAfterItsMessages{0};
    std::atomic<bool> done{false};
    HWND other = nullptr;
    std::thread thread([&] {
        HWND w = CreateWindowExA(0, "STATIC", "Other thread's bars", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE,
                                 440, 80, 240, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        const bool made = w && CustomSB_Initialize(w) && CustomSB_SetSize(w, SB_BOTH, 7, 7);
        other = w;
        ready = made ? 1 : -1;
        // Busy: only messages sent to it are answered, none posted is read.
        while (MsgWaitForMultipleObjects(1, &refreshed, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        guitest::PumpPending();
        const RECT r = NcScrollBarSkin::BarRect(w, SB_VERT);
        widthAfterItsMessages = r.right - r.left;
        if (made)
            CustomSB_Uninitialize(w);
        if (w)
            DestroyWindow(w);
        done = true;
    });
    guitest::PumpUntil([&] { return ready.load() != 0; });
    EXPECT_EQ(ready.load(), 1);
    SkinRefreshScrollBars();
    if (ready.load() == 1) {
        const RECT busy = NcScrollBarSkin::BarRect(other, SB_VERT);
        EXPECT_EQ(busy.right - busy.left, 7) << "written by this thread";
    }
    SetEvent(refreshed);
    guitest::PumpUntil([&] { return done.load(); });
    thread.join();
    CloseHandle(refreshed);
    EXPECT_EQ(widthAfterItsMessages.load(), 16);  // the height of NORMAL.ARROW1
}

TEST_F(SkinnedScrollBars, ALeftScrollBarWindowHasItsVerticalBarOnTheLeft)
{
    HWND left = MakeWindow(WS_EX_LEFTSCROLLBAR);
    ASSERT_TRUE(CustomSB_Initialize(left));
    SetRange(left, SB_VERT, 0, 99, 25, 0);
    SetRange(left, SB_HORZ, 0, 99, 25, 0);
    const RECT v = NcScrollBarSkin::BarRect(left, SB_VERT), h = NcScrollBarSkin::BarRect(left, SB_HORZ);
    RECT w;
    GetWindowRect(left, &w);
    EXPECT_LT(v.right, (w.right - w.left) / 2);
    EXPECT_EQ(h.left, v.right);
    DestroyWindow(left);
    // Gone with its window: the refresh list forgets it.
    EXPECT_FALSE(CustomSB_IsInitialized(left));
    SkinRefreshScrollBars();
}

TEST_F(SkinnedScrollBars, ShownAndHiddenByTheirInformation)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    EXPECT_TRUE(Shown(window, SB_VERT));
    // Page 0 and max 0: hidden, and the style bit goes with it.
    SetRange(window, SB_VERT, 0, 0, 0, 0);
    EXPECT_FALSE(Shown(window, SB_VERT));
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL);
    // Asked to stay when it cannot scroll: shown (disabled).
    SetRange(window, SB_VERT, 0, 0, 0, 0, SIF_DISABLENOSCROLL);
    EXPECT_TRUE(Shown(window, SB_VERT));
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL);
    // SetScrollRange with an empty range hides; a usable one shows again.
    EXPECT_TRUE(CustomSB_SetScrollRange(window, SB_VERT, 5, 5, TRUE));
    EXPECT_FALSE(Shown(window, SB_VERT));
    EXPECT_TRUE(CustomSB_SetScrollRange(window, SB_VERT, 0, 50, TRUE));
    EXPECT_TRUE(Shown(window, SB_VERT));
    // ShowScrollBar by hand.
    EXPECT_TRUE(CustomSB_ShowScrollBar(window, SB_BOTH, FALSE));
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_FALSE(Shown(window, SB_HORZ));
    EXPECT_TRUE(CustomSB_ShowScrollBar(window, SB_VERT, TRUE));
    EXPECT_TRUE(Shown(window, SB_VERT));
}

TEST_F(SkinnedScrollBars, HoldingAnArrowRepeatsWhileTheCursorStaysOnIt)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    const RECT v = OnScreen(NcScrollBarSkin::BarRect(window, SB_VERT));
    const int arrow = v.right - v.left;  // square arrows
    const POINT down = {(v.left + v.right) / 2, v.bottom - arrow / 2};
    PressAt(HTVSCROLL, down);
    guitest::PumpFor(150);
    EXPECT_EQ(Count(WM_VSCROLL, SB_LINEDOWN), 1);
    EXPECT_EQ(NcScrollBarSkin::PressedPortion(), 1);
    guitest::PumpFor(600);
    const int held = Count(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_GE(held, 3);  // one at once, one at 300 ms, then every 55 ms
    // Off the arrow the repeats pause.
    SetCursorPos(down.x - 200, down.y);
    guitest::PumpFor(100);
    const int paused = Count(WM_VSCROLL, SB_LINEDOWN);
    guitest::PumpFor(250);
    EXPECT_EQ(Count(WM_VSCROLL, SB_LINEDOWN), paused);
    Release();
    ASSERT_FALSE(g_events.empty());
    EXPECT_EQ(g_events.back().code, SB_ENDSCROLL);
    EXPECT_EQ(NcScrollBarSkin::TrackedBar(), -1);
    guitest::PumpFor(150);
    EXPECT_EQ(Count(WM_VSCROLL, SB_LINEDOWN), paused);

    // A press on the track pages; a right press on a bar is swallowed.
    g_events.clear();
    PressAt(HTVSCROLL, POINT{down.x, v.bottom - arrow - 4});
    guitest::PumpFor(50);
    Release();
    EXPECT_EQ(Count(WM_VSCROLL, SB_PAGEDOWN), 1);
    EXPECT_EQ(SendMessageA(window, WM_NCRBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y)), 0);
}

// Each thread operates its own bars: a press and release on another
// thread's window leave this thread's press as it was.
TEST_F(SkinnedScrollBars, APressOnAnotherThreadLeavesThisThreadsPressAlone)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    const RECT v = OnScreen(NcScrollBarSkin::BarRect(window, SB_VERT));
    const POINT down = {(v.left + v.right) / 2, v.bottom - (v.right - v.left) / 2};
    SetCursorPos(down.x, down.y);
    SendMessageA(window, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y));
    ASSERT_EQ(NcScrollBarSkin::TrackedBar(), SB_VERT);

    std::atomic<bool> done{false};
    int otherTracked = -2;
    std::thread other([&] {
        HWND w = CreateWindowExA(0, "STATIC", "Other thread's bars", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE,
                                 440, 80, 240, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (w && CustomSB_Initialize(w)) {
            SetRange(w, SB_VERT, 0, 99, 25, 0);
            RECT r = NcScrollBarSkin::BarRect(w, SB_VERT);
            RECT at;
            GetWindowRect(w, &at);
            OffsetRect(&r, at.left, at.top);
            const POINT arrow = {(r.left + r.right) / 2, r.bottom - (r.right - r.left) / 2};
            SendMessageA(w, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
            otherTracked = NcScrollBarSkin::TrackedBar();
            SendMessageA(w, WM_LBUTTONUP, 0, 0);
            CustomSB_Uninitialize(w);
        }
        if (w)
            DestroyWindow(w);
        done = true;
    });
    guitest::PumpUntil([&] { return done.load(); });
    other.join();
    EXPECT_EQ(otherTracked, SB_VERT);
    EXPECT_EQ(NcScrollBarSkin::TrackedBar(), SB_VERT) << "this thread's press";
    g_events.clear();
    SendMessageA(window, WM_LBUTTONUP, 0, 0);
    ASSERT_FALSE(g_events.empty());
    EXPECT_EQ(g_events.back().code, SB_ENDSCROLL);
    EXPECT_EQ(NcScrollBarSkin::TrackedBar(), -1);
}

TEST_F(SkinnedScrollBars, ADisabledArrowDoesNothing)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 50);
    EXPECT_TRUE(CustomSB_EnableScrollBar(window, SB_VERT, ESB_DISABLE_UP));
    EXPECT_FALSE(CustomSB_EnableScrollBar(window, SB_VERT, ESB_DISABLE_UP));  // no change
    const RECT v = OnScreen(NcScrollBarSkin::BarRect(window, SB_VERT));
    const int arrow = v.right - v.left;
    PressAt(HTVSCROLL, POINT{(v.left + v.right) / 2, v.top + arrow / 2});
    guitest::PumpFor(100);
    EXPECT_TRUE(g_events.empty());
    Paint();
    // Drawn from the disabled group: VDISABLED.ARROW1 is cell 12,8.
    guitest::Capture shot = guitest::Capture::OfWindow(window, false);
    const RECT bar = NcScrollBarSkin::BarRect(window, SB_VERT);
    EXPECT_EQ(shot.At(bar.left + 3, bar.top + 3), Cell(12, 8));
    EXPECT_EQ(shot.At(bar.left + 3, bar.bottom - 3), Cell(1, 8));
    EXPECT_TRUE(CustomSB_EnableScrollBar(window, SB_VERT, ESB_ENABLE_BOTH));
}

TEST_F(SkinnedScrollBars, DraggingTheThumbTracksAndSnapsBack)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_HORZ, 0, 99, 25, 0);
    const RECT h = OnScreen(NcScrollBarSkin::BarRect(window, SB_HORZ));
    const int arrow = h.bottom - h.top;
    const POINT grab = {h.left + arrow + 8, (h.top + h.bottom) / 2};
    PressAt(HTHSCROLL, grab);
    guitest::PumpFor(50);
    EXPECT_TRUE(NcScrollBarSkin::ThumbTracking());
    MoveTo(POINT{grab.x + 60, grab.y + 10});
    guitest::PumpFor(50);
    ASSERT_GE(Count(WM_HSCROLL, SB_THUMBTRACK), 1);
    const int tracked = g_events.back().pos;
    EXPECT_GT(tracked, 0);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    CustomSB_GetScrollInfo(window, SB_HORZ, &info);
    EXPECT_EQ(info.nTrackPos, tracked);
    EXPECT_EQ(info.nPos, 0);  // the position is the window's to set
    guitest::SaveScreenshot(window, "skin_scrollbar_dragging");
    // More than 24 pixels below the bar: back to where the drag began.
    MoveTo(POINT{grab.x + 60, h.bottom + 30});
    guitest::PumpFor(50);
    EXPECT_EQ(g_events.back().code, SB_THUMBTRACK);
    EXPECT_EQ(g_events.back().pos, 0);
    Release();
    ASSERT_GE(g_events.size(), 2u);
    EXPECT_EQ(g_events[g_events.size() - 2].code, SB_THUMBPOSITION);
    EXPECT_EQ(g_events[g_events.size() - 2].pos, 0);
    EXPECT_EQ(g_events.back().code, SB_ENDSCROLL);
    EXPECT_FALSE(NcScrollBarSkin::ThumbTracking());
}

TEST_F(SkinnedScrollBars, PaintedFromTheSkin)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    SetRange(window, SB_HORZ, 0, 99, 50, 50);
    Paint();
    guitest::Capture shot = guitest::Capture::OfWindow(window, false);
    ASSERT_TRUE(shot.Valid());
    guitest::SaveScreenshot(window, "skin_scrollbar_painted");
    const RECT v = NcScrollBarSkin::BarRect(window, SB_VERT), h = NcScrollBarSkin::BarRect(window, SB_HORZ);
    const int arrow = v.right - v.left;
    const int x = (v.left + v.right) / 2;
    EXPECT_EQ(shot.At(x, v.top + 2), Cell(0, 8));             // VNORMAL.ARROW1
    EXPECT_EQ(shot.At(x, v.bottom - 2), Cell(1, 8));          // VNORMAL.ARROW2
    EXPECT_EQ(shot.At(x, v.top + arrow + 3), Cell(3, 8));     // thumb at the top
    EXPECT_EQ(shot.At(x, v.bottom - arrow - 3), Cell(2, 8));  // track
    const int y = (h.top + h.bottom) / 2;
    EXPECT_EQ(shot.At(h.left + 2, y), Cell(0, 7));            // NORMAL.ARROW1
    EXPECT_EQ(shot.At(h.right - 2, y), Cell(1, 7));
    EXPECT_EQ(shot.At(h.right - arrow - 3, y), Cell(3, 7));   // thumb at the end
    EXPECT_EQ(shot.At(h.left + arrow + 3, y), Cell(2, 7));
}

// A skin that gives the bars lying only (a stream before 1.12 has no
// vertical pictures): the vertical bar shows the horizontal ones turned, the
// right arrow at the top.
TEST_F(SkinnedScrollBars, WithoutVerticalPicturesTheLyingOnesAreTurned)
{
    auto* data = dynamic_cast<SkinScrollBarData*>(SkinManager::Instance().GetSkin()->FindObjectByType(kSkinScrollBar));
    ASSERT_NE(data, nullptr);
    for (SkinScrollBlock& block : data->vertical)
        block = SkinScrollBlock{};
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    Paint();
    guitest::Capture shot = guitest::Capture::OfWindow(window, false);
    ASSERT_TRUE(shot.Valid());
    const RECT v = NcScrollBarSkin::BarRect(window, SB_VERT);
    const int arrow = v.right - v.left;
    const int x = (v.left + v.right) / 2;
    EXPECT_EQ(shot.At(x, v.top + 2), Cell(1, 7));             // NORMAL.ARROW2, turned up
    EXPECT_EQ(shot.At(x, v.bottom - 2), Cell(0, 7));          // NORMAL.ARROW1, turned down
    EXPECT_EQ(shot.At(x, v.top + arrow + 3), Cell(3, 7));     // thumb
    EXPECT_EQ(shot.At(x, v.bottom - arrow - 3), Cell(2, 7));  // track
}

TEST_F(SkinnedScrollBars, HotTrackedBarsLightUpUnderTheMouse)
{
    ASSERT_TRUE(CustomSB_Initialize(window));
    ASSERT_TRUE(CustomSB_SetStyle(window, SB_BOTH, 2));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    const RECT bar = NcScrollBarSkin::BarRect(window, SB_VERT);
    const RECT v = OnScreen(bar);
    const int arrow = v.right - v.left;
    const POINT thumb = {(v.left + v.right) / 2, v.top + arrow + 4};
    SetCursorPos(thumb.x, thumb.y);
    PostMessageA(window, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(thumb.x, thumb.y));
    guitest::PumpFor(120);
    EXPECT_EQ(NcScrollBarSkin::HotBar(), SB_VERT);
    guitest::Capture shot = guitest::Capture::OfWindow(window, false);
    EXPECT_EQ(shot.At((bar.left + bar.right) / 2, bar.top + arrow + 4), Cell(11, 8));  // VHIGHLIGHTED.THUMB
    SetCursorPos(v.left - 150, v.top);
    guitest::PumpFor(150);
    EXPECT_EQ(NcScrollBarSkin::HotBar(), -1);
}

TEST_F(SkinnedScrollBars, WithoutAScrollBarObjectTheSystemLookIsDrawn)
{
    // A skin without a ScrollBar object: the skin painter declines.
    ASSERT_TRUE(SkinManager::Instance().InstallSkin(new SkinPackage()));
    ASSERT_TRUE(CustomSB_Initialize(window));
    SetRange(window, SB_VERT, 0, 99, 25, 0);
    Paint();
    const RECT bar = NcScrollBarSkin::BarRect(window, SB_VERT);
    const int arrow = bar.right - bar.left, x = (bar.left + bar.right) / 2;
    guitest::Capture shot = guitest::Capture::OfWindow(window, false);
    guitest::SaveScreenshot(window, "skin_scrollbar_system_look");
    EXPECT_EQ(shot.At(x, bar.top + arrow + 10), GetSysColor(COLOR_BTNFACE));  // the raised thumb
    // The track's two-colour pattern: the scroll-bar colour and the light one.
    const int y = bar.bottom - arrow - 10;
    const COLORREF dark = GetSysColor(COLOR_SCROLLBAR), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF p0 = shot.At(x, y), p1 = shot.At(x + 1, y);
    EXPECT_TRUE((p0 == dark && p1 == light) || (p0 == light && p1 == dark)) << std::hex << p0 << " " << p1;
    // Flat bars draw a pressed thumb as a shadow block.
    ASSERT_TRUE(CustomSB_SetStyle(window, SB_VERT, 1));
    RECT w;
    GetWindowRect(window, &w);
    PressAt(HTVSCROLL, POINT{w.left + x, w.top + bar.top + arrow + 10});
    guitest::PumpFor(80);
    shot = guitest::Capture::OfWindow(window, false);
    EXPECT_EQ(shot.At(x, bar.top + arrow + 10), GetSysColor(COLOR_BTNSHADOW));
    Release();
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(SkinnedScrollBars, AListBoxOfASkinnedDialogGetsThemAndScrollsByThem)
{
    ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    guitest::DialogTemplate t("List", 0, 0, 160, 120);
    t.Add("LISTBOX", 100, "", 10, 10, 120, 80, WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | WS_TABSTOP);
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, 100);
    for (int i = 0; i < 60; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Line " + std::to_string(i)).c_str()));
    SetWindowPos(dialog, HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    // The scrollable base skins the bars once its posted request arrives.
    ASSERT_TRUE(guitest::PumpUntil([list] { return CustomSB_IsInitialized(list) != FALSE; }, 2000));
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    guitest::PumpFor(100);
    const RECT bar = NcScrollBarSkin::BarRect(list, SB_VERT);
    ASSERT_FALSE(IsRectEmpty(&bar));
    guitest::Capture shot = guitest::Capture::OfWindow(list, false);
    EXPECT_EQ(shot.At((bar.left + bar.right) / 2, bar.top + 2), Cell(0, 8));
    guitest::SaveScreenshot(dialog, "skin_scrollbar_listbox");
    // A press on the down arrow scrolls the list (it hears WM_VSCROLL).
    RECT w;
    GetWindowRect(list, &w);
    const POINT down = {w.left + (bar.left + bar.right) / 2, w.top + bar.bottom - 3};
    SetCursorPos(down.x, down.y);
    PostMessageA(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y));
    guitest::PumpFor(80);
    PostMessageA(list, WM_LBUTTONUP, 0, 0);
    guitest::PumpFor(50);
    EXPECT_GT(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0);
    DestroyWindow(dialog);
    SkinClearDefaultDialogSkin();
}

}  // namespace
