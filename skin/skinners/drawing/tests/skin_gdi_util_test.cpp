// The drawing, region and menu utilities under Wine, with the test skin
// (16 x 16 solid cells of distinct colours; rows 12 and 15 have magenta
// corners): image parts by draw mode, nine-piece images, keyed blits,
// regions from bitmaps, tiled and scaled regions, menu copies, the
// library's popup-menu tracking (with a popup window of the test's own),
// the skinned system menu, accelerators, resource and file helpers, the
// month calendar's navigation buttons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "testing/gui/gui_test.h"

namespace {

using namespace SkinGdiUtil;

const int kTestSkin = 130;
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kKey = RGB(255, 0, 255);

COLORREF Cell(int c, int r) { return RGB(16 * c + 8, 16 * r + 8, 0x40); }

SkinImageRef Ref(const char* image, int left, int top, int right, int bottom, uint32_t mode)
{
    SkinImageRef ref = MakeEmptyImageRef();
    CopySkinText(ref.name, sizeof ref.name, image);
    ref.source = MakeSkinRect(left, top, right, bottom);
    ref.drawMode = mode;
    return ref;
}

SkinLayoutImage Layout(int left, int top, int right, int bottom, int margin, uint32_t mode)
{
    SkinLayoutImage image = MakeEmptyLayoutImage();
    CopySkinText(image.name, sizeof image.name, "test.bmp");
    image.source = MakeSkinRect(left, top, right, bottom);
    image.marginLeft = image.marginTop = image.marginRight = image.marginBottom = margin;
    image.layoutMode = mode;
    return image;
}

// A canvas filled white, read back pixel by pixel.
class Canvas {
public:
    Canvas(int w, int h)
    {
        HDC screen = GetDC(nullptr);
        memory_.reset(new SkinMemDC(screen, w, h));
        ReleaseDC(nullptr, screen);
        const RECT all = {0, 0, w, h};
        FillSolidRect(*memory_, all, kWhite);
    }
    HDC dc() const { return *memory_; }
    COLORREF At(int x, int y) const { return GetPixel(*memory_, x, y); }

private:
    std::unique_ptr<SkinMemDC> memory_;
};

class DrawingUtilities : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SkinLibInit(GetModuleHandleA(nullptr), nullptr, nullptr, 0));
        ASSERT_TRUE(SkinLoadResource(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
        image = SkinManager::Instance().GetSkin()->FindImage("test.bmp");
        ASSERT_NE(image, nullptr);
    }
    void TearDown() override { SkinLibExit(); }

    // A cell of test.bmp as a bitmap.
    HBITMAP CellBitmap(int c, int r)
    {
        CSkinImage part;
        if (!image->Crop(16 * c, 16 * r, 16 * c + 16, 16 * r + 16, &part))
            return nullptr;
        return part.MakeBitmap(nullptr);
    }
    CSkinImage* image = nullptr;
};

TEST_F(DrawingUtilities, ImagePartsByDrawMode)
{
    // Natural size: a source larger than the destination is cut, not shrunk.
    Canvas cut(32, 32);
    DrawImageRef(cut.dc(), RECT{0, 0, 16, 16}, Ref("test.bmp", 0, 0, 32, 16, 0), kKey, TRUE);
    EXPECT_EQ(cut.At(2, 2), Cell(0, 0));
    EXPECT_EQ(cut.At(15, 15), Cell(0, 0));
    EXPECT_EQ(cut.At(17, 2), kWhite);
    // ... and a smaller one is not grown.
    DrawImageRef(cut.dc(), RECT{0, 16, 32, 32}, Ref("test.bmp", 16, 0, 32, 16, 0), kKey, TRUE);
    EXPECT_EQ(cut.At(2, 20), Cell(1, 0));
    EXPECT_EQ(cut.At(20, 20), kWhite);

    // Stretched: two cells spread over 64 pixels.
    Canvas stretched(64, 16);
    DrawImageRef(stretched.dc(), RECT{0, 0, 64, 16}, Ref("test.bmp", 0, 0, 32, 16, 2), kKey, TRUE);
    EXPECT_EQ(stretched.At(10, 8), Cell(0, 0));
    EXPECT_EQ(stretched.At(40, 8), Cell(1, 0));

    // Tiled, with the key colour left out: the corner of every tile shows
    // what was there.
    Canvas tiled(40, 40);
    DrawImageRef(tiled.dc(), RECT{0, 0, 40, 40}, Ref("test.bmp", 16, 192, 32, 208, 1), kKey, TRUE);
    EXPECT_EQ(tiled.At(1, 1), kWhite);
    EXPECT_EQ(tiled.At(5, 5), Cell(1, 12));
    EXPECT_EQ(tiled.At(17, 1), kWhite);
    EXPECT_EQ(tiled.At(21, 5), Cell(1, 12));
    EXPECT_EQ(tiled.At(33, 33), kWhite);   // the third tile, cut at 40
    EXPECT_EQ(tiled.At(39, 39), Cell(1, 12));

    // Natural size keeps the key colour out too.
    Canvas keyed(16, 16);
    DrawImageRef(keyed.dc(), RECT{0, 0, 16, 16}, Ref("test.bmp", 16, 192, 32, 208, 0), kKey, TRUE);
    EXPECT_EQ(keyed.At(1, 1), kWhite);
    EXPECT_EQ(keyed.At(8, 8), Cell(1, 12));
}

