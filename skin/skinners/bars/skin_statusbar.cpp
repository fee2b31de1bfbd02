#include "skin/skinners/bars/skin_statusbar.h"

#include <commctrl.h>

#include <string>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"

namespace {

SkinWindowObject* MakeStatusBar(uint32_t type, SkinWindowObject* parent) { return new SkinStatusBar(parent, type); }
SkinnerRegistrar g_statusBar(kSkinStatusBar, &MakeStatusBar);

}  // namespace

SkinStatusBar::SkinStatusBar(SkinWindowObject* parent, uint32_t kind)
    : SkinWindowBase(parent, kind), own_(new SkinStatusBarData())
{
}

SkinStatusBar::~SkinStatusBar() = default;

SkinStatusBarData* SkinStatusBar::Data() const { return dynamic_cast<SkinStatusBarData*>(GetSkinData()); }

BOOL SkinStatusBar::Attach(HWND window)
{
    if (!SkinWindowBase::Attach(window))
        return FALSE;
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_CLIPCHILDREN);
    return TRUE;
}

SkinDataObject* SkinStatusBar::BindSkinData(SkinDataObject* object)
{
    SkinDataObject* previous = SkinWindowBase::BindSkinData(object ? object : own_.get());
    if (window_ && Data() && Data()->autoSkinFont)
        ApplySkinFont(static_cast<HFONT>(Data()->GetFontHandle()), FALSE);
    return previous;
}

void SkinStatusBar::Draw(HDC hdc)
{
    SkinStatusBarData* data = Data();
    if (!data)
        data = own_.get();
    RECT client;
    GetClientRect(window_, &client);
    SkinGdiUtil::DrawLayoutImage(hdc, client, data->background, GetSysColor(COLOR_BTNFACE), TRUE);
    const int saved = SaveDC(hdc);
    if (HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetTextColor(hdc, data->font.color);
    SetBkMode(hdc, TRANSPARENT);
    const int parts = int(SendMessageA(window_, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts; ++i) {
        RECT r = {};
        if (!SendMessageA(window_, SB_GETRECT, i, reinterpret_cast<LPARAM>(&r)))
            continue;
        SkinGdiUtil::DrawLayoutImage(hdc, r, data->itemImage, GetSysColor(COLOR_BTNFACE), TRUE);
        r.left += data->itemImage.marginLeft;
        r.right -= data->itemImage.marginRight;
        const int length = LOWORD(SendMessageA(window_, SB_GETTEXTLENGTHA, i, 0));
        std::string text(size_t(length) + 1, '\0');
        SendMessageA(window_, SB_GETTEXTA, i, reinterpret_cast<LPARAM>(&text[0]));
        DrawTextA(hdc, text.c_str(), -1, &r, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
    }
    RestoreDC(hdc, saved);
}

LRESULT SkinStatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    if (message != WM_PAINT)
        return SkinWindowBase::WindowProc(message, wParam, lParam);
    HDC dc = GetDC(window_);
    RECT client;
    GetClientRect(window_, &client);
    if (dc && client.right > 0 && client.bottom > 0) {
        SkinMemDC memory(dc, client.right, client.bottom);
        ValidateRect(window_, nullptr);
        // The control paints (into the buffer) so that its own state
        // stays right; the skin's picture then replaces it.
        CallPrevious(WM_PAINT, reinterpret_cast<WPARAM>(memory.GetDC()), 0);
        Draw(memory);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    } else {
        ValidateRect(window_, nullptr);
    }
    if (dc)
        ReleaseDC(window_, dc);
    return 0;
}
