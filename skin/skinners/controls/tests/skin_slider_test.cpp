// The slider skinner under Wine with the test skin (BACKGROUND cell 0,9,
// THUMB.HORIZONTAL 1,9, CHANNEL 2,9, THUMB.VERTICAL 3,9): background,
// channel and thumb where the control puts them, lying and upright, the
// thumb following the control, and TBS_BOTH only while skinned.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/skinners/controls/skin_slider.h"
#include "skin/skinners/tests/skin_control_base_test_support.h"

namespace {

using skintest::Cell;

class Slider : public skintest::ControlDialogTest {
protected:
    void Make()
    {
        guitest::DialogTemplate t("Sliders", 0, 0, 220, 110);
        t.Add("msctls_trackbar32", 120, "", 10, 10, 150, 20, TBS_HORZ)
            .Add("msctls_trackbar32", 121, "", 180, 10, 20, 80, TBS_VERT);
        ASSERT_NE(MakeDialog(t), nullptr);
        ASSERT_NE(SkinnerOf<SkinTrackBar>(120), nullptr);
        ASSERT_NE(SkinnerOf<SkinTrackBar>(121), nullptr);
    }
    RECT ThumbOf(int id)
    {
        RECT r = {};
        SendMessageA(Item(id), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

TEST_F(Slider, PaintsBackgroundChannelAndThumbWhereTheControlPutsThem)
{
    Make();
    SendMessageA(Item(120), TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageA(Item(120), TBM_SETPOS, TRUE, 20);
    guitest::PumpFor(50);
    guitest::SaveScreenshot(dialog, "sliders");
    RECT thumb = ThumbOf(120);
    EXPECT_EQ(PixelOf(120, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), Cell(1, 9));
    RECT channel = {};
    SendMessageA(Item(120), TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    const int cy = (channel.top + channel.bottom) / 2;
    EXPECT_EQ(PixelOf(120, channel.right - 3, cy), Cell(2, 9)) << guitest::ColorText(PixelOf(120, channel.right - 3, cy));
    EXPECT_EQ(PixelOf(120, 1, 1), Cell(0, 9));

    // The control moves the thumb; the skin follows.
    SendMessageA(Item(120), TBM_SETPOS, TRUE, 80);
    guitest::PumpFor(50);
    const RECT moved = ThumbOf(120);
    EXPECT_GT(moved.left, thumb.right);
    EXPECT_EQ(PixelOf(120, (moved.left + moved.right) / 2, (moved.top + moved.bottom) / 2), Cell(1, 9));

    // Upright: the vertical thumb, the background turned.
    thumb = ThumbOf(121);
    EXPECT_EQ(PixelOf(121, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), Cell(3, 9))
        << guitest::ColorText(PixelOf(121, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2));
    EXPECT_EQ(PixelOf(121, 1, -2), Cell(0, 9));
}

TEST_F(Slider, AnUprightSliderWithoutAVerticalThumbTurnsTheLyingOne)
{
    std::unique_ptr<SkinPackage> package = skintest::ReadTestSkin();
    ASSERT_NE(package, nullptr);
    auto* data = dynamic_cast<SkinSliderData*>(package->FindObjectByType(kSkinSlider));
    ASSERT_NE(data, nullptr);
    data->thumbVertical = MakeEmptyLayoutImage();
    ASSERT_TRUE(Install(std::move(package)));
    Make();
    const RECT thumb = ThumbOf(121);
    EXPECT_EQ(PixelOf(121, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2), Cell(1, 9));
}

TEST_F(Slider, MarksOnBothSidesOnlyWhileSkinned)
{
    Make();
    EXPECT_TRUE(GetWindowLongA(Item(120), GWL_STYLE) & TBS_BOTH);
    ASSERT_TRUE(SkinDetachWindow(dialog));
    EXPECT_FALSE(GetWindowLongA(Item(120), GWL_STYLE) & TBS_BOTH);
}

}  // namespace
