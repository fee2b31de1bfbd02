// What the control skinner tests share: the library started with the test
// skin (resource 130) and "Dialog" as the default dialog skin, dialogs made
// from templates and shown, the skinner of a control, pixels of what the
// screen shows, the test skin read for changes before it is installed, and
// the WM_COMMAND notifications the dialog received.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_stream.h"
#include "skin/skinners/controls/skin_control_base.h"
#include "testing/gui/gui_test.h"

namespace skintest {

const int kTestSkin = 130;

// Cell (c, r) of the test skin's bitmap: a 16 x 16 square of one colour.
inline COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

// That cell as an image reference (stretched) and as a layout image (tiled),
// for objects a test adds to the skin.
inline SkinImageRef CellRef(int c, int r)
{
    SkinImageRef ref = {};
    std::strcpy(ref.name, "test.bmp");
    ref.source = MakeSkinRect(16 * c, 16 * r, 16 * c + 16, 16 * r + 16);
    ref.drawMode = 2;
    return ref;
}

inline SkinLayoutImage CellImage(int c, int r)
{
    SkinLayoutImage image = {};
    std::strcpy(image.name, "test.bmp");
    image.source = MakeSkinRect(16 * c, 16 * r, 16 * c + 16, 16 * r + 16);
    image.layoutMode = 1;
    return image;
}

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

// The test skin, read from the resource.
inline std::unique_ptr<SkinPackage> ReadTestSkin()
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT");
    if (!found)
        return nullptr;
    SkinMemoryStream stream(LockResource(LoadResource(nullptr, found)), SizeofResource(nullptr, found),
                            SkinMemoryStream::kDefaultGrowth);
    std::unique_ptr<SkinPackage> package(new SkinPackage());
    if (!package->Read(stream))
        return nullptr;
    return package;
}

// Adds a DateTime object (field cell 3,14, disabled field 4,14, drop
// buttons 0..2,14) and a MonthCalendar object (background 5,14, month
// buttons 6..11,14, month background colour 200,220,240) to a skin.
inline bool AddCalendarObjects(SkinPackage& package)
{
    std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(kSkinDateTime);
    auto* picker = dynamic_cast<SkinDateTimeData*>(object.get());
    picker->SetName("DateTime");
    for (int i = 0; i < 3; ++i)
        picker->images[i] = CellImage(i, 14);
    picker->ref1 = CellRef(3, 14);
    picker->ref2 = CellRef(4, 14);
    if (!package.AddObject(std::move(object)))
        return false;
    object = CreateSkinDataObject(kSkinMonthCalendar);
    auto* calendar = dynamic_cast<SkinMonthCalData*>(object.get());
    calendar->SetName("MonthCalendar");
    calendar->background = CellImage(5, 14);
    for (int i = 0; i < 6; ++i)
        calendar->images[i] = CellImage(6 + i, 14);
    calendar->colors[0] = RGB(200, 220, 240);  // month background
    return package.AddObject(std::move(object));
}

