// The skinned-window base, the skin manager and the thread hooks, in real
// windows under Wine with the test skin (solid cells of distinct colours):
// the hooks give new windows skinners from the factory tables, the base
// ties itself to a window through "OBJECT" and forwards what it does not
// answer, unskinning and destruction give the window its procedure back,
// the manager's rules, rebinding on a new skin, the nine frame parts drawn
// and turned into a window region, the element query and the keyboard hook.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_data_gdi.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"
#include "skin/core/skin_window.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;  // the test skin's resource id

// The colour of the test skin's cell in column c, row r.
COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

// A skinner that records what reaches it.
class ProbeSkinner : public SkinWindowObject {
public:
    explicit ProbeSkinner(uint32_t kind) : kind(kind) { ++created; }
    ~ProbeSkinner() override { ++deleted; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    }
    LRESULT OnMenuKey(WPARAM key, LPARAM keyData) override
    {
        menuKeys.push_back(key);
        return menuKeyAnswer;
    }
    BOOL KeepOnReskin() override { return keep; }
    using SkinWindowObject::OnCtlColorStatic;

    uint32_t kind;                 // the kind it was made for (0: top level)
    std::vector<UINT> seen;        // messages, in order
    std::vector<WPARAM> menuKeys;  // keys of message 6036
    LRESULT menuKeyAnswer = 0;
    BOOL keep = FALSE;
    static int created, deleted;
};
int ProbeSkinner::created = 0;
int ProbeSkinner::deleted = 0;

SkinWindowObject* MakeProbe(uint32_t type, SkinWindowObject*) { return new ProbeSkinner(type); }
SkinWindowObject* MakeTopProbe() { return new ProbeSkinner(0); }

ProbeSkinner* ProbeOf(HWND window)
{
    return dynamic_cast<ProbeSkinner*>(SkinManager::Instance().FindSkinObject(window));
}

// The test window class: records what reaches its own procedure.
struct TestWindowLog {
    std::vector<UINT> messages;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;
    bool ownProcAtNcDestroy = false;  // its procedure was back when WM_NCDESTROY came
    int ncDestroys = 0;
};
TestWindowLog g_log;
const UINT kAsk = WM_APP + 1;  // answered 42 by the test window

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_log.messages.push_back(message);
    switch (message) {
    case kAsk:
        g_log.lastWParam = wParam;
        g_log.lastLParam = lParam;
        return 42;
    case WM_NCDESTROY:
        ++g_log.ncDestroys;
        g_log.ownProcAtNcDestroy =
            GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TestWindowProc);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* TestClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &TestWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "SkinWindowTest";
        RegisterClassA(&wc);
        registered = true;
    }
    return "SkinWindowTest";
}

HWND MakeTop(DWORD style = WS_POPUP | WS_VISIBLE, int x = 40, int y = 40, int w = 300, int h = 200)
{
    return CreateWindowExA(0, TestClass(), "Skin test", style, x, y, w, h, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND MakeChild(HWND parent, const char* cls, DWORD style, int id, int x = 10, int y = 10)
{
    return CreateWindowExA(0, cls, "x", WS_CHILD | WS_VISIBLE | style, x, y, 80, 24, parent,
                           reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
}

// The test skin read into a package of our own (to change before install).
std::unique_ptr<SkinPackage> ReadTestSkin()
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT");
    if (!found)
        return nullptr;
    const void* bytes = LockResource(LoadResource(nullptr, found));
    SkinMemoryStream stream(bytes, SizeofResource(nullptr, found), SkinMemoryStream::kDefaultGrowth);
    std::unique_ptr<SkinPackage> package(new SkinPackage());
    if (!package->Read(stream))
        return nullptr;
    return package;
}

SkinImageRef Ref(const char* image, int left, int top, int right, int bottom, uint32_t mode)
{
    SkinImageRef ref = MakeEmptyImageRef();
    CopySkinText(ref.name, sizeof ref.name, image);
    ref.source = MakeSkinRect(left, top, right, bottom);
    ref.drawMode = mode;
    return ref;
}

// The library started on this thread with the test skin, and probes in
// the factory tables for buttons, edits and the top-level roles.
class SkinLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        saved_[0] = SkinManager::RegisterSkinner(kSkinButton, &MakeProbe);
        saved_[1] = SkinManager::RegisterSkinner(kSkinEdit, &MakeProbe);
        // Check boxes and statics stay without a skinner here.
        saved_[2] = SkinManager::RegisterSkinner(kSkinCheckBox, nullptr);
        saved_[3] = SkinManager::RegisterSkinner(kSkinStatic, nullptr);
        savedTop_[0] = SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kFrame, &MakeTopProbe);
        savedTop_[1] = SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kShape, &MakeTopProbe);
        savedTop_[2] = SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kNamed, &MakeTopProbe);
        ProbeSkinner::created = ProbeSkinner::deleted = 0;
        g_log = TestWindowLog();
    }
    void TearDown() override
    {
        for (HWND w : windows_)
            if (IsWindow(w))
                DestroyWindow(w);
        SkinLibExit();
        EXPECT_FALSE(SkinLibIsStarted());
        EXPECT_TRUE(SkinManager::Instance().Windows().empty());
        SkinManager::RegisterSkinner(kSkinButton, saved_[0]);
        SkinManager::RegisterSkinner(kSkinEdit, saved_[1]);
        SkinManager::RegisterSkinner(kSkinCheckBox, saved_[2]);
        SkinManager::RegisterSkinner(kSkinStatic, saved_[3]);
        SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kFrame, savedTop_[0]);
        SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kShape, savedTop_[1]);
        SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kNamed, savedTop_[2]);
        guitest::CancelPending();
    }
    HWND Keep(HWND w)
    {
        windows_.push_back(w);
        return w;
    }

    std::vector<HWND> windows_;
    SkinnerFactory saved_[4] = {};
    TopLevelSkinnerFactory savedTop_[3] = {};
};

TEST_F(SkinLibrary, HooksGiveNewChildrenTheSkinnersOfTheirKind)
{
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    ProbeSkinner* frame = ProbeOf(top);
    ASSERT_NE(frame, nullptr);
    EXPECT_STREQ(frame->GetSkinObjectName(), "Dialog");
    EXPECT_EQ(GetPropA(top, "OBJECT"), static_cast<HANDLE>(static_cast<SkinWindowObject*>(frame)));
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SkinWindowObject::StaticWindowProc));

    // Created after the parent was skinned: the call-window-procedure hook
    // sees each WM_CREATE.
    HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 1);
    HWND check = MakeChild(top, "BUTTON", BS_AUTOCHECKBOX, 2);  // no check-box skinner registered
    HWND edit = MakeChild(top, "EDIT", WS_BORDER, 3);
    HWND label = MakeChild(top, "STATIC", SS_LEFT, 4);          // no static skinner registered
    ASSERT_TRUE(button && check && edit && label);

    ProbeSkinner* buttonSkinner = ProbeOf(button);
    ProbeSkinner* editSkinner = ProbeOf(edit);
    ASSERT_NE(buttonSkinner, nullptr);
    ASSERT_NE(editSkinner, nullptr);
    EXPECT_EQ(buttonSkinner->kind, uint32_t(kSkinButton));
    EXPECT_EQ(buttonSkinner->GetSkinType(), uint32_t(kSkinButton));
    EXPECT_STREQ(buttonSkinner->GetSkinObjectName(), "Button");
    EXPECT_EQ(editSkinner->GetSkinType(), uint32_t(kSkinEdit));
    EXPECT_EQ(buttonSkinner->GetWindow(), button);
    EXPECT_EQ(GetPropA(button, "OBJECT"), static_cast<HANDLE>(static_cast<SkinWindowObject*>(buttonSkinner)));
    EXPECT_EQ(ProbeOf(check), nullptr);
    EXPECT_EQ(ProbeOf(label), nullptr);
    EXPECT_EQ(ProbeSkinner::created, 3);

    // The parent knows its child skinners; the manager knows all three.
    EXPECT_EQ(frame->ChildSkinners().size(), 2u);
    EXPECT_EQ(frame->ChildSkinners().count(button), 1u);
    EXPECT_EQ(SkinManager::Instance().Windows().size(), 3u);

    // A top-level window of no skinned parent gets nothing.
    HWND plain = Keep(MakeTop());
    HWND plainButton = MakeChild(plain, "BUTTON", BS_PUSHBUTTON, 1);
    EXPECT_EQ(ProbeOf(plainButton), nullptr);
}

