// The button family under Wine with the test skin (Button states are cells
// 0..5 of row 5, CheckBox boxes cells 6..12 of row 5, Radio boxes cells
// 0..6 of row 6, GroupBox frame 13,5 and caption 14,5), in dialogs skinned
// from "Dialog" and driven by messages: push button states, clicks
// released inside and outside, the window region from the normal image,
// check boxes by mouse and space bar, three-state boxes, auto radio
// groups, owner-drawn buttons left alone, group box captions.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "skin/core/skin_data_classes.h"
#include "skin/skinners/controls/skin_button.h"
#include "skin/skinners/tests/later_subclass.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

class ButtonFamily : public skintest::ControlDialogTest {};

TEST_F(ButtonFamily, PushButtonShowsTheStateOfTheMomentFromItsCells)
{
    guitest::DialogTemplate t("Buttons", 0, 0, 200, 90);
    t.Button(IDOK, "OK", 10, 10, 50, 16, BS_DEFPUSHBUTTON | WS_TABSTOP)
        .Button(2, "Other", 70, 10, 50, 16)
        .Button(3, "Off", 130, 10, 50, 16, BS_PUSHBUTTON | WS_DISABLED);
    ASSERT_NE(MakeDialog(t), nullptr);
    SkinButton* ok = SkinnerOf<SkinButton>(IDOK);
    SkinButton* other = SkinnerOf<SkinButton>(2);
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(SkinnerOf<SkinButton>(3), nullptr);
    EXPECT_TRUE(ok->IsDefault());

    SetFocus(Item(2));
    guitest::PumpFor(50);
    guitest::SaveScreenshot(dialog, "buttons");
    EXPECT_EQ(ok->ChooseState(), SkinButton::kDefault);
    EXPECT_EQ(PixelOf(IDOK, 2, 2), Cell(2, 5)) << guitest::ColorText(PixelOf(IDOK, 2, 2));
    EXPECT_EQ(other->ChooseState(), SkinButton::kFocused);
    EXPECT_EQ(PixelOf(2, 2, 2), Cell(3, 5));
    EXPECT_EQ(PixelOf(3, 2, 2), Cell(5, 5));  // disabled
    SetFocus(Item(IDOK));
    guitest::PumpFor(50);
    EXPECT_EQ(ok->ChooseState(), SkinButton::kFocused);
    EXPECT_EQ(other->ChooseState(), SkinButton::kNormal);
    EXPECT_EQ(PixelOf(2, 2, 2), Cell(0, 5));

    // Hover, press, and BM_SETSTATE / BM_SETCHECK from the program.
    SendMessageA(Item(2), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(other->ChooseState(), SkinButton::kHighlighted);
    SendMessageA(Item(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    EXPECT_TRUE(other->IsPressed());
    EXPECT_EQ(other->ChooseState(), SkinButton::kPressed);
    EXPECT_EQ(PixelOf(2, 2, 2), Cell(1, 5));
    SendMessageA(Item(2), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-30, 4));
    EXPECT_FALSE(other->IsPressed());
    SendMessageA(Item(2), WM_LBUTTONUP, 0, MAKELPARAM(-30, 4));
    SendMessageA(Item(2), WM_MOUSELEAVE, 0, 0);
    SendMessageA(Item(2), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(other->ChooseState(), SkinButton::kPressed);
    SendMessageA(Item(2), BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(other->ChooseState(), SkinButton::kFocused);  // the press gave it the focus
    EnableWindow(Item(2), FALSE);
    EXPECT_EQ(other->ChooseState(), SkinButton::kDisabled);
    EXPECT_EQ(PixelOf(2, 2, 2), Cell(5, 5));
}

TEST_F(ButtonFamily, AClickCountsOnlyWhenReleasedOnTheButton)
{
    guitest::DialogTemplate t("Buttons", 0, 0, 200, 90);
    t.Button(5, "Press", 10, 10, 60, 16);
    ASSERT_NE(MakeDialog(t), nullptr);
    HWND button = Item(5);
    ASSERT_NE(SkinnerOf<SkinButton>(5), nullptr);
    // Pressed, moved off and released outside: nothing.
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), button);
    SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_NE(GetCapture(), button);
    guitest::PumpFor(30);
    EXPECT_EQ(Clicks(5), 0);
    // Released on it: one BN_CLICKED, posted.
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
    EXPECT_EQ(Clicks(5), 0);
    guitest::PumpFor(30);
    EXPECT_EQ(Clicks(5), 1);
    // The program's BM_CLICK goes the same way.
    guitest::Click(button);
    guitest::PumpFor(30);
    EXPECT_EQ(Clicks(5), 2);
}

// A press by mouse or space bar ends when the button loses the capture
// (another window takes the mouse, a message box comes up), is told to
// cancel its mode, or loses the focus: no pressed look stays behind and
// the release that follows clicks nothing.
TEST_F(ButtonFamily, APressEndsWhenTheCaptureOrTheFocusGoes)
{
    guitest::DialogTemplate t("Buttons", 0, 0, 200, 90);
    t.Button(5, "Press", 10, 10, 60, 16).Button(6, "Other", 80, 10, 60, 16);
    ASSERT_NE(MakeDialog(t), nullptr);
    HWND button = Item(5);
    SkinButton* skinner = SkinnerOf<SkinButton>(5);
    ASSERT_NE(skinner, nullptr);
    struct Case {
        const char* name;
        bool bySpace;
        std::function<void()> end;
    } cases[] = {
        {"another window takes the capture", false, [&] { SetCapture(Item(6)); }},
        {"cancel mode", false, [&] { SendMessageA(button, WM_CANCELMODE, 0, 0); }},
        {"cancel mode after a space press", true, [&] { SendMessageA(button, WM_CANCELMODE, 0, 0); }},
        {"the focus goes after a space press", true, [&] { SetFocus(Item(6)); }},
    };
    for (const Case& c : cases) {
        SetFocus(button);
        if (c.bySpace)
            SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
        else
            SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ASSERT_TRUE(skinner->IsPressed()) << c.name;
        EXPECT_EQ(PixelOf(5, 2, 2), Cell(1, 5)) << c.name;
        c.end();
        EXPECT_FALSE(skinner->IsPressed()) << c.name;
        EXPECT_NE(PixelOf(5, 2, 2), Cell(1, 5)) << c.name << ": the pressed look stays";
        ReleaseCapture();
        if (c.bySpace)
            SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
        else
            SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        guitest::PumpFor(30);
        EXPECT_EQ(Clicks(5), 0) << c.name;
    }
}

TEST_F(ButtonFamily, TheRegionLeavesOutTheKeyColouredPixelsOfTheNormalImage)
{
    // NORMAL.IMAGE from cell 0,12, whose top-left 4 x 4 pixels are magenta;
    // a 64 x 32 button stretches them to 16 x 8.
    std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
    ASSERT_NE(package, nullptr);
    auto* data = dynamic_cast<SkinButtonData*>(package->FindObjectByType(kSkinButton));
    ASSERT_NE(data, nullptr);
    data->states[SkinButton::kNormal].image.source = MakeSkinRect(0, 192, 16, 208);
    ASSERT_TRUE(Install(std::move(package)));
    guitest::DialogTemplate t("Buttons", 0, 0, 200, 90);
    t.Button(5, "Keyed", 10, 10, 60, 20);
    ASSERT_NE(MakeDialog(t), nullptr);
    HWND button = Item(5);
    SetWindowPos(button, nullptr, 0, 0, 64, 32, SWP_NOMOVE | SWP_NOZORDER);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(button, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 1, 1));
    EXPECT_FALSE(PtInRegion(region, 15, 7));
    EXPECT_TRUE(PtInRegion(region, 16, 7));
    EXPECT_TRUE(PtInRegion(region, 1, 8));
    EXPECT_TRUE(PtInRegion(region, 63, 31));
    DeleteObject(region);
}

TEST_F(ButtonFamily, CheckBoxTogglesOnceBySpaceBarAndNotByAClickReleasedOutside)
{
    guitest::DialogTemplate t("Checks", 0, 0, 200, 90);
    t.Button(7, "Check me", 10, 10, 90, 14, BS_AUTOCHECKBOX | WS_TABSTOP)
        .Button(8, "Off", 10, 30, 90, 14, BS_AUTOCHECKBOX | WS_DISABLED)
        .Button(9, "Three", 10, 50, 90, 14, BS_AUTO3STATE);
    ASSERT_NE(MakeDialog(t), nullptr);
    HWND box = Item(7);
    SkinCheckBox* skinner = SkinnerOf<SkinCheckBox>(7);
    ASSERT_NE(skinner, nullptr);
    guitest::Capture c = guitest::Capture::OfWindow(box);
    const int mid = c.Height() / 2;
    // The dialog gave it the focus: HIGHLIGHTEDNORMAL's box.
    EXPECT_EQ(c.At(8, mid), Cell(11, 5)) << guitest::ColorText(c.At(8, mid));

    SetFocus(box);
    SendMessageA(box, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(box, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    guitest::PumpFor(30);
    EXPECT_EQ(Clicks(7), 1);
    EXPECT_EQ(skinner->ChooseLook().set, SkinCheckBase::kHighlightedSelected);
    EXPECT_EQ(PixelOf(7, 8, mid), Cell(12, 5));
    // A key up alone is no click.
    SendMessageA(box, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);

    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(-20, 5));
    guitest::PumpFor(30);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Clicks(7), 1);
    SetFocus(Item(9));
    EXPECT_EQ(skinner->ChooseLook().set, SkinCheckBase::kSelected);
    EXPECT_EQ(PixelOf(7, 8, mid), Cell(7, 5));
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(skinner->ChooseLook().set, SkinCheckBase::kNormal);
    EXPECT_EQ(PixelOf(7, 8, mid), Cell(6, 5));

    // Disabled: the grayed sets.
    SkinCheckBox* off = SkinnerOf<SkinCheckBox>(8);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->ChooseLook().set, SkinCheckBase::kGrayedNormal);
    EXPECT_EQ(PixelOf(8, 8, mid), Cell(9, 5));
    SendMessageA(Item(8), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(off->ChooseLook().set, SkinCheckBase::kGrayedSelected);
    EXPECT_EQ(PixelOf(8, 8, mid), Cell(10, 5));

    // A three-state box goes 0, 1, 2, 0.
    for (int expected : {1, 2, 0}) {
        guitest::Click(Item(9));
        EXPECT_EQ(SendMessageA(Item(9), BM_GETCHECK, 0, 0), expected);
    }
    guitest::SaveScreenshot(dialog, "check_boxes");
}

TEST_F(ButtonFamily, AnAutoRadioUnchecksItsGroupOnly)
{
    guitest::DialogTemplate t("Radios", 0, 0, 200, 110);
    t.Button(21, "One", 10, 10, 80, 12, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP)
        .Button(22, "Two", 10, 24, 80, 12, BS_AUTORADIOBUTTON)
        .Button(23, "Three", 10, 38, 80, 12, BS_AUTORADIOBUTTON)
        .Button(31, "Other one", 100, 10, 80, 12, BS_AUTORADIOBUTTON | WS_GROUP)
        .Button(32, "Other two", 100, 24, 80, 12, BS_AUTORADIOBUTTON);
    ASSERT_NE(MakeDialog(t), nullptr);
    ASSERT_NE(SkinnerOf<SkinRadio>(22), nullptr);
    SendMessageA(Item(21), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(Item(31), BM_SETCHECK, BST_CHECKED, 0);
    guitest::Click(Item(23));
    EXPECT_EQ(SendMessageA(Item(21), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(Item(22), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(Item(23), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Item(31), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Item(32), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    guitest::PumpFor(50);
    const int mid = guitest::Capture::OfWindow(Item(23)).Height() / 2;
    EXPECT_EQ(PixelOf(23, 8, mid), Cell(6, 6));  // focused by the click: HIGHLIGHTEDSELECTED
    EXPECT_EQ(PixelOf(21, 8, mid), Cell(0, 6));
    EXPECT_EQ(PixelOf(31, 8, mid), Cell(1, 6));
    guitest::SaveScreenshot(dialog, "radios");
}

TEST_F(ButtonFamily, OwnerDrawnButtonsKeepTheirOwnLook)
{
    guitest::DialogTemplate t("Buttons", 0, 0, 200, 90);
    t.Button(5, "Drawn", 10, 10, 60, 16, BS_OWNERDRAW).Button(6, "Plain", 80, 10, 60, 16);
    ASSERT_NE(MakeDialog(t), nullptr);
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(Item(5)), nullptr);
    EXPECT_NE(SkinManager::Instance().FindSkinObject(Item(6)), nullptr);
}

TEST_F(ButtonFamily, AGroupBoxCaptionThatGetsShorterLeavesNoRemains)
{
    guitest::DialogTemplate t("Group", 0, 0, 220, 110);
    t.Button(40, "A rather long caption here", 10, 10, 180, 70, BS_GROUPBOX);
    ASSERT_NE(MakeDialog(t), nullptr);
    HWND group = Item(40);
    SkinGroupBox* skinner = SkinnerOf<SkinGroupBox>(40);
    ASSERT_NE(skinner, nullptr);
    EXPECT_TRUE(GetWindowLongA(group, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    guitest::PumpFor(50);
    guitest::Capture before = guitest::Capture::OfWindow(group);
    const RECT band = skinner->LastCaption();
    const int y = (band.top + band.bottom) / 2;
    // The caption image from x = 4, then the frame (4-pixel edges of cell
    // 13,5) down the sides.
    EXPECT_EQ(before.At(10, band.top + 1), Cell(14, 5)) << guitest::ColorText(before.At(10, band.top + 1));
    EXPECT_EQ(before.At(1, before.Height() / 2), Cell(13, 5));
    int longRight = 0;
    for (int x = 4; x < before.Width(); ++x)
        if (before.At(x, band.top + 1) == Cell(14, 5))
            longRight = x;
    ASSERT_GT(longRight, 60);

    SetWindowTextA(group, "Short");
    guitest::PumpFor(80);
    guitest::SaveScreenshot(dialog, "group_box");
    guitest::Capture after = guitest::Capture::OfWindow(group);
    int shortRight = 0;
    for (int x = 4; x < after.Width(); ++x)
        if (after.At(x, band.top + 1) == Cell(14, 5))
            shortRight = x;
    EXPECT_GT(shortRight, 4);
    EXPECT_LT(shortRight, longRight - 20);
    // Where the long caption was, the frame's top edge runs again.
    EXPECT_EQ(after.At(longRight - 3, y + 1), Cell(13, 5)) << guitest::ColorText(after.At(longRight - 3, y + 1));
}

TEST_F(ButtonFamily, WithoutAHighlightedImageTheMouseShowsTheFocusedOrNormalLook)
{
    std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
    ASSERT_NE(package, nullptr);
    auto* data = dynamic_cast<SkinButtonData*>(package->FindObjectByType(kSkinButton));
    ASSERT_NE(data, nullptr);
    data->states[SkinButton::kHighlighted].image = MakeEmptyLayoutImage();
    ASSERT_TRUE(Install(std::move(package)));
    guitest::DialogTemplate t("Buttons", 0, 0, 200, 90);
    t.Button(2, "Focused", 10, 10, 60, 16).Button(3, "Other", 80, 10, 60, 16);
    ASSERT_NE(MakeDialog(t), nullptr);
    SetFocus(Item(2));
    for (int id : {2, 3})
        SendMessageA(Item(id), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(SkinnerOf<SkinButton>(2)->ChooseState(), SkinButton::kFocused);
    EXPECT_EQ(SkinnerOf<SkinButton>(3)->ChooseState(), SkinButton::kNormal);
    EXPECT_EQ(PixelOf(2, 2, 2), Cell(3, 5));
    EXPECT_EQ(PixelOf(3, 2, 2), Cell(0, 5));
}

// A subclass the program puts over a skinned check box later (as DDX and
// SubclassDlgItem do) is part of the control from then on: it keeps
// hearing the control's messages, and the button class keeps its check
// state, when the skinner goes, when a new skin skins the control again
// (the skinner sees the messages too) and when the library ends; taking
// the subclass off again leaves a check box that still works.
TEST_F(ButtonFamily, ASubclassPutOverASkinnedControlStaysInItsChain)
{
    guitest::DialogTemplate t("Buttons", 0, 0, 200, 90);
    t.Button(5, "Kept", 10, 10, 60, 16, BS_AUTOCHECKBOX).Button(6, "Other", 80, 10, 60, 16);
    ASSERT_NE(MakeDialog(t), nullptr);
    HWND box = Item(5);
    ASSERT_NE(SkinnerOf<SkinCheckBox>(5), nullptr);
    using skintest::LaterSubclass;
    ASSERT_TRUE(LaterSubclass::PutOver(box));
    // The subclass hears a message and the class keeps the check state.
    auto wholeChain = [&](const char* when) {
        EXPECT_EQ(LaterSubclass::HearsProbe(box), 1) << when << ": the subclass is cut out";
        for (WPARAM check : {BST_CHECKED, BST_UNCHECKED}) {
            SendMessageA(box, BM_SETCHECK, check, 0);
            EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), LRESULT(check)) << when;
        }
    };
    wholeChain("skinned under the subclass");

    ASSERT_TRUE(SkinManager::Instance().RemoveSkin(box, FALSE));
    EXPECT_EQ(SkinnerOf<SkinCheckBox>(5), nullptr);
    wholeChain("skinner removed");

    ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(skintest::kTestSkin), "RT_VENEERKIT"));
    ASSERT_TRUE(guitest::PumpUntil([&] { return SkinnerOf<SkinCheckBox>(5) != nullptr; }, 2000))
        << "a new skin skins the control again";
    SkinCheckBox* again = SkinnerOf<SkinCheckBox>(5);
    wholeChain("skinned again");
    SendMessageA(box, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_TRUE(again->IsHovered()) << "the new skinner sees the control's messages";
    SendMessageA(box, WM_MOUSELEAVE, 0, 0);

    SkinLibExit();
    EXPECT_EQ(SkinManager::Instance().FindSkinObject(box), nullptr);
    wholeChain("library ended");

    // The program takes its subclass off; the control is whole without it.
    LaterSubclass::TakeOff(box);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(LaterSubclass::HearsProbe(box), 0);
    ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));  // the fixture ends it
}

}  // namespace
