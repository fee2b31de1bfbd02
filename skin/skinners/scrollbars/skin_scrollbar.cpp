#include "skin/skinners/scrollbars/skin_scrollbar.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

#include "skin/core/skin_data_classes.h"
#include "skin/core/skin_lib_parts.h"
#include "skin/core/skin_manager.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_package.h"
#include "skin/core/skin_proc_chain.h"
#include "skin/skinners/controls/skin_control_base.h"
#include "skin/skinners/drawing/skin_gdi_util.h"
#include "skin/skinners/drawing/skin_memdc.h"
#include "skin/skinners/scrollbars/skin_scrollbar_geometry.h"

namespace {

// Bar record flags.
enum : UINT {
    kFirstArrowOff = 1,   // ESB_DISABLE_LTUP
    kLastArrowOff = 2,    // ESB_DISABLE_RTDN
    kKeepShown = 4,       // shown (disabled) when it cannot scroll
    kWanted = 8,          // the window's style asks for the bar
};

struct BarRecord {
    UINT flags = 0;            // kFirstArrowOff .. kWanted
    bool shown = false;        // has room and is laid out
    ScrollRange range;         // min, max, page, pos
    int32_t trackPos = 0;      // while the thumb is dragged
    int arrowLength = -1;      // >= 0 pixels, -n: n x the system metric
    int barWidth = -1;         // the same across the bar
    int type = SB_HORZ;        // SB_HORZ or SB_VERT
    int style = 0;             // 0 normal, 1 flat, 2 hot-tracked
    int minThumb = 6;          // pixels
};

struct CustomSBState {
    WNDPROC previous = nullptr;  // the window's procedure before ours
    BarRecord bars[2];           // SB_HORZ, SB_VERT
    bool leftScrollBar = false;  // WS_EX_LEFTSCROLLBAR
    RECT border = {};            // non-client widths left, top, right, bottom
    bool thumbTracking = false;  // a thumb of this window is dragged
    bool busy = false;           // we change the style ourselves
};

// One bar is operated at a time by each thread (the mouse capture and the
// timers are the thread's own).
struct Tracking {
    HWND window = nullptr;       // whose bar is pressed
    int bar = -1;                // SB_HORZ / SB_VERT, -1 none
    UINT message = 0;            // WM_HSCROLL or WM_VSCROLL
    int pressed = kPortionNone;  // the portion pressed
    int under = kPortionNone;    // the portion under the cursor now
    RECT barRect = {};           // window coordinates
    int32_t thumbStart = 0;      // thumb offset when the drag began
    int32_t grab = 0;            // cursor minus thumb start, along the bar
    int32_t lastTrackPos = 0;    // last SB_THUMBTRACK position sent
    int32_t thumbOffset = 0;     // where the dragged thumb is drawn
    bool releasing = false;      // our own ReleaseCapture is under way
    HWND hotWindow = nullptr;    // the window whose bar is hot
    int hotBar = -1;             // the hot bar, -1 none
    RECT hotRect = {};           // its rectangle (window coordinates)
    int hotPortion = kPortionNone;
    POINT lastNcMove = {};       // last WM_NCMOUSEMOVE point
};
thread_local Tracking g_track;

CustomSBEnableProc g_enableProc = nullptr;
CustomSBSystemCalls g_system = {};
bool g_haveSystem = false;

std::mutex g_windowsLock;
std::set<HWND> g_windows;  // windows with skinned bars (the scroll-bar refresh)

// The bars' procedure in the window's chain; it stays there, passing
// messages on, while a later subclass lies over it.
const SkinProcChain& BarProcChain()
{
    static const SkinProcChain chain(&NcScrollBarSkin::WindowProc, "CustomSBNext");
    return chain;
}

CustomSBState* StateOf(HWND window)
{
    return window ? static_cast<CustomSBState*>(GetPropA(window, kCustomSBProperty)) : nullptr;
}

// The state of a window whose bar (SB_HORZ or SB_VERT) we draw; NULL sends
// the call on to the system (no skinned bars, or SB_CTL and other codes).
CustomSBState* StateOfBar(HWND window, int bar)
{
    return bar == SB_HORZ || bar == SB_VERT ? StateOf(window) : nullptr;
}

// --- the USER32 calls for windows without skinned bars -----------------------
BOOL SysGetScrollInfo(HWND w, int bar, LPSCROLLINFO info)
{
    return g_haveSystem && g_system.getScrollInfo ? g_system.getScrollInfo(w, bar, info)
                                                  : ::GetScrollInfo(w, bar, info);
}
int SysGetScrollPos(HWND w, int bar)
{
    return g_haveSystem && g_system.getScrollPos ? g_system.getScrollPos(w, bar) : ::GetScrollPos(w, bar);
}
BOOL SysGetScrollRange(HWND w, int bar, LPINT min, LPINT max)
{
    return g_haveSystem && g_system.getScrollRange ? g_system.getScrollRange(w, bar, min, max)
                                                   : ::GetScrollRange(w, bar, min, max);
}
int SysSetScrollInfo(HWND w, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    return g_haveSystem && g_system.setScrollInfo ? g_system.setScrollInfo(w, bar, info, redraw)
                                                  : ::SetScrollInfo(w, bar, info, redraw);
}
int SysSetScrollPos(HWND w, int bar, int pos, BOOL redraw)
{
    return g_haveSystem && g_system.setScrollPos ? g_system.setScrollPos(w, bar, pos, redraw)
                                                 : ::SetScrollPos(w, bar, pos, redraw);
}
BOOL SysSetScrollRange(HWND w, int bar, int min, int max, BOOL redraw)
{
    return g_haveSystem && g_system.setScrollRange ? g_system.setScrollRange(w, bar, min, max, redraw)
                                                   : ::SetScrollRange(w, bar, min, max, redraw);
}
BOOL SysShowScrollBar(HWND w, int bar, BOOL show)
{
    return g_haveSystem && g_system.showScrollBar ? g_system.showScrollBar(w, bar, show)
                                                  : ::ShowScrollBar(w, bar, show);
}

bool IsNineXFamily()
{
    const int os = SkinGdiUtil::GetOsClass();
    return os >= 2 && os <= 4;
}

int DefaultMinThumb()
{
    const int os = SkinGdiUtil::GetOsClass();
    return (os == 0 || (os >= 2 && os <= 5)) ? 8 : 6;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Bars chosen by an SB_ value: SB_HORZ, SB_VERT or both; none for others.
bool ChosenBars(int bar, bool* horz, bool* vert)
{
    *horz = bar == SB_HORZ || bar == SB_BOTH;
    *vert = bar == SB_VERT || bar == SB_BOTH;
    return *horz || *vert;
}

int BarWidth(const BarRecord& b)
{
    if (b.barWidth >= 0)
        return b.barWidth;
    return -b.barWidth * GetSystemMetrics(b.type == SB_HORZ ? SM_CYHSCROLL : SM_CXVSCROLL);
}

int ArrowLength(const BarRecord& b)
{
    if (b.arrowLength >= 0)
        return b.arrowLength;
    return -b.arrowLength * GetSystemMetrics(b.type == SB_HORZ ? SM_CXHSCROLL : SM_CYVSCROLL);
}

void RecalcFrame(HWND window)
{
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void RepaintFrame(HWND window) { SendMessageA(window, WM_NCPAINT, 1, 0); }

// Calls the previous procedure with the scroll styles off the window, so
// that it neither reserves nor paints system bars.
LRESULT CallWithoutScrollStyles(HWND window, CustomSBState* state, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG bare = style & ~(WS_HSCROLL | WS_VSCROLL);
    state->busy = true;
    if (bare != style)
        SetWindowLongA(window, GWL_STYLE, bare);
    const LRESULT result = CallWindowProcA(state->previous, window, message, wParam, lParam);
    if (bare != style && IsWindow(window))
        SetWindowLongA(window, GWL_STYLE, (GetWindowLongA(window, GWL_STYLE) & ~(WS_HSCROLL | WS_VSCROLL)) |
                                              (style & (WS_HSCROLL | WS_VSCROLL)));
    state->busy = false;
    return result;
}

RECT BarRectOf(HWND window, const CustomSBState* s, int bar)
{
    RECT r = {};
    const BarRecord& b = s->bars[bar];
    if (!b.shown)
        return r;
    RECT w;
    GetWindowRect(window, &w);
    const int ww = Width(w), wh = Height(w);
    const BarRecord& h = s->bars[SB_HORZ];
    const BarRecord& v = s->bars[SB_VERT];
    if (bar == SB_HORZ) {
        r.left = s->border.left + (v.shown && s->leftScrollBar ? BarWidth(v) : 0);
        r.right = ww - s->border.right - (v.shown && !s->leftScrollBar ? BarWidth(v) : 0);
        r.bottom = wh - s->border.bottom;
        r.top = r.bottom - BarWidth(h);
    } else {
        r.top = s->border.top;
        r.bottom = wh - s->border.bottom - (h.shown ? BarWidth(h) : 0);
        if (s->leftScrollBar) {
            r.left = s->border.left;
            r.right = r.left + BarWidth(v);
        } else {
            r.right = ww - s->border.right;
            r.left = r.right - BarWidth(v);
        }
    }
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

ScrollBarLayout LayoutOf(const BarRecord& b, const RECT& rect)
{
    const int length = b.type == SB_HORZ ? Width(rect) : Height(rect);
    return LayoutScrollBar(length, ArrowLength(b), b.range, b.minThumb);
}

POINT ScreenToWindowPoint(HWND window, POINT screen)
{
    RECT w;
    GetWindowRect(window, &w);
    return POINT{screen.x - w.left, screen.y - w.top};
}

// The portion of a bar under a window-relative point.
int PortionAt(const BarRecord& b, const RECT& rect, POINT pt)
{
    const bool horz = b.type == SB_HORZ;
    const int across = horz ? pt.y - rect.top : pt.x - rect.left;
    const int width = horz ? Height(rect) : Width(rect);
    if (across < 0 || across >= width)
        return kPortionNone;
    return ScrollPortionAt(LayoutOf(b, rect), horz ? pt.x - rect.left : pt.y - rect.top);
}

bool BarEnabled(const BarRecord& b)
{
    return (b.flags & (kFirstArrowOff | kLastArrowOff)) != (kFirstArrowOff | kLastArrowOff) &&
           ((b.flags & kKeepShown) || RangeCanScroll(b.range));
}

// --- default drawing ------------------------------------------------------------

COLORREF TrackLight()
{
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (highlight != RGB(255, 255, 255) && highlight == GetSysColor(COLOR_WINDOW))
        return GetSysColor(COLOR_3DFACE);
    return highlight;
}

void FillTrack(HDC dc, const RECT& rect, bool pressed)
{
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(pattern);
    COLORREF a = GetSysColor(COLOR_SCROLLBAR), b = TrackLight();
    if (pressed) {
        a ^= 0xFFFFFF;
        b ^= 0xFFFFFF;
    }
    const COLORREF oldText = SetTextColor(dc, a);
    const COLORREF oldBack = SetBkColor(dc, b);
    FillRect(dc, &rect, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(brush);
    DeleteObject(pattern);
}

void DrawArrow(HDC dc, const RECT& rect, UINT state, bool pressed, bool hot, int style)
{
    if (style == 0) {
        RECT r = rect;
        DrawFrameControl(dc, &r, DFC_SCROLL, state | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0));
        return;
    }
    const int w = Width(rect), h = Height(rect);
    if (w <= 0 || h <= 0)
        return;
    SkinMemDC arrow(dc, w, h);
    RECT local = {0, 0, w, h};
    DrawFrameControl(arrow, &local, DFC_SCROLL, state | DFCS_FLAT);
    if (pressed || hot) {
        // The glyph (button-text pixels) white, the rest a dark square.
        const COLORREF glyph = GetSysColor(COLOR_BTNTEXT);
        const COLORREF back = GetSysColor(pressed ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                SetPixel(arrow, x, y, GetPixel(arrow, x, y) == glyph ? RGB(255, 255, 255) : back);
    }
    BitBlt(dc, rect.left, rect.top, w, h, arrow, 0, 0, SRCCOPY);
}

void DrawThumb(HDC dc, const RECT& rect, bool pressed, bool hot, int style)
{
    if ((style != 0 && pressed) || (style == 2 && hot)) {
        SkinGdiUtil::FillSolidRect(dc, rect, GetSysColor(COLOR_BTNSHADOW));
        return;
    }
    SkinGdiUtil::FillSolidRect(dc, rect, GetSysColor(COLOR_BTNFACE));
    RECT r = rect;
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | (style != 0 ? BF_FLAT : 0));
}

// A piece along the bar as a rectangle of the bar bitmap.
RECT PieceRect(bool horz, int start, int end, int width)
{
    return horz ? RECT{start, 0, end, width} : RECT{0, start, width, end};
}

// Draws one bar into the window DC; true when the skin painter drew it.
// pressed/hot: the portion drawn pressed or hot (-1 none); thumbOffset:
// where the thumb goes (-1: where the position puts it).
bool DrawBar(HWND window, CustomSBState* s, HDC dc, int bar, int pressed, int hot, int32_t thumbOffset = -1)
{
    const RECT rect = BarRectOf(window, s, bar);
    const int w = Width(rect), h = Height(rect);
    if (w <= 0 || h <= 0)
        return false;
    const BarRecord& b = s->bars[bar];
    const bool horz = bar == SB_HORZ;
    const int width = horz ? h : w;
    SkinMemDC memory(dc, w, h);
    if (!memory.IsValid())
        return false;

    SkinScrollBarDrawInfo info = {};
    info.window = window;
    info.controlId = UINT(GetDlgCtrlID(window));
    info.code = -4095;
    info.stage = CDDS_PREPAINT;
    info.hdc = memory;
    info.bar = bar;
    info.style = b.style;
    const bool skin = SkinScrollBarCustomDraw(info) == CDRF_SKIPDEFAULT;
    info.stage = CDDS_ITEMPREPAINT;

    ScrollBarLayout layout = LayoutOf(b, rect);
    if (thumbOffset >= 0)
        layout.thumbOffset = ClampThumbOffset(layout, thumbOffset);
    const bool canScroll = RangeCanScroll(b.range);
    const bool bothOff = (b.flags & (kFirstArrowOff | kLastArrowOff)) == (kFirstArrowOff | kLastArrowOff);
    const bool inactive = !canScroll && !(b.flags & kKeepShown);
    const ScrollBarPieces p = ScrollBarDrawPieces(layout, canScroll && !bothOff);

    auto offer = [&](const RECT& r, int portion, UINT state) {
        if (!skin)
            return false;
        info.rect = r;
        info.portion = portion;
        info.state = state;
        return SkinScrollBarCustomDraw(info) == CDRF_SKIPDEFAULT;
    };
    auto stateOf = [&](int portion, bool off) {
        UINT st = 0;
        if (pressed == portion)
            st |= CDIS_SELECTED;
        if (off)
            st |= CDIS_DISABLED;
        if (hot == portion && b.style == 2 && !off)
            st |= CDIS_HOT;
        return st;
    };

    // Arrows.
    for (int which = 0; which < 2; ++which) {
        const int portion = which == 0 ? kPortionFirstArrow : kPortionLastArrow;
        const RECT r = which == 0 ? PieceRect(horz, p.arrow1Start, p.arrow1End, width)
                                  : PieceRect(horz, p.arrow2Start, p.arrow2End, width);
        const bool off = inactive || (b.flags & (which == 0 ? kFirstArrowOff : kLastArrowOff));
        if (offer(r, portion, stateOf(portion, off)))
            continue;
        UINT state = horz ? (which == 0 ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT)
                          : (which == 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN);
        if (off)
            state |= DFCS_INACTIVE;
        DrawArrow(memory, r, state, pressed == portion, hot == portion && b.style == 2 && !off, b.style);
    }
    // The odd middle pixel of two half-length arrows.
    if (p.arrow1End < p.arrow2Start && 2 * layout.arrow >= layout.length)
        FillTrack(memory, PieceRect(horz, p.arrow1End, p.arrow2Start, width), false);
    if (2 * layout.arrow < layout.length) {
        const bool off = inactive || bothOff;
        const int space = p.arrow2Start - p.arrow1End;
        if (p.thumbEnd == p.thumbStart && !canScroll && (b.flags & kKeepShown) && b.minThumb < space) {
            // A bar kept shown that cannot scroll: a thumb over all but the
            // last pixel of the track.
            const RECT thumb = PieceRect(horz, p.arrow1End, p.arrow2Start - 1, width);
            if (!offer(thumb, kPortionThumb, stateOf(kPortionThumb, off)))
                DrawThumb(memory, thumb, false, false, b.style);
            const RECT last = PieceRect(horz, p.arrow2Start - 1, p.arrow2Start, width);
            if (!offer(last, kPortionTrackAfter, stateOf(kPortionTrackAfter, off)))
                SkinGdiUtil::FillSolidRect(memory, last, GetSysColor(COLOR_SCROLLBAR));
        } else {
            const RECT before = PieceRect(horz, p.trackBeforeStart, p.trackBeforeEnd, width);
            const RECT after = PieceRect(horz, p.trackAfterStart, p.trackAfterEnd, width);
            if (p.trackBeforeEnd > p.trackBeforeStart &&
                !offer(before, kPortionTrackBefore, stateOf(kPortionTrackBefore, off)))
                FillTrack(memory, before, pressed == kPortionTrackBefore);
            if (p.trackAfterEnd > p.trackAfterStart &&
                !offer(after, kPortionTrackAfter, stateOf(kPortionTrackAfter, off)))
                FillTrack(memory, after, pressed == kPortionTrackAfter);
            if (p.thumbEnd > p.thumbStart) {
                const RECT thumb = PieceRect(horz, p.thumbStart, p.thumbEnd, width);
                if (!offer(thumb, kPortionThumb, stateOf(kPortionThumb, off)))
                    DrawThumb(memory, thumb, pressed == kPortionThumb, hot == kPortionThumb, b.style);
            }
        }
    }
    BitBlt(dc, rect.left, rect.top, w, h, memory, 0, 0, SRCCOPY);
    return skin;
}

void DrawSizeBox(HWND window, CustomSBState* s, HDC dc, bool skinDrew)
{
    if (!s->bars[SB_HORZ].shown || !s->bars[SB_VERT].shown)
        return;
    const RECT h = BarRectOf(window, s, SB_HORZ), v = BarRectOf(window, s, SB_VERT);
    RECT box = {v.left, h.top, v.right, h.bottom};
    if (IsRectEmpty(&box))
        return;
    if (skinDrew) {
        SkinScrollBarDrawInfo info = {};
        info.window = window;
        info.controlId = UINT(GetDlgCtrlID(window));
        info.code = -4095;
        info.stage = CDDS_ITEMPREPAINT;
        info.hdc = dc;
        info.rect = box;
        info.bar = 3;
        if (SkinScrollBarCustomDraw(info) == CDRF_SKIPDEFAULT)
            return;
    }
    // A size grip only where the box is the parent's sizing corner.
    bool grip = false;
    HWND parent = GetParent(window);
    if (parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        RECT w, client;
        GetWindowRect(window, &w);
        GetClientRect(parent, &client);
        POINT corner = {w.left + (s->leftScrollBar ? box.left : box.right), w.top + box.bottom};
        ScreenToClient(parent, &corner);
        grip = corner.y == client.bottom && corner.x == (s->leftScrollBar ? client.left : client.right);
    }
    if (grip)
        DrawFrameControl(dc, &box, DFC_SCROLL, s->leftScrollBar ? DFCS_SCROLLSIZEGRIPRIGHT : DFCS_SCROLLSIZEGRIP);
    else
        SkinGdiUtil::FillSolidRect(dc, box, GetSysColor(COLOR_BTNFACE));
}

int PressedFor(HWND window, int bar)
{
    return g_track.window == window && g_track.bar == bar ? (g_track.under == g_track.pressed ? g_track.pressed
                                                                                              : kPortionNone)
                                                          : kPortionNone;
}

int HotFor(HWND window, int bar)
{
    return g_track.hotWindow == window && g_track.hotBar == bar ? g_track.hotPortion : kPortionNone;
}

// Draws both bars (and the size box) as they stand now.
bool DrawBars(HWND window, CustomSBState* s, HDC dc)
{
    bool skin = false;
    for (int bar = 0; bar < 2; ++bar) {
        if (!s->bars[bar].shown)
            continue;
        const bool dragging = s->thumbTracking && g_track.window == window && g_track.bar == bar;
        const int pressed = dragging ? kPortionThumb : PressedFor(window, bar);
        skin |= DrawBar(window, s, dc, bar, pressed, HotFor(window, bar), dragging ? g_track.thumbOffset : -1);
    }
    return skin;
}

void RedrawBar(HWND window, CustomSBState* s, int bar)
{
    HDC dc = GetWindowDC(window);
    if (!dc)
        return;
    const bool dragging = s->thumbTracking && g_track.window == window && g_track.bar == bar;
    DrawBar(window, s, dc, bar, dragging ? kPortionThumb : PressedFor(window, bar), HotFor(window, bar),
            dragging ? g_track.thumbOffset : -1);
    ReleaseDC(window, dc);
}

// --- operating the bars --------------------------------------------------------------

void SendScroll(HWND window, UINT message, int code, int pos = 0)
{
    SendMessageA(window, message, MAKEWPARAM(code, pos), 0);
}

void ResetTracking()
{
    const HWND hotWindow = g_track.hotWindow;
    const int hotBar = g_track.hotBar;
    const RECT hotRect = g_track.hotRect;
    const int hotPortion = g_track.hotPortion;
    const POINT lastNcMove = g_track.lastNcMove;
    g_track = Tracking();
    g_track.hotWindow = hotWindow;
    g_track.hotBar = hotBar;
    g_track.hotRect = hotRect;
    g_track.hotPortion = hotPortion;
    g_track.lastNcMove = lastNcMove;
}

LRESULT OnNcPress(HWND window, CustomSBState* s, WPARAM hit, LPARAM lParam, UINT message)
{
    const int bar = hit == HTHSCROLL ? SB_HORZ : SB_VERT;
    BarRecord& b = s->bars[bar];
    const RECT rect = BarRectOf(window, s, bar);
    const POINT pt = ScreenToWindowPoint(window, POINT{short(LOWORD(lParam)), short(HIWORD(lParam))});
    const int portion = PortionAt(b, rect, pt);
    if ((portion == kPortionFirstArrow && (b.flags & kFirstArrowOff)) ||
        (portion == kPortionLastArrow && (b.flags & kLastArrowOff)))
        return 0;
    if (portion == kPortionNone || portion == 4)
        return CallWindowProcA(s->previous, window, message, hit, lParam);
    if (!BarEnabled(b))
        return 0;
    g_track.window = window;
    g_track.bar = bar;
    g_track.message = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
    g_track.pressed = g_track.under = portion;
    g_track.barRect = rect;
    g_track.releasing = false;
    if (portion == kPortionThumb) {
        const ScrollBarLayout layout = LayoutOf(b, rect);
        const int along = bar == SB_HORZ ? pt.x - rect.left : pt.y - rect.top;
        g_track.thumbStart = layout.thumbOffset;
        g_track.thumbOffset = layout.thumbOffset;
        g_track.grab = along - layout.ThumbStart();
        b.trackPos = b.range.pos;
        g_track.lastTrackPos = b.range.pos;
        s->thumbTracking = true;
        RedrawBar(window, s, bar);
        SetCapture(window);
        return 0;
    }
    SendScroll(window, g_track.message, portion);
    if (!StateOf(window))
        return 0;  // the scroll message took the bars away
    RedrawBar(window, s, bar);
    SetTimer(window, kScrollRepeatFirstTimer, 300, nullptr);
    SetCapture(window);
    return 0;
}

void OnRepeat(HWND window, CustomSBState* s, UINT_PTR id)
{
    if (g_track.window != window || g_track.bar < 0 || s->thumbTracking)
        return;
    if (id == kScrollRepeatFirstTimer) {
        KillTimer(window, kScrollRepeatFirstTimer);
        SetTimer(window, kScrollRepeatTimer, 55, nullptr);
    }
    POINT cursor;
    GetCursorPos(&cursor);
    const int bar = g_track.bar;
    const RECT rect = BarRectOf(window, s, bar);
    const int under = PortionAt(s->bars[bar], rect, ScreenToWindowPoint(window, cursor));
    if (under != g_track.under) {
        g_track.under = under;
        RedrawBar(window, s, bar);
    }
    if (under == g_track.pressed)
        SendScroll(window, g_track.message, g_track.pressed);
}

void OnDrag(HWND window, CustomSBState* s)
{
    const int bar = g_track.bar;
    BarRecord& b = s->bars[bar];
    const DWORD where = GetMessagePos();
    const POINT pt = ScreenToWindowPoint(window, POINT{short(LOWORD(where)), short(HIWORD(where))});
    const RECT& rect = g_track.barRect;
    const bool horz = bar == SB_HORZ;
    const int along = horz ? pt.x - rect.left : pt.y - rect.top;
    const int across = horz ? pt.y - rect.top : pt.x - rect.left;
    const ScrollBarLayout layout = LayoutOf(b, rect);
    int32_t offset = g_track.thumbStart;
    if (ThumbDragInside(along, across, layout.length, horz ? Height(rect) : Width(rect)))
        offset = ClampThumbOffset(layout, along - g_track.grab - layout.arrow);
    g_track.thumbOffset = offset;
    RedrawBar(window, s, bar);
    const int32_t pos = ScrollPosFromThumb(layout, b.range, offset);
    if (pos != g_track.lastTrackPos) {
        g_track.lastTrackPos = pos;
        b.trackPos = pos;
        SendScroll(window, g_track.message, SB_THUMBTRACK, pos);
    }
}

void OnPressMove(HWND window, CustomSBState* s)
{
    POINT cursor;
    GetCursorPos(&cursor);
    const int bar = g_track.bar;
    const int under = PortionAt(s->bars[bar], BarRectOf(window, s, bar), ScreenToWindowPoint(window, cursor));
    const bool wasOn = g_track.under == g_track.pressed, isOn = under == g_track.pressed;
    g_track.under = under;
    if (wasOn != isOn)
        RedrawBar(window, s, bar);
}

void OnRelease(HWND window, CustomSBState* s, bool sendEnd)
{
    const UINT message = g_track.message;
    const int bar = g_track.bar;
    const bool dragged = s->thumbTracking;
    const int32_t last = g_track.lastTrackPos;
    g_track.releasing = true;
    if (GetCapture() == window)
        ReleaseCapture();
    KillTimer(window, kScrollRepeatFirstTimer);
    KillTimer(window, kScrollRepeatTimer);
    s->thumbTracking = false;
    ResetTracking();
    if (sendEnd) {
        if (dragged)
            SendScroll(window, message, SB_THUMBPOSITION, last);
        SendScroll(window, message, SB_ENDSCROLL);
    }
    if (CustomSBState* now = StateOf(window))
        if (bar >= 0)
            RedrawBar(window, now, bar);
}

void OnNcMouseMove(HWND window, CustomSBState* s, WPARAM hit, LPARAM lParam)
{
    g_track.lastNcMove = POINT{short(LOWORD(lParam)), short(HIWORD(lParam))};
    if (hit != HTHSCROLL && hit != HTVSCROLL)
        return;
    const int bar = hit == HTHSCROLL ? SB_HORZ : SB_VERT;
    if (g_track.hotWindow == window && g_track.hotBar == bar)
        return;
    const HWND oldWindow = g_track.hotWindow;
    g_track.hotWindow = window;
    g_track.hotBar = bar;
    g_track.hotRect = BarRectOf(window, s, bar);
    g_track.hotPortion = PortionAt(s->bars[bar], g_track.hotRect, ScreenToWindowPoint(window, g_track.lastNcMove));
    SetTimer(window, kScrollHotTimer, 20, nullptr);
    if (oldWindow && oldWindow != window && IsWindow(oldWindow))
        RepaintFrame(oldWindow);
    RepaintFrame(window);
}

void OnHotTimer(HWND window, CustomSBState* s)
{
    if (s->thumbTracking)
        return;
    POINT cursor;
    GetCursorPos(&cursor);
    const POINT pt = ScreenToWindowPoint(window, cursor);
    if (g_track.hotWindow != window || !PtInRect(&g_track.hotRect, pt)) {
        KillTimer(window, kScrollHotTimer);
        if (g_track.hotWindow == window) {
            g_track.hotWindow = nullptr;
            g_track.hotBar = -1;
            g_track.hotPortion = kPortionNone;
        }
        RepaintFrame(window);
        return;
    }
    const int bar = g_track.hotBar;
    const int portion = PortionAt(s->bars[bar], BarRectOf(window, s, bar), pt);
    if (portion != g_track.hotPortion) {
        g_track.hotPortion = portion;
        RedrawBar(window, s, bar);
    }
}

LRESULT OnNcCalcSize(HWND window, CustomSBState* s, WPARAM wParam, LPARAM lParam)
{
    RECT* rect = reinterpret_cast<RECT*>(lParam);
    if (!rect)
        return CallWithoutScrollStyles(window, s, WM_NCCALCSIZE, wParam, lParam);
    const RECT before = *rect;
    const LRESULT result = CallWithoutScrollStyles(window, s, WM_NCCALCSIZE, wParam, lParam);
    RECT& client = *rect;
    s->border = RECT{client.left - before.left, client.top - before.top, before.right - client.right,
                     before.bottom - client.bottom};
    BarRecord& h = s->bars[SB_HORZ];
    BarRecord& v = s->bars[SB_VERT];
    const int hw = BarWidth(h), vw = BarWidth(v);
    // The borders stay without the bars: the bars lie inside them.
    h.shown = (h.flags & kWanted) && hw < Height(client);
    if (h.shown)
        client.bottom -= hw;
    v.shown = (v.flags & kWanted) && Width(client) >= vw;
    if (v.shown) {
        if (s->leftScrollBar)
            client.left += vw;
        else
            client.right -= vw;
    }
    return result;
}

LRESULT OnNcPaint(HWND window, CustomSBState* s, WPARAM wParam, LPARAM lParam)
{
    bool skin = false;
    if (HDC dc = GetWindowDC(window)) {
        skin = DrawBars(window, s, dc);
        ReleaseDC(window, dc);
    }
    const LRESULT result = CallWithoutScrollStyles(window, s, WM_NCPAINT, wParam, lParam);
    if (CustomSBState* now = StateOf(window))
        if (HDC dc = GetWindowDC(window)) {
            DrawSizeBox(window, now, dc, skin);
            ReleaseDC(window, dc);
        }
    return result;
}

// Puts the bars' wanted bits and the matching style bits.
void SetWanted(HWND window, CustomSBState* s, bool horz, bool vert, bool show)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG before = style;
    if (horz) {
        s->bars[SB_HORZ].flags = show ? (s->bars[SB_HORZ].flags | kWanted) : (s->bars[SB_HORZ].flags & ~kWanted);
        style = show ? (style | WS_HSCROLL) : (style & ~WS_HSCROLL);
    }
    if (vert) {
        s->bars[SB_VERT].flags = show ? (s->bars[SB_VERT].flags | kWanted) : (s->bars[SB_VERT].flags & ~kWanted);
        style = show ? (style | WS_VSCROLL) : (style & ~WS_VSCROLL);
    }
    if (style != before) {
        s->busy = true;
        SetWindowLongA(window, GWL_STYLE, style);
        s->busy = false;
    }
}

void PartRefresh(int barSize, int minThumb);

void ApplySizes(HWND window, int barSize, int minThumb)
{
    CustomSB_SetSize(window, SB_BOTH, barSize, barSize);
    CustomSB_SetMinThumbSize(window, SB_BOTH, minThumb);
}

const SkinLibPart kScrollBarPart = {
    "skinned scroll bars", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &PartRefresh,
};
SkinLibPartRegistrar g_register(&kScrollBarPart);

// What the scrollable control base uses of the bars.
BOOL HookSetStyle(HWND window, int bar, int style) { return CustomSB_SetStyle(window, bar, UINT(style)); }
int HookSetScrollInfo(HWND window, int bar, SCROLLINFO* info, BOOL redraw)
{
    return CustomSB_SetScrollInfo(window, bar, info, redraw);
}
const SkinScrollBarHooks kControlHooks = {
    &CustomSB_Initialize, &CustomSB_Uninitialize, &HookSetStyle,           &CustomSB_SetSize,
    &CustomSB_SetMinThumbSize, &CustomSB_GetScrollInfo, &HookSetScrollInfo,
};
struct ControlHooksRegistrar {
    ControlHooksRegistrar() { SkinSetScrollBarHooks(&kControlHooks); }
} g_controlHooks;

void PartRefresh(int barSize, int minThumb)
{
    std::set<HWND> windows;
    {
        std::lock_guard<std::mutex> guard(g_windowsLock);
        for (auto it = g_windows.begin(); it != g_windows.end();)
            it = IsWindow(*it) ? std::next(it) : g_windows.erase(it);
        windows = g_windows;
    }
    for (HWND window : windows) {
        // Another thread's bars are its own to change: their state goes
        // with its CustomSB_Uninitialize there.
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
            ApplySizes(window, barSize, minThumb);
        else
            PostMessageA(window, kSkinMsgScrollBarSizes, WPARAM(barSize), LPARAM(minThumb));
    }
}

// Sets what set sets on the bars bar chooses (SB_HORZ, SB_VERT or SB_BOTH)
// of a window with skinned bars; false when there is none.
bool SetChosenBars(HWND window, int bar, const std::function<void(BarRecord&)>& set)
{
    CustomSBState* s = StateOf(window);
    bool horz, vert;
    if (!s || !ChosenBars(bar, &horz, &vert))
        return false;
    if (horz)
        set(s->bars[SB_HORZ]);
    if (vert)
        set(s->bars[SB_VERT]);
    return true;
}

// Takes the range, page and position info carries (by its fMask) into the
// bar, clamped as the system clamps them.
void StoreScrollInfo(BarRecord& b, const SCROLLINFO& info)
{
    ScrollRange in;
    in.min = info.nMin;
    in.max = info.nMax;
    in.page = int32_t(info.nPage);
    in.pos = info.nPos;
    b.range = ClampScrollRange(b.range, in, info.fMask & SIF_RANGE, info.fMask & SIF_PAGE, info.fMask & SIF_POS);
}

}  // namespace

// ---------------------------------------------------------------------------
// The functions

BOOL CustomSB_Initialize(HWND window)
{
    if (!window || !IsWindow(window) || StateOf(window))
        return FALSE;
    auto* s = new CustomSBState();
    for (int bar = 0; bar < 2; ++bar) {
        BarRecord& b = s->bars[bar];
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (SysGetScrollInfo(window, bar, &info)) {
            b.range.min = info.nMin;
            b.range.max = info.nMax;
            b.range.page = int32_t(info.nPage);
            b.range.pos = info.nPos;
            b.trackPos = info.nTrackPos;
        }
        b.type = bar;
        b.minThumb = DefaultMinThumb();
    }
    s->leftScrollBar = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (style & WS_HSCROLL)
        s->bars[SB_HORZ].flags |= kWanted;
    if (style & WS_VSCROLL)
        s->bars[SB_VERT].flags |= kWanted;
    SetPropA(window, kCustomSBProperty, s);
    s->previous = BarProcChain().Enter(window);
    if (!s->previous) {
        RemovePropA(window, kCustomSBProperty);
        delete s;
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> guard(g_windowsLock);
        g_windows.insert(window);
    }
    RecalcFrame(window);
    return TRUE;
}

HRESULT CustomSB_Uninitialize(HWND window)
{
    CustomSBState* s = StateOf(window);
    if (!s)
        return E_FAIL;
    if (g_track.window == window) {
        KillTimer(window, kScrollRepeatFirstTimer);
        KillTimer(window, kScrollRepeatTimer);
        g_track.releasing = true;
        if (GetCapture() == window)
            ReleaseCapture();
        ResetTracking();
    }
    if (g_track.hotWindow == window) {
        KillTimer(window, kScrollHotTimer);
        g_track.hotWindow = nullptr;
        g_track.hotBar = -1;
    }
    RemovePropA(window, kCustomSBProperty);
    BarProcChain().Leave(window);
    delete s;
    {
        std::lock_guard<std::mutex> guard(g_windowsLock);
        g_windows.erase(window);
    }
    RecalcFrame(window);
    return S_OK;
}

BOOL CustomSB_IsInitialized(HWND window) { return StateOf(window) != nullptr; }

void CustomSB_SetEnableProc(CustomSBEnableProc proc) { g_enableProc = proc; }

void CustomSB_SetSystemCalls(const CustomSBSystemCalls* calls)
{
    if (calls)
        g_system = *calls;
    else
        g_system = CustomSBSystemCalls();
    g_haveSystem = calls != nullptr;
}

BOOL CustomSB_EnableScrollBar(HWND window, UINT bar, UINT arrows)
{
    CustomSBState* s = StateOf(window);
    bool horz, vert;
    if (!s || !ChosenBars(int(bar), &horz, &vert))
        return g_enableProc ? g_enableProc(window, bar, arrows) : ::EnableScrollBar(window, bar, arrows);
    bool changedH = false, changedV = false;
    auto apply = [&](BarRecord& b) {
        const UINT old = b.flags;
        b.flags = (b.flags & ~UINT(3)) | (arrows & 3);
        return b.flags != old;
    };
    if (horz)
        changedH = apply(s->bars[SB_HORZ]);
    if (vert)
        changedV = apply(s->bars[SB_VERT]);
    if (changedH || changedV)
        RepaintFrame(window);
    if (horz && vert)
        return changedH && changedV;
    return horz ? changedH : changedV;
}

BOOL CustomSB_GetScrollInfo(HWND window, int bar, LPSCROLLINFO info)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s)
        return SysGetScrollInfo(window, bar, info);
    if (!info)
        return FALSE;
    const BarRecord& b = s->bars[bar];
    bool copied = false;
    if (info->fMask & SIF_PAGE) {
        info->nPage = UINT(b.range.page);
        copied = true;
    }
    if (info->fMask & SIF_POS) {
        info->nPos = b.range.pos;
        copied = true;
    }
    if (info->fMask & SIF_TRACKPOS) {
        info->nTrackPos = b.trackPos;
        copied = true;
    }
    if (info->fMask & SIF_RANGE) {
        info->nMin = b.range.min;
        info->nMax = b.range.max;
        copied = true;
    }
    return copied;
}

