// The frame skinner and its menu bar under Wine with the test skin: a
// window skinned from "MainFrame" (cells of rows 2 and 3) loses its menu to
// the skinned bar, is hit-tested and sized by the frame parts, and its bar
// is driven by the mouse (non-client messages) and by the keyboard hook's
// menu key (6036). Drop-downs come from a stand-in popup window factory so
// the bar is checked on its own. Screenshots go to screenshots/.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/frames/skin_frame.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/frames/skin_menubar.h"
#include "skin/skinners/tests/freed_object_trap.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;
const UINT kOpen = 101, kExit = 102, kUndo = 201, kAbout = 301, kHelpTopics = 401;

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// What the test window heard.
struct Heard {
    std::vector<UINT> commands;
    int initMenu = 0;
    HMENU menuAtDestroy = nullptr;
    POINT minTrack = {0, 0};  // asked for by the window itself
    UINT destroyOn = 0;       // the window destroys itself on this message
};
Heard g_heard;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_heard.destroyOn && message == g_heard.destroyOn) {
        g_heard.destroyOn = 0;
        DestroyWindow(window);
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        g_heard.commands.push_back(LOWORD(wParam));
        return 0;
    case WM_INITMENU:
        ++g_heard.initMenu;
        break;
    case WM_DESTROY:
        g_heard.menuAtDestroy = GetMenu(window);
        break;
    case WM_GETMINMAXINFO:
        if (g_heard.minTrack.x) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = g_heard.minTrack;
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A stand-in for the skinned popup menu window: a plain popup that
// remembers which menu it shows.
struct FakePopups {
    std::vector<HMENU> opened;  // in opening order
    int open = 0;               // windows alive now
    HMENU current = nullptr;    // the menu of the last one opened
    bool ended = false;         // what IsClosed answers: the menu ended by itself
};
FakePopups g_popups;

class FakePopup : public SkinPopupMenuWindow {
public:
    explicit FakePopup(HWND owner) : owner_(owner) {}
    ~FakePopup() override { Close(); }
    BOOL Create() override
    {
        window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "Static", "popup", WS_POPUP | WS_BORDER, 0, 0, 10, 10, owner_,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window_)
            ++g_popups.open;
        return window_ != nullptr;
    }
    void AttachMenu(HMENU menu) override
    {
        g_popups.opened.push_back(menu);
        g_popups.current = menu;
    }
    void BindSkin(SkinDataObject*) override {}
    SIZE GetMenuSize() override { return SIZE{120, 60}; }
    HWND GetWindow() override { return window_; }
    bool IsClosed() override { return g_popups.ended; }
    UINT GetChosenCommand() override { return 0; }
    void Close() override
    {
        if (window_) {
            DestroyWindow(window_);
            window_ = nullptr;
            --g_popups.open;
        }
    }

private:
    HWND owner_;
    HWND window_ = nullptr;
};

SkinPopupMenuWindow* MakeFakePopup(HWND owner, int) { return new FakePopup(owner); }

HMENU MakeMenuBar()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kOpen, "&Open");
    AppendMenuA(file, MF_STRING, kExit, "E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING, kUndo, "&Undo");
    HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, kHelpTopics, "&Topics");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    AppendMenuA(bar, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(bar, MF_STRING, kAbout, "&About");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    return bar;
}

