#include "skin/core/skin_proc_chain.h"

WNDPROC SkinProcChain::Enter(HWND window) const
{
    if (auto below = reinterpret_cast<WNDPROC>(GetPropA(window, property_)))
        return below;
    const auto below = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!below || !SetPropA(window, property_, reinterpret_cast<HANDLE>(below)))
        return nullptr;
    if (!SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ours_))) {
        RemovePropA(window, property_);
        return nullptr;
    }
    return below;
}

void SkinProcChain::Leave(HWND window) const
{
    if (GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(ours_))
        return;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropA(window, property_)));
    RemovePropA(window, property_);
}

LRESULT SkinProcChain::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    const auto below = reinterpret_cast<WNDPROC>(GetPropA(window, property_));
    const LRESULT result =
        below ? CallWindowProcA(below, window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        Forget(window);
    return result;
}
