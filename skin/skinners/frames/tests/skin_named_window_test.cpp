// The dialog skinner under Wine with the test skin: dialogs made while a
// default dialog skin is set are framed from "Dialog" (cells of rows 0 and
// 1, the close button from cell 0,4), sized to keep their client area,
// hit-tested by the frame parts; dialogs without a dialog frame only get
// their background; "SKINCLIENT" paints the client from the ClIENT cell;
// unskinning gives the system frame back. Screenshots go to screenshots/.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/frames/skin_named_window.h"
#include "skin/skinners/tests/freed_object_trap.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A dialog that destroys itself when it is handed g_destroyOn.
UINT g_destroyOn = 0;

INT_PTR CALLBACK DestroyingDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (g_destroyOn && message == g_destroyOn) {
        g_destroyOn = 0;
        DestroyWindow(dialog);
    }
    return message == WM_INITDIALOG;
}

guitest::DialogTemplate FramedTemplate(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)
{
    guitest::DialogTemplate t("Skinned dialog", 0, 0, 180, 90, style);
    t.Static(10, "A label", 10, 10, 80, 10).Edit(11, 10, 26, 100, 14).Button(IDOK, "OK", 120, 66, 50, 14);
    return t;
}

HWND MakeDialog(guitest::DialogTemplate& t)
{
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &DialogProc, 0);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

class DialogSkinner : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    }
    void TearDown() override
    {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        SkinLibExit();
    }
    void ShowAndActivate()
    {
        SetWindowPos(dialog, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog);
        SetActiveWindow(dialog);
        RedrawWindow(dialog, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        guitest::PumpFor(150);
    }
    LRESULT HitAt(int windowX, int windowY)
    {
        RECT w;
        GetWindowRect(dialog, &w);
        return SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(w.left + windowX, w.top + windowY));
    }
    HWND dialog = nullptr;
};

TEST_F(DialogSkinner, TheDefaultDialogSkinFramesNewDialogsFromTheSkin)
{
    ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    guitest::DialogTemplate t = FramedTemplate();
    dialog = MakeDialog(t);
    ASSERT_NE(dialog, nullptr);
    auto* skinner = dynamic_cast<SkinNamedWindow*>(SkinManager::Instance().FindSkinObject(dialog));
    ASSERT_NE(skinner, nullptr);
    EXPECT_STREQ(skinner->GetSkinObjectName(), "Dialog");
    EXPECT_TRUE(skinner->IsFramed());
    // The frame parts around the client: 10-pixel sides, 30 on top, 12 below.
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    EXPECT_EQ(Width(window) - Width(client), 20);
    EXPECT_EQ(Height(window) - Height(client), 42);

    ShowAndActivate();
    const int row = skinner->IsActive() ? 0 : 1;
    const std::string shot = guitest::SaveScreenshot(dialog, "skinned_dialog");
    EXPECT_FALSE(shot.empty());
    guitest::Capture capture = guitest::Capture::OfWindow(dialog, false);
    ASSERT_TRUE(capture.Valid());
    const int w = capture.Width(), h = capture.Height();
    struct Probe {
        int x, y, column;
    } probes[] = {
        {40, 3, 0},         // TOPLEFT
        {w - 110, 3, 1},    // MIDDLETOP, left of the top-right part, above the title
        {w - 50, 3, 2},     // TOPRIGHT
        {4, h / 2, 3},      // MIDDLELEFT
        {w - 4, h / 2, 5},  // MIDDLERIGHT
        {4, h - 4, 6},      // BOTTOMLEFT
        {w / 2, h - 4, 7},  // BOTTOMMIDDLE
        {w - 4, h - 4, 8},  // BOTTOMRIGHT
    };
    for (const Probe& p : probes)
        EXPECT_EQ(capture.At(p.x, p.y), Cell(p.column, row))
            << "cell " << p.column << " at " << p.x << "," << p.y << " is " << guitest::ColorText(capture.At(p.x, p.y));
    // The close button (RECT 252 7 268 23 of a 276-pixel skin, kept to the
    // right edge) shows its normal image, cell 0,4.
    const int buttonX = 252 + (w - 276) + 8;
    EXPECT_EQ(capture.At(buttonX, 15), Cell(0, 4)) << guitest::ColorText(capture.At(buttonX, 15));

    // Hit tests of a fixed-size dialog: the top row is caption, the sides
    // and the bottom row are nowhere.
    EXPECT_EQ(HitAt(40, 15), HTCAPTION);
    EXPECT_EQ(HitAt(2, 2), HTCAPTION);
    EXPECT_EQ(HitAt(4, h / 2), HTNOWHERE);
    EXPECT_EQ(HitAt(w / 2, h - 4), HTNOWHERE);
    EXPECT_EQ(HitAt(w / 2, h / 2), HTCLIENT);
    EXPECT_EQ(HitAt(buttonX, 15), HTCAPTION);

    MINMAXINFO info = {};
    info.ptMaxTrackSize = POINT{5000, 5000};
    SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 2 + 86 + 103);
    EXPECT_EQ(info.ptMinTrackSize.y, 2 + 30 + 12);
}

