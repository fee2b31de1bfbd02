#include "skin/skinners/drawing/skin_gdi_util.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <commctrl.h>
#include <shellapi.h>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_image.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_package.h"
#include "skin/skinners/drawing/skin_draw_geometry.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/drawing/skin_monitor.h"

namespace {

SkinPopupMenuFactory g_popupFactory = nullptr;
int g_osClassOverride = -1;

SkinColor KeyColorOf(SkinPackage* skin)
{
    if (auto* app = dynamic_cast<SkinFileInfo*>(skin->FindObjectByType(kSkinApplication)))
        return app->keyColor;
    return 0xFF00FF;
}

SkinRect ToSkinRect(const RECT& r) { return MakeSkinRect(r.left, r.top, r.right, r.bottom); }
RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void DrawLayoutPieces(HDC hdc, const RECT& dest, const RECT& destMargins, const SkinLayoutImage& image,
                      COLORREF fallback, BOOL fill, bool withCentre, SkinPackage* skin)
{
    const SkinRect sourceMargins =
        MakeSkinRect(image.marginLeft, image.marginTop, image.marginRight, image.marginBottom);
    const uint32_t mode = withCentre ? image.layoutMode : (image.layoutMode == 8 ? 0 : image.layoutMode);
    for (const LayoutPiece& piece : LayoutImagePieces(ToSkinRect(dest), ToSkinRect(destMargins),
                                                      image.source, sourceMargins, mode, withCentre)) {
        SkinImageRef ref;
        std::memcpy(ref.name, image.name, sizeof ref.name);
        ref.source = piece.source;
        ref.drawMode = piece.stretch ? 2 : 1;
        if (piece.position == LayoutPiece::kCentre && image.layoutMode == 8) {
            ref.drawMode = 2;
            for (const SkinRect& strip : CentreStrips(piece.dest, piece.source.Width()))
                SkinGdiUtil::DrawImageRef(hdc, ToRect(strip), ref, fallback, fill, skin);
            continue;
        }
        SkinGdiUtil::DrawImageRef(hdc, ToRect(piece.dest), ref, fallback, fill, skin);
    }
}

}  // namespace

void RegisterPopupMenuFactory(SkinPopupMenuFactory factory) { g_popupFactory = factory; }

SkinPopupMenuWindow* CreatePopupMenuWindow(HWND owner, int mode)
{
    return g_popupFactory ? g_popupFactory(owner, mode) : nullptr;
}

// ---------------------------------------------------------------------------
// AccelTable

void AccelTable::Set(const ACCEL* entries, int count)
{
    entries_.assign(entries, entries + (count > 0 ? count : 0));
}

BOOL AccelTable::FindKey(WORD key, ACCEL* out) const
{
    auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
    for (const ACCEL& a : entries_) {
        if (a.key != key)
            continue;
        if ((a.fVirt & FSHIFT) && !down(VK_SHIFT))
            continue;
        if ((a.fVirt & FCONTROL) && !down(VK_CONTROL))
            continue;
        if ((a.fVirt & FALT) && !down(VK_MENU))
            continue;
        if (out)
            *out = a;
        return TRUE;
    }
    return FALSE;
}

