// CustomSB: skinned non-client scroll bars. A window given them by
// CustomSB_Initialize keeps its WS_HSCROLL / WS_VSCROLL style, but the
// bars are laid out, hit-tested, painted and operated here (the subclass
// NcScrollBarSkin::WindowProc), from the skin's ScrollBar object when the
// loaded skin has one. The scroll functions below answer for such windows
// as USER32's do; for any other window they are USER32's own (the
// scroll-bar redirection sends the process's USER32 calls here).
//
// Bars: SB_HORZ 0, SB_VERT 1, SB_BOTH 3. Sizes: a value >= 0 is pixels,
// -n is n times the system's scroll-bar metric. Styles: 0 normal, 1 flat,
// 2 flat and hot-tracked. Windows only.
#ifndef QUORBEL_SKIN_SKINNERS_SKIN_SCROLLBAR_H
#define QUORBEL_SKIN_SKINNERS_SKIN_SCROLLBAR_H

#include <windows.h>

// The window property that holds a window's scroll-bar state.
constexpr const char* kCustomSBProperty = "CustomSBSubclassPtr";

typedef BOOL(WINAPI* CustomSBEnableProc)(HWND window, UINT bar, UINT arrows);

BOOL CustomSB_Initialize(HWND window);
// S_OK, or E_FAIL for a window without skinned bars.
HRESULT CustomSB_Uninitialize(HWND window);
BOOL CustomSB_IsInitialized(HWND window);

BOOL CustomSB_EnableScrollBar(HWND window, UINT bar, UINT arrows);
BOOL CustomSB_GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
int CustomSB_GetScrollPos(HWND window, int bar);
BOOL CustomSB_GetScrollRange(HWND window, int bar, LPINT min, LPINT max);
int CustomSB_SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
int CustomSB_SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
BOOL CustomSB_SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw);
BOOL CustomSB_ShowScrollBar(HWND window, int bar, BOOL show);

// Arrow length and bar width of the chosen bar(s): both non-zero and
// within -8 .. 256, else 0 and nothing changes.
BOOL CustomSB_SetSize(HWND window, int bar, int length, int width);
BOOL CustomSB_SetStyle(HWND window, int bar, UINT style);
// -1: the system's default (8 before NT 5, else 6).
BOOL CustomSB_SetMinThumbSize(HWND window, int bar, int size);
// Range, page and position, painted at once; never shows, hides or
// recalculates the frame.
int CustomSB_SetScrollInfoNow(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
// What CustomSB_EnableScrollBar calls for windows without skinned bars
// (EnableScrollBar when null or never set).
void CustomSB_SetEnableProc(CustomSBEnableProc proc);

// The USER32 functions the fallbacks call: the redirection points them at
// the originals while it is installed (null puts USER32's exports back).
struct CustomSBSystemCalls {
    BOOL(WINAPI* getScrollInfo)(HWND, int, LPSCROLLINFO);
    int(WINAPI* getScrollPos)(HWND, int);
    BOOL(WINAPI* getScrollRange)(HWND, int, LPINT, LPINT);
    int(WINAPI* setScrollInfo)(HWND, int, LPCSCROLLINFO, BOOL);
    int(WINAPI* setScrollPos)(HWND, int, int, BOOL);
    BOOL(WINAPI* setScrollRange)(HWND, int, int, int, BOOL);
    BOOL(WINAPI* showScrollBar)(HWND, int, BOOL);
};
void CustomSB_SetSystemCalls(const CustomSBSystemCalls* calls);

// The skin painter: a custom-draw record for one piece of a bar.
struct SkinScrollBarDrawInfo {
    HWND window;
    UINT controlId;
    int code;           // -4095
    DWORD stage;        // CDDS_PREPAINT, then CDDS_ITEMPREPAINT per piece
    HDC hdc;
    RECT rect;          // the piece in hdc's coordinates
    int portion;        // ScrollPortion
    UINT state;         // CDIS_SELECTED (pressed), CDIS_DISABLED, CDIS_HOT
    int bar;            // SB_HORZ, SB_VERT, or 3 for the size box
    int style;          // the bar's style (hot looks only for style 2)
};
// CDRF_SKIPDEFAULT when it drew (and, at the pre-paint stage, when it will
// draw the pieces), CDRF_DODEFAULT when the skin has no ScrollBar object.
LRESULT SkinScrollBarCustomDraw(const SkinScrollBarDrawInfo& info);

namespace NcScrollBarSkin {
// The subclass procedure of windows with skinned bars.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The bar rectangles in window coordinates (empty when not shown).
RECT BarRect(HWND window, int bar);
// The calling thread's tracking (one bar at a time): the bar being
// operated (-1 none), its pressed portion, and whether the thumb is dragged.
int TrackedBar();
int PressedPortion();
bool ThumbTracking();
// The bar drawn hot (-1 none) and its hot portion.
int HotBar();
}  // namespace NcScrollBarSkin

// Repeat timers and the hot-tracking timer on windows with skinned bars.
enum : UINT_PTR {
    kScrollRepeatFirstTimer = 65533,  // 300 ms after a press
    kScrollRepeatTimer = 65534,       // then every 55 ms
    kScrollHotTimer = UINT_PTR(-14),  // 20 ms while the mouse is over a bar
};

#endif
