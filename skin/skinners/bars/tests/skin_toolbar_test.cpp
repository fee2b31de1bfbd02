// The toolbar, status bar, header, rebar and control bar skinners under
// Wine with the test skin (ToolBar IMAGE1 15,9, also the control bars' look;
// StatusBar BACKIMAGE 10,9 and ITEM 11,9; Header BACKGROUND 12,9 and ITEM
// 13,9; a Rebar object added with BACKGROUND 4,13 and BANDIMAGE 5,13), in
// dialogs skinned from "Dialog".
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/bars/skin_controlbar.h"
#include "skin/skinners/bars/skin_header.h"
#include "skin/skinners/bars/skin_rebar.h"
#include "skin/skinners/bars/skin_statusbar.h"
#include "skin/skinners/bars/skin_toolbar.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;
using skintest::CellImage;

// The bars are filled in before the dialog is shown (Show()).
class BarSkinners : public skintest::ControlDialogTest {
protected:
    void MakeDialog(guitest::DialogTemplate& t) { ASSERT_NE(ControlDialogTest::MakeDialog(t, false), nullptr); }
};

TEST_F(BarSkinners, ToolbarButtonsInTheirStateImages)
{
    // Checked wins over hot: the pressed image.
    EXPECT_EQ(SkinToolBar::ButtonImage(TBSTATE_ENABLED | TBSTATE_CHECKED, true), 1);
    EXPECT_EQ(SkinToolBar::ButtonImage(TBSTATE_ENABLED | TBSTATE_PRESSED, false), 1);
    EXPECT_EQ(SkinToolBar::ButtonImage(TBSTATE_ENABLED, true), 2);
    EXPECT_EQ(SkinToolBar::ButtonImage(TBSTATE_ENABLED, false), 0);
    EXPECT_EQ(SkinToolBar::ButtonImage(0, true), 3);
    EXPECT_EQ(SkinToolBar::ButtonImage(TBSTATE_ENABLED | TBSTATE_INDETERMINATE, false), 3);

    // The test skin's ToolBar with button images from cells 0..3 of row 13.
    auto* data = dynamic_cast<SkinToolBarData*>(SkinManager::Instance().GetSkin()->FindObjectByType(kSkinToolBar));
    ASSERT_NE(data, nullptr);
    for (int i = 0; i < 4; ++i)
        data->images[1 + i] = CellImage(i, 13);
    guitest::DialogTemplate t("Toolbar", 0, 0, 200, 80);
    t.Add("ToolbarWindow32", 10, "", 0, 0, 200, 20,
          WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_FLAT);
    MakeDialog(t);
    HWND bar = GetDlgItem(dialog, 10);
    ASSERT_NE(dynamic_cast<SkinToolBar*>(SkinManager::Instance().FindSkinObject(bar)), nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[4] = {};
    const BYTE states[4] = {TBSTATE_ENABLED, TBSTATE_ENABLED | TBSTATE_CHECKED, 0, TBSTATE_ENABLED};
    for (int i = 0; i < 4; ++i) {
        buttons[i].iBitmap = -1;
        buttons[i].idCommand = 100 + i;
        buttons[i].fsState = states[i];
        buttons[i].fsStyle = i == 3 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
    }
    SendMessageA(bar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(buttons));
    Show();
    guitest::SaveScreenshot(dialog, "skinned_toolbar");
    guitest::Capture c = guitest::Capture::OfWindow(bar);
    ASSERT_TRUE(c.Valid());
    RECT r[4];
    for (int i = 0; i < 4; ++i)
        SendMessageA(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r[i]));
    EXPECT_EQ(c.At(r[0].left + 3, r[0].top + 3), Cell(0, 13)) << "normal";
    EXPECT_EQ(c.At(r[1].left + 3, r[1].top + 3), Cell(1, 13)) << "checked: pressed";
    EXPECT_EQ(c.At(r[2].left + 3, r[2].top + 3), Cell(3, 13)) << "disabled";
    EXPECT_EQ(c.At(r[3].left + 2, r[3].top + 3), Cell(15, 9)) << "a separator shows the background";
    // Hot and checked: still the pressed image.
    SendMessageA(bar, TB_SETHOTITEM, 1, 0);
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    guitest::PumpFor(50);
    c = guitest::Capture::OfWindow(bar);
    EXPECT_EQ(c.At(r[1].left + 3, r[1].top + 3), Cell(1, 13));
}

// The skinner reads at most 100 characters of a button's text, however
// long the text the toolbar holds.
TEST_F(BarSkinners, AToolbarButtonTextOfThousandsOfCharactersIsCut)
{
    guitest::DialogTemplate t("Toolbar", 0, 0, 200, 80);
    t.Add("ToolbarWindow32", 10, "", 0, 0, 200, 40,
          WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | TBSTYLE_FLAT | TBSTYLE_LIST);
    MakeDialog(t);
    HWND bar = GetDlgItem(dialog, 10);
    ASSERT_NE(dynamic_cast<SkinToolBar*>(SkinManager::Instance().FindSkinObject(bar)), nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const std::string text(3000, 'W');
    TBBUTTON button = {};
    button.iBitmap = -1;
    button.idCommand = 100;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_BUTTON;
    button.iString = reinterpret_cast<INT_PTR>(text.c_str());
    ASSERT_TRUE(SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)));
    ASSERT_EQ(SendMessageA(bar, TB_GETBUTTONTEXTA, 100, 0), LRESULT(text.size()));
    Show();
    guitest::SaveScreenshot(dialog, "skinned_toolbar_long_text");
    guitest::Capture c = guitest::Capture::OfWindow(bar);
    ASSERT_TRUE(c.Valid());
    EXPECT_EQ(c.At(c.Width() - 3, c.Height() - 3), Cell(15, 9)) << "the toolbar painted";
}