class FrameSkinner : public testing::Test {
protected:
    void SetUp() override
    {
        g_heard = Heard();
        g_popups = FakePopups();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        RegisterPopupMenuFactory(&MakeFakePopup);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &FrameProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "SkinFrameTestWnd";
        RegisterClassA(&wc);
    }
    void TearDown() override
    {
        if (window && IsWindow(window))
            DestroyWindow(window);
        // The pointer goes out of the way of the next test's windows.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        RegisterPopupMenuFactory(nullptr);
        SkinLibExit();
    }
    // A window with a menu, skinned from MainFrame and shown.
    void MakeFrame(DWORD style = WS_OVERLAPPEDWINDOW)
    {
        menu = MakeMenuBar();
        window = CreateWindowExA(0, "SkinFrameTestWnd", "Skinned frame", style, 40, 40, 420, 260, nullptr, menu,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(SkinSetFrameWindow(window, "MainFrame"));
        frame = dynamic_cast<SkinFrame*>(SkinManager::Instance().FindSkinObject(window));
        ASSERT_NE(frame, nullptr);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        guitest::PumpFor(100);
    }
    LRESULT HitAt(POINT p)
    {
        RECT w;
        GetWindowRect(window, &w);
        return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(w.left + p.x, w.top + p.y));
    }
    LPARAM ScreenAt(POINT p)
    {
        RECT w;
        GetWindowRect(window, &w);
        return MAKELPARAM(w.left + p.x, w.top + p.y);
    }
    // The middle of a bar item, window-relative.
    POINT ItemPoint(int i)
    {
        const RECT& r = frame->MenuBar().Items()[i]->GetRect();
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    LRESULT MenuKey(WPARAM key, LPARAM data = 0x20000000)
    {
        return SendMessageA(window, kSkinMsgMenuKey, key, data);
    }
    int OpenIndex()
    {
        SkinMenuBarItem* open = frame->MenuBar().GetOpenItem();
        const auto& items = frame->MenuBar().Items();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].get() == open)
                return int(i);
        return -1;
    }
    SkinFrameData* Data() { return dynamic_cast<SkinFrameData*>(frame->GetSkinData()); }

    HWND window = nullptr;
    HMENU menu = nullptr;
    SkinFrame* frame = nullptr;
};

TEST_F(FrameSkinner, TakesTheMenuAndDrawsTheFramePartsAndBar)
{
    MakeFrame();
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_EQ(frame->GetMenu(), menu);
    // Four items: the separator has no text and no item.
    ASSERT_EQ(frame->MenuBar().Items().size(), 4u);
    EXPECT_EQ(frame->MenuBar().Items()[2]->position, 3);
    EXPECT_EQ(frame->MenuBar().Items()[0]->accel, 'F');

    const SkinFrameData* data = Data();
    ASSERT_NE(data, nullptr);
    RECT w, c;
    GetWindowRect(window, &w);
    GetClientRect(window, &c);
    const RECT bar = frame->MenuBar().GetRect();
    EXPECT_GT(Height(bar), 10);
    EXPECT_EQ(Width(w) - Width(c), data->GetPartRect(kPartMiddleLeft).Width() + data->GetPartRect(kPartMiddleRight).Width());
    EXPECT_EQ(Height(w) - Height(c),
              data->GetPartRect(kPartTopLeft).Height() + data->GetPartRect(kPartBottomLeft).Height() + Height(bar));
    // The bar sits below the top parts, between the sides.
    EXPECT_EQ(bar.top, frame->GetPart(kPartMiddleTop).bottom);
    EXPECT_EQ(bar.left, frame->GetPart(kPartMiddleLeft).right);

    EXPECT_FALSE(guitest::SaveScreenshot(window, "skinned_frame").empty());
    guitest::Capture capture = guitest::Capture::OfWindow(window, false);
    ASSERT_TRUE(capture.Valid());
    const int row = frame->IsActive() ? 2 : 3;
    const RECT& left = frame->GetPart(kPartMiddleLeft);
    const RECT& bottom = frame->GetPart(kPartBottomMiddle);
    EXPECT_EQ(capture.At(left.left + 1, (left.top + left.bottom) / 2), Cell(3, row));
    EXPECT_EQ(capture.At((bottom.left + bottom.right) / 2, bottom.bottom - 2), Cell(7, row));
}