int CustomSB_GetScrollPos(HWND window, int bar)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s)
        return SysGetScrollPos(window, bar);
    return s->bars[bar].range.pos;
}

BOOL CustomSB_GetScrollRange(HWND window, int bar, LPINT min, LPINT max)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s)
        return SysGetScrollRange(window, bar, min, max);
    if (!min || !max)
        return FALSE;
    *min = s->bars[bar].range.min;
    *max = s->bars[bar].range.max;
    return TRUE;
}

int CustomSB_SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s)
        return SysSetScrollInfo(window, bar, info, redraw);
    BarRecord& b = s->bars[bar];
    if (!info)
        return b.range.pos;
    StoreScrollInfo(b, *info);
    const bool keep = (info->fMask & SIF_DISABLENOSCROLL) || (b.flags & kKeepShown);
    const bool wanted = ScrollBarWanted(b.range, keep);
    const bool changed = wanted != ((b.flags & kWanted) != 0);
    if (changed)
        CustomSB_ShowScrollBar(window, bar, wanted);
    if (redraw && !s->thumbTracking && StateOf(window)) {
        if (changed)
            RecalcFrame(window);
        else
            RepaintFrame(window);
    }
    return b.range.pos;
}

int CustomSB_SetScrollPos(HWND window, int bar, int pos, BOOL redraw)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s)
        return SysSetScrollPos(window, bar, pos, redraw);
    BarRecord& b = s->bars[bar];
    const int old = b.range.pos;
    ScrollRange in;
    in.pos = pos;
    b.range = ClampScrollRange(b.range, in, false, false, true);
    if (redraw && !s->thumbTracking)
        RepaintFrame(window);
    return old;
}