TEST_F(DialogSkinner, ASizableDialogHasSizingEdges)
{
    guitest::DialogTemplate t = FramedTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    dialog = MakeDialog(t);
    ASSERT_TRUE(SkinSetDialogWindow(dialog, "Dialog"));
    ShowAndActivate();
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = Width(r), h = Height(r);
    EXPECT_EQ(HitAt(1, 1), HTTOPLEFT);
    EXPECT_EQ(HitAt(150, 1), HTTOP);
    EXPECT_EQ(HitAt(150, 15), HTCAPTION);
    EXPECT_EQ(HitAt(w - 1, 1), HTTOPRIGHT);
    EXPECT_EQ(HitAt(2, h / 2), HTLEFT);
    EXPECT_EQ(HitAt(w - 2, h / 2), HTRIGHT);
    EXPECT_EQ(HitAt(w / 2, h - 2), HTBOTTOM);
    EXPECT_EQ(HitAt(w - 1, h - 1), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(1, h - 1), HTBOTTOMLEFT);
}

TEST_F(DialogSkinner, ADialogWithoutADialogFrameOnlyGetsItsBackground)
{
    ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    guitest::DialogTemplate t = FramedTemplate(WS_POPUP);
    dialog = MakeDialog(t);
    auto* skinner = dynamic_cast<SkinNamedWindow*>(SkinManager::Instance().FindSkinObject(dialog));
    ASSERT_NE(skinner, nullptr);
    EXPECT_FALSE(skinner->IsFramed());
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    EXPECT_EQ(Width(window), Width(client));
    HDC dc = GetDC(dialog);
    EXPECT_EQ(SendMessageA(dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)),
              reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    ReleaseDC(dialog, dc);
}