TEST_F(SkinLibrary, ChildrenPresentAtSkinningAreSkinnedToo)
{
    HWND top = Keep(MakeTop());
    HWND group = MakeChild(top, TestClass(), 0, 50);  // a plain child holding a control
    HWND inner = MakeChild(group, "BUTTON", BS_PUSHBUTTON, 51);
    HWND edit = MakeChild(top, "EDIT", 0, 52);
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    EXPECT_NE(ProbeOf(inner), nullptr);  // grandchildren get skinners from the same object
    EXPECT_NE(ProbeOf(edit), nullptr);
    EXPECT_EQ(ProbeOf(group), nullptr);
}

TEST_F(SkinLibrary, UnhandledMessagesReachThePreviousProcedureAndUnskinRestoresIt)
{
    HWND top = Keep(MakeTop());
    HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 1);
    const LONG_PTR buttonProc = GetWindowLongPtrA(button, GWLP_WNDPROC);
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    ProbeSkinner* frame = ProbeOf(top);
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(ProbeOf(button), nullptr);
    EXPECT_NE(GetWindowLongPtrA(button, GWLP_WNDPROC), buttonProc);

    EXPECT_EQ(SendMessageA(top, kAsk, 7, 9), 42);
    EXPECT_EQ(g_log.lastWParam, 7u);
    EXPECT_EQ(g_log.lastLParam, 9);
    ASSERT_FALSE(frame->seen.empty());
    EXPECT_EQ(frame->seen.back(), kAsk);

    ASSERT_TRUE(SkinDetachWindow(top));
    EXPECT_EQ(GetWindowLongPtrA(top, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&TestWindowProc));
    EXPECT_EQ(GetPropA(top, "OBJECT"), nullptr);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(top), nullptr);
    // Its children were unskinned with it.
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(button), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(button, GWLP_WNDPROC), buttonProc);
    EXPECT_EQ(GetPropA(button, "OBJECT"), nullptr);
    EXPECT_EQ(ProbeSkinner::deleted, 2);
    EXPECT_EQ(SendMessageA(top, kAsk, 1, 2), 42);
    EXPECT_FALSE(SkinDetachWindow(top));
}

TEST_F(SkinLibrary, ADestroyedWindowGetsItsProcedureBackBeforeItsOwnNcDestroy)
{
    HWND top = MakeTop();
    MakeChild(top, "BUTTON", BS_PUSHBUTTON, 1);
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    ASSERT_EQ(SkinManager::Instance().Windows().size(), 2u);
    DestroyWindow(top);
    EXPECT_EQ(g_log.ncDestroys, 1);
    EXPECT_TRUE(g_log.ownProcAtNcDestroy);
    EXPECT_TRUE(SkinManager::Instance().Windows().empty());
    EXPECT_EQ(ProbeSkinner::deleted, 2);
}

TEST_F(SkinLibrary, TheManagersRules)
{
    SkinManager& manager = SkinManager::Instance();
    HWND a = Keep(MakeTop());
    ASSERT_TRUE(manager.SetNamedSkin(a, "Dialog"));
    SkinWindowObject* first = manager.FindSkinObject(a);
    // A second skinner for the same window is refused; the first stays.
    EXPECT_FALSE(manager.SetNamedSkin(a, "MainFrame"));
    EXPECT_FALSE(manager.SetFrameSkin(a, "MainFrame"));
    EXPECT_EQ(manager.FindSkinObject(a), first);
    EXPECT_STREQ(first->GetSkinObjectName(), "Dialog");
    ProbeSkinner extra(0);
    EXPECT_FALSE(manager.AddSkinner(&extra, a));

    // A frame skin with a ShapeWnd object's name creates nothing.
    HWND b = Keep(MakeTop());
    const int before = ProbeSkinner::created;
    EXPECT_FALSE(manager.SetFrameSkin(b, "Quorbel"));
    EXPECT_EQ(ProbeSkinner::created, before);
    // Without a name: the first FrameWnd object.
    ASSERT_TRUE(manager.SetFrameSkin(b, nullptr));
    EXPECT_STREQ(manager.FindSkinObject(b)->GetSkinObjectName(), "Dialog");

    HWND c = Keep(MakeTop());
    EXPECT_FALSE(manager.SetShapeSkin(c, "Dialog"));
    ASSERT_TRUE(SkinAttachWindow(c, "Quorbel"));
    EXPECT_EQ(manager.FindSkinObject(c)->GetSkinType(), uint32_t(kSkinShapeWnd));

    HWND d = Keep(MakeTop());
    EXPECT_FALSE(manager.SetNamedSkin(d, nullptr));
    EXPECT_FALSE(manager.SetNamedSkin(d, "NoSuchObject"));
    // The named skinner takes an object of any type.
    ASSERT_TRUE(manager.SetNamedSkin(d, "Static"));
    EXPECT_EQ(manager.FindSkinObject(d)->GetSkinType(), uint32_t(kSkinStatic));

    EXPECT_EQ(manager.GetSkinType("SysTabControl32"), uint32_t(kSkinTab));
    EXPECT_EQ(manager.GetSkinType("#32770"), 0u);

    EXPECT_TRUE(manager.RemoveSkin(d, FALSE));
    EXPECT_FALSE(manager.RemoveSkin(d, FALSE));
}

// A window already tied to a skinner takes no second one, from any road:
// the second would save the first one's procedure as its own successor and
// call itself on the window's next message.
TEST_F(SkinLibrary, AWindowWithASkinnerTakesNoSecondOne)
{
    const SkinnerFactory saved = SkinManager::RegisterSkinner(kSkinToolBar, &MakeProbe);
    SkinManager& manager = SkinManager::Instance();
    HWND a = Keep(MakeTop());
    ASSERT_TRUE(manager.SetNamedSkin(a, "Dialog"));
    SkinWindowObject* first = manager.FindSkinObject(a);
    const int made = ProbeSkinner::created, gone = ProbeSkinner::deleted;
    EXPECT_FALSE(manager.SetToolBarSkin(a));
    EXPECT_EQ(manager.FindSkinObject(a), first);
    EXPECT_EQ(ProbeSkinner::created - made, ProbeSkinner::deleted - gone);  // a refused one is not kept
    ProbeSkinner loose(0);
    EXPECT_FALSE(loose.Attach(a));
    EXPECT_EQ(loose.GetWindow(), nullptr);
    EXPECT_EQ(SendMessageA(a, kAsk, 1, 2), 42);
    SkinManager::RegisterSkinner(kSkinToolBar, saved);
}

