#include "skin/skinners/controls/skin_static.h"

#include <cstring>
#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/controls/skin_static_geometry.h"

namespace {

SkinWindowObject* MakeStatic(uint32_t type, SkinWindowObject* parent) { return new SkinStatic(parent, type); }
SkinnerRegistrar g_static(kSkinStatic, &MakeStatic);

const int kTextLimit = 1024;

bool IsBlank(const void* bytes, size_t size)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i)
        if (p[i])
            return false;
    return true;
}

}  // namespace

void SkinPaintOwnerBackground(HDC hdc, HWND owner, HWND control, const RECT& client)
{
    SkinGdiUtil::FillSolidRect(hdc, client, GetSysColor(COLOR_BTNFACE));
    if (owner)
        SendMessageA(owner, kSkinMsgChildBackground, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(control));
}

SkinStatic::SkinStatic(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

SkinStaticData* SkinStatic::Data() const { return dynamic_cast<SkinStaticData*>(GetSkinData()); }

BOOL SkinStatic::Attach(HWND window)
{
    if (!window || StaticIsRefused(uint32_t(GetWindowLongA(window, GWL_STYLE))))
        return FALSE;
    SkinStaticData* data = Data();
    const LONG ex = AddExStyleForSkin(window, data && data->transparent ? WS_EX_TRANSPARENT : 0);
    if (!SkinWindowBase::Attach(window)) {
        // Refused by the parent, or failed: the static stays as it was.
        SetWindowLongA(window, GWL_EXSTYLE, ex);
        addedExStyle_ = 0;
        return FALSE;
    }
    // The parent repaints what lies under a static that now draws itself.
    if (HWND parent = GetParent(window)) {
        RECT r;
        ::GetWindowRect(window, &r);
        SkinGdiUtil::ScreenToClientRect(parent, &r);
        InvalidateRect(parent, &r, TRUE);
        UpdateWindow(parent);
    }
    return TRUE;
}

void SkinStatic::DrawBackground(HDC hdc, const RECT& client)
{
    SkinStaticData* data = Data();
    if (!data || data->transparent)
        SkinPaintOwnerBackground(hdc, GetBackgroundOwner(), window_, client);
    else
        SkinGdiUtil::DrawLayoutImage(hdc, client, data->background, data->backColor, TRUE);
}

void SkinStatic::Draw(HDC hdc)
{
    RECT client;
    GetClientRect(window_, &client);
    const uint32_t style = uint32_t(GetWindowLongA(window_, GWL_STYLE));
    DrawBackground(hdc, client);
    switch (StaticContentOfStyle(style)) {
    case kStaticIcon: {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(window_, STM_GETICON, 0, 0));
        if (icon) {
            if (style & SS_CENTERIMAGE)
                DrawIconEx(hdc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
            else
                DrawIcon(hdc, 0, 0, icon);
        }
        return;
    }
    case kStaticBitmap: {
        HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageA(window_, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (!bitmap)
            return;
        HDC source = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(source, bitmap);
        BitBlt(hdc, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        return;
    }
    case kStaticText:
        break;
    }
    std::string text(kTextLimit + 1, '\0');
    const int length = GetWindowTextA(window_, &text[0], kTextLimit + 1);
    if (length <= 0)
        return;
    const UINT format = StaticTextFormat(style, uint32_t(GetWindowLongA(window_, GWL_EXSTYLE)));
    SkinStaticData* data = Data();
    SkinTextEffect effect = {};
    if (data && ((style & SS_EDITCONTROL) || IsWindowEnabled(window_))) {
        effect = data->effect;
    } else if (data && !IsBlank(data->tail, sizeof data->tail)) {
        // The disabled text style follows the text effect in the record.
        static_assert(sizeof data->tail == sizeof effect, "the disabled style is a text effect");
        std::memcpy(&effect, data->tail, sizeof effect);
    } else {
        SkinGdiUtil::PackColor24(effect.textColor, GetSysColor(IsWindowEnabled(window_) ? COLOR_WINDOWTEXT
                                                                                          : COLOR_GRAYTEXT));
    }
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    IntersectClipRect(hdc, client.left, client.top, client.right, client.bottom);
    SkinGdiUtil::DrawEffectText(hdc, effect, client, text.c_str(), length, format);
    RestoreDC(hdc, saved);
}

LRESULT SkinStatic::HiddenThenRepaint(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallHidden(message, wParam, lParam);
    if (window_) {
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }
    return result;
}

LRESULT SkinStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    switch (message) {
    case WM_ENABLE:
    case WM_SETTEXT:
        return HiddenThenRepaint(message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (dc)
            Draw(dc);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (StaticContentOfStyle(uint32_t(GetWindowLongA(window_, GWL_STYLE))) != kStaticText)
            return CallPrevious(message, wParam, lParam);
        RECT client;
        GetClientRect(window_, &client);
        DrawBackground(reinterpret_cast<HDC>(wParam), client);
        return 1;
    }
    default:
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    }
}
