// The tab skinner under Wine with the test skin (Tab NORMAL 4,9, PRESSED
// 5,9, DISABLED 6,9, HOVERED 7,9, FRAME 8,9, BACKGROUND 9,9): the selected
// tab pressed and the others normal, the page frame under the tab rows, a
// disabled tab control in its disabled set, controls placed on the tab
// showing the tab behind them, bottom tabs showing the tab image upside
// down and left tabs turned a quarter, owner-drawn tab controls left alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/bars/skin_tab.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

const int kTab = 10, kLabel = 11;

using skintest::Cell;

class TabSkinner : public skintest::ControlDialogTest {
protected:
    // A dialog with a three-tab control and a label on its page.
    void MakeDialog(DWORD tabStyle)
    {
        guitest::DialogTemplate t("Tabs", 0, 0, 220, 120);
        t.Add("SysTabControl32", kTab, "", 5, 5, 210, 110, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | tabStyle)
            .Static(kLabel, "On the page", 60, 60, 60, 12);
        ASSERT_NE(ControlDialogTest::MakeDialog(t, false), nullptr);
        tab = GetDlgItem(dialog, kTab);
        const char* names[] = {"First", "Second", "Third"};
        for (int i = 0; i < 3; ++i) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(names[i]);
            SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageA(tab, TCM_SETCURSEL, 1, 0);
        // The label above the tab in z-order, as a dialog puts a page's controls.
        SetWindowPos(GetDlgItem(dialog, kLabel), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Show();
    }
    RECT ItemRect(int i)
    {
        RECT r = {};
        SendMessageA(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    COLORREF TabPixel(int x, int y)
    {
        guitest::Capture c = guitest::Capture::OfWindow(tab);
        return c.At(x, y);
    }
    HWND tab = nullptr;
};

TEST_F(TabSkinner, TabsInTheirStatesOverTheFramedPage)
{
    MakeDialog(0);
    ASSERT_NE(dynamic_cast<SkinTab*>(SkinManager::Instance().FindSkinObject(tab)), nullptr);
    guitest::SaveScreenshot(dialog, "skinned_tabs");
    const RECT first = ItemRect(0), second = ItemRect(1);
    EXPECT_EQ(TabPixel(first.left + 2, first.top + 2), Cell(4, 9));
    EXPECT_EQ(TabPixel(second.left + 2, second.top + 2), Cell(5, 9));
    RECT client;
    GetClientRect(tab, &client);
    EXPECT_EQ(TabPixel(client.right - 10, client.bottom - 10), Cell(8, 9)) << "the page frame";

    // A control on the page is given the tab's picture behind it.
    HWND label = GetDlgItem(dialog, kLabel);
    RECT r;
    GetClientRect(label, &r);
    HDC screen = GetDC(nullptr);
    SkinMemDC behind(screen, r.right, r.bottom);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(SendMessageA(tab, kSkinMsgChildBackground, reinterpret_cast<WPARAM>(behind.GetDC()),
                           reinterpret_cast<LPARAM>(label)),
              1);
    EXPECT_EQ(GetPixel(behind, 2, 2), Cell(8, 9));

    EnableWindow(tab, FALSE);
    RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    guitest::PumpFor(50);
    EXPECT_EQ(TabPixel(first.left + 2, first.top + 2), Cell(6, 9));
}

TEST_F(TabSkinner, BottomAndLeftTabsAreDrawnFromTheTabImages)
{
    MakeDialog(TCS_BOTTOM);
    guitest::SaveScreenshot(dialog, "skinned_tabs_bottom");
    RECT first = ItemRect(0);
    EXPECT_EQ(TabPixel(first.left + 3, first.bottom - 3), Cell(4, 9));
    DestroyWindow(dialog);

    // A normal tab image of two cells, 0,13 above 0,14: a bottom tab shows
    // it upside down.
    auto* data = dynamic_cast<SkinTabData*>(SkinManager::Instance().GetSkin()->FindObjectByType(kSkinTab));
    ASSERT_NE(data, nullptr);
    SkinLayoutImage& image = data->states[0].image;
    image.source = MakeSkinRect(0, 208, 16, 240);
    image.marginLeft = image.marginTop = image.marginRight = image.marginBottom = 0;
    image.layoutMode = 1;
    MakeDialog(0);
    first = ItemRect(0);
    EXPECT_EQ(TabPixel(first.left + 3, first.top + 2), Cell(0, 13));
    EXPECT_EQ(TabPixel(first.left + 3, first.bottom - 3), Cell(0, 14));
    DestroyWindow(dialog);
    MakeDialog(TCS_BOTTOM);
    first = ItemRect(0);
    EXPECT_EQ(TabPixel(first.left + 3, first.top + 2), Cell(0, 14));
    EXPECT_EQ(TabPixel(first.left + 3, first.bottom - 3), Cell(0, 13));
    DestroyWindow(dialog);

    MakeDialog(TCS_VERTICAL | TCS_MULTILINE);
    guitest::SaveScreenshot(dialog, "skinned_tabs_left");
    // Turned a quarter anticlockwise: the image's top is at the tab's left.
    first = ItemRect(0);
    EXPECT_EQ(TabPixel(first.left + 2, (first.top + first.bottom) / 2), Cell(0, 13));
    EXPECT_EQ(TabPixel(first.right - 4, (first.top + first.bottom) / 2), Cell(0, 14));
}

TEST_F(TabSkinner, OwnerDrawnTabControlsKeepTheirSystemLook)
{
    MakeDialog(TCS_OWNERDRAWFIXED);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(tab), nullptr);
}

}  // namespace