TEST_F(SkinLibrary, FindFrameObjectPassesNonFrameSkinnersAndPlainChildren)
{
    SkinManager& manager = SkinManager::Instance();
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(manager.SetFrameSkin(top, "Dialog"));
    HWND panel = MakeChild(top, TestClass(), 0, 10, 0, 0);
    HWND inner = MakeChild(panel, TestClass(), 0, 11, 0, 0);
    ASSERT_TRUE(manager.SetNamedSkin(panel, "Static"));  // a skinner of another type
    HWND control = MakeChild(inner, "BUTTON", BS_AUTOCHECKBOX, 12);
    EXPECT_EQ(manager.FindFrameObject(control), manager.FindSkinObject(top));
    EXPECT_EQ(manager.FindFrameObject(panel), manager.FindSkinObject(top));

    // A top-level window without a skinner ends the search.
    HWND loose = Keep(MakeTop());
    HWND looseChild = MakeChild(loose, "BUTTON", BS_AUTOCHECKBOX, 13);
    EXPECT_EQ(manager.FindFrameObject(looseChild), nullptr);
}

TEST_F(SkinLibrary, ANewSkinRebindsByNameThenByTypeOrUnskins)
{
    SkinManager& manager = SkinManager::Instance();
    HWND byName = Keep(MakeTop());
    HWND byType = Keep(MakeTop());
    HWND kept = Keep(MakeTop());
    ASSERT_TRUE(manager.SetNamedSkin(byName, "Dialog"));
    ASSERT_TRUE(manager.SetNamedSkin(byType, "MainFrame"));
    ASSERT_TRUE(manager.SetNamedSkin(kept, "Static"));
    ProbeOf(kept)->keep = TRUE;

    // The new skin has "Dialog" and one other FrameWnd, no Static object.
    std::unique_ptr<SkinPackage> next(new SkinPackage());
    auto dialog = CreateSkinDataObject(kSkinFrameWnd);
    dialog->SetName("Dialog");
    auto other = CreateSkinDataObject(kSkinFrameWnd);
    other->SetName("Other");
    SkinDataObject* newDialog = dialog.get();
    SkinDataObject* newOther = other.get();
    ASSERT_TRUE(next->AddObject(std::move(dialog)));
    ASSERT_TRUE(next->AddObject(std::move(other)));
    ASSERT_TRUE(manager.InstallSkin(next.release()));

    EXPECT_EQ(manager.FindSkinObject(byName)->GetSkinData(), newDialog);
    // "MainFrame" is gone: the first FrameWnd of the new skin ("Dialog").
    EXPECT_EQ(manager.FindSkinObject(byType)->GetSkinType(), uint32_t(kSkinFrameWnd));
    EXPECT_TRUE(manager.FindSkinObject(byType)->GetSkinData() == newDialog ||
                manager.FindSkinObject(byType)->GetSkinData() == newOther);
    // No Static object: kept (it asked to be), without its old object.
    ASSERT_NE(manager.FindSkinObject(kept), nullptr);
    EXPECT_EQ(manager.FindSkinObject(kept)->GetSkinData(), nullptr);
    EXPECT_TRUE(SkinManager::Instance().HasInstalledSkin());

    // A skin without any FrameWnd unskins the frames.
    ASSERT_TRUE(manager.InstallSkin(new SkinPackage()));
    EXPECT_EQ(manager.FindSkinObject(byName), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(byName, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&TestWindowProc));
    EXPECT_EQ(manager.FindSkinObject(byType), nullptr);
    EXPECT_NE(manager.FindSkinObject(kept), nullptr);
    EXPECT_FALSE(manager.InstallSkin(nullptr));
}

TEST_F(SkinLibrary, ElementStatesAndCaptionButtonsFollowTheWindowStyle)
{
    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE | WS_SYSMENU));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(top);
    ASSERT_EQ(skinner->Elements().size(), 1u);  // the caption button DlgClose
    EXPECT_TRUE(skinner->Elements()[0]->IsEnabled());
    int state = -1;
    EXPECT_TRUE(SkinQueryElementState(top, "dlgclose", &state));
    EXPECT_EQ(state, 3);
    EXPECT_FALSE(SkinQueryElementState(top, "Close", &state));

    HWND noMenu = Keep(MakeTop());
    ASSERT_TRUE(SkinSetDialogWindow(noMenu, "Dialog"));
    EXPECT_FALSE(SkinManager::Instance().FindSkinObject(noMenu)->Elements()[0]->IsEnabled());

    HWND plain = Keep(MakeTop());
    EXPECT_FALSE(SkinQueryElementState(plain, "DlgClose", &state));
    EXPECT_EQ(SkinGetLastError(), 8);
}

// Draws the frame parts of "Dialog" (cells of rows 0 and 1) into a memory
// DC and reads them back.
TEST_F(SkinLibrary, TheNineFramePartsAreDrawnFromTheirCells)
{
    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE, 40, 40, 300, 200));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(top);
    skinner->LayoutParts(SIZE{300, 200});
    // The default FrameWnd parts: 30-pixel top row, 12-pixel bottom row,
    // 10-pixel sides; corners 86 and 103 wide (top), 10 (bottom).
    EXPECT_EQ(skinner->GetPart(kPartTopRight).left, 300 - 103);
    EXPECT_EQ(skinner->GetPart(kPartBottomMiddle).top, 200 - 12);

    HDC screen = GetDC(nullptr);
    SkinMemDC memory(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    const RECT all = {0, 0, 300, 200};
    struct Probe {
        int x, y, column;
    } points[] = {
        {40, 15, 0},  {150, 15, 1}, {250, 15, 2},  {5, 100, 3},  {295, 100, 5},
        {5, 194, 6},  {150, 194, 7}, {295, 194, 8},
    };
    for (int active = 1; active >= 0; --active) {
        SkinGdiUtil::FillSolidRect(memory, all, RGB(255, 255, 255));
        skinner->DrawFrame(memory, active);
        for (const Probe& p : points)
            EXPECT_EQ(GetPixel(memory, p.x, p.y), Cell(p.column, active ? 0 : 1))
                << "part cell " << p.column << (active ? " active" : " inactive");
        EXPECT_EQ(GetPixel(memory, 150, 100), RGB(255, 255, 255));  // the client is not the frame's

        skinner->DrawBackground(memory, active);  // the client rectangle, here the whole window
        EXPECT_EQ(GetPixel(memory, 150, 100), Cell(4, active ? 0 : 1));
    }
}

