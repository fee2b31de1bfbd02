#include "skin/richtext/gdi_canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Fonts taller than this are not made (GDI would rasterise huge glyphs).
constexpr int kMaxFontHeight = 1000;

COLORREF ToColorRef(RtColor c) { return COLORREF(c & 0xFFFFFF); }

RECT ToRect(const RtRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A bitmap or icon of the markup; ours to free unless it came as a handle.
class GdiImage : public RichTextImage {
public:
    GdiImage(HANDLE handle, bool icon, bool owned) : handle_(handle), icon_(icon), owned_(owned) {}
    ~GdiImage() override
    {
        if (!owned_)
            return;
        if (icon_)
            DestroyIcon(static_cast<HICON>(handle_));
        else
            DeleteObject(handle_);
    }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(handle_); }
    HICON Icon() const { return static_cast<HICON>(handle_); }

private:
    HANDLE handle_;
    bool icon_;
    bool owned_;
};

}  // namespace

GdiCanvas::GdiCanvas(HDC dc, const GdiCanvasResources& resources, RichTextGdi& gdi)
    : dc_(dc), resources_(resources), gdi_(gdi)
{
    oldFont_ = GetCurrentObject(dc_, OBJ_FONT);
    oldBkMode_ = GetBkMode(dc_);
    oldTextColor_ = GetTextColor(dc_);
    oldBkColor_ = GetBkColor(dc_);
    GetTextMetricsA(dc_, &metrics_);
}

GdiCanvas::~GdiCanvas()
{
    SetBkMode(dc_, oldBkMode_);
    SetBkColor(dc_, oldBkColor_);
    SetTextColor(dc_, oldTextColor_);
    SelectObject(dc_, oldFont_);
    if (font_)
        DeleteObject(font_);
}

std::string GdiCanvas::LoadFullString(HINSTANCE module, UINT id)
{
    if (id == 0)
        return std::string();
    // The block of sixteen strings that holds this one bounds its length.
    HRSRC block = FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!block)
        return std::string();
    const DWORD size = SizeofResource(module, block);
    if (size == 0)
        return std::string();
    std::vector<char> buffer(size_t(size) + 1, '\0');
    LoadStringA(module, id, buffer.data(), int(std::min<DWORD>(size, 0x7FFFFFFF)));
    return std::string(buffer.data());
}

int GdiCanvas::XHeight()
{
    if (xHeight_ < 0) {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc_, "x", 1, &size);
        xHeight_ = size.cy;
    }
    return xHeight_;
}

int GdiCanvas::PixelsPerInchY() { return GetDeviceCaps(dc_, LOGPIXELSY); }

void GdiCanvas::SelectStyle(const TextStyle& style)
{
    LOGFONTA lf = resources_.baseFont;
    lf.lfHeight = std::max(0, std::min(style.fontSize, kMaxFontHeight));
    lf.lfWeight = std::max(0, std::min(style.fontWeight, 1000));
    lf.lfItalic = BYTE(style.italic ? 1 : 0);
    lf.lfUnderline = BYTE(style.underline ? 1 : 0);
    lf.lfStrikeOut = BYTE(style.strikeOut ? 1 : 0);
    std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
    std::strncpy(lf.lfFaceName, style.fontFace.c_str(), sizeof(lf.lfFaceName) - 1);
    HFONT font = CreateFontIndirectA(&lf);
    if (font) {
        SelectObject(dc_, font);
        if (font_)
            DeleteObject(font_);
        font_ = font;
        xHeight_ = -1;
        GetTextMetricsA(dc_, &metrics_);
    }
    SetTextColor(dc_, ToColorRef(style.textColor));
    SetBkColor(dc_, ToColorRef(style.backgroundColor));
    SetBkMode(dc_, style.backgroundMode == kRtOpaque ? OPAQUE : TRANSPARENT);
}

RtSize GdiCanvas::TextExtent(const std::string& text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc_, text.data(), int(std::min<size_t>(text.size(), 0x7FFFFFFF)), &size);
    return {size.cx, size.cy};
}

