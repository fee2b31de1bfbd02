// The monitor under a window, point or rectangle (the nearest one), with
// the multiple-monitor functions looked up at run time: systems without
// them answer with the primary work area or the screen. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_MONITOR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_MONITOR_H

#include <windows.h>

// Each fills out with the nearest monitor's work area (work set) or full
// rectangle and returns GetMonitorInfo's result (the fallback's: TRUE).
BOOL GetMonitorRectOfWindow(HWND window, RECT* out, BOOL work);
BOOL GetMonitorRectOfPoint(int x, int y, RECT* out, BOOL work);
BOOL GetMonitorRectOfRect(const RECT& rect, RECT* out, BOOL work);

// Moves rect inside bounds, keeping its size.
void ClampRectIntoRect(const RECT& bounds, RECT* rect);

#endif