// A client image under 24 bits leaves out the pixels of the skin's key
// colour, wherever the key sits in its palette - not those of entry 0.
TEST_F(SkinLibrary, AnEightBitClientImageLeavesOutTheKeyColour)
{
    std::unique_ptr<SkinPackage> package = ReadTestSkin();
    ASSERT_NE(package, nullptr);
    std::unique_ptr<CSkinImage> bitmap(new CSkinImage(16, 16, 8));
    ASSERT_TRUE(bitmap->IsValid());
    ASSERT_EQ(bitmap->GetBpp(), 8u);
    bitmap->SetPaletteColor(0, 0, 0, 200);     // blue: left half
    bitmap->SetPaletteColor(5, 255, 0, 255);   // the key colour: right half
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            bitmap->SetPixelIndex(x, y, x < 8 ? 0 : 5);
    std::unique_ptr<SkinImageObject> image(new SkinImageObject());
    image->SetName("palette.bmp");
    image->SetImage(std::move(bitmap));
    ASSERT_TRUE(package->AddImage(std::move(image)));
    auto frame = CreateSkinDataObject(kSkinFrameWnd);
    frame->SetName("Palette");
    static_cast<SkinPartsData*>(frame.get())->partImages[kPartClient] = Ref("palette.bmp", 0, 0, 16, 16, 0);
    package->AddObject(std::move(frame));
    package->ResolveAll();
    ASSERT_TRUE(SkinManager::Instance().InstallSkin(package.release()));

    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE, 40, 40, 64, 32));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Palette"));
    SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(top);
    ASSERT_NE(skinner, nullptr);
    ASSERT_EQ(skinner->GetKeyColor(), COLORREF(0xFF00FF));
    HDC screen = GetDC(nullptr);
    SkinMemDC memory(screen, 64, 32);
    ReleaseDC(nullptr, screen);
    const RECT all = {0, 0, 64, 32};
    SkinGdiUtil::FillSolidRect(memory, all, RGB(255, 255, 255));
    skinner->DrawBackground(memory, TRUE);
    EXPECT_EQ(GetPixel(memory, 8, 16), RGB(0, 0, 200)) << "palette entry 0 is drawn";
    EXPECT_EQ(GetPixel(memory, 56, 16), RGB(255, 255, 255)) << "the key colour is left out";
}

TEST_F(SkinLibrary, FramePartsWithoutImagesFillWithTheirColours)
{
    std::unique_ptr<SkinPackage> package(new SkinPackage());
    auto plain = CreateSkinDataObject(kSkinFrameWnd);
    plain->SetName("Plain");
    auto* parts = static_cast<SkinPartsData*>(plain.get());
    parts->activeColor = RGB(10, 20, 30);
    parts->inactiveColor = RGB(40, 50, 60);
    parts->thirdColor = RGB(70, 80, 90);
    package->AddObject(std::move(plain));
    ASSERT_TRUE(SkinManager::Instance().InstallSkin(package.release()));
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(SkinSetDialogWindow(top, "Plain"));
    SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(top);
    skinner->LayoutParts(SIZE{300, 200});
    HDC screen = GetDC(nullptr);
    SkinMemDC memory(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    skinner->DrawFrame(memory, TRUE);
    EXPECT_EQ(GetPixel(memory, 40, 15), RGB(10, 20, 30));
    skinner->DrawFrame(memory, FALSE);
    EXPECT_EQ(GetPixel(memory, 40, 15), RGB(40, 50, 60));
    skinner->DrawBackground(memory, TRUE);
    EXPECT_EQ(GetPixel(memory, 150, 100), RGB(70, 80, 90));
}

// A frame object whose parts come from the keyed cells of row 12 (each
// with a 4 x 4 magenta top-left corner): 16 x 16 parts of a 48 x 48 frame.
std::unique_ptr<SkinPackage> KeyedFrameSkin(bool useTransparentColor)
{
    std::unique_ptr<SkinPackage> package = ReadTestSkin();
    if (!package)
        return nullptr;
    auto frame = CreateSkinDataObject(kSkinFrameWnd);
    frame->SetName("Keyed");
    auto* parts = static_cast<SkinPartsData*>(frame.get());
    for (int i = 0; i < 9; ++i) {
        parts->partRects[i] = MakeSkinRect(16 * (i % 3), 16 * (i / 3), 16 * (i % 3) + 16, 16 * (i / 3) + 16);
        parts->partImages[i] = Ref("test.bmp", 0, 0, 16, 16, 2);  // solid cell 0,0
    }
    parts->partImages[kPartTopLeft] = Ref("test.bmp", 16, 192, 32, 208, 0);      // natural size
    parts->partImages[kPartMiddleTop] = Ref("test.bmp", 32, 192, 48, 208, 2);    // stretched
    parts->partImages[kPartMiddleLeft] = Ref("test.bmp", 64, 192, 80, 208, 1);   // tiled
    package->AddObject(std::move(frame));
    for (const auto& entry : package->Objects())
        if (auto* app = dynamic_cast<SkinFileInfo*>(entry.second.get()))
            app->useTransparentColor = useTransparentColor ? 1 : 0;
    package->ResolveAll();
    return package;
}

TEST_F(SkinLibrary, TheWindowRegionLeavesOutTheKeyColourOfEveryPart)
{
    ASSERT_TRUE(SkinManager::Instance().InstallSkin(KeyedFrameSkin(true).release()));
    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE, 40, 40, 80, 80));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Keyed"));
    SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(top);
    skinner->LayoutParts(SIZE{80, 80});
    HRGN region = skinner->BuildRegion();
    ASSERT_NE(region, nullptr);
    struct Point {
        int x, y;
        bool inside;
    } points[] = {
        {1, 1, false}, {3, 3, false}, {4, 0, true}, {0, 4, true}, {8, 8, true},  // natural size
        {16 + 11, 3, false}, {16 + 13, 3, true}, {16 + 11, 5, true},           // stretched 3 x wide
        {1, 16 + 1, false}, {1, 32 + 1, false}, {1, 48 + 1, false},            // tiled down the side
        {5, 16 + 5, true}, {1, 16 + 5, true},
        {70, 70, true}, {79, 79, true}, {80, 80, false},                        // solid parts, bounds
    };
    for (const Point& p : points)
        EXPECT_EQ(PtInRegion(region, p.x, p.y) != 0, p.inside) << p.x << "," << p.y;

    // Handed to the window, the system answers the same.
    skinner->ApplyWindowRegion(region, TRUE);
    HRGN held = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(top, held), ERROR);
    for (const Point& p : points)
        EXPECT_EQ(PtInRegion(held, p.x, p.y) != 0, p.inside) << p.x << "," << p.y;
    DeleteObject(held);
    ASSERT_TRUE(SkinDetachWindow(top));
    held = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(top, held), ERROR);  // given back
    DeleteObject(held);
}

// A hostile skin may cut a part into millions of pixel runs. The region
// work stays bounded: past a limit the part's region is the bounding
// rectangle of its pixels that are not the key colour.
// A display that has run out of memory: every object it is asked for throws.
class ExhaustedGdi : public SkinGdiBackend {
public:
    SkinColor SysColor(int index) override { return GetSysColor(index); }
    SkinGdiHandle MakeFont(const SkinLogFont&) override { throw std::bad_alloc(); }
    SkinGdiHandle MakeKeyRegion(const CSkinImage&, SkinColor) override { throw std::bad_alloc(); }
    void DeleteHandle(SkinGdiHandle handle) override
    {
        if (handle)
            DeleteObject(static_cast<HGDIOBJ>(handle));
    }
};

