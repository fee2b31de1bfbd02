// The combo box skinner under Wine with the test skin (ComboBox thumbs:
// normal 10,6, pressed 11,6, hovered 12,6, disabled 13,6; border cell 7,6),
// colours set on a copy of the skin: the arrow follows the mouse, a
// disabled combo shows the disabled thumb or the normal one when that is
// empty, the face takes the skin's colours and focus colour, the edit of a
// drop-down combo takes its colours from the combo, and simple or variable
// owner-drawn combos keep their system look.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/skinners/controls/skin_combo.h"
#include "skin/skinners/tests/freed_object_trap.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

const COLORREF kBack = RGB(0xE8, 0xE0, 0xC8);
const COLORREF kFocus = RGB(0x30, 0x60, 0xA0);
const COLORREF kDisabledBack = RGB(0xA8, 0xA8, 0xB0);

class ComboSkinner : public skintest::ControlDialogTest {
protected:
    void InstallColours(bool withDisabledThumb)
    {
        std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
        ASSERT_NE(package, nullptr);
        auto* combo = dynamic_cast<SkinComboData*>(package->FindObjectByType(kSkinComboBox));
        ASSERT_NE(combo, nullptr);
        combo->backColor = kBack;
        combo->focusColor = kFocus;
        combo->disabledBackColor = kDisabledBack;
        if (!withDisabledThumb)
            combo->thumbs[3] = MakeEmptyLayoutImage();
        ASSERT_TRUE(Install(std::move(package)));
    }
    void MakeCombos()
    {
        guitest::DialogTemplate t("Combos", 0, 0, 220, 120);
        t.Add("COMBOBOX", 80, "", 10, 10, 100, 80, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL)
            .Add("COMBOBOX", 81, "", 10, 30, 100, 80, CBS_DROPDOWN | WS_VSCROLL)
            .Add("COMBOBOX", 82, "", 120, 10, 80, 60, CBS_SIMPLE)
            .Add("COMBOBOX", 83, "", 120, 80, 80, 60, CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS)
            .Button(IDOK, "OK", 10, 90, 50, 14);
        ASSERT_NE(MakeDialog(t), nullptr);
        for (int id : {80, 81})
            for (const char* s : {"One", "Two", "Three"})
                SendMessageA(Item(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendMessageA(Item(80), CB_SETCURSEL, 1, 0);
    }
    COLORREF ArrowPixel(int id)
    {
        SkinComboBox* combo = SkinnerOf<SkinComboBox>(id);
        const RECT arrow = combo->ArrowRect();
        return PixelOf(id, (arrow.left + arrow.right) / 2, (arrow.top + arrow.bottom) / 2);
    }
};

TEST_F(ComboSkinner, TheArrowFollowsTheMouse)
{
    InstallColours(true);
    MakeCombos();
    SkinComboBox* combo = SkinnerOf<SkinComboBox>(80);
    ASSERT_NE(combo, nullptr);
    SetFocus(Item(IDOK));
    guitest::PumpFor(50);
    EXPECT_EQ(ArrowPixel(80), Cell(10, 6)) << guitest::ColorText(ArrowPixel(80));
    const RECT arrow = combo->ArrowRect();
    const LPARAM onArrow = MAKELPARAM(arrow.left + 2, arrow.top + 2);
    SendMessageA(Item(80), WM_MOUSEMOVE, 0, onArrow);
    EXPECT_EQ(combo->GetArrowState(), SkinComboBox::kArrowHot);
    EXPECT_EQ(ArrowPixel(80), Cell(12, 6));
    SendMessageA(Item(80), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(combo->GetArrowState(), SkinComboBox::kArrowNormal);
    SendMessageA(Item(80), WM_MOUSEMOVE, 0, onArrow);
    SendMessageA(Item(80), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(combo->GetArrowState(), SkinComboBox::kArrowNormal);

    // The face: the selected item on the skin's background.
    EXPECT_EQ(PixelOf(80, 4, 3), kBack) << guitest::ColorText(PixelOf(80, 4, 3));
    EXPECT_EQ(FramePixelOf(80, 0, 8), Cell(7, 6));
    SetFocus(Item(80));
    guitest::PumpFor(50);
    EXPECT_TRUE(combo->HasFocus());
    EXPECT_EQ(PixelOf(80, 4, 4), kFocus) << guitest::ColorText(PixelOf(80, 4, 4));
    guitest::SaveScreenshot(dialog, "combos");

    // Disabled: the disabled thumb and background.
    EnableWindow(Item(80), FALSE);
    guitest::PumpFor(50);
    EXPECT_EQ(ArrowPixel(80), Cell(13, 6));
    EXPECT_EQ(PixelOf(80, 4, 4), kDisabledBack);
}

TEST_F(ComboSkinner, ADisabledComboWithoutADisabledThumbShowsTheNormalOne)
{
    InstallColours(false);
    MakeCombos();
    EnableWindow(Item(80), FALSE);
    guitest::PumpFor(50);
    EXPECT_EQ(ArrowPixel(80), Cell(10, 6)) << guitest::ColorText(ArrowPixel(80));
}

TEST_F(ComboSkinner, TheEditOfADropDownTakesTheCombosColoursAndSomeCombosStayPlain)
{
    InstallColours(true);
    MakeCombos();
    ASSERT_NE(SkinnerOf<SkinComboBox>(81), nullptr);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(Item(82)), nullptr);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(Item(83)), nullptr);
    HWND edit = GetWindow(Item(81), GW_CHILD);
    ASSERT_NE(edit, nullptr);
    HDC dc = GetDC(edit);
    const LRESULT brush =
        SendMessageA(Item(81), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetBkColor(dc), kBack);
    EnableWindow(Item(81), FALSE);
    SendMessageA(Item(81), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(GetBkColor(dc), kDisabledBack);
    ReleaseDC(edit, dc);
}

TEST_F(ComboSkinner, AFixedOwnerDrawnComboShowsItsOwnFaceInsideTheSkinsBorderAndArrow)
{
    InstallColours(true);
    guitest::DialogTemplate t("Combos", 0, 0, 220, 120);
    t.Add("COMBOBOX", 84, "", 10, 10, 100, 80, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL)
        .Button(IDOK, "OK", 10, 90, 50, 14);
    ASSERT_NE(MakeDialog(t), nullptr);
    SkinComboBox* combo = SkinnerOf<SkinComboBox>(84);
    ASSERT_NE(combo, nullptr);
    SetFocus(Item(IDOK));
    RedrawWindow(Item(84), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    guitest::PumpFor(50);
    guitest::SaveScreenshot(dialog, "combo_owner_drawn");
    EXPECT_EQ(ArrowPixel(84), Cell(10, 6)) << guitest::ColorText(ArrowPixel(84));
    EXPECT_EQ(FramePixelOf(84, 0, 8), Cell(7, 6)) << guitest::ColorText(FramePixelOf(84, 0, 8));
    // The face is the control's own, not the skin's background.
    EXPECT_NE(PixelOf(84, 6, 6), kBack);
}

// A press on the arrow drops the list, and the parent hears CBN_DROPDOWN
// from inside the press: a program that takes the skin off the combo there
// leaves the deleted skinner untouched.
TEST_F(ComboSkinner, AComboUnskinnedFromItsDropDownNotificationIsLeftAlone)
{
    skintest::TrapFreedBlocksOfSize(sizeof(SkinComboBox));
    const int touches = skintest::TouchesOfFreedBlocks();
    MakeCombos();
    HWND combo = Item(80);
    SkinComboBox* skinner = SkinnerOf<SkinComboBox>(80);
    ASSERT_NE(skinner, nullptr);
    const RECT arrow = skinner->ArrowRect();
    int dropDowns = 0;
    skintest::DialogHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN && reinterpret_cast<HWND>(lParam) == combo) {
            ++dropDowns;
            SkinDetachWindow(combo);
        }
    };
    SendMessageA(combo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrow.left + 2, arrow.top + 2));
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    ReleaseCapture();
    guitest::PumpFor(30);
    skintest::TrapFreedBlocksOfSize(0);
    EXPECT_EQ(dropDowns, 1);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(combo), nullptr);
    EXPECT_EQ(skintest::TouchesOfFreedBlocks(), touches) << "the deleted skinner was used";
}

}  // namespace