BOOL CustomSB_SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s)
        return SysSetScrollRange(window, bar, min, max, redraw);
    BarRecord& b = s->bars[bar];
    if (s->thumbTracking)
        return b.range.pos;
    ScrollRange in;
    in.min = min;
    in.max = max;
    b.range = ClampScrollRange(b.range, in, true, false, false);
    if (min == max) {
        CustomSB_ShowScrollBar(window, bar, FALSE);
    } else {
        // A usable range brings a bar hidden by an empty one back, as the
        // system's own bars do.
        if (!(b.flags & kWanted) && ScrollBarWanted(b.range, false))
            CustomSB_ShowScrollBar(window, bar, TRUE);
        if (redraw)
            RepaintFrame(window);
    }
    return TRUE;
}

BOOL CustomSB_ShowScrollBar(HWND window, int bar, BOOL show)
{
    CustomSBState* s = StateOf(window);
    bool horz, vert;
    if (!s || !ChosenBars(bar, &horz, &vert))
        return SysShowScrollBar(window, bar, show);
    const bool wasH = s->bars[SB_HORZ].shown, wasV = s->bars[SB_VERT].shown;
    const UINT oldH = s->bars[SB_HORZ].flags, oldV = s->bars[SB_VERT].flags;
    SetWanted(window, s, horz, vert, show != FALSE);
    if (IsNineXFamily()) {
        // Only a bar whose shown state changes needs a new frame there.
        const bool nowH = (s->bars[SB_HORZ].flags & kWanted) != 0, nowV = (s->bars[SB_VERT].flags & kWanted) != 0;
        if (nowH != wasH || nowV != wasV || s->bars[SB_HORZ].flags != oldH || s->bars[SB_VERT].flags != oldV)
            RecalcFrame(window);
    } else {
        RecalcFrame(window);
    }
    return TRUE;
}