// An exception inside the library ends at the exported operation: the
// load fails as a skin that cannot be read does, the previous skin stays.
TEST_F(SkinLibrary, AnExceptionInsideALoadFailsTheLoadAndKeepsTheSkin)
{
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    SkinPackage* before = SkinManager::Instance().GetSkin();
    ExhaustedGdi exhausted;
    SetSkinGdi(&exhausted);
    const BOOL loaded = SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT");
    SetSkinGdi(nullptr);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(SkinManager::Instance().GetSkin(), before);
    ASSERT_NE(ProbeOf(top), nullptr);
    EXPECT_STREQ(ProbeOf(top)->GetSkinObjectName(), "Dialog");
    EXPECT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
}

TEST(SkinPartRegion, APartCutIntoTooManyRunsFallsBackToItsBoundingRectangle)
{
    const COLORREF key = RGB(255, 0, 255);
    struct Case {
        const char* what;
        int size;
        bool checkerboard;  // every other pixel keyed, else a keyed frame of 2
        DWORD maxRects;     // rectangles the region may hold
    };
    const Case cases[] = {
        {"a keyed frame", 64, false, 60},
        {"a checkerboard", 1024, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSkinImage image(c.size, c.size, 24);
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const bool keyed = c.checkerboard ? ((x + y) & 1) != 0
                                                  : x < 2 || y < 2 || x >= c.size - 2 || y >= c.size - 2;
                image.SetPixelColor(x, y, SkinRgbQuad::FromColorRef(keyed ? key : RGB(10, 20, 30)));
            }
        HRGN region = static_cast<HRGN>(SkinGdi().MakeKeyRegion(image, key));
        ASSERT_NE(region, nullptr);
        const DWORD bytes = GetRegionData(region, 0, nullptr);
        ASSERT_GT(bytes, DWORD(sizeof(RGNDATAHEADER)));
        EXPECT_LE((bytes - sizeof(RGNDATAHEADER)) / sizeof(RECT), c.maxRects);
        RECT box;
        GetRgnBox(region, &box);
        const int inset = c.checkerboard ? 0 : 2;
        EXPECT_EQ(box.left, inset);
        EXPECT_EQ(box.top, inset);
        EXPECT_EQ(box.right, c.size - inset);
        EXPECT_EQ(box.bottom, c.size - inset);
        EXPECT_FALSE(PtInRegion(region, 0, 0) && !c.checkerboard);
        EXPECT_TRUE(PtInRegion(region, c.size / 2, c.size / 2));
        DeleteObject(region);
    }
}

TEST_F(SkinLibrary, WithoutTheTransparentColourThereIsNoRegion)
{
    ASSERT_TRUE(SkinManager::Instance().InstallSkin(KeyedFrameSkin(false).release()));
    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE, 40, 40, 80, 80));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Keyed"));
    SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(top);
    skinner->LayoutParts(SIZE{80, 80});
    EXPECT_EQ(skinner->BuildRegion(), nullptr);
}

TEST_F(SkinLibrary, GeometryHelpers)
{
    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE | WS_THICKFRAME, 100, 50, 300, 200));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    SkinWindowObject* s = SkinManager::Instance().FindSkinObject(top);
    const RECT bounds = s->GetWindowBounds();
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.right, 300);
    EXPECT_TRUE(s->IsSizable());
    const SIZE minimum = s->GetMinimumSize();
    EXPECT_EQ(minimum.cx, 86 + 103 + 10);
    EXPECT_EQ(minimum.cy, 35);
    const POINT w = s->ScreenToWindow(POINT{110, 60});
    EXPECT_EQ(w.x, 10);
    EXPECT_EQ(w.y, 10);
    EXPECT_EQ(s->WindowToScreen(w).x, 110);
    s->LayoutParts(SIZE{300, 200});
    const RECT caption = s->GetCaptionRect();
    EXPECT_EQ(caption.right, 300);
    EXPECT_EQ(caption.bottom, 30);
    EXPECT_TRUE(s->SizeChanged());
    s->SetLastSize(RECT{5, 5, 305, 205});
    EXPECT_FALSE(s->SizeChanged());
    EXPECT_EQ(s->GetTopLevelWindow(), top);

    // A modal-frame dialog is never sizable.
    HWND modal = Keep(MakeTop(WS_POPUP | WS_THICKFRAME | WS_DLGFRAME | DS_MODALFRAME));
    ASSERT_TRUE(SkinSetDialogWindow(modal, "Dialog"));
    EXPECT_FALSE(SkinManager::Instance().FindSkinObject(modal)->IsSizable());

    // ChooseImage: the first record that is not empty, else the second.
    const SkinImageRef empty = MakeEmptyImageRef();
    const SkinImageRef full = Ref("a", 0, 0, 1, 1, 0);
    EXPECT_EQ(&SkinWindowObject::ChooseImage(full, empty), &full);
    EXPECT_EQ(&SkinWindowObject::ChooseImage(empty, full), &full);
    EXPECT_EQ(&SkinWindowObject::ChooseImage(empty, empty, &full), &full);
    EXPECT_EQ(&SkinWindowObject::ChooseImage(empty, empty), &empty);
}

TEST_F(SkinLibrary, StaticChildrenAreAnsweredWithANullBrush)
{
    const SkinnerFactory savedStatic = SkinManager::RegisterSkinner(kSkinStatic, &MakeProbe);
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    HWND label = MakeChild(top, "STATIC", SS_LEFT, 4);
    ProbeSkinner* frame = ProbeOf(top);
    ASSERT_NE(ProbeOf(label), nullptr);
    HDC dc = GetDC(label);
    EXPECT_EQ(frame->OnCtlColorStatic(dc, label), reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
    ReleaseDC(label, dc);
    SkinManager::RegisterSkinner(kSkinStatic, savedStatic);
}

TEST_F(SkinLibrary, FloatingToolbarsGetTheToolbarSkinnerFromTheHook)
{
    const SkinnerFactory saved = SkinManager::RegisterSkinner(kSkinToolBar, &MakeProbe);
    guitest::InitCommonControlsOnce();
    HWND owner = Keep(MakeTop());
    // A tool window that has a parent itself, holding a toolbar.
    HWND tool = CreateWindowExA(WS_EX_TOOLWINDOW, TestClass(), "tool", WS_CHILD | WS_VISIBLE, 0, 0, 200, 60, owner,
                                nullptr, nullptr, nullptr);
    HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, tool, nullptr,
                                   nullptr, nullptr);
    ProbeSkinner* skinner = ProbeOf(toolbar);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->GetSkinType(), uint32_t(kSkinToolBar));
    EXPECT_STREQ(skinner->GetSkinObjectName(), "ToolBar");
    // A toolbar in a rebar comes with the rebar, not from the hook.
    HWND rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 30, 200, 30, tool,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(rebar, nullptr);
    HWND banded = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, rebar, nullptr,
                                  nullptr, nullptr);
    EXPECT_EQ(ProbeOf(banded), nullptr);
    SkinManager::RegisterSkinner(kSkinToolBar, saved);
}