TEST_F(FrameSkinner, HitTestsOfASizableFrame)
{
    MakeFrame();
    RECT w;
    GetWindowRect(window, &w);
    const int cx = Width(w), cy = Height(w);
    const RECT& top = frame->GetPart(kPartMiddleTop);
    const RECT bar = frame->MenuBar().GetRect();
    EXPECT_EQ(HitAt({2, 2}), HTTOPLEFT);
    EXPECT_EQ(HitAt({5, 0}), HTCAPTION);  // one pixel right of the square
    EXPECT_EQ(HitAt({(top.left + top.right) / 2, 2}), HTTOP);
    EXPECT_EQ(HitAt({(top.left + top.right) / 2, top.bottom - 3}), HTCAPTION);
    EXPECT_EQ(HitAt({cx - 2, 2}), HTTOPRIGHT);
    EXPECT_EQ(HitAt({1, cy / 2}), HTLEFT);
    EXPECT_EQ(HitAt({cx - 1, cy / 2}), HTRIGHT);
    EXPECT_EQ(HitAt({cx / 2, cy - 1}), HTBOTTOM);
    EXPECT_EQ(HitAt({cx - 1, cy - 1}), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt({1, cy - 1}), HTBOTTOMLEFT);
    EXPECT_EQ(HitAt({cx / 2, bar.bottom + 20}), HTCLIENT);
    EXPECT_EQ(HitAt({bar.left + 2, (bar.top + bar.bottom) / 2}), HTMENU);
}

TEST_F(FrameSkinner, AFixedFrameHasCaptionCornersAndNoSizingEdges)
{
    MakeFrame(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
    RECT w;
    GetWindowRect(window, &w);
    const int cx = Width(w), cy = Height(w);
    EXPECT_EQ(HitAt({1, 1}), HTCAPTION);
    EXPECT_EQ(HitAt({cx - 1, 1}), HTCAPTION);
    EXPECT_EQ(HitAt({1, cy / 2}), HTNOWHERE);
    EXPECT_EQ(HitAt({cx / 2, cy - 1}), HTNOWHERE);
}

TEST_F(FrameSkinner, SizeLimitsComeFromTheFramePartsUnlessTheWindowAsksForMore)
{
    MakeFrame();
    const SkinFrameData* data = Data();
    const int minX = 2 + std::max(data->GetPartRect(0).Width() + data->GetPartRect(2).Width(),
                                  data->GetPartRect(6).Width() + data->GetPartRect(8).Width());
    const int minY = 2 + data->GetPartRect(0).Height() + data->GetPartRect(6).Height();
    MINMAXINFO info = {};
    info.ptMaxTrackSize = POINT{5000, 5000};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, minX);
    EXPECT_EQ(info.ptMinTrackSize.y, minY);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(info.ptMaxSize.x, Width(work));
    EXPECT_EQ(info.ptMaxSize.y, Height(work));

    g_heard.minTrack = POINT{minX + 100, 5};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, minX + 100);  // the window's larger one kept
    EXPECT_EQ(info.ptMinTrackSize.y, minY);        // its smaller one overridden

    // Resizing lays the parts out for the new size.
    SetWindowPos(window, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    guitest::PumpFor(50);
    EXPECT_EQ(frame->GetPart(kPartBottomRight).right, 500);
    EXPECT_EQ(frame->GetPart(kPartBottomRight).bottom, 300);
}

TEST_F(FrameSkinner, DraggingTheBottomRightCornerResizesTheFrame)
{
    MakeFrame();
    RECT before;
    GetWindowRect(window, &before);
    const POINT corner = {before.right - 2, before.bottom - 2};
    ASSERT_EQ(HitAt(POINT{corner.x - before.left, corner.y - before.top}), HTBOTTOMRIGHT);
    // The system's size loop runs inside the press; the mouse moves and
    // lets go from a timer that the loop dispatches.
    SetCursorPos(corner.x, corner.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    guitest::RunLater(200, [corner]() {
        SetCursorPos(corner.x + 40, corner.y + 30);
        mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
    });
    guitest::RunLater(400, []() { mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); });
    guitest::PumpFor(800);
    RECT after;
    GetWindowRect(window, &after);
    if (after.right == before.right && after.bottom == before.bottom)
        GTEST_SKIP() << "the system's size loop did not follow the pointer here";
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right + 40);
    EXPECT_EQ(after.bottom, before.bottom + 30);
    // The parts were laid out again for the new size.
    guitest::PumpFor(50);
    EXPECT_EQ(frame->GetPart(kPartBottomRight).right, after.right - after.left);
    EXPECT_EQ(frame->GetPart(kPartBottomRight).bottom, after.bottom - after.top);
}