namespace SkinGdiUtil {

// ---------------------------------------------------------------------------
// Geometry and tests

RECT* MakeRect(RECT* out, int left, int top, int right, int bottom)
{
    SetRect(out, left, top, right, bottom);
    return out;
}

void ScreenToClientRect(HWND window, RECT* rect)
{
    ScreenToClient(window, reinterpret_cast<POINT*>(&rect->left));
    ScreenToClient(window, reinterpret_cast<POINT*>(&rect->right));
}

void ClientToScreenRect(HWND window, RECT* rect)
{
    ClientToScreen(window, reinterpret_cast<POINT*>(&rect->left));
    ClientToScreen(window, reinterpret_cast<POINT*>(&rect->right));
}

BOOL IsSizableToolWindow(HWND window)
{
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
           (GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME);
}

BOOL IsImageRefEmpty(const SkinImageRef& ref) { return ::IsImageRefEmpty(ref); }

void PackColor24(uint8_t dest[3], COLORREF color) { PackSkinColor24(dest, color); }

COLORREF UnpackColor24(const uint8_t source[3]) { return UnpackSkinColor24(source); }

int GetOsClass()
{
    if (g_osClassOverride >= 0)
        return g_osClassOverride;
    const DWORD version = GetVersion();
    const bool windows9x = (version & 0x80000000u) != 0;
    uint32_t major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
    bool known = true;
    if (windows9x && major >= 4) {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        known = GetVersionExA(&info) != 0;
        if (known) {
            major = info.dwMajorVersion;
            minor = info.dwMinorVersion;
        }
    }
    return OsClassFromVersion(windows9x, major, minor, known);
}

void SetOsClassOverride(int cls) { g_osClassOverride = cls; }

// ---------------------------------------------------------------------------
// Painting

void MakeKeyTransparent(CSkinImage& image, COLORREF key)
{
    const SkinRgbQuad quad = SkinRgbQuad::FromColorRef(key);
    if (image.GetBpp() >= 24) {
        image.SetTransColor(quad);
        image.SetTransIndex(0);
        return;
    }
    const SkinRgbQuad* palette = image.GetPalette();
    const uint32_t entries = image.GetPaletteSize() / 4;
    for (uint32_t i = 0; palette && i < entries; ++i)
        if (palette[i].SameRgb(quad)) {
            image.SetTransIndex(int32_t(i));
            return;
        }
    // No entry holds the key: nothing drops out.
    image.SetTransIndex(-1);
}

void FillSolidRect(HDC hdc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

void DrawImageRef(HDC hdc, const RECT& dest, const SkinImageRef& ref, COLORREF fallback, BOOL fill,
                  SkinPackage* skin)
{
    auto fillFallback = [&] {
        if (fill)
            FillSolidRect(hdc, dest, fallback);
    };
    if (ref.source.IsEmpty()) {
        fillFallback();
        return;
    }
    // A skin loaded by another thread meanwhile frees this one only after.
    const SkinManager::PinnedSkin current;
    if (!skin)
        skin = current.get();
    CSkinImage* image = skin->FindImage(ref.name);
    if (!image) {
        fillFallback();
        return;
    }
    const int destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
    CSkinImage part;
    if (ref.drawMode != 0) {
        if (!image->Crop(ref.source.left, ref.source.top, ref.source.right, ref.source.bottom, &part)) {
            fillFallback();
            return;
        }
        if (ref.drawMode == 1) {
            SkinGdiUtil::MakeKeyTransparent(part, KeyColorOf(skin));
            part.Tile(hdc, &dest);
        } else {
            part.StretchOpaque(hdc, dest.left, dest.top, destWidth, destHeight);
        }
        return;
    }
    // Natural size: the part's top-left corner, never larger than dest.
    const int width = std::min(destWidth, int(ref.source.Width()));
    const int height = std::min(destHeight, int(ref.source.Height()));
    if (width <= 0 || height <= 0 ||
        !image->Crop(ref.source.left, ref.source.top, ref.source.left + width, ref.source.top + height,
                     &part)) {
        fillFallback();
        return;
    }
    SkinGdiUtil::MakeKeyTransparent(part, KeyColorOf(skin));
    part.Draw(hdc, dest.left, dest.top);
}

void DrawLayoutImage(HDC hdc, const RECT& dest, const SkinLayoutImage& image, COLORREF fallback, BOOL fill,
                     SkinPackage* skin)
{
    const RECT margins = {image.marginLeft, image.marginTop, image.marginRight, image.marginBottom};
    DrawLayoutPieces(hdc, dest, margins, image, fallback, fill, true, skin);
}

void DrawLayoutBorder(HDC hdc, const RECT& dest, const SkinLayoutImage& image, COLORREF fallback, BOOL fill,
                      SkinPackage* skin)
{
    const RECT margins = {image.marginLeft, image.marginTop, image.marginRight, image.marginBottom};
    DrawLayoutPieces(hdc, dest, margins, image, fallback, fill, false, skin);
}

void DrawLayoutBorderSized(HDC hdc, const RECT& dest, const RECT& borders, const SkinLayoutImage& image,
                           COLORREF fallback, BOOL fill, SkinPackage* skin)
{
    DrawLayoutPieces(hdc, dest, borders, image, fallback, fill, false, skin);
}

void DrawLayoutImageKeyed(HDC hdc, const RECT& dest, const SkinLayoutImage& image, COLORREF key,
                          SkinPackage* skin)
{
    const int width = dest.right - dest.left, height = dest.bottom - dest.top;
    if (width <= 0 || height <= 0)
        return;
    SkinMemDC memory(hdc, width, height);
    if (!memory.IsValid())
        return;
    const RECT local = {0, 0, width, height};
    DrawLayoutImage(memory, local, image, key, TRUE, skin);
    HBITMAP bitmap = memory.DetachBitmap();
    TransparentBlitBitmap(hdc, dest.left, dest.top, width, height, bitmap, 0, 0, key);
    DeleteObject(bitmap);
}

void TransparentBlitBitmap(HDC hdc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX,
                           int sourceY, COLORREF key, HPALETTE palette)
{
    if (!hdc || !bitmap || width <= 0 || height <= 0)
        return;
    // Palette devices: the palette goes in first so that the key matches.
    HPALETTE oldPalette = nullptr;
    if (palette && (GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE)) {
        oldPalette = SelectPalette(hdc, palette, FALSE);
        RealizePalette(hdc);
    }
    HDC source = CreateCompatibleDC(hdc);
    HGDIOBJ oldSource = SelectObject(source, bitmap);
    TransparentStretchBlit(hdc, x, y, width, height, source, sourceX, sourceY, width, height, key);
    SelectObject(source, oldSource);
    DeleteDC(source);
    if (oldPalette)
        SelectPalette(hdc, oldPalette, FALSE);
}

void TransparentStretchBlit(HDC hdc, int x, int y, int width, int height, HDC source, int sourceX,
                            int sourceY, int sourceWidth, int sourceHeight, COLORREF key)
{
    if (!hdc || !source || width <= 0 || height <= 0)
        return;
    // A copy of the source part at the destination size.
    HDC copy = CreateCompatibleDC(hdc);
    HBITMAP copyBitmap = CreateCompatibleBitmap(hdc, width, height);
    HGDIOBJ oldCopy = SelectObject(copy, copyBitmap);
    if (width == sourceWidth && height == sourceHeight) {
        BitBlt(copy, 0, 0, width, height, source, sourceX, sourceY, SRCCOPY);
    } else {
        SetStretchBltMode(copy, COLORONCOLOR);
        StretchBlt(copy, 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
    }
    // Mask: 1 where the copy has the key colour.
    HDC mask = CreateCompatibleDC(hdc);
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ oldMask = SelectObject(mask, maskBitmap);
    SetBkColor(copy, key);
    BitBlt(mask, 0, 0, width, height, copy, 0, 0, SRCCOPY);
    // Key pixels of the copy turn black ...
    SetBkColor(copy, RGB(0, 0, 0));
    SetTextColor(copy, RGB(255, 255, 255));
    BitBlt(copy, 0, 0, width, height, mask, 0, 0, SRCAND);
    // ... the destination is cleared where the image goes, then painted.
    const COLORREF oldBack = SetBkColor(hdc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
    BitBlt(hdc, x, y, width, height, mask, 0, 0, SRCAND);
    BitBlt(hdc, x, y, width, height, copy, 0, 0, SRCPAINT);
    SetBkColor(hdc, oldBack);
    SetTextColor(hdc, oldText);

    SelectObject(mask, oldMask);
    DeleteObject(maskBitmap);
    DeleteDC(mask);
    SelectObject(copy, oldCopy);
    DeleteObject(copyBitmap);
    DeleteDC(copy);
}

void DrawBitmapKeyed(HDC hdc, HBITMAP bitmap, const RECT& rect, COLORREF key)
{
    CSkinImage image;
    if (!image.CreateFromHBITMAP(bitmap))
        return;
    image.SetTransIndex(0);
    image.SetTransColor(SkinRgbQuad::FromColorRef(key));
    image.Stretch(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void DrawImageKeyed(HDC hdc, const CSkinImage& image, const RECT& rect, COLORREF key)
{
    HBITMAP bitmap = image.MakeBitmap(hdc);
    if (!bitmap)
        return;
    const int width = std::min(int(image.GetWidth()), int(rect.right - rect.left));
    const int height = std::min(int(image.GetHeight()), int(rect.bottom - rect.top));
    TransparentBlitBitmap(hdc, rect.left, rect.top, width, height, bitmap, 0, 0, key);
    DeleteObject(bitmap);
}

void DrawTriangle(HDC hdc, const POINT points[3], COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ old = SelectObject(hdc, brush);
    Polygon(hdc, points, 3);
    SelectObject(hdc, old);
    DeleteObject(brush);
}

void DrawWindowIcon(HWND window, HDC hdc, POINT at)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM));
    HICON extracted = nullptr;
    if (!icon) {
        char path[1024] = {};
        HMODULE module = reinterpret_cast<HMODULE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
        if (GetModuleFileNameA(module, path, sizeof path - 1) &&
            ExtractIconExA(path, 0, nullptr, &extracted, 1) && extracted)
            icon = extracted;
    }
    if (icon)
        DrawIconEx(hdc, at.x, at.y, icon, 16, 16, 0, nullptr, DI_NORMAL);
    if (extracted)
        DestroyIcon(extracted);
}

void DrawShadowText(HDC hdc, const RECT& rect, uint32_t offsets, uint32_t flags, COLORREF shadow,
                    COLORREF color, const char* text, int length, UINT format)
{
    if (!text)
        return;
    const int saved = SaveDC(hdc);
    SetBkMode(hdc, TRANSPARENT);
    if (flags & 1) {
        RECT moved = rect;
        OffsetRect(&moved, int8_t(offsets & 0xFF), int8_t((offsets >> 8) & 0xFF));
        SetTextColor(hdc, shadow);
        DrawTextA(hdc, text, length, &moved, format);
    }
    RECT r = rect;
    SetTextColor(hdc, color);
    DrawTextA(hdc, text, length, &r, format);
    RestoreDC(hdc, saved);
}

void DrawEffectText(HDC hdc, const SkinTextEffect& effect, const RECT& rect, const char* text, int length,
                    UINT format)
{
    DrawShadowText(hdc, rect, effect.shadowOffset, effect.flags, UnpackColor24(effect.shadowColor),
                   UnpackColor24(effect.textColor), text, length, format);
}

// ---------------------------------------------------------------------------
// Regions

HRGN TransformRegion(HRGN region, float xScale, float yScale, int dx, int dy)
{
    if (!region)
        return nullptr;
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (!size)
        return nullptr;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer)
        return nullptr;
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.get());
    if (!GetRegionData(region, size, data))
        return nullptr;
    XFORM xform = {};
    xform.eM11 = xScale;
    xform.eM22 = yScale;
    HRGN result = ExtCreateRegion(&xform, size, data);
    if (result)
        OffsetRgn(result, dx, dy);
    return result;
}

namespace {

// Rectangles a tiled region may be built of (the source's times the
// tiles); past that, the holes are too fine to matter and the whole
// destination stands for them.
const uint64_t kMaxTiledRects = 65536;

uint64_t RegionRectCount(HRGN region)
{
    const DWORD size = GetRegionData(region, 0, nullptr);
    return size > sizeof(RGNDATAHEADER) ? (size - sizeof(RGNDATAHEADER)) / sizeof(RECT) : 0;
}

// Unites the region with copies of itself moved by step, 2 x step, ...
// along one axis until the copies cover length: a few operations however
// many tiles there are.
void RepeatAlong(HRGN region, HRGN scratch, int64_t step, int64_t length, bool across)
{
    for (int64_t covered = step; covered < length; covered *= 2) {
        CombineRgn(scratch, region, nullptr, RGN_COPY);
        OffsetRgn(scratch, across ? int(covered) : 0, across ? 0 : int(covered));
        CombineRgn(region, region, scratch, RGN_OR);
    }
}

}  // namespace

HRGN TileRegion(HRGN source, int stepX, int stepY, const RECT& dest)
{
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    if (!source || !result)
        return result;
    const int64_t width = int64_t(dest.right) - dest.left, height = int64_t(dest.bottom) - dest.top;
    if (stepX > 0 && stepY > 0) {
        if (width <= 0 || height <= 0)
            return result;
        const uint64_t tiles = uint64_t((width + stepX - 1) / stepX) * uint64_t((height + stepY - 1) / stepY);
        if (RegionRectCount(source) * tiles > kMaxTiledRects) {
            SetRectRgn(result, dest.left, dest.top, dest.right, dest.bottom);
            return result;
        }
        // One row of tiles, then that row repeated down.
        HRGN scratch = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(result, source, nullptr, RGN_COPY);
        RepeatAlong(result, scratch, stepX, width, true);
        RepeatAlong(result, scratch, stepY, height, false);
        DeleteObject(scratch);
        OffsetRgn(result, dest.left, dest.top);
    } else {
        // No step to repeat by: the source once, at the corner.
        CombineRgn(result, source, nullptr, RGN_COPY);
        OffsetRgn(result, dest.left, dest.top);
    }
    HRGN clip = CreateRectRgnIndirect(&dest);
    CombineRgn(result, result, clip, RGN_AND);
    DeleteObject(clip);
    return result;
}

HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key)
{
    if (!bitmap)
        return nullptr;
    HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (!ic)
        return nullptr;
    // The bitmap's own format, with room for a 256-entry colour table.
    std::vector<char> infoBuffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(infoBuffer.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    HRGN region = nullptr;
    if (GetDIBits(ic, bitmap, 0, 0, nullptr, info, DIB_RGB_COLORS)) {
        BITMAPINFOHEADER& h = info->bmiHeader;
        const int width = h.biWidth, height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
        const int bpp = h.biBitCount;
        const bool known = bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
        if (!known) {
            // Other depths are read as 24-bit rows.
            h.biBitCount = 24;
        }
        // 16-bit rows come as GDI defines plain 16-bit DIBs (5-5-5), the
        // packing the key is compared in.
        h.biCompression = BI_RGB;
        h.biHeight = height;  // bottom-up rows
        const int rowBits = width * h.biBitCount;
        const size_t stride = size_t(((rowBits + 31) / 32) * 4);
        std::vector<uint8_t> bits(stride * size_t(height));
        if (width > 0 && height > 0 &&
            GetDIBits(ic, bitmap, 0, UINT(height), bits.data(), info, DIB_RGB_COLORS)) {
            const uint8_t r = GetRValue(key), g = GetGValue(key), b = GetBValue(key);
            const uint32_t key24 = b | (uint32_t(g) << 8) | (uint32_t(r) << 16);  // as pixels read
            const uint16_t key16 = uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
            auto isKey = [&](const uint8_t* row, int x) -> bool {
                switch (h.biBitCount) {
                case 8: {
                    const RGBQUAD& c = info->bmiColors[row[x]];
                    return c.rgbRed == r && c.rgbGreen == g && c.rgbBlue == b;
                }
                case 16: {
                    uint16_t v;
                    std::memcpy(&v, row + 2 * x, 2);
                    return v == key16;
                }
                case 24: {
                    const uint8_t* p = row + 3 * x;
                    return (p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16)) == key24;
                }
                default: {
                    uint32_t v;
                    std::memcpy(&v, row + 4 * x, 4);
                    return (v & 0xFFFFFF) == key24;
                }
                }
            };
            std::vector<RECT> rects;
            rects.reserve(size_t(height));
            for (int y = 0; y < height; ++y) {
                const uint8_t* row = bits.data() + stride * size_t(height - 1 - y);  // top row first
                int x = 0;
                while (x < width) {
                    while (x < width && isKey(row, x))
                        ++x;
                    const int start = x;
                    while (x < width && !isKey(row, x))
                        ++x;
                    if (x > start) {
                        if (rects.size() == rects.capacity())
                            rects.reserve(rects.size() + 40);
                        rects.push_back(RECT{start, y, x, y + 1});
                    }
                }
            }
            std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
            RGNDATA* rgn = reinterpret_cast<RGNDATA*>(data.data());
            rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
            rgn->rdh.iType = RDH_RECTANGLES;
            rgn->rdh.nCount = DWORD(rects.size());
            rgn->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
            SetRect(&rgn->rdh.rcBound, 0, 0, width, height);
            if (!rects.empty())
                std::memcpy(rgn->Buffer, rects.data(), rects.size() * sizeof(RECT));
            region = ExtCreateRegion(nullptr, DWORD(data.size()), rgn);
        }
    }
    DeleteDC(ic);
    return region;
}

