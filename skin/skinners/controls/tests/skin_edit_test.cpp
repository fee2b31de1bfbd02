// Edit, rich edit and list box skinners under Wine with the test skin
// (Edit BORDER cell 7,6, Listbox BORDER cell 9,6), colours set on a copy
// of the skin: the skinned dialog relays the colour messages to the
// controls' skinners, read-only edits take the third colour, rich edits
// take their background by EM_SETBKGNDCOLOR at attach and rebinding,
// owner-drawn list boxes keep their system look, and the Windows 98 / ME
// resynchronisation follows content changes only on those systems.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/controls/skin_edit.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/controls/skin_listbox.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

const COLORREF kEditBack = RGB(0xE0, 0xF0, 0xC0);
const COLORREF kEditText = RGB(0x10, 0x20, 0x90);
const COLORREF kEditThird = RGB(0xC8, 0xB0, 0xA0);
const COLORREF kListBack = RGB(0xD0, 0xE8, 0xF8);
const COLORREF kRichBack = RGB(0xF8, 0xD8, 0xE8);

class EditSkinners : public skintest::ControlDialogTest {
protected:
    void SetUp() override
    {
        skintest::ControlDialogTest::SetUp();
        ASSERT_TRUE(InstallChanged([](SkinPackage& package) {
            SkinDataObject* edit = package.FindObjectByType(kSkinEdit);
            SkinDataObject* list = package.FindObjectByType(kSkinListBox);
            SkinDataObject* rich = package.FindObjectByType(kSkinRichEdit);
            if (!edit || !list || !rich)
                return false;
            edit->backColor = kEditBack;
            edit->textColor = kEditText;
            edit->keyColor = kEditThird;
            list->backColor = kListBack;
            list->textColor = kEditText;
            rich->backColor = kRichBack;
            return true;
        }));
        skintest::g_hooks = skintest::HookLog();
    }
    void TearDown() override
    {
        skintest::ControlDialogTest::TearDown();
        SkinGdiUtil::SetOsClassOverride(-1);
    }
    // The dialog's answer to a colour message of a control, and the colours
    // it left in the DC.
    struct Answer {
        HBRUSH brush;
        COLORREF back, text;
    };
    Answer ColorOf(UINT message, int id)
    {
        HDC dc = GetDC(Item(id));
        Answer a;
        a.brush = reinterpret_cast<HBRUSH>(
            SendMessageA(dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(id))));
        a.back = GetBkColor(dc);
        a.text = GetTextColor(dc);
        ReleaseDC(Item(id), dc);
        return a;
    }
    static COLORREF BrushColor(HBRUSH brush)
    {
        LOGBRUSH lb = {};
        GetObjectA(brush, sizeof lb, &lb);
        return lb.lbColor;
    }
};

TEST_F(EditSkinners, EditsGetTheSkinColoursThroughTheirParent)
{
    guitest::DialogTemplate t("Edits", 0, 0, 200, 100);
    t.Add("EDIT", 50, "editable", 10, 10, 120, 14, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE)
        .Add("EDIT", 51, "read only", 10, 30, 120, 14, ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE)
        .Add("EDIT", 52, "disabled", 10, 50, 120, 14, ES_AUTOHSCROLL | WS_DISABLED, WS_EX_CLIENTEDGE);
    ASSERT_NE(MakeDialog(t), nullptr);
    ASSERT_NE(SkinnerOf<SkinEdit>(50), nullptr);

    const Answer editable = ColorOf(WM_CTLCOLOREDIT, 50);
    EXPECT_EQ(editable.back, kEditBack);
    EXPECT_EQ(editable.text, kEditText);
    EXPECT_EQ(BrushColor(editable.brush), kEditBack);
    // Read-only and disabled edits ask with WM_CTLCOLORSTATIC.
    const Answer readOnly = ColorOf(WM_CTLCOLORSTATIC, 51);
    EXPECT_EQ(readOnly.back, kEditThird);
    EXPECT_EQ(BrushColor(readOnly.brush), kEditThird);

    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    guitest::PumpFor(100);
    guitest::SaveScreenshot(dialog, "edits");
    EXPECT_EQ(PixelOf(50, -3, 5), kEditBack) << guitest::ColorText(PixelOf(50, -3, 5));
    EXPECT_EQ(PixelOf(51, -3, 5), kEditThird) << guitest::ColorText(PixelOf(51, -3, 5));
    // The border is the Edit object's, over the client edge.
    EXPECT_EQ(FramePixelOf(50, 0, 8), Cell(7, 6)) << guitest::ColorText(FramePixelOf(50, 0, 8));
    EXPECT_EQ(FramePixelOf(50, -1, 8), Cell(7, 6));
}

