// Window elements under Wine with the test skin. Caption buttons in the
// two windows that
// carry them: the shaped "Quorbel" strip (buttons in the client area, fed
// with client mouse messages) and a frame skinned from "MainFrame" (Close,
// Max, Min and Sys in the caption, fed with non-client messages). The hot
// look comes and goes with the pointer (message-driven and a real pointer
// moved by SetCursorPos), a click posts the button's command, and a
// fixed-size frame keeps its client area when skinned. A caption text
// added to "MainFrame" gives its sizing role's hit code, keeps to the
// window's edges it is anchored to, is drawn by the window when
// owner-drawn, and combines its shape into the window region.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/frames/skin_caption_button.h"
#include "skin/skinners/frames/skin_elements.h"
#include "skin/skinners/frames/skin_frame.h"
#include "skin/skinners/frames/skin_shaped.h"
#include "skin/skinners/tests/freed_object_trap.h"
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
    std::vector<DRAWITEMSTRUCT> drawItems;
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
    case WM_DRAWITEM:
        g_heard.drawItems.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The element list is the window object's own; a using-declaration in a
// derived class lets the test name it.
struct ElementsOf : SkinWindowObject {
    using SkinWindowObject::Elements;
};

class WindowElements : public testing::Test {
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
    SkinElement* Element(const char* name)
    {
        for (const auto& element : (skinner->*(&ElementsOf::Elements))())
            if (const char* object = element->GetSkinObjectName())
                if (lstrcmpiA(object, name) == 0)
                    return element.get();
        return nullptr;
    }
    SkinButtonElement* Button(const char* name) { return dynamic_cast<SkinButtonElement*>(Element(name)); }
    // A caption text "Title" over the caption of MainFrame (in the skin's
    // coordinates), added before the frame is skinned.
    SkinCaptionStaticData* AddTitle()
    {
        SkinDataObject* frame = SkinManager::Instance().GetSkin()->FindObject("MainFrame");
        EXPECT_NE(frame, nullptr);
        if (!frame)
            return nullptr;
        auto title = std::make_unique<SkinCaptionStaticData>();
        title->SetName("Title");
        title->rect = MakeSkinRect(30, 2, 120, 20);
        title->commandId = 4242;
        SkinCaptionStaticData* added = title.get();
        EXPECT_TRUE(frame->AddChild(std::move(title)));
        return added;
    }
    // The window's region after skinning; null when it has none.
    HRGN WindowRegion()
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(window, region) == ERROR) {
            DeleteObject(region);
            return nullptr;
        }
        return region;
    }
    SkinCaptionButtonData* DataOf(const char* name)
    {
        SkinButtonElement* button = Button(name);
        return button ? dynamic_cast<SkinCaptionButtonData*>(button->GetSkinData()) : nullptr;
    }
    // The middle of an element in window coordinates (the frame lays its
    // right-anchored buttons out for its width first).
    POINT CentreOf(const char* name)
    {
        SkinElement* button = Element(name);
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

TEST_F(WindowElements, HoverDrawsTheHotImageUntilThePointerLeaves)
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

TEST_F(WindowElements, AMissingHotImageShowsTheNormalOneWhileHovered)
{
    MakeShaped();
    std::memset(DataOf("Vantrel")->hotImage.name, 0, sizeof DataOf("Vantrel")->hotImage.name);
    const POINT vantrel = CentreOf("Vantrel");
    SetCursorPos(OnScreen(vantrel).x, OnScreen(vantrel).y);
    Mouse(WM_MOUSEMOVE, vantrel);
    EXPECT_EQ(StateOf("Vantrel"), SkinButtonElement::kHot);
    EXPECT_EQ(PixelAt(vantrel), Cell(1, 12));
}

TEST_F(WindowElements, AClickPostsTheCommandAndLeavesTheButtonHot)
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

TEST_F(WindowElements, AReleaseOffTheButtonPostsNothingAndTheButtonGoesBackToNormal)
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

TEST_F(WindowElements, AToggleButtonClickedTwiceComesBackAndPostsBothTimes)
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
TEST_F(WindowElements, TheRealPointerHoversAndClicks)
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
TEST_F(WindowElements, FrameButtonsPostTheirSystemCommands)
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
TEST_F(WindowElements, ADoubleClickOnTheSystemMenuButtonClosesAndOnOthersDoesNotMaximise)
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

// A sizable dialog skinned from "Dialog": its close button closes on a
// click and a double click on it does not maximise the dialog.
TEST_F(WindowElements, ADialogsCloseButtonClosesAndIsNoPlaceToMaximise)
{
    ASSERT_NE(MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, 420, 260), nullptr);
    ASSERT_TRUE(SkinManager::Instance().SetNamedSkin(window, "Dialog"));
    skinner = SkinManager::Instance().FindSkinObject(window);
    Show();
    const POINT close = CentreOf("DlgClose");
    NcMouse(WM_NCLBUTTONDBLCLK, close);
    guitest::PumpFor(50);
    EXPECT_TRUE(g_heard.sysCommands.empty());
    NcMouse(WM_NCMOUSEMOVE, close);
    NcMouse(WM_NCLBUTTONDOWN, close);
    EXPECT_EQ(StateOf("DlgClose"), SkinButtonElement::kPressed);
    NcMouse(WM_NCLBUTTONUP, close);
    guitest::PumpFor(50);
    EXPECT_EQ(g_heard.sysCommands, std::vector<UINT>{SC_CLOSE});
}