// ---------------------------------------------------------------------------
// Menus

const char* GetMenuItemText(HMENU menu, UINT item, BOOL byPosition)
{
    // Each thread its own buffer: menus are read on any thread.
    thread_local char text[400];
    std::memset(text, 0, sizeof text);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    GetMenuItemInfoA(menu, item, byPosition, &info);
    return text;
}

namespace {

BOOL CopyMenuLevel(HMENU source, HMENU dest, int depth)
{
    if (depth > 32)  // menus do not nest deeper; a cycle would never end
        return FALSE;
    const int count = GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        char text[401] = {};
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_DATA | MIIM_STRING | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(source, UINT(i), TRUE, &info))
            continue;
        if (info.hSubMenu) {
            HMENU sub = CreatePopupMenu();
            CopyMenuLevel(info.hSubMenu, sub, depth + 1);
            info.hSubMenu = sub;
        }
        info.dwTypeData = text;
        info.cch = UINT(std::strlen(text));
        InsertMenuItemA(dest, UINT(i), TRUE, &info);
    }
    return TRUE;
}

}  // namespace

BOOL CopyMenu(HMENU source, HMENU dest)
{
    if (!source || !dest)
        return FALSE;
    CopyMenuLevel(source, dest, 0);
    return TRUE;
}

RECT WorkAreaAt(POINT point)
{
    RECT area = {};
    GetMonitorRectOfPoint(point.x, point.y, &area, TRUE);
    return area;
}

