// GDI and USER objects under Wine with the test skin: every kind of skinned
// window and control - a dialog holding one of each control kind, a frame
// with its menu bar and drop-down, a shaped window, the library's popup
// menu with a submenu open, the tooltip drawing rich text, the skinned
// scroll bars of an edit and a list box, an animation playing - is made,
// painted, hovered and resized over and over, then destroyed; the
// process's count of GDI and USER objects is then where it started. The
// count (guitest::CountGuiObjects) probes handle values, since Wine's
// GetGuiResources counts nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/popups/skin_popup_menu.h"
#include "skin/skinners/popups/skin_tooltip.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

// A stand-in for the shell's link control and an MFC control bar class.
LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT || message == WM_PRINTCLIENT) {
        PAINTSTRUCT ps;
        HDC dc = message == WM_PAINT ? BeginPaint(window, &ps) : reinterpret_cast<HDC>(wParam);
        RECT r;
        GetClientRect(window, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        if (message == WM_PAINT)
            EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterStandIns()
{
    static bool done = false;
    if (done)
        return;
    for (const char* name : {"Link Window", "AfxControlBar42s"}) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &PlainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        RegisterClassA(&wc);
    }
    done = true;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HMENU MakeMenu()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "&Open\tCtrl+O");
    HMENU more = CreatePopupMenu();
    AppendMenuA(more, MF_STRING, 201, "&Alpha");
    AppendMenuA(more, MF_STRING | MF_CHECKED, 202, "&Beta");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 103, "E&xit");
    return menu;
}

HMENU MakeMenuBar()
{
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(MakeMenu()), "&File");
    AppendMenuA(bar, MF_STRING, 300, "&About");
    return bar;
}

const int kAnimate = 40;

// Wine's month calendar makes a new bold font at every WM_SETFONT and
// never deletes the last one (nor, at destruction, any): those fonts are
// Wine's, not the skin's. Counts the WM_SETFONTs that reach month
// calendars (the date-time picker's own one among them) while it lives.
class WineMonthCalFonts {
public:
    WineMonthCalFonts()
    {
        count_ = 0;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
    }
    ~WineMonthCalFonts() { UnhookWindowsHookEx(hook_); }
    int Count() const { return count_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        char name[32] = {};
        if (code == HC_ACTION && call->message == WM_SETFONT && GetClassNameA(call->hwnd, name, sizeof name) &&
            lstrcmpiA(name, "SysMonthCal32") == 0)
            ++count_;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static int count_;
    HHOOK hook_;
};
int WineMonthCalFonts::count_ = 0;

class GuiObjects : public skintest::ControlDialogTest {
protected:
    void SetUp() override
    {
        skintest::ControlDialogTest::SetUp();
        RegisterStandIns();
        // The test skin with DateTime, MonthCalendar and Rebar objects, and a
        // quick Tooltip object for the rich-text tooltip.
        std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
        ASSERT_NE(package, nullptr);
        ASSERT_TRUE(skintest::AddCalendarObjects(*package));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &FrameProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "SkinGuiObjectsFrame";
        RegisterClassA(&wc);
        std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(kSkinRebar);
        auto* rebar = dynamic_cast<SkinRebarData*>(object.get());
        rebar->SetName("Rebar");
        rebar->background = skintest::CellImage(4, 13);
        rebar->bandImage = skintest::CellImage(5, 13);
        ASSERT_TRUE(package->AddObject(std::move(object)));
        std::unique_ptr<SkinTooltipData> tip(new SkinTooltipData());
        tip->SetName("QuickTip");
        tip->showDelay = 10;
        tip->hideDelay = 5000;
        tip->styleSheet = "b {color:red} .note {font-style:italic; background-color:#FFFFC0}";
        quickTip = tip.get();
        ASSERT_TRUE(package->AddObject(std::move(tip)));
        package->ResolveAll();
        ASSERT_TRUE(Install(std::move(package)));
        ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
        clip = skintest::AnimateClipPath();
    }

