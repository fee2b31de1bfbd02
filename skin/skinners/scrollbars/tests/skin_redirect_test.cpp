// The scroll-bar and system-colour redirection under Wine: Wine reports a
// current NT system (OS class 1), which gets none; the NT 4 / 2000 / XP
// code trampolines and the Windows 98 / ME import entries are reached by
// making the OS class answer for those systems. The process's own calls
// are checked: scroll functions answer from the skinned bars for windows
// that have them and from USER32 for the others, system colours come from
// the skin's colour table while one is loaded, and removal undoes it all.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/scrollbars/skin_redirect.h"
#include "skin/skinners/scrollbars/skin_scrollbar.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;
const COLORREF kSkinColour5 = RGB(0x12, 0x34, 0x56);
const COLORREF kSkinColour0 = RGB(0xAB, 0xCD, 0xEF);

// The process's calls, each made afresh: the compiler may keep an import
// entry it read once for the rest of a function, and would then miss the
// rewriting of the entry.
namespace Calls {
__attribute__((noinline)) int GetScrollPos(HWND w, int bar) { return ::GetScrollPos(w, bar); }
__attribute__((noinline)) int SetScrollPos(HWND w, int bar, int pos, BOOL redraw)
{
    return ::SetScrollPos(w, bar, pos, redraw);
}
__attribute__((noinline)) BOOL GetScrollRange(HWND w, int bar, int* min, int* max)
{
    return ::GetScrollRange(w, bar, min, max);
}
__attribute__((noinline)) BOOL GetScrollInfo(HWND w, int bar, SCROLLINFO* info) { return ::GetScrollInfo(w, bar, info); }
__attribute__((noinline)) int SetScrollInfo(HWND w, int bar, const SCROLLINFO* info, BOOL redraw)
{
    return ::SetScrollInfo(w, bar, info, redraw);
}
__attribute__((noinline)) BOOL ShowScrollBar(HWND w, int bar, BOOL show) { return ::ShowScrollBar(w, bar, show); }
__attribute__((noinline)) BOOL EnableScrollBar(HWND w, UINT bar, UINT arrows)
{
    return ::EnableScrollBar(w, bar, arrows);
}
__attribute__((noinline)) DWORD GetSysColor(int index) { return ::GetSysColor(index); }
__attribute__((noinline)) HBRUSH GetSysColorBrush(int index) { return ::GetSysColorBrush(index); }
}  // namespace Calls

// A window with system bars, and one with skinned bars.
HWND MakeScrolled()
{
    HWND w = CreateWindowExA(0, "STATIC", "bars", WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_VISIBLE, 40,
                             40, 240, 180, nullptr, nullptr, nullptr, nullptr);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = 99;
    info.nPage = 10;
    info.nPos = 7;
    ::SetScrollInfo(w, SB_VERT, &info, TRUE);
    return w;
}

class Redirection : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        systemColour5 = Calls::GetSysColor(5);
        plain = MakeScrolled();
        skinned = MakeScrolled();
        ASSERT_TRUE(CustomSB_Initialize(skinned));
    }
    void TearDown() override
    {
        RemoveScrollApiRedirect();
        SkinGdiUtil::SetOsClassOverride(-1);
        DestroyWindow(plain);
        DestroyWindow(skinned);
        SkinLibExit();
    }
    // Gives the loaded skin a colour table.
    void AddColourTable()
    {
        SkinPackage* skin = SkinManager::Instance().GetSkin();
        std::unique_ptr<SkinSysColorTable> table(new SkinSysColorTable());
        table->SetName("Colours");
        table->colors[0] = kSkinColour0;
        table->colors[5] = kSkinColour5;
        SkinSysColorTable* raw = table.get();
        ASSERT_TRUE(skin->AddObject(std::move(table)));
        raw->Resolve(*skin);
        ASSERT_EQ(skin->GetColorTable(), raw);
    }
    // The skinned window's bar moves to a position USER32 never saw.
    void MoveSkinnedBar(int pos)
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = 199;
        info.nPage = 20;
        info.nPos = pos;
        CustomSB_SetScrollInfo(skinned, SB_VERT, &info, FALSE);
    }
    HWND plain = nullptr;
    HWND skinned = nullptr;
    COLORREF systemColour5 = 0;
};

TEST_F(Redirection, CurrentSystemsAndWindows95GetNone)
{
    for (int os : {0, 1, 2}) {
        SkinGdiUtil::SetOsClassOverride(os);
        EXPECT_FALSE(InstallScrollApiRedirect()) << os;
        EXPECT_EQ(ScrollApiRedirectKind(), 0);
        EXPECT_FALSE(RemoveScrollApiRedirect());
    }
    // Under Wine the library's own start installed nothing either.
    SkinGdiUtil::SetOsClassOverride(-1);
    EXPECT_EQ(SkinGdiUtil::GetOsClass(), 1);
    EXPECT_EQ(ScrollApiRedirectKind(), 0);
    AddColourTable();
    EXPECT_EQ(Calls::GetSysColor(5), systemColour5);
}