namespace {

// Whether window is one of the submenus open under popup: each is owned by
// the popup it opened from.
bool IsSubmenuOf(HWND window, HWND popup)
{
    for (HWND w = window ? ::GetWindow(window, GW_OWNER) : nullptr; w; w = ::GetWindow(w, GW_OWNER))
        if (w == popup)
            return true;
    return false;
}

}  // namespace

int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner, BOOL systemMenu)
{
    if (!menu)
        return 0;
    if (!g_popupFactory)
        return ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
    const int mode = systemMenu ? 1 : (flags & TPM_RETURNCMD) ? 3 : 2;
    std::unique_ptr<SkinPopupMenuWindow> popup(g_popupFactory(owner, mode));
    if (!popup)
        return 0;
    SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), systemMenu ? 0x10000 : 0);
    if (!popup->Create())
        return 0;
    popup->AttachMenu(menu);
    // The popup window is rebound when another skin comes (its own window).
    if (SkinDataObject* object = SkinManager::PinnedSkin()->FindObjectByType(kSkinPopupMenu))
        popup->BindSkin(object);

    const SIZE size = popup->GetMenuSize();
    const RECT area = WorkAreaAt(POINT{x, y});
    const SkinRect placed = PlacePopupMenu(x, y, size.cx, size.cy, flags, ToSkinRect(area));
    MoveWindow(popup->GetWindow(), placed.left, placed.top, placed.Width(), placed.Height(), TRUE);
    ShowWindow(popup->GetWindow(), SW_SHOW);

    int result = 1;
    MSG msg;
    while (!popup->IsClosed()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT ends the menu and is left for the program's own loop.
            if (got == 0)
                PostQuitMessage(int(msg.wParam));
            result = 0;
            break;
        }
        if (systemMenu && (msg.message == WM_NCLBUTTONDOWN || msg.message == WM_NCLBUTTONDBLCLK)) {
            popup->Close();
            DispatchMessageA(&msg);
            return 0;
        }
        // Escape ends the menu at the top level; a submenu closes by itself.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && !IsSubmenuOf(msg.hwnd, popup->GetWindow())) {
            result = 0;
            break;
        }
        DispatchMessageA(&msg);
        if (msg.message == kSkinMsgMenuEnded)
            break;
    }
    if (mode == 3 && result != 0)
        result = int(popup->GetChosenCommand());
    popup->Close();
    return result;
}