TEST_F(SkinLibrary, SizableToolWindowsOfASkinnedFrameTakeTheDefaultFrameSkin)
{
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(SkinSetFrameWindow(top, "Dialog"));
    HWND before = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, TestClass(), "tool", WS_POPUP | WS_THICKFRAME, 0, 0, 100,
                                       60, top, nullptr, nullptr, nullptr));
    EXPECT_EQ(ProbeOf(before), nullptr);  // no default frame skin yet
    ASSERT_TRUE(SkinLibSetDefaultFrameSkin("MainFrame"));
    HWND sizable = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, TestClass(), "tool", WS_POPUP | WS_THICKFRAME, 0, 0, 100,
                                        60, top, nullptr, nullptr, nullptr));
    HWND fixed = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, TestClass(), "tool", WS_POPUP, 0, 0, 100, 60, top, nullptr,
                                      nullptr, nullptr));
    ASSERT_NE(ProbeOf(sizable), nullptr);
    EXPECT_STREQ(ProbeOf(sizable)->GetSkinObjectName(), "MainFrame");
    EXPECT_EQ(ProbeOf(fixed), nullptr);
}

// What the library keeps per window or per start does not outlive it: a
// destroyed window's accelerator table (a later window with the same
// handle would take it) and, after the last end, the default frame skin.
TEST_F(SkinLibrary, AcceleratorTablesAndTheDefaultFrameSkinDoNotOutliveTheirOwners)
{
    HWND top = MakeTop();
    ACCEL accel = {FVIRTKEY, 'Q', 100};
    SkinLibSetAcceleratorTable(top, new AccelTable(&accel, 1));
    ASSERT_NE(SkinLibFindAcceleratorTable(top), nullptr);
    DestroyWindow(top);
    EXPECT_EQ(SkinLibFindAcceleratorTable(top), nullptr);

    HWND frame = Keep(MakeTop());
    ASSERT_TRUE(SkinSetFrameWindow(frame, "Dialog"));
    ASSERT_TRUE(SkinLibSetDefaultFrameSkin("MainFrame"));
    SkinLibExit();
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    HWND again = Keep(MakeTop());
    ASSERT_TRUE(SkinSetFrameWindow(again, "Dialog"));
    HWND sizable = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, TestClass(), "tool", WS_POPUP | WS_THICKFRAME, 0, 0, 100,
                                        60, again, nullptr, nullptr, nullptr));
    EXPECT_EQ(ProbeOf(sizable), nullptr);  // the earlier start's default is gone
}

TEST_F(SkinLibrary, AChildSkinnerOfADestroyedControlIsForgotten)
{
    HWND top = Keep(MakeTop());
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 1);
    ASSERT_NE(ProbeOf(button), nullptr);
    DestroyWindow(button);  // its skinner goes; the parent's entry is stale
    EXPECT_EQ(SkinManager::Instance().Windows().size(), 1u);
    // Rebinding the parent walks its children again without touching it.
    SkinWindowObject* frame = SkinManager::Instance().FindSkinObject(top);
    frame->BindSkinData(frame->GetSkinData());
    HWND again = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 1);
    EXPECT_NE(ProbeOf(again), nullptr);
}

// --- the keyboard hook ------------------------------------------------------

void Key(BYTE vk, bool up)
{
    keybd_event(vk, BYTE(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)), up ? KEYEVENTF_KEYUP : 0, 0);
}

TEST_F(SkinLibrary, TheKeyboardHookRoutesMenuKeys)
{
    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE | WS_SYSMENU));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    ProbeSkinner* skinner = ProbeOf(top);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    SetFocus(top);
    guitest::PumpFor(100);
    if (GetActiveWindow() != top)
        GTEST_SKIP() << "the test window did not become active";

    // F10 released still reaches the skinned window as 6036 (consumed here,
    // so no system menu opens).
    skinner->menuKeys.clear();
    skinner->menuKeyAnswer = 1;
    Key(VK_F10, false);
    Key(VK_F10, true);
    guitest::PumpFor(100);
    ASSERT_GE(skinner->menuKeys.size(), 2u);
    EXPECT_EQ(skinner->menuKeys[0], WPARAM(VK_F10));
    EXPECT_EQ(skinner->menuKeys.back(), WPARAM(VK_F10));

    // Alt alone: down is offered as 6036 (-1) and, not consumed, reaches the
    // window; released it is swallowed.
    g_log = TestWindowLog();
    skinner->menuKeys.clear();
    skinner->menuKeyAnswer = 0;
    Key(VK_MENU, false);
    Key(VK_MENU, true);
    guitest::PumpFor(100);
    bool sawAltDown = false, sawAltUp = false;
    for (UINT m : g_log.messages) {
        sawAltDown |= m == WM_SYSKEYDOWN || m == WM_KEYDOWN;
        sawAltUp |= m == WM_SYSKEYUP || m == WM_KEYUP;
    }
    EXPECT_TRUE(sawAltDown);
    EXPECT_FALSE(sawAltUp);
    ASSERT_FALSE(skinner->menuKeys.empty());
    EXPECT_EQ(skinner->menuKeys[0], WPARAM(-1));

    // A key whose accelerator command is grayed in the window's menu is
    // swallowed; a key the window's skinner consumes as menu key too.
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 100, "Off");
    SetMenu(top, menu);
    ACCEL accel = {FVIRTKEY, 'Q', 100};
    SkinLibSetAcceleratorTable(top, new AccelTable(&accel, 1));
    g_log = TestWindowLog();
    Key('Q', false);
    Key('Q', true);
    guitest::PumpFor(100);
    bool sawQDown = false, sawQUp = false;
    for (UINT m : g_log.messages) {
        sawQDown |= m == WM_KEYDOWN;
        sawQUp |= m == WM_KEYUP;
    }
    EXPECT_FALSE(sawQDown);
    EXPECT_TRUE(sawQUp);  // only the press is refused
    SkinLibSetAcceleratorTable(top, nullptr);
    SetMenu(top, nullptr);
    DestroyMenu(menu);
}

// Stands in for the popup menu part: its windows and their open submenus.
class FakePopupMenus : public SkinPopupMenuService {
public:
    HWND LastOpenSubmenu(HWND popupWindow) override { return deepest ? deepest : popupWindow; }
    HWND deepest = nullptr;
};

TEST_F(SkinLibrary, MenuKeysInAnOpenPopupMenuGoToTheOwnersSkinner)
{
    // The popup menu part has the class under the library instance (this
    // program): ours goes under another module, so its windows stay plain.
    HINSTANCE other = GetModuleHandleA("kernel32.dll");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = other;
    wc.lpszClassName = kSkinPopupMenuClass;
    ASSERT_TRUE(RegisterClassA(&wc));
    FakePopupMenus menus;
    SkinLibSetPopupMenuService(&menus);

    HWND top = Keep(MakeTop(WS_POPUP | WS_VISIBLE | WS_SYSMENU));
    ASSERT_TRUE(SkinSetDialogWindow(top, "Dialog"));
    ProbeSkinner* skinner = ProbeOf(top);
    skinner->menuKeyAnswer = 1;
    HWND popup = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, kSkinPopupMenuClass, "", WS_POPUP | WS_VISIBLE, 100, 100, 80,
                                      80, top, nullptr, other, nullptr));
    HWND submenu = Keep(CreateWindowExA(WS_EX_TOOLWINDOW, kSkinPopupMenuClass, "", WS_POPUP | WS_VISIBLE, 180, 100,
                                        80, 80, popup, nullptr, other, nullptr));
    SetPropA(popup, "this", reinterpret_cast<HANDLE>(1));
    menus.deepest = submenu;
    SetForegroundWindow(popup);
    SetActiveWindow(popup);
    guitest::PumpFor(100);
    if (GetActiveWindow() == popup) {
        Key(VK_F10, false);
        Key(VK_F10, true);
        guitest::PumpFor(100);
        ASSERT_FALSE(skinner->menuKeys.empty());
        EXPECT_EQ(skinner->menuKeys[0], WPARAM(VK_F10));
    }
    RemovePropA(popup, "this");
    SkinLibSetPopupMenuService(nullptr);
    DestroyWindow(submenu);
    DestroyWindow(popup);
    UnregisterClassA(kSkinPopupMenuClass, other);
    if (skinner->menuKeys.empty())
        GTEST_SKIP() << "the popup did not become active";
}

