// The frame of the library's own popup windows (the popup menu and the
// tooltip): the client area inside the nine frame parts, and the frame
// painted off screen put onto the window around its client area.
// Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_POPUP_MENU_FRAME_H
#define QUORBEL_SKIN_SKINNERS_SKIN_POPUP_MENU_FRAME_H

#include <windows.h>

class SkinPartsData;
class SkinWindowObject;

// WM_NCCALCSIZE: narrows the rectangle by the middle-left and
// middle-right part widths and the top-left (below insetTop) and
// bottom-left part heights.
void NarrowToFrameClient(RECT* rect, const SkinPartsData& parts, int insetTop);

// Copies the four strips around window's client area from frame (a
// picture of the whole window) to the window DC.
void CopyFrameStrips(HWND window, HDC windowDC, HDC frame);

// Clips a window DC and the picture of its frame to WM_NCPAINT's update
// region (screen coordinates; 1 or none for the whole window) while it
// lives.
class FrameUpdateClip {
public:
    FrameUpdateClip(HWND window, HRGN region, HDC windowDC, HDC frame);
    ~FrameUpdateClip();
    FrameUpdateClip(const FrameUpdateClip&) = delete;
    FrameUpdateClip& operator=(const FrameUpdateClip&) = delete;

private:
    HDC windowDC_;
    HDC frame_;
    HRGN clip_ = nullptr;
};

// WM_NCPAINT: the object's frame (DrawFrame, active or not) painted off
// screen and put around its window's client area.
void PaintFrameAround(SkinWindowObject& object, BOOL active);

// WM_NCCALCSIZE of a popup: NarrowToFrameClient below the popup's own top
// inset.
void NarrowPopupToFrameClient(SkinWindowObject& popup, RECT* rect, const SkinPartsData& parts);

// WM_NCPAINT of a popup: its parts laid out for the window's size, its
// window region made anew when that size changed, then PaintFrameAround.
void PaintPopupFrame(SkinWindowObject& popup, BOOL active);

#endif