TEST_F(WindowElements, AButtonTheStyleLacksIsDisabledAndNotHit)
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
TEST_F(WindowElements, AFixedSizeFrameKeepsItsClientArea)
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

TEST_F(WindowElements, ACaptionTextGivesTheHitCodeOfItsSizingRole)
{
    SkinCaptionStaticData* title = AddTitle();
    ASSERT_NE(title, nullptr);
    MakeFrame(WS_OVERLAPPEDWINDOW);
    ASSERT_NE(dynamic_cast<SkinTextElement*>(Element("Title")), nullptr);
    const POINT at = OnScreen(CentreOf("Title"));
    struct Case {
        uint32_t role;
        LRESULT hit;
    };
    const Case cases[] = {{1, HTCAPTION}, {2, HTLEFT}, {4, HTTOP}, {7, HTBOTTOMRIGHT}, {10, HTCAPTION}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.role);
        title->value3 = c.role;
        EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), c.hit);
    }
}

// The frame is wider than the skin's design size: an edge anchored on the
// right moves with the window's right edge.
TEST_F(WindowElements, ACaptionTextKeepsToTheEdgesItIsAnchoredTo)
{
    SkinCaptionStaticData* title = AddTitle();
    ASSERT_NE(title, nullptr);
    MakeFrame(WS_OVERLAPPEDWINDOW);
    auto* parts = dynamic_cast<SkinPartsData*>(skinner->GetSkinData());
    ASSERT_NE(parts, nullptr);
    RECT bounds;
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    const int grow = Width(bounds) - parts->GetSizeRect().Width();
    ASSERT_NE(grow, 0);
    struct Case {
        uint32_t left, right;
        LONG expectLeft, expectRight;
    };
    const Case cases[] = {
        {0, 0, 30, 120},                // not anchored: where the skin put it
        {1, 0, 30, 120},                // left only: the same
        {0, 1, 30 + grow, 120 + grow},  // right only: moves
        {1, 1, 30, 120 + grow},         // both: stretches
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << c.right);
        title->layout[0] = c.left;
        title->layout[2] = c.right;
        Element("Title")->Layout(bounds);
        EXPECT_EQ(Element("Title")->GetRect().left, c.expectLeft);
        EXPECT_EQ(Element("Title")->GetRect().right, c.expectRight);
        EXPECT_EQ(Element("Title")->GetRect().top, 2);
    }
}

