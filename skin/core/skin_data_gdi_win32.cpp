// Windows builds: system colours and GDI objects for the skin data classes.
#include "skin/core/skin_data_gdi.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "skin/core/skin_image.h"

static_assert(sizeof(LOGFONTA) == sizeof(SkinLogFont), "font record holds a LOGFONTA");

namespace {

// Runs a keyed part may have before its region becomes its bounding
// rectangle: far more than a drawn outline has (two or three per row).
const size_t kMaxRegionRects = 65536;

class Win32Gdi : public SkinGdiBackend {
public:
    SkinColor SysColor(int index) override { return GetSysColor(index); }

    SkinGdiHandle MakeFont(const SkinLogFont& font) override
    {
        LOGFONTA lf;
        std::memcpy(&lf, &font, sizeof lf);
        return CreateFontIndirectA(&lf);
    }


    // One rectangle of height 1 per run of non-key pixels, rows from the
    // top. A part cut into more runs than any real outline needs (a
    // hostile checkerboard would make millions) gets the bounding
    // rectangle of its non-key pixels instead, so the work stays bounded.
    SkinGdiHandle MakeKeyRegion(const CSkinImage& image, SkinColor key) override
    {
        if (!image.IsValid())
            return nullptr;
        const int32_t w = image.GetWidth(), h = image.GetHeight();
        const SkinRgbQuad keyQuad = SkinRgbQuad::FromColorRef(key);
        std::vector<RECT> rects;
        bool bounded = false;
        RECT box = {w, h, 0, 0};
        for (int32_t row = 0; row < h; ++row) {
            const int32_t y = h - 1 - row;  // the image counts rows from the bottom
            int32_t x = 0;
            while (x < w) {
                while (x < w && image.GetPixelColor(x, y).SameRgb(keyQuad))
                    ++x;
                const int32_t start = x;
                while (x < w && !image.GetPixelColor(x, y).SameRgb(keyQuad))
                    ++x;
                if (x == start)
                    continue;
                box = RECT{std::min<LONG>(box.left, start), std::min<LONG>(box.top, row),
                           std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, row + 1)};
                if (!bounded && rects.size() == kMaxRegionRects) {
                    bounded = true;
                    std::vector<RECT>().swap(rects);
                }
                if (!bounded)
                    rects.push_back(RECT{start, row, x, row + 1});
            }
        }
        if (bounded)
            return CreateRectRgn(box.left, box.top, box.right, box.bottom);
        std::vector<unsigned char> buf(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
        RGNDATA* data = reinterpret_cast<RGNDATA*>(buf.data());
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = DWORD(rects.size());
        data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
        SetRect(&data->rdh.rcBound, 0, 0, w, h);
        if (!rects.empty())
            std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
        return ExtCreateRegion(nullptr, DWORD(buf.size()), data);
    }

    void DeleteHandle(SkinGdiHandle handle) override
    {
        if (handle)
            DeleteObject(static_cast<HGDIOBJ>(handle));
    }
};

Win32Gdi g_win32Gdi;
SkinGdiBackend* g_backend = nullptr;

}  // namespace

SkinGdiBackend& SkinGdi() { return g_backend ? *g_backend : g_win32Gdi; }

void SetSkinGdi(SkinGdiBackend* backend) { g_backend = backend; }