TEST_F(DrawingUtilities, MissingPartsFallBackToTheColourOnlyWhenAskedTo)
{
    struct Case {
        SkinImageRef ref;
        BOOL fill;
        COLORREF expected;
    } cases[] = {
        {Ref("nosuch.bmp", 0, 0, 16, 16, 2), TRUE, RGB(1, 2, 3)},
        {Ref("nosuch.bmp", 0, 0, 16, 16, 2), FALSE, kWhite},
        {Ref("test.bmp", 0, 0, 0, 16, 2), TRUE, RGB(1, 2, 3)},   // empty source
        {Ref("test.bmp", 300, 300, 400, 400, 2), TRUE, RGB(1, 2, 3)},  // outside the image
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 16);
        DrawImageRef(canvas.dc(), RECT{0, 0, 16, 16}, c.ref, RGB(1, 2, 3), c.fill);
        EXPECT_EQ(canvas.At(8, 8), c.expected) << c.ref.name << " fill " << c.fill;
    }
}

TEST_F(DrawingUtilities, NinePieceImages)
{
    // Cells 0..2 of rows 0..2, 16-pixel margins: one cell per piece.
    const SkinLayoutImage nine = Layout(0, 0, 48, 48, 16, 1);
    Canvas full(100, 100);
    DrawLayoutImage(full.dc(), RECT{0, 0, 100, 100}, nine, kKey, TRUE);
    struct Probe {
        int x, y, c, r;
    } probes[] = {{5, 5, 0, 0},   {50, 5, 1, 0},  {95, 5, 2, 0},  {5, 50, 0, 1}, {50, 50, 1, 1},
                  {95, 50, 2, 1}, {5, 95, 0, 2}, {50, 95, 1, 2}, {95, 95, 2, 2}};
    for (const Probe& p : probes)
        EXPECT_EQ(full.At(p.x, p.y), Cell(p.c, p.r)) << p.x << "," << p.y;

    Canvas border(100, 100);
    DrawLayoutBorder(border.dc(), RECT{0, 0, 100, 100}, nine, kKey, TRUE);
    EXPECT_EQ(border.At(50, 50), kWhite);
    EXPECT_EQ(border.At(50, 5), Cell(1, 0));

    // Other border sizes: the corners are 8 pixels wide.
    Canvas sized(100, 100);
    DrawLayoutBorderSized(sized.dc(), RECT{0, 0, 100, 100}, RECT{8, 8, 8, 8}, nine, kKey, TRUE);
    EXPECT_EQ(sized.At(4, 4), Cell(0, 0));
    EXPECT_EQ(sized.At(12, 4), Cell(1, 0));
    EXPECT_EQ(sized.At(50, 50), kWhite);

    // Layout mode 8: the centre in strips (still the centre cell's colour).
    Canvas strips(100, 100);
    DrawLayoutImage(strips.dc(), RECT{0, 0, 100, 100}, Layout(0, 0, 48, 48, 16, 8), kKey, TRUE);
    EXPECT_EQ(strips.At(50, 50), Cell(1, 1));
    EXPECT_EQ(strips.At(83, 50), Cell(1, 1));
}