TEST_F(WindowElements, AnOwnerDrawnCaptionTextIsDrawnByTheWindow)
{
    SkinCaptionStaticData* title = AddTitle();
    ASSERT_NE(title, nullptr);
    title->textSource = 11;
    MakeFrame(WS_OVERLAPPEDWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(g_heard.drawItems.empty());
    const DRAWITEMSTRUCT& item = g_heard.drawItems.back();
    EXPECT_EQ(item.CtlType, UINT(ODT_STATIC));
    EXPECT_EQ(item.CtlID, 4242u);
    EXPECT_EQ(item.itemAction, UINT(ODA_DRAWENTIRE));
    EXPECT_EQ(item.hwndItem, window);
    EXPECT_EQ(item.rcItem.left, Element("Title")->GetRect().left);
    EXPECT_EQ(item.rcItem.bottom, Element("Title")->GetRect().bottom);
}

// Region modes without an image shape: AND leaves only the text's
// rectangle, DIFF cuts it out of the frame.
TEST_F(WindowElements, ACaptionTextCombinesItsShapeIntoTheWindowRegion)
{
    struct Case {
        uint32_t mode;
        bool titleInside, clientInside;
    };
    const Case cases[] = {{0, true, false}, {1, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        SkinLibExit();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        SkinCaptionStaticData* title = AddTitle();
        ASSERT_NE(title, nullptr);
        title->value1 = c.mode;
        if (window)
            DestroyWindow(window);
        MakeFrame(WS_OVERLAPPEDWINDOW);
        HRGN region = WindowRegion();
        ASSERT_NE(region, nullptr);
        const POINT inTitle = CentreOf("Title");
        EXPECT_EQ(PtInRegion(region, inTitle.x, inTitle.y) != 0, c.titleInside);
        EXPECT_EQ(PtInRegion(region, 200, 150) != 0, c.clientInside);
        DeleteObject(region);
    }
}

// The system-menu button runs the menu's own message loop from inside the
// mouse message that pressed it; what that loop dispatches may destroy the
// window or give it a new skin, which deletes the elements: the window
// object stops there and touches none of them (here an element after the
// button), in each kind of window that carries caption buttons.
TEST_F(WindowElements, AWindowDestroyedOrReskinnedWhileItsSystemMenuIsOpenLeavesItsElementsAlone)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinButtonElement));
    // A caption button added to an object of the skin before it is used.
    auto addButton = [](const char* object, const char* name, SkinRect rect, uint32_t action) {
        SkinDataObject* owner = SkinManager::Instance().GetSkin()->FindObject(object);
        ASSERT_NE(owner, nullptr) << object;
        if (owner->FindChildByName(name))
            return;
        auto button = std::make_unique<SkinCaptionButtonData>();
        button->SetName(name);
        button->rect = rect;
        button->action = action;
        button->commandId = 7777;
        ASSERT_TRUE(owner->AddChild(std::move(button))) << name;
    };
    const struct Kind {
        const char* name;
        const char* sysButton;
        std::function<void()> make;
        bool nonClient;  // fed with non-client messages
    } kinds[] = {
        {"frame", "Sys", [&] {
             addButton("MainFrame", "Tail", MakeSkinRect(40, 7, 56, 23), 0);
             MakeFrame(WS_OVERLAPPEDWINDOW);
         }, true},
        {"dialog", "DlgSys", [&] {
             addButton("Dialog", "DlgSys", MakeSkinRect(20, 7, 36, 23), 5);
             addButton("Dialog", "Tail", MakeSkinRect(40, 7, 56, 23), 0);
             ASSERT_NE(MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 420, 260), nullptr);
             ASSERT_TRUE(SkinManager::Instance().SetNamedSkin(window, "Dialog"));
             skinner = SkinManager::Instance().FindSkinObject(window);
             Show();
         }, true},
        {"shaped window", "QuorbelSys", [&] {
             addButton("Quorbel", "QuorbelSys", MakeSkinRect(48, 0, 64, 16), 5);
             addButton("Quorbel", "Tail", MakeSkinRect(0, 0, 16, 16), 0);
             MakeShaped();
         }, false},
    };
    const struct Happening {
        const char* name;
        std::function<void(HWND)> inMenu;
    } happenings[] = {
        {"destroyed", [](HWND w) { DestroyWindow(w); }},
        {"reskinned",
         [](HWND) { SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"); }},
    };
    for (const Kind& k : kinds) {
        for (const Happening& h : happenings) {
            SCOPED_TRACE(std::string(k.name) + ", " + h.name);
            k.make();
            ASSERT_NE(Button(k.sysButton), nullptr);
            ASSERT_NE(Button("Tail"), nullptr);
            const POINT at = CentreOf(k.sysButton);
            bool inLoop = false;
            guitest::RunLater(80, [&, w = window] {
                inLoop = true;
                h.inMenu(w);
                if (HWND popup = FindWindowA(kSkinPopupMenuClass, nullptr))
                    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                else
                    EndMenu();
            });
            const int touches = skintest::TouchesOfFreedBlocks();
            if (k.nonClient)
                NcMouse(WM_NCLBUTTONDOWN, at);
            else
                Mouse(WM_LBUTTONDOWN, at);
            guitest::PumpFor(50);
            EXPECT_TRUE(inLoop) << "the system menu ran no loop";
            EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touches) << "a deleted element was used";
            guitest::CancelPending();
            if (window && IsWindow(window))
                DestroyWindow(window);
            window = nullptr;
            skinner = nullptr;
            // The next window gets the skin with the added buttons again.
            ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        }
    }
    skintest::TrapFreedBlocksOfSize(0);
}

}  // namespace