TEST_F(EditSkinners, ARichEditTakesItsBackgroundAtAttachAndRebinding)
{
    ASSERT_NE(LoadLibraryA("riched32.dll"), nullptr);
    guitest::DialogTemplate t("Rich", 0, 0, 200, 80);
    t.Add("RICHEDIT", 60, "rich", 10, 10, 120, 30, ES_MULTILINE, WS_EX_CLIENTEDGE);
    ASSERT_NE(MakeDialog(t), nullptr);
    SkinEdit* skinner = SkinnerOf<SkinEdit>(60);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->GetKind(), uint32_t(kSkinRichEdit));
    EXPECT_STREQ(skinner->GetSkinObjectName(), "RichEdit");
    // EM_SETBKGNDCOLOR answers the colour it replaces.
    EXPECT_EQ(COLORREF(SendMessageA(Item(60), EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3))), kRichBack);
    skinner->BindSkinData(skinner->GetSkinData());
    EXPECT_EQ(COLORREF(SendMessageA(Item(60), EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3))), kRichBack);
}

TEST_F(EditSkinners, ListBoxesAnswerTheirColourAndOwnerDrawnOnesStayPlain)
{
    guitest::DialogTemplate t("Lists", 0, 0, 200, 110);
    t.Add("LISTBOX", 70, "", 10, 10, 80, 60, LBS_NOTIFY | WS_VSCROLL, WS_EX_CLIENTEDGE)
        .Add("LISTBOX", 71, "", 100, 10, 80, 60, LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, WS_EX_CLIENTEDGE);
    ASSERT_NE(MakeDialog(t), nullptr);
    SkinListBox* list = SkinnerOf<SkinListBox>(70);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->IsComboList());
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(Item(71)), nullptr);
    for (const char* s : {"one", "two", "three"})
        SendMessageA(Item(70), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));

    const Answer answer = ColorOf(WM_CTLCOLORLISTBOX, 70);
    EXPECT_EQ(answer.back, kListBack);
    EXPECT_EQ(answer.text, kEditText);
    EXPECT_EQ(BrushColor(answer.brush), kListBack);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    guitest::PumpFor(100);
    guitest::SaveScreenshot(dialog, "list_boxes");
    EXPECT_EQ(PixelOf(70, -3, -3), kListBack) << guitest::ColorText(PixelOf(70, -3, -3));
    EXPECT_EQ(FramePixelOf(70, 0, 30), Cell(9, 6)) << guitest::ColorText(FramePixelOf(70, 0, 30));
}

TEST_F(EditSkinners, OnlyWindows98AndMeResynchroniseTheBars)
{
    SkinSetScrollBarHooks(&skintest::kFakeHooks);
    guitest::DialogTemplate t("Lists", 0, 0, 200, 110);
    t.Add("LISTBOX", 70, "", 10, 10, 80, 60, LBS_NOTIFY | WS_VSCROLL, WS_EX_CLIENTEDGE)
        .Add("EDIT", 50, "text", 100, 10, 80, 14, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    ASSERT_NE(MakeDialog(t), nullptr);
    ASSERT_TRUE(SkinnerOf<SkinListBox>(70)->ScrollBarsSkinned());
    MSG msg;
    auto resyncQueued = [&](int id) {
        return PeekMessageA(&msg, Item(id), kSkinMsgResyncScrollBars, kSkinMsgResyncScrollBars, PM_REMOVE) != 0;
    };
    for (int os : {1, 6, 7}) {
        SkinGdiUtil::SetOsClassOverride(os);
        SendMessageA(Item(70), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
        SendMessageA(Item(50), WM_CHAR, 'x', 0);
        EXPECT_FALSE(resyncQueued(70)) << "os class " << os;
        EXPECT_FALSE(resyncQueued(50)) << "os class " << os;
    }
    SkinGdiUtil::SetOsClassOverride(3);
    SendMessageA(Item(70), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
    EXPECT_TRUE(resyncQueued(70));
    SendMessageA(Item(70), LB_GETCOUNT, 0, 0);  // reads nothing new
    EXPECT_FALSE(resyncQueued(70));
    SendMessageA(Item(50), WM_CHAR, 'y', 0);
    EXPECT_TRUE(resyncQueued(50));
    // The resync itself hands the control's own information to the bars.
    SkinGdiUtil::SetOsClassOverride(1);
    for (int i = 0; i < 30; ++i)
        SendMessageA(Item(70), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
    SkinGdiUtil::SetOsClassOverride(3);
    const int before = skintest::g_hooks.infoSets;
    SendMessageA(Item(70), kSkinMsgResyncScrollBars, 0, 0);
    EXPECT_GT(skintest::g_hooks.infoSets, before);
}

}  // namespace