// The animation tests' 5-frame clip (fixture animate_fixtures) as a Wine
// path, or "" when QUORBEL_ANIMATE_FIXTURES is not set.
inline std::string AnimateClipPath()
{
    const char* folder = std::getenv("QUORBEL_ANIMATE_FIXTURES");
    if (!folder)
        return std::string();
    std::string path = std::string("Z:") + folder + "/clip.avi";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// (id, notification code) of every WM_COMMAND the test dialogs received.
inline std::vector<std::pair<int, int>>& Commands()
{
    static std::vector<std::pair<int, int>> commands;
    return commands;
}

// What the test dialog does with any other message (tests set it).
inline std::function<void(HWND, UINT, WPARAM, LPARAM)>& DialogHook()
{
    static std::function<void(HWND, UINT, WPARAM, LPARAM)> hook;
    return hook;
}

// Control ids the dialog refuses to have skinned (0x83E8).
inline int& RefusedId()
{
    static int id = -1;
    return id;
}

inline INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (DialogHook())
        DialogHook()(dialog, message, wParam, lParam);
    if (message == WM_COMMAND)
        Commands().push_back({LOWORD(wParam), HIWORD(wParam)});
    if (message == 0x83E8) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, int(wParam) == RefusedId() ? 1 : 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// Scroll-bar hooks that only record their calls.
struct HookLog {
    std::vector<HWND> initialized, uninitialized;
    std::vector<int> styles, sizes, thumbs;
    int infoSets = 0;
};
inline HookLog g_hooks;
inline const SkinScrollBarHooks kFakeHooks = {
    [](HWND w) -> BOOL { g_hooks.initialized.push_back(w); return TRUE; },
    [](HWND w) -> HRESULT { g_hooks.uninitialized.push_back(w); return S_OK; },
    [](HWND, int, int style) -> BOOL { g_hooks.styles.push_back(style); return TRUE; },
    [](HWND, int, int length, int) -> BOOL { g_hooks.sizes.push_back(length); return TRUE; },
    [](HWND, int, int size) -> BOOL { g_hooks.thumbs.push_back(size); return TRUE; },
    [](HWND, int, SCROLLINFO*) -> BOOL { return FALSE; },
    [](HWND, int, SCROLLINFO*, BOOL) -> int { ++g_hooks.infoSets; return 0; },
};

class ControlDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        guitest::InitCommonControlsOnce();
        // Hover images follow the pointer, which may stand where the last
        // test on this screen left it.
        guitest::ParkPointer();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        ASSERT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
        Commands().clear();
        RefusedId() = -1;
        DialogHook() = nullptr;
        savedHooks_ = SkinGetScrollBarHooks();
    }
    void TearDown() override
    {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        guitest::ParkPointer();
        DialogHook() = nullptr;
        SkinLibExit();
        SkinSetScrollBarHooks(savedHooks_);
    }
    // Installs a changed copy of the test skin.
    bool Install(std::unique_ptr<SkinPackage> package)
    {
        return package && SkinManager::Instance().InstallSkin(package.release());
    }
    // Installs a copy of the test skin that change has set up; change says
    // false when an object it looks for is missing.
    bool InstallChanged(const std::function<bool(SkinPackage&)>& change)
    {
        std::unique_ptr<SkinPackage> package = ReadTestSkin();
        return package && change(*package) && Install(std::move(package));
    }
    // Creates the dialog and, with show, puts it on top and lets it paint.
    HWND MakeDialog(guitest::DialogTemplate& t, bool show = true)
    {
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &TestDialogProc, 0);
        if (dialog && show)
            Show(false);
        return dialog;
    }
    // Puts the dialog on top and lets it paint; with repaintAll it and all
    // its controls are painted again at once first (controls filled in after
    // creation).
    void Show(bool repaintAll = true)
    {
        SetWindowPos(dialog, HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dialog);
        if (repaintAll)
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        guitest::PumpFor(100);
    }
    HWND Item(int id) { return GetDlgItem(dialog, id); }
    template <typename T>
    T* SkinnerOf(HWND window)
    {
        return dynamic_cast<T*>(SkinManager::Instance().FindSkinObject(window));
    }
    template <typename T>
    T* SkinnerOf(int id)
    {
        return SkinnerOf<T>(Item(id));
    }
    // What the screen shows of a control's client area (negative
    // coordinates count from the right or bottom).
    COLORREF PixelOf(int id, int x, int y)
    {
        guitest::Capture c = guitest::Capture::OfWindow(Item(id));
        return c.At(x < 0 ? c.Width() + x : x, y < 0 ? c.Height() + y : y);
    }
    // The same with the control's frame.
    COLORREF FramePixelOf(int id, int x, int y)
    {
        guitest::Capture c = guitest::Capture::OfWindow(Item(id), false);
        return c.At(x < 0 ? c.Width() + x : x, y < 0 ? c.Height() + y : y);
    }
    int Clicks(int id)
    {
        int n = 0;
        for (auto& c : Commands())
            n += c.first == id && c.second == BN_CLICKED;
        return n;
    }
    HWND dialog = nullptr;
    const SkinScrollBarHooks* savedHooks_ = nullptr;  // the skinned scroll bars' own
};

}  // namespace skintest
