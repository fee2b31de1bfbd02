// Caption buttons under Wine with the test skin, in the two windows that
// carry them: the shaped "Quorbel" strip (buttons in the client area, fed
// with client mouse messages) and a frame skinned from "MainFrame" (Close,
// Max, Min and Sys in the caption, fed with non-client messages). The hot
// look comes and goes with the pointer (message-driven and a real pointer
// moved by SetCursorPos), a click posts the button's command, and a
// fixed-size frame keeps its client area when skinned.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/skin_caption_button.h"
#include "skin/skinners/skin_frame.h"
#include "skin/skinners/skin_shaped.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// What the skinned window heard (commands and system commands are kept,
// not acted on, so that a close button does not close the test window).
struct Heard {
    std::vector<UINT> commands;
    std::vector<UINT> sysCommands;
};
Heard g_heard;

LRESULT CALLBACK ButtonHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        g_heard.commands.push_back(LOWORD(wParam));
        return 0;
    case WM_SYSCOMMAND:
        g_heard.sysCommands.push_back(UINT(wParam & 0xFFF0));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The element list is the window object's own; a using-declaration in a
// derived class lets the test name it.
struct ElementsOf : SkinWindowObject {
    using SkinWindowObject::Elements;
};

class CaptionButtons : public testing::Test {
protected:
    void SetUp() override
    {
        g_heard = Heard();
        guitest::ParkPointer();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &ButtonHostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "SkinCaptionButtonHost";
        RegisterClassA(&wc);
    }
    void TearDown() override
    {
        if (window && IsWindow(window))
            DestroyWindow(window);
        guitest::ParkPointer();
        SkinLibExit();
    }
    HWND MakeWindow(DWORD style, int width, int height)
    {
        window = CreateWindowExA(0, "SkinCaptionButtonHost", "Buttons", style, 60, 60, width, height, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        return window;
    }
    void MakeShaped()
    {
        ASSERT_NE(MakeWindow(WS_OVERLAPPEDWINDOW, 200, 120), nullptr);
        ASSERT_TRUE(SkinManager::Instance().SetShapeSkin(window, "Quorbel"));
        skinner = SkinManager::Instance().FindSkinObject(window);
        Show();
    }
    void MakeFrame(DWORD style)
    {
        ASSERT_NE(MakeWindow(style, 420, 260), nullptr);
        ASSERT_TRUE(SkinSetFrameWindow(window, "MainFrame"));
        skinner = SkinManager::Instance().FindSkinObject(window);
        Show();
    }
    void Show()
    {
        ASSERT_NE(skinner, nullptr);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        guitest::PumpFor(100);
    }
    int StateOf(const char* name)
    {
        int state = -1;
        EXPECT_TRUE(SkinQueryElementState(window, name, &state)) << name;
        return state;
    }
    SkinButtonElement* Button(const char* name)
    {
        for (const auto& element : (skinner->*(&ElementsOf::Elements))())
            if (const char* object = element->GetSkinObjectName())
                if (lstrcmpiA(object, name) == 0)
                    return dynamic_cast<SkinButtonElement*>(element.get());
        return nullptr;
    }
    SkinCaptionButtonData* DataOf(const char* name)
    {
        SkinButtonElement* button = Button(name);
        return button ? dynamic_cast<SkinCaptionButtonData*>(button->GetSkinData()) : nullptr;
    }
    // The middle of a button in window coordinates (the frame lays its
    // right-anchored buttons out for its width first).
    POINT CentreOf(const char* name)
    {
        SkinButtonElement* button = Button(name);
        EXPECT_NE(button, nullptr) << name;
        if (!button)
            return POINT{-1, -1};
        RECT bounds = {0, 0, 0, 0};
        GetWindowRect(window, &bounds);
        OffsetRect(&bounds, -bounds.left, -bounds.top);
        button->Layout(bounds);
        const RECT& r = button->GetRect();
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT OnScreen(POINT p)
    {
        RECT w;
        GetWindowRect(window, &w);
        return POINT{w.left + p.x, w.top + p.y};
    }
    COLORREF PixelAt(POINT p)
    {
        guitest::Capture capture = guitest::Capture::OfWindow(window, true);
        return capture.Valid() ? capture.At(p.x, p.y) : CLR_INVALID;
    }
    // Client mouse messages for the shaped window (client = window there).
    void Mouse(UINT message, POINT p) { SendMessageA(window, message, 0, MAKELPARAM(p.x, p.y)); }
    // Non-client mouse messages for the frame, with the hit code it gives.
    void NcMouse(UINT message, POINT p)
    {
        const POINT s = OnScreen(p);
        const LPARAM at = MAKELPARAM(s.x, s.y);
        const WPARAM hit = WPARAM(SendMessageA(window, WM_NCHITTEST, 0, at));
        SendMessageA(window, message, hit, at);
    }
    // Waits for the hover timer to see that the pointer is elsewhere.
    bool LeftBy(const char* name)
    {
        return guitest::PumpUntil([&] { return StateOf(name) == SkinButtonElement::kNormal; }, 2000);
    }

    HWND window = nullptr;
    SkinWindowObject* skinner = nullptr;
};

TEST_F(CaptionButtons, HoverDrawsTheHotImageUntilThePointerLeaves)
{
    MakeShaped();
    const POINT vantrel = CentreOf("Vantrel");
    EXPECT_EQ(StateOf("Vantrel"), SkinButtonElement::kNormal);
    EXPECT_EQ(PixelAt(vantrel), Cell(1, 12));

    SetCursorPos(OnScreen(vantrel).x, OnScreen(vantrel).y);
    Mouse(WM_MOUSEMOVE, vantrel);
    EXPECT_EQ(StateOf("Vantrel"), SkinButtonElement::kHot);
    EXPECT_EQ(StateOf("Pelzor"), SkinButtonElement::kNormal);
    EXPECT_TRUE(Button("Vantrel")->IsHoverTimerRunning());
    EXPECT_EQ(PixelAt(vantrel), Cell(2, 12));
    EXPECT_FALSE(guitest::SaveScreenshot(window, "caption_button_hot").empty());

    guitest::ParkPointer();
    ASSERT_TRUE(LeftBy("Vantrel"));
    EXPECT_FALSE(Button("Vantrel")->IsHoverTimerRunning());
    EXPECT_EQ(PixelAt(vantrel), Cell(1, 12));
}

TEST_F(CaptionButtons, AMissingHotImageShowsTheNormalOneWhileHovered)
{
    MakeShaped();
    std::memset(DataOf("Vantrel")->hotImage.name, 0, sizeof DataOf("Vantrel")->hotImage.name);
    const POINT vantrel = CentreOf("Vantrel");
    SetCursorPos(OnScreen(vantrel).x, OnScreen(vantrel).y);
    Mouse(WM_MOUSEMOVE, vantrel);
    EXPECT_EQ(StateOf("Vantrel"), SkinButtonElement::kHot);
    EXPECT_EQ(PixelAt(vantrel), Cell(1, 12));
}

TEST_F(CaptionButtons, AClickPostsTheCommandAndLeavesTheButtonHot)
{
    MakeShaped();
    const POINT pelzor = CentreOf("Pelzor");
    SetCursorPos(OnScreen(pelzor).x, OnScreen(pelzor).y);
    Mouse(WM_MOUSEMOVE, pelzor);
    Mouse(WM_LBUTTONDOWN, pelzor);
    EXPECT_EQ(StateOf("Pelzor"), SkinButtonElement::kPressed);
    EXPECT_TRUE(g_heard.commands.empty()) << "nothing before the release";
    Mouse(WM_LBUTTONUP, pelzor);
    guitest::PumpFor(50);
    ASSERT_EQ(g_heard.commands.size(), 1u);
    EXPECT_EQ(g_heard.commands[0], 6062u);
    EXPECT_EQ(StateOf("Pelzor"), SkinButtonElement::kHot);
}

TEST_F(CaptionButtons, AReleaseOffTheButtonPostsNothingAndTheButtonGoesBackToNormal)
{
    MakeShaped();
    const POINT pelzor = CentreOf("Pelzor");
    SetCursorPos(OnScreen(pelzor).x, OnScreen(pelzor).y);
    Mouse(WM_MOUSEMOVE, pelzor);
    Mouse(WM_LBUTTONDOWN, pelzor);
    guitest::ParkPointer();
    Mouse(WM_LBUTTONUP, POINT{200, 200});
    guitest::PumpFor(50);
    EXPECT_TRUE(g_heard.commands.empty());
    ASSERT_TRUE(LeftBy("Pelzor"));
    EXPECT_FALSE(Button("Pelzor")->IsPressed());
}

TEST_F(CaptionButtons, AToggleButtonClickedTwiceComesBackAndPostsBothTimes)
{
    MakeShaped();
    DataOf("Skarven")->toggle = 1;
    const POINT skarven = CentreOf("Skarven");
    SetCursorPos(OnScreen(skarven).x, OnScreen(skarven).y);
    const int expected[] = {SkinButtonElement::kPressed, SkinButtonElement::kNormal};
    for (int state : expected) {
        Mouse(WM_MOUSEMOVE, skarven);
        Mouse(WM_LBUTTONDOWN, skarven);
        Mouse(WM_LBUTTONUP, skarven);
        EXPECT_EQ(StateOf("Skarven"), state);
    }
    guitest::PumpFor(50);
    EXPECT_EQ(g_heard.commands, (std::vector<UINT>{6063, 6063}));
}

// The real pointer: moved over the button by SetCursorPos, pressed and
// released by SendInput, with the system delivering the messages.
TEST_F(CaptionButtons, TheRealPointerHoversAndClicks)
{
    MakeShaped();
    const POINT vantrel = OnScreen(CentreOf("Vantrel"));
    SetCursorPos(vantrel.x, vantrel.y);
    ASSERT_TRUE(guitest::PumpUntil([&] { return StateOf("Vantrel") == SkinButtonElement::kHot; }, 3000))
        << "no mouse move reached the window";
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
    ASSERT_TRUE(guitest::PumpUntil([&] { return !g_heard.commands.empty(); }, 3000));
    EXPECT_EQ(g_heard.commands[0], 6061u);
    guitest::ParkPointer();
    EXPECT_TRUE(LeftBy("Vantrel"));
}

// Frame caption buttons: hover through WM_NCMOUSEMOVE, clicks through the
// non-client button messages; each posts its system command.
TEST_F(CaptionButtons, FrameButtonsPostTheirSystemCommands)
{
    MakeFrame(WS_OVERLAPPEDWINDOW);
    struct Case {
        const char* name;
        UINT command;
    };
    const Case cases[] = {{"Close", SC_CLOSE}, {"Max", SC_MAXIMIZE}, {"Min", SC_MINIMIZE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_heard.sysCommands.clear();
        const POINT at = CentreOf(c.name);
        SetCursorPos(OnScreen(at).x, OnScreen(at).y);
        NcMouse(WM_NCMOUSEMOVE, at);
        EXPECT_EQ(StateOf(c.name), SkinButtonElement::kHot);
        NcMouse(WM_NCLBUTTONDOWN, at);
        EXPECT_EQ(StateOf(c.name), SkinButtonElement::kPressed);
        NcMouse(WM_NCLBUTTONUP, at);
        guitest::PumpFor(50);
        EXPECT_EQ(g_heard.sysCommands, std::vector<UINT>{c.command});
    }
    EXPECT_FALSE(guitest::SaveScreenshot(window, "caption_button_frame").empty());
}

// A double click on a caption button never maximises the frame (the
// button lies in the caption); on the system-menu button it closes.
TEST_F(CaptionButtons, ADoubleClickOnTheSystemMenuButtonClosesAndOnOthersDoesNotMaximise)
{
    MakeFrame(WS_OVERLAPPEDWINDOW);
    struct Case {
        const char* name;
        std::vector<UINT> heard;
    };
    const Case cases[] = {{"Sys", {SC_CLOSE}}, {"Close", {}}, {"Min", {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_heard.sysCommands.clear();
        NcMouse(WM_NCLBUTTONDBLCLK, CentreOf(c.name));
        guitest::PumpFor(50);
        EXPECT_EQ(g_heard.sysCommands, c.heard);
    }
}

TEST_F(CaptionButtons, AButtonTheStyleLacksIsDisabledAndNotHit)
{
    MakeFrame(WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX);
    const POINT max = CentreOf("Max");
    EXPECT_FALSE(Button("Max")->IsEnabled());
    EXPECT_FALSE(Button("Max")->HitTest(max.x, max.y));
    NcMouse(WM_NCLBUTTONDOWN, max);
    NcMouse(WM_NCLBUTTONUP, max);
    guitest::PumpFor(50);
    for (UINT command : g_heard.sysCommands)
        EXPECT_NE(command, UINT(SC_MAXIMIZE));  // the press is the caption's (a move)
}

// A fixed-size frame is fitted around its client area, which keeps the
// size it was laid out with (a dialog's controls stay where they were).
TEST_F(CaptionButtons, AFixedSizeFrameKeepsItsClientArea)
{
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
    ASSERT_NE(MakeWindow(style, 650, 400), nullptr);
    RECT before, after, frame;
    GetClientRect(window, &before);
    ASSERT_TRUE(SkinSetFrameWindow(window, "MainFrame"));
    skinner = SkinManager::Instance().FindSkinObject(window);
    Show();
    GetClientRect(window, &after);
    EXPECT_EQ(Width(after), Width(before));
    EXPECT_EQ(Height(after), Height(before));
    GetWindowRect(window, &frame);
    auto* parts = dynamic_cast<SkinPartsData*>(skinner->GetSkinData());
    ASSERT_NE(parts, nullptr);
    EXPECT_EQ(Width(frame), Width(before) + parts->GetPartRect(3).Width() + parts->GetPartRect(5).Width());
}

}  // namespace