TEST_F(FrameSkinner, TheMenuBarFollowsTheMouse)
{
    MakeFrame();
    SkinMenuBar& bar = frame->MenuBar();
    HMENU file = GetSubMenu(menu, 0), edit = GetSubMenu(menu, 1);

    // Hovering makes an item hot; the hover timer cools it when the mouse
    // has gone.
    SendMessageA(window, WM_NCMOUSEMOVE, HTMENU, ScreenAt(ItemPoint(0)));
    EXPECT_EQ(bar.Items()[0]->state, 1);
    EXPECT_EQ(bar.GetHoverItem(), bar.Items()[0].get());
    SetCursorPos(5, 5);
    guitest::PumpFor(300);
    EXPECT_EQ(bar.Items()[0]->state, 0);
    EXPECT_EQ(bar.GetHoverItem(), nullptr);

    // A press opens File's drop-down below the item.
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, ScreenAt(ItemPoint(0)));
    EXPECT_EQ(g_heard.initMenu, 1);
    ASSERT_EQ(OpenIndex(), 0);
    EXPECT_EQ(bar.Items()[0]->state, 2);
    EXPECT_EQ(g_popups.current, file);
    RECT popup;
    GetWindowRect(bar.Items()[0]->GetPopupWindow(), &popup);
    RECT w;
    GetWindowRect(window, &w);
    EXPECT_EQ(popup.top, w.top + bar.Items()[0]->GetRect().bottom);
    EXPECT_EQ(popup.left, w.left + bar.Items()[0]->GetRect().left);

    // Moving along the bar switches the drop-down without a click.
    SendMessageA(window, kSkinMsgPopupMouseOutside, 0, ScreenAt(ItemPoint(1)));
    EXPECT_EQ(OpenIndex(), 1);
    EXPECT_EQ(g_popups.current, edit);
    EXPECT_EQ(g_popups.open, 1);
    EXPECT_EQ(bar.Items()[0]->state, 0);

    // A press on the open item closes it and leaves it hot.
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, ScreenAt(ItemPoint(1)));
    EXPECT_EQ(OpenIndex(), -1);
    EXPECT_EQ(g_popups.open, 0);
    EXPECT_EQ(bar.Items()[1]->state, 1);

    // An item without a submenu posts its command.
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, ScreenAt(ItemPoint(2)));
    guitest::PumpFor(50);
    ASSERT_EQ(g_heard.commands.size(), 1u);
    EXPECT_EQ(g_heard.commands[0], kAbout);

    // The popup tells its owner that the menu ended.
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, ScreenAt(ItemPoint(3)));
    EXPECT_EQ(OpenIndex(), 3);
    SendMessageA(window, kSkinMsgMenuEnded, 0, 0);
    EXPECT_EQ(OpenIndex(), 3) << "a notice of a drop-down that has not ended";
    g_popups.ended = true;
    SendMessageA(window, kSkinMsgMenuEnded, 0, 0);
    EXPECT_EQ(OpenIndex(), -1);
    EXPECT_EQ(g_popups.open, 0);
    guitest::SaveScreenshot(window, "skinned_frame_menu");
}