// --- starting and ending with the library parts --------------------------------

struct PartLog {
    std::vector<std::string> calls;
    int osClass = -1;
    BOOL registerAnswer = TRUE;
    int barSize = 0, minThumb = 0;
} g_parts;

const SkinLibPart kProbePart = {
    "probe",
    [](HINSTANCE) {
        g_parts.calls.push_back("register");
        return g_parts.registerAnswer;
    },
    [](HINSTANCE) { g_parts.calls.push_back("unregister"); },
    [](HINSTANCE) { g_parts.calls.push_back("create"); },
    []() { g_parts.calls.push_back("destroy"); },
    [](int os) {
        g_parts.calls.push_back("install");
        g_parts.osClass = os;
    },
    [](int) { g_parts.calls.push_back("remove"); },
    [](int size, int thumb) {
        g_parts.barSize = size;
        g_parts.minThumb = thumb;
    },
};

// A button skinner that reads the library's state from a message its
// attaching sends, as the real one reads the system button procedure.
class StateReadingProbe : public ProbeSkinner {
public:
    StateReadingProbe() : ProbeSkinner(kSkinButton) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOLORCHANGE)
            SkinLibGetButtonProc();
        return ProbeSkinner::WindowProc(message, wParam, lParam);
    }
};
SkinWindowObject* MakeStateReadingProbe(uint32_t, SkinWindowObject*) { return new StateReadingProbe(); }

// Runs the bodies on threads of their own and waits for both. A deadlock
// must fail the test, not hang it: after the time limit the process ends.
void RunTogetherOrEnd(const std::function<void()>& first, const std::function<void()>& second, DWORD limitMs)
{
    struct Body {
        static DWORD WINAPI Run(LPVOID body)
        {
            (*static_cast<const std::function<void()>*>(body))();
            return 0;
        }
    };
    HANDLE threads[2] = {CreateThread(nullptr, 0, &Body::Run, const_cast<std::function<void()>*>(&first), 0, nullptr),
                         CreateThread(nullptr, 0, &Body::Run, const_cast<std::function<void()>*>(&second), 0, nullptr)};
    ASSERT_NE(threads[0], nullptr);
    ASSERT_NE(threads[1], nullptr);
    if (WaitForMultipleObjects(2, threads, TRUE, limitMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the two threads are deadlocked";
        fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Two interface threads, one creating skinned controls (its hook holds the
// manager lock while the new skinner's messages read the library's state),
// the other refreshing the scroll bars, asking for element states and
// starting and ending the library on itself: the locks are taken in one
// order, so neither waits for the other for ever.
TEST_F(SkinLibrary, TwoInterfaceThreadsTakeTheLocksInOneOrder)
{
    const SkinnerFactory saved = SkinManager::RegisterSkinner(kSkinButton, &MakeStateReadingProbe);
    const int kRounds = 300;
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> made(0), refreshed(0);
    RunTogetherOrEnd(
        [&] {
            if (!SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0))
                return;
            HWND top = MakeTop();
            SkinSetDialogWindow(top, "Dialog");
            SetEvent(started);
            for (int i = 0; i < kRounds; ++i) {
                HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 1);
                made += SkinManager::Instance().FindSkinObject(button) != nullptr;
                DestroyWindow(button);
                PumpPending();
            }
            DestroyWindow(top);
            SkinLibExit();
        },
        [&] {
            WaitForSingleObject(started, 10000);
            for (int i = 0; i < kRounds; ++i) {
                if (!SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0))
                    return;
                SkinRefreshScrollBars();
                int state = 0;
                SkinQueryElementState(nullptr, "Close", &state);
                SkinLibExit();
                ++refreshed;
                PumpPending();
            }
        },
        60000);
    CloseHandle(started);
    SkinManager::RegisterSkinner(kSkinButton, saved);
    EXPECT_EQ(made.load(), kRounds);
    EXPECT_EQ(refreshed.load(), kRounds);
}

// One interface thread starts the library, makes skinned controls in its
// skinned window and ends again, round after round; the other loads the skin
// (every skinned window is rebound and told of the new colours) and starts
// and ends the library, so that its end is at times the last one and takes
// the skinners off the first thread's windows. Whatever one thread sends to
// the other's windows is answered: no lock is held while it waits.
TEST(SkinLibraryStart, SkinLoadsAndLastEndsOnOneThreadWhileAnotherMakesSkinnedWindows)
{
    const SkinnerFactory saved = SkinManager::RegisterSkinner(kSkinButton, &MakeStateReadingProbe);
    const TopLevelSkinnerFactory savedTop =
        SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kNamed, &MakeTopProbe);
    const int kRounds = 150;
    HANDLE windowReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> made(0), loaded(0), roundsA(0), roundsB(0);
    RunTogetherOrEnd(
        [&] {
            HWND top = MakeTop();
            for (int i = 0; i < kRounds; ++i) {
                if (!SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0))
                    break;
                if (!SkinManager::Instance().FindSkinObject(top))
                    SkinSetDialogWindow(top, "Dialog");
                SetEvent(windowReady);
                HWND button = MakeChild(top, "BUTTON", BS_PUSHBUTTON, 1);
                made += SkinManager::Instance().FindSkinObject(button) != nullptr;
                DestroyWindow(button);
                SkinLibExit();
                PumpPending();
                ++roundsA;
            }
            // Answers what the other thread still sends to the window.
            while (roundsB.load() < kRounds) {
                PumpPending();
                Sleep(1);
            }
            DestroyWindow(top);
        },
        [&] {
            WaitForSingleObject(windowReady, 10000);
            for (int i = 0; i < kRounds; ++i) {
                if (!SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0))
                    break;
                loaded += SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT") != FALSE;
                SkinLibExit();
                PumpPending();
                ++roundsB;
            }
            roundsB = kRounds;
        },
        60000);
    CloseHandle(windowReady);
    SkinManager::RegisterSkinner(kSkinButton, saved);
    SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kNamed, savedTop);
    EXPECT_EQ(roundsA.load(), kRounds);
    EXPECT_EQ(loaded.load(), kRounds);
    EXPECT_GT(made.load(), 0);
    // Both ended: nothing is left skinned and the library starts again.
    EXPECT_FALSE(SkinLibIsStarted());
    EXPECT_TRUE(SkinManager::Instance().Windows().empty());
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    EXPECT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    SkinLibExit();
}