TEST_F(DialogSkinner, SkinClientPaintsTheClientFromItsCell)
{
    // The test skin with "SKINCLIENT" switched on for Dialog.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT");
    SkinMemoryStream stream(LockResource(LoadResource(nullptr, found)), SizeofResource(nullptr, found),
                            SkinMemoryStream::kDefaultGrowth);
    std::unique_ptr<SkinPackage> package(new SkinPackage());
    ASSERT_TRUE(package->Read(stream));
    auto* frame = dynamic_cast<SkinFrameData*>(package->FindObject("Dialog"));
    ASSERT_NE(frame, nullptr);
    frame->skinClient = 1;
    ASSERT_TRUE(SkinManager::Instance().InstallSkin(package.release()));

    ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    guitest::DialogTemplate t = FramedTemplate();
    dialog = MakeDialog(t);
    ASSERT_NE(dialog, nullptr);
    ShowAndActivate();
    guitest::PumpFor(100);
    guitest::SaveScreenshot(dialog, "skinned_dialog_client");
    guitest::Capture client = guitest::Capture::OfWindow(dialog, true);
    ASSERT_TRUE(client.Valid());
    EXPECT_EQ(client.At(client.Width() - 5, client.Height() / 2), Cell(4, 0))
        << guitest::ColorText(client.At(client.Width() - 5, client.Height() / 2));

    // A child asks for the background behind it (6037).
    HWND label = GetDlgItem(dialog, 10);
    RECT r;
    GetWindowRect(label, &r);
    HDC screen = GetDC(nullptr);
    SkinMemDC behind(screen, Width(r), Height(r));
    ReleaseDC(nullptr, screen);
    SendMessageA(dialog, kSkinMsgChildBackground, reinterpret_cast<WPARAM>(static_cast<HDC>(behind)),
                 reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(GetPixel(behind, 2, 2), Cell(4, 0));
}

// The system's default processing can run for long (the move loop of a
// press on the caption) and dispatch what destroys a modeless dialog,
// deleting its skinner: the skinner must not touch itself afterwards.
TEST_F(DialogSkinner, ADialogDestroyedDuringDefaultProcessingLeavesItsSkinnerAlone)
{
    ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    skintest::TrapFreedBlocksOfSize(sizeof(SkinNamedWindow));
    struct Case {
        const char* name;
        DWORD style;  // 0: a fixed-size dialog
        UINT message;
        WPARAM wParam;
        bool onCaption;  // lParam: a screen point on the caption
    } cases[] = {
        {"press on the caption", 0, WM_NCLBUTTONDOWN, HTCAPTION, true},
        {"release on the caption", 0, WM_NCLBUTTONUP, HTCAPTION, true},
        {"move over the caption", 0, WM_NCMOUSEMOVE, HTCAPTION, true},
        {"double click, sizable", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WM_NCLBUTTONDBLCLK, HTCAPTION,
         true},
        {"activation", 0, WM_NCACTIVATE, FALSE, false},
        {"enabling", 0, WM_ENABLE, TRUE, false},
        {"cursor", 0, WM_SETCURSOR, HTCAPTION, false},
        {"title", 0, WM_SETTEXT, 0, false},
    };
    for (const Case& c : cases) {
        for (const bool framed : {true, false}) {
            if (!framed && c.message != WM_SETTEXT)
                continue;
            const DWORD style = !framed ? WS_POPUP : c.style ? c.style : WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            guitest::DialogTemplate t = FramedTemplate(style);
            dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &DestroyingDialogProc, 0);
            ASSERT_NE(dialog, nullptr) << c.name;
            ASSERT_NE(dynamic_cast<SkinNamedWindow*>(SkinManager::Instance().FindSkinObject(dialog)), nullptr);
            ShowAndActivate();
            RECT r;
            GetWindowRect(dialog, &r);
            const LPARAM lParam = c.message == WM_SETTEXT ? reinterpret_cast<LPARAM>("Gone")
                                  : c.onCaption           ? MAKELPARAM(r.left + 40, r.top + 15)
                                                          : 0;
            g_destroyOn = c.message;
            const int touches = skintest::TouchesOfFreedBlocks();
            SendMessageA(dialog, c.message, c.wParam, lParam);
            EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touches) << c.name << ": the deleted skinner was used";
            EXPECT_FALSE(IsWindow(dialog)) << c.name;
            EXPECT_EQ(g_destroyOn, 0u) << c.name << ": the dialog never saw the message";
            g_destroyOn = 0;
            dialog = nullptr;
        }
    }
    skintest::TrapFreedBlocksOfSize(0);
}

TEST_F(DialogSkinner, UnskinningGivesTheSystemFrameBack)
{
    guitest::DialogTemplate t = FramedTemplate();
    dialog = MakeDialog(t);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(dialog), nullptr);  // no default set
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const SIZE systemFrame = {Width(window) - Width(client), Height(window) - Height(client)};
    const LONG_PTR proc = GetWindowLongPtrA(dialog, GWLP_WNDPROC);

    ASSERT_TRUE(SkinSetDialogWindow(dialog, "Dialog"));
    EXPECT_NE(GetWindowLongPtrA(dialog, GWLP_WNDPROC), proc);
    ASSERT_TRUE(SkinDetachWindow(dialog));
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWLP_WNDPROC), proc);
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    EXPECT_EQ(Width(window) - Width(client), systemFrame.cx);
    EXPECT_EQ(Height(window) - Height(client), systemFrame.cy);
}

}  // namespace