TEST_F(FrameSkinner, UnskinningWhileAnItemIsHotLeavesNoTimerBehind)
{
    MakeFrame();
    SendMessageA(window, WM_NCMOUSEMOVE, HTMENU, ScreenAt(ItemPoint(0)));
    ASSERT_EQ(frame->MenuBar().Items()[0]->state, 1);  // the hover timer runs
    const UINT_PTR timer = reinterpret_cast<UINT_PTR>(&frame->MenuBar());  // its id
    ASSERT_TRUE(SkinDetachWindow(window));
    frame = nullptr;
    // A timer left behind would call the deleted bar.
    EXPECT_FALSE(KillTimer(window, timer));
    EXPECT_EQ(GetMenu(window), menu);
}

TEST_F(FrameSkinner, TheMenuBarFollowsTheMenuKeys)
{
    MakeFrame();
    SkinMenuBar& bar = frame->MenuBar();
    EXPECT_EQ(MenuKey('E', 0), 0);  // no Alt: not the bar's
    EXPECT_EQ(OpenIndex(), -1);
    EXPECT_EQ(MenuKey('E'), 1);
    EXPECT_EQ(OpenIndex(), 1);
    EXPECT_EQ(MenuKey(VK_RIGHT, 0), 1);
    EXPECT_EQ(OpenIndex(), -1);  // About has no submenu: its command is posted
    guitest::PumpFor(50);
    ASSERT_EQ(g_heard.commands.size(), 1u);
    EXPECT_EQ(g_heard.commands[0], kAbout);

    EXPECT_EQ(MenuKey('H'), 1);
    EXPECT_EQ(OpenIndex(), 3);
    EXPECT_EQ(MenuKey(VK_RIGHT, 0), 1);  // past the last comes the first
    EXPECT_EQ(OpenIndex(), 0);
    EXPECT_EQ(MenuKey(VK_LEFT, 0), 1);  // before the first comes the last
    EXPECT_EQ(OpenIndex(), 3);
    EXPECT_EQ(MenuKey(WPARAM(-1)), 1);  // Alt alone closes
    EXPECT_EQ(OpenIndex(), -1);
    EXPECT_EQ(g_popups.open, 0);

    // F10 is consumed and opens nothing.
    const size_t opened = g_popups.opened.size();
    EXPECT_EQ(MenuKey(VK_F10, 0), 1);
    EXPECT_EQ(g_popups.opened.size(), opened);
    EXPECT_EQ(MenuKey('Q'), 0);  // no item has it
    EXPECT_EQ(bar.GetOpenItem(), nullptr);
}

TEST_F(FrameSkinner, AMenuSetLaterIsAdoptedAndTheMenuGoesBackAtTheEnd)
{
    MakeFrame();
    HMENU other = CreateMenu();
    AppendMenuA(other, MF_STRING, 900, "&Only");
    SetMenu(window, other);
    SendMessageA(window, WM_NCPAINT, 1, 0);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_EQ(frame->GetMenu(), other);
    ASSERT_EQ(frame->MenuBar().Items().size(), 1u);

    // SetMenu through the skinner refuses what is not a menu.
    EXPECT_FALSE(frame->SetMenu(nullptr));
    EXPECT_TRUE(frame->SetMenu(menu));
    EXPECT_EQ(frame->MenuBar().Items().size(), 4u);

    // Unskinning hands the menu back to the window.
    ASSERT_TRUE(SkinDetachWindow(window));
    EXPECT_EQ(GetMenu(window), menu);
    DestroyMenu(other);

    // A skinned window gets its menu back when it is destroyed.
    ASSERT_TRUE(SkinSetFrameWindow(window, "MainFrame"));
    EXPECT_EQ(GetMenu(window), nullptr);
    DestroyWindow(window);
    EXPECT_EQ(g_heard.menuAtDestroy, menu);
    window = nullptr;
}