TEST_F(DrawingUtilities, KeyedBlitsLeaveTheKeyColourOut)
{
    HBITMAP keyed = CellBitmap(1, 12);
    ASSERT_NE(keyed, nullptr);
    Canvas blit(16, 16);
    TransparentBlitBitmap(blit.dc(), 0, 0, 16, 16, keyed, 0, 0, kKey);
    EXPECT_EQ(blit.At(1, 1), kWhite);
    EXPECT_EQ(blit.At(8, 8), Cell(1, 12));

    Canvas stretched(32, 32);
    HDC source = CreateCompatibleDC(stretched.dc());
    HGDIOBJ old = SelectObject(source, keyed);
    TransparentStretchBlit(stretched.dc(), 0, 0, 32, 32, source, 0, 0, 16, 16, kKey);
    SelectObject(source, old);
    DeleteDC(source);
    EXPECT_EQ(stretched.At(6, 6), kWhite);  // the 4 x 4 corner, doubled
    EXPECT_EQ(stretched.At(10, 10), Cell(1, 12));

    Canvas drawn(24, 24);
    DrawBitmapKeyed(drawn.dc(), keyed, RECT{0, 0, 16, 16}, kKey);
    EXPECT_EQ(drawn.At(1, 1), kWhite);
    EXPECT_EQ(drawn.At(8, 8), Cell(1, 12));

    CSkinImage part;
    ASSERT_TRUE(image->Crop(16, 192, 32, 208, &part));
    Canvas small(8, 8);
    DrawImageKeyed(small.dc(), part, RECT{0, 0, 8, 8}, kKey);  // cut to the rectangle
    EXPECT_EQ(small.At(1, 1), kWhite);
    EXPECT_EQ(small.At(6, 6), Cell(1, 12));

    Canvas layout(32, 32);
    DrawLayoutImageKeyed(layout.dc(), RECT{0, 0, 32, 32}, Layout(16, 192, 32, 208, 0, 1), kKey);
    EXPECT_EQ(layout.At(3, 3), kWhite);  // the corner, stretched to 8 x 8
    EXPECT_EQ(layout.At(20, 20), Cell(1, 12));
    DeleteObject(keyed);
}

TEST_F(DrawingUtilities, RegionsFromBitmaps)
{
    HBITMAP keyed = CellBitmap(1, 12);
    HRGN region = RegionFromBitmap(keyed, kKey);
    ASSERT_NE(region, nullptr);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(PtInRegion(region, x, y) != 0, !(x < 4 && y < 4)) << x << "," << y;
    DeleteObject(region);
    DeleteObject(keyed);

    // All key colour: an empty region; no key colour: every pixel.
    auto solid = [](COLORREF colour, int bpp) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 8;
        info.bmiHeader.biHeight = 8;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = WORD(bpp);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        const RECT all = {0, 0, 8, 8};
        FillSolidRect(dc, all, colour);
        SelectObject(dc, old);
        DeleteDC(dc);
        return bitmap;
    };
    for (int bpp : {16, 24, 32}) {
        HBITMAP allKey = solid(kKey, bpp);
        HRGN none = RegionFromBitmap(allKey, kKey);
        RECT box;
        ASSERT_NE(none, nullptr) << bpp;
        EXPECT_EQ(GetRgnBox(none, &box), NULLREGION) << bpp;
        DeleteObject(none);
        DeleteObject(allKey);

        HBITMAP noKey = solid(RGB(0, 0, 0), bpp);
        HRGN every = RegionFromBitmap(noKey, kKey);
        ASSERT_NE(every, nullptr) << bpp;
        EXPECT_EQ(GetRgnBox(every, &box), SIMPLEREGION) << bpp;
        EXPECT_EQ(box.right, 8);
        EXPECT_EQ(box.bottom, 8);
        DeleteObject(every);
        DeleteObject(noKey);
    }

    // An 8-bit bitmap is compared through its colour table.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info8 = {};
    info8.header.biSize = sizeof info8.header;
    info8.header.biWidth = 4;
    info8.header.biHeight = -2;  // top-down
    info8.header.biPlanes = 1;
    info8.header.biBitCount = 8;
    info8.header.biClrUsed = 2;
    info8.colors[0] = RGBQUAD{255, 0, 255, 0};  // magenta
    info8.colors[1] = RGBQUAD{0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP indexed = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info8), DIB_RGB_COLORS, &bits,
                                       nullptr, 0);
    ASSERT_NE(indexed, nullptr);
    const uint8_t pixels[8] = {0, 1, 1, 0, 1, 0, 0, 0};  // rows of 4 bytes
    std::memcpy(bits, pixels, sizeof pixels);
    HRGN fromIndexed = RegionFromBitmap(indexed, kKey);
    ASSERT_NE(fromIndexed, nullptr);
    EXPECT_FALSE(PtInRegion(fromIndexed, 0, 0));
    EXPECT_TRUE(PtInRegion(fromIndexed, 1, 0));
    EXPECT_TRUE(PtInRegion(fromIndexed, 2, 0));
    EXPECT_FALSE(PtInRegion(fromIndexed, 3, 0));
    EXPECT_TRUE(PtInRegion(fromIndexed, 0, 1));
    EXPECT_FALSE(PtInRegion(fromIndexed, 1, 1));
    DeleteObject(fromIndexed);
    DeleteObject(indexed);
    EXPECT_EQ(RegionFromBitmap(nullptr, kKey), nullptr);
}

