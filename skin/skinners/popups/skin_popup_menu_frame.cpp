#include "skin/skinners/popups/skin_popup_menu_frame.h"

#include <algorithm>

#include "skin/core/skin_data.h"
#include "skin/core/skin_window.h"
#include "skin/skinners/drawing/skin_memdc.h"

void NarrowToFrameClient(RECT* r, const SkinPartsData& parts, int insetTop)
{
    if (!r)
        return;
    r->left += parts.GetPartRect(kPartMiddleLeft).Width();
    r->right -= parts.GetPartRect(kPartMiddleRight).Width();
    r->top += insetTop + parts.GetPartRect(kPartTopLeft).Height();
    r->bottom -= parts.GetPartRect(kPartBottomLeft).Height();
    if (r->right < r->left)
        r->right = r->left;
    if (r->bottom < r->top)
        r->bottom = r->top;
}

void CopyFrameStrips(HWND window, HDC windowDC, HDC frame)
{
    RECT client, bounds;
    GetClientRect(window, &client);
    GetWindowRect(window, &bounds);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const int left = origin.x - bounds.left, top = origin.y - bounds.top;
    const int right = left + client.right, bottom = top + client.bottom;
    const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
    BitBlt(windowDC, 0, 0, w, top, frame, 0, 0, SRCCOPY);
    BitBlt(windowDC, 0, bottom, w, h - bottom, frame, 0, bottom, SRCCOPY);
    BitBlt(windowDC, 0, top, left, bottom - top, frame, 0, top, SRCCOPY);
    BitBlt(windowDC, right, top, w - right, bottom - top, frame, right, top, SRCCOPY);
}

void PaintFrameAround(SkinWindowObject& object, BOOL active)
{
    HWND window = object.GetWindow();
    RECT bounds;
    if (!GetWindowRect(window, &bounds))
        return;
    HDC dc = GetWindowDC(window);
    if (!dc)
        return;
    SkinMemDC memory(dc, std::max<int>(bounds.right - bounds.left, 1), std::max<int>(bounds.bottom - bounds.top, 1));
    object.DrawFrame(memory, active);
    CopyFrameStrips(window, dc, memory);
    ReleaseDC(window, dc);
}
