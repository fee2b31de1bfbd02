// Counts of the process's GDI and USER objects for leak tests.
//
// Wine's GetGuiResources answers 0, so under Wine the objects are found by
// probing handle values: GDI handles and USER handles carry their table
// index in the low word, and a handle with a zero high word names that
// entry whatever its generation. GDI handles are per process; USER
// handles are shared by the session, so windows are enumerated and kept
// when they belong to this process, and menus, icons and cursors are
// looked up only in this process's own table (no server round trip).
#include "testing/gui/gui_test.h"

#include <vector>

namespace guitest {

namespace {

// GetCursorFrameInfo is exported but not declared by the headers.
using FrameInfoFn = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

BOOL CALLBACK CountChildren(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

void CountWindowsOf(HWND top, int* count)
{
    ++*count;
    EnumChildWindows(top, &CountChildren, reinterpret_cast<LPARAM>(count));
}

BOOL CALLBACK CountOwnTopLevel(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId())
        CountWindowsOf(window, reinterpret_cast<int*>(count));
    return TRUE;
}

int CountWindows()
{
    int count = 0;
    EnumWindows(&CountOwnTopLevel, reinterpret_cast<LPARAM>(&count));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId())
            CountWindowsOf(w, &count);
    }
    return count;
}

}  // namespace

GuiObjectCount CountGuiObjects()
{
    GuiObjectCount count;
    count.gdi = int(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    count.user = int(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    if (count.gdi > 0 && count.user > 0)
        return count;
    count.gdi = 0;
    for (UINT_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)))
            ++count.gdi;
    count.user = CountWindows();
    static const auto frameInfo = reinterpret_cast<FrameInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetCursorFrameInfo")));
    // USER handles: even low words from 0x20 up.
    for (UINT_PTR i = 0x20; i < 0x10000; i += 2) {
        if (IsMenu(reinterpret_cast<HMENU>(i))) {
            ++count.user;
            continue;
        }
        DWORD rate = 0, steps = 0;
        if (frameInfo && frameInfo(reinterpret_cast<HCURSOR>(i), 0, 0, &rate, &steps))
            ++count.user;
    }
    return count;
}

}  // namespace guitest
