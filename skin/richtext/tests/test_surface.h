// A 32-bit top-down DIB section in a memory DC for drawing tests: pixels
// read straight from memory, saved as PNG for looking at.
#ifndef QUORBEL_SKIN_RICHTEXT_TESTS_TEST_SURFACE_H
#define QUORBEL_SKIN_RICHTEXT_TESTS_TEST_SURFACE_H

#include <windows.h>

#include <cstdint>
#include <string>

#include "testing/gui/gui_test.h"

class TestSurface {
public:
    TestSurface(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width_(width), height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~TestSurface()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Fill(COLORREF c)
    {
        RECT r = {0, 0, width_, height_};
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc_, &r, b);
        DeleteObject(b);
        GdiFlush();
    }
    // COLORREF at (x, y); CLR_INVALID outside.
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return CLR_INVALID;
        GdiFlush();
        const uint32_t p = bits_[size_t(y) * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int CountInRow(int y, int x0, int x1, COLORREF c) const
    {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            n += At(x, y) == c;
        return n;
    }
    std::string Save(const std::string& name) const
    {
        GdiFlush();
        const std::string path = guitest::ScreenshotDir() + "/" + name + ".png";
        return guitest::WritePng(path, width_, height_, bits_) ? path : std::string();
    }

private:
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

#endif
