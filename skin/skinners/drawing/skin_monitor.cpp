#include "skin/skinners/drawing/skin_monitor.h"

#include "skin/skinners/frames/skin_menubar_geometry.h"

namespace {

typedef HMONITOR(WINAPI* MonitorFromWindowFn)(HWND, DWORD);
typedef HMONITOR(WINAPI* MonitorFromPointFn)(POINT, DWORD);
typedef HMONITOR(WINAPI* MonitorFromRectFn)(LPCRECT, DWORD);
typedef BOOL(WINAPI* GetMonitorInfoFn)(HMONITOR, LPMONITORINFO);

FARPROC UserEntry(const char* name)
{
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? GetProcAddress(user, name) : nullptr;
}

template <typename Fn>
Fn Lookup(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(UserEntry(name)));
}

// Without the monitor functions there is one screen.
BOOL SingleScreen(RECT* out, BOOL work)
{
    if (work && SystemParametersInfoA(SPI_GETWORKAREA, 0, out, 0))
        return TRUE;
    SetRect(out, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return TRUE;
}

BOOL FromMonitor(HMONITOR monitor, RECT* out, BOOL work)
{
    static const GetMonitorInfoFn info = Lookup<GetMonitorInfoFn>("GetMonitorInfoA");
    if (!monitor || !info)
        return SingleScreen(out, work);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    const BOOL ok = info(monitor, &mi);
    if (ok)
        *out = work ? mi.rcWork : mi.rcMonitor;
    return ok;
}

}  // namespace

BOOL GetMonitorRectOfWindow(HWND window, RECT* out, BOOL work)
{
    static const MonitorFromWindowFn from = Lookup<MonitorFromWindowFn>("MonitorFromWindow");
    if (!out)
        return FALSE;
    return FromMonitor(from ? from(window, MONITOR_DEFAULTTONEAREST) : nullptr, out, work);
}

BOOL GetMonitorRectOfPoint(int x, int y, RECT* out, BOOL work)
{
    static const MonitorFromPointFn from = Lookup<MonitorFromPointFn>("MonitorFromPoint");
    if (!out)
        return FALSE;
    return FromMonitor(from ? from(POINT{x, y}, MONITOR_DEFAULTTONEAREST) : nullptr, out, work);
}

BOOL GetMonitorRectOfRect(const RECT& rect, RECT* out, BOOL work)
{
    static const MonitorFromRectFn from = Lookup<MonitorFromRectFn>("MonitorFromRect");
    if (!out)
        return FALSE;
    return FromMonitor(from ? from(&rect, MONITOR_DEFAULTTONEAREST) : nullptr, out, work);
}

void ClampRectIntoRect(const RECT& bounds, RECT* rect)
{
    if (!rect)
        return;
    const SkinRect r = ClampRectInto(MakeSkinRect(bounds.left, bounds.top, bounds.right, bounds.bottom),
                                     MakeSkinRect(rect->left, rect->top, rect->right, rect->bottom));
    SetRect(rect, r.left, r.top, r.right, r.bottom);
}
