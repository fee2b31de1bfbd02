// List view and tree view skinners under Wine with the test skin (ListCtrl
// BORDER cell 13,11, TreeCtrl BORDER cell 14,11), colours set on a copy of
// the skin: the views take the skin's colours once they settled (6030) and
// again at every rebinding, and owner-drawn list views keep their system
// look.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/skinners/controls/skin_view.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

const COLORREF kListBack = RGB(0xF0, 0xE8, 0xD0);
const COLORREF kListText = RGB(0x20, 0x40, 0x10);
const COLORREF kTreeBack = RGB(0xD8, 0xF0, 0xE0);
const COLORREF kTreeText = RGB(0x60, 0x10, 0x30);
const COLORREF kTreeLine = RGB(0x90, 0x30, 0xC0);

class ViewSkinners : public skintest::ControlDialogTest {
protected:
    void SetUp() override
    {
        skintest::ControlDialogTest::SetUp();
        ASSERT_TRUE(InstallChanged([](SkinPackage& package) {
            SkinDataObject* list = package.FindObjectByType(kSkinListView);
            auto* tree = dynamic_cast<SkinTreeViewData*>(package.FindObjectByType(kSkinTreeView));
            if (!list || !tree)
                return false;
            list->backColor = kListBack;
            list->textColor = kListText;
            tree->backColor = kTreeBack;
            tree->textColor = kTreeText;
            tree->lineColor = kTreeLine;
            return true;
        }));
    }
};

TEST_F(ViewSkinners, ViewsTakeTheSkinColoursAndKeepThemOnRebinding)
{
    guitest::DialogTemplate t("Views", 0, 0, 240, 120);
    t.Add("SysListView32", 90, "", 10, 10, 100, 90, LVS_REPORT, WS_EX_CLIENTEDGE)
        .Add("SysTreeView32", 91, "", 120, 10, 100, 90, TVS_HASLINES | TVS_LINESATROOT, WS_EX_CLIENTEDGE)
        .Add("SysListView32", 92, "", 10, 100, 40, 10, LVS_REPORT | LVS_OWNERDRAWFIXED);
    ASSERT_NE(MakeDialog(t), nullptr);
    SkinListView* list = SkinnerOf<SkinListView>(90);
    SkinTreeView* tree = SkinnerOf<SkinTreeView>(91);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(Item(92)), nullptr);

    EXPECT_EQ(COLORREF(SendMessageA(Item(90), LVM_GETBKCOLOR, 0, 0)), kListBack);
    EXPECT_EQ(COLORREF(SendMessageA(Item(90), LVM_GETTEXTBKCOLOR, 0, 0)), kListBack);
    EXPECT_EQ(COLORREF(SendMessageA(Item(90), LVM_GETTEXTCOLOR, 0, 0)), kListText);
    EXPECT_EQ(COLORREF(SendMessageA(Item(91), TVM_GETBKCOLOR, 0, 0)), kTreeBack);
    EXPECT_EQ(COLORREF(SendMessageA(Item(91), TVM_GETTEXTCOLOR, 0, 0)), kTreeText);
    EXPECT_EQ(COLORREF(SendMessageA(Item(91), TVM_GETLINECOLOR, 0, 0)), kTreeLine);

    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(Item(90), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<char*>("first");
    SendMessageA(Item(90), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    TVINSERTSTRUCTA insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("root");
    SendMessageA(Item(91), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    guitest::PumpFor(100);
    guitest::SaveScreenshot(dialog, "views");
    EXPECT_EQ(PixelOf(90, -4, -4), kListBack) << guitest::ColorText(PixelOf(90, -4, -4));
    EXPECT_EQ(PixelOf(91, -4, -4), kTreeBack) << guitest::ColorText(PixelOf(91, -4, -4));
    EXPECT_EQ(FramePixelOf(90, 0, 40), Cell(13, 11));
    EXPECT_EQ(FramePixelOf(91, 0, 40), Cell(14, 11));

    // Colours set by the program are put back at the next rebinding.
    SendMessageA(Item(90), LVM_SETBKCOLOR, 0, RGB(1, 1, 1));
    SendMessageA(Item(91), TVM_SETBKCOLOR, 0, RGB(1, 1, 1));
    list->BindSkinData(list->GetSkinData());
    tree->BindSkinData(tree->GetSkinData());
    guitest::PumpFor(50);
    EXPECT_EQ(COLORREF(SendMessageA(Item(90), LVM_GETBKCOLOR, 0, 0)), kListBack);
    EXPECT_EQ(COLORREF(SendMessageA(Item(91), TVM_GETBKCOLOR, 0, 0)), kTreeBack);
}

}  // namespace
