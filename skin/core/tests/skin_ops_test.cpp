// The library's operations: ordinals of VeneerKit.dll, the not-started
// code, per-thread codes, start and end, and resource failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "skin/core/skin_ops.h"

namespace {

typedef BOOL(WINAPI* InitFn)(HINSTANCE, LPCSTR, LPCSTR, int);
typedef void(WINAPI* VoidFn)(void);
typedef BOOL(WINAPI* LoadFn)(HINSTANCE, LPCSTR, LPCSTR);
typedef BOOL(WINAPI* WindowNameFn)(HWND, LPCSTR);
typedef BOOL(WINAPI* WindowFn)(HWND);
typedef BOOL(WINAPI* NameFn)(LPCSTR);
typedef int(WINAPI* ErrorFn)(void);

// VeneerKit.dll lies beside the test program.
std::string DllPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + "VeneerKit.dll";
}

class VeneerKitDll : public testing::Test {
protected:
    void SetUp() override
    {
        dll = LoadLibraryA(DllPath().c_str());
        ASSERT_NE(dll, nullptr) << DllPath();
    }
    void TearDown() override
    {
        if (dll)
            FreeLibrary(dll);
    }
    template <typename F>
    F ByOrdinal(int ordinal)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, MAKEINTRESOURCEA(ordinal))));
    }
    HMODULE dll = nullptr;
};

TEST_F(VeneerKitDll, OrdinalsResolveAndThreeAndSixAreAbsent)
{
    for (int ordinal : {1, 2, 4, 5, 7, 8, 9})
        EXPECT_NE(ByOrdinal<FARPROC>(ordinal), nullptr) << ordinal;
    for (int ordinal : {3, 6})
        EXPECT_EQ(ByOrdinal<FARPROC>(ordinal), nullptr) << ordinal;
    // Names carry no decoration.
    struct Named {
        const char* name;
        int ordinal;
    } names[] = {{"SkinLibInit", 1}, {"SkinLibExit", 2}, {"SkinLoadResource", 4},
                 {"SkinSetFrameWindow", 5}, {"SkinDetachWindow", 7},
                 {"SkinSetDefaultDialogSkin", 8}, {"SkinSetDialogWindow", 9}};
    for (const Named& n : names)
        EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(dll, n.name)),
                  reinterpret_cast<void*>(GetProcAddress(dll, MAKEINTRESOURCEA(n.ordinal))))
            << n.name;
    EXPECT_NE(GetProcAddress(dll, "SkinGetLastError"), nullptr);
}

TEST_F(VeneerKitDll, OperationsBeforeStartFailWithCode19)
{
    auto error = reinterpret_cast<ErrorFn>(reinterpret_cast<void*>(GetProcAddress(dll, "SkinGetLastError")));
    ASSERT_NE(error, nullptr);
    HWND desk = GetDesktopWindow();
    EXPECT_FALSE(ByOrdinal<LoadFn>(4)(nullptr, MAKEINTRESOURCEA(144), "RT_VENEERKIT"));
    EXPECT_EQ(error(), 19);
    EXPECT_FALSE(ByOrdinal<WindowNameFn>(5)(desk, "Dialog"));
    EXPECT_EQ(error(), 19);
    EXPECT_FALSE(ByOrdinal<WindowFn>(7)(desk));
    EXPECT_EQ(error(), 19);
    EXPECT_FALSE(ByOrdinal<NameFn>(8)("Dialog"));
    EXPECT_EQ(error(), 19);
    EXPECT_FALSE(ByOrdinal<WindowNameFn>(9)(desk, "Dialog"));
    EXPECT_EQ(error(), 19);
    ByOrdinal<VoidFn>(2)();  // ending before a start does nothing

    // Once started, the same calls no longer answer 19.
    ASSERT_TRUE(ByOrdinal<InitFn>(1)(GetModuleHandleA(nullptr), "", "", 0));
    EXPECT_EQ(error(), 0);
    EXPECT_TRUE(ByOrdinal<NameFn>(8)("Dialog"));
    EXPECT_FALSE(ByOrdinal<LoadFn>(4)(nullptr, MAKEINTRESOURCEA(4444), "RT_VENEERKIT"));
    EXPECT_EQ(error(), 16);
    ByOrdinal<VoidFn>(2)();
    EXPECT_FALSE(ByOrdinal<NameFn>(8)("Dialog"));
    EXPECT_EQ(error(), 19);
}

// The static form, linked in: the launcher's way.
TEST(SkinLibOps, StartEndAndTheDefaultDialogSkin)
{
    EXPECT_FALSE(SkinLibIsStarted());
    EXPECT_FALSE(SkinSetDefaultDialogSkin("Dialog"));
    EXPECT_EQ(SkinGetLastError(), 19);
    EXPECT_FALSE(SkinClearDefaultDialogSkin());
    EXPECT_FALSE(SkinAttachWindow(nullptr, nullptr));
    EXPECT_EQ(SkinGetLastError(), 19);
    // Not among the operations that answer 19.
    int state = 5;
    EXPECT_FALSE(SkinQueryElementState(GetDesktopWindow(), "Close", &state));
    EXPECT_EQ(SkinGetLastError(), 8);
    SkinRefreshScrollBars();

    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));  // second start: nothing new
    EXPECT_TRUE(SkinLibIsStarted());
    EXPECT_TRUE(SkinSetDefaultDialogSkin(std::string(60, 'x').c_str()));
    EXPECT_EQ(std::string(SkinLibGetDefaultDialogSkin()), std::string(50, 'x'));
    EXPECT_TRUE(SkinSetDefaultDialogSkin("Dialog"));
    EXPECT_STREQ(SkinLibGetDefaultDialogSkin(), "Dialog");
    EXPECT_TRUE(SkinClearDefaultDialogSkin());
    EXPECT_STREQ(SkinLibGetDefaultDialogSkin(), "");

    // Resource failures: no such resource; a resource that is no skin
    // (the previous skin stays).
    EXPECT_FALSE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(4321), "RT_VENEERKIT"));
    EXPECT_EQ(SkinGetLastError(), 16);
    EXPECT_EQ(SkinLibGetSkin(), nullptr);

    // Windows created while started still show up normally (the hook passes
    // messages on).
    HWND w = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(w, nullptr);
    DestroyWindow(w);

    // Two starts, one end: the thread is ended and so is the library.
    SkinSetDefaultDialogSkin("Dialog");
    SkinLibExit();
    EXPECT_FALSE(SkinLibIsStarted());
    EXPECT_STREQ(SkinLibGetDefaultDialogSkin(), "");
}

TEST(SkinLibOps, CodesAreKeptPerThread)
{
    ASSERT_FALSE(SkinLibIsStarted());
    int state = 0;
    SkinQueryElementState(nullptr, "x", &state);  // this thread: 8
    int other = -1;
    std::thread t([&] {
        SkinSetDefaultDialogSkin("Dialog");  // that thread: 19
        other = SkinGetLastError();
    });
    t.join();
    EXPECT_EQ(other, 19);
    EXPECT_EQ(SkinGetLastError(), 8);

    // A thread that starts keeps the library started for the others.
    ASSERT_TRUE(SkinLibInit(nullptr, nullptr, nullptr, 0));
    BOOL fromThread = FALSE;
    std::thread u([&] {
        fromThread = SkinLibInit(nullptr, nullptr, nullptr, 0);
        SkinLibExit();
    });
    u.join();
    EXPECT_TRUE(fromThread);
    EXPECT_TRUE(SkinLibIsStarted());
    SkinLibExit();
    EXPECT_FALSE(SkinLibIsStarted());
}

}  // namespace
