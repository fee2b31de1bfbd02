// The packed skins embedded as "RT_VENEERKIT" resources load through
// VeneerKit.dll's ordinal 4 and through the linked library.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"

namespace {

typedef BOOL(WINAPI* InitFn)(HINSTANCE, LPCSTR, LPCSTR, int);
typedef void(WINAPI* ExitFn)(void);
typedef BOOL(WINAPI* LoadFn)(HINSTANCE, LPCSTR, LPCSTR);
typedef int(WINAPI* ErrorFn)(void);

template <typename F>
F Proc(HMODULE dll, LPCSTR name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

TEST(SkinResource, DiscProgramsLoadTheirSkinByOrdinal)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir = dir.substr(0, dir.find_last_of("\\/") + 1);
    HMODULE dll = LoadLibraryA((dir + "VeneerKit.dll").c_str());
    ASSERT_NE(dll, nullptr);
    auto init = Proc<InitFn>(dll, MAKEINTRESOURCEA(1));
    auto end = Proc<ExitFn>(dll, MAKEINTRESOURCEA(2));
    auto load = Proc<LoadFn>(dll, MAKEINTRESOURCEA(4));
    auto error = Proc<ErrorFn>(dll, "SkinGetLastError");
    ASSERT_TRUE(init && end && load && error);
    ASSERT_TRUE(init(GetModuleHandleA(nullptr), "", "", 0));
    EXPECT_TRUE(load(nullptr, MAKEINTRESOURCEA(129), "RT_VENEERKIT"));
    EXPECT_TRUE(load(nullptr, MAKEINTRESOURCEA(130), "RT_VENEERKIT"));
    // A resource that is no packed skin (a text) fails with the code of
    // what the reader found: it does not unpack.
    EXPECT_FALSE(load(nullptr, MAKEINTRESOURCEA(131), "RT_VENEERKIT"));
    EXPECT_EQ(error(), 5);
    EXPECT_FALSE(load(nullptr, MAKEINTRESOURCEA(132), "RT_VENEERKIT"));
    EXPECT_EQ(error(), 16);
    end();
    FreeLibrary(dll);
}

TEST(SkinResource, LauncherLoadsItsSkinLinkedIn)
{
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(129), "RT_VENEERKIT"));
    SkinPackage* skin = SkinLibGetSkin();
    ASSERT_NE(skin, nullptr);
    EXPECT_NE(skin->FindObject("Dialog"), nullptr);
    EXPECT_NE(skin->FindObject("Quorbel"), nullptr);
    EXPECT_NE(skin->FindImage("interface_on.bmp"), nullptr);
    // A skin that cannot be read leaves the installed one.
    EXPECT_FALSE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(131), "RT_VENEERKIT"));
    EXPECT_EQ(SkinLibGetSkin(), skin);
    SkinLibExit();
    EXPECT_EQ(SkinLibGetSkin(), nullptr);
}

}  // namespace