    // The dialog with one control of every kind, filled in.
    HWND MakeControlsDialog()
    {
        guitest::DialogTemplate t("Every control", 0, 0, 330, 250,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        t.Button(1, "Push", 4, 4, 40, 14)
            .Button(2, "Check", 48, 4, 40, 14, BS_AUTOCHECKBOX | WS_TABSTOP)
            .Button(3, "Radio", 92, 4, 40, 14, BS_AUTORADIOBUTTON | WS_TABSTOP)
            .Button(4, "Group", 136, 0, 60, 24, BS_GROUPBOX)
            .Static(5, "A label", 200, 4, 40, 10)
            .Edit(6, 4, 22, 90, 30, ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | WS_BORDER)
            .Add("LISTBOX", 7, "", 98, 22, 60, 30, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY)
            .Add("COMBOBOX", 8, "", 162, 22, 60, 60, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL)
            .Add("msctls_progress32", 9, "", 4, 56, 80, 10, WS_CHILD | WS_VISIBLE)
            .Add("SCROLLBAR", 10, "", 88, 56, 80, 10, WS_CHILD | WS_VISIBLE | SBS_HORZ)
            .Add("msctls_trackbar32", 11, "", 172, 56, 80, 16, WS_CHILD | WS_VISIBLE)
            .Add("msctls_updown32", 12, "", 256, 56, 12, 16, WS_CHILD | WS_VISIBLE)
            .Add("SysTabControl32", 13, "", 4, 76, 120, 40, WS_CHILD | WS_VISIBLE)
            .Add("ToolbarWindow32", 14, "", 128, 76, 120, 16,
                 WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_FLAT)
            .Add("ReBarWindow32", 15, "", 128, 96, 120, 20, WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN)
            .Add("SysHeader32", 16, "", 252, 76, 74, 12, WS_CHILD | WS_VISIBLE | HDS_HORZ)
            .Add("SysListView32", 17, "", 4, 120, 100, 50, WS_CHILD | WS_VISIBLE | LVS_REPORT | WS_BORDER)
            .Add("SysTreeView32", 18, "", 108, 120, 80, 50,
                 WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | WS_BORDER)
            .Add("SysDateTimePick32", 19, "", 192, 120, 80, 14, WS_CHILD | WS_VISIBLE)
            .Add("SysMonthCal32", 20, "", 192, 136, 130, 90, WS_CHILD | WS_VISIBLE)
            .Add("Link Window", 22, "", 98, 174, 60, 12, WS_CHILD | WS_VISIBLE)
            .Add("AfxControlBar42s", 23, "", 4, 192, 60, 20, WS_CHILD | WS_VISIBLE)
            .Add("SysAnimate32", kAnimate, "", 68, 192, 40, 30, WS_CHILD | WS_VISIBLE | ACS_TRANSPARENT)
            .Add("msctls_statusbar32", 25, "", 0, 238, 330, 12, WS_CHILD | WS_VISIBLE | CCS_BOTTOM);
        HWND made = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr,
                                               &skintest::TestDialogProc, 0);
        if (!made)
            return nullptr;
        auto item = [made](int id) { return GetDlgItem(made, id); };
        SetWindowTextA(item(6), "Some text\r\nover lines\r\nthat scroll\r\nand scroll\r\nand scroll");
        for (const char* s : {"One", "Two", "Three", "Four", "Five", "Six"}) {
            SendMessageA(item(7), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
            SendMessageA(item(8), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        }
        SendMessageA(item(8), CB_SETCURSEL, 1, 0);
        SendMessageA(item(9), PBM_SETPOS, 40, 0);
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 30, 0};
        SendMessageA(item(10), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
        for (const char* s : {"First", "Second"}) {
            TCITEMA tab = {};
            tab.mask = TCIF_TEXT;
            tab.pszText = const_cast<char*>(s);
            SendMessageA(item(13), TCM_INSERTITEMA, 9, reinterpret_cast<LPARAM>(&tab));
        }
        SendMessageA(item(14), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON buttons[3] = {};
        for (int i = 0; i < 3; ++i) {
            buttons[i].iBitmap = -1;
            buttons[i].idCommand = 400 + i;
            buttons[i].fsState = BYTE(i == 1 ? TBSTATE_ENABLED | TBSTATE_CHECKED : TBSTATE_ENABLED);
            buttons[i].fsStyle = BYTE(i == 2 ? TBSTYLE_DROPDOWN : TBSTYLE_BUTTON);
            buttons[i].iString = reinterpret_cast<INT_PTR>("Tool");
        }
        SendMessageA(item(14), TB_ADDBUTTONSA, 3, reinterpret_cast<LPARAM>(buttons));
        REBARBANDINFOA band = {};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_TEXT | RBBIM_SIZE | RBBIM_CHILDSIZE;
        band.lpText = const_cast<char*>("Band");
        band.cx = 100;
        band.cyMinChild = 16;
        SendMessageA(item(15), RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&band));
        HDITEMA column = {};
        column.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        column.cxy = 60;
        column.pszText = const_cast<char*>("Name");
        column.fmt = HDF_CENTER;
        SendMessageA(item(16), HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&column));
        LVCOLUMNA lvColumn = {};
        lvColumn.mask = LVCF_TEXT | LVCF_WIDTH;
        lvColumn.cx = 80;
        lvColumn.pszText = const_cast<char*>("File");
        SendMessageA(item(17), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&lvColumn));
        for (int i = 0; i < 8; ++i) {
            LVITEMA row = {};
            row.mask = LVIF_TEXT;
            row.iItem = i;
            row.pszText = const_cast<char*>("clip.mpg");
            SendMessageA(item(17), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
        }
        TVINSERTSTRUCTA node = {};
        node.hInsertAfter = TVI_LAST;
        node.item.mask = TVIF_TEXT;
        node.item.pszText = const_cast<char*>("Disc");
        auto root =
            reinterpret_cast<HTREEITEM>(SendMessageA(item(18), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&node)));
        node.hParent = root;
        for (int i = 0; i < 6; ++i) {
            node.item.pszText = const_cast<char*>("Track");
            SendMessageA(item(18), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&node));
        }
        SendMessageA(item(18), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        int edges[2] = {120, -1};
        SendMessageA(item(25), SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
        SendMessageA(item(25), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Ready"));
        if (!clip.empty() && SendMessageA(item(kAnimate), ACM_OPENA, 0, reinterpret_cast<LPARAM>(clip.c_str())))
            SendMessageA(item(kAnimate), ACM_PLAY, WPARAM(-1), MAKELONG(0, -1));
        SetWindowPos(made, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        return made;
    }

    // Every child of the window gets the mouse over it, pressed and
    // released, and then leaving it.
    static void HoverChildren(HWND parent)
    {
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT r;
            GetClientRect(child, &r);
            const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
            SendMessageA(child, WM_MOUSEMOVE, 0, middle);
            SendMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
            SendMessageA(child, WM_MOUSELEAVE, 0, 0);
        }
    }

    // The library's popup menu with its submenu opened and painted, then
    // ended by Escape.
    void TrackMenu(HWND owner)
    {
        HMENU menu = MakeMenu();
        guitest::RunLater(40, [] {
            SkinPopupMenu* popup = SkinPopupMenu::FromWindow(FindWindowA(kPopupMenuClass, nullptr));
            if (!popup)
                return;
            HWND top = popup->GetWindow();
            PostMessageA(top, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(top, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(top, WM_KEYDOWN, VK_RIGHT, 0);
            guitest::RunLater(60, [top] {
                if (SkinPopupMenu* root = SkinPopupMenu::FromWindow(top)) {
                    if (root->GetChild())
                        RedrawWindow(root->GetChild()->GetWindow(), nullptr, nullptr,
                                     RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
                    PostMessageA(top, WM_KEYDOWN, VK_ESCAPE, 0);
                }
            });
        });
        SkinGdiUtil::TrackPopupMenu(menu, TPM_RETURNCMD, 300, 200, owner, FALSE);
        guitest::CancelPending();
        DestroyMenu(menu);
    }

    // Makes every kind of skinned window, works them `rounds` times and
    // destroys them again.
    void Exercise(int rounds)
    {
        HWND controls = MakeControlsDialog();
        ASSERT_NE(controls, nullptr);
        ASSERT_NE(SkinManager::Instance().FindSkinObject(controls), nullptr);
        for (int id = 1; id <= kAnimate; ++id) {
            if (HWND control = GetDlgItem(controls, id))
                EXPECT_NE(SkinManager::Instance().FindSkinObject(control), nullptr) << "control " << id;
        }
        HWND frame = CreateWindowExA(0, "SkinGuiObjectsFrame", "Frame", WS_OVERLAPPEDWINDOW, 60, 60, 420, 260,
                                     nullptr, MakeMenuBar(), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(SkinSetFrameWindow(frame, "MainFrame"));
        ShowWindow(frame, SW_SHOWNA);
        HWND shaped = guitest::CreateTestWindow("Shaped", 500, 80, 200, 120);
        ASSERT_TRUE(SkinManager::Instance().SetShapeSkin(shaped, "Quorbel"));
        const HWND tops[] = {controls, frame, shaped};
        SkinTooltip* tooltip = GetSkinTooltipWindow();
        ASSERT_NE(tooltip, nullptr);
        for (int round = 0; round < rounds; ++round) {
            for (HWND top : tops) {
                RedrawWindow(top, nullptr, nullptr,
                             RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                HoverChildren(top);
                RECT r;
                GetWindowRect(top, &r);
                const int grow = round % 2 ? -24 : 24;
                SetWindowPos(top, nullptr, 0, 0, r.right - r.left + grow, r.bottom - r.top + grow,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                SendMessageA(top, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(r.left + 40, r.top + 10));
            }
            SendMessageA(frame, kSkinMsgMenuKey, 'F', 0x20000000);
            guitest::PumpFor(30);
            SendMessageA(frame, kSkinMsgMenuKey, WPARAM(-1), 0x20000000);
            TrackMenu(frame);
            tooltip->ShowFor(nullptr, quickTip, "<b>Bold</b>, <i>italic</i> and <span class=note>noted</span>");
            guitest::PumpUntil([tooltip] { return IsWindowVisible(tooltip->GetWindow()) != FALSE; }, 1000);
            RedrawWindow(tooltip->GetWindow(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
            tooltip->Hide();
            guitest::PumpFor(30);
        }
        SendMessageA(GetDlgItem(controls, kAnimate), ACM_STOP, 0, 0);
        HMENU bar = GetMenu(frame);
        for (HWND top : tops)
            DestroyWindow(top);
        if (bar && IsMenu(bar))
            DestroyMenu(bar);
        guitest::PumpFor(50);
    }

    SkinTooltipData* quickTip = nullptr;
    std::string clip;
};

TEST_F(GuiObjects, EveryKindOfSkinnedWindowGivesBackWhatItPaintsWith)
{
    // Once to let the system and the library make what they keep (caches,
    // window classes, shared cursors), then counted.
    Exercise(2);
    const guitest::GuiObjectCount before = guitest::CountGuiObjects();
    ASSERT_GT(before.gdi, 0) << "the count sees no GDI objects";
    ASSERT_GT(before.user, 0) << "the count sees no USER objects";
    WineMonthCalFonts wineLeaks;
    for (int i = 0; i < 3; ++i)
        Exercise(4);
    const guitest::GuiObjectCount after = guitest::CountGuiObjects();
    EXPECT_EQ(after.gdi, before.gdi + wineLeaks.Count()) << "GDI objects left behind";
    EXPECT_EQ(after.user, before.user) << "USER objects left behind";
}

// The count itself sees what is made and freed.
TEST(GuiObjectCount, SeesObjectsComeAndGo)
{
    DestroyWindow(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    const guitest::GuiObjectCount start = guitest::CountGuiObjects();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HRGN region = CreateRectRgn(0, 0, 4, 4);
    HMENU menu = CreatePopupMenu();
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    BYTE bits[8] = {};
    HICON icon = CreateIcon(nullptr, 2, 2, 1, 1, bits, bits);
    const guitest::GuiObjectCount made = guitest::CountGuiObjects();
    EXPECT_GE(made.gdi, start.gdi + 2);
    EXPECT_GE(made.user, start.user + 3);
    DeleteObject(brush);
    DeleteObject(region);
    DestroyMenu(menu);
    DestroyWindow(window);
    DestroyIcon(icon);
    const guitest::GuiObjectCount gone = guitest::CountGuiObjects();
    EXPECT_EQ(gone.gdi, start.gdi);
    EXPECT_EQ(gone.user, start.user);
}

}  // namespace
