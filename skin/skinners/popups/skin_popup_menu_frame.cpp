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

FrameUpdateClip::FrameUpdateClip(HWND window, HRGN region, HDC windowDC, HDC frame)
    : windowDC_(windowDC), frame_(frame)
{
    if (reinterpret_cast<UINT_PTR>(region) <= 1)
        return;
    RECT bounds;
    ::GetWindowRect(window, &bounds);
    clip_ = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(clip_, region, nullptr, RGN_COPY);
    OffsetRgn(clip_, -bounds.left, -bounds.top);
    SelectClipRgn(windowDC_, clip_);
    SelectClipRgn(frame_, clip_);
}

FrameUpdateClip::~FrameUpdateClip()
{
    if (!clip_)
        return;
    SelectClipRgn(windowDC_, nullptr);
    SelectClipRgn(frame_, nullptr);
    DeleteObject(clip_);
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

void NarrowPopupToFrameClient(SkinWindowObject& popup, RECT* rect, const SkinPartsData& parts)
{
    RECT insets;
    popup.GetInsets(&insets);
    NarrowToFrameClient(rect, parts, insets.top);
}

void PaintPopupFrame(SkinWindowObject& popup, BOOL active)
{
    const RECT bounds = popup.GetWindowBounds();
    popup.LayoutParts(SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top});
    if (popup.SizeChanged()) {
        popup.SetLastSize(bounds);
        if (HRGN region = popup.BuildRegion())
            popup.ApplyWindowRegion(region, TRUE);
    }
    PaintFrameAround(popup, active);
}
