// What keyed tiles cost a skinned window: the region of a 400 x 300 frame
// whose every part is a 2 x 2 tile with a key-coloured pixel, at four sizes; and mouse
// hit tests over a wide caption text tiled from a 1 x 1 keyed image. Reports
// the times; each has a bound far above what the tiled region needs and far
// below what one region operation per tile took.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_window.h"
#include "testing/gui/gui_test.h"

namespace {

const int kTestSkin = 130;
const COLORREF kKey = RGB(255, 0, 255);

double SecondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// An image of the skin, every pixel `fill` but the top-left one `corner`.
void AddTile(SkinPackage& skin, const char* name, int side, COLORREF fill, COLORREF corner)
{
    std::unique_ptr<CSkinImage> tile(new CSkinImage(side, side, 24, CSkinImage::kFormatBmp));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            tile->SetPixelColor(x, y, SkinRgbQuad::FromColorRef(fill));
    tile->SetPixelColor(0, side - 1, SkinRgbQuad::FromColorRef(corner));
    auto image = std::make_unique<SkinImageObject>();
    image->SetName(name);
    image->SetImage(std::move(tile));
    ASSERT_TRUE(skin.AddImage(std::move(image)));
}

class RegionBench : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        skin = SkinManager::Instance().GetSkin();
        ASSERT_NE(skin, nullptr);
        frame = dynamic_cast<SkinFrameData*>(skin->FindObject("MainFrame"));
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        SkinLibExit();
    }
    void MakeFrame(int width, int height)
    {
        window = CreateWindowExA(0, "STATIC", "Bench", WS_OVERLAPPEDWINDOW, 40, 40, width, height, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(SkinSetFrameWindow(window, "MainFrame"));
    }
    SkinPackage* skin = nullptr;
    SkinFrameData* frame = nullptr;
    HWND window = nullptr;
};

TEST_F(RegionBench, TheRegionOfAFrameOfKeyedTwoByTwoTiles)
{
    AddTile(*skin, "tile2.bmp", 2, RGB(40, 80, 120), kKey);
    for (int i = 0; i < 18; ++i) {
        std::strcpy(frame->partImages[i].name, "tile2.bmp");
        frame->partImages[i].source = MakeSkinRect(0, 0, 2, 2);
        frame->partImages[i].drawMode = 1;  // tiled
    }
    frame->Resolve(*skin);
    // Laid out but not shown: Wine cannot clip its drawing to the tens of
    // thousands of rectangles of such a region.
    MakeFrame(400, 300);
    SkinWindowObject* skinner = SkinManager::Instance().FindSkinObject(window);
    ASSERT_NE(skinner, nullptr);
    const SIZE sizes[] = {{400, 300}, {420, 310}, {440, 320}, {460, 330}};
    size_t rects = 0;
    const double took = SecondsOf([&] {
        for (const SIZE& size : sizes) {
            skinner->LayoutParts(size);
            HRGN region = skinner->BuildRegion();
            ASSERT_NE(region, nullptr);
            rects = (GetRegionData(region, 0, nullptr) - sizeof(RGNDATAHEADER)) / sizeof(RECT);
            DeleteObject(region);
        }
    });
    std::printf("region of a 400 x 300 frame of 2 x 2 keyed tiles (%zu rectangles), built at four sizes in %.3f s\n",
                rects, took);
    EXPECT_GT(rects, 10000u);
    EXPECT_LT(took, 2.0);
}

TEST_F(RegionBench, HitTestsOverAWideCaptionTextTiledFromOneKeyedPixel)
{
    AddTile(*skin, "dot.bmp", 1, RGB(40, 80, 120), RGB(40, 80, 120));
    auto title = std::make_unique<SkinCaptionStaticData>();
    title->SetName("Title");
    title->rect = MakeSkinRect(30, 2, 1230, 22);
    std::strcpy(title->image.name, "dot.bmp");
    title->image.source = MakeSkinRect(0, 0, 1, 1);
    title->image.drawMode = 1;  // tiled
    title->value3 = 1;          // the caption: HTCAPTION where it is hit
    title->value1 = 5;          // not combined into the window region
    SkinCaptionStaticData* added = title.get();
    ASSERT_TRUE(frame->AddChild(std::move(title)));
    added->Resolve(*skin);
    MakeFrame(1300, 200);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    guitest::PumpPending();
    RECT onScreen;
    GetWindowRect(window, &onScreen);
    const int kMoves = 200;
    int caption = 0;
    const double took = SecondsOf([&] {
        for (int i = 0; i < kMoves; ++i) {
            const LPARAM at = MAKELPARAM(onScreen.left + 40 + 5 * i, onScreen.top + 10);
            if (SendMessageA(window, WM_NCHITTEST, 0, at) == HTCAPTION)
                ++caption;
        }
    });
    std::printf("%d hit tests over a 1200 x 20 caption text of 1 x 1 tiles: %.3f s\n", kMoves, took);
    EXPECT_EQ(caption, kMoves);
    EXPECT_LT(took, 1.0);
}

}  // namespace