// Default processing can run for long and dispatch what destroys the
// frame, deleting its skinner: the skinner must not touch itself afterwards.
TEST_F(FrameSkinner, AFrameDestroyedDuringDefaultProcessingLeavesItsSkinnerAlone)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinFrame));
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool onCaption;  // lParam: a screen point on the caption
    } cases[] = {
        {"press on the caption", WM_NCLBUTTONDOWN, HTCAPTION, true},
        {"move over the caption", WM_NCMOUSEMOVE, HTCAPTION, true},
        {"activation", WM_NCACTIVATE, FALSE, false},
        {"menu", WM_INITMENU, 0, false},
        {"icon", WM_SETICON, ICON_SMALL, false},
        {"title", WM_SETTEXT, 0, false},
    };
    for (const Case& c : cases) {
        MakeFrame();
        const LPARAM lParam = c.message == WM_SETTEXT ? reinterpret_cast<LPARAM>("Gone")
                              : c.onCaption           ? ScreenAt(POINT{40, 10})
                                                      : 0;
        g_heard.destroyOn = c.message;
        const int touches = skintest::TouchesOfFreedBlocks();
        SendMessageA(window, c.message, c.wParam, lParam);
        EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touches) << c.name << ": the deleted skinner was used";
        EXPECT_FALSE(IsWindow(window)) << c.name;
        EXPECT_EQ(g_heard.destroyOn, 0u) << c.name << ": the window never saw the message";
        g_heard.destroyOn = 0;
        window = nullptr;
        if (menu && IsMenu(menu))
            DestroyMenu(menu);
    }
    skintest::TrapFreedBlocksOfSize(0);
}

TEST_F(FrameSkinner, TwoCaptionClicksOnAMaximisedFrameWithinASecondRestoreIt)
{
    MakeFrame();
    ShowWindow(window, SW_MAXIMIZE);
    guitest::PumpFor(100);
    ASSERT_TRUE(IsZoomed(window));
    // Maximised to the work area.
    RECT w, work;
    GetWindowRect(window, &w);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(EqualRect(&w, &work));
    const RECT& top = frame->GetPart(kPartMiddleTop);
    const POINT caption = {(top.left + top.right) / 2, top.bottom - 4};
    EXPECT_EQ(HitAt(caption), HTCAPTION);

    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, ScreenAt(caption));
    Sleep(1200);
    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, ScreenAt(caption));
    guitest::PumpFor(50);
    EXPECT_TRUE(IsZoomed(window)) << "1.2 s apart is no double click";

    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, ScreenAt(caption));
    SendMessageA(window, WM_NCLBUTTONUP, HTCAPTION, ScreenAt(caption));
    guitest::PumpFor(50);
    EXPECT_FALSE(IsZoomed(window));
}

