// The library's own windows that bind objects of the skin - the tooltip,
// popup menus with a submenu, the menu bar's drop-down - while another
// skin is installed, under the freed-object trap: the old skin's objects
// are trapped as they are freed, so a window that still reads them after
// the load is counted. Each is painted after the load; none may touch
// the old skin.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/frames/skin_frame.h"
#include "skin/skinners/frames/skin_menubar.h"
#include "skin/skinners/popups/skin_popup_menu.h"
#include "skin/skinners/popups/skin_tooltip.h"
#include "skin/skinners/tests/freed_object_trap.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;

void LoadTestSkin() { ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT")); }

void PaintNow(HWND window)
{
    if (window && IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// Items: 0 Open, 1 More (Alpha, Beta), 2 Exit.
HMENU MakeMenu()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "&Open");
    HMENU more = CreatePopupMenu();
    AppendMenuA(more, MF_STRING, 201, "&Alpha");
    AppendMenuA(more, MF_STRING, 202, "&Beta");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), "&More");
    AppendMenuA(menu, MF_STRING, 102, "E&xit");
    return menu;
}

class SkinReplaced : public testing::Test {
protected:
    void SetUp() override
    {
        guitest::ParkPointer();
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
    }
    void TearDown() override
    {
        skintest::TrapFreedBlocksOfSize(0);
        guitest::ParkPointer();
        guitest::CancelPending();
        if (window && IsWindow(window))
            DestroyWindow(window);
        if (menu)
            DestroyMenu(menu);
        SkinLibExit();
    }
    // Objects of this size are trapped from the first load on.
    void TrapAndLoad(size_t size)
    {
        skintest::TrapFreedBlocksOfSize(size);
        LoadTestSkin();
        touchesBefore = skintest::TouchesOfFreedBlocks();
    }
    int NewTouches() const { return skintest::TouchesOfFreedBlocks() - touchesBefore; }
    HWND MakeWindow(const char* title, HMENU withMenu)
    {
        window = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 260, nullptr,
                                 withMenu, GetModuleHandleA(nullptr), nullptr);
        return window;
    }

    HWND window = nullptr;
    HMENU menu = nullptr;
    int touchesBefore = 0;
};

TEST_F(SkinReplaced, TheTooltipWaitingToShowTakesTheNewSkin)
{
    TrapAndLoad(sizeof(SkinTooltipData));
    // A Tooltip object of the first skin, bound by an item's tooltip.
    std::unique_ptr<SkinTooltipData> data(new SkinTooltipData());
    data->SetName("Tip");
    data->showDelay = 100;
    const SkinTooltipData* first = data.get();
    ASSERT_TRUE(SkinManager::Instance().GetSkin()->AddObject(std::move(data)));
    SkinTooltip* tooltip = GetSkinTooltipWindow();
    ASSERT_NE(tooltip, nullptr);
    SkinItem item;
    item.SetName("A tip over a skin that goes");
    item.ShowTooltip();
    ASSERT_EQ(tooltip->GetSkinData(), first);

    LoadTestSkin();  // the first skin and its Tooltip object go
    EXPECT_NE(tooltip->GetSkinData(), first);
    ASSERT_TRUE(guitest::PumpUntil([&] { return IsWindowVisible(tooltip->GetWindow()) != FALSE; }, 3000));
    PaintNow(tooltip->GetWindow());
    guitest::SaveScreenScreenshot("skin_reskin_tooltip");
    EXPECT_EQ(NewTouches(), 0);
}

TEST_F(SkinReplaced, AnOpenPopupMenuAndItsSubmenuTakeTheNewSkin)
{
    TrapAndLoad(sizeof(SkinMenuData));
    menu = MakeMenu();
    ASSERT_NE(MakeWindow("Popup owner", nullptr), nullptr);
    SetForegroundWindow(window);
    bool submenuOpened = false, reboundBoth = false;
    guitest::RunLater(0, [&] {
        SkinPopupMenu* popup = nullptr;
        ASSERT_TRUE(guitest::PumpUntil([&] {
            popup = SkinPopupMenu::FromWindow(FindWindowA(kPopupMenuClass, nullptr));
            return popup && IsWindowVisible(popup->GetWindow());
        }));
        PostMessageA(popup->GetWindow(), WM_KEYDOWN, VK_DOWN, 0);  // Open
        PostMessageA(popup->GetWindow(), WM_KEYDOWN, VK_DOWN, 0);  // More
        PostMessageA(popup->GetWindow(), WM_KEYDOWN, VK_RIGHT, 0);
        submenuOpened = guitest::PumpUntil([&] { return popup->GetChild() != nullptr; });
        const SkinDataObject* first = popup->GetSkinData();
        LoadTestSkin();  // while both are open
        SkinPopupMenu* child = popup->GetChild();
        reboundBoth = popup->GetSkinData() != first && child && child->GetSkinData() != first;
        PaintNow(popup->GetWindow());
        if (child)
            PaintNow(child->GetWindow());
        guitest::SaveScreenScreenshot("skin_reskin_popup_menu");
        if (child)
            PostMessageA(child->GetWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(popup->GetWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    SkinGdiUtil::TrackPopupMenu(menu, TPM_RETURNCMD, 200, 150, window, FALSE);
    EXPECT_TRUE(submenuOpened);
    EXPECT_TRUE(reboundBoth);
    EXPECT_EQ(NewTouches(), 0);
}

TEST_F(SkinReplaced, TheMenuBarsDropDownTakesTheNewSkin)
{
    TrapAndLoad(sizeof(SkinMenuData));
    menu = CreateMenu();
    HMENU file = MakeMenu();
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    ASSERT_NE(MakeWindow("Skinned frame", menu), nullptr);
    ASSERT_TRUE(SkinSetFrameWindow(window, "MainFrame"));
    auto* frame = dynamic_cast<SkinFrame*>(SkinManager::Instance().FindSkinObject(window));
    ASSERT_NE(frame, nullptr);
    SetForegroundWindow(window);
    PaintNow(window);
    ASSERT_EQ(frame->MenuBar().Items().size(), 1u);
    const RECT item = frame->MenuBar().Items()[0]->GetRect();
    RECT w;
    GetWindowRect(window, &w);
    SendMessageA(window, WM_NCLBUTTONDOWN, HTMENU,
                 MAKELPARAM(w.left + (item.left + item.right) / 2, w.top + (item.top + item.bottom) / 2));
    HWND dropDown = frame->MenuBar().Items()[0]->GetPopupWindow();
    ASSERT_NE(dropDown, nullptr);
    ASSERT_TRUE(guitest::PumpUntil([&] { return IsWindowVisible(dropDown) != FALSE; }));

    LoadTestSkin();  // while the drop-down is open
    PaintNow(dropDown);
    PaintNow(window);
    guitest::PumpPending();
    guitest::SaveScreenScreenshot("skin_reskin_menubar_drop_down");
    EXPECT_EQ(NewTouches(), 0);
}

}  // namespace
