#include "skin/skinners/frames/skin_shaped.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

SkinWindowObject* MakeShapeWindow() { return new SkinShapeWindow(); }
SkinnerRegistrar g_registrar(SkinTopLevelRole::kShape, &MakeShapeWindow);

SkinShapeData* ShapeData(SkinDataObject* object) { return dynamic_cast<SkinShapeData*>(object); }

bool HasPicture(const SkinShapeData* shape)
{
    return shape && !SkinGdiUtil::IsImageRefEmpty(shape->backgroundImage);
}

}  // namespace

SkinShapeWindow::SkinShapeWindow() = default;

SkinShapeWindow::~SkinShapeWindow() = default;

BOOL SkinShapeWindow::Attach(HWND window)
{
    if (!window || !IsWindow(window))
        return FALSE;
    savedStyle_ = GetWindowLongA(window, GWL_STYLE);
    savedExStyle_ = GetWindowLongA(window, GWL_EXSTYLE);
    caption_ = (savedStyle_ & WS_CAPTION) == WS_CAPTION;
    // No caption or borders; the system menu and minimise box stay so that
    // the task bar can still restore and close the window.
    SetWindowLongA(window, GWL_STYLE, LONG((DWORD(savedStyle_) & 0xFF3AFFFF) | 0x000A0000));
    if (!SkinWindowObject::Attach(window)) {
        SetWindowLongA(window, GWL_STYLE, savedStyle_);
        return FALSE;
    }
    ApplyShape();
    return TRUE;
}

void SkinShapeWindow::Detach()
{
    HWND window = window_;
    const bool destroyed = destroyed_;
    if (window && !destroyed) {
        SetWindowLongA(window, GWL_STYLE, savedStyle_);
        SetWindowLongA(window, GWL_EXSTYLE, savedExStyle_);
    }
    SkinWindowObject::Detach();
    if (window && !destroyed && IsWindow(window))
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

SkinDataObject* SkinShapeWindow::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinWindowObject::BindSkinData(object);
    cache_.reset();
    if (window_)
        ApplyShape();
    return previous;
}

void SkinShapeWindow::BuildCache(int cx, int cy)
{
    cache_.reset();
    HDC windowDC = GetDC(window_);
    cache_.reset(new SkinMemDC(windowDC, std::max(1, cx), std::max(1, cy)));
    ReleaseDC(window_, windowDC);
    const RECT r = {0, 0, cx, cy};
    SkinGdiUtil::FillSolidRect(*cache_, r, GetSysColor(COLOR_BTNFACE));
    if (SkinShapeData* shape = ShapeData(GetSkinData()))
        SkinGdiUtil::DrawImageRef(*cache_, r, shape->backgroundImage, GetSysColor(COLOR_BTNFACE), TRUE);
}

void SkinShapeWindow::ApplyShape()
{
    SkinShapeData* shape = ShapeData(GetSkinData());
    if (!window_ || !HasPicture(shape))
        return;
    const int cx = shape->backgroundImage.source.Width();
    const int cy = shape->backgroundImage.source.Height();
    BuildCache(cx, cy);

    LONG exStyle = savedExStyle_ & ~WS_EX_TOOLWINDOW;
    if (!shape->taskBar)
        exStyle = WS_EX_TOOLWINDOW;  // kept off the task bar
    if (shape->alpha != 255)
        exStyle |= WS_EX_LAYERED;
    SetWindowLongA(window_, GWL_EXSTYLE, exStyle);
    SetWindowPos(window_, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOZORDER);
    ApplyWindowRegion(BuildRegion(), TRUE);
    if (shape->alpha != 255 && SkinLibHasLayeredAttributes())
        SkinLibSetLayeredAttributes(window_, shape->layeredKey, shape->alpha, LWA_COLORKEY | LWA_ALPHA);
}

HRGN SkinShapeWindow::BuildRegion()
{
    SkinShapeData* shape = ShapeData(GetSkinData());
    if (!window_ || !HasPicture(shape))
        return nullptr;
    const int cx = shape->backgroundImage.source.Width();
    const int cy = shape->backgroundImage.source.Height();
    const RECT r = {0, 0, cx, cy};
    HRGN region = nullptr;
    // The picture over the key colour: what stays key colour is outside.
    HDC windowDC = GetDC(window_);
    {
        SkinMemDC picture(windowDC, std::max(1, cx), std::max(1, cy));
        SkinGdiUtil::FillSolidRect(picture, r, keyColor_);
        SkinGdiUtil::DrawImageRef(picture, r, shape->backgroundImage, keyColor_, TRUE);
        HBITMAP bitmap = picture.DetachBitmap();
        region = SkinGdiUtil::RegionFromBitmap(bitmap, keyColor_);
        DeleteObject(bitmap);
    }
    ReleaseDC(window_, windowDC);
    if (!region)
        region = CreateRectRgnIndirect(&r);
    for (const auto& element : elements_)
        if (element->GetSkinType() == kSkinCaptionStatic) {
            element->Layout(r);
            element->CombineIntoRegion(region);
        }
    return region;
}

LRESULT SkinShapeWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND: {
        if (!GetSkinData())
            return SkinWindowObject::WindowProc(message, wParam, lParam);
        RECT client;
        GetClientRect(window_, &client);
        if (!cache_)
            BuildCache(client.right, client.bottom);
        HDC hdc = reinterpret_cast<HDC>(wParam);
        BitBlt(hdc, 0, 0, client.right, client.bottom, *cache_, 0, 0, SRCCOPY);
        DrawElements(hdc);
        return 1;
    }
    case WM_NCHITTEST: {
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(window_, &p);
        for (const auto& element : elements_)
            if (element->HitTest(p.x, p.y))
                return HTCLIENT;
        return caption_ ? HTCAPTION : HTCLIENT;
    }
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        if (MouseToElements(message, wParam, lParam))
            return 1;
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    case kSkinMsgChildBackground: {
        RECT client;
        GetClientRect(window_, &client);
        if (!cache_)
            BuildCache(client.right, client.bottom);
        PaintChildBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), *cache_);
        return 1;
    }
    default:
        return SkinWindowObject::WindowProc(message, wParam, lParam);
    }
}