TEST_F(FrameSkinner, TheBarOpensTheSkinnedPopupMenu)
{
    // The library's own popup menu window instead of the stand-in: a new
    // start registers its factory again.
    RegisterPopupMenuFactory(nullptr);
    SkinLibExit();
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    MakeFrame();
    SkinMenuBar& bar = frame->MenuBar();
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, ScreenAt(ItemPoint(0)));
    ASSERT_EQ(OpenIndex(), 0);
    HWND popup = bar.Items()[0]->GetPopupWindow();
    if (!popup)
        GTEST_SKIP() << "no skinned popup menu in this build";
    char name[64] = {};
    GetClassNameA(popup, name, sizeof name);
    EXPECT_STREQ(name, kSkinPopupMenuClass);
    EXPECT_TRUE(IsWindowVisible(popup));
    RECT p, w;
    GetWindowRect(popup, &p);
    GetWindowRect(window, &w);
    EXPECT_EQ(p.top, w.top + bar.Items()[0]->GetRect().bottom);
    guitest::PumpFor(100);
    RECT both;
    UnionRect(&both, &w, &p);
    guitest::Capture::OfScreen(both).SavePng(guitest::ScreenshotDir() + "/skinned_frame_popup.png");
    // Right moves to the next menu; Alt alone closes it.
    EXPECT_EQ(MenuKey(VK_RIGHT, 0), 1);
    EXPECT_EQ(OpenIndex(), 1);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(MenuKey(WPARAM(-1)), 1);
    EXPECT_EQ(OpenIndex(), -1);
    guitest::PumpFor(50);

    // Typed keys reach the bar through the library's keyboard hook:
    // Alt+H opens Help; Right in the open menu goes round to File.
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
    guitest::PumpFor(100);
    if (GetActiveWindow() != window)
        GTEST_SKIP() << "the frame did not become active";
    auto key = [](BYTE vk, bool up) { keybd_event(vk, BYTE(MapVirtualKeyA(vk, 0)), up ? KEYEVENTF_KEYUP : 0, 0); };
    key(VK_MENU, false);
    key('H', false);
    key('H', true);
    key(VK_MENU, true);
    EXPECT_TRUE(guitest::PumpUntil([&] { return OpenIndex() == 3; }, 2000)) << "open: " << OpenIndex();
    key(VK_RIGHT, false);
    key(VK_RIGHT, true);
    EXPECT_TRUE(guitest::PumpUntil([&] { return OpenIndex() == 0; }, 2000)) << "open: " << OpenIndex();
    SendMessageA(window, kSkinMsgMenuKey, WPARAM(-1), 0x20000000);
    guitest::PumpFor(50);
}

// --- MDI ----------------------------------------------------------------------

LRESULT CALLBACK MdiFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND client = FindWindowExA(window, nullptr, "MDIClient", nullptr);
    return DefFrameProcA(window, client, message, wParam, lParam);
}

LRESULT CALLBACK MdiChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcA(window, message, wParam, lParam);
}

class MdiFrameSkinner : public FrameSkinner {
protected:
    // An MDI frame skinned from MainFrame with its client and one skinned
    // child, shown.
    void MakeMdiFrame()
    {
        WNDCLASSA wc = {};
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpfnWndProc = &MdiFrameProc;
        wc.lpszClassName = "SkinMdiFrameTest";
        RegisterClassA(&wc);
        wc.lpfnWndProc = &MdiChildProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "SkinMdiChildTest";
        RegisterClassA(&wc);

        menu = MakeMenuBar();
        window = CreateWindowExA(0, "SkinMdiFrameTest", "MDI frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 30, 30,
                                 500, 360, nullptr, menu, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        CLIENTCREATESTRUCT ccs = {GetSubMenu(menu, 0), 5000};
        client = CreateWindowExA(0, "MDIClient", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 200,
                                 window, nullptr, GetModuleHandleA(nullptr), &ccs);
        ASSERT_NE(client, nullptr);
        ASSERT_TRUE(SkinSetFrameWindow(window, "MainFrame"));
        frame = dynamic_cast<SkinFrame*>(SkinManager::Instance().FindSkinObject(window));
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(frame->GetMdiClient(), nullptr);
        ShowWindow(window, SW_SHOW);
        guitest::PumpFor(50);

        MDICREATESTRUCTA mcs = {};
        mcs.szClass = "SkinMdiChildTest";
        mcs.szTitle = "Child";
        mcs.hOwner = GetModuleHandleA(nullptr);
        mcs.x = mcs.y = 10;
        mcs.cx = 200;
        mcs.cy = 120;
        mcs.style = WS_OVERLAPPEDWINDOW;
        child = reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
        ASSERT_NE(child, nullptr);
        ASSERT_TRUE(SkinSetFrameWindow(child, "MainFrame"));
    }
    void MaximiseChild()
    {
        SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        guitest::PumpFor(100);
    }
    HWND client = nullptr, child = nullptr;
};

TEST_F(MdiFrameSkinner, AMaximisedMdiChildCoversTheClientAndPutsItsButtonsOnTheBar)
{
    MakeMdiFrame();
    auto* childFrame = dynamic_cast<SkinFrame*>(SkinManager::Instance().FindSkinObject(child));
    ASSERT_NE(childFrame, nullptr);
    EXPECT_TRUE(childFrame->IsMdiChild());

    MaximiseChild();
    ASSERT_TRUE(IsZoomed(child));
    RECT clientArea, childClient;
    GetClientRect(client, &clientArea);
    GetClientRect(child, &childClient);
    POINT origin = {0, 0};
    MapWindowPoints(child, client, &origin, 1);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(Width(childClient), Width(clientArea));
    EXPECT_EQ(Height(childClient), Height(clientArea));

    SkinMenuBar& bar = frame->MenuBar();
    EXPECT_TRUE(bar.IsMdiChildMaximized());
    SendMessageA(window, WM_NCPAINT, 1, 0);
    const RECT barRect = bar.GetRect();
    EXPECT_EQ(bar.Items()[0]->GetRect().left, barRect.left + 20);
    EXPECT_EQ(bar.GetMdiButton(SkinMenuBar::kMdiClose).rect.right, barRect.right);
    guitest::SaveScreenshot(window, "skinned_mdi_frame");

    // The close button closes the child.
    const RECT& close = bar.GetMdiButton(SkinMenuBar::kMdiClose).rect;
    const POINT at = {(close.left + close.right) / 2, (close.top + close.bottom) / 2};
    EXPECT_EQ(HitAt(at), HTMENU);
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, ScreenAt(at));
    EXPECT_EQ(bar.GetMdiButton(SkinMenuBar::kMdiClose).state, 2);
    SendMessageA(window, WM_NCLBUTTONUP, HTMENU, ScreenAt(at));
    guitest::PumpFor(100);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(bar.IsMdiChildMaximized());
}