BOOL CustomSB_SetSize(HWND window, int bar, int length, int width)
{
    if (length == 0 || width == 0 || length < -8 || length > 256 || width < -8 || width > 256)
        return FALSE;
    if (!SetChosenBars(window, bar, [&](BarRecord& b) {
            b.arrowLength = length;
            b.barWidth = width;
        }))
        return FALSE;
    RecalcFrame(window);
    return TRUE;
}

BOOL CustomSB_SetStyle(HWND window, int bar, UINT style)
{
    if (!SetChosenBars(window, bar, [&](BarRecord& b) { b.style = int(style); }))
        return FALSE;
    RepaintFrame(window);
    return TRUE;
}

BOOL CustomSB_SetMinThumbSize(HWND window, int bar, int size)
{
    const int value = size == -1 ? DefaultMinThumb() : size;
    return SetChosenBars(window, bar, [&](BarRecord& b) { b.minThumb = value; });
}

int CustomSB_SetScrollInfoNow(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s || !info)  // the system's bar, or nothing to set: as SetScrollInfo answers
        return CustomSB_SetScrollInfo(window, bar, info, redraw);
    BarRecord& b = s->bars[bar];
    StoreScrollInfo(b, *info);
    if (redraw)
        RedrawBar(window, s, bar);
    return b.range.pos;
}