TEST_F(DrawingUtilities, ScaledAndTiledRegions)
{
    HRGN square = CreateRectRgn(0, 0, 4, 4);
    HRGN scaled = TransformRegion(square, 3.0f, 3.0f, 10, 10);
    ASSERT_NE(scaled, nullptr);
    RECT box;
    GetRgnBox(scaled, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.right, 22);
    EXPECT_EQ(box.bottom, 22);
    DeleteObject(scaled);

    HRGN dot = CreateRectRgn(0, 0, 2, 2);
    HRGN tiled = TileRegion(dot, 4, 4, RECT{0, 0, 10, 10});
    EXPECT_TRUE(PtInRegion(tiled, 1, 1));
    EXPECT_TRUE(PtInRegion(tiled, 5, 5));
    EXPECT_FALSE(PtInRegion(tiled, 3, 3));
    EXPECT_TRUE(PtInRegion(tiled, 9, 9));
    EXPECT_FALSE(PtInRegion(tiled, 10, 9));  // cut at the rectangle
    DeleteObject(tiled);
    HRGN once = TileRegion(dot, 0, 4, RECT{20, 20, 30, 30});  // no step: once, at the corner
    EXPECT_TRUE(PtInRegion(once, 21, 21));
    EXPECT_FALSE(PtInRegion(once, 25, 25));
    DeleteObject(once);
    DeleteObject(dot);
    DeleteObject(square);
    EXPECT_EQ(TransformRegion(nullptr, 1, 1, 0, 0), nullptr);
}