TEST_F(BarSkinners, StatusBarPartsAndHeaderItems)
{
    guitest::DialogTemplate t("Bars", 0, 0, 220, 100);
    t.Add("SysHeader32", 11, "", 0, 0, 220, 14, WS_CHILD | WS_VISIBLE | HDS_HORZ)
        .Add("msctls_statusbar32", 10, "", 0, 88, 220, 12, WS_CHILD | WS_VISIBLE | CCS_BOTTOM);
    MakeDialog(t);
    HWND status = GetDlgItem(dialog, 10), header = GetDlgItem(dialog, 11);
    auto* statusSkinner = dynamic_cast<SkinStatusBar*>(SkinManager::Instance().FindSkinObject(status));
    ASSERT_NE(statusSkinner, nullptr);
    ASSERT_NE(dynamic_cast<SkinHeader*>(SkinManager::Instance().FindSkinObject(header)), nullptr);
    EXPECT_NE(GetWindowLongA(status, GWL_STYLE) & WS_CLIPCHILDREN, 0);
    int edges[2] = {120, -1};
    SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Ready"));
    for (int i = 0; i < 2; ++i) {
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = 100;
        item.pszText = const_cast<char*>(i ? "Size" : "Name");
        item.fmt = i ? HDF_RIGHT : HDF_LEFT;
        SendMessageA(header, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    Show();
    guitest::SaveScreenshot(dialog, "skinned_status_header");
    RECT part;
    SendMessageA(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    guitest::Capture s = guitest::Capture::OfWindow(status);
    ASSERT_TRUE(s.Valid());
    EXPECT_EQ(s.At(part.right - 3, part.top + 2), Cell(11, 9)) << guitest::ColorText(s.At(part.right - 3, part.top + 2));
    RECT item;
    SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    guitest::Capture h = guitest::Capture::OfWindow(header);
    EXPECT_EQ(h.At(item.left + 2, 2), Cell(13, 9));
    EXPECT_EQ(h.At(h.Width() - 2, 2), Cell(12, 9)) << "the background right of the items";

    // Without a StatusBar object the skinner draws from its own.
    statusSkinner->BindSkinData(nullptr);
    RedrawWindow(status, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    guitest::PumpFor(50);
    s = guitest::Capture::OfWindow(status);
    EXPECT_EQ(s.At(part.right - 3, part.top + 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(BarSkinners, RebarBandsAndControlBars)
{
    SkinPackage* skin = SkinManager::Instance().GetSkin();
    std::unique_ptr<SkinDataObject> object = CreateSkinDataObject(kSkinRebar);
    auto* rebar = dynamic_cast<SkinRebarData*>(object.get());
    rebar->SetName("Rebar");
    rebar->background = CellImage(4, 13);
    rebar->bandImage = CellImage(5, 13);
    ASSERT_TRUE(skin->AddObject(std::move(object)));
    skin->ResolveAll();

    // An MFC control bar class of our own, docked at the left.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AfxControlBar42s";
    RegisterClassA(&wc);

    guitest::DialogTemplate t("Bars", 0, 0, 220, 100);
    t.Add("ReBarWindow32", 10, "", 0, 0, 220, 30, WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN)
        .Add("AfxControlBar42s", 11, "", 0, 40, 30, 60, WS_CHILD | WS_VISIBLE | 0x1000);
    MakeDialog(t);
    HWND band = GetDlgItem(dialog, 10), bar = GetDlgItem(dialog, 11);
    ASSERT_NE(dynamic_cast<SkinReBar*>(SkinManager::Instance().FindSkinObject(band)), nullptr);
    ASSERT_NE(dynamic_cast<SkinControlBar*>(SkinManager::Instance().FindSkinObject(bar)), nullptr);
    REBARBANDINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_TEXT | RBBIM_SIZE | RBBIM_CHILDSIZE | RBBIM_STYLE;
    info.fStyle = RBBS_NOGRIPPER;
    info.lpText = const_cast<char*>("Band");
    info.cx = 120;
    info.cyMinChild = 20;
    SendMessageA(band, RB_INSERTBANDA, WPARAM(-1), reinterpret_cast<LPARAM>(&info));
    Show();
    guitest::SaveScreenshot(dialog, "skinned_rebar_controlbar");
    RECT r = {};
    ASSERT_TRUE(SendMessageA(band, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&r)));
    guitest::Capture c = guitest::Capture::OfWindow(band);
    ASSERT_TRUE(c.Valid());
    EXPECT_EQ(c.At(r.right - 3, r.bottom - 3), Cell(5, 13)) << "the band";
    guitest::Capture b = guitest::Capture::OfWindow(bar);
    ASSERT_TRUE(b.Valid());
    EXPECT_EQ(b.At(b.Width() / 2, b.Height() / 2), Cell(15, 9)) << "the ToolBar look, turned";
}

}  // namespace