TEST(SkinLibraryStart, PartsAreStartedOnceAndEndedInReverse)
{
    g_parts = PartLog();
    SkinLibRegisterPart(&kProbePart);
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    EXPECT_EQ(g_parts.calls, (std::vector<std::string>{"register", "create", "install"}));
    EXPECT_EQ(g_parts.osClass, 1);  // Wine reports Windows 7
    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    // The ScrollBar object's NORMAL.ARROW1 height and NORMAL.THUMB width.
    EXPECT_EQ(g_parts.barSize, 16);
    EXPECT_EQ(g_parts.minThumb, 16);
    SkinLibExit();
    EXPECT_EQ(g_parts.calls,
              (std::vector<std::string>{"register", "create", "install", "remove", "destroy", "unregister"}));

    // A part whose classes cannot be registered fails the start, no code.
    g_parts = PartLog();
    g_parts.registerAnswer = FALSE;
    SetLastError(0);
    EXPECT_FALSE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    EXPECT_FALSE(SkinLibIsStarted());
    EXPECT_EQ(SkinLibThreadCount(), 0);
    SkinLibUnregisterPart(&kProbePart);
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    SkinLibExit();
}

// The tooltip window belongs to the thread that started the library first.
// When that thread ends its use while another goes on, and the other ends
// last, the window is destroyed by its own thread (Windows refuses another
// thread's DestroyWindow) and the library can start again.
TEST(SkinLibraryStart, TheTooltipWindowGoesOnItsOwnThreadAfterACrossThreadEnd)
{
    HANDLE aStarted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE bStarted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE aEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE windowGone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND tooltip = nullptr;
    bool aStartedOk = false, bStartedOk = false;
    std::thread a([&] {
        aStartedOk = SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0) != FALSE;
        tooltip = SkinLibGetTooltip() ? SkinLibGetTooltip()->GetWindow() : nullptr;
        SetEvent(aStarted);
        WaitForSingleObject(bStarted, 10000);
        SkinLibExit();
        SetEvent(aEnded);
        // An interface thread goes on with its message loop.
        while (MsgWaitForMultipleObjects(1, &done, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            PumpPending();
            if (!IsWindow(tooltip))
                SetEvent(windowGone);
        }
    });
    std::thread b([&] {
        WaitForSingleObject(aStarted, 10000);
        bStartedOk = SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0) != FALSE;
        SetEvent(bStarted);
        WaitForSingleObject(aEnded, 10000);
        SkinLibExit();  // the last end
    });
    b.join();
    const bool gone = WaitForSingleObject(windowGone, 10000) == WAIT_OBJECT_0;
    SetEvent(done);
    a.join();
    EXPECT_TRUE(aStartedOk);
    EXPECT_TRUE(bStartedOk);
    ASSERT_NE(tooltip, nullptr);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_FALSE(SkinLibIsStarted());
    EXPECT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    EXPECT_NE(SkinLibGetTooltip(), nullptr);
    SkinLibExit();
    for (HANDLE h : {aStarted, bStarted, aEnded, windowGone, done})
        CloseHandle(h);
}

TEST(SkinLibraryStart, OnWindowsXpTheVisualStyleTestRunsAndLeavesNothing)
{
    SkinGdiUtil::SetOsClassOverride(7);
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    WNDCLASSA info;
    EXPECT_FALSE(GetClassInfoA(SkinLibGetInstance(), "VeneerKit_XP_Compatible", &info));
    SkinLibExit();
    // Starting again works: the test repeats.
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    SkinLibExit();
    SkinGdiUtil::SetOsClassOverride(-1);
    EXPECT_EQ(SkinGdiUtil::GetOsClass(), 1);
}

TEST(SkinLibraryStart, AWindowOfAThreadThatNeverStartedIsNotSkinned)
{
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    const TopLevelSkinnerFactory saved = SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kNamed, &MakeTopProbe);
    bool skinned = true;
    std::thread other([&] {
        HWND dialog = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        skinned = SkinManager::Instance().FindSkinObject(dialog) != nullptr;
        DestroyWindow(dialog);
    });
    other.join();
    EXPECT_FALSE(skinned);
    // On this thread the default dialog skin applies.
    HWND dialog = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(SkinManager::Instance().FindSkinObject(dialog), nullptr);
    EXPECT_STREQ(SkinManager::Instance().FindSkinObject(dialog)->GetSkinObjectName(), "Dialog");
    DestroyWindow(dialog);
    SkinManager::RegisterTopLevelSkinner(SkinTopLevelRole::kNamed, saved);
    SkinLibExit();
}

}  // namespace

namespace {

INT_PTR CALLBACK RoadDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The disc programs' road: VeneerKit.dll by ordinal, the skin from their
// own module, dialogs skinned by name and by the default dialog skin.
TEST(SharedLibrary, TheDiscProgramsRoadThroughTheOrdinals)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll(path);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "VeneerKit.dll";
    HMODULE library = LoadLibraryA(dll.c_str());
    ASSERT_NE(library, nullptr) << dll;
    auto proc = [&](int ordinal) {
        return reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
    };
    auto init = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, LPCSTR, LPCSTR, int)>(proc(1));
    auto end = reinterpret_cast<void(WINAPI*)()>(proc(2));
    auto load = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, LPCSTR, LPCSTR)>(proc(4));
    auto detach = reinterpret_cast<BOOL(WINAPI*)(HWND)>(proc(7));
    auto defaultDialog = reinterpret_cast<BOOL(WINAPI*)(LPCSTR)>(proc(8));
    auto dialogWindow = reinterpret_cast<BOOL(WINAPI*)(HWND, LPCSTR)>(proc(9));
    ASSERT_TRUE(init && end && load && detach && defaultDialog && dialogWindow);

    ASSERT_TRUE(init(GetModuleHandleA(nullptr), "", "", 0));
    ASSERT_TRUE(load(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    auto frameGrowth = [](HWND w) {
        RECT window, client;
        GetWindowRect(w, &window);
        GetClientRect(w, &client);
        return (window.right - window.left) - (client.right - client.left);
    };
    guitest::DialogTemplate t("Road", 0, 0, 120, 60);
    t.Button(IDOK, "OK", 10, 10, 40, 14);
    HWND plain = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &RoadDialogProc, 0);
    ASSERT_NE(plain, nullptr);
    const int systemGrowth = frameGrowth(plain);
    const LONG_PTR systemProc = GetWindowLongPtrA(plain, GWLP_WNDPROC);
    ASSERT_TRUE(dialogWindow(plain, "Dialog"));
    EXPECT_EQ(frameGrowth(plain), 20);  // the skin's 10-pixel sides
    EXPECT_TRUE(detach(plain));
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_WNDPROC), systemProc);
    EXPECT_EQ(frameGrowth(plain), systemGrowth);

    ASSERT_TRUE(defaultDialog("Dialog"));
    HWND skinned = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &RoadDialogProc, 0);
    ASSERT_NE(skinned, nullptr);
    EXPECT_EQ(frameGrowth(skinned), 20);
    DestroyWindow(skinned);
    DestroyWindow(plain);
    end();
    FreeLibrary(library);
}

}  // namespace