// Tiled regions built by rows of doubled copies hold exactly the pixels
// that one copy per tile would; tiles that would make an unbounded number
// of rectangles give the whole destination.
TEST_F(DrawingUtilities, TiledRegionsMatchOneCopyPerTileAndAreBounded)
{
    struct Case {
        const char* what;
        std::vector<RECT> source;  // inside (0, 0, stepX, stepY)
        int stepX, stepY;
        RECT dest;
        bool whole;  // past the bound: dest itself
    } cases[] = {
        {"a dot every 4 pixels", {{0, 0, 2, 2}}, 4, 4, {0, 0, 10, 10}, false},
        {"a tile with a key corner, dest not a multiple of it", {{1, 0, 3, 1}, {0, 1, 3, 3}}, 3, 3, {5, 7, 47, 38},
         false},
        {"one pixel over a wide caption", {{0, 0, 1, 1}}, 1, 1, {30, 2, 1230, 22}, false},
        {"a checker", {{0, 0, 1, 1}, {1, 1, 2, 2}}, 2, 2, {10, 10, 90, 70}, false},
        {"a checker over a big window", {{0, 0, 1, 1}, {1, 1, 2, 2}}, 2, 2, {0, 0, 400, 400}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HRGN source = CreateRectRgn(0, 0, 0, 0);
        for (const RECT& r : c.source) {
            HRGN piece = CreateRectRgnIndirect(&r);
            CombineRgn(source, source, piece, RGN_OR);
            DeleteObject(piece);
        }
        HRGN tiled = TileRegion(source, c.stepX, c.stepY, c.dest);
        ASSERT_NE(tiled, nullptr);
        if (c.whole) {
            RECT box;
            EXPECT_EQ(GetRgnBox(tiled, &box), SIMPLEREGION);
            EXPECT_TRUE(EqualRect(&box, &c.dest));
        } else {
            int wrong = 0;
            for (int y = c.dest.top - 2; y < c.dest.bottom + 2; ++y)
                for (int x = c.dest.left - 2; x < c.dest.right + 2; ++x) {
                    const POINT at = {x, y};
                    const bool inDest = PtInRect(&c.dest, at) != 0;
                    const bool expected =
                        inDest && PtInRegion(source, (x - c.dest.left) % c.stepX, (y - c.dest.top) % c.stepY);
                    if ((PtInRegion(tiled, x, y) != 0) != expected)
                        ++wrong;
                }
            EXPECT_EQ(wrong, 0);
        }
        DeleteObject(tiled);
        DeleteObject(source);
    }
}

// --- menus ------------------------------------------------------------------

// Menus are read on any thread: a text read on one thread stays as it was
// while another thread reads another item.
TEST(MenuUtilities, EachThreadReadsItsOwnItemText)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 10, "&First");
    AppendMenuA(menu, MF_STRING, 11, "&Second");
    const char* mine = GetMenuItemText(menu, 0, TRUE);
    std::string theirs;
    std::thread other([&] { theirs = GetMenuItemText(menu, 1, TRUE); });
    other.join();
    EXPECT_EQ(theirs, "&Second");
    EXPECT_STREQ(mine, "&First");
    DestroyMenu(menu);
}

TEST(MenuUtilities, CopyMenuCopiesItemsStatesAndSubmenus)
{
    HMENU source = CreatePopupMenu();
    AppendMenuA(source, MF_STRING | MF_CHECKED, 10, "&Open\tCtrl+O");
    AppendMenuA(source, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(source, MF_STRING | MF_GRAYED, 11, "Grayed");
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 20, "Inner");
    AppendMenuA(source, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "More");
    HMENU copy = CreatePopupMenu();
    ASSERT_TRUE(CopyMenu(source, copy));
    ASSERT_EQ(GetMenuItemCount(copy), 4);
    EXPECT_STREQ(GetMenuItemText(copy, 0, TRUE), "&Open\tCtrl+O");
    EXPECT_EQ(GetMenuItemID(copy, 0), 10u);
    EXPECT_TRUE(GetMenuState(copy, 10, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(copy, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(copy, 11, MF_BYCOMMAND) & MF_GRAYED);
    HMENU copiedSub = GetSubMenu(copy, 3);
    ASSERT_NE(copiedSub, nullptr);
    EXPECT_NE(copiedSub, sub);
    EXPECT_EQ(GetMenuItemID(copiedSub, 0), 20u);
    EXPECT_STREQ(GetMenuItemText(copy, 3, TRUE), "More");
    // One static buffer: the next call overwrites it.
    const char* first = GetMenuItemText(copy, 0, TRUE);
    const char* second = GetMenuItemText(copy, 2, TRUE);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "Grayed");
    EXPECT_STREQ(GetMenuItemText(copy, 11, FALSE), "Grayed");
    EXPECT_FALSE(CopyMenu(nullptr, copy));
    DestroyMenu(copy);
    DestroyMenu(source);
}

// A popup menu window of the test's own for the library's tracking loop.
struct FakePopupLog {
    int mode = -1;
    HWND owner = nullptr;
    HMENU menu = nullptr;
    bool bound = false;
    bool closed = false;
    RECT placed = {};
    std::vector<UINT> states;  // the attached menu's item states, by position
    SIZE size = {120, 200};
    UINT chosen = 77;
    HWND window = nullptr;
} g_popup;

class FakePopup : public SkinPopupMenuWindow {
public:
    BOOL Create() override
    {
        g_popup.window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         nullptr, nullptr);
        return g_popup.window != nullptr;
    }
    void AttachMenu(HMENU menu) override
    {
        g_popup.menu = menu;
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            g_popup.states.push_back(GetMenuState(menu, UINT(i), MF_BYPOSITION));
    }
    void BindSkin(SkinDataObject* object) override { g_popup.bound = object != nullptr; }
    SIZE GetMenuSize() override { return g_popup.size; }
    HWND GetWindow() override { return g_popup.window; }
    bool IsClosed() override { return false; }
    UINT GetChosenCommand() override { return g_popup.chosen; }
    void Close() override
    {
        g_popup.closed = true;
        if (g_popup.window) {
            GetWindowRect(g_popup.window, &g_popup.placed);
            DestroyWindow(g_popup.window);
        }
        g_popup.window = nullptr;
    }
};