std::unique_ptr<RichTextImage> GdiCanvas::OpenBitmap(const ImageAttributes& a)
{
    HANDLE handle = nullptr;
    bool owned = true;
    if (a.resourceId != 0) {
        handle = LoadImageA(resources_.module, MAKEINTRESOURCEA(a.resourceId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    } else if (!a.file.empty()) {
        handle = LoadImageA(nullptr, a.file.c_str(), IMAGE_BITMAP, 0, 0,
                            LR_CREATEDIBSECTION | LR_DEFAULTSIZE | LR_LOADFROMFILE);
    } else if (a.handle != 0) {
        handle = reinterpret_cast<HANDLE>(uintptr_t(a.handle));
        owned = false;
        if (GetObjectType(handle) != OBJ_BITMAP)
            return nullptr;
    }
    if (!handle)
        return nullptr;
    auto image = std::make_unique<GdiImage>(handle, false, owned);
    const SIZE size = RichTextGdi::GetBitmapSize(handle);
    image->width = size.cx;
    image->height = size.cy;
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    return image;
}

std::unique_ptr<RichTextImage> GdiCanvas::OpenIcon(const ImageAttributes& a, int width, int height)
{
    HANDLE handle = nullptr;
    bool owned = true;
    if (a.resourceId != 0) {
        handle = LoadImageA(resources_.module, MAKEINTRESOURCEA(a.resourceId), IMAGE_ICON, width, height,
                            LR_DEFAULTCOLOR);
    } else if (!a.file.empty()) {
        handle = LoadImageA(nullptr, a.file.c_str(), IMAGE_ICON, width, height, LR_LOADFROMFILE);
    } else if (a.handle != 0) {
        handle = reinterpret_cast<HANDLE>(uintptr_t(a.handle));
        owned = false;
        ICONINFO info;
        if (!GetIconInfo(static_cast<HICON>(handle), &info))
            return nullptr;
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
    }
    if (!handle)
        return nullptr;
    auto image = std::make_unique<GdiImage>(handle, true, owned);
    image->width = width;
    image->height = height;
    return image;
}

RtSize GdiCanvas::SystemIconSize() { return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}; }

bool GdiCanvas::ListIconSize(int index, RtSize* size)
{
    if (!resources_.imageList || index < 0 || index >= ImageList_GetImageCount(resources_.imageList))
        return false;
    *size = {resources_.listIconWidth, resources_.listIconHeight};
    return true;
}

void GdiCanvas::PaintText(int x, int y, const std::string& text)
{
    TextOutA(dc_, x, y, text.data(), int(std::min<size_t>(text.size(), 0x7FFFFFFF)));
}

void GdiCanvas::PaintLine(int x1, int y1, int x2, int y2, RtColor color, int width)
{
    gdi_.DrawRuleLine(dc_, x1, y1, x2, y2, ToColorRef(color), kRtBorderSolid, width);
}

void GdiCanvas::PaintBitmap(RichTextImage& bitmap, const RtRect& source, int x, int y, int width, int height,
                            const ImageAttributes& a, int style, bool shadowed)
{
    const ShadowSettings& s = resources_.shadow;
    HBITMAP whole = static_cast<GdiImage&>(bitmap).Bitmap();
    if (source.left == 0 && source.top == 0 && source.right == bitmap.width && source.bottom == bitmap.height) {
        gdi_.DrawImageWithEffects(dc_, x, y, width, height, whole, a.keyed, ToColorRef(a.keyColor), style, shadowed,
                                  s.offsetX, s.offsetY, s.blurWidth, s.blurHeight, ToColorRef(s.color));
        return;
    }
    // A cell of a strip: cut out first.
    HDC screen = GetDC(nullptr);
    HBITMAP cell = CreateCompatibleBitmap(screen, source.Width(), source.Height());
    ReleaseDC(nullptr, screen);
    if (!cell)
        return;
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, whole);
    HGDIOBJ oldTo = SelectObject(to, cell);
    BitBlt(to, 0, 0, source.Width(), source.Height(), from, source.left, source.top, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    gdi_.DrawImageWithEffects(dc_, x, y, width, height, cell, a.keyed, ToColorRef(a.keyColor), style, shadowed,
                              s.offsetX, s.offsetY, s.blurWidth, s.blurHeight, ToColorRef(s.color));
    DeleteObject(cell);
}

void GdiCanvas::PaintIcon(RichTextImage& icon, int x, int y, int width, int height, int style, bool shadowed)
{
    const ShadowSettings& s = resources_.shadow;
    gdi_.DrawIconWithEffects(dc_, x, y, width, height, static_cast<GdiImage&>(icon).Icon(), style, shadowed,
                             s.offsetX, s.offsetY, s.blurWidth, s.blurHeight, ToColorRef(s.color));
}

void GdiCanvas::PaintListIcon(int index, int x, int y, int width, int height, int style, bool shadowed)
{
    HICON icon = resources_.imageList ? ImageList_GetIcon(resources_.imageList, index, ILD_NORMAL) : nullptr;
    if (!icon)
        return;
    const ShadowSettings& s = resources_.shadow;
    gdi_.DrawIconWithEffects(dc_, x, y, width, height, icon, style, shadowed, s.offsetX, s.offsetY, s.blurWidth,
                             s.blurHeight, ToColorRef(s.color));
    DestroyIcon(icon);
}

void GdiCanvas::PaintBackground(const RtRect& rect, const TextStyle& style)
{
    gdi_.FillGradient(dc_, style.backgroundEffect, ToRect(rect), ToColorRef(style.backgroundColor),
                      ToColorRef(style.gradientMiddleColor), ToColorRef(style.gradientEndColor));
}

void GdiCanvas::PaintBorder(const RtRect& rect, const TextStyle& style, int penWidth)
{
    gdi_.DrawBorderBox(dc_, ToRect(rect), ToColorRef(style.borderColorLight), ToColorRef(style.borderColorDark),
                       style.borderStyle, penWidth);
}

void GdiCanvas::TileImage(RichTextImage& bitmap, const RtRect& rect)
{
    HDC source = CreateCompatibleDC(nullptr);
    if (!source)
        return;
    HGDIOBJ old = SelectObject(source, static_cast<GdiImage&>(bitmap).Bitmap());
    gdi_.TileBitmap(dc_, rect.left, rect.top, rect.Width(), rect.Height(), source, 0, 0, bitmap.width, bitmap.height);
    SelectObject(source, old);
    DeleteDC(source);
}