TEST_F(Redirection, CodeTrampolinesOnTheNtFamily)
{
    MoveSkinnedBar(42);
    SkinGdiUtil::SetOsClassOverride(7);
    ASSERT_TRUE(InstallScrollApiRedirect());
    EXPECT_EQ(ScrollApiRedirectKind(), 2);
    EXPECT_TRUE(InstallScrollApiRedirect());  // once is enough

    // Scroll calls reach the skinned bars, or USER32 for other windows.
    EXPECT_EQ(Calls::GetScrollPos(skinned, SB_VERT), 42);
    EXPECT_EQ(Calls::GetScrollPos(plain, SB_VERT), 7);
    int min = 0, max = 0;
    Calls::GetScrollRange(skinned, SB_VERT, &min, &max);
    EXPECT_EQ(max, 199);
    Calls::GetScrollRange(plain, SB_VERT, &min, &max);
    EXPECT_EQ(max, 99);
    EXPECT_EQ(Calls::SetScrollPos(skinned, SB_VERT, 50, FALSE), 42);
    EXPECT_EQ(CustomSB_GetScrollPos(skinned, SB_VERT), 50);
    EXPECT_EQ(Calls::SetScrollPos(plain, SB_VERT, 9, FALSE), 7);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    ASSERT_TRUE(Calls::GetScrollInfo(plain, SB_VERT, &info));
    EXPECT_EQ(info.nPos, 9);
    EXPECT_TRUE(Calls::ShowScrollBar(skinned, SB_HORZ, FALSE));
    EXPECT_FALSE(GetWindowLongA(skinned, GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(Calls::EnableScrollBar(skinned, SB_VERT, ESB_DISABLE_BOTH));
    // A window without skinned bars still gets USER32's EnableScrollBar.
    EXPECT_TRUE(Calls::EnableScrollBar(plain, SB_VERT, ESB_DISABLE_BOTH));

    // System colours from the skin's table while it is loaded.
    EXPECT_EQ(Calls::GetSysColor(5), systemColour5);  // no table yet
    AddColourTable();
    EXPECT_EQ(Calls::GetSysColor(5), kSkinColour5);
    EXPECT_EQ(Calls::GetSysColor(31), kSkinColour0);
    EXPECT_EQ(Calls::GetSysColor(-1), kSkinColour0);
    HBRUSH brush = Calls::GetSysColorBrush(5);
    LOGBRUSH logBrush = {};
    ASSERT_TRUE(GetObjectA(brush, sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbColor, kSkinColour5);

    // Another skin without a table: the system's colours again.
    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    EXPECT_EQ(Calls::GetSysColor(5), systemColour5);
    AddColourTable();
    EXPECT_EQ(Calls::GetSysColor(5), kSkinColour5);

    // SetScrollInfo (moved into the import entries under Wine) too.
    info.fMask = SIF_POS;
    info.nPos = 60;
    EXPECT_EQ(Calls::SetScrollInfo(skinned, SB_VERT, &info, FALSE), 60);
    EXPECT_EQ(CustomSB_GetScrollPos(skinned, SB_VERT), 60);

    // Removed: USER32 answers everything again.
    EXPECT_TRUE(RemoveScrollApiRedirect());
    EXPECT_EQ(ScrollApiRedirectKind(), 0);
    EXPECT_EQ(Calls::GetSysColor(5), systemColour5);
    EXPECT_EQ(Calls::GetScrollPos(skinned, SB_VERT), 7);
    EXPECT_EQ(CustomSB_GetScrollPos(skinned, SB_VERT), 60);
}

TEST_F(Redirection, ImportEntriesOnWindows98AndMe)
{
    MoveSkinnedBar(33);
    SkinGdiUtil::SetOsClassOverride(3);
    ASSERT_TRUE(InstallScrollApiRedirect());
    EXPECT_EQ(ScrollApiRedirectKind(), 1);
    // This program's imports now lead to the skinned bars.
    EXPECT_EQ(Calls::GetScrollPos(skinned, SB_VERT), 33);
    EXPECT_EQ(Calls::GetScrollPos(plain, SB_VERT), 7);
    EXPECT_EQ(Calls::SetScrollPos(skinned, SB_VERT, 40, FALSE), 33);
    EXPECT_EQ(CustomSB_GetScrollPos(skinned, SB_VERT), 40);
    // No colour redirection on this family.
    AddColourTable();
    EXPECT_EQ(Calls::GetSysColor(5), systemColour5);
    EXPECT_TRUE(RemoveScrollApiRedirect());
    EXPECT_EQ(ScrollApiRedirectKind(), 0);
    EXPECT_EQ(Calls::GetScrollPos(skinned, SB_VERT), 7);
}

// Callers keep the brushes they are given (a class background): neither
// the next load nor the library's end deletes them.
TEST_F(Redirection, BrushesOfTheSkinsColoursOutliveTheSkin)
{
    SkinGdiUtil::SetOsClassOverride(7);
    ASSERT_TRUE(InstallScrollApiRedirect());
    AddColourTable();
    HBRUSH brush = Calls::GetSysColorBrush(5);
    ASSERT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH));
    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH)) << "after the next load";
    AddColourTable();
    HBRUSH again = Calls::GetSysColorBrush(5);
    LOGBRUSH logBrush = {};
    ASSERT_TRUE(GetObjectA(again, sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbColor, kSkinColour5);
    SkinLibExit();
    EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH)) << "after the end";
    EXPECT_EQ(GetObjectType(again), DWORD(OBJ_BRUSH)) << "after the end";
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
}

TEST(RedirectionLifetime, TheLibraryStartInstallsItAndItsEndRemovesIt)
{
    SkinGdiUtil::SetOsClassOverride(6);
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    EXPECT_EQ(ScrollApiRedirectKind(), 2);
    SkinLibExit();
    EXPECT_EQ(ScrollApiRedirectKind(), 0);
    SkinGdiUtil::SetOsClassOverride(-1);
}

}  // namespace