SkinPopupMenuWindow* MakeFakePopup(HWND owner, int mode)
{
    g_popup.mode = mode;
    g_popup.owner = owner;
    return new FakePopup();
}

class PopupTracking : public testing::Test {
protected:
    void SetUp() override
    {
        g_popup = FakePopupLog();
        RegisterPopupMenuFactory(&MakeFakePopup);
        owner = guitest::CreateTestWindow("Popup owner", 100, 100, 200, 150);
        ASSERT_NE(owner, nullptr);
        menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 77, "Seventy-seven");
    }
    void TearDown() override
    {
        RegisterPopupMenuFactory(nullptr);
        guitest::CancelPending();
        DestroyMenu(menu);
        DestroyWindow(owner);
    }
    HWND owner = nullptr;
    HMENU menu = nullptr;
};

TEST_F(PopupTracking, EscapeEndsWithZero)
{
    guitest::RunLater(30, [this] { PostMessageA(owner, WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_EQ(TrackPopupMenu(menu, 0, 300, 300, owner, FALSE), 0);
    EXPECT_EQ(g_popup.mode, 2);
    EXPECT_EQ(g_popup.owner, owner);
    EXPECT_EQ(g_popup.menu, menu);
    EXPECT_TRUE(g_popup.closed);
    EXPECT_EQ(g_popup.placed.left, 300);
    EXPECT_EQ(g_popup.placed.top, 300);
    EXPECT_EQ(g_popup.placed.right - g_popup.placed.left, 120);
}

TEST_F(PopupTracking, TheMenuEndMessageEndsItWithTheChosenCommandWhenAsked)
{
    guitest::RunLater(30, [this] { PostMessageA(owner, kSkinMsgMenuEnded, 0, 0); });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 300, 300, owner, FALSE), 77);
    EXPECT_EQ(g_popup.mode, 3);
    guitest::RunLater(30, [this] { PostMessageA(owner, kSkinMsgMenuEnded, 0, 0); });
    EXPECT_EQ(TrackPopupMenu(menu, 0, 300, 300, owner, FALSE), 1);
}

TEST_F(PopupTracking, PlacementStaysInsideTheWorkArea)
{
    const RECT work = WorkAreaAt(POINT{10, 10});
    // Right-aligned at the left edge: moved right to start at it.
    guitest::RunLater(30, [this] { PostMessageA(owner, WM_KEYDOWN, VK_ESCAPE, 0); });
    TrackPopupMenu(menu, TPM_RIGHTALIGN, work.left + 10, work.top + 10, owner, FALSE);
    EXPECT_EQ(g_popup.placed.left, work.left);
    // Taller than the work area: its whole height.
    g_popup.size = SIZE{120, (work.bottom - work.top) * 2};
    guitest::RunLater(30, [this] { PostMessageA(owner, WM_KEYDOWN, VK_ESCAPE, 0); });
    TrackPopupMenu(menu, 0, work.left + 10, work.top + 10, owner, FALSE);
    EXPECT_EQ(g_popup.placed.top, work.top);
    EXPECT_EQ(g_popup.placed.bottom, work.bottom);
}

TEST_F(PopupTracking, ANonClientClickEndsTheSystemMenu)
{
    guitest::RunLater(30, [this] { PostMessageA(owner, WM_NCLBUTTONDOWN, HTNOWHERE, MAKELPARAM(110, 105)); });
    EXPECT_EQ(TrackPopupMenu(menu, 0, 300, 300, owner, TRUE), 0);
    EXPECT_EQ(g_popup.mode, 1);
    EXPECT_TRUE(g_popup.closed);
}

TEST_F(PopupTracking, QuitEndsTheMenuAndStaysQueued)
{
    guitest::RunLater(30, [] { PostQuitMessage(5); });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 300, 300, owner, FALSE), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(PopupTracking, TheSystemMenuCopyFollowsTheWindowState)
{
    HWND window = CreateWindowExA(0, "STATIC", "sys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HMENU system = GetSystemMenu(window, FALSE);
    ASSERT_NE(system, nullptr);
    // The copy's states are read while the popup shows it.
    auto track = [&](int show) {
        ShowWindow(window, show);
        g_popup = FakePopupLog();
        guitest::RunLater(30, [window] { PostMessageA(window, kSkinMsgMenuEnded, 0, 0); });
        TrackSystemMenu(window);
    };
    auto stateOf = [&](UINT command) -> UINT {
        const int count = GetMenuItemCount(system);
        for (int i = 0; i < count && i < int(g_popup.states.size()); ++i)
            if (GetMenuItemID(system, i) == command)
                return g_popup.states[i];
        return UINT(-1);
    };
    track(SW_MAXIMIZE);
    EXPECT_EQ(g_popup.mode, 1);
    EXPECT_FALSE(stateOf(SC_RESTORE) & MF_GRAYED);
    EXPECT_TRUE(stateOf(SC_MOVE) & MF_GRAYED);
    EXPECT_TRUE(stateOf(SC_SIZE) & MF_GRAYED);
    EXPECT_TRUE(stateOf(SC_MAXIMIZE) & MF_GRAYED);
    EXPECT_FALSE(stateOf(SC_MINIMIZE) & MF_GRAYED);
    track(SW_RESTORE);
    EXPECT_TRUE(stateOf(SC_RESTORE) & MF_GRAYED);
    EXPECT_FALSE(stateOf(SC_MOVE) & MF_GRAYED);
    EXPECT_FALSE(stateOf(SC_SIZE) & MF_GRAYED);
    DestroyWindow(window);
    EXPECT_EQ(TrackSystemMenu(nullptr), 0);
}

TEST(Accelerators, ModifiersMustBeDown)
{
    ACCEL entries[] = {
        {FVIRTKEY | FCONTROL, 'O', 1},
        {FVIRTKEY, 'O', 2},
        {FVIRTKEY | FSHIFT | FALT, 'X', 3},
    };
    AccelTable table(entries, 3);
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    ACCEL found = {};
    ASSERT_TRUE(table.FindKey('O', &found));
    EXPECT_EQ(found.cmd, 2);  // Ctrl is up: the plain entry
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    ASSERT_TRUE(table.FindKey('O', &found));
    EXPECT_EQ(found.cmd, 1);
    EXPECT_FALSE(table.FindKey('X', &found));
    keys[VK_SHIFT] = keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    ASSERT_TRUE(table.FindKey('X', &found));
    EXPECT_EQ(found.cmd, 3);
    std::memset(keys, 0, sizeof keys);
    SetKeyboardState(keys);
    table.Clear();
    EXPECT_FALSE(table.FindKey('O', &found));
}

// --- files, resources, OS class, month calendar -----------------------------

TEST(FileHelpers, ResourcesToFilesAndTemporaryNames)
{
    char path[MAX_PATH];
    ASSERT_TRUE(MakeTempFileName(path, sizeof path, "SM$$TEMP.AVI", "C:\\", "AVI"));
    const std::string name(path);
    EXPECT_EQ(name.substr(name.size() - 4), ".AVI");
    // The bare name GetTempFileName made is not left behind.
    EXPECT_EQ(GetFileAttributesA(name.substr(0, name.size() - 4).c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(ResourceToFile(path, nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT"));
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(kTestSkin), "RT_VENEERKIT");
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(path, GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, SizeofResource(nullptr, found));
    DeleteFileA(path);
    EXPECT_FALSE(ResourceToFile(path, nullptr, MAKEINTRESOURCEA(999), "RT_VENEERKIT"));
    EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);

    char plain[MAX_PATH];
    ASSERT_TRUE(MakeTempFileName(plain, sizeof plain, "x", "C:\\", nullptr));
    EXPECT_NE(GetFileAttributesA(plain), INVALID_FILE_ATTRIBUTES);  // made by the system
    DeleteFileA(plain);
    char tooSmall[16];
    EXPECT_FALSE(MakeTempFileName(tooSmall, sizeof tooSmall, "x", "C:\\", nullptr));
}

// A name with an extension is reserved as a file of its own: no later
// call hands it out again while it is in use, even when the bare names
// after it are free and their extended names are taken.
TEST(FileHelpers, TemporaryNamesWithAnExtensionStayUnique)
{
    char first[MAX_PATH];
    ASSERT_TRUE(MakeTempFileName(first, sizeof first, "SM$$TEMP.AVI", "C:\\", "avi"));
    EXPECT_NE(GetFileAttributesA(first), INVALID_FILE_ATTRIBUTES) << "the name is reserved";
    // The names the next calls would make, taken by someone else.
    const std::string made(first);
    const size_t dash = made.rfind("SM");
    ASSERT_NE(dash, std::string::npos);
    const unsigned number = unsigned(std::strtoul(made.c_str() + dash + 2, nullptr, 16));
    std::vector<std::string> taken;
    for (unsigned n = number + 1; n <= number + 32; ++n) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%.*sSM%X%s", int(dash), made.c_str(), n & 0xFFFF,
                      made.c_str() + made.find('.', dash));
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            taken.push_back(name);
        }
    }
    std::vector<std::string> names = {made};
    for (int i = 0; i < 8; ++i) {
        char path[MAX_PATH];
        ASSERT_TRUE(MakeTempFileName(path, sizeof path, "SM$$TEMP.AVI", "C:\\", "avi"));
        for (const std::string& other : names)
            EXPECT_STRCASENE(path, other.c_str());
        for (const std::string& other : taken)
            EXPECT_STRCASENE(path, other.c_str());
        names.push_back(path);
    }
    for (const std::string& name : names)
        EXPECT_TRUE(DeleteFileA(name.c_str())) << name;
    for (const std::string& name : taken)
        DeleteFileA(name.c_str());
}

TEST(OsClassUtility, InjectedClassesAndWhatWineReports)
{
    EXPECT_EQ(GetOsClass(), 1);
    SetOsClassOverride(3);
    EXPECT_EQ(GetOsClass(), 3);
    SetOsClassOverride(-1);
    EXPECT_EQ(GetOsClass(), 1);
}

TEST(MonthCalendar, TheNavigationButtonsAreFoundByHitTests)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    HWND parent = guitest::CreateTestWindow("Calendar", 100, 100, 300, 260);
    HWND calendar = CreateWindowExA(0, MONTHCAL_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, 260, 200, parent, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(calendar, nullptr);
    RECT fit;
    if (SendMessageA(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&fit)))
        SetWindowPos(calendar, nullptr, 0, 0, fit.right, fit.bottom, SWP_NOZORDER | SWP_NOMOVE);
    RECT previous, next;
    ASSERT_TRUE(FindMonthCalNavButtons(calendar, &previous, &next));
    ASSERT_FALSE(IsRectEmpty(&previous));
    ASSERT_FALSE(IsRectEmpty(&next));
    EXPECT_LT(previous.right, next.left);
    auto hitAt = [&](const RECT& r) {
        MCHITTESTINFO info = {};
        info.cbSize = 32;
        info.pt.x = (r.left + r.right) / 2;
        info.pt.y = (r.top + r.bottom) / 2;
        SendMessageA(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
        return info.uHit;
    };
    EXPECT_EQ(hitAt(previous), UINT(MCHT_TITLEBTNPREV));
    EXPECT_EQ(hitAt(next), UINT(MCHT_TITLEBTNNEXT));
    DestroyWindow(parent);
}

}  // namespace