int TrackSystemMenu(HWND window)
{
    HMENU system = GetSystemMenu(window, FALSE);
    if (!system)
        return 0;
    HMENU copy = CreatePopupMenu();
    CopyMenu(system, copy);
    const bool zoomed = IsZoomed(window) != 0, iconic = IsIconic(window) != 0;
    const UINT on = MF_BYCOMMAND | MF_ENABLED, off = MF_BYCOMMAND | MF_GRAYED;
    EnableMenuItem(copy, SC_RESTORE, (zoomed || iconic) ? on : off);
    EnableMenuItem(copy, SC_SIZE, (zoomed || iconic) ? off : on);
    EnableMenuItem(copy, SC_MOVE, (zoomed || iconic) ? off : on);
    if (iconic)
        EnableMenuItem(copy, SC_MINIMIZE, off);
    if (zoomed)
        EnableMenuItem(copy, SC_MAXIMIZE, off);
    POINT cursor = {};
    GetCursorPos(&cursor);
    const int result = TrackPopupMenu(copy, 0, cursor.x + 2, cursor.y, window, TRUE);
    DestroyMenu(copy);
    return result;
}

// ---------------------------------------------------------------------------
// Files and resources

BOOL ResourceToFile(const char* path, HMODULE module, const char* name, const char* type)
{
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return FALSE;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return FALSE;
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    if (!bytes || !path)
        return FALSE;
    FILE* file = std::fopen(path, "w+b");
    if (!file)
        return FALSE;
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

BOOL MakeTempFileName(char* out, size_t outSize, const char* name, const char* fallbackFolder,
                      const char* extension)
{
    if (!out || outSize < MAX_PATH || !name)
        return FALSE;
    char folder[MAX_PATH] = {};
    if (!GetTempPathA(sizeof folder, folder))
        std::snprintf(folder, sizeof folder, "%s", fallbackFolder ? fallbackFolder : "");
    const bool withExtension = extension && *extension;
    // GetTempFileName reserves the bare name it makes by creating it; a
    // name with an extension is reserved the same way, as a file of its
    // own, and the bare one goes. A taken extended name is passed over:
    // its bare name is held meanwhile so that the next one differs.
    std::vector<std::string> passed;
    bool made = false;
    for (int tries = 0; tries < 64 && !made; ++tries) {
        char bare[MAX_PATH] = {};
        if (!GetTempFileNameA(folder, "SM", 0, bare))
            break;
        if (!withExtension) {
            std::snprintf(out, outSize, "%s", bare);
            made = true;
            break;
        }
        char full[MAX_PATH] = {};
        const int length = std::snprintf(full, sizeof full, "%s.%s", bare, extension);
        HANDLE file = length > 0 && size_t(length) < sizeof full
                          ? CreateFileA(full, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
                          : INVALID_HANDLE_VALUE;
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            DeleteFileA(bare);
            std::snprintf(out, outSize, "%s", full);
            made = true;
        } else {
            passed.push_back(bare);
        }
    }
    for (const std::string& bare : passed)
        DeleteFileA(bare.c_str());
    if (made)
        return TRUE;
    const size_t len = std::strlen(folder);
    const bool slash = len && folder[len - 1] == '\\';
    std::snprintf(out, outSize, slash ? "%s%s" : "%s\\%s", folder, name);
    if (withExtension) {
        const size_t used = std::strlen(out);
        std::snprintf(out + used, outSize - used, ".%s", extension);
    }
    return TRUE;
}

BOOL FindMonthCalNavButtons(HWND monthCal, RECT* previous, RECT* next)
{
    if (previous)
        SetRectEmpty(previous);
    if (next)
        SetRectEmpty(next);
    RECT client;
    if (!GetClientRect(monthCal, &client))
        return FALSE;
    const int halfHeight = client.bottom / 2, halfWidth = client.right / 2;
    auto hit = [&](int x, int y) -> UINT {
        MCHITTESTINFO info = {};
        info.cbSize = 32;  // the first version of the record
        info.pt.x = x;
        info.pt.y = y;
        SendMessageA(monthCal, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
        return info.uHit;
    };
    // Rows from the top; columns from `from` towards `to`.
    auto scan = [&](UINT code, int from, int to, RECT* out) {
        if (!out)
            return;
        const int step = from <= to ? 1 : -1;
        bool found = false;
        RECT r = {};
        int lo = from, hi = to;  // the columns scanned, narrowed after the first hit row
        for (int y = 0; y < halfHeight; ++y) {
            bool rowHit = false;
            for (int x = lo; step > 0 ? x <= hi : x >= hi; x += step) {
                if (hit(x, y) != code)
                    continue;
                if (!found) {
                    SetRect(&r, x, y, x + 1, y + 1);
                    found = true;
                } else {
                    r.left = std::min<LONG>(r.left, x);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
                rowHit = true;
            }
            if (found && !rowHit)
                break;
            if (found) {
                lo = step > 0 ? r.left : r.right - 1;
                hi = step > 0 ? r.right - 1 : r.left;
            }
        }
        if (found) {
            InflateRect(&r, 2, 2);
            *out = r;
        }
    };
    scan(MCHT_TITLEBTNPREV, 0, halfWidth - 1, previous);
    scan(MCHT_TITLEBTNNEXT, client.right - 1, halfWidth, next);
    return TRUE;
}

}  // namespace SkinGdiUtil

// ---------------------------------------------------------------------------
// SkinMemDC

SkinMemDC::SkinMemDC(HDC hdc, int cx, int cy) : cx_(cx), cy_(cy)
{
    dc_ = CreateCompatibleDC(hdc);
    bitmap_ = CreateCompatibleBitmap(hdc, cx > 0 ? cx : 1, cy > 0 ? cy : 1);
    if (dc_ && bitmap_)
        oldBitmap_ = SelectObject(dc_, bitmap_);
}

SkinMemDC::~SkinMemDC()
{
    if (dc_ && oldBitmap_)
        SelectObject(dc_, oldBitmap_);
    if (bitmap_)
        DeleteObject(bitmap_);
    if (dc_)
        DeleteDC(dc_);
}

HBITMAP SkinMemDC::DetachBitmap()
{
    if (dc_ && oldBitmap_)
        SelectObject(dc_, oldBitmap_);
    if (dc_)
        DeleteDC(dc_);
    dc_ = nullptr;
    oldBitmap_ = nullptr;
    HBITMAP bitmap = bitmap_;
    bitmap_ = nullptr;
    return bitmap;
}