// ---------------------------------------------------------------------------
// The skin painter

namespace {

bool IsBlockEmpty(const SkinScrollBlock& block)
{
    return ::IsImageRefEmpty(block.arrow1) && ::IsImageRefEmpty(block.arrow2) && IsLayoutImageEmpty(block.bar) &&
           IsLayoutImageEmpty(block.thumb);
}

// One part of a bar from its state's block (an empty picture falls back to
// the normal block's); horizontal tells along which axis the gripper's
// margins are taken.
void DrawScrollPart(HDC hdc, const RECT& rect, const SkinScrollBarData& data, const SkinScrollBlock& chosen,
                    const SkinScrollBlock& normal, int portion, bool horizontal)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    switch (portion) {
    case kPortionFirstArrow:
    case kPortionLastArrow: {
        const bool first = portion == kPortionFirstArrow;
        const SkinImageRef& ref = first ? chosen.arrow1 : chosen.arrow2;
        const SkinImageRef& fallback = first ? normal.arrow1 : normal.arrow2;
        SkinGdiUtil::DrawImageRef(hdc, rect, ::IsImageRefEmpty(ref) ? fallback : ref, face, TRUE);
        break;
    }
    case kPortionTrackBefore:
    case kPortionTrackAfter:
        SkinGdiUtil::DrawLayoutImage(hdc, rect, IsLayoutImageEmpty(chosen.bar) ? normal.bar : chosen.bar,
                                     GetSysColor(COLOR_SCROLLBAR), TRUE);
        break;
    case kPortionThumb: {
        const SkinLayoutImage& thumb = IsLayoutImageEmpty(chosen.thumb) ? normal.thumb : chosen.thumb;
        SkinGdiUtil::DrawLayoutImage(hdc, rect, thumb, face, TRUE);
        if (!::IsImageRefEmpty(data.gripper)) {
            RECT grip = rect;
            if (horizontal) {
                grip.left += thumb.marginLeft;
                grip.right -= thumb.marginRight;
            } else {
                grip.top += thumb.marginTop;
                grip.bottom -= thumb.marginBottom;
            }
            if (!IsRectEmpty(&grip))
                SkinGdiUtil::DrawImageRef(hdc, grip, data.gripper, face, FALSE);
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace

LRESULT SkinScrollBarCustomDraw(const SkinScrollBarDrawInfo& info)
{
    // Painted on any thread: a skin loaded meanwhile waits for the pin.
    const SkinManager::PinnedSkin skin;
    auto* data = dynamic_cast<SkinScrollBarData*>(skin->FindObjectByType(kSkinScrollBar));
    if (!data)
        return CDRF_DODEFAULT;
    if (info.stage == CDDS_PREPAINT)
        return CDRF_SKIPDEFAULT;
    if (info.bar == 3) {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        if (!IsLayoutImageEmpty(data->background))
            SkinGdiUtil::DrawLayoutImage(info.hdc, info.rect, data->background, face, TRUE);
        else
            SkinGdiUtil::FillSolidRect(info.hdc, info.rect, face);
        return CDRF_SKIPDEFAULT;
    }
    switch (info.portion) {
    case kPortionFirstArrow:
    case kPortionLastArrow:
    case kPortionTrackBefore:
    case kPortionTrackAfter:
    case kPortionThumb:
        break;
    default:
        return CDRF_DODEFAULT;
    }
    int group = 0;
    if (info.state & CDIS_SELECTED)
        group = 1;
    else if (info.state & CDIS_DISABLED)
        group = 3;
    else if ((info.state & CDIS_HOT) && info.style == 2)
        group = 2;
    // Skins of streams before 1.12 carry no vertical pictures: the vertical
    // bar is drawn from the horizontal ones turned a quarter anticlockwise,
    // the right arrow becoming the up arrow.
    if (info.bar != SB_HORZ && IsBlockEmpty(data->vertical[0])) {
        int portion = info.portion;
        if (portion == kPortionFirstArrow)
            portion = kPortionLastArrow;
        else if (portion == kPortionLastArrow)
            portion = kPortionFirstArrow;
        SkinDrawTurned(info.hdc, info.rect, [&](HDC lying, const RECT& r) {
            DrawScrollPart(lying, r, *data, data->horizontal[group], data->horizontal[0], portion, true);
        });
        return CDRF_SKIPDEFAULT;
    }
    const SkinScrollBlock* blocks = info.bar == SB_HORZ ? data->horizontal : data->vertical;
    DrawScrollPart(info.hdc, info.rect, *data, blocks[group], blocks[0], info.portion, info.bar == SB_HORZ);
    return CDRF_SKIPDEFAULT;
}

// ---------------------------------------------------------------------------
// The subclass procedure

namespace NcScrollBarSkin {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CustomSBState* s = StateOf(window);
    if (!s)
        return BarProcChain().PassOn(window, message, wParam, lParam);
    const bool tracking = g_track.window == window && g_track.bar >= 0;
    switch (message) {
    case kSkinMsgScrollBarSizes:
        ApplySizes(window, int(wParam), int(lParam));
        return 0;
    case WM_NCCALCSIZE:
        return OnNcCalcSize(window, s, wParam, lParam);
    case WM_NCHITTEST: {
        const POINT pt = ScreenToWindowPoint(window, POINT{short(LOWORD(lParam)), short(HIWORD(lParam))});
        const RECT h = BarRectOf(window, s, SB_HORZ), v = BarRectOf(window, s, SB_VERT);
        if (s->bars[SB_HORZ].shown && PtInRect(&h, pt))
            return HTHSCROLL;
        if (s->bars[SB_VERT].shown && PtInRect(&v, pt))
            return HTVSCROLL;
        return CallWindowProcA(s->previous, window, message, wParam, lParam);
    }
    case WM_NCPAINT:
        return OnNcPaint(window, s, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTHSCROLL || wParam == HTVSCROLL)
            return OnNcPress(window, s, wParam, lParam, message);
        break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
        if (wParam == HTHSCROLL || wParam == HTVSCROLL)
            return 0;
        break;
    case WM_NCMOUSEMOVE:
        OnNcMouseMove(window, s, wParam, lParam);
        break;
    case WM_MOUSEMOVE:
        if (tracking) {
            if (s->thumbTracking)
                OnDrag(window, s);
            else
                OnPressMove(window, s);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (tracking) {
            OnRelease(window, s, true);
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        // Capture taken away in the middle of a press: the press ends.
        if (tracking && !g_track.releasing && reinterpret_cast<HWND>(lParam) != window)
            OnRelease(window, s, true);
        break;
    case WM_TIMER:
        if (wParam == kScrollRepeatFirstTimer || wParam == kScrollRepeatTimer) {
            OnRepeat(window, s, wParam);
            return 0;
        }
        if (wParam == kScrollHotTimer) {
            OnHotTimer(window, s);
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        WNDPROC previous = s->previous;
        CustomSB_Uninitialize(window);
        const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
        BarProcChain().Forget(window);
        return result;
    }
    case WM_STYLECHANGING:
        if (s->busy)
            return 0;
        break;
    case WM_STYLECHANGED:
        if (s->busy)
            return 0;
        if (wParam == WPARAM(GWL_EXSTYLE) && lParam)
            s->leftScrollBar = (reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        break;
    default:
        break;
    }
    return CallWindowProcA(s->previous, window, message, wParam, lParam);
}

RECT BarRect(HWND window, int bar)
{
    CustomSBState* s = StateOfBar(window, bar);
    if (!s)
        return RECT{};
    return BarRectOf(window, s, bar);
}

int TrackedBar() { return g_track.bar; }
int PressedPortion() { return g_track.pressed; }
bool ThumbTracking() { return g_track.window && g_track.bar >= 0 && g_track.pressed == kPortionThumb; }
int HotBar() { return g_track.hotBar; }

}  // namespace NcScrollBarSkin
