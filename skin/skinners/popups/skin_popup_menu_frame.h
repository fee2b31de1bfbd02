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

// WM_NCPAINT: the object's frame (DrawFrame, active or not) painted off
// screen and put around its window's client area.
void PaintFrameAround(SkinWindowObject& object, BOOL active);

#endif
