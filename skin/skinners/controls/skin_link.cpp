#include "skin/skinners/controls/skin_link.h"

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_manager.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/controls/skin_static.h"

namespace {

SkinWindowObject* MakeLink(uint32_t type, SkinWindowObject* parent) { return new SkinLink(parent, type); }
SkinnerRegistrar g_link(kSkinLinkWnd, &MakeLink);

}  // namespace

SkinLink::SkinLink(SkinWindowObject* parent, uint32_t kind) : SkinWindowBase(parent, kind) {}

void SkinLink::PaintBuffered()
{
    auto* data = dynamic_cast<SkinStaticData*>(GetSkinData());
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window_, &client);
    if (client.right > 0 && client.bottom > 0) {
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        SkinMemDC picture(dc, client.right, client.bottom);
        SkinGdiUtil::FillSolidRect(picture, client, window);
        CallPrevious(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.GetDC()), PRF_CLIENT);
        SkinMemDC composed(dc, client.right, client.bottom);
        if (!data || data->transparent)
            SkinPaintOwnerBackground(composed, GetBackgroundOwner(), window_, client);
        else
            SkinGdiUtil::DrawLayoutImage(composed, client, data->background, data->backColor, TRUE);
        SkinGdiUtil::TransparentStretchBlit(composed, 0, 0, client.right, client.bottom, picture, 0, 0,
                                            client.right, client.bottom, window);
        BitBlt(dc, 0, 0, client.right, client.bottom, composed, 0, 0, SRCCOPY);
    }
    EndPaint(window_, &ps);
}

LRESULT SkinLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previousProc_)
        return DefWindowProcA(window_, message, wParam, lParam);
    if (message == WM_PAINT) {
        if (!GetSkinData())
            return CallPrevious(message, wParam, lParam);
        PaintBuffered();
        return 1;
    }
    return SkinWindowBase::WindowProc(message, wParam, lParam);
}
