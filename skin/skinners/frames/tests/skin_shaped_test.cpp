// The shaped-window skinner under Wine with the test skin's "Quorbel"
// ShapeWnd (a 64 x 16 strip of cells with magenta corners, covered by its
// caption buttons, the last two sharing the right-most 16 pixels): the window takes the picture's size,
// loses caption and borders, gets a region without the key-coloured
// corners, is dragged by any point off the buttons when it had a caption,
// becomes layered only for an alpha below 255, and gets its style back
// when unskinned.
#include <gtest/gtest.h>

#include <windows.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/frames/skin_shaped.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

class ShapeSkinner : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    }
    void TearDown() override
    {
        if (window && IsWindow(window))
            DestroyWindow(window);
        SkinLibExit();
    }
    void MakeShaped(DWORD style)
    {
        window = guitest::CreateTestWindow("Shaped", 80, 80, 200, 120);
        ASSERT_NE(window, nullptr);
        SetWindowLongA(window, GWL_STYLE, LONG(style));
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        styleBefore = GetWindowLongA(window, GWL_STYLE);
        exStyleBefore = GetWindowLongA(window, GWL_EXSTYLE);
        ASSERT_TRUE(SkinManager::Instance().SetShapeSkin(window, "Quorbel"));
        shape = dynamic_cast<SkinShapeWindow*>(SkinManager::Instance().FindSkinObject(window));
        ASSERT_NE(shape, nullptr);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        guitest::PumpFor(100);
    }
    LRESULT HitAt(int x, int y)
    {
        RECT w;
        GetWindowRect(window, &w);
        return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(w.left + x, w.top + y));
    }

    HWND window = nullptr;
    SkinShapeWindow* shape = nullptr;
    LONG styleBefore = 0, exStyleBefore = 0;
};

TEST_F(ShapeSkinner, TakesThePicturesSizeAndOutline)
{
    MakeShaped(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT w;
    GetWindowRect(window, &w);
    EXPECT_EQ(w.right - w.left, 64);
    EXPECT_EQ(w.bottom - w.top, 16);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX), WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);  // alpha 255

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "magenta corner";
    EXPECT_TRUE(PtInRegion(region, 8, 8));
    EXPECT_TRUE(PtInRegion(region, 56, 8));
    DeleteObject(region);

    EXPECT_FALSE(guitest::SaveScreenshot(window, "skinned_shape").empty());
    guitest::Capture capture = guitest::Capture::OfWindow(window, true);
    ASSERT_TRUE(capture.Valid());
    EXPECT_EQ(capture.At(8, 8), Cell(1, 12)) << "the first caption button's image";
    EXPECT_EQ(capture.At(56, 8), Cell(12, 12)) << "the last button drawn there";
}

// The two right-most buttons taken away, so that the strip's last 16
// pixels are free.
void FreeTheRightEnd(SkinShapeWindow* shape)
{
    SkinDataObject* data = shape->GetSkinData();
    for (const auto& entry : data->Children()) {
        const char* name = entry.second->GetName();
        if (name && (lstrcmpA(name, "QuorbelClose") == 0 || lstrcmpA(name, "QuorbelMin") == 0))
            entry.second->rect = SkinRect();
    }
    shape->BindSkinData(data);
}

TEST_F(ShapeSkinner, DraggedByPointsOffTheButtonsOnlyWhenItHadACaption)
{
    MakeShaped(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    FreeTheRightEnd(shape);
    EXPECT_TRUE(shape->HasCaption());
    EXPECT_EQ(HitAt(56, 8), HTCAPTION);
    EXPECT_EQ(HitAt(8, 8), HTCLIENT);  // a caption button
    DestroyWindow(window);

    MakeShaped(WS_POPUP | WS_VISIBLE);
    FreeTheRightEnd(shape);
    EXPECT_FALSE(shape->HasCaption());
    EXPECT_EQ(HitAt(56, 8), HTCLIENT);
}

TEST_F(ShapeSkinner, AnAlphaBelow255MakesALayeredWindowWithKeyAndAlpha)
{
    MakeShaped(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    auto* data = dynamic_cast<SkinShapeData*>(shape->GetSkinData());
    ASSERT_NE(data, nullptr);
    data->alpha = 128;
    shape->BindSkinData(data);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (GetLayeredWindowAttributes(window, &key, &alpha, &flags)) {
        EXPECT_EQ(alpha, 128);
        EXPECT_EQ(key, data->layeredKey);
        EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
    }
    data->alpha = 255;
    data->taskBar = 0;
    shape->BindSkinData(data);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), WS_EX_TOOLWINDOW);
    data->taskBar = 1;
}

TEST_F(ShapeSkinner, UnskinningGivesTheStyleBack)
{
    MakeShaped(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(SkinDetachWindow(window));
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE), styleBefore);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE), exStyleBefore);
}

}  // namespace
