// A subclass a program puts over a skinned window after the skin library
// has (as DDX and SubclassDlgItem do): it counts the probe messages it
// hears and passes every message on, so tests can see whether the library
// keeps it in the window's procedure chain.
#pragma once

#include <windows.h>

namespace skintest {

struct LaterSubclass {
    static constexpr UINT kProbe = WM_APP + 40;
    static inline WNDPROC next = nullptr;
    static inline int heard = 0;

    // Puts the subclass on top of the window's procedure.
    static bool PutOver(HWND window)
    {
        heard = 0;
        next = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        return next != nullptr;
    }
    // The program takes its subclass off again.
    static void TakeOff(HWND window) { SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next)); }
    // How often one probe sent to the window reached the subclass.
    static int HearsProbe(HWND window)
    {
        const int before = heard;
        SendMessageA(window, kProbe, 0, 0);
        return heard - before;
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kProbe)
            ++heard;
        return CallWindowProcA(next, window, message, wParam, lParam);
    }
};

}  // namespace skintest
