// The spin skinner under Wine with the test skin (VERTICAL normal up/down
// cells 0,10 / 1,10, hover 2,10 / 3,10, pressed 4,10 / 5,10, disabled
// 6,10 / 7,10; HORIZONTAL normal 8,10 / 9,10): the buttons follow the mouse
// while the control keeps spinning, and a horizontal spin without
// horizontal images shows the vertical look turned by a quarter.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/skinners/controls/skin_spin.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

class Spin : public skintest::ControlDialogTest {
protected:
    void Make()
    {
        guitest::DialogTemplate t("Spins", 0, 0, 160, 80);
        t.Add("msctls_updown32", 130, "", 10, 10, 12, 30, 0).Add("msctls_updown32", 131, "", 40, 10, 30, 12, UDS_HORZ);
        ASSERT_NE(MakeDialog(t), nullptr);
        vertical = SkinnerOf<SkinUpDown>(130);
        horizontal = SkinnerOf<SkinUpDown>(131);
        ASSERT_NE(vertical, nullptr);
        ASSERT_NE(horizontal, nullptr);
        SendMessageA(Item(130), UDM_SETRANGE32, 0, 100);
    }
    SkinUpDown* vertical = nullptr;
    SkinUpDown* horizontal = nullptr;
};

TEST_F(Spin, ButtonsFollowTheMouseWhileTheControlSpins)
{
    Make();
    guitest::Capture c = guitest::Capture::OfWindow(Item(130));
    const int w = c.Width(), h = c.Height();
    EXPECT_EQ(c.At(w / 2, 2), Cell(0, 10)) << guitest::ColorText(c.At(w / 2, 2));
    EXPECT_EQ(c.At(w / 2, h - 3), Cell(1, 10));

    SendMessageA(Item(130), WM_MOUSEMOVE, 0, MAKELPARAM(w / 2, 2));
    EXPECT_EQ(vertical->GetState(), SkinUpDown::kFirstHot);
    EXPECT_EQ(PixelOf(130, w / 2, 2), Cell(2, 10));
    SendMessageA(Item(130), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w / 2, h - 3));
    EXPECT_EQ(vertical->GetState(), SkinUpDown::kSecondPressed);
    EXPECT_EQ(PixelOf(130, w / 2, h - 3), Cell(5, 10));
    EXPECT_EQ(PixelOf(130, w / 2, 2), Cell(0, 10));
    SendMessageA(Item(130), WM_LBUTTONUP, 0, MAKELPARAM(w / 2, h - 3));
    EXPECT_EQ(vertical->GetState(), SkinUpDown::kSecondHot);
    SendMessageA(Item(130), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(vertical->GetState(), SkinUpDown::kNone);
    EnableWindow(Item(130), FALSE);
    guitest::PumpFor(50);
    EXPECT_EQ(PixelOf(130, w / 2, 2), Cell(6, 10));
    EXPECT_EQ(PixelOf(130, w / 2, h - 3), Cell(7, 10));

    // The horizontal one from its own images: left, then right.
    EXPECT_TRUE(horizontal->HasHorizontalLook());
    guitest::Capture hc = guitest::Capture::OfWindow(Item(131));
    EXPECT_EQ(hc.At(2, hc.Height() / 2), Cell(8, 10)) << guitest::ColorText(hc.At(2, hc.Height() / 2));
    EXPECT_EQ(hc.At(hc.Width() - 3, hc.Height() / 2), Cell(9, 10));
    guitest::SaveScreenshot(dialog, "spins");
}

TEST_F(Spin, AHorizontalSpinWithoutItsImagesTurnsTheVerticalLook)
{
    std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
    ASSERT_NE(package, nullptr);
    auto* data = dynamic_cast<SkinSpinData*>(package->FindObjectByType(kSkinSpin));
    ASSERT_NE(data, nullptr);
    data->horizontal[0].up = MakeEmptyImageRef();
    data->horizontal[0].down = MakeEmptyImageRef();
    ASSERT_TRUE(Install(std::move(package)));
    Make();
    EXPECT_FALSE(horizontal->HasHorizontalLook());
    guitest::Capture c = guitest::Capture::OfWindow(Item(131));
    EXPECT_EQ(c.At(2, c.Height() / 2), Cell(0, 10)) << guitest::ColorText(c.At(2, c.Height() / 2));
    EXPECT_EQ(c.At(c.Width() - 3, c.Height() / 2), Cell(1, 10));
    guitest::SaveScreenshot(dialog, "spin_turned");
}

}  // namespace