// The maximised child's system menu, opened from the icon on the bar, runs
// its message loop inside the frame's mouse message: a frame destroyed
// meanwhile leaves the deleted skinner of its MDI client alone.
TEST_F(MdiFrameSkinner, AFrameDestroyedWhileTheChildsSystemMenuIsOpenLeavesItsClientsSkinnerAlone)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinMdiClient));
    MakeMdiFrame();
    MaximiseChild();
    ASSERT_TRUE(frame->MenuBar().IsMdiChildMaximized());
    SendMessageA(window, WM_NCPAINT, 1, 0);
    const RECT icon = frame->MenuBar().GetMdiButton(SkinMenuBar::kMdiIcon).rect;
    const POINT at = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    int menusOpen = 0, touchesAtDestruction = -1;
    guitest::RunLater(80, [&] {
        menusOpen = g_popups.open;
        DestroyWindow(window);
        // Counted from here: what the menu's caller does once the loop ends.
        touchesAtDestruction = skintest::TouchesOfFreedBlocks();
        g_popups.ended = true;
    });
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU, ScreenAt(at));
    guitest::PumpFor(50);
    skintest::TrapFreedBlocksOfSize(0);
    EXPECT_EQ(menusOpen, 1) << "no system menu came up";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touchesAtDestruction) << "the deleted skinner was used";
    window = nullptr;
}

// The client window dies before its frame, and the client's skinner with
// it; the maximised child's buttons on the frame's bar are still drawn and
// its size still counted while the frame goes, and none of that may reach
// the deleted skinner.
TEST_F(MdiFrameSkinner, AFrameDestroyedWithAMaximisedChildLeavesItsClientsSkinnerAlone)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinMdiClient));
    MakeMdiFrame();
    MaximiseChild();
    ASSERT_TRUE(frame->MenuBar().IsMdiChildMaximized());
    const int touchesBefore = skintest::TouchesOfFreedBlocks();
    DestroyWindow(window);
    guitest::PumpFor(50);
    skintest::TrapFreedBlocksOfSize(0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touchesBefore) << "the deleted skinner was used";
    window = nullptr;
}

}  // namespace
